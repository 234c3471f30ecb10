// Dragging the control's own items: the drop mark, the feedback while the
// pointer moves, the drop that moves the items, and the cancel. TLN_DROP
// goes to the parent with the lock left.
#include <cstdlib>

#include "controls/treelist/treelist_data.h"

namespace {

const UINT kDragLeft = 0x01;      // drag flags: begun with the left button down
const UINT kDragMessage = 0x80;   // begun by TLM_BEGINDRAG
const UINT kDragDropping = 0x40;  // our own release of the capture for the drop

const UINT kOutside = TVHT_ABOVE | TVHT_BELOW | TVHT_TOLEFT | TVHT_TORIGHT;
const int kLineHeight = 3;
const TLHandle kLast = (TLHandle)(UINT_PTR)TVI_LAST;

TreeListAsyncKeyProc g_asyncKeyState = nullptr;

TreeListItem* At(TreeListData* data, TLHandle h) { return TreeListLookup(data, h); }

// True when target is item or lies below it.
bool IsOwnSubtree(TreeListData* data, TLHandle item, TLHandle target) {
  for (TLHandle h = target; h; h = At(data, h) ? At(data, h)->parent : 0)
    if (h == item) return true;
  return false;
}

// The row shown at client y (its index in the row table); -1 above the rows.
int RowAtY(const TreeListData* data, int y) {
  if (y < data->headerHeight || data->rowHeight <= 0) return -1;
  int index = (y - data->headerHeight) / data->rowHeight;
  return index < data->fixedRows ? index : index + data->topRow;
}

int RowTop(const TreeListData* data, int row) {
  int index = row < data->fixedRows ? row : row - data->topRow;
  return data->headerHeight + index * data->rowHeight;
}

bool IsFixedRow(const TreeListData* data, TLHandle h) {
  const TreeListItem* item = TreeListLookup(data, h);
  return item && item->row && (int)item->row <= data->fixedRows;
}

// The item the single-item forms act on: the dragged item, or the caret
// when a selection exists and the drag is the control's own.
TLHandle SingleItem(TreeListData* data) {
  if (!(data->dragFlags & kDragMessage) && data->selectedCount && At(data, data->caretItem)) return data->caretItem;
  return data->dragItem;
}

bool SeveralItems(const TreeListData* data) { return !(data->dragFlags & kDragMessage) && data->selectedCount > 1; }

int DropMode(const TreeListData* data, UINT keys, int offset) {
  if ((data->dragOptions & TL_DRAG_NOINTO) || !(keys & MK_CONTROL)) return offset ? 1 : 0;
  return (keys & MK_SHIFT) ? 2 : 3;
}

void InvalidateLastStrip(TreeListData* data) {
  int shown = (int)data->rowCount;
  if (shown > data->fixedRows) shown -= data->topRow;
  if (shown < 0) shown = 0;
  int y = data->headerHeight + shown * data->rowHeight;
  if (y >= data->clientHeight) return;
  RECT rc = {0, y, data->clientWidth, y + kLineHeight + data->rowHeight};
  if (rc.bottom > data->clientHeight) rc.bottom = data->clientHeight;
  InvalidateRect(data->window, &rc, FALSE);
}

void InvalidateMark(TreeListData* data, TLHandle item) {
  if (item == kLast)
    InvalidateLastStrip(data);
  else if (At(data, item))
    TreeListInvalidateItem(data, item);
}

// Pre-order successor within the whole tree.
TLHandle NextInOrder(TreeListData* data, TLHandle h, bool descend) {
  TreeListItem* item = At(data, h);
  if (!item) return 0;
  if (descend && item->firstChild) return item->firstChild;
  while (item) {
    if (item->nextSibling) return item->nextSibling;
    item = At(data, item->parent);
  }
  return 0;
}

void StopAutoScroll(TreeListData* data) {
  data->autoScrollMode = 0;
  data->autoScrollTicks = 0;
  KillTimer(data->window, TL_TIMER_AUTOSCROLL);
}

// Ends the drag without a drop.
void StopDrag(TreeListData* data) {
  TreeListSetDropMark(data, 0, 0, 0);
  StopAutoScroll(data);
  SetCursor(TreeListCursor(0));
  data->dragItem = 0;
  data->dragFlags = 0;
  // Only our own window hears of the capture's end: no need to leave the lock.
  if (GetCapture() == data->window) ReleaseCapture();
}

LRESULT SendDrop(TreeListData* data, UINT action, UINT_PTR target, TLHandle item) {
  NMTREEVIEWA nm = {};
  nm.hdr.code = (UINT)TLN_DROP;
  nm.action = action | ((data->dragFlags & kDragMessage) ? TL_DROP_BYMESSAGE : 0);
  nm.itemOld.mask = TVIF_HANDLE;
  nm.itemOld.hItem = (HTREEITEM)target;
  nm.itemNew.mask = TVIF_HANDLE;
  nm.itemNew.hItem = (HTREEITEM)(UINT_PTR)item;
  nm.ptDrag = data->dragPoint;
  return TreeListNotifyUnlocked(data, &nm.hdr);
}

// One item onto the target: refusals, adjustment, the move and the
// expansion of an "into" target. Returns the move's result (0 refused).
int DropOne(TreeListData* data, TLHandle item, UINT_PTR* target, int* mode) {
  TreeListItem* record = At(data, item);
  if (!record) return 0;
  if ((data->dragOptions & TL_DRAG_LEAVESONLY) && record->firstChild) return 0;
  if ((data->dragOptions & (TL_DRAG_KEEPLEVEL | TL_DRAG_KEEPPARENT)) &&
      !TreeListAdjustDropTarget(data, item, target, mode))
    return 0;
  if (*target != (UINT_PTR)TVI_LAST) {
    TreeListItem* t = At(data, (TLHandle)*target);
    if (!t) return 0;
    if ((data->dragOptions & TL_DRAG_LEAVESONLY) && t->firstChild) return 0;
  }
  int result = (int)TreeListMoveItem(data, item, *target, *mode);
  if (result && *mode >= 2) {
    TreeListItem* t = At(data, (TLHandle)*target);
    if (t && !(t->state & TVIS_EXPANDED)) TreeListExpandItem(data, (TLHandle)*target, TVE_EXPAND);
  }
  return result;
}

}  // namespace

