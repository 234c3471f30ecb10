#include "ui/dialogs/numberprompt.h"

#include <cstdio>
#include <cstring>

#include "mfc/ddx.h"
#include "ui/dialogs/dlgids.h"
#include "ui/dialogs/textprompt.h"

namespace {
int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// The text starts with a run of digits from set followed by the suffix.
bool HasSuffix(LPCSTR s, const char* set, char suffix) {
  size_t run = strspn(s, set);
  return run > 0 && (s[run] == suffix || s[run] == suffix + ('a' - 'A'));
}
}  // namespace

DWORD ParsePromptNumber(LPCSTR s) {
  if (!s) return 0;
  while (*s == ' ' || *s == '\t') ++s;
  bool negative = *s == '-';
  if (*s == '-' || *s == '+') ++s;
  int radix = 10;
  char second = (char)(s[0] == '0' ? s[1] | 0x20 : 0);
  if (second == 'x' || second == 'o' || second == 'b') {
    radix = second == 'x' ? 16 : second == 'o' ? 8 : 2;
    s += 2;
  } else if (HasSuffix(s, "0123456789abcdefABCDEF", 'H')) {
    radix = 16;
  } else if (HasSuffix(s, "01234567", 'O')) {
    radix = 8;
  } else if (HasSuffix(s, "01", 'B')) {
    radix = 2;
  }
  DWORD value = 0;
  for (int d; (d = DigitValue(*s)) < radix; ++s) value = value * radix + d;
  return negative ? 0u - value : value;
}

CString FormatPromptNumber(DWORD value, int format) {
  char bits[40];
  int n = 0;
  for (int bit = 31; bit >= 0; --bit) {
    if (n || (value >> bit) & 1 || bit == 0) bits[n++] = (char)('0' + ((value >> bit) & 1));
  }
  bits[n] = 0;
  char text[48];
  switch (format) {
    case kNumberSigned:
      snprintf(text, sizeof text, "%d", (int)value);
      break;
    case kNumberHexPrefix:
      snprintf(text, sizeof text, "0x%X", (unsigned)value);
      break;
    case kNumberBinPrefix:
      snprintf(text, sizeof text, "0b%s", bits);
      break;
    case kNumberOctPrefix:
      snprintf(text, sizeof text, "0o%o", (unsigned)value);
      break;
    case kNumberHexSuffix:
      snprintf(text, sizeof text, "%Xh", (unsigned)value);
      break;
    case kNumberBinSuffix:
      snprintf(text, sizeof text, "%sb", bits);
      break;
    case kNumberOctSuffix:
      snprintf(text, sizeof text, "%oo", (unsigned)value);
      break;
    default:
      snprintf(text, sizeof text, "%u", (unsigned)value);
      break;
  }
  return CString(text);
}

CNumberPromptDlg::CNumberPromptDlg(CWnd* pParent) { InitModalIndirect(CTextPromptDlg::PromptTemplate(FALSE), pParent); }

void CNumberPromptDlg::SetValue(DWORD value, int format) {
  m_nValue = value;
  m_strText = FormatPromptNumber(value, format);
}

void CNumberPromptDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_PROMPT_EDIT, m_strText); }

BOOL CNumberPromptDlg::OnInitDialog() {
  ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, kTagNumberPrompt);
  if (m_bFocus) PostMessage(WM_NEXTDLGCTL, (WPARAM)::GetDlgItem(m_hWnd, IDC_PROMPT_EDIT), TRUE);
  if (m_nWidthChange) m_nWidthChange = WidenPromptDialog(m_hWnd, m_nWidthChange);
  CDialog::OnInitDialog();
  if (!m_strTitle.IsEmpty()) SetWindowText(m_strTitle);
  if (!m_strPrompt.IsEmpty()) SetDlgItemText(IDC_PROMPT_TEXT, m_strPrompt);
  return TRUE;
}

void CNumberPromptDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  m_nValue = ParsePromptNumber(m_strText);
  CDialog::OnOK();
}
