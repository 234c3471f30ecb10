#include "text/datetime/parsedatetime.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>

#include "text/datetime/datetimeflags.h"
#include "text/datetime/formatdatetime.h"
#include "wide.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const uint32_t kDateTime = DTPARSE_DATE | DTPARSE_TIME;
const uint32_t kDate = DTFOUND_DAY | DTFOUND_MONTH | DTFOUND_YEAR;
const uint32_t kTime = DTFOUND_HOURS | DTFOUND_MINUTES | DTFOUND_SECONDS;
const uint32_t kBoth = 3;  // the case holds for both widths
const uint32_t kOnlyA = 1;
const uint32_t kOnlyW = 2;

// The fields as "yyyy-mm-dd hh:mm:ss", the fraction after "." and the
// stored offset after "@" when there is one.
std::string Show(const std::tm& tm, uint32_t found) {
  char text[96];
  int n = snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                   tm.tm_hour, tm.tm_min, tm.tm_sec);
  if (found & DTFOUND_FRACTION) n += snprintf(text + n, sizeof text - n, ".%d", tm.tm_yday);
  if (tm.tm_wday >> 8) snprintf(text + n, sizeof text - n, "@%d", tm.tm_wday >> 8);
  return text;
}

struct ParseCase {
  const char* text;
  uint32_t flags;
  const char* fields;
  uint32_t found;
  uint32_t widths;
};

void ExpectParse(const ParseCase& c) {
  std::tm tm;
  if (c.widths & kOnlyA) {
    uint32_t found = ParseDateTimeA(c.text, &tm, c.flags);
    EXPECT_EQ(Show(tm, found), c.fields) << "A: " << c.text;
    EXPECT_EQ(found, c.found) << "A: " << c.text;
  }
  if (c.widths & kOnlyW) {
    WString wide = Wide(c.text);
    uint32_t found = ParseDateTimeW(wide.c_str(), &tm, c.flags);
    EXPECT_EQ(Show(tm, found), c.fields) << "W: " << c.text;
    EXPECT_EQ(found, c.found) << "W: " << c.text;
  }
}

