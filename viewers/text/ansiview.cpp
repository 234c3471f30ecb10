#include "viewers/text/ansiview.h"

#include <cstring>

#include "base/check.h"

IMPLEMENT_DYNAMIC(CAnsiView, CWnd)

namespace {
// The process's views, its window class and cursors, the style serials and
// the corner square's colour. Only the window thread uses them.
CAnsiView* g_pViewHead = nullptr;
int g_nViews = 0;
LPCSTR g_pszClassName = nullptr;
HCURSOR g_hIBeam = nullptr;
HCURSOR g_hHand = nullptr;
int g_nextSerial = 0;
COLORREF g_cornerColor = 0;

const char kNotDerived[] = "CAnsiView::PrintLine() wurde nicht abgeleitet !";

COLORREF DarkerByAnEighth(COLORREF c) { return c - ((c >> 3) & 0x1F1F1F); }

int CeilDiv(int a, int b) { return a <= 0 ? 0 : (a + b - 1) / b; }
}  // namespace

HCURSOR AnsiViewIBeam() { return g_hIBeam; }
HCURSOR AnsiViewHand() { return g_hHand; }
CAnsiView* AnsiViewListHead() { return g_pViewHead; }

BEGIN_MESSAGE_MAP(CAnsiView, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
  ON_WM_GETDLGCODE()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_SETCURSOR()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_CHAR()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_RBUTTONUP()
  ON_WM_RBUTTONDBLCLK()
  ON_WM_MBUTTONDOWN()
  ON_WM_XBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSEWHEEL()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_TIMER()
  AFX_WM_ENTRY_(WM_CAPTURECHANGED, AfxSig_Void, AfxFn_Void, OnCaptureChanged)
  ON_COMMAND(ID_ANSIVIEW_COLORS, OnColorsCommand)
  ON_COMMAND(ID_ANSIVIEW_FONT, OnFontCommand)
  ON_MESSAGE(WM_ANSIVIEW_COMMAND, OnAnsiCommand)
END_MESSAGE_MAP()

CAnsiView::CAnsiView(const char* name, int columns, int lines) {
  m_totalColumns = columns;
  m_totalLines = lines + 100;
  for (CAnsiView* p = g_pViewHead; p; p = p->m_pNext) {
    if (p->m_pStyle->name && name && std::strcmp(p->m_pStyle->name, name) == 0) {
      m_pStyle = p->m_pStyle;
      ++m_pStyle->refCount;
      break;
    }
  }
  if (!m_pStyle) {
    m_pStyle = new ANSIVIEWSTYLE();
    m_pStyle->refCount = 1;
    m_pStyle->serial = ++g_nextSerial;
    m_pStyle->font.flags = kFontFixedPitch;
    m_pStyle->name = name;
    m_pStyle->colorCount = ColorListAdd(&m_pStyle->colors, kAnsiSystemColor, kAnsiSystemColor, "Standard", 1, 0);
  }
  m_pNext = g_pViewHead;
  if (g_pViewHead) g_pViewHead->m_pPrev = this;
  g_pViewHead = this;
  ++g_nViews;
  if (!g_hIBeam) g_hIBeam = ::LoadCursorA(nullptr, (LPCSTR)IDC_IBEAM);
  if (!g_hHand) g_hHand = ::LoadCursorA(nullptr, (LPCSTR)IDC_HAND);
  if (!g_pszClassName)
    g_pszClassName = AfxRegisterWndClass(CS_DBLCLKS, g_hIBeam, (HBRUSH)::GetStockObject(HOLLOW_BRUSH));
  m_hCurrentCursor = m_hViewCursor = g_hIBeam;
  m_caretMode = kCaretShown;
}

CAnsiView::~CAnsiView() {
  if (m_hWnd) DestroyWindow();
  delete[] m_pszPathOverride;
  if (--m_pStyle->refCount == 0) {
    ColorListFree(&m_pStyle->colors);
    delete[] m_pStyle->colorIndex;
    for (HFONT& f : m_pStyle->variants) {
      if (f && f != m_pStyle->baseFont) ::DeleteObject(f);
    }
    if (m_pStyle->baseFont) ::DeleteObject(m_pStyle->baseFont);
    delete[] m_pStyle->regPath;
    delete m_pStyle;
  }
  m_pStyle = nullptr;
  if (m_pPrev) m_pPrev->m_pNext = m_pNext;
  if (m_pNext) m_pNext->m_pPrev = m_pPrev;
  if (g_pViewHead == this) g_pViewHead = m_pNext;
  // The registered class name lives for the process in the framework.
  if (--g_nViews == 0) g_pszClassName = nullptr;
}

BOOL CAnsiView::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateEx(0, dwStyle, rect, pParentWnd, nID);
}

