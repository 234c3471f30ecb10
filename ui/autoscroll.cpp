#include "ui/autoscroll.h"

#include <atomic>
#include <cstdlib>
#include <vector>

#include "ui/autoscroll_images.h"

namespace {
// Shared with the worker; the user-interface thread writes direction and
// speed, the worker only reads them.
std::atomic<LONG> g_stop{0};
std::atomic<LONG> g_direction{0};
std::atomic<LONG> g_speed{1};
std::atomic<CWnd*> g_target{nullptr};
std::atomic<LONG> g_finished{0};
std::atomic<LONG> g_running{0};

// A bar's position and range: the control GetScrollBarCtrl gave, or the
// window's own bar.
bool ReadBar(HWND hwnd, HWND control, int bar, SCROLLINFO* psi) {
  psi->cbSize = sizeof *psi;
  psi->fMask = SIF_POS | SIF_RANGE | SIF_PAGE;
  return control ? GetScrollInfo(control, SB_CTL, psi) != 0 : GetScrollInfo(hwnd, bar, psi) != 0;
}

// Position plus step, kept in the bar's range: a negative position would
// read as 65,5xx in the message's high word.
int StepInRange(const SCROLLINFO& si, int step) {
  int last = si.nMax - (si.nPage ? (int)si.nPage - 1 : 0);
  if (last < si.nMin) last = si.nMin;
  int pos = si.nPos + step;
  if (pos > last) pos = last;
  if (pos < si.nMin) pos = si.nMin;
  return pos;
}

HWND BarControl(CWnd* pWnd, int bar) {
  CScrollBar* pBar = pWnd->GetScrollBarCtrl(bar);
  return pBar ? pBar->GetSafeHwnd() : nullptr;
}

UINT AutoScrollThread(LPVOID) {
  CWnd* pWnd = g_target.load();
  HWND hwnd = pWnd->GetSafeHwnd();
  HWND horz = BarControl(pWnd, SB_HORZ), vert = BarControl(pWnd, SB_VERT);
  while (!g_stop.load()) {
    int direction = g_direction.load(), speed = g_speed.load();
    int h = direction / 3, v = direction % 3;
    SCROLLINFO si;
    if (h && ReadBar(hwnd, horz, SB_HORZ, &si)) {
      int pos = StepInRange(si, h == 1 ? speed : -speed);
      PostMessageA(hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, pos), (LPARAM)horz);
    }
    if (v && ReadBar(hwnd, vert, SB_VERT, &si)) {
      int pos = StepInRange(si, v == 1 ? speed : -speed);
      PostMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, pos), (LPARAM)vert);
    }
    for (DWORD slept = 0; slept < kAutoScrollInterval && !g_stop.load(); slept += 20) Sleep(20);
  }
  g_finished.store(1);
  return 0;
}

// The origin mark in the screen's depth: each 4-bit grey converted as the
// depth stores pixels.
HICON CreateMarkIcon(HWND hwnd, int image) {
  const BYTE* src = kAutoScrollMarkImages[image];
  HDC dc = GetDC(hwnd);
  int bpp = dc ? GetDeviceCaps(dc, BITSPIXEL) : 1;
  if (dc) ReleaseDC(hwnd, dc);
  if (bpp != 4 && bpp != 8 && bpp != 15 && bpp != 16 && bpp != 24 && bpp != 32) bpp = 1;
  std::vector<BYTE> bits(32 * 32 * ((bpp + 7) / 8 + 1) + 128, 0);
  for (int i = 0; i < 32 * 32; ++i) {
    int g = (src[i / 2] >> (i % 2 ? 0 : 4)) & 15;
    int v5 = 2 * g + 1, v8 = 16 * g + 15;
    switch (bpp) {
      case 1:
        if (g == 15) bits[i / 8] |= (BYTE)(0x80 >> (i % 8));
        break;
      case 4:
        bits[i / 2] |= (BYTE)(i % 2 ? g : g << 4);
        break;
      case 8:
        bits[i] = (BYTE)g;
        break;
      case 15:
      case 16: {
        WORD w = bpp == 15 ? (WORD)((v5 << 10) | (v5 << 5) | v5) : (WORD)((v5 << 11) | ((2 * v5) << 5) | v5);
        bits[2 * i] = (BYTE)w;
        bits[2 * i + 1] = (BYTE)(w >> 8);
        break;
      }
      default:  // 24 and 32
        for (int k = 0; k < 3; ++k) bits[i * (bpp / 8) + k] = (BYTE)v8;
    }
  }
  return CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, (BYTE)bpp, src + kAutoScrollMarkGreyBytes, bits.data());
}

HCURSOR CreateAutoScrollCursor(int image) {
  const BYTE* src = kAutoScrollCursorImages[image];
  return CreateCursor(GetModuleHandleA(nullptr), 16, 16, 32, 32, src + 128, src);
}

bool HoldsFocus(HWND hwnd) {
  HWND focus = GetFocus();
  return focus && (focus == hwnd || IsChild(hwnd, focus));
}
}  // namespace

