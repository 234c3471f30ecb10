// CTreeWnd: construction, creation of the children, layout, painting, the
// splitter, cursors, path helpers and the default data source.
#include <cstdio>
#include <cstring>

#include "app/browser/treewnd.h"

#include <shellapi.h>
#include "text/compare/naturalcompare.h"
#include "ui/buttonimage/buttonimage.h"
#include "ui/grips.h"
#include "ui/tracking.h"

IMPLEMENT_DYNAMIC(CTreeWnd, CWnd)

namespace {

// Bitmaps and cursors of the application's resources.
const UINT kBitmapUp = 134, kBitmapBack = 135, kBitmapForward = 136;
const UINT kCursorCopyResource = 136, kCursorMoveResource = 137;
const int kSplitter = kSplitterBarWidth;

// The three characters of a placeholder child: no-break space, blank, no-break space.
const char kPlaceholderText[] = "\xA0 \xA0";

}  // namespace

CTreeWnd::CTreeWnd() : m_entries(sizeof(TreeWndEntry)), m_roots(sizeof(TreeWndEntry)) {
  InitializeCriticalSection(&m_walkLock);
  HINSTANCE res = AfxGetResourceHandle();
  m_cursors[kTreeCursorArrow] = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
  m_cursors[kTreeCursorNoDrop] = LoadCursorA(nullptr, (LPCSTR)IDC_NO);
  m_cursors[kTreeCursorCopy] = LoadCursorA(res, MAKEINTRESOURCEA(kCursorCopyResource));
  m_cursors[kTreeCursorMove] = LoadCursorA(res, MAKEINTRESOURCEA(kCursorMoveResource));
  m_cursors[kTreeCursorSize] = LoadCursorA(nullptr, (LPCSTR)IDC_SIZEWE);
  m_cursors[kTreeCursorWait] = LoadCursorA(nullptr, (LPCSTR)IDC_WAIT);
  for (int i = kTreeCursorCopy; i <= kTreeCursorMove; ++i)
    if (!m_cursors[i]) m_cursors[i] = m_cursors[kTreeCursorArrow];
  m_cursor = m_cursors[kTreeCursorArrow];
}

CTreeWnd::~CTreeWnd() {
  StopListThread();
  StopExpandThread();
  delete[] m_path;
  delete[] m_pathNoSlash;
  delete[] m_dragPath;
  if (!m_ownDragImages) m_dragImages.Detach();
  DeleteCriticalSection(&m_walkLock);
}

