// Border hit tests, drop-arrow grips and splitter bars, checked in pixels.
#include <gtest/gtest.h>

#include <functional>

#include "harness/window_util.h"
#include "ui/grips.h"

namespace {
const COLORREF kBack = RGB(0, 128, 128);

// A pop-up that paints through a function, also for WM_PRINTCLIENT.
class PaintWindow {
 public:
  explicit PaintWindow(std::function<void(HDC)> paint, int cx = 320, int cy = 200) : m_paint(std::move(paint)) {
    static ATOM s_class = 0;
    if (!s_class) {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "OstrovaGripTest";
      s_class = RegisterClassA(&wc);
    }
    m_hwnd = CreateWindowExA(0, "OstrovaGripTest", "", WS_POPUP | WS_VISIBLE, 50, 50, cx, cy, nullptr, nullptr, nullptr,
                             this);
    PumpMessages();
  }
  ~PaintWindow() { DestroyWindow(m_hwnd); }
  HWND m_hwnd;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTA*)lp)->lpCreateParams);
    auto* self = (PaintWindow*)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT || msg == WM_PRINTCLIENT) {
      PAINTSTRUCT ps;
      HDC dc = msg == WM_PAINT ? BeginPaint(hwnd, &ps) : (HDC)wp;
      RECT rc;
      GetClientRect(hwnd, &rc);
      HBRUSH back = CreateSolidBrush(kBack);
      FillRect(dc, &rc, back);
      DeleteObject(back);
      self->m_paint(dc);
      if (msg == WM_PAINT) EndPaint(hwnd, &ps);
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  std::function<void(HDC)> m_paint;
};

inline COLORREF Half(COLORREF c) { return (c >> 1) & 0x7F7F7F; }
inline COLORREF Quarter(COLORREF c) { return (c >> 2) & 0x3F3F3F; }
}  // namespace

TEST(HitTestRectBorder, CodesBandsExclusionsAndCursors) {
  const RECT square = {100, 100, 130, 130}, wide31 = {100, 100, 131, 130}, big = {100, 100, 200, 200};
  struct Case {
    const RECT* rc;
    int x, y, border;
    UINT excluded, code;
  };
  // clang-format off
  const Case cases[] = {
      // 30 x 30: 15-pixel grips, corners only.
      {&square, 100, 114, 0, 0, 5}, {&square, 100, 115, 0, 0, 9}, {&square, 129, 100, 0, 0, 6},
      {&square, 129, 129, 0, 0, 10}, {&square, 114, 114, 0, 0, 5},
      // 31 wide: the middle column is one pixel.
      {&wide31, 115, 105, 0, 0, 4}, {&wide31, 115, 125, 0, 0, 8}, {&wide31, 116, 105, 0, 0, 6},
      // Bands of 3 pixels: inside only, or across the edge.
      {&big, 102, 150, 3, 0, 1}, {&big, 98, 150, 3, 0, 0}, {&big, 102, 150, -3, 0, 1}, {&big, 98, 150, -3, 0, 1},
      {&big, 96, 150, -3, 0, 0}, {&big, 103, 150, -3, 0, 0}, {&big, 150, 150, 3, 0, 0}, {&big, 150, 198, 3, 0, 8},
      {&big, 201, 150, -3, 0, 2},
      // Border 0 classifies every point, also outside.
      {&big, 150, 150, 0, 0, 0}, {&big, 90, 90, 0, 0, 5}, {&big, 250, 150, 0, 0, 2},
      // Exclusions.
      {&big, 100, 100, 0, kBorderHorizontal, 4}, {&big, 100, 100, 0, kBorderVertical, 1},
      {&big, 150, 100, 0, kBorderVertical, 0}, {&big, 199, 199, 0, kBorderRight, 8},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ") border " << c.border);
    HCURSOR cursor = (HCURSOR)1;
    EXPECT_EQ(HitTestRectBorder(c.rc, c.x, c.y, c.border, c.excluded, &cursor), c.code);
    if (c.code == 0) {
      EXPECT_EQ(cursor, nullptr);
    }
  }
  struct CursorCase {
    int x, y;
    LPCSTR id;
  };
  const CursorCase cursors[] = {{100, 150, IDC_SIZEWE},   {199, 150, IDC_SIZEWE},   {150, 100, IDC_SIZENS},
                                {150, 199, IDC_SIZENS},   {100, 100, IDC_SIZENWSE}, {199, 199, IDC_SIZENWSE},
                                {199, 100, IDC_SIZENESW}, {100, 199, IDC_SIZENESW}};
  for (const CursorCase& c : cursors) {
    HCURSOR cursor = nullptr;
    HitTestRectBorder(&big, c.x, c.y, 0, 0, &cursor);
    EXPECT_EQ(cursor, LoadCursorA(nullptr, c.id)) << c.x << ", " << c.y;
  }
  EXPECT_EQ(HitTestRectBorder(&big, 100, 100, 0, 0, nullptr), 5u);
}

