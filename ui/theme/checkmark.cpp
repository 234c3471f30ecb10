// Check marks, bullets, tree expand glyphs and drop-down arrows.
#include <vsstyle.h>

#include "ui/fonts.h"
#include "ui/theme/glyphtext.h"
#include "ui/theme/themedraw.h"
#include "ui/winversion.h"

namespace {
// Two "Marlett" fonts keyed by their size, the least recently used one
// refilled. The fonts belong to the font cache.
struct MarlettSlot {
  HFONT font;
  int size;
  DWORD stamp;
};
MarlettSlot g_slots[2];
DWORD g_clock;

HFONT MarlettFont(int size) {
  g_clock++;
  for (MarlettSlot& slot : g_slots) {
    if (slot.font && slot.size == size) {
      slot.stamp = g_clock;
      return slot.font;
    }
  }
  MarlettSlot& oldest = g_slots[0].stamp <= g_slots[1].stamp ? g_slots[0] : g_slots[1];
  LOGFONTW lf = {};
  lf.lfHeight = size;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpyW(lf.lfFaceName, L"Marlett");
  oldest = MarlettSlot{CreateCachedFontW(&lf), size, g_clock};
  return oldest.font;
}

void DrawMarlett(HDC dc, RECT rc, wchar_t ch, COLORREF color) {
  int width = rc.right - rc.left, height = rc.bottom - rc.top;
  int size = width < height ? width : height;
  if (size < 1 || !ch) return;
  HGDIOBJ oldFont = SelectObject(dc, MarlettFont(size));
  COLORREF oldText = SetTextColor(dc, color);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, &ch, 1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldText);
  SelectObject(dc, oldFont);
}

void DrawExpandGlyph(HDC dc, const RECT& rc, UINT state) {
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
  SelectObject(dc, GetStockObject(GRAY_BRUSH));
  SelectObject(dc, GetStockObject(NULL_PEN));
  int midY = (rc.top + rc.bottom) / 2, midX = (rc.left + rc.right) / 2;
  Rectangle(dc, rc.left + 2, midY, rc.right - 1, midY + 2);
  if (state == 1) Rectangle(dc, midX, rc.top + 2, midX + 2, rc.bottom - 1);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

void DrawDropArrow(HDC dc, RECT rc, UINT state) {
  COLORREF color = GetSysColor(COLOR_MENUTEXT);
  if (state == 2 || state == 6) {
    color = MeanColor(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_MENUTEXT));
  } else if (state == 4) {
    color = GetSysColor(COLOR_GRAYTEXT);
  }
  if (state == 3 || state == 5 || state == 6) OffsetRect(&rc, 1, 1);
  DrawMarlett(dc, rc, L'u', color);
}
}  // namespace

void DrawCheckMark(HDC dc, const RECT* prc, UINT flags, int inset) {
  if (!dc || !prc) return;
  if (flags & kGlyphErase) ExtTextOutW(dc, 0, 0, ETO_OPAQUE, prc, nullptr, 0, nullptr);
  RECT rc = inset ? InsetGlyphRect(*prc, flags, inset) : *prc;
  UINT state = flags & 0xF, kind = (flags & kGlyphKindMask) >> kGlyphKindShift;
  // Menu marks exist for states 1-4 only; the theme would draw its empty
  // check background for the others.
  if (kind == 1 && (state == 0 || state > 4)) return;
  const ThemeApi& api = GetThemeApi();
  if (GetThemeHandle(kThemeTreeView) && !(flags & kGlyphClassic) && api.DrawThemeBackground && kind <= 2) {
    static const int kThemes[3] = {kThemeTreeView, kThemeMenu, kThemeToolBar};
    static const int kParts[3] = {TVP_GLYPH, MENU_POPUPCHECK, TP_DROPDOWNBUTTONGLYPH};
    HTHEME theme = GetThemeHandle(kThemes[kind]);
    if (theme && SUCCEEDED(api.DrawThemeBackground(theme, dc, kParts[kind], (int)state, &rc, nullptr))) return;
  }
  switch (kind) {
    case 0:
      DrawExpandGlyph(dc, rc, state);
      break;
    case 1: {
      static const wchar_t kMarks[5] = {0, 'a', 'a', 'h', 'h'};
      wchar_t ch = state < 5 ? kMarks[state] : 0;
      DrawMarlett(dc, rc, ch, GetSysColor((state & 1) ? COLOR_MENUTEXT : COLOR_GRAYTEXT));
      break;
    }
    case 2:
      DrawDropArrow(dc, rc, state);
      break;
    default:
      break;  // no classic glyph for other kinds
  }
}

void DrawComboDropButton(HDC dc, const RECT* prc, UINT flags, int inset) {
  if (!dc || !prc) return;
  RECT rc = inset ? InsetGlyphRect(*prc, flags, inset) : *prc;
  UINT state = flags & kGlyphStateMask;
  HTHEME combo = GetThemeHandle(kThemeComboBox);
  const ThemeApi& api = GetThemeApi();
  if (combo && !(flags & kGlyphClassic) && api.DrawThemeBackground) {
    int part = (int)((flags >> 16) & 0xF);
    if (api.windowsVersion < kWindowsVista) {
      if (part == 0) part = CP_DROPDOWNBUTTON;
      if (!inset) InflateRect(&rc, -1, -1);
    } else if (part == 0) {
      part = CP_DROPDOWNBUTTONRIGHT;
    }
    api.DrawThemeBackground(combo, dc, part, (int)state, &rc, nullptr);
    return;
  }
  UINT frame = kFrameFill, arrow = 0;
  if (state == 2) {
    frame = kFrameFill | kFrameFillLight;
    arrow = 2;
  } else if (state == 3) {
    frame = kFrameFill | kFrameSunken;
  } else if (state == 4) {
    arrow = 4;
  }
  Draw3dFrame(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, frame);
  RECT inner = rc;
  InflateRect(&inner, -2, -2);
  DrawCheckMark(dc, &inner, kCheckDropDown | arrow | kGlyphClassic, 0);
}
