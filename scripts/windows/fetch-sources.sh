#!/usr/bin/env bash
# Fetches Debian's source packages of Qt's base modules and hidapi into the cache, with
# Debian's patches applied. The machine's own package lists are left alone: the deb-src lines
# live in a private sources list with its own lists folder.
#
#   scripts/windows/fetch-sources.sh      (about a minute; ~50 MB)
set -euo pipefail
source "$(dirname "$0")/env.sh"
korvo_win_need dpkg-source dpkg-dev

packages=(qtbase-opensource-src hidapi)
korvo_win_done sources && exit 0

apt_dir="$KORVO_WIN_CACHE/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$KORVO_WIN_CACHE/src"
# The suites the machine installs from, as source lines.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
cat >"$apt_dir/sources.list" <<LIST
deb-src http://deb.debian.org/debian $codename main
deb-src http://deb.debian.org/debian-security $codename-security main
LIST
apt_options=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir" -o Dir::Cache::Archives="$apt_dir/archives"
    -o Debug::NoLocking=1)
apt-get "${apt_options[@]}" update -qq
cd "$KORVO_WIN_CACHE/src"
# A folder left by an interrupted unpack would make apt-get source skip it.
for pkg in "${packages[@]}"; do
    rm -rf "$pkg"-[0-9]*/
    apt-get "${apt_options[@]}" source -qq "$pkg"
    dir=$(find . -maxdepth 1 -type d -name "$pkg-[0-9]*" | head -n1)
    [ -n "$dir" ] || { echo "apt-get source $pkg left no source folder" >&2; exit 1; }
    ln -sfn "$dir" "$pkg"
done
korvo_win_stamp sources
