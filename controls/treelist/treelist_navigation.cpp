// Walking the item tree: next-item codes, find, count, moves, expansion by
// scope and the pre-order walkers.
#include <cstring>

#include "controls/treelist/treelist_data.h"

namespace {

const UINT_PTR kRoot = (UINT_PTR)TVI_ROOT;

TreeListItem* At(TreeListData* data, TLHandle h) { return TreeListLookup(data, h); }

// Pre-order successor of h; 0 after the last. Never climbs above stop.
TLHandle NextPreOrder(TreeListData* data, TLHandle h, TLHandle stop = 0) {
  TreeListItem* item = At(data, h);
  if (!item) return 0;
  if (item->firstChild) return item->firstChild;
  while (item) {
    if (h == stop) return 0;
    if (item->nextSibling) return item->nextSibling;
    h = item->parent;
    if (!h || h == stop) return 0;
    item = At(data, h);
  }
  return 0;
}

TLHandle RowItem(TreeListData* data, int row) { return row >= 0 && (UINT)row < data->rowCount ? data->rows[row] : 0; }

UINT CheckedBit(const TreeListData* data) { return (data->exStyle & TLS_EX_CHECKFROMZERO) ? 0x1000 : 0x2000; }

bool MultiSelect(const TreeListData* data) { return (data->exStyle & TLS_EX_MULTISELECT) != 0; }

}  // namespace

static TLHandle NextWith(TreeListData* data, UINT_PTR start, TLHandle stop, bool selected) {
  TLHandle h;
  if (start == kRoot) {
    h = data->firstRoot;
    if (!h) return 0;
    if (((data->items[h]->state & TVIS_SELECTED) != 0) == selected) return h;
  } else {
    h = (TLHandle)start;
    TreeListItem* item = At(data, h);
    if (!item) return 0;
    if (!item->firstChild && h == stop) return 0;
  }
  for (h = NextPreOrder(data, h, stop); h; h = NextPreOrder(data, h, stop))
    if (((data->items[h]->state & TVIS_SELECTED) != 0) == selected) return h;
  return 0;
}

TLHandle TreeListNextItemInOrder(TreeListData* data, UINT_PTR start, TLHandle stop) {
  return NextWith(data, start, stop, true);
}

TLHandle TreeListNextUnselectedItem(TreeListData* data, UINT_PTR start, TLHandle stop) {
  return NextWith(data, start, stop, false);
}

LRESULT TreeListGetNextItem(TreeListData* data, UINT code, UINT_PTR target) {
  bool root = target == kRoot;
  TreeListItem* item = root ? nullptr : At(data, (TLHandle)target);
  if ((code & 0xFF000000) == 0x6A000000 || (code & 0xFF000000) == 0x6B000000) {
    // No caller steps with these; the start comes back when it exists.
    TLHandle start = (code & 0xFF000000) == 0x6A000000 ? (root ? data->firstRoot : (item ? item->firstChild : 0))
                                                       : (root ? 0 : (TLHandle)target);
    return At(data, start) ? start : 0;
  }
  int top = data->topRow, page = data->rowsPerPage;
  switch (code) {
    case TVGN_ROOT:
      return data->firstRoot;
    case TVGN_NEXT:
      return item ? item->nextSibling : 0;
    case TVGN_PREVIOUS:
      return item ? item->prevSibling : 0;
    case TVGN_PARENT:
      return item ? item->parent : 0;
    case TVGN_CHILD:
      return root ? data->firstRoot : (item ? item->firstChild : 0);
    case TVGN_FIRSTVISIBLE:
      return (int)data->rowCount > top ? RowItem(data, top) : 0;
    case TVGN_NEXTVISIBLE: {
      if (root) {
        TreeListItem* first = At(data, data->firstRoot);
        return first && first->row && (int)first->row - 1 >= top ? data->firstRoot : 0;
      }
      if (!item || !item->row) return 0;
      int r = (int)item->row - 1;
      if (r < top || r > top + page - 1) return 0;
      return RowItem(data, r + 1);
    }
    case TVGN_PREVIOUSVISIBLE: {
      if (!item || !item->row) return 0;
      int r = (int)item->row - 1;
      if (r <= top || r > top + page) return 0;
      return RowItem(data, r - 1);
    }
    case TVGN_DROPHILITE:
      return data->hotItem;
    case TVGN_CARET:
      return data->caretItem;
    case TVGN_LASTVISIBLE:
      return data->rowCount ? data->rows[data->rowCount - 1] : 0;
    case TVGN_NEXTSELECTED: {
      if (root) {
        if (data->selectedCount == 1 && data->caretItem) return data->caretItem;
        return TreeListNextItemInOrder(data, kRoot, 0);
      }
      if (!item) return 0;
      if (data->selectedCount == 1 && data->caretItem == target) return 0;
      return TreeListNextItemInOrder(data, target, 0);
    }
    case 12:
      return data->hotColumn;
    case 13:
      return data->caretColumn;
    case 14: {
      if (!data->fixedRows) return RowItem(data, top);
      return (int)data->rowCount > data->fixedRows ? RowItem(data, top + data->fixedRows) : 0;
    }
    case 15:
    case 16: {
      bool focusCell = MultiSelect(data) || data->selectedCount != 1;
      if (code == 15) return focusCell ? data->focusCellItem : data->caretItem;
      return focusCell ? data->focusCellColumn : data->caretColumn;
    }
    case 17:
      if (root) return TreeListNextItemInOrder(data, kRoot, 0);
      if (!item || !item->firstChild) return 0;
      return TreeListNextItemInOrder(data, target, (TLHandle)target);
    case 18:
      return root ? data->lastRoot : (item ? item->lastChild : 0);
    case 19:
      return root ? data->firstRoot : NextPreOrder(data, (TLHandle)target);
    case 20:
      return (int)data->rowCount > data->fixedRows ? RowItem(data, data->fixedRows) : 0;
    case 21: {
      UINT bit = CheckedBit(data);
      TLHandle h;
      if (root) {
        h = data->firstRoot;
        if (!h) return 0;
        if (data->items[h]->state & bit) return h;
      } else {
        if (!item) return 0;
        h = (TLHandle)target;
      }
      for (h = NextPreOrder(data, h); h; h = NextPreOrder(data, h))
        if (data->items[h]->state & bit) return h;
      return 0;
    }
    case 22:
      return item ? item->level : 0;
  }
  return 0;
}

