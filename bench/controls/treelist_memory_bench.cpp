// Memory of the tree-list against the system controls: 100,000 items (1,000
// roots with 99 children each, "Item n"), private bytes added by the filled
// control, each kind in a process of its own. Then 20 rounds of filling and
// destroying: the private bytes after the last round against those after
// the first, which should not grow.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench.h"
#include "controls/treelist/treelist.h"

namespace {

const int kRoots = 1000, kChildren = 99, kColumns = 5, kRounds = 20;

void PumpIdle() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

HWND g_frame = nullptr;

HWND Make(const char* cls, DWORD style) {
  HWND hwnd = CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 400, 400, g_frame, (HMENU)1,
                              GetModuleHandleA(nullptr), nullptr);
  PumpIdle();
  return hwnd;
}

HTREEITEM Add(HWND hwnd, HTREEITEM parent, int n) {
  char text[16];
  std::snprintf(text, sizeof(text), "Item %d", n);
  TVINSERTSTRUCTA ins = {};
  ins.hParent = parent;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT;
  ins.item.pszText = text;
  return (HTREEITEM)SendMessageA(hwnd, TVM_INSERTITEMA, 0, (LPARAM)&ins);
}

// The four further cells of an item: its value's type, size, data, comment.
void FillCells(HWND hwnd, HTREEITEM h, int n) {
  char text[32];
  for (int c = 1; c < kColumns; ++c) {
    std::snprintf(text, sizeof(text), "cell %d of %d", c, n);
    TVITEMA item = {};
    item.mask = TLIF_CELL | TVIF_TEXT;
    item.hItem = h;
    item.cChildren = c;
    item.pszText = text;
    SendMessageA(hwnd, TVM_SETITEMA, 0, (LPARAM)&item);
  }
}

// A report list view of 100,000 rows with the same five texts.
HWND MakeReport() {
  HWND hwnd = Make(WC_LISTVIEWA, LVS_REPORT);
  for (int c = 0; c < kColumns; ++c) {
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = 80;
    col.pszText = (char*)"Column";
    SendMessageA(hwnd, LVM_INSERTCOLUMNA, c, (LPARAM)&col);
  }
  SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
  char text[32];
  for (int n = 0; n < kRoots * (kChildren + 1); ++n) {
    std::snprintf(text, sizeof(text), "Item %d", n);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = n;
    item.pszText = text;
    int at = (int)SendMessageA(hwnd, LVM_INSERTITEMA, 0, (LPARAM)&item);
    for (int c = 1; c < kColumns; ++c) {
      std::snprintf(text, sizeof(text), "cell %d of %d", c, n);
      item.iItem = at;
      item.iSubItem = c;
      SendMessageA(hwnd, LVM_SETITEMA, 0, (LPARAM)&item);
    }
  }
  SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
  PumpIdle();
  return hwnd;
}

// Kinds: "tree" SysTreeView32, "report" the report list view, "list1" the
// tree-list with one column, "list5" with five columns and their cells
// filled, "list5empty" five columns, the further cells left empty.
HWND MakeFilled(const std::string& kind) {
  if (kind == "report") return MakeReport();
  const DWORD treeStyle = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
  bool tree = kind == "tree";
  HWND hwnd = Make(tree ? WC_TREEVIEWA : TREELIST_CLASSNAME, treeStyle);
  int columns = kind == "list1" || tree ? 0 : kColumns;
  for (int c = 0; c < columns; ++c) {
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = 80;
    col.pszText = (char*)"Column";
    SendMessageA(hwnd, TLM_INSERTCOLUMN, c, (LPARAM)&col);
  }
  bool cells = kind == "list5";
  SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
  int n = 0;
  for (int r = 0; r < kRoots; ++r) {
    HTREEITEM root = Add(hwnd, TVI_ROOT, n);
    if (cells) FillCells(hwnd, root, n);
    ++n;
    for (int c = 0; c < kChildren; ++c, ++n) {
      HTREEITEM child = Add(hwnd, root, n);
      if (cells) FillCells(hwnd, child, n);
    }
  }
  SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
  PumpIdle();
  return hwnd;
}

// Prints the bytes the filled control added, and the growth of the private
// bytes from after the first destroy to after the last.
void Child(const std::string& kind) {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterTreeListClass(GetModuleHandleA(nullptr));
  g_frame = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 820, 720, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  // What a first control of the class sets up once is not the items' bytes.
  DestroyWindow(Make(kind == "tree" ? WC_TREEVIEWA : kind == "report" ? WC_LISTVIEWA : TREELIST_CLASSNAME, 0));
  PumpIdle();
  double before = (double)bench::PrivateBytes();
  HWND hwnd = MakeFilled(kind);
  double added = (double)bench::PrivateBytes() - before;
  DestroyWindow(hwnd);
  PumpIdle();
  double afterFirst = (double)bench::PrivateBytes();
  for (int round = 1; round < kRounds; ++round) {
    DestroyWindow(MakeFilled(kind));
    PumpIdle();
  }
  double afterLast = (double)bench::PrivateBytes();
  DestroyWindow(g_frame);
  bench::PrintNumbers({added, afterLast - afterFirst});
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* kind = bench::ChildArgs(argc, argv)) {
    Child(kind);
    return 0;
  }
  std::vector<double> tree = bench::RunChild("tree"), list1 = bench::RunChild("list1"),
                      list5 = bench::RunChild("list5"), list5empty = bench::RunChild("list5empty"),
                      report = bench::RunChild("report");
  if (tree.size() < 2 || list1.size() < 2 || list5.size() < 2 || list5empty.size() < 2 || report.size() < 2) {
    std::printf("treelist_memory_bench: a measuring run failed\n");
    return 1;
  }
  bench::ReportBytes("TreeList 100000 items memory", list1[0], "SysTreeView32", tree[0]);
  bench::ReportBytes("TreeList 5 columns, cells empty", list5empty[0], "SysTreeView32", tree[0]);
  bench::ReportBytes("TreeList 5 columns, cells filled", list5[0], "SysTreeView32", tree[0]);
  bench::ReportBytes("TreeList 5 columns, cells filled", list5[0], "report list view", report[0]);
  // Growth over the rounds against one filled control's bytes: 0 when
  // everything comes back.
  bench::ReportBytes("TreeList 20 fills, growth", list1[1], "one fill", list1[0]);
  bench::ReportBytes("TreeList 5 columns 20 fills, gr.", list5[1], "one fill", list5[0]);
  bench::ReportBytes("SysTreeView32 20 fills, growth", tree[1], "one fill", tree[0]);
  return 0;
}
