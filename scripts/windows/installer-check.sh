#!/usr/bin/env bash
# The installer under Wine, silently, for the user alone:
#
#   scripts/windows/installer-check.sh [installer, default build-win/korvo-tft-VERSION-win64.exe]
#
# Checks that it refuses while the program runs (its single-instance mutex held), then that a
# fresh installation has the program folder, first.ini, the Start-menu entry and the start at
# log-on; that an upgrade leaves first.ini out (the user's layouts stay as they are); and that
# the uninstaller removes the program, its entry and its start but not the user's files. Runs in
# a Wine prefix of its own in the cache, made anew each time (a minute or two). Exit 0 when all
# hold.
set -euo pipefail
source "$(dirname "$0")/env.sh"
korvo_win_need wine wine wine64
korvo_win_need "$KORVO_WIN_TRIPLET-g++-posix" g++-mingw-w64-x86-64-posix

version=$(sed -n 's/^project(KorvoTFT VERSION \([0-9.]*\).*/\1/p' "$KORVO_ROOT/CMakeLists.txt")
installer=$(realpath "${1:-$KORVO_ROOT/build-win/korvo-tft-$version-win64.exe}")
[ -e "$installer" ] || { echo "No installer at $installer: run scripts/windows/build.sh first." >&2; exit 2; }

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX="$KORVO_WIN_CACHE/wine-installer"
export HOME="$KORVO_WIN_CACHE/wine-home"
mkdir -p "$HOME"
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
user_dir="$WINEPREFIX/drive_c/users/$(id -un)"
folder="$user_dir/AppData/Local/Programs/Korvo TFT"
start_menu="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Korvo TFT.lnk"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
failures=0
check() {
    local what="$1"
    shift
    if "$@"; then echo "PASS  $what"; else echo "FAIL  $what"; failures=$((failures + 1)); fi
}
install() { wine "$installer" /S /CurrentUser; wineserver -w; }
logs_on() { wine reg query "$run_key" 2>/dev/null | grep -q 'Korvo TFT.*korvo-tft\.exe'; }
no_log_on() { ! logs_on; }

# Holds the program's single-instance mutex, as a running copy does.
holder="$WINEPREFIX/holder.exe"
printf '#include <windows.h>\nint main() { CreateMutexW(0, TRUE, L"Korvo TFT Setting by Tavo 1"); Sleep(15000); }\n' |
    "$KORVO_WIN_TRIPLET-g++-posix" -x c++ -static -o "$holder" -
wine "$holder" &
sleep 3
code=0
wine "$installer" /S /CurrentUser || code=$?
check "refuses while the program runs (exit code $code)" test "$code" -ne 0 -a ! -e "$folder/korvo-tft.exe"
wineserver -w

install
check "installs the program folder" test -e "$folder/korvo-tft.exe" -a -e "$folder/bin/GetCPUInfo.exe"
check "a fresh installation leaves first.ini" test -e "$folder/first.ini"
check "adds the Start-menu entry" test -e "$start_menu"
check "starts the program at log-on" logs_on

# The program removes first.ini at its first start; the user has a layout of their own.
rm -f "$folder/first.ini"
mkdir -p "$user_dir/AppData/Roaming/Korvo TFT"
echo "[user layout]" >"$user_dir/AppData/Roaming/Korvo TFT/Config.ini"
install
check "an upgrade leaves first.ini out" test ! -e "$folder/first.ini"

wine "$folder/uninstall.exe" /S /CurrentUser
wineserver -w
# The uninstaller runs from a copy of itself and returns before that copy is done.
for _ in $(seq 20); do [ -e "$folder" ] || break; sleep 0.5; done
check "the uninstaller removes the program folder" test ! -e "$folder"
check "the uninstaller removes the Start-menu entry" test ! -e "$start_menu"
check "the uninstaller removes the start at log-on" no_log_on
check "the uninstaller leaves the user's files" grep -q 'user layout' "$user_dir/AppData/Roaming/Korvo TFT/Config.ini"
[ "$failures" -eq 0 ]
