// Value text: kinds, bytes for texts, texts for bytes and the round trip.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "viewers/tools/strlist.h"
#include "viewers/tools/valuetext.h"

namespace {

std::string Hex(const unsigned char* p, int n) {
  std::string s;
  char b[4];
  for (int i = 0; i < n; i++) {
    std::snprintf(b, sizeof b, i ? " %02X" : "%02X", p[i]);
    s += b;
  }
  return s;
}

std::string Parse(const char* text, uint32_t size = 256, bool pattern = true) {
  std::vector<unsigned char> buf(size & 0xFFFF ? (size & 0xFFFF) : 1);
  int n = ParseValueTextEx(text, buf.data(), size, pattern);
  EXPECT_LE(n, (int)(size & ~VALUE_UTF16)) << text;
  return Hex(buf.data(), n);
}

std::string Format(std::vector<unsigned char> bytes, int kind) {
  char text[kValueTextSize];
  int n = FormatValueBytes(bytes.data(), (int)bytes.size(), text, sizeof text, kind);
  EXPECT_EQ(n, (int)strlen(text));
  return text;
}

TEST(ValueText, Kinds) {
  struct {
    const char* text;
    int kind;
  } cases[] = {{"", -1},      {" \t", -1}, {"12", 0},           {"  -7", 0}, {"0", 0},
               {"0d12", 0},   {"0x1F", 1}, {"0X1F", 1},         {"-0x1", 1}, {"0b101", 2},
               {"0B1", 2},    {"0o17", 3}, {"0O7", 3},          {"abc", 4},  {"\"12\"", 4},
               {"-a", 4},     {"-", 4},    {":12 34", 5},       {":", 5},    {":12 (a?b)", 5},
               {":1? 34", 6}, {"::12", 6}, {":12 #1010????", 6}};
  for (auto& c : cases) EXPECT_EQ(ClassifyValueText(c.text), c.kind) << c.text;
}

TEST(ValueText, BytesForTexts) {
  struct {
    const char* text;
    uint32_t size;
    const char* bytes;
  } cases[] = {
      {"0x1234", 256, "34 12 00 00"},
      {"0x123456789", 256, "89 67 45 23 01 00 00 00"},
      {"123456789", 256, "15 CD 5B 07 00 00 00 00"},
      {"12345678", 256, "4E 61 BC 00"},
      {"abc", 256, "61 62 63"},
      {"\"a\\x41\\n\"", 256, "61 41 0A"},
      {":12 34", 256, "12 34"},
      {":1? 34", 256, "10 34 F0 FF"},
      {"-1", 256, "FF FF FF FF"},
      {"-1", 1, "FF"},
      {"-0x10", 256, "F0 FF FF FF"},
      {"-123456789", 256, "EB 32 A4 F8 FF FF FF FF"},
      {"0x123456789", 2, "89 67"},
      {"0b11111111111111111111111111111111", 256, "FF FF FF FF"},
      {"0b111111111111111111111111111111111", 256, "FF FF FF FF 01 00 00 00"},
      {"0o37777777777", 256, "FF FF FF FF"},
      {"", 256, "00 00 00 00"},
      {"0x", 256, "00 00 00 00"},
      {"abc", 2, "61 62"},
      {":12 34 56", 2, "12 34"},
      {":1? 34", 2, "10 F0"},
  };
  for (auto& c : cases) EXPECT_EQ(Parse(c.text, c.size), c.bytes) << c.text << " size " << c.size;
  EXPECT_EQ(Parse(":1? 34", 256, false), "01") << "a pattern without pattern output reads as a dump";
  EXPECT_EQ(Parse("\"ab\"", 256 | VALUE_UTF16), "61 00 62 00");
  EXPECT_EQ(Parse("x", 0), "");
}

TEST(ValueText, MegabyteDumpsReadComplete) {
  const int n = 300000;
  std::string text = ":";
  for (int i = 0; i < n; i++) {
    char b[4];
    std::snprintf(b, sizeof b, "%02X ", (i * 7) & 0xFF);
    text += b;
  }
  std::vector<unsigned char> buf(n + 10);
  ASSERT_EQ(ParseValueTextEx(text.c_str(), buf.data(), (uint32_t)buf.size(), true), n);
  for (int i = 0; i < n; i += 4099) ASSERT_EQ(buf[i], (i * 7) & 0xFF) << i;
  EXPECT_EQ(buf[n - 1], ((n - 1) * 7) & 0xFF);
}

TEST(ValueText, TextsForBytes) {
  EXPECT_EQ(Format({0xFF}, 0), "-1");
  EXPECT_EQ(Format({0xFF}, 1), "0xFFFFFFFF");
  EXPECT_EQ(Format({0x34, 0x12}, 1), "0x1234");
  EXPECT_EQ(Format({0x05}, 2), "0b101");
  EXPECT_EQ(Format({0, 0, 0, 0, 0, 0, 0, 0x80}, 2), "0b1" + std::string(63, '0'));
  EXPECT_EQ(Format({0x08}, 3), "0o10");
  EXPECT_EQ(Format({0x89, 0x67, 0x45, 0x23, 0x01}, 1), "0x0123456789") << "five bytes are one value";
  EXPECT_EQ(Format({0x89, 0x67, 0x45, 0x23, 0x01, 0, 0, 0}, 1), "0x0000000123456789");
  EXPECT_EQ(Format({5, 0, 0, 0, 0, 0, 0, 0}, 0), "000000005");
  EXPECT_EQ(Format({0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0), "-000000001");
  EXPECT_EQ(Format({'a', 'b', 0, 0}, 4), "\"ab\"");
  EXPECT_EQ(Format({'a', '\n', '"'}, 4), "\"a\\n\\\"\"");
  EXPECT_EQ(Format({0x12, 0x34, 0xAB}, 5), ":12 34 AB");
  EXPECT_EQ(Format({0x10, 0x34, 0xF0, 0xFF}, 6), ":1? 34");
  EXPECT_EQ(Format({'a', 0, 'b', 0, 0, 0, 7}, 7), "\"ab\"");
  EXPECT_EQ(Format({1, 2}, 9), "");
  EXPECT_EQ(Format({}, 0), "0");
  char small[5];
  EXPECT_EQ(FormatValueBytes("\x12\x34\x56", 3, small, sizeof small, 5), 3);
  EXPECT_STREQ(small, ":12");
}

// Switching the find dialog's kind reads the text back at the size it had.
TEST(ValueText, KindSwitchKeepsWideValues) {
  unsigned char b[8] = {0};
  ASSERT_EQ(ParseValueTextEx("0x123456789", b, sizeof b, true), 8);
  char text[kValueTextSize];
  FormatValueBytes(b, 8, text, sizeof text, 0);
  EXPECT_STREQ(text, "4886718345");
  unsigned char back[8] = {0};
  ASSERT_EQ(ParseValueTextEx(text, back, sizeof back, true), 8);
  EXPECT_EQ(Hex(back, 8), Hex(b, 8));
}

TEST(ValueText, SearchLineHoldsTheWholeDump) {
  // 256 bytes as text and as a dump; 128 characters of 16-bit text (those
  // that the 8-bit line can show).
  std::vector<unsigned char> bytes(256), wide(256);
  for (int i = 0; i < 256; i++) bytes[i] = (unsigned char)(255 - i);
  for (int i = 0; i < 128; i++) wide[2 * i] = (unsigned char)(255 - i), wide[2 * i + 1] = 0;
  struct {
    int kind;
    const std::vector<unsigned char>& data;
    int expect;
  } rows[] = {{4, bytes, 255}, {5, bytes, 256}, {7, wide, 256}};  // text drops the trailing zero
  for (auto& r : rows) {
    char text[kValueTextSize];
    FormatValueBytes(r.data.data(), 256, text, sizeof text, r.kind);
    unsigned char back[kValueBytesMax] = {0};
    int n = ParseValueTextEx(text, back, sizeof back | (r.kind == 7 ? VALUE_UTF16 : 0), true);
    EXPECT_EQ(n, r.expect) << r.kind;
    EXPECT_EQ(Hex(back, r.expect), Hex(r.data.data(), r.expect)) << r.kind;
  }
}

TEST(ValueText, NumbersRoundTripAtEverySize) {
  std::mt19937 rng(120);
  for (int size : {1, 2, 4, 8})
    for (int kind = 0; kind <= 3; kind++)
      for (int round = 0; round < 200; round++) {
        unsigned char b[8];
        for (auto& x : b) x = (unsigned char)rng();
        if (round % 4 == 1) std::memset(b + 1, 0, 7);     // small values
        if (round % 4 == 2) std::memset(b + 1, 0xFF, 7);  // small negative values
        char text[kValueTextSize];
        FormatValueBytes(b, size, text, sizeof text, kind);
        unsigned char back[8] = {0};
        ASSERT_EQ(ParseValueTextEx(text, back, size, true), size) << text;
        ASSERT_EQ(Hex(back, size), Hex(b, size)) << text << " kind " << kind;
      }
}

TEST(StrList, Routines) {
  char* list = nullptr;
  EXPECT_EQ(StrListByteSize(&list), 0);
  EXPECT_EQ(StrListCount(&list), 0);
  EXPECT_EQ(StrListGetAt(&list, 0), nullptr);
  EXPECT_EQ(StrListInsertAt(&list, "1", 3), 3) << "a NULL list takes the text at any index";
  EXPECT_EQ(StrListCount(&list), 1);
  EXPECT_EQ(StrListFind(&list, "12"), -1);
  EXPECT_EQ(StrListFind(&list, "1"), 0);
  EXPECT_EQ(StrListInsertAt(&list, "abc", 0), 7);
  EXPECT_EQ(StrListInsertAt(&list, "zz", 2), 10);
  EXPECT_EQ(std::string(list, 10), std::string("abc\0"
                                               "1\0"
                                               "zz\0\0",
                                               10));
  EXPECT_STREQ(StrListGetAt(&list, 2), "zz");
  EXPECT_EQ(StrListGetAt(&list, 3), nullptr);
  EXPECT_EQ(StrListRemoveAt(&list, 5), 10) << "a missing index changes nothing";
  EXPECT_EQ(StrListRemoveAt(&list, 1), 8);
  EXPECT_EQ(std::string(list, 8), std::string("abc\0zz\0\0", 8));
  EXPECT_EQ(StrListRemoveAt(&list, 0), 4);
  EXPECT_EQ(StrListRemoveAt(&list, 0), 1);
  EXPECT_EQ(StrListCount(&list), 0);
  EXPECT_EQ(StrListInsertAt(&list, "x", 0), 3) << "an empty block becomes the text";
  StrListFree(&list);
  EXPECT_EQ(list, nullptr);
}

}  // namespace
