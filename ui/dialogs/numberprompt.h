// A number from the user in decimal, hexadecimal, octal or binary.
#pragma once

#include "base/cstring.h"
#include "mfc/dialog.h"

// Formats of CNumberPromptDlg::SetValue.
enum NumberPromptFormat {
  kNumberSigned = 0,     // -31
  kNumberHexPrefix = 1,  // 0x1F
  kNumberBinPrefix = 2,  // 0b101
  kNumberOctPrefix = 3,  // 0o17
  kNumberHexSuffix = 4,  // 1Fh
  kNumberBinSuffix = 5,  // 101b
  kNumberOctSuffix = 6,  // 17o
  kNumberUnsigned = 7,   // any other: 4294967265
};

class CNumberPromptDlg : public CDialog {
 public:
  explicit CNumberPromptDlg(CWnd* pParent = nullptr);

  void SetTitle(LPCSTR title) { m_strTitle = title; }
  void SetPrompt(LPCSTR prompt) { m_strPrompt = prompt; }
  void SetValue(DWORD value, int format);

  CString m_strText = "0", m_strTitle, m_strPrompt;
  DWORD m_nValue = 0;  // the result after IDOK
  BOOL m_bFocus = FALSE;
  LONG m_nWidthChange = 0;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;
};

// The prompt's reading of a number: blanks, a sign, a radix prefix 0x/0o/0b
// or suffix h/o/b (hex tried first), digits up to the first other character.
DWORD ParsePromptNumber(LPCSTR text);
// The text SetValue shows for value in format.
CString FormatPromptNumber(DWORD value, int format);
