// The registry pane on a key of 50,000 values and one of 10,000 subkeys:
// first screen and full listing against one enumeration of every value
// with its data; children after expanding against enumerating the
// subkeys and each child's subkeys (the tree fills one level ahead); the
// private bytes that showing the 50,000 values adds against the bytes of
// their names and data, and what twenty showings leave behind; the floor of
// those bytes is a report list view, the system's own control, holding the
// same three texts a row.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/browser/regwnd.h"
#include "bench.h"
#include "text/compare/naturalcompare.h"
#include "mfc/winapp.h"

namespace {

double NowNs() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return (double)t.QuadPart * 1e9 / (double)freq.QuadPart;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The process's private bytes as the system counts them. Wine leaves the
// counter at 0: then the committed private pages, which is what it counts.
double PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX pmc = {};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS*)&pmc, sizeof pmc);
  if (pmc.PrivateUsage) return (double)pmc.PrivateUsage;
  double total = 0;
  MEMORY_BASIC_INFORMATION mbi;
  for (const char* p = nullptr; VirtualQuery(p, &mbi, sizeof mbi) == sizeof mbi;) {
    if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) total += (double)mbi.RegionSize;
    const char* next = (const char*)mbi.BaseAddress + mbi.RegionSize;
    if (next <= p) break;
    p = next;
  }
  return total;
}

LONG EnumValue(HKEY h, DWORD i, char* name, DWORD* cch, DWORD* type, BYTE* data, DWORD* cb) {
  return RegEnumValueA(h, i, name, cch, nullptr, type, data, cb);
}
LONG EnumValue(HKEY h, DWORD i, WCHAR* name, DWORD* cch, DWORD* type, BYTE* data, DWORD* cb) {
  return RegEnumValueW(h, i, name, cch, nullptr, type, data, cb);
}

// The baseline walk: every value of the key with its data, through the 8-bit
// or the 16-bit call.
template <class Char>
void WalkValues(const char* subPath) {
  HKEY h;
  RegOpenKeyExA(HKEY_CURRENT_USER, subPath, 0, KEY_READ, &h);
  static Char name[16384];
  BYTE data[544];
  long long total = 0;
  for (DWORD i = 0;; ++i) {
    DWORD n = 16384, size = sizeof data, type;
    if (EnumValue(h, i, name, &n, &type, data, &size) != ERROR_SUCCESS) break;
    total += n + size;
  }
  RegCloseKey(h);
  bench::Sink(total);
}

// Where the time of a listing goes, printed with BROWSER_BENCH_SPLIT: the
// bare walks, the records alone and their sort.
void PrintSteps(CRegWnd& pane, const char* subPath, const std::string& valuesPath) {
  auto walkW = [&] { WalkValues<WCHAR>(subPath); };
  auto walkA = [&] { WalkValues<char>(subPath); };
  CTextList records(sizeof(TreeWndEntry));
  auto fill = [&] {
    records.RemoveAll();
    pane.FillItems(&records, valuesPath.c_str(), 0);
  };
  auto sort = [&] {
    records.Sort(0, records.count,
                 [](const CTextList* l, int i, int j) { return CompareNaturalNoCaseA(l->TextAt(i), l->TextAt(j)); });
  };
  double a = bench::MedianNs(walkA, 1, 5), w = bench::MedianNs(walkW, 1, 5), f = bench::MedianNs(fill, 1, 5);
  double s = bench::MedianNs(sort, 1, 5);
  std::printf(
      "steps: walk A %.0f ms, walk W %.0f ms, records without data (walk W, names, sort) %.0f ms, sort %.0f ms\n",
      a / 1e6, w / 1e6, f / 1e6, s / 1e6);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

const int kValues = 50000;

// A value's name and data as the benchmark writes them.
void ValueTexts(int i, char (&name)[16], char (&data)[48]) {
  std::snprintf(name, sizeof name, "Wert%05d", i);
  std::snprintf(data, sizeof data, "C:\\Programme\\Ostrova\\Datei%05d.txt", i);
}

// In a process of its own, so that it reuses no heap the pane left: the
// private bytes a report list view adds with the pane's three texts for
// each of the values (name, type and the quoted data).
void ReportListChild() {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  HWND frame = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr,
                               nullptr, nullptr);
  auto make = [&] {
    return CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 880, 660, frame, (HMENU)1,
                           nullptr, nullptr);
  };
  DestroyWindow(make());  // what the first one of the class sets up is no row's
  Pump();
  double before = PrivateBytes();
  HWND list = make();
  const char* titles[3] = {"Name", "Typ", "Daten"};
  for (int c = 0; c < 3; ++c) {
    LVCOLUMNA column = {LVCF_TEXT | LVCF_WIDTH, 0, 200, const_cast<char*>(titles[c])};
    SendMessageA(list, LVM_INSERTCOLUMNA, c, (LPARAM)&column);
  }
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < kValues; ++i) {
    char name[16], data[48], quoted[52];
    ValueTexts(i, name, data);
    std::snprintf(quoted, sizeof quoted, "\"%s\"", data);
    LVITEMA item = {LVIF_TEXT, i, 0, 0, 0, name};
    int row = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    item.iItem = row;
    item.iSubItem = 1;
    item.pszText = const_cast<char*>("REG_SZ");
    SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&item);
    item.iSubItem = 2;
    item.pszText = quoted;
    SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&item);
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  Pump();
  double added = PrivateBytes() - before;
  DestroyWindow(list);
  DestroyWindow(frame);
  bench::PrintNumbers({added});
}

