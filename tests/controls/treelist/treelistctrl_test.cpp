#include "controls/treelist/treelistctrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "mfc/wnd.h"

namespace {

// One message as the control received it, with a copy of its record.
struct Sent {
  UINT msg;
  WPARAM wParam;
  TVINSERTSTRUCTA ins;
  TVITEMA item;
  LVCOLUMNA column;
  TreeListFindInfo find;
  std::string text;
};

std::vector<Sent> g_sent;
WNDPROC g_next = nullptr;
std::vector<int> g_codes;

LRESULT CALLBACK Recorder(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Sent s = {};
  s.msg = msg;
  s.wParam = wp;
  switch (msg) {
    case TVM_INSERTITEMA:
      s.ins = *(TVINSERTSTRUCTA*)lp;
      if (s.ins.itemex.pszText && s.ins.itemex.pszText != LPSTR_TEXTCALLBACKA) s.text = s.ins.itemex.pszText;
      break;
    case TVM_SETITEMA:
    case TVM_GETITEMA:
    case TLM_SETSTATEEX:
    case TLM_COUNTITEMS:
      s.item = *(TVITEMA*)lp;
      if (msg != TVM_GETITEMA && (s.item.mask & TVIF_TEXT) && s.item.pszText) s.text = s.item.pszText;
      break;
    case TLM_INSERTCOLUMN:
    case TLM_SETCOLUMN:
      s.column = *(LVCOLUMNA*)lp;
      if ((s.column.mask & LVCF_TEXT) && s.column.pszText) s.text = s.column.pszText;
      break;
    case TLM_FINDITEM:
      s.find = *(TreeListFindInfo*)lp;
      break;
    default:
      break;
  }
  g_sent.push_back(s);
  return CallWindowProcA(g_next, hwnd, msg, wp, lp);
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY) {
    NMHDR* hdr = (NMHDR*)lp;
    g_codes.push_back((int)hdr->code);
    if (hdr->code == TVN_GETDISPINFOA) {
      NMTVDISPINFOA* info = (NMTVDISPINFOA*)lp;
      if (info->item.mask & TVIF_TEXT) lstrcpynA(info->item.pszText, "cb", info->item.cchTextMax);
    }
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

int CALLBACK ByText(LPCSTR a, LPCSTR b) { return strcmp(a, b); }

// Records every call of the adapter form: (sibling text, new text, param).
std::vector<std::string> g_compares;
int CALLBACK RecordingCompare(HWND, HTREEITEM, LPCSTR siblingText, LPCSTR newText, LPARAM, LPARAM context) {
  g_compares.push_back(std::string(siblingText) + "|" + newText + "|" + std::to_string((int)context));
  return strcmp(newText, siblingText);
}

class TreeListCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_sent.clear();
    g_codes.clear();
    g_compares.clear();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = instance;
    wc.lpszClassName = "TreeListCtrlTestParent";
    RegisterClassA(&wc);
    m_parentHwnd = CreateWindowExA(0, wc.lpszClassName, "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 400, 300,
                                   nullptr, nullptr, instance, nullptr);
    m_parent.Attach(m_parentHwnd);
  }
  void TearDown() override {
    if (m_tree.m_hWnd) m_tree.DestroyWindow();
    m_parent.Detach();
    DestroyWindow(m_parentHwnd);
  }
  void Create(bool direct = false) {
    RECT rc = {0, 0, 300, 200};
    BOOL ok = direct ? m_tree.CreateDirect(0, WS_VISIBLE | TVS_HASBUTTONS, rc, &m_parent, 9)
                     : m_tree.Create(0, WS_VISIBLE | TVS_HASBUTTONS, rc, &m_parent, 9);
    ASSERT_TRUE(ok);
  }
  // Puts the recorder in front of the framework's procedure.
  void Record() { g_next = (WNDPROC)SetWindowLongPtrA(m_tree.m_hWnd, GWLP_WNDPROC, (LONG_PTR)Recorder); }
  const Sent& Last(UINT msg) {
    for (size_t i = g_sent.size(); i-- > 0;) {
      if (g_sent[i].msg == msg) return g_sent[i];
    }
    static Sent none = {};
    ADD_FAILURE() << "message " << std::hex << msg << " not sent";
    return none;
  }
  std::string TextOf(HTREEITEM item, int column = 0) {
    char buf[64] = "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT | TLIF_CELL;
    tv.hItem = item;
    tv.pszText = buf;
    tv.cchTextMax = sizeof(buf);
    tv.cChildren = column;
    m_tree.SendMessage(TVM_GETITEMA, 0, (LPARAM)&tv);
    return buf;
  }
  std::vector<std::string> RootTexts() {
    std::vector<std::string> out;
    for (HTREEITEM h = m_tree.GetRootItem(); h; h = m_tree.GetNextSiblingItem(h)) out.push_back(TextOf(h));
    return out;
  }

