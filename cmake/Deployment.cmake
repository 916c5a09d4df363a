# Deployment values of one installation. They are fixed when the build is
# configured; the program reads none of them from the command line or the
# environment at run time. The defaults fit a local SSU set up with
# scripts/ssu-local-server on the same machine.
set(RVK_SSU_DB_HOST "127.0.0.1" CACHE STRING "Host name of the SSU database server; a cluster's nodes as host[:port],host[:port],... tried in order")
set(RVK_SSU_WEB_HOST "127.0.0.1:8066" CACHE STRING "Web server (host[:port]) that serves /downloads/ssu.pas")
set(RVK_SSU_KEY "0x5A17C3E9B24D8F61" CACHE STRING "64-bit key shared by the password file and the login tokens")
set(RVK_SSU_DB_CA "" CACHE STRING "CA certificate file (PEM) on the stations that signs the SSU database server's certificate; when set, the program connects only over TLS to a server whose certificate that CA issued")
option(RVK_SSU_WEB_HTTPS "Fetch the password file over https (the server's certificate must be trusted by the station's system CA store, or come from RVK_SSU_WEB_CA)" OFF)
set(RVK_SSU_WEB_CA "" CACHE STRING "CA certificate file (PEM) on the stations that signs the password web server's certificate; when set, the download over https trusts that CA alone, not the system store")
set(RVK_WEB_SITE "https://zelmor.example/" CACHE STRING "Maker's web site shown in the About box")

string(REGEX MATCH "^0[xX][0-9a-fA-F]+$" _rvk_key_ok "${RVK_SSU_KEY}")
if(NOT _rvk_key_ok)
    message(FATAL_ERROR "RVK_SSU_KEY must be a hexadecimal number such as 0x5A17C3E9B24D8F61")
endif()
string(LENGTH "${RVK_SSU_KEY}" _rvk_key_len)
if(_rvk_key_len GREATER 18)
    message(FATAL_ERROR "RVK_SSU_KEY must fit in 64 bits")
endif()

# A station build must not carry the development key that is public in this
# source tree: anyone holding it can decrypt the password file and forge
# tokens. Only a Debug build takes it by itself; any other build type (the
# empty one included, as a multi-configuration generator leaves it) takes it
# only when the configure call opts in, as scripts/build and the test and
# CI scripts do. Packing refuses it again (cmake/Packaging.cmake), whatever
# the build was configured with. The comparison is by value: leading zeros
# and the digits' case do not make another key.
option(RVK_ALLOW_DEVELOPMENT_KEY "Let a build other than Debug carry the public development key (developer and test builds only)" OFF)
set(RVK_SSU_DEVELOPMENT_KEY "0x5A17C3E9B24D8F61")
function(_rvk_key_digits key out)
    string(REGEX REPLACE "^0[xX]0*" "" digits "${key}")
    string(TOUPPER "${digits}" digits)
    set(${out} "${digits}" PARENT_SCOPE)
endfunction()
_rvk_key_digits("${RVK_SSU_KEY}" _rvk_key_digits)
_rvk_key_digits("${RVK_SSU_DEVELOPMENT_KEY}" _rvk_dev_key_digits)
if(_rvk_key_digits STREQUAL _rvk_dev_key_digits)
    set(RVK_SSU_KEY_IS_DEVELOPMENT TRUE)
else()
    set(RVK_SSU_KEY_IS_DEVELOPMENT FALSE)
endif()
string(TOUPPER "${CMAKE_BUILD_TYPE}" _rvk_build_type)
if(RVK_SSU_KEY_IS_DEVELOPMENT AND NOT _rvk_build_type STREQUAL "DEBUG" AND NOT RVK_ALLOW_DEVELOPMENT_KEY)
    message(FATAL_ERROR "The build type \"${CMAKE_BUILD_TYPE}\" is meant for stations, and RVK_SSU_KEY is the public "
                        "development key. Give the installation's own key with -DRVK_SSU_KEY=0x..., or, for a "
                        "developer or test build only, opt in with -DRVK_ALLOW_DEVELOPMENT_KEY=ON (scripts/build does).")
endif()

# The pinned CA guards an https download only; with http it would protect
# nothing while looking as if it did.
if(NOT RVK_SSU_WEB_CA STREQUAL "" AND NOT RVK_SSU_WEB_HTTPS)
    message(FATAL_ERROR "RVK_SSU_WEB_CA needs RVK_SSU_WEB_HTTPS=ON: the CA checks the password server's https certificate")
endif()

# The program builds "http://" (or "https://") + this + "/downloads/ssu.pas" itself.
if(RVK_SSU_WEB_HOST MATCHES "/" OR NOT RVK_SSU_WEB_HOST MATCHES "^[A-Za-z0-9.-]+(:[0-9]+)?$")
    message(FATAL_ERROR "RVK_SSU_WEB_HOST must be a host name, optionally with :port, such as ssu.example:8066")
endif()
if(NOT RVK_SSU_DB_HOST MATCHES "^[A-Za-z0-9.:-]+(,[A-Za-z0-9.:-]+)*$")
    message(FATAL_ERROR "RVK_SSU_DB_HOST must be a host name or address, or several separated by commas")
endif()
