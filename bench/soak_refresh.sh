#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the refresh loop for a long time on the virtual screen and prints RSS and open file
# descriptors at the start and at the end.
#   bench/soak_refresh.sh [seconds (default 600)] [build folder (default build)]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
build="${2:-$root/build}"
cmake --build "$build" --target soak_refresh -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bench/compose/soak_refresh" "$seconds"
