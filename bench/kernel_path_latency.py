#!/usr/bin/python3
"""Latency on the real key path, in a QEMU guest on Debian's kernel: a source
keyboard made through uinput types a fixed stream (letters, Hyper chords,
arrows, lone Caps Lock taps); the added latency is the kernel timestamp of
Kestrune's output against the moment each key was written, next to the bare
path (the same reader on the source device, no Kestrune) in the same boot.
Also Kestrune's CPU time per key event written.

  bench/kernel_path_latency.py [--build DIR] [--blocks N]

Under TCG every absolute figure is inflated; the ratio to the bare path is
what counts.
"""
import argparse
import json
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(REPO, "tests", "vm"))
from run import Stage  # noqa: E402
from vm import Vm  # noqa: E402

GUEST = ["/usr/bin/python3", os.path.join(HERE, "kernel_path_latency_guest.py")]


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default=os.path.join(REPO, "build", "release"))
    ap.add_argument("--blocks", type=int, default=40)  # 40 key events each
    args = ap.parse_args()
    results = {}
    with tempfile.TemporaryDirectory(prefix="kestrune-bench-") as work, Vm(work) as vm:
        stage = Stage(vm, os.path.abspath(args.build))
        r = vm.run(GUEST + ["bare", str(args.blocks)], timeout=1800, check=True)
        results["bare"] = json.loads(r.stdout)
        stage.start({"singlePressConfig": "esc"})
        try:
            pid = vm.run(["pgrep", "-x", "kestrune"], check=True).stdout.split()[0]
            r = vm.run(GUEST + ["kestrune", str(args.blocks), "--pid", pid], timeout=1800, check=True)
            results["kestrune"] = json.loads(r.stdout)
        finally:
            stage.stop()
    bare, k = results["bare"], results["kestrune"]
    print(f"{'path':10} {'events':>7} {'p50 µs':>9} {'p99 µs':>9} {'max µs':>9} {'CPU µs/event':>13}")
    for name, m in (("bare", bare), ("kestrune", k)):
        print(f"{name:10} {m['events']:7d} {m['p50_us']:9.0f} {m['p99_us']:9.0f} {m['max_us']:9.0f} "
              f"{m['cpu_us_per_event']:13.0f}")
    print(f"added by Kestrune: p50 {k['p50_us'] - bare['p50_us']:.0f} µs, "
          f"p99 {k['p99_us'] - bare['p99_us']:.0f} µs; "
          f"ratio to the bare path: p50 {k['p50_us'] / bare['p50_us']:.1f}×, p99 {k['p99_us'] / bare['p99_us']:.1f}×")


if __name__ == "__main__":
    main()
