// What the members of the subclass family share.
#pragma once

#include <windows.h>

namespace ce {

// Answers WM_CE_ATTACH and WM_CE_DETACH for the member self; true when msg
// was one of them.
bool AttachMessage(HWND hwnd, UINT msg, LPARAM lParam, WNDPROC self, LRESULT* result);
// The same for a combo box member that also attaches childProc to its edit.
bool AttachWithEdit(HWND combo, UINT msg, LPARAM lParam, WNDPROC self, WNDPROC childProc, LRESULT* result);
// Passes the message to the procedure the window chains to.
LRESULT Chain(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The edit of a combo box, or NULL.
HWND ComboEdit(HWND combo);
// WM_COMMAND (id, code) with the reporting window.
WPARAM CommandWord(HWND control, UINT code);

}  // namespace ce
