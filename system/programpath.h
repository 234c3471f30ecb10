// The running program's own path and directory.
#pragma once

class CString;

// Full path of the program; empty text and 0 on failure (also when it does
// not fit).
int GetProgramPath(char* pszBuffer, int nSize);
int GetProgramPathW(wchar_t* pszBuffer, int nSize);
int GetProgramPathStr(CString& str);
// The program's directory with its trailing separator.
int GetProgramDirectory(char* pszBuffer, int nSize);
int GetProgramDirectoryW(wchar_t* pszBuffer, int nSize);
int GetProgramDirectoryStr(CString& str);
