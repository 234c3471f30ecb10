#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "text/codecs.h"
#include "wide.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// BytesToHex in both twins; the result must be the same text.
std::string ToHex(const Bytes& b, uint32_t flags, int count = -1) {
  if (count < 0) count = (int)b.size();
  char a[128];
  wchar_t w[128];
  std::memset(a, '#', sizeof a);
  int na = BytesToHexA(b.data(), a, count, flags);
  int nw = BytesToHexW(b.data(), w, count, flags);
  EXPECT_EQ(na, nw);
  EXPECT_EQ(WString(w, nw), Wide(a, na));
  if (flags & HEX_TERMINATE) {
    EXPECT_EQ(a[na], 0);
    EXPECT_EQ(w[nw], 0);
  } else {
    EXPECT_EQ(a[na], '#') << "no terminator asked for";
  }
  return std::string(a, na);
}

Bytes Seq(int n) {
  Bytes b;
  for (int i = 0; i < n; ++i) b.push_back((unsigned char)i);
  return b;
}

}  // namespace

TEST(BytesToHex, SeparatorsGroupsBlanksAndOrder) {
  const Bytes b123 = {1, 2, 3}, b1234 = {1, 2, 3, 4};
  EXPECT_EQ(ToHex(b123, 0xB0002000), ":01 02 03");
  EXPECT_EQ(ToHex(b123, 0xA0002000), ":01 02 03 ");
  EXPECT_EQ(ToHex(b123, 0x80002000), "01 02 03 ");
  EXPECT_EQ(ToHex(Seq(8), 0x80002004), "00 01 02 03  04 05 06 07  ");
  EXPECT_EQ(ToHex(Seq(8), 0x88002004), "00 01 02 03  04 05 06 07  ") << "the separator at a blank is a space";
  EXPECT_EQ(ToHex(Seq(8), 0x88002C04), "00,01,02,03  04,05,06,07  ");
  EXPECT_EQ(ToHex(Seq(8), 0x80002C04), "00,01,02,03, 04,05,06,07, ");
  EXPECT_EQ(ToHex(b1234, 0x40000000), "04030201");
  EXPECT_EQ(ToHex(b1234, 2), "0102 0304 ");
  EXPECT_EQ(ToHex(b1234, 1), "01 02 03 04 ");
  EXPECT_EQ(ToHex(b1234, HEX_GROUP_2 | HexSeparator(':') | HEX_REVERSED), "0201:0403:");
  EXPECT_EQ(ToHex(b1234, HEX_GROUP_2 | HexSeparator(':')), "0102:0304:");
  EXPECT_EQ(ToHex(b123, HEX_GROUP_2 | HexSeparator(':')), "0102:03") << "an incomplete last group";
  EXPECT_EQ(ToHex(b123, HEX_GROUP_2 | HexSeparator(':') | HEX_REVERSED), "0201:03") << "reversed in itself";
  EXPECT_EQ(ToHex(Seq(8), HEX_GROUP_4 | HexSeparator('-') | HEX_NO_LAST_SEP | HEX_REVERSED), "03020100-07060504");
  EXPECT_EQ(ToHex(Seq(8), HEX_GROUP_8 | HexSeparator('|') | 4), "00010203 04050607| ");
  EXPECT_EQ(ToHex(Bytes{0xAB, 0xCD}, 0x2000), "AB CD ");
  EXPECT_EQ(ToHex(Bytes{}, 0xB0002000), ":");
  EXPECT_EQ(ToHex(b123, 0x80000000, 0), "");
}

