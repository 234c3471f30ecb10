#include "text/address/ipaddr.h"
#include "text/address/ipdigits.h"

using iptext::HexValue;
using iptext::IsDecimal;
using iptext::SkipBlanks;

namespace {

// A letter, or in 16-bit text any unit above 255, may not follow a number of
// an IPv4 address.
template <class Char>
bool EndsNumberBadly(Char c) {
  unsigned u = iptext::Unit(c);
  return ((u | 0x20) - 'a' < 26) || u > 255;
}

// Four dotted runs of decimal digits from s[*p]; false with *p at the failure.
template <class Char>
bool CheckDotted(const Char* s, int* p) {
  for (int i = 0; i < 4; ++i) {
    while (IsDecimal(s[*p])) ++*p;
    if (EndsNumberBadly(s[*p])) return false;
    if (i < 3) {
      if (s[*p] != '.') return false;
      ++*p;
    }
  }
  return true;
}

template <class Char>
uint32_t CheckIpSyntax(const Char* s, uint32_t flags) {
  int p = flags & IPTEXT_LEADING_BLANKS ? SkipBlanks(s, 0) : 0;
  uint32_t kind = 0;
  bool brackets = false;
  if ((flags & IPTEXT_BRACKETS) && s[p] == '[') {
    brackets = true;
    kind |= IPKIND_BRACKETS;
    ++p;
  }
  int q = p;
  while (HexValue(s[q]) >= 0) ++q;
  if (q > p && s[q] == '.') {
    if (!CheckDotted(s, &p)) return (uint32_t)p;
    kind |= IPKIND_V4;
  } else {
    int count = 0;
    int gap = -1;
    bool tail = false;
    if (s[p] == ':') {
      if (s[p + 1] != ':') return (uint32_t)p;
      gap = 0;
      p += 2;
    }
    while (count < 8 && HexValue(s[p]) >= 0) {
      q = p;
      while (HexValue(s[q]) >= 0) ++q;
      if (s[q] == '.') {
        bool placed = gap >= 0 ? count >= 1 && count <= 6 && gap != count : count == 6;
        if (!placed) return (uint32_t)p;
        if (!CheckDotted(s, &p)) return (uint32_t)p;
        count += 2;
        tail = true;
        break;
      }
      p = q;
      ++count;
      if (count == 8 || s[p] != ':') break;
      if (s[p + 1] == ':') {
        if (gap >= 0) return (uint32_t)p;
        gap = count;
        p += 2;
      } else if (HexValue(s[p + 1]) >= 0) {
        ++p;
      } else {
        return (uint32_t)p;
      }
    }
    if (gap < 0 ? count < 8 : (count == 8 && !tail)) return (uint32_t)p;
    kind |= IPKIND_V6;
  }
  if (s[p] == '/') {
    ++p;
    while (IsDecimal(s[p])) ++p;
    kind |= IPKIND_PREFIX;
  }
  if (brackets) {
    if (s[p] != ']') return (uint32_t)p;
    ++p;
  }
  if (s[p] == ':') {
    ++p;
    while (IsDecimal(s[p])) ++p;
    kind |= IPKIND_PORT;
  }
  if (flags & IPTEXT_TRAILING_BLANKS) p = SkipBlanks(s, p);
  // The length must not run into the kind bits.
  if ((uint32_t)p > IPKIND_LENGTH_MASK) return IPKIND_LENGTH_MASK;
  return (uint32_t)p | kind;
}

}  // namespace

uint32_t CheckIpSyntaxA(const char* text, uint32_t flags) { return CheckIpSyntax(text, flags); }
uint32_t CheckIpSyntaxW(const wchar_t* text, uint32_t flags) { return CheckIpSyntax(text, flags); }