TEST(ParseDateTime, Dates) {
  const uint32_t D = DTFOUND_DAY, M = DTFOUND_MONTH, Y = DTFOUND_YEAR;
  const ParseCase kCases[] = {
      {"08.12.2026", kDateTime, "2026-12-08 00:00:00", kDate, kBoth},
      {"  8.12.26", kDateTime, "2026-12-08 00:00:00", kDate, kBoth},
      {"8.12.30", kDateTime, "1930-12-08 00:00:00", kDate, kBoth},
      {"8.12.130", kDateTime, "0130-12-08 00:00:00", kDate, kBoth},
      {"2026-12-08", kDateTime, "2026-12-08 00:00:00", kDate, kBoth},
      {"2026-12-08T18:30:15", kDateTime, "2026-12-08 18:30:15", kDate | kTime, kBoth},
      {"Di 2026-12-08t18:30", kDateTime, "2026-12-08 18:30:00", kDate | DTFOUND_HOURS | DTFOUND_MINUTES, kBoth},
      {"12/08/2026", kDateTime, "2026-08-12 00:00:00", kDate, kBoth},
      {"12.13.2026", kDateTime, "2026-12-13 00:00:00", kDate, kBoth},
      {"Dec 2026", kDateTime, "2026-12-01 00:00:00", M | Y, kBoth},
      {"2026 12", kDateTime, "2026-12-01 00:00:00", M | Y, kBoth},
      {"12 2026", kDateTime, "1970-01-12 00:00:00", D, kBoth},
      {"2026", kDateTime, "2026-01-01 00:00:00", Y, kBoth},
      {"1830", kDateTime, "1830-01-01 00:00:00", Y, kBoth},
      {"8 Dec", kDateTime, "1970-12-08 00:00:00", D | M, kBoth},
      {"Mon 8 Dec", kDateTime, "1970-12-08 00:00:00", D | M, kBoth},
      {"8. Dezember 2026", kDateTime, "2026-12-08 00:00:00", kDate, kBoth},
      {"1. M\xE4rz 2026", kDateTime, "2026-03-01 00:00:00", kDate, kOnlyA},
      {"1. Mar 2026", kDateTime, "2026-03-01 00:00:00", kDate, kBoth},
      {"31.2.2026", kDateTime, "2026-02-31 00:00:00", kDate, kBoth},
      // Any word is some month.
      {"X 5 2026", kDateTime, "2026-01-05 00:00:00", kDate, kBoth},
      // Day and month with a time but no year: the year goes in front, so
      // a day and month that could swap do.
      {"08.12 18:30", kDateTime, "1970-08-12 18:30:00", D | M | DTFOUND_HOURS | DTFOUND_MINUTES, kBoth},
      {"13.12 18:30", kDateTime, "1970-12-13 18:30:00", D | M | DTFOUND_HOURS | DTFOUND_MINUTES, kBoth},
      {"Tue, 08 Dec 2026 18:30:15 GMT", kDateTime, "2026-12-08 18:30:15", kDate | kTime | DTFOUND_ZONE, kBoth},
      {"Sunday, 06-Nov-94 08:49:37 GMT", kDateTime, "1994-11-06 08:49:37", kDate | kTime | DTFOUND_ZONE, kBoth},
      // The runtime's time stamp: the 16-bit form reads no year there.
      {"Tue Dec  8 18:30:15 2026", kDateTime, "2026-12-08 18:30:15", kDate | kTime, kOnlyA},
      {"Tue Dec  8 18:30:15 2026", kDateTime, "1970-12-08 18:30:15", D | M | kTime, kOnlyW},
      // Over six tokens the time stamp keeps its last one, here an offset.
      {"Tue Dec  8 18:30:15 2026 +0100", kDateTime | DTPARSE_STORE_OFFSET, "2026-12-08 18:30:15@3600",
       kDate | kTime | DTFOUND_ZONE, kOnlyA},
      // Text too short for the given order reads nothing.
      {"8.12", kDateTime | DTPARSE_ORDER_GIVEN, "1970-01-01 00:00:00", 0, kBoth},
      {"2026-12-08", kDateTime | DTPARSE_ORDER_GIVEN | DTPARSE_ORDER_YMD, "2026-12-08 00:00:00", kDate, kBoth},
      {"12/08/2026", kDateTime | DTPARSE_ORDER_GIVEN | DTPARSE_ORDER_MDY, "2026-12-08 00:00:00", kDate, kBoth},
      {"08/2026/12", kDateTime | DTPARSE_ORDER_GIVEN | DTPARSE_ORDER_SWAP_23, "2026-12-08 00:00:00", kDate, kBoth},
      {"5 2026", kDateTime | DTPARSE_ORDER_GIVEN | DTPARSE_ORDER_DAY_MONTH_ONE, "2026-05-05 00:00:00", kDate, kBoth},
      {"", kDateTime, "1970-01-01 00:00:00", 0, kBoth},
      {"Montag", kDateTime, "1970-01-01 00:00:00", 0, kBoth},
      // Runs of more than 20 digits go on as the next token; values saturate.
      {"000000000000000000008.12.2026", DTPARSE_DATE, "2012-08-01 00:00:00", M | Y, kBoth},
      {"99999999999999999999", kDateTime, "2147483647-01-01 00:00:00", Y, kBoth},
  };
  for (const ParseCase& c : kCases) ExpectParse(c);
}

TEST(ParseDateTime, Times) {
  const uint32_t H = DTFOUND_HOURS, M = DTFOUND_MINUTES;
  const ParseCase kCases[] = {
      {"18:30", kDateTime, "1970-01-01 18:30:00", H | M, kBoth},
      {"18:30:15", kDateTime, "1970-01-01 18:30:15", kTime, kBoth},
      {"6:30 PM", DTPARSE_TIME, "1970-01-01 18:30:00", H | M, kBoth},
      {"6:30 pm", DTPARSE_TIME, "1970-01-01 18:30:00", H | M, kBoth},
      {"12:30 PM", DTPARSE_TIME, "1970-01-01 12:30:00", H | M, kBoth},
      {"6:30 AM", DTPARSE_TIME, "1970-01-01 06:30:00", H | M, kBoth},
      {"1830", DTPARSE_TIME, "1970-01-01 18:30:00", H | M, kBoth},
      {"183015", DTPARSE_TIME, "1970-01-01 18:30:15", kTime, kBoth},
      {"25:61:61", DTPARSE_TIME, "1970-01-01 01:01:01", kTime, kBoth},
      {"18:30:15.1234", DTPARSE_TIME | DTPARSE_MILLISECONDS, "1970-01-01 18:30:15.123", kTime | DTFOUND_FRACTION,
       kBoth},
      {"18:30:15,5", DTPARSE_TIME | DTPARSE_MICROSECONDS, "1970-01-01 18:30:15.500000", kTime | DTFOUND_FRACTION,
       kBoth},
      {"18:30:15.000000000000000000123", DTPARSE_TIME | DTPARSE_NANOSECONDS, "1970-01-01 18:30:15.0",
       kTime | DTFOUND_FRACTION, kBoth},
      {"18:30:15.98765432109876543210", DTPARSE_TIME | DTPARSE_NANOSECONDS | DTPARSE_MILLISECONDS,
       "1970-01-01 18:30:15.987654321", kTime | DTFOUND_FRACTION, kBoth},
      {"18:30:15.5", DTPARSE_TIME, "1970-01-01 18:30:15", kTime, kBoth},
      // No date before it: the zone is only a word.
      {"18:30:15 EST", kDateTime, "1970-01-01 18:30:15", kTime, kBoth},
      {"18:30:15 +01:00", DTPARSE_TIME | DTPARSE_STORE_OFFSET, "1970-01-01 18:30:15@3600", kTime | DTFOUND_ZONE, kBoth},
      {"18:30:15.5-0130", DTPARSE_TIME | DTPARSE_STORE_OFFSET, "1970-01-01 18:30:15@-5400", kTime | DTFOUND_ZONE,
       kBoth},
      {"18:30:15 +2400", DTPARSE_TIME | DTPARSE_STORE_OFFSET, "1970-01-01 18:30:15", kTime, kBoth},
      {"18:30:15 +0160", DTPARSE_TIME | DTPARSE_STORE_OFFSET, "1970-01-01 18:30:15", kTime, kBoth},
      // The offset is found but only stored when asked.
      {"18:30:15 +01:00", DTPARSE_TIME, "1970-01-01 18:30:15", kTime | DTFOUND_ZONE, kBoth},
  };
  for (const ParseCase& c : kCases) ExpectParse(c);
}

