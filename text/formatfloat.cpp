#include "text/formatfloat.h"

#include <cmath>
#include <cstring>

#include "text/formatcore.h"
#include "text/formatdigits.h"

const double FloatPowersOfTen[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
const double FloatRoundingTable[16] = {
    0.499999999999,     0.0499999999999,    0.00499999999999,   0.000499999999999,
    0.499999999999e-4,  0.499999999999e-5,  0.499999999999e-6,  0.499999999999e-7,
    0.499999999999e-8,  0.499999999999e-9,  0.499999999999e-10, 0.499999999999e-11,
    0.499999999999e-12, 0.499999999999e-13, 0.499999999999e-14, 0.499999999999e-15};

namespace {

// The fixed and exponent forms stop at this many digits.
const int kMaxDigits = 900;

double Pow10(int k) { return k >= 0 && k < 16 ? FloatPowersOfTen[k] : std::pow(10.0, k); }
double RoundingTerm(int p) { return p < 16 ? FloatRoundingTable[p] : 0.499999999999 * std::pow(10.0, -p); }

// value / 10^e without running into infinity for the smallest numbers.
double ScaleDown(double value, int e) {
  if (e >= 0) return value / Pow10(e);
  if (e >= -300) return value * Pow10(-e);
  return value * 1e300 * Pow10(-e - 300);
}

struct Parts {
  bool negative;
  int exponentField;
  uint64_t mantissa;
};

Parts Split(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return {(bits >> 63) != 0, (int)(bits >> 52) & 0x7FF, bits & 0xFFFFFFFFFFFFFull};
}

template <class Ch>
int PutText(Ch* dest, const char* text) {
  int n = 0;
  for (; text[n]; ++n) dest[n] = (Ch)(unsigned char)text[n];
  return n;
}

template <class Ch>
int PutFill(Ch* dest, Ch ch, int count) {
  for (int i = 0; i < count; ++i) dest[i] = ch;
  return count > 0 ? count : 0;
}

// '-' for a set sign bit (also of -0.0), else the requested sign character.
template <class Ch>
int PutSign(Ch* dest, bool negative, uint32_t flags) {
  if (negative) {
    *dest = '-';
    return 1;
  }
  if (flags & FMT_SIGN_WANTED) {
    *dest = (Ch)(flags >> 24);
    return 1;
  }
  return 0;
}

// Infinity and NaN in the fixed and exponent forms: "1.#" and p characters.
// The text is filled with '0' so that every counted character is written.
template <class Ch>
int PutInfNan(Ch* dest, bool nan, int p, uint32_t flags) {
  if (p <= 0) {
    dest[0] = '1';
    if (!(flags & FMT_ALT)) return 1;
    dest[1] = '.';
    return 2;
  }
  if (p <= 3) {
    int n = PutText(dest, "1.#");
    return n + PutFill(dest + n, (Ch)'$', p);
  }
  int n = PutText(dest, nan ? "1.#NAN" : "1.#INF");
  return n + PutFill(dest + n, (Ch)'0', p - 3);
}

// p digits of a fraction in [0, 1), truncated, nine at a time.
template <class Ch>
int PutFraction(Ch* dest, double fraction, int p) {
  int n = 0;
  while (p > 0) {
    int m = p < 9 ? p : 9;
    double scaled = fraction * FloatPowersOfTen[m];
    if (scaled < 0) scaled = 0;
    uint32_t chunk = (uint32_t)scaled;
    uint32_t limit = (uint32_t)FloatPowersOfTen[m];
    if (chunk >= limit) chunk = limit - 1;
    fraction = scaled - chunk;
    for (int i = m - 1; i >= 0; --i, chunk /= 10) dest[n + i] = (Ch)('0' + chunk % 10);
    n += m;
    p -= m;
  }
  return n;
}

template <class Ch>
int FloatF(double value, Ch* dest, uint32_t flags, int precision) {
  int p = (flags & FMT_PRECISION) ? precision : 6;
  if (p < 0) p = 0;
  Parts parts = Split(value);
  int n = PutSign(dest, parts.negative, flags);
  if (parts.exponentField == 0x7FF)
    return n + PutInfNan(dest + n, parts.mantissa != 0, p < kMaxDigits ? p : kMaxDigits, flags);

  double a = std::fabs(value);
  double fraction;
  int e;
  if (a < 1e18) {
    // The rounding term goes to the fraction alone, where no bits of it are
    // lost to the size of the whole part.
    uint64_t whole = a < 2147483648.0 ? (uint32_t)(int32_t)a : (uint64_t)a;
    fraction = a - (double)whole + RoundingTerm(p);
    if (fraction >= 1) {
      ++whole;
      fraction -= 1;
    }
    int k = FormatDec64((uint32_t)whole, (uint32_t)(whole >> 32), dest + n);
    if (!k) dest[n + k++] = '0';
    n += k;
    e = k - 1;
  } else {
    a += RoundingTerm(p);
    e = (int)std::log10(a);
    if (e < 308 && a >= Pow10(e + 1)) ++e;
    else if (a < Pow10(e)) --e;
    for (int k = e; k >= 0; --k) {
      double pk = Pow10(k);
      int digit = (int)(a / pk);
      digit = digit < 0 ? 0 : digit > 9 ? 9 : digit;
      dest[n++] = (Ch)('0' + digit);
      a -= digit * pk;
    }
    fraction = a < 0 ? 0 : a;
  }
  if (e + p >= kMaxDigits) p = kMaxDigits - e;
  if (p > 0) {
    dest[n++] = '.';
    n += PutFraction(dest + n, fraction, p);
  } else if (flags & FMT_ALT) {
    dest[n++] = '.';
  }
  return n;
}

template <class Ch>
int FloatE(double value, Ch* dest, uint32_t flags, int precision) {
  int p = (flags & FMT_PRECISION) ? precision : 6;
  if (p < 0) p = 0;
  if (p > kMaxDigits) p = kMaxDigits;
  Parts parts = Split(value);
  int n = PutSign(dest, parts.negative, flags);
  if (parts.exponentField == 0x7FF) return n + PutInfNan(dest + n, parts.mantissa != 0, p, flags);

  double a = std::fabs(value);
  int e = 0;
  if (a != 0) {
    e = (int)std::floor(std::log10(a));
    a = ScaleDown(a, e);
    if (a >= 10) {
      a /= 10;
      ++e;
    } else if (a < 1) {
      a *= 10;
      --e;
    }
  }
  int digit = (int)a;
  double fraction = a - digit + RoundingTerm(p);
  if (fraction >= 1) {
    fraction -= 1;
    if (++digit == 10) {
      digit = 1;
      fraction *= 0.1;
      ++e;
    }
  }
  dest[n++] = (Ch)('0' + digit);
  if (p > 0 || (flags & FMT_ALT)) dest[n++] = '.';
  n += PutFraction(dest + n, fraction, p);
  dest[n++] = (flags & FMT_LOWER) ? 'e' : 'E';
  dest[n++] = e < 0 ? '-' : '+';
  if (e < 0) e = -e;
  dest[n++] = (Ch)('0' + e / 100);
  dest[n++] = (Ch)('0' + e / 10 % 10);
  dest[n++] = (Ch)('0' + e % 10);
  return n;
}

template <class Ch>
int FloatG(double value, Ch* dest, uint32_t flags, int precision) {
  int p = (flags & FMT_PRECISION) ? precision : 6;
  if (p < 0) p = 0;
  flags |= FMT_PRECISION;
  Parts parts = Split(value);
  double a = std::fabs(value);
  int x = (a == 0 || parts.exponentField == 0x7FF) ? 1 : (int)std::log10(a) + 1;
  if (x < -2 || x > p) {
    int n = FloatE(value, dest, flags, p ? p - 1 : 0);
    if (!(flags & FMT_ALT) && n > 6 && (dest[n - 5] == 'e' || dest[n - 5] == 'E')) {
      int exponent = n - 5, end = exponent;
      while (end > 1 && dest[end - 1] == '0') --end;
      if (end > 1 && dest[end - 1] == '.') --end;
      for (int i = 0; i < 5; ++i) dest[end + i] = dest[exponent + i];
      n = end + 5;
    }
    return n;
  }
  if (ScaleDown(a, x) + RoundingTerm(p) >= 1.0) ++x;
  int q = p - x + (a < 1.0 ? 1 : 0);
  int n = FloatF(value, dest, flags, q);
  if (!(flags & FMT_ALT) && q > 0 && n > 1) {
    while (n > 1 && dest[n - 1] == '0') --n;
    if (dest[n - 1] == '.') --n;
  }
  return n;
}

template <class Ch>
int FloatHex(double value, Ch* dest, uint32_t flags, int precision, const char* digits) {
  int p = (flags & FMT_PRECISION) ? precision : 6;
  if (p > kMaxDigits) p = kMaxDigits;
  Parts parts = Split(value);
  int n = PutSign(dest, parts.negative, flags);
  dest[n++] = '0';
  dest[n++] = (Ch)digits[16];
  if (parts.exponentField == 0x7FF) {
    bool nan = parts.mantissa != 0;
    int tail = nan ? 5 : 4;
    dest[n++] = '1';
    if (p >= tail) {
      n += PutText(dest + n, nan ? ".#QNAN" : ".#INF");
      n += PutFill(dest + n, (Ch)'0', p - tail);
    } else if (p >= 1) {
      dest[n++] = '.';
      n += PutFill(dest + n, (Ch)'$', p);
    }
    dest[n++] = (Ch)digits[17];
    dest[n++] = '+';
    dest[n++] = '0';
    return n;
  }
  dest[n++] = parts.exponentField ? '1' : '0';
  int exponent = parts.exponentField ? parts.exponentField - 1023 : parts.mantissa ? -1022 : 0;
  if (p <= 0) {
    // no point
  } else {
    dest[n++] = '.';
    if (p < kMaxDigits) {
      for (int i = 0; i < p; ++i)
        dest[n++] = i < 13 ? (Ch)digits[(parts.mantissa >> (48 - 4 * i)) & 15] : (Ch)'0';
    }
  }
  dest[n++] = (Ch)digits[17];
  if (!exponent) {
    dest[n++] = '+';
    dest[n++] = '0';
    return n;
  }
  dest[n++] = exponent < 0 ? '-' : '+';
  return n + FormatDec32((uint32_t)(exponent < 0 ? -exponent : exponent), dest + n);
}

}  // namespace

int FormatFloatFA(double v, char* d, uint32_t f, int p) { return FloatF(v, d, f, p); }
int FormatFloatEA(double v, char* d, uint32_t f, int p) { return FloatE(v, d, f, p); }
int FormatFloatGA(double v, char* d, uint32_t f, int p) { return FloatG(v, d, f, p); }
int FormatFloatHexA(double v, char* d, uint32_t f, int p, const char* t) { return FloatHex(v, d, f, p, t); }

int FormatFloatFW(double v, wchar_t* d, uint32_t f, int p) { return FloatF(v, d, f, p); }
int FormatFloatEW(double v, wchar_t* d, uint32_t f, int p) { return FloatE(v, d, f, p); }
int FormatFloatGW(double v, wchar_t* d, uint32_t f, int p) { return FloatG(v, d, f, p); }
int FormatFloatHexW(double v, wchar_t* d, uint32_t f, int p, const char* t) { return FloatHex(v, d, f, p, t); }
