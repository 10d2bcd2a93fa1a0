#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts Korvo TFT: on the real screen when
# one is attached, otherwise on the virtual screen.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
korvo_install_packages
korvo_build build -DKORVO_BUILD_TESTS=OFF -DKORVO_BUILD_BENCH=OFF

# Until the main window is in place, show the sample picture with the command-line tool: on the
# screen when one is attached, otherwise on the virtual screen, whose picture is saved.
tftctl="$KORVO_ROOT/build/program/korvo-tftctl"
sample="$KORVO_ROOT/resources/sample/korvo-sample.png"
if "$tftctl" list >/dev/null 2>&1; then
    "$tftctl" image "$sample"
    echo "The sample picture is on the TFT Screen."
else
    picture="$KORVO_ROOT/build/virtual-screen.png"
    "$tftctl" --virtual "$picture" image "$sample"
    echo "No TFT Screen attached; the virtual screen's picture was written to $picture"
fi
