// Window rectangles in the coordinates that dialog layout needs, and
// absolute or relative moves and resizes.
#pragma once

#include "mfc/mfc.h"

// SetWindowPos flags of the moves and of the resizes.
const UINT kMoveWindowFlags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER;    // 0x205
const UINT kResizeWindowFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER;  // 0x206

// The rectangle of the monitor that holds most of prc; (0, 0) and the
// primary screen's size when no monitor meets it or the query fails.
void GetMonitorRectOfRect(const RECT* prc, RECT* pMonitor);

// The real parent of a child window; NULL for top-level windows, owned
// pop-ups included (GetParent would answer their owner).
HWND GetRealParent(HWND hwnd);

// Top-left corner of the window rectangle in screen coordinates.
CPoint GetWindowTopLeft(const CWnd* pWnd);
// The window rectangle in the parent's client coordinates; 0 without a
// parent (the rectangle then stays in screen coordinates).
int GetWindowRectInParent(HWND hwnd, RECT* prc);
// A dialog item's window rectangle in the dialog's client coordinates; 0 when
// the dialog or the item is missing.
int GetDlgItemRectInParent(const CWnd* pDlg, int id, RECT* prc);
// Moves and sizes item id onto the rectangle of item refId; 0 when the dialog
// or either item is missing.
int MoveDlgItemToItemRect(const CWnd* pDlg, int id, int refId);
// To (x, y), or by (x, y) from the current place when relative.
BOOL MoveWindowTo(HWND hwnd, int x, int y, BOOL relative);
// To the size (cx, cy), or grown by (cx, cy) when relative.
BOOL ResizeWindowTo(HWND hwnd, int cx, int cy, BOOL relative);
