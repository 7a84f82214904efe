#!/usr/bin/env python3
"""Packs PNG renders of the application icon into Kestrune.icns.

    make-icns.py FOLDER OUTPUT.icns

FOLDER holds icon_16.png, icon_32.png, icon_64.png, icon_128.png,
icon_256.png, icon_512.png and icon_1024.png: square renders of
resources/linux/com.kestrune.Kestrune.svg (any SVG renderer; Kestrune.icns
was made with Qt's QSvgRenderer). An .icns file is the four bytes "icns", its
total length, then one element per image: a four-character type, the
element's length and, for these types, the PNG data. On a Mac,
`iconutil -c icns` from an .iconset folder gives the same result.
"""
import struct
import sys
from pathlib import Path

# Element type -> pixel size (the @2x types reuse the next size up).
TYPES = [
    ("icp4", 16), ("icp5", 32), ("icp6", 64), ("ic07", 128), ("ic08", 256),
    ("ic09", 512), ("ic10", 1024), ("ic11", 32), ("ic12", 64), ("ic13", 256), ("ic14", 512),
]


def main() -> None:
    folder, output = Path(sys.argv[1]), Path(sys.argv[2])
    body = b""
    for kind, size in TYPES:
        png = (folder / f"icon_{size}.png").read_bytes()
        if not png.startswith(b"\x89PNG"):
            sys.exit(f"icon_{size}.png is not a PNG")
        body += kind.encode("ascii") + struct.pack(">I", 8 + len(png)) + png
    output.write_bytes(b"icns" + struct.pack(">I", 8 + len(body)) + body)


if __name__ == "__main__":
    main()
