// Packed DIBs built in memory for the LibDib tests.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

#include "ui/libdib/libdib.h"

// A packed DIB {header, colour table or masks, bits} in one aligned buffer.
class PackedDib {
 public:
  // Depth 1, 4, 8, 16 (5-5-5, or 5-6-5 with BI_BITFIELDS), 24 or 32; the
  // table and the bits get a fixed pattern, padding bytes the sentinel.
  PackedDib(int width, int height, int depth, DWORD compression = BI_RGB, BYTE padding = 0xA5)
      : m_width(width), m_height(height), m_depth(depth) {
    m_table = depth <= 8 ? 4 << depth : (compression == BI_BITFIELDS ? 12 : 0);
    m_stride = DibRowBytes(width, depth);
    m_storage.resize((40 + m_table + m_stride * height + 3) / 4 + 1);
    BITMAPINFOHEADER* h = &info()->bmiHeader;
    *h = {40, width, height, 1, static_cast<WORD>(depth), compression};
    DWORD* table = reinterpret_cast<DWORD*>(bytes() + 40);
    if (depth <= 8)
      for (int i = 0; i < (1 << depth); ++i) table[i] = (i * 0x3B1F27u + 0x102030u) & 0xFFFFFF;
    if (compression == BI_BITFIELDS) table[0] = 0xF800, table[1] = 0x07E0, table[2] = 0x001F;
    int used = (width * depth + 7) / 8;
    for (int y = 0; y < height; ++y)
      for (int i = 0; i < m_stride; ++i) {
        BYTE v = static_cast<BYTE>(y * 37 + i * 11 + 5);
        if (depth == 16 && compression == BI_RGB && i % 2 == 1) v &= 0x7F;  // 5-5-5 leaves the top bit clear
        if (depth == 32 && i % 4 == 3) v = 0xFF;                            // opaque
        row(y)[i] = i < used ? v : padding;
      }
    // Bits of a partly used last byte (1- and 4-bit rows) stay as the pattern.
  }
  BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(m_storage.data()); }
  BYTE* bytes() { return reinterpret_cast<BYTE*>(m_storage.data()); }
  BYTE* bits() { return bytes() + 40 + m_table; }
  BYTE* row(int memoryRow) { return bits() + m_stride * memoryRow; }
  int stride() const { return m_stride; }
  int tableBytes() const { return m_table; }
  size_t imageBytes() const { return static_cast<size_t>(m_stride) * m_height; }

 private:
  int m_width, m_height, m_depth, m_table, m_stride;
  std::vector<DWORD> m_storage;
};

// A 32-bit LibDib freed at scope end.
class Dib32 {
 public:
  Dib32(int width, int height) { m_info = CreateDib(nullptr, width, height, 32, reinterpret_cast<void**>(&m_bits)); }
  ~Dib32() { FreeDib(m_info); }
  BITMAPINFO* info() const { return m_info; }
  DWORD* bits() const { return m_bits; }
  // Pixel (x, y) counted from the top-left, 0xAARRGGBB.
  DWORD& at(int x, int y) { return m_bits[(m_info->bmiHeader.biHeight - 1 - y) * m_info->bmiHeader.biWidth + x]; }
  void Fill(DWORD value) {
    for (int i = 0, n = m_info->bmiHeader.biWidth * m_info->bmiHeader.biHeight; i < n; ++i) m_bits[i] = value;
  }

 private:
  BITMAPINFO* m_info = nullptr;
  DWORD* m_bits = nullptr;
};
