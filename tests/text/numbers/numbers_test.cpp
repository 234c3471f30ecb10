#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "text/numbers.h"
#include "wide.h"

namespace {

struct ParseCase {
  const char* text;
  uint32_t flags;
  long long value;
  int end;
};

// Checks the 32-bit and 64-bit forms of both twins (the 32-bit value is the
// low half), unbounded and counted over the whole text.
void CheckParse(const ParseCase& c) {
  WString w = Wide(c.text);
  int len = (int)std::strlen(c.text);
  int ends[8];
  std::fill(ends, ends + 8, -99);
  const int v32 = (int)(unsigned)(unsigned long long)c.value;
  SCOPED_TRACE(testing::Message() << "'" << c.text << "' flags 0x" << std::hex << c.flags);
  EXPECT_EQ(ParseIntA(c.text, c.flags, &ends[0]), v32);
  EXPECT_EQ(ParseIntW(w.c_str(), c.flags, &ends[1]), v32);
  EXPECT_EQ(ParseInt64A(c.text, c.flags, &ends[2]), c.value);
  EXPECT_EQ(ParseInt64W(w.c_str(), c.flags, &ends[3]), c.value);
  EXPECT_EQ(ParseIntNA(c.text, len, c.flags, &ends[4]), v32);
  EXPECT_EQ(ParseIntNW(w.c_str(), len, c.flags, &ends[5]), v32);
  EXPECT_EQ(ParseInt64NA(c.text, len, c.flags, &ends[6]), c.value);
  EXPECT_EQ(ParseInt64NW(w.c_str(), len, c.flags, &ends[7]), c.value);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(ends[i], c.end) << "form " << i;
}

}  // namespace

TEST(ParseInt, SignsBlanksAndSeparators) {
  const ParseCase cases[] = {
      {"  -0x1F", 0, -31, 7},
      {"  42", 0xC000, 0, 0},
      {"-5", 0xC000, 0, 0},
      {"-5", 0x8000, -5, 2},
      {"- 5", 0x8000, 0, 1},
      {"  - 5", 0, -5, 5},
      {"- 5", 0x2000, 0, 1},
      {"\t-\t7", 0, -7, 4},
      {"-", 0, 0, 1},
      {"+5", 0, 0, 0},
      {"abc", 0, 0, 0},
      {"", 0, 0, 0},
      {"12  x", 0x1000, 12, 4},
      {"12  x", 0, 12, 2},
      {"12\r\n", 0x1000, 12, 4},
      {"1_000_000", 0x400, 1000000, 9},
      {"1'000", 0x800, 1000, 5},
      {"_1'0_0", 0xC00, 100, 6},
      {"1_000", 0, 1, 1},
      {"1'0", 0x400, 1, 1},
  };
  for (const ParseCase& c : cases) CheckParse(c);
}

TEST(ParseInt, Styles) {
  const ParseCase cases[] = {
      // automatic prefixes
      {"0d19", 0, 19, 4},
      {"0b101", 0, 5, 5},
      {"012", 0, 12, 3},
      {"0o17", 0, 15, 4},
      {"0X1f", 0, 31, 4},
      {"0z", 0, 0, 1},
      {"0B2", 0, 0, 2},
      // plain radix
      {"ff", 16, 255, 2},
      {"0x10", 16, 0, 1},
      {"777", 8, 511, 3},
      {"789", 8, 7, 1},
      {"zz", 36, 1295, 2},
      {"101", 2, 5, 3},
      {"FF", 10, 0, 0},
      // Intel suffixes
      {"1Fh", 1, 31, 3},
      {"101b", 1, 5, 4},
      {"17o", 1, 15, 3},
      {"19", 1, 19, 2},
      {"1bh", 1, 27, 3},
      {"12b", 1, 12, 2},
      {"1Fh  ", 0x1001, 31, 5},
      // mixed forms
      {"0FFh", 252, 255, 4},
      {"0B800h", 252, 47104, 6},
      {"0d12", 252, 12, 4},
      {"0D0h", 252, 208, 4},
      {"017", 252, 17, 3},
      {"16#FF", 252, 255, 5},
      {"10#1_000", 252, 1000, 8},
      {"8#17", 252, 15, 4},
      {"2#101", 252, 5, 5},
      {"0x1F", 252, 31, 4},
      {"0b11", 252, 3, 4},
      {"0o17", 252, 15, 4},
      {"1Fh", 252, 31, 3},
      {"0", 252, 0, 1},
      {"42", 252, 42, 2},
      {"-0x10", 252, -16, 5},
      {"017", 251, 15, 3},
      {"019", 251, 1, 2},
      {"0FFh", 251, 255, 4},
      {"11b", 251, 3, 3},
      // based forms
      {"16#FF#", 253, 255, 5},
      {"8#17", 253, 15, 4},
      {"2#1010", 253, 10, 6},
      {"10#16", 253, 16, 5},
      {"16#F_F", 253, 255, 6},
      {"1_6", 253, 1, 1},
      {"0x10", 253, 0, 1},
      {"16", 253, 16, 2},
      // classic prefix forms
      {"0b11", 254, 3, 4},
      {"017", 254, 15, 3},
      {"0x1F", 254, 31, 4},
      {"18", 254, 18, 2},
      {"0b11", 255, 0, 1},
      {"0x1F", 255, 31, 4},
      {"08", 255, 0, 1},
  };
  for (const ParseCase& c : cases) CheckParse(c);
}

