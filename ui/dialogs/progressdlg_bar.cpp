// The progress dialog's bar: position, the taskbar button and the marquee
// (the common controls' own, or painted here where they have none).
#include "ui/dialogs/progressdlg.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <algorithm>

#include "ui/dialogs/progressdlg_state.h"

bool ProgressHasComctl6() {
  ProgressProcessState& s = ProgressState();
  if (s.forcedComctl6 >= 0) return s.forcedComctl6 != 0;
  if (s.comctl6 < 0) {
    s.comctl6 = 0;
    HMODULE comctl = GetModuleHandleA("ComCtl32.dll");
    DLLGETVERSIONPROC getVersion = comctl ? (DLLGETVERSIONPROC)(void*)GetProcAddress(comctl, "DllGetVersion") : nullptr;
    DLLVERSIONINFO info = {sizeof info};
    if (getVersion && SUCCEEDED(getVersion(&info))) s.comctl6 = info.dwMajorVersion >= 6;
  }
  return s.comctl6 != 0;
}

void CProgressDlg::InitTaskbarProgress() {
  ProgressProcessState& s = ProgressState();
  if (m_nMarquee || s.taskbarState >= 2 || m_pTaskbar) return;
  ITaskbarList3* taskbar = nullptr;
  if (s.taskbarFactory) {
    taskbar = s.taskbarFactory();
    m_bTaskbarCom = FALSE;
  } else {
    if (FAILED(CoInitialize(nullptr))) return;  // tried again on the next position
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, (void**)&taskbar)))
      taskbar = nullptr;
    if (!taskbar) CoUninitialize();
    m_bTaskbarCom = TRUE;
  }
  if (!taskbar) {
    s.taskbarState = 2;
    return;
  }
  s.taskbarState = 1;
  m_pTaskbar = taskbar;
  HWND top = m_hWnd;
  for (HWND parent; (parent = ::GetParent(top)) != nullptr;) top = parent;
  m_hWndTaskbar = top;
  m_pTaskbar->SetProgressState(m_hWndTaskbar, TBPF_NORMAL);
}

void CProgressDlg::ReleaseTaskbarProgress() {
  if (!m_pTaskbar) return;
  m_pTaskbar->SetProgressState(m_hWndTaskbar, TBPF_NOPROGRESS);
  m_pTaskbar->Release();
  if (m_bTaskbarCom) CoUninitialize();
  m_pTaskbar = nullptr;
}

void CProgressDlg::SetTaskbarState(int flags) {
  if (m_pTaskbar) m_pTaskbar->SetProgressState(m_hWndTaskbar, (TBPFLAG)flags);
}

namespace {
// Bar and taskbar repaints cost the worker time on a shared server: a fast
// worker gets at most one update per period.
const DWORD kPositionMs = 40;
}  // namespace

void CProgressDlg::OnPositionPost() {
  DWORD since = ProgressTick() - m_dwLastPosition;
  if (since >= kPositionMs) {
    UpdatePosition();
  } else {
    // The post stays marked as waiting, so the worker sends no more; the
    // timer shows whatever position is latest by then.
    SetTimer(kProgressTimerPosition, kPositionMs - since, nullptr);
    m_bPositionTimer = TRUE;
  }
}

void CProgressDlg::FlushPosition() {
  if (!m_bPositionTimer) return;
  KillTimer(kProgressTimerPosition);
  m_bPositionTimer = FALSE;
  UpdatePosition();
}

void CProgressDlg::UpdatePosition() {
  m_dwLastPosition = ProgressTick();
  LONGLONG scaled, maximum;
  {
    EnterCriticalSection(&m_lock);
    scaled = m_nScaledPos;
    maximum = m_nTotal >> m_nScale;
    m_bPositionPosted = FALSE;
    LeaveCriticalSection(&m_lock);
  }
  HWND bar = ::GetDlgItem(m_hWnd, IDC_PROGRESS_BAR);
  if (m_nMarquee) {
    if (m_bOwnMarquee && scaled != m_nPhase) {
      m_nPhase = (int)scaled;
      ::InvalidateRect(bar, nullptr, FALSE);
    }
    return;
  }
  if (!m_pTaskbar && ProgressState().taskbarState < 2) InitTaskbarProgress();
  if (m_pTaskbar) {
    ULONGLONG value = (ULONGLONG)std::min(scaled, maximum), total = (ULONGLONG)maximum;
    bool send = true;
    if (m_nTaskbarParts > 1) {
      if (m_bTaskbarHold && value > total / 32 && value * 8 < total * 7) m_bTaskbarHold = FALSE;
      if (m_bTaskbarHold) {
        send = false;
      } else {
        value = value * 1024 / std::max<ULONGLONG>(total, 1) + (ULONGLONG)m_nTaskbarPart * 1024;
        total = (ULONGLONG)m_nTaskbarParts * 1024;
        if (value < m_nTaskbarLast) {
          // A part that starts again would run the button backwards.
          send = false;
          if (value % 1024 < 65) m_bTaskbarHold = TRUE;
        }
      }
    }
    if (send) {
      m_pTaskbar->SetProgressValue(m_hWndTaskbar, value, total);
      m_nTaskbarLast = value;
    }
  }
  ::SendMessageA(bar, PBM_SETPOS, (WPARAM)scaled, 0);
}

