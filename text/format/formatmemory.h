// The formatter's memory dump (m, M): bytes at a pointer as hexadecimal.
#pragma once

#include <cstdint>

// Group sizes by length code: none, ll 8, l 4, h 2, hh none.
extern const unsigned char MemoryGroupSizes[5];

// Writes the bytes (16, or the precision up to 256) as pairs of digits from
// the table, separated by ':' with '+' or by a blank with the blank flag,
// with an extra blank after each group. '#' fits the dump into the width
// and ends a cut dump with "..."; '0' fills the width with "00" units.
// A null pointer writes "(null)". Returns the length written.
int FormatMemoryHexA(const void* pointer, char* dest, uint32_t flags, int precision, int width, const char* digits);
int FormatMemoryHexW(const void* pointer, wchar_t* dest, uint32_t flags, int precision, int width, const char* digits);

inline int FormatMemoryHex(const void* m, char* d, uint32_t f, int p, int w, const char* t) {
  return FormatMemoryHexA(m, d, f, p, w, t);
}
inline int FormatMemoryHex(const void* m, wchar_t* d, uint32_t f, int p, int w, const char* t) {
  return FormatMemoryHexW(m, d, f, p, w, t);
}
