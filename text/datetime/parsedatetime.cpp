#include "text/datetime/parsedatetime.h"

#include <climits>
#include <cstring>
#include <type_traits>

#include "text/datetime/datenames.h"
#include "text/datetime/datetimeflags.h"
#include "text/datetime/formatdatetime.h"
#include "text/datetime/maketime.h"
#include "text/datetime/timezones.h"
#include "text/datetime/weekday.h"
#include "text/edit/strcopy.h"
#include "text/format/localtime64.h"

namespace {

constexpr int kMaxTokens = 10;
constexpr int kMaxDigits = 20;  // a longer run goes on as the next token
constexpr int kMaxWord = 21;
constexpr int kLeadDigits = 9;  // kept exactly for the fraction
constexpr int kCountedA = 64;   // the counted forms' copies
constexpr int kCountedW = 128;

enum TokenKind { kNone, kNumber, kWord, kPm, kZone };

struct Token {
  TokenKind kind;
  int value;  // numbers saturate at INT_MAX: a long run never wraps into a valid field
  int length;
  int lead;  // the first kLeadDigits digits of a number
  unsigned sep;
  bool inserted;  // a year put in front, not reported
};

int64_t RuntimeClock() { return (int64_t)time(nullptr); }
DateClock g_clock = RuntimeClock;

// The current time in fields, as local time or UTC.
void CurrentFields(bool utc, std::tm* out) {
  int64_t now = g_clock();
  if (utc || !LocalTime64(now, out)) UtcTimeFromSeconds(now, out);
}

bool IsDigit(unsigned c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(unsigned c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

template <class Char>
unsigned Unit(Char c) {
  return (unsigned)(typename std::make_unsigned<Char>::type)c;
}

int MonthOf(const char* text) { return MatchMonthNameA(text); }
int MonthOf(const wchar_t* text) { return MatchMonthNameW(text); }

// The token list of one text, with the moves the stages make on it.
struct Tokens {
  Token t[kMaxTokens + 1];  // one spare place for the hidden fifth value
  int n = 0;

  Tokens() { memset(t, 0, sizeof t); }
  bool Num(int i) const { return i < n && t[i].kind == kNumber; }
  int Value(int i) const { return t[i].value; }
  void Swap(int a, int b) {
    Token x = t[a];
    t[a] = t[b];
    t[b] = x;
  }
  void Drop(int i) {
    for (int k = i; k + 1 < n; ++k) t[k] = t[k + 1];
    --n;
  }
  // Puts the token at place i, moving the others up; inserted tokens stay
  // within the ten places, the last one falling out.
  void Insert(int i, const Token& token) {
    if (i >= kMaxTokens) return;
    int last = n < kMaxTokens ? n : kMaxTokens - 1;
    for (int k = last; k > i; --k) t[k] = t[k - 1];
    t[i] = token;
    if (n < kMaxTokens) ++n;
  }
};

Token NumberToken(int value, int length) {
  Token t;
  memset(&t, 0, sizeof t);
  t.kind = kNumber;
  t.value = value;
  t.lead = value;
  t.length = length;
  t.sep = ' ';
  return t;
}

template <class Char>
bool IsWordChar(Char c) {
  unsigned u = Unit(c);
  return IsAsciiLetter(u) || (sizeof(Char) == 1 && u >= 0x80);
}

bool InRange(int v, int low, int high) { return v >= low && v <= high; }

// Year-month-day with "-" between, from place first on: a "T" after it is a blank.
bool IsIsoDate(const Tokens& tk, int first) {
  const Token* t = tk.t + first;
  return tk.Num(first) && tk.Num(first + 1) && tk.Num(first + 2) && t[0].sep == '-' && t[1].sep == '-' &&
         InRange(t[0].value, 1000, 9999) && InRange(t[1].value, 1, 12) && InRange(t[2].value, 1, 31);
}

// Stage 1: up to ten tokens with the separators after them.
template <class Char>
void ReadTokens(const Char* p, Tokens& tk) {
  const bool wide = sizeof(Char) > 1;
  while (*p == ' ' || *p == '\t') ++p;
  while (tk.n < kMaxTokens && *p) {
    Token& t = tk.t[tk.n];
    unsigned c = Unit(*p);
    if (IsDigit(c)) {
      int64_t value = 0;
      int length = 0, lead = 0;
      while (length < kMaxDigits && IsDigit(Unit(p[length]))) {
        int d = (int)Unit(p[length]) - '0';
        value = value * 10 + d;
        if (value > INT_MAX) value = INT_MAX;
        if (length < kLeadDigits) lead = lead * 10 + d;
        ++length;
      }
      t.kind = kNumber;
      t.value = (int)value;
      t.lead = lead;
      t.length = length;
    } else {
      int length = 1;
      while (length < kMaxWord && IsWordChar(p[length])) ++length;
      bool letters = true;
      for (int i = 0; i < length; ++i) letters = letters && IsAsciiLetter(Unit(p[i]));
      t.kind = kWord;
      t.value = MonthOf(p);
      t.length = length;
      if ((c | 0x20) == 'p' && (Unit(p[1]) | 0x20) == 'm' && !IsWordChar(p[2]) && !IsDigit(Unit(p[2]))) {
        t.kind = kPm;
      } else if (tk.n >= 5 && tk.Num(tk.n - 1) && tk.Num(tk.n - 2) && tk.t[tk.n - 1].value < 60 &&
                 tk.t[tk.n - 2].value < 60) {
        // Minutes and seconds before: a zone name.
        int offset = TIME_ZONE_UNKNOWN;
        if (length == 1 && (c | 0x20) == 'z' && !IsDigit(Unit(p[1])) && !IsAsciiLetter(Unit(p[1])))
          offset = 0;
        else if (letters && length >= 2 && length <= 5)
          offset = LookupTimeZone(p, length, (int)sizeof(Char));
        if (offset != TIME_ZONE_UNKNOWN) {
          t.kind = kZone;
          t.value = offset;
          tk.t[tk.n - 1].sep = '+';
        }
      }
    }
    p += t.length;
    t.sep = ' ';
    ++tk.n;
    for (;;) {
      unsigned u = Unit(*p);
      if (u == ' ' || u == '\t' || u == '_' || (!wide && u == 0xA0) || (wide && u > 0xFF)) {
        ++p;
      } else if (u && strchr(".,;/:-+", (int)u)) {
        t.sep = u;
        ++p;
      } else if ((u | 0x20) == 't' &&
                 ((tk.n == 3 && IsIsoDate(tk, 0)) || (tk.n == 4 && tk.t[0].kind != kNumber && IsIsoDate(tk, 1)))) {
        ++p;
      } else {
        break;
      }
    }
  }
}

// Stage 3: the date fields. Returns the number of tokens they take, or -1
// when the given order leaves too few tokens for anything.
int ReadDate(Tokens& tk, std::tm* out, uint32_t flags, bool time_stamp_order, uint32_t* found) {
  // A leading word: a month name that stays, or a weekday that goes.
  bool stayed_short = false;
  if (tk.n >= 3 && tk.t[0].kind != kNumber && !(flags & DTPARSE_KEEP_LEADING_WORD)) {
    bool stays;
    if (tk.n == 3) {
      stays = tk.Num(1) && tk.Num(2);
    } else if (tk.n == 4) {
      stays = tk.Num(1) && tk.Num(2) && tk.Num(3);
      if (stays && tk.t[2].sep != ':' && tk.t[3].length == 4)
        stays = tk.Value(1) > 31 || (tk.Value(2) >= 32 && tk.Value(3) < 1700);
      else if (stays)
        stays = tk.Value(1) < 32 || tk.t[3].length > 2;
    } else {
      stays = tk.Num(1) && tk.Num(2) && tk.Num(3) && tk.Num(4) && tk.t[3].sep == ':' && tk.Value(3) < 24;
    }
    if (!stays)
      tk.Drop(0);
    else
      stayed_short = tk.n <= 4;
  }

  // The runtime's time stamp: month day hh mm ss year, the year moving to
  // third place. Tokens after the year keep their places, and what follows
  // the year now follows the seconds (an offset after the year is read).
  if (time_stamp_order && !stayed_short && tk.n >= 6 && tk.Value(5) >= 1700 && tk.Value(4) < 60 && tk.Value(3) < 60 &&
      tk.Value(2) < 24 && tk.Value(0) < 32 && tk.Value(1) < 32 && tk.Num(2) && tk.Num(3) && tk.Num(4)) {
    Token year = tk.t[5];
    for (int k = 5; k > 2; --k) tk.t[k] = tk.t[k - 1];
    tk.t[2] = year;
    tk.t[2].sep = tk.t[5].sep;
    tk.t[5].sep = year.sep;
  }

  const bool given = (flags & DTPARSE_ORDER_GIVEN) != 0;
  std::tm now;
  int fields;
  if (given) {
    switch (flags & DTPARSE_ORDER_MASK) {
      case DTPARSE_ORDER_MDY:
        tk.Swap(0, 1);
        break;
      case DTPARSE_ORDER_YMD:
        tk.Swap(0, 2);
        break;
      case DTPARSE_ORDER_DAY_MONTH_ONE:
        if (tk.n > 0) tk.Insert(1, tk.t[0]);
        break;
    }
    if (tk.n < 3) return -1;
    if (flags & DTPARSE_ORDER_SWAP_23) tk.Swap(1, 2);
    fields = 3;
  } else {
    // Day, month and a time without a year: a year goes in front.
    if (tk.n == 4 && tk.Num(3)) {
      tk.t[3].sep = ':';
      tk.t[4] = NumberToken(0, 1);  // hidden, not counted
    }
    if ((tk.n == 4 || tk.n == 5) && tk.t[2].sep == ':' && tk.t[3].sep == ':' && tk.t[0].sep != ':' &&
        tk.t[1].sep != ':' && tk.Value(0) < 32 && tk.Value(1) < 32 && tk.Value(2) < 24 && tk.Value(3) < 60 &&
        tk.t[4].value < 60) {
      int year = 1970;
      if (flags & DTPARSE_NOW_DATE) {
        CurrentFields((flags & DTPARSE_UTC) != 0, &now);
        year = now.tm_year + 1900;
      }
      Token front = NumberToken(year, 4);
      front.inserted = true;
      tk.Insert(0, front);
    }
    if (tk.n >= 5 && tk.Num(3) && tk.Num(4) && tk.t[3].sep == ':' && tk.t[4].sep == ':')
      fields = 3;
    else if (tk.n >= 4 && tk.Num(2) && tk.Num(3) && tk.t[2].sep == ':' && tk.t[3].sep == ':')
      fields = 2;
    else
      fields = tk.n < 3 ? tk.n : 3;

    if ((tk.n == 2 || tk.n == 3) && tk.t[0].sep == ':' && (tk.n == 2 || tk.t[1].sep == ':') && (flags & DTPARSE_TIME)) {
      // A time alone.
      if (flags & DTPARSE_NOW_DATE) {
        CurrentFields((flags & DTPARSE_UTC) != 0, &now);
        out->tm_mday = now.tm_mday;
        out->tm_mon = now.tm_mon;
        out->tm_year = now.tm_year;
      }
      out->tm_wday = WeekdayFromDate(out->tm_mday, out->tm_mon + 1, out->tm_year + 1900);
      return 0;
    }
    if (fields < 3 && (flags & DTPARSE_NOW_DATE)) {
      CurrentFields((flags & DTPARSE_UTC) != 0, &now);
      out->tm_mday = now.tm_mday;
      out->tm_mon = now.tm_mon;
      out->tm_year = now.tm_year;
    }
    bool moved_word = false;
    if (tk.Num(1)) {
      if (fields >= 2 && (!tk.Num(0) || (InRange(tk.Value(0), 1, 12) && InRange(tk.Value(1), 13, 31)))) {
        moved_word = !tk.Num(0);
        tk.Swap(0, 1);
      }
      if (!moved_word && fields == 3 && (!tk.Num(2) || (InRange(tk.Value(2), 1, 12) && InRange(tk.Value(1), 13, 31))))
        tk.Swap(1, 2);
    }
    if (fields == 3 && tk.Num(0) && tk.Num(2) && tk.Value(0) > 31 && InRange(tk.Value(2), 1, 31)) tk.Swap(0, 2);
  }

  uint32_t date = 0;
  if (fields >= 1 && (given || tk.Num(0)) && InRange(tk.Value(0), 1, 31)) {
    out->tm_mday = tk.Value(0);
    date |= DTFOUND_DAY;
  }
  if (fields >= 2 && InRange(tk.Value(1), 1, 12)) {
    out->tm_mon = tk.Value(1) - 1;
    date |= DTFOUND_MONTH;
  }
  if (fields == 2 && tk.Value(0) >= 1700 && (date & DTFOUND_MONTH)) {
    out->tm_year = tk.Value(0) - 1900;
    date |= DTFOUND_YEAR;
  }
  if (fields == 3 && (given || tk.Num(2))) {
    int year = tk.Value(2);
    if (year < 30)
      year += 2000;
    else if (year < 100)
      year += 1900;
    out->tm_year = year - 1900;
    if (!tk.t[2].inserted) date |= DTFOUND_YEAR;
  }
  if (!given && !date && fields == 1 && tk.Value(0) >= 1700) {
    out->tm_year = tk.Value(0) - 1900;
    date |= DTFOUND_YEAR;
  }
  out->tm_wday = WeekdayFromDate(out->tm_mday, out->tm_mon + 1, out->tm_year + 1900);
  *found |= date;
  return fields;
}

bool IsSign(unsigned sep) { return sep == '+' || sep == '-'; }
bool IsPoint(unsigned sep) { return sep == '.' || sep == ','; }

// Stage 4: the time from the tokens from place s on.
void ReadTime(Tokens& tk, int s, std::tm* out, uint32_t flags, uint32_t* found) {
  const int digits = flags & DTPARSE_NANOSECONDS    ? 9
                     : flags & DTPARSE_MICROSECONDS ? 6
                     : flags & DTPARSE_MILLISECONDS ? 3
                                                    : 0;
  if ((flags & DTPARSE_INSERT_SECONDS) && tk.n - s >= 3) {
    // Seconds 0 before a zone or offset that follows the minutes.
    if (tk.t[s + 2].kind == kZone || (IsSign(tk.t[s + 1].sep) && tk.Num(s + 2) && tk.t[s + 2].sep != '-')) {
      Token seconds = NumberToken(0, 2);
      seconds.sep = tk.t[s + 1].sep;
      tk.t[s + 1].sep = ':';
      tk.Insert(s + 2, seconds);
    }
    if (digits && s + 3 < tk.n && IsSign(tk.t[s + 2].sep) && (tk.Num(s + 3) || tk.t[s + 3].kind == kZone)) {
      Token fraction = NumberToken(0, 3);
      fraction.sep = tk.t[s + 2].sep;
      tk.t[s + 2].sep = '.';
      tk.Insert(s + 3, fraction);
    }
  }
  const int count = tk.n - s;
  if (count < 3 && (flags & DTPARSE_NOW_TIME)) {
    std::tm now;
    CurrentFields((flags & DTPARSE_UTC) != 0, &now);
    out->tm_hour = now.tm_hour;
    out->tm_min = now.tm_min;
    out->tm_sec = now.tm_sec;
  }
  if (count == 1 && tk.Num(s) && (tk.t[s].length == 4 || tk.t[s].length == 6)) {
    int v = tk.Value(s);
    if (tk.t[s].length == 6) {
      out->tm_sec = v % 100 % 60;
      v /= 100;
      *found |= DTFOUND_SECONDS;
    }
    out->tm_hour = v / 100 % 24;
    out->tm_min = v % 100 % 60;
    *found |= DTFOUND_HOURS | DTFOUND_MINUTES;
    return;
  }

  int places = 0;
  if (tk.Num(s)) {
    out->tm_hour = tk.Value(s) % 24;
    *found |= DTFOUND_HOURS;
    places = 1;
  }
  if (tk.Num(s + 1)) {
    out->tm_min = tk.Value(s + 1) % 60;
    *found |= DTFOUND_MINUTES;
    places = 2;
  }
  if (tk.Num(s + 2)) {
    out->tm_sec = tk.Value(s + 2) % 60;
    *found |= DTFOUND_SECONDS;
    places = 3;
  }
  if (places && s + places < tk.n && tk.t[s + places].kind == kPm && out->tm_hour < 12) out->tm_hour += 12;

  bool fraction = false;
  if (digits && count >= 4 && IsPoint(tk.t[s + 2].sep) && tk.Num(s + 3)) {
    // Scaled to its digits by the leading ones, exact for any length.
    const Token& t = tk.t[s + 3];
    int kept = t.length < kLeadDigits ? t.length : kLeadDigits;
    int v = t.lead;
    for (int k = kept; k > digits; --k) v /= 10;
    for (int k = t.length; k < digits; ++k) v *= 10;
    out->tm_yday = v;
    *found |= DTFOUND_FRACTION;
    fraction = true;
  }

  int o = s + 3;
  if (fraction || (s + 3 < tk.n && IsPoint(tk.t[s + 2].sep) && tk.Num(s + 3) && IsSign(tk.t[s + 3].sep))) o = s + 4;
  if (o >= tk.n || !IsSign(tk.t[o - 1].sep)) return;
  const Token& t = tk.t[o];
  if ((t.kind != kNumber && t.kind != kZone) || t.length < 1 || t.length > 4) return;
  int offset = t.value;
  if (t.kind == kNumber && t.length <= 2) {
    offset *= 100;
    if (t.sep == ':' && tk.Num(o + 1) && tk.t[o + 1].length == 2) offset += tk.Value(o + 1);
  }
  if (tk.t[o - 1].sep == '-') offset = -offset;
  int magnitude = offset < 0 ? -offset : offset;
  if (magnitude > 2399 || magnitude % 100 >= 60) return;
  *found |= DTFOUND_ZONE;
  if (flags & DTPARSE_STORE_OFFSET) {
    int seconds = (magnitude / 100 * 3600 + magnitude % 100 * 60) * (offset < 0 ? -1 : 1);
    out->tm_wday = (int)(((uint32_t)seconds << 8) | ((uint32_t)out->tm_wday & 0xFF));
  }
}

template <class Char>
uint32_t ParseDateTime(const Char* text, std::tm* out, uint32_t flags) {
  memset(out, 0, sizeof *out);
  out->tm_mday = 1;
  out->tm_year = 70;
  out->tm_wday = 4;  // 1970-01-01 was a Thursday
  if (!text) return 0;
  Tokens tk;
  ReadTokens(text, tk);

  // Trailing words go, but for a month that ends "8 Dec" or "Mon 8 Dec".
  while (tk.n > 0 && tk.t[tk.n - 1].kind == kWord) {
    if ((flags & DTPARSE_DATE) && ((tk.n == 2 && tk.Num(0)) || (tk.n == 3 && tk.t[0].kind == kWord && tk.Num(1))))
      break;
    --tk.n;
  }

  uint32_t found = 0;
  int fields = 0;
  if (flags & DTPARSE_DATE) {
    fields = ReadDate(tk, out, flags, sizeof(Char) == 1, &found);
    if (fields < 0) return 0;
  }
  if (flags & DTPARSE_TIME) ReadTime(tk, fields, out, flags, &found);
  return found;
}

template <class Char>
uint32_t DateTextToTime(const Char* text, uint32_t flags, uint32_t* found_out) {
  std::tm tm;
  uint32_t found = ParseDateTime(text, &tm, flags | DTPARSE_STORE_OFFSET);
  if (found_out) *found_out = found;
  const int offset = found & DTFOUND_ZONE ? tm.tm_wday >> 8 : 0;
  // The first day counts from the second, so that a local time east of UTC
  // converts.
  const bool first_day = tm.tm_year == 70 && tm.tm_mon == 0 && tm.tm_mday == 1;
  if (first_day) tm.tm_mday = 2;
  int64_t seconds;
  if ((flags & DTPARSE_UTC) || (found & DTFOUND_ZONE)) {
    // The fields read as UTC, less the offset the text gives.
    if (!UtcSecondsFromFields(tm, &seconds)) return 0;
    seconds -= offset;
  } else {
    tm.tm_isdst = flags & DTPARSE_STANDARD_TIME ? 0 : -1;
    if (!LocalSecondsFromFields(tm, &seconds)) return 0;
  }
  if (first_day) seconds -= 86400;
  if (seconds < 0 || seconds > (int64_t)UINT32_MAX) return 0;
  return (uint32_t)seconds;
}

}  // namespace

void SetDateClock(DateClock clock) { g_clock = clock ? clock : RuntimeClock; }

uint32_t ParseDateTimeA(const char* text, std::tm* out, uint32_t flags) { return ParseDateTime(text, out, flags); }
uint32_t ParseDateTimeW(const wchar_t* text, std::tm* out, uint32_t flags) { return ParseDateTime(text, out, flags); }

uint32_t ParseDateTimeNA(const char* text, std::tm* out, uint32_t flags, int n) {
  char copy[kCountedA];
  if (text) CopyBoundedCountA(copy, text, kCountedA, n < 0 ? 0 : n);
  return ParseDateTime(text ? copy : nullptr, out, flags);
}

uint32_t ParseDateTimeNW(const wchar_t* text, std::tm* out, uint32_t flags, int n) {
  wchar_t copy[kCountedW];
  if (text) CopyBoundedCountW(copy, text, kCountedW, n < 0 ? 0 : n);
  return ParseDateTime(text ? copy : nullptr, out, flags);
}

uint32_t DateTextToTimeA(const char* text, uint32_t flags, uint32_t* found) {
  return DateTextToTime(text, flags, found);
}
uint32_t DateTextToTimeW(const wchar_t* text, uint32_t flags, uint32_t* found) {
  return DateTextToTime(text, flags, found);
}

uint32_t DateTextToTimeNA(const char* text, uint32_t flags, int n, uint32_t* found) {
  char copy[kCountedA];
  if (text) CopyBoundedCountA(copy, text, kCountedA, n < 0 ? 0 : n);
  return DateTextToTime(text ? copy : nullptr, flags, found);
}

uint32_t DateTextToTimeNW(const wchar_t* text, uint32_t flags, int n, uint32_t* found) {
  wchar_t copy[kCountedW];
  if (text) CopyBoundedCountW(copy, text, kCountedW, n < 0 ? 0 : n);
  return DateTextToTime(text ? copy : nullptr, flags, found);
}
