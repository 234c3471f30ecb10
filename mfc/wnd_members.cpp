// CWnd members that reach other framework classes.
#include "mfc/controls.h"
#include "mfc/dc.h"
#include "mfc/globals.h"
#include "mfc/menu.h"
#include "mfc/wnd.h"

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  HWND hItem = ::GetDlgItem(m_hWnd, nID);
  if (!hItem) {
    rString.Empty();
    return 0;
  }
  FromHandle(hItem)->GetWindowText(rString);
  return rString.GetLength();
}

void CWnd::GetWindowText(CString& rString) const {
  int n = ::GetWindowTextLengthA(m_hWnd);
  n = ::GetWindowTextA(m_hWnd, rString.GetBuffer(n), n + 1);
  rString.ReleaseBuffer(n);
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
  ::SendMessageA(m_hWnd, WM_SETFONT, (WPARAM)pFont->GetSafeHandle(), bRedraw);
}

CFont* CWnd::GetFont() const { return CFont::FromHandle((HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)); }

namespace {
BOOL ModifyStyleOf(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD dwStyle = (DWORD)::GetWindowLongPtrA(hWnd, nIndex);
  DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
  if (dwStyle == dwNew) return FALSE;
  ::SetWindowLongPtrA(hWnd, nIndex, (LONG_PTR)dwNew);
  if (nFlags)
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyleOf(hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyleOf(hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
  ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase) { ::InvalidateRgn(m_hWnd, (HRGN)pRgn->GetSafeHandle(), bErase); }

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags) {
  return ::RedrawWindow(m_hWnd, lpRectUpdate, (HRGN)prgnUpdate->GetSafeHandle(), flags);
}

int CWnd::ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, CRgn* prgnUpdate,
                         LPRECT lpRectUpdate, UINT flags) {
  return ::ScrollWindowEx(m_hWnd, dx, dy, lpRectScroll, lpRectClip, (HRGN)prgnUpdate->GetSafeHandle(), lpRectUpdate,
                          flags);
}

CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }

CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }

int CWnd::ReleaseDC(CDC* pDC) { return ::ReleaseDC(m_hWnd, pDC->GetSafeHdc()); }

CDC* CWnd::BeginPaint(LPPAINTSTRUCT lpPaint) { return CDC::FromHandle(::BeginPaint(m_hWnd, lpPaint)); }

CWnd* CWnd::GetTopLevelParent() const {
  HWND hWnd = m_hWnd;
  while (hWnd && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  return FromHandle(hWnd);
}

HWND CWnd::GetSafeOwner(CWnd* pParent, HWND* pWndTop) {
  HWND hWnd = pParent->GetSafeHwnd();
  if (!hWnd) hWnd = ::GetActiveWindow();
  if (!hWnd) hWnd = AfxGetMainWnd()->GetSafeHwnd();
  // The owner must be a top-level window; its last active pop-up is on top.
  while (hWnd && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  if (pWndTop) *pWndTop = hWnd;
  if (hWnd) hWnd = ::GetLastActivePopup(hWnd);
  return hWnd;
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
  return ::MessageBoxA(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }

BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu->GetSafeHmenu()); }

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }

void CWnd::CreateCaret(CBitmap* pBitmap) { ::CreateCaret(m_hWnd, (HBITMAP)pBitmap->GetSafeHandle(), 0, 0); }

