// The item store through its messages: insert positions, children
// buttons, deletes and their notifications, handles given again, get and
// set, state over relatives, own colours, the insert mark and the rows.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "harness/window_util.h"
#include "treelist_fixture.h"

namespace {

TLHandle Insert(TreeListFixture& f, UINT_PTR parent, UINT_PTR after, const char* text, UINT mask = 0,
                int children = 0) {
  TVINSERTSTRUCTA ins = {};
  ins.hParent = (HTREEITEM)parent;
  ins.hInsertAfter = (HTREEITEM)after;
  ins.item.mask = TVIF_TEXT | mask;
  ins.item.pszText = (char*)text;
  ins.item.cChildren = children;
  return (TLHandle)f.Send(TVM_INSERTITEMA, 0, (LPARAM)&ins);
}

// Texts of the children of parent (0: roots), in order.
std::string Children(TreeListFixture& f, TLHandle parent) {
  TreeListData* d = f.Data();
  std::string out;
  TLHandle h = parent ? d->items[parent]->firstChild : d->firstRoot;
  TLHandle prev = 0;
  for (; h; prev = h, h = d->items[h]->nextSibling) {
    EXPECT_EQ(prev, d->items[h]->prevSibling);
    EXPECT_EQ(parent, d->items[h]->parent);
    out += d->items[h]->text ? d->items[h]->text : "?";
  }
  EXPECT_EQ(prev, parent ? d->items[parent]->lastChild : d->lastRoot);
  return out;
}

int CALLBACK ByLength(HWND, HTREEITEM, LPCSTR siblingText, LPCSTR newText, LPARAM, LPARAM param) {
  EXPECT_EQ(42, param);
  return (int)strlen(newText) - (int)strlen(siblingText);
}

TEST(TreeListInsert, EveryPosition) {
  TreeListFixture f;
  TLHandle b = Insert(f, 0, (UINT_PTR)TVI_LAST, "b");
  Insert(f, 0, (UINT_PTR)TVI_LAST, "d");
  Insert(f, 0, (UINT_PTR)TVI_FIRST, "a");
  Insert(f, 0, b, "c");
  EXPECT_EQ("abcd", Children(f, 0));
  TLHandle p = Insert(f, 0, (UINT_PTR)TVI_LAST, "P");
  struct {
    UINT_PTR parent, after;
    const char* text;
    const char* children;  // of P afterwards
  } const steps[] = {
      {p, (UINT_PTR)TVI_SORT, "m"}, {p, (UINT_PTR)TVI_SORT, "B"}, {p, (UINT_PTR)TVI_SORT, "x"},
      {p, (UINT_PTR)TVI_SORT, "M"}, {p, 0xFFE00000, "0"},         {p, 0xFFE00002, "2"},
      {p, 0xFFE00063, "9"},         {p, (UINT_PTR)TVI_ROOT, "R"}, {p, 99999, "L"},
  };
  const char* expect[] = {"m", "Bm", "Bmx", "BMmx", "0BMmx", "0B2Mmx", "0B2Mmx9", "0B2Mmx9", "0B2Mmx9L"};
  for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i) {
    SCOPED_TRACE(steps[i].text);
    EXPECT_NE(0u, Insert(f, steps[i].parent, steps[i].after, steps[i].text));
    EXPECT_EQ(expect[i], Children(f, p));
  }
  EXPECT_EQ("abcdPR", Children(f, 0));
  // Beside an item, as its sibling.
  TLHandle c = (TLHandle)f.Send(TLM_GETROWITEM, 0, 2);
  Insert(f, c, (UINT_PTR)TLI_AFTER, "C");
  Insert(f, c, (UINT_PTR)TLI_BEFORE, "B");
  EXPECT_EQ("abBcCdPR", Children(f, 0));
  // The caller's order: shorter texts first.
  TLHandle q = Insert(f, 0, (UINT_PTR)TVI_LAST, "Q");
  for (const char* t : {"ccc", "a", "bb", "dddd"}) {
    TVINSERTSTRUCTA ins = {};
    ins.hParent = (HTREEITEM)(UINT_PTR)q;
    ins.hInsertAfter = TLI_SORTCB;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = (char*)t;
    ins.item.lParam = 42;
    ins.item.hItem = (HTREEITEM)(void*)ByLength;
    ASSERT_NE(0, f.Send(TVM_INSERTITEMA, 0, (LPARAM)&ins));
  }
  EXPECT_EQ("abbcccdddd", Children(f, q));
  // Failures: a bad parent; a sibling position without its item.
  EXPECT_EQ(0u, Insert(f, 5000, (UINT_PTR)TVI_LAST, "z"));
  EXPECT_EQ(0u, Insert(f, 0, (UINT_PTR)TLI_AFTER, "z"));
  // NULL text is the empty text.
  TVINSERTSTRUCTA ins = {};
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT;
  TLHandle empty = (TLHandle)f.Send(TVM_INSERTITEMA, 0, (LPARAM)&ins);
  ASSERT_NE(0u, empty);
  EXPECT_STREQ("", f.Data()->items[empty]->text);
  EXPECT_EQ((LRESULT)f.Data()->itemCount, f.Send(TVM_GETCOUNT));
}

