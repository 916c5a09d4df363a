# A Debian package of the program and its tools: `cpack -G DEB` in the build
# folder (scripts/package). Qt's libraries are found by dpkg-shlibdeps; the
# plugins the program loads at run time are not linked, so they are named.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rvk-report)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "RVK Report maintainers <rvk-report@zelmor.example>")
set(CPACK_PACKAGE_VENDOR "ZELMOR")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service tool for the RVK generator power module")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads the usage report of an RVK generator power module over a CAN adapter, writes an HTML report, \
stores every report in the station's SSU database (or an archive folder until the database can be \
reached), runs the module's debug monitor and writes factory values. Includes the simulated module \
rvk-module-sim and the SSU token tool rvk-ssu-token.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5serialbus5-plugins, libqt5sql5-mysql")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mariadb-server, xdg-user-dirs")
configure_file(${CMAKE_CURRENT_LIST_DIR}/PackageKeyCheck.cmake.in ${CMAKE_BINARY_DIR}/PackageKeyCheck.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/PackageKeyCheck.cmake)
include(CPack)
