// CTreeWnd: hit tests, entry access and selection, the notifications of the
// key tree and the entry list, keys, focus, commands, renaming, deleting and
// creating folders and items.
#include <cstring>

#include "app/browser/treewnd.h"
#include "app/statuspanes.h"

namespace {

const char kPaneProp[] = "TreeWndPane";
const char kOldProcProp[] = "TreeWndEditProc";

LRESULT CALLBACK ComboEditSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC old = (WNDPROC)GetPropA(hwnd, kOldProcProp);
  HWND pane = (HWND)GetPropA(hwnd, kPaneProp);
  if (msg == WM_KEYDOWN && pane) {
    if (wParam == VK_RETURN) PostMessageA(pane, WM_COMMAND, ID_TREEWND_GO, 0);
    if (wParam == VK_F5) PostMessageA(pane, WM_COMMAND, ID_TREEWND_REFRESH, 0);
    if (wParam == VK_TAB) {
      PostMessageA(pane, WM_COMMAND, ID_TREEWND_NEXTPART, 0);
      return 0;
    }
  } else if (msg == WM_CHAR && wParam == VK_TAB) {
    return 0;
  } else if (msg == WM_NCDESTROY) {
    RemovePropA(hwnd, kPaneProp);
    RemovePropA(hwnd, kOldProcProp);
    if (old) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)old);
  }
  return old ? CallWindowProcA(old, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool SameNoCase(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

void DropFinalSlash(char* path) {
  size_t n = strlen(path);
  if (n > 0 && path[n - 1] == '\\') path[n - 1] = 0;
}

}  // namespace

void SubclassComboEdit(CTreeWnd* pane, HWND edit) {
  if (!edit) return;
  SetPropA(edit, kPaneProp, pane->m_hWnd);
  SetPropA(edit, kOldProcProp, (HANDLE)GetWindowLongPtrA(edit, GWLP_WNDPROC));
  SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)ComboEditSubclassProc);
}

// --- hit tests and entries --------------------------------------------------------

int CTreeWnd::HitTest(int x, int y, UINT_PTR* item, int* column) {
  if (item) *item = 0;
  if (column) *column = -1;
  POINT pt = {x, y};
  HWND under = ::WindowFromPoint(pt);
  if (under == m_tree.m_hWnd && m_tree.IsWindowVisible()) {
    TVHITTESTINFO hit = {};
    hit.pt = pt;
    m_tree.ScreenToClient(&hit.pt);
    HTREEITEM h = (HTREEITEM)m_tree.SendMessage(TVM_HITTEST, 0, (LPARAM)&hit);
    if (hit.flags & (TVHT_ABOVE | TVHT_BELOW)) h = nullptr;
    if (item) *item = (UINT_PTR)h;
    return 1;
  }
  if (under == m_list.m_hWnd && m_list.IsWindowVisible()) {
    TVHITTESTINFO hit = {};
    hit.pt = pt;
    m_list.ScreenToClient(&hit.pt);
    HTREEITEM h = (HTREEITEM)m_list.SendMessage(TVM_HITTEST, 0, (LPARAM)&hit);
    int row = h ? (int)m_list.SendMessage(TLM_GETITEMROW, 0, (LPARAM)h) : -1;
    if (!h || (hit.flags & (TVHT_ABOVE | TVHT_BELOW)) || row < 0) return 5;
    if (item) *item = (UINT_PTR)row;
    if (column) *column = (int)(hit.flags >> 24);
    return 2;
  }
  if (under && (under == m_combo.m_hWnd || ::IsChild(m_combo.m_hWnd, under))) return 3;
  if (m_dropTest && m_dropTest(x, y, item, m_dropUser)) return 4;
  return 0;
}

