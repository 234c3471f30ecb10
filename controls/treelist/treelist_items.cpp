// The item store: records, cells and their tables; insert, delete, set and
// get of items and cells; state over relatives; own colours; insert mark.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "controls/treelist/treelist_data.h"

namespace {

const UINT kDeferredBits = TVIS_SELECTED | TVIS_EXPANDED | TVIS_EXPANDPARTIAL;  // 0xA2
const UINT kItemOnlyBits = 0xE2;                                                // cell states keep these on the item

bool IsHidden(const TreeListData* data, const TreeListItem* item) {
  return (data->exStyle & TLS_EX_HIDEITEMS) && (item->state & TLIS_HIDDEN);
}

char* CopyText(const char* text, UINT length) {
  char* copy = (char*)malloc(length + 1);
  if (!copy) return nullptr;
  memcpy(copy, text, length);
  copy[length] = 0;
  return copy;
}

// Stores text into *stored; true when the stored text changed.
bool StoreText(char** stored, UINT* storedLength, BYTE* callbackFlags, const char* text) {
  if (text == LPSTR_TEXTCALLBACKA) {
    bool changed = !(*callbackFlags & kTLCallbackText);
    free(*stored);
    *stored = nullptr;
    *storedLength = 0;
    *callbackFlags |= kTLCallbackText;
    return changed;
  }
  if (!text) text = "";
  UINT length = (UINT)strlen(text);
  bool changed =
      (*callbackFlags & kTLCallbackText) || !*stored || length != *storedLength || memcmp(*stored, text, length) != 0;
  if (!changed) return false;
  if (!*stored || length > *storedLength) {
    char* copy = CopyText(text, length);
    if (!copy) return false;
    free(*stored);
    *stored = copy;
  } else {
    memmove(*stored, text, length);
    (*stored)[length] = 0;
  }
  *storedLength = length;
  *callbackFlags &= ~kTLCallbackText;
  return true;
}

void FreeCells(TreeListData* data, TLHandle handle) {
  for (int c = 1; c < data->columnCount; ++c) {
    TreeListCell** table = data->cells[c - 1];
    if (table && table[handle]) {
      free(table[handle]->text);
      free(table[handle]);
      table[handle] = nullptr;
    }
  }
}

}  // namespace

int TreeListGrowTables(TreeListData* data, UINT needed) {
  if (needed <= data->capacity) return 1;
  UINT old = data->capacity;
  UINT cap = old + old / 2 + 64;
  if (cap < needed) cap = needed;
  TreeListItem** items = (TreeListItem**)calloc(cap + 1, sizeof(TreeListItem*));
  TLHandle* rows = items ? (TLHandle*)calloc(cap + 1, sizeof(TLHandle)) : nullptr;
  TreeListCell** cells[kTLMaxColumns - 1] = {};
  bool ok = rows != nullptr;
  for (int c = 1; ok && c < data->columnCount; ++c) {
    cells[c - 1] = (TreeListCell**)calloc(cap + 1, sizeof(TreeListCell*));
    ok = cells[c - 1] != nullptr;
  }
  if (!ok) {
    for (TreeListCell** table : cells) free(table);
    free(rows);
    free(items);
    return 0;
  }
  memcpy(items, data->items, (old + 1) * sizeof(TreeListItem*));
  memcpy(rows, data->rows, (old + 1) * sizeof(TLHandle));
  free(data->items);
  free(data->rows);
  data->items = items;
  data->rows = rows;
  for (int c = 1; c < data->columnCount; ++c) {
    if (data->cells[c - 1]) memcpy(cells[c - 1], data->cells[c - 1], (old + 1) * sizeof(TreeListCell*));
    free(data->cells[c - 1]);
    data->cells[c - 1] = cells[c - 1];
  }
  data->capacity = cap;
  return 1;
}

TreeListCell* TreeListGetCell(TreeListData* data, TLHandle handle, int column, bool create) {
  if (column < 1 || column >= data->columnCount || !data->cells[column - 1]) return nullptr;
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return nullptr;
  TreeListCell*& cell = data->cells[column - 1][handle];
  if (!cell && create) {
    cell = (TreeListCell*)calloc(1, sizeof(TreeListCell));
    if (cell) {
      cell->image = -2;
      cell->state = item->state & 0x11;
    }
  }
  return cell;
}

static TLHandle NthChild(TreeListData* data, TreeListItem* parent, UINT n) {
  TLHandle h = parent ? parent->firstChild : data->firstRoot;
  for (UINT i = 1; h && i < n; ++i) {
    TreeListItem* item = data->items[h];
    if (!item->nextSibling) break;
    h = item->nextSibling;
  }
  return h;
}

// Links handle under parent (0: roots) after `after` (0: first).
static void Link(TreeListData* data, TLHandle handle, TLHandle parent, TLHandle after) {
  TreeListItem* item = data->items[handle];
  TreeListItem* p = parent ? data->items[parent] : nullptr;
  TLHandle& first = p ? p->firstChild : data->firstRoot;
  TLHandle& last = p ? p->lastChild : data->lastRoot;
  item->parent = parent;
  item->prevSibling = after;
  item->nextSibling = after ? data->items[after]->nextSibling : first;
  if (after)
    data->items[after]->nextSibling = handle;
  else
    first = handle;
  if (item->nextSibling)
    data->items[item->nextSibling]->prevSibling = handle;
  else
    last = handle;
}

static void Unlink(TreeListData* data, TLHandle handle) {
  TreeListItem* item = data->items[handle];
  TreeListItem* p = item->parent ? TreeListLookup(data, item->parent) : nullptr;
  TLHandle& first = p ? p->firstChild : data->firstRoot;
  TLHandle& last = p ? p->lastChild : data->lastRoot;
  if (item->prevSibling)
    data->items[item->prevSibling]->nextSibling = item->nextSibling;
  else
    first = item->nextSibling;
  if (item->nextSibling)
    data->items[item->nextSibling]->prevSibling = item->prevSibling;
  else
    last = item->prevSibling;
  if (p && !p->firstChild) p->itemFlags &= ~kTLItemHasChildren;
  item->prevSibling = item->nextSibling = 0;
}

