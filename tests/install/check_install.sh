#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# check_install.sh BUILD_DIR FAKEHID_LIBRARY
# Installs the build under a DESTDIR with the prefix /usr, as the package does, checks the tree,
# the udev rule and the desktop entries, then starts the installed program through its link in
# bin/: it must find its folder (it starts GetCPUInfo from there) and stop on SIGTERM.
source "$(dirname "$0")/scratch.sh"
root="$work/root"
DESTDIR="$root" cmake --install "$1" --prefix /usr >/dev/null || fail "cmake --install"

cd "$root" || exit 1
[ ! -e usr/lib/korvo-tft/first.ini ] || fail "first.ini is installed: every upgrade would replace each user's layout"
for file in usr/lib/korvo-tft/{Config.ini,whole.png,Default.ini,lang/sc.qm,lang/en.qm,skin/process.png} \
    usr/share/icons/hicolor/{16x16,256x256}/apps/org.korvo.KorvoTFT.png \
    usr/share/metainfo/org.korvo.KorvoTFT.metainfo.xml; do
    [ -f "$file" ] || fail "$file is missing"
done
for tool in korvo-tft korvo-tftctl; do
    # Relative, so that the tree works wherever it is unpacked.
    [ "$(readlink "usr/bin/$tool")" = "../lib/korvo-tft/$tool" ] || fail "bin/$tool is not a link to the program folder"
    zcat "usr/share/man/man1/$tool.1.gz" 2>/dev/null | grep -q "^\.TH ${tool^^} 1" || fail "no man page for $tool"
done
grep -Eq '^KERNEL=="hidraw\*", ATTRS\{idVendor\}=="04d9", ATTRS\{idProduct\}=="fd01", TAG\+="uaccess"(, |$)' \
    usr/lib/udev/rules.d/70-korvo-tft.rules || fail "the udev rule does not give hidraw 04d9:fd01 to the user at the desk"
entry=usr/share/applications/org.korvo.KorvoTFT.desktop
desktop-file-validate "$entry" && grep -qx 'Exec=korvo-tft' "$entry" && grep -qx 'Icon=org.korvo.KorvoTFT' "$entry" ||
    fail "$entry is not a valid entry that starts korvo-tft with its icon"
# Starting at login is each user's own choice, made in the program.
[ -e etc/xdg/autostart ] && fail "an autostart entry is installed for every user"

usr/bin/korvo-tftctl --virtual "$work/screen.png" clock && [ -s "$work/screen.png" ] || fail "bin/korvo-tftctl does not run"

# The program on the HID stand-in with no screen, in a home of its own.
mkdir -m 0700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export KORVO_INSTANCE_SUFFIX="-install-test" KORVO_CPUINFO_KEY="KorvoInstallTest-$$"
# A sanitizer build's runtime need not come first when the stand-in is preloaded.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" LD_PRELOAD="$2" KORVO_FAKEHID_ABSENT=1 usr/bin/korvo-tft >"$work/program.log" 2>&1 &
program=$!
socket="$XDG_RUNTIME_DIR/GetCPUInfo$KORVO_INSTANCE_SUFFIX"
for _ in $(seq 200); do [ -S "$socket" ] && break || sleep 0.1; done
[ -S "$socket" ] || fail "the installed program did not start GetCPUInfo from its folder"
kill -TERM "$program"
wait "$program" || fail "the installed program ended with $? on SIGTERM"
for _ in $(seq 50); do [ -e "$socket" ] && sleep 0.1 || break; done
[ -e "$socket" ] && fail "GetCPUInfo was not closed with the program"

[ "$failures" -eq 0 ] || { cat "$work/program.log"; exit 1; }
