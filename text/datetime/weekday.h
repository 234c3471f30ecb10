// The weekday of a date of the Gregorian calendar.
#pragma once

// 0 (Sunday) to 6 (Saturday). month 1-12; a month outside that range counts
// on into the years around (13 is January of the next year), and the day
// may run past its month.
int WeekdayFromDate(int day, int month, int year);
