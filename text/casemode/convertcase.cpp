#include "text/casemode/convertcase.h"

#include "text/classtable.h"

namespace {

// Class masks the conversion works with (see the header's table of modes).
const uint32_t kUpper = CC_UPPER, kUpperLatin1 = CC_LATIN1_UPPER | CC_UPPER;
const uint32_t kLower = CC_LOWER, kLowerLatin1 = CC_LATIN1_LOWER | CC_LOWER;
const uint32_t kWord = CC_ALNUM, kWordLatin1 = CC_LATIN1_UPPER | CC_LATIN1_LOWER | CC_ALNUM;
const uint32_t kComponentSeparators = CC_NUL | CC_BACKSLASH | CC_SLASH;
// Everything but digits, ASCII letters, Latin-1 letters (and the digit and
// hex-letter bits that only they carry).
const uint32_t kWordSeparators =
    ~(CC_ALNUM | CC_BINDIGIT | CC_OCTDIGIT | CC_HEXLETTER | CC_LATIN1_UPPER | CC_LATIN1_LOWER);
const unsigned kSharpS = 0xDF;

template <class C>
struct Converter {
  C* dest;
  const C* src;
  int mode;
  uint32_t upper, lower, word, separators;
  int lastDot = -1;

  Converter(C* d, const C* s, int m) : dest(d), src(s), mode(m) {
    const bool latin1 = (mode & CASE_LATIN1) != 0, wide = sizeof(C) > 1;
    upper = latin1 ? kUpperLatin1 : kUpper;
    lower = latin1 ? kLowerLatin1 : kLower;
    word = latin1 ? kWordLatin1 | (wide ? CC_DOT : 0) : kWord;
    separators = (mode & CASE_PER_WORD) ? kWordSeparators & ~(latin1 && wide ? CC_DOT : 0) : kComponentSeparators;
  }

  bool Is(C c, uint32_t mask) const { return (CharClassOf(c) & mask) != 0; }
  // In place a character that stays is not written.
  void Put(int i, C c) {
    if (dest != src || dest[i] != c) dest[i] = c;
  }
  C Upper(C c) const {
    if ((mode & CASE_LATIN1) && CharCode(c) == kSharpS) return (C)'S';
    return Is(c, lower) ? (C)(CharCode(c) - 0x20) : c;
  }
  C Lower(C c) const { return Is(c, upper) ? (C)(CharCode(c) + 0x20) : c; }

  // Whether the selection converts the characters [from, to).
  bool Selected(int from, int to, uint32_t selection) const {
    bool hasUpper = false, hasLower = false;
    for (int i = from; i < to; ++i) {
      hasUpper |= Is(src[i], upper);
      hasLower |= Is(src[i], lower);
    }
    switch (selection) {
      case CASE_IF_NO_UPPER:
        return !hasUpper;
      case CASE_IF_NO_LOWER:
        return !hasLower;
      default:
        return hasUpper != hasLower;
    }
  }

  void Convert(int from, int to) {
    C prev = ' ';
    for (int i = from; i < to; ++i) {
      const C c = src[i];
      C out;
      if (mode & CASE_UPPER) {
        out = Upper(c);
      } else if (mode & CASE_LOWER) {
        out = Lower(c);
      } else {
        if (c == '.') lastDot = i;
        out = Is(prev, word) ? Lower(c) : (mode & CASE_KEEP_INITIALS) ? c : Upper(c);
        prev = c;
      }
      Put(i, out);
    }
  }

  void Run() {
    uint32_t selection = (uint32_t)mode & CASE_SELECTION;
    const bool perWord = (mode & (CASE_PER_COMPONENT | CASE_PER_WORD)) != 0;
    int length = 0;
    while (src[length]) ++length;
    if (!perWord && selection) {
      if (!Selected(0, length, selection)) {
        for (int i = 0; i <= length; ++i) Put(i, src[i]);
        return;
      }
      selection = 0;
    }
    int i = 0;
    for (;;) {
      for (; src[i] && !Is(src[i], word); ++i) {
        if (src[i] == '.') lastDot = i;
        Put(i, src[i]);
      }
      if (src[i] == '.') lastDot = i;  // 16-bit with CASE_LATIN1: a dot is a word character
      if (!src[i]) break;
      int end = length;
      bool convert = true;
      if (selection) {
        end = i;
        while (!Is(src[end], separators)) ++end;
        convert = Selected(i, end, selection);
      }
      if (convert) {
        Convert(i, end);
      } else {
        for (int k = i; k < end; ++k) Put(k, src[k]);
      }
      i = end;
    }
    if ((mode & CASE_LOWER_EXTENSION) && lastDot >= 0 && lastDot + 1 < length && Is(dest[lastDot + 1], upper))
      Put(lastDot + 1, (C)(CharCode(dest[lastDot + 1]) + 0x20));
    Put(length, 0);
  }
};

}  // namespace

void ConvertCaseA(char* dest, const char* source, int mode) { Converter<char>(dest, source, mode).Run(); }
void ConvertCaseW(wchar_t* dest, const wchar_t* source, int mode) { Converter<wchar_t>(dest, source, mode).Run(); }
