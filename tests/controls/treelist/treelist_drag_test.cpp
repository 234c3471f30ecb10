// Dragging items with the mouse: the drag start, the drop mark and cursor,
// drops before, after and into items, several items, refusals, Esc, the
// place after the last row, hover expand, TLM_BEGINDRAG and an item deleted
// while it is dragged; each checked against the parent's TLN_DROP record.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "treelist_fixture.h"

namespace {

const DWORD kDragStyle =
    WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TLS_AUTODRAG | TVS_SHOWSELALWAYS;

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class TreeListDrag : public ::testing::Test {
 protected:
  TreeListDrag() : f(kDragStyle, 240, 200) {
    f.onNotify = [this](NMHDR* hdr) -> LRESULT {
      if (hdr->code == (UINT)TLN_DROP) drops.push_back(*(NMTREEVIEWA*)hdr);
      return 0;
    };
    SetForegroundWindow(f.Parent());
    SetFocus(f.Hwnd());
  }
  ~TreeListDrag() override { TreeListSetAsyncKeyState(nullptr); }

  // x of the label of an item at the given level.
  int LabelX(int level) const { return (level + 1) * f.Data()->indent + 4; }
  LPARAM Label(int row, int level = 0) const { return At(LabelX(level), row * 16 + 8); }

  // Presses on the label in the row and moves far enough to start a drag.
  void StartDrag(int row, int level = 0, WPARAM keys = 0) {
    LPARAM at = Label(row, level);
    f.Send(WM_MOUSEMOVE, keys, at);
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    f.Send(WM_MOUSEMOVE, MK_LBUTTON | keys, At(LOWORD(at) + 5, HIWORD(at) + 3));
  }
  void MoveTo(int x, int y, WPARAM keys = 0) { f.Send(WM_MOUSEMOVE, MK_LBUTTON | keys, At(x, y)); }
  void Drop(int x, int y, WPARAM keys = 0) {
    MoveTo(x, y, keys);
    f.Send(WM_LBUTTONUP, keys, At(x, y));
  }

  std::string Order(TLHandle parent = 0) {
    std::string s;
    TLHandle h = (TLHandle)f.Send(TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, parent);
    for (; h; h = (TLHandle)f.Send(TVM_GETNEXTITEM, TVGN_NEXT, h)) {
      char text[32] = {};
      TVITEMA item = {};
      item.mask = TVIF_TEXT;
      item.hItem = (HTREEITEM)(UINT_PTR)h;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      f.Send(TVM_GETITEMA, 0, (LPARAM)&item);
      s += text;
    }
    return s;
  }

  TreeListFixture f;
  std::vector<NMTREEVIEWA> drops;
};

TEST_F(TreeListDrag, BeginDragRecordThenDropBeforeAnItem) {
  TLHandle a = Insert(f, 0, "a", 1), b = Insert(f, 0, "b", 2);
  Insert(f, 0, "c", 3);
  TLHandle d = Insert(f, 0, "d", 4);
  f.notes.clear();
  StartDrag(3);
  std::vector<int> codes = Codes(f.notes);
  ASSERT_NE(std::find(codes.begin(), codes.end(), (int)TVN_BEGINDRAGA), codes.end());
  const NMTREEVIEWA& begin = f.notes[std::find(codes.begin(), codes.end(), (int)TVN_BEGINDRAGA) - codes.begin()].tv;
  EXPECT_EQ(begin.itemNew.mask, 0x401Cu);
  EXPECT_EQ(begin.itemNew.hItem, (HTREEITEM)(UINT_PTR)d);
  EXPECT_EQ(begin.itemNew.lParam, 4);
  EXPECT_EQ(begin.itemNew.cChildren, 0);
  EXPECT_EQ(begin.ptDrag.y, 3 * 16 + 8 + 3);
  TreeListData* data = f.Data();
  EXPECT_EQ(data->dragItem, d);
  EXPECT_EQ(GetCapture(), f.Hwnd());
  // Just above the boundary of rows 0 and 1: a line at the top of b.
  MoveTo(LabelX(0), 14);
  EXPECT_EQ(data->dropMarkItem, b);
  EXPECT_EQ(data->dropMarkHeight, 3);
  EXPECT_EQ(data->dropMarkOffset, 0);
  EXPECT_EQ(GetCursor(), TreeListCursor(1));
  Drop(LabelX(0), 14);
  EXPECT_EQ(Order(), "adbc");
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].action, 0x80000001u) << "moved, before the target, one item";
  EXPECT_EQ(drops[0].itemOld.mask, (UINT)TVIF_HANDLE);
  EXPECT_EQ(drops[0].itemOld.hItem, (HTREEITEM)(UINT_PTR)b);
  EXPECT_EQ(drops[0].itemNew.hItem, (HTREEITEM)(UINT_PTR)d);
  EXPECT_EQ(drops[0].ptDrag.y, 14);
  EXPECT_EQ(data->dragItem, 0u);
  EXPECT_EQ(data->dropMarkItem, 0u);
  EXPECT_NE(GetCapture(), f.Hwnd());
  EXPECT_EQ(GetCursor(), TreeListCursor(0));
  (void)a;
}

