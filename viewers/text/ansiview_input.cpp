// Keyboard, mouse, wheel and scroll-bar input of the text view.
#include <cstdlib>

#include "ui/autoscroll.h"
#include "viewers/text/ansiview.h"

HCURSOR AnsiViewIBeam();
HCURSOR AnsiViewHand();

namespace {
const int kMaxKeyRepeat = 30;
const DWORD kDblClkIgnore = 300;
const int kDragThreshold = 4;
const int kHoldTicks = 5;
const int kWheelLines = 3;
const int kWheelLinesShift = 9;
// Positions at or past this need the scroll bar's 32-bit track position.
const int kThumb32 = 32512;

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

LPARAM PackPos(CPoint p) { return (LPARAM)(((DWORD)p.y << 16) | ((DWORD)p.x & 0xFFFF)); }

// The 16-bit position a message carries, completed to the value nearest the
// current position.
int CompletePosition(UINT pos16, int current) {
  int base = current & ~0xFFFF;
  int best = base + (int)(pos16 & 0xFFFF);
  for (int candidate : {best - 0x10000, best + 0x10000}) {
    if (candidate >= 0 && std::abs(candidate - current) < std::abs(best - current)) best = candidate;
  }
  return best;
}
}  // namespace

void CAnsiView::ReadModifiers() {
  m_modifiers = ((::GetAsyncKeyState(VK_SHIFT) & 0x8000) ? 1 : 0) | ((::GetAsyncKeyState(VK_CONTROL) & 0x8000) ? 2 : 0);
}

int CAnsiView::MoveCursor(int column, int line, UINT flags) {
  if (flags & kMoveRelative) {
    m_cursorColumn += column;
    m_cursorLine += line;
  } else {
    m_cursorColumn = column;
    m_cursorLine = line;
  }
  return 1;
}

void CAnsiView::MouseToCell(int x, int y, int* column, int* line) const {
  *column = FloorDiv(x - m_marginWidth + m_cellWidth / 2, m_cellWidth) + m_firstColumn;
  *line = FloorDiv(y, m_cellHeight) + m_firstLine;
}

void CAnsiView::StopTimer() {
  if (m_timerState) ::KillTimer(m_hWnd, kAnsiViewTimerId);
  m_timerState = 0;
}

// --- positions --------------------------------------------------------------

CPoint CAnsiView::SetCursorPos(int column, int line, BOOL select) {
  CPoint old(m_cursorColumn, m_cursorLine);
  MoveCursor(column, line, select ? kMoveExtend : 0);
  if (m_hWnd) {
    RecalcLayout(kLayoutNoNotify);
    Invalidate(TRUE);
  }
  return old;
}

CPoint CAnsiView::SetScrollPos(int column, int line) { return SetScrollPosEx(column, line, TRUE); }

CPoint CAnsiView::SetScrollPosEx(int column, int line, BOOL repaint) {
  CPoint old(m_firstColumn, m_firstLine);
  m_firstColumn = column;
  m_firstLine = line;
  if (m_hWnd) {
    RecalcLayout(repaint ? kLayoutNoNotify : kLayoutNoNotify | kLayoutNoPaint);
    if (repaint) Invalidate(TRUE);
  }
  return old;
}

HCURSOR CAnsiView::SetCursorShape(HCURSOR hCursor) {
  if (!hCursor) hCursor = AnsiViewIBeam();
  HCURSOR old = m_hViewCursor;
  if (hCursor != old) {
    m_hViewCursor = m_hCurrentCursor = hCursor;
    ::SetCursor(hCursor);
  }
  return old;
}

HCURSOR CAnsiView::SetCursorShapeById(LPCSTR id) { return SetCursorShape(::LoadCursorA(nullptr, id)); }

LRESULT CAnsiView::OnAnsiCommand(WPARAM wParam, LPARAM lParam) {
  int column = (short)LOWORD(lParam), line = (short)HIWORD(lParam);
  switch (wParam) {
    case kAnsiCmdSetCursor:
      return PackPos(SetCursorPos(column, line, FALSE));
    case kAnsiCmdGetCursor:
    case kAnsiCmdGetCursor2:
      return PackPos(GetCursorPos());
    case kAnsiCmdSetScroll:
      return PackPos(SetScrollPos(column, line));
    case kAnsiCmdGetScroll:
      return PackPos(GetScrollPos());
    case kAnsiCmdSelectTo:
      return PackPos(SetCursorPos(column, line, TRUE));
  }
  return 0;
}