static bool TextMatches(TreeListData* data, TLHandle h, const TreeListFindInfo* info) {
  TreeListItem* item = At(data, h);
  const char* text = "";
  UINT length = 0;
  if (info->column == 0) {
    if (item->callbackFlags & kTLCallbackText) {
      if (!TreeListGetItemDispInfo(data, item, h, TVIF_TEXT, nullptr, &length, &text)) return false;
    } else {
      text = item->text;
      length = item->textLength;
    }
  } else if (info->column > 0 && info->column < data->columnCount) {
    TreeListCell* cell = TreeListGetCell(data, h, info->column, false);
    if (cell && (cell->callbackFlags & kTLCallbackText)) {
      if (!TreeListGetCellDispInfo(data, item, cell, h, info->column, TVIF_TEXT, nullptr, &length, &text)) return false;
    } else if (cell && cell->text) {
      text = cell->text;
      length = cell->textLength;
    }
  } else {
    return false;
  }
  const char* wanted = info->text ? info->text : "";
  if (info->flags & TLFI_NOCASE) return _stricmp(text, wanted) == 0;
  return strlen(wanted) == length && memcmp(text, wanted, length) == 0;
}

LRESULT TreeListFindItem(TreeListData* data, UINT_PTR start, TreeListFindInfo* info) {
  if (!info) return 0;
  UINT flags = info->flags;
  bool root = start == kRoot;
  TLHandle h;
  if (flags & TLFI_FROMCHILD) {
    if (root) {
      h = data->firstRoot;
    } else {
      TreeListItem* item = At(data, (TLHandle)start);
      h = item ? item->firstChild : 0;
    }
  } else if (root) {
    if (!(flags & TLFI_TREE) || (flags & TLFI_AFTER)) return 0;
    h = data->firstRoot;
  } else {
    TreeListItem* item = At(data, (TLHandle)start);
    if (!item) return 0;
    h = (flags & TLFI_AFTER) ? item->nextSibling : (TLHandle)start;
  }
  UINT limit = (flags >> 8) & 0xFF;  // 0: no level limit
  bool skipFirst = false;
  if (flags & TLFI_TREE) {
    if (root && !(flags & TLFI_FROMCHILD)) {
      flags &= 0xD900FFFF;
    } else if (!(flags & TLFI_INCLUDESTART)) {
      skipFirst = !(flags & (TLFI_FROMCHILD | TLFI_AFTER));
    } else {
      TreeListItem* item = At(data, h);
      if (!item || ((flags & TLFI_ONLYOPEN) && !item->row)) return 0;
      if (limit && item->level + 1u >= limit) return 0;
      flags = (flags & 0xD900FFFF) | ((UINT)item->level << 16);
    }
    info->flags = flags;
  }
  auto next = [&](TLHandle c) -> TLHandle {
    TreeListItem* item = At(data, c);
    if (!item) return 0;
    if (info->flags & TLFI_TREE) {
      UINT lowest = (info->flags >> 16) & 0xFF;
      bool descend = item->firstChild && (!limit || item->level + 1u < limit) &&
                     (!(info->flags & TLFI_ONLYOPEN) || (item->row && (item->state & TVIS_EXPANDED)));
      if (descend) return item->firstChild;
      while (item) {
        if (item->nextSibling) return item->nextSibling;
        if (item->level <= lowest || !item->parent) return 0;
        item = At(data, item->parent);
      }
      return 0;
    }
    return item->nextSibling;
  };
  if (skipFirst) h = next(h);
  for (; h; h = next(h)) {
    TreeListItem* item = At(data, h);
    if (!item) return 0;
    if ((flags & TLFI_PARAM) && item->lParam != info->lParam) continue;
    if ((flags & TLFI_STATE) && ((info->state ^ item->state) & info->stateMask)) continue;
    if ((flags & TLFI_TEXT) && !TextMatches(data, h, info)) continue;
    if (!At(data, h)) return 0;  // gone while the parent was asked
    return h;
  }
  return 0;
}