BOOL CAnsiView::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  if (!g_pszClassName)
    g_pszClassName = AfxRegisterWndClass(CS_DBLCLKS, g_hIBeam, (HBRUSH)::GetStockObject(HOLLOW_BRUSH));
  return CWnd::CreateEx(dwExStyle, g_pszClassName, "AnsiWnd", dwStyle, rect, pParentWnd, nID);
}

CScrollBar* CAnsiView::GetScrollBar(int index) { return (index == 0 || index == 1) ? &m_bars[index] : nullptr; }

CScrollBar* CAnsiView::GetScrollBarCtrl(int nBar) const {
  // Auto-scroll reads the positions from here.
  if (nBar != SB_HORZ && nBar != SB_VERT) return nullptr;
  return const_cast<CAnsiView*>(this)->GetScrollBar(nBar == SB_HORZ ? 0 : 1);
}

int CAnsiView::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
  RECT none = {0, 0, 0, 0};
  m_bars[0].Create(WS_CHILD | SBS_HORZ | SBS_BOTTOMALIGN, none, this, kAnsiViewHorzBarId);
  m_bars[1].Create(WS_CHILD | SBS_VERT | SBS_RIGHTALIGN, none, this, kAnsiViewVertBarId);
  m_barShown[0] = m_barShown[1] = 0;
  g_cornerColor = DarkerByAnEighth(::GetSysColor(COLOR_BTNFACE));
  if (!m_pStyle->baseFont)
    SetupFonts(15, "Courier");
  else
    SetupFonts(0, nullptr);
  RecreateCaret();
  MarkAll();
  return 0;
}

void CAnsiView::OnDestroy() {
  ::KillTimer(m_hWnd, kAnsiViewTimerId);
  m_timerState = 0;
  if (m_bCaretExists) {
    ::DestroyCaret();
    m_bCaretExists = false;
  }
  CWnd::OnDestroy();
}

UINT CAnsiView::OnGetDlgCode() { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

void CAnsiView::OnSysColorChange() {
  // Entries with system colours keep -1; they are resolved while drawing.
  g_cornerColor = ::GetSysColor(COLOR_BTNFACE);
  m_lastAttribute = -1;
  Invalidate(FALSE);
}

BOOL CAnsiView::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (pWnd == this && nHitTest == HTCLIENT) {
    ::SetCursor(m_hCurrentCursor);
    return TRUE;
  }
  return (BOOL)Default();
}

void CAnsiView::Notify(UINT code, DWORD value1, DWORD value2) {
  HWND hParent = ::GetParent(m_hWnd);
  if (!hParent) return;
  NMANSIVIEW nm = {};
  nm.hdr.hwndFrom = m_hWnd;
  nm.hdr.idFrom = (UINT_PTR)::GetDlgCtrlID(m_hWnd);
  nm.hdr.code = code;
  nm.value1 = value1;
  nm.value2 = value2;
  ::SendMessageA(hParent, WM_NOTIFY, nm.hdr.idFrom, (LPARAM)&nm);
}

void CAnsiView::OnSetFocus(CWnd*) {
  ReadModifiers();
  m_hasFocus = 1;
  m_caretHiddenByFocus = 0;
  RecreateCaret();
  Notify(kAnsiNotifySetFocus, 0, 0);
}

void CAnsiView::OnKillFocus(CWnd*) {
  m_hasFocus = 0;
  if (m_caretVisible) {
    ::HideCaret(m_hWnd);
    m_caretVisible = 0;
    m_caretHiddenByFocus = 1;
  }
  // The caret belongs to the thread: it goes with the focus.
  if (m_bCaretExists) {
    ::DestroyCaret();
    m_bCaretExists = false;
  }
  Notify(kAnsiNotifyKillFocus, 0, 0);
}

