// Layout into rows or a column, stacks of small buttons, and the size for a
// given length.
#include <algorithm>
#include <vector>

#include "controls/toolbar/toolbarex_data.h"

namespace {
const DWORD kStyleStacks = 0x20;  // window style: small buttons stack in a row

bool Hidden(const ToolbarExButton* b) { return (b->tb.fsState & TBSTATE_HIDDEN) != 0; }
bool Wraps(const ToolbarExButton* b) { return (b->tb.fsState & TBSTATE_WRAP) != 0; }
bool Separator(const ToolbarExButton* b) { return (b->tb.fsStyle & BTNS_SEP) != 0; }

bool AutoHorizontal(const ToolbarExData* data, unsigned limit) {
  if (limit < 2) return true;
  unsigned i = 0;
  while (i < limit && !Hidden(data->buttons[i]) && Separator(data->buttons[i]) && !Wraps(data->buttons[i])) i++;
  for (; i < limit; i++) {
    const ToolbarExButton* b = data->buttons[i];
    if (Hidden(b) || Wraps(b) || i == limit - 1) continue;
    for (unsigned j = i + 1; j < limit; j++) {
      if (!Hidden(data->buttons[j])) return true;
    }
  }
  return false;
}

void ArrangeRow(ToolbarExData* data, bool horizontal, unsigned first, unsigned end, int height) {
  for (unsigned i = first; i < end; i++) {
    data->buttons[i]->drawWord &= (WORD) ~(kDrawStacked | kDrawStackFirst | kDrawStackLast);
  }
  if (!horizontal || !(data->style & kStyleStacks)) return;
  const int half = data->listGap[1] / 2;
  unsigned i = first;
  while (i + 1 < end) {
    ToolbarExButton* a = data->buttons[i];
    ToolbarExButton* b = data->buttons[i + 1];
    bool ok = !(a->tb.fsState & (TBSTATE_HIDDEN | TBSTATE_WRAP)) && !(a->drawWord & kDrawSeparatorLike) &&
              !(b->drawWord & kDrawSeparatorLike) && a->measuredCy + 3 < height &&
              a->measuredCy + (b->measuredCy - half) <= height;
    if (!ok) {
      i++;
      continue;
    }
    a->drawWord |= kDrawStackFirst;
    b->drawWord |= kDrawStacked;
    b->cellCy = (short)(b->measuredCy - half);
    int total = a->measuredCy + b->cellCy;
    int width = std::max(a->cellCx, b->cellCx);
    unsigned last = i + 1;
    for (unsigned j = i + 2; j < end && !Wraps(data->buttons[last]); j++) {
      ToolbarExButton* c = data->buttons[j];
      if (Hidden(c)) continue;
      if (c->drawWord & kDrawSeparatorLike) break;
      int contribution = a->measuredCy - half;
      if (total + contribution > height) break;
      c->drawWord |= kDrawStacked;
      c->cellCy = (short)contribution;
      total += contribution;
      width = std::max(width, (int)c->cellCx);
      last = j;
    }
    int n = (int)(last - i + 1), spare = height - total, share = spare / n;
    for (unsigned k = i; k <= last; k++) {
      ToolbarExButton* s = data->buttons[k];
      if (k == i) {
        s->cellCy = (short)(s->measuredCy + share);
      } else if (s->drawWord & kDrawStacked) {
        s->cellCy = (short)(s->cellCy + share);
      }
      s->cellCx = (short)width;
    }
    ToolbarExButton* top = data->buttons[last];
    top->drawWord |= kDrawStackLast;
    top->cellCy = (short)(top->cellCy + spare - share * n);
    i = last + 1;
  }
}
}  // namespace