LRESULT TreeListCountMatches(TreeListData* data, const TVITEMA* req) {
  if (!req) return -1;
  UINT_PTR target = (UINT_PTR)req->hItem;
  bool root = target == kRoot;
  if (!root && !At(data, (TLHandle)target)) return -1;
  if (root && !data->firstRoot) return 0;
  auto counts = [&](TLHandle h) {
    TreeListItem* item = data->items[h];
    if ((req->mask & TVIF_STATE) && (item->state & req->stateMask) == (req->state & req->stateMask)) return true;
    if ((req->mask & TVIF_PARAM) && item->lParam == req->lParam) return true;
    if ((req->mask & TVIF_IMAGE) && item->image == req->iImage) return true;
    return (req->mask & TVIF_HANDLE) != 0;
  };
  LRESULT count = 0;
  UINT mask = req->mask;
  if (!root) {
    TreeListItem* item = data->items[target];
    if ((mask & TLSE_ITEM) && counts((TLHandle)target)) ++count;
    if (mask & TLSE_ANCESTORS)
      for (TLHandle h = item->parent; h; h = data->items[h]->parent) count += counts(h);
    if (mask & TLSE_SIBLINGS) {
      for (TLHandle h = item->prevSibling; h; h = data->items[h]->prevSibling) count += counts(h);
      for (TLHandle h = item->nextSibling; h; h = data->items[h]->nextSibling) count += counts(h);
    }
  }
  if (mask & TLSE_DESCENDANTS) {
    TLHandle stop = root ? 0 : (TLHandle)target;
    TLHandle h = root ? data->firstRoot : (data->items[target]->firstChild ? data->items[target]->firstChild : 0);
    for (; h; h = NextPreOrder(data, h, stop)) count += counts(h);
  }
  return count;
}

static void ShiftLevels(TreeListData* data, TLHandle h, int delta) {
  for (TLHandle c = data->items[h]->firstChild; c; c = data->items[c]->nextSibling) {
    data->items[c]->level = (WORD)(data->items[c]->level + delta);
    ShiftLevels(data, c, delta);
  }
}

