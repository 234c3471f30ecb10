#include "harness/window_util.h"

#include <algorithm>

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
  // Wine's scroll bar control answers no WM_PRINTCLIENT, but paints into a
  // DC given with WM_PAINT.
  char cls[16] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpiA(cls, "ScrollBar") == 0) SendMessageA(hwnd, WM_PAINT, (WPARAM)dc, 0);
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

WindowCapture WindowCapture::FromScreen(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
  RECT rc;
  GetWindowRect(hwnd, &rc);
  return FromScreenRect(rc);
}

WindowCapture WindowCapture::FromScreenRect(const RECT& rc) {
  WindowCapture cap;
  cap.m_width = rc.right - rc.left;
  cap.m_height = rc.bottom - rc.top;
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = cap.m_width;
  bi.bmiHeader.biHeight = -cap.m_height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, cap.m_width, cap.m_height, screen, rc.left, rc.top, SRCCOPY);
  GdiFlush();
  const uint32_t* p = static_cast<const uint32_t*>(bits);
  cap.m_bits.assign(p, p + cap.m_width * cap.m_height);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return cap;
}

COLORREF WindowCapture::Pixel(int x, int y) const {
  // Outside the capture there is no pixel: a test that looks there fails
  // instead of reading past the buffer.
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
  uint32_t v = m_bits[y * m_width + x];
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int WindowCapture::Count(COLORREF color, const RECT& rc) const {
  int n = 0;
  for (int y = std::max(0, (int)rc.top); y < rc.bottom && y < m_height; ++y)
    for (int x = std::max(0, (int)rc.left); x < rc.right && x < m_width; ++x)
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

namespace {
uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

void PutBE32(std::vector<uint8_t>* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back((uint8_t)(v >> shift));
}

void PutChunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data) {
  PutBE32(out, (uint32_t)data.size());
  size_t start = out->size();
  out->insert(out->end(), type, type + 4);
  out->insert(out->end(), data.begin(), data.end());
  PutBE32(out, Crc32(out->data() + start, out->size() - start));
}
}  // namespace

bool WindowCapture::SavePng(const char* path) const {
  // Filter byte 0 and RGB per row.
  std::vector<uint8_t> raw;
  raw.reserve((size_t)m_height * (m_width * 3 + 1));
  for (int y = 0; y < m_height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < m_width; ++x) {
      uint32_t v = m_bits[(size_t)y * m_width + x];
      raw.push_back((uint8_t)(v >> 16));
      raw.push_back((uint8_t)(v >> 8));
      raw.push_back((uint8_t)v);
    }
  }
  // A zlib stream of stored blocks.
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t pos = 0;
  do {
    size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
    z.push_back(pos + n == raw.size() ? 1 : 0);
    z.push_back((uint8_t)n);
    z.push_back((uint8_t)(n >> 8));
    z.push_back((uint8_t)~n);
    z.push_back((uint8_t)(~n >> 8));
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
    pos += n;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutBE32(&z, (b << 16) | a);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBE32(&header, (uint32_t)m_width);
  PutBE32(&header, (uint32_t)m_height);
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB
  PutChunk(&png, "IHDR", header);
  PutChunk(&png, "IDAT", z);
  PutChunk(&png, "IEND", {});
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, png.data(), (DWORD)png.size(), &written, nullptr) && written == png.size();
  CloseHandle(file);
  return ok;
}

std::string ScreenshotPath(const char* name) {
  // The test programs live in <build>\tests\<folder>\.
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dir(path, n);
  size_t tests = dir.rfind("\\tests\\");
  dir = tests == std::string::npos ? dir.substr(0, dir.rfind('\\')) : dir.substr(0, tests);
  dir += "\\screenshots";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir + "\\" + name;
}

std::string ScreensPathIn(const char* folder, const char* name) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dir(path, n);
  dir = dir.substr(0, dir.rfind('\\')) + "\\" + folder;
  CreateDirectoryA(dir.c_str(), nullptr);
  dir += "\\screens";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir + "\\" + name;
}
