// Entry points whose behaviour comes with the items, columns, painting,
// selection, editing, tips and drag-and-drop code. Until then each answers
// the failure value its message promises, and holds no state of its own.
#include "controls/treelist/treelist_data.h"

// Single selection without notifications: the caret carries the selected
// state. Selection proper comes with the mouse and keyboard code.
LRESULT TreeListSelectItem(TreeListData* data, UINT_PTR item, int column, UINT) {
  TreeListItem* record = TreeListLookup(data, item);
  if (!record) return 0;
  if (TreeListItem* old = TreeListLookup(data, data->caretItem)) {
    if (old->state & TVIS_SELECTED) {
      old->state &= ~TVIS_SELECTED;
      --data->selectedCount;
    }
    TreeListInvalidateItem(data, data->caretItem);
  }
  data->caretItem = (TLHandle)item;
  data->caretColumn = column;
  if (!(record->state & TVIS_SELECTED)) {
    record->state |= TVIS_SELECTED;
    ++data->selectedCount;
  }
  TreeListInvalidateItem(data, data->caretItem);
  return 1;
}

LRESULT TreeListUnselectItem(TreeListData* data, UINT_PTR item) {
  TreeListItem* record = TreeListLookup(data, item);
  if (!record) return 0;
  if (record->state & TVIS_SELECTED) {
    record->state &= ~TVIS_SELECTED;
    --data->selectedCount;
  }
  if (data->caretItem == item) data->caretItem = 0, data->caretColumn = 0;
  TreeListInvalidateItem(data, (TLHandle)item);
  return 1;
}

LRESULT TreeListEndEdit(TreeListData*, int) { return 0; }
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

LRESULT TreeListOnButtonDown(TreeListData* data, UINT, WPARAM, LPARAM) {
  TreeListUnlock(data);
  return 0;
}

LRESULT TreeListOnButtonUp(TreeListData*, UINT, WPARAM, LPARAM) { return 0; }
LRESULT TreeListOnMouseMove(TreeListData*, WPARAM, LPARAM) { return 0; }
LRESULT TreeListOnMouseLeave(TreeListData*) { return 0; }
LRESULT TreeListOnTipTimer(TreeListData*) { return 0; }
LRESULT TreeListOnPaste(TreeListData*) { return 0; }

LRESULT TreeListOnItemMessage(TreeListData*, UINT msg, WPARAM, LPARAM) {
  (void)msg;
  return 0;
}
