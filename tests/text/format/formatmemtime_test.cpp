// The formatter's memory dump and time conversions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "format_test_util.h"

namespace {

// Sets (or, given null, removes) the runtime's time zone.
void SetTimeZone(const char* tz) {
#ifdef _WIN32
  _putenv((std::string("TZ=") + (tz ? tz : "")).c_str());
  _tzset();
#else
  if (tz)
    setenv("TZ", tz, 1);
  else
    unsetenv("TZ");
  tzset();
#endif
}

const unsigned char kBytes[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xA, 0xB, 0xC, 0xD, 0xE, 0xF};

TEST(FormatMemory, Dump) {
  EXPECT_FMT("01020304", "%.4m", kBytes + 1);
  EXPECT_FMT("01:02:03:04", "%+.4m", kBytes + 1);
  EXPECT_FMT("00:01:02:03: 04:05:06:07", "%+.8lm", kBytes);
  EXPECT_FMT("0001020304", "%.5llm", kBytes);
  EXPECT_FMT("0001 0203 04", "%.5hm", kBytes);
  EXPECT_FMT("000102030405060708090a0b0c0d0e0f", "%m", kBytes);
  EXPECT_FMT("0A0B", "%.2M", kBytes + 10);
  EXPECT_FMT("", "%.0m", kBytes);
  EXPECT_FMT("", "%.*m", -3, kBytes);
  EXPECT_FMT("(null)", "%m", (const void*)nullptr);
  EXPECT_FMT("    0102", "%8.2m", kBytes + 1);
  EXPECT_FMT("0102    |", "%-8.2m|", kBytes + 1);
  // The blank flag separates with blanks, as its length estimate counts.
  EXPECT_FMT("01 02 03 04", "% .4m", kBytes + 1);
  EXPECT_FMT("00 01 02 03  04 05 06 07", "% .8lm", kBytes);
}

TEST(FormatMemory, FitToWidthAndZeroFill) {
  EXPECT_FMT("00010203... ", "%#12m", kBytes);
  EXPECT_FMT("00:01...   ", "%#+11m", kBytes);
  EXPECT_FMT("00...", "%#5.8m", kBytes);
  EXPECT_FMT("... ", "%#4.8m", kBytes) << "no byte fits";
  EXPECT_FMT("0001 0203... ", "%#13hm", kBytes);
  EXPECT_FMT("", "%#0m", kBytes);
  EXPECT_FMT("00010203", "%#20.4m", kBytes) << "a dump that fits is not padded";
  EXPECT_FMT("00010203            |", "%-#20.4m|", kBytes);
  EXPECT_FMT("0001020300000000", "%016.4m", kBytes);
  EXPECT_FMT("00:01:00:00", "%+011.2m", kBytes);
  EXPECT_FMT(" 00:01:00", "%+09.2m", kBytes) << "only whole units; blanks pad the rest";
  std::string dump = Fmt("%+.256m", std::string(256, 'A').c_str());
  EXPECT_EQ(dump.size(), 3u * 256 - 1);
}

class FormatTime : public ::testing::Test {
 protected:
  // Local time is pinned to UTC for these tests.
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    saved_ = tz ? tz : "";
    had_ = tz != nullptr;
    SetTimeZone("UTC0");
  }
  void TearDown() override { SetTimeZone(had_ ? saved_.c_str() : nullptr); }
  std::string saved_;
  bool had_ = false;
};

const int kTime = 1234567890;  // 2009-02-13 23:31:30 UTC

TEST_F(FormatTime, Conversions) {
  EXPECT_FMT("23:31:30", "%k", kTime);
  EXPECT_FMT("23:31", "%+k", kTime);
  EXPECT_FMT("233130", "%0k", kTime);
  EXPECT_FMT("2331", "%+0k", kTime);
  EXPECT_FMT("2009-02-13 23:31:30", "%K", kTime);
  EXPECT_FMT("2009-02-13___23:31:30", "% .3K", kTime);
  EXPECT_FMT("13.2.2009 23:31:30", "%#K", kTime);
  EXPECT_FMT("2009-02-13", "%.0K", kTime);
  EXPECT_FMT("1970-01-01 00:00:00", "%K", 0);
  EXPECT_FMT("(null)", "%k", -1);
  EXPECT_FMT("  23:31:30", "%10k", kTime);
  EXPECT_FMT("    233130", "%010k", kTime) << "'0' drops the colons; times pad with blanks";
  EXPECT_FMT("23:31:30  |", "%-10k|", kTime);
  EXPECT_FMT("2009-02-13 23:31:30", "%I64K", (long long)kTime);
}

TEST_F(FormatTime, SixtyFourBitTimes) {
  // All 64 bits count: dates from 2038 on.
  EXPECT_FMT("2038-01-19 03:14:08", "%llK", 0x80000000LL);
  EXPECT_FMT("2100-01-01 00:00:00", "%llK", 4102444800LL);
  EXPECT_FMT("(null)", "%llK", -5LL);
  EXPECT_FMT("(null) 7", "%K %d", 0x80000000u, 7) << "a 32-bit time is signed";
}

}  // namespace
