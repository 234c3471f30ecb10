#include "mfc/ctime.h"

namespace {
__time64_t FromLocal(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST) {
  struct tm t = {};
  t.tm_year = nYear - 1900;
  t.tm_mon = nMonth - 1;
  t.tm_mday = nDay;
  t.tm_hour = nHour;
  t.tm_min = nMin;
  t.tm_sec = nSec;
  t.tm_isdst = nDST;
  // mktime would roll 31 April over into May; such dates are refused.
  __time64_t time = _mktime64(&t);
  if (time == -1 || t.tm_mday != nDay || t.tm_mon != nMonth - 1 || t.tm_year != nYear - 1900) return -1;
  return time;
}
}  // namespace

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
    : m_time(FromLocal(nYear, nMonth, nDay, nHour, nMin, nSec, nDST)) {}

CTime::CTime(const SYSTEMTIME& st, int nDST)
    : m_time(FromLocal(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, nDST)) {}

CTime::CTime(const FILETIME& ft, int nDST) {
  // 100-ns ticks since 1601 to seconds since 1970.
  ULONGLONG ticks = ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
  m_time = (__time64_t)(ticks / 10000000ULL) - 11644473600LL;
}

CTime CTime::GetCurrentTime() { return CTime(_time64(nullptr)); }

struct tm* CTime::GetLocalTm(struct tm* ptm) const {
  struct tm* p = _localtime64(&m_time);
  if (!p) return nullptr;
  *ptm = *p;
  return ptm;
}

struct tm* CTime::GetGmtTm(struct tm* ptm) const {
  struct tm* p = _gmtime64(&m_time);
  if (!p) return nullptr;
  *ptm = *p;
  return ptm;
}

BOOL CTime::GetAsSystemTime(SYSTEMTIME& st) const {
  struct tm t;
  if (!GetLocalTm(&t)) return FALSE;
  st = {};
  st.wYear = (WORD)(t.tm_year + 1900);
  st.wMonth = (WORD)(t.tm_mon + 1);
  st.wDay = (WORD)t.tm_mday;
  st.wDayOfWeek = (WORD)t.tm_wday;
  st.wHour = (WORD)t.tm_hour;
  st.wMinute = (WORD)t.tm_min;
  st.wSecond = (WORD)t.tm_sec;
  return TRUE;
}

namespace {
CString FormatTm(const struct tm* t, LPCSTR pszFormat) {
  CString s;
  if (!t) return s;
  char buf[256];
  size_t n = strftime(buf, sizeof buf, pszFormat, t);
  s = CString(buf, (int)n);
  return s;
}
}  // namespace

CString CTime::Format(LPCSTR pszFormat) const {
  struct tm t;
  return FormatTm(GetLocalTm(&t), pszFormat);
}

CString CTime::FormatGmt(LPCSTR pszFormat) const {
  struct tm t;
  return FormatTm(GetGmtTm(&t), pszFormat);
}
