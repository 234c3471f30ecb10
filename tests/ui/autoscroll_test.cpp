// Auto-scroll driven from a second thread: it moves the cursor, posts the
// mouse messages and ends the run, while the window records the scroll
// messages it gets.
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <thread>
#include <vector>

#include "harness/window_util.h"
#include "ui/autoscroll.h"

namespace {
const UINT kProbe = WM_APP + 1;      // records cursor and origin mark
const UINT kMoveFocus = WM_APP + 2;  // gives the focus to another window
const UINT kShot = WM_APP + 3;       // captures the window, counts the mark's pixels

struct ScrollMsg {
  UINT msg;
  int code, pos;
  DWORD time;
};
struct Probe {
  HCURSOR cursor;
  bool mark;
};
std::vector<ScrollMsg>* g_scrolls = nullptr;
std::vector<Probe>* g_probes = nullptr;
HWND g_other = nullptr;
int g_markLight = 0, g_markDark = 0, g_markSize = 0;

// The origin mark's picture saved and its greys counted: the light disc and
// the near-black arrows.
void Shoot(HWND hwnd) {
  WindowCapture cap(GetDlgItem(hwnd, kAutoScrollMarkId));
  cap.SavePng(ScreenshotPath("autoscroll_origin.png").c_str());
  RECT all = {0, 0, 32, 32};
  g_markLight = cap.Count(RGB(239, 239, 239), all);  // grey 14 at 8 bits a channel
  g_markDark = cap.Count(RGB(31, 31, 31), all);      // grey 1
  g_markSize = cap.Width() * 100 + cap.Height();
}

LRESULT CALLBACK ScrolledProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (g_scrolls) g_scrolls->push_back({msg, LOWORD(wp), HIWORD(wp), GetTickCount()});
      if (LOWORD(wp) == SB_THUMBTRACK || LOWORD(wp) == SB_THUMBPOSITION)
        SetScrollPos(hwnd, msg == WM_HSCROLL ? SB_HORZ : SB_VERT, HIWORD(wp), FALSE);
      return 0;
    case kProbe:
      if (g_probes) g_probes->push_back({GetCursor(), GetDlgItem(hwnd, kAutoScrollMarkId) != nullptr});

      return 0;
    case kMoveFocus:
      SetFocus(g_other);
      return 0;
    case kShot:
      Shoot(hwnd);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

int ThreadCount() {
  int n = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 te = {};
  te.dwSize = sizeof te;
  for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
    n += te.th32OwnerProcessID == GetCurrentProcessId();
  CloseHandle(snap);
  return n;
}

// One step of the driving thread, after a pause.
struct Step {
  DWORD wait;
  enum Kind { kMove, kProbe, kEscape, kClick, kFocus, kQuit, kShot } kind;
  int dx, dy;
};

class AutoScroll : public ::testing::Test {
 protected:
  void SetUp() override {
    static ATOM s_class = 0;
    if (!s_class) {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = ScrolledProc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
      wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
      wc.lpszClassName = "OstrovaAutoScroll";
      s_class = RegisterClassA(&wc);
    }
    m_hwnd = CreateWindowExA(0, "OstrovaAutoScroll", "", WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL | WS_VISIBLE,
                             100, 100, 400, 300, nullptr, nullptr, nullptr, nullptr);
    g_other =
        CreateWindowExA(0, "EDIT", "", WS_POPUP | WS_VISIBLE, 600, 100, 80, 20, nullptr, nullptr, nullptr, nullptr);
    SCROLLINFO si = {sizeof si, SIF_ALL, 0, 1000, 100, 500, 0};
    SetScrollInfo(m_hwnd, SB_HORZ, &si, FALSE);
    SetScrollInfo(m_hwnd, SB_VERT, &si, FALSE);
    SetForegroundWindow(m_hwnd);
    SetFocus(m_hwnd);
    g_scrolls = &m_scrolls;
    g_probes = &m_probes;
    m_origin = {200, 150};
    ClientToScreen(m_hwnd, &m_origin);
    SetCursorPos(m_origin.x, m_origin.y);
    PumpMessages(30);
  }
  void TearDown() override {
    g_scrolls = nullptr;
    g_probes = nullptr;
    DestroyWindow(m_hwnd);
    DestroyWindow(g_other);
  }
  // Runs from the client point (200, 150) while the steps play; the scroll
  // messages posted at the end are handled too.
  int Run(int axes, std::vector<Step> steps) {
    m_scrolls.clear();
    m_probes.clear();
    DWORD uiThread = GetCurrentThreadId();
    std::thread driver([&] {
      for (const Step& s : steps) {
        Sleep(s.wait);
        switch (s.kind) {
          case Step::kMove:
            SetCursorPos(m_origin.x + s.dx, m_origin.y + s.dy);
            PostMessageA(m_hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(200 + s.dx, 150 + s.dy));
            break;
          case Step::kProbe:
            PostMessageA(m_hwnd, kProbe, 0, 0);
            break;
          case Step::kEscape:
            PostMessageA(m_hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
            break;
          case Step::kClick:
            PostMessageA(m_hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 150));
            break;
          case Step::kFocus:
            PostMessageA(m_hwnd, kMoveFocus, 0, 0);
            break;
          case Step::kQuit:
            PostThreadMessageA(uiThread, WM_QUIT, 7, 0);
            break;
          case Step::kShot:
            PostMessageA(m_hwnd, kShot, 0, 0);
            break;
        }
      }
    });
    int result = StartAutoScroll(CWnd::FromHandle(m_hwnd), 200, 150, axes);

    driver.join();
    // The scroll messages posted at the end. Wine hands out a pending
    // WM_QUIT whatever the filter: its code is kept.
    m_quitCode = -1;
    MSG msg;
    while (PeekMessageA(&msg, m_hwnd, WM_HSCROLL, WM_VSCROLL, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        m_quitCode = (int)msg.wParam;
      } else {
        DispatchMessageA(&msg);
      }
    }
    return result;
  }
  std::vector<ScrollMsg> Tracks(UINT msg) {
    std::vector<ScrollMsg> out;
    for (const ScrollMsg& m : m_scrolls)
      if (m.msg == msg && m.code == SB_THUMBTRACK) out.push_back(m);
    return out;
  }
  // The run ended with SB_THUMBPOSITION on both bars, at their positions.
  void ExpectThumbPositions() {
    ASSERT_GE(m_scrolls.size(), 2u);
    const ScrollMsg& h = m_scrolls[m_scrolls.size() - 2];
    const ScrollMsg& v = m_scrolls.back();
    EXPECT_EQ(h.msg, (UINT)WM_HSCROLL);
    EXPECT_EQ(h.code, SB_THUMBPOSITION);
    EXPECT_EQ(h.pos, GetScrollPos(m_hwnd, SB_HORZ));
    EXPECT_EQ(v.msg, (UINT)WM_VSCROLL);
    EXPECT_EQ(v.code, SB_THUMBPOSITION);
    EXPECT_EQ(v.pos, GetScrollPos(m_hwnd, SB_VERT));
  }
  void ExpectEndedClean() {
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetDlgItem(m_hwnd, kAutoScrollMarkId), nullptr);
  }

