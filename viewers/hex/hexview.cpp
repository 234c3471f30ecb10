#include "viewers/hex/hexview.h"

#include <algorithm>
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

namespace {
int g_beeps = 0;
}

void HexBeep(UINT type) {
  ++g_beeps;
  MessageBeep(type);
}

int GetHexBeepCount() { return g_beeps; }

IMPLEMENT_DYNAMIC(CHexView, CAnsiView)

BEGIN_MESSAGE_MAP(CHexView, CAnsiView)
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_MESSAGE(WM_HEXVIEW_COMMAND, OnHexCommand)
  ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
  ON_COMMAND(ID_HEXVIEW_REDO, OnEditRedo)
  ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
  ON_UPDATE_COMMAND_UI(ID_HEXVIEW_REDO, OnUpdateEditRedo)
  ON_COMMAND(ID_HEXVIEW_SETTINGS, OnSettingsCommand)
  ON_COMMAND(ID_HEXVIEW_CHECKSUM, OnChecksumCommand)
  ON_COMMAND(ID_HEXVIEW_FIND_NEXT, OnFindNextCommand)
  ON_COMMAND(ID_HEXVIEW_FIND_SELECTION, OnFindSelectionCommand)
  ON_COMMAND(ID_HEXVIEW_GOTO, OnGoToCommand)
  ON_COMMAND(ID_HEXVIEW_WRITE_NUMBER, OnWriteNumberCommand)
  ON_COMMAND(ID_HEXVIEW_CONVERTER, OnConverterCommand)
  ON_COMMAND(ID_HEXVIEW_FLOAT, OnFloatCommand)
  ON_COMMAND(ID_HEXVIEW_COPY_CPP, OnCopyCppCommand)
  ON_COMMAND(ID_HEXVIEW_COPY_CSTRING, OnCopyCStringCommand)
  ON_COMMAND(ID_HEXVIEW_PASTE_SPECIAL, OnPasteSpecialCommand)
  ON_COMMAND(ID_HEXVIEW_CRC, OnCrcCommand)
  ON_COMMAND(ID_EDIT_COPY, OnCopyCommand)
  ON_COMMAND(ID_EDIT_FIND, OnFindCommand)
  ON_COMMAND(ID_EDIT_PASTE, OnPasteCommand)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateNeedsSelection)
  ON_UPDATE_COMMAND_UI(ID_HEXVIEW_COPY_CPP, OnUpdateNeedsSelection)
  ON_UPDATE_COMMAND_UI(ID_HEXVIEW_COPY_CSTRING, OnUpdateNeedsSelection)
  ON_UPDATE_COMMAND_UI(ID_HEXVIEW_FIND_NEXT, OnUpdateFindNext)
  ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdatePaste)
  ON_UPDATE_COMMAND_UI(ID_HEXVIEW_PASTE_SPECIAL, OnUpdatePaste)
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
  AttachSettings();
}

