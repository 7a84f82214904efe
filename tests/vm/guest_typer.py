#!/usr/bin/python3
"""Guest side: a second keyboard made through uinput ("Kestrune test
keyboard"), typed on by lines written to FIFO: "+KEY_A -KEY_B …", each key
event followed by SYN_REPORT. Runs until killed.

  guest_typer.py FIFO
"""
import sys

import evdev
from evdev import ecodes


def main():
    fifo = sys.argv[1]
    keys = [c for c in range(1, 249)]
    ui = evdev.UInput({ecodes.EV_KEY: keys}, name="Kestrune test keyboard")
    while True:
        with open(fifo) as f:
            for line in f:
                for word in line.split():
                    if word[0] not in "+-":
                        continue
                    ui.write(ecodes.EV_KEY, ecodes.ecodes[word[1:]], 1 if word[0] == "+" else 0)
                    ui.syn()


if __name__ == "__main__":
    main()
