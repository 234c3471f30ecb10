// Width and height changes of the library's template dialogs and moving
// their controls.
#pragma once

#include <windows.h>

// Marks a width or height change that gives the new size (low 16 bits)
// rather than a difference.
const DWORD kDlgSizeAbsoluteMark = 0x1234;

// The change in pixels of a window of size pixels for a change in nominal
// units of a template nominal pixels wide: for 0x1234nnnn the new size nnnn,
// else change added. Scales with the real size, so with the dialog font.
int DlgSizeChangePixels(int size, LONG change, int nominal);

// Moves the control id of dialog by dx, dy and grows it by dcx, dcy.
void MoveDlgItemBy(HWND dialog, int id, int dx, int dy, int dcx = 0, int dcy = 0);
// The control's rectangle in the dialog's client coordinates.
RECT DlgItemRect(HWND dialog, int id);

// Places OK (and Cancel beside it when two) centred across the client area
// with their tops at top, keeping their sizes and the gap between them.
void CenterDlgButtons(HWND dialog, bool two, int top);

// Keeps a rectangle being dragged by side (WMSZ_...) at least minimum in
// size, moving the edge that is dragged.
void KeepSizingMinimum(UINT side, RECT* rect, SIZE minimum);

// Places a choice dialog of the window rectangle window: at the remembered
// position (NULL: none) when it lies on the screen, at the remembered size
// (cx 0: none) or else grown by the width and height changes, never below
// minimum. Hides Cancel without cancel.
void PlaceChoiceDlg(HWND dialog, const RECT& window, const POINT* rememberedPos, SIZE rememberedSize, LONG widthChange,
                    LONG heightChange, SIZE minimum, bool cancel);
