// A pop-up list: a hidden pop-up frame holding a sorted list box, its own
// vertical scroll bar and a size grip, used as an autocompletion list. The
// owner sends list-box messages to the frame and gets the list's
// notifications as WM_COMMAND with the frame's id and the list box handle.
#pragma once

#include <windows.h>

// Child ids of the list box and the scroll bar inside the frame.
const int kPopupListBoxId = 4681;
const int kPopupListScrollBarId = 4680;
// Styles always given to the frame: WS_POPUP, WS_CLIPCHILDREN, SS_NOTIFY
// and SS_BLACKRECT.
const DWORD kPopupListFrameStyle = 0x82000104;

// Private messages of the frame: LB_ADDSTRING and LB_INSERTSTRING under
// numbers of their own, for posted strings.
const UINT kPopupListAddString = 0x17E;
const UINT kPopupListInsertString = 0x17F;
// List-box messages the frame passes to its list box.
const UINT kPopupListFirstMessage = 0x17E;
const UINT kPopupListLastMessage = 0x1A6;

// A wParam whose bits 16-30 hold this marker says that lParam is a string
// on the process heap that the frame frees once the list box has copied it
// (adds, inserts, deletes, reset and LB_SETCURSEL). Such a wParam carries a
// 16-bit index in its low word, bit 31 its sign: see PopupListMarkedIndex.
const DWORD kPopupListStringMarker = 0x12340000;
const DWORD kPopupListMarkerMask = 0x7FFF0000;

// The marked wParam for an index from -32768 to 32767 (-1: at the end).
inline WPARAM PopupListMarkedIndex(int index) {
  return (WPARAM)(((DWORD)index & 0xFFFF) | kPopupListStringMarker | (index < 0 ? 0x80000000u : 0));
}

// Creates the hidden frame with its children on the rectangle (screen
// coordinates, cut to its monitor's top and bottom; NULL: size 0); the
// frame's style is style | kPopupListFrameStyle. NULL when it cannot.
HWND CreatePopupList(DWORD exStyle, DWORD style, const RECT* prc, HWND hwndParent, int id);

// Posts a heap copy of the text to the frame: added at its sorted place, or
// inserted at the index when insert is set. Any thread may call it; FALSE,
// with the copy freed, when it cannot.
BOOL PostPopupListString(HWND hwndFrame, const char* text, BOOL insert = FALSE, int index = -1);
