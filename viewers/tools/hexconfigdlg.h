// "Konfiguration": the hex view's layout settings.
#pragma once

#include "mfc/mfc.h"

enum {
  IDC_CFG_SPACE = 1043,
  IDC_CFG_EXTRA = 1044,
  IDC_CFG_EXTRA_N = 1055,
  IDC_CFG_FIXED = 1045,
  IDC_CFG_FIXED_N = 1075,
  IDC_CFG_SNAP = 1046,
  IDC_CFG_SNAP_N = 1077,
  IDC_CFG_RASTER = 1097,
  IDC_CFG_RASTER_N = 1105,
  IDC_CFG_DIGITS = 1106,
  IDC_CFG_SHOW_BYTE = 1047,  // radio group "Wertanzeige": 1047, 1048, 1062
  IDC_CFG_SHOW_WORD = 1048,
  IDC_CFG_SHOW_DWORD = 1062,
  IDC_CFG_POSITIVE = 1098,
  IDC_CFG_BIG_ENDIAN = 1125,
  IDC_CFG_HEX_DIST = 1126,
  IDC_CFG_INVERT = 1129,
  IDC_CFG_SNAP_SEL = 1131,
  IDC_CFG_OUT_BYTE = 1049,  // radio group "Ausgabeformat": 1049, 1050, 1063, 1130
  IDC_CFG_OUT_WORD = 1050,
  IDC_CFG_OUT_DWORD = 1063,
  IDC_CFG_OUT_QWORD = 1130,
};

// Bits of the value display word beside the size in bits 0-1.
enum : int {
  HEXSHOW_SIZE_MASK = 3,
  HEXSHOW_POSITIVE = 0x8000,
  HEXSHOW_BIG_ENDIAN = 0x4000,
  HEXSHOW_HEX_DISTANCES = 0x2000,
};

class CHexConfigDlg : public CDialog {
 public:
  CHexConfigDlg(CWnd* pParent = nullptr) { m_pParentWnd = pParent; }
  INT_PTR DoModal() override;

  int m_bSpace = 0;
  int m_nExtraInterval = 0;  // 1-256
  int m_bExtra = 0;
  int m_nFixedWidth = 0;  // 1-256
  int m_bFixed = 0;
  int m_nSnap = 0;  // 1-256
  int m_bSnap = 0;
  int m_nRaster = 0;  // 1-256; after OK the negative fixed width when that is on
  int m_bRaster = 0;
  int m_nValueDisplay = 0;  // HEXSHOW_*
  int m_nAddrDigits = 1;    // 1-8
  int m_bInvertOrder = 0;
  int m_bSnapSelection = 0;
  int m_nOutputFormat = 0;  // 0-3

 protected:
  // The value display word unpacked.
  int m_nShowSize = 0;
  int m_bPositive = 0, m_bBigEndian = 0, m_bHexDistances = 0;

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void TakeFields(int clickedId);
  void EnableFields();
  afx_msg void OnFieldClicked(UINT nID);
  afx_msg void OnNumberLeft(UINT nID);
  DECLARE_MESSAGE_MAP()
};