// Text of an item for sorting: callbacks asked of the parent (none when the
// caller forbids callbacks). The result lives in the second buffer.
static const char* SortText(TreeListData* data, TLHandle handle, bool direct) {
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return "";
  if (!(item->callbackFlags & kTLCallbackText)) return item->text ? item->text : "";
  if (direct) return "";
  UINT length = 1;
  const char* text = "";
  if (!TreeListGetItemDispInfo(data, item, handle, TVIF_TEXT, nullptr, &length, &text)) return "";
  return text;
}

// Binary search over the siblings: the sibling after which the new item goes
// (0 = first). `after(sibling)` says the new item belongs after it.
template <typename After>
static TLHandle SortedPlace(TreeListData* data, TLHandle parent, After after) {
  TreeListItem* p = parent ? TreeListLookup(data, parent) : nullptr;
  TLHandle first = p ? p->firstChild : data->firstRoot;
  UINT count = 0;
  for (TLHandle h = first; h; h = data->items[h]->nextSibling) ++count;
  UINT lo = 0, hi = count;  // answer: number of siblings before
  while (lo < hi) {
    UINT mid = (lo + hi) / 2;
    TLHandle h = first;
    for (UINT i = 0; i < mid && h; ++i) h = data->items[h]->nextSibling;
    if (!h) break;
    if (after(h))
      lo = mid + 1;
    else
      hi = mid;
    // The parent may have changed the tree while it was asked.
    p = parent ? TreeListLookup(data, parent) : nullptr;
    if (parent && !p) return (TLHandle)-1;
    first = p ? p->firstChild : data->firstRoot;
  }
  if (lo == 0) return 0;
  TLHandle h = first;
  for (UINT i = 1; i < lo && h; ++i) h = data->items[h]->nextSibling;
  return h;
}

static void RebuildAfterInsert(TreeListData* data, TLHandle handle, bool direct, bool parentHadChildren) {
  TreeListItem* item = data->items[handle];
  TreeListItem* parent = item->parent ? data->items[item->parent] : nullptr;
  if (parent && parentHadChildren && !(parent->state & TVIS_EXPANDED)) return;
  // A first child gives the parent its button.
  if (parent && !parentHadChildren && parent->row) {
    if (direct)
      TreeListQueueOp(data, kTLOpRepaintItem, item->parent, 0);
    else
      TreeListInvalidateItem(data, item->parent);
  }
  TLHandle from = item->prevSibling;
  while (from && IsHidden(data, data->items[from])) from = data->items[from]->prevSibling;
  if (!from) from = item->parent;
  if (from && !data->items[from]->row) return;
  if (direct)
    TreeListQueueOp(data, kTLOpRebuild, from, 0);
  else
    TreeListRebuildRows(data, from);
}

