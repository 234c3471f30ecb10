#include "ui/dialogs/choicelist.h"

#include <windowsx.h>

#include <algorithm>

#include "mfc/menu.h"
#include "ui/dialogs/dlgids.h"
#include "ui/dialogs/dlglayout.h"
#include "ui/dialogs/dlgtemplate.h"
#include "ui/libtexts.h"

namespace {
LPCDLGTEMPLATE ListTemplate() {
  static const CDlgTemplateBuilder t = [] {
    CDlgTemplateBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 227, 171, "Auswahl");
    const DWORD list = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL | WS_TABSTOP | kDlgHidden;
    const DWORD drawn = LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
    b.Item(kDlgButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 60, 150, 50, 14, "OK")
        .Item(kDlgButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 125, 150, 50, 14, "Abbrechen")
        .Item(kDlgListBox, IDC_CHOICE_LIST, list, 5, 20, 215, 125)
        .Item(kDlgListBox, IDC_CHOICE_MULTILIST, list | LBS_MULTIPLESEL, 5, 20, 215, 125)
        .Item(kDlgListBox, IDC_CHOICE_RADIOLIST, list | drawn, 5, 20, 215, 125)
        .Item(kDlgListBox, IDC_CHOICE_CHECKLIST, list | drawn, 5, 20, 215, 125)
        .Item(kDlgStatic, IDC_CHOICE_PROMPT, SS_LEFT, 5, 7, 215, 8);
    return b;
  }();
  return t.Get();
}

// Where list dialogs were last closed, for the life of the process.
POINT s_rememberedPos;
bool s_hasRememberedPos = false;

// The tick's pens, made once for the process.
HPEN s_darkGreenPen, s_lightGreenPen;

const int kCheckAreaWidth = 20;  // a click left of it toggles the check

char FoldKey(char c) {
  BYTE b = (BYTE)c;
  if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE)) return (char)(b - 32);
  return c;
}

// The list's dialog object, kept in the list's user data.
CChoiceListDlg* ListOwner(HWND list) { return (CChoiceListDlg*)GetWindowLongPtrA(list, GWLP_USERDATA); }
}  // namespace

BEGIN_MESSAGE_MAP(CChoiceListDlg, CDialog)
  ON_CONTROL_RANGE(LBN_DBLCLK, IDC_CHOICE_LIST, IDC_CHOICE_CHECKLIST, OnListDblClk)
  ON_WM_CHAR()
  ON_WM_DRAWITEM()
  ON_WM_MEASUREITEM()
  ON_COMMAND(ID_CHOICE_MENU, OnMenuButton)
  ON_COMMAND(ID_CHOICE_SELECTALL, OnSelectAll)
  ON_COMMAND(ID_CHOICE_DESELECTALL, OnDeselectAll)
  ON_WM_MOUSEWHEEL()
  ON_WM_SIZE()
  ON_WM_SIZING()
END_MESSAGE_MAP()

CChoiceListDlg::CChoiceListDlg(CWnd* pParent) { InitModalIndirect(ListTemplate(), pParent); }

CChoiceListDlg::~CChoiceListDlg() = default;

void CChoiceListDlg::ResetRememberedPosition() { s_hasRememberedPos = false; }

int CChoiceListDlg::CompareItemTexts(DWORD, LPCSTR text1, DWORD, LPCSTR text2) { return lstrcmpiA(text1, text2); }

int CChoiceListDlg::CompareItemData(DWORD data1, LPCSTR, DWORD data2, LPCSTR) {
  return data1 < data2 ? -1 : data1 > data2 ? 1 : 0;
}

int CChoiceListDlg::FindItem(LPCSTR text, int mode) {
  int n = m_items.Find(text, mode);
  if (n >= 0) m_nSelection = n;
  return n;
}

