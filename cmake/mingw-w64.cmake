# Windows on x86-64 from Debian's MinGW-w64 compilers (the POSIX-thread ones,
# which C++ threads and futures need). Whatever the build runs, its tools and
# the tests, runs through Wine.
#
# Only what needs no Qt, linked statically so it runs without MinGW's DLLs:
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64.cmake -DZANDREL_CORE_ONLY=ON
# The whole program, against a Qt built for Windows (tools/build-qt-windows.sh):
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64.cmake -DCMAKE_PREFIX_PATH=<that Qt>
# Debian: g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 googletest
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries, headers and packages come from MinGW's own tree and from the
# prefixes the build is given (the Qt for Windows), never from the host's.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt for Windows borrows the host Qt's tools (moc, rcc, uic), which must be
# of the same version: Debian's own.
set(QT_HOST_PATH /usr CACHE PATH "The host Qt whose tools the build runs")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "The host Qt's CMake packages")

find_program(ZANDREL_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZANDREL_WINE})

# GoogleTest from the sources Debian's googletest package installs.
set(ZANDREL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, built with the tests")
