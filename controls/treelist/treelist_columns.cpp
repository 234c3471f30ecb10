// Columns: the header child, inserting and deleting columns, content width,
// the header's notifications (sizing, reordering, clicks) and the column
// attribute messages.
#include <cstdlib>
#include <cstring>

#include "controls/treelist/treelist_data.h"

namespace {

const UINT kHeaderStyle = WS_CHILD | WS_VISIBLE | HDS_BUTTONS | HDS_DRAGDROP;  // 0x50000042

// Sends to the header with the lock left; its echoes find no open change.
LRESULT SendHeader(TreeListData* data, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND header = data->header;
  if (!header) return 0;
  BYTE changing = data->headerChanging;
  data->headerChanging = 1;
  LRESULT result = SendMessageA(header, msg, wParam, lParam);
  data->headerChanging = changing;
  return result;
}

void SetHeaderWidth(TreeListData* data, int column, int width) {
  HDITEMA hd = {};
  hd.mask = HDI_WIDTH;
  hd.cxy = width;
  SendHeader(data, HDM_SETITEMA, (WPARAM)column, (LPARAM)&hd);
}

void SendColumnChanged(TreeListData* data, int column) {
  if (!(data->exStyle & TLS_EX_COLUMNNOTIFY)) return;
  NMTLCOLUMNCHANGED nm = {};
  nm.hdr.code = (UINT)TLN_COLUMNCHANGED;
  nm.column = column;
  nm.displayPos = data->columns[column].displayPos;
  nm.left = data->columnX[column];
  nm.width = data->columns[column].width;
  TreeListNotifyUnlocked(data, &nm.hdr);
}

// Base width change of a column with the totals following it.
void SetBaseWidth(TreeListData* data, int column, int width) {
  TreeListColumn& col = data->columns[column];
  int diff = width - col.baseWidth;
  if (col.weight)
    data->weightedColumnsWidth += diff;
  else
    data->fixedColumnsWidth += diff;
  col.baseWidth = (short)width;
}

void RepaintFrom(TreeListData* data, int x) {
  if (x == 0x10000) return;
  RECT rc = {x - data->scrollX, 0, data->clientWidth, data->clientHeight};
  InvalidateRect(data->window, &rc, FALSE);
}

void AfterGeometry(TreeListData* data) {
  if (data->mergeColumns) TreeListUpdateMergedColumns(data);
  RepaintFrom(data, TreeListUpdateColumnPos(data));
  TreeListUpdateHScrollBar(data, 1);
}

void SetHeaderHeight(TreeListData* data, int height) {
  data->headerHeight = height;
  data->rowsAreaHeight = data->clientHeight - height;
  if (data->rowsAreaHeight < 0) data->rowsAreaHeight = 0;
  int rh = data->rowHeight > 0 ? data->rowHeight : 1;
  data->rowsInView = (data->rowsAreaHeight + rh - 1) / rh;
  data->rowsPerPage = data->rowsAreaHeight / rh;
  TreeListUpdateItemHeight(data);
  TreeListUpdateVScrollBar(data, 1, 0);
  InvalidateRect(data->window, nullptr, FALSE);
}

bool CreateHeader(TreeListData* data) {
  static bool s_init = [] {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)s_init;
  int height = (data->exStyle & TLS_EX_NOHEADER) ? 0 : GetSystemMetrics(SM_CYHSCROLL);
  HWND header = CreateWindowExA(0, WC_HEADERA, "", kHeaderStyle, -data->scrollX, 0, data->clientWidth + data->scrollX,
                                height, data->window, (HMENU)(INT_PTR)TL_HEADER_ID,
                                (HINSTANCE)GetWindowLongPtrA(data->window, GWLP_HINSTANCE), nullptr);
  if (!header) return false;
  data->header = header;
  SendHeader(data, HDM_SETIMAGELIST, 0, (LPARAM)(data->headerImages ? data->headerImages : data->normalImages));
  SendHeader(data, WM_SETFONT, (WPARAM)(data->font ? data->font : data->measuredFont), FALSE);
  SetHeaderHeight(data, height);
  return true;
}

// The column shown after `column` whose kept width is 0; -1 for none.
int NextFreeColumn(TreeListData* data, int column) {
  for (int pos = data->columns[column].displayPos + 1; pos < data->columnCount; ++pos) {
    int c = data->columnOrder[pos];
    if (data->columns[c].keptWidth == 0) return c;
  }
  return -1;
}

}  // namespace

