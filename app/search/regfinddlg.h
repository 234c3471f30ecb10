// The find dialog "Suchen": search text with its history, what to look at,
// the mode, case, and a menu that inserts the pattern tokens.
#pragma once

#include "base/cstring.h"
#include "mfc/mfc.h"

// Commands of the token menu: entry n is kFindTokenFirst - 1 + n.
const UINT kFindTokenFirst = 16640;
const UINT kFindTokenLast = 16662;

class CRegFindDlg : public CDialog {
 public:
  explicit CRegFindDlg(CWnd* pParent = nullptr);

  int MatchCase = 0;
  int FindKeys = 1;
  int FindItems = 1;
  int FindData = 1;
  int FindMode = 0;
  CString FindText;

  // The token that entry n inserts, NULL for none.
  static const char* TokenOf(int n);
  // Inserts entry n's token into text at selStart; answers the caret.
  static int InsertToken(CString& text, int selStart, int n);
  // The popup of the token menu (the caller destroys it).
  static HMENU BuildTokenMenu();
  void ShowTokenMenu();

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  void OnCancel() override;
  afx_msg void OnDestroy();
  afx_msg void OnTokenButton();
  afx_msg void OnEditChange() {}
  afx_msg void OnToken(UINT id);
  DECLARE_MESSAGE_MAP()

 private:
  void SaveOptions();
};
