// The hex view's cursor model: where the cursor may stand, how moves wrap
// between lines and areas, and the selection that Shift and drags extend.
#include <algorithm>
#include <cstring>

#include "viewers/hex/hexview.h"

void CHexView::ByteCell(int offset, int area, int* column, int* line) const {
  const HexLayout& l = m_layout;
  *line = l.LineOf(offset, m_lineShift);
  const int i = offset - l.LineStart(*line, m_lineShift);
  *column = area == kHexAreaAddress ? 0 : l.ByteColumn(i, area == kHexAreaChars ? kHexAreaChars : kHexAreaHex);
}

int CHexView::MoveCursor(int column, int line, UINT flags) {
  const HexLayout& l = m_layout;
  const int b = l.bytesPerLine;
  const bool keep = (flags & kMoveKeepSelection) != 0, mouse = (flags & kMoveMouse) != 0;
  bool extend = (flags & kMoveExtend) != 0;
  const bool selected = m_rangeActive[0] != 0;
  int col = column, ln = line, dx = 0;
  int area = m_editArea;
  if (flags & kMoveRelative) {
    dx = column;
    int dy = line;
    // A selection in the hex area moves in whole bytes.
    if (selected && area == kHexAreaHex && !keep && (dx == 1 || dx == -1)) dx *= 2;
    col = m_cursorColumn + dx;
    ln = m_cursorLine + dy;
    if (selected && !(flags & (kMoveExtend | kMoveMouse | kMoveKeepSelection))) {
      const int anchor = m_rangeStart[0];
      const bool back = dx < 0 || dy<0, forward = dx> 0 || dy > 0;
      if ((back && anchor < m_cursor) || (forward && anchor > m_cursor)) {
        ByteCell(anchor, area, &col, &ln);
        dx = 0;
        if (area == kHexAreaAddress) col = m_cursorColumn;
      }
    }
  }
  if (mouse) {
    if (flags & kMovePress) m_pressPoint = CPoint(col, ln);
    if (extend && m_pressPoint == CPoint(col, ln)) extend = false;
    if (col < 0) col = 0;
    if (l.addressWidth && col < l.addressWidth - 2)
      area = kHexAreaAddress;
    else if (col < l.charStart && l.hexWidth)
      area = kHexAreaHex;
    else
      area = l.charWidth ? kHexAreaChars : kHexAreaHex;
  }
  int index = 0, nibble = 1;
  bool wrappedBack = false;  // left of a line's first byte
  if (area == kHexAreaAddress && l.addressWidth && col < l.addressWidth - 2) {
    if (col < 0) col = 0;
    nibble = l.addressDigits - 1 - col;
    if (nibble < 0) nibble = 0;
    index = 0;
  } else if (area == kHexAreaChars || (area == kHexAreaAddress && !l.hexWidth)) {
    area = kHexAreaChars;
    if (!mouse && dx < -1 && col < l.charStart) {
      col = l.charStart;
    } else if (!mouse && dx > 1 && col >= l.charEnd) {
      col = l.charEnd - 1;
    } else if (!mouse && col >= l.charEnd) {
      col = l.charStart;
      ++ln;
    } else if (!mouse && col < l.charStart) {
      col = l.charEnd - 1;
      --ln;
    }
    col = std::max(l.charStart, std::min(col, l.charEnd - 1));
    index = col - l.charStart;
    nibble = 0;
  } else {
    if (area == kHexAreaAddress) col = l.hexStart;  // out of the address digits
    area = kHexAreaHex;
    const int lastByte = (b - 1) ^ l.invertMask;
    if (!mouse && dx < -1 && col < l.hexStart) col = l.hexStart;
    if (!mouse && dx > 1 && col >= l.charStart) col = l.ByteColumn(lastByte, kHexAreaHex) + 1;
    bool high = true;
    if (col < l.hexStart) {
      // Left of the line's first byte: the previous line's last byte.
      index = lastByte;
      --ln;
      high = false;
      wrappedBack = true;
    } else {
      index = l.ColumnToByte(col, kHexAreaHex, &high);
      const int display = index ^ l.invertMask, at = l.ByteColumn(index, kHexAreaHex);
      if (col >= at + 2 && (mouse || dx >= 0)) {
        // In the gap after the digits: the next byte in display order.
        high = true;
        if (display + 1 < b) {
          index = (display + 1) ^ l.invertMask;
        } else if (mouse) {
          high = false;
        } else {
          index = 0 ^ l.invertMask;
          ++ln;
        }
      } else if (col >= at + 2) {
        high = false;
      }
    }
    if (selected && !keep) high = true;
    nibble = high ? 1 : 0;
  }
  // The offset under the target, kept within the data.
  long long offset = (long long)l.LineStart(ln, m_lineShift) + index;
  bool onLast = false;
  if (offset >= m_size) {
    if (InsertEffective() && !extend) {
      offset = m_size;
      nibble = area == kHexAreaAddress ? nibble : 1;
    } else {
      offset = m_size > 0 ? m_size - 1 : 0;
      onLast = m_size > 0;
    }
  }
  if (offset < 0) {
    // Left of the first byte (Ctrl+Home, Left there) wraps to a line above
    // the data: the first byte's start, not its low digit.
    offset = 0;
    if (wrappedBack) nibble = 1;
  }
  const int newOffset = (int)offset;
  if (offset != (long long)l.LineStart(ln, m_lineShift) + index || onLast) {
    int c = 0;
    ByteCell(newOffset, area, &c, &ln);
    if (area != kHexAreaAddress) col = c;
    if (area == kHexAreaHex) {
      if (onLast) nibble = 0;
      if (nibble == 0) ++col;
    }
  } else if (area == kHexAreaHex) {
    col = l.ByteColumn(index, kHexAreaHex) + (nibble ? 0 : 1);
  } else if (area == kHexAreaChars) {
    col = l.charStart + index;
  }
  if (ln < m_firstLine && ln >= 0 && newOffset >= m_size) m_firstLine = ln;

  // Selection.
  const int oldCursor = m_cursor;
  const BYTE wasActive = m_rangeActive[0];
  const int wasStart = m_rangeStart[0], wasEnd = m_rangeEnd[0];
  if (extend) {
    if (!m_rangeActive[0]) {
      m_rangeActive[0] = 1;
      m_rangeStart[0] = oldCursor;
      m_statusFlags |= kHexStatusRefresh;
    }
    m_rangeEnd[0] = newOffset;
    RepaintOffsets(oldCursor, newOffset);
  } else if (!keep && m_rangeActive[0]) {
    m_rangeActive[0] = 0;
    RepaintOffsets(m_rangeStart[0], m_rangeEnd[0]);
  }
  if (m_selectionRaster && l.groupShift > 0 && m_rangeActive[0]) {
    const int g = l.GroupSize();
    int& lo = m_rangeStart[0] <= m_rangeEnd[0] ? m_rangeStart[0] : m_rangeEnd[0];
    int& hi = m_rangeStart[0] <= m_rangeEnd[0] ? m_rangeEnd[0] : m_rangeStart[0];
    lo -= ((lo % g) + g) % g;
    hi += g - 1 - ((hi % g) + g) % g;
  }
  if (!(flags & kMoveProgram) &&
      (wasActive != m_rangeActive[0] || wasStart != m_rangeStart[0] || wasEnd != m_rangeEnd[0]))
    NotifySelection();
  if (newOffset != oldCursor) RepaintOffsets(oldCursor, newOffset);
  m_cursor = newOffset;
  m_editArea = area;
  m_nibble = nibble;
  m_cursorColumn = col;
  m_cursorLine = ln;
  UpdateStatusPanes();
  return 1;
}

