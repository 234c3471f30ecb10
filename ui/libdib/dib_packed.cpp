// LibDibs from packed DIBs, icon and cursor images, group directories,
// resources and PNG icon data; and HBITMAPs from packed DIBs.
#include <string.h>

#include "ui/libdib/dib_block.h"
#include "ui/libdib/libdib.h"

namespace {

constexpr BYTE kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr DWORD kBiPng = 5;
constexpr DWORD kCopyBits = 0x3B000000;  // transparency, grey mapping, flattening, copy

bool ValidHeader(const BITMAPINFOHEADER* h) {
  return h->biSize >= 40 && h->biSize <= 124 && h->biWidth >= 1 && h->biWidth <= 65535 && h->biHeight >= 1 &&
         h->biHeight <= 65535 && h->biBitCount <= 32;
}

int TableBytes(const BITMAPINFOHEADER* h) {
  int depth = DibDepth(h);
  if (depth <= 8) return 4 * DibColorEntries(h);
  return h->biCompression == BI_BITFIELDS ? 12 : 0;
}

DWORD ReadBig32(const BYTE* p) { return (DWORD(p[0]) << 24) | (DWORD(p[1]) << 16) | (DWORD(p[2]) << 8) | p[3]; }

// Picks an entry of an icon or cursor group directory and loads its image.
BITMAPINFO* LoadGroupEntry(HDC hdc, const BYTE* dir, DWORD flags, void** bits) {
  HMODULE module = reinterpret_cast<HMODULE>(*bits);
  WORD type = *reinterpret_cast<const WORD*>(dir + 2);
  WORD count = *reinterpret_cast<const WORD*>(dir + 4);
  if (*reinterpret_cast<const WORD*>(dir) != 0 || (type != 1 && type != 2) || count > 32 ||
      IsBadReadPtr(dir, 6 + 14 * count)) {
    *bits = nullptr;
    SetLastError(kDibErrorFormat);
    return nullptr;
  }
  const BYTE* entries = dir + 6;
  auto entryBits = [&](int i) {
    WORD b = *reinterpret_cast<const WORD*>(entries + 14 * i + 6);
    return b == 0 ? 1 : b;
  };
  auto entrySize = [&](int i, int* w, int* h) {
    const BYTE* e = entries + 14 * i;
    *w = type == 2 ? *reinterpret_cast<const WORD*>(e) : e[0];
    *h = type == 2 ? *reinterpret_cast<const WORD*>(e + 2) : e[1];
    if (*w == 0) *w = 256;
    if (*h == 0) *h = 256;
  };
  int chosen = -1;
  if (!(flags & kDibBySize)) {
    if ((flags & kDibEntryMask) < count) chosen = flags & kDibEntryMask;
  } else {
    int wantDepth = (flags & kDibDepthMask) >> kDibDepthShift;
    bool anyDepth = wantDepth >= 29;
    if (wantDepth == 0) wantDepth = 32;
    if (wantDepth == 29) flags &= ~kDibDepthMask;
    if (wantDepth == 30) flags &= ~kDibConvert;
    DWORD wanted = flags & kDibEntryMask;
    int bestBits = -1;
    long long bestArea = -1;
    for (int i = 0; i < count; ++i) {
      int b = entryBits(i);
      if (!anyDepth && b != wantDepth) continue;
      int w, h;
      entrySize(i, &w, &h);
      if (wanted == kDibEntryLargest) {
        long long area = static_cast<long long>(w) * h;
        if (area > bestArea || (area == bestArea && b > bestBits)) chosen = i, bestArea = area, bestBits = b;
      } else if (static_cast<DWORD>(((h % 256) << 8) | (w % 256)) == wanted && b >= bestBits) {
        chosen = i, bestBits = b;
      }
    }
  }
  if (chosen < 0) {
    *bits = nullptr;
    SetLastError(kDibErrorNotFound);
    return nullptr;
  }
  WORD id = *reinterpret_cast<const WORD*>(entries + 14 * chosen + 12);
  *bits = module;
  return LoadDibResource(hdc, module, MAKEINTRESOURCEA(id), type == 2 ? MAKEINTRESOURCEA(1) : MAKEINTRESOURCEA(3),
                         flags, bits);
}

// The common conversions to 32 bits without a trip through GDI; the result
// is what GDI gives: the colour, alpha 0.
void ExpandTo32(const BITMAPINFO* src, const BYTE* srcBits, DWORD* out) {
  const BITMAPINFOHEADER& h = src->bmiHeader;
  int depth = DibDepth(&h), width = h.biWidth, stride = DibRowBytes(width, depth);
  DWORD table[256] = {};
  if (depth <= 8) {
    int entries = DibColorEntries(&h);
    for (int i = 0; i < entries; ++i) table[i] = reinterpret_cast<const DWORD*>(src->bmiColors)[i] & 0xFFFFFF;
  }
  for (int y = 0; y < h.biHeight; ++y, srcBits += stride, out += width) {
    const BYTE* p = srcBits;
    switch (depth) {
      case 24:
        for (int x = 0; x < width; ++x, p += 3) out[x] = p[0] | (p[1] << 8) | (p[2] << 16);
        break;
      case 8:
        for (int x = 0; x < width; ++x) out[x] = table[p[x]];
        break;
      default: {
        int mask = (1 << depth) - 1;
        for (int x = 0, bit = 0; x < width; ++x, bit += depth)
          out[x] = table[(p[bit >> 3] >> (8 - depth - (bit & 7))) & mask];
      }
    }
  }
}

}  // namespace

