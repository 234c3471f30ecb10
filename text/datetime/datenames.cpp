#include "text/datetime/datenames.h"

#include <cstring>
#include <type_traits>

// "Mär." in code page 1252, written out: the native build has no
// -fexec-charset.
const char GermanMonthNamesA[12 * MONTH_NAME_LENGTH + 1] = "Jan.Feb.M\xE4r.Apr.Mai.Jun.Jul.Aug.Sep.Okt.Nov.Dez.";
const char EnglishMonthNamesA[12 * MONTH_NAME_LENGTH + 1] = "Jan.Feb.Mar.Apr.May.Jun.Jul.Aug.Sep.Oct.Nov.Dec.";
const char WeekdayNamesA[7 * WEEKDAY_NAME_LENGTH + 1] = "So Mo Di Mi Do Fr Sa ";
const wchar_t EnglishMonthNamesW[12 * MONTH_NAME_LENGTH + 1] = L"Jan.Feb.Mar.Apr.May.Jun.Jul.Aug.Sep.Oct.Nov.Dec.";
const char CenturyPrefixes[2][3] = {"19", "20"};

namespace {

// The 16-bit German March is "Mar.".
wchar_t g_german_months_w[12 * MONTH_NAME_LENGTH + 1] = L"Jan.Feb.Mar.Apr.Mai.Jun.Jul.Aug.Sep.Okt.Nov.Dez.";
wchar_t g_weekdays_w[7 * WEEKDAY_NAME_LENGTH + 1] = L"So Mo Di Mi Do Fr Sa ";

template <class Char>
unsigned FoldAscii(Char c) {
  unsigned u = (unsigned)(typename std::make_unsigned<Char>::type)c;
  return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
}

template <class Char>
int MatchMonthName(const Char* text, const Char* german, const Char* english) {
  while (*text == ' ') ++text;
  bool candidate[12];
  int left = 12;
  for (int m = 0; m < 12; ++m) candidate[m] = true;
  // Matching stops at one candidate, so a text that ends early (its NUL
  // fits no name) still leaves one.
  for (int pos = 0; pos < 3 && left > 1; ++pos) {
    unsigned c = FoldAscii(text[pos]);
    for (int m = 11; m >= 0 && left > 1; --m) {
      if (!candidate[m]) continue;
      if (c == FoldAscii(german[m * MONTH_NAME_LENGTH + pos]) || c == FoldAscii(english[m * MONTH_NAME_LENGTH + pos]))
        continue;
      candidate[m] = false;
      --left;
    }
  }
  for (int m = 11; m >= 0; --m)
    if (candidate[m]) return m + 1;
  return 1;
}

}  // namespace

const wchar_t* GermanMonthNamesW() { return g_german_months_w; }
const wchar_t* WeekdayNamesW() { return g_weekdays_w; }

void SetDateNameTables(const wchar_t* months, const wchar_t* weekdays) {
  if (months) memcpy(g_german_months_w, months, sizeof(wchar_t) * 12 * MONTH_NAME_LENGTH);
  if (weekdays) memcpy(g_weekdays_w, weekdays, sizeof(wchar_t) * 7 * WEEKDAY_NAME_LENGTH);
}

int MatchMonthNameA(const char* text) { return MatchMonthName(text, GermanMonthNamesA, EnglishMonthNamesA); }
int MatchMonthNameW(const wchar_t* text) { return MatchMonthName(text, g_german_months_w, EnglishMonthNamesW); }
