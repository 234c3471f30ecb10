#include "text/compare/naturalcompare.h"

#include <climits>

#include "text/compare/casefoldrules.h"
#include "text/classtable.h"
#include "text/numbers/intparse.h"

const unsigned char AccentFoldTable[128] = {
    0x80, 'u',  'e',  'a',  'a',  'a',  'a',  0x87, 'e',  'e',  'e',  'i',  'i',  'i',  'A',  'A',   // 80 (OEM)
    'E',  0x91, 0x92, 0x93, 'o',  'o',  'u',  'u',  0x98, 'U',  0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F,  // 90
    'a',  'i',  'o',  'u',  'n',  'N',  0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,  // A0
    0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF,  // B0
    'A',  'A',  'A',  'A',  'A',  'A',  'A',  'C',  'E',  'E',  'E',  'E',  'I',  'I',  'I',  'I',   // C0 (Latin-1)
    'D',  'N',  'O',  'O',  'O',  'O',  'O',  0xD7, 0xD8, 'U',  'U',  'U',  'U',  'Y',  0xDE, 's',   // D0
    'a',  'a',  'a',  'a',  'a',  'a',  'a',  'c',  'e',  'e',  'e',  'e',  'i',  'i',  'i',  'i',   // E0
    'd',  'n',  'o',  'o',  'o',  'o',  'o',  0xF7, 0xF8, 'u',  'u',  'u',  'u',  'y',  0xDE, 'y',   // F0
};

namespace {

int ParseNumber(const char* s, int n, int* end) {
  return n == INT_MAX ? ParseIntA(s, 0, end) : ParseIntNA(s, n, 0, end);
}
int ParseNumber(const wchar_t* s, int n, int* end) {
  return n == INT_MAX ? ParseIntW(s, 0, end) : ParseIntNW(s, n, 0, end);
}

// Caseless forms fold upper-case letters (ASCII and Latin-1) by setting bit
// 0x20; 16-bit characters above 255 all get that bit.
template <bool Caseless>
inline unsigned Fold(unsigned c) {
  if (!Caseless) return c;
  if (c > 255) return c | 0x20;
  return CharClassTable[c] & (CC_UPPER | CC_LATIN1_UPPER) ? c | 0x20 : c;
}

// What a character counts as once it differs from the other side.
template <bool Caseless>
inline unsigned Substitute(unsigned c) {
  if (c == '.') return 1;
  if (c == '/' || c == '\\') return 0;
  if (c == '_') return ' ';
  if (c < 0x80 || c > 0xFF) return c;
  unsigned folded = AccentFoldTable[c - 0x80];
  return Caseless && folded >= 'A' && folded <= 'Z' ? folded + 32 : folded;
}

// The plain compare of the rests (strcmp, _stricmp and their counted and
// 16-bit kin): -1, 0 or 1, up to the first NUL or n characters, ASCII
// letters folded to lower case when caseless.
template <class Char>
int CompareRest(const Char* a, const Char* b, int n, bool caseless) {
  for (int i = 0; i < n; ++i) {
    unsigned x = CharCode(a[i]), y = CharCode(b[i]);
    if (caseless) x = casefold::AsciiLower()(x), y = casefold::AsciiLower()(y);
    if (x != y) return x < y ? -1 : 1;
    if (!x) break;
  }
  return 0;
}

inline bool IsDigit(unsigned c) { return c - '0' < 10; }

// n is INT_MAX for the forms without a count.
template <class Char, bool Caseless>
int CompareNatural(const Char* a, const Char* b, int n) {
  for (int i = 0; i < n;) {
    unsigned x = CharCode(a[i]), y = CharCode(b[i]);
    if (x == y && x && !IsDigit(x)) {  // the common stretch: no folding needed
      ++i;
      continue;
    }
    x = Fold<Caseless>(x);
    y = Fold<Caseless>(y);
    if (!x || !y) return (int)x - (int)y;
    if (IsDigit(x) && IsDigit(y)) {
      int lengthA, lengthB;
      unsigned valueA = (unsigned)ParseNumber(a + i, n - i, &lengthA);
      unsigned valueB = (unsigned)ParseNumber(b + i, n - i, &lengthB);
      if (valueA != valueB) return valueA < valueB ? -1 : 1;
      // The same value written differently: the rests decide.
      if (lengthA != lengthB) return CompareRest(a + i, b + i, n - i, Caseless);
      if (int r = CompareRest(a + i, b + i, lengthA, Caseless)) return r;
      i += lengthA;
      continue;
    }
    if (x != y) {
      unsigned sx = Substitute<Caseless>(x), sy = Substitute<Caseless>(y);
      if (sx != sy) return (int)sx - (int)sy;
    }
    ++i;
  }
  return 0;
}

}  // namespace

int CompareNaturalA(const char* a, const char* b) { return CompareNatural<char, false>(a, b, INT_MAX); }
int CompareNaturalW(const wchar_t* a, const wchar_t* b) { return CompareNatural<wchar_t, false>(a, b, INT_MAX); }
int CompareNaturalNoCaseA(const char* a, const char* b) { return CompareNatural<char, true>(a, b, INT_MAX); }
int CompareNaturalNoCaseW(const wchar_t* a, const wchar_t* b) { return CompareNatural<wchar_t, true>(a, b, INT_MAX); }
// INT_MAX is the mark of the forms without a count; a caller's count that
// large is the same as none.
int CompareNaturalNA(const char* a, const char* b, int n) { return CompareNatural<char, false>(a, b, n); }
int CompareNaturalNW(const wchar_t* a, const wchar_t* b, int n) { return CompareNatural<wchar_t, false>(a, b, n); }
int CompareNaturalNoCaseNA(const char* a, const char* b, int n) { return CompareNatural<char, true>(a, b, n); }
int CompareNaturalNoCaseNW(const wchar_t* a, const wchar_t* b, int n) { return CompareNatural<wchar_t, true>(a, b, n); }
