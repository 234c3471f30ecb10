#include "system/pathparts.h"

#include "base/cstring.h"
#include "system/pathchars.h"
#include "system/wintwins.h"

using namespace pathchars;

namespace {

using wintwins::FullPath;
using wintwins::kMaxPath;

template <class C>
const C* FindExtensionT(int n, const C* path, int* pnExt) {
  n = LengthOr(n, path);
  int dot = ExtensionDot(path, n, false);
  if (pnExt) *pnExt = dot < 0 ? 0 : n - dot - 1;
  return dot < 0 ? path + n : path + dot + 1;
}

template <class C>
int GetExtensionT(C* target, int n, const C* path, int size) {
  int ext;
  const C* p = FindExtensionT(n, path, &ext);
  return CopyPart(target, size, p, ext);
}

template <class C>
const C* FindFileNamePartT(int n, const C* path, int* pnName) {
  n = LengthOr(n, path);
  int start = NameStart(path, n);
  if (pnName) *pnName = n - start;
  return path + start;
}

template <class C>
int GetFileNamePartT(C* target, int n, const C* path, int size) {
  int name;
  const C* p = FindFileNamePartT(n, path, &name);
  return CopyPart(target, size, p, name);
}

// Start and length of the base name: the file-name part up to its extension's dot.
template <class C>
int BaseName(int n, const C* path, int* pnStart) {
  n = LengthOr(n, path);
  int start = NameStart(path, n);
  int dot = ExtensionDot(path, n, false);
  *pnStart = start;
  return (dot < start ? n : dot) - start;
}

template <class C>
int GetBaseNameT(C* target, int n, const C* path, int size) {
  int start, len = BaseName(n, path, &start);
  return CopyPart(target, size, path + start, len);
}

template <class C>
C* GetBaseNameAllocT(int n, const C* path, int* pnLength) {
  int start, len = BaseName(n, path, &start);
  return AllocPart(path + start, len, pnLength);
}

template <class C>
int GetDirectoryPartT(C* target, int n, const C* path, int size) {
  return CopyPart(target, size, path, NameStart(path, LengthOr(n, path)));
}

template <class C>
C* GetDirectoryPartAllocT(int n, const C* path, int* pnLength) {
  return AllocPart(path, NameStart(path, LengthOr(n, path)), pnLength);
}

template <class C>
int GetFullDirectoryT(C* target, const C* path, int size) {
  C full[kMaxPath];
  int n = FullPath(path, full);
  return CopyPart(target, size, full, n ? NameStart(full, n) : 0);
}

template <class C>
C* GetFullDirectoryAllocT(const C* path, int* pnLength) {
  C full[kMaxPath];
  int n = FullPath(path, full);
  return AllocPart(full, n ? NameStart(full, n) : 0, pnLength);
}

template <class C>
int GetDriveLetterT(const C* path) {
  if (!path) return 0;
  unsigned c;
  if (path[0] && path[1] == ':') {
    c = (unsigned)path[0];
  } else {
    C full[kMaxPath];
    if (!FullPath(path, full)) return 0;
    c = (unsigned)full[0];
  }
  if (sizeof(C) == 1) c &= 0xFF;  // char is signed
  if (c >= 'a' && c <= 'z') return (int)c - ('a' - 'A');
  return c > 'Z' ? -1 : (int)c;
}

template <class C>
int GetPathRootLengthT(const C* p) {
  int i;
  if (IsSep(p[0]) && IsSep(p[1])) {
    for (i = 2; p[i] && !IsSep(p[i]); ++i)
      if (p[i] == ':') return i + 1;
    return i;
  }
  for (i = 0; p[i] && !IsSep(p[i]); ++i) {
    if (p[i] == ':') {
      ++i;
      return (IsSep(p[i]) && IsSep(p[i + 1])) ? i + 1 : i;
    }
  }
  return 0;
}

template <class C>
int GetPathPrefixLengthT(const C* p, int count) {
  if (count < 1) return 0;
  int i = GetPathRootLengthT(p);
  if (i > 0) {
    --count;
    if (IsSep(p[i])) ++i;
  }
  for (; count > 0 && p[i]; ++i)
    if (IsSep(p[i])) --count;
  return i;
}

template <class C>
int GetPathRootKindT(const C* p) {
  if (!p[0]) return PATHROOT_RELATIVE;
  if (p[1] != ':') {
    if (!IsSep(p[0])) return PATHROOT_RELATIVE;
    return IsSep(p[1]) ? PATHROOT_NETWORK : PATHROOT_ROOTED;
  }
  C c = p[0];
  if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return PATHROOT_RELATIVE;
  return IsSep(p[2]) ? PATHROOT_DRIVE_ROOT : PATHROOT_DRIVE_RELATIVE;
}

template <class C>
int FindFirstSeparatorT(const C* p) {
  int i = 0;
  while (p[i] && !IsSepOrColon(p[i])) ++i;
  return i;
}

template <class C>
int AppendSeparatorT(C sep, C* path, int n) {
  n = LengthOr(n, path);
  if (n > 0 && IsSep(path[n - 1])) return n;
  path[n++] = sep;
  path[n] = 0;
  return n;
}

template <class C>
int RemoveTrailingBackslashT(C* path, int n) {
  n = LengthOr(n, path);
  if (n > 0 && IsSep(path[n - 1])) path[--n] = 0;
  return n;
}

template <class C>
int EndsWithSeparatorT(const C* path, int n) {
  n = LengthOr(n, path);
  return n > 0 && IsSep(path[n - 1]) ? 1 : 0;
}

// Fills a framework string from a part of a path.
int AssignPart(CString& str, const char* part, int n) {
  str = CString(part, n);  // the part may lie inside str
  return n;
}

}  // namespace

