// Path text without the file system: collapsing "." and "..", joining,
// relative paths. '\' and '/' both separate and are copied as they stand.
// Sizes count the terminator; results are the output's length, or -1 with
// the output emptied.
#pragma once

class CString;

// The input may be the output buffer itself.
int CanonicalizePath(char* pszOut, const char* pszIn, int nSize);
int CanonicalizePathW(wchar_t* pszOut, const wchar_t* pszIn, int nSize);
int CanonicalizePathN(char* pszOut, const char* pszIn, int nSize, int nInLength);
int CanonicalizePathNW(wchar_t* pszOut, const wchar_t* pszIn, int nSize, int nInLength);

// The relative path is appended to the base with one separator between them
// and the whole normalised; a relative path with its own root stands alone.
int JoinCanonicalPath(char* pszOut, const char* pszBase, int nSize, int nBaseLength, const char* pszRel,
                      int nRelLength);
int JoinCanonicalPathW(wchar_t* pszOut, const wchar_t* pszBase, int nSize, int nBaseLength, const wchar_t* pszRel,
                       int nRelLength);

// The to-path relative to the from-directory (a last component without a
// separator counts as a directory); at least nMinShared leading components
// must agree, without regard to case.
int MakeRelativePath(char* pszOut, const char* pszFrom, const char* pszTo, int nSize, int nMinShared);
int MakeRelativePathW(wchar_t* pszOut, const wchar_t* pszFrom, const wchar_t* pszTo, int nSize, int nMinShared);

// The relative path based on the base; ".." never climbs above the base's
// first nProtected levels.
int ResolveRelativePath(char* pszOut, const char* pszBase, const char* pszRel, int nSize, int nProtected);
int ResolveRelativePathW(wchar_t* pszOut, const wchar_t* pszBase, const wchar_t* pszRel, int nSize, int nProtected);

// On the string: on failure it is left empty.
int CanonicalizePathStr(CString& str);
int CanonicalizePathToStr(CString& strOut, const char* pszIn);
int CanonicalizePathNToStr(CString& strOut, const char* pszIn, int nInLength);
int MakeRelativePathStr(CString& strOut, const char* pszFrom, const char* pszTo, int nMinShared);
int ResolveRelativePathStr(CString& strOut, const char* pszBase, const char* pszRel, int nProtected);
