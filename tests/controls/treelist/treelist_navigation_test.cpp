// Walking the tree: next-item codes on a view scrolled to row 5, finds,
// counts, moves and expansion by scope.
#include <gtest/gtest.h>

#include <cstring>

#include "treelist_fixture.h"

namespace {

// 30 roots r0..r29 (10 rows per page); r1 has children a, b (b has g);
// r1 expanded, b collapsed. Rows: r0 r1 a b r2 ... r29.
class TreeListNavigation : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[8];
    for (int i = 0; i < 30; ++i) {
      snprintf(name, sizeof(name), "r%d", i);
      r[i] = Insert(f, 0, name, i);
    }
    a = Insert(f, r[1], "a", 100);
    b = Insert(f, r[1], "b", 101);
    g = Insert(f, b, "ABC", 102);
    f.Send(TVM_EXPAND, TVE_EXPAND, (LPARAM)r[1]);
    f.SetTopRow(5);
    ASSERT_EQ(32u, f.Data()->rowCount);
  }
  LRESULT Next(UINT code, UINT_PTR item) { return f.Send(TVM_GETNEXTITEM, code, (LPARAM)item); }
  TreeListFixture f;
  TLHandle r[30], a, b, g;
};

TEST_F(TreeListNavigation, NextItemCodes) {
  TreeListData* d = f.Data();
  TreeListLock(d);
  TreeListSelectItem(d, a, 0, 0);
  d->hotItem = r[3];
  d->hotColumn = 0;
  TreeListUnlock(d);
  const UINT_PTR root = (UINT_PTR)TVI_ROOT;
  struct {
    UINT code;
    UINT_PTR item;
    UINT_PTR result;
  } const cases[] = {
      {TVGN_ROOT, 0, r[0]},
      {TVGN_NEXT, r[1], r[2]},
      {TVGN_PREVIOUS, r[1], r[0]},
      {TVGN_PARENT, a, r[1]},
      {TVGN_CHILD, r[1], a},
      {TVGN_CHILD, root, r[0]},
      {TVGN_FIRSTVISIBLE, 0, r[3]},  // row 5
      {TVGN_NEXTVISIBLE, r[3], r[4]},
      {TVGN_NEXTVISIBLE, r[0], 0},       // above the page
      {TVGN_NEXTVISIBLE, r[12], r[13]},  // last row of the page: the next below
      {TVGN_NEXTVISIBLE, r[13], 0},
      {TVGN_PREVIOUSVISIBLE, r[4], r[3]},
      {TVGN_PREVIOUSVISIBLE, r[3], 0},
      {TVGN_DROPHILITE, 0, r[3]},
      {TVGN_CARET, 0, a},
      {TVGN_LASTVISIBLE, 0, r[29]},
      {TVGN_NEXTSELECTED, root, a},
      {TVGN_NEXTSELECTED, a, 0},
      {12, 0, 0},
      {13, 0, 0},
      {14, 0, r[3]},
      {15, 0, a},
      {17, r[1], a},
      {17, r[2], 0},
      {18, r[1], b},
      {18, root, r[29]},
      {19, a, b},
      {19, b, g},
      {19, g, r[2]},
      {19, root, r[0]},
      {20, 0, r[0]},
      {21, root, 0},
      {22, g, 2},
      {0x6A000003, r[1], a},
      {0x6B000001, r[1], r[1]},
      {23, r[1], 0},
      {TVGN_NEXT, 999, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "code " << c.code << " item " << c.item);
    EXPECT_EQ(c.result, Next(c.code, c.item));
  }
  f.Send(TLM_OPTION, TLO_SET | TLO_FIXEDROWS, 2);
  EXPECT_EQ((LRESULT)d->rows[7], Next(14, 0));  // top row + fixed rows
  EXPECT_EQ(a, Next(20, 0));
  TVITEMA tv = {};
  tv.mask = TVIF_STATE;
  tv.hItem = (HTREEITEM)(UINT_PTR)r[7];
  tv.state = 0x2000;
  tv.stateMask = 0xF000;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
  EXPECT_EQ(r[7], Next(21, root));
  EXPECT_EQ(r[7], Next(21, r[2]));
}

