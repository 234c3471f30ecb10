#include "plaintextview.h"

#include <algorithm>
#include <cstring>

#include <emmintrin.h>

#include "ui/clipboard.h"

namespace {
const size_t kIndexChunk = 64 * 1024;

}  // namespace

CPlainTextView::CPlainTextView(const char* style) : CAnsiView(style, 0, 0) {
  m_selectionEntry =
      AddColorEntry(::GetSysColor(COLOR_HIGHLIGHTTEXT), ::GetSysColor(COLOR_HIGHLIGHT), "Markiert", 0x80000002, 0);
  SetText("", 0);
}

void CPlainTextView::SetText(const char* text, size_t size) {
  m_text = text;
  m_size = size;
  m_starts.assign(1, 0);
  m_scanned = 0;
  m_segment = 0;
  m_cells = 0;
  m_crAt = (size_t)-1;
  m_complete = size == 0;
  m_widest = 0;
  m_anchor = CPoint(0, 0);
  m_cursorColumn = m_cursorLine = 0;
  m_firstColumn = m_firstLine = 0;
  IndexTo(m_visibleLines + 1);
  UpdateExtent();
}

void CPlainTextView::UpdateExtent() {
  int lines = (int)m_starts.size();
  if (!m_complete && m_scanned > 0) {
    // An estimate from the part indexed so far, refined as indexing goes on.
    double perByte = (double)lines / (double)m_scanned;
    lines = std::max(lines + 1, (int)(perByte * (double)m_size));
  }
  SetTextSize(m_widest + 1, lines);
}

// One pass over the bytes, 16 at a time: line ends (LF, CR, CRLF) give the
// line starts, tabs the cells of the widest line.
void CPlainTextView::IndexTo(int line) {
  const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r'), tab = _mm_set1_epi8('\t');
  auto hit = [&](size_t j) {
    char b = m_text[j];
    if (b == '\t') {
      m_cells = ((m_cells + (int)(j - m_segment)) / kTabSize + 1) * kTabSize;
      m_segment = j + 1;
      return;
    }
    if (b == '\n' && m_crAt + 1 == j && m_crAt != (size_t)-1) {
      // The LF of a CRLF: the line starts behind it.
      if (j + 1 < m_size)
        m_starts.back() = j + 1;
      else
        m_starts.pop_back();
      m_segment = j + 1;
      return;
    }
    m_widest = std::max(m_widest, m_cells + (int)(j - m_segment));
    m_cells = 0;
    m_segment = j + 1;
    if (b == '\r') m_crAt = j;
    if (j + 1 < m_size) m_starts.push_back(j + 1);
  };
  while (!m_complete && (line < 0 || (int)m_starts.size() <= line + 1)) {
    size_t j = m_scanned, end = std::min(m_size, m_scanned + kIndexChunk);
    for (; j + 16 <= end; j += 16) {
      __m128i v = _mm_loadu_si128((const __m128i*)(m_text + j));
      int mask = _mm_movemask_epi8(
          _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)), _mm_cmpeq_epi8(v, tab)));
      while (mask) {
        hit(j + __builtin_ctz(mask));
        mask &= mask - 1;
      }
    }
    for (; j < end; ++j) {
      char b = m_text[j];
      if (b == '\n' || b == '\r' || b == '\t') hit(j);
    }
    m_scanned = end;
    if (m_scanned >= m_size) {
      m_complete = true;
      if (m_segment < m_size || m_cells) m_widest = std::max(m_widest, m_cells + (int)(m_size - m_segment));
    }
  }
}

void CPlainTextView::LineBounds(int line, size_t* begin, size_t* end) {
  IndexTo(line);
  if (line < 0 || line >= (int)m_starts.size()) {
    *begin = *end = m_size;
    return;
  }
  *begin = m_starts[line];
  size_t e = line + 1 < (int)m_starts.size() ? m_starts[line + 1] : m_size;
  if (e > *begin && m_text[e - 1] == '\n') --e;
  if (e > *begin && m_text[e - 1] == '\r') --e;
  *end = e;
}

std::string CPlainTextView::LineCells(int line) {
  size_t begin, end;
  LineBounds(line, &begin, &end);
  std::string cells;
  for (size_t i = begin; i < end; ++i) {
    if (m_text[i] == '\t')
      cells.append(kTabSize - cells.size() % kTabSize, ' ');
    else
      cells += m_text[i];
  }
  return cells;
}

size_t CPlainTextView::CellToByte(int line, int column) {
  size_t begin, end;
  LineBounds(line, &begin, &end);
  int cells = 0;
  size_t i = begin;
  for (; i < end && cells < column; ++i) cells = m_text[i] == '\t' ? (cells / kTabSize + 1) * kTabSize : cells + 1;
  return i;
}

