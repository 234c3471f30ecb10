#include "viewers/tools/crccalcdlg.h"

#include <cstdio>
#include <cstring>

#include "system/regkeystack.h"
#include "text/numbers/intparse.h"
#include "ui/combohistory.h"
#include "ui/geometry.h"
#include "viewers/tools/crcengine.h"
#include "viewers/tools/crcpresets.h"
#include "viewers/tools/crcsource.h"
#include "viewers/tools/tooldlg.h"

namespace {

const char kSubKey[] = "HexCrcCalc";
const char kHistoryPath[] = "#HexCrcCalc";
const char* const kWidths[] = {"4-Bit",  "5-Bit",  "7-Bit",  "8-Bit",  "12-Bit",
                               "15-Bit", "16-Bit", "24-Bit", "32-Bit", "64-Bit"};
const char* const kSources[] = {"keiner", "Algo. A", "Algo. B", "Algo. C"};
constexpr int kSourceLimit = 65536;

// The fields are written by the dialog itself while it recalculates.
bool s_busy = false;

const ToolTemplate& Template() {
  static const ToolTemplate t = [] {
    ToolTemplate t(kToolDlgStyle, 322, 368, "CRC-Summe berechnen");
    const DWORD ro = ES_READONLY | ES_AUTOHSCROLL | WS_BORDER;
    const DWORD combo = CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
    t.Item(TPL_STATIC, -1, 0, 5, 5, 200, 8, "Art der Checksumme wählen.")
        .Item(TPL_COMBOBOX, IDC_CRC_PRESET, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 5, 15, 310, 190)
        .Item(TPL_STATIC, -1, 0, 5, 35, 50, 8, "Polygonlänge :")
        .Item(TPL_COMBOBOX, IDC_CRC_WIDTH, combo, 5, 45, 50, 180)
        .Item(TPL_STATIC, -1, 0, 60, 35, 88, 8, "Polygon : ( 1 +x + x² + ³ .... )")
        .Item(TPL_COMBOBOX, IDC_CRC_REFLECTED, combo, 60, 45, 85, 190)
        .Item(TPL_STATIC, -1, 0, 150, 35, 88, 8, "Polygon : ( ... + x³ + x² + x +1 )")
        .Item(TPL_COMBOBOX, IDC_CRC_NORMAL, combo, 150, 45, 85, 195)
        .Item(TPL_BUTTON, IDC_CRC_INVERT, BS_AUTOCHECKBOX | WS_TABSTOP, 240, 46, 79, 10, "Ergebniss invertieren")
        .Item(TPL_STATIC, -1, 0, 5, 65, 310, 8,
              "Polygon als Formel :  ( \"x^3+x+1\" oder \"x'3+x+1\" oder \"x3+x+1\" )")
        .Item(TPL_EDIT, IDC_CRC_FORMULA, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 5, 75, 310, 14)
        .Item(TPL_STATIC, -1, 0, 5, 95, 100, 8, "Ergebnis :")
        .Item(TPL_STATIC, -1, 0, 110, 95, 100, 8, "Ergebnis bei Start 0 :")
        .Item(TPL_STATIC, -1, 0, 215, 95, 100, 8, "Ergebnis bei Start ~0 :")
        .Item(TPL_EDIT, IDC_CRC_A, ro, 5, 105, 100, 14)
        .Item(TPL_EDIT, IDC_CRC_A_0, ro, 110, 105, 100, 14)
        .Item(TPL_EDIT, IDC_CRC_A_ONES, ro, 215, 105, 100, 14)
        .Item(TPL_STATIC, -1, 0, 5, 121, 100, 8, "Ergebnis Algorithmus B :")
        .Item(TPL_STATIC, -1, 0, 110, 121, 100, 8, "Ergebnis bei Start 0  Algo. B :")
        .Item(TPL_STATIC, -1, 0, 215, 121, 100, 8, "Ergebnis bei Start ~0  Algo. B :")
        .Item(TPL_EDIT, IDC_CRC_B, ro, 5, 130, 100, 14)
        .Item(TPL_EDIT, IDC_CRC_B_0, ro, 110, 130, 100, 14)
        .Item(TPL_EDIT, IDC_CRC_B_ONES, ro, 215, 130, 100, 14)
        .Item(TPL_STATIC, -1, 0, 5, 145, 100, 8, "Ergebnis Algorithmus C :")
        .Item(TPL_STATIC, -1, 0, 110, 145, 100, 8, "Ergebnis bei Start 0  Algo. C :")
        .Item(TPL_STATIC, -1, 0, 215, 145, 100, 8, "Ergebnis bei Start ~0  Algo. C :")
        .Item(TPL_EDIT, IDC_CRC_C, ro, 5, 154, 100, 14)
        .Item(TPL_EDIT, IDC_CRC_C_0, ro, 110, 154, 100, 14)
        .Item(TPL_EDIT, IDC_CRC_C_ONES, ro, 215, 154, 100, 14)
        .Item(TPL_STATIC, -1, 0, 5, 176, 100, 8, "Startewert : ")
        .Item(TPL_COMBOBOX, IDC_CRC_START, combo, 5, 186, 100, 195)
        .Item(TPL_STATIC, -1, 0, 110, 176, 45, 8, "Source :")
        .Item(TPL_COMBOBOX, IDC_CRC_SOURCE_CHOICE, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 110, 186, 45, 130)
        .Item(TPL_STATIC, -1, 0, 160, 176, 50, 8, "Speicherlänge :")
        .Item(TPL_EDIT, IDC_CRC_LENGTH, ES_READONLY | ES_CENTER | WS_BORDER, 160, 186, 50, 14)
        .Item(TPL_BUTTON, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 215, 186, 45, 14, "OK")
        .Item(TPL_BUTTON, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 265, 186, 50, 14, "Abbrechen")
        .Item(TPL_EDIT, IDC_CRC_SOURCE,
              ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL | WS_BORDER, 5,
              210, 310, 155);
    return t;
  }();
  return t;
}

CString WindowText(HWND h) {
  int n = ::GetWindowTextLengthA(h);
  CString s;
  char* p = s.GetBufferSetLength(n);
  ::GetWindowTextA(h, p, n + 1);
  s.ReleaseBuffer(n);
  return s;
}

uint64_t MaskOf(int width) { return CrcWidthMask(width); }

}  // namespace

