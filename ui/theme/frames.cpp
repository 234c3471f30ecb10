// Frames, embossed text and theme parts by index.
#include "ui/theme/textcalls.h"
#include "ui/theme/themedraw.h"

namespace {
// GDI fills an inverted rectangle as its normalised twin: the inside of a
// 1 x 1 frame would paint over its edge.
void FillSolid(HDC dc, const RECT& rc, COLORREF color) {
  if (rc.right <= rc.left || rc.bottom <= rc.top) return;
  SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

template <typename Ch>
int DrawDisabledText(HDC dc, const Ch* text, int length, const RECT* prc, UINT flags) {
  if (!prc || prc->right <= prc->left || prc->bottom <= prc->top) return 0;
  if (!text) return 1;
  if (length < 0) length = textcalls::Length(text);
  if (length == 0) return 1;
  int x = prc->left, y = prc->top;
  int width = prc->right - prc->left, height = prc->bottom - prc->top;
  if (flags & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) {
    SIZE size = {};
    textcalls::Extent(dc, text, length, &size);
    if (!(flags & DT_NOPREFIX)) {
      // Each '&' is a prefix, not a character.
      SIZE amp = {};
      static const Ch kAmp[2] = {'&', 0};
      textcalls::Extent(dc, kAmp, 1, &amp);
      for (int i = 0; i < length; i++) {
        if (text[i] == '&') size.cx -= amp.cx;
      }
    }
    int freeX = width - size.cx, freeY = height - size.cy;
    if (freeX >= 0) {
      if (flags & DT_CENTER) {
        x += freeX / 2;
      } else if (flags & DT_RIGHT) {
        x += freeX - 1;
      }
    }
    if (freeY >= 0) {
      if (flags & DT_VCENTER) {
        y += freeY / 2;
      } else if (flags & DT_BOTTOM) {
        y += freeY - 1;
      }
    }
  }
  UINT kind = (flags & DT_NOPREFIX) ? DST_TEXT : DST_PREFIXTEXT;
  return textcalls::State(dc, text, length, x, y, width, height, kind | DSS_DISABLED);
}
}  // namespace

RECT InsetGlyphRect(const RECT& rc, UINT flags, int inset) {
  int dx = inset, dy = inset;
  if (flags & kGlyphInsetXY) {
    dx = (short)LOWORD(inset);
    dy = (short)HIWORD(inset);
  }
  return RECT{rc.left + dx, rc.top + dy, rc.right - dx, rc.bottom - dy};
}

void Draw3dFrame(HDC dc, int x, int y, int cx, int cy, UINT flags) {
  if (cx < 1 || cy < 1) return;
  COLORREF oldBack = GetBkColor(dc);
  COLORREF a = (flags & kFrameSunken) ? GetSysColor(COLOR_BTNSHADOW) : RGB(255, 255, 255);
  COLORREF b = (flags & kFrameSunken) ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNSHADOW);
  if (flags & kFrameBackground) a = b = oldBack;
  FillSolid(dc, RECT{x, y, x + cx - 1, y + 1}, a);
  FillSolid(dc, RECT{x, y + 1, x + 1, y + cy - 1}, a);
  FillSolid(dc, RECT{x, y + cy - 1, x + cx, y + cy}, b);
  FillSolid(dc, RECT{x + cx - 1, y, x + cx, y + cy - 1}, b);
  if (flags & kFrameFill) {
    FillSolid(dc, RECT{x + 1, y + 1, x + cx - 1, y + cy - 1},
              GetSysColor((flags & kFrameFillLight) ? COLOR_3DLIGHT : COLOR_BTNFACE));
  }
  SetBkColor(dc, oldBack);
}

int DrawDisabledTextA(HDC dc, const char* text, int length, const RECT* prc, UINT flags) {
  return DrawDisabledText(dc, text, length, prc, flags);
}

int DrawDisabledTextW(HDC dc, const wchar_t* text, int length, const RECT* prc, UINT flags) {
  return DrawDisabledText(dc, text, length, prc, flags);
}

void DrawThemePartByIndex(HDC dc, int theme, const RECT* prc, UINT flags, int inset) {
  if (!dc || !prc) return;
  RECT rc = InsetGlyphRect(*prc, flags, inset);
  HTHEME handle = GetThemeHandle(theme);
  const ThemeApi& api = GetThemeApi();
  if (handle && !(flags & kGlyphClassic) && api.DrawThemeBackground) {
    api.DrawThemeBackground(handle, dc, (int)(flags >> 16), (int)(flags & kGlyphStateMask), &rc, nullptr);
    return;
  }
  COLORREF oldBack = GetBkColor(dc);
  FillSolid(dc, rc, (flags & kGlyphStateMask) < 3 ? GetSysColor(COLOR_WINDOW) : RGB(0xC0, 0xC0, 0xC0));
  SetBkColor(dc, oldBack);
  DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT);
}