BEGIN_MESSAGE_MAP(CTreeWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_WM_DESTROY()
  ON_WM_SETCURSOR()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
  ON_WM_MOUSEMOVE()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_DROPFILES()
  ON_WM_TIMER()
  ON_WM_CLOSE()
  ON_WM_SETFOCUS()
  ON_WM_CONTEXTMENU()
  ON_MESSAGE(WM_TREEWND_SETCURSOR, OnSetWaitCursor)
  ON_CBN_CLOSEUP(IDC_TREEWND_COMBO, OnComboCloseUp)
  ON_CBN_SELCHANGE(IDC_TREEWND_COMBO, OnComboSelChange)
  ON_CBN_SETFOCUS(IDC_TREEWND_COMBO, OnComboSetFocus)
  ON_NOTIFY(TVN_SELCHANGEDA, IDC_TREEWND_TREE, OnTreeSelChanged)
  ON_NOTIFY(TVN_ITEMEXPANDEDA, IDC_TREEWND_TREE, OnTreeItemExpanded)
  ON_NOTIFY(TVN_BEGINLABELEDITA, IDC_TREEWND_TREE, OnTreeBeginEdit)
  ON_NOTIFY(TVN_ENDLABELEDITA, IDC_TREEWND_TREE, OnTreeEndEdit)
  ON_NOTIFY(TVN_KEYDOWN, IDC_TREEWND_TREE, OnTreeKeyDown)
  ON_NOTIFY(TVN_BEGINDRAGA, IDC_TREEWND_TREE, OnTreeBeginDrag)
  ON_NOTIFY(NM_SETFOCUS, IDC_TREEWND_TREE, OnTreeSetFocus)
  ON_NOTIFY(TVN_SELCHANGEDA, IDC_TREEWND_LIST, OnListSelChanged)
  ON_NOTIFY(HDN_ITEMCLICKA, IDC_TREEWND_LIST, OnListHeaderClick)
  ON_NOTIFY(TVN_BEGINLABELEDITA, IDC_TREEWND_LIST, OnListBeginEdit)
  ON_NOTIFY(TVN_ENDLABELEDITA, IDC_TREEWND_LIST, OnListEndEdit)
  ON_NOTIFY(TVN_KEYDOWN, IDC_TREEWND_LIST, OnListKeyDown)
  ON_NOTIFY(NM_DBLCLK, IDC_TREEWND_LIST, OnListDblClk)
  ON_NOTIFY(NM_RETURN, IDC_TREEWND_LIST, OnListReturn)
  ON_NOTIFY(TVN_BEGINDRAGA, IDC_TREEWND_LIST, OnListBeginDrag)
  ON_NOTIFY(NM_SETFOCUS, IDC_TREEWND_LIST, OnListSetFocus)
  ON_COMMAND(ID_TREEWND_UP, OnUp)
  ON_COMMAND(ID_TREEWND_NEWFOLDER, OnNewFolder)
  ON_COMMAND(ID_TREEWND_GO, OnGo)
  ON_COMMAND(ID_TREEWND_NEXTPART, OnNextPart)
  ON_COMMAND(ID_TREEWND_BACK, OnBack)
  ON_COMMAND(ID_TREEWND_FORWARD, OnForward)
  ON_COMMAND_RANGE(ID_TREEWND_HISTORY_FIRST, ID_TREEWND_HISTORY_LAST, OnHistoryCommand)
  ON_COMMAND(ID_TREEWND_REFRESH, OnRefresh)
  ON_COMMAND(ID_TREEWND_CONTENTCHANGED, OnContentChangedCmd)
  ON_COMMAND(ID_TREEWND_SELECTALL, OnSelectAll)
  ON_COMMAND(ID_TREEWND_DELETE, OnDelete)
  ON_COMMAND(ID_TREEWND_DELAYEDSELECT, OnDelayedSelect)
END_MESSAGE_MAP()

// --- default data source ------------------------------------------------------

BOOL CTreeWnd::CreateWnd(DWORD style, const RECT& rect, CWnd* parent, UINT id, CCreateContext* context) {
  return Create(nullptr, "TreeWnd", style | WS_CHILD | WS_VISIBLE, rect, parent, id, context);
}

int CTreeWnd::SortList(int column, int descending) {
  if (column != 0) return 0;
  StopListThread();
  // Folders first, then items; each part by name.
  int folders = 0;
  for (int i = 0; i < m_entries.count; ++i) {
    const TreeWndEntry* e = (const TreeWndEntry*)m_entries.items[i];
    if (e->folder != kEntryItem) m_entries.MoveItem(i, folders++);
  }
  m_entries.Sort(0, folders, CTextList::CompareNoCase, descending);
  m_entries.Sort(folders, m_entries.count, CTextList::CompareNoCase, descending);
  StartListThread();
  return 1;
}

int CTreeWnd::OnContentChanged() {
  if (!m_created) return 0;
  AfxGetMainWnd();
  return 1;
}

int CTreeWnd::FillRoots(CTextList* roots) {
  TreeWndEntry e = {0, 0, kEntryRoot, 0, 0};
  roots->InsertString("1:", -1, &e);
  roots->InsertString("2:", -1, &e);
  roots->InsertString("3:", -1, &e);
  return 3;
}

int CTreeWnd::FillChildren(CTextList* list, const char*, LPARAM itemValue) {
  int level = (int)(itemValue & kTreeItemLevelMask);
  if (!list) return 1;
  if (level > 9) return 0;
  char name[16] = "Ebene 0";
  name[6] = (char)('0' + level);
  TreeWndEntry e = {0, 0, kEntryFolder, 0, 0};
  list->InsertString(name, -1, &e);
  return 1;
}

int CTreeWnd::FillItems(CTextList* list, const char*, LPARAM) {
  TreeWndEntry e = {0, 1, kEntryItem, 0, 0};
  list->InsertString("<Hallo>", -1, &e);
  list->InsertString("<Test>", -1, &e);
  return 2;
}

int CTreeWnd::NewItem(CTextList* list, const char*, char* name, DWORD) {
  if (!*name) strcpy(name, "<Neu>");
  TreeWndEntry e = {0, 1, kEntryItem, 0, 0};
  return list->InsertString(name, -1, &e);
}

int CTreeWnd::NewFolder(CTextList* list, const char*, char* name) {
  if (!*name) strcpy(name, "<Neu>");
  TreeWndEntry e = {0, 1, kEntryFolder, 0, 0};
  return list->InsertString(name, -1, &e);
}

int CTreeWnd::RenameItem(const char*, const char*, UINT) { return 1; }
int CTreeWnd::CanRenameItem(const char*, const char*, UINT) { return 1; }
int CTreeWnd::DeleteItems(const char*, const char*, UINT) { return 1; }

int CTreeWnd::GetItemImage(const char*, const char*, LPARAM level, int open) {
  if ((level & kTreeItemLevelMask) == 0) return open ? 1 : 0;
  return open ? 4 : 3;
}

int CTreeWnd::ParsePath(char* path, int length, LPARAM* itemValue) {
  if (length < 0) length = (int)strlen(path);
  LPARAM value = length ? FindPathItem(path) : -1;
  if (itemValue) *itemValue = value;
  if (value == -1 || !FillChildren(nullptr, path, value)) return 0;
  return length;
}

int CTreeWnd::SetItemColumns(HTREEITEM) { return 0; }

int CTreeWnd::InsertColumns() {
  m_list.InsertColumn(0, "Name", 0, -1);
  return 0;
}

// --- creation -----------------------------------------------------------------

HIMAGELIST CTreeWnd::SystemSmallIcons() {
  SHFILEINFOA info = {};
  return (HIMAGELIST)SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
}

BOOL CTreeWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                      CCreateContext* context) {
  m_createStyle = style;
  m_style = style & 0xFFFF;
  m_uiThread = GetCurrentThreadId();
  if (!className)
    className =
        AfxRegisterWndClass(CS_DBLCLKS, m_cursors[kTreeCursorSize], (HBRUSH)GetStockObject(NULL_BRUSH), nullptr);
  if (!CWnd::Create(className, windowName, (style & 0xFFFF0000) | WS_CLIPCHILDREN, rect, parent, id, context))
    return FALSE;

  // Path bar.
  HIMAGELIST treeImages = m_treeImages ? m_treeImages->GetSafeHandle() : SystemSmallIcons();
  HIMAGELIST listImages = m_listImages ? m_listImages->GetSafeHandle() : SystemSmallIcons();
  m_combo.Create(WS_CHILD | CBS_DROPDOWN | WS_VSCROLL | CBS_AUTOHSCROLL, CRect(3, 3, 213, 393), this,
                 IDC_TREEWND_COMBO);
  m_combo.SetExtendedStyle(CBES_EX_PATHWORDBREAKPROC, CBES_EX_PATHWORDBREAKPROC);
  if (!(m_style & TWS_NOTREEIMAGES)) m_combo.SendMessage(CBEM_SETIMAGELIST, 0, (LPARAM)treeImages);
  CRect rc;
  m_combo.GetWindowRect(&rc);
  int comboHeight = rc.Height();
  m_buttonSize = comboHeight;
  m_dropHeight = (int)m_combo.SendMessage(CB_GETITEMHEIGHT, 0) * 16 + comboHeight + 4;
  m_topHeight = comboHeight + 11;
  SubclassComboEdit(this, (HWND)m_combo.SendMessage(CBEM_GETEDITCONTROL));

  DWORD buttonStyle = WS_CHILD | BS_PUSHBUTTON | BS_BITMAP | WS_DISABLED;
  m_back.Create("", buttonStyle, CRect(0, 0, 1, 1), this, ID_TREEWND_BACK);
  m_forward.Create("", buttonStyle, CRect(0, 0, 1, 1), this, ID_TREEWND_FORWARD);
  m_up.Create("", buttonStyle, CRect(0, 0, 1, 1), this, ID_TREEWND_UP);
  SetButtonImage(m_back.m_hWnd, MAKEINTRESOURCEA(kBitmapBack));
  SetButtonImage(m_forward.m_hWnd, MAKEINTRESOURCEA(kBitmapForward));
  SetButtonImage(m_up.m_hWnd, MAKEINTRESOURCEA(kBitmapUp));
  if (!(m_style & TWS_NOPATHBAR)) {
    m_combo.ShowWindow(SW_SHOW);
    m_back.ShowWindow(SW_SHOW);
    m_forward.ShowWindow(SW_SHOW);
    m_up.ShowWindow(SW_SHOW);
  }

  // Key tree and entry list.
  DWORD treeStyle = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_FULLROWSELECT;
  if (m_style & TWS_EDITLABELS) treeStyle |= TVS_EDITLABELS;
  m_tree.CreateDirect(0, treeStyle | WS_VSCROLL | WS_TABSTOP, CRect(0, 0, 10, 10), this, IDC_TREEWND_TREE);
  if (!(m_style & TWS_NOTREE)) m_tree.ShowWindow(SW_SHOW);
  m_tree.SendMessage(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_SHAREDIMAGELISTS);
  DWORD listStyle = TVS_FULLROWSELECT | WS_TABSTOP;
  if (m_style & TWS_EDITLABELS) listStyle |= TVS_EDITLABELS;
  m_list.CreateDirect(0, listStyle, CRect(0, 0, 10, 10), this, IDC_TREEWND_LIST);
  m_columnCount = InsertColumns();
  if (!(m_style & TWS_NOLIST)) m_list.ShowWindow(SW_SHOW);
  if (!(m_style & TWS_NOTREEIMAGES))
    m_tree.SendMessage(TVM_SETIMAGELIST, TVSIL_NORMAL | TLSIL_KEEP, (LPARAM)treeImages);
  if (!(m_style & TWS_NOLISTIMAGES))
    m_list.SendMessage(TVM_SETIMAGELIST, TVSIL_NORMAL | TLSIL_KEEP, (LPARAM)listImages);
  m_list.SendMessage(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_MULTISELECT);
  ApplyExtendedStyles(TWS_ALTERNATE | TWS_LINES | TWS_FULLMARK);

  // Combo items from the remembered paths.
  m_comboPaths.FillCombo(m_combo.m_hWnd, ComboImageOf, this);

  SetCursorKind(kTreeCursorWait);
  InsertRoots();
  SetCursorKind(kTreeCursorArrow);
  SetTimer(kTreeWndTimerContent, 1000, nullptr);
  m_created = true;
  Layout();
  return TRUE;
}

