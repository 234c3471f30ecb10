// A progress worker enumerating a key of 10,000 values with a position per
// value and a status path every 32 values, against the same loop without
// them: the dialog's updates must stay cheap for the worker.
#include <windows.h>

#include <cstdio>

#include "bench.h"
#include "system/regkeystack.h"
#include "ui/dialogs/progressdlg.h"

namespace {
char g_path[96];
double g_ratio = 0;

long long Enumerate(CProgressDlg* dlg) {
  CRegKeyStack rk;
  rk.Open(HKEY_CURRENT_USER, g_path);
  char data[256];
  long long total = 0, n = 0;
  if (dlg) dlg->SetTotal(10000);
  while (rk.QueryValue(data, sizeof data, REGKS_NAME_ENUM, REG_SZ)) {
    total += rk.m_nNameLen + rk.m_cbData;
    if (dlg) {
      dlg->SetPos64(n);
      if (n % 32 == 0) dlg->SetStatusPath(0, "Durchsuche *", data, 3, '*');
    }
    ++n;
  }
  return total;
}

int Worker(CProgressDlg* dlg) {
  g_ratio = bench::Compare(
      "CProgressDlg worker over 10000 values", [&] { bench::Sink(Enumerate(dlg)); }, "the bare loop",
      [] { bench::Sink(Enumerate(nullptr)); }, 1, 15);
  return 0;
}
}  // namespace

int main() {
  std::snprintf(g_path, sizeof g_path, "Software\\OstrovaTests\\progressdlg_bench_%lu", GetCurrentProcessId());
  HKEY hKey;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, g_path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr) != 0) return 1;
  for (int i = 0; i < 10000; ++i) {
    char name[16], data[64];
    std::snprintf(name, sizeof name, "Wert%05d", i);
    int n = std::snprintf(data, sizeof data, "HKEY_CURRENT_USER\\Software\\Ostrova\\Zweig%05d", i);
    RegSetValueExA(hKey, name, 0, REG_SZ, (const BYTE*)data, (DWORD)n + 1);
  }
  {
    CProgressDlg dlg;
    dlg.SetWorker(Worker);
    dlg.DoModal();
  }
  RegCloseKey(hKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, g_path);
  RegDeleteKeyA(HKEY_CURRENT_USER, g_path);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OstrovaTests");
  return g_ratio > 0 ? 0 : 1;
}
