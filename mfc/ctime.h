// CTime and CTimeSpan: seconds since 1 January 1970 UTC, read and built in
// local time.
#pragma once

#include <windows.h>

#include <ctime>

#include "base/cstring.h"

class CTimeSpan {
 public:
  CTimeSpan() = default;
  CTimeSpan(__time64_t time) : m_timeSpan(time) {}
  CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
      : m_timeSpan(((__time64_t)lDays * 24 + nHours) * 3600 + nMins * 60 + nSecs) {}

  LONGLONG GetDays() const { return m_timeSpan / 86400; }
  LONGLONG GetTotalHours() const { return m_timeSpan / 3600; }
  LONG GetHours() const { return (LONG)(GetTotalHours() - GetDays() * 24); }
  LONGLONG GetTotalMinutes() const { return m_timeSpan / 60; }
  LONG GetMinutes() const { return (LONG)(GetTotalMinutes() - GetTotalHours() * 60); }
  LONGLONG GetTotalSeconds() const { return m_timeSpan; }
  LONG GetSeconds() const { return (LONG)(m_timeSpan - GetTotalMinutes() * 60); }
  __time64_t GetTimeSpan() const { return m_timeSpan; }

  CTimeSpan operator+(CTimeSpan s) const { return CTimeSpan(m_timeSpan + s.m_timeSpan); }
  CTimeSpan operator-(CTimeSpan s) const { return CTimeSpan(m_timeSpan - s.m_timeSpan); }
  bool operator==(CTimeSpan s) const { return m_timeSpan == s.m_timeSpan; }
  bool operator!=(CTimeSpan s) const { return m_timeSpan != s.m_timeSpan; }
  bool operator<(CTimeSpan s) const { return m_timeSpan < s.m_timeSpan; }
  bool operator>(CTimeSpan s) const { return m_timeSpan > s.m_timeSpan; }

 private:
  __time64_t m_timeSpan = 0;
};

class CTime {
 public:
  CTime() = default;
  CTime(__time64_t time) : m_time(time) {}
  // Local date and time; nDST -1 lets the system decide daylight saving.
  // A date that does not exist gives the time -1.
  CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
  CTime(const SYSTEMTIME& st, int nDST = -1);  // local time
  CTime(const FILETIME& ft, int nDST = -1);    // UTC file time

  static CTime GetCurrentTime();

  __time64_t GetTime() const { return m_time; }
  // Local time broken down; null when the time cannot be shown.
  struct tm* GetLocalTm(struct tm* ptm) const;
  struct tm* GetGmtTm(struct tm* ptm) const;
  BOOL GetAsSystemTime(SYSTEMTIME& st) const;

  int GetYear() const { return Part(&tm::tm_year) + 1900; }
  int GetMonth() const { return Part(&tm::tm_mon) + 1; }
  int GetDay() const { return Part(&tm::tm_mday); }
  int GetHour() const { return Part(&tm::tm_hour); }
  int GetMinute() const { return Part(&tm::tm_min); }
  int GetSecond() const { return Part(&tm::tm_sec); }
  int GetDayOfWeek() const { return Part(&tm::tm_wday) + 1; }  // 1 = Sunday

  // strftime formats of the local time.
  CString Format(LPCSTR pszFormat) const;
  CString FormatGmt(LPCSTR pszFormat) const;

  CTimeSpan operator-(CTime t) const { return CTimeSpan(m_time - t.m_time); }
  CTime operator+(CTimeSpan s) const { return CTime(m_time + s.GetTimeSpan()); }
  CTime operator-(CTimeSpan s) const { return CTime(m_time - s.GetTimeSpan()); }
  CTime& operator+=(CTimeSpan s) {
    m_time += s.GetTimeSpan();
    return *this;
  }
  CTime& operator-=(CTimeSpan s) {
    m_time -= s.GetTimeSpan();
    return *this;
  }
  bool operator==(CTime t) const { return m_time == t.m_time; }
  bool operator!=(CTime t) const { return m_time != t.m_time; }
  bool operator<(CTime t) const { return m_time < t.m_time; }
  bool operator>(CTime t) const { return m_time > t.m_time; }
  bool operator<=(CTime t) const { return m_time <= t.m_time; }
  bool operator>=(CTime t) const { return m_time >= t.m_time; }

 private:
  int Part(int tm::*field) const {
    struct tm t;
    return GetLocalTm(&t) ? t.*field : 0;
  }
  __time64_t m_time = 0;
};
