#!/usr/bin/env python3
# Writes test_icon.ico: 16x16 4-bit, 16x16 32-bit, 32x32 8-bit, 48x48 32-bit
# and a 64x64 PNG entry, each a uniform colour the tests recognise.
import struct, zlib

def dib(w, h, bits, pixel_rows, palette=b''):
    row = ((w * bits + 31) // 32) * 4
    mrow = ((w + 31) // 32) * 4
    color = b''.join(pixel_rows)
    assert len(color) == row * h
    mask = b'\0' * (mrow * h)
    head = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, bits, 0, len(color) + len(mask), 0, 0, 0, 0)
    return head + palette + color + mask

def solid32(w, h, bgra):
    return dib(w, h, 32, [bytes(bgra) * w] * h)

def png(w, h, rgba):
    raw = b''.join(b'\0' + bytes(rgba) * w for _ in range(h))
    def chunk(t, d):
        return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))

pal16 = bytes([0, 0, 0, 0] * 9 + [0x30, 0x20, 0x10, 0] + [0, 0, 0, 0] * 6)  # entry 9 = RGB(0x10,0x20,0x30)
pal256 = bytes([0, 0, 0, 0] * 5 + [0x60, 0x50, 0x40, 0] + [0, 0, 0, 0] * 250)  # entry 5 = RGB(0x40,0x50,0x60)
images = [
    (16, 16, 16, 4, dib(16, 16, 4, [b'\x99' * 8] * 16, pal16)),
    (16, 16, 0, 32, solid32(16, 16, [0x33, 0x22, 0x11, 0xFF])),
    (32, 32, 0, 8, dib(32, 32, 8, [b'\x05' * 32] * 32, pal256)),
    (48, 48, 0, 32, solid32(48, 48, [0x66, 0x55, 0x44, 0xFF])),
    (64, 64, 0, 32, png(64, 64, [0x77, 0x88, 0x99, 0xFF])),
]
out = struct.pack('<HHH', 0, 1, len(images))
offset = 6 + 16 * len(images)
for w, h, colors, bits, data in images:
    out += struct.pack('<BBBBHHII', w % 256, h % 256, colors, 0, 1, bits, len(data), offset)
    offset += len(data)
out += b''.join(d for *_, d in images)
open('test_icon.ico', 'wb').write(out)