TEST(ParseDateTime, ZonesAndOffsets) {
  const uint32_t kAll = kDate | kTime | DTFOUND_ZONE;
  const uint32_t kFlags = kDateTime | DTPARSE_STORE_OFFSET;
  const ParseCase kCases[] = {
      {"Tue, 08 Dec 2026 18:30:15 GMT", kFlags, "2026-12-08 18:30:15", kAll, kBoth},
      {"Tue, 08 Dec 2026 18:30:15 +0100", kFlags, "2026-12-08 18:30:15@3600", kAll, kBoth},
      {"Tue, 08 Dec 2026 18:30:15 -0500", kFlags, "2026-12-08 18:30:15@-18000", kAll, kBoth},
      {"08.12.2026 18:30:15 mesz", kFlags, "2026-12-08 18:30:15@7200", kAll, kBoth},
      {"2026-12-08T18:30:15Z", kFlags, "2026-12-08 18:30:15", kAll, kBoth},
      {"08.12.2026 18:30:15 ACDT", kFlags, "2026-12-08 18:30:15@37800", kAll, kBoth},
      // Five letters make a zone but no offset.
      {"08.12.2026 18:30:15 ACWST", kFlags, "2026-12-08 18:30:15", kDate | kTime, kBoth},
      {"08.12.2026 18:30:15 XYZ", kFlags, "2026-12-08 18:30:15", kDate | kTime, kBoth},
      // Missing seconds and fraction inserted before an offset or zone.
      {"08.12.2026 18:30 +0100", kFlags | DTPARSE_INSERT_SECONDS, "2026-12-08 18:30:00@3600", kAll, kBoth},
      {"08.12.2026 18:30 +0100", kFlags, "2026-12-08 18:30:40", kDate | kTime, kBoth},
      {"08.12.2026 18:30:15+0100", kFlags | DTPARSE_INSERT_SECONDS | DTPARSE_MILLISECONDS, "2026-12-08 18:30:15.0@3600",
       kAll | DTFOUND_FRACTION, kBoth},
  };
  for (const ParseCase& c : kCases) ExpectParse(c);
}

// The 8-bit form skips the no-break space and takes bytes from 0x80 into
// words; the 16-bit form skips units above 255 between tokens, and the
// no-break space starts a word there.
TEST(ParseDateTime, WidthDifferences) {
  std::tm tm;
  EXPECT_EQ(ParseDateTimeA("08.\xA0"
                           "12.2026",
                           &tm, kDateTime),
            kDate);
  EXPECT_EQ(Show(tm, 0), "2026-12-08 00:00:00");
  const wchar_t kWide[] = {'0', '8', '.', 0x2009, '1', '2', '.', '2', '0', '2', '6', 0};
  EXPECT_EQ(ParseDateTimeW(kWide, &tm, kDateTime), kDate);
  EXPECT_EQ(Show(tm, 0), "2026-12-08 00:00:00");
  WString nbsp = Wide(
      "08.\xA0"
      "12.2026");
  EXPECT_EQ(ParseDateTimeW(nbsp.c_str(), &tm, DTPARSE_DATE), kDate);
  EXPECT_EQ(Show(tm, 0), "2012-01-08 00:00:00") << "the no-break space a month word (January), 12 the year";
}

