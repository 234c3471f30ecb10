// One button's state strip: row s is drawing state s (0-5).
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "controls/toolbar/toolbarex_data.h"
#include "ui/libdib/libdib.h"
#include "ui/theme/themedraw.h"

namespace {
const WCHAR* ButtonText(const ToolbarExData* data, const ToolbarExButton* b, int* length) {
  INT_PTR s = b->tb.iString;
  *length = 0;
  if (s < 0 || (unsigned)s >= data->stringCount || !data->strings[s][0]) return nullptr;
  *length = data->strings[s][0];
  return data->strings[s] + 1;
}

// The state a row draws, less the looks the style word removes.
int RowLook(WORD sw, int row) {
  int state = row;
  if ((sw & kTbxNoCheckedLook) && (state & 1)) state &= ~1;
  if ((sw & kTbxNoDisabledLook) && state >= 4) state -= 4;
  if ((sw & kTbxNoHotLook) && (state == 2 || state == 3)) state -= 2;
  return state;
}

void Fill(HDC dc, const RECT& rc, COLORREF color) {
  COLORREF old = SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

void Text(HDC dc, const WCHAR* text, int length, RECT rc, UINT format, bool disabled, COLORREF color) {
  if (!text) return;
  if (disabled) {
    UINT flags = ((format & DT_CENTER) ? DT_CENTER : 0) | ((format & DT_VCENTER) ? DT_VCENTER : 0) |
                 ((format & DT_NOPREFIX) ? DT_NOPREFIX : 0);
    DrawDisabledTextW(dc, text, length, &rc, flags);
    return;
  }
  COLORREF old = SetTextColor(dc, color);
  DrawTextW(dc, text, length, &rc, format);
  SetTextColor(dc, old);
}

void RenderSeparator(ToolbarExData* data, HDC dc, int w, int h) {
  const int gap1 = data->listGap[0], gap2 = data->listGap[1];
  RECT cell = {0, 0, w, h};
  Fill(dc, cell, data->colors[0]);
  if (w <= h) {
    int x = (w - 1) / 2;
    Fill(dc, RECT{x, gap2 / 2, x + 1, gap2 / 2 + h - gap2}, GetSysColor(COLOR_BTNSHADOW));
    Fill(dc, RECT{x + 1, gap2 / 2, x + 2, gap2 / 2 + h - gap2}, RGB(255, 255, 255));
  } else {
    int y = (h - 1) / 2;
    Fill(dc, RECT{gap1 / 2, y, gap1 / 2 + w - gap1, y + 1}, GetSysColor(COLOR_BTNSHADOW));
    Fill(dc, RECT{gap1 / 2, y + 1, gap1 / 2 + w - gap1, y + 2}, RGB(255, 255, 255));
  }
}

// A 32-bit bottom-up image in plain memory. A cell is only read and copied
// into the button's strip: it needs no DIB section (creating one for each
// cell and again for its greyed copy made the first paint of many buttons
// slow), and the pixel operations take header and bits.
struct CellImage {
  BITMAPINFO info = {};
  std::vector<DWORD> pixels;

  void Make(int w, int h) {
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB};
    pixels.assign((size_t)w * h, 0u);
  }
  int Width() const { return info.bmiHeader.biWidth; }
  int Height() const { return info.bmiHeader.biHeight; }
  BITMAPINFO* Info() { return &info; }
  void* Bits() { return pixels.data(); }
};

// Copies a cell of an entry's bitmap (y from the top) into image. 24-bit
// bitmaps, the common kind, are read directly (colour, alpha 0, as GDI
// gives them); other depths go through GDI.
void CopyCell(const ToolbarExImageEntry& e, int sx, int sy, int cw, int ch, CellImage* image) {
  const BITMAPINFOHEADER& h = e.dib->bmiHeader;
  int srcH = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  if (DibDepth(&h) == 24 && h.biCompression == BI_RGB && sx + cw <= h.biWidth && sy + ch <= srcH) {
    const BYTE* bits = static_cast<const BYTE*>(e.bits);
    int stride = DibRowBytes(h.biWidth, 24);
    for (int y = 0; y < ch; y++) {
      int srcRow = h.biHeight < 0 ? sy + y : srcH - 1 - (sy + y);
      const BYTE* p = bits + (size_t)stride * srcRow + sx * 3;
      DWORD* out = &image->pixels[(size_t)(ch - 1 - y) * cw];
      for (int x = 0; x < cw; x++, p += 3) out[x] = p[0] | (p[1] << 8) | ((DWORD)p[2] << 16);
    }
    return;
  }
  void* bits = nullptr;
  BITMAPINFO* section = CreateDib(nullptr, cw, ch, 32, &bits);
  if (!section) return;
  std::fill_n(static_cast<DWORD*>(bits), cw * ch, 0u);
  PutDibRectIntoDib(e.dib, e.bits, 0, 0, sx, sy, cw, ch, section);
  std::copy_n(static_cast<const DWORD*>(bits), cw * ch, image->pixels.data());
  FreeDib(section);
}

// The image cell keyed, swatched and scaled; false without one.
bool MakeCellImage(ToolbarExData* data, const ToolbarExButton* b, CellImage* image, bool* fourBit) {
  int entryIndex = 0, cell = 0;
  if (!ToolbarExFindImageEntry(data, b->tb.iBitmap, &entryIndex, &cell)) return false;
  ToolbarExImageEntry& e = data->images[entryIndex];
  int height = e.dib->bmiHeader.biHeight < 0 ? -e.dib->bmiHeader.biHeight : e.dib->bmiHeader.biHeight;
  int sx = (e.flags & kEntryFixed) ? cell * e.cellWidth : e.scanX;
  int sy = (e.flags & kEntryFixed) ? 0 : height - e.scanY - e.cellHeight;
  int cw = e.cellWidth, ch = e.cellHeight;
  if (cw < 1 || ch < 1) return false;
  image->Make(cw, ch);
  CopyCell(e, sx, sy, cw, ch, image);
  *fourBit = DibDepth(&e.dib->bmiHeader) == 4;
  bool alpha = false;
  if (DibDepth(&e.dib->bmiHeader) == 32) {
    for (DWORD p : image->pixels) alpha = alpha || (p >> 24) != 0;
  }
  if (!alpha) {
    MapDibGreysToSysColors(image->Info(), image->Bits());
    COLORREF key = MapGreyToSysColor(GetDibCornerColor(e.dib, e.bits) & 0xFFFFFF);
    // The key becomes transparent; the background is set per row.
    ReplaceDibColor(image->Info(), image->Bits(), key | kDibColorOpaqueOthers, data->colors[0]);
  }
  WORD sw = StyleWord(b);
  if (sw & kTbxSwatch) {
    DWORD value = (DWORD)b->tb.dwData;
    auto from565 = [](WORD c) { return RGB((c >> 11) << 3, ((c >> 5) & 63) << 2, (c & 31) << 3); };
    if (sw & kTbxTwoColors) {
      ReplaceDibColor(image->Info(), image->Bits(), data->keyColor[0], from565(LOWORD(value)) | 0xFF000000);
      ReplaceDibColor(image->Info(), image->Bits(), data->keyColor[1], from565(HIWORD(value)) | 0xFF000000);
    } else {
      ReplaceDibColor(image->Info(), image->Bits(), data->keyColor[0], (value & 0xFFFFFF) | 0xFF000000);
    }
  }
  int entryScale = e.scale;
  int scale = data->imageScale ? entryScale * data->imageScale / 256 : entryScale << 8;
  if (scale != 256 && data->displayDeep) {
    long long s16 = (long long)scale << 8;
    int sw2 = std::max(1, (int)((s16 * cw + 32767) >> 16)), sh2 = std::max(1, (int)((s16 * ch + 32767) >> 16));
    CellImage scaled;
    scaled.Make(sw2, sh2);
    StretchDibToDib32(scaled.Info(), scaled.Bits(), image->Info(), image->Bits(), 0, 0, cw, ch, 0, 0, sw2, sh2);
    *image = std::move(scaled);
  }
  return true;
}

// image and greyed (its disabled look) are null for a button without one.
void RenderImageRow(ToolbarExData* data, ToolbarExButton* b, BITMAPINFO* strip, void* stripBits, HDC dc, int row, int w,
                    int h, CellImage* image, CellImage* greyed, bool fourBit, const WCHAR* text, int length) {
  const int gap1 = data->listGap[0], gap2 = data->listGap[1];
  WORD sw = StyleWord(b), dw = b->drawWord;
  int look = RowLook(sw, row);
  int top = row * h;
  bool hot = look == 2 || look == 3, on = look & 1, disabled = look >= 4;
  Fill(dc, RECT{0, top, w, top + h}, hot ? data->colors[3] : data->colors[0]);
  RECT content = {gap1 / 2, top + gap2 / 2, gap1 / 2 + w - gap1,
                  top + gap2 / 2 + h - gap2 + ((dw & kDrawStacked) ? gap2 / 2 : 0)};
  int iw = image ? image->Width() : 0, ih = image ? image->Height() : 0;
  int arrow = (b->tb.fsStyle & BTNS_DROPDOWN) && image ? 13 * std::min(std::max((ih + 2) / 4, 4), 6) / 4 : 0;
  // Frame.
  bool framed = on || hot || (sw & kTbxNormalFrame) || (!(data->style & TBSTYLE_FLAT) && !(sw & kTbxNoNormalFrame));
  RECT main = content;
  main.right -= arrow;
  if (framed) {
    if (data->displayDeep) {
      int state = (hot ? 2 : 0) | (on ? 1 : 0);
      ToolbarExDrawEmbeddedImage(strip, stripBits, main.left, main.top, main.right - main.left, main.bottom - main.top,
                                 state, data->colors[4]);
      if (arrow) {
        ToolbarExDrawEmbeddedImage(strip, stripBits, main.right, main.top, arrow, main.bottom - main.top, state | 8,
                                   data->colors[4]);
      }
    } else {
      UINT flags = kFrameFill | (hot ? kFrameFillLight : 0) | (on ? kFrameSunken : 0);
      Draw3dFrame(dc, main.left, main.top, main.right - main.left, main.bottom - main.top, flags);
    }
  }
  int shiftX = on && data->padding.cx > 4 ? 1 : 0, shiftY = on && data->padding.cy > 4 ? 1 : 0;
  int line = data->sampleHeight + 1;
  RECT textRect = {};
  int ix, iy;
  if ((dw & kDrawTextBelow) || ((dw & kDrawTextLine) && !(dw & kDrawTextRight))) {
    int lineBottom = content.bottom;
    if (sw & kTbxAltPlacement) lineBottom -= data->padding.cy - data->padding.cy / 2;
    textRect = RECT{content.left, lineBottom - line, content.right, lineBottom};
    int imageBottom = (sw & kTbxAltPlacement) ? content.bottom : textRect.top;
    ix = content.left + (content.right - arrow - content.left - iw) / 2;
    iy = content.top + (imageBottom - content.top - ih) / 2;
  } else if (dw & kDrawTextRight) {
    ix = content.left + data->padding.cx / 2;
    iy = content.top + (content.bottom - content.top - ih) / 2;
    int textLeft = content.left + data->padding.cx + iw + arrow + 2;
    int textTop = content.top + (content.bottom - content.top - data->sampleHeight) / 2;
    textRect = RECT{textLeft, textTop, content.right, textTop + data->sampleHeight + 2};
    b->content = (WORD)((arrow << 10) | std::min(gap1 / 2 + (int)data->padding.cx + iw + arrow, 1023));
  } else {
    ix = content.left + (content.right - arrow - content.left - iw) / 2;
    iy = content.top + (content.bottom - content.top - ih) / 2;
  }
  ix += shiftX;
  iy += shiftY;
  if (image) {
    CellImage* use = disabled ? greyed : image;
    if (data->displayDeep) {
      CopyDibToDib32(strip, stripBits, std::max(ix, 0), std::max(iy, 0), use->Info(), use->Bits(), 0, 0, iw, ih);
      if (fourBit) {
        int grow = data->padding.cx > 4 ? 1 : 0, growY = data->padding.cy > 4 ? 1 : 0;
        BlurDibRect(strip, stripBits, std::max(ix - grow, 0), std::max(iy - growY, 0), iw + 2 * grow, ih + 2 * growY);
      }
    } else {
      SetDIBitsToDevice(dc, ix, iy, iw, ih, 0, 0, 0, ih, use->Bits(), use->Info(), DIB_RGB_COLORS);
    }
  }
  if (arrow) {
    RECT arrowRect = {main.right, content.top, content.right,
                      textRect.bottom > textRect.top && !(dw & kDrawTextRight) ? textRect.top : content.bottom};
    if (data->displayDeep) {
      UINT state = disabled ? 4 : hot ? 2 : on ? 3 : 1;
      RECT glyph = arrowRect;
      DrawCheckMark(dc, &glyph, kCheckDropDown | state | kGlyphClassic, 0);
    } else {
      // A framed box of its own: as high as the main part's frame beside it.
      arrowRect.top = main.top;
      arrowRect.bottom = main.bottom;
      DrawFrameControl(dc, &arrowRect, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_FLAT | (on ? DFCS_PUSHED : 0));
    }
  }
  if (text && textRect.right > textRect.left) {
    OffsetRect(&textRect, shiftX, shiftY);
    UINT format = DT_SINGLELINE | DT_VCENTER | ((dw & kDrawTextRight) ? 0 : DT_CENTER) |
                  ((b->tb.fsStyle & BTNS_NOPREFIX) ? DT_NOPREFIX : 0);
    Text(dc, text, length, textRect, format, disabled, data->colors[1]);
  }
}
// This button's slice of its group's caption: the closing separator's
// string centred under the whole group, in every row.
void DrawCaptionSlice(ToolbarExData* data, int index, HDC dc, int w, int h) {
  const ToolbarExButton* b = data->buttons[index];
  if (!(b->drawWord & kDrawCaptionGroup) || (b->tb.fsState & TBSTATE_WRAP)) return;
  auto width = [](const ToolbarExButton* x) { return (int)(x->rect.right - x->rect.left); };
  int before = 0, after = 0, closer = -1;
  for (int j = index - 1; j >= 0; j--) {
    const ToolbarExButton* p = data->buttons[j];
    if (p->tb.fsState & TBSTATE_HIDDEN) continue;
    if ((p->tb.fsStyle & BTNS_SEP) || (p->tb.fsState & TBSTATE_WRAP)) break;
    before += width(p);
  }
  for (int j = index + 1; j < (int)data->buttonCount; j++) {
    const ToolbarExButton* n = data->buttons[j];
    if (n->tb.fsState & TBSTATE_HIDDEN) continue;
    if (n->tb.fsStyle & BTNS_SEP) {
      closer = j;
      break;
    }
    if (n->tb.fsState & TBSTATE_WRAP) return;  // the group does not end in this row
    after += width(n);
  }
  if (closer < 0 || !(StyleWord(data->buttons[closer]) & kTbxFixedWidth)) return;
  int length = 0;
  const WCHAR* text = ButtonText(data, data->buttons[closer], &length);
  if (!text) return;
  const int gap2 = data->listGap[1];
  for (int row = 0; row < 6; row++) {
    int bottom = row * h + h - gap2 + gap2 / 2;
    RECT rc = {-before, bottom - data->sampleHeight, w + after, bottom};
    // Each slice stays inside its own row of the strip.
    int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, row * h, w, row * h + h);
    Text(dc, text, length, rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, false, data->colors[1]);
    RestoreDC(dc, saved);
  }
}
// An 8-bit strip's standard table need not hold the bar's own colours (the
// nearest of a light grey face may be cream): the colours the strip is filled
// and framed with take fixed entries after the ten static ones.
void KeepBarColors(const ToolbarExData* data, BITMAPINFO* strip) {
  const COLORREF keep[] = {data->colors[0],
                           data->colors[1],
                           data->colors[3],
                           data->colors[4],
                           GetSysColor(COLOR_BTNSHADOW),
                           GetSysColor(COLOR_BTNHIGHLIGHT),
                           GetSysColor(COLOR_3DDKSHADOW),
                           GetSysColor(COLOR_3DLIGHT),
                           GetSysColor(COLOR_GRAYTEXT)};
  const int first = 10, n = sizeof keep / sizeof keep[0];
  RGBQUAD* table = strip->bmiColors;
  bool same = true;
  for (int i = 0; i < n; i++) {
    RGBQUAD q = {GetBValue(keep[i]), GetGValue(keep[i]), GetRValue(keep[i]), 0};
    same = same && !memcmp(&table[first + i], &q, sizeof q);
    table[first + i] = q;
  }
  if (!same) SetDIBColorTable(GetDibMemDC(strip), first, n, table + first);
}
}  // namespace

