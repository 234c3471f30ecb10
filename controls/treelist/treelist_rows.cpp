// The row model (which item shows in which row), the columns' horizontal
// geometry, fitting weighted columns, repaints and the size message.
#include <cstring>

#include "controls/treelist/treelist_data.h"

static bool IsHidden(const TreeListData* data, const TreeListItem* item) {
  return (data->exStyle & TLS_EX_HIDEITEMS) && (item->state & TLIS_HIDDEN);
}

// Next item in pre-order: child of an open item, else sibling, else the
// sibling of the nearest ancestor that has one.
static TLHandle NextInOrder(const TreeListData* data, TLHandle handle) {
  const TreeListItem* item = data->items[handle];
  if (item->firstChild && (item->state & TVIS_EXPANDED) && !IsHidden(data, item)) return item->firstChild;
  while (item) {
    if (item->nextSibling) return item->nextSibling;
    if (!item->parent) return 0;
    item = TreeListLookup(data, item->parent);
  }
  return 0;
}

static int MeasureItemText(TreeListData* data, TreeListItem* item) {
  if (item->textWidth || !item->text || !item->textLength) return item->textWidth;
  HDC dc = GetDC(data->window);
  HGDIOBJ old = SelectObject(dc, (item->state & TVIS_BOLD) ? data->boldFont : data->measuredFont);
  RECT rc = {0, 0, 0, 0};
  DrawTextExA(dc, item->text, (int)item->textLength, &rc, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER,
              nullptr);
  SelectObject(dc, old);
  ReleaseDC(data->window, dc);
  item->textWidth = rc.right;
  return item->textWidth;
}

static void GrowColumn0(TreeListData* data, UINT from) {
  int widest = 0;
  for (UINT r = from; r < data->rowCount; ++r) {
    TreeListItem* item = TreeListLookup(data, data->rows[r]);
    if (!item || (item->callbackFlags & kTLCallbackText)) continue;
    int w = MeasureItemText(data, item) + item->level * data->indent;
    if (item->itemFlags & kTLItemHasImage) w += data->imageSize.cx;
    if (w > widest) widest = w;
  }
  if (data->linesAtRoot) widest += data->indent;
  if (data->stateImages) widest += data->stateImageSize.cx;
  widest += data->growColumn0 + 6;
  if (widest > data->columns[0].baseWidth + 2) TreeListSetColumnWidth(data, 0, widest);
}

void TreeListRebuildRows(TreeListData* data, TLHandle start) {
  UINT oldCount = data->rowCount;
  UINT r = 0;
  TLHandle handle;
  if (start == 0) {
    if (!data->firstRoot) {
      if (data->rowCount == 0) return;
      for (UINT i = 0; i < data->rowCount; ++i) {
        if (TreeListItem* item = TreeListLookup(data, data->rows[i])) item->row = 0;
        data->rows[i] = 0;
      }
      data->rowCount = 0;
      InvalidateRect(data->window, nullptr, TRUE);
      TreeListUpdateVScrollBar(data, 1, 0);
      return;
    }
    handle = data->firstRoot;
  } else {
    TreeListItem* item = TreeListLookup(data, start);
    if (!item) return;
    // A rowless item (under a collapsed ancestor) starts at its nearest
    // ancestor that has a row; none: everything.
    while (item && !item->row) item = item->parent ? TreeListLookup(data, item->parent) : nullptr;
    if (!item) {
      TreeListRebuildRows(data, 0);
      return;
    }
    r = item->row - 1;
    handle = data->rows[r];
  }
  // Entries from r on are cleared as their items lose the row.
  for (UINT i = r; i < data->rowCount; ++i) {
    TreeListItem* item = TreeListLookup(data, data->rows[i]);
    if (item && item->row == i + 1) item->row = 0;
  }
  UINT first = (UINT)-1;
  while (handle) {
    TreeListItem* item = data->items[handle];
    if (!IsHidden(data, item)) {
      if (r >= data->capacity) break;  // cannot happen with consistent tables
      if (first == (UINT)-1 && (r >= oldCount || data->rows[r] != handle)) first = r;
      data->rows[r] = handle;
      item->row = r + 1;
      ++r;
      handle = NextInOrder(data, handle);
    } else {
      // Hidden: its subtree is passed over.
      TLHandle next = 0;
      for (const TreeListItem* up = item; up; up = up->parent ? TreeListLookup(data, up->parent) : nullptr) {
        if (up->nextSibling) {
          next = up->nextSibling;
          break;
        }
      }
      handle = next;
    }
  }
  for (UINT i = r; i < oldCount; ++i) data->rows[i] = 0;
  if (first == (UINT)-1 && r != oldCount) first = r;
  // A rebuild of everything renews every row, changed or not.
  if (start == 0 && r > 0) first = 0;
  data->rowCount = r;
  if (data->growColumn0 && first != (UINT)-1) GrowColumn0(data, first);
  if (first != (UINT)-1) {
    int index = (int)first > data->topRow ? (int)first - data->topRow : 0;
    int top = data->headerHeight + data->rowHeight * index;
    if (top < data->clientHeight) {
      RECT rc = {0, top, data->clientWidth, data->clientHeight};
      InvalidateRect(data->window, &rc, FALSE);
    }
  }
  if (r != oldCount) TreeListUpdateVScrollBar(data, 1, 0);
}