TEST(ParseDateTime, CountedForms) {
  std::tm tm;
  EXPECT_EQ(ParseDateTimeNA("08.12.2026 18:30", &tm, kDateTime, 10), kDate);
  WString wide = Wide("08.12.2026 18:30");
  EXPECT_EQ(ParseDateTimeNW(wide.c_str(), &tm, kDateTime, 10), kDate);
  EXPECT_EQ(ParseDateTimeNA("08.12.2026", &tm, kDateTime, -5), 0u);
  // The copy holds 63 characters: the year beyond them is cut off.
  std::string longer = std::string(58, ' ') + "08.12.2026";
  EXPECT_EQ(ParseDateTimeNA(longer.c_str(), &tm, kDateTime, 1000), DTFOUND_DAY | DTFOUND_MONTH);
  EXPECT_EQ(ParseDateTimeA(longer.c_str(), &tm, kDateTime), kDate);
  EXPECT_EQ(ParseDateTimeA(nullptr, &tm, kDateTime), 0u);
  // Counted text needs no terminator within n.
  const char kUnterminated[10] = {'0', '8', '.', '1', '2', '.', '2', '0', '2', '6'};
  EXPECT_EQ(DateTextToTimeNA(kUnterminated, DTPARSE_DATE | DTPARSE_UTC, 10), 1796688000u);
  const wchar_t kUnterminatedW[10] = {'0', '8', '.', '1', '2', '.', '2', '0', '2', '6'};
  EXPECT_EQ(DateTextToTimeNW(kUnterminatedW, DTPARSE_DATE | DTPARSE_UTC, 10), 1796688000u);
}

int64_t g_now;
int64_t FixedClock() { return g_now; }

// The clock fills what the text leaves out.
TEST(ParseDateTime, CurrentTime) {
  g_now = 1796754615;  // 2026-12-08 18:30:15 UTC
  SetDateClock(FixedClock);
  const uint32_t utc = DTPARSE_UTC;
  const ParseCase kCases[] = {
      {"18:30", kDateTime | DTPARSE_NOW_DATE | utc, "2026-12-08 18:30:00", DTFOUND_HOURS | DTFOUND_MINUTES, kBoth},
      {"08.12 07:05", kDateTime | DTPARSE_NOW_DATE | utc, "2026-08-12 07:05:00",
       DTFOUND_DAY | DTFOUND_MONTH | DTFOUND_HOURS | DTFOUND_MINUTES, kBoth},
      {"24.6", kDateTime | DTPARSE_NOW_DATE | DTPARSE_NOW_TIME | utc, "2026-06-24 18:30:15",
       DTFOUND_DAY | DTFOUND_MONTH, kBoth},
      {"7", DTPARSE_TIME | DTPARSE_NOW_TIME | utc, "1970-01-01 07:30:15", DTFOUND_HOURS, kBoth},
      {"7:05:01", DTPARSE_TIME | DTPARSE_NOW_TIME | utc, "1970-01-01 07:05:01", kTime, kBoth},
  };
  for (const ParseCase& c : kCases) ExpectParse(c);
  SetDateClock(nullptr);
}

// Sets the runtime's time zone for a test, restoring it after.
class DateTextToTime : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    had_ = tz != nullptr;
    saved_ = tz ? tz : "";
    SetZone("UTC0");
  }
  void TearDown() override { SetZone(had_ ? saved_.c_str() : nullptr); }
  static void SetZone(const char* tz) {
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
  bool had_ = false;
  std::string saved_;
};

struct TimeCase {
  const char* text;
  uint32_t flags;
  uint32_t time;
};