const char* FindExtension(int n, const char* path, int* pnExt) { return FindExtensionT(n, path, pnExt); }
const wchar_t* FindExtensionW(int n, const wchar_t* path, int* pnExt) { return FindExtensionT(n, path, pnExt); }
int GetExtension(char* t, int n, const char* path, int size) { return GetExtensionT(t, n, path, size); }
int GetExtensionW(wchar_t* t, int n, const wchar_t* path, int size) { return GetExtensionT(t, n, path, size); }
int GetExtensionStr(CString& str, const char* path) {
  int ext;
  const char* p = FindExtensionT(-1, path, &ext);
  return AssignPart(str, p, ext);
}

const char* FindFileNamePart(int n, const char* path, int* pnName) { return FindFileNamePartT(n, path, pnName); }
const wchar_t* FindFileNamePartW(int n, const wchar_t* path, int* pnName) { return FindFileNamePartT(n, path, pnName); }
int GetFileNamePart(char* t, int n, const char* path, int size) { return GetFileNamePartT(t, n, path, size); }
int GetFileNamePartW(wchar_t* t, int n, const wchar_t* path, int size) { return GetFileNamePartT(t, n, path, size); }
int GetFileNameStr(CString& str, const char* path) {
  int name;
  const char* p = FindFileNamePartT(-1, path, &name);
  return AssignPart(str, p, name);
}
int GetFileNameOffset(int, const char* path) { return NameStart(path, Length(path)); }
int GetFileNameOffsetW(int, const wchar_t* path) { return NameStart(path, Length(path)); }

int GetBaseName(char* t, int n, const char* path, int size) { return GetBaseNameT(t, n, path, size); }
int GetBaseNameW(wchar_t* t, int n, const wchar_t* path, int size) { return GetBaseNameT(t, n, path, size); }
char* GetBaseNameAlloc(int n, const char* path, int* pnLength) { return GetBaseNameAllocT(n, path, pnLength); }
wchar_t* GetBaseNameAllocW(int n, const wchar_t* path, int* pnLength) { return GetBaseNameAllocT(n, path, pnLength); }
int GetBaseNameStr(CString& str, const char* path) {
  int start, len = BaseName(-1, path, &start);
  return AssignPart(str, path + start, len < kMaxPath ? len : 0);
}

