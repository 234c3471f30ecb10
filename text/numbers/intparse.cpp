#include <climits>

#include "text/numbers/intparse.h"

#include "text/classtable.h"
#include "text/spans.h"

namespace {

constexpr int kUnbounded = INT_MAX;

// Where the parser tests a class itself, a 16-bit character above 255 is a
// member of every class: it passes as a blank and as a group separator.
template <class C>
inline bool Member(C ch, uint32_t mask) {
  unsigned u = CharCode(ch);
  return u > 255 || (CharClassTable[u] & mask) != 0;
}

// The lower-cased letter (only meaningful for comparing with letters).
template <class C>
inline unsigned Lower(C ch) {
  return CharCode(ch) | 0x20;
}

template <class C>
class Parser {
 public:
  Parser(const C* text, int n) : t_(text), n_(n) {}

  // Character at i, or NUL at and beyond n. Callers look at i only after
  // every character before it was found not to be a NUL.
  unsigned At(int i) const { return i < n_ ? CharCode(t_[i]) : 0; }

  template <class U>
  U Parse(uint32_t flags, int* end) {
    const uint32_t style = flags & PARSE_STYLE_MASK;
    sepMask_ = GroupSeparatorMasks[(flags >> 10) & 3];
    int p = 0;
    if (!(flags & PARSE_NO_BLANKS)) p = SkipBlanks(p);
    bool negative = false;
    if (At(p) == '-' && !(flags & PARSE_NO_MINUS)) {
      negative = true;
      ++p;
      if (!(flags & (PARSE_NO_SIGN_BLANKS | PARSE_NO_BLANKS))) p = SkipBlanks(p);
    }
    radix_ = 10;
    suffix_ = false;
    if (style == PARSE_AUTO) {
      if (At(p) == '0' && p + 2 < n_) {
        unsigned r = PrefixRadix(Lower(t_[p + 1]));
        if (r) radix_ = r, p += 2;
      }
    } else if (style == PARSE_SUFFIX) {
      DetectSuffix(p);
    } else if (style <= 36) {
      radix_ = style;
    } else if (style == PARSE_MIXED_OCT || style == PARSE_MIXED) {
      p = Mixed(p, style);
    } else if (style == PARSE_BASED) {
      p = Based(p, 2, 3);
    } else if (style == PARSE_CLASSIC || style == PARSE_CLASSIC_NOBIN) {
      if (At(p) == '0' && p + 1 < n_) {
        unsigned l = Lower(t_[p + 1]);
        if (l == 'x')
          radix_ = 16, p += 2;
        else if (l == 'b' && style == PARSE_CLASSIC)
          radix_ = 2, p += 2;
        else
          radix_ = 8, p += 1;
      }
    }
    // (Styles 37-250 are no syntax: they read decimal digits.)

    U value = 0;
    // The largest magnitude that fits: all bits, or the sign bit alone after '-'.
    const U most = negative ? (U)((U)1 << (sizeof(U) * 8 - 1)) : (U) ~(U)0;
    bool over = false;
    for (; p < n_; ++p) {
      C ch = t_[p];
      unsigned d = DigitValueOf(ch);
      if (d < radix_) {
        if (value > (U)(most - d) / radix_) over = true;
        value = value * radix_ + d;
      } else if (!Member(ch, sepMask_)) {
        break;
      }
    }
    if (over && (flags & PARSE_EXACT)) {
      if (end) *end = 0;
      return 0;
    }
    if (negative) value = 0 - value;
    if (suffix_) ++p;
    if (flags & PARSE_SKIP_TRAILING) p += Span(p, CC_BLANK, n_ - p);
    if (end) *end = p;
    return value;
  }

 private:
  int SkipBlanks(int p) const {
    while (p < n_ && Member(t_[p], CC_TABSPACE)) ++p;
    return p;
  }

  // Run of class members from p, at most max characters (span rules: a
  // character above 255 ends it).
  int Span(int p, uint32_t mask, int max) const {
    int i = 0;
    while (i < max && (CharClassOf(t_[p + i]) & mask)) ++i;
    return i;
  }

  static unsigned PrefixRadix(unsigned lowerLetter) {
    switch (lowerLetter) {
      case 'x':
        return 16;
      case 'd':
        return 10;
      case 'o':
        return 8;
      case 'b':
        return 2;
    }
    return 0;
  }

