#include "viewers/tools/hexfinddlg.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "text/numbers/intparse.h"
#include "viewers/tools/strlist.h"
#include "viewers/tools/tooldlg.h"
#include "viewers/tools/valuetext.h"

int CHexFindDlg::s_nSize = 0;

namespace {

const char kLetters[] = "DHBOTUMN";
const int kSizeBytes[4] = {1, 2, 4, kValueBytesMax};
constexpr int kFullHeight = 238, kSmallHeight = 143;

const ToolTemplate& Template() {
  static const ToolTemplate t = [] {
    ToolTemplate t(kToolDlgStyle, 297, kFullHeight, "Wert suchen");
    const DWORD radio = BS_AUTORADIOBUTTON, check = BS_AUTOCHECKBOX | WS_TABSTOP, push = BS_PUSHBUTTON | WS_TABSTOP;
    t.Item(TPL_STATIC, -1, 0, 7, 7, 60, 8, "Suche Nach :")
        .Item(TPL_COMBOBOX, IDC_FIND_TEXT, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 7, 17, 225, 150)
        .Item(TPL_BUTTON, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 240, 16, 50, 14, "OK")
        .Item(TPL_BUTTON, IDCANCEL, push, 240, 33, 50, 14, "Abbrechen")
        .Item(TPL_BUTTON, IDC_FIND_NEXT, push, 240, 50, 50, 14, "Weiter&suchen")
        .Item(TPL_BUTTON, -1, BS_GROUPBOX, 7, 35, 75, 93, "Eingabe Art")
        .Item(TPL_BUTTON, IDC_FIND_DECIMAL, radio | WS_GROUP | WS_TABSTOP, 13, 46, 66, 10, "De&zimal")
        .Item(TPL_BUTTON, IDC_FIND_HEX, radio, 13, 57, 66, 10, "&Hexadezimal")
        .Item(TPL_BUTTON, IDC_FIND_BINARY, radio, 13, 68, 66, 10, "B&inär")
        .Item(TPL_BUTTON, IDC_FIND_OCTAL, radio, 13, 79, 66, 10, "Oktal")
        .Item(TPL_BUTTON, IDC_FIND_AS_TEXT, radio, 13, 90, 66, 10, "Als &Text")
        .Item(TPL_BUTTON, IDC_FIND_DUMP, radio, 13, 101, 66, 10, "Hex D&ump")
        .Item(TPL_BUTTON, IDC_FIND_MASK, radio, 13, 112, 66, 10, "Bit-&Maske ?#")
        .Item(TPL_BUTTON, -1, BS_GROUPBOX | WS_GROUP, 87, 35, 65, 57, "Byte-Anzahl")
        .Item(TPL_BUTTON, IDC_FIND_BYTE, radio | WS_GROUP | WS_TABSTOP, 93, 46, 55, 10, "B&yte")
        .Item(TPL_BUTTON, IDC_FIND_WORD, radio, 93, 57, 55, 10, "&Word")
        .Item(TPL_BUTTON, IDC_FIND_DWORD, radio, 93, 68, 55, 10, "&DWord")
        .Item(TPL_BUTTON, IDC_FIND_VARIABLE, radio, 93, 79, 55, 10, "&Variabel")
        .Item(TPL_BUTTON, -1, BS_GROUPBOX | WS_GROUP, 157, 35, 75, 34, "Richtung")
        .Item(TPL_BUTTON, IDC_FIND_BACKWARD, radio | WS_GROUP | WS_TABSTOP, 163, 45, 65, 10, "Rück&wärts")
        .Item(TPL_BUTTON, IDC_FIND_FORWARD, radio, 163, 56, 65, 10, "&Vorwärts")
        .Item(TPL_BUTTON, IDC_FIND_NOCASE, check | WS_GROUP, 157, 73, 135, 10, "&Groß/Kleinschreibung ignorieren")
        .Item(TPL_BUTTON, IDC_FIND_UNICODE, check, 157, 84, 135, 10, "Unicode Text")
        .Item(TPL_BUTTON, IDC_FIND_MOTOROLA, check, 157, 95, 135, 10, "Zahlen im Motorola Format suchen")
        .Item(TPL_BUTTON, IDC_FIND_SELECTION, check, 87, 107, 200, 10, "Nur im &markierten Bereich suchen")
        .Item(TPL_BUTTON, IDC_FIND_FROMSTART, check, 87, 118, 200, 10, "Vom &Anfang suchen")
        .Item(TPL_BUTTON, IDC_FIND_WHOLE, check, 87, 129, 200, 10, "Gesamten &Speicher durchsuchen")
        .Item(TPL_BUTTON, IDC_FIND_GROUP, check, 7, 131, 75, 10, "Gru&ppen-Suche")
        .Item(TPL_BUTTON, IDC_FIND_ORDER, check, 7, 148, 90, 10, "&Reihenfolge beachten")
        .Item(TPL_STATIC, -1, 0, 105, 149, 30, 8, "Bereich")
        .Item(TPL_EDIT, IDC_FIND_RANGE, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 137, 147, 45, 12)
        .Item(
            TPL_LISTBOX, IDC_FIND_ITEMS,
            LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
            7, 162, 225, 70)
        .Item(TPL_BUTTON, IDC_FIND_ADD, push, 240, 147, 50, 14, "Hi&nzufügen")
        .Item(TPL_BUTTON, IDC_FIND_DELETE, push, 240, 164, 50, 14, "&Löschen")
        .Item(TPL_BUTTON, IDC_FIND_DELETE_ALL, push, 240, 181, 50, 14, "Alle  Löschen")
        .Item(TPL_BUTTON, IDC_FIND_UP, push, 240, 198, 50, 14, "Nach &Oben")
        .Item(TPL_BUTTON, IDC_FIND_DOWN, push, 240, 215, 50, 14, "Nach Un&ten");
    return t;
  }();
  return t;
}

bool IsBlankText(const char* s) {
  for (; *s; s++)
    if (*s != ' ' && *s != '\t') return false;
  return true;
}

void Enable(HWND dlg, int id, bool on) { ::EnableWindow(::GetDlgItem(dlg, id), on); }

std::string ListText(HWND list, int i) {
  int n = (int)::SendMessageA(list, LB_GETTEXTLEN, i, 0);
  if (n < 0) return std::string();
  std::string s(n + 1, 0);
  ::SendMessageA(list, LB_GETTEXT, i, (LPARAM)&s[0]);
  s.resize(n);
  return s;
}

}  // namespace

