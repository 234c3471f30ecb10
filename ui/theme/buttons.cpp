// Push buttons and the radio and check-box glyph buttons.
#include <vsstyle.h>

#include "ui/fonts.h"
#include "ui/theme/glyphtext.h"
#include "ui/theme/themedraw.h"

namespace {
// DrawFrameControl flags of the theme states 1-8.
const UINT kClassicStates[9] = {0,
                                0,
                                DFCS_HOT,
                                DFCS_PUSHED,
                                DFCS_INACTIVE,
                                DFCS_CHECKED,
                                DFCS_CHECKED | DFCS_HOT,
                                DFCS_CHECKED | DFCS_PUSHED,
                                DFCS_CHECKED | DFCS_INACTIVE};

void DrawGlyphButton(HDC dc, const void* text, const RECT* prc, UINT flags, int inset, int part) {
  if (!dc || !prc) return;
  if (flags & kGlyphErase) ExtTextOutW(dc, 0, 0, ETO_OPAQUE, prc, nullptr, 0, nullptr);
  RECT inner = InsetGlyphRect(*prc, flags, inset);
  UINT state = flags & kGlyphStateMask;
  SIZE glyph = {};
  GetGlyphSize(part == BP_RADIOBUTTON ? 1 : 0, &glyph);
  int width = inner.right - inner.left < glyph.cx ? inner.right - inner.left : glyph.cx;
  int top = inner.top + (inner.bottom - inner.top - glyph.cy + 1) / 2;
  RECT box = {inner.left, top, inner.left + width, top + glyph.cy};
  HTHEME button = GetThemeHandle(kThemeButton);
  const ThemeApi& api = GetThemeApi();
  if (button && !(flags & kGlyphClassic) && api.DrawThemeBackground) {
    api.DrawThemeBackground(button, dc, part, (int)state, &box, nullptr);
  } else {
    UINT kind = part == BP_RADIOBUTTON ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    DrawFrameControl(dc, &box, DFC_BUTTON, kind | (state <= 8 ? kClassicStates[state] : 0));
  }
  if (!HasGlyphText(text, flags)) return;
  int gap = GlyphGap(flags);
  int start = box.right + (gap ? gap : 3);
  if (start >= prc->right) return;
  HGDIOBJ oldFont = nullptr;
  if (flags & kGlyphAnsiVarFont) {
    oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
  } else if (flags & kGlyphStandardFont) {
    oldFont = SelectObject(dc, GetStandardFont(0));
  }
  COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  int oldMode = SetBkMode(dc, TRANSPARENT);
  UINT how = DST_TEXT | ((state == 4 || state == 8) ? DSS_DISABLED : DSS_NORMAL);
  int cx = prc->right - start, cy = box.bottom - box.top;
  if (flags & kGlyphAnsiText) {
    const char* s = static_cast<const char*>(text);
    DrawStateA(dc, nullptr, nullptr, (LPARAM)s, (WPARAM)lstrlenA(s), start, box.top, cx, cy, how);
  } else {
    const wchar_t* s = static_cast<const wchar_t*>(text);
    DrawStateW(dc, nullptr, nullptr, (LPARAM)s, (WPARAM)lstrlenW(s), start, box.top, cx, cy, how);
  }
  SetBkMode(dc, oldMode);
  SetBkColor(dc, oldBack);
  if (oldFont) SelectObject(dc, oldFont);
}
}  // namespace

void DrawPushButton(HDC dc, const void* text, const RECT* prc, UINT flags, int inset) {
  if (!dc || !prc) return;
  RECT inner = InsetGlyphRect(*prc, flags, inset);
  UINT state = flags & kGlyphStateMask;
  int gap = GlyphGap(flags);
  bool hasText = HasGlyphText(text, flags);
  HTHEME button = GetThemeHandle(kThemeButton);
  const ThemeApi& api = GetThemeApi();
  if (button && !(flags & kGlyphClassic) && api.DrawThemeBackground) {
    if (flags & kGlyphErase) {
      // The band around the button, reaching 2 pixels under its rounded edge.
      RECT in = inner;
      InflateRect(&in, -2, -2);
      FillSysColor(dc, RECT{prc->left, prc->top, prc->right, in.top}, COLOR_BTNFACE);
      FillSysColor(dc, RECT{prc->left, in.bottom, prc->right, prc->bottom}, COLOR_BTNFACE);
      FillSysColor(dc, RECT{prc->left, in.top, in.left, in.bottom}, COLOR_BTNFACE);
      FillSysColor(dc, RECT{in.right, in.top, prc->right, in.bottom}, COLOR_BTNFACE);
    }
    api.DrawThemeBackground(button, dc, BP_PUSHBUTTON, (int)state, &inner, nullptr);
    RECT content = inner;
    if (api.GetThemeBackgroundContentRect) {
      api.GetThemeBackgroundContentRect(button, dc, BP_PUSHBUTTON, (int)state, &inner, &content);
    }
    if (hasText && api.DrawThemeText) {
      wchar_t wide[kThemeTextMax + 1];
      int n = WidenGlyphText(text, flags, wide);
      DWORD format = DT_VCENTER | DT_SINGLELINE | (gap ? 0 : DT_CENTER);
      if (gap) content.left += gap;
      api.DrawThemeText(button, dc, BP_PUSHBUTTON, (int)state, wide, n, format, 0, &content);
    }
    return;
  }
  FillSysColor(dc, (flags & kGlyphErase) ? *prc : inner, COLOR_BTNFACE);
  if (hasText) {
    COLORREF oldText = GetTextColor(dc);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    RECT textRect = inner;
    UINT format = DT_VCENTER | DT_SINGLELINE | (gap ? 0 : DT_CENTER);
    if (gap) textRect.left += gap;
    if (state == 2) {
      SetTextColor(dc, MeanColor(GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_HIGHLIGHTTEXT)));
    } else {
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    }
    DrawGlyphText(dc, text, flags, textRect, format, state == 4);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
  }
  DrawEdge(dc, &inner, state == 3 ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
}

void DrawRadioButton(HDC dc, const void* text, const RECT* prc, UINT flags, int inset) {
  DrawGlyphButton(dc, text, prc, flags, inset, BP_RADIOBUTTON);
}

void DrawCheckBox(HDC dc, const void* text, const RECT* prc, UINT flags, int inset) {
  DrawGlyphButton(dc, text, prc, flags, inset, BP_CHECKBOX);
}