TEST(TreeListInsert, SortedCompareFoldsAsciiOnly) {
  TreeListFixture f;
  for (const char* t : {"\xC4", "b", "B", "a", "\xE4", "A"}) Insert(f, 0, (UINT_PTR)TVI_SORT, t);
  std::string roots = Children(f, 0);
  ASSERT_EQ(6u, roots.size());
  // "ä" and "Ä" are different letters to the compare: never equal.
  EXPECT_NE(0, _stricmp("\xE4", "\xC4"));
  for (size_t i = 1; i < roots.size(); ++i) {
    EXPECT_LE(_stricmp(roots.substr(i - 1, 1).c_str(), roots.substr(i, 1).c_str()), 0) << roots;
  }
  // Equal keys: the new item goes before the first equal one.
  EXPECT_NE(std::string::npos, roots.find("Aa"));
  EXPECT_NE(std::string::npos, roots.find("Bb"));
}

TEST(TreeListInsert, ChildrenButtonsAndRows) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  TLHandle a = Insert(f, 0, (UINT_PTR)TVI_LAST, "a");
  TLHandle none = Insert(f, 0, (UINT_PTR)TVI_LAST, "n", TVIF_CHILDREN, 0);
  TLHandle shown = Insert(f, 0, (UINT_PTR)TVI_LAST, "s", TVIF_CHILDREN, 1);
  EXPECT_EQ(kTLItemChildrenReal, d->items[a]->itemFlags & 3);
  EXPECT_EQ(0, d->items[none]->itemFlags & 3);
  EXPECT_EQ(kTLItemHasChildren, d->items[shown]->itemFlags & 3);
  Insert(f, none, (UINT_PTR)TVI_LAST, "x");
  EXPECT_EQ(0, d->items[none]->itemFlags & kTLItemHasChildren);
  TVITEMA set = {};
  set.mask = TVIF_CHILDREN;
  set.hItem = (HTREEITEM)(UINT_PTR)none;
  set.cChildren = 0;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&set);
  Insert(f, none, (UINT_PTR)TVI_LAST, "y");
  EXPECT_EQ(kTLItemHasChildren, d->items[none]->itemFlags & kTLItemHasChildren);
  // The first child under a collapsed parent repaints its row; a second
  // child does not; neither gets a row.
  UpdateWindow(f.Hwnd());
  ValidateRect(f.Hwnd(), nullptr);
  TLHandle first = Insert(f, a, (UINT_PTR)TVI_LAST, "c1");
  RECT update;
  EXPECT_TRUE(GetUpdateRect(f.Hwnd(), &update, FALSE));
  EXPECT_EQ(0u, d->items[first]->row);
  ValidateRect(f.Hwnd(), nullptr);
  Insert(f, a, (UINT_PTR)TVI_LAST, "c2");
  EXPECT_FALSE(GetUpdateRect(f.Hwnd(), &update, FALSE));
  EXPECT_EQ(3u, d->rowCount);
  // TVIF_CHILDREN read back; get with a one-byte buffer gives "".
  TVITEMA get = {};
  char buffer[8] = "zzz";
  get.mask = TVIF_CHILDREN | TVIF_TEXT;
  get.hItem = (HTREEITEM)(UINT_PTR)a;
  get.pszText = buffer;
  get.cchTextMax = 1;
  ASSERT_EQ(1, f.Send(TVM_GETITEMA, 0, (LPARAM)&get));
  EXPECT_EQ(1, get.cChildren);
  EXPECT_STREQ("", buffer);
}