BOOL CTreeWnd::SelectEntry(int index, BOOL focus) {
  HTREEITEM item = (HTREEITEM)m_list.SendMessage(TLM_GETROWITEM, 0, index);
  if (index < 0 || !item) return FALSE;
  m_list.SendMessage(TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
  SelectListRows(item, false);
  if (focus) m_list.SetFocus();
  return TRUE;
}

BOOL CTreeWnd::SelectEntryByName(const char* name, BOOL focus) {
  if (!name) return FALSE;
  int index = m_entries.FindString((int)strlen(name), name, 0, -1, CTextList::kFindNoCase);
  return index >= 0 && SelectEntry(index, focus);
}

void CTreeWnd::ScrollToEntry(int index) {
  HTREEITEM item = (HTREEITEM)m_list.SendMessage(TLM_GETROWITEM, 0, index);
  if (item) m_list.SendMessage(TVM_ENSUREVISIBLE, (WPARAM)-1, (LPARAM)item);
}

void CTreeWnd::RefreshEntry(int index) {
  if ((unsigned)index >= (unsigned)m_entries.count) return;
  HTREEITEM item = (HTREEITEM)m_list.SendMessage(TLM_GETROWITEM, 0, index);
  if (!item) return;
  // The data source's word may point at what the fill read: stale now.
  ((TreeWndEntry*)m_entries.items[index])->reserved = 0;
  m_currentEntry = index;
  SetItemColumns(item);
  m_currentEntry = -1;
}

void CTreeWnd::SelectListRows(HTREEITEM keep, bool select) {
  // Every row but keep gets the selection state; the control's own
  // subtree selection would do the same in one message.
  int rows = (int)m_list.SendMessage(TLM_GETROWCOUNT);
  for (int row = 0; row < rows; ++row) {
    HTREEITEM item = (HTREEITEM)m_list.SendMessage(TLM_GETROWITEM, 0, row);
    if (!item || item == keep) continue;
    bool selected = (m_list.SendMessage(TVM_GETITEMSTATE, (WPARAM)item, TVIS_SELECTED) & TVIS_SELECTED) != 0;
    if (selected == select) continue;
    TVITEMA tv = {};
    tv.mask = TVIF_STATE;
    tv.hItem = item;
    tv.state = select ? TVIS_SELECTED : 0;
    tv.stateMask = TVIS_SELECTED;
    m_list.SendMessage(TVM_SETITEMA, 0, (LPARAM)&tv);
  }
}

int CTreeWnd::GetSelectedEntry() {
  HTREEITEM item = (HTREEITEM)m_list.SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
  return item ? (int)m_list.SendMessage(TLM_GETITEMROW, 0, (LPARAM)item) : -1;
}

int CTreeWnd::GetSelectedEntries(CTextList* list, int mode) {
  list->RemoveAll();
  if (mode == 0) {
    HWND focus = ::GetFocus();
    mode = focus == m_tree.m_hWnd ? 1 : focus == m_list.m_hWnd ? 2 : 0;
  }
  char path[kTreeWndPathBuffer + 300];
  if (mode == 1) {
    HTREEITEM item = (HTREEITEM)m_tree.SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
    int n = item ? GetItemPath(item, path, sizeof path) : 0;
    if (n >= 4) path[n - 1] = 0;
    if (n) list->InsertString(path);
  } else if (mode == 2) {
    int rows = (int)m_list.SendMessage(TLM_GETROWCOUNT);
    for (int row = 0; row < rows; ++row) {
      HTREEITEM item = (HTREEITEM)m_list.SendMessage(TLM_GETROWITEM, 0, row);
      if (!(m_list.SendMessage(TVM_GETITEMSTATE, (WPARAM)item, TVIS_SELECTED) & TVIS_SELECTED)) continue;
      int n = GetEntryPath(row, path, sizeof path);
      if (n >= 4 && path[n - 1] == '\\') path[n - 1] = 0;
      if (n) list->InsertString(path);
    }
  }
  return list->count;
}

void CTreeWnd::FocusList() {
  m_list.SetFocus();
  if (!m_list.SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0)) SelectEntry(0, FALSE);
}

