# Windows on x86-64 from Debian's MinGW-w64 compilers (the POSIX-thread ones,
# which C++ threads and futures need). The programs are linked statically, so
# they run without MinGW's DLLs, and run through Wine wherever the build or
# CTest starts one. Only what needs no Qt builds this way (ZANDREL_CORE_ONLY).
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64.cmake -DZANDREL_CORE_ONLY=ON
# Debian: g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 googletest
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(ZANDREL_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZANDREL_WINE})

# GoogleTest from the sources Debian's googletest package installs.
set(ZANDREL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, built with the tests")
