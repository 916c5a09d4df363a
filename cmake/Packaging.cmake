# Debian packages of the program and its tools: `cpack -G DEB` in the build
# folder (scripts/package). Two of them, from the install components: the
# station's "rvk-report" (the program and the simulated module) and the
# administrator's "rvk-report-admin" (the token tool, which encrypts with
# the key and so does not belong on every station). Qt's libraries are
# found by dpkg-shlibdeps; the plugins the program loads at run time are not
# linked, so they are named.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rvk-report)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "RVK Report maintainers <rvk-report@zelmor.example>")
set(CPACK_PACKAGE_VENDOR "ZELMOR")
# Each package's description begins with its own summary line; a package-wide
# CPACK_PACKAGE_DESCRIPTION_SUMMARY would be put in front of both.
set(CPACK_DEBIAN_STATION_DESCRIPTION "Service tool for the RVK generator power module\n\
Reads the usage report of an RVK generator power module over a CAN adapter, writes an HTML report, \
stores every report in the station's SSU database (or an archive folder until the database can be \
reached), runs the module's debug monitor and writes factory values. Includes the command line \
rvk-report for production lines and scripts, and the simulated module rvk-module-sim.")
set(CPACK_DEBIAN_ADMIN_DESCRIPTION "SSU token tool for the RVK Report administrator\n\
rvk-ssu-token encrypts the SSU database password with the installation's key: it writes the password \
file the stations download and prints login tokens. Install it on the administrator's machine only.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL station admin)
set(CPACK_DEBIAN_STATION_PACKAGE_NAME rvk-report)
set(CPACK_DEBIAN_STATION_PACKAGE_DEPENDS "libqt5serialbus5-plugins")
set(CPACK_DEBIAN_STATION_PACKAGE_SUGGESTS "mariadb-server, xdg-user-dirs")
set(CPACK_DEBIAN_ADMIN_PACKAGE_NAME rvk-report-admin)

configure_file(${CMAKE_CURRENT_LIST_DIR}/PackageKeyCheck.cmake.in ${CMAKE_BINARY_DIR}/PackageKeyCheck.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/PackageKeyCheck.cmake)
include(CPack)
