// Overloads that pick the 8-bit or 16-bit Windows function by character
// type, so that one template serves both twins of a file or path routine.
#pragma once

#include <windows.h>

namespace wintwins {

inline DWORD FullPathName(const char* path, DWORD size, char* buf) {
  return GetFullPathNameA(path, size, buf, nullptr);
}
inline DWORD FullPathName(const wchar_t* path, DWORD size, wchar_t* buf) {
  return GetFullPathNameW(path, size, buf, nullptr);
}

// The path routines' buffers hold this many characters.
const int kMaxPath = 260;

// The full path of path into full[kMaxPath]; its length, or 0 on failure.
template <class C>
int FullPath(const C* path, C* full) {
  if (!path) return 0;
  DWORD n = FullPathName(path, kMaxPath, full);
  return n < (DWORD)kMaxPath ? (int)n : 0;
}

inline DWORD FileAttributes(const char* path) { return GetFileAttributesA(path); }
inline DWORD FileAttributes(const wchar_t* path) { return GetFileAttributesW(path); }

inline BOOL SetAttributes(const char* path, DWORD attrs) { return SetFileAttributesA(path, attrs); }
inline BOOL SetAttributes(const wchar_t* path, DWORD attrs) { return SetFileAttributesW(path, attrs); }

inline BOOL FileAttributesEx(const char* path, WIN32_FILE_ATTRIBUTE_DATA* data) {
  return GetFileAttributesExA(path, GetFileExInfoStandard, data);
}
inline BOOL FileAttributesEx(const wchar_t* path, WIN32_FILE_ATTRIBUTE_DATA* data) {
  return GetFileAttributesExW(path, GetFileExInfoStandard, data);
}

inline BOOL MakeDirectory(const char* path) { return CreateDirectoryA(path, nullptr); }
inline BOOL MakeDirectory(const wchar_t* path) { return CreateDirectoryW(path, nullptr); }

inline BOOL RemoveFile(const char* path) { return DeleteFileA(path); }
inline BOOL RemoveFile(const wchar_t* path) { return DeleteFileW(path); }

inline DWORD ModuleFileName(char* buf, DWORD size) { return GetModuleFileNameA(GetModuleHandleA(nullptr), buf, size); }
inline DWORD ModuleFileName(wchar_t* buf, DWORD size) {
  return GetModuleFileNameW(GetModuleHandleW(nullptr), buf, size);
}

inline DWORD TempPath(char* buf, DWORD size) { return GetTempPathA(size, buf); }
inline DWORD TempPath(wchar_t* buf, DWORD size) { return GetTempPathW(size, buf); }

inline DWORD EnvironmentVariable(const char* name, char* buf, DWORD size) {
  return GetEnvironmentVariableA(name, buf, size);
}
inline DWORD EnvironmentVariable(const wchar_t* name, wchar_t* buf, DWORD size) {
  return GetEnvironmentVariableW(name, buf, size);
}

}  // namespace wintwins
