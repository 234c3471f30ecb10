// CSpawnProcess: starting, waiting with cancel, the main window, ending.
#include <cstring>
#include <initializer_list>

#include "system/pathtype.h"
#include "system/spawnprocess.h"

namespace {

// Windows of the child that are no main window: tooltips and input-method
// windows by class, and the input method's own windows by title.
bool ClassTest(HWND hwnd) {
  char name[64];
  if (!GetClassNameA(hwnd, name, sizeof name)) name[0] = 0;
  for (const char* ignored : {"tooltips_class64", "tooltips_class32", "MSCTFIME UI", "IME"})
    if (_stricmp(name, ignored) == 0) return false;
  return true;
}

bool TitleTest(HWND hwnd) {
  char title[64];
  if (!GetWindowTextA(hwnd, title, sizeof title)) title[0] = 0;
  return std::strcmp(title, "M") != 0 && _stricmp(title, "Default IME") != 0;
}

enum WindowTest { TEST_FULL, TEST_CLASS, TEST_PROCESS };

HWND FindProcessWindow(DWORD dwProcessId, WindowTest test) {
  for (HWND hwnd = FindWindowExA(nullptr, nullptr, nullptr, nullptr); hwnd;
       hwnd = FindWindowExA(nullptr, hwnd, nullptr, nullptr)) {
    DWORD pid = 0;
    if (!GetWindowThreadProcessId(hwnd, &pid) || pid != dwProcessId) continue;
    if (test == TEST_PROCESS) return hwnd;
    if (!ClassTest(hwnd)) continue;
    if (test == TEST_CLASS || TitleTest(hwnd)) return hwnd;
  }
  return nullptr;
}

}  // namespace

// Closes the process and thread handles (reading the exit code first when
// asked); the lock keeps Terminate on another thread off a closed handle.
void CSpawnProcess::CloseProcess(bool bReadExitCode) {
  EnterCriticalSection(&m_csProcess);
  if (m_pi.hProcess) {
    if (bReadExitCode) GetExitCodeProcess(m_pi.hProcess, &m_dwExitCode);
    CloseHandle(m_pi.hProcess);
    if (m_pi.hThread) CloseHandle(m_pi.hThread);
    std::memset(&m_pi, 0, sizeof m_pi);
  }
  LeaveCriticalSection(&m_csProcess);
}

int CSpawnProcess::Start(const char* pszProgram, DWORD dwFlags, const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  int result = StartV(pszProgram, dwFlags, pszFormat, args);
  va_end(args);
  return result;
}

int CSpawnProcess::Run(DWORD dwFlags, const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  int result = StartV(nullptr, dwFlags, pszFormat, args);
  va_end(args);
  return result;
}

int CSpawnProcess::StartV(const char* pszProgram, DWORD dwFlags, const char* pszFormat, va_list args) {
  if (m_pdwProcessId) *m_pdwProcessId = 0;
  m_bCancel = 0;
  m_hMainWnd = nullptr;
  m_bRunning = 0;
  m_dwExitCode = 0;
  CloseProcess(false);
  if (pszProgram) SetProgram(pszProgram);
  if (pszFormat) AddArgsV(pszFormat, args);
  if (dwFlags & SPAWN_SHOWCMD) SetShowCmd(dwFlags & SPAWN_SHOWCMD_MASK);
  if (!m_szProgram[0]) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }

  const char* pszDir = m_szWorkDir[0] && GetPathType(m_szWorkDir) >= PATHTYPE_DIRECTORY ? m_szWorkDir : nullptr;
  char szApplication[MAX_PATH];
  char* line = MakeCommandLine(dwFlags, szApplication);
  BOOL bInherit = (m_si.dwFlags & STARTF_USESTDHANDLES) || !(dwFlags & SPAWN_NO_INHERIT);
  // Without a block of its own the child gets the parent's environment.
  BOOL bCreated = CreateProcessA(szApplication, line, nullptr, nullptr, bInherit, CREATE_DEFAULT_ERROR_MODE,
                                 m_pEnvBlock, pszDir, &m_si, &m_pi);
  DWORD dwError = GetLastError();
  delete[] line;
  if (!bCreated) {
    std::memset(&m_pi, 0, sizeof m_pi);
    SetLastError(dwError);
    return 0;
  }
  CloseChildEnds();
  if (m_pdwProcessId) *m_pdwProcessId = m_pi.dwProcessId;
  m_bRunning = 1;
  if (dwFlags & SPAWN_WAIT) {
    BOOL bEnded = WaitForExit(m_dwWaitTime);
    SetLastError(bEnded ? NO_ERROR : ERROR_TIMEOUT);
  } else {
    SetLastError(NO_ERROR);
  }
  return 1;
}

