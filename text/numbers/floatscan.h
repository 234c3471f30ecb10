// Floating-point literals: where one ends, and its value. The plain scanners
// measure one fixed syntax; the extended scanner takes a flag word and
// reports where the parts of the literal begin.
#pragma once

#include <cstdint>

constexpr uint32_t FSCAN_SIGN = 0x1;                // a leading '+' or '-'
constexpr uint32_t FSCAN_EXPONENT = 0x2;            // E or e, an optional sign, digits
constexpr uint32_t FSCAN_DECIMAL_COMMA = 0x4;       // ',' is a decimal separator besides '.'
constexpr uint32_t FSCAN_SPECIAL = 0x8;             // #INF, #IND, #QNAN after the decimal separator
constexpr uint32_t FSCAN_BLANKS_AFTER_SIGN = 0x10;  // tabs and spaces between sign and digits
constexpr uint32_t FSCAN_GROUP_SPACE = 0x20;        // digit-group separators in the integer part
constexpr uint32_t FSCAN_GROUP_DOT = 0x40;          // (only with FSCAN_DECIMAL_COMMA)
constexpr uint32_t FSCAN_GROUP_UNDERSCORE = 0x80;
constexpr uint32_t FSCAN_TRAILING_BLANKS = 0x100;  // blanks after the number count in its length
constexpr uint32_t FSCAN_NO_LEADING_BLANKS = 0x200;

// 1-based positions (capped at 255) of the parts of a scanned literal; 0
// where a part is absent. fractionStart and exponentStart both 0 means an
// integer literal.
struct FloatScanInfo {
  uint8_t signEnd;        // the sign
  uint8_t integerStart;   // the first integer digit
  uint8_t fractionStart;  // the first digit after the decimal separator, or the '#' of a special form
  uint8_t exponentStart;  // the character after the exponent letter
};

// Blanks, an optional sign, digits, optionally '.' with an optional special
// form and digits, optionally an exponent; none of it is required. The N
// forms read at most n characters (n < 1 gives 0).
int ScanFloatA(const char* text);
int ScanFloatW(const wchar_t* text);
int ScanFloatNA(const char* text, int n);
int ScanFloatNW(const wchar_t* text, int n);

// Length of the literal under the flags, reading at most maxLength
// characters; 0 when it holds no digit. info (optional) is always filled.
int ScanFloatExA(const char* text, int maxLength, uint32_t flags, FloatScanInfo* info);
int ScanFloatExW(const wchar_t* text, int maxLength, uint32_t flags, FloatScanInfo* info);

// Scans at most 63 characters under the flags and converts them in the C
// locale; length (optional) receives the scanned length. 0.0 when nothing
// was scanned; special forms give an infinity or a NaN.
double ParseDoubleA(const char* text, int* length, uint32_t flags);
double ParseDoubleW(const wchar_t* text, int* length, uint32_t flags);
