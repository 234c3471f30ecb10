// Dialog data exchange beyond the framework's: decimals with digit
// grouping, value-or-range groups, dates and times as text, CTime parts,
// integers, fixed buffers and combo strings. Loading writes a control only
// when its text differs, so an unchanged field keeps its caret and sends no
// change notification.
#pragma once

#include <windows.h>

#include "base/cstring.h"
#include "mfc/ctime.h"
#include "mfc/ddx.h"
#include "ui/ddx/datetext.h"

// decimals 0-9 (clamped); "1 234 567.89". Reads blanks, a '-', digits and
// '.' or ',' with at most decimals digits after it.
void DDX_Double(CDataExchange* pDX, int nIDC, double* value, int decimals);
void DDX_Float(CDataExchange* pDX, int nIDC, float* value, int decimals);
// The control shows value x scale.
void DDX_DoubleScaled(CDataExchange* pDX, int nIDC, double* value, int decimals, double scale);
void DDX_FloatScaled(CDataExchange* pDX, int nIDC, float* value, int decimals, double scale);
// The text of a double as DDX_Double shows it, and its reading.
CString FormatDecimalText(double value, int decimals);
double ParseDecimalText(const char* text, int decimals);

// Modes of a value-or-range group; bits 0-5 of the mask enable them.
enum ValueRangeMode { kRangeNone = 0, kRangeRange = 5 };
// The group in z-order: first edit, optional label, second edit, optional
// label, selector (radio group, combo box or list box by index).
void DDX_ValueRange(CDataExchange* pDX, int nIDC, int* from, int* to, int* mode, UINT mask);
void DDX_DoubleRange(CDataExchange* pDX, int nIDC, double* from, double* to, int decimals, int* mode, UINT mask);

void DDX_DateText(CDataExchange* pDX, int nIDC, DateRecord* date, UINT flags);
void DDX_DateRecordText(CDataExchange* pDX, int nIDC, DateTimeRecord* record, UINT flags);  // its date
void DDX_TimeText(CDataExchange* pDX, int nIDC, TimeRecord* time, BOOL noSeconds);
void DDX_RecordTimeText(CDataExchange* pDX, int nIDC, DateTimeRecord* record, BOOL noSeconds);  // its time
// flags: bit 0 no seconds, the rest shifted right by one the date flags.
void DDX_DateTimeText(CDataExchange* pDX, int nIDC, DateTimeRecord* record, UINT flags);
void DDX_CTimeDate(CDataExchange* pDX, int nIDC, CTime* time, UINT flags);      // the time of day stays
void DDX_CTimeTime(CDataExchange* pDX, int nIDC, CTime* time, BOOL noSeconds);  // the date stays
void DDX_CTimeDateTime(CDataExchange* pDX, int nIDC, CTime* time, UINT flags);

// Decimal as atoi reads it; a number that 32 bits cannot hold fails the exchange.
void DDX_IntText(CDataExchange* pDX, int nIDC, int* value);
void DDX_UIntText(CDataExchange* pDX, int nIDC, UINT* value);
void DDX_CharBuffer(CDataExchange* pDX, int nIDC, char* buffer, int size);
void DDX_ComboString(CDataExchange* pDX, int nIDC, CString& value);
// Writes the selected item's text back into the combo's edit, keeping the
// edit's selection.
void SetComboEditTextKeepSel(HWND combo);
