// What would look broken in a window of Ostrova.exe on any display and with
// any font size, read from outside: a shown control that reaches out of its
// parent's client area, two shown controls over each other.
#pragma once

#include <windows.h>

#include <string>

// The problems of a dialog, or of the frame with its view and panes, one a
// line; "" when it is laid out. Other windows have none.
std::string LayoutProblems(HWND window);
