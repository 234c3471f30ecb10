// The formatting engine: a printf-like core that walks a format string and
// hands every finished piece of text to a caller's sink. The 8-bit core reads
// an 8-bit format; its 16-bit twin reads a 16-bit one.
#pragma once

#include <cstdarg>
#include <cstdint>

// Output callback: takes count characters (count >= 0, possibly 0) that are
// valid only during the call, and returns how many it accepted. The core's
// result is the sum of these returns.
typedef int (*FormatSink)(void* context, const char* data, int count);
typedef int (*FormatSinkW)(void* context, const wchar_t* data, int count);

// The parsed form of one conversion directive.
enum : uint32_t {
  FMT_LEN_MASK = 0x7,          // length code
  FMT_LEN_64 = 1,              // ll, q, I64
  FMT_LEN_LONG = 2,            // l, L, j, t, w, z, I, I32
  FMT_LEN_SHORT = 3,           // h
  FMT_LEN_CHAR = 4,            // hh
  FMT_ZERO = 0x10,             // '0' (the time leaves out its colons)
  FMT_DATE = 0x20,             // K: the time also writes the date
  FMT_WIDTH = 0x40,            // a width was given
  FMT_ZEROFILL = 0x80,         // '0' (string ellipsis, memory zero fill)
  FMT_LEFT = 0x100,            // '-'
  FMT_ZEROPAD = 0x200,         // pad with '0' instead of blanks
  FMT_ALT = 0x400,             // '#'
  FMT_SIGN = 0x800,            // '+' or blank
  FMT_SPACE = 0x1000,          // blank
  FMT_PRECISION = 0x2000,      // a precision was given
  FMT_LOWER = 0x4000,          // lower-case exponent letter
  FMT_SKIP = 0x8000,           // '~': the output is dropped
  FMT_PLUS = 0x10000,          // '+'
  FMT_SIGNCHAR = 0xFF000000u,  // character written before a non-negative number
  FMT_SIGNCHAR_SHIFT = 24,
  FMT_SIGN_PLUS = (uint32_t)'+' << 24 | FMT_PLUS | FMT_SIGN,    // what the '+' flag sets
  FMT_SIGN_BLANK = (uint32_t)' ' << 24 | FMT_SPACE | FMT_SIGN,  // what the blank flag sets
  FMT_SIGN_WANTED = FMT_SIGN_PLUS,                              // any bit: a sign character is written
};

// Argument bookkeeping of one core call: the arguments in list order, for
// the argument letters @A to @L.
struct FormatArgState {
  int savedCount;    // filled entries of saved
  int fetchedCount;  // arguments taken from the list in order
  int argLetter;     // argument number of the current directive, 1-12, or 0
  union Value {
    uint64_t bits;
    double real;
    const void* pointer;
  } saved[12];
};

// Kinds of argument for PrescanFormatArgs: the size in bytes on the target,
// with doubles and pointers told apart so that a native build reads them too.
enum FormatArgKind { FMT_ARG_INT = 4, FMT_ARG_POINTER = 5, FMT_ARG_INT64 = 8, FMT_ARG_DOUBLE = 9 };

// A byte for each character below 0x80, built at compile time.
struct FormatClassTable {
  unsigned char at[128];
  constexpr unsigned char operator[](unsigned c) const { return at[c]; }
};
// Class bytes of the characters below 0x80: bits 5-7 flag code, bit 0 '*',
// bit 1 digit, bit 2 '.', bit 3 length letter, bit 4 conversion letter (the
// bits and codes are named in formatdirective.h).
extern const FormatClassTable FormatCharClass;
// Conversion number (0-22) of each conversion letter, 0xFF for the others.
extern const FormatClassTable FormatConvIndex;

int FormatCoreA(void* context, FormatSink sink, const char* format, va_list args);
int FormatToSinkA(void* context, FormatSink sink, const char* format, ...);
int FormatCoreW(void* context, FormatSinkW sink, const wchar_t* format, va_list args);
int FormatToSinkW(void* context, FormatSinkW sink, const wchar_t* format, ...);

// Learns the sizes of the arguments the rest of the format uses and loads
// them into state->saved from savedCount on; args itself does not move.
// kind is what the current directive asks for; charWidth is 1 for an
// 8-bit format and 2 for a 16-bit one.
void PrescanFormatArgs(const void* format, va_list args, FormatArgState* state, int kind, int charWidth);

// Writes count copies of ch (the padding fill of the 16-bit core).
void FillCharsW(wchar_t* dest, wchar_t ch, unsigned count);