TEST_F(TreeListDrag, LineBelowADeeperRowDropsAfterIt) {
  TLHandle a = Insert(f, 0, "a");
  TLHandle a1 = Insert(f, a, "1");
  f.Send(TVM_EXPAND, TVE_EXPAND, a);
  Insert(f, 0, "b");
  Insert(f, 0, "c");
  StartDrag(3);
  // In the upper half of b's row, under the deeper a1: the line moves to
  // the bottom of a1 and the drop goes after it.
  MoveTo(LabelX(0), 2 * 16 + 3);
  TreeListData* data = f.Data();
  EXPECT_EQ(data->dropMarkItem, a1);
  EXPECT_EQ(data->dropMarkOffset, 16 - 5);
  Drop(LabelX(0), 2 * 16 + 3);
  EXPECT_EQ(Order(a), "1c");
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].action, 0x81000001u) << "after the target";
  EXPECT_EQ(drops[0].itemOld.hItem, (HTREEITEM)(UINT_PTR)a1);
}

TEST_F(TreeListDrag, CtrlDropsIntoAndExpandsCtrlShiftMakesTheFirstChild) {
  TLHandle a = Insert(f, 0, "a");
  Insert(f, a, "1");
  f.Send(TVM_EXPAND, TVE_COLLAPSE, a);
  Insert(f, 0, "b");
  Insert(f, 0, "c");
  StartDrag(2);
  MoveTo(LabelX(0), 8, MK_CONTROL);
  TreeListData* data = f.Data();
  EXPECT_EQ(data->dropMarkItem, a);
  EXPECT_EQ(data->dropMarkHeight, 16) << "a frame on the whole row";
  Drop(LabelX(0), 8, MK_CONTROL);
  EXPECT_EQ(Order(a), "1c") << "last child";
  EXPECT_TRUE(f.Send(TVM_GETITEMSTATE, a) & TVIS_EXPANDED);
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].action, 0x83000001u);
  // Rows now: a, 1, c, b. Ctrl+Shift puts b first.
  drops.clear();
  StartDrag(3);
  Drop(LabelX(0), 8, MK_CONTROL | MK_SHIFT);
  EXPECT_EQ(Order(a), "b1c");
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].action, 0x82000001u);
}

TEST_F(TreeListDrag, ThreeSelectedItemsKeepTheirOrder) {
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_MULTISELECT, TLS_EX_MULTISELECT);
  const char* names[] = {"a", "b", "c", "d", "e", "f"};
  TLHandle h[6];
  for (int i = 0; i < 6; ++i) h[i] = Insert(f, 0, names[i]);
  for (int row : {1, 3, 5}) {
    WPARAM keys = row == 1 ? 0 : MK_CONTROL;
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, Label(row));
    f.Send(WM_LBUTTONUP, keys, Label(row));
  }
  ASSERT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 3);
  // Drag the last of them before a.
  StartDrag(5);
  ASSERT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 3) << "a drag does not select on release";
  Drop(LabelX(0), 2);
  EXPECT_EQ(Order(), "bdface");
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].action & 0xFFFFFF, 3u);
  EXPECT_EQ(drops[0].action & TL_DROP_MODEMASK, 0u);
  EXPECT_EQ(drops[0].itemNew.hItem, (HTREEITEM)(UINT_PTR)h[1]) << "the first moved item";
  EXPECT_EQ(drops[0].itemOld.hItem, (HTREEITEM)(UINT_PTR)h[0]);
  for (TLHandle k : h) EXPECT_EQ(f.Data()->items[k]->moveMark, 0) << "work marks cleared";
}

