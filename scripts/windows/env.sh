# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the scripts of this folder: where the cross toolchain lives and what it needs.
# Sourced, not run.

KORVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
KORVO_WIN_CACHE="${KORVO_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvo-tft/windows}"
# Qt and hidapi built for Windows, both installed under one prefix.
KORVO_WIN_PREFIX="$KORVO_WIN_CACHE/prefix"
KORVO_WIN_STAMPS="$KORVO_WIN_CACHE/stamps"
KORVO_WIN_TRIPLET=x86_64-w64-mingw32

# korvo_win_need TOOL PACKAGE...: stop with the command that installs what is missing. TOOL is
# a command, or a file (a header) by its path.
korvo_win_need() {
    local tool="$1"
    shift
    { command -v "$tool" || [ -e "$tool" ]; } >/dev/null 2>&1 && return 0
    echo "$tool is missing. Install it, then start again:" >&2
    echo "  apt-get install -y --no-install-recommends $*" >&2
    exit 2
}

# A step is done when its stamp exists; the stamp is written last, so a step that was cut
# short has none and runs again (make picks up where it stopped).
korvo_win_done() { [ -e "$KORVO_WIN_STAMPS/$1" ]; }
korvo_win_stamp() {
    mkdir -p "$KORVO_WIN_STAMPS"
    date -u +%FT%TZ >"$KORVO_WIN_STAMPS/$1"
}
korvo_win_unstamp() { rm -f "$KORVO_WIN_STAMPS/$1"; }

# The cross compilers under their plain names, posix threads (std::thread, std::mutex), behind
# ccache where it is installed, so a build that was stopped costs little to run again.
korvo_win_compilers() {
    local dir="$KORVO_WIN_CACHE/compilers"
    mkdir -p "$dir"
    local launcher=""
    command -v ccache >/dev/null 2>&1 && launcher="ccache "
    for tool in gcc g++; do
        printf '#!/bin/sh\nexec %s%s-%s-posix "$@"\n' "$launcher" "$KORVO_WIN_TRIPLET" "$tool" \
            >"$dir/$KORVO_WIN_TRIPLET-$tool"
        chmod +x "$dir/$KORVO_WIN_TRIPLET-$tool"
    done
    # Precompiled headers would otherwise keep every Qt source out of the cache.
    export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:+$CCACHE_SLOPPINESS,}pch_defines,time_macros,include_file_mtime,include_file_ctime"
    export PATH="$dir:$PATH"
}
