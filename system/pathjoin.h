// Separator conversion, joining a directory and a name, cutting a path to
// its parent.
#pragma once

class CString;

// In place: with chSep '/' or 0 every backslash becomes a slash, with any
// other value every slash a backslash. The path's length (0 for null).
int ConvertSeparators(char* pszPath, char chSep);
int ConvertSeparatorsW(wchar_t* pszPath, wchar_t chSep);
// The same while copying at most nSize - 1 characters; the length copied.
int CopyConvertSeparators(char* pszTarget, const char* pszSource, int nSize, char chSep);
int CopyConvertSeparatorsW(wchar_t* pszTarget, const wchar_t* pszSource, int nSize, wchar_t chSep);

// Directory (its first nDirLength characters, -1 for all), one backslash and
// the name; the new length, or 0 (target untouched) when it does not fit.
// The target may be the directory's own buffer.
int JoinPath(int nDirLength, char* pszTarget, const char* pszDir, const char* pszName, int nSize);
int JoinPathW(int nDirLength, wchar_t* pszTarget, const wchar_t* pszDir, const wchar_t* pszName, int nSize);
int JoinPathStr(CString& str, const char* pszName);  // str is the directory
int JoinPathStr(CString& str, const char* pszDir, const char* pszName);
int JoinPathStr(CString& str, const CString& strDir, const char* pszName);

// Cuts the path in place to its parent: "D:\dir\file" to "D:\dir", "D:\dir"
// to "D:\", "name" to empty text. The new length.
int CutToParent(int nLength, char* pszPath);
int CutToParentW(int nLength, wchar_t* pszPath);
int CutToParentStr(CString& str);
