#include "mfc/controlbar.h"

#include <algorithm>

#include "mfc/dc.h"
#include "mfc/frame.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {
const int kBorder = 2;        // a CBRS_BORDER_ edge
const int kGripper = 3;       // the gripper's bar
const int kGripperSpace = 7;  // the gripper with the gaps beside it
}  // namespace

void CControlBar::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}

CFrameWnd* CControlBar::GetDockingFrame() const { return m_pDockSite ? m_pDockSite : GetParentFrame(); }

void CControlBar::SetBarStyle(DWORD dwStyle) {
  if (m_dwStyle == dwStyle) return;
  DWORD dwOldStyle = m_dwStyle;
  m_dwStyle = dwStyle;
  // Borders and gripper lie outside the client area, which then changes.
  if (m_hWnd && ((dwOldStyle ^ dwStyle) & (CBRS_BORDER_ANY | CBRS_GRIPPER | CBRS_ORIENT_ANY | CBRS_FLOATING)))
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  OnBarStyleChange(dwOldStyle, dwStyle);
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom) {
  m_cxLeftBorder = cxLeft;
  m_cyTopBorder = cyTop;
  m_cxRightBorder = cxRight;
  m_cyBottomBorder = cyBottom;
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const {
  if (m_dwStyle & CBRS_BORDER_LEFT) rect.left += kBorder;
  if (m_dwStyle & CBRS_BORDER_TOP) rect.top += kBorder;
  if (m_dwStyle & CBRS_BORDER_RIGHT) rect.right -= kBorder;
  if (m_dwStyle & CBRS_BORDER_BOTTOM) rect.bottom -= kBorder;
  bool bGripper = (m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) == CBRS_GRIPPER;
  if (bHorz) {
    rect.left += m_cxLeftBorder + (bGripper ? kGripperSpace : 0);
    rect.top += m_cyTopBorder;
    rect.right -= m_cxRightBorder;
    rect.bottom -= m_cyBottomBorder;
  } else {
    // Across a vertical bar the borders turn with it.
    rect.left += m_cyTopBorder;
    rect.top += m_cxLeftBorder + (bGripper ? kGripperSpace : 0);
    rect.right -= m_cyBottomBorder;
    rect.bottom -= m_cxRightBorder;
  }
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  return CSize(bStretch && bHorz ? 32767 : 0, bStretch && !bHorz ? 32767 : 0);
}

CSize CControlBar::CalcDynamicLayout(int, DWORD nMode) {
  return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

BOOL CControlBar::IsVisible() const {
  if (m_nStateFlags & delayHide) return FALSE;
  return (m_nStateFlags & delayShow) || (GetStyle() & WS_VISIBLE);
}

void CControlBar::DelayShow(BOOL bShow) {
  m_nStateFlags &= ~(delayHide | delayShow);
  BOOL bVisible = (GetStyle() & WS_VISIBLE) != 0;
  if (bShow && !bVisible)
    m_nStateFlags |= delayShow;
  else if (!bShow && bVisible)
    m_nStateFlags |= delayHide;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
  AFX_SIZEPARENTPARAMS* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  DWORD dwStyle = GetStyle();
  if (m_nStateFlags & (delayHide | delayShow)) {
    bool bShow = (m_nStateFlags & delayShow) != 0;
    dwStyle = bShow ? dwStyle | WS_VISIBLE : dwStyle & ~WS_VISIBLE;
    // A query only looks ahead; the layout itself shows or hides the bar.
    if (lpLayout->hDWP) {
      m_nStateFlags &= ~(delayHide | delayShow);
      ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
  }
  if (!(dwStyle & WS_VISIBLE) || !(m_dwStyle & CBRS_ALIGN_ANY)) return 0;

  CRect rect(lpLayout->rect);
  CSize sizeAvail(std::max(0, rect.Width()), std::max(0, rect.Height()));
  bool bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
  DWORD dwMode = (lpLayout->bStretch ? LM_STRETCH : 0) | (bHorz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
  CSize size = CalcDynamicLayout(-1, dwMode);
  // A docked bar takes its whole edge, as a row of the frame does, and across
  // the edge what it asks for.
  LONG& along = bHorz ? size.cx : size.cy;
  LONG& across = bHorz ? size.cy : size.cx;
  LONG availAlong = bHorz ? sizeAvail.cx : sizeAvail.cy;
  along = lpLayout->bStretch ? availAlong : std::min(along, availAlong);
  across = std::min(across, bHorz ? sizeAvail.cy : sizeAvail.cx);
  LONG& totalAlong = bHorz ? lpLayout->sizeTotal.cx : lpLayout->sizeTotal.cy;
  totalAlong = std::max(totalAlong, along);
  (bHorz ? lpLayout->sizeTotal.cy : lpLayout->sizeTotal.cx) += across;
  // The strip at the bar's edge; the rest is left for the others.
  if (m_dwStyle & CBRS_ALIGN_TOP) {
    lpLayout->rect.top += across;
  } else if (m_dwStyle & CBRS_ALIGN_BOTTOM) {
    rect.top = rect.bottom - across;
    lpLayout->rect.bottom -= across;
  } else if (m_dwStyle & CBRS_ALIGN_LEFT) {
    lpLayout->rect.left += across;
  } else {
    rect.left = rect.right - across;
    lpLayout->rect.right -= across;
  }
  rect.right = rect.left + size.cx;
  rect.bottom = rect.top + size.cy;
  if (lpLayout->hDWP) {
    CRect rectOld;
    GetWindowRect(&rectOld);
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&rectOld), 2);
    if (rectOld.left != rect.left || rectOld.top != rect.top || rectOld.right != rect.right ||
        rectOld.bottom != rect.bottom)
      lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, m_hWnd, nullptr, rect.left, rect.top, rect.Width(),
                                        rect.Height(), SWP_NOACTIVATE | SWP_NOZORDER);
  }
  return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if (GetStyle() & WS_VISIBLE)
    if (CFrameWnd* pTarget = GetDockingFrame()) OnUpdateCmdUI(pTarget, (BOOL)wParam);
  return 0;
}

void CControlBar::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kToolCheckTimer) {
    OnToolCheckTimer();
    return;
  }
  CWnd::OnTimer(nIDEvent);
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSELEAVE)
    OnToolMouse(message, wParam, lParam);
  else if (message == WM_NOTIFY && OnToolTipText(reinterpret_cast<NMHDR*>(lParam)))
    return 0;
  else if (message == WM_DESTROY && m_hWndToolTip) {
    ::DestroyWindow(m_hWndToolTip);
    m_hWndToolTip = nullptr;
  }
  if (message == WM_COMMAND) {
    LRESULT lResult = 0;
    if (OnWndMsg(message, wParam, lParam, &lResult)) return lResult;
    if (CWnd* pFrame = GetDockingFrame()) return pFrame->SendMessage(message, wParam, lParam);
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CControlBar::OnNcCalcSize(WPARAM, LPARAM lParam) {
  // rgrc[0] of NCCALCSIZE_PARAMS, or the one RECT: the window becomes the client.
  RECT* prc = reinterpret_cast<RECT*>(lParam);
  CRect rect(0, 0, 0, 0);
  CalcInsideRect(rect, (m_dwStyle & CBRS_ORIENT_HORZ) != 0);
  prc->left += rect.left;
  prc->top += rect.top;
  prc->right += rect.right;
  prc->bottom += rect.bottom;
  return 0;
}

LRESULT CControlBar::OnNcPaint(WPARAM, LPARAM) {
  EraseNonClient();
  return 0;
}

void CControlBar::EraseNonClient() {
  CWindowDC dc(this);
  CRect rectClient;
  GetClientRect(&rectClient);
  CRect rectWindow;
  GetWindowRect(&rectWindow);
  ScreenToClient(&rectWindow);
  rectClient.OffsetRect(-rectWindow.left, -rectWindow.top);
  dc.ExcludeClipRect(&rectClient);
  rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);
  ::FillRect(dc.m_hDC, &rectWindow, ::GetSysColorBrush(COLOR_BTNFACE));
  DrawBorders(&dc, rectWindow);
  DrawGripper(&dc, rectWindow);
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect) {
  // Each border is an etched line: shadow outside, highlight inside.
  UINT nEdges = 0;
  if (m_dwStyle & CBRS_BORDER_LEFT) nEdges |= BF_LEFT;
  if (m_dwStyle & CBRS_BORDER_TOP) nEdges |= BF_TOP;
  if (m_dwStyle & CBRS_BORDER_RIGHT) nEdges |= BF_RIGHT;
  if (m_dwStyle & CBRS_BORDER_BOTTOM) nEdges |= BF_BOTTOM;
  if (nEdges) ::DrawEdge(pDC->m_hDC, &rect, EDGE_ETCHED, nEdges | BF_ADJUST);
}

void CControlBar::DrawGripper(CDC* pDC, const CRect& rect) {
  if ((m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) != CBRS_GRIPPER) return;
  CRect rectGrip;
  if (m_dwStyle & CBRS_ORIENT_HORZ)
    rectGrip.SetRect(rect.left + m_cxLeftBorder, rect.top + m_cyTopBorder, rect.left + m_cxLeftBorder + kGripper,
                     rect.bottom - m_cyBottomBorder);
  else
    rectGrip.SetRect(rect.left + m_cyTopBorder, rect.top + m_cxLeftBorder, rect.right - m_cyBottomBorder,
                     rect.top + m_cxLeftBorder + kGripper);
  ::DrawEdge(pDC->m_hDC, &rectGrip, BDR_RAISEDINNER, BF_RECT);
}