int TreeListMeasureText(TreeListData* data, const char* text, UINT length, bool bold) {
  if (!text || !length) return 0;
  HDC dc = GetDC(data->window);
  HGDIOBJ old = SelectObject(dc, bold ? data->boldFont : data->measuredFont);
  RECT rc = {0, 0, 0, 0};
  DrawTextExA(dc, (char*)text, (int)length, &rc, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER, nullptr);
  SelectObject(dc, old);
  ReleaseDC(data->window, dc);
  return rc.right;
}

LRESULT TreeListInsertColumn(TreeListData* data, int index, const LVCOLUMNA* desc) {
  if (!desc) return -1;
  int count = data->columnCount;
  if (count >= kTLMaxColumns) return -1;
  if (index < 0) index = 0;
  if (index > count) index = count;
  // Column 0 is the tree: a column at 0 beside others has no cell table
  // to take, so it goes in behind column 0.
  if (index == 0 && count > 0) return -1;
  if (!data->header && !CreateHeader(data)) return -1;
  UINT mask = desc->mask;
  int fmt = (mask & LVCF_FMT) ? desc->fmt : 0;
  bool fixed = (mask & LVCF_WIDTH) != 0;
  int weight = 0;
  if (!fixed) {
    weight = (mask & LVCF_SUBITEM) ? desc->cx : 1;
    if (weight < 1) weight = 1;
    if (weight > 255) weight = 255;
  }
  int minWidth = 16;
  BYTE minFixed = 0;
  if (mask & LVCF_ORDER) {
    if (desc->iOrder >= 0) {
      minWidth = desc->iOrder;
      minFixed = desc->iOrder > 0;
    } else {
      minWidth = -desc->iOrder;
    }
  }
  int width;
  int weightedSum = 0;
  for (int c = 0; c < count; ++c)
    if (data->columns[c].weight && !data->columns[c].keptWidth) weightedSum += data->columns[c].weight;
  if (fixed) {
    width = desc->cx;
  } else if (data->weightedColumns == 0) {
    width = data->clientWidth - data->fixedColumnsWidth - data->weightedColumnsWidth;
  } else {
    width = data->weightedColumnsWidth * weight / (weightedSum + weight);
  }
  // The share is kept as it is; the header shows at least minWidth.
  int share = fixed ? width : width < -32768 ? -32768 : width;
  if (width < 0) width = 0;
  if (width < minWidth) width = minWidth;
  HDITEMA hd = {};
  hd.mask = HDI_FORMAT | HDI_WIDTH;
  hd.fmt = (fmt & 3) | HDF_STRING;
  hd.cxy = width;
  if (mask & LVCF_TEXT) {
    hd.mask |= HDI_TEXT;
    hd.pszText = desc->pszText;
  }
  if (mask & LVCF_IMAGE) {
    hd.mask |= HDI_IMAGE;
    hd.iImage = desc->iImage;
    hd.fmt |= HDF_IMAGE;
  }
  if (SendHeader(data, HDM_INSERTITEMA, (WPARAM)index, (LPARAM)&hd) < 0) {
    if (count == 0) {
      DestroyWindow(data->header);
      data->header = nullptr;
      SetHeaderHeight(data, 0);
    }
    return -1;
  }
  if (count > 0) {
    TreeListCell** table = (TreeListCell**)calloc(data->capacity + 1, sizeof(TreeListCell*));
    if (!table) {
      SendHeader(data, HDM_DELETEITEM, (WPARAM)index, 0);
      return -1;
    }
    for (int c = count - 1; c >= index; --c) data->cells[c] = data->cells[c - 1];
    data->cells[index - 1] = table;
  }
  for (int c = count; c > index; --c) {
    data->columns[c] = data->columns[c - 1];
    data->columnTextColors[c] = data->columnTextColors[c - 1];
  }
  for (int c = 0; c <= count; ++c)
    if (c != index && data->columns[c].displayPos >= index) ++data->columns[c].displayPos;
  for (int pos = count; pos > index; --pos) data->columnOrder[pos] = data->columnOrder[pos - 1];
  for (int pos = 0; pos <= count; ++pos)
    if (pos != index && data->columnOrder[pos] >= index) ++data->columnOrder[pos];
  data->columnOrder[index] = (BYTE)index;
  TreeListColumn& col = data->columns[index];
  col = TreeListColumn();
  col.editParam2 = -1;
  col.width = (WORD)width;
  col.baseWidth = (short)(fixed ? width : share);
  col.minWidth = (WORD)minWidth;
  col.minWidthFixed = minFixed;
  col.weight = (BYTE)weight;
  col.displayPos = (BYTE)index;
  col.textAlign = (fmt & 3) == LVCFMT_RIGHT ? 2 : (fmt & 3) == LVCFMT_CENTER ? 1 : 0;
  if ((mask & TLCF_SHADED) && (desc->fmt & TLCF_SHADED)) {
    col.shaded = 1;
    ++data->shadedColumns;
  }
  if ((mask & TLCF_AUTOWIDTH) && (desc->fmt & TLCF_AUTOWIDTH)) col.keptWidth = (WORD)(width > 0 ? width : 100);
  if ((mask & TLCF_FLAG31) && (desc->fmt & TLCF_FLAG31)) col.flag31 = 1;
  data->columnTextColors[index] = CLR_NONE;
  ++data->columnCount;
  if (fixed) {
    data->fixedColumnsWidth += width;
  } else if (data->weightedColumns == 0) {
    data->weightedColumnsWidth = col.baseWidth;
    ++data->weightedColumns;
  } else {
    data->weightedColumnsWidth += width;
    ++data->weightedColumns;
    // The others give up the new column's share; it keeps its own.
    WORD kept = col.keptWidth;
    data->columns[index].keptWidth = (WORD)(width ? width : 1);
    TreeListFitColumns(data, -width);
    data->columns[index].keptWidth = kept;
    data->weightedColumnsWidth = 0;
    for (int c = 0; c < data->columnCount; ++c)
      if (data->columns[c].weight) data->weightedColumnsWidth += data->columns[c].baseWidth;
  }
  if (data->caretColumn >= index && index > 0) ++data->caretColumn;
  if (data->hotColumn >= index && index > 0) ++data->hotColumn;
  if (data->focusCellColumn >= index && index > 0) ++data->focusCellColumn;
  if (data->editColumn >= index && index > 0 && data->editItem) ++data->editColumn;
  AfterGeometry(data);
  if (index > 0 && data->insertMarkItem && TreeListLookup(data, data->insertMarkItem))
    TreeListSetColor(data, data->insertMarkItem, index, 0, data->colors[kTLColorInsertMark], false);
  SendColumnChanged(data, index);
  return index;
}