TEST(ParseInt, OverflowWraps) {
  const ParseCase cases[] = {
      {"4294967297", 0, 4294967297LL, 10},
      {"2147483648", 0, 2147483648LL, 10},
      {"-9223372036854775808", 0, (long long)0x8000000000000000ULL, 20},
      {"18446744073709551617", 0, 1, 20},
  };
  for (const ParseCase& c : cases) CheckParse(c);
  EXPECT_EQ(ParseIntA("2147483648", 0, nullptr), (int)0x80000000u);
  EXPECT_EQ(ParseIntA("4294967297", 0, nullptr), 1);
}

// An exact read refuses what its width cannot hold, signed or unsigned,
// and keeps every number that fits.
TEST(ParseInt, ExactRefusesWhatDoesNotFit) {
  struct Case {
    const char* text;
    bool fits32, fits64;
    long long value;  // when it fits
  } cases[] = {
      {"4294967295", true, true, 4294967295LL},
      {"0xFFFFFFFF", true, true, 4294967295LL},
      {"-2147483648", true, true, -2147483648LL},
      {"-2", true, true, -2},
      {"-0x10", true, true, -16},
      {"0x1_0000_0000", false, true, 4294967296LL},
      {"4294967296", false, true, 4294967296LL},
      {"-2147483649", false, true, -2147483649LL},
      {"0x1FFFFFFFF", false, true, 0x1FFFFFFFFLL},
      {"0x8000000000000000", false, true, (long long)0x8000000000000000ULL},
      {"18446744073709551615", false, true, -1},
      {"-9223372036854775808", false, true, (long long)0x8000000000000000ULL},
      {"18446744073709551616", false, false, 0},
      {"0x1FFFFFFFFFFFFFFFF", false, false, 0},
      {"99999999999999999999", false, false, 0},
      {"36893488147419103233", false, false, 0},
      {"-9223372036854775809", false, false, 0},
      {"0b11111111111111111111111111111111111111111111111111111111111111111", false, false, 0},
  };
  const uint32_t flags = PARSE_MIXED | PARSE_SEP_UNDERSCORE | PARSE_EXACT;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    WString w = Wide(c.text);
    const int len = (int)std::strlen(c.text);
    int end[4] = {-1, -1, -1, -1};
    const int32_t v32 = ParseIntA(c.text, flags, &end[0]);
    EXPECT_EQ(v32, ParseIntW(w.c_str(), flags, &end[1]));
    const int64_t v64 = ParseInt64A(c.text, flags, &end[2]);
    EXPECT_EQ(v64, ParseInt64NW(w.c_str(), len, flags, &end[3]));
    EXPECT_EQ(end[0], c.fits32 ? len : 0);
    EXPECT_EQ(end[1], end[0]);
    EXPECT_EQ(end[2], c.fits64 ? len : 0);
    EXPECT_EQ(end[3], end[2]);
    EXPECT_EQ(v32, c.fits32 ? (int32_t)c.value : 0);
    EXPECT_EQ(v64, c.fits64 ? c.value : 0);
    // Without the flag the same text still wraps as it always did.
    int plain = -1;
    ParseInt64A(c.text, flags & ~PARSE_EXACT, &plain);
    EXPECT_EQ(plain, len);
  }
}