BITMAPINFO* CreateDibFromPackedDib(HDC hdc, BITMAPINFO* packed, DWORD flags, void** bits) {
  if (!packed || IsBadReadPtr(packed, 44)) {
    if (bits) *bits = nullptr;
    SetLastError(kDibErrorParameter);
    return nullptr;
  }
  bool marker = (flags & kDibMarkerMask) == kDibMarker;
  int kind = marker ? static_cast<int>(kDibKindDib) : static_cast<int>((flags & kDibKindMask) >> kDibKindShift);
  const BITMAPINFOHEADER* h = &packed->bmiHeader;
  if (!ValidHeader(h)) {
    if (kind == kDibKindCursor) {
      BITMAPINFO* image = reinterpret_cast<BITMAPINFO*>(reinterpret_cast<BYTE*>(packed) + 4);
      if (!IsBadReadPtr(image, 44) && ValidHeader(&image->bmiHeader))
        return CreateDibFromPackedDib(hdc, image, 0, bits);
    }
    if (kind == kDibKindGroup && bits && !IsBadReadPtr(packed, 6))
      return LoadGroupEntry(hdc, reinterpret_cast<const BYTE*>(packed), flags, bits);
    if (bits) *bits = nullptr;
    SetLastError(kDibErrorFormat);
    return nullptr;
  }
  int srcDepth = DibDepth(h);
  int tableBytes = TableBytes(h);
  const BYTE* srcBits =
      marker ? static_cast<const BYTE*>(*bits) : reinterpret_cast<const BYTE*>(packed) + h->biSize + tableBytes;
  int width = h->biWidth, height = h->biHeight;
  const BYTE* mask = nullptr;
  bool iconImage = false;
  if (kind != kDibKindDib && h->biCompression == BI_RGB && height % 2 == 0) {
    long long half = height / 2;
    // Icon files often leave the image size 0; the kind says what the data is.
    long long sum = DibRowBytes(width, srcDepth) * half + DibRowBytes(width, 1) * half;
    if (sum == h->biSizeImage || h->biSizeImage == 0) {
      iconImage = true;
      height /= 2;
      mask = srcBits + DibRowBytes(width, srcDepth) * static_cast<size_t>(height);
    }
  }
  if (!bits) return packed;

  int target = srcDepth;
  bool copy;
  if (flags & kDibConvert) {
    target = (flags & kDibDepthMask) >> kDibDepthShift;
    if (target == kDibDepthDisplay) target = DisplayDepth(hdc);
    if (target == 0) target = 32;
    copy = target != srcDepth || (flags & kCopyBits);
  } else {
    copy = (flags & kCopyBits) != 0;
    if (copy) target = DisplayDepth(hdc);
  }
  if (!copy) {
    if (!iconImage) {
      *bits = const_cast<BYTE*>(srcBits);
      return packed;
    }
    BITMAPINFO* info = AllocLibDib(sizeof(BITMAPINFOHEADER) + tableBytes);
    if (!info) return nullptr;
    memcpy(info, packed, sizeof(BITMAPINFOHEADER));
    memcpy(info->bmiColors, reinterpret_cast<const BYTE*>(packed) + h->biSize, tableBytes);
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biSizeImage = 0;
    DibPrefixOf(info)->bits = const_cast<BYTE*>(srcBits);
    *bits = const_cast<BYTE*>(srcBits);
    return info;
  }

  // The source as drawn: a 40-byte header of the right height with its table.
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256 + 3];
  } source = {};
  memcpy(&source.header, h, sizeof(BITMAPINFOHEADER));
  memcpy(source.colors, reinterpret_cast<const BYTE*>(packed) + h->biSize, tableBytes);
  source.header.biSize = sizeof(BITMAPINFOHEADER);
  source.header.biHeight = height;
  if (iconImage) source.header.biSizeImage = 0;
  bool plainLayout = h->biCompression == BI_RGB || h->biCompression == BI_BITFIELDS;

  BITMAPINFOHEADER nh = source.header;
  int targetEntries = 0;
  bool standardTable = false;
  if (target != srcDepth || !plainLayout) {
    nh.biBitCount = static_cast<WORD>(target);
    nh.biCompression = BI_RGB;
    nh.biSizeImage = 0;
    nh.biClrUsed = nh.biClrImportant = 0;
    if (target <= 8) {
      targetEntries = 1 << target;
      standardTable = target > srcDepth || srcDepth > 8;
    }
  } else {
    targetEntries = DibColorEntries(&nh);
  }
  BITMAPINFO* info = AllocLibDib(sizeof(BITMAPINFOHEADER) + targetEntries * sizeof(RGBQUAD));
  if (!info) return nullptr;
  info->bmiHeader = nh;
  if (standardTable)
    FillStandardColorTable(hdc, info->bmiColors, target);
  else
    memcpy(info->bmiColors, source.colors, targetEntries * sizeof(RGBQUAD));
  DibScreenDC dc(hdc);
  void* newBits = nullptr;
  HBITMAP section = CreateDIBSection(dc, info, DIB_RGB_COLORS, &newBits, nullptr, 0);
  if (!section || !newBits) {
    if (section) DeleteObject(section);
    FreeDib(info);
    *bits = nullptr;
    SetLastError(kDibErrorData);
    return nullptr;
  }
  DibPrefixOf(info)->bitmap = section;
  DibPrefixOf(info)->bits = newBits;
  if (target == srcDepth && plainLayout) {
    memcpy(newBits, srcBits, static_cast<size_t>(DibRowBytes(width, target)) * height);
  } else if (target == 32 && h->biCompression == BI_RGB && (srcDepth <= 8 || srcDepth == 24)) {
    ExpandTo32(reinterpret_cast<const BITMAPINFO*>(&source), srcBits, static_cast<DWORD*>(newBits));
  } else {
    HDC mem = GetDibMemDC(info);
    SetDIBitsToDevice(mem, 0, 0, width, height, 0, 0, 0, height, srcBits, reinterpret_cast<BITMAPINFO*>(&source),
                      DIB_RGB_COLORS);
    GdiFlush();
  }

  COLORREF background = GetBkColor(dc);
  DWORD opaqueOthers = (target == 32 && srcDepth <= 8) ? static_cast<DWORD>(kDibColorOpaqueOthers) : 0u;
  if (flags & kDibMapGreys) MapDibGreysToSysColors(info, newBits);
  switch ((flags & kDibTransMask) >> kDibTransShift) {
    case kDibTransCorner: {
      COLORREF key;
      if (target <= 8) {
        const BYTE* top =
            static_cast<const BYTE*>(newBits) + static_cast<size_t>(DibRowBytes(width, target)) * (height - 1);
        key = kDibColorIndex | ((top[0] >> (8 - target)) & ((1 << target) - 1));
      } else {
        key = GetDibCornerColor(info, newBits) & 0xFFFFFF;
      }
      ReplaceDibColor(info, newBits, key | opaqueOthers, background);
      break;
    }
    case kDibTransTextColor:
      ReplaceDibColor(info, newBits, GetTextColor(dc) | opaqueOthers, background);
      break;
    case kDibTransAndMask: {
      const BYTE* andMask = mask ? mask : srcBits + static_cast<size_t>(DibRowBytes(width, srcDepth)) * height;
      ApplyDibMask(info, newBits, andMask, background | opaqueOthers);
      break;
    }
  }
  if ((flags & kDibFlattenAlpha) && target == 32) FlattenDibAlpha(info, newBits, background);
  *bits = newBits;
  return info;
}

