// Scrolling, the bars, expanding one item, item rectangles, ensure-visible,
// visibility, the row model's repaints and fitting weighted columns.
#include <gtest/gtest.h>

#include <cstring>

#include "harness/window_util.h"
#include "treelist_fixture.h"

namespace {

// TVM_GETITEMRECT takes the item in the rectangle's first word.
RECT RectArg(TLHandle item) {
  RECT rc = {};
  memcpy(&rc, &item, sizeof(item));
  return rc;
}

// 160 pixels high, 16-pixel rows: ten rows per page.
class TreeListScroll : public ::testing::Test {
 protected:
  void SetUp() override {
    f.AddRoots(100);
    ASSERT_EQ(10, f.Data()->rowsPerPage);
  }
  int Top() const { return f.Data()->topRow; }
  TreeListFixture f;
};

TEST_F(TreeListScroll, CodesMoveAndClamp) {
  struct {
    int start;
    WPARAM wp;
    int top;
  } const cases[] = {
      {5, SB_LINEDOWN, 6},
      {5, SB_LINEUP, 4},
      {0, SB_LINEUP, 0},
      {5, SB_PAGEDOWN, 14},
      {20, SB_PAGEUP, 11},
      {3, SB_PAGEUP, 0},
      {5, MAKEWPARAM(SB_THUMBPOSITION, 40), 40},
      {5, MAKEWPARAM(SB_THUMBTRACK, 41), 41},
      {5, MAKEWPARAM(SB_THUMBTRACK, 500), 91},  // rowCount - rowsPerPage + 1
      {5, TL_SB_SETPOS | (33 << 4), 33},
      {5, SB_ENDSCROLL, 5},
      {5, SB_TOP, 5},
      {91, SB_LINEDOWN, 91},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "start " << c.start << " wp " << c.wp);
    f.SetTopRow(c.start);
    ASSERT_EQ(c.start, Top());
    f.Send(WM_VSCROLL, c.wp);
    EXPECT_EQ(c.top, Top());
    EXPECT_EQ(c.top, GetScrollPos(f.Hwnd(), SB_VERT));
  }
}

TEST_F(TreeListScroll, WheelKeysAndButtons) {
  struct {
    WPARAM keys;
    int delta;
    LRESULT result;
    int top;
  } const cases[] = {
      {0, -120, 1, 12},
      {0, 120, 1, 8},
      {MK_SHIFT, -120, 1, 16},
      {MK_CONTROL, -120, 1, 28},
      {MK_CONTROL | MK_SHIFT, 120, 1, 0},
      {MK_RBUTTON, -120, 0, 10},
      {MK_MBUTTON, -120, 0, 10},
      {MK_LBUTTON, -120, 0, 10},  // no drag runs
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "keys " << c.keys << " delta " << c.delta);
    f.SetTopRow(10);
    EXPECT_EQ(c.result, f.Send(WM_MOUSEWHEEL, MAKEWPARAM(c.keys, (WORD)(short)c.delta)));
    EXPECT_EQ(c.top, Top());
  }
}

TEST_F(TreeListScroll, NotifiesAndHonoursAVeto) {
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_SCROLLNOTIFY, TLS_EX_SCROLLNOTIFY);
  f.Send(WM_VSCROLL, SB_PAGEDOWN);
  ASSERT_EQ(1u, f.notes.size());
  const NMTLSCROLLING& s = f.notes[0].scroll;
  EXPECT_EQ(TLN_SCROLLING, (int)s.hdr.code);
  EXPECT_EQ(f.Hwnd(), s.hdr.hwndFrom);
  EXPECT_EQ(7u, s.hdr.idFrom);
  EXPECT_EQ(1, s.bar);
  EXPECT_EQ(SB_PAGEDOWN, s.code);
  EXPECT_EQ(9, s.topRow);
  EXPECT_EQ(0, s.scrollX);
  EXPECT_EQ(9, Top());
  // A veto: nothing moves, the rows are repainted.
  f.onNotify = [](NMHDR*) -> LRESULT { return 1; };
  ValidateRect(f.Hwnd(), nullptr);
  f.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-120));
  EXPECT_EQ(9, Top());
  EXPECT_EQ(TL_SCROLL_WHEEL, f.notes.back().scroll.code);
  EXPECT_EQ(11, f.notes.back().scroll.topRow);
  EXPECT_TRUE(GetUpdateRect(f.Hwnd(), nullptr, FALSE));
  // A vetoed deferred scroll keeps the old position.
  TreeListData* d = f.Data();
  TreeListLock(d);
  TreeListQueueOp(d, kTLOpVPos, 0, 30);
  TreeListUnlock(d);
  f.Send(TLM_RUNDEFERRED);
  EXPECT_EQ(9, Top());
  f.onNotify = nullptr;
  TreeListLock(d);
  TreeListQueueOp(d, kTLOpVPos, 0, 30);
  TreeListUnlock(d);
  f.Send(TLM_RUNDEFERRED);
  EXPECT_EQ(30, Top());
  EXPECT_EQ(TL_SCROLL_OWN, f.notes.back().scroll.code);
}