int CTreeWnd::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  if ((cs->style & TWS_DROPFILES) && !(cs->style & TWS_NODROP)) DragAcceptFiles(TRUE);
  return 0;
}

void CTreeWnd::InsertRoots() {
  m_roots.RemoveAll();
  int n = FillRoots(&m_roots);
  (void)n;
  HTREEITEM first = nullptr;
  for (int i = 0; i < m_roots.count && i < kTreeWndMaxRoots; ++i) {
    const TreeWndEntry* e = (const TreeWndEntry*)m_roots.items[i];
    LPARAM data = kTreeItemMarker | ((LPARAM)i << kTreeItemRootShift);
    HTREEITEM item = m_tree.InsertItemDirect(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM,
                                             m_roots.TextAt(i), e->image, e->image, 0, 0, data, TVI_ROOT, TVI_LAST);
    if (!first) first = item;
    InsertPlaceholder(item, data);
  }
  if (!first) return;
  m_tree.SendMessage(TVM_SELECTITEM, TVGN_CARET, (LPARAM)first);
  // The path bar names the selected key until a path is shown.
  SetComboPath(m_roots.TextAt(0), -1, 0);
}

int CALLBACK TreeWndCompareChildNames(HWND, HTREEITEM, LPCSTR siblingText, LPCSTR newText, LPARAM, LPARAM) {
  return CompareNaturalNoCaseA(newText, siblingText);
}

