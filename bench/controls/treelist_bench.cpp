// The tree-list against the system controls, both visible with the
// program's manifest: bulk steps run inside WM_SETREDRAW FALSE/TRUE and
// then pump until idle. Trees of 1,000 roots with 99 children each, and
// 100,000 flat roots; one screen painted by WM_PRINTCLIENT into a DIB.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "bench.h"
#include "controls/treelist/treelist.h"

namespace {

const int kRoots = 1000, kChildren = 99, kFlat = 100000;

void PumpIdle() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

HWND g_frame = nullptr;

HWND Make(const char* cls, DWORD style, int w = 400, int h = 400) {
  HWND hwnd = CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, w, h, g_frame, (HMENU)1,
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

template <typename F>
void Bulk(HWND hwnd, F step) {
  SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
  step();
  SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
  PumpIdle();
}

void Clear(HWND hwnd) {
  Bulk(hwnd, [&] { SendMessageA(hwnd, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT); });
}

std::vector<HTREEITEM> FillTree(HWND hwnd) {
  std::vector<HTREEITEM> roots;
  Bulk(hwnd, [&] {
    for (int r = 0; r < kRoots; ++r) {
      HTREEITEM root = Add(hwnd, TVI_ROOT, r);
      roots.push_back(root);
      for (int c = 0; c < kChildren; ++c) Add(hwnd, root, c);
    }
  });
  return roots;
}

void FillFlat(HWND hwnd) {
  Bulk(hwnd, [&] {
    for (int i = 0; i < kFlat; ++i) Add(hwnd, TVI_ROOT, i);
  });
}

void PageDowns(HWND hwnd) {
  for (int i = 0; i < 200; ++i) {
    SendMessageA(hwnd, WM_VSCROLL, SB_PAGEDOWN, 0);
    UpdateWindow(hwnd);
  }
  SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
  UpdateWindow(hwnd);
}

// One screen of the control painted into a 32-bit DIB.
struct Screen {
  HDC dc;
  HBITMAP bmp;
  HGDIOBJ old;
  Screen(int w, int h) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits;
    dc = CreateCompatibleDC(nullptr);
    bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bmp);
  }
  ~Screen() {
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  void Print(HWND hwnd) {
    SendMessageA(hwnd, WM_PRINTCLIENT, (WPARAM)dc, PRF_CLIENT);
    GdiFlush();
  }
};

}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterTreeListClass(GetModuleHandleA(nullptr));
  g_frame = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 820, 720, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  const DWORD treeStyle = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
  HWND tl = Make(TREELIST_CLASSNAME, treeStyle);
  HWND tv = Make(WC_TREEVIEWA, treeStyle);

  // Inserts, redraw off.
  bench::Compare(
      "insert 1000x99", [&] { FillTree(tl), Clear(tl); }, "SysTreeView32", [&] { FillTree(tv), Clear(tv); }, 1, 3);
  bench::Compare(
      "insert 100000 flat", [&] { FillFlat(tl), Clear(tl); }, "SysTreeView32", [&] { FillFlat(tv), Clear(tv); }, 1, 3);

  std::vector<HTREEITEM> tlRoots = FillTree(tl), tvRoots = FillTree(tv);
  auto perParent = [](HWND hwnd, std::vector<HTREEITEM>& roots, UINT code) {
    for (HTREEITEM root : roots) SendMessageA(hwnd, TVM_EXPAND, code, (LPARAM)root);
  };
  bench::Compare(
      "expand+collapse 1000x99",
      [&] {
        Bulk(tl, [&] { perParent(tl, tlRoots, TVE_EXPAND); });
        Bulk(tl, [&] { perParent(tl, tlRoots, TVE_COLLAPSE); });
      },
      "SysTreeView32",
      [&] {
        Bulk(tv, [&] { perParent(tv, tvRoots, TVE_EXPAND); });
        Bulk(tv, [&] { perParent(tv, tvRoots, TVE_COLLAPSE); });
      },
      1, 3);
  bench::Compare(
      "expand all in one message",
      [&] {
        Bulk(tl, [&] { SendMessageA(tl, TVM_EXPAND, TVE_EXPAND | TLE_SUBTREES, (LPARAM)TVI_ROOT); });
        Bulk(tl, [&] { perParent(tl, tlRoots, TVE_COLLAPSE); });
      },
      "SysTreeView32 per parent",
      [&] {
        Bulk(tv, [&] { perParent(tv, tvRoots, TVE_EXPAND); });
        Bulk(tv, [&] { perParent(tv, tvRoots, TVE_COLLAPSE); });
      },
      1, 3);

  Bulk(tl, [&] { perParent(tl, tlRoots, TVE_EXPAND); });
  Bulk(tv, [&] { perParent(tv, tvRoots, TVE_EXPAND); });
  bench::Compare(
      "200 page-downs 1000x99", [&] { PageDowns(tl); }, "SysTreeView32", [&] { PageDowns(tv); }, 1, 3);

  // Caseless find of the last "Item 98" (the last item in tree order)
  // against a walk reading every text.
  bench::Compare(
      "find last item caseless",
      [&] {
        TreeListFindInfo info = {};
        info.flags = TLFI_TEXT | TLFI_NOCASE | TLFI_TREE;
        info.text = "item 98";
        LRESULT last = 0;
        for (LRESULT h = SendMessageA(tl, TLM_FINDITEM, (WPARAM)TVI_ROOT, (LPARAM)&info); h;
             h = SendMessageA(tl, TLM_FINDITEM, (WPARAM)h, (LPARAM)&info))
          last = h;
        bench::Sink(last);
      },
      "TVM_GETNEXTITEM walk",
      [&] {
        char text[32];
        HTREEITEM found = nullptr;
        for (HTREEITEM h = (HTREEITEM)SendMessageA(tv, TVM_GETNEXTITEM, TVGN_ROOT, 0); h;) {
          TVITEMA item = {};
          item.mask = TVIF_TEXT;
          item.hItem = h;
          item.pszText = text;
          item.cchTextMax = sizeof(text);
          SendMessageA(tv, TVM_GETITEMA, 0, (LPARAM)&item);
          if (!_stricmp(text, "item 98")) found = h;
          HTREEITEM next = (HTREEITEM)SendMessageA(tv, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)h);
          if (!next) next = (HTREEITEM)SendMessageA(tv, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)h);
          for (HTREEITEM up = h; !next && up;) {
            up = (HTREEITEM)SendMessageA(tv, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)up);
            if (up) next = (HTREEITEM)SendMessageA(tv, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)up);
          }
          h = next;
        }
        bench::Sink((long long)(INT_PTR)found);
      },
      1, 3);

  // Ensure-visible into a collapsed root.
  Bulk(tl, [&] { perParent(tl, tlRoots, TVE_COLLAPSE); });
  Bulk(tv, [&] { perParent(tv, tvRoots, TVE_COLLAPSE); });
  HTREEITEM tlTarget = (HTREEITEM)SendMessageA(tl, TVM_GETNEXTITEM, 18, (LPARAM)tlRoots[kRoots / 2]);
  HTREEITEM tvTarget = (HTREEITEM)SendMessageA(tv, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)tvRoots[kRoots / 2]);
  for (HTREEITEM next; (next = (HTREEITEM)SendMessageA(tv, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)tvTarget));)
    tvTarget = next;
  auto ensure = [](HWND hwnd, HTREEITEM target, HTREEITEM root) {
    SendMessageA(hwnd, TVM_ENSUREVISIBLE, 0, (LPARAM)target);
    UpdateWindow(hwnd);
    SendMessageA(hwnd, TVM_EXPAND, TVE_COLLAPSE, (LPARAM)root);
    PumpIdle();
  };
  bench::Compare(
      "ensure-visible collapsed", [&] { ensure(tl, tlTarget, tlRoots[kRoots / 2]); }, "SysTreeView32",
      [&] { ensure(tv, tvTarget, tvRoots[kRoots / 2]); }, 3, 3);
  DestroyWindow(tl);
  DestroyWindow(tv);

  // 100,000 flat roots.
  tl = Make(TREELIST_CLASSNAME, treeStyle);
  tv = Make(WC_TREEVIEWA, treeStyle);
  FillFlat(tl);
  FillFlat(tv);
  bench::Compare(
      "200 page-downs 100000 flat", [&] { PageDowns(tl); }, "SysTreeView32", [&] { PageDowns(tv); }, 1, 3);
  DestroyWindow(tl);
  DestroyWindow(tv);

  // One screen, mid-list, 763 x 650: a tree, then five columns.
  tl = Make(TREELIST_CLASSNAME, treeStyle, 763, 650);
  tv = Make(WC_TREEVIEWA, treeStyle, 763, 650);
  tlRoots = FillTree(tl);
  tvRoots = FillTree(tv);
  Bulk(tl, [&] { perParent(tl, tlRoots, TVE_EXPAND); });
  Bulk(tv, [&] { perParent(tv, tvRoots, TVE_EXPAND); });
  SendMessageA(tl, TVM_SELECTITEM, TVGN_FIRSTVISIBLE,
               SendMessageA(tl, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)tlRoots[kRoots / 2]));
  SendMessageA(tv, TVM_SELECTITEM, TVGN_FIRSTVISIBLE,
               SendMessageA(tv, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)tvRoots[kRoots / 2]));
  {
    Screen screen(763, 650);
    bench::Compare(
        "paint one screen tree", [&] { screen.Print(tl); }, "SysTreeView32", [&] { screen.Print(tv); }, 5, 3);
  }
  DestroyWindow(tl);
  DestroyWindow(tv);

  tl = Make(TREELIST_CLASSNAME, 0, 763, 650);
  HWND lv = Make(WC_LISTVIEWA, LVS_REPORT, 763, 650);
  for (int c = 0; c < 5; ++c) {
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = 150;
    col.pszText = (char*)"Column";
    SendMessageA(tl, TLM_INSERTCOLUMN, c, (LPARAM)&col);
    SendMessageA(lv, LVM_INSERTCOLUMNA, c, (LPARAM)&col);
  }
  const int kListRows = 200;
  Bulk(tl, [&] {
    for (int r = 0; r < kListRows; ++r) {
      HTREEITEM h = Add(tl, TVI_ROOT, r);
      for (int c = 1; c < 5; ++c) {
        TVITEMA item = {};
        item.mask = TLIF_CELL | TVIF_TEXT;
        item.hItem = h;
        item.cChildren = c;
        item.pszText = (char*)"cell text";
        SendMessageA(tl, TVM_SETITEMA, 0, (LPARAM)&item);
      }
    }
  });
  Bulk(lv, [&] {
    for (int r = 0; r < kListRows; ++r) {
      LVITEMA item = {};
      item.mask = LVIF_TEXT;
      item.iItem = r;
      item.pszText = (char*)"Item";
      int at = (int)SendMessageA(lv, LVM_INSERTITEMA, 0, (LPARAM)&item);
      for (int c = 1; c < 5; ++c) {
        item.iItem = at;
        item.iSubItem = c;
        item.pszText = (char*)"cell text";
        SendMessageA(lv, LVM_SETITEMA, 0, (LPARAM)&item);
      }
    }
  });
  {
    Screen screen(763, 650);
    bench::Compare(
        "paint one screen 5 columns", [&] { screen.Print(tl); }, "report list view", [&] { screen.Print(lv); }, 5, 3);
  }
  DestroyWindow(tl);
  DestroyWindow(lv);
  DestroyWindow(g_frame);
  return 0;
}
