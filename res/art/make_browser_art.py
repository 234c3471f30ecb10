#!/usr/bin/env python3
"""Draws the browser pane's bitmaps and drag cursors.

Run from the repository root: python3 res/art/make_browser_art.py
The outputs are committed; the build only reads them."""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(__file__))
from make_art import Canvas, NAVY, BLUE, WHITE, BLACK, DARK, RED, GREEN, YELLOW, GREY  # noqa: E402

MASK_RED = (255, 0, 0)
ORANGE = (224, 160, 32)
SILVER = (160, 160, 160)


def folder(c, o, opened):
    c.rect(o + 1, 3, o + 6, 5, DARK, YELLOW)
    if opened:
        c.rect(o + 1, 5, o + 13, 13, DARK, YELLOW)
        for x in range(4, 16):
            c.line(o + x - 2, 13, o + x, 8, ORANGE) if x < 15 else None
        c.rect(o + 3, 8, o + 15, 13, DARK, ORANGE)
    else:
        c.rect(o + 1, 5, o + 14, 13, DARK, YELLOW)


def images():
    # 0 other, 1 string, 2 number, 3 key, 4 open key, 5 root.
    c = Canvas(96, 16, MASK_RED)
    o = 0
    c.rect(o + 1, 2, o + 14, 13, DARK, WHITE)
    for y in (4, 7, 10):
        for x in range(3, 13, 3):
            c.put(o + x, y, BLUE)
            c.put(o + x + 1, y, BLUE)
    o = 16
    c.rect(o + 1, 2, o + 14, 13, DARK, WHITE)
    c.line(o + 3, 11, o + 5, 4, RED); c.line(o + 5, 4, o + 7, 11, RED); c.line(o + 4, 8, o + 6, 8, RED)
    c.line(o + 9, 4, o + 9, 11, RED); c.rect(o + 9, 7, o + 12, 11, RED)
    o = 32
    c.rect(o + 1, 2, o + 14, 13, DARK, WHITE)
    c.line(o + 4, 4, o + 4, 11, BLUE); c.line(o + 3, 5, o + 4, 4, BLUE)
    c.rect(o + 8, 4, o + 11, 11, BLUE)
    folder(c, 48, False)
    folder(c, 64, True)
    o = 80
    c.rect(o + 1, 2, o + 14, 10, NAVY, BLUE)
    c.rect(o + 3, 4, o + 12, 8, NAVY, WHITE)
    c.rect(o + 4, 11, o + 11, 13, DARK, SILVER)
    return c


def arrow_button(direction):
    c = Canvas(16, 16, GREY)
    if direction == "up":
        for i in range(6):
            c.line(8 - i, 3 + i, 8 + i, 3 + i, GREEN)
        c.rect(6, 9, 10, 13, GREEN, GREEN)
    else:
        step = -1 if direction == "back" else 1
        tip = 3 if direction == "back" else 12
        for i in range(6):
            x = tip - step * i
            c.line(x, 8 - i, x, 8 + i, GREEN)
        a, b = (9, 13) if direction == "back" else (2, 6)
        c.rect(a, 6, b, 10, GREEN, GREEN)
    return c


def drag_image():
    c = Canvas(95, 16, WHITE)
    folder(c, 0, False)
    c.rect(18, 4, 92, 12, NAVY, BLUE)
    for x in range(22, 88, 6):
        c.line(x, 8, x + 3, 8, WHITE)
    return c


def cursor(copy):
    # 32 x 32 monochrome: an arrow with a small box, and a plus for copying.
    w = h = 32
    shape = [[None] * w for _ in range(h)]   # None transparent, 0 black, 1 white
    for y in range(16):
        for x in range(y + 1):
            if x < 11:
                shape[y][x] = 0 if x in (0, y) or y == 15 else 1
    for y in range(18, 27):
        for x in range(10, 22):
            shape[y][x] = 0 if y in (18, 26) or x in (10, 21) else 1
    if copy:
        for y in range(20, 25):
            shape[y][15] = 0
        for x in range(13, 18):
            shape[22][x] = 0
    xor = b""
    andm = b""
    for y in reversed(range(h)):
        xr = bytearray(4)
        ar = bytearray(4)
        for x in range(w):
            v = shape[y][x]
            if v is None:
                ar[x // 8] |= 0x80 >> (x % 8)
            elif v == 1:
                xr[x // 8] |= 0x80 >> (x % 8)
        xor += bytes(xr)
        andm += bytes(ar)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    hdr = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
    data = hdr + palette + xor + andm
    return struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", w, h, 2, 0, 0, 0, len(data), 22) + data


if __name__ == "__main__":
    open("res/browserimages.bmp", "wb").write(images().bmp())
    open("res/browserup.bmp", "wb").write(arrow_button("up").bmp())
    open("res/browserback.bmp", "wb").write(arrow_button("back").bmp())
    open("res/browserforward.bmp", "wb").write(arrow_button("forward").bmp())
    open("res/browserdrag.bmp", "wb").write(drag_image().bmp())
    open("res/dragcopy.cur", "wb").write(cursor(True))
    open("res/dragmove.cur", "wb").write(cursor(False))
