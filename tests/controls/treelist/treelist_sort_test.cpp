// Sorting children: by text, by the Windows compare callback and by the
// six-argument callback; a single child, recursion, callbacks that answer
// nonsense or try to change the tree, and the lock left while they run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/treelist/treelist_keys.h"
#include "treelist_fixture.h"

namespace {

std::vector<TLHandle> Children(TreeListFixture& f, TLHandle parent) {
  std::vector<TLHandle> out;
  UINT_PTR h = f.Send(TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, parent);
  while (h) {
    out.push_back((TLHandle)h);
    h = f.Send(TVM_GETNEXTITEM, TVGN_NEXT, h);
  }
  return out;
}

std::string Text(TreeListFixture& f, TLHandle h) {
  TreeListItem* item = TreeListLookup(f.Data(), h);
  return item && item->text ? item->text : "";
}

std::string Texts(TreeListFixture& f, TLHandle parent) {
  std::string out;
  for (TLHandle h : Children(f, parent)) out += (out.empty() ? "" : " ") + Text(f, h);
  return out;
}

// Sibling links both ways, first and last, and every row in pre-order.
void ExpectConsistent(TreeListFixture& f, TLHandle parent, std::vector<TLHandle> expected) {
  TreeListData* d = f.Data();
  TLHandle first = parent ? d->items[parent]->firstChild : d->firstRoot;
  TLHandle last = parent ? d->items[parent]->lastChild : d->lastRoot;
  std::vector<TLHandle> seen;
  TLHandle prev = 0;
  for (TLHandle h = first; h && seen.size() <= expected.size(); h = d->items[h]->nextSibling) {
    EXPECT_EQ(d->items[h]->prevSibling, prev);
    seen.push_back(h);
    prev = h;
  }
  EXPECT_EQ(last, prev);
  std::sort(seen.begin(), seen.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(seen, expected) << "each child exactly once";
  // Rows: the pre-order of the expanded tree.
  UINT r = 0;
  for (TLHandle h = d->firstRoot; h;) {
    ASSERT_LT(r, d->rowCount);
    EXPECT_EQ(d->rows[r], h);
    EXPECT_EQ(d->items[h]->row, r + 1);
    ++r;
    TreeListItem* item = d->items[h];
    if (item->firstChild && (item->state & TVIS_EXPANDED)) {
      h = item->firstChild;
      continue;
    }
    while (item && !item->nextSibling) item = item->parent ? d->items[item->parent] : nullptr;
    h = item ? item->nextSibling : 0;
  }
  EXPECT_EQ(r, d->rowCount);
}

struct CallLog {
  int calls = 0;
  bool argsOk = true;
};
CallLog g_log;
LPARAM g_expectSort = 0;

int CALLBACK ByParamDescending(LPARAM a, LPARAM b, LPARAM sort) {
  ++g_log.calls;
  if (sort != g_expectSort) g_log.argsOk = false;
  return a < b ? 1 : a > b ? -1 : 0;
}

HWND g_window = nullptr;
int CALLBACK ByHandleEx(HWND hwnd, HTREEITEM a, HTREEITEM b, LPARAM pa, LPARAM pb, LPARAM sort) {
  ++g_log.calls;
  if (hwnd != g_window || sort != g_expectSort) g_log.argsOk = false;
  // The lParams belong to the handles.
  if (SendMessageA(hwnd, TLM_GETITEMPARAM, 0, (LPARAM)a) != pa) g_log.argsOk = false;
  if (SendMessageA(hwnd, TLM_GETITEMPARAM, 0, (LPARAM)b) != pb) g_log.argsOk = false;
  return (int)(pa - pb);
}

class TreeListSort : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log = CallLog();
    g_window = f.Hwnd();
  }
  TreeListFixture f;
};

