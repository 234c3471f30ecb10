// Measuring attributed text: line metrics, tabbed extents and fitting.
#include <climits>
#include <vector>

#include "ui/theme/attrtext.h"
#include "ui/theme/attrtext_impl.h"
#include "ui/theme/textcalls.h"

using attrtext::FontOf;

int GetAttrTextLineMetrics(HDC dc, UINT flags, int length, const BYTE* attrs, const HFONT* fonts, int* offsets,
                           int* pHeight) {
  int n = (int)((flags & kAttrFontCountMask) >> kAttrFontCountShift);
  if (n > 4) n = 4;
  bool used[4] = {n > 0, n > 1, n > 2, n > 3};
  if (n == 0) {
    used[0] = true;
    for (int i = 0; attrs && i < length; i++) used[FontOf(attrs[i])] = true;
  }
  int ascent[4] = {}, descent[4] = {}, height = 0, maxAscent = 0, maxDescent = 0;
  HGDIOBJ old = GetCurrentObject(dc, OBJ_FONT);
  for (int i = 0; i < 4; i++) {
    if (!used[i] || !fonts || !fonts[i]) {
      used[i] = false;
      continue;
    }
    SelectObject(dc, fonts[i]);
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    ascent[i] = tm.tmAscent;
    descent[i] = tm.tmDescent;
    if (tm.tmAscent > maxAscent) maxAscent = tm.tmAscent;
    if (tm.tmDescent > maxDescent) maxDescent = tm.tmDescent;
    if (tm.tmHeight > height) height = tm.tmHeight;
  }
  SelectObject(dc, old);
  for (int i = 0; i < 4; i++) {
    if (!used[i]) {
      ascent[i] = maxAscent;
      descent[i] = maxDescent;
    }
    if (offsets) offsets[i] = (flags & kAttrAlignDescent) ? descent[i] - maxDescent : maxAscent - ascent[i];
  }
  if (pHeight) *pHeight = height;
  return maxAscent;
}

namespace {
// End of the run of equal font bits starting at i, stopping at a tab when
// tabs end runs.
template <typename Ch>
int RunEnd(const Ch* text, const BYTE* attrs, int i, int length, bool tabs) {
  int font = attrs ? FontOf(attrs[i]) : 0;
  int end = i + 1;
  while (end < length && !(tabs && text[end] == '\t') && (attrs ? FontOf(attrs[end]) : 0) == font) end++;
  return end;
}

template <typename Ch>
int TabbedExtent(HDC dc, int startX, const Ch* text, const BYTE* attrs, int length, int tabCount, const int* tabs,
                 const HFONT* fonts) {
  HGDIOBJ old = GetCurrentObject(dc, OBJ_FONT);
  if (fonts && fonts[0]) SelectObject(dc, fonts[0]);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  int tabWidth = tabCount == 1 && tabs && tabs[0] > 0 ? tabs[0] : 8 * tm.tmAveCharWidth;
  if (tabWidth < 1) tabWidth = 1;
  int x = startX;
  for (int i = 0; text && i < length;) {
    if (text[i] == '\t') {
      int rel = x - startX, next = -1;
      if (tabCount > 1 && tabs) {
        for (int t = 0; t < tabCount; t++) {
          if (tabs[t] > rel) {
            next = tabs[t];
            break;
          }
        }
      }
      if (next < 0) next = (rel / tabWidth + 1) * tabWidth;
      x = startX + next;
      i++;
      continue;
    }
    int end = RunEnd(text, attrs, i, length, true);
    int font = attrs ? FontOf(attrs[i]) : 0;
    if (fonts && fonts[font]) SelectObject(dc, fonts[font]);
    SIZE size = {};
    textcalls::Extent(dc, text + i, end - i, &size);
    x += size.cx;
    i = end;
  }
  SelectObject(dc, old);
  return x - startX;
}

// As GetTextExtentExPoint over the whole text: every extent counts from the
// start, the size is the whole text's, the fit those ending within maxWidth.
template <typename Ch>
BOOL TextFit(HDC dc, const Ch* text, int length, int maxWidth, int* pFit, int* extents, SIZE* pSize, const BYTE* attrs,
             const HFONT* fonts) {
  if (pFit) *pFit = 0;
  if (pSize) *pSize = SIZE{};
  if (!dc || !text || length < 0) return FALSE;
  HGDIOBJ old = GetCurrentObject(dc, OBJ_FONT);
  std::vector<int> all(length > 0 ? length : 1), ends(length > 0 ? length : 1);
  int width = 0, height = 0;
  BOOL ok = TRUE;
  for (int i = 0; i < length && ok;) {
    int end = RunEnd(text, attrs, i, length, false);
    int font = attrs ? FontOf(attrs[i]) : 0;
    if (fonts && fonts[font]) SelectObject(dc, fonts[font]);
    int unused = 0;
    SIZE size = {};
    ok = textcalls::ExtentEx(dc, text + i, end - i, INT_MAX, &unused, ends.data(), &size);
    for (int k = 0; k < end - i; k++) all[i + k] = width + ends[k];
    width += size.cx;
    if (size.cy > height) height = size.cy;
    i = end;
  }
  SelectObject(dc, old);
  if (!ok) return FALSE;
  int fit = 0;
  while (fit < length && all[fit] <= maxWidth) fit++;
  if (extents) {
    for (int k = 0; k < length; k++) extents[k] = all[k];
  }
  if (pFit) *pFit = fit;
  if (pSize) *pSize = SIZE{width, height};
  return TRUE;
}
}  // namespace

int GetAttrTabbedTextExtentA(HDC dc, int startX, const char* text, const BYTE* attrs, int length, int tabCount,
                             const int* tabs, UINT, const HFONT* fonts) {
  return TabbedExtent(dc, startX, text, attrs, length, tabCount, tabs, fonts);
}

int GetAttrTabbedTextExtentW(HDC dc, int startX, const wchar_t* text, const BYTE* attrs, int length, int tabCount,
                             const int* tabs, UINT, const HFONT* fonts) {
  return TabbedExtent(dc, startX, text, attrs, length, tabCount, tabs, fonts);
}

BOOL GetAttrTextFitA(HDC dc, const char* text, int length, int maxWidth, int* pFit, int* extents, SIZE* pSize,
                     const BYTE* attrs, const HFONT* fonts) {
  return TextFit(dc, text, length, maxWidth, pFit, extents, pSize, attrs, fonts);
}

BOOL GetAttrTextFitW(HDC dc, const wchar_t* text, int length, int maxWidth, int* pFit, int* extents, SIZE* pSize,
                     const BYTE* attrs, const HFONT* fonts) {
  return TextFit(dc, text, length, maxWidth, pFit, extents, pSize, attrs, fonts);
}
