// CTreeWnd: showing a path, walking and filling the key tree, the history
// ring, the path combo and the timers that delay navigation.
#include <cstring>

#include "app/browser/treewnd.h"
#include "system/regkeystack.h"
#include "text/compare/naturalcompare.h"

namespace {

struct CWalkLock {
  explicit CWalkLock(CRITICAL_SECTION* cs) : m_cs(cs) { EnterCriticalSection(cs); }
  ~CWalkLock() { LeaveCriticalSection(m_cs); }
  CRITICAL_SECTION* m_cs;
};

bool SameNoCase(const char* a, int na, const char* b, int nb) {
  return na == nb && CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, na, b, nb) == CSTR_EQUAL;
}

// Copies at most max characters; returns the length.
int CopyBounded(char* dst, const char* src, int max) {
  int n = 0;
  while (n < max && src[n]) {
    dst[n] = src[n];
    ++n;
  }
  dst[n] = 0;
  return n;
}

}  // namespace

const char* CTreeWnd::NavigateTo(const char* path, int historyMode) {
  m_pendingSelect = nullptr;
  ShowPath(path, nullptr, 0, historyMode);
  return GetPath();
}

int CTreeWnd::ShowPath(const char* pathArg, const char* second, int fillMode, int historyMode) {
  char path[kTreeWndPathBuffer + 4];
  bool refresh = pathArg == nullptr;
  int n = 0;
  if (refresh) {
    n = CopyBounded(path, GetPathNoSlash(), kTreeWndMaxPath - 1);
  } else {
    n = CopyBounded(path, pathArg, kTreeWndMaxPath - 1);
    if (second) n += CopyBounded(path + n, second, kTreeWndMaxPath - 1 - n);
  }
  HTREEITEM item = nullptr;
  int level = 0, root = 0;
  if (!(m_style & TWS_NOTREE)) {
    // Only a path the tree holds to its last component is shown.
    bool complete = false;
    item = WalkToPath(path, 0, nullptr, &complete);
    if (!item || !complete) return -1;
    LPARAM data = TreeParam(item);
    level = (int)(data & kTreeItemLevelMask);
    root = (int)((data & kTreeItemRootMask) >> kTreeItemRootShift);
  } else {
    LPARAM value = FindPathItem(path);
    if (value != -1) {
      level = (int)(value & kTreeItemLevelMask);
      root = (int)((value & kTreeItemRootMask) >> kTreeItemRootShift);
    }
  }
  if (n > 0 && path[n - 1] != '\\') {
    path[n++] = '\\';
    path[n] = 0;
  }
  if (m_path && !refresh && SameNoCase(path, n, m_path, m_pathLength)) return m_shownCount;

  // The old filling stops before its records change.
  StopListThread();
  if (!m_path) {
    m_path = new char[kTreeWndPathBuffer];
    m_pathNoSlash = new char[kTreeWndPathBuffer];
  }
  memcpy(m_path, path, n + 1);
  m_pathLength = n;
  m_pathNoSlashLength = n > 0 ? n - 1 : 0;
  memcpy(m_pathNoSlash, path, m_pathNoSlashLength);
  m_pathNoSlash[m_pathNoSlashLength] = 0;
  m_level = level;
  m_rootIndex = root;

  if (item) {
    if (m_openItem && m_openItem != item) SetTreeImage(m_openItem, 0);
    SetTreeImage(item, 1);
    m_openItem = item;
    ExpandAncestors(item);
    m_tree.SendMessage(TLM_RUNDEFERRED);
    m_selectingShown = true;
    m_tree.SendMessage(TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    m_selectingShown = false;
    m_tree.SendMessage(TVM_ENSUREVISIBLE, 0, (LPARAM)item);
  }
  SetComboPath(m_pathNoSlash, m_pathNoSlashLength, (m_style & TWS_NOTREE) ? -1 : level);
  if (historyMode) {
    if (historyMode == 2 && m_historyStarted && m_oldest == 0 && m_newest == 0 && m_current == 0)
      m_historyStarted = false;
    AddToHistory(m_pathNoSlash);
  }
  if (m_up.m_hWnd) m_up.EnableWindow(strchr(m_pathNoSlash, '\\') != nullptr);
  if (m_style & TWS_NOLIST) {
    OnContentChanged();
    m_shownCount = 0;
    return 0;
  }
  RefillEntries(fillMode == 0 || fillMode == 2);
  OnContentChanged();
  m_shownCount = m_entries.count;
  PostMessage(WM_COMMAND, kTreeWndPathShown, 0);
  return m_shownCount;
}

int CTreeWnd::RefillEntries(int startThread) {
  StopListThread();
  m_entries.RemoveAll();
  if (m_path) {
    LPARAM value = CurrentItemValue();
    if (!(m_style & TWS_ITEMSONLY)) FillChildren(&m_entries, m_path, value);
    FillItems(&m_entries, m_path, value);
  }
  m_fillState = 0;
  if (startThread) StartListThread();
  return m_entries.count;
}

void CTreeWnd::SetTreeImage(HTREEITEM item, int open) {
  char path[kTreeWndPathBuffer];
  GetItemPath(item, path, sizeof path);
  int image = GetItemImage(path, nullptr, TreeParam(item) & kTreeItemLevelMask, open);
  TVITEMA tv = {};
  tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TLIF_DIRECT;
  tv.hItem = item;
  tv.iImage = tv.iSelectedImage = image;
  TreeDirect(TVM_SETITEMA, 0, (LPARAM)&tv);
}

void CTreeWnd::ExpandAncestors(HTREEITEM item) {
  for (HTREEITEM p = TreeNext(item, TVGN_PARENT); p; p = TreeNext(p, TVGN_PARENT))
    TreeDirect(TVM_EXPAND, TVE_EXPAND | TLE_DEFER, (LPARAM)p);
}

// --- the walk ---------------------------------------------------------------------

HTREEITEM CTreeWnd::ExpandToPath(const char* pathArg, int expand, HTREEITEM start) {
  return WalkToPath(pathArg, expand, start, nullptr);
}

HTREEITEM CTreeWnd::WalkToPath(const char* pathArg, int expand, HTREEITEM start, bool* complete) {
  if (complete) *complete = false;
  if (m_style & TWS_NOTREE) return nullptr;
  char path[kTreeWndPathBuffer + 8];
  int n;
  if (start) {
    n = GetItemPath(start, path, sizeof path);
    if (!n) return nullptr;
  } else {
    n = CopyBounded(path, pathArg ? pathArg : "", kTreeWndMaxPath + 1);
  }
  if (n > 0 && path[n - 1] == '\\') path[--n] = 0;

  EnterCriticalSection(&m_walkLock);
  bool ui = OnUiThread();
  int oldKind = ui ? SetCursorKind(5) : m_cursorKind;
  if (!ui) PostCursor(5);
  ++m_walkDepth;

  HTREEITEM siblings = TreeNext(nullptr, TVGN_ROOT);
  HTREEITEM result = nullptr;
  const char* comp = path;
  char walked[kTreeWndPathBuffer + 8];  // the matched prefix, each part followed by "\"
  int walkedLength = 0;
  char text[260];
  char sibPath[kTreeWndPathBuffer + 300];
  bool beyond = false;  // one level past the last component
  for (int level = 0; level < 21 && siblings; ++level) {
    const char* end = beyond ? nullptr : strchr(comp, '\\');
    int compLength = beyond ? 0 : (end ? (int)(end - comp) : (int)strlen(comp));
    bool more = end != nullptr;
    HTREEITEM matched = nullptr;
    for (HTREEITEM sib = siblings; sib; sib = TreeNext(sib, TVGN_NEXT)) {
      if (!ui && m_expandStop) break;
      int textLength = TreeText(sib, text, 256);
      if (textLength < 0) continue;
      LPARAM data = TreeParam(sib);
      if (data & kTreeItemPlaceholder) continue;
      memcpy(sibPath, walked, walkedLength);
      memcpy(sibPath + walkedLength, text, textLength);
      sibPath[walkedLength + textLength] = 0;
      bool match = !matched && compLength && SameNoCase(comp, compLength, text, textLength);
      bool test;
      if (match) {
        matched = result = sib;
        if (!more && !beyond && complete) *complete = true;
        test = level == 0 ? (!more && !expand) : (!more && !expand);
        if (more || expand) {
          if (more && expand && !(TreeDirect(TVM_GETITEMSTATE, (WPARAM)sib, TVIS_EXPANDED) & TVIS_EXPANDED))
            TreeDirect(TVM_EXPAND, TVE_EXPAND | TLE_DEFER, (LPARAM)sib);
          int r = FillTreeChildren(sib, sibPath, 1);
          test = r < 2;
          if (!test && expand) break;
        }
        if (!test) continue;
      } else {
        test = level > 0;
      }
      if (!test) continue;
      int mode = (more || (!more && !expand && (m_style & TWS_ITEMSONLY))) ? 3 : 0;
      int r = FillTreeChildren(sib, sibPath, mode);
      if (r >= 2) {
        // Up to date.
      } else if (r == 1 || level == 0) {
        // Children exist but are not in the tree yet: one placeholder keeps the button.
        if (!TreeNext(sib, TVGN_CHILD)) InsertPlaceholder(sib, data & ~kTreeItemLevelMask);
        TreeDirect(TVM_EXPAND, TVE_COLLAPSE | TLE_DEFER, (LPARAM)sib);
      } else if (mode == 3) {
        DeleteChildItems(sib);
      }
      if (match && expand) break;
    }
    if (!matched) break;
    siblings = TreeNext(matched, TVGN_CHILD);
    int matchedLength = TreeText(matched, text, 256);
    if (walkedLength + matchedLength + 2 >= (int)sizeof walked) break;
    memcpy(walked + walkedLength, text, matchedLength);
    walkedLength += matchedLength;
    walked[walkedLength++] = '\\';
    if (beyond) break;
    if (!more) {
      if (!expand) break;
      beyond = true;
    } else {
      comp = end + 1;
    }
  }

  --m_walkDepth;
  if (ui)
    SetCursorKind(oldKind);
  else
    PostCursor(0);
  LeaveCriticalSection(&m_walkLock);
  return result;
}

int CTreeWnd::FillTreeChildren(HTREEITEM item, const char* pathArg, int mode) {
  EnterCriticalSection(&m_walkLock);
  int result = FillTreeChildrenLocked(item, pathArg, mode);
  LeaveCriticalSection(&m_walkLock);
  return result;
}

int CTreeWnd::FillTreeChildrenLocked(HTREEITEM item, const char* pathArg, int mode) {
  LPARAM data = TreeParam(item);
  bool hasChildren = TreeNext(item, TVGN_CHILD) != nullptr;
  int level = (int)(data & 0xFF);
  if (mode == 0 && (data & kTreeItemFilled)) return hasChildren ? 3 : 2;
  if (level + 1 >= kTreeMaxFillLevel) return 0;
  char path[kTreeWndPathBuffer + 8];
  int n = pathArg ? CopyBounded(path, pathArg, kTreeWndPathBuffer) : GetItemPath(item, path, kTreeWndPathBuffer);
  LPARAM value = (data & (kTreeItemMarkerMask | kTreeItemRootMask)) | (data & kTreeItemLevelMask);
  if (mode == 3) {
    if (data & kTreeItemFilled) return hasChildren ? 3 : 2;
    return FillChildren(nullptr, path, value) ? 1 : 0;
  }
  if (n > 0 && path[n - 1] != '\\' && n < kTreeWndPathBuffer) {
    path[n++] = '\\';
    path[n] = 0;
  }
  if (!m_walkDepth) PostCursor(5);
  CTextList list(sizeof(TreeWndEntry));
  FillChildren(&list, path, value);
  LPARAM childData = (data & (kTreeItemMarkerMask | kTreeItemRootMask)) | (level + 1);
  bool deleteAll = true;
  if (mode == 1) {
    if (!hasChildren && list.count == 0) {
      if (!m_walkDepth) PostCursor(0);
      return 2;
    }
    if (hasChildren) {
      list.Sort(0, list.count, CTextList::CompareNoCase);
      int found = 0;
      char text[260];
      HTREEITEM next;
      for (HTREEITEM child = TreeNext(item, TVGN_CHILD); child; child = next) {
        next = TreeNext(child, TVGN_NEXT);
        int k = -1;
        if (!(TreeParam(child) & kTreeItemPlaceholder)) {
          int len = TreeText(child, text, 256);
          k = len < 0 ? -1 : list.BinaryFindString(len, text, 0, list.count, CTextList::kBinUnsignedOrNoCase);
        }
        if (k < 0) {
          if (child == m_openItem) m_openItem = nullptr;
          TreeDirect(TVM_DELETEITEM, TLDI_DEFERRED, (LPARAM)child);
        } else {
          ((TreeWndEntry*)list.items[k])->reserved = 1;
          ++found;
        }
      }
      if (!m_walkDepth) PostCursor(0);
      if (list.count <= found) return list.count ? 3 : 2;
      // Only the missing names go in; present children keep their state.
      for (int i = 0; i < list.count; ++i) {
        const TreeWndEntry* e = (const TreeWndEntry*)list.items[i];
        if (e->reserved) continue;
        m_tree.InsertItemSortedCBDirect(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, list.TextAt(i),
                                        e->image, e->image, 0, 0, childData, TreeWndCompareChildNames, item);
      }
      deleteAll = false;
    }
  }
  if (deleteAll) {
    HTREEITEM next;
    for (HTREEITEM child = TreeNext(item, TVGN_CHILD); child; child = next) {
      next = TreeNext(child, TVGN_NEXT);
      if (child == m_openItem) m_openItem = nullptr;
      TreeDirect(TVM_DELETEITEM, TLDI_DEFERRED, (LPARAM)child);
    }
    // Sorted once here, then appended: a sorted insert per name walks every sibling.
    list.SortByTextWith(CompareNaturalNoCaseA, 0, list.count);
    for (int i = 0; i < list.count; ++i) {
      const TreeWndEntry* e = (const TreeWndEntry*)list.items[i];
      m_tree.InsertItemDirect(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, list.TextAt(i), e->image,
                              e->image, 0, 0, childData, item, TVI_LAST);
    }
  }
  if (!m_walkDepth) PostCursor(0);
  TreeDirect(TLM_SETITEMPARAM, (WPARAM)((data & ~(kTreeItemPlaceholder)) | kTreeItemFilled), (LPARAM)item);
  return list.count ? 3 : 2;
}

int CTreeWnd::DeleteChildItems(HTREEITEM item) {
  CWalkLock lock(&m_walkLock);
  int count = 0;
  HTREEITEM next;
  for (HTREEITEM child = TreeNext(item, TVGN_CHILD); child; child = next) {
    next = TreeNext(child, TVGN_NEXT);
    ForgetOpenItemBelow(child);
    if (TreeDirect(TVM_DELETEITEM, TLDI_DEFERRED, (LPARAM)child)) ++count;
  }
  LPARAM data = TreeParam(item);
  TreeDirect(TLM_SETITEMPARAM, (WPARAM)(data | kTreeItemFilled), (LPARAM)item);
  return count;
}

void CTreeWnd::ForgetOpenItemBelow(HTREEITEM item) {
  for (HTREEITEM it = m_openItem; it; it = TreeNext(it, TVGN_PARENT)) {
    if (it == item) {
      m_openItem = nullptr;
      break;
    }
  }
  for (HTREEITEM it = m_pendingSelect; it; it = TreeNext(it, TVGN_PARENT)) {
    if (it == item) {
      m_pendingSelect = nullptr;
      break;
    }
  }
}

// --- history -----------------------------------------------------------------------

int CTreeWnd::AddToHistory(const char* path) {
  if (!path || !*path) return 0;
  if (!m_historyStarted) {
    m_history[0] = path;
    m_oldest = m_newest = m_current = 0;
    m_historyStarted = true;
    if (m_back.m_hWnd) m_back.EnableWindow(FALSE);
  } else {
    // Going back and then to the path before: keep the ring as it is.
    if (m_current != m_oldest) {
      int before = (m_current + kTreeWndHistory - 1) % kTreeWndHistory;
      if (m_history[before] == path) return 0;
    }
    if (m_history[m_current] == path) return 0;
    m_current = m_newest = (m_current + 1) % kTreeWndHistory;
    m_history[m_current] = path;
    if (m_newest == m_oldest) m_oldest = (m_oldest + 1) % kTreeWndHistory;
    if (m_back.m_hWnd) m_back.EnableWindow(TRUE);
  }
  if (m_forward.m_hWnd) m_forward.EnableWindow(FALSE);
  return 1;
}

int CTreeWnd::HistoryCount() const {
  if (!m_historyStarted) return 0;
  return (m_newest - m_oldest + kTreeWndHistory) % kTreeWndHistory + 1;
}

void CTreeWnd::SetButtons() {
  if (m_back.m_hWnd) m_back.EnableWindow(m_historyStarted && m_current != m_oldest);
  if (m_forward.m_hWnd) m_forward.EnableWindow(m_historyStarted && m_current != m_newest);
}

void CTreeWnd::OnBack() {
  if (!m_historyStarted || m_current == m_oldest) return;
  m_current = (m_current + kTreeWndHistory - 1) % kTreeWndHistory;
  CString path = m_history[m_current];
  NavigateTo(path, 0);
  SetButtons();
}

void CTreeWnd::OnForward() {
  if (!m_historyStarted || m_current == m_newest) return;
  m_current = (m_current + 1) % kTreeWndHistory;
  CString path = m_history[m_current];
  NavigateTo(path, 0);
  SetButtons();
}

void CTreeWnd::OnHistoryCommand(UINT id) {
  if (!m_historyStarted) return;
  int steps = (int)(id & 15) + 1;
  bool back = (id & 0x10) != 0;
  for (int i = 0; i < steps; ++i) {
    if (back ? m_current == m_oldest : m_current == m_newest) break;
    m_current = (m_current + (back ? kTreeWndHistory - 1 : 1)) % kTreeWndHistory;
  }
  CString path = m_history[m_current];
  NavigateTo(path, 0);
  SetButtons();
}

void CTreeWnd::OnContextMenu(CWnd* wnd, CPoint pos) {
  bool back = wnd == &m_back, forward = wnd == &m_forward;
  if (!back && !forward) {
    CWnd* parent = GetParent();
    if (parent) parent->SendMessage(WM_CONTEXTMENU, (WPARAM)(wnd ? wnd->m_hWnd : nullptr), MAKELPARAM(pos.x, pos.y));
    return;
  }
  if (!m_historyStarted || (back ? m_current == m_oldest : m_current == m_newest)) return;
  CMenu menu;
  menu.CreatePopupMenu();
  int at = m_current;
  for (int i = 0; i < 16; ++i) {
    if (back ? at == m_oldest : at == m_newest) break;
    at = (at + (back ? kTreeWndHistory - 1 : 1)) % kTreeWndHistory;
    const char* text = m_history[at];
    char shown[80];
    if (text[0] && text[1] == ':') text += 2;
    int n = (int)strlen(text);
    if (n > 64)
      wsprintfA(shown, "...%s", text + n - 61);
    else
      lstrcpynA(shown, text, sizeof shown);
    menu.AppendMenu(MF_STRING, ID_TREEWND_HISTORY_FIRST + i + (back ? 0x10 : 0), shown);
  }
  if (pos.x == -1 && pos.y == -1) GetCursorPos(&pos);
  menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pos.x, pos.y, this);
  menu.DestroyMenu();
}