LRESULT TreeListInsertItem(TreeListData* data, TVINSERTSTRUCTA* ins) {
  if (!ins || data->busy) return 0;
  TLHandle parent = 0;
  UINT_PTR hp = (UINT_PTR)ins->hParent;
  UINT_PTR after = (UINT_PTR)ins->hInsertAfter;
  if (hp && hp != (UINT_PTR)TVI_ROOT) {
    if (!TreeListLookup(data, hp)) return 0;
    parent = (TLHandle)hp;
  }
  TVITEMEXA& src = ins->itemex;
  UINT mask = src.mask;
  bool direct = (mask & TLIF_DIRECT) != 0;
  // The two sibling positions name their item in hParent.
  if (after == (UINT_PTR)TLI_AFTER || after == (UINT_PTR)TLI_BEFORE) {
    if (!parent) return 0;
  }
  if (data->itemCount >= data->capacity && !TreeListGrowTables(data, data->itemCount + 1)) return 0;
  TreeListItem* item = (TreeListItem*)calloc(1, sizeof(TreeListItem) + data->extraBytes);
  if (!item) return 0;
  TLHandle handle = 0;
  for (UINT i = 0, h = data->lastHandle; i < data->capacity; ++i) {
    h = h >= data->capacity ? 1 : h + 1;
    if (!data->items[h]) {
      handle = h;
      break;
    }
  }
  if (!handle) {
    free(item);
    return 0;
  }
  UINT state = 0, stateMask = src.stateMask, setAside = 0;
  if (mask & TVIF_STATE) {
    if (direct) {
      setAside = src.state & stateMask & kDeferredBits;
      stateMask &= ~kDeferredBits;
    }
    state = src.state & stateMask;
  } else if ((data->style & TVS_CHECKBOXES) && !(data->exStyle & TLS_EX_CHECKFROMZERO)) {
    state = 0x1000;
  }
  item->lParam = (mask & TVIF_PARAM) ? src.lParam : 0;
  item->image = item->selectedImage = -2;
  if (mask & TVIF_IMAGE) {
    item->image = src.iImage;
    if (src.iImage == -1) item->callbackFlags |= kTLCallbackImage;
    if (data->normalImages && src.iImage != -2) item->itemFlags |= kTLItemHasImage;
  }
  if (mask & TVIF_SELECTEDIMAGE) {
    item->selectedImage = src.iSelectedImage;
    if (src.iSelectedImage == -1) item->callbackFlags |= kTLCallbackSelImage;
  }
  if (mask & TVIF_CHILDREN) {
    if (src.cChildren == -1)
      item->callbackFlags |= kTLCallbackChildren;
    else if (src.cChildren == 1)
      item->itemFlags |= kTLItemHasChildren;
    else if (src.cChildren != 0)
      item->itemFlags |= kTLItemChildrenReal;
  } else {
    item->itemFlags |= kTLItemChildrenReal;
  }
  if (data->style & TVS_SINGLEEXPAND) state &= ~TVIS_EXPANDED;
  item->state = state & ~TVIS_SELECTED;
  if ((mask & TVIF_TEXT) && src.pszText == LPSTR_TEXTCALLBACKA) {
    item->callbackFlags |= kTLCallbackText;
  } else {
    const char* text = (mask & TVIF_TEXT) && src.pszText ? src.pszText : "";
    item->textLength = (UINT)strlen(text);
    item->text = CopyText(text, item->textLength);
    if (!item->text) {
      free(item);
      return 0;
    }
  }
  // Position: the sibling after which the item goes (0 = first).
  TLHandle prev;
  if (after == (UINT_PTR)TVI_ROOT) {
    parent = 0;
    prev = data->lastRoot;
  } else if (after == (UINT_PTR)TLI_AFTER || after == (UINT_PTR)TLI_BEFORE) {
    TreeListItem* anchor = data->items[parent];
    TLHandle anchorHandle = parent;
    parent = anchor->parent;
    prev = after == (UINT_PTR)TLI_AFTER ? anchorHandle : anchor->prevSibling;
  } else if (after == (UINT_PTR)TVI_FIRST) {
    prev = 0;
  } else if (after == (UINT_PTR)TVI_SORT || after == (UINT_PTR)TLI_SORTCB) {
    // The item is not linked yet: its text and lParam are read from the
    // record, which the table does not know, so the parent cannot free it.
    const char* newText = item->text ? item->text : "";
    TreeListCompareProc compare = (TreeListCompareProc)(void*)src.hItem;
    LPARAM sortParam = src.lParam;
    if ((mask & TLIF_PARAMINTEGRAL) && after == (UINT_PTR)TLI_SORTCB) item->lParam = (LPARAM)(INT_PTR)src.iIntegral;
    data->busy = 1;
    if (after == (UINT_PTR)TVI_SORT) {
      prev = SortedPlace(data, parent, [&](TLHandle h) { return _stricmp(newText, SortText(data, h, direct)) > 0; });
    } else if (compare) {
      HWND hwnd = data->window;
      prev = SortedPlace(data, parent, [&](TLHandle h) {
        TreeListItem* sibling = data->items[h];
        const char* siblingText = sibling->text ? sibling->text : "";
        LPARAM siblingParam = sibling->lParam;
        TreeListUnlocked unlocked(data);
        return compare(hwnd, (HTREEITEM)(UINT_PTR)h, siblingText, newText, siblingParam, sortParam) > 0;
      });
    } else {
      prev = parent ? data->items[parent]->lastChild : data->lastRoot;
    }
    data->busy = 0;
    if (prev == (TLHandle)-1 || (prev && !data->items[prev])) {
      free(item->text);
      free(item);
      return 0;
    }
  } else if (after >= 0xFFE00000u && after <= 0xFFEFFFFFu) {
    UINT n = (UINT)(after - 0xFFE00000u);
    prev = n == 0 ? 0 : NthChild(data, parent ? data->items[parent] : nullptr, n);
  } else {
    TreeListItem* sibling = after != (UINT_PTR)TVI_LAST ? TreeListLookup(data, after) : nullptr;
    if (sibling && sibling->parent == parent)
      prev = (TLHandle)after;
    else
      prev = parent ? data->items[parent]->lastChild : data->lastRoot;
  }
  // The tables may have been reallocated while the parent was asked.
  if (data->itemCount >= data->capacity && !TreeListGrowTables(data, data->itemCount + 1)) {
    free(item->text);
    free(item);
    return 0;
  }
  if (data->items[handle]) {
    for (UINT h = 1; h <= data->capacity; ++h)
      if (!data->items[h]) {
        handle = h;
        break;
      }
  }
  data->items[handle] = item;
  data->lastHandle = handle;
  ++data->itemCount;
  bool parentHadChildren = false;
  if (parent) {
    TreeListItem* p = data->items[parent];
    item->level = (WORD)(p->level + 1);
    parentHadChildren = p->firstChild != 0;
    if (p->itemFlags & kTLItemChildrenReal) p->itemFlags |= kTLItemHasChildren;
  }
  Link(data, handle, parent, prev);
  if (setAside) TreeListQueueOp(data, kTLOpSetStateQuiet, handle, (kDeferredBits << 16) | setAside);
  RebuildAfterInsert(data, handle, direct, parentHadChildren);
  if (state & TVIS_SELECTED) {
    if (direct)
      TreeListQueueOp(data, kTLOpSetState, handle, (TVIS_SELECTED << 16) | TVIS_SELECTED);
    else
      TreeListSelectItem(data, handle, 0, 0);
  }
  return handle;
}

// Every reference of the state block to a deleted item goes with it.
static void ForgetItem(TreeListData* data, TLHandle h) {
  if (data->caretItem == h) data->caretItem = 0, data->caretColumn = 0;
  if (data->anchorItem == h) data->anchorItem = 0;
  if (data->focusCellItem == h) data->focusCellItem = 0, data->focusCellColumn = 0;
  if (data->hotItem == h) data->hotItem = 0, data->hotColumn = 0;
  if (data->insertMarkItem == h) data->insertMarkItem = 0;
  if (data->checkedItem == h) data->checkedItem = 0;
  if (data->dropMarkItem == h) TreeListSetDropMark(data, 0, 0, 0);
  if (data->dragItem == h) TreeListEndDragQuietly(data);
  if (data->dragCandidate == h) data->dragCandidate = 0, data->dragCandidateColumn = 0;
  if (data->pressState[1] == h) data->pressState[0] = data->pressState[1] = data->pressState[2] = 0;
  if (data->pressState[3] == h) data->pressState[3] = data->pressState[4] = 0;
  if (data->tipItem == h) TreeListHideTip(data);
  if (data->editItem == h) TreeListEndEdit(data, 0);
}

