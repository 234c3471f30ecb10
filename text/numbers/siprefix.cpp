#include "text/numbers/siprefix.h"

#include "text/numbers/intformat.h"

// Index 15 and 16 are zetta and yotta, which 64-bit counts of small units reach.
const char SiPrefixTable[18] =
    "yzafpn"
    "\xB5"
    "m kMGTPEZY";

namespace {

constexpr int kLastPrefix = 16;
// At most 6 steps keep the multiplier (10^18 or 2^60) and ten times any
// remainder below it inside 64 bits.
constexpr int kMaxSteps = 6;

constexpr uint64_t kPowersOfTen[16] = {1ull,
                                       10ull,
                                       100ull,
                                       1000ull,
                                       10000ull,
                                       100000ull,
                                       1000000ull,
                                       10000000ull,
                                       100000000ull,
                                       1000000000ull,
                                       10000000000ull,
                                       100000000000ull,
                                       1000000000000ull,
                                       10000000000000ull,
                                       100000000000000ull,
                                       1000000000000000ull};

inline int FormatInt(int64_t value, char* dest, uint32_t flags) { return FormatInt64A(value, dest, flags); }
inline int FormatInt(int64_t value, wchar_t* dest, uint32_t flags) { return FormatInt64W(value, dest, flags); }

inline bool IsDigit(unsigned c) { return c - '0' < 10u; }

// Text of the output's width, or ASCII text.
template <class C, class S>
C* Append(C* o, const S* text) {
  while (*text) *o++ = (C)*text++;
  return o;
}

// Copies the integer text with g between digits every three places from the
// right. In fixed layout the places without a digit on their left become
// blanks, written in front, so that every width of number lines up.
template <class C>
C* WriteGrouped(C* o, const C* digits, int n, C g, bool fixed) {
  if (!g) {
    for (int k = 0; k < n; ++k) *o++ = digits[k];
    return o;
  }
  if (fixed)
    for (int k = n - 3; k > 0; k -= 3)
      if (!IsDigit(digits[k - 1])) *o++ = ' ';
  for (int k = 0; k < n; ++k) {
    if (k > 0 && (n - k) % 3 == 0 && IsDigit(digits[k - 1]) && IsDigit(digits[k])) *o++ = g;
    *o++ = digits[k];
  }
  return o;
}

template <class C>
int FormatWithPrefix(uint64_t value, C* output, uint32_t flags, const C* unit, bool bytes, uint32_t* prefixIndex) {
  const bool fixed = (flags & SIFMT_FIXED) != 0;
  const bool binary = (flags & SIFMT_BINARY) != 0;
  const int m = (flags >> 4) & 15, d = (flags >> 8) & 15, input = (flags >> 12) & 15;
  const C decimalSeparator = (C)((flags >> 16) & 0x7F ? (flags >> 16) & 0x7F : '.');
  const C groupSeparator = (C)((flags >> 24) & 0x7F);

  const bool negative = (flags & SIFMT_SIGNED) && (int64_t)value < 0;
  const uint64_t magnitude = negative ? 0 - value : value;
  const int maxSteps = kLastPrefix - input < kMaxSteps ? kLastPrefix - input : kMaxSteps;
  uint64_t scaled = magnitude, multiplier = 1;
  int steps = 0;
  while (scaled >= kPowersOfTen[d] && steps < maxSteps) {
    scaled = binary ? scaled >> 10 : scaled / 1000;
    multiplier *= binary ? 1024 : 1000;
    ++steps;
  }
  const int prefix = input + steps;

  C digits[40];
  uint32_t style = negative ? FORMAT_SIGNED : 15;
  if (fixed) style |= FormatWidth(d) | FORMAT_FIELD;
  const int n = FormatInt(negative ? (int64_t)(0 - scaled) : (int64_t)scaled, digits, style);
  C* o = WriteGrouped(output, digits, n, groupSeparator, fixed);

  if (m > 0) {
    // Plain byte counts show no decimals.
    const bool trim = !fixed && ((flags & SIFMT_TRIM_ZEROS) || (bytes && prefix == SI_PREFIX_NONE));
    C* separator = o;
    *o++ = decimalSeparator;
    // Long division, so that no product of remainder and power of ten wraps.
    uint64_t remainder = magnitude - multiplier * scaled;
    for (int i = 0; i < m; ++i) {
      remainder *= 10;
      *o++ = (C)('0' + remainder / multiplier);
      remainder %= multiplier;
    }
    if (trim) {
      while (o[-1] == '0') --o;
      if (o - 1 == separator) o = separator;
    }
  }
  if (flags & SIFMT_SPACE) *o++ = ' ';
  if (prefixIndex) *prefixIndex = (uint32_t)prefix;
  if (flags & SIFMT_UNIT) {
    if (prefix != SI_PREFIX_NONE) {
      *o++ = (C)(unsigned char)SiPrefixTable[prefix];
      if (bytes)
        o = Append(o, fixed ? "B  " : "B");
      else if (unit)
        o = Append(o, unit);
    } else if (bytes) {
      o = Append(o, "Byte");
    } else {
      if (unit) o = Append(o, unit);
      if (fixed) *o++ = ' ';  // in place of the prefix letter
    }
  }
  *o = 0;
  return (int)(o - output);
}

}  // namespace

int FormatWithPrefixA(uint64_t value, char* output, uint32_t flags, const char* unit, uint32_t* prefixIndex) {
  return FormatWithPrefix(value, output, flags, unit, false, prefixIndex);
}
int FormatWithPrefixA(uint64_t value, char* output, uint32_t flags, SiUnitBytes, uint32_t* prefixIndex) {
  return FormatWithPrefix<char>(value, output, flags, nullptr, true, prefixIndex);
}
int FormatWithPrefixW(uint64_t value, wchar_t* output, uint32_t flags, const wchar_t* unit, uint32_t* prefixIndex) {
  return FormatWithPrefix(value, output, flags, unit, false, prefixIndex);
}
int FormatWithPrefixW(uint64_t value, wchar_t* output, uint32_t flags, SiUnitBytes, uint32_t* prefixIndex) {
  return FormatWithPrefix<wchar_t>(value, output, flags, nullptr, true, prefixIndex);
}
