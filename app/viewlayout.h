// Where the two browser panes of the view go for a client size and the view
// settings; kept apart from the window so that the rules can be checked alone.
#pragma once

#include <windows.h>

const int kSplitterGap = 7;           // the bar between the panes
const int kSeparatorMiddle = -10000;  // this or less: the bar stays in the middle

// SingleWnd values.
const int kBothPanes = 0;
const int kOnlyPane1 = 1;
const int kOnlyPane2 = 2;

struct PaneLayout {
  RECT pane[2];
  bool visible[2];
  int splitPos;  // offset of the bar from the left or top edge (both panes shown)
};

// The bar's offset in an extent (client side minus the gap): a separator
// above kSeparatorMiddle clamped to 0..extent, else the middle.
int SplitOffset(int separator, int extent);
// false when either side of the client is below 1 (nothing to lay out).
bool ComputePaneLayout(int cx, int cy, int singleWnd, bool horzSplit, int separator, PaneLayout* out);