void CHexView::PlaceCursor(int offset, UINT flags) {
  if (m_editArea == kHexAreaAddress) m_editArea = m_layout.hexWidth ? kHexAreaHex : kHexAreaChars;
  int column = 0, line = 0;
  ByteCell(offset, m_editArea, &column, &line);
  MoveCursor(column, line, flags | kMoveProgram);
  if (m_hWnd) {
    RecalcLayout(kLayoutNoNotify);
    Invalidate(TRUE);
  }
}

BOOL CHexView::SetCursorAddress(DWORD position, BOOL absolute) { return SetCursorAddressEx(position, absolute, FALSE); }

BOOL CHexView::SetCursorAddressEx(DWORD position, BOOL absolute, BOOL select) {
  long long offset = absolute ? (long long)position - m_base : (long long)position;
  BOOL inside = offset >= 0 && offset < m_size;
  offset = std::max(0LL, std::min<long long>(offset, m_size > 0 ? m_size - 1 : 0));
  if (m_editArea == kHexAreaAddress) m_editArea = m_layout.hexWidth ? kHexAreaHex : kHexAreaChars;
  PlaceCursor((int)offset, select ? kMoveExtend : 0);
  return inside;
}

BOOL CHexView::SetSelectionEnd(DWORD position, BOOL absolute) {
  long long p = absolute ? (long long)position - m_base : (long long)position;
  BOOL inside = p >= 0 && p <= m_size;
  p = std::max(0LL, std::min<long long>(p, m_size));
  const int old[3] = {m_rangeActive[0], m_rangeStart[0], m_rangeEnd[0]};
  if (m_rangeActive[0]) RepaintOffsets(m_rangeStart[0], m_rangeEnd[0]);
  const int position32 = (int)p;
  if (position32 > m_cursor) {
    m_rangeStart[0] = m_cursor;
    m_rangeEnd[0] = position32 - 1;
    m_rangeActive[0] = 1;
  } else if (position32 < m_cursor) {
    m_rangeStart[0] = position32 + 1;
    m_rangeEnd[0] = m_cursor;
    m_rangeActive[0] = 1;
  } else {
    m_rangeActive[0] = 0;
  }
  if (m_rangeActive[0]) RepaintOffsets(m_rangeStart[0], m_rangeEnd[0]);
  if (old[0] != m_rangeActive[0] || old[1] != m_rangeStart[0] || old[2] != m_rangeEnd[0]) NotifySelection();
  m_statusFlags |= kHexStatusRefresh;
  UpdateStatusPanes();
  return inside;
}

