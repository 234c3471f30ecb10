#include "controls/treelist/treelistctrl.h"

#include <cstring>

#include "mfc/globals.h"

IMPLEMENT_DYNAMIC(CTreeListCtrl, CWnd)

namespace {

// Written once on the user-interface thread before workers start.
WNDPROC volatile g_direct = nullptr;

const DWORD kCreateStyle = WS_CHILD | WS_VSCROLL | WS_HSCROLL;
const DWORD kCreateFromItemStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL;
// State bits the row members pass on: selection, focus, bold and the
// state image (items) or only the first three (cells).
const UINT kRowStateMask = 0xFF13;
const UINT kCellStateMask = 0x13;
const int kTextMax = 256;
// Column record mask: cx holds a weight (1 to 255) instead of a width.
const UINT kWeightedColumn = LVCF_SUBITEM;

TVINSERTSTRUCTA MakeInsert(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                           LPARAM lParam, HTREEITEM parent, HTREEITEM after) {
  TVINSERTSTRUCTA ins = {};
  ins.hParent = parent;
  ins.hInsertAfter = after;
  ins.itemex.mask = mask;
  ins.itemex.pszText = const_cast<LPSTR>(text);
  ins.itemex.iImage = image;
  ins.itemex.iSelectedImage = selectedImage;
  ins.itemex.state = state;
  ins.itemex.stateMask = stateMask;
  ins.itemex.lParam = lParam;
  return ins;
}

// The sorted forms carry the compare in hItem and its parameter in the
// lParam field; an item lParam then travels in the word after the record.
void MoveParamBehind(TVINSERTSTRUCTA* ins, bool always) {
  if (ins->itemex.mask & TVIF_PARAM) {
    ins->itemex.mask = (ins->itemex.mask & ~TVIF_PARAM) | TLIF_PARAMINTEGRAL;
    ins->itemex.iIntegral = (int)ins->itemex.lParam;
  } else if (always) {
    ins->itemex.mask |= TLIF_PARAMINTEGRAL;
  }
}

TVINSERTSTRUCTA MakeSortedCB(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                             LPARAM lParam, TreeListCompareProc compare, HTREEITEM parent) {
  TVINSERTSTRUCTA ins = MakeInsert(mask, text, image, selectedImage, state, stateMask, lParam, parent, TLI_SORTCB);
  ins.itemex.hItem = (HTREEITEM)(void*)compare;
  return ins;
}

TVINSERTSTRUCTA MakeSortedBy2(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                              LPARAM lParam, TreeListCompareProc compare, HTREEITEM parent, LPARAM context) {
  TVINSERTSTRUCTA ins = MakeSortedCB(mask, text, image, selectedImage, state, stateMask, lParam, compare, parent);
  MoveParamBehind(&ins, true);
  ins.itemex.lParam = context;
  return ins;
}

TVITEMA MakeStateEx(HTREEITEM item, int column, UINT mask, LPCSTR text, int image, int selectedImage, UINT state,
                    UINT stateMask, LPARAM lParam) {
  TVITEMA tv = {};
  tv.mask = mask | TLIF_CELL;
  tv.hItem = item;
  tv.pszText = const_cast<LPSTR>(text);
  if (text) tv.cchTextMax = kTextMax;
  tv.iImage = image;
  tv.iSelectedImage = selectedImage;
  tv.state = state;
  tv.stateMask = stateMask;
  tv.lParam = lParam;
  tv.cChildren = column;
  return tv;
}

TreeListFindInfo MakeFind(UINT flags, int column, LPCSTR text, LPARAM lParam, UINT state, UINT stateMask) {
  TreeListFindInfo info = {};
  info.flags = flags;
  info.column = column;
  info.state = state;
  info.stateMask = stateMask;
  info.lParam = lParam;
  info.text = text;
  return info;
}

}  // namespace

int CALLBACK TreeListCompareAdapter(HWND, HTREEITEM, LPCSTR siblingText, LPCSTR newText, LPARAM, LPARAM compare) {
  return ((TreeListTextCompare)(void*)compare)(newText, siblingText);
}

