#include "app/mainframe.h"

#include <commctrl.h>

#include "res/resource.h"
#include "system/regkeystack.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
  ON_WM_DRAWITEM()
  ON_WM_MEASUREITEM()
  ON_WM_INITMENUPOPUP()
  ON_MESSAGE(WM_INITMENU, OnInitMenu)
  ON_MESSAGE(WM_MENUITEMDATA, OnMenuItemData)
  ON_MESSAGE(WM_STATUSPANES, OnStatusPanes)
  ON_MESSAGE(WM_DRAWSTATUSPANE, OnDrawStatusPane)
  ON_MESSAGE(WM_QUERYPANESERVICE, OnQueryPaneService)
  ON_MESSAGE(WM_SETPANETEXTBYID, OnSetPaneTextById)
  ON_COMMAND(ID_FLAT_TOOLBAR, OnFlatToolbar)
  ON_UPDATE_COMMAND_UI(ID_FLAT_TOOLBAR, OnUpdateFlatToolbar)
END_MESSAGE_MAP()

namespace {
const char kSettingsKey[] = "Settings";
const char kFlatModeValue[] = "FlatMode";
const DWORD kToolBarStyle =
    WS_CHILD | WS_VISIBLE | CBRS_GRIPPER | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC;
}  // namespace

CMainFrame::CMainFrame() {
  CRegKeyStack key;
  DWORD v = 0;
  if (key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE) && key.OpenSubKey(kSettingsKey) &&
      key.QueryValue(&v, sizeof v, kFlatModeValue, 0) && key.m_dwType == REG_DWORD)
    m_flatMode = v ? 1 : 0;
}

CMainFrame::~CMainFrame() {
  if (m_normalIcons) ImageList_Destroy(m_normalIcons);
  if (m_greyIcons) ImageList_Destroy(m_greyIcons);
  if (m_menuFont) DeleteObject(m_menuFont);
  CRegKeyStack key;
  DWORD v = (DWORD)m_flatMode;
  if (key.Open(HKEY_CURRENT_USER, nullptr, REGKS_CREATE) && key.OpenSubKey(kSettingsKey))
    key.SetValue(&v, sizeof v, kFlatModeValue, REG_DWORD);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
  // The view draws the sunken edge. Made without one, the frame is spared
  // taking its own off, and the layout pass that follows, when the view comes.
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  return TRUE;
}

// The bars come before the view: the view is then made at its final size,
// and its panes are laid out once rather than once per bar.
BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) {
  if (!m_wndToolBar.CreateEx(this, m_flatMode ? TBSTYLE_FLAT : 0, kToolBarStyle, CRect(2, 2, 2, 2), AFX_IDW_TOOLBAR) ||
      !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
    return FALSE;
  static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
  if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
      !m_wndStatusBar.SetIndicators(indicators, 4))
    return FALSE;
  WatchStatusBar(m_wndStatusBar.m_hWnd);
  m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
  m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
  EnableDocking(CBRS_ALIGN_ANY);
  DockControlBar(&m_wndToolBar);
  return CFrameWnd::OnCreateClient(lpcs, pContext);
}

void CMainFrame::OnFlatToolbar() {
  if (m_wndToolBar.m_hWnd) {
    DWORD style = (DWORD)::GetWindowLongPtrA(m_wndToolBar.m_hWnd, GWL_STYLE);
    style = m_flatMode ? (style & ~TBSTYLE_FLAT) : (style | TBSTYLE_FLAT);
    ::SetWindowLongPtrA(m_wndToolBar.m_hWnd, GWL_STYLE, (LONG_PTR)style);
  }
  m_flatMode = !m_flatMode;
  if (m_wndToolBar.m_hWnd && m_wndToolBar.IsWindowVisible()) {
    ShowControlBar(&m_wndToolBar, FALSE, FALSE);
    ShowControlBar(&m_wndToolBar, TRUE, FALSE);
  }
}

void CMainFrame::OnUpdateFlatToolbar(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_flatMode != 0); }

void CMainFrame::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpdis) {
  // Wine's status bar leaves CtlType and the action fields unset: route by id.
  if (nIDCtl == AFX_IDW_STATUS_BAR) {
    if (OwnerDrawPaneOf(m_wndStatusBar.m_hWnd, (int)lpdis->itemID))
      SendMessage(WM_DRAWSTATUSPANE, (WPARAM)&m_wndStatusBar, (LPARAM)lpdis);
    return;
  }
  if (nIDCtl == 0 && DrawMenuItem(lpdis)) return;
  CFrameWnd::OnDrawItem(nIDCtl, lpdis);
}

LRESULT CMainFrame::OnDrawStatusPane(WPARAM, LPARAM lParam) {
  LPDRAWITEMSTRUCT lpdis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
  const OwnerDrawPane* block = OwnerDrawPaneOf(m_wndStatusBar.m_hWnd, (int)lpdis->itemID);
  if (!block) return 0;
  HDC dc = lpdis->hDC;
  COLORREF bk = block->background < 0 ? GetSysColor(COLOR_MENU) : (COLORREF)block->background;
  COLORREF fg = block->textColor < 0 ? GetSysColor(COLOR_WINDOWTEXT) : (COLORREF)block->textColor;
  COLORREF oldBk = SetBkColor(dc, bk);
  COLORREF oldFg = SetTextColor(dc, fg);
  UINT oldAlign = SetTextAlign(dc, TA_CENTER | TA_BOTTOM);
  const RECT& rc = lpdis->rcItem;
  ExtTextOutA(dc, (rc.left + rc.right) / 2, rc.bottom - 1, ETO_CLIPPED | ETO_OPAQUE, &rc, block->text,
              (UINT)block->length, nullptr);
  SetTextAlign(dc, oldAlign);
  SetTextColor(dc, oldFg);
  SetBkColor(dc, oldBk);
  return 1;
}

LRESULT CMainFrame::OnQueryPaneService(WPARAM, LPARAM) { return kPaneServiceMarker; }

LRESULT CMainFrame::OnSetPaneTextById(WPARAM wParam, LPARAM lParam) {
  if (!m_wndStatusBar.m_hWnd) return -1;
  int index = m_wndStatusBar.CommandToIndex((UINT)wParam);
  if (index < 0) return -1;
  return m_wndStatusBar.SendMessage(SB_SETTEXTA, (WPARAM)index, lParam);
}

LRESULT CMainFrame::OnStatusPanes(WPARAM wParam, LPARAM lParam) {
  const StatusPaneBlock* b = reinterpret_cast<const StatusPaneBlock*>(lParam);
  if (!b) return 0;
  switch (wParam) {
    case kSetPanes:
      return SetPanes(reinterpret_cast<const int*>(b->word0), reinterpret_cast<const int*>(b->word1), b->word2);
    case kSetPaneText:
      return SetPaneText((int)b->word0, reinterpret_cast<const char*>(b->word1), b->word2, b->word3, b->word4);
    case kRemovePanes:
      // The tag comes in word 0, as InsertPanes handed it out.
      return RemovePanes((int)b->word0);
    case kInsertPanes:
      return InsertPanes(reinterpret_cast<const int*>(b->word0), reinterpret_cast<const int*>(b->word1), b->word2);
    case kSetPaneColors:
      return SetPaneColors((int)b->word0, b->word2, b->word3, b->word4);
  }
  return 1;
}