CHexView::~CHexView() {
  ClearUndo();
  delete[] m_replaced;
  FreeData();
  DetachSettings();
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
  // New data are unmodified (SetBaseAddress restores the flag word).
  m_flags &= ~(kHexViewOwnsData | kHexViewReadOnly | kHexViewModified);
  if (flags & kHexDataOwn) m_flags |= kHexViewOwnsData;
  if (!(flags & kHexDataWritable)) m_flags |= kHexViewReadOnly;
  for (int i = 0; i < kHexRanges; ++i) m_rangeActive[i] = 0;
  m_rangeColor[0] = kHexAttrSelection;
  m_spare = 0;
  ClearUndo();
  if (!(flags & kHexDataKeepLayout)) {
    m_flags |= kHexViewRelayout;
    SetFormat(-1, -1, -1, -1, -1, -1);
  }
  SetTextSize(m_layout.charEnd, m_layout.TotalLines(m_size, m_lineShift));
  if (!(flags & kHexDataKeepPosition)) {
    m_lineShift = 0;
    m_cursor = 0;
    m_nibble = 1;
    SetScrollPos(0, 0);
  } else if (m_cursor > m_size) {
    m_cursor = m_size;
  }
  const UINT all = kHexDataWritable | kHexDataOwn | kHexDataInsertAllowed;
  m_insertAllowed = (flags & all) == all && size <= kHexMaxInsertSize;
  if (flags & kHexDataInsertOn) m_insert = 1;
  if (flags & kHexDataInsertOff) m_insert = 0;
  m_statusFlags |= kHexStatusRefresh;  // another base or data under the same offset
  ReplaceCursor(0);
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
  // The rasters come from their settings: below 1 (which would divide by
  // zero) they are 1, and with groups they are whole groups.
  const int kMaxRaster = 0x10000;
  m_rasterSetting = std::max(1, std::min(m_rasterSetting, kMaxRaster));
  m_widthRasterSetting = std::max(1, std::min(m_widthRasterSetting, kMaxRaster));
  const int group = 1 << l.groupShift;
  m_raster = (m_rasterSetting + group - 1) / group * group;
  m_widthRaster = (m_widthRasterSetting + group - 1) / group * group;
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
  if (m_editArea == kHexAreaHex && !m_layout.hexWidth) m_editArea = kHexAreaChars;
  if (m_editArea == kHexAreaChars && !m_layout.charWidth) m_editArea = kHexAreaAddress;
  ReplaceCursor(kMoveKeepSelection);
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

int CHexView::PrintLine(CDC* pDC, const RECT& rect, int line, int firstColumn, int count, UINT flags) {
  const HexLayout& l = m_layout;
  if (line >= l.TotalLines(m_size, m_lineShift) || count < 1 || line < 0) return 0;
  std::vector<char> text(l.charEnd + 1);
  std::vector<BYTE> attrs(l.charEnd + 1);
  l.BuildLine(m_data, m_size, m_base, line, m_lineShift, text.data(), attrs.data());
  if (!(flags & 1)) {
    const int start = l.LineStart(line, m_lineShift), b = l.bytesPerLine;
    if (m_bitMarks) {
      for (int i = 0; i < b; ++i) {
        const int offset = start + i;
        if (offset < 0 || offset >= m_size || offset >= m_bitCount) continue;
        const int bit = offset ^ l.invertMask;
        if (bit < m_bitCount && (m_bitMarks[bit / 32] >> (bit % 32) & 1))
          l.MarkByte(attrs.data(), i, kHexAttrBitHex, kHexAttrBitChars);
      }
    }
    // The selection (range 0) last, over the marks.
    for (int r = kHexRanges - 1; r >= 0; --r) {
      if (!m_rangeActive[r]) continue;
      int lo = m_rangeStart[r], hi = m_rangeEnd[r];
      if (lo > hi) std::swap(lo, hi);
      if (hi < start || lo >= start + b) continue;
      for (int i = lo < start ? 0 : lo - start; i < b && start + i <= hi; ++i)
        if (start + i >= 0 && start + i < m_size) l.MarkByte(attrs.data(), i, m_rangeColor[r], m_rangeColor[r]);
    }
  }
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

void CHexView::RepaintOffsets(int a, int b) {
  if (!m_hWnd) return;
  if (a > b) std::swap(a, b);
  const int first = m_layout.LineOf(a < 0 ? 0 : a, m_lineShift), last = m_layout.LineOf(b < 0 ? 0 : b, m_lineShift);
  if (first == last)
    MarkLine(first);
  else
    MarkAll();
  Invalidate(TRUE);
}

int CHexView::SetMarkRange(int index, int start, int count) {
  if (index == -2) {
    for (int r = 1; r < kHexRanges; ++r) m_rangeActive[r] = 0;
    MarkAll();
    if (m_hWnd) Invalidate(TRUE);
    return -2;
  }
  if (index == -1) {
    index = 0;
    while (index < kHexRanges - 1 && m_rangeActive[index + 1]) ++index;
  }
  if (index < 0 || index >= kHexRanges - 1) return kHexRanges - 1;
  const int r = index + 1;
  if (count > 0) {
    const int end = start + count - 1;
    if (m_rangeActive[r] && m_rangeStart[r] == start && m_rangeEnd[r] == end) return index;
    if (m_rangeActive[r]) RepaintOffsets(m_rangeStart[r], m_rangeEnd[r]);
    m_rangeStart[r] = start;
    m_rangeEnd[r] = end;
    m_rangeColor[r] = kHexAttrRange;
    m_rangeActive[r] = 1;
    RepaintOffsets(start, end);
  } else if (m_rangeActive[r]) {
    m_rangeActive[r] = 0;
    RepaintOffsets(m_rangeStart[r], m_rangeEnd[r]);
  }
  return index;
}

void CHexView::SetBitMarks(const DWORD* bits, int count) {
  const int kMaxBits = 0x4000000;
  if (count < 0) count = m_size;
  m_bitMarks = bits;
  m_bitCount = bits ? (count > kMaxBits ? kMaxBits : count) : 0;
  MarkAll();
  if (m_hWnd) Invalidate(TRUE);
}

const DWORD* CHexView::GetBitMarks(int* count) const {
  if (count) *count = m_bitCount;
  return m_bitMarks;
}

DWORD CHexView::ScrollToAddress(DWORD position, BOOL absolute) {
  const int b = m_layout.bytesPerLine;
  const DWORD previous = m_base + (DWORD)m_layout.LineStart(GetScrollPos().y, m_lineShift);
  long long offset = absolute ? (long long)position - m_base : (long long)position;
  if (m_size == 0)
    offset = 0;
  else
    offset = std::max<long long>(-(b - 1), std::min<long long>(offset, m_size - 1));
  if (m_flags & kHexViewRasterScroll) {
    // Multiples of Raster counted from the start of the first visible line.
    const long long lineStart = m_layout.LineStart(GetScrollPos().y, m_lineShift);
    long long d = offset - lineStart;
    d -= ((d % m_raster) + m_raster) % m_raster;
    offset = lineStart + d;
  }
  int shift = (int)(((b - offset % b) % b + b) % b);
  if (m_flags & kHexViewRasterScroll) shift %= m_raster;
  if (shift != m_lineShift) {
    m_lineShift = shift;
    MarkAll();
  }
  SetTextSize(m_layout.charEnd, m_layout.TotalLines(m_size, m_lineShift));
  int line = m_layout.LineOf((int)std::max<long long>(offset, 0), m_lineShift);
  if (offset < 0) line = 0;
  if (m_hWnd) {
    SetScrollPosEx(GetScrollPos().x, line, FALSE);
    ReplaceCursor(kMoveKeepSelection);
    RecalcLayout(kLayoutNoNotify);
    Invalidate(TRUE);
  } else {
    ReplaceCursor(kMoveKeepSelection);
  }
  return previous;
}

void CHexView::SetModified(bool set) {
  if (set)
    m_flags |= kHexViewModified;
  else
    m_flags &= ~kHexViewModified;
}

int CHexView::GetFormatValue(int index) const {
  switch (index) {
    case 0:
      return m_lineWidthSetting;
    case 1:
      return m_extraSpaceSetting;
    case 2:
      return m_layout.insertSpace ? 1 : 0;
    case 3:
      return m_rasterSetting;
    case 4:
      return m_widthRasterSetting;
    case 5:
      return (int)m_flags;
    case 6:
      return (int)m_statusFlags;
    case 7:
      return m_layout.addressDigits;
    case 8:
      return m_layout.groupShift;
    case 9:
      return m_layout.invertMask;
    case 10:
      return m_selectionRaster;
    default:
      return 0;
  }
}

DWORD CHexView::SetFlags(DWORD value, DWORD mask) {
  const DWORD old = m_flags & kHexViewPublicMask;
  mask &= kHexViewPublicMask;
  DWORD next = (m_flags & ~mask) | (value & mask);
  if ((next & kHexViewPublicMask) == old) return old;
  if ((old & kHexViewReadOnly) && !(next & kHexViewReadOnly) && m_size && IsBadWritePtr(m_data, m_size)) {
    HexBeep();
    next |= kHexViewReadOnly;
  }
  m_flags = next | kHexViewSaveSettings;
  SetFormat(-1, -1, -1, -1, -1, -1);
  return old;
}

void CHexView::NotifyHex(UINT code, DWORD value1, DWORD value2, DWORD value3) {
  HWND parent = ::GetParent(m_hWnd);
  if (!parent) return;
  NMHEXVIEW nm = {};
  nm.hdr.hwndFrom = m_hWnd;
  nm.hdr.idFrom = (UINT_PTR)::GetDlgCtrlID(m_hWnd);
  nm.hdr.code = code;
  nm.value1 = value1;
  nm.value2 = value2;
  nm.value3 = value3;
  ::SendMessageA(parent, WM_NOTIFY, nm.hdr.idFrom, (LPARAM)&nm);
}

// The base handling notifies its own focus codes first.
void CHexView::OnSetFocus(CWnd* pOldWnd) {
  CAnsiView::OnSetFocus(pOldWnd);
  AddStatusPanes();
  NotifyHex(kHexNotifySetFocus, 0, 0, 0);
}

void CHexView::OnKillFocus(CWnd* pNewWnd) {
  RemoveStatusPanes();
  CAnsiView::OnKillFocus(pNewWnd);
  NotifyHex(kHexNotifyKillFocus, 0, 0, 0);
}

DWORD CHexView::SetBaseAddress(DWORD base) {
  const DWORD old = m_base;
  if (base == old) return old;
  const DWORD flags = m_flags;
  const int firstLine = GetScrollPos().y, first = m_layout.LineStart(firstLine, m_lineShift);
  const int cursor = m_cursor;
  int ranges[2] = {m_rangeStart[0], m_rangeEnd[0]};
  const BYTE selected = m_rangeActive[0];
  SetData(m_data, m_size, base,
          ((flags & kHexViewReadOnly) ? 0 : kHexDataWritable) | kHexDataKeepOldBuffer | kHexDataKeepPosition);
  m_flags = flags;
  ScrollToAddress(first < 0 ? 0 : first, FALSE);
  m_cursor = cursor;
  m_rangeStart[0] = ranges[0];
  m_rangeEnd[0] = ranges[1];
  m_rangeActive[0] = selected;
  ReplaceCursor(kMoveKeepSelection);
  return old;
}

LRESULT CHexView::OnHexCommand(WPARAM operation, LPARAM argument) {
  switch (operation) {
    case kHexCmdSetCursor:
      SetCursorAddress((DWORD)argument, FALSE);
      return 1;
    case kHexCmdSelectTo:
      SetSelectionEnd((DWORD)argument, FALSE);
      return 1;
    case kHexCmdGetCursorOrAnchor:
      return m_rangeActive[0] ? m_rangeStart[0] : m_cursor;
    case kHexCmdScrollTo:
      ScrollToAddress((DWORD)argument, FALSE);
      return 1;
    case kHexCmdGetFirstVisible:
      return (LRESULT)GetFirstVisibleOffset(FALSE);
    case kHexCmdGetSelection:
      return m_rangeActive[0] ? std::min(m_rangeStart[0], m_rangeEnd[0]) : m_cursor;
    case kHexCmdSetBase:
      SetBaseAddress((DWORD)argument);
      return 1;
    case kHexCmdGetBase:
      return (LRESULT)m_base;
    case kHexCmdGetSize:
      return m_size;
    default:
      return 0;
  }
}
