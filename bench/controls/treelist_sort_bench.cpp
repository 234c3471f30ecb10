// Sorting 100,000 roots by a column: the tree-list's TVM_SORTCHILDRENCB
// against a report list view's LVM_SORTITEMS with the same compare
// function, once with distinct names and once with a column of ten values.
// Both controls are visible with redraw on; each timed sort starts from the
// same shuffled order (the shuffle is a sort too, untimed) and includes
// pumping until idle. Also the six-argument sort reading the cell texts:
// in each compare (n log n reads), and once into a key array (n reads).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench.h"
#include "controls/treelist/treelist.h"

namespace {

const int kItems = 100000;
const int kRepeats = 5;

std::vector<std::string> g_names, g_tenValues;
std::vector<int> g_shuffle;
HWND g_frame = nullptr;
WNDPROC g_direct = nullptr;

void PumpIdle() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The one compare function of both controls: lParams index the column.
int CALLBACK ByColumn(LPARAM a, LPARAM b, LPARAM column) {
  const std::vector<std::string>& keys = *(const std::vector<std::string>*)column;
  return strcmp(keys[(size_t)a].c_str(), keys[(size_t)b].c_str());
}

int CALLBACK ByShuffle(LPARAM a, LPARAM b, LPARAM) { return g_shuffle[(size_t)a] - g_shuffle[(size_t)b]; }

// Six-argument form: reads the texts of column 1 from the control itself.
int CALLBACK ByCellText(HWND hwnd, HTREEITEM a, HTREEITEM b, LPARAM, LPARAM, LPARAM) {
  char ta[64], tb[64];
  TVITEMA item = {};
  item.mask = TLIF_CELL | TVIF_TEXT | TLIF_DIRECT;
  item.cChildren = 1;
  item.cchTextMax = sizeof(ta);
  item.hItem = a;
  item.pszText = ta;
  g_direct(hwnd, TVM_GETITEMA, 0, (LPARAM)&item);
  item.hItem = b;
  item.pszText = tb;
  g_direct(hwnd, TVM_GETITEMA, 0, (LPARAM)&item);
  return strcmp(ta, tb);
}

// The same order read once: each root's cell text is read into a key
// array by handle before the sort (decorate), the six-argument callback
// compares the keys, and the array is dropped afterwards (undecorate).
std::vector<std::string> g_cellKeys;
int CALLBACK ByCellKey(HWND, HTREEITEM a, HTREEITEM b, LPARAM, LPARAM, LPARAM) {
  return strcmp(g_cellKeys[(UINT_PTR)a].c_str(), g_cellKeys[(UINT_PTR)b].c_str());
}

void ReadCellKeys(HWND hwnd) {
  char text[64];
  TVITEMA item = {};
  item.mask = TLIF_CELL | TVIF_TEXT | TLIF_DIRECT;
  item.cChildren = 1;
  item.cchTextMax = sizeof(text);
  item.pszText = text;
  g_cellKeys.clear();
  for (UINT_PTR h = g_direct(hwnd, TVM_GETNEXTITEM, TVGN_ROOT, 0); h;
       h = g_direct(hwnd, TVM_GETNEXTITEM, TVGN_NEXT, h)) {
    item.hItem = (HTREEITEM)h;
    text[0] = 0;
    g_direct(hwnd, TVM_GETITEMA, 0, (LPARAM)&item);
    if (h >= g_cellKeys.size()) g_cellKeys.resize(h + 1);
    g_cellKeys[h] = text;
  }
}

HWND Make(const char* cls, DWORD style) {
  HWND hwnd = CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 400, 400, g_frame, (HMENU)1,
                              GetModuleHandleA(nullptr), nullptr);
  PumpIdle();
  return hwnd;
}

void AddColumns(HWND hwnd, UINT msg) {
  for (int c = 0; c < 2; ++c) {
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = 150;
    col.pszText = (char*)"Spalte";
    SendMessageA(hwnd, msg, c, (LPARAM)&col);
  }
}

