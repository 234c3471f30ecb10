// Value text of the data tools: the text of a search or input field turned
// into bytes and bytes back into text. No windows here (native build, fuzz).
#pragma once

#include <cstdint>

enum ValueTextKind {
  VALUE_EMPTY = -1,
  VALUE_DECIMAL = 0,
  VALUE_HEX = 1,      // 0x
  VALUE_BINARY = 2,   // 0b
  VALUE_OCTAL = 3,    // 0o
  VALUE_TEXT = 4,     // "..." or any text that starts with no digit
  VALUE_DUMP = 5,     // :12 34
  VALUE_PATTERN = 6,  // :1? 34
  VALUE_UNICODE = 7,  // FormatValueBytes only: 16-bit text
};

constexpr uint32_t VALUE_UTF16 = 0x40000000;  // in the size word: text as 16-bit units
constexpr int kValueTextSize = 1024;          // a line that holds the whole dump of 256 bytes
constexpr int kValueBytesMax = 256;           // bytes a search line holds

int ClassifyValueText(const char* text);

// Bytes for the text into buffer (size bytes, plus VALUE_UTF16). Writes at
// most size bytes and returns the number written. A number takes 4 bytes, or
// 8 when it has more digits than 32 bits need (9 decimal or hex digits, 33
// binary, 12 octal); a leading '-' stores the two's complement. A pattern
// (kind 6) gives n data bytes followed by n mask bytes when patterns are
// allowed, else it is read as a dump.
int ParseValueTextEx(const char* text, void* buffer, uint32_t sizeAndFlags, bool patternAllowed);
int ParseValueText(const char* text, void* buffer, uint32_t sizeAndFlags);

// Text for count bytes by kind (0-7) into text of size characters (always
// terminated); returns its length. Kinds 0-3 read up to 8 bytes as one
// little-endian value, sign-extended from the last byte; 5 to 8 bytes are
// written with enough digits to read back as 8 bytes.
int FormatValueBytes(const void* bytes, int count, char* text, int size, int kind);
