#!/usr/bin/env bash
# Cross-builds the program for 64-bit Windows and lays out its program folder, then makes the
# installer:
#
#   scripts/windows/build.sh [build dir, default build-win]
#
# gives <build dir>/program/ (korvo-tft.exe, korvo-tftctl.exe, bin/GetCPUInfo.exe, the DLLs and
# Qt plugins beside each program that needs them, lang/, skin/, the Config.ini and whole.png
# templates) and <build dir>/korvo-tft-<version>-win64.exe. Needs Qt and hidapi built by
# scripts/windows/build-deps.sh. The whole.png template is drawn by a program of ours built for
# Windows, run under Wine as CMake's emulator; translations are made by Debian's lrelease.
set -euo pipefail
source "$(dirname "$0")/env.sh"
korvo_win_need "$KORVO_WIN_TRIPLET-g++-posix" g++-mingw-w64-x86-64-posix
korvo_win_need "$KORVO_WIN_TRIPLET-objdump" binutils-mingw-w64-x86-64
korvo_win_need wine wine wine64
korvo_win_need makensis nsis
korvo_win_need /usr/lib/qt5/bin/lrelease qttools5-dev-tools
for step in qt-src-plugins-imageformats hidapi; do
    korvo_win_done "$step" || { echo "Qt or hidapi for Windows is not built yet: run scripts/windows/build-deps.sh" >&2; exit 2; }
done

build="$KORVO_ROOT/${1:-build-win}"
program="$build/program"
runtime_dirs=("$KORVO_WIN_PREFIX/bin" "$(dirname "$("$KORVO_WIN_TRIPLET-g++-posix" -print-libgcc-file-name)")"
    "/usr/$KORVO_WIN_TRIPLET/lib")
# Wine finds the DLLs of the programs the build runs here.
export WINEPATH
WINEPATH=$(IFS=';'; echo "${runtime_dirs[*]}")
export WINEDEBUG=-all WINEPREFIX="$KORVO_WIN_CACHE/wine"

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$KORVO_ROOT" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$KORVO_ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DQt5LinguistTools_DIR="$(pkg-config --variable=libdir Qt5Core)/cmake/Qt5LinguistTools" >/dev/null
nice cmake --build "$build" --parallel "$(nproc)"

# The DLLs a program or plugin imports, found among ours, Qt's and the compiler's, and theirs in
# turn; Windows' own are not shipped.
copy_dlls() {
    local binary="$1" target="$2"
    local dll dir
    for dll in $("$KORVO_WIN_TRIPLET-objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p'); do
        [ -e "$target/$dll" ] && continue
        for dir in "${runtime_dirs[@]}"; do
            if [ -e "$dir/$dll" ]; then
                cp "$dir/$dll" "$target/"
                copy_dlls "$dir/$dll" "$target"
                break
            fi
        done
    done
}
# Qt looks for plugins in folders beside the program.
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qgif.dll \
    imageformats/qico.dll imageformats/qjpeg.dll; do
    mkdir -p "$program/$(dirname "$plugin")"
    cp "$KORVO_WIN_PREFIX/plugins/$plugin" "$program/$plugin"
    copy_dlls "$program/$plugin" "$program"
done
copy_dlls "$program/korvo-tft.exe" "$program"
copy_dlls "$program/korvo-tftctl.exe" "$program"
# Windows looks for a program's DLLs in its own folder.
copy_dlls "$program/bin/GetCPUInfo.exe" "$program/bin"
"$KORVO_WIN_TRIPLET-strip" --strip-unneeded "$program"/*.exe "$program"/*.dll "$program"/bin/*.exe \
    "$program"/bin/*.dll "$program"/*/*.dll

version=$(sed -n 's/^project(KorvoTFT VERSION \([0-9.]*\).*/\1/p' "$KORVO_ROOT/CMakeLists.txt")
makensis -V2 -DPROGRAM_DIR="$program" -DOUTFILE="$build/korvo-tft-$version-win64.exe" -DVERSION="$version" \
    "$KORVO_ROOT/packaging/windows/korvo-tft.nsi"
echo "Program folder: $program"
echo "Installer: $build/korvo-tft-$version-win64.exe"