void TreeListSetAsyncKeyState(TreeListAsyncKeyProc proc) { g_asyncKeyState = proc; }

TLHandle TreeListSetDropMark(TreeListData* data, UINT_PTR item, int height, int offset) {
  // TVI_LAST comes sign-extended from 64-bit callers and plain from the mark.
  if ((TLHandle)item == kLast) item = (UINT_PTR)TVI_LAST;
  if (item && item != (UINT_PTR)TVI_LAST && !At(data, (TLHandle)item)) return data->dropMarkItem;
  int rowHeight = data->rowHeight;
  if (height <= 0 || height >= rowHeight) {
    height = rowHeight;
    offset = 0;
  } else {
    if (offset > rowHeight - height) offset = rowHeight - height;
    if (offset < 0) offset = 0;
  }
  if (!item) height = offset = 0;
  TLHandle old = data->dropMarkItem;
  if (old == (TLHandle)item && data->dropMarkHeight == height && data->dropMarkOffset == offset) return old;
  if (!old && item) {
    data->dropHoverTicks = 0;
    SetTimer(data->window, TL_TIMER_DROPHOVER, 500, nullptr);
  } else if (old && !item) {
    KillTimer(data->window, TL_TIMER_DROPHOVER);
  }
  if (old) InvalidateMark(data, old);
  data->dropMarkItem = (TLHandle)item;
  data->dropMarkHeight = height;
  data->dropMarkOffset = offset;
  if (item) InvalidateMark(data, (TLHandle)item);
  return data->dropMarkItem;
}

int TreeListCheckDropTarget(TreeListData* data, TLHandle item, UINT_PTR target, int mode) {
  if (data->busy) return 0;
  TreeListItem* record = At(data, item);
  if (!record) return 0;
  if (target == item) return 1;
  if (!target || target == (UINT_PTR)TVI_LAST) {
    if (record->firstChild) return 2;
    for (TreeListItem* up = record; up; up = At(data, up->parent))
      if (up->nextSibling) return 2;
    return 0;
  }
  TreeListItem* t = At(data, (TLHandle)target);
  if (!t) return 0;
  if (mode == 0 && record->nextSibling == target) return 1;
  if (mode == 1 && record->prevSibling == target) return 1;
  if (IsOwnSubtree(data, item, (TLHandle)target)) return 0;
  return 2;
}

