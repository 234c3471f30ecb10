#!/usr/bin/env python3
"""Writes the test bitmaps of the button-image and menu-bitmap tests.

strip.bmp (48 x 16, 24 bits): three 16 x 16 cells. Cell 0 is magenta (the
key colour, also the top-left pixel) with a white square at 4..11 and a red
pixel at (8, 2); cell 1 blue, cell 2 green, each with a magenta top row.
button.bmp (16 x 16, 8 bits, 4 table entries: 0xC0C0C0, white, black,
0x808080): the mask colour with a white square at 2..7 and a black square at
9..13 (rows 2..7), and a 0x808080 bottom row.
"""
import struct


def write_bmp(path, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = b"".join(bytes((b, g, r)) for (r, g, b) in (pixel(x, y) for x in range(width)))
        rows.append(row + b"\0" * (stride - len(row)))
    bits = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits), 0, 0, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(bits), 0, 0, 14 + 40)
    with open(path, "wb") as f:
        f.write(file_header + header + bits)


def write_bmp8(path, width, height, table, index):
    stride = (width + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytes(index(x, y) for x in range(width))
        rows.append(row + b"\0" * (stride - len(row)))
    bits = b"".join(rows)
    colours = b"".join(bytes((b, g, r, 0)) for (r, g, b) in table)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(bits), 0, 0, len(table), 0)
    offset = 14 + 40 + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(file_header + header + colours + bits)


def strip(x, y):
    cell, cx = divmod(x, 16)
    if cell == 0:
        if (cx, y) == (8, 2):
            return (255, 0, 0)
        if 4 <= cx <= 11 and 4 <= y <= 11:
            return (255, 255, 255)
        return (255, 0, 255)
    if y == 0:
        return (255, 0, 255)
    return (0, 0, 255) if cell == 1 else (0, 255, 0)


def button(x, y):
    if 2 <= x <= 7 and 2 <= y <= 7:
        return 1
    if 9 <= x <= 13 and 2 <= y <= 7:
        return 2
    return 3 if y == 15 else 0


write_bmp("strip.bmp", 48, 16, strip)
write_bmp8("button.bmp", 16, 16, [(192, 192, 192), (255, 255, 255), (0, 0, 0), (128, 128, 128)], button)
