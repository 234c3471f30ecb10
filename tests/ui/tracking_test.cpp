// Splitter, resize and move tracking driven by posted mouse messages.
#include <gtest/gtest.h>

#include <vector>

#include "harness/window_util.h"
#include "ui/tracking.h"

namespace {
std::vector<UINT>* g_keys = nullptr;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN && g_keys) g_keys->push_back((UINT)wp);
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// A top-most window whose screen rectangle is the tracking area.
class Tracking : public ::testing::Test {
 protected:
  void SetUp() override {
    static ATOM s_class = 0;
    if (!s_class) {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = CountingProc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
      wc.lpszClassName = "OstrovaTrackTest";
      s_class = RegisterClassA(&wc);
    }
    m_hwnd = CreateWindowExA(WS_EX_TOPMOST, "OstrovaTrackTest", "", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                             nullptr, nullptr, nullptr);
    m_area = {100, 100, 500, 400};
    g_keys = &m_keys;
    SetForegroundWindow(m_hwnd);
    Settle();
  }
  void TearDown() override {
    g_keys = nullptr;
    DestroyWindow(m_hwnd);
  }
  // The cursor parked and the real moves it caused handled.
  void Settle() {
    SetCursorPos(300, 250);
    PumpMessages(30);
  }
  // A mouse message at a screen point: the cursor is moved there first, since
  // a posted message carries the cursor position of its posting.
  void Post(UINT msg, int x, int y) {
    SetCursorPos(x, y);
    PostMessageA(m_hwnd, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x - 100, y - 100));
  }
  int Splitter(int mode, int position, int bar = 4, int line = 4, int offset = kTrackDefault) {
    return TrackSplitter(CWnd::FromHandle(m_hwnd), mode, &m_area, position, kTrackDefault, kTrackDefault, bar, line,
                         offset);
  }
  HWND m_hwnd = nullptr;
  RECT m_area;
  std::vector<UINT> m_keys;
};
}  // namespace

TEST_F(Tracking, SplitterFollowsTheMouseAndStopsAtTheEnds) {
  // A vertical bar at 100, grabbed at its middle (2 of 4).
  Post(WM_MOUSEMOVE, 100 + 100 + 2 + 40, 200);
  Post(WM_LBUTTONUP, 100 + 100 + 2 + 40, 200);
  EXPECT_EQ(Splitter(kSplitterVertical, 100), 40);

  Settle();
  Post(WM_MOUSEMOVE, 2000, 200);
  Post(WM_LBUTTONUP, 2000, 200);
  EXPECT_EQ(Splitter(kSplitterVertical, 100), 400 - 4 - 100);  // the line touches the end

  Settle();
  Post(WM_MOUSEMOVE, 0, 200);
  Post(WM_LBUTTONUP, 0, 200);
  EXPECT_EQ(Splitter(kSplitterVertical, 100), -100);

  // A horizontal bar of 7 with a line of 5: offset 1.
  Settle();
  Post(WM_MOUSEMOVE, 300, 1000);
  Post(WM_LBUTTONUP, 300, 1000);
  EXPECT_EQ(Splitter(kSplitterHorizontal, 50, 7, 5), 300 - 5 - 1 - 50);
  Settle();
  Post(WM_MOUSEMOVE, 300, 100 + 50 + 3 - 20);
  Post(WM_LBUTTONUP, 300, 100 + 50 + 3 - 20);
  EXPECT_EQ(Splitter(kSplitterHorizontal, 50, 7, 5), -20);
  // Line width 0: the bar's width and no offset.
  Settle();
  Post(WM_MOUSEMOVE, 300, 5000);
  Post(WM_LBUTTONUP, 300, 5000);
  EXPECT_EQ(Splitter(kSplitterHorizontal, 50, 7, 0), 300 - 7 - 50);

  // Released where it began.
  Settle();
  Post(WM_LBUTTONUP, 300, 200);
  EXPECT_EQ(Splitter(kSplitterVertical, 100), 0);
}

