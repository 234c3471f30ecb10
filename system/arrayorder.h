// Binary search with the search flag word, and the non-recursive quicksort,
// shared by the library's growable arrays. Both work on indexes through the
// caller's compare, so they serve pointer arrays and inline records alike.
#pragma once

#include <cstdint>
#include <cstring>

#include "text/quicksort.h"

// The search flag word of the arrays' binary searches.
enum : unsigned {
  ARRAY_UNSIGNED = 1,    // integer keys compare as unsigned
  ARRAY_FIRST = 2,       // on a match: the first record equal to the key
  ARRAY_AFTER_LAST = 4,  // on a match (without ARRAY_FIRST): the position after the last equal record
  ARRAY_INSERT_POS = 8,  // on a miss: the insertion position instead of -1
};

const unsigned ARRAY_NONE = 0xFFFFFFFFu;  // not found or refused

// Sign of a compare of two 32-bit or 64-bit values, signed unless flag 1.
template <class Signed, class Unsigned>
inline int CompareKeys(Unsigned key, Unsigned field, unsigned flags) {
  if (flags & ARRAY_UNSIGNED) return key < field ? -1 : key > field ? 1 : 0;
  Signed k = (Signed)key, f = (Signed)field;
  return k < f ? -1 : k > f ? 1 : 0;
}

// Fields at a byte offset of a record, which need not be aligned.
inline uint32_t LoadField32(const void* p) {
  uint32_t v;
  memcpy(&v, p, 4);
  return v;
}
inline uint64_t LoadField64(const void* p) {
  uint64_t v;
  memcpy(&v, p, 8);
  return v;
}

// Range checks that come before the key field's own bounds: ARRAY_NONE, the
// insertion position count, or 0 to go on with the search.
inline bool ArraySearchRangeEmpty(unsigned count, unsigned from, unsigned to, unsigned flags, unsigned* result) {
  if (from >= count) {
    *result = (flags & ARRAY_INSERT_POS) ? count : ARRAY_NONE;
    return true;
  }
  if ((to < count ? to : count) <= from) {
    *result = ARRAY_NONE;
    return true;
  }
  return false;
}

// Bisection over [from, min(to, count)), the range known to be non-empty.
// keyOrder(i) says where the key sorts against record i: below 0 before it,
// 0 equal, above 0 after it.
template <class KeyOrder>
unsigned ArrayBisect(unsigned count, unsigned from, unsigned to, unsigned flags, KeyOrder keyOrder) {
  unsigned lo = from, hi = (to < count ? to : count) - 1;
  for (;;) {
    unsigned half = (hi - lo + 1) / 2, mid = lo + half;
    int order = keyOrder(mid);
    if (half == 0) {
      if (order == 0) return (flags & (ARRAY_FIRST | ARRAY_AFTER_LAST)) == ARRAY_AFTER_LAST ? lo + 1 : lo;
      if (!(flags & ARRAY_INSERT_POS)) return ARRAY_NONE;
      return order > 0 ? lo + 1 : lo;
    }
    if (order == 0) {
      if (!(flags & (ARRAY_FIRST | ARRAY_AFTER_LAST))) return mid;
      // Once an equal key was met the search ends on a position, never on -1.
      flags |= ARRAY_INSERT_POS;
      if (flags & ARRAY_FIRST) {
        hi = mid - 1;
      } else {
        lo = mid + 1 < hi ? mid + 1 : hi;
      }
    } else if (order < 0) {
      hi = mid - 1;  // half >= 1, so this stays at or above lo
    } else {
      lo = mid + 1 < hi ? mid + 1 : hi;
    }
  }
}

// The sorts' range rules: from below 0 counts as 0, to is cut to count.
// False when fewer than two records remain.
inline bool ArraySortRange(int from, unsigned to, unsigned count, int* lo, int* hi) {
  unsigned first = from < 0 ? 0 : (unsigned)from;
  unsigned end = to < count ? to : count;
  if (end < first + 2 || first >= end) return false;
  *lo = (int)first;
  *hi = (int)end - 1;
  return true;
}