TEST_F(TreeListSort, ByTextIgnoringCase) {
  const char* names[] = {"delta", "Alpha", "charlie", "bravo", "ALPHA2"};
  std::vector<TLHandle> roots;
  for (const char* n : names) roots.push_back(Insert(f, 0, n));
  EXPECT_EQ(f.Send(TVM_SORTCHILDREN, 0, (LPARAM)TVI_ROOT), 1);
  EXPECT_EQ(Texts(f, 0), "Alpha ALPHA2 bravo charlie delta");
  ExpectConsistent(f, 0, roots);
  // Bad handles and childless parents.
  EXPECT_EQ(f.Send(TVM_SORTCHILDREN, 0, 0), 0);
  EXPECT_EQ(f.Send(TVM_SORTCHILDREN, 0, 999), 0);
  EXPECT_EQ(f.Send(TVM_SORTCHILDREN, 0, roots[0]), 1) << "no children";
  EXPECT_EQ(f.Send(TVM_SORTCHILDRENCB, 0, 0), 0);
  TVSORTCB none = {TVI_ROOT, nullptr, 0};
  EXPECT_EQ(f.Send(TVM_SORTCHILDRENCB, 0, (LPARAM)&none), 0);
  EXPECT_EQ(f.Send(TLM_SORTCHILDRENEX, 0, 0), 0);
}

TEST_F(TreeListSort, CallbackTextsAreAskedForOnce) {
  std::vector<TLHandle> roots;
  const char* names[] = {"m", "z", "a", "k"};
  for (int i = 0; i < 4; ++i) {
    TVINSERTSTRUCTA ins = {};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = i % 2 ? LPSTR_TEXTCALLBACKA : (LPSTR)names[i];
    ins.item.lParam = (LPARAM)names[i];
    roots.push_back((TLHandle)f.Send(TVM_INSERTITEMA, 0, (LPARAM)&ins));
  }
  int asked = 0;
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    if (hdr->code == TVN_GETDISPINFOA) {
      NMTVDISPINFOA* di = (NMTVDISPINFOA*)hdr;
      if (di->item.mask & TVIF_TEXT) {
        lstrcpynA(di->item.pszText, (const char*)di->item.lParam, di->item.cchTextMax);
        ++asked;
      }
    }
    return 0;
  };
  EXPECT_EQ(f.Send(TVM_SORTCHILDREN, 0, (LPARAM)TVI_ROOT), 1);
  f.onNotify = nullptr;
  EXPECT_EQ(asked, 2);
  std::vector<std::string> order;
  for (TLHandle h : Children(f, 0)) order.push_back((const char*)f.Send(TLM_GETITEMPARAM, 0, h));
  EXPECT_EQ(order, (std::vector<std::string>{"a", "k", "m", "z"}));
  ExpectConsistent(f, 0, roots);
}

TEST_F(TreeListSort, CallbackFormsGetTheirArguments) {
  std::vector<TLHandle> roots;
  for (int i = 0; i < 40; ++i) roots.push_back(Insert(f, 0, "x", (i * 17) % 40));
  g_expectSort = 0x5151;
  TVSORTCB sort = {TVI_ROOT, ByParamDescending, 0x5151};
  EXPECT_EQ(f.Send(TVM_SORTCHILDRENCB, 0, (LPARAM)&sort), 1);
  EXPECT_TRUE(g_log.argsOk);
  EXPECT_GT(g_log.calls, 0);
  std::vector<TLHandle> order = Children(f, 0);
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(f.Send(TLM_GETITEMPARAM, 0, order[i]), (LRESULT)(39 - i));
  ExpectConsistent(f, 0, roots);

  g_log = CallLog();
  g_expectSort = 0x7777;
  TLSORTCBEX ex = {TVI_ROOT, ByHandleEx, 0x7777};
  EXPECT_EQ(f.Send(TLM_SORTCHILDRENEX, 0, (LPARAM)&ex), 1);
  EXPECT_TRUE(g_log.argsOk);
  order = Children(f, 0);
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(f.Send(TLM_GETITEMPARAM, 0, order[i]), (LRESULT)i);
  ExpectConsistent(f, 0, roots);
}

TEST_F(TreeListSort, SingleChildSortsTheGrandchildren) {
  TLHandle only = Insert(f, 0, "only");
  TLHandle child = Insert(f, only, "child");
  Insert(f, child, "c");
  Insert(f, child, "a");
  Insert(f, child, "b");
  f.Send(TVM_EXPAND, TVE_EXPAND, only);
  f.Send(TVM_EXPAND, TVE_EXPAND, child);
  EXPECT_EQ(f.Send(TVM_SORTCHILDREN, 0, (LPARAM)TVI_ROOT), 1);
  EXPECT_EQ(Texts(f, child), "a b c");
  ExpectConsistent(f, child, Children(f, child));
}

