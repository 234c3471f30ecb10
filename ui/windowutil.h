// Small services around windows: the deepest child under a point, list and
// combo boxes filled from text, the foreground from another thread, and a
// console for standard output.
#pragma once

#include "mfc/mfc.h"

// The deepest window under the screen point, going down from the parent (NULL:
// the top-level windows) through the first child in Z order that holds it;
// the parent itself when no child does.
HWND ChildWindowFromScreenPoint(POINT pt, HWND parent, BOOL visibleOnly);
CWnd* ChildCWndFromScreenPoint(POINT pt, CWnd* pParent, BOOL visibleOnly);

// Adds the pieces of list (split at separator, or a double-NUL list for 0)
// to a list or combo box, empty pieces skipped and each cut to 255
// characters; clear empties the box first. The selected text stays selected
// when it is still there. Answers the number of items added.
int FillListFromString(HWND box, const char* list, char separator, BOOL clear);
// Puts text at the top of a list or combo box and removes its other copies
// and every item beyond maxCount behind it; the top item is selected when
// the box had a selection.
int InsertListItemMru(HWND box, const char* text, int maxCount, BOOL caseSensitive);

// Brings the window to the front, also when another thread owns the
// foreground; callable from any thread.
void ForceForegroundWindow(HWND hwnd);
// Gives the process a console and points standard output at it, once.
int AttachConsoleStdout();
