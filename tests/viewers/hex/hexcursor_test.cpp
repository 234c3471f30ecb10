// The hex view's cursor: keys, mouse, selection, Tab and program moves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../text/view_fixture.h"
#include "viewers/hex/hexview.h"

namespace {
// Format: 16 bytes, no extra space, blanks between groups, 6 address
// digits; byte i of a line has its high digit at column 8 + 3i.
const int kHex = 8;

class HexCursorTest : public ViewTest {
 protected:
  void Open(CHexView* view, int size, UINT flags = kHexDataWritable, int format = 0, int invert = 0) {
    Make(view, 700, 200);
    m_bytes.assign(size, 0x41);
    BYTE* data = m_bytes.data();
    if (flags & kHexDataOwn) {
      data = new BYTE[size ? size : 1]();
    }
    view->SetData(data, size, 0x1000, flags);
    view->SetFormat(16, 0, 1, 6, format, invert);
    PumpMessages(10);
    Notes().clear();
  }
  // Mouse message at the left edge of a cell, which the base maps to it.
  void Mouse(CHexView* view, UINT msg, int column, int line, UINT keys) {
    const int x = view->GetMarginWidth() + (column - view->GetScrollPos().x) * view->GetCellWidth();
    const int y = (line - view->GetScrollPos().y) * view->GetCellHeight() + view->GetCellHeight() / 2;
    SendMessageA(view->m_hWnd, msg, keys, MAKELPARAM(x, y));
  }
  std::vector<BYTE> m_bytes;
};
}  // namespace

TEST_F(HexCursorTest, ArrowsWalkDigitsAndWrapBetweenLines) {
  CHexView view;
  Open(&view, 40);
  Key(VK_RIGHT);
  EXPECT_EQ(view.GetCursor(FALSE), 0u);
  EXPECT_EQ(view.GetNibble(), 0) << "low digit";
  EXPECT_EQ(view.GetCursorPos(), CPoint(kHex + 1, 0));
  Key(VK_RIGHT);
  EXPECT_EQ(view.GetCursor(FALSE), 1u);
  EXPECT_EQ(view.GetCursorPos(), CPoint(kHex + 3, 0));
  // Low digit of a line's last byte -> high digit of the next line's first.
  view.SetCursorAddress(15, FALSE);
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(view.GetCursor(FALSE), 16u);
  EXPECT_EQ(view.GetCursorPos(), CPoint(kHex, 1));
  Key(VK_LEFT);
  EXPECT_EQ(view.GetCursor(FALSE), 15u);
  EXPECT_EQ(view.GetCursorPos(), CPoint(kHex + 45 + 1, 0)) << "the low digit of the line above";
  // Down past the data stops on the last byte's low digit.
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(view.GetCursor(FALSE), 39u);
  EXPECT_EQ(view.GetNibble(), 0);
  EXPECT_TRUE(Notes().empty()) << "no selection, no note";
}

TEST_F(HexCursorTest, InvertedGroupsAreWalkedInDisplayOrder) {
  CHexView view;
  Open(&view, 32, kHexDataWritable, 2, 1);
  view.SetCursorAddress(3, FALSE);  // shown first
  EXPECT_EQ(view.GetCursorPos(), CPoint(kHex, 0));
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(view.GetCursor(FALSE), 2u);
  Key(VK_RIGHT, 1);
  Key(VK_RIGHT, 1);
  Key(VK_RIGHT, 1);
  Key(VK_RIGHT, 1);
  EXPECT_EQ(view.GetCursor(FALSE), 0u);
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(view.GetCursor(FALSE), 7u) << "the next group's first shown byte";
}

TEST_F(HexCursorTest, EndStopsPastTheDataOnlyWithInsertion) {
  struct Case {
    UINT flags;
    int cursor;
  } cases[] = {{kHexDataWritable | kHexDataOwn | kHexDataInsertAllowed | kHexDataInsertOn, 20},
               {kHexDataWritable | kHexDataOwn | kHexDataInsertAllowed | kHexDataInsertOff, 19},
               {kHexDataWritable | kHexDataInsertOn, 19}};
  for (const Case& c : cases) {
    CHexView view;
    Open(&view, 20, c.flags);
    WithModifiers(false, true, [&] { Key(VK_END); });
    EXPECT_EQ((int)view.GetCursor(FALSE), c.cursor) << std::hex << c.flags;
    WithModifiers(true, true, [&] { Key(VK_HOME); });
    WithModifiers(true, true, [&] { Key(VK_END); });
    EXPECT_EQ((int)view.GetCursor(FALSE), 19) << "an extending move stays on the last byte";
    ::DestroyWindow(view.m_hWnd);
    ::DestroyWindow(m_parent);
  }
}

