// Packed DIBs to bitmaps with the 3-D greys in the system's colours.
#include <cstring>
#include <vector>

#include "ui/buttonimage/buttonimage.h"
#include "ui/libdib/libdib.h"

namespace {
// Image bytes: biSizeImage, or rows rounded to 32 bits for uncompressed
// images; 0 when neither is known.
SIZE_T ImageBytes(const BITMAPINFOHEADER& h) {
  if (h.biSizeImage) return h.biSizeImage;
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return 0;
  LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  return (SIZE_T)DibRowBytes(h.biWidth, DibDepth(&h)) * (SIZE_T)height;
}

void Premultiply(BYTE* bits, SIZE_T bytes) {
  for (SIZE_T i = 0; i + 4 <= bytes; i += 4) {
    BYTE a = bits[i + 3];
    if (a == 255) continue;
    for (int c = 0; c < 3; c++) bits[i + c] = (BYTE)(bits[i + c] * a / 255);
  }
}
}  // namespace

HBITMAP CreateSysColorBitmap(const BITMAPINFO* packed, UINT flags, HWND hwnd) {
  if (!packed || packed->bmiHeader.biSize != sizeof(BITMAPINFOHEADER)) return nullptr;
  const BITMAPINFOHEADER& h = packed->bmiHeader;
  int depth = DibDepth(&h);
  bool uncompressed = h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS;
  if (depth > 8 && (flags & kSysColorMapGreys) && !uncompressed) return nullptr;
  SIZE_T tableBytes = (SIZE_T)DibColorEntries(&h) * 4;
  SIZE_T headBytes = h.biSize + tableBytes, imageBytes = ImageBytes(h);
  if (!imageBytes) return nullptr;
  // One copy of header, table and bits: the mapping changes the copy only.
  std::vector<BYTE> copy(headBytes + imageBytes);
  std::memcpy(copy.data(), packed, headBytes + imageBytes);
  auto* info = reinterpret_cast<BITMAPINFO*>(copy.data());
  BYTE* bits = copy.data() + headBytes;
  if ((flags & kSysColorMapGreys) && uncompressed) {
    // The mapping reads bottom-up sizes; the order of the rows does not matter to it.
    LONG height = info->bmiHeader.biHeight;
    if (height < 0) info->bmiHeader.biHeight = -height;
    MapDibGreysToSysColors(info, bits);
    info->bmiHeader.biHeight = height;
  }
  if ((flags & kSysColorPremultiply) && depth == 32 && uncompressed) Premultiply(bits, imageBytes);
  HDC dc = GetDC(hwnd);
  HBITMAP bitmap = CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
  ReleaseDC(hwnd, dc);
  return bitmap;
}
