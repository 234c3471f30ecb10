#include "ui/ddx/datetext.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const char* const kWeekdaysDe[8] = {"Mo ", "Di ", "Mi ", "Do ", "Fr ", "Sa ", "So ", "?? "};
const char* const kWeekdaysEn[8] = {"Mo ", "Tu ", "We ", "Th ", "Fr ", "Sa ", "Su ", "?? "};
const char* const kMonthsDe[16] = {"??? ", "Jan.", "Feb.", "März ", "April ", "Mai ", "Juni ", "Juli ",
                                   "Aug.", "Sep.", "Okt.", "Nov.",  "Dez.",   "??? ", "??? ",  "??? "};
const char* const kMonthsEn[16] = {"??? ", "Jan.", "Feb.", "March", "April ", "May ", "June ", "July ",
                                   "Aug.", "Sep.", "Oct.", "Nov.",  "Dec.",   "??? ", "??? ",  "??? "};

bool IsSeparator(char c) { return c && strchr(" \n:,/*\t.;-", c) != nullptr; }
bool StartsWithDigit(const char* s) { return *s >= '0' && *s <= '9'; }
char FoldAZ(char c) { return (c >= 'a' && c <= 'z') ? (char)(c - 32) : c; }
}  // namespace

const char* WeekdayName(int weekday, BOOL english) {
  if (weekday < 0 || weekday > 6) weekday = 7;
  return english ? kWeekdaysEn[weekday] : kWeekdaysDe[weekday];
}

const char* MonthName(int month, BOOL english) { return english ? kMonthsEn[month & 15] : kMonthsDe[month & 15]; }

int SplitDateFields(const char* text, char (*fields)[8], int maxFields) {
  if (maxFields <= 0) return 0;
  int field = 0, len = 0;
  fields[0][0] = 0;
  for (; *text; ++text) {
    if (IsSeparator(*text)) {
      if (len == 0) continue;
      if (field + 1 >= maxFields) break;
      fields[++field][0] = 0;
      len = 0;
    } else if (len < 7) {
      fields[field][len++] = *text;
      fields[field][len] = 0;
    }
  }
  return len ? field + 1 : field;
}

int ParseMonthName(const char* text) {
  int number = atoi(text);
  if (number) return number;
  while (*text == ' ') ++text;
  bool in[13];
  int left = 12;
  for (int m = 1; m <= 12; ++m) in[m] = true;
  for (int pos = 0; pos < 3 && text[pos] && left >= 2; ++pos) {
    char c = FoldAZ(text[pos]);
    for (int m = 12; m >= 1; --m) {
      if (in[m] && FoldAZ(kMonthsDe[m][pos]) != c && FoldAZ(kMonthsEn[m][pos]) != c) {
        in[m] = false;
        --left;
      }
    }
  }
  for (int m = 12; m >= 1; --m)
    if (in[m] && left < 12) return m;
  return 0;
}

int ParseDateText(const char* text, DateRecord* date) {
  char fields[4][8];
  int n = SplitDateFields(text, fields, 4);
  int first = 0;
  if (n > 0 && !StartsWithDigit(fields[0])) first = 1, --n;  // a weekday
  if (n > 3) n = 3;
  char* f[3];
  for (int i = 0; i < 3; ++i) f[i] = fields[first + i < 4 ? first + i : 3];
  if (n < 3) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    date->day = now.wDay, date->month = now.wMonth, date->year = now.wYear;
  }
  if (n <= 0) return 0;
  if (n == 2 && !StartsWithDigit(f[0]) && StartsWithDigit(f[1])) {
    char* t = f[0];
    f[0] = f[1], f[1] = t;
  }
  int day = atoi(f[0]);
  if (day >= 1000 && n == 3 && atoi(f[2]) < 32) {
    char* t = f[0];
    f[0] = f[2], f[2] = t;
    day = atoi(f[0]);
  }
  date->day = (WORD)(day & 31);
  if (n >= 2) {
    int month = ParseMonthName(f[1]);
    if (n == 2 && month >= 13 && day < 13) {
      date->day = (WORD)(month & 31);
      month = day;
    }
    date->month = (WORD)(month & 15);
  }
  if (n == 3) {
    int year = atoi(f[2]);
    if (year >= 0 && year < 100) year += year < 30 ? 2000 : 1900;
    date->year = (WORD)year;
  }
  return n;
}

int GetWeekday(int day, int month, int year) {
  // Sakamoto's rule, with leap years every 4 years except centuries not
  // divisible by 400.
  static const int kOffset[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 1 || month > 12) month = 1;
  if (month < 3) --year;
  int sundayBased = (year + year / 4 - year / 100 + year / 400 + kOffset[month - 1] + day) % 7;
  if (sundayBased < 0) sundayBased += 7;
  return (sundayBased + 6) % 7;
}

int FormatDateText(char* buffer, const DateRecord* date, UINT flags) {
  BOOL english = (flags & kDateEnglish) != 0;
  int n = 0;
  if (flags & kDateWeekday)
    n = sprintf(buffer, "%s", WeekdayName(GetWeekday(date->day, date->month, date->year), english));
  n += sprintf(buffer + n, "%u.%s%d", (unsigned)date->day, MonthName(date->month, english), (int)(short)date->year);
  return n;
}

int ParseTimeText(const char* text, TimeRecord* time, int skip) {
  char fields[7][8];
  int count = SplitDateFields(text, fields, 7);
  if (skip < 0) skip = 0;
  int n = count - skip;
  if (n < 0) n = 0;
  if (n > 3) n = 3;
  if (n < 3) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    time->hour = now.wHour, time->minute = now.wMinute, time->second = now.wSecond;
  }
  if (n > 0) time->hour = (WORD)((unsigned)atoi(fields[skip]) % 24);
  if (n > 1) time->minute = (WORD)((unsigned)atoi(fields[skip + 1]) % 60);
  if (n > 2) time->second = (WORD)((unsigned)atoi(fields[skip + 2]) % 60);
  return n;
}

int FormatTimeText(char* buffer, const TimeRecord* time, BOOL noSeconds) {
  if (noSeconds) return sprintf(buffer, "%02u:%02u", (unsigned)time->hour % 100, (unsigned)time->minute % 100);
  return sprintf(buffer, "%02u:%02u:%02u", (unsigned)time->hour % 100, (unsigned)time->minute % 100,
                 (unsigned)time->second % 100);
}