TEST_F(DateTextToTime, Cases) {
  const uint32_t kUtc = kDateTime | DTPARSE_UTC;
  const TimeCase kCases[] = {
      {"08.12.2026 18:30:15", kUtc, 1796754615},
      {"08.12.2026 18:30:15", kDateTime, 1796754615},  // local time is UTC here
      {"08.12.2026 18:30:15", kDateTime | DTPARSE_STANDARD_TIME, 1796754615},
      {"Tue, 08 Dec 2026 18:30:15 +0100", kDateTime, 1796754615 - 3600},
      {"Tue, 08 Dec 2026 18:30:15 -0500", kDateTime, 1796754615 + 18000},
      // An offset in the text counts with DTPARSE_UTC too.
      {"Tue, 08 Dec 2026 18:30:15 +0100", kUtc, 1796754615 - 3600},
      {"2026-12-08T18:30:15 MEZ", kUtc, 1796754615 - 3600},
      // February 31 runs on into March.
      {"31.2.2026", kUtc, 1772496000},
      {"01.01.1970 00:00:00", kUtc, 0},
      {"01.01.1970 00:00:01", kUtc, 1},
      {"01.01.1970 00:30:00 +0100", kUtc, 0},  // before 1970
      {"31.12.1969 23:59:59", kUtc, 0},
      {"07.02.2106 06:28:15", kUtc, 0xFFFFFFFFu},
      {"07.02.2106 06:28:16", kUtc, 0},
      {"19.01.2038 03:14:08", kUtc, 0x80000000u},
      {"19.01.2038 03:14:08", kDateTime, 0x80000000u},
      {"", kUtc, 0},
      {"31.12.99999 23:59:59", kUtc, 0},
  };
  for (const TimeCase& c : kCases) {
    EXPECT_EQ(DateTextToTimeA(c.text, c.flags), c.time) << c.text;
    WString wide = Wide(c.text);
    EXPECT_EQ(DateTextToTimeW(wide.c_str(), c.flags), c.time) << c.text;
  }
  uint32_t found = 0;
  EXPECT_EQ(DateTextToTimeA("8.12.2026 18:30", kUtc, &found), 1796754600u);
  EXPECT_EQ(found, kDate | DTFOUND_HOURS | DTFOUND_MINUTES);
}

TEST_F(DateTextToTime, EastOfUtc) {
  SetZone("CET-1");
  EXPECT_EQ(DateTextToTimeA("08.12.2026 18:30:15", kDateTime | DTPARSE_STANDARD_TIME), 1796754615u - 3600);
  EXPECT_EQ(DateTextToTimeA("01.01.1970 01:30", kDateTime), 1800u) << "the first day converts east of UTC";
  EXPECT_EQ(DateTextToTimeA("01.01.1970 00:30", kDateTime), 0u);
}

// Formatted text reads back to the same value over the whole unsigned range.
TEST_F(DateTextToTime, FormattedTextReadsBack) {
  std::mt19937 random(7);
  const uint32_t kFormats[] = {0x136, 0x137, 0x337, 0x13E,
                               DTFORMAT_UTC | DTFORMAT_YEAR_FIRST | DTFORMAT_CENTURY | DTFORMAT_TIME |
                                   DTFORMAT_SECONDS | DTFORMAT_TIME_LEAD | ('T' << DTFORMAT_TIME_LEAD_SHIFT)};
  for (int i = 0; i < 20000; ++i) {
    uint32_t time = i == 0 ? 0 : i == 1 ? 0xFFFFFFFFu : i == 2 ? 0x7FFFFFFFu : (uint32_t)random();
    for (uint32_t format : kFormats) {
      char text[40];
      wchar_t wide[40];
      FormatDateTimeA(text, time, format);
      FormatDateTimeW(wide, time, format);
      ASSERT_EQ(DateTextToTimeA(text, kDateTime | DTPARSE_UTC), time) << text;
      ASSERT_EQ(DateTextToTimeW(wide, kDateTime | DTPARSE_UTC), time) << text;
    }
  }
}

#ifdef _WIN32
// Against the system's calendar: dates of 1970-2106 from random file times.
TEST_F(DateTextToTime, AgainstSystemTimeToFileTime) {
  std::mt19937_64 random(3);
  const ULONGLONG kEpoch = 116444736000000000ULL, kSecond = 10000000ULL;
  for (int i = 0; i < 20000; ++i) {
    ULONGLONG ticks = kEpoch + random() % (0x100000000ULL * kSecond);
    FILETIME ft = {(DWORD)ticks, (DWORD)(ticks >> 32)};
    SYSTEMTIME st;
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
    st.wMilliseconds = 0;
    FILETIME back;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &back));
    ULONGLONG whole = ((ULONGLONG)back.dwHighDateTime << 32) | back.dwLowDateTime;
    uint32_t expected = (uint32_t)((whole - kEpoch) / kSecond);
    char iso[40], dotted[40];
    snprintf(iso, sizeof iso, "%04d-%02d-%02dT%02d:%02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
             st.wSecond);
    snprintf(dotted, sizeof dotted, "%02d.%02d.%04d %02d:%02d:%02d", st.wDay, st.wMonth, st.wYear, st.wHour, st.wMinute,
             st.wSecond);
    for (const char* text : {iso, dotted}) {
      ASSERT_EQ(DateTextToTimeA(text, 0x106), expected) << text;
      WString wide = Wide(text);
      ASSERT_EQ(DateTextToTimeW(wide.c_str(), 0x106), expected) << text;
    }
  }
}
#endif

}  // namespace
