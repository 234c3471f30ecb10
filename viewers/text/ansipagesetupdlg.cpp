#include "viewers/text/ansipagesetupdlg.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "text/numbers.h"
#include "ui/buttonimage/buttonimage.h"
#include "viewers/text/dlgtemplate.h"

namespace {
// clang-format off
const DlgItemDef kItems[] = {
    {IDOK, kDlgButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 195, 9, 55, 15, "OK"},
    {IDCANCEL, kDlgButton, BS_PUSHBUTTON | WS_TABSTOP, 195, 29, 55, 15, "Abbrechen"},
    {-1, kDlgStatic, SS_LEFT, 10, 12, 32, 8, "Kopfzeile:"},
    {kPageSetupHeader, kDlgEdit, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 45, 10, 115, 12, ""},
    {kPageSetupHeaderFields, kDlgButton, BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP, 170, 9, 15, 15, ""},
    {-1, kDlgStatic, SS_LEFT, 10, 32, 32, 8, "Fusszeile:"},
    // Scrolling like the header, so that it takes as much text.
    {kPageSetupFooter, kDlgEdit, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 45, 30, 115, 12, ""},
    {kPageSetupFooterFields, kDlgButton, BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP, 170, 29, 15, 15, ""},
    {-1, kDlgStatic, SS_LEFT, 11, 51, 22, 8, "Zeilen:"},
    {kPageSetupLines, kDlgEdit, ES_NUMBER | WS_BORDER | WS_TABSTOP, 45, 50, 50, 12, ""},
    {kPageSetupFrame, kDlgButton, BS_AUTOCHECKBOX | WS_TABSTOP, 174, 53, 71, 10, "Rahmen drucken"},
    {kPageSetupFillFrame, kDlgButton, BS_AUTOCHECKBOX | WS_TABSTOP, 174, 64, 63, 10, "Rahmen füllen "},
    {kPageSetupWrap, kDlgButton, BS_AUTOCHECKBOX | WS_TABSTOP, 13, 73, 135, 10, "Autom. Zeilenumbruch an Seitenrand"},
    {kPageSetupSameFont, kDlgButton, BS_AUTOCHECKBOX | WS_TABSTOP, 174, 75, 70, 10, "Gleiche Schriftart"},
    {-1, kDlgButton, BS_GROUPBOX, 11, 91, 149, 45, "Ränder (mm)"},
    {-1, kDlgStatic, SS_LEFT, 19, 104, 18, 8, "Oben"},
    {kPageSetupTop, kDlgEdit, ES_NUMBER | WS_BORDER | WS_TABSTOP, 46, 101, 35, 12, ""},
    {-1, kDlgStatic, SS_LEFT, 19, 118, 20, 8, "Unten"},
    {kPageSetupBottom, kDlgEdit, ES_NUMBER | WS_BORDER | WS_TABSTOP, 46, 116, 35, 12, ""},
    {-1, kDlgStatic, SS_LEFT, 89, 104, 18, 8, "Links"},
    {kPageSetupLeft, kDlgEdit, ES_NUMBER | WS_BORDER | WS_TABSTOP, 116, 101, 35, 12, ""},
    {-1, kDlgStatic, SS_LEFT, 89, 118, 24, 8, "Rechts"},
    {kPageSetupRight, kDlgEdit, ES_NUMBER | WS_BORDER | WS_TABSTOP, 116, 116, 35, 12, ""},
    {-1, kDlgButton, BS_GROUPBOX, 171, 91, 80, 45, "Druckfarbe"},
    {kPageSetupBlackWhite, kDlgButton, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 181, 101, 60, 10, "Schwarz/Weis"},
    {kPageSetupGrey, kDlgButton, BS_AUTORADIOBUTTON, 181, 111, 60, 10, "Graustufen"},
    {kPageSetupColour, kDlgButton, BS_AUTORADIOBUTTON, 181, 121, 60, 10, "Farbe"},
};

struct Field {
  UINT id;
  const char* item;
  const char* code;
  bool blanks;
};
// 0: a separator before the next item.
const Field kFields[] = {
    {2000, "&Dateiname", "&D", true},
    {2001, "Dateiname und &Pfad", "&P", true},
    {2002, "&Benutzername", "&U", false},
    {0, nullptr, nullptr, false},
    {2003, "&Seitennummer", "Seite &N", true},
    {2004, "Seiten&anzahl", "&M", false},
    {2005, "Da&tum", "&T", true},
    {2006, "&Zeit", "&Z", true},
    {2007, "&Neue Zeile", "\\n", false},
    {0, nullptr, nullptr, false},
    {2008, "&Linksbündig", "&L", false},
    {2009, "&Rechtsbündig", "&R", false},
    {2010, "Zent&riert", "&C", true},
};

// The field buttons' picture: 16 x 14 pixels, 16 colours (a page with
// lines and a small arrow), one nibble a pixel, top row first.
const char kFieldImage[14][17] = {
    "7777777777777777",
    "7000000000777777",
    "70FFFFFFF0777777",
    "70F00000F0777777",
    "70FFFFFFF0777777",
    "70F0000FF0777777",
    "70FFFFFFF0777777",
    "70F00000F0777777",
    "70FFFFFFF0777777",
    "70F000FFF0700000",
    "70FFFFFFF0770007",
    "7000000000777077",
    "7777777777777777",
    "7777777777777777",
};
// clang-format on

const std::vector<WORD>& Template() {
  static std::vector<WORD> words;
  if (words.empty())
    BuildDialogTemplate(&words, false, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 262, 141, "Seite einrichten",
                        kItems, sizeof kItems / sizeof kItems[0]);
  return words;
}

// The field buttons' picture as a packed DIB, built once: the library shares
// one image list among the buttons given the same pointer.
const BITMAPINFO* FieldImage() {
  struct PackedDib {
    BITMAPINFOHEADER h;
    RGBQUAD colors[16];
    BYTE bits[14][8];
  };
  static PackedDib dib;
  if (dib.h.biSize == 0) {
    static const COLORREF kVga[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                                      0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (int i = 0; i < 16; ++i) dib.colors[i] = {GetBValue(kVga[i]), GetGValue(kVga[i]), GetRValue(kVga[i]), 0};
    auto nibble = [](char c) { return (BYTE)(c <= '9' ? c - '0' : c - 'A' + 10); };
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 8; ++x)
        dib.bits[y][x] = (BYTE)(nibble(kFieldImage[y][2 * x]) << 4 | nibble(kFieldImage[y][2 * x + 1]));
    dib.h.biWidth = 16;
    dib.h.biHeight = -14;  // top row first, as the picture is written
    dib.h.biPlanes = 1;
    dib.h.biBitCount = 4;
    dib.h.biSize = sizeof dib.h;
  }
  return reinterpret_cast<const BITMAPINFO*>(&dib);
}

char* HeapCopy(const CString& s) {
  char* p = new char[s.GetLength() + 1];
  std::memcpy(p, s.GetString(), s.GetLength() + 1);
  return p;
}

CString Number(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%i", value);
  return CString(text);
}

const int kCheckIds[7] = {kPageSetupWrap,       kPageSetupSameFont, kPageSetupFillFrame, kPageSetupFrame,
                          kPageSetupBlackWhite, kPageSetupGrey,     kPageSetupColour};
}  // namespace