int CPlainTextView::PrintLine(CDC* pDC, const RECT& rect, int line, int firstColumn, int count, UINT) {
  if (line >= (int)m_starts.size() && !m_complete) {
    IndexTo(line);
    UpdateExtent();
  }
  size_t begin, end;
  LineBounds(line, &begin, &end);
  if (line >= (int)m_starts.size()) return 0;
  // Cells firstColumn .. firstColumn + count, with the selection marked.
  CPoint a = m_anchor, c(m_cursorColumn, m_cursorLine);
  if (a.y > c.y || (a.y == c.y && a.x > c.x)) std::swap(a, c);
  std::string cells;
  std::vector<BYTE> attrs;
  int column = 0;
  for (size_t i = begin; i < end && column < firstColumn + count; ++i) {
    int width = m_text[i] == '\t' ? kTabSize - column % kTabSize : 1;
    for (int k = 0; k < width; ++k, ++column) {
      if (column < firstColumn || column >= firstColumn + count) continue;
      char ch = m_text[i] == '\t' || m_text[i] == 0 ? ' ' : m_text[i];
      bool selected = (line > a.y || (line == a.y && column >= a.x)) && (line < c.y || (line == c.y && column < c.x));
      cells += ch;
      attrs.push_back(selected ? (BYTE)m_selectionEntry : 0);
    }
  }
  HDC dc = pDC->GetSafeHdc();
  std::vector<INT> dx(cells.size(), m_cellWidth);
  int x = rect.left;
  for (size_t i = 0; i < cells.size();) {
    size_t j = i + 1;
    while (j < cells.size() && attrs[j] == attrs[i]) ++j;
    SelectColor(pDC, attrs[i]);
    RECT rc = {x, rect.top, x + (int)(j - i) * m_cellWidth, rect.bottom};
    ::ExtTextOutA(dc, x, rect.top, ETO_OPAQUE | ETO_CLIPPED, &rc, cells.data() + i, (UINT)(j - i), dx.data() + i);
    x = rc.right;
    i = j;
  }
  SelectColor(pDC, 0);
  return (int)cells.size();
}

int CPlainTextView::MoveCursor(int column, int line, UINT flags) {
  bool hadSelection = m_anchor != CPoint(m_cursorColumn, m_cursorLine);
  CAnsiView::MoveCursor(column, line, flags);
  if (m_cursorLine >= (int)m_starts.size() - 1 && !m_complete) {
    IndexTo(m_cursorLine);
    UpdateExtent();
  }
  if (m_cursorLine > m_totalLines) m_cursorLine = m_totalLines;
  if (m_cursorLine < 0) m_cursorLine = 0;
  if (m_cursorColumn < 0) m_cursorColumn = 0;
  if (!(flags & kMoveExtend) || (flags & kMovePress)) m_anchor = CPoint(m_cursorColumn, m_cursorLine);
  if (hadSelection || m_anchor != CPoint(m_cursorColumn, m_cursorLine)) MarkAll();
  return 1;
}

std::string CPlainTextView::SelectedText() {
  CPoint a = m_anchor, c(m_cursorColumn, m_cursorLine);
  if (a.y > c.y || (a.y == c.y && a.x > c.x)) std::swap(a, c);
  size_t from = a.y < (int)m_starts.size() ? CellToByte(a.y, a.x) : m_size;
  size_t to = c.y < (int)m_starts.size() ? CellToByte(c.y, c.x) : m_size;
  return from < to ? std::string(m_text + from, to - from) : std::string();
}

int CPlainTextView::OnKeyDownHook(UINT key, UINT) {
  if (key == 'C' && (m_modifiers & 2)) {
    std::string text = SelectedText();
    if (!text.empty()) SetClipboardText(text.data(), (int)text.size());
    return 1;
  }
  if (key == VK_END && (m_modifiers & 2) && !m_complete) {
    IndexTo(-1);
    UpdateExtent();
  }
  return 0;
}

void CPlainTextView::GoToEnd() {
  IndexTo(-1);
  // One layout: the exact extent, the cursor and the scroll position together.
  m_totalLines = (int)m_starts.size();
  m_totalColumns = m_widest + 1;
  SetCursorPos(0, m_totalLines, FALSE);
}

void CPlainTextView::ForgetIndex() {
  m_starts.assign(1, 0);
  m_scanned = m_segment = 0;
  m_cells = 0;
  m_crAt = (size_t)-1;
  m_complete = m_size == 0;
  m_widest = 0;
  IndexTo(m_visibleLines + 1);
  m_cursorColumn = m_cursorLine = m_firstColumn = m_firstLine = 0;
  m_anchor = CPoint(0, 0);
}
