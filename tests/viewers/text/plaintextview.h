// CPlainTextView: a test view (the benchmarks share it) that shows a text
// buffer with LF, CR or CRLF line ends, tabs at 8 cells and every other byte
// (NUL and 0x80-0xFF too) in one cell; selection follows MoveCursor and
// Ctrl+C copies it. Lines are indexed lazily, as far as painting needs.
#pragma once

#include <string>
#include <vector>

#include "viewers/text/ansiview.h"

class CPlainTextView : public CAnsiView {
 public:
  explicit CPlainTextView(const char* style = "Text");

  // The text is not copied: it must outlive the view or the next SetText.
  void SetText(const char* text, size_t size);
  // Lines counted so far, and whether the whole text is indexed.
  int IndexedLines() const { return (int)m_starts.size(); }
  bool IndexComplete() const { return m_complete; }
  // The cells of a line as text (tabs expanded to blanks).
  std::string LineCells(int line);
  CPoint GetAnchor() const { return m_anchor; }
  std::string SelectedText();
  // What Ctrl+End does: the whole text indexed, the cursor on the last line,
  // its screen painted.
  void GoToEnd();
  // Back to the state of a text just opened (index of the first screen,
  // cursor and scroll at the top) without laying out or painting.
  void ForgetIndex();

  int PrintLine(CDC* pDC, const RECT& rect, int line, int firstColumn, int count, UINT flags) override;
  int MoveCursor(int column, int line, UINT flags) override;
  int OnKeyDownHook(UINT key, UINT flags) override;

  static const int kTabSize = 8;

 private:
  void IndexTo(int line);  // up to line, or everything for -1
  void UpdateExtent();
  // Byte offset in line where cell column starts.
  size_t CellToByte(int line, int column);
  void LineBounds(int line, size_t* begin, size_t* end);

  const char* m_text = "";
  size_t m_size = 0;
  std::vector<size_t> m_starts;
  size_t m_scanned = 0;
  size_t m_segment = 0;        // start of the stretch after the last tab
  int m_cells = 0;             // cells of the line before that stretch
  size_t m_crAt = (size_t)-1;  // the last CR
  bool m_complete = true;
  int m_widest = 0;
  CPoint m_anchor;
  int m_selectionEntry = 0;
};
