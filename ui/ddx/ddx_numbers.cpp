#include <climits>
#include <cstdio>
#include <cstdlib>

#include "ui/ddx/ddxextra.h"

namespace {
const int kTextMax = 32;  // characters read from a control

long long PowerOfTen(int d) {
  long long p = 1;
  while (d-- > 0) p *= 10;
  return p;
}

CString ReadText(HWND ctrl, int max = kTextMax) {
  CString s;
  ::GetWindowTextA(ctrl, s.GetBuffer(max + 1), max + 1);
  s.ReleaseBuffer();
  return s;
}

// A decimal integer of the control's whole text: beyond 64 bits it comes
// back beyond every 32-bit range, so a caller refuses it rather than keep
// the low bits.
long long ReadWhole(HWND ctrl) {
  int n = ::GetWindowTextLengthA(ctrl);
  CString s;
  ::GetWindowTextA(ctrl, s.GetBuffer(n + 1), n + 1);
  s.ReleaseBuffer();
  return strtoll(s, nullptr, 10);
}
}  // namespace

CString FormatDecimalText(double value, int decimals) {
  decimals = decimals < 0 ? 0 : decimals > 9 ? 9 : decimals;
  char digits[32], out[64];
  int n = 0;
  if (value < 0) {
    out[n++] = '-';
    value = -value;
  }
  long long pow = PowerOfTen(decimals);
  double scaled = value * (double)pow + 0.4999999;
  unsigned long long whole = scaled >= 1.8e19 ? ~0ull : (unsigned long long)scaled;
  int len = snprintf(digits, sizeof digits, "%llu", whole / (unsigned long long)pow);
  for (int i = 0; i < len; ++i) {
    if (i && (len - i) % 3 == 0) out[n++] = ' ';
    out[n++] = digits[i];
  }
  if (decimals) {
    snprintf(digits, sizeof digits, "%llu", (unsigned long long)pow + whole % (unsigned long long)pow);
    digits[0] = '.';
    for (int i = 0; digits[i]; ++i) out[n++] = digits[i];
  }
  out[n] = 0;
  return CString(out);
}

double ParseDecimalText(const char* s, int decimals) {
  decimals = decimals < 0 ? 0 : decimals > 9 ? 9 : decimals;
  bool negative = false, fraction = false, minusSeen = false;
  long long whole = 0, frac = 0;
  int fracDigits = 0;
  for (; *s; ++s) {
    char c = *s;
    if (c == ' ') continue;
    if (c == '-' && !minusSeen && !fraction) {
      negative = minusSeen = true;
    } else if (c >= '0' && c <= '9') {
      if (!fraction) {
        whole = whole * 10 + (c - '0');
      } else if (fracDigits < decimals) {
        frac = frac * 10 + (c - '0');
        ++fracDigits;
      } else {
        break;
      }
    } else if ((c == '.' || c == ',') && !fraction) {
      fraction = true;
    } else {
      break;
    }
  }
  double value = (double)whole + (double)frac / (double)PowerOfTen(fracDigits);
  return negative ? -value : value;
}

void DDX_Double(CDataExchange* pDX, int nIDC, double* value, int decimals) {
  HWND ctrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    *value = ParseDecimalText(ReadText(ctrl), decimals);
  else
    AfxSetWindowText(ctrl, FormatDecimalText(*value, decimals));
}

void DDX_Float(CDataExchange* pDX, int nIDC, float* value, int decimals) {
  double d = *value;
  DDX_Double(pDX, nIDC, &d, decimals);
  if (pDX->m_bSaveAndValidate) *value = (float)d;
}

void DDX_DoubleScaled(CDataExchange* pDX, int nIDC, double* value, int decimals, double scale) {
  if (scale == 0) scale = 1;
  double d = *value * scale;
  DDX_Double(pDX, nIDC, &d, decimals);
  if (pDX->m_bSaveAndValidate) *value = d / scale;
}

void DDX_FloatScaled(CDataExchange* pDX, int nIDC, float* value, int decimals, double scale) {
  double d = *value;
  DDX_DoubleScaled(pDX, nIDC, &d, decimals, scale);
  if (pDX->m_bSaveAndValidate) *value = (float)d;
}

void DDX_IntText(CDataExchange* pDX, int nIDC, int* value) {
  HWND ctrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    long long v = ReadWhole(ctrl);
    if (v < INT_MIN || v > INT_MAX) pDX->Fail();
    *value = (int)v;
  } else {
    char text[16];
    snprintf(text, sizeof text, "%d", *value);
    AfxSetWindowText(ctrl, text);
  }
}

void DDX_UIntText(CDataExchange* pDX, int nIDC, UINT* value) {
  HWND ctrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    // A minus wraps as it always did; only what 32 bits cannot hold is refused.
    long long v = ReadWhole(ctrl);
    if (v < INT_MIN || v > (long long)UINT_MAX) pDX->Fail();
    *value = (UINT)v;
  } else {
    char text[16];
    snprintf(text, sizeof text, "%u", *value);
    AfxSetWindowText(ctrl, text);
  }
}

void DDX_CharBuffer(CDataExchange* pDX, int nIDC, char* buffer, int size) {
  HWND ctrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    if (size > 0) ::GetWindowTextA(ctrl, buffer, size);
  } else {
    AfxSetWindowText(ctrl, buffer);
  }
}

void DDX_ComboString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND combo = pDX->PrepareCtrl(nIDC);
  int sel = (int)::SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (pDX->m_bSaveAndValidate) {
    if (sel >= 0) {
      int len = (int)::SendMessageA(combo, CB_GETLBTEXTLEN, sel, 0);
      if (len < 0) len = 0;
      ::SendMessageA(combo, CB_GETLBTEXT, sel, (LPARAM)value.GetBuffer(len + 1));
      value.ReleaseBuffer();
    } else {
      value = ReadText(combo, 1024);
    }
    return;
  }
  CString current;
  if (sel >= 0) {
    int len = (int)::SendMessageA(combo, CB_GETLBTEXTLEN, sel, 0);
    if (len >= 1024 || len < 0) return;  // too long to compare: left as it is
    ::SendMessageA(combo, CB_GETLBTEXT, sel, (LPARAM)current.GetBuffer(len + 1));
    current.ReleaseBuffer();
  } else {
    current = ReadText(combo, 1024);
  }
  if (lstrcmpA(current, value) != 0) ::SetWindowTextA(combo, value);
}

void SetComboEditTextKeepSel(HWND combo) {
  int sel = (int)::SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (sel < 0) return;
  int len = (int)::SendMessageA(combo, CB_GETLBTEXTLEN, sel, 0);
  if (len < 0) return;
  CString text;
  ::SendMessageA(combo, CB_GETLBTEXT, sel, (LPARAM)text.GetBuffer(len + 1));
  text.ReleaseBuffer();
  DWORD edit = (DWORD)::SendMessageA(combo, CB_GETEDITSEL, 0, 0);
  ::SetWindowTextA(combo, text);
  ::SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(LOWORD(edit), HIWORD(edit)));
}