TEST_F(TreeListScroll, IgnoredWhileEditing) {
  f.Data()->editItem = 1;
  f.Send(WM_VSCROLL, SB_PAGEDOWN);
  f.Send(WM_HSCROLL, SB_PAGERIGHT);
  EXPECT_EQ(0, f.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-120)));
  f.Data()->editItem = 0;
  EXPECT_EQ(0, Top());
}

TEST_F(TreeListScroll, BarUpdatesClampTheTopRow) {
  TreeListData* d = f.Data();
  f.SetTopRow(91);
  TreeListLock(d);
  d->topRow = 95;
  TreeListUpdateVScrollBar(d, 1, 1);
  EXPECT_EQ(95, d->topRow);
  d->topRow = 97;
  TreeListUpdateVScrollBar(d, 1, 1);
  EXPECT_EQ(95, d->topRow);
  d->rowCount = 30;
  d->topRow = 28;
  TreeListUpdateVScrollBar(d, 1, 1);
  EXPECT_EQ(25, d->topRow);
  d->rowCount = 100;
  TreeListUnlock(d);
}

TEST(TreeListScrollSmall, FewRowsAndOneRowPages) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 200, 160);
  f.AddRoots(4);
  f.Send(WM_VSCROLL, SB_PAGEDOWN);
  f.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-240));
  EXPECT_EQ(0, f.Data()->topRow);
  // One row per page: a page is one row.
  TreeListFixture g(WS_CHILD | WS_VISIBLE, 200, 20);
  g.AddRoots(10);
  ASSERT_EQ(1, g.Data()->rowsPerPage);
  g.Send(WM_VSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(1, g.Data()->topRow);
}

TEST(TreeListScrollLarge, ThumbBeyond16BitsReadsTheTrackPosition) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 200, 160);
  TreeListData* d = f.Data();
  for (int i = 0; i < 100000; ++i) f.Add(0);
  f.Rebuild();
  PumpMessages(0);
  ASSERT_EQ(100000u, d->rowCount);
  SetScrollPos(f.Hwnd(), SB_VERT, 70000, FALSE);
  f.Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 70000 & 0xFFFF));
  EXPECT_EQ(70000, d->topRow);
  EXPECT_EQ((TLHandle)70001, (TLHandle)f.Send(TLM_GETROWITEM, 0, 70000));
}

TEST(TreeListHScroll, PixelsClampedToTheContent) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 200, 160);
  TreeListData* d = f.Data();
  d->contentWidth = 1000;
  struct {
    int start;
    WPARAM wp;
    int x;
  } const cases[] = {
      {0, SB_LINERIGHT, 16},
      {20, SB_LINELEFT, 4},
      {0, SB_LINELEFT, 0},
      {0, SB_PAGERIGHT, 200},
      {300, SB_PAGELEFT, 100},
      {0, MAKEWPARAM(SB_THUMBTRACK, 77), 77},
      {0, MAKEWPARAM(SB_THUMBPOSITION, 5000), 900},
      {0, TL_SB_SETPOS | (123 << 4), 123},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wp);
    f.Send(WM_HSCROLL, TL_SB_SETPOS | ((WPARAM)c.start << 4));
    ASSERT_EQ(c.start, d->scrollX);
    f.Send(WM_HSCROLL, c.wp);
    EXPECT_EQ(c.x, d->scrollX);
  }
  // Content narrower than half the view: the maximum below 0 gives 0.
  d->contentWidth = 50;
  f.Send(WM_HSCROLL, TL_SB_SETPOS | (0 << 4));
  f.Send(WM_HSCROLL, SB_PAGERIGHT);
  EXPECT_EQ(0, d->scrollX);
}

