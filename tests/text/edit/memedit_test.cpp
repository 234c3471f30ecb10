#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "text/strings.h"

namespace {

// A byte buffer of 16 bytes holding `text`, filled with '#' behind it.
struct Buf {
  char b[17];
  explicit Buf(const char* text) {
    std::memset(b, '#', 16);
    b[16] = 0;
    std::memcpy(b, text, std::strlen(text));
  }
  std::string Text(int length) const { return std::string(b, length > 0 ? length : 0); }
};

}  // namespace

TEST(BufferEdit, InsertReplaceDelete) {
  struct Case {
    const char* what;
    int op;  // 0 insert, 1 insert bounded, 2 replace, 3 replace bounded, 4 delete
    int length, count, removed, position, capacity;
    int want;
    const char* after;  // the whole first `max(want, length)` bytes
  };
  const Case cases[] = {
      {"insert inside", 0, 3, 2, 0, 1, 0, 5, "aXYbc"},
      {"insert far behind appends", 0, 3, 2, 0, 9, 0, 5, "abcXY"},
      {"insert before the start", 0, 3, 2, 0, -4, 0, 5, "XYabc"},
      {"insert nothing", 0, 3, 0, 0, 1, 0, 3, "abc"},
      {"negative length counts as 0", 0, -2, 2, 0, 1, 0, 2, "XYc"},
      {"bounded cuts the tail", 1, 3, 2, 0, 1, 4, 4, "aXYb"},
      {"bounded cuts the new bytes", 1, 3, 2, 0, 1, 2, 2, "aXc"},
      {"bounded position beyond capacity", 1, 3, 2, 0, 3, 2, 0, "abc"},
      {"bounded with room", 1, 3, 2, 0, 3, 10, 5, "abcXY"},
      {"replace one by two", 2, 3, 2, 1, 1, 0, 4, "aXYc"},
      {"replace too many", 2, 3, 2, 9, 1, 0, 3, "aXY"},
      {"replace beyond the end appends", 2, 3, 2, 2, 7, 0, 5, "abcXY"},
      {"replace negative removed", 2, 3, 2, -1, 0, 0, 5, "XYabc"},
      {"replace by nothing removes nothing", 2, 3, 0, 2, 0, 0, 3, "abc"},
      {"replace bounded", 3, 3, 2, 1, 1, 3, 3, "aXY"},
      {"replace bounded beyond capacity", 3, 3, 2, 1, 2, 1, 0, "abc"},
      {"delete from before the start", 4, 3, 2, 0, -1, 0, 2, "bc"},
      {"delete at the end", 4, 3, 2, 0, 3, 0, 3, "abc"},
      {"delete past the end", 4, 3, 5, 0, 1, 0, 1, "a"},
      {"delete nothing", 4, 3, 0, 0, 1, 0, 3, "abc"},
  };
  for (const Case& c : cases) {
    Buf buf("abc");
    int r = 0;
    switch (c.op) {
      case 0:
        r = BufferInsert(buf.b, "XY", c.length, c.count, c.position);
        break;
      case 1:
        r = BufferInsertBounded(buf.b, "XY", c.length, c.count, c.position, c.capacity);
        break;
      case 2:
        r = BufferReplace(buf.b, "XY", c.length, c.count, c.removed, c.position);
        break;
      case 3:
        r = BufferReplaceBounded(buf.b, "XY", c.length, c.count, c.removed, c.position, c.capacity);
        break;
      case 4:
        r = BufferDelete(buf.b, c.length, c.count, c.position);
        break;
    }
    EXPECT_EQ(r, c.want) << c.what;
    EXPECT_EQ(buf.Text((int)std::strlen(c.after)), c.after) << c.what;
    if (c.op == 1 || c.op == 3) {
      EXPECT_EQ(buf.b[c.capacity > 3 ? c.capacity : 3], '#') << c.what << ": nothing beyond the capacity";
    }
  }
}

