// The focus cell, subtree selection and cell buttons, checked against the
// parent's notification log in order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "harness/window_util.h"
#include "treelist_fixture.h"

namespace {

bool Selected(TreeListFixture& f, TLHandle h) {
  return (f.Send(TVM_GETITEMSTATE, h, TVIS_SELECTED) & TVIS_SELECTED) != 0;
}

bool FocusMark(TreeListFixture& f, TLHandle h) {
  TreeListItem* record = TreeListLookup(f.Data(), h);
  return record && (record->itemFlags & kTLItemFocus);
}

class TreeListFocus : public ::testing::Test {
 protected:
  void SetUp() override {
    a = Insert(f, 0, "alpha");
    a1 = Insert(f, a, "alpha-1");
    a2 = Insert(f, a, "alpha-2");
    b = Insert(f, 0, "beta");
    b1 = Insert(f, b, "beta-1");
    c = Insert(f, 0, "gamma");
    f.notes.clear();
  }
  void Multi() { f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_MULTISELECT, TLS_EX_MULTISELECT); }
  TreeListFixture f;
  TLHandle a = 0, a1 = 0, a2 = 0, b = 0, b1 = 0, c = 0;
};

TEST_F(TreeListFocus, SubtreeSelectionNeedsMultipleSelectionAndAGoodHandle) {
  EXPECT_EQ(f.Send(TLM_SELECTSUBTREE, 1, (LPARAM)TVI_ROOT), 0);
  Multi();
  EXPECT_EQ(f.Send(TLM_SELECTSUBTREE, 1, 999), 0);
  EXPECT_TRUE(f.notes.empty());
}

TEST_F(TreeListFocus, SubtreeSelectionScopes) {
  Multi();
  struct {
    WPARAM how;
    UINT_PTR start;
    std::vector<bool> want;  // a, a1, a2, b, b1, c
  } const cases[] = {
      {0, (UINT_PTR)TVI_ROOT, {true, false, false, true, false, true}},  // roots only
      {1, (UINT_PTR)TVI_ROOT, {true, true, true, true, true, true}},     // whole tree
      {1, 0, {false, false, false, true, true, true}},                   // from b: b, b1, c
      {0, 0, {false, true, true, false, false, false}},                  // from a1: its siblings
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    f.Send(TLM_SELECTSUBTREE, 3, (LPARAM)TVI_ROOT);
    ASSERT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 0);
    UINT_PTR start = c.start ? c.start : (c.how ? b : a1);
    f.notes.clear();
    EXPECT_EQ(f.Send(TLM_SELECTSUBTREE, c.how, (LPARAM)start), 1);
    TLHandle items[] = {a, a1, a2, b, b1, this->c};
    int count = 0;
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(Selected(f, items[i]), c.want[i]) << i;
      count += c.want[i];
    }
    // One changing/changed pair per toggled item, action 0, no old item.
    ASSERT_EQ(f.notes.size(), (size_t)count * 2);
    for (size_t i = 0; i < f.notes.size(); ++i) {
      EXPECT_EQ(f.notes[i].code, i % 2 ? (int)TVN_SELCHANGEDA : (int)TVN_SELCHANGINGA);
      EXPECT_EQ(f.notes[i].tv.action, 0u);
      EXPECT_EQ(f.notes[i].tv.itemOld.hItem, nullptr);
    }
  }
}

TEST_F(TreeListFocus, UnselectAllKeepsTheCaretSelected) {
  Multi();
  f.Send(TVM_SELECTITEM, TVGN_CARET, b);
  f.Send(TLM_SELECTSUBTREE, 1, (LPARAM)TVI_ROOT);
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 6);
  f.notes.clear();
  EXPECT_EQ(f.Send(TLM_SELECTSUBTREE, 3, (LPARAM)TVI_ROOT), 1);
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 1);
  EXPECT_TRUE(Selected(f, b));
  EXPECT_EQ(f.notes.size(), 10u);
}

