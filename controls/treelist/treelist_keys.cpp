// WM_KEYDOWN and WM_CHAR: caret and cell movement, ranges that follow the
// caret, scrolling with Ctrl, check boxes, Return, Tab, Esc during a drag,
// and the type-ahead search. The handlers leave the lock around everything
// they send and look records up again afterwards.
#include <cstring>

#include "controls/treelist/treelist_keys.h"

namespace {

const UINT kEditByCtrlReturn = 0x10001;
const UINT kDropByMessage = TL_DROP_BYMESSAGE | 1;
const BYTE kDragByMessage = 0x2;
const int kTypeAheadMax = 16;

// One search for every control of the process, as the user types into
// whichever has the focus.
struct TypeAheadState {
  BYTE chars[kTypeAheadMax];
  int count;
  DWORD tick;
  int startRow;
};
TypeAheadState g_typeAhead;
TreeListTickSource g_tickSource = nullptr;

DWORD Now() { return g_tickSource ? g_tickSource() : GetTickCount(); }

// A search goes on while the next character comes within its time: 750 ms
// after one or two characters, 1000 ms after more.
bool SearchRuns(DWORD now) {
  const TypeAheadState& s = g_typeAhead;
  return s.count > 0 && now - s.tick <= (DWORD)(s.count >= 3 ? 1000 : 750);
}

// Code page 1252 upper case: the characters are unsigned.
BYTE Upper(BYTE c) {
  if ((c >= 0x61 && c <= 0x7A) || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return (BYTE)(c - 0x20);
  return c;
}

bool HasButton(const TreeListItem* item) {
  return (item->itemFlags & kTLItemHasChildren) || (item->firstChild && (item->itemFlags & kTLItemChildrenReal));
}

bool CellCaret(const TreeListData* data) { return (data->exStyle & TLS_EX_CELLCARET) != 0; }

int RowOf(TreeListData* data, TLHandle handle) {
  TreeListItem* item = TreeListLookup(data, handle);
  return item && item->row ? (int)item->row - 1 : -1;
}

// The row of the item or of its nearest ancestor that has one.
int ShownRow(TreeListData* data, TLHandle handle) {
  for (TreeListItem* item = TreeListLookup(data, handle); item; item = TreeListLookup(data, item->parent))
    if (item->row) return (int)item->row - 1;
  return -1;
}

int DisplayPos(const TreeListData* data, int column) {
  if (data->columnCount <= 1 || column <= 0 || column >= data->columnCount) return 0;
  return data->columns[column].displayPos;
}

int ColumnAt(const TreeListData* data, int pos) {
  if (data->columnCount <= 1) return 0;
  if (pos < 0) pos = 0;
  if (pos >= data->columnCount) pos = data->columnCount - 1;
  return data->columnOrder[pos];
}

// Next display position in the direction with a column of positive width;
// the same position when there is none.
int StepColumn(const TreeListData* data, int pos, int direction) {
  for (int p = pos + direction; p >= 0 && p < data->columnCount; p += direction)
    if (data->columns[ColumnAt(data, p)].width > 0) return p;
  return pos;
}

void Notify(TreeListData* data, int code) {
  NMHDR hdr = {};
  hdr.code = (UINT)code;
  TreeListNotifyUnlocked(data, &hdr);
}

// Next item in pre-order, descending into collapsed items as well.
TLHandle NextInTree(TreeListData* data, TLHandle handle) {
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return 0;
  if (item->firstChild) return item->firstChild;
  for (; item; item = TreeListLookup(data, item->parent))
    if (item->nextSibling) return item->nextSibling;
  return 0;
}

bool IsSelected(TreeListData* data, TLHandle handle) {
  TreeListItem* item = TreeListLookup(data, handle);
  return item && (item->state & TVIS_SELECTED);
}

// A collapsed item's hidden descendants take its selection.
void PassSelectionDown(TreeListData* data, TLHandle handle) {
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item || !item->firstChild || (item->state & TVIS_EXPANDED)) return;
  bool on = (item->state & TVIS_SELECTED) != 0;
  TLHandle stop = 0;
  for (TreeListItem* up = item; up; up = TreeListLookup(data, up->parent))
    if (up->nextSibling) {
      stop = up->nextSibling;
      break;
    }
  for (TLHandle h = item->firstChild; h && h != stop;) {
    TLHandle next = NextInTree(data, h);
    if (IsSelected(data, h) != on) TreeListSetItemSelected(data, h, 2);
    h = TreeListLookup(data, h) ? next : 0;
  }
}

// Shift with the Ctrl-anchor: everything between anchor and target in
// pre-order is added.
void AddAnchorRange(TreeListData* data, TLHandle target) {
  int anchorRow = ShownRow(data, data->anchorItem);
  int targetRow = RowOf(data, target);
  if (anchorRow < 0 || targetRow < 0) return;
  TLHandle from = data->rows[anchorRow < targetRow ? anchorRow : targetRow];
  TLHandle to = data->rows[anchorRow < targetRow ? targetRow : anchorRow];
  for (TLHandle h = from; h;) {
    TLHandle next = h == to ? 0 : NextInTree(data, h);
    if (!IsSelected(data, h)) TreeListSetItemSelected(data, h, 2);
    if (!TreeListLookup(data, h) || !TreeListLookup(data, to)) break;
    h = next;
  }
}

// Shift in multiple selection: the rows between the anchor and the caret
// end up selected, the others that the old range held not.
void FollowRange(TreeListData* data, int oldRow, int newRow) {
  int anchorRow = ShownRow(data, data->anchorItem);
  if (anchorRow < 0) anchorRow = oldRow;
  int lo = anchorRow < newRow ? anchorRow : newRow, hi = anchorRow < newRow ? newRow : anchorRow;
  int from = oldRow < lo ? oldRow : lo, to = oldRow > hi ? oldRow : hi;
  if (from < 0) from = 0;
  for (int r = from; r <= to && r < (int)data->rowCount; ++r) {
    TLHandle h = data->rows[r];
    if (h == data->caretItem || r == anchorRow) continue;
    bool want = r >= lo && r <= hi;
    if (IsSelected(data, h) != want) TreeListSetItemSelected(data, h, 2);
  }
  // Collapsed items in and around the range hand their state down.
  for (int r = from; r <= to && r < (int)data->rowCount; ++r) PassSelectionDown(data, data->rows[r]);
}

void ScrollTo(TreeListData* data, int top, int x) {
  if (data->style & TVS_NOSCROLL) return;
  int maxTop = (int)data->rowCount - data->rowsPerPage + 1;
  if (top > maxTop) top = maxTop;
  if (top < 0) top = 0;
  int total = data->columnCount ? data->columnX[data->columnCount] : data->contentWidth + data->clientWidth / 2;
  int maxX = total - data->clientWidth;
  if (x > maxX) x = maxX;
  if (x < 0) x = 0;
  bool moved = false;
  if (top != data->topRow && TreeListSetVScrollPos(data, top, TL_SCROLL_OWN) > 0) moved = true;
  if (x != data->scrollX && TreeListSetHScrollPos(data, x, TL_SCROLL_OWN) > 0) moved = true;
  if (moved) TreeListInvalidateRows(data);
}

int PageStep(const TreeListData* data) { return data->rowsPerPage > 1 ? data->rowsPerPage - 1 : 1; }

// Ctrl without Shift: the view moves, the caret stays.
void ScrollByKey(TreeListData* data, WPARAM key) {
  int top = data->topRow, x = data->scrollX;
  switch (key) {
    case VK_SPACE: {
      TreeListItem* caret = TreeListLookup(data, data->caretItem);
      if (caret && HasButton(caret)) TreeListExpand(data, data->caretItem, TVE_TOGGLE);
      return;
    }
    case VK_PRIOR:
      top -= PageStep(data);
      break;
    case VK_NEXT:
      top += PageStep(data);
      break;
    case VK_HOME:
      top = 0;
      break;
    case VK_END:
      top = (int)data->rowCount - data->rowsPerPage;
      break;
    case VK_UP:
      --top;
      break;
    case VK_DOWN:
      ++top;
      break;
    case VK_LEFT:
      x -= 16;
      break;
    case VK_RIGHT:
      x += 16;
      break;
    default:
      return;
  }
  ScrollTo(data, top, x);
}

void CancelDrag(TreeListData* data) {
  HWND hwnd = data->window;
  TLHandle dragged = data->dragItem;
  bool byMessage = (data->dragFlags & kDragByMessage) != 0;
  POINT pt = data->dragPoint;
  data->dragItem = 0;
  data->dragFlags = 0;
  UINT count = data->selectedCount > 1 ? data->selectedCount : 1;
  TLHandle reported = data->selectedCount > 1 && data->caretItem ? data->caretItem : dragged;
  {
    TreeListUnlocked unlocked(data);
    SendMessageA(hwnd, TLM_SETDROPMARK, 0, 0);
    SendMessageA(hwnd, TLM_SETAUTOSCROLL, 0, 0);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    if (GetCapture() == hwnd) ReleaseCapture();
  }
  if (!(data->dragOptions & TL_DRAG_REPORTCANCEL)) return;
  NMTREEVIEWA nm = {};
  nm.hdr.code = (UINT)TLN_DROP;
  nm.action = byMessage ? kDropByMessage : TL_DROP_CANCELLED | count;
  nm.itemNew.mask = TVIF_HANDLE;
  nm.itemNew.hItem = (HTREEITEM)(UINT_PTR)reported;
  nm.ptDrag = pt;
  TreeListNotifyUnlocked(data, &nm.hdr);
}

// The new caret row and display column of a movement key; false when the
// key moves nothing (or acted otherwise, as a collapse does).
bool Target(TreeListData* data, WPARAM key, int row, int pos, int* newRow, int* newPos) {
  int last = (int)data->rowCount - 1;
  TLHandle handle = row >= 0 ? data->rows[row] : 0;
  TreeListItem* item = TreeListLookup(data, handle);
  bool cells = CellCaret(data) && data->columnCount > 1;
  *newRow = row;
  *newPos = pos;
  switch (key) {
    case VK_BACK:
      *newRow = item ? ShownRow(data, item->parent) : 0;
      if (*newRow < 0) *newRow = 0;
      return true;
    case VK_PRIOR:
      *newRow = row - PageStep(data);
      return true;
    case VK_NEXT:
      *newRow = row + PageStep(data);
      return true;
    case VK_END:
      *newRow = last;
      return true;
    case VK_HOME:
      *newRow = row > data->fixedRows ? data->fixedRows : 0;
      return true;
    case VK_UP:
      *newRow = row - 1;
      return true;
    case VK_DOWN:
      *newRow = row + 1;
      return true;
    case VK_LEFT:
      if (cells) {
        *newPos = StepColumn(data, pos, -1);
        return true;
      }
      if (!item) return false;
      if ((item->state & TVIS_EXPANDED) && item->firstChild) {
        TreeListExpand(data, handle, TVE_COLLAPSE);
        return false;
      }
      *newRow = item->parent ? ShownRow(data, item->parent) : row;
      return true;
    case VK_RIGHT:
      if (cells) {
        *newPos = StepColumn(data, pos, 1);
        return true;
      }
      if (!item) return false;
      if ((item->state & TVIS_EXPANDED) && item->firstChild) {
        *newRow = row + 1;
        return true;
      }
      if (HasButton(item) && !(item->state & TVIS_EXPANDED)) TreeListExpand(data, handle, TVE_EXPAND);
      return false;
  }
  return false;
}

void MoveCaret(TreeListData* data, WPARAM key, bool shift) {
  if (data->selectedCount < 2) TreeListClearFocusCell(data);
  int row = RowOf(data, data->caretItem);
  int column = data->caretColumn;
  if (!data->caretItem && data->focusCellItem) {
    row = ShownRow(data, data->focusCellItem);
    column = data->focusCellColumn;
  } else if (!data->caretItem) {
    row = -1;
  }
  int pos = CellCaret(data) ? DisplayPos(data, column) : 0;
  if (key == VK_SPACE) {
    TreeListItem* caret = TreeListLookup(data, data->caretItem);
    if (caret && data->caretColumn == 0 && (data->style & TVS_CHECKBOXES)) {
      POINT none = {0, 0};
      TreeListToggleCheck(data, data->caretItem, none);
    }
    return;
  }
  if (!data->rowCount) return;
  int newRow, newPos;
  if (!Target(data, key, row, pos, &newRow, &newPos)) return;
  if (newPos >= data->columnCount) newPos = data->columnCount - 1;
  if (newPos < 0 || !CellCaret(data)) newPos = 0;
  if (newRow < 0) {
    // Above the first row with fixed rows: the scrolling part moves instead.
    if (data->fixedRows && data->topRow > 0) ScrollTo(data, data->topRow - 1, data->scrollX);
    newRow = 0;
  }
  if (newRow > (int)data->rowCount - 1) newRow = (int)data->rowCount - 1;
  if (newRow == row && newPos == pos) return;
  TLHandle target = data->rows[newRow];
  TreeListItem* record = TreeListLookup(data, target);
  if (!record) return;
  if (newPos > 0 && newPos < 16) newPos = TreeListMergedSpan(data, target, newPos, pos);
  int newColumn = ColumnAt(data, newPos);
  TLHandle oldCaret = data->caretItem;
  if (data->selectedCount < 2) data->anchorItem = oldCaret;
  bool ctrlAnchor = data->ctrlAnchor != 0;
  UINT flags = TVC_BYKEYBOARD;
  if (!shift || ctrlAnchor) flags |= kTLSelectClearOthers;
  if (record->state & TVIS_SELECTED) flags |= kTLSelectAgain;
  if (!TreeListSelectItem(data, target, newColumn, flags)) return;
  if (!TreeListLookup(data, target)) return;
  TreeListMoveFocusCell(data, target, data->caretColumn);
  if (!(data->style & TVS_NOSCROLL)) TreeListEnsureVisible(data, target, data->caretColumn);
  bool multi = (data->exStyle & TLS_EX_MULTISELECT) != 0;
  if (shift && ctrlAnchor) {
    data->ctrlAnchor = 0;
    if (!IsSelected(data, data->anchorItem)) {
      int anchorRow = ShownRow(data, data->anchorItem);
      if (anchorRow >= 0 && !IsSelected(data, data->rows[anchorRow]))
        TreeListSetItemSelected(data, data->rows[anchorRow], 2);
    }
    AddAnchorRange(data, target);
  } else if (multi && shift) {
    FollowRange(data, row, RowOf(data, target));
  }
}

// Ctrl keys and the rest of a key press; the lock is held and kept.
void HandleKey(TreeListData* data, WPARAM key) {
  bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
  if (data->dragItem && key == VK_CONTROL) {
    if (data->dropMarkOffset < 5) TreeListDropTarget(data, data->dragKeys | MK_CONTROL, data->dragPoint);
    return;
  }
  if ((key == VK_INSERT && !shift && !ctrl) || (key == 'V' && ctrl && !shift)) {
    {
      TreeListUnlocked unlocked(data);
      TreeListOnPaste(data);
    }
    return;
  }
  bool ctrlMovesCaret = (key == VK_HOME || key == VK_END) && (data->exStyle & TLS_EX_CTRLHOMEEND);
  if (ctrl && !shift && !ctrlMovesCaret) {
    ScrollByKey(data, key);
    return;
  }
  MoveCaret(data, key, shift && !ctrlMovesCaret);
}

}  // namespace