BITMAPINFO* CreateDibFromIconResource(HDC hdc, const void* data, DWORD size, DWORD flags, void** bits) {
  const BYTE* p = static_cast<const BYTE*>(data);
  // Signature, IHDR length and type, width and height: 24 bytes before anything is read.
  if (!p || size < 24 || IsBadReadPtr(p, 24) || memcmp(p, kPngSignature, 8) != 0 || ReadBig32(p + 8) != 13 ||
      memcmp(p + 12, "IHDR", 4) != 0) {
    if (bits) *bits = nullptr;
    SetLastError(kDibErrorFormat);
    return nullptr;
  }
  int width = static_cast<int>(ReadBig32(p + 16)), height = static_cast<int>(ReadBig32(p + 20));
  if (!bits) {
    BITMAPINFO* info = AllocLibDib(sizeof(BITMAPINFOHEADER));
    if (!info) return nullptr;
    info->bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, kBiPng, size};
    return info;
  }
  *bits = nullptr;
  HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(p), size, TRUE, 0x30000, width, height, 0);
  if (!icon) {
    SetLastError(kDibErrorData);
    return nullptr;
  }
  ICONINFO ii = {};
  if (!GetIconInfo(icon, &ii)) {
    DestroyIcon(icon);
    SetLastError(kDibErrorData);
    return nullptr;
  }
  bool andMask = (flags & kDibTransMask) == kDibTransMask;
  if (andMask) flags &= ~kDibTransMask;
  void* colorBits = nullptr;
  BITMAPINFO* color = CreateDibFromBitmap(hdc, ii.hbmColor, &colorBits);
  BITMAPINFO* result = nullptr;
  if (color) {
    // The colour bitmap's own header (32 bits for PNG images) with a table when it has one.
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colors[256 + 3];
    } header = {};
    memcpy(&header, color, sizeof(BITMAPINFOHEADER) + 4 * DibColorEntries(&color->bmiHeader));
    header.header.biSizeImage = 0;
    DWORD passed = (flags | kDibMarker) & ~0x801234u;
    // The header is ours and temporary: the result is always a copy, at 32
    // bits unless another depth is asked for.
    if (!(passed & kDibConvert)) passed = (passed & ~kDibDepthMask) | kDibConvert;
    passed |= kDibForceCopy;
    void* newBits = colorBits;
    result = CreateDibFromPackedDib(hdc, reinterpret_cast<BITMAPINFO*>(&header), passed, &newBits);
    if (result == reinterpret_cast<BITMAPINFO*>(&header)) result = nullptr;
    if (result) *bits = newBits;
    if (result && andMask && ii.hbmMask) {
      void* maskBits = nullptr;
      BITMAPINFO* maskDib = CreateDibFromBitmap(hdc, ii.hbmMask, &maskBits);
      if (maskDib) {
        DibScreenDC dc(hdc);
        ApplyDibMask(result, newBits, maskBits, GetBkColor(dc));
        FreeDib(maskDib);
      }
    }
    FreeDib(color);
  }
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  DestroyIcon(icon);
  return result;
}

