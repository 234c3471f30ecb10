// Texts of the program's string table and their "\n"-separated parts
// (a command's string holds its status-bar prompt, a line feed and its tooltip).
#pragma once

#include <windows.h>

#include "base/cstring.h"

// The string of that id from the program's string table (the resource
// module's, else the program's); false and rString empty when there is none.
bool AfxLoadString(CString& rString, UINT nID);

// The iSubString-th part of lpszFullString, the parts separated by chSep;
// FALSE (and rString empty) when the text has fewer parts.
BOOL AfxExtractSubString(CString& rString, LPCSTR lpszFullString, int iSubString, char chSep = '\n');
