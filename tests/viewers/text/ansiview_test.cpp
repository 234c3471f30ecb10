// The text view's window: layout, repaint word, painting, caret and bars.
#include <algorithm>
#include <set>

#include "view_fixture.h"

namespace {
std::set<int> Distinct(const std::vector<int>& v) { return std::set<int>(v.begin(), v.end()); }
}  // namespace

TEST_F(ViewTest, WindowClassTextCodeAndBars) {
  RecordingView view;
  Make(&view);
  char text[32] = "";
  GetWindowTextA(view.m_hWnd, text, sizeof text);
  EXPECT_STREQ(text, "AnsiWnd");
  EXPECT_EQ(SendMessageA(view.m_hWnd, WM_GETDLGCODE, 0, 0), 0x81);
  EXPECT_EQ(GetDlgCtrlID(view.GetScrollBar(0)->m_hWnd), 912);
  EXPECT_EQ(GetDlgCtrlID(view.GetScrollBar(1)->m_hWnd), 913);
  EXPECT_EQ(view.GetScrollBarCtrl(SB_VERT), view.GetScrollBar(1));
  EXPECT_EQ(GetClassLongA(view.m_hWnd, GCL_STYLE) & CS_DBLCLKS, (DWORD)CS_DBLCLKS);
}

TEST_F(ViewTest, CursorMovesPaintTheTwoLinesAndScrollingPaintsAll) {
  RecordingView view;
  Make(&view);
  int visible = view.GetVisibleSize().cy;
  ASSERT_GT(visible, 5);
  view.Clear();
  Key(VK_DOWN);
  EXPECT_EQ(view.GetCursorPos(), CPoint(0, 1));
  EXPECT_EQ(Distinct(view.painted), std::set<int>({0, 1})) << "old and new cursor line only";

  view.SetCursorPos(0, visible - 2, FALSE);  // the last fully visible line
  view.Clear();
  s_notes.clear();
  Key(VK_DOWN);
  EXPECT_EQ(view.GetScrollPos(), CPoint(0, 1));
  EXPECT_EQ(view.painted.size(), (size_t)visible) << "one line scrolled paints the whole window once";
  EXPECT_EQ(s_notes, std::vector<std::string>({"10228 0,1"}));
}

TEST_F(ViewTest, HeldKeyRepeatsThirtyTimesAndPaintsOnce) {
  RecordingView view;
  Make(&view);
  int visible = view.GetVisibleSize().cy;
  view.Clear();
  s_notes.clear();
  SendMessageA(view.m_hWnd, WM_KEYDOWN, VK_DOWN, 50);
  EXPECT_EQ(view.log.size(), 30u);
  EXPECT_EQ(view.GetCursorPos().y, 30);
  EXPECT_EQ(view.painted.size(), (size_t)visible) << "one paint at the end";
  EXPECT_EQ(s_notes.size(), 1u) << "one notification";
  EXPECT_EQ(view.GetScrollBar(1)->GetScrollPos(), view.GetScrollPos().y);
}

TEST_F(ViewTest, HorizontalRangeWithAndWithoutStyleFlag4) {
  RecordingView view("Rec", 300, 10);
  Make(&view);
  int columns = view.GetVisibleSize().cx;
  SCROLLINFO si = {sizeof si, SIF_ALL};
  GetScrollInfo(view.GetScrollBar(0)->m_hWnd, SB_CTL, &si);
  EXPECT_EQ(si.nMax, 300 + columns / 2 - 1);
  EXPECT_EQ((int)si.nPage, columns);
  view.SetStyleFlags(kAnsiHRangeExact, kAnsiHRangeExact);
  GetScrollInfo(view.GetScrollBar(0)->m_hWnd, SB_CTL, &si);
  EXPECT_EQ(si.nMax, 300);
  view.SetStyleFlags(kAnsiNoHBar, kAnsiNoHBar);
  EXPECT_FALSE(IsWindowVisible(view.GetScrollBar(0)->m_hWnd));
}

