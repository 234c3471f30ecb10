#include "text/datetime/weekday.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int DaysIn(int m, int y) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

TEST(Weekday, KnownDates) {
  EXPECT_EQ(WeekdayFromDate(8, 12, 2026), 2);  // Tuesday
  EXPECT_EQ(WeekdayFromDate(1, 1, 1970), 4);   // Thursday
  EXPECT_EQ(WeekdayFromDate(29, 2, 2000), 2);
  EXPECT_EQ(WeekdayFromDate(1, 1, 1601), 1);
}

// Every day from 1601 to 9999, stepping on from a Monday.
TEST(Weekday, EveryDay) {
  int expected = 1;
  for (int y = 1601; y <= 9999; ++y)
    for (int m = 1; m <= 12; ++m)
      for (int d = 1; d <= DaysIn(m, y); ++d) {
        ASSERT_EQ(WeekdayFromDate(d, m, y), expected) << d << '.' << m << '.' << y;
        expected = (expected + 1) % 7;
      }
}

// Months outside 1-12 count on into the years around; the result is 0-6.
TEST(Weekday, MonthsAndDaysOutsideTheirRange) {
  EXPECT_EQ(WeekdayFromDate(1, 13, 2025), WeekdayFromDate(1, 1, 2026));
  EXPECT_EQ(WeekdayFromDate(1, 0, 2026), WeekdayFromDate(1, 12, 2025));
  EXPECT_EQ(WeekdayFromDate(1, -11, 2026), WeekdayFromDate(1, 1, 2025));
  EXPECT_EQ(WeekdayFromDate(32, 1, 2026), WeekdayFromDate(1, 2, 2026));
  const int extremes[] = {-2147483647 - 1, -1000000, -1, 0, 1, 1000000, 2147483647};
  for (int a : extremes)
    for (int b : extremes)
      for (int c : extremes) {
        int w = WeekdayFromDate(a, b, c);
        EXPECT_TRUE(w >= 0 && w <= 6);
      }
}

#ifdef _WIN32
// Against the system's calendar, every day 1601-9999.
TEST(Weekday, AgainstFileTimeToSystemTime) {
  ULARGE_INTEGER t;
  t.QuadPart = 0;
  const uint64_t kDay = 864000000000ull;
  for (;; t.QuadPart += kDay) {
    FILETIME ft = {t.LowPart, t.HighPart};
    SYSTEMTIME st;
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
    if (st.wYear > 9999) break;
    ASSERT_EQ(WeekdayFromDate(st.wDay, st.wMonth, st.wYear), st.wDayOfWeek)
        << st.wDay << '.' << st.wMonth << '.' << st.wYear;
    if (st.wYear == 9999 && st.wMonth == 12 && st.wDay == 31) break;
  }
}
#endif

}  // namespace