TEST(TreeListDelete, NotificationsInOrder) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  TLHandle p = Insert(f, 0, (UINT_PTR)TVI_LAST, "p");
  TLHandle c1 = Insert(f, p, (UINT_PTR)TVI_LAST, "c1");
  TLHandle c2 = Insert(f, p, (UINT_PTR)TVI_LAST, "c2");
  TLHandle q = Insert(f, 0, (UINT_PTR)TVI_LAST, "q");
  f.Send(TVM_EXPAND, TVE_EXPAND, (LPARAM)p);
  TreeListLock(d);
  TreeListSelectItem(d, c1, 0, 0);
  TreeListUnlock(d);
  f.notes.clear();
  EXPECT_EQ(1, f.Send(TVM_DELETEITEM, 0, (LPARAM)p));
  ASSERT_EQ((std::vector<int>{(int)TVN_DELETEITEMA, (int)TVN_SELCHANGEDA, (int)TVN_DELETEITEMA, (int)TVN_DELETEITEMA}),
            Codes(f.notes));
  EXPECT_EQ((HTREEITEM)(UINT_PTR)c2, f.notes[0].tv.itemOld.hItem);
  EXPECT_EQ((HTREEITEM)(UINT_PTR)c1, f.notes[1].tv.itemOld.hItem);
  EXPECT_EQ(0u, f.notes[1].tv.itemOld.state & TVIS_SELECTED);
  EXPECT_EQ((HTREEITEM)(UINT_PTR)p, f.notes[3].tv.itemOld.hItem);
  EXPECT_EQ((LPARAM)0, f.notes[3].tv.itemOld.lParam);
  EXPECT_EQ(0u, d->caretItem);
  EXPECT_EQ(0u, d->selectedCount);
  EXPECT_EQ(1u, d->rowCount);
  EXPECT_EQ(q, d->rows[0]);
  EXPECT_EQ(0, f.Send(TVM_DELETEITEM, 0, (LPARAM)p));
  EXPECT_EQ(0, f.Send(TVM_DELETEITEM, 0x88, (LPARAM)q));  // no children
}

TEST(TreeListDelete, DeferredModeNotifiesOnlyFromTheQueue) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  TLHandle a = Insert(f, 0, (UINT_PTR)TVI_LAST, "a");
  Insert(f, 0, (UINT_PTR)TVI_LAST, "b");
  TreeListLock(d);
  TreeListSelectItem(d, a, 0, 0);
  TreeListUnlock(d);
  f.notes.clear();
  EXPECT_EQ(1, TreeListWndProc(f.Hwnd(), TVM_DELETEITEM, 0x89, (LPARAM)a));
  EXPECT_TRUE(f.notes.empty());
  EXPECT_EQ(1u, d->itemCount);
  f.Send(TLM_RUNDEFERRED);
  ASSERT_EQ((std::vector<int>{(int)TVN_SELCHANGEDA}), Codes(f.notes));
  EXPECT_EQ((HTREEITEM)(UINT_PTR)a, f.notes[0].tv.itemOld.hItem);
  EXPECT_EQ(1u, d->rowCount);
}

TEST(TreeListDelete, UnfixedRootsAndAll) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  for (const char* t : {"a", "b", "c", "d", "e"}) Insert(f, 0, (UINT_PTR)TVI_LAST, t);
  f.Send(TLM_OPTION, TLO_SET | TLO_FIXEDROWS, 2);
  EXPECT_EQ(1, f.Send(TVM_DELETEITEM, 0, (LPARAM)TLI_UNFIXEDROOTS));
  EXPECT_EQ("ab", Children(f, 0));
  EXPECT_EQ(2u, d->rowCount);
  EXPECT_EQ(1, f.Send(TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT));
  EXPECT_EQ(0u, d->rowCount);
  EXPECT_EQ(0u, d->itemCount);
}

