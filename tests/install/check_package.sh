#!/usr/bin/env bash
# check_package.sh BUILD_DIR
# Builds the Debian package from the build into a folder of its own and has lintian check it:
# no errors, and dependencies found by dpkg-shlibdeps rather than written by hand.
set -uo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if ! cpack -G DEB --config "$1/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack -G DEB"
    exit 1
fi
package="$(ls "$work"/korvo-tft_*.deb)"
depends="$(dpkg-deb -f "$package" Depends)"
case "$depends" in
*libqt5widgets5*libudev1*) ;;
*)
    echo "FAIL: the dependencies do not come from the binaries: $depends"
    exit 1
    ;;
esac
lintian --fail-on error --tag-display-limit 0 "$package" || {
    echo "FAIL: lintian finds errors in $package"
    exit 1
}
echo "package checked: $(basename "$package")"
