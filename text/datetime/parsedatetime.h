// Free-form date and time text read into a broken-down time and into
// seconds since 1970.
#pragma once

#include <cstdint>
#include <ctime>

// Reads the text by the DTPARSE_ flags of text/datetime/datetimeflags.h into
// out, which starts as 1970-01-01 00:00:00. Returns the DTFOUND_ bits of the
// fields found. Beyond their usual meaning, tm_yday holds the fraction of a
// second and, with DTPARSE_STORE_OFFSET, tm_wday holds the zone offset in
// seconds shifted left by 8 above the weekday. A null text reads as empty.
uint32_t ParseDateTimeA(const char* text, std::tm* out, uint32_t flags);
// The same over 16-bit text and the 16-bit month names; the time-stamp order
// (weekday, month, day, time, year) is not recognised.
uint32_t ParseDateTimeW(const wchar_t* text, std::tm* out, uint32_t flags);
// At most n characters of the text (and never more than 63 or 127).
uint32_t ParseDateTimeNA(const char* text, std::tm* out, uint32_t flags, int n);
uint32_t ParseDateTimeNW(const wchar_t* text, std::tm* out, uint32_t flags, int n);

// Seconds since 1970-01-01 00:00 UTC of the text, read by the flags (an
// offset the text gives counts in every case); 0 when the time is before
// 1970, after 2106-02-07 06:28:15 or cannot be converted. found, when given,
// receives the DTFOUND_ bits.
uint32_t DateTextToTimeA(const char* text, uint32_t flags, uint32_t* found = nullptr);
uint32_t DateTextToTimeW(const wchar_t* text, uint32_t flags, uint32_t* found = nullptr);
uint32_t DateTextToTimeNA(const char* text, uint32_t flags, int n, uint32_t* found = nullptr);
uint32_t DateTextToTimeNW(const wchar_t* text, uint32_t flags, int n, uint32_t* found = nullptr);

// The clock read for DTPARSE_NOW_TIME and DTPARSE_NOW_DATE, seconds since
// 1970; null restores the runtime's clock.
typedef int64_t (*DateClock)();
void SetDateClock(DateClock clock);
