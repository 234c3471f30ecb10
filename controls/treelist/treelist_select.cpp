// Selection (single and multiple) and the mouse buttons. Every
// notification is sent with the lock left; records are looked up again
// afterwards because the parent may delete them meanwhile.
#include <cstring>

#include "controls/treelist/treelist_data.h"

namespace {

const UINT kSelectActionMask = 0x3FFF;
const UINT kSelectUnselect = 0x4000;
// Record masks of the selection and click notifications.
const UINT kSelectRecordMask = kTLRecordMask;
const UINT kClickRecordMask = TLIF_CLICK | TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
// Item bits a cell's state is shown with.
const UINT kItemBitsInCell = 0xE2;
// Hit bits of the item area and the cell area.
const UINT kItemArea = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;
const UINT kCellAreaFullRow = kTLHitCellArea | kTLHitBesideCellText;

bool Multi(const TreeListData* data) { return (data->exStyle & TLS_EX_MULTISELECT) != 0; }

void Describe(TreeListData* data, TVITEMA* tv, UINT mask, TLHandle handle, int column) {
  memset(tv, 0, sizeof(*tv));
  tv->mask = mask;
  tv->hItem = (HTREEITEM)(UINT_PTR)handle;
  tv->cChildren = column;
  TreeListItem* record = TreeListLookup(data, handle);
  if (!record) return;
  tv->state = record->state;
  if (column > 0) {
    TreeListCell* cell = TreeListGetCell(data, handle, column, false);
    tv->state = (record->state & kItemBitsInCell) | (cell ? cell->state : 0);
  }
  tv->stateMask = (UINT)-1;
  tv->pszText = LPSTR_TEXTCALLBACKA;
  tv->cchTextMax = -1;
  tv->lParam = record->lParam;
}

void RepaintSelection(TreeListData* data, TLHandle item, int column) {
  if ((data->exStyle & TLS_EX_FOCUSROW) || column != 0)
    TreeListInvalidateItem(data, item);
  else
    TreeListInvalidateCell(data, item, 0);
}

void SetSelected(TreeListData* data, TreeListItem* record, bool on) {
  bool was = (record->state & TVIS_SELECTED) != 0;
  if (was == on) return;
  if (on) {
    record->state |= TVIS_SELECTED;
    ++data->selectedCount;
  } else {
    record->state &= ~TVIS_SELECTED;
    --data->selectedCount;
  }
}

}  // namespace

LRESULT TreeListSetItemSelected(TreeListData* data, TLHandle item, UINT action) {
  if (!TreeListLookup(data, item) || item == data->caretItem) return 0;
  NMTREEVIEWA nm = {};
  nm.hdr.code = TVN_SELCHANGINGA;
  nm.action = action;
  nm.itemOld.mask = kSelectRecordMask;
  Describe(data, &nm.itemNew, kSelectRecordMask, item, 0);
  if (TreeListNotifyUnlocked(data, &nm.hdr)) return 0;
  TreeListItem* record = TreeListLookup(data, item);
  if (!record) return 0;
  SetSelected(data, record, !(record->state & TVIS_SELECTED));
  nm.hdr.code = TVN_SELCHANGEDA;
  Describe(data, &nm.itemNew, kSelectRecordMask, item, 0);
  TreeListNotifyUnlocked(data, &nm.hdr);
  if (TreeListLookup(data, item)) RepaintSelection(data, item, 0);
  return 1;
}