BEGIN_MESSAGE_MAP(CCrcCalcDlg, CDialog)
  ON_WM_CTLCOLOR()
  ON_EN_CHANGE(IDC_CRC_FORMULA, OnFormulaChanged)
  ON_EN_KILLFOCUS(IDC_CRC_FORMULA, OnAll)
  ON_CONTROL_RANGE(CBN_KILLFOCUS, IDC_CRC_WIDTH, IDC_CRC_START, OnComboLeft)
  ON_CBN_SELCHANGE(IDC_CRC_PRESET, OnPreset)
  ON_CONTROL_RANGE(CBN_SELCHANGE, IDC_CRC_WIDTH, IDC_CRC_START, OnComboChosen)
  ON_CONTROL_RANGE(CBN_EDITCHANGE, IDC_CRC_WIDTH, IDC_CRC_START, OnComboEdited)
  ON_CBN_SELCHANGE(IDC_CRC_SOURCE_CHOICE, OnSourceChanged)
  ON_BN_CLICKED(IDC_CRC_INVERT, OnAll)
END_MESSAGE_MAP()

void CCrcCalcDlg::OnComboChosen(UINT nID) {
  // The edit shows the chosen text only after this notification.
  HWND combo = ::GetDlgItem(m_hWnd, nID);
  int sel = (int)::SendMessageA(combo, CB_GETCURSEL, 0, 0);
  char text[128];
  if (sel >= 0 && ::SendMessageA(combo, CB_GETLBTEXTLEN, sel, 0) < (LRESULT)sizeof text) {
    ::SendMessageA(combo, CB_GETLBTEXT, sel, (LPARAM)text);
    ::SetWindowTextA(combo, text);
  }
  OnComboEdited(nID);
}

void CCrcCalcDlg::OnComboEdited(UINT nID) {
  switch (nID) {
    case IDC_CRC_WIDTH:
      Recalculate(CRC_WIDTH);
      break;
    case IDC_CRC_REFLECTED:
      Recalculate(CRC_REFLECTED_POLY);
      break;
    case IDC_CRC_NORMAL:
      Recalculate(CRC_NORMAL_POLY);
      break;
    case IDC_CRC_START:
      Recalculate(CRC_START);
      break;
  }
}

INT_PTR CCrcCalcDlg::DoModal(const void* data, int length) {
  m_pData = static_cast<const unsigned char*>(data);
  m_nLength = length < 0 ? 0 : length;
  InitModalIndirect(Template().Get(), m_pParentWnd);
  return CDialog::DoModal();
}

