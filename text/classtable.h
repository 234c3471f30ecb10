// The character-class table every scanner and parser of the library reads:
// one flag word per 8-bit character value.
#pragma once

#include <cstdint>

constexpr uint32_t CC_DIGIT = 0x1;                // '0'-'9'
constexpr uint32_t CC_UPPER = 0x2;                // 'A'-'Z'
constexpr uint32_t CC_LOWER = 0x4;                // 'a'-'z'
constexpr uint32_t CC_UNDERSCORE = 0x8;           // '_'
constexpr uint32_t CC_HIGH = 0x10;                // 0x80-0xBF, 0xDE, 0xFE, 0xFF
constexpr uint32_t CC_TAB = 0x20;                 // 0x09
constexpr uint32_t CC_NEWLINE = 0x40;             // 0x0A, 0x0D
constexpr uint32_t CC_SPACE = 0x80;               // 0x20
constexpr uint32_t CC_DQUOTE = 0x100;             // '"'
constexpr uint32_t CC_DOT = 0x200;                // '.'
constexpr uint32_t CC_APOSTROPHE = 0x400;         // '\''
constexpr uint32_t CC_DOLLAR = 0x800;             // '$'
constexpr uint32_t CC_COMMA = 0x1000;             // ','
constexpr uint32_t CC_SEMICOLON = 0x2000;         // ';'
constexpr uint32_t CC_AT = 0x4000;                // '@'
constexpr uint32_t CC_AMPERSAND = 0x8000;         // '&'
constexpr uint32_t CC_BINDIGIT = 0x10000;         // '0', '1'
constexpr uint32_t CC_OCTDIGIT = 0x20000;         // '0'-'7'
constexpr uint32_t CC_HEXLETTER = 0x40000;        // 'A'-'F', 'a'-'f'
constexpr uint32_t CC_HASH = 0x80000;             // '#'
constexpr uint32_t CC_BACKSLASH = 0x100000;       // '\\'
constexpr uint32_t CC_SLASH = 0x200000;           // '/'
constexpr uint32_t CC_COLON = 0x400000;           // ':'
constexpr uint32_t CC_STAR = 0x800000;            // '*'
constexpr uint32_t CC_QUESTION = 0x1000000;       // '?'
constexpr uint32_t CC_MINUS = 0x2000000;          // '-'
constexpr uint32_t CC_PLUS = 0x4000000;           // '+'
constexpr uint32_t CC_PERCENT = 0x8000000;        // '%'
constexpr uint32_t CC_LATIN1_UPPER = 0x10000000;  // 0xC0-0xDD
constexpr uint32_t CC_LATIN1_LOWER = 0x20000000;  // 0xDF-0xFD
constexpr uint32_t CC_OTHER = 0x40000000;         // controls and the remaining punctuation
constexpr uint32_t CC_NUL = 0x80000000;           // 0x00

// Compound masks the callers use most.
constexpr uint32_t CC_BLANK = CC_TAB | CC_NEWLINE | CC_SPACE;               // 0xE0
constexpr uint32_t CC_TABSPACE = CC_TAB | CC_SPACE;                         // 0xA0
constexpr uint32_t CC_ALPHA = CC_UPPER | CC_LOWER;                          // 0x6
constexpr uint32_t CC_ALNUM = CC_DIGIT | CC_ALPHA;                          // 0x7
constexpr uint32_t CC_IDENT = CC_ALNUM | CC_UNDERSCORE;                     // 0xF
constexpr uint32_t CC_HEXDIGIT = CC_DIGIT | CC_HEXLETTER;                   // 0x40001
constexpr uint32_t CC_WORD = CC_IDENT | CC_LATIN1_UPPER | CC_LATIN1_LOWER;  // 0x3000000F: letters of a word

extern const uint32_t CharClassTable[256];

// Digit-group separator masks, chosen by bits 10-11 of the integer-parsing flags.
extern const uint32_t GroupSeparatorMasks[4];

// Digit value of a character below 128 (0-35), 0x7F for none.
extern const unsigned char DigitValueTable[128];

// Unsigned value of a character of either width.
inline unsigned CharCode(char c) { return (unsigned char)c; }
inline unsigned CharCode(wchar_t c) { return (uint16_t)c; }

// Class flags of one character. A 16-bit character above 255 is CC_OTHER
// alone, as the span routines and the scanners built on them see it.
inline uint32_t CharClassOf(char c) { return CharClassTable[(unsigned char)c]; }
inline uint32_t CharClassOf(wchar_t c) { return CharCode(c) <= 255 ? CharClassTable[CharCode(c)] : CC_OTHER; }

// Digit value of a character (0-35), or 0x7F when it has none.
template <class C>
inline unsigned DigitValueOf(C c) {
  return CharCode(c) < 128 ? DigitValueTable[CharCode(c)] : 0x7F;
}
