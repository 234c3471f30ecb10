// One line of text from the user, optionally hidden as a password.
#pragma once

#include "base/cstring.h"
#include "mfc/dialog.h"

class CTextPromptDlg : public CDialog {
 public:
  // password: the template whose edit hides its text.
  explicit CTextPromptDlg(CWnd* pParent = nullptr, BOOL password = FALSE);

  void SetTitle(LPCSTR title) { m_strTitle = title; }
  void SetPrompt(LPCSTR prompt) { m_strPrompt = prompt; }
  void SetText(LPCSTR text) { m_strText = text; }
  const CString& GetText() const { return m_strText; }
  int CopyText(LPSTR buffer, int size) const;

  CString m_strText, m_strTitle, m_strPrompt;
  BOOL m_bPassword = FALSE;  // recreates the edit with ES_PASSWORD
  BOOL m_bFocus = FALSE;     // the edit gets the focus
  // Nominal units (354 = the template's width); 0x1234nnnn sets width
  // nnnn. After OnInitDialog: the change in pixels.
  LONG m_nWidthChange = 0;

  // The template (with or without ES_PASSWORD) shared by the prompts.
  static LPCDLGTEMPLATE PromptTemplate(BOOL password);

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
};

// Widens a prompt window and its edit and prompt, moves its buttons;
// returns the change in pixels.
int WidenPromptDialog(HWND dialog, LONG change);
