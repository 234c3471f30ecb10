// Start-up of Ostrova.exe with a start path (-1: a key of 10 values), from
// CreateProcess until the screen shows the first painted row of the entry
// list, against a bare program painting one rectangle, measured alike: the
// same start, the same polling of the screen. 5 alternating runs after a
// warm-up, medians. Arguments: the number of runs, then builds of the program
// (relative to the build tree) to time in turn against the same baseline.
// The floor is startup_bare: Ostrova's first windows made with bare system
// calls, timed the same way until its list shows its first row.
// The entry list 27393 has to hold the 10 rows and show text in its first
// row (kUntilFirstRow; without it, the first painted pane).
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench.h"
#include "e2e/driver/ostrova_process.h"
#include "e2e/driver/registry_snapshot.h"
#include "resource.h"

namespace {
const bool kUntilFirstRow = true;
const int kEntryList = 27393;
const int kHeaderHeight = 17;
const char kProgramKey[] = "Software\\Brannock\\Ostrova";
const char kBenchKey[] = "Software\\OstrovaTests\\StartupBench";
const char kBenchPath[] = "HKEY_CURRENT_USER\\Software\\OstrovaTests\\StartupBench";
const COLORREF kMinimalColor = RGB(0x12, 0x34, 0x56);
const RECT kMinimalRect = {20, 20, 220, 120};

// build\bench\app\startup_bench.exe -> build\<relative>
std::string BuildPath(const char* relative) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path);
  for (int up = 0; up < 3; ++up) p.resize(p.find_last_of("\\/"));
  return p + "\\" + relative;
}

// A rectangle of the screen as the user sees it, 0x00RRGGBB.
struct ScreenPixels {
  int width = 0, height = 0;
  std::vector<DWORD> bits;

  bool Grab(HWND hwnd, RECT client) {
    POINT origin = {client.left, client.top};
    if (!ClientToScreen(hwnd, &origin)) return false;
    width = client.right - client.left;
    height = client.bottom - client.top;
    if (width < 1 || height < 1) return false;
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* raw = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &raw, nullptr, 0);
    bool ok = dib && raw;
    if (ok) {
      HGDIOBJ old = SelectObject(mem, dib);
      ok = BitBlt(mem, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY) != FALSE;
      GdiFlush();
      const DWORD* p = static_cast<const DWORD*>(raw);
      bits.assign(p, p + (size_t)width * height);
      SelectObject(mem, old);
    }
    if (dib) DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
  }
  int Count(const std::function<bool(DWORD)>& pred) const { return (int)std::count_if(bits.begin(), bits.end(), pred); }
};

