#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The cross-built program under Wine on a virtual X display, with the virtual screen:
#
#   scripts/windows/smoke.sh [build dir, default build-win]
#
# Checks, in order: korvo-tft.exe --virtual-screen starts and its window and the viewer appear;
# GetCPUInfo.exe runs with its hidden window and its shared memory (a small probe, built here
# for Windows, looks); the viewer shows the first-use frame, which looks like the Linux build's
# (frames.py says how loosely); a second start ends with exit code 1; Exit, chosen with the
# mouse and confirmed with Enter, ends both processes. Screenshots (PNG), the programs' output
# and the verdicts go to <build dir>/smoke/; exit 0 when every check holds. The first run sets
# up a Wine prefix in the cache (a minute or two); each run starts as a new user.
set -euo pipefail
source "$(dirname "$0")/env.sh"
korvo_win_need wine wine wine64
korvo_win_need Xvfb xvfb
korvo_win_need xwd x11-apps
korvo_win_need xwininfo x11-utils
korvo_win_need xdotool xdotool
korvo_win_need python3 python3

build="$KORVO_ROOT/${1:-build-win}"
program="$build/program"
[ -e "$program/korvo-tft.exe" ] || { echo "No Windows build in $program: run scripts/windows/build.sh first." >&2; exit 2; }
out="$build/smoke"
rm -rf "$out"
mkdir -p "$out"
frames="$KORVO_ROOT/scripts/windows/frames.py"
failures=0
verdict() {
    if [ "$1" -eq 0 ]; then echo "PASS  $2"; else echo "FAIL  $2"; failures=$((failures + 1)); fi | tee -a "$out/verdicts.txt"
}

pids=()
cleanup() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

# A display of its own for each side, so that neither sees the other's windows.
start_display() {
    # 96 dpi, as Windows has it by default: both sides draw at scale 1 then.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$out/display-$1" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$out/display-$1" ] && break; sleep 0.2; done
    export DISPLAY=":$(cat "$out/display-$1")"
}
wait_for() {
    local seconds="$1"
    shift
    for _ in $(seq $((seconds * 2))); do "$@" && return 0; sleep 0.5; done
    return 1
}
window_named() { xwininfo -root -tree | grep -F -- "$1" | awk '{ print $1; exit }'; }
window_sized() { xwininfo -root -tree | grep -E -- " $1\+" | awk '{ print $1; exit }'; }
has_window() { [ -n "$(window_named "$1")" ]; }
shot() { xwd -silent -id "$1" -out "$out/$2.xwd" && python3 "$frames" png "$out/$2.xwd" "$out/$2.png"; }
# The first-use frame is there once the viewer is no longer one colour; its 27 chunks and the
# figures after it take a few seconds more. Without a window manager every window opens at the
# top left, and a covered window reads back black: the viewer goes below the main window first.
frame_shot() {
    local viewer main
    viewer=$(window_named "virtual screen")
    # Wine centres the main window, which would then cover part of the viewer.
    main=$(window_sized 960x588)
    [ -n "$main" ] && xdotool windowmove "$main" 0 0
    xdotool windowmove "$viewer" 0 620
    wait_for 90 eval "xwd -silent -id $viewer -out '$out/probe.xwd' && ! python3 '$frames' blank '$out/probe.xwd'" || return 1
    sleep 5
    shot "$viewer" "$1"
}

echo "== Linux build, the reference frame =="
linux="$KORVO_ROOT/build/program/korvo-tft"
if [ ! -x "$linux" ] || [ ! -x "$KORVO_ROOT/build/program/bin/GetCPUInfo" ]; then
    source "$KORVO_ROOT/scripts/common.sh"
    KORVO_BUILD_TARGETS="korvo-tft GetCPUInfo korvo_templates korvo_i18n" korvo_build build >/dev/null
