// What follows the pointer: the info tip, the hot cell, the hot check box,
// the drag start and the drag feedback; the buttons while a drag runs; the
// single-expand branch switch; and the messages of drag and hot marks.
#include <cstdlib>

#include "controls/treelist/treelist_data.h"

namespace {

const UINT kHotArea = TVHT_ONITEMLABEL | TVHT_ONITEMICON | TVHT_ONITEMSTATEICON | kTLHitOnCell;
const UINT kCheckHot = 0x1, kCheckPressed = 0x2;  // pressState[0]
const DWORD kTipDoubleClickMs = 700;
const int kTipDoubleClickDistance = 6;

void AskForLeave(HWND hwnd) {
  TRACKMOUSEEVENT tme = {};
  tme.cbSize = sizeof(tme);
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = hwnd;
  TrackMouseEvent(&tme);
}

void SetMark(TreeListData* data, TLHandle item, int column, bool on) {
  TreeListSetMarkFlag(data, item, column, kTLItemHot, on);
}

// The check box under the hit, or none: item 0.
void CheckUnder(TreeListData* data, TLHandle item, UINT flags, TLHandle* checkItem, int* checkColumn) {
  *checkItem = 0;
  *checkColumn = 0;
  if (!item) return;
  if ((flags & TVHT_ONITEMSTATEICON) && (data->style & TVS_CHECKBOXES) && TreeListOwnCheckImages(data, 0)) {
    *checkItem = item;
    return;
  }
  int column = TreeListHitColumn(flags);
  if ((flags & kTLHitCellImage) && column > 0 && column < data->columnCount &&
      data->columns[column].editKind >= TLEK_CHECK && TreeListOwnCheckImages(data, 1)) {
    *checkItem = item;
    *checkColumn = column;
  }
}

void SetHotCheck(TreeListData* data, TLHandle item, int column, bool pressed) {
  UINT state = item ? kCheckHot | (pressed ? kCheckPressed : 0) : 0;
  TLHandle oldItem = data->pressState[1];
  int oldColumn = (int)data->pressState[2];
  if (oldItem == item && oldColumn == column && data->pressState[0] == state) return;
  if (oldItem) TreeListInvalidateCell(data, oldItem, oldColumn);
  bool fresh = item && (item != oldItem || column != oldColumn);
  data->pressState[0] = state;
  data->pressState[1] = item;
  data->pressState[2] = item ? (UINT)column : 0;
  if (item) TreeListInvalidateCell(data, item, column);
  if (fresh) AskForLeave(data->window);
}

bool MayDragItself(TreeListData* data, TLHandle item) {
  TreeListItem* record = TreeListLookup(data, item);
  if (!record || !(data->style & TLS_AUTODRAG)) return false;
  if (record->state & data->noDragStates) return false;
  if ((data->dragOptions & TL_DRAG_ROOTSONLY) && record->parent) return false;
  if ((data->dragOptions & TL_DRAG_LEAVESONLY) && record->firstChild) return false;
  return true;
}

void StartDrag(TreeListData* data, POINT pt) {
  TLHandle item = data->dragCandidate;
  int column = data->dragCandidateColumn;
  data->dragCandidate = 0;
  data->dragCandidateColumn = 0;
  data->buttonsDown &= ~1u;
  data->selectOnRelease = data->editOnRelease = 0;
  TreeListItem* record = TreeListLookup(data, item);
  if (!record) return;
  NMTREEVIEWA nm = {};
  nm.hdr.code = TVN_BEGINDRAGA;
  nm.itemNew.mask = TLIF_CLICK | TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
  nm.itemNew.hItem = (HTREEITEM)(UINT_PTR)item;
  nm.itemNew.state = record->state;
  nm.itemNew.stateMask = (UINT)-1;
  nm.itemNew.pszText = LPSTR_TEXTCALLBACKA;
  nm.itemNew.cchTextMax = -1;
  nm.itemNew.cChildren = column;
  nm.itemNew.lParam = record->lParam;
  nm.ptDrag = pt;
  LRESULT reply = TreeListNotifyUnlocked(data, &nm.hdr);
  if (reply == 0 && !data->dragItem && MayDragItself(data, item)) TreeListBeginDrag(data, item, MK_LBUTTON, pt);
}

void Track(TreeListData* data, WPARAM keys, POINT pt, bool leaving) {
  TVHITTESTINFO hit = {};
  hit.pt = pt;
  TLHandle item = (TLHandle)(UINT_PTR)TreeListHitTest(data, &hit);
  UINT flags = hit.flags;
  int column = (flags & kTLHitOnCell) ? TreeListHitColumn(flags) : 0;
  if (!(data->style & TVS_NOTOOLTIPS)) {
    if (!data->enabled || data->dragItem)
      TreeListHideTip(data);
    else
      TreeListUpdateInfoTip(data, item, flags);
  }
  // A held cell button lets go when the button is up or the pointer left it.
  if (data->pressState[3]) {
    bool still = (keys & MK_LBUTTON) && item == data->pressState[3] && (flags & kTLHitCellImage) &&
                 column == (int)data->pressState[4];
    if (!still) {
      TLHandle pressed = data->pressState[3];
      int pressedColumn = (int)data->pressState[4];
      data->pressState[3] = data->pressState[4] = 0;
      TreeListInvalidateCell(data, pressed, pressedColumn);
    }
  }
  if (data->dragItem) {
    if (!leaving) TreeListDragOver(data, (UINT)keys, pt, false);
    data->lastMoveX = (short)pt.x;
    data->lastMoveY = (short)pt.y;
    return;
  }
  if (data->style & TVS_TRACKSELECT) {
    bool hot = data->enabled && item && (flags & kHotArea);
    int hotColumn = (data->exStyle & TLS_EX_CELLCARET) ? column : 0;
    if (!hot) {
      if (data->hotItem) TreeListSetHotItem(data, 0, 0);
    } else if (item != data->hotItem || hotColumn != data->hotColumn) {
      TreeListSetHotItem(data, item, hotColumn);
    }
  } else if (!data->enabled && data->hotItem) {
    TreeListSetHotItem(data, 0, 0);
  }
  TLHandle checkItem;
  int checkColumn;
  CheckUnder(data, data->enabled ? item : 0, flags, &checkItem, &checkColumn);
  SetHotCheck(data, checkItem, checkColumn, (keys & MK_LBUTTON) != 0);
  if (data->dragCandidate && (data->buttonsDown & 1) && (keys & MK_LBUTTON) && !data->pressState[3] &&
      (abs(pt.x - data->lastMoveX) > 2 || abs(pt.y - data->lastMoveY) > 2)) {
    data->lastMoveX = (short)pt.x;
    data->lastMoveY = (short)pt.y;
    StartDrag(data, pt);
    return;
  }
  data->lastMoveX = (short)pt.x;
  data->lastMoveY = (short)pt.y;
}

}  // namespace

