// Overloads of the A/W twins of the text core by character type, so that one
// template can serve both widths.
#pragma once

#include <climits>
#include <cstdint>
#include <cstring>

#include "text/spans.h"
#include "text/edit/strcopy.h"

namespace twins {

// The C runtime's wide routines are not used: a native build may have a
// 32-bit wchar_t in the runtime while ours is 16-bit.
inline int Length(const char* s) { return (int)strlen(s); }
inline int Length(const wchar_t* s) { return LengthBoundedW(s, INT_MAX); }
inline int LengthBounded(const char* s, int max) { return LengthBoundedA(s, max); }
inline int LengthBounded(const wchar_t* s, int max) { return LengthBoundedW(s, max); }
inline int SpanClass(const char* s, uint32_t mask) { return SpanClassA(s, mask); }
inline int SpanClass(const wchar_t* s, uint32_t mask) { return SpanClassW(s, mask); }
inline int SpanClassBackN(const char* end, uint32_t mask, int n) { return SpanClassBackNA(end, mask, n); }
inline int SpanClassBackN(const wchar_t* end, uint32_t mask, int n) { return SpanClassBackNW(end, mask, n); }

// Overlap-safe move of n characters; nothing when n < 1.
template <class Char>
inline void MoveChars(Char* dest, const Char* source, int n) {
  if (n > 0 && dest != source) memmove(dest, source, (size_t)n * sizeof(Char));
}

}  // namespace twins