// Deletes one item and its subtree; false when it vanished on the way.
static bool DeleteOne(TreeListData* data, TLHandle handle, int mode) {
  // Children first, always the current last one.
  for (;;) {
    TreeListItem* item = TreeListLookup(data, handle);
    if (!item) return false;
    if (!item->lastChild) break;
    TLHandle child = item->lastChild;
    if (!DeleteOne(data, child, mode & kTLDeleteDeferred) && TreeListLookup(data, child)) return false;
  }
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return false;
  if (item->state & TVIS_SELECTED) {
    if (mode & kTLDeleteDeferred) {
      TreeListQueueOp(data, kTLOpSelectionGone, handle, (UINT_PTR)item->lParam);
    } else {
      NMTREEVIEWA nm = {};
      nm.hdr.code = TVN_SELCHANGEDA;
      nm.itemOld.mask = kTLRecordMask;
      nm.itemOld.hItem = (HTREEITEM)(UINT_PTR)handle;
      nm.itemOld.state = item->state & ~TVIS_SELECTED;
      nm.itemOld.lParam = item->lParam;
      nm.itemNew.mask = kTLRecordMask;
      TreeListNotifyUnlocked(data, &nm.hdr);
      item = TreeListLookup(data, handle);
      if (!item) return false;
    }
  }
  if (!(mode & kTLDeleteDeferred)) {
    NMTREEVIEWA nm = {};
    nm.hdr.code = TVN_DELETEITEMA;
    nm.itemOld.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    nm.itemOld.hItem = (HTREEITEM)(UINT_PTR)handle;
    nm.itemOld.state = item->state;
    nm.itemOld.lParam = item->lParam;
    TreeListNotifyUnlocked(data, &nm.hdr);
    item = TreeListLookup(data, handle);
    if (!item) return false;
  }
  ForgetItem(data, handle);
  TLHandle prev = item->prevSibling, next = item->nextSibling, parent = item->parent;
  bool hadRow = item->row != 0;
  Unlink(data, handle);
  FreeCells(data, handle);
  data->items[handle] = nullptr;
  if (item->state & TVIS_SELECTED) --data->selectedCount;
  free(item->text);
  free(item);
  --data->itemCount;
  if ((mode & kTLDeleteRebuild) && hadRow) {
    // The previous sibling or the parent holds the rows up to the gap; the
    // next sibling would leave the deleted rows in the table.
    TLHandle from = prev ? prev : parent;
    (void)next;
    if (mode & kTLDeleteDeferred)
      TreeListQueueOp(data, kTLOpRebuild, from, 0);
    else
      TreeListRebuildRows(data, from);
  }
  return true;
}

static void ClampTopAfterDelete(TreeListData* data, int mode) {
  int max = (int)data->rowCount - data->rowsPerPage + 1;
  int top = data->topRow > max ? max : data->topRow;
  if (top < 0) top = 0;
  if (top == data->topRow) return;
  if (mode & kTLDeleteDeferred) {
    TreeListQueueOp(data, kTLOpVPos, 0, (UINT_PTR)top);
    TreeListQueueOnce(data, kTLOpRepaintRows);
  } else {
    if (TreeListSetVScrollPos(data, top, TL_SCROLL_OWN) > 0) TreeListInvalidateRows(data);
  }
}

LRESULT TreeListDeleteItem(TreeListData* data, UINT_PTR target, int mode) {
  if (data->busy) return 0;
  // The parent's notifications come while the store is half-way: it may
  // read, but neither insert nor delete until the delete is done.
  data->busy = 1;
  LRESULT result = 1;
  if (mode & kTLDeleteChildren) {
    TreeListItem* item = TreeListLookup(data, target);
    if (!item || !item->firstChild) {
      result = 0;
    } else {
      while ((item = TreeListLookup(data, target)) && item->lastChild) {
        TLHandle child = item->lastChild;
        if (!DeleteOne(data, child, mode & kTLDeleteDeferred) && TreeListLookup(data, child)) break;
      }
      item = TreeListLookup(data, target);
      if (item && item->row) {
        if (mode & kTLDeleteDeferred)
          TreeListQueueOp(data, kTLOpRebuild, target, 0);
        else
          TreeListRebuildRows(data, (TLHandle)target);
      }
    }
  } else if (target == (UINT_PTR)TVI_ROOT || target == (UINT_PTR)TLI_UNFIXEDROOTS) {
    UINT keep = target == (UINT_PTR)TVI_ROOT ? 0 : (UINT)(data->fixedRows > 0 ? data->fixedRows : 0);
    UINT roots = 0;
    for (TLHandle h = data->firstRoot; h; h = data->items[h]->nextSibling) ++roots;
    // Busy keeps the parent from changing the roots meanwhile.
    for (; roots > keep && data->lastRoot; --roots) {
      TLHandle last = data->lastRoot;
      if (!DeleteOne(data, last, mode & kTLDeleteDeferred) && TreeListLookup(data, last)) break;
    }
    // Rows end at the deepest last-row descendant of the remaining last root.
    UINT count = 0;
    if (TreeListItem* last = TreeListLookup(data, data->lastRoot)) {
      last->itemFlags &= ~kTLItemLineBelow;
      TreeListItem* deepest = last;
      TLHandle h = data->lastRoot;
      while (deepest->lastChild && (deepest->state & TVIS_EXPANDED) && deepest->row) {
        TreeListItem* child = TreeListLookup(data, deepest->lastChild);
        if (!child || !child->row) break;
        h = deepest->lastChild;
        deepest = child;
      }
      (void)h;
      count = deepest->row;
    }
    for (UINT r = count; r < data->rowCount; ++r) data->rows[r] = 0;
    data->rowCount = count;
    if (!data->firstRoot) data->rowCount = 0;
    if (mode & kTLDeleteDeferred) {
      TreeListQueueOnce(data, kTLOpVBar);
      TreeListQueueOnce(data, kTLOpRepaintRows);
    } else {
      TreeListUpdateVScrollBar(data, 1, 0);
      if (data->rowCount == 0)
        InvalidateRect(data->window, nullptr, TRUE);
      else
        TreeListInvalidateRows(data);
    }
  } else {
    TreeListItem* item = TreeListLookup(data, target);
    if (!item) {
      result = 0;
    } else {
      bool hadRow = item->row != 0;
      TLHandle prev = item->prevSibling, parent = item->parent;
      DeleteOne(data, (TLHandle)target, mode);
      // Without a rebuild the rows must still lose the deleted handles.
      if (!(mode & kTLDeleteRebuild) && hadRow) {
        TLHandle from = TreeListLookup(data, prev) ? prev : (TreeListLookup(data, parent) ? parent : 0);
        if (mode & kTLDeleteDeferred)
          TreeListQueueOp(data, kTLOpRebuild, from, 0);
        else
          TreeListRebuildRows(data, from);
      }
    }
  }
  data->busy = 0;
  ClampTopAfterDelete(data, mode);
  return result;
}

