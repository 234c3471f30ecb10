// Popups of a caller's own on the main window's menu bar: inserted as
// copies that the frame draws with icons when they open, and removed with
// the blocks of their items.
#pragma once

#include <windows.h>

// Item data of a popup that InsertMenuItemWithIcon made; its removal
// destroys it.
const ULONG_PTR kOwnMenuPopupData = 0xFF55AA88;

// Removes the bar's popup whose item id is menuId; 0 when there is none.
BOOL RemoveMenuItemsOwnerDraw(UINT menuId);
// Puts a copy of popup's items on the bar at position (negative or past
// the end: last), under the text and item id menuId, in place of an
// earlier one of that id. 0 without a main window or menu, or when the
// insertion fails.
BOOL InsertMenuItemWithIcon(UINT menuId, HMENU popup, LPCSTR text, int position);
// Sends the message to the main window (lParam 0); 0 without one.
LRESULT SendToMainWnd(UINT message, WPARAM wParam);
