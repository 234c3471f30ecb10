// Bytes as hexadecimal text and back: plain hex with separators, groups,
// blanks and reversed order; search patterns in which '?' stands for unknown
// bits (a byte array plus a mask array whose set bits mark the known bits);
// and hex-dump lines. Hex digits are written in upper case.
#pragma once

#include <cstdint>

// BytesToHex flags: bits 0-7 a blank after every N bytes; bits 8-15 the
// separator written between groups (0: none, and then no groups).
constexpr uint32_t HEX_GROUP_2 = 0x2000000;  // bits 25-26: group size 1, 2, 4 or 8
constexpr uint32_t HEX_GROUP_4 = 0x4000000;
constexpr uint32_t HEX_GROUP_8 = 0x6000000;
constexpr uint32_t HEX_SPACE_AT_BLANK = 0x8000000;  // a group end at a blank writes a space as separator
constexpr uint32_t HEX_NO_LAST_SEP = 0x10000000;    // no separator after the last group
constexpr uint32_t HEX_COLON_FIRST = 0x20000000;
constexpr uint32_t HEX_REVERSED = 0x40000000;   // within each group, or over all data without groups
constexpr uint32_t HEX_TERMINATE = 0x80000000;  // a NUL behind the text (not counted)
inline uint32_t HexSeparator(char c) { return (uint32_t)(unsigned char)c << 8; }

// Returns the number of characters written. The caller sizes dest (three
// characters per byte plus blanks, separators and decorations suffice).
int BytesToHexA(const void* bytes, char* dest, int count, uint32_t flags);
int BytesToHexW(const void* bytes, wchar_t* dest, int count, uint32_t flags);

// HexToBytes: maxAndFlags bits 0-15 the maximum number of bytes, and:
constexpr uint32_t HEXIN_SEP_COLON = 0x10000;  // separators accepted between bytes
constexpr uint32_t HEXIN_SEP_MINUS = 0x20000;
constexpr uint32_t HEXIN_SEP_DOT = 0x40000;
constexpr uint32_t HEXIN_SEP_COMMA = 0x80000;
constexpr uint32_t HEXIN_QUOTED = 0x10000000;      // "text" is copied byte by byte
constexpr uint32_t HEXIN_KEEP_COLON = 0x20000000;  // a leading ':' is not skipped
constexpr uint32_t HEXIN_FILL = 0x40000000;        // fill the rest up to the maximum with the byte in bits 20-27
inline uint32_t HexFillByte(unsigned char b) { return HEXIN_FILL | (uint32_t)b << 20; }

// Returns the number of bytes parsed (fill bytes not counted); used
// (optional) receives the characters consumed, trailing blanks included.
int HexToBytesA(void* dest, uint32_t maxAndFlags, const char* text, int* used);
int HexToBytesW(void* dest, uint32_t maxAndFlags, const wchar_t* text, int* used);

// Hex search patterns: "A? 3F", "#1?0?1010" (binary after '#' or ':'), and
// with HEXIN_QUOTED "text". max is bits 0-27. Returns the bytes produced.
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

// One hex-dump line: address, hex bytes, text column. Flags: bits 0-5 blank
// interval, bit 6 reversed groups, bit 7 'h' after the hex address, bits
// 8-11 hex address digits, bit 12 tab / bit 13 space before the decimal
// address, bit 14 no text column, bit 15 tabs as fill, bits 16-19 fill before
// the hex part, bits 20-23 fill before the text column, bit 24 a space
// between groups, bits 25-26 group size, bit 27 decimal address in
// parentheses, bits 28-31 decimal address digits. A short line (count below
// lineLength) is padded so that its text column lines up with full lines.
int HexDumpLineA(char* dest, int64_t address, const void* data, int count, int lineLength, uint32_t flags);
int HexDumpLineW(wchar_t* dest, int64_t address, const void* data, int count, int lineLength, uint32_t flags);
