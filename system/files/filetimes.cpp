#include "system/files/filetimes.h"

#include <initializer_list>

#include "system/files/filetwins.h"

namespace {

int64_t FileTimeValue(const FILETIME* pft) {
  return (int64_t)(((uint64_t)pft->dwHighDateTime << 32) | pft->dwLowDateTime);
}

void SetFileTimeValue(FILETIME* pft, uint64_t value) {
  pft->dwLowDateTime = (DWORD)value;
  pft->dwHighDateTime = (DWORD)(value >> 32);
}

// One operand of a compare: a FILETIME value or Unix seconds.
struct TimeOperand {
  bool isFileTime;
  int64_t value;
};

int Sign(int64_t a, int64_t b) { return a > b ? 1 : a < b ? -1 : 0; }

int CompareOperands(TimeOperand a, TimeOperand b, unsigned mode) {
  if (mode > FILETIME_CMP_HOUR_TOLERANT) return 0;
  if (mode == FILETIME_CMP_EXACT) {
    FILETIME ft;
    if (a.isFileTime != b.isFileTime) {
      TimeOperand& unix = a.isFileTime ? b : a;
      UnixTimeToFileTime(unix.value, &ft);
      unix.value = FileTimeValue(&ft);
    }
    return Sign(a.value, b.value);
  }
  for (TimeOperand* op : {&a, &b}) {
    if (op->isFileTime) {
      FILETIME ft;
      SetFileTimeValue(&ft, (uint64_t)op->value);
      FileTimeToUnixTime64(&ft, &op->value);
    }
  }
  if (mode == FILETIME_CMP_EVEN_SECONDS) {
    a.value &= ~(int64_t)1;
    b.value &= ~(int64_t)1;
    return Sign(a.value, b.value);
  }
  if (mode == FILETIME_CMP_HOUR_TOLERANT) {
    a.value >>= 1;
    b.value >>= 1;
    int64_t d = a.value - b.value;
    if ((d >= 1799 && d <= 1801) || (d >= -1801 && d <= -1799)) return 0;
  }
  return Sign(a.value, b.value);
}

TimeOperand FromFileTime(const FILETIME* pft) { return TimeOperand{true, FileTimeValue(pft)}; }
TimeOperand FromUnix(int64_t seconds) { return TimeOperand{false, seconds}; }

template <class C>
TimeOperand LastWriteOf(const C* name) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!name || !wintwins::FileAttributesEx(name, &data)) return TimeOperand{true, 0};
  return FromFileTime(&data.ftLastWriteTime);
}

template <class C>
uint32_t FileUnixTime(const C* name, int which) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!name || !wintwins::FileAttributesEx(name, &data)) return 0;
  const FILETIME* pft = which == FILETIME_LAST_WRITE    ? &data.ftLastWriteTime
                        : which == FILETIME_CREATION    ? &data.ftCreationTime
                        : which == FILETIME_LAST_ACCESS ? &data.ftLastAccessTime
                                                        : nullptr;
  uint32_t seconds = 0;
  if (!pft || !FileTimeToUnixTime32(pft, &seconds)) return 0;
  return seconds;
}

}  // namespace

int FileTimeToUnixTime64(const FILETIME* pft, int64_t* pSeconds) {
  int64_t d = (int64_t)((uint64_t)FileTimeValue(pft) - (uint64_t)FILETIME_UNIX_EPOCH);
  if (d < 0) {
    *pSeconds = 0;
    return 0;
  }
  *pSeconds = d / FILETIME_UNITS_PER_SECOND;
  return 1;
}

int FileTimeToUnixTime32Signed(const FILETIME* pft, int32_t* pSeconds) {
  int64_t d = (int64_t)((uint64_t)FileTimeValue(pft) - (uint64_t)FILETIME_UNIX_EPOCH);
  if (d < 0) {
    *pSeconds = 0;
    return 0;
  }
  int64_t q = d / FILETIME_UNITS_PER_SECOND;
  if (q > 0x7FFFFFFF) {
    *pSeconds = 0x7FFFFFFF;
    return 0;
  }
  *pSeconds = (int32_t)q;
  return 1;
}

int FileTimeToUnixTime32(const FILETIME* pft, uint32_t* pSeconds) {
  int64_t d = (int64_t)((uint64_t)FileTimeValue(pft) - (uint64_t)FILETIME_UNIX_EPOCH);
  if (d < 0) {
    *pSeconds = 0;
    return 0;
  }
  if ((uint64_t)d >> 32 >= 0x0098967F) {
    *pSeconds = 0xFFFFFFFE;
    return 0;
  }
  *pSeconds = (uint32_t)(d / FILETIME_UNITS_PER_SECOND);
  return 1;
}

int UnixTimeToFileTime(int64_t seconds, FILETIME* pft) {
  // The largest count of seconds whose FILETIME stays a positive 64-bit value.
  const int64_t kMaxSeconds = INT64_MAX / FILETIME_UNITS_PER_SECOND - FILETIME_UNIX_EPOCH / FILETIME_UNITS_PER_SECOND;
  if (seconds <= 0 || seconds > kMaxSeconds) {
    SetFileTimeValue(pft, 0);
    return 0;
  }
  SetFileTimeValue(pft, (uint64_t)(seconds * FILETIME_UNITS_PER_SECOND + FILETIME_UNIX_EPOCH));
  return 1;
}

int CompareFileTimes(const FILETIME* a, const FILETIME* b, unsigned mode) {
  return CompareOperands(FromFileTime(a), FromFileTime(b), mode);
}
int CompareUnixTimeToFileTime(int64_t a, const FILETIME* b, unsigned mode) {
  return CompareOperands(FromUnix(a), FromFileTime(b), mode);
}
int CompareFileTimeToUnixTime(const FILETIME* a, int64_t b, unsigned mode) {
  return CompareOperands(FromFileTime(a), FromUnix(b), mode);
}
int CompareUnixTimes(int64_t a, int64_t b, unsigned mode) { return CompareOperands(FromUnix(a), FromUnix(b), mode); }

int CompareFileTimesByNameA(const char* a, const char* b, unsigned mode) {
  return CompareOperands(LastWriteOf(a), LastWriteOf(b), mode);
}
int CompareFileTimesByNameW(const wchar_t* a, const wchar_t* b, unsigned mode) {
  return CompareOperands(LastWriteOf(a), LastWriteOf(b), mode);
}
int CompareFileTimeToFileA(const FILETIME* a, const char* b, unsigned mode) {
  return CompareOperands(FromFileTime(a), LastWriteOf(b), mode);
}
int CompareFileTimeToFileW(const FILETIME* a, const wchar_t* b, unsigned mode) {
  return CompareOperands(FromFileTime(a), LastWriteOf(b), mode);
}
int CompareUnixTimeToFileA(int64_t a, const char* b, unsigned mode) {
  return CompareOperands(FromUnix(a), LastWriteOf(b), mode);
}
int CompareUnixTimeToFileW(int64_t a, const wchar_t* b, unsigned mode) {
  return CompareOperands(FromUnix(a), LastWriteOf(b), mode);
}

uint32_t GetFileUnixTimeA(const char* pszName, int which) { return FileUnixTime(pszName, which); }
uint32_t GetFileUnixTimeW(const wchar_t* pszName, int which) { return FileUnixTime(pszName, which); }