LRESULT TreeListDeleteColumn(TreeListData* data, int column) {
  int count = data->columnCount;
  if (column < 0 || column >= count) return 0;
  if (column == 0 && count > 1) return 0;
  if (column > 0) {
    if (data->caretColumn == column) TreeListSelectItem(data, data->caretItem, 0, 0);
    if (data->editItem && data->editColumn == column) TreeListEndEdit(data, 0);
    if (data->focusCellColumn == column) data->focusCellItem = 0, data->focusCellColumn = 0;
    if (data->hotColumn == column) data->hotItem = 0, data->hotColumn = 0;
  }
  SendHeader(data, HDM_DELETEITEM, (WPARAM)column, 0);
  TreeListColumn removed = data->columns[column];
  --data->columnCount;
  if (column > 0) {
    TreeListCell** table = data->cells[column - 1];
    if (table) {
      for (UINT h = 0; h <= data->capacity; ++h) {
        if (table[h]) {
          free(table[h]->text);
          free(table[h]);
        }
      }
      free(table);
    }
    for (int c = column; c < count - 1; ++c) data->cells[c - 1] = data->cells[c];
    data->cells[count - 2] = nullptr;
  }
  if (removed.weight) --data->weightedColumns;
  if (removed.shaded) --data->shadedColumns;
  if (removed.weight)
    data->weightedColumnsWidth -= removed.baseWidth;
  else
    data->fixedColumnsWidth -= removed.baseWidth;
  for (int c = column; c < count - 1; ++c) {
    data->columns[c] = data->columns[c + 1];
    data->columnTextColors[c] = data->columnTextColors[c + 1];
  }
  data->columns[count - 1] = TreeListColumn();
  data->columnTextColors[count - 1] = CLR_NONE;
  // The display order loses the column.
  int pos = removed.displayPos, n = 0;
  for (int p = 0; p < count; ++p) {
    if (p == pos) continue;
    int c = data->columnOrder[p];
    data->columnOrder[n++] = (BYTE)(c > column ? c - 1 : c);
  }
  for (int p = 0; p < n; ++p) data->columns[data->columnOrder[p]].displayPos = (BYTE)p;
  if (data->weightedColumns)
    TreeListFitColumns(data, (int)removed.baseWidth);
  else
    data->weightedColumnsWidth = 0;
  if (data->caretColumn > column) --data->caretColumn;
  if (data->editColumn > column) --data->editColumn;
  if (data->focusCellColumn > column) --data->focusCellColumn;
  if (data->hotColumn > column) --data->hotColumn;
  if (data->mergeColumns) TreeListUpdateMergedColumns(data);
  if (data->columnCount == 0) {
    HWND header = data->header;
    data->header = nullptr;
    data->columnOrder[0] = 0;
    data->columnOrder[1] = 1;
    data->columns[0].nextColumn = 1;
    data->fixedColumnsWidth = data->weightedColumnsWidth = 0;
    {
      TreeListUnlocked unlocked(data);
      DestroyWindow(header);
    }
    SetHeaderHeight(data, 0);
  }
  AfterGeometry(data);
  InvalidateRect(data->window, nullptr, FALSE);
  return 1;
}

