#!/usr/bin/env bash
# The package's maintainer scripts, run by the real dpkg on a throwaway copy
# of this machine: an overlay over / in a mount namespace of its own, with a
# /dev of fake input nodes (an evdev node and /dev/uinput, made with mknod;
# ACLs are set on the inode, nothing opens them). The host's files, dpkg
# database and devices are not touched.
#
#   bash tests/package/upgrade-test.sh build/release/package/kestrune_*.deb
#
# Three machines, each from scratch:
#   upgrade   0.1.0-1 installed (its uaccess rule, the copy "Fix" put in
#             /etc/udev/rules.d, the ACL entries logind gave the user at the
#             seat, udev's static-node tag): the new package removes the
#             rule, the copy and the user entries, keeps other groups'
#             entries, makes the system user and enables the service; then
#             remove takes the service group's entries back and purge its
#             enablement, leaving the user.
#   modified  the same with a changed /etc copy: it is kept, and so is the
#             static-node tag it asks for.
#   fresh     the new package alone: no user ACL entry anywhere; installing
#             it again works; the "Grant Access" helper only enables the
#             service.
# udevadm and modprobe are recorders here: no udevd runs, and the host's
# kernel is left alone. No systemd runs either. What udev does with the rule
# and the service's start are not covered.
#
# Needs root (mount namespaces, mknod); elsewhere it says so and skips.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
new_deb=$(realpath "${1:?usage: upgrade-test.sh NEW.deb}")

if [ "$(id -u)" -ne 0 ]; then
    echo "upgrade-test: skipped, it needs root (mount namespaces, mknod)" >&2
    exit 0
fi
if [ "${KESTRUNE_UPGRADE_TEST_INSIDE:-}" != 1 ]; then
    KESTRUNE_UPGRADE_TEST_INSIDE=1 exec unshare --mount --fork -- bash "$0" "$new_deb"
fi

# In the mount namespace from here on.
mount --make-rprivate /
scratch=$(mktemp -d)
mount -t tmpfs kestrune-upgrade-test "$scratch"
trap 'umount -R "$scratch" 2>/dev/null || true; rmdir "$scratch" 2>/dev/null || true' EXIT

# The old package, as 0.1.0-1 was: its rule in the two places it installed
# it, and its maintainer scripts.
old=$scratch/old
mkdir -p "$old/DEBIAN" "$old/usr/lib/udev/rules.d" "$old/usr/share/kestrune"
cp "$here/0.1.0-1/postinst" "$here/0.1.0-1/prerm" "$here/0.1.0-1/postrm" "$old/DEBIAN/"
chmod 755 "$old/DEBIAN/postinst" "$old/DEBIAN/prerm" "$old/DEBIAN/postrm"
cp "$here/0.1.0-1/70-kestrune.rules" "$old/usr/lib/udev/rules.d/"
cp "$here/0.1.0-1/70-kestrune.rules" "$old/usr/share/kestrune/"
cat > "$old/DEBIAN/control" <<EOF
Package: kestrune
Version: 0.1.0-1
Architecture: $(dpkg-deb -f "$new_deb" Architecture)
Maintainer: Kestrune maintainers <maintainers@kestrune.invalid>
Description: Turn Caps Lock into a Hyper key
EOF
dpkg-deb --root-owner-group -b "$old" "$scratch/kestrune_0.1.0-1.deb" > /dev/null

failures=0
check() { # description, command...
    local what=$1
    shift
    if "$@"; then
        echo "  ok: $what"
    else
        echo "  FAILED: $what"
        failures=$((failures + 1))
    fi
}

# Replaces commands in $root by scripts that write down how they were called.
recorder() {
    local tool
    for tool in "$@"; do
        rm -f "$root$tool"
        printf '#!/bin/sh\necho "%s $*" >> /run/calls\n' "${tool##*/}" > "$root$tool"
        chmod 755 "$root$tool"
    done
}

# A fresh copy of this machine at $root.
machine() {
    local name=$1
    local layer=$scratch/$name
    root=$layer/root
    mkdir -p "$layer/upper" "$layer/work" "$root"
    mount -t overlay overlay -o "lowerdir=/,upperdir=$layer/upper,workdir=$layer/work" "$root"
    mount -t proc proc "$root/proc"
    for tmp in run tmp dev; do mount -t tmpfs "$tmp" "$root/$tmp"; done
    for dev in null zero full random urandom tty; do
        touch "$root/dev/$dev"
        mount --bind "/dev/$dev" "$root/dev/$dev"
    done
    mkdir -p "$root/dev/input"
    mknod -m 660 "$root/dev/input/event0" c 13 64
    mknod -m 600 "$root/dev/uinput" c 10 223
    chgrp input "$root/dev/input/event0"
    # No udevd runs in here, and the host's kernel is not to be changed.
    recorder /usr/bin/udevadm /usr/sbin/modprobe
    cp "$new_deb" "$scratch/kestrune_0.1.0-1.deb" "$root/tmp/"
}

inside() {
    chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"
}
dpkg_in() { inside dpkg "$@" > "$root/run/dpkg.log" 2>&1 || { cat "$root/run/dpkg.log"; return 1; }; }
new_in_root=/tmp/$(basename "$new_deb")
new_version=$(dpkg-deb -f "$new_deb" Version)

