// Creating LibDibs from a size, a bitmap handle or an icon.
#include <string.h>

#include <vector>

#include "ui/libdib/dib_block.h"
#include "ui/libdib/libdib.h"

namespace {

// Header plus room for 256 colour entries and three masks.
struct FullInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256 + 3];
};

// Makes the DIB section of a block whose header and table are filled.
bool AttachSection(HDC hdc, BITMAPINFO* info, void** bits) {
  void* sectionBits = nullptr;
  HBITMAP bitmap;
  {
    DibScreenDC dc(hdc);
    bitmap = CreateDIBSection(dc, info, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
  }
  if (!bitmap || !sectionBits) {
    if (bitmap) DeleteObject(bitmap);
    FreeDib(info);
    SetLastError(kDibErrorData);
    return false;
  }
  DibPrefix* prefix = DibPrefixOf(info);
  prefix->bitmap = bitmap;
  prefix->bits = sectionBits;
  if (bits) *bits = sectionBits;
  return true;
}

}  // namespace

BITMAPINFO* CreateDib(HDC hdc, int width, int height, int depth, void** bits) {
  if (bits) *bits = nullptr;
  if (width < 1 || width > 65536 || height < 1 || height > 65536) {
    SetLastError(kDibErrorParameter);
    return nullptr;
  }
  bool opaque = (depth & kDibOpaque) != 0;
  int d = depth & ~kDibOpaque;
  if (d == kDibDepthDisplay || (d & kDibTransMask) == kDibTransMask) d = DisplayDepth(hdc);
  if (d == 0) d = 32;
  int entries = d <= 8 ? 1 << d : 0;
  BITMAPINFO* info = AllocLibDib(sizeof(BITMAPINFOHEADER) + entries * sizeof(RGBQUAD));
  if (!info) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  BITMAPINFOHEADER& h = info->bmiHeader;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(d);
  h.biCompression = BI_RGB;
  if (entries) FillStandardColorTable(hdc, info->bmiColors, d);
  void* sectionBits;
  if (!AttachSection(hdc, info, &sectionBits)) return nullptr;
  if (opaque && d == 32) {
    DWORD* p = static_cast<DWORD*>(sectionBits);
    for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) p[i] |= 0xFF000000;
  }
  if (bits) *bits = sectionBits;
  return info;
}

BITMAPINFO* CreateDibFromBitmap(HDC hdc, HBITMAP bitmap, void** bits) {
  if (bits) *bits = nullptr;
  if (!bitmap) {
    SetLastError(kDibErrorParameter);
    return nullptr;
  }
  DibScreenDC dc(hdc);
  FullInfo full = {};
  full.header.biSize = sizeof(BITMAPINFOHEADER);
  // Bit count 0 fills only the header; the table needs a second call.
  if (!GetDIBits(dc, bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&full), DIB_RGB_COLORS) ||
      full.header.biWidth == 0 || full.header.biHeight == 0) {
    SetLastError(kDibErrorData);
    return nullptr;
  }
  BITMAPINFOHEADER& h = full.header;
  if (h.biHeight < 0) h.biHeight = -h.biHeight;
  int depth = DibDepth(&h);
  h.biClrUsed = h.biClrImportant = depth <= 8 ? 1u << depth : 0;
  if (h.biCompression == BI_BITFIELDS && !(depth >= 15 && depth <= 23)) h.biCompression = BI_RGB;
  if (h.biCompression != BI_BITFIELDS) h.biCompression = BI_RGB;
  h.biSizeImage = 0;
  if (!GetDIBits(dc, bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&full), DIB_RGB_COLORS)) {
    SetLastError(kDibErrorData);
    return nullptr;
  }
  if (h.biHeight < 0) h.biHeight = -h.biHeight;
  h.biClrUsed = h.biClrImportant = depth <= 8 ? 1u << depth : 0;
  int entries = DibColorEntries(&h);
  BITMAPINFO* info = AllocLibDib(sizeof(BITMAPINFOHEADER) + entries * sizeof(RGBQUAD));
  if (!info) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  memcpy(info, &full, sizeof(BITMAPINFOHEADER) + entries * sizeof(RGBQUAD));
  if (!bits) return info;  // header only
  void* sectionBits;
  if (!AttachSection(dc, info, &sectionBits)) return nullptr;
  if (!GetDIBits(dc, bitmap, 0, h.biHeight, sectionBits, info, DIB_RGB_COLORS)) {
    FreeDib(info);
    SetLastError(kDibErrorData);
    return nullptr;
  }
  // GetDIBits rewrites the header: keep what was decided above.
  memcpy(info, &full, sizeof(BITMAPINFOHEADER));
  *bits = sectionBits;
  return info;
}

BITMAPINFO* CreateDibFromBitmapRect(HDC hdc, HBITMAP bitmap, int x, int y, int width, int height, int depth,
                                    void** bits) {
  if (bits) *bits = nullptr;
  void* srcBits;
  BITMAPINFO* src = CreateDibFromBitmap(hdc, bitmap, &srcBits);
  if (!src) return nullptr;
  if (depth == -1) depth = DibDepth(&src->bmiHeader);
  void* dstBits;
  BITMAPINFO* dst = CreateDib(hdc, width, height, depth, &dstBits);
  if (dst) PutDibRectIntoDib(src, srcBits, 0, 0, x, y, width, height, dst);
  FreeDib(src);
  if (dst && bits) *bits = dstBits;
  return dst;
}

BITMAPINFO* CreateDibFromIcon(HDC hdc, HICON icon, void** bits, COLORREF maskColor) {
  if (bits) *bits = nullptr;
  ICONINFO ii = {};
  if (!icon || !GetIconInfo(icon, &ii)) {
    SetLastError(kDibErrorData);
    return nullptr;
  }
  BITMAPINFO* info = nullptr;
  if (ii.hbmColor) {
    void* colorBits = nullptr;
    info = CreateDibFromBitmap(hdc, ii.hbmColor, bits ? &colorBits : nullptr);
    if (info && bits) {
      const BITMAPINFOHEADER& h = info->bmiHeader;
      struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
      } maskInfo = {};
      maskInfo.header = {sizeof(BITMAPINFOHEADER), h.biWidth, h.biHeight, 1, 1, BI_RGB};
      std::vector<BYTE> mask(static_cast<size_t>(DibRowBytes(h.biWidth, 1)) * h.biHeight);
      DibScreenDC dc(hdc);
      if (GetDIBits(dc, ii.hbmMask, 0, h.biHeight, mask.data(), reinterpret_cast<BITMAPINFO*>(&maskInfo),
                    DIB_RGB_COLORS))
        ApplyDibMask(info, colorBits, mask.data(), maskColor);
      *bits = colorBits;
    }
  } else {
    SetLastError(kDibErrorData);
  }
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  return info;
}