LRESULT TreeListSelectItem(TreeListData* data, UINT_PTR item, int column, UINT flags) {
  if (column != 0 && column >= data->columnCount) return 0;
  if (item && !TreeListLookup(data, item)) return 0;
  if (!(data->exStyle & TLS_EX_CELLCARET)) column = 0;
  bool multi = Multi(data);
  if (item == data->caretItem && column == data->caretColumn && !(multi && data->selectedCount > 1)) return 1;
  TLHandle previous = data->caretItem;
  // 0x800000 tells the parent the item was selected already.
  UINT action = flags & (kSelectActionMask | 0x800000);
  bool clearOthers = (flags & kTLSelectClearOthers) != 0;
  if (multi && clearOthers) {
    for (TLHandle h = data->lastHandle; h > 0; --h) {
      if (h == item || h == data->caretItem) continue;
      TreeListItem* record = TreeListLookup(data, h);
      if (record && (record->state & TVIS_SELECTED)) TreeListSetItemSelected(data, h, action);
    }
    if (item && !TreeListLookup(data, item)) return 0;
  }
  bool dropOld = !multi || clearOthers;
  TLHandle old = dropOld ? data->caretItem : 0;
  int oldColumn = dropOld ? data->caretColumn : 0;
  NMTREEVIEWA nm = {};
  nm.hdr.code = TVN_SELCHANGINGA;
  nm.action = action;
  Describe(data, &nm.itemOld, kSelectRecordMask, old, oldColumn);
  Describe(data, &nm.itemNew, kSelectRecordMask, (TLHandle)item, column);
  if (TreeListNotifyUnlocked(data, &nm.hdr)) return 0;
  if (item && !TreeListLookup(data, item)) return 0;
  if (TreeListItem* oldRecord = TreeListLookup(data, data->caretItem)) {
    if (dropOld && data->caretItem != item) SetSelected(data, oldRecord, false);
    RepaintSelection(data, data->caretItem, data->caretColumn);
  }
  if (TreeListItem* record = TreeListLookup(data, item)) {
    SetSelected(data, record, !(flags & kSelectUnselect));
    if (column > 0) TreeListGetCell(data, (TLHandle)item, column, true);
    RepaintSelection(data, (TLHandle)item, column);
  }
  data->caretItem = (TLHandle)item;
  data->caretColumn = item ? column : 0;
  nm.hdr.code = TVN_SELCHANGEDA;
  Describe(data, &nm.itemOld, kSelectRecordMask, TreeListLookup(data, old) ? old : 0, oldColumn);
  Describe(data, &nm.itemNew, kSelectRecordMask, (TLHandle)item, column);
  TreeListNotifyUnlocked(data, &nm.hdr);
  LRESULT result = 1;
  if ((data->style & TVS_SINGLEEXPAND) && item) result = TreeListSingleExpand(data, previous, (TLHandle)item);
  if ((data->style & TVS_SHOWSELALWAYS) && TreeListLookup(data, data->caretItem))
    TreeListEnsureVisible(data, data->caretItem, data->caretColumn);
  return result;
}

LRESULT TreeListUnselectItem(TreeListData* data, UINT_PTR item) {
  TreeListItem* record = TreeListLookup(data, item);
  if (!record) return 0;
  SetSelected(data, record, false);
  if (data->caretItem == item) data->caretItem = 0, data->caretColumn = 0;
  TreeListInvalidateItem(data, (TLHandle)item);
  return 1;
}

// Shift+click: the rows from the anchor to the target end up selected,
// the others not; after a Ctrl+click the anchor's range is added instead.
LRESULT TreeListSelectRange(TreeListData* data, TLHandle target, int column) {
  TLHandle origin = data->caretItem;
  if (!origin && data->ctrlAnchor) origin = data->focusCellItem ? data->focusCellItem : data->anchorItem;
  TreeListItem* originRecord = TreeListLookup(data, origin);
  TreeListItem* targetRecord = TreeListLookup(data, target);
  if (!targetRecord || !targetRecord->row) return 0;
  if (!originRecord || !originRecord->row) return TreeListSelectItem(data, target, column, TVC_BYMOUSE);
  if (data->selectedCount < 2 || !TreeListLookup(data, data->anchorItem)) data->anchorItem = origin;
  bool adding = data->ctrlAnchor != 0;
  data->ctrlAnchor = 0;
  if (!TreeListSelectItem(data, target, column, TVC_BYMOUSE | (adding ? kTLSelectClearOthers : 0))) return 0;
  TreeListItem* anchor = TreeListLookup(data, data->anchorItem);
  while (anchor && !anchor->row) anchor = TreeListLookup(data, anchor->parent);
  targetRecord = TreeListLookup(data, target);
  if (!anchor || !targetRecord) return 0;
  UINT from = anchor->row, to = targetRecord->row;
  if (from > to) {
    UINT t = from;
    from = to;
    to = t;
  }
  for (UINT row = 1; row <= data->rowCount; ++row) {
    TLHandle h = data->rows[row - 1];
    TreeListItem* record = TreeListLookup(data, h);
    if (!record || h == data->caretItem) continue;
    bool want = row >= from && row <= to;
    if (adding && !want) continue;
    if (((record->state & TVIS_SELECTED) != 0) != want) TreeListSetItemSelected(data, h, adding ? 2 : 1);
  }
  if (TreeListLookup(data, target)) TreeListMoveFocusCell(data, target, column);
  if (TreeListLookup(data, data->caretItem)) TreeListEnsureVisible(data, data->caretItem, data->caretColumn);
  return 1;
}

// The click notifications: action = hit flags, itemNew the hit cell.
LRESULT TreeListNotifyClick(TreeListData* data, int code, POINT pt, UINT hitFlags, TLHandle item, int column) {
  NMTREEVIEWA nm = {};
  nm.hdr.code = (UINT)code;
  nm.action = hitFlags;
  Describe(data, &nm.itemNew, kClickRecordMask, item, column);
  nm.ptDrag = pt;
  return TreeListNotifyUnlocked(data, &nm.hdr);
}