TEST_F(TreeListDrag, CtrlKeySwitchesBetweenLineAndFrame) {
  Insert(f, 0, "a");
  TLHandle b = Insert(f, 0, "b");
  Insert(f, 0, "c");
  StartDrag(2);
  MoveTo(LabelX(0), 16 + 6);
  TreeListData* data = f.Data();
  ASSERT_EQ(data->dropMarkItem, b);
  ASSERT_EQ(data->dropMarkHeight, 3);
  f.Send(WM_KEYDOWN, VK_CONTROL, 0);
  EXPECT_EQ(data->dropMarkHeight, 16) << "Ctrl pressed: a frame on b";
  f.Send(WM_KEYUP, VK_CONTROL, 0);
  EXPECT_EQ(data->dropMarkHeight, 3) << "released: the line again";
  f.Send(WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(data->dragItem, (TLHandle)3) << "Return does nothing while dragging";
  f.Send(WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(TreeListDrag, OwnSubtreeIsRefused) {
  TLHandle a = Insert(f, 0, "a");
  TLHandle a1 = Insert(f, a, "1");
  Insert(f, a1, "x");
  f.Send(TVM_EXPAND, TVE_EXPAND, a);
  f.Send(TVM_EXPAND, TVE_EXPAND, a1);
  Insert(f, 0, "b");
  StartDrag(0);
  MoveTo(LabelX(1), 16 + 8, MK_CONTROL);
  EXPECT_EQ(f.Data()->dropMarkItem, a1);
  EXPECT_EQ(GetCursor(), TreeListCursor(2)) << "no entry onto an own child";
  Drop(LabelX(1), 16 + 8, MK_CONTROL);
  EXPECT_TRUE(drops.empty());
  EXPECT_EQ(Order(), "ab");
  EXPECT_EQ(Order(a), "1");
  EXPECT_EQ(f.Data()->dragItem, 0u);
}

TEST_F(TreeListDrag, EscCancelsAndReportsUnderOption0x80) {
  TLHandle a = Insert(f, 0, "a");
  Insert(f, 0, "b");
  // Without the option: quiet.
  StartDrag(0);
  EXPECT_EQ(f.Send(WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
  MSG esc = {f.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0};
  EXPECT_EQ(f.Send(WM_GETDLGCODE, VK_ESCAPE, (LPARAM)&esc), DLGC_WANTALLKEYS);
  f.Send(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(drops.empty());
  EXPECT_EQ(f.Data()->dragItem, 0u);
  EXPECT_NE(GetCapture(), f.Hwnd());
  f.Send(WM_LBUTTONUP, 0, Label(1));
  f.Send(TLM_OPTION, TLO_SET | TLO_DRAGOPTIONS, TL_DRAG_REPORTCANCEL);
  StartDrag(0);
  MoveTo(LabelX(0), 16 + 12);
  EXPECT_NE(f.Data()->dropMarkItem, 0u);
  f.Send(WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].action, 0x5000001u);
  EXPECT_EQ(drops[0].itemNew.hItem, (HTREEITEM)(UINT_PTR)a);
  EXPECT_EQ(drops[0].itemOld.hItem, nullptr);
  TreeListData* data = f.Data();
  EXPECT_EQ(data->dragItem, 0u);
  EXPECT_EQ(data->dropMarkItem, 0u);
  EXPECT_EQ(Order(), "ab");
}

TEST_F(TreeListDrag, BelowTheRowsAimsAtTviLastWhichOption0x200Refuses) {
  TLHandle a = Insert(f, 0, "a");
  Insert(f, a, "1");
  f.Send(TVM_EXPAND, TVE_EXPAND, a);
  Insert(f, 0, "b");
  Insert(f, 0, "c");
  StartDrag(0);
  MoveTo(LabelX(0), 3 * 16 + 12);  // lower half of the last row
  TreeListData* data = f.Data();
  EXPECT_EQ(data->dropMarkItem, (TLHandle)(UINT_PTR)TVI_LAST);
  EXPECT_EQ(data->dropMarkHeight, 3);
  Drop(LabelX(0), 150);
  EXPECT_EQ(Order(), "bca");
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].itemOld.hItem, TVI_LAST);
  EXPECT_EQ(drops[0].action & 0xC0000000, TL_DROP_MOVED);
  // With option 0x200 the place after the last row is refused.
  drops.clear();
  f.Send(TLM_OPTION, TLO_SET | TLO_DRAGOPTIONS, TL_DRAG_NOLAST);
  StartDrag(0);
  MoveTo(LabelX(0), 150);
  EXPECT_EQ(GetCursor(), TreeListCursor(2));
  Drop(LabelX(0), 150);
  EXPECT_TRUE(drops.empty());
  EXPECT_EQ(Order(), "bca");
}

TEST_F(TreeListDrag, ADropOutsideIsReportedUnderOption0x40) {
  TLHandle a = Insert(f, 0, "a");
  Insert(f, 0, "b");
  // Without the option: nothing.
  StartDrag(0);
  Drop(300, 8);
  EXPECT_TRUE(drops.empty());
  f.Send(TLM_OPTION, TLO_SET | TLO_DRAGOPTIONS, TL_DRAG_REPORTOUTSIDE);
  StartDrag(0);
  MoveTo(300, 8);
  EXPECT_EQ(f.Data()->dropMarkItem, 0u) << "outside: no mark";
  EXPECT_EQ(GetCursor(), TreeListCursor(2));
  Drop(300, 8);
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].action, TL_DROP_OUTSIDE);
  EXPECT_EQ(drops[0].itemOld.hItem, nullptr);
  EXPECT_EQ(drops[0].itemNew.hItem, (HTREEITEM)(UINT_PTR)a);
  EXPECT_EQ(drops[0].ptDrag.x, 300);
  EXPECT_EQ(Order(), "ab");
  // Above the rows is outside too, but only right and below are reported.
  drops.clear();
  StartDrag(0);
  Drop(LabelX(0), -20);
  EXPECT_TRUE(drops.empty());
}

TEST_F(TreeListDrag, LeavesOnlyUnderOption0x08) {
  TLHandle a = Insert(f, 0, "a");
  Insert(f, a, "1");
  f.Send(TVM_EXPAND, TVE_EXPAND, a);
  Insert(f, 0, "b");
  f.Send(TLM_OPTION, TLO_SET | TLO_DRAGOPTIONS, TL_DRAG_LEAVESONLY);
  StartDrag(0);
  EXPECT_EQ(f.Data()->dragItem, 0u) << "an item with children is not dragged";
  f.Send(WM_LBUTTONUP, 0, Label(0));
  StartDrag(2);
  MoveTo(LabelX(0), 8, MK_CONTROL);
  EXPECT_EQ(GetCursor(), TreeListCursor(2)) << "an item with children takes no drop";
  Drop(LabelX(0), 8, MK_CONTROL);
  EXPECT_TRUE(drops.empty());
  StartDrag(2);
  Drop(LabelX(1), 16 + 8, MK_CONTROL);
  ASSERT_EQ(drops.size(), 1u) << "a leaf takes it";
  EXPECT_EQ(drops[0].action, 0x83000001u);
}

TEST_F(TreeListDrag, RestingOverACollapsedItemExpandsItOnTheFifthTick) {
  TLHandle a = Insert(f, 0, "a");
  Insert(f, a, "1");
  f.Send(TVM_EXPAND, TVE_COLLAPSE, a);
  Insert(f, 0, "b");
  StartDrag(1);
  MoveTo(LabelX(0), 8, MK_CONTROL);
  POINT screen = {LabelX(0), 8};
  ClientToScreen(f.Hwnd(), &screen);
  SetCursorPos(screen.x, screen.y);
  for (int tick = 1; tick <= 4; ++tick) {
    f.Send(WM_TIMER, TL_TIMER_DROPHOVER, 0);
    EXPECT_FALSE(f.Send(TVM_GETITEMSTATE, a) & TVIS_EXPANDED) << "tick " << tick;
  }
  f.Send(WM_TIMER, TL_TIMER_DROPHOVER, 0);
  EXPECT_TRUE(f.Send(TVM_GETITEMSTATE, a) & TVIS_EXPANDED);
  // A move of 3 pixels starts the count again.
  f.Send(TVM_EXPAND, TVE_COLLAPSE, a);
  MoveTo(LabelX(0) + 3, 8, MK_CONTROL);
  EXPECT_EQ(f.Data()->dropHoverTicks, 0u);
  f.Send(WM_KEYDOWN, VK_ESCAPE, 0);
}

SHORT LeftDown(int key) { return key == VK_LBUTTON ? (SHORT)0x8000 : 0; }
SHORT NothingDown(int) { return 0; }

TEST_F(TreeListDrag, BeginDragMessageTakesTheButtonFromTheAsyncState) {
  Insert(f, 0, "a");
  TLHandle b = Insert(f, 0, "b");
  Insert(f, 0, "c");
  POINT screen = {LabelX(0), 8};
  ClientToScreen(f.Hwnd(), &screen);
  SetCursorPos(screen.x, screen.y);
  TreeListSetAsyncKeyState(LeftDown);
  EXPECT_EQ(f.Send(TLM_BEGINDRAG, 0, 999), 0) << "no such item";
  ASSERT_EQ(f.Send(TLM_BEGINDRAG, 0, b), 1);
  TreeListData* data = f.Data();
  EXPECT_EQ(data->dragItem, b);
  EXPECT_EQ(data->dragFlags, 0x81);
  EXPECT_EQ(data->dropMarkItem, b) << "the feedback ran for the cursor";
  // The button went up unseen: the next move ends the drag without a drop.
  f.Send(WM_MOUSEMOVE, 0, Label(2));
  EXPECT_EQ(data->dragItem, 0u);
  EXPECT_TRUE(drops.empty());
  // Without the button: moves carry on; a press is ignored; the release drops.
  TreeListSetAsyncKeyState(NothingDown);
  ASSERT_EQ(f.Send(TLM_BEGINDRAG, 0, b), 1);
  EXPECT_EQ(data->dragFlags, 0x80);
  f.Send(WM_MOUSEMOVE, 0, At(LabelX(0), 3 * 16 + 4));
  EXPECT_EQ(data->dragItem, b);
  f.notes.clear();
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(LabelX(0), 3 * 16 + 4));
  EXPECT_TRUE(f.notes.empty());
  f.Send(WM_LBUTTONUP, 0, At(LabelX(0), 3 * 16 + 4));
  EXPECT_EQ(Order(), "acb");
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].action, 0x80000000u | TL_DROP_BYMESSAGE | 1u);
}

