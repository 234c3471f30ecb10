#include "text/datetime/timezones.h"

const TimeZoneEntry TimeZoneTable[TIME_ZONE_COUNT] = {
    {2, "WT", 0},      {3, "ADT", 400},   {3, "AST", 300},   {3, "CET", 100},   {3, "CST", -600},  {3, "EAT", 300},
    {3, "EDT", -400},  {3, "EST", -500},  {3, "FET", 300},   {3, "GMT", 0},     {3, "HST", -1000}, {3, "JST", 900},
    {3, "MDT", -600},  {3, "MEZ", 100},   {3, "MSD", 400},   {3, "MSK", 300},   {3, "MST", -700},  {3, "OEZ", 200},
    {3, "PDT", -700},  {3, "PST", -800},  {3, "UTC", 0},     {3, "WAT", 100},   {3, "WST", 100},   {4, "ACDT", 1030},
    {4, "ACTS", 930},  {4, "AEDT", 1100}, {4, "AEST", 1000}, {4, "AKDT", -800}, {4, "AKST", -900}, {4, "AWDT", 900},
    {4, "AWST", 800},  {4, "CAST", 800},  {4, "CEST", 200},  {4, "EAST", -600}, {4, "MESZ", 200},  {4, "NZDT", 1300},
    {4, "NZST", 1200}, {4, "OESZ", 300},  {4, "WAST", 200},  {5, "ACWST", 845},
};

int LookupTimeZone(const void* name, int length, int step) {
  if (!name || length < 1 || length > TIME_ZONE_NAME_SIZE) return TIME_ZONE_UNKNOWN;
  const unsigned char* text = (const unsigned char*)name;
  int low = 0, high = TIME_ZONE_COUNT - 1;
  while (low <= high) {
    int mid = (low + high) / 2;
    const TimeZoneEntry& e = TimeZoneTable[mid];
    int order = length - e.length;
    for (int i = 0; order == 0 && i < length; ++i) order = (int)(text[i * step] & ~0x20) - (unsigned char)e.name[i];
    if (order == 0) return e.offset;
    if (order < 0)
      high = mid - 1;
    else
      low = mid + 1;
  }
  return TIME_ZONE_UNKNOWN;
}
