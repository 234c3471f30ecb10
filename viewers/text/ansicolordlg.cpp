#include "viewers/text/ansicolordlg.h"

#include <cstring>
#include <vector>

#include "viewers/text/dlgtemplate.h"

namespace {
// clang-format off
const DlgItemDef kItems[] = {
    {IDOK, kDlgButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 130, 10, 50, 14, "OK"},
    {IDCANCEL, kDlgButton, BS_PUSHBUTTON | WS_TABSTOP, 190, 10, 50, 14, "Abbrechen"},
    {kColorDlgEntries, kDlgListBox, LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 10, 10, 110, 100, ""},
    {kColorDlgBold, kDlgButton, BS_AUTOCHECKBOX | WS_TABSTOP, 135, 32, 28, 10, "Fett"},
    {kColorDlgItalic, kDlgButton, BS_AUTOCHECKBOX | WS_TABSTOP, 135, 43, 35, 10, "Kursiv"},
    {kColorDlgUnderline, kDlgButton, BS_AUTOCHECKBOX | WS_TABSTOP, 135, 54, 62, 10, "Unterstreichen"},
    {kColorDlgPreview, kDlgStatic, SS_SUNKEN, 130, 69, 110, 31, ""},
    {kColorDlgFilter, kDlgButton, BS_AUTOCHECKBOX | WS_TABSTOP, 135, 105, 87, 10, "Nur für aktelles Format"},
    {kColorDlgBackgroundGroup, kDlgButton, BS_GROUPBOX, 10, 120, 110, 145, "Hintergrundfarbe"},
    {kColorDlgBackgroundSwatches, kDlgListBox, LBS_OWNERDRAWFIXED | LBS_MULTICOLUMN | LBS_NOTIFY | WS_TABSTOP,
     20, 135, 88, 105, ""},
    {kColorDlgDefineBackground, kDlgButton, BS_PUSHBUTTON | WS_TABSTOP, 25, 245, 75, 15, "Farbe defienieren"},
    {kColorDlgTextGroup, kDlgButton, BS_GROUPBOX, 130, 120, 110, 145, "Textfarbe"},
    {kColorDlgTextSwatches, kDlgListBox, LBS_OWNERDRAWFIXED | LBS_MULTICOLUMN | LBS_NOTIFY | WS_TABSTOP,
     140, 135, 88, 105, ""},
    {kColorDlgDefineText, kDlgButton, BS_PUSHBUTTON | WS_TABSTOP, 145, 245, 75, 15, "Farbe definieren"},
};
// clang-format on

const std::vector<WORD>& Template() {
  static std::vector<WORD> words;
  if (words.empty())
    BuildDialogTemplate(&words, true, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 247, 274, "Farben einstellen",
                        kItems, sizeof kItems / sizeof kItems[0]);
  return words;
}

COLORREF Resolve(COLORREF c, int sysColor) { return c == kAnsiSystemColor ? GetSysColor(sysColor) : c; }

void FillSolid(HDC dc, const RECT& rc, COLORREF c) {
  COLORREF old = SetBkColor(dc, c);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}
}  // namespace

BEGIN_MESSAGE_MAP(CAnsiColorPreview, CWnd)
  ON_WM_PAINT()
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

void CAnsiColorPreview::Paint(HDC dc) {
  RECT rc;
  ::GetClientRect(m_hWnd, &rc);
  COLORREF bg = Resolve(m_pDlg->CurrentBackground(), COLOR_WINDOW);
  COLORREF fg = Resolve(m_pDlg->CurrentText(), COLOR_WINDOWTEXT);
  HGDIOBJ oldFont = SelectObject(dc, m_pDlg->PreviewFont());
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  SetBkColor(dc, bg);
  SetTextColor(dc, fg);
  UINT oldAlign = SetTextAlign(dc, TA_CENTER | TA_TOP);
  ExtTextOutA(dc, rc.right / 2, (rc.bottom - tm.tmHeight) / 2, ETO_OPAQUE | ETO_CLIPPED, &rc, "AbcXyz", 6, nullptr);
  SetTextAlign(dc, oldAlign);
  SelectObject(dc, oldFont);
}