void CTreeWnd::OnUp() {
  if (!m_path || m_pathNoSlashLength <= 0) return;
  char path[kTreeWndPathBuffer];
  memcpy(path, m_pathNoSlash, m_pathNoSlashLength + 1);
  if (path[1] == ':' && m_pathNoSlashLength <= 3) return;
  char* slash = strrchr(path, '\\');
  if (!slash) {
    m_up.EnableWindow(FALSE);
    return;
  }
  if (slash == path + 2 && path[1] == ':')
    slash[1] = 0;
  else
    *slash = 0;
  NavigateTo(path, 1);
}

// --- path combo ----------------------------------------------------------------------

int CTreeWnd::SetComboPath(const char* path, int length, LPARAM level) {
  if (m_style & TWS_NOPATHBAR) return -1;
  if (!m_combo.m_hWnd) return -1;
  char text[kTreeWndPathBuffer];
  if (length < 0 || length >= (int)sizeof text) length = (int)strlen(path);
  if (length >= (int)sizeof text) length = sizeof text - 1;
  memcpy(text, path, length);
  text[length] = 0;
  COMBOBOXEXITEMA item = {};
  item.mask = CBEIF_TEXT;
  item.iItem = -1;
  item.pszText = text;
  if (!(m_style & TWS_NOTREEIMAGES)) {
    if (level == -1) level = FindPathItem(text);
    item.mask |= CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iImage = item.iSelectedImage = GetItemImage(text, nullptr, level, 0);
  }
  m_combo.SetItem(&item);
  return 1;
}