TEST(TreeListDelete, ParentsCannotChangeTheStoreInsideTheNotifications) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  TLHandle a = Insert(f, 0, (UINT_PTR)TVI_LAST, "a");
  TLHandle b = Insert(f, 0, (UINT_PTR)TVI_LAST, "b");
  TLHandle c = Insert(f, a, (UINT_PTR)TVI_LAST, "c");
  TreeListLock(d);
  TreeListSelectItem(d, c, 0, 0);
  TreeListUnlock(d);
  std::vector<LRESULT> results;
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    if (hdr->code == TVN_DELETEITEMA || hdr->code == TVN_SELCHANGEDA) {
      results.push_back(f.Send(TVM_DELETEITEM, 0, (LPARAM)a));
      results.push_back(f.Send(TVM_DELETEITEM, 0, (LPARAM)b));
      results.push_back((LRESULT)Insert(f, a, (UINT_PTR)TVI_LAST, "n"));
    }
    return 0;
  };
  EXPECT_EQ(1, f.Send(TVM_DELETEITEM, 0, (LPARAM)a));
  for (LRESULT r : results) EXPECT_EQ(0, r);
  EXPECT_EQ("b", Children(f, 0));
  EXPECT_EQ(1u, d->itemCount);
  f.onNotify = nullptr;
}

TEST(TreeListDelete, AFreedHandleComesBackWithoutOldMarks) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  for (int i = 0; i < 64; ++i) Insert(f, 0, (UINT_PTR)TVI_LAST, "i");
  ASSERT_EQ(64u, d->capacity);
  TreeListLock(d);
  TreeListSelectItem(d, 5, 0, 0);
  d->anchorItem = d->hotItem = d->dropMarkItem = d->checkedItem = d->focusCellItem = d->dragCandidate = 5;
  TreeListUnlock(d);
  f.Send(TVM_DELETEITEM, 0, 5);
  EXPECT_EQ(5u, Insert(f, 0, (UINT_PTR)TVI_LAST, "new"));
  EXPECT_EQ(0u, d->caretItem | d->anchorItem | d->hotItem | d->dropMarkItem | d->checkedItem | d->focusCellItem |
                    d->dragCandidate);
  EXPECT_EQ(0u, d->items[5]->state);
  EXPECT_EQ(64u, d->rowCount);
  for (UINT r = 0; r < d->rowCount; ++r) EXPECT_NE(nullptr, TreeListLookup(d, d->rows[r]));
}

TEST(TreeListItemData, GetSetTextsParamsAndColours) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  TLHandle a = Insert(f, 0, (UINT_PTR)TVI_LAST, "a");
  // A 70,000-byte text comes back whole.
  std::string big(70000, 'q');
  big[69999] = 'z';
  TVITEMA tv = {};
  tv.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE;
  tv.hItem = (HTREEITEM)(UINT_PTR)a;
  tv.pszText = (char*)big.c_str();
  tv.lParam = 77;
  tv.iImage = -1;
  ASSERT_EQ(1, f.Send(TVM_SETITEMA, 0, (LPARAM)&tv));
  std::string back(80000, 0);
  TVITEMA get = {};
  get.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE;
  get.hItem = tv.hItem;
  get.pszText = &back[0];
  get.cchTextMax = (int)back.size();
  ASSERT_EQ(1, f.Send(TVM_GETITEMA, 0, (LPARAM)&get));
  EXPECT_EQ(big, std::string(back.c_str()));
  EXPECT_EQ(77, get.lParam);
  EXPECT_EQ(-1, get.iImage);
  get.mask = TVIF_TEXT | TLIF_TEXTPTR;
  ASSERT_EQ(1, f.Send(TVM_GETITEMA, 0, (LPARAM)&get));
  EXPECT_EQ(d->items[a]->text, get.pszText);
  EXPECT_EQ(70001, get.cchTextMax);
  // Callback text reads back as the callback marker.
  tv.mask = TVIF_TEXT;
  tv.pszText = LPSTR_TEXTCALLBACKA;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
  get.mask = TVIF_TEXT;
  get.pszText = &back[0];
  f.Send(TVM_GETITEMA, 0, (LPARAM)&get);
  EXPECT_EQ(LPSTR_TEXTCALLBACKA, get.pszText);
  // Params, colours.
  EXPECT_EQ(1, f.Send(TLM_SETITEMPARAM, 99, (LPARAM)a));
  EXPECT_EQ(99, f.Send(TLM_GETITEMPARAM, 0, (LPARAM)a));
  EXPECT_EQ(0, f.Send(TLM_SETITEMPARAM, 99, 500));
  EXPECT_EQ(-1, f.Send(TLM_GETTEXTCOLOR, a, 0));
  EXPECT_EQ(-1, f.Send(TLM_SETTEXTCOLOR, a, RGB(1, 2, 3)));
  EXPECT_EQ((LRESULT)RGB(1, 2, 3), f.Send(TLM_GETTEXTCOLOR, a, 0));
  EXPECT_EQ((LRESULT)RGB(1, 2, 3), f.Send(TLM_SETTEXTCOLOR, a, -1));
  EXPECT_EQ(-1, f.Send(TLM_GETTEXTCOLOR, a, 0));
  struct {
    BYTE kind, column, pad[2];
    COLORREF color;
  } record = {0, 0, {0, 0}, RGB(4, 5, 6)};
  EXPECT_EQ(-1, f.Send(TLM_SETCOLOR, a, (LPARAM)&record));
  EXPECT_EQ((LRESULT)RGB(4, 5, 6), f.Send(TLM_GETBKCOLOR, a, 0));
  EXPECT_EQ(-1, f.Send(TLM_GETBKCOLOR, 500, 0));
  // Extra bytes only while empty.
  EXPECT_EQ(0, f.Send(TLM_SETEXTRASIZE, 0, 16));
  EXPECT_EQ(-1, f.Send(TLM_SETEXTRASIZE, 0, 0x1000001));
  EXPECT_EQ(0, f.Send(TLM_GETEXTRASIZE));
  EXPECT_EQ(0, f.Send(TLM_GETITEMEXTRA, 0, (LPARAM)a));
}

