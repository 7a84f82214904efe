#!/usr/bin/python3
"""Guest side: prints what a keyboard types, one line per key event, named as
libevdev names them ("+KEY_A" pressed, "-KEY_A" released), to OUT as it
comes. Follows the device named NAME across its re-creation (Kestrune is
restarted between settings). Repeats (value 2) are left out: the kernel makes
them for whatever is held.

  guest_keys.py OUT [--name NAME] [--stamps]
  guest_keys.py --held DEVICE

--held prints the keys the kernel holds down on DEVICE now (EVIOCGKEY, which
a grab does not hide), one name a line.

--stamps adds the kernel's CLOCK_MONOTONIC time of each event, in
nanoseconds, before the key: "123456789 +KEY_A".
"""
import argparse
import ctypes
import errno
import fcntl
import glob
import os
import select
import struct
import sys
import time

EVENT = struct.Struct("llHHi")
EV_KEY = 1
EVIOCSCLOCKID = 0x400445A0  # _IOW('E', 0xa0, int)
CLOCK_MONOTONIC = 1

_libevdev = ctypes.CDLL("libevdev.so.2")
_libevdev.libevdev_event_code_get_name.restype = ctypes.c_char_p
_libevdev.libevdev_event_code_get_name.argtypes = [ctypes.c_uint, ctypes.c_uint]


def key_name(code):
    name = _libevdev.libevdev_event_code_get_name(EV_KEY, code)
    return name.decode() if name else str(code)


def find(name):
    for path in sorted(glob.glob("/sys/class/input/event*/device/name")):
        try:
            with open(path) as f:
                if f.read().strip() == name:
                    return "/dev/input/" + path.split("/")[4]
        except OSError:
            pass
    return None


def held(device):
    fd = os.open(device, os.O_RDONLY)
    bits = bytearray(96)
    fcntl.ioctl(fd, 0x80000000 | (len(bits) << 16) | (ord("E") << 8) | 0x18, bits)  # EVIOCGKEY
    os.close(fd)
    for code in range(len(bits) * 8):
        if bits[code // 8] >> (code % 8) & 1:
            print(key_name(code))


def main():
    if sys.argv[1:2] == ["--held"]:
        return held(sys.argv[2])
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--name", default="Kestrune virtual keyboard")
    ap.add_argument("--stamps", action="store_true")
    args = ap.parse_args()
    out = open(args.out, "a", buffering=1)
    while True:
        node = find(args.name)
        if not node:
            time.sleep(0.02)
            continue
        try:
            fd = os.open(node, os.O_RDONLY)
        except OSError:
            time.sleep(0.02)
            continue
        if args.stamps:
            fcntl.ioctl(fd, EVIOCSCLOCKID, struct.pack("i", CLOCK_MONOTONIC))
        print("# open " + node, file=out)
        try:
            while True:
                data = os.read(fd, EVENT.size * 64)
                for at in range(0, len(data), EVENT.size):
                    sec, usec, kind, code, value = EVENT.unpack_from(data, at)
                    if kind != EV_KEY or value == 2:
                        continue
                    line = ("+" if value else "-") + key_name(code)
                    if args.stamps:
                        line = "%d %s" % (sec * 1_000_000_000 + usec * 1000, line)
                    print(line, file=out)
        except OSError as e:
            if e.errno != errno.ENODEV:
                raise
        finally:
            os.close(fd)
        print("# gone", file=out)


if __name__ == "__main__":
    sys.exit(main())
