#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts Korvo TFT: on the real screen when
# one is attached, otherwise on the virtual screen.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
korvo_install_packages
korvo_build build -DKORVO_BUILD_TESTS=OFF -DKORVO_BUILD_BENCH=OFF
