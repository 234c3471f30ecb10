#include "system/files/filestat.h"

#include <cstring>

#include "system/files/filetimes.h"

namespace {

uint32_t ModeOf(DWORD attrs, DWORD sizeHigh) {
  uint32_t mode = FSTAT_ALWAYS;
  if (!(attrs & FILE_ATTRIBUTE_READONLY)) mode |= FSTAT_WRITABLE;
  if (attrs & FILE_ATTRIBUTE_DIRECTORY) mode |= FSTAT_DIRECTORY;
  if (attrs & FILE_ATTRIBUTE_HIDDEN) mode |= FSTAT_HIDDEN;
  if (attrs & FILE_ATTRIBUTE_ARCHIVE) mode |= FSTAT_ARCHIVE;
  if (attrs & FILE_ATTRIBUTE_SYSTEM) mode |= FSTAT_SYSTEM;
  return mode | (sizeHigh << FSTAT_SIZE_HIGH_SHIFT);
}

uint32_t UnixOf(const FILETIME& ft) {
  uint32_t seconds = 0;
  FileTimeToUnixTime32(&ft, &seconds);  // out of range stores 0 or 0xFFFFFFFE
  return seconds;
}

void Fill(FileStatRecord* r, DWORD attrs, DWORD sizeHigh, DWORD sizeLow, const FILETIME& creation,
          const FILETIME& access, const FILETIME& write, const char* name) {
  r->mode = ModeOf(attrs, sizeHigh);
  r->size = sizeLow;
  r->creationTime = UnixOf(creation);
  r->accessTime = UnixOf(access);
  r->writeTime = UnixOf(write);
  size_t n = strnlen(name, sizeof r->name - 1);
  memcpy(r->name, name, n);
  r->name[n] = 0;
}

void FillFromFind(FileStatRecord* r, const WIN32_FIND_DATAA& fd) {
  Fill(r, fd.dwFileAttributes, fd.nFileSizeHigh, fd.nFileSizeLow, fd.ftCreationTime, fd.ftLastAccessTime,
       fd.ftLastWriteTime, fd.cFileName);
}

void Clear(FileStatRecord* r) {
  r->size = 0;
  r->name[0] = 0;
}

}  // namespace

int FullPathNameA(const char* pszName, char* pszBuffer, int nSize) {
  if (nSize <= 0) return 0;
  pszBuffer[0] = 0;
  return (int)GetFullPathNameA(pszName, (DWORD)nSize, pszBuffer, nullptr);
}

int FileStatA(const char* pszName, FileStatRecord* pRecord) {
  if (!pRecord) return FSTAT_INVALID;
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExA(pszName, GetFileExInfoStandard, &d)) {
    DWORD error = GetLastError();
    Clear(pRecord);
    return error == ERROR_FILE_NOT_FOUND   ? FSTAT_NOT_FOUND
           : error == ERROR_PATH_NOT_FOUND ? FSTAT_NO_PATH
                                           : FSTAT_ERROR;
  }
  Fill(pRecord, d.dwFileAttributes, d.nFileSizeHigh, d.nFileSizeLow, d.ftCreationTime, d.ftLastAccessTime,
       d.ftLastWriteTime, "");
  return FSTAT_OK;
}

HANDLE FileStatFirstA(const char* pszPattern, FileStatRecord* pRecord, int* pnError) {
  if (!pRecord) {
    if (pnError) *pnError = FSTAT_INVALID;
    return nullptr;
  }
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pszPattern, &fd);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    Clear(pRecord);
    if (pnError) {
      *pnError = error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? FSTAT_NOT_FOUND
                 : error == ERROR_DIRECTORY                                    ? FSTAT_NO_PATH
                                                                               : FSTAT_ERROR;
    }
    return nullptr;
  }
  FillFromFind(pRecord, fd);
  return h;
}

int FileStatNextA(HANDLE hFind, FileStatRecord* pRecord) {
  if (!pRecord) return FSTAT_INVALID;
  // The invalid-handle value and its neighbours are no search.
  if ((UINT_PTR)hFind >= (UINT_PTR)-32) {
    Clear(pRecord);
    return FSTAT_INVALID;
  }
  WIN32_FIND_DATAA fd;
  if (!FindNextFileA(hFind, &fd)) return FSTAT_NOT_FOUND;
  FillFromFind(pRecord, fd);
  return FSTAT_OK;
}

int FileStatClose(HANDLE hFind) {
  if (!hFind) return FSTAT_INVALID;
  return FindClose(hFind) ? FSTAT_OK : FSTAT_INVALID;
}
