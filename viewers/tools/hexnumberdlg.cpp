#include "viewers/tools/hexnumberdlg.h"

#include <cstring>

#include "text/eval/evalexpr.h"
#include "text/numbers/intformat.h"
#include "viewers/tools/tooldlg.h"
#include "viewers/tools/valuetext.h"

namespace {

// The three templates: value, copy, copy with preview.
ToolTemplate MakeTemplate(int kind) {
  bool copy = kind > 0;
  int cx = copy ? 147 : 182, cy = kind == 0 ? 89 : kind == 1 ? 126 : 146;
  ToolTemplate t(kToolDlgStyle, cx, cy, "Zahlen eingabe");
  int w = cx - 14;
  t.Item(TPL_STATIC, IDC_NUMBER_LABEL, 0, 7, 7, w, 8, "")
      .Item(TPL_EDIT, IDC_NUMBER_INPUT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 18, w, 12)
      .Item(TPL_BUTTON, -1, BS_GROUPBOX, 7, 32, 110, 34, "Byte-Anzahl")
      .Item(TPL_BUTTON, IDC_NUMBER_BYTE, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 13, 42, 48, 10, "B&yte")
      .Item(TPL_BUTTON, IDC_NUMBER_WORD, BS_AUTORADIOBUTTON, 64, 42, 48, 10, "&Word")
      .Item(TPL_BUTTON, IDC_NUMBER_DWORD, BS_AUTORADIOBUTTON, 13, 53, 48, 10, "&DWord")
      .Item(TPL_BUTTON, IDC_NUMBER_QWORD, BS_AUTORADIOBUTTON, 64, 53, 48, 10, "&QWort")
      .Item(TPL_BUTTON, IDC_NUMBER_BIG_ENDIAN, BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 7, 70, 100, 10,
            "Big Endian Format");
  if (!copy) {
    t.Item(TPL_BUTTON, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 125, 36, 50, 14, "OK")
        .Item(TPL_BUTTON, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 125, 54, 50, 14, "Abbrechen");
    return t;
  }
  t.Item(TPL_BUTTON, -1, BS_GROUPBOX | WS_GROUP, 7, 82, 133, 29, "Format")
      .Item(TPL_BUTTON, IDC_NUMBER_FMT_C, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 13, 91, 55, 9, "C/C++")
      .Item(TPL_BUTTON, IDC_NUMBER_FMT_ASM, BS_AUTORADIOBUTTON, 72, 91, 60, 9, "Assembler")
      .Item(TPL_BUTTON, IDC_NUMBER_FMT_TEXT, BS_AUTORADIOBUTTON, 13, 100, 55, 9, "Texttypen")
      .Item(TPL_BUTTON, IDC_NUMBER_FMT_DUMP, BS_AUTORADIOBUTTON, 72, 100, 60, 9, "Dump");
  int y = 112;
  if (kind == 2) {
    t.Item(TPL_EDIT, IDC_NUMBER_PREVIEW, ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_GROUP, 7, 114, w, 12);
    y = 130;
  }
  t.Item(TPL_BUTTON, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 35, y, 50, 14, "OK")
      .Item(TPL_BUTTON, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 90, y, 50, 14, "Abbrechen");
  return t;
}

const ToolTemplate& Template(int kind) {
  static const ToolTemplate t[3] = {MakeTemplate(0), MakeTemplate(1), MakeTemplate(2)};
  return t[kind];
}

const int kSizeCounts[4] = {1, 2, 4, 8};

// Whether v is written whole in count bytes, read as signed or as unsigned.
bool FitsBytes(int64_t v, int count) {
  if (count >= 8) return true;
  const int bits = count * 8;
  return v >= -((int64_t)1 << (bits - 1)) && v < ((int64_t)1 << bits);
}

}  // namespace

BEGIN_MESSAGE_MAP(CHexNumberDlg, CDialog)
  ON_WM_TIMER()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

INT_PTR CHexNumberDlg::DoModal() {
  InitModalIndirect(Template(!m_bCopyMode ? 0 : m_pfnPreview ? 2 : 1).Get(), m_pParentWnd);
  return CDialog::DoModal();
}

void CHexNumberDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_NUMBER_INPUT, m_strInput);
  DDX_Radio(pDX, IDC_NUMBER_BYTE, m_nSize);
  DDX_Check(pDX, IDC_NUMBER_BIG_ENDIAN, m_bBigEndian);
  if (m_bCopyMode) DDX_Radio(pDX, IDC_NUMBER_FMT_C, m_nFormat);
}

