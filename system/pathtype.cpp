#include "system/pathtype.h"

#include <windows.h>

#include "system/pathchars.h"
#include "system/wintwins.h"

using namespace pathchars;

namespace {

using wintwins::FullPath;
using wintwins::kMaxPath;

// The drive of a "X:" prefix exists.
template <class C>
bool DrivePresent(C letter) {
  unsigned c = (unsigned)letter;
  if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
  if (c < 'A' || c > 'Z') return false;
  return (GetLogicalDrives() >> (c - 'A')) & 1;
}

template <class C>
int GetPathTypeT(const C* p) {
  if (!p) return PATHTYPE_NONE;
  if (p[0] && p[1] == ':') {
    if (!DrivePresent(p[0])) return PATHTYPE_NONE;
    if (IsSep(p[2]) && !p[3]) return PATHTYPE_DRIVE_ROOT;
    if (!p[2]) {
      // "X:" names the drive's current directory.
      C full[kMaxPath];
      return FullPath(p, full) == 3 ? PATHTYPE_DRIVE_ROOT : PATHTYPE_DIRECTORY;
    }
  }
  DWORD attrs = wintwins::FileAttributes(p);
  if (attrs == INVALID_FILE_ATTRIBUTES) return PATHTYPE_NONE;
  return (attrs & FILE_ATTRIBUTE_DIRECTORY) ? PATHTYPE_DIRECTORY : PATHTYPE_FILE;
}

template <class C>
int CreateDirectoryPathExT(const C* path, int nDir) {
  if (!path) return CREATEDIR_FAILED;
  if (path[0] && path[1] == ':' && !DrivePresent(path[0])) return CREATEDIR_FAILED;
  C full[kMaxPath];
  int n = FullPath(path, full);
  if (n == 0) return CREATEDIR_FAILED;
  if (n == 3 && full[1] == ':' && IsSep(full[2])) return CREATEDIR_EXISTED;
  if (nDir > 0) {
    int nPath = Length(path);
    if (nDir == CREATEDIR_PARENT) nDir = NameStart(path, nPath);
    int drop = nPath > nDir ? nPath - nDir : 0;
    if (drop >= n) return CREATEDIR_FAILED;
    n -= drop;
    full[n] = 0;
  }
  if (IsSep(full[n - 1])) full[--n] = 0;

  // The first component (the drive, or the share of a network path) is
  // never created; first is the index of the separator behind it.
  int first = 0;
  if (IsSep(full[0]) && IsSep(full[1])) {
    first = 2;
    while (full[first] && !IsSep(full[first])) ++first;  // the server
    if (!full[first]) return CREATEDIR_EXISTED;
    ++first;
  }
  while (full[first] && !IsSep(full[first])) ++first;

  DWORD attrs = wintwins::FileAttributes(full);
  if (attrs != INVALID_FILE_ATTRIBUTES)
    return (attrs & FILE_ATTRIBUTE_DIRECTORY) ? CREATEDIR_EXISTED : CREATEDIR_FAILED;

  bool bMissing = false;
  for (int i = first; full[i];) {
    int j = i + 1;
    while (full[j] && !IsSep(full[j])) ++j;
    if (j == i + 1) return CREATEDIR_FAILED;  // two separators in a row
    C save = full[j];
    full[j] = 0;
    if (!bMissing) bMissing = wintwins::FileAttributes(full) == INVALID_FILE_ATTRIBUTES;
    if (bMissing && !wintwins::MakeDirectory(full) && GetLastError() != ERROR_ALREADY_EXISTS) return CREATEDIR_FAILED;
    full[j] = save;
    i = j;
  }
  return CREATEDIR_CREATED;
}

}  // namespace

int GetPathType(const char* path) { return GetPathTypeT(path); }
int GetPathTypeW(const wchar_t* path) { return GetPathTypeT(path); }
int CreateDirectoryPath(const char* path) { return CreateDirectoryPathExT(path, 0); }
int CreateDirectoryPathW(const wchar_t* path) { return CreateDirectoryPathExT(path, 0); }
int CreateDirectoryPathEx(const char* path, int nDir) { return CreateDirectoryPathExT(path, nDir); }
int CreateDirectoryPathExW(const wchar_t* path, int nDir) { return CreateDirectoryPathExT(path, nDir); }