new_installed() {
    # shellcheck disable=SC2016 # dpkg-query's own ${field} syntax
    [ "$(inside dpkg-query -W -f='${Status} ${Version}' kestrune)" = "install ok installed $new_version" ]
}
acl_of() { inside getfacl -cpn "$1"; }
no_user_entries() { ! acl_of "$1" | grep -q '^user:[0-9]'; }
has_entry() { acl_of "$2" | grep -q "^$1"; }
lacks_group() { ! acl_of "$2" | grep -q "^group:$1:"; }
absent() { [ ! -e "$root$1" ] && [ ! -L "$root$1" ]; }
present() { [ -e "$root$1" ]; }
service_gid() { inside getent group kestrune-input | cut -d: -f3; }
# The rule's effect on these nodes, had udev run it.
grant_service_group() { inside setfacl -m g:kestrune-input:rw /dev/input/event0 /dev/uinput; }
system_user() {
    local entry
    entry=$(inside getent passwd kestrune-input) || return 1
    [ "$(cut -d: -f3 <<< "$entry")" -lt 1000 ] && [[ "$(cut -d: -f7 <<< "$entry")" == */nologin ]]
}
reload_before_trigger() {
    local reload trigger
    reload=$(grep -n "^udevadm control --reload-rules" "$root/run/calls" | tail -1 | cut -d: -f1)
    trigger=$(grep -n "^udevadm trigger" "$root/run/calls" | tail -1 | cut -d: -f1)
    [ -n "$reload" ] && [ -n "$trigger" ] && [ "$reload" -lt "$trigger" ]
}

# 0.1.0-1 in use: what its rule, "Fix" and logind left on the machine.
old_machine() {
    machine "$1"
    dpkg_in -i /tmp/kestrune_0.1.0-1.deb
    cp "$root/usr/share/kestrune/70-kestrune.rules" "$root/etc/udev/rules.d/70-kestrune.rules"
    inside setfacl -m u:1000:rw,u:1001:rw,g:4242:r /dev/input/event0
    inside setfacl -m u:1000:rw /dev/uinput
    mkdir -p "$root/run/udev/static_node-tags/uaccess"
    ln -s ../../../../dev/uinput "$root/run/udev/static_node-tags/uaccess/uinput"
    : > "$root/run/calls"
}

echo "upgrade from 0.1.0-1"
old_machine upgrade
dpkg_in -i "$new_in_root"
check "the package is installed" new_installed
check "the old rule is gone" absent /usr/lib/udev/rules.d/70-kestrune.rules
check "the unchanged copy in /etc is gone" absent /etc/udev/rules.d/70-kestrune.rules
check "the service's rule is in place" present /usr/lib/udev/rules.d/70-kestrune-inputd.rules
check "no user entry on the keyboard" no_user_entries /dev/input/event0
check "no user entry on /dev/uinput" no_user_entries /dev/uinput
check "another group's entry is kept" has_entry group:4242:r-- /dev/input/event0
check "the static node's uaccess tag is gone" absent /run/udev/static_node-tags/uaccess/uinput
check "kestrune-input is a system user without a shell" system_user
check "the service is enabled" test -L "$root/etc/systemd/system/multi-user.target.wants/kestrune-inputd.service"
check "udev reloads the rules, then applies them" reload_before_trigger
check "uinput is loaded" grep -q "^modprobe uinput" "$root/run/calls"

grant_service_group
gid=$(service_gid)
dpkg_in -r kestrune
check "remove: the service group's entry is gone from the keyboard" lacks_group "$gid" /dev/input/event0
check "remove: and from /dev/uinput" lacks_group "$gid" /dev/uinput
check "remove: another group's entry is kept" has_entry group:4242:r-- /dev/input/event0
check "remove: the service's rule is gone" absent /usr/lib/udev/rules.d/70-kestrune-inputd.rules
dpkg_in -P kestrune
check "purge: the service is no longer enabled" absent /etc/systemd/system/multi-user.target.wants/kestrune-inputd.service
check "purge: the service is not left masked" absent /etc/systemd/system/kestrune-inputd.service
check "purge: the system user stays" system_user

echo "upgrade from 0.1.0-1 with a changed copy in /etc"
old_machine modified
echo "# changed here" >> "$root/etc/udev/rules.d/70-kestrune.rules"
dpkg_in -i "$new_in_root"
check "the changed copy is kept" present /etc/udev/rules.d/70-kestrune.rules
check "and the package says so" grep -q "/etc/udev/rules.d/70-kestrune.rules was changed and is kept" "$root/run/dpkg.log"
check "the static node's uaccess tag it asks for is kept" test -L "$root/run/udev/static_node-tags/uaccess/uinput"
check "udev is asked to apply it again" reload_before_trigger

echo "fresh install"
machine fresh
: > "$root/run/calls"
dpkg_in -i "$new_in_root"
check "the package is installed" new_installed
check "no user entry on the keyboard" no_user_entries /dev/input/event0
check "no user entry on /dev/uinput" no_user_entries /dev/uinput
check "kestrune-input is a system user without a shell" system_user
check "the service is enabled" test -L "$root/etc/systemd/system/multi-user.target.wants/kestrune-inputd.service"
dpkg_in -i "$new_in_root"
check "installing it again works" new_installed
# "Grant Access" with the service installed turns to the service alone.
# (systemctl so far was the real one, which deb-systemd-helper runs offline.)
recorder /usr/bin/systemctl
: > "$root/run/calls"
inside /usr/libexec/kestrune/kestrune-input-access
check "the access helper enables and starts the service" \
    grep -qx "systemctl enable --now kestrune-inputd.service" "$root/run/calls"
check "and installs no access rule" absent /etc/udev/rules.d/70-kestrune.rules

if [ "$failures" -gt 0 ]; then
    echo "upgrade-test: $failures checks failed" >&2
    exit 1
fi
echo "upgrade-test: all checks passed"
