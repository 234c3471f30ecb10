// Taking paths apart: extension, file-name part, base name, directory part,
// drive letter, root and prefix lengths, trailing separator.
//
// Backslash and slash both separate components; a colon ends a drive prefix
// and counts as a separator where the file-name part is looked for. A length
// argument below 0 means "up to the NUL". Copying forms take the target's
// size in characters (NUL included); a part that does not fit leaves empty
// text and gives 0. Heap forms return a block from new[] for delete[].
#pragma once

class CString;

// Pointer to the first character after the extension's dot, or to the end of
// the path when there is none (length 0). A dot that starts the name is no
// extension dot (".profile" has none).
const char* FindExtension(int nLength, const char* pszPath, int* pnExtLength = nullptr);
const wchar_t* FindExtensionW(int nLength, const wchar_t* pszPath, int* pnExtLength = nullptr);
inline char* FindExtension(int nLength, char* pszPath, int* pnExtLength = nullptr) {
  return const_cast<char*>(FindExtension(nLength, const_cast<const char*>(pszPath), pnExtLength));
}
inline wchar_t* FindExtensionW(int nLength, wchar_t* pszPath, int* pnExtLength = nullptr) {
  return const_cast<wchar_t*>(FindExtensionW(nLength, const_cast<const wchar_t*>(pszPath), pnExtLength));
}
int GetExtension(char* pszTarget, int nLength, const char* pszPath, int nSize);
int GetExtensionW(wchar_t* pszTarget, int nLength, const wchar_t* pszPath, int nSize);
int GetExtensionStr(CString& str, const char* pszPath);

// The part after the last backslash, slash or colon.
const char* FindFileNamePart(int nLength, const char* pszPath, int* pnNameLength = nullptr);
const wchar_t* FindFileNamePartW(int nLength, const wchar_t* pszPath, int* pnNameLength = nullptr);
inline char* FindFileNamePart(int nLength, char* pszPath, int* pnNameLength = nullptr) {
  return const_cast<char*>(FindFileNamePart(nLength, const_cast<const char*>(pszPath), pnNameLength));
}
inline wchar_t* FindFileNamePartW(int nLength, wchar_t* pszPath, int* pnNameLength = nullptr) {
  return const_cast<wchar_t*>(FindFileNamePartW(nLength, const_cast<const wchar_t*>(pszPath), pnNameLength));
}
int GetFileNamePart(char* pszTarget, int nLength, const char* pszPath, int nSize);
int GetFileNamePartW(wchar_t* pszTarget, int nLength, const wchar_t* pszPath, int nSize);
int GetFileNameStr(CString& str, const char* pszPath);
// Index of the file-name part; the whole NUL-terminated path counts, the
// length is not used.
int GetFileNameOffset(int nLength, const char* pszPath);
int GetFileNameOffsetW(int nLength, const wchar_t* pszPath);

// The file-name part without its extension and dot.
int GetBaseName(char* pszTarget, int nLength, const char* pszPath, int nSize);
int GetBaseNameW(wchar_t* pszTarget, int nLength, const wchar_t* pszPath, int nSize);
char* GetBaseNameAlloc(int nLength, const char* pszPath, int* pnLength = nullptr);
wchar_t* GetBaseNameAllocW(int nLength, const wchar_t* pszPath, int* pnLength = nullptr);
int GetBaseNameStr(CString& str, const char* pszPath);  // at most 259 characters

// Everything before the file-name part, its separator included.
int GetDirectoryPart(char* pszTarget, int nLength, const char* pszPath, int nSize);
int GetDirectoryPartW(wchar_t* pszTarget, int nLength, const wchar_t* pszPath, int nSize);
char* GetDirectoryPartAlloc(int nLength, const char* pszPath, int* pnLength = nullptr);
wchar_t* GetDirectoryPartAllocW(int nLength, const wchar_t* pszPath, int* pnLength = nullptr);
int MakeDirectoryStr(CString& str, const char* pszPath);

// The directory part of the path's full path, trailing separator included.
// A full path longer than 259 characters is a failure (empty text, 0).
int GetFullDirectory(char* pszTarget, const char* pszPath, int nSize);
int GetFullDirectoryW(wchar_t* pszTarget, const wchar_t* pszPath, int nSize);
char* GetFullDirectoryAlloc(const char* pszPath, int* pnLength = nullptr);
wchar_t* GetFullDirectoryAllocW(const wchar_t* pszPath, int* pnLength = nullptr);
int MakeFullDirectoryStr(CString& str, const char* pszPath);  // pszPath may be str itself

// Drive letter in upper case: from a "X:" prefix, else from the full path;
// -1 for a character above 'Z' (a UNC path), 0 when there is no full path.
int GetDriveLetter(const char* pszPath);
int GetDriveLetterW(const wchar_t* pszPath);

// "\\server\share" has the root "\\server", "D:\x" the root "D:", "D:\\x"
// the root "D:\"; a relative or rooted path without drive has none.
int GetPathRootLength(const char* pszPath);
int GetPathRootLengthW(const wchar_t* pszPath);
// Length of the first nCount components (a root counts as one), trailing
// separator included: "D:\a\b" gives 3 for 1, 5 for 2.
int GetPathPrefixLength(const char* pszPath, int nCount);
int GetPathPrefixLengthW(const wchar_t* pszPath, int nCount);

enum PathRootKind {
  PATHROOT_RELATIVE = 0,
  PATHROOT_ROOTED = 1,          // "\x"
  PATHROOT_DRIVE_RELATIVE = 2,  // "D:x"
  PATHROOT_DRIVE_ROOT = 3,      // "D:\x"
  PATHROOT_NETWORK = 4,         // "\\x"
};
int GetPathRootKind(const char* pszPath);
int GetPathRootKindW(const wchar_t* pszPath);

// Index of the first backslash, slash or colon, or of the NUL.
int FindFirstSeparator(const char* pszPath);
int FindFirstSeparatorW(const wchar_t* pszPath);

// The appending routines write behind the text: the caller leaves room for
// one more character and the NUL. They return the new length.
int AppendBackslash(char* pszPath, int nLength = -1);
int AppendBackslashW(wchar_t* pszPath, int nLength = -1);
int AppendSeparator(char chSep, char* pszPath, int nLength = -1);
int AppendSeparatorW(wchar_t chSep, wchar_t* pszPath, int nLength = -1);
void RemoveTrailingBackslash(char* pszPath, int nLength = -1);
void RemoveTrailingBackslashW(wchar_t* pszPath, int nLength = -1);
int EndsWithSeparator(const char* pszPath, int nLength = -1);
int EndsWithSeparatorW(const wchar_t* pszPath, int nLength = -1);
int AppendBackslashStr(CString& str);
int AppendSeparatorStr(CString& str, char chSep);
int RemoveTrailingBackslashStr(CString& str);
