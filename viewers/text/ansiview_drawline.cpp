// DrawTextLineW: a line of attributed 8-bit (or UTF-8) text in cells.
#include <cstring>

#include "text/codecs.h"
#include "viewers/text/ansiview.h"

namespace {
const UINT kLineUtf8 = 0x400;
const UINT kLineMaskAttributes = 0x800;
const UINT kLinePadCell = 0x100;
const UINT kLinePadRest = 0x200;
const int kLineMax = 1024;
}  // namespace

int CAnsiView::DrawTextLineW(CDC* pDC, const RECT& rect, const char* text, const WORD* attributes, int count,
                             UINT flags, int tabSize) {
  HDC dc = pDC->GetSafeHdc();
  if (tabSize <= 0) tabSize = 4;
  int fit = (rect.right - rect.left) / m_cellWidth + 1;
  if (count > fit) count = fit;
  if (count > kLineMax) count = kLineMax;
  int originX = (int)flags >> kPrintLineOriginShift;
  int x = rect.left;
  int i = 0;
  WORD attr = 0;
  while (i < count) {
    attr = attributes ? attributes[i] : 0;
    if (flags & kLineMaskAttributes) attr &= 0x7F7F;
    SelectColor(pDC, attr);
    RECT cell = {x, rect.top, x + m_cellWidth, rect.bottom};
    unsigned char c = (unsigned char)text[i];
    int used = 1, cells = 1;
    if (c == '\t') {
      int column = (x - originX) / m_cellWidth;
      cells = tabSize - column % tabSize;
      cell.right = x + cells * m_cellWidth;
      ::ExtTextOutA(dc, x, rect.top, ETO_OPAQUE | ETO_CLIPPED, &cell, "", 0, nullptr);
    } else if ((flags & kLineUtf8) && c >= 192) {
      unsigned code = 0;
      used = DecodeUtf8CharN(text + i, count - i, &code);
      if (used < 1) used = 1, code = c;
      WCHAR w[2];
      int n = EncodeUtf16Char(w, code);
      ::ExtTextOutW(dc, x, rect.top, ETO_OPAQUE | ETO_CLIPPED, &cell, w, n < 1 ? 0 : n, nullptr);
    } else {
      ::ExtTextOutA(dc, x, rect.top, ETO_OPAQUE | ETO_CLIPPED, &cell, (const char*)&text[i], 1, nullptr);
    }
    int low = attr & 0xFF;
    if (low >= 128 && low <= 254) {
      RECT bar = {cell.left, rect.top + m_cellHeight * 15 / 16, cell.right, rect.top + m_cellHeight * 15 / 16 + 1};
      COLORREF old = ::SetBkColor(dc, 0x8080FF);
      ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &bar, nullptr, 0, nullptr);
      ::SetBkColor(dc, old);
    }
    x += cells * m_cellWidth;
    i += used;
  }
  if (flags & (kLinePadCell | kLinePadRest)) {
    WORD next = attributes ? attributes[count] : attr;
    SelectColor(pDC, next);
    RECT pad = {x, rect.top, (flags & kLinePadRest) ? rect.right : x + m_cellWidth, rect.bottom};
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &pad, nullptr, 0, nullptr);
    x = pad.right;
  }
  return x - rect.left;
}
