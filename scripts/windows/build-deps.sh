#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds, for x86_64-w64-mingw32 with posix threads, what the Windows program links: Qt 5.15's
# Core, Gui, Widgets and Network with the Windows platform plugin, the Windows style and the
# picture plugins, and hidapi's Windows backend, all from Debian's source packages, into
# ~/.cache/korvo-tft/windows/prefix.
#
#   scripts/windows/build-deps.sh
#
# How long: Qt's configure with qmake takes about 10 minutes, then about 1,000 objects are
# compiled (QtCore 276, QtGui about 270, QtWidgets about 190, QtNetwork about 100, the platform
# support and plugins the rest). On 2 idle cores QtCore alone takes about 20 minutes, so Qt as a
# whole about an hour and a quarter. On the development machine's 2 cores shared with three to
# six busy developers, at idle priority, it took about 2 hours 40 minutes: QtCore 3344 s,
# QtNetwork 888 s, QtGui about 1750 s, QtWidgets 1726 s, the Windows platform plugin 793 s, the
# platform support 280 s, the bundled libraries about 510 s, styles and picture plugins 108 s,
# hidapi 15 s. A second run finds every step stamped and returns at once; a run that was
# stopped redoes only the step without a stamp, where make and ccache keep what was done.
# Everything runs under nice and ionice idle, so it only takes CPU time nobody else wants.
# scripts/windows/build.sh then builds the program itself in about 3 minutes.
#
# Qt's own host tools are not built: moc, rcc and uic come from Debian's qtbase5-dev-tools,
# which is the same Qt release, so only qmake (configure needs its own) is compiled for the
# build machine. Only the folders the program needs are built, not qtbase as a whole.
set -euo pipefail
source "$(dirname "$0")/env.sh"
korvo_win_need "$KORVO_WIN_TRIPLET-g++-posix" g++-mingw-w64-x86-64-posix
korvo_win_need perl perl
korvo_win_need /usr/lib/qt5/bin/moc qtbase5-dev-tools
korvo_win_need /usr/include/wine/wine/windows/wintab.h libwine-dev
[ "${KORVO_WIN_NICE:-}" = done ] || exec env KORVO_WIN_NICE=done nice -n 19 ionice -c3 "$0" "$@"

"$(dirname "$0")/fetch-sources.sh"
korvo_win_compilers
jobs=$(nproc)
log="$KORVO_WIN_CACHE/build-deps.log"
echo "Building Qt and hidapi for Windows; the compiler's output goes to $log"

# hidapi first: a minute, against Qt's hours.
if ! korvo_win_done hidapi; then
    hid_build="$KORVO_WIN_CACHE/build/hidapi"
    rm -rf "$hid_build"
    (cmake -S "$KORVO_WIN_CACHE/src/hidapi" -B "$hid_build" \
        -DCMAKE_TOOLCHAIN_FILE="$KORVO_ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$KORVO_WIN_PREFIX" -DBUILD_SHARED_LIBS=ON &&
        cmake --build "$hid_build" --parallel "$jobs" && cmake --install "$hid_build") >>"$log" 2>&1 ||
        { tail -n 30 "$log"; echo "Building hidapi failed; see $log" >&2; exit 1; }
    korvo_win_stamp hidapi
fi
qt_src="$KORVO_WIN_CACHE/src/qtbase-opensource-src"
# Debian's Qt source leaves the tablet headers out (their licence is not free); the Windows
# platform plugin includes them, and Wine's declare the same interface.
wintab="$qt_src/src/3rdparty/wintab"
if [ ! -e "$wintab/pktdef.h" ]; then
    mkdir -p "$wintab"
    # Wine's header names its A and W variants with two macros of Wine's own.
    cat >"$wintab/wintab.h" <<'HEADER'