int TreeListMergedSpan(TreeListData* data, TLHandle handle, int pos, int prevPos) {
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item || pos >= 16 || pos <= 0 || pos >= data->columnCount) return pos;
  UINT joined = (item->state >> TLIS_MERGESHIFT) & data->mergeMask;
  // Column k is joined to its left neighbour when bit k - 1 is set.
  auto joinedLeft = [&](int p) {
    int c = ColumnAt(data, p);
    return p > 0 && c >= 1 && c <= 16 && (joined & (1u << (c - 1)));
  };
  if (!joinedLeft(pos)) return pos;
  if (pos > prevPos) {
    int p = pos;
    while (p < data->columnCount && joinedLeft(p)) ++p;
    return p < data->columnCount ? p : prevPos;
  }
  int p = pos;
  while (p > 0 && joinedLeft(p)) --p;
  return p;
}

LRESULT TreeListOnKeyDown(TreeListData* data, WPARAM key, LPARAM keyData) {
  TreeListLocked lock(data);
  HWND hwnd = data->window;
  if (!TreeListTakeFocusForInput(data)) return 0;
  if (key == VK_RETURN) {
    if (!data->dragItem) {
      Notify(data, NM_RETURN);
      TLHandle caret = data->caretItem;
      int column = data->caretColumn;
      POINT none = {0, 0};
      if (TreeListLookup(data, caret) && column < data->columnCount && data->columns[column].editKind)
        TreeListEditCell(data, column, GetKeyState(VK_CONTROL) < 0 ? kEditByCtrlReturn : TLEC_RETURN, none);
      else if (TreeListLookup(data, caret))
        TreeListRequestEdit(data, caret, column, TLEC_RETURN, none);
    }
    return 0;
  }
  if (data->dragItem && key == VK_ESCAPE) {
    CancelDrag(data);
    return 0;
  }
  if (key == VK_TAB && (data->exStyle & TLS_EX_TABTOPARENT) && !data->dragItem) {
    lock.Leave();
    SetFocus(GetParent(hwnd));
    return 0;
  }
  HandleKey(data, key);
  NMTVKEYDOWN nm = {};
  nm.hdr.code = TVN_KEYDOWN;
  nm.wVKey = (WORD)key;
  nm.flags = (UINT)keyData;
  LRESULT reply = TreeListNotifyUnlocked(data, &nm.hdr);
  data->keyReply = reply ? 1 : 0;
  return 0;
}

