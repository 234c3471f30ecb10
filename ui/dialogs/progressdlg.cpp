#include "ui/dialogs/progressdlg.h"

#include <commctrl.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstring>

#include "ui/dialogs/dlgtemplate.h"
#include "ui/dialogs/progressdlg_state.h"
#include "ui/geometry.h"
#include "ui/textmeasure.h"

namespace {
const int kMaxLines = 4;
const int kParkPos = 28672;  // off screen during the show delay

LPCDLGTEMPLATE ProgressTemplate() {
  static const CDlgTemplateBuilder t = [] {
    CDlgTemplateBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 327, 71, "Dialog");
    b.Item(kDlgButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 135, 45, 50, 14, "Abbrechen")
        .Item(PROGRESS_CLASSA, IDC_PROGRESS_BAR, WS_BORDER, 35, 30, 280, 9, "Progress1")
        .Item(kDlgStatic, IDC_PROGRESS_LINE0, SS_LEFT | SS_NOPREFIX | WS_GROUP, 40, 15, 275, 8)
        .ItemOrdinal(kDlgStatic, IDC_PROGRESS_ICON, SS_ICON, 5, 15, 20, 20, 128);
    return b;
  }();
  return t.Get();
}
}  // namespace

ProgressProcessState& ProgressState() {
  static ProgressProcessState state = {{}, false, 410, {}, 0, -1, -1, 0, nullptr, nullptr};
  return state;
}

void CProgressDlg::ResetProcessState() {
  ProgressProcessState& s = ProgressState();
  s.rememberedValid = false;
  s.lastLineWidth = 410;
  s.charWidthState = 0;
  s.comctl6 = -1;
  s.taskbarState = 0;
}

void CProgressDlg::SetTickSource(DWORD (*tick)()) { ProgressState().tick = tick; }
void CProgressDlg::ForceCommonControls6(int answer) { ProgressState().forcedComctl6 = answer; }
void CProgressDlg::SetTaskbarFactory(ITaskbarList3* (*factory)()) { ProgressState().taskbarFactory = factory; }

BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

CProgressDlg::CProgressDlg(CWnd* pParent) : m_semaphore(1, 0x7F000000) {
  InitializeCriticalSection(&m_lock);
  m_semaphore.Lock();  // every request waits for one Unlock
  m_nLineWidth = ProgressState().lastLineWidth;
  InitModalIndirect(ProgressTemplate(), pParent);
}

CProgressDlg::~CProgressDlg() {
  m_nCancel = 1;
  m_bClosing = 1;
  m_semaphore.Unlock();  // a worker blocked in a request goes on
  if (m_pThread) {
    WaitForSingleObject(m_pThread->m_hThread, INFINITE);
    delete m_pThread;
  }
  ReleaseTaskbarProgress();
  DeleteCriticalSection(&m_lock);
}

void CProgressDlg::SetWorker(WorkerFn fn, DWORD a0, DWORD a1, DWORD a2, DWORD a3, DWORD a4) {
  m_pfnWorker = fn;
  m_dwArgs[0] = a0, m_dwArgs[1] = a1, m_dwArgs[2] = a2, m_dwArgs[3] = a3, m_dwArgs[4] = a4;
}

INT_PTR CProgressDlg::DoModal() {
  m_bFinished = false;
  INT_PTR result = CDialog::DoModal();
  m_hWndPost = nullptr;
  if (!m_bFinished && m_pThread) {
    // Ended from outside (owner destroyed, quit): the worker is told to stop.
    m_nCancel = 1;
    result = IDCANCEL;
  }
  return result;
}

BOOL CProgressDlg::Post(WPARAM command, LPARAM lParam) {
  HWND hwnd = m_hWndPost;
  return hwnd && ::PostMessageA(hwnd, WM_COMMAND, command, lParam);
}

