#include "plaintextview.h"

#include <algorithm>
#include <cstring>

#include "ui/clipboard.h"

namespace {
const size_t kIndexChunk = 64 * 1024;

int LineWidth(const char* p, size_t n) {
  if (!std::memchr(p, '\t', n)) return (int)n;
  int cells = 0;
  for (size_t i = 0; i < n; ++i)
    cells = p[i] == '\t' ? (cells / CPlainTextView::kTabSize + 1) * CPlainTextView::kTabSize : cells + 1;
  return cells;
}
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

void CPlainTextView::IndexTo(int line) {
  while (!m_complete && (line < 0 || (int)m_starts.size() <= line + 1)) {
    size_t end = std::min(m_size, m_scanned + kIndexChunk);
    const char* p = m_text + m_scanned;
    const char* stop = m_text + end;
    const char* cr = (const char*)std::memchr(p, '\r', stop - p);
    while (p < stop) {
      const char* lf = (const char*)std::memchr(p, '\n', stop - p);
      if (cr && cr < p) cr = (const char*)std::memchr(p, '\r', stop - p);
      const char* hit = lf && (!cr || lf < cr) ? lf : cr;
      if (!hit) {
        p = stop;
        break;
      }
      const char* next = hit + 1;
      // CRLF is one line end, also across the chunk's edge.
      if (*hit == '\r' && next < m_text + m_size && *next == '\n') ++next;
      size_t begin = m_starts.back();
      m_widest = std::max(m_widest, LineWidth(m_text + begin, hit - (m_text + begin)));
      if (next < m_text + m_size) m_starts.push_back(next - m_text);
      p = next;
    }
    m_scanned = std::max(end, (size_t)(p - m_text));
    if (m_scanned >= m_size) {
      m_complete = true;
      size_t begin = m_starts.back();
      if (begin < m_size) m_widest = std::max(m_widest, LineWidth(m_text + begin, m_size - begin));
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