TEST(HexToBytes, DigitsSeparatorsQuotesAndFill) {
  struct Case {
    const char* text;
    uint32_t flags;
    Bytes want;
    int used;
  };
  const Case cases[] = {
      {":0a 1B 2", 16, {0x0A, 0x1B, 0x02}, 8},
      {"ABC", 16, {0xAB, 0x0C}, 3},
      {"01-02", 16 | HEXIN_SEP_MINUS, {1, 2}, 5},
      {"01-02", 16, {1}, 2},
      {"01 - 02", 16 | HEXIN_SEP_MINUS, {1, 2}, 7},
      {"01--02", 16 | HEXIN_SEP_MINUS, {1}, 2},
      {"01:02.03,04", 16 | 0xF0000, {1, 2, 3, 4}, 11},
      {"  :12 34  ", 16, {0x12, 0x34}, 10},
      {":12", 16 | HEXIN_KEEP_COLON, {}, 0},
      {"::12", 16, {}, 1},
      {"123456", 2, {0x12, 0x34}, 4},
      {"12 34 ", 1, {0x12}, 3},
      {"\"Ab\" 01", 16 | HEXIN_QUOTED, {'A', 'b', 1}, 7},
      {"\"Ab", 16 | HEXIN_QUOTED, {'A', 'b'}, 3},
      {"\"Ab\"", 16, {}, 0},
      {"x", 16, {}, 0},
  };
  for (const Case& c : cases) {
    unsigned char a[20], w[20];
    std::memset(a, 0xEE, sizeof a);
    std::memset(w, 0xEE, sizeof w);
    int ua = -1, uw = -1;
    WString wt = Wide(c.text);
    int na = HexToBytesA(a, c.flags, c.text, &ua);
    int nw = HexToBytesW(w, c.flags, wt.c_str(), &uw);
    EXPECT_EQ(Bytes(a, a + (na > 0 ? na : 0)), c.want) << c.text;
    EXPECT_EQ(Bytes(w, w + (nw > 0 ? nw : 0)), c.want) << c.text << " (W)";
    EXPECT_EQ(ua, c.used) << c.text;
    EXPECT_EQ(uw, c.used) << c.text << " (W)";
    EXPECT_EQ(a[c.want.size()], 0xEE) << c.text << ": nothing written behind";
  }
}

TEST(HexToBytes, QuotedTextStopsAtTheMaximum) {
  unsigned char buf[8];
  std::memset(buf, 0xEE, sizeof buf);
  EXPECT_EQ(HexToBytesA(buf, 3 | HEXIN_QUOTED, "\"abcdefgh\"", nullptr), 3);
  EXPECT_EQ(Bytes(buf, buf + 4), (Bytes{'a', 'b', 'c', 0xEE}));
  std::memset(buf, 0xEE, sizeof buf);
  EXPECT_EQ(HexToBytesW(buf, 2 | HEXIN_QUOTED, L"01\"\x0141xyz\"", nullptr), 2);
  EXPECT_EQ(Bytes(buf, buf + 3), (Bytes{0x01, 0x41, 0xEE})) << "low 8 bits of a 16-bit character";
}

TEST(HexToBytes, FillUpToTheMaximum) {
  unsigned char buf[8];
  std::memset(buf, 0xEE, sizeof buf);
  EXPECT_EQ(HexToBytesA(buf, 4 | HexFillByte(0xFF), "12", nullptr), 1);
  EXPECT_EQ(Bytes(buf, buf + 5), (Bytes{0x12, 0xFF, 0xFF, 0xFF, 0xEE}));
  // A fill byte without the fill bit does not raise the maximum.
  std::memset(buf, 0xEE, sizeof buf);
  EXPECT_EQ(HexToBytesA(buf, 2 | (0xFF << 20), "01020304", nullptr), 2);
  EXPECT_EQ(buf[2], 0xEE);
}

TEST(HexPatternToBytes, NibblesBitsAndQuotes) {
  struct Case {
    const char* text;
    uint32_t flags;
    Bytes bytes, mask;
    int used;
  };
  const Case cases[] = {
      {"A? 3F", 16, {0xA0, 0x3F}, {0xF0, 0xFF}, 5},
      {"#1?0?1010", 16, {0x8A}, {0xAF}, 9},
      {"5", 16, {0x05}, {0xFF}, 1},
      {"5 6", 16, {0x05, 0x06}, {0x0F, 0xFF}, 3},
      {"??", 16, {0x00}, {0x00}, 2},
      {":12 :1111", 16, {0x12, 0x0F}, {0xFF, 0xFF}, 9},
      {"#101 A", 16, {0x05, 0x0A}, {0x07, 0xFF}, 6},
      {"#1010101011110000", 16, {0xAA, 0xF0}, {0xFF, 0xFF}, 17},
      {"#1012", 16, {0x05}, {0xFF}, 4},
      {"A#1", 16, {0x0A, 0x01}, {0x0F, 0xFF}, 3},
      {"1234", 1, {0x12}, {0xFF}, 2},
      {"12 34  ", 1, {0x12}, {0xFF}, 3},
      {"5\"a?\"6", 16 | HEXIN_QUOTED, {0x05, 'a', 0x00, 0x06}, {0xFF, 0xFF, 0x00, 0xFF}, 6},
      {"\"abc\"", 2 | HEXIN_QUOTED, {'a', 'b'}, {0xFF, 0xFF}, 3},
      {"\"ab\"", 16, {}, {}, 0},
      {"G", 16, {}, {}, 0},
  };
  for (const Case& c : cases) {
    unsigned char b[20], m[20], bw[20], mw[20];
    std::memset(b, 0xEE, sizeof b);
    int ua = -1, uw = -1;
    WString wt = Wide(c.text);
    int na = HexPatternToBytesA(b, m, c.flags, c.text, &ua);
    int nw = HexPatternToBytesW(bw, mw, c.flags, wt.c_str(), &uw);
    ASSERT_EQ(na, (int)c.bytes.size()) << c.text;
    ASSERT_EQ(nw, (int)c.bytes.size()) << c.text << " (W)";
    EXPECT_EQ(Bytes(b, b + na), c.bytes) << c.text;
    EXPECT_EQ(Bytes(m, m + na), c.mask) << c.text;
    EXPECT_EQ(Bytes(bw, bw + nw), c.bytes) << c.text << " (W)";
    EXPECT_EQ(Bytes(mw, mw + nw), c.mask) << c.text << " (W)";
    EXPECT_EQ(ua, c.used) << c.text;
    EXPECT_EQ(uw, c.used) << c.text << " (W)";
    EXPECT_EQ(b[na], 0xEE) << c.text;
  }
}

