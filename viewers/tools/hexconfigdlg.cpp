#include "viewers/tools/hexconfigdlg.h"

#include <cstdio>

#include "text/numbers/intparse.h"
#include "viewers/tools/tooldlg.h"

namespace {

const ToolTemplate& Template() {
  static const ToolTemplate t = [] {
    ToolTemplate t(kToolDlgStyle, 252, 181, "Konfiguration");
    const DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP, num = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    t.Item(TPL_BUTTON, -1, BS_GROUPBOX, 7, 4, 150, 108, "Anzeigefromat")
        .Item(TPL_BUTTON, IDC_CFG_SPACE, check, 14, 17, 138, 10, "Ein Leerzeichen zwischen den Werten")
        .Item(TPL_BUTTON, IDC_CFG_EXTRA, check, 14, 33, 92, 10, "Ein extra Leerzeichen alle ")
        .Item(TPL_EDIT, IDC_CFG_EXTRA_N, num, 107, 31, 22, 12)
        .Item(TPL_STATIC, -1, 0, 132, 33, 22, 8, "Bytes")
        .Item(TPL_BUTTON, IDC_CFG_FIXED, check, 14, 49, 92, 10, "Fixe Breite von ")
        .Item(TPL_EDIT, IDC_CFG_FIXED_N, num, 107, 47, 22, 12)
        .Item(TPL_STATIC, -1, 0, 132, 49, 22, 8, "Bytes")
        .Item(TPL_BUTTON, IDC_CFG_SNAP, check, 14, 65, 92, 10, "Adresse einrasten alle ")
        .Item(TPL_EDIT, IDC_CFG_SNAP_N, num, 107, 63, 22, 12)
        .Item(TPL_STATIC, -1, 0, 132, 65, 22, 8, "Bytes")
        .Item(TPL_BUTTON, IDC_CFG_RASTER, check, 14, 81, 92, 10, "Breiten Raster")
        .Item(TPL_EDIT, IDC_CFG_RASTER_N, num, 107, 79, 22, 12)
        .Item(TPL_STATIC, -1, 0, 132, 81, 22, 8, "Bytes")
        .Item(TPL_STATIC, -1, 0, 14, 97, 90, 8, "Adressenziffern Anzahl")
        .Item(TPL_EDIT, IDC_CFG_DIGITS, num, 107, 95, 22, 12)
        .Item(TPL_BUTTON, -1, BS_GROUPBOX | WS_GROUP, 162, 4, 83, 52, "Wertanzeige")
        .Item(TPL_BUTTON, IDC_CFG_SHOW_BYTE, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 169, 16, 70, 10, "Byte")
        .Item(TPL_BUTTON, IDC_CFG_SHOW_WORD, BS_AUTORADIOBUTTON, 169, 28, 70, 10, "Word")
        .Item(TPL_BUTTON, IDC_CFG_SHOW_DWORD, BS_AUTORADIOBUTTON, 169, 40, 70, 10, "DWord")
        .Item(TPL_BUTTON, -1, BS_GROUPBOX | WS_GROUP, 162, 58, 83, 54, "Ausgabeformat")
        .Item(TPL_BUTTON, IDC_CFG_OUT_BYTE, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 169, 68, 70, 10, "Byte")
        .Item(TPL_BUTTON, IDC_CFG_OUT_WORD, BS_AUTORADIOBUTTON, 169, 78, 70, 10, "Word")
        .Item(TPL_BUTTON, IDC_CFG_OUT_DWORD, BS_AUTORADIOBUTTON, 169, 88, 70, 10, "DWord")
        .Item(TPL_BUTTON, IDC_CFG_OUT_QWORD, BS_AUTORADIOBUTTON, 169, 98, 70, 10, "QWord")
        .Item(TPL_BUTTON, -1, BS_GROUPBOX | WS_GROUP, 7, 114, 238, 46, "Diverses")
        .Item(TPL_BUTTON, IDC_CFG_POSITIVE, check | WS_GROUP, 14, 124, 106, 10, "Als positive Zahlen anzeigen")
        .Item(TPL_BUTTON, IDC_CFG_BIG_ENDIAN, check, 14, 135, 106, 10, "Big Edinan Format")
        .Item(TPL_BUTTON, IDC_CFG_HEX_DIST, check, 14, 146, 106, 10, "Hexadezimale Distanzen ")
        .Item(TPL_BUTTON, IDC_CFG_INVERT, check, 122, 124, 121, 10, "Byte-Reihenfolge invertieren")
        .Item(TPL_BUTTON, IDC_CFG_SNAP_SEL, check, 122, 135, 121, 10, "Auswahl auf Ausgabeformat rastern")
        .Item(TPL_BUTTON, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 140, 163, 50, 14, "OK")
        .Item(TPL_BUTTON, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 195, 163, 50, 14, "Abbrechen");
    return t;
  }();
  return t;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

BEGIN_MESSAGE_MAP(CHexConfigDlg, CDialog)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_CFG_EXTRA, IDC_CFG_SNAP, OnFieldClicked)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_CFG_OUT_BYTE, IDC_CFG_OUT_WORD, OnFieldClicked)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_CFG_OUT_DWORD, IDC_CFG_OUT_DWORD, OnFieldClicked)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_CFG_RASTER, IDC_CFG_RASTER, OnFieldClicked)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_CFG_OUT_QWORD, IDC_CFG_OUT_QWORD, OnFieldClicked)
  ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_CFG_EXTRA_N, IDC_CFG_EXTRA_N, OnNumberLeft)
  ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_CFG_FIXED_N, IDC_CFG_FIXED_N, OnNumberLeft)
  ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_CFG_SNAP_N, IDC_CFG_SNAP_N, OnNumberLeft)
  ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_CFG_RASTER_N, IDC_CFG_DIGITS, OnNumberLeft)
