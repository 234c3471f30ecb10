#include <gtest/gtest.h>

#include <cstring>

#include "guardpage.h"
#include "text/numbers.h"

TEST(BitRange, SetClearInvert) {
  struct Case {
    int from, count;
    unsigned char want[4];
  };
  const Case cases[] = {
      {1, 2, {0x06, 0, 0, 0}},     {6, 4, {0xC0, 0x03, 0, 0}},        {0, 0, {0, 0, 0, 0}},
      {3, -5, {0, 0, 0, 0}},       {0, 8, {0xFF, 0, 0, 0}},           {4, 20, {0xF0, 0xFF, 0xFF, 0}},
      {8, 16, {0, 0xFF, 0xFF, 0}}, {2, 27, {0xFC, 0xFF, 0xFF, 0x1F}}, {25, 3, {0, 0, 0, 0x0E}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "from " << c.from << " count " << c.count);
    unsigned char set[5] = {}, clear[5], inv[5] = {0, 0, 0, 0, 0};
    SetBitRange(set, c.from, c.count);
    EXPECT_EQ(0, std::memcmp(set, c.want, 4));
    EXPECT_EQ(0, set[4]);
    std::memset(clear, 0xFF, 5);
    ClearBitRange(clear, c.from, c.count);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(clear[i], (unsigned char)~c.want[i]) << i;
    EXPECT_EQ(0xFF, clear[4]);
    InvertBitRange(inv, c.from, c.count);
    EXPECT_EQ(0, std::memcmp(inv, c.want, 4));
  }
}

TEST(BitRange, InvertTwiceRestores) {
  unsigned char a[6] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
  const unsigned char before[6] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
  InvertBitRange(a, 5, 30);
  EXPECT_EQ(0x12 ^ 0xE0, a[0]);
  EXPECT_EQ(0xBC, a[5]);
  InvertBitRange(a, 5, 30);
  EXPECT_EQ(0, std::memcmp(a, before, 6));
}

TEST(BitFind, SetAndClearInBothOrders) {
  // Bits (least significant first): 6 in byte 0; 33 and 40 further on.
  const unsigned char a[8] = {0x40, 0, 0, 0, 0x02, 0x01, 0, 0};
  const unsigned char zeros[8] = {};
  const unsigned char ones[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  struct Case {
    const unsigned char* bits;
    int limit, from;
    int set, clear, setMsb, clearMsb;
  };
  const Case cases[] = {
      {zeros, 64, 0, 64, 0, 64, 0}, {zeros, 64, 17, 64, 17, 64, 17}, {ones, 64, 5, 5, 64, 5, 64},
      {a, 64, 0, 6, 0, 1, 0},       {a, 64, 6, 6, 7, 38, 6},         {a, 64, 7, 33, 7, 38, 7},
      {a, 64, 34, 40, 34, 38, 34},  {a, 40, 34, 40, 34, 38, 34},  // the only later set bit lies at the limit
      {a, 36, 34, 36, 34, 36, 34},  {a, 64, 41, 64, 41, 47, 41},     {a, 6, 0, 6, 0, 1, 0},
      {a, 0, 0, 0, 0, 0, 0},        {a, 35, 40, 35, 35, 35, 35},  // from beyond the limit
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "limit " << c.limit << " from " << c.from);
    EXPECT_EQ(c.set, FindNextSetBit(c.bits, c.limit, c.from));
    EXPECT_EQ(c.clear, FindNextClearBit(c.bits, c.limit, c.from));
    EXPECT_EQ(c.setMsb, FindNextSetBitMsb(c.bits, c.limit, c.from));
    EXPECT_EQ(c.clearMsb, FindNextClearBitMsb(c.bits, c.limit, c.from));
  }
}

TEST(BitFind, ReadsNothingPastTheLimitByte) {
  GuardedBlock block;
  const unsigned char data[5] = {0, 0, 0, 0, 0x80};
  const unsigned char* p = block.AtEnd(data, 5);
  EXPECT_EQ(39, FindNextSetBit(p, 40, 0));
  EXPECT_EQ(32, FindNextSetBitMsb(p, 40, 3));
  EXPECT_EQ(40, FindNextClearBit(p, 40, 39));
  EXPECT_EQ(1, CountSetBits(p, 40, 0));
  EXPECT_EQ(1, CountSetBitsMsb(p + 4, 8, 0));
}

TEST(BitCount, RangesAndAlignment) {
  unsigned char buf[16] = {};
  struct Case {
    int end, start, count, countMsb;
  };
  // Bytes: FF 0F 80 00 | 01 ...; Msb counts differ where a range cuts a byte.
  const unsigned char bytes[6] = {0xFF, 0x0F, 0x80, 0x00, 0x01, 0xAA};
  const Case cases[] = {
      {8, 0, 8, 8},   {5, 3, 2, 2},   {3, 5, 0, 0},   {12, 8, 4, 0},   {16, 12, 0, 4}, {24, 23, 1, 0},
      {17, 16, 0, 1}, {33, 32, 1, 0}, {40, 32, 1, 1}, {48, 0, 18, 18}, {48, 41, 4, 3}, {48, 47, 1, 0},
  };
  for (int offset = 0; offset < 4; ++offset) {
    std::memcpy(buf + offset, bytes, sizeof bytes);
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "offset " << offset << " [" << c.start << ", " << c.end << ")");
      EXPECT_EQ(c.count, CountSetBits(buf + offset, c.end, c.start));
      EXPECT_EQ(c.countMsb, CountSetBitsMsb(buf + offset, c.end, c.start));
    }
    std::memset(buf, 0, sizeof buf);
  }
}

TEST(BitReverse, Widths) {
  struct Case {
    uint64_t value;
    int n;
    uint64_t want;
  };
  const Case cases[] = {
      {0x04C11DB7, 32, 0xEDB88320},
      {0x8005, 16, 0xA001},
      {1, 8, 0x80},
      {0x1FF, 8, 0xFF},  // bits above n are ignored
      {1, 1, 1},
      {1, 64, 0x8000000000000000ull},
      {0x42F0E1EBA9EA3693ull, 64, 0xC96C5795D7870F42ull},
      {1, 33, 0x100000000ull},
      {0x3, 40, 0xC000000000ull},
      {5, 0, 0},
      {5, 65, 0},
      {5, -1, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.want, ReverseBits(c.value, c.n)) << std::hex << c.value << " n " << std::dec << c.n;
}