TEST_F(TreeListSort, RecursionSortsEveryLevel) {
  TLHandle b = Insert(f, 0, "b"), a = Insert(f, 0, "a");
  TLHandle b2 = Insert(f, b, "2"), b1 = Insert(f, b, "1");
  Insert(f, b1, "z");
  Insert(f, b1, "y");
  Insert(f, a, "q");
  Insert(f, a, "p");
  for (TLHandle h : {a, b, b1, b2}) f.Send(TVM_EXPAND, TVE_EXPAND, h);
  // Without the flag only the roots.
  EXPECT_EQ(f.Send(TVM_SORTCHILDREN, 0, (LPARAM)TVI_ROOT), 1);
  EXPECT_EQ(Texts(f, 0), "a b");
  EXPECT_EQ(Texts(f, a), "q p");
  EXPECT_EQ(f.Send(TVM_SORTCHILDREN, 1, (LPARAM)TVI_ROOT), 1);
  EXPECT_EQ(Texts(f, a), "p q");
  EXPECT_EQ(Texts(f, b), "1 2");
  EXPECT_EQ(Texts(f, b1), "y z");
  ExpectConsistent(f, b1, Children(f, b1));
  // Rows follow: a p q b 1 y z 2.
  std::string rows;
  for (int r = 0; r < (int)f.Send(TLM_GETROWCOUNT); ++r) rows += Text(f, (TLHandle)f.Send(TLM_GETROWITEM, 0, r));
  EXPECT_EQ(rows, "apqb1yz2");
}

// Callbacks that answer nonsense: the children stay a permutation.
int g_mode = 0;
HWND g_target = nullptr;
int CALLBACK Hostile(LPARAM a, LPARAM b, LPARAM) {
  ++g_log.calls;
  switch (g_mode) {
    case 0:
      return -1;
    case 1:
      return 1;
    case 2:
      return 0;
    case 3:
      return rand() % 3 - 1;
    default: {
      // Tries to change the tree while it is being sorted.
      SendMessageA(g_target, TVM_DELETEITEM, 0, a);
      TVINSERTSTRUCTA ins = {};
      ins.hParent = TVI_ROOT;
      ins.hInsertAfter = TVI_LAST;
      ins.item.mask = TVIF_TEXT;
      ins.item.pszText = (LPSTR) "new";
      if (SendMessageA(g_target, TVM_INSERTITEMA, 0, (LPARAM)&ins)) g_log.argsOk = false;
      if (SendMessageA(g_target, TVM_SORTCHILDREN, 0, (LPARAM)TVI_ROOT)) g_log.argsOk = false;
      return (int)(a - b);
    }
  }
}

TEST_F(TreeListSort, HostileCallbacksKeepEveryChildOnce) {
  std::vector<TLHandle> roots;
  for (int i = 0; i < 300; ++i) roots.push_back(Insert(f, 0, "r", i));
  g_target = f.Hwnd();
  srand(7);
  for (int mode = 0; mode <= 4; ++mode) {
    SCOPED_TRACE(mode);
    g_mode = mode;
    g_log = CallLog();
    TVSORTCB sort = {TVI_ROOT, Hostile, 0};
    EXPECT_EQ(f.Send(TVM_SORTCHILDRENCB, 0, (LPARAM)&sort), 1);
    EXPECT_TRUE(g_log.argsOk);
    EXPECT_LE(g_log.calls, 300 * 300) << "a lying compare may cost n squared, never more";
    EXPECT_EQ(f.Send(TVM_GETCOUNT), 300);
    ExpectConsistent(f, 0, roots);
  }
  EXPECT_EQ(f.Data()->busy, 0);
}

int CALLBACK ByTenValues(LPARAM a, LPARAM b, LPARAM) {
  ++g_log.calls;
  return (int)(a % 10) - (int)(b % 10);
}