namespace {

template <typename Char>
BITMAPINFO* LoadDibResourceT(HDC hdc, HMODULE module, const Char* name, const Char* type, DWORD flags, void** bits) {
  void* local = nullptr;
  ULONG_PTR typeId = reinterpret_cast<ULONG_PTR>(type);
  if (typeId < 16) {
    if (!bits) bits = &local;
    *bits = module;
    int kind = kDibKindDib;
    if (typeId == 1) kind = kDibKindCursor;
    if (typeId == 3) kind = kDibKindIcon;
    if (typeId == 12 || typeId == 14) kind = kDibKindGroup;
    flags = (flags & ~kDibKindMask) | (static_cast<DWORD>(kind) << kDibKindShift);
  }
  HRSRC res;
  if constexpr (sizeof(Char) == 1)
    res = FindResourceA(module, name, type);
  else
    res = FindResourceW(module, name, type);
  HGLOBAL global = res ? LoadResource(module, res) : nullptr;
  void* data = global ? LockResource(global) : nullptr;
  if (!data) {
    if (bits) *bits = nullptr;
    return nullptr;
  }
  DWORD size = SizeofResource(module, res);
  if (size >= 8 && memcmp(data, kPngSignature, 8) == 0) return CreateDibFromIconResource(hdc, data, size, flags, bits);
  return CreateDibFromPackedDib(hdc, static_cast<BITMAPINFO*>(data), flags, bits);
}

}  // namespace

