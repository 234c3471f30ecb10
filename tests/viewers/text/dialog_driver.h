// Drives a modal dialog from inside its own loop: a thread timer finds the
// dialog of the caption and runs one step per tick until a step says done.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class DialogDriver {
 public:
  // step(dialog, n) is called with n = 0, 1, ...; it returns true when done.
  DialogDriver(const char* caption, std::function<bool(HWND, int)> step);
  ~DialogDriver();
  int Steps() const { return m_step; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  std::string m_caption;
  std::function<bool(HWND, int)> m_stepFn;
  int m_step = 0;
  UINT_PTR m_timer = 0;
  bool m_busy = false;
};

// The first visible dialog of this thread with the caption, or null.
HWND FindThreadDialog(const char* caption);
// Posts the button's click or the list's selection change to the dialog.
void ClickItem(HWND dialog, int id);
void SelectListItem(HWND dialog, int id, int item);

// Path of a screenshot in this folder's "screens" beside the test program
// (<build>\tests\viewers\text\screens), made when missing.
std::string ScreensPath(const char* name);

// Writes what the screen shows of a visible window as a PNG: dialogs whose
// controls do not print themselves under Wine show whole this way.
bool SaveScreenPng(HWND hwnd, const char* path);