BOOL CHexNumberDlg::OnInitDialog() {
  RestoreToolDlgPos(m_hWnd, TOOLPOS_NUMBER);
  if (m_nCount < 0) m_nCount = 0;
  if (m_nCount > 8) m_nCount = 8;
  // Without a last byte there is no sign: all bytes 0.
  unsigned char fill = m_nCount > 0 && (m_value[m_nCount - 1] & 0x80) ? 0xFF : 0;
  for (int i = m_nCount; i < 8; i++) m_value[i] = fill;
  char text[80];
  uint32_t style = m_nStyle == 1 ? FORMAT_0X : FORMAT_SIGNED;
  int64_t v;
  std::memcpy(&v, m_value, 8);
  if (m_nCount >= 5)
    FormatInt64A(v, text, style);
  else
    FormatIntA((int32_t)v, text, style);
  m_strInput = text;
  if (m_pszCaption) SetWindowText(m_pszCaption);
  if (m_pszLabel) SetDlgItemText(IDC_NUMBER_LABEL, m_pszLabel);
  m_nSize = m_nCount == 8 ? 3 : m_nCount == 2 ? 1 : m_nCount == 1 ? 0 : 2;
  if (m_bCopyMode) {
    m_nFormat &= 3;
    SetSizeLabels(m_nFormat);
  }
  CDialog::OnInitDialog();
  m_nCountdown = 1;
  if (m_pfnPreview) SetTimer(kNumberPreviewTimer, 200, nullptr);
  return TRUE;
}

void CHexNumberDlg::SetSizeLabels(int format) {
  static const char* const kText[4] = {"Base 64", "HEX-Text", "MIN-Text", "Chars"};
  static const char* const kSizes[4] = {"&Byte", "&Word", "&Dword", "&QWord"};
  for (int i = 0; i < 4; i++) {
    const char* label = format == 2 ? kText[i] : (i == 3 && format == 3) ? "---" : kSizes[i];
    SetDlgItemText(IDC_NUMBER_BYTE + i, label);
  }
  m_nLabelSet = format;
}

BOOL CHexNumberDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  int id = LOWORD(wParam), code = HIWORD(wParam);
  if (m_bCopyMode && code == BN_CLICKED && id >= IDC_NUMBER_FMT_C && id <= IDC_NUMBER_FMT_DUMP) {
    int format = id - IDC_NUMBER_FMT_C;
    bool relabel = format <= 1 ? m_nLabelSet >= 2 : format != m_nLabelSet;
    if (relabel) SetSizeLabels(format);
  }
  if ((code == EN_CHANGE && id == IDC_NUMBER_INPUT) ||
      (code == BN_CLICKED && ((id >= IDC_NUMBER_FMT_C && id <= IDC_NUMBER_FMT_DUMP) ||
                              (id >= IDC_NUMBER_BYTE && id <= IDC_NUMBER_QWORD) || id == IDC_NUMBER_BIG_ENDIAN))) {
    m_nCountdown = 3;
    if (m_bBad && code == EN_CHANGE) {
      m_bBad = false;
      ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_NUMBER_INPUT), nullptr, TRUE);
    }
  }
  return CDialog::OnCommand(wParam, lParam);
}

bool CHexNumberDlg::ParseInput() {
  UpdateData(TRUE);
  m_nCount = kSizeCounts[m_nSize & 3];
  const char* p = m_strInput;
  while (*p == ' ' || *p == '\t') p++;
  if (*p == ':') {
    unsigned char bytes[8] = {};
    int n = ParseValueText(p, bytes, 8);
    std::memcpy(m_value, bytes, 8);
    return n > 0;
  }
  int64_t v = 0;
  uint32_t status = 0;
  EvalExpr64ExactA(p, &v, &status, EVAL_LEVEL_TOP);
  for (int i = 0; i < 8; i++) m_value[i] = (unsigned char)(v >> (8 * i));
  // Text types and dumps name no width with the size buttons.
  bool width = !m_bCopyMode || m_nFormat < 2;
  return status != 0 && (!width || FitsBytes(v, m_nCount));
}

void CHexNumberDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kNumberPreviewTimer) {
    CDialog::OnTimer(nIDEvent);
    return;
  }
  if (m_nCountdown <= 0 || --m_nCountdown > 0) return;
  ParseInput();
  char text[256] = "";
  if (m_pfnPreview)
    m_pfnPreview(m_dwContext1, m_dwContext2, m_nCount, m_nFormat | (m_bBigEndian ? kNumberPreviewFormatBigEndian : 0),
                 m_value, text, sizeof text);
  text[sizeof text - 1] = 0;
  if (char* lf = std::strchr(text, '\n')) *lf = 0;
  SetDlgItemText(IDC_NUMBER_PREVIEW, text);
}

HBRUSH CHexNumberDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  int id = pWnd ? ::GetDlgCtrlID(pWnd->GetSafeHwnd()) : 0;
  if (id == IDC_NUMBER_INPUT && m_bBad) return ToolFieldBrush(pDC->GetSafeHdc(), true);
  if (id == IDC_NUMBER_PREVIEW) return ToolFieldBrush(pDC->GetSafeHdc(), false);
  return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CHexNumberDlg::OnOK() {
  if (!ParseInput()) {
    // Nothing that does not parse or fit is written: the field stays, red.
    m_bBad = true;
    ::MessageBeep(MB_ICONEXCLAMATION);
    HWND input = ::GetDlgItem(m_hWnd, IDC_NUMBER_INPUT);
    ::InvalidateRect(input, nullptr, TRUE);
    ::SetFocus(input);
    return;
  }
  RememberToolDlgPos(m_hWnd, TOOLPOS_NUMBER);
  CDialog::OnOK();
}

void CHexNumberDlg::OnCancel() {
  RememberToolDlgPos(m_hWnd, TOOLPOS_NUMBER);
  CDialog::OnCancel();
}