int TreeListColumnContentWidth(TreeListData* data, int column) {
  if (column < 0 || column >= data->columnCount) return 0;
  int widest = 0;
  for (UINT r = 0; r < data->rowCount; ++r) {
    TLHandle h = data->rows[r];
    TreeListItem* item = TreeListLookup(data, h);
    if (!item) continue;
    int w;
    if (column == 0) {
      // Texts never painted have no cached width yet.
      if (!item->textWidth && !(item->callbackFlags & kTLCallbackText))
        item->textWidth = TreeListMeasureText(data, item->text, item->textLength, (item->state & TVIS_BOLD) != 0);
      w = item->level * data->indent + item->textWidth + 8;
      if (item->itemFlags & kTLItemHasImage) w += data->imageSize.cx;
    } else {
      TreeListCell* cell = TreeListGetCell(data, h, column, false);
      w = 8;
      if (cell) {
        if (!cell->textWidth && !(cell->callbackFlags & kTLCallbackText))
          cell->textWidth = TreeListMeasureText(data, cell->text, cell->textLength, false);
        w += cell->textWidth;
        if (data->cellImages && (cell->cellFlags & kTLItemHasImage)) w += data->cellImageSize.cx;
      }
    }
    if (w > widest) widest = w;
  }
  if (column == 0 && data->rowCount) {
    if (data->exStyle & TLS_EX_TALLROWS) widest += 1;
    if (data->linesAtRoot) widest += data->indent;
    if (data->stateImages) widest += data->stateImageSize.cx;
  }
  return widest;
}

