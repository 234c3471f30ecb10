// Mouse buttons: selection, the +/- button, multiple selection with
// select-on-release, vetoes and items deleted by the parent, each checked
// against the parent's notification log in order.
#include <gtest/gtest.h>

#include <algorithm>

#include "treelist_fixture.h"

namespace {

// On the label of a root in the given row.
LPARAM Label(TreeListFixture& f, int row) { return MAKELPARAM(f.Data()->indent + 3, row * 16 + 8); }

void Click(TreeListFixture& f, LPARAM at, WPARAM keys = 0, UINT down = WM_LBUTTONDOWN) {
  f.Send(down, keys | (down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON), at);
  f.Send(down == WM_RBUTTONDOWN ? WM_RBUTTONUP : WM_LBUTTONUP, keys, at);
}

bool Selected(TreeListFixture& f, TLHandle h) {
  return (f.Send(TVM_GETITEMSTATE, h, TVIS_SELECTED) & TVIS_SELECTED) != 0;
}

class TreeListMouse : public ::testing::Test {
 protected:
  void SetUp() override {
    a = Insert(f, 0, "alpha");
    b = Insert(f, 0, "beta");
    c = Insert(f, 0, "gamma");
    SetForegroundWindow(f.Parent());
    SetFocus(f.Parent());
    f.notes.clear();
  }
  TreeListFixture f;
  TLHandle a = 0, b = 0, c = 0;
};

TEST_F(TreeListMouse, FirstClickSelectsThenNotifies) {
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, Label(f, 1));
  EXPECT_EQ(Codes(f.notes),
            (std::vector<int>{(int)NM_SETFOCUS, (int)TVN_SELCHANGINGA, (int)TVN_SELCHANGEDA, (int)NM_CLICK}));
  EXPECT_EQ(GetFocus(), f.Hwnd());
  const NMTREEVIEWA& changing = f.notes[1].tv;
  EXPECT_EQ(changing.action, (UINT)TVC_BYMOUSE);
  EXPECT_EQ(changing.itemOld.hItem, nullptr);
  EXPECT_EQ(changing.itemNew.mask, 0x801Cu);
  EXPECT_EQ(changing.itemNew.hItem, (HTREEITEM)(UINT_PTR)b);
  EXPECT_EQ(changing.itemNew.lParam, 0);
  EXPECT_FALSE(changing.itemNew.state & TVIS_SELECTED);
  EXPECT_TRUE(f.notes[2].tv.itemNew.state & TVIS_SELECTED);
  const NMTREEVIEWA& click = f.notes[3].tv;
  EXPECT_TRUE(click.action & TVHT_ONITEMLABEL);
  EXPECT_EQ(click.itemNew.mask, 0x401Cu);
  EXPECT_EQ(click.itemNew.hItem, (HTREEITEM)(UINT_PTR)b);
  EXPECT_EQ(click.itemNew.cChildren, 0);
  EXPECT_EQ(click.ptDrag.y, 24);
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)b);

  f.notes.clear();
  f.Send(WM_LBUTTONUP, 0, Label(f, 1));
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{TLN_LBUTTONUP}));
  // A second click on the caret selects nothing again.
  f.notes.clear();
  Click(f, Label(f, 1));
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)NM_CLICK, TLN_LBUTTONUP}));
  // Another item: the old caret is named and unselected.
  f.notes.clear();
  Click(f, Label(f, 2));
  ASSERT_EQ(Codes(f.notes),
            (std::vector<int>{(int)TVN_SELCHANGINGA, (int)TVN_SELCHANGEDA, (int)NM_CLICK, TLN_LBUTTONUP}));
  EXPECT_EQ(f.notes[0].tv.itemOld.hItem, (HTREEITEM)(UINT_PTR)b);
  EXPECT_FALSE(Selected(f, b));
  EXPECT_TRUE(Selected(f, c));
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 1);
}

TEST_F(TreeListMouse, RightClickSelectsThenAsksForTheMenu) {
  SetFocus(f.Hwnd());
  f.notes.clear();
  Click(f, Label(f, 1), 0, WM_RBUTTONDOWN);
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)TVN_SELCHANGINGA, (int)TVN_SELCHANGEDA, (int)NM_RCLICK,
                                              TLN_RBUTTONUP, kNoteContextMenu}));
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)b);
  // Without selection by the right button only the clicks are told.
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_NORIGHTSELECT, TLS_EX_NORIGHTSELECT);
  f.notes.clear();
  Click(f, Label(f, 2), 0, WM_RBUTTONDOWN);
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)NM_RCLICK, TLN_RBUTTONUP, kNoteContextMenu}));
  EXPECT_EQ(f.notes[0].tv.itemNew.hItem, (HTREEITEM)(UINT_PTR)c);
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)b);
}

TEST_F(TreeListMouse, PlusMinusButtonNotifiesFirstAndExpandsOnZero) {
  Insert(f, a, "child");
  f.Send(TVM_EXPAND, TVE_COLLAPSE, (LPARAM)a);
  TreeListData* d = f.Data();
  LPARAM button = MAKELPARAM(d->buttonBox - 1, 8);
  SetFocus(f.Hwnd());
  f.notes.clear();
  f.onNotify = [](NMHDR* hdr) -> LRESULT { return hdr->code == (UINT)NM_CLICK ? 1 : 0; };
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, button);
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)NM_CLICK}));
  EXPECT_FALSE(f.Send(TVM_GETITEMSTATE, a, TVIS_EXPANDED) & TVIS_EXPANDED) << "refused by the parent";
  f.Send(WM_LBUTTONUP, 0, button);
  f.onNotify = nullptr;
  f.notes.clear();
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, button);
  std::vector<int> codes = Codes(f.notes);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes[0], NM_CLICK);
  EXPECT_TRUE(f.Send(TVM_GETITEMSTATE, a, TVIS_EXPANDED) & TVIS_EXPANDED);
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), 0) << "the button selects nothing";
}

