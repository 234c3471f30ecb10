// The hex view's status panes in the main window's status bar, and the
// line width that follows the window's width.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "text/numbers/intformat.h"
#include "viewers/hex/hexview.h"

namespace {
// Pane widths in characters (negative: character units for the frame).
const int kPaneWidths[2] = {-20, -23};
const int kValueWidths[4] = {1, 2, 4, 4};
const int kValueLimit = 4;
const int kMaxLayoutCalls = 3;

HWND StatusWindow() {
  CWinThread* thread = AfxGetThread();
  CWnd* main = thread ? thread->GetMainWnd() : nullptr;
  return main && ::IsWindow(main->m_hWnd) ? main->m_hWnd : nullptr;
}
}  // namespace

void CHexView::SendPanes(int operation, StatusPaneBlock* block) {
  if (HWND frame = StatusWindow()) ::SendMessageA(frame, WM_STATUSPANES, (WPARAM)operation, (LPARAM)block);
}

void CHexView::AddStatusPanes() {
  int ids[2] = {0, 0};
  // The frame scales the widths in place: a copy.
  int widths[2] = {kPaneWidths[0], kPaneWidths[1]};
  StatusPaneBlock block = {(INT_PTR)ids, (INT_PTR)widths, 2, 0, 0};
  SendPanes(kSetPanes, &block);
  m_panesShown = 1;
  m_statusFlags |= kHexStatusRefresh;
  UpdateStatusPanes();
}

void CHexView::RemoveStatusPanes() {
  StatusPaneBlock block = {0, 0, 0, 0, 0};
  SendPanes(kSetPanes, &block);
  m_panesShown = 0;
}

void CHexView::FormatStatusTexts(char* pane0, char* pane1) const {
  char number[80];
  const DWORD address = m_base + (DWORD)m_cursor;
  std::strcpy(pane0, " Adr: ");
  FormatIntA((int32_t)address, number, FORMAT_0X);
  std::strcat(pane0, number);
  std::strcat(pane0, " / ");
  const bool selected = m_rangeActive[0] != 0;
  int lo = m_cursor, length = 0;
  if (selected) {
    lo = std::min(m_rangeStart[0], m_rangeEnd[0]);
    length = std::abs(m_rangeEnd[0] - m_rangeStart[0]) + 1;
    std::strcat(pane0, m_rangeEnd[0] >= m_rangeStart[0] ? "M: +" : "M: -");
    FormatIntA(length, number, (m_statusFlags & kHexStatusLengthHex) ? FORMAT_0X : FORMAT_UNSIGNED);
  } else {
    FormatIntA((int32_t)address, number, FORMAT_UNSIGNED);
  }
  std::strcat(pane0, number);

  // The value at the selection's lower end or the cursor, only the bytes
  // that exist.
  int n = kValueWidths[m_statusFlags & kHexStatusWidthMask];
  if (selected) n = length <= kValueLimit ? length : kValueLimit;
  const int present = std::max(0, std::min(n, m_size - lo));
  DWORD value = 0;
  for (int i = 0; i < present; ++i) {
    const BYTE b = m_data[lo + i];
    if (m_statusFlags & kHexStatusBigEndian)
      value = value << 8 | b;
    else
      value |= (DWORD)b << (8 * i);
  }
  if (n < 4) value &= (1u << (8 * n)) - 1;
  std::strcpy(pane1, " Wert: 0x");
  FormatIntA((int32_t)value, number, FORMAT_RADIX | 16);
  std::strcat(pane1, number);
  std::strcat(pane1, " / ");
  if (m_statusFlags & kHexStatusUnsigned) {
    FormatIntA((int32_t)value, number, FORMAT_UNSIGNED);
  } else {
    int32_t v = (int32_t)value;
    if (n < 4 && (value >> (8 * n - 1) & 1)) v = (int32_t)(value | ~((1u << (8 * n)) - 1));
    FormatIntA(v, number, FORMAT_SIGNED);
  }
  std::strcat(pane1, number);
}

void CHexView::UpdateStatusPanes() {
  if (!m_hWnd || !m_hasFocus || !m_panesShown) return;
  char pane0[128], pane1[128];
  FormatStatusTexts(pane0, pane1);
  const bool refresh = (m_statusFlags & kHexStatusRefresh) != 0;
  m_statusFlags &= ~kHexStatusRefresh;
  if (refresh || m_cursor != m_statusOffset) {
    StatusPaneBlock block = {0, (INT_PTR)pane0, 1, -1, -1};
    SendPanes(kSetPaneText, &block);
  }
  if (refresh || std::strcmp(pane1, m_statusValue) != 0) {
    StatusPaneBlock block = {1, (INT_PTR)pane1, 1, -1, -1};
    SendPanes(kSetPaneText, &block);
  }
  m_statusOffset = m_cursor;
  lstrcpynA(m_statusValue, pane1, sizeof m_statusValue);
}

// Bytes per line from the visible columns, while automatic width is on.
void CHexView::OnLayoutChanged(int columns, int, int, int) {
  if (!(m_flags & kHexViewAutoWidth) || m_layoutCalls >= kMaxLayoutCalls) return;
  ++m_layoutCalls;
  const HexLayout& l = m_layout;
  const bool hex = !(m_flags & kHexViewNoHexArea), chars = !(m_flags & kHexViewNoCharArea);
  const int a = (m_flags & kHexViewNoAddress) ? 0 : l.addressDigits + 2;
  const int p = hex ? (chars ? 3 : 2) : 1;
  const int w = columns - a - 1 - (hex && chars ? 2 : 0);
  int b;
  if (hex) {
    const int g = l.GroupSize(), e = l.extraSpace < 1 ? kHexNoExtraSpace : l.extraSpace;
    b = l.insertSpace ? ((w + 1) * e * g) / ((g * p + 1) * e + g) : ((w + 1) * e) / (e * p + 1);
  } else {
    b = w / p;
  }
  if (b < 1) b = 1;
  const int first = std::max(0, l.LineStart(GetScrollPos().y, m_lineShift));
  const int old = l.bytesPerLine;
  SetFormat(b, -1, -1, -1, -1, -1);
  if (m_layout.bytesPerLine != old) ScrollToAddress((DWORD)first, FALSE);
  --m_layoutCalls;
}
