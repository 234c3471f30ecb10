// Integer parsing under one flag word. There is no error result: a caller
// recognises a missing number by an end offset that did not move past the
// digits it expected. Overflow wraps, unless PARSE_EXACT asks otherwise.
#pragma once

#include <cstdint>

// Parse flags: the style byte (bits 0-7) chooses the syntax.
constexpr uint32_t PARSE_STYLE_MASK = 0xFF;
constexpr uint32_t PARSE_AUTO = 0;    // "0x", "0d", "0o", "0b" prefixes, else decimal
constexpr uint32_t PARSE_SUFFIX = 1;  // Intel suffixes h, b, o; else decimal
// 2-36: plain digits of that radix
constexpr uint32_t PARSE_MIXED_OCT = 251;  // prefixes, suffixes and based forms; a leading 0 means octal
constexpr uint32_t PARSE_MIXED = 252;      // the same, a leading 0 keeps decimal
constexpr uint32_t PARSE_BASED = 253;      // "16#", "10#", "8#", "2#"
constexpr uint32_t PARSE_CLASSIC = 254;    // "0x", "0b", a leading 0 means octal
constexpr uint32_t PARSE_CLASSIC_NOBIN = 255;
// Bits 10-11: digit-group separators ('_', apostrophe, both).
constexpr uint32_t PARSE_SEP_UNDERSCORE = 0x400;
constexpr uint32_t PARSE_SEP_APOSTROPHE = 0x800;
constexpr uint32_t PARSE_SKIP_TRAILING = 0x1000;   // the end offset also passes tabs, line breaks, spaces
constexpr uint32_t PARSE_NO_SIGN_BLANKS = 0x2000;  // no blanks between '-' and the digits
constexpr uint32_t PARSE_NO_MINUS = 0x4000;
constexpr uint32_t PARSE_NO_BLANKS = 0x8000;  // no leading blanks, none after '-'
// A number that does not fit the result's width, read as signed or as
// unsigned (with '-' down to the most negative), is no number: 0, end 0.
constexpr uint32_t PARSE_EXACT = 0x10000;

// end (optional) receives the offset just behind what was consumed. The
// counted forms read at most n characters; n < 1 gives 0 and end 0.
int ParseIntA(const char* text, uint32_t flags, int* end);
int ParseIntW(const wchar_t* text, uint32_t flags, int* end);
int ParseIntNA(const char* text, int n, uint32_t flags, int* end);
int ParseIntNW(const wchar_t* text, int n, uint32_t flags, int* end);
int64_t ParseInt64A(const char* text, uint32_t flags, int* end);
int64_t ParseInt64W(const wchar_t* text, uint32_t flags, int* end);
int64_t ParseInt64NA(const char* text, int n, uint32_t flags, int* end);
int64_t ParseInt64NW(const wchar_t* text, int n, uint32_t flags, int* end);

// Hexadecimal digits after spaces and tabs, at most n characters in all
// (n = (unsigned)-1: up to the terminator).
uint32_t ParseHexNA(const char* text, unsigned n);
uint32_t ParseHexNW(const wchar_t* text, unsigned n);
