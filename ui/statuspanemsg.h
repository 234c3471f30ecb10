// The message through which windows ask the main frame for status panes and
// write into them; the frame (app/) answers it, views below app/ send it.
#pragma once

#include <windows.h>

#include <cstdint>

const UINT WM_STATUSPANES = 0x524;
const UINT WM_QUERYPANESERVICE = 0x5E97;

// Operations of WM_STATUSPANES (wParam).
enum { kSetPanes = 0, kSetPaneText = 1, kRemovePanes = 2, kInsertPanes = 3, kSetPaneColors = 4 };

// lParam of WM_STATUSPANES: five 32-bit words (word 1 a pointer).
struct StatusPaneBlock {
  INT_PTR word0;  // ids pointer / pane index / tag
  INT_PTR word1;  // widths pointer / text pointer
  int32_t word2;  // count / update flag
  int32_t word3;  // background colour
  int32_t word4;  // text colour
};