TEST_F(TreeListDrag, DeletingTheDraggedItemEndsTheDrag) {
  Insert(f, 0, "a");
  Insert(f, 0, "b");
  TLHandle c = Insert(f, 0, "c");
  StartDrag(2);
  MoveTo(LabelX(0), 8);
  TreeListData* data = f.Data();
  ASSERT_EQ(data->dragItem, c);
  ASSERT_NE(data->dropMarkItem, 0u);
  f.Send(TVM_DELETEITEM, 0, c);
  EXPECT_EQ(data->dragItem, 0u);
  EXPECT_EQ(data->dropMarkItem, 0u);
  EXPECT_NE(GetCapture(), f.Hwnd());
  f.notes.clear();
  Drop(LabelX(0), 8);
  EXPECT_TRUE(drops.empty());
  EXPECT_EQ(Order(), "ab");
  // The release is an ordinary one now.
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{TLN_LBUTTONUP}));
}

TEST_F(TreeListDrag, LosingTheCaptureCancelsTheDrag) {
  f.Send(TLM_OPTION, TLO_SET | TLO_DRAGOPTIONS, TL_DRAG_REPORTCANCEL);
  TLHandle a = Insert(f, 0, "a");
  Insert(f, 0, "b");
  StartDrag(0);
  MoveTo(LabelX(0), 16 + 12);
  ASSERT_EQ(GetCapture(), f.Hwnd());
  SetCapture(f.Parent());
  TreeListData* data = f.Data();
  EXPECT_EQ(data->dragItem, 0u);
  EXPECT_EQ(data->dropMarkItem, 0u);
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].action, TL_DROP_CANCELLED | 1u);
  EXPECT_EQ(drops[0].itemNew.hItem, (HTREEITEM)(UINT_PTR)a);
  ReleaseCapture();
  EXPECT_EQ(Order(), "ab");
}

