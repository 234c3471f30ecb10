#include "mfc/toolbar.h"

#include <vector>

#include "mfc/controls.h"
#include "mfc/frame.h"
#include "mfc/globals.h"

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
  ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSize)
  ON_MESSAGE(WM_NCPAINT, OnNcPaint)
END_MESSAGE_MAP()

namespace {
// Command-UI of one button: enable and check go into its state word.
class CToolCmdUI : public CCmdUI {
 public:
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    CToolBar* pBar = static_cast<CToolBar*>(m_pOther);
    UINT nStyle = pBar->GetButtonStyle((int)m_nIndex) & ~TBBS_DISABLED;
    // A button that goes grey while pressed would stay pressed.
    if (!bOn) nStyle = (nStyle | TBBS_DISABLED) & ~TBBS_PRESSED;
    pBar->SetButtonStyle((int)m_nIndex, nStyle);
  }
  void SetCheck(int nCheck) override {
    CToolBar* pBar = static_cast<CToolBar*>(m_pOther);
    UINT nStyle = pBar->GetButtonStyle((int)m_nIndex) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
    if (nCheck == 1)
      nStyle |= TBBS_CHECKED;
    else if (nCheck == 2)
      nStyle |= TBBS_INDETERMINATE;
    pBar->SetButtonStyle((int)m_nIndex, nStyle | TBBS_CHECKBOX);
  }
  void SetText(LPCSTR) override {}
};
}  // namespace

CToolBar::CToolBar() : m_sizeButton(23, 22), m_sizeImage(16, 15) {
  // Top and bottom a little wider, to grab the bar by.
  m_cyTopBorder = m_cyBottomBorder = 3;
}

CToolBar::~CToolBar() {
  if (m_hWnd) DestroyWindow();  // before the image well the control uses goes
  if (m_hbmImageWell) ::DeleteObject(m_hbmImageWell);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  return CreateEx(pParentWnd, 0, dwStyle, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID) {
  SetBorders(&rcBorders);
  m_dwStyle = dwStyle & CBRS_ALL;
  if (nID == AFX_IDW_TOOLBAR) m_dwStyle |= CBRS_HIDE_INPLACE;
  // The bar styles are no window styles; the frame places the control.
  dwStyle &= ~CBRS_ALL;
  dwStyle |= CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE | dwCtrlStyle;
  if (m_dwStyle & CBRS_TOOLTIPS) dwStyle |= TBSTYLE_TOOLTIPS;
  AfxInitCommonControls(ICC_BAR_CLASSES);
  if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, nullptr, dwStyle, CRect(0, 0, 0, 0), pParentWnd, nID)) return FALSE;
  SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  SetSizes(m_sizeButton, m_sizeImage);
  return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
  m_sizeButton = sizeButton;
  m_sizeImage = sizeImage;
  if (!m_hWnd) return;
  SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(sizeImage.cx, sizeImage.cy));
  SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(sizeButton.cx, sizeButton.cy));
  m_bDelayedButtonLayout = TRUE;
  Invalidate();
}

BOOL CToolBar::LoadToolBar(LPCSTR lpszResourceName) {
  HINSTANCE hInst = AfxGetResourceHandle();
  HRSRC hRsrc = ::FindResourceA(hInst, lpszResourceName, RT_TOOLBAR);
  if (!hRsrc) return FALSE;
  const WORD* pData = static_cast<const WORD*>(::LockResource(::LoadResource(hInst, hRsrc)));
  DWORD cb = ::SizeofResource(hInst, hRsrc);
  // {version 1, width, height, count, count ids}
  if (!pData || cb < 4 * sizeof(WORD) || pData[0] != 1 || cb < (4u + pData[3]) * sizeof(WORD)) return FALSE;
  std::vector<UINT> ids(pData + 4, pData + 4 + pData[3]);
  if (!SetButtons(ids.data(), (int)ids.size())) return FALSE;
  SetSizes(CSize(pData[1] + 7, pData[2] + 7), CSize(pData[1], pData[2]));
  return LoadBitmap(lpszResourceName);
}

BOOL CToolBar::LoadBitmap(LPCSTR lpszResourceName) {
  // The greys of the bitmap become the system's button colours.
  HBITMAP hbm = (HBITMAP)::LoadImageA(AfxGetResourceHandle(), lpszResourceName, IMAGE_BITMAP, 0, 0,
                                      LR_LOADMAP3DCOLORS | LR_CREATEDIBSECTION);
  return hbm && SetBitmap(hbm);
}

BOOL CToolBar::SetBitmap(HBITMAP hbmImageWell) {
  BITMAP bm = {};
  if (!hbmImageWell || !::GetObjectA(hbmImageWell, sizeof bm, &bm) || m_sizeImage.cx <= 0) return FALSE;
  int nImages = bm.bmWidth / m_sizeImage.cx;
  BOOL bOk;
  if (m_hbmImageWell) {
    TBREPLACEBITMAP rb = {nullptr, (UINT_PTR)m_hbmImageWell, nullptr, (UINT_PTR)hbmImageWell, nImages};
    bOk = (BOOL)SendMessage(TB_REPLACEBITMAP, 0, (LPARAM)&rb);
  } else {
    TBADDBITMAP ab = {nullptr, (UINT_PTR)hbmImageWell};
    bOk = SendMessage(TB_ADDBITMAP, nImages, (LPARAM)&ab) != -1;
  }
  if (!bOk) {
    ::DeleteObject(hbmImageWell);
    return FALSE;
  }
  if (m_hbmImageWell) ::DeleteObject(m_hbmImageWell);
  m_hbmImageWell = hbmImageWell;
  Invalidate();
  return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
  while (SendMessage(TB_DELETEBUTTON, 0)) {
  }
  std::vector<TBBUTTON> buttons(nIDCount > 0 ? nIDCount : 0);
  int iImage = 0;
  for (int i = 0; i < nIDCount; ++i) {
    TBBUTTON& b = buttons[i];
    b.fsState = TBSTATE_ENABLED;
    UINT nID = lpIDArray ? lpIDArray[i] : 0;
    if (nID == ID_SEPARATOR) {
      b.fsStyle = TBSTYLE_SEP;
      b.iBitmap = 6;  // the gap's width
    } else {
      b.fsStyle = TBSTYLE_BUTTON;
      b.idCommand = (int)nID;
      b.iBitmap = iImage++;
    }
    b.iString = -1;
  }
  m_bDelayedButtonLayout = TRUE;
  return buttons.empty() || SendMessage(TB_ADDBUTTONSA, buttons.size(), (LPARAM)buttons.data());
}