static int DeleteModeOf(WPARAM wParam) {
  switch (wParam) {
    case TLDI_NOREBUILD:
      return 0;
    case TLDI_CHILDREN:
      return kTLDeleteChildren;
    case TLDI_DEFERRED:
      return kTLDeleteRebuild | kTLDeleteDeferred;
    case TLDI_CHILDRENDEFERRED:
      return kTLDeleteChildren | kTLDeleteDeferred;
  }
  return kTLDeleteRebuild;
}

LRESULT TreeListOnDeleteMessage(TreeListData* data, WPARAM wParam, LPARAM lParam) {
  TreeListLocked lock(data);
  return TreeListDeleteItem(data, (UINT_PTR)lParam, DeleteModeOf(wParam));
}

// Selection and expansion asked for by a state change.
static bool ApplySelected(TreeListData* data, TLHandle handle, int column, bool select) {
  if (select) return TreeListSelectItem(data, handle, column, 0) != 0;
  return TreeListUnselectItem(data, handle) != 0;
}

static LRESULT SetCell(TreeListData* data, TVITEMA* tv, TLHandle handle, int column, bool direct) {
  TreeListCell* cell = TreeListGetCell(data, handle, column, true);
  if (!cell) return 0;
  TreeListItem* item = data->items[handle];
  UINT mask = tv->mask;
  bool visible = false;
  HIMAGELIST list = data->cellImages;
  if (mask & TVIF_PARAM) item->lParam = tv->lParam;
  if (mask & TVIF_IMAGE) {
    if (cell->image != tv->iImage && list) visible = true;
    cell->image = tv->iImage;
    if (tv->iImage == -1)
      cell->callbackFlags |= kTLCallbackImage;
    else
      cell->callbackFlags &= ~kTLCallbackImage;
    if (list && tv->iImage != -2)
      cell->cellFlags |= kTLItemHasImage;
    else
      cell->cellFlags &= ~kTLItemHasImage;
  }
  if (mask & TVIF_TEXT) {
    if (StoreText(&cell->text, &cell->textLength, &cell->callbackFlags, tv->pszText)) {
      cell->textWidth = 0;
      visible = true;
    }
  }
  if (mask & TVIF_STATE) {
    UINT stateMask = tv->stateMask;
    UINT cellMask = (mask & TLIF_ALLCELLSTATE) ? stateMask : stateMask & ~kItemOnlyBits;
    UINT old = cell->state;
    cell->state = (old & ~cellMask) | (tv->state & cellMask);
    UINT changed = old ^ cell->state;
    if ((changed & 0xFF84) && (list || data->columns[column].editKind >= TLEK_CHECK)) visible = true;
    if (changed & 0x19) {
      cell->textWidth = 0;
      visible = true;
    }
    if (!(mask & TLIF_ALLCELLSTATE)) {
      UINT itemChanged = (item->state ^ tv->state) & stateMask;
      if ((itemChanged & TVIS_EXPANDED) && item->firstChild) {
        if (direct)
          TreeListQueueOp(data, kTLOpExpand, handle, 0);
        else if (TreeListExpandItem(data, handle, 0) != 0)
          return 0;
      }
      if (itemChanged & TVIS_SELECTED) {
        int col = (data->exStyle & TLS_EX_CELLCARET) ? column : 0;
        if (direct)
          TreeListQueueOp(data, kTLOpSetState, handle, (TVIS_SELECTED << 16) | (tv->state & TVIS_SELECTED));
        else
          ApplySelected(data, handle, col, (tv->state & TVIS_SELECTED) != 0);
      }
    }
  }
  if (visible && TreeListLookup(data, handle) && data->items[handle]->row) {
    if (direct)
      TreeListQueueOp(data, kTLOpRepaintCell, handle, (UINT_PTR)column);
    else
      TreeListInvalidateCell(data, handle, column);
  }
  return 1;
}

static bool QualifiesChecked(const TreeListData* data, UINT state) {
  if (data->exStyle & TLS_EX_CHECKFROMZERO) return (state & 0x1000) != 0;
  UINT m = (data->exStyle & TLS_EX_HIDEITEMS) ? 0xB000 : 0xF000;
  return (state & m) == 0x2000;
}

