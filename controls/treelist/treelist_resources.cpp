// Drawing resources shared by every tree-list of the process, the visual
// styles loaded at run time, the colour slots, display-info requests, the
// row font and the row height.
#include <cstring>

#include "controls/treelist/treelist_data.h"
#include "ui/fonts.h"

namespace {

volatile LONG g_resourceCount = -1;
HPEN g_dottedPen = nullptr;
HBRUSH g_checkerBrush = nullptr;
HCURSOR g_cursors[3] = {};
TreeListThemeApi g_theme = {};
bool g_themeLoaded = false;

template <typename T>
void Load(HMODULE module, T& fn, const char* name) {
  fn = module ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

void LoadThemeApi() {
  if (g_themeLoaded) return;
  g_themeLoaded = true;
  HMODULE module = LoadLibraryA("UxTheme.dll");
  Load(module, g_theme.SetWindowTheme, "SetWindowTheme");
  Load(module, g_theme.EndBufferedPaint, "EndBufferedPaint");
  Load(module, g_theme.BeginBufferedPaint, "BeginBufferedPaint");
  Load(module, g_theme.BufferedPaintInit, "BufferedPaintInit");
  Load(module, g_theme.BufferedPaintUnInit, "BufferedPaintUnInit");
  Load(module, g_theme.OpenThemeData, "OpenThemeData");
  Load(module, g_theme.CloseThemeData, "CloseThemeData");
  Load(module, g_theme.DrawThemeBackground, "DrawThemeBackground");
  Load(module, g_theme.GetThemePartSize, "GetThemePartSize");
  Load(module, g_theme.GetThemeBackgroundContentRect, "GetThemeBackgroundContentRect");
}

COLORREF Quarter(COLORREF c) { return (c >> 2) & 0x3F3F3F; }
COLORREF Eighth(COLORREF c) { return (c >> 3) & 0x1F1F1F; }

COLORREF Darken(COLORREF c) {
  BYTE r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  if (b >= 0x10) b -= 0x0F;
  if (g >= 0x10) g -= 0x0B;
  if (r >= 0x10) r -= 0x0B;
  return RGB(r, g, b);
}

}  // namespace

void TreeListAddRefResources() {
  if (InterlockedIncrement(&g_resourceCount) != 0) return;
  LOGBRUSH lb = {BS_SOLID, GetSysColor(COLOR_BTNSHADOW), 0};
  g_dottedPen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
  if (!g_dottedPen) g_dottedPen = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
  if (!g_cursors[0]) {
    g_cursors[0] = LoadCursor(nullptr, IDC_ARROW);
    g_cursors[1] = LoadCursor(nullptr, IDC_HAND);
    g_cursors[2] = LoadCursor(nullptr, IDC_NO);
  }
  static const WORD kPattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, kPattern);
  g_checkerBrush = bitmap ? CreatePatternBrush(bitmap) : nullptr;
  if (bitmap) DeleteObject(bitmap);
  LoadThemeApi();
  if (g_theme.BufferedPaintInit) g_theme.BufferedPaintInit();
}

void TreeListReleaseResources() {
  if (InterlockedDecrement(&g_resourceCount) >= 0) return;
  if (g_dottedPen) DeleteObject(g_dottedPen);
  if (g_checkerBrush) DeleteObject(g_checkerBrush);
  g_dottedPen = nullptr;
  g_checkerBrush = nullptr;
  if (g_theme.BufferedPaintUnInit) g_theme.BufferedPaintUnInit();
}

HPEN TreeListDottedPen() { return g_dottedPen; }
HBRUSH TreeListCheckerBrush() { return g_checkerBrush; }
HCURSOR TreeListCursor(int which) { return which >= 0 && which < 3 ? g_cursors[which] : nullptr; }
int TreeListResourceCount() { return g_resourceCount + 1; }

const TreeListThemeApi& TreeListTheme() {
  LoadThemeApi();
  return g_theme;
}

