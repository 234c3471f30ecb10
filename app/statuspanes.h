// The status-pane service of the main frame: its messages and the
// owner-drawn pane block (WM_STATUSPANES itself is in ui/statuspanemsg.h).
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdint>

#include "ui/statuspanemsg.h"

const UINT WM_DRAWSTATUSPANE = 0x523;
const UINT WM_MENUITEMDATA = 0x5E96;
const UINT WM_SETPANETEXTBYID = 0x69EE;

const LRESULT kPaneServiceMarker = 0x12345678;

const int kMaxStatusPanes = 32;  // the tag table
const int kMaxOwnPanes = 8;      // placed by one SetPanes or InsertPanes
const int kMaxOtherPanes = 24;   // every pane but those of SetPanes
const int kDefaultPaneWidth = 50;
const int kIndicatorCount = 3;
// Type bits of an owner-drawn pane text (the high byte of SB_SETTEXT's wParam).
const UINT kOwnerDrawPaneType = SBT_OWNERDRAW | SBT_POPOUT;

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
