// The framework face of the "TreeList" control: creators, members that send
// one message with a record built from plain arguments, and the direct-call
// entry through which any thread calls the window procedure as a function.
#pragma once

#include "controls/treelist/treelist.h"
#include "mfc/imagelist.h"
#include "mfc/treectrl.h"

// Two-argument text compare of the sorted inserts: (new text, sibling's text).
typedef int(CALLBACK* TreeListTextCompare)(LPCSTR, LPCSTR);

// The callback form of a sorted insert that applies the two-argument
// compare carried in the record's lParam to (new text, sibling's text).
int CALLBACK TreeListCompareAdapter(HWND hwnd, HTREEITEM sibling, LPCSTR siblingText, LPCSTR newText,
                                    LPARAM siblingParam, LPARAM compare);

class CTreeListCtrl : public CTreeCtrl {
  DECLARE_DYNAMIC(CTreeListCtrl)

 public:
  CTreeListCtrl() = default;

  // The control's window procedure once a CreateDirect or
  // CreateFromItemDirect fetched it; 0 before. Never cleared.
  static WNDPROC DirectEntry();

  BOOL Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  // Over the dialog item itemId, right after it in the Z-order.
  BOOL CreateFromItem(DWORD dwExStyle, DWORD dwStyle, UINT itemId, CWnd* pParentWnd, UINT nID);
  BOOL CreateDirect(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL CreateFromItemDirect(DWORD dwExStyle, DWORD dwStyle, UINT itemId, CWnd* pParentWnd, UINT nID);

  // text may be NULL, format -1, order 0x8000 for none; a negative width is
  // a weight.
  int InsertColumn(int index, LPCSTR text, int format, int width, int order = kNoOrder);
  // InsertItem with the nine plain arguments is CTreeCtrl's.
  HTREEITEM InsertItemSortedCB(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                               LPARAM lParam, TreeListCompareProc compare, HTREEITEM parent);
  HTREEITEM InsertItemSorted(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                             LPARAM lParam, TreeListTextCompare compare, HTREEITEM parent);
  HTREEITEM InsertItemSortedBy(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                               LPARAM lParam, TreeListTextCompare compare, HTREEITEM parent) {
    return InsertItemSorted(mask, text, image, selectedImage, state, stateMask, lParam, compare, parent);
  }
  HTREEITEM InsertItemSortedBy2(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                                LPARAM lParam, TreeListCompareProc compare, HTREEITEM parent, LPARAM context);
  // The new item's row, -1 when the insert failed.
  int InsertRow(int row, LPCSTR text, int image = -1, int state = -1, UINT stateMask = 0);
  BOOL SetCellByRow(int row, int column, LPCSTR text, int image = -1, int state = -1, UINT stateMask = 0);
  BOOL GetCellTextByRow(int row, LPSTR buffer, int size, int column);
  LRESULT SetItemEx(HTREEITEM item, int column, UINT mask, LPCSTR text, int image, int selectedImage, UINT state,
                    UINT stateMask, LPARAM lParam);
  int CountMatchingItems(HTREEITEM item, UINT mask, UINT state, UINT stateMask, LPARAM lParam, int image);
  HTREEITEM FindItem(HTREEITEM start, UINT flags, int column, LPCSTR text, LPARAM lParam, UINT state, UINT stateMask);
  BOOL SetColumnText(int column, LPCSTR text);
  BOOL SetColumnShaded(int column, BOOL on);
  BOOL SetColumnFlag31(int column, BOOL on);
  BOOL SetColumnAutoWidth(int column, BOOL on, int width = -1, int fit = -1);
  BOOL SetHeaderImage(int column, int image, BOOL onRight);
  BOOL SetHeaderBitmap(int column, HBITMAP bitmap, BOOL onRight);
  // Sorts with the recurse flag; the one-argument forms are CTreeCtrl's.
  using CTreeCtrl::SortChildren;
  using CTreeCtrl::SortChildrenCB;
  BOOL SortChildren(HTREEITEM parent, BOOL recurse);
  BOOL SortChildrenCB(LPTVSORTCB sort, BOOL recurse);
  BOOL SortChildrenEx(HTREEITEM parent, TreeListSortProc compare, LPARAM lParam, BOOL recurse = FALSE);
  // Dragging: the item at the cursor (TLM_BEGINDRAG), the drop mark
  // (height 0 = a frame; NULL removes it), auto-scroll (interval 0 stops)
  // and the drag options; each returns the control's answer.
  BOOL BeginDrag(HTREEITEM item) { return (BOOL)SendMessage(TLM_BEGINDRAG, 0, (LPARAM)item); }
  HTREEITEM SetDropMark(HTREEITEM item, int height = 0) {
    return (HTREEITEM)SendMessage(TLM_SETDROPMARK, (WPARAM)height, (LPARAM)item);
  }
  BOOL SetAutoScroll(UINT mode, UINT interval) { return (BOOL)SendMessage(TLM_SETAUTOSCROLL, mode, interval); }
  UINT SetDragOptions(UINT options) { return (UINT)SendMessage(TLM_OPTION, TLO_SET | TLO_DRAGOPTIONS, options); }
  BOOL SetHotItem(HTREEITEM item, int column = 0) {
    return (BOOL)SendMessage(TLM_SETHOTITEM, (WPARAM)column, (LPARAM)item);
  }
  using CTreeCtrl::CreateDragImage;
  // A new list the caller deletes; NULL when the control made none.
  CImageList* CreateDragImage(HTREEITEM item, int column);

  // Through the direct-call entry, from any thread; 0 while it is unset.
  HTREEITEM InsertItemDirect(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                             LPARAM lParam, HTREEITEM parent, HTREEITEM after);
  HTREEITEM InsertItemSortedCBDirect(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                                     LPARAM lParam, TreeListCompareProc compare, HTREEITEM parent);
  HTREEITEM InsertItemSortedBy2Direct(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                                      LPARAM lParam, TreeListCompareProc compare, HTREEITEM parent, LPARAM context);
  HTREEITEM FindItemDirect(HTREEITEM start, UINT flags, int column, LPCSTR text, LPARAM lParam, UINT state,
                           UINT stateMask);
  LRESULT SetItemExDirect(HTREEITEM item, int column, UINT mask, LPCSTR text, int image, int selectedImage, UINT state,
                          UINT stateMask, LPARAM lParam);

  static const int kNoOrder = 0x8000;

 private:
  LRESULT Direct(UINT msg, WPARAM wParam, LPARAM lParam) const;
  LRESULT SetColumnFlags(int column, UINT mask, int fmt, int cx);
  BOOL SetHeaderFormat(int column, UINT what, UINT flag, bool set, LPARAM value, BOOL onRight);
  BOOL FetchDirect(BOOL created);
};
