// Bytes as hexadecimal text and back: plain hex with separators, groups,
// blanks and reversed order; search patterns in which '?' stands for unknown
// bits (a byte array plus a mask array whose set bits mark the known bits);
// and hex-dump lines. Hex digits are written in upper case.
#pragma once

#include <cstdint>

// BytesToHex flags: bits 0-7 a blank after every N bytes; bits 8-15 the
// separator written between groups (0: none, and then no groups).
constexpr uint32_t HEX_BLANK_MASK = 0xFF;
constexpr int HEX_GROUP_SHIFT = 25;
constexpr uint32_t HEX_GROUP_MASK = 0x6000000;  // bits 25-26: group size 1, 2, 4 or 8
constexpr uint32_t HEX_GROUP_2 = 0x2000000;
constexpr uint32_t HEX_GROUP_4 = 0x4000000;
constexpr uint32_t HEX_GROUP_8 = 0x6000000;
constexpr uint32_t HEX_SPACE_AT_BLANK = 0x8000000;  // a group end at a blank writes a space as separator
constexpr uint32_t HEX_NO_LAST_SEP = 0x10000000;    // no separator after the last group
constexpr uint32_t HEX_COLON_FIRST = 0x20000000;
constexpr uint32_t HEX_REVERSED = 0x40000000;   // within each group, or over all data without groups
constexpr uint32_t HEX_TERMINATE = 0x80000000;  // a NUL behind the text (not counted)
inline uint32_t HexSeparator(char c) { return (uint32_t)(unsigned char)c << 8; }
inline unsigned HexSeparatorOf(uint32_t flags) { return (flags >> 8) & 0xFF; }
inline int HexGroupSize(uint32_t flags) { return 1 << ((flags & HEX_GROUP_MASK) >> HEX_GROUP_SHIFT); }

// Returns the number of characters written. The caller sizes dest (three
// characters per byte plus blanks, separators and decorations suffice).
int BytesToHexA(const void* bytes, char* dest, int count, uint32_t flags);
int BytesToHexW(const void* bytes, wchar_t* dest, int count, uint32_t flags);

// HexToBytes: maxAndFlags bits 0-15 the maximum number of bytes, and:
constexpr uint32_t HEXIN_MAX_MASK = 0xFFFF;
constexpr uint32_t HEXIN_SEP_COLON = 0x10000;  // separators accepted between bytes
constexpr uint32_t HEXIN_SEP_MINUS = 0x20000;
constexpr uint32_t HEXIN_SEP_DOT = 0x40000;
constexpr uint32_t HEXIN_SEP_COMMA = 0x80000;
constexpr uint32_t HEXIN_QUOTED = 0x10000000;      // "text" is copied byte by byte
constexpr uint32_t HEXIN_KEEP_COLON = 0x20000000;  // a leading ':' is not skipped
constexpr uint32_t HEXIN_FILL = 0x40000000;        // fill the rest up to the maximum with the byte in bits 20-27
inline uint32_t HexFillByte(unsigned char b) { return HEXIN_FILL | (uint32_t)b << 20; }
inline unsigned char HexFillByteOf(uint32_t flags) { return (unsigned char)(flags >> 20); }

// Returns the number of bytes parsed (fill bytes not counted); used
// (optional) receives the characters consumed, trailing blanks included.
int HexToBytesA(void* dest, uint32_t maxAndFlags, const char* text, int* used);
int HexToBytesW(void* dest, uint32_t maxAndFlags, const wchar_t* text, int* used);

// Hex search patterns: "A? 3F", "#1?0?1010" (binary after '#' or ':'), and
// with HEXIN_QUOTED "text". max is bits 0-27. Returns the bytes produced.
constexpr uint32_t HEXPAT_MAX_MASK = 0x0FFFFFFF;
int HexPatternToBytesA(void* bytes, void* mask, uint32_t maxAndFlags, const char* text, int* used);
int HexPatternToBytesW(void* bytes, void* mask, uint32_t maxAndFlags, const wchar_t* text, int* used);

