// The tree-list against the system tree-view, both 400 x 400 and visible:
// bulk steps run inside WM_SETREDRAW FALSE/TRUE and then pump until idle.
// Trees of 1,000 roots with 99 children each, and 100,000 flat roots.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench.h"
#include "controls/treelist/treelist_data.h"

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

HWND Make(const char* cls, DWORD style) {
  HWND hwnd = CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 400, 400, g_frame, (HMENU)1,
                              GetModuleHandleA(nullptr), nullptr);
  PumpIdle();
  return hwnd;
}

// Items linked straight into the tree-list's tables (its inserts come with
// the item store); the tree-view gets ordinary inserts. Neither is timed.
struct TreeListFill {
  TreeListData* d;
  explicit TreeListFill(HWND hwnd) : d(TreeListGetData(hwnd)) {}
  void Reserve(UINT n) {
    d->items = (TreeListItem**)realloc(d->items, (n + 1) * sizeof(TreeListItem*));
    d->rows = (TLHandle*)realloc(d->rows, (n + 1) * sizeof(TLHandle));
    for (UINT i = d->capacity + 1; i <= n; ++i) d->items[i] = nullptr;
    for (UINT i = d->capacity; i <= n; ++i) d->rows[i] = 0;
    d->capacity = n;
  }
  TLHandle Add(TLHandle parent) {
    TLHandle h = ++d->lastHandle;
    TreeListItem* item = (TreeListItem*)calloc(1, sizeof(TreeListItem));
    item->text = (char*)calloc(1, 12);
    item->textLength = (UINT)std::snprintf(item->text, 12, "Item %u", h);
    item->image = item->selectedImage = -2;
    item->parent = parent;
    item->itemFlags = kTLItemChildrenReal;
    d->items[h] = item;
    TLHandle* first = parent ? &d->items[parent]->firstChild : &d->firstRoot;
    TLHandle* last = parent ? &d->items[parent]->lastChild : &d->lastRoot;
    if (parent) {
      item->level = 1;
      d->items[parent]->itemFlags |= kTLItemHasChildren;
    }
    item->prevSibling = *last;
    if (*last)
      d->items[*last]->nextSibling = h;
    else
      *first = h;
    *last = h;
    ++d->itemCount;
    return h;
  }
  void Done() {
    TreeListLock(d);
    TreeListRebuildRows(d, 0);
    TreeListUnlock(d);
    PumpIdle();
  }
};

HTREEITEM TvAdd(HWND tv, HTREEITEM parent, int n) {
  char text[16];
  std::snprintf(text, sizeof(text), "Item %d", n);
  TVINSERTSTRUCTA ins = {};
  ins.hParent = parent;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT;
  ins.item.pszText = text;
  return (HTREEITEM)SendMessageA(tv, TVM_INSERTITEMA, 0, (LPARAM)&ins);
}

template <typename F>
void Bulk(HWND hwnd, F step) {
  SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
  step();
  SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
  PumpIdle();
}

