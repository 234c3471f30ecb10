#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "text/numbers.h"
#include "wide.h"

namespace {

const uint32_t kDec = NListRadix(NLIST_RADIX_DEC);

struct Case {
  const char* text;
  uint32_t flags;
  int maxCount;
  std::vector<int> bytes;  // the whole array after the call (maxCount elements)
  int stored, consumed;
};

// Runs both widths over an array prefilled with 0xAA.
void Check(const Case& c) {
  SCOPED_TRACE(testing::Message() << "'" << c.text << "' flags 0x" << std::hex << c.flags);
  const int size = (int)((c.flags >> 8) & 3) + 1;
  const size_t n = (size_t)c.maxCount * size;
  std::vector<unsigned char> a(n + 4, 0xAA), w(n + 4, 0xAA);
  int usedA = -1, usedW = -1;
  EXPECT_EQ(c.stored, ParseNumberListA(c.text, a.data(), c.maxCount, c.flags, &usedA));
  EXPECT_EQ(c.stored, ParseNumberListW(Wide(c.text).c_str(), w.data(), c.maxCount, c.flags, &usedW));
  EXPECT_EQ(c.consumed, usedA);
  EXPECT_EQ(c.consumed, usedW);
  ASSERT_EQ(n, c.bytes.size());
  for (size_t i = 0; i < n; ++i) {
    EXPECT_EQ(c.bytes[i], a[i]) << "byte " << i;
    EXPECT_EQ(c.bytes[i], w[i]) << "byte " << i << " (16-bit)";
  }
  for (size_t i = n; i < n + 4; ++i) {
    EXPECT_EQ(0xAA, a[i]) << "written past the array";
    EXPECT_EQ(0xAA, w[i]) << "written past the array";
  }
}

const int X = 0xAA;  // untouched

}  // namespace

TEST(ParseNumberList, SeparatedLists) {
  const uint32_t comma = kDec | NListSeparator(NLIST_SEP_COMMA);
  const Case cases[] = {
      {"1 2 3", kDec, 4, {1, 2, 3, X}, 3, 5},
      {"1;2.3,4:5", kDec, 5, {1, 2, 3, 4, 5}, 5, 9},
      {"1,2,3", comma, 3, {1, 2, 3}, 3, 5},
      {"1,,3", comma, 3, {1, 0, 3}, 3, 4},
      {"1 , 2 ,", comma, 3, {1, 2, X}, 2, 7},
      {"1,2 3", comma, 3, {1, 2, X}, 2, 4},
      {"1,2,3;", comma, 3, {1, 2, 3}, 3, 5},
      {"0x10 0x20", NListRadix(NLIST_RADIX_AUTO), 2, {16, 32}, 2, 9},
      {"101 11", NListRadix(NLIST_RADIX_BIN), 2, {5, 3}, 2, 6},
      {"17 ff", NListRadix(NLIST_RADIX_HEX), 2, {0x17, 0xFF}, 2, 5},
      {"-1 -2", kDec | NLIST_SIGN, 2, {0xFF, 0xFE}, 2, 5},
      {"-1 -2", kDec, 2, {X, X}, 0, 0},
      {"-x", kDec | NLIST_SIGN, 1, {X}, 0, 0},
      {"-1-2", kDec | NListSeparator(NLIST_SEP_MINUS), 2, {0xFF, 2}, 2, 4},
      {"1\t2\t3", kDec | NListSeparator(NLIST_SEP_TAB), 3, {1, 2, 3}, 3, 5},
      {"1 2 3", kDec, 2, {1, 2}, 2, 5},  // later elements are read and dropped
      {"", kDec, 1, {X}, 0, 0},
      {"  \t", kDec, 1, {X}, 0, 3},
      {"\"1,2,3\"", comma | NLIST_QUOTED, 3, {1, 2, 3}, 3, 6},
      {"\"1 2\" 3", kDec | NLIST_QUOTED, 3, {1, 2, X}, 2, 4},
  };
  for (const Case& c : cases) Check(c);
}

