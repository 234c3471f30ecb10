// The library's message box of Ostrova.exe read from outside: its text lines
// live in a "ColorListBox" whose LB_GETTEXT brings nothing back across
// processes, so the texts are read from the program's memory.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The lines of the box's text, in order; empty when the box has no text control.
std::vector<std::string> MsgBoxLines(HANDLE process, HWND box);
