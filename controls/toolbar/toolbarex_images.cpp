// Image entries: bitmap strips with fixed cells or cells marked by pixels of
// the marker colour, each with its scale.
#include <cstring>
#include <new>

#include "controls/toolbar/toolbarex_data.h"
#include "ui/libdib/libdib.h"

namespace {
// Pixels by depth; rows counted from the bottom row (0).
struct PixelReader {
  const BYTE* bits = nullptr;
  int width = 0, height = 0, depth = 0, stride = 0;
  bool topDown = false;

  bool Open(const BITMAPINFO* info, const void* b) {
    if (!info || !b) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    bits = static_cast<const BYTE*>(b);
    width = h.biWidth;
    topDown = h.biHeight < 0;
    height = topDown ? -h.biHeight : h.biHeight;
    depth = DibDepth(&h);
    stride = DibRowBytes(width, depth);
    return width > 0 && height > 0 && (depth == 4 || depth == 8 || depth == 24 || depth == 32);
  }
  DWORD At(int x, int row) const {
    const BYTE* line = bits + (size_t)stride * (topDown ? height - 1 - row : row);
    switch (depth) {
      case 4:
        return (x & 1) ? (line[x / 2] & 0x0F) : (line[x / 2] >> 4);
      case 8:
        return line[x];
      case 24:
        return line[x * 3] | (line[x * 3 + 1] << 8) | ((DWORD)line[x * 3 + 2] << 16);
      default:
        return reinterpret_cast<const DWORD*>(line)[x] & 0xFFFFFF;
    }
  }
};

int FirstMarkerAtOrAbove(const PixelReader& p, DWORD marker, int x, int row) {
  while (row < p.height && p.At(x, row) != marker) row++;
  return row;
}

int SumCountsBefore(ToolbarExData* data, unsigned entry) {
  int sum = 0;
  for (unsigned i = 0; i < entry; i++) sum += data->images[i].count;
  return sum;
}

void RenumberEntries(ToolbarExData* data) {
  for (unsigned i = 0; i < data->imageCount; i++) data->images[i].firstImage = (WORD)SumCountsBefore(data, i);
}

void ScanToEnd(ToolbarExImageEntry* entry) {
  if ((entry->flags & kEntryScanned) && !(entry->flags & kEntryCountFinal)) ToolbarExScanImageCells(entry, 0xFFFF);
}

// The bitmap of a (module, source) as a LibDib of 4, 8, 24 or 32 bits;
// other depths are converted when convert is set.
BITMAPINFO* LoadEntryDib(HINSTANCE module, UINT_PTR source, bool convert, void** bits) {
  BITMAPINFO* dib = module ? LoadDibResource(nullptr, module, reinterpret_cast<LPCSTR>(source),
                                             reinterpret_cast<LPCSTR>(RT_BITMAP), 0, bits)
                           : CreateDibFromBitmap(nullptr, reinterpret_cast<HBITMAP>(source), bits);
  if (!dib) return nullptr;
  int depth = DibDepth(&dib->bmiHeader);
  if (depth == 4 || depth == 8 || depth == 24 || depth == 32) return dib;
  BITMAPINFO* converted = nullptr;
  if (convert) {
    HDC screen = GetDC(nullptr);
    int display = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    DWORD flags =
        display > 8 ? kDibMarkerTo32 : (kDibMarker | kDibConvert | ((DWORD)kDibDepthDisplay << kDibDepthShift));
    void* given = *bits;
    converted = CreateDibFromPackedDib(nullptr, dib, flags, &given);
    if (converted && converted != dib) {
      *bits = given;
      depth = DibDepth(&converted->bmiHeader);
    } else {
      converted = nullptr;
    }
  }
  FreeDib(dib);
  if (converted && (depth == 4 || depth == 8 || depth == 24 || depth == 32)) return converted;
  if (converted) FreeDib(converted);
  return nullptr;
}

void FreeEntry(ToolbarExImageEntry* entry) {
  if (entry->dib) FreeDib(entry->dib);
  if ((entry->flags & kEntryOwnsBitmap) && entry->source) DeleteObject(reinterpret_cast<HBITMAP>(entry->source));
  *entry = ToolbarExImageEntry{};
}
}  // namespace