void CCrcCalcDlg::DoDataExchange(CDataExchange* pDX) {
  // Texts both ways without a failure box: everything is parsed here.
  struct {
    int id;
    CString* text;
  } texts[] = {{IDC_CRC_FORMULA, &m_strFormula},
               {IDC_CRC_WIDTH, &m_strWidth},
               {IDC_CRC_REFLECTED, &m_strReflected},
               {IDC_CRC_NORMAL, &m_strNormal},
               {IDC_CRC_START, &m_strStart}};
  for (auto& t : texts) {
    HWND h = ::GetDlgItem(m_hWnd, t.id);
    if (pDX->m_bSaveAndValidate)
      *t.text = WindowText(h);
    else
      SetField(t.id, *t.text);
  }
  DDX_Check(pDX, IDC_CRC_INVERT, m_bInvert);
  DDX_CBIndex(pDX, IDC_CRC_PRESET, m_nPreset);
  DDX_CBIndex(pDX, IDC_CRC_SOURCE_CHOICE, m_nSource);
}

void CCrcCalcDlg::SetField(int id, const char* text) {
  HWND h = ::GetDlgItem(m_hWnd, id);
  if (std::strcmp(WindowText(h), text) != 0) ::SetWindowTextA(h, text);
}

CString CCrcCalcDlg::Hex(uint64_t value) const {
  char text[24];
  CrcHexText(text, value, m_nWidth);
  return text;
}

BOOL CCrcCalcDlg::OnInitDialog() {
  RestoreToolDlgPos(m_hWnd, TOOLPOS_CRC);
  char text[64];
  std::snprintf(text, sizeof text, "%i / 0x%04X", m_nLength, (unsigned)m_nLength);
  SetDlgItemText(IDC_CRC_LENGTH, text);
  for (int i = 0; i < kCrcPresetCount; i++)
    SendDlgItemMessage(IDC_CRC_PRESET, CB_ADDSTRING, 0, (LPARAM)kCrcPresets[i].name);
  for (const char* w : kWidths) SendDlgItemMessage(IDC_CRC_WIDTH, CB_ADDSTRING, 0, (LPARAM)w);
  for (const char* s : kSources) SendDlgItemMessage(IDC_CRC_SOURCE_CHOICE, CB_ADDSTRING, 0, (LPARAM)s);
  if (m_bGivenValues) {
    if (m_nWidth <= 0) m_nWidth = 32;
    if (m_nWidth > 64) m_nWidth = 64;
    m_strWidth.Format("%u-Bit", (unsigned)m_nWidth);
    m_strReflected = Hex(m_nReflected);
    m_strStart = Hex(m_nStart & MaskOf(m_nWidth));
  } else {
    CRegKeyStack key;
    if (key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE) && key.OpenSubKey(kSubKey)) {
      key.QueryString(m_strStart, "StartValue");
      key.QueryString(m_strWidth, "PolynomSize");
      key.QueryString(m_strReflected, "PolynomValue");
    }
    if (m_strStart.IsEmpty()) m_strStart = "0xFFFFFFFF";
    if (m_strWidth.IsEmpty()) m_strWidth = "32-Bit";
    if (m_strReflected.IsEmpty()) m_strReflected = "0xEDB88320";
  }
  s_busy = true;  // the framework's exchange writes the fields
  CDialog::OnInitDialog();
  LoadComboHistory(this, IDC_CRC_REFLECTED, "PolynomList", kHistoryPath, nullptr, 0);
  LoadComboHistory(this, IDC_CRC_NORMAL, "InversList", kHistoryPath, nullptr, 0);
  LoadComboHistory(this, IDC_CRC_START, "StartList", kHistoryPath, nullptr, 0);
  s_busy = false;
  SendDlgItemMessage(IDC_CRC_SOURCE, EM_LIMITTEXT, kSourceLimit, 0);
  m_bFullHeight = 1;
  Recalculate(CRC_ALL);
  OnSourceChanged();
  return TRUE;
}

