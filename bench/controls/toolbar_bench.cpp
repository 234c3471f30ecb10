// The toolbar control against the system toolbar on the same job: 1,000
// buttons (every tenth a separator) added, laid out in rows of the parent's
// width and the last one's rectangle read; without and with texts.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench.h"
#include "controls/toolbar/toolbarex.h"

namespace {
const int kButtons = 1000;
const int kWidth = 800;

std::vector<TBBUTTON> Buttons(bool texts) {
  std::vector<TBBUTTON> buttons(kButtons);
  for (int i = 0; i < kButtons; i++) {
    bool sep = i % 10 == 9;
    buttons[i] = TBBUTTON{sep ? 0 : i % 16,      100 + i, TBSTATE_ENABLED, (BYTE)(sep ? BTNS_SEP : BTNS_BUTTON), {}, 0,
                          texts && !sep ? i : -1};
  }
  return buttons;
}

// "B0\0B1\0...\0\0"
std::string Texts() {
  std::string s;
  for (int i = 0; i < kButtons; i++) s += "B" + std::to_string(i) + '\0';
  return s + '\0';
}

HBITMAP Strip() {
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 256, 16, 1, 24, BI_RGB};
  void* bits = nullptr;
  return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

long long Own(HWND parent, bool texts) {
  HWND bar = CreateWindowExA(0, TOOLBAREX_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, 40, parent, nullptr, nullptr,
                             nullptr);
  TBADDBITMAP ab = {nullptr, (UINT_PTR)Strip()};
  SendMessageA(bar, TB_ADDBITMAP, 16, (LPARAM)&ab);
  static const std::string strings = Texts();
  if (texts) SendMessageA(bar, TB_ADDSTRINGA, 0, (LPARAM)strings.data());
  std::vector<TBBUTTON> buttons = Buttons(texts);
  for (int i = 0; i < kButtons; i += 1000) SendMessageA(bar, TB_ADDBUTTONSA, 1000, (LPARAM)&buttons[i]);
  SendMessageA(bar, TBX_CALCSIZE, kWidth, 1);
  RECT rc = {};
  SendMessageA(bar, TB_GETITEMRECT, kButtons - 1, (LPARAM)&rc);
  DestroyWindow(bar);
  DeleteObject((HBITMAP)ab.nID);
  return rc.bottom;
}

long long System(HWND parent, bool texts) {
  HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | TBSTYLE_WRAPABLE, 0, 0, kWidth, 40,
                             parent, nullptr, nullptr, nullptr);
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBADDBITMAP ab = {nullptr, (UINT_PTR)Strip()};
  SendMessageA(bar, TB_ADDBITMAP, 16, (LPARAM)&ab);
  static const std::string strings = Texts();
  if (texts) SendMessageA(bar, TB_ADDSTRINGA, 0, (LPARAM)strings.data());
  std::vector<TBBUTTON> buttons = Buttons(texts);
  SendMessageA(bar, TB_ADDBUTTONSA, kButtons, (LPARAM)buttons.data());
  SendMessageA(bar, TB_AUTOSIZE, 0, 0);
  RECT rc = {};
  SendMessageA(bar, TB_GETITEMRECT, kButtons - 1, (LPARAM)&rc);
  DestroyWindow(bar);
  DeleteObject((HBITMAP)ab.nID);
  return rc.bottom;
}

double FirstPaintMs(HWND parent, const char* cls, DWORD style, bool texts) {
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  HWND bar = CreateWindowExA(0, cls, "", WS_CHILD | style, 0, 0, kWidth, 600, parent, nullptr, nullptr, nullptr);
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBADDBITMAP ab = {nullptr, (UINT_PTR)Strip()};
  SendMessageA(bar, TB_ADDBITMAP, 16, (LPARAM)&ab);
  static const std::string strings = Texts();
  if (texts) SendMessageA(bar, TB_ADDSTRINGA, 0, (LPARAM)strings.data());
  std::vector<TBBUTTON> buttons = Buttons(texts);
  SendMessageA(bar, TB_ADDBUTTONSA, kButtons, (LPARAM)buttons.data());
  if (cls == std::string(TOOLBAREX_CLASS)) {
    SendMessageA(bar, TBX_CALCSIZE, kWidth, 1);
  } else {
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
  }
  QueryPerformanceCounter(&a);
  ShowWindow(bar, SW_SHOW);
  UpdateWindow(bar);
  GdiFlush();
  QueryPerformanceCounter(&b);
  DestroyWindow(bar);
  DeleteObject((HBITMAP)ab.nID);
  return (b.QuadPart - a.QuadPart) * 1000.0 / f.QuadPart;
}
}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterToolbarExClass(GetModuleHandleA(nullptr));
  HWND parent =
      CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, 600, nullptr, nullptr, nullptr, nullptr);
  for (bool texts : {false, true}) {
    bench::Compare(
        texts ? "toolbar 1000 buttons with texts" : "toolbar 1000 buttons", [&] { bench::Sink(Own(parent, texts)); },
        "system toolbar", [&] { bench::Sink(System(parent, texts)); }, 1, 5);
    std::printf("  first paint: own %.1f ms, system %.1f ms\n",
                FirstPaintMs(parent, TOOLBAREX_CLASS, TBSTYLE_FLAT, texts),
                FirstPaintMs(parent, TOOLBARCLASSNAMEA, TBSTYLE_WRAPABLE | TBSTYLE_FLAT, texts));
    std::fflush(stdout);
  }
  DestroyWindow(parent);
  return 0;
}