// A new width from the header (tracking or its end); cx may be corrected.
static LRESULT ApplyTrack(TreeListData* data, int column, int* cx) {
  if (column < 0 || column >= data->columnCount) return 0;
  TreeListColumn* col = &data->columns[column];
  int requested = *cx;
  if (col->minWidthFixed && *cx < col->minWidth) *cx = col->minWidth;
  if (*cx == col->baseWidth && *cx == col->width) {
    // The header ignores corrections written into its notification.
    if (*cx != requested) SetHeaderWidth(data, column, *cx);
    return 0;
  }
  if (data->exStyle & TLS_EX_SHAREWIDTH) {
    if (column == 0 && *cx < 1) *cx = 1;
    int next = NextFreeColumn(data, column);
    if (next >= 0 && !(column == 0 && col->baseWidth == 1)) {
      TreeListColumn& nb = data->columns[next];
      int d = col->width - *cx;
      int nw = nb.width + d;
      if (nw < 0) {
        d = -nb.width;
        nw = 0;
        *cx = col->width + nb.width;
      }
      if (nb.minWidthFixed && nw < nb.minWidth) {
        d += nb.minWidth - nw;
        *cx -= nb.minWidth - nw;
        nw = nb.minWidth;
      }
      if (nw != nb.width) {
        SetBaseWidth(data, next, nw);
        nb.width = (WORD)nw;
        SetHeaderWidth(data, next, nw);
        SendColumnChanged(data, next);
      }
    }
  }
  col = &data->columns[column];
  bool changed = *cx != col->width;
  SetBaseWidth(data, column, *cx);
  col->width = (WORD)*cx;
  SetHeaderWidth(data, column, *cx);
  RepaintFrom(data, TreeListUpdateColumnPos(data));
  TreeListUpdateHScrollBar(data, 1);
  if (changed) SendColumnChanged(data, column);
  return 0;
}