HWND CTreeWnd::FocusNext(int part) {
  bool treeShown = !(m_style & TWS_NOTREE), listShown = !(m_style & TWS_NOLIST),
       comboShown = !(m_style & TWS_NOPATHBAR);
  if (part == -3) part = m_lastFocus;
  CWnd* target = nullptr;
  if (part == 1 && treeShown)
    target = &m_tree;
  else if (part == 2 && listShown)
    target = &m_list;
  else if (part == 3 && comboShown)
    target = &m_combo;
  else if (part == -1 && GetKeyState(VK_SHIFT) < 0)
    target = listShown ? (CWnd*)&m_list : treeShown ? (CWnd*)&m_tree : comboShown ? (CWnd*)&m_combo : nullptr;
  else
    target = comboShown ? (CWnd*)&m_combo : treeShown ? (CWnd*)&m_tree : listShown ? (CWnd*)&m_list : nullptr;
  if (!target) return nullptr;
  return ::SetFocus(target->m_hWnd);
}

void CTreeWnd::TabFrom(int part, bool shift) {
  bool treeShown = !(m_style & TWS_NOTREE), listShown = !(m_style & TWS_NOLIST),
       comboShown = !(m_style & TWS_NOPATHBAR), out = (m_style & TWS_TABOUT) != 0;
  // The order of the parts to try: 1 tree, 2 list, 3 combo, 0 out of the pane.
  int order[3];
  if (part == 1)
    shift ? (order[0] = 3, order[1] = 0, order[2] = 2) : (order[0] = 2, order[1] = 0, order[2] = 3);
  else if (part == 2)
    shift ? (order[0] = 1, order[1] = 3, order[2] = 0) : (order[0] = 0, order[1] = 3, order[2] = 1);
  else
    shift ? (order[0] = 0, order[1] = 2, order[2] = 1) : (order[0] = 1, order[1] = 2, order[2] = 0);
  for (int p : order) {
    if (p == 0 && out) {
      CWnd* parent = GetParent();
      if (parent) parent->SetFocus();
      return;
    }
    if (p == 1 && treeShown) return (void)m_tree.SetFocus();
    if (p == 2 && listShown) return (void)m_list.SetFocus();
    if (p == 3 && comboShown) return (void)m_combo.SetFocus();
  }
}

void CTreeWnd::OnNextPart() { TabFrom(3, GetKeyState(VK_SHIFT) < 0); }

void CTreeWnd::OnSetFocus(CWnd* old) {
  CWnd::OnSetFocus(old);
  ShowStatusPanes();
  FocusNext(-3);
}

void CTreeWnd::ShowStatusPanes() {
  InterlockedExchange(&m_contentChanged, 1);
  CWnd* main = AfxGetMainWnd();
  if (!main || !main->m_hWnd || main->SendMessage(WM_QUERYPANESERVICE) != kPaneServiceMarker) return;
  static UINT ids[2] = {0, 0};
  static int widths[2];
  widths[0] = -15;
  widths[1] = -10;
  StatusPaneBlock block = {(INT_PTR)ids, (INT_PTR)widths, 2, 0, 0};
  main->SendMessage(WM_STATUSPANES, kSetPanes, (LPARAM)&block);
}

void CTreeWnd::RemoveStatusPanes() {
  CWnd* main = AfxGetMainWnd();
  if (!main || !main->m_hWnd || main->SendMessage(WM_QUERYPANESERVICE) != kPaneServiceMarker) return;
  StatusPaneBlock block = {0, 0, 0, 0, 0};
  main->SendMessage(WM_STATUSPANES, kSetPanes, (LPARAM)&block);
}

namespace {
void NotifyParentFocus(CWnd* pane) {
  NMHDR nm = {pane->GetSafeHwnd(), (UINT_PTR)pane->GetDlgCtrlID(), (UINT)NM_SETFOCUS};
  if (CWnd* parent = pane->GetParent()) parent->SendMessage(WM_NOTIFY, nm.idFrom, (LPARAM)&nm);
}
}  // namespace

void CTreeWnd::OnComboSetFocus() {
  m_lastFocus = 3;
  NotifyParentFocus(this);
}

void CTreeWnd::OnTreeSetFocus(NMHDR*, LRESULT* result) {
  m_lastFocus = 1;
  NotifyParentFocus(this);
  *result = 0;
}

