#include "ui/dialogs/choicecombo.h"

#include "ui/dialogs/dlgids.h"
#include "ui/dialogs/dlglayout.h"
#include "ui/dialogs/dlgtemplate.h"

namespace {
LPCDLGTEMPLATE ComboTemplate() {
  static const CDlgTemplateBuilder t = [] {
    CDlgTemplateBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 227, 76, "Auswahl");
    const DWORD combo = CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP | kDlgHidden;
    b.Item(kDlgButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 55, 50, 50, 14, "OK")
        .Item(kDlgButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 115, 50, 50, 14, "Abbrechen")
        .Item(kDlgComboBox, IDC_CHOICE_COMBO, CBS_DROPDOWNLIST | combo, 15, 25, 195, 145)
        .Item(kDlgStatic, IDC_CHOICE_PROMPT, SS_LEFT, 15, 15, 195, 8)
        .Item(kDlgComboBox, IDC_CHOICE_EDITCOMBO, CBS_DROPDOWN | combo, 15, 25, 195, 145);
    return b;
  }();
  return t.Get();
}
}  // namespace

CChoiceComboDlg::CChoiceComboDlg(CWnd* pParent) { InitModalIndirect(ComboTemplate(), pParent); }

int CChoiceComboDlg::ComboId() const { return m_bEditable ? IDC_CHOICE_EDITCOMBO : IDC_CHOICE_COMBO; }

int CChoiceComboDlg::InsertItem(int index, DWORD data, LPCSTR text, BOOL select) {
  int n = m_items.Insert(index, data, text);
  if (n >= 0 && select) m_nSelection = n;
  return n;
}

int CChoiceComboDlg::FindItem(LPCSTR text, int mode) {
  int n = m_items.Find(text, mode);
  if (n >= 0) m_nSelection = n;
  return n;
}

BOOL CChoiceComboDlg::OnInitDialog() {
  ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, kTagChoiceCombo);
  HWND combo = ::GetDlgItem(m_hWnd, ComboId());
  if (m_bFocus) PostMessage(WM_NEXTDLGCTL, (WPARAM)combo, TRUE);
  for (int i = 0; i < m_items.Count(); ++i) ::SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)m_items.Text(i));
  if (m_nSelection >= m_items.Count()) m_nSelection = -1;
  if (m_nSelection < 0 && !m_bEditable) m_nSelection = 0;
  if (m_nSelection >= 0)
    ::SendMessageA(combo, CB_SETCURSEL, m_nSelection, 0);
  else
    ::SetWindowTextA(combo, m_strResult);
  ::ShowWindow(combo, SW_SHOW);

  RECT rc;
  GetWindowRect(&rc);
  int delta = DlgSizeChangePixels(rc.right - rc.left, m_nWidthChange, kChoiceNominalWidth);
  if (delta) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left + delta, rc.bottom - rc.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveDlgItemBy(m_hWnd, ComboId(), 0, 0, delta, 0);
    MoveDlgItemBy(m_hWnd, IDC_CHOICE_PROMPT, 0, 0, delta, 0);
    MoveDlgItemBy(m_hWnd, IDOK, delta / 2, 0);
    MoveDlgItemBy(m_hWnd, IDCANCEL, delta / 2, 0);
    m_nWidthChange = delta;
  }
  if (!m_bCancel) {
    ::ShowWindow(::GetDlgItem(m_hWnd, IDCANCEL), SW_HIDE);
    RECT ok = DlgItemRect(m_hWnd, IDOK);
    MoveDlgItemBy(m_hWnd, IDOK, (ok.right - ok.left) * 3 / 5, 0);
  }
  CDialog::OnInitDialog();
  if (!m_strTitle.IsEmpty()) SetWindowText(m_strTitle);
  if (!m_strPrompt.IsEmpty()) SetDlgItemText(IDC_CHOICE_PROMPT, m_strPrompt);
  ::SetFocus(combo);
  PostMessage(WM_NEXTDLGCTL, (WPARAM)combo, TRUE);
  return FALSE;  // the focus is set
}

void CChoiceComboDlg::OnOK() {
  HWND combo = ::GetDlgItem(m_hWnd, ComboId());
  m_nSelection = (int)::SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (m_nSelection < 0) {
    int len = ::GetWindowTextLengthA(combo);
    ::GetWindowTextA(combo, m_strResult.GetBuffer(len + 1), len + 1);
    m_strResult.ReleaseBuffer();
    m_dwResultData = 0;
  } else {
    int len = (int)::SendMessageA(combo, CB_GETLBTEXTLEN, m_nSelection, 0);
    if (len < 0) len = 0;
    ::SendMessageA(combo, CB_GETLBTEXT, m_nSelection, (LPARAM)m_strResult.GetBuffer(len + 1));
    m_strResult.ReleaseBuffer();
    m_dwResultData = m_items.Data(m_nSelection);
  }
  CDialog::OnOK();
}

void CChoiceComboDlg::OnCancel() {
  if (!m_bCancel) {
    OnOK();
    return;
  }
  m_strResult.Empty();
  m_nSelection = -1;
  EndDialog(IDCANCEL);
}
