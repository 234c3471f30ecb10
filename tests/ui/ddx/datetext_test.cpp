// Date and time text: splitting, parsing, formatting, the weekday.
#include "ui/ddx/datetext.h"

#include <gtest/gtest.h>

#include <string>

TEST(DateText, SplitsAtSeparatorRuns) {
  char f[4][8];
  EXPECT_EQ(SplitDateFields("Di, 5.  3.-24", f, 4), 4);
  EXPECT_STREQ(f[0], "Di");
  EXPECT_STREQ(f[1], "5");
  EXPECT_STREQ(f[2], "3");
  EXPECT_STREQ(f[3], "24");
  EXPECT_EQ(SplitDateFields("..1.2.3.4.5", f, 3), 3) << "stops when full";
  EXPECT_STREQ(f[2], "3");
  EXPECT_EQ(SplitDateFields("Septembermonat", f, 2), 1);
  EXPECT_STREQ(f[0], "Septemb") << "7 characters a field";
  EXPECT_EQ(SplitDateFields("  ", f, 2), 0);
}

TEST(DateText, MonthNamesInBothLanguages) {
  struct Case {
    const char* text;
    int month;
  } cases[] = {{"Jan", 1}, {"mär", 3}, {"Mar", 3},  {"March", 3}, {"Mai", 5},  {"may", 5},  {"Jun", 6},
               {"Jul", 7}, {"Sep", 9}, {"Okt", 10}, {"oct", 10},  {"Dez", 12}, {"Dec", 12}, {" Feb", 2},
               {"11", 11}, {"Xyz", 0}, {"", 0},     {"Dxx", 12},  {"Ju", 7}};
  for (const Case& c : cases) EXPECT_EQ(ParseMonthName(c.text), c.month) << c.text;
}

TEST(DateText, ParsesTheOrdersItKnows) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  struct Case {
    const char* text;
    int used, day, month, year;
  } cases[] = {
      {"Di 5.3.24", 3, 5, 3, 2024},
      {"5. Mai 99", 3, 5, 5, 1999},
      {"2024-03-05", 3, 5, 3, 2024},
      {"Mo Mar 5", 2, 5, 3, now.wYear},
      {"Mar 5", 1, 5, now.wMonth, now.wYear},
      {"13 5", 2, 13, 5, now.wYear},
      {"5 Dez 29", 3, 5, 12, 2029},
      {"5 Dez 30", 3, 5, 12, 1930},
      {"", 0, now.wDay, now.wMonth, now.wYear},
  };
  for (const Case& c : cases) {
    DateRecord d = {};
    EXPECT_EQ(ParseDateText(c.text, &d), c.used) << c.text;
    EXPECT_EQ(d.day, c.day) << c.text;
    EXPECT_EQ(d.month, c.month) << c.text;
    EXPECT_EQ(d.year, c.year) << c.text;
  }
}

TEST(DateText, FormatsWithNamesAndWeekdays) {
  char buf[48];
  DateRecord d = {2024, 1, 5};
  EXPECT_EQ(FormatDateText(buf, &d, 0), 10);
  EXPECT_STREQ(buf, "5.Jan.2024");
  d = {2024, 1, 1};
  FormatDateText(buf, &d, kDateWeekday);
  EXPECT_STREQ(buf, "Mo 1.Jan.2024");
  d = {2024, 9, 1};
  FormatDateText(buf, &d, kDateWeekday | kDateEnglish);
  EXPECT_STREQ(buf, "Su 1.Sep.2024");
  FormatDateText(buf, &d, kDateWeekday);
  EXPECT_STREQ(buf, "So 1.Sep.2024");
  d = {2024, 3, 31};
  FormatDateText(buf, &d, 0);
  EXPECT_STREQ(buf, "31.März 2024");
  DateRecord back = {};
  ParseDateText(buf, &back);
  EXPECT_EQ(back.month, 3) << "its own text reads back";

  EXPECT_EQ(GetWeekday(1, 3, 2000), 2);
  EXPECT_EQ(GetWeekday(1, 1, 1900), 0) << "1900 was no leap year";
  EXPECT_EQ(GetWeekday(1, 3, 2100), 0);
  EXPECT_EQ(GetWeekday(29, 2, 2024), 3);
}

TEST(DateText, TimesWrapAndFillFromNow) {
  TimeRecord t = {};
  EXPECT_EQ(ParseTimeText("25:61:61", &t, 0), 3);
  char buf[16];
  EXPECT_EQ(FormatTimeText(buf, &t, FALSE), 8);
  EXPECT_STREQ(buf, "01:01:01");
  EXPECT_EQ(ParseTimeText("7:5", &t, 0), 2);
  EXPECT_EQ(FormatTimeText(buf, &t, TRUE), 5);
  EXPECT_STREQ(buf, "07:05");
  EXPECT_LT(t.second, 60);
  EXPECT_EQ(ParseTimeText("5.3.2024 12:30:15", &t, 3), 3);
  EXPECT_EQ(t.hour, 12);
  EXPECT_EQ(t.minute, 30);
  EXPECT_EQ(t.second, 15);
}
