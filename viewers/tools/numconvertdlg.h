// "Zahlen umwandeln": evaluates an integer expression and shows it in
// decimal, hexadecimal, octal, binary and as a character. A calculator for
// the hex view and the editor of DWORD and QWORD values.
#pragma once

#include <cstdint>

#include "mfc/mfc.h"

// Ids of the converter's controls.
enum {
  IDC_NUM_DECIMAL = 1075,
  IDC_NUM_HEX = 1077,
  IDC_NUM_OCTAL = 1105,
  IDC_NUM_BINARY = 1106,
  IDC_NUM_CHAR = 1107,
  IDC_NUM_INPUT = 1042,
  IDC_COMBO_EDIT = 1001,  // the edit inside a drop-down combo box
};
constexpr UINT_PTR kNumConvertTimer = 0xB63F;
constexpr int kCalculatorHistoryMax = 16;

class CNumConvertDlg : public CDialog {
 public:
  explicit CNumConvertDlg(CWnd* pParent = nullptr);
  ~CNumConvertDlg() override;

  INT_PTR DoModal() override;

  int m_bEdit = 0;   // value editor: "Abbruch" shown, Escape cancels, OK needs a valid input
  int m_b64Bit = 0;  // 64-bit evaluation, the QWORD value is the result
  const char* m_pszTitle = nullptr;
  int32_t m_nValue = 0;
  int64_t m_nValue64 = 0;
  CString m_strInput;
  uint32_t m_nStatus = 0;  // 0: the input does not parse
  int m_nLastSel = -2;
  char* m_pHistory = nullptr;  // string list, from OnInitDialog to OnOK or OnCancel

  // The functions of the input: RGB(r,g,b), BGR(r,g,b), ABS(x), BTOL(x).
  static int OnIdentifier32(void* context, const char* text, int32_t* value);
  static int OnIdentifier64(void* context, const char* text, int64_t* value);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void DoDataExchange(CDataExchange* pDX) override;

  void Evaluate(const CString& text);
  void EvaluateShown();
  void FitResultFields();  // the text in the combo box's edit
  void StoreHistory();

  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnInputEdited();
  afx_msg void OnInputChosen();
  DECLARE_MESSAGE_MAP()
};
