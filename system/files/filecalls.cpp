#include "system/files/filecalls.h"

#include <cstring>

#include "system/files/filetimes.h"
#include "system/files/filetwins.h"

namespace {

// Open for setting times: no sharing, unbuffered.
const DWORD kTimeOpenFlags = FILE_FLAG_NO_BUFFERING | FILE_ATTRIBUTE_NORMAL;
const DWORD kSequentialFlags = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL;

template <class C>
int SetTimes(const C* name, const FILETIME* write, const FILETIME* creation, const FILETIME* access) {
  HANDLE h = wintwins::OpenFile(name, GENERIC_WRITE, 0, OPEN_EXISTING, kTimeOpenFlags);
  if (h == INVALID_HANDLE_VALUE) return 0;
  BOOL ok = SetFileTime(h, creation, access, write);
  CloseHandle(h);
  return ok ? 1 : 0;
}

// A negative time stays unchanged, 0 passes the FILETIME 0.
const FILETIME* UnixToPointer(int32_t seconds, FILETIME* ft) {
  if (seconds < 0) return nullptr;
  UnixTimeToFileTime(seconds, ft);
  return ft;
}

template <class C>
int SetTimesUnix(const C* name, int32_t write, int32_t creation, int32_t access) {
  FILETIME w, c, a;
  return SetTimes(name, UnixToPointer(write, &w), UnixToPointer(creation, &c), UnixToPointer(access, &a));
}

template <class C>
int CopyTimes(const C* source, const C* target) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!wintwins::FileAttributesEx(source, &data)) return 0;
  return SetTimes(target, &data.ftLastWriteTime, &data.ftCreationTime, &data.ftLastAccessTime);
}

template <class C>
bool HasWildcard(const C* name) {
  for (; *name; ++name) {
    if (*name == '*' || *name == '?') return true;
  }
  return false;
}

template <class C, class FD>
int FindData(const C* name, FD* data) {
  HANDLE h = HasWildcard(name) ? INVALID_HANDLE_VALUE : wintwins::FindFirst(name, data);
  if (h == INVALID_HANDLE_VALUE) {
    data->dwFileAttributes = 0;
    data->nFileSizeHigh = 0;
    data->nFileSizeLow = 0;
    data->cFileName[0] = 0;
    return FILEKIND_NONE;
  }
  FindClose(h);
  return (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FILEKIND_DIRECTORY : FILEKIND_FILE;
}

template <class C>
int AttrData(const C* name, WIN32_FILE_ATTRIBUTE_DATA* data) {
  if (!wintwins::FileAttributesEx(name, data)) {
    data->dwFileAttributes = 0;
    data->nFileSizeHigh = 0;
    data->nFileSizeLow = 0;
    return FILEKIND_NONE;
  }
  return (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FILEKIND_DIRECTORY : FILEKIND_FILE;
}

template <class C>
int WriteBuffer(const C* name, const void* data, int count, int append) {
  if (count < 0) return 0;
  HANDLE h = wintwins::OpenFile(name, GENERIC_WRITE, 0, append ? OPEN_ALWAYS : CREATE_ALWAYS, kSequentialFlags);
  if (h == INVALID_HANDLE_VALUE) return 0;
  if (append) SetFilePointer(h, 0, nullptr, FILE_END);
  DWORD written = 0;
  BOOL ok = WriteFile(h, data, (DWORD)count, &written, nullptr);
  CloseHandle(h);
  // A write that reports success with fewer bytes is no success.
  return ok && written == (DWORD)count ? 1 : 0;
}

template <class C>
int ReadToBuffer(const C* name, void* buffer, int size) {
  char* out = static_cast<char*>(buffer);
  if (size < 2) {
    if (size == 1) out[0] = 0;
    return 0;
  }
  HANDLE h = wintwins::OpenFile(name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, kSequentialFlags);
  if (h == INVALID_HANDLE_VALUE) {
    out[0] = out[1] = 0;
    return 0;
  }
  DWORD read = 0;
  BOOL ok = ReadFile(h, out, (DWORD)(size - 2), &read, nullptr);
  CloseHandle(h);
  if (!ok && read == 0) {
    out[0] = out[1] = 0;
    return 0;
  }
  out[read] = 0;
  out[read + 1] = 0;
  return (int)read;
}

}  // namespace

int SetFileTimesA(const char* pszName, const FILETIME* pWrite, const FILETIME* pCreation, const FILETIME* pAccess) {
  return SetTimes(pszName, pWrite, pCreation, pAccess);
}
int SetFileTimesW(const wchar_t* pszName, const FILETIME* pWrite, const FILETIME* pCreation, const FILETIME* pAccess) {
  return SetTimes(pszName, pWrite, pCreation, pAccess);
}
int SetFileTimesUnixA(const char* pszName, int32_t write, int32_t creation, int32_t access) {
  return SetTimesUnix(pszName, write, creation, access);
}
int SetFileTimesUnixW(const wchar_t* pszName, int32_t write, int32_t creation, int32_t access) {
  return SetTimesUnix(pszName, write, creation, access);
}
int CopyFileTimesA(const char* pszSource, const char* pszTarget) { return CopyTimes(pszSource, pszTarget); }
int CopyFileTimesW(const wchar_t* pszSource, const wchar_t* pszTarget) { return CopyTimes(pszSource, pszTarget); }
int GetFileFindDataA(const char* pszName, WIN32_FIND_DATAA* pData) { return FindData(pszName, pData); }
int GetFileFindDataW(const wchar_t* pszName, WIN32_FIND_DATAW* pData) { return FindData(pszName, pData); }
int GetFileAttrDataA(const char* pszName, WIN32_FILE_ATTRIBUTE_DATA* pData) { return AttrData(pszName, pData); }
int GetFileAttrDataW(const wchar_t* pszName, WIN32_FILE_ATTRIBUTE_DATA* pData) { return AttrData(pszName, pData); }
int WriteBufferToFileA(const char* pszName, const void* pData, int nCount, int bAppend) {
  return WriteBuffer(pszName, pData, nCount, bAppend);
}
int WriteBufferToFileW(const wchar_t* pszName, const void* pData, int nCount, int bAppend) {
  return WriteBuffer(pszName, pData, nCount, bAppend);
}
int ReadFileToBufferA(const char* pszName, void* pBuffer, int nSize) { return ReadToBuffer(pszName, pBuffer, nSize); }
int ReadFileToBufferW(const wchar_t* pszName, void* pBuffer, int nSize) {
  return ReadToBuffer(pszName, pBuffer, nSize);
}