TEST_F(TreeListFocus, VetoedToggleLeavesTheItemAndTheWalkGoesOn) {
  Multi();
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    NMTREEVIEWA* nm = (NMTREEVIEWA*)hdr;
    return hdr->code == TVN_SELCHANGINGA && nm->itemNew.hItem == (HTREEITEM)(UINT_PTR)a1;
  };
  EXPECT_EQ(f.Send(TLM_SELECTSUBTREE, 1, (LPARAM)TVI_ROOT), 1);
  EXPECT_FALSE(Selected(f, a1));
  EXPECT_TRUE(Selected(f, a2) && Selected(f, c));
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 5);
}

TEST_F(TreeListFocus, ParentDeletingDuringTheWalkEndsIt) {
  Multi();
  f.onNotify = [&](NMHDR* hdr) -> LRESULT {
    NMTREEVIEWA* nm = (NMTREEVIEWA*)hdr;
    if (hdr->code == TVN_SELCHANGEDA && nm->itemNew.hItem == (HTREEITEM)(UINT_PTR)a1)
      SendMessageA(f.Hwnd(), TVM_DELETEITEM, 0, (LPARAM)a);
    return 0;
  };
  EXPECT_EQ(f.Send(TLM_SELECTSUBTREE, 1, (LPARAM)TVI_ROOT), 1);
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 0);
  EXPECT_FALSE(Selected(f, b));
}

TEST_F(TreeListFocus, FocusCellInSingleSelectionSelects) {
  EXPECT_EQ(f.Send(TLM_SETFOCUSCELL, 0, b), 1);
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)b);
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{(int)TVN_SELCHANGINGA, (int)TVN_SELCHANGEDA}));
  EXPECT_EQ(f.Send(TLM_SETFOCUSCELL, 0, 999), 0);
}

TEST_F(TreeListFocus, FocusCellInMultipleSelectionMovesTheMarkOnly) {
  Multi();
  f.Send(TVM_SELECTITEM, TVGN_CARET, a);
  f.notes.clear();
  // An unselected item: the mark moves, the caret stays.
  EXPECT_EQ(f.Send(TLM_SETFOCUSCELL, 0, c), 1);
  EXPECT_TRUE(FocusMark(f, c));
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)a);
  EXPECT_FALSE(Selected(f, c));
  // A selected item also becomes the caret, without notifications.
  f.Send(TLM_SELECTSUBTREE, 0, (LPARAM)TVI_ROOT);
  f.notes.clear();
  EXPECT_EQ(f.Send(TLM_SETFOCUSCELL, (WPARAM)-1, b), 1);
  EXPECT_FALSE(FocusMark(f, c));
  EXPECT_TRUE(FocusMark(f, b));
  EXPECT_EQ(f.Send(TVM_GETNEXTITEM, TVGN_CARET), (LRESULT)b);
  EXPECT_TRUE(f.notes.empty());
  // -1 keeps the focus cell; 0 clears it; a bad handle is refused.
  EXPECT_EQ(f.Send(TLM_SETFOCUSCELL, (WPARAM)-1, (LPARAM)-1), 1);
  EXPECT_TRUE(FocusMark(f, b));
  EXPECT_EQ(f.Send(TLM_SETFOCUSCELL, 0, 999), 0);
  EXPECT_TRUE(FocusMark(f, b));
  EXPECT_EQ(f.Send(TLM_SETFOCUSCELL, 0, 0), 1);
  EXPECT_FALSE(FocusMark(f, b));
  EXPECT_EQ(f.Data()->focusCellItem, 0u);
}

