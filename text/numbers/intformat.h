// Integer formatting under one flag word. The destination needs room for
// 67 characters (the longest result and its terminator); the result is the
// number of characters written before the terminator.
#pragma once

#include <cstdint>

// Format flags: the style byte (bits 0-7).
constexpr uint32_t FORMAT_STYLE_MASK = 0xFF;
constexpr uint32_t FORMAT_SIGNED = 0;     // signed decimal
constexpr uint32_t FORMAT_0X = 1;         // "0x" hexadecimal
constexpr uint32_t FORMAT_0B = 2;         // "0b" binary
constexpr uint32_t FORMAT_0O = 3;         // "0o" octal
constexpr uint32_t FORMAT_SUFFIX_H = 4;   // hexadecimal with 'h' (a '0' before a leading letter)
constexpr uint32_t FORMAT_SUFFIX_B = 5;   // binary with 'b'
constexpr uint32_t FORMAT_SUFFIX_O = 6;   // octal with 'o'
constexpr uint32_t FORMAT_BASED_16 = 7;   // "16#"
constexpr uint32_t FORMAT_BASED_2 = 8;    // "2#"
constexpr uint32_t FORMAT_BASED_8 = 9;    // "8#"
constexpr uint32_t FORMAT_BASED_10 = 10;  // "10#"
constexpr uint32_t FORMAT_UNSIGNED = 11;  // 11-255: unsigned decimal
// Bits 8-13: w, the minimum number of digits (for a negative number with
// w > 2 the sign takes one of them).
constexpr uint32_t FORMAT_MAX_DIGITS = 0x4000;  // w is also the maximum: only the w lowest digits
constexpr uint32_t FORMAT_RADIX = 0x8000;       // the style byte is a plain radix 2-36
constexpr uint32_t FORMAT_FIELD = 0x10000;      // w is a field width, padded with spaces on the left
inline uint32_t FormatWidth(int w) { return (uint32_t)(w & 0x3F) << 8; }
inline int FormatWidthOf(uint32_t flags) { return (int)(flags >> 8) & 0x3F; }

int FormatIntA(int32_t value, char* dest, uint32_t flags);
int FormatIntW(int32_t value, wchar_t* dest, uint32_t flags);
int FormatInt64A(int64_t value, char* dest, uint32_t flags);
int FormatInt64W(int64_t value, wchar_t* dest, uint32_t flags);
