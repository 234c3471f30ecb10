// Digit grouping of the formatter's D, U and F conversions.
#pragma once

#include <cstdint>

// Rewrites the number text in place with a separator (blank, or '.' with
// FMT_ALT) between groups of three integer digits, decimal places for
// 0 < precision < 128, and right justification in the width (at most 1024)
// unless FMT_LEFT: zero fill continues the groups with FMT_ZEROPAD. The
// buffer must have room for the growth. Returns the new length.
int GroupThousandsA(int length, char* text, uint32_t flags, int precision, int width);
int GroupThousandsW(int length, wchar_t* text, uint32_t flags, int precision, int width);

inline int GroupThousands(int n, char* t, uint32_t f, int p, int w) { return GroupThousandsA(n, t, f, p, w); }
inline int GroupThousands(int n, wchar_t* t, uint32_t f, int p, int w) { return GroupThousandsW(n, t, f, p, w); }
