// Placeholder start of the registry editor: one top-level window titled
// "Ostrova" until the application's frame and views are built.
#include <windows.h>

static LRESULT CALLBACK PlaceholderWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = PlaceholderWndProc;
  wc.hInstance = hInstance;
  wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  wc.lpszClassName = "OstrovaPlaceholder";
  if (!RegisterClassA(&wc)) return 1;
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Ostrova", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 800,
                              600, nullptr, nullptr, hInstance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, nCmdShow);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return (int)msg.wParam;
}
