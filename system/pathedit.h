// Building a new path from an old one: extension, file name, base name and
// directory part replaced.
//
// Each routine takes (source length or -1, target, source, new text ...,
// target size in characters) and may work in place (target == source). The
// result always fits into size - 1 characters and is terminated; a size
// below 1 gives 0 and writes nothing. The result is the new length.
//
// The framework-string forms work in place on the string, or fill it from a
// text or another string.
#pragma once

class CString;

// Inserts "." and the extension before the path's last dot, or appends it:
// "a.txt" with "bak" gives "a.bak.txt". "*.bak", ".bak" and "bak" are the same.
// A result that does not fit leaves the source, cut to size - 1.
int InsertExtension(int nSrcLength, char* pszTarget, const char* pszSrc, const char* pszExt, int nSize);
int InsertExtensionW(int nSrcLength, wchar_t* pszTarget, const wchar_t* pszSrc, const wchar_t* pszExt, int nSize);
int InsertExtensionStr(CString& str, const char* pszExt);
int InsertExtensionStr(CString& str, const char* pszSrc, const char* pszExt);
int InsertExtensionStr(CString& str, const CString& strSrc, const char* pszExt);

// Replaces the extension with its dot; an empty extension removes it.
int ReplaceExtension(int nSrcLength, char* pszTarget, const char* pszSrc, const char* pszExt, int nSize);
int ReplaceExtensionW(int nSrcLength, wchar_t* pszTarget, const wchar_t* pszSrc, const wchar_t* pszExt, int nSize);
int ReplaceExtensionStr(CString& str, const char* pszExt);
int ReplaceExtensionStr(CString& str, const char* pszSrc, const char* pszExt);
int ReplaceExtensionStr(CString& str, const CString& strSrc, const char* pszExt);

// Keeps the directory part and puts the name (nNameLength characters, -1 up
// to its NUL) after it; cut to fit.
int ReplaceFileNamePart(int nSrcLength, char* pszTarget, const char* pszSrc, const char* pszName, int nNameLength,
                        int nSize);
int ReplaceFileNamePartW(int nSrcLength, wchar_t* pszTarget, const wchar_t* pszSrc, const wchar_t* pszName,
                         int nNameLength, int nSize);
int ReplaceFileNamePartStr(CString& str, const char* pszName, int nNameLength = -1);
int ReplaceFileNamePartStr(CString& str, const char* pszSrc, const char* pszName, int nNameLength = -1);
int ReplaceFileNamePartStr(CString& str, const CString& strSrc, const char* pszName, int nNameLength = -1);

// Replaces the file name up to its last dot, keeping the dot and extension.
// A result that does not fit leaves the target as it was and gives the
// source's length.
int ReplaceBaseName(int nSrcLength, char* pszTarget, const char* pszSrc, const char* pszText, int nTextLength,
                    int nSize);
int ReplaceBaseNameW(int nSrcLength, wchar_t* pszTarget, const wchar_t* pszSrc, const wchar_t* pszText, int nTextLength,
                     int nSize);
int ReplaceBaseNameStr(CString& str, const char* pszText, int nTextLength = -1);
int ReplaceBaseNameStr(CString& str, const char* pszSrc, const char* pszText, int nTextLength = -1);
int ReplaceBaseNameStr(CString& str, const CString& strSrc, const char* pszText, int nTextLength = -1);

// Puts the path's file-name part under another directory. A result that
// does not fit leaves the target as it was and gives the source's length.
int ReplaceDirectoryPart(int nSrcLength, char* pszTarget, const char* pszSrc, const char* pszDir, int nDirLength,
                         int nSize);
int ReplaceDirectoryPartW(int nSrcLength, wchar_t* pszTarget, const wchar_t* pszSrc, const wchar_t* pszDir,
                          int nDirLength, int nSize);
int ReplaceDirectoryPartStr(CString& str, const char* pszDir, int nDirLength = -1);
int ReplaceDirectoryPartStr(CString& str, const char* pszSrc, const char* pszDir, int nDirLength = -1);
int ReplaceDirectoryPartStr(CString& str, const CString& strSrc, const char* pszDir, int nDirLength = -1);