TEST_F(TreeListDrag, DropMarkMessageAndRightClickCancel) {
  TLHandle a = Insert(f, 0, "a");
  Insert(f, 0, "b");
  EXPECT_EQ(f.Send(TLM_SETDROPMARK, 0, a), (LRESULT)a);
  TreeListData* data = f.Data();
  EXPECT_EQ(data->dropMarkHeight, 16);
  EXPECT_EQ(f.Send(TLM_SETDROPMARK, 3, a), (LRESULT)a);
  EXPECT_EQ(data->dropMarkHeight, 3);
  EXPECT_EQ(f.Send(TLM_SETDROPMARK, 3, 77), (LRESULT)a) << "a bad item changes nothing";
  EXPECT_EQ(f.Send(TLM_SETDROPMARK, 40, (LPARAM)TVI_LAST), (LRESULT)TVI_LAST);
  EXPECT_EQ(data->dropMarkHeight, 16) << "as high as a row or more: a frame";
  EXPECT_EQ(f.Send(TLM_SETDROPMARK, 0, 0), 0);
  // A right press during a drag cancels it.
  StartDrag(0);
  ASSERT_EQ(data->dragItem, a);
  f.Send(WM_RBUTTONDOWN, MK_RBUTTON | MK_LBUTTON, Label(1));
  EXPECT_EQ(data->dragItem, 0u);
  EXPECT_EQ(data->dropMarkItem, 0u);
}

