# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the install checks: a scratch folder removed at exit, and failures counted so that
# one run reports them all.
set -uo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