// Ctrl+Home stands on the first byte's high digit wherever the cursor was
// (past the end after a click too), so typing in insert mode inserts a
// whole byte before it; Left there stays.
TEST_F(HexCursorTest, CtrlHomeGoesToTheStartOfTheFirstByte) {
  for (int clickPastEnd = 0; clickPastEnd < 2; ++clickPastEnd) {
    SCOPED_TRACE(clickPastEnd);
    CHexView view;
    Make(&view, 700, 200);
    BYTE* data = new BYTE[2]{0x11, 0x22};
    view.SetData(data, 2, 0, kHexDataWritable | kHexDataOwn | kHexDataInsertAllowed | kHexDataInsertOn);
    view.SetFormat(16, 0, 1, 6, 0, 0);
    PumpMessages(10);
    if (clickPastEnd) {
      Mouse(&view, WM_LBUTTONDOWN, kHex + 3 * 10, 0, MK_LBUTTON);
      Mouse(&view, WM_LBUTTONUP, kHex + 3 * 10, 0, 0);
      EXPECT_EQ(view.GetCursor(FALSE), 2u) << "past the end with insertion";
    } else {
      view.SetCursorAddress(1, FALSE);
      Key(VK_RIGHT);
    }
    WithModifiers(false, true, [&] { Key(VK_HOME); });
    EXPECT_EQ(view.GetCursor(FALSE), 0u);
    EXPECT_EQ(view.GetNibble(), 1) << "the high digit";
    EXPECT_EQ(view.GetCursorPos(), CPoint(kHex, 0));
    Key(VK_LEFT);
    EXPECT_EQ(view.GetNibble(), 1) << "nothing before the first byte";
    EXPECT_EQ(view.GetCursorPos(), CPoint(kHex, 0));
    SendMessageA(view.m_hWnd, WM_CHAR, 'A', 0);
    SendMessageA(view.m_hWnd, WM_CHAR, 'B', 0);
    int size = 0;
    DWORD base = 0;
    const BYTE* now = (const BYTE*)view.GetData(&size, &base);
    ASSERT_EQ(size, 3);
    EXPECT_EQ(std::vector<BYTE>(now, now + 3), std::vector<BYTE>({0xAB, 0x11, 0x22}));
    ::DestroyWindow(view.m_hWnd);
    ::DestroyWindow(m_parent);
  }
}

TEST_F(HexCursorTest, ShiftArrowsSelectWholeBytesAndPlainArrowsCollapse) {
  CHexView view;
  Open(&view, 40);
  view.SetCursorAddress(10, FALSE);
  Notes().clear();
  WithModifiers(true, false, [&] { Key(VK_RIGHT); });
  int length = -1;
  EXPECT_EQ(view.GetSelection(FALSE, &length), 10u);
  EXPECT_EQ(length, 1);
  EXPECT_EQ(view.GetNibble(), 0) << "the cursor on byte 10's low digit";
  WithModifiers(true, false, [&] { Key(VK_RIGHT); });
  EXPECT_EQ(view.GetSelection(FALSE, &length), 10u);
  EXPECT_EQ(length, 2);
  EXPECT_EQ(view.GetCursor(FALSE), 11u);
  EXPECT_EQ(view.GetNibble(), 1);
  WithModifiers(true, false, [&] { Key(VK_RIGHT); });
  EXPECT_EQ(view.GetCursor(FALSE), 12u);
  EXPECT_EQ(view.GetCursorOrSelection(FALSE), 10u) << "the anchor";
  BYTE got[8] = {};
  EXPECT_EQ(view.GetSelectedBytes(got, 8), 3);
  Key(VK_LEFT);
  EXPECT_EQ(view.GetCursor(FALSE), 10u) << "left collapses onto the anchor";
  EXPECT_EQ(view.GetSelectedBytes(got, 8), 0);
  const std::vector<std::string> want = {"11253 10,10", "11253 10,11", "11253 10,12", "11253 0,0"};
  EXPECT_EQ(Notes(), want);
}

