#include "ui/theme/attrtext.h"

#include <climits>
#include <vector>

#include "ui/theme/attrtext_impl.h"
#include "ui/theme/textcalls.h"

// clang-format off
const COLORREF AttrColorTable[32] = {
    0xC0C0,   0x800000, 0x8000,   0x808000, 0x80,     0x800080, 0x8080,   0x808080,
    0xC0C0C0, 0xFF0000, 0xFF00,   0xFFFF00, 0xFF,     0xFF00FF, 0xFFFF,   0x8080FF,
    0x404040, 0x400000, 0x4000,   0x404000, 0x40,     0xFF0080, 0xC00040, 0xC00000,
    0x0,      0xDEDEDE, 0xFFC8C8, 0xC0FFC0, 0xFFFF9B, 0xFFC0FF, 0xFFFFFF, 0x80FFFF,
};
// clang-format on

namespace {
bool IsBlank(char c) { return c == ' ' || (BYTE)c == 0xA0; }
bool IsBlank(wchar_t c) { return c == L' ' || c == 0xA0; }

// Glyph advances from the measured extents: the text is drawn where it was
// measured, also when the renderer's own advances differ.
template <typename Ch>
std::vector<int> Advances(HDC dc, const Ch* text, int length, SIZE* size) {
  std::vector<int> ends(length > 0 ? length : 1, 0), dx(length > 0 ? length : 1, 0);
  int fit = 0;
  *size = SIZE{};
  textcalls::ExtentEx(dc, text, length, INT_MAX, &fit, ends.data(), size);
  for (int k = 0; k < length; k++) dx[k] = ends[k] - (k ? ends[k - 1] : 0);
  return dx;
}

template <typename Ch>
int DrawAttrText(HDC dc, int x, int y, UINT flags, const RECT* prc, const Ch* text, int length, const BYTE* attrs,
                 const COLORREF* table, const HFONT* fonts) {
  using namespace attrtext;
  if (!table) table = AttrColorTable;
  if (!text || length < 0) length = 0;
  UINT options = flags & 0xFFFFFF;
  if ((flags & kAttrRelative) && prc) {
    x += prc->left;
    y += prc->top;
  }
  HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
  if (!attrs) {
    if (fonts && fonts[0]) SelectObject(dc, fonts[0]);
    textcalls::ExtOut(dc, x, y, options, prc, text, length, nullptr);
    SIZE size = {};
    textcalls::Extent(dc, text, length, &size);
    SelectObject(dc, oldFont);
    return x + size.cx;
  }
  int offsets[4] = {};
  BYTE mask = 0x3F;
  if (fonts) {
    GetAttrTextLineMetrics(dc, flags, length, attrs, fonts, offsets, nullptr);
    mask = 0xFF;
  }
  COLORREF oldText = GetTextColor(dc), oldBack = GetBkColor(dc), defaultText = oldText, defaultBack = oldBack;
  int oldMode = GetBkMode(dc);
  bool hasBack = TextBits(flags) < 5;
  if (hasBack && oldMode != OPAQUE) SetBkMode(dc, OPAQUE);
  if (flags & kAttrDefaultEntry0) defaultText = table[0];
  bool drawn = false;
  for (int i = 0; i < length;) {
    BYTE a = attrs[i] & mask;
    int end = i + 1;
    while (end < length) {
      BYTE b = attrs[end] & mask;
      // A blank joins the run when only its text colour differs.
      bool sameButText = IsBlank(text[end]) && ((a ^ b) & ~((1 << TextBits(flags)) - 1) & mask) == 0;
      if (b != a && !sameButText) break;
      end++;
    }
    int font = fonts ? FontOf(a) : 0;
    if (fonts && fonts[font]) SelectObject(dc, fonts[font]);
    int t = TextIndex(flags, a), bk = hasBack ? BackIndex(flags, a) : 0;
    SetTextColor(dc, t ? table[t] : defaultText);
    SetBkColor(dc, bk ? table[32 - bk] : defaultBack);
    if (bk && (options & ETO_OPAQUE) && prc) {
      COLORREF keep = SetBkColor(dc, defaultBack);
      ExtTextOutA(dc, 0, 0, ETO_OPAQUE, prc, nullptr, 0, nullptr);
      SetBkColor(dc, keep);
      options &= ~ETO_OPAQUE;
    }
    SIZE size = {};
    std::vector<int> dx = Advances(dc, text + i, end - i, &size);
    int baseY = y + offsets[font];
    textcalls::ExtOut(dc, x, baseY, options & ~ETO_OPAQUE, prc, text + i, end - i, dx.data());
    drawn = true;
    if (a & kAttrUnderline) {
      TEXTMETRICA tm = {};
      GetTextMetricsA(dc, &tm);
      RECT line = {x, baseY + tm.tmAscent + 1, x + size.cx, baseY + tm.tmAscent + 2};
      COLORREF keep = SetBkColor(dc, t ? table[t] : defaultText);
      ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &line, nullptr, 0, nullptr);
      SetBkColor(dc, keep);
    }
    x += size.cx;
    i = end;
    if ((options & ETO_CLIPPED) && prc && x >= prc->right) break;
  }
  if ((options & ETO_OPAQUE) && !drawn && prc) ExtTextOutA(dc, 0, 0, ETO_OPAQUE, prc, nullptr, 0, nullptr);
  SelectObject(dc, oldFont);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
  SetBkMode(dc, oldMode);
  return x;
}
}  // namespace

COLORREF SelectAttrBkColor(HDC dc, UINT flags, BYTE attr, const COLORREF* table) {
  using namespace attrtext;
  int b = BackIndex(flags, attr);
  if (!(flags & (kAttrSplitMask | kAttrRelative)) || TextBits(flags) == 5 || b == 0) return GetBkColor(dc);
  return SetBkColor(dc, (table ? table : AttrColorTable)[32 - b]);
}

COLORREF SelectAttrTextColor(HDC dc, UINT flags, BYTE attr, const COLORREF* table) {
  using namespace attrtext;
  int t = TextIndex(flags, attr);
  if (!(flags & (kAttrSplitMask | kAttrRelative | kAttrDefaultEntry0)) || (t == 0 && !(flags & kAttrDefaultEntry0))) {
    return GetTextColor(dc);
  }
  return SetTextColor(dc, (table ? table : AttrColorTable)[t]);
}

int DrawAttrTextA(HDC dc, int x, int y, UINT flags, const RECT* prc, const char* text, int length, const BYTE* attrs,
                  const COLORREF* table, const HFONT* fonts) {
  return DrawAttrText(dc, x, y, flags, prc, text, length, attrs, table, fonts);
}

int DrawAttrTextW(HDC dc, int x, int y, UINT flags, const RECT* prc, const wchar_t* text, int length, const BYTE* attrs,
                  const COLORREF* table, const HFONT* fonts) {
  return DrawAttrText(dc, x, y, flags, prc, text, length, attrs, table, fonts);
}
