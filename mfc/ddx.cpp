#include "mfc/ddx.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "mfc/globals.h"
#include "mfc/threadstate.h"

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
  if (!hWndCtrl) {
    // A program fault; stop without pointing the user anywhere.
    m_idLastControl = 0;
    throw CUserException();
  }
  m_idLastControl = nIDC;
  m_bEditLastControl = FALSE;
  return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND hWndCtrl = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return hWndCtrl;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_idLastControl) {
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, m_idLastControl);
    if (hWndCtrl) {
      ::SetFocus(hWndCtrl);
      if (m_bEditLastControl) ::SendMessageA(hWndCtrl, EM_SETSEL, 0, -1);
    }
  }
  throw CUserException();
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  // Notifications that the exchange itself causes (EN_CHANGE...) are not
  // passed on to the handlers.
  AFX_THREAD_STATE* state = AfxGetThreadState();
  HWND hWndOldLockout = state->m_hLockoutNotifyWindow;
  state->m_hLockoutNotifyWindow = m_hWnd;
  BOOL bOK = FALSE;
  try {
    DoDataExchange(&dx);
    bOK = TRUE;
  } catch (const CUserException&) {
  }
  state->m_hLockoutNotifyWindow = hWndOldLockout;
  return bOK;
}

void AfxSetWindowText(HWND hWndCtrl, LPCSTR lpszNew) {
  int nNewLen = lstrlenA(lpszNew);
  char szOld[256];
  // Texts of other lengths, and long texts, are simply set.
  if (nNewLen > (int)sizeof szOld - 1 || ::GetWindowTextA(hWndCtrl, szOld, sizeof szOld) != nNewLen ||
      lstrcmpA(szOld, lpszNew) != 0)
    ::SetWindowTextA(hWndCtrl, lpszNew);
}

namespace {
CString WindowText(HWND hWnd) {
  CString s;
  int n = ::GetWindowTextLengthA(hWnd);
  n = ::GetWindowTextA(hWnd, s.GetBuffer(n), n + 1);
  s.ReleaseBuffer(n);
  return s;
}

// Whole-text decimal numbers: blanks around, an optional sign (signed only),
// digits, and the value within range.
bool ParseDecimal(const char* p, bool bSigned, long long minValue, long long maxValue, long long* pValue) {
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    if (*p == '-' && !bSigned) return false;
    negative = *p == '-';
    ++p;
  }
  if (*p < '0' || *p > '9') return false;
  long long v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    v = v * 10 + (*p - '0');
    if (v > maxValue + 1) return false;
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (*p) return false;
  if (negative) v = -v;
  if (v < minValue || v > maxValue) return false;
  *pValue = v;
  return true;
}

void TextNumber(CDataExchange* pDX, int nIDC, long long* pValue, bool bSigned, long long minValue, long long maxValue,
                const char* pszPrompt) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    if (!ParseDecimal(WindowText(hWndCtrl), bSigned, minValue, maxValue, pValue)) {
      AfxMessageBox(pszPrompt, MB_OK | MB_ICONEXCLAMATION);
      pDX->Fail();
    }
  } else {
    char text[32];
    if (bSigned)
      std::snprintf(text, sizeof text, "%lld", *pValue);
    else
      std::snprintf(text, sizeof text, "%llu", (unsigned long long)*pValue);
    AfxSetWindowText(hWndCtrl, text);
  }
}

const char kPromptInt[] = "Bitte eine ganze Zahl eingeben.";
const char kPromptUInt[] = "Bitte eine ganze Zahl ohne Vorzeichen eingeben.";
}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    value = WindowText(hWndCtrl);
  else
    AfxSetWindowText(hWndCtrl, value);
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
  if (!pDX->m_bSaveAndValidate) {
    HWND hWndCtrl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, pDX->m_idLastControl);
    if (hWndCtrl && pDX->m_bEditLastControl) ::SendMessageA(hWndCtrl, EM_LIMITTEXT, nChars, 0);
  } else if (value.GetLength() > nChars) {
    char text[96];
    std::snprintf(text, sizeof text, "Bitte höchstens %d Zeichen eingeben.", nChars);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  long long v = value;
  TextNumber(pDX, nIDC, &v, true, INT_MIN, INT_MAX, kPromptInt);
  value = (int)v;
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
  long long v = value;
  TextNumber(pDX, nIDC, &v, false, 0, UINT_MAX, kPromptUInt);
  value = (UINT)v;
}

void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value) {
  long long v = value;
  TextNumber(pDX, nIDC, &v, false, 0, UINT_MAX, kPromptUInt);
  value = (DWORD)v;
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    value = (int)::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0);
  else
    ::SendMessageA(hWndCtrl, BM_SETCHECK, (WPARAM)value, 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = -1;
  // The group runs from nIDC up to the next control with WS_GROUP.
  int iButton = 0;
  do {
    if (::SendMessageA(hWndCtrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (pDX->m_bSaveAndValidate) {
        if (::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0) != BST_UNCHECKED && value < 0) value = iButton;
      } else {
        ::SendMessageA(hWndCtrl, BM_SETCHECK, iButton == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++iButton;
    }
    hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
  } while (hWndCtrl && !(::GetWindowLongPtrA(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    index = (int)::SendMessageA(hWndCtrl, CB_GETCURSEL, 0, 0);
  else
    ::SendMessageA(hWndCtrl, CB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    index = (int)::SendMessageA(hWndCtrl, LB_GETCURSEL, 0, 0);
  else
    ::SendMessageA(hWndCtrl, LB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    // The edit's text, or the selected item's text of a drop-down list.
    value = WindowText(hWndCtrl);
    if (value.IsEmpty()) {
      int sel = (int)::SendMessageA(hWndCtrl, CB_GETCURSEL, 0, 0);
      if (sel >= 0) {
        int n = (int)::SendMessageA(hWndCtrl, CB_GETLBTEXTLEN, sel, 0);
        if (n > 0) {
          n = (int)::SendMessageA(hWndCtrl, CB_GETLBTEXT, sel, (LPARAM)value.GetBuffer(n));
          value.ReleaseBuffer(n > 0 ? n : 0);
        }
      }
    }
  } else {
    // The first item that starts with the text, else the text itself.
    if (::SendMessageA(hWndCtrl, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)(LPCSTR)value) == CB_ERR)
      AfxSetWindowText(hWndCtrl, value);
  }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd) return;
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (!rControl.SubclassWindow(hWndCtrl)) pDX->Fail();
}