  HWND m_parentHwnd = nullptr;
  CWnd m_parent;
  CTreeListCtrl m_tree;
};

// First in the file: in a fresh process nothing has fetched the entry yet.
TEST_F(TreeListCtrlTest, DirectMembersWithoutEntryCallNothing) {
  if (CTreeListCtrl::DirectEntry()) GTEST_SKIP() << "an earlier test fetched the entry";
  Create(false);
  EXPECT_EQ(CTreeListCtrl::DirectEntry(), nullptr) << "plain Create fetches nothing";
  EXPECT_EQ(m_tree.InsertItemDirect(TVIF_TEXT, "a", 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST), nullptr);
  EXPECT_EQ(m_tree.InsertItemSortedCBDirect(TVIF_TEXT, "a", 0, 0, 0, 0, 0, RecordingCompare, TVI_ROOT), nullptr);
  EXPECT_EQ(m_tree.InsertItemSortedBy2Direct(TVIF_TEXT, "a", 0, 0, 0, 0, 0, RecordingCompare, TVI_ROOT, 1), nullptr);
  EXPECT_EQ(m_tree.FindItemDirect(TVI_ROOT, TLFI_TEXT, 0, "a", 0, 0, 0), nullptr);
  EXPECT_EQ(m_tree.SetItemExDirect(nullptr, 0, TVIF_TEXT | TLSE_ITEM, "a", 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(m_tree.GetCount(), 0u);
}

DWORD g_createStyle = 0;
LRESULT CALLBACK CreateHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) {
    char cls[32] = "";
    GetClassNameA((HWND)wp, cls, sizeof(cls));
    if (!strcmp(cls, TREELIST_CLASSNAME)) g_createStyle = (DWORD)((CBT_CREATEWNDA*)lp)->lpcs->style;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(TreeListCtrlTest, CreateMakesTheControlWithScrollStyles) {
  HHOOK hook = SetWindowsHookExA(WH_CBT, CreateHook, nullptr, GetCurrentThreadId());
  Create(true);
  UnhookWindowsHookEx(hook);
  char cls[32] = "";
  GetClassNameA(m_tree.m_hWnd, cls, sizeof(cls));
  EXPECT_STREQ(cls, TREELIST_CLASSNAME);
  // The control drops the bars it does not need: the style asked for is
  // the one in the creation record.
  EXPECT_EQ(g_createStyle & (WS_CHILD | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE | TVS_HASBUTTONS),
            (DWORD)(WS_CHILD | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE | TVS_HASBUTTONS));
  EXPECT_EQ(GetDlgCtrlID(m_tree.m_hWnd), 9);
  EXPECT_STREQ(m_tree.GetRuntimeClass()->m_lpszClassName, "CTreeListCtrl");
  EXPECT_EQ(CTreeListCtrl::DirectEntry(), (WNDPROC)TreeListWndProc);

  // A second control keeps the entry; both are served by it.
  CTreeListCtrl second;
  RECT rc = {0, 0, 100, 100};
  ASSERT_TRUE(second.CreateDirect(0, 0, rc, &m_parent, 10));
  EXPECT_EQ(CTreeListCtrl::DirectEntry(), (WNDPROC)TreeListWndProc);
  EXPECT_NE(second.InsertItemDirect(TVIF_TEXT, "b", 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST), nullptr);
  EXPECT_EQ(second.GetCount(), 1u);
  EXPECT_EQ(m_tree.GetCount(), 0u);
  second.DestroyWindow();
}

TEST_F(TreeListCtrlTest, CreateFromItemTakesTheItemsPlaceAndZOrder) {
  HWND before = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 20, 150, 90, m_parentHwnd, (HMENU)100,
                                nullptr, nullptr);
  HWND after =
      CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, m_parentHwnd, (HMENU)101, nullptr, nullptr);
  EXPECT_FALSE(m_tree.CreateFromItemDirect(0, 0, 555, &m_parent, 9)) << "no such item";
  EXPECT_EQ(m_tree.m_hWnd, nullptr);
  ASSERT_TRUE(m_tree.CreateFromItemDirect(0, 0, 100, &m_parent, 9));
  RECT rc;
  GetWindowRect(m_tree.m_hWnd, &rc);
  MapWindowPoints(nullptr, m_parentHwnd, (POINT*)&rc, 2);
  EXPECT_EQ(rc.left, 10);
  EXPECT_EQ(rc.top, 20);
  EXPECT_EQ(rc.right, 160);
  EXPECT_EQ(rc.bottom, 110);
  EXPECT_TRUE(IsWindowVisible(m_tree.m_hWnd));
  EXPECT_TRUE(IsWindow(before)) << "the item stays";
  EXPECT_EQ(GetWindow(before, GW_HWNDNEXT), m_tree.m_hWnd);
  EXPECT_EQ(GetWindow(m_tree.m_hWnd, GW_HWNDNEXT), after);
  EXPECT_NE(CTreeListCtrl::DirectEntry(), nullptr);
}

