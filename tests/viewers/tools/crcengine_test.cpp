// The CRC engines against the published check values of the standard models
// and against bit-at-a-time loops at every width.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "viewers/tools/crcengine.h"
#include "viewers/tools/crcpresets.h"

namespace {

const char kDigits[] = "123456789";

enum Engine { A, B, C };

struct Check {
  const char* model;
  int width;
  uint64_t polyReflected;
  Engine engine;
  bool startOnes;
  uint64_t start;  // when not startOnes
  bool invert;
  uint64_t check;
};

uint64_t RunEngine(Engine engine, int width, uint64_t polyReflected, uint64_t start, bool invert, const void* data,
                   int length) {
  uint64_t mask = CrcWidthMask(width);
  uint64_t normal = CrcReversePoly(polyReflected, width);
  uint64_t table[256];
  uint64_t crc = 0;
  switch (engine) {
    case A:
      CrcTableReflected(polyReflected, table);
      crc = CrcUpdateReflected(start & mask, data, length, table);
      break;
    case B:
      CrcTableMsbFirst(normal, table, width, mask);
      crc = CrcUpdateMsbFirst(start & mask, data, length, table, width, mask);
      break;
    case C:
      CrcTableShifted(normal, table, width);
      crc = CrcUpdateShifted(start & mask, data, length, table);
      break;
  }
  return invert ? crc ^ mask : crc;
}

TEST(CrcEngine, CheckValuesOfTheStandardModels) {
  const Check checks[] = {
      {"CRC-4/G-704", 4, 0xC, A, false, 0, false, 0x7},
      {"CRC-5/G-704", 5, 0x15, A, false, 0, false, 0x07},
      {"CRC-5/USB", 5, 0x14, A, true, 0, true, 0x19},
      {"CRC-7/MMC", 7, 0x48, C, false, 0, false, 0x75},
      {"CRC-7/MMC by B", 7, 0x48, B, false, 0, false, 0x75},
      {"CRC-8/MAXIM", 8, 0x8C, A, false, 0, false, 0xA1},
      {"CRC-8/SMBUS", 8, 0xE0, B, false, 0, false, 0xF4},
      {"CRC-8/SAE-J1850", 8, 0xB8, B, true, 0, true, 0x4B},
      {"CRC-12/DECT", 12, 0xF01, B, false, 0, false, 0xF5B},
      {"CRC-15/CAN", 15, 0x4CD1, B, false, 0, false, 0x059E},
      {"CRC-16/KERMIT", 16, 0x8408, A, false, 0, false, 0x2189},
      {"CRC-16/IBM-3740", 16, 0x8408, B, true, 0, false, 0x29B1},
      {"CRC-16/IBM-SDLC", 16, 0x8408, A, true, 0, true, 0x906E},
      {"CRC-16/XMODEM", 16, 0x8408, B, false, 0, false, 0x31C3},
      {"CRC-16/ARC", 16, 0xA001, A, false, 0, false, 0xBB3D},
      {"CRC-16/MODBUS", 16, 0xA001, A, true, 0, false, 0x4B37},
      {"CRC-16/DNP", 16, 0xA6BC, A, false, 0, true, 0xEA82},
      {"CRC-16/LJ1200", 16, 0xC6F6, B, false, 0, false, 0xBDF4},
      {"CRC-24/OPENPGP", 24, 0xDF3261, B, false, 0xB704CE, false, 0x21CF02},
      {"CRC-32/ISO-HDLC", 32, 0xEDB88320, A, true, 0, true, 0xCBF43926},
      {"CRC-32/BZIP2", 32, 0xEDB88320, B, true, 0, true, 0xFC891918},
      {"CRC-32/BZIP2 not inverted", 32, 0xEDB88320, B, true, 0, false, 0x0376E6E7},
      {"CRC-32/CKSUM", 32, 0xEDB88320, B, false, 0, true, 0x765E7680},
      {"CRC-32/ISCSI", 32, 0x82F63B78, A, true, 0, true, 0xE3069283},
      {"CRC-64/GO-ISO", 64, 0xD800000000000000ull, A, true, 0, true, 0xB90956C775A41001ull},
      {"CRC-64/XZ", 64, 0xC96C5795D7870F42ull, A, true, 0, true, 0x995DC9BBDF1939FAull},
      {"CRC-64/ECMA-182", 64, 0xC96C5795D7870F42ull, B, false, 0, false, 0x6C40DF5F0B497347ull},
  };
  for (const Check& c : checks) {
    uint64_t start = c.startOnes ? ~0ull : c.start;
    EXPECT_EQ(RunEngine(c.engine, c.width, c.polyReflected, start, c.invert, kDigits, 9), c.check) << c.model;
  }
}

TEST(CrcEngine, PresetsHoldTheStandardPolynomials) {
  struct {
    int row;
    int width;
    uint64_t normal;
  } rows[] = {{1, 4, 0x3},          {2, 5, 0x05},     {3, 5, 0x15},
              {4, 7, 0x09},         {5, 8, 0x31},     {6, 8, 0x07},
              {7, 8, 0x1D},         {8, 12, 0x80F},   {9, 15, 0x4599},
              {10, 16, 0x1021},     {11, 16, 0x8005}, {12, 16, 0x1021},
              {13, 16, 0x3D65},     {14, 16, 0x6F63}, {15, 24, 0x864CFB},
              {16, 32, 0x04C11DB7}, {17, 64, 0x1B},   {18, 64, 0x42F0E1EBA9EA3693ull}};
  for (auto& r : rows) {
    const CrcPreset& p = kCrcPresets[r.row];
    EXPECT_EQ(p.width, r.width) << p.name;
    EXPECT_EQ(CrcReversePoly(p.polyReflected, p.width), r.normal) << p.name;
  }
  EXPECT_STREQ(kCrcPresets[0].name, "Frei definiert");
  EXPECT_STREQ(kCrcPresets[12].name, "XModem-CRC-16");
}

TEST(CrcEngine, ShiftedEngineGivesTheSdCardCommandCrcs) {
  uint64_t table[256];
  CrcTableShifted(0x09, table, 7);
  const unsigned char cmd0[] = {0x40, 0, 0, 0, 0};
  const unsigned char cmd8[] = {0x48, 0, 0, 0x01, 0xAA};
  EXPECT_EQ(CrcUpdateShifted(0, cmd0, 5, table), 0x4Au);
  EXPECT_EQ(CrcUpdateShifted(0, cmd8, 5, table), 0x43u);
}

uint64_t BitwiseReflected(uint64_t crc, const unsigned char* p, int n, uint64_t polyReflected) {
  for (int i = 0; i < n; i++) {
    crc ^= p[i];
    for (int k = 0; k < 8; k++) crc = (crc & 1) ? (crc >> 1) ^ polyReflected : crc >> 1;
  }
  return crc;
}

uint64_t BitwiseMsbFirst(uint64_t crc, const unsigned char* p, int n, uint64_t poly, int width) {
  uint64_t mask = CrcWidthMask(width);
  for (int i = 0; i < n; i++)
    for (int k = 7; k >= 0; k--) {
      uint64_t in = (p[i] >> k) & 1, top = (crc >> (width - 1)) & 1;
      crc = (crc << 1) & mask;
      if (in ^ top) crc ^= poly;
    }
  return crc & mask;
}

TEST(CrcEngine, EveryWidthAgreesWithBitAtATimeLoops) {
  std::mt19937_64 rng(26);
  std::vector<unsigned char> data(3000);
  for (auto& b : data) b = (unsigned char)rng();
  // Lengths below and above the 8-byte loop's threshold, and odd tails.
  const int lengths[] = {0, 1, 7, 9, 1023, 1024, 1031, 3000};
  for (int width = 1; width <= 64; width++) {
    uint64_t mask = CrcWidthMask(width);
    uint64_t normal = (rng() & mask) | 1;
    uint64_t reflected = CrcReversePoly(normal, width);
    uint64_t start = rng() & mask;
    uint64_t ta[256], tb[256];
    CrcTableReflected(reflected, ta);
    CrcTableMsbFirst(normal, tb, width, mask);
    for (int n : lengths) {
      ASSERT_EQ(CrcUpdateReflected(start, data.data(), n, ta), BitwiseReflected(start, data.data(), n, reflected))
          << "A width " << width << " length " << n;
      ASSERT_EQ(CrcUpdateMsbFirst(start, data.data(), n, tb, width, mask),
                BitwiseMsbFirst(start, data.data(), n, normal, width))
          << "B width " << width << " length " << n;
    }
  }
}

TEST(CrcEngine, EmptyDataLeavesTheRegister) {
  uint64_t table[256];
  CrcTableReflected(0xEDB88320, table);
  EXPECT_EQ(CrcUpdateReflected(0x12345678, "x", 0, table), 0x12345678u);
  EXPECT_EQ(CrcUpdateReflected(0x12345678, "x", -5, table), 0x12345678u);
  CrcTableMsbFirst(0x1021, table, 16, 0xFFFF);
  EXPECT_EQ(CrcUpdateMsbFirst(0x123456, "x", 0, table, 16, 0xFFFF), 0x3456u) << "masked";
  CrcTableShifted(0x09, table, 7);
  EXPECT_EQ(CrcUpdateShifted(0x55, "x", 0, table), 0x55u);
}

TEST(CrcEngine, HexTextHasADigitPerFourBits) {
  char text[24];
  EXPECT_EQ(CrcHexText(text, 0x7, 4), 3);
  EXPECT_STREQ(text, "0x7");
  CrcHexText(text, 0x4599, 15);
  EXPECT_STREQ(text, "0x4599");
  CrcHexText(text, 0x1B, 64);
  EXPECT_STREQ(text, "0x000000000000001B");
  CrcHexText(text, 0xABC, 1);
  EXPECT_STREQ(text, "0xC");
}

TEST(CrcFormula, ReadsTheWrittenForms) {
  struct {
    const char* text;
    bool ok;
    uint64_t poly;
    int width;
  } cases[] = {
      {"x^16 + x^12 + x^5 + 1", true, 0x1021, 16},
      {"x^32 + x^26 + x^23 + x^22 + x^16 + x^12 + x^11 + x^10 + x^8 + x^7 + x^5 + x^4 + x^2 + x + 1", true, 0x04C11DB7,
       32},
      {"x'3+x+1", true, 0x3, 3},
      {"x3+x+1", true, 0x3, 3},
      {"X^{7} + X^3 + 1", true, 0x09, 7},
      {"x^64 + x^4 + x^3 + x + 1", true, 0x1B, 64},
      {"x^8+x^2+x+1 = anything y", true, 0x07, 8},
      {"x", true, 0x2, 2},
      {"1", true, 0x1, 1},
      {"", true, 0, 1},
      {"x^8 + y", false, 0, 0},
      {"x^8 + 12", false, 0, 0},
      {"xy", false, 0, 0},
  };
  for (auto& c : cases) {
    uint64_t poly = 0xDEAD;
    int width = -1;
    bool ok = CrcParseFormula(c.text, &poly, &width);
    EXPECT_EQ(ok, c.ok) << c.text;
    if (ok && c.ok) {
      EXPECT_EQ(poly, c.poly) << c.text;
      EXPECT_EQ(width, c.width) << c.text;
    }
    if (!ok) {
      EXPECT_EQ(poly, 0xDEADu) << "untouched: " << c.text;
    }
  }
}

TEST(CrcFormula, WritesAndReadsBack) {
  EXPECT_STREQ(CrcFormatFormula(0x8408, 16), "x^16 + x^12 + x^5 + 1");
  EXPECT_STREQ(CrcFormatFormula(0x48, 7), "x^7 + x^3 + 1");
  EXPECT_STREQ(CrcFormatFormula(0xE0, 8), "x^8 + x^2 + x + 1");
  for (int row = 1; row < kCrcPresetCount; row++) {
    const CrcPreset& p = kCrcPresets[row];
    uint64_t poly = 0;
    int width = 0;
    ASSERT_TRUE(CrcParseFormula(CrcFormatFormula(p.polyReflected, p.width), &poly, &width)) << p.name;
    EXPECT_EQ(width, p.width) << p.name;
    EXPECT_EQ(CrcReversePoly(poly, width), p.polyReflected) << p.name;
  }
}

}  // namespace
