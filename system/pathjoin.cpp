#include "system/pathjoin.h"

#include "base/cstring.h"
#include "system/pathchars.h"

using namespace pathchars;

namespace {

template <class C>
inline C Converted(C c, bool bToSlash) {
  if (bToSlash) return c == '\\' ? C('/') : c;
  return c == '/' ? C('\\') : c;
}

template <class C>
int ConvertSeparatorsT(C* path, C sep) {
  if (!path) return 0;
  bool bToSlash = sep == '/' || sep == 0;
  int i = 0;
  for (; path[i]; ++i) path[i] = Converted(path[i], bToSlash);
  return i;
}

template <class C>
int CopyConvertSeparatorsT(C* target, const C* source, int size, C sep) {
  if (!target || size < 1) return 0;
  bool bToSlash = sep == '/' || sep == 0;
  int i = 0;
  for (; i < size - 1 && source[i]; ++i) target[i] = Converted(source[i], bToSlash);
  target[i] = 0;
  return i;
}

template <class C>
int JoinPathT(int nDir, C* target, const C* dir, const C* name, int size) {
  if (size < 2) return 0;
  nDir = LengthOr(nDir, dir);
  if (nDir > 0 && IsSep(dir[nDir - 1])) --nDir;
  if (IsSep(name[0])) ++name;
  int nName = Length(name);
  int total = nDir + 1 + nName;
  if (total > size - 1) return 0;
  if (target != dir) Move(target, dir, nDir);
  target[nDir] = '\\';
  Move(target + nDir + 1, name, nName);
  target[total] = 0;
  return total;
}

template <class C>
int CutToParentT(int n, C* path) {
  n = LengthOr(n, path);
  int i = n - 1;
  while (i >= 0 && !IsSepOrColon(path[i])) --i;
  if (i < 0) {
    path[0] = 0;
    return 0;
  }
  // A separator after another one, after a colon or at the start stays.
  if (i == 0 || IsSepOrColon(path[i - 1])) ++i;
  path[i] = 0;
  return i;
}

// str holds the directory; the name is a copy, as str's buffer may move.
int JoinIntoStr(CString& str, const CString& name) {
  int nDir = str.GetLength(), nName = name.GetLength();
  char* buf = str.GetBuffer(nDir + nName + 2);
  int n = JoinPathT(nDir, buf, buf, (const char*)name, nDir + nName + 3);
  str.ReleaseBuffer(n);
  return n;
}

}  // namespace

int ConvertSeparators(char* path, char sep) { return ConvertSeparatorsT(path, sep); }
int ConvertSeparatorsW(wchar_t* path, wchar_t sep) { return ConvertSeparatorsT(path, sep); }
int CopyConvertSeparators(char* t, const char* s, int size, char sep) {
  return CopyConvertSeparatorsT(t, s, size, sep);
}
int CopyConvertSeparatorsW(wchar_t* t, const wchar_t* s, int size, wchar_t sep) {
  return CopyConvertSeparatorsT(t, s, size, sep);
}

int JoinPath(int nDir, char* t, const char* dir, const char* name, int size) {
  return JoinPathT(nDir, t, dir, name, size);
}
int JoinPathW(int nDir, wchar_t* t, const wchar_t* dir, const wchar_t* name, int size) {
  return JoinPathT(nDir, t, dir, name, size);
}

int JoinPathStr(CString& str, const char* name) { return JoinIntoStr(str, CString(name)); }
int JoinPathStr(CString& str, const char* dir, const char* name) {
  CString copy(name);
  str = dir;
  return JoinIntoStr(str, copy);
}
int JoinPathStr(CString& str, const CString& dir, const char* name) {
  CString copy(name);
  str = dir;
  return JoinIntoStr(str, copy);
}

int CutToParent(int n, char* path) { return CutToParentT(n, path); }
int CutToParentW(int n, wchar_t* path) { return CutToParentT(n, path); }
int CutToParentStr(CString& str) {
  int n = CutToParentT(str.GetLength(), str.GetBuffer(0));
  str.ReleaseBuffer(n);
  return n;
}