int ToolbarExScanImageCells(ToolbarExImageEntry* entry, int wanted) {
  if (!entry || !(entry->flags & kEntryScanned)) return 0;
  if (entry->cellWidth && entry->scanIndex == wanted) return 1;
  PixelReader p;
  if (!p.Open(entry->dib, entry->bits)) {
    entry->count = 0;
    entry->flags |= kEntryCountFinal;
    return 0;
  }
  DWORD marker = p.At(0, 0);
  int index = 0;
  auto found = [&](int x, int row, int width, int height, bool frame) {
    if (index++ != wanted) return false;
    entry->scanIndex = (WORD)wanted;
    entry->scanX = (WORD)(x + (frame ? 1 : 0));
    entry->scanY = (WORD)row;
    entry->cellWidth = (WORD)(width - (frame ? 1 : 0));
    entry->cellHeight = (WORD)height;
    entry->flags = (WORD)(frame ? entry->flags | kEntryFrameColumn : entry->flags & ~kEntryFrameColumn);
    return true;
  };
  for (int x = 0; x < p.width;) {
    int next = x + 1;
    while (next < p.width && p.At(next, 0) != marker) next++;
    int width = next - x;
    if (p.height < 2 || p.At(x, 1) != marker) {
      if (found(x, 0, width, p.height, false)) return 1;
      x += width;
      continue;
    }
    if (x == p.width - 1) break;
    bool frame = p.height > 2 && p.At(x, 2) == marker;
    int row = 0, height = FirstMarkerAtOrAbove(p, marker, x, 2);
    if (found(x, row, width, height, frame)) return 1;
    for (;;) {
      int bottom = row + height;
      if (bottom + 3 > p.height || p.At(x, bottom + 1) == marker) break;
      row = bottom;
      height = FirstMarkerAtOrAbove(p, marker, x, bottom + 2) - bottom;
      if (found(x, row, width, height, frame)) return 1;
    }
    x += width;
  }
  entry->count = (WORD)index;
  entry->flags |= kEntryCountFinal;
  entry->cellWidth = 0;
  return 0;
}

bool ToolbarExFindImageEntry(ToolbarExData* data, int image, int* pEntry, int* pCell) {
  if (image < 0) return false;
  for (unsigned i = 0; i < data->imageCount; i++) {
    ToolbarExImageEntry* e = &data->images[i];
    if ((e->flags & kEntryScanned) && !(e->flags & kEntryCountFinal)) {
      if (ToolbarExScanImageCells(e, image)) {
        if (pEntry) *pEntry = (int)i;
        if (pCell) *pCell = image;
        return true;
      }
    }
    if (image < e->count) {
      if ((e->flags & kEntryScanned) && !ToolbarExScanImageCells(e, image)) return false;
      if (e->flags & kEntryFixed) e->scanX = (WORD)(image * e->cellWidth);
      if (pEntry) *pEntry = (int)i;
      if (pCell) *pCell = image;
      return true;
    }
    image -= e->count;
  }
  return false;
}

LONG ToolbarExImageSize(ToolbarExData* data, int image) {
  if (image < 0 || image > 65535) return -1;
  int entry = 0, cell = 0;
  if (!ToolbarExFindImageEntry(data, image, &entry, &cell)) return -1;
  const ToolbarExImageEntry& e = data->images[entry];
  return MAKELONG(e.cellWidth, e.cellHeight);
}