LRESULT TreeListSetItem(TreeListData* data, TVITEMA* tv) {
  if (!tv) return 0;
  TLHandle handle = (TLHandle)(UINT_PTR)tv->hItem;
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return 0;
  UINT mask = tv->mask;
  bool direct = (mask & TLIF_DIRECT) != 0;
  UINT stateMask = tv->stateMask;
  if (direct && (mask & TVIF_STATE) && !((mask & TLIF_CELL) && (mask & TLIF_ALLCELLSTATE))) {
    UINT deferred = stateMask & kDeferredBits & (item->state ^ tv->state);
    if (deferred) {
      UINT moved = stateMask & (TVIS_SELECTED | TVIS_EXPANDED);
      stateMask &= ~moved;
      TreeListQueueOp(data, kTLOpSetState, handle,
                      ((tv->stateMask & kDeferredBits) << 16) | (tv->state & tv->stateMask & kDeferredBits));
    }
  }
  int column = (mask & TLIF_CELL) ? tv->cChildren : 0;
  if (column > 0) {
    if (column >= data->columnCount) return 0;
    TVITEMA copy = *tv;
    copy.stateMask = stateMask;
    return SetCell(data, &copy, handle, column, direct);
  }
  if (mask & TLIF_CELL) mask &= ~TVIF_CHILDREN;
  bool visible = false;
  bool selected = (item->state & TVIS_SELECTED) != 0;
  if (mask & TVIF_PARAM) item->lParam = tv->lParam;
  if (mask & TVIF_IMAGE) {
    if (item->image != tv->iImage && !selected && data->normalImages) visible = true;
    item->image = tv->iImage;
    if (tv->iImage == -1)
      item->callbackFlags |= kTLCallbackImage;
    else
      item->callbackFlags &= ~kTLCallbackImage;
    if (data->normalImages && tv->iImage != -2)
      item->itemFlags |= kTLItemHasImage;
    else
      item->itemFlags &= ~kTLItemHasImage;
  }
  if (mask & TVIF_SELECTEDIMAGE) {
    if (item->selectedImage != tv->iSelectedImage && selected) visible = true;
    item->selectedImage = tv->iSelectedImage;
    if (tv->iSelectedImage == -1)
      item->callbackFlags |= kTLCallbackSelImage;
    else
      item->callbackFlags &= ~kTLCallbackSelImage;
  }
  if (mask & TVIF_CHILDREN) {
    BYTE old = item->itemFlags;
    if (tv->cChildren == -1) {
      item->callbackFlags |= kTLCallbackChildren;
      item->itemFlags &= ~kTLItemChildrenReal;
    } else if (tv->cChildren == 0) {
      item->callbackFlags &= ~kTLCallbackChildren;
      item->itemFlags = (BYTE)((item->itemFlags & ~kTLItemHasChildren) | kTLItemChildrenReal);
    } else if (tv->cChildren == 1) {
      item->itemFlags = (BYTE)((item->itemFlags & ~kTLItemChildrenReal) | kTLItemHasChildren);
    } else {
      item->itemFlags |= kTLItemChildrenReal;
      if (item->firstChild)
        item->itemFlags |= kTLItemHasChildren;
      else
        item->itemFlags &= ~kTLItemHasChildren;
    }
    if (old != item->itemFlags) visible = true;
  }
  if (mask & TVIF_TEXT) {
    if (StoreText(&item->text, &item->textLength, &item->callbackFlags, tv->pszText)) {
      item->textWidth = 0;
      visible = true;
    }
  }
  bool wholeRow = false;
  if (mask & TVIF_STATE) {
    if (data->style & TVS_SINGLEEXPAND) stateMask &= ~TVIS_EXPANDED;
    UINT old = item->state;
    UINT now = (old & ~stateMask) | (tv->state & stateMask);
    UINT changed = old ^ now;
    // Selection and expansion go through their own operations below.
    item->state = now ^ (changed & (TVIS_SELECTED | TVIS_EXPANDED | TVIS_EXPANDPARTIAL));
    if ((changed & 0xF04) && data->normalImages) visible = true;
    if (changed & 0xF000) {
      if (data->stateImages) visible = true;
      if ((data->exStyle & TLS_EX_HIDEITEMS) && (changed & TLIS_HIDDEN)) {
        if (direct)
          TreeListQueueOp(data, kTLOpRebuild, handle, 0);
        else
          TreeListRebuildRows(data, handle);
      }
      if (QualifiesChecked(data, now))
        data->checkedItem = handle;
      else if (data->checkedItem == handle)
        data->checkedItem = 0;
    }
    if (changed & 0x19) {
      item->textWidth = 0;
      visible = true;
    }
    if ((changed >> 16) & data->mergeMask) {
      wholeRow = true;
      if (direct)
        TreeListQueueOp(data, kTLOpRepaintItem, handle, 0);
      else
        TreeListInvalidateItem(data, handle);
    }
    if (changed & TVIS_SELECTED) {
      if (direct)
        TreeListQueueOp(data, kTLOpSetState, handle, (TVIS_SELECTED << 16) | (now & TVIS_SELECTED));
      else
        ApplySelected(data, handle, 0, (now & TVIS_SELECTED) != 0);
      item = TreeListLookup(data, handle);
      if (!item) return 0;
    }
    if (changed & TVIS_EXPANDED) {
      if (!item->firstChild && !(item->itemFlags & kTLItemHasChildren)) {
        item->state ^= TVIS_EXPANDED;  // no children: a plain bit
      } else if (direct) {
        TreeListQueueOp(data, kTLOpExpand, handle,
                        (now & TVIS_EXPANDED ? TVE_EXPAND : TVE_COLLAPSE) | (now & TVIS_EXPANDPARTIAL));
      } else {
        UINT code = (now & TVIS_EXPANDED) ? TVE_EXPAND : TVE_COLLAPSE;
        if (stateMask & TVIS_EXPANDPARTIAL) code |= now & TVIS_EXPANDPARTIAL;
        if (TreeListExpandItem(data, handle, code) != 0) return 0;
        item = TreeListLookup(data, handle);
        if (!item) return 0;
      }
    } else if (changed & TVIS_EXPANDPARTIAL) {
      item->state ^= TVIS_EXPANDPARTIAL;
      visible = true;
    }
  }
  if (visible && !wholeRow && item->row) {
    if (direct)
      TreeListQueueOp(data, kTLOpRepaintCell, handle, 0);
    else
      TreeListInvalidateCell(data, handle, 0);
  }
  return 1;
}

LRESULT TreeListGetItem(TreeListData* data, TVITEMA* tv) {
  if (!tv) return 0;
  TLHandle handle = (TLHandle)(UINT_PTR)tv->hItem;
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return 0;
  UINT mask = tv->mask;
  int column = (mask & TLIF_CELL) ? tv->cChildren : 0;
  if (column > 0) {
    TreeListCell* cell = TreeListGetCell(data, handle, column, true);
    if (!cell) return 0;
    if (mask & TVIF_PARAM) tv->lParam = item->lParam;
    if (mask & TVIF_IMAGE) tv->iImage = cell->image;
    // The cell's own state; the item-only bits only when asked for.
    if (mask & TVIF_STATE)
      tv->state = cell->state & tv->stateMask & ((mask & TLIF_ALLCELLSTATE) ? ~0u : ~kItemOnlyBits);
    if (mask & TVIF_TEXT) {
      if (cell->callbackFlags & kTLCallbackText) {
        tv->pszText = LPSTR_TEXTCALLBACKA;
      } else if (mask & TLIF_TEXTPTR) {
        tv->pszText = cell->text ? cell->text : (char*)"";
        tv->cchTextMax = cell->text ? (int)cell->textLength + 1 : 0;
      } else if (tv->pszText && tv->cchTextMax > 0) {
        UINT n = cell->textLength < (UINT)tv->cchTextMax - 1 ? cell->textLength : (UINT)tv->cchTextMax - 1;
        if (n) memcpy(tv->pszText, cell->text, n);
        tv->pszText[n] = 0;
      }
    }
    return 1;
  }
  if (mask & TVIF_PARAM) tv->lParam = item->lParam;
  if (mask & TVIF_IMAGE) tv->iImage = item->image;
  if (mask & TVIF_SELECTEDIMAGE) tv->iSelectedImage = item->selectedImage;
  if ((mask & TVIF_CHILDREN) || (mask & TLIF_CELL))
    tv->cChildren = (item->callbackFlags & kTLCallbackChildren) ? -1 : (item->firstChild ? 1 : 0);
  if (mask & TVIF_STATE) tv->state = item->state & tv->stateMask;
  if (mask & TVIF_TEXT) {
    if (item->callbackFlags & kTLCallbackText) {
      tv->pszText = LPSTR_TEXTCALLBACKA;
    } else if (mask & TLIF_TEXTPTR) {
      tv->pszText = item->text;
      tv->cchTextMax = (int)item->textLength + 1;
    } else if (tv->pszText && tv->cchTextMax > 0) {
      UINT n = item->textLength < (UINT)tv->cchTextMax - 1 ? item->textLength : (UINT)tv->cchTextMax - 1;
      if (n) memcpy(tv->pszText, item->text, n);
      tv->pszText[n] = 0;
    }
  }
  return 1;
}