TEST(SplitterBar, SevenRowsAcrossTheLength) {
  int answer = 0;
  PaintWindow wnd([&](HDC dc) {
    answer = DrawSplitterBar(dc, 10, 200, TRUE);
    DrawSplitterBarAt(30, dc, 250, 100, FALSE);
  });
  WindowCapture cap(wnd.m_hwnd);
  EXPECT_TRUE(cap.SavePng(ScreenshotPath("splitter_bars.png").c_str()));
  EXPECT_EQ(answer, kSplitterBarWidth);
  const COLORREF rows[] = {GetSysColor(COLOR_3DLIGHT),
                           RGB(255, 255, 255),
                           GetSysColor(COLOR_BTNFACE),
                           GetSysColor(COLOR_BTNFACE),
                           GetSysColor(COLOR_BTNFACE),
                           GetSysColor(COLOR_BTNSHADOW),
                           RGB(0, 0, 0)};
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(cap.Pixel(0, 10 + i), rows[i]);
    EXPECT_EQ(cap.Pixel(199, 10 + i), rows[i]);  // length pixels
    EXPECT_EQ(cap.Pixel(200, 10 + i), kBack);
    EXPECT_EQ(cap.Pixel(250 + i, 30), rows[i]);
    EXPECT_EQ(cap.Pixel(250 + i, 129), rows[i]);
    EXPECT_EQ(cap.Pixel(250 + i, 29), kBack);
    EXPECT_EQ(cap.Pixel(250 + i, 130), kBack);
  }
  EXPECT_EQ(cap.Pixel(100, 9), kBack);
  EXPECT_EQ(cap.Pixel(100, 17), kBack);
  EXPECT_EQ(cap.Pixel(249, 80), kBack);
  EXPECT_EQ(cap.Pixel(257, 80), kBack);
}