TEST_F(TreeListCtrlTest, ColumnMembersSendTheirRecords) {
  Create();
  Record();
  struct Case {
    const char* name;
    std::function<void(CTreeListCtrl&)> call;
    UINT msg;
    WPARAM column;
    UINT mask;
    int fmt, cx, order;
    const char* text;
  };
  const Case cases[] = {
      {"text only", [](CTreeListCtrl& t) { t.InsertColumn(0, "Name", -1, 120); }, TLM_INSERTCOLUMN, 0,
       LVCF_TEXT | LVCF_WIDTH, 0, 120, 0, "Name"},
      {"format and order", [](CTreeListCtrl& t) { t.InsertColumn(1, nullptr, LVCFMT_RIGHT, 80, 3); }, TLM_INSERTCOLUMN,
       1, LVCF_FMT | TLCF_SHADED | TLCF_FLAG31 | LVCF_WIDTH | LVCF_ORDER, LVCFMT_RIGHT, 80, 3, nullptr},
      {"weight", [](CTreeListCtrl& t) { t.InsertColumn(2, "W", -1, -3); }, TLM_INSERTCOLUMN, 2,
       LVCF_TEXT | LVCF_SUBITEM, 0, 3, 0, "W"},
      {"set text", [](CTreeListCtrl& t) { t.SetColumnText(1, "Typ"); }, TLM_SETCOLUMN, 1, LVCF_TEXT, 0, 0, 0, "Typ"},
      {"shaded", [](CTreeListCtrl& t) { t.SetColumnShaded(1, TRUE); }, TLM_SETCOLUMN, 1, TLCF_SHADED, (int)TLCF_SHADED,
       0, 0, nullptr},
      {"unshaded", [](CTreeListCtrl& t) { t.SetColumnShaded(1, FALSE); }, TLM_SETCOLUMN, 1, TLCF_SHADED, 0, 0, 0,
       nullptr},
      {"flag 31", [](CTreeListCtrl& t) { t.SetColumnFlag31(2, TRUE); }, TLM_SETCOLUMN, 2, TLCF_FLAG31, (int)TLCF_FLAG31,
       0, 0, nullptr},
      {"auto width alone", [](CTreeListCtrl& t) { t.SetColumnAutoWidth(1, TRUE); }, TLM_SETCOLUMN, 1, TLCF_AUTOWIDTH,
       (int)TLCF_AUTOWIDTH, 0, 0, nullptr},
      {"auto width, width, fit on", [](CTreeListCtrl& t) { t.SetColumnAutoWidth(1, TRUE, 50, 1); }, TLM_SETCOLUMN, 1,
       TLCF_AUTOWIDTH | LVCF_WIDTH | TLCF_FIT, (int)(TLCF_AUTOWIDTH | TLCF_FIT), 50, 0, nullptr},
      {"fit off", [](CTreeListCtrl& t) { t.SetColumnAutoWidth(1, FALSE, -1, 1); }, TLM_SETCOLUMN, 1,
       TLCF_AUTOWIDTH | TLCF_FIT, (int)TLCF_FIT, 0, 0, nullptr},
      {"fit 0", [](CTreeListCtrl& t) { t.SetColumnAutoWidth(1, FALSE, -1, 0); }, TLM_SETCOLUMN, 1,
       TLCF_AUTOWIDTH | TLCF_FIT, 0, 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_sent.clear();
    c.call(m_tree);
    const Sent& s = Last(c.msg);
    EXPECT_EQ(s.wParam, c.column);
    EXPECT_EQ(s.column.mask, c.mask);
    EXPECT_EQ(s.column.fmt, c.fmt);
    EXPECT_EQ(s.column.cx, c.cx);
    EXPECT_EQ(s.column.iOrder, c.order);
    EXPECT_EQ(s.text, c.text ? c.text : "");
    if (c.msg == TLM_INSERTCOLUMN && c.text) {
      EXPECT_EQ(s.column.cchTextMax, 256);
    }
  }
  EXPECT_EQ(m_tree.SendMessage(TLM_GETCOLUMNCOUNT), 3);
}

TEST_F(TreeListCtrlTest, HeaderImageAndBitmapChangeOnlyTheirFlags) {
  Create();
  m_tree.InsertColumn(0, "Name", -1, 100);
  m_tree.InsertColumn(1, "Wert", -1, 100);
  HWND header = (HWND)m_tree.SendMessage(TLM_GETHEADER);
  ASSERT_NE(header, nullptr);
  auto format = [&](int column) {
    HDITEMA hd = {};
    hd.mask = HDI_FORMAT | HDI_IMAGE;
    SendMessageA(header, HDM_GETITEMA, column, (LPARAM)&hd);
    return hd;
  };
  int textFlags = format(1).fmt & HDF_JUSTIFYMASK;
  EXPECT_TRUE(m_tree.SetHeaderImage(1, 2, TRUE));
  HDITEMA hd = format(1);
  EXPECT_EQ(hd.iImage, 2);
  EXPECT_TRUE(hd.fmt & HDF_IMAGE);
  EXPECT_TRUE(hd.fmt & HDF_BITMAP_ON_RIGHT);
  EXPECT_EQ(hd.fmt & HDF_JUSTIFYMASK, textFlags);
  EXPECT_TRUE(m_tree.SetHeaderImage(1, -2, FALSE));
  hd = format(1);
  EXPECT_FALSE(hd.fmt & HDF_IMAGE);
  EXPECT_FALSE(hd.fmt & HDF_BITMAP_ON_RIGHT);

  HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, nullptr);
  EXPECT_TRUE(m_tree.SetHeaderBitmap(0, bitmap, FALSE));
  EXPECT_TRUE(format(0).fmt & HDF_BITMAP);
  EXPECT_TRUE(m_tree.SetHeaderBitmap(0, nullptr, FALSE));
  EXPECT_FALSE(format(0).fmt & HDF_BITMAP);
  DeleteObject(bitmap);
}

