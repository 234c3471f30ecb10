// C literals: backslash escapes, double-quoted string literals in both
// directions, character literals, and runs of digits of any radix.
// 8-bit text is Latin-1 here; hex digits are written in upper case.
#pragma once

#include <cstdint>

// Entry per character after a backslash: 0 no escape, 0xFE octal digit,
// 0xFF hex escape, else the decoded character.
extern const unsigned char CEscapeTable[128];

// Flags of the string-literal routines. The writer reads them as the form of
// its source, the decoder as the form of its output; the decoder takes them
// in the same word as the output size (bits 27-29).
enum : uint32_t {
  CLIT_SHORT_HEX = 0x04000000,     // writer: \xNN, the literal split when a hex digit follows
  CLIT_RAW_UTF8 = 0x08000000,      // raw side is UTF-8 (wins over CLIT_RAW_UTF16)
  CLIT_RAW_UTF16 = 0x10000000,     // raw side is 16-bit units, counted in bytes
  CLIT_NO_QUOTES = 0x20000000,     // no surrounding double quotes
  CLIT_HEX_ALL = 0x40000000,       // writer: every escape as hex
  CLIT_HEX_CONTROLS = 0x80000000,  // writer: letter escapes only for \\ \" \r \n
};

// Decodes the character or escape at p; the characters used go to *length
// when it is not null. A backslash before a character that starts no escape
// stands for itself (length 1). Hex escapes read up to three digits: the
// 8-bit form keeps the value modulo 256, the 16-bit form up to 0xFFF.
unsigned DecodeCEscapeA(const char* p, int* length);
unsigned DecodeCEscapeW(const wchar_t* p, int* length);
// The same within n characters (n >= 1) of a text that need not be terminated.
unsigned DecodeCEscapeNA(const char* p, int n, int* length);
unsigned DecodeCEscapeNW(const wchar_t* p, int n, int* length);

// Writes srcBytes bytes of src (8-bit, UTF-8 or 16-bit units by the flags) as
// a string literal into dst of size characters. Content is cut at a
// character boundary; the result is always terminated when size >= 1 (a
// quoted one is complete from size 3). Returns the characters written
// without the terminator. The 8-bit form leaves out characters above 255.
int QuoteCStringA(char* dst, int size, const void* src, int srcBytes, uint32_t flags);
int QuoteCStringW(wchar_t* dst, int size, const void* src, int srcBytes, uint32_t flags);

// Decodes the literal at the start of text into dst; sizeAndFlags holds the
// destination's size in bytes plus CLIT_RAW_UTF8, CLIT_RAW_UTF16 and
// CLIT_NO_QUOTES. A leading double quote (unless CLIT_NO_QUOTES) makes the
// next unescaped one end the literal; a NUL always ends it. Only whole units
// and whole UTF-8 sequences are written; a zero follows when there is room.
// Returns the bytes written; *used gets the text characters consumed, quotes
// included.
int DecodeCStringLiteralA(void* dst, uint32_t sizeAndFlags, const char* text, int* used);
int DecodeCStringLiteralW(void* dst, uint32_t sizeAndFlags, const wchar_t* text, int* used);

// Writes the 8-bit character ch as a character literal, in apostrophes unless
// noQuotes, with a terminator; dst holds 7 characters. Returns the length.
int FormatCCharA(int ch, char* dst, bool noQuotes);
int FormatCCharW(int ch, wchar_t* dst, bool noQuotes);

// Number of the first n characters that form a run of digits of the radix
// (2-36); a negative radix also counts a leading minus sign.
int DigitRunLengthA(const char* text, int radix, int n);
int DigitRunLengthW(const wchar_t* text, int radix, int n);

// Converts the leading run of digits (within n) into an unsigned 64-bit value
// that wraps silently, stores its low valueSize bytes (1-8, little-endian) at
// dst and returns the digits used.
int ParseDigitRunA(void* dst, const char* text, int radix, int n, int valueSize);
int ParseDigitRunW(void* dst, const wchar_t* text, int radix, int n, int valueSize);