WNDPROC CTreeListCtrl::DirectEntry() { return g_direct; }

LRESULT CTreeListCtrl::Direct(UINT msg, WPARAM wParam, LPARAM lParam) const {
  WNDPROC entry = g_direct;
  if (!entry) return 0;
  return entry(m_hWnd, msg, wParam, lParam);
}

BOOL CTreeListCtrl::Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  RegisterTreeListClass(AfxGetInstanceHandle());
  return CWnd::CreateEx(dwExStyle, TREELIST_CLASSNAME, nullptr, dwStyle | kCreateStyle, rect, pParentWnd, nID, nullptr);
}

BOOL CTreeListCtrl::CreateFromItem(DWORD dwExStyle, DWORD dwStyle, UINT itemId, CWnd* pParentWnd, UINT nID) {
  HWND parent = pParentWnd->GetSafeHwnd();
  HWND item = ::GetDlgItem(parent, (int)itemId);
  if (!item) return FALSE;
  RECT rc;
  ::GetWindowRect(item, &rc);
  ::MapWindowPoints(nullptr, parent, (POINT*)&rc, 2);
  RegisterTreeListClass(AfxGetInstanceHandle());
  if (!CWnd::CreateEx(dwExStyle, TREELIST_CLASSNAME, nullptr, dwStyle | kCreateFromItemStyle, rc, pParentWnd, nID,
                      nullptr))
    return FALSE;
  ::SetWindowPos(m_hWnd, item, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW);
  return TRUE;
}

BOOL CTreeListCtrl::FetchDirect(BOOL created) {
  if (!created) return FALSE;
  if (!g_direct) g_direct = (WNDPROC)SendMessage(TLM_OPTION, TLO_DIRECTENTRY, 0);
  return TRUE;
}

BOOL CTreeListCtrl::CreateDirect(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return FetchDirect(Create(dwExStyle, dwStyle, rect, pParentWnd, nID));
}

BOOL CTreeListCtrl::CreateFromItemDirect(DWORD dwExStyle, DWORD dwStyle, UINT itemId, CWnd* pParentWnd, UINT nID) {
  return FetchDirect(CreateFromItem(dwExStyle, dwStyle, itemId, pParentWnd, nID));
}

int CTreeListCtrl::InsertColumn(int index, LPCSTR text, int format, int width, int order) {
  LVCOLUMNA col = {};
  if (text) {
    col.mask |= LVCF_TEXT;
    col.pszText = const_cast<LPSTR>(text);
    col.cchTextMax = kTextMax;
  }
  if (format >= 0) {
    col.mask |= LVCF_FMT | TLCF_SHADED | TLCF_FLAG31;
    col.fmt = format;
  }
  if (width >= 0) {
    col.mask |= LVCF_WIDTH;
    col.cx = width;
  } else {
    col.mask |= kWeightedColumn;
    col.cx = -width;
  }
  if (order != kNoOrder) {
    col.mask |= LVCF_ORDER;
    col.iOrder = order;
  }
  return (int)SendMessage(TLM_INSERTCOLUMN, (WPARAM)index, (LPARAM)&col);
}

HTREEITEM CTreeListCtrl::InsertItemSortedCB(UINT mask, LPCSTR text, int image, int selectedImage, UINT state,
                                            UINT stateMask, LPARAM lParam, TreeListCompareProc compare,
                                            HTREEITEM parent) {
  TVINSERTSTRUCTA ins = MakeSortedCB(mask, text, image, selectedImage, state, stateMask, lParam, compare, parent);
  return InsertItem(&ins);
}

HTREEITEM CTreeListCtrl::InsertItemSorted(UINT mask, LPCSTR text, int image, int selectedImage, UINT state,
                                          UINT stateMask, LPARAM lParam, TreeListTextCompare compare,
                                          HTREEITEM parent) {
  TVINSERTSTRUCTA ins =
      MakeSortedCB(mask, text, image, selectedImage, state, stateMask, lParam, TreeListCompareAdapter, parent);
  MoveParamBehind(&ins, false);
  ins.itemex.lParam = (LPARAM)(void*)compare;
  return InsertItem(&ins);
}