int TreeListAdjustDropTarget(TreeListData* data, TLHandle item, UINT_PTR* target, int* mode) {
  TreeListItem* record = At(data, item);
  if (!record) return 0;
  bool last = *target == (UINT_PTR)TVI_LAST;
  TreeListItem* t = last ? nullptr : At(data, (TLHandle)*target);
  if (!last && !t) return 0;
  TLHandle newParent = 0;
  if (!last) newParent = *mode >= 2 ? (TLHandle)*target : t->parent;
  TreeListItem* np = At(data, newParent);
  int newLevel = np ? np->level + 1 : 0;
  bool keepParent = (data->dragOptions & TL_DRAG_KEEPPARENT) != 0;
  if (record->level == newLevel) {
    if (keepParent && newParent != record->parent) return 0;
    return 1;
  }
  if (*mode >= 2) return 0;
  // Walk up to the item's level from the item the drop follows: the row
  // above the target, or the target itself for a drop after it.
  int row = last ? (int)data->rowCount - 1 : (int)t->row - (*mode == 1 ? 1 : 2);
  if (row < 0 || row >= (int)data->rowCount) return 0;
  TLHandle h = data->rows[row];
  TreeListItem* up = At(data, h);
  while (up && up->level > record->level) {
    if (up->nextSibling) return 0;
    h = up->parent;
    up = At(data, h);
  }
  if (!up || up->level != record->level) return 0;
  if (keepParent && up->parent != record->parent) return 0;
  *target = h;
  *mode = 1;
  return 1;
}

LRESULT TreeListBeginDrag(TreeListData* data, UINT_PTR item, UINT keys, POINT pt) {
  if (!At(data, (TLHandle)item)) return 0;
  if (data->dragOptions & TL_DRAG_NEEDTEXT) {
    TreeListItem* caret = At(data, data->caretItem);
    if (!caret) return 0;
    UINT length = caret->textLength;
    if (caret->callbackFlags & kTLCallbackText) {
      const char* text = nullptr;
      length = 0;
      TreeListGetItemDispInfo(data, caret, data->caretItem, TVIF_TEXT, nullptr, &length, &text);
      if (!At(data, (TLHandle)item)) return 0;
    }
    if (!length) return 0;
  }
  data->dragItem = (TLHandle)item;
  data->dragFlags = (BYTE)(keys & (kDragLeft | kDragMessage));
  data->dragKeys = keys & ~kDragMessage;
  data->dragPoint = pt;
  data->dropHoverTicks = 0;
  SetCapture(data->window);
  if (data->hotItem) TreeListSetHotItem(data, 0, 0);
  TreeListDragOver(data, keys & ~kDragMessage, pt, true);
  if (data->dragItem) {
    data->autoScrollMode = 0;
    data->autoScrollTicks = 0;
    SetTimer(data->window, TL_TIMER_AUTOSCROLL, 100, nullptr);
  }
  return 1;
}

LRESULT TreeListBeginDragMessage(TreeListData* data, UINT_PTR item) {
  SHORT (*keyState)(int) = g_asyncKeyState;
  SHORT left = keyState ? keyState(VK_LBUTTON) : GetAsyncKeyState(VK_LBUTTON);
  POINT pt;
  GetCursorPos(&pt);
  ScreenToClient(data->window, &pt);
  UINT keys = kDragMessage | ((left & 0x8000) ? kDragLeft : 0);
  return TreeListBeginDrag(data, item, keys, pt);
}