TEST_F(TreeListFocus, FocusCellKeepsItsColumnUnderCellSelection) {
  Multi();
  LVCOLUMNA col = {};
  col.mask = LVCF_WIDTH;
  col.cx = 80;
  f.Send(TLM_INSERTCOLUMN, 0, (LPARAM)&col);
  f.Send(TLM_INSERTCOLUMN, 1, (LPARAM)&col);
  // Without cell selection the column is 0.
  EXPECT_EQ(f.Send(TLM_SETFOCUSCELL, 1, c), 1);
  EXPECT_EQ(f.Data()->focusCellColumn, 0);
  EXPECT_TRUE(FocusMark(f, c));
  f.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CELLCARET, TLS_EX_CELLCARET);
  EXPECT_EQ(f.Send(TLM_SETFOCUSCELL, 1, (LPARAM)-1), 1);
  EXPECT_EQ(f.Data()->focusCellColumn, 1);
  EXPECT_FALSE(FocusMark(f, c));
  TreeListCell* cell = TreeListGetCell(f.Data(), c, 1, false);
  ASSERT_NE(cell, nullptr);
  EXPECT_TRUE(cell->cellFlags & kTLItemFocus);
  EXPECT_EQ(f.Send(TLM_SETFOCUSCELL, 5, c), 0);
  // Deleting the item clears the focus cell.
  f.Send(TVM_DELETEITEM, 0, c);
  EXPECT_EQ(f.Data()->focusCellItem, 0u);
}

// A cell whose image is a button: pressed on the left press, reported on
// the release.
class TreeListCellButton : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int c = 0; c < 2; ++c) {
      LVCOLUMNA col = {};
      col.mask = LVCF_WIDTH;
      col.cx = 100;
      f.Send(TLM_INSERTCOLUMN, c, (LPARAM)&col);
    }
    list = ImageList_Create(16, 16, ILC_COLOR32, 2, 1);
    HBITMAP bitmap = CreateBitmap(32, 16, 1, 32, nullptr);
    ImageList_Add(list, bitmap, nullptr);
    DeleteObject(bitmap);
    f.Send(TVM_SETIMAGELIST, TLSIL_NORMAL, (LPARAM)list);
    a = Insert(f, 0, "alpha", 77);
    TVITEMA tv = {};
    tv.mask = TLIF_CELL | TLIF_ALLCELLSTATE | TVIF_IMAGE | TVIF_STATE | TVIF_TEXT;
    tv.hItem = (HTREEITEM)(UINT_PTR)a;
    tv.cChildren = 1;
    tv.iImage = 0;
    tv.state = TLIS_CELLBUTTON;
    tv.stateMask = TLIS_CELLBUTTON;
    tv.pszText = (char*)"knob";
    f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
    f.onNotify = [&](NMHDR* hdr) -> LRESULT {
      if (hdr->code == (UINT)TLN_CHECKCHANGED) {
        report = *(NMTREEVIEWA*)hdr;
        text.assign(report.itemNew.pszText, report.itemNew.cchTextMax);
      }
      return 0;
    };
    SetForegroundWindow(f.Parent());
    SetFocus(f.Hwnd());
    f.notes.clear();
  }
  void TearDown() override { ImageList_Destroy(list); }
  LPARAM OnImage() { return MAKELPARAM(f.Data()->columnX[1] + 5, f.Data()->headerHeight + 8); }
  TreeListFixture f{WS_CHILD | WS_VISIBLE | TVS_EDITLABELS, 400, 160};
  HIMAGELIST list = nullptr;
  TLHandle a = 0;
  std::string text;
  NMTREEVIEWA report = {};
};

TEST_F(TreeListCellButton, PressAndReleaseReportTheCell) {
  ASSERT_EQ(f.Send(TVM_HITTEST, 0, 0), 0);
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, OnImage());
  EXPECT_EQ(f.Data()->pressState[3], a);
  EXPECT_EQ(f.Data()->pressState[4], 1u);
  f.Send(WM_LBUTTONUP, 0, OnImage());
  EXPECT_EQ(f.Data()->pressState[3], 0u);
  std::vector<int> codes = Codes(f.notes);
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes[codes.size() - 2], TLN_LBUTTONUP);
  ASSERT_EQ(codes.back(), TLN_CHECKCHANGED);
  const NMTREEVIEWA& nm = report;
  EXPECT_EQ(nm.action, 0x10003u);
  EXPECT_EQ(nm.ptDrag.x, (LONG)(short)LOWORD(OnImage()));
  EXPECT_EQ(nm.itemNew.mask, 0x801Du);
  EXPECT_EQ(nm.itemNew.hItem, (HTREEITEM)(UINT_PTR)a);
  EXPECT_EQ(nm.itemNew.cChildren, 1);
  EXPECT_EQ(nm.itemNew.lParam, 77);
  EXPECT_TRUE(nm.itemNew.state & TLIS_CELLBUTTON);
  EXPECT_EQ(nm.itemOld.hItem, nullptr);
  EXPECT_EQ(text, "knob");
}

