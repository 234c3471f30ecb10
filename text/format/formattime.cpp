#include "text/format/formattime.h"

#include "text/format/formatcore.h"
#include "text/format/formatdigits.h"
#include "text/format/localtime64.h"

namespace {

const int kMaxSeparators = 256;

template <class Ch>
int PutTwo(Ch* dest, int value) {
  dest[0] = (Ch)('0' + value / 10 % 10);
  dest[1] = (Ch)('0' + value % 10);
  return 2;
}

template <class Ch>
int TimeValue(uint32_t low, uint32_t high, Ch* dest, uint32_t flags, int precision) {
  int p = 1;
  if (flags & FMT_PRECISION) p = precision > kMaxSeparators ? kMaxSeparators : precision < 0 ? 1 : precision;
  int64_t seconds = (flags & FMT_LEN_MASK) == FMT_LEN_64 ? (int64_t)((uint64_t)high << 32 | low) : (int32_t)low;
  std::tm tm;
  if (!LocalTime64(seconds, &tm)) {
    const char* text = "(null)";
    for (int i = 0; i < 6; ++i) dest[i] = text[i];
    return 6;
  }
  int n = 0;
  if (flags & FMT_DATE) {
    if (flags & FMT_ALT) {
      n += FormatDec32((uint32_t)tm.tm_mday, dest + n);
      dest[n++] = '.';
      n += FormatDec32((uint32_t)tm.tm_mon + 1, dest + n);
      dest[n++] = '.';
      n += FormatDec32((uint32_t)tm.tm_year + 1900, dest + n);
    } else {
      n += FormatDec32((uint32_t)tm.tm_year + 1900, dest + n);
      dest[n++] = '-';
      n += PutTwo(dest + n, tm.tm_mon + 1);
      dest[n++] = '-';
      n += PutTwo(dest + n, tm.tm_mday);
    }
    if (!p) return n;
    Ch sep = (flags & FMT_SPACE) ? '_' : ' ';
    for (int i = 0; i < p; ++i) dest[n++] = sep;
  }
  bool colons = !(flags & FMT_ZERO);
  n += PutTwo(dest + n, tm.tm_hour);
  if (colons) dest[n++] = ':';
  n += PutTwo(dest + n, tm.tm_min);
  if (!(flags & FMT_PLUS)) {
    if (colons) dest[n++] = ':';
    n += PutTwo(dest + n, tm.tm_sec);
  }
  return n;
}

}  // namespace

int FormatTimeValueA(uint32_t low, uint32_t high, char* dest, uint32_t flags, int precision) {
  return TimeValue(low, high, dest, flags, precision);
}
int FormatTimeValueW(uint32_t low, uint32_t high, wchar_t* dest, uint32_t flags, int precision) {
  return TimeValue(low, high, dest, flags, precision);
}
