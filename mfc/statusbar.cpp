#include "mfc/statusbar.h"

#include <algorithm>
#include <cstring>

#include "mfc/frame.h"
#include "mfc/resstring.h"

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
  ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSize)
  ON_MESSAGE(WM_NCPAINT, OnNcPaint)
  ON_WM_SIZE()
  ON_MESSAGE(WM_SETTEXT, OnSetText)
  ON_MESSAGE(WM_GETTEXT, OnGetText)
  ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
  ON_MESSAGE(SB_SETMINHEIGHT, OnSetMinHeight)
END_MESSAGE_MAP()

namespace {
const int kPaneMargin = 6;  // a pane's frame and gap around its text

// Command-UI of one pane: disabled hides its text, checked pops it out.
class CStatusCmdUI : public CCmdUI {
 public:
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    CStatusBar* pBar = static_cast<CStatusBar*>(m_pOther);
    UINT nStyle = pBar->GetPaneStyle((int)m_nIndex) & ~SBPS_DISABLED;
    pBar->SetPaneStyle((int)m_nIndex, bOn ? nStyle : nStyle | SBPS_DISABLED);
  }
  void SetCheck(int nCheck) override {
    CStatusBar* pBar = static_cast<CStatusBar*>(m_pOther);
    UINT nStyle = pBar->GetPaneStyle((int)m_nIndex) & ~SBPS_POPOUT;
    pBar->SetPaneStyle((int)m_nIndex, nCheck ? nStyle | SBPS_POPOUT : nStyle);
  }
  void SetText(LPCSTR lpszText) override { static_cast<CStatusBar*>(m_pOther)->SetPaneText((int)m_nIndex, lpszText); }
};
}  // namespace

