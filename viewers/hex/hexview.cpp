#include "viewers/hex/hexview.h"

#include <vector>

namespace {
struct ColorDef {
  const char* name;
  UINT id;
  COLORREF text, background;
};
const ColorDef kHexColors[] = {
    {"Adressen", 2, 0x0000FF, (COLORREF)-1}, {"HEX-Bereich", 3, 0xFF0000, (COLORREF)-1},
    {"Markierung", 4, 0xFFFFFF, 0xFF0000},   {"Bereich", 5, 0xFFFFFF, 0xC86464},
    {"Bit-Marke", 6, 0xFF0000, 0xFFE6E6},    {"Bit-Marke-Text", 7, 0x000000, 0xFFE6E6},
};
// Style flags of the base: no scrolling past the end.
const UINT kHexStyleFlags = kAnsiHRangeExact | kAnsiVRangeExact;
}  // namespace

IMPLEMENT_DYNAMIC(CHexView, CAnsiView)

BEGIN_MESSAGE_MAP(CHexView, CAnsiView)
END_MESSAGE_MAP()

CHexView::CHexView(DWORD flags) : CAnsiView("Hex", 80, 0) {
  SetStyleFlags(kHexStyleFlags, kHexStyleFlags);
  m_flags = (flags & ~kHexViewModified) | kHexViewAutoWidth | kHexViewRasterScroll | kHexViewWidthRaster |
            kHexViewSaveSettings | kHexViewOwnsData;
  if (GetStyle()->colorCount <= 1)
    for (const ColorDef& c : kHexColors) AddColorEntry(c.text, c.background, c.name, c.id, 0);
  m_data = new BYTE[1];
  SetMarginWidth(2);
  SetFormat(16, 4, 1, 6, 0, 0);
}

CHexView::~CHexView() {
  delete[] m_replaced;
  FreeData();
}

void CHexView::FreeData() {
  if (m_flags & kHexViewOwnsData) delete[] m_data;
  m_data = nullptr;
}

int CHexView::SetData(void* data, int size, DWORD base, UINT flags) {
  const int previous = m_size;
  if (size < 0 || (size && (!data || IsBadReadPtr(data, size)))) size = 0;
  if ((flags & kHexDataWritable) && size && IsBadWritePtr(data, size)) size = 0;
  // The buffer being attached is never freed, even when it is the one held.
  if (!(flags & kHexDataKeepOldBuffer) && m_data != data) FreeData();
  m_data = static_cast<BYTE*>(data);
  m_size = size;
  m_base = base;
  m_flags &= ~(kHexViewOwnsData | kHexViewReadOnly);
  if (flags & kHexDataOwn) m_flags |= kHexViewOwnsData;
  if (!(flags & kHexDataWritable)) m_flags |= kHexViewReadOnly;
  for (int i = 0; i < kHexRanges; ++i) m_rangeActive[i] = 0;
  m_spare = 0;
  if (!(flags & kHexDataKeepLayout)) {
    m_flags |= kHexViewRelayout;
    SetFormat(-1, -1, -1, -1, -1, -1);
  }
  SetTextSize(m_layout.charEnd, m_layout.TotalLines(m_size, m_lineShift));
  if (!(flags & kHexDataKeepPosition)) {
    m_lineShift = 0;
    m_cursor = 0;
    SetScrollPos(0, 0);
  }
  const UINT all = kHexDataWritable | kHexDataOwn | kHexDataInsertAllowed;
  m_insertAllowed = (flags & all) == all && size <= kHexMaxInsertSize;
  if (flags & kHexDataInsertOn) m_insert = 1;
  if (flags & kHexDataInsertOff) m_insert = 0;
  if (m_hWnd) {
    SetCaretMode(m_insert && m_insertAllowed ? 3 : 2);
    if (!(flags & kHexDataNoRepaint)) {
      MarkAll();
      Invalidate(FALSE);
    }
  }
  return previous;
}

void* CHexView::GetData(int* size, DWORD* base) const {
  if (size) *size = m_size;
  if (base) *base = m_base;
  return m_data;
}

