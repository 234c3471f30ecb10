// File times as FILETIME (100 ns since 1601) and as Unix seconds, and their
// compares under four modes.
#pragma once

#include <windows.h>

#include <cstdint>

// 100-ns units between 1601-01-01 and 1970-01-01, and in one second.
const int64_t FILETIME_UNIX_EPOCH = 116444736000000000LL;
const int64_t FILETIME_UNITS_PER_SECOND = 10000000;

// Conversions: 1 on success, 0 on failure; the output is always written.
// Before 1970 gives 0; past the output's range its largest value (0x7FFFFFFF
// signed, 0xFFFFFFFE unsigned).
int FileTimeToUnixTime64(const FILETIME* pft, int64_t* pSeconds);
int FileTimeToUnixTime32Signed(const FILETIME* pft, int32_t* pSeconds);
int FileTimeToUnixTime32(const FILETIME* pft, uint32_t* pSeconds);
// Seconds of 0 or less, or past the FILETIME range, give the FILETIME 0 and 0.
int UnixTimeToFileTime(int64_t seconds, FILETIME* pft);

// Compare modes; the compares give 1 when a is later, -1 when earlier, 0
// when they count as equal. Modes above FILETIME_CMP_HOUR_TOLERANT give 0.
enum FileTimeCompareMode {
  FILETIME_CMP_EXACT = 0,
  FILETIME_CMP_SECONDS = 1,
  FILETIME_CMP_EVEN_SECONDS = 2,
  FILETIME_CMP_HOUR_TOLERANT = 3,  // two-second units, equal also one hour apart
};
int CompareFileTimes(const FILETIME* a, const FILETIME* b, unsigned mode);
int CompareUnixTimeToFileTime(int64_t a, const FILETIME* b, unsigned mode);
int CompareFileTimeToUnixTime(const FILETIME* a, int64_t b, unsigned mode);
int CompareUnixTimes(int64_t a, int64_t b, unsigned mode);

// Last-write times of files; a file that cannot be queried has the time 0.
int CompareFileTimesByNameA(const char* a, const char* b, unsigned mode);
int CompareFileTimesByNameW(const wchar_t* a, const wchar_t* b, unsigned mode);
int CompareFileTimeToFileA(const FILETIME* a, const char* b, unsigned mode);
int CompareFileTimeToFileW(const FILETIME* a, const wchar_t* b, unsigned mode);
int CompareUnixTimeToFileA(int64_t a, const char* b, unsigned mode);
int CompareUnixTimeToFileW(int64_t a, const wchar_t* b, unsigned mode);

// Which time GetFileUnixTime reads.
enum FileTimeWhich {
  FILETIME_LAST_WRITE = 0,
  FILETIME_CREATION = 1,
  FILETIME_LAST_ACCESS = 2,
};
// The time in Unix seconds; 0 on any failure.
uint32_t GetFileUnixTimeA(const char* pszName, int which);
uint32_t GetFileUnixTimeW(const wchar_t* pszName, int which);
