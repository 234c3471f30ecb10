// The wrapper's sort members: each sends its message with the recurse flag
// and a record built from its arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/treelist/treelistctrl.h"
#include "mfc/wnd.h"

namespace {

struct SortSent {
  UINT msg;
  WPARAM recurse;
  HTREEITEM parent;
  void* compare;
  LPARAM lParam;
};
std::vector<SortSent> g_sorts;
WNDPROC g_next = nullptr;

LRESULT CALLBACK Recorder(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == TVM_SORTCHILDREN) g_sorts.push_back({msg, wp, (HTREEITEM)lp, nullptr, 0});
  if ((msg == TVM_SORTCHILDRENCB || msg == TLM_SORTCHILDRENEX) && lp) {
    const TVSORTCB* s = (const TVSORTCB*)lp;
    g_sorts.push_back({msg, wp, s->hParent, (void*)s->lpfnCompare, s->lParam});
  }
  return CallWindowProcA(g_next, hwnd, msg, wp, lp);
}

int CALLBACK Descending(LPARAM a, LPARAM b, LPARAM) { return (int)(b - a); }
int CALLBACK DescendingEx(HWND, HTREEITEM, HTREEITEM, LPARAM a, LPARAM b, LPARAM) { return (int)(b - a); }

TEST(TreeListCtrlSort, MembersSendTheirRecords) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND parentHwnd = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 400, 300, nullptr,
                                    nullptr, instance, nullptr);
  CWnd parent;
  parent.Attach(parentHwnd);
  CTreeListCtrl tree;
  RECT rc = {0, 0, 300, 200};
  ASSERT_TRUE(tree.Create(0, WS_VISIBLE | TVS_HASBUTTONS, rc, &parent, 9));
  HTREEITEM top = tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "top", 0, 0, 0, 0, 1, TVI_ROOT, TVI_LAST);
  tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "b", 0, 0, 0, 0, 2, TVI_ROOT, TVI_LAST);
  HTREEITEM inner = tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "inner", 0, 0, 0, 0, 3, top, TVI_LAST);
  tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "y", 0, 0, 0, 0, 4, top, TVI_LAST);
  tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "x", 0, 0, 0, 0, 5, top, TVI_LAST);
  g_sorts.clear();
  g_next = (WNDPROC)SetWindowLongPtrA(tree.m_hWnd, GWLP_WNDPROC, (LONG_PTR)Recorder);

  EXPECT_TRUE(tree.SortChildren(top, TRUE));
  EXPECT_EQ(tree.GetItemText(tree.GetChildItem(top)), "inner");
  TVSORTCB cb = {TVI_ROOT, Descending, 77};
  EXPECT_TRUE(tree.SortChildrenCB(&cb, FALSE));
  EXPECT_EQ(tree.GetItemData(tree.GetRootItem()), 2u);
  EXPECT_TRUE(tree.SortChildrenEx(top, DescendingEx, 88));
  EXPECT_EQ(tree.GetItemData(tree.GetChildItem(top)), 5u);
  EXPECT_TRUE(tree.SortChildren(top)) << "CTreeCtrl's own form";
  EXPECT_FALSE(tree.SortChildrenEx(nullptr, DescendingEx, 0));
  (void)inner;

  ASSERT_EQ(g_sorts.size(), 5u);
  EXPECT_EQ(g_sorts[0].msg, (UINT)TVM_SORTCHILDREN);
  EXPECT_EQ(g_sorts[0].recurse, 1u);
  EXPECT_EQ(g_sorts[0].parent, top);
  EXPECT_EQ(g_sorts[1].msg, (UINT)TVM_SORTCHILDRENCB);
  EXPECT_EQ(g_sorts[1].recurse, 0u);
  EXPECT_EQ(g_sorts[1].compare, (void*)Descending);
  EXPECT_EQ(g_sorts[1].lParam, 77);
  EXPECT_EQ(g_sorts[2].msg, TLM_SORTCHILDRENEX);
  EXPECT_EQ(g_sorts[2].recurse, 0u);
  EXPECT_EQ(g_sorts[2].parent, top);
  EXPECT_EQ(g_sorts[2].compare, (void*)DescendingEx);
  EXPECT_EQ(g_sorts[2].lParam, 88);
  EXPECT_EQ(g_sorts[3].recurse, 0u);
  tree.DestroyWindow();
  parent.Detach();
  DestroyWindow(parentHwnd);
}

}  // namespace
