// Private messages between frames, views and control bars.
#pragma once

#include <windows.h>

#define WM_SIZEPARENT 0x0361        // lParam AFX_SIZEPARENTPARAMS*: a bar takes its part of the frame
#define WM_SETMESSAGESTRING 0x0362  // wParam string id or lParam text for the status bar; result the last id
#define WM_INITIALUPDATE 0x0364     // the frame's views make their first update
#define WM_POPMESSAGESTRING 0x0375  // like WM_SETMESSAGESTRING, but back to idle when wParam is 0

// The frame's client area during a layout: each bar takes its strip and
// moves itself (hDWP) unless the layout is only asked for (hDWP null).
struct AFX_SIZEPARENTPARAMS {
  HDWP hDWP;
  RECT rect;       // what is left for the next bar
  SIZE sizeTotal;  // what the bars took
  BOOL bStretch;   // bars take the whole width (height)
};