void CAnsiColorPreview::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  Paint(dc);
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CAnsiColorPreview::OnPrintClient(WPARAM wParam, LPARAM) {
  Paint((HDC)wParam);
  return 0;
}

BEGIN_MESSAGE_MAP(CAnsiColorDlg, CDialog)
  ON_WM_DRAWITEM()
  ON_WM_MEASUREITEM()
  ON_LBN_SELCHANGE(kColorDlgEntries, OnEntryChange)
  ON_LBN_SELCHANGE(kColorDlgBackgroundSwatches, OnBackgroundSwatch)
  ON_LBN_SELCHANGE(kColorDlgTextSwatches, OnTextSwatch)
  ON_CONTROL_RANGE(BN_CLICKED, kColorDlgBold, kColorDlgUnderline, OnStyleCheck)
  ON_BN_CLICKED(kColorDlgFilter, OnFilterCheck)
  ON_BN_CLICKED(kColorDlgDefineBackground, OnDefineBackground)
  ON_BN_CLICKED(kColorDlgDefineText, OnDefineText)
END_MESSAGE_MAP()

CAnsiColorDlg::CAnsiColorDlg(CWnd* pParentWnd) : CDialog((LPCSTR) nullptr, pParentWnd) {
  std::memset(m_filter, 0, sizeof m_filter);
  m_preview.m_pDlg = this;
}

CAnsiColorDlg::~CAnsiColorDlg() { delete[] m_pWork; }

INT_PTR CAnsiColorDlg::DoModal(ANSICOLORENTRY* list, HFONT font, int position, const BYTE* filter) {
  m_pList = list;
  m_count = ColorListCount(list);
  if (m_count > kColorDlgMaxEntries) m_count = kColorDlgMaxEntries;
  // A shallow copy: the names stay the list's.
  delete[] m_pWork;
  m_pWork = new ANSICOLORENTRY[m_count + 2];
  if (m_count) std::memcpy(m_pWork, list, m_count * sizeof(ANSICOLORENTRY));
  m_pWork[m_count] = {kColorDlgSentinelColor, kColorDlgSentinelColor, 0, 0,
                      const_cast<char*>("keine Farben vorhanden")};
  m_pWork[m_count + 1] = {0, 0, 0, 0, nullptr};
  m_hFont = font ? font : (HFONT)GetStockObject(ANSI_FIXED_FONT);
  m_position = position;
  m_bFilter = filter != nullptr;
  if (filter) std::memcpy(m_filter, filter, sizeof m_filter);
  InitModalIndirect((LPCDLGTEMPLATE)Template().data(), m_pParentWnd);
  INT_PTR result = CDialog::DoModal();
  if (result == IDOK && m_count > 0) {
    for (int i = 0; i < m_count; ++i) {
      m_pList[i].background = m_pWork[i].background;
      m_pList[i].text = m_pWork[i].text;
      m_pList[i].style = m_pWork[i].style;
    }
  }
  delete[] m_pWork;
  m_pWork = nullptr;
  return result;
}

void CAnsiColorDlg::FitSwatchList(int id) {
  HWND list = ::GetDlgItem(m_hWnd, id);
  ::SendMessageA(list, LB_SETITEMHEIGHT, 0, m_swatchSize);
  ::SendMessageA(list, LB_SETCOLUMNWIDTH, m_swatchSize, 0);
  // Whole swatches: a remainder of more than half a swatch grows the list.
  RECT client, outer;
  ::GetClientRect(list, &client);
  ::GetWindowRect(list, &outer);
  auto fit = [this](int n) {
    int whole = n / m_swatchSize, rest = n % m_swatchSize;
    return (rest > m_swatchSize / 2 ? whole + 1 : whole) * m_swatchSize;
  };
  int cx = outer.right - outer.left + fit(client.right) - client.right;
  int cy = outer.bottom - outer.top + fit(client.bottom) - client.bottom;
  ::SetWindowPos(list, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (int i = 0; i < kAnsiPaletteCount; ++i) ::SendMessageA(list, LB_ADDSTRING, 0, i);
}

BOOL CAnsiColorDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  RECT rc;
  ::GetClientRect(::GetDlgItem(m_hWnd, kColorDlgBackgroundSwatches), &rc);
  m_swatchSize = rc.bottom < 282 ? rc.bottom / 9 : rc.bottom / 12;
  if (m_swatchSize < 11) m_swatchSize = 11;
  FitSwatchList(kColorDlgBackgroundSwatches);
  FitSwatchList(kColorDlgTextSwatches);
  m_preview.SubclassDlgItem(kColorDlgPreview, this);
  if (m_bFilter)
    CheckDlgButton(kColorDlgFilter, BST_CHECKED);
  else
    ::EnableWindow(::GetDlgItem(m_hWnd, kColorDlgFilter), FALSE);
  FillEntries();
  SelectEntry(m_position);
  return TRUE;
}