namespace {

int ClickCode(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      return NM_CLICK;
    case WM_LBUTTONUP:
      return TLN_LBUTTONUP;
    case WM_LBUTTONDBLCLK:
      return NM_DBLCLK;
    case WM_RBUTTONDOWN:
      return NM_RCLICK;
    case WM_RBUTTONUP:
      return TLN_RBUTTONUP;
    default:
      return NM_RDBLCLK;
  }
}

// A collapsed item unselected by Ctrl+click takes its hidden selection
// along; links are read again after each notification.
void UnselectHiddenDescendants(TreeListData* data, TLHandle item) {
  TreeListItem* top = TreeListLookup(data, item);
  if (!top || !top->firstChild || (top->state & TVIS_EXPANDED)) return;
  TLHandle h = top->firstChild;
  while (h) {
    TreeListItem* record = TreeListLookup(data, h);
    if (!record) return;
    if (record->state & TVIS_SELECTED) {
      TreeListSetItemSelected(data, h, TVC_BYMOUSE);
      record = TreeListLookup(data, h);
      if (!record) return;
    }
    if (record->firstChild) {
      h = record->firstChild;
      continue;
    }
    while (!record->nextSibling && record->parent != item) {
      record = TreeListLookup(data, record->parent);
      if (!record) return;
    }
    h = record->nextSibling;
  }
}

// Selection of a press on an item or cell; false when nothing more is to
// happen (select-on-release armed, a Ctrl toggle).
void SelectByClick(TreeListData* data, UINT msg, WPARAM keys, TLHandle item, int column, bool cell) {
  bool left = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_LBUTTONUP;
  bool shift = (keys & MK_SHIFT) != 0, ctrl = (keys & MK_CONTROL) != 0;
  if (!(data->style & TVS_DISABLEDRAGDROP) && msg != WM_LBUTTONUP) {
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
      data->buttonsDown |= left ? 1 : 2;
      data->dragCandidate = item;
      data->dragCandidateColumn = column;
    }
  }
  if (!left && (data->exStyle & TLS_EX_NORIGHTSELECT)) return;
  TreeListItem* record = TreeListLookup(data, item);
  bool selected = record && (record->state & TVIS_SELECTED);
  if (Multi(data)) {
    if (!left && selected && data->selectedCount > 1) {
      if (cell && item != data->caretItem) TreeListSelectItem(data, item, column, TVC_BYMOUSE);
      return;
    }
    if (msg == WM_LBUTTONDOWN && !shift && !ctrl && selected && data->selectedCount > 0) {
      data->selectOnRelease = 1;
      return;
    }
    if (shift && left) {
      TreeListSelectRange(data, item, column);
      return;
    }
    if (ctrl) {
      data->anchorItem = item;
      data->ctrlAnchor = 1;
      if (selected && left) {
        if (data->caretItem == item) data->caretItem = 0, data->caretColumn = 0;
        TreeListSetItemSelected(data, item, TVC_BYMOUSE);
        UnselectHiddenDescendants(data, item);
        TreeListMoveFocusCell(data, item, column);
        return;
      }
      TreeListClearFocusCell(data);
      TreeListSelectItem(data, item, column, TVC_BYMOUSE);
      return;
    }
  }
  TreeListClearFocusCell(data);
  TreeListSelectItem(data, item, column, TVC_BYMOUSE | (ctrl && !cell ? 0 : kTLSelectClearOthers));
  if (TreeListLookup(data, data->caretItem)) TreeListEnsureVisible(data, data->caretItem, data->caretColumn);
}

// A cell whose image is a button keeps it pressed until the button-up,
// unless it is a read-only cell of a column that honours that.
void PressCellButton(TreeListData* data, TLHandle item, int column) {
  if (column <= 0 || column >= data->columnCount) return;
  TreeListCell* cell = TreeListGetCell(data, item, column, false);
  if (!cell || !(cell->state & TLIS_CELLBUTTON)) return;
  const TreeListColumn& col = data->columns[column];
  if (col.editKind && (col.editFlags & TLCE_READONLY) && (cell->state & TLIS_READONLY)) return;
  data->pressState[3] = item;
  data->pressState[4] = (UINT)column;
  TreeListInvalidateCell(data, item, column);
}

}  // namespace