fi
start_display linux
mkdir -p "$out/linux/config" "$out/linux/data" "$out/linux/runtime"
chmod 700 "$out/linux/runtime"
XDG_CONFIG_HOME="$out/linux/config" XDG_DATA_HOME="$out/linux/data" XDG_RUNTIME_DIR="$out/linux/runtime" \
    KORVO_INSTANCE_SUFFIX="-smoke$$" KORVO_CPUINFO_KEY="korvo-smoke-$$" QT_QPA_PLATFORM=xcb \
    "$linux" --virtual-screen >"$out/linux.log" 2>&1 &
linux_pid=$!
pids+=("$linux_pid")
wait_for 60 has_window "virtual screen" && frame_shot linux-viewer
verdict $? "the Linux build shows its first-use frame (linux-viewer.png)"
kill -TERM "$linux_pid" 2>/dev/null || true
wait "$linux_pid" 2>/dev/null || true

echo "== Windows build under Wine =="
start_display windows
export WINEPREFIX="$KORVO_WIN_CACHE/wine-smoke" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine links the Windows user's folders into HOME; a home of its own keeps them out of the real one.
export HOME="$KORVO_WIN_CACHE/wine-home"
mkdir -p "$HOME"
if ! korvo_win_done wine-prefix || [ ! -d "$WINEPREFIX" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i >"$out/wineboot.log" 2>&1
    wineserver -w
    korvo_win_stamp wine-prefix
fi
user_dir="$WINEPREFIX/drive_c/users/$(id -un)"
rm -rf "$user_dir/AppData/Roaming/Korvo TFT" "$user_dir/Korvo TFT"

"$KORVO_WIN_TRIPLET-g++-posix" -std=c++17 -O1 -o "$out/probe.exe" "$KORVO_ROOT/scripts/windows/probe.cpp" \
    -I"$KORVO_ROOT/src" -I"$KORVO_WIN_PREFIX/include" -I"$KORVO_WIN_PREFIX/include/QtCore" \
    -L"$KORVO_WIN_PREFIX/lib" -lQt5Core
export WINEPATH="$program"

(cd "$program" && exec wine korvo-tft.exe --virtual-screen) >"$out/windows.log" 2>&1 &
wait_for 120 has_window "virtual screen" && wait_for 30 eval '[ -n "$(window_sized 960x588)" ]'
verdict $? "korvo-tft.exe --virtual-screen starts; its window and the viewer appear"
main=$(window_sized 960x588)
[ -n "$main" ] && shot "$main" windows-main
[ -n "$(window_named "virtual screen")" ] && shot "$(window_named "virtual screen")" windows-viewer-start

wait_for 30 eval 'wine "$out/probe.exe" >"$out/probe.txt" 2>&1'
verdict $? "GetCPUInfo.exe runs with its hidden window and segment ($(cat "$out/probe.txt" 2>/dev/null))"

alike=1
if frame_shot windows-viewer && [ -e "$out/linux-viewer.xwd" ]; then
    python3 "$frames" compare "$out/linux-viewer.xwd" "$out/windows-viewer.xwd" >"$out/comparison.txt" && alike=0
    cat "$out/comparison.txt"
fi
verdict "$alike" "the viewer shows the first-use frame, as the Linux build does (windows-viewer.png)"

code=0
(cd "$program" && timeout 60 wine korvo-tft.exe --virtual-screen) >"$out/second.log" 2>&1 || code=$?
[ "$code" -eq 1 ]
verdict $? "a second start ends with exit code 1 (got $code)"

# Exit: the window's exit button, then Enter on the confirmation.
if [ -n "$main" ]; then
    xdotool mousemove --window "$main" 918 19 click 1
    sleep 3
    # The question is a window of its own, wherever Wine puts it: the whole display is taken.
    xwd -silent -root -out "$out/windows-exit-question.xwd" &&
        python3 "$frames" png "$out/windows-exit-question.xwd" "$out/windows-exit-question.png" || true
    xdotool key Return
fi
gone() { ! pgrep -f 'korvo-tft\.exe' >/dev/null && ! pgrep -f 'GetCPUInfo\.exe' >/dev/null; }
wait_for 30 gone
verdict $? "Exit ends korvo-tft.exe and GetCPUInfo.exe"

echo "Screenshots and logs: $out"
[ "$failures" -eq 0 ]
