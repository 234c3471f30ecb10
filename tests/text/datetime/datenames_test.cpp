#include "text/datetime/datenames.h"

#include <gtest/gtest.h>

#include "wide.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Each case runs through both widths, so A and W agree on ASCII text.
struct MonthCase {
  const char* text;
  int month;
};

TEST(DateNames, MatchMonthName) {
  const MonthCase kCases[] = {
      {"Jan", 1},
      {"feb", 2},
      {"MAR", 3},
      {"Apr", 4},
      {"May", 5},
      {"Mai", 5},
      {"Jun", 6},
      {"jul", 7},
      {"Aug", 8},
      {"Sep", 9},
      {"Oct", 10},
      {"Okt", 10},
      {"Nov", 11},
      {"Dec", 12},
      {"Dez", 12},
      {"  December", 12},
      {"January", 1},
      {"Ju ", 6},  // the third character removes July first, leaving
                   // June
      {"Ju", 6},   // the same at the end of the text
      {"X", 1},    // a word that fits no month is January
      {"", 1},
      {"  ", 1},
      {"5", 1},
      {"Ma", 3},
      {"A", 4},
      {"O", 10},
      {"N", 11},
      {"D", 12},
      {"Ja", 1},
      {"Jux", 6},
      {"Jul", 7},
  };
  for (const MonthCase& c : kCases) {
    EXPECT_EQ(MatchMonthNameA(c.text), c.month) << c.text;
    EXPECT_EQ(MatchMonthNameW(Wide(c.text).c_str()), c.month) << c.text;
  }
}

TEST(DateNames, GermanMarch) {
  EXPECT_EQ(MatchMonthNameA("M\xE4r."), 3);
  EXPECT_EQ(MatchMonthNameA("m\xE4rz"), 3);
  EXPECT_EQ(GermanMonthNamesA[2 * MONTH_NAME_LENGTH + 1], '\xE4');
  // The 16-bit German table writes March as "Mar.".
  EXPECT_EQ(WString(GermanMonthNamesW(), 12 * MONTH_NAME_LENGTH),
            Wide("Jan.Feb.Mar.Apr.Mai.Jun.Jul.Aug.Sep.Okt.Nov.Dez."));
  EXPECT_EQ(WString(WeekdayNamesW()), Wide(WeekdayNamesA));
  EXPECT_STREQ(CenturyPrefixes[0], "19");
  EXPECT_STREQ(CenturyPrefixes[1], "20");
}

// Replacing the tables changes the 16-bit matching only; a null pointer keeps
// its table.
TEST(DateNames, SetDateNameTables) {
  const WString original_months(GermanMonthNamesW(), 12 * MONTH_NAME_LENGTH);
  const WString original_weekdays(WeekdayNamesW(), 7 * WEEKDAY_NAME_LENGTH);
  // Other months' names: "Qux." for January and "Zap." for December.
  WString months = Wide("Qux.Feb.Mar.Apr.Mai.Jun.Jul.Aug.Sep.Okt.Nov.Zap.");
  SetDateNameTables(months.c_str(), nullptr);
  EXPECT_EQ(MatchMonthNameW(Wide("Zap").c_str()), 12);
  EXPECT_EQ(MatchMonthNameW(Wide("qux").c_str()), 1);
  EXPECT_EQ(MatchMonthNameW(Wide("Dec").c_str()), 12);  // the English table stays
  EXPECT_EQ(MatchMonthNameA("Zap"), 1);
  EXPECT_EQ(WString(WeekdayNamesW(), 7 * WEEKDAY_NAME_LENGTH), original_weekdays);

  WString weekdays = Wide("Su Mo Tu We Th Fr Sa ");
  SetDateNameTables(nullptr, weekdays.c_str());
  EXPECT_EQ(WString(WeekdayNamesW(), 7 * WEEKDAY_NAME_LENGTH), weekdays);
  EXPECT_EQ(WString(GermanMonthNamesW(), 12 * MONTH_NAME_LENGTH), months);

  SetDateNameTables(original_months.c_str(), original_weekdays.c_str());
  EXPECT_EQ(WString(GermanMonthNamesW(), 12 * MONTH_NAME_LENGTH), original_months);
  EXPECT_EQ(WString(WeekdayNamesW(), 7 * WEEKDAY_NAME_LENGTH), original_weekdays);
}

#ifdef _WIN32
// The system's German and English month names, short and long, each match
// their month; its German weekday abbreviations start with our names.
TEST(DateNames, AgainstSystemNames) {
  const LCID kLocales[] = {0x0407, 0x0409};
  const char* kPictures[] = {"MMM", "MMMM"};
  for (LCID lcid : kLocales)
    for (const char* picture : kPictures)
      for (WORD month = 1; month <= 12; ++month) {
        SYSTEMTIME st = {};
        st.wYear = 2026;
        st.wMonth = month;
        st.wDay = 1;
        char name[64];
        ASSERT_GT(GetDateFormatA(lcid, 0, &st, picture, name, sizeof name), 0);
        EXPECT_EQ(MatchMonthNameA(name), month) << name;
        if (lcid == 0x0407) {
          EXPECT_EQ(0, memcmp(name, GermanMonthNamesA + (month - 1) * MONTH_NAME_LENGTH, 3)) << name;
        }
        wchar_t wpicture[8] = {};
        for (int i = 0; picture[i]; ++i) wpicture[i] = (wchar_t)picture[i];
        wchar_t wname[64];
        ASSERT_GT(GetDateFormatW(lcid, 0, &st, wpicture, wname, 64), 0);
        EXPECT_EQ(MatchMonthNameW(wname), month) << name;
      }
  for (WORD day = 1; day <= 7; ++day) {  // 2026-02-01 is a Sunday
    SYSTEMTIME st = {};
    st.wYear = 2026;
    st.wMonth = 2;
    st.wDay = day;
    char name[64];
    ASSERT_GT(GetDateFormatA(0x0407, 0, &st, "ddd", name, sizeof name), 0);
    EXPECT_EQ(0, memcmp(name, WeekdayNamesA + (day - 1) * WEEKDAY_NAME_LENGTH, 2)) << name;
  }
}
#endif

}  // namespace
