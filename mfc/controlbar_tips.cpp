// Tooltips and fly-by prompts of control bars: the mouse over an item shows
// the tip of its command (the part of its string after "\\n") and, with
// CBRS_FLYBY, its prompt in the frame's status bar until the mouse leaves.
#include "mfc/controlbar.h"

#include <commctrl.h>

#include "mfc/frame.h"
#include "mfc/globals.h"
#include "mfc/resstring.h"
#include "mfc/toolbar.h"

INT_PTR CToolBar::OnToolHitTest(CPoint point) const {
  if (!m_hWnd) return -1;
  POINT pt = point;
  int index = (int)::SendMessageA(m_hWnd, TB_HITTEST, 0, (LPARAM)&pt);
  if (index < 0) return -1;
  TBBUTTON button = {};
  if (!::SendMessageA(m_hWnd, TB_GETBUTTON, index, (LPARAM)&button) || (button.fsStyle & TBSTYLE_SEP) ||
      button.idCommand == 0)
    return -1;
  return button.idCommand;
}

void CControlBar::OnToolMouse(UINT message, WPARAM, LPARAM lParam) {
  if (!(m_dwStyle & (CBRS_TOOLTIPS | CBRS_FLYBY))) return;
  INT_PTR hit = -1;
  if (message != WM_MOUSELEAVE) {
    CPoint point((short)LOWORD(lParam), (short)HIWORD(lParam));
    if (message == WM_MOUSEWHEEL) ScreenToClient(&point);
    hit = OnToolHitTest(point);
    if (!m_bTrackingLeave) {
      TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, m_hWnd, 0};
      m_bTrackingLeave = ::TrackMouseEvent(&tme);
    }
  } else {
    m_bTrackingLeave = FALSE;
  }
  if ((m_dwStyle & CBRS_TOOLTIPS) && !m_hWndToolTip && message != WM_MOUSELEAVE) {
    m_hWndToolTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                      AfxGetInstanceHandle(), nullptr);
    if (m_hWndToolTip) {
      TOOLINFOA ti = {};
      ti.cbSize = sizeof ti;
      ti.uFlags = TTF_IDISHWND;
      ti.hwnd = m_hWnd;
      ti.uId = (UINT_PTR)m_hWnd;
      ti.lpszText = LPSTR_TEXTCALLBACKA;
      ::SendMessageA(m_hWndToolTip, TTM_ADDTOOLA, 0, (LPARAM)&ti);
    }
  }
  if (hit != m_nHitCommand) {
    m_nHitCommand = hit;
    if (m_hWndToolTip) {
      // A new item: the tip asks for its text again.
      ::SendMessageA(m_hWndToolTip, TTM_POP, 0, 0);
      ::SendMessageA(m_hWndToolTip, TTM_ACTIVATE, hit >= 0, 0);
    }
    if (m_dwStyle & CBRS_FLYBY) {
      if (CFrameWnd* frame = GetDockingFrame()) frame->SetMessageText(hit >= 0 ? (UINT)hit : (UINT)AFX_IDS_IDLEMESSAGE);
      // WM_MOUSELEAVE may never come (a quick move off the bar): a timer
      // checks the cursor until the prompt is gone.
      if (hit >= 0)
        SetTimer(kToolCheckTimer, kToolCheckInterval, nullptr);
      else
        KillTimer(kToolCheckTimer);
    }
  }
  if (m_hWndToolTip && message != WM_MOUSELEAVE && hit >= 0) {
    MSG msg = {m_hWnd, message, 0, lParam, (DWORD)::GetMessageTime(), {}};
    ::GetCursorPos(&msg.pt);
    ::SendMessageA(m_hWndToolTip, TTM_RELAYEVENT, 0, (LPARAM)&msg);
  }
}

BOOL CControlBar::OnToolTipText(NMHDR* pNMHDR) {
  if (!pNMHDR || !m_hWndToolTip || pNMHDR->hwndFrom != m_hWndToolTip) return FALSE;
  if (pNMHDR->code != TTN_NEEDTEXTA && pNMHDR->code != TTN_NEEDTEXTW) return FALSE;
  CString tip;
  if (m_nHitCommand > 0) {
    CString full;
    AfxLoadString(full, (UINT)m_nHitCommand);
    int nl = full.Find('\n');
    if (nl >= 0) tip = full.Mid(nl + 1);
  }
  if (pNMHDR->code == TTN_NEEDTEXTA) {
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    lstrcpynA(info->szText, tip, sizeof info->szText);
    info->lpszText = info->szText;
  } else {
    NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
    ::MultiByteToWideChar(CP_ACP, 0, tip, -1, info->szText, sizeof info->szText / sizeof info->szText[0]);
    info->lpszText = info->szText;
  }
  return TRUE;
}

void CControlBar::OnToolCheckTimer() {
  CPoint point;
  ::GetCursorPos(&point);
  if (::WindowFromPoint(point) != m_hWnd) {
    OnToolMouse(WM_MOUSELEAVE, 0, 0);
    return;
  }
  ScreenToClient(&point);
  if (OnToolHitTest(point) != m_nHitCommand) OnToolMouse(WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
}
