// The page set-up dialog "Seite einrichten": lines per page, margins in
// millimetres, print colour, frame and font options, and header and footer
// texts with field codes from a menu. It edits a caller's record.
#pragma once

#include "mfc/mfc.h"

// Record flags.
const DWORD kPrintBlackWhite = 0x01;
const DWORD kPrintGrey = 0x02;
const DWORD kPrintColour = 0x04;
const DWORD kPrintColourMask = 0x07;
const DWORD kPrintWrap = 0x08;
const DWORD kPrintSameFont = 0x10;
const DWORD kPrintFrame = 0x20;
const DWORD kPrintFillFrame = 0x40;
const DWORD kPrintDialogMask = 0x7F;

struct ANSIPRINTSETTINGS {
  int linesPerPage;              // 20-250
  int top, bottom, left, right;  // millimetres, 0-100
  DWORD flags;
  char* header;  // new[] texts or null; the dialog replaces them
  char* footer;
};
// Frees the texts of a record.
void AnsiPrintSettingsFree(ANSIPRINTSETTINGS* settings);

// Control and command ids.
enum {
  kPageSetupWrap = 1030,
  kPageSetupSameFont = 1031,
  kPageSetupFillFrame = 1032,
  kPageSetupFrame = 1033,
  kPageSetupBlackWhite = 1034,
  kPageSetupGrey = 1035,
  kPageSetupHeaderFields = 1037,
  kPageSetupHeader = 1040,
  kPageSetupTop = 1043,
  kPageSetupBottom = 1044,
  kPageSetupLeft = 1045,
  kPageSetupRight = 1046,
  kPageSetupColour = 1047,
  kPageSetupFooter = 1048,
  kPageSetupFooterFields = 1049,
  kPageSetupLines = 1050,
  kPageFieldFirst = 2000,
  kPageFieldLast = 2010,
};
const int kPageSetupMaxText = 255;

class CAnsiPageSetupDlg : public CDialog {
 public:
  explicit CAnsiPageSetupDlg(CWnd* pParentWnd = nullptr);
  INT_PTR DoModal(ANSIPRINTSETTINGS* settings);

  // The field code of a menu command and whether blanks separate it; null
  // for other commands.
  static const char* FieldCode(UINT id, bool* blanks);

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  afx_msg void OnDestroy();
  afx_msg void OnHeaderFields();
  afx_msg void OnFooterFields();
  afx_msg void InsertField(UINT id);
  DECLARE_MESSAGE_MAP()

 private:
  INT_PTR DoModal() override { return CDialog::DoModal(); }
  void ShowFieldMenu(int buttonId);

  ANSIPRINTSETTINGS* m_pSettings = nullptr;
  CString m_header, m_footer;
  CString m_lines, m_top, m_bottom, m_left, m_right;
  int m_checks[7] = {};  // 1030-1035 and 1047
  int m_lastField = 0;   // 0 header, 1 footer
};