TEST(MemMoveRange, MovesAndBounds) {
  struct Case {
    int from, count, to, capacity;  // capacity < 0: unbounded form
    int want;
    const char* after;
  };
  const Case cases[] = {
      {1, 2, 3, -1, 3, "adebcf"},   {1, 2, 0, -1, 0, "bcadef"},   {0, 1, 5, -1, 5, "bcdefa"},
      {5, 1, 0, -1, 0, "fabcde"},   {2, 0, 4, -1, 4, "abcdef"},   {3, 2, 3, -1, 3, "abcdef"},
      {-1, 2, 3, -1, -1, "abcdef"}, {1, -2, 3, -1, -1, "abcdef"}, {1, 2, -3, -1, -1, "abcdef"},
      {4, 2, 0, 5, -1, "abcdef"},   {0, 2, 4, 5, -1, "abcdef"},   {0, 2, 3, 5, 3, "cdeabf"},
      {0, 0, 0, 0, 0, "abcdef"},
  };
  for (const Case& c : cases) {
    char b[] = "abcdef";
    int r = c.capacity < 0 ? MemMoveRange(b, c.from, c.count, c.to)
                           : MemMoveRangeBounded(b, c.from, c.count, c.to, c.capacity);
    EXPECT_EQ(r, c.want) << c.from << "," << c.count << "->" << c.to << " cap " << c.capacity;
    EXPECT_STREQ(b, c.after) << c.from << "," << c.count << "->" << c.to << " cap " << c.capacity;
  }
}

TEST(MemMoveRange, LargeBlocksUseTheHeapAndStayIntact) {
  // Both parts above the 1024-byte stack copy, in either direction.
  std::vector<unsigned char> buf(5000);
  for (size_t i = 0; i < buf.size(); ++i) buf[i] = (unsigned char)(i * 7);
  std::vector<unsigned char> orig = buf;
  EXPECT_EQ(MemMoveRange(buf.data(), 100, 2000, 2500), 2500);
  for (int i = 0; i < 2400; ++i) ASSERT_EQ(buf[100 + i], orig[2100 + i]) << i;
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(buf[2500 + i], orig[100 + i]) << i;
  EXPECT_EQ(MemMoveRange(buf.data(), 2500, 2000, 100), 100);
  EXPECT_EQ(buf, orig);
}

TEST(MemFill, ValuesAndUnalignedStart) {
  unsigned char b[40];
  std::memset(b, 0xEE, sizeof b);
  MemFill16(b + 1, 0x1234, 5);  // odd address
  EXPECT_EQ(b[0], 0xEE);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(b[1 + 2 * i], 0x34);
    EXPECT_EQ(b[2 + 2 * i], 0x12);
  }
  EXPECT_EQ(b[11], 0xEE);
  uint32_t d[4] = {};
  MemFill32(d, 0xDEADBEEF, 3);
  EXPECT_EQ(d[2], 0xDEADBEEFu);
  EXPECT_EQ(d[3], 0u);
  uint32_t q[5] = {};
  MemFill64(q, 0x11111111, 0x22222222, 2);
  EXPECT_EQ(q[0], 0x11111111u);
  EXPECT_EQ(q[1], 0x22222222u);
  EXPECT_EQ(q[3], 0x22222222u);
  EXPECT_EQ(q[4], 0u);
  MemFill32(d, 7, 0);
  EXPECT_EQ(d[0], 0xDEADBEEFu);
}

TEST(MemCompare16, SignOfTheUnsignedDifference) {
  // A difference of 0x8000 or more must not flip the sign, or sorts and
  // binary searches over 16-bit text disagree with each other.
  const uint16_t one[] = {1}, mid[] = {0x8000}, top[] = {0xFFFF};
  EXPECT_LT(MemCompare16(one, top, 1), 0);
  EXPECT_GT(MemCompare16(top, one, 1), 0);
  EXPECT_LT(MemCompare16(one, mid, 1), 0);
  EXPECT_LT(MemCompare16(mid, top, 1), 0);
  const wchar_t a[] = L"abcdefg", b[] = L"abcdefh";
  EXPECT_EQ(MemCompare16(a, b, 6), 0);
  EXPECT_EQ(MemCompare16(a, b, 7), -1);
  EXPECT_EQ(MemCompare16(b + 1, a + 1, 6), 1) << "odd start, difference in the last unit";
  EXPECT_EQ(MemCompare16(a, b, 0), 0);
}

TEST(CompareAsciiNoCaseNW, FoldsAsciiLettersOnly) {
  EXPECT_EQ(CompareAsciiNoCaseNW(L"abc", L"ABD", 3), -1);
  EXPECT_EQ(CompareAsciiNoCaseNW(L"abc", L"ABD", 2), 0);
  EXPECT_GT(CompareAsciiNoCaseNW(L"_", L"y", 1), 0) << "'_' sorts after the upper-cased letters";
  EXPECT_NE(CompareAsciiNoCaseNW(L"\x00E4", L"\x00C4", 1), 0);
  const wchar_t hi[] = {0xFF41, 0}, lo[] = {L'a', 0};
  EXPECT_GT(CompareAsciiNoCaseNW(hi, lo, 1), 0);
}