TEST_F(TreeListCtrlTest, SortedInsertsCarryCompareAndParam) {
  Create();
  Record();
  for (const char* t : {"m", "c", "x", "a"})
    m_tree.InsertItemSorted(TVIF_TEXT | TVIF_PARAM, t, 0, 0, 0, 0, (LPARAM)t[0], ByText, TVI_ROOT);
  EXPECT_EQ(RootTexts(), (std::vector<std::string>{"a", "c", "m", "x"}));
  const Sent& s = Last(TVM_INSERTITEMA);
  EXPECT_EQ(s.ins.hInsertAfter, TLI_SORTCB);
  EXPECT_EQ(s.ins.itemex.mask, TVIF_TEXT | TLIF_PARAMINTEGRAL);
  EXPECT_EQ((void*)s.ins.itemex.hItem, (void*)TreeListCompareAdapter);
  EXPECT_EQ((void*)s.ins.itemex.lParam, (void*)ByText);
  EXPECT_EQ(s.ins.itemex.iIntegral, 'a');
  HTREEITEM first = m_tree.GetRootItem();
  EXPECT_EQ(m_tree.GetItemData(first), (DWORD_PTR)'a') << "the lParam behind the record is stored";

  // Without TVIF_PARAM the mask stays as given.
  m_tree.InsertItemSortedBy(TVIF_TEXT, "b", 0, 0, 0, 0, 77, ByText, TVI_ROOT);
  EXPECT_EQ(Last(TVM_INSERTITEMA).ins.itemex.mask, (UINT)TVIF_TEXT);
  EXPECT_EQ(RootTexts()[1], "b");

  // The six-argument forms: the callback in hItem; By2 adds the context.
  m_tree.DeleteAllItems();
  m_tree.InsertItemSortedCB(TVIF_TEXT | TVIF_PARAM, "k", 0, 0, 0, 0, 5, RecordingCompare, TVI_ROOT);
  const Sent& cb = Last(TVM_INSERTITEMA);
  EXPECT_EQ((void*)cb.ins.itemex.hItem, (void*)RecordingCompare);
  EXPECT_EQ(cb.ins.itemex.mask, (UINT)(TVIF_TEXT | TVIF_PARAM));
  EXPECT_EQ(cb.ins.itemex.lParam, 5);
  m_tree.InsertItemSortedBy2(TVIF_TEXT | TVIF_PARAM, "d", 0, 0, 0, 0, 6, RecordingCompare, TVI_ROOT, 42);
  const Sent& by2 = Last(TVM_INSERTITEMA);
  EXPECT_EQ(by2.ins.itemex.mask, TVIF_TEXT | TLIF_PARAMINTEGRAL);
  EXPECT_EQ(by2.ins.itemex.lParam, 42);
  EXPECT_EQ(by2.ins.itemex.iIntegral, 6);
  EXPECT_EQ(g_compares, (std::vector<std::string>{"k|d|42"}));
  m_tree.InsertItemSortedBy2(TVIF_TEXT, "z", 0, 0, 0, 0, 6, RecordingCompare, TVI_ROOT, 43);
  EXPECT_EQ(Last(TVM_INSERTITEMA).ins.itemex.mask, TVIF_TEXT | TLIF_PARAMINTEGRAL) << "always";
  EXPECT_EQ(RootTexts(), (std::vector<std::string>{"d", "k", "z"}));
  EXPECT_EQ(m_tree.GetItemData(m_tree.GetRootItem()), 6u);
}

