#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds into build/ and starts Korvo TFT: on the real screen when one
# is attached, otherwise on the virtual screen, with a window that shows what the screen would show.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
korvo_install_packages
korvo_build build -DKORVO_BUILD_TESTS=OFF -DKORVO_BUILD_BENCH=OFF

program="$KORVO_ROOT/build/program"
args=()
if "$program/korvo-tftctl" list >/dev/null 2>&1; then
    echo "Starting Korvo TFT on the TFT Screen."
else
    echo "No TFT Screen attached: Korvo TFT runs on the virtual screen, shown in a window of its own."
    args+=(--virtual-screen)
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No desktop session here: running under Xvfb, where nothing can be seen. End it with Ctrl-C."
    exec xvfb-run -a "$program/korvo-tft" "${args[@]}"
fi
exec "$program/korvo-tft" "${args[@]}"
