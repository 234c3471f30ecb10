#include "text/format/formatfloat.h"

#include <cmath>
#include <cstring>

#include "text/format/formatcore.h"
#include "text/format/formatdigits.h"

const double FloatPowersOfTen[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
const double FloatRoundingTable[16] = {0.499999999999,     0.0499999999999,    0.00499999999999,   0.000499999999999,
                                       0.499999999999e-4,  0.499999999999e-5,  0.499999999999e-6,  0.499999999999e-7,
                                       0.499999999999e-8,  0.499999999999e-9,  0.499999999999e-10, 0.499999999999e-11,
                                       0.499999999999e-12, 0.499999999999e-13, 0.499999999999e-14, 0.499999999999e-15};

namespace {

// The fixed and exponent forms stop at this many digits.
const int kMaxDigits = 900;

// Every power of ten a double can hold, as the compiler rounds the literals:
// std::pow(10, k) is off by an ulp on some runtimes, which moves digits.
// clang-format off
const double kPositivePowers[309] = {
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9,
    1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19,
    1e20, 1e21, 1e22, 1e23, 1e24, 1e25, 1e26, 1e27, 1e28, 1e29,
    1e30, 1e31, 1e32, 1e33, 1e34, 1e35, 1e36, 1e37, 1e38, 1e39,
    1e40, 1e41, 1e42, 1e43, 1e44, 1e45, 1e46, 1e47, 1e48, 1e49,
    1e50, 1e51, 1e52, 1e53, 1e54, 1e55, 1e56, 1e57, 1e58, 1e59,
    1e60, 1e61, 1e62, 1e63, 1e64, 1e65, 1e66, 1e67, 1e68, 1e69,
    1e70, 1e71, 1e72, 1e73, 1e74, 1e75, 1e76, 1e77, 1e78, 1e79,
    1e80, 1e81, 1e82, 1e83, 1e84, 1e85, 1e86, 1e87, 1e88, 1e89,
    1e90, 1e91, 1e92, 1e93, 1e94, 1e95, 1e96, 1e97, 1e98, 1e99,
    1e100, 1e101, 1e102, 1e103, 1e104, 1e105, 1e106, 1e107, 1e108, 1e109,
    1e110, 1e111, 1e112, 1e113, 1e114, 1e115, 1e116, 1e117, 1e118, 1e119,
    1e120, 1e121, 1e122, 1e123, 1e124, 1e125, 1e126, 1e127, 1e128, 1e129,
    1e130, 1e131, 1e132, 1e133, 1e134, 1e135, 1e136, 1e137, 1e138, 1e139,
    1e140, 1e141, 1e142, 1e143, 1e144, 1e145, 1e146, 1e147, 1e148, 1e149,
    1e150, 1e151, 1e152, 1e153, 1e154, 1e155, 1e156, 1e157, 1e158, 1e159,
    1e160, 1e161, 1e162, 1e163, 1e164, 1e165, 1e166, 1e167, 1e168, 1e169,
    1e170, 1e171, 1e172, 1e173, 1e174, 1e175, 1e176, 1e177, 1e178, 1e179,
    1e180, 1e181, 1e182, 1e183, 1e184, 1e185, 1e186, 1e187, 1e188, 1e189,
    1e190, 1e191, 1e192, 1e193, 1e194, 1e195, 1e196, 1e197, 1e198, 1e199,
    1e200, 1e201, 1e202, 1e203, 1e204, 1e205, 1e206, 1e207, 1e208, 1e209,
    1e210, 1e211, 1e212, 1e213, 1e214, 1e215, 1e216, 1e217, 1e218, 1e219,
    1e220, 1e221, 1e222, 1e223, 1e224, 1e225, 1e226, 1e227, 1e228, 1e229,
    1e230, 1e231, 1e232, 1e233, 1e234, 1e235, 1e236, 1e237, 1e238, 1e239,
    1e240, 1e241, 1e242, 1e243, 1e244, 1e245, 1e246, 1e247, 1e248, 1e249,
    1e250, 1e251, 1e252, 1e253, 1e254, 1e255, 1e256, 1e257, 1e258, 1e259,
    1e260, 1e261, 1e262, 1e263, 1e264, 1e265, 1e266, 1e267, 1e268, 1e269,
    1e270, 1e271, 1e272, 1e273, 1e274, 1e275, 1e276, 1e277, 1e278, 1e279,
    1e280, 1e281, 1e282, 1e283, 1e284, 1e285, 1e286, 1e287, 1e288, 1e289,
    1e290, 1e291, 1e292, 1e293, 1e294, 1e295, 1e296, 1e297, 1e298, 1e299,
    1e300, 1e301, 1e302, 1e303, 1e304, 1e305, 1e306, 1e307, 1e308,
};
const double kNegativePowers[309] = {
    1e-0, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8, 1e-9,
    1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15, 1e-16, 1e-17, 1e-18, 1e-19,
    1e-20, 1e-21, 1e-22, 1e-23, 1e-24, 1e-25, 1e-26, 1e-27, 1e-28, 1e-29,
    1e-30, 1e-31, 1e-32, 1e-33, 1e-34, 1e-35, 1e-36, 1e-37, 1e-38, 1e-39,
    1e-40, 1e-41, 1e-42, 1e-43, 1e-44, 1e-45, 1e-46, 1e-47, 1e-48, 1e-49,
    1e-50, 1e-51, 1e-52, 1e-53, 1e-54, 1e-55, 1e-56, 1e-57, 1e-58, 1e-59,
    1e-60, 1e-61, 1e-62, 1e-63, 1e-64, 1e-65, 1e-66, 1e-67, 1e-68, 1e-69,
    1e-70, 1e-71, 1e-72, 1e-73, 1e-74, 1e-75, 1e-76, 1e-77, 1e-78, 1e-79,
    1e-80, 1e-81, 1e-82, 1e-83, 1e-84, 1e-85, 1e-86, 1e-87, 1e-88, 1e-89,
    1e-90, 1e-91, 1e-92, 1e-93, 1e-94, 1e-95, 1e-96, 1e-97, 1e-98, 1e-99,
    1e-100, 1e-101, 1e-102, 1e-103, 1e-104, 1e-105, 1e-106, 1e-107, 1e-108, 1e-109,
    1e-110, 1e-111, 1e-112, 1e-113, 1e-114, 1e-115, 1e-116, 1e-117, 1e-118, 1e-119,
    1e-120, 1e-121, 1e-122, 1e-123, 1e-124, 1e-125, 1e-126, 1e-127, 1e-128, 1e-129,
    1e-130, 1e-131, 1e-132, 1e-133, 1e-134, 1e-135, 1e-136, 1e-137, 1e-138, 1e-139,
    1e-140, 1e-141, 1e-142, 1e-143, 1e-144, 1e-145, 1e-146, 1e-147, 1e-148, 1e-149,
    1e-150, 1e-151, 1e-152, 1e-153, 1e-154, 1e-155, 1e-156, 1e-157, 1e-158, 1e-159,
    1e-160, 1e-161, 1e-162, 1e-163, 1e-164, 1e-165, 1e-166, 1e-167, 1e-168, 1e-169,
    1e-170, 1e-171, 1e-172, 1e-173, 1e-174, 1e-175, 1e-176, 1e-177, 1e-178, 1e-179,
    1e-180, 1e-181, 1e-182, 1e-183, 1e-184, 1e-185, 1e-186, 1e-187, 1e-188, 1e-189,
    1e-190, 1e-191, 1e-192, 1e-193, 1e-194, 1e-195, 1e-196, 1e-197, 1e-198, 1e-199,
    1e-200, 1e-201, 1e-202, 1e-203, 1e-204, 1e-205, 1e-206, 1e-207, 1e-208, 1e-209,
    1e-210, 1e-211, 1e-212, 1e-213, 1e-214, 1e-215, 1e-216, 1e-217, 1e-218, 1e-219,
    1e-220, 1e-221, 1e-222, 1e-223, 1e-224, 1e-225, 1e-226, 1e-227, 1e-228, 1e-229,
    1e-230, 1e-231, 1e-232, 1e-233, 1e-234, 1e-235, 1e-236, 1e-237, 1e-238, 1e-239,
    1e-240, 1e-241, 1e-242, 1e-243, 1e-244, 1e-245, 1e-246, 1e-247, 1e-248, 1e-249,
    1e-250, 1e-251, 1e-252, 1e-253, 1e-254, 1e-255, 1e-256, 1e-257, 1e-258, 1e-259,
    1e-260, 1e-261, 1e-262, 1e-263, 1e-264, 1e-265, 1e-266, 1e-267, 1e-268, 1e-269,
    1e-270, 1e-271, 1e-272, 1e-273, 1e-274, 1e-275, 1e-276, 1e-277, 1e-278, 1e-279,
    1e-280, 1e-281, 1e-282, 1e-283, 1e-284, 1e-285, 1e-286, 1e-287, 1e-288, 1e-289,
    1e-290, 1e-291, 1e-292, 1e-293, 1e-294, 1e-295, 1e-296, 1e-297, 1e-298, 1e-299,
    1e-300, 1e-301, 1e-302, 1e-303, 1e-304, 1e-305, 1e-306, 1e-307, 1e-308,
};
// clang-format on

double Pow10(int k) {
  if (k >= 0) return k <= 308 ? kPositivePowers[k] : HUGE_VAL;
  return k >= -308 ? kNegativePowers[-k] : kNegativePowers[308] * std::pow(10.0, k + 308);
}
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
    if (e < 308 && a >= Pow10(e + 1))
      ++e;
    else if (a < Pow10(e))
      --e;
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
      for (int i = 0; i < p; ++i) dest[n++] = i < 13 ? (Ch)digits[(parts.mantissa >> (48 - 4 * i)) & 15] : (Ch)'0';
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
