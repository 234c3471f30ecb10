// Drives a modal dialog from a thread timer: each step runs on a tick with
// the dialog's window, and may ask to be run again (returning false) while
// it waits for something.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "harness/window_util.h"

class DlgDriver {
 public:
  using Step = std::function<bool(HWND dlg)>;
  DlgDriver& Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
  }
  // Plain actions that need no retry.
  DlgDriver& Do(std::function<void(HWND dlg)> action) {
    return Then([action](HWND dlg) {
      action(dlg);
      return true;
    });
  }
  // Starts the timer; call right before DoModal, then check Finished().
  void Start(UINT ms = 20) {
    s_current = this;
    m_timer = ::SetTimer(nullptr, 0, ms, Tick);
  }
  ~DlgDriver() {
    if (m_timer) ::KillTimer(nullptr, m_timer);
    if (s_current == this) s_current = nullptr;
  }
  bool Finished() const { return m_next >= m_steps.size(); }

 private:
  static HWND FindDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM p) CALLBACK -> BOOL {
          char cls[16];
          ::GetClassNameA(h, cls, sizeof cls);
          if (std::string(cls) == "#32770" && ::IsWindowVisible(h) && ::IsWindowEnabled(h)) {
            *(HWND*)p = h;
            return FALSE;
          }
          return TRUE;
        },
        (LPARAM)&found);
    return found;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DlgDriver* d = s_current;
    if (!d || d->m_busy || d->Finished()) return;
    HWND dlg = FindDialog();
    if (!dlg) return;
    d->m_busy = true;  // a step that opens a box pumps messages itself
    if (d->m_steps[d->m_next](dlg)) d->m_next++;
    d->m_busy = false;
    if (d->Finished() && d->m_timer) {
      ::KillTimer(nullptr, d->m_timer);
      d->m_timer = 0;
    }
  }
  static inline DlgDriver* s_current = nullptr;
  std::vector<Step> m_steps;
  size_t m_next = 0;
  UINT_PTR m_timer = 0;
  bool m_busy = false;
};

// Input as a user gives it.
inline HWND ComboEdit(HWND combo) { return ::FindWindowExA(combo, nullptr, "Edit", nullptr); }
inline void TypeInto(HWND edit, const char* text, bool replace = true) {
  ::SetFocus(edit);
  if (replace) {
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SendMessageA(edit, WM_CHAR, VK_BACK, 0);
  }
  for (const char* p = text; *p; p++) ::SendMessageA(edit, WM_CHAR, (unsigned char)*p, 0);
}
inline std::string TextOf(HWND h) {
  char buf[2048];
  ::GetWindowTextA(h, buf, sizeof buf);
  return buf;
}
inline std::string ItemText(HWND dlg, int id) { return TextOf(::GetDlgItem(dlg, id)); }
inline void Click(HWND dlg, int id) { ::SendMessageA(::GetDlgItem(dlg, id), BM_CLICK, 0, 0); }
inline void PressKey(HWND target, UINT vk) {
  ::PostMessageA(target, WM_KEYDOWN, vk, 0);
  ::PostMessageA(target, WM_KEYUP, vk, 0xC0000000);
}
// The rectangle of a control in the dialog window's coordinates (as WindowCapture sees it).
inline RECT RectIn(HWND dlg, HWND ctl) {
  RECT rc, outer;
  ::GetWindowRect(ctl, &rc);
  ::GetWindowRect(dlg, &outer);
  ::OffsetRect(&rc, -outer.left, -outer.top);
  return rc;
}
// Pictures of the dialogs go to screens\ beside the test program.
inline void SaveShot(HWND dlg, const char* name) {
  char path[MAX_PATH];
  DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dir(path, n);
  dir = dir.substr(0, dir.rfind('\\')) + "\\screens";
  ::CreateDirectoryA(dir.c_str(), nullptr);
  WindowCapture cap = WindowCapture::FromScreen(dlg);
  cap.SavePng((dir + "\\" + name + ".png").c_str());
}
