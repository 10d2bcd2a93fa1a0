#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence line at the top of every source file of the repository that lacks it (after
# a #! line). Running it again changes nothing. With --check it changes nothing and lists the
# files that lack the line, failing when there is one.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
licence="SPDX-License-Identifier: GPL-3.0-or-later"
check=0
[ "${1:-}" = "--check" ] && check=1

# The files git knows, so build trees and stray files are left alone.
cd "$root"
missing=0
while IFS= read -r -d '' file; do
    case "$file" in
        *.cpp | *.h | *.c) line="// $licence" ;;
        *.sh | *.py | *.cmake | */CMakeLists.txt | CMakeLists.txt | .ci/run) line="# $licence" ;;
        *) continue ;;
    esac
    [ -f "$file" ] || continue
    # Read by the shell itself: a process or two for each of hundreds of files is slow.
    first="" second=""
    { IFS= read -r first || true; IFS= read -r second || true; } <"$file"
    [[ "$first$second" == *"$licence"* ]] && continue
    if [ "$check" -eq 1 ]; then
        echo "no licence line: $file"
        missing=$((missing + 1))
        continue
    fi
    first="$(head -n 1 "$file")"
    # The new file replaces the old one whole, keeping its mode.
    temp="$(mktemp "$file.XXXXXX")"
    if [ "${first:0:2}" = "#!" ]; then
        { printf '%s\n%s\n' "$first" "$line"; tail -n +2 "$file"; } >"$temp"
    else
        { printf '%s\n' "$line"; cat "$file"; } >"$temp"
    fi
    chmod --reference="$file" "$temp"
    mv "$temp" "$file"
done < <(git ls-files -z)

if [ "$check" -eq 1 ] && [ "$missing" -gt 0 ]; then
    echo "$missing files lack the licence line; run scripts/add-spdx.sh" >&2
    exit 1
fi
exit 0
