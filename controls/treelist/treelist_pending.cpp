// Entry points whose behaviour comes with the items, columns, painting,
// selection, editing, tips and drag-and-drop code. Until then each answers
// the failure value its message promises, and holds no state of its own.
#include "controls/treelist/treelist_data.h"

LRESULT TreeListTypeAhead(TreeListData*, UINT) { return 0; }
LRESULT TreeListDropTarget(TreeListData*, UINT, POINT) { return 0; }

void TreeListCreateToolTip(TreeListData*) {}
void TreeListHideTip(TreeListData*) {}
void TreeListCreateCheckImages(TreeListData*, int) {}
LRESULT TreeListOnToolTipNotify(TreeListData*, NMHDR*) { return 0; }

LRESULT TreeListOnKeyDown(TreeListData* data, WPARAM, LPARAM) {
  TreeListUnlock(data);
  return 0;
}

LRESULT TreeListOnMouseMove(TreeListData*, WPARAM, LPARAM) { return 0; }
LRESULT TreeListOnMouseLeave(TreeListData*) { return 0; }
LRESULT TreeListOnTipTimer(TreeListData*) { return 0; }

LRESULT TreeListOnItemMessage(TreeListData*, UINT msg, WPARAM, LPARAM) {
  (void)msg;
  return 0;
}
