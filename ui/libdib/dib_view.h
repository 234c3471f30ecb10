// A checked view of a DIB's geometry for the pixel loops.
#pragma once

#include <windows.h>

struct DibView {
  int width = 0, height = 0, depth = 0, stride = 0;
  BYTE* bits = nullptr;
  DWORD* table = nullptr;  // colour table in pixel order, depths up to 8
  int entries = 0;

  // Fails for null arguments, empty or top-down sizes and compressions other
  // than BI_RGB and BI_BITFIELDS. A null bits pointer takes the LibDib's.
  bool Open(const BITMAPINFO* info, const void* bitsOrNull);
  // Row of picture line y counted from the top (bottom-up memory).
  BYTE* Row(int y) const { return bits + static_cast<size_t>(stride) * (height - 1 - y); }
  DWORD* Row32(int y) const { return reinterpret_cast<DWORD*>(Row(y)); }
  // Index of an 8-bit-or-less pixel.
  int Index(int x, int y) const;
};