TEST_F(Tracking, SplitterCancelsOnEscapeAndTheRightButtonAndDropsOtherKeys) {
  Post(WM_MOUSEMOVE, 260, 200);
  PostMessageA(m_hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
  Post(WM_LBUTTONUP, 260, 200);
  EXPECT_EQ(Splitter(kSplitterVertical, 100), 0);
  PumpMessages();

  Settle();
  Post(WM_MOUSEMOVE, 260, 200);
  Post(WM_RBUTTONDOWN, 260, 200);
  Post(WM_LBUTTONUP, 260, 200);
  EXPECT_EQ(Splitter(kSplitterVertical, 100), 0);
  PumpMessages();

  Settle();
  m_keys.clear();
  PostMessageA(m_hwnd, WM_KEYDOWN, 'A', 0);
  Post(WM_MOUSEMOVE, 100 + 100 + 2 + 10, 200);
  Post(WM_LBUTTONUP, 100 + 100 + 2 + 10, 200);
  EXPECT_EQ(Splitter(kSplitterVertical, 100), 10);
  EXPECT_TRUE(m_keys.empty());  // not dispatched
}

TEST_F(Tracking, CrossPacksBothAxesSigned) {
  // x 100, y 50; grab at the middle of a 4-pixel bar.
  Post(WM_MOUSEMOVE, 100 + 100 + 2 - 30, 100 + 50 + 2 + 20);
  Post(WM_LBUTTONUP, 100 + 100 + 2 - 30, 100 + 50 + 2 + 20);
  int result = Splitter(kSplitterCross, MAKELONG(100, 50));
  EXPECT_EQ((short)LOWORD(result), -30);
  EXPECT_EQ((short)HIWORD(result), 20);
  // An offset given in the low 16 bits.
  Settle();
  Post(WM_MOUSEMOVE, 100 + 100 + 2 + 7, 100 + 50 + 2 - 9);
  Post(WM_LBUTTONUP, 100 + 100 + 2 + 7, 100 + 50 + 2 - 9);
  result = Splitter(kSplitterCross, MAKELONG(100, 50), 4, 2, 0x70001);
  EXPECT_EQ((short)LOWORD(result), 7);
  EXPECT_EQ((short)HIWORD(result), -9);
}

namespace {
void CALLBACK QuitTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostQuitMessage(7);
}
}  // namespace

