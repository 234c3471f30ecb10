// Images the control makes itself: the check boxes of the state list and of
// check-box columns (themed, or drawn into a list), and the drag image of an
// item or cell.
#include <cstdlib>
#include <cstring>
#include <vector>
#include <vsstyle.h>

#include "controls/treelist/treelist_data.h"

namespace {

bool g_buttonThemeHidden = false;
const COLORREF kDragKey = 0x5B4D7B;
const int kDragMaxWidth = 240;
const int kDragMaxHeight = 32;

// A copy of a screen-compatible bitmap made through a device-independent
// image, so that the list never shares the drawing's bitmap.
HBITMAP CopyThroughDib(HDC screen, HBITMAP source, int width, int height) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> bits((size_t)width * height);
  if (!GetDIBits(screen, source, 0, height, bits.data(), &bi, DIB_RGB_COLORS)) return nullptr;
  HBITMAP copy = CreateCompatibleBitmap(screen, width, height);
  if (copy && !SetDIBits(screen, copy, 0, height, bits.data(), &bi, DIB_RGB_COLORS)) {
    DeleteObject(copy);
    copy = nullptr;
  }
  return copy;
}

HIMAGELIST DrawnCheckList() {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 48, 16);
  HIMAGELIST list = nullptr;
  if (dc && bitmap) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 48, 16};
    FillRect(dc, &all, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    RECT off = {17, 2, 30, 15}, on = {33, 2, 46, 15};
    DrawFrameControl(dc, &off, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT);
    DrawFrameControl(dc, &on, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | DFCS_CHECKED);
    SelectObject(dc, old);
    HBITMAP copy = CopyThroughDib(screen, bitmap, 48, 16);
    if (copy) {
      list = ImageList_Create(16, 16, ILC_COLORDDB | ILC_MASK, 3, 14);
      if (list && ImageList_AddMasked(list, copy, GetSysColor(COLOR_HIGHLIGHT)) < 0) {
        ImageList_Destroy(list);
        list = nullptr;
      }
      DeleteObject(copy);
    }
  }
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return list;
}

}  // namespace

void TreeListHideButtonTheme(bool hidden) { g_buttonThemeHidden = hidden; }

void TreeListCreateCheckImages(TreeListData* data, int kind) {
  HIMAGELIST& list = kind ? data->checkImages : data->stateImages;
  BYTE& owns = kind ? data->ownsCheckImages : data->ownsStateImages;
  TLSize& size = kind ? data->checkImageSize : data->stateImageSize;
  const TreeListThemeApi& api = TreeListTheme();
  if (api.OpenThemeData && !g_buttonThemeHidden) {
    if (!data->buttonTheme) data->buttonTheme = api.OpenThemeData(data->window, L"BUTTON");
    if (data->buttonTheme) {
      SIZE part = {};
      if (api.GetThemePartSize)
        api.GetThemePartSize(data->buttonTheme, nullptr, BP_CHECKBOX, CBS_UNCHECKEDNORMAL, nullptr, TS_TRUE, &part);
      if (owns && list && list != TL_CHECKBOX_MARKER) ImageList_Destroy(list);
      list = TL_CHECKBOX_MARKER;
      owns = 1;
      size.cx = part.cx + 3 > 16 ? part.cx + 3 : 16;
      size.cy = part.cy > 16 ? part.cy : 16;
      return;
    }
  }
  if (list && list != TL_CHECKBOX_MARKER) return;
  HIMAGELIST drawn = DrawnCheckList();
  if (!drawn) return;
  list = drawn;
  owns = 1;
  size.cx = size.cy = 16;
}

bool TreeListOwnCheckImages(const TreeListData* data, int kind) {
  HIMAGELIST list = kind ? data->checkImages : data->stateImages;
  return list && (list == TL_CHECKBOX_MARKER || (kind ? data->ownsCheckImages : data->ownsStateImages));
}

void TreeListDrawThemedCheck(TreeListData* data, HDC dc, const RECT& box, int index, bool hot, bool pressed) {
  const TreeListThemeApi& api = TreeListTheme();
  if (!data->buttonTheme || !api.DrawThemeBackground || (index != 1 && index != 2)) return;
  int state = index == 2 ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL;
  if (pressed)
    state += 2;
  else if (hot)
    state += 1;
  SIZE part = {13, 13};
  if (api.GetThemePartSize) api.GetThemePartSize(data->buttonTheme, dc, BP_CHECKBOX, state, nullptr, TS_TRUE, &part);
  int spare = (box.bottom - box.top) - part.cy;
  RECT rc;
  rc.left = box.left + 1;
  rc.top = box.top + (spare + 1) / 2;
  rc.right = rc.left + part.cx;
  rc.bottom = rc.top + part.cy;
  api.DrawThemeBackground(data->buttonTheme, dc, BP_CHECKBOX, state, &rc, nullptr);
}