int CHexView::SetFormat(int bytesPerLine, int extraSpace, int insertSpace, int addressDigits, int outputFormat,
                        int invert) {
  HexLayout l = m_layout;
  const int old = l.bytesPerLine;
  int b = bytesPerLine < 0 ? m_lineWidthSetting : bytesPerLine;
  int e = extraSpace < 0 ? m_extraSpaceSetting : extraSpace;
  if (bytesPerLine >= 0) m_lineWidthSetting = bytesPerLine;
  if (extraSpace >= 0) m_extraSpaceSetting = extraSpace;
  if (insertSpace >= 0) l.insertSpace = insertSpace != 0;
  if (addressDigits >= 0) l.addressDigits = addressDigits > kHexMaxAddressDigits ? kHexMaxAddressDigits : addressDigits;
  if (outputFormat >= 0) l.groupShift = outputFormat & 3;
  // 0 would divide by zero in the rounding below.
  if (m_raster < 1) m_raster = 1;
  if (m_widthRaster < 1) m_widthRaster = 1;
  if ((m_flags & kHexViewWidthRaster) && b >= m_widthRaster) b -= b % m_widthRaster;
  const int g = l.GroupSize();
  bool inverted = invert < 0 ? m_layout.invertMask != 0 : invert != 0;
  if (l.groupShift > 0) {
    b -= b % g;
    if (b == 0) b = g;
    if (e > 0) e = (e + g - 1) / g * g;
    l.invertMask = inverted ? g - 1 : 0;
  } else {
    l.invertMask = 0;
  }
  if (b < 1) b = 1;
  if (b > kHexMaxBytesPerLine) b = kHexMaxBytesPerLine;
  l.bytesPerLine = b;
  l.extraSpace = e < 1 ? kHexNoExtraSpace : e;
  l.hidden = m_flags & (kHexNoHexArea | kHexNoCharArea | kHexNoAddress);
  if (l.bytesPerLine == m_layout.bytesPerLine && l.extraSpace == m_layout.extraSpace &&
      l.insertSpace == m_layout.insertSpace && l.addressDigits == m_layout.addressDigits &&
      l.groupShift == m_layout.groupShift && l.invertMask == m_layout.invertMask &&
      (m_flags & kHexViewLayoutBits) == (m_lastLayoutFlags & kHexViewLayoutBits))
    return old;
  m_flags &= ~kHexViewRelayout;
  m_lastLayoutFlags = m_flags;
  l.Compute();
  m_layout = l;
  m_lineShift %= m_layout.bytesPerLine;
  SetTextSize(m_layout.charEnd, m_layout.TotalLines(m_size, m_lineShift));
  if (m_hWnd) {
    MarkAll();
    Invalidate(FALSE);
  }
  return old;
}

void CHexView::DrawMargin(CDC* pDC, const RECT& rect, int) {
  HDC dc = pDC->GetSafeHdc();
  HBRUSH white = (HBRUSH)GetStockObject(WHITE_BRUSH);
  ::FillRect(dc, &rect, white);
}

void CHexView::OnStyleChanged(UINT bits) {
  if (bits & 4) {
    MarkAll();
    Invalidate(FALSE);
  }
}

int CHexView::PrintLine(CDC* pDC, const RECT& rect, int line, int firstColumn, int count, UINT) {
  const HexLayout& l = m_layout;
  if (line >= l.TotalLines(m_size, m_lineShift) || count < 1 || line < 0) return 0;
  std::vector<char> text(l.charEnd + 1);
  std::vector<BYTE> attrs(l.charEnd + 1);
  l.BuildLine(m_data, m_size, m_base, line, m_lineShift, text.data(), attrs.data());
  int end = firstColumn + count < l.charEnd ? firstColumn + count : l.charEnd;
  if (firstColumn >= end) return 0;
  HDC dc = pDC->GetSafeHdc();
  int x = rect.left;
  for (int i = firstColumn; i < end;) {
    int j = i + 1;
    while (j < end && attrs[j] == attrs[i]) ++j;
    SelectColor(pDC, attrs[i]);
    ::TabbedTextOutA(dc, x, rect.top, text.data() + i, j - i, 0, nullptr, 0);
    x += (j - i) * GetCellWidth();
    i = j;
  }
  SelectColor(pDC, 0);
  return end - firstColumn;
}
