// Bytes as source text: the four formats, their limits, and no byte read
// past the data.
#include "viewers/hex/bytesource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "text/codecs/base64.h"

namespace {
std::string Source(const std::string& bytes, int valueSize, int flags, int lineSize, int size = 4096) {
  std::string text((size_t)size, '#');
  const int n = FormatBytesAsSource(bytes.data(), (int)bytes.size(), valueSize, flags, lineSize, &text[0], size);
  EXPECT_EQ(text[(size_t)n], 0) << "terminated";
  return text.substr(0, (size_t)n);
}
}  // namespace

TEST(BytesAsSource, FormsByTable) {
  const std::string b1234("\x01\x02\x03\x04", 4);
  struct Case {
    std::string bytes;
    int valueSize, flags, lineSize;
    const char* text;
  } cases[] = {
      // The assembler example: "DW", a tab, two little-endian words.
      {b1234, 2, SOURCE_ASSEMBLER, 2, "DW\t00201h,00403h\r\n"},
      {b1234, 1, SOURCE_ASSEMBLER, 3, "DB\t001h,002h,003h\r\nDB\t004h\r\n"},
      {b1234, 4, SOURCE_ASSEMBLER | SOURCE_BIG_ENDIAN, 8, "DD\t001020304h\r\n"},
      {b1234, 8, SOURCE_ASSEMBLER, 1, "DQ\t004030201h\r\n"},  // a short last value: the bytes there are
      {std::string("\x01\x02\x03", 3), 1, SOURCE_C_ARRAY, 2, "0x01,0x02,\r\n0x03,\r\n"},
      {std::string("\x01\x02\x03", 3), 2, SOURCE_C_ARRAY, 16, "0x0201,0x03,\r\n"},
      {std::string("\x01\x02\x03", 3), 2, SOURCE_C_ARRAY | SOURCE_BIG_ENDIAN, 16, "0x0102,0x03,\r\n"},
      {b1234, 1, SOURCE_C_ARRAY, 0, "0x01,0x02,0x03,0x04,\r\n"},  // line size 0 means 16
      {b1234 + "\x05", 2, SOURCE_DUMP, 4, "0201 0403\r\n05\r\n"},
      {b1234 + "\x05", 2, SOURCE_DUMP | SOURCE_BIG_ENDIAN, 4, "0102 0304\r\n05\r\n"},
      {b1234 + "\x05", 1, SOURCE_DUMP, 16, "01 02 03 04 05\r\n"},
      {b1234 + "\x05", 8, SOURCE_DUMP, 16, "0102030405\r\n"},  // above 4 bytes: no groups
      {std::string("\x01\x02\x03", 3), 2, SOURCE_TEXT, 2, "\"\\x01\\x02\"\r\n\"\\x03\"\r\n"},
      {"Hallo", 1, SOURCE_TEXT, 16, "SGFsbG8=\r\n"},
      {"AB", 8, SOURCE_TEXT, 16, "'A','B',\r\n"},
      {"", 1, SOURCE_C_ARRAY, 16, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Source(c.bytes, c.valueSize, c.flags, c.lineSize), c.text)
        << "size " << c.valueSize << " flags " << c.flags << " line " << c.lineSize;
}

TEST(BytesAsSource, QuotedLinesSplitAfterAHexEscape) {
  const std::string text = Source(std::string("\x01"
                                              "AB\"\\",
                                              5),
                                  4, SOURCE_TEXT, 3);
  EXPECT_EQ(text, "\"\\x01\"\"AB\"\r\n\"\\\"\\\\\"\r\n") << "a hex digit after \\x01 starts a new literal";
}

TEST(BytesAsSource, StopsBeforeTheBufferWouldOverflow) {
  const std::string bytes("\x01\x02\x03", 3);
  EXPECT_EQ(Source(bytes, 1, SOURCE_C_ARRAY, 16, 3), "") << "below 4 bytes: empty";
  EXPECT_EQ(Source(bytes, 1, SOURCE_C_ARRAY, 16, 12), "0x01,0x02,") << "the third value does not fit";
  // Base64 shortens its input to what fits: whole groups that decode back.
  std::string data(200, 'x');
  const std::string b64 = Source(data, 1, SOURCE_TEXT, 16, 100);
  ASSERT_FALSE(b64.empty());
  EXPECT_LE(b64.size(), 99u);
  char back[200];
  const int n = Base64DecodeA(back, sizeof back, b64.c_str(), (int)b64.size());
  EXPECT_EQ(std::string(back, (size_t)n), data.substr(0, (size_t)n));
  EXPECT_GE(n, 60);
}

TEST(BytesAsSource, ReadsNoBytePastTheData) {
  // Data that end right before a page that cannot be read.
  SYSTEM_INFO si;
  GetSystemInfo(&si);
  BYTE* pages = (BYTE*)VirtualAlloc(nullptr, 2 * si.dwPageSize, MEM_COMMIT, PAGE_READWRITE);
  ASSERT_TRUE(pages);
  DWORD old;
  VirtualProtect(pages + si.dwPageSize, si.dwPageSize, PAGE_NOACCESS, &old);
  BYTE* data = pages + si.dwPageSize - 3;
  data[0] = 1, data[1] = 2, data[2] = 3;
  char text[256];
  for (int flags : {0, 1, 2, 3, 0x80, 0x81, 0x83})
    for (int size : {1, 2, 3, 4, 5, 8}) EXPECT_GT(FormatBytesAsSource(data, 3, size, flags, 2, text, sizeof text), 0);
  VirtualFree(pages, 0, MEM_RELEASE);
}