void TreeListDragOver(TreeListData* data, UINT keys, POINT pt, bool force) {
  if (!data->dragItem) return;
  if ((data->dragFlags & kDragLeft) && !(keys & MK_LBUTTON)) {
    StopDrag(data);
    return;
  }
  if (abs(pt.x - data->dragPoint.x) >= 3 || abs(pt.y - data->dragPoint.y) > 2) data->dropHoverTicks = 0;
  data->dragKeys = keys;
  data->dragPoint = pt;
  UINT options = data->dragOptions;
  TVHITTESTINFO hit = {};
  hit.pt = pt;
  TreeListHitTest(data, &hit);
  HCURSOR no = TreeListCursor(2), hand = TreeListCursor(1);
  if (hit.flags & kOutside) {
    TreeListSetDropMark(data, 0, 0, 0);
    SetCursor(no);
    return;
  }
  int rowHeight = data->rowHeight;
  UINT_PTR target;
  int height = kLineHeight, offset = 0;
  if ((keys & MK_CONTROL) && !(options & TL_DRAG_NOINTO)) {
    int row = RowAtY(data, pt.y);
    if (row < 0 || row >= (int)data->rowCount) {
      target = (UINT_PTR)TVI_LAST;
    } else {
      target = data->rows[row];
      height = rowHeight;
    }
  } else {
    int row = RowAtY(data, pt.y + rowHeight / 2);
    if (row < 0) row = 0;
    if (row >= (int)data->rowCount) {
      target = (UINT_PTR)TVI_LAST;
    } else {
      target = data->rows[row];
      TreeListItem* t = At(data, (TLHandle)target);
      int visible = row < data->fixedRows ? row : row - data->topRow;
      int aboveRow = visible - 1 < data->fixedRows ? visible - 1 : row - 1;
      TLHandle above = visible > 0 && aboveRow >= 0 ? data->rows[aboveRow] : 0;
      TreeListItem* a = At(data, above);
      TreeListItem* dragged = At(data, data->dragItem);
      if (t && a && pt.y >= RowTop(data, row) && a->level > t->level &&
          !((options & TL_DRAG_NOFIXED) && IsFixedRow(data, above)) &&
          !((options & TL_DRAG_KEEPPARENT) && dragged && a->parent != dragged->parent)) {
        target = above;
        offset = rowHeight - 5;
      }
    }
  }
  if (!data->rowCount) target = (UINT_PTR)TVI_LAST;
  if (!force && (TLHandle)target == data->dropMarkItem && height == data->dropMarkHeight &&
      offset == data->dropMarkOffset)
    return;
  HCURSOR cursor = hand;
  int mode = DropMode(data, keys, offset);
  if (!At(data, data->dragItem) || ((options & TL_DRAG_NOFIXED) && IsFixedRow(data, (TLHandle)target))) {
    cursor = no;
  } else if (SeveralItems(data)) {
    cursor = no;
    for (TLHandle h = data->firstRoot; h; h = NextInOrder(data, h, true)) {
      TreeListItem* item = At(data, h);
      if (!(item->state & TVIS_SELECTED)) continue;
      if ((options & TL_DRAG_LEAVESONLY) && item->firstChild) continue;
      UINT_PTR t = target;
      int m = mode;
      if ((options & (TL_DRAG_KEEPLEVEL | TL_DRAG_KEEPPARENT)) && !TreeListAdjustDropTarget(data, h, &t, &m)) continue;
      if (TreeListCheckDropTarget(data, h, t, m)) {
        cursor = hand;
        break;
      }
    }
  } else {
    TLHandle item = SingleItem(data);
    if (target != (UINT_PTR)TVI_LAST && IsOwnSubtree(data, item, (TLHandle)target)) {
      cursor = no;
    } else if (options & (TL_DRAG_KEEPLEVEL | TL_DRAG_KEEPPARENT)) {
      UINT_PTR t = target;
      int m = mode;
      if (!TreeListAdjustDropTarget(data, item, &t, &m)) {
        cursor = no;
      } else if (t != target) {
        target = t;
        height = kLineHeight;
        offset = rowHeight - 5;
      }
    }
    if (target == (UINT_PTR)TVI_LAST && (options & TL_DRAG_NOLAST)) cursor = no;
    if ((options & TL_DRAG_LEAVESONLY) && target != (UINT_PTR)TVI_LAST) {
      TreeListItem* t = At(data, (TLHandle)target);
      if (t && t->firstChild) cursor = no;
    }
  }
  TreeListSetDropMark(data, target, height, offset);
  SetCursor(cursor);
}

LRESULT TreeListDropTarget(TreeListData* data, UINT keys, POINT pt) {
  TreeListDragOver(data, keys, pt, false);
  return data->dropMarkItem;
}