  // Looks ahead from p without moving: a run of hex, binary or octal digits
  // followed by its suffix letter sets the radix. The runs stop short of n so
  // that the suffix examined still lies below it.
  void DetectSuffix(int p) {
    int max = n_ - p - 1;
    if (max < 0) return;
    struct {
      uint32_t mask;
      unsigned letter, radix;
    } const kinds[] = {{CC_HEXDIGIT, 'h', 16}, {CC_BINDIGIT, 'b', 2}, {CC_OCTDIGIT, 'o', 8}};
    for (const auto& k : kinds) {
      int run = Span(p, k.mask, max);
      if (Lower(t_[p + run]) == k.letter) {
        radix_ = k.radix;
        suffix_ = true;
        return;
      }
    }
  }

  // "16#", "10#", "8#", "2#": at most one, each allowing '_' between the
  // digits. short/long give how far the prefix must reach (p + length <=
  // n needs just the prefix; the mixed forms want a character behind it).
  int Based(int p, int extraShort, int extraLong) {
    unsigned a = At(p), b = a ? At(p + 1) : 0, c = b ? At(p + 2) : 0;
    if ((a == '8' || a == '2') && b == '#' && p + extraShort <= n_) {
      radix_ = a == '8' ? 8 : 2;
      p += 2;
    } else if (a == '1' && (b == '0' || b == '6') && c == '#' && p + extraLong <= n_) {
      radix_ = b == '0' ? 10 : 16;
      p += 3;
    } else {
      return p;
    }
    sepMask_ |= CC_UNDERSCORE;
    return p;
  }

  int Mixed(int p, uint32_t style) {
    if (At(p) == '0' && p + 2 < n_) {
      unsigned l = Lower(t_[p + 1]);
      if (unsigned r = PrefixRadix(l)) {
        // "0B800h" and "0D0h" are suffixed hexadecimal numbers, not prefixes.
        if ((l == 'd' || l == 'b') && Lower(t_[p + 1 + Span(p + 1, CC_HEXDIGIT, n_ - p - 2)]) == 'h') {
          DetectSuffix(p);
          return p;
        }
        radix_ = r;
        return p + 2;
      }
      ++p;
      if (style == PARSE_MIXED_OCT) radix_ = 8;
      DetectSuffix(p);
      return p;
    }
    int q = Based(p, 3, 4);
    if (q != p) return q;
    DetectSuffix(p);
    return p;
  }

  const C* t_;
  int n_;
  uint32_t sepMask_ = 0;
  unsigned radix_ = 10;
  bool suffix_ = false;
};

template <class U, class C>
U ParseCounted(const C* text, int n, uint32_t flags, int* end) {
  if (n < 1) {
    if (end) *end = 0;
    return 0;
  }
  return Parser<C>(text, n).template Parse<U>(flags, end);
}

template <class C>
uint32_t ParseHex(const C* text, unsigned n) {
  unsigned i = 0;
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i >= n) return 0;
  uint32_t value = 0;
  for (unsigned d; i < n && (d = DigitValueOf(text[i])) < 16; ++i) value = value * 16 + d;
  return value;
}

}  // namespace

int ParseIntA(const char* text, uint32_t flags, int* end) {
  return (int)Parser<char>(text, kUnbounded).Parse<uint32_t>(flags, end);
}
int ParseIntW(const wchar_t* text, uint32_t flags, int* end) {
  return (int)Parser<wchar_t>(text, kUnbounded).Parse<uint32_t>(flags, end);
}
int ParseIntNA(const char* text, int n, uint32_t flags, int* end) {
  return (int)ParseCounted<uint32_t>(text, n, flags, end);
}
int ParseIntNW(const wchar_t* text, int n, uint32_t flags, int* end) {
  return (int)ParseCounted<uint32_t>(text, n, flags, end);
}
int64_t ParseInt64A(const char* text, uint32_t flags, int* end) {
  return (int64_t)Parser<char>(text, kUnbounded).Parse<uint64_t>(flags, end);
}
int64_t ParseInt64W(const wchar_t* text, uint32_t flags, int* end) {
  return (int64_t)Parser<wchar_t>(text, kUnbounded).Parse<uint64_t>(flags, end);
}
int64_t ParseInt64NA(const char* text, int n, uint32_t flags, int* end) {
  return (int64_t)ParseCounted<uint64_t>(text, n, flags, end);
}
int64_t ParseInt64NW(const wchar_t* text, int n, uint32_t flags, int* end) {
  return (int64_t)ParseCounted<uint64_t>(text, n, flags, end);
}

uint32_t ParseHexNA(const char* text, unsigned n) { return ParseHex(text, n); }
uint32_t ParseHexNW(const wchar_t* text, unsigned n) { return ParseHex(text, n); }