void CTreeWnd::InsertPlaceholder(HTREEITEM item, LPARAM data) {
  m_tree.InsertItemSortedCBDirect(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, kPlaceholderText, -2, -2, 0,
                                  0, (data & ~kTreeItemLevelMask) | kTreeItemPlaceholder, TreeWndCompareChildNames,
                                  item);
}

// --- style and layout -----------------------------------------------------------

void CTreeWnd::ApplyExtendedStyles(DWORD mask) {
  if (!m_tree.m_hWnd || !mask) return;
  DWORD tree = 0, list = 0;
  if (m_style & TWS_ALTERNATE) tree |= TLS_EX_ALTERNATE, list |= TLS_EX_ALTERNATE;
  if (m_style & TWS_LINES) tree |= TLS_EX_TALLROWS, list |= TLS_EX_TALLROWS;
  if (m_style & TWS_FULLMARK) list |= TLS_EX_FOCUSROW;
  m_tree.SendMessage(TVM_SETEXTENDEDSTYLE, TLS_EX_ALTERNATE | TLS_EX_TALLROWS, tree);
  m_list.SendMessage(TVM_SETEXTENDEDSTYLE, TLS_EX_ALTERNATE | TLS_EX_TALLROWS | TLS_EX_FOCUSROW, list);
}