BEGIN_MESSAGE_MAP(CHexFindDlg, CDialog)
  ON_CBN_EDITCHANGE(IDC_FIND_TEXT, OnInputEdited)
  ON_CBN_SELCHANGE(IDC_FIND_TEXT, OnInputChosen)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_FIND_DECIMAL, IDC_FIND_VARIABLE, OnKindOrSize)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_FIND_MASK, IDC_FIND_MASK, OnKindOrSize)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_FIND_SELECTION, IDC_FIND_GROUP, OnOptions)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_FIND_FROMSTART, IDC_FIND_FROMSTART, OnOptions)
  ON_LBN_SELCHANGE(IDC_FIND_ITEMS, OnListChanged)
  ON_LBN_DBLCLK(IDC_FIND_ITEMS, OnItemDoubleClick)
  ON_BN_CLICKED(IDC_FIND_NEXT, OnFindNext)
  ON_BN_CLICKED(IDC_FIND_ADD, OnAdd)
  ON_BN_CLICKED(IDC_FIND_DELETE, OnDelete)
  ON_BN_CLICKED(IDC_FIND_DELETE_ALL, OnDeleteAll)
  ON_BN_CLICKED(IDC_FIND_UP, OnUp)
  ON_BN_CLICKED(IDC_FIND_DOWN, OnDown)
END_MESSAGE_MAP()