void CTreeWnd::OnListSetFocus(NMHDR*, LRESULT* result) {
  m_lastFocus = 2;
  NotifyParentFocus(this);
  *result = 0;
}

void CTreeWnd::OnListSelChanged(NMHDR*, LRESULT* result) {
  InterlockedExchange(&m_contentChanged, 1);
  *result = 0;
}

void CTreeWnd::OnContentChangedCmd() { OnContentChanged(); }

void CTreeWnd::OnListHeaderClick(NMHDR* nm, LRESULT* result) {
  *result = 0;
  if (m_style & TWS_NOHEADERSORT) return;
  int column = ((NMHEADERA*)nm)->iItem;
  int descending = column == m_sortColumn ? !m_sortDescending : 0;
  if (SortList(column, descending)) {
    m_sortColumn = column;
    m_sortDescending = descending;
  }
}

// --- keys, double-click and Return ---------------------------------------------------

void CTreeWnd::EnterFolder(int index) {
  char path[kTreeWndPathBuffer + 300];
  if (GetEntryPath(index, path, sizeof path)) NavigateTo(path, 1);
}

void CTreeWnd::OnListKeyDown(NMHDR* nm, LRESULT* result) {
  NMTVKEYDOWN* key = (NMTVKEYDOWN*)nm;
  bool shift = GetKeyState(VK_SHIFT) < 0;
  *result = 1;
  switch (key->wVKey) {
    case VK_RETURN: {
      int index = GetSelectedEntry();
      if (index >= 0 && index < m_entries.count && ((TreeWndEntry*)m_entries.items[index])->folder != kEntryItem)
        EnterFolder(index);
      else
        *result = 0;
      break;
    }
    case VK_F5:
      OnRefresh();
      break;
    case VK_F2:
      if (m_style & TWS_EDITLABELS)
        Rename();
      else
        *result = 0;
      break;
    case VK_TAB:
      TabFrom(2, shift);
      break;
    case VK_DELETE:
      if (m_style & TWS_DELETE)
        DeleteSelectedEntries();
      else
        *result = 0;
      break;
    default:
      *result = 0;
  }
}

void CTreeWnd::OnTreeKeyDown(NMHDR* nm, LRESULT* result) {
  NMTVKEYDOWN* key = (NMTVKEYDOWN*)nm;
  bool shift = GetKeyState(VK_SHIFT) < 0;
  *result = 1;
  switch (key->wVKey) {
    case VK_TAB:
      TabFrom(1, shift);
      break;
    case VK_F5:
      OnRefresh();
      break;
    case VK_F2:
      if (m_style & TWS_EDITLABELS)
        Rename();
      else
        *result = 0;
      break;
    case VK_DELETE:
      if (m_style & TWS_DELETE)
        DeleteTreeItem((HTREEITEM)m_tree.SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0));
      else
        *result = 0;
      break;
    default:
      *result = 0;
  }
}

void CTreeWnd::OnListDblClk(NMHDR*, LRESULT* result) {
  *result = 0;
  DWORD pos = GetMessagePos();
  TVHITTESTINFO hit = {};
  hit.pt.x = (short)LOWORD(pos);
  hit.pt.y = (short)HIWORD(pos);
  m_list.ScreenToClient(&hit.pt);
  HTREEITEM item = (HTREEITEM)m_list.SendMessage(TVM_HITTEST, 0, (LPARAM)&hit);
  int row = item ? (int)m_list.SendMessage(TLM_GETITEMROW, 0, (LPARAM)item) : -1;
  if (row < 0 || row >= m_shownCount || row >= m_entries.count) return;
  if (((TreeWndEntry*)m_entries.items[row])->folder != kEntryItem) return EnterFolder(row);
  m_lastFocus = 2;
  NMTREEWNDENTRY nmEntry = {{m_hWnd, (UINT_PTR)GetDlgCtrlID(), (UINT)NM_DBLCLK}, 1, 0, (DWORD)row, 0};
  if (CWnd* parent = GetParent()) parent->SendMessage(WM_NOTIFY, nmEntry.hdr.idFrom, (LPARAM)&nmEntry);
}