namespace {

// The text of a row in a column, as shown: callbacks are asked for.
const char* RowText(TreeListData* data, TLHandle handle, int column) {
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return "";
  const char* text = nullptr;
  UINT length = 0;
  if (column == 0) {
    if (!(item->callbackFlags & kTLCallbackText)) return item->text ? item->text : "";
    if (!TreeListGetItemDispInfo(data, item, handle, TVIF_TEXT, nullptr, &length, &text)) return "";
    return text ? text : "";
  }
  TreeListCell* cell = TreeListGetCell(data, handle, column, false);
  if (!cell) return "";
  if (!(cell->callbackFlags & kTLCallbackText)) return cell->text ? cell->text : "";
  if (!TreeListGetCellDispInfo(data, item, cell, handle, column, TVIF_TEXT, nullptr, &length, &text)) return "";
  return text ? text : "";
}

int MatchLength(const char* text, const BYTE* chars, int count) {
  int n = 0;
  while (n < count && text[n] && Upper((BYTE)text[n]) == chars[n]) ++n;
  return n;
}

void SelectFound(TreeListData* data, int row, int column) {
  TLHandle target = data->rows[row];
  if (!TreeListSelectItem(data, target, column, TVC_BYKEYBOARD | kTLSelectClearOthers)) return;
  if (!TreeListLookup(data, target)) return;
  TreeListEnsureVisible(data, target, data->caretColumn);
  TreeListMoveFocusCell(data, target, data->caretColumn);
}

}  // namespace