INT_PTR CHexFindDlg::DoModal(DWORD* pFlags, char** ppHistory, char** ppItems, char** ppSearch, const char* pszText) {
  DWORD f = pFlags ? *pFlags : 0;
  m_dwInFlags = f;
  m_ppHistory = ppHistory;
  m_ppItems = ppItems;
  m_ppSearch = ppSearch;
  m_pszText = pszText;
  m_nDirection = (f & FINDF_BACKWARD) && !(f & FINDF_FORWARDONLY) ? 0 : 1;
  m_bSelection = (f & FINDF_SELECTION) != 0;
  m_bWhole = (f & FINDF_WHOLE) != 0;
  m_bNoCase = (f & FINDF_NOCASE) != 0;
  m_bGroup = (f & FINDF_GROUP) && !(f & FINDF_NOGROUP);
  m_bOrder = (f & FINDF_ORDER) != 0;
  m_bFromStart = (f & FINDF_FROMSTART) != 0;
  m_bUnicode = (f & FINDF_UNICODE) != 0;
  m_bMotorola = (f & FINDF_MOTOROLA) != 0;
  m_nSize = s_nSize & 3;
  m_nLastGroup = -1;
  InitModalIndirect(Template().Get(), m_pParentWnd);
  INT_PTR result = CDialog::DoModal();
  if ((result == IDOK || result == kFindNextResult) && pFlags)
    *pFlags = (m_nDirection == 0 ? FINDF_BACKWARD : 0) | (m_bSelection ? FINDF_SELECTION : 0) |
              (m_bWhole ? FINDF_WHOLE : 0) | (m_bNoCase ? FINDF_NOCASE : 0) | (m_bGroup ? FINDF_GROUP : 0) |
              (m_bOrder ? FINDF_ORDER : 0) | (m_bFromStart ? FINDF_FROMSTART : 0) | (m_bUnicode ? FINDF_UNICODE : 0) |
              (m_bMotorola ? FINDF_MOTOROLA : 0);
  return result;
}

CString CHexFindDlg::ComboText(bool preferSelection) const {
  HWND combo = ::GetDlgItem(m_hWnd, IDC_FIND_TEXT);
  char text[kValueTextSize];
  text[0] = 0;
  int sel = preferSelection ? (int)::SendMessageA(combo, CB_GETCURSEL, 0, 0) : -1;
  if (sel >= 0 && ::SendMessageA(combo, CB_GETLBTEXTLEN, sel, 0) < (LRESULT)sizeof text)
    ::SendMessageA(combo, CB_GETLBTEXT, sel, (LPARAM)text);
  else
    ::GetWindowTextA(combo, text, sizeof text);
  return text;
}

void CHexFindDlg::SetComboText(const char* text) { ::SetDlgItemTextA(m_hWnd, IDC_FIND_TEXT, text); }

BOOL CHexFindDlg::OnInitDialog() {
  RestoreToolDlgPos(m_hWnd, TOOLPOS_FIND);
  if (m_dwInFlags & FINDF_NOFINDNEXT) ::ShowWindow(::GetDlgItem(m_hWnd, IDC_FIND_NEXT), SW_HIDE);
  Enable(m_hWnd, IDC_FIND_SELECTION, (m_dwInFlags & FINDF_HASSEL) != 0);
  const char* text = m_pszText && *m_pszText ? m_pszText : m_ppHistory ? StrListGetAt(m_ppHistory, 0) : nullptr;
  SetComboText(text ? text : "");
  m_strText = text ? text : "";
  m_nTextLen = m_strText.GetLength();
  m_nKind = ClassifyValueText(m_strText);
  if (m_nKind >= 4) m_nSize = 3;
  HWND combo = ::GetDlgItem(m_hWnd, IDC_FIND_TEXT);
  for (int i = 0; m_ppHistory && i < kFindHistoryMax; i++) {
    const char* entry = StrListGetAt(m_ppHistory, i);
    if (!entry) break;
    ::SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)entry);
  }
  if (m_ppItems && StrListCount(m_ppItems) > 0) {
    m_nRange = ParseIntA(StrListGetAt(m_ppItems, 0), PARSE_NO_MINUS | PARSE_NO_BLANKS, nullptr);
    if (m_nRange < 1) m_nRange = 1000;
    HWND list = ::GetDlgItem(m_hWnd, IDC_FIND_ITEMS);
    for (int i = 1; i <= kFindItemsMax; i++) {
      const char* line = StrListGetAt(m_ppItems, i);
      if (!line) break;
      ::SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)line);
    }
  }
  int tabs[1] = {100};
  SendDlgItemMessage(IDC_FIND_ITEMS, LB_SETTABSTOPS, 1, (LPARAM)tabs);
  CDialog::OnInitDialog();
  return TRUE;
}

