#include "modal_driver.h"

ModalDriver* ModalDriver::s_current = nullptr;

ModalDriver::ModalDriver(std::vector<Step> steps, UINT interval) : m_steps(std::move(steps)) {
  s_current = this;
  m_timer = SetTimer(nullptr, 0, interval, Tick);
}

ModalDriver::~ModalDriver() {
  KillTimer(nullptr, m_timer);
  s_current = nullptr;
}

void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
  ModalDriver* self = s_current;
  if (!self || self->m_running || self->Done()) return;
  HWND dialog = FindThreadDialog();
  if (!dialog) return;
  self->m_running = true;  // a step may run a nested loop
  if (self->m_steps[self->m_next](dialog)) ++self->m_next;
  self->m_running = false;
}

namespace {
BOOL CALLBACK FindVisibleDialog(HWND hwnd, LPARAM found) {
  char cls[16] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
    *(HWND*)found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindThreadDialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindVisibleDialog, (LPARAM)&found);
  return found;
}

std::string TextOf(HWND hwnd) {
  char buf[512] = "";
  GetWindowTextA(hwnd, buf, sizeof buf);
  return buf;
}

void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void ClickAt(HWND hwnd, int x, int y, bool dbl) {
  SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  if (!dbl) return;
  SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