LRESULT TreeListSetHotItem(TreeListData* data, UINT_PTR handle, int column) {
  if (!(data->exStyle & TLS_EX_CELLCARET)) column = 0;
  bool bad = (handle && !TreeListLookup(data, handle)) || column < 0 || (column > 0 && column >= data->columnCount);
  if (bad) handle = 0, column = 0;
  TLHandle item = (TLHandle)handle;
  if (data->hotItem && (data->hotItem != item || data->hotColumn != column))
    SetMark(data, data->hotItem, data->hotColumn, false);
  bool fresh = item && (item != data->hotItem || column != data->hotColumn);
  data->hotItem = item;
  data->hotColumn = item ? column : 0;
  if (fresh) {
    AskForLeave(data->window);
    SetMark(data, item, column, true);
  }
  return bad ? 0 : 1;
}

LRESULT TreeListOnMouseMove(TreeListData* data, WPARAM keys, LPARAM point) {
  POINT pt = {(short)LOWORD(point), (short)HIWORD(point)};
  TreeListLocked lock(data);
  Track(data, keys, pt, false);
  return 0;
}

LRESULT TreeListOnMouseLeave(TreeListData* data) {
  POINT pt;
  GetCursorPos(&pt);
  ScreenToClient(data->window, &pt);
  TreeListLocked lock(data);
  Track(data, 0, pt, true);
  return 0;
}