BITMAPINFO* LoadDibResource(HDC hdc, HMODULE module, LPCSTR name, LPCSTR type, DWORD flags, void** bits) {
  return LoadDibResourceT(hdc, module, name, type, flags, bits);
}

BITMAPINFO* LoadDibResourceW(HDC hdc, HMODULE module, LPCWSTR name, LPCWSTR type, DWORD flags, void** bits) {
  return LoadDibResourceT(hdc, module, name, type, flags, bits);
}

HBITMAP CreateBitmapFromDib(HDC hdc, const BITMAPINFO* packed, const void* bits, DWORD flags) {
  if (!packed || IsBadReadPtr(packed, 44)) {
    SetLastError(kDibErrorParameter);
    return nullptr;
  }
  const BITMAPINFOHEADER* h = &packed->bmiHeader;
  if (h->biSize != 40 || h->biWidth < 1 || h->biWidth > 65535 || h->biHeight < 1 || h->biHeight > 65535 ||
      h->biBitCount > 32) {
    SetLastError(kDibErrorParameter);
    return nullptr;
  }
  if (static_cast<LONG>(h->biSizeImage) < 0 ||
      (h->biSizeImage == 0 && h->biCompression != BI_RGB && h->biCompression != BI_BITFIELDS)) {
    SetLastError(kDibErrorFormat);
    return nullptr;
  }
  if (!bits) bits = reinterpret_cast<const BYTE*>(packed) + h->biSize + TableBytes(h);
  if ((flags & (kDibTransMask | kDibMapGreys | kDibFlattenAlpha | kDibForceCopy)) || (flags & kDibConvert)) {
    DWORD passed = (flags & ~(kDibMarkerMask | kDibDepthMask)) | kDibMarkerCopy;
    if (flags & kDibConvert) {
      int depth = (flags & kDibDepthMask) >> kDibDepthShift;
      passed |= kDibConvert | (depth == kDibDepthDisplay ? flags & kDibDepthMask : 0);
    }
    void* newBits = const_cast<void*>(bits);
    BITMAPINFO* info = CreateDibFromPackedDib(hdc, const_cast<BITMAPINFO*>(packed), passed, &newBits);
    if (!info || info == packed) return nullptr;
    DibPrefix* prefix = DibPrefixOf(info);
    HBITMAP result = prefix->bitmap;
    if (prefix->memDC) DeleteDC(prefix->memDC);
    prefix->memDC = nullptr;
    prefix->bitmap = nullptr;
    FreeDib(info);
    return result;
  }
  DibScreenDC dc(hdc);
  return CreateDIBitmap(dc, h, CBM_INIT, bits, packed, DIB_RGB_COLORS);
}
