#!/usr/bin/env bash
# check_install.sh BUILD_DIR FAKEHID_LIBRARY
# Installs the build under a DESTDIR with the prefix /usr, as the package does, and checks the
# tree, the udev rule and the desktop entries, then starts the installed program through its
# link in bin/: it must find its folder (it starts GetCPUInfo from there) and stop on SIGTERM.
set -uo pipefail
build="$1"
fakehid="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
root="$work/root"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

DESTDIR="$root" cmake --install "$build" --prefix /usr >"$work/install.log" || {
    cat "$work/install.log"
    echo "FAIL: cmake --install"
    exit 1
}

folder="$root/usr/lib/korvo-tft"
for file in korvo-tft korvo-tftctl bin/GetCPUInfo; do
    [ -x "$folder/$file" ] || fail "$file is not an executable in the program folder"
done
for file in Config.ini whole.png Default.ini first.ini lang/sc.qm lang/en.qm skin/process.png \
    ../udev/rules.d/70-korvo-tft.rules ../../share/applications/org.korvo.KorvoTFT.desktop \
    ../../share/icons/hicolor/16x16/apps/org.korvo.KorvoTFT.png \
    ../../share/icons/hicolor/256x256/apps/org.korvo.KorvoTFT.png \
    ../../../etc/xdg/autostart/org.korvo.KorvoTFT.desktop; do
    [ -f "$folder/$file" ] || fail "$file is missing"
done
for tool in korvo-tft korvo-tftctl; do
    # Relative, so that the tree works wherever it is unpacked.
    [ "$(readlink "$root/usr/bin/$tool")" = "../lib/korvo-tft/$tool" ] || fail "bin/$tool is not a link to the program folder"
done

rule="$root/usr/lib/udev/rules.d/70-korvo-tft.rules"
grep -Eq '^KERNEL=="hidraw\*", .*ATTRS\{idVendor\}=="04d9", ATTRS\{idProduct\}=="fd01", TAG\+="uaccess"' "$rule" ||
    fail "the udev rule does not give hidraw 04d9:fd01 to the user at the desk"

for entry in "$root/usr/share/applications/org.korvo.KorvoTFT.desktop" "$root/etc/xdg/autostart/org.korvo.KorvoTFT.desktop"; do
    desktop-file-validate "$entry" || fail "$entry does not validate"
    grep -qx 'Exec=korvo-tft' "$entry" || fail "$entry does not start korvo-tft from the path"
    grep -qx 'Icon=org.korvo.KorvoTFT' "$entry" || fail "$entry does not name the installed icon"
done
grep -qx 'NoDisplay=true' "$root/etc/xdg/autostart/org.korvo.KorvoTFT.desktop" || fail "the autostart entry shows in menus"

# The command-line tool through its link, on the virtual screen.
if ! "$root/usr/bin/korvo-tftctl" --virtual "$work/screen.png" clock || [ ! -s "$work/screen.png" ]; then
    fail "bin/korvo-tftctl does not run"
fi

# The program through its link, on the HID stand-in with no screen, in a home of its own.
mkdir -m 0700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export KORVO_INSTANCE_SUFFIX="-install-test" KORVO_CPUINFO_KEY="KorvoInstallTest-$$"
LD_PRELOAD="$fakehid" KORVO_FAKEHID_ABSENT=1 "$root/usr/bin/korvo-tft" >"$work/program.log" 2>&1 &
program=$!
socket="$XDG_RUNTIME_DIR/GetCPUInfo$KORVO_INSTANCE_SUFFIX"
for _ in $(seq 200); do
    [ -S "$socket" ] && break
    sleep 0.1
done
[ -S "$socket" ] || fail "the installed program did not start GetCPUInfo from its folder"
[ -s "$XDG_CONFIG_HOME/Korvo TFT/Config.ini" ] || fail "the installed program did not copy its templates"
kill -TERM "$program"
wait "$program"
status=$?
[ "$status" -eq 0 ] || fail "the installed program ended with $status on SIGTERM"
for _ in $(seq 50); do
    [ -e "$socket" ] || break
    sleep 0.1
done
[ -e "$socket" ] && fail "GetCPUInfo was not closed with the program"

if [ "$failures" -ne 0 ]; then
    echo "--- program log"
    cat "$work/program.log"
    exit 1
fi
echo "installed tree checked"
