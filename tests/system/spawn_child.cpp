// The child program of the launcher's tests. The first argument picks what
// it does:
//   exit N         ends with exit code N
//   echo           copies its input to its output up to the input's end
//   sleep MS       waits, then ends with 0
//   env NAME       writes the variable's value, or "<unset>"
//   args ...       writes each further argument as "[text]" on a line
//   cwd            writes its current directory
//   show           writes "flags=%lX show=%u" of its start-up information
//   stderr TEXT    writes the text to its error output
//   window TITLE   shows a window; WM_APP ends with wParam as exit code,
//                  WM_APP + 1 answers wParam * 2
//   tooltip        owns only a tooltip window
// Every mode ends by itself after 30 seconds (exit code 98), so that a
// failing test leaves no child behind.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Write(HANDLE h, const std::string& text) {
  DWORD written;
  WriteFile(h, text.data(), (DWORD)text.size(), &written, nullptr);
}
void Out(const std::string& text) { Write(GetStdHandle(STD_OUTPUT_HANDLE), text); }

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_APP:
      PostQuitMessage((int)wParam);
      return 0;
    case WM_APP + 1:
      return wParam * 2;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int MessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return (int)msg.wParam;
}

DWORD WINAPI Watchdog(void*) {
  Sleep(30000);
  ExitProcess(98);
}

int ShowWindowMode(const char* title) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "OstrovaSpawnChild";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowA("OstrovaSpawnChild", title, WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                            wc.hInstance, nullptr);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  return MessageLoop();
}

int TooltipMode() {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, nullptr, nullptr,
                  GetModuleHandleA(nullptr), nullptr);
  return MessageLoop();
}

}  // namespace

int main(int argc, char** argv) {
  CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
  std::string mode = argc > 1 ? argv[1] : "";
  const char* arg = argc > 2 ? argv[2] : "";
  if (mode == "exit") return std::atoi(arg);
  if (mode == "echo") {
    char buf[4096];
    DWORD n;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buf, sizeof buf, &n, nullptr) && n) Out(std::string(buf, n));
    return 0;
  }
  if (mode == "sleep") {
    Sleep(std::atoi(arg));
    return 0;
  }
  if (mode == "env") {
    const char* value = std::getenv(arg);
    Out(value ? value : "<unset>");
    return 0;
  }
  if (mode == "args") {
    for (int i = 2; i < argc; ++i) Out(std::string("[") + argv[i] + "]\n");
    return 0;
  }
  if (mode == "cwd") {
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    Out(cwd);
    return 0;
  }
  if (mode == "show") {
    STARTUPINFOA si;
    GetStartupInfoA(&si);
    char text[64];
    std::snprintf(text, sizeof text, "flags=%lX show=%u", si.dwFlags, si.wShowWindow);
    Out(text);
    return 0;
  }
  if (mode == "stderr") {
    Write(GetStdHandle(STD_ERROR_HANDLE), arg);
    return 0;
  }
  if (mode == "window") return ShowWindowMode(arg);
  if (mode == "tooltip") return TooltipMode();
  return 255;
}
