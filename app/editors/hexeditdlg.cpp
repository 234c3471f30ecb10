#include "app/editors/hexeditdlg.h"

#include <cstdio>

#include "res/resource.h"
#include "system/regkeystack.h"
#include "ui/geometry.h"

namespace {

struct Anchor {
  UINT id;
  BYTE moveX, moveY, stretchX, stretchY;
};
const Anchor kAnchors[] = {
    {IDC_HEXEDIT_VIEW, 0, 0, 1, 1},   {IDC_HEXEDIT_LENGTH_LABEL, 0, 1, 0, 0},
    {IDC_HEXEDIT_LENGTH, 0, 1, 0, 0}, {IDC_HEXEDIT_INSERT, 0, 1, 0, 0},
    {IDCANCEL, 1, 1, 0, 0},           {IDOK, 1, 1, 0, 0},
};
const int kAnchorCount = sizeof kAnchors / sizeof kAnchors[0];

// Process-wide: the layout record, the remembered rectangle and the icon.
struct HexEditProcessState {
  bool recorded = false;
  bool redrawPending = false;
  SIZE client = {};
  SIZE minimum = {};
  RECT rects[kAnchorCount] = {};
  bool rectValid = false;
  RECT rect = {};
  HICON icon = nullptr;
} g_state;

const char kSettingsKey[] = "HexEditDlg";
const char kInsertValue[] = "Insert";

}  // namespace

BEGIN_MESSAGE_MAP(CHexEditView, CHexView)
  ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

UINT CHexEditView::OnGetDlgCode() { return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB; }

BEGIN_MESSAGE_MAP(CHexEditDlg, CDialog)
  ON_WM_SIZE()
  ON_WM_SIZING()
  ON_WM_EXITSIZEMOVE()
  ON_WM_TIMER()
  ON_BN_CLICKED(IDC_HEXEDIT_INSERT, OnInsertClicked)
END_MESSAGE_MAP()

CHexEditDlg::CHexEditDlg(CWnd* pParent) : CDialog(IDD_HEXEDIT, pParent) {}

CHexEditDlg::~CHexEditDlg() {
  delete[] Data;
  Data = nullptr;
}

void CHexEditDlg::ResetProcessState() {
  HICON icon = g_state.icon;
  g_state = HexEditProcessState();
  g_state.icon = icon;
}

bool CHexEditDlg::RememberedRect(RECT* rc) {
  if (g_state.rectValid) *rc = g_state.rect;
  return g_state.rectValid;
}

void CHexEditDlg::DoDataExchange(CDataExchange* pDX) { DDX_Check(pDX, IDC_HEXEDIT_INSERT, Insert); }

