// Scrolling rows and columns, the two scroll bars, expanding one item, item
// rectangles, bringing an item into view and how much of it shows.
#include <cstring>
#include <initializer_list>

#include "controls/treelist/treelist_data.h"

static int ClampTop(const TreeListData* data, int top) {
  int max = (int)data->rowCount - data->rowsPerPage + 1;
  if (top > max) top = max;
  return top < 0 ? 0 : top;
}

static void MoveHeader(TreeListData* data) {
  if (data->header)
    SetWindowPos(data->header, nullptr, -data->scrollX, 0, data->clientWidth + data->scrollX, data->headerHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

static int TotalWidth(const TreeListData* data) {
  return data->columnCount ? data->columnX[data->columnCount] : data->contentWidth;
}

void TreeListUpdateHScrollBar(TreeListData* data, int release) {
  int total = TotalWidth(data);
  int range = total - 1, page = data->clientWidth;
  if (data->hBarCache[0] == page && data->hBarCache[1] == range) return;
  data->hBarCache[0] = page;
  data->hBarCache[1] = range;
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  if ((data->style & TVS_NOSCROLL) || (data->exStyle & TLS_EX_NOHSCROLL) || range < 0)
    si.nMax = 0;
  else
    si.nMax = range >= 1 ? total - 2 : range;
  si.nPage = (UINT)page;
  si.nPos = data->scrollX;
  if ((int)si.nPage >= si.nMax && data->scrollX > 0) {
    data->scrollX = 0;
    si.nPos = 0;
    TreeListInvalidateRows(data);
    MoveHeader(data);
  }
  data->hBarShown = si.nMax > (int)si.nPage;
  HWND hwnd = data->window;
  TreeListUnlocked unlocked(data, release);
  SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
}

void TreeListUpdateVScrollBar(TreeListData* data, int release, int force) {
  int count = (int)data->rowCount;
  if (!force && data->vBarCache[0] == data->rowsPerPage && data->vBarCache[1] == count) return;
  data->vBarCache[0] = data->rowsPerPage;
  data->vBarCache[1] = count;
  bool repaint = false, mustRedraw = false;
  if (data->rowsPerPage > 0) {
    int limit = count - data->rowsPerPage / 2;
    if (limit < 0) limit = 0;
    if (data->topRow > limit) {
      data->topRow = limit;
      mustRedraw = repaint = true;
    }
  }
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  if (data->exStyle & TLS_EX_VSCROLLALWAYS) si.fMask |= SIF_DISABLENOSCROLL;
  si.nMax = (data->style & TVS_NOSCROLL) ? 0 : count;
  si.nPage = (UINT)(data->rowsPerPage > 0 ? data->rowsPerPage : 0);
  si.nPos = data->topRow;
  DWORD now = GetTickCount();
  bool redraw = force || mustRedraw || now - data->lastVBarRedraw >= 201;
  if ((int)si.nPage >= si.nMax && data->topRow > 0) {
    data->topRow = 0;
    si.nPos = 0;
    repaint = true;
  }
  if (redraw) {
    data->lastVBarRedraw = now;
    if (repaint) TreeListInvalidateRows(data);
  } else {
    // Redrawing a bar is slow: bursts redraw it a few times a second and
    // once at the end, from the queue.
    if (repaint) TreeListQueueOnce(data, kTLOpRepaintRows);
    TreeListQueueOnce(data, kTLOpVBar);
  }
  HWND hwnd = data->window;
  TreeListUnlocked unlocked(data, release);
  SetScrollInfo(hwnd, SB_VERT, &si, redraw);
}

void TreeListRefreshScrollInfo(TreeListData* data) {
  for (int bar : {SB_HORZ, SB_VERT}) {
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    if (GetScrollInfo(data->window, bar, &si)) SetScrollInfo(data->window, bar, &si, TRUE);
  }
}

static LRESULT SendScrolling(TreeListData* data, WORD bar, UINT code, int x, int top) {
  NMTLSCROLLING nm = {};
  nm.hdr.code = (UINT)TLN_SCROLLING;
  nm.bar = bar;
  nm.code = (WORD)code;
  nm.scrollX = x;
  nm.topRow = top;
  if (code & kTLNoRelease) return TreeListSendNotify(data, &nm.hdr);
  return TreeListNotifyUnlocked(data, &nm.hdr);
}

int TreeListSetHScrollPos(TreeListData* data, int pos, UINT code) {
  if (pos == data->scrollX) return 0;
  if ((data->exStyle & TLS_EX_SCROLLNOTIFY) && SendScrolling(data, 0, code, pos, data->topRow)) return -1;
  data->scrollX = pos;
  HWND hwnd = data->window;
  {
    TreeListUnlocked unlocked(data, !(code & kTLNoRelease));
    SetScrollPos(hwnd, SB_HORZ, pos, TRUE);
  }
  MoveHeader(data);
  return 1;
}

int TreeListSetVScrollPos(TreeListData* data, int top, UINT code) {
  if (top == data->topRow) return 0;
  if ((data->exStyle & TLS_EX_SCROLLNOTIFY) && SendScrolling(data, 1, code, data->scrollX, top)) return -1;
  data->topRow = top;
  HWND hwnd = data->window;
  {
    TreeListUnlocked unlocked(data, !(code & kTLNoRelease));
    SetScrollPos(hwnd, SB_VERT, top, TRUE);
  }
  return 1;
}

// The scroll messages take the lock (worker threads change the row count)
// and so let the setters release it around the notification.
LRESULT TreeListOnHScroll(TreeListData* data, WPARAM wParam) {
  TreeListLocked lock(data);
  if (data->editItem) {
    return 0;
  }
  int pos = data->scrollX;
  switch (wParam & 0xF) {
    case SB_LINELEFT:
      pos -= 16;
      break;
    case SB_LINERIGHT:
      pos += 16;
      break;
    case SB_PAGELEFT:
      pos -= data->clientWidth;
      break;
    case SB_PAGERIGHT:
      pos += data->clientWidth;
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      pos = HIWORD(wParam);
      break;
    case TL_SB_SETPOS:
      pos = (int)((DWORD)wParam >> 4);
      break;
    default:
      break;
  }
  int max = (data->columnCount ? data->columnX[data->columnCount] - data->clientWidth / 2 : data->contentWidth) -
            data->clientWidth / 2;
  if (pos > max) pos = max;
  if (pos < 0) pos = 0;
  if (pos != data->scrollX && TreeListSetHScrollPos(data, pos, (UINT)(wParam & 0xFFFF))) TreeListInvalidateRows(data);
  return 0;
}

LRESULT TreeListOnVScroll(TreeListData* data, WPARAM wParam) {
  TreeListLocked lock(data);
  if (data->editItem) {
    return 0;
  }
  int top = data->topRow;
  int page = data->rowsPerPage < 2 ? 1 : data->rowsPerPage - 1;
  switch (wParam & 0xF) {
    case SB_LINEUP:
      top -= 1;
      break;
    case SB_LINEDOWN:
      top += 1;
      break;
    case SB_PAGEUP:
      top -= page;
      break;
    case SB_PAGEDOWN:
      top += page;
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      if (data->rowCount < 0x7F00) {
        top = HIWORD(wParam);
      } else {
        // The message's 16-bit position cannot reach these rows.
        SCROLLINFO si = {};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        HWND hwnd = data->window;
        {
          TreeListUnlocked unlocked(data);
          GetScrollInfo(hwnd, SB_VERT, &si);
        }
        top = si.nTrackPos;
      }
      break;
    case TL_SB_SETPOS:
      top = (int)((DWORD)wParam >> 4);
      break;
    default:
      break;
  }
  top = ClampTop(data, top);
  if (top != data->topRow && TreeListSetVScrollPos(data, top, (UINT)(wParam & 0xFFFF))) TreeListInvalidateRows(data);
  return 0;
}

LRESULT TreeListOnMouseWheel(TreeListData* data, WPARAM wParam) {
  UINT keys = LOWORD(wParam);
  if (keys & (MK_RBUTTON | MK_MBUTTON)) return 0;
  TreeListLocked lock(data);
  if (data->editItem || ((keys & MK_LBUTTON) && !data->dragItem)) {
    return 0;
  }
  int lines = (short)HIWORD(wParam) / 60;
  if (!(keys & MK_LBUTTON)) {
    if (keys & MK_CONTROL)
      lines *= 9;
    else if (keys & MK_SHIFT)
      lines *= 3;
  }
  int top = ClampTop(data, data->topRow - lines);
  if (top != data->topRow && !(data->style & TVS_NOSCROLL)) {
    if (TreeListSetVScrollPos(data, top, TL_SCROLL_WHEEL) > 0) {
      TreeListInvalidateRows(data);
      if (data->dragItem) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(data->window, &pt);
        TreeListDropTarget(data, data->dragKeys, pt);
      }
    }
  }
  return 1;
}

LRESULT TreeListOnShowWindow(TreeListData* data, WPARAM wParam) {
  if (!wParam) return 0;
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  SetScrollInfo(data->window, SB_HORZ, &si, TRUE);
  if (data->exStyle & TLS_EX_VSCROLLALWAYS) si.fMask |= SIF_DISABLENOSCROLL;
  SetScrollInfo(data->window, SB_VERT, &si, TRUE);
  TreeListLocked lock(data);
  data->hBarCache[0] = data->hBarCache[1] = 0xFFFF;
  data->vBarCache[0] = data->vBarCache[1] = 0xFFFF;
  TreeListUpdateHScrollBar(data, 1);
  TreeListUpdateVScrollBar(data, 1, 1);
  return 0;
}

static void FillExpandRecord(NMTREEVIEWA* nm, UINT code, TLHandle handle, const TreeListItem* item) {
  nm->action = code;
  nm->itemNew.mask = TVIF_STATE | TVIF_HANDLE | TVIF_PARAM;
  nm->itemNew.hItem = (HTREEITEM)(UINT_PTR)handle;
  nm->itemNew.state = item->state;
  nm->itemNew.stateMask = (UINT)-1;
  nm->itemNew.pszText = (LPSTR)(INT_PTR)-1;
  nm->itemNew.cchTextMax = -1;
  nm->itemNew.lParam = item->lParam;
}

static void ClearDescendantRows(TreeListData* data, TreeListItem* item) {
  for (TLHandle h = item->firstChild; h;) {
    TreeListItem* child = TreeListLookup(data, h);
    if (!child) break;
    child->row = 0;
    ClearDescendantRows(data, child);
    h = child->nextSibling;
  }
}

int TreeListExpandItem(TreeListData* data, TLHandle handle, UINT code) {
  if (handle == 0 || handle > data->capacity) return 0;
  TreeListItem* item = data->items[handle];
  if (!item) return -1;
  UINT action = code & 0xF;
  if (action == 0)
    action = (item->state & (TVIS_EXPANDED | TVIS_EXPANDPARTIAL)) == TVIS_EXPANDED ? TVE_COLLAPSE : TVE_EXPAND;
  if (!data->quiet) {
    NMTREEVIEWA nm = {};
    nm.hdr.code = TVN_ITEMEXPANDINGA;
    FillExpandRecord(&nm, action, handle, item);
    LRESULT veto = TreeListNotifyUnlocked(data, &nm.hdr);
    item = TreeListLookup(data, handle);
    if (!item) return -1;
    if (veto) return 1;
  }
  bool expand = action == TVE_EXPAND;
  bool changed = !(expand && (item->state & TVIS_EXPANDED));
  if (changed) {
    if (expand)
      item->state |= TVIS_EXPANDED;
    else
      item->state &= ~TVIS_EXPANDED;
  }
  item->state &= ~TVIS_EXPANDPARTIAL;
  item->state |= code & ~0xFu;
  if (item->row && changed) {
    if (expand) ClearDescendantRows(data, item);
    TreeListRebuildRows(data, handle);
  }
  if (!data->quiet) {
    NMTREEVIEWA nm = {};
    nm.hdr.code = TVN_ITEMEXPANDEDA;
    FillExpandRecord(&nm, action, handle, item);
    TreeListNotifyUnlocked(data, &nm.hdr);
    item = TreeListLookup(data, handle);
    if (!item) return -1;
  }
  if (expand) {
    item->state |= TVIS_EXPANDEDONCE;
  } else if (data->caretItem) {
    TreeListItem* caret = TreeListLookup(data, data->caretItem);
    if (!caret) {
      data->caretItem = 0;
      data->caretColumn = 0;
    } else if (!caret->row) {
      TLHandle up = data->caretItem;
      while (up) {
        TreeListItem* record = TreeListLookup(data, up);
        if (!record || record->row) break;
        up = record->parent;
      }
      if (up) TreeListSelectItem(data, up, data->caretColumn, 0);
    }
  }
  if (!changed) TreeListInvalidateCell(data, handle, 0);
  return 0;
}

static TreeListCell* CellOf(const TreeListData* data, TLHandle handle, int column) {
  if (column < 1 || column >= kTLMaxColumns || !data->cells[column - 1]) return nullptr;
  return data->cells[column - 1][handle];
}

int TreeListGetItemRect(TreeListData* data, TLHandle handle, UINT code, RECT* rc) {
  TreeListItem* item = TreeListLookup(data, handle);
  int index = -1;
  if (item && item->row) {
    int row = (int)item->row;
    if (row <= data->fixedRows) {
      index = row - 1;
    } else {
      index = row - data->topRow - 1;
      if (index < data->fixedRows) index = -1;
      if (index >= data->rowsInView && !(code & TL_RECT_OUTSIDE)) index = -1;
    }
  }
  if (index < 0) {
    SetRectEmpty(rc);
    return 0;
  }
  rc->top = data->headerHeight + index * data->rowHeight;
  rc->bottom = rc->top + data->rowHeight;
  int column = 0;
  bool cellForm = (code & 0xFC) == TL_RECT_CELL;
  if (!cellForm) {
    rc->left = -data->scrollX;
    rc->right = data->clientWidth;
  } else {
    column = (int)(code >> 24);
    if (column >= data->columnCount || column >= kTLMaxColumns) column = 0;
    int last = TreeListLastMerged(data, item->state, column);
    if (data->columnCount == 0) {
      rc->left = -data->scrollX;
      rc->right = data->clientWidth;
    } else {
      if (last >= data->columnCount) last = data->columnCount - 1;
      rc->left = data->columnX[column] - data->scrollX;
      rc->right = data->columnX[data->columns[last].nextColumn] - data->scrollX;
    }
  }
  if (!(code & TL_RECT_TEXT)) return 1;
  if (column > 0) {
    TreeListCell* cell = CellOf(data, handle, column);
    int width = 0;
    if (data->columns[column].editKind == TLEK_CHECK)
      width = data->checkImageSize.cx;
    else if (cell && (cell->cellFlags & kTLItemHasImage))
      width = data->imageSize.cx;
    if (width) {
      if (cell && (cell->state & 0x80)) {
        rc->right -= width;
      } else {
        rc->left += width;
        if (rc->left > rc->right) rc->left = rc->right;
      }
    }
    return 1;
  }
  int left = rc->left;
  if (data->linesAtRoot) left += data->indent;
  left += item->level * data->indent;
  if (data->stateImages) left += data->stateImageSize.cx;
  if (!(data->style & TVS_HASLINES)) left -= 1;
  bool hasImage = (item->itemFlags & kTLItemHasImage) != 0;
  if (data->exStyle & TLS_EX_TALLROWS)
    left += hasImage ? 2 : 1;
  else if (!item->parent && !data->linesAtRoot)
    left += 1;
  if (hasImage) left += (UINT)item->image >= 0x40000000u ? data->cellImageSize.cx : data->imageSize.cx;
  rc->left = left < rc->right ? left : rc->right;
  return 1;
}

int TreeListEnsureVisible(TreeListData* data, UINT_PTR target, int column) {
  TLHandle handle = target == (UINT_PTR)TLI_CARET ? data->caretItem : (TLHandle)target;
  if (target != (UINT_PTR)TLI_CARET && target > data->capacity) return -1;
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return -1;
  int flag = item->row ? 1 : 0;
  if (!item->row) {
    // Open every collapsed ancestor, nearest first.
    for (TLHandle up = item->parent; up;) {
      TreeListItem* parent = TreeListLookup(data, up);
      if (!parent) return 0;
      TLHandle next = parent->parent;
      if (!(parent->state & TVIS_EXPANDED) && TreeListExpandItem(data, up, TVE_EXPAND) != 0) return 0;
      up = next;
    }
    item = TreeListLookup(data, handle);
    if (!item || !item->row) return 0;
  }
  int r = (int)item->row - 1, f = data->fixedRows, m = data->scrollMargin, p = data->rowsPerPage;
  int count = (int)data->rowCount;
  if (r >= f) {
    int top = data->topRow;
    if (column == -2 && r >= f + top) {
      if (r - f != top && TreeListSetVScrollPos(data, r - f, TL_SCROLL_OWN) > 0) TreeListInvalidateRows(data);
      return flag;
    }
    if (r >= p + top) {
      int next = r - p + 1;
      if (m && next < (count - p + 1) - m && m + 7 < p) next += m;
      next = ClampTop(data, next);
      if (next != top && TreeListSetVScrollPos(data, next, TL_SCROLL_OWN) > 0) TreeListInvalidateRows(data);
    } else if (r < f + top) {
      int next = r - f;
      if (column == -2 && m && next > m && p > m + 7) next -= m;
      if (next < 0) next = 0;
      if (next != top && TreeListSetVScrollPos(data, next, TL_SCROLL_OWN) > 0) TreeListInvalidateRows(data);
    }
  }
  item = TreeListLookup(data, handle);
  if (!item || column < 0 || column >= data->columnCount) return flag;
  int left = data->columnX[column];
  int right = data->columnX[data->columns[column].nextColumn];
  int width = data->clientWidth;
  if (column == 0 && right - left > width) {
    int start = item->level * data->indent + (data->linesAtRoot ? data->indent : 0) +
                (data->stateImages ? data->stateImageSize.cx : 0);
    int end = item->textWidth < 51
                  ? start + 70
                  : start + item->textWidth + 20 + ((item->itemFlags & kTLItemHasImage) ? data->imageSize.cx : 0);
    if (end < right) right = end;
    if (start + 20 < right) {
      int alt = right - width + 10;
      left = start < alt ? start : alt;
    }
  }
  int x = data->scrollX;
  if (left < x || right > x + width) {
    if (right - left <= width && right > x + width)
      x = right - width;
    else
      x = left;
  }
  int max = data->columnX[data->columnCount] - width / 2;
  if (x > max) x = max;
  if (x < 0) x = 0;
  if (x != data->scrollX && TreeListSetHScrollPos(data, x, TL_SCROLL_OWN) > 0) TreeListInvalidateRows(data);
  return flag;
}

int TreeListGetVisibility(TreeListData* data, UINT_PTR target, int column) {
  if (target == 0 || target > data->capacity) return TL_VIS_BADHANDLE;
  TreeListItem* item = data->items[target];
  if (!item) return TL_VIS_BADHANDLE;
  if (!item->row) return TL_VIS_NOROW;
  int r = (int)item->row - 1;
  if (r < data->topRow || r >= data->topRow + data->rowsInView) return TL_VIS_OUTSIDE;
  bool hasColumn = column >= 0 && column < data->columnCount;
  int left = 0, right = 0;
  if (hasColumn) {
    left = data->columnX[column] - data->scrollX;
    right = data->columnX[data->columns[column].nextColumn] - data->scrollX;
  }
  bool outside = hasColumn && (right <= 0 || left >= data->clientWidth);
  if (r == data->topRow + data->rowsPerPage) return outside ? TL_VIS_OUTSIDE : TL_VIS_LASTROW;
  if (!hasColumn) return TL_VIS_FULL;
  if (outside) return TL_VIS_OUTSIDE;
  if (left < 0 || right > data->clientWidth) return TL_VIS_CUT;
  return TL_VIS_FULL;
}

LRESULT TreeListSelectFirstVisible(TreeListData* data, UINT_PTR target) {
  TreeListLocked lock(data);
  TreeListItem* item = TreeListLookup(data, target);
  LRESULT result = 0;
  if (item) {
    result = 1;
    TreeListEnsureVisible(data, target, -2);
  }
  return result;
}

// TVM_GETITEMRECT: the item handle comes in the rectangle itself.
LRESULT TreeListOnGetItemRect(TreeListData* data, WPARAM code, LPARAM lParam) {
  RECT* rc = (RECT*)lParam;
  if (!rc) return 0;
  TreeListLocked lock(data);
  TLHandle item;
  memcpy(&item, rc, sizeof(item));
  int result = TreeListGetItemRect(data, item, (UINT)code, rc);
  return result;
}

LRESULT TreeListOnEnsureVisible(TreeListData* data, WPARAM column, LPARAM item) {
  TreeListLocked lock(data);
  return TreeListEnsureVisible(data, (UINT_PTR)item, (int)column);
}

LRESULT TreeListOnGetVisibility(TreeListData* data, WPARAM column, LPARAM item) {
  TreeListLocked lock(data);
  return TreeListGetVisibility(data, (UINT_PTR)item, (int)column);
}
