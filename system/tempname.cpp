#include "system/tempname.h"

#include <windows.h>

#include <cstdlib>

#include "base/cstring.h"
#include "system/pathchars.h"
#include "system/pathparts.h"
#include "system/pathtype.h"
#include "system/programpath.h"
#include "system/wintwins.h"

using namespace pathchars;

namespace {

int ProgramDirectory(char* buf, int size) { return GetProgramDirectory(buf, size); }
int ProgramDirectory(wchar_t* buf, int size) { return GetProgramDirectoryW(buf, size); }
int CreateDirs(const char* path, int nDir) { return CreateDirectoryPathEx(path, nDir); }
int CreateDirs(const wchar_t* path, int nDir) { return CreateDirectoryPathExW(path, nDir); }

// Writes 8 hex digits (lowest 4 bits first) at buf + n that name no existing
// object; false after 65536 names in use.
template <class C>
bool AppendUniqueDigits(C* buf, int n) {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  DWORD v = ft.dwLowDateTime ^ GetTickCount() ^ (DWORD)std::rand() ^ ((DWORD)std::rand() << 16);
  for (int tries = 0; tries < 65536; ++tries, ++v) {
    for (int i = 0; i < 8; ++i) buf[n + i] = "0123456789ABCDEF"[(v >> (4 * i)) & 15];
    buf[n + 8] = 0;
    if (wintwins::FileAttributes(buf) == INVALID_FILE_ATTRIBUTES) return true;
  }
  return false;
}

// The name into buf; its length, or -1.
template <class C>
int BuildTempName(C* buf, int size, const C* const parts[4]) {
  int n, first = 0;
  if (uintptr_t(parts[0]) == TEMPNAME_PROGRAM_DIR) {
    n = ProgramDirectory(buf, size);
    if (n == 0 || n >= size - 1) return -1;
    first = 1;
  } else {
    if (size > 1024) size = 1024;
    DWORD t = wintwins::TempPath(buf, size);
    if (t == 0 || t >= (DWORD)size) return -1;
    n = (int)t;
  }

  bool bNoSep = false, bNameOnly = false;
  for (int k = first; k < 4; ++k) {
    const C* part = parts[k];
    uintptr_t marker = uintptr_t(part);
    if (marker <= TEMPNAME_PROGRAM_DIR) continue;  // absent
    if (marker == TEMPNAME_UNIQUE || marker == TEMPNAME_UNIQUE_SUFFIX) {
      if (marker == TEMPNAME_UNIQUE_SUFFIX && n > 0 && IsSep(buf[n - 1])) --n;
      if (n + 10 > size) return -1;
      if (!AppendUniqueDigits(buf, n)) return -1;
      n += 8;
      buf[n++] = '\\';
      continue;
    }
    if (marker == TEMPNAME_NAME_ONLY) {
      bNameOnly = bNoSep = true;
      continue;
    }

    if (bNameOnly) {
      part += NameStart(part, Length(part));
      bNameOnly = false;
    }
    if (*part == '*') {
      ++part;
      if (n > 0 && IsSep(buf[n - 1])) --n;
    }
    if (*part == '#') {
      ++part;
      if (n > 0 && IsSep(buf[n - 1])) --n;
      if (*part == '.') ++part;
      int start = NameStart(buf, n), dot = n;
      while (dot > start + 1 && buf[dot - 1] != '.') --dot;
      if (dot > start + 1) {
        n = dot;
      } else {  // no extension yet: the text becomes one
        if (n + 1 > size - 2) return -1;
        buf[n++] = '.';
      }
    }
    if (*part == '?') {
      ++part;
      bNoSep = true;
    }
    if (*part == '\\') ++part;
    if (*part == '/') ++part;
    for (; *part; ++part) {
      if (n + 1 > size - 2) return -1;
      buf[n++] = *part;
    }
    if (n == 0 || !IsSep(buf[n - 1])) {
      if (n + 1 > size - 1) return -1;
      buf[n++] = '\\';
    }
  }

  if (bNoSep && n > 0 && IsSep(buf[n - 1])) --n;
  return n;
}

template <class C>
int MakeTempFileNameT(C* buf, int size, const C* const parts[4], int* pnLength) {
  if (pnLength) *pnLength = 0;
  if (!buf || size < 1) return 0;
  int n = BuildTempName(buf, size, parts);
  if (n < 0) {
    buf[0] = 0;
    return 0;
  }
  buf[n] = 0;
  if (pnLength) *pnLength = n;
  return CreateDirs(buf, (n > 0 && IsSep(buf[n - 1])) ? 0 : CREATEDIR_PARENT);
}

}  // namespace

int MakeTempFileName(char* buf, int size, const char* p1, const char* p2, const char* p3, const char* p4,
                     int* pnLength) {
  const char* const parts[4] = {p1, p2, p3, p4};
  return MakeTempFileNameT(buf, size, parts, pnLength);
}

int MakeTempFileNameW(wchar_t* buf, int size, const wchar_t* p1, const wchar_t* p2, const wchar_t* p3,
                      const wchar_t* p4, int* pnLength) {
  const wchar_t* const parts[4] = {p1, p2, p3, p4};
  return MakeTempFileNameT(buf, size, parts, pnLength);
}

int MakeTempFileNameStr(CString& str, const char* p1, const char* p2, const char* p3, const char* p4, int* pnLength) {
  const int kSize = 1024;
  int n = 0;
  int result = MakeTempFileName(str.GetBuffer(kSize), kSize, p1, p2, p3, p4, &n);
  str.ReleaseBuffer(n);
  if (pnLength) *pnLength = n;
  return result;
}