// Roots 1..3; root 2 has children 4..8 (rows 3..7 when open).
class TreeListExpand : public ::testing::Test {
 protected:
  void SetUp() override {
    r1 = f.Add(0, "a");
    r2 = f.Add(0, "b", true);
    r3 = f.Add(0, "c");
    for (int i = 0; i < 5; ++i) kids[i] = f.Add(r2, "k", false);
    grandchild = f.Add(kids[4], "g", false);
    f.Rebuild();
  }
  std::vector<TLHandle> Rows() {
    std::vector<TLHandle> rows;
    for (UINT r = 0; r < f.Data()->rowCount; ++r) rows.push_back(f.Data()->rows[r]);
    return rows;
  }
  TreeListFixture f;
  TLHandle r1, r2, r3, kids[5], grandchild;
};

TEST_F(TreeListExpand, CollapseAndExpandNotifyAndRebuild) {
  EXPECT_EQ((std::vector<TLHandle>{r1, r2, kids[0], kids[1], kids[2], kids[3], kids[4], r3}), Rows());
  f.Send(TVM_EXPAND, TVE_COLLAPSE, (LPARAM)r2);
  EXPECT_EQ((std::vector<TLHandle>{r1, r2, r3}), Rows());
  EXPECT_EQ(0u, f.Data()->items[kids[0]]->row);
  ASSERT_EQ((std::vector<int>{(int)TVN_ITEMEXPANDINGA, (int)TVN_ITEMEXPANDEDA}), Codes(f.notes));
  const NMTREEVIEWA& before = f.notes[0].tv;
  EXPECT_EQ((UINT)TVE_COLLAPSE, before.action);
  EXPECT_EQ((HTREEITEM)(UINT_PTR)r2, before.itemNew.hItem);
  EXPECT_EQ(0x1Cu, before.itemNew.mask);
  EXPECT_TRUE(before.itemNew.state & TVIS_EXPANDED);
  EXPECT_EQ((LPARAM)r2 * 10, before.itemNew.lParam);
  EXPECT_EQ(0u, before.itemOld.mask);
  EXPECT_FALSE(f.notes[1].tv.itemNew.state & TVIS_EXPANDED);
  // Toggle opens it again and marks it expanded once.
  f.Send(TVM_EXPAND, TVE_TOGGLE, (LPARAM)r2);
  EXPECT_EQ(8u, f.Data()->rowCount);
  EXPECT_TRUE(f.Data()->items[r2]->state & TVIS_EXPANDEDONCE);
  EXPECT_EQ((UINT)TVE_EXPAND, f.notes[2].tv.action);
}

TEST_F(TreeListExpand, VetoAlreadyExpandedQuietAndGone) {
  TreeListData* d = f.Data();
  f.onNotify = [](NMHDR* hdr) -> LRESULT { return hdr->code == TVN_ITEMEXPANDINGA; };
  TreeListLock(d);
  EXPECT_EQ(1, TreeListExpandItem(d, r2, TVE_COLLAPSE));
  EXPECT_TRUE(d->items[r2]->state & TVIS_EXPANDED);
  EXPECT_EQ(8u, d->rowCount);
  f.onNotify = nullptr;
  f.notes.clear();
  // Already expanded: both notifications, no rebuild, the cell repainted.
  ValidateRect(f.Hwnd(), nullptr);
  EXPECT_EQ(0, TreeListExpandItem(d, r2, TVE_EXPAND));
  EXPECT_EQ((std::vector<int>{(int)TVN_ITEMEXPANDINGA, (int)TVN_ITEMEXPANDEDA}), Codes(f.notes));
  RECT update;
  EXPECT_TRUE(GetUpdateRect(f.Hwnd(), &update, FALSE));
  EXPECT_EQ(16, update.top);
  EXPECT_EQ(32, update.bottom);
  // Quiet: nothing said.
  f.notes.clear();
  d->quiet = 1;
  EXPECT_EQ(0, TreeListExpandItem(d, r2, TVE_COLLAPSE));
  d->quiet = 0;
  EXPECT_TRUE(f.notes.empty());
  EXPECT_EQ(3u, d->rowCount);
  // Handles: above the capacity 0, an empty entry -1.
  EXPECT_EQ(0, TreeListExpandItem(d, d->capacity + 1, TVE_EXPAND));
  EXPECT_EQ(-1, TreeListExpandItem(d, d->lastHandle + 1, TVE_EXPAND));
  TreeListUnlock(d);
}