BOOL CSpawnProcess::IsRunning() {
  if (!m_pi.hProcess || !m_bRunning) return FALSE;
  DWORD dwWait = WaitForSingleObject(m_pi.hProcess, 0);
  if (dwWait == WAIT_TIMEOUT) return TRUE;
  if (dwWait == WAIT_OBJECT_0) {
    CloseProcess(true);
    m_hMainWnd = nullptr;
  }
  return FALSE;
}

void CSpawnProcess::Cancel() {
  InterlockedExchange(&m_bCancel, 1);
  HANDLE hEvent = m_hCancelEvent;
  if (hEvent) SetEvent(hEvent);
}

BOOL CSpawnProcess::WaitForExit(DWORD dwMilliseconds) {
  HANDLE hProcess = m_pi.hProcess;
  if (!hProcess || m_bCancel || !m_bRunning) return FALSE;
  if (m_hCancelEvent) {
    ResetEvent(m_hCancelEvent);
  } else {
    m_hCancelEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  // A cancel between the first test and the reset is seen here; one after
  // it signals the event.
  if (m_bCancel) return FALSE;
  HANDLE handles[2] = {hProcess, m_hCancelEvent};
  if (WaitForMultipleObjects(2, handles, FALSE, dwMilliseconds) != WAIT_OBJECT_0) return FALSE;
  if (WaitForSingleObject(hProcess, dwMilliseconds) == WAIT_TIMEOUT) return FALSE;
  CloseProcess(true);
  if (m_pdwProcessId) *m_pdwProcessId = 0;
  m_bRunning = 0;
  m_hMainWnd = nullptr;
  return TRUE;
}

BOOL CSpawnProcess::WaitForInputIdle(DWORD dwMilliseconds) {
  if (!m_pi.hProcess) return FALSE;
  if (dwMilliseconds != INFINITE) return ::WaitForInputIdle(m_pi.hProcess, dwMilliseconds) == 0;
  for (;;) {
    DWORD dwWait = ::WaitForInputIdle(m_pi.hProcess, 5000);
    if (dwWait == 0) return TRUE;
    if (dwWait != WAIT_TIMEOUT || !IsRunning() || m_bCancel) return FALSE;
  }
}

HWND CSpawnProcess::FindMainWindow(int nTimeout) {
  if (!IsRunning()) {
    DWORD dwStart = GetTickCount();
    do {
      if ((int)(GetTickCount() - dwStart) > nTimeout || m_bCancel) return nullptr;
      Sleep(100);
    } while (!IsRunning());
  }
  if (m_hMainWnd) return m_hMainWnd;

  DWORD pid = m_pi.dwProcessId;
  HWND hwnd = nullptr;
  for (DWORD dwStart = GetTickCount(); nTimeout >= 0;) {
    DWORD dwCycle = GetTickCount();
    if (WaitForInputIdle(1000)) break;
    if (!IsRunning()) return nullptr;
    hwnd = FindProcessWindow(pid, TEST_FULL);
    if (hwnd || (int)(GetTickCount() - dwStart) > nTimeout) break;
    // A console program has no input-idle state: the wait fails at once.
    if (GetTickCount() - dwCycle < 100) Sleep(100);
  }
  for (WindowTest test : {TEST_FULL, TEST_CLASS, TEST_PROCESS}) {
    if (!hwnd) hwnd = FindProcessWindow(pid, test);
  }
  m_hMainWnd = hwnd;
  return hwnd;
}

void CSpawnProcess::ActivateMainWindow() {
  HWND hwnd = FindMainWindow(-1);
  if (!hwnd) return;
  SetForegroundWindow(hwnd);
  SetActiveWindow(hwnd);
  SetFocus(hwnd);
}

LRESULT CSpawnProcess::PostToWindow(UINT uMsg, WPARAM wParam, LPARAM lParam, int nTimeout) {
  if (!IsRunning()) return 0;
  HWND hwnd = FindMainWindow(nTimeout);
  return hwnd ? PostMessageA(hwnd, uMsg, wParam, lParam) : 0;
}

LRESULT CSpawnProcess::SendToWindow(UINT uMsg, WPARAM wParam, LPARAM lParam, int nTimeout) {
  if (!IsRunning()) return 0;
  HWND hwnd = FindMainWindow(nTimeout);
  return hwnd ? SendMessageA(hwnd, uMsg, wParam, lParam) : 0;
}

BOOL CSpawnProcess::Terminate(UINT uExitCode) {
  EnterCriticalSection(&m_csProcess);
  BOOL bEnded = m_pi.hProcess && TerminateProcess(m_pi.hProcess, uExitCode);
  if (bEnded) m_dwExitCode = uExitCode;
  LeaveCriticalSection(&m_csProcess);
  return bEnded;
}