int CTreeWnd::GetComboItemText(int index, char* buffer, int size) {
  if (!m_combo.m_hWnd || size <= 0) return -1;
  buffer[0] = 0;
  if (index < 0) return ::GetWindowTextA((HWND)m_combo.SendMessage(CBEM_GETEDITCONTROL), buffer, size);
  COMBOBOXEXITEMA item = {};
  item.mask = CBEIF_TEXT;
  item.iItem = index;
  item.pszText = buffer;
  item.cchTextMax = size;
  if (!m_combo.GetItem(&item)) return -1;
  return (int)strlen(buffer);
}

void CTreeWnd::OnComboCloseUp() { m_closeUpTick = GetTickCount(); }

void CTreeWnd::OnComboSelChange() {
  m_comboTyped = false;
  m_comboTicks = GetTickCount() - m_closeUpTick < 500 ? 1 : 5;
  SetTimer(kTreeWndTimerCombo, 200, nullptr);
}

void CTreeWnd::OnGo() {
  m_comboTyped = true;
  m_comboTicks = 1;
  SetTimer(kTreeWndTimerCombo, 200, nullptr);
  PostMessage(WM_TIMER, kTreeWndTimerCombo, 0);
}

int CTreeWnd::GoToComboSelection() {
  if (m_style & TWS_NOPATHBAR) return 0;
  char text[kTreeWndPathBuffer + 8];
  // Room for what ParsePath adds to a short root name.
  int n = GetComboItemText(-1, text, kTreeWndPathBuffer - 32);
  if (n < 0) return 0;
  if (n > 0 && text[n - 1] == '\\') text[--n] = 0;
  LPARAM value = 0;
  int length = n ? ParsePath(text, n, &value) : 0;
  if (length > 0 && m_path && SameNoCase(text, length, m_pathNoSlash, m_pathNoSlashLength)) {
    char shown[kTreeWndPathBuffer];
    GetComboItemText(-1, shown, sizeof shown);
    if (strcmp(shown, text)) SetComboPath(text, length, -1);
    return 2;
  }
  if (length <= 0) {
    HWND edit = (HWND)m_combo.SendMessage(CBEM_GETEDITCONTROL);
    if (m_combo.GetCurSel() < 0 && ::GetFocus() == edit) {
      MessageBeep(MB_ICONASTERISK);
    } else if (m_path) {
      SetComboPath(m_pathNoSlash, m_pathNoSlashLength, -1);
    }
    return 1;
  }
  if (m_comboTyped) {
    int count = (int)m_combo.SendMessage(CB_GETCOUNT);
    char item[kTreeWndPathBuffer];
    for (int i = count - 1; i >= 0; --i) {
      int k = GetComboItemText(i, item, sizeof item);
      if (k > 0 && item[k - 1] == '\\') item[--k] = 0;
      if (i >= 15 || SameNoCase(item, k, text, length)) m_combo.DeleteItem(i);
    }
    COMBOBOXEXITEMA cb = {};
    cb.mask = CBEIF_TEXT;
    cb.iItem = 0;
    cb.pszText = text;
    if (!(m_style & TWS_NOTREEIMAGES)) {
      cb.mask |= CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
      cb.iImage = cb.iSelectedImage = GetItemImage(text, nullptr, value, 0);
    }
    m_combo.InsertItem(&cb);
  }
  ShowPath(text, nullptr, 0, 1);
  return 3;
}