void AnsiPrintSettingsFree(ANSIPRINTSETTINGS* settings) {
  delete[] settings->header;
  delete[] settings->footer;
  settings->header = settings->footer = nullptr;
}

BEGIN_MESSAGE_MAP(CAnsiPageSetupDlg, CDialog)
  ON_WM_DESTROY()
  ON_BN_CLICKED(kPageSetupHeaderFields, OnHeaderFields)
  ON_BN_CLICKED(kPageSetupFooterFields, OnFooterFields)
  ON_COMMAND_RANGE(kPageFieldFirst, kPageFieldLast, InsertField)
END_MESSAGE_MAP()

CAnsiPageSetupDlg::CAnsiPageSetupDlg(CWnd* pParentWnd) : CDialog((LPCSTR) nullptr, pParentWnd) {}

const char* CAnsiPageSetupDlg::FieldCode(UINT id, bool* blanks) {
  for (const Field& f : kFields) {
    if (f.id == id && f.code) {
      if (blanks) *blanks = f.blanks;
      return f.code;
    }
  }
  return nullptr;
}

INT_PTR CAnsiPageSetupDlg::DoModal(ANSIPRINTSETTINGS* settings) {
  m_pSettings = settings;
  DWORD colour = settings->flags & kPrintColourMask;
  m_checks[4] = colour == 0 || (colour & kPrintBlackWhite) ? 1 : 0;  // none set reads as black and white
  m_checks[5] = !m_checks[4] && (colour & kPrintGrey) ? 1 : 0;
  m_checks[6] = !m_checks[4] && !m_checks[5] ? 1 : 0;
  m_checks[0] = (settings->flags & kPrintWrap) ? 1 : 0;
  m_checks[1] = (settings->flags & kPrintSameFont) ? 1 : 0;
  m_checks[3] = (settings->flags & kPrintFrame) ? 1 : 0;
  m_checks[2] = (settings->flags & kPrintFillFrame) ? 1 : 0;
  m_header = settings->header ? settings->header : "";
  m_footer = settings->footer ? settings->footer : "";
  m_lines = Number(settings->linesPerPage);
  m_top = Number(settings->top);
  m_bottom = Number(settings->bottom);
  m_left = Number(settings->left);
  m_right = Number(settings->right);
  InitModalIndirect((LPCDLGTEMPLATE)Template().data(), m_pParentWnd);
  return CDialog::DoModal();
}

