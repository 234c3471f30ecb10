#include "viewers/tools/numconvertdlg.h"

#include <cstring>
#include <type_traits>
#include <vector>

#include "system/regkeystack.h"
#include "text/codecs/cliteral.h"
#include "text/eval/evalexpr.h"
#include "text/numbers/intformat.h"
#include "text/numbers/intparse.h"
#include "ui/dialogs/dlglayout.h"
#include "ui/subclass.h"
#include "viewers/tools/strlist.h"
#include "viewers/tools/tooldlg.h"

namespace {

const char kHistoryValue[] = "CalculatorLast";

const ToolTemplate& Template() {
  static const ToolTemplate t = [] {
    ToolTemplate t(kToolDlgStyle, 222, 106, "Zahlen umwandeln", true);
    t.Item(TPL_BUTTON, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 160, 10, 50, 14, "OK")
        .Item(TPL_BUTTON, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 160, 30, 50, 14, "Abbruch", true)
        .Item(TPL_EDIT, IDC_NUM_DECIMAL, ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 55, 12, 80, 12)
        .Item(TPL_EDIT, IDC_NUM_HEX, ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 55, 27, 80, 12)
        .Item(TPL_EDIT, IDC_NUM_OCTAL, ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 55, 42, 80, 12)
        .Item(TPL_EDIT, IDC_NUM_BINARY, ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 55, 57, 80, 12)
        .Item(TPL_STATIC, -1, 0, 10, 78, 29, 8, "Eingabe:")
        .Item(TPL_STATIC, -1, 0, 58, 89, 148, 8, "( 0x... = hex  0b... = bin 0o... = oktal  'x' = Ansi )")
        .Item(TPL_STATIC, -1, 0, 10, 14, 40, 8, "Dezimal:")
        .Item(TPL_STATIC, -1, 0, 10, 29, 43, 8, "Hexadezimal:")
        .Item(TPL_STATIC, -1, 0, 10, 43, 40, 8, "Oktal:")
        .Item(TPL_STATIC, -1, 0, 10, 59, 40, 8, "Binär:")
        .Item(TPL_COMBOBOX, IDC_NUM_INPUT, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 55, 75, 155, 120)
        .Item(TPL_EDIT, IDC_NUM_CHAR, ES_READONLY | ES_CENTER | WS_BORDER, 165, 57, 45, 12)
        .Item(TPL_STATIC, -1, 0, 145, 59, 20, 8, "Ansi:");
    return t;
  }();
  return t;
}

bool StartsWithNoCase(const char* text, const char* word) {
  for (; *word; text++, word++) {
    char c = *text;
    if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
    if (c != *word) return false;
  }
  return true;
}

// RGB(a,b,c) and BGR(a,b,c): three integers, blanks around each.
int ReadTriple(const char* text, int* a, int* b, int* c) {
  const char* p = text + 4;
  int* out[3] = {a, b, c};
  for (int i = 0; i < 3; i++) {
    int used = 0;
    *out[i] = ParseIntA(p, PARSE_AUTO | PARSE_SKIP_TRAILING, &used);
    if (used == 0) return 0;
    p += used;
    if (*p != (i < 2 ? ',' : ')')) return 0;
    p++;
  }
  return (int)(p - text);
}

// The text inside the parentheses that start at open, nested ones counted;
// its length, or -1 without a closing one or when it does not fit.
int InnerText(const char* open, char* inner, int size) {
  int depth = 0;
  for (int i = 1; open[i]; i++) {
    if (open[i] == '(') depth++;
    if (open[i] == ')' && depth-- == 0) {
      int n = i - 1;
      if (n >= size) return -1;
      std::memcpy(inner, open + 1, (size_t)n);
      inner[n] = 0;
      return n;
    }
  }
  return -1;
}

template <class Value>
int Identifier(const char* text, Value* value,
               int (*eval)(const char*, Value*, uint32_t*, int, EvalIdentifierFn<char, Value>, void*),
               EvalIdentifierFn<char, Value> self) {
  int a, b, c;
  if (StartsWithNoCase(text, "RGB(") || StartsWithNoCase(text, "BGR(")) {
    int used = ReadTriple(text, &a, &b, &c);
    if (!used) return 0;
    bool rgb = StartsWithNoCase(text, "RGB(");
    int hi = rgb ? a : c, lo = rgb ? c : a;
    *value = (Value)((hi & 255) << 16 | (b & 255) << 8 | (lo & 255));
    return used;
  }
  bool abs = StartsWithNoCase(text, "ABS(");
  bool btol = !abs && StartsWithNoCase(text, "BTOL") && text[4] == '(';
  if (!abs && !btol) return 0;
  char inner[255];
  int n = InnerText(text + (abs ? 3 : 4), inner, sizeof inner);
  if (n < 0) return 0;
  Value v = 0;
  uint32_t status = 0;
  eval(inner, &v, &status, EVAL_LEVEL_TOP, self, nullptr);
  if (status == 0) return 0;  // an error inside fails the whole input
  if (abs) {
    *value = v < 0 ? (Value)(0 - (typename std::make_unsigned<Value>::type)v) : v;
    return n + 5;
  }
  typename std::make_unsigned<Value>::type u = (typename std::make_unsigned<Value>::type)v, r = 0;
  for (size_t i = 0; i < sizeof(Value); i++, u >>= 8) r = (r << 8) | (u & 0xFF);
  *value = (Value)r;
  return n + 6;
}

}  // namespace