BOOL CChoiceListDlg::OnInitDialog() {
  static const int kListIds[] = {IDC_CHOICE_LIST, IDC_CHOICE_MULTILIST, IDC_CHOICE_RADIOLIST, IDC_CHOICE_CHECKLIST};
  if (m_nMode < kChoiceSingle || m_nMode > kChoiceChecks) m_nMode = kChoiceSingle;
  m_nListId = kListIds[m_nMode];
  HWND list = List();
  ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, kTagChoiceList);
  if (!s_darkGreenPen) {
    s_darkGreenPen = ::CreatePen(PS_SOLID, 2, RGB(0, 128, 0));
    s_lightGreenPen = ::CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
  }
  if (m_bFocus) PostMessage(WM_NEXTDLGCTL, (WPARAM)list, TRUE);
  if (m_strPrompt.IsEmpty()) MoveDlgItemBy(m_hWnd, m_nListId, 0, -20, 0, 20);

  // Margins for sizing, in client coordinates.
  RECT client, rcList = DlgItemRect(m_hWnd, m_nListId);
  ::GetClientRect(m_hWnd, &client);
  RECT ok = DlgItemRect(m_hWnd, IDOK), cancel = DlgItemRect(m_hWnd, IDCANCEL);
  m_listMargins = {rcList.left, rcList.top, client.right - rcList.right, client.bottom - rcList.bottom};
  m_nButtonsBottom = client.bottom - ok.top;
  RECT rcWnd;
  GetWindowRect(&rcWnd);
  int ncx = (rcWnd.right - rcWnd.left) - client.right, ncy = (rcWnd.bottom - rcWnd.top) - client.bottom;
  int buttons = m_bCancel ? cancel.right - ok.left : ok.right - ok.left;
  m_minSize = {ncx + buttons + 40, ncy + 100 + m_nButtonsBottom};

  PlaceChoiceDlg(m_hWnd, rcWnd, s_hasRememberedPos ? &s_rememberedPos : nullptr, m_rememberedSize, m_nWidthChange,
                 m_nHeightChange, m_minSize, m_bCancel != 0);
  OnSize(SIZE_RESTORED, 0, 0);  // lays out for the size now, changed or not

  // Fill.
  ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (int i = 0; i < m_items.Count(); ++i) {
    ::SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)m_items.Text(i));
    if (m_nMode == kChoiceSingle || m_nMode == kChoiceOneCheck) {
      if (m_items.Check(i)) {
        m_nSelection = i;
        m_items.SetCheck(i, FALSE);
      }
    } else if (m_nMode == kChoiceMultiple) {
      ::SendMessageA(list, LB_SETSEL, m_items.Check(i), i);
    }
  }
  if (m_nSelection > -2) {
    if (m_nMode == kChoiceSingle || m_nMode == kChoiceOneCheck) {
      if (!m_items.Valid(m_nSelection)) m_nSelection = 0;
      ::SendMessageA(list, LB_SETCURSEL, m_nSelection, 0);
      m_items.SetCheck(m_nSelection, TRUE);
    } else if (m_items.Valid(m_nSelection)) {
      ::SendMessageA(list, m_nMode == kChoiceMultiple ? LB_SETCARETINDEX : LB_SETCURSEL, m_nSelection, 0);
    }
  }
  ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  ::ShowWindow(list, SW_SHOW);
  if (m_nMode != kChoiceSingle) {
    ::SetWindowLongPtrA(list, GWLP_USERDATA, (LONG_PTR)this);
    m_pfnListProc = (WNDPROC)::SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)ListProc);
  }
  CDialog::OnInitDialog();
  if (!m_strTitle.IsEmpty()) SetWindowText(m_strTitle);
  if (m_strPrompt.IsEmpty())
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_CHOICE_PROMPT), SW_HIDE);
  else
    SetDlgItemText(IDC_CHOICE_PROMPT, m_strPrompt);
  return TRUE;
}