HTREEITEM CTreeListCtrl::InsertItemSortedBy2(UINT mask, LPCSTR text, int image, int selectedImage, UINT state,
                                             UINT stateMask, LPARAM lParam, TreeListCompareProc compare,
                                             HTREEITEM parent, LPARAM context) {
  TVINSERTSTRUCTA ins =
      MakeSortedBy2(mask, text, image, selectedImage, state, stateMask, lParam, compare, parent, context);
  return InsertItem(&ins);
}

int CTreeListCtrl::InsertRow(int row, LPCSTR text, int image, int state, UINT stateMask) {
  HTREEITEM at = (HTREEITEM)SendMessage(TLM_GETROWITEM, 0, (LPARAM)row);
  TVINSERTSTRUCTA ins = MakeInsert(0, text, image, image, (UINT)state, stateMask & kRowStateMask, 0, at ? at : TVI_ROOT,
                                   at ? TLI_BEFORE : TVI_LAST);
  if (text) {
    ins.itemex.mask |= TVIF_TEXT;
    ins.itemex.cchTextMax = kTextMax;
  }
  if (image != -1) ins.itemex.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  if (state != -1) ins.itemex.mask |= TVIF_STATE;
  HTREEITEM item = InsertItem(&ins);
  if (!item) return -1;
  return (int)SendMessage(TLM_GETITEMROW, 0, (LPARAM)item);
}

BOOL CTreeListCtrl::SetCellByRow(int row, int column, LPCSTR text, int image, int state, UINT stateMask) {
  HTREEITEM item = (HTREEITEM)SendMessage(TLM_GETROWITEM, 0, (LPARAM)row);
  if (!item) return FALSE;
  TVITEMA tv = {};
  tv.mask = TLIF_CELL | TVIF_HANDLE;
  tv.hItem = item;
  tv.cChildren = column;
  if (text) {
    tv.mask |= TVIF_TEXT;
    tv.pszText = const_cast<LPSTR>(text);
    tv.cchTextMax = kTextMax;
  }
  if (image != -1) {
    tv.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.iImage = tv.iSelectedImage = image;
  }
  if (state != -1) {
    tv.mask |= TVIF_STATE;
    tv.state = (UINT)state;
    tv.stateMask = stateMask & kCellStateMask;
  }
  return (BOOL)SendMessage(TVM_SETITEMA, 0, (LPARAM)&tv);
}

BOOL CTreeListCtrl::GetCellTextByRow(int row, LPSTR buffer, int size, int column) {
  if (size <= 0) return FALSE;
  buffer[0] = 0;
  HTREEITEM item = (HTREEITEM)SendMessage(TLM_GETROWITEM, 0, (LPARAM)row);
  if (!item) return FALSE;
  TVITEMA tv = {};
  tv.mask = TLIF_CELL | TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = size;
  tv.cChildren = column;
  return (BOOL)SendMessage(TVM_GETITEMA, 0, (LPARAM)&tv);
}

LRESULT CTreeListCtrl::SetItemEx(HTREEITEM item, int column, UINT mask, LPCSTR text, int image, int selectedImage,
                                 UINT state, UINT stateMask, LPARAM lParam) {
  TVITEMA tv = MakeStateEx(item, column, mask, text, image, selectedImage, state, stateMask, lParam);
  return SendMessage(TLM_SETSTATEEX, 0, (LPARAM)&tv);
}

int CTreeListCtrl::CountMatchingItems(HTREEITEM item, UINT mask, UINT state, UINT stateMask, LPARAM lParam, int image) {
  TVITEMA tv = {};
  tv.mask = mask;
  tv.hItem = item;
  tv.state = state;
  tv.stateMask = stateMask;
  tv.iImage = image;
  tv.lParam = lParam;
  return (int)SendMessage(TLM_COUNTITEMS, 0, (LPARAM)&tv);
}