// --- keyboard ---------------------------------------------------------------

bool CAnsiView::KeyStep(UINT key) {
  bool shift = (m_modifiers & 1) != 0, ctrl = (m_modifiers & 2) != 0;
  if (key == VK_CLEAR && !shift && !ctrl) {
    OnPickHook(0, 0, 0, m_cursorColumn, m_cursorLine);
    return true;
  }
  if (ctrl && key == VK_HOME) {
    MoveCursor(0, 0, shift ? kMoveExtend : 0);
    return true;
  }
  if (ctrl && key == VK_END) {
    MoveCursor(0, m_totalLines, shift ? kMoveExtend : 0);
    return true;
  }
  int page = m_visibleLines - 1;
  if ((m_caretMode & kCaretShown) && m_modifiers != 2) {
    UINT f = kMoveRelative | (shift ? kMoveExtend : 0) | (ctrl ? kMoveCtrl : 0);
    switch (key) {
      case VK_LEFT:
        MoveCursor(-1, 0, f | kMoveArrow);
        return true;
      case VK_RIGHT:
        MoveCursor(1, 0, f | kMoveArrow);
        return true;
      case VK_UP:
        MoveCursor(0, -1, f | kMoveArrow);
        return true;
      case VK_DOWN:
        MoveCursor(0, 1, f | kMoveArrow);
        return true;
      case VK_HOME:
        MoveCursor(-m_cursorColumn, 0, f);
        return true;
      case VK_END:
        MoveCursor(m_totalColumns - m_cursorColumn, 0, f);
        return true;
      case VK_PRIOR:
        m_firstLine -= page;
        MoveCursor(0, -page, f);
        return true;
      case VK_NEXT:
        m_firstLine += page;
        MoveCursor(0, page, f);
        return true;
    }
    return false;
  }
  switch (key) {
    case VK_LEFT:
      --m_firstColumn;
      break;
    case VK_RIGHT:
      ++m_firstColumn;
      break;
    case VK_UP:
      --m_firstLine;
      break;
    case VK_DOWN:
      ++m_firstLine;
      break;
    case VK_PRIOR:
      m_firstLine -= page;
      break;
    case VK_NEXT:
      m_firstLine += page;
      break;
    default:
      return false;
  }
  OnScrollHook(key);
  return true;
}

void CAnsiView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  ReadModifiers();
  int repeat = (int)(nRepCnt & 0xFFFF);
  if (repeat < 1) repeat = 1;
  if (repeat > kMaxKeyRepeat) repeat = kMaxKeyRepeat;
  bool marked = (m_repaint & kRepaintInLayout) != 0;
  m_repaint |= kRepaintInLayout;
  // Bars, notification and painting once, after the last repeat.
  bool deferred = m_bDeferBars;
  m_bDeferBars = true;
  bool handled = false;
  for (int i = 0; i < repeat; ++i) {
    bool step = OnKeyDownHook(nChar, nFlags) != 0;
    if (!step) step = KeyStep(nChar);
    handled |= step;
    RecalcLayout(0);
  }
  m_bDeferBars = deferred;
  if (!marked) m_repaint &= ~kRepaintInLayout;
  RecalcLayout(0);
  if (!handled) Default();
}

void CAnsiView::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) {
  ReadModifiers();
  int repeat = (int)(nRepCnt & 0xFFFF);
  if (repeat < 1) repeat = 1;
  for (int i = 0; i < repeat; ++i) OnKeyUpHook(nChar, nFlags);
}

void CAnsiView::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
  int repeat = (int)(nRepCnt & 0xFFFF);
  if (repeat < 1) repeat = 1;
  bool marked = (m_repaint & kRepaintInLayout) != 0;
  m_repaint |= kRepaintInLayout;
  for (int i = 0; i < repeat; ++i) OnCharHook(nChar, nFlags);
  if (!marked) m_repaint &= ~kRepaintInLayout;
  RecalcLayout(0);
}

// --- mouse ------------------------------------------------------------------

