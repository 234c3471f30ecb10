// Root names of .reg files: the long names the files carry and the short
// ones users type.
#pragma once

#include <windows.h>

#include <string>

// Access bits every key of an export or import is opened with: the 64-bit
// view, as everywhere else in the program.
const REGSAM kRegFileView = KEY_WOW64_64KEY;

// Finds the root at the start of a path ("HKEY_CURRENT_USER", "HKCU", any
// case) followed by a backslash or the end. Returns the root, its long name
// in *ppszLongName and the characters to skip (including the backslash) in
// *pnSkip; null when the path names no root.
HKEY RegFileParseRoot(const wchar_t* pszPath, size_t nLength, const wchar_t** ppszLongName, size_t* pnSkip);

// The key of a root of the parse step (RegFileRoot).
HKEY RegFileRootKey(int nRoot);

// The path of the program's key text (CP_ACP) as UTF-16.
std::wstring RegFileWiden(const char* psz, UINT codePage = CP_ACP);