LRESULT TreeListSingleExpand(TreeListData* data, TLHandle oldItem, TLHandle newItem) {
  TreeListItem* o = TreeListLookup(data, oldItem);
  TreeListItem* n = TreeListLookup(data, newItem);
  NMTREEVIEWA nm = {};
  nm.hdr.code = TVN_SINGLEEXPAND;
  nm.itemOld.mask = nm.itemNew.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
  if (o) {
    nm.itemOld.hItem = (HTREEITEM)(UINT_PTR)oldItem;
    nm.itemOld.state = o->state;
    nm.itemOld.lParam = o->lParam;
  }
  if (n) {
    nm.itemNew.hItem = (HTREEITEM)(UINT_PTR)newItem;
    nm.itemNew.state = n->state;
    nm.itemNew.lParam = n->lParam;
  }
  LRESULT reply = TreeListNotifyUnlocked(data, &nm.hdr);
  bool keepOld = (reply & TVNRET_SKIPOLD) != 0, keepNew = (reply & TVNRET_SKIPNEW) != 0;
  TLHandle a = TreeListLookup(data, newItem) ? newItem : 0;
  TLHandle b = TreeListLookup(data, oldItem) ? oldItem : 0;
  // Up both paths by level until they meet: open the new one, close the old.
  for (int guard = 0; a != b && guard < 0x10000; ++guard) {
    TreeListItem* ra = TreeListLookup(data, a);
    TreeListItem* rb = TreeListLookup(data, b);
    if ((a && !ra) || (b && !rb)) break;
    int la = ra ? ra->level : -1, lb = rb ? rb->level : -1;
    if (ra && la >= lb) {
      TLHandle up = ra->parent;
      if (!keepNew && !(ra->state & TVIS_EXPANDED) && ra->firstChild) TreeListExpandItem(data, a, TVE_EXPAND);
      a = up;
    } else {
      TLHandle up = rb->parent;
      if (!keepOld && (rb->state & TVIS_EXPANDED)) TreeListExpandItem(data, b, TVE_COLLAPSE);
      b = up;
    }
  }
  return 2;
}

bool TreeListBeforeButton(TreeListData* data, UINT* msg, LPARAM point) {
  POINT pt = {(short)LOWORD(point), (short)HIWORD(point)};
  TreeListLocked lock(data);
  bool handled = false;
  if (data->dragItem) {
    if (*msg == WM_LBUTTONUP) {
      data->buttonsDown &= ~1u;
      data->dragCandidate = 0;
      TreeListFinishDrop(data);
      handled = true;
    } else if (*msg != WM_RBUTTONUP) {
      handled = TreeListDragButtonDown(data, *msg, pt);
    }
  } else if (*msg == WM_LBUTTONUP && (data->pressState[0] & kCheckPressed)) {
    // A pressed check box lets go with the button.
    data->pressState[0] &= ~kCheckPressed;
    TreeListInvalidateCell(data, data->pressState[1], (int)data->pressState[2]);
  } else if (*msg == WM_LBUTTONDOWN && data->tipItem && !data->tipDelay) {
    // The tip covers the control and swallows the double click: count it here.
    DWORD now = GetTickCount();
    int distance = abs(pt.x - data->lastClickPoint.x) + abs(pt.y - data->lastClickPoint.y);
    if (data->clickArmed && now - data->lastClickTick <= kTipDoubleClickMs && distance <= kTipDoubleClickDistance) {
      *msg = WM_LBUTTONDBLCLK;
      data->clickArmed = 0;
    } else {
      data->lastClickTick = now;
      data->lastClickPoint = pt;
      data->clickArmed = 1;
    }
  }
  return handled;
}

LRESULT TreeListOnBeginDrag(TreeListData* data, WPARAM, LPARAM item) {
  TreeListLocked lock(data);
  return TreeListBeginDragMessage(data, (UINT_PTR)item);
}

LRESULT TreeListOnSetDropMark(TreeListData* data, WPARAM mode, LPARAM item) {
  TreeListLocked lock(data);
  // Sign-extended, so that TVI_LAST comes back as the caller knows it.
  LRESULT result = (LRESULT)(INT_PTR)(int)TreeListSetDropMark(data, (UINT_PTR)item, (int)mode, 0);
  return result;
}

LRESULT TreeListOnCreateDragImage(TreeListData* data, WPARAM column, LPARAM item) {
  TreeListLocked lock(data);
  return (LRESULT)TreeListCreateDragImage(data, (UINT_PTR)item, (int)column);
}

LRESULT TreeListOnSetHotItem(TreeListData* data, WPARAM column, LPARAM item) {
  TreeListLocked lock(data);
  return TreeListSetHotItem(data, (UINT_PTR)item, (int)column);
}
