// "CRC-Summe berechnen": cyclic redundancy checks of a block of bytes for any
// polynomial of 1 to 64 bits by three algorithms, and their C source.
#pragma once

#include <cstdint>

#include "mfc/mfc.h"

enum {
  IDC_CRC_PRESET = 1042,
  IDC_CRC_WIDTH = 1133,
  IDC_CRC_REFLECTED = 1134,
  IDC_CRC_NORMAL = 1135,
  IDC_CRC_INVERT = 1043,
  IDC_CRC_FORMULA = 1055,
  IDC_CRC_A = 1075,
  IDC_CRC_A_0 = 1077,
  IDC_CRC_A_ONES = 1105,
  IDC_CRC_B = 1106,
  IDC_CRC_B_0 = 1107,
  IDC_CRC_B_ONES = 1057,
  IDC_CRC_C = 1062,
  IDC_CRC_C_0 = 1063,
  IDC_CRC_C_ONES = 1056,
  IDC_CRC_START = 1136,
  IDC_CRC_SOURCE_CHOICE = 1137,
  IDC_CRC_LENGTH = 1058,
  IDC_CRC_SOURCE = 1059,
};

// What Recalculate was called for.
enum CrcChange {
  CRC_ALL = -1,
  CRC_PRESET = 0,
  CRC_WIDTH = 1,
  CRC_REFLECTED_POLY = 2,
  CRC_NORMAL_POLY = 3,
  CRC_FORMULA = 4,
  CRC_START = 5,
};

class CCrcCalcDlg : public CDialog {
 public:
  CCrcCalcDlg(CWnd* pParent = nullptr) { m_pParentWnd = pParent; }
  INT_PTR DoModal(const void* data, int length);

  int m_bInvert = 0;
  int m_nSource = 0;  // 0 none, 1-3 algorithm A-C
  int m_nPreset = 0;
  CString m_strWidth, m_strNormal, m_strReflected, m_strStart, m_strFormula;
  int m_bGivenValues = 0;  // the caller sets width, polynomial and start value
  uint64_t m_nReflected = 0xEDB88320;
  uint64_t m_nNormal = 0x04C11DB7;
  uint64_t m_nMask = 0xFFFFFFFF;
  uint64_t m_nStart = ~0ull;
  int m_nWidth = 32;
  int m_nLength = 0;
  const unsigned char* m_pData = nullptr;
  uint64_t m_results[9] = {};  // A, B, C at the start value, 0 and ~0
  uint64_t m_tables[3][256];
  int m_bFullHeight = 0;
  int m_bPolySaved = 0, m_bStartSaved = 0;
  int m_bFormulaError = 0;
  CString m_strSavedPoly, m_strSavedStart;
  uint64_t m_nKeyPoly = 0;
  int m_nKeyWidth = -1;  // -1: no tables yet

  void Recalculate(int changed);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void SetField(int id, const char* text);
  CString Hex(uint64_t value) const;
  int SourceDistance() const;

  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnFormulaChanged() { Recalculate(CRC_FORMULA); }
  afx_msg void OnAll() { Recalculate(CRC_ALL); }
  afx_msg void OnPreset() { Recalculate(CRC_PRESET); }
  afx_msg void OnWidth() { Recalculate(CRC_WIDTH); }
  afx_msg void OnReflected() { Recalculate(CRC_REFLECTED_POLY); }
  afx_msg void OnNormal() { Recalculate(CRC_NORMAL_POLY); }
  afx_msg void OnStart() { Recalculate(CRC_START); }
  afx_msg void OnSourceChanged();
  afx_msg void OnComboChosen(UINT nID);
  afx_msg void OnComboEdited(UINT nID);
  afx_msg void OnComboLeft(UINT) { Recalculate(CRC_ALL); }
  DECLARE_MESSAGE_MAP()
};
