#include "app/search/regfinddlg.h"

#include <cstring>

#include "app/search/regsearch.h"
#include "res/resource.h"
#include "system/regkeystack.h"
#include "ui/buttonimage/buttonimage.h"
#include "ui/combohistory.h"
#include "ui/subclass.h"

namespace {

const char kHistoryValue[] = "#FindNames";
const char kHistoryKey[] = "#RegFindDlg";

struct OptionValue {
  const char* name;
  int CRegFindDlg::*member;
};
const OptionValue kOptions[] = {{"FindKeys", &CRegFindDlg::FindKeys},
                                {"FindItems", &CRegFindDlg::FindItems},
                                {"FindData", &CRegFindDlg::FindData},
                                {"FindMode", &CRegFindDlg::FindMode}};

struct TokenEntry {
  int n;  // 0: a separator
  const char* text;
  const char* token;
};
const TokenEntry kTokenMenu[] = {
    {2, "Beliebige  Zeichen&folge", "*"},
    {3, "&Wort", "\\w"},
    {4, "&Zahl", "\\z"},
    {5, "&Leerraum", "\\_"},
    {6, "Leer&raum oder (null)", "\\."},
    {0, nullptr, nullptr},
    {7, "Zeilen&anfang", "\\a"},
    {8, "Zeilen&ende", "\\e"},
    {12, "Wortende", "\\f"},
    {11, "Wortanfang", "\\g"},
    {0, nullptr, nullptr},
    {14, "Zeichen Aus&wahl", "\\[]"},
    {15, "Zeichen Auswahl oder (null)", "\\()"},
    {16, "Zeichenketten Auswahl", "\\<>"},
    {18, "Zeichenketten ohne |...|", "\\||"},
    {17, "Zeichen nicht aus {...}", "\\{}"},
    {0, nullptr, nullptr},
    {19, "Text via strwlen oder (null)", "\\##"},
    {20, "Zeichen via strwchar", "\\&&"},
    {21, "Zeichen via strwchar oder (null)", "\\$$"},
    {0, nullptr, nullptr},
    {1, "Beliebiges &Zeichen", "?"},
    {13, "Buchstabe", "\\m"},
    {9, "Einzelne Zahl", "\\p"},
    {10, "Zahl oder Buchstabe", "\\o"},
};

// The button's face: 16 x 14 pixels, 16 colours, as a packed DIB. Light
// grey is the button colour; the picture is "*?" in black.
const char* const kFaceRows[14] = {
    "................", "................", "..#.#.....###...", "...#.....#...#..", ".#####.......#..",
    "...#........#...", "..#.#......#....", "...........#....", "................", "...........#....",
    "................", "................", "................", "................",
};

const void* TokenButtonImage() {
  static BYTE dib[40 + 16 * 4 + 8 * 14];
  static bool made = false;
  if (!made) {
    BITMAPINFOHEADER* h = (BITMAPINFOHEADER*)dib;
    h->biSize = 40;
    h->biWidth = 16;
    h->biHeight = 14;
    h->biPlanes = 1;
    h->biBitCount = 4;
    h->biClrUsed = 16;
    RGBQUAD* pal = (RGBQUAD*)(dib + 40);
    pal[0] = RGBQUAD{0, 0, 0, 0};
    pal[7] = RGBQUAD{0xC0, 0xC0, 0xC0, 0};
    BYTE* bits = dib + 40 + 64;
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 16; ++x) {
        BYTE c = kFaceRows[13 - y][x] == '#' ? 0 : 7;  // bottom-up
        BYTE& b = bits[y * 8 + x / 2];
        b = (x & 1) ? (BYTE)((b & 0xF0) | c) : (BYTE)((b & 0x0F) | (c << 4));
      }
    made = true;
  }
  return dib;
}

}  // namespace

BEGIN_MESSAGE_MAP(CRegFindDlg, CDialog)
  ON_WM_DESTROY()
  ON_BN_CLICKED(IDC_FIND_TOKENS, OnTokenButton)
  ON_CBN_EDITCHANGE(IDC_FIND_TEXT, OnEditChange)
  ON_COMMAND_RANGE(kFindTokenFirst, kFindTokenLast, OnToken)
END_MESSAGE_MAP()

CRegFindDlg::CRegFindDlg(CWnd* pParent) : CDialog(IDD_REGFIND, pParent) {}

const char* CRegFindDlg::TokenOf(int n) {
  for (const TokenEntry& e : kTokenMenu)
    if (e.n == n && e.n) return e.token;
  return nullptr;
}

