// The date and time text routines. The input is three bytes of parser flags,
// a count byte, four bytes of a time value, four bytes of formatter flags and
// the text (terminated, in a block of exactly its size). Found fields lie in
// their ranges in both widths and the counted forms; formatted text fits 31
// characters and a terminator; the time's day-first text with seconds (UTC)
// reads back to the time. The zone is UTC, the clock fixed.
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "fuzz_util.h"
#include "text/datetime/datetimeflags.h"
#include "text/datetime/formatdatetime.h"
#include "text/datetime/parsedatetime.h"

namespace {

int64_t FixedClock() { return 1796754615; }

uint32_t TakeWord(const uint8_t*& data, size_t& size, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= (uint32_t)TakeByte(data, size) << (8 * i);
  return v;
}

void CheckFields(const std::tm& tm, uint32_t found, uint32_t flags) {
  if (found & DTFOUND_DAY) FUZZ_CHECK(tm.tm_mday >= 1 && tm.tm_mday <= 31);
  if (found & DTFOUND_MONTH) FUZZ_CHECK(tm.tm_mon >= 0 && tm.tm_mon <= 11);
  if (found & DTFOUND_HOURS) FUZZ_CHECK(tm.tm_hour >= 0 && tm.tm_hour <= 23);
  if (found & DTFOUND_MINUTES) FUZZ_CHECK(tm.tm_min >= 0 && tm.tm_min <= 59);
  if (found & DTFOUND_SECONDS) FUZZ_CHECK(tm.tm_sec >= 0 && tm.tm_sec <= 59);
  if (found & DTFOUND_FRACTION) FUZZ_CHECK(tm.tm_yday >= 0 && tm.tm_yday <= 999999999);
  FUZZ_CHECK((tm.tm_wday & 0xFF) <= 6);
  int offset = tm.tm_wday >> 8;
  FUZZ_CHECK(offset >= -(23 * 3600 + 59 * 60) && offset <= 23 * 3600 + 59 * 60);
  if (!(found & DTFOUND_ZONE) || !(flags & DTPARSE_STORE_OFFSET)) FUZZ_CHECK(offset == 0);
}

template <class Char>
void CheckFormat(uint32_t time, uint32_t flags) {
  Exact<Char> out(DTFORMAT_MAX_LENGTH + 1);
  int n = sizeof(Char) == 1 ? FormatDateTimeA((char*)out.get(), time, flags)
                            : FormatDateTimeW((wchar_t*)out.get(), time, flags);
  FUZZ_CHECK(n >= 0 && n <= DTFORMAT_MAX_LENGTH);
  if (!(flags & DTFORMAT_NO_TERMINATOR)) FUZZ_CHECK(out[n] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("TZ", "UTC0", 1);
  tzset();
  SetDateClock(FixedClock);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  const uint32_t flags = TakeWord(data, size, 3);
  const int n = TakeByte(data, size);
  const uint32_t time = TakeWord(data, size, 4);
  const uint32_t formatFlags = TakeWord(data, size, 4);
  Exact<char> text = Terminated<char>(data, size);
  Exact<wchar_t> wide = Terminated<wchar_t>(data, size);

  std::tm tm;
  CheckFields(tm, ParseDateTimeA(text.get(), &tm, flags), flags);
  CheckFields(tm, ParseDateTimeW(wide.get(), &tm, flags), flags);
  CheckFields(tm, ParseDateTimeNA(text.get(), &tm, flags, n), flags);
  CheckFields(tm, ParseDateTimeNW(wide.get(), &tm, flags, n), flags);
  // Counted text needs no terminator.
  Exact<char> bare((const char*)data, size);
  Exact<wchar_t> bareW((const char*)data, size);
  const int count = n < (int)size ? n : (int)size;
  CheckFields(tm, ParseDateTimeNA(bare.get(), &tm, flags, count), flags);
  CheckFields(tm, ParseDateTimeNW(bareW.get(), &tm, flags, count), flags);
  uint32_t found = 0;
  DateTextToTimeA(text.get(), flags, &found);
  DateTextToTimeW(wide.get(), flags, &found);
  DateTextToTimeNA(bare.get(), flags, count, &found);
  DateTextToTimeNW(bareW.get(), flags, count, &found);

  CheckFormat<char>(time, formatFlags);
  CheckFormat<wchar_t>(time, formatFlags);
  const uint32_t kReadable = DTFORMAT_UTC | DTFORMAT_SECONDS | DTFORMAT_CENTURY | DTFORMAT_DAY_FIRST | DTFORMAT_TIME;
  char back[DTFORMAT_MAX_LENGTH + 1];
  wchar_t backW[DTFORMAT_MAX_LENGTH + 1];
  FormatDateTimeA(back, time, kReadable);
  FormatDateTimeW(backW, time, kReadable);
  FUZZ_CHECK(DateTextToTimeA(back, DTPARSE_DATE | DTPARSE_TIME | DTPARSE_UTC) == time);
  FUZZ_CHECK(DateTextToTimeW(backW, DTPARSE_DATE | DTPARSE_TIME | DTPARSE_UTC) == time);
  return 0;
}
