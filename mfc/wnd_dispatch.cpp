// Message dispatch: OnWndMsg cracks each message for its map entry;
// commands and notifications go through OnCmdMsg.
#include "mfc/controls.h"
#include "mfc/dc.h"
#include "mfc/menu.h"
#include "mfc/threadstate.h"
#include "mfc/wnd.h"

namespace {
// Records what an update handler says about a command before it is run.
class CTestCmdUI : public CCmdUI {
 public:
  void Enable(BOOL bOn) override {
    m_bEnabled = bOn;
    m_bEnableChanged = TRUE;
  }
  void SetCheck(int) override {}
  void SetRadio(BOOL) override {}
  void SetText(LPCSTR) override {}

  BOOL m_bEnabled = TRUE;
};

const AFX_MSGMAP_ENTRY* FindWindowEntry(const AFX_MSGMAP* pMap, UINT message) {
  for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    if (const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(pMap->lpEntries, message, 0, 0)) return e;
  return nullptr;
}

template <class Fn>
Fn As(AFX_PMSG pfn) {
  return AfxPmCast<Fn>(pfn);
}
}  // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  HWND hWndCtrl = (HWND)lParam;
  int nCode = HIWORD(wParam);
  if (!hWndCtrl) {
    // Menu or accelerator: a command that its update handler disables is
    // not run.
    if (nID == 0) return FALSE;
    CTestCmdUI state;
    state.m_nID = nID;
    OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state, nullptr);
    if (!state.m_bEnabled) return TRUE;
    nCode = CN_COMMAND;
  } else {
    // Control notifications caused by UpdateData are not passed on.
    if (AfxGetThreadState()->m_hLockoutNotifyWindow == m_hWnd) return TRUE;
    if (nID == 0) return FALSE;
  }
  return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
  if (AfxGetThreadState()->m_hLockoutNotifyWindow == m_hWnd) return TRUE;
  AFX_NOTIFY notify = {pResult, pNMHDR};
  return OnCmdMsg((UINT)pNMHDR->idFrom, MAKELONG(pNMHDR->code, WM_NOTIFY), &notify, nullptr);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT lResult = 0;
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    lResult = 1;
  } else if (message == WM_NOTIFY) {
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (!pNMHDR || !pNMHDR->hwndFrom || !OnNotify(wParam, lParam, &lResult)) return FALSE;
  } else {
    UINT nCtlColor = 0;
    UINT nLookup = message;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
      nCtlColor = message - WM_CTLCOLORMSGBOX;
      nLookup = WM_CTLCOLOR;
    }
    const AFX_MSGMAP_ENTRY* e = FindWindowEntry(GetMessageMap(), nLookup);
    if (!e) return FALSE;
    AFX_PMSG pfn = e->pfn;
    CPoint point(lParam);
    switch (e->nSig) {
      case AfxSig_Message:
        lResult = (this->*As<AfxFn_Message>(pfn))(wParam, lParam);
        break;
      case AfxSig_Void:
        (this->*As<AfxFn_Void>(pfn))();
        break;
      case AfxSig_Create:
        lResult = (this->*As<AfxFn_Create>(pfn))(reinterpret_cast<LPCREATESTRUCT>(lParam));
        break;
      case AfxSig_Size:
        (this->*As<AfxFn_Size>(pfn))((UINT)wParam, (short)LOWORD(lParam), (short)HIWORD(lParam));
        break;
      case AfxSig_Sizing:
        (this->*As<AfxFn_Sizing>(pfn))((UINT)wParam, reinterpret_cast<LPRECT>(lParam));
        lResult = TRUE;
        break;
      case AfxSig_Timer:
        (this->*As<AfxFn_Timer>(pfn))((UINT_PTR)wParam);
        break;
      case AfxSig_Focus:
        (this->*As<AfxFn_Focus>(pfn))(FromHandle((HWND)wParam));
        break;
      case AfxSig_Key:
        (this->*As<AfxFn_Key>(pfn))((UINT)wParam, LOWORD(lParam), HIWORD(lParam));
        break;
      case AfxSig_Mouse:
        (this->*As<AfxFn_Mouse>(pfn))((UINT)wParam, point);
        break;
      case AfxSig_XButton:
        (this->*As<AfxFn_XButton>(pfn))(GET_KEYSTATE_WPARAM(wParam), GET_XBUTTON_WPARAM(wParam), point);
        lResult = TRUE;
        break;
      case AfxSig_MouseWheel:
        lResult =
            (this->*As<AfxFn_MouseWheel>(pfn))(GET_KEYSTATE_WPARAM(wParam), GET_WHEEL_DELTA_WPARAM(wParam), point);
        break;
      case AfxSig_Scroll:
        (this->*As<AfxFn_Scroll>(pfn))(LOWORD(wParam), (UINT)(short)HIWORD(wParam),
                                       static_cast<CScrollBar*>(FromHandle((HWND)lParam)));
        break;
      case AfxSig_SetCursor:
        lResult = (this->*As<AfxFn_SetCursor>(pfn))(FromHandle((HWND)wParam), LOWORD(lParam), HIWORD(lParam));
        break;
      case AfxSig_ContextMenu:
        (this->*As<AfxFn_ContextMenu>(pfn))(FromHandle((HWND)wParam), point);
        break;
      case AfxSig_CtlColor: {
        // Stack wrappers: no temporary objects for this frequent message.
        CDC dc;
        dc.m_hDC = (HDC)wParam;
        CWnd wndCtl;
        CWnd* pCtl = FromHandlePermanent((HWND)lParam);
        if (!pCtl) {
          wndCtl.m_hWnd = (HWND)lParam;
          pCtl = &wndCtl;
        }
        lResult = (LRESULT)(this->*As<AfxFn_CtlColor>(pfn))(&dc, pCtl, nCtlColor);
        dc.m_hDC = nullptr;
        wndCtl.m_hWnd = nullptr;
        break;
      }
      case AfxSig_DrawItem:
        (this->*As<AfxFn_DrawItem>(pfn))((int)wParam, reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        lResult = TRUE;
        break;
      case AfxSig_MeasureItem:
        (this->*As<AfxFn_MeasureItem>(pfn))((int)wParam, reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        lResult = TRUE;
        break;
      case AfxSig_InitMenuPopup:
        (this->*As<AfxFn_InitMenuPopup>(pfn))(CMenu::FromHandle((HMENU)wParam), LOWORD(lParam), HIWORD(lParam));
        break;
      case AfxSig_GetDlgCode:
        lResult = (this->*As<AfxFn_GetDlgCode>(pfn))();
        break;
      case AfxSig_DropFiles:
        (this->*As<AfxFn_DropFiles>(pfn))((HDROP)wParam);
        break;
      default:
        return FALSE;
    }
  }
  if (pResult) *pResult = lResult;
  return TRUE;
}

// Default handlers: the window's own procedure handles the message.
int CWnd::OnCreate(LPCREATESTRUCT) { return (int)Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnSizing(UINT, LPRECT) { Default(); }
void CWnd::OnExitSizeMove() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnXButtonDown(UINT, UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return (BOOL)Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return (HBRUSH)Default(); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
UINT CWnd::OnGetDlgCode() { return (UINT)Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnDropFiles(HDROP) { Default(); }