// --- repaint word ---------------------------------------------------------

void CAnsiView::MarkFrom(int line) {
  DWORD word = m_repaint & ~kRepaintInLayout, keep = m_repaint & kRepaintInLayout;
  if (line < 0) line = 0;
  if ((DWORD)line > kRepaintLineMask) {
    m_repaint = keep | kRepaintAll;
  } else if ((word & (kRepaintAll | kRepaintRange | kRepaintFrom | kRepaintLine)) == 0) {
    m_repaint = keep | (word & ~kRepaintLineMask) | kRepaintFrom | (DWORD)line;
  } else if ((word & (kRepaintAll | kRepaintRange | kRepaintLine)) == 0 && (word & kRepaintFrom)) {
    DWORD old = word & kRepaintLineMask;
    if ((DWORD)line < old) m_repaint = keep | (word & ~kRepaintLineMask) | (DWORD)line;
  } else {
    m_repaint = keep | kRepaintAll;
  }
}

void CAnsiView::MarkLine(int line) {
  DWORD word = m_repaint & ~kRepaintInLayout, keep = m_repaint & kRepaintInLayout;
  if (line < 0) return;
  if ((DWORD)line <= kRepaintLineMask && (word & (kRepaintAll | kRepaintRange | kRepaintFrom | kRepaintLine)) == 0)
    m_repaint = keep | word | kRepaintLine | (DWORD)line;
  else if (!(word & kRepaintLine) || (word & kRepaintLineMask) != (DWORD)line)
    m_repaint = keep | kRepaintAll;
}

void CAnsiView::MarkRange(int first, int count) {
  DWORD word = m_repaint & ~kRepaintInLayout, keep = m_repaint & kRepaintInLayout;
  if (first < 0 || count <= 0) return;
  if ((DWORD)first <= kRepaintRangeLineMask && (DWORD)count <= kRepaintRangeCountMask &&
      (word & (kRepaintAll | kRepaintRange | kRepaintFrom | kRepaintLine)) == 0)
    m_repaint = keep | word | kRepaintRange | ((DWORD)count << kRepaintRangeCountShift) | (DWORD)first;
  else
    m_repaint = keep | kRepaintAll;
}

int CAnsiView::MarkCursorMoved(int flags) {
  if (flags & 1) m_lastCursorColumn = -1;
  if (flags & 2) m_lastCursorLine = -1;
  return flags & 2;
}

void CAnsiView::MarkCursorSeen() {
  m_lastCursorColumn = m_cursorColumn;
  m_lastCursorLine = m_cursorLine;
}

// --- caret, margin, flags -------------------------------------------------

int CAnsiView::SetCaretMode(int mode) {
  int old = m_caretMode;
  if (mode >= 0 && mode <= 3) m_caretMode = mode;
  if (!m_hWnd) return old;
  bool wasShown = m_caretVisible != 0;
  if (m_caretVisible) {
    ::HideCaret(m_hWnd);
    m_caretVisible = 0;
  }
  // The caret belongs to the thread: made only while the view has the focus.
  if (m_hasFocus) {
    int width = (m_caretMode & kCaretThin) ? 2 : m_cellWidth + 1;
    ::CreateCaret(m_hWnd, nullptr, width, m_cellHeight);
    m_bCaretExists = true;
  }
  if (wasShown)
    m_repaint |= kRepaintCaret;
  else
    MarkAll();
  return old;
}

int CAnsiView::SetMarginWidth(int width) {
  if (width < 0 || width > 2000) width = 0;
  if (width == m_marginWidth) return 0;
  for (CAnsiView* p = g_pViewHead; p; p = p->m_pNext) {
    if (p->m_pStyle->serial != m_pStyle->serial) continue;
    p->m_marginWidth = width;
    if (p->m_hWnd) {
      p->m_textWidth = -1;  // columns are counted again
      p->OnSize(0, p->m_clientWidth, p->m_clientHeight);
      p->Invalidate(FALSE);
    }
  }
  return 1;
}

UINT CAnsiView::SetStyleFlags(UINT value, UINT mask) {
  UINT old = m_styleFlags;
  m_styleFlags = (m_styleFlags & ~mask) | (value & mask);
  if (m_hWnd) RecalcLayout(0);
  return old;
}