TEST(TreeListItemData, ExtraBytesFollowEachRecord) {
  TreeListFixture f;
  EXPECT_EQ(12, f.Send(TLM_SETEXTRASIZE, 0, 12));
  TLHandle a = Insert(f, 0, (UINT_PTR)TVI_LAST, "a");
  BYTE* extra = (BYTE*)f.Send(TLM_GETITEMEXTRA, 0, (LPARAM)a);
  ASSERT_NE(nullptr, extra);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(0, extra[i]);
  memset(extra, 0xAB, 12);
  EXPECT_EQ(0xAB, extra[11]);
}

TEST(TreeListItemData, StateOverRelatives) {
  TreeListFixture f;
  TLHandle a = Insert(f, 0, (UINT_PTR)TVI_LAST, "a");
  TLHandle b = Insert(f, a, (UINT_PTR)TVI_LAST, "b");
  TLHandle c = Insert(f, b, (UINT_PTR)TVI_LAST, "c");
  TLHandle d2 = Insert(f, a, (UINT_PTR)TVI_LAST, "d");
  TLHandle e = Insert(f, 0, (UINT_PTR)TVI_LAST, "e");
  auto bold = [&](TLHandle h) { return (f.Send(TVM_GETITEMSTATE, h) & TVIS_BOLD) != 0; };
  TVITEMA tv = {};
  tv.mask = TVIF_STATE | 0x2000000;
  tv.hItem = (HTREEITEM)(UINT_PTR)a;
  tv.state = TVIS_BOLD;
  tv.stateMask = TVIS_BOLD;
  EXPECT_EQ(3, f.Send(TLM_SETSTATEEX, 0, (LPARAM)&tv));
  EXPECT_EQ((HTREEITEM)(UINT_PTR)a, tv.hItem);
  EXPECT_FALSE(bold(a));
  EXPECT_TRUE(bold(b) && bold(c) && bold(d2));
  EXPECT_FALSE(bold(e));
  tv.mask = TVIF_STATE | 0x400000 | 0x200000;
  tv.hItem = (HTREEITEM)(UINT_PTR)c;
  tv.state = 0;
  EXPECT_EQ(3, f.Send(TLM_SETSTATEEX, 0, (LPARAM)&tv));
  EXPECT_FALSE(bold(c) || bold(b));
  EXPECT_TRUE(bold(d2));
  tv.mask = TVIF_STATE | 0x100000;
  tv.hItem = (HTREEITEM)(UINT_PTR)b;
  tv.state = TVIS_CUT;
  tv.stateMask = TVIS_CUT;
  EXPECT_EQ(1, f.Send(TLM_SETSTATEEX, 0, (LPARAM)&tv));
  EXPECT_TRUE(f.Send(TVM_GETITEMSTATE, d2) & TVIS_CUT);
  tv.hItem = (HTREEITEM)5000;
  EXPECT_EQ(-1, f.Send(TLM_SETSTATEEX, 0, (LPARAM)&tv));
}