  HWND m_hwnd = nullptr;
  POINT m_origin = {};
  std::vector<ScrollMsg> m_scrolls;
  std::vector<Probe> m_probes;
  int m_quitCode = -1;
};
}  // namespace

TEST(AutoScrollRules, DirectionsAndSpeeds) {
  struct Case {
    int dx, dy, axes, direction, speed;
  } cases[] = {
      {19, 0, 3, 0, 1},      {20, 0, 3, 3, 1},     {40, 0, 3, 3, 2},     {0, 40, 3, 1, 2},   {0, -40, 3, 2, 3},
      {-40, 0, 3, 6, 3},     {40, 40, 3, 4, 4},    {40, -40, 3, 5, 5},   {-40, 40, 3, 7, 5}, {-40, -40, 3, 8, 6},
      {-100, 100, 3, 7, 13}, {-100, 100, 1, 6, 7}, {-100, 100, 2, 1, 6}, {0, 40, 1, 0, 0},   {40, 0, 2, 0, 0},
      {14, 14, 3, 0, 0},     {40, 15, 3, 3, 2},    {40, 17, 3, 4, 3},    {20, 40, 3, 4, 3},  {9, 40, 3, 1, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AutoScrollDirection(c.dx, c.dy, c.axes), c.direction) << c.dx << "," << c.dy << " axes " << c.axes;
    EXPECT_EQ(AutoScrollSpeed(c.dx, c.dy, c.axes), c.speed) << c.dx << "," << c.dy << " axes " << c.axes;
  }
}

