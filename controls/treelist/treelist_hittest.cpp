// What lies under a point: row, column, and the part of the item or cell.
#include "controls/treelist/treelist_data.h"

namespace {

UINT HitTreeCell(TreeListData* data, TreeListItem* item, int x, int y, int rowTop) {
  int level = item->level + (data->linesAtRoot ? 1 : 0);
  int end = level * data->indent;
  if (x < end) {
    int cx = end - data->indent + data->buttonBox;
    int cy = rowTop + data->rowHeight / 2;
    if ((data->style & TVS_HASBUTTONS) && (item->itemFlags & kTLItemHasChildren) && x >= cx - 6 && x <= cx + 7 &&
        y >= cy - 6 && y <= cy + 7)
      return TVHT_ONITEMBUTTON;
    return TVHT_ONITEMINDENT;
  }
  x -= end;
  int extra = ((data->exStyle & TLS_EX_TALLROWS) || (!item->parent && !data->linesAtRoot)) ? 1 : 0;
  if (data->stateImages) {
    int w = data->stateImageSize.cx + extra;
    extra = 0;
    if (x < w) return TVHT_ONITEMSTATEICON;
    x -= w;
  }
  if (item->itemFlags & kTLItemHasImage) {
    int w = ((UINT)item->image >= 0x40000000u ? data->cellImageSize.cx : data->imageSize.cx) + extra +
            ((data->exStyle & TLS_EX_TALLROWS) ? 1 : 0);
    if (x < w) return TVHT_ONITEMICON;
    x -= w;
  }
  bool hasText = item->textLength || (item->callbackFlags & kTLCallbackText);
  int width = item->textWidth;
  if (!width && item->text && item->textLength)
    width = item->textWidth = TreeListMeasureText(data, item->text, item->textLength, (item->state & TVIS_BOLD) != 0);
  if (hasText && x < width + 5) return TVHT_ONITEMLABEL | kTLHitLabelText;
  if (hasText) return TVHT_ONITEMRIGHT;
  return x < 20 ? TVHT_ONITEMLABEL | kTLHitLabelText : TVHT_ONITEMLABEL;
}

UINT HitCell(TreeListData* data, TLHandle handle, int column, int x, int left, int right) {
  TreeListColumn& col = data->columns[column];
  TreeListCell* cell = TreeListGetCell(data, handle, column, false);
  int imageWidth = 0;
  if (col.editKind >= TLEK_CHECK)
    imageWidth = data->checkImageSize.cx;
  else if (cell && (cell->cellFlags & kTLItemHasImage))
    imageWidth = data->imageSize.cx;
  UINT result = (UINT)column << kTLHitColumnShift;
  if (imageWidth) {
    bool atRight = cell && (cell->state & 0x80);
    if (atRight ? x >= right - imageWidth : x < left + imageWidth) return result | kTLHitCellImage;
    if (atRight)
      right -= imageWidth;
    else
      left += imageWidth;
  }
  bool hasText = cell && (cell->textLength || (cell->callbackFlags & kTLCallbackText));
  if (!hasText) {
    result |= kTLHitCellEmptyOrText;
    if (col.textAlign == 2 ? x >= right - 20 : x < left + 20) result |= kTLHitCellText;
    return result;
  }
  int width = cell->textWidth;
  if (!width && cell->text) width = cell->textWidth = TreeListMeasureText(data, cell->text, cell->textLength, false);
  bool onText;
  if (col.textAlign == 1)
    onText = x >= (left + right) / 2 - width / 2 - 3 && x <= (left + right) / 2 + width / 2 + 3;
  else if (col.textAlign == 2)
    onText = x >= right - width - 5;
  else
    onText = x < left + width + 5;
  return result | (onText ? kTLHitCellEmptyOrText | kTLHitCellText : kTLHitBesideCellText);
}

}  // namespace

LRESULT TreeListHitTest(TreeListData* data, TVHITTESTINFO* info) {
  if (!info) return 0;
  info->hItem = nullptr;
  int x = info->pt.x, y = info->pt.y;
  if (x >= data->clientWidth) {
    info->flags = TVHT_TORIGHT;
    return 0;
  }
  if (x < 0) {
    info->flags = TVHT_TOLEFT;
    return 0;
  }
  if (y < data->headerHeight) {
    info->flags = TVHT_ABOVE;
    return 0;
  }
  if (y >= data->clientHeight) {
    info->flags = TVHT_BELOW;
    return 0;
  }
  int rowHeight = data->rowHeight > 0 ? data->rowHeight : 1;
  int visible = (y - data->headerHeight) / rowHeight;
  int row = visible < data->fixedRows ? visible : visible + data->topRow;
  if (row < 0 || row >= (int)data->rowCount) {
    info->flags = TVHT_NOWHERE;
    return 0;
  }
  TLHandle handle = data->rows[row];
  TreeListItem* item = TreeListLookup(data, handle);
  if (!item) {
    info->flags = TVHT_NOWHERE;
    return 0;
  }
  int rowTop = data->headerHeight + visible * rowHeight;
  int cx = x + data->scrollX;
  info->hItem = (HTREEITEM)(UINT_PTR)handle;
  if (!data->columnCount) {
    info->flags = HitTreeCell(data, item, cx, y, rowTop);
    return handle;
  }
  for (int pos = 0; pos < data->columnCount; ++pos) {
    int c = data->columnOrder[pos];
    if (c > 0 && c <= 16 && ((item->state >> TLIS_MERGESHIFT) & data->mergeMask & (1u << (c - 1)))) continue;
    int last = TreeListLastMerged(data, item->state, c);
    if (last >= data->columnCount) last = data->columnCount - 1;
    int left = data->columnX[c], right = data->columnX[data->columns[last].nextColumn];
    if (cx < left || cx >= right) continue;
    info->flags = c == 0 ? HitTreeCell(data, item, cx - left, y, rowTop) : HitCell(data, handle, c, cx, left, right);
    return handle;
  }
  info->flags = kTLHitRightOfColumns;
  return handle;
}

LRESULT TreeListOnHitTest(TreeListData* data, WPARAM, LPARAM info) {
  TreeListLocked lock(data);
  return TreeListHitTest(data, (TVHITTESTINFO*)info);
}