TEST_F(TreeListCtrlTest, RowMembers) {
  Create();
  m_tree.InsertColumn(0, "Name", -1, 100);
  m_tree.InsertColumn(1, "Wert", -1, 100);
  Record();
  // Past the end of an empty control: the first root.
  EXPECT_EQ(m_tree.InsertRow(5, "one", 2, TVIS_BOLD | TVIS_SELECTED, 0xFFFFFFFF), 0);
  const Sent& first = Last(TVM_INSERTITEMA);
  EXPECT_EQ(first.ins.hParent, TVI_ROOT);
  EXPECT_EQ(first.ins.hInsertAfter, TVI_LAST);
  EXPECT_EQ(first.ins.itemex.mask, (UINT)(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE));
  EXPECT_EQ(first.ins.itemex.iSelectedImage, 2);
  EXPECT_EQ(first.ins.itemex.stateMask, 0xFF13u);
  EXPECT_EQ(first.ins.itemex.cchTextMax, 256);
  EXPECT_EQ(m_tree.InsertRow(1, "two"), 1);
  EXPECT_EQ(Last(TVM_INSERTITEMA).ins.itemex.mask, (UINT)TVIF_TEXT);
  // Row 0 of a non-empty control: before the first root.
  HTREEITEM oldFirst = m_tree.GetRootItem();
  EXPECT_EQ(m_tree.InsertRow(0, "zero"), 0);
  const Sent& before = Last(TVM_INSERTITEMA);
  EXPECT_EQ(before.ins.hParent, oldFirst);
  EXPECT_EQ(before.ins.hInsertAfter, TLI_BEFORE);
  EXPECT_EQ(RootTexts(), (std::vector<std::string>{"zero", "one", "two"}));

  EXPECT_TRUE(m_tree.SetCellByRow(1, 1, "wert", 3, TVIS_BOLD, 0xFFFF));
  const Sent& set = Last(TVM_SETITEMA);
  EXPECT_EQ(set.item.mask, TLIF_CELL | TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE);
  EXPECT_EQ(set.item.cChildren, 1);
  EXPECT_EQ(set.item.stateMask, 0x13u);
  EXPECT_EQ(set.item.hItem, oldFirst);
  EXPECT_FALSE(m_tree.SetCellByRow(7, 1, "x"));

  char buffer[16];
  memset(buffer, 'q', sizeof(buffer));
  EXPECT_FALSE(m_tree.GetCellTextByRow(1, buffer, 0, 1));
  EXPECT_EQ(buffer[0], 'q') << "size 0 leaves the buffer";
  EXPECT_FALSE(m_tree.GetCellTextByRow(9, buffer, sizeof(buffer), 1));
  EXPECT_EQ(buffer[0], 0) << "emptied first";
  EXPECT_TRUE(m_tree.GetCellTextByRow(1, buffer, sizeof(buffer), 1));
  EXPECT_STREQ(buffer, "wert");
  const Sent& get = Last(TVM_GETITEMA);
  EXPECT_EQ(get.item.mask, 0x8001u);
  EXPECT_EQ(get.item.cChildren, 1);
  EXPECT_EQ(get.item.cchTextMax, 16);
}