DWORD CTreeWnd::SetStyle(DWORD bits, DWORD mask) {
  DWORD old = m_style;
  m_style = (old & ~mask) | (bits & mask & 0xFFFF);
  DWORD changed = old ^ m_style;
  if (!m_hWnd) return old;
  if (changed & (TWS_NOLIST | TWS_NOTREE | TWS_NOPATHBAR)) {
    bool bar = !(m_style & TWS_NOPATHBAR);
    m_combo.ShowWindow(bar ? SW_SHOW : SW_HIDE);
    m_back.ShowWindow(bar ? SW_SHOW : SW_HIDE);
    m_forward.ShowWindow(bar ? SW_SHOW : SW_HIDE);
    m_up.ShowWindow(bar ? SW_SHOW : SW_HIDE);
    m_tree.ShowWindow(m_style & TWS_NOTREE ? SW_HIDE : SW_SHOW);
    m_list.ShowWindow(m_style & TWS_NOLIST ? SW_HIDE : SW_SHOW);
    Layout();
    Invalidate();
    if (changed & TWS_NOPATHBAR) GoToComboSelection();
    if ((changed & TWS_NOLIST) && m_path) ShowPath(nullptr, nullptr, kShowFillThread, kShowNoHistory);
  }
  if (changed & (TWS_DROPFILES | TWS_NODROP)) DragAcceptFiles((m_style & TWS_DROPFILES) && !(m_style & TWS_NODROP));
  if ((changed & TWS_ITEMSONLY) && m_path) ExpandToPath(m_pathNoSlash, 0, nullptr);
  if (mask & (TWS_ALTERNATE | TWS_LINES | TWS_FULLMARK)) ApplyExtendedStyles(mask);
  return old;
}

void CTreeWnd::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  Layout();
}

