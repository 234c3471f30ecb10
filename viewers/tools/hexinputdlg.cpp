#include "viewers/tools/hexinputdlg.h"

#include <cstring>
#include <string>

#include "text/eval/evalexpr.h"
#include "text/numbers/intformat.h"
#include "ui/windowutil.h"
#include "viewers/tools/numconvertdlg.h"
#include "viewers/tools/strlist.h"
#include "viewers/tools/tooldlg.h"

namespace {

const ToolTemplate& Template() {
  static const ToolTemplate t = [] {
    ToolTemplate t(kToolDlgStyle, 182, 55, "Neuer Hexbereich");
    t.Item(TPL_STATIC, IDC_INPUT_LABEL, 0, 7, 7, 168, 8, "Speichergröße :")
        .Item(TPL_EDIT, IDC_INPUT_EDIT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 18, 168, 12)
        .Item(TPL_COMBOBOX, IDC_INPUT_COMBO, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 7, 18, 168, 120,
              "", true)
        .Item(TPL_BUTTON, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 70, 36, 50, 14, "OK")
        .Item(TPL_BUTTON, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 125, 36, 50, 14, "Abbrechen");
    return t;
  }();
  return t;
}

}  // namespace

void PutInputHistory(char** list, const char* text) {
  std::string out = text;
  out += '\0';
  for (int i = 0; i < kInputHistoryOld; i++) {
    const char* old = StrListGetAt(list, i);
    if (!old) break;
    if (_stricmp(old, text) == 0) continue;
    size_t len = std::strlen(old) + 1;
    if (out.size() + len + 1 > (size_t)kInputHistoryChars) break;
    out.append(old, len);
  }
  out += '\0';
  char* block = new char[out.size()];
  std::memcpy(block, out.data(), out.size());
  StrListFree(list);
  *list = block;
}

BEGIN_MESSAGE_MAP(CHexInputDlg, CDialog)
  ON_WM_CTLCOLOR()
  ON_EN_CHANGE(IDC_INPUT_EDIT, OnInputChanged)
  ON_CBN_EDITCHANGE(IDC_INPUT_COMBO, OnInputChanged)
END_MESSAGE_MAP()

INT_PTR CHexInputDlg::DoModal() {
  InitModalIndirect(Template().Get(), m_pParentWnd);
  return CDialog::DoModal();
}

HWND CHexInputDlg::Input() const { return ::GetDlgItem(m_hWnd, m_ppHistory ? IDC_INPUT_COMBO : IDC_INPUT_EDIT); }

BOOL CHexInputDlg::OnInitDialog() {
  if (m_ppHistory) {
    HWND combo = ::GetDlgItem(m_hWnd, IDC_INPUT_COMBO);
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_INPUT_EDIT), SW_HIDE);
    ::ShowWindow(combo, SW_SHOW);
    if (*m_ppHistory) FillListFromString(combo, *m_ppHistory, 0, TRUE);
    PostMessage(WM_NEXTDLGCTL, (WPARAM)combo, 1);
  }
  if (m_pszCaption) SetWindowText(m_pszCaption);
  if (m_pszLabel) SetDlgItemText(IDC_INPUT_LABEL, m_pszLabel);
  CDialog::OnInitDialog();
  return TRUE;
}

bool CHexInputDlg::Evaluate(const CString& text) {
  m_nStatus = 0;
  if (m_nFlags & HEXINPUT_64BIT) {
    int64_t v = 0;
    EvalExpr64ExactA(text, &v, &m_nStatus, EVAL_LEVEL_TOP);
    if (m_nStatus) m_nValue = v;
  } else {
    int32_t v = 0;
    EvalExprExactA(text, &v, &m_nStatus, EVAL_LEVEL_TOP);
    if (m_nStatus) m_nValue = v;
  }
  return m_nStatus != 0;
}

void CHexInputDlg::DoDataExchange(CDataExchange* pDX) {
  HWND input = Input();
  if (!pDX->m_bSaveAndValidate) {
    char text[80];
    uint32_t style = (m_nFlags & HEXINPUT_HEX) ? FORMAT_0X : FORMAT_SIGNED;
    if (m_nFlags & HEXINPUT_64BIT)
      FormatInt64A(m_nValue, text, style);
    else
      FormatIntA((int32_t)m_nValue, text, style);
    ::SetWindowTextA(input, text);
    return;
  }
  char text[261];
  ::GetWindowTextA(input, text, sizeof text);
  if (!Evaluate(text)) pDX->Fail();
}

void CHexInputDlg::OnInputChanged() {
  char text[261];
  ::GetWindowTextA(Input(), text, sizeof text);
  uint32_t before = m_nStatus;
  int64_t keep = m_nValue;
  Evaluate(text);
  m_nValue = keep;  // only OK takes the value
  if ((before != 0) != (m_nStatus != 0)) ::InvalidateRect(Input(), nullptr, TRUE);
  if (m_ppHistory) ::InvalidateRect(ComboEditOf(Input()), nullptr, TRUE);
}

HBRUSH CHexInputDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  HWND hwnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
  bool input = hwnd && (hwnd == Input() || ::GetParent(hwnd) == Input());
  if (input && m_nStatus == 0) return ToolFieldBrush(pDC->GetSafeHdc(), true);
  return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CHexInputDlg::OnOK() {
  char text[261];
  ::GetWindowTextA(Input(), text, sizeof text);
  if (!Evaluate(text)) {
    // Nothing that does not parse is taken: the field stays, red.
    ::MessageBeep(MB_ICONEXCLAMATION);
    ::InvalidateRect(Input(), nullptr, TRUE);
    if (m_ppHistory) ::InvalidateRect(ComboEditOf(Input()), nullptr, TRUE);
    ::SetFocus(Input());
    return;
  }
  if (m_ppHistory && text[0]) PutInputHistory(m_ppHistory, text);
  CDialog::OnOK();
}
