#include "text/datetime/formatdatetime.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <random>
#include <string>

#include "text/datetime/datenames.h"
#include "text/datetime/datetimeflags.h"
#include "text/format/localtime64.h"
#include "wide.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::string FormatA(uint32_t time, uint32_t flags, int* written = nullptr) {
  char buffer[64];
  memset(buffer, 'x', sizeof buffer);
  int n = FormatDateTimeA(buffer, time, flags);
  if (written) *written = n;
  return std::string(buffer, n);
}

struct FormatCase {
  uint32_t time;
  uint32_t flags;
  const char* text;
};

// Every case also runs through the 16-bit form, which writes the same text.
TEST(FormatDateTime, Cases) {
  const uint32_t kUtc = DTFORMAT_UTC;
  const FormatCase kCases[] = {
      {0, 0x126, "01.01.70 00:00:00"},
      {0, 0x327, "Do, 01.01.70 00:00:00"},
      {0, 0x337, "Do, 01.01.1970 00:00:00"},
      {0, kUtc | DTFORMAT_WEEKDAY, "Do "},
      {0, kUtc | DTFORMAT_WEEKDAY | DTFORMAT_WEEKDAY_COMMA | DTFORMAT_DATE_SLASH | DTFORMAT_FILL_UNDERSCORE, "Do/_"},
      // 2026-12-08 18:30:15, a Tuesday.
      {1796754615, kUtc | DTFORMAT_DAY_FIRST | DTFORMAT_MONTH_NAME | DTFORMAT_CENTURY, "08.Dez.2026 "},
      {1796754615, kUtc | DTFORMAT_YEAR_FIRST | DTFORMAT_NO_FILL, "26-12-08"},
      {1796754615, kUtc | DTFORMAT_YEAR_FIRST | DTFORMAT_CENTURY | DTFORMAT_MONTH_NAME, "2026-Dez-08 "},
      {1796754615, kUtc | DTFORMAT_YEAR_FIRST | DTFORMAT_DAY_FIRST, "08.12.26 "},  // day first wins
      {1796754615, kUtc | DTFORMAT_DAY_FIRST | DTFORMAT_DATE_SLASH | DTFORMAT_FILL_UNDERSCORE, "08/12/26_"},
      {1796754615, kUtc | DTFORMAT_TIME, "18:30"},
      {1796754615, kUtc | DTFORMAT_TIME | DTFORMAT_SECONDS | DTFORMAT_TIME_PLAIN, "183015"},
      {1796754615, kUtc | DTFORMAT_TIME | DTFORMAT_SECONDS | DTFORMAT_TIME_UNDERSCORE, "18_30_15"},
      {1796754615, kUtc | DTFORMAT_TIME | DTFORMAT_TIME_UNDERSCORE | DTFORMAT_TIME_DASH, "18-30"},
      {1796754615, kUtc | DTFORMAT_TIME | DTFORMAT_ZONE, "18:30-00:00"},
      {1796754615, kUtc | DTFORMAT_TIME | DTFORMAT_ZONE | DTFORMAT_TIME_PLAIN, "1830-00:00"},
      {1796754615,
       kUtc | DTFORMAT_YEAR_FIRST | DTFORMAT_CENTURY | DTFORMAT_NO_FILL | DTFORMAT_TIME | DTFORMAT_SECONDS |
           DTFORMAT_TIME_LEAD | ('T' << DTFORMAT_TIME_LEAD_SHIFT),
       "2026-12-08T18:30:15"},
      // The longest text.
      {1796754615,
       kUtc | DTFORMAT_WEEKDAY | DTFORMAT_WEEKDAY_COMMA | DTFORMAT_DAY_FIRST | DTFORMAT_MONTH_NAME | DTFORMAT_CENTURY |
           DTFORMAT_TIME | DTFORMAT_SECONDS | DTFORMAT_ZONE | DTFORMAT_TIME_LEAD | ('T' << DTFORMAT_TIME_LEAD_SHIFT),
       "Di, 08.Dez.2026 T18:30:15-00:00"},
      // 2^31 and the last second: exact, no shift of the years.
      {0x80000000u, 0x136, "19.01.2038 03:14:08"},
      {0xFFFFFFFFu, 0x137, "So 07.02.2106 06:28:15"},
      {951782400, 0x13D, "Di 29.Feb.2000 "},  // 2000-02-29
      {68169600, 0x11D, "Di 29.Feb.1972 "},
  };
  for (const FormatCase& c : kCases) {
    int n = -1;
    EXPECT_EQ(FormatA(c.time, c.flags, &n), c.text) << std::hex << c.flags;
    EXPECT_EQ(n, (int)strlen(c.text));
    wchar_t wide[64];
    EXPECT_EQ(FormatDateTimeW(wide, c.time, c.flags), n);
    EXPECT_EQ(WString(wide), Wide(c.text)) << std::hex << c.flags;
  }
}