void CTreeWnd::OnListReturn(NMHDR*, LRESULT* result) {
  *result = 0;
  int row = GetSelectedEntry();
  if (row < 0 || row >= m_shownCount || row >= m_entries.count) return;
  if (((TreeWndEntry*)m_entries.items[row])->folder != kEntryItem) return EnterFolder(row);
  m_lastFocus = 2;
  NMTREEWNDENTRY nmEntry = {{m_hWnd, (UINT_PTR)GetDlgCtrlID(), (UINT)NM_RETURN}, 1, 0, (DWORD)row, 0};
  if (CWnd* parent = GetParent()) parent->SendMessage(WM_NOTIFY, nmEntry.hdr.idFrom, (LPARAM)&nmEntry);
}

void CTreeWnd::OnSelectAll() {
  SelectListRows(nullptr, true);
  m_list.SetFocus();
}

void CTreeWnd::OnDelete() {
  if (!(m_style & TWS_DELETE)) return;
  if (::GetFocus() == m_tree.m_hWnd)
    DeleteTreeItem((HTREEITEM)m_tree.SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0));
  else
    DeleteSelectedEntries();
}

// --- deleting ---------------------------------------------------------------------------

void CTreeWnd::RemoveEntry(int index) {
  if ((unsigned)index >= (unsigned)m_entries.count) return;
  m_entries.RemoveAt(index);
  if (m_shownCount > 0) --m_shownCount;
}

int CTreeWnd::DeleteSelectedEntries() {
  WaitForListThread();
  int rows = (int)m_list.SendMessage(TLM_GETROWCOUNT);
  // Indexes first: every removal moves the rows below it up by one.
  int* selected = new int[rows > 0 ? rows : 1];
  int count = 0;
  for (int row = 0; row < rows && row < m_entries.count; ++row) {
    HTREEITEM item = (HTREEITEM)m_list.SendMessage(TLM_GETROWITEM, 0, row);
    if (item && (m_list.SendMessage(TVM_GETITEMSTATE, (WPARAM)item, TVIS_SELECTED) & TVIS_SELECTED))
      selected[count++] = row;
  }
  int deleted = 0;
  bool folderGone = false;
  char path[kTreeWndPathBuffer + 300];
  for (int k = 0; k < count; ++k) {
    int index = selected[k] - deleted;
    HTREEITEM item = (HTREEITEM)m_list.SendMessage(TLM_GETROWITEM, 0, index);
    if (!item || !GetEntryPath(index, path, sizeof path)) continue;
    DropFinalSlash(path);
    bool folder = ((TreeWndEntry*)m_entries.items[index])->folder != kEntryItem;
    char name[300];
    lstrcpynA(name, m_entries.TextAt(index), sizeof name);
    UINT flags = (UINT)(m_list.SendMessage(TLM_GETITEMPARAM, 0, (LPARAM)item) & 0xFFF);
    if (k + 1 < count) flags |= kDeleteMore;
    if (k == 0) flags |= kDeleteFirst;
    m_currentEntry = index;
    m_deleteConfirmed = k > 0;
    int r = DeleteItems(path, name, flags);
    m_deleteConfirmed = false;
    m_currentEntry = -1;
    if (r < 0) break;
    if (r == 0) continue;
    m_list.SendMessage(TVM_DELETEITEM, 0, (LPARAM)item);
    RemoveEntry(index);
    ++deleted;
    folderGone = folderGone || folder;
  }
  delete[] selected;
  if (folderGone && !(m_style & TWS_ITEMSONLY) && m_path) ExpandToPath(m_pathNoSlash, 0, nullptr);
  return deleted;
}

