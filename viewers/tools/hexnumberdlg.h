// "Zahlen eingabe": a value with its size and byte order; in copy mode also
// an output format and, with a formatter, a live preview of the output.
#pragma once

#include <cstdint>

#include "mfc/mfc.h"

enum {
  IDC_NUMBER_INPUT = 1055,
  IDC_NUMBER_PREVIEW = 1075,
  IDC_NUMBER_LABEL = 1120,
  IDC_NUMBER_BYTE = 1093,  // radio group: 1093-1096
  IDC_NUMBER_WORD = 1094,
  IDC_NUMBER_DWORD = 1095,
  IDC_NUMBER_QWORD = 1096,
  IDC_NUMBER_BIG_ENDIAN = 1122,
  IDC_NUMBER_FMT_C = 1029,  // radio group: 1029-1032
  IDC_NUMBER_FMT_ASM = 1030,
  IDC_NUMBER_FMT_TEXT = 1031,
  IDC_NUMBER_FMT_DUMP = 1032,
};
constexpr UINT_PTR kNumberPreviewTimer = 0xB63E;
constexpr int kNumberPreviewFormatBigEndian = 0x80;

// The preview's formatter: context words, byte count, format (| 0x80 for
// big-endian), the value bytes, and a text buffer of size characters.
typedef void (*HexNumberPreviewFn)(DWORD_PTR context1, DWORD_PTR context2, int count, int format,
                                   const unsigned char* bytes, char* text, int size);

class CHexNumberDlg : public CDialog {
 public:
  CHexNumberDlg(CWnd* pParent = nullptr) { m_pParentWnd = pParent; }
  INT_PTR DoModal() override;

  CString m_strInput;
  int m_nSize = 2;  // 0 Byte, 1 Word, 2 DWord, 3 QWord
  int m_bBigEndian = 0;
  const char* m_pszCaption = nullptr;
  const char* m_pszLabel = nullptr;
  HexNumberPreviewFn m_pfnPreview = nullptr;
  DWORD_PTR m_dwContext1 = 0, m_dwContext2 = 0;
  unsigned char m_value[8] = {};  // little-endian
  int m_nCount = 4;               // 0-8
  int m_nStyle = 1;               // 1: "0x" hexadecimal, else decimal
  int m_nFormat = 0;              // 0 C/C++, 1 Assembler, 2 Texttypen, 3 Dump
  int m_bCopyMode = 0;
  int m_nCountdown = 0;

  // Reads the input into the value and the count; false when it does not parse.
  bool ParseInput();

 protected:
  int m_nLabelSet = 0;
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void SetSizeLabels(int format);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()
  bool m_bBad = false;
};
