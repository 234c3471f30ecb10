#include "system/files/longshort.h"

#include <string>

#include "base/cstring.h"
#include "system/files/filetwins.h"
#include "system/pathchars.h"

namespace {

// The working buffer of the conversion.
const int kWorkSize = 388;

template <class C>
int Convert(C* out, const C* path, int size, bool toShort) {
  if (size < 1 || !out) return 0;
  out[0] = 0;
  if (!path) return 0;
  C full[kWorkSize];
  DWORD n = wintwins::FullPathName(path, kWorkSize, full);
  // A longer answer is the size the full path would need: nothing was written.
  if (n == 0 || n >= (DWORD)kWorkSize) return 0;
  C result[kWorkSize];
  int len = 0, i = 0;
  if (n >= 3 && full[1] == ':' && pathchars::IsSep(full[2])) {
    for (; i < 3; ++i) result[len++] = full[i];
  }
  bool found = true;
  while (full[i]) {
    while (pathchars::IsSep(full[i])) {
      if (len >= kWorkSize - 1) return 0;
      result[len++] = full[i++];
    }
    int start = len;
    bool wildcard = false;
    while (full[i] && !pathchars::IsSep(full[i])) {
      if (len >= kWorkSize - 1) return 0;
      if (full[i] == '*' || full[i] == '?') wildcard = true;
      result[len++] = full[i++];
    }
    if (len == start || wildcard || !found) continue;
    result[len] = 0;
    typename wintwins::FindData<C>::Type fd;
    HANDLE h = wintwins::FindFirst(result, &fd);
    if (h == INVALID_HANDLE_VALUE) {
      found = false;  // nothing below it exists either
      continue;
    }
    FindClose(h);
    const C* name = toShort && fd.cAlternateFileName[0] ? fd.cAlternateFileName : fd.cFileName;
    len = start;
    for (int k = 0; name[k]; ++k) {
      if (len >= kWorkSize - 1) return 0;
      result[len++] = name[k];
    }
  }
  if (len == 0 || len > size - 1) return 0;
  for (int k = 0; k < len; ++k) out[k] = result[k];
  out[len] = 0;
  return len;
}

int IntoString(CString& str, const char* path, bool toShort) {
  std::string in(path ? path : "");
  char out[520];
  int n = Convert(out, in.c_str(), (int)sizeof out, toShort);
  str = out;
  return n;
}

}  // namespace

int ToLongPathA(char* pszOut, const char* pszPath, int nSize) { return Convert(pszOut, pszPath, nSize, false); }
int ToLongPathW(wchar_t* pszOut, const wchar_t* pszPath, int nSize) { return Convert(pszOut, pszPath, nSize, false); }
int ToShortPathA(char* pszOut, const char* pszPath, int nSize) { return Convert(pszOut, pszPath, nSize, true); }
int ToShortPathW(wchar_t* pszOut, const wchar_t* pszPath, int nSize) { return Convert(pszOut, pszPath, nSize, true); }
int ToLongPathStr(CString& strOut, const char* pszPath) { return IntoString(strOut, pszPath, false); }
int ToShortPathStr(CString& strOut, const char* pszPath) { return IntoString(strOut, pszPath, true); }
