// Middle-button auto-scroll: an origin mark where the button went down, a
// cursor showing the direction, and a worker that scrolls the window every
// 200 ms by a speed that grows with the mouse's distance from the origin.
#pragma once

#include "mfc/mfc.h"

// Axes of a run.
const int kAutoScrollHorizontal = 1;
const int kAutoScrollVertical = 2;
const int kAutoScrollBoth = 3;
// Child id of the origin mark; time between two scroll steps.
const int kAutoScrollMarkId = 65535;
const DWORD kAutoScrollInterval = 200;
// Pixels round the origin in which nothing scrolls.
const int kAutoScrollDeadZone = 20;

// Direction for the mouse at (dx, dy) from the origin: horizontal * 3 +
// vertical, each digit 0 none, 1 right or down, 2 left or up.
int AutoScrollDirection(int dx, int dy, int axes);
// Scroll step for that offset: |dx >> 4| + |dy >> 4| over the axes used.
int AutoScrollSpeed(int dx, int dy, int axes);

// Runs an auto-scroll from (x, y) in the window's client area until a
// click, a key, focus or capture loss. The window answers WM_HSCROLL and
// WM_VSCROLL with SB_THUMBTRACK and SB_THUMBPOSITION; its positions are read
// from its standard bars or those GetScrollBarCtrl returns. 1 after a run, 0
// when it cannot start (no window, axes not 1-3, another run under way).
int StartAutoScroll(CWnd* pWnd, int x, int y, int axes);
