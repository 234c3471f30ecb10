// Enumerating names and data of a key with 10,000 values through
// CRegKeyStack against a bare RegEnumValueA loop on the same key.
#include <windows.h>

#include <cstdio>

#include "bench.h"
#include "system/regkeystack.h"

int main() {
  char path[96];
  std::snprintf(path, sizeof path, "Software\\OstrovaTests\\regkeystack_bench_%lu", GetCurrentProcessId());
  HKEY hKey;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr) != 0) return 1;
  for (int i = 0; i < 10000; ++i) {
    char name[16], data[48];
    std::snprintf(name, sizeof name, "Wert%05d", i);
    int n = std::snprintf(data, sizeof data, "C:\\Programme\\Ostrova\\Datei%05d.txt", i);
    RegSetValueExA(hKey, name, 0, REG_SZ, (const BYTE*)data, (DWORD)n + 1);
  }

  bench::Compare(
      "CRegKeyStack enum 10000 values",
      [&] {
        CRegKeyStack rk;
        rk.Open(HKEY_CURRENT_USER, path);
        char data[256];
        long long total = 0;
        while (rk.QueryValue(data, sizeof data, REGKS_NAME_ENUM, REG_SZ)) total += rk.m_nNameLen + rk.m_cbData;
        bench::Sink(total);
      },
      "RegEnumValueA",
      [&] {
        HKEY h;
        RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &h);
        char name[260];
        BYTE data[256];
        long long total = 0;
        for (DWORD i = 0;; ++i) {
          DWORD cchName = 256, cbData = sizeof data, type;
          if (RegEnumValueA(h, i, name, &cchName, nullptr, &type, data, &cbData) != ERROR_SUCCESS) break;
          total += cchName + cbData;
        }
        RegCloseKey(h);
        bench::Sink(total);
      },
      1, 15);

  RegCloseKey(hKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, path);
  RegDeleteKeyA(HKEY_CURRENT_USER, path);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OstrovaTests");
  return 0;
}
