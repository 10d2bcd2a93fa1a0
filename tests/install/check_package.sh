#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# check_package.sh BUILD_DIR: builds the Debian package into a folder of its own; its
# dependencies must come from dpkg-shlibdeps and lintian, pedantic, must find nothing to say.
source "$(dirname "$0")/scratch.sh"
cpack -G DEB --config "$1/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
package="$(ls "$work"/korvo-tft_*.deb)"
dpkg-deb -f "$package" Depends | grep -q 'libqt5widgets5.*libudev1' || { echo "FAIL: dependencies not from the binaries"; exit 1; }
# (Its advice against running as root goes to stderr and is no finding.)
report="$(lintian -I --pedantic --tag-display-limit 0 "$package" 2>/dev/null)"
[ -z "$report" ] || { echo "$report"; exit 1; }
