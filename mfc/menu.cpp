#include "mfc/menu.h"

#include "mfc/gdi.h"
#include "mfc/globals.h"
#include "mfc/handlemap.h"
#include "mfc/wnd.h"

IMPLEMENT_DYNAMIC(CMenu, CObject)

CHandleMap& afxMapHMENU() { return AfxHandleMapOf<CMenu, HMENU, &CMenu::m_hMenu>(AfxHandleMenu); }

CMenu* CMenu::FromHandle(HMENU hMenu) { return static_cast<CMenu*>(afxMapHMENU().FromHandle(hMenu)); }

CMenu* CMenu::FromHandlePermanent(HMENU hMenu) {
  return hMenu ? static_cast<CMenu*>(afxMapHMENU().LookupPermanent(hMenu)) : nullptr;
}

void CMenu::DeleteTempMap() { AfxGetThreadState()->DeleteTempMap(AfxHandleMenu); }

BOOL CMenu::Attach(HMENU hMenu) { return AfxAttachHandle(afxMapHMENU(), this, m_hMenu, hMenu); }

HMENU CMenu::Detach() { return AfxDetachHandle(afxMapHMENU(), this, m_hMenu); }

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  return ::DestroyMenu(Detach());
}

BOOL CMenu::LoadMenu(LPCSTR lpszResourceName) { return Attach(::LoadMenuA(AfxGetResourceHandle(), lpszResourceName)); }

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const CBitmap* pBmp) {
  return ::AppendMenuA(m_hMenu, nFlags | MF_BITMAP, nIDNewItem, (LPCSTR)pBmp->GetSafeHandle());
}

BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked) {
  return ::SetMenuItemBitmaps(m_hMenu, nPosition, nFlags, (HBITMAP)pBmpUnchecked->GetSafeHandle(),
                              (HBITMAP)pBmpChecked->GetSafeHandle());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  int n = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
  if (n <= 0) {
    rString.Empty();
    return 0;
  }
  n = ::GetMenuStringA(m_hMenu, nIDItem, rString.GetBuffer(n), n + 1, nFlags);
  rString.ReleaseBuffer(n);
  return n;
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd->GetSafeHwnd(), lpRect);
}