void CAnsiView::OnLButtonDown(UINT nFlags, CPoint point) {
  if (::GetFocus() != m_hWnd) ::SetFocus(m_hWnd);
  int column, line;
  MouseToCell(point.x, point.y, &column, &line);
  bool margin = InMargin(point.x);
  int handled = 0;
  if (!(nFlags & kHookSkip)) {
    handled = margin ? OnMarginMouseHook((nFlags & 0xFF) | kHookPress | kHookLeft, point.x, point.y, line)
                     : OnLButtonDownHook(nFlags, point.x, point.y, column, line);
  }
  if (!handled) {
    if (m_timerState == 1) StopTimer();
    // In the margin means 0 <= x < margin, also for the half cell before the
    // text that rounds to its first column.
    if (!margin && column >= m_firstColumn) {
      if (m_lbState != 1) MoveCursor(column, line, kMoveMouse | kMovePress);
      int picked = (nFlags & MK_CONTROL) ? OnPickHook(nFlags, point.x, point.y, column, line) : 0;
      if (!picked) m_lbState = 1;
    } else {
      m_lbState = 2;
    }
    m_captureState = 4;
    ::SetCapture(m_hWnd);
  }
  RecalcLayout(0);
}

void CAnsiView::OnLButtonUp(UINT nFlags, CPoint point) {
  int column, line;
  MouseToCell(point.x, point.y, &column, &line);
  // The capture this view took goes, whatever the hook answers.
  if (m_captureState == 4) {
    m_captureState = 0;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  }
  int handled = 0;
  if (!(nFlags & kHookSkip)) {
    handled = InMargin(point.x) ? OnMarginMouseHook((nFlags & 0xFF) | kHookRelease | kHookLeft, point.x, point.y, line)
                                : OnLButtonUpHook(nFlags, point.x, point.y, column, line);
  }
  if (handled) return;
  m_lbState = 0;
  if (m_timerState == 1) StopTimer();
  RecalcLayout(0);
}

void CAnsiView::OnLButtonDblClk(UINT nFlags, CPoint point) {
  if (::GetFocus() != m_hWnd) ::SetFocus(m_hWnd);
  int column, line;
  MouseToCell(point.x, point.y, &column, &line);
  int handled = 0;
  if (!(nFlags & kHookSkip)) {
    handled = InMargin(point.x) ? OnMarginMouseHook((nFlags & 0xFF) | kHookDblClk | kHookLeft, point.x, point.y, line)
                                : OnPickHook(nFlags, point.x, point.y, column, line);
  }
  if (!handled && !InMargin(point.x) && column >= m_firstColumn) {
    MoveCursor(column, line, kMoveMouse);
    m_ignoreUntil = ::GetTickCount() + kDblClkIgnore;
  }
  RecalcLayout(0);
}

void CAnsiView::OnRButtonDown(UINT nFlags, CPoint point) {
  int column, line;
  MouseToCell(point.x, point.y, &column, &line);
  m_rbX = point.x, m_rbY = point.y, m_rbColumn = column, m_rbLine = line;
  bool margin = InMargin(point.x);
  int handled = 0;
  if (!(nFlags & kHookSkip)) {
    handled = margin ? OnMarginMouseHook((nFlags & 0xFF) | kHookPress | kHookRight, point.x, point.y, line)
                     : OnRButtonDownHook(nFlags, point.x, point.y, column, line);
  }
  if (!handled) {
    m_rbState = margin ? 2 : 1;
    if (margin) m_rbColumn = point.x - m_marginWidth;
  }
  if (m_lbState == 1) m_rbState = 0;
  if ((m_rbState == 1 || m_rbState == 2) && m_timerState == 0) {
    m_timerTicks = 0;
    m_timerState = 2;
    ::SetTimer(m_hWnd, kAnsiViewTimerId, kAnsiViewTimerPeriod, nullptr);
  }
}

void CAnsiView::OnRButtonUp(UINT nFlags, CPoint point) {
  if (m_timerState == 2) StopTimer();
  int column, line;
  MouseToCell(point.x, point.y, &column, &line);
  int handled = 0;
  if (!(nFlags & kHookSkip)) {
    handled = InMargin(point.x) ? OnMarginMouseHook((nFlags & 0xFF) | kHookRelease | kHookRight, point.x, point.y, line)
                                : OnRButtonUpHook(nFlags, point.x, point.y, column, line);
  }
  BYTE state = m_rbState;
  m_rbState = 0;
  if (!handled && (state == 1 || state == 2)) ShowContextMenu(point.x, point.y, nullptr);
  if (state == 3) {
    m_captureState = 0;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    SetCursorShape(AnsiViewIBeam());
    m_pixelX = m_pixelY = 0;
    MarkAll();
    SetScrollPos(m_firstColumn, m_firstLine);
  }
}

