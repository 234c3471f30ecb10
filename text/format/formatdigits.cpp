#include "text/format/formatdigits.h"

const char FormatDigitsUpper[19] = "0123456789ABCDEFXP";
const char FormatDigitsLower[19] = "0123456789abcdefxp";

namespace {

// Digits of a power-of-two radix (1, 3 or 4 bits each), highest first.
template <class Ch, class U>
int FormatShifted(U value, Ch* dest, int bits, const char* digits) {
  if (!value) return 0;
  int n = 0;
  for (U v = value; v; v >>= bits) ++n;
  const U mask = (U(1) << bits) - 1;
  for (int i = n - 1; i >= 0; --i, value >>= bits) dest[i] = (Ch)digits[value & mask];
  return n;
}

template <class Ch>
int Dec32(uint32_t value, Ch* dest) {
  if (!value) return 0;
  int n = 1;
  for (uint32_t v = value; v >= 10; v /= 10) ++n;
  for (int i = n - 1; i >= 0; --i, value /= 10) dest[i] = (Ch)('0' + value % 10);
  return n;
}

// 64-bit division is a library call on the target, so the value is taken
// apart in 32-bit chunks of nine digits.
template <class Ch>
int Dec64(uint32_t low, uint32_t high, Ch* dest) {
  if (!high) return Dec32(low, dest);
  uint64_t v = (uint64_t)high << 32 | low;
  uint32_t chunk[3];
  int chunks = 0;
  while (v >= 1000000000u) {
    chunk[chunks++] = (uint32_t)(v % 1000000000u);
    v /= 1000000000u;
  }
  int n = Dec32((uint32_t)v, dest);
  while (chunks--) {
    uint32_t c = chunk[chunks];
    for (int i = 8; i >= 0; --i, c /= 10) dest[n + i] = (Ch)('0' + c % 10);
    n += 9;
  }
  return n;
}

template <class Ch>
int Hex64(uint32_t low, uint32_t high, Ch* dest, const char* digits) {
  return high ? FormatShifted(((uint64_t)high << 32) | low, dest, 4, digits) : FormatShifted(low, dest, 4, digits);
}
template <class Ch>
int Oct64(uint32_t low, uint32_t high, Ch* dest) {
  return high ? FormatShifted(((uint64_t)high << 32) | low, dest, 3, FormatDigitsUpper)
              : FormatShifted(low, dest, 3, FormatDigitsUpper);
}
template <class Ch>
int Bin64(uint32_t low, uint32_t high, Ch* dest) {
  return high ? FormatShifted(((uint64_t)high << 32) | low, dest, 1, FormatDigitsUpper)
              : FormatShifted(low, dest, 1, FormatDigitsUpper);
}

}  // namespace

int FormatHex32A(uint32_t value, char* dest, const char* digits) { return FormatShifted(value, dest, 4, digits); }
int FormatHex64A(uint32_t low, uint32_t high, char* dest, const char* digits) { return Hex64(low, high, dest, digits); }
int FormatOct32A(uint32_t value, char* dest) { return FormatShifted(value, dest, 3, FormatDigitsUpper); }
int FormatOct64A(uint32_t low, uint32_t high, char* dest) { return Oct64(low, high, dest); }
int FormatBin32A(uint32_t value, char* dest) { return FormatShifted(value, dest, 1, FormatDigitsUpper); }
int FormatBin64A(uint32_t low, uint32_t high, char* dest) { return Bin64(low, high, dest); }
int FormatDec32A(uint32_t value, char* dest) { return Dec32(value, dest); }
int FormatDec64A(uint32_t low, uint32_t high, char* dest) { return Dec64(low, high, dest); }

int FormatHex32W(uint32_t value, wchar_t* dest, const char* digits) { return FormatShifted(value, dest, 4, digits); }
int FormatHex64W(uint32_t low, uint32_t high, wchar_t* dest, const char* digits) {
  return Hex64(low, high, dest, digits);
}
int FormatOct32W(uint32_t value, wchar_t* dest) { return FormatShifted(value, dest, 3, FormatDigitsUpper); }
int FormatOct64W(uint32_t low, uint32_t high, wchar_t* dest) { return Oct64(low, high, dest); }
int FormatBin32W(uint32_t value, wchar_t* dest) { return FormatShifted(value, dest, 1, FormatDigitsUpper); }
int FormatBin64W(uint32_t low, uint32_t high, wchar_t* dest) { return Bin64(low, high, dest); }
int FormatDec32W(uint32_t value, wchar_t* dest) { return Dec32(value, dest); }
int FormatDec64W(uint32_t low, uint32_t high, wchar_t* dest) { return Dec64(low, high, dest); }
