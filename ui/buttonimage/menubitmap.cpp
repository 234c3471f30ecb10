// Cutting menu-sized bitmaps out of image strips.
#include "ui/buttonimage/menubitmap.h"

#include "mfc/gdi.h"
#include "mfc/globals.h"
#include "mfc/menu.h"
#include "ui/libdib/libdib.h"

namespace {
// Msimg32.dll is loaded at the first transparent cut, not with the program.
BOOL TransparentCopy(HDC dc, int width, int height, HDC source, int x, int y, COLORREF key) {
  typedef BOOL(WINAPI * TransparentBltFn)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
  static const TransparentBltFn transparentBlt = [] {
    HMODULE module = LoadLibraryA("msimg32.dll");
    return module ? (TransparentBltFn)(void*)GetProcAddress(module, "TransparentBlt") : nullptr;
  }();
  return transparentBlt && transparentBlt(dc, 0, 0, width, height, source, x, y, width, height, key);
}

uint32_t Word32(const void* p) { return (uint32_t)(UINT_PTR)p; }

MenuBitmapRecord Key(uint32_t hash, uint32_t kind, uint32_t source) {
  MenuBitmapRecord key = {};
  key.hash = hash;
  key.kind = kind;
  key.source = source;
  return key;
}

void Remember(MenuBitmapRecord key, void* handle) {
  key.handle = handle;
  AddMenuBitmap(&key);
}

// A bitmap resource, loaded once.
HBITMAP ResourceBitmap(const void* name) {
  MenuBitmapRecord key = Key(Word32(name) ^ kCutSourceResource, kMenuBitmapCut, Word32(name));
  if (void* cached = FindMenuBitmap(&key)) return static_cast<HBITMAP>(cached);
  HBITMAP bitmap = LoadBitmapA(AfxGetResourceHandle(), static_cast<LPCSTR>(name));
  if (bitmap) Remember(key, bitmap);
  return bitmap;
}

// A toolbar resource's data {version, width, height, count, ids}, loaded once.
const WORD* ToolbarResource(const void* name) {
  MenuBitmapRecord key = Key(Word32(name) ^ kCutSourceToolbar, kMenuBitmapToolbar, Word32(name));
  if (void* cached = FindMenuBitmap(&key)) return static_cast<const WORD*>(cached);
  HMODULE module = AfxGetResourceHandle();
  HRSRC res = FindResourceA(module, static_cast<LPCSTR>(name), MAKEINTRESOURCEA(kToolbarResourceType));
  HGLOBAL mem = res ? LoadResource(module, res) : nullptr;
  auto* data = mem ? static_cast<const WORD*>(LockResource(mem)) : nullptr;
  if (!data || SizeofResource(module, res) < 8 || SizeofResource(module, res) < 8 + 2u * data[3]) return nullptr;
  Remember(key, const_cast<WORD*>(data));
  return data;
}

// The image position of a command among the toolbar's non-zero ids, -1
// when it has none.
int ToolbarPosition(const WORD* data, int command) {
  int position = 0;
  for (int i = 0; i < data[3]; i++) {
    if (!data[4 + i]) continue;
    if (data[4 + i] == command) return position;
    position++;
  }
  return -1;
}

// A memory DC with the source selected; *kept tells whether the cache owns it.
HDC SourceDC(HBITMAP source, bool keep, bool* kept) {
  *kept = false;
  MenuBitmapRecord key = Key(Word32(source) ^ kMenuBitmapDC, kMenuBitmapDC, Word32(source));
  if (keep) {
    if (void* cached = FindMenuBitmap(&key)) {
      *kept = true;
      return static_cast<HDC>(cached);
    }
  }
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  if (!SelectObject(dc, source)) {
    DeleteDC(dc);
    return nullptr;
  }
  if (keep) {
    Remember(key, dc);
    *kept = true;
  }
  return dc;
}

bool DisplayIs32Bit() {
  HDC screen = GetDC(nullptr);
  int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
  ReleaseDC(nullptr, screen);
  return bits == 32;
}

HBITMAP CutCell(HDC source, int x, int y, int width, int height, DWORD flags, COLORREF background) {
  bool transparent = (flags & kCutTransparent) != 0;
  COLORREF keyColor = (flags & kCutKeyTopLeft) ? GetPixel(source, 0, 0) : (flags & kCutKeyColorMask);
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  HBITMAP target = nullptr;
  DWORD* bits = nullptr;
  if (DisplayIs32Bit()) {
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    target = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  } else {
    HDC screen = GetDC(nullptr);
    target = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
  }
  if (!target) {
    DeleteDC(dc);
    return nullptr;
  }
  HGDIOBJ old = SelectObject(dc, target);
  if (!transparent || bits) BitBlt(dc, 0, 0, width, height, source, x, y, SRCCOPY);
  if (transparent && bits) {
    GdiFlush();
    DWORD key = DibPixelOrder(keyColor) & 0xFFFFFF, back = DibPixelOrder(background) & 0xFFFFFF;
    for (int i = 0; i < width * height; i++) bits[i] = (bits[i] & 0xFFFFFF) == key ? back : (bits[i] | 0xFF000000);
  } else if (transparent) {
    RECT rc = {0, 0, width, height};
    COLORREF oldBack = SetBkColor(dc, background);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    SetBkColor(dc, oldBack);
    TransparentCopy(dc, width, height, source, x, y, keyColor);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return target;
}
}  // namespace

HBITMAP CutMenuBitmapFromStrip(const void* source, int x, int y, int width, int height, DWORD flags,
                               COLORREF background) {
  DWORD kind = flags & kCutSourceMask;
  if (kind == kCutSourceNone || !source || width < 1 || height < 1) return nullptr;
  if (flags & kCutCache) flags |= kCutKeepDC;
  MenuBitmapRecord key = {};
  if (flags & kCutCache) {
    uint32_t hash = (uint32_t)(2011 * (61 * (width + 19 * height) + y) + x) ^ kind ^ Word32(source);
    if (flags & kCutTransparent) hash ^= (flags & 0x0CFFFFFF) ^ background;
    key.hash = hash;
    key.kind = kMenuBitmapCut;
    key.x = (uint16_t)x;
    key.y = (uint16_t)y;
    key.width = (uint16_t)width;
    key.height = (uint16_t)height;
    key.source = Word32(source);
    if (void* cached = FindMenuBitmap(&key)) return static_cast<HBITMAP>(cached);
  }
  HBITMAP bitmap = nullptr;
  if (kind == kCutSourceBitmap) {
    bitmap = static_cast<HBITMAP>(const_cast<void*>(source));
  } else {
    if (kind == kCutSourceToolbar) {
      const WORD* toolbar = ToolbarResource(source);
      int position = toolbar ? ToolbarPosition(toolbar, x) : -1;
      if (position < 0) return nullptr;
      width = toolbar[1];
      height = toolbar[2];
      x = position * width;
    }
    bitmap = ResourceBitmap(source);
  }
  if (!bitmap || width < 1 || height < 1) return nullptr;
  if (height == kCutFullHeight) {
    BITMAP bm = {};
    if (!GetObject(bitmap, sizeof bm, &bm)) return nullptr;
    height = bm.bmHeight;
  }
  bool kept = false;
  HDC dc = SourceDC(bitmap, (flags & kCutKeepDC) != 0, &kept);
  if (!dc) return nullptr;
  HBITMAP cut = CutCell(dc, x, y, width, height, flags, background);
  if (!kept) DeleteDC(dc);
  if (cut && (flags & kCutCache)) Remember(key, cut);
  return cut;
}

BOOL SetMenuItemBitmapFromStrip(CMenu* menu, UINT item, const void* resource, int index, int size) {
  if (!menu) return FALSE;
  HBITMAP bitmap =
      CutMenuBitmapFromStrip(resource, index * size, 0, size, kCutFullHeight, kMenuStripFlags, GetSysColor(COLOR_MENU));
  if (!bitmap) return FALSE;
  UINT how = (item & kMenuItemByPosition) ? MF_BYPOSITION : MF_BYCOMMAND;
  return menu->SetMenuItemBitmaps(item & ~kMenuItemByPosition, how, CBitmap::FromHandle(bitmap), nullptr);
}