int TreeListUpdateColumnPos(TreeListData* data) {
  int count = data->columnCount;
  int result = 0x10000;
  int x = 0;
  bool changed = false;
  int lastNonZero = -1;
  for (int pos = 0; pos < count; ++pos) {
    int c = data->columnOrder[pos];
    int right = x + data->columns[c].width - (pos == 0 ? 1 : 0);
    if (right < x) right = x;
    if (pos == count - 1 && right == data->clientWidth - 1) right += 1;
    if (data->columns[c].width) lastNonZero = c;
    if (!changed && data->columnX[c] != x) {
      changed = true;
      result = data->columnX[c];
    }
    data->columnX[c] = x;
    x = right;
  }
  if (count > 0 && x == data->clientWidth - 1 && lastNonZero >= 0) x += 1;
  if (!changed && data->columnX[count] != x) {
    changed = true;
    result = data->columnX[count] < x ? data->columnX[count] : x;
  }
  data->columnX[count] = x;
  // Next-column links follow the display order.
  for (int pos = 0; pos < count; ++pos)
    data->columns[data->columnOrder[pos]].nextColumn = (BYTE)(pos + 1 < count ? data->columnOrder[pos + 1] : count);
  data->columnX[count + 1] = data->clientWidth + 1;
  return result;
}

void TreeListUpdateMergedColumns(TreeListData* data) {
  WORD mask = 0;
  int limit = data->columnCount - 1 < 16 ? data->columnCount - 1 : 16;
  for (int k = 0; k < limit; ++k)
    if ((data->mergeColumns & (1 << k)) && data->columns[k].nextColumn == k + 1) mask |= (WORD)(1 << k);
  if (mask != data->mergeMask) {
    data->mergeMask = mask;
    TreeListInvalidateRows(data);
  }
}

static void SendColumnChanged(TreeListData* data, int column) {
  if (!(data->exStyle & TLS_EX_COLUMNNOTIFY)) return;
  NMTLCOLUMNCHANGED nm = {};
  nm.hdr.code = (UINT)TLN_COLUMNCHANGED;
  nm.column = column;
  nm.displayPos = data->columns[column].displayPos;
  nm.left = data->columnX[column];
  nm.width = data->columns[column].width;
  TreeListNotifyUnlocked(data, &nm.hdr);
}

static void ApplyWeightedWidth(TreeListData* data, int c) {
  TreeListColumn& col = data->columns[c];
  int width = col.baseWidth > col.minWidth ? col.baseWidth : col.minWidth;
  if (width == col.width) return;
  col.width = (WORD)width;
  if (data->header) {
    HDITEMA hd = {};
    hd.mask = HDI_WIDTH;
    hd.cxy = width;
    HWND header = data->header;
    TreeListUnlocked unlocked(data);
    SendMessageA(header, HDM_SETITEMA, (WPARAM)c, (LPARAM)&hd);
  }
  SendColumnChanged(data, c);
}

static bool IsWeighted(const TreeListColumn& col) { return col.weight > 0 && col.keptWidth == 0; }