TEST_F(TreeListDrag, OptionsRefuseDragsOfChildrenAndKeepTheLevel) {
  TLHandle a = Insert(f, 0, "a");
  Insert(f, a, "1");
  Insert(f, a, "2");
  f.Send(TVM_EXPAND, TVE_EXPAND, a);
  TLHandle b = Insert(f, 0, "b");
  // Roots only: the child sends -407 but is not dragged.
  f.Send(TLM_OPTION, TLO_SET | TLO_DRAGOPTIONS, TL_DRAG_ROOTSONLY);
  f.notes.clear();
  StartDrag(1, 1);
  EXPECT_EQ(f.Data()->dragItem, 0u);
  f.Send(WM_LBUTTONUP, 0, Label(1, 1));
  // Keep the level: a root dropped after the last child lands after its
  // parent; between two children there is no place at its level.
  TLHandle c = Insert(f, 0, "c");
  f.Send(TLM_OPTION, TLO_SET | TLO_DRAGOPTIONS, TL_DRAG_KEEPLEVEL);
  StartDrag(4);
  MoveTo(LabelX(1), 16 + 14);  // between 1 and 2
  EXPECT_EQ(GetCursor(), TreeListCursor(2));
  MoveTo(LabelX(0), 3 * 16 + 1);  // upper half of b, under the deeper "2"
  EXPECT_EQ(GetCursor(), TreeListCursor(1));
  EXPECT_EQ(f.Data()->dropMarkItem, a) << "the mark follows the adjusted target";
  Drop(LabelX(0), 3 * 16 + 1);
  EXPECT_EQ(Order(), "acb");
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].action, 0x81000001u);
  EXPECT_EQ(drops[0].itemNew.hItem, (HTREEITEM)(UINT_PTR)c);
  drops.clear();
  StartDrag(4);
  Drop(LabelX(1), 16 + 14);
  EXPECT_TRUE(drops.empty());
  EXPECT_EQ(Order(), "acb");
  // No drags of states in option 2.
  f.Send(TLM_OPTION, TLO_SET | TLO_DRAGOPTIONS, 0);
  f.Send(TLM_OPTION, TLO_SET | TLO_NODRAGSTATES, TVIS_BOLD);
  TVITEMA bold = {};
  bold.mask = TVIF_STATE;
  bold.hItem = (HTREEITEM)(UINT_PTR)b;
  bold.state = bold.stateMask = TVIS_BOLD;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&bold);
  StartDrag(4);
  EXPECT_EQ(f.Data()->dragItem, 0u);
  f.Send(WM_LBUTTONUP, 0, Label(4));
}

}  // namespace

