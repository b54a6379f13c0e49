#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Writes a camera-like JPEG: MAIN with a multi-picture index (APP2 "MPF") after its start marker that
names PREVIEW, appended after the main picture, as its full-HD class large thumbnail, as cameras store it.

Usage: camera_preview.py MAIN PREVIEW OUT
"""
import struct
import sys


def with_preview(main: bytes, preview: bytes) -> bytes:
    entries = 38  # TIFF header 8, field count 2, two fields of 12, next-IFD offset 4
    segment = 2 + 2 + 4 + entries + 32  # marker, length, "MPF\0", index with two image entries
    base = 2 + 4 + 4  # where the index (its byte-order mark) starts in the file
    index = b"II*\0" + struct.pack("<I", 8) + struct.pack("<H", 2)
    index += struct.pack("<HHI", 0xB000, 7, 4) + b"0100"
    index += struct.pack("<HHII", 0xB002, 7, 32, entries) + struct.pack("<I", 0)
    index += struct.pack("<IIIHH", 0x20030000, len(main) + segment, 0, 0, 0)
    index += struct.pack("<IIIHH", 0x010002, len(preview), len(main) + segment - base, 0, 0)
    payload = b"MPF\0" + index
    return main[:2] + b"\xff\xe2" + struct.pack(">H", len(payload) + 2) + payload + main[2:] + preview


if __name__ == "__main__":
    main_path, preview_path, out_path = sys.argv[1:4]
    with open(main_path, "rb") as m, open(preview_path, "rb") as p, open(out_path, "wb") as o:
        o.write(with_preview(m.read(), p.read()))
