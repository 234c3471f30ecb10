// Drives a modal dialog from inside its own loop: a thread timer runs one
// step per tick on the dialog the test thread shows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class ModalDriver {
 public:
  // A step returns false to be tried again on the next tick.
  using Step = std::function<bool(HWND dialog)>;
  explicit ModalDriver(std::vector<Step> steps, UINT interval = 15);
  ~ModalDriver();
  bool Done() const { return m_next >= m_steps.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  std::vector<Step> m_steps;
  size_t m_next = 0;
  UINT_PTR m_timer = 0;
  bool m_running = false;
  static ModalDriver* s_current;
};

// The visible dialog window of this thread that is the topmost one, or
// nullptr.
HWND FindThreadDialog();
std::string TextOf(HWND hwnd);
// Posts a click of a dialog's button.
void PressButton(HWND dialog, int id);
// A left click (or double-click: down, up, double, up) at client point
// x, y of a window, sent as input would come.
void ClickAt(HWND hwnd, int x, int y, bool dbl = false);