int CTreeWnd::DeleteTreeItem(HTREEITEM item) {
  if (!item) return 0;
  char path[kTreeWndPathBuffer + 8];
  if (!GetItemPath(item, path, sizeof path)) return 0;
  DropFinalSlash(path);
  const char* slash = strrchr(path, '\\');
  const char* name = slash ? slash + 1 : path;
  UINT flags = (UINT)(TreeParam(item) & kTreeItemLevelMask);
  WaitForListThread();
  int r = DeleteItems(path, name, flags);
  if (r <= 0) return r;
  ForgetOpenItemBelow(item);
  TreeDirect(TVM_DELETEITEM, TLDI_DEFERRED, (LPARAM)item);
  m_tree.SendMessage(TLM_RUNDEFERRED);
  return r;
}

void CTreeWnd::OnKeyDeleted(const char* keyPath) {
  // keyPath: the deleted key without a final "\".
  HTREEITEM item = ExpandToPath(keyPath, 0, nullptr);
  char itemPath[kTreeWndPathBuffer + 8];
  if (item && GetItemPath(item, itemPath, sizeof itemPath)) {
    DropFinalSlash(itemPath);
    if (SameNoCase(itemPath, keyPath)) ForgetOpenItemBelow(item);
  }
  int n = (int)strlen(keyPath);
  if (!m_path || m_pathLength < n + 1 || m_path[n] != '\\' ||
      CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, m_path, n, keyPath, n) != CSTR_EQUAL)
    return;
  // The shown key or one below it is gone: show the deleted key's parent.
  char parent[kTreeWndPathBuffer + 8];
  lstrcpynA(parent, keyPath, sizeof parent);
  char* slash = strrchr(parent, '\\');
  if (!slash) return;
  *slash = 0;
  m_openItem = nullptr;
  NavigateTo(parent, 1);
}

// --- renaming ------------------------------------------------------------------------------

void CTreeWnd::Rename() {
  if (!(m_style & TWS_EDITLABELS)) return;
  bool tree = ::GetFocus() == m_tree.m_hWnd;
  CTreeListCtrl& ctrl = tree ? m_tree : m_list;
  HTREEITEM item = (HTREEITEM)ctrl.SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
  if (item) ctrl.SendMessage(TVM_EDITLABELA, 0x80000000, (LPARAM)item);
}

void CTreeWnd::OnListBeginEdit(NMHDR* nm, LRESULT* result) {
  NMTVDISPINFOA* info = (NMTVDISPINFOA*)nm;
  *result = 1;
  if (!(m_style & TWS_EDITLABELS)) return;
  int row = (int)m_list.SendMessage(TLM_GETITEMROW, 0, (LPARAM)info->item.hItem);
  char path[kTreeWndPathBuffer + 300];
  if (!GetEntryPath(row, path, sizeof path)) return;
  DropFinalSlash(path);
  UINT flags = (UINT)(m_list.SendMessage(TLM_GETITEMPARAM, 0, (LPARAM)info->item.hItem) & 0xFFF);
  m_currentEntry = row;
  int allowed = CanRenameItem(path, info->item.pszText, flags);
  m_currentEntry = -1;
  if (!allowed) return;
  m_editing |= 2;
  *result = 0;
}

void CTreeWnd::OnTreeBeginEdit(NMHDR* nm, LRESULT* result) {
  NMTVDISPINFOA* info = (NMTVDISPINFOA*)nm;
  *result = 1;
  if (!(m_style & TWS_EDITLABELS)) return;
  char path[kTreeWndPathBuffer + 8];
  if (!GetItemPath(info->item.hItem, path, sizeof path)) return;
  DropFinalSlash(path);
  UINT flags = (UINT)(TreeParam(info->item.hItem) & kTreeItemLevelMask);
  if (!CanRenameItem(path, info->item.pszText, flags)) return;
  m_editing |= 1;
  *result = 0;
}

void CTreeWnd::OnListEndEdit(NMHDR* nm, LRESULT* result) {
  NMTVDISPINFOA* info = (NMTVDISPINFOA*)nm;
  m_editing &= ~2;
  *result = 0;
  if (!(m_style & TWS_EDITLABELS) || (info->item.mask & 0x1000000) || !info->item.pszText || !*info->item.pszText)
    return;
  int row = (int)m_list.SendMessage(TLM_GETITEMROW, 0, (LPARAM)info->item.hItem);
  if (!RenameEntry(row, info->item.pszText)) *result = 1;
}

