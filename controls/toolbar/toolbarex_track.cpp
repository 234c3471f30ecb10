// Hit tests, the hot button and its drawing states, and the insert mark.
#include <algorithm>

#include "controls/toolbar/toolbarex_data.h"

namespace {
bool Hidden(const ToolbarExButton* b) { return (b->tb.fsState & TBSTATE_HIDDEN) != 0; }

int ArrowWidth(const ToolbarExButton* b) { return b->content >> 10; }
int ContentWidth(const ToolbarExButton* b) { return b->content & 0x3FF; }

// The mouse keys that press a button: none for glyph buttons, both for
// split buttons.
UINT KeyMask(const ToolbarExButton* b) {
  WORD sw = StyleWord(b);
  if (sw & (kTbxRadioGlyph | kTbxCheckGlyph)) return 0;
  if (sw & kTbxSplit) return MK_LBUTTON | MK_RBUTTON;
  return MK_LBUTTON;
}

int RestingState(const ToolbarExButton* b) {
  int on = (b->tb.fsState & (TBSTATE_CHECKED | TBSTATE_PRESSED)) ? 1 : 0;
  bool off = !(b->tb.fsState & TBSTATE_ENABLED) || (b->tb.fsState & TBSTATE_INDETERMINATE);
  return (off ? 4 : 0) + on;
}

int HotState(const ToolbarExData* data, const ToolbarExButton* b, UINT keys) {
  int on = (b->tb.fsState & (TBSTATE_CHECKED | TBSTATE_PRESSED)) ? 1 : 0;
  if (!(b->tb.fsState & TBSTATE_ENABLED) || (b->tb.fsState & TBSTATE_INDETERMINATE)) return 4 + on;
  if (data->arrowHot) return 6 + on;
  return (on || (keys & KeyMask(b))) ? 3 : 2;
}

void SetState(ToolbarExData* data, ToolbarExButton* b, int state) {
  b->drawWord = (WORD)((b->drawWord & ~kDrawStateMask) | state);
  if (b->rect.right > b->rect.left) InvalidateRect(data->window, &b->rect, FALSE);
}
}  // namespace

int ToolbarExHitTest(ToolbarExData* data, int x, int y, bool arrow) {
  const int gap1 = data->listGap[0], gap2 = data->listGap[1];
  POINT pt = {x, y};
  for (unsigned i = 0; i < data->buttonCount; i++) {
    const ToolbarExButton* b = data->buttons[i];
    if (Hidden(b) || (b->tb.fsStyle & BTNS_SEP) || !PtInRect(&b->rect, pt)) continue;
    RECT content = {b->rect.left + gap1 / 2, b->rect.top + gap2 / 2, b->rect.left + ContentWidth(b),
                    b->rect.bottom - gap2 + gap2 / 2};
    bool textLine =
        (b->drawWord & kDrawTextLine) || ((b->drawWord & kDrawTextBelow) && !(StyleWord(b) & kTbxAltPlacement));
    if (textLine && (b->drawWord & (kDrawStacked | kDrawStackFirst)) != kDrawStacked &&
        !(b->drawWord & kDrawTextBelowNoImage)) {
      content.bottom -= data->sampleHeight + 1;
    }
    if (!PtInRect(&content, pt)) return -1;
    if (arrow && ArrowWidth(b) && x >= content.right - ArrowWidth(b)) return (int)i | 0x40000000;
    return (int)i;
  }
  return -1;
}

void ToolbarExTrackMouse(ToolbarExData* data, int x, int y, UINT keys) {
  int hit = ToolbarExHitTest(data, x, y, true);
  int index = hit < 0 ? -1 : hit & 0xFFFF;
  BYTE onArrow = hit >= 0 && (hit & 0x40000000) ? 1 : 0;
  if (index == data->hotIndex && onArrow == data->arrowHot && (BYTE)keys == data->trackedKeys) return;
  ToolbarExButton* old = ToolbarExButtonAt(data, data->hotIndex);
  if (old && data->hotIndex != index) SetState(data, old, RestingState(old));
  data->hotIndex = -1;
  data->arrowHot = 0;
  data->arrowPressed = 0;
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (b) {
    UINT pressing = keys & KeyMask(b);
    bool enabled = (b->tb.fsState & TBSTATE_ENABLED) && !(b->tb.fsState & TBSTATE_INDETERMINATE);
    if (enabled && onArrow) {
      data->arrowHot = 1;
      data->arrowPressed = (pressing & MK_LBUTTON) ? 1 : 0;
    }
    data->hotIndex = index;
    SetState(data, b, HotState(data, b, pressing));
  }
  data->trackedKeys = (BYTE)keys;
}

