#include "mfc/thread.h"

#include <process.h>

#include "mfc/globals.h"
#include "mfc/threadstate.h"
#include "mfc/wnd.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread() = default;

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}

CWinThread::~CWinThread() {
  if (m_hThread && m_hThread != ::GetCurrentThread()) ::CloseHandle(m_hThread);
  AFX_THREAD_STATE* state = AfxGetThreadState();
  if (state->m_pCurrentWinThread == this) state->m_pCurrentWinThread = nullptr;
}

void CWinThread::Delete() {
  if (m_bAutoDelete) delete this;
}

unsigned __stdcall CWinThread::ThreadEntry(void* pThis) {
  CWinThread* pThread = static_cast<CWinThread*>(pThis);
  AfxGetThreadState()->m_pCurrentWinThread = pThread;
  UINT nResult;
  if (pThread->m_pfnThreadProc) {
    nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
  } else if (pThread->InitInstance()) {
    nResult = pThread->Run();
  } else {
    nResult = pThread->ExitInstance();
  }
  AfxEndThread(nResult);
  return nResult;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  // Suspended until the object knows its handle and id.
  unsigned id = 0;
  HANDLE h = (HANDLE)_beginthreadex(lpSecurityAttrs, nStackSize, ThreadEntry, this, CREATE_SUSPENDED, &id);
  if (!h) return FALSE;
  m_hThread = h;
  m_nThreadID = id;
  if (!(dwCreateFlags & CREATE_SUSPENDED)) ::ResumeThread(h);
  return TRUE;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
  if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
    delete pThread;
    return nullptr;
  }
  pThread->SetThreadPriority(nPriority);
  if (!(dwCreateFlags & CREATE_SUSPENDED)) pThread->ResumeThread();
  return pThread;
}

CWinThread* AfxGetThread() {
  CWinThread* pThread = AfxGetThreadState()->m_pCurrentWinThread;
  return pThread;
}

void AfxEndThread(UINT nExitCode, BOOL bDelete) {
  AFX_THREAD_STATE* state = AfxGetThreadState();
  CWinThread* pThread = state->m_pCurrentWinThread;
  state->m_pCurrentWinThread = nullptr;
  for (int k = 0; k < AfxHandleKinds; ++k) state->DeleteTempMap((AfxHandleKind)k);
  if (pThread && bDelete) pThread->Delete();
  _endthreadex(nExitCode);
}

int CWinThread::ExitInstance() { return (int)AfxGetThreadState()->m_msgCur.wParam; }

BOOL CWinThread::IsIdleMessage(MSG* pMsg) { return AfxIsIdleMessage(pMsg); }

BOOL AfxIsIdleMessage(MSG* pMsg) {
  // Mouse moves that do not move, paints and the caret blink do not end idleness.
  static thread_local POINT lastMouse = {-1, -1};
  static thread_local UINT lastMouseMsg = 0;
  if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
    if (pMsg->message == lastMouseMsg && pMsg->pt.x == lastMouse.x && pMsg->pt.y == lastMouse.y) return FALSE;
    lastMouse = pMsg->pt;
    lastMouseMsg = pMsg->message;
    return TRUE;
  }
  return pMsg->message != WM_PAINT && pMsg->message != 0x0118;
}

namespace {
BOOL PumpOneMessage() {
  MSG& msg = AfxGetThreadState()->m_msgCur;
  if (!::GetMessageA(&msg, nullptr, 0, 0)) return FALSE;
  if (msg.message != WM_KICKIDLE && !AfxPreTranslateMessage(&msg)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return TRUE;
}
}  // namespace

BOOL CWinThread::PumpMessage() { return PumpOneMessage(); }

namespace {
BOOL PreTranslateThroughWindows(MSG* pMsg) {
  CWnd* pMainWnd = AfxGetMainWnd();
  if (CWnd::WalkPreTranslateTree(pMainWnd->GetSafeHwnd(), pMsg)) return TRUE;
  // A modeless window outside the main window still gets the main window's
  // accelerators.
  if (pMainWnd && pMainWnd->m_hWnd) {
    HWND hTop = pMsg->hwnd;
    while (hTop && (::GetWindowLongPtrA(hTop, GWL_STYLE) & WS_CHILD)) hTop = ::GetParent(hTop);
    if (hTop != pMainWnd->m_hWnd) return pMainWnd->PreTranslateMessage(pMsg);
  }
  return FALSE;
}
}  // namespace

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) { return PreTranslateThroughWindows(pMsg); }

BOOL AfxPreTranslateMessage(MSG* pMsg) {
  if (CWinThread* pThread = AfxGetThread()) return pThread->PreTranslateMessage(pMsg);
  return PreTranslateThroughWindows(pMsg);
}

BOOL AfxPumpMessage() {
  if (CWinThread* pThread = AfxGetThread()) return pThread->PumpMessage();
  return PumpOneMessage();
}

BOOL CWinThread::OnIdle(LONG lCount) {
  if (lCount <= 0) {
    // Command-update pass over the main window and its bars.
    CWnd* pMainWnd = m_pMainWnd;
    if (pMainWnd && pMainWnd->m_hWnd && pMainWnd->IsWindowVisible()) {
      AfxCallWndProc(pMainWnd, pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
      pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    }
  } else if (AfxGetThreadState()->m_nTempMapLock == 0) {
    AfxLockTempMaps();
    AfxUnlockTempMaps(TRUE);
  }
  return lCount < 1;
}

int CWinThread::Run() {
  bool bIdle = true;
  LONG lIdleCount = 0;
  MSG* pMsg = &AfxGetThreadState()->m_msgCur;
  for (;;) {
    while (bIdle && !::PeekMessageA(pMsg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(lIdleCount++)) bIdle = false;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(pMsg)) {
        bIdle = true;
        lIdleCount = 0;
      }
    } while (::PeekMessageA(pMsg, nullptr, 0, 0, PM_NOREMOVE));
  }
}
