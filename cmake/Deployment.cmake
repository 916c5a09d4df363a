# Deployment values of one installation. They are fixed when the build is
# configured; the program reads none of them from the command line or the
# environment at run time. The defaults fit a local SSU set up with
# scripts/ssu-local-server on the same machine.
set(RVK_SSU_DB_HOST "127.0.0.1" CACHE STRING "Host name of the SSU database server; a cluster's nodes as host[:port],host[:port],... tried in order")
set(RVK_SSU_WEB_HOST "127.0.0.1:8066" CACHE STRING "Web server (host[:port]) that serves /downloads/ssu.pas")
set(RVK_SSU_KEY "0x5A17C3E9B24D8F61" CACHE STRING "64-bit key shared by the password file and the login tokens")
set(RVK_WEB_SITE "https://zelmor.example/" CACHE STRING "Maker's web site shown in the About box")

string(REGEX MATCH "^0[xX][0-9a-fA-F]+$" _rvk_key_ok "${RVK_SSU_KEY}")
if(NOT _rvk_key_ok)
    message(FATAL_ERROR "RVK_SSU_KEY must be a hexadecimal number such as 0x5A17C3E9B24D8F61")
endif()
string(LENGTH "${RVK_SSU_KEY}" _rvk_key_len)
if(_rvk_key_len GREATER 18)
    message(FATAL_ERROR "RVK_SSU_KEY must fit in 64 bits")
endif()

# The program builds "http://" + this + "/downloads/ssu.pas" itself.
if(RVK_SSU_WEB_HOST MATCHES "/" OR NOT RVK_SSU_WEB_HOST MATCHES "^[A-Za-z0-9.-]+(:[0-9]+)?$")
    message(FATAL_ERROR "RVK_SSU_WEB_HOST must be a host name, optionally with :port, such as ssu.example:8066")
endif()
if(NOT RVK_SSU_DB_HOST MATCHES "^[A-Za-z0-9.:-]+(,[A-Za-z0-9.:-]+)*$")
    message(FATAL_ERROR "RVK_SSU_DB_HOST must be a host name or address, or several separated by commas")
endif()
