// The LibDib block: allocation, the accessors and the shared helpers.
#include "ui/libdib/dib_block.h"

#include <string.h>

#include "ui/libdib/libdib.h"

const DWORD StandardPalette16[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                                     0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

int DibDepth(const BITMAPINFOHEADER* h) { return h->biBitCount == 0 ? 32 : h->biBitCount; }

int DibColorEntries(const BITMAPINFOHEADER* h) {
  int depth = DibDepth(h);
  if (depth <= 8) {
    DWORD full = 1u << depth;
    return (h->biClrUsed == 0 || h->biClrUsed > full) ? static_cast<int>(full) : static_cast<int>(h->biClrUsed);
  }
  return h->biCompression == BI_BITFIELDS ? 3 : 0;
}

int DibRowBytes(int width, int depth) {
  if (depth == 15) depth = 16;
  return static_cast<int>(((static_cast<long long>(width) * depth + 31) / 32) * 4);
}

DWORD DibPixelOrder(COLORREF color) {
  DWORD swapped = __builtin_bswap32(color);
  return (swapped >> 8) | (swapped << 24);
}

COLORREF DibColorRef(DWORD pixel) { return (pixel & 0xFF00FF00) | ((pixel >> 16) & 0xFF) | ((pixel & 0xFF) << 16); }

bool IsLibDib(const BITMAPINFO* info) {
  if (!info || IsBadReadPtr(reinterpret_cast<const BYTE*>(info) - kDibPrefixBytes, kDibPrefixBytes)) return false;
  return DibPrefixOf(info)->magic == kDibMagic;
}

DibPrefix* CheckedDibPrefix(const BITMAPINFO* info) {
  if (!info ||
      IsBadWritePtr(reinterpret_cast<BYTE*>(const_cast<BITMAPINFO*>(info)) - kDibPrefixBytes, kDibPrefixBytes) ||
      DibPrefixOf(info)->magic != kDibMagic) {
    SetLastError(kDibErrorParameter);
    return nullptr;
  }
  return DibPrefixOf(info);
}

void* ResolveDibBits(const BITMAPINFO* info, const void* bits) {
  if (bits) return const_cast<void*>(bits);
  return IsLibDib(info) ? DibPrefixOf(info)->bits : nullptr;
}

BITMAPINFO* AllocLibDib(SIZE_T infoBytes) {
  HANDLE heap = GetProcessHeap();
  BYTE* block = static_cast<BYTE*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, infoBytes + kDibPrefixBytes));
  if (!block) return nullptr;
  BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(block + kDibPrefixBytes);
  DibPrefix* prefix = DibPrefixOf(info);
  prefix->heap = heap;
  prefix->magic = kDibMagic;
  return info;
}

int DisplayDepth(HDC hdc) {
  DibScreenDC dc(hdc);
  return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
}

void FillStandardColorTable(HDC hdc, RGBQUAD* table, int depth) {
  int count = 1 << depth;
  PALETTEENTRY pe[256] = {};
  {
    DibScreenDC dc(hdc);
    GetSystemPaletteEntries(dc, 0, count, pe);
  }
  for (int i = 0; i < count; ++i) table[i] = RGBQUAD{pe[i].peBlue, pe[i].peGreen, pe[i].peRed, 0};
  if (depth == 1) {
    table[1] = RGBQUAD{255, 255, 255, 0};
  } else if (depth >= 4) {
    memcpy(table, StandardPalette16, sizeof(StandardPalette16));
  }
}

BOOL FreeDib(BITMAPINFO* info) {
  if (info && IsBadReadPtr(reinterpret_cast<BYTE*>(info) - kDibPrefixBytes, kDibPrefixBytes)) {
    SetLastError(kDibErrorParameter);
    return FALSE;
  }
  DibPrefix* prefix = CheckedDibPrefix(info);
  if (!prefix) return FALSE;
  if (prefix->memDC) DeleteDC(prefix->memDC);
  if (prefix->bitmap) DeleteObject(prefix->bitmap);
  prefix->memDC = nullptr;
  prefix->bitmap = nullptr;
  prefix->bits = nullptr;
  prefix->magic = 0;
  return HeapFree(prefix->heap, 0, prefix);
}

HBITMAP GetDibBitmap(const BITMAPINFO* info) {
  DibPrefix* prefix = CheckedDibPrefix(info);
  if (!prefix) return nullptr;
  if (!prefix->bitmap) SetLastError(kDibErrorData);
  return prefix->bitmap;
}

void* GetDibBits(const BITMAPINFO* info) {
  DibPrefix* prefix = CheckedDibPrefix(info);
  return prefix ? prefix->bits : nullptr;
}

HDC GetDibMemDC(BITMAPINFO* info) {
  DibPrefix* prefix = CheckedDibPrefix(info);
  if (!prefix) return nullptr;
  if (!prefix->bitmap || !prefix->bits) {
    SetLastError(kDibErrorData);
    return nullptr;
  }
  if (!prefix->memDC) {
    prefix->memDC = CreateCompatibleDC(nullptr);
    if (!prefix->memDC) {
      SetLastError(kDibErrorData);
      return nullptr;
    }
    SelectObject(prefix->memDC, prefix->bitmap);
  }
  return prefix->memDC;
}

void* GetDibBitsAndDC(BITMAPINFO* info, HDC* dc) {
  if (!dc) {
    SetLastError(kDibErrorParameter);
    return nullptr;
  }
  *dc = nullptr;
  DibPrefix* prefix = CheckedDibPrefix(info);
  if (!prefix) return nullptr;
  if (!prefix->bitmap) {
    SetLastError(kDibErrorData);
    return nullptr;
  }
  *dc = GetDibMemDC(info);
  return prefix->bits;
}

BOOL DeleteDibMemDC(BITMAPINFO* info) {
  DibPrefix* prefix = CheckedDibPrefix(info);
  if (!prefix) return FALSE;
  if (!prefix->memDC) {
    SetLastError(kDibErrorData);
    return FALSE;
  }
  DeleteDC(prefix->memDC);
  prefix->memDC = nullptr;
  return TRUE;
}
