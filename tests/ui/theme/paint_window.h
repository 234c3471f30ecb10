// A pop-up test window that paints through a function, also for
// WM_PRINTCLIENT, so that WindowCapture reads what the function drew.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "harness/window_util.h"

class ThemePaintWindow {
 public:
  ThemePaintWindow(std::function<void(HDC)> paint, int cx, int cy, COLORREF back)
      : m_paint(std::move(paint)), m_back(back) {
    static ATOM s_class = 0;
    if (!s_class) {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "OstrovaThemeTest";
      s_class = RegisterClassA(&wc);
    }
    m_hwnd = CreateWindowExA(0, "OstrovaThemeTest", "", WS_POPUP | WS_VISIBLE, 40, 40, cx, cy, nullptr, nullptr,
                             nullptr, this);
    PumpMessages();
  }
  ~ThemePaintWindow() { DestroyWindow(m_hwnd); }
  ThemePaintWindow(const ThemePaintWindow&) = delete;
  ThemePaintWindow& operator=(const ThemePaintWindow&) = delete;
  HWND hwnd() const { return m_hwnd; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTA*)lp)->lpCreateParams);
    auto* self = (ThemePaintWindow*)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT || msg == WM_PRINTCLIENT) {
      PAINTSTRUCT ps;
      HDC dc = msg == WM_PAINT ? BeginPaint(hwnd, &ps) : (HDC)wp;
      RECT rc;
      GetClientRect(hwnd, &rc);
      COLORREF old = SetBkColor(dc, self->m_back);
      ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
      SetBkColor(dc, old);
      self->m_paint(dc);
      if (msg == WM_PAINT) EndPaint(hwnd, &ps);
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  HWND m_hwnd;
  std::function<void(HDC)> m_paint;
  COLORREF m_back;
};

// What the function draws on a window of the given size and background.
inline WindowCapture CaptureDrawing(std::function<void(HDC)> paint, int cx, int cy, COLORREF back) {
  ThemePaintWindow window(std::move(paint), cx, cy, back);
  return WindowCapture(window.hwnd());
}