int CTreeWnd::LoadComboHistory(const char* valueName, const char* subKey) {
  CRegKeyStack key;
  if (!key.Create(HKEY_CURRENT_USER)) return 0;
  if (subKey && !key.OpenSubKey(subKey)) return 0;
  char* data = nullptr;
  if (!key.QueryValueAlloc(&data, valueName, REG_MULTI_SZ)) return 0;
  m_comboPaths.RemoveAll();
  for (const char* p = data; *p; p += strlen(p) + 1) m_comboPaths.InsertString(p);
  delete[] data;
  if (m_combo.m_hWnd && m_combo.SendMessage(CB_GETCOUNT) == 0) {
    for (int i = 0; i < m_comboPaths.count; ++i) {
      COMBOBOXEXITEMA item = {};
      item.mask = CBEIF_TEXT;
      item.iItem = i;
      item.pszText = const_cast<char*>(m_comboPaths.TextAt(i));
      if (!(m_style & TWS_NOTREEIMAGES)) {
        item.mask |= CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iImage = item.iSelectedImage = GetItemImage(item.pszText, nullptr, FindPathItem(item.pszText), 0);
      }
      m_combo.InsertItem(&item);
    }
  }
  return m_comboPaths.count;
}

int CTreeWnd::CollectComboItems() {
  if (!m_combo.m_hWnd) return -1;
  m_comboPaths.RemoveAll();
  int count = (int)m_combo.SendMessage(CB_GETCOUNT);
  char text[kTreeWndPathBuffer];
  for (int i = 0; i < count; ++i)
    if (GetComboItemText(i, text, sizeof text) > 0) m_comboPaths.InsertString(text);
  return m_comboPaths.count;
}