// BytesToHexPattern flags: bits 0-7 a blank after every N bytes, bits 8-15 a
// separator after every byte, and:
constexpr uint32_t HEXPAT_COLON_BITS = 0x1000000;  // 8-bit form: ':' instead of '#' before bits
constexpr uint32_t HEXPAT_TRIM = 0x10000000;       // trailing separators and blanks removed
constexpr uint32_t HEXPAT_COLON_FIRST = 0x20000000;
constexpr uint32_t HEXPAT_REVERSED = 0x40000000;
constexpr uint32_t HEXPAT_TERMINATE = 0x80000000;  // a NUL behind, with its place reserved in size

// Writes at most size characters; returns the number written.
int BytesToHexPatternA(char* dest, int size, const void* bytes, const void* mask, int count, uint32_t flags);
int BytesToHexPatternW(wchar_t* dest, int size, const void* bytes, const void* mask, int count, uint32_t flags);

// One hex-dump line: address, hex bytes, text column. A short line (count
// below lineLength) is padded so that its text column lines up with full lines.
// Flags:
constexpr uint32_t HEXDUMP_BLANK_MASK = 0x3F;                                // bits 0-5: a blank after every N bytes
constexpr uint32_t HEXDUMP_REVERSED = 0x40;                                  // bytes reversed within each group
constexpr uint32_t HEXDUMP_H_SUFFIX = 0x80;                                  // 'h' after the hex address
inline uint32_t HexDumpAddressDigits(unsigned n) { return (n & 0xF) << 8; }  // bits 8-11, 0: no hex address
inline unsigned HexDumpAddressDigitsOf(uint32_t flags) { return (flags >> 8) & 0xF; }
constexpr uint32_t HEXDUMP_DEC_TAB = 0x1000;                             // a tab before the decimal address
constexpr uint32_t HEXDUMP_DEC_SPACE = 0x2000;                           // a space before the decimal address
constexpr uint32_t HEXDUMP_NO_TEXT = 0x4000;                             // no text column
constexpr uint32_t HEXDUMP_TAB_FILL = 0x8000;                            // the fills below are tabs, not spaces
inline uint32_t HexDumpHexFill(unsigned n) { return (n & 0xF) << 16; }   // bits 16-19: before the hex part
inline uint32_t HexDumpTextFill(unsigned n) { return (n & 0xF) << 20; }  // bits 20-23: before the text column
inline unsigned HexDumpHexFillOf(uint32_t flags) { return (flags >> 16) & 0xF; }
inline unsigned HexDumpTextFillOf(uint32_t flags) { return (flags >> 20) & 0xF; }
constexpr uint32_t HEXDUMP_GROUP_SPACE = 0x1000000;      // a space between groups
constexpr uint32_t HEXDUMP_GROUP_MASK = HEX_GROUP_MASK;  // bits 25-26: group size, as HEX_GROUP_*
constexpr uint32_t HEXDUMP_DEC_PARENS = 0x8000000;       // the decimal address in parentheses
constexpr int HEXDUMP_DEC_DIGITS_SHIFT = 28;             // bits 28-31: decimal address digits
constexpr uint32_t HEXDUMP_DEC_DIGITS_MASK = 0xFu << HEXDUMP_DEC_DIGITS_SHIFT;
// Any of these writes the decimal address.
constexpr uint32_t HEXDUMP_DECIMAL = HEXDUMP_DEC_DIGITS_MASK | HEXDUMP_DEC_PARENS | HEXDUMP_DEC_TAB | HEXDUMP_DEC_SPACE;
int HexDumpLineA(char* dest, int64_t address, const void* data, int count, int lineLength, uint32_t flags);
int HexDumpLineW(wchar_t* dest, int64_t address, const void* data, int count, int lineLength, uint32_t flags);
