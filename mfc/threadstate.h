// Per-thread state of the framework: the window being created, the message
// being handled, the thread object and the thread's temporary objects.
#pragma once

#include <windows.h>

#include <unordered_map>

class CObject;
class CWnd;
class CWinThread;

// Kinds of wrapped handles; each has a permanent and a temporary map.
enum AfxHandleKind { AfxHandleWnd, AfxHandleDC, AfxHandleGdi, AfxHandleMenu, AfxHandleImageList, AfxHandleKinds };

struct AFX_THREAD_STATE {
  AFX_THREAD_STATE() = default;
  ~AFX_THREAD_STATE();
  AFX_THREAD_STATE(const AFX_THREAD_STATE&) = delete;
  AFX_THREAD_STATE& operator=(const AFX_THREAD_STATE&) = delete;

  // Attached to the next window this thread creates (AfxHookWindowCreate).
  CWnd* m_pWndInit = nullptr;
  // Attached to the next child dialog this thread creates, such as the
  // hook dialog inside a common dialog.
  CWnd* m_pAlternateWndInit = nullptr;
  HHOOK m_hHookOldCbtFilter = nullptr;

  MSG m_lastSentMsg = {};                 // the message being handled (Default)
  HWND m_hLockoutNotifyWindow = nullptr;  // ignores control notifications during UpdateData
  CWinThread* m_pCurrentWinThread = nullptr;
  MSG m_msgCur = {};  // the message being pumped

  int m_nTempMapLock = 0;
  std::unordered_map<void*, CObject*> m_tempMaps[AfxHandleKinds];

  void DeleteTempMap(AfxHandleKind kind);
};

AFX_THREAD_STATE* AfxGetThreadState();

// Temporary objects live until the thread is idle (or ends); the lock keeps
// them while code that holds such pointers runs.
void AfxLockTempMaps();
BOOL AfxUnlockTempMaps(BOOL bDeleteTemps = TRUE);
