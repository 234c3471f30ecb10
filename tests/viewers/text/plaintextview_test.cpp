// Texts in the test view: line ends, tabs, every byte in one cell, large
// texts, selection and copying.
#include <atomic>
#include <string>
#include <thread>

#include "plaintextview.h"
#include "ui/autoscroll.h"
#include "ui/clipboard.h"
#include "view_fixture.h"

TEST_F(ViewTest, LineEndsTabsAndBytes) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\nb", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\n", {"a"}},
      {"\n\n", {"", ""}},
      {"", {""}},
      {"a\tb", {"a       b"}},
      {"12345678\tx", {"12345678        x"}},
      {std::string("\x80\0\xFF", 3), {std::string("\x80\0\xFF", 3)}},
  };
  CPlainTextView view;
  Make(&view);
  for (const Case& c : cases) {
    view.SetText(c.text.data(), c.text.size());
    ASSERT_EQ(view.GetTotalLines(), (int)c.lines.size()) << c.text;
    for (size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(view.LineCells((int)i), c.lines[i]) << c.text;
  }
  static const char bytes[] = "\x80\0\xFF|";
  view.SetText(bytes, 4);
  EXPECT_EQ(view.GetTotalColumns(), 5) << "each byte one cell";
  PumpMessages(20);
  WindowCapture cap(view.m_hWnd);
  int cw = view.GetCellWidth(), ch = view.GetCellHeight();
  RECT fourth = {3 * cw, 0, 4 * cw, ch};  // "|" in the fourth cell
  EXPECT_LT(cap.Count(GetSysColor(COLOR_WINDOW), fourth), cw * ch);
}

TEST_F(ViewTest, SelectionByShiftKeysAndMouseAndCopyAsTextAndUnicode) {
  static const char text[] = "\x80uro und mehr\nzweite Zeile\n";
  CPlainTextView view;
  Make(&view);
  view.SetText(text, sizeof text - 1);
  WithModifiers(true, false, [&] {
    for (int i = 0; i < 4; ++i) Key(VK_RIGHT);
  });
  EXPECT_EQ(view.SelectedText(), "\x80uro");
  WithModifiers(false, true, [&] { Key('C'); });
  OpenClipboard(nullptr);
  HANDLE a = GetClipboardData(CF_TEXT);
  EXPECT_STREQ(a ? (const char*)GlobalLock(a) : "", "\x80uro");
  if (a) GlobalUnlock(a);
  HANDLE w = GetClipboardData(CF_UNICODETEXT);
  EXPECT_EQ(std::wstring(w ? (const wchar_t*)GlobalLock(w) : L""), L"\u20ACuro");
  if (w) GlobalUnlock(w);
  CloseClipboard();

  int cw = view.GetCellWidth(), ch = view.GetCellHeight();
  SendMessageA(view.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(9 * cw, 2));
  SendMessageA(view.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6 * cw, ch + 2));
  SendMessageA(view.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(6 * cw, ch + 2));
  EXPECT_EQ(view.SelectedText(), "mehr\nzweite");
  WindowCapture cap(view.m_hWnd);
  cap.SavePng(ScreensPath("view_standard.png").c_str());
  EXPECT_EQ(cap.Pixel(10 * cw, ch / 2), GetSysColor(COLOR_HIGHLIGHT)) << "the selection is drawn";
}

TEST_F(ViewTest, HundredThousandLinesToTheEndByKeyThumbAndAutoScroll) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "Zeile " + std::to_string(i) + "\n";
  CPlainTextView view;
  Make(&view);
  view.SetText(text.data(), text.size());
  EXPECT_FALSE(view.IndexComplete()) << "indexed lazily";
  WithModifiers(false, true, [&] { Key(VK_END); });
  EXPECT_EQ(view.GetTotalLines(), 100000);
  EXPECT_EQ(view.GetCursorPos().y, 100000);
  EXPECT_GE(view.GetScrollPos().y + view.GetVisibleSize().cy, 100000);
  EXPECT_EQ(view.GetScrollBar(1)->GetScrollPos(), view.GetScrollPos().y);

  // A posted thumb position carries 16 bits: completed from the current one.
  view.SetScrollPos(0, 69000);
  SendMessageA(view.m_hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 70000 & 0xFFFF), 0);
  EXPECT_EQ(view.GetScrollPos().y, 70000);

  // The thumb dragged for real.
  HWND bar = view.GetScrollBar(1)->m_hWnd;
  RECT rc;
  GetWindowRect(bar, &rc);
  SCROLLBARINFO sbi = {sizeof sbi};
  GetScrollBarInfo(bar, OBJID_CLIENT, &sbi);
  int thumbY = rc.top + (sbi.xyThumbTop + sbi.xyThumbBottom) / 2;
  int x = (rc.left + rc.right) / 2;
  view.SetScrollPos(0, 0);
  GetScrollBarInfo(bar, OBJID_CLIENT, &sbi);
  thumbY = rc.top + (sbi.xyThumbTop + sbi.xyThumbBottom) / 2;
  SetCursorPos(x, thumbY);
  // The bar tracks the drag in a loop of its own: the mouse moves from a
  // second thread while this one pumps.
  std::atomic<bool> done(false);
  std::thread drag([&] {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in, sizeof in);
    Sleep(100);
    for (int y = thumbY; y < rc.bottom + 40; y += 20) {
      SetCursorPos(x, y);
      Sleep(30);
    }
    Sleep(100);
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    Sleep(100);
    done = true;
  });
  while (!done) PumpMessages(10);
  drag.join();
  PumpMessages(50);
  EXPECT_GE(view.GetScrollPos().y + view.GetVisibleSize().cy, 100000) << "the thumb reaches the last line";

  // Middle-button auto-scroll downwards from the top.
  view.SetScrollPos(0, 0);
  POINT origin = {100, 100};
  ClientToScreen(view.m_hWnd, &origin);
  SetCursorPos(origin.x, origin.y);
  HWND hwnd = view.m_hWnd;
  std::thread driver([&] {
    Sleep(100);
    SetCursorPos(origin.x, origin.y + 120);
    PostMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(100, 220));
    Sleep(700);
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 220));
  });
  SendMessageA(hwnd, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(100, 100));
  driver.join();
  PumpMessages(50);
  EXPECT_GT(view.GetScrollPos().y, 0) << "auto-scroll moved the text down";
  SetCursorPos(0, 0);
}

TEST_F(ViewTest, HundredThousandCharacterLine) {
  std::string text(100000, 'x');
  text[99999] = 'E';
  CPlainTextView view;
  Make(&view);
  view.SetText(text.data(), text.size());
  EXPECT_EQ(view.GetTotalColumns(), 100001);
  Key(VK_END);
  EXPECT_EQ(view.GetCursorPos().x, 100000);
  EXPECT_GE(view.GetScrollPos().x + view.GetVisibleSize().cx, 100000);
  view.SetScrollPos(69000, 0);
  SendMessageA(view.m_hWnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 70000 & 0xFFFF), 0);
  EXPECT_EQ(view.GetScrollPos().x, 70000) << "the horizontal bar past 65,535 alike";
}
