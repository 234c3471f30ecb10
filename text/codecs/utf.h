// UTF-8 and UTF-16: single characters and whole-text conversions.
// 8-bit text is Latin-1 here: byte b is U+00b, and on the way back every code
// point above 255 becomes 0xFF. UTF-16 is in machine order; no byte-order mark
// is written or skipped. Invalid UTF-8 is never an error: a sequence that does
// not decode is taken as its first byte.
#pragma once

// UTF-16 surrogates: a code point from UTF16_SUPPLEMENTARY on is a high
// unit (its upper ten bits) and a low unit (its lower ten bits).
constexpr unsigned UTF16_HIGH_SURROGATE = 0xD800;  // 0xD800-0xDBFF
constexpr unsigned UTF16_LOW_SURROGATE = 0xDC00;   // 0xDC00-0xDFFF
constexpr unsigned UTF16_SURROGATE_BITS = 0x3FF;   // the code point bits of one unit
constexpr unsigned UTF16_SUPPLEMENTARY = 0x10000;
inline bool IsHighSurrogate(unsigned u) { return u - UTF16_HIGH_SURROGATE <= UTF16_SURROGATE_BITS; }
inline bool IsLowSurrogate(unsigned u) { return u - UTF16_LOW_SURROGATE <= UTF16_SURROGATE_BITS; }
// The code point of a high and a low surrogate.
inline unsigned JoinSurrogates(unsigned high, unsigned low) {
  return UTF16_SUPPLEMENTARY + ((high & UTF16_SURROGATE_BITS) << 10 | (low & UTF16_SURROGATE_BITS));
}

// Single characters. Lengths are bytes for UTF-8 and units for UTF-16.

// Decodes the character at p; overlong forms and surrogate values are taken
// as they decode. Never reads past the first byte that is no continuation.
int DecodeUtf8Char(const char* p, unsigned* codePoint);
// As DecodeUtf8Char within n bytes (n >= 1): a sequence cut by n is invalid.
int DecodeUtf8CharN(const char* p, int n, unsigned* codePoint);
// Decodes the character that ends just before end (reads at most four bytes
// back, only as far as continuation bytes lead).
int DecodeUtf8CharBack(const char* end, unsigned* codePoint);
// Writes 1-4 bytes, no terminator; values above 0x10FFFF keep their low 21 bits.
int EncodeUtf8Char(char* dst, unsigned codePoint);
int Utf8CharLength(unsigned codePoint);
// Length (2-4) of the valid sequence at p, else 1.
int Utf8SequenceLength(const char* p);
// As Utf8SequenceLength, but a sequence longer than n is invalid; 0 when n < 1.
int Utf8SequenceLengthN(const char* p, int n);

// A surrogate that is not half of a pair decodes as its own value, so that
// decoding and encoding give the same unit back.
int DecodeUtf16Char(const wchar_t* p, unsigned* codePoint);
int DecodeUtf16CharBack(const wchar_t* end, unsigned* codePoint);
int EncodeUtf16Char(wchar_t* dst, unsigned codePoint);
int Utf16CharLength(unsigned codePoint);
int Utf16SequenceLength(const wchar_t* p);
int Utf16SequenceLengthN(const wchar_t* p, int n);

// Whole texts. size is the destination's size in bytes (8-bit and UTF-8
// output) or units (UTF-16 output); the result is the length written without
// the terminator, which is written whenever size >= 1. Output stops at a
// character boundary while it keeps room for the longest character plus the
// terminator (UTF-8 output: 4 bytes; UTF-16 from UTF-8: 2 units; the
// one-for-one conversions: 1). The N forms read at most n source bytes or
// units; every form stops at a source character of value 0. The Ex forms also
// report the number of characters converted (a surrogate pair counts once).
int Latin1ToUtf8N(char* dst, const char* src, int size, int n);
int Latin1ToUtf8NEx(char* dst, const char* src, int size, int* converted, int n);
int Latin1ToUtf8(char* dst, const char* src, int size);
int Latin1ToUtf8Ex(char* dst, const char* src, int size, int* converted);
int Utf16ToUtf8N(char* dst, const wchar_t* src, int size, int n);
int Utf16ToUtf8NEx(char* dst, const wchar_t* src, int size, int* converted, int n);
int Utf16ToUtf8(char* dst, const wchar_t* src, int size);
int Utf16ToUtf8Ex(char* dst, const wchar_t* src, int size, int* converted);
int Utf8ToLatin1N(char* dst, const char* src, int size, int n);
int Utf8ToLatin1(char* dst, const char* src, int size);
int Utf8ToUtf16N(wchar_t* dst, const char* src, int size, int n);
int Utf8ToUtf16(wchar_t* dst, const char* src, int size);
// Units above 255 become 0xFF; surrogates are not joined.
int Utf16ToLatin1N(char* dst, const wchar_t* src, int size, int n);
int Latin1ToUtf16N(wchar_t* dst, const char* src, int size, int n);
