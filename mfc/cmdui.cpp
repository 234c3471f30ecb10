#include "mfc/menu.h"
#include "mfc/msgmap.h"
#include "mfc/wnd.h"

void CCmdUI::Enable(BOOL bOn) {
  if (m_pMenu) {
    if (m_pSubMenu) return;  // a pop-up's own item is left alone
    m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
  } else if (m_pOther) {
    // Move the focus on before the window that has it goes grey.
    if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
      HWND hParent = ::GetParent(m_pOther->m_hWnd);
      if (HWND hNext = ::GetNextDlgTabItem(hParent, m_pOther->m_hWnd, FALSE)) ::SetFocus(hNext);
    }
    m_pOther->EnableWindow(bOn);
  }
  m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck) {
  if (m_pMenu) {
    if (m_pSubMenu) return;
    m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
  } else if (m_pOther) {
    if (m_pOther->SendMessage(WM_GETDLGCODE) & DLGC_BUTTON) m_pOther->SendMessage(BM_SETCHECK, nCheck);
  }
}

void CCmdUI::SetRadio(BOOL bOn) {
  if (m_pMenu && !m_pSubMenu) {
    MENUITEMINFOA mii = {sizeof mii, MIIM_FTYPE | MIIM_STATE};
    ::GetMenuItemInfoA(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii);
    mii.fType = bOn ? (mii.fType | MFT_RADIOCHECK) : (mii.fType & ~MFT_RADIOCHECK);
    mii.fState = bOn ? (mii.fState | MFS_CHECKED) : (mii.fState & ~MFS_CHECKED);
    ::SetMenuItemInfoA(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii);
    return;
  }
  SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCSTR lpszText) {
  if (m_pMenu) {
    if (m_pSubMenu) return;
    MENUITEMINFOA mii = {sizeof mii, MIIM_STRING};
    mii.dwTypeData = const_cast<LPSTR>(lpszText);
    ::SetMenuItemInfoA(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii);
  } else if (m_pOther) {
    CString old;
    m_pOther->GetWindowText(old);
    if (old != lpszText) m_pOther->SetWindowText(lpszText);
  }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF) return TRUE;  // not a command
  m_bEnableChanged = FALSE;
  BOOL bResult = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
  if (bDisableIfNoHndler && !m_bEnableChanged) {
    AFX_CMDHANDLERINFO info = {};
    Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
  }
  return bResult;
}