LRESULT TreeListMoveItem(TreeListData* data, UINT_PTR handle, UINT_PTR target, int mode) {
  if (data->busy || !handle) return 0;
  TreeListItem* item = At(data, (TLHandle)handle);
  if (!item) return 0;
  if (handle == target) return 1;
  TLHandle h = (TLHandle)handle;
  TLHandle newParent, after;  // after: the sibling before the new place, 0 first
  if (target == (UINT_PTR)TVI_LAST) {
    // Already last in tree order: nothing to do.
    bool last = !item->firstChild;
    for (TreeListItem* up = item; last && up; up = up->parent ? At(data, up->parent) : nullptr)
      if (up->nextSibling) last = false;
    if (last) return 0;
    newParent = 0;
    after = data->lastRoot;
  } else if (target == kRoot) {
    if (mode < 2) return 0;
    newParent = 0;
    after = mode == 2 ? 0 : data->lastRoot;
  } else {
    TreeListItem* t = At(data, (TLHandle)target);
    if (!t) return 0;
    if (mode == 0 && t->prevSibling == h) return 1;
    if (mode == 1 && t->nextSibling == h) return 1;
    for (TLHandle up = t->parent; up; up = data->items[up]->parent)
      if (up == h) return 0;
    switch (mode) {
      case 0:
        newParent = t->parent;
        after = t->prevSibling;
        break;
      case 1:
        newParent = t->parent;
        after = (TLHandle)target;
        break;
      case 2:
        newParent = (TLHandle)target;
        after = 0;
        break;
      default:
        newParent = (TLHandle)target;
        after = t->lastChild;
        break;
    }
  }
  // The moved item itself cannot be its own anchor: its neighbour is.
  if (after == h) after = item->prevSibling;
  if (newParent == item->parent && after == item->prevSibling) return 1;
  TLHandle oldAnchor = item->prevSibling ? item->prevSibling : item->parent;
  UINT oldRow = item->row;
  // Unlink.
  TreeListItem* op = item->parent ? At(data, item->parent) : nullptr;
  if (item->prevSibling)
    data->items[item->prevSibling]->nextSibling = item->nextSibling;
  else if (op)
    op->firstChild = item->nextSibling;
  else
    data->firstRoot = item->nextSibling;
  if (item->nextSibling)
    data->items[item->nextSibling]->prevSibling = item->prevSibling;
  else if (op)
    op->lastChild = item->prevSibling;
  else
    data->lastRoot = item->prevSibling;
  if (op && !op->firstChild) op->itemFlags &= ~kTLItemHasChildren;
  // Link.
  TreeListItem* np = newParent ? At(data, newParent) : nullptr;
  item->parent = newParent;
  item->prevSibling = after;
  item->nextSibling = after ? data->items[after]->nextSibling : (np ? np->firstChild : data->firstRoot);
  if (after)
    data->items[after]->nextSibling = h;
  else if (np)
    np->firstChild = h;
  else
    data->firstRoot = h;
  if (item->nextSibling)
    data->items[item->nextSibling]->prevSibling = h;
  else if (np)
    np->lastChild = h;
  else
    data->lastRoot = h;
  if (np) np->itemFlags |= kTLItemHasChildren;
  int level = np ? np->level + 1 : 0;
  if (level != item->level) {
    int delta = level - item->level;
    item->level = (WORD)level;
    ShiftLevels(data, h, delta);
  }
  // Rebuild from the earlier of the two places that has a row.
  TLHandle newAnchor = after ? after : newParent;
  TreeListItem* a = At(data, oldAnchor);
  TreeListItem* b = At(data, newAnchor);
  UINT ra = a && a->row ? a->row : (oldRow ? oldRow : 0xFFFFFFFF);
  UINT rb = b && b->row ? b->row : 0xFFFFFFFF;
  if ((!oldAnchor && oldRow) || (!newAnchor))
    TreeListRebuildRows(data, 0);
  else if (ra == 0xFFFFFFFF && rb == 0xFFFFFFFF)
    ;
  else if (ra <= rb && a && a->row)
    TreeListRebuildRows(data, oldAnchor);
  else if (b && b->row)
    TreeListRebuildRows(data, newAnchor);
  else
    TreeListRebuildRows(data, 0);
  return 2;
}

// One item by the expand service; 1 done or nothing needed, 0 vetoed.
static LRESULT ExpandOne(TreeListData* data, TLHandle h, UINT code) {
  TreeListItem* item = At(data, h);
  if (!item) return 0;
  UINT action = code & 0xF;
  UINT state = item->state;
  bool expanded = (state & TVIS_EXPANDED) != 0;
  int r = 0;
  switch (action) {
    case TVE_COLLAPSE:
      if (expanded) {
        r = TreeListExpandItem(data, h, TVE_COLLAPSE);
      } else {
        item->state &= ~TVIS_EXPANDPARTIAL;
      }
      if (r == 0 && (code & TVE_COLLAPSERESET)) {
        if ((item = At(data, h))) {
          item->state &= ~TVIS_EXPANDEDONCE;
          if (item->firstChild) TreeListDeleteItem(data, h, kTLDeleteChildren | kTLDeleteRebuild);
        }
      }
      break;
    case TVE_EXPAND:
      // Nothing to open: no children, no button, no children to ask for.
      if (!item->firstChild && !(item->itemFlags & kTLItemHasChildren) && !(item->callbackFlags & kTLCallbackChildren))
        return 1;
      if (!expanded) {
        r = TreeListExpandItem(data, h, TVE_EXPAND | ((code & TVE_EXPANDPARTIAL) ? TVIS_EXPANDPARTIAL : 0));
      } else if (code & TVE_EXPANDPARTIAL) {
        if (!(code & TLE_KEEPPARTIAL) && (!(state & TVIS_EXPANDEDONCE) || !(state & TVIS_EXPANDPARTIAL)))
          r = TreeListExpandItem(data, h, TVE_EXPAND | TVIS_EXPANDPARTIAL);
      } else if (state & TVIS_EXPANDPARTIAL) {
        r = TreeListExpandItem(data, h, TVE_EXPAND);
      }
      break;
    case TVE_TOGGLE:
      r = TreeListExpandItem(data, h, 0);
      break;
    default:
      return 0;
  }
  return r == 0 ? 1 : 0;
}

