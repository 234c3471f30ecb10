// DrawTextEx-like front of the attributed text: one line, placed in a
// rectangle.
#include "ui/theme/attrtext.h"
#include "ui/theme/attrtext_impl.h"
#include "ui/theme/textcalls.h"

namespace {
const UINT kDropped = DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP | DT_EDITCONTROL | DT_END_ELLIPSIS | DT_MODIFYSTRING;
const UINT kAttrBits = kAttrSplitMask | kAttrDefaultEntry0;

int DrawAttrTextT(HDC dc, int x, int y, UINT flags, const RECT* prc, const char* text, int length, const BYTE* attrs,
                  const COLORREF* table, const HFONT* fonts) {
  return DrawAttrTextA(dc, x, y, flags, prc, text, length, attrs, table, fonts);
}
int DrawAttrTextT(HDC dc, int x, int y, UINT flags, const RECT* prc, const wchar_t* text, int length, const BYTE* attrs,
                  const COLORREF* table, const HFONT* fonts) {
  return DrawAttrTextW(dc, x, y, flags, prc, text, length, attrs, table, fonts);
}

// Width of the runs of equal font bits and their largest height.
template <typename Ch>
SIZE MeasureRuns(HDC dc, const Ch* text, int length, const BYTE* attrs, const HFONT* fonts) {
  HGDIOBJ old = GetCurrentObject(dc, OBJ_FONT);
  SIZE total = {};
  for (int i = 0; i < length;) {
    int font = fonts ? attrtext::FontOf(attrs[i]) : 0;
    int end = i + 1;
    while (end < length && (fonts ? attrtext::FontOf(attrs[end]) : 0) == font) end++;
    if (fonts && fonts[font]) SelectObject(dc, fonts[font]);
    SIZE size = {};
    textcalls::Extent(dc, text + i, end - i, &size);
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    total.cx += size.cx;
    if (tm.tmHeight > total.cy) total.cy = tm.tmHeight;
    i = end;
  }
  SelectObject(dc, old);
  return total;
}

template <typename Ch>
int DrawAttrTextEx(HDC dc, const Ch* text, int length, RECT* prc, UINT format, const BYTE* attrs, const COLORREF* table,
                   const HFONT* fonts) {
  if (!dc || !prc) return 0;
  if (text && length < 0) length = textcalls::Length(text);
  UINT attrFlags = format & kAttrBits;
  bool clip = !(format & DT_NOCLIP);
  format = (format & ~(kDropped | kAttrBits | kAttrRelative)) | DT_SINGLELINE | DT_NOPREFIX;
  static const Ch kEmpty[1] = {0};
  if (!attrs || !text || length <= 0)
    return textcalls::DrawEx(dc, text ? text : kEmpty, text ? length : 0, prc, format);
  SIZE size = MeasureRuns(dc, text, length, attrs, fonts);
  if (format & DT_CALCRECT) {
    prc->right = prc->left + size.cx;
    prc->bottom = prc->top + size.cy;
    return size.cy;
  }
  int x = prc->left, y = prc->top;
  if (format & DT_CENTER) {
    x = (prc->left + prc->right - size.cx) / 2;
  } else if (format & DT_RIGHT) {
    x = prc->right - size.cx;
  }
  if (format & DT_VCENTER) {
    y = (prc->top + prc->bottom - size.cy) / 2;
  } else if (format & DT_BOTTOM) {
    y = prc->bottom - size.cy;
  }
  // As DrawText, the line stays inside the rectangle unless DT_NOCLIP is
  // given: also when it runs past the right edge.
  int saved = 0;
  if (clip && (x < prc->left || x + size.cx > prc->right || y < prc->top || y + size.cy > prc->bottom)) {
    saved = SaveDC(dc);
    IntersectClipRect(dc, prc->left, prc->top, prc->right, prc->bottom);
  }
  DrawAttrTextT(dc, x, y, attrFlags, prc, text, length, attrs, table, fonts);
  if (saved) RestoreDC(dc, saved);
  return size.cy;
}
}  // namespace

int DrawAttrTextExA(HDC dc, const char* text, int length, RECT* prc, UINT format, const BYTE* attrs,
                    const COLORREF* table, const HFONT* fonts) {
  return DrawAttrTextEx(dc, text, length, prc, format, attrs, table, fonts);
}

int DrawAttrTextExW(HDC dc, const wchar_t* text, int length, RECT* prc, UINT format, const BYTE* attrs,
                    const COLORREF* table, const HFONT* fonts) {
  return DrawAttrTextEx(dc, text, length, prc, format, attrs, table, fonts);
}
