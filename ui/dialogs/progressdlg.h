// Modal progress dialog that runs a worker function in a second thread.
// The worker never touches a window: its setters store values under the
// dialog's lock and post private commands; requests that need an answer
// (a message box, another dialog) wait on the dialog's semaphore.
#pragma once

#include <windows.h>

#include <atomic>

#include "base/cstring.h"
#include "mfc/dialog.h"
#include "mfc/sync.h"
#include "mfc/thread.h"

struct ITaskbarList3;

// Private commands posted to the dialog (wParam of WM_COMMAND).
enum ProgressCommand {
  kProgressUpdate = 0x1991,  // lParam: sub-code in bits 0-7, argument above
  kProgressMessageBox = 0x1992,
  kProgressWorkerEnded = 0x1993,
  kProgressDoModal = 0x1997,
};
// Sub-codes of kProgressUpdate.
enum ProgressSubCode {
  kProgressShowLine = 1,
  kProgressPosition = 2,
  kProgressStep = 3,
  kProgressRange = 4,
  kProgressLinePending = 5,
  kProgressPollTimer = 6,
  kProgressUserTimer = 7,
  kProgressLineCount = 8,
  kProgressMarquee = 9,
};
// Timers of the dialog window.
enum ProgressTimer {
  kProgressTimerUser = 0x1994,
  kProgressTimerMarquee = 0x1995,
  kProgressTimerPoll = 0x1996,
  kProgressTimerShowDelay = 0x1998,
  kProgressTimerFlush = 0x1999,
  kProgressTimerPosition = 0x199A,
};
// Controls.
const int IDC_PROGRESS_BAR = 1019;
const int IDC_PROGRESS_LINE0 = 1034;  // lines 1-3 are 1035-1037
const int IDC_PROGRESS_ICON = 1099;

// Where the poll timer reads position and maximum.
struct ProgressPollSource {
  int mode = 0;  // 0 none, 1 callback (32 bits), 2 callback (64), 3 variables (32), 4 variables (64)
  UINT interval = 0;
  void* source = nullptr;   // the callback (modes 1-2) or the position (3-4)
  void* maximum = nullptr;  // int or LONGLONG; NULL leaves the maximum 0
};
typedef int (*ProgressPoll32)(int* maximum);
typedef LONGLONG (*ProgressPoll64)(LONGLONG* maximum);

class CProgressDlg : public CDialog {
 public:
  typedef int (*WorkerFn)(CProgressDlg* dlg);
  typedef void (*CallbackFn)(DWORD arg);

  explicit CProgressDlg(CWnd* pParent = nullptr);
  // Raises the cancel flag, frees a worker blocked in a request and waits
  // for the worker's thread to end.
  ~CProgressDlg() override;

  // Caller side, before DoModal.
  void SetWorker(WorkerFn fn, DWORD a0 = 0, DWORD a1 = 0, DWORD a2 = 0, DWORD a3 = 0, DWORD a4 = 0);
  void SetTitle(LPCSTR title) { m_strTitle = title ? title : ""; }
  void SetCancelCallback(CallbackFn fn, DWORD arg) { m_pfnCancel = fn, m_dwCancelArg = arg; }
  void SetThreadPriority(int priority) { m_nPriority = priority; }
  void SetShowDelay(UINT ms) { m_nShowDelay = ms; }
  void SetIcon(WORD id) { m_nIconId = id; }
  void SetIcon(HICON icon) { m_hIcon = icon; }
  void SetHideCancel(BOOL hide) { m_bHideCancel = hide; }
  // Multi-step operations: this dialog shows part index of parts on the
  // taskbar button.
  void SetTaskbarParts(int parts, int index) { m_nTaskbarParts = parts, m_nTaskbarPart = index; }
  // IDOK when the worker ended without cancel, IDCANCEL after one, -1 when
  // the window could not be made.
  INT_PTR DoModal() override;

  // Any thread.
  void SetStatusLineCount(int n);
  void SetPollSource(int mode, UINT interval, void* source, void* maximum);
  void SetUserTimer(CallbackFn fn, UINT interval, DWORD arg);
  void SetMarquee(UINT interval);
  void SetStatusText(int line, LPCSTR text);
  // The path goes in place of the marker character (marker > 0; appended
  // when the text has none) or after -marker characters, shortened to fit.
  void SetStatusPath(int line, LPCSTR text, LPCSTR path, int mode, int marker);
  void SetTotal(LONGLONG total);
  void SetRange64(LONGLONG start, LONGLONG end);
  void SetPos64(LONGLONG pos);
  void StepPos();
  void StepIt();
  void Cancel();
  int WorkerMessageBox(LPCSTR text, LPCSTR caption, UINT type);
  INT_PTR WorkerDoModal(CDialog* dlg);

  // Read by the worker.
  volatile LONG m_nCancel = 0;
  DWORD m_dwArgs[5] = {};
  int m_nResult = -1;