static short ClampShare(int base) { return (short)(base < -32768 ? -32768 : base > 32767 ? 32767 : base); }

void TreeListFitColumns(TreeListData* data, int d) {
  int count = data->columnCount;
  int weighted = 0, total = 0, only = -1;
  for (int c = 0; c < count; ++c) {
    if (IsWeighted(data->columns[c])) {
      ++weighted;
      total += data->columns[c].weight;
      only = c;
    }
  }
  if (weighted == 0) return;
  if (weighted == 1) {
    TreeListColumn& col = data->columns[only];
    col.baseWidth = ClampShare(col.baseWidth + d);
    data->weightedColumnsWidth = col.baseWidth;
    ApplyWeightedWidth(data, only);
    return;
  }
  int w = d > 0 ? data->clientWidth : data->clientWidth - d;
  int target = ((w % total) + total) % total;
  int startCol = -1, running = 0;
  for (int c = 0; c < count; ++c) {
    if (!IsWeighted(data->columns[c])) continue;
    running += data->columns[c].weight;
    if (running > target) {
      startCol = c;
      break;
    }
  }
  // Shares of d by weight; remainders carried so the shares sum to d.
  int carry = 0, given = 0, seen = 0;
  for (int i = 0; seen < weighted; ++i) {
    int c = (startCol + i) % count;
    TreeListColumn& col = data->columns[c];
    if (!IsWeighted(col)) continue;
    ++seen;
    int part;
    if (seen == weighted) {
      part = d - given;
    } else {
      int num = d * col.weight + carry;
      part = num / total;
      carry = num - part * total;
    }
    given += part;
    col.baseWidth = ClampShare(col.baseWidth + part);
  }
  // Totals over every column: fixed ones after the last weighted one count.
  data->weightedColumnsWidth = 0;
  data->fixedColumnsWidth = 0;
  for (int c = 0; c < count; ++c) {
    if (IsWeighted(data->columns[c])) ApplyWeightedWidth(data, c);
    if (data->columns[c].weight)
      data->weightedColumnsWidth += data->columns[c].baseWidth;
    else
      data->fixedColumnsWidth += data->columns[c].baseWidth;
  }
  if (d > 0) TreeListInvalidateHeader(data);
}

int TreeListVisibleIndex(const TreeListData* data, UINT row) {
  if (row == 0) return -1;
  int index = (int)row - data->topRow - 1;
  if (index >= 0 && index < data->rowsInView) return index;
  if ((int)row <= data->fixedRows) return (int)row - 1;
  return -1;
}

int TreeListLastMerged(const TreeListData* data, UINT state, int column) {
  UINT merge = (state >> TLIS_MERGESHIFT) & data->mergeMask;
  while (column < 16 && (merge & (1u << column))) ++column;
  return column;
}

static bool RowBand(TreeListData* data, TLHandle handle, RECT* rc, const TreeListItem** record) {
  const TreeListItem* item = TreeListLookup(data, handle);
  if (!item) return false;
  int index = TreeListVisibleIndex(data, item->row);
  if (index < 0) return false;
  rc->top = data->headerHeight + index * data->rowHeight;
  rc->bottom = rc->top + data->rowHeight;
  if (record) *record = item;
  return true;
}

int TreeListInvalidateCell(TreeListData* data, TLHandle handle, int column) {
  RECT rc;
  const TreeListItem* item;
  if (!RowBand(data, handle, &rc, &item)) return 0;
  if (data->columnCount == 0 || column >= data->columnCount || column < 0) {
    rc.left = 0;
    rc.right = data->clientWidth;
  } else {
    int last = TreeListLastMerged(data, item->state, column);
    if (last >= data->columnCount) last = data->columnCount - 1;
    rc.left = data->columnX[column] - data->scrollX;
    rc.right = data->columnX[data->columns[last].nextColumn] - data->scrollX;
  }
  InvalidateRect(data->window, &rc, FALSE);
  return 1;
}

int TreeListInvalidateColumn(TreeListData* data, int column) {
  if (column < 0 || column >= data->columnCount) return 0;
  int last = column;
  while (last < 16 && (data->mergeMask & (1 << last))) ++last;
  if (last >= data->columnCount) last = data->columnCount - 1;
  int left = data->columnX[column] - data->scrollX;
  int right = data->columnX[data->columns[last].nextColumn] - data->scrollX;
  if (left > data->clientWidth || right < 0) return 0;
  RECT rc = {left, 0, right, data->clientHeight};
  InvalidateRect(data->window, &rc, FALSE);
  return 1;
}

