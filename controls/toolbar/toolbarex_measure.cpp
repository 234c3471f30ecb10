// Measuring one button: its text, image, glyph or control and the gaps.
#include <algorithm>

#include "controls/toolbar/toolbarex_data.h"
#include "ui/textmeasure.h"
#include "ui/theme/themedraw.h"

namespace {
const WORD kMeasureFlags = kDrawSeparatorLike | kDrawHasImage | kDrawTextBelow | kDrawTextRight | kDrawTextBelowNoImage;

SIZE TextSize(ToolbarExData* data, const ToolbarExButton* b) {
  INT_PTR s = b->tb.iString;
  if (s < 0 || (unsigned)s >= data->stringCount || data->strings[s][0] == 0) return SIZE{0, 0};
  UINT flags = DT_SINGLELINE | kMeasurePacked | ((b->tb.fsStyle & BTNS_NOPREFIX) ? DT_NOPREFIX : 0);
  int packed = data->measureDC
                   ? MeasureTextW(data->measureDC, data->strings[s] + 1, data->strings[s][0], flags, nullptr)
                   : MeasureTextW(nullptr, data->strings[s] + 1, data->strings[s][0], flags, data->font);
  return SIZE{packed & 0xFFFF, (packed >> 16) & 0xFFFF};
}

int Limit(const ToolbarExData* data, int width) {
  if (data->buttonWidthMin > 0) width = std::max(width, data->buttonWidthMin - (int)data->padding.cx);
  if (data->buttonWidthMax > 0) width = std::min(width, data->buttonWidthMax - (int)data->padding.cx);
  return width;
}
}  // namespace

void ToolbarExControlSize(HWND control, int* cx, int* cy) {
  RECT rc = {};
  if (!control || !GetWindowRect(control, &rc) || rc.right <= rc.left) {
    *cx = *cy = 8;
    return;
  }
  *cx = rc.right - rc.left;
  *cy = rc.bottom - rc.top;
  char cls[16] = "";
  GetClassNameA(control, cls, sizeof cls);
  if (lstrcmpiA(cls, "ComboBox") == 0) {
    // The closed part: its selection field and the border around it.
    COMBOBOXINFO info = {sizeof info};
    if (GetComboBoxInfo(control, &info)) *cy = info.rcItem.bottom + info.rcItem.top;
  }
}

LRESULT ToolbarExMeasureButton(ToolbarExData* data, ToolbarExButton* b, bool horizontal, WORD* outDrawWord) {
  const int gap1 = data->listGap[0], gap2 = data->listGap[1];
  const WORD sw = StyleWord(b);
  WORD flags = 0;
  int width = 0, height = 0, arrow = 0;
  SIZE text = TextSize(data, b);
  bool hasText = text.cx > 0;
  bool below = (!(data->style & TBSTYLE_LIST) || (sw & kTbxTextBelow)) && !(sw & kTbxTextRight);
  LONG image = b->tb.iBitmap >= 0 ? ToolbarExImageSize(data, b->tb.iBitmap) : -1;
  if ((b->tb.fsStyle & BTNS_SEP) || (sw & kTbxSeparatorLike)) {
    width = horizontal ? 8 : 0;
    height = horizontal ? 0 : 8;
    flags = kDrawSeparatorLike;
  } else {
    if ((sw & kTbxFixedWidth) && !(sw & (kTbxControl | kTbxSwatch))) {
      text.cx = std::max((int)text.cx, (int)b->tb.dwData);
      hasText = true;
    }
    if (sw & kTbxControl) {
      int cw = 0, ch = 0;
      ToolbarExControlSize((HWND)b->tb.dwData, &cw, &ch);
      width = cw + gap1 + 2;
      if (hasText) {
        width = std::max(width, Limit(data, text.cx + 4));
        height = ch + text.cy + 1;
        flags = kDrawTextBelow;
      } else {
        height = ch;
      }
    } else if (sw & (kTbxRadioGlyph | kTbxCheckGlyph)) {
      SIZE glyph = {};
      GetGlyphSize(0, &glyph);
      if (hasText) {
        height = std::max((int)glyph.cy, (int)text.cy) + data->padding.cy;
        width = gap1 + glyph.cx + text.cx + 4 + std::max(0, 2 - gap1 + gap1 / 2);
        flags = kDrawTextRight;
      } else {
        width = gap1 + glyph.cx + 2;
        height = gap2 + glyph.cy + 2;
      }
    } else {
      int iw, ih;
      if (image != -1) {
        iw = LOWORD(image);
        ih = HIWORD(image);
        int entry = 0, cell = 0;
        if (ToolbarExFindImageEntry(data, b->tb.iBitmap, &entry, &cell)) {
          int entryScale = data->images[entry].scale;
          int scale = data->imageScale ? entryScale * data->imageScale / 256 : entryScale << 8;
          if (scale != 256 && data->displayDeep) {
            long long s16 = (long long)scale << 8;
            iw = (int)((s16 * iw + 32767) >> 16);
            ih = (int)((s16 * ih + 32767) >> 16);
          }
        }
        flags = kDrawHasImage;
        if (b->tb.fsStyle & BTNS_DROPDOWN) {
          arrow = 13 * std::min(std::max((ih + 2) / 4, 4), 6) / 4;
          iw += arrow;
        }
        if (hasText && below) {
          width = std::max(iw, Limit(data, text.cx)) + data->padding.cx;
          height = ih + text.cy + 1;
          flags |= kDrawTextBelow;
        } else if (hasText) {
          height = std::max(ih + 2, (int)text.cy);
          width = iw + text.cx + 2 + std::max(0, 2 - gap1 + gap1 / 2);
          flags |= kDrawTextRight;
        } else {
          width = iw;
          height = ih;
        }
      } else if (below) {
        width = Limit(data, std::max((int)text.cx, 4) + 8);
        height = data->bitmapSize.cy + text.cy + 1;
        flags = kDrawTextBelow | kDrawTextBelowNoImage;
      } else {
        width = std::max(text.cx + 4, data->bitmapSize.cx);
        height = std::max(text.cy + 2, data->bitmapSize.cy);
        flags = kDrawTextRight;
      }
      width += gap1 + data->padding.cx;
      height += gap2 + data->padding.cy;
    }
  }
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (outDrawWord) {
    *outDrawWord = flags;
    return MAKELONG(width, height);
  }
  LRESULT result = 1;
  if ((b->drawWord & kMeasureFlags) != flags) result = 2;
  if (b->measuredCx != width || b->measuredCy != height) result = 3;
  b->measuredCx = b->cellCx = (short)width;
  b->measuredCy = b->cellCy = (short)height;
  b->content = (WORD)((arrow << 10) | std::min(width, 1023));
  b->drawWord = (WORD)((b->drawWord & ~kMeasureFlags) | flags | kDrawMeasured);
  if (result > 1) b->drawWord |= kDrawRender;
  return result;
}
