// Message contracts of the control that set plain state: image lists, the
// extended style, colour slots, indent and item height.
#include "controls/treelist/treelist_data.h"

static TLSize ListImageSize(HIMAGELIST list) {
  TLSize size = {0, 0};
  if (list && list != TL_CHECKBOX_MARKER) ImageList_GetIconSize(list, &size.cx, &size.cy);
  return size;
}

static void DestroyIfOwned(TreeListData* data, HIMAGELIST list, BYTE owned) {
  if (owned && list && list != TL_CHECKBOX_MARKER && !(data->exStyle & TLS_EX_SHAREDIMAGELISTS))
    ImageList_Destroy(list);
}

static bool AnyCheckColumn(const TreeListData* data) {
  for (int c = 0; c < data->columnCount; ++c)
    if (data->columns[c].editKind >= 3) return true;
  return false;
}

LRESULT TreeListGetImageList(TreeListData* data, WPARAM kind) {
  switch (kind) {
    case TLSIL_NORMAL:
    case TLSIL_STATE:  // as specified: 2 reads the normal list too
      return (LRESULT)data->normalImages;
    case TLSIL_CHECK:
      return (LRESULT)data->checkImages;
    case TLSIL_CELL:
      return (LRESULT)data->cellImages;
    case TLSIL_HEADER:
      return (LRESULT)data->headerImages;
  }
  return 0;
}

LRESULT TreeListSetImageList(TreeListData* data, WPARAM wParam, HIMAGELIST list) {
  int kind = (int)(wParam & ~TLSIL_KEEP);
  BYTE owned = (wParam & TLSIL_KEEP) ? 0 : 1;
  if (kind > TLSIL_HEADER || kind < 0 || kind == 1) return 0;
  TreeListLocked lock(data);
  HIMAGELIST old = nullptr;
  switch (kind) {
    case TLSIL_NORMAL: {
      old = data->normalImages;
      if (old == list) break;
      bool cellFollows = !data->ownsCellImages || data->cellImages == list || data->cellImages == old;
      // The header list follows the normal list unless set by itself: it
      // must not keep a list destroyed here.
      bool headerFollows = !data->headerImages || data->headerImages == old;
      if (data->cellImages == old && data->ownsCellImages) data->ownsCellImages = 0;
      DestroyIfOwned(data, old, data->ownsNormalImages);
      data->normalImages = list;
      data->imageSize = ListImageSize(list);
      data->ownsNormalImages = list ? owned : 0;
      if (headerFollows) {
        data->headerImages = list;
        if (data->header) SendMessageA(data->header, HDM_SETIMAGELIST, 0, (LPARAM)list);
      }
      if (cellFollows) {
        data->cellImages = list;
        data->ownsCellImages = 0;
        data->cellImageSize = data->imageSize;
      }
      break;
    }
    case TLSIL_STATE:
      old = data->stateImages;
      if (old == list) break;
      DestroyIfOwned(data, old, data->ownsStateImages);
      data->stateImages = list;
      if (!list) {
        data->stateImageSize = {0, 0};
        data->ownsStateImages = 0;
        if (data->style & TVS_CHECKBOXES) TreeListCreateCheckImages(data, 0);
      } else if (list == TL_CHECKBOX_MARKER) {
        data->stateImageSize = {16, 16};
        data->ownsStateImages = owned;
        if (!data->buttonTheme) TreeListCreateCheckImages(data, 0);
      } else {
        data->stateImageSize = ListImageSize(list);
        data->ownsStateImages = 0;
      }
      break;
    case TLSIL_CHECK:
      old = data->checkImages;
      if (old == list) break;
      DestroyIfOwned(data, old, data->ownsCheckImages);
      data->checkImages = list;
      if (!list) {
        data->checkImageSize = {0, 0};
        data->ownsCheckImages = 0;
        if (AnyCheckColumn(data)) TreeListCreateCheckImages(data, 1);
      } else if (list == TL_CHECKBOX_MARKER) {
        data->checkImageSize = {16, 16};
        data->ownsCheckImages = 0;
        if (!data->buttonTheme) TreeListCreateCheckImages(data, 1);
      } else {
        data->checkImageSize = ListImageSize(list);
        data->ownsCheckImages = owned;
      }
      break;
    case TLSIL_CELL:
      old = data->cellImages;
      if (old == list) break;
      DestroyIfOwned(data, old, data->ownsCellImages);
      if (!list || list == data->normalImages) {
        data->cellImages = data->normalImages;
        data->ownsCellImages = 0;
        data->cellImageSize = data->imageSize;
      } else {
        data->cellImages = list;
        data->cellImageSize = ListImageSize(list);
        data->ownsCellImages = owned;
      }
      break;
    case TLSIL_HEADER:
      old = data->headerImages;
      if (old == list) break;
      data->headerImages = list;
      if (data->header) SendMessageA(data->header, HDM_SETIMAGELIST, 0, (LPARAM)(list ? list : data->normalImages));
      break;
  }
  if (old != list) {
    if (kind != TLSIL_HEADER && !data->rowHeightFixed) {
      TreeListUpdateItemHeight(data);
      TreeListUpdateVScrollBar(data, 1, 0);
    } else {
      TreeListInvalidateRows(data);
    }
  }
  return (LRESULT)old;
}