int CTreeWnd::SaveComboHistory(const char* valueName, const char* subKey) {
  if (m_combo.m_hWnd) CollectComboItems();
  CRegKeyStack key;
  if (!key.Create(HKEY_CURRENT_USER)) return 0;
  if (subKey && !key.CreateSubKey(subKey)) return 0;
  char* joined = nullptr;
  int n = m_comboPaths.JoinMultiString(0, m_comboPaths.count, &joined);
  bool ok = key.SetValue(joined ? joined : "\0", n > 0 ? (DWORD)n : 2, valueName, REG_MULTI_SZ);
  delete[] joined;
  return ok ? 1 : 0;
}

// --- tree selection and timers ---------------------------------------------------------

void CTreeWnd::OnTreeSelChanged(NMHDR* nm, LRESULT* result) {
  NMTREEVIEWA* tv = (NMTREEVIEWA*)nm;
  *result = 0;
  HTREEITEM item = tv->itemNew.hItem;
  if (!item || !m_created) return;
  if (m_selectingShown) {
    // ShowPath is showing this key already: walking to it again costs a
    // walk of the tree for nothing.
    m_pendingSelect = nullptr;
    return;
  }
  if (tv->action == TVC_BYKEYBOARD) {
    m_pendingSelect = item;
    m_treeTicks = 3;
    SetTimer(kTreeWndTimerTreeSelect, 150, nullptr);
    return;
  }
  m_pendingSelect = nullptr;
  char path[kTreeWndPathBuffer];
  if (GetItemPath(item, path, sizeof path)) ShowPath(path, nullptr, 0, 1);
}

