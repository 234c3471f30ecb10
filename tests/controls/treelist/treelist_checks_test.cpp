// Check boxes clicked with the mouse: toggling, the TLN_CHECKCHANGED
// record, one checked item at a time, states 0/1, blocked states, and the
// hot and pressed box under the pointer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "treelist_fixture.h"

namespace {

const DWORD kStyle = WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_CHECKBOXES;

class TreeListChecks : public ::testing::Test {
 protected:
  TreeListChecks() : f(kStyle) {
    f.onNotify = [this](NMHDR* hdr) -> LRESULT {
      if (hdr->code == (UINT)TLN_CHECKCHANGED) {
        NMTREEVIEWA* nm = (NMTREEVIEWA*)hdr;
        records.push_back(*nm);
        newText.push_back(nm->itemNew.pszText ? nm->itemNew.pszText : "");
        oldText.push_back(nm->itemOld.pszText ? nm->itemOld.pszText : "");
      }
      return 0;
    };
    SetForegroundWindow(f.Parent());
    SetFocus(f.Hwnd());
  }
  LPARAM Box(int row) { return MAKELPARAM(f.Data()->indent + 6, row * 16 + 8); }
  void Click(int row) {
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, Box(row));
    f.Send(WM_LBUTTONUP, 0, Box(row));
  }
  int Image(TLHandle h) { return (int)((f.Send(TVM_GETITEMSTATE, h) >> 12) & 0xF); }

  TreeListFixture f;
  std::vector<NMTREEVIEWA> records;
  std::vector<std::string> newText, oldText;
};

TEST_F(TreeListChecks, ClickTogglesAndTellsTheParent) {
  TLHandle a = Insert(f, 0, "alpha", 11);
  ASSERT_EQ(Image(a), 1) << "inserted unchecked";
  TVHITTESTINFO hit = {};
  hit.pt = {f.Data()->indent + 6, 8};
  f.Send(TVM_HITTEST, 0, (LPARAM)&hit);
  ASSERT_TRUE(hit.flags & TVHT_ONITEMSTATEICON);
  Click(0);
  EXPECT_EQ(Image(a), 2);
  ASSERT_EQ(records.size(), 1u);
  const NMTREEVIEWA& nm = records[0];
  EXPECT_EQ(nm.action, 0x10000u);
  EXPECT_EQ(nm.itemOld.mask, 0u);
  EXPECT_EQ(nm.itemOld.hItem, nullptr);
  EXPECT_EQ(nm.itemNew.mask, (UINT)(TVIF_TEXT | TVIF_STATE | TVIF_HANDLE | TVIF_PARAM));
  EXPECT_EQ(nm.itemNew.hItem, (HTREEITEM)(UINT_PTR)a);
  EXPECT_EQ((nm.itemNew.state >> 12) & 0xF, 2u);
  EXPECT_EQ(nm.itemNew.stateMask, (UINT)-1);
  EXPECT_EQ(newText[0], "alpha");
  EXPECT_EQ(nm.itemNew.cchTextMax, 5);
  EXPECT_EQ(nm.itemNew.lParam, 11);
  EXPECT_EQ(nm.itemNew.cChildren, 0);
  EXPECT_EQ(nm.ptDrag.x, f.Data()->indent + 6);
  Click(0);
  EXPECT_EQ(Image(a), 1);
  EXPECT_EQ(records.size(), 2u);
  // A click on the label toggles nothing.
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(f.Data()->indent + f.Data()->stateImageSize.cx + 6, 8));
  EXPECT_EQ(Image(a), 1);
}

TEST_F(TreeListChecks, OneCheckedItemAtATime) {
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_ONECHECKED, TLS_EX_ONECHECKED);
  TLHandle a = Insert(f, 0, "a"), b = Insert(f, 0, "b");
  Click(0);
  Click(1);
  EXPECT_EQ(Image(a), 1);
  EXPECT_EQ(Image(b), 2);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].itemOld.hItem, (HTREEITEM)(UINT_PTR)a);
  EXPECT_EQ((records[1].itemOld.state >> 12) & 0xF, 1u);
  EXPECT_EQ(oldText[1], "a");
  // The checked item stays checked.
  Click(1);
  EXPECT_EQ(Image(b), 2);
  EXPECT_EQ(records.size(), 2u);
}

TEST_F(TreeListChecks, ZeroBasedStatesAndBlockedStates) {
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CHECKFROMZERO, TLS_EX_CHECKFROMZERO);
  TLHandle a = Insert(f, 0, "a");
  TLHandle b = Insert(f, 0, "b");
  EXPECT_EQ(Image(a), 0);
  Click(0);
  EXPECT_EQ(Image(a), 1);
  Click(0);
  EXPECT_EQ(Image(a), 0);
  f.Send(TLM_OPTION, TLO_SET | TLO_NOCHECKSTATES, TVIS_BOLD);
  TVITEMA bold = {};
  bold.mask = TVIF_STATE;
  bold.hItem = (HTREEITEM)(UINT_PTR)b;
  bold.state = bold.stateMask = TVIS_BOLD;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&bold);
  records.clear();
  Click(1);
  EXPECT_EQ(Image(b), 0);
  EXPECT_TRUE(records.empty());
}

TEST_F(TreeListChecks, TheBoxUnderThePointerIsHotAndPressed) {
  TLHandle a = Insert(f, 0, "a");
  TreeListData* d = f.Data();
  f.Send(WM_MOUSEMOVE, 0, Box(0));
  EXPECT_EQ(d->pressState[1], a);
  EXPECT_EQ(d->pressState[0], 1u) << "hot";
  f.Send(WM_MOUSEMOVE, MK_LBUTTON, Box(0));
  EXPECT_EQ(d->pressState[0], 3u) << "hot and pressed";
  f.Send(WM_LBUTTONUP, 0, Box(0));
  EXPECT_EQ(d->pressState[0], 1u);
  f.Send(WM_MOUSEMOVE, 0, MAKELPARAM(150, 100));
  EXPECT_EQ(d->pressState[1], 0u);
  // Deleting the item forgets the hot box.
  f.Send(WM_MOUSEMOVE, 0, Box(0));
  f.Send(TVM_DELETEITEM, 0, a);
  EXPECT_EQ(d->pressState[1], 0u);
}

}  // namespace
