// Character folders shared by the case routines (not for callers).
#pragma once

#include <cstdint>

#include "text/compare/casefold.h"

namespace casefold {

struct Identity {
  unsigned operator()(unsigned c) const { return c; }
};
struct AsciiUpper {
  unsigned operator()(unsigned c) const { return c - 'a' < 26u ? c - 32 : c; }
};
struct AsciiLower {
  unsigned operator()(unsigned c) const { return c - 'A' < 26u ? c + 32 : c; }
};
// 8-bit text takes the low byte of the entry.
struct Table8 {
  const uint16_t* table;
  unsigned operator()(unsigned c) const { return table[c] & 0xFFu; }
};
struct Table16 {
  const uint16_t* table;
  unsigned operator()(unsigned c) const { return c < CaseTableSize ? table[c] : c; }
};

template <class C>
struct TableFor;
template <>
struct TableFor<char> {
  typedef Table8 type;
};
template <>
struct TableFor<wchar_t> {
  typedef Table16 type;
};

}  // namespace casefold
