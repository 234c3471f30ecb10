// CTreeCtrl: wrapper of a tree-view window (and of controls that answer the
// tree-view messages). When its window goes, it takes back from the control
// the image lists that have framework objects, so that the control never
// refers to a list that its owner deletes; lists that belong to the control
// itself are left to it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "mfc/wnd.h"

class CEdit;
class CImageList;

class CTreeCtrl : public CWnd {
  DECLARE_DYNAMIC(CTreeCtrl)

 public:
  CTreeCtrl() = default;
  ~CTreeCtrl() override;

  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  HTREEITEM InsertItem(LPTVINSERTSTRUCTA lpInsertStruct) {
    return (HTREEITEM)SendMessage(TVM_INSERTITEMA, 0, (LPARAM)lpInsertStruct);
  }
  HTREEITEM InsertItem(UINT nMask, LPCSTR lpszItem, int nImage, int nSelectedImage, UINT nState, UINT nStateMask,
                       LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter);
  HTREEITEM InsertItem(LPCSTR lpszItem, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST) {
    return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
  }
  HTREEITEM InsertItem(LPCSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent = TVI_ROOT,
                       HTREEITEM hInsertAfter = TVI_LAST) {
    return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, lpszItem, nImage, nSelectedImage, 0, 0, 0, hParent,
                      hInsertAfter);
  }
  BOOL DeleteItem(HTREEITEM hItem) { return (BOOL)SendMessage(TVM_DELETEITEM, 0, (LPARAM)hItem); }
  BOOL DeleteAllItems() { return (BOOL)SendMessage(TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT); }
  BOOL Expand(HTREEITEM hItem, UINT nCode) { return (BOOL)SendMessage(TVM_EXPAND, nCode, (LPARAM)hItem); }

  HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const {
    return (HTREEITEM)SendMessage(TVM_GETNEXTITEM, nCode, (LPARAM)hItem);
  }
  HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
  HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
  HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
  HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
  HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
  HTREEITEM GetPrevVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUSVISIBLE); }
  HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
  HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }

  BOOL GetItem(TVITEMA* pItem) const { return (BOOL)SendMessage(TVM_GETITEMA, 0, (LPARAM)pItem); }
  BOOL SetItem(TVITEMA* pItem) { return (BOOL)SendMessage(TVM_SETITEMA, 0, (LPARAM)pItem); }
  BOOL SetItem(HTREEITEM hItem, UINT nMask, LPCSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
               UINT nStateMask, LPARAM lParam);
  CString GetItemText(HTREEITEM hItem) const;
  BOOL SetItemText(HTREEITEM hItem, LPCSTR lpszItem) { return SetItem(hItem, TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0); }
  BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;
  BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage) {
    return SetItem(hItem, TVIF_IMAGE | TVIF_SELECTEDIMAGE, nullptr, nImage, nSelectedImage, 0, 0, 0);
  }
  UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const {
    return (UINT)SendMessage(TVM_GETITEMSTATE, (WPARAM)hItem, nStateMask);
  }
  BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask) {
    return SetItem(hItem, TVIF_STATE, nullptr, 0, 0, nState, nStateMask, 0);
  }
  DWORD_PTR GetItemData(HTREEITEM hItem) const;
  BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData) {
    return SetItem(hItem, TVIF_PARAM, nullptr, 0, 0, 0, 0, (LPARAM)dwData);
  }
  BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;
  BOOL ItemHasChildren(HTREEITEM hItem) const;
  BOOL GetCheck(HTREEITEM hItem) const { return ((GetItemState(hItem, TVIS_STATEIMAGEMASK) >> 12) - 1) != 0; }
  BOOL SetCheck(HTREEITEM hItem, BOOL fCheck = TRUE) {
    return SetItemState(hItem, INDEXTOSTATEIMAGEMASK(fCheck ? 2 : 1), TVIS_STATEIMAGEMASK);
  }

  BOOL Select(HTREEITEM hItem, UINT nCode) { return (BOOL)SendMessage(TVM_SELECTITEM, nCode, (LPARAM)hItem); }
  BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
  BOOL SelectDropTarget(HTREEITEM hItem) { return Select(hItem, TVGN_DROPHILITE); }
  BOOL SelectSetFirstVisible(HTREEITEM hItem) { return Select(hItem, TVGN_FIRSTVISIBLE); }
  BOOL EnsureVisible(HTREEITEM hItem) { return (BOOL)SendMessage(TVM_ENSUREVISIBLE, 0, (LPARAM)hItem); }
  BOOL SortChildren(HTREEITEM hItem) { return (BOOL)SendMessage(TVM_SORTCHILDREN, 0, (LPARAM)hItem); }
  BOOL SortChildrenCB(LPTVSORTCB pSort) { return (BOOL)SendMessage(TVM_SORTCHILDRENCB, 0, (LPARAM)pSort); }

  HTREEITEM HitTest(CPoint pt, UINT* pFlags = nullptr) const;
  HTREEITEM HitTest(TVHITTESTINFO* pHitTestInfo) const {
    return (HTREEITEM)SendMessage(TVM_HITTEST, 0, (LPARAM)pHitTestInfo);
  }

  // The previous list (as a temporary wrapper when it has no object).
  CImageList* SetImageList(CImageList* pImageList, int nImageListType);
  CImageList* GetImageList(int nImageListType) const;
  CImageList* CreateDragImage(HTREEITEM hItem);
  CEdit* EditLabel(HTREEITEM hItem);
  CEdit* GetEditControl() const;
  UINT GetCount() const { return (UINT)SendMessage(TVM_GETCOUNT); }
  UINT GetVisibleCount() const { return (UINT)SendMessage(TVM_GETVISIBLECOUNT); }
  UINT GetIndent() const { return (UINT)SendMessage(TVM_GETINDENT); }
  void SetIndent(UINT nIndent) { SendMessage(TVM_SETINDENT, nIndent); }
  SHORT GetItemHeight() const { return (SHORT)SendMessage(TVM_GETITEMHEIGHT); }
  SHORT SetItemHeight(SHORT cyHeight) { return (SHORT)SendMessage(TVM_SETITEMHEIGHT, cyHeight); }
  COLORREF SetBkColor(COLORREF clr) { return (COLORREF)SendMessage(TVM_SETBKCOLOR, 0, clr); }
  COLORREF SetTextColor(COLORREF clr) { return (COLORREF)SendMessage(TVM_SETTEXTCOLOR, 0, clr); }
  HWND GetToolTips() const { return (HWND)SendMessage(TVM_GETTOOLTIPS); }
  DWORD GetExtendedStyle() const { return (DWORD)SendMessage(TVM_GETEXTENDEDSTYLE); }
  DWORD SetExtendedStyle(DWORD dwExMask, DWORD dwExStyles) {
    return (DWORD)SendMessage(TVM_SETEXTENDEDSTYLE, dwExMask, dwExStyles);
  }

 protected:
  afx_msg void OnDestroy();
  void RemoveImageList(int nImageList);

  DECLARE_MESSAGE_MAP()
};
