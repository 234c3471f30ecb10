// Unique temporary names below the system's temporary directory or the
// program's directory, with their directories created.
#pragma once

#include <cstdint>

class CString;

// Values that stand in place of a text part of MakeTempFileName.
enum TempNameMarker {
  TEMPNAME_PROGRAM_DIR = 1,    // first part only: start in the program's directory
  TEMPNAME_UNIQUE = 2,         // a new component of 8 hex digits
  TEMPNAME_UNIQUE_SUFFIX = 3,  // 8 hex digits that extend the last component
  TEMPNAME_NAME_ONLY = 4,      // the next text contributes its file-name part; no trailing separator
};
inline const char* TempNamePart(TempNameMarker m) { return reinterpret_cast<const char*>(uintptr_t(m)); }
inline const wchar_t* TempNamePartW(TempNameMarker m) { return reinterpret_cast<const wchar_t*>(uintptr_t(m)); }

// Builds a name from a base directory and up to four parts (null, a marker
// or a text) and creates its directories: the whole name when it ends with
// a separator, else the part before its file-name part. A text may start
// with "*" (extend the last component), "#" (replace the last component's
// extension) and "?" (end without a separator), in that order.
// Result: 0 failure, 1 created, 2 existed (see CreateDirectoryPathEx).
int MakeTempFileName(char* pszBuffer, int nSize, const char* pszPart1, const char* pszPart2 = nullptr,
                     const char* pszPart3 = nullptr, const char* pszPart4 = nullptr, int* pnLength = nullptr);
int MakeTempFileNameW(wchar_t* pszBuffer, int nSize, const wchar_t* pszPart1, const wchar_t* pszPart2 = nullptr,
                      const wchar_t* pszPart3 = nullptr, const wchar_t* pszPart4 = nullptr, int* pnLength = nullptr);
// The same into a string of up to 1024 characters.
int MakeTempFileNameStr(CString& str, const char* pszPart1, const char* pszPart2 = nullptr,
                        const char* pszPart3 = nullptr, const char* pszPart4 = nullptr, int* pnLength = nullptr);
