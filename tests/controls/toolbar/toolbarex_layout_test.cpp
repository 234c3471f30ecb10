// Toolbar layout, size calculation, hit tests, insert marks and the mouse.
#include <gtest/gtest.h>

#include <vector>

#include "toolbar_fixture.h"

namespace {
HBITMAP Strip(int width, int height) {
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
  void* bits = nullptr;
  return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

int AddStrip(const ToolbarFixture& t, int width, int height, int count) {
  TbxAddBitmap own = {nullptr, (UINT_PTR)Strip(width, height), kTbxImageOwnBitmap, 0, 0, 0};
  return (int)t.Send(TB_ADDBITMAP, kTbxByIndex | (WPARAM)count, (LPARAM)&own);
}

TBBUTTON Button(int image, int id, BYTE state = TBSTATE_ENABLED, BYTE style = BTNS_BUTTON, WORD styleWord = 0) {
  TBBUTTON b = {image, id, state, style, {}, 0, -1};
  *reinterpret_cast<WORD*>(b.bReserved) = styleWord;
  return b;
}

void Add(const ToolbarFixture& t, std::vector<TBBUTTON> buttons) {
  t.Send(TBX_ADDBUTTONS, buttons.size(), (LPARAM)buttons.data());
}

RECT ItemRect(const ToolbarFixture& t, int index) {
  RECT rc = {-1, -1, -1, -1};
  t.Send(TB_GETITEMRECT, (WPARAM)index, (LPARAM)&rc);
  return rc;
}

void Click(const ToolbarFixture& t, UINT down, UINT up, const RECT& rc, int dx = 0) {
  LPARAM at = MAKELPARAM((rc.left + rc.right) / 2 + dx, (rc.top + rc.bottom) / 2);
  WPARAM keys = down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON;
  t.Send(WM_MOUSEMOVE, 0, at);
  t.Send(down, keys, at);
  t.Send(up, 0, at);
  PumpMessages();
}
}  // namespace

TEST(ToolbarLayout, RowsShareTheTallestHeightAndTheIndentStaysInRowOne) {
  ToolbarFixture t;
  RECT none;
  EXPECT_EQ(t.Send(TB_GETITEMRECT, 0, (LPARAM)&none), 0);
  EXPECT_EQ(t.Send(TBX_CALCSIZE, 17000, 0), 0);
  AddStrip(t, 160, 16, 10);  // images 0-9: 16 x 16
  AddStrip(t, 32, 32, 1);    // image 10: 32 x 32
  t.Send(TB_SETINDENT, 10);
  Add(t, {Button(0, 1), Button(10, 2, TBSTATE_ENABLED | TBSTATE_WRAP), Button(1, 3), Button(2, 4)});
  // 16 + gap 2 + padding 7 wide; every button as high as the tallest, 32 + 4 + 7.
  struct Case {
    RECT rc;
  } cases[] = {{{10, 0, 35, 43}}, {{35, 0, 76, 43}}, {{0, 43, 25, 86}}, {{25, 43, 50, 86}}};
  for (int i = 0; i < 4; i++) {
    RECT rc = ItemRect(t, i);
    EXPECT_TRUE(EqualRect(&rc, &cases[i].rc))
        << i << ": " << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
  }
  EXPECT_EQ(t.Send(TBX_GETLAYOUTSIZE), MAKELONG(76, 86));
}

TEST(ToolbarLayout, SeparatorsColumnsAndTheArrowPart) {
  ToolbarFixture t;
  AddStrip(t, 160, 16, 10);
  // Three buttons of which the first and second end their row: a column.
  Add(t, {Button(0, 1, TBSTATE_ENABLED | TBSTATE_WRAP), Button(1, 2, TBSTATE_ENABLED | TBSTATE_WRAP), Button(2, 3)});
  RECT first = ItemRect(t, 0), second = ItemRect(t, 1), third = ItemRect(t, 2);
  EXPECT_EQ(first.left, 0);
  EXPECT_EQ(second.left, 0);
  EXPECT_EQ(third.left, 0);
  EXPECT_EQ(first.bottom, second.top);
  EXPECT_EQ(second.bottom, third.top);
  // With the second not ending its row: rows.
  t.Send(TBX_SETSTATEBYTES, MAKEWPARAM(1, 2), MAKELPARAM(0, TBSTATE_WRAP));
  second = ItemRect(t, 1);
  third = ItemRect(t, 2);
  EXPECT_EQ(second.top, third.top);
  EXPECT_EQ(second.right, third.left);
  // A separator in a column is 8 pixels high.
  TBBUTTON sep = Button(-1, 0, 0, BTNS_SEP);
  t.Send(TBX_INSERTBUTTON, 1, (LPARAM)&sep);
  t.Send(TBX_CALCSIZE, 4, 1);
  RECT bar = ItemRect(t, 1);
  EXPECT_EQ(bar.bottom - bar.top, 8);
  EXPECT_EQ(bar.right - bar.left, 25);
  // A drop-down arrow of a 16-pixel image: 13 x 4 / 4 = 13 pixels more.
  ToolbarFixture u;
  AddStrip(u, 160, 16, 10);
  Add(u, {Button(0, 1), Button(1, 2, TBSTATE_ENABLED, BTNS_DROPDOWN)});
  RECT plain = ItemRect(u, 0), arrow = ItemRect(u, 1);
  EXPECT_EQ((arrow.right - arrow.left) - (plain.right - plain.left), 13);
}

// Window style 0x20, gap2 4, no texts: two small buttons after a separator
// stack in one column beside a tall one.
TEST(ToolbarLayout, SmallButtonsStack) {
  ToolbarFixture t(WS_CHILD | WS_VISIBLE | 0x20);
  t.Send(TB_SETPADDING, 0, MAKELONG(7, 2));
  AddStrip(t, 34, 34, 1);  // image 0: measured 34 + 4 + 2 = 40 high
  AddStrip(t, 20, 10, 2);  // images 1, 2: measured 16 high
  Add(t, {Button(0, 1), Button(-1, 0, 0, BTNS_SEP), Button(1, 2), Button(2, 3)});
  RECT tall = ItemRect(t, 0), low = ItemRect(t, 2), high = ItemRect(t, 3);
  EXPECT_EQ(tall.bottom - tall.top, 40);
  EXPECT_EQ(low.bottom - low.top, 21);
  EXPECT_EQ(high.bottom - high.top, 19);
  EXPECT_EQ(low.bottom, 40);
  EXPECT_EQ(high.bottom, low.top);
  EXPECT_EQ(low.left, high.left);
  EXPECT_EQ(low.right, high.right);
}

TEST(ToolbarLayout, CalcSizeForms) {
  ToolbarFixture t;
  AddStrip(t, 160, 16, 10);
  std::vector<TBBUTTON> buttons;
  for (int i = 0; i < 10; i++) buttons.push_back(Button(i, 100 + i));
  Add(t, buttons);
  LRESULT row = t.Send(TBX_CALCSIZE, 17000, 0);
  EXPECT_EQ(LOWORD(row), 250);
  EXPECT_EQ(HIWORD(row), 27);
  LRESULT column = t.Send(TBX_CALCSIZE, 4, 0);
  EXPECT_EQ(LOWORD(column), 25);
  EXPECT_EQ(HIWORD(column), 270);
  // Rows of at most 100 pixels: four buttons each, three rows.
  LRESULT rows = t.Send(TBX_CALCSIZE, 100, 1);
  EXPECT_EQ(LOWORD(rows), 100);
  EXPECT_EQ(HIWORD(rows), 81);
  RECT fifth = ItemRect(t, 4);
  EXPECT_EQ(fifth.left, 0);
  EXPECT_EQ(fifth.top, 27);
  // The narrowest width for a height below 60: two rows of five.
  LRESULT byHeight = t.Send(TBX_CALCSIZE, 60, 2);
  EXPECT_EQ(HIWORD(byHeight), 54);
  EXPECT_EQ(LOWORD(byHeight), 125);
}

TEST(ToolbarLayout, HitTestsAndInsertMarks) {
  ToolbarFixture t;
  AddStrip(t, 160, 16, 10);
  Add(t, {Button(0, 1), Button(1, 2), Button(2, 3, TBSTATE_ENABLED, BTNS_DROPDOWN)});
  RECT rc = ItemRect(t, 1);
  POINT edge = {rc.left, rc.top + 5}, inside = {rc.left + 1, rc.top + 5};
  EXPECT_EQ(t.Send(TB_HITTEST, 0, (LPARAM)&edge), -1);  // within gap1 / 2 of the left edge
  EXPECT_EQ(t.Send(TB_HITTEST, 0, (LPARAM)&inside), 1);
  RECT drop = ItemRect(t, 2);
  POINT arrow = {drop.right - 3, drop.top + 8};
  EXPECT_EQ(t.Send(TB_HITTEST, kTbxHitTestArrow, (LPARAM)&arrow), 2 | 0x40000000);
  EXPECT_EQ(t.Send(TB_HITTEST, 0, (LPARAM)&arrow), 2);

  TBINSERTMARK mark = {1, 0};
  EXPECT_EQ(t.Send(TB_SETINSERTMARK, 0, (LPARAM)&mark), 1);
  mark = {1, TBIMHT_AFTER};
  EXPECT_EQ(t.Send(TB_SETINSERTMARK, 0, (LPARAM)&mark), 1);
  TBINSERTMARK probe = {rc.right - 2, (DWORD)rc.top + 4};
  EXPECT_EQ(t.Send(TB_INSERTMARKHITTEST, 0, (LPARAM)&probe), 1);
  EXPECT_EQ(probe.iButton, 1);
  EXPECT_EQ(probe.dwFlags, (DWORD)TBIMHT_AFTER);
  probe = {300, 30};
  EXPECT_EQ(t.Send(TB_INSERTMARKHITTEST, 0, (LPARAM)&probe), 0);
  EXPECT_EQ(probe.iButton, -1);
  EXPECT_EQ(probe.dwFlags, (DWORD)TBIMHT_BACKGROUND);
  mark = {9, 0};
  EXPECT_EQ(t.Send(TB_SETINSERTMARK, 0, (LPARAM)&mark), 0);
}

TEST(ToolbarMouse, CommandsGroupsSplitButtonsAndEmptySpace) {
  ToolbarFixture t;
  AddStrip(t, 160, 16, 10);
  Add(t, {Button(0, 10, TBSTATE_ENABLED, BTNS_CHECKGROUP),
          Button(1, 11, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECKGROUP),
          Button(2, 20, TBSTATE_ENABLED, BTNS_DROPDOWN, kTbxSplit), Button(3, 30, 0)});
  // The group member is checked, the other unchecked, before the command arrives.
  Click(t, WM_LBUTTONDOWN, WM_LBUTTONUP, ItemRect(t, 0));
  ASSERT_EQ(t.log.size(), 1u);
  EXPECT_EQ(t.log[0].msg, (UINT)WM_COMMAND);
  EXPECT_EQ(t.log[0].wParam, 10u);
  EXPECT_EQ(t.Send(TB_ISBUTTONCHECKED, 10), 1);
  EXPECT_EQ(t.Send(TB_ISBUTTONCHECKED, 11), 0);
  t.log.clear();
  // The split button: a right click posts id + 1, the arrow sends TBN_DROPDOWN with the index.
  RECT split = ItemRect(t, 2);
  Click(t, WM_RBUTTONDOWN, WM_RBUTTONUP, split, -(split.right - split.left) / 4);
  ASSERT_EQ(t.log.size(), 1u);
  EXPECT_EQ(t.log[0].wParam, 21u);
  t.log.clear();
  LPARAM onArrow = MAKELPARAM(split.right - 3, (split.top + split.bottom) / 2);
  t.Send(WM_MOUSEMOVE, 0, onArrow);
  t.Send(WM_LBUTTONDOWN, MK_LBUTTON, onArrow);
  t.Send(WM_LBUTTONUP, 0, onArrow);
  PumpMessages();
  ASSERT_EQ(t.log.size(), 1u);
  EXPECT_EQ(t.log[0].code, TBN_DROPDOWN);
  t.log.clear();
  // A disabled button does nothing.
  Click(t, WM_LBUTTONDOWN, WM_LBUTTONUP, ItemRect(t, 3));
  Click(t, WM_RBUTTONDOWN, WM_RBUTTONUP, ItemRect(t, 3));
  EXPECT_TRUE(t.log.empty());
  // Nor does a disabled split button: no id + 1, no TBN_DROPDOWN.
  t.Send(TB_ENABLEBUTTON, 20, FALSE);
  Click(t, WM_RBUTTONDOWN, WM_RBUTTONUP, split, -(split.right - split.left) / 4);
  t.Send(WM_MOUSEMOVE, 0, onArrow);
  t.Send(WM_LBUTTONDOWN, MK_LBUTTON, onArrow);
  t.Send(WM_LBUTTONUP, 0, onArrow);
  PumpMessages();
  EXPECT_TRUE(t.log.empty());
  // Empty space: the context menu.
  LPARAM empty = MAKELPARAM(380, 10);
  t.Send(WM_RBUTTONDOWN, MK_RBUTTON, empty);
  t.Send(WM_RBUTTONUP, 0, empty);
  PumpMessages();
  ASSERT_EQ(t.log.size(), 1u);
  EXPECT_EQ(t.log[0].msg, (UINT)WM_CONTEXTMENU);
}
