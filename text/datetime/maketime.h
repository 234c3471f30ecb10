// Broken-down time to seconds since 1970 through the runtime, 64-bit: the
// 32-bit time_t of the Windows runtime ends in 2038.
#pragma once

#include <cstdint>
#include <ctime>

// The fields read as UTC; out-of-range fields are normalised. False when the
// runtime cannot convert them.
bool UtcSecondsFromFields(const std::tm& fields, int64_t* seconds);
// The fields read as local time, tm_isdst as for mktime.
bool LocalSecondsFromFields(const std::tm& fields, int64_t* seconds);