TEST(ParseInt, PrefixAtTheEndOfTheText) {
  // Unbounded, "0x" still selects hexadecimal; counted, a prefix needs a
  // character behind it.
  int end = -1;
  EXPECT_EQ(ParseIntA("0x", 0, &end), 0);
  EXPECT_EQ(end, 2);
  EXPECT_EQ(ParseInt64W(L"0x", 0, &end), 0);
  EXPECT_EQ(end, 2);
  EXPECT_EQ(ParseIntNA("0x", 2, 0, &end), 0);
  EXPECT_EQ(end, 1);
}

TEST(ParseInt, CountedFormsStopAtN) {
  struct Case {
    const char* text;
    int n;
    uint32_t flags;
    int value, end;
  };
  const Case cases[] = {
      {"123", 2, 0, 12, 2},   {"123", 0, 0, 0, 0},      {"123", -4, 0, 0, 0},       {"0x1F", 2, 0, 0, 1},
      {"0x1F", 3, 0, 1, 3},   {"0b1", 3, 0, 1, 3},      {"0x1F", 1, 254, 0, 1},     {"0x1F", 2, 254, 0, 2},
      {"017", 3, 252, 17, 3}, {"0", 1, 251, 0, 1},      {"0B800h", 5, 252, 0, 2},   {"1Fh", 2, 1, 1, 1},
      {"1Fh", 3, 1, 31, 3},   {"16#FF", 3, 252, 16, 2}, {"16#FF", 4, 252, 15, 4},   {"16#", 3, 253, 0, 3},
      {"8#7", 2, 253, 0, 2},  {"8#7", 2, 252, 8, 1},    {"12  ", 3, 0x1000, 12, 3}, {"  ", 1, 0, 0, 1},
  };
  for (const Case& c : cases) {
    WString w = Wide(c.text);
    int ea = -9, ew = -9;
    EXPECT_EQ(ParseIntNA(c.text, c.n, c.flags, &ea), c.value) << c.text << " n " << c.n << " flags " << c.flags;
    EXPECT_EQ(ParseIntNW(w.c_str(), c.n, c.flags, &ew), c.value) << c.text << " n " << c.n << " flags " << c.flags;
    EXPECT_EQ(ea, c.end) << c.text << " n " << c.n << " flags " << c.flags;
    EXPECT_EQ(ew, c.end) << c.text << " n " << c.n << " flags " << c.flags;
  }
}

TEST(ParseInt, WideCharactersAbove255) {
  int end = -1;
  const wchar_t a[] = {L'1', L'2', 0x416, L'3', 0};
  EXPECT_EQ(ParseIntW(a, 0, &end), 123);
  EXPECT_EQ(end, 4);
  const wchar_t b[] = {0x416, L'5', 0};
  EXPECT_EQ(ParseIntW(b, 0, &end), 5);
  EXPECT_EQ(end, 2);
  const wchar_t c[] = {L'1', L'F', 0x416, L'h', 0};  // ends the suffix run
  EXPECT_EQ(ParseIntW(c, 1, &end), 1);
  EXPECT_EQ(end, 1);
  const wchar_t d[] = {L'7', L' ', 0x416, 0};  // ends the trailing blanks
  EXPECT_EQ(ParseInt64W(d, 0x1000, &end), 7);
  EXPECT_EQ(end, 2);
  const wchar_t e[] = {L'0', 0x478, L'1', 0};  // U+0478 is no 'x'
  EXPECT_EQ(ParseIntW(e, 0, &end), 1);
  EXPECT_EQ(ParseIntNW(a, 3, 0, &end), 12);
  EXPECT_EQ(end, 3);
}

TEST(ParseHexN, BlanksAndCount) {
  const char* t = "  1aG";
  WString w = Wide(t);
  const unsigned ns[] = {5, 2, 3, 0, (unsigned)-1};
  const uint32_t wants[] = {26, 0, 1, 0, 26};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(ParseHexNA(t, ns[i]), wants[i]) << ns[i];
    EXPECT_EQ(ParseHexNW(w.c_str(), ns[i]), wants[i]) << ns[i];
  }
  EXPECT_EQ(ParseHexNA("123456789", (unsigned)-1), 0x23456789u) << "wraps";
  EXPECT_EQ(ParseHexNA("\t-1", (unsigned)-1), 0u);
}