LRESULT TreeListSetExtendedStyle(TreeListData* data, DWORD mask, DWORD bits) {
  if (mask == 0) mask = 0xFFFFFFFF;
  DWORD old = data->exStyle;
  DWORD style = (old & ~mask) | (bits & mask);
  if (style == old) return style;
  TreeListLocked lock(data);
  DWORD changed = style ^ data->exStyle;
  data->exStyle = style;
  if (changed & TLS_EX_NOHSCROLL) {
    data->hBarCache[0] = data->hBarCache[1] = -1;
    TreeListUpdateHScrollBar(data, 1);
  }
  if ((changed & TLS_EX_DISABLEDCOLOR) && !data->enabled) TreeListInvalidateRows(data);
  if (changed & (TLS_EX_VSCROLLALWAYS | TLS_EX_TALLROWS)) {
    if (changed & TLS_EX_VSCROLLALWAYS) {
      data->vBarCache[0] = data->vBarCache[1] = -1;
      HWND hwnd = data->window;
      if (style & TLS_EX_VSCROLLALWAYS) {
        SCROLLINFO si = {sizeof(si), SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 100, 10, 0, 0};
        TreeListUnlocked unlocked(data);
        SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
      } else if ((int)data->rowCount <= data->rowsPerPage) {
        TreeListUnlocked unlocked(data);
        ShowScrollBar(hwnd, SB_VERT, FALSE);
      }
    }
    TreeListUpdateItemHeight(data);
    TreeListUpdateVScrollBar(data, 1, 1);
  }
  if (changed & TLS_EX_REPAINTMASK) TreeListInvalidateRows(data);
  if ((changed & TLS_EX_CELLCARET) && !(style & TLS_EX_CELLCARET) && data->caretItem)
    TreeListSelectItem(data, data->caretItem, 0, 0);
  if ((changed & TLS_EX_NOHEADER) && data->header) {
    data->headerHeight = (style & TLS_EX_NOHEADER) ? 0 : GetSystemMetrics(SM_CYHSCROLL);
    MoveWindow(data->header, -data->scrollX, 0, data->clientWidth + data->scrollX, data->headerHeight, TRUE);
    data->rowsAreaHeight = data->clientHeight - data->headerHeight;
    if (data->rowsAreaHeight < 0) data->rowsAreaHeight = 0;
    InvalidateRect(data->window, nullptr, FALSE);
  }
  if (changed & TLS_EX_HIDEITEMS) TreeListRebuildRows(data, 0);
  return style;
}

LRESULT TreeListGetColorSlot(TreeListData* data, UINT slot) {
  if (slot >= (UINT)kTLColorSlots) return -1;
  return data->colors[slot];
}

LRESULT TreeListSetColorSlot(TreeListData* data, UINT slot, COLORREF color) {
  if (slot >= (UINT)kTLColorSlots) return -1;
  TreeListLocked lock(data);
  COLORREF old = data->colors[slot];
  if (color == CLR_NONE) {
    data->colorSet[slot] = 0;
  } else {
    data->colorSet[slot] = 1;
    data->colors[slot] = color;
  }
  TreeListUpdateColors(data);
  if (data->colors[slot] != old || slot == kTLColorSign || slot == kTLColorButtonFrame || slot == kTLColorButtonInside)
    TreeListInvalidateRows(data);
  return old;
}

LRESULT TreeListSetIndent(TreeListData* data, int indent) {
  if (indent < 5) indent = 5;
  if (indent > 64) indent = 64;
  TreeListLocked lock(data);
  int old = data->indent;
  if (indent != old) {
    data->indent = indent;
    TreeListInvalidateRows(data);
  }
  return old;
}

LRESULT TreeListSetItemHeight(TreeListData* data, int height) {
  TreeListLocked lock(data);
  int old = data->rowHeight;
  if (height == -1) {
    data->rowHeightFixed = 0;
    data->rowHeight = 0;  // forces the automatic height to be stored again
    TreeListUpdateItemHeight(data);
  } else {
    if (height < 1) height = 1;
    if (height > 256) height = 256;
    if ((height & 1) && !(data->exStyle & TLS_EX_ODDHEIGHT)) height -= 1;
    if (height < 1) height = 1;
    data->rowHeightFixed = 1;
    if (height != data->rowHeight) {
      data->rowHeight = height;
      int area = data->clientHeight - data->headerHeight;
      if (area < 0) area = 0;
      data->rowsInView = (area + height - 1) / height;
      data->rowsPerPage = area / height;
      InvalidateRect(data->window, nullptr, FALSE);
    }
  }
  TreeListUpdateVScrollBar(data, 1, 0);
  return old;
}