void CAnsiView::SetTextSize(int columns, int lines) {
  m_totalColumns = columns < 0 ? 0 : columns;
  m_totalLines = lines < 0 ? 0 : lines;
  MarkAll();
  if (m_hWnd) RecalcLayout(0);
}

int CAnsiView::HitTest(int x, int y, int* column, int* line, int flags) const {
  int c = (x - m_marginWidth + ((flags & 1) ? m_cellWidth / 2 : 0)) / m_cellWidth + m_firstColumn;
  int l = y / m_cellHeight + m_firstLine;
  if (y < 0 || l < 0) {
    *column = 0, *line = 0;
    return 0;
  }
  if (l >= m_totalLines) {
    *column = 0, *line = m_totalLines;
    return 0;
  }
  *column = c < 0 ? 0 : c;
  *line = l;
  return InMargin(x) ? 2 : 1;
}

// --- size and layout ------------------------------------------------------

void CAnsiView::OnSize(UINT, int cx, int cy) {
  ++m_layoutNesting;
  m_clientWidth = cx;
  m_clientHeight = cy;
  int barW = ::GetSystemMetrics(SM_CXVSCROLL), barH = ::GetSystemMetrics(SM_CYHSCROLL);
  int textW = cx - (m_barShown[1] ? barW : 0);
  int textH = cy - (m_barShown[0] ? barH : 0);
  if (textW < 0) textW = 0;
  if (textH < 0) textH = 0;
  bool outer = m_layoutNesting == 1;
  if (m_bars[0].m_hWnd) ::MoveWindow(m_bars[0].m_hWnd, 0, textH, textW, barH, outer);
  if (m_bars[1].m_hWnd) ::MoveWindow(m_bars[1].m_hWnd, textW, 0, barW, textH, outer);
  if (textW != m_textWidth) {
    if (textW > m_textWidth) MarkAll();
    m_textWidth = textW;
    m_visibleColumns = CeilDiv(textW - m_marginWidth, m_cellWidth);
    if (m_visibleColumns < 1) m_visibleColumns = 1;
    m_partialColumn = m_visibleColumns * m_cellWidth > textW - m_marginWidth + 2;
  }
  if (textH != m_textHeight) {
    if (textH > m_textHeight) MarkAll();
    m_textHeight = textH;
    m_visibleLines = CeilDiv(textH, m_cellHeight);
    if (m_visibleLines < 1) m_visibleLines = 1;
    m_partialLine = m_visibleLines * m_cellHeight > textH + 2;
  }
  if (outer && cx >= 1 && cy > 0) {
    bool marked = (m_repaint & kRepaintInLayout) != 0;
    m_repaint |= kRepaintInLayout;
    RecalcLayout(0);
    if (!marked) m_repaint &= ~kRepaintInLayout;
    if (!marked && IsDirty()) Invalidate(TRUE);
  }
  --m_layoutNesting;
}

int CAnsiView::UpdateScrollBars(int bar, SCROLLINFO* info, int flags) {
  bool show = info->nMax > (int)info->nPage || (info->fMask & SIF_DISABLENOSCROLL);
  int changed = 0;
  CScrollBar* pBar = GetScrollBar(bar);
  if (show != (m_barShown[bar] != 0)) {
    changed = 2;
    m_barShown[bar] = show;
    if (!show) {
      pBar->ShowWindow(SW_HIDE);
      if (!(flags & 2)) OnSize(0, m_clientWidth, m_clientHeight);
    } else {
      if (!(flags & 2)) OnSize(0, m_clientWidth, m_clientHeight);
      pBar->ShowWindow(SW_SHOWNA);
    }
  }
  pBar->EnableWindow(TRUE);
  info->cbSize = sizeof *info;
  ::SetScrollInfo(pBar->m_hWnd, SB_CTL, info, (flags & 1) != 0);
  return changed;
}

bool CAnsiView::BarInfoPending(int bar) const {
  if (!m_bars[bar].m_hWnd) return false;
  return bar == 0 ? m_totalColumns != m_lastTotalColumns || m_visibleColumns != m_barPage[0]
                  : m_totalLines != m_lastTotalLines || m_visibleLines != m_barPage[1];
}

