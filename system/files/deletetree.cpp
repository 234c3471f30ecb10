#include <string>

#include "system/deletefile.h"
#include "system/files/filetwins.h"
#include "system/files/filewalk.h"
#include "system/files/walkhelpers.h"

namespace {

const int kPathSize = 260;
const int64_t kUnitsPerSecond = 10000000;

inline int DeleteForce(const char* p) { return DeleteFileForce(p); }
inline int DeleteForce(const wchar_t* p) { return DeleteFileForceW(p); }

// What is deleted besides directories: every file, or old files that match.
template <class C>
struct OldFiles {
  bool active;
  uint64_t age;  // 100-ns units
  const C* list;
  uint64_t reference;
};

inline HANDLE OpenLink(const char* p) {
  return CreateFileA(p, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}
inline HANDLE OpenLink(const wchar_t* p) {
  return CreateFileW(p, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// A link (attribute 0x400) is removed as a link, opened as itself: a delete
// by name may reach through it (Wine's does) and its target must stay whole.
template <class C>
bool RemoveLink(const C* path) {
  HANDLE h = OpenLink(path);
  if (h == INVALID_HANDLE_VALUE) return false;
  FILE_DISPOSITION_INFO info = {TRUE};
  BOOL ok = SetFileInformationByHandle(h, FileDispositionInfo, &info, sizeof info);
  CloseHandle(h);
  return ok != 0;
}

template <class C>
int Delete(const C* dir, int mode, const OldFiles<C>& old) {
  if (!dir || !dir[0]) return 0;
  std::basic_string<C> path(dir);
  if (!walkhelpers::IsSep(path.back())) path += (C)'\\';
  if ((int)path.size() + 1 >= kPathSize) return 0;
  const size_t dirLength = path.size();
  path += (C)'*';
  typename wintwins::FindData<C>::Type fd;
  HANDLE h = wintwins::FindFirst(path.c_str(), &fd);
  path.resize(dirLength);
  if (h == INVALID_HANDLE_VALUE) return mode == DELTREE_ALL ? (wintwins::RemoveDir(path.c_str()) ? 1 : 0) : 1;
  int result = 1;
  do {
    if (walkhelpers::IsDotEntry(fd.cFileName)) continue;
    path.resize(dirLength);
    path += fd.cFileName;
    if ((int)path.size() >= kPathSize) {
      result = 0;
      continue;
    }
    const DWORD linkDir = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if ((fd.dwFileAttributes & linkDir) == linkDir) {
      // A link is never entered. It goes as a directory would, except in an
      // old-files sweep, which removes no directory that holds anything.
      if (!(mode & DELTREE_FILES_ONLY) && !old.active && !RemoveLink(path.c_str())) result = 0;
      continue;
    }
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!Delete(path.c_str(), mode & DELTREE_FILES_ONLY, old)) result = 0;
      continue;
    }
    if (old.active) {
      int n = 0;
      while (fd.cFileName[n]) ++n;
      if (old.list && walkhelpers::MatchList(fd.cFileName, n, old.list) < 1) continue;
      uint64_t written = ((uint64_t)fd.ftLastWriteTime.dwHighDateTime << 32) | fd.ftLastWriteTime.dwLowDateTime;
      if ((int64_t)(old.reference - written) <= (int64_t)old.age) continue;
    }
    bool removed = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? RemoveLink(path.c_str())
                                                                        : DeleteForce(path.c_str()) != 0;
    if (!removed) result = 0;
  } while (wintwins::FindNext(h, &fd));
  FindClose(h);
  path.resize(dirLength);
  if (mode == DELTREE_ALL) return wintwins::RemoveDir(path.c_str()) ? 1 : 0;
  return result;
}

template <class C>
int DeleteOld(const C* dir, int mode, uint64_t age, const C* list, FILETIME reference) {
  OldFiles<C> old{true, age, list, ((uint64_t)reference.dwHighDateTime << 32) | reference.dwLowDateTime};
  if (old.reference == 0) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    old.reference = ((uint64_t)now.dwHighDateTime << 32) | now.dwLowDateTime;
    old.age = age * kUnitsPerSecond;
    if (list && !list[0]) old.list = nullptr;
  }
  return Delete(dir, mode, old);
}

}  // namespace

int DeleteTree(const char* pszDir, int mode) { return Delete(pszDir, mode, OldFiles<char>{false, 0, nullptr, 0}); }
int DeleteTreeW(const wchar_t* pszDir, int mode) {
  return Delete(pszDir, mode, OldFiles<wchar_t>{false, 0, nullptr, 0});
}
int DeleteOldFilesA(const char* pszDir, int mode, uint64_t age, const char* pszList, FILETIME reference) {
  return DeleteOld(pszDir, mode, age, pszList, reference);
}
int DeleteOldFilesW(const wchar_t* pszDir, int mode, uint64_t age, const wchar_t* pszList, FILETIME reference) {
  return DeleteOld(pszDir, mode, age, pszList, reference);
}