TEST_F(Tracking, HeldCaptureAndQuitEndTheLoop) {
  HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  SetCapture(other);
  Post(WM_MOUSEMOVE, 260, 200);
  Post(WM_LBUTTONUP, 260, 200);
  EXPECT_EQ(Splitter(kSplitterVertical, 100), 0);
  EXPECT_EQ(GetCapture(), other);  // left alone
  RECT rc = {200, 200, 300, 300};
  EXPECT_EQ(TrackRect(CWnd::FromHandle(m_hwnd), &rc, 299, 299, 0, 0), 0);
  EXPECT_EQ(TrackMoveRect(CWnd::FromHandle(m_hwnd), &rc, 250, 250), CSize(0, 0));
  ReleaseCapture();
  DestroyWindow(other);
  PumpMessages();

  // A quit posted while the loop runs cancels it and is posted again.
  Settle();
  SetTimer(nullptr, 0, 30, QuitTimer);
  EXPECT_EQ(Splitter(kSplitterVertical, 100), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

namespace {
// What the screen shows at a few points of the bar.
COLORREF g_before[4], g_during[4];
POINT g_probe[4];
HWND g_track = nullptr;

void ReadScreen(COLORREF* out) {
  HDC dc = GetDC(nullptr);
  for (int i = 0; i < 4; ++i) out[i] = GetPixel(dc, g_probe[i].x, g_probe[i].y);
  ReleaseDC(nullptr, dc);
}

// Reads the bar while the loop runs, then ends the drag where it began.
void CALLBACK ProbeTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  ReadScreen(g_during);
  SetCursorPos(200, 200);
  PostMessageA(g_track, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
}
}  // namespace

TEST_F(Tracking, BarIsOnTheScreenWhileDraggingAndGoneAfter) {
  // The bar at 100 of a vertical splitter: screen x 200-203.
  for (int i = 0; i < 4; ++i) g_probe[i] = {200 + i % 2, 200 + i / 2};
  RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  ReadScreen(g_before);
  g_track = m_hwnd;
  SetTimer(nullptr, 0, 50, ProbeTimer);
  EXPECT_EQ(Splitter(kSplitterVertical, 100), 0);
  int changed = 0;
  for (int i = 0; i < 4; ++i) changed += g_during[i] != g_before[i];
  EXPECT_GE(changed, 2);  // the halftone bar inverts every other pixel
  COLORREF after[4];
  ReadScreen(after);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(after[i], g_before[i]) << i;
  EXPECT_EQ(GetCapture(), nullptr);
  // The desktop's update lock is given back: another lock succeeds.
  EXPECT_TRUE(LockWindowUpdate(GetDesktopWindow()));
  LockWindowUpdate(nullptr);
}

TEST_F(Tracking, RectKeepsItsMinimumsAndLockedAxes) {
  CWnd* pWnd = CWnd::FromHandle(m_hwnd);
  RECT rc = {200, 200, 300, 300};
  Post(WM_MOUSEMOVE, 299 - 90, 299 - 90);
  Post(WM_LBUTTONUP, 299 - 90, 299 - 90);
  EXPECT_EQ(TrackRect(pWnd, &rc, 299, 299, 30, 40), 1);
  EXPECT_EQ(CRect(rc), CRect(200, 200, 230, 240));

  Settle();
  rc = {200, 200, 300, 300};
  Post(WM_MOUSEMOVE, 200 + 50, 200 + 20);
  Post(WM_LBUTTONUP, 200 + 50, 200 + 20);
  EXPECT_EQ(TrackRect(pWnd, &rc, 200, 200, -1, 0), 1);  // the corner moves only its top
  EXPECT_EQ(CRect(rc), CRect(200, 220, 300, 300));

  Settle();
  rc = {200, 200, 300, 300};
  Post(WM_MOUSEMOVE, 250, 280);
  Post(WM_LBUTTONUP, 250, 280);
  EXPECT_EQ(TrackRect(pWnd, &rc, 200, 250, -1, 0), 0);  // the left side is locked: nothing to drag
  PumpMessages();
  EXPECT_EQ(CRect(rc), CRect(200, 200, 300, 300));
  EXPECT_EQ(TrackRect(pWnd, &rc, 250, 250, 0, 0), 0);  // the middle is no border

  Settle();
  Post(WM_MOUSEMOVE, 150, 150);
  PostMessageA(m_hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(TrackRect(pWnd, &rc, 200, 200, 0, 0), 0);
  EXPECT_EQ(CRect(rc), CRect(200, 200, 300, 300));
}

TEST_F(Tracking, MoveRectAnswersTheOffset) {
  CWnd* pWnd = CWnd::FromHandle(m_hwnd);
  RECT rc = {200, 200, 300, 300};
  Post(WM_MOUSEMOVE, 270, 240);
  Post(WM_LBUTTONUP, 270, 240);
  EXPECT_EQ(TrackMoveRect(pWnd, &rc, 250, 250), CSize(20, -10));
  EXPECT_EQ(CRect(rc), CRect(200, 200, 300, 300));
  Settle();
  Post(WM_MOUSEMOVE, 270, 240);
  Post(WM_RBUTTONDOWN, 270, 240);
  EXPECT_EQ(TrackMoveRect(pWnd, &rc, 250, 250), CSize(0, 0));
}