BOOL CHexEditDlg::OnInitDialog() {
  if (!g_state.icon) g_state.icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
  SetIcon(g_state.icon, TRUE);
  SetIcon(g_state.icon, FALSE);
  CRegKeyStack key;
  if (key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE) && key.OpenSubKey(kSettingsKey)) {
    DWORD value = 0;
    if (key.QueryValue(&value, sizeof value, kInsertValue, REG_DWORD) && key.m_dwType == REG_DWORD && key.m_cbData == 4)
      Insert = value ? 1 : 0;
  }
  if (!Name.IsEmpty()) {
    CString title;
    title.Format("Bearbeite  '%s'", Name.GetString());
    SetWindowText(title);
  }

  RECT frame = {};
  GetDlgItemRectInParent(this, IDC_HEXEDIT_FRAME, &frame);
  HexView.SetFormat(-1, -1, -1, 8, -1, -1);
  HexView.LoadSettings(nullptr);
  HexView.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_TABSTOP, frame, this, IDC_HEXEDIT_VIEW);
  // Below the frame in the tab order, so the view is the first control.
  ::SetWindowPos(HexView.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  UINT flags = kHexDataWritable | kHexDataOwn | kHexDataInsertAllowed | (Insert ? kHexDataInsertOn : kHexDataInsertOff);
  HexView.SetData(Data, Length, 0, flags);
  Data = nullptr;
  Length = -1;

  if (!g_state.recorded) RecordLayout();

  if (g_state.rectValid) {
    const RECT& r = g_state.rect;
    RECT bounds = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (HMONITOR mon = ::MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) {
      MONITORINFO mi = {sizeof mi};
      if (::GetMonitorInfoA(mon, &mi)) bounds = mi.rcMonitor;
    }
    int w = r.right - r.left, h = r.bottom - r.top;
    if (r.left > bounds.left - 100 && r.left < bounds.right - 100 && r.top > bounds.top - 10 &&
        r.top < bounds.bottom - 100 && w > 16 && h > 16)
      ::SetWindowPos(m_hWnd, nullptr, r.left, r.top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  CDialog::OnInitDialog();
  SetTimer(kHexEditTimer, kHexEditTimerMs, nullptr);
  ShowLength();
  HexView.SetFocus();
  return FALSE;  // the focus is set
}

void CHexEditDlg::RecordLayout() {
  CRect wr, cr;
  GetWindowRect(&wr);
  GetClientRect(&cr);
  g_state.minimum.cx = wr.Width() - 50;
  g_state.minimum.cy = wr.Height() - 250;
  g_state.client.cx = cr.Width();
  g_state.client.cy = cr.Height();
  for (int i = 0; i < kAnchorCount; ++i) GetDlgItemRectInParent(this, kAnchors[i].id, &g_state.rects[i]);
  g_state.recorded = true;
}

void CHexEditDlg::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  if (!g_state.recorded) return;
  if (cx == 0 || cy == 0) {
    g_state.recorded = false;
    return;
  }
  int dx = cx - g_state.client.cx, dy = cy - g_state.client.cy;
  for (int i = 0; i < kAnchorCount; ++i) {
    // A second opening sizes the dialog before its controls exist.
    HWND item = ::GetDlgItem(m_hWnd, kAnchors[i].id);
    if (!item) continue;
    const Anchor& a = kAnchors[i];
    RECT r = g_state.rects[i];
    ::OffsetRect(&r, a.moveX * dx, a.moveY * dy);
    r.right += a.stretchX * dx;
    r.bottom += a.stretchY * dy;
    RECT now;
    GetDlgItemRectInParent(this, a.id, &now);
    if (::EqualRect(&now, &r)) continue;
    ::MoveWindow(item, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  }
  g_state.redrawPending = true;
}

void CHexEditDlg::OnExitSizeMove() {
  if (!g_state.redrawPending) return;
  g_state.redrawPending = false;
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CHexEditDlg::OnSizing(UINT fwSide, LPRECT pRect) {
  if (!g_state.recorded) RecordLayout();
  if (pRect->right - pRect->left < g_state.minimum.cx) {
    if (fwSide == WMSZ_LEFT || fwSide == WMSZ_TOPLEFT || fwSide == WMSZ_BOTTOMLEFT || fwSide == WMSZ_BOTTOM)
      pRect->left = pRect->right - g_state.minimum.cx;
    else
      pRect->right = pRect->left + g_state.minimum.cx;
  }
  if (pRect->bottom - pRect->top < g_state.minimum.cy) {
    if (fwSide == WMSZ_LEFT || fwSide == WMSZ_BOTTOM || fwSide == WMSZ_BOTTOMLEFT || fwSide == WMSZ_BOTTOMRIGHT)
      pRect->bottom = pRect->top + g_state.minimum.cy;
    else
      pRect->top = pRect->bottom - g_state.minimum.cy;
  }
}

void CHexEditDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kHexEditTimer) {
    CDialog::OnTimer(nIDEvent);
    return;
  }
  HWND focus = ::GetFocus();
  HWND check = ::GetDlgItem(m_hWnd, IDC_HEXEDIT_INSERT);
  if (focus && focus != check && HexView.m_hWnd) {
    Insert = HexView.SetInsertMode(-1, -1) ? 1 : 0;
    ::SendMessageA(check, BM_SETCHECK, Insert ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  ShowLength();
}

void CHexEditDlg::ShowLength() {
  if (!HexView.m_hWnd) return;
  int size = 0;
  HexView.GetData(&size, nullptr);
  if (size == Length) return;
  Length = size;
  char text[160];
  if (TypeName)
    std::snprintf(text, sizeof text, " %i / %04Xh byte  %s", size, (unsigned)size, TypeName);
  else
    std::snprintf(text, sizeof text, " %i / %04Xh bytes", size, (unsigned)size);
  SetDlgItemText(IDC_HEXEDIT_LENGTH, text);
}

void CHexEditDlg::OnInsertClicked() {
  UpdateData(TRUE);
  HexView.SetInsertMode(1, Insert);
}

void CHexEditDlg::RememberRect() {
  if (IsZoomed()) return;
  GetWindowRect(&g_state.rect);
  g_state.rectValid = true;
}

void CHexEditDlg::StoreInsert() {
  CRegKeyStack key;
  if (key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE) && key.CreateSubKey(kSettingsKey)) {
    DWORD value = Insert ? 1 : 0;
    key.SetValue(&value, sizeof value, kInsertValue, REG_DWORD);
  }
}

void CHexEditDlg::OnOK() {
  RememberRect();
  UpdateData(TRUE);
  StoreInsert();
  int size = 0;
  Data = (BYTE*)HexView.GetData(&size, nullptr);
  Length = size;
  Changed = HexView.IsModified() ? 1 : 0;
  // The buffer passes back to the caller: the view must not free it.
  HexView.SetData((void*)"", 0, 0, kHexDataKeepOldBuffer);
  EndDialog(IDOK);
}

void CHexEditDlg::OnCancel() {
  RememberRect();
  UpdateData(TRUE);
  StoreInsert();
  EndDialog(IDCANCEL);
}
