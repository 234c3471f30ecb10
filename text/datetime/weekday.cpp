#include "text/datetime/weekday.h"

#include <cstdint>

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days to add for the month, for a year that starts in March.
const int kMonthOffset[12] = {5, 1, 0, 3, 5, 1, 3, 6, 2, 4, 0, 2};

}  // namespace

int WeekdayFromDate(int day, int month, int year) {
  int64_t m = (int64_t)month - 1;
  int64_t y = (int64_t)year + FloorDiv(m, 12);
  m -= FloorDiv(m, 12) * 12;
  if (m < 2) --y;  // January and February count with the year before
  int64_t days = 365 * y + FloorDiv(y, 4) - FloorDiv(y, 100) + FloorDiv(y, 400);
  int64_t w = (days + 2 + kMonthOffset[m] + day) % 7;
  return (int)(w < 0 ? w + 7 : w);
}
