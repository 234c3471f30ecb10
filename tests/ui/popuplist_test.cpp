// The pop-up list: strings posted from another thread, the size grip, the
// wheel, clicks reaching the owner, and the frame cut to its monitor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "harness/window_util.h"
#include "ui/popuplist.h"

namespace {
const int kId = 0x4711;

std::vector<std::pair<WPARAM, LPARAM>>* g_commands = nullptr;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND && g_commands) g_commands->push_back({wp, lp});
  return DefWindowProcA(hwnd, msg, wp, lp);
}

char* HeapCopy(const char* text) {
  char* p = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, std::strlen(text) + 1));
  std::strcpy(p, text);
  return p;
}

// True when a block still holds the text at p: not freed, or freed and
// reused for something else is fine.
bool StillHeld(const char* p, const std::string& text) {
  bool held = false;
  HANDLE heap = GetProcessHeap();
  HeapLock(heap);
  PROCESS_HEAP_ENTRY entry = {};
  while (HeapWalk(heap, &entry)) {
    if (entry.lpData == p && (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)) {
      held = std::strncmp(p, text.c_str(), text.size() + 1) == 0;
      break;
    }
  }
  HeapUnlock(heap);
  return held;
}

// The wheel's wParam: the signed delta in the high word.
WPARAM Wheel(int delta) { return (WPARAM)((DWORD)(WORD)(short)delta << 16); }

std::string ItemText(HWND frame, int i) {
  char text[256] = "";
  SendMessageA(frame, LB_GETTEXT, i, (LPARAM)text);
  return text;
}

class PopupList : public ::testing::Test {
 protected:
  void SetUp() override {
    static ATOM s_class = 0;
    if (!s_class) {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = OwnerProc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
      wc.lpszClassName = "OstrovaPopupOwner";
      s_class = RegisterClassA(&wc);
    }
    m_owner = CreateWindowExA(0, "OstrovaPopupOwner", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 500, 400, nullptr,
                              nullptr, nullptr, nullptr);
    g_commands = &m_commands;
    RECT rc = {200, 200, 400, 360};
    m_frame = CreatePopupList(0, WS_BORDER, &rc, m_owner, kId);
    ASSERT_NE(m_frame, nullptr);
    m_list = GetDlgItem(m_frame, kPopupListBoxId);
    m_bar = GetDlgItem(m_frame, kPopupListScrollBarId);
    m_s = GetSystemMetrics(SM_CXVSCROLL);
  }
  void TearDown() override {
    g_commands = nullptr;
    if (IsWindow(m_frame)) DestroyWindow(m_frame);
    DestroyWindow(m_owner);
  }
  void Show() {
    ShowWindow(m_frame, SW_SHOWNOACTIVATE);
    PumpMessages(30);
  }
  void Fill(int n) {
    for (int i = 0; i < n; ++i) {
      char text[32];
      std::snprintf(text, sizeof text, "Zeile %03d", i);
      SendMessageA(m_frame, LB_ADDSTRING, 0, (LPARAM)text);
    }
  }
  SIZE ClientSize(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return {rc.right, rc.bottom};
  }
  SCROLLINFO BarInfo() {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(m_bar, SB_CTL, &si);
    return si;
  }
  int Top() { return (int)SendMessageA(m_frame, LB_GETTOPINDEX, 0, 0); }
  // The cursor moved to a window's client point and the real moves this
  // causes handled: they carry no button, and would end a drag.
  void Park(HWND hwnd, int x, int y) {
    POINT pt = {x, y};
    ClientToScreen(hwnd, &pt);
    SetCursorPos(pt.x, pt.y);
    PumpMessages(30);
  }
  void Post(HWND hwnd, UINT msg, WPARAM keys, int x, int y) { PostMessageA(hwnd, msg, keys, MAKELPARAM(x, y)); }

  HWND m_owner = nullptr, m_frame = nullptr, m_list = nullptr, m_bar = nullptr;
  int m_s = 0;
  std::vector<std::pair<WPARAM, LPARAM>> m_commands;
};
}  // namespace