BOOL CAnsiPageSetupDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetButtonImage(::GetDlgItem(m_hWnd, kPageSetupHeaderFields), FieldImage());
  SetButtonImage(::GetDlgItem(m_hWnd, kPageSetupFooterFields), FieldImage());
  return TRUE;
}

void CAnsiPageSetupDlg::OnDestroy() {
  DeleteButtonImage(::GetDlgItem(m_hWnd, kPageSetupHeaderFields));
  DeleteButtonImage(::GetDlgItem(m_hWnd, kPageSetupFooterFields));
  CDialog::OnDestroy();
}

void CAnsiPageSetupDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, kPageSetupHeader, m_header);
  DDV_MaxChars(pDX, m_header, kPageSetupMaxText);
  DDX_Text(pDX, kPageSetupFooter, m_footer);
  DDV_MaxChars(pDX, m_footer, kPageSetupMaxText);
  DDX_Text(pDX, kPageSetupTop, m_top);
  DDX_Text(pDX, kPageSetupLeft, m_left);
  DDX_Text(pDX, kPageSetupRight, m_right);
  DDX_Text(pDX, kPageSetupBottom, m_bottom);
  DDX_Text(pDX, kPageSetupLines, m_lines);
  for (int i = 0; i < 7; ++i) DDX_Check(pDX, kCheckIds[i], m_checks[i]);
}

void CAnsiPageSetupDlg::OnHeaderFields() { ShowFieldMenu(kPageSetupHeaderFields); }
void CAnsiPageSetupDlg::OnFooterFields() { ShowFieldMenu(kPageSetupFooterFields); }