void TreeListOpenThemes(TreeListData* data) {
  const TreeListThemeApi& api = TreeListTheme();
  if (api.OpenThemeData) data->theme = api.OpenThemeData(data->window, L"TREEVIEW");
  data->themedDrawing = data->theme && !data->colorSet[kTLColorSign] && !data->colorSet[kTLColorButtonFrame] &&
                                !data->colorSet[kTLColorButtonInside]
                            ? 1
                            : 0;
}

void TreeListCloseThemes(TreeListData* data) {
  const TreeListThemeApi& api = TreeListTheme();
  if (api.CloseThemeData) {
    if (data->theme) api.CloseThemeData(data->theme);
    if (data->buttonTheme) api.CloseThemeData(data->buttonTheme);
  }
  data->theme = data->buttonTheme = nullptr;
  data->themedDrawing = 0;
}

void TreeListUpdateColors(TreeListData* data) {
  COLORREF* c = data->colors;
  const BYTE* set = data->colorSet;
  COLORREF window = GetSysColor(COLOR_WINDOW);
  COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  if (!set[0]) c[0] = window;
  if (!set[6]) c[6] = GetSysColor(COLOR_BTNSHADOW);
  if (!set[2]) c[2] = window;
  if (!set[4]) c[4] = GetSysColor(COLOR_WINDOWTEXT);
  if (!set[5]) c[5] = GetSysColor(COLOR_WINDOWTEXT);
  if (!set[3]) c[3] = GetSysColor(COLOR_BTNFACE);
  if (!set[7]) c[7] = GetSysColor(COLOR_WINDOWTEXT) ^ 0xFF0000;
  if (!set[10]) c[10] = GetSysColor(COLOR_INFOBK);
  if (!set[1]) c[1] = GetSysColor(COLOR_INFOBK);
  // Odd rows must differ from even rows.
  int dr = GetRValue(c[1]) - GetRValue(c[2]);
  int dg = GetGValue(c[1]) - GetGValue(c[2]);
  int db = GetBValue(c[1]) - GetBValue(c[2]);
  if (dr * dr + dg * dg + db * db < 64) c[1] = RGB(GetRValue(c[2]), GetGValue(c[2]), (BYTE)(GetBValue(c[2]) - 8));
  if (!set[11]) c[11] = window;
  if (!set[12]) c[12] = Darken(window);
  if (!set[13]) c[13] = Darken(c[1]);
  if (!set[14]) c[14] = Darken(window);
  if (!set[15]) c[15] = Quarter(GetSysColor(COLOR_SCROLLBAR)) + 3 * Quarter(window);
  if (!set[16]) c[16] = (GetSysColor(COLOR_MENU) >> 1) & 0x7F7F7F;
  if (!set[17]) c[17] = 3 * Quarter(GetSysColor(COLOR_BTNFACE)) + Quarter(highlight);
  if (!set[8]) c[8] = 7 * Eighth(c[1]) + Eighth(highlight);
  if (!set[9]) c[9] = 7 * Eighth(c[2]) + Eighth(highlight);
  data->themedDrawing = data->theme && !set[kTLColorSign] && !set[kTLColorButtonFrame] && !set[kTLColorButtonInside];
}

// Copies the parent's answer into the display buffer when it points
// elsewhere, so the text stays valid after the lock is taken again.
static const char* KeepText(char* buffer, const char* text, UINT* length) {
  if (!text || text == (const char*)(INT_PTR)-1) {
    buffer[0] = 0;
    *length = 0;
    return buffer;
  }
  size_t n = strnlen(text, kTLDispTextSize - 1);
  if (text != buffer) {
    memcpy(buffer, text, n);
    buffer[n] = 0;
  }
  *length = (UINT)n;
  return buffer;
}