LRESULT CALLBACK CChoiceListDlg::ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CChoiceListDlg* self = ListOwner(hwnd);
  WNDPROC next = self->m_pfnListProc;
  HWND dialog = ::GetParent(hwnd);
  int id = ::GetDlgCtrlID(hwnd);
  bool checkList = id == IDC_CHOICE_RADIOLIST || id == IDC_CHOICE_CHECKLIST;
  switch (msg) {
    case WM_LBUTTONDOWN:
      // A click on the check box (or anywhere in another list) toggles.
      if (!checkList || GET_X_LPARAM(lParam) < kCheckAreaWidth) {
        ::CallWindowProcA(next, hwnd, WM_LBUTTONDOWN, wParam, lParam);
        return ::CallWindowProcA(next, hwnd, WM_LBUTTONDBLCLK, wParam, lParam);
      }
      break;
    case WM_LBUTTONDBLCLK:
      if (!checkList || GET_X_LPARAM(lParam) < kCheckAreaWidth) return 0;
      break;
    case WM_RBUTTONUP:
      ::SendMessageA(dialog, WM_COMMAND, ID_CHOICE_MENU, 0);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) return 0;  // handled as its character
      break;
    case WM_CHAR:
      if (wParam == ' ') {
        int caret = (int)::CallWindowProcA(next, hwnd, LB_GETCARETINDEX, 0, 0);
        if (checkList) {
          ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), (LPARAM)hwnd);
        } else if (id == IDC_CHOICE_MULTILIST) {
          BOOL selected = ::CallWindowProcA(next, hwnd, LB_GETSEL, caret, 0) > 0;
          ::CallWindowProcA(next, hwnd, LB_SETSEL, !selected, caret);
        } else {
          ::CallWindowProcA(next, hwnd, LB_SETCURSEL, caret, 0);
        }
      } else if ((BYTE)wParam >= ' ') {
        ::SendMessageA(dialog, WM_CHAR, wParam, lParam);
      }
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)next);
      break;
  }
  return ::CallWindowProcA(next, hwnd, msg, wParam, lParam);
}

void CChoiceListDlg::RepaintItem(int n) {
  RECT rc;
  if (n >= 0 && ::SendMessageA(List(), LB_GETITEMRECT, n, (LPARAM)&rc) != LB_ERR) ::InvalidateRect(List(), &rc, TRUE);
}

void CChoiceListDlg::OnListDblClk(UINT nID) {
  if ((int)nID != m_nListId) return;
  int n = (int)::SendMessageA(List(), LB_GETCURSEL, 0, 0);
  switch (m_nMode) {
    case kChoiceSingle:
      OnOK();
      break;
    case kChoiceOneCheck:
      if (!m_items.Valid(n)) break;
      if (n != m_nSelection) {
        m_items.SetCheck(m_nSelection, FALSE);
        RepaintItem(m_nSelection);
      }
      m_items.SetCheck(n, TRUE);
      m_nSelection = n;
      RepaintItem(n);
      break;
    case kChoiceChecks:
      if (!m_items.Valid(n)) break;
      m_items.SetCheck(n, !m_items.Check(n));
      RepaintItem(n);
      break;
  }
}

void CChoiceListDlg::OnChar(UINT nChar, UINT, UINT) {
  HWND list = List();
  char key = FoldKey((char)nChar);
  DWORD now = ::GetTickCount();
  DWORD wait = m_nTyped <= 1 ? 500 : m_nTyped == 2 ? 750 : 1000;
  if (!m_nTyped || now - m_dwLastKey > wait || m_nTyped >= 16 || (m_nTyped == 1 && m_typed[0] == key)) m_nTyped = 0;
  m_dwLastKey = now;
  m_typed[m_nTyped++] = key;
  m_typed[m_nTyped] = 0;
  int count = m_items.Count();
  if (!count) return;
  int current = (int)::SendMessageA(list, LB_GETCARETINDEX, 0, 0);
  if (current < 0) current = 0;
  int start = m_nTyped == 1 ? current + 1 : current;
  for (int k = 0; k < count; ++k) {
    int n = (start + k) % count;
    LPCSTR text = m_items.Text(n);
    int i = 0;
    while (i < m_nTyped && text[i] && FoldKey(text[i]) == m_typed[i]) ++i;
    if (i == m_nTyped) {
      if (m_nMode == kChoiceMultiple)
        ::SendMessageA(list, LB_SETCARETINDEX, n, 0);
      else
        ::SendMessageA(list, LB_SETCURSEL, n, 0);
      return;
    }
  }
}

void CChoiceListDlg::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMis) {
  if (nIDCtl != IDC_CHOICE_RADIOLIST && nIDCtl != IDC_CHOICE_CHECKLIST) return;
  lpMis->itemHeight = std::max<UINT>(lpMis->itemHeight, 16);
}

void CChoiceListDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDis) {
  if (nIDCtl != IDC_CHOICE_RADIOLIST && nIDCtl != IDC_CHOICE_CHECKLIST) return;
  HDC dc = lpDis->hDC;
  RECT rc = lpDis->rcItem;
  bool selected = (lpDis->itemState & ODS_SELECTED) != 0;
  ::SetBkColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  int n = (int)lpDis->itemID;
  if (!m_items.Valid(n)) return;
  HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(WHITE_BRUSH));
  ::Rectangle(dc, rc.left + 3, rc.top + 2, rc.left + 14, rc.top + 13);
  if (m_items.Check(n)) {
    POINT tick[3] = {{rc.left + 5, rc.top + 7}, {rc.left + 7, rc.top + 10}, {rc.left + 12, rc.top + 4}};
    ::SelectObject(dc, s_darkGreenPen);
    ::Polyline(dc, tick, 3);
    ::SelectObject(dc, s_lightGreenPen);
    ::Polyline(dc, tick, 3);
  }
  ::SelectObject(dc, oldPen);
  ::SelectObject(dc, oldBrush);
  RECT text = rc;
  text.left += 18;
  ::DrawTextA(dc, m_items.Text(n), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void CChoiceListDlg::OnMenuButton() {
  if (m_nMode != kChoiceMultiple && m_nMode != kChoiceChecks) return;
  HMENU menu = ::CreatePopupMenu();
  ::AppendMenuA(menu, MF_STRING, ID_CHOICE_SELECTALL, GetLibText(nullptr, kLibTextSelectAll, nullptr));
  ::AppendMenuA(menu, MF_STRING, ID_CHOICE_DESELECTALL, GetLibText(nullptr, kLibTextDeselectAll, nullptr));
  POINT pt;
  ::GetCursorPos(&pt);
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
  ::DestroyMenu(menu);
}

void CChoiceListDlg::SetAllChecks(BOOL checked) {
  if (m_nMode == kChoiceMultiple) {
    ::SendMessageA(List(), LB_SETSEL, checked, -1);
  } else if (m_nMode == kChoiceChecks) {
    bool changed = false;
    for (int i = 0; i < m_items.Count(); ++i) {
      if (!m_items.Check(i) != !checked) m_items.SetCheck(i, checked), changed = true;
    }
    if (changed) ::InvalidateRect(List(), nullptr, TRUE);
  }
}

void CChoiceListDlg::OnSelectAll() { SetAllChecks(TRUE); }
void CChoiceListDlg::OnDeselectAll() { SetAllChecks(FALSE); }

BOOL CChoiceListDlg::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
  if (m_bInWheel || !m_nListId) return FALSE;
  m_bInWheel = TRUE;
  ::SendMessageA(List(), WM_MOUSEWHEEL, MAKEWPARAM(nFlags, zDelta), MAKELPARAM(pt.x, pt.y));
  m_bInWheel = FALSE;
  return TRUE;
}

void CChoiceListDlg::OnSize(UINT nType, int, int) {
  if (!m_nListId || nType == SIZE_MINIMIZED) return;
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  HWND list = List();
  ::SetWindowPos(list, nullptr, m_listMargins.left, m_listMargins.top,
                 client.right - m_listMargins.left - m_listMargins.right,
                 client.bottom - m_listMargins.top - m_listMargins.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  CenterDlgButtons(m_hWnd, m_bCancel != FALSE, client.bottom - m_nButtonsBottom);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CChoiceListDlg::OnSizing(UINT fwSide, LPRECT pRect) { KeepSizingMinimum(fwSide, pRect, m_minSize); }

void CChoiceListDlg::RememberPlacement() {
  RECT rc;
  GetWindowRect(&rc);
  s_rememberedPos = {rc.left, rc.top};
  s_hasRememberedPos = true;
  m_rememberedSize = {rc.right - rc.left, rc.bottom - rc.top};
}

void CChoiceListDlg::OnOK() {
  RememberPlacement();
  HWND list = List();
  if (m_nMode != kChoiceOneCheck) m_nSelection = (int)::SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (m_items.Valid(m_nSelection)) {
    m_strResult = m_items.Text(m_nSelection);
    m_dwResultData = m_items.Data(m_nSelection);
  } else {
    m_strResult.Empty();
    m_dwResultData = 0;
  }
  if (m_nMode == kChoiceSingle || m_nMode == kChoiceMultiple) {
    for (int i = 0; i < m_items.Count(); ++i) m_items.SetCheck(i, ::SendMessageA(list, LB_GETSEL, i, 0) > 0);
  }
  CDialog::OnOK();
}

void CChoiceListDlg::OnCancel() {
  if (!m_bCancel) return;
  RememberPlacement();
  m_strResult.Empty();
  m_nSelection = -1;
  EndDialog(IDCANCEL);
}