int AutoScrollDirection(int dx, int dy, int axes) {
  if (!dx) dx = 1;
  if (!dy) dy = 1;
  int direction = 0;
  if (dx * dx + dy * dy >= kAutoScrollDeadZone * kAutoScrollDeadZone) {
    int slope = dy * 100 / dx;
    if (dx < 0) {
      direction = 1;
      if (slope > -240) direction = 7;
      if (slope > -40) direction = 6;
      if (slope > 40) direction = 8;
      if (slope > 240) direction = 2;
    } else {
      direction = 2;
      if (slope > -240) direction = 5;
      if (slope > -40) direction = 3;
      if (slope > 40) direction = 4;
      if (slope > 240) direction = 1;
    }
  }
  if (axes == kAutoScrollHorizontal) direction -= direction % 3;
  if (axes == kAutoScrollVertical) direction %= 3;
  return direction;
}

int AutoScrollSpeed(int dx, int dy, int axes) {
  if (!dx) dx = 1;
  if (!dy) dy = 1;
  int speed = 0;
  if (axes & kAutoScrollHorizontal) speed += std::abs(dx >> 4);
  if (axes & kAutoScrollVertical) speed += std::abs(dy >> 4);
  return speed;
}

int StartAutoScroll(CWnd* pWnd, int x, int y, int axes) {
  HWND hwnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
  if (!hwnd || axes < 1 || axes > 3 || !IsWindow(hwnd)) return 0;
  LONG idle = 0;
  if (!g_running.compare_exchange_strong(idle, 1)) return 0;  // the state is process-wide

  g_stop.store(0);
  g_direction.store(0);
  g_finished.store(0);
  g_speed.store(1);
  g_target.store(pWnd);
  // Joined below, so the object must outlive its thread.
  CWinThread* worker = AfxBeginThread(AutoScrollThread, nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  if (worker) {
    worker->m_bAutoDelete = FALSE;
    worker->ResumeThread();
  }

  HCURSOR cursors[9];
  cursors[0] = CreateAutoScrollCursor(axes == kAutoScrollHorizontal ? kAutoScrollCursorHorizontal
                                      : axes == kAutoScrollVertical ? kAutoScrollCursorVertical
                                                                    : 0);
  for (int i = 1; i < 9; ++i) cursors[i] = CreateAutoScrollCursor(i);
  HICON icon = CreateMarkIcon(hwnd, axes == kAutoScrollBoth ? 0 : axes);

  SetCapture(hwnd);
  HWND mark =
      CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SS_ICON, x - 16,
                      y - 16, 32, 32, hwnd, (HMENU)(INT_PTR)kAutoScrollMarkId, GetModuleHandleA(nullptr), nullptr);
  if (mark) {
    SendMessageA(mark, STM_SETICON, (WPARAM)icon, 0);
    MoveWindow(mark, x - 16, y - 16, 32, 32, TRUE);  // the icon resized it
  }
  HCURSOR previous = SetCursor(cursors[0]);
  POINT origin = {x, y};
  ClientToScreen(hwnd, &origin);
  // A WM_KILLFOCUS is sent past the queue: focus held at the start is
  // watched as well.
  bool hadFocus = HoldsFocus(hwnd);
  int direction = 0;

  bool running = true, quit = false;
  int quitCode = 0;
  while (running && GetCapture() == hwnd && !(hadFocus && !HoldsFocus(hwnd))) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      continue;
    }
    switch (msg.message) {
      case WM_QUIT:
        quit = true;  // posted again once the run has ended
        quitCode = (int)msg.wParam;
        running = false;
        break;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        running = false;
        break;
      case WM_MOUSEWHEEL:
        break;
      case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE) running = false;
        break;
      case WM_KILLFOCUS:
        DispatchMessageA(&msg);
        running = false;
        break;
      case WM_MOUSEMOVE: {
        int dx = msg.pt.x - origin.x, dy = msg.pt.y - origin.y;
        int now = AutoScrollDirection(dx, dy, axes);
        if (now != direction) {
          direction = now;
          g_direction.store(now);
          SetCursor(cursors[now]);
        }
        g_speed.store(AutoScrollSpeed(dx, dy, axes));
        break;
      }
      default:
        DispatchMessageA(&msg);
    }
  }

  g_stop.store(1);
  if (worker) {
    // Messages sent to this thread (the worker reading a bar control) go on
    // being answered while it winds down.
    HANDLE thread = worker->m_hThread;
    while (!g_finished.load() && MsgWaitForMultipleObjects(1, &thread, FALSE, 50, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
      MSG msg;
      PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    WaitForSingleObject(thread, INFINITE);
    delete worker;
  }
  g_direction.store(0);
  SetCursor(previous);
  if (GetCapture() == hwnd) ReleaseCapture();
  if (mark) DestroyWindow(mark);
  if (icon) DestroyIcon(icon);
  for (HCURSOR cursor : cursors) {
    if (cursor) DestroyCursor(cursor);
  }

  HWND horz = BarControl(pWnd, SB_HORZ), vert = BarControl(pWnd, SB_VERT);
  PostMessageA(hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pWnd->GetScrollPos(SB_HORZ)), (LPARAM)horz);
  PostMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pWnd->GetScrollPos(SB_VERT)), (LPARAM)vert);
  g_target.store(nullptr);
  g_running.store(0);
  if (quit) AfxPostQuitMessage(quitCode);
  return 1;
}
