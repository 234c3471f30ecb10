// Lists of integers as text into arrays of 1-, 2-, 3- or 4-byte elements:
// plain lists with a chosen separator, lists over several lines, and the
// rows of a hex dump with an address column in front and text behind.
#pragma once

#include <cstdint>

// Flag word: bits 0-7 n numbers per row (0: one row without limit; n > 0
// also makes every number hexadecimal and enables the address column).
constexpr uint32_t NListRowCount(int n) { return (uint32_t)(n & 0xFF); }
constexpr uint32_t NListElementSize(int bytes) { return (uint32_t)((bytes - 1) & 3) << 8; }
constexpr uint32_t NLIST_FILL_ZERO = 0x400;  // the rest of the array becomes 0x00 bytes
constexpr uint32_t NLIST_FILL_FF = 0x800;    // ... or 0xFF bytes
// Bits 12-14: index into NumberListRadixTable.
enum { NLIST_RADIX_AUTO, NLIST_RADIX_BIN, NLIST_RADIX_DEC, NLIST_RADIX_OCT, NLIST_RADIX_HEX };
constexpr uint32_t NListRadix(int index) { return (uint32_t)(index & 7) << 12; }
// Bits 16-18: index into NumberListSeparatorTable. Index 0 has no separator
// but takes tab, space, '.', ',', ';' and ':' as blanks between numbers;
// index 5 has none either, with tabs and spaces as blanks.
enum {
  NLIST_SEP_ANY,
  NLIST_SEP_SEMICOLON,
  NLIST_SEP_DOT,
  NLIST_SEP_COLON,
  NLIST_SEP_COMMA,
  NLIST_SEP_NONE,
  NLIST_SEP_MINUS,
  NLIST_SEP_TAB
};
constexpr uint32_t NListSeparator(int index) { return (uint32_t)(index & 7) << 16; }
constexpr uint32_t NLIST_MULTILINE = 0x100000;     // the list goes on after a line break
constexpr uint32_t NLIST_CONTINUATION = 0x200000;  // ... only after a line that ends with a backslash
constexpr uint32_t NLIST_QUOTED = 0x400000;        // an opening double quote is skipped
constexpr uint32_t NLIST_SIGN = 0x800000;          // '-' is a sign under separator indexes 0 and 1

// Integer-parser flags by radix index, and separators by index (0: none).
extern const uint32_t NumberListRadixTable[8];
extern const char NumberListSeparatorTable[8];

// Reads the list at text into array, which holds maxCount elements; the
// list ends at the first text that does not fit. Returns the elements
// stored (later ones are read and dropped); consumed (optional) receives
// the characters read.
int ParseNumberListA(const char* text, void* array, int maxCount, uint32_t flags, int* consumed);
int ParseNumberListW(const wchar_t* text, void* array, int maxCount, uint32_t flags, int* consumed);
