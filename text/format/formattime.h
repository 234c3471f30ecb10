// The formatter's time conversions (k, K): seconds since 1970-01-01 UTC
// shown in local time.
#pragma once

#include <cstdint>

// Writes HH:MM:SS ('0' flag: no colons; '+' flag: no seconds); with FMT_DATE
// first the date (YYYY-MM-DD, or D.M.YYYY with '#') and precision blanks
// (underscores with the blank flag; precision 0: the date alone). The value
// is 32-bit signed, or 64-bit with FMT_LEN_64. A time the runtime cannot
// convert (negative ones) writes "(null)". Returns the length written.
int FormatTimeValueA(uint32_t low, uint32_t high, char* dest, uint32_t flags, int precision);
int FormatTimeValueW(uint32_t low, uint32_t high, wchar_t* dest, uint32_t flags, int precision);

inline int FormatTimeValue(uint32_t l, uint32_t h, char* d, uint32_t f, int p) {
  return FormatTimeValueA(l, h, d, f, p);
}
inline int FormatTimeValue(uint32_t l, uint32_t h, wchar_t* d, uint32_t f, int p) {
  return FormatTimeValueW(l, h, d, f, p);
}
