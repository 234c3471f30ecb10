// Local time of a 64-bit count of seconds since 1970, through the runtime.
#pragma once

#include <cstdint>
#include <ctime>

// False when the runtime cannot convert the time (negative ones included).
bool LocalTime64(int64_t seconds, std::tm* out);
