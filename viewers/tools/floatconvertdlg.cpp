#include "viewers/tools/floatconvertdlg.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "text/codecs/hexcodec.h"
#include "text/eval/evalexpr.h"
#include "text/numbers/intparse.h"
#include "viewers/tools/tooldlg.h"

namespace {

const ToolTemplate& Template() {
  static const ToolTemplate t = [] {
    ToolTemplate t(kToolDlgStyle, 242, 159, "Flieskommakonverter");
    const DWORD ed = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    t.Item(TPL_STATIC, -1, 0, 62, 5, 80, 8, "Double :")
        .Item(TPL_STATIC, -1, 0, 152, 5, 80, 8, "Float :")
        .Item(TPL_STATIC, -1, 0, 7, 17, 50, 8, "Werte")
        .Item(TPL_EDIT, IDC_FLT_DOUBLE, ed, 62, 15, 85, 12)
        .Item(TPL_EDIT, IDC_FLT_FLOAT, ed, 152, 15, 83, 12)
        .Item(TPL_STATIC, -1, 0, 7, 33, 50, 8, "Mantisse :")
        .Item(TPL_EDIT, IDC_FLT_DMANT, ed, 62, 31, 85, 12)
        .Item(TPL_EDIT, IDC_FLT_FMANT, ed, 152, 31, 83, 12)
        .Item(TPL_STATIC, -1, 0, 7, 49, 50, 8, "Exponent :")
        .Item(TPL_EDIT, IDC_FLT_DEXP, ed, 62, 47, 85, 12)
        .Item(TPL_EDIT, IDC_FLT_FEXP, ed, 152, 47, 83, 12)
        .Item(TPL_STATIC, -1, 0, 7, 67, 50, 8, "HEX-Dump :")
        .Item(TPL_EDIT, IDC_FLT_DUMP, ed, 62, 65, 173, 12)
        .Item(TPL_BUTTON, IDC_FLT_SWAP_BYTES, BS_PUSHBUTTON | WS_TABSTOP, 62, 83, 55, 14, "Swap Bytes")
        .Item(TPL_BUTTON, IDC_FLT_SWAP_WORDS, BS_PUSHBUTTON | WS_TABSTOP, 121, 83, 55, 14, "Swap Words")
        .Item(TPL_BUTTON, IDC_FLT_SWAP_QWORDS, BS_PUSHBUTTON | WS_TABSTOP, 180, 83, 55, 14, "Swap QWords")
        .Item(TPL_BUTTON, -1, BS_GROUPBOX, 7, 102, 170, 50, "")
        .Item(TPL_STATIC, -1, 0, 13, 112, 40, 8, "Float:")
        .Item(TPL_STATIC, -1, 0, 55, 112, 40, 8, "M=0...22")
        .Item(TPL_STATIC, -1, 0, 97, 112, 40, 8, "E=23...30")
        .Item(TPL_STATIC, -1, 0, 139, 112, 30, 8, "V=31")
        .Item(TPL_STATIC, -1, 0, 13, 130, 40, 8, "Double:")
        .Item(TPL_STATIC, -1, 0, 55, 130, 40, 8, "M=0...51")
        .Item(TPL_STATIC, -1, 0, 97, 130, 40, 8, "E=52...62")
        .Item(TPL_STATIC, -1, 0, 139, 130, 30, 8, "V=63")
        .Item(TPL_BUTTON, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 185, 138, 50, 14, "OK");
    return t;
  }();
  return t;
}

int PartIndex(int id) {
  switch (id) {
    case IDC_FLT_DMANT:
      return 0;
    case IDC_FLT_FMANT:
      return 1;
    case IDC_FLT_DEXP:
      return 2;
    case IDC_FLT_FEXP:
      return 3;
  }
  return -1;
}

const int kFieldIds[7] = {IDC_FLT_DOUBLE, IDC_FLT_FLOAT, IDC_FLT_DUMP, IDC_FLT_DMANT,
                          IDC_FLT_FMANT,  IDC_FLT_DEXP,  IDC_FLT_FEXP};

void Trim(char* text) {
  char* p = text;
  while (*p == ' ' || *p == '\t') p++;
  std::memmove(text, p, std::strlen(p) + 1);
  size_t n = std::strlen(text);
  while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t')) text[--n] = 0;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }

}  // namespace

double ParseFloatFieldText(const char* text) {
  const char* p = text;
  while (*p == ' ' || *p == '\t') p++;
  const char* digits = *p == '-' ? p + 1 : p;
  bool prefix = digits[0] == '0' && digits[1] && std::strchr("xXbBoO", digits[1]) && digits[2];
  size_t n = std::strlen(digits);
  while (n > 0 && (digits[n - 1] == ' ' || digits[n - 1] == '\t')) n--;
  bool suffix = n >= 2 && (digits[n - 1] | 0x20) == 'h';
  for (size_t i = 0; suffix && i + 1 < n; i++) suffix = IsHexDigit(digits[i]);
  if (prefix || suffix) return (double)ParseInt64A(p, PARSE_MIXED, nullptr);
  return std::strtod(p, nullptr);
}

BEGIN_MESSAGE_MAP(CFloatConvertDlg, CDialog)
  ON_WM_CTLCOLOR()
  ON_CONTROL_RANGE(EN_CHANGE, IDC_FLT_DOUBLE, IDC_FLT_DOUBLE, OnValueChanged)
  ON_CONTROL_RANGE(EN_CHANGE, IDC_FLT_FLOAT, IDC_FLT_FLOAT, OnValueChanged)
  ON_EN_CHANGE(IDC_FLT_DUMP, OnDumpChanged)
  ON_CONTROL_RANGE(EN_CHANGE, IDC_FLT_DMANT, IDC_FLT_DEXP, OnPartChanged)
  ON_CONTROL_RANGE(EN_CHANGE, IDC_FLT_FEXP, IDC_FLT_FEXP, OnPartChanged)
  ON_CONTROL_RANGE(EN_SETFOCUS, IDC_FLT_DMANT, IDC_FLT_DEXP, OnPartFocus)
  ON_CONTROL_RANGE(EN_SETFOCUS, IDC_FLT_FEXP, IDC_FLT_FEXP, OnPartFocus)
  ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_FLT_DMANT, IDC_FLT_DEXP, OnPartLeft)
  ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_FLT_FEXP, IDC_FLT_FEXP, OnPartLeft)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_FLT_SWAP_BYTES, IDC_FLT_SWAP_QWORDS, OnSwap)
