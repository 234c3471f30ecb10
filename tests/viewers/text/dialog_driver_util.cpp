#include "dialog_driver.h"

#include <algorithm>
#include <cstdint>

#include "harness/window_util.h"

namespace {
DialogDriver* g_driver = nullptr;
struct FindData {
  const char* caption;
  HWND found;
};
BOOL CALLBACK FindProc(HWND h, LPARAM p) {
  FindData* d = (FindData*)p;
  char cls[32] = "", text[128] = "";
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, text, sizeof text);
  if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(h) && (!d->caption || lstrcmpA(text, d->caption) == 0)) {
    d->found = h;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindThreadDialog(const char* caption) {
  FindData d = {caption, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindProc, (LPARAM)&d);
  return d.found;
}

void ClickItem(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void SelectListItem(HWND dialog, int id, int item) {
  SendDlgItemMessageA(dialog, id, LB_SETCURSEL, item, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), (LPARAM)GetDlgItem(dialog, id));
}

DialogDriver::DialogDriver(const char* caption, std::function<bool(HWND, int)> step)
    : m_caption(caption), m_stepFn(step) {
  g_driver = this;
  m_timer = SetTimer(nullptr, 0, 40, Tick);
}

DialogDriver::~DialogDriver() {
  if (m_timer) KillTimer(nullptr, m_timer);
  g_driver = nullptr;
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
  DialogDriver* self = g_driver;
  if (!self || !self->m_timer || self->m_busy) return;
  HWND dialog = FindThreadDialog(self->m_caption.c_str());
  if (!dialog) return;
  // A step may open a nested modal loop in which this timer ticks again.
  self->m_busy = true;
  bool done = self->m_stepFn(dialog, self->m_step++);
  self->m_busy = false;
  if (done && self->m_timer) {
    KillTimer(nullptr, self->m_timer);
    self->m_timer = 0;
  }
}

std::string ScreensPath(const char* name) { return ScreensPathIn("text", name); }

namespace {
uint32_t Crc32(const unsigned char* p, size_t n, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

void Put32(std::string* out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) *out += (char)(v >> s);
}

void Chunk(std::string* png, const char* type, const std::string& data) {
  Put32(png, (uint32_t)data.size());
  std::string body = std::string(type, 4) + data;
  *png += body;
  Put32(png, Crc32((const unsigned char*)body.data(), body.size()));
}
}  // namespace

bool SaveScreenPng(HWND hwnd, const char* path) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();
  Sleep(50);
  RECT rc;
  GetWindowRect(hwnd, &rc);
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
  GdiFlush();
  std::string raw;
  const uint32_t* px = (const uint32_t*)bits;
  for (int y = 0; y < h; ++y) {
    raw += '\0';
    for (int x = 0; x < w; ++x) {
      uint32_t c = px[y * w + x];
      raw += (char)(c >> 16), raw += (char)(c >> 8), raw += (char)c;
    }
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  // zlib stream of stored blocks.
  std::string z = "\x78\x01";
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    size_t n = std::min<size_t>(65535, raw.size() - at);
    z += (char)(at + n >= raw.size() ? 1 : 0);
    z += (char)(n & 0xFF), z += (char)(n >> 8), z += (char)(~n & 0xFF), z += (char)((~n >> 8) & 0xFF);
    z.append(raw, at, n);
    if (raw.empty()) break;
  }
  Put32(&z, (b << 16) | a);
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string ihdr;
  Put32(&ihdr, w), Put32(&ihdr, h);
  ihdr += "\x08\x02\x00\x00\x00";
  ihdr.resize(13);
  ihdr[8] = 8, ihdr[9] = 2, ihdr[10] = ihdr[11] = ihdr[12] = 0;
  Chunk(&png, "IHDR", ihdr);
  Chunk(&png, "IDAT", z);
  Chunk(&png, "IEND", "");
  HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(f, png.data(), (DWORD)png.size(), &written, nullptr);
  CloseHandle(f);
  return ok && written == png.size();
}