void ToolbarExRenderButtonImages(ToolbarExData* data, int index) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b) return;
  int w = b->rect.right - b->rect.left, h = b->rect.bottom - b->rect.top;
  b->drawWord &= (WORD)~kDrawRender;
  if (w < 1 || h < 1) return;
  bool sep = (b->tb.fsStyle & BTNS_SEP) != 0;
  int rows = sep ? 1 : 6;
  int depth = data->displayDeep ? 32 : data->displayBits;
  if (!b->render || b->render->bmiHeader.biWidth != w || b->render->bmiHeader.biHeight != h * rows) {
    ToolbarExFreeRender(b);
    b->render = CreateDib(nullptr, w, h * rows, depth, &b->renderBits);
    if (!b->render) return;
    b->renderBitmap = GetDibBitmap(b->render);
  }
  if (depth == 8) KeepBarColors(data, b->render);
  HDC dc = GetDibMemDC(b->render);
  if (!dc) return;
  HGDIOBJ oldFont = SelectObject(dc, data->font);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  const int gap1 = data->listGap[0], gap2 = data->listGap[1];
  int length = 0;
  const WCHAR* text = ButtonText(data, b, &length);
  WORD sw = StyleWord(b);
  if (sep) {
    RenderSeparator(data, dc, w, h);
  } else if (sw & kTbxControl) {
    for (int row = 0; row < 6; row++) {
      Fill(dc, RECT{0, row * h, w, row * h + h}, data->colors[0]);
      RECT line = {gap1 / 2, row * h + h - gap2 / 2 - data->sampleHeight - 1, w - gap1 + gap1 / 2,
                   row * h + h - gap2 / 2};
      Text(dc, text, length, line, DT_CENTER | DT_SINGLELINE | DT_VCENTER, row >= 4, data->colors[1]);
    }
  } else if (sw & (kTbxRadioGlyph | kTbxCheckGlyph)) {
    static const UINT kStates[6] = {1, 5, 2, 6, 4, 8};
    SIZE glyph = {};
    GetGlyphSize(0, &glyph);
    for (int row = 0; row < 6; row++) {
      int look = RowLook(sw, row);
      RECT cell = {0, row * h, w, row * h + h};
      Fill(dc, cell, data->colors[0]);
      RECT content = {gap1 / 2, row * h + gap2 / 2, gap1 / 2 + w - gap1, row * h + gap2 / 2 + h - gap2};
      if ((b->drawWord & kDrawTextLine) && !(b->drawWord & kDrawStacked)) content.bottom -= data->sampleHeight + 1;
      RECT box = {content.left, content.top, content.left + glyph.cx, content.bottom};
      UINT flags = kStates[look];
      if (sw & kTbxRadioGlyph) {
        DrawRadioButton(dc, nullptr, &box, flags, 0);
      } else {
        DrawCheckBox(dc, nullptr, &box, flags, 0);
      }
      RECT textRect = {box.right + 2, content.top, content.right, content.bottom};
      Text(dc, text, length, textRect, DT_SINGLELINE | DT_VCENTER, look >= 4, data->colors[1]);
    }
    b->content = (WORD)std::min(gap1 / 2 + (int)glyph.cx, 1023);
  } else if (b->tb.iBitmap >= 0 && ToolbarExImageSize(data, b->tb.iBitmap) != -1) {
    CellImage image, greyed;
    bool fourBit = false;
    bool has = MakeCellImage(data, b, &image, &fourBit);
    if (has) {
      // Both disabled rows share one tinted copy.
      greyed = image;
      TintDib(greyed.Info(), greyed.Bits(), data->colors[0], 0x80000000);
    }
    for (int row = 0; row < 6; row++) {
      RenderImageRow(data, b, b->render, b->renderBits, dc, row, w, h, has ? &image : nullptr, has ? &greyed : nullptr,
                     fourBit, text, length);
    }
  } else {
    // Text only: a push button under the text.
    static const UINT kPush[6] = {1, 3, 2, 3, 4, 3};
    b->content = (WORD)std::min(gap1 / 2 + w - gap1, 1023);
    for (int row = 0; row < 6; row++) {
      int look = RowLook(sw, row);
      Fill(dc, RECT{0, row * h, w, row * h + h}, data->colors[0]);
      RECT area = {gap1 / 2, row * h + gap2 / 2, gap1 / 2 + w - gap1, row * h + gap2 / 2 + h - gap2};
      if (b->drawWord & kDrawTextLine) area.bottom -= data->sampleHeight + 1;
      DrawPushButton(dc, nullptr, &area, kPush[look], 0);
      UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | ((b->tb.fsStyle & BTNS_NOPREFIX) ? DT_NOPREFIX : 0);
      Text(dc, text, length, area, format, look >= 4, data->colors[1]);
    }
  }
  if (!sep) DrawCaptionSlice(data, index, dc, w, h);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
  GdiFlush();
}