int CNumConvertDlg::OnIdentifier32(void*, const char* text, int32_t* value) {
  return Identifier<int32_t>(text, value, EvalExprExactA, OnIdentifier32);
}

int CNumConvertDlg::OnIdentifier64(void*, const char* text, int64_t* value) {
  return Identifier<int64_t>(text, value, EvalExpr64ExactA, OnIdentifier64);
}

BEGIN_MESSAGE_MAP(CNumConvertDlg, CDialog)
  ON_WM_TIMER()
  ON_WM_CTLCOLOR()
  ON_CBN_EDITCHANGE(IDC_NUM_INPUT, OnInputEdited)
  ON_CBN_SELENDOK(IDC_NUM_INPUT, OnInputChosen)
END_MESSAGE_MAP()

CNumConvertDlg::CNumConvertDlg(CWnd* pParent) { m_pParentWnd = pParent; }

CNumConvertDlg::~CNumConvertDlg() { StrListFree(&m_pHistory); }

INT_PTR CNumConvertDlg::DoModal() {
  InitModalIndirect(Template().Get(), m_pParentWnd);
  return CDialog::DoModal();
}

void CNumConvertDlg::DoDataExchange(CDataExchange* pDX) {
  // Plain text both ways: a loaded text selects no list entry.
  if (pDX->m_bSaveAndValidate)
    GetDlgItemText(IDC_NUM_INPUT, m_strInput);
  else
    SetDlgItemText(IDC_NUM_INPUT, m_strInput);
}

namespace {
const int kResultFields[] = {IDC_NUM_DECIMAL, IDC_NUM_HEX, IDC_NUM_OCTAL, IDC_NUM_BINARY};

// Width of a text in the font of a control.
int TextWidth(HWND ctrl, const char* text) {
  HDC dc = ::GetDC(ctrl);
  HGDIOBJ old = ::SelectObject(dc, (HFONT)::SendMessageA(ctrl, WM_GETFONT, 0, 0));
  SIZE size = {};
  ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(ctrl, dc);
  return size.cx;
}
}  // namespace