TEST_F(ViewTest, MarginWidthLimits) {
  RecordingView a, b;  // one style: the margin goes to both
  Make(&a);
  EXPECT_EQ(a.SetMarginWidth(30), 1);
  EXPECT_EQ(a.GetMarginWidth(), 30);
  EXPECT_EQ(b.GetMarginWidth(), 30);
  EXPECT_EQ(a.SetMarginWidth(30), 0) << "unchanged";
  EXPECT_EQ(a.SetMarginWidth(2001), 1);
  EXPECT_EQ(a.GetMarginWidth(), 0);
  EXPECT_EQ(a.SetMarginWidth(-1), 0) << "already 0";
  EXPECT_EQ(a.SetMarginWidth(2000), 1);
  EXPECT_EQ(a.GetMarginWidth(), 2000);
}

TEST_F(ViewTest, BasePrintLineMarginCornerAndCaret) {
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  int element = COLOR_BTNFACE;
  COLORREF pinned = RGB(0x80, 0x88, 0x90);
  SetSysColors(1, &element, &pinned);
  RecordingView view("Base", 200, 0);
  view.derivedLines = false;
  view.SetTextSize(200, 40);
  Make(&view, 300, 200);
  view.SetMarginWidth(20);
  view.SetScrollPos(4, 0);
  view.SetCursorPos(6, 2, FALSE);
  PumpMessages(20);
  WindowCapture cap(view.m_hWnd);
  cap.SavePng(ScreensPath("view_base.png").c_str());
  int cw = view.GetCellWidth(), ch = view.GetCellHeight();
  EXPECT_EQ(cap.Pixel(5, 5), RGB(0xC0, 0xC0, 0xC0)) << "margin";
  // "CAnsiView::PrintLine() ..." from column 4: "iew::..." - some ink on line 0.
  RECT line0 = {20, 0, 20 + 10 * cw, ch};
  EXPECT_LT(cap.Count(GetSysColor(COLOR_WINDOW), line0), 10 * cw * ch) << "text drawn";
  RECT rcBar;
  GetWindowRect(view.GetScrollBar(1)->m_hWnd, &rcBar);
  RECT rcView;
  GetWindowRect(view.m_hWnd, &rcView);
  int cornerX = rcBar.left - rcView.left + 2, cornerY = rcBar.bottom - rcView.top + 2;
  if (IsWindowVisible(view.GetScrollBar(0)->m_hWnd)) {
    COLORREF corner = pinned - ((pinned >> 3) & 0x1F1F1F);
    EXPECT_EQ(cap.Pixel(cornerX, cornerY), corner);
  }
  POINT caret = {};
  GetCaretPos(&caret);
  EXPECT_EQ(caret.x, 20 + (6 - 4) * cw);
  EXPECT_EQ(caret.y, 2 * ch);
  SetSysColors(1, &element, &face);
}

TEST_F(ViewTest, LinesPastTheTotalStayEmpty) {
  RecordingView view("Base2", 100, 0);
  view.derivedLines = false;
  view.SetTextSize(100, 3);
  Make(&view, 300, 200);
  WindowCapture cap(view.m_hWnd);
  int ch = view.GetCellHeight();
  RECT below = {0, 4 * ch, 200, 5 * ch};
  EXPECT_EQ(cap.Count(GetSysColor(COLOR_WINDOW), below), 200 * ch);
  RECT first = {0, 0, 200, ch};
  EXPECT_LT(cap.Count(GetSysColor(COLOR_WINDOW), first), 200 * ch);
}

TEST_F(ViewTest, BarsSettleWhenOneBringsTheOther) {
  // Sizes around the point where the vertical bar takes the room that
  // makes the horizontal one necessary.
  for (int width : {200, 260, 300, 333}) {
    RecordingView view("Settle", 0, 0);
    int bar = GetSystemMetrics(SM_CXVSCROLL);
    Make(&view, width, 150);
    int cw = view.GetCellWidth();
    view.SetTextSize((width - bar / 2) / cw, 40);
    bool h = IsWindowVisible(view.GetScrollBar(0)->m_hWnd), v = IsWindowVisible(view.GetScrollBar(1)->m_hWnd);
    EXPECT_TRUE(v);
    EXPECT_EQ(view.m_textWidth, width - (v ? bar : 0));
    EXPECT_EQ(view.m_textHeight, 150 - (h ? GetSystemMetrics(SM_CYHSCROLL) : 0));
    EXPECT_EQ(view.GetVisibleSize().cx, (view.m_textWidth + cw - 1) / cw);
    SCROLLINFO si = {sizeof si, SIF_ALL};
    GetScrollInfo(view.GetScrollBar(0)->m_hWnd, SB_CTL, &si);
    EXPECT_EQ(h, si.nMax > (int)si.nPage) << width;
    view.DestroyWindow();
    DestroyWindow(m_parent);
    m_parent = nullptr;
    m_view = nullptr;
  }
}