void TreeListInvalidateItem(TreeListData* data, TLHandle handle) {
  RECT rc;
  if (!RowBand(data, handle, &rc, nullptr)) return;
  rc.left = 0;
  rc.right = data->clientWidth;
  InvalidateRect(data->window, &rc, FALSE);
}

void TreeListInvalidateRows(TreeListData* data) {
  RECT rc = {0, data->headerHeight, data->clientWidth, data->clientHeight};
  InvalidateRect(data->window, &rc, FALSE);
}

void TreeListInvalidateHeader(TreeListData* data) {
  if (data->header) InvalidateRect(data->header, nullptr, FALSE);
}

LRESULT TreeListOnSize(TreeListData* data, LPARAM lParam) {
  TreeListLocked lock(data);
  int w = LOWORD(lParam);
  HWND hwnd = data->window;
  if (w && w != data->clientWidth) {
    int o = data->clientWidth;
    data->clientWidth = w;
    if (data->weightedColumns || data->columnCount) {
      TreeListFitColumns(data, w - o);
      int x = TreeListUpdateColumnPos(data);
      if (x != 0x10000) {
        RECT rc = {x - data->scrollX, data->headerHeight, w, data->clientHeight};
        InvalidateRect(hwnd, &rc, FALSE);
      }
    }
    RECT band = {(w < o ? w : o) - data->boldEllipsisWidth - 8, data->headerHeight, w > o ? w : o, data->clientHeight};
    InvalidateRect(hwnd, &band, FALSE);
    data->columnX[data->columnCount + 1] = w + 1;
    if (data->header)
      SetWindowPos(data->header, nullptr, -data->scrollX, 0, data->scrollX + w, data->headerHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE | (w > o ? 0 : SWP_NOREDRAW));
    TreeListUpdateHScrollBar(data, 1);
  }
  int h = HIWORD(lParam);
  // The scroll bar set above may have shown or hidden itself, resizing the
  // client area in a nested WM_SIZE: its height is the one that holds now.
  RECT now;
  if (h && GetClientRect(hwnd, &now) && now.bottom > 0) h = now.bottom;
  bool grew = false;
  if (h && h != data->clientHeight) {
    grew = h > data->clientHeight;
    if (grew) {
      RECT rc = {0, data->clientHeight, data->clientWidth, h};
      InvalidateRect(hwnd, &rc, FALSE);
    }
    data->clientHeight = h;
    data->rowsAreaHeight = h - data->headerHeight;
    if (data->rowsAreaHeight < 0) data->rowsAreaHeight = 0;
    int rh = data->rowHeight > 0 ? data->rowHeight : 1;
    data->rowsInView = (data->rowsAreaHeight + rh - 1) / rh;
    data->rowsPerPage = data->rowsAreaHeight / rh;
    if (grew && data->rowsPerPage > 2 && data->topRow > 0 &&
        data->topRow + data->rowsPerPage + 1 > (int)data->rowCount) {
      int top = (int)data->rowCount - data->rowsPerPage + 1;
      data->topRow = top > 0 ? top : 0;
      TreeListInvalidateRows(data);
    }
    TreeListUpdateVScrollBar(data, 1, 0);
  }
  HWND header = data->header;
  lock.Leave();
  if (grew && header) RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  return 0;
}

// TLM_GETITEMROW: the row of an item, -1 without one.
LRESULT TreeListOnGetItemRow(TreeListData* data, WPARAM, LPARAM item) {
  TreeListLocked lock(data);
  TreeListItem* record = TreeListLookup(data, (UINT_PTR)item);
  LRESULT row = record && record->row ? (LRESULT)record->row - 1 : -1;
  return row;
}

LRESULT TreeListOnGetRowItem(TreeListData* data, WPARAM, LPARAM row) {
  TreeListLocked lock(data);
  LRESULT item = (UINT_PTR)row < data->rowCount ? data->rows[row] : 0;
  return item;
}
