#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "text/numbers.h"
#include "wide.h"

namespace {

const uint32_t kBase = SiInputPrefix(SI_PREFIX_NONE);
const uint32_t kQuantity = kBase | SiDigits(3) | SiDecimals(2) | SIFMT_UNIT | SIFMT_SPACE;

struct Case {
  uint64_t value;
  uint32_t flags;
  const char* unit;  // "<bytes>" for the built-in byte unit
  const char* text;
  uint32_t prefix;
};

void Check(const Case& c) {
  SCOPED_TRACE(testing::Message() << c.value << " flags 0x" << std::hex << c.flags);
  const bool bytes = c.unit && std::string(c.unit) == "<bytes>";
  char a[96];
  wchar_t w[96];
  uint32_t pa = 99, pw = 99;
  int na, nw;
  if (bytes) {
    na = FormatWithPrefixA(c.value, a, c.flags, SI_UNIT_BYTES, &pa);
    nw = FormatWithPrefixW(c.value, w, c.flags, SI_UNIT_BYTES, &pw);
  } else {
    WString unitW = c.unit ? Wide(c.unit) : WString();
    na = FormatWithPrefixA(c.value, a, c.flags, c.unit, &pa);
    nw = FormatWithPrefixW(c.value, w, c.flags, c.unit ? unitW.c_str() : nullptr, &pw);
  }
  EXPECT_EQ(std::string(c.text), std::string(a));
  EXPECT_EQ((int)std::string(c.text).size(), na);
  EXPECT_TRUE(Wide(c.text) == WString(w));
  EXPECT_EQ(na, nw);
  EXPECT_EQ(c.prefix, pa);
  EXPECT_EQ(c.prefix, pw);
}

}  // namespace

TEST(FormatWithPrefix, Examples) {
  const Case cases[] = {
      {1536, kQuantity, "<bytes>", "1.53 kB", 9},
      {1536, kQuantity | SIFMT_BINARY, "<bytes>", "1.50 kB", 9},
      {512, kQuantity, "<bytes>", "512 Byte", 8},
      {1999, kBase | SiDigits(3) | SiDecimals(1), nullptr, "1.9", 9},
      {(uint64_t)-1500, kBase | SiDigits(3) | SiDecimals(1) | SIFMT_SIGNED, nullptr, "-1.5", 9},
      {1234567, kBase | SiDigits(9) | SiGroupSeparator(','), nullptr, "1,234,567", 8},
      {1500, kQuantity - kBase + SiInputPrefix(SI_PREFIX_NANO), "s", "1.50 \xB5s", 6},
      {1536, kBase | SiDigits(3) | SiDecimals(2), nullptr, "1.53", 9},  // no letter without the unit flag
  };
  for (const Case& c : cases) Check(c);
}

TEST(FormatWithPrefix, ScalingDecimalsAndSeparators) {
  const uint32_t d3m2 = kBase | SiDigits(3) | SiDecimals(2);
  const Case cases[] = {
      {0, d3m2, nullptr, "0.00", 8},
      {0, kQuantity - kBase + SiInputPrefix(SI_PREFIX_KILO), "<bytes>", "0.00 kB", 9},
      {999, kBase | SiDigits(3) | SIFMT_UNIT | SIFMT_SPACE, nullptr, "999 ", 8},
      {1000, kBase | SiDigits(3) | SIFMT_UNIT | SIFMT_SPACE, nullptr, "1 k", 9},
      {1000, d3m2 | SIFMT_BINARY, nullptr, "0.97", 9},  // the threshold stays 10^d
      {1023, d3m2 | SIFMT_BINARY, nullptr, "0.99", 9},
      {1500, kBase | SiDigits(3) | SiDecimals(3) | SIFMT_TRIM_ZEROS, nullptr, "1.5", 9},
      {2000, kBase | SiDigits(3) | SiDecimals(3) | SIFMT_TRIM_ZEROS, nullptr, "2", 9},
      {2000, kBase | SiDigits(3) | SiDecimals(3), nullptr, "2.000", 9},
      {(uint64_t)-123, kBase | SiDigits(4) | SIFMT_SIGNED | SiGroupSeparator(','), nullptr, "-123", 8},
      {(uint64_t)-1234, kBase | SiDigits(5) | SIFMT_SIGNED | SiGroupSeparator('.'), nullptr, "-1.234", 8},
      {1536, d3m2 | SiDecimalSeparator(','), nullptr, "1,53", 9},
      {12345678, kBase | SiDigits(6) | SiDecimals(1) | SiGroupSeparator('\''), nullptr, "12'345.6", 9},
      {(uint64_t)INT64_MIN, kBase | SiDigits(3) | SiDecimals(2) | SIFMT_SIGNED | SIFMT_UNIT, nullptr, "-9.22E", 14},
      {UINT64_MAX, kBase | SiDigits(3) | SiDecimals(2) | SIFMT_UNIT, nullptr, "18.44E", 14},
      {2500000000ull, SiInputPrefix(SI_PREFIX_NANO) | SiDigits(3) | SiDecimals(3) | SIFMT_UNIT, "s", "2.500s", 8},
  };
  for (const Case& c : cases) Check(c);
}

