// Small helpers shared by the file operations' templates.
#pragma once

#include <string>

#include "system/files/copymove.h"

namespace copyhelpers {

template <class C>
using Str = std::basic_string<C>;

template <class C>
Str<C> Ascii(const char* s) {
  Str<C> out;
  for (; *s; ++s) out += (C)(unsigned char)*s;
  return out;
}

template <class C>
Str<C> Text(const C* s) {
  return s ? Str<C>(s) : Str<C>();
}

// The calls of the file operations that tests may replace.
const FileCopyCalls& Calls();
inline BOOL MoveReplace(const char* from, const char* to) {
  return Calls().moveFileExA(from, to, MOVEFILE_REPLACE_EXISTING);
}
inline BOOL MoveReplace(const wchar_t* from, const wchar_t* to) {
  return Calls().moveFileExW(from, to, MOVEFILE_REPLACE_EXISTING);
}
inline BOOL Delete(const char* path) { return Calls().deleteFileA(path); }
inline BOOL Delete(const wchar_t* path) { return Calls().deleteFileW(path); }

// CopyMoveFile without a size output, for a source whose size the caller
// has just found in its directory: no query of its own.
int CopyFileOfSize(uint32_t flags, const char* source, const char* target, uint64_t size, void* pTotal,
                   const volatile char* cancel);
int CopyFileOfSize(uint32_t flags, const wchar_t* source, const wchar_t* target, uint64_t size, void* pTotal,
                   const volatile char* cancel);

}  // namespace copyhelpers