TEST(BytesToHexPattern, NibblesBitsSizesAndTrim) {
  struct Case {
    Bytes bytes, mask;
    int size;
    uint32_t flags;
    const char* want;
  };
  const Case cases[] = {
      {{0xA5}, {0xF0}, 10, 0, "A?"},
      {{0xA5}, {0x0F}, 10, 0, "?5"},
      {{0xA5}, {0x00}, 10, 0, "??"},
      {{0xA5}, {0x81}, 10, 0, "#1??????1"},
      {{0xA5, 0x3C}, {0xFF, 0xFF}, 10, 0x2000, "A5 3C "},
      {{0xA5, 0x3C}, {0xFF, 0xFF}, 10, 0x10002000, "A5 3C"},
      {{0xA5, 0x3C}, {0xFF, 0xFF}, 10, 0x60000000, ":3CA5"},
      {{1, 2, 3}, {0xFF, 0xFF, 0xFF}, 20, 0x2C02, "01,02, 03,"},
      {{1, 2, 3}, {0xFF, 0xFF, 0xFF}, 20, 0x10002C02, "01,02, 03"},
      {{1, 2, 3}, {0xFF, 0xFF, 0xFF}, 5, 0x2C00, "01,02"},
      {{1, 2, 3}, {0xFF, 0xFF, 0xFF}, 4, 0x2C00, "01,"},
      {{1, 0x81}, {0xFF, 0x81}, 10, 0, "01"},
      {{1, 0x81}, {0xFF, 0x81}, 11, 0, "01#1??????1"},
  };
  for (const Case& c : cases) {
    char a[40];
    wchar_t w[40];
    std::memset(a, '~', sizeof a);
    int na = BytesToHexPatternA(a, c.size, c.bytes.data(), c.mask.data(), (int)c.bytes.size(), c.flags);
    int nw = BytesToHexPatternW(w, c.size, c.bytes.data(), c.mask.data(), (int)c.bytes.size(), c.flags);
    EXPECT_EQ(std::string(a, na), c.want);
    EXPECT_EQ(WString(w, nw), Wide(c.want));
    EXPECT_EQ(a[c.size], '~') << c.want << ": nothing beyond size";
  }
  // The NUL takes one place of the size; ':' before bits in the 8-bit form only.
  char a[12];
  wchar_t w[12];
  const unsigned char byte = 0x81, mask = 0x81;
  EXPECT_EQ(BytesToHexPatternA(a, 10, &byte, &mask, 1, 0x81000000), 9);
  EXPECT_STREQ(a, ":1??????1");
  EXPECT_EQ(BytesToHexPatternA(a, 9, &byte, &mask, 1, 0x81000000), 0);
  EXPECT_STREQ(a, "");
  EXPECT_EQ(BytesToHexPatternW(w, 10, &byte, &mask, 1, 0x81000000), 9);
  EXPECT_EQ(w[0], L'#');
  EXPECT_EQ(w[9], 0);
}

TEST(HexPattern, RoundTripsThroughText) {
  const Bytes bytes = {0xA0, 0x3F, 0x8A, 0x00, 0x05};
  const Bytes mask = {0xF0, 0xFF, 0xAF, 0x00, 0x0F};
  char text[64];
  int n = BytesToHexPatternA(text, sizeof text, bytes.data(), mask.data(), 5, 0x90002000);
  ASSERT_GT(n, 0);
  unsigned char b[8], m[8];
  EXPECT_EQ(HexPatternToBytesA(b, m, 8, text, nullptr), 5) << text;
  EXPECT_EQ(Bytes(b, b + 5), bytes) << text;
  EXPECT_EQ(Bytes(m, m + 5), mask) << text;
}