int CAnsiView::SetBarInfo(int bar) {
  SCROLLINFO si = {sizeof si};
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  if (bar == 0) {
    if (m_styleFlags & kAnsiHBarDisabled) si.fMask |= SIF_DISABLENOSCROLL;
    si.nMax = (m_styleFlags & kAnsiNoHBar)
                  ? 0
                  : m_totalColumns + ((m_styleFlags & kAnsiHRangeExact) ? 0 : m_visibleColumns / 2 - 1);
    si.nPage = (UINT)m_visibleColumns;
    if (m_firstColumn > si.nMax - (int)si.nPage) {
      int first = si.nMax - (int)si.nPage;
      if (first < 0) first = 0;
      if (first < m_firstColumn) {
        m_firstColumn = first;
        MarkAll();
      }
    }
    si.nPos = m_firstColumn;
    m_barColumn = m_firstColumn;
    m_lastTotalColumns = m_totalColumns;
    m_barPage[0] = m_visibleColumns;
  } else {
    if (m_styleFlags & kAnsiVBarDisabled) si.fMask |= SIF_DISABLENOSCROLL;
    si.nMax = (m_styleFlags & kAnsiNoVBar)
                  ? 0
                  : m_totalLines + ((m_styleFlags & kAnsiVRangeExact) ? 0 : m_visibleLines / 2 - 2);
    si.nPage = (UINT)m_visibleLines;
    if (m_firstLine > si.nMax - (int)si.nPage) {
      int first = m_totalLines - m_visibleLines / 2;
      if (first < 0) first = 0;
      if (first < m_firstLine) {
        m_firstLine = first;
        MarkAll();
      }
    }
    si.nPos = m_firstLine;
    m_barLine = m_firstLine;
    if (m_barPage[1] >= 0 && m_visibleLines > m_barPage[1] && m_lastTotalLines >= 0) MarkFrom(m_lastTotalLines);
    m_lastTotalLines = m_totalLines;
    m_barPage[1] = m_visibleLines;
  }
  return UpdateScrollBars(bar, &si, 1);
}

