// Editing in the hex view: typed digits and characters, Backspace, Delete
// and Insert, and the owned buffer that insertions grow.
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "viewers/hex/hexview.h"

namespace {
// A growth leaves 4096 bytes spare; 4 more are allocated than used.
const int kGrowthExtra = 4100;
const int kGrowthSpare = 4096;

int HexDigitValue(UINT ch) {
  if (ch >= '0' && ch <= '9') return (int)(ch - '0');
  if (ch >= 'a' && ch <= 'f') return (int)(ch - 'a' + 10);
  if (ch >= 'A' && ch <= 'F') return (int)(ch - 'A' + 10);
  return -1;
}

BYTE* DefaultAlloc(size_t size) { return new (std::nothrow) BYTE[size]; }
HexAllocFn g_alloc = DefaultAlloc;
}  // namespace

HexAllocFn SetHexAllocator(HexAllocFn alloc) {
  HexAllocFn old = g_alloc;
  g_alloc = alloc ? alloc : DefaultAlloc;
  return old;
}

BYTE* HexAlloc(size_t size) { return g_alloc(size); }

// --- buffer -----------------------------------------------------------------

void CHexView::SizeChanged(int offset) {
  m_flags |= kHexViewModified;
  const int lines = m_layout.TotalLines(m_size, m_lineShift);
  if (lines != GetTotalLines())
    SetTextSize(m_layout.charEnd, lines);
  else
    MarkFrom(m_layout.LineOf(offset < 0 ? 0 : offset, m_lineShift));
}

BOOL CHexView::InsertRaw(int offset, int count) {
  if (offset < 0 || offset > m_size || count <= 0) return FALSE;
  if (count > m_spare) {
    if ((long long)m_size + count + kGrowthExtra > INT_MAX) return FALSE;
    BYTE* grown = HexAlloc((size_t)m_size + count + kGrowthExtra);
    if (!grown) return FALSE;
    std::memcpy(grown, m_data, offset);
    std::memcpy(grown + offset + count, m_data + offset, m_size - offset);
    // Only one replaced buffer is kept; a caller's buffer is never freed.
    if (m_flags & kHexViewOwnsData) {
      delete[] m_replaced;
      m_replaced = m_data;
    }
    m_data = grown;
    m_flags |= kHexViewOwnsData;
    m_spare = kGrowthSpare;
  } else {
    std::memmove(m_data + offset + count, m_data + offset, m_size - offset);
    m_spare -= count;
  }
  std::memset(m_data + offset, 0, count);
  m_size += count;
  SizeChanged(offset);
  return TRUE;
}

void CHexView::RemoveRaw(int offset, int count) {
  std::memmove(m_data + offset, m_data + offset + count, m_size - offset - count);
  m_size -= count;
  m_spare += count;
  SizeChanged(offset);
}

BOOL CHexView::InsertBytes(int offset, int count) {
  if (offset < 0 || offset > m_size || count <= 0 || (long long)offset + count > kHexMaxInsertSize) return FALSE;
  return InsertRaw(offset, count);
}

BOOL CHexView::DeleteBytes(int offset, int count) {
  if (offset < 0 || offset >= m_size || count <= 0) return FALSE;
  RemoveRaw(offset, std::min(count, m_size - offset));
  return TRUE;
}

// --- insert mode ------------------------------------------------------------

void CHexView::UpdateCaretShape() { SetCaretMode(InsertEffective() ? 3 : 2); }

int CHexView::SetInsertMode(int toggle, int allow) {
  const bool before = InsertEffective();
  if (allow > 0)
    m_insertAllowed = !(m_flags & kHexViewReadOnly) && (m_flags & kHexViewOwnsData) && m_size <= kHexMaxInsertSize;
  else if (allow == 0)
    m_insertAllowed = 0;
  if (toggle >= 0) m_insert = toggle > 0;
  if (InsertEffective() != before) {
    UpdateCaretShape();
    // Past the end only while inserting.
    if (!InsertEffective() && m_size > 0 && m_cursor >= m_size) CursorToByte(m_size - 1, false);
    Relayout();
  }
  return InsertEffective() ? 1 : 0;
}

int CHexView::GetInsertMode() const {
  if ((m_flags & kHexViewReadOnly) || !(m_flags & kHexViewOwnsData) || m_size > kHexMaxInsertSize) return -1;
  return m_insertAllowed;
}

// --- cursor after an edit ---------------------------------------------------

void CHexView::Relayout() {
  if (!m_hWnd) return;
  RecalcLayout(0);
  Invalidate(TRUE);
}

void CHexView::CursorToByte(int offset, bool lowDigit) {
  if (m_editArea == kHexAreaAddress) m_editArea = m_layout.hexWidth ? kHexAreaHex : kHexAreaChars;
  int column = 0, line = 0;
  ByteCell(offset, m_editArea, &column, &line);
  if (m_editArea == kHexAreaHex && lowDigit && offset < m_size) ++column;
  MoveCursor(column, line, 0);
}

// --- keys ---------------------------------------------------------------------

int CHexView::OnKeyDownHook(UINT key, UINT) {
  if (ShortcutKeyDown(key)) return 1;
  EditKeyDown(key);
  return 0;
}