TEST(HexDumpLine, LayoutAndShortLines) {
  const Bytes data = {'A', 'b', 0x01, '~', 0xE4, ' ', '0', 0x7F};
  struct Case {
    int64_t address;
    int count, lineLength;
    uint32_t flags;
    const char* want;
  };
  const Case cases[] = {
      {0x1234, 4, 4, 0x01110400, "1234 41 62 01 7E Ab.~"},
      {0x1234, 2, 4, 0x01110400, "1234 41 62       Ab  "},
      {0x1234, 4, 4, 0x01010400, "1234 41 62 01 7EAb.~"},
      {0x12345, 4, 4, 0x00110480, "2345h 4162017E Ab.~"},
      {16, 4, 4, 0x01112200, "10 16 41 62 01 7E Ab.~"},
      {16, 4, 4, 0x48005000, "\t(0016)4162017E"},
      {123456, 1, 1, 0x00007000, "\t 12345641"},
      {16, 4, 4, 0x01118200, "10\t41 62 01 7E\tAb.~"},
      {0, 8, 8, 0x01110204, "00 41 62 01 7E  E4 20 30 7F Ab.~\xE4 0\x7F"},
      {0, 5, 8, 0x01110204, "00 41 62 01 7E  E4          Ab.~\xE4   "},
      {0, 0, 8, 0x01110204, "00                                  "},
      {0, 4, 4, 0x03110200, "00 4162 017E Ab.~"},
      {0, 3, 4, 0x03110200, "00 4162 01   Ab. "},
      {0, 2, 4, 0x03110200, "00 4162      Ab  "},
      {0, 1, 4, 0x03110200, "00 41        A   "},
      {0, 4, 4, 0x03014240, "00 6241 7E01"},
      {0, 9, 2, 0x01100000, "41 62 Ab"},
      {0, -3, 2, 0x01100000, "        "},
  };
  for (const Case& c : cases) {
    char a[128];
    wchar_t w[128];
    int na = HexDumpLineA(a, c.address, data.data(), c.count, c.lineLength, c.flags);
    int nw = HexDumpLineW(w, c.address, data.data(), c.count, c.lineLength, c.flags);
    EXPECT_EQ(std::string(a, na), c.want) << std::hex << c.flags << " count " << c.count;
    EXPECT_EQ(a[na], 0);
    EXPECT_EQ(WString(w, nw), Wide(c.want)) << std::hex << c.flags << " count " << c.count;
  }
}

TEST(MemCompareMasked, MaskedBitsOnly) {
  const unsigned char a[] = {0x12, 0x34}, b[] = {0x12, 0x35};
  const unsigned char m1[] = {0xFF, 0xFE}, m2[] = {0xFF, 0xFF};
  EXPECT_EQ(MemCompareMasked(a, b, m1, 2), 0);
  EXPECT_EQ(MemCompareMasked(a, b, m2, 2), -1);
  EXPECT_EQ(MemCompareMasked(b, a, m2, 2), 1);
  EXPECT_EQ(MemCompareMasked(a, b, m2, 1), 0);
  EXPECT_EQ(MemCompareMasked(a, b, m2, 0), 0);
  // Past the word loop: the first differing byte decides, not the word.
  unsigned char x[11], y[11], m[11];
  for (int i = 0; i < 11; ++i) x[i] = y[i] = (unsigned char)i, m[i] = 0xFF;
  x[9] = 0x80, y[9] = 0x01;
  x[5] = 0x01, y[5] = 0x02, m[5] = 0xFC;
  EXPECT_EQ(MemCompareMasked(x, y, m, 11), 0x7F);
  m[5] = 0xFF;
  EXPECT_EQ(MemCompareMasked(x, y, m, 11), -1);
}

TEST(MemSwap, ExchangesBlocks) {
  char a[] = "abcdefghij", b[] = "0123456789";
  MemSwap(a + 1, b + 1, 9);
  EXPECT_STREQ(a, "a123456789");
  EXPECT_STREQ(b, "0bcdefghij");
  MemSwap(a, b, 0);
  MemSwap(a, b, -4);
  EXPECT_STREQ(a, "a123456789");
  MemSwap(a, b, 3);
  EXPECT_STREQ(a, "0bc3456789");
}