TEST(FormatWithPrefix, FixedLayoutLinesUp) {
  const uint32_t fixed = kBase | SiDigits(7) | SIFMT_FIXED | SiGroupSeparator(',');
  const Case cases[] = {
      {123, fixed, nullptr, "      123", 8},
      {1234567, fixed, nullptr, "1,234,567", 8},
      {(uint64_t)-123, fixed | SIFMT_SIGNED, nullptr, "     -123", 8},  // the sign stays with its digits
      {512, kQuantity | SiDigits(3) | SIFMT_FIXED, "<bytes>", "512.00 Byte", 8},
      {1536, kQuantity | SiDigits(3) | SIFMT_FIXED, "<bytes>", "  1.53 kB  ", 9},
      {1000, kQuantity | SIFMT_FIXED | SIFMT_TRIM_ZEROS, "<bytes>", "  1.00 kB  ", 9},
      {5, kQuantity | SIFMT_FIXED, "s", "  5.00 s ", 8},
      {5000, kQuantity | SIFMT_FIXED, "s", "  5.00 ks", 9},
      {5, kQuantity | SIFMT_FIXED, nullptr, "  5.00  ", 8},
      {5000, kQuantity | SIFMT_FIXED, nullptr, "  5.00 k", 9},
  };
  for (const Case& c : cases) Check(c);
}

TEST(FormatWithPrefix, LargeValuesStayExact) {
  const Case cases[] = {
      // Many decimals behind many steps: no product may wrap.
      {999999999999999999ull, kBase | SiDigits(3) | SiDecimals(15) | SIFMT_UNIT, nullptr, "999.999999999999999P", 13},
      {UINT64_MAX, kBase | SiDigits(1) | SiDecimals(15) | SIFMT_UNIT, nullptr, "18.446744073709551E", 14},
      {UINT64_MAX, kBase | SiDigits(1) | SiDecimals(3) | SIFMT_UNIT | SIFMT_BINARY, nullptr, "15.999E", 14},
      // A threshold beyond 32 bits.
      {99999999999ull, kBase | SiDigits(11), nullptr, "99999999999", 8},
      {100000000000ull, kBase | SiDigits(11) | SIFMT_UNIT, nullptr, "100000000k", 9},
      // Small units of large counts reach zetta and yotta, and no further.
      {UINT64_MAX, SiInputPrefix(SI_PREFIX_NANO) | SiDigits(3) | SiDecimals(1) | SIFMT_UNIT, "s", "18.4Gs", 11},
      {5000000, SiInputPrefix(14) | SiDigits(3) | SIFMT_UNIT, nullptr, "5Y", 16},
      {5000000, SiInputPrefix(15) | SiDigits(3) | SIFMT_UNIT, nullptr, "5000Y", 16},
  };
  for (const Case& c : cases) Check(c);
}