void CTreeWnd::Layout() {
  if (!m_tree.m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  int cx = client.Width(), cy = client.Height();
  if (!m_userWidth) m_treeWidth = cx >= 800 ? cx / 4 : m_treeWidthDefault;
  int top = 0;
  if (!(m_style & TWS_NOPATHBAR)) {
    int s = m_buttonSize;
    m_back.MoveWindow(3, 3, s, s);
    m_forward.MoveWindow(s + 3, 3, s, s);
    m_up.MoveWindow(2 * s + 3, 3, s, s);
    m_combo.MoveWindow(3 * s + 4, 3, cx - 3 * s - 7, m_dropHeight);
    top = m_topHeight;
  }
  int h = cy - top > 0 ? cy - top : 0;
  int treeWidth = ShownTreeWidth(cx);
  if (m_style & TWS_NOTREE)
    m_list.MoveWindow(0, top, cx, h);
  else
    m_list.MoveWindow(treeWidth + kSplitter, top, cx - treeWidth - kSplitter > 0 ? cx - treeWidth - kSplitter : 0, h);
  m_tree.MoveWindow(0, top, m_style & TWS_NOLIST ? cx : treeWidth, h);
}

int CTreeWnd::ShownTreeWidth(int cx) const {
  // A narrow pane shares itself: the list keeps 100 pixels, or half of the
  // pane, before the tree takes its width; the user's own width only stays
  // inside the pane.
  int room = cx - kSplitter;
  int most = m_userWidth ? room : (room / 2 > room - 100 ? room / 2 : room - 100);
  if (most < 0) most = 0;
  return m_treeWidth < most ? m_treeWidth : most;
}

void CTreeWnd::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  int top = 0;
  if (!(m_style & TWS_NOPATHBAR)) {
    top = m_topHeight;
    // The bar around combo and buttons.
    int saved = SaveDC(dc.m_hDC);
    CWnd* parts[4] = {&m_combo, &m_back, &m_forward, &m_up};
    for (CWnd* part : parts) {
      CRect rc;
      part->GetWindowRect(&rc);
      ScreenToClient(&rc);
      if (part == &m_combo) rc.bottom = rc.top + m_buttonSize;
      ExcludeClipRect(dc.m_hDC, rc.left, rc.top, rc.right, rc.bottom);
    }
    RECT bar = {0, 0, client.right, top};
    FillRect(dc.m_hDC, &bar, GetSysColorBrush(COLOR_MENU));
    RestoreDC(dc.m_hDC, saved);
  }
  if ((m_style & (TWS_NOLIST | TWS_NOTREE)) == (TWS_NOLIST | TWS_NOTREE)) {
    RECT rest = {0, top, client.right, client.bottom};
    FillRect(dc.m_hDC, &rest, GetSysColorBrush(COLOR_WINDOW));
    DrawSplitterBarAt(0, dc.m_hDC, top, client.right, TRUE);
  } else if (!(m_style & (TWS_NOLIST | TWS_NOTREE))) {
    DrawSplitterBarAt(top, dc.m_hDC, ShownTreeWidth(client.right), client.bottom - top, FALSE);
  }
}

BOOL CTreeWnd::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (hitTest != HTCLIENT) return CWnd::OnSetCursor(wnd, hitTest, message);
  if (wnd == &m_tree) {
    ::SetCursor(m_cursor);
    return TRUE;
  }
  CPoint pt;
  GetCursorPos(&pt);
  ScreenToClient(&pt);
  if (wnd == this) {
    bool inBar = !(m_style & TWS_NOPATHBAR) && pt.y < m_topHeight;
    ::SetCursor(inBar ? m_cursors[kTreeCursorArrow] : m_cursors[kTreeCursorSize]);
    return TRUE;
  }
  return CWnd::OnSetCursor(wnd, hitTest, message);
}

void CTreeWnd::OnLButtonDown(UINT flags, CPoint point) {
  CWnd::OnLButtonDown(flags, point);
  int top = m_style & TWS_NOPATHBAR ? 0 : m_topHeight;
  if (point.y < top || (m_style & (TWS_NOLIST | TWS_NOTREE))) return;
  CRect area;
  GetClientRect(&area);
  int shown = ShownTreeWidth(area.right);
  ClientToScreen(&area);
  int moved =
      TrackSplitter(this, kSplitterVertical, &area, shown, point.x - shown, point.y, kSplitter, 0, kTrackDefault);
  if (!moved) return;
  CRect client;
  GetClientRect(&client);
  m_treeWidth = shown + moved;
  if (m_treeWidth < 0) m_treeWidth = 0;
  if (m_treeWidth > client.right - 1) m_treeWidth = client.right - 1;
  m_userWidth = true;
  Layout();
  Invalidate();
}