CStatusBar::CStatusBar() {
  // Only the bar style's border line lies outside the panes.
  m_cxLeftBorder = m_cxRightBorder = 0;
  m_cyTopBorder = m_cyBottomBorder = 0;
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) { return CreateEx(pParentWnd, 0, dwStyle, nID); }

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID) {
  m_dwStyle = dwStyle & CBRS_ALL;
  dwStyle &= ~CBRS_ALL;
  dwStyle |= CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE | dwCtrlStyle;
  // A frame that can be sized gets the grip in the corner.
  if (pParentWnd && (pParentWnd->GetStyle() & WS_THICKFRAME)) dwStyle |= SBARS_SIZEGRIP;
  AfxInitCommonControls(ICC_BAR_CLASSES);
  return CWnd::CreateEx(0, STATUSCLASSNAMEA, nullptr, dwStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

HFONT CStatusBar::PaneFont() const {
  HFONT hFont = m_hWnd ? (HFONT)SendMessage(WM_GETFONT) : nullptr;
  return hFont ? hFont : (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
  m_panes.assign(nIDCount > 0 ? nIDCount : 0, Pane());
  BOOL bResult = TRUE;
  HDC hDC = ::GetDC(nullptr);
  HGDIOBJ hOldFont = ::SelectObject(hDC, PaneFont());
  for (int i = 0; i < (int)m_panes.size(); ++i) {
    Pane& pane = m_panes[i];
    pane.nID = lpIDArray ? lpIDArray[i] : 0;
    pane.bUpdate = true;
    if (pane.nID != 0) {
      if (!AfxLoadString(pane.strText, pane.nID)) bResult = FALSE;
      SIZE size = {0, 0};
      ::GetTextExtentPoint32A(hDC, pane.strText, pane.strText.GetLength(), &size);
      pane.cxText = size.cx;
    } else {
      pane.cxText = ::GetSystemMetrics(SM_CXSCREEN) / 4;
      if (i == 0) pane.nStyle |= SBPS_STRETCH | SBPS_NOBORDERS;
    }
  }
  ::SelectObject(hDC, hOldFont);
  ::ReleaseDC(nullptr, hDC);
  UpdateAllPanes(TRUE, TRUE);
  return bResult;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const {
  for (size_t i = 0; i < m_panes.size(); ++i)
    if (m_panes[i].nID == nIDFind) return (int)i;
  return -1;
}

void CStatusBar::SendPaneText(int nIndex) {
  Pane& pane = m_panes[nIndex];
  pane.bUpdate = false;
  LPCSTR lpszText = (pane.nStyle & SBPS_DISABLED) ? "" : (LPCSTR)pane.strText;
  SendMessage(SB_SETTEXTA, (WORD)pane.nStyle | (nIndex & 0xFF), (LPARAM)lpszText);
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate) {
  if (nIndex < 0 || nIndex >= GetCount()) return FALSE;
  Pane& pane = m_panes[nIndex];
  if (!lpszNewText) lpszNewText = "";
  // The same text again is not sent, unless the pane was drawn by its owner
  // meanwhile (SB_SETTEXT past the bar): then it must become plain text.
  if (!pane.bUpdate && pane.strText == lpszNewText) {
    LRESULT lInfo = m_hWnd ? SendMessage(SB_GETTEXTLENGTHA, nIndex) : 0;
    if (!(HIWORD(lInfo) & SBT_OWNERDRAW) || (pane.nStyle & SBPS_OWNERDRAW)) return TRUE;
  }
  pane.strText = lpszNewText;
  if (!bUpdate || !m_hWnd) {
    pane.bUpdate = true;
    return TRUE;
  }
  SendPaneText(nIndex);
  return TRUE;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
  const Pane& pane = m_panes[nIndex];
  nID = pane.nID;
  nStyle = pane.nStyle;
  cxWidth = pane.cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  Pane& pane = m_panes[nIndex];
  pane.nID = nID;
  bool bLayout = ((pane.nStyle ^ nStyle) & SBPS_STRETCH) || cxWidth != pane.cxText;
  if (pane.nStyle != nStyle) {
    pane.nStyle = nStyle;
    pane.bUpdate = true;
    if (m_hWnd) SendPaneText(nIndex);
  }
  pane.cxText = cxWidth;
  if (bLayout) UpdateAllPanes(TRUE, FALSE);
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle) {
  if (nIndex < 0 || nIndex >= GetCount() || m_panes[nIndex].nStyle == nStyle) return;
  bool bLayout = ((m_panes[nIndex].nStyle ^ nStyle) & SBPS_STRETCH) != 0;
  m_panes[nIndex].nStyle = nStyle;
  if (m_hWnd) SendPaneText(nIndex);
  if (bLayout) UpdateAllPanes(TRUE, FALSE);
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText) {
  if (!m_hWnd) return;
  int nCount = GetCount();
  if (bUpdateRects && nCount > 0) {
    CRect rect;
    GetClientRect(&rect);
    int borders[3] = {0, 0, 0};  // left edge, top edge, gap between panes
    SendMessage(SB_GETBORDERS, 0, (LPARAM)borders);
    // The size grip lies over the right end of the last pane: that pane is
    // wider by the grip, so that its text stays beside it.
    int cxGrip = (GetStyle() & SBARS_SIZEGRIP) ? ::GetSystemMetrics(SM_CXVSCROLL) + 1 : 0;
    // The stretching panes share what the others leave.
    int cxExtra = rect.Width() - borders[0] - cxGrip + borders[2];  // no gap after the last
    int nStretch = 0;
    for (const Pane& pane : m_panes) {
      cxExtra -= pane.cxText + kPaneMargin + borders[2];
      if (pane.nStyle & SBPS_STRETCH) ++nStretch;
    }
    std::vector<int> rights(nCount);
    int right = borders[0];
    for (int i = 0; i < nCount; ++i) {
      right += m_panes[i].cxText + kPaneMargin;
      if ((m_panes[i].nStyle & SBPS_STRETCH) && cxExtra > 0) {
        int cxAdd = cxExtra / nStretch--;
        right += cxAdd;
        cxExtra -= cxAdd;
      }
      rights[i] = right;
      right += borders[2];
    }
    rights[nCount - 1] += cxGrip;
    SendMessage(SB_SETPARTS, nCount, (LPARAM)rights.data());
  }
  if (bUpdateText)
    for (int i = 0; i < nCount; ++i)
      if (m_panes[i].bUpdate) SendPaneText(i);
}

CSize CStatusBar::CalcFixedLayout(BOOL, BOOL bHorz) {
  TEXTMETRICA tm = {};
  HDC hDC = ::GetDC(nullptr);
  HGDIOBJ hOldFont = ::SelectObject(hDC, PaneFont());
  ::GetTextMetricsA(hDC, &tm);
  ::SelectObject(hDC, hOldFont);
  ::ReleaseDC(nullptr, hDC);
  int borders[3] = {0, 0, 0};
  if (m_hWnd) SendMessage(SB_GETBORDERS, 0, (LPARAM)borders);
  CRect rectInside(0, 0, 0, 0);
  CalcInsideRect(rectInside, bHorz);
  // The text, the panes' frames above and below it, and the bar's borders.
  int cy = tm.tmHeight + 2 * borders[1] + 2 * ::GetSystemMetrics(SM_CYEDGE) - rectInside.Height();
  return CSize(32767, std::max(cy, m_nMinHeight));
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
  CStatusCmdUI state;
  state.m_pOther = this;
  state.m_nIndexMax = (UINT)GetCount();
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = m_panes[state.m_nIndex].nID;
    // The bar's own update handlers first, then the frame's route.
    if (CWnd::OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr)) continue;
    state.DoUpdate(pTarget, FALSE);
  }
  UpdateDialogControls(pTarget, bDisableIfNoHndler);
  UpdateAllPanes(FALSE, TRUE);  // texts set without bUpdate
}

void CStatusBar::OnSize(UINT nType, int cx, int cy) {
  Default();
  UpdateAllPanes(TRUE, FALSE);
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam) {
  int nIndex = CommandToIndex(0);
  return nIndex >= 0 && SetPaneText(nIndex, reinterpret_cast<LPCSTR>(lParam));
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam) {
  int nIndex = CommandToIndex(0);
  if (nIndex < 0 || wParam == 0) return 0;
  const CString& strText = m_panes[nIndex].strText;
  int n = std::min<int>(strText.GetLength(), (int)wParam - 1);
  std::memcpy(reinterpret_cast<char*>(lParam), (LPCSTR)strText, n);
  reinterpret_cast<char*>(lParam)[n] = 0;
  return n;
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM) {
  int nIndex = CommandToIndex(0);
  return nIndex < 0 ? 0 : m_panes[nIndex].strText.GetLength();
}

LRESULT CStatusBar::OnSetMinHeight(WPARAM wParam, LPARAM) {
  m_nMinHeight = (int)wParam;
  return Default();
}
