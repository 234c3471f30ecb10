#!/usr/bin/env python3
"""Draws the program's own toolbar strip, menu strip and icon as BMP/ICO.

Run from the repository root: python3 res/art/make_art.py
The outputs are committed; the build only reads them."""
import struct

GREY = (0xC0, 0xC0, 0xC0)  # the key colour: transparent everywhere


class Canvas:
    def __init__(self, w, h, bg=GREY):
        self.w, self.h = w, h
        self.px = [[bg] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c, fill=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge:
                    self.put(x, y, c)
                elif fill:
                    self.put(x, y, fill)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.put(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def bmp(self):
        row = (self.w * 3 + 3) & ~3
        data = b""
        for y in reversed(range(self.h)):
            r = b"".join(bytes((c[2], c[1], c[0])) for c in self.px[y])
            data += r + b"\0" * (row - self.w * 3)
        hdr = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        return struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54) + hdr + data


NAVY, BLUE, WHITE, BLACK = (0, 0, 128), (48, 96, 200), (255, 255, 255), (0, 0, 0)
DARK, RED, GREEN, YELLOW = (80, 80, 80), (192, 32, 32), (0, 128, 64), (240, 200, 40)


def window(c, ox, x0, y0, x1, y1, fill=WHITE):
    c.rect(ox + x0, y0, ox + x1, y1, NAVY, fill)
    for x in range(x0 + 1, x1):
        c.put(ox + x, y0 + 1, BLUE)


def toolbar():
    c = Canvas(112, 15)
    # 0 panes one above the other
    window(c, 0, 1, 1, 14, 6)
    window(c, 0, 1, 8, 14, 13)
    # 1 panes side by side
    window(c, 16, 1, 1, 7, 13)
    window(c, 16, 8, 1, 14, 13)
    # 2 split in the middle: two panes and a centre arrow pair
    window(c, 32, 1, 1, 14, 13)
    c.line(32 + 7, 3, 32 + 7, 12, RED)
    c.line(32 + 8, 3, 32 + 8, 12, RED)
    # 3 left pane alone (left filled)
    window(c, 48, 1, 1, 14, 13)
    c.rect(48 + 2, 3, 48 + 7, 12, BLUE, BLUE)
    # 4 right pane alone
    window(c, 64, 1, 1, 14, 13)
    c.rect(64 + 8, 3, 64 + 13, 12, BLUE, BLUE)
    # 5 the system editor: a cube of blocks
    for (x, y, col) in ((2, 2, RED), (8, 2, GREEN), (2, 8, BLUE), (8, 8, YELLOW)):
        c.rect(80 + x, y, 80 + x + 4, y + 4, DARK, col)
    # 6 information: "i" in a circle
    cx, cy = 96 + 7, 7
    for y in range(15):
        for x in range(16):
            d = (x + 96 - cx) ** 2 + (y - cy) ** 2
            if d <= 42:
                c.put(96 + x, y, BLUE if d > 30 else WHITE)
    c.put(cx, 3, NAVY)
    c.put(cx, 4, NAVY)
    for y in range(6, 12):
        c.put(cx, y, NAVY)
        c.put(cx + 1, y, NAVY)
    return c


def strip():
    # 13 context-menu images of 13 x 13
    c = Canvas(13 * 13, 13)
    def at(i):
        return i * 13
    # 0 folder
    o = at(0); c.rect(o + 1, 3, o + 11, 10, DARK, YELLOW); c.rect(o + 1, 2, o + 5, 3, DARK, YELLOW)
    # 1 copy: two sheets
    o = at(1); c.rect(o + 1, 1, o + 7, 8, DARK, WHITE); c.rect(o + 4, 4, o + 11, 11, DARK, WHITE)
    # 2 paste: board
    o = at(2); c.rect(o + 2, 2, o + 10, 11, DARK, YELLOW); c.rect(o + 4, 1, o + 8, 3, DARK, WHITE)
    # 3 delete: red cross
    o = at(3); c.line(o + 2, 2, o + 10, 10, RED); c.line(o + 3, 2, o + 11, 10, RED)
    c.line(o + 10, 2, o + 2, 10, RED); c.line(o + 11, 2, o + 3, 10, RED)
    # 4 rename: text cursor
    o = at(4); c.line(o + 6, 1, o + 6, 11, BLACK); c.line(o + 4, 1, o + 8, 1, BLACK); c.line(o + 4, 11, o + 8, 11, BLACK)
    # 5 binary: 0/1 blocks
    o = at(5); c.rect(o + 1, 2, o + 5, 10, NAVY); c.line(o + 9, 2, o + 9, 10, NAVY); c.line(o + 8, 3, o + 9, 2, NAVY)
    # 6 find: magnifier
    o = at(6); c.rect(o + 1, 1, o + 7, 7, NAVY, WHITE); c.line(o + 7, 7, o + 11, 11, DARK); c.line(o + 8, 7, o + 11, 10, DARK)
    # 7 new: star
    o = at(7); c.line(o + 6, 1, o + 6, 11, YELLOW); c.line(o + 1, 6, o + 11, 6, YELLOW)
    c.line(o + 2, 2, o + 10, 10, GREEN); c.line(o + 10, 2, o + 2, 10, GREEN)
    # 8 export: arrow out of a box
    o = at(8); c.rect(o + 1, 4, o + 7, 11, DARK, WHITE); c.line(o + 5, 7, o + 11, 1, GREEN); c.line(o + 8, 1, o + 11, 1, GREEN)
    # 9 edit: pencil
    o = at(9); c.line(o + 2, 10, o + 10, 2, NAVY); c.line(o + 3, 10, o + 11, 2, BLUE); c.put(o + 2, 11, BLACK)
    # 10 import: arrow into a box
    o = at(10); c.rect(o + 1, 4, o + 7, 11, DARK, WHITE); c.line(o + 11, 1, o + 5, 7, BLUE); c.line(o + 5, 4, o + 5, 7, BLUE)
    # 11 lock
    o = at(11); c.rect(o + 2, 6, o + 10, 11, DARK, YELLOW); c.rect(o + 4, 2, o + 8, 6, DARK)
    # 12 key
    o = at(12); c.rect(o + 1, 3, o + 5, 7, DARK, YELLOW); c.line(o + 5, 5, o + 11, 5, DARK); c.line(o + 9, 5, o + 9, 8, DARK)
    return c


def icon_image(n):
    # A blue window with a key tree: top bar, tree lines and value rows.
    px = [[None] * n for _ in range(n)]
    s = n / 16.0
    def fill(x0, y0, x1, y1, col):
        for y in range(int(y0 * s), int((y1 + 1) * s)):
            for x in range(int(x0 * s), int((x1 + 1) * s)):
                if 0 <= x < n and 0 <= y < n:
                    px[y][x] = col
    fill(0, 1, 15, 14, NAVY)
    fill(1, 4, 14, 13, WHITE)
    fill(1, 2, 14, 3, BLUE)
    fill(7, 4, 7, 13, DARK)
    for r, y in enumerate((5, 8, 11)):
        fill(2, y, 3, y + 1, YELLOW)
        fill(9, y, 9 + 4 - r, y, GREEN if r % 2 else RED)
    xor = b""
    for y in reversed(range(n)):
        for x in range(n):
            c = px[y][x] or (0, 0, 0)
            xor += bytes((c[2], c[1], c[0], 255 if px[y][x] else 0))
    mrow = ((n + 31) // 32) * 4
    andm = b""
    for y in reversed(range(n)):
        bits = 0
        row = bytearray(mrow)
        for x in range(n):
            if px[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        andm += bytes(row)
    hdr = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
    return hdr + xor + andm


def icon():
    imgs = [icon_image(16), icon_image(32)]
    out = struct.pack("<HHH", 0, 1, len(imgs))
    off = 6 + 16 * len(imgs)
    for n, data in zip((16, 32), imgs):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), off)
        off += len(data)
    return out + b"".join(imgs)


if __name__ == "__main__":
    open("res/toolbar.bmp", "wb").write(toolbar().bmp())
    open("res/menustrip.bmp", "wb").write(strip().bmp())
    open("res/Ostrova.ico", "wb").write(icon())