void CAnsiView::RecalcLayout(int flags) {
  ++m_layoutDepth;
  bool marked = (m_repaint & kRepaintInLayout) != 0;
  m_repaint |= kRepaintInLayout;
  int halfColumns = m_visibleColumns / 2 - m_partialColumn;
  int halfLines = m_visibleLines / 2 - m_partialLine;

  if (m_cursorLine > m_totalLines) m_cursorLine = m_totalLines;
  if (m_cursorColumn > m_totalColumns - 1) m_cursorColumn = m_totalColumns - 1;
  if (m_cursorLine < 0) m_cursorLine = 0;
  if (m_cursorColumn < 0) m_cursorColumn = 0;

  UINT changedFlags = m_styleFlags ^ m_lastStyleFlags;
  if (changedFlags) {
    if (changedFlags & (kAnsiNoHScroll | kAnsiNoHBar | kAnsiHRangeExact | kAnsiHBarDisabled))
      m_lastVisibleColumns = m_barPage[0] = -1;
    if (changedFlags & (kAnsiNoVScroll | kAnsiNoVBar | kAnsiVRangeExact | kAnsiVBarDisabled))
      m_lastVisibleLines = m_barPage[1] = -1;
    m_lastStyleFlags = m_styleFlags;
  }
  if (m_styleFlags & kAnsiNoHScroll) m_firstColumn = 0;
  if (m_styleFlags & kAnsiNoVScroll) m_firstLine = 0;

  if (m_cursorColumn != m_lastCursorColumn) {
    m_repaint |= kRepaintCaret;
    if (m_textWidth > 0 && !(m_styleFlags & kAnsiNoHScroll)) {
      int full = m_visibleColumns - m_partialColumn;
      if (full < 1) full = 1;
      if (m_cursorColumn >= m_firstColumn + full)
        m_firstColumn = m_cursorColumn - full + 1;
      else if (m_cursorColumn < m_firstColumn)
        m_firstColumn = m_cursorColumn;
    }
  }
  bool lineChanged = m_cursorLine != m_lastCursorLine;
  int margin = halfLines;
  if (lineChanged) {
    m_repaint |= kRepaintCaret;
    // The old and the new cursor line.
    if (m_lastCursorLine >= 0) MarkLine(m_lastCursorLine);
    m_repaint |= kRepaintCursorLine;
    margin = 0;
    if (m_textHeight > 0 && !(m_styleFlags & kAnsiNoVScroll)) {
      int delta = m_cursorLine - m_lastCursorLine;
      if (delta < 0) delta = -delta;
      if ((flags & kLayoutKeepJumpInside) && m_lastCursorLine >= 0 && delta != 1 && delta != m_visibleLines)
        margin = m_visibleLines / 2;
      int full = m_visibleLines - m_partialLine;
      if (full < 1) full = 1;
      if (margin > (full - 1) / 2) margin = (full - 1) / 2;
      if (m_cursorLine < m_firstLine + margin)
        m_firstLine = m_cursorLine - margin;
      else if (m_cursorLine >= m_firstLine + full - margin)
        m_firstLine = m_cursorLine - full + 1 + margin;
    }
  }
  int maxColumn = m_totalColumns - halfColumns;
  if (m_firstColumn > maxColumn) {
    m_firstColumn = maxColumn;
    m_pixelX = 0;
  }
  if (m_firstLine > m_totalLines - margin) m_firstLine = m_totalLines - margin;
  if (m_firstColumn < 0) m_firstColumn = 0;
  if (m_firstLine < 0) m_firstLine = 0;

  if (m_caretMode != m_lastCaretMode) {
    m_lastCaretMode = m_caretMode;
    RecreateCaret();
    m_repaint |= kRepaintCaret;
  }
  m_lastCursorColumn = m_cursorColumn;
  m_lastCursorLine = m_cursorLine;

  // The bars are set by the outermost layout of an operation, and not while
  // a key repeats: redrawing a shown bar costs milliseconds.
  if (m_layoutDepth == 1 && !m_bDeferBars && m_hWnd) {
    bool moved = false;
    int column = (m_styleFlags & kAnsiNoHScroll) ? 0 : m_firstColumn;
    if (column != m_barColumn) {
      if (m_bars[0].m_hWnd && !BarInfoPending(0)) ::SetScrollPos(m_bars[0].m_hWnd, SB_CTL, column, TRUE);
      m_barColumn = column;
      MarkAll();
      moved = true;
    }
    if (m_firstLine != m_barLine) {
      if (m_bars[1].m_hWnd && !BarInfoPending(1)) ::SetScrollPos(m_bars[1].m_hWnd, SB_CTL, m_firstLine, TRUE);
      m_barLine = m_firstLine;
      MarkAll();
      moved = true;
    }
    if (moved && !(flags & kLayoutNoNotify)) {
      OnScrollChanged();
      Notify(kAnsiNotifyScroll, (DWORD)m_firstColumn, (DWORD)m_firstLine);
    }
    // A bar that comes or goes changes the other's room: until they settle.
    for (int round = 0; round < 4; ++round) {
      bool changed = false;
      if (BarInfoPending(0)) changed |= SetBarInfo(0) != 0;
      if (BarInfoPending(1)) changed |= SetBarInfo(1) != 0;
      if (!changed) break;
    }
  }
  if (m_visibleColumns != m_lastVisibleColumns || m_visibleLines != m_lastVisibleLines) {
    int dColumns = m_lastVisibleColumns < 0 ? 0 : m_visibleColumns - m_lastVisibleColumns;
    int dLines = m_lastVisibleLines < 0 ? 0 : m_visibleLines - m_lastVisibleLines;
    m_lastVisibleColumns = m_visibleColumns;
    m_lastVisibleLines = m_visibleLines;
    OnLayoutChanged(m_visibleColumns, m_visibleLines, dColumns, dLines);
  }
  --m_layoutDepth;
  if (!marked) m_repaint &= ~kRepaintInLayout;
  if (!marked && !(flags & kLayoutNoPaint) && IsDirty()) Invalidate(TRUE);
}

// --- painting -------------------------------------------------------------

void CAnsiView::Invalidate(BOOL onlyIfDirty) {
  if (!onlyIfDirty) MarkAll();
  if (!m_hWnd || (m_repaint & kRepaintInLayout) || !IsDirty()) return;
  Draw(nullptr);
}

