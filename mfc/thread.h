// CWinThread and worker threads; the thread's message pump.
#pragma once

#include <windows.h>

#include "mfc/msgmap.h"

class CWnd;

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)

 public:
  CWinThread();
  CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
  ~CWinThread() override;

  // Starts the thread (suspended when asked); FALSE when it cannot.
  BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
  DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
  DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
  BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
  int GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
  operator HANDLE() const {
    const CWinThread* p = AfxOpaque(this);
    return p ? p->m_hThread : nullptr;
  }

  virtual BOOL InitInstance() { return FALSE; }
  virtual int ExitInstance();
  virtual int Run();  // the message loop of a user-interface thread
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  virtual BOOL PumpMessage();
  virtual BOOL OnIdle(LONG lCount);
  virtual BOOL IsIdleMessage(MSG* pMsg);
  virtual CWnd* GetMainWnd() { return m_pMainWnd; }
  // Deletes the object when it deletes itself at the end of its thread.
  virtual void Delete();

  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;
  BOOL m_bAutoDelete = TRUE;  // deleted when its thread ends
  CWnd* m_pMainWnd = nullptr;
  CWnd* m_pActiveWnd = nullptr;

  AFX_THREADPROC m_pfnThreadProc = nullptr;
  LPVOID m_pThreadParams = nullptr;

 private:
  static unsigned __stdcall ThreadEntry(void* pThis);
};

// Starts a worker thread that runs pfnThreadProc(pParam); its object deletes
// itself when the thread ends unless m_bAutoDelete is cleared first (start it
// CREATE_SUSPENDED to do that safely).
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// The calling thread's object: its CWinThread, or the application object on
// the main thread; null on other threads.
CWinThread* AfxGetThread();
// Ends the calling framework thread (its object is deleted when auto-delete).
void AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);

// One message through the calling thread's pre-translation and dispatch;
// FALSE on WM_QUIT.
BOOL AfxPumpMessage();
BOOL AfxPreTranslateMessage(MSG* pMsg);
BOOL AfxIsIdleMessage(MSG* pMsg);