TEST_F(TreeListNavigation, FindsAndContinues) {
  TreeListFindInfo info = {};
  info.flags = TLFI_TEXT | TLFI_NOCASE | TLFI_TREE;
  info.text = "abc";
  EXPECT_EQ(g, f.Send(TLM_FINDITEM, (WPARAM)TVI_ROOT, (LPARAM)&info));  // in a collapsed branch
  info.flags = TLFI_TEXT | TLFI_NOCASE | TLFI_TREE | TLFI_ONLYOPEN;
  EXPECT_EQ(0, f.Send(TLM_FINDITEM, (WPARAM)TVI_ROOT, (LPARAM)&info));
  info.flags = TLFI_TEXT | TLFI_TREE;
  EXPECT_EQ(0, f.Send(TLM_FINDITEM, (WPARAM)TVI_ROOT, (LPARAM)&info));  // exact case
  // Level limit: n = 2 descends only from level 0.
  info.flags = TLFI_TEXT | TLFI_NOCASE | TLFI_TREE | (2 << 8);
  EXPECT_EQ(0, f.Send(TLM_FINDITEM, (WPARAM)TVI_ROOT, (LPARAM)&info));
  info.flags = TLFI_TEXT | TLFI_NOCASE | TLFI_TREE | (3 << 8);
  EXPECT_EQ(g, f.Send(TLM_FINDITEM, (WPARAM)TVI_ROOT, (LPARAM)&info));
  // lParams 100..102 in the subtree of r1: repeats continue after the find.
  info.flags = TLFI_STATE | TLFI_TREE | TLFI_INCLUDESTART;
  info.state = 0;
  info.stateMask = TVIS_BOLD;
  LRESULT first = f.Send(TLM_FINDITEM, r[1], (LPARAM)&info);
  EXPECT_EQ(r[1], first);
  EXPECT_EQ(0u, info.flags & TLFI_INCLUDESTART);
  std::vector<LRESULT> found;
  for (LRESULT h = first; (h = f.Send(TLM_FINDITEM, h, (LPARAM)&info));) found.push_back(h);
  // Down through r1's subtree, then on along r1's level, never above it.
  ASSERT_EQ(31u, found.size());
  EXPECT_EQ((std::vector<LRESULT>{(LRESULT)a, (LRESULT)b, (LRESULT)g, (LRESULT)r[2]}),
            std::vector<LRESULT>(found.begin(), found.begin() + 4));
  // Siblings only, by lParam.
  info.flags = TLFI_PARAM;
  info.lParam = 7;
  EXPECT_EQ(r[7], f.Send(TLM_FINDITEM, r[2], (LPARAM)&info));
  EXPECT_EQ(0, f.Send(TLM_FINDITEM, (WPARAM)TVI_ROOT, (LPARAM)&info));
  info.flags = TLFI_PARAM | TLFI_AFTER;
  EXPECT_EQ(0, f.Send(TLM_FINDITEM, r[7], (LPARAM)&info));
}

TEST_F(TreeListNavigation, CountsByScope) {
  TVITEMA req = {};
  req.mask = TVIF_HANDLE | 0x2000000;
  req.hItem = TVI_ROOT;
  EXPECT_EQ(33, f.Send(TLM_COUNTITEMS, 0, (LPARAM)&req));
  req.hItem = (HTREEITEM)(UINT_PTR)r[1];
  EXPECT_EQ(3, f.Send(TLM_COUNTITEMS, 0, (LPARAM)&req));
  req.mask = TVIF_PARAM | 0x100000 | 0x200000;
  req.lParam = 5;
  EXPECT_EQ(1, f.Send(TLM_COUNTITEMS, 0, (LPARAM)&req));
  req.mask = TVIF_HANDLE | 0x400000;
  req.hItem = (HTREEITEM)(UINT_PTR)g;
  EXPECT_EQ(2, f.Send(TLM_COUNTITEMS, 0, (LPARAM)&req));
  req.hItem = (HTREEITEM)999;
  EXPECT_EQ(-1, f.Send(TLM_COUNTITEMS, 0, (LPARAM)&req));
}