void CCrcCalcDlg::Recalculate(int changed) {
  if (s_busy) return;
  s_busy = true;
  UpdateData(TRUE);
  m_nStart = (uint64_t)ParseInt64A(m_strStart, 0, nullptr);
  m_nReflected = (uint64_t)ParseInt64A(m_strReflected, 0, nullptr);
  m_nNormal = (uint64_t)ParseInt64A(m_strNormal, 0, nullptr);
  m_nWidth = ParseIntA(m_strWidth, 0, nullptr);

  switch (changed) {
    case CRC_FORMULA: {
      uint64_t poly = 0;
      int width = 0;
      bool ok = CrcParseFormula(m_strFormula, &poly, &width);
      if (ok == (m_bFormulaError != 0)) {
        m_bFormulaError = !ok;
        ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_CRC_FORMULA), nullptr, TRUE);
      }
      if (ok) {
        m_nNormal = poly;
        m_nWidth = width;
        m_nReflected = CrcReversePoly(poly, width);
      }
      break;
    }
    case CRC_PRESET:
      if (m_nPreset > 0 && m_nPreset < kCrcPresetCount) {
        m_nWidth = kCrcPresets[m_nPreset].width;
        m_nReflected = kCrcPresets[m_nPreset].polyReflected;
        m_nNormal = CrcReversePoly(m_nReflected, m_nWidth);
      }
      break;
    case CRC_START:
      if (m_nSource) m_nKeyWidth = -1;  // the source is written again
      break;
  }
  // The width ends in 1..64 whatever was typed.
  if (m_nWidth <= 0) m_nWidth = 32;
  if (m_nWidth > 64) m_nWidth = 64;
  if (changed == CRC_NORMAL_POLY)
    m_nReflected = CrcReversePoly(m_nNormal, m_nWidth);
  else
    m_nNormal = CrcReversePoly(m_nReflected, m_nWidth);
  m_nMask = MaskOf(m_nWidth);
  m_nReflected &= m_nMask;
  m_nNormal &= m_nMask;
  m_nStart &= m_nMask;

  // Texts saved before a width change come back in full when it grows again.
  switch (changed) {
    case CRC_WIDTH:
      if (m_bPolySaved) {
        m_nReflected = (uint64_t)ParseInt64A(m_strSavedPoly, 0, nullptr) & m_nMask;
        m_nNormal = CrcReversePoly(m_nReflected, m_nWidth);
      } else {
        m_strSavedPoly = m_strReflected;
        m_bPolySaved = 1;
      }
      if (m_bStartSaved) {
        m_nStart = (uint64_t)ParseInt64A(m_strSavedStart, 0, nullptr) & m_nMask;
      } else {
        m_strSavedStart = m_strStart;
        m_bStartSaved = 1;
      }
      m_strReflected = Hex(m_nReflected);
      m_strStart = Hex(m_nStart);
      break;
    case CRC_REFLECTED_POLY:
      m_strSavedPoly = m_strReflected;
      m_bPolySaved = 1;
      break;
    case CRC_NORMAL_POLY:
      m_bPolySaved = 0;
      break;
    case CRC_FORMULA:
    case CRC_PRESET:
      m_bPolySaved = 0;
      if (m_bStartSaved)
        m_nStart = (uint64_t)ParseInt64A(m_strSavedStart, 0, nullptr) & m_nMask;
      else {
        m_strSavedStart = m_strStart;
        m_bStartSaved = 1;
      }
      m_strStart = Hex(m_nStart);
      break;
    case CRC_START:
      m_bPolySaved = m_bStartSaved = 0;
      break;
  }

  if (changed != CRC_PRESET) {
    int row = 0;
    for (int i = kCrcPresetCount - 1; i >= 1; i--)
      if (kCrcPresets[i].polyReflected == m_nReflected && kCrcPresets[i].width == m_nWidth) {
        row = i;
        break;
      }
    m_nPreset = row;
    SendDlgItemMessage(IDC_CRC_PRESET, CB_SETCURSEL, row, 0);
  }
  if (changed != CRC_WIDTH) {
    m_strWidth.Format("%u-Bit", (unsigned)m_nWidth);
    HWND combo = ::GetDlgItem(m_hWnd, IDC_CRC_WIDTH);
    int found = (int)::SendMessageA(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)(const char*)m_strWidth);
    if (found >= 0 && WindowText(combo) != m_strWidth) ::SendMessageA(combo, CB_SETCURSEL, found, 0);
    SetField(IDC_CRC_WIDTH, m_strWidth);
  }
  if (changed != CRC_REFLECTED_POLY) SetField(IDC_CRC_REFLECTED, Hex(m_nReflected));
  if (changed != CRC_NORMAL_POLY) SetField(IDC_CRC_NORMAL, Hex(m_nNormal));
  if (changed != CRC_FORMULA) {
    SetField(IDC_CRC_FORMULA, CrcFormatFormula(m_nReflected, m_nWidth));
    if (m_bFormulaError) {
      m_bFormulaError = 0;
      ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_CRC_FORMULA), nullptr, TRUE);
    }
  }
  if (changed != CRC_START) SetField(IDC_CRC_START, Hex(m_nStart));

  if (m_nKeyPoly != m_nReflected || m_nKeyWidth != m_nWidth) {
    m_nKeyPoly = m_nReflected;
    m_nKeyWidth = m_nWidth;
    CrcTableReflected(m_nReflected, m_tables[0]);
    CrcTableMsbFirst(m_nNormal, m_tables[1], m_nWidth, m_nMask);
    CrcTableShifted(m_nNormal, m_tables[2], m_nWidth);
    if (m_nSource >= 1 && m_nSource <= 3) {
      CrcSourceParams prm = {(CrcAlgorithm)(m_nSource - 1), m_nWidth, m_nMask, m_nNormal, m_nReflected, m_nStart,
                             m_tables[m_nSource - 1]};
      SetField(IDC_CRC_SOURCE, CrcWriteSource(prm));
    }
  }

  const uint64_t starts[3] = {m_nStart, 0, m_nMask};
  for (int s = 0; s < 3; s++) {
    m_results[s] = CrcUpdateReflected(starts[s], m_pData, m_nLength, m_tables[0]);
    m_results[3 + s] = CrcUpdateMsbFirst(starts[s], m_pData, m_nLength, m_tables[1], m_nWidth, m_nMask);
    m_results[6 + s] = CrcUpdateShifted(starts[s], m_pData, m_nLength, m_tables[2]);
  }
  static const int kIds[9] = {IDC_CRC_A,      IDC_CRC_A_0, IDC_CRC_A_ONES, IDC_CRC_B,     IDC_CRC_B_0,
                              IDC_CRC_B_ONES, IDC_CRC_C,   IDC_CRC_C_0,    IDC_CRC_C_ONES};
  for (int i = 0; i < 9; i++) {
    if (m_bInvert) m_results[i] ^= m_nMask;
    SetField(kIds[i], Hex(m_results[i] & m_nMask));
  }
  s_busy = false;
}

