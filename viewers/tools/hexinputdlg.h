// "Neuer Hexbereich": one expression in an edit field, or in a combo box with
// a history; the caller sets caption and label.
#pragma once

#include <cstdint>

#include "mfc/mfc.h"

enum {
  IDC_INPUT_EDIT = 1055,
  IDC_INPUT_COMBO = 1042,
  IDC_INPUT_LABEL = 1120,
};

enum : int {
  HEXINPUT_HEX = 1,    // shown as "0x" hexadecimal, else decimal
  HEXINPUT_64BIT = 2,  // 64-bit evaluation
};
constexpr int kInputHistoryOld = 15;      // old entries looked at
constexpr int kInputHistoryChars = 2044;  // the list stays below this

class CHexInputDlg : public CDialog {
 public:
  CHexInputDlg(CWnd* pParent = nullptr) { m_pParentWnd = pParent; }
  INT_PTR DoModal() override;

  int64_t m_nValue = 0;  // a 32-bit result is stored sign-extended
  int m_nFlags = 0;      // HEXINPUT_*
  const char* m_pszLabel = nullptr;
  const char* m_pszCaption = nullptr;
  char** m_ppHistory = nullptr;  // the caller's string list, or none

 protected:
  uint32_t m_nStatus = 1;
  HWND Input() const;
  bool Evaluate(const CString& text);
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnInputChanged();
  DECLARE_MESSAGE_MAP()
};

// The history after confirming text: text first, then the old entries that
// differ from it without regard to case (at most 15 looked at, the list below
// 2044 characters). The old list is freed.
void PutInputHistory(char** list, const char* text);