void CAnsiPageSetupDlg::ShowFieldMenu(int buttonId) {
  m_lastField = buttonId == kPageSetupFooterFields ? 1 : 0;
  CMenu menu;
  menu.CreatePopupMenu();
  for (const Field& f : kFields) {
    if (f.id)
      menu.AppendMenu(MF_STRING, f.id, f.item);
    else
      menu.AppendMenu(MF_SEPARATOR);
  }
  RECT rc;
  ::GetWindowRect(::GetDlgItem(m_hWnd, buttonId), &rc);
  ::TrackPopupMenu(menu.m_hMenu, TPM_LEFTALIGN | TPM_TOPALIGN, rc.right, rc.top, 0, m_hWnd, nullptr);
}

void CAnsiPageSetupDlg::InsertField(UINT id) {
  bool blanks = false;
  const char* code = FieldCode(id, &blanks);
  if (!code) return;
  HWND edit = ::GetDlgItem(m_hWnd, m_lastField ? kPageSetupFooter : kPageSetupHeader);
  // The whole text: a cut one would lose its tail when set back.
  int length = ::GetWindowTextLengthA(edit);
  std::string text(length + 1, '\0');
  length = ::GetWindowTextA(edit, &text[0], length + 1);
  text.resize(length < 0 ? 0 : length);
  DWORD start = 0;
  ::SendMessageA(edit, EM_GETSEL, (WPARAM)&start, 0);
  size_t at = start > text.size() ? text.size() : start;
  std::string front = text.substr(0, at), rest = text.substr(at);
  if (blanks && !front.empty() && front.back() != ' ') front += ' ';
  front += code;
  size_t caret = front.size();
  if (blanks && !rest.empty() && rest[0] != ' ') rest.insert(0, 1, ' ');
  std::string result = front + rest;
  if ((int)result.size() > kPageSetupMaxText) {
    // Nothing is cut: a code that does not fit is not inserted.
    ::MessageBeep(MB_OK);
    return;
  }
  ::SetWindowTextA(edit, result.c_str());
  ::SendMessageA(edit, EM_SETSEL, caret, caret);
  ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
  ::SetFocus(edit);
}

void CAnsiPageSetupDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  int top = ParseIntA(m_top, 0, nullptr), bottom = ParseIntA(m_bottom, 0, nullptr);
  int left = ParseIntA(m_left, 0, nullptr), right = ParseIntA(m_right, 0, nullptr);
  int lines = ParseIntA(m_lines, 0, nullptr);
  // Compared unsigned: a negative margin is outside too.
  const struct {
    int value, id;
  } margins[] = {{top, kPageSetupTop}, {bottom, kPageSetupBottom}, {left, kPageSetupLeft}, {right, kPageSetupRight}};
  for (const auto& m : margins) {
    if ((unsigned)m.value > 100u) {
      AfxMessageBox("Die Ränder müssen zwischen 0 und 100 mm liegen !", MB_ICONHAND);
      ::SetFocus(::GetDlgItem(m_hWnd, m.id));
      return;
    }
  }
  if (lines < 20 || lines > 250) {
    AfxMessageBox("Die Zeilenanzahl muss zwischen 20 und 250 liegen !", MB_ICONHAND);
    ::SetFocus(::GetDlgItem(m_hWnd, kPageSetupLines));
    return;
  }
  // Only a successful OK reaches the record.
  ANSIPRINTSETTINGS* s = m_pSettings;
  s->linesPerPage = lines;
  s->top = top, s->bottom = bottom, s->left = left, s->right = right;
  DWORD flags = s->flags & ~kPrintDialogMask;
  flags |= m_checks[6] ? kPrintColour : m_checks[5] ? kPrintGrey : kPrintBlackWhite;
  if (m_checks[0]) flags |= kPrintWrap;
  if (m_checks[1]) flags |= kPrintSameFont;
  if (m_checks[3]) flags |= kPrintFrame;
  if (m_checks[2]) flags |= kPrintFillFrame;
  s->flags = flags;
  AnsiPrintSettingsFree(s);
  s->header = HeapCopy(m_header);
  s->footer = HeapCopy(m_footer);
  EndDialog(IDOK);
}
