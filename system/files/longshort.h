// Paths in the form the file system stores: each existing component by its
// long name as listed, or by its 8.3 alias; a tail that does not exist stays
// as written.
#pragma once

class CString;

// Length of the converted path; 0 (output empty) on failure.
int ToLongPathA(char* pszOut, const char* pszPath, int nSize);
int ToLongPathW(wchar_t* pszOut, const wchar_t* pszPath, int nSize);
int ToShortPathA(char* pszOut, const char* pszPath, int nSize);
int ToShortPathW(wchar_t* pszOut, const wchar_t* pszPath, int nSize);
// The path may be the string's own text.
int ToLongPathStr(CString& strOut, const char* pszPath);
int ToShortPathStr(CString& strOut, const char* pszPath);