void CProgressDlg::ApplyMarquee(int newInterval, int oldInterval) {
  HWND bar = ::GetDlgItem(m_hWnd, IDC_PROGRESS_BAR);
  bool comctl6 = ProgressHasComctl6();
  if (oldInterval > 10) KillTimer(kProgressTimerMarquee);
  if (oldInterval <= 0 && newInterval == 0) return;
  if (newInterval == 0) {
    if (comctl6) {
      ::SetWindowLongPtrA(bar, GWL_STYLE, ::GetWindowLongPtrA(bar, GWL_STYLE) & ~(LONG_PTR)PBS_MARQUEE);
      ::SendMessageA(bar, PBM_SETMARQUEE, FALSE, 0);
    }
    if (m_bOwnMarquee) {
      ::SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)m_pfnOldBarProc);
      m_bOwnMarquee = FALSE;
    }
    // Back to the plain bar with the range of the total.
    int range, pos;
    {
      EnterCriticalSection(&m_lock);
      m_nScale = (int)ScaleOf(m_nGivenTotal, nullptr);
      range = (int)(m_nTotal >> m_nScale);
      LONGLONG rel = m_nPos >= m_nGivenTotal ? m_nTotal : m_nPos < 0 ? 0 : m_nPos;
      m_nScaledPos = rel >> m_nScale;
      pos = (int)m_nScaledPos;
      LeaveCriticalSection(&m_lock);
    }
    ::SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, range));
    ::SendMessageA(bar, PBM_SETPOS, pos, 0);
    ::InvalidateRect(bar, nullptr, TRUE);
    return;
  }
  {
    EnterCriticalSection(&m_lock);
    m_nScale = 0;
    LeaveCriticalSection(&m_lock);
  }
  ::SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  m_nPhase = 0;
  if (comctl6) {
    ::SetWindowLongPtrA(bar, GWL_STYLE, ::GetWindowLongPtrA(bar, GWL_STYLE) | PBS_MARQUEE);
    if (newInterval > 10) ::SendMessageA(bar, PBM_SETMARQUEE, TRUE, newInterval);
  } else {
    if (!m_bOwnMarquee) {
      WNDPROC old = (WNDPROC)::GetWindowLongPtrA(bar, GWLP_WNDPROC);
      if (!m_pfnOldBarProc) m_pfnOldBarProc = old;
      ::SetWindowLongPtrA(bar, GWLP_USERDATA, (LONG_PTR)this);
      ::SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)MarqueeBarProc);
      m_bOwnMarquee = TRUE;
    }
    if (newInterval > 10) SetTimer(kProgressTimerMarquee, newInterval, nullptr);
  }
  ::InvalidateRect(bar, nullptr, TRUE);
}

LRESULT CALLBACK CProgressDlg::MarqueeBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CProgressDlg* self = (CProgressDlg*)::GetWindowLongPtrA(hwnd, GWLP_USERDATA);
  if (msg != WM_PAINT && msg != WM_PRINTCLIENT)
    return ::CallWindowProcA(self->m_pfnOldBarProc, hwnd, msg, wParam, lParam);
  PAINTSTRUCT ps;
  HDC dc = msg == WM_PAINT ? ::BeginPaint(hwnd, &ps) : (HDC)wParam;
  RECT rc;
  ::GetClientRect(hwnd, &rc);
  rc.right++, rc.bottom++;
  HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE), highlight = ::GetSysColorBrush(COLOR_HIGHLIGHT);
  RECT band = {rc.left, rc.top, rc.right, rc.top + 2};
  ::FillRect(dc, &band, face);
  band = {rc.left, rc.bottom - 2, rc.right, rc.bottom};
  ::FillRect(dc, &band, face);
  int w = rc.right - rc.left, n = (w + 8) / 10;
  int m = self->m_nPhase % (n + 4);
  if (m < 0) m += n + 4;
  int first = std::max(m - 4, 0);
  int top = rc.top + 2, bottom = rc.bottom - 2;
  RECT r = {rc.left, top, std::min<LONG>(rc.left + 10 * first + 2, rc.right), bottom};
  ::FillRect(dc, &r, face);
  for (int k = first; k <= m; ++k) {
    int x = rc.left + 10 * k + 2;
    if (x >= rc.right) break;
    r = {x, top, std::min<LONG>(x + 9, rc.right), bottom};
    ::FillRect(dc, &r, highlight);
    r = {r.right, top, std::min<LONG>(x + 11, rc.right), bottom};
    ::FillRect(dc, &r, face);
  }
  r = {std::min<LONG>(rc.left + 10 * (m + 1) + 2, rc.right), top, rc.right, bottom};
  ::FillRect(dc, &r, face);
  if (msg == WM_PAINT) ::EndPaint(hwnd, &ps);
  return 0;
}
