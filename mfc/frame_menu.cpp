// CFrameWnd: menu command UI, the status bar's prompts and idle text, and the
// key-state indicators.
#include "mfc/frame.h"
#include "mfc/menu.h"
#include "mfc/resstring.h"

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu) {
  if (bSysMenu || !pPopupMenu) return;
  CCmdUI state;
  state.m_pMenu = pPopupMenu;
  state.m_nIndexMax = (UINT)pPopupMenu->GetMenuItemCount();
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = pPopupMenu->GetMenuItemID((int)state.m_nIndex);
    if (state.m_nID == 0) continue;  // a separator
    if (state.m_nID == (UINT)-1) {
      // A sub-menu's item is updated as its first command; never disabled
      // for want of a handler.
      state.m_pSubMenu = pPopupMenu->GetSubMenu((int)state.m_nIndex);
      if (!state.m_pSubMenu) continue;
      state.m_nID = state.m_pSubMenu->GetMenuItemID(0);
      if (state.m_nID == 0 || state.m_nID == (UINT)-1) continue;
      state.DoUpdate(this, FALSE);
    } else {
      state.m_pSubMenu = nullptr;
      state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
    }
    // An update handler may have added or removed items.
    UINT nCount = (UINT)pPopupMenu->GetMenuItemCount();
    state.m_nIndexMax = nCount;
  }
}

LRESULT CFrameWnd::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
  UINT nItemID = LOWORD(wParam);
  UINT nFlags = HIWORD(wParam);
  if (nFlags == 0xFFFF && !lParam)
    m_nIDTracking = AFX_IDS_IDLEMESSAGE;  // the menu closed
  else if (nItemID == 0 || (nFlags & (MF_SEPARATOR | MF_POPUP)) || nItemID >= 0xF000)
    m_nIDTracking = 0;  // nothing to say about it
  else
    m_nIDTracking = nItemID;
  if (m_nIDTracking != m_nIDLastMessage) SetMessageText(m_nIDTracking);
  return 0;
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const {
  CString strFull;
  if (AfxLoadString(strFull, nID))
    AfxExtractSubString(rMessage, strFull, 0);
  else
    rMessage.Empty();
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
  UINT nIDLast = m_nIDLastMessage;
  if (CWnd* pMessageBar = GetMessageBar()) {
    CString strMessage;
    LPCSTR lpsz = reinterpret_cast<LPCSTR>(lParam);
    if (!lpsz && wParam) {
      GetMessageString((UINT)wParam, strMessage);
      lpsz = strMessage;
    }
    pMessageBar->SetWindowText(lpsz ? lpsz : "");
  }
  m_nIDLastMessage = m_nIDTracking = (UINT)wParam;
  return nIDLast;
}

void CFrameWnd::SetMessageText(LPCSTR lpszText) { SendMessage(WM_SETMESSAGESTRING, 0, (LPARAM)lpszText); }

void CFrameWnd::SetMessageText(UINT nID) { SendMessage(WM_SETMESSAGESTRING, nID); }

CWnd* CFrameWnd::GetMessageBar() { return GetDescendantWindow(AFX_IDW_STATUS_BAR, TRUE); }

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI) {
  int nVirtKey = pCmdUI->m_nID == ID_INDICATOR_CAPS  ? VK_CAPITAL
                 : pCmdUI->m_nID == ID_INDICATOR_NUM ? VK_NUMLOCK
                                                     : VK_SCROLL;
  // Shown while the key's lock is on.
  pCmdUI->Enable(::GetKeyState(nVirtKey) & 1);
}