END_MESSAGE_MAP()

INT_PTR CFloatConvertDlg::DoModal() {
  InitModalIndirect(Template().Get(), m_pParentWnd);
  return CDialog::DoModal();
}

BOOL CFloatConvertDlg::OnInitDialog() {
  for (auto& v : m_valid) v = 1;
  RestoreToolDlgPos(m_hWnd, TOOLPOS_FLOAT);
  SendDlgItemMessage(IDC_FLT_DUMP, WM_SETFONT, (WPARAM)::GetStockObject(ANSI_FIXED_FONT), 0);
  if (m_nCount < 0) m_nCount = 0;
  if (m_nCount > 8) m_nCount = 8;
  for (int i = m_nCount; i < 8; i++) m_bytes[i] = 0;
  if (m_nMode == 0) {
    std::memcpy(m_bytes, &m_dValue, 8);
    FromBytes();
    m_nCount = 8;
  } else if (m_nMode == 1) {
    std::memcpy(m_bytes, &m_fValue, 4);
    std::memset(m_bytes + 4, 0, 4);
    FromBytes();
    m_nCount = 4;
  } else {
    FromBytes();
    m_nCount = 8;
    m_nMode = 2;
  }
  CDialog::OnInitDialog();
  UpdateFields(FLT_ALL);
  return TRUE;
}

void CFloatConvertDlg::FromBytes() {
  std::memcpy(&m_dValue, m_bytes, 8);
  std::memcpy(&m_fValue, m_bytes, 4);
  uint64_t d;
  uint32_t f;
  std::memcpy(&d, m_bytes, 8);
  std::memcpy(&f, m_bytes, 4);
  m_nDoubleMantissa = d & ((1ull << 52) - 1);
  m_nDoubleExponent = (int)((d >> 52) & 0x7FF) - 1023;
  m_nFloatMantissa = f & ((1u << 23) - 1);
  m_nFloatExponent = (int)((f >> 23) & 0xFF) - 127;
}

