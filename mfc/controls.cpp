#include "mfc/controls.h"

#include "mfc/imagelist.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBoxEx, CComboBox)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CStatusBarCtrl, CWnd)

BOOL AfxInitCommonControls(DWORD dwClasses) {
  static volatile LONG registered = 0;
  if ((registered & (LONG)dwClasses) == (LONG)dwClasses) return TRUE;
  INITCOMMONCONTROLSEX icc = {sizeof icc, dwClasses};
  if (!::InitCommonControlsEx(&icc)) return FALSE;
  InterlockedOr(&registered, (LONG)dwClasses);
  return TRUE;
}

int CEdit::GetLine(int nIndex, LPSTR lpszBuffer, int nMaxLength) const {
  if (nMaxLength < 1) return 0;
  *(WORD*)lpszBuffer = (WORD)(nMaxLength < 0xFFFF ? nMaxLength : 0xFFFF);  // EM_GETLINE reads the size from the buffer
  if (nMaxLength == 1) lpszBuffer[0] = 0;
  return (int)SendMessage(EM_GETLINE, nIndex, (LPARAM)lpszBuffer);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
  int n = GetLBTextLen(nIndex);
  if (n == CB_ERR) {
    rString.Empty();
    return;
  }
  n = GetLBText(nIndex, rString.GetBuffer(n));
  rString.ReleaseBuffer(n == CB_ERR ? 0 : n);
}

BOOL CComboBoxEx::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  AfxInitCommonControls(ICC_USEREX_CLASSES);
  return CWnd::Create(WC_COMBOBOXEXA, nullptr, dwStyle, rect, pParentWnd, nID);
}

CImageList* CComboBoxEx::SetImageList(CImageList* pImageList) {
  return CImageList::FromHandle((HIMAGELIST)SendMessage(CBEM_SETIMAGELIST, 0, (LPARAM)pImageList->GetSafeHandle()));
}

CImageList* CComboBoxEx::GetImageList() const {
  return CImageList::FromHandle((HIMAGELIST)SendMessage(CBEM_GETIMAGELIST));
}

void CListBox::GetText(int nIndex, CString& rString) const {
  int n = GetTextLen(nIndex);
  if (n == LB_ERR) {
    rString.Empty();
    return;
  }
  n = GetText(nIndex, rString.GetBuffer(n));
  rString.ReleaseBuffer(n == LB_ERR ? 0 : n);
}

UINT CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const {
  DWORD r = (DWORD)SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
  bOutside = HIWORD(r) != 0;
  return LOWORD(r);
}

int CScrollBar::GetScrollLimit() {
  SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE};
  if (!::GetScrollInfo(m_hWnd, SB_CTL, &si)) return 0;
  int limit = si.nMax - (si.nPage ? (int)si.nPage - 1 : 0);
  return limit > si.nMin ? limit : si.nMin;
}

BOOL CStatusBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  AfxInitCommonControls(ICC_BAR_CLASSES);
  return CWnd::Create(STATUSCLASSNAMEA, nullptr, dwStyle, rect, pParentWnd, nID);
}

int CStatusBarCtrl::GetTextLength(int nPane, int* pType) const {
  DWORD r = (DWORD)SendMessage(SB_GETTEXTLENGTHA, nPane);
  if (pType) *pType = HIWORD(r);
  return LOWORD(r);
}

CString CStatusBarCtrl::GetText(int nPane, int* pType) const {
  CString s;
  int n = GetTextLength(nPane);
  DWORD r = (DWORD)SendMessage(SB_GETTEXTA, nPane, (LPARAM)s.GetBuffer(n));
  s.ReleaseBuffer(LOWORD(r) < n ? LOWORD(r) : n);
  if (pType) *pType = HIWORD(r);
  return s;
}
