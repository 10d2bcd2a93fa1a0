#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Gathers every tr() text of src/ (code and .ui forms) into resources/translations/sc.ts and
# en.ts. New texts arrive unfinished: fill in their translations (in sc.ts the Chinese text
# itself) and remove type="unfinished"; the translations test fails while any entry is open.
# Texts gone from the code are dropped. Each text keeps the file and line it comes from, so a
# translator sees where it stands (Qt Linguist shows the code around it).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lupdate="${LUPDATE:-$(command -v lupdate || echo /usr/lib/qt5/bin/lupdate)}"
if [ ! -x "$lupdate" ]; then
    echo "update-translations: lupdate not found (install qttools5-dev-tools or set LUPDATE)" >&2
    exit 1
fi

# name:language; the language only matters when a file is created.
for pair in sc:zh_CN en:en; do
    name="${pair%%:*}"
    ts="$root/resources/translations/$name.ts"
    if ! "$lupdate" -silent -no-obsolete -locations relative -extensions cpp,h,ui \
        -source-language zh_CN -target-language "${pair#*:}" "$root/src" -ts "$ts"; then
        echo "update-translations: lupdate failed on $ts" >&2
        exit 1
    fi
    open="$(grep -c 'type="unfinished"' "$ts" || true)"
    [ "$open" -eq 0 ] || echo "$name.ts: $open entries still to translate"
done