// March differs between the widths; the 16-bit names can be replaced.
TEST(FormatDateTime, NameTables) {
  const uint32_t flags = DTFORMAT_UTC | DTFORMAT_WEEKDAY | DTFORMAT_DAY_FIRST | DTFORMAT_MONTH_NAME;
  const uint32_t march = 1773360000;  // 2026-03-13, a Friday
  EXPECT_EQ(FormatA(march, flags), "Fr 13.M\xE4r.26 ");
  wchar_t wide[64];
  FormatDateTimeW(wide, march, flags);
  EXPECT_EQ(WString(wide), Wide("Fr 13.Mar.26 "));

  const WString months(GermanMonthNamesW(), 12 * MONTH_NAME_LENGTH);
  const WString weekdays(WeekdayNamesW(), 7 * WEEKDAY_NAME_LENGTH);
  SetDateNameTables(Wide("Jan.Feb.Mrz.Apr.Mai.Jun.Jul.Aug.Sep.Okt.Nov.Dez.").c_str(),
                    Wide("Su Mo Tu We Th Fr Sa ").c_str());
  FormatDateTimeW(wide, march + 86400, flags);
  EXPECT_EQ(WString(wide), Wide("Sa 14.Mrz.26 "));
  SetDateNameTables(months.c_str(), weekdays.c_str());
  EXPECT_EQ(FormatA(march + 86400, flags), "Sa 14.M\xE4r.26 ");
}

// Without a terminator the character after the text stays as it was.
TEST(FormatDateTime, Terminator) {
  char buffer[8];
  memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(FormatDateTimeA(buffer, 0, DTFORMAT_UTC | DTFORMAT_TIME | DTFORMAT_NO_TERMINATOR), 5);
  EXPECT_EQ(std::string(buffer, 6), "00:00x");
  EXPECT_EQ(FormatDateTimeA(buffer, 0, DTFORMAT_UTC), 0);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[1], '0');
}