TEST_F(HexCursorTest, MouseClickDragAndGapBetweenGroups) {
  CHexView view;
  Open(&view, 64, kHexDataWritable, 2, 0);
  // Groups of 4: byte j at 8 + 2j + j / 4; byte 3 ends at 15, the gap is 16.
  Mouse(&view, WM_LBUTTONDOWN, 16, 0, MK_LBUTTON);
  Mouse(&view, WM_LBUTTONUP, 16, 0, 0);
  PumpMessages(5);
  EXPECT_EQ(view.GetCursor(FALSE), 4u) << "the byte after the gap";
  EXPECT_EQ(view.GetEditArea(), kHexAreaHex);
  // Character area and address column by column.
  const int chars = view.GetLayout().charStart;
  Mouse(&view, WM_LBUTTONDOWN, chars + 5, 1, MK_LBUTTON);
  Mouse(&view, WM_LBUTTONUP, chars + 5, 1, 0);
  EXPECT_EQ(view.GetCursor(FALSE), 21u);
  EXPECT_EQ(view.GetEditArea(), kHexAreaChars);
  Mouse(&view, WM_LBUTTONDOWN, 2, 2, MK_LBUTTON);
  Mouse(&view, WM_LBUTTONUP, 2, 2, 0);
  EXPECT_EQ(view.GetCursor(FALSE), 32u);
  EXPECT_EQ(view.GetEditArea(), kHexAreaAddress);
  EXPECT_EQ(view.GetNibble(), 3) << "digit position from the right";
  // A drag from byte 4 to byte 9 selects them; back onto the press point
  // it selects nothing.
  Notes().clear();
  Mouse(&view, WM_LBUTTONDOWN, 17, 0, MK_LBUTTON);
  Mouse(&view, WM_MOUSEMOVE, 28, 0, MK_LBUTTON);
  int length = 0;
  DWORD start = 0;
  view.GetSelectionRange(&start, &length, FALSE, 100);
  EXPECT_EQ(start, 4u);
  EXPECT_EQ(length, 6) << ::testing::PrintToString(Notes());
  Mouse(&view, WM_MOUSEMOVE, 17, 0, MK_LBUTTON);
  Mouse(&view, WM_LBUTTONUP, 17, 0, 0);
  EXPECT_FALSE(view.GetSelectionRange(&start, &length, FALSE, 100));
  const std::vector<std::string> want = {"11253 4,9", "11253 0,0"};
  EXPECT_EQ(Notes(), want);
}

TEST_F(HexCursorTest, TabCyclesTheAreas) {
  CHexView view;
  Open(&view, 40);
  view.SetCursorAddress(18, FALSE);
  SendMessageA(view.m_hWnd, WM_CHAR, '\t', 1);
  EXPECT_EQ(view.GetEditArea(), kHexAreaChars);
  EXPECT_EQ(view.GetCursorPos(), CPoint(view.GetLayout().charStart + 2, 1));
  SendMessageA(view.m_hWnd, WM_CHAR, '\t', 1);
  EXPECT_EQ(view.GetEditArea(), kHexAreaAddress);
  EXPECT_EQ(view.GetCursorPos(), CPoint(0, 1));
  SendMessageA(view.m_hWnd, WM_CHAR, '\t', 1);
  EXPECT_EQ(view.GetEditArea(), kHexAreaHex);
  EXPECT_EQ(view.GetCursor(FALSE), 18u) << "the byte is kept";
  WithModifiers(true, false, [&] { SendMessageA(view.m_hWnd, WM_CHAR, '\t', 1); });
  EXPECT_EQ(view.GetEditArea(), kHexAreaAddress);
  // Without a character area Tab skips it.
  view.SetFlags(kHexViewNoCharArea, kHexViewNoCharArea);
  view.SetEditArea(kHexAreaHex);
  SendMessageA(view.m_hWnd, WM_CHAR, '\t', 1);
  EXPECT_EQ(view.GetEditArea(), kHexAreaAddress);
  EXPECT_EQ(view.SetEditArea(kHexAreaChars), kHexAreaAddress) << "refused";
  EXPECT_EQ(view.GetEditArea(), kHexAreaAddress);
}

TEST_F(HexCursorTest, ProgramMovesAndTheirMessages) {
  CHexView view;
  Open(&view, 40);
  EXPECT_TRUE(view.SetCursorAddress(0x1005, TRUE));
  EXPECT_EQ(view.GetCursor(FALSE), 5u);
  EXPECT_FALSE(view.SetCursorAddress(99, FALSE)) << "clamped";
  EXPECT_EQ(view.GetCursor(FALSE), 39u);
  SendMessageA(view.m_hWnd, WM_HEXVIEW_COMMAND, kHexCmdSetCursor, 8);
  EXPECT_EQ(view.GetCursor(TRUE), 0x1008u);
  SendMessageA(view.m_hWnd, WM_HEXVIEW_COMMAND, kHexCmdSelectTo, 12);
  int length = 0;
  EXPECT_EQ(view.GetSelection(FALSE, &length), 8u);
  EXPECT_EQ(length, 4) << "cursor .. position - 1";
  view.SetSelectionEnd(3, FALSE);
  EXPECT_EQ(view.GetSelection(FALSE, &length), 4u);
  EXPECT_EQ(length, 5) << "position + 1 .. cursor";
  EXPECT_EQ(SendMessageA(view.m_hWnd, WM_HEXVIEW_COMMAND, kHexCmdGetSelection, 0), 4);
  EXPECT_FALSE(view.SetSelectionEnd(41, FALSE));
  EXPECT_TRUE(view.ClearSelection());
  EXPECT_FALSE(view.ClearSelection());
  EXPECT_EQ(view.GetCursor(FALSE), 8u);
  EXPECT_EQ(view.LineColToOffset(kHex + 3 * 2, 1), 0x1000u + 18);
  m_bytes[8] = 0x12;
  m_bytes[9] = 0x34;
  BYTE got[4] = {};
  EXPECT_EQ(view.ReadAtCursor(got, 4), 4);
  EXPECT_EQ(got[0], 0x12);
  view.SetCursorAddress(38, FALSE);
  EXPECT_EQ(view.ReadAtCursor(got, 4), 2) << "not past the data";
  // Scrolling keeps the cursor's byte.
  view.ScrollToAddress(16, FALSE);
  EXPECT_EQ(view.GetCursor(FALSE), 38u);
}

