#!/usr/bin/env bash
# Builds OUT_DIR/initramfs.cpio.gz for the test VM: busybox, the few modules
# needed to reach the host's root over 9p, and an /init that switches into it.
# Writes the kernel's path to OUT_DIR/kernel. Reuses the image while it is newer
# than the kernel and this script.
set -euo pipefail

out_dir="${1:?usage: mkinitramfs.sh OUT_DIR}"
mkdir -p "$out_dir"
out_dir="$(cd "$out_dir" && pwd)"
image="$out_dir/initramfs.cpio.gz"

kernel="$(ls -1 /boot/vmlinuz-* 2>/dev/null | sort -V | tail -n 1)"
[ -n "$kernel" ] || { echo "mkinitramfs: no /boot/vmlinuz-*" >&2; exit 1; }
release="${kernel#/boot/vmlinuz-}"
moddir="/lib/modules/$release"
[ -f "$moddir/modules.dep" ] || { echo "mkinitramfs: no $moddir/modules.dep" >&2; exit 1; }
busybox="$(command -v busybox || true)"
[ -x /bin/busybox ] && busybox=/bin/busybox
# ldd fails on a static executable (and `file` may not be installed).
[ -n "$busybox" ] && ! ldd "$busybox" >/dev/null 2>&1 \
  || { echo "mkinitramfs: needs a static busybox (busybox-static)" >&2; exit 1; }

echo "$kernel" > "$out_dir/kernel.new" && mv "$out_dir/kernel.new" "$out_dir/kernel"
if [ -f "$image" ] && [ "$image" -nt "$kernel" ] && [ "$image" -nt "$0" ]; then
  echo "$kernel"
  exit 0
fi

# Everything else the guest needs, udev loads from the host's /lib/modules once
# the root is mounted; these are loaded up front so the devices are there
# before udev's first settle.
wanted=(virtio_pci 9pnet_virtio 9p virtio_console evdev uinput xhci_pci xhci_hcd usbhid hid_generic hid)

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage"/{bin,sbin,dev,proc,sys,newroot,lib/modules}
cp "$busybox" "$stage/bin/busybox"

# modules.dep keys are paths; names treat '-' and '_' alike.
declare -A path_of deps_of
while IFS=$'\t' read -r n p d; do
  path_of[$n]="$p"
  deps_of[$p]="$d"
done < <(awk -F': *' '{ n = $1; sub(/.*\//, "", n); sub(/\.ko.*/, "", n); gsub(/-/, "_", n);
                        print n "\t" $1 "\t" $2 }' "$moddir/modules.dep")

declare -A seen
order=()
add() {  # add MODULE_PATH after everything it depends on
  local p="$1" d
  [ -n "${seen[$p]:-}" ] && return
  seen[$p]=1
  for d in ${deps_of[$p]}; do add "$d"; done
  order+=("$p")
}
for m in "${wanted[@]}"; do
  n="${m//-/_}"
  if [ -n "${path_of[$n]:-}" ]; then
    add "${path_of[$n]}"
  elif grep -Eq "/${m}\.ko|/${m//_/-}\.ko" "$moddir/modules.builtin"; then
    :  # built into the kernel
  else
    echo "mkinitramfs: module $m not found for $release" >&2; exit 1
  fi
done

# busybox insmod reads plain ELF only, so compressed modules are unpacked here.
: > "$stage/modules"
for p in "${order[@]}"; do
  src="$moddir/$p"
  base="$(basename "$p")"; base="${base%%.ko*}.ko"
  case "$p" in
    *.ko) cp "$src" "$stage/lib/modules/$base" ;;
    *.ko.xz) xz -dc "$src" > "$stage/lib/modules/$base" ;;
    *.ko.zst) zstd -qdc "$src" > "$stage/lib/modules/$base" ;;
    *.ko.gz) gzip -dc "$src" > "$stage/lib/modules/$base" ;;
    *) echo "mkinitramfs: unknown module format $p" >&2; exit 1 ;;
  esac
  echo "$base" >> "$stage/modules"
done

cat > "$stage/init" <<'EOF'
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev

fail() {
  echo "initramfs: $*" > /dev/console
  echo o > /proc/sysrq-trigger
  sleep 60
}

for m in $(cat /modules); do
  insmod "/lib/modules/$m" || echo "initramfs: insmod $m failed" > /dev/console
done

guest_init=
keep=
cache=loose
for arg in $(cat /proc/cmdline); do
  case "$arg" in
    kestrune.init=*) guest_init="${arg#kestrune.init=}" ;;
    kestrune.keep=*) keep="${arg#kestrune.keep=}" ;;
    kestrune.9pcache=*) cache="${arg#kestrune.9pcache=}" ;;
  esac
done
[ -n "$guest_init" ] || fail "no kestrune.init= on the kernel command line"

# A large msize and a client-side cache make exec'ing the host's binaries
# bearable under TCG; the host's files are not expected to change mid-run.
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=512000,cache=$cache hostroot /newroot \
  || fail "cannot mount the host's root over 9p"
# The guest writes in tmpfs over /tmp, /run, /var/tmp and /root. The folder
# to keep (the checkout, with its build) may lie under one of them, as a CI
# clone in /tmp does: it is set aside first and put back at its own path.
mkdir -p /kept
[ -n "$keep" ] && [ -d "/newroot$keep" ] && mount -o bind "/newroot$keep" /kept
for d in tmp run var/tmp root; do
  mount -t tmpfs -o mode=0755 tmpfs "/newroot/$d" || fail "cannot mount tmpfs on /$d"
  case "$keep/" in
    "/$d/"*) mkdir -p "/newroot$keep" && mount -o move /kept "/newroot$keep" || fail "cannot keep $keep" ;;
  esac
done
chmod 1777 /newroot/tmp /newroot/var/tmp
for d in dev proc sys; do
  mount -o move "/$d" "/newroot/$d" || fail "cannot move /$d"
done
[ -f "/newroot$guest_init" ] || { echo "initramfs: $guest_init not found" > /newroot/dev/console; echo o > /newroot/proc/sysrq-trigger; }
exec switch_root /newroot /bin/sh "$guest_init"
EOF
chmod 755 "$stage/init"

(cd "$stage" && find . -print0 | cpio --null -o -H newc --quiet) | gzip -1 > "$image.new"
mv "$image.new" "$image"
echo "$kernel"