int CTreeWnd::SetCursorKind(int kind) {
  int old = m_cursorKind;
  if (kind < 0 || kind >= kTreeCursorKinds) return old;
  m_cursorKind = (TreeWndCursorKind)kind;
  m_cursor = m_cursors[kind];
  if (OnUiThread() && m_tree.m_hWnd) {
    POINT pt;
    GetCursorPos(&pt);
    if (::WindowFromPoint(pt) == m_tree.m_hWnd) ::SetCursor(m_cursor);
  }
  return old;
}

LRESULT CTreeWnd::OnSetWaitCursor(WPARAM wParam, LPARAM lParam) {
  m_cursor = (HCURSOR)wParam;
  if (lParam >= 0 && lParam < kTreeCursorKinds) m_cursorKind = (TreeWndCursorKind)lParam;
  POINT pt;
  GetCursorPos(&pt);
  HWND under = ::WindowFromPoint(pt);
  if (under == m_tree.m_hWnd || (lParam == kTreeCursorWait && under == m_list.m_hWnd)) ::SetCursor(m_cursor);
  // A finished fill shows its rows now, ahead of the paints still waiting.
  if (lParam == kTreeCursorArrow && m_listFiller.FillState() == ListFiller::kFillDone && m_list.m_hWnd)
    m_list.UpdateWindow();
  return 0;
}

void CTreeWnd::OnDestroy() {
  KillTimer(kTreeWndTimerContent);
  StopListThread();
  StopExpandThread();
  CollectComboItems();
  if (m_tree.m_hWnd) m_tree.SendMessage(TVM_SETIMAGELIST, TVSIL_NORMAL | TLSIL_KEEP, 0);
  if (m_list.m_hWnd) m_list.SendMessage(TVM_SETIMAGELIST, TVSIL_NORMAL | TLSIL_KEEP, 0);
  if (m_combo.m_hWnd) m_combo.SendMessage(CBEM_SETIMAGELIST, 0, 0);
  m_created = false;
  CWnd::OnDestroy();
}

// --- direct calls and item helpers ---------------------------------------------

LRESULT CTreeWnd::TreeDirect(UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC entry = CTreeListCtrl::DirectEntry();
  return entry && m_tree.m_hWnd ? entry(m_tree.m_hWnd, msg, wParam, lParam) : 0;
}

LRESULT CTreeWnd::ListDirect(UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC entry = CTreeListCtrl::DirectEntry();
  return entry && m_list.m_hWnd ? entry(m_list.m_hWnd, msg, wParam, lParam) : 0;
}

LPARAM CTreeWnd::TreeParam(HTREEITEM item) { return TreeDirect(TLM_GETITEMPARAM, 0, (LPARAM)item); }

HTREEITEM CTreeWnd::TreeNext(HTREEITEM item, UINT code) {
  return (HTREEITEM)TreeDirect(TVM_GETNEXTITEM, code, (LPARAM)item);
}

int CTreeWnd::TreeText(HTREEITEM item, char* buffer, int size) {
  TVITEMA tv = {};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = size;
  buffer[0] = 0;
  if (!TreeDirect(TVM_GETITEMA, 0, (LPARAM)&tv)) return -1;
  if (tv.pszText != buffer) lstrcpynA(buffer, tv.pszText ? tv.pszText : "", size);
  return (int)strlen(buffer);
}