TEST_F(TreeListExpand, CollapseMovesTheCaretToTheCollapsedItem) {
  TreeListData* d = f.Data();
  d->caretItem = kids[3];
  d->caretColumn = 0;
  f.Send(TVM_EXPAND, TVE_COLLAPSE, (LPARAM)r2);
  EXPECT_EQ(r2, d->caretItem);
}

TEST_F(TreeListExpand, CollapseRepaintsFromTheParentDown) {
  // Rows 0..3 roots above, root 4 holds rows 5..9.
  TreeListFixture g;
  for (int i = 0; i < 4; ++i) g.Add(0);
  TLHandle parent = g.Add(0);
  for (int i = 0; i < 5; ++i) g.Add(parent);
  for (int i = 0; i < 20; ++i) g.Add(0);  // the bar stays
  g.Rebuild();
  UpdateWindow(g.Hwnd());
  ValidateRect(g.Hwnd(), nullptr);
  g.Send(TVM_EXPAND, TVE_COLLAPSE, (LPARAM)parent);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(g.Hwnd(), &update, FALSE));
  EXPECT_GE(update.top, 4 * 16);
  for (int r = 0; r <= 4; ++r) EXPECT_EQ((TLHandle)(r + 1), g.Data()->rows[r]);
  EXPECT_EQ(25u, g.Data()->rowCount);
}

TEST_F(TreeListExpand, HiddenItemsUnderStyle0x200) {
  TreeListData* d = f.Data();
  d->items[r2]->state |= TLIS_HIDDEN;
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_HIDEITEMS, TLS_EX_HIDEITEMS);
  EXPECT_EQ((std::vector<TLHandle>{r1, r3}), Rows());
  EXPECT_EQ(0u, d->items[kids[0]]->row);
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_HIDEITEMS, 0);
  EXPECT_EQ(8u, d->rowCount);
}

TEST_F(TreeListExpand, DeferredRebuildOfARowlessItemStartsAtItsAncestor) {
  TreeListData* d = f.Data();
  TreeListLock(d);
  d->items[kids[4]]->state |= TVIS_EXPANDED;
  TreeListQueueOp(d, kTLOpRebuild, grandchild, 0);
  TreeListUnlock(d);
  f.Send(TLM_RUNDEFERRED);
  EXPECT_EQ((std::vector<TLHandle>{r1, r2, kids[0], kids[1], kids[2], kids[3], kids[4], grandchild, r3}), Rows());
}

TEST_F(TreeListExpand, EnsureVisibleOpensAncestorsAndScrolls) {
  TreeListData* d = f.Data();
  f.Send(TVM_EXPAND, TVE_COLLAPSE, (LPARAM)r2);
  f.notes.clear();
  EXPECT_EQ(0, f.Send(TVM_ENSUREVISIBLE, 0, (LPARAM)grandchild));
  EXPECT_NE(0u, d->items[grandchild]->row);
  EXPECT_EQ(4u, f.notes.size());  // two pairs
  EXPECT_EQ(1, f.Send(TVM_ENSUREVISIBLE, 0, (LPARAM)r3));
  EXPECT_EQ(0, d->topRow);
  EXPECT_EQ(-1, f.Send(TVM_ENSUREVISIBLE, 0, 5000));
  EXPECT_EQ(-1, f.Send(TVM_ENSUREVISIBLE, 0, (LPARAM)TLI_CARET));  // no caret
  // Column -2: the item becomes the first row.
  EXPECT_EQ(1, f.Send(TVM_ENSUREVISIBLE, (WPARAM)-2, (LPARAM)kids[1]));
  EXPECT_EQ(3, d->topRow);
}