TEST_F(TreeListCellButton, AHeldButtonShowsTheNextImage) {
  // Image 0 red, image 1 blue.
  for (int i = 0; i < 2; ++i) {
    DWORD pixels[16 * 16];
    for (DWORD& p : pixels) p = i ? 0xFF0000FF : 0xFFFF0000;
    HBITMAP colour = CreateBitmap(16, 16, 1, 32, pixels);
    ASSERT_TRUE(ImageList_Replace(list, i, colour, nullptr));
    DeleteObject(colour);
  }
  TreeListData* d = f.Data();
  POINT middle = {d->columnX[1] + 1 + 8, d->headerHeight + d->rowHeight / 2};
  EXPECT_EQ(RGB(255, 0, 0), WindowCapture(f.Hwnd()).Pixel(middle.x, middle.y));
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, OnImage());
  ASSERT_EQ(d->pressState[3], a);
  WindowCapture held(f.Hwnd());
  held.SavePng(ScreensPathIn("treelist", "treelist_cell_button_held.png").c_str());
  EXPECT_EQ(RGB(0, 0, 255), held.Pixel(middle.x, middle.y));
  f.Send(WM_LBUTTONUP, 0, OnImage());
  EXPECT_EQ(RGB(255, 0, 0), WindowCapture(f.Hwnd()).Pixel(middle.x, middle.y));
}

TEST_F(TreeListCellButton, LeavingTheButtonLetsGoWithoutReport) {
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, OnImage());
  ASSERT_EQ(f.Data()->pressState[3], a);
  f.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(f.Data()->columnX[1] + 60, f.Data()->headerHeight + 8));
  EXPECT_EQ(f.Data()->pressState[3], 0u);
  f.notes.clear();
  f.Send(WM_LBUTTONUP, 0, OnImage());
  EXPECT_EQ(Codes(f.notes), (std::vector<int>{TLN_LBUTTONUP}));
}

TEST_F(TreeListCellButton, ReadOnlyCellOfAReadOnlyColumnIsNoButton) {
  f.Send(TLM_SETCOLUMNEDIT, (1 << 11) | (1 << 8) | TLCE_READONLY);
  TVITEMA tv = {};
  tv.mask = TLIF_CELL | TLIF_ALLCELLSTATE | TVIF_STATE;
  tv.hItem = (HTREEITEM)(UINT_PTR)a;
  tv.cChildren = 1;
  tv.state = TLIS_CELLBUTTON | TLIS_READONLY;
  tv.stateMask = TLIS_CELLBUTTON | TLIS_READONLY;
  f.Send(TVM_SETITEMA, 0, (LPARAM)&tv);
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, OnImage());
  EXPECT_EQ(f.Data()->pressState[3], 0u);
  f.Send(WM_LBUTTONUP, 0, OnImage());
  for (int code : Codes(f.notes)) EXPECT_NE(code, TLN_CHECKCHANGED);
}

TEST_F(TreeListCellButton, ItemDeletedBeforeTheReleaseSendsNothing) {
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, OnImage());
  f.Send(TVM_DELETEITEM, 0, a);
  f.notes.clear();
  f.Send(WM_LBUTTONUP, 0, OnImage());
  for (int code : Codes(f.notes)) EXPECT_NE(code, TLN_CHECKCHANGED);
}