TEST_F(TreeListCtrlTest, StateFindCountAndDragImageRecords) {
  Create();
  m_tree.InsertColumn(0, "Name", -1, 100);
  m_tree.InsertColumn(1, "Wert", -1, 100);
  HTREEITEM a = m_tree.InsertItem("a");
  HTREEITEM b = m_tree.InsertItem("b");
  Record();
  m_tree.SetItemEx(b, 1, TVIF_TEXT | TLSE_ITEM, "zwei", 0, 0, 0, 0, 0);
  const Sent& ex = Last(TLM_SETSTATEEX);
  EXPECT_EQ(ex.item.mask, TVIF_TEXT | TLSE_ITEM | TLIF_CELL);
  EXPECT_EQ(ex.item.cChildren, 1);
  EXPECT_EQ(ex.item.cchTextMax, 256);
  EXPECT_EQ(TextOf(b, 1), "zwei");

  EXPECT_EQ(m_tree.FindItem(TVI_ROOT, TLFI_TEXT | TLFI_TREE, 1, "zwei", 9, 1, 2), b);
  const Sent& find = Last(TLM_FINDITEM);
  EXPECT_EQ(find.wParam, (WPARAM)TVI_ROOT);
  EXPECT_EQ(find.find.column, 1);
  EXPECT_EQ(find.find.lParam, 9);
  EXPECT_EQ(find.find.state, 1u);
  EXPECT_EQ(find.find.stateMask, 2u);

  m_tree.CountMatchingItems(a, TVIF_STATE, TVIS_BOLD, TVIS_BOLD, 4, 5);
  const Sent& count = Last(TLM_COUNTITEMS);
  EXPECT_EQ(count.item.hItem, a);
  EXPECT_EQ(count.item.mask, (UINT)TVIF_STATE);
  EXPECT_EQ(count.item.state, (UINT)TVIS_BOLD);
  EXPECT_EQ(count.item.lParam, 4);
  EXPECT_EQ(count.item.iImage, 5);

  CImageList* image = m_tree.CreateDragImage(b, 1);
  const Sent& drag = Last(TVM_CREATEDRAGIMAGE);
  EXPECT_EQ(drag.wParam, 1u);
  if (image) {
    EXPECT_NE(image->GetSafeHandle(), nullptr);
    delete image;
  }
}

