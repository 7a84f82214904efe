#!/bin/sh
# PID 1 of the test VM, on the host's read-only root (see mkinitramfs.sh).
# Brings up what the host's programs expect, then serves the agent on the
# virtio-serial port "kestrune.ctl" until it is told to quit, and powers off.
here="$(dirname "$0")"
# Stage times go to the console log, to see where a slow boot spends its time.
mark() { read -r up _ < /proc/uptime; echo "guest-init: $1 at $up s" > /dev/console; }
mark started
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root LANG=C.UTF-8 XDG_RUNTIME_DIR=/run/user/0

mkdir -p /dev/pts /dev/shm /run/user/0 /run/lock
chmod 0700 /run/user/0
mount -t devpts -o gid=5,mode=620,ptmxmode=666 devpts /dev/pts
mount -t tmpfs -o mode=1777,nosuid,nodev shm /dev/shm
echo kestrune-vm > /proc/sys/kernel/hostname
ip link set lo up 2>/dev/null

/lib/systemd/systemd-udevd --daemon
# Only what input tests look at: replaying every device makes udev load
# dozens of CPU and platform modules over 9p, which triples the boot time.
# Hot-plugged devices are handled whatever their subsystem.
udevadm trigger --action=add --type=subsystems
udevadm trigger --action=add --type=devices --subsystem-match=input \
  --subsystem-match=misc --subsystem-match=leds --subsystem-match=hid \
  --subsystem-match=usb
mark "udevd started"
udevadm settle --timeout=60
mark "udev settled"

port=
for d in /sys/class/virtio-ports/*; do
  [ "$(cat "$d/name" 2>/dev/null)" = kestrune.ctl ] && port="/dev/${d##*/}"
done
mark "agent starting on ${port:-no port}"
/usr/bin/python3 "$here/guest_agent.py" "$port"
echo "guest-init: agent exited with $?" > /dev/console
# Synchronous, so PID 1 never exits (that would panic); sysrq as a fallback.
/bin/busybox poweroff -f
echo o > /proc/sysrq-trigger
exec /bin/busybox sleep 60
