#include "dialog_driver.h"

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

std::string ScreensPath(const char* name) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dir(path, n);
  dir = dir.substr(0, dir.rfind('\\')) + "\\text";
  CreateDirectoryA(dir.c_str(), nullptr);
  dir += "\\screens";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir + "\\" + name;
}