TEST_F(ViewTest, RepaintWordCombiningAndOverflow) {
  RecordingView view;
  Make(&view);
  struct Probe : RecordingView {
    using CAnsiView::MarkFrom;
    using CAnsiView::MarkLine;
    using CAnsiView::MarkRange;
  };
  Probe* p = static_cast<Probe*>(&view);
  view.m_repaint = 0;
  p->MarkFrom(9);
  p->MarkFrom(4);
  EXPECT_EQ(view.m_repaint, kRepaintFrom | 4) << "the smaller line";
  p->MarkLine(3);
  EXPECT_EQ(view.m_repaint, kRepaintAll);
  view.m_repaint = 0;
  p->MarkLine(7);
  EXPECT_EQ(view.m_repaint, kRepaintLine | 7);
  view.m_repaint = 0;
  p->MarkRange(0x20000, 2);
  EXPECT_EQ(view.m_repaint, kRepaintAll) << "a line past 17 bits";
  view.m_repaint = 0;
  p->MarkRange(5, 32);
  EXPECT_EQ(view.m_repaint, kRepaintAll) << "a count past 5 bits";
  view.m_repaint = 0;
  p->MarkFrom(0x400000);
  EXPECT_EQ(view.m_repaint, kRepaintAll) << "a line past 22 bits";
  view.m_repaint = 0;
}

TEST_F(ViewTest, PrivateCommandMessage) {
  RecordingView view;
  Make(&view);
  HWND h = view.m_hWnd;
  EXPECT_EQ(SendMessageA(h, WM_ANSIVIEW_COMMAND, 0, MAKELPARAM(3, 5)), 0) << "old cursor 0,0";
  EXPECT_EQ(SendMessageA(h, WM_ANSIVIEW_COMMAND, 1, 0), MAKELPARAM(3, 5));
  EXPECT_EQ(SendMessageA(h, WM_ANSIVIEW_COMMAND, 5, 0), MAKELPARAM(3, 5));
  s_notes.clear();
  SendMessageA(h, WM_ANSIVIEW_COMMAND, 2, MAKELPARAM(2, 40));
  EXPECT_EQ(SendMessageA(h, WM_ANSIVIEW_COMMAND, 3, 0), MAKELPARAM(2, 40));
  EXPECT_TRUE(s_notes.empty()) << "SetScrollPos sends no notification";
  SendMessageA(h, WM_ANSIVIEW_COMMAND, 4, MAKELPARAM(1, 41));
  EXPECT_EQ(view.log.back(), "move 1,41,2");
  EXPECT_EQ(SendMessageA(h, WM_ANSIVIEW_COMMAND, 9, 0), 0);
}

TEST_F(ViewTest, FocusNotificationsAndCaretOnlyWithFocus) {
  RecordingView view;
  Make(&view);
  HWND other = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_parent, nullptr, nullptr, nullptr);
  s_notes.clear();
  ::SetFocus(other);
  ::SetFocus(view.m_hWnd);
  EXPECT_EQ(s_notes, std::vector<std::string>({"10230 0,0", "10229 0,0"}));
  view.SetCursorPos(3, 1, FALSE);
  POINT caret;
  GetCaretPos(&caret);
  EXPECT_EQ(caret.x, 3 * view.GetCellWidth());
  ::SetFocus(other);
  view.SetCaretMode(kCaretShown | kCaretThin);  // without the focus: no caret made for the edit's thread
  GetCaretPos(&caret);
  EXPECT_EQ(view.m_bars[0].m_hWnd != nullptr, true);
  DestroyWindow(other);
}