TEST(ParseNumberList, ElementSizesAndFill) {
  const Case cases[] = {
      {"300", kDec, 1, {0x2C}, 1, 3},
      {"300", kDec | NListElementSize(2), 1, {0x2C, 0x01}, 1, 3},
      {"0x123456 -1",
       NListSeparator(NLIST_SEP_NONE) | NListElementSize(3),
       2,
       {0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF},
       2,
       11},
      {"-2", kDec | NListSeparator(NLIST_SEP_NONE) | NListElementSize(4), 1, {0xFE, 0xFF, 0xFF, 0xFF}, 1, 2},
      {"1 2", kDec | NLIST_FILL_FF, 4, {1, 2, 0xFF, 0xFF}, 2, 3},
      {"7", kDec | NLIST_FILL_ZERO | NListElementSize(2), 3, {7, 0, 0, 0, 0, 0}, 1, 1},
      {"7", kDec | NLIST_FILL_ZERO | NLIST_FILL_FF, 2, {7, 0}, 1, 1},
      {"1 2 3", kDec | NLIST_FILL_ZERO, 0, {}, 0, 5},
  };
  for (const Case& c : cases) Check(c);
}

TEST(ParseNumberList, LinesAndHexDumpRows) {
  const uint32_t comma = kDec | NListSeparator(NLIST_SEP_COMMA);
  const uint32_t dump = NListRowCount(3) | NLIST_MULTILINE;
  const Case cases[] = {
      {"1,2,3\r\n4,5", comma | NLIST_MULTILINE, 5, {1, 2, 3, 4, 5}, 5, 10},
      {"1,2,3\r4,5\n\t6", comma | NLIST_MULTILINE, 6, {1, 2, 3, 4, 5, 6}, 6, 12},
      {"1,2,3\r\n4,5", comma, 5, {1, 2, 3, X, X}, 3, 5},
      {"1,2,3;\n4", comma | NLIST_MULTILINE, 4, {1, 2, 3, X}, 3, 5},
      {"1,2,\\\n3,4", comma | NLIST_CONTINUATION, 4, {1, 2, 3, 4}, 4, 9},
      {"1,2\n3", comma | NLIST_CONTINUATION, 3, {1, 2, X}, 2, 3},
      {"0010: 41 42 43 ABC\r\n0020: 41 42 43 ABC", dump, 6, {0x41, 0x42, 0x43, 0x41, 0x42, 0x43}, 6, 38},
      {"0010: 41 42 43 ABC\r\n0020: 44", NListRowCount(3), 6, {0x41, 0x42, 0x43, X, X, X}, 3, 15},
      {"[0010] 41 42\n[0012]\t43 44\n", NListRowCount(2) | NLIST_MULTILINE, 4, {0x41, 0x42, 0x43, 0x44}, 4, 26},
      {"41 42 43\n44 45 46", dump, 6, {0x41, 0x42, 0x43, 0x44, 0x45, 0x46}, 6, 17},
      {"0000: 01 02 \\\n0001: 03 04\n0002: 05", NListRowCount(2) | NLIST_CONTINUATION, 6, {1, 2, 3, 4, X, X}, 4, 25},
      {"0010: 4142 4344", NListRowCount(2) | NListElementSize(2), 2, {0x10, 0x00, 0x42, 0x41}, 2, 11},
  };
  for (const Case& c : cases) Check(c);
}

TEST(ParseNumberList, NoNumberWithoutDigits) {
  const Case cases[] = {
      {"1 -", kDec | NListSeparator(NLIST_SEP_NONE), 3, {1, X, X}, 1, 2},
      {"1 ,  ,3", kDec | NListSeparator(NLIST_SEP_COMMA), 3, {1, 0, 3}, 3, 7},
      {"\" \t1 2\"", kDec | NLIST_QUOTED, 2, {1, 2}, 2, 6},
  };
  for (const Case& c : cases) Check(c);
}
