// Entry points whose behaviour comes with the items, columns, painting,
// selection, editing, tips and drag-and-drop code. Until then each answers
// the failure value its message promises, and holds no state of its own.
#include "controls/treelist/treelist_data.h"

LRESULT TreeListEndEdit(TreeListData*, int) { return 0; }
LRESULT TreeListTypeAhead(TreeListData*, UINT) { return 0; }

LRESULT TreeListOnKeyDown(TreeListData* data, WPARAM, LPARAM) {
  TreeListUnlock(data);
  return 0;
}

LRESULT TreeListOnPaste(TreeListData*) { return 0; }

LRESULT TreeListOnItemMessage(TreeListData*, UINT msg, WPARAM, LPARAM) {
  (void)msg;
  return 0;
}
