#include <climits>

#include "text/search/strsearch.h"

#include "text/compare/casefoldrules.h"
#include "text/classtable.h"

namespace {

using casefold::AsciiUpper;
using casefold::Identity;

constexpr int kUnbounded = INT_MAX;

template <class C>
int Length(const C* s) {
  int n = 0;
  while (s[n]) ++n;
  return n;
}

// First match of needle[0..len) (len >= 1) within the first n characters of
// the text. Nothing behind the text's NUL is read: a NUL of the text can
// only match a NUL at the needle's last position.
template <class C, class Fold>
int Find(const C* text, int n, const C* needle, int len, Fold fold) {
  const unsigned first = fold(CharCode(needle[0]));
  for (int p = 0; p <= n - len; ++p) {
    unsigned t = CharCode(text[p]);
    if (t == 0) return -1;
    if (fold(t) != first) continue;
    int k = 1;
    for (; k < len; ++k) {
      unsigned u = CharCode(text[p + k]);
      if (fold(u) != fold(CharCode(needle[k]))) break;
      if (u == 0 && k < len - 1) return -1;
    }
    if (k == len) return p;
  }
  return -1;
}

// The empty-needle results differ by form; `empty` is the one of the caller.
template <class C, class Fold>
int Search(const C* text, int n, const C* needle, int len, int empty, Fold fold) {
  if (len < 1) return empty;
  return Find(text, n, needle, len, fold);
}

template <class C>
int NonEmptyText(const C* text) {
  return text[0] ? 0 : -1;
}

inline int NonEmptyCount(int n) { return n >= 1 ? 0 : -1; }

}  // namespace

int FindSubstrA(const char* text, const char* needle) {
  return Search(text, kUnbounded, needle, Length(needle), 0, Identity());
}
int FindSubstrW(const wchar_t* text, const wchar_t* needle) {
  return Search(text, kUnbounded, needle, Length(needle), 0, Identity());
}
int FindSubstrNoCaseA(const char* text, const char* needle) {
  return Search(text, kUnbounded, needle, Length(needle), 0, AsciiUpper());
}
int FindSubstrNoCaseW(const wchar_t* text, const wchar_t* needle) {
  return Search(text, kUnbounded, needle, Length(needle), 0, AsciiUpper());
}

int FindSubstrLenA(const char* text, const char* needle, int needleLength) {
  return Search(text, kUnbounded, needle, needleLength, NonEmptyText(text), Identity());
}
int FindSubstrLenW(const wchar_t* text, const wchar_t* needle, int needleLength) {
  return Search(text, kUnbounded, needle, needleLength, NonEmptyText(text), Identity());
}
int FindSubstrLenNoCaseA(const char* text, const char* needle, int needleLength) {
  return Search(text, kUnbounded, needle, needleLength, NonEmptyText(text), AsciiUpper());
}
int FindSubstrLenNoCaseW(const wchar_t* text, const wchar_t* needle, int needleLength) {
  return Search(text, kUnbounded, needle, needleLength, NonEmptyText(text), AsciiUpper());
}

int FindSubstrNA(const char* text, const char* needle, int n) {
  return Search(text, n, needle, Length(needle), NonEmptyCount(n), Identity());
}
int FindSubstrNW(const wchar_t* text, const wchar_t* needle, int n) {
  return Search(text, n, needle, Length(needle), NonEmptyCount(n), Identity());
}
int FindSubstrNoCaseNA(const char* text, const char* needle, int n) {
  return Search(text, n, needle, Length(needle), NonEmptyCount(n), AsciiUpper());
}
int FindSubstrNoCaseNW(const wchar_t* text, const wchar_t* needle, int n) {
  return Search(text, n, needle, Length(needle), NonEmptyCount(n), AsciiUpper());
}
int FindSubstrLenNA(const char* text, const char* needle, int n, int needleLength) {
  return Search(text, n, needle, needleLength, NonEmptyCount(n), Identity());
}
int FindSubstrLenNW(const wchar_t* text, const wchar_t* needle, int n, int needleLength) {
  return Search(text, n, needle, needleLength, NonEmptyCount(n), Identity());
}
int FindSubstrLenNoCaseNA(const char* text, const char* needle, int n, int needleLength) {
  return Search(text, n, needle, needleLength, NonEmptyCount(n), AsciiUpper());
}
int FindSubstrLenNoCaseNW(const wchar_t* text, const wchar_t* needle, int n, int needleLength) {
  return Search(text, n, needle, needleLength, NonEmptyCount(n), AsciiUpper());
}