void CAnsiView::OnRButtonDblClk(UINT nFlags, CPoint point) {
  int column, line;
  MouseToCell(point.x, point.y, &column, &line);
  if (nFlags & kHookSkip) return;
  if (InMargin(point.x))
    OnMarginMouseHook((nFlags & 0xFF) | kHookDblClk | kHookRight, point.x, point.y, line);
  else
    OnRButtonDblClkHook(nFlags, point.x, point.y, column, line);
}

void CAnsiView::OnMButtonDown(UINT, CPoint point) {
  if (::GetFocus() != m_hWnd) ::SetFocus(m_hWnd);
  StartAutoScroll(this, point.x, point.y, kAutoScrollBoth);
}

void CAnsiView::OnXButtonDown(UINT, UINT nButton, CPoint) {
  UINT key = nButton == XBUTTON1 ? VK_NEXT : VK_PRIOR;
  OnKeyDown(key, 1, 0);
  OnKeyUp(key, 1, 0);
}

void CAnsiView::BeginHandDrag() {
  if (m_timerState == 2) StopTimer();
  if (m_rbState == 0) return;
  SetCursorShape(AnsiViewHand());
  m_dragOriginColumn = m_firstColumn;
  m_dragOriginLine = m_firstLine;
  m_captureState = 3;
  m_rbState = 3;
  ::SetCapture(m_hWnd);
}

void CAnsiView::OnCaptureChanged() {
  if (::GetCapture() != m_hWnd && m_captureState == 4) m_captureState = 0;
  Default();
}

void CAnsiView::OnMouseMove(UINT nFlags, CPoint point) {
  int x = point.x, y = point.y;
  int column, line;
  MouseToCell(x, y, &column, &line);
  m_mouseX = x - m_marginWidth;
  m_mouseY = y;
  m_mouseColumn = column;
  m_mouseLine = line;
  if (m_lbState == 2 && (nFlags & MK_LBUTTON)) {
    if (!OnMarginMouseHook((nFlags & 0xFF) | kHookMove, x, y, line)) RecalcLayout(0);
    return;
  }
  if (m_rbState == 3) {
    if (!(nFlags & MK_RBUTTON)) {
      OnRButtonUp(nFlags | kHookSkip, point);
      return;
    }
    // The text follows the mouse, cell by cell with a pixel remainder.
    int dx = m_rbX - x, dy = m_rbY - y;
    int newColumn = m_dragOriginColumn + FloorDiv(dx, m_cellWidth);
    int pixelX = dx - FloorDiv(dx, m_cellWidth) * m_cellWidth;
    int newLine = m_dragOriginLine + FloorDiv(dy, m_cellHeight);
    int pixelY = dy - FloorDiv(dy, m_cellHeight) * m_cellHeight;
    if (newColumn < 0) newColumn = 0, pixelX = 0;
    if (newLine < 0) newLine = 0, pixelY = 0;
    if (newColumn == m_firstColumn && newLine == m_firstLine) {
      if (pixelX != m_pixelX || pixelY != m_pixelY) {
        m_pixelX = pixelX, m_pixelY = pixelY;
        Invalidate(FALSE);
      }
    } else {
      m_pixelX = pixelX, m_pixelY = pixelY;
      SetScrollPos(newColumn, newLine);
    }
    return;
  }
  if (m_rbState == 1 || m_rbState == 2) {
    if (std::abs(x - m_rbX) >= kDragThreshold || std::abs(y - m_rbY) >= kDragThreshold) BeginHandDrag();
  }
  if (!(nFlags & MK_LBUTTON) || m_lbState != 1) {
    if (!(nFlags & kHookSkip)) OnMouseMoveHook(nFlags, x, y, column, line);
    RecalcLayout(0);
    return;
  }
  int stepColumns = 0, stepLines = 0;
  if (x < m_marginWidth)
    stepColumns = (x - m_marginWidth) >> 3;
  else if (x >= m_textWidth - m_cellWidth)
    stepColumns = ((x - m_textWidth + m_cellWidth) | 8) >> 3;
  if (y < 0)
    stepLines = y >> 3;
  else if (y >= m_textHeight - m_cellHeight)
    stepLines = ((y - m_textHeight + m_cellHeight) | 8) >> 3;
  m_stepColumns = stepColumns;
  m_stepLines = stepLines;
  bool ready = (int)(::GetTickCount() - m_ignoreUntil) >= 0;
  if (stepColumns || stepLines) {
    if (!stepLines && ready) MoveCursor(m_cursorColumn, line, kMoveExtend | kMoveMouse);
    if (m_timerState != 1) {
      if (m_timerState) StopTimer();
      m_timerState = 1;
      ::SetTimer(m_hWnd, kAnsiViewTimerId, kAnsiViewTimerPeriod, nullptr);
    }
  } else {
    if (ready) MoveCursor(column, line, kMoveExtend | kMoveMouse);
    if (m_timerState == 1) StopTimer();
  }
  RecalcLayout(0);
}

