# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers.
#
#   cmake -S . -B build-win -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
#         -DORVOCHART_WINDOWS_PREFIX=<prefix made by scripts/windows-deps.sh>
#
# The posix-thread compilers are used because the win32-thread ones lack
# std::thread and std::mutex. Everything is linked statically, the C and C++
# runtimes and winpthread included, so a built program or DLL needs no MinGW
# DLL beside it. Programs run through wine64, which lets ctest and
# try_run work on the build machine.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVOCHART_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVOCHART_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVOCHART_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVOCHART_MINGW_TRIPLE}-windres)
# The plain binutils names: the gcc-ar wrappers would tie archives to LTO
# plugins that static consumers of these libraries may not load.
find_program(CMAKE_AR ${ORVOCHART_MINGW_TRIPLE}-ar REQUIRED)
find_program(CMAKE_RANLIB ${ORVOCHART_MINGW_TRIPLE}-ranlib REQUIRED)

# Debian keeps wine64 in /usr/lib/wine, off PATH; a PATH entry still wins so
# a locally built wine can be chosen.
find_program(ORVOCHART_WINE64 NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(ORVOCHART_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVOCHART_WINE64})
endif()

set(ORVOCHART_STATIC_RUNTIME "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${ORVOCHART_STATIC_RUNTIME}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${ORVOCHART_STATIC_RUNTIME}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${ORVOCHART_STATIC_RUNTIME}")

# The dependency prefix: a cache variable, else the environment. try_compile
# re-reads this file in a fresh project, so the value is passed on to it.
if(NOT ORVOCHART_WINDOWS_PREFIX AND DEFINED ENV{ORVOCHART_WINDOWS_PREFIX})
    set(ORVOCHART_WINDOWS_PREFIX "$ENV{ORVOCHART_WINDOWS_PREFIX}")
endif()
set(ORVOCHART_WINDOWS_PREFIX "${ORVOCHART_WINDOWS_PREFIX}"
    CACHE PATH "Prefix holding the Windows builds of the third-party libraries")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVOCHART_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVOCHART_MINGW_TRIPLE})
if(ORVOCHART_WINDOWS_PREFIX)
    list(PREPEND CMAKE_FIND_ROOT_PATH "${ORVOCHART_WINDOWS_PREFIX}")
endif()
# Headers, libraries and packages only from the roots above; build tools
# (code generators, wine) from the build machine.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees only the prefix's .pc files, never the build machine's.
# Their paths are absolute already, so no sysroot is prepended. With static
# libraries only the private requirements are needed too, hence --static.
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
if(ORVOCHART_WINDOWS_PREFIX)
    set(ENV{PKG_CONFIG_LIBDIR} "${ORVOCHART_WINDOWS_PREFIX}/lib/pkgconfig")
else()
    set(ENV{PKG_CONFIG_LIBDIR} "/usr/${ORVOCHART_MINGW_TRIPLE}/lib/pkgconfig")
endif()
set(PKG_CONFIG_ARGN --static CACHE STRING "Arguments passed to pkg-config")
