#!/usr/bin/python3
"""Guest side of kernel_path_latency.py: a source keyboard made through uinput
types a fixed stream, one key event at a time, while a reader takes the
kernel's CLOCK_MONOTONIC timestamps of what comes out; the latency of a key
event is the first output event's timestamp minus the moment just before it
was written. Closed loop: the next key is written once the output of the last
has come, so no queue builds up.

  kernel_path_latency_guest.py bare|kestrune BLOCKS [--pid PID]

bare reads the source itself (the kernel's own path); kestrune reads
Kestrune's virtual keyboard, with Kestrune holding the source. Prints one
line of JSON.
"""
import argparse
import fcntl
import json
import os
import select
import struct
import time

import evdev
from evdev import ecodes as e

EVENT = struct.Struct("llHHi")
EVIOCSCLOCKID = 0x400445A0
SOURCE = "Kestrune bench source keyboard"
LETTERS = [e.ecodes["KEY_" + c] for c in "ABCDEFGHIJKLMNOPQRSTUVWXYZ"]
CHORDS = [e.KEY_H, e.KEY_J, e.KEY_K, e.KEY_L, e.KEY_A, e.KEY_S, e.KEY_D, e.KEY_F]
PATTERN = "PPPPCPPPTPPPPCPPPT"


def stream(blocks):
    """(code, value, key events Kestrune types for it) in the order written."""
    out, letter, chord = [], 0, 0
    for _ in range(blocks):
        for group in PATTERN:
            if group == "P":
                code = LETTERS[letter % 26]
                letter += 1
                out += [(code, 1, 1), (code, 0, 1)]
            elif group == "C":
                code = CHORDS[chord % 8]
                # h j k l: an arrow; a s d f: the key inside four modifiers.
                n = 1 if chord % 8 < 4 else 5
                chord += 1
                out += [(e.KEY_CAPSLOCK, 1, 0), (code, 1, n), (code, 0, n), (e.KEY_CAPSLOCK, 0, 0)]
            else:
                out += [(e.KEY_CAPSLOCK, 1, 0), (e.KEY_CAPSLOCK, 0, 2)]  # a lone tap: Escape
    return out


def node(name, timeout=20):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for path in evdev.list_devices():
            if evdev.InputDevice(path).name == name:
                return path
        time.sleep(0.02)
    raise SystemExit(f"no device named {name}")


def cpu_seconds(pid):
    if not pid:
        return 0.0
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("mode", choices=["bare", "kestrune"])
    ap.add_argument("blocks", type=int)
    ap.add_argument("--pid", type=int, default=0)
    args = ap.parse_args()

    caps = {e.EV_KEY: list(range(1, 249)), e.EV_MSC: [e.MSC_SCAN]}
    source = evdev.UInput(caps, name=SOURCE)

    def write(code, value):
        source.write(e.EV_MSC, e.MSC_SCAN, 0x70000 + code)
        source.write(e.EV_KEY, code, value)
        source.syn()

    reader = os.open(node(SOURCE if args.mode == "bare" else "Kestrune virtual keyboard"), os.O_RDONLY | os.O_NONBLOCK)
    fcntl.ioctl(reader, EVIOCSCLOCKID, struct.pack("i", time.CLOCK_MONOTONIC))

    def keys(wanted, timeout=5.0):
        """Kernel timestamps (ns) of the next `wanted` key events read."""
        stamps, deadline = [], time.monotonic() + timeout
        while len(stamps) < wanted:
            if not select.select([reader], [], [], max(0.0, deadline - time.monotonic()))[0]:
                raise SystemExit(f"only {len(stamps)} of {wanted} key events came")
            data = os.read(reader, EVENT.size * 64)
            for at in range(0, len(data), EVENT.size):
                sec, usec, kind, code, value = EVENT.unpack_from(data, at)
                if kind == e.EV_KEY and value != 2:
                    stamps.append(sec * 1_000_000_000 + usec * 1000)
        return stamps

    if args.mode == "kestrune":
        # Kestrune has the source once a key comes back through it.
        for _ in range(200):
            write(e.KEY_F12, 1)
            write(e.KEY_F12, 0)
            try:
                keys(2, timeout=0.2)
                break
            except SystemExit:
                pass
        time.sleep(0.2)
        while select.select([reader], [], [], 0)[0]:
            os.read(reader, 4096)

    events = stream(args.blocks)
    latencies = []
    cpu_before = cpu_seconds(args.pid)
    started = time.monotonic()
    for code, value, typed in events:
        wanted = 1 if args.mode == "bare" else typed
        written = time.clock_gettime_ns(time.CLOCK_MONOTONIC)
        write(code, value)
        if wanted:
            latencies.append(keys(wanted)[0] - written)
    elapsed = time.monotonic() - started
    cpu = cpu_seconds(args.pid) - cpu_before
    latencies.sort()

    def pct(p):
        return latencies[min(len(latencies) - 1, int(p * len(latencies)))] / 1000

    print(json.dumps({
        "mode": args.mode, "events": len(events), "measured": len(latencies),
        "p50_us": pct(0.50), "p99_us": pct(0.99), "max_us": latencies[-1] / 1000,
        "cpu_us_per_event": cpu * 1e6 / len(events), "seconds": elapsed,
    }))


if __name__ == "__main__":
    main()
