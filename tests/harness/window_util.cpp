#include "harness/window_util.h"

void PumpMessages(DWORD ms) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (ms) Sleep(5);
  } while (GetTickCount() - start < ms);
}

// Wine's WM_PRINT leaves out the children, so each visible child is printed
// at its own offset, below its parent's picture.
static void PrintTree(HWND hwnd, HDC dc, int x, int y) {
  RECT outer;
  GetWindowRect(hwnd, &outer);
  int saved = SaveDC(dc);
  IntersectClipRect(dc, x, y, x + outer.right - outer.left, y + outer.bottom - outer.top);
  SetViewportOrgEx(dc, x, y, nullptr);
  SendMessageA(hwnd, WM_PRINT, (WPARAM)dc, PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  // Children in reverse z-order, so the topmost is printed last.
  for (HWND child = GetWindow(GetWindow(hwnd, GW_CHILD), GW_HWNDLAST); child; child = GetWindow(child, GW_HWNDPREV)) {
    if (!IsWindowVisible(child)) continue;
    RECT rc;
    GetWindowRect(child, &rc);
    PrintTree(child, dc, x + rc.left - outer.left, y + rc.top - outer.top);
  }
  RestoreDC(dc, saved);
}

WindowCapture::WindowCapture(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  m_width = rc.right - rc.left;
  m_height = rc.bottom - rc.top;
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = m_width;
  bi.bmiHeader.biHeight = -m_height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  PrintTree(hwnd, mem, 0, 0);
  GdiFlush();
  const uint32_t* p = static_cast<const uint32_t*>(bits);
  m_bits.assign(p, p + m_width * m_height);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

COLORREF WindowCapture::Pixel(int x, int y) const {
  uint32_t v = m_bits[y * m_width + x];
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int WindowCapture::Count(COLORREF color, const RECT& rc) const {
  int n = 0;
  for (int y = rc.top; y < rc.bottom && y < m_height; ++y)
    for (int x = rc.left; x < rc.right && x < m_width; ++x)
      if (Pixel(x, y) == color) ++n;
  return n;
}

std::string ChosenFontFace(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  char face[LF_FACESIZE] = "";
  GetTextFaceA(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return face;
}
