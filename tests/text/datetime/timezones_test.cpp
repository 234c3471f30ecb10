#include "text/datetime/timezones.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The search by halves needs the order by length, then by name; every name
// upper case and padded with zeros.
TEST(TimeZones, TableOrder) {
  for (int i = 0; i < TIME_ZONE_COUNT; ++i) {
    const TimeZoneEntry& e = TimeZoneTable[i];
    ASSERT_GE(e.length, 2);
    ASSERT_LE(e.length, 5);
    for (int k = 0; k < TIME_ZONE_NAME_SIZE; ++k) {
      if (k < e.length) {
        EXPECT_TRUE(e.name[k] >= 'A' && e.name[k] <= 'Z') << e.name;
      } else {
        EXPECT_EQ(e.name[k], 0) << e.name;
      }
    }
    if (i > 0) {
      const TimeZoneEntry& p = TimeZoneTable[i - 1];
      EXPECT_TRUE(p.length < e.length || (p.length == e.length && memcmp(p.name, e.name, e.length) < 0)) << e.name;
    }
  }
}

// Every name is found in both widths and either case.
TEST(TimeZones, FindsEveryName) {
  for (const TimeZoneEntry& e : TimeZoneTable) {
    char lower[8] = {};
    uint16_t wide[8] = {};
    for (int k = 0; k < e.length; ++k) {
      lower[k] = (char)(e.name[k] + ('a' - 'A'));
      wide[k] = (uint16_t)(unsigned char)(k % 2 ? lower[k] : e.name[k]);
    }
    EXPECT_EQ(LookupTimeZone(e.name, e.length, 1), e.offset) << e.name;
    EXPECT_EQ(LookupTimeZone(lower, e.length, 1), e.offset) << e.name;
    EXPECT_EQ(LookupTimeZone(wide, e.length, 2), e.offset) << e.name;
  }
}

TEST(TimeZones, Offsets) {
  EXPECT_EQ(LookupTimeZone("MESZ", 4, 1), 200);
  EXPECT_EQ(LookupTimeZone("est", 3, 1), -500);
  EXPECT_EQ(LookupTimeZone("ACWST", 5, 1), 845);
  EXPECT_EQ(LookupTimeZone("HST", 3, 1), -1000);
  EXPECT_EQ(LookupTimeZone("Z", 1, 1), TIME_ZONE_UNKNOWN);  // the parser handles a lone Z itself
}

// Unknown names, wrong lengths and near misses are not found; a name is only
// read within its length.
TEST(TimeZones, NotFound) {
  const char* kNames[] = {"XYZ", "GM", "GMTX", "CES", "ACWSTX", "W@", "G\xCDT", "1GMT", "", "EST "};
  for (const char* name : kNames) EXPECT_EQ(LookupTimeZone(name, (int)strlen(name), 1), TIME_ZONE_UNKNOWN) << name;
  EXPECT_EQ(LookupTimeZone("GMTXYZ", 3, 1), 0);
  EXPECT_EQ(LookupTimeZone("GMT", 0, 1), TIME_ZONE_UNKNOWN);
  EXPECT_EQ(LookupTimeZone("GMT", -3, 1), TIME_ZONE_UNKNOWN);
  EXPECT_EQ(LookupTimeZone(nullptr, 3, 1), TIME_ZONE_UNKNOWN);
  // A 16-bit unit above 255 is compared by its low byte.
  const uint16_t wide[] = {0x147, 'M', 'T'};
  EXPECT_EQ(LookupTimeZone(wide, 3, 2), 0);
}

}  // namespace