// Any flags and time: at most the longest text and its terminator, nothing
// beyond; the local form writes the runtime's local fields.
TEST(FormatDateTime, AnyFlagsWithinBounds) {
  std::mt19937 random(7);
  for (int i = 0; i < 20000; ++i) {
    uint32_t time = random();
    uint32_t flags = random();
    char buffer[48];
    memset(buffer, 'x', sizeof buffer);
    int n = FormatDateTimeA(buffer, time, flags);
    ASSERT_GE(n, 0);
    ASSERT_LE(n, DTFORMAT_MAX_LENGTH);
    if (flags & DTFORMAT_NO_TERMINATOR) {
      ASSERT_EQ(buffer[n], 'x');
    } else {
      ASSERT_EQ(buffer[n], 0);
    }
    ASSERT_EQ(buffer[n + 1], 'x');
  }
  for (int i = 0; i < 200; ++i) {
    uint32_t time = random() & 0x7FFFFFFF;
    std::tm local;
    ASSERT_TRUE(LocalTime64(time, &local));
    char expected[32];
    snprintf(expected, sizeof expected, "%02d.%02d.%04d %02d:%02d:%02d", local.tm_mday, local.tm_mon + 1,
             local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    EXPECT_EQ(FormatA(time, 0x36), expected);
  }
}

// A value that counts local standard time is written as UTC after the
// standard offset is added, and its zone as that of UTC; with DTFORMAT_UTC
// the value is taken as it stands.
TEST(FormatDateTime, StandardTimeAsUtc) {
  int64_t now = (int64_t)time(nullptr);
  std::tm local, utc;
  ASSERT_TRUE(LocalTime64(now, &local));
  UtcTimeFromSeconds(now, &utc);
  int64_t east =
      (int64_t)(local.tm_mday != utc.tm_mday ? (local.tm_yday == utc.tm_yday + 1 || local.tm_yday == 0 ? 1 : -1) : 0) *
          86400 +
      (local.tm_hour - utc.tm_hour) * 3600 + (local.tm_min - utc.tm_min) * 60 + (local.tm_sec - utc.tm_sec);
  if (local.tm_isdst > 0) east -= 3600;
  const uint32_t flags = DTFORMAT_DAY_FIRST | DTFORMAT_CENTURY | DTFORMAT_TIME | DTFORMAT_SECONDS | DTFORMAT_ZONE;
  const uint32_t t = 1796754615;
  EXPECT_EQ(FormatA(t, flags | DTFORMAT_STANDARD_UTC), FormatA((uint32_t)(t - east), flags | DTFORMAT_UTC));
  EXPECT_EQ(FormatA(t, flags | DTFORMAT_STANDARD_UTC | DTFORMAT_UTC), "08.12.2026 18:30:15-00:00");
  // A sum below 0 becomes 0.
  if (east > 0) {
    EXPECT_EQ(FormatA(0, flags | DTFORMAT_STANDARD_UTC), "01.01.1970 00:00:00-00:00");
  }
}

TEST(FormatDateTime, UtcTimeFromSeconds) {
  std::tm tm;
  UtcTimeFromSeconds(-1, &tm);
  EXPECT_EQ(tm.tm_year, 69);
  EXPECT_EQ(tm.tm_mon, 11);
  EXPECT_EQ(tm.tm_mday, 31);
  EXPECT_EQ(tm.tm_hour, 23);
  EXPECT_EQ(tm.tm_wday, 3);
  EXPECT_EQ(tm.tm_yday, 364);
  UtcTimeFromSeconds(951868800, &tm);  // 2000-03-01
  EXPECT_EQ(tm.tm_yday, 60);
  EXPECT_EQ(tm.tm_mon, 2);
  EXPECT_EQ(tm.tm_wday, 3);
}

#ifdef _WIN32
// Against the system's German date and time text, over the whole unsigned
// range.
TEST(FormatDateTime, AgainstSystem) {
  std::mt19937 random(11);
  for (int i = 0; i < 3000; ++i) {
    uint32_t time = i == 0 ? 0x80000000u : i == 1 ? 0xFFFFFFFFu : (uint32_t)random();
    ULONGLONG ticks = ((ULONGLONG)time + 11644473600ULL) * 10000000ULL;
    FILETIME ft = {(DWORD)ticks, (DWORD)(ticks >> 32)};
    SYSTEMTIME st;
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
    char date[32], clock[32], expected[64];
    ASSERT_GT(GetDateFormatA(0x0407, 0, &st, "dd'.'MM'.'yyyy", date, sizeof date), 0);
    ASSERT_GT(GetTimeFormatA(0x0407, 0, &st, "HH':'mm':'ss", clock, sizeof clock), 0);
    snprintf(expected, sizeof expected, "%s %s", date, clock);
    ASSERT_EQ(FormatA(time, 0x136), expected) << time;
    char ddd[16];
    ASSERT_GT(GetDateFormatA(0x0407, 0, &st, "ddd", ddd, sizeof ddd), 0);
    ASSERT_EQ(FormatA(time, DTFORMAT_UTC | DTFORMAT_WEEKDAY).substr(0, 2), std::string(ddd, 2)) << time;
  }
}
#endif

}  // namespace
