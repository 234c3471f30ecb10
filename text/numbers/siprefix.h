// Counts as short quantities with a decimal prefix letter: 1536 bytes as
// "1.53 kB" (or "1.50 kB" in steps of 1024), nanoseconds as "1.50 µs".
#pragma once

#include <cstdint>

// Prefix letters by index: index i stands for 1000^(i-8); 8 has none (a
// blank here). The micro sign is the Latin-1 character 0xB5.
extern const char SiPrefixTable[18];  // "yzafpnµm kMGTPEZY"
constexpr int SI_PREFIX_NANO = 5;
constexpr int SI_PREFIX_NONE = 8;
constexpr int SI_PREFIX_KILO = 9;

constexpr uint32_t SIFMT_SIGNED = 0x1;         // a negative value is written with '-'
constexpr uint32_t SIFMT_TRIM_ZEROS = 0x2;     // trailing zero decimals (and a bare separator) dropped
constexpr uint32_t SIFMT_UNIT = 0x4;           // the prefix letter and the unit are written
constexpr uint32_t SIFMT_SPACE = 0x8;          // a space after the number
constexpr uint32_t SIFMT_FIXED = 0x800000;     // fixed columns: integer part right-aligned in d, nothing trimmed
constexpr uint32_t SIFMT_BINARY = 0x80000000;  // steps of 1024
// m decimals (0-15).
constexpr uint32_t SiDecimals(int m) { return (uint32_t)(m & 15) << 4; }
// The value is scaled until it is below 10^d (d 0-15); in fixed layout d is
// also the width of the integer part.
constexpr uint32_t SiDigits(int d) { return (uint32_t)(d & 15) << 8; }
// Prefix index of the value passed in: SI_PREFIX_NONE for a plain count.
constexpr uint32_t SiInputPrefix(int index) { return (uint32_t)(index & 15) << 12; }
// Decimal separator (0: '.') and digit-group separator (0: none), 7-bit.
constexpr uint32_t SiDecimalSeparator(char c) { return (uint32_t)(c & 0x7F) << 16; }
constexpr uint32_t SiGroupSeparator(char c) { return (uint32_t)(c & 0x7F) << 24; }

// The built-in byte unit in place of a unit text: "Byte" without a prefix
// letter, "B" after one (in fixed layout "B" and two blanks).
struct SiUnitBytes {};
constexpr SiUnitBytes SI_UNIT_BYTES{};

// Writes value (unsigned unless SIFMT_SIGNED) into output, which the caller
// sizes (80 characters always suffice with a unit of up to 16); unit may be
// null. The scaling stops at 6 steps and at the last prefix of the table.
// prefixIndex (optional) receives the final prefix index. Returns the
// characters written before the terminator.
int FormatWithPrefixA(uint64_t value, char* output, uint32_t flags, const char* unit, uint32_t* prefixIndex = nullptr);
int FormatWithPrefixA(uint64_t value, char* output, uint32_t flags, SiUnitBytes unit, uint32_t* prefixIndex = nullptr);
int FormatWithPrefixW(uint64_t value, wchar_t* output, uint32_t flags, const wchar_t* unit,
                      uint32_t* prefixIndex = nullptr);
int FormatWithPrefixW(uint64_t value, wchar_t* output, uint32_t flags, SiUnitBytes unit,
                      uint32_t* prefixIndex = nullptr);
