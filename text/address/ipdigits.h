// Character tests and saturating number readers of the IP address text.
#pragma once

#include <cstdint>
#include <type_traits>

namespace iptext {

// Above every value a place accepts, and far from wrapping.
constexpr uint32_t kSaturated = 0xFFFFFFFF;

template <class Char>
inline unsigned Unit(Char c) {
  return (unsigned)(typename std::make_unsigned<Char>::type)c;
}
template <class Char>
inline bool IsDecimal(Char c) {
  return Unit(c) - '0' < 10;
}
template <class Char>
inline int HexValue(Char c) {
  unsigned u = Unit(c);
  if (u - '0' < 10) return (int)(u - '0');
  if ((u | 0x20) - 'a' < 6) return (int)((u | 0x20) - 'a' + 10);
  return -1;
}
template <class Char>
inline bool IsBlank(Char c) {
  return c == ' ' || c == '\t';
}
template <class Char>
inline int SkipBlanks(const Char* s, int p) {
  while (IsBlank(s[p])) ++p;
  return p;
}

// Reads the digits at s[*p] in the radix (10 or 16) and moves *p past them.
// No digits give 0; a value above 32 bits gives kSaturated.
template <class Char>
inline uint32_t ReadNumber(const Char* s, int* p, int radix) {
  uint64_t value = 0;
  for (;; ++*p) {
    int d = radix == 16 ? HexValue(s[*p]) : (IsDecimal(s[*p]) ? (int)(Unit(s[*p]) - '0') : -1);
    if (d < 0) break;
    value = value * (uint64_t)radix + (uint64_t)d;
    if (value > kSaturated) value = (uint64_t)kSaturated + 1;  // stays saturated
  }
  return value > kSaturated ? kSaturated : (uint32_t)value;
}

}  // namespace iptext
