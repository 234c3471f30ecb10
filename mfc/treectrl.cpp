#include "mfc/treectrl.h"

#include "mfc/controls.h"
#include "mfc/imagelist.h"

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

BEGIN_MESSAGE_MAP(CTreeCtrl, CWnd)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CTreeCtrl::~CTreeCtrl() { DestroyWindow(); }

BOOL CTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  AfxInitCommonControls(ICC_TREEVIEW_CLASSES);
  return CWnd::Create(WC_TREEVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CTreeCtrl::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  AfxInitCommonControls(ICC_TREEVIEW_CLASSES);
  return CWnd::CreateEx(dwExStyle, WC_TREEVIEWA, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

void CTreeCtrl::RemoveImageList(int nImageList) {
  // Only lists that the framework owns are taken back; the control may
  // own others (or answer for several kinds with one list).
  HIMAGELIST h = (HIMAGELIST)SendMessage(TVM_GETIMAGELIST, nImageList);
  if (h && CImageList::FromHandlePermanent(h)) SendMessage(TVM_SETIMAGELIST, nImageList, 0);
}

void CTreeCtrl::OnDestroy() {
  RemoveImageList(TVSIL_NORMAL);
  RemoveImageList(TVSIL_STATE);
  CWnd::OnDestroy();
}

HTREEITEM CTreeCtrl::InsertItem(UINT nMask, LPCSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                                UINT nStateMask, LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter) {
  TVINSERTSTRUCTA tvis = {};
  tvis.hParent = hParent;
  tvis.hInsertAfter = hInsertAfter;
  tvis.item.mask = nMask;
  tvis.item.pszText = const_cast<LPSTR>(lpszItem);
  tvis.item.iImage = nImage;
  tvis.item.iSelectedImage = nSelectedImage;
  tvis.item.state = nState;
  tvis.item.stateMask = nStateMask;
  tvis.item.lParam = lParam;
  return InsertItem(&tvis);
}

BOOL CTreeCtrl::SetItem(HTREEITEM hItem, UINT nMask, LPCSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                        UINT nStateMask, LPARAM lParam) {
  TVITEMA item = {};
  item.hItem = hItem;
  item.mask = nMask;
  item.pszText = const_cast<LPSTR>(lpszItem);
  item.iImage = nImage;
  item.iSelectedImage = nSelectedImage;
  item.state = nState;
  item.stateMask = nStateMask;
  item.lParam = lParam;
  return SetItem(&item);
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const {
  // Grows the buffer until the text fits.
  CString s;
  for (int size = 256;; size *= 2) {
    TVITEMA item = {};
    item.hItem = hItem;
    item.mask = TVIF_TEXT;
    item.pszText = s.GetBuffer(size);
    item.cchTextMax = size + 1;
    item.pszText[0] = 0;
    if (!GetItem(&item)) {
      s.ReleaseBuffer(0);
      return s;
    }
    if (item.pszText != s.GetString()) {  // the control gave its own buffer
      s.ReleaseBuffer(0);
      s = item.pszText;
      return s;
    }
    s.ReleaseBuffer();
    if (s.GetLength() < size || size >= 1 << 20) return s;
  }
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const {
  TVITEMA item = {};
  item.hItem = hItem;
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  BOOL ok = GetItem(&item);
  if (ok) {
    nImage = item.iImage;
    nSelectedImage = item.iSelectedImage;
  }
  return ok;
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const {
  TVITEMA item = {};
  item.hItem = hItem;
  item.mask = TVIF_PARAM;
  return GetItem(&item) ? (DWORD_PTR)item.lParam : 0;
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const {
  *(HTREEITEM*)lpRect = hItem;
  return (BOOL)SendMessage(TVM_GETITEMRECT, bTextOnly, (LPARAM)lpRect);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const {
  TVITEMA item = {};
  item.hItem = hItem;
  item.mask = TVIF_CHILDREN;
  return GetItem(&item) && item.cChildren != 0;
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const {
  TVHITTESTINFO hti = {};
  hti.pt = pt;
  HTREEITEM h = HitTest(&hti);
  if (pFlags) *pFlags = hti.flags;
  return h;
}

CImageList* CTreeCtrl::SetImageList(CImageList* pImageList, int nImageListType) {
  return CImageList::FromHandle(
      (HIMAGELIST)SendMessage(TVM_SETIMAGELIST, nImageListType, (LPARAM)pImageList->GetSafeHandle()));
}

CImageList* CTreeCtrl::GetImageList(int nImageListType) const {
  return CImageList::FromHandle((HIMAGELIST)SendMessage(TVM_GETIMAGELIST, nImageListType));
}

CImageList* CTreeCtrl::CreateDragImage(HTREEITEM hItem) {
  HIMAGELIST h = (HIMAGELIST)SendMessage(TVM_CREATEDRAGIMAGE, 0, (LPARAM)hItem);
  if (!h) return nullptr;
  CImageList* pList = new CImageList;  // the caller's
  pList->Attach(h);
  return pList;
}

CEdit* CTreeCtrl::EditLabel(HTREEITEM hItem) {
  return static_cast<CEdit*>(FromHandle((HWND)SendMessage(TVM_EDITLABELA, 0, (LPARAM)hItem)));
}

CEdit* CTreeCtrl::GetEditControl() const {
  return static_cast<CEdit*>(FromHandle((HWND)SendMessage(TVM_GETEDITCONTROL)));
}