void FillTreeList(HWND tl, const std::vector<std::string>& column) {
  SendMessageA(tl, WM_SETREDRAW, FALSE, 0);
  SendMessageA(tl, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
  for (int i = 0; i < kItems; ++i) {
    TVINSERTSTRUCTA ins = {};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = (char*)"Eintrag";
    ins.item.lParam = i;
    HTREEITEM h = (HTREEITEM)SendMessageA(tl, TVM_INSERTITEMA, 0, (LPARAM)&ins);
    TVITEMA cell = {};
    cell.mask = TLIF_CELL | TVIF_TEXT;
    cell.hItem = h;
    cell.cChildren = 1;
    cell.pszText = (char*)column[i].c_str();
    SendMessageA(tl, TVM_SETITEMA, 0, (LPARAM)&cell);
  }
  SendMessageA(tl, WM_SETREDRAW, TRUE, 0);
  PumpIdle();
}

void FillListView(HWND lv) {
  SendMessageA(lv, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < kItems; ++i) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = i;
    item.pszText = (char*)"Eintrag";
    item.lParam = i;
    SendMessageA(lv, LVM_INSERTITEMA, 0, (LPARAM)&item);
  }
  SendMessageA(lv, WM_SETREDRAW, TRUE, 0);
  PumpIdle();
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

// Median of the timed sorts, each after an untimed shuffle.
template <typename Shuffle, typename Sort>
double MedianNs(Shuffle shuffle, Sort sort) {
  std::vector<double> times;
  for (int r = 0; r < kRepeats; ++r) {
    shuffle();
    PumpIdle();
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    sort();
    PumpIdle();
    QueryPerformanceCounter(&t1);
    times.push_back(Seconds(t0, t1) * 1e9);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

bool TreeListSorted(HWND tl, const std::vector<std::string>& keys) {
  LPARAM prev = -1;
  int count = 0;
  for (UINT_PTR h = SendMessageA(tl, TVM_GETNEXTITEM, TVGN_ROOT, 0); h;
       h = SendMessageA(tl, TVM_GETNEXTITEM, TVGN_NEXT, h), ++count) {
    LPARAM p = SendMessageA(tl, TLM_GETITEMPARAM, 0, (LPARAM)h);
    if (prev >= 0 && keys[(size_t)prev] > keys[(size_t)p]) return false;
    prev = p;
  }
  return count == kItems;
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterTreeListClass(GetModuleHandleA(nullptr));
  g_frame = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 820, 720, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  std::mt19937 random(12345);
  std::vector<int> order(kItems);
  for (int i = 0; i < kItems; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), random);
  char text[32];
  for (int i = 0; i < kItems; ++i) {
    std::snprintf(text, sizeof(text), "Name %06d", order[i]);
    g_names.push_back(text);
    std::snprintf(text, sizeof(text), "Wert %d", order[i] % 10);
    g_tenValues.push_back(text);
  }
  g_shuffle.resize(kItems);

  HWND tl = Make(TREELIST_CLASSNAME, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT);
  HWND lv = Make(WC_LISTVIEWA, LVS_REPORT);
  AddColumns(tl, TLM_INSERTCOLUMN);
  AddColumns(lv, LVM_INSERTCOLUMNA);
  g_direct = (WNDPROC)SendMessageA(tl, TLM_OPTION, TLO_DIRECTENTRY, 0);
  FillListView(lv);

  struct Case {
    const char* name;
    std::vector<std::string>* keys;
  } cases[] = {{"sort 100000 roots, distinct names", &g_names}, {"sort 100000 roots, ten values", &g_tenValues}};
  for (const Case& c : cases) {
    FillTreeList(tl, *c.keys);
    unsigned seed = 1;
    auto reshuffle = [&] {
      std::mt19937 r(seed++);
      for (int i = 0; i < kItems; ++i) g_shuffle[i] = i;
      std::shuffle(g_shuffle.begin(), g_shuffle.end(), r);
    };
    auto shuffleTl = [&] {
      reshuffle();
      TVSORTCB s = {TVI_ROOT, ByShuffle, 0};
      SendMessageA(tl, TVM_SORTCHILDRENCB, 0, (LPARAM)&s);
    };
    auto shuffleLv = [&] {
      reshuffle();
      SendMessageA(lv, LVM_SORTITEMS, 0, (LPARAM)ByShuffle);
    };
    double tlNs = MedianNs(shuffleTl, [&] {
      TVSORTCB s = {TVI_ROOT, ByColumn, (LPARAM)c.keys};
      SendMessageA(tl, TVM_SORTCHILDRENCB, 0, (LPARAM)&s);
    });
    if (!TreeListSorted(tl, *c.keys)) std::printf("%s: tree-list order WRONG\n", c.name);
    seed = 1;
    double lvNs = MedianNs(shuffleLv, [&] { SendMessageA(lv, LVM_SORTITEMS, (WPARAM)c.keys, (LPARAM)ByColumn); });
    bench::Report(c.name, tlNs, "LVM_SORTITEMS", lvNs);
    seed = 1;
    double exNs = MedianNs(shuffleTl, [&] {
      TLSORTCBEX s = {TVI_ROOT, ByCellText, 0};
      SendMessageA(tl, TLM_SORTCHILDRENEX, 0, (LPARAM)&s);
    });
    if (!TreeListSorted(tl, *c.keys)) std::printf("%s: 0x1168 order WRONG\n", c.name);
    std::string name = std::string(c.name) + ", 0x1168 reading cell texts in each compare";
    bench::Report(name.c_str(), exNs, "LVM_SORTITEMS", lvNs);
    seed = 1;
    double onceNs = MedianNs(shuffleTl, [&] {
      ReadCellKeys(tl);
      TLSORTCBEX s = {TVI_ROOT, ByCellKey, 0};
      SendMessageA(tl, TLM_SORTCHILDRENEX, 0, (LPARAM)&s);
      g_cellKeys.clear();
    });
    if (!TreeListSorted(tl, *c.keys)) std::printf("%s: 0x1168 keyed order WRONG\n", c.name);
    name = std::string(c.name) + ", 0x1168 reading cell texts once";
    bench::Report(name.c_str(), onceNs, "LVM_SORTITEMS", lvNs);
  }
  DestroyWindow(tl);
  DestroyWindow(lv);
  DestroyWindow(g_frame);
  return 0;
}
