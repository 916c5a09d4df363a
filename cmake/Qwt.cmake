# Qwt, the plotting widgets of the trends window. Debian's libqwt-qt5-dev
# ships no CMake package, only headers in include/qwt and libqwt-qt5, so it
# is looked up by hand; elsewhere set QWT_INCLUDE_DIR and QWT_LIBRARY.
find_path(QWT_INCLUDE_DIR qwt_plot.h PATH_SUFFIXES qwt qwt-qt5 qt5/qwt)
find_library(QWT_LIBRARY NAMES qwt-qt5 qwt)
if(NOT QWT_INCLUDE_DIR OR NOT QWT_LIBRARY)
    message(FATAL_ERROR "Qwt for Qt 5 not found (Debian: libqwt-qt5-dev); "
                        "set QWT_INCLUDE_DIR and QWT_LIBRARY")
endif()
add_library(Qwt::Qwt UNKNOWN IMPORTED GLOBAL)
set_target_properties(Qwt::Qwt PROPERTIES
    IMPORTED_LOCATION ${QWT_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${QWT_INCLUDE_DIR}
    INTERFACE_LINK_LIBRARIES Qt5::Widgets)
if(WIN32)
    # Qwt's headers import their symbols only when told they come from a DLL.
    set_property(TARGET Qwt::Qwt APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS QWT_DLL)
endif()
message(STATUS "Qwt: ${QWT_LIBRARY}")