TEST(TreeListItemData, InsertMarkIsABlankItemBeforeOrAfter) {
  TreeListFixture f;
  TLHandle p = Insert(f, 0, (UINT_PTR)TVI_LAST, "p");
  TLHandle first = Insert(f, p, (UINT_PTR)TVI_LAST, "a");
  Insert(f, p, (UINT_PTR)TVI_LAST, "b");
  TLHandle mark = (TLHandle)f.Send(TVM_SETINSERTMARK, 1, (LPARAM)first);
  ASSERT_NE(0u, mark);
  EXPECT_EQ("ab", Children(f, p));  // the mark's text is empty
  EXPECT_EQ(mark, f.Data()->items[p]->firstChild);
  EXPECT_EQ((LRESULT)f.Data()->colors[kTLColorInsertMark], f.Send(TLM_GETBKCOLOR, mark, 0));
  TLHandle after = (TLHandle)f.Send(TVM_SETINSERTMARK, 0, (LPARAM)first);
  EXPECT_EQ(nullptr, TreeListLookup(f.Data(), mark == after ? 0 : mark));
  EXPECT_EQ(after, f.Data()->items[first]->nextSibling);
  EXPECT_EQ(1, f.Send(TVM_SETINSERTMARK, 0, 0));
  EXPECT_EQ(3u, f.Data()->itemCount);
}

// Rows are the pre-order walk of the items whose ancestors are all open.
void CheckRows(TreeListData* d) {
  std::vector<TLHandle> walk;
  std::vector<int> depth;
  std::function<void(TLHandle, int)> visit = [&](TLHandle h, int level) {
    for (; h; h = d->items[h]->nextSibling) {
      walk.push_back(h);
      EXPECT_EQ(level, d->items[h]->level);
      if (d->items[h]->state & TVIS_EXPANDED) visit(d->items[h]->firstChild, level + 1);
    }
  };
  visit(d->firstRoot, 0);
  ASSERT_EQ(walk.size(), d->rowCount);
  for (size_t r = 0; r < walk.size(); ++r) {
    EXPECT_EQ(walk[r], d->rows[r]) << "row " << r;
    EXPECT_EQ(r + 1, d->items[walk[r]]->row);
  }
}

TEST(TreeListRows, RandomChangesKeepRowsAWalkOfOpenItems) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  std::mt19937 rng(1234);
  std::vector<TLHandle> live;
  for (int step = 0; step < 600; ++step) {
    int op = (int)(rng() % 10);
    TLHandle some = live.empty() ? 0 : live[rng() % live.size()];
    if (op < 5 || live.empty()) {
      UINT_PTR after[] = {(UINT_PTR)TVI_LAST, (UINT_PTR)TVI_FIRST, (UINT_PTR)TVI_SORT, 0xFFE00001};
      TLHandle h = Insert(f, rng() % 3 ? some : 0, after[rng() % 4], rng() % 2 ? "m" : "c");
      if (h) live.push_back(h);
    } else if (op < 7) {
      f.Send(TVM_DELETEITEM, rng() % 2 ? 0 : 0x89, (LPARAM)some);
    } else if (op < 9) {
      f.Send(TVM_EXPAND, rng() % 2 ? TVE_EXPAND : TVE_COLLAPSE | (rng() % 2 ? TLE_DEFER : 0), (LPARAM)some);
    } else {
      TVITEMA tv = {};
      tv.mask = TVIF_STATE | 0x2000000 | (rng() % 2 ? TLIF_DIRECT : 0);
      tv.hItem = (HTREEITEM)(UINT_PTR)some;
      tv.state = rng() % 2 ? TVIS_EXPANDED : 0;
      tv.stateMask = TVIS_EXPANDED;
      f.Send(TLM_SETSTATEEX, 0, (LPARAM)&tv);
    }
    std::vector<TLHandle> still;
    for (TLHandle h : live)
      if (TreeListLookup(d, h)) still.push_back(h);
    live.swap(still);
    if (step % 50 == 49) {
      f.Send(TLM_RUNDEFERRED);
      CheckRows(d);
    }
  }
  f.Send(TLM_RUNDEFERRED);
  CheckRows(d);
}

}  // namespace
