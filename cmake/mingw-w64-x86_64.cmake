# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads):
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(RVK_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${RVK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RVK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${RVK_MINGW_TRIPLE}-windres)

# Headers and libraries come from the MinGW sysroot only, programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${RVK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