void CProgressDlg::PlaceAtRemembered() {
  ProgressProcessState& s = ProgressState();
  if (!s.rememberedValid) return;
  RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  HMONITOR monitor = MonitorFromRect(&s.rememberedRect, MONITOR_DEFAULTTONULL);
  MONITORINFO mi = {sizeof mi};
  if (monitor && GetMonitorInfoA(monitor, &mi)) area = mi.rcMonitor;
  int x = s.rememberedRect.left, y = s.rememberedRect.top;
  if (area.left - 100 < x && x < area.right - 100 && area.top - 10 < y && y < area.bottom - 100)
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CProgressDlg::OnInitDialog() {
  ProgressProcessState& s = ProgressState();
  DWORD now = ProgressTick();
  EnterCriticalSection(&m_lock);
  for (DWORD& t : m_dwLastShow) t = now - 1000;
  for (BOOL& p : m_bPending) p = FALSE;
  m_bPendingTimer = FALSE;
  LeaveCriticalSection(&m_lock);
  m_pfnOldBarProc = nullptr;
  m_bOwnMarquee = FALSE;
  m_bTaskbarHold = FALSE;
  m_nTaskbarLast = 0;
  m_nLines = 1;
  m_bFinished = false;
  PlaceAtRemembered();

  HWND line0 = ::GetDlgItem(m_hWnd, IDC_PROGRESS_LINE0);
  RECT rc;
  ::GetClientRect(line0, &rc);
  m_nLineWidth = s.lastLineWidth = rc.right;
  m_nLineHeight = rc.bottom + 2;
  m_hStatusFont = (HFONT)::SendMessageA(line0, WM_GETFONT, 0, 0);
  if (s.charWidthState != 1 && m_hStatusFont) {
    GetCharWidthTable(s.charWidths, m_hStatusFont);
    s.charWidthState = 1;
  }
  CreateStatusLines(m_nRequestedLines);
  CDialog::OnInitDialog();

  if (m_nIconId) {
    HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIconId));
    if (icon) ::SendDlgItemMessageA(m_hWnd, IDC_PROGRESS_ICON, STM_SETICON, (WPARAM)icon, 0);
  } else if (m_hIcon) {
    ::SendDlgItemMessageA(m_hWnd, IDC_PROGRESS_ICON, STM_SETICON, (WPARAM)m_hIcon, 0);
  }
  if (m_bHideCancel) ::ShowWindow(::GetDlgItem(m_hWnd, IDCANCEL), SW_HIDE);
  if (!m_strTitle.IsEmpty()) SetWindowText(m_strTitle);

  // A Cancel() before the window existed is kept.
  m_nCancel = m_bEarlyCancel ? 1 : 0;
  m_bCancelCalled = FALSE;
  EnterCriticalSection(&m_lock);
  m_nPos = m_nScaledPos = 0;
  m_bPositionPosted = FALSE;
  m_dwLastPosition = now - 1000;
  m_bPositionTimer = FALSE;
  int range = (int)(m_nTotal >> m_nScale);
  LeaveCriticalSection(&m_lock);
  HWND bar = ::GetDlgItem(m_hWnd, IDC_PROGRESS_BAR);
  ::SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, range));
  ::SendMessageA(bar, PBM_SETPOS, 0, 0);
  if (m_nMarquee) ApplyMarquee(m_nMarquee, -1);
  ShowLine(0);
  if (m_nUserInterval) SetTimer(kProgressTimerUser, m_nUserInterval, nullptr);
  if (m_poll.mode && m_poll.interval) SetTimer(kProgressTimerPoll, m_poll.interval, nullptr);

  // Never two workers: one of an earlier run has ended with its dialog.
  if (m_pThread) {
    WaitForSingleObject(m_pThread->m_hThread, INFINITE);
    delete m_pThread;
    m_pThread = nullptr;
  }
  m_hWndPost = m_hWnd;
  m_bRunning = 1;
  m_pThread = AfxBeginThread(WorkerThreadProc, this, m_nPriority, 0x20000, CREATE_SUSPENDED);
  if (m_pThread) {
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
  } else {
    m_bRunning = 0;
    Post(kProgressWorkerEnded);
  }

  if (m_nShowDelay) {
    GetWindowRect(&s.rememberedRect);
    s.rememberedValid = true;
    EnableWindow(FALSE);
    ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
    SetTimer(kProgressTimerShowDelay, m_nShowDelay, nullptr);
    ::SetWindowPos(m_hWnd, nullptr, kParkPos, kParkPos, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (m_bEarlyCancel) {
    m_bEarlyCancel = FALSE;
    OnCancel();
  }
  return TRUE;
}

UINT CProgressDlg::WorkerThreadProc(LPVOID param) {
  CProgressDlg* self = (CProgressDlg*)param;
  self->m_nResult = -1;
  if (self->m_pfnWorker) self->m_nResult = self->m_pfnWorker(self);
  self->m_bRunning = 0;
  self->Post(kProgressWorkerEnded);
  return 0;
}

void CProgressDlg::OnCancel() {
  if (!m_bCancelCalled) {
    m_bCancelCalled = TRUE;
    if (m_pfnCancel) m_pfnCancel(m_dwCancelArg);
  }
  m_nCancel = 1;
  ::EnableWindow(::GetDlgItem(m_hWnd, IDCANCEL), FALSE);
}

BOOL CProgressDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  // The private commands come first: their lParam is no window.
  switch (wParam) {
    case kProgressUpdate:
      if (!m_bFinished) OnUpdate((int)(lParam & 0xFF), (DWORD)lParam >> 8);
      return TRUE;
    case kProgressMessageBox:
      FlushPosition();  // the worker waits: show where it stopped
      SetTaskbarState((m_nBoxType & 0xF0) == MB_ICONERROR ? TBPF_ERROR : TBPF_PAUSED);
      m_nAnswer = ::MessageBoxA(m_hWnd, m_pszBoxText, m_pszBoxCaption, m_nBoxType);
      SetTaskbarState(TBPF_NORMAL);
      m_semaphore.Unlock();
      return TRUE;
    case kProgressDoModal:
      FlushPosition();
      SetTaskbarState(TBPF_PAUSED);
      m_nAnswer = m_pModalRequest ? m_pModalRequest->DoModal() : -1;
      SetTaskbarState(TBPF_NOPROGRESS);
      m_semaphore.Unlock();
      return TRUE;
    case kProgressWorkerEnded: {
      ProgressProcessState& s = ProgressState();
      if (!IsWindowEnabled()) {
        // Still in the show delay: the place it would have had.
      } else {
        GetWindowRect(&s.rememberedRect);
        s.rememberedValid = true;
      }
      m_bFinished = true;
      ReleaseTaskbarProgress();
      EndDialog(m_nCancel ? IDCANCEL : IDOK);
      return TRUE;
    }
  }
  return CDialog::OnCommand(wParam, lParam);
}