namespace {

// A worker's direct read of an item; true when it came back within a second.
bool WorkerReads(HWND hwnd, TLHandle item) {
  struct Job {
    HWND hwnd;
    TLHandle item;
    LRESULT result;
  } job = {hwnd, item, -1};
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID p) WINAPI -> DWORD {
        Job* j = (Job*)p;
        TVITEMA tv = {};
        tv.mask = TVIF_STATE;
        tv.hItem = (HTREEITEM)(UINT_PTR)j->item;
        j->result = TreeListWndProc(j->hwnd, TVM_GETITEMA, 0, (LPARAM)&tv);
        return 0;
      },
      &job, 0, nullptr);
  bool done = WaitForSingleObject(thread, 1000) == WAIT_OBJECT_0;
  if (!done) WaitForSingleObject(thread, INFINITE);  // the lock comes back after the test's step
  CloseHandle(thread);
  return done && job.result == 1;
}

TEST_F(TreeListDrag, ParentsMayWaitForAWorkerInEveryNotification) {
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_INFOTIPS, TLS_EX_INFOTIPS);
  f.Send(TLM_OPTION, TLO_SET | TLO_DRAGOPTIONS, TL_DRAG_REPORTCANCEL);
  TLHandle a = Insert(f, 0, "a");
  Insert(f, 0, "b");
  Insert(f, 0, "c");
  std::vector<int> waited, failed;
  HWND hwnd = f.Hwnd();
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    int code = (int)hdr->code;
    if (code == TLN_DROP || code == (int)TVN_BEGINDRAGA || code == TLN_GETINFOTIP) {
      waited.push_back(code);
      if (!WorkerReads(hwnd, a)) failed.push_back(code);
    }
    if (code == TLN_DROP) drops.push_back(*(NMTREEVIEWA*)hdr);
    return 0;
  };
  POINT screen = {LabelX(0), 8};
  ClientToScreen(hwnd, &screen);
  SetCursorPos(screen.x, screen.y);
  StartDrag(0);
  Drop(LabelX(0), 3 * 16 + 12);
  StartDrag(0);
  f.Send(WM_KEYDOWN, VK_ESCAPE, 0);
  f.Send(WM_LBUTTONUP, 0, Label(0));
  EXPECT_NE(std::find(waited.begin(), waited.end(), (int)TVN_BEGINDRAGA), waited.end());
  EXPECT_EQ(std::count(waited.begin(), waited.end(), TLN_DROP), 2);
  EXPECT_NE(std::find(waited.begin(), waited.end(), TLN_GETINFOTIP), waited.end());
  EXPECT_TRUE(failed.empty());
  // And after the sequence the lock is free.
  EXPECT_TRUE(WorkerReads(hwnd, a));
}

TEST_F(TreeListDrag, AutoScrollRunsWhileDragging) {
  for (int i = 0; i < 40; ++i) Insert(f, 0, "item");
  StartDrag(0);
  POINT below = {LabelX(0), 200 + 30};  // 30 pixels below the control
  ClientToScreen(f.Hwnd(), &below);
  SetCursorPos(below.x, below.y);
  TreeListData* data = f.Data();
  ASSERT_EQ(data->topRow, 0);
  for (int tick = 0; tick < 4; ++tick) f.Send(WM_TIMER, TL_TIMER_AUTOSCROLL, 0);
  EXPECT_EQ(data->topRow, 2) << "speed 10: a row every second tick";
  f.Send(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(KillTimer(f.Hwnd(), TL_TIMER_AUTOSCROLL)) << "stopped with the drag";
  EXPECT_FALSE(KillTimer(f.Hwnd(), TL_TIMER_DROPHOVER)) << "no mark, no hover timer";
}

}  // namespace