void CAnsiView::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  MarkAll();
  Draw(CDC::FromHandle(dc));
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CAnsiView::OnPrintClient(WPARAM wParam, LPARAM) {
  // Everything into the given DC; the repaint word and the caret stay.
  PaintLines(CDC::FromHandle((HDC)wParam), kRepaintAll, true);
  return 0;
}

void CAnsiView::Draw(CDC* pPaintDC) {
  if (!m_hWnd) return;
  DWORD word = m_repaint & ~kRepaintInLayout;
  m_repaint &= kRepaintInLayout;
  HDC hdc = pPaintDC ? pPaintDC->GetSafeHdc() : ::GetDC(m_hWnd);
  if (pPaintDC) word = kRepaintAll;
  if (word & kRepaintCaret) {
    if (m_caretVisible) ::HideCaret(m_hWnd);
    m_caretVisible = 0;
  }
  PaintLines(CDC::FromHandle(hdc), word, false);
  // The caret where the cursor is, when it is inside the window.
  if ((m_caretMode & kCaretShown) && m_hasFocus && m_bCaretExists) {
    int column = m_cursorColumn - m_firstColumn, line = m_cursorLine - m_firstLine;
    if (column >= 0 && column < m_visibleColumns && line >= 0 && line < m_visibleLines) {
      ::SetCaretPos(m_marginWidth + column * m_cellWidth - m_pixelX, line * m_cellHeight - m_pixelY);
      m_caretColumn = m_cursorColumn;
      m_caretLine = line;
      if (!m_caretVisible) {
        ::ShowCaret(m_hWnd);
        m_caretVisible = 1;
      }
    } else if (m_caretVisible) {
      ::HideCaret(m_hWnd);
      m_caretVisible = 0;
    }
  } else if (m_caretVisible) {
    ::HideCaret(m_hWnd);
    m_caretVisible = 0;
  }
  if (!pPaintDC) ::ReleaseDC(m_hWnd, hdc);
}