TEST_F(TreeListNavigation, MovesKeepLinksLevelsAndRows) {
  TreeListData* d = f.Data();
  EXPECT_EQ(0, f.Send(TLM_MOVEITEM + 3, g, r[1]));  // under its own grandchild
  EXPECT_EQ(1, f.Send(TLM_MOVEITEM, b, a));         // a is already before b
  EXPECT_EQ(2, f.Send(TLM_MOVEITEM + 3, r[5], b));  // b under r5
  EXPECT_EQ(r[5], d->items[b]->parent);
  EXPECT_EQ(1, d->items[b]->level);
  EXPECT_EQ(2, d->items[g]->level);
  EXPECT_EQ(0, d->items[b]->row);  // r5 is collapsed
  EXPECT_EQ(a, d->items[r[1]]->lastChild);
  EXPECT_EQ(2, f.Send(TLM_MOVEITEM + 2, (WPARAM)TVI_ROOT, b));  // first root
  EXPECT_EQ(b, d->firstRoot);
  EXPECT_EQ(0, d->items[g]->level + d->items[b]->level - 1);
  EXPECT_EQ(b, d->rows[0]);
  EXPECT_EQ(0, d->items[r[5]]->itemFlags & kTLItemHasChildren);
  // The last root to TVI_LAST: nothing to do, it never links after itself.
  TLHandle last = d->lastRoot;
  Insert(f, last, "child");
  EXPECT_EQ(1, f.Send(TLM_MOVEITEM, (WPARAM)TVI_LAST, last));
  EXPECT_EQ(last, d->lastRoot);
  EXPECT_EQ(0u, d->items[last]->nextSibling);
  // Rows equal a walk again.
  UINT row = 0;
  for (TLHandle h = d->firstRoot; h; h = (TLHandle)Next(19, h)) {
    bool shown = true;
    for (TLHandle up = d->items[h]->parent; up; up = d->items[up]->parent)
      shown = shown && (d->items[up]->state & TVIS_EXPANDED);
    if (shown) {
      EXPECT_EQ(h, d->rows[row++]);
    }
  }
  EXPECT_EQ(row, d->rowCount);
}

TEST_F(TreeListNavigation, ExpandByScope) {
  TreeListData* d = f.Data();
  Insert(f, r[2], "x");
  Insert(f, r[3], "y");
  f.notes.clear();
  EXPECT_NE(0, f.Send(TVM_EXPAND, TVE_EXPAND | TLE_SUBTREES, (LPARAM)TVI_ROOT));
  // One pair per item with children that was collapsed: b, r2, r3.
  EXPECT_EQ(6u, f.notes.size());
  EXPECT_EQ(35u, d->rowCount);
  f.notes.clear();
  f.Send(TVM_EXPAND, TVE_COLLAPSE | TLE_SUBTREES | TLE_QUIET, (LPARAM)TVI_ROOT);
  EXPECT_TRUE(f.notes.empty());
  EXPECT_EQ(30u, d->rowCount);
  // Ancestors: g's parents open with it.
  f.Send(TVM_EXPAND, TVE_EXPAND | TLE_ANCESTORS, (LPARAM)b);
  EXPECT_TRUE(d->items[r[1]]->state & TVIS_EXPANDED);
  EXPECT_TRUE(d->items[b]->state & TVIS_EXPANDED);
  // Queued: nothing until the window's thread drains.
  TreeListWndProc(f.Hwnd(), TVM_EXPAND, TVE_COLLAPSE | TLE_DEFER, (LPARAM)r[1]);
  EXPECT_TRUE(d->items[r[1]]->state & TVIS_EXPANDED);
  f.Send(TLM_RUNDEFERRED);
  EXPECT_FALSE(d->items[r[1]]->state & TVIS_EXPANDED);
  // Collapse-reset deletes the children.
  f.Send(TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, (LPARAM)r[1]);
  EXPECT_EQ(0u, d->items[r[1]]->firstChild);
  EXPECT_EQ(nullptr, TreeListLookup(d, g));
  // A parent filling children in the expanding notification: they show.
  TVITEMA button = {};
  button.mask = TVIF_CHILDREN;
  button.hItem = (HTREEITEM)(UINT_PTR)r[1];
  button.cChildren = 1;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&button);
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    if (hdr->code == TVN_ITEMEXPANDINGA && ((NMTREEVIEWA*)hdr)->action == TVE_EXPAND) {
      TLHandle item = (TLHandle)(UINT_PTR)((NMTREEVIEWA*)hdr)->itemNew.hItem;
      if (!d->items[item]->firstChild) Insert(f, item, "filled");
    }
    return 0;
  };
  f.Send(TVM_EXPAND, TVE_EXPAND | TLE_SUBTREES, (LPARAM)r[1]);
  ASSERT_NE(0u, d->items[r[1]]->firstChild);
  EXPECT_NE(0u, d->items[d->items[r[1]]->firstChild]->row);
  f.onNotify = nullptr;
}

}  // namespace