TEST_F(HexCursorTest, SelectRangeAndEnsureVisibleScroll) {
  CHexView view;
  Open(&view, 16 * 200);
  const int visible = view.GetVisibleSize().cy;
  ASSERT_GT(visible, 4);
  EXPECT_FALSE(view.EnsureVisible(16, 1)) << "already in the window";
  EXPECT_TRUE(view.EnsureVisible(16 * 100, 16));
  EXPECT_EQ(view.GetScrollPos().y, 100 - std::min((visible - 1) / 2, 3)) << "three lines of context at most";
  Notes().clear();
  EXPECT_TRUE(view.SelectRange(16 * 150 + 2, 5, FALSE));
  int length = 0;
  EXPECT_EQ(view.GetSelection(FALSE, &length), 16u * 150 + 2);
  EXPECT_EQ(length, 5);
  EXPECT_EQ(view.GetCursor(FALSE), 16u * 150 + 2);
  EXPECT_EQ(view.GetScrollPos().y, 150) << "first line less half of one line";
  EXPECT_EQ(view.GetFirstVisibleOffset(FALSE), 16u * 150);
  EXPECT_EQ(view.GetFirstVisibleOffset(TRUE), 0x1000u + 16 * 150);
  EXPECT_EQ(SendMessageA(view.m_hWnd, WM_HEXVIEW_COMMAND, kHexCmdGetFirstVisible, 0), 16 * 150);
  BYTE got[8] = {};
  int count = -1;
  m_bytes[16 * 150 + 3] = 0x5A;
  EXPECT_EQ(view.CopySelectedBytes(got, 3, &count), 3);
  EXPECT_EQ(count, 3) << "at most the maximum";
  EXPECT_EQ(got[1], 0x5A);
  EXPECT_EQ(view.CopySelectedBytes(got, 8, &count), 5);
  EXPECT_EQ(count, 5);
  // Where a byte stands, in each area, and back.
  EXPECT_EQ(view.LineOfOffset(16 * 150 + 2), 150);
  int column = -1, line = -1;
  view.OffsetToLineCol(16 * 150 + 2, &column, &line);
  EXPECT_EQ(column, kHex + 3 * 2);
  EXPECT_EQ(line, 150);
  view.SetEditArea(kHexAreaChars);
  view.OffsetToLineCol(16 * 150 + 7, &column, &line);
  EXPECT_GT(column, kHex + 3 * 15);
  EXPECT_EQ(view.LineColToOffset(column, line), 0x1000u + 16 * 150 + 7);
  view.SetEditArea(kHexAreaHex);
  EXPECT_FALSE(view.SelectRange(16 * 200 - 2, 5, FALSE)) << "clamped";
  EXPECT_EQ(view.GetSelection(FALSE, &length), 16u * 200 - 2);
  EXPECT_EQ(length, 2);
  view.ClearSelection();
  count = -1;
  EXPECT_EQ(view.CopySelectedBytes(got, 8, &count), 0);
  EXPECT_EQ(count, 0) << "nothing selected";
  view.SetMarkRange(3, 32, 4);
  EXPECT_TRUE(view.ShowRange(3));
  EXPECT_LE(view.GetScrollPos().y, 2);
  EXPECT_FALSE(view.ShowRange(4)) << "an inactive range";
  EXPECT_TRUE(Notes().empty()) << "program selections send no note";
}

TEST_F(HexCursorTest, SelectionRasterWidensToWholeGroups) {
  CHexView view;
  Open(&view, 64, kHexDataWritable, 2, 0);
  view.SetSelectionRaster(true);
  view.SetCursorAddress(5, FALSE);
  Notes().clear();
  WithModifiers(true, false, [&] { Key(VK_RIGHT); });
  WithModifiers(true, false, [&] { Key(VK_RIGHT); });
  int length = 0;
  EXPECT_EQ(view.GetSelection(FALSE, &length), 4u);
  EXPECT_EQ(length, 4) << "bytes 5-6 widened to the group 4-7";
}
