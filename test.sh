#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds into build/ and runs every test but the Debian package's,
# which CI runs (.ci/run).
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
korvo_install_packages
korvo_build build
cd "$KORVO_ROOT/build"
export QT_QPA_PLATFORM=offscreen
# Most tests wait on timers and on the programs they start rather than compute: twice as many at
# once as there are cores keeps the cores busy.
ctest --output-on-failure --parallel "$(($(nproc) * 2))" --label-exclude package "$@"
