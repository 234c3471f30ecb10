// Memory of "Binärdaten ändern" on a 1 MB value: the private bytes the open
// dialog adds at its hex view's first painted screen, against the value's
// size (target: at most 3 times). Then 20 rounds of opening and closing: the
// private bytes after the last close against those after the first, which
// should not grow. Measured in a process of its own.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "app/editors/hexeditdlg.h"
#include "app/editors/valueeditor.h"
#include "bench.h"

namespace {

const DWORD kValueSize = 1024 * 1024;
const int kRounds = 20;

size_t g_atPaint = 0;
bool g_painted = false;

LRESULT CALLBACK PaintHook(int code, WPARAM wParam, LPARAM lParam) {
  const CWPRETSTRUCT* ret = (const CWPRETSTRUCT*)lParam;
  if (code >= 0 && !g_painted && ret->message == WM_PAINT && GetDlgCtrlID(ret->hwnd) == (int)IDC_HEXEDIT_VIEW) {
    g_atPaint = bench::PrivateBytes();
    g_painted = true;
    PostMessageA(GetParent(ret->hwnd), WM_COMMAND, IDCANCEL, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Child() {
  char path[128];
  std::snprintf(path, sizeof path, "Software\\OstrovaTests\\hexedit_memory_bench_%lu", GetCurrentProcessId());
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)) return;
  {
    std::vector<BYTE> small(16), big(kValueSize);
    for (size_t i = 0; i < big.size(); ++i) big[i] = (BYTE)(i * 7);
    RegSetValueExA(key, "small", 0, REG_BINARY, small.data(), (DWORD)small.size());
    RegSetValueExA(key, "v1m", 0, REG_BINARY, big.data(), (DWORD)big.size());
  }
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, PaintHook, nullptr, GetCurrentThreadId());
  auto open = [&](const char* name) {
    g_painted = false;
    EditRegistryValue(nullptr, HKEY_CURRENT_USER, path, name, false, true);
    return g_painted;
  };
  // What the dialog's first opening sets up once is not the value's bytes.
  open("small");
  double before = (double)bench::PrivateBytes();
  bool ok = open("v1m");
  double added = (double)g_atPaint - before;
  double afterFirst = (double)bench::PrivateBytes();
  for (int round = 1; round < kRounds; ++round) ok = open("v1m") && ok;
  double afterLast = (double)bench::PrivateBytes();
  UnhookWindowsHookEx(hook);
  RegCloseKey(key);
  RegDeleteTreeA(HKEY_CURRENT_USER, path);
  if (ok) bench::PrintNumbers({added, afterLast - afterFirst});
}

}  // namespace

int main(int argc, char** argv) {
  if (bench::ChildArgs(argc, argv)) {
    Child();
    return 0;
  }
  std::vector<double> hex = bench::RunChild("hex");
  if (hex.size() < 2) {
    std::printf("hexedit_memory_bench: the measuring run failed\n");
    return 1;
  }
  bench::ReportBytes("hex edit 1 MB value memory", hex[0], "value size", kValueSize);
  bench::ReportBytes("hex edit 20 opens, growth", hex[1], "one open", hex[0]);
  return 0;
}