void CHexFindDlg::DoDataExchange(CDataExchange* pDX) {
  if (m_bReclassify) {
    m_bReclassify = false;
    m_nTextLen = m_strText.GetLength();
    int kind = ClassifyValueText(m_strText);
    if (kind != -1) m_nKind = kind;
  }
  // The range by hand: a text that is no number (or too wide for 32 bits)
  // raises no box here.
  if (pDX->m_bSaveAndValidate) {
    char text[32];
    ::GetDlgItemTextA(m_hWnd, IDC_FIND_RANGE, text, sizeof text);
    m_nRange = ParseIntA(text, PARSE_AUTO | PARSE_EXACT, nullptr);
  } else {
    char text[16];
    std::snprintf(text, sizeof text, "%d", m_nRange);
    ::SetDlgItemTextA(m_hWnd, IDC_FIND_RANGE, text);
  }
  DDX_Check(pDX, IDC_FIND_GROUP, m_bGroup);
  DDX_Check(pDX, IDC_FIND_ORDER, m_bOrder);
  DDX_Check(pDX, IDC_FIND_UNICODE, m_bUnicode);
  DDX_Check(pDX, IDC_FIND_NOCASE, m_bNoCase);
  DDX_Check(pDX, IDC_FIND_WHOLE, m_bWhole);
  DDX_Check(pDX, IDC_FIND_SELECTION, m_bSelection);
  DDX_Check(pDX, IDC_FIND_FROMSTART, m_bFromStart);
  DDX_Check(pDX, IDC_FIND_MOTOROLA, m_bMotorola);
  DDX_Radio(pDX, IDC_FIND_DECIMAL, m_nKind);
  DDX_Radio(pDX, IDC_FIND_BYTE, m_nSize);
  DDX_Radio(pDX, IDC_FIND_BACKWARD, m_nDirection);

  bool noGroup = (m_dwInFlags & FINDF_NOGROUP) != 0;
  if (noGroup) m_bGroup = 0;
  HWND list = ::GetDlgItem(m_hWnd, IDC_FIND_ITEMS);
  int items = (int)::SendMessageA(list, LB_GETCOUNT, 0, 0);
  int selected = (int)::SendMessageA(list, LB_GETSELCOUNT, 0, 0);
  bool group = m_bGroup != 0;
  Enable(m_hWnd, IDC_FIND_UNICODE, m_nSize == 3);
  Enable(m_hWnd, IDC_FIND_NOCASE, m_nKind == 4);
  Enable(m_hWnd, IDC_FIND_MOTOROLA, m_nKind >= 0 && m_nKind <= 3 && (m_nSize == 1 || m_nSize == 2));
  bool direction =
      !m_bFromStart && !(m_bSelection && (m_dwInFlags & FINDF_HASSEL)) && !(m_dwInFlags & FINDF_FORWARDONLY);
  Enable(m_hWnd, IDC_FIND_BACKWARD, direction);
  Enable(m_hWnd, IDC_FIND_FORWARD, direction);
  Enable(m_hWnd, IDC_FIND_GROUP, !noGroup);
  Enable(m_hWnd, IDC_FIND_ADD, group && m_nTextLen > 0 && items < kFindItemsMax);
  Enable(m_hWnd, IDC_FIND_DELETE, group && selected > 0);
  Enable(m_hWnd, IDC_FIND_DELETE_ALL, group && items > 0);
  Enable(m_hWnd, IDC_FIND_UP, group && items > 1);
  Enable(m_hWnd, IDC_FIND_DOWN, group && items > 1);
  if ((int)group != m_nLastGroup) {
    m_nLastGroup = group;
    Layout(group);
  }
  Enable(m_hWnd, IDC_FIND_RANGE, group && !noGroup);
  Enable(m_hWnd, IDC_FIND_ORDER, group && !noGroup);
  Enable(m_hWnd, IDC_FIND_ITEMS, group);
}

