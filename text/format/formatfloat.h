// Floating-point conversions of the formatter. Each writes plain text (no
// terminator) and returns its length. flags is the directive's flag
// word; precision counts only when FMT_PRECISION is set. Halfway values
// round down, exponents have three digits, infinity and NaN print as
// "1.#INF" and "1.#NAN".
#pragma once

#include <cstdint>

extern const double FloatPowersOfTen[16];    // 1e0 .. 1e15
extern const double FloatRoundingTable[16];  // 0.499999999999e-p

int FormatFloatFA(double value, char* dest, uint32_t flags, int precision);   // f
int FormatFloatEA(double value, char* dest, uint32_t flags, int precision);   // e, E
int FormatFloatGA(double value, char* dest, uint32_t flags, int precision);   // g, G
int FormatFloatHexA(double value, char* dest, uint32_t flags, int precision,  // a, A
                    const char* digits);

int FormatFloatFW(double value, wchar_t* dest, uint32_t flags, int precision);
int FormatFloatEW(double value, wchar_t* dest, uint32_t flags, int precision);
int FormatFloatGW(double value, wchar_t* dest, uint32_t flags, int precision);
int FormatFloatHexW(double value, wchar_t* dest, uint32_t flags, int precision, const char* digits);

// Overloads by destination type, for code shared between the two widths.
inline int FormatFloatF(double v, char* d, uint32_t f, int p) { return FormatFloatFA(v, d, f, p); }
inline int FormatFloatF(double v, wchar_t* d, uint32_t f, int p) { return FormatFloatFW(v, d, f, p); }
inline int FormatFloatE(double v, char* d, uint32_t f, int p) { return FormatFloatEA(v, d, f, p); }
inline int FormatFloatE(double v, wchar_t* d, uint32_t f, int p) { return FormatFloatEW(v, d, f, p); }
inline int FormatFloatG(double v, char* d, uint32_t f, int p) { return FormatFloatGA(v, d, f, p); }
inline int FormatFloatG(double v, wchar_t* d, uint32_t f, int p) { return FormatFloatGW(v, d, f, p); }
inline int FormatFloatHex(double v, char* d, uint32_t f, int p, const char* t) {
  return FormatFloatHexA(v, d, f, p, t);
}
inline int FormatFloatHex(double v, wchar_t* d, uint32_t f, int p, const char* t) {
  return FormatFloatHexW(v, d, f, p, t);
}