  // Test seams for the process-wide state.
  static void ResetProcessState();               // remembered rectangle, width table, comctl answer, taskbar
  static void SetTickSource(DWORD (*tick)());    // NULL: GetTickCount
  static void ForceCommonControls6(int answer);  // -1 ask the library, 0 or 1
  static void SetTaskbarFactory(ITaskbarList3* (*factory)());       // NULL: the shell's
  static LONGLONG ScaleOf(LONGLONG total, LONGLONG* withHeadroom);  // the scale a total gets

  // State the tests read.
  int GetLineCount() const { return m_nLines; }
  int GetMarqueePhase() const { return m_nPhase; }
  BOOL IsOwnMarquee() const { return m_bOwnMarquee; }
  HANDLE GetWorkerThreadHandle() const { return m_pThread ? m_pThread->m_hThread : nullptr; }

 protected:
  BOOL OnInitDialog() override;
  void OnCancel() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void DoDataExchange(CDataExchange*) override {}
  void PostNcDestroy() override { m_hWndPost = nullptr; }
  afx_msg void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()

 private:
  static UINT WorkerThreadProc(LPVOID param);
  static LRESULT CALLBACK MarqueeBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  BOOL Post(WPARAM command, LPARAM lParam = 0);
  BOOL PostUpdate(int sub, DWORD arg = 0) { return Post(kProgressUpdate, (LPARAM)((arg << 8) | (sub & 0xFF))); }
  void OnUpdate(int sub, DWORD arg);
  void ShowLine(int n);
  void ThrottleLine(int n);  // under no lock
  void EnsureLines(int line);
  void CreateStatusLines(int n);
  void ApplyMarquee(int newInterval, int oldInterval);
  void OnPositionPost();
  void FlushPosition();
  void UpdatePosition();
  void InitTaskbarProgress();
  void ReleaseTaskbarProgress();
  void SetTaskbarState(int flags);
  void PlaceAtRemembered();
  void Poll();
  LONGLONG SetTotalLocked(LONGLONG total);  // the new scaled range, -1 when unchanged

  CRITICAL_SECTION m_lock;  // status buffers, flags, position, totals, scale
  CSemaphore m_semaphore;
  std::atomic<HWND> m_hWndPost{nullptr};
  CWinThread* m_pThread = nullptr;
  WorkerFn m_pfnWorker = nullptr;
  volatile LONG m_bRunning = 0;
  volatile LONG m_bClosing = 0;
  BOOL m_bEarlyCancel = FALSE;

  char m_lines[4][512] = {};
  BOOL m_bPending[4] = {};
  DWORD m_dwLastShow[4] = {};
  BOOL m_bPendingTimer = FALSE;
  int m_nRequestedLines = 1, m_nLines = 0;
  int m_nLineWidth = 0, m_nLineHeight = 9;
  HFONT m_hStatusFont = nullptr;

  CString m_strTitle;
  int m_nPriority = THREAD_PRIORITY_NORMAL;
  UINT m_nShowDelay = 0;
  WORD m_nIconId = 0;
  HICON m_hIcon = nullptr;
  BOOL m_bHideCancel = FALSE;
  CallbackFn m_pfnCancel = nullptr;
  DWORD m_dwCancelArg = 0;
  BOOL m_bCancelCalled = FALSE;
  std::atomic<bool> m_bFinished{false};

  // Requests.
  LPCSTR m_pszBoxText = nullptr, m_pszBoxCaption = nullptr;
  UINT m_nBoxType = 0;
  CDialog* m_pModalRequest = nullptr;
  INT_PTR m_nAnswer = 0;

  // Progress, under the lock.
  LONGLONG m_nPos = 0, m_nTotal = 100, m_nStart = 0, m_nGivenTotal = 100, m_nScaledPos = 0;
  int m_nScale = 0;
  BOOL m_bPositionPosted = FALSE;  // a position post waits on the UI thread
  DWORD m_dwLastPosition = 0;      // UI thread: tick of the last bar update
  BOOL m_bPositionTimer = FALSE;   // UI thread: an update waits for its period

  ProgressPollSource m_poll;
  CallbackFn m_pfnUserTimer = nullptr;
  UINT m_nUserInterval = 0;
  DWORD m_dwUserArg = 0;

  std::atomic<int> m_nMarquee{0};
  BOOL m_bOwnMarquee = FALSE;
  int m_nPhase = 0;
  WNDPROC m_pfnOldBarProc = nullptr;

  ITaskbarList3* m_pTaskbar = nullptr;
  BOOL m_bTaskbarCom = FALSE;  // CoInitialize to undo
  HWND m_hWndTaskbar = nullptr;
  int m_nTaskbarParts = 0, m_nTaskbarPart = 0;
  BOOL m_bTaskbarHold = FALSE;
  ULONGLONG m_nTaskbarLast = 0;
};