TEST_F(TreeListCellButton, ZeroReplyOpensTheEditorOfAnImageClickColumn) {
  f.Send(TLM_SETCOLUMNEDIT, (1 << 11) | (1 << 8) | TLCE_IMAGECLICK);
  f.Send(TVM_SELECTITEM, TVGN_CARET, a);
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, OnImage());
  // The held button keeps the press from editing.
  EXPECT_EQ(f.Send(TVM_GETEDITCONTROL), 0);
  f.Send(WM_LBUTTONUP, 0, OnImage());
  EXPECT_NE(f.Send(TVM_GETEDITCONTROL), 0);
  f.Send(TVM_ENDEDITLABELNOW, 1);
}

}  // namespace

namespace {

// On the label of the item in the given row.
LPARAM Label(TreeListFixture& f, int row) {
  TreeListData* d = f.Data();
  TreeListItem* item = TreeListLookup(d, (TLHandle)f.Send(TLM_GETROWITEM, 0, row));
  int level = item ? item->level : 0;
  return MAKELPARAM(d->indent * (level + 1) + 3, d->headerHeight + row * d->rowHeight + d->rowHeight / 2);
}

void Click(TreeListFixture& f, LPARAM at, WPARAM keys = 0) {
  f.Send(WM_LBUTTONDOWN, keys | MK_LBUTTON, at);
  f.Send(WM_LBUTTONUP, keys, at);
}

// Ctrl+click on a selected item: off, with the focus mark moved to it;
// a collapsed one takes its hidden selected children along.
TEST_F(TreeListFocus, CtrlClickOnASelectedItemMovesTheMark) {
  Multi();
  SetForegroundWindow(f.Parent());
  SetFocus(f.Hwnd());
  f.Send(TLM_SELECTSUBTREE, 1, (LPARAM)TVI_ROOT);
  f.Send(TVM_EXPAND, TVE_EXPAND, a);
  f.Send(TLM_RUNDEFERRED);
  ASSERT_EQ(f.Send(TLM_GETROWITEM, 0, 4), (LRESULT)c);
  ASSERT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 6);
  // Rows: a, a1, a2, b (collapsed), c.
  Click(f, Label(f, 3), MK_CONTROL);
  EXPECT_FALSE(Selected(f, b));
  EXPECT_FALSE(Selected(f, b1));
  EXPECT_TRUE(FocusMark(f, b));
  EXPECT_EQ(f.Data()->focusCellItem, b);
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 4);
  // Another one: the mark follows, the first keeps none.
  Click(f, Label(f, 4), MK_CONTROL);
  EXPECT_FALSE(Selected(f, c));
  EXPECT_TRUE(FocusMark(f, c));
  EXPECT_FALSE(FocusMark(f, b));
  // A plain click clears the focus cell.
  Click(f, Label(f, 0));
  EXPECT_FALSE(FocusMark(f, c));
  EXPECT_EQ(f.Data()->focusCellItem, 0u);
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 1);
}

TEST_F(TreeListFocus, ShiftRangeAndKeysMoveTheMarkToTheTarget) {
  Multi();
  SetForegroundWindow(f.Parent());
  SetFocus(f.Hwnd());
  f.Send(TVM_EXPAND, TVE_EXPAND, a);
  f.Send(TLM_RUNDEFERRED);
  Click(f, Label(f, 0));
  Click(f, Label(f, 2), MK_SHIFT);
  EXPECT_TRUE(FocusMark(f, a2));
  EXPECT_EQ(f.Send(TLM_OPTION, TLO_SELECTEDCOUNT), 3);
  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  f.Send(WM_KEYDOWN, VK_DOWN, 0);
  memset(keys, 0, sizeof keys);
  SetKeyboardState(keys);
  EXPECT_FALSE(FocusMark(f, a2));
  EXPECT_TRUE(FocusMark(f, b));
  EXPECT_EQ(f.Data()->focusCellItem, b);
}

}  // namespace