int ToolbarExAddBitmap(ToolbarExData* data, WPARAM wParam, const void* record) {
  if (!record) return -1;
  const bool own = ((DWORD)wParam & 0xFFFF0000) == kTbxByIndex;
  TbxAddBitmap form = {};
  if (own) {
    form = *static_cast<const TbxAddBitmap*>(record);
  } else {
    const TBADDBITMAP* tb = static_cast<const TBADDBITMAP*>(record);
    form.module = tb->hInst;
    form.source = tb->nID;
  }
  int count = own ? (int)(wParam & 0xFFFF) : (int)wParam;
  int scale = own && form.scale ? form.scale : 256;
  bool owned = own && (form.flags & kTbxImageOwnBitmap) && !form.module;
  auto fail = [&]() {
    if (owned && form.source) DeleteObject(reinterpret_cast<HBITMAP>(form.source));
    return -1;
  };
  if (own && (form.flags & kTbxImageFixed)) count = form.cellWidth == kTbxScanCells ? kTbxScanCells : -2;
  if (count == -1 || (count < 1 && count != -2)) return fail();

  // An entry already there takes the new scale only.
  for (unsigned i = 0; i < data->imageCount; i++) {
    ToolbarExImageEntry* e = &data->images[i];
    ScanToEnd(e);
    if (e->module == form.module && e->source == form.source) {
      RenumberEntries(data);
      if (e->scale != scale) {
        e->scale = (WORD)scale;
        data->dirty = kDirtyAll;
        ToolbarExInvalidate(data);
      }
      return e->firstImage;
    }
  }
  RenumberEntries(data);
  if (data->imageCount == data->imageCapacity) {
    unsigned capacity = data->imageCapacity + 4;
    auto* grown = new (std::nothrow) ToolbarExImageEntry[capacity]();
    if (!grown) return fail();
    if (data->images) std::memcpy(grown, data->images, data->imageCount * sizeof *grown);
    delete[] data->images;
    data->images = grown;
    data->imageCapacity = capacity;
  }
  void* bits = nullptr;
  BITMAPINFO* dib = LoadEntryDib(form.module, form.source, true, &bits);
  if (!dib) return fail();
  int width = dib->bmiHeader.biWidth;
  int height = dib->bmiHeader.biHeight < 0 ? -dib->bmiHeader.biHeight : dib->bmiHeader.biHeight;
  if (count == -2) count = form.cellWidth ? width / form.cellWidth : 0;
  if (own && (form.flags & kTbxImageFrameColumn) && count != kTbxScanCells && count > 0 && width % count) {
    count = kTbxScanCells;
  }
  ToolbarExImageEntry e = {};
  e.module = form.module;
  e.source = form.source;
  e.dib = dib;
  e.bits = bits;
  e.stride = (WORD)DibRowBytes(width, DibDepth(&dib->bmiHeader));
  e.scale = (WORD)scale;
  e.firstImage = (WORD)SumCountsBefore(data, data->imageCount);
  if (owned) e.flags |= kEntryOwnsBitmap;
  if (count != kTbxScanCells) {
    if (count < 1 || width / count < 1) {
      FreeDib(dib);
      return fail();
    }
    e.flags |= kEntryFixed | kEntryCountFinal;
    e.count = (WORD)count;
    e.cellWidth = (WORD)(width / count);
    e.cellHeight = (WORD)height;
  } else {
    e.flags |= kEntryScanned;
    ToolbarExScanImageCells(&e, 0xFFFF);
  }
  if (own) {
    auto* out = const_cast<TbxAddBitmap*>(static_cast<const TbxAddBitmap*>(record));
    out->count = e.count;
    if (out->flags & kTbxImageReportWidth) out->cellWidth = (e.flags & kEntryFixed) ? e.cellWidth : kTbxScanCells;
    if (out->flags & kTbxImageReportHeight) out->scale = (WORD)height;
  }
  data->images[data->imageCount++] = e;
  data->dirty |= kDirtyLayout;
  return e.firstImage;
}

