// The hex view's undo ring: 256 steps, one slot always free, so 255 changes
// can be undone. Each step swaps its bytes with the data, so applying it
// again redoes it.
#include <algorithm>
#include <cstring>
#include <new>

#include "text/codecs/maskedmem.h"
#include "viewers/hex/hexview.h"

namespace {
const int kRingMask = kHexUndoSteps - 1;
int Next(int i) { return (i + 1) & kRingMask; }
int Prev(int i) { return (i + kRingMask) & kRingMask; }
}  // namespace

void CHexView::ClearUndo() {
  for (HexUndoStep& step : m_undo) {
    delete[] step.saved;
    step.saved = nullptr;
  }
  m_undoCurrent = m_undoEnd = m_undoStart = 0;
}

HexUndoStep* CHexView::BeginUndoStep(int offset, int length) {
  HexUndoStep* step = &m_undo[m_undoCurrent];
  delete[] step->saved;
  step->saved = nullptr;
  step->offset = offset;
  step->length = length;
  step->inlineByte = 0;
  step->digit = kHexUndoNoDigit;
  step->operation = kHexUndoOverwrite;
  step->modifiedBefore = (m_flags & kHexViewModified) ? 1 : 0;
  return step;
}

void CHexView::CommitUndoStep() {
  if (m_flags & kHexViewReadOnly) return;
  if (m_undoCurrent != m_undoEnd) {
    // A new change after undo: the redo steps are lost.
    for (int i = Next(m_undoCurrent); i != m_undoEnd; i = Next(i)) {
      delete[] m_undo[i].saved;
      m_undo[i].saved = nullptr;
    }
    m_undoCurrent = m_undoEnd = Next(m_undoCurrent);
    return;
  }
  m_undoCurrent = m_undoEnd = Next(m_undoCurrent);
  if (m_undoCurrent == m_undoStart) {
    // Full: the oldest step goes, and undo can no longer reach the
    // unmodified data.
    delete[] m_undo[m_undoStart].saved;
    m_undo[m_undoStart].saved = nullptr;
    m_undoStart = Next(m_undoStart);
    m_undo[m_undoStart].modifiedBefore = 1;
  }
}

int CHexView::RecordOverwrite(DWORD position, int count, BOOL absolute) {
  if (m_flags & kHexViewReadOnly) return 0;
  long long offset = absolute ? (long long)position - m_base : (long long)(int)position;
  if (offset >= m_size) return 0;
  long long n = count;
  if (offset < 0) {
    n += offset;
    offset = 0;
  }
  n = std::min<long long>(n, m_size - offset);
  if (n < 1) return 0;
  BYTE* saved = nullptr;
  if (n > 1) {
    saved = HexAlloc((size_t)n);
    if (!saved) return 0;
    std::memcpy(saved, m_data + offset, n);
  }
  HexUndoStep* step = BeginUndoStep((int)offset, (int)n);
  step->saved = saved;
  step->inlineByte = m_data[offset];
  CommitUndoStep();
  return (int)n;
}

bool CHexView::ApplyUndoStep(HexUndoStep* step) {
  const int offset = step->offset;
  const BYTE op = step->operation;
  const int length = step->saved ? step->length : 1;
  // The data must still hold what the step refers to.
  if (offset < 0 || length < 1) return false;
  if (op == kHexUndoDeleted ? offset > m_size : (long long)offset + length > m_size) return false;
  if (step->saved) {
    // Restoring deleted bytes is not bound by the insertion limit.
    if (op == kHexUndoDeleted && !InsertRaw(offset, length)) return false;
    MemSwap(step->saved, m_data + offset, length);
    if (op == kHexUndoInserted) RemoveRaw(offset, length);
  } else {
    const BYTE noted = offset < m_size ? m_data[offset] : 0;
    if (op == kHexUndoDeleted && !InsertRaw(offset, 1)) return false;
    m_data[offset] = step->inlineByte;
    if (op == kHexUndoInserted) RemoveRaw(offset, 1);
    step->inlineByte = noted;
  }
  if (op == kHexUndoDeleted || op == kHexUndoInserted)
    step->operation = op == kHexUndoDeleted ? kHexUndoInserted : kHexUndoDeleted;
  else
    step->operation = op == kHexUndoOverwrite ? kHexUndoOverwrite2 : kHexUndoOverwrite;
  if (step->digit) step->digit ^= 1;
  if (m_hWnd && (op == kHexUndoOverwrite || op == kHexUndoOverwrite2)) MarkLine(m_layout.LineOf(offset, m_lineShift));
  return true;
}

int CHexView::UndoRedo(int steps) {
  if ((m_flags & kHexViewReadOnly) || steps == 0) return 0;
  int done = 0;
  const HexUndoStep* last = nullptr;
  BYTE digit = kHexUndoNoDigit;  // the step's digit kind as first recorded
  bool deletion = false;         // redo of a Backspace or Delete
  if (steps < 0) {
    while (done < -steps && m_undoCurrent != m_undoStart) {
      const int i = Prev(m_undoCurrent);
      HexUndoStep* step = &m_undo[i];
      const BYTE kind = step->digit;
      if (!ApplyUndoStep(step)) {
        HexBeep(MB_ICONASTERISK);
        break;
      }
      m_undoCurrent = i;
      last = step;
      digit = kind;
      ++done;
      if (i == m_undoStart && !step->modifiedBefore) m_flags &= ~kHexViewModified;
    }
  } else {
    while (done < steps && m_undoCurrent != m_undoEnd) {
      HexUndoStep* step = &m_undo[m_undoCurrent];
      const BYTE kind = step->digit ? step->digit ^ 1 : 0;
      const bool deletes = step->operation == kHexUndoInserted;
      if (!ApplyUndoStep(step)) {
        HexBeep(MB_ICONASTERISK);
        break;
      }
      m_undoCurrent = Next(m_undoCurrent);
      last = step;
      digit = kind;
      deletion = deletes;
      ++done;
      m_flags |= kHexViewModified;
    }
  }
  if (!done) return 0;
  // Undo of a low digit stands on it; redo stands where typing had left
  // the cursor.
  int offset = last->offset;
  bool low = false;
  if (m_editArea != kHexAreaChars && digit && !deletion) {
    if (steps < 0) {
      low = digit == kHexUndoLowDigit;
    } else if (digit == kHexUndoHighDigit) {
      low = true;
    } else {
      ++offset;
    }
  }
  offset = std::min(offset, InsertEffective() ? m_size : std::max(0, m_size - 1));
  CursorToByte(offset, low);
  Relayout();
  return done;
}

void CHexView::OnEditUndo() { UndoRedo(-1); }

void CHexView::OnEditRedo() { UndoRedo(1); }

void CHexView::OnUpdateEditUndo(CCmdUI* pCmdUI) { pCmdUI->Enable(CanUndo()); }

void CHexView::OnUpdateEditRedo(CCmdUI* pCmdUI) { pCmdUI->Enable(CanRedo()); }
