#!/usr/bin/env bash
# check_package.sh BUILD_DIR: builds the Debian package into a folder of its own; its
# dependencies must come from dpkg-shlibdeps and lintian must find no errors.
set -uo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$1/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
package="$(ls "$work"/korvo-tft_*.deb)"
dpkg-deb -f "$package" Depends | grep -q 'libqt5widgets5.*libudev1' || { echo "FAIL: dependencies not from the binaries"; exit 1; }
lintian --fail-on error --tag-display-limit 0 "$package"