void ToolbarExUpdateButtonState(ToolbarExData* data, int index) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b || Hidden(b) || (b->tb.fsStyle & BTNS_SEP)) return;
  int state = index == data->hotIndex ? HotState(data, b, data->trackedKeys & KeyMask(b)) : RestingState(b);
  if ((b->drawWord & kDrawStateMask) != state) SetState(data, b, state);
}

int ToolbarExRedrawButton(ToolbarExData* data, int index) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b || Hidden(b)) return 0;
  RECT client;
  GetClientRect(data->window, &client);
  RECT strip = {b->rect.left, b->rect.top, client.right, b->rect.bottom};
  RECT below = {0, b->rect.bottom, client.right, client.bottom};
  InvalidateRect(data->window, &strip, FALSE);
  InvalidateRect(data->window, &below, FALSE);
  return 1;
}

namespace {
int NextVisible(const ToolbarExData* data, int i) {
  for (i++; i < (int)data->buttonCount; i++) {
    if (!Hidden(data->buttons[i])) return i;
  }
  return -1;
}
int PreviousVisible(const ToolbarExData* data, int i) {
  for (i--; i >= 0; i--) {
    if (!Hidden(data->buttons[i])) return i;
  }
  return -1;
}
bool HasTextLine(const ToolbarExButton* b) {
  return (b->drawWord & (kDrawTextBelow | kDrawCaptionGroup | kDrawTextLine)) != 0;
}
}  // namespace

int ToolbarExSetInsertMark(ToolbarExData* data, int index, int after) {
  ToolbarExButton* b = ToolbarExButtonAt(data, index);
  if (!b || Hidden(b)) {
    if (data->insertMarkIndex >= 0) InvalidateRect(data->window, &data->insertMarkRect, FALSE);
    data->insertMarkIndex = -1;
    data->insertMarkFlags = 0;
    data->insertMarkRect = RECT{};
    return 0;
  }
  const RECT& r = b->rect;
  RECT mark;
  int flags = after ? 1 : 0;
  bool horizontalBand = after ? (b->drawWord & kDrawStackFirst) != 0 : (b->drawWord & kDrawStacked) != 0;
  if (horizontalBand) {
    int edge = after ? r.top : r.bottom;
    mark = RECT{r.left, edge - 3, r.right, edge + 3};
    flags |= 2;
  } else {
    int edge = after ? r.right : r.left;
    mark = RECT{edge - 3, r.top, edge + 3, r.bottom};
    const ToolbarExButton* lower = b;
    if (!after && (b->drawWord & kDrawStackFirst)) {
      int next = NextVisible(data, index);
      if (next >= 0) mark.top = data->buttons[next]->rect.top;
    } else if (after && (b->drawWord & kDrawStacked)) {
      for (int i = PreviousVisible(data, index); i >= 0; i = PreviousVisible(data, i)) {
        if (data->buttons[i]->drawWord & kDrawStackFirst) {
          mark.bottom = data->buttons[i]->rect.bottom;
          lower = data->buttons[i];
          break;
        }
      }
    }
    if (HasTextLine(lower)) mark.bottom -= data->textHeight + 1;
    if (mark.left < 0) OffsetRect(&mark, 1, 0);
  }
  if (!EqualRect(&mark, &data->insertMarkRect)) {
    if (data->insertMarkIndex >= 0) InvalidateRect(data->window, &data->insertMarkRect, FALSE);
    InvalidateRect(data->window, &mark, FALSE);
  }
  data->insertMarkRect = mark;
  data->insertMarkIndex = index;
  data->insertMarkFlags = flags;
  return 1;
}

int ToolbarExInsertMarkHitTest(ToolbarExData* data, TBINSERTMARK* mark) {
  if (!mark) return 0;
  POINT pt = {(int)mark->iButton, (int)mark->dwFlags};
  for (unsigned i = 0; i < data->buttonCount; i++) {
    const ToolbarExButton* b = data->buttons[i];
    if (Hidden(b) || !PtInRect(&b->rect, pt)) continue;
    const RECT& r = b->rect;
    int width = r.right - r.left, rel = pt.x - r.left;
    DWORD flags = rel >= width / 2 ? TBIMHT_AFTER : 0;
    bool middle = rel >= width / 4 && rel < width - width / 4;
    bool lowerHalf = pt.y >= (r.top + r.bottom) / 2;
    if (middle && (b->drawWord & kDrawStacked) && lowerHalf) flags = 0;
    if (middle && (b->drawWord & kDrawStackFirst) && !lowerHalf) flags = TBIMHT_AFTER;
    mark->iButton = (int)i;
    mark->dwFlags = flags;
    return 1;
  }
  mark->iButton = -1;
  mark->dwFlags = TBIMHT_BACKGROUND;
  return 0;
}