bool FirstScreenFilled(CRegWnd& pane, int rows) {
  pane.List().SendMessage(TLM_RUNDEFERRED);
  if ((int)pane.List().SendMessage(TLM_GETROWCOUNT) < rows) return false;
  char text[64] = "";
  pane.List().GetCellTextByRow(rows - 1, text, sizeof text, 2);
  return text[0] != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (bench::ChildArgs(argc, argv)) {
    ReportListChild();
    return 0;
  }
  CWinApp app("browser_bench");
  AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL);
  char path[96];
  std::snprintf(path, sizeof path, "Software\\OstrovaTests\\browser_bench_%lu", GetCurrentProcessId());
  std::string full = std::string("HKEY_CURRENT_USER\\") + path;
  HKEY root, values, keys;
  RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr);
  RegCreateKeyExA(root, "values", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &values, nullptr);
  RegCreateKeyExA(root, "keys", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &keys, nullptr);
  HKEY small;
  RegCreateKeyExA(root, "small", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &small, nullptr);
  RegCloseKey(small);
  for (int i = 0; i < kValues; ++i) {
    char name[16], data[48];
    ValueTexts(i, name, data);
    RegSetValueExA(values, name, 0, REG_SZ, (const BYTE*)data, (DWORD)strlen(data) + 1);
  }
  for (int i = 0; i < 10000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "Key%05d", i);
    HKEY k;
    RegCreateKeyExA(keys, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    RegCloseKey(k);
  }

  CWnd host;
  host.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr);
  CRegWnd pane;
  pane.CreateWnd(0xCE8 | 0x4000, CRect(0, 0, 880, 660), &host, 4240);
  Pump();
  std::string valuesPath = full + "\\values", smallPath = full + "\\small", keysPath = full + "\\keys";

  // Memory first, while the heap has not yet held a large listing: the
  // showing, then after going to a small key again, twenty times.
  auto show = [&](const std::string& where) {
    pane.NavigateTo(where.c_str(), 1);
    pane.WaitForListThread();
    Pump();
    pane.UpdateWindow();
  };
  show(smallPath);
  double before = PrivateBytes(), withList = 0, closedFirst = 0, closedLast = 0;
  for (int r = 0; r < 20; ++r) {
    show(valuesPath);
    if (r == 0) withList = PrivateBytes();
    show(smallPath);
    (r == 0 ? closedFirst : closedLast) = PrivateBytes();
  }
  const std::string valuesSubPath = std::string(path) + "\\values";
  double stored = 0;  // names (UTF-16) and data as the registry holds them
  {
    HKEY h;
    RegOpenKeyExA(HKEY_CURRENT_USER, valuesSubPath.c_str(), 0, KEY_READ, &h);
    WCHAR name[260];
    BYTE data[600];
    for (DWORD i = 0;; ++i) {
      DWORD n = 260, size = sizeof data;
      if (RegEnumValueW(h, i, name, &n, nullptr, nullptr, data, &size) != ERROR_SUCCESS) break;
      stored += 2.0 * n + size;
    }
    RegCloseKey(h);
  }
  bench::ReportBytes("browser private bytes of 50000 values", withList - before, "names+data as stored", stored);
  std::vector<double> report = bench::RunChild("report");
  if (report.empty()) {
    std::printf("browser_bench: the report list view's run failed\n");
    return 1;
  }
  bench::ReportBytes("report list view, same 50000 rows", report[0], "names+data as stored", stored);
  bench::ReportBytes("browser private bytes of 50000 values", withList - before, "report list view", report[0]);
  bench::ReportBytes("browser bytes kept after closing", closedFirst - before, "bytes while shown", withList - before);
  bench::ReportBytes("browser growth over 20 showings", closedLast - closedFirst, "bytes while shown",
                     withList - before);

  // Values: the first screen (40 rows, three columns) and the whole list,
  // alternated with the enumeration after one warm-up of each: the first
  // walks of freshly written values run slower under Wine.
  auto enumerate = [&] {
    double t0 = NowNs();
    WalkValues<char>(valuesSubPath.c_str());
    return NowNs() - t0;
  };
  if (getenv("BROWSER_BENCH_SPLIT")) PrintSteps(pane, valuesSubPath.c_str(), valuesPath);
  std::vector<double> first, whole, walks;
  for (int r = 0; r < 6; ++r) {
    double walk = enumerate();
    pane.NavigateTo(smallPath.c_str(), 1);
    pane.WaitForListThread();
    Pump();
    double t0 = NowNs();
    pane.NavigateTo(valuesPath.c_str(), 1);
    double t1 = NowNs();
    while (!FirstScreenFilled(pane, 40)) Sleep(0);
    double shownAt = NowNs() - t0;
    pane.WaitForListThread();
    if (getenv("BROWSER_BENCH_SPLIT"))
      std::printf("records %.0f ms, first screen after %.0f ms, thread done after %.0f ms, walk %.0f ms\n",
                  (t1 - t0) / 1e6, (t0 + shownAt - t1) / 1e6, (NowNs() - t1) / 1e6, walk / 1e6);
    Pump();
    if (r == 0) continue;
    first.push_back(shownAt);
    whole.push_back(NowNs() - t0);
    walks.push_back(walk);
  }
  double enumNs = Median(walks);
  bench::Report("browser first screen of 50000 values", Median(first), "RegEnumValueA names+data", enumNs);
  bench::Report("browser full listing of 50000 values", Median(whole), "RegEnumValueA names+data", enumNs);

  // Keys: expanding the 10,000-subkey key; its children shown, then the thread done.
  std::vector<double> shown, done;
  for (int r = 0; r < 3; ++r) {
    pane.NavigateTo(keysPath.c_str(), 1);
    pane.WaitForListThread();
    HTREEITEM item = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
    // Collapsed and forgotten, so that each run fills it again.
    pane.NavigateTo(full.c_str(), 1);
    pane.WaitForListThread();
    pane.FillTreeChildren((HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0), nullptr, 0);
    pane.Tree().SendMessage(TLM_RUNDEFERRED);
    item = nullptr;
    HTREEITEM parent = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0);
    for (HTREEITEM c = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)parent); c;
         c = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)c)) {
      char text[64] = "";
      TVITEMA tv = {};
      tv.mask = TVIF_TEXT;
      tv.hItem = c;
      tv.pszText = text;
      tv.cchTextMax = sizeof text;
      pane.Tree().SendMessage(TVM_GETITEMA, 0, (LPARAM)&tv);
      if (!strcmp(text, "keys")) item = c;
    }
    if (!item) return 2;
    Pump();
    double t0 = NowNs();
    pane.Tree().SendMessage(TVM_EXPAND, TVE_EXPAND, (LPARAM)item);
    bool seen = false;
    for (;;) {
      Pump();
      if (!seen) {
        pane.Tree().SendMessage(TLM_RUNDEFERRED);
        HTREEITEM c = (HTREEITEM)pane.Tree().SendMessage(TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item);
        LPARAM data = c ? pane.Tree().SendMessage(TLM_GETITEMPARAM, 0, (LPARAM)c) : 0;
        if (c && !(data & kTreeItemPlaceholder) &&
            pane.Tree().SendMessage(TLM_GETITEMPARAM, 0, (LPARAM)item) & kTreeItemFilled) {
          shown.push_back(NowNs() - t0);
          seen = true;
        }
      }
      if (!pane.ExpandThreadRunning()) break;
      Sleep(0);
    }
    if (!seen) shown.push_back(NowNs() - t0);
    done.push_back(NowNs() - t0);
    pane.Tree().SendMessage(TVM_EXPAND, TVE_COLLAPSE, (LPARAM)item);
    Pump();
  }
  double walkNs = bench::MedianNs(
      [&] {
        HKEY h;
        RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(path) + "\\keys").c_str(), 0, KEY_READ, &h);
        char name[260], sub[260];
        long long total = 0;
        for (DWORD i = 0;; ++i) {
          DWORD n = sizeof name;
          if (RegEnumKeyExA(h, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
          HKEY c;
          if (RegOpenKeyExA(h, name, 0, KEY_READ, &c) == ERROR_SUCCESS) {
            for (DWORD j = 0;; ++j) {
              DWORD m = sizeof sub;
              if (RegEnumKeyExA(c, j, sub, &m, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
              total += m;
            }
            RegCloseKey(c);
          }
          total += n;
        }
        RegCloseKey(h);
        bench::Sink(total);
      },
      1, 3);
  bench::Report("browser children of 10000 subkeys shown", Median(shown), "RegEnumKeyExA two levels", walkNs);
  bench::Report("browser expansion of 10000 subkeys done", Median(done), "RegEnumKeyExA two levels", walkNs);

  pane.DestroyWindow();
  host.DestroyWindow();
  RegCloseKey(values);
  RegCloseKey(keys);
  RegCloseKey(root);
  RegDeleteTreeA(HKEY_CURRENT_USER, path);
  return 0;
}