int CWnd::GetCheckedRadioButton(int nIDFirst, int nIDLast) const {
  for (int nID = nIDFirst; nID <= nIDLast; ++nID)
    if (::IsDlgButtonChecked(m_hWnd, nID)) return nID;
  return 0;
}

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const {
  for (HWND hChild = ::GetTopWindow(m_hWnd); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
    if (::GetDlgCtrlID(hChild) == nID) {
      CWnd* pWnd = bOnlyPerm ? FromHandlePermanent(hChild) : FromHandle(hChild);
      if (pWnd) return pWnd;
    }
    CWnd child(hChild);
    CWnd* pFound = child.GetDescendantWindow(nID, bOnlyPerm);
    child.m_hWnd = nullptr;
    if (pFound) return pFound;
  }
  return nullptr;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm) {
  for (HWND hChild = ::GetTopWindow(m_hWnd); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
    if (bOnlyPerm) {
      if (CWnd* pWnd = FromHandlePermanent(hChild)) AfxCallWndProc(pWnd, hChild, message, wParam, lParam);
    } else {
      ::SendMessageA(hChild, message, wParam, lParam);
    }
    if (bDeep && ::GetTopWindow(hChild)) {
      CWnd child(hChild);
      child.SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
      child.m_hWnd = nullptr;
    }
  }
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  CWnd wndTemp;  // stands for each child in turn
  CCmdUI state;
  for (HWND hChild = ::GetTopWindow(m_hWnd); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
    wndTemp.m_hWnd = hChild;
    state.m_nID = (UINT)::GetDlgCtrlID(hChild);
    state.m_pOther = &wndTemp;
    // This window's own update handlers come first.
    if (CWnd::OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr)) continue;
    // Only plain push buttons go grey for want of a handler.
    BOOL bDisable = bDisableIfNoHndler;
    if (bDisable) {
      if (!(::SendMessageA(hChild, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) {
        bDisable = FALSE;
      } else {
        UINT nStyle = (UINT)(::GetWindowLongPtrA(hChild, GWL_STYLE) & 0x0F);
        if (nStyle == BS_AUTOCHECKBOX || nStyle == BS_AUTO3STATE || nStyle == BS_GROUPBOX ||
            nStyle == BS_AUTORADIOBUTTON)
          bDisable = FALSE;
      }
    }
    state.DoUpdate(pTarget, bDisable);
  }
  wndTemp.m_hWnd = nullptr;
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  HWND hCenter = pAlternateOwner->GetSafeHwnd();
  DWORD dwStyle = GetStyle();
  if (!hCenter) hCenter = (dwStyle & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
  RECT rcArea, rcCenter, rcWnd;
  ::GetWindowRect(m_hWnd, &rcWnd);
  if (dwStyle & WS_CHILD) {
    HWND hParent = ::GetParent(m_hWnd);
    ::GetClientRect(hParent, &rcArea);
    if (hCenter && hCenter != hParent) {
      ::GetWindowRect(hCenter, &rcCenter);
      ::MapWindowPoints(nullptr, hParent, (LPPOINT)&rcCenter, 2);
    } else {
      rcCenter = rcArea;
    }
    ::MapWindowPoints(nullptr, hParent, (LPPOINT)&rcWnd, 2);
  } else {
    // Over a visible owner, else over the monitor's work area; never off it.
    MONITORINFO mi = {sizeof mi};
    HMONITOR hMon =
        ::MonitorFromWindow(hCenter && ::IsWindowVisible(hCenter) ? hCenter : m_hWnd, MONITOR_DEFAULTTONEAREST);
    ::GetMonitorInfoA(hMon, &mi);
    rcArea = mi.rcWork;
    if (hCenter && ::IsWindowVisible(hCenter) && !::IsIconic(hCenter))
      ::GetWindowRect(hCenter, &rcCenter);
    else
      rcCenter = rcArea;
  }
  int w = rcWnd.right - rcWnd.left, h = rcWnd.bottom - rcWnd.top;
  int x = (rcCenter.left + rcCenter.right) / 2 - w / 2;
  int y = (rcCenter.top + rcCenter.bottom) / 2 - h / 2;
  if (x + w > rcArea.right) x = rcArea.right - w;
  if (x < rcArea.left) x = rcArea.left;
  if (y + h > rcArea.bottom) y = rcArea.bottom - h;
  if (y < rcArea.top) y = rcArea.top;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Scroll bars: a sibling control stands in for the window's own bar.
int CWnd::GetScrollPos(int nBar) const {
  if (CScrollBar* pBar = GetScrollBarCtrl(nBar)) return pBar->GetScrollPos();
  return ::GetScrollPos(m_hWnd, nBar);
}

int CWnd::SetScrollPos(int nBar, int nPos, BOOL bRedraw) {
  if (CScrollBar* pBar = GetScrollBarCtrl(nBar)) return pBar->SetScrollPos(nPos, bRedraw);
  return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw);
}

void CWnd::GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const {
  if (CScrollBar* pBar = GetScrollBarCtrl(nBar))
    pBar->GetScrollRange(lpMinPos, lpMaxPos);
  else
    ::GetScrollRange(m_hWnd, nBar, lpMinPos, lpMaxPos);
}

void CWnd::SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
  if (CScrollBar* pBar = GetScrollBarCtrl(nBar))
    pBar->SetScrollRange(nMinPos, nMaxPos, bRedraw);
  else
    ::SetScrollRange(m_hWnd, nBar, nMinPos, nMaxPos, bRedraw);
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask) {
  if (CScrollBar* pBar = GetScrollBarCtrl(nBar)) return pBar->GetScrollInfo(lpScrollInfo, nMask);
  lpScrollInfo->cbSize = sizeof(SCROLLINFO);
  lpScrollInfo->fMask = nMask;
  return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw) {
  if (CScrollBar* pBar = GetScrollBarCtrl(nBar)) return pBar->SetScrollInfo(lpScrollInfo, bRedraw);
  lpScrollInfo->cbSize = sizeof(SCROLLINFO);
  ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
  return TRUE;
}

int CWnd::GetScrollLimit(int nBar) {
  if (CScrollBar* pBar = GetScrollBarCtrl(nBar)) return pBar->GetScrollLimit();
  SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE};
  if (!::GetScrollInfo(m_hWnd, nBar, &si)) return 0;
  int limit = si.nMax - (si.nPage ? (int)si.nPage - 1 : 0);
  return limit > si.nMin ? limit : si.nMin;
}

void CWnd::ShowScrollBar(UINT nBar, BOOL bShow) {
  if (CScrollBar* pBar = GetScrollBarCtrl((int)nBar))
    pBar->ShowScrollBar(bShow);
  else
    ::ShowScrollBar(m_hWnd, nBar, bShow);
}

BOOL CWnd::EnableScrollBar(int nSBFlags, UINT nArrowFlags) {
  if (CScrollBar* pBar = GetScrollBarCtrl(nSBFlags)) return pBar->EnableScrollBar(nArrowFlags);
  return ::EnableScrollBar(m_hWnd, nSBFlags, nArrowFlags);
}

void CWnd::EnableScrollBarCtrl(int nBar, BOOL bEnable) {
  if (CScrollBar* pBar = GetScrollBarCtrl(nBar)) {
    pBar->EnableWindow(bEnable);
    return;
  }
  if (!bEnable) {
    ::ShowScrollBar(m_hWnd, nBar, FALSE);
  } else {
    ::ShowScrollBar(m_hWnd, nBar, TRUE);
    ::EnableScrollBar(m_hWnd, nBar, ESB_ENABLE_BOTH);
  }
}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType) {
  DWORD dwExStyle = GetExStyle();
  if (nAdjustType == 0) dwExStyle &= ~WS_EX_CLIENTEDGE;
  ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, dwExStyle);
}
