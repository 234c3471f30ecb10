// Keyboard, wheel and mouse input of the text view.
#include "view_fixture.h"

namespace {
std::string Hex(unsigned v) {
  char t[16];
  wsprintfA(t, "%x", v);
  return t;
}
}  // namespace

TEST_F(ViewTest, KeysByModifiersAndCaret) {
  RecordingView view;
  Make(&view);
  int vis = view.GetVisibleSize().cy;
  int total = view.GetTotalLines();
  struct Case {
    UINT key;
    bool shift, ctrl, caret;
    std::string call;    // "" none
    int dColumn, dLine;  // scroll change
  } cases[] = {
      {VK_LEFT, false, false, true, "move -1,0,81", 0, 0},
      {VK_RIGHT, true, false, true, "move 1,0,83", 0, 0},
      {VK_UP, true, true, true, "move 0,-1,87", 0, 0},
      {VK_DOWN, false, false, true, "move 0,1,81", 0, 0},
      {VK_HOME, false, false, true, "move -5,0,1", 0, 0},
      {VK_END, true, false, true, "move 195,0,3", 0, 0},
      {VK_PRIOR, false, false, true, "move 0," + std::to_string(1 - vis) + ",1", 0, 0},
      {VK_HOME, false, true, true, "move 0,0,0", 0, 0},
      {VK_END, true, true, false, "move 0," + std::to_string(total) + ",2", 0, 0},
      {VK_LEFT, false, true, true, "scrollhook 37", -1, 0},
      {VK_DOWN, false, true, true, "scrollhook 40", 0, 1},
      {VK_RIGHT, false, false, false, "scrollhook 39", 1, 0},
      {VK_NEXT, false, false, false, "scrollhook 34", 0, vis - 1},
      {VK_HOME, false, false, false, "", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("key " + std::to_string(c.key) + (c.shift ? " shift" : "") + (c.ctrl ? " ctrl" : "") +
                 (c.caret ? " caret" : " no caret"));
    view.SetCaretMode(c.caret ? kCaretShown : 0);
    view.SetCursorPos(5, 20, FALSE);
    view.SetScrollPos(2, 18);
    CPoint before = view.GetScrollPos();
    view.Clear();
    WithModifiers(c.shift, c.ctrl, [&] { Key(c.key); });
    std::string got = view.log.empty() ? "" : view.log[0];
    EXPECT_EQ(got, c.call);
    if (c.call.rfind("move", 0) != 0) {
      EXPECT_EQ(view.GetScrollPos() - before, CSize(c.dColumn, c.dLine));
      EXPECT_EQ(view.GetCursorPos(), CPoint(5, 20)) << "scrolling leaves the cursor";
    }
  }
}

TEST_F(ViewTest, ScrollingByKeysNotifiesTheParent) {
  RecordingView view;
  Make(&view);
  view.SetCaretMode(0);
  s_notes.clear();
  Key(VK_DOWN);
  Key(VK_RIGHT);
  EXPECT_EQ(s_notes, std::vector<std::string>({"10228 0,1", "10228 1,1"}));
  s_notes.clear();
  view.SetScrollPos(3, 3);
  EXPECT_TRUE(s_notes.empty());
}

TEST_F(ViewTest, WheelScrollsThreeNineOrAPage) {
  RecordingView view;
  Make(&view);
  int vis = view.GetVisibleSize().cy;
  struct Case {
    WORD keys;
    short delta;
    int dLine;
  } cases[] = {{0, -120, 3}, {0, -1, 3}, {0, -960, 3}, {MK_SHIFT, -120, 9}, {MK_CONTROL, -120, vis - 1}, {0, 120, -3}};
  for (const Case& c : cases) {
    view.SetScrollPos(0, 50);
    view.Clear();
    SendMessageA(view.m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(c.keys, c.delta), MAKELPARAM(100, 100));
    EXPECT_EQ(view.GetScrollPos().y, 50 + c.dLine) << c.keys << " " << c.delta;
    EXPECT_EQ(view.log, std::vector<std::string>({"scrollhook 0"}));
  }
}

TEST_F(ViewTest, RightClickOpensTheMenuOnRelease) {
  RecordingView view;
  Make(&view);
  SendMessageA(view.m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 30));
  SendMessageA(view.m_hWnd, WM_RBUTTONUP, 0, MAKELPARAM(50, 30));
  EXPECT_EQ(view.log, std::vector<std::string>({"menu 50,30"}));
  int cw = view.GetCellWidth(), ch = view.GetCellHeight();
  EXPECT_EQ(view.GetContextPos(), CPoint((50 + cw / 2) / cw, 30 / ch));
}