HIMAGELIST TreeListCreateDragImage(TreeListData* data, UINT_PTR handle, int column) {
  TLHandle h = (TLHandle)handle;
  TreeListItem* item = TreeListLookup(data, h);
  if (!item) return nullptr;
  if (column > 0 && column >= data->columnCount) return nullptr;
  if (column < 0) return nullptr;
  const char* text = "";
  UINT length = 0;
  int image = -2;
  int width = 0;
  HIMAGELIST list = nullptr;
  TLSize imageSize = {0, 0};
  bool bold = false;
  if (column == 0) {
    text = item->text ? item->text : "";
    length = item->textLength;
    image = item->image;
    UINT mask = ((item->callbackFlags & kTLCallbackText) ? TVIF_TEXT : 0) |
                ((item->callbackFlags & kTLCallbackImage) ? TVIF_IMAGE : 0);
    if (mask) {
      if (!TreeListGetItemDispInfo(data, item, h, mask, &image, &length, &text)) return nullptr;
      item = TreeListLookup(data, h);
    }
    bold = (item->state & TVIS_BOLD) != 0;
    list = data->normalImages;
    imageSize = data->imageSize;
    width = (mask & TVIF_TEXT) || !item->textWidth ? TreeListMeasureText(data, text, length, bold) : item->textWidth;
  } else {
    TreeListCell* cell = TreeListGetCell(data, h, column, false);
    if (!cell) {
      text = "????";
      length = 4;
      width = 4 * data->fontHeight;
    } else {
      text = cell->text ? cell->text : "";
      length = cell->textLength;
      image = cell->image;
      UINT mask = ((cell->callbackFlags & kTLCallbackText) ? TVIF_TEXT : 0) |
                  ((cell->callbackFlags & kTLCallbackImage) ? TVIF_IMAGE : 0);
      if (mask) {
        if (!TreeListGetCellDispInfo(data, item, cell, h, column, mask, &image, &length, &text)) return nullptr;
        item = TreeListLookup(data, h);
        cell = TreeListGetCell(data, h, column, false);
        if (!cell) return nullptr;
      }
      bold = ((item->state | cell->state) & TVIS_BOLD) != 0;
      list = data->cellImages;
      imageSize = data->cellImageSize;
      width = (mask & TVIF_TEXT) || !cell->textWidth ? TreeListMeasureText(data, text, length, bold) : cell->textWidth;
    }
  }
  // The text is drawn after the lock is back in our hands only: keep a copy.
  char* copy = (char*)malloc(length + 1);
  if (!copy) return nullptr;
  memcpy(copy, text, length);
  copy[length] = 0;
  int height = data->fontHeight;
  int textStart = 0;
  bool drawImage = list && list != TL_CHECKBOX_MARKER && image >= 0;
  if (drawImage) {
    if (imageSize.cy > height) height = imageSize.cy;
    textStart = imageSize.cx + 2;
    width += textStart;
  }
  if (width > kDragMaxWidth) width = kDragMaxWidth;
  if (height > kDragMaxHeight) height = kDragMaxHeight;
  if (width < 1) width = 1;
  if (height < 1) height = 1;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HIMAGELIST result = nullptr;
  if (dc && bitmap) {
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HFONT font = bold && data->boldFont ? data->boldFont : data->measuredFont;
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    HBRUSH key = CreateSolidBrush(kDragKey);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, key);
    DeleteObject(key);
    SetTextColor(dc, data->colors[kTLColorText]);
    SetBkColor(dc, kDragKey);
    RECT textRect = {textStart, 0, width, height};
    ExtTextOutA(dc, textStart, (height - data->fontHeight) / 2, ETO_OPAQUE | ETO_CLIPPED, &textRect, copy, (UINT)length,
                nullptr);
    if (drawImage) ImageList_Draw(list, image, dc, 0, 0, ILD_TRANSPARENT);
    if (oldFont) SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    HBITMAP image32 = CopyThroughDib(screen, bitmap, width, height);
    if (image32) {
      result = ImageList_Create(width, height, ILC_COLORDDB | ILC_MASK, 1, 0);
      if (result && ImageList_AddMasked(result, image32, kDragKey) < 0) {
        ImageList_Destroy(result);
        result = nullptr;
      }
      DeleteObject(image32);
    }
  }
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  free(copy);
  return result;
}