// Applies the state to one target; the copy and condition modes decide.
static bool SetStateOn(TreeListData* data, TVITEMA* tv, TLHandle target, UINT state, UINT stateMask) {
  TreeListItem* item = TreeListLookup(data, target);
  if (!item) return false;
  UINT mask = tv->mask;
  UINT low = stateMask & 0xFFFF, high = stateMask >> 16;
  UINT newState = state, newMask = stateMask;
  if (mask & 0x40000) {
    newMask = high;
    newState = (item->state >> 16) & high;
  } else if (mask & 0x80000) {
    newMask = high << 16;
    newState = (item->state << 16) & (high << 16);
  } else if (mask & 0x10000) {
    UINT cond = stateMask & 0xFFFF0000;
    if (cond && !((~(item->state ^ state)) & cond)) return false;
    newMask = low;
  } else if (mask & 0x20000) {
    UINT cond = high;
    if (cond && !((~(item->state ^ (state >> 16))) & cond)) return false;
    newMask = low;
  }
  tv->hItem = (HTREEITEM)(UINT_PTR)target;
  tv->state = newState;
  tv->stateMask = newMask;
  return TreeListSetItem(data, tv) != 0;
}

LRESULT TreeListSetStateEx(TreeListData* data, TVITEMA* tv) {
  if (!tv) return -1;
  UINT_PTR target = (UINT_PTR)tv->hItem;
  bool root = target == (UINT_PTR)TVI_ROOT;
  if (!root && !TreeListLookup(data, target)) return -1;
  if (root && !data->firstRoot) return 0;
  HTREEITEM savedItem = tv->hItem;
  UINT state = tv->state, stateMask = tv->stateMask, mask = tv->mask;
  // The scope bits stay in the mask for the walk; the item set sees TVIF_*.
  LRESULT count = 0;
  std::vector<TLHandle> targets;
  if (!root) {
    TreeListItem* item = data->items[target];
    if (mask & TLSE_ITEM) targets.push_back((TLHandle)target);
    if (mask & TLSE_ANCESTORS)
      for (TLHandle h = item->parent; h; h = data->items[h]->parent) targets.push_back(h);
    if (mask & TLSE_SIBLINGS) {
      for (TLHandle h = item->prevSibling; h; h = data->items[h]->prevSibling) targets.push_back(h);
      for (TLHandle h = item->nextSibling; h; h = data->items[h]->nextSibling) targets.push_back(h);
    }
  }
  if (mask & TLSE_DESCENDANTS) {
    TLHandle start = root ? data->firstRoot : data->items[target]->firstChild;
    TLHandle stop = root ? 0 : (TLHandle)target;
    for (TLHandle h = start; h;) {
      targets.push_back(h);
      TreeListItem* item = data->items[h];
      if (item->firstChild) {
        h = item->firstChild;
        continue;
      }
      while (h && h != stop && !data->items[h]->nextSibling) {
        h = data->items[h]->parent;
      }
      if (!h || h == stop) break;
      h = data->items[h]->nextSibling;
      if (stop && data->items[h]->parent == data->items[stop]->parent) break;
    }
  }
  for (TLHandle h : targets)
    if (SetStateOn(data, tv, h, state, stateMask)) ++count;
  tv->hItem = savedItem;
  tv->state = state;
  tv->stateMask = stateMask;
  return count;
}

// Own colours: kind 0 background, 1 text.
LRESULT TreeListGetColor(TreeListData* data, UINT_PTR target, int column, int kind) {
  TreeListItem* item = TreeListLookup(data, target);
  if (!item) return -1;
  BYTE flag = kind ? kTLItemOwnText : kTLItemOwnBack;
  if (column <= 0) {
    if (!(item->itemFlags & flag)) return -1;
    return kind ? item->textColor : item->backColor;
  }
  TreeListCell* cell = TreeListGetCell(data, (TLHandle)target, column, false);
  if (!cell || !(cell->cellFlags & flag)) return -1;
  return kind ? cell->textColor : cell->backColor;
}

static LRESULT SetOneColor(TreeListData* data, TLHandle handle, int column, int kind, COLORREF color, bool queue) {
  BYTE flag = kind ? kTLItemOwnText : kTLItemOwnBack;
  BYTE* flags;
  COLORREF* slot;
  TreeListItem* item = data->items[handle];
  if (column <= 0) {
    flags = &item->itemFlags;
    slot = kind ? &item->textColor : &item->backColor;
  } else {
    TreeListCell* cell = TreeListGetCell(data, handle, column, true);
    if (!cell) return -1;
    flags = &cell->cellFlags;
    slot = kind ? &cell->textColor : &cell->backColor;
  }
  LRESULT old = (*flags & flag) ? (LRESULT)*slot : -1;
  if (color == CLR_NONE) {
    *flags &= ~flag;
  } else {
    *flags |= flag;
    *slot = color;
  }
  LRESULT now = (*flags & flag) ? (LRESULT)*slot : -1;
  if (now != old) {
    int c = column < 0 ? 0 : column;
    if (queue)
      TreeListQueueOp(data, kTLOpRepaintCell, handle, (UINT_PTR)c);
    else
      TreeListInvalidateCell(data, handle, c);
    // A background reaches into the column shown right after it.
    if (!kind && c + 1 < data->columnCount && data->columns[c].nextColumn == c + 1) {
      if (queue)
        TreeListQueueOp(data, kTLOpRepaintCell, handle, (UINT_PTR)(c + 1));
      else
        TreeListInvalidateCell(data, handle, c + 1);
    }
  }
  return old;
}