TEST_F(ViewTest, HoldingTheRightButtonStartsAHandDragThatFollowsByPixels) {
  RecordingView view;
  Make(&view);
  POINT screen = {100, 60};
  ClientToScreen(view.m_hWnd, &screen);
  SetCursorPos(screen.x, screen.y);
  view.SetScrollPos(5, 10);
  SendMessageA(view.m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 60));
  PumpMessages(600);
  EXPECT_NE(view.m_rbState, 3) << "not yet after 600 ms";
  PumpMessages(500);
  ASSERT_EQ(view.m_rbState, 3) << "a hand drag after five ticks";
  EXPECT_EQ(view.m_hViewCursor, LoadCursorA(nullptr, (LPCSTR)IDC_HAND));
  EXPECT_EQ(GetCapture(), view.m_hWnd);
  int cw = view.GetCellWidth(), ch = view.GetCellHeight();
  SendMessageA(view.m_hWnd, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(100 - 3 * cw - 2, 60 - 2 * ch));
  EXPECT_EQ(view.GetScrollPos(), CPoint(8, 12));
  EXPECT_EQ(view.m_pixelX, 2);
  SendMessageA(view.m_hWnd, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(101, 61));
  EXPECT_EQ(view.GetScrollPos(), CPoint(4, 9)) << "a pixel the other way: floor, one cell back";
  EXPECT_EQ(view.m_pixelX, cw - 1);
  view.Clear();
  SendMessageA(view.m_hWnd, WM_RBUTTONUP, 0, MAKELPARAM(101, 61));
  EXPECT_TRUE(view.log.empty()) << "no menu after a drag";
  EXPECT_EQ(view.m_pixelX, 0);
  EXPECT_NE(GetCapture(), view.m_hWnd);
  EXPECT_EQ(view.m_hViewCursor, LoadCursorA(nullptr, (LPCSTR)IDC_IBEAM));

  // Four pixels of movement start it at once.
  SendMessageA(view.m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 60));
  SendMessageA(view.m_hWnd, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(104, 60));
  EXPECT_EQ(view.m_rbState, 3);
  SendMessageA(view.m_hWnd, WM_RBUTTONUP, 0, MAKELPARAM(104, 60));
}

TEST_F(ViewTest, SelectingBelowTheWindowGrowsEveryTick) {
  RecordingView view;
  Make(&view);
  int ch = view.GetCellHeight();
  SendMessageA(view.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 2 * ch + 1));
  EXPECT_EQ(view.m_lbState, 1);
  EXPECT_EQ(GetCapture(), view.m_hWnd);
  int below = view.m_textHeight + 16;  // 16 px past the edge: 2 + 1 lines a tick
  int step = ((below - view.m_textHeight + ch) | 8) >> 3;
  view.Clear();
  SendMessageA(view.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, below));
  EXPECT_EQ(view.m_timerState, 1);
  int line = view.GetCursorPos().y;
  PumpMessages(560);
  int ticks = (view.GetCursorPos().y - line) / step;
  EXPECT_GE(ticks, 2);
  EXPECT_LE(ticks, 4);
  EXPECT_EQ(view.log.back(), "move 0," + std::to_string(step) + ",b");
  SendMessageA(view.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(20, below));
  EXPECT_EQ(view.m_timerState, 0);
  EXPECT_NE(GetCapture(), view.m_hWnd);
}

TEST_F(ViewTest, DoubleClickThenMoveKeepsTheCursor) {
  RecordingView view;
  Make(&view);
  int cw = view.GetCellWidth(), ch = view.GetCellHeight();
  SendMessageA(view.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3 * cw, ch + 1));
  SendMessageA(view.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3 * cw, ch + 1));
  view.Clear();
  SendMessageA(view.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(7 * cw, 3 * ch + 1));
  EXPECT_TRUE(view.log.empty()) << "moves within 300 ms are ignored";
  Sleep(320);
  SendMessageA(view.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(7 * cw, 3 * ch + 1));
  EXPECT_EQ(view.log, std::vector<std::string>({"move 7,3,a"}));
  SendMessageA(view.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(7 * cw, 3 * ch + 1));
}

TEST_F(ViewTest, MarginClicksGoToTheMarginHookAndButtonUpAlwaysReleases) {
  RecordingView view;
  Make(&view);
  view.SetMarginWidth(24);
  int ch = view.GetCellHeight();
  view.lbuttonUpAnswer = 1;
  SendMessageA(view.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(23, 2 * ch));
  EXPECT_EQ(view.log[0], "margin 4801 2");
  EXPECT_EQ(view.m_lbState, 2);
  EXPECT_EQ(GetCapture(), view.m_hWnd);
  SendMessageA(view.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 3 * ch));
  EXPECT_EQ(view.log.back(), "margin 1001 3");
  SendMessageA(view.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(24, 3 * ch));
  EXPECT_EQ(view.log.back(), "lup") << "x = margin is in the text";
  EXPECT_NE(GetCapture(), view.m_hWnd) << "released although the hook answered";
  view.lbuttonUpAnswer = 0;
  SendMessageA(view.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(40, ch));
  view.Clear();
  SendMessageA(view.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(40, ch));
  ASSERT_EQ(view.log.size(), 2u);
  EXPECT_EQ(view.log[1].rfind("pick", 0), 0u) << "Ctrl asks the pick hook after the move";
  SendMessageA(view.m_hWnd, WM_LBUTTONUP, kHookSkip, MAKELPARAM(40, ch));
  (void)Hex;
}
