// The focus cell and subtree selection of multiple selection, and the
// answered item messages that have no handler elsewhere.
#include "controls/treelist/treelist_data.h"

namespace {

const WPARAM kSubtreeDeep = 0x1, kSubtreeUnselect = 0x2;

void SetFocusMark(TreeListData* data, TLHandle item, int column, bool on) {
  TreeListSetMarkFlag(data, item, column, kTLItemFocus, on);
}

void RepaintCaret(TreeListData* data, TLHandle item, int column) {
  if ((data->exStyle & TLS_EX_FOCUSROW) || column != 0)
    TreeListInvalidateItem(data, item);
  else
    TreeListInvalidateCell(data, item, 0);
}

// Pre-order step that never leaves the siblings of the start.
TLHandle NextInScope(TreeListData* data, TLHandle h, TLHandle boundary, bool deep) {
  TreeListItem* record = TreeListLookup(data, h);
  if (!record) return 0;
  if (deep && record->firstChild) return record->firstChild;
  while (record) {
    if (record->nextSibling) return record->nextSibling;
    if (!deep || record->parent == boundary) return 0;
    record = TreeListLookup(data, record->parent);
  }
  return 0;
}

}  // namespace

void TreeListClearFocusCell(TreeListData* data) {
  TLHandle item = data->focusCellItem;
  int column = data->focusCellColumn;
  data->focusCellItem = 0;
  data->focusCellColumn = 0;
  SetFocusMark(data, item, column, false);
}

void TreeListMoveFocusCell(TreeListData* data, TLHandle item, int column) {
  if (!(data->exStyle & TLS_EX_CELLCARET)) column = 0;
  if (item == data->focusCellItem && column == data->focusCellColumn) return;
  TreeListClearFocusCell(data);
  if (!TreeListLookup(data, item)) return;
  data->focusCellItem = item;
  data->focusCellColumn = column;
  // The mark only means something beside a multiple selection.
  if (data->exStyle & TLS_EX_MULTISELECT) SetFocusMark(data, item, column, true);
}

LRESULT TreeListSetFocusCell(TreeListData* data, UINT_PTR item, int column) {
  TLHandle current = data->focusCellItem ? data->focusCellItem : data->caretItem;
  int currentColumn = data->focusCellItem ? data->focusCellColumn : data->caretColumn;
  if (item == (UINT_PTR)-1) item = current;
  if (column == -1) column = currentColumn;
  if (!item) {
    TreeListClearFocusCell(data);
    return 1;
  }
  if (!TreeListLookup(data, item)) return 0;
  if (!(data->exStyle & TLS_EX_CELLCARET)) column = 0;
  if (column < 0 || (column > 0 && column >= data->columnCount)) return 0;
  if (!(data->exStyle & TLS_EX_MULTISELECT)) return TreeListSelectItem(data, item, column, TVC_UNKNOWN) ? 1 : 0;
  TreeListClearFocusCell(data);
  SetFocusMark(data, (TLHandle)item, column, true);
  data->focusCellItem = (TLHandle)item;
  data->focusCellColumn = column;
  TreeListItem* record = TreeListLookup(data, item);
  if (record && (record->state & TVIS_SELECTED)) {
    if (TreeListLookup(data, data->caretItem)) RepaintCaret(data, data->caretItem, data->caretColumn);
    data->caretItem = (TLHandle)item;
    data->caretColumn = column;
  }
  RepaintCaret(data, (TLHandle)item, column);
  return 1;
}

LRESULT TreeListSelectSubtree(TreeListData* data, UINT_PTR start, WPARAM how) {
  if (!(data->exStyle & TLS_EX_MULTISELECT)) return 0;
  if (start == (UINT_PTR)TVI_ROOT) start = data->firstRoot;
  TreeListItem* record = TreeListLookup(data, start);
  if (!record) return start == data->firstRoot && !start ? 1 : 0;
  TLHandle boundary = record->parent;
  bool deep = (how & kSubtreeDeep) != 0;
  bool want = !(how & kSubtreeUnselect);
  // Links are read again after each toggle: the parent may change the tree.
  for (TLHandle h = (TLHandle)start; h; h = NextInScope(data, h, boundary, deep)) {
    record = TreeListLookup(data, h);
    if (record && ((record->state & TVIS_SELECTED) != 0) != want) TreeListSetItemSelected(data, h, 0);
  }
  return 1;
}

LRESULT TreeListOnSetFocusCell(TreeListData* data, WPARAM column, LPARAM item) {
  TreeListLocked lock(data);
  return TreeListSetFocusCell(data, (UINT_PTR)item, (int)column);
}

LRESULT TreeListOnSelectSubtree(TreeListData* data, WPARAM select, LPARAM item) {
  TreeListLocked lock(data);
  return TreeListSelectSubtree(data, (UINT_PTR)item, select);
}

void TreeListSetMarkFlag(TreeListData* data, TLHandle item, int column, BYTE flag, bool on) {
  TreeListItem* record = TreeListLookup(data, item);
  if (!record) return;
  BYTE* flags = &record->itemFlags;
  if (column > 0) {
    TreeListCell* cell = TreeListGetCell(data, item, column, on);
    if (!cell) return;
    flags = &cell->cellFlags;
  }
  if (on)
    *flags |= flag;
  else
    *flags &= (BYTE)~flag;
  TreeListInvalidateCell(data, item, column);
}

bool TreeListTakeFocusForInput(TreeListData* data) {
  HWND hwnd = data->window;
  if (data->enabled && GetFocus() != hwnd) {
    {
      TreeListUnlocked unlocked(data);
      SetFocus(hwnd);
    }
    if (GetFocus() == hwnd) return true;
  } else if (data->enabled) {
    return true;
  }
  return false;
}
