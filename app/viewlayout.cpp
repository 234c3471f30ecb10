#include "app/viewlayout.h"

int SplitOffset(int separator, int extent) {
  if (separator <= kSeparatorMiddle) return extent / 2;
  if (separator < 0) return 0;
  return separator > extent ? extent : separator;
}

bool ComputePaneLayout(int cx, int cy, int singleWnd, bool horzSplit, int separator, PaneLayout* out) {
  *out = {};
  if (cx < 1 || cy < 1) return false;
  if (singleWnd == kOnlyPane1 || singleWnd == kOnlyPane2) {
    int shown = singleWnd == kOnlyPane1 ? 0 : 1;
    SetRect(&out->pane[shown], 0, 0, cx, cy);
    out->visible[shown] = true;
    out->splitPos = 0;
    return true;
  }
  int extent = (horzSplit ? cy : cx) - kSplitterGap;
  int offset = SplitOffset(separator, extent);
  if (extent < 0) offset = 0;
  int rest = extent - offset;
  if (rest < 0) rest = 0;
  out->splitPos = offset;
  if (horzSplit) {
    SetRect(&out->pane[0], 0, 0, cx, offset);
    SetRect(&out->pane[1], 0, offset + kSplitterGap, cx, offset + kSplitterGap + rest);
  } else {
    SetRect(&out->pane[0], 0, 0, offset, cy);
    SetRect(&out->pane[1], offset + kSplitterGap, 0, offset + kSplitterGap + rest, cy);
  }
  out->visible[0] = out->visible[1] = true;
  return true;
}