LRESULT TreeListTypeAhead(TreeListData* data, UINT ch) {
  if (ch < 0x20 || data->keyReply) return 0;
  int column = data->caretColumn < data->columnCount ? data->caretColumn : 0;
  TreeListColumn& settings = data->columns[column];
  POINT none = {0, 0};
  int kind = settings.editKind;
  if ((kind == TLEK_EDIT || kind == TLEK_COMBO || kind == TLEK_STEPEDIT || kind == TLEK_CHECKEDIT) &&
      !(settings.editFlags & TLCE_ASKTYPING) && data->caretItem) {
    if (TreeListEditCell(data, column, ch & 0xFF, none)) return 0;
  } else if (TreeListLookup(data, data->caretItem)) {
    if (TreeListRequestEdit(data, data->caretItem, column, (ch & 0xFF) | TLEC_CHAR, none)) return 0;
  }
  if (!data->rowCount || (data->exStyle & TLS_EX_NOTYPEAHEAD)) return 0;
  TypeAheadState& s = g_typeAhead;
  DWORD now = Now();
  if (!SearchRuns(now) || s.count >= kTypeAheadMax) {
    s.count = 0;
    s.startRow = RowOf(data, data->caretItem);
    if (s.startRow < 0) s.startRow = 0;
  }
  s.chars[s.count++] = Upper((BYTE)ch);
  s.tick = now;
  int rows = (int)data->rowCount;
  if (s.startRow >= rows) s.startRow = 0;
  column = data->caretColumn < data->columnCount ? data->caretColumn : 0;
  // Rows after the start, wrapping, ending with the start itself.
  int firstPartial = -1;
  for (int i = 1; i <= rows && i <= (int)data->rowCount; ++i) {
    int row = (s.startRow + i) % (int)data->rowCount;
    int n = MatchLength(RowText(data, data->rows[row], column), s.chars, s.count);
    if (n == s.count) {
      SelectFound(data, row, column);
      return 1;
    }
    if (n > 0 && firstPartial < 0) firstPartial = row;
  }
  if (firstPartial < 0 || !data->rowCount) return 0;
  // No row has them all: each further character steps on to the next row
  // that begins with it, so a repeated letter walks through its items.
  int row = firstPartial;
  for (int k = 1; k < s.count; ++k) {
    int count = (int)data->rowCount;
    for (int i = 1; i <= count; ++i) {
      int r = (row + i) % count;
      const char* text = RowText(data, data->rows[r], column);
      if (text[0] && Upper((BYTE)text[0]) == s.chars[k]) {
        row = r;
        break;
      }
    }
  }
  if (row < (int)data->rowCount) SelectFound(data, row, column);
  return 1;
}

void TreeListResetTypeAhead() { memset(&g_typeAhead, 0, sizeof(g_typeAhead)); }

LRESULT TreeListGetISearchString(char* buffer) {
  const TypeAheadState& s = g_typeAhead;
  if (!SearchRuns(Now())) return 0;
  if (buffer) {
    memcpy(buffer, s.chars, (size_t)s.count);
    buffer[s.count] = 0;
  }
  return s.count;
}

TreeListTickSource TreeListSetTickSource(TreeListTickSource source) {
  TreeListTickSource old = g_tickSource;
  g_tickSource = source;
  return old;
}