void CProgressDlg::OnUpdate(int sub, DWORD arg) {
  HWND bar = ::GetDlgItem(m_hWnd, IDC_PROGRESS_BAR);
  switch (sub) {
    case kProgressShowLine:
      ShowLine((int)arg);
      break;
    case kProgressPosition:
      OnPositionPost();
      break;
    case kProgressStep:
      if (m_bOwnMarquee) {
        ++m_nPhase;
        ::InvalidateRect(bar, nullptr, FALSE);
      }
      ::SendMessageA(bar, PBM_STEPIT, 0, 0);
      break;
    case kProgressRange:
      if (!m_nMarquee) {
        EnterCriticalSection(&m_lock);
        int range = (int)(m_nTotal >> m_nScale), pos = (int)m_nScaledPos;
        LeaveCriticalSection(&m_lock);
        ::SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, range));
        ::SendMessageA(bar, PBM_SETPOS, pos, 0);
      }
      break;
    case kProgressLinePending:
      SetTimer(kProgressTimerFlush, 50, nullptr);
      break;
    case kProgressPollTimer:
      if (!m_poll.mode || !m_poll.interval)
        KillTimer(kProgressTimerPoll);
      else
        SetTimer(kProgressTimerPoll, m_poll.interval, nullptr);
      break;
    case kProgressUserTimer:
      if (!m_nUserInterval)
        KillTimer(kProgressTimerUser);
      else
        SetTimer(kProgressTimerUser, m_nUserInterval, nullptr);
      break;
    case kProgressLineCount:
      CreateStatusLines((int)arg);
      break;
    case kProgressMarquee:
      ApplyMarquee((int)(arg & 0xFFF), (int)((arg >> 12) & 0xFFF));
      break;
  }
}

