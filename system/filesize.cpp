#include "system/filesize.h"

#include "system/wintwins.h"

namespace {

template <class C>
int GetFileSize64ByNameT(const C* path, ULONGLONG* pSize) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!wintwins::FileAttributesEx(path, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *pSize = ~0ULL;
    return -1;
  }
  *pSize = (ULONGLONG)data.nFileSizeHigh << 32 | data.nFileSizeLow;
  return data.nFileSizeLow == INVALID_FILE_SIZE ? -2 : (int)data.nFileSizeLow;
}

}  // namespace

DWORD GetFileSizeByHandle(HANDLE hFile) { return GetFileSize(hFile, nullptr); }

int GetFileSize64ByHandle(HANDLE hFile, ULONGLONG* pSize) {
  DWORD high = 0;
  DWORD low = GetFileSize(hFile, &high);
  if (low == INVALID_FILE_SIZE) {
    if (GetLastError() != NO_ERROR) {
      *pSize = ~0ULL;
      return -1;
    }
    *pSize = (ULONGLONG)high << 32 | low;
    return -2;
  }
  *pSize = (ULONGLONG)high << 32 | low;
  return (int)low;
}

int GetFileSizeByName(const char* path) {
  ULONGLONG size;
  return GetFileSize64ByNameT(path, &size);
}
int GetFileSizeByNameW(const wchar_t* path) {
  ULONGLONG size;
  return GetFileSize64ByNameT(path, &size);
}
int GetFileSize64ByName(const char* path, ULONGLONG* pSize) { return GetFileSize64ByNameT(path, pSize); }
int GetFileSize64ByNameW(const wchar_t* path, ULONGLONG* pSize) { return GetFileSize64ByNameT(path, pSize); }

long GetStreamSize(FILE* f) {
  if (!f) return -1;
  long pos = std::ftell(f);
  std::fseek(f, 0, SEEK_END);
  long size = std::ftell(f);
  std::fseek(f, pos, SEEK_SET);
  return size;
}

// Through the 64-bit runtime calls, so that streams beyond 2 GB are measured.
long long GetStreamSize64(FILE* f, ULONGLONG* pSize) {
  if (!f) {
    *pSize = ~0ULL;
    return -1;
  }
  long long pos = _ftelli64(f);
  _fseeki64(f, 0, SEEK_END);
  long long size = _ftelli64(f);
  _fseeki64(f, pos, SEEK_SET);
  *pSize = (ULONGLONG)size;
  return size;
}