#include <windows.h>
#define API WINAPI
#ifdef UNICODE
#define WINELIB_NAME_AW(name) name##W
#else
#define WINELIB_NAME_AW(name) name##A
#endif
#define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#include "/usr/include/wine/wine/windows/wintab.h"
HEADER
    printf '#include "%s"\n' /usr/include/wine/wine/windows/pktdef.h >"$wintab/pktdef.h"
fi
qt_build="$KORVO_WIN_CACHE/build/qtbase"
if ! korvo_win_done qt-configured; then
    rm -rf "$qt_build"
    mkdir -p "$qt_build"
    (cd "$qt_build" && "$qt_src/configure" -prefix "$KORVO_WIN_PREFIX" \
        -xplatform win32-g++ -device-option CROSS_COMPILE="$KORVO_WIN_TRIPLET-" \
        -opensource -confirm-license -release -shared -silent \
        -nomake examples -nomake tests -nomake tools \
        -no-opengl -no-vulkan -no-dbus -no-icu -no-openssl -no-fontconfig -no-sql-sqlite \
        -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-freetype -qt-harfbuzz) >>"$log" 2>&1 ||
        { tail -n 30 "$log"; echo "Qt's configure failed; see $log" >&2; exit 1; }
    # The Makefiles of src/ only: examples and tests have hundreds of folders.
    (cd "$qt_build" && make sub-src-qmake_all) >>"$log" 2>&1 ||
        { tail -n 30 "$log"; echo "Qt's Makefiles could not be made; see $log" >&2; exit 1; }
    korvo_win_stamp qt-configured
fi
# Debian's host tools in place of building them; every Makefile calls them from bin/ (QtGui's
# Vulkan headers are generated even with Vulkan off). Made at every run, so that a cache
# configured by an older copy of this script gets a tool added since.
for tool in moc rcc uic qvkgen; do ln -sfn "/usr/lib/qt5/bin/$tool" "$qt_build/bin/$tool"; done

# In link order: each folder is built and installed before those that use it.
qt_parts=(src/corelib/qtzlib src/3rdparty/pcre2 src/corelib src/winmain src/network
    src/3rdparty/libpng src/3rdparty/harfbuzz-ng src/3rdparty/freetype src/3rdparty/libjpeg
    src/gui src/platformheaders src/platformsupport src/widgets
    src/plugins/platforms/windows src/plugins/styles src/plugins/imageformats)
for part in "${qt_parts[@]}"; do
    stamp="qt-${part//\//-}"
    korvo_win_done "$stamp" && continue
    dir="$qt_build/$part"
    [ "$part" = src/corelib/qtzlib ] && dir="$qt_build/src"
    start=$SECONDS
    if [ "$part" = src/corelib/qtzlib ]; then
        (cd "$dir" && make sub-zlib && make sub-zlib-install_subtargets) >>"$log" 2>&1
    else
        (cd "$dir" && make -j"$jobs" && make install) >>"$log" 2>&1
    fi || { tail -n 30 "$log"; echo "Building $part failed; see $log" >&2; exit 1; }
    echo "  $part: $((SECONDS - start)) s"
    korvo_win_stamp "$stamp"
done
# Qt's CMake files look for the mkspecs of the target in the prefix.
if ! korvo_win_done qt-mkspecs; then
    (cd "$qt_build" && make install_mkspecs) >>"$log" 2>&1 ||
        { tail -n 30 "$log"; echo "Installing Qt's mkspecs failed; see $log" >&2; exit 1; }
    korvo_win_stamp qt-mkspecs
fi
# The installed Qt calls the host tools from its own bin folder; its CMake files also want the
# qmake that configure built.
for tool in moc rcc uic qvkgen; do ln -sfn "/usr/lib/qt5/bin/$tool" "$KORVO_WIN_PREFIX/bin/$tool"; done
ln -sfn "$qt_build/bin/qmake" "$KORVO_WIN_PREFIX/bin/qmake"

echo "Qt and hidapi for Windows are in $KORVO_WIN_PREFIX"