// The result fields are made wide enough for the longest form of the mode's
// numbers, which a 64-bit octal number (24 characters) exceeds in the
// template's fields, and the labels before them for their texts (larger
// fonts): what lies to their right moves over, the dialog grows.
void CNumConvertDlg::FitResultFields() {
  static const char* const kLongest32[] = {"-2147483648", "0xFFFFFFFF", "0o37777777777", "0b1111111111111111"};
  static const char* const kLongest64[] = {"-9223372036854775808", "0xFFFFFFFFFFFFFFFF", "0o1777777777777777777777",
                                           "0b1111111111111111"};
  HWND first = ::GetDlgItem(m_hWnd, IDC_NUM_DECIMAL);
  if (!first) return;
  RECT room;
  ::SendMessageA(first, EM_GETRECT, 0, (LPARAM)&room);
  int grow = 0;
  for (const char* text : m_b64Bit ? kLongest64 : kLongest32) {
    // One pixel more for the caret after the last digit.
    int over = TextWidth(first, text) + 1 - (room.right - room.left);
    if (over > grow) grow = over;
  }
  const RECT fields = DlgItemRect(m_hWnd, IDC_NUM_DECIMAL);
  int shift = 0;
  std::vector<HWND> children;
  for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    children.push_back(c);
    RECT r;
    ::GetWindowRect(c, &r);
    ::MapWindowPoints(nullptr, m_hWnd, (POINT*)&r, 2);
    char text[64] = "";
    ::GetWindowTextA(c, text, sizeof text);
    // A label before the fields: the gap of the template stays.
    if (r.right <= fields.left && *text) {
      int over = TextWidth(c, text) - (r.right - r.left);
      if (over > shift) shift = over;
    }
  }
  if (grow <= 0 && shift <= 0) return;
  if (grow < 0) grow = 0;
  for (HWND c : children) {
    RECT r;
    ::GetWindowRect(c, &r);
    ::MapWindowPoints(nullptr, m_hWnd, (POINT*)&r, 2);
    int dx = 0, dcx = 0;
    if (r.left >= fields.right) {
      dx = shift + grow;  // buttons, "Ansi:" and its field
    } else if (r.left >= fields.left - 4) {
      dx = shift;  // the fields, the input and its hint under it
      dcx = grow;
    } else {
      dcx = shift;  // the labels
    }
    ::SetWindowPos(c, nullptr, r.left + dx, r.top, r.right - r.left + dcx, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RECT w;
  ::GetWindowRect(m_hWnd, &w);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, w.right - w.left + shift + grow, w.bottom - w.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CNumConvertDlg::OnInitDialog() {
  FitResultFields();
  RestoreToolDlgPos(m_hWnd, TOOLPOS_CONVERTER);
  if (m_pszTitle) SetWindowText(m_pszTitle);
  StrListFree(&m_pHistory);
  CRegKeyStack key;
  if (key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE)) {
    char* list = nullptr;
    // A value of another type is no history; the fix-up ends the list with two NULs.
    if (key.QueryValueAlloc(&list, kHistoryValue, 7) && key.m_dwType == REG_MULTI_SZ)
      m_pHistory = list;
    else
      delete[] list;
  }
  CDialog::OnInitDialog();
  m_nLastSel = -2;
  m_nStatus = 0;
  if (m_bEdit) ::ShowWindow(::GetDlgItem(m_hWnd, IDCANCEL), SW_SHOW);
  char text[80];
  if (m_b64Bit)
    FormatInt64A(m_nValue64, text, FORMAT_0X);
  else
    FormatIntA(m_nValue, text, FORMAT_0X);
  m_strInput = text;
  UpdateData(FALSE);
  HWND combo = ::GetDlgItem(m_hWnd, IDC_NUM_INPUT);
  for (int i = 0; i < kCalculatorHistoryMax; i++) {
    const char* entry = StrListGetAt(&m_pHistory, i);
    if (!entry) break;
    ::SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)entry);
  }
  CeSubclassWindow(combo, ComboBoxSelKeepProc);
  SetTimer(kNumConvertTimer, 150, nullptr);
  PostMessage(WM_NEXTDLGCTL, (WPARAM)combo, 1);
  Evaluate(m_strInput);
  return TRUE;
}

void CNumConvertDlg::Evaluate(const CString& text) {
  if (m_b64Bit) {
    m_nValue64 = 0;
    // A number wider than the value is refused, not cut to its low bits.
    EvalExpr64ExactA(text, &m_nValue64, &m_nStatus, EVAL_LEVEL_TOP, OnIdentifier64, nullptr);
    m_nValue = (int32_t)m_nValue64;
  } else {
    m_nValue = 0;
    EvalExprExactA(text, &m_nValue, &m_nStatus, EVAL_LEVEL_TOP, OnIdentifier32, nullptr);
    m_nValue64 = m_nValue;
  }
  char buf[80];
  auto show = [&](int id) {
    char old[80];
    ::GetDlgItemTextA(m_hWnd, id, old, sizeof old);
    if (std::strcmp(old, buf) != 0) ::SetDlgItemTextA(m_hWnd, id, buf);
  };
  auto number = [&](uint32_t style) {
    if (m_b64Bit)
      FormatInt64A(m_nValue64, buf, style);
    else
      FormatIntA(m_nValue, buf, style);
  };
  number(FORMAT_SIGNED);
  show(IDC_NUM_DECIMAL);
  number(FORMAT_0X);
  show(IDC_NUM_HEX);
  FormatIntA(m_nValue & 0xFFFF, buf, FORMAT_0B);
  show(IDC_NUM_BINARY);
  number(FORMAT_0O);
  show(IDC_NUM_OCTAL);
  FormatCCharA(m_nValue & 0xFF, buf, true);
  show(IDC_NUM_CHAR);
  HWND combo = ::GetDlgItem(m_hWnd, IDC_NUM_INPUT);
  ::RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  m_nLastSel = (int)::SendMessageA(combo, CB_GETCURSEL, 0, 0);
}