UINT CToolBar::GetItemID(int nIndex) const {
  TBBUTTON b = {};
  return SendMessage(TB_GETBUTTON, nIndex, (LPARAM)&b) ? (UINT)b.idCommand : 0;
}

UINT CToolBar::GetButtonStyle(int nIndex) const {
  TBBUTTON b = {};
  if (!SendMessage(TB_GETBUTTON, nIndex, (LPARAM)&b)) return 0;
  return MAKELONG(b.fsStyle, b.fsState) ^ TBBS_DISABLED;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle) {
  TBBUTTON b = {};
  if (!SendMessage(TB_GETBUTTON, nIndex, (LPARAM)&b)) return;
  BYTE fsStyle = (BYTE)LOWORD(nStyle);
  BYTE fsState = (BYTE)HIWORD(nStyle ^ TBBS_DISABLED);
  // Only changes are sent: the update runs at every idle time.
  if (b.fsStyle == fsStyle && b.fsState == fsState) return;
  TBBUTTONINFOA bi = {sizeof bi, TBIF_BYINDEX | TBIF_STYLE | TBIF_STATE};
  bi.fsStyle = fsStyle;
  bi.fsState = fsState;
  SendMessage(TB_SETBUTTONINFOA, nIndex, (LPARAM)&bi);
  if (b.fsStyle != fsStyle) m_bDelayedButtonLayout = TRUE;
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const {
  TBBUTTON b = {};
  SendMessage(TB_GETBUTTON, nIndex, (LPARAM)&b);
  nID = (UINT)b.idCommand;
  nStyle = MAKELONG(b.fsStyle, b.fsState) ^ TBBS_DISABLED;
  iImage = b.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage) {
  TBBUTTONINFOA bi = {sizeof bi, TBIF_BYINDEX | TBIF_COMMAND | TBIF_IMAGE | TBIF_STYLE | TBIF_STATE};
  bi.idCommand = (int)nID;
  bi.iImage = iImage;
  bi.fsStyle = (BYTE)LOWORD(nStyle);
  bi.fsState = (BYTE)HIWORD(nStyle ^ TBBS_DISABLED);
  // A separator's image is its width.
  if (bi.fsStyle & TBSTYLE_SEP) {
    bi.dwMask = (bi.dwMask & ~TBIF_IMAGE) | TBIF_SIZE;
    bi.cx = (WORD)iImage;
  }
  SendMessage(TB_SETBUTTONINFOA, nIndex, (LPARAM)&bi);
  m_bDelayedButtonLayout = TRUE;
  Invalidate();
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  // The buttons in one row (or one column), plus borders and gripper.
  SIZE sizeButtons = {0, 0};
  if (m_hWnd && GetCount() > 0) SendMessage(TB_GETMAXSIZE, 0, (LPARAM)&sizeButtons);
  if (sizeButtons.cy < m_sizeButton.cy) sizeButtons.cy = m_sizeButton.cy;
  CSize size = bHorz ? CSize(sizeButtons.cx, sizeButtons.cy) : CSize(m_sizeButton.cx, sizeButtons.cx);
  CRect rectInside(0, 0, 0, 0);
  CalcInsideRect(rectInside, bHorz);
  size.cx -= rectInside.Width();
  size.cy -= rectInside.Height();
  if (bStretch) (bHorz ? size.cx : size.cy) = 32767;
  m_bDelayedButtonLayout = FALSE;
  return size;
}

CSize CToolBar::CalcDynamicLayout(int nLength, DWORD dwMode) {
  if (nLength == -1 && !(dwMode & (LM_MRUWIDTH | LM_COMMIT)) && (dwMode & (LM_HORZDOCK | LM_VERTDOCK)))
    return CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZDOCK) != 0);
  BOOL bHorz = (dwMode & LM_HORZ) != 0;
  CSize size = CalcFixedLayout(FALSE, bHorz);
  if ((dwMode & LM_COMMIT) && bHorz) m_nMRUWidth = size.cx;
  return size;
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
  CToolCmdUI state;
  state.m_pOther = this;
  state.m_nIndexMax = (UINT)GetCount();
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    UINT nID, nStyle;
    int iImage;
    GetButtonInfo((int)state.m_nIndex, nID, nStyle, iImage);
    if (nStyle & TBBS_SEPARATOR) continue;
    state.m_nID = nID;
    // The bar's own update handlers first, then the frame's route.
    if (CWnd::OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state, nullptr)) continue;
    state.DoUpdate(pTarget, bDisableIfNoHndler);
  }
  // Controls placed on the bar.
  UpdateDialogControls(pTarget, bDisableIfNoHndler);
}
