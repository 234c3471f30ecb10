// Month and weekday names of the date text routines. The 16-bit weekday and
// German month names can be replaced at run time.
#pragma once

constexpr int MONTH_NAME_LENGTH = 4;    // "Jan." and so on
constexpr int WEEKDAY_NAME_LENGTH = 3;  // "So " and so on

// 12 names of MONTH_NAME_LENGTH characters, no terminators.
extern const char GermanMonthNamesA[12 * MONTH_NAME_LENGTH + 1];
extern const char EnglishMonthNamesA[12 * MONTH_NAME_LENGTH + 1];
// 7 names of WEEKDAY_NAME_LENGTH characters, Sunday first.
extern const char WeekdayNamesA[7 * WEEKDAY_NAME_LENGTH + 1];
extern const wchar_t EnglishMonthNamesW[12 * MONTH_NAME_LENGTH + 1];
// The replaceable 16-bit tables as they stand now.
const wchar_t* GermanMonthNamesW();
const wchar_t* WeekdayNamesW();
// Two characters of a century: index 0 for the 1900s, 1 for the 2000s.
extern const char CenturyPrefixes[2][3];

// Copies 12 * MONTH_NAME_LENGTH units of month names and 7 *
// WEEKDAY_NAME_LENGTH units of weekday names (no terminators); a null
// pointer leaves its table as it is. Not guarded against parallel readers.
void SetDateNameTables(const wchar_t* months, const wchar_t* weekdays);

// The month 1-12 whose German or English name the text (after blanks) starts
// with, by its first three characters, A-Z folded. Every word is some month:
// one that fits none gives January, and ties keep the later month.
int MatchMonthNameA(const char* text);
int MatchMonthNameW(const wchar_t* text);