int TreeListGetItemDispInfo(TreeListData* data, TreeListItem* item, TLHandle handle, UINT mask, int* image,
                            UINT* textLength, const char** text) {
  NMTVDISPINFOA nm = {};
  nm.hdr.code = TVN_GETDISPINFOA;
  nm.item.mask = mask | TVIF_STATE | TVIF_HANDLE | TVIF_PARAM;
  nm.item.hItem = (HTREEITEM)(UINT_PTR)handle;
  nm.item.state = item->state;
  nm.item.stateMask = (UINT)-1;
  nm.item.iImage = nm.item.iSelectedImage = nm.item.cChildren = -1;
  nm.item.lParam = item->lParam;
  char* buffer = nullptr;
  if (mask & TVIF_TEXT) {
    buffer = data->dispText[textLength && *textLength ? 1 : 0];
    buffer[0] = 0;
    buffer[kTLDispTextSize - 1] = 0;
    nm.item.pszText = buffer;
    nm.item.cchTextMax = kTLDispTextSize - 1;
  }
  TreeListNotifyUnlocked(data, &nm.hdr);
  item = TreeListLookup(data, handle);
  if (!item) return 0;
  bool selected = (item->state & TVIS_SELECTED) != 0;
  if (image) {
    if ((mask & TVIF_IMAGE) && !selected)
      *image = nm.item.iImage;
    else if (!(mask & TVIF_IMAGE) && (mask & TVIF_SELECTEDIMAGE) && selected)
      *image = nm.item.iSelectedImage;
  }
  if (mask & TVIF_CHILDREN) {
    item->itemFlags &= ~(kTLItemChildrenReal | kTLItemHasChildren);
    if (nm.item.cChildren == 0)
      item->itemFlags |= kTLItemChildrenReal;
    else if (nm.item.cChildren == 1)
      item->itemFlags |= kTLItemHasChildren;
    else
      item->itemFlags |= kTLItemChildrenReal | (item->firstChild ? kTLItemHasChildren : 0);
  }
  if (mask & TVIF_TEXT) {
    UINT n = 0;
    const char* kept = KeepText(buffer, nm.item.pszText, &n);
    if (text) *text = kept;
    if (textLength) *textLength = n;
    item->textWidth = 0;
  }
  return 1;
}

int TreeListGetCellDispInfo(TreeListData* data, TreeListItem* item, TreeListCell* cell, TLHandle handle, int column,
                            UINT mask, int* image, UINT* textLength, const char** text) {
  NMTVDISPINFOA nm = {};
  nm.hdr.code = TVN_GETDISPINFOA;
  nm.item.mask = mask | kTLRecordMask;
  nm.item.hItem = (HTREEITEM)(UINT_PTR)handle;
  nm.item.state = (item->state & 0xE2) | (cell ? cell->state : 0);
  nm.item.stateMask = (UINT)-1;
  nm.item.iImage = nm.item.iSelectedImage = -1;
  nm.item.cChildren = column;
  nm.item.lParam = item->lParam;
  char* buffer = data->dispText[0];
  if (mask & TVIF_TEXT) {
    buffer[0] = 0;
    buffer[kTLDispTextSize - 1] = 0;
    nm.item.pszText = buffer;
    nm.item.cchTextMax = kTLDispTextSize - 1;
  }
  TreeListNotifyUnlocked(data, &nm.hdr);
  if (!TreeListLookup(data, handle)) return 0;
  if ((mask & TVIF_IMAGE) && image) *image = nm.item.iImage;
  if (mask & TVIF_TEXT) {
    UINT n = 0;
    const char* kept = KeepText(buffer, nm.item.pszText, &n);
    if (text) *text = kept;
    if (textLength) *textLength = n;
  }
  return 1;
}

static void ResetTextWidths(TreeListData* data) {
  for (UINT h = 1; h <= data->capacity; ++h) {
    if (data->items[h]) data->items[h]->textWidth = 0;
    for (int c = 0; c < kTLMaxColumns - 1; ++c)
      if (data->cells[c] && data->cells[c][h]) data->cells[c][h]->textWidth = 0;
  }
}

static int EllipsisWidth(HDC dc, HFONT font) {
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size = {};
  int fit = 0;
  GetTextExtentExPointA(dc, "...", 3, 256, &fit, nullptr, &size);
  SelectObject(dc, old);
  return size.cx;
}