HTREEITEM CTreeListCtrl::FindItem(HTREEITEM start, UINT flags, int column, LPCSTR text, LPARAM lParam, UINT state,
                                  UINT stateMask) {
  TreeListFindInfo info = MakeFind(flags, column, text, lParam, state, stateMask);
  return (HTREEITEM)SendMessage(TLM_FINDITEM, (WPARAM)start, (LPARAM)&info);
}

LRESULT CTreeListCtrl::SetColumnFlags(int column, UINT mask, int fmt, int cx) {
  LVCOLUMNA col = {};
  col.mask = mask;
  col.fmt = fmt;
  col.cx = cx;
  return SendMessage(TLM_SETCOLUMN, (WPARAM)column, (LPARAM)&col);
}

BOOL CTreeListCtrl::SetColumnText(int column, LPCSTR text) {
  LVCOLUMNA col = {};
  col.mask = LVCF_TEXT;
  col.pszText = const_cast<LPSTR>(text);
  col.cchTextMax = text ? (int)strlen(text) : 0;
  return (BOOL)SendMessage(TLM_SETCOLUMN, (WPARAM)column, (LPARAM)&col);
}

BOOL CTreeListCtrl::SetColumnShaded(int column, BOOL on) {
  return (BOOL)SetColumnFlags(column, TLCF_SHADED, on ? (int)TLCF_SHADED : 0, 0);
}

BOOL CTreeListCtrl::SetColumnFlag31(int column, BOOL on) {
  return (BOOL)SetColumnFlags(column, TLCF_FLAG31, on ? (int)TLCF_FLAG31 : 0, 0);
}

BOOL CTreeListCtrl::SetColumnAutoWidth(int column, BOOL on, int width, int fit) {
  UINT mask = TLCF_AUTOWIDTH;
  int fmt = on ? (int)TLCF_AUTOWIDTH : 0;
  if (width >= 0) mask |= LVCF_WIDTH;
  if (fit >= 0) mask |= TLCF_FIT;
  if (fit > 0) fmt = (int)(on ? TLCF_AUTOWIDTH | TLCF_FIT : TLCF_FIT);
  return (BOOL)SetColumnFlags(column, mask, fmt, width >= 0 ? width : 0);
}

BOOL CTreeListCtrl::SetHeaderFormat(int column, UINT what, UINT flag, bool set, LPARAM value, BOOL onRight) {
  HWND header = (HWND)SendMessage(TLM_GETHEADER);
  if (!header) return FALSE;
  HDITEMA hd = {};
  hd.mask = HDI_FORMAT;
  ::SendMessageA(header, HDM_GETITEMA, (WPARAM)column, (LPARAM)&hd);
  hd.fmt = set ? (hd.fmt | (int)flag) : (hd.fmt & ~(int)flag);
  hd.fmt = onRight ? (hd.fmt | HDF_BITMAP_ON_RIGHT) : (hd.fmt & ~HDF_BITMAP_ON_RIGHT);
  hd.mask = HDI_FORMAT | what;
  if (what == HDI_IMAGE)
    hd.iImage = (int)value;
  else
    hd.hbm = (HBITMAP)value;
  return (BOOL)::SendMessageA(header, HDM_SETITEMA, (WPARAM)column, (LPARAM)&hd);
}

BOOL CTreeListCtrl::SetHeaderImage(int column, int image, BOOL onRight) {
  return SetHeaderFormat(column, HDI_IMAGE, HDF_IMAGE, image >= -1, image, onRight);
}

BOOL CTreeListCtrl::SetHeaderBitmap(int column, HBITMAP bitmap, BOOL onRight) {
  return SetHeaderFormat(column, HDI_BITMAP, HDF_BITMAP, bitmap != nullptr, (LPARAM)bitmap, onRight);
}

CImageList* CTreeListCtrl::CreateDragImage(HTREEITEM item, int column) {
  HIMAGELIST list = (HIMAGELIST)SendMessage(TVM_CREATEDRAGIMAGE, (WPARAM)column, (LPARAM)item);
  if (!list) return nullptr;
  CImageList* result = new CImageList;
  result->Attach(list);
  return result;
}