TEST(TreeListEnsureVisible, MarginBelowThePage) {
  TreeListFixture f;
  f.AddRoots(100);
  TreeListData* d = f.Data();
  // Twelve rows per page so that the margin (3) + 7 stays below it.
  f.Send(TVM_SETITEMHEIGHT, 12);
  ASSERT_EQ(13, d->rowsPerPage);
  EXPECT_EQ(1, f.Send(TVM_ENSUREVISIBLE, 0, 30));  // row 29
  EXPECT_EQ(29 - 13 + 1 + 3, d->topRow);
  EXPECT_EQ(1, f.Send(TVM_ENSUREVISIBLE, 0, 6));  // row 5, above: no margin
  EXPECT_EQ(5, d->topRow);
  EXPECT_EQ(1, f.Send(TVM_ENSUREVISIBLE, (WPARAM)-2, 1));
  EXPECT_EQ(0, d->topRow);
}

TEST_F(TreeListExpand, ItemRectangles) {
  TreeListData* d = f.Data();
  RECT rc;
  rc = RectArg(kids[0]);
  ASSERT_EQ(1, f.Send(TVM_GETITEMRECT, 0, (LPARAM)&rc));
  EXPECT_EQ(32, rc.top);
  EXPECT_EQ(48, rc.bottom);
  EXPECT_EQ(0, rc.left);
  EXPECT_EQ(d->clientWidth, rc.right);
  // From the text on: lines at root (19) + level (19) + 0, lines style kept.
  struct {
    TLHandle item;
    DWORD exStyle;
    int left;
  } const cases[] = {
      {kids[0], 0, 38},
      {r1, 0, 19},
      {kids[0], TLS_EX_TALLROWS, 39},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    f.Send(TVM_SETEXTENDEDSTYLE, 0, c.exStyle);
    rc = RectArg(c.item);
    ASSERT_EQ(1, f.Send(TVM_GETITEMRECT, TL_RECT_TEXT, (LPARAM)&rc));
    EXPECT_EQ(c.left, rc.left);
  }
  f.Send(TVM_SETEXTENDEDSTYLE, 0, 0);
  // Below the view: only with 0x100.
  TreeListFixture g;
  g.AddRoots(30);
  rc = RectArg(25);
  EXPECT_EQ(0, g.Send(TVM_GETITEMRECT, 0, (LPARAM)&rc));
  EXPECT_EQ(0, rc.left | rc.top | rc.right | rc.bottom);
  rc = RectArg(25);
  EXPECT_EQ(1, g.Send(TVM_GETITEMRECT, TL_RECT_OUTSIDE, (LPARAM)&rc));
  EXPECT_EQ(24 * 16, rc.top);
  // A collapsed child has no rectangle.
  rc = RectArg(grandchild);
  EXPECT_EQ(0, f.Send(TVM_GETITEMRECT, TL_RECT_OUTSIDE, (LPARAM)&rc));
}

