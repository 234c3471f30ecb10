#!/usr/bin/env python3
"""Writes toolbar_strip.bmp: seven 16 x 15 images in 24 bits, each a coloured
square at 4..11 x 4..10 on 0xC0C0C0."""
import struct

w, h = 112, 15
stride = (w * 3 + 3) & ~3
rows = []
for y in range(h - 1, -1, -1):  # bottom-up
    row = b""
    for x in range(w):
        cell, cx = divmod(x, 16)
        if 4 <= cx < 12 and 4 <= y < 11:
            r, g, b = cell * 36, 255 - cell * 30, 0
        else:
            r, g, b = 192, 192, 192
        row += bytes((b, g, r))
    rows.append(row + b"\0" * (stride - len(row)))
bits = b"".join(rows)
header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(bits), 0, 0, 0, 0)
file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(bits), 0, 0, 54)
with open("toolbar_strip.bmp", "wb") as f:
    f.write(file_header + header + bits)