int TreeListMeasureFont(TreeListData* data) {
  static HFONT s_standard = GetStandardFont(0);
  static HFONT s_standardBold = GetStandardFont(kStandardFontBold);
  HFONT font = data->font ? data->font : s_standard;
  if (font == s_standard)
    data->boldFont = s_standardBold;
  else
    data->boldFont = data->ownBoldFont ? data->ownBoldFont : font;
  if (font == data->measuredFont) return 0;
  data->measuredFont = font;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  data->fontHeight = tm.tmHeight;
  data->fontAscent = tm.tmAscent + 1;
  // The flag's name is inverted: clear means fixed pitch.
  data->fixedPitch = (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) ? 0 : -1;
  if (font != s_standard) {
    LOGFONTA lf = {};
    GetTextFaceA(dc, LF_FACESIZE, lf.lfFaceName);
    if (data->ownBoldFont) DeleteObject(data->ownBoldFont);
    data->ownBoldFont = nullptr;
    lf.lfHeight = tm.tmHeight;
    lf.lfWidth = tm.tmAveCharWidth;
    lf.lfEscapement = 1;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = tm.tmItalic;
    lf.lfUnderline = tm.tmUnderlined;
    lf.lfStrikeOut = tm.tmStruckOut;
    lf.lfCharSet = tm.tmCharSet;
    lf.lfPitchAndFamily = tm.tmPitchAndFamily;
    lf.lfOutPrecision = OUT_DEVICE_PRECIS;
    HFONT bold = CreateFontIndirectA(&lf);
    if (bold) data->ownBoldFont = data->boldFont = bold;
  }
  SelectObject(dc, old);
  ResetTextWidths(data);
  data->ellipsisWidth = EllipsisWidth(dc, font);
  data->boldEllipsisWidth = EllipsisWidth(dc, data->boldFont);
  ReleaseDC(nullptr, dc);
  return 1;
}

static void SetRowHeight(TreeListData* data, int h) {
  data->rowHeight = h;
  int area = data->clientHeight - data->headerHeight;
  if (area < 0) area = 0;
  data->rowsInView = (area + h - 1) / h;
  data->rowsPerPage = area / h;
}

int TreeListUpdateItemHeight(TreeListData* data) {
  if (data->rowHeightFixed) return 0;
  int h = 8;
  if (data->checkImages && data->checkImageSize.cy > h) h = data->checkImageSize.cy;
  if (data->stateImages && data->stateImageSize.cy > h) h = data->stateImageSize.cy;
  if (data->cellImageSize.cy > h) h = data->cellImageSize.cy;
  if (data->imageSize.cy > h) h = data->imageSize.cy;
  h += (data->exStyle & (TLS_EX_TALLROWS | TLS_EX_ALTERNATE)) ? 2 : 1;
  if (data->fontHeight + 3 > h) h = data->fontHeight + 3;
  if (data->minRowHeight > h) h = data->minRowHeight;
  if (data->exStyle & TLS_EX_TALLROWS) h += 1;
  if ((data->style & TVS_NONEVENHEIGHT) && (h & 1)) h += 1;
  if (h == data->rowHeight) return 0;
  SetRowHeight(data, h);
  InvalidateRect(data->window, nullptr, FALSE);
  return 1;
}

LRESULT TreeListOnSetFont(TreeListData* data, HFONT font, BOOL) {
  TreeListLocked lock(data);
  data->font = font;
  if (TreeListMeasureFont(data)) {
    // A larger font would clip the rows: the automatic height follows it.
    TreeListUpdateItemHeight(data);
    TreeListUpdateVScrollBar(data, 1, 0);
    InvalidateRect(data->window, nullptr, FALSE);
  }
  return 0;
}

LRESULT TreeListOnSysColorChange(TreeListData* data) {
  TreeListLocked lock(data);
  TreeListCloseThemes(data);
  TreeListOpenThemes(data);
  if (data->ownsStateImages) TreeListCreateCheckImages(data, 0);
  if (data->ownsCheckImages) TreeListCreateCheckImages(data, 1);
  HWND header = data->header;
  TreeListUpdateColors(data);
  lock.Leave();
  if (header) SendMessageA(header, WM_SYSCOLORCHANGE, 0, 0);
  return 0;
}