void CAnsiView::PaintLines(CDC* pDC, DWORD word, bool print) {
  HDC dc = pDC->GetSafeHdc();
  m_lastAttribute = -1;
  m_lastFontStyle = -1;
  int saved = ::SaveDC(dc);
  ::SetBkMode(dc, OPAQUE);
  SelectColor(pDC, 0);
  if (m_pStyle->baseFont) ::SelectObject(dc, m_pStyle->baseFont);
  m_lastFontStyle = 0;

  int first = -1, last = -1;  // relative to the first visible line
  int bottom = m_visibleLines;
  if (word & kRepaintAll) {
    first = 0, last = bottom - 1;
  } else if (word & kRepaintFrom) {
    first = (int)(word & kRepaintLineMask) - m_firstLine, last = bottom - 1;
  } else if (word & kRepaintRange) {
    first = (int)(word & kRepaintRangeLineMask) - m_firstLine;
    last = first + (int)((word >> kRepaintRangeCountShift) & kRepaintRangeCountMask) - 1;
  } else if (word & kRepaintLine) {
    first = last = (int)(word & kRepaintLineMask) - m_firstLine;
  }
  int cursor = m_cursorLine - m_firstLine;
  if ((word & kRepaintCursorTail) && m_cursorColumn - m_firstColumn <= 2) word |= kRepaintCursorLine;
  bool extra = (word & kRepaintCursorLine) && (first < 0 || cursor < first || cursor > last);
  if (word & kRepaintBelowCursor) {
    int from = cursor + 1;
    if (first < 0 || from < first) first = from;
    last = bottom - 1;
  }
  if (first < 0) first = 0;
  if (last >= bottom) last = bottom - 1;
  int hand = m_rbState == 3 ? 1 : 0;
  int origin = m_marginWidth - m_firstColumn * m_cellWidth - m_pixelX;
  UINT lineFlags = ((UINT)origin << kPrintLineOriginShift) | kPrintLineScreen;

  auto paintLine = [&](int rel) {
    int line = m_firstLine + rel;
    RECT rc = {m_marginWidth - m_pixelX, rel * m_cellHeight - m_pixelY, m_textWidth,
               (rel + 1) * m_cellHeight - m_pixelY};
    if (!print && m_caretVisible && m_caretLine == rel) {
      ::HideCaret(m_hWnd);
      m_caretVisible = 0;
    }
    int inner = ::SaveDC(dc);
    ::IntersectClipRect(dc, m_marginWidth, 0, m_textWidth, m_textHeight);
    int count = m_visibleColumns + hand;
    int drawn = PrintLine(pDC, rc, line, m_firstColumn, count, lineFlags);
    if (drawn < count) {
      RECT rest = rc;
      rest.left = rc.left + (drawn < 0 ? 0 : drawn) * m_cellWidth;
      if (rest.left < rest.right) ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rest, nullptr, 0, nullptr);
    }
    ::RestoreDC(dc, inner);
    if (m_marginWidth > 0) {
      inner = ::SaveDC(dc);
      ::IntersectClipRect(dc, 0, 0, m_marginWidth, m_textHeight);
      RECT mr = {0, rc.top, m_marginWidth, rc.bottom};
      DrawMargin(pDC, mr, line);
      ::RestoreDC(dc, inner);
      // The margin's colours are not the cached ones any more.
      m_lastAttribute = -1;
      m_lastFontStyle = -1;
    }
  };
  if (first <= last)
    for (int rel = first; rel <= last; ++rel) paintLine(rel);
  if (extra && cursor >= 0 && cursor < bottom) paintLine(cursor);
  if ((word & kRepaintCursorTail) && !(word & kRepaintCursorLine) && cursor >= 0 && cursor < bottom) {
    // The cursor line from two columns left of the cursor on.
    int from = m_cursorColumn - 2;
    if (from < m_firstColumn) from = m_firstColumn;
    int x = m_marginWidth + (from - m_firstColumn) * m_cellWidth - m_pixelX;
    RECT rc = {x, cursor * m_cellHeight - m_pixelY, m_textWidth, (cursor + 1) * m_cellHeight - m_pixelY};
    int inner = ::SaveDC(dc);
    ::IntersectClipRect(dc, m_marginWidth, 0, m_textWidth, m_textHeight);
    int count = m_visibleColumns - (from - m_firstColumn) + hand;
    int drawn = PrintLine(pDC, rc, m_cursorLine, from, count, lineFlags);
    if (drawn < count) {
      RECT rest = rc;
      rest.left = rc.left + (drawn < 0 ? 0 : drawn) * m_cellWidth;
      if (rest.left < rest.right) ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rest, nullptr, 0, nullptr);
    }
    ::RestoreDC(dc, inner);
  }
  ::RestoreDC(dc, saved);
  if ((word & kRepaintAll) && m_barShown[0] && m_barShown[1]) {
    RECT corner = {m_textWidth, m_textHeight, m_clientWidth, m_clientHeight};
    COLORREF old = ::SetBkColor(dc, g_cornerColor);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &corner, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
  }
  m_lastAttribute = -1;
  m_lastFontStyle = -1;
}

int CAnsiView::PrintLine(CDC* pDC, const RECT& rect, int line, int firstColumn, int count, UINT) {
  if (line >= m_totalLines) return 0;
  int length = (int)sizeof kNotDerived - 1;
  if (firstColumn >= length) return 0;
  int n = length - firstColumn;
  if (n > count) n = count;
  RECT rc = rect;
  ::DrawTextA(pDC->GetSafeHdc(), kNotDerived + firstColumn, n, &rc, DT_SINGLELINE | DT_NOPREFIX);
  return n;
}

void CAnsiView::DrawMargin(CDC* pDC, const RECT& rect, int) {
  HDC dc = pDC->GetSafeHdc();
  COLORREF old = ::SetBkColor(dc, 0xC0C0C0);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  ::SetBkColor(dc, old);
}

int CAnsiView::DrawAttributedText(CDC* pDC, POINT point, const char* text, const BYTE* attributes, int count, UINT) {
  HDC dc = pDC->GetSafeHdc();
  int x = point.x;
  for (int i = 0; i < count;) {
    int j = i + 1;
    while (j < count && attributes[j] == attributes[i]) ++j;
    SelectColor(pDC, attributes[i]);
    DWORD extent = (DWORD)::TabbedTextOutA(dc, x, point.y, text + i, j - i, 0, nullptr, x);
    x += LOWORD(extent);
    i = j;
  }
  return x - point.x;
}
