#include "system/bytebuffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::string Text(const CByteBuffer& b) { return std::string((const char*)b.m_pData, b.m_nUsed); }

void Set(CByteBuffer& b, const char* text) {
  b.Clear();
  b.Append(text, (int)strlen(text));
}

TEST(ByteBuffer, Growth) {
  CByteBuffer b;
  EXPECT_EQ(b.Append("x", 1), 1u);
  EXPECT_EQ(b.m_nCapacity, 1536u);
  CByteBuffer c;
  EXPECT_EQ(c.Extend(2000), 2000u);
  EXPECT_EQ(c.m_nCapacity, 3000u);
  CByteBuffer d(110);
  EXPECT_EQ(d.m_nCapacity, 110u);
  EXPECT_EQ(d.Extend(100), 100u);
  EXPECT_EQ(d.Extend(20), 120u);
  EXPECT_EQ(d.m_nCapacity, 1536u);
  // Growing below the used length keeps every byte.
  CByteBuffer e;
  std::string big(5000, 'q');
  e.Append(big.data(), (int)big.size());
  EXPECT_EQ(e.Grow(10), 7500u);
  EXPECT_EQ(Text(e), big);
  // A failed growth changes nothing.
  unsigned char* data = e.m_pData;
  EXPECT_EQ(e.Extend(INT_MAX), 5000u);
  EXPECT_EQ(e.Append(big.data(), INT_MAX - 100), 5000u);
  EXPECT_EQ(e.m_pData, data);
  EXPECT_EQ(e.m_nCapacity, 7500u);
  EXPECT_EQ(e.Grow(0xF0000000u), 0u);
  EXPECT_EQ(e.m_nCapacity, 7500u);
  CByteBuffer f;
  EXPECT_EQ(f.Extend(0x7FFFFFFF), 0u);
  EXPECT_EQ(f.m_pData, nullptr);
}

TEST(ByteBuffer, CountsBelowOne) {
  CByteBuffer b;
  Set(b, "abcdef");
  EXPECT_EQ(b.Extend(0), 0u);
  EXPECT_EQ(b.Append("x", -1), 0u);
  EXPECT_EQ(b.Insert("x", 0, 1), 6u);
  EXPECT_EQ(b.Replace("x", 0, 1, 1), 6u);
  char out[8];
  EXPECT_EQ(b.Read(out, 0, 0), 0u);
  EXPECT_EQ(b.Remove(0, 0), 6u);
  EXPECT_EQ(Text(b), "abcdef");
}

TEST(ByteBuffer, Edits) {
  struct Case {
    const char* what;
    std::string (*run)(CByteBuffer&);
    const char* text;
  } cases[] = {
      {"replace 3 at 1 by XY", [](CByteBuffer& b) { return std::to_string(b.Replace("XY", 2, 3, 1)); }, "aXYef"},
      {"replace past the end", [](CByteBuffer& b) { return std::to_string(b.Replace("XY", 2, 3, 9)); }, "abcdefXY"},
      {"replace a negative length", [](CByteBuffer& b) { return std::to_string(b.Replace("XY", 2, -4, 2)); },
       "abXYcdef"},
      {"replace beyond the end", [](CByteBuffer& b) { return std::to_string(b.Replace("XY", 2, 99, 4)); }, "abcdXY"},
      {"remove 2 at 1", [](CByteBuffer& b) { return std::to_string(b.Remove(2, 1)); }, "adef"},
      {"remove 10 at 2", [](CByteBuffer& b) { return std::to_string(b.Remove(10, 2)); }, "ab"},
      {"remove at the end", [](CByteBuffer& b) { return std::to_string(b.Remove(1, 6)); }, "abcdef"},
      {"insert at 2", [](CByteBuffer& b) { return std::to_string(b.Insert("XY", 2, 2)); }, "abXYcdef"},
      {"insert past the end", [](CByteBuffer& b) { return std::to_string(b.Insert("XY", 2, 99)); }, "abcdefXY"},
      {"insert own bytes", [](CByteBuffer& b) { return std::to_string(b.Insert(b.m_pData + 1, 3, 0)); }, "bcdabcdef"},
      {"move forward", [](CByteBuffer& b) { return std::to_string(b.Move(0, 2, 3)); }, "cdeabf"},
      {"move backward", [](CByteBuffer& b) { return std::to_string(b.Move(4, 2, 1)); }, "aefbcd"},
      {"move to itself", [](CByteBuffer& b) { return std::to_string(b.Move(2, 2, 2)); }, "abcdef"},
      {"move nothing", [](CByteBuffer& b) { return std::to_string(b.Move(2, 0, 5)); }, "abcdef"},
      {"move past the end", [](CByteBuffer& b) { return std::to_string(b.Move(2, 2, 5)); }, "abcdef"},
      {"move negative", [](CByteBuffer& b) { return std::to_string(b.Move(-1, 2, 3)); }, "abcdef"},
      {"move near INT_MAX", [](CByteBuffer& b) { return std::to_string(b.Move(INT_MAX, 2, 0)); }, "abcdef"},
      {"move length near INT_MAX", [](CByteBuffer& b) { return std::to_string(b.Move(1, INT_MAX, 0)); }, "abcdef"},
  };
  const char* results[] = {"5", "8", "8", "6", "4", "2",  "6",  "8",  "8",
                           "9", "3", "1", "2", "5", "-1", "-1", "-1", "-1"};
  int i = 0;
  for (const Case& c : cases) {
    CByteBuffer b;
    Set(b, "abcdef");
    EXPECT_EQ(c.run(b), results[i++]) << c.what;
    EXPECT_EQ(Text(b), c.text) << c.what;
  }
  CByteBuffer b;
  Set(b, "abcdef");
  char out[8] = {};
  EXPECT_EQ(b.Read(out, 4, 4), 2u);
  EXPECT_STREQ(out, "ef");
  EXPECT_EQ(b.Read(out, 4, 6), 0u);
  // Own bytes appended across a growth stay valid.
  CByteBuffer g(6);
  g.Append("abcdef", 6);
  EXPECT_EQ(g.Append(g.m_pData, 6), 12u);
  EXPECT_EQ(Text(g), "abcdefabcdef");
}

TEST(ByteBuffer, MoveOnEmptyAndLargeParts) {
  CByteBuffer b;
  EXPECT_EQ(b.Move(0, 0, 0), 0);
  EXPECT_EQ(b.Move(0, 0, 1), -1);
  EXPECT_EQ(b.Move(0, 1, 0), -1);
  // Parts over 1024 bytes go through the heap.
  std::string text;
  for (int i = 0; i < 5000; ++i) text += (char)('a' + i % 26);
  b.Append(text.data(), (int)text.size());
  EXPECT_EQ(b.Move(100, 2000, 2500), 2500);
  std::string expected = text.substr(0, 100) + text.substr(2100, 2400) + text.substr(100, 2000) + text.substr(4500);
  EXPECT_EQ(Text(b), expected);
  EXPECT_EQ(b.Move(2500, 2000, 100), 100);
  EXPECT_EQ(Text(b), text);
}

}  // namespace
