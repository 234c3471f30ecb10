#include "ui/bitmap_info.h"

#include <string.h>

int GetBitmapInfo(HBITMAP bitmap, BITMAPINFO* buffer, int maxColors) {
  if (!buffer) return 0;
  memset(buffer, 0, sizeof(BITMAPINFOHEADER));
  if (!bitmap) return 0;
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256 + 3];
  } full = {}, table = {};
  full.header.biSize = sizeof(BITMAPINFOHEADER);
  full.header.biPlanes = 1;
  HDC dc = GetDC(nullptr);
  int ok = GetDIBits(dc, bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&full), DIB_RGB_COLORS);
  int colors = 0;
  if (ok >= 1) {
    colors =
        full.header.biClrUsed ? full.header.biClrUsed : (full.header.biBitCount <= 8 ? 1 << full.header.biBitCount : 0);
    if (colors > 256) colors = 256;
    if (maxColors > 0 && colors > 0) {
      // Bit count 0 fills only the header: the table takes a second call.
      table.header = full.header;
      if (!GetDIBits(dc, bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&table), DIB_RGB_COLORS)) colors = 0;
    }
  }
  ReleaseDC(nullptr, dc);
  if (ok < 1) return 0;
  memcpy(buffer, &full.header, sizeof(BITMAPINFOHEADER));
  if (maxColors > 0 && colors > 0)
    memcpy(buffer->bmiColors, table.colors, sizeof(RGBQUAD) * (colors < maxColors ? colors : maxColors));
  return 1;
}

int GetBitmapSize(HBITMAP bitmap, int* width, int* height, int* depth) {
  BITMAPINFO info;
  int ok = GetBitmapInfo(bitmap, &info, 0);
  if (width) *width = info.bmiHeader.biWidth;
  if (height) *height = info.bmiHeader.biHeight;
  if (depth) *depth = info.bmiHeader.biBitCount;
  return ok;
}

int GetBitmapSizeEx(HBITMAP bitmap, SIZE* size, int* depth) {
  int width, height;
  int ok = GetBitmapSize(bitmap, &width, &height, depth);
  if (size) *size = SIZE{width, height};
  return ok;
}
