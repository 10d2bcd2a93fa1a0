# Cross-compiles for 64-bit Windows with MinGW-w64, posix threads (std::thread and std::mutex
# need them), against the Qt and hidapi that scripts/windows/build-deps.sh puts in the cache.
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#
# KORVO_WIN_PREFIX in the environment names another prefix. Programs the build runs come from
# the build machine (Qt's moc, rcc, uic and lrelease are Debian's); one of our own built for
# Windows runs under Wine, CMake's emulator for it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(DEFINED ENV{KORVO_WIN_PREFIX})
    set(korvo_win_prefix "$ENV{KORVO_WIN_PREFIX}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(korvo_win_prefix "$ENV{XDG_CACHE_HOME}/korvo-tft/windows/prefix")
else()
    set(korvo_win_prefix "$ENV{HOME}/.cache/korvo-tft/windows/prefix")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "${korvo_win_prefix}")
list(APPEND CMAKE_PREFIX_PATH "${korvo_win_prefix}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(KORVO_WINE NAMES wine wine64)
if(KORVO_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${KORVO_WINE}")
endif()
