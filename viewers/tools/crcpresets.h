// The CRC calculator's presets and its polynomial formulas, window-free.
#pragma once

#include <cstdint>

#include "base/cstring.h"

struct CrcPreset {
  const char* name;
  int width;  // 0: the free row, which changes nothing
  uint64_t polyReflected;
};

constexpr int kCrcPresetCount = 19;
extern const CrcPreset kCrcPresets[kCrcPresetCount];

// The normal form of a reflected polynomial and back (the low width bits reversed).
uint64_t CrcReversePoly(uint64_t poly, int width);

// Reads a formula such as "x^16 + x^12 + x^5 + 1" (also "x'3", "x3", "x^{3}",
// ended by "=" or the end of the text). Returns false, leaving the outputs
// alone, on any other character. The width is the highest exponent (1..64).
bool CrcParseFormula(const char* text, uint64_t* polyNormal, int* width);
// The formula of a polynomial: "x^W" and then its set bits downwards.
CString CrcFormatFormula(uint64_t polyReflected, int width);