LRESULT TreeListEndDrop(TreeListData* data) {
  TLHandle dragged = data->dragItem;
  if (!dragged) return 0;
  UINT options = data->dragOptions;
  UINT_PTR target = data->dropMarkItem == kLast ? (UINT_PTR)TVI_LAST : data->dropMarkItem;
  LRESULT result = 0;
  if (!target) {
    POINT pt = data->dragPoint;
    if ((options & TL_DRAG_REPORTOUTSIDE) && (pt.x >= data->clientWidth || pt.y >= data->clientHeight))
      SendDrop(data, TL_DROP_OUTSIDE, 0, SeveralItems(data) ? data->caretItem : SingleItem(data));
    return 0;
  }
  if (target == (UINT_PTR)TVI_LAST && (options & TL_DRAG_NOLAST)) return 0;
  if ((options & TL_DRAG_NOFIXED) && IsFixedRow(data, (TLHandle)target)) return 0;
  int mode = DropMode(data, data->dragKeys, data->dropMarkOffset);
  if (!SeveralItems(data)) {
    TLHandle item = SingleItem(data);
    int moved = DropOne(data, item, &target, &mode);
    if (!moved) return 0;
    SendDrop(data, ((UINT)moved << 30) | ((UINT)mode << 24) | 1, target, item);
    return 1;
  }
  // Several: in pre-order, each one after the one moved before it.
  UINT count = 0;
  TLHandle first = 0;
  int firstMode = mode;
  UINT_PTR firstTarget = target;
  int firstResult = 0;
  TLHandle h = data->firstRoot;
  while (h) {
    TreeListItem* item = At(data, h);
    if (!item) break;
    if (!(item->state & TVIS_SELECTED) || item->moveMark) {
      h = NextInOrder(data, h, !item->moveMark);
      continue;
    }
    UINT_PTR t = target;
    int m = mode;
    int moved = DropOne(data, h, &t, &m);
    item = At(data, h);
    if (!item) break;
    if (!moved) {
      h = NextInOrder(data, h, true);
      continue;
    }
    item->moveMark = 1;
    if (!count) first = h, firstMode = m, firstTarget = t, firstResult = moved;
    ++count;
    target = h;
    mode = 1;
    // The walk restarts from the top: moved items are passed over whole.
    h = data->firstRoot;
  }
  for (TLHandle k = 1; k <= data->capacity; ++k)
    if (TreeListItem* item = At(data, k)) item->moveMark = 0;
  result = count;
  if (count) SendDrop(data, ((UINT)firstResult << 30) | ((UINT)firstMode << 24) | count, firstTarget, first);
  return result;
}

void TreeListFinishDrop(TreeListData* data) {
  if (!data->dragItem) return;
  data->dragFlags |= kDragDropping;
  if (GetCapture() == data->window) ReleaseCapture();
  data->dragFlags &= ~kDragDropping;
  if (data->dragItem) TreeListEndDrop(data);
  StopDrag(data);
}

void TreeListEndDragQuietly(TreeListData* data) {
  if (data->dragItem) StopDrag(data);
}

void TreeListCancelDrag(TreeListData* data) {
  TLHandle dragged = data->dragItem;
  if (!dragged) return;
  bool several = SeveralItems(data);
  UINT count = several ? data->selectedCount : 1;
  TLHandle item = several || SingleItem(data) != dragged ? data->caretItem : dragged;
  BYTE flags = data->dragFlags;
  StopDrag(data);
  if (data->dragOptions & TL_DRAG_REPORTCANCEL) {
    data->dragFlags = flags;
    SendDrop(data, TL_DROP_CANCELLED | ((flags & kDragMessage) ? 1 : count), 0, item);
    data->dragFlags = 0;
  }
}

void TreeListOnCaptureChanged(TreeListData* data, HWND gainer) {
  TreeListLocked lock(data);
  // Another window took the mouse: the drag cannot go on.
  if (data->dragItem && gainer != data->window && !(data->dragFlags & kDragDropping)) TreeListCancelDrag(data);
}

bool TreeListDragKeyDown(TreeListData* data, WPARAM key) {
  TreeListLocked lock(data);
  bool handled = false;
  if (data->dragItem) {
    handled = true;
    if (key == VK_ESCAPE) {
      TreeListCancelDrag(data);
    } else if (key == VK_CONTROL) {
      if (data->dropMarkOffset < 5) TreeListDragOver(data, data->dragKeys | MK_CONTROL, data->dragPoint, false);
    } else if (key != VK_RETURN) {
      handled = false;
    }
  }
  return handled;
}

bool TreeListDragButtonDown(TreeListData* data, UINT msg, POINT pt) {
  if (!data->dragItem) return false;
  if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK) {
    TVHITTESTINFO hit = {};
    hit.pt = pt;
    TLHandle item = (TLHandle)(UINT_PTR)TreeListHitTest(data, &hit);
    TreeListItem* record = At(data, item);
    if (record && (hit.flags & TVHT_ONITEMBUTTON) && record->firstChild) {
      TreeListExpandItem(data, item, 0);
      if (data->dragItem) TreeListDragOver(data, data->dragKeys, data->dragPoint, true);
    } else {
      TreeListCancelDrag(data);
    }
    return true;
  }
  return (data->dragFlags & kDragMessage) != 0;
}
