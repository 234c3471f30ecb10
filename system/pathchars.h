// Character tests and small helpers shared by the path routines' templates.
#pragma once

#include <cstring>
#include <cwchar>

namespace pathchars {

template <class C>
inline bool IsSep(C c) {
  return c == '\\' || c == '/';
}
template <class C>
inline bool IsSepOrColon(C c) {
  return c == '\\' || c == '/' || c == ':';
}

inline int Length(const char* s) { return (int)std::strlen(s); }
inline int Length(const wchar_t* s) { return (int)std::wcslen(s); }
template <class C>
inline int LengthOr(int n, const C* s) {
  return n < 0 ? Length(s) : n;
}

template <class C>
inline void Move(C* to, const C* from, int n) {
  if (n > 0) std::memmove(to, from, n * sizeof(C));
}

// Index where the file-name part of the first n characters starts: after the
// last backslash, slash or colon, else 0.
template <class C>
int NameStart(const C* p, int n) {
  while (n > 0 && !IsSepOrColon(p[n - 1])) --n;
  return n;
}

// Index of the extension's dot within the first n characters, or -1. The scan
// stops at a backslash or slash; with bColonStops at a colon too. A dot that
// starts the name is no extension dot.
template <class C>
int ExtensionDot(const C* p, int n, bool bColonStops) {
  for (int i = n - 1; i >= 0; --i) {
    C c = p[i];
    if (c == '.') return (i == 0 || IsSepOrColon(p[i - 1])) ? -1 : i;
    if (IsSep(c) || (bColonStops && c == ':')) return -1;
  }
  return -1;
}

// Copies a part of n characters with its NUL; empty text and 0 when it does
// not fit.
template <class C>
int CopyPart(C* target, int size, const C* part, int n) {
  if (n + 1 > size) {
    if (size >= 1) target[0] = 0;
    return 0;
  }
  Move(target, part, n);
  target[n] = 0;
  return n;
}

template <class C>
C* AllocPart(const C* part, int n, int* pnLength) {
  C* p = new C[n + 1];
  Move(p, part, n);
  p[n] = 0;
  if (pnLength) *pnLength = n;
  return p;
}

}  // namespace pathchars