TEST(DropArrow, GripsPointingBothWays) {
  COLORREF bkAfter = 0;
  PaintWindow wnd(
      [&](HDC dc) {
        SetBkColor(dc, RGB(1, 2, 3));
        DrawDropArrow(dc, 20, 100, 30);                                         // top at 30, left
        DrawDropArrow(dc, 40, 100, kDropArrowCentred | kDropArrowTurned | 10);  // 10 + 41, right
        DrawDropArrow2(dc, 100, 100, kDropArrowAtEnd | 60);                     // 60 + 81 lying, up
        DrawDropArrow2(dc, 120, 100, kDropArrowTurned | 100);                   // down
        bkAfter = GetBkColor(dc);
      },
      260, 160);
  WindowCapture cap(wnd.m_hwnd);
  EXPECT_TRUE(cap.SavePng(ScreenshotPath("drop_arrows.png").c_str()));
  EXPECT_EQ(bkAfter, RGB(1, 2, 3));

  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light3d = GetSysColor(COLOR_3DLIGHT);
  COLORREF dark = Half(shadow) + Quarter(shadow);
  COLORREF mid = Half(light3d) + Half(dark);
  COLORREF light = Half(dark) + 0x7F7F7F;
  COLORREF deep = Half(dark) + Half(shadow);
  // Upright, pointing left: columns of 5, 3 and 1 pixel at x + 4, 3, 2.
  int x = 20, y = 30;
  EXPECT_EQ(cap.Pixel(x + 1, y), dark);
  EXPECT_EQ(cap.Pixel(x + 5, y + 18), dark);
  EXPECT_EQ(cap.Pixel(x, y + 5), kBack);
  EXPECT_EQ(cap.Pixel(x + 6, y + 5), kBack);
  EXPECT_EQ(cap.Pixel(x + 3, y - 1), mid);
  EXPECT_EQ(cap.Pixel(x + 3, y + 19), mid);
  EXPECT_EQ(cap.Pixel(x + 1, y - 1), light);
  EXPECT_EQ(cap.Pixel(x + 1, y + 19), light);
  EXPECT_EQ(cap.Pixel(x + 5, y - 1), deep);
  EXPECT_EQ(cap.Pixel(x + 5, y + 19), deep);
  EXPECT_EQ(cap.Pixel(x + 3, y - 2), kBack);
  EXPECT_EQ(cap.Pixel(x + 3, y + 20), kBack);
  for (int dy = 7; dy < 12; ++dy) EXPECT_EQ(cap.Pixel(x + 4, y + dy), light3d) << dy;
  EXPECT_EQ(cap.Pixel(x + 4, y + 6), dark);
  EXPECT_EQ(cap.Pixel(x + 3, y + 8), light3d);
  EXPECT_EQ(cap.Pixel(x + 3, y + 7), dark);
  EXPECT_EQ(cap.Pixel(x + 2, y + 9), light3d);
  EXPECT_EQ(cap.Pixel(x + 2, y + 8), dark);
  // Centred and turned: pointing right.
  x = 40, y = 10 + 100 / 2 - 9;
  EXPECT_EQ(cap.Pixel(x + 1, y), dark);
  EXPECT_EQ(cap.Pixel(x + 1, y - 1), light);
  for (int dy = 7; dy < 12; ++dy) EXPECT_EQ(cap.Pixel(x + 2, y + dy), light3d) << dy;
  EXPECT_EQ(cap.Pixel(x + 4, y + 9), light3d);
  EXPECT_EQ(cap.Pixel(x + 4, y + 8), dark);
  // Lying at the end: x and y exchanged, pointing up.
  int lx = 60 + 100 - 19, ly = 100;
  EXPECT_EQ(cap.Pixel(lx, ly + 1), dark);
  EXPECT_EQ(cap.Pixel(lx + 18, ly + 5), dark);
  EXPECT_EQ(cap.Pixel(lx - 1, ly + 1), light);
  for (int dx = 7; dx < 12; ++dx) EXPECT_EQ(cap.Pixel(lx + dx, ly + 4), light3d) << dx;
  EXPECT_EQ(cap.Pixel(lx + 9, ly + 2), light3d);
  EXPECT_EQ(cap.Pixel(lx + 8, ly + 2), dark);
  // Lying and turned: pointing down.
  lx = 100, ly = 120;
  for (int dx = 7; dx < 12; ++dx) EXPECT_EQ(cap.Pixel(lx + dx, ly + 2), light3d) << dx;
  EXPECT_EQ(cap.Pixel(lx + 9, ly + 4), light3d);
  EXPECT_EQ(cap.Pixel(lx + 8, ly + 4), dark);
}

TEST(DropArrow, HitTestOnTheBody) {
  DWORD centred = kDropArrowCentred;  // top at 100 / 2 - 9 = 41
  EXPECT_EQ(HitTestDropArrow(10, 100, centred, 10, 41), 1);
  EXPECT_EQ(HitTestDropArrow(10, 100, centred, 16, 59), 1);
  EXPECT_EQ(HitTestDropArrow(10, 100, centred, 17, 41), 0);
  EXPECT_EQ(HitTestDropArrow(10, 100, centred, 9, 41), 0);
  EXPECT_EQ(HitTestDropArrow(10, 100, centred, 10, 40), 0);
  EXPECT_EQ(HitTestDropArrow(10, 100, centred, 10, 60), 0);
  EXPECT_EQ(HitTestDropArrow(0, 100, 0xFFFB, 0, -5), 1);  // a signed top of -5
  EXPECT_EQ(HitTestDropArrow(0, 100, kDropArrowAtEnd, 0, 81), 1);
  EXPECT_EQ(HitTestDropArrow(0, 100, kDropArrowAtEnd, 0, 80), 0);
}
