// Stand-ins for the editing core's primitives that the commands call, so the
// commands build and run on their own: one pending undo step, insertion by
// growing the buffer, and no status panes. The editing core replaces them.
#include <cstring>

#include "text/codecs/maskedmem.h"

#include "viewers/hex/hexview.h"

namespace {
HexUndoStep g_step = {};
}

int CHexView::OnKeyDownHook(UINT key, UINT) { return ShortcutKeyDown(key); }

void CHexView::UpdateStatusPanes() {}

BOOL CHexView::InsertBytes(int offset, int count) {
  if (offset < 0 || offset > m_size || count <= 0 || offset + count > kHexMaxInsertSize) return FALSE;
  if (m_spare < count) {
    BYTE* grown = new (std::nothrow) BYTE[m_size + count + 4100];
    if (!grown) return FALSE;
    std::memcpy(grown, m_data, (size_t)m_size);
    if (m_flags & kHexViewOwnsData) {
      delete[] m_replaced;
      m_replaced = m_data;
    }
    m_data = grown;
    m_flags |= kHexViewOwnsData;
    m_spare = count + 4096;
  }
  std::memmove(m_data + offset + count, m_data + offset, (size_t)(m_size - offset));
  std::memset(m_data + offset, 0, (size_t)count);
  m_size += count;
  m_spare -= count;
  m_flags |= kHexViewModified;
  SetTextSize(m_layout.charEnd, m_layout.TotalLines(m_size, m_lineShift));
  MarkAll();
  return TRUE;
}

int CHexView::RecordOverwrite(int position, int count, BOOL absolute) {
  if (absolute) position -= (int)m_base;
  if ((m_flags & kHexViewReadOnly) || position >= m_size) return 0;
  if (position < 0) {
    count += position;
    position = 0;
  }
  if (count < 1) return 0;
  return count > m_size - position ? m_size - position : count;
}

HexUndoStep* CHexView::BeginUndoStep(int offset, int length) {
  delete[] g_step.saved;
  g_step = HexUndoStep{};
  g_step.offset = offset;
  g_step.length = length;
  g_step.modifiedBefore = IsModified() ? 1 : 0;
  return &g_step;
}

void CHexView::CommitUndoStep() {}

// The one kept step, undone (-1) or redone (1).
int CHexView::UndoRedo(int steps) {
  HexUndoStep& step = g_step;
  if (!steps || !step.saved) return 0;
  if (step.operation == kHexUndoDeleted && !InsertBytes(step.offset, step.length)) return 0;
  MemSwap(m_data + step.offset, step.saved, step.length);
  if (step.operation == kHexUndoInserted) {
    std::memmove(m_data + step.offset, m_data + step.offset + step.length,
                 (size_t)(m_size - step.offset - step.length));
    m_size -= step.length;
    m_spare += step.length;
    SetTextSize(m_layout.charEnd, m_layout.TotalLines(m_size, m_lineShift));
  }
  // 1 and 2 exchange, 0 and 3 alternate.
  step.operation = (BYTE)(step.operation == kHexUndoInserted  ? 1
                          : step.operation == kHexUndoDeleted ? 2
                                                              : 3 - step.operation);
  if (steps < 0 && !step.modifiedBefore)
    m_flags &= ~kHexViewModified;
  else
    m_flags |= kHexViewModified;
  MarkAll();
  return 1;
}
