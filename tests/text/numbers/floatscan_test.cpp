#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "text/numbers.h"
#include "wide.h"

TEST(ScanFloat, PlainSyntax) {
  struct Case {
    const char* text;
    int length;
  };
  const Case cases[] = {
      {"1.#INF", 6}, {"-1.#IND", 7}, {"1.#QNAN", 7}, {"1.#qnan5", 8}, {"1.#X", 2}, {"1.#IN", 2},
      {"e5", 2},     {"+", 1},       {".", 1},       {"", 0},         {"x", 0},    {" \t-12.5e-3x", 10},
      {"1,5", 1},    {"1.5E+", 5},   {"\n1", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.length, ScanFloatA(c.text)) << c.text;
    EXPECT_EQ(c.length, ScanFloatW(Wide(c.text).c_str())) << c.text;
  }
}

TEST(ScanFloat, CountedStopsAtN) {
  struct Case {
    const char* text;
    int n, length;
  };
  const Case cases[] = {
      {"12345", 2, 2}, {"1.2345", 3, 3}, {"1.5", 0, 0},
      {"1.5", -1, 0},  {"1.5", 9, 3},    {"1.#INF", 5, 2},  // the special form is cut: the scan ends after the '.'
      {"1e+5", 3, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.length, ScanFloatNA(c.text, c.n)) << c.text << " n " << c.n;
    EXPECT_EQ(c.length, ScanFloatNW(Wide(c.text).c_str(), c.n)) << c.text << " n " << c.n;
  }
}

TEST(ScanFloatEx, WorkedResults) {
  struct Case {
    const char* text;
    uint32_t flags;
    int length;
    uint8_t info[4];
  };
  const Case cases[] = {
      {"1.5", 0x3, 3, {0, 1, 3, 0}},
      {"1.", 0x3, 2, {0, 1, 0, 0}},
      {"1e5", 0x3, 3, {0, 1, 0, 3}},
      {".5", 0x3, 2, {0, 0, 2, 0}},
      {"1,5", 0x3, 1, {0, 1, 0, 0}},
      {"1,5", 0x7, 3, {0, 1, 3, 0}},
      {"1.234,5", 0x47, 7, {0, 1, 7, 0}},
      {"1 000", 0x23, 5, {0, 1, 0, 0}},
      {"1_000_000", 0x83, 9, {0, 1, 0, 0}},
      {"12_", 0x83, 3, {0, 1, 0, 0}},
      {"1__2", 0x83, 2, {0, 1, 0, 0}},
      {"1.#INF", 0xB, 6, {0, 1, 3, 0}},
      {"-1.#QNAN", 0xB, 8, {1, 2, 4, 0}},
      {"- 1", 0x13, 3, {1, 3, 0, 0}},
      {"1.5  ", 0x103, 5, {0, 1, 3, 0}},
      {"1.5e", 0x1, 3, {0, 1, 3, 0}},
      // Further edges.
      {"  1", 0x3, 3, {0, 3, 0, 0}},
      {"  1", 0x203, 0, {0, 0, 0, 0}},
      {"1e", 0x3, 2, {0, 1, 0, 3}},
      {"1e+", 0x3, 3, {0, 1, 0, 3}},
      {"-1.5e-3", 0x3, 7, {1, 2, 4, 6}},
      {"-1", 0x2, 0, {0, 0, 0, 0}},  // no sign allowed: no digit at the start
      {"- 1", 0x3, 0, {0, 0, 0, 0}},
      {"1.234", 0x43, 5, {0, 1, 3, 0}},  // the group dot needs the decimal comma
      {"1.#X", 0xB, 2, {0, 1, 0, 0}},
      {"1.#INF", 0x3, 2, {0, 1, 0, 0}},  // special forms only with their flag
      // Without a digit there is no number.
      {"", 0x3, 0, {0, 0, 0, 0}},
      {"  ", 0x3, 0, {0, 0, 0, 0}},
      {" -", 0x3, 0, {0, 0, 0, 0}},
      {",5", 0x3, 0, {0, 0, 0, 0}},
      {" .", 0x3, 0, {0, 0, 0, 0}},
      {"-.e5", 0x3, 0, {0, 0, 0, 0}},
      {".#INF", 0xB, 0, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "'" << c.text << "' flags 0x" << std::hex << c.flags);
    FloatScanInfo a = {9, 9, 9, 9}, w = {9, 9, 9, 9};
    EXPECT_EQ(c.length, ScanFloatExA(c.text, 256, c.flags, &a));
    EXPECT_EQ(c.length, ScanFloatExW(Wide(c.text).c_str(), 256, c.flags, &w));
    const uint8_t gotA[4] = {a.signEnd, a.integerStart, a.fractionStart, a.exponentStart};
    const uint8_t gotW[4] = {w.signEnd, w.integerStart, w.fractionStart, w.exponentStart};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(c.info[i], gotA[i]) << "byte " << i;
      EXPECT_EQ(c.info[i], gotW[i]) << "byte " << i << " (16-bit)";
    }
  }
}