void CTreeWnd::OnTreeEndEdit(NMHDR* nm, LRESULT* result) {
  NMTVDISPINFOA* info = (NMTVDISPINFOA*)nm;
  m_editing &= ~1;
  *result = 0;
  if (!(m_style & TWS_EDITLABELS) || (info->item.mask & 0x1000000) || !info->item.pszText || !*info->item.pszText)
    return;
  if (!RenameTreeItem(info->item.hItem, info->item.pszText)) *result = 1;
}

int CTreeWnd::RenameEntry(int index, const char* newName) {
  WaitForListThread();
  HTREEITEM item = (HTREEITEM)m_list.SendMessage(TLM_GETROWITEM, 0, index);
  char path[kTreeWndPathBuffer + 300];
  if (!item || !newName || !*newName || !GetEntryPath(index, path, sizeof path)) return 0;
  DropFinalSlash(path);
  UINT flags = (UINT)(m_list.SendMessage(TLM_GETITEMPARAM, 0, (LPARAM)item) & 0xFFF);
  m_currentEntry = index;
  m_renamedText.Empty();
  int renamed = RenameItem(path, newName, flags);
  m_currentEntry = -1;
  if (!renamed) return 0;
  CString stored = m_renamedText.IsEmpty() ? CString(newName) : m_renamedText;
  newName = stored;
  TreeWndEntry e = *(TreeWndEntry*)m_entries.items[index];
  m_entries.SetString(newName, index, &e);
  TVITEMA tv = {};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = const_cast<char*>(newName);
  m_list.SendMessage(TVM_SETITEMA, 0, (LPARAM)&tv);
  if (e.folder != kEntryItem && !(m_style & TWS_ITEMSONLY)) ExpandToPath(m_pathNoSlash, 0, nullptr);
  return 1;
}

int CTreeWnd::RenameTreeItem(HTREEITEM item, const char* newName) {
  char path[kTreeWndPathBuffer + 8];
  if (!item || !newName || !*newName || !GetItemPath(item, path, sizeof path)) return 0;
  DropFinalSlash(path);
  UINT flags = (UINT)(TreeParam(item) & kTreeItemLevelMask);
  WaitForListThread();
  m_renamedText.Empty();
  if (!RenameItem(path, newName, flags)) return 0;
  CString stored = m_renamedText.IsEmpty() ? CString(newName) : m_renamedText;
  newName = stored;
  TVITEMA tv = {};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = const_cast<char*>(newName);
  m_tree.SendMessage(TVM_SETITEMA, 0, (LPARAM)&tv);
  HTREEITEM parent = TreeNext(item, TVGN_PARENT);
  m_tree.SendMessage(TVM_SORTCHILDREN, 0, (LPARAM)parent);
  // The shown path lay at or below the renamed key: it follows the new name.
  int n = (int)strlen(path);
  if (m_path && m_pathLength > n && m_path[n] == '\\' &&
      CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, m_path, n, path, n) == CSTR_EQUAL) {
    char newPath[kTreeWndPathBuffer + 300];
    const char* slash = strrchr(path, '\\');
    int parentLength = slash ? (int)(slash - path) + 1 : 0;
    int total = parentLength + (int)strlen(newName) + (m_pathLength - n);
    if (total < kTreeWndPathBuffer - 1) {
      memcpy(newPath, path, parentLength);
      strcpy(newPath + parentLength, newName);
      strcat(newPath, m_path + n);
      memcpy(m_path, newPath, total + 1);
      m_pathLength = total;
      m_pathNoSlashLength = total - 1;
      memcpy(m_pathNoSlash, newPath, total - 1);
      m_pathNoSlash[total - 1] = 0;
      SetComboPath(m_pathNoSlash, m_pathNoSlashLength, m_level);
    }
  }
  return 1;
}

// --- new items and folders ---------------------------------------------------------------

