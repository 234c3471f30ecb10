// Helpers shared by the tree walks.
#pragma once

#include <windows.h>

#include <cstdint>

#include "system/files/filewalk.h"
#include "text/wildcard/wildcard.h"

namespace walkhelpers {

// Flags of the name lists.
const uint32_t kListFlags = MATCH_IGNORE_CASE | MATCH_FILE_NAME;

inline int MatchList(const char* name, int n, const char* list) {
  return MatchWildcardListA(name, n, list, kListFlags, ';');
}
inline int MatchList(const wchar_t* name, int n, const wchar_t* list) {
  return MatchWildcardListW(name, n, list, kListFlags, L';');
}

template <class C>
bool IsDotEntry(const C* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

template <class C>
bool IsSep(C c) {
  return c == '\\' || c == '/';
}

// A search that finds nothing: no match for a pattern, or an empty root.
inline bool FoundNothing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES; }

inline void AddTotal(void* total, bool wide, uint64_t n) {
  if (!total) return;
  if (wide) {
    *static_cast<uint64_t*>(total) += n;
  } else {
    *static_cast<uint32_t*>(total) += (uint32_t)n;
  }
}
inline void ResetTotal(void* total, bool wide) {
  if (!total) return;
  if (wide) {
    *static_cast<uint64_t*>(total) = 0;
  } else {
    *static_cast<uint32_t*>(total) = 0;
  }
}

template <class FD>
uint64_t SizeOf(const FD& fd) {
  return ((uint64_t)fd.nFileSizeHigh << 32) | fd.nFileSizeLow;
}

}  // namespace walkhelpers