void CTreeWnd::OnDelayedSelect() {
  HTREEITEM item = m_pendingSelect;
  if (!item) return;
  m_pendingSelect = nullptr;
  char path[kTreeWndPathBuffer];
  if (GetItemPath(item, path, sizeof path)) ShowPath(path, nullptr, 0, 1);
}

void CTreeWnd::OnTimer(UINT_PTR id) {
  if (id == kTreeWndTimerTreeSelect) {
    if (--m_treeTicks <= 0) {
      KillTimer(id);
      PostMessage(WM_COMMAND, kTreeWndTimerTreeSelect, 0);
    }
  } else if (id == kTreeWndTimerCombo) {
    if (m_comboTicks > 0 && --m_comboTicks == 0) {
      GoToComboSelection();
    } else if (m_comboTicks <= 0) {
      m_comboTyped = false;
      KillTimer(id);
    }
  } else if (id == kTreeWndTimerContent) {
    if (InterlockedExchange(&m_contentChanged, 0)) OnContentChanged();
  } else {
    CWnd::OnTimer(id);
  }
}

void CTreeWnd::OnClose() {
  KillTimer(kTreeWndTimerContent);
  StopListThread();
  CWnd::OnClose();
}

void CTreeWnd::OnRefresh() {
  HTREEITEM focused = (HTREEITEM)m_tree.SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
  if (focused) FillTreeChildren(focused, nullptr, 1);
  ShowPath(nullptr, nullptr, 2, 0);
}