void PageDowns(HWND hwnd) {
  for (int i = 0; i < 200; ++i) {
    SendMessageA(hwnd, WM_VSCROLL, SB_PAGEDOWN, 0);
    UpdateWindow(hwnd);
  }
  SendMessageA(hwnd, WM_VSCROLL, SB_TOP, 0);
  SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
  UpdateWindow(hwnd);
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterTreeListClass(GetModuleHandleA(nullptr));
  g_frame = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 440, 460, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  const DWORD treeStyle = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;

  // 1,000 roots with 99 children each.
  HWND tl = Make(TREELIST_CLASSNAME, treeStyle);
  HWND tv = Make(WC_TREEVIEWA, treeStyle);
  TreeListFill fill(tl);
  fill.Reserve(kRoots * (kChildren + 1));
  std::vector<TLHandle> tlRoots;
  std::vector<HTREEITEM> tvRoots;
  SendMessageA(tv, WM_SETREDRAW, FALSE, 0);
  for (int r = 0; r < kRoots; ++r) {
    TLHandle root = fill.Add(0);
    HTREEITEM tvRoot = TvAdd(tv, TVI_ROOT, r);
    tlRoots.push_back(root);
    tvRoots.push_back(tvRoot);
    for (int c = 0; c < kChildren; ++c) {
      fill.Add(root);
      TvAdd(tv, tvRoot, c);
    }
  }
  SendMessageA(tv, WM_SETREDRAW, TRUE, 0);
  fill.Done();

  auto expandAll = [](HWND hwnd, auto& roots, UINT code) {
    for (auto root : roots) SendMessageA(hwnd, TVM_EXPAND, code, (LPARAM)root);
  };
  bench::Compare(
      "expand+collapse 1000x99",
      [&] {
        Bulk(tl, [&] { expandAll(tl, tlRoots, TVE_EXPAND); });
        Bulk(tl, [&] { expandAll(tl, tlRoots, TVE_COLLAPSE); });
      },
      "SysTreeView32",
      [&] {
        Bulk(tv, [&] { expandAll(tv, tvRoots, TVE_EXPAND); });
        Bulk(tv, [&] { expandAll(tv, tvRoots, TVE_COLLAPSE); });
      },
      1, 3);

  Bulk(tl, [&] { expandAll(tl, tlRoots, TVE_EXPAND); });
  Bulk(tv, [&] { expandAll(tv, tvRoots, TVE_EXPAND); });
  bench::Compare(
      "200 page-downs 1000x99", [&] { PageDowns(tl); }, "SysTreeView32", [&] { PageDowns(tv); }, 1, 3);
  Bulk(tl, [&] { expandAll(tl, tlRoots, TVE_COLLAPSE); });
  Bulk(tv, [&] { expandAll(tv, tvRoots, TVE_COLLAPSE); });

  // The last child of a collapsed root in the middle, brought into view.
  TLHandle tlTarget = TreeListGetData(tl)->items[tlRoots[kRoots / 2]]->lastChild;
  HTREEITEM tvTarget = (HTREEITEM)SendMessageA(tv, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)tvRoots[kRoots / 2]);
  for (HTREEITEM next; (next = (HTREEITEM)SendMessageA(tv, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)tvTarget));)
    tvTarget = next;
  bench::Compare(
      "ensure-visible collapsed",
      [&] {
        SendMessageA(tl, TVM_ENSUREVISIBLE, 0, (LPARAM)tlTarget);
        UpdateWindow(tl);
        SendMessageA(tl, TVM_EXPAND, TVE_COLLAPSE, (LPARAM)tlRoots[kRoots / 2]);
        PumpIdle();
      },
      "SysTreeView32",
      [&] {
        SendMessageA(tv, TVM_ENSUREVISIBLE, 0, (LPARAM)tvTarget);
        UpdateWindow(tv);
        SendMessageA(tv, TVM_EXPAND, TVE_COLLAPSE, (LPARAM)tvRoots[kRoots / 2]);
        PumpIdle();
      },
      3, 3);
  DestroyWindow(tl);
  DestroyWindow(tv);

  // 100,000 flat roots.
  tl = Make(TREELIST_CLASSNAME, treeStyle);
  tv = Make(WC_TREEVIEWA, treeStyle);
  TreeListFill flat(tl);
  flat.Reserve(kFlat);
  SendMessageA(tv, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < kFlat; ++i) {
    flat.Add(0);
    TvAdd(tv, TVI_ROOT, i);
  }
  SendMessageA(tv, WM_SETREDRAW, TRUE, 0);
  flat.Done();
  PumpIdle();
  bench::Compare(
      "200 page-downs 100000 flat", [&] { PageDowns(tl); }, "SysTreeView32", [&] { PageDowns(tv); }, 1, 3);
  DestroyWindow(tl);
  DestroyWindow(tv);
  DestroyWindow(g_frame);
  return 0;
}