int CHexView::EditKeyDown(UINT key) {
  const bool shift = (m_modifiers & 1) != 0, ctrl = (m_modifiers & 2) != 0;
  switch (key) {
    case VK_INSERT:
      if (shift || ctrl) return 0;
      m_insert = !m_insert;
      UpdateCaretShape();
      if (!m_insert && m_size > 0 && m_cursor >= m_size) CursorToByte(m_size - 1, false);
      Relayout();
      return 1;
    case VK_DELETE:
      // The address column holds no byte: stepping right out of it would
      // put the cursor after a byte the user did not point at, and the
      // Backspace that follows would delete that byte.
      if (m_editArea == kHexAreaAddress && !m_rangeActive[0]) return 1;
      if (!m_rangeActive[0] && !(m_editArea == kHexAreaHex && m_nibble == 0)) {
        // Nothing after the cursor: the byte before it stays.
        if (m_editArea != kHexAreaAddress && InsertEffective() && m_cursor >= m_size) {
          HexBeep(MB_ICONASTERISK);
          return 1;
        }
        MoveCursor(1, 0, kMoveRelative | kMoveArrow);
      }
      Backspace();
      return 1;
    case 'Z':
      // Ctrl+Z undoes, Ctrl+Shift+Z redoes.
      if (!ctrl) return 0;
      UndoRedo(shift ? 1 : -1);
      return 1;
  }
  return 0;
}

void CHexView::Backspace() {
  if (m_editArea == kHexAreaAddress || !InsertEffective() || (m_flags & kHexViewReadOnly)) {
    MoveCursor(-1, 0, kMoveRelative | kMoveArrow);
    Relayout();
    return;
  }
  int offset = 0, count = 1;
  BYTE digit = kHexUndoNoDigit, single = 0;
  BYTE* saved = nullptr;
  if (m_rangeActive[0]) {
    offset = std::min(m_rangeStart[0], m_rangeEnd[0]);
    const int last = std::min(std::max(m_rangeStart[0], m_rangeEnd[0]), m_size - 1);
    count = last - offset + 1;
    if (offset < 0 || count < 1) {
      HexBeep(MB_ICONASTERISK);
      return;
    }
    saved = HexAlloc(count);
    if (!saved) {
      HexBeep(MB_ICONASTERISK);
      return;
    }
    std::memcpy(saved, m_data + offset, count);
  } else {
    const bool low = m_editArea == kHexAreaHex && m_nibble == 0;
    offset = low ? m_cursor : m_cursor - 1;
    if (m_editArea == kHexAreaHex) digit = low ? kHexUndoLowDigit : kHexUndoHighDigit;
    if (offset >= 0 && offset < m_size) single = m_data[offset];
  }
  // The step notes the flag as it was before this change.
  const BYTE wasModified = (m_flags & kHexViewModified) ? 1 : 0;
  if (!DeleteBytes(offset, count)) {
    delete[] saved;
    HexBeep(MB_ICONASTERISK);
    return;
  }
  HexUndoStep* step = BeginUndoStep(offset, count);
  step->modifiedBefore = wasModified;
  step->operation = kHexUndoDeleted;
  step->saved = saved;
  step->inlineByte = single;
  step->digit = digit;
  CursorToByte(offset, false);
  Relayout();
  CommitUndoStep();
}

// --- typing -----------------------------------------------------------------

int CHexView::TypeChar(UINT ch) {
  if (ch == '\b') {
    Backspace();
    return 1;
  }
  if (ch < 32) {
    // The control characters of Ctrl shortcuts come after their key.
    if (!(::GetKeyState(VK_CONTROL) & 0x8000)) HexBeep(MB_ICONASTERISK);
    return 0;
  }
  if (m_editArea == kHexAreaAddress) {
    HexBeep(MB_ICONASTERISK);
    return 1;
  }
  const bool hex = m_editArea == kHexAreaHex;
  if ((m_flags & kHexViewReadOnly) || (hex ? !m_layout.hexWidth : !m_layout.charWidth)) return 1;
  const int digitValue = hex ? HexDigitValue(ch) : 0;
  if ((hex && digitValue < 0) || ch > 255) {
    HexBeep(MB_ICONASTERISK);
    return 1;
  }
  const int offset = m_cursor;
  const bool high = hex && m_nibble != 0;
  BYTE operation = kHexUndoOverwrite;
  const BYTE wasModified = (m_flags & kHexViewModified) ? 1 : 0;
  if ((!hex || high) && InsertEffective()) {
    if (!InsertBytes(offset, 1)) {
      HexBeep(MB_ICONASTERISK);
      return 1;
    }
    operation = kHexUndoInserted;
  } else if (offset < 0 || offset >= m_size) {
    HexBeep(MB_ICONASTERISK);
    return 1;
  }
  const BYTE old = m_data[offset];
  BYTE next = (BYTE)ch;
  if (hex) next = high ? (BYTE)((old & 0x0F) | digitValue << 4) : (BYTE)((old & 0xF0) | digitValue);
  if (next != old) m_flags |= kHexViewModified;
  HexUndoStep* step = BeginUndoStep(offset, 0);
  step->modifiedBefore = wasModified;
  step->inlineByte = old;
  step->operation = operation;
  step->digit = hex ? (high ? kHexUndoHighDigit : kHexUndoLowDigit) : kHexUndoNoDigit;
  m_data[offset] = next;
  if (m_hWnd) MarkLine(m_layout.LineOf(offset, m_lineShift));
  // A typed high digit is followed by the low digit, a low digit by the next byte.
  MoveCursor(1, 0, kMoveRelative | (hex && !m_rangeActive[0] ? kMoveKeepSelection : 0));
  Relayout();
  CommitUndoStep();
  return 1;
}