BOOL CHexView::ClearSelection() {
  if (!m_rangeActive[0]) return FALSE;
  PlaceCursor(m_cursor, 0);
  return TRUE;
}

int CHexView::SetEditArea(int area) {
  const int old = m_editArea;
  if (area < kHexAreaHex || area > kHexAreaAddress) return old;
  if ((area == kHexAreaHex && !m_layout.hexWidth) || (area == kHexAreaChars && !m_layout.charWidth)) return old;
  m_editArea = area;
  int column = 0, line = 0;
  ByteCell(m_cursor, area, &column, &line);
  m_cursorColumn = column;
  m_cursorLine = line;
  m_nibble = area == kHexAreaChars ? 0 : 1;
  if (m_hWnd) {
    RecalcLayout(kLayoutNoNotify);
    Invalidate(TRUE);
  }
  return old;
}

// Tab walks hex, characters, address column; Shift+Tab the other way.
int CHexView::OnCharHook(UINT ch, UINT) {
  if (ch != '\t') return TypeChar(ch);
  const bool back = (::GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
  int area = m_editArea;
  for (int i = 0; i < 3; ++i) {
    area = back ? (area + 2) % 3 : (area + 1) % 3;
    if (area == kHexAreaHex && !m_layout.hexWidth) continue;
    if (area == kHexAreaChars && !m_layout.charWidth) continue;
    break;
  }
  SetEditArea(area);
  return 1;
}

DWORD CHexView::GetSelection(BOOL absolute, int* length) const {
  const int kMaxLength = 0x400000;
  if (!m_rangeActive[0]) {
    if (length) *length = 0;
    return Abs(m_cursor, absolute);
  }
  const int lo = std::min(m_rangeStart[0], m_rangeEnd[0]), hi = std::max(m_rangeStart[0], m_rangeEnd[0]);
  if (length) *length = std::min(hi - lo + 1, kMaxLength);
  return Abs(lo, absolute);
}

BOOL CHexView::GetSelectionRange(DWORD* start, int* length, BOOL absolute, int maximum) const {
  if (!m_rangeActive[0]) {
    if (start) *start = Abs(m_cursor, absolute);
    if (length) *length = 0;
    return FALSE;
  }
  const int lo = std::min(m_rangeStart[0], m_rangeEnd[0]), hi = std::max(m_rangeStart[0], m_rangeEnd[0]);
  if (start) *start = Abs(lo, absolute);
  if (length) *length = std::min(hi - lo + 1, maximum);
  return TRUE;
}

int CHexView::GetSelectedBytes(void* buffer, int maximum) const {
  if (!m_rangeActive[0]) return 0;
  const int lo = std::min(m_rangeStart[0], m_rangeEnd[0]);
  int n = std::min(std::max(m_rangeStart[0], m_rangeEnd[0]), m_size - 1) - lo + 1;
  n = std::max(0, std::min(n, maximum));
  if (n) std::memcpy(buffer, m_data + lo, n);
  return n;
}

int CHexView::CopySelectedBytes(void* buffer, int maximum, int* count) const {
  const int n = GetSelectedBytes(buffer, maximum);
  if (count) *count = n;
  return n;
}

DWORD CHexView::GetFirstVisibleOffset(BOOL absolute) const {
  const int first = m_layout.LineStart(GetScrollPos().y, m_lineShift);
  return Abs(first < 0 ? 0 : first, absolute);
}

int CHexView::LineOfOffset(int offset) const { return m_layout.LineOf(offset, m_lineShift); }

void CHexView::OffsetToLineCol(int offset, int* column, int* line) const {
  int c = 0, l = 0;
  ByteCell(offset, m_editArea, &c, &l);
  if (column) *column = c;
  if (line) *line = l;
}

int CHexView::ReadAtCursor(void* buffer, int maximum) const {
  int from = m_cursor;
  if (m_rangeActive[0] && m_rangeStart[0] < m_cursor) from = m_rangeStart[0];
  const int n = std::max(0, std::min(maximum, m_size - from));
  if (n) std::memcpy(buffer, m_data + from, n);
  return n;
}

DWORD CHexView::LineColToOffset(int column, int line) const {
  const HexLayout& l = m_layout;
  int index = 0;
  if (column >= l.charStart)
    index = l.ColumnToByte(column, kHexAreaChars, nullptr);
  else if (column >= l.hexStart)
    index = l.ColumnToByte(column, kHexAreaHex, nullptr);
  return m_base + (DWORD)(l.LineStart(line, m_lineShift) + index);
}

void CHexView::ReplaceCursor(UINT flags) {
  const int nibble = m_nibble;
  const int area = m_editArea;
  int column = 0, line = 0;
  ByteCell(m_cursor, area, &column, &line);
  if (area == kHexAreaHex && nibble == 0) ++column;
  if (area == kHexAreaAddress) column = std::max(0, m_layout.addressDigits - 1 - nibble);
  MoveCursor(column, line, flags | kMoveProgram);
}

void CHexView::NotifySelection() {
  if (!m_rangeActive[0]) {
    NotifyHex(kHexNotifySelection, 0, 0, 0);
    return;
  }
  NotifyHex(kHexNotifySelection, (DWORD)std::min(m_rangeStart[0], m_rangeEnd[0]),
            (DWORD)std::max(m_rangeStart[0], m_rangeEnd[0]), 1);
}

BOOL CHexView::EnsureVisible(int offset, int count) {
  if (m_size <= 0) return FALSE;
  int first = std::max(0, std::min(offset, m_size - 1));
  int last = std::max(first, std::min(offset + std::max(count, 1) - 1, m_size - 1));
  const int top = m_layout.LineOf(first, m_lineShift), bottom = m_layout.LineOf(last, m_lineShift);
  const int visible = std::max(1, (int)GetVisibleSize().cy), firstVisible = GetScrollPos().y;
  if (top >= firstVisible && bottom < firstVisible + visible) return FALSE;
  const int lines = bottom - top + 1;
  int line = top;
  if (lines <= visible) line = std::max(0, top - std::min((visible - lines) / 2, 3));
  SetScrollPos(GetScrollPos().x, line);
  return TRUE;
}

BOOL CHexView::SelectRange(DWORD position, int count, BOOL absolute) {
  if (count <= 0) return SetCursorAddress(position, absolute);
  long long start = absolute ? (long long)position - m_base : (long long)position;
  long long end = start + count - 1;
  BOOL inside = start >= 0 && end < m_size;
  if (m_size <= 0) return FALSE;
  start = std::max(0LL, std::min<long long>(start, m_size - 1));
  end = std::max(start, std::min<long long>(end, m_size - 1));
  const int visible = (int)GetVisibleSize().cy, window = visible >= 10 ? visible - 4 : visible;
  const int top = m_layout.LineOf((int)start, m_lineShift);
  const int lines = m_layout.LineOf((int)end, m_lineShift) - top + 1;
  const int firstVisible = GetScrollPos().y;
  if (m_hWnd && visible > 4 && (top < firstVisible || top >= firstVisible + window))
    SetScrollPos(GetScrollPos().x, std::max(0, lines + 4 > visible ? top - 1 : top - lines / 2));
  PlaceCursor((int)start, 0);
  m_rangeStart[0] = (int)start;
  m_rangeEnd[0] = (int)end;
  m_rangeActive[0] = 1;
  RepaintOffsets((int)start, (int)end);
  m_statusFlags |= kHexStatusRefresh;
  UpdateStatusPanes();
  return inside;
}

BOOL CHexView::ShowRange(int index) {
  if (index == -1) {
    if (!m_rangeActive[0]) return EnsureVisible(m_cursor, 1);
    const int lo = std::min(m_rangeStart[0], m_rangeEnd[0]), hi = std::max(m_rangeStart[0], m_rangeEnd[0]);
    return EnsureVisible(lo, hi - lo + 1);
  }
  if (index < 0 || index >= kHexRanges - 1 || !m_rangeActive[index + 1]) return FALSE;
  return EnsureVisible(m_rangeStart[index + 1], m_rangeEnd[index + 1] - m_rangeStart[index + 1] + 1);
}