void CFloatConvertDlg::FromDouble() {
  std::memcpy(m_bytes, &m_dValue, 8);
  FromBytes();
  m_nCount = 8;
  m_nMode = 0;
}

void CFloatConvertDlg::FromFloat() {
  std::memcpy(m_bytes, &m_fValue, 4);
  std::memset(m_bytes + 4, 0, 4);
  FromBytes();
  m_nCount = 4;
  m_nMode = 1;
}

void CFloatConvertDlg::UpdateFields(int item) {
  bool busy = m_bBusy;
  m_bBusy = true;
  for (int k = 0; k < 7; k++) {
    if (item >= FLT_ONLY ? k != item - FLT_ONLY : k == item) continue;
    char text[96];
    uint64_t d;
    uint32_t f;
    std::memcpy(&d, m_bytes, 8);
    std::memcpy(&f, m_bytes, 4);
    switch (k) {
      case FLT_DOUBLE:
        std::snprintf(text, 64, "%g", m_dValue);
        break;
      case FLT_FLOAT:
        std::snprintf(text, 64, "%g", (double)m_fValue);
        break;
      case FLT_DUMP:
        BytesToHexA(m_bytes, text, m_nMode == 1 ? 4 : 8, 0xA0002000);
        break;
      case FLT_DMANT:
        std::snprintf(text, sizeof text, "%lld  >%04llXh", (long long)(d & ((1ull << 52) - 1)),
                      (unsigned long long)(d & ((1ull << 52) - 1)));
        break;
      case FLT_FMANT:
        std::snprintf(text, sizeof text, "%i  >%04Xh", (int)(f & 0x7FFFFF), (unsigned)(f & 0x7FFFFF));
        break;
      case FLT_DEXP: {
        int e = (int)((d >> 52) & 0x7FF);
        std::snprintf(text, sizeof text, "%i  >%03Xh", e - 1023, (unsigned)e);
        break;
      }
      case FLT_FEXP: {
        int e = (int)((f >> 23) & 0xFF);
        std::snprintf(text, sizeof text, "%i  >%02Xh", e - 127, (unsigned)e);
        break;
      }
    }
    char old[96];
    ::GetDlgItemTextA(m_hWnd, kFieldIds[k], old, sizeof old);
    if (std::strcmp(old, text) != 0) ::SetDlgItemTextA(m_hWnd, kFieldIds[k], text);
  }
  m_bBusy = busy;
}

void CFloatConvertDlg::OnValueChanged(UINT nID) {
  if (m_bBusy) return;
  char text[129];
  ::GetDlgItemTextA(m_hWnd, nID, text, sizeof text);
  if (char* gt = std::strchr(text, '>')) *gt = 0;
  Trim(text);
  double v = ParseFloatFieldText(text);
  if (nID == IDC_FLT_DOUBLE) {
    m_dValue = v;
    FromDouble();
    UpdateFields(FLT_DOUBLE);
  } else {
    m_fValue = (float)v;
    FromFloat();
    UpdateFields(FLT_FLOAT);
  }
}