TEST_F(TreeListSort, FewDistinctKeysStayNearNLogN) {
  const int n = 20000;
  std::vector<TLHandle> roots;
  f.Send(WM_SETREDRAW, FALSE);
  for (int i = 0; i < n; ++i) roots.push_back(Insert(f, 0, "v", (i * 7919) % n));
  TVSORTCB sort = {TVI_ROOT, ByTenValues, 0};
  EXPECT_EQ(f.Send(TVM_SORTCHILDRENCB, 0, (LPARAM)&sort), 1);
  f.Send(WM_SETREDRAW, TRUE);
  EXPECT_LT(g_log.calls, 600000) << "scans that pass over equal keys take millions";
  LRESULT prev = -1;
  for (TLHandle h : Children(f, 0)) {
    LRESULT key = f.Send(TLM_GETITEMPARAM, 0, h) % 10;
    EXPECT_GE(key, prev);
    prev = key;
  }
  ExpectConsistent(f, 0, roots);
}

// Equal keys: the quicksort is not stable, and callers see its order. The
// three forms order the same keys the same way; the order of the equal
// ones is pinned here (lParam = insertion index).
int CALLBACK ByKeyParam(LPARAM a, LPARAM b, LPARAM keys) {
  const char* const* k = (const char* const*)keys;
  return _stricmp(k[a], k[b]);
}
int CALLBACK ByCellTextEx(HWND hwnd, HTREEITEM a, HTREEITEM b, LPARAM, LPARAM, LPARAM) {
  char ta[16], tb[16];
  TVITEMA item = {};
  item.mask = TLIF_CELL | TVIF_TEXT;
  item.cChildren = 1;
  item.cchTextMax = sizeof(ta);
  item.hItem = a;
  item.pszText = ta;
  SendMessageA(hwnd, TVM_GETITEMA, 0, (LPARAM)&item);
  item.hItem = b;
  item.pszText = tb;
  SendMessageA(hwnd, TVM_GETITEMA, 0, (LPARAM)&item);
  return _stricmp(ta, tb);
}

// The same compare on keys read once before the sort, by handle.
std::vector<std::string> g_cellKeys;
int CALLBACK ByCellKeyEx(HWND, HTREEITEM a, HTREEITEM b, LPARAM, LPARAM, LPARAM) {
  return _stricmp(g_cellKeys[(UINT_PTR)a].c_str(), g_cellKeys[(UINT_PTR)b].c_str());
}