void CAnsiView::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kAnsiViewTimerId) {
    Default();
    return;
  }
  if (m_timerState == 1) {
    if ((int)(::GetTickCount() - m_ignoreUntil) >= 0) {
      MoveCursor(m_stepColumns, m_stepLines, kMoveRelative | kMoveExtend | kMoveMouse);
      RecalcLayout(0);
    }
  } else if (m_timerState == 2) {
    if (++m_timerTicks >= kHoldTicks) {
      StopTimer();
      POINT pt;
      ::GetCursorPos(&pt);
      ::ScreenToClient(m_hWnd, &pt);
      bool moved = std::abs(pt.x - m_rbX) >= kDragThreshold && std::abs(pt.y - m_rbY) >= kDragThreshold;
      if (!moved) BeginHandDrag();
    }
  } else {
    ::KillTimer(m_hWnd, kAnsiViewTimerId);
  }
}

BOOL CAnsiView::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
  if (OnWheelHook(nFlags, zDelta)) return TRUE;
  int before = m_firstLine;
  int steps = (nFlags & MK_CONTROL) ? m_visibleLines - 1 : (nFlags & MK_SHIFT) ? kWheelLinesShift : kWheelLines;
  m_firstLine += zDelta < 0 ? steps : -steps;
  RecalcLayout(0);
  if (m_firstLine != before) {
    OnScrollHook(0);
    if (nFlags & MK_LBUTTON) {
      POINT p = pt;
      ::ScreenToClient(m_hWnd, &p);
      OnMouseMove(nFlags, CPoint(p.x, p.y));
    }
  }
  return TRUE;
}

// --- scroll bars ------------------------------------------------------------

void CAnsiView::HandleScroll(int bar, UINT code, UINT pos) {
  int& first = bar == 0 ? m_firstColumn : m_firstLine;
  int visible = bar == 0 ? m_visibleColumns : m_visibleLines;
  int total = bar == 0 ? m_totalColumns : m_totalLines;
  switch (code) {
    case SB_LINEUP:
      --first;
      break;
    case SB_LINEDOWN:
      ++first;
      break;
    case SB_PAGEUP:
      first -= visible - 1;
      break;
    case SB_PAGEDOWN:
      first += visible - 1;
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      if (total >= kThumb32) {
        // The track position only differs from the position during a drag
        // of the thumb; posted positions are 16 bits of the whole.
        SCROLLINFO si = {sizeof si, SIF_POS | SIF_TRACKPOS};
        ::GetScrollInfo(m_bars[bar].m_hWnd, SB_CTL, &si);
        first = si.nTrackPos != si.nPos ? si.nTrackPos : CompletePosition(pos, first);
      } else {
        first = (int)(pos & 0xFFFF);
      }
      break;
    default:
      return;
  }
  RecalcLayout(0);
}

void CAnsiView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar*) { HandleScroll(0, nSBCode, nPos); }
void CAnsiView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*) { HandleScroll(1, nSBCode, nPos); }

// --- context menu -----------------------------------------------------------

void CAnsiView::ShowContextMenu(int x, int y, CMenu* pMenu) {
  CMenu own;
  if (!pMenu) {
    own.CreatePopupMenu();
    pMenu = &own;
  }
  if (!m_styleLock) pMenu->AppendMenu(MF_STRING, ID_ANSIVIEW_COLORS, "&Farben einstellen");
  pMenu->AppendMenu(MF_STRING, ID_ANSIVIEW_FONT, "Schri&ften einstellen");
  RECT rc;
  ::GetWindowRect(m_hWnd, &rc);
  ::TrackPopupMenu(pMenu->m_hMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, rc.left + x, rc.top + y, 0, m_hWnd, nullptr);
}

void CAnsiView::OnColorsCommand() { EditColors(); }
void CAnsiView::OnFontCommand() { ChooseFont(); }