TEST_F(PopupList, FrameAndChildren) {
  EXPECT_FALSE(IsWindowVisible(m_frame));
  char cls[32] = "";
  GetClassNameA(m_frame, cls, sizeof cls);
  EXPECT_STREQ(cls, "Static");
  DWORD style = (DWORD)GetWindowLongPtrA(m_frame, GWL_STYLE);
  EXPECT_EQ(style & (kPopupListFrameStyle | WS_BORDER), kPopupListFrameStyle | WS_BORDER);
  EXPECT_EQ(GetWindow(m_frame, GW_OWNER), m_owner);
  ASSERT_NE(m_list, nullptr);
  ASSERT_NE(m_bar, nullptr);
  EXPECT_TRUE(GetWindowLongPtrA(m_list, GWL_STYLE) & LBS_SORT);

  // The list box to the bar's left edge plus one, the bar leaving the grip.
  SIZE c = ClientSize(m_frame);
  RECT rc;
  GetWindowRect(m_list, &rc);
  MapWindowPoints(nullptr, m_frame, (POINT*)&rc, 2);
  EXPECT_EQ(rc.left, 0);
  EXPECT_EQ(rc.right, c.cx - m_s + 1);
  EXPECT_EQ(rc.bottom, c.cy);
  GetWindowRect(m_bar, &rc);
  MapWindowPoints(nullptr, m_frame, (POINT*)&rc, 2);
  EXPECT_EQ(rc.left, c.cx - m_s + 1);
  EXPECT_EQ(rc.right - rc.left, m_s);
  EXPECT_EQ(rc.bottom, c.cy - m_s + 1);

  // The size cursor is the frame's own: the STATIC class keeps its arrow,
  // and the list box its cursor.
  EXPECT_TRUE(SendMessageA(m_frame, WM_SETCURSOR, (WPARAM)m_frame, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZENWSE));
  EXPECT_FALSE(SendMessageA(m_frame, WM_SETCURSOR, (WPARAM)m_list, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(GetClassLongPtrA(m_frame, GCLP_HCURSOR), (LONG_PTR)LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(SendMessageA(m_frame, WM_ACTIVATE, WA_ACTIVE, 0), 0);
}

TEST_F(PopupList, MarkedStringsPostedByAWorkerAreSortedAndFreed) {
  const int n = 200;
  std::vector<std::string> texts;
  for (int i = 0; i < n; ++i) {
    char text[32];
    std::snprintf(text, sizeof text, "Eintrag %03d", (i * 37) % n);  // out of order
    texts.push_back(text);
  }
  std::vector<char*> copies(n);
  std::thread worker([&] {
    for (int i = 0; i < n; ++i) {
      copies[i] = HeapCopy(texts[i].c_str());
      PostMessageA(m_frame, kPopupListAddString, kPopupListStringMarker, (LPARAM)copies[i]);
    }
  });
  // Unmarked: the string stays the sender's.
  char* kept = HeapCopy("Anfang");
  PostMessageA(m_frame, kPopupListAddString, 0, (LPARAM)kept);
  worker.join();
  for (DWORD start = GetTickCount();
       SendMessageA(m_frame, LB_GETCOUNT, 0, 0) < n + 1 && GetTickCount() - start < 10000;)
    PumpMessages(10);

  ASSERT_EQ(SendMessageA(m_frame, LB_GETCOUNT, 0, 0), n + 1);
  std::vector<std::string> sorted = texts;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(ItemText(m_frame, 0), "Anfang");
  for (int i = 0; i < n; ++i) EXPECT_EQ(ItemText(m_frame, i + 1), sorted[i]) << i;
  int held = 0;
  for (int i = 0; i < n; ++i) held += StillHeld(copies[i], texts[i]);
  EXPECT_EQ(held, 0);
  EXPECT_TRUE(StillHeld(kept, "Anfang"));
  HeapFree(GetProcessHeap(), 0, kept);

  SCROLLINFO si = BarInfo();
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, n + 1);
  int itemHeight = (int)SendMessageA(m_frame, LB_GETITEMHEIGHT, 0, 0);
  EXPECT_EQ((int)si.nPage, ClientSize(m_frame).cy / std::max(itemHeight, 4));
}

TEST_F(PopupList, MarkedMessagesKeepIndexMinusOne) {
  Fill(5);
  // Insert at the end, marked and unmarked.
  EXPECT_EQ(SendMessageA(m_frame, kPopupListInsertString, PopupListMarkedIndex(-1), (LPARAM)HeapCopy("Aaa")), 5);
  EXPECT_EQ(SendMessageA(m_frame, LB_INSERTSTRING, (WPARAM)-1, (LPARAM) "Abc"), 6);
  EXPECT_EQ(SendMessageA(m_frame, LB_INSERTSTRING, PopupListMarkedIndex(1), (LPARAM)HeapCopy("Bbb")), 1);
  EXPECT_EQ(ItemText(m_frame, 1), "Bbb");
  EXPECT_EQ(ItemText(m_frame, 6), "Aaa");
  EXPECT_EQ(ItemText(m_frame, 7), "Abc");
  // Searching from -1 starts at the top.
  EXPECT_EQ(SendMessageA(m_frame, LB_FINDSTRING, (WPARAM)-1, (LPARAM) "Zeile 003"), 4);
  EXPECT_EQ(SendMessageA(m_frame, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM) "aaa"), 6);
  // -1 clears the selection, marked or not; the marked string is freed.
  SendMessageA(m_frame, LB_SETCURSEL, 2, 0);
  SendMessageA(m_frame, LB_SETCURSEL, (WPARAM)-1, 0);
  EXPECT_EQ(SendMessageA(m_frame, LB_GETCURSEL, 0, 0), LB_ERR);
  SendMessageA(m_frame, LB_SETCURSEL, 2, 0);
  char* marker = HeapCopy("weg");
  SendMessageA(m_frame, LB_SETCURSEL, PopupListMarkedIndex(-1), (LPARAM)marker);
  EXPECT_EQ(SendMessageA(m_frame, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_FALSE(StillHeld(marker, "weg"));
  // A marked delete; the bar follows the count.
  EXPECT_EQ(SendMessageA(m_frame, LB_DELETESTRING, PopupListMarkedIndex(0), (LPARAM)HeapCopy("x")), 7);
  EXPECT_EQ(BarInfo().nMax, 7);
  SendMessageA(m_frame, LB_RESETCONTENT, kPopupListStringMarker, (LPARAM)HeapCopy("x"));
  EXPECT_EQ(BarInfo().nMax, 0);
}

TEST_F(PopupList, QueuedStringsAreFreedWhenTheFrameGoes) {
  std::vector<char*> copies;
  for (int i = 0; i < 5; ++i) {
    copies.push_back(HeapCopy("noch in der Schlange"));
    ASSERT_TRUE(PostMessageA(m_frame, kPopupListAddString, kPopupListStringMarker, (LPARAM)copies.back()));
  }
  EXPECT_TRUE(PostPopupListString(m_frame, "auch"));
  DestroyWindow(m_frame);
  for (char* p : copies) EXPECT_FALSE(StillHeld(p, "noch in der Schlange"));
  EXPECT_FALSE(PostPopupListString(m_frame, "zu spät"));
}

TEST_F(PopupList, GripResizesDownToTwiceTheBarWidth) {
  Show();
  SIZE c = ClientSize(m_frame);
  RECT before;
  GetWindowRect(m_frame, &before);
  // Outside the grip nothing happens.
  Park(m_frame, c.cx - m_s - 2, c.cy - 2);
  Post(m_frame, WM_LBUTTONDOWN, MK_LBUTTON, c.cx - m_s - 2, c.cy - 2);
  Post(m_frame, WM_MOUSEMOVE, MK_LBUTTON, c.cx + 30, c.cy + 30);
  PumpMessages(30);
  EXPECT_EQ(ClientSize(m_frame).cx, c.cx);
  EXPECT_EQ(GetCapture(), nullptr);

  Park(m_frame, c.cx - 3, c.cy - 3);
  Post(m_frame, WM_LBUTTONDOWN, MK_LBUTTON, c.cx - 3, c.cy - 3);
  Post(m_frame, WM_MOUSEMOVE, MK_LBUTTON, c.cx + 47, c.cy + 17);
  PumpMessages(30);
  EXPECT_EQ(GetCapture(), m_frame);
  EXPECT_EQ(ClientSize(m_frame).cx, c.cx + 50);
  EXPECT_EQ(ClientSize(m_frame).cy, c.cy + 20);
  RECT after;
  GetWindowRect(m_frame, &after);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  // The children follow.
  RECT rc;
  GetWindowRect(m_bar, &rc);
  EXPECT_EQ(rc.bottom - rc.top, c.cy + 20 - m_s + 1);

  Post(m_frame, WM_MOUSEMOVE, MK_LBUTTON, -300, -300);
  PumpMessages(30);
  EXPECT_EQ(ClientSize(m_frame).cx, 2 * m_s);
  EXPECT_EQ(ClientSize(m_frame).cy, 2 * m_s);
  Post(m_frame, WM_LBUTTONUP, 0, -300, -300);
  PumpMessages(30);
  EXPECT_EQ(GetCapture(), nullptr);
  Post(m_frame, WM_MOUSEMOVE, MK_LBUTTON, 200, 200);
  PumpMessages(30);
  EXPECT_EQ(ClientSize(m_frame).cx, 2 * m_s);

  // A move without the button (released elsewhere) ends the drag.
  c = ClientSize(m_frame);
  Park(m_frame, c.cx - 2, c.cy - 2);
  Post(m_frame, WM_LBUTTONDOWN, MK_LBUTTON, c.cx - 2, c.cy - 2);
  Post(m_frame, WM_MOUSEMOVE, 0, c.cx + 40, c.cy + 40);
  Post(m_frame, WM_MOUSEMOVE, MK_LBUTTON, c.cx + 80, c.cy + 80);
  PumpMessages(30);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(ClientSize(m_frame).cx, c.cx);
}

TEST_F(PopupList, ClickReachesTheOwnerAsCommand) {
  Fill(8);
  Show();
  RECT item;
  SendMessageA(m_list, LB_GETITEMRECT, 2, (LPARAM)&item);
  int x = item.left + 20, y = (item.top + item.bottom) / 2;
  // Hovering selects without a notification.
  Park(m_list, x, y);
  EXPECT_EQ(SendMessageA(m_frame, LB_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(m_commands.empty());

  SendMessageA(m_list, LB_GETITEMRECT, 4, (LPARAM)&item);
  y = (item.top + item.bottom) / 2;
  Park(m_list, x, y);
  Post(m_list, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
  Post(m_list, WM_LBUTTONUP, 0, x, y);
  PumpMessages(50);
  EXPECT_EQ(SendMessageA(m_frame, LB_GETCURSEL, 0, 0), 4);
  ASSERT_FALSE(m_commands.empty());
  bool selChange = false;
  for (auto& c : m_commands) {
    EXPECT_EQ(LOWORD(c.first), kId);
    EXPECT_EQ(c.second, (LPARAM)m_list);
    if (HIWORD(c.first) == LBN_SELCHANGE) selChange = true;
  }
  EXPECT_TRUE(selChange);
}

TEST_F(PopupList, WheelNotchAndScrollBarMoveTheList) {
  Fill(60);
  Show();
  int page = (int)BarInfo().nPage;
  ASSERT_GT(page, 2);
  struct Step {
    UINT msg;
    WPARAM wp;
    int top;
  } steps[] = {
      {WM_MOUSEWHEEL, Wheel(-WHEEL_DELTA), 1},
      {WM_MOUSEWHEEL, Wheel(-2 * WHEEL_DELTA), 3},
      {WM_MOUSEWHEEL, Wheel(-WHEEL_DELTA / 2), 3},  // less than a notch
      {WM_MOUSEWHEEL, Wheel(WHEEL_DELTA), 2},
      {WM_MOUSEWHEEL, Wheel(10 * WHEEL_DELTA), 0},
      {WM_VSCROLL, SB_LINEDOWN, 1},
      {WM_VSCROLL, SB_PAGEDOWN, 1 + page},
      {WM_VSCROLL, SB_LINEUP, page},
      {WM_VSCROLL, SB_PAGEUP, 0},
      {WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 17), 17},
      {WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 9), 9},
      {WM_VSCROLL, SB_BOTTOM, 60 - page},
      {WM_VSCROLL, SB_TOP, 0},
  };
  for (const Step& step : steps) {
    // The wheel reaches the list box, which hands it to the frame.
    if (step.msg == WM_MOUSEWHEEL) {
      SendMessageA(m_list, step.msg, step.wp, 0);
    } else {
      SendMessageA(m_frame, step.msg, step.wp, (LPARAM)m_bar);
    }
    EXPECT_EQ(Top(), step.top) << step.msg << " " << std::hex << step.wp;
    EXPECT_EQ(BarInfo().nPos, step.top);
  }
  // Keys move the selection; the bar follows the list.
  SendMessageA(m_list, WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(BarInfo().nPos, Top());
  EXPECT_GT(Top(), 0);
}

TEST_F(PopupList, RectangleIsCutToTheMonitor) {
  RECT monitor;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor, 0);
  int cy = GetSystemMetrics(SM_CYSCREEN);
  struct Case {
    RECT in;
    LONG top, bottom;
  } cases[] = {
      {{100, cy - 100, 300, cy + 400}, cy - 100, cy},
      {{100, -80, 300, 120}, 0, 120},
      {{100, 50, 300, 150}, 50, 150},
  };
  for (const Case& c : cases) {
    HWND frame = CreatePopupList(0, 0, &c.in, m_owner, 1);
    ASSERT_NE(frame, nullptr);
    RECT rc;
    GetWindowRect(frame, &rc);
    EXPECT_EQ(rc.left, c.in.left);
    EXPECT_EQ(rc.right, c.in.right);
    EXPECT_EQ(rc.top, c.top);
    EXPECT_EQ(rc.bottom, c.bottom);
    DestroyWindow(frame);
  }
  HWND empty = CreatePopupList(0, 0, nullptr, m_owner, 1);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(ClientSize(empty).cx, 0);
  DestroyWindow(empty);
}

TEST_F(PopupList, PaintsTheGripAndTheList) {
  Fill(30);
  // Not on the list, which would select the row under it.
  SetCursorPos(10, 10);
  PumpMessages(50);
  SendMessageA(m_frame, LB_SETCURSEL, 1, 0);
  Show();
  WindowCapture cap(m_frame);
  cap.SavePng(ScreenshotPath("popuplist.png").c_str());
  // The grip corner is painted, not the black of SS_BLACKRECT.
  SIZE c = ClientSize(m_frame);
  RECT grip = {c.cx - m_s + 2, c.cy - m_s + 2, c.cx, c.cy};
  OffsetRect(&grip, 1, 1);  // the border
  int area = (grip.right - grip.left) * (grip.bottom - grip.top);
  EXPECT_LT(cap.Count(RGB(0, 0, 0), grip), area / 2);
  EXPECT_GT(cap.Count(GetSysColor(COLOR_BTNFACE), grip) + cap.Count(RGB(255, 255, 255), grip), 0);
  // The selected row in the highlight colour, the others on the window colour.
  RECT item;
  SendMessageA(m_list, LB_GETITEMRECT, 1, (LPARAM)&item);
  OffsetRect(&item, 1, 1);
  EXPECT_GT(cap.Count(GetSysColor(COLOR_HIGHLIGHT), item), 0);
  RECT list = {1, 1, c.cx - m_s, c.cy};
  EXPECT_GT(cap.Count(GetSysColor(COLOR_WINDOW), list), 0);
}