TEST_F(TreeListSort, EqualKeysKeepTheirOrder) {
  static const char* const keys[] = {"c", "a", "B", "c", "A", "b", "c", "a", "b", "C", "a", "b", "c", "A", "d", "a"};
  const int n = (int)(sizeof(keys) / sizeof(keys[0]));
  LVCOLUMNA col = {};
  col.mask = LVCF_WIDTH;
  col.cx = 50;
  f.Send(TLM_INSERTCOLUMN, 0, (LPARAM)&col);
  f.Send(TLM_INSERTCOLUMN, 1, (LPARAM)&col);
  auto fill = [&] {
    f.Send(TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    for (int i = 0; i < n; ++i) {
      TLHandle h = Insert(f, 0, keys[i], i);
      TVITEMA cell = {};
      cell.mask = TLIF_CELL | TVIF_TEXT;
      cell.hItem = (HTREEITEM)(UINT_PTR)h;
      cell.cChildren = 1;
      cell.pszText = (LPSTR)keys[i];
      f.Send(TVM_SETITEMA, 0, (LPARAM)&cell);
    }
  };
  auto order = [&] {
    std::string out;
    for (TLHandle h : Children(f, 0)) out += std::to_string(f.Send(TLM_GETITEMPARAM, 0, h)) + " ";
    return out;
  };
  const std::string expected = "10 13 15 4 7 1 5 8 2 11 12 3 6 0 9 14 ";
  fill();
  EXPECT_EQ(f.Send(TVM_SORTCHILDREN, 0, (LPARAM)TVI_ROOT), 1);
  EXPECT_EQ(order(), expected) << "by text";
  fill();
  TVSORTCB cb = {TVI_ROOT, ByKeyParam, (LPARAM)keys};
  EXPECT_EQ(f.Send(TVM_SORTCHILDRENCB, 0, (LPARAM)&cb), 1);
  EXPECT_EQ(order(), expected) << "by callback";
  fill();
  TLSORTCBEX ex = {TVI_ROOT, ByCellTextEx, 0};
  EXPECT_EQ(f.Send(TLM_SORTCHILDRENEX, 0, (LPARAM)&ex), 1);
  EXPECT_EQ(order(), expected) << "by six-argument callback reading cells";
  fill();
  g_cellKeys.clear();
  for (TLHandle h : Children(f, 0)) {
    char text[16] = {};
    TVITEMA cell = {};
    cell.mask = TLIF_CELL | TVIF_TEXT;
    cell.hItem = (HTREEITEM)(UINT_PTR)h;
    cell.cChildren = 1;
    cell.pszText = text;
    cell.cchTextMax = sizeof(text);
    f.Send(TVM_GETITEMA, 0, (LPARAM)&cell);
    if (h >= g_cellKeys.size()) g_cellKeys.resize(h + 1);
    g_cellKeys[h] = text;
  }
  TLSORTCBEX keyed = {TVI_ROOT, ByCellKeyEx, 0};
  EXPECT_EQ(f.Send(TLM_SORTCHILDRENEX, 0, (LPARAM)&keyed), 1);
  EXPECT_EQ(order(), expected) << "by six-argument callback on keys read once";
}

// The lock is out while a callback runs: a worker's direct call returns.
struct Probe {
  WNDPROC direct;
  HWND hwnd;
  TLHandle item;
  LRESULT result;
};
DWORD WINAPI ReadItem(void* arg) {
  Probe* p = (Probe*)arg;
  TVITEMA tv = {};
  tv.mask = TVIF_PARAM | TLIF_DIRECT;
  tv.hItem = (HTREEITEM)(UINT_PTR)p->item;
  p->result = p->direct(p->hwnd, TVM_GETITEMA, 0, (LPARAM)&tv);
  return 0;
}
bool g_workerDone = false;
int CALLBACK WaitsForWorker(LPARAM a, LPARAM b, LPARAM context) {
  if (!g_workerDone) {
    g_workerDone = true;
    Probe* p = (Probe*)context;
    HANDLE thread = CreateThread(nullptr, 0, ReadItem, p, 0, nullptr);
    if (WaitForSingleObject(thread, 1000) != WAIT_OBJECT_0) g_log.argsOk = false;
    CloseHandle(thread);
  }
  return (int)(a - b);
}

TEST_F(TreeListSort, CallbacksRunWithoutTheLock) {
  TLHandle first = Insert(f, 0, "a", 3);
  Insert(f, 0, "b", 1);
  Insert(f, 0, "c", 2);
  g_workerDone = false;
  Probe probe = {(WNDPROC)f.Send(TLM_OPTION, TLO_DIRECTENTRY), f.Hwnd(), first, 0};
  TVSORTCB sort = {TVI_ROOT, WaitsForWorker, (LPARAM)&probe};
  EXPECT_EQ(f.Send(TVM_SORTCHILDRENCB, 0, (LPARAM)&sort), 1);
  EXPECT_TRUE(g_log.argsOk);
  EXPECT_EQ(probe.result, 1);
  // And afterwards too.
  probe.result = 0;
  HANDLE thread = CreateThread(nullptr, 0, ReadItem, &probe, 0, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 1000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(probe.result, 1);
}

}  // namespace

namespace {

// With TVS_SHOWSELALWAYS the caret follows into view; without, the view stays.
TEST(TreeListSortView, CaretMadeVisibleOnlyWithShowSelAlways) {
  for (DWORD extra : {(DWORD)0, (DWORD)TVS_SHOWSELALWAYS}) {
    SCOPED_TRACE(extra);
    TreeListFixture f(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | extra);
    TLHandle last = Insert(f, 0, "zz");
    for (int i = 0; i < 39; ++i) Insert(f, 0, "a");
    f.Send(TVM_SELECTITEM, TVGN_CARET, last);
    ASSERT_EQ(f.Data()->topRow, 0);
    EXPECT_EQ(f.Send(TVM_SORTCHILDREN, 0, (LPARAM)TVI_ROOT), 1);
    EXPECT_EQ(f.Send(TLM_GETITEMROW, 0, last), 39);
    if (extra)
      EXPECT_GT(f.Data()->topRow, 0);
    else
      EXPECT_EQ(f.Data()->topRow, 0);
  }
}

}  // namespace
