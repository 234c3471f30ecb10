#include "text/compare/casecompare.h"

#include <cstring>

#include "text/compare/casefoldrules.h"
#include "text/classtable.h"
#include "text/compare/memcompare.h"

namespace {

using namespace casefold;

template <class C, class Fold>
int CompareFoldedN(const C* a, const C* b, int n, Fold fold) {
  for (int i = 0; i < n; ++i) {
    unsigned x = fold(CharCode(a[i])), y = fold(CharCode(b[i]));
    if (x != y) return (int)x - (int)y;
  }
  return 0;
}

template <class C, class Fold>
int CompareFoldedZ(const C* a, const C* b, Fold fold) {
  for (;; ++a, ++b) {
    unsigned x = fold(CharCode(*a)), y = fold(CharCode(*b));
    if (x != y) return (int)x - (int)y;
    if (x == 0) return 0;
  }
}

template <class C, class Fold>
int CompareWild(const C* pattern, const C* text, int n, Fold fold) {
  for (int i = 0; i < n; ++i) {
    if (pattern[i] == '?') continue;
    unsigned x = fold(CharCode(pattern[i])), y = fold(CharCode(text[i]));
    if (x != y) return (int)x - (int)y;
  }
  return 0;
}

// Caseless with the installed upper table, else with the given ASCII fold.
template <class AsciiFold, class C>
int NoCaseN(const C* a, const C* b, int n) {
  const uint16_t* upper = CaseTables().upper;
  if (upper) return CompareFoldedN(a, b, n, typename TableFor<C>::type{upper});
  return CompareFoldedN(a, b, n, AsciiFold());
}

template <class C>
int NoCaseZ(const C* a, const C* b) {
  const uint16_t* upper = CaseTables().upper;
  if (upper) return CompareFoldedZ(a, b, typename TableFor<C>::type{upper});
  return CompareFoldedZ(a, b, AsciiLower());
}

template <class C>
int Wild(const C* pattern, const C* text, int n, bool caseless) {
  if (!caseless) return CompareWild(pattern, text, n, Identity());
  const uint16_t* upper = CaseTables().upper;
  if (upper) return CompareWild(pattern, text, n, typename TableFor<C>::type{upper});
  return CompareWild(pattern, text, n, AsciiUpper());
}

}  // namespace

int CompareNA(const char* a, const char* b, int n, bool caseless) {
  if (n < 1) return 0;
  if (caseless) return NoCaseN<AsciiLower>(a, b, n);
  int d = std::memcmp(a, b, (size_t)n);
  return (d > 0) - (d < 0);
}

int CompareNW(const wchar_t* a, const wchar_t* b, int n, bool caseless) {
  if (n < 1) return 0;
  if (!caseless) return MemCompare16(a, b, n);
  return NoCaseN<AsciiUpper>(a, b, n);  // without tables: CompareAsciiNoCaseNW
}

int CompareNoCaseNA(const char* a, const char* b, int n) { return CompareNA(a, b, n, true); }
int CompareNoCaseNW(const wchar_t* a, const wchar_t* b, int n) { return CompareNW(a, b, n, true); }

int CompareNoCaseA(const char* a, const char* b) { return NoCaseZ(a, b); }
int CompareNoCaseW(const wchar_t* a, const wchar_t* b) { return NoCaseZ(a, b); }

int CompareWildNA(const char* pattern, const char* text, int n, bool caseless) {
  return Wild(pattern, text, n, caseless);
}
int CompareWildNW(const wchar_t* pattern, const wchar_t* text, int n, bool caseless) {
  return Wild(pattern, text, n, caseless);
}
int CompareWildExactNA(const char* pattern, const char* text, int n) { return Wild(pattern, text, n, false); }
int CompareWildExactNW(const wchar_t* pattern, const wchar_t* text, int n) { return Wild(pattern, text, n, false); }