LRESULT TreeListOnHeaderNotify(TreeListData* data, NMHDR* hdr) {
  NMHEADERA* nm = (NMHEADERA*)hdr;
  HWND hwnd = data->window;
  UINT code = hdr->code;
  switch (code) {
    case HDN_BEGINDRAG:
      return (data->exStyle & TLS_EX_DRAGCOLUMNS) && nm->iItem != 0 ? 0 : 1;
    case HDN_ENDDRAG: {
      if (!(data->exStyle & TLS_EX_DRAGCOLUMNS) || nm->iItem == 0 || (nm->pitem && nm->pitem->iOrder == 0)) return 1;
      PostMessageA(hwnd, TLM_SETCOLUMNORDER, TL_ORDER_FROM_HEADER, 0);
      return 0;
    }
    case HDN_ITEMCLICKA:
    case HDN_ITEMDBLCLICKA: {
      if (GetFocus() != hwnd) SetFocus(hwnd);
      NMHEADERA copy = *nm;
      return TreeListSendNotify(data, &copy.hdr);
    }
    case NM_RCLICK: {
      NMTLHEADERRCLICK rc = {};
      GetCursorPos(&rc.hit.pt);
      // The header's own coordinates: it stands scrolled by scrollX.
      ScreenToClient(data->header, &rc.hit.pt);
      if (SendMessageA(data->header, HDM_HITTEST, 0, (LPARAM)&rc.hit) < 0 || rc.hit.iItem < 0) return 0;
      if (!(rc.hit.flags & (HHT_ONHEADER | HHT_ONDIVIDER | HHT_ONDIVOPEN))) return 0;
      rc.hdr.code = (UINT)TLN_HEADERRCLICK;
      return TreeListSendNotify(data, &rc.hdr);
    }
    case HDN_BEGINTRACKA: {
      if (GetFocus() != hwnd) SetFocus(hwnd);
      if (data->exStyle & TLS_EX_FIXEDCOLUMNS) return 1;
      int c = nm->iItem;
      if (c < 0 || c >= data->columnCount) return 0;
      if ((data->exStyle & TLS_EX_SHAREWIDTH) && NextFreeColumn(data, c) < 0) return 1;
      TreeListColumn& col = data->columns[c];
      if (!col.keptWidth) return 0;
      if (col.width) return 1;
      POINT pt;
      GetCursorPos(&pt);
      ScreenToClient(data->header, &pt);
      PostMessageA(data->header, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
      PostMessageA(data->header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(data->columnX[c] - 2, pt.y));
      return 1;
    }
    case HDN_DIVIDERDBLCLICKA: {
      if (GetFocus() != hwnd) SetFocus(hwnd);
      int c = nm->iItem;
      if ((data->exStyle & TLS_EX_FIXEDCOLUMNS) || c < 0 || c >= data->columnCount || data->columns[c].keptWidth)
        return 0;
      TreeListLocked lock(data);
      int width = TreeListColumnContentWidth(data, c);
      if (data->columns[c].minWidthFixed && width < data->columns[c].minWidth) width = data->columns[c].minWidth;
      if (width) ApplyTrack(data, c, &width);
      return 0;
    }
    case HDN_ITEMCHANGEDA:
    case HDN_TRACKA:
    case HDN_ENDTRACKA: {
      if (!nm->pitem || !(nm->pitem->mask & HDI_WIDTH)) return 0;
      if (code == HDN_ITEMCHANGEDA && data->headerChanging) return 0;
      if (code == HDN_ENDTRACKA && GetFocus() != hwnd) SetFocus(hwnd);
      int c = nm->iItem;
      if (c < 0 || c >= data->columnCount) return 0;
      if (code == HDN_ITEMCHANGEDA && nm->pitem->cxy == data->columns[c].width) return 0;
      TreeListLocked lock(data);
      int cx = nm->pitem->cxy;
      ApplyTrack(data, c, &cx);
      nm->pitem->cxy = cx;
      return 0;
    }
  }
  return 0;
}

LRESULT TreeListSetColumn(TreeListData* data, int column, const LVCOLUMNA* desc) {
  if (!desc || !data->header || column < 0 || column >= data->columnCount) return 0;
  TreeListColumn* col = &data->columns[column];
  UINT mask = desc->mask;
  int cx = desc->cx;
  if (cx == TL_WIDTH_RESTORE) cx = col->keptWidth > 0 ? col->keptWidth : col->width;
  int oldWidth = col->width;
  if (mask & TLCF_AUTOWIDTH) {
    if (desc->fmt & TLCF_AUTOWIDTH) {
      if (!col->keptWidth) col->keptWidth = (WORD)(col->width ? col->width : 100);
    } else {
      col->keptWidth = 0;
    }
  }
  HDITEMA hd = {};
  if (mask & LVCF_FMT) {
    hd.mask |= HDI_FORMAT;
    hd.fmt = desc->fmt | HDF_STRING;
  }
  if (mask & LVCF_IMAGE) {
    hd.mask |= HDI_IMAGE;
    hd.iImage = desc->iImage;
  }
  if (mask & LVCF_WIDTH) {
    if (cx < 0) cx = 0;
    hd.mask |= HDI_WIDTH;
    hd.cxy = cx;
    SetBaseWidth(data, column, cx);
    col->width = (WORD)cx;
  }
  if (mask & LVCF_TEXT) {
    hd.mask |= HDI_TEXT;
    hd.pszText = desc->pszText;
    hd.cchTextMax = desc->cchTextMax;
  }
  LRESULT result = 1;
  if (hd.mask) {
    result = SendHeader(data, HDM_SETITEMA, (WPARAM)column, (LPARAM)&hd);
    if (!result) return 0;
  }
  col = &data->columns[column];
  if (mask & LVCF_FMT) {
    BYTE align = desc->fmt == 1 ? 2 : desc->fmt == 2 ? 1 : 0;
    if (align != col->textAlign) {
      col->textAlign = align;
      TreeListInvalidateColumn(data, column);
    }
  }
  if (mask & TLCF_SHADED) {
    BYTE shaded = (desc->fmt & TLCF_SHADED) ? 1 : 0;
    if (shaded != col->shaded) {
      col->shaded = shaded;
      data->shadedColumns += shaded ? 1 : -1;
      TreeListInvalidateColumn(data, column);
    }
  }
  if (mask & TLCF_FLAG31) {
    BYTE flag = (desc->fmt & TLCF_FLAG31) ? 1 : 0;
    if (flag != col->flag31) {
      col->flag31 = flag;
      TreeListInvalidateColumn(data, column);
    }
  }
  if ((mask & TLCF_FIT) && data->weightedColumns && (hd.mask & HDI_WIDTH)) {
    bool held = (mask & TLCF_AUTOWIDTH) && oldWidth == 0 && cx && col->weight && !col->keptWidth;
    if (held) col->keptWidth = (WORD)cx;
    if (desc->fmt & TLCF_FIT) {
      int others = 0;
      for (int c = 0; c < data->columnCount; ++c) {
        TreeListColumn& k = data->columns[c];
        if (k.weight && !k.keptWidth)
          k.baseWidth = 0;
        else
          others += k.baseWidth;
      }
      data->weightedColumnsWidth = 0;
      TreeListFitColumns(data, data->clientWidth - others);
    } else {
      TreeListFitColumns(data, oldWidth - cx);
    }
    if (held) data->columns[column].keptWidth = 0;
    RepaintFrom(data, TreeListUpdateColumnPos(data));
  } else if (hd.mask & HDI_WIDTH) {
    RepaintFrom(data, TreeListUpdateColumnPos(data));
  }
  if (mask & (LVCF_WIDTH | TLCF_AUTOWIDTH | TLCF_FIT)) TreeListUpdateHScrollBar(data, 0);
  return result;
}

LRESULT TreeListGetColumn(TreeListData* data, int column, LVCOLUMNA* desc) {
  if (!desc || !data->header) return 0;
  HDITEMA hd = {};
  if (desc->mask & LVCF_FMT) hd.mask |= HDI_FORMAT;
  if (desc->mask & LVCF_IMAGE) hd.mask |= HDI_IMAGE;
  if (desc->mask & LVCF_WIDTH) hd.mask |= HDI_WIDTH;
  if (desc->mask & LVCF_TEXT) {
    hd.mask |= HDI_TEXT;
    hd.pszText = desc->pszText;
    hd.cchTextMax = desc->cchTextMax;
  }
  LRESULT result = SendMessageA(data->header, HDM_GETITEMA, (WPARAM)column, (LPARAM)&hd);
  if (!result) return 0;
  UINT mask = 0;
  if (hd.mask & HDI_FORMAT) mask |= LVCF_FMT, desc->fmt = hd.fmt;
  if (hd.mask & HDI_IMAGE) mask |= LVCF_IMAGE, desc->iImage = hd.iImage;
  if (hd.mask & HDI_WIDTH) mask |= LVCF_WIDTH, desc->cx = hd.cxy;
  if (hd.mask & HDI_TEXT) mask |= LVCF_TEXT, desc->pszText = hd.pszText, desc->cchTextMax = hd.cchTextMax;
  desc->mask = mask;
  return result;
}

LRESULT TreeListGetColumnWidth(TreeListData* data, int column) {
  if (!data->header) return 0;
  HDITEMA hd = {};
  hd.mask = HDI_WIDTH;
  if (!SendMessageA(data->header, HDM_GETITEMA, (WPARAM)column, (LPARAM)&hd)) return 0;
  return hd.cxy;
}

LRESULT TreeListSetColumnWidth(TreeListData* data, int column, int width) {
  HWND header = data->header;
  if (!header || column < 0 || column >= data->columnCount || width < 0) return 0;
  HDITEMA hd = {};
  hd.mask = HDI_WIDTH;
  hd.cxy = width;
  // The header's echo applies the width to the column.
  return SendMessageA(header, HDM_SETITEMA, (WPARAM)column, (LPARAM)&hd);
}

LRESULT TreeListSetColumnOrder(TreeListData* data, WPARAM count, const int* order) {
  int n = data->columnCount;
  int fromHeader[kTLMaxColumns] = {};
  if (count == TL_ORDER_FROM_HEADER) {
    if (!data->header || !n) return 0;
    if (!SendMessageA(data->header, HDM_GETORDERARRAY, (WPARAM)n, (LPARAM)fromHeader)) return 0;
    order = fromHeader;
  } else if (order) {
    if ((int)count != n || n == 0) return 0;
  } else {
    for (int i = 0; i < n; ++i) fromHeader[i] = i;
    order = fromHeader;
  }
  if (n == 0 || order[0] != 0) return 0;
  bool seen[kTLMaxColumns] = {};
  for (int p = 0; p < n; ++p) {
    if (order[p] < 0 || order[p] >= n || seen[order[p]]) return 0;
    seen[order[p]] = true;
  }
  bool same = true;
  for (int p = 0; p < n; ++p) same = same && data->columnOrder[p] == order[p];
  if (same) return 1;
  int asInt[kTLMaxColumns];
  for (int p = 0; p < n; ++p) {
    data->columnOrder[p] = (BYTE)order[p];
    data->columns[order[p]].displayPos = (BYTE)p;
    asInt[p] = order[p];
  }
  if (count != TL_ORDER_FROM_HEADER) SendHeader(data, HDM_SETORDERARRAY, (WPARAM)n, (LPARAM)asInt);
  if (data->mergeColumns) TreeListUpdateMergedColumns(data);
  TreeListUpdateColumnPos(data);
  TreeListInvalidateRows(data);
  if (data->exStyle & TLS_EX_COLUMNNOTIFY) {
    TreeListUnlocked unlocked(data);
    for (int c = 0; c < n; ++c) {
      NMTLCOLUMNCHANGED nm = {};
      nm.hdr.code = (UINT)TLN_COLUMNCHANGED;
      nm.column = c;
      nm.displayPos = data->columns[c].displayPos;
      nm.left = data->columnX[c];
      nm.width = data->columns[c].width;
      TreeListSendNotify(data, &nm.hdr);
    }
  }
  return 1;
}

LRESULT TreeListGetColumnOrder(TreeListData* data, WPARAM count, int* order) {
  if (!order || !data->header) return 0;
  return SendMessageA(data->header, HDM_GETORDERARRAY, count, (LPARAM)order);
}

LRESULT TreeListSetColumnTextColor(TreeListData* data, WPARAM wParam, COLORREF color) {
  UINT column = LOWORD(wParam), mode = HIWORD(wParam);
  if (column >= (UINT)kTLMaxColumns) return -1;
  COLORREF old = data->columnTextColors[column];
  if (mode > 1) return (LRESULT)(int)old;
  TreeListLocked lock(data);
  data->columnTextColors[column] = color;
  if (mode == 1) TreeListInvalidateColumn(data, (int)column);
  return (LRESULT)(int)old;
}

LRESULT TreeListOnInsertColumn(TreeListData* data, WPARAM index, LPARAM description) {
  TreeListLocked lock(data);
  return TreeListInsertColumn(data, (int)index, (const LVCOLUMNA*)description);
}

LRESULT TreeListOnDeleteColumn(TreeListData* data, WPARAM column, LPARAM) {
  TreeListLocked lock(data);
  return TreeListDeleteColumn(data, (int)column);
}

LRESULT TreeListOnSetColumn(TreeListData* data, WPARAM column, LPARAM description) {
  TreeListLocked lock(data);
  return TreeListSetColumn(data, (int)column, (const LVCOLUMNA*)description);
}

LRESULT TreeListOnSetColumnOrder(TreeListData* data, WPARAM count, LPARAM order) {
  TreeListLocked lock(data);
  return TreeListSetColumnOrder(data, count, (const int*)order);
}