void CAnsiColorDlg::FillEntries() {
  HWND list = ::GetDlgItem(m_hWnd, kColorDlgEntries);
  ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
  bool filtered = m_bFilter && IsDlgButtonChecked(kColorDlgFilter);
  if (filtered) {
    // Ids past the filter's 256 bits lie outside it.
    int shown = 0, last = -1;
    for (int i = 0; i < m_count; ++i) {
      UINT id = m_pWork[i].id;
      if (id < 256 && (m_filter[id / 8] & (1 << (id % 8)))) ++shown, last = i;
    }
    if (shown == 0 || (shown == 1 && last == 0)) filtered = false;
  }
  for (int i = 0; i < m_count; ++i) {
    UINT id = m_pWork[i].id;
    if (filtered && !(id < 256 && (m_filter[id / 8] & (1 << (id % 8))))) continue;
    int item = (int)::SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)m_pWork[i].name);
    ::SendMessageA(list, LB_SETITEMDATA, item, i);
  }
  int items = (int)::SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (int item = 0; item < items; ++item) {
    if ((int)::SendMessageA(list, LB_GETITEMDATA, item, 0) == m_position) {
      ::SendMessageA(list, LB_SETCURSEL, item, 0);
      break;
    }
  }
}

void CAnsiColorDlg::SelectEntry(int position) {
  if (position > m_count - 1) position = m_count - 1;
  if (position < 0) position = 0;  // an empty list has its sentinel at 0
  m_position = position;
  const ANSICOLORENTRY& e = m_pWork[position];
  m_background = e.background;
  m_text = e.text;
  CheckDlgButton(kColorDlgBold, (e.style & kAnsiColorBold) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(kColorDlgItalic, (e.style & kAnsiColorItalic) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(kColorDlgUnderline, (e.style & kAnsiColorUnderline) ? BST_CHECKED : BST_UNCHECKED);
  SelectSwatches();
  UpdatePreview();
}

void CAnsiColorDlg::SelectSwatches() {
  const struct {
    int id;
    COLORREF color;
  } lists[] = {{kColorDlgBackgroundSwatches, m_background}, {kColorDlgTextSwatches, m_text}};
  for (const auto& l : lists) {
    int found = kAnsiPaletteCount - 1;  // a colour not in the palette: the last swatch
    for (int i = 0; i < kAnsiPaletteCount; ++i) {
      if (kAnsiPalette[i] == l.color) {
        found = i;
        break;
      }
    }
    ::SendDlgItemMessageA(m_hWnd, l.id, LB_SETCURSEL, found, 0);
  }
}

void CAnsiColorDlg::UpdatePreview() {
  if (!m_preview.m_hWnd) return;
  HDC dc = ::GetDC(m_preview.m_hWnd);
  m_preview.Paint(dc);
  ::ReleaseDC(m_preview.m_hWnd, dc);
}

void CAnsiColorDlg::StoreColors() {
  m_pWork[m_position].background = m_background;
  m_pWork[m_position].text = m_text;
}

void CAnsiColorDlg::OnEntryChange() {
  HWND list = ::GetDlgItem(m_hWnd, kColorDlgEntries);
  int item = (int)::SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (item < 0) return;
  SelectEntry((int)::SendMessageA(list, LB_GETITEMDATA, item, 0));
}

void CAnsiColorDlg::OnBackgroundSwatch() {
  int sel = (int)SendDlgItemMessage(kColorDlgBackgroundSwatches, LB_GETCURSEL);
  m_background = kAnsiPalette[sel < 0 ? 0 : sel];
  StoreColors();
  UpdatePreview();
}

void CAnsiColorDlg::OnTextSwatch() {
  int sel = (int)SendDlgItemMessage(kColorDlgTextSwatches, LB_GETCURSEL);
  m_text = kAnsiPalette[sel < 0 ? 0 : sel];
  StoreColors();
  UpdatePreview();
}

void CAnsiColorDlg::OnStyleCheck(UINT) {
  UINT style = 0;
  if (IsDlgButtonChecked(kColorDlgBold)) style |= kAnsiColorBold;
  if (IsDlgButtonChecked(kColorDlgItalic)) style |= kAnsiColorItalic;
  if (IsDlgButtonChecked(kColorDlgUnderline)) style |= kAnsiColorUnderline;
  m_pWork[m_position].style = style;
}

void CAnsiColorDlg::OnFilterCheck() { FillEntries(); }

COLORREF CAnsiColorDlg::DefineColor(COLORREF start, int sysColor) {
  COLORREF c = Resolve(start, sysColor);
  CColorDialog dlg(0, CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR, this);
  dlg.SetCurrentColor(c);
  for (int i = 0; i < 16; ++i) dlg.GetSavedCustomColors()[i] = c;
  return dlg.DoModal() == IDOK ? dlg.GetColor() : start;
}

void CAnsiColorDlg::OnDefineBackground() {
  m_background = DefineColor(m_background, COLOR_WINDOW);
  StoreColors();
  SelectSwatches();
  UpdatePreview();
}

void CAnsiColorDlg::OnDefineText() {
  m_text = DefineColor(m_text, COLOR_WINDOWTEXT);
  StoreColors();
  SelectSwatches();
  UpdatePreview();
}

void CAnsiColorDlg::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS) {
  if (nIDCtl == kColorDlgBackgroundSwatches || nIDCtl == kColorDlgTextSwatches) {
    lpMIS->itemWidth = m_swatchSize;
    lpMIS->itemHeight = m_swatchSize;
  }
}

void CAnsiColorDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS) {
  if (nIDCtl != kColorDlgBackgroundSwatches && nIDCtl != kColorDlgTextSwatches) return;
  if ((int)lpDIS->itemID < 0 || lpDIS->itemID >= (UINT)kAnsiPaletteCount) return;
  HDC dc = lpDIS->hDC;
  RECT rc = lpDIS->rcItem;
  COLORREF palette = kAnsiPalette[lpDIS->itemID];
  bool system = palette == kAnsiSystemColor;
  COLORREF color =
      system ? GetSysColor(nIDCtl == kColorDlgBackgroundSwatches ? COLOR_WINDOW : COLOR_WINDOWTEXT) : palette;
  FillSolid(dc, rc, color);
  bool selected = (lpDIS->itemState & ODS_SELECTED) != 0;
  int sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
  COLORREF bar = selected ? (sum >= 721 ? 0xC0C0C0 : 0xFFFFFF) : 0x404040;
  if (selected) {
    FillSolid(dc, {rc.left, rc.top, rc.left + 2, rc.bottom}, bar);
    FillSolid(dc, {rc.left, rc.top, rc.right, rc.top + 2}, bar);
  }
  FillSolid(dc, {rc.right - 1, rc.top, rc.right, rc.bottom}, bar);
  FillSolid(dc, {rc.left, rc.bottom - 1, rc.right, rc.bottom}, bar);
  if (system) {
    HPEN pen = CreatePen(PS_SOLID, 1, bar);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, rc.left, rc.top, nullptr);
    LineTo(dc, rc.right, rc.bottom);
    MoveToEx(dc, rc.right - 1, rc.top, nullptr);
    LineTo(dc, rc.left - 1, rc.bottom);
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  if (selected) {
    static const WORD kHalftone[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kHalftone);
    HBRUSH brush = CreatePatternBrush(pattern);
    HGDIOBJ old = SelectObject(dc, brush);
    COLORREF oldText = SetTextColor(dc, 0x000000), oldBk = SetBkColor(dc, 0xFFFFFF);
    PatBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, PATINVERT);
    PatBlt(dc, rc.left + 2, rc.top + 2, rc.right - rc.left - 4, rc.bottom - rc.top - 4, PATINVERT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteObject(pattern);
  }
}
