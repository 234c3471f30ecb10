#include "viewers/tools/crcpresets.h"

#include <string>

#include "text/numbers/bitarray.h"
#include "text/numbers/intparse.h"

// XModem uses the polynomial 0x1021, which is 0x8408 in the reflected form
// kept here; 0x1021 itself would be a different polynomial.
const CrcPreset kCrcPresets[kCrcPresetCount] = {
    {"Frei definiert", 0, 0},
    {"CRC-CCITT (CRC-4)", 4, 0xC},
    {"USB (CRC-5)", 5, 0x14},
    {"Bluetooth", 5, 0x15},
    {"SD/MMC-Card (CRC-7)", 7, 0x48},
    {"CRC-8 (Dallas/Maxim 1-Wire Bus)", 8, 0x8C},
    {"CRC-8 (ITU-T)", 8, 0xE0},
    {"CRC-8 (SAE-J1850)", 8, 0xB8},
    {"CRC-12", 12, 0xF01},
    {"CAN-CRC", 15, 0x4CD1},
    {"CRC-CCITT (CRC-16)", 16, 0x8408},
    {"IBM-CRC-16", 16, 0xA001},
    {"XModem-CRC-16", 16, 0x8408},
    {"CRC-DNP (CRC-16)", 16, 0xA6BC},
    {"CRC-16 VÖV 04.05.1", 16, 0xC6F6},
    {"CRC-24 (IETF RFC2440)", 24, 0xDF3261},
    {"CRC-32 (IEEE 802.3)", 32, 0xEDB88320},
    {"CRC-64 (ISO 3309)", 64, 0xD800000000000000ull},
    {"CRC-64 (ECMA-182)", 64, 0xC96C5795D7870F42ull},
};

uint64_t CrcReversePoly(uint64_t poly, int width) { return ReverseBits(poly, width); }

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
}  // namespace

bool CrcParseFormula(const char* text, uint64_t* polyNormal, int* width) {
  uint64_t poly = 0;
  int top = 1;
  const char* p = text;
  for (;;) {
    while (IsBlank(*p)) p++;
    char c = *p;
    if (c == 0 || c == '=') break;
    if (c == '+') {
      p++;
      continue;
    }
    if ((c == 'x' || c == 'X') && !IsLetter(p[1])) {
      p++;
      const char* q = p;
      while (IsBlank(*q)) q++;
      bool exponent = false;
      if (*q == '^' || *q == '\'') {
        q++;
        exponent = true;
      } else if (IsDigit(*p)) {  // a digit right after the x, no blank between
        q = p;
        exponent = true;
      }
      if (!exponent) {  // plain x
        poly |= 2;
        if (top < 2) top = 2;
        continue;
      }
      while (IsBlank(*q)) q++;
      bool brace = *q == '{';
      if (brace) q++;
      int used = 0;
      int e = ParseIntA(q, 0, &used);
      if (used == 0 || e < 0) return false;
      q += used;
      if (brace) {
        while (IsBlank(*q)) q++;
        if (*q != '}') return false;
        q++;
      }
      if (e < 64) poly |= 1ull << e;
      if (e <= 64 && e > top) top = e;
      p = q;
      continue;
    }
    if (c == '1' && !IsDigit(p[1]) && !IsLetter(p[1])) {
      poly |= 1;
      p++;
      continue;
    }
    return false;
  }
  uint64_t mask = top >= 64 ? ~0ull : (1ull << top) - 1;
  *polyNormal = poly & mask;
  *width = top;
  return true;
}

CString CrcFormatFormula(uint64_t polyReflected, int width) {
  std::string out = "x^" + std::to_string(width);
  // Bit k of the reflected form is the coefficient of x^(width-1-k).
  for (int k = 0; k < width; k++) {
    if (!((polyReflected >> k) & 1)) continue;
    int e = width - 1 - k;
    if (e >= 2)
      out += " + x^" + std::to_string(e);
    else if (e == 1)
      out += " + x";
    else
      out += " + 1";
  }
  return CString(out.c_str());
}
