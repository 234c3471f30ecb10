// Digit writers of the formatter: value in, digits out. None writes a
// terminator; zero gives no digits at all; each returns the digit count. The
// 64-bit forms take the value as low and high halves.
#pragma once

#include <cstdint>

// "0123456789ABCDEF" then the prefix letter and the exponent letter.
extern const char FormatDigitsUpper[19];  // "0123456789ABCDEFXP"
extern const char FormatDigitsLower[19];  // "0123456789abcdefxp"

int FormatHex32A(uint32_t value, char* dest, const char* digits);
int FormatHex64A(uint32_t low, uint32_t high, char* dest, const char* digits);
int FormatOct32A(uint32_t value, char* dest);
int FormatOct64A(uint32_t low, uint32_t high, char* dest);
int FormatBin32A(uint32_t value, char* dest);
int FormatBin64A(uint32_t low, uint32_t high, char* dest);
int FormatDec32A(uint32_t value, char* dest);
int FormatDec64A(uint32_t low, uint32_t high, char* dest);

int FormatHex32W(uint32_t value, wchar_t* dest, const char* digits);
int FormatHex64W(uint32_t low, uint32_t high, wchar_t* dest, const char* digits);
int FormatOct32W(uint32_t value, wchar_t* dest);
int FormatOct64W(uint32_t low, uint32_t high, wchar_t* dest);
int FormatBin32W(uint32_t value, wchar_t* dest);
int FormatBin64W(uint32_t low, uint32_t high, wchar_t* dest);
int FormatDec32W(uint32_t value, wchar_t* dest);
int FormatDec64W(uint32_t low, uint32_t high, wchar_t* dest);

// Overloads by destination type, for code shared between the two widths.
inline int FormatHex32(uint32_t v, char* d, const char* t) { return FormatHex32A(v, d, t); }
inline int FormatHex32(uint32_t v, wchar_t* d, const char* t) { return FormatHex32W(v, d, t); }
inline int FormatHex64(uint32_t l, uint32_t h, char* d, const char* t) { return FormatHex64A(l, h, d, t); }
inline int FormatHex64(uint32_t l, uint32_t h, wchar_t* d, const char* t) { return FormatHex64W(l, h, d, t); }
inline int FormatOct32(uint32_t v, char* d) { return FormatOct32A(v, d); }
inline int FormatOct32(uint32_t v, wchar_t* d) { return FormatOct32W(v, d); }
inline int FormatOct64(uint32_t l, uint32_t h, char* d) { return FormatOct64A(l, h, d); }
inline int FormatOct64(uint32_t l, uint32_t h, wchar_t* d) { return FormatOct64W(l, h, d); }
inline int FormatBin32(uint32_t v, char* d) { return FormatBin32A(v, d); }
inline int FormatBin32(uint32_t v, wchar_t* d) { return FormatBin32W(v, d); }
inline int FormatBin64(uint32_t l, uint32_t h, char* d) { return FormatBin64A(l, h, d); }
inline int FormatBin64(uint32_t l, uint32_t h, wchar_t* d) { return FormatBin64W(l, h, d); }
inline int FormatDec32(uint32_t v, char* d) { return FormatDec32A(v, d); }
inline int FormatDec32(uint32_t v, wchar_t* d) { return FormatDec32W(v, d); }
inline int FormatDec64(uint32_t l, uint32_t h, char* d) { return FormatDec64A(l, h, d); }
inline int FormatDec64(uint32_t l, uint32_t h, wchar_t* d) { return FormatDec64W(l, h, d); }
