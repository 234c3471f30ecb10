#include "system/pathsearch.h"

#include <cstring>
#include <cwchar>

#include "base/cstring.h"
#include "system/pathchars.h"
#include "system/pathtype.h"
#include "system/wintwins.h"

using namespace pathchars;

namespace {

int CompareNoCaseN(const char* a, const char* b, int n) { return _strnicmp(a, b, n); }
int CompareNoCaseN(const wchar_t* a, const wchar_t* b, int n) { return _wcsnicmp(a, b, n); }
int PathType(const char* path) { return GetPathType(path); }
int PathType(const wchar_t* path) { return GetPathTypeW(path); }

template <class C>
const C* EntryEnd(const C* p) {
  while (*p && *p != ';') ++p;
  return p;
}

template <class C>
int FindExtensionInListT(const C* path, const C* list, int n) {
  n = LengthOr(n, path);
  int dot = ExtensionDot(path, n, true);
  const C* ext = dot < 0 ? path + n : path + dot + 1;
  int nExt = dot < 0 ? 0 : n - dot - 1;
  for (int index = 1;; ++index) {
    const C* end = EntryEnd(list);
    if (end - list == nExt && CompareNoCaseN(list, ext, nExt) == 0) return index;
    if (!*end) return 0;
    list = end + 1;
  }
}

// Writes dir (n characters), a backslash, the name's first nName characters
// and, when ext is given, a dot and the extension; the path kind found.
template <class C>
int TryCandidate(C* target, const C* dir, int nDir, const C* name, int nName, const C* ext, int nExt) {
  C* p = target;
  Move(p, dir, nDir);
  p += nDir;
  *p++ = '\\';
  Move(p, name, nName);
  p += nName;
  if (ext) {
    *p++ = '.';
    Move(p, ext, nExt);
    p += nExt;
  }
  *p = 0;
  return PathType(target);
}

template <class C>
int SearchPathListT(C* target, const C* name, int size, const C* exts, int bDir) {
  if (size < 1) return 0;
  static const C kPath[] = {'P', 'A', 'T', 'H', 0};
  static const C kNoExtensions[] = {0};
  DWORD need = wintwins::EnvironmentVariable(kPath, nullptr, 0);
  C* list = new C[need + 3];
  DWORD got = need ? wintwins::EnvironmentVariable(kPath, list, need) : 0;
  int n = got < need ? (int)got : 0;
  list[n++] = ';';
  list[n++] = '.';
  list[n] = 0;

  int kind = bDir ? PATHTYPE_DIRECTORY : PATHTYPE_FILE;
  if (IsSep(*name)) ++name;
  int nName = Length(name);
  int dot = nName - 1;
  while (dot > 0 && name[dot] != '.') --dot;
  int nBase = dot > 0 ? dot : nName;
  if (!exts) exts = kNoExtensions;

  int result = 0;
  for (const C* dir = list;; ++dir) {
    const C* dirEnd = EntryEnd(dir);
    int nDir = int(dirEnd - dir);
    if (nDir + 1 + nName < size - 1 && TryCandidate(target, dir, nDir, name, nName, (const C*)nullptr, 0) == kind) {
      result = nDir + 1 + nName;
      break;
    }
    for (const C* ext = exts;; ++ext) {
      const C* extEnd = EntryEnd(ext);
      int nExt = int(extEnd - ext);
      // An empty entry would only retry the name, or cut its extension off.
      bool bOwn =
          nExt == 0 || (nBase < nName && nName - nBase - 1 == nExt && CompareNoCaseN(name + nBase + 1, ext, nExt) == 0);
      int len = nDir + 1 + nBase + 1 + nExt;
      if (!bOwn && len < size - 2 && TryCandidate(target, dir, nDir, name, nBase, ext, nExt) == kind) {
        result = len;
        break;
      }
      if (!*extEnd) break;
      ext = extEnd;
    }
    if (result || !*dirEnd) break;
    dir = dirEnd;
  }
  delete[] list;
  if (!result) target[0] = 0;
  return result;
}

}  // namespace

int FindExtensionInList(const char* path, const char* list, int n) { return FindExtensionInListT(path, list, n); }
int FindExtensionInListW(const wchar_t* path, const wchar_t* list, int n) {
  return FindExtensionInListT(path, list, n);
}
int SearchPathList(char* t, const char* name, int size, const char* exts, int bDir) {
  return SearchPathListT(t, name, size, exts, bDir);
}
int SearchPathListW(wchar_t* t, const wchar_t* name, int size, const wchar_t* exts, int bDir) {
  return SearchPathListT(t, name, size, exts, bDir);
}
int SearchPathListStr(CString& str, const char* name, const char* exts, int bDir) {
  const int kSize = 260;
  int n = SearchPathListT(str.GetBuffer(kSize), name, kSize, exts, bDir);
  str.ReleaseBuffer(n);
  return n;
}
