#!/usr/bin/env bash
# Compiles every C++ source a Windows build compiles with the MinGW-w64 cross compiler, and
# fails when one of our own symbols is used but no object defines it, so that the Windows side
# cannot rot unseen: a function declared for both systems but defined only for Linux is caught
# without a Windows Qt, which the full cross build (scripts/windows/) needs and CI cannot afford.
#
#   scripts/check-windows.sh [build dir, default build-windows]
#
# CMake itself says what a Windows build compiles: the tree is configured for Windows with the
# cross compiler (tests and benchmarks are off there, as on a real Windows build), and every
# command of its compilation database runs, behind ccache where it is installed. Its moc, uic
# and rcc steps run first, so their output is compiled too. Nothing is linked: Qt's libraries
# here are Linux ones. Instead the objects' symbol tables are compared: an undefined symbol of
# ours (in the korvo namespace, or a free function outside every namespace that is not Qt's)
# that no object defines is an error. Qt's, the C++ library's, hidapi's and Windows' symbols
# are left to the real link.
#
# The Qt headers are configured for Linux, which needs no shim: qconfig.h only switches features
# on and off, the compiler's _WIN32 makes qsystemdetection.h say Q_OS_WIN so that Qt's headers
# take their Windows branches, and the ELF symbol tagging of qversiontagging.h is keyed to
# Q_OS_LINUX. Qt's CMake package is found by its folder and hidapi, whose header is the same
# everywhere, through a small stand-in package that names the Linux header folder.
set -euo pipefail
source "$(dirname "$0")/common.sh"
korvo_install_packages "${KORVO_WINDOWS_CHECK_PACKAGES[@]}"

build="$KORVO_ROOT/${1:-build-windows}"
mkdir -p "$build/stand-in/hidapi"
cat >"$build/stand-in/windows.cmake" <<'CMAKE'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
# moc, uic, rcc and lrelease are the build machine's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
CMAKE
cat >"$build/stand-in/hidapi/hidapi-config.cmake" <<CMAKE
add_library(hidapi::hidapi INTERFACE IMPORTED)
set_target_properties(hidapi::hidapi PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "$(pkg-config --variable=includedir hidapi-hidraw)/hidapi")
CMAKE
# Qt's imported libraries are Linux ones; nothing is linked, so CMake's notes on them are noise.
cmake -S "$KORVO_ROOT" -B "$build" -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$build/stand-in/windows.cmake" \
    -DQt5_DIR="$(pkg-config --variable=libdir Qt5Core)/cmake/Qt5" -Dhidapi_DIR="$build/stand-in/hidapi" \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null

# The generators only, as the build files call them: the _autogen targets would first compile
# the libraries their targets link. The translations' resource file comes from rcc behind
# lrelease, which only its own small target runs.
config=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
find "$build" -name AutogenInfo.json -print0 | xargs -0 -P "$(nproc)" -I{} sh -c \
    'cd "$(dirname "$(dirname "$(dirname "$1")")")" && cmake -E cmake_autogen "$1" "$2" >/dev/null' gen {} "$config"
find "$build" -name 'AutoRcc_*_Info.json' -print0 | xargs -0 -P "$(nproc)" -I{} sh -c \
    'cmake -E cmake_autorcc "$1" "$2" >/dev/null' rcc {} "$config"
cmake --build "$build" --target korvo_i18n >/dev/null

# One line per compilation: directory, a tab, the command.
cat >"$build/stand-in/commands.cmake" <<'CMAKE'
file(READ "${database}" json)
string(JSON count LENGTH "${json}")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
    string(JSON directory GET "${json}" ${i} directory)
    string(JSON command GET "${json}" ${i} command)
    message("${directory}\t${command}")
endforeach()
CMAKE
mapfile -t commands < <(cmake -Ddatabase="$build/compile_commands.json" -P "$build/stand-in/commands.cmake" 2>&1)
echo "Windows check: ${#commands[@]} sources with $(x86_64-w64-mingw32-g++-posix --version | head -n1)"

# The compilation database leaves the launcher out. Each job prints its diagnostics in one
# piece, a failure headed by one line naming the file.
launcher=""
command -v ccache >/dev/null 2>&1 && launcher="ccache "
compile_one='directory="${1%%	*}"; command="$2${1#*	}"
file="${command##* }"
if out=$(cd "$directory" && eval "$command" 2>&1); then
    [ -z "$out" ] || printf "%s\n" "$out"
else
    printf "FAILED: %s\n%s\n" "$file" "$out"
fi'
log="$build/check.log"
printf '%s\0' "${commands[@]}" | xargs -0 -I{} -P "$(nproc)" bash -c "$compile_one" compile {} "$launcher" | tee "$log"
failed=$(grep -c '^FAILED: ' "$log" || true)
if [ "$failed" -ne 0 ]; then
    echo "Windows check: $failed of ${#commands[@]} sources fail to compile."
    exit 1
fi

# Defined and undefined symbols of every object, by their link names. Ours: whatever lies in a
# namespace our sources open (korvo, themeart...), with its vtables, type names and thunks, and
# free functions outside every namespace whose name does not start as Qt's do; Windows' and the C
# library's names are not C++ ones.
objects=()
for entry in "${commands[@]}"; do
    object=$(printf '%s' "${entry#*	}" | sed -n 's/.* -o \([^ ]*\) .*/\1/p')
    [[ "$object" = /* ]] || object="${entry%%	*}/$object"
    objects+=("$object")
done
symbols() { x86_64-w64-mingw32-nm "$1" --format=posix "${objects[@]}" | awk 'NF >= 2 && $2 != "w" { print $1 }' | sort -u; }
symbols --defined-only >"$build/defined.txt"
symbols --undefined-only >"$build/undefined.txt"
ours=$(grep -rhoE '^namespace [A-Za-z_][A-Za-z0-9_]*' "$KORVO_ROOT/src" "$KORVO_ROOT/tools" | sort -u |
    while read -r _ name; do printf '%s%s|' "${#name}" "$name"; done)
missing=$(comm -23 "$build/undefined.txt" "$build/defined.txt" |
    grep -E "^_Z(T[VIS]|Th[0-9n]*_|Tv[0-9n]*_[0-9n]*_)?N[KVr]*(${ours%|})|^_Z[0-9]+[^0-9qQ_]" || true)
if [ -n "$missing" ]; then
    echo "Windows check: used but defined nowhere:"
    printf '%s\n' "$missing" | x86_64-w64-mingw32-c++filt | sed 's/^/  /'
    exit 1
fi
echo "Windows check: all ${#commands[@]} sources compile; every symbol of ours they use is defined."
