#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# check_units.sh BUILD_DIR: installs the build under a prefix of its own, so that the units'
# ExecStart names a program that exists, then has systemd judge the units and create the
# service's user from the sysusers file in a scratch root.
source "$(dirname "$0")/../install/scratch.sh"
prefix="$work/prefix"
cmake --install "$1" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

system="$prefix/lib/systemd/system/korvo-tft.service"
user="$prefix/lib/systemd/user/korvo-tft.service"
# verify warns on stderr and still ends with 0 for a line it cannot read: any output fails.
mkdir -m 0700 "$work/runtime"
for unit in "$system" "$user"; do
    mode=()
    [ "$unit" = "$user" ] && mode=(--user)
    out="$(XDG_RUNTIME_DIR="$work/runtime" systemd-analyze "${mode[@]}" verify --man=no "$unit" 2>&1)" &&
        [ -z "$out" ] || fail "systemd-analyze ${mode[*]} verify $unit: $out"
    grep -qx "ExecStart=$prefix/bin/korvo-tft --headless" "$unit" || fail "$unit does not start $prefix/bin/korvo-tft --headless"
    grep -qx 'Type=notify' "$unit" || fail "$unit does not wait for the program to say it is ready"
done
for line in 'User=korvo-tft' 'DeviceAllow=char-hidraw rw' 'DevicePolicy=closed' 'NoNewPrivileges=yes' \
    'ProtectSystem=strict' 'ProtectHome=yes' 'PrivateTmp=yes' 'Restart=on-failure' 'StateDirectory=korvo-tft' \
    'RuntimeDirectory=korvo-tft' 'WantedBy=multi-user.target'; do
    grep -qx "$line" "$system" || fail "the system unit lacks $line"
done
# Shipped disabled: nothing is linked into a target's wants.
[ -z "$(find "$prefix" -path '*.wants*' -print -quit)" ] || fail "a unit is installed enabled"

# The service's user and group, as the package's postinst creates them, and the udev rule's group.
root="$work/root"
mkdir -p "$root/etc" "$root/usr/lib/sysusers.d"
cp "$prefix/lib/sysusers.d/korvo-tft.conf" "$root/usr/lib/sysusers.d/" || fail "the sysusers file is not installed"
systemd-sysusers --root="$root" >/dev/null 2>&1 || fail "systemd-sysusers refuses the sysusers file"
grep -Eq '^korvo-tft:x:[0-9]+:[0-9]+:[^:]*:/var/lib/korvo-tft:/usr/sbin/nologin$' "$root/etc/passwd" ||
    fail "no system user korvo-tft with the state directory as its home: $(cat "$root/etc/passwd" 2>&1)"
grep -Eq '^korvo-tft:x:[0-9]+:' "$root/etc/group" || fail "no group korvo-tft"
grep -q 'GROUP="korvo-tft", MODE="0660"' "$prefix/lib/udev/rules.d/70-korvo-tft.rules" ||
    fail "the udev rule does not give the screen to the service's group"

[ "$failures" -eq 0 ]
