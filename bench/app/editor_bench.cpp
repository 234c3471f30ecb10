// "Binärdaten ändern" on a 10 KB and a 1 MB value: from the command to the
// hex view's first painted screen (D10, D1M), against reading the 1 MB value
// with RegQueryValueExA (R). Size should add next to nothing: the target is
// (D1M - R) / D10 <= 1.3.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/editors/hexeditdlg.h"
#include "app/editors/valueeditor.h"
#include "bench.h"

namespace {

LARGE_INTEGER g_start, g_painted;
bool g_done = false;

LRESULT CALLBACK PaintHook(int code, WPARAM wParam, LPARAM lParam) {
  const CWPRETSTRUCT* ret = (const CWPRETSTRUCT*)lParam;
  if (code >= 0 && !g_done && ret->message == WM_PAINT && GetDlgCtrlID(ret->hwnd) == (int)IDC_HEXEDIT_VIEW) {
    QueryPerformanceCounter(&g_painted);
    g_done = true;
    PostMessageA(GetParent(ret->hwnd), WM_COMMAND, IDCANCEL, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  char path[128];
  std::snprintf(path, sizeof path, "Software\\OstrovaTests\\editor_bench_%lu", GetCurrentProcessId());
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)) return 1;
  std::vector<BYTE> small(10 * 1024), big(1024 * 1024);
  for (size_t i = 0; i < big.size(); ++i) big[i] = (BYTE)(i * 7);
  RegSetValueExA(key, "v10k", 0, REG_BINARY, small.data(), (DWORD)small.size());
  RegSetValueExA(key, "v1m", 0, REG_BINARY, big.data(), (DWORD)big.size());

  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, PaintHook, nullptr, GetCurrentThreadId());
  auto open = [&](const char* name) {
    g_done = false;
    QueryPerformanceCounter(&g_start);
    EditRegistryValue(nullptr, HKEY_CURRENT_USER, path, name, false, true);
    return g_done ? (g_painted.QuadPart - g_start.QuadPart) * 1e9 / freq.QuadPart : -1.0;
  };
  std::vector<double> d10, d1m;
  open("v10k");  // warm-up
  for (int i = 0; i < 9; ++i) {
    d10.push_back(open("v10k"));
    d1m.push_back(open("v1m"));
  }
  UnhookWindowsHookEx(hook);

  std::vector<BYTE> buffer(big.size());
  double r = bench::MedianNs(
      [&] {
        DWORD size = (DWORD)buffer.size(), type = 0;
        RegQueryValueExA(key, "v1m", nullptr, &type, buffer.data(), &size);
        bench::Sink(size);
      },
      5);
  double m10 = Median(d10), m1m = Median(d1m);
  std::printf("editor_bench: R %.2f ms, D10 %.2f ms, D1M %.2f ms, (D1M - R) / D10 %.2f\n", r / 1e6, m10 / 1e6,
              m1m / 1e6, (m1m - r) / m10);
  RegCloseKey(key);
  RegDeleteTreeA(HKEY_CURRENT_USER, path);
  return 0;
}