void CFloatConvertDlg::SetValid(int index, bool valid, int id) {
  if ((m_valid[index] != 0) == valid) return;
  m_valid[index] = valid;
  ::RedrawWindow(::GetDlgItem(m_hWnd, id), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CFloatConvertDlg::OnPartChanged(UINT nID) {
  if (m_bBusy) return;
  char text[129];
  ::GetDlgItemTextA(m_hWnd, nID, text, sizeof text);
  char* gt = std::strchr(text, '>');
  const char* expr = gt ? gt + 1 : text;
  bool raw = gt != nullptr;
  int index = PartIndex((int)nID);
  uint64_t d;
  uint32_t f;
  std::memcpy(&d, m_bytes, 8);
  std::memcpy(&f, m_bytes, 4);
  bool valid;
  if (index == 0) {
    int64_t v = 0;
    uint32_t status = 0;
    // A number wider than 64 bits would wrap into the range: refused.
    EvalExpr64ExactA(expr, &v, &status);
    valid = status && v >= 0 && (uint64_t)v < (1ull << 52);
    if (valid) d = (d & ~((1ull << 52) - 1)) | (uint64_t)v;
  } else {
    int32_t v = 0;
    uint32_t status = 0;
    EvalExprExactA(expr, &v, &status);
    if (index == 1) {
      valid = status && v >= 0 && v < (1 << 23);
      if (valid) f = (f & ~0x7FFFFFu) | (uint32_t)v;
    } else if (index == 2) {
      int biased = raw ? v : v + 1023;
      valid = status && biased >= 0 && biased <= 2047;
      if (valid) d = (d & ~(0x7FFull << 52)) | ((uint64_t)biased << 52);
    } else {
      int biased = raw ? v : v + 127;
      valid = status && biased >= 0 && biased <= 255;
      if (valid) f = (f & ~(0xFFu << 23)) | ((uint32_t)biased << 23);
    }
  }
  SetValid(index, valid, (int)nID);
  if (!valid) return;
  if (index == 0 || index == 2) {
    std::memcpy(&m_dValue, &d, 8);
    FromDouble();
  } else {
    std::memcpy(&m_fValue, &f, 4);
    FromFloat();
  }
  UpdateFields(3 + index);
}

void CFloatConvertDlg::OnPartFocus(UINT nID) {
  // Only the decimal part is edited.
  char text[129];
  ::GetDlgItemTextA(m_hWnd, nID, text, sizeof text);
  if (char* gt = std::strchr(text, '>')) *gt = 0;
  Trim(text);
  m_bBusy = true;
  ::SetDlgItemTextA(m_hWnd, nID, text);
  m_bBusy = false;
  ::SendDlgItemMessageA(m_hWnd, nID, EM_SETSEL, 0, -1);
  ::SendDlgItemMessageA(m_hWnd, nID, EM_SCROLLCARET, 0, 0);
}

void CFloatConvertDlg::OnPartLeft(UINT nID) {
  int index = PartIndex((int)nID);
  if (index >= 0 && m_valid[index]) UpdateFields(FLT_ONLY + 3 + index);
}

bool CFloatConvertDlg::ReadDump(unsigned char bytes[8], bool* colon) {
  char text[129];
  ::GetDlgItemTextA(m_hWnd, IDC_FLT_DUMP, text, sizeof text);
  const char* p = text;
  while (*p == ' ' || *p == '\t') p++;
  if (colon) *colon = *p == ':';
  std::memset(bytes, 0, 8);
  return HexToBytesA(bytes, 8, text, nullptr) > 0;
}

void CFloatConvertDlg::OnDumpChanged() {
  if (m_bBusy) return;
  ReadDump(m_bytes, nullptr);
  FromBytes();
  m_nCount = 8;
  m_nMode = 2;
  UpdateFields(FLT_DUMP);
}

void CFloatConvertDlg::OnSwap(UINT nID) {
  bool colon = false;
  unsigned char b[8];
  ReadDump(b, &colon);
  unsigned char s[8];
  for (int i = 0; i < 8; i++) {
    switch (nID) {
      case IDC_FLT_SWAP_BYTES:
        s[i] = b[i ^ 1];
        break;
      case IDC_FLT_SWAP_WORDS:
        s[i] = b[i ^ 2];
        break;
      default:
        s[i] = b[i ^ 4];
        break;
    }
  }
  std::memcpy(m_bytes, s, 8);
  FromBytes();
  m_nCount = 8;
  m_nMode = 2;
  char text[40];
  BytesToHexA(m_bytes, text, 8, HEX_TERMINATE | HEX_NO_LAST_SEP | HexSeparator(' ') | (colon ? HEX_COLON_FIRST : 0));
  m_bBusy = true;
  ::SetDlgItemTextA(m_hWnd, IDC_FLT_DUMP, text);
  m_bBusy = false;
  UpdateFields(FLT_DUMP);
}

HBRUSH CFloatConvertDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  int index = pWnd ? PartIndex(::GetDlgCtrlID(pWnd->GetSafeHwnd())) : -1;
  if (index >= 0) return ToolFieldBrush(pDC->GetSafeHdc(), m_valid[index] == 0);
  return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CFloatConvertDlg::OnOK() {
  RememberToolDlgPos(m_hWnd, TOOLPOS_FLOAT);
  CDialog::OnOK();
}

void CFloatConvertDlg::OnCancel() {
  RememberToolDlgPos(m_hWnd, TOOLPOS_FLOAT);
  CDialog::OnOK();
}
