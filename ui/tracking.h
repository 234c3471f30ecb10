// Modal mouse-tracking loops that draw an inverted bar or frame on the
// screen while the user drags: splitters, resized and moved rectangles.
// All rectangles and points are in screen coordinates.
#pragma once

#include "mfc/mfc.h"

// TrackSplitter modes; any mode but these moves a vertical bar sideways.
const int kSplitterHorizontal = 0;  // a horizontal bar moved up and down
const int kSplitterVertical = 1;
const int kSplitterCross = 2;  // both bars: positions and result pack x low, y high (signed 16 bits)
// Grab and offset value that asks for the default.
const int kTrackDefault = 12345;

// Drags a splitter bar inside the area; answers how far it moved, 0 when
// cancelled, not started or back where it began.
int TrackSplitter(CWnd* pWnd, int mode, const RECT* area, int position, int grabX, int grabY, int barWidth,
                  int lineWidth, int offset);
// Resizes the rectangle by the border part under (x, y) (no band, 20-pixel
// corners); a negative minimum keeps that axis's edges. 1 with the new
// rectangle stored, else 0.
int TrackRect(CWnd* pWnd, RECT* prc, int x, int y, int minWidth, int minHeight);
// Moves a frame of the rectangle with the mouse from (grabX, grabY); the
// offset moved, (0, 0) when cancelled.
CSize TrackMoveRect(CWnd* pWnd, const RECT* prc, int grabX, int grabY);
