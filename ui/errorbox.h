// The box for a failed system call: the caller's text, the Win32 error code
// in decimal and hexadecimal, and the system's message for it.
#pragma once

#include <windows.h>

#include "base/cstring.h"

// code (DWORD)-1 takes the thread's last error. The text is cut at 896
// characters.
CString FormatWin32Error(const char* text, DWORD code);
// Shown over the main window, titled "Fehler"; type gives the buttons
// (MB_OK...). Returns the button chosen.
int ShowWin32Error(const char* text, DWORD code, UINT type = MB_OK);