int CRegFindDlg::InsertToken(CString& text, int selStart, int n) {
  const char* token = TokenOf(n);
  int len = text.GetLength();
  if (selStart < 0) selStart = 0;
  if (selStart > len) selStart = len;
  if (!token) return selStart;
  CString out = text.Left(selStart) + token + text.Mid(selStart);
  text = out;
  int caret = selStart + (int)strlen(token);
  // Bracketed tokens take the caret inside.
  if (n >= 14 && n <= 21) --caret;
  return caret;
}

HMENU CRegFindDlg::BuildTokenMenu() {
  HMENU menu = CreatePopupMenu();
  for (const TokenEntry& e : kTokenMenu) {
    if (e.n)
      AppendMenuA(menu, MF_STRING, kFindTokenFirst - 1 + e.n, e.text);
    else
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  }
  return menu;
}

BOOL CRegFindDlg::OnInitDialog() {
  HWND combo = ::GetDlgItem(m_hWnd, IDC_FIND_TEXT);
  CeInitSubclassing();
  CeSubclassWindow(combo, ComboBoxSelKeepProc);
  SetButtonImage(::GetDlgItem(m_hWnd, IDC_FIND_TOKENS), TokenButtonImage());
  CRegKeyStack key;
  if (key.Open(HKEY_CURRENT_USER)) {
    for (const OptionValue& o : kOptions) {
      DWORD v;
      if (key.QueryValue(&v, sizeof v, o.name, 0) && key.m_dwType == REG_DWORD) this->*o.member = (int)v;
    }
  }
  if (FindMode < 0 || FindMode > 2) FindMode = 0;
  LoadComboHistoryStr(this, IDC_FIND_TEXT, kHistoryValue, kHistoryKey, FindText);
  return CDialog::OnInitDialog();
}

void CRegFindDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Check(pDX, IDC_FIND_MATCH_CASE, MatchCase);
  DDX_Check(pDX, IDC_FIND_KEYS, FindKeys);
  DDX_Check(pDX, IDC_FIND_VALUES, FindItems);
  DDX_Check(pDX, IDC_FIND_DATA, FindData);
  DDX_Radio(pDX, IDC_FIND_PARTIAL, FindMode);
  DDX_CBString(pDX, IDC_FIND_TEXT, FindText);
}

void CRegFindDlg::SaveOptions() {
  UpdateData(TRUE);
  CRegKeyStack key;
  if (key.Create(HKEY_CURRENT_USER)) {
    for (const OptionValue& o : kOptions) {
      DWORD v = (DWORD)(this->*o.member);
      key.SetValue(&v, sizeof v, o.name, REG_DWORD);
    }
  }
  SaveComboHistory(this, IDC_FIND_TEXT, kHistoryValue, kHistoryKey);
}

void CRegFindDlg::OnOK() {
  SaveOptions();
  if (!FindKeys && !FindItems && !FindData) {
    ::MessageBoxA(m_hWnd, "Es muss mindestens eine der Suchoptionen ausgewählt sein !", "Warnung", MB_ICONERROR);
    return;
  }
  if (FindText.IsEmpty()) {
    ::MessageBoxA(m_hWnd, "Bitte einen Suchtext angeben !", "Warnung", MB_ICONERROR);
    return;
  }
  EndDialog(IDOK);
}

void CRegFindDlg::OnCancel() {
  SaveOptions();
  EndDialog(IDCANCEL);
}

void CRegFindDlg::OnDestroy() {
  DeleteButtonImage(::GetDlgItem(m_hWnd, IDC_FIND_TOKENS));
  CDialog::OnDestroy();
}

void CRegFindDlg::ShowTokenMenu() {
  RECT rc;
  ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_FIND_TOKENS), &rc);
  HMENU menu = BuildTokenMenu();
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, rc.right, rc.top, 0, m_hWnd, nullptr);
  DestroyMenu(menu);
}

void CRegFindDlg::OnTokenButton() { ShowTokenMenu(); }

void CRegFindDlg::OnToken(UINT id) {
  HWND combo = ::GetDlgItem(m_hWnd, IDC_FIND_TEXT);
  char buf[256];
  ::GetWindowTextA(combo, buf, sizeof buf);
  DWORD sel = (DWORD)::SendMessageA(combo, CB_GETEDITSEL, 0, 0);
  CString text(buf);
  int caret = InsertToken(text, LOWORD(sel), (int)(id - kFindTokenFirst + 1));
  ::SetWindowTextA(combo, text);
  FindText = text;
  ::SetFocus(combo);
  ::SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(caret, caret));
  FindMode = kSearchSpecial;
  CheckRadioButton(IDC_FIND_PARTIAL, IDC_FIND_SPECIAL, IDC_FIND_SPECIAL);
}
