// Dialog data exchange: CDataExchange and the DDX_ functions that move
// values between member variables and controls. Saving validates; a value
// that does not parse is reported to the user, the focus goes back to its
// field and the exchange stops (UpdateData returns FALSE).
#pragma once

#include <windows.h>

#include "base/cstring.h"
#include "mfc/wnd.h"

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  BOOL m_bSaveAndValidate;  // TRUE: controls to members
  CWnd* m_pDlgWnd;

  // The control's window for an exchange (remembered for Fail); a missing
  // control ends the exchange.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Ends the exchange: while saving, the last prepared control gets the
  // focus (an edit control with all its text selected).
  [[noreturn]] void Fail();

  int m_idLastControl = 0;
  BOOL m_bEditLastControl = FALSE;
};

// Thrown by CDataExchange::Fail and caught by UpdateData.
class CUserException {};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// nIDC is the first button of a group (WS_GROUP); value is the index of the
// checked radio button in the group, -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
// Follows the DDX_Text of an edit: while loading it limits the edit to
// nChars characters; while saving a longer text is reported and fails.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
// Subclasses the control with rControl the first time (while loading).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// Sets a window's text only when it differs, so that an unchanged field
// keeps its caret and sends no change notification.
void AfxSetWindowText(HWND hWndCtrl, LPCSTR lpszNew);
