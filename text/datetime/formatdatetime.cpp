#include "text/datetime/formatdatetime.h"

#include <ctime>
#include <cstring>

#include "text/datetime/datenames.h"
#include "text/datetime/datetimeflags.h"
#include "text/format/localtime64.h"

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Local time less UTC in seconds, daylight saving included.
int64_t LocalOffset(int64_t seconds, const std::tm& local) {
  std::tm utc;
  UtcTimeFromSeconds(seconds, &utc);
  int64_t day = (int64_t)(local.tm_year - utc.tm_year) * 400 + (local.tm_yday - utc.tm_yday);
  // Years differ only at their turn, where the day of year wraps.
  if (local.tm_year != utc.tm_year) day = local.tm_year > utc.tm_year ? 1 : -1;
  return ((day * 24 + local.tm_hour - utc.tm_hour) * 60 + local.tm_min - utc.tm_min) * 60 + local.tm_sec - utc.tm_sec;
}

// The standard offset west of UTC, read once: a value that counts local
// standard time becomes UTC by adding it.
int64_t StandardOffsetWest() {
  static int64_t west = [] {
    int64_t now = (int64_t)time(nullptr);
    std::tm local;
    if (now < 0 || !LocalTime64(now, &local)) return (int64_t)0;
    return -(LocalOffset(now, local) - (local.tm_isdst > 0 ? 3600 : 0));
  }();
  return west;
}

template <class Char>
struct Writer {
  Char* p;
  void Put(unsigned c) { *p++ = (Char)c; }
  void Two(int v) {
    v %= 100;
    if (v < 0) v += 100;
    Put('0' + v / 10);
    Put('0' + v % 10);
  }
};

template <class Char>
int FormatDateTime(Char* dest, uint32_t time, uint32_t flags, const Char* weekdays, const Char* months) {
  int64_t seconds = time;  // unsigned: 2038 and later stay exact
  bool utc = (flags & DTFORMAT_UTC) != 0;
  if (!utc && (flags & DTFORMAT_STANDARD_UTC)) {
    seconds += StandardOffsetWest();
    if (seconds < 0) seconds = 0;
    utc = true;
  }
  std::tm tm;
  int64_t offset = 0;  // east of UTC
  if (utc) {
    UtcTimeFromSeconds(seconds, &tm);
  } else if (LocalTime64(seconds, &tm)) {
    offset = LocalOffset(seconds, tm);
  } else {
    memset(&tm, 0, sizeof tm);
  }

  Writer<Char> w = {dest};
  const unsigned fill = flags & DTFORMAT_FILL_UNDERSCORE ? '_' : ' ';
  const bool slash = (flags & DTFORMAT_DATE_SLASH) != 0;
  const int wday = tm.tm_wday >= 0 && tm.tm_wday < 7 ? tm.tm_wday : 0;
  const int mon = tm.tm_mon >= 0 && tm.tm_mon < 12 ? tm.tm_mon : 0;
  const int year = tm.tm_year + 1900;
  if (flags & DTFORMAT_WEEKDAY) {
    const Char* name = weekdays + wday * WEEKDAY_NAME_LENGTH;
    if (flags & DTFORMAT_WEEKDAY_COMMA) {
      w.Put(name[0]);
      w.Put(name[1]);
      w.Put(slash ? '/' : ',');
      w.Put(fill);
    } else {
      for (int i = 0; i < WEEKDAY_NAME_LENGTH; ++i) w.Put(name[i]);
    }
  }
  const bool day_first = (flags & DTFORMAT_DAY_FIRST) != 0;
  if (day_first || (flags & DTFORMAT_YEAR_FIRST)) {
    const unsigned sep = slash ? '/' : day_first ? '.' : '-';
    const Char* name = months + mon * MONTH_NAME_LENGTH;
    const bool by_name = (flags & DTFORMAT_MONTH_NAME) != 0;
    if (day_first) {
      w.Two(tm.tm_mday);
      w.Put(sep);
      if (by_name) {
        for (int i = 0; i < MONTH_NAME_LENGTH; ++i) w.Put(name[i]);
      } else {
        w.Two(mon + 1);
        w.Put(sep);
      }
    }
    if (flags & DTFORMAT_CENTURY) {
      // The true century: unsigned times reach into the 2100s, where a
      // fixed "20" would be wrong.
      w.Two(year / 100);
    }
    w.Two(year);
    if (!day_first) {
      w.Put(sep);
      if (by_name) {
        for (int i = 0; i < 3; ++i) w.Put(name[i]);
      } else {
        w.Two(mon + 1);
      }
      w.Put(sep);
      w.Two(tm.tm_mday);
    }
    if (!(flags & DTFORMAT_NO_FILL)) w.Put(fill);
  }
  if (flags & DTFORMAT_TIME) {
    const unsigned tsep = flags & DTFORMAT_TIME_DASH ? '-' : flags & DTFORMAT_TIME_UNDERSCORE ? '_' : ':';
    const bool plain = (flags & DTFORMAT_TIME_PLAIN) != 0;
    if (flags & DTFORMAT_TIME_LEAD) w.Put((flags >> DTFORMAT_TIME_LEAD_SHIFT) & 0xFF);
    w.Two(tm.tm_hour);
    if (!plain) w.Put(tsep);
    w.Two(tm.tm_min);
    if (flags & DTFORMAT_SECONDS) {
      if (!plain) w.Put(tsep);
      w.Two(tm.tm_sec);
    }
    if (flags & DTFORMAT_ZONE) {
      int64_t minutes = offset / 60;
      w.Put(minutes > 0 ? '+' : '-');
      if (minutes < 0) minutes = -minutes;
      w.Two((int)(minutes / 60));
      w.Put(tsep);  // even without separators inside the time
      w.Two((int)(minutes % 60));
    }
  }
  int written = (int)(w.p - dest);
  if (!(flags & DTFORMAT_NO_TERMINATOR)) *w.p = 0;
  return written;
}

}  // namespace

void UtcTimeFromSeconds(int64_t seconds, struct tm* out) {
  memset(out, 0, sizeof *out);
  int64_t days = FloorDiv(seconds, 86400);
  int64_t rest = seconds - days * 86400;
  out->tm_hour = (int)(rest / 3600);
  out->tm_min = (int)(rest / 60 % 60);
  out->tm_sec = (int)(rest % 60);
  out->tm_wday = (int)((days % 7 + 11) % 7);  // 1970-01-01 was a Thursday
  // Civil date from days, in eras of 400 years starting in March.
  int64_t z = days + 719468;
  int64_t era = FloorDiv(z, 146097);
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int64_t d = doy - (153 * mp + 2) / 5 + 1;
  int64_t m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
  out->tm_mday = (int)d;
  out->tm_mon = (int)(m - 1);
  out->tm_year = (int)(y - 1900);
  static const int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  out->tm_yday = kBefore[m - 1] + (int)d - 1 + (leap && m > 2 ? 1 : 0);
}

int FormatDateTimeA(char* dest, uint32_t time, uint32_t flags) {
  return FormatDateTime(dest, time, flags, WeekdayNamesA, GermanMonthNamesA);
}

int FormatDateTimeW(wchar_t* dest, uint32_t time, uint32_t flags) {
  return FormatDateTime(dest, time, flags, WeekdayNamesW(), GermanMonthNamesW());
}
