// Layout of the CRC source text; that it compiles and reproduces the engines
// is checked by the native build, which compiles the text it writes.
#include <gtest/gtest.h>

#include <string>

#include "text/numbers/bitarray.h"
#include "viewers/tools/crcengine.h"
#include "viewers/tools/crcsource.h"

namespace {

std::string Write(CrcAlgorithm alg, int width, uint64_t normal, uint64_t reflected, uint64_t start) {
  uint64_t table[256];
  uint64_t mask = CrcWidthMask(width);
  if (alg == CRC_REFLECTED)
    CrcTableReflected(reflected, table);
  else if (alg == CRC_MSB_FIRST)
    CrcTableMsbFirst(normal, table, width, mask);
  else
    CrcTableShifted(normal, table, width);
  CrcSourceParams prm = {alg, width, mask, normal, reflected, start, table};
  CString s = CrcWriteSource(prm);
  return std::string(s.GetString(), s.GetLength());
}

int CountOf(const std::string& s, const std::string& what) {
  int n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) n++;
  return n;
}

TEST(CrcSource, TypeAndTableLinesByWidth) {
  struct {
    int width;
    const char* type;
    int perLine;
  } rows[] = {{7, "typedef unsigned char CrcType;", 12},  {8, "typedef unsigned char CrcType;", 12},
              {16, "typedef unsigned short CrcType;", 8}, {24, "typedef unsigned int CrcType;", 4},
              {32, "typedef unsigned int CrcType;", 4},   {64, "typedef unsigned __int64 CrcType;", 2}};
  for (auto& r : rows) {
    std::string s = Write(CRC_REFLECTED, r.width, 0x5, ReverseBits(0x5, r.width), 0);
    EXPECT_EQ(s.rfind(r.type, 0), 0u) << r.width;
    size_t open = s.find("    {\r\n    ");
    size_t close = s.find("};");
    ASSERT_NE(open, std::string::npos);
    std::string body = s.substr(open, close - open);
    EXPECT_EQ(CountOf(body, "0x"), 256) << r.width;
    // A short last line gets its line break before the closing brace.
    EXPECT_EQ(CountOf(body, " , \r\n    "), (256 + r.perLine - 1) / r.perLine) << r.width;
    // The closing brace stands on a line of its own in every case.
    EXPECT_EQ(s.substr(close - 6, 8), "\r\n    };") << r.width;
  }
}

TEST(CrcSource, Crc32ReflectedText) {
  std::string s = Write(CRC_REFLECTED, 32, 0x04C11DB7, 0xEDB88320, 0xFFFFFFFF);
  EXPECT_EQ(s.substr(0, 124),
            "typedef unsigned int CrcType;\r\n\r\nCrcType aCrcTable[256] =\r\n    {\r\n    "
            "0x00000000 , 0x77073096 , 0xEE0E612C , 0x990951BA , \r\n");
  EXPECT_NE(s.find("uCrc = 0xFFFFFFFF;"), std::string::npos);
  EXPECT_NE(s.find("aCrcTable[(uCrc^*pPtr)&0xFF] ^ (uCrc>>8)"), std::string::npos);
  EXPECT_NE(s.find("#define     POLYNOM   0xEDB88320\r\n"), std::string::npos);
  EXPECT_NE(s.find("uVal = (uVal >> 1) ^ (POLYNOM & ~((uVal&1)-1));"), std::string::npos);
  EXPECT_EQ(s.find('\n'), s.find("\r\n") + 1) << "CR LF line ends";
}

TEST(CrcSource, MsbFirstPiecesByWidth) {
  std::string s16 = Write(CRC_MSB_FIRST, 16, 0x1021, 0x8408, 0);
  EXPECT_NE(s16.find("ucByte = (uCrc>>8)^*pPtr;"), std::string::npos);
  EXPECT_NE(s16.find("uCrc   = aCrcTable[ucByte] ^ (uCrc<<8);"), std::string::npos);
  EXPECT_NE(s16.find("return uCrc;"), std::string::npos);
  EXPECT_NE(s16.find("if((uVal^uXor)&0x8000)"), std::string::npos);
  EXPECT_EQ(s16.find("&="), std::string::npos) << "no masking at full widths";
  std::string s12 = Write(CRC_MSB_FIRST, 12, 0x80F, 0xF01, 0);
  EXPECT_NE(s12.find("uCrc   &= 0xFFF;"), std::string::npos);
  EXPECT_NE(s12.find("return uCrc&0xFFF;"), std::string::npos);
  EXPECT_NE(s12.find("uXor = (CrcType)uPos<<4;"), std::string::npos);
  std::string s8 = Write(CRC_MSB_FIRST, 8, 0x07, 0xE0, 0);
  EXPECT_NE(s8.find("ucByte = uCrc^*pPtr;"), std::string::npos);
}

TEST(CrcSource, ShiftedPieces) {
  std::string s7 = Write(CRC_SHIFTED, 7, 0x09, 0x48, 0);
  EXPECT_NE(s7.find("aCrcTable[(uCrc<<1)^*pPtr]"), std::string::npos);
  EXPECT_NE(s7.find("#define     POLYNOM   0x89"), std::string::npos);
  EXPECT_NE(s7.find("if(uPos&0x80)"), std::string::npos);
  EXPECT_NE(s7.find("if(uVal&0x40)"), std::string::npos);
  std::string s8 = Write(CRC_SHIFTED, 8, 0x07, 0xE0, 0);
  EXPECT_NE(s8.find("aCrcTable[((uCrc<<1)^*pPtr)&0xFF]"), std::string::npos) << "no index past the table";
}

}  // namespace