LRESULT ToolbarExLayoutRun(ToolbarExData* data, int mode, unsigned limit) {
  const bool measuring = (mode & 1) != 0;
  if (limit > data->buttonCount) limit = data->buttonCount;
  bool horizontal = (mode & 2) ? true : (mode & 4) ? false : AutoHorizontal(data, limit);
  data->horizontalLayout = horizontal ? 1 : 0;
  BYTE dirty = data->dirty;
  if (!measuring) data->dirty = 0;
  ToolbarExCreateFont(data);
  // One DC for every text measured in the run, taken at the first text: the
  // row search's later runs measure nothing, image buttons need no DC.
  HDC screen = nullptr;
  HGDIOBJ oldFont = nullptr;
  auto measure = [&](ToolbarExButton* b) {
    bool text = b->tb.iString >= 0 && (unsigned)b->tb.iString < data->stringCount;
    if (text && !data->measureDC) {
      screen = GetDC(nullptr);
      oldFont = SelectObject(screen, data->font);
      data->measureDC = screen;
    }
    return ToolbarExMeasureButton(data, b, horizontal, nullptr);
  };
  const int line = data->sampleHeight + 1;
  int cross = horizontal ? data->bitmapSize.cy : data->bitmapSize.cx;

  // A text line at the bottom of every cell when one button shows text below.
  int textLine = 0;
  if (horizontal) {
    bool qualifies = false;
    for (unsigned i = 0; i < limit && !qualifies; i++) {
      const ToolbarExButton* b = data->buttons[i];
      if (Hidden(b)) continue;
      qualifies = Separator(b) ? (StyleWord(b) & kTbxFixedWidth) != 0
                               : (b->drawWord & kDrawCaptionGroup) ||
                                     ((b->drawWord & kDrawTextBelow) && !(StyleWord(b) & kTbxAltPlacement) &&
                                      !(b->drawWord & kDrawTextBelowNoImage));
    }
    if (qualifies) {
      for (unsigned i = 0; i < limit; i++) {
        ToolbarExButton* b = data->buttons[i];
        if (!(b->tb.fsState & (TBSTATE_HIDDEN | TBSTATE_CHECKED))) b->drawWord |= kDrawTextLine;
      }
      textLine = line;
    }
  }

  // Measuring, with the stack groups closed by each separator.
  WORD barFlags = 0, groupFlags = 0;
  int tallest = data->bitmapSize.cy;
  unsigned groupStart = 0;
  auto closeGroup = [&](unsigned end, const ToolbarExButton* closer) {
    if (!horizontal) return;
    if (closer && (StyleWord(closer) & kTbxFixedWidth) && !(groupFlags & kDrawTextBelow)) {
      cross = std::max(cross, tallest + line);
      ArrangeRow(data, horizontal, groupStart, end, cross - textLine);
      for (unsigned k = groupStart; k < end; k++) {
        ToolbarExButton* b = data->buttons[k];
        if (!Hidden(b) && !(b->drawWord & kDrawStacked)) b->drawWord |= kDrawCaptionGroup | kDrawTextLine;
      }
    } else {
      ArrangeRow(data, horizontal, groupStart, end, cross - textLine);
    }
    groupStart = end + 1;
    tallest = data->bitmapSize.cy;
    groupFlags = 0;
  };
  for (unsigned i = 0; i < limit; i++) {
    ToolbarExButton* b = data->buttons[i];
    b->drawWord &= (WORD) ~(kDrawCaptionGroup | kDrawStacked | kDrawStackFirst);
    if (dirty & kDirtyScale) b->drawWord &= (WORD)~kDrawMeasured;
    if (Hidden(b)) {
      if (!measuring) b->rect = RECT{};
      continue;
    }
    if ((dirty & (kDirtySizes | kDirtyFonts)) || !(b->drawWord & kDrawMeasured)) {
      LRESULT r = measure(b);
      if (r >= 2 || (dirty & kDirtyFonts)) b->drawWord |= kDrawRender;
    }
    if (Separator(b)) {
      bool empty = horizontal ? (b->measuredCx == 0 || b->cellCy == 0) : (b->cellCx == 0 || b->measuredCy == 0);
      if (empty && measure(b) >= 2 && !measuring) {
        b->drawWord |= kDrawRender;
        b->rect.right = b->rect.left;
      }
      closeGroup(i, b);
      continue;
    }
    if (horizontal) {
      cross = std::max(cross, (int)b->measuredCy);
      barFlags |= b->drawWord;
      if (b->measuredCy > tallest) {
        tallest = b->measuredCy;
        groupFlags |= b->drawWord;
      }
    } else {
      cross = std::max(cross, (int)b->measuredCx);
    }
  }
  closeGroup(limit, nullptr);
  if (screen) {
    SelectObject(screen, oldFont);
    ReleaseDC(nullptr, screen);
    data->measureDC = nullptr;
  }
  // The measurements stand whatever the run: later trials need not measure
  // again (the row search makes many measuring runs).
  if (limit == data->buttonCount) data->dirty &= (BYTE) ~(kDirtySizes | kDirtyFonts | kDirtyScale);

  // Placement.
  int x = horizontal ? data->indent : 0, y = horizontal ? 0 : data->indent;
  int widest = 0, rowEnds = 0, rowBottom = 0, offset = 0, stackTop = 0;
  bool rowOpen = false;
  // Wrapping buttons that moved are redrawn: one invalidation for all.
  RECT movedWraps = {};
  for (unsigned i = 0; i < limit; i++) {
    ToolbarExButton* b = data->buttons[i];
    if (Hidden(b)) continue;
    bool sep = Separator(b), wraps = Wraps(b);
    int w, h;
    if (!horizontal) {
      w = cross;
      h = sep ? 8 : b->measuredCy;
      offset = 0;
    } else if (sep) {
      w = 8;
      h = cross;
      if (i != 0 && (x == 0 || wraps)) w = h = 0;
    } else if (b->drawWord & kDrawStackFirst) {
      w = b->cellCx;
      h = b->cellCy;
      offset = cross - h;
      if ((b->drawWord & kDrawTextLine) && !((b->drawWord & kDrawTextBelow) && (StyleWord(b) & kTbxAltPlacement))) {
        offset -= line;
        h += line;
      }
      stackTop = offset;
    } else if (b->drawWord & kDrawStacked) {
      w = b->cellCx;
      h = b->cellCy;
      offset = stackTop - h;
      stackTop = offset;
    } else {
      w = b->measuredCx;
      h = cross;
      offset = 0;
      if ((barFlags & (kDrawTextBelow | kDrawCaptionGroup)) && !(b->drawWord & (kDrawTextBelow | kDrawCaptionGroup))) {
        b->drawWord |= kDrawTextLine;
      }
    }
    RECT rc = {x, y + offset, x + w, y + offset + h};
    if (!measuring && !EqualRect(&rc, &b->rect)) {
      b->rect = rc;
      b->cellCx = (short)w;
      b->cellCy = (short)h;
      if (StyleWord(b) & kTbxControl) {
        HWND control = (HWND)b->tb.dwData;
        if (control && GetParent(control) == data->window) {
          int cw = 0, ch = 0;
          ToolbarExControlSize(control, &cw, &ch);
          int room =
              h - ((b->drawWord & (kDrawTextBelow | kDrawCaptionGroup | kDrawTextLine)) ? data->textHeight + 1 : 0);
          SetWindowPos(control, nullptr, rc.left + (w - cw) / 2, rc.top + (room - ch) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER);
          ShowWindow(control, SW_SHOW);
        }
      }
      if (wraps) UnionRect(&movedWraps, &movedWraps, &rc);
      if (data->insertMarkIndex == (int)i) ToolbarExSetInsertMark(data, (int)i, data->insertMarkFlags & 1);
    }
    rowBottom = std::max(rowBottom, offset + h);
    if (!horizontal) {
      y += h;
      widest = std::max(widest, w);
      rowEnds++;
      rowOpen = false;
      continue;
    }
    rowOpen = true;
    if (!wraps) {
      if (offset < 4 || (b->drawWord & kDrawStackLast)) x += w;
    } else {
      y += (sep && x == data->indent) ? h : cross;
      widest = std::max(widest, x + w);
      x = 0;
      rowEnds++;
      rowBottom = 0;
      rowOpen = false;
    }
  }
  int rows = 1 + rowEnds;
  if (x == 0 && rows > 1) rows--;
  int width = std::max(widest, x), height = y + (rowOpen ? rowBottom : 0);
  if (measuring) {
    data->extent = x;
    return MAKELONG(width, height);
  }
  if (!IsRectEmpty(&movedWraps)) InvalidateRect(data->window, &movedWraps, FALSE);
  data->rowCount = rows;
  data->layoutSize = SIZE{width, height};
  return 1;
}