LRESULT TreeListOnButtonDown(TreeListData* data, UINT msg, WPARAM keys, LPARAM point) {
  TreeListLocked lock(data);
  if (!TreeListTakeFocusForInput(data)) return 0;
  POINT pt = {(short)LOWORD(point), (short)HIWORD(point)};
  TVHITTESTINFO hit = {};
  hit.pt = pt;
  TreeListHitTest(data, &hit);
  TLHandle item = (TLHandle)(UINT_PTR)hit.hItem;
  int column = (hit.flags & (kTLHitCellArea | kTLHitBesideCellText)) ? TreeListHitColumn(hit.flags) : 0;
  bool left = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_LBUTTONUP;
  bool dbl = msg == WM_LBUTTONDBLCLK;
  bool toggle = false;
  bool full = (data->style & TVS_FULLROWSELECT) != 0;
  bool editRelease = msg == WM_LBUTTONUP && data->editOnRelease;
  if (msg == WM_LBUTTONUP) data->selectOnRelease = data->editOnRelease = 0;
  bool wasCaret = item && item == data->caretItem;
  if (item && (hit.flags & TVHT_ONITEMSTATEICON) && (data->style & TVS_CHECKBOXES) && (msg == WM_LBUTTONDOWN || dbl)) {
    data->pressState[0] = 3;  // hot and pressed
    data->pressState[1] = item;
    data->pressState[2] = 0;
    TreeListInvalidateCell(data, item, 0);
    TreeListToggleCheck(data, item, pt);
    if (!TreeListLookup(data, item)) item = 0;
  }
  if (item && (hit.flags & TVHT_ONITEMBUTTON) && left && msg != WM_LBUTTONUP) {
    toggle = true;
  } else if (item && (hit.flags & (kItemArea | (full ? TVHT_ONITEMRIGHT : 0)))) {
    SelectByClick(data, msg, keys, item, 0, false);
    toggle = dbl;
    if (TreeListClickEdit(data, msg, keys, item, hit.flags, false, pt, wasCaret, editRelease)) toggle = false;
  } else if (item && (hit.flags & (full ? kCellAreaFullRow : kTLHitCellArea))) {
    SelectByClick(data, msg, keys, item, column, true);
    if (msg == WM_LBUTTONDOWN && (hit.flags & kTLHitCellImage))
      PressCellButton(data, item, TreeListHitColumn(hit.flags));
    toggle = dbl && column == 0;
    if (TreeListClickEdit(data, msg, keys, item, hit.flags, true, pt, wasCaret, editRelease)) toggle = false;
  }
  if (!TreeListLookup(data, item)) item = 0, toggle = false;
  LRESULT reply = TreeListNotifyClick(data, ClickCode(msg), pt, hit.flags, item, column);
  if (toggle && reply == 0 && TreeListLookup(data, item)) TreeListExpand(data, item, TVE_TOGGLE);
  return 0;
}

LRESULT TreeListOnButtonUp(TreeListData* data, UINT msg, WPARAM keys, LPARAM point) {
  TreeListLocked lock(data);
  POINT pt = {(short)LOWORD(point), (short)HIWORD(point)};
  if (msg == WM_LBUTTONUP) {
    data->buttonsDown &= ~1u;
    if (data->selectOnRelease || data->editOnRelease) {
      data->selectOnRelease = 0;
      TreeListOnButtonDown(data, msg, keys & ~(WPARAM)(MK_SHIFT | MK_CONTROL), point);
      TreeListReleaseCellButton(data, pt);
      return 0;
    }
  } else {
    data->buttonsDown &= ~2u;
  }
  if (!data->buttonsDown) data->dragCandidate = 0;
  TVHITTESTINFO hit = {};
  hit.pt = pt;
  TreeListHitTest(data, &hit);
  TLHandle item = (TLHandle)(UINT_PTR)hit.hItem;
  int column = (hit.flags & (kTLHitCellArea | kTLHitBesideCellText)) ? TreeListHitColumn(hit.flags) : 0;
  NMTREEVIEWA nm = {};
  nm.hdr.code = (UINT)ClickCode(msg);
  Describe(data, &nm.itemNew, kClickRecordMask, item, column);
  nm.ptDrag = pt;
  TreeListNotifyUnlocked(data, &nm.hdr);
  if (msg == WM_LBUTTONUP) TreeListReleaseCellButton(data, pt);
  return 0;
}

// TVM_SELECTITEM: the first visible row, the caret, or the drop target.
LRESULT TreeListOnSelectItem(TreeListData* data, WPARAM code, LPARAM item) {
  if (code == TVGN_FIRSTVISIBLE) return TreeListSelectFirstVisible(data, (UINT_PTR)item);
  if (code == TVGN_DROPHILITE) {
    TreeListLocked lock(data);
    return TreeListSetHotItem(data, (UINT_PTR)item, 0);
  }
  if (code != TVGN_CARET) return 0;
  TreeListLocked lock(data);
  LRESULT result = TreeListSelectItem(data, (UINT_PTR)item, 0, TVC_UNKNOWN);
  return result > 1 ? 1 : result;
}

LRESULT TreeListOnSelectCell(TreeListData* data, WPARAM column, LPARAM item) {
  TreeListLocked lock(data);
  LRESULT result = TreeListSelectItem(data, (UINT_PTR)item, (int)column, TVC_UNKNOWN);
  return result > 1 ? 1 : result;
}