int CTreeWnd::GetItemPath(HTREEITEM item, char* buffer, int size) {
  if (size > 0) buffer[0] = 0;
  if (!item || size <= 0) return 0;
  LPARAM data = TreeParam(item);
  if ((data & kTreeItemMarkerMask) != kTreeItemMarker) return 0;
  if (data & kTreeItemPlaceholder) {
    item = TreeNext(item, TVGN_PARENT);
    if (!item) return 0;
  }
  HTREEITEM chain[36];
  int depth = 0;
  for (HTREEITEM it = item; it; it = TreeNext(it, TVGN_PARENT)) {
    if (depth >= 36) return 0;
    chain[depth++] = it;
  }
  int length = 0;
  char text[260];
  for (int i = depth - 1; i >= 0; --i) {
    LPARAM d = TreeParam(chain[i]);
    if ((d & kTreeItemMarkerMask) != kTreeItemMarker || (int)(d & kTreeItemLevelMask) != depth - 1 - i) {
      buffer[0] = 0;
      return 0;
    }
    int n = TreeText(chain[i], text, sizeof text);
    if (n < 0 || length + n + 2 > size) {
      buffer[0] = 0;
      return 0;
    }
    memcpy(buffer + length, text, n);
    length += n;
    buffer[length++] = '\\';
  }
  buffer[length] = 0;
  return length;
}

int CTreeWnd::GetEntryPath(int index, char* buffer, int size) {
  if (size > 0) buffer[0] = 0;
  if ((unsigned)index >= (unsigned)m_entries.count || size <= 0) return 0;
  const TreeWndEntry* e = (const TreeWndEntry*)m_entries.items[index];
  int n = m_pathLength;
  int name = (int)m_entries.LengthAt(index);
  int total = n + name + (e->folder != kEntryItem ? 1 : 0);
  if (total + 1 > size) return 0;
  memcpy(buffer, GetPath(), n);
  memcpy(buffer + n, m_entries.TextAt(index), name);
  if (e->folder != kEntryItem) buffer[n + name] = '\\';
  buffer[total] = 0;
  return total;
}

LPARAM CTreeWnd::FindPathItem(const char* path) {
  if (!path) return -1;
  const char* slash = strchr(path, '\\');
  int first = slash ? (int)(slash - path) : (int)strlen(path);
  int index = -1;
  for (int i = 0; i < m_roots.count; ++i) {
    if ((int)m_roots.LengthAt(i) == first &&
        CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, m_roots.TextAt(i), first, path, first) == CSTR_EQUAL) {
      index = i;
      break;
    }
  }
  if (index < 0) return -1;
  int levels = 0;
  for (const char* p = slash; p && *p; ++p)
    if (*p == '\\' && p[1]) ++levels;
  return kTreeItemMarker | ((LPARAM)index << kTreeItemRootShift) | levels;
}

int CTreeWnd::GetChildKind(CWnd* wnd) {
  if (!wnd) return kPartNone;
  HWND h = wnd->m_hWnd;
  if (h == m_tree.m_hWnd) return kPartTree;
  if (h == m_list.m_hWnd) return kPartList;
  if (h == m_combo.m_hWnd || ::IsChild(m_combo.m_hWnd, h)) return kPartCombo;
  if (h == m_hWnd) return kPartPane;
  return kPartNone;
}

int CTreeWnd::HitTestCursor(UINT_PTR* item) {
  POINT pt;
  GetCursorPos(&pt);
  if (item) return HitTest(pt.x, pt.y, item, nullptr);
  HWND under = ::WindowFromPoint(pt);
  if (under == m_tree.m_hWnd) return kPartTree;
  if (under == m_list.m_hWnd) return kPartList;
  if (under == m_combo.m_hWnd || ::IsChild(m_combo.m_hWnd, under)) return kPartCombo;
  return kPartNone;
}

int CTreeWnd::GetEntryType(int index) {
  if ((unsigned)index >= (unsigned)m_entries.count) return -1;
  if (m_entries.extraSize < 16) return 0;
  return ((const TreeWndEntry*)m_entries.items[index])->type & 0xFF;
}

HWND CTreeWnd::MessageOwner() const {
  CWnd* main = AfxGetMainWnd();
  return main ? main->m_hWnd : m_hWnd;
}