void CNumConvertDlg::EvaluateShown() {
  UpdateData(TRUE);
  m_nStatus = 0;
  Evaluate(m_strInput);
}

void CNumConvertDlg::OnInputEdited() {
  // The typed text counts, even when the list has selected an entry that
  // starts with it.
  EvaluateShown();
}

void CNumConvertDlg::OnInputChosen() {
  HWND combo = ::GetDlgItem(m_hWnd, IDC_NUM_INPUT);
  int sel = (int)::SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (sel < 0) return;
  // The edit shows the choice only after this notification.
  char text[512];
  int len = (int)::SendMessageA(combo, CB_GETLBTEXTLEN, sel, 0);
  if (len < 0 || len >= (int)sizeof text) return;
  ::SendMessageA(combo, CB_GETLBTEXT, sel, (LPARAM)text);
  m_nStatus = 0;
  Evaluate(text);
}

void CNumConvertDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kNumConvertTimer) {
    CDialog::OnTimer(nIDEvent);
    return;
  }
  int sel = (int)::SendDlgItemMessageA(m_hWnd, IDC_NUM_INPUT, CB_GETCURSEL, 0, 0);
  if (sel != m_nLastSel && sel >= 0) OnInputChosen();
  m_nLastSel = sel;
}

HBRUSH CNumConvertDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  HWND hwnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
  int id = hwnd ? ::GetDlgCtrlID(hwnd) : 0;
  switch (id) {
    case IDC_NUM_DECIMAL:
    case IDC_NUM_HEX:
    case IDC_NUM_OCTAL:
    case IDC_NUM_BINARY:
    case IDC_NUM_CHAR:
      return ToolFieldBrush(pDC->GetSafeHdc(), false);
  }
  // The combo box asks for itself and for its edit.
  bool input = id == IDC_NUM_INPUT || (id == IDC_COMBO_EDIT && ::GetDlgCtrlID(::GetParent(hwnd)) == IDC_NUM_INPUT);
  if (input && m_nStatus == 0) return ToolFieldBrush(pDC->GetSafeHdc(), true);
  return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CNumConvertDlg::StoreHistory() {
  RememberToolDlgPos(m_hWnd, TOOLPOS_CONVERTER);
  UpdateData(TRUE);
  if (!m_strInput.IsEmpty()) {
    int old = StrListFind(&m_pHistory, m_strInput);
    if (old >= 0) StrListRemoveAt(&m_pHistory, old);
    StrListInsertAt(&m_pHistory, m_strInput, 0);
    while (StrListCount(&m_pHistory) > kCalculatorHistoryMax)
      StrListRemoveAt(&m_pHistory, StrListCount(&m_pHistory) - 1);
    CRegKeyStack key;
    if (key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE))
      key.SetValue(m_pHistory, (DWORD)StrListByteSize(&m_pHistory), kHistoryValue, REG_MULTI_SZ);
  }
  StrListFree(&m_pHistory);
}

void CNumConvertDlg::OnOK() {
  // The value returned is that of the text shown.
  EvaluateShown();
  if (m_bEdit && m_nStatus == 0) {
    // An editor writes no value that does not parse or fit: the input stays, red.
    ::MessageBeep(MB_ICONEXCLAMATION);
    GotoDlgCtrl(GetDlgItem(IDC_NUM_INPUT));
    return;
  }
  StoreHistory();
  CDialog::OnOK();
}

void CNumConvertDlg::OnCancel() {
  StoreHistory();
  if (m_bEdit) {
    EndDialog(IDCANCEL);
    return;
  }
  EvaluateShown();
  CDialog::OnOK();
}
