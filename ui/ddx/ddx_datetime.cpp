#include <cstring>
#include <ctime>

#include "ui/ddx/ddxextra.h"

namespace {
const int kTextMax = 32;

CString ReadText(HWND ctrl) {
  CString s;
  ::GetWindowTextA(ctrl, s.GetBuffer(kTextMax + 1), kTextMax + 1);
  s.ReleaseBuffer();
  return s;
}

// Fields the date part of a combined text takes, a leading weekday
// included, so that the time is read from the fields after it.
int ParseDateFields(const char* text, DateRecord* date) {
  char fields[4][8];
  int weekday = SplitDateFields(text, fields, 1) == 1 && !(fields[0][0] >= '0' && fields[0][0] <= '9');
  return ParseDateText(text, date) + weekday;
}

CString DateTimeText(const DateRecord& date, const TimeRecord& time, UINT flags) {
  char text[64];
  int n = FormatDateText(text, &date, flags >> 1);
  text[n++] = ' ';
  FormatTimeText(text + n, &time, flags & 1);
  return CString(text);
}

// The local parts of a CTime; false for a time that cannot be shown (-1
// from a date that does not exist).
bool LocalParts(const CTime& t, DateRecord* date, TimeRecord* time) {
  struct tm tm;
  if (!t.GetLocalTm(&tm)) return false;
  *date = {(WORD)(tm.tm_year + 1900), (WORD)(tm.tm_mon + 1), (WORD)tm.tm_mday};
  *time = {(WORD)tm.tm_hour, (WORD)tm.tm_min, (WORD)tm.tm_sec};
  return true;
}

CTime MakeTime(const DateRecord& d, const TimeRecord& t) {
  return CTime(d.year, d.month, d.day, t.hour, t.minute, t.second, -1);
}
}  // namespace

void DDX_DateText(CDataExchange* pDX, int nIDC, DateRecord* date, UINT flags) {
  HWND ctrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    ParseDateText(ReadText(ctrl), date);
  } else {
    char text[48];
    FormatDateText(text, date, flags);
    AfxSetWindowText(ctrl, text);
  }
}

void DDX_DateRecordText(CDataExchange* pDX, int nIDC, DateTimeRecord* record, UINT flags) {
  DateRecord date = {record->year, record->month, record->day};
  DDX_DateText(pDX, nIDC, &date, flags);
  record->year = date.year, record->month = date.month, record->day = date.day;
}

void DDX_TimeText(CDataExchange* pDX, int nIDC, TimeRecord* time, BOOL noSeconds) {
  HWND ctrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    ParseTimeText(ReadText(ctrl), time, 0);
    if (noSeconds) time->second = 0;
  } else {
    char text[16];
    FormatTimeText(text, time, noSeconds);
    AfxSetWindowText(ctrl, text);
  }
}

void DDX_RecordTimeText(CDataExchange* pDX, int nIDC, DateTimeRecord* record, BOOL noSeconds) {
  TimeRecord time = {record->hour, record->minute, record->second};
  DDX_TimeText(pDX, nIDC, &time, noSeconds);
  record->hour = time.hour, record->minute = time.minute, record->second = time.second;
}

void DDX_DateTimeText(CDataExchange* pDX, int nIDC, DateTimeRecord* record, UINT flags) {
  HWND ctrl = pDX->PrepareEditCtrl(nIDC);
  DateRecord date = {record->year, record->month, record->day};
  TimeRecord time = {record->hour, record->minute, record->second};
  if (pDX->m_bSaveAndValidate) {
    CString text = ReadText(ctrl);
    int used = ParseDateFields(text, &date);
    ParseTimeText(text, &time, used);
    if (flags & 1) time.second = 0;
    *record = {date.year, date.month, date.day, time.hour, time.minute, time.second, {0, 0}};
  } else {
    AfxSetWindowText(ctrl, DateTimeText(date, time, flags));
  }
}

void DDX_CTimeDate(CDataExchange* pDX, int nIDC, CTime* value, UINT flags) {
  HWND ctrl = pDX->PrepareEditCtrl(nIDC);
  DateRecord date = {1970, 1, 1};
  TimeRecord time = {0, 0, 0};
  bool valid = LocalParts(*value, &date, &time);
  if (pDX->m_bSaveAndValidate) {
    ParseDateText(ReadText(ctrl), &date);
    *value = MakeTime(date, time);
  } else {
    char text[48] = "";
    if (valid) FormatDateText(text, &date, flags);
    AfxSetWindowText(ctrl, text);
  }
}

void DDX_CTimeTime(CDataExchange* pDX, int nIDC, CTime* value, BOOL noSeconds) {
  HWND ctrl = pDX->PrepareEditCtrl(nIDC);
  DateRecord date;
  TimeRecord time = {0, 0, 0};
  bool valid = LocalParts(*value, &date, &time);
  if (pDX->m_bSaveAndValidate) {
    if (!valid) {
      SYSTEMTIME now;
      GetLocalTime(&now);
      date = {now.wYear, now.wMonth, now.wDay};
    }
    ParseTimeText(ReadText(ctrl), &time, 0);
    if (noSeconds) time.second = 0;
    *value = MakeTime(date, time);
  } else {
    char text[16] = "";
    if (valid) FormatTimeText(text, &time, noSeconds);
    AfxSetWindowText(ctrl, text);
  }
}

void DDX_CTimeDateTime(CDataExchange* pDX, int nIDC, CTime* value, UINT flags) {
  HWND ctrl = pDX->PrepareEditCtrl(nIDC);
  DateRecord date = {1970, 1, 1};
  TimeRecord time = {0, 0, 0};
  bool valid = LocalParts(*value, &date, &time);
  if (pDX->m_bSaveAndValidate) {
    CString text = ReadText(ctrl);
    int used = ParseDateFields(text, &date);
    ParseTimeText(text, &time, used);
    if (flags & 1) time.second = 0;
    *value = MakeTime(date, time);
  } else {
    AfxSetWindowText(ctrl, valid ? DateTimeText(date, time, flags) : CString(""));
  }
}