int CCrcCalcDlg::SourceDistance() const {
  RECT source, length;
  ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_CRC_SOURCE), &source);
  ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_CRC_LENGTH), &length);
  return source.bottom - length.bottom;
}

void CCrcCalcDlg::OnSourceChanged() {
  UpdateData(TRUE);
  if (m_nSource == 0 && m_bFullHeight) {
    ResizeWindowTo(m_hWnd, 0, -SourceDistance(), TRUE);
    m_bFullHeight = 0;
  } else if (m_nSource != 0) {
    if (!m_bFullHeight) {
      ResizeWindowTo(m_hWnd, 0, SourceDistance(), TRUE);
      m_bFullHeight = 1;
    }
    m_nKeyWidth = -1;
    Recalculate(CRC_ALL);
  }
}

HBRUSH CCrcCalcDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  int id = pWnd ? ::GetDlgCtrlID(pWnd->GetSafeHwnd()) : 0;
  if ((id >= IDC_CRC_C_ONES && id <= IDC_CRC_SOURCE) || id == IDC_CRC_C || id == IDC_CRC_C_0 || id == IDC_CRC_A ||
      id == IDC_CRC_A_0 || (id >= IDC_CRC_A_ONES && id <= IDC_CRC_B_0))
    return ToolFieldBrush(pDC->GetSafeHdc(), false);
  if (id == IDC_CRC_FORMULA && m_bFormulaError) return ToolFieldBrush(pDC->GetSafeHdc(), true);
  return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CCrcCalcDlg::OnOK() {
  UpdateData(TRUE);
  CRegKeyStack key;
  if (key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE) && key.OpenSubKey(kSubKey)) {
    key.SetString(m_strStart, "StartValue");
    key.SetString(m_strWidth, "PolynomSize");
    key.SetString(m_strReflected, "PolynomValue");
  }
  SaveComboHistory(this, IDC_CRC_REFLECTED, "PolynomList", kHistoryPath);
  SaveComboHistory(this, IDC_CRC_NORMAL, "InversList", kHistoryPath);
  SaveComboHistory(this, IDC_CRC_START, "StartList", kHistoryPath);
  RememberToolDlgPos(m_hWnd, TOOLPOS_CRC);
  CDialog::OnOK();
}

void CCrcCalcDlg::OnCancel() {
  RememberToolDlgPos(m_hWnd, TOOLPOS_CRC);
  CDialog::OnCancel();
}