TEST(ScanFloatEx, MaximumLength) {
  FloatScanInfo info;
  EXPECT_EQ(1, ScanFloatExA("1.5", 2, 0x3, &info));  // the separator at the limit is not counted
  EXPECT_EQ(0, info.fractionStart);
  EXPECT_EQ(3, ScanFloatExA("1.5", 3, 0x3, nullptr));
  EXPECT_EQ(2, ScanFloatExA("12345", 2, 0x3, nullptr));
  EXPECT_EQ(2, ScanFloatExA("1e5", 2, 0x3, nullptr));
  EXPECT_EQ(0, ScanFloatExA("1", 0, 0x3, &info));
  EXPECT_EQ(0, info.integerStart);
  EXPECT_EQ(0, ScanFloatExA("-5", 1, 0x3, nullptr));
  // Positions beyond 255 are capped.
  char longText[300];
  std::memset(longText, ' ', 280);
  std::strcpy(longText + 280, "-7.25");
  EXPECT_EQ(285, ScanFloatExA(longText, 300, 0x3, &info));
  EXPECT_EQ(255, info.signEnd);
  EXPECT_EQ(255, info.fractionStart);
}

TEST(ScanFloatEx, WideCharactersEndTheScan) {
  const wchar_t before[] = {0x2007, L'1', 0};
  const wchar_t after[] = {L'1', L'2', 0x0660, L'3', 0};
  const wchar_t inGroup[] = {L'1', L' ', 0x0131, 0};
  EXPECT_EQ(0, ScanFloatExW(before, 256, 0x3, nullptr));
  EXPECT_EQ(0, ScanFloatW(before));
  EXPECT_EQ(2, ScanFloatExW(after, 256, 0x3, nullptr));
  EXPECT_EQ(2, ScanFloatW(after));
  EXPECT_EQ(2, ScanFloatExW(inGroup, 256, 0x23, nullptr));
}

TEST(ParseDouble, CleansAndConverts) {
  struct Case {
    const char* text;
    uint32_t flags;
    double value;
    int length;
  };
  const Case cases[] = {
      {"1.234,5", 0x47, 1234.5, 7},
      {"1_000_000", 0x83, 1000000.0, 9},
      {"1,5", 0x7, 1.5, 3},
      {"2.5e3", 0, 2.5, 3},
      {"2.5e3", 0x2, 2500.0, 5},
      {"-\t1.5", 0x13, -1.5, 5},  // a tab after the sign is left out like a space
      {"- 1 000,25", 0x37, -1000.25, 10},
      {".5", 0x47, 0.5, 2},  // a '.' that is no group separator stays the decimal point
      {"1..5", 0x47, 1.5, 4},
      {"  3  ", 0x100, 3.0, 5},
      {"x", 0x3, 0.0, 0},
      {"", 0x3, 0.0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "'" << c.text << "' flags 0x" << std::hex << c.flags);
    int a = -1, w = -1;
    EXPECT_EQ(c.value, ParseDoubleA(c.text, &a, c.flags));
    EXPECT_EQ(c.value, ParseDoubleW(Wide(c.text).c_str(), &w, c.flags));
    EXPECT_EQ(c.length, a);
    EXPECT_EQ(c.length, w);
  }
  EXPECT_EQ(7.0, ParseDoubleA("7", nullptr, 0));
}

TEST(ParseDouble, LengthLimitAndSpecialForms) {
  // 70 digits: only the first 63 are read.
  char digits[71];
  std::memset(digits, '1', 70);
  digits[70] = 0;
  int length = 0;
  double v = ParseDoubleA(digits, &length, 0);
  EXPECT_EQ(63, length);
  EXPECT_NEAR(1.111111e62, v, 1e56);

  EXPECT_EQ(HUGE_VAL, ParseDoubleA("1.#INF", &length, 0xB));
  EXPECT_EQ(6, length);
  EXPECT_EQ(-HUGE_VAL, ParseDoubleW(Wide("-1.#INF").c_str(), &length, 0xB));
  EXPECT_TRUE(std::isnan(ParseDoubleA("-1.#IND", &length, 0xB)));
  EXPECT_EQ(7, length);
  EXPECT_TRUE(std::isnan(ParseDoubleA("1.#QNAN", &length, 0xB)));
}
