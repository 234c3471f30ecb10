// Dates and times as German or English text: splitting, parsing,
// formatting and the weekday.
#pragma once

#include <windows.h>

struct DateRecord {
  WORD year, month, day;
};
struct TimeRecord {
  WORD hour, minute, second;
};
struct DateTimeRecord {
  WORD year, month, day, hour, minute, second, reserved[2];
};

// Flags of FormatDateText.
const UINT kDateWeekday = 1;  // weekday name first
const UINT kDateEnglish = 2;  // English names, else German

// Fields of 8 bytes (7 characters and a NUL) between separators (blank,
// LF, ':', ',', '/', '*', tab, '.', ';', '-'); a run of separators counts
// once. The number of fields filled, at most maxFields.
int SplitDateFields(const char* text, char (*fields)[8], int maxFields);
// A leading number, or a German or English month name by its first three
// letters: 1-12, 0 when none.
int ParseMonthName(const char* text);
// Day, month and year in the orders the parser knows (a weekday first is
// dropped; missing parts from today). The number of fields used, 0-3.
int ParseDateText(const char* text, DateRecord* date);
// "5.Jan.2024", with kDateWeekday "Mo 1.Jan.2024". The length written;
// buffer holds at least 32 characters.
int FormatDateText(char* buffer, const DateRecord* date, UINT flags);
// 0 Monday .. 6 Sunday, Gregorian calendar.
int GetWeekday(int day, int month, int year);
// Hour, minute and second after skip fields; missing parts from now. The
// number of fields used, 0-3.
int ParseTimeText(const char* text, TimeRecord* time, int skip);
// "hh:mm" or "hh:mm:ss": 5 or 8.
int FormatTimeText(char* buffer, const TimeRecord* time, BOOL noSeconds);

// The name tables (each name with its blank or dot).
const char* WeekdayName(int weekday, BOOL english);  // 7 "?? "
const char* MonthName(int month, BOOL english);      // month AND 15