DWORD Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
bool Dark(DWORD p) { return ((p >> 16) & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && (p & 0xFF) < 0x60; }

// Text on the window background: most pixels the background, some dark
// ones. (A window not yet painted shows neither.)
bool ShowsText(HWND hwnd, RECT client) {
  ScreenPixels s;
  if (!s.Grab(hwnd, client)) return false;
  DWORD background = Rgb(GetSysColor(COLOR_WINDOW));
  int total = s.width * s.height;
  return s.Count([&](DWORD p) { return (p & 0xFFFFFF) == background; }) * 10 >= total * 8 &&
         s.Count([](DWORD p) { return Dark(p); }) >= 10;
}

struct TopLevel {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM lParam) {
  auto* t = reinterpret_cast<TopLevel*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == t->pid && IsWindowVisible(hwnd) && !GetWindow(hwnd, GW_OWNER)) {
    t->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The first row of a list below its header shows text.
bool FirstRowShowsText(HWND list, int headerHeight) {
  RECT rc;
  GetClientRect(list, &rc);
  rc.top = headerHeight;
  rc.bottom = std::min<LONG>(rc.bottom, headerHeight + 16);
  return ShowsText(list, rc);
}

bool BareReady(HWND top) {
  HWND list = FindDescendant(top, kEntryList);
  if (!list || !IsWindowVisible(list) || SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) < 10) return false;
  HWND header = FindWindowExA(list, nullptr, "SysHeader32", nullptr);
  RECT rc = {};
  if (header) GetWindowRect(header, &rc);
  return FirstRowShowsText(list, rc.bottom - rc.top);
}

bool MinimalReady(HWND top) {
  ScreenPixels s;
  if (!s.Grab(top, kMinimalRect)) return false;
  DWORD want = Rgb(kMinimalColor);
  return s.Count([&](DWORD p) { return (p & 0xFFFFFF) == want; }) == s.width * s.height;
}

bool OstrovaReady(HWND top) {
  if (!GetMenu(top)) return false;
  RECT rc;
  if (kUntilFirstRow) {
    HWND list = FindDescendant(top, kEntryList);
    if (!list || !IsWindowVisible(list) || SendMessageA(list, TVM_GETCOUNT, 0, 0) < 10) return false;
    return FirstRowShowsText(list, kHeaderHeight);
  }
  HWND view = FindDescendantOfClass(top, "OstrovaView");
  HWND pane = view ? GetDlgItem(view, IDC_PANE1) : nullptr;
  if (!pane || !IsWindowVisible(pane)) return false;
  GetClientRect(pane, &rc);
  return ShowsText(pane, rc);
}

// Milliseconds from CreateProcess until ready(top window) holds; the
// program is closed afterwards. -1 when it never gets there.
double StartUntil(const std::string& exe, const std::string& args, bool (*ready)(HWND)) {
  std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
  STARTUPINFOA si = {sizeof si};
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi = {};
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  double ms = -1;
  TopLevel t{pi.dwProcessId, nullptr};
  for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
    if (!t.found) EnumWindows(MatchTopLevel, (LPARAM)&t);
    if (t.found && ready(t.found)) {
      QueryPerformanceCounter(&t1);
      ms = (t1.QuadPart - t0.QuadPart) * 1000.0 / f.QuadPart;
      break;
    }
    if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  if (t.found) PostMessageA(t.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 && atoi(argv[1]) > 0 ? atoi(argv[1]) : 5;
  RegistrySnapshot saved = RegistrySnapshot::Take(HKEY_CURRENT_USER, kProgramKey);
  DeleteKeyTree(HKEY_CURRENT_USER, kBenchKey);
  for (int i = 0; i < 10; ++i) {
    std::string name = "Wert " + std::to_string(i), data = "Daten " + std::to_string(i);
    RegSetKeyValueA(HKEY_CURRENT_USER, kBenchKey, name.c_str(), REG_SZ, data.c_str(), (DWORD)data.size() + 1);
  }
  std::vector<std::string> programs;
  for (int i = 2; i < argc; ++i) programs.push_back(argv[i]);
  if (programs.empty()) programs.push_back("app\\Ostrova.exe");
  const std::string minimal = BuildPath("bench\\app\\startup_minimal.exe");
  const std::string bare = BuildPath("bench\\app\\startup_bare.exe");
  const std::string args = std::string("\"-1:") + kBenchPath + "\"";
  // Every start is a first start with the start path. Slot 0 is the
  // minimal program, slot 1 the bare calls, then the builds.
  const int kFirstBuild = 2;
  const int slots = (int)programs.size() + kFirstBuild;
  auto run = [&](int slot) {
    if (slot == 0) return StartUntil(minimal, "", MinimalReady);
    if (slot == 1) return StartUntil(bare, args, BareReady);
    DeleteKeyTree(HKEY_CURRENT_USER, kProgramKey);
    return StartUntil(BuildPath(programs[slot - kFirstBuild].c_str()), args, OstrovaReady);
  };
  auto slotName = [](int slot) { return slot == 0 ? "minimal" : slot == 1 ? "bare" : "Ostrova"; };
  for (int slot = 0; slot < slots; ++slot) run(slot);  // warm-up: the loader's and the server's caches
  std::vector<std::vector<double>> ms(slots);
  bool failed = false;
  for (int r = 0; r < runs; ++r) {
    // Each round starts with another slot, so that drift hits all alike.
    std::printf("  run %d:", r + 1);
    std::vector<double> round(slots);
    for (int k = 0; k < slots; ++k) {
      int slot = (r + k) % slots;
      round[slot] = run(slot);
    }
    for (int slot = 0; slot < slots; ++slot) {
      failed |= round[slot] < 0;
      ms[slot].push_back(round[slot]);
      std::printf(" %s %.1f ms", slotName(slot), round[slot]);
    }
    std::printf("\n");
  }
  saved.Restore(HKEY_CURRENT_USER, kProgramKey);
  DeleteKeyTree(HKEY_CURRENT_USER, kBenchKey);
  if (failed) {
    std::printf("startup: a program did not show its first paint\n");
    return 1;
  }
  const char* what = kUntilFirstRow ? "startup to first painted row" : "startup to first painted pane";
  // The floor: what the system's own windows cost over the minimal program.
  bench::Report("startup floor, bare calls", Median(ms[1]) * 1e6, "minimal program", Median(ms[0]) * 1e6);
  for (int slot = kFirstBuild; slot < slots; ++slot) {
    if (slots > kFirstBuild + 1) std::printf("%s:\n", programs[slot - kFirstBuild].c_str());
    bench::Report(what, Median(ms[slot]) * 1e6, "minimal program", Median(ms[0]) * 1e6);
    bench::Report(what, Median(ms[slot]) * 1e6, "bare calls", Median(ms[1]) * 1e6);
  }
  return 0;
}