int CTreeWnd::NewItemAt(const char* path, int mode, DWORD type) {
  if (path && ShowPath(path, nullptr, 0, 1) < 0) return -1;
  if (!m_path) return 0;
  WaitForListThread();
  char name[300] = "";
  int index = NewItem(&m_entries, m_path, name, type);
  if (index < 0) return 0;
  const TreeWndEntry* e = (const TreeWndEntry*)m_entries.items[index];
  LPARAM data = kTreeItemMarker | ((LPARAM)m_rootIndex << kTreeItemRootShift) | m_level | kEntryIsItem;
  HTREEITEM item =
      m_list.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, m_entries.TextAt(index), e->image,
                        e->image, 0, 0, data, TVI_ROOT, (HTREEITEM)(ULONG_PTR)(0xFFE00000 + index));
  if (item) {
    m_currentEntry = index;
    SetItemColumns(item);
    m_currentEntry = -1;
    OnListFillEnd();
  }
  m_list.SendMessage(TLM_RUNDEFERRED);
  m_shownCount = m_entries.count;
  if (mode >= 1 && item) {
    m_list.SendMessage(TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    SelectListRows(item, false);
    m_list.SendMessage(TVM_ENSUREVISIBLE, (WPARAM)-1, (LPARAM)item);
    if (mode == 2 && (m_style & TWS_EDITLABELS)) {
      m_list.SetFocus();
      m_list.SendMessage(TVM_EDITLABELA, 0x80000000, (LPARAM)item);
    }
  }
  return 1;
}

int CTreeWnd::NewFolderAt(const char* path, int mode, HTREEITEM* itemOut) {
  if (itemOut) *itemOut = nullptr;
  if (path && ShowPath(path, nullptr, 0, 1) < 0) return 0;
  if (!m_path) return 0;
  bool inTree = (m_style & TWS_ITEMSONLY) || m_lastFocus == 1;
  if (inTree ? (m_style & TWS_NOTREE) : (m_style & TWS_NOLIST)) return 0;
  WaitForListThread();
  char name[300] = "";
  int r = NewFolder(&m_entries, m_path, name);
  if (r <= 0) return 0;
  HTREEITEM parent = m_openItem ? m_openItem : (HTREEITEM)m_tree.SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
  HTREEITEM child = nullptr;
  if (parent) {
    FillTreeChildren(parent, nullptr, 1);
    m_tree.SendMessage(TLM_RUNDEFERRED);
    child = m_tree.FindItem(parent, TLFI_TEXT | TLFI_NOCASE | TLFI_FROMCHILD, 0, name, 0, 0, 0);
    if (mode >= 1) m_tree.SendMessage(TVM_EXPAND, TVE_EXPAND | TLE_ANCESTORS, (LPARAM)parent);
  }
  if (!(m_style & TWS_ITEMSONLY)) {
    RefillEntries(0);
    FillListProc();
    m_list.SendMessage(TLM_RUNDEFERRED);
    m_shownCount = m_entries.count;
  }
  if (r != 0x7FFFFFFF && mode != 1) {
    if (mode == 2 && (m_style & TWS_EDITLABELS)) {
      HTREEITEM entry = (HTREEITEM)m_list.SendMessage(TLM_GETROWITEM, 0, r);
      if (entry) m_list.SendMessage(TVM_EDITLABELA, 0x80000000, (LPARAM)entry);
    }
    if (itemOut) *itemOut = (HTREEITEM)(INT_PTR)r;
    return 2;
  }
  if (mode >= 1) {
    char newPath[kTreeWndPathBuffer + 300];
    lstrcpynA(newPath, m_path, kTreeWndPathBuffer);
    lstrcatA(newPath, name);
    ShowPath(newPath, nullptr, 0, 1);
    child = m_openItem;
    if (mode == 2 && child && (m_style & TWS_EDITLABELS)) {
      m_tree.SetFocus();
      m_tree.SendMessage(TVM_EDITLABELA, 0x80000000, (LPARAM)child);
    }
  }
  if (itemOut) *itemOut = child;
  return 1;
}

void CTreeWnd::OnNewFolder() { NewFolderAt(nullptr, 2, nullptr); }