LRESULT TreeListExpand(TreeListData* data, UINT_PTR target, UINT code) {
  bool all = false;
  TLHandle h = 0;
  if (target == kRoot || target > data->capacity) {
    if (!(target == kRoot && (code & TLE_SUBTREES))) return 0;
    all = true;
  } else {
    if (!At(data, (TLHandle)target)) return 0;
    h = (TLHandle)target;
  }
  if (!all && (code & TLE_PARENT)) {
    TLHandle parent = data->items[h]->parent;
    if (!parent) {
      if (!(code & TLE_SUBTREES)) return 0;
      all = true;
    }
    h = parent;
  }
  BYTE quiet = data->quiet;
  if (code & TLE_QUIET) data->quiet = 1;
  LRESULT result = 0;
  UINT single = code & ~(TLE_SIBLINGS | TLE_SUBTREES | TLE_PARENT | TLE_ANCESTORS | 0x8);
  if (all || (code & (TLE_SIBLINGS | TLE_SUBTREES))) {
    // Walk live links: a collapse-reset deletes children, a parent fills
    // them in its expanding notification.
    bool subtrees = all || (code & TLE_SUBTREES);
    TLHandle stop = 0;
    if (!all) {
      TreeListItem* first = data->items[h];
      stop = (code & TLE_SIBLINGS) || !first->nextSibling ? first->parent : first->nextSibling;
    }
    TLHandle cur = all ? data->firstRoot : h;
    while (cur) {
      result |= ExpandOne(data, cur, single);
      TreeListItem* item = At(data, cur);
      if (!item) break;
      if (!subtrees) {
        cur = item->nextSibling;
        continue;
      }
      if (item->firstChild) {
        cur = item->firstChild;
        continue;
      }
      while (item && !item->nextSibling) {
        if (!item->parent || item->parent == stop) {
          item = nullptr;
          break;
        }
        item = At(data, item->parent);
      }
      cur = item ? item->nextSibling : 0;
      if (cur == stop && stop) break;
    }
  } else {
    result = ExpandOne(data, h, single);
  }
  if ((code & TLE_ANCESTORS) && (code & 0xF) != TVE_TOGGLE && h) {
    for (TLHandle up = At(data, h) ? data->items[h]->parent : 0; up; up = data->items[up]->parent) {
      result |= ExpandOne(data, up, single);
      if (!At(data, up)) break;
    }
  }
  data->quiet = quiet;
  return result;
}

// TVM_EXPAND: the deferred form only queues the expansion.
LRESULT TreeListOnExpand(TreeListData* data, WPARAM code, LPARAM item) {
  TreeListLocked lock(data);
  LRESULT result;
  if (code & TLE_DEFER) {
    TreeListQueueOp(data, kTLOpExpand, (UINT_PTR)item, code & ~(WPARAM)TLE_DEFER);
    result = 1;
  } else {
    result = TreeListExpand(data, (UINT_PTR)item, (UINT)code);
  }
  return result;
}

LRESULT TreeListOnGetNextItem(TreeListData* data, WPARAM code, LPARAM item) {
  TreeListLocked lock(data);
  return TreeListGetNextItem(data, (UINT)code, (UINT_PTR)item);
}

LRESULT TreeListOnFindItem(TreeListData* data, WPARAM start, LPARAM find) {
  TreeListLocked lock(data);
  return TreeListFindItem(data, start, (TreeListFindInfo*)find);
}

LRESULT TreeListOnCountItems(TreeListData* data, WPARAM, LPARAM request) {
  TreeListLocked lock(data);
  return TreeListCountMatches(data, (const TVITEMA*)request);
}

// TLM_MOVEITEM to TLM_MOVEITEM_LAST: the message gives the mode.
LRESULT TreeListOnMoveItem(TreeListData* data, UINT msg, WPARAM target, LPARAM item) {
  TreeListLocked lock(data);
  return TreeListMoveItem(data, (UINT_PTR)item, target, (int)(msg - TLM_MOVEITEM));
}