TEST_F(TreeListCtrlTest, DirectMembersDeferAndWorkFromAWorker) {
  Create(true);
  m_tree.InsertColumn(0, "Name", -1, 100);
  m_tree.InsertColumn(1, "Wert", -1, 100);
  // A callback text: no TVN_GETDISPINFOA from the direct insert, no row yet.
  HTREEITEM cb = m_tree.InsertItemDirect(TVIF_TEXT, LPSTR_TEXTCALLBACKA, 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST);
  ASSERT_NE(cb, nullptr);
  EXPECT_EQ(std::count(g_codes.begin(), g_codes.end(), (int)TVN_GETDISPINFOA), 0);
  EXPECT_EQ(m_tree.SendMessage(TLM_GETITEMROW, 0, (LPARAM)cb), -1);
  m_tree.SendMessage(TLM_RUNDEFERRED);
  EXPECT_EQ(m_tree.SendMessage(TLM_GETITEMROW, 0, (LPARAM)cb), 0);

  // A worker inserts, sets cells and finds while this thread waits without
  // pumping messages: the deferring forms never wait for it.
  struct Work {
    CTreeListCtrl* tree;
    HTREEITEM found;
    int inserted;
  } work = {&m_tree, nullptr, 0};
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID p) WINAPI -> DWORD {
        Work* w = (Work*)p;
        for (int i = 0; i < 200; ++i) {
          char text[16];
          wsprintfA(text, "w%03d", i);
          HTREEITEM h = w->tree->InsertItemDirect(TVIF_TEXT | TVIF_PARAM, text, 0, 0, 0, 0, i, TVI_ROOT, TVI_LAST);
          if (!h) continue;
          ++w->inserted;
          w->tree->SetItemExDirect(h, 1, TVIF_TEXT | TLSE_ITEM, i == 150 ? "ziel" : "x", 0, 0, 0, 0, 0);
        }
        w->tree->InsertItemSortedCBDirect(TVIF_TEXT, "w0005", 0, 0, 0, 0, 0, RecordingCompare, TVI_ROOT);
        w->found = w->tree->FindItemDirect(TVI_ROOT, TLFI_TEXT | TLFI_TREE, 1, "ziel", 0, 0, 0);
        return 0;
      },
      &work, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(work.inserted, 200);
  ASSERT_NE(work.found, nullptr);
  EXPECT_EQ(m_tree.GetItemData(work.found), 150u);
  std::vector<std::string> roots = RootTexts();
  auto at = std::find(roots.begin(), roots.end(), "w0005");
  ASSERT_NE(at, roots.end());
  EXPECT_EQ(*(at - 1), "w000") << "placed by the callback";
  m_tree.SendMessage(TLM_RUNDEFERRED);
  EXPECT_EQ(m_tree.SendMessage(TLM_GETROWCOUNT), 202);

  // By2's direct form stores the lParam behind the record.
  HTREEITEM by2 =
      m_tree.InsertItemSortedBy2Direct(TVIF_TEXT | TVIF_PARAM, "a", 0, 0, 0, 0, 31, RecordingCompare, TVI_ROOT, 7);
  ASSERT_NE(by2, nullptr);
  EXPECT_EQ(m_tree.GetItemData(by2), 31u);
  EXPECT_EQ(g_compares.back().substr(g_compares.back().size() - 2), "|7");
}

}  // namespace

TEST_F(TreeListCtrlTest, DragMembersSendTheirMessages) {
  Create(false);
  HTREEITEM a = m_tree.InsertItem(TVIF_TEXT, "a", 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST);
  Record();
  EXPECT_EQ(m_tree.SetDropMark(a, 3), a);
  EXPECT_EQ(Last(TLM_SETDROPMARK).wParam, 3u);
  EXPECT_EQ(m_tree.SetDropMark(nullptr), nullptr);
  EXPECT_EQ(m_tree.SetDragOptions(TL_DRAG_REPORTCANCEL), 0u);
  EXPECT_EQ(Last(TLM_OPTION).wParam, TLO_SET | TLO_DRAGOPTIONS);
  EXPECT_EQ(m_tree.SetDragOptions(0), TL_DRAG_REPORTCANCEL);
  EXPECT_TRUE(m_tree.SetHotItem(a));
  EXPECT_EQ(m_tree.SendMessage(TVM_GETNEXTITEM, TVGN_DROPHILITE), (LRESULT)a);
  EXPECT_TRUE(m_tree.SetAutoScroll(1, 50));
  EXPECT_EQ(Last(TLM_SETAUTOSCROLL).wParam, 1u);
  m_tree.SetAutoScroll(0, 0);
  EXPECT_TRUE(m_tree.BeginDrag(a));
  EXPECT_EQ(Last(TLM_BEGINDRAG).msg, TLM_BEGINDRAG);
  m_tree.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(m_tree.BeginDrag(nullptr));
}