TEST_F(AutoScroll, RefusesBadArguments) {
  EXPECT_EQ(StartAutoScroll(nullptr, 0, 0, 3), 0);
  EXPECT_EQ(StartAutoScroll(CWnd::FromHandle(m_hwnd), 10, 10, 0), 0);
  EXPECT_EQ(StartAutoScroll(CWnd::FromHandle(m_hwnd), 10, 10, 4), 0);
  HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  CWnd stale;
  stale.m_hWnd = gone;
  EXPECT_EQ(StartAutoScroll(&stale, 10, 10, 3), 0);
  stale.m_hWnd = nullptr;
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(AutoScroll, FortyPixelsRightScrollsInStepsOfTwo) {
  int threads = ThreadCount();
  EXPECT_EQ(Run(kAutoScrollBoth, {{50, Step::kMove, 40, 0}, {1100, Step::kClick}}), 1);
  std::vector<ScrollMsg> h = Tracks(WM_HSCROLL);
  EXPECT_TRUE(Tracks(WM_VSCROLL).empty());
  ASSERT_GE(h.size(), 4u);
  ASSERT_LE(h.size(), 7u);
  for (size_t i = 0; i < h.size(); ++i) {
    EXPECT_EQ(h[i].pos, 502 + 2 * (int)i);
    if (i) {
      EXPECT_GE(h[i].time - h[i - 1].time, 150u);
      EXPECT_LE(h[i].time - h[i - 1].time, 300u);
    }
  }
  ExpectThumbPositions();
  EXPECT_EQ(GetScrollPos(m_hwnd, SB_HORZ), h.back().pos);
  ExpectEndedClean();
  EXPECT_EQ(ThreadCount(), threads);
}

TEST_F(AutoScroll, DeadZoneAndCursors) {
  EXPECT_EQ(Run(kAutoScrollBoth, {{50, Step::kProbe},
                                  {0, Step::kMove, 19, 0},
                                  {600, Step::kProbe},
                                  {0, Step::kMove, 20, 0},
                                  {100, Step::kProbe},
                                  {0, Step::kMove, 0, 0},
                                  {100, Step::kProbe},
                                  {0, Step::kShot},
                                  {0, Step::kEscape}}),
            1);
  ASSERT_EQ(m_probes.size(), 4u);
  for (const Probe& p : m_probes) EXPECT_TRUE(p.mark);
  EXPECT_NE(m_probes[0].cursor, nullptr);
  EXPECT_NE(m_probes[0].cursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(m_probes[1].cursor, m_probes[0].cursor);  // 19 pixels: still the origin
  EXPECT_NE(m_probes[2].cursor, m_probes[0].cursor);
  EXPECT_EQ(m_probes[3].cursor, m_probes[0].cursor);
  // Only the 20-pixel move scrolled, by 1, for at most the 200 ms it lasted.
  std::vector<ScrollMsg> h = Tracks(WM_HSCROLL);
  EXPECT_LE(h.size(), 2u);
  for (const ScrollMsg& m : h) EXPECT_LE(m.pos, 502);
  EXPECT_TRUE(Tracks(WM_VSCROLL).empty());
  // The origin mark: a light disc with a dark rim and arrows, masked round it.
  EXPECT_EQ(g_markSize, 3232);
  EXPECT_GT(g_markLight, 300);
  EXPECT_GT(g_markDark, 50);
  ExpectThumbPositions();
  ExpectEndedClean();
}

TEST_F(AutoScroll, HorizontalOnlyIgnoresDown) {
  EXPECT_EQ(Run(kAutoScrollHorizontal,
                {{50, Step::kProbe}, {0, Step::kMove, 0, 40}, {600, Step::kProbe}, {0, Step::kEscape}}),
            1);
  ASSERT_EQ(m_probes.size(), 2u);
  EXPECT_EQ(m_probes[1].cursor, m_probes[0].cursor);
  EXPECT_TRUE(Tracks(WM_HSCROLL).empty());
  EXPECT_TRUE(Tracks(WM_VSCROLL).empty());
  ExpectThumbPositions();
}

TEST_F(AutoScroll, DownLeftAtSpeedThirteen) {
  EXPECT_EQ(Run(kAutoScrollBoth, {{50, Step::kMove, -100, 100}, {500, Step::kClick}}), 1);
  std::vector<ScrollMsg> h = Tracks(WM_HSCROLL), v = Tracks(WM_VSCROLL);
  ASSERT_FALSE(h.empty());
  ASSERT_FALSE(v.empty());
  EXPECT_EQ(h[0].pos, 500 - 13);
  EXPECT_EQ(v[0].pos, 500 + 13);
  ExpectThumbPositions();
}

TEST_F(AutoScroll, ThumbPositionsStayInTheRange) {
  SetScrollPos(m_hwnd, SB_VERT, 3, FALSE);
  SetScrollPos(m_hwnd, SB_HORZ, 898, FALSE);
  EXPECT_EQ(Run(kAutoScrollBoth, {{50, Step::kMove, 100, -100}, {700, Step::kClick}}), 1);
  std::vector<ScrollMsg> h = Tracks(WM_HSCROLL), v = Tracks(WM_VSCROLL);
  ASSERT_GE(v.size(), 2u);
  for (const ScrollMsg& m : v) EXPECT_EQ(m.pos, 0);
  for (const ScrollMsg& m : h) EXPECT_EQ(m.pos, 901);  // 1000 - page 100 + 1
  ExpectThumbPositions();
}

TEST_F(AutoScroll, EndsOnFocusLossAndQuitAndRunsAgain) {
  int threads = ThreadCount();
  EXPECT_EQ(Run(kAutoScrollVertical, {{50, Step::kMove, 0, 40}, {300, Step::kFocus}}), 1);
  EXPECT_FALSE(Tracks(WM_VSCROLL).empty());
  ExpectEndedClean();
  ExpectThumbPositions();

  // A second run straight after waits for its own worker again.
  SetFocus(m_hwnd);
  EXPECT_EQ(Run(kAutoScrollVertical, {{50, Step::kMove, 0, -40}, {500, Step::kQuit}}), 1);
  std::vector<ScrollMsg> v = Tracks(WM_VSCROLL);
  ASSERT_FALSE(v.empty());
  EXPECT_LT(v.back().pos, v.front().pos);
  ExpectEndedClean();
  // The quit stays queued for the application's loop.
  EXPECT_EQ(m_quitCode, 7);
  EXPECT_EQ(ThreadCount(), threads);
}
