// More overloads of the Windows file calls by character type, for the
// templates of the file services (see system/wintwins.h).
#pragma once

#include <windows.h>

#include "system/wintwins.h"

namespace wintwins {

inline HANDLE FindFirst(const char* path, WIN32_FIND_DATAA* fd) { return FindFirstFileA(path, fd); }
inline HANDLE FindFirst(const wchar_t* path, WIN32_FIND_DATAW* fd) { return FindFirstFileW(path, fd); }
inline BOOL FindNext(HANDLE h, WIN32_FIND_DATAA* fd) { return FindNextFileA(h, fd); }
inline BOOL FindNext(HANDLE h, WIN32_FIND_DATAW* fd) { return FindNextFileW(h, fd); }

inline HANDLE OpenFile(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  return CreateFileA(path, access, share, nullptr, disposition, flags, nullptr);
}
inline HANDLE OpenFile(const wchar_t* path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  return CreateFileW(path, access, share, nullptr, disposition, flags, nullptr);
}

inline BOOL MoveReplace(const char* from, const char* to) { return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING); }
inline BOOL MoveReplace(const wchar_t* from, const wchar_t* to) {
  return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING);
}
inline BOOL Move(const char* from, const char* to) { return MoveFileA(from, to); }
inline BOOL Move(const wchar_t* from, const wchar_t* to) { return MoveFileW(from, to); }
inline BOOL Copy(const char* from, const char* to, BOOL failIfExists) { return CopyFileA(from, to, failIfExists); }
inline BOOL Copy(const wchar_t* from, const wchar_t* to, BOOL failIfExists) {
  return CopyFileW(from, to, failIfExists);
}
inline BOOL RemoveDir(const char* path) { return RemoveDirectoryA(path); }
inline BOOL RemoveDir(const wchar_t* path) { return RemoveDirectoryW(path); }

// The find record of a character type.
template <class C>
struct FindData;
template <>
struct FindData<char> {
  typedef WIN32_FIND_DATAA Type;
};
template <>
struct FindData<wchar_t> {
  typedef WIN32_FIND_DATAW Type;
};

// Closes a handle on every way out.
class HandleCloser {
 public:
  explicit HandleCloser(HANDLE h) : m_h(h) {}
  ~HandleCloser() {
    if (m_h != INVALID_HANDLE_VALUE && m_h) CloseHandle(m_h);
  }
  HandleCloser(const HandleCloser&) = delete;
  HandleCloser& operator=(const HandleCloser&) = delete;

 private:
  HANDLE m_h;
};

}  // namespace wintwins
