#include "ui/dialogs/textprompt.h"

#include "mfc/ddx.h"
#include "ui/dialogs/choiceitems.h"
#include "ui/dialogs/dlgids.h"
#include "ui/dialogs/dlglayout.h"
#include "ui/dialogs/dlgtemplate.h"

namespace {
CDlgTemplateBuilder BuildPromptTemplate(BOOL password) {
  CDlgTemplateBuilder t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 232, 58, "Dateinamen eingeben");
  t.Item(kDlgEdit, IDC_PROMPT_EDIT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | (password ? ES_PASSWORD : 0), 5, 15, 220,
         13)
      .Item(kDlgButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 120, 35, 50, 14, "OK")
      .Item(kDlgButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 175, 35, 50, 14, "Abbrechen")
      .Item(kDlgStatic, IDC_PROMPT_TEXT, SS_LEFT, 5, 5, 220, 8);
  return t;
}

// Puts an edit with ES_PASSWORD in the place of the template's edit, with
// its z-order, font and extended style.
void RecreateAsPassword(HWND dialog) {
  HWND old = GetDlgItem(dialog, IDC_PROMPT_EDIT);
  if (!old) return;
  DWORD style = (DWORD)GetWindowLongPtrA(old, GWL_STYLE);
  DWORD exStyle = (DWORD)GetWindowLongPtrA(old, GWL_EXSTYLE);
  HFONT font = (HFONT)SendMessageA(old, WM_GETFONT, 0, 0);
  RECT rc = DlgItemRect(dialog, IDC_PROMPT_EDIT);
  HWND edit = CreateWindowExA(exStyle, "EDIT", "", style | ES_PASSWORD, rc.left, rc.top, rc.right - rc.left,
                              rc.bottom - rc.top, dialog, (HMENU)(INT_PTR)IDC_PROMPT_EDIT,
                              (HINSTANCE)GetWindowLongPtrA(dialog, GWLP_HINSTANCE), nullptr);
  if (!edit) return;
  SendMessageA(edit, WM_SETFONT, (WPARAM)font, FALSE);
  SetWindowPos(edit, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  DestroyWindow(old);
}
}  // namespace

LPCDLGTEMPLATE CTextPromptDlg::PromptTemplate(BOOL password) {
  static const CDlgTemplateBuilder plain = BuildPromptTemplate(FALSE);
  static const CDlgTemplateBuilder hidden = BuildPromptTemplate(TRUE);
  return password ? hidden.Get() : plain.Get();
}

int WidenPromptDialog(HWND dialog, LONG change) {
  RECT rc;
  GetWindowRect(dialog, &rc);
  int delta = DlgSizeChangePixels(rc.right - rc.left, change, kPromptNominalWidth);
  if (!delta) return 0;
  SetWindowPos(dialog, nullptr, 0, 0, rc.right - rc.left + delta, rc.bottom - rc.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  MoveDlgItemBy(dialog, IDC_PROMPT_EDIT, 0, 0, delta, 0);
  MoveDlgItemBy(dialog, IDC_PROMPT_TEXT, 0, 0, delta, 0);
  MoveDlgItemBy(dialog, IDOK, delta, 0);
  MoveDlgItemBy(dialog, IDCANCEL, delta, 0);
  return delta;
}

CTextPromptDlg::CTextPromptDlg(CWnd* pParent, BOOL password) { InitModalIndirect(PromptTemplate(password), pParent); }

int CTextPromptDlg::CopyText(LPSTR buffer, int size) const { return CopyDialogText(m_strText, buffer, size); }

void CTextPromptDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_PROMPT_EDIT, m_strText); }

BOOL CTextPromptDlg::OnInitDialog() {
  ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, kTagTextPrompt);
  if (m_bPassword) RecreateAsPassword(m_hWnd);
  if (m_bFocus) PostMessage(WM_NEXTDLGCTL, (WPARAM)::GetDlgItem(m_hWnd, IDC_PROMPT_EDIT), TRUE);
  if (m_nWidthChange) m_nWidthChange = WidenPromptDialog(m_hWnd, m_nWidthChange);
  CDialog::OnInitDialog();
  if (!m_strTitle.IsEmpty()) SetWindowText(m_strTitle);
  if (!m_strPrompt.IsEmpty()) SetDlgItemText(IDC_PROMPT_TEXT, m_strPrompt);
  return TRUE;
}
