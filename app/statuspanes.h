// The status-pane service of the main frame: messages, the block of
// WM_STATUSPANES and the owner-drawn pane block.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdint>

const UINT WM_DRAWSTATUSPANE = 0x523;
const UINT WM_STATUSPANES = 0x524;
const UINT WM_MENUITEMDATA = 0x5E96;
const UINT WM_QUERYPANESERVICE = 0x5E97;
const UINT WM_SETPANETEXTBYID = 0x69EE;

const LRESULT kPaneServiceMarker = 0x12345678;

// Operations of WM_STATUSPANES (wParam).
enum { kSetPanes = 0, kSetPaneText = 1, kRemovePanes = 2, kInsertPanes = 3, kSetPaneColors = 4 };

const int kMaxStatusPanes = 32;  // the tag table
const int kMaxOwnPanes = 8;      // placed by one SetPanes or InsertPanes
const int kMaxOtherPanes = 24;   // every pane but those of SetPanes
const int kDefaultPaneWidth = 50;
const int kIndicatorCount = 3;
// Type bits of an owner-drawn pane text (the high byte of SB_SETTEXT's wParam).
const UINT kOwnerDrawPaneType = SBT_OWNERDRAW | SBT_POPOUT;

// lParam of WM_STATUSPANES: five 32-bit words (word 1 a pointer).
struct StatusPaneBlock {
  INT_PTR word0;  // ids pointer / pane index / tag
  INT_PTR word1;  // widths pointer / text pointer
  int32_t word2;  // count / update flag
  int32_t word3;  // background colour
  int32_t word4;  // text colour
};

// One per coloured pane; its address is the pane's text in the control.
struct OwnerDrawPane {
  int32_t background;  // negative: the menu colour
  int32_t textColor;   // negative: the window-text colour
  int32_t length;
  char text[1];
};

OwnerDrawPane* AllocOwnerDrawPane(const char* text, int background, int textColor);
void FreeOwnerDrawPane(OwnerDrawPane* block);
// Negative widths are numbers of characters: scaled to pixels in place.
void ScalePaneWidths(int* widths, int count);
// The character width ScalePaneWidths uses (computed once per process).
int PaneCharWidth();
// Subclasses the status bar once: from then on it owns the blocks it shows
// and frees each when its text is replaced, its part dropped or it is destroyed.
void WatchStatusBar(HWND statusBar);
// Live blocks, for tests that check none is lost.
int OwnerDrawPaneCount();
// The block the control shows in that part, or null.
OwnerDrawPane* OwnerDrawPaneOf(HWND statusBar, int part);