int ToolbarExReplaceBitmap(ToolbarExData* data, int scale, const TBREPLACEBITMAP* r) {
  if (!r || r->nButtons < 1) return 0;
  int old = -1;
  for (unsigned i = 0; i < data->imageCount; i++) {
    ToolbarExImageEntry* e = &data->images[i];
    if (e->module == r->hInstNew && e->source == r->nIDNew) return 0;
    if (e->module == r->hInstOld && e->source == r->nIDOld) old = (int)i;
  }
  if (old < 0) return 0;
  void* bits = nullptr;
  BITMAPINFO* dib = LoadEntryDib(r->hInstNew, r->nIDNew, false, &bits);
  if (!dib) return 0;
  int width = dib->bmiHeader.biWidth;
  bool scanned = r->nButtons == kTbxScanCells;
  ToolbarExImageEntry fresh = {};
  fresh.module = r->hInstNew;
  fresh.source = r->nIDNew;
  fresh.dib = dib;
  fresh.bits = bits;
  fresh.flags = scanned ? kEntryScanned : (kEntryFixed | kEntryCountFinal);
  if (!scanned) {
    if (width / r->nButtons < 1) {
      FreeDib(dib);
      return 0;
    }
    fresh.count = (WORD)r->nButtons;
    fresh.cellWidth = (WORD)(width / r->nButtons);
    fresh.cellHeight = (WORD)(dib->bmiHeader.biHeight < 0 ? -dib->bmiHeader.biHeight : dib->bmiHeader.biHeight);
  }
  ToolbarExImageEntry* e = &data->images[old];
  // The image indexes of the entries after it must stay.
  if ((unsigned)old + 1 < data->imageCount) {
    ScanToEnd(e);
    if (scanned) ToolbarExScanImageCells(&fresh, 0xFFFF);
    if (fresh.count != e->count) {
      FreeDib(dib);
      return 0;
    }
  }
  if (e->dib) FreeDib(e->dib);
  if ((e->flags & kEntryOwnsBitmap) && e->source) DeleteObject(reinterpret_cast<HBITMAP>(e->source));
  fresh.stride = (WORD)DibRowBytes(width, DibDepth(&dib->bmiHeader));
  fresh.scale = scale ? (WORD)scale : e->scale;
  fresh.firstImage = e->firstImage;
  if (scanned) {
    // The cursor starts again; the count is found by the next scan.
    fresh.count = 0;
    fresh.cellWidth = 0;
    fresh.flags = kEntryScanned;
  }
  *e = fresh;
  data->dirty = kDirtyAll;
  ToolbarExInvalidate(data);
  return 1;
}

int ToolbarExDeleteImage(ToolbarExData* data, int entry) {
  if (entry < 0 || (unsigned)entry >= data->imageCount) return 0;
  FreeEntry(&data->images[entry]);
  std::memmove(data->images + entry, data->images + entry + 1, (data->imageCount - entry - 1) * sizeof *data->images);
  data->imageCount--;
  RenumberEntries(data);
  return 1;
}

int ToolbarExGetImageInfo(ToolbarExData* data, int first, int count, TbxImageInfo* records) {
  if (!records || first < 0 || count < 1) return 0;
  for (unsigned i = 0; i < data->imageCount; i++) ScanToEnd(&data->images[i]);
  int n = 0;
  for (unsigned i = (unsigned)first; i < data->imageCount && n < count; i++, n++) {
    const ToolbarExImageEntry& e = data->images[i];
    PixelReader p;
    p.Open(e.dib, e.bits);
    records[n] =
        TbxImageInfo{(UINT_PTR)e.module, e.source, e.count, e.scale, (WORD)((e.flags & kEntryFixed) ? e.cellWidth : 0),
                     (WORD)p.height};
  }
  return n;
}

int ToolbarExChangeBitmap(ToolbarExData* data, int index, int image) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b) return 0;
  b->tb.iBitmap = image;
  b->drawWord |= kDrawRender;
  data->dirty |= kDirtyLayout;
  if (b->rect.right > b->rect.left) InvalidateRect(data->window, &b->rect, FALSE);
  return 1;
}

int ToolbarExCountBitmapImages(WPARAM wParam, LPARAM lParam) {
  ToolbarExImageEntry e = {};
  BITMAPINFO* dib = nullptr;
  void* bits = nullptr;
  if (wParam == 0xFFFF) {
    dib = CreateDibFromBitmap(nullptr, reinterpret_cast<HBITMAP>(lParam), &bits);
  } else if (wParam < 0xFFFF) {
    dib = LoadDibResource(nullptr, reinterpret_cast<HMODULE>(lParam), MAKEINTRESOURCEA(wParam),
                          reinterpret_cast<LPCSTR>(RT_BITMAP), 0, &bits);
  } else {
    e.dib = reinterpret_cast<BITMAPINFO*>(wParam);
    e.bits = reinterpret_cast<void*>(lParam);
  }
  if (dib) {
    e.dib = dib;
    e.bits = bits;
  }
  e.flags = kEntryScanned;
  ToolbarExScanImageCells(&e, 0xFFFF);
  if (dib) FreeDib(dib);
  return e.count;
}
