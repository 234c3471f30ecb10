// A toolbar on a parent that records what it receives.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "controls/toolbar/toolbarex.h"
#include "harness/window_util.h"

struct RecordedMessage {
  UINT msg;
  WPARAM wParam;
  int code;  // WM_NOTIFY: the header's code
};

class ToolbarFixture {
 public:
  explicit ToolbarFixture(DWORD style = WS_CHILD | WS_VISIBLE) {
    static ATOM s_class = 0;
    if (!s_class) {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = ParentProc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "OstrovaToolbarParent";
      s_class = RegisterClassA(&wc);
    }
    RegisterToolbarExClass(GetModuleHandleA(nullptr));
    s_current = this;
    parent = CreateWindowExA(0, "OstrovaToolbarParent", "", WS_POPUP | WS_VISIBLE, 20, 20, 400, 120, nullptr, nullptr,
                             nullptr, nullptr);
    bar = CreateWindowExA(0, TOOLBAREX_CLASS, "", style, 0, 0, 400, 40, parent, (HMENU)77, nullptr, nullptr);
    PumpMessages();
    log.clear();
  }
  ~ToolbarFixture() {
    DestroyWindow(parent);
    s_current = nullptr;
  }
  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const { return SendMessageA(bar, msg, wParam, lParam); }
  // Appends buttons with command ids first, first + 1, ...
  void AddButtons(int count, int first = 100, BYTE style = BTNS_BUTTON) const {
    std::vector<TBBUTTON> buttons(count);
    for (int i = 0; i < count; i++) buttons[i] = TBBUTTON{-1, first + i, TBSTATE_ENABLED, style, {}, 0, -1};
    Send(TB_ADDBUTTONSA, (WPARAM)count, (LPARAM)buttons.data());
  }

  HWND parent = nullptr;
  HWND bar = nullptr;
  std::vector<RecordedMessage> log;

 private:
  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (s_current && (msg == WM_NOTIFY || msg == WM_COMMAND || msg == WM_CONTEXTMENU)) {
      int code = msg == WM_NOTIFY ? (int)reinterpret_cast<const NMHDR*>(lp)->code : 0;
      s_current->log.push_back({msg, wp, code});
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  static inline ToolbarFixture* s_current = nullptr;
};
