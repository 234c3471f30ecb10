// Flag words of the date and time text routines.
#pragma once

#include <cstdint>

// ParseDateTimeA and its twins, DateTextToTimeA and its twins.
constexpr uint32_t DTPARSE_TIME = 0x2;                 // read a time
constexpr uint32_t DTPARSE_DATE = 0x4;                 // read a date
constexpr uint32_t DTPARSE_NOW_TIME = 0x80;            // a time not given fully comes from the clock
constexpr uint32_t DTPARSE_UTC = 0x100;                // the clock read as UTC; fields read as UTC
constexpr uint32_t DTPARSE_STORE_OFFSET = 0x200;       // zone offset << 8 into the weekday field
constexpr uint32_t DTPARSE_KEEP_LEADING_WORD = 0x400;  // a leading word is never a weekday
constexpr uint32_t DTPARSE_INSERT_SECONDS = 0x800;     // missing seconds or fraction before a zone
constexpr uint32_t DTPARSE_ORDER_MASK = 0x3000;        // with DTPARSE_ORDER_GIVEN: the date order
constexpr int DTPARSE_ORDER_SHIFT = 12;
constexpr uint32_t DTPARSE_ORDER_DMY = 0x0000;
constexpr uint32_t DTPARSE_ORDER_MDY = 0x1000;
constexpr uint32_t DTPARSE_ORDER_YMD = 0x2000;
constexpr uint32_t DTPARSE_ORDER_DAY_MONTH_ONE = 0x3000;  // day and month from the first field
constexpr uint32_t DTPARSE_ORDER_SWAP_23 = 0x4000;        // second and third field swapped
constexpr uint32_t DTPARSE_ORDER_GIVEN = 0x8000;          // order from the bits above, not guessed
constexpr uint32_t DTPARSE_MILLISECONDS = 0x10000;        // fraction wanted; the highest wins
constexpr uint32_t DTPARSE_MICROSECONDS = 0x20000;
constexpr uint32_t DTPARSE_NANOSECONDS = 0x40000;
constexpr uint32_t DTPARSE_FRACTION_MASK = 0x70000;
constexpr uint32_t DTPARSE_STANDARD_TIME = 0x80000;  // DateTextToTime: no daylight saving
constexpr uint32_t DTPARSE_NOW_DATE = 0x100000;      // date fields not given come from the clock

// The parser's result word: the fields found.
constexpr uint32_t DTFOUND_FRACTION = 0x1;
constexpr uint32_t DTFOUND_SECONDS = 0x2;
constexpr uint32_t DTFOUND_MINUTES = 0x4;
constexpr uint32_t DTFOUND_HOURS = 0x8;
constexpr uint32_t DTFOUND_DAY = 0x10;
constexpr uint32_t DTFOUND_MONTH = 0x20;
constexpr uint32_t DTFOUND_YEAR = 0x40;
constexpr uint32_t DTFOUND_ZONE = 0x80;

// FormatDateTimeA and FormatDateTimeW.
constexpr uint32_t DTFORMAT_WEEKDAY = 0x1;          // weekday name first
constexpr uint32_t DTFORMAT_TIME = 0x2;             // hh:mm
constexpr uint32_t DTFORMAT_DAY_FIRST = 0x4;        // dd.mm.yy (wins over DTFORMAT_YEAR_FIRST)
constexpr uint32_t DTFORMAT_MONTH_NAME = 0x8;       // month by name
constexpr uint32_t DTFORMAT_CENTURY = 0x10;         // four-digit year
constexpr uint32_t DTFORMAT_SECONDS = 0x20;         // with DTFORMAT_TIME
constexpr uint32_t DTFORMAT_YEAR_FIRST = 0x40;      // yy-mm-dd
constexpr uint32_t DTFORMAT_ZONE = 0x80;            // with DTFORMAT_TIME: offset after the time
constexpr uint32_t DTFORMAT_UTC = 0x100;            // gmtime instead of localtime
constexpr uint32_t DTFORMAT_WEEKDAY_COMMA = 0x200;  // with DTFORMAT_WEEKDAY: "," and fill
constexpr uint32_t DTFORMAT_TIME_LEAD = 0x400;      // with DTFORMAT_TIME: character in bits 24-31 first
constexpr int DTFORMAT_TIME_LEAD_SHIFT = 24;
constexpr uint32_t DTFORMAT_TIME_PLAIN = 0x1000;       // no separator inside the time
constexpr uint32_t DTFORMAT_NO_FILL = 0x2000;          // no fill character after the date
constexpr uint32_t DTFORMAT_TIME_UNDERSCORE = 0x4000;  // "_" as time separator
constexpr uint32_t DTFORMAT_FILL_UNDERSCORE = 0x8000;  // "_" as fill character
constexpr uint32_t DTFORMAT_DATE_SLASH = 0x10000;      // "/" as date separator
constexpr uint32_t DTFORMAT_TIME_DASH = 0x20000;       // "-" as time separator (wins)
constexpr uint32_t DTFORMAT_NO_TERMINATOR = 0x40000;
constexpr uint32_t DTFORMAT_STANDARD_UTC = 0x80000;  // the zone offset added, then read as UTC

// The longest formatted text, terminator not counted.
constexpr int DTFORMAT_MAX_LENGTH = 31;