int GetDirectoryPart(char* t, int n, const char* path, int size) { return GetDirectoryPartT(t, n, path, size); }
int GetDirectoryPartW(wchar_t* t, int n, const wchar_t* path, int size) { return GetDirectoryPartT(t, n, path, size); }
char* GetDirectoryPartAlloc(int n, const char* path, int* pnLength) {
  return GetDirectoryPartAllocT(n, path, pnLength);
}
wchar_t* GetDirectoryPartAllocW(int n, const wchar_t* path, int* pnLength) {
  return GetDirectoryPartAllocT(n, path, pnLength);
}
int MakeDirectoryStr(CString& str, const char* path) { return AssignPart(str, path, NameStart(path, Length(path))); }

int GetFullDirectory(char* t, const char* path, int size) { return GetFullDirectoryT(t, path, size); }
int GetFullDirectoryW(wchar_t* t, const wchar_t* path, int size) { return GetFullDirectoryT(t, path, size); }
char* GetFullDirectoryAlloc(const char* path, int* pnLength) { return GetFullDirectoryAllocT(path, pnLength); }
wchar_t* GetFullDirectoryAllocW(const wchar_t* path, int* pnLength) { return GetFullDirectoryAllocT(path, pnLength); }
int MakeFullDirectoryStr(CString& str, const char* path) {
  char full[kMaxPath];
  int n = FullPath(path, full);
  return AssignPart(str, full, n ? NameStart(full, n) : 0);
}

int GetDriveLetter(const char* path) { return GetDriveLetterT(path); }
int GetDriveLetterW(const wchar_t* path) { return GetDriveLetterT(path); }
int GetPathRootLength(const char* path) { return GetPathRootLengthT(path); }
int GetPathRootLengthW(const wchar_t* path) { return GetPathRootLengthT(path); }
int GetPathPrefixLength(const char* path, int count) { return GetPathPrefixLengthT(path, count); }
int GetPathPrefixLengthW(const wchar_t* path, int count) { return GetPathPrefixLengthT(path, count); }
int GetPathRootKind(const char* path) { return GetPathRootKindT(path); }
int GetPathRootKindW(const wchar_t* path) { return GetPathRootKindT(path); }
int FindFirstSeparator(const char* path) { return FindFirstSeparatorT(path); }
int FindFirstSeparatorW(const wchar_t* path) { return FindFirstSeparatorT(path); }

int AppendBackslash(char* path, int n) { return AppendSeparatorT('\\', path, n); }
int AppendBackslashW(wchar_t* path, int n) { return AppendSeparatorT(L'\\', path, n); }
int AppendSeparator(char sep, char* path, int n) { return AppendSeparatorT(sep, path, n); }
int AppendSeparatorW(wchar_t sep, wchar_t* path, int n) { return AppendSeparatorT(sep, path, n); }
void RemoveTrailingBackslash(char* path, int n) { RemoveTrailingBackslashT(path, n); }
void RemoveTrailingBackslashW(wchar_t* path, int n) { RemoveTrailingBackslashT(path, n); }
int EndsWithSeparator(const char* path, int n) { return EndsWithSeparatorT(path, n); }
int EndsWithSeparatorW(const wchar_t* path, int n) { return EndsWithSeparatorT(path, n); }

int AppendSeparatorStr(CString& str, char sep) {
  int n = str.GetLength();
  if (n > 0 && IsSep(str[n - 1])) return n;
  str += sep;
  return n + 1;
}
int AppendBackslashStr(CString& str) { return AppendSeparatorStr(str, '\\'); }
int RemoveTrailingBackslashStr(CString& str) {
  int n = str.GetLength();
  if (n > 0 && IsSep(str[n - 1])) str = str.Left(--n);
  return n;
}
