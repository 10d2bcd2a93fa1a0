#!/usr/bin/env bash
# Syntax-checks every C++ source a Windows build compiles with the MinGW-w64 cross compiler, so
# that the Windows side cannot rot unseen. No Windows Qt is needed: Debian's Qt 5 headers serve,
# with the moc and uic output of a Linux build tree beside them.
#
#   scripts/check-windows.sh [build dir, default build]
#
# What a Windows build compiles: everything under src/, tools/ and resources/ (tests, benchmarks
# and fuzzers are off there) except the Linux halves, which live in a linux/ folder or end in
# _linux.cpp; plus the moc output of those targets.
#
# The headers are configured for Linux, which matters less than it seems: the compiler defines
# _WIN32, so qsystemdetection.h gives Q_OS_WIN and Qt's own headers take their Windows branches.
# What is left is told here:
#  - -isystem for Qt's and hidapi's folders: Q_*_EXPORT turns into dllimport on Windows, and
#    redeclarations in Qt's headers then warn; they are Qt's, not ours.
#  - UNICODE and _UNICODE, as Qt's Windows builds define them: a call that names no A or W
#    variant resolves as on a real Windows build.
#  - QT_NO_VERSION_TAGGING: the Linux headers would tag every object with an ELF symbol version.
# -Wall -Wextra as the libraries build, less missing-field-initializers: themeart's tables leave
# trailing members at their defaults on purpose.
set -euo pipefail
source "$(dirname "$0")/common.sh"
korvo_install_packages "${KORVO_WINDOWS_CHECK_PACKAGES[@]}"

build="$KORVO_ROOT/${1:-build}"
cxx=x86_64-w64-mingw32-g++-posix
qt=$(pkg-config --variable=includedir Qt5Core)

# moc and uic only: the autogen targets, not the whole build.
[ -f "$build/CMakeCache.txt" ] || cmake -S "$KORVO_ROOT" -B "$build" >/dev/null
mapfile -t autogen < <(cmake --build "$build" --target help | grep -o '[A-Za-z0-9_.-]*_autogen\b' | sort -u)
targets=()
for t in "${autogen[@]}"; do targets+=(--target "$t"); done
cmake --build "$build" --parallel "$(nproc)" "${targets[@]}" >/dev/null

cd "$KORVO_ROOT"
flags=(-std=c++17 -fsyntax-only -Wall -Wextra -Wno-missing-field-initializers -DUNICODE -D_UNICODE -DQT_NO_VERSION_TAGGING
    -I src -I tools -isystem "$qt" -isystem /usr/include/hidapi)
for module in QtCore QtGui QtWidgets QtNetwork; do flags+=(-isystem "$qt/$module"); done
generated=()
while IFS= read -r dir; do
    [ -d "$dir/include" ] && flags+=(-I "$dir/include")
    [ -f "$dir/mocs_compilation.cpp" ] && generated+=("$dir/mocs_compilation.cpp")
done < <(find "$build/src" "$build/tools" "$build/resources" -type d -name '*_autogen' | sort)

mapfile -t sources < <(find src tools resources -name '*.cpp' -not -path '*/linux/*' -not -name '*_linux.cpp' | sort)
sources+=("${generated[@]}")

echo "Windows syntax check: ${#sources[@]} sources with $($cxx --version | head -n1)"
# Each job prints its file's diagnostics in one piece, a failure headed by one line naming it.
check_one='file="${*: -1}"
if out=$("$0" "$@" 2>&1); then
    [ -z "$out" ] || printf "%s\n" "$out"
else
    printf "FAILED: %s\n%s\n" "$file" "$out"
fi'
log=$(mktemp)
trap 'rm -f "$log"' EXIT
printf '%s\0' "${sources[@]}" | xargs -0 -n1 -P "$(nproc)" bash -c "$check_one" "$cxx" "${flags[@]}" | tee "$log"
failed=$(grep -c '^FAILED: ' "$log" || true)
if [ "$failed" -ne 0 ]; then
    echo "Windows syntax check: $failed of ${#sources[@]} sources fail."
    exit 1
fi
echo "Windows syntax check: all ${#sources[@]} sources pass."