void CHexFindDlg::Layout(bool group) {
  // The item list and its buttons lie below the small height: cut off there.
  RECT rc = {0, 0, 297, group ? kFullHeight : kSmallHeight};
  ::MapDialogRect(m_hWnd, &rc);
  RECT window, client;
  ::GetWindowRect(m_hWnd, &window);
  ::GetClientRect(m_hWnd, &client);
  int cx = rc.right + (window.right - window.left) - client.right;
  int cy = rc.bottom + (window.bottom - window.top) - client.bottom;
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // What the small height cuts off is hidden too, so that nothing reaches
  // out of the dialog (nor the keyboard into what cannot be seen).
  RECT small = {0, 0, 0, kSmallHeight};
  ::MapDialogRect(m_hWnd, &small);
  for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    ::GetWindowRect(c, &r);
    ::MapWindowPoints(nullptr, m_hWnd, (POINT*)&r, 2);
    if (r.top >= small.bottom) ::ShowWindow(c, group ? SW_SHOWNA : SW_HIDE);
  }
  int def = group ? IDC_FIND_ADD : IDOK, other = group ? IDOK : IDC_FIND_ADD;
  SendDlgItemMessage(other, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  SetDefID(def);
  SendDlgItemMessage(def, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void CHexFindDlg::InputChanged(bool chosen) {
  m_strText = ComboText(chosen);
  m_bReclassify = true;
  UpdateData(FALSE);  // classifies
  if (m_nKind >= 4 && m_nSize != 3) {
    m_nSize = 3;
    UpdateData(FALSE);
  }
}

void CHexFindDlg::OnKindOrSize(UINT) {
  CString text = ComboText(true);
  int oldSize = m_nSize;
  UpdateData(TRUE);
  if (!IsBlankText(text)) {
    unsigned char bytes[kValueBytesMax];
    int n = ParseValueText(text, bytes, (uint32_t)kSizeBytes[oldSize & 3]);
    if (m_nKind >= 0) {
      char out[kValueTextSize];
      FormatValueBytes(bytes, n, out, sizeof out, m_nKind);
      SetComboText(out);
      m_strText = out;
    }
  } else {
    static const char* const kPrefixes[7] = {"", "0x", "0b", "0o", "\"", ":", ":"};
    if (m_nKind >= 0 && m_nKind <= 6) SetComboText(kPrefixes[m_nKind]);
    m_strText = ComboText(false);
  }
  m_nTextLen = m_strText.GetLength();
  if (m_nKind >= 4) m_nSize = 3;
  UpdateData(FALSE);
}

void CHexFindDlg::OnOptions(UINT nID) {
  int selectionBefore = m_bSelection, fromStartBefore = m_bFromStart;
  UpdateData(TRUE);
  // Only in the selection and from the start exclude each other: the newer one stays.
  if (m_bSelection && m_bFromStart) {
    if (selectionBefore)
      m_bSelection = 0;
    else if (fromStartBefore)
      m_bFromStart = 0;
  }
  (void)nID;
  UpdateData(FALSE);
  ::ShowWindow(::GetDlgItem(m_hWnd, IDC_FIND_ITEMS), m_bGroup ? SW_SHOW : SW_HIDE);
}

int CHexFindDlg::BuildSearchData(char* line, int size) {
  if (!line || size < 1) return 0;
  line[0] = 0;
  CString text = ComboText(false);
  UpdateData(TRUE);
  unsigned char bytes[2 * kValueBytesMax];
  int n = ParseValueText(text, bytes, (uint32_t)kSizeBytes[m_nSize & 3]);
  if (n <= 0) return 0;
  int kind = m_nKind;
  if (kind < 0 || kind > 6) {
    kind = ClassifyValueText(text);
    if (kind < 0) kind = 4;
  }
  char letter = kLetters[kind];
  int formatKind = kind;
  bool reversed = false;
  if (kind == 4 && m_bUnicode) {
    if (n > 128) n = 128;
    for (int i = n - 1; i >= 0; i--) bytes[2 * i] = bytes[i], bytes[2 * i + 1] = 0;
    n *= 2;
    letter = 'N';
    formatKind = VALUE_UNICODE;
  }
  if (kind <= 3) {
    if (m_nSize == 0 || m_nSize == 1) n = kSizeBytes[m_nSize];
    if (m_bMotorola && (n == 2 || n == 4)) {
      for (int i = 0; i < n / 2; i++) std::swap(bytes[i], bytes[n - 1 - i]);
      reversed = true;
    }
  }
  std::string out;
  out += letter;
  out += ":" + std::to_string(n);
  if (kind == 4 && m_bNoCase) out += " /G";
  if (reversed) out += " /B";
  out += '\t';
  char dump[kValueTextSize];
  FormatValueBytes(bytes, n, dump, sizeof dump, VALUE_DUMP);
  out += dump;
  int tabs = n <= 2 ? 5 : n <= 6 ? 4 : n <= 9 ? 3 : n <= 12 ? 2 : 1;
  out.append((size_t)tabs, '\t');
  // The value in its own kind, from the bytes as they were typed.
  if (reversed)
    for (int i = 0; i < n / 2; i++) std::swap(bytes[i], bytes[n - 1 - i]);
  char value[kValueTextSize];
  FormatValueBytes(bytes, n, value, sizeof value, formatKind);
  out += "(";
  out += value;
  out += ")";
  int len = (int)out.size() < size - 1 ? (int)out.size() : size - 1;
  std::memcpy(line, out.data(), (size_t)len);
  line[len] = 0;
  return len;
}

void CHexFindDlg::AddToHistory() {
  if (!m_ppHistory) return;
  CString text = ComboText(false);
  if (text.IsEmpty()) return;
  int old = StrListFind(m_ppHistory, text);
  if (old >= 0) StrListRemoveAt(m_ppHistory, old);
  StrListInsertAt(m_ppHistory, text, 0);
  while (StrListCount(m_ppHistory) > kFindHistoryMax) StrListRemoveAt(m_ppHistory, StrListCount(m_ppHistory) - 1);
}

void CHexFindDlg::OnAdd() {
  HWND list = ::GetDlgItem(m_hWnd, IDC_FIND_ITEMS);
  if ((int)::SendMessageA(list, LB_GETCOUNT, 0, 0) >= kFindItemsMax) return;
  AddToHistory();
  std::vector<char> line(kFindLineSize);
  if (BuildSearchData(line.data(), (int)line.size()) > 0) ::SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)line.data());
  UpdateData(TRUE);
}

