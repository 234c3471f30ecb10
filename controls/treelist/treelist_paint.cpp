// Drawing the rows: tree column with lines, buttons, images and label, the
// cells of the other columns, grid lines, the fixed-row line, drop marks.
#include <cstring>
#include <vssym32.h>

#include "controls/treelist/treelist_data.h"

namespace {

const char kEllipsis[] = "...";
const UINT kTLStateFocused = 0x1;  // TVIS_FOCUSED

void Fill(HDC dc, const RECT& rc, COLORREF color) {
  if (rc.right <= rc.left || rc.bottom <= rc.top) return;
  SetBkColor(dc, color);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

COLORREF DarkenEighth(COLORREF c) {
  return RGB(GetRValue(c) - GetRValue(c) / 8, GetGValue(c) - GetGValue(c) / 8, GetBValue(c) - GetBValue(c) / 8);
}

// Row colour by parity and shading.
COLORREF RowColor(const TreeListData* data, int row, bool shaded) {
  bool alternate = (data->exStyle & TLS_EX_ALTERNATE) != 0;
  bool odd = (row & 1) != 0;
  bool disabledShade = !data->enabled && (data->exStyle & TLS_EX_DISABLEDCOLOR);
  if (shaded || disabledShade) {
    if (alternate) return data->colors[odd ? kTLColorShadedOdd : kTLColorShadedEven];
    return data->colors[kTLColorShaded];
  }
  if (alternate) return data->colors[odd ? kTLColorOdd : kTLColorEven];
  return data->colors[kTLColorBack];
}

void DottedLine(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

struct Label {
  const char* text;
  UINT length;
  int* cachedWidth;
  UINT state;
  BYTE flags;  // item or cell flags
  COLORREF ownText;
  bool bold;
};

struct RowContext {
  TreeListData* data;
  HDC dc;
  int top, height, center, row, index;
  TLHandle handle;
};

int TextWidth(TreeListData* data, HDC dc, const Label& label) {
  if (*label.cachedWidth || !label.length) return *label.cachedWidth;
  RECT rc = {0, 0, 0, 0};
  DrawTextExA(dc, (char*)label.text, (int)label.length, &rc, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER,
              nullptr);
  *label.cachedWidth = rc.right;
  (void)data;
  return rc.right;
}

// Characters of text that fit in width before an ellipsis.
UINT FitChars(HDC dc, const char* text, UINT length, int width) {
  if (width <= 0) return 0;
  int fit = 0;
  SIZE size;
  GetTextExtentExPointA(dc, text, (int)(length > 0x7FFF ? 0x7FFF : length), width, &fit, nullptr, &size);
  return (UINT)fit;
}

// Draws a label or cell text into [left, right) of the row.
// align: 0 left, 1 centre, 2 right. Returns the drawn end x.
int DrawLabel(RowContext& rc, const Label& label, int left, int right, int align, bool caretCell, bool decorate,
              COLORREF back, int column) {
  TreeListData* data = rc.data;
  HDC dc = rc.dc;
  // The row font is selected for the whole paint; only bold switches.
  HGDIOBJ oldFont = label.bold ? SelectObject(dc, data->boldFont) : nullptr;
  int width = TextWidth(data, dc, label);
  int y = rc.top + (rc.height - data->fontHeight) / 2;
  RECT area = {left, rc.top, right, rc.top + rc.height};
  bool selected = (label.state & TVIS_SELECTED) != 0;
  bool hot = (label.flags & kTLItemHot) != 0;
  bool marked = decorate && (selected || (label.state & (kTLStateFocused | TVIS_DROPHILITED)) || hot ||
                             (label.flags & (kTLItemOwnText | kTLItemFocus)));
  int result = left;
  int hook = 0;
  if (data->columns[column].flag31 && data->paintHook && right > left) {
    TreeListPaintInfo info = {};
    info.window = data->window;
    info.item = rc.handle;
    info.rect = &area;
    TreeListItem* item = TreeListLookup(data, rc.handle);
    info.lParam = item ? item->lParam : 0;
    info.text = label.text;
    info.textLength = label.length;
    info.stateFlags = (label.state & 0xFFFF) | ((UINT)label.flags << 16);
    info.row = rc.row;
    info.column = (BYTE)column;
    info.textOffset = (BYTE)(y - rc.top);
    info.textColor = label.ownText;
    hook = data->paintHook(dc, data->paintHookContext, &info);
    if (hook == 1) {
      if (oldFont) SelectObject(dc, oldFont);
      return left + width + 5;
    }
  }
  int ellipsis = label.bold ? data->boldEllipsisWidth : data->ellipsisWidth;
  const char* text = label.text;
  UINT shown = label.length;
  bool cut = width > right - left - 4;
  if (cut) shown = FitChars(dc, text, label.length, right - left - 4 - ellipsis);
  if (!marked) {
    if (hook < 2) Fill(dc, area, back);
    if (!label.length) {
      if (oldFont) SelectObject(dc, oldFont);
      return left;
    }
    SetTextColor(dc, label.ownText);
    int x = left + 2;
    UINT alignFlag = TA_LEFT;
    if (!cut && align == 1) {
      x = (left + right) / 2;
      alignFlag = TA_CENTER;
    } else if (!cut && align == 2) {
      x = right - 2;
      alignFlag = TA_RIGHT;
    }
    SetTextAlign(dc, alignFlag);
    if (cut) {
      if (right - left - 4 - ellipsis >= 3) ExtTextOutA(dc, x, y, ETO_CLIPPED, &area, text, shown, nullptr);
      SIZE size = {};
      GetTextExtentPoint32A(dc, text, (int)shown, &size);
      ExtTextOutW(dc, x + (right - left - 4 - ellipsis >= 3 ? size.cx : 0), y, ETO_CLIPPED, &area, L"...", 3, nullptr);
    } else {
      ExtTextOutA(dc, x, y, ETO_CLIPPED, &area, text, label.length, nullptr);
    }
    SetTextAlign(dc, TA_LEFT);
    result = left + 2 + (cut ? right - left : width) + 5;
    if (oldFont) SelectObject(dc, oldFont);
    return result;
  }
  if (hook < 2) Fill(dc, area, back);
  int textWidth = cut ? (int)(right - left - 4) : width;
  RECT box = {left + 2 - 2, y - 1, left + 2 + textWidth + 2 + 2, y + data->fontHeight + 1};
  if (box.right > right) box.right = right;
  COLORREF textColor = (label.flags & kTLItemOwnText) ? label.ownText : data->colors[kTLColorText];
  bool focused = data->hasFocus != 0;
  bool frame = false;
  if (selected && focused) {
    Fill(dc, box, GetSysColor(COLOR_HIGHLIGHT));
    frame = caretCell;
    textColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
  } else if (label.state & TVIS_DROPHILITED) {
    Fill(dc, box, GetSysColor(COLOR_HIGHLIGHT));
    textColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
  } else if (selected) {
    if (data->exStyle & TLS_EX_FOCUSROW)
      frame = true;
    else
      Fill(dc, box,
           (data->exStyle & TLS_EX_ALTERNATE) ? data->colors[kTLColorUnfocusedFrame] : GetSysColor(COLOR_BTNFACE));
  } else if (hot) {
    textColor = data->colors[kTLColorHotText];
  }
  if (label.flags & kTLItemFocus) frame = true;
  if (frame) {
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
    SelectObject(dc, oldBrush);
  }
  SetTextColor(dc, textColor);
  RECT textRect = {left + 4 - (data->fixedPitch ? 1 : 0), y, box.right - 2, y + data->fontHeight + 2};
  if (!selected) textRect.left -= 1;
  if (cut) {
    char buffer[256];
    UINT n = shown < 252 ? shown : 252;
    memcpy(buffer, text, n);
    memcpy(buffer + n, kEllipsis, 4);
    DrawTextExA(dc, buffer, (int)n + 3, &textRect, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER, nullptr);
  } else {
    DrawTextExA(dc, (char*)text, (int)label.length, &textRect, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER, nullptr);
  }
  if (hot || (label.state & kTLStateFocused)) {
    RECT under = {textRect.left, y + data->fontAscent, textRect.left + textWidth, y + data->fontAscent + 1};
    Fill(dc, under, textColor);
  }
  if (oldFont) SelectObject(dc, oldFont);
  return left + 4 + textWidth + 5;
}

void DrawButton(RowContext& rc, int cx, int cy, bool open) {
  TreeListData* data = rc.data;
  int half = data->iconEighth;
  RECT box = {cx - half, cy - half, cx + half + 1, cy + half + 1};
  const TreeListThemeApi& api = TreeListTheme();
  if (data->themedDrawing && data->theme && api.DrawThemeBackground) {
    api.DrawThemeBackground(data->theme, rc.dc, TVP_GLYPH, open ? GLPS_OPENED : GLPS_CLOSED, &box, nullptr);
    return;
  }
  Fill(rc.dc, box, data->colors[kTLColorButtonFrame]);
  RECT inside = {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
  Fill(rc.dc, inside, data->colors[kTLColorButtonInside]);
  RECT bar = {box.left, cy, box.right, cy + 1};
  Fill(rc.dc, bar, data->colors[kTLColorSign]);
  if (!open) {
    RECT vbar = {cx, box.top, cx + 1, box.bottom};
    Fill(rc.dc, vbar, data->colors[kTLColorSign]);
  }
}

bool LaterSibling(TreeListData* data, const TreeListItem* item) { return item->nextSibling != 0; }

int DrawImage(HDC dc, HIMAGELIST list, int index, int x, int top, int height, int imageHeight, UINT style) {
  ImageList_Draw(list, index, dc, x, top + (height - imageHeight) / 2, style);
  return 0;
}

}  // namespace

HRGN TreeListMergedClipRgn(TreeListData* data, UINT mergeBits, int first, int* right, int* joined) {
  int last = TreeListLastMerged(data, mergeBits << TLIS_MERGESHIFT, first);
  if (last >= data->columnCount) last = data->columnCount - 1;
  int end = data->columnX[data->columns[last].nextColumn];
  if (right) *right = end;
  if (joined) *joined = last - first + 1;
  return CreateRectRgn(data->columnX[first] - data->scrollX, 0, end - data->scrollX, data->clientHeight);
}

// Column 0 of a row; returns the label's end.
// The drop mark on a row: the strip inverted column by column, each over
// its width + 1, so that the column borders show through it.
static void DrawDropStrip(TreeListData* data, HDC dc, int y, int clientRight) {
  HGDIOBJ oldBrush = SelectObject(dc, TreeListCheckerBrush());
  int height = data->dropMarkHeight;
  if (!data->columnCount) {
    PatBlt(dc, 0, y, clientRight, height, PATINVERT);
  } else {
    for (int p = 0; p < data->columnCount; ++p) {
      int c = data->columnOrder[p];
      if (c >= data->columnCount) continue;
      int width = data->columnX[data->columns[c].nextColumn] - data->columnX[c];
      if (width <= 0) continue;
      int left = data->columnX[c] - data->scrollX;
      int right = left + width + 1;
      if (c == 0) left = 0;
      if (left >= clientRight || right <= 0) continue;
      PatBlt(dc, left, y, right - left, height, PATINVERT);
    }
  }
  SelectObject(dc, oldBrush);
}

static int PaintTreeCell(RowContext& rc, TreeListItem* item, int right, COLORREF back) {
  TreeListData* data = rc.data;
  HDC dc = rc.dc;
  int x = -data->scrollX + (data->columnCount ? data->columnX[0] : 0);
  int level = item->level + (data->linesAtRoot ? 1 : 0);
  int top = rc.top, bottom = rc.top + rc.height;
  bool lines = (data->style & TVS_HASLINES) != 0;
  bool buttons = (data->style & TVS_HASBUTTONS) != 0;
  RECT indentArea = {x, top, x + level * data->indent, bottom};
  if (indentArea.right > right) indentArea.right = right;
  bool gridIndent = (data->exStyle & (TLS_EX_GRIDINDENT | TLS_EX_TALLROWS)) == (TLS_EX_GRIDINDENT | TLS_EX_TALLROWS);
  Fill(dc, indentArea, gridIndent ? data->colors[kTLColorGrid] : back);
  if (level > 0 && (lines || buttons)) {
    HGDIOBJ oldPen = SelectObject(dc, TreeListDottedPen());
    int firstOdd = top | 1;
    // Ancestor cells: a line when that ancestor has a later sibling.
    int cells = level - 1;
    TLHandle up = item->parent;
    for (int i = cells - 1; i >= 0 && lines; --i) {
      TreeListItem* ancestor = TreeListLookup(data, up);
      if (!ancestor) break;
      if (LaterSibling(data, ancestor)) {
        int lx = x + i * data->indent + data->buttonBox;
        DottedLine(dc, lx, firstOdd, lx, bottom);
      }
      up = ancestor->parent;
    }
    int cx = x + cells * data->indent + data->buttonBox;
    int cy = top + rc.height / 2;
    if (lines) {
      bool later = LaterSibling(data, item);
      bool hasUp = item->parent || item->prevSibling;
      DottedLine(dc, cx, hasUp ? firstOdd : cy, cx, later ? bottom : cy + 1);
      DottedLine(dc, cx + ((cy & 1) ? 2 : 1), cy, x + level * data->indent, cy);
    }
    SelectObject(dc, oldPen);
    bool hasButton = (item->itemFlags & kTLItemHasChildren) || (item->firstChild && (item->itemFlags & 1));
    if (buttons && hasButton) {
      bool open = (item->state & (TVIS_EXPANDED | TVIS_EXPANDPARTIAL)) == TVIS_EXPANDED;
      DrawButton(rc, cx, cy, open);
    }
  }
  x += level * data->indent;
  if ((data->exStyle & TLS_EX_TALLROWS) || (!item->parent && !data->linesAtRoot)) {
    RECT extra = {x, top, x + 1, bottom};
    Fill(dc, extra, back);
    x += 1;
  }
  if (data->stateImages) {
    RECT area = {x, top, x + data->stateImageSize.cx, bottom};
    Fill(dc, area, back);
    int index = (item->state >> 12) & 0xF;
    bool own = TreeListOwnCheckImages(data, 0);
    // Check state 0/1 under extended style 0x8000 shows images 1/2.
    if (own && (data->exStyle & TLS_EX_CHECKFROMZERO)) ++index;
    if (own && index != 1 && index != 2) {
      // No check box: the tree goes on through its place.
      if (lines && !(data->exStyle & TLS_EX_TALLROWS)) {
        int cy = top + rc.height / 2;
        DottedLine(dc, x, cy, area.right, cy);
        if ((item->state & TVIS_EXPANDED) && item->firstChild)
          DottedLine(dc, x + data->buttonBox, cy, x + data->buttonBox, bottom);
      }
    } else if (data->stateImages == TL_CHECKBOX_MARKER) {
      bool hot = data->pressState[1] == rc.handle && data->pressState[2] == 0 && (data->pressState[0] & 1);
      TreeListDrawThemedCheck(data, dc, area, index, hot, hot && (data->pressState[0] & 2));
    } else if (index) {
      DrawImage(dc, data->stateImages, index, x, top, rc.height, data->stateImageSize.cy, ILD_TRANSPARENT);
    }
    x += data->stateImageSize.cx;
  }
  if (data->normalImages) {
    int image = (item->state & TVIS_SELECTED) ? item->selectedImage : item->image;
    if (image == -2) {
      item->itemFlags &= ~kTLItemHasImage;
    } else if (image >= 0 || (UINT)image >= 0x20000000u) {
      UINT index = (UINT)image;
      HIMAGELIST list = data->normalImages;
      TLSize size = data->imageSize;
      bool cellList = index >= 0x40000000u;
      if (cellList) {
        index -= 0x40000000u;
        list = data->cellImages;
        size = data->cellImageSize;
      }
      if (index & 0x20000000u) {
        index &= ~0x20000000u;
      } else if ((data->exStyle & TLS_EX_EXPANDEDIMAGE) && (item->state & TVIS_EXPANDED) && item->firstChild) {
        index += cellList ? 1 : data->paintSpacing;
      }
      RECT area = {x, top, x + size.cx, bottom};
      Fill(dc, area, back);
      if (list)
        DrawImage(dc, list, (int)index, x, top, rc.height, size.cy,
                  ILD_TRANSPARENT | (item->state & 0xF00) | ((item->state & TVIS_CUT) ? ILD_BLEND50 : 0));
      item->itemFlags |= kTLItemHasImage;
      x += size.cx;
    }
  }
  return x;
}

void TreeListPaint(TreeListData* data, HDC dc, const RECT* update) {
  RECT client = {0, 0, data->clientWidth, data->clientHeight};
  if (!client.right || !client.bottom) GetClientRect(data->window, &client);
  RECT rcUpdate = update ? *update : client;
  HGDIOBJ oldFont = SelectObject(dc, data->measuredFont);
  HGDIOBJ oldPen = SelectObject(dc, TreeListDottedPen());
  int oldMode = SetBkMode(dc, TRANSPARENT);
  UINT oldAlign = SetTextAlign(dc, TA_LEFT);
  int rowHeight = data->rowHeight > 0 ? data->rowHeight : 1;
  bool grid = (data->exStyle & TLS_EX_TALLROWS) != 0;
  int y = data->headerHeight;
  int widest = 0;
  int fixed = data->fixedRows > 0 ? data->fixedRows : 0;
  for (int pass = 0; y < rcUpdate.bottom && y < client.bottom; ++pass) {
    int r = pass < fixed ? pass : pass + data->topRow;
    if (r >= (int)data->rowCount) break;
    int rowTop = y;
    y += rowHeight;
    if (y <= rcUpdate.top) continue;
    TLHandle handle = data->rows[r];
    TreeListItem* item = TreeListLookup(data, handle);
    if (!item) continue;
    // Callback texts and images come from the parent, lock released.
    UINT askMask = 0;
    if (item->callbackFlags & kTLCallbackText) askMask |= TVIF_TEXT;
    if (item->callbackFlags & (kTLCallbackImage | kTLCallbackSelImage)) askMask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    if (item->callbackFlags & kTLCallbackChildren) askMask |= TVIF_CHILDREN;
    const char* text = item->text ? item->text : "";
    UINT length = item->textLength;
    int image = item->image;
    if (askMask) {
      UINT n = 0;
      if (!TreeListGetItemDispInfo(data, item, handle, askMask, &image, &n, &text)) continue;
      item = TreeListLookup(data, handle);
      if (!item || r >= (int)data->rowCount) continue;
      if (askMask & TVIF_TEXT) length = n;
    }
    RowContext rc = {data, dc, rowTop, grid ? rowHeight - 1 : rowHeight, 0, r, pass, handle};
    bool selectedRow = (item->state & TVIS_SELECTED) && (data->exStyle & TLS_EX_FOCUSROW);
    bool alternate = (data->exStyle & TLS_EX_ALTERNATE) != 0;
    COLORREF rowBack = RowColor(data, r, data->columnCount && data->columns[0].shaded);
    COLORREF back = rowBack;
    if (selectedRow)
      back = data->colors[alternate && !(r & 1) ? kTLColorSelEven : kTLColorSelOdd];
    else if (item->itemFlags & kTLItemOwnBack)
      back = data->columnCount && data->columns[0].shaded ? DarkenEighth(item->backColor) : item->backColor;
    int col0Right = client.right;
    if (data->columnCount) {
      int last = TreeListLastMerged(data, item->state, 0);
      if (last >= data->columnCount) last = data->columnCount - 1;
      col0Right = data->columnX[data->columns[last].nextColumn] - data->scrollX;
    }
    int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, rowTop, col0Right, rowTop + rowHeight);
    int labelLeft = PaintTreeCell(rc, item, col0Right, back);
    Label label = {};
    label.text = text;
    label.length = length;
    label.cachedWidth = &item->textWidth;
    bool caretOther = handle == data->caretItem && data->caretColumn != 0 &&
                      !((data->exStyle & TLS_EX_CELLCARET) && data->selectedCount >= 2);
    label.state = caretOther ? item->state & ~TVIS_SELECTED : item->state;
    label.flags = item->itemFlags;
    label.ownText = (item->itemFlags & kTLItemOwnText)
                        ? item->textColor
                        : (data->columnTextColors[0] != CLR_NONE ? data->columnTextColors[0] : data->colors[4]);
    label.bold = (item->state & TVIS_BOLD) != 0;
    bool caretCell = handle == data->caretItem && data->caretColumn == 0;
    int end = DrawLabel(rc, label, labelLeft, col0Right, 0, caretCell, true, back, 0);
    if (end + data->scrollX > widest) widest = end + data->scrollX;
    RestoreDC(dc, saved);
    // Further columns in display order.
    for (int pos = 1; pos < data->columnCount; ++pos) {
      int c = data->columnOrder[pos];
      TreeListColumn& col = data->columns[c];
      if (!col.width) continue;
      // Columns merged into an earlier one are drawn by it.
      bool mergedAway = c > 0 && c <= 16 && ((item->state >> TLIS_MERGESHIFT) & data->mergeMask & (1u << (c - 1)));
      if (mergedAway) continue;
      int left = data->columnX[c] - data->scrollX;
      if (left > client.right) break;
      int lastCol = TreeListLastMerged(data, item->state, c);
      if (lastCol >= data->columnCount) lastCol = data->columnCount - 1;
      int cellRight = data->columnX[data->columns[lastCol].nextColumn] - data->scrollX;
      TreeListCell* cell = TreeListGetCell(data, handle, c, false);
      COLORREF cellBack = RowColor(data, r, col.shaded);
      if (selectedRow) cellBack = back;
      if (cell && (cell->cellFlags & kTLItemOwnBack))
        cellBack = col.shaded ? DarkenEighth(cell->backColor) : cell->backColor;
      // Cells draw within their rectangle (clipped text, bounded fills):
      // no clip region per cell.
      RECT cellRect = {left, rowTop, cellRight, rowTop + rc.height};
      int x = left;
      if (grid) {
        RECT vline = {left, rowTop, left + 1, rowTop + rowHeight};
        Fill(dc, vline, data->colors[kTLColorGrid]);
        cellRect.left += 1;
        x += 1;
      }
      // Image at the left or, with state 0x80, at the right end.
      HIMAGELIST list = nullptr;
      TLSize size = {0, 0};
      int index = -1;
      if (col.editKind >= TLEK_CHECK && data->checkImages) {
        list = data->checkImages;
        size = data->checkImageSize;
        index = cell ? (int)((cell->state >> 12) & 0xF) : 0;
        if (col.editFlags & 0x20) index &= ~8;
      } else if (cell && data->cellImages && cell->image != -2 && cell->image >= 0) {
        list = data->cellImages;
        size = data->cellImageSize;
        index = cell->image;
        cell->cellFlags |= kTLItemHasImage;
      } else if (cell) {
        cell->cellFlags &= ~kTLItemHasImage;
      }
      if (list && size.cx) {
        bool atRight = cell && (cell->state & 0x80);
        RECT area = atRight ? RECT{cellRect.right - size.cx - 2, rowTop, cellRect.right, rowTop + rc.height}
                            : RECT{x, rowTop, x + size.cx + 2, rowTop + rc.height};
        Fill(dc, area, cellBack);
        if (list == TL_CHECKBOX_MARKER) {
          bool hot = data->pressState[1] == handle && (int)data->pressState[2] == c && (data->pressState[0] & 1);
          int checkIndex = index + ((data->exStyle & TLS_EX_CHECKFROMZERO) ? 1 : 0);
          RECT box = {area.left, rowTop, area.left + size.cx, rowTop + rc.height};
          TreeListDrawThemedCheck(data, dc, box, checkIndex, hot, hot && (data->pressState[0] & 2));
        } else {
          // A held cell button shows the image after its own.
          bool pressed = data->pressState[3] == handle && (int)data->pressState[4] == c;
          ImageList_Draw(
              list, index + (pressed ? 1 : 0), dc, area.left + 1, rowTop + (rc.height - size.cy) / 2,
              ILD_TRANSPARENT | (cell ? (cell->state & 0xF00) | ((cell->state & TVIS_CUT) ? ILD_BLEND50 : 0) : 0));
        }
        if (atRight)
          cellRect.right = area.left;
        else
          x = area.right;
      }
      const char* cellText = "";
      UINT cellLength = 0;
      if (cell && (cell->callbackFlags & kTLCallbackText)) {
        UINT n = 0;
        if (TreeListGetCellDispInfo(data, item, cell, handle, c, TVIF_TEXT, nullptr, &n, &cellText)) cellLength = n;
        item = TreeListLookup(data, handle);
        cell = item ? TreeListGetCell(data, handle, c, false) : nullptr;
        if (!cell) break;
      } else if (cell && cell->text) {
        cellText = cell->text;
        cellLength = cell->textLength;
      }
      int dummyWidth = 0;
      Label cl = {};
      cl.text = cellText;
      cl.length = cellLength;
      cl.cachedWidth = cell ? &cell->textWidth : &dummyWidth;
      bool cellSelect = (data->exStyle & TLS_EX_CELLCARET) != 0;
      UINT cellState = cell ? cell->state : 0;
      if (cellSelect && handle == data->caretItem && data->caretColumn == c && (item->state & TVIS_SELECTED))
        cellState |= TVIS_SELECTED;
      else
        cellState &= ~TVIS_SELECTED;
      cl.state = cellState;
      cl.flags = cell ? cell->cellFlags : 0;
      COLORREF columnColor =
          data->columnTextColors[c] != CLR_NONE ? data->columnTextColors[c] : data->colors[kTLColorText];
      cl.ownText = cell && (cell->cellFlags & kTLItemOwnText) ? cell->textColor : columnColor;
      DrawLabel(rc, cl, x, cellRect.right, col.textAlign, cellSelect && handle == data->caretItem, true, cellBack, c);
      item = TreeListLookup(data, handle);
      if (!item) break;
    }
    if (!item) continue;
    // Right of the last column: the row's background.
    if (data->columnCount) {
      int end = data->columnX[data->columnCount] - data->scrollX;
      if (end < client.right)
        Fill(dc, RECT{end, rowTop, client.right, rowTop + rowHeight}, selectedRow ? back : rowBack);
    }
    // Grid and fixed-row lines.
    bool fixedLine = fixed && r == fixed - 1 && (data->topRow || data->paintFlag);
    if (grid) {
      RECT line = {0, rowTop + rowHeight - 1, client.right, rowTop + rowHeight};
      Fill(dc, line, data->colors[fixedLine ? kTLColorFixedLine : kTLColorGrid]);
    } else if (fixedLine) {
      RECT line = {0, rowTop + rowHeight - 2, client.right, rowTop + rowHeight - 1};
      Fill(dc, line, data->colors[kTLColorFixedLine]);
    }
    if (handle == data->dropMarkItem && data->dropMarkHeight)
      DrawDropStrip(data, dc, rowTop + data->dropMarkOffset, client.right);
  }
  // Below the rows.
  if (y < client.bottom) {
    RECT below = {0, y, client.right, client.bottom};
    COLORREF back = data->colors[kTLColorBack];
    if (!data->enabled && (data->exStyle & TLS_EX_DISABLEDCOLOR)) back = data->colors[kTLColorDisabled];
    Fill(dc, below, back);
    if (!(!data->enabled && (data->exStyle & TLS_EX_DISABLEDCOLOR))) {
      for (int c = 0; c < data->columnCount; ++c) {
        if (!data->columns[c].shaded) continue;
        RECT shade = {data->columnX[c] - data->scrollX, y, data->columnX[data->columns[c].nextColumn] - data->scrollX,
                      client.bottom};
        Fill(dc, shade, data->colors[kTLColorShaded]);
      }
    }
    if (data->dropMarkItem == (TLHandle)(UINT_PTR)TVI_LAST && data->dropMarkHeight) {
      HGDIOBJ oldBrush = SelectObject(dc, TreeListCheckerBrush());
      PatBlt(dc, -data->scrollX, y + data->dropMarkOffset,
             data->columnCount ? data->columnX[data->columnCount] : client.right, data->dropMarkHeight, PATINVERT);
      SelectObject(dc, oldBrush);
    }
  }
  SetTextAlign(dc, oldAlign);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldFont);
  // Without columns the content grows with what was painted; a partial
  // repaint never shrinks it.
  if (!data->columnCount && widest > data->contentWidth) {
    data->contentWidth = widest;
    TreeListUpdateHScrollBar(data, 1);
  }
}
