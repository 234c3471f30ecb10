#include "system/files/filetimes.h"

#include <gtest/gtest.h>

#include "files_test_util.h"
#include "system/files/filecalls.h"

namespace {

const unsigned long long kEpoch = 116444736000000000ULL;
const unsigned long long kSecond = 10000000ULL;

TEST(FileTimes, ConversionsAt1970And2038And2106) {
  struct Case {
    unsigned long long ft;
    int ok64;
    long long s64;
    int ok32s;
    int s32s;
    int ok32;
    unsigned s32;
  };
  // clang-format off
  const Case cases[] = {
    {kEpoch,                               1, 0,           1, 0,          1, 0},
    {kEpoch - 1,                           0, 0,           0, 0,          0, 0},
    {0,                                    0, 0,           0, 0,          0, 0},
    {kEpoch + 2147483647ULL * kSecond,     1, 2147483647,  1, 2147483647, 1, 2147483647u},
    {kEpoch + 2147483648ULL * kSecond,     1, 2147483648LL, 0, 0x7FFFFFFF, 1, 2147483648u},
    {kEpoch + 4294966866ULL * kSecond,     1, 4294966866LL, 0, 0x7FFFFFFF, 1, 4294966866u},
    // d exactly 0x0098967F00000000: refused though the quotient would fit.
    {kEpoch + 0x0098967F00000000ULL,       1, (long long)(0x0098967F00000000ULL / kSecond), 0, 0x7FFFFFFF, 0, 0xFFFFFFFEu},
    {0xFFFFFFFFFFFFFFFFULL,                0, 0,           0, 0,          0, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    FILETIME ft = MakeFileTime(c.ft);
    int64_t s64 = -5;
    int32_t s32s = -5;
    uint32_t s32 = 5;
    EXPECT_EQ(c.ok64, FileTimeToUnixTime64(&ft, &s64)) << c.ft;
    EXPECT_EQ(c.s64, s64) << c.ft;
    EXPECT_EQ(c.ok32s, FileTimeToUnixTime32Signed(&ft, &s32s)) << c.ft;
    EXPECT_EQ(c.s32s, s32s) << c.ft;
    EXPECT_EQ(c.ok32, FileTimeToUnixTime32(&ft, &s32)) << c.ft;
    EXPECT_EQ(c.s32, s32) << c.ft;
  }
}

TEST(FileTimes, UnixToFileTimeRefusesNoTimeAndOverflow) {
  FILETIME ft = MakeFileTime(7);
  EXPECT_EQ(0, UnixTimeToFileTime(0, &ft));
  EXPECT_EQ(0u, FileTimeToU64(ft));
  EXPECT_EQ(1, UnixTimeToFileTime(1, &ft));
  EXPECT_EQ(116444736010000000ULL, FileTimeToU64(ft));
  EXPECT_EQ(1, UnixTimeToFileTime(4294967295LL, &ft));
  EXPECT_EQ(kEpoch + 4294967295ULL * kSecond, FileTimeToU64(ft));
  // Past the 64-bit range the product would wrap into a small time.
  for (long long s : {922337203685LL, 1LL << 40, (long long)(~0ULL >> 1)}) {
    ft = MakeFileTime(7);
    EXPECT_EQ(0, UnixTimeToFileTime(s, &ft)) << s;
    EXPECT_EQ(0u, FileTimeToU64(ft)) << s;
  }
  EXPECT_EQ(1, UnixTimeToFileTime(922337203685LL - 11644473600LL, &ft));
}

TEST(FileTimes, CompareModes) {
  struct Case {
    long long a, b;
    unsigned mode;
    int expected;
  };
  // clang-format off
  const Case cases[] = {
    {3598, 0, 3, 0}, {3597, 0, 3, 1}, {3603, 0, 3, 0}, {3604, 0, 3, 1}, {2, 0, 3, 1}, {1, 0, 3, 0},
    {0, 3598, 3, 0}, {0, 3604, 3, -1},
    {5, 4, 2, 0}, {4, 3, 2, 1}, {5, 4, 1, 1}, {4, 5, 0, -1}, {9, 9, 0, 0},
    {1, 2, 4, 0}, {1, 2, 99, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, CompareUnixTimes(c.a, c.b, c.mode)) << c.a << " " << c.b << " " << c.mode;
    FILETIME fa, fb;
    UnixTimeToFileTime(c.a, &fa);
    UnixTimeToFileTime(c.b, &fb);
    if (c.mode != 0 && c.a > 0 && c.b > 0) {
      EXPECT_EQ(c.expected, CompareFileTimes(&fa, &fb, c.mode)) << c.a << " " << c.b;
      EXPECT_EQ(c.expected, CompareUnixTimeToFileTime(c.a, &fb, c.mode)) << c.a << " " << c.b;
      EXPECT_EQ(c.expected, CompareFileTimeToUnixTime(&fa, c.b, c.mode)) << c.a << " " << c.b;
    }
  }
  // Before 1970 both count as 0 in modes 1 to 3, by value in mode 0.
  FILETIME early = MakeFileTime(5), earlier = MakeFileTime(3);
  EXPECT_EQ(1, CompareFileTimes(&early, &earlier, 0));
  for (unsigned mode : {1u, 2u, 3u}) EXPECT_EQ(0, CompareFileTimes(&early, &earlier, mode));
  // A Unix time of 0 facing a FILETIME in mode 0 becomes the FILETIME 0.
  FILETIME zero = MakeFileTime(0);
  EXPECT_EQ(0, CompareUnixTimeToFileTime(0, &zero, 0));
  EXPECT_EQ(-1, CompareUnixTimeToFileTime(-7, &early, 0));
}

TEST(FileTimes, ByNameBothWidths) {
  FilesScratch dir;
  dir.Write("alt.txt", "a");
  dir.Write("neu €.txt", "b");
  ASSERT_EQ(1, SetFileTimesUnixA((dir / "alt.txt").c_str(), 1000000, -1, -1));
  ASSERT_EQ(1, SetFileTimesUnixW(dir.W("neu €.txt").c_str(), 2000000, -1, -1));
  std::string a = dir / "alt.txt", b = dir / "neu €.txt", missing = dir / "fehlt";
  std::wstring aw = Widen(a), bw = Widen(b), missingw = Widen(missing);
  EXPECT_EQ(-1, CompareFileTimesByNameA(a.c_str(), b.c_str(), 1));
  EXPECT_EQ(1, CompareFileTimesByNameW(bw.c_str(), aw.c_str(), 0));
  EXPECT_EQ(0, CompareUnixTimeToFileA(2000000, b.c_str(), 1));
  EXPECT_EQ(0, CompareUnixTimeToFileW(2000000, bw.c_str(), 0));
  FILETIME ft;
  UnixTimeToFileTime(1000001, &ft);
  EXPECT_EQ(1, CompareFileTimeToFileA(&ft, a.c_str(), 1));
  EXPECT_EQ(0, CompareFileTimeToFileW(&ft, aw.c_str(), 2));
  // Missing files have the time 0.
  for (unsigned mode : {1u, 2u, 3u}) {
    EXPECT_EQ(0, CompareFileTimesByNameA(missing.c_str(), (missing + "2").c_str(), mode));
    EXPECT_EQ(-1, CompareFileTimesByNameW(missingw.c_str(), aw.c_str(), mode));
  }
  EXPECT_EQ(2000000u, GetFileUnixTimeA(b.c_str(), FILETIME_LAST_WRITE));
  EXPECT_EQ(1000000u, GetFileUnixTimeW(aw.c_str(), FILETIME_LAST_WRITE));
  EXPECT_NE(0u, GetFileUnixTimeA(a.c_str(), FILETIME_LAST_ACCESS));
  EXPECT_EQ(0u, GetFileUnixTimeA(a.c_str(), 3));
  EXPECT_EQ(0u, GetFileUnixTimeW(missingw.c_str(), FILETIME_LAST_WRITE));
}

}  // namespace