void CHexFindDlg::OnDelete() {
  HWND list = ::GetDlgItem(m_hWnd, IDC_FIND_ITEMS);
  for (int i = (int)::SendMessageA(list, LB_GETCOUNT, 0, 0) - 1; i >= 0; i--)
    if (::SendMessageA(list, LB_GETSEL, i, 0) > 0) ::SendMessageA(list, LB_DELETESTRING, i, 0);
  UpdateData(TRUE);
}

void CHexFindDlg::OnDeleteAll() {
  SendDlgItemMessage(IDC_FIND_ITEMS, LB_RESETCONTENT, 0, 0);
  UpdateData(TRUE);
}

void CHexFindDlg::MoveItem(int step) {
  HWND list = ::GetDlgItem(m_hWnd, IDC_FIND_ITEMS);
  int count = (int)::SendMessageA(list, LB_GETCOUNT, 0, 0);
  int from = -1;
  for (int i = 0; i < count && from < 0; i++)
    if (::SendMessageA(list, LB_GETSEL, i, 0) > 0) from = i;
  if (from < 0 || count < 2) return;
  int to = (from + step + count) % count;  // wraps at both ends
  std::string text = ListText(list, from);
  ::SendMessageA(list, LB_DELETESTRING, from, 0);
  ::SendMessageA(list, LB_INSERTSTRING, to, (LPARAM)text.c_str());
  ::SendMessageA(list, LB_SETSEL, FALSE, -1);
  ::SendMessageA(list, LB_SETSEL, TRUE, to);
  UpdateData(TRUE);
}

