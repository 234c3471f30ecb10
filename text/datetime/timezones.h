// Time-zone names the date parser knows, with their offsets.
#pragma once

#include <cstdint>

constexpr int TIME_ZONE_NAME_SIZE = 7;
constexpr int TIME_ZONE_COUNT = 40;

// 10 bytes a record: the name upper case, padded with zeros; the offset as
// hours * 100 + minutes.
#pragma pack(push, 1)
struct TimeZoneEntry {
  uint8_t length;
  char name[TIME_ZONE_NAME_SIZE];
  int16_t offset;
};
#pragma pack(pop)
static_assert(sizeof(TimeZoneEntry) == 10, "time-zone records are 10 bytes");

// Sorted by length, then by name: the lookup searches it by halves.
extern const TimeZoneEntry TimeZoneTable[TIME_ZONE_COUNT];

constexpr int TIME_ZONE_UNKNOWN = -1;

// The offset (hours * 100 + minutes) of the name of length characters, each
// step bytes after the one before (1 for 8-bit text, 2 for the low bytes of
// 16-bit text); letters match in either case. TIME_ZONE_UNKNOWN when the
// table has no such name.
int LookupTimeZone(const void* name, int length, int step);