END_MESSAGE_MAP()

INT_PTR CHexConfigDlg::DoModal() {
  m_nShowSize = m_nValueDisplay & HEXSHOW_SIZE_MASK;
  if (m_nShowSize == 3) m_nShowSize = 2;
  m_bPositive = (m_nValueDisplay & HEXSHOW_POSITIVE) != 0;
  m_bBigEndian = (m_nValueDisplay & HEXSHOW_BIG_ENDIAN) != 0;
  m_bHexDistances = (m_nValueDisplay & HEXSHOW_HEX_DISTANCES) != 0;
  if (!m_bRaster && m_nRaster < 2) m_nRaster = 4;
  if (!m_bExtra && m_nExtraInterval >= 257) m_nExtraInterval = 4;
  m_nOutputFormat = ((m_nOutputFormat % 4) + 4) % 4;
  InitModalIndirect(Template().Get(), m_pParentWnd);
  INT_PTR result = CDialog::DoModal();
  if (result != IDOK) return result;
  if (!m_bSnap) m_nSnap = 0;
  if (!m_bExtra) m_nExtraInterval = 0;
  if (!m_bRaster) m_nRaster = 0;
  if (m_bFixed) m_nRaster = -m_nFixedWidth;
  m_nValueDisplay = m_nShowSize | (m_bPositive ? HEXSHOW_POSITIVE : 0) | (m_bBigEndian ? HEXSHOW_BIG_ENDIAN : 0) |
                    (m_bHexDistances ? HEXSHOW_HEX_DISTANCES : 0);
  return result;
}

// Numbers are read by hand: a text that is no number, or one too wide for
// 32 bits, clamps like 0 and no failure box takes the focus (which would
// leave a field again).
static void ExchangeNumber(CDataExchange* pDX, HWND dlg, int id, int& value) {
  if (pDX->m_bSaveAndValidate) {
    char text[32];
    ::GetDlgItemTextA(dlg, id, text, sizeof text);
    value = ParseIntA(text, PARSE_AUTO | PARSE_EXACT, nullptr);
  } else {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    char old[32];
    ::GetDlgItemTextA(dlg, id, old, sizeof old);
    if (strcmp(old, text) != 0) ::SetDlgItemTextA(dlg, id, text);
  }
}

void CHexConfigDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Check(pDX, IDC_CFG_SPACE, m_bSpace);
  DDX_Check(pDX, IDC_CFG_EXTRA, m_bExtra);
  DDX_Check(pDX, IDC_CFG_FIXED, m_bFixed);
  DDX_Check(pDX, IDC_CFG_SNAP, m_bSnap);
  DDX_Check(pDX, IDC_CFG_RASTER, m_bRaster);
  ExchangeNumber(pDX, m_hWnd, IDC_CFG_EXTRA_N, m_nExtraInterval);
  ExchangeNumber(pDX, m_hWnd, IDC_CFG_FIXED_N, m_nFixedWidth);
  ExchangeNumber(pDX, m_hWnd, IDC_CFG_SNAP_N, m_nSnap);
  ExchangeNumber(pDX, m_hWnd, IDC_CFG_RASTER_N, m_nRaster);
  ExchangeNumber(pDX, m_hWnd, IDC_CFG_DIGITS, m_nAddrDigits);
  DDX_Radio(pDX, IDC_CFG_SHOW_BYTE, m_nShowSize);
  DDX_Check(pDX, IDC_CFG_POSITIVE, m_bPositive);
  DDX_Check(pDX, IDC_CFG_BIG_ENDIAN, m_bBigEndian);
  DDX_Check(pDX, IDC_CFG_HEX_DIST, m_bHexDistances);
  DDX_Check(pDX, IDC_CFG_INVERT, m_bInvertOrder);
  DDX_Check(pDX, IDC_CFG_SNAP_SEL, m_bSnapSelection);
  DDX_Radio(pDX, IDC_CFG_OUT_BYTE, m_nOutputFormat);
  EnableFields();
}

BOOL CHexConfigDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  return TRUE;
}

void CHexConfigDlg::EnableFields() {
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CFG_EXTRA_N), m_bExtra);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CFG_FIXED_N), m_bFixed);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CFG_SNAP_N), m_bSnap);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CFG_RASTER_N), m_bRaster);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CFG_INVERT), m_nOutputFormat != 0);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CFG_SNAP_SEL), m_nOutputFormat != 0);
}

void CHexConfigDlg::TakeFields(int clickedId) {
  UpdateData(TRUE);
  m_nExtraInterval = Clamp(m_nExtraInterval, 1, 256);
  m_nFixedWidth = Clamp(m_nFixedWidth, 1, 256);
  m_nSnap = Clamp(m_nSnap, 1, 256);
  m_nRaster = Clamp(m_nRaster, 1, 256);
  m_nAddrDigits = Clamp(m_nAddrDigits, 1, 8);
  // A fixed width and a width raster exclude each other: the newer one stays.
  if (m_bFixed && m_bRaster) {
    if (clickedId == IDC_CFG_FIXED)
      m_bRaster = 0;
    else
      m_bFixed = 0;
  }
  UpdateData(FALSE);
}

void CHexConfigDlg::OnFieldClicked(UINT nID) { TakeFields((int)nID); }

void CHexConfigDlg::OnNumberLeft(UINT nID) { TakeFields((int)nID); }

void CHexConfigDlg::OnOK() {
  TakeFields(0);
  CDialog::OnOK();
}
