// CFrameWnd: the layout of control bars and view, docking and showing bars.
#include <algorithm>

#include "mfc/controlbar.h"
#include "mfc/frame.h"

void CFrameWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags, LPRECT lpRectParam,
                               LPCRECT lpRectClient, BOOL bStretch) {
  AFX_SIZEPARENTPARAMS layout = {};
  layout.bStretch = bStretch;
  if (lpRectClient)
    layout.rect = *lpRectClient;
  else
    GetClientRect(&layout.rect);
  bool bQuery = (nFlags & reposQuery) != 0;
  if (!bQuery) {
    layout.hDWP = ::BeginDeferWindowPos(8);
    if (!layout.hDWP) return;
  }
  HWND hWndLeftOver = nullptr;
  for (HWND hChild = ::GetTopWindow(m_hWnd); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
    UINT nID = (UINT)::GetDlgCtrlID(hChild);
    if (nID == nIDLeftOver)
      hWndLeftOver = hChild;
    else if (nID >= nIDFirst && nID <= nIDLast && FromHandlePermanent(hChild))
      ::SendMessageA(hChild, WM_SIZEPARENT, 0, (LPARAM)&layout);
  }
  if (bQuery) {
    if (lpRectParam) {
      if (bStretch)
        *lpRectParam = layout.rect;
      else
        ::SetRect(lpRectParam, 0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy);
    }
    return;
  }
  CRect rect(layout.rect);
  if ((nFlags & reposExtra) && lpRectParam) rect.DeflateRect(lpRectParam);
  if (hWndLeftOver && !(nFlags & reposNoPosLeftOver)) {
    CWnd::FromHandle(hWndLeftOver)->CalcWindowRect(&rect);
    rect.right = std::max(rect.right, rect.left);
    rect.bottom = std::max(rect.bottom, rect.top);
    if (layout.hDWP)
      layout.hDWP = ::DeferWindowPos(layout.hDWP, hWndLeftOver, nullptr, rect.left, rect.top, rect.Width(),
                                     rect.Height(), SWP_NOACTIVATE | SWP_NOZORDER);
  }
  if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
}

void CFrameWnd::RecalcLayout(BOOL) {
  if (m_bInRecalcLayout || !m_hWnd) return;
  m_bInRecalcLayout = TRUE;
  m_nIdleFlags &= ~(idleLayout | idleNotify);
  RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST);
  m_bInRecalcLayout = FALSE;
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY; }

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT) {
  if (!pBar) return;
  DWORD dwSide = 0;
  switch (nDockBarID) {
    case AFX_IDW_DOCKBAR_TOP:
      dwSide = CBRS_ALIGN_TOP;
      break;
    case AFX_IDW_DOCKBAR_BOTTOM:
      dwSide = CBRS_ALIGN_BOTTOM;
      break;
    case AFX_IDW_DOCKBAR_LEFT:
      dwSide = CBRS_ALIGN_LEFT;
      break;
    case AFX_IDW_DOCKBAR_RIGHT:
      dwSide = CBRS_ALIGN_RIGHT;
      break;
    default: {
      DWORD dwAllowed = pBar->m_dwDockStyle & m_dwDockStyle;
      for (DWORD dw : {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT})
        if (dwAllowed & dw) {
          dwSide = dw;
          break;
        }
    }
  }
  if (!dwSide) return;  // neither allows docking
  pBar->m_pDockSite = this;
  pBar->SetBarStyle((pBar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | dwSide);
  RecalcLayout();
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) {
  if (!m_hWnd) return nullptr;
  for (HWND hChild = ::GetTopWindow(m_hWnd); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    if ((UINT)::GetDlgCtrlID(hChild) == nID)
      if (CWnd* pWnd = FromHandlePermanent(hChild))
        if (pWnd->IsKindOf(RUNTIME_CLASS(CControlBar))) return static_cast<CControlBar*>(pWnd);
  return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay) {
  if (!pBar || !pBar->m_hWnd) return;
  if (bDelay) {
    pBar->DelayShow(bShow);
    DelayRecalcLayout();
    return;
  }
  // A show or hide still waiting for the layout is overtaken.
  pBar->m_nStateFlags &= ~(CControlBar::delayHide | CControlBar::delayShow);
  pBar->SetWindowPos(
      nullptr, 0, 0, 0, 0,
      SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  RecalcLayout();
}

BOOL CFrameWnd::OnBarCheck(UINT nID) {
  CControlBar* pBar = GetControlBar(nID);
  if (!pBar) return FALSE;
  ShowControlBar(pBar, !pBar->IsVisible(), FALSE);
  return TRUE;
}

void CFrameWnd::OnBarCheckCommand(UINT nID) { OnBarCheck(nID); }

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
  if (CControlBar* pBar = GetControlBar(pCmdUI->m_nID))
    pCmdUI->SetCheck(pBar->IsVisible());
  else
    pCmdUI->ContinueRouting();
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
  if (m_nIdleFlags & idleTitle) OnUpdateFrameTitle(TRUE);
  if (m_nIdleFlags & idleLayout) RecalcLayout((m_nIdleFlags & idleNotify) != 0);
  m_nIdleFlags = 0;
  return 0;
}