LRESULT TreeListSetColor(TreeListData* data, UINT_PTR target, int column, int kind, COLORREF color, bool queue) {
  if (!TreeListLookup(data, target)) return -1;
  TLHandle handle = (TLHandle)target;
  if (column >= 255) {
    LRESULT old = SetOneColor(data, handle, 0, kind, color, queue);
    for (int c = 1; c < data->columnCount; ++c) SetOneColor(data, handle, c, kind, color, queue);
    return old;
  }
  if (column > 0 && column >= data->columnCount) return -1;
  return SetOneColor(data, handle, column, kind, color, queue);
}

LRESULT TreeListSetInsertMark(TreeListData* data, UINT_PTR target, BOOL before) {
  LRESULT deleted = 0;
  if (data->insertMarkItem && TreeListLookup(data, data->insertMarkItem)) {
    TLHandle mark = data->insertMarkItem;
    data->insertMarkItem = 0;
    deleted = TreeListDeleteItem(data, mark, kTLDeleteRebuild);
  }
  data->insertMarkItem = 0;
  if (!target) return deleted;
  TreeListItem* item = TreeListLookup(data, target);
  if (!item) return 0;
  TVINSERTSTRUCTA ins = {};
  // Before: right after the previous sibling (or first); else after it.
  ins.hParent = (HTREEITEM)target;
  ins.hInsertAfter = before ? TLI_BEFORE : TLI_AFTER;
  ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  ins.item.pszText = (char*)"";
  ins.item.iImage = ins.item.iSelectedImage = -2;
  ins.item.cChildren = 0;
  TLHandle mark = (TLHandle)TreeListInsertItem(data, &ins);
  if (!mark) return 0;
  COLORREF color = data->colors[kTLColorInsertMark];
  SetOneColor(data, mark, 0, 0, color, false);
  for (int c = 1; c < data->columnCount; ++c) SetOneColor(data, mark, c, 0, color, false);
  data->insertMarkItem = mark;
  return mark;
}

LRESULT TreeListOnInsertItem(TreeListData* data, WPARAM, LPARAM insert) {
  TreeListLocked lock(data);
  return TreeListInsertItem(data, (TVINSERTSTRUCTA*)insert);
}

LRESULT TreeListOnGetItem(TreeListData* data, WPARAM, LPARAM item) {
  TreeListLocked lock(data);
  return TreeListGetItem(data, (TVITEMA*)item);
}

LRESULT TreeListOnSetItem(TreeListData* data, WPARAM, LPARAM item) {
  TreeListLocked lock(data);
  return TreeListSetItem(data, (TVITEMA*)item);
}

LRESULT TreeListOnSetInsertMark(TreeListData* data, WPARAM after, LPARAM item) {
  TreeListLocked lock(data);
  return TreeListSetInsertMark(data, (UINT_PTR)item, (BOOL)after);
}

LRESULT TreeListOnSetStateEx(TreeListData* data, WPARAM, LPARAM item) {
  TreeListLocked lock(data);
  return TreeListSetStateEx(data, (TVITEMA*)item);
}

// Single words: read without the lock.
LRESULT TreeListOnGetItemState(TreeListData* data, WPARAM item, LPARAM) {
  TreeListItem* record = TreeListLookup(data, item);
  return record ? record->state : 0;
}

LRESULT TreeListOnGetItemParam(TreeListData* data, WPARAM, LPARAM item) {
  TreeListItem* record = TreeListLookup(data, (UINT_PTR)item);
  return record ? record->lParam : 0;
}

LRESULT TreeListOnSetItemParam(TreeListData* data, WPARAM param, LPARAM item) {
  TreeListLocked lock(data);
  TreeListItem* record = TreeListLookup(data, (UINT_PTR)item);
  if (record) record->lParam = (LPARAM)param;
  return record ? 1 : 0;
}

// The extra bytes follow each item record.
LRESULT TreeListOnGetItemExtra(TreeListData* data, WPARAM, LPARAM item) {
  TreeListItem* record = TreeListLookup(data, (UINT_PTR)item);
  return record && data->extraBytes ? (LRESULT)(record + 1) : 0;
}

// The size can change only while there are no items.
LRESULT TreeListOnSetExtraSize(TreeListData* data, WPARAM, LPARAM size) {
  if (size < 0 || size > 0x1000000) return -1;
  TreeListLocked lock(data);
  LRESULT result = data->itemCount ? 0 : size;
  if (!data->itemCount) data->extraBytes = (UINT)size;
  return result;
}

// Colour records of items and cells.
LRESULT TreeListOnGetCellColor(TreeListData* data, WPARAM item, LPARAM column, bool text) {
  TreeListLocked lock(data);
  return TreeListGetColor(data, item, (int)column, text);
}

// The column is in the high byte of wParam.
LRESULT TreeListOnSetCellColor(TreeListData* data, WPARAM wParam, LPARAM color, bool text) {
  TreeListLocked lock(data);
  return TreeListSetColor(data, wParam & 0xFFFFFF, (int)((wParam >> 24) & 0xFF), text, (COLORREF)color, false);
}

// TLM_SETCOLOR's record: byte 0 bit 0 the text colour (else the back
// colour), bit 1 repaint queued for the window's thread; byte 1 the column;
// bytes 4-7 the colour.
LRESULT TreeListOnSetColorRecord(TreeListData* data, WPARAM item, LPARAM lParam) {
  const BYTE* record = (const BYTE*)lParam;
  if (!record) return -1;
  COLORREF color;
  memcpy(&color, record + 4, sizeof(color));
  TreeListLocked lock(data);
  return TreeListSetColor(data, item, record[1], record[0] & 1, color, (record[0] & 2) != 0);
}
