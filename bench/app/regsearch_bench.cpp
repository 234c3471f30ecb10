// The key phase of the search over 10,000 keys with 50,000 values, the hit
// in the last value, against a bare recursive RegEnumKeyExA/RegEnumValueA
// walk with the same match, and against "reg query <key> /s" matched line by
// line.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/search/regsearch.h"
#include "bench.h"
#include "text/search/strsearch.h"

namespace {

const char kNeedle[] = "nadel im heuhaufen";

bool BareWalk(HKEY key) {
  char name[256];
  char value[16384];
  BYTE data[4096];
  for (DWORD i = 0;; ++i) {
    DWORD n = sizeof value, cb = sizeof data - 2, type;
    LONG e = RegEnumValueA(key, i, value, &n, nullptr, &type, data, &cb);
    if (e == ERROR_NO_MORE_ITEMS) break;
    if (e != ERROR_SUCCESS) continue;
    data[cb] = data[cb + 1] = 0;
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && FindSubstrNoCaseA((const char*)data, kNeedle) >= 0) return true;
  }
  for (DWORD i = 0;; ++i) {
    DWORD n = sizeof name;
    if (RegEnumKeyExA(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY sub;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    bool hit = BareWalk(sub);
    RegCloseKey(sub);
    if (hit) return true;
  }
  return false;
}

bool RegQuery(const std::string& full) {
  std::string cmd = "reg query \"" + full + "\" /s";
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE rd, wr;
  CreatePipe(&rd, &wr, &sa, 1 << 16);
  SetHandleInformation(rd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si = {sizeof si};
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = wr;
  si.hStdError = wr;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(wr);
  std::string line;
  bool hit = false;
  char buf[65536];
  DWORD got;
  while (ReadFile(rd, buf, sizeof buf, &got, nullptr) && got) {
    for (DWORD i = 0; i < got; ++i) {
      if (buf[i] == '\n') {
        if (!hit && FindSubstrNoCaseA(line.c_str(), kNeedle) >= 0) hit = true;
        line.clear();
      } else {
        line += buf[i];
      }
    }
  }
  CloseHandle(rd);
  WaitForSingleObject(pi.hProcess, INFINITE);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return hit;
}

}  // namespace

int main() {
  char path[96];
  std::snprintf(path, sizeof path, "Software\\OstrovaTests\\regsearch_bench_%lu", GetCurrentProcessId());
  HKEY root;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr) != 0) return 1;
  // 100 keys of 99 subkeys and the 100 keys themselves: 10,000 keys, each
  // with 5 values; the very last value walked holds the text.
  for (int i = 0; i < 100; ++i) {
    for (int j = 0; j < 100; ++j) {
      char name[32];
      if (j == 0)
        std::snprintf(name, sizeof name, "K%03d", i);
      else
        std::snprintf(name, sizeof name, "K%03d\\S%03d", i, j);
      HKEY k;
      RegCreateKeyExA(root, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
      for (int v = 0; v < 5; ++v) {
        char vn[16], data[64];
        std::snprintf(vn, sizeof vn, "W%d", v);
        int n = (i == 99 && j == 99 && v == 4)
                    ? std::snprintf(data, sizeof data, "x %s x", kNeedle)
                    : std::snprintf(data, sizeof data, "C:\\Daten\\Datei %d-%d-%d.txt", i, j, v);
        RegSetValueExA(k, vn, 0, REG_SZ, (const BYTE*)data, (DWORD)n + 1);
      }
      RegCloseKey(k);
    }
  }
  std::string full = std::string("HKEY_CURRENT_USER\\") + path;
  RegSearchState state;
  state.Setup(kSearchValueData, kSearchPartial, 0, kNeedle);
  int result = 0;
  bool bare = false;
  bench::Compare(
      "Search key phase, 10000 keys / 50000 values",
      [&] {
        char p[kSearchPathSize];
        lstrcpynA(p, full.c_str(), sizeof p);
        RegSearchHooks hooks;
        result = SearchRegistryKeys(state, p, (int)strlen(p), hooks);
      },
      "bare RegEnumKeyExA/RegEnumValueA walk",
      [&] {
        HKEY h;
        RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &h);
        bare = BareWalk(h);
        RegCloseKey(h);
      },
      1, 3);
  std::printf("hits: search %d, bare %d\n", result, bare ? 1 : 0);
  std::fflush(stdout);

  auto t0 = std::chrono::steady_clock::now();
  bool q = RegQuery(full);
  double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
  // The search once more for the same single-run comparison.
  auto t1 = std::chrono::steady_clock::now();
  char p[kSearchPathSize];
  lstrcpynA(p, full.c_str(), sizeof p);
  RegSearchHooks hooks;
  SearchRegistryKeys(state, p, (int)strlen(p), hooks);
  double sns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t1).count();
  bench::Report("Search key phase, one run", sns, "reg query /s, per line", ns);
  std::printf("hit: reg query %d\n", q ? 1 : 0);

  RegCloseKey(root);
  RegDeleteTreeA(HKEY_CURRENT_USER, path);
  RegDeleteKeyA(HKEY_CURRENT_USER, path);
  return 0;
}
