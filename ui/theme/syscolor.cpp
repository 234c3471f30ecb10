// System colours cached per index; the menu colours are read from the
// visual style, which can differ from GetSysColor.
#include <vsstyle.h>

#include "ui/libdib/libdib.h"
#include "ui/theme/themedraw.h"

namespace {
const int kCachedColors = 64;
COLORREF g_colors[kCachedColors];
bool g_cached[kCachedColors];

// A colour the theme's parts never leave behind: an alpha byte of 1 is
// neither opaque nor transparent.
const DWORD kProbeUntouched = 0x01020304;

COLORREF ProbeMenuColor(int index) {
  COLORREF fallback = GetSysColor(index);
  HTHEME menu = GetThemeHandle(kThemeMenu);
  const ThemeApi& api = GetThemeApi();
  if (!menu || !api.DrawThemeBackground) return GetSysColor(COLOR_MENU);
  DWORD* bits = nullptr;
  BITMAPINFO* dib = CreateDib(nullptr, 32, 32, 32, reinterpret_cast<void**>(&bits));
  HDC dc = dib ? GetDibMemDC(dib) : nullptr;
  if (!dc) {
    if (dib) FreeDib(dib);
    return fallback;
  }
  // Bottom-up rows: the top-left 16 x 16 are rows 16-31 of the bits.
  DWORD sys = DibPixelOrder(fallback) & 0xFFFFFF;
  for (int y = 0; y < 32; y++) {
    for (int x = 0; x < 32; x++) bits[y * 32 + x] = (y >= 16 && x < 16) ? sys : kProbeUntouched;
  }
  RECT rc = {0, 0, 32, 32};
  HRESULT hr =
      api.DrawThemeBackground(menu, dc, index == COLOR_MENU ? MENU_POPUPBACKGROUND : MENU_POPUPGUTTER, 1, &rc, nullptr);
  GdiFlush();
  DWORD probe = bits[(31 - 16) * 32 + 16];
  FreeDib(dib);
  // A failed or empty part leaves the probe as it was: its black would be
  // a wrong answer.
  if (FAILED(hr) || probe == kProbeUntouched) return fallback;
  return DibColorRef(probe) & 0xFFFFFF;
}
}  // namespace

COLORREF GetCachedSysColor(int index) {
  if (index < 0 || index >= kCachedColors) return GetSysColor(index);
  if (!g_cached[index]) {
    g_colors[index] = (index == COLOR_MENU || index == COLOR_MENUBAR) ? ProbeMenuColor(index) : GetSysColor(index);
    g_cached[index] = true;
  }
  return g_colors[index];
}

void ResetCachedSysColors() {
  for (bool& cached : g_cached) cached = false;
}