void CProgressDlg::ShowLine(int n) {
  if (n < 0 || n >= kMaxLines) return;
  char text[512];
  EnterCriticalSection(&m_lock);
  memcpy(text, m_lines[n], sizeof text);
  m_dwLastShow[n] = ProgressTick();
  m_bPending[n] = FALSE;
  LeaveCriticalSection(&m_lock);
  HWND line = ::GetDlgItem(m_hWnd, IDC_PROGRESS_LINE0 + n);
  if (line) ::SetWindowTextA(line, text);
}

void CProgressDlg::CreateStatusLines(int n) {
  n = std::min(n, kMaxLines);
  if (n <= m_nLines) return;
  int extra = (n - m_nLines) * m_nLineHeight;
  ResizeWindowTo(m_hWnd, 0, extra, TRUE);
  MoveWindowTo(::GetDlgItem(m_hWnd, IDCANCEL), 0, extra, TRUE);
  MoveWindowTo(::GetDlgItem(m_hWnd, IDC_PROGRESS_BAR), 0, extra, TRUE);
  for (int i = m_nLines; i < n; ++i) {
    char text[512];
    EnterCriticalSection(&m_lock);
    memcpy(text, m_lines[i], sizeof text);
    LeaveCriticalSection(&m_lock);
    HWND line = ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, m_nLineWidth,
                                  m_nLineHeight, m_hWnd, (HMENU)(INT_PTR)(IDC_PROGRESS_LINE0 + i),
                                  (HINSTANCE)::GetWindowLongPtrA(m_hWnd, GWLP_HINSTANCE), nullptr);
    if (!line) break;
    ::SendMessageA(line, WM_SETFONT, (WPARAM)m_hStatusFont, FALSE);
    MoveDlgItemToItemRect(this, IDC_PROGRESS_LINE0 + i, IDC_PROGRESS_LINE0);
    MoveWindowTo(line, 0, i * m_nLineHeight, TRUE);
    m_nLines = i + 1;
  }
  EnterCriticalSection(&m_lock);
  m_nRequestedLines = std::max(m_nRequestedLines, m_nLines);
  LeaveCriticalSection(&m_lock);
}

void CProgressDlg::OnTimer(UINT_PTR id) {
  switch (id) {
    case kProgressTimerUser:
      if (m_pfnUserTimer) m_pfnUserTimer(m_dwUserArg);
      break;
    case kProgressTimerMarquee:
      ++m_nPhase;
      ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_PROGRESS_BAR), nullptr, FALSE);
      break;
    case kProgressTimerPoll:
      Poll();
      break;
    case kProgressTimerPosition:
      if (m_bFinished) {  // the taskbar is released by then
        KillTimer(kProgressTimerPosition);
        m_bPositionTimer = FALSE;
      } else {
        FlushPosition();
      }
      break;
    case kProgressTimerShowDelay: {
      KillTimer(kProgressTimerShowDelay);
      ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW));
      EnableWindow(TRUE);
      RECT before;
      GetWindowRect(&before);
      PlaceAtRemembered();
      RECT after;
      GetWindowRect(&after);
      if (after.left == before.left && after.top == before.top) CenterWindow();  // never left parked
      PostUpdate(kProgressShowLine, 0);
      break;
    }
    case kProgressTimerFlush:
      for (int n = 0; n < kMaxLines; ++n) {
        EnterCriticalSection(&m_lock);
        BOOL pending = m_bPending[n];
        LeaveCriticalSection(&m_lock);
        if (pending) ShowLine(n);
      }
      break;
  }
}

void CProgressDlg::Poll() {
  LONGLONG pos = 0, maximum = 0;
  switch (m_poll.mode) {
    case 1: {
      int max32 = 0;
      pos = ((ProgressPoll32)m_poll.source)(&max32);
      maximum = max32;
      break;
    }
    case 2:
      pos = ((ProgressPoll64)m_poll.source)(&maximum);
      break;
    case 3:
      pos = *(const volatile int*)m_poll.source;
      if (m_poll.maximum) maximum = *(const volatile int*)m_poll.maximum;
      break;
    case 4:
      pos = *(const volatile LONGLONG*)m_poll.source;
      if (m_poll.maximum) maximum = *(const volatile LONGLONG*)m_poll.maximum;
      break;
    default:
      return;
  }
  if (maximum) SetTotal(maximum);
  SetPos64(pos);
}