CWnd* CTreeListCtrl::EditLabel(HTREEITEM item, UINT flags) {
  return FromHandle((HWND)SendMessage(TVM_EDITLABELA, flags, (LPARAM)item));
}

BOOL CTreeListCtrl::EditCell(HTREEITEM item, int column) {
  return (BOOL)SendMessage(TVM_EDITLABELA, TL_EDITLABEL_ASK | (WPARAM)(column & 0xFF), (LPARAM)item);
}

HTREEITEM CTreeListCtrl::InsertItemDirect(UINT mask, LPCSTR text, int image, int selectedImage, UINT state,
                                          UINT stateMask, LPARAM lParam, HTREEITEM parent, HTREEITEM after) {
  TVINSERTSTRUCTA ins =
      MakeInsert(mask | TLIF_DIRECT, text, image, selectedImage, state, stateMask, lParam, parent, after);
  return (HTREEITEM)Direct(TVM_INSERTITEMA, 0, (LPARAM)&ins);
}

HTREEITEM CTreeListCtrl::InsertItemSortedCBDirect(UINT mask, LPCSTR text, int image, int selectedImage, UINT state,
                                                  UINT stateMask, LPARAM lParam, TreeListCompareProc compare,
                                                  HTREEITEM parent) {
  TVINSERTSTRUCTA ins =
      MakeSortedCB(mask | TLIF_DIRECT, text, image, selectedImage, state, stateMask, lParam, compare, parent);
  return (HTREEITEM)Direct(TVM_INSERTITEMA, 0, (LPARAM)&ins);
}

// Without TLIF_DIRECT: the compare runs with the record as given.
HTREEITEM CTreeListCtrl::InsertItemSortedBy2Direct(UINT mask, LPCSTR text, int image, int selectedImage, UINT state,
                                                   UINT stateMask, LPARAM lParam, TreeListCompareProc compare,
                                                   HTREEITEM parent, LPARAM context) {
  TVINSERTSTRUCTA ins =
      MakeSortedBy2(mask, text, image, selectedImage, state, stateMask, lParam, compare, parent, context);
  return (HTREEITEM)Direct(TVM_INSERTITEMA, 0, (LPARAM)&ins);
}

HTREEITEM CTreeListCtrl::FindItemDirect(HTREEITEM start, UINT flags, int column, LPCSTR text, LPARAM lParam, UINT state,
                                        UINT stateMask) {
  TreeListFindInfo info = MakeFind(flags, column, text, lParam, state, stateMask);
  return (HTREEITEM)Direct(TLM_FINDITEM, (WPARAM)start, (LPARAM)&info);
}

LRESULT CTreeListCtrl::SetItemExDirect(HTREEITEM item, int column, UINT mask, LPCSTR text, int image, int selectedImage,
                                       UINT state, UINT stateMask, LPARAM lParam) {
  TVITEMA tv = MakeStateEx(item, column, mask | TLIF_DIRECT, text, image, selectedImage, state, stateMask, lParam);
  return Direct(TLM_SETSTATEEX, 0, (LPARAM)&tv);
}

BOOL CTreeListCtrl::SortChildren(HTREEITEM parent, BOOL recurse) {
  return (BOOL)SendMessage(TVM_SORTCHILDREN, recurse ? 1 : 0, (LPARAM)parent);
}

BOOL CTreeListCtrl::SortChildrenCB(LPTVSORTCB sort, BOOL recurse) {
  return (BOOL)SendMessage(TVM_SORTCHILDRENCB, recurse ? 1 : 0, (LPARAM)sort);
}

BOOL CTreeListCtrl::SortChildrenEx(HTREEITEM parent, TreeListSortProc compare, LPARAM lParam, BOOL recurse) {
  TLSORTCBEX sort = {parent, compare, lParam};
  return (BOOL)SendMessage(TLM_SORTCHILDRENEX, recurse ? 1 : 0, (LPARAM)&sort);
}