void CHexFindDlg::OnItemDoubleClick() {
  HWND list = ::GetDlgItem(m_hWnd, IDC_FIND_ITEMS);
  int index = (int)::SendMessageA(list, LB_GETCARETINDEX, 0, 0);
  std::string line = ListText(list, index);
  if (line.empty()) return;
  const char* letter = std::strchr(kLetters, line[0]);
  int kind = letter && line[0] ? (int)(letter - kLetters) : VALUE_DUMP;
  bool unicode = kind == 7;
  if (unicode) kind = 4;
  size_t colon = line.find(':');
  if (colon == std::string::npos) return;
  int count = ParseIntA(line.c_str() + colon + 1, PARSE_NO_MINUS | PARSE_NO_BLANKS, nullptr);
  size_t tab = line.find('\t');
  std::string options = line.substr(colon, tab == std::string::npos ? std::string::npos : tab - colon);
  bool reversed = options.find("/B") != std::string::npos;
  bool noCase = options.find("/G") != std::string::npos;
  size_t dump = line.find(':', colon + 1);
  if (dump == std::string::npos) return;
  std::vector<unsigned char> bytes(2 * kValueBytesMax + 2);
  int n = ParseValueTextEx(line.c_str() + dump, bytes.data(), (uint32_t)bytes.size(), false);
  if (count > n || count < 0) count = n;
  if (reversed)
    for (int i = 0; i < count / 2; i++) std::swap(bytes[i], bytes[count - 1 - i]);
  if (unicode) {
    for (int i = 0; i < count / 2; i++) bytes[i] = bytes[2 * i];
    count /= 2;
  }
  char text[kValueTextSize];
  FormatValueBytes(bytes.data(), count, text, sizeof text, kind);
  SetComboText(text);
  m_strText = text;
  m_nTextLen = m_strText.GetLength();
  UpdateData(TRUE);
  m_nKind = kind;
  if (kind == 4) {
    m_bNoCase = noCase;
    m_bUnicode = unicode;
    m_nSize = 3;
  } else if (kind >= 5) {
    m_nSize = 3;
  } else {
    m_nSize = count == 1 ? 0 : count == 2 ? 1 : count == 4 ? 2 : 3;
    m_bMotorola = reversed;
  }
  UpdateData(FALSE);
}

void CHexFindDlg::Finish(INT_PTR marker) {
  UpdateData(TRUE);
  AddToHistory();
  HWND list = ::GetDlgItem(m_hWnd, IDC_FIND_ITEMS);
  if (m_ppItems) {
    StrListFree(m_ppItems);
    int count = (int)::SendMessageA(list, LB_GETCOUNT, 0, 0);
    StrListInsertAt(m_ppItems, std::to_string(m_nRange).c_str(), 0);
    for (int i = 0; i < count; i++) StrListInsertAt(m_ppItems, ListText(list, i).c_str(), i + 1);
  }
  if (m_ppSearch) {
    StrListFree(m_ppSearch);
    if (m_bGroup && m_ppItems) {
      int size = StrListByteSize(m_ppItems);
      *m_ppSearch = new char[size];
      std::memcpy(*m_ppSearch, *m_ppItems, (size_t)size);
    } else {
      StrListInsertAt(m_ppSearch, "0", 0);
      std::vector<char> line(kFindLineSize);
      if (BuildSearchData(line.data(), (int)line.size()) > 0) StrListInsertAt(m_ppSearch, line.data(), 1);
    }
  }
  s_nSize = m_nSize;
  RememberToolDlgPos(m_hWnd, TOOLPOS_FIND);
  EndDialog((int)(marker | IDOK));
}

void CHexFindDlg::OnOK() { Finish(0); }

void CHexFindDlg::OnCancel() {
  RememberToolDlgPos(m_hWnd, TOOLPOS_FIND);
  CDialog::OnCancel();
}
