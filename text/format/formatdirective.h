// Parser of one conversion directive, shared by the formatter cores and
// the argument pre-scan so that both read a format alike. Internal to the
// formatter.
#pragma once

#include <climits>
#include <cstdint>

#include "text/format/formatcore.h"

namespace formatdirective {

enum Status {
  kConversion,  // a conversion letter ends the directive
  kPercent,     // "%%"
  kText,        // no conversion: the character at the end is read again as text
  kDropped,     // a character >= 0x80 right after '%': it is dropped with the '%'
  kStop,        // a character >= 0x80 where the grammar cannot go on: formatting ends
};

// The bits of a FormatCharClass byte; bits 5-7 hold the flag code.
enum CharClassBits : unsigned {
  kClassStar = 1,
  kClassDigit = 2,
  kClassDot = 4,
  kClassLength = 8,
  kClassConversion = 16
};
constexpr int kFlagCodeShift = 5;
enum FlagCode : unsigned { kFlagNone, kFlagPlus, kFlagBlank, kFlagAlt, kFlagLeft, kFlagZero, kFlagSkip, kFlagLetter };

struct Directive {
  uint32_t flags;
  int letter;  // argument letter 1-12, or 0
  int width;
  int precision;
  unsigned conversion;
};

template <class Ch>
inline unsigned Unit(Ch c) {
  return sizeof(Ch) == 1 ? (unsigned char)c : (unsigned)(uint16_t)c;
}

inline unsigned ClassOf(unsigned c) { return c < 0x80 ? FormatCharClass[c] : 0; }

// Digits up to the first non-digit; the value saturates at INT_MAX.
template <class Ch>
const Ch* ReadNumber(const Ch* p, int* value) {
  int v = 0;
  for (unsigned c; (c = Unit(*p)) >= '0' && c <= '9'; ++p)
    v = v < (INT_MAX - 9) / 10 ? v * 10 + (int)(c - '0') : INT_MAX;
  *value = v;
  return p;
}

// Parses the directive after a '%' at p. star(position) is called for
// each '*' (position is just after it) and returns the argument's value.
// Returns the position where reading goes on.
template <class Ch, class Star>
const Ch* Parse(const Ch* p, Directive* dir, Status* status, Star&& star) {
  dir->flags = 0;
  dir->letter = 0;
  dir->width = 0;
  dir->precision = 0;
  dir->conversion = 0;
  unsigned c = Unit(*p);
  if (c == '%') {
    *status = kPercent;
    return p + 1;
  }
  if (c >= 0x80) {
    *status = kDropped;
    return p + 1;
  }

  // Flags; a character >= 0x80 among them repeats the flag before it.
  unsigned last = 0;
  for (;; ++p) {
    c = Unit(*p);
    unsigned code = c >= 0x80 ? last : ClassOf(c) >> kFlagCodeShift;
    if (!code) break;
    switch (code) {
      case kFlagPlus:
        dir->flags |= FMT_SIGN_PLUS;
        break;
      case kFlagBlank:
        dir->flags |= FMT_SIGN_BLANK;
        break;
      case kFlagAlt:
        dir->flags |= FMT_ALT;
        break;
      case kFlagLeft:
        dir->flags = (dir->flags | FMT_LEFT) & ~FMT_ZEROPAD;
        break;
      case kFlagZero:
        dir->flags |= FMT_ZERO | FMT_ZEROFILL;
        if (!(dir->flags & FMT_LEFT)) dir->flags |= FMT_ZEROPAD;
        break;
      case kFlagSkip:
        dir->flags |= FMT_SKIP;
        break;
      case kFlagLetter:
        if (c == '@' && Unit(p[1]) >= 'A' && Unit(p[1]) <= 'L') dir->letter = (int)(Unit(*++p) - 'A') + 1;
        break;
    }
    last = code;
  }

  // Width.
  if (c == '*') {
    dir->flags |= FMT_WIDTH;
    dir->width = star(++p);
    if (Unit(*p) >= 0x80) return *status = kStop, p;
  } else if (ClassOf(c) & kClassDigit) {
    dir->flags |= FMT_WIDTH;
    p = ReadNumber(p, &dir->width);
  }

  // Precision.
  if (Unit(*p) == '.') {
    dir->flags |= FMT_PRECISION;
    c = Unit(*++p);
    if (c >= 0x80) return *status = kStop, p;
    if (c == '*') {
      dir->precision = star(++p);
      if (Unit(*p) >= 0x80) return *status = kStop, p;
    } else {
      p = ReadNumber(p, &dir->precision);
    }
  }

  // Length letters.
  c = Unit(*p);
  if (ClassOf(c) & kClassLength) {
    unsigned code = FMT_LEN_LONG;
    unsigned c1 = Unit(p[1]);
    ++p;
    if (c == 'I') {
      if (c1 == '6' && Unit(p[1]) == '4')
        code = FMT_LEN_64, p += 2;
      else if (c1 == '3' && Unit(p[1]) == '2')
        p += 2;
    } else if (c == 'h') {
      code = FMT_LEN_SHORT;
      if (c1 == 'h') code = FMT_LEN_CHAR, ++p;
    } else if (c == 'l') {
      if (c1 == 'l') code = FMT_LEN_64, ++p;
    } else if (c == 'q') {
      code = FMT_LEN_64;
    }
    dir->flags |= code;
    if (Unit(*p) >= 0x80) return *status = kStop, p;
  }

  c = Unit(*p);
  if (ClassOf(c) & kClassConversion) {
    dir->conversion = c;
    *status = kConversion;
    return p + 1;
  }
  *status = kText;
  return p;
}

}  // namespace formatdirective