TEST_F(TreeListMouse, DoubleClickTogglesAfterNmDblclk) {
  Insert(f, a, "child");
  f.Send(TVM_EXPAND, TVE_COLLAPSE, (LPARAM)a);
  Click(f, Label(f, 0));
  f.notes.clear();
  f.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Label(f, 0));
  std::vector<int> codes = Codes(f.notes);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes[0], NM_DBLCLK);
  EXPECT_TRUE(f.Send(TVM_GETITEMSTATE, a, TVIS_EXPANDED) & TVIS_EXPANDED);
}

TEST_F(TreeListMouse, MultipleSelectionKeepsOthersUntilRelease) {
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_MULTISELECT, TLS_EX_MULTISELECT);
  Click(f, Label(f, 0));
  Click(f, Label(f, 1), MK_CONTROL);
  Click(f, Label(f, 2), MK_CONTROL);
  ASSERT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 3);
  EXPECT_TRUE(Selected(f, a) && Selected(f, b) && Selected(f, c));

  // Right press on one of three: the selection stays.
  f.notes.clear();
  Click(f, Label(f, 0), 0, WM_RBUTTONDOWN);
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)NM_RCLICK, TLN_RBUTTONUP, kNoteContextMenu}));
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 3);

  // Left press on a selected item: nothing but NM_CLICK now.
  f.notes.clear();
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, Label(f, 1));
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)NM_CLICK}));
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 3);
  // The release acts as a plain press: only that item stays.
  f.notes.clear();
  f.Send(WM_LBUTTONUP, 0, Label(f, 1));
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 1);
  EXPECT_TRUE(Selected(f, b));
  EXPECT_FALSE(Selected(f, a));
  EXPECT_FALSE(Selected(f, c));
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)b);
  std::vector<int> codes = Codes(f.notes);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.back(), TLN_LBUTTONUP);

  // Ctrl+click on a selected item unselects it.
  Click(f, Label(f, 2), MK_CONTROL);
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 2);
  Click(f, Label(f, 2), MK_CONTROL);
  EXPECT_FALSE(Selected(f, c));
  EXPECT_TRUE(Selected(f, b));
}

TEST_F(TreeListMouse, VetoAndDeletionInsideSelChanging) {
  Click(f, Label(f, 0));
  f.onNotify = [](NMHDR* hdr) -> LRESULT { return hdr->code == TVN_SELCHANGINGA ? 1 : 0; };
  f.notes.clear();
  Click(f, Label(f, 1));
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)TVN_SELCHANGINGA, (int)NM_CLICK, TLN_LBUTTONUP}));
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)a);
  EXPECT_TRUE(Selected(f, a));
  EXPECT_FALSE(Selected(f, b));

  // The parent deletes the item being selected.
  HWND hwnd = f.Hwnd();
  TLHandle victim = b;
  f.onNotify = [hwnd, victim](NMHDR* hdr) -> LRESULT {
    if (hdr->code == TVN_SELCHANGINGA) SendMessageA(hwnd, TVM_DELETEITEM, 0, (LPARAM)victim);
    return 0;
  };
  f.notes.clear();
  Click(f, Label(f, 1));
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)a);
  EXPECT_EQ(f.Send(TVM_GETCOUNT), 2);
  std::vector<int> codes = Codes(f.notes);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), (int)TVN_SELCHANGEDA), 0);

  // TVM_SELECTITEM of the caret: 1 without notifications.
  f.onNotify = nullptr;
  f.notes.clear();
  EXPECT_EQ(f.Send(TVM_SELECTITEM, TVGN_CARET, (LPARAM)a), 1);
  EXPECT_TRUE(f.notes.empty());
  EXPECT_EQ(f.Send(TVM_SELECTITEM, TVGN_CARET, (LPARAM)c), 1);
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)TVN_SELCHANGINGA, (int)TVN_SELCHANGEDA}));
  EXPECT_EQ(f.notes[0].tv.action, (UINT)TVC_UNKNOWN);
  EXPECT_EQ(f.Send(TVM_SELECTITEM, TVGN_CARET, (LPARAM)999), 0);
}

}  // namespace

namespace {

TEST_F(TreeListMouse, ShiftClicksGrowShrinkAndReverseTheRange) {
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_MULTISELECT, TLS_EX_MULTISELECT);
  TLHandle d = Insert(f, 0, "delta");
  TLHandle e = Insert(f, 0, "epsilon");
  const TLHandle items[] = {a, b, c, d, e};
  auto selection = [&]() {
    std::vector<int> rows;
    for (int i = 0; i < 5; ++i) {
      if (Selected(f, items[i])) rows.push_back(i);
    }
    return rows;
  };
  Click(f, Label(f, 2));
  Click(f, Label(f, 4), MK_SHIFT);
  EXPECT_EQ(selection(), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)e);
  Click(f, Label(f, 3), MK_SHIFT);
  EXPECT_EQ(selection(), (std::vector<int>{2, 3})) << "shrinks towards the anchor";
  Click(f, Label(f, 0), MK_SHIFT);
  EXPECT_EQ(selection(), (std::vector<int>{0, 1, 2})) << "reversed";
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 3);
  // Ctrl+click then Shift+click adds the new range to the selection.
  Click(f, Label(f, 4), MK_CONTROL);
  EXPECT_EQ(selection(), (std::vector<int>{0, 1, 2, 4}));
}

}  // namespace