TEST(TreeListColumnsGeometry, VisibilityOfCells) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE | TVS_HASLINES, 200, 168);
  f.AddRoots(30);
  TreeListData* d = f.Data();
  ASSERT_EQ(11, d->rowsInView);
  // Two columns without a header: 0..150 and 150..400.
  TreeListLock(d);
  d->columnCount = 2;
  d->columnOrder[1] = 1;
  d->columns[0].width = 151;
  d->columns[1].width = 250;
  TreeListUpdateColumnPos(d);
  d->contentWidth = 400;
  TreeListUnlock(d);
  ASSERT_EQ(150, d->columnX[1]);
  struct {
    int top, x;
    UINT_PTR item;
    int column;
    int result;
  } const cases[] = {
      {0, 0, 999, 0, -1}, {0, 0, 0, 0, -1},   {0, 0, 5, 0, 4},    {0, 0, 5, 1, 3},
      {0, 0, 5, 7, 4},    {0, 0, 15, 0, 1},   {0, 0, 11, 0, 2},   {0, 200, 5, 0, 1},
      {0, 100, 5, 0, 3},  {0, 100, 11, 0, 2}, {0, 160, 11, 0, 1}, {4, 0, 3, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.item << " column " << c.column << " x " << c.x);
    f.SetTopRow(c.top);
    f.Send(WM_HSCROLL, TL_SB_SETPOS | ((WPARAM)c.x << 4));
    ASSERT_EQ(c.x, d->scrollX);
    EXPECT_EQ(c.result, f.Send(TLM_GETVISIBILITY, c.column, c.item));
  }
}

TEST(TreeListColumnsGeometry, WeightedColumnsShareAWidthChange) {
  TreeListFixture f;
  TreeListData* d = f.Data();
  for (int width : {300, 301, 302}) {
    SCOPED_TRACE(width);
    TreeListLock(d);
    d->columnCount = 3;
    d->columns[0] = {};
    d->columns[0].baseWidth = d->columns[0].width = 50;
    d->columns[1] = {};
    d->columns[1].weight = 1;
    d->columns[1].baseWidth = d->columns[1].width = 100;
    d->columns[2] = {};
    d->columns[2].weight = 2;
    d->columns[2].baseWidth = d->columns[2].width = 100;
    d->clientWidth = width;
    TreeListFitColumns(d, 10);
    int a = d->columns[1].width - 100, b = d->columns[2].width - 100;
    TreeListUnlock(d);
    EXPECT_EQ(10, a + b);
    EXPECT_TRUE((a == 3 && b == 7) || (a == 4 && b == 6)) << a << "+" << b;
    EXPECT_EQ(d->columns[1].baseWidth + d->columns[2].baseWidth, d->weightedColumnsWidth);
    EXPECT_EQ(50, d->fixedColumnsWidth);
  }
}

TEST(TreeListSize, GrowingPullsTheTopRowBack) {
  TreeListFixture f;
  f.AddRoots(30);
  TreeListData* d = f.Data();
  f.SetTopRow(21);
  ASSERT_EQ(21, d->topRow);
  SetWindowPos(f.Hwnd(), nullptr, 0, 0, 200, 320, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(20, d->rowsPerPage);
  EXPECT_EQ(11, d->topRow);
  RECT client;
  GetClientRect(f.Hwnd(), &client);
  EXPECT_EQ(client.right, d->clientWidth);
}

}  // namespace

// Widening a list without columns hides its horizontal bar inside WM_SIZE;
// the client height that bar gave back counts, not the one WM_SIZE brought.
TEST(TreeListScrollSmall, HiddenHorizontalBarGivesItsHeightToTheRows) {
  TreeListFixture f(WS_CHILD | WS_VISIBLE, 200, 160);
  Insert(f, 0, "a text far wider than the two hundred pixels of the list");
  f.AddRoots(3);
  UpdateWindow(f.Hwnd());  // painting measures the content
  ASSERT_TRUE(GetWindowLongA(f.Hwnd(), GWL_STYLE) & WS_HSCROLL);
  SetWindowPos(f.Hwnd(), nullptr, 0, 0, 700, 160, SWP_NOZORDER | SWP_NOMOVE);
  ASSERT_FALSE(GetWindowLongA(f.Hwnd(), GWL_STYLE) & WS_HSCROLL);
  RECT rc;
  GetClientRect(f.Hwnd(), &rc);
  EXPECT_EQ(rc.bottom, f.Data()->clientHeight);
  EXPECT_EQ(10, f.Data()->rowsPerPage);
  // What a repaint shows down to the bottom: the background, no gap.
  RedrawWindow(f.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  WindowCapture shot = WindowCapture::FromScreen(f.Hwnd());
  EXPECT_EQ(f.Data()->colors[kTLColorBack], shot.Pixel(100, rc.bottom - 2));
}