TEST(FormatInt, FlagsBothTwinsAndWidths) {
  struct Case {
    long long value;
    uint32_t flags;
    const char* want;
    bool only64;
  };
  const Case cases[] = {
      {-5, 0, "-5", false},
      {0, 0, "0", false},
      {-2147483648LL, 0, "-2147483648", false},
      {-1, 1, "0xFFFFFFFF", false},
      {-1, 15, "4294967295", false},
      {255, 0x801, "0x000000FF", false},
      {0xABCD, 0x8010, "ABCD", false},
      {0xABCD, 0x8810, "0000ABCD", false},
      {31, 4, "1Fh", false},
      {255, 4, "0FFh", false},
      {0, 4, "0h", false},
      {5, 5, "101b", false},
      {8, 6, "10o", false},
      {255, 2, "0b11111111", false},
      {255, 3, "0o377", false},
      {255, 7, "16#FF", false},
      {255, 8, "2#11111111", false},
      {255, 9, "8#377", false},
      {255, 10, "10#255", false},
      {-5, 0x300, "-05", false},
      {-5, 0x200, "-05", false},
      {-5, 0x100, "-5", false},
      {5, 0x300, "005", false},
      {0x12345, 0xC210, "45", false},
      {0xABC, 0x4204, "BCh", false},
      {0xABC, 0x4404, "0ABCh", false},
      {0xABC, 0x4304, "ABCh", false},
      {42, 0x10600, "    42", false},
      {-42, 0x10600, "   -42", false},
      {255, 0x10604, "   0FFh", false},
      {255, 0x10607, "    16#FF", false},
      {123456, 0x10200, "123456", false},
      {35, 0x8024, "Z", false},
      {-1, 0x8002, "11111111111111111111111111111111", false},
      {0x123456789LL, 1, "0x123456789", true},
      {1LL << 40, 0x8002, "00000000000000000000000000000000", true},
      {-1, 0, "-1", true},
      {(long long)0x8000000000000000ULL, 0, "-9223372036854775808", true},
      {-1, 1, "0xFFFFFFFFFFFFFFFF", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " flags 0x" << std::hex << c.flags);
    char a[80];
    wchar_t w[80];
    int len = (int)std::strlen(c.want);
    if (!c.only64) {
      EXPECT_EQ(FormatIntA((int32_t)c.value, a, c.flags), len);
      EXPECT_STREQ(a, c.want);
      EXPECT_EQ(FormatIntW((int32_t)c.value, w, c.flags), len);
      EXPECT_EQ(WString(w), Wide(c.want));
    }
    if (c.only64 || c.value >= 0 || !(c.flags & 0xFF)) {  // same text for the 64-bit forms
      EXPECT_EQ(FormatInt64A(c.value, a, c.flags), len);
      EXPECT_STREQ(a, c.want);
      EXPECT_EQ(FormatInt64W(c.value, w, c.flags), len);
      EXPECT_EQ(WString(w), Wide(c.want));
    }
  }
}

TEST(FormatInt, LongestResultsFitSixtySevenCharacters) {
  char a[80];
  std::memset(a, '#', sizeof a);
  EXPECT_EQ(FormatIntA(1, a, 0x13F07), 66) << "field width 63 behind \"16#\"";
  EXPECT_EQ(a[66], 0);
  EXPECT_EQ(a[67], '#');
  EXPECT_EQ(FormatInt64A(-1, a, 0x7F02), 65) << "63 binary digits after \"0b\"";
  EXPECT_EQ(FormatIntA(7, a, 0x3F00), 32) << "without a maximum, 32 digits at most";
  EXPECT_EQ(FormatIntA(7, a, 0x7F04), 64) << "63 places and the suffix";
}

TEST(IntegerText, FormatThenParseRoundTrips) {
  const long long values[] = {0, 1, -1, 255, -256, 0x7FFFFFFF, -0x7FFFFFFFLL - 1, 0x0B800, 123456789};
  struct Pair {
    uint32_t format, parse;
  };
  const Pair pairs[] = {{0, 0},   {1, 0},   {2, 0},   {3, 0},    {4, 252}, {5, 252},    {6, 252},
                        {7, 252}, {8, 253}, {9, 253}, {10, 252}, {4, 1},   {0x8010, 16}};
  for (long long v : values)
    for (const Pair& p : pairs) {
      char a[80];
      FormatIntA((int32_t)v, a, p.format);
      int end = -1;
      EXPECT_EQ(ParseIntA(a, p.parse, &end), (int32_t)v) << a << " parsed with " << p.parse;
      EXPECT_EQ(end, (int)std::strlen(a)) << a;
    }
}
