// "Flieskommakonverter": eight bytes as an IEEE 754 double, their first four
// as a float, with mantissas, exponents and a hex dump; every field edits.
#pragma once

#include <cstdint>

#include "mfc/mfc.h"

enum {
  IDC_FLT_DOUBLE = 1055,
  IDC_FLT_FLOAT = 1075,
  IDC_FLT_DUMP = 1077,
  IDC_FLT_DMANT = 1105,
  IDC_FLT_FMANT = 1106,
  IDC_FLT_DEXP = 1107,
  IDC_FLT_FEXP = 1057,
  IDC_FLT_SWAP_BYTES = 1050,
  IDC_FLT_SWAP_WORDS = 1051,
  IDC_FLT_SWAP_QWORDS = 1052,
};

// Fields by item number of UpdateFields.
enum FloatField {
  FLT_DOUBLE = 0,
  FLT_FLOAT = 1,
  FLT_DUMP = 2,
  FLT_DMANT = 3,
  FLT_FMANT = 4,
  FLT_DEXP = 5,
  FLT_FEXP = 6,
  FLT_ALL = 127,
  FLT_ONLY = 128,  // 128 + k: only field k
};

// A number typed into the double or float field: C prefixes and the Intel
// "h" suffix read as integers, everything else as a floating-point text.
double ParseFloatFieldText(const char* text);

class CFloatConvertDlg : public CDialog {
 public:
  CFloatConvertDlg(CWnd* pParent = nullptr) { m_pParentWnd = pParent; }
  INT_PTR DoModal() override;

  double m_dValue = 0;
  float m_fValue = 0;
  unsigned char m_bytes[8] = {};
  uint64_t m_nDoubleMantissa = 0;
  uint32_t m_nFloatMantissa = 0;
  int m_nDoubleExponent = 0;  // unbiased
  int m_nFloatExponent = 0;
  unsigned char m_valid[4] = {1, 1, 1, 1};  // double mantissa, float mantissa, double exponent, float exponent
  int m_nMode = 0;                          // 0 double, 1 float, 2 bytes
  int m_nCount = 0;
  bool m_bBusy = false;

  void UpdateFields(int item);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void FromDouble();
  void FromFloat();
  void FromBytes();
  void SetValid(int index, bool valid, int id);
  bool ReadDump(unsigned char bytes[8], bool* colon);
  void Swap(int kind);
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnValueChanged(UINT nID);
  afx_msg void OnPartChanged(UINT nID);
  afx_msg void OnPartFocus(UINT nID);
  afx_msg void OnPartLeft(UINT nID);
  afx_msg void OnDumpChanged();
  afx_msg void OnSwap(UINT nID);
  DECLARE_MESSAGE_MAP()
};