LRESULT ToolbarExLayout(ToolbarExData* data, int mode) { return ToolbarExLayoutRun(data, mode, data->buttonCount); }

void ToolbarExLayoutIfDirty(ToolbarExData* data) {
  if (data->dirty) ToolbarExLayout(data, 0);
}

namespace {
struct SavedButton {
  WORD drawWord;
  short measuredCx, measuredCy, cellCx, cellCy;
  BYTE state;
};

std::vector<SavedButton> Save(const ToolbarExData* data) {
  std::vector<SavedButton> saved(data->buttonCount);
  for (unsigned i = 0; i < data->buttonCount; i++) {
    const ToolbarExButton* b = data->buttons[i];
    saved[i] = {b->drawWord, b->measuredCx, b->measuredCy, b->cellCx, b->cellCy, b->tb.fsState};
  }
  return saved;
}

void Restore(ToolbarExData* data, const std::vector<SavedButton>& saved) {
  for (unsigned i = 0; i < data->buttonCount && i < saved.size(); i++) {
    ToolbarExButton* b = data->buttons[i];
    b->drawWord = saved[i].drawWord;
    b->measuredCx = saved[i].measuredCx;
    b->measuredCy = saved[i].measuredCy;
    b->cellCx = saved[i].cellCx;
    b->cellCy = saved[i].cellCy;
    b->tb.fsState = saved[i].state;
  }
}

void ClearWraps(ToolbarExData* data) {
  for (unsigned i = 0; i < data->buttonCount; i++) data->buttons[i]->tb.fsState &= (BYTE)~TBSTATE_WRAP;
}

// The row, one-row or column form for a length; wrap bits stay set.
LRESULT SizeForLength(ToolbarExData* data, int length) {
  const unsigned count = data->buttonCount;
  if (length >= 16384) return ToolbarExLayoutRun(data, 1 | 2, count);
  if (length <= 4) {
    for (unsigned i = 0; i < count; i++) {
      if (!Hidden(data->buttons[i])) data->buttons[i]->tb.fsState |= TBSTATE_WRAP;
    }
    return ToolbarExLayoutRun(data, 1 | 4, count);
  }
  // One measuring run measures every button once.
  ToolbarExLayoutRun(data, 1, count);
  const bool stacks = (data->style & kStyleStacks) != 0;
  unsigned start = 0;
  while (start < count) {
    unsigned best = start + 1;
    if (!stacks) {
      // Rows of plain buttons: the last row's extent grows button by button
      // as the layout places them, so the longest row that fits is found in
      // one pass.
      int x = start == 0 ? data->indent : 0;
      for (unsigned c = start; c < count; c++) {
        const ToolbarExButton* b = data->buttons[c];
        if (!Hidden(b)) {
          int w = Separator(b) ? ((c != 0 && x == 0) ? 0 : 8) : b->measuredCx;
          x += w;
        }
        if (x > length && c > start) break;
        best = c + 1;
        if (x == length) break;
      }
    } else {
      unsigned lo = start + 1, hi = count;
      while (lo <= hi) {
        unsigned c = lo + (hi - lo) / 2;
        ToolbarExLayoutRun(data, 1, c);
        if (data->extent == length) {
          best = c;
          break;
        }
        if (data->extent < length) {
          best = c;
          lo = c + 1;
        } else {
          hi = c - 1;
        }
      }
    }
    if (best >= count) break;
    data->buttons[best - 1]->tb.fsState |= TBSTATE_WRAP;
    start = best;
  }
  return ToolbarExLayoutRun(data, 1, count);
}
}  // namespace

LRESULT ToolbarExCalcSize(ToolbarExData* data, int length, LPARAM flags) {
  if (!data->buttonCount) return 0;
  std::vector<SavedButton> saved = Save(data);
  ClearWraps(data);
  if (flags & 2) {
    // The narrowest width whose height stays below the length.
    int lo = LOWORD(ToolbarExLayoutRun(data, 1 | 4, data->buttonCount));
    ClearWraps(data);
    int column = lo;
    int hi = LOWORD(ToolbarExLayoutRun(data, 1 | 2, data->buttonCount)) + 16;
    for (;;) {
      int mid = lo + (hi - lo) / 2;
      ClearWraps(data);
      LRESULT result = SizeForLength(data, mid <= column ? 4 : mid);
      ToolbarExLayout(data, data->horizontalLayout ? 2 : 4);
      if (lo >= hi) return result;
      if (HIWORD(result) < length) {
        hi = mid;
      } else {
        lo = hi - lo == 1 ? mid + 1 : mid;
      }
    }
  }
  LRESULT result = SizeForLength(data, length);
  if (flags & 1) {
    ToolbarExLayout(data, data->horizontalLayout ? 2 : 4);
  } else {
    Restore(data, saved);
  }
  return result;
}
