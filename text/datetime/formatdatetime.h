// A time value written as date and time text.
#pragma once

#include <cstdint>

// Writes the time (seconds since 1970, unsigned: 2038-2106 included) by the
// DTFORMAT_ flags of text/datetime/datetimeflags.h into dest, which must hold
// DTFORMAT_MAX_LENGTH characters and a terminator. Returns the characters
// written, terminator not counted.
int FormatDateTimeA(char* dest, uint32_t time, uint32_t flags);
// The same in 16-bit units, with the replaceable 16-bit names.
int FormatDateTimeW(wchar_t* dest, uint32_t time, uint32_t flags);

// The broken-down UTC time of seconds since 1970 (any sign), by the calendar
// alone.
struct tm;
void UtcTimeFromSeconds(int64_t seconds, struct tm* out);
