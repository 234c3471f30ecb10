// CSpawnProcess: the child's standard streams on pipes and descriptors.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "system/spawnprocess.h"

namespace {

// Process-wide part of the named-pipe names; names stay unique through the
// tick count and the retries, so it is not locked.
DWORD g_nPipeCounter;

HANDLE AsHandle(intptr_t n) { return reinterpret_cast<HANDLE>(n); }
intptr_t AsSlot(HANDLE h) { return reinterpret_cast<intptr_t>(h); }

// The parent's end must not reach a child: a child holding the write end of
// its own input never sees that input end.
void KeepInThisProcess(HANDLE h) { SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0); }

}  // namespace

HANDLE& CSpawnProcess::StdHandle(int nStream) {
  return nStream == 0 ? m_si.hStdInput : nStream == 1 ? m_si.hStdOutput : m_si.hStdError;
}

HANDLE CSpawnProcess::FdToOsHandle(int fd) {
  if (fd < 0) return INVALID_HANDLE_VALUE;
  return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

HANDLE CSpawnProcess::SetStdFd(int nStream, int fd) {
  HANDLE h = FdToOsHandle(fd);
  StdHandle(nStream) = h;
  m_si.dwFlags |= STARTF_USESTDHANDLES;
  return h;
}

HANDLE CSpawnProcess::SetStdInFd(int fd) { return SetStdFd(0, fd); }
HANDLE CSpawnProcess::SetStdOutFd(int fd) { return SetStdFd(1, fd); }
HANDLE CSpawnProcess::SetStdErrFd(int fd) { return SetStdFd(2, fd); }

int CSpawnProcess::ClosePipeHandle(intptr_t* pEnd) {
  if (*pEnd == -1) return 0;
  int result = CloseHandle(AsHandle(*pEnd));
  *pEnd = -1;
  return result;
}

int CSpawnProcess::ClosePipeFd(intptr_t* pEnd) {
  if (*pEnd == -1) return 0;
  int result = _close((int)*pEnd);
  *pEnd = -1;
  return result;
}

void CSpawnProcess::ClosePipes(int nMask) {
  for (int i = 0; i < 3; ++i) {
    if (!(nMask & (1 << i)) || !m_pfnClose[i]) continue;
    StdHandle(i) = INVALID_HANDLE_VALUE;
    m_pfnClose[i](&m_Std[i].nFirst);
    m_pfnClose[i](&m_Std[i].nSecond);
    m_pfnClose[i] = nullptr;
    if (m_Std[i].hConnect) {
      CloseHandle(m_Std[i].hConnect);
      m_Std[i].hConnect = nullptr;
    }
  }
}

// Once the child runs, this process has no use for the child's ends it
// owns; keeping them would hide the end of the child's output.
void CSpawnProcess::CloseChildEnds() {
  for (int i = 0; i < 3; ++i) {
    if (!m_pfnClose[i]) continue;
    bool bFd = m_pfnClose[i] == ClosePipeFd;
    m_pfnClose[i](bFd && i > 0 ? &m_Std[i].nSecond : &m_Std[i].nFirst);
    StdHandle(i) = INVALID_HANDLE_VALUE;
  }
}

int CSpawnProcess::CreatePipePair(HANDLE* phRead, HANDLE* phWrite, DWORD dwPipeFlags, int nStream, DWORD dwTimeout) {
  if (nStream < 0 || nStream > 2) return 0;
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  bool bInput = nStream == 0;
  if (!(dwPipeFlags & SPAWN_PIPE_NAMED)) {
    if (!CreatePipe(phRead, phWrite, &sa, dwPipeFlags & ~SPAWN_PIPE_OVERLAPPED)) return 0;
    KeepInThisProcess(bInput ? *phWrite : *phRead);
    return 1;
  }

  bool bOverlapped = (dwPipeFlags & SPAWN_PIPE_OVERLAPPED) != 0;
  DWORD dwBuffer = dwPipeFlags & ~(SPAWN_PIPE_NAMED | SPAWN_PIPE_OVERLAPPED);
  g_nPipeCounter = GetCurrentThreadId();
  for (int attempt = 0; attempt < 8; ++attempt, --g_nPipeCounter) {
    char name[40];
    std::snprintf(name, sizeof name, "\\\\.\\pipe\\SP_%08lX_%c", GetTickCount() + g_nPipeCounter, "IOE"[nStream]);
    DWORD dwOpen = (bInput ? PIPE_ACCESS_OUTBOUND : PIPE_ACCESS_INBOUND) | (bOverlapped ? FILE_FLAG_OVERLAPPED : 0);
    HANDLE hPipe = CreateNamedPipeA(name, dwOpen, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, dwBuffer,
                                    dwBuffer, dwTimeout, &sa);
    if (hPipe == INVALID_HANDLE_VALUE) continue;

    OVERLAPPED ov = {};
    if (bOverlapped) {
      HANDLE& hEvent = m_Std[nStream].hConnect;
      bool bCreated = !hEvent;
      if (bCreated) {
        hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
      } else {
        ResetEvent(hEvent);
      }
      ov.hEvent = hEvent;
      if (!ConnectNamedPipe(hPipe, &ov) && GetLastError() != ERROR_IO_PENDING) {
        CloseHandle(hPipe);
        if (bCreated) {
          CloseHandle(hEvent);
          hEvent = nullptr;
        }
        return 0;
      }
    }
    HANDLE hFile =
        CreateFileA(name, bInput ? GENERIC_READ : GENERIC_WRITE, 0, &sa, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (bOverlapped) {
      // The pending connect writes into ov: it must be over before ov goes.
      DWORD n;
      if (hFile == INVALID_HANDLE_VALUE) CancelIo(hPipe);
      GetOverlappedResult(hPipe, &ov, &n, TRUE);
    }
    if (hFile != INVALID_HANDLE_VALUE) {
      KeepInThisProcess(hPipe);
      *phRead = bInput ? hFile : hPipe;
      *phWrite = bInput ? hPipe : hFile;
      return 1;
    }
    CloseHandle(hPipe);
  }
  return 0;
}

int CSpawnProcess::Redirect(int nStream, HANDLE* phParent, DWORD dwPipeFlags, HANDLE* phChild, DWORD dwTimeout) {
  if (m_pfnClose[nStream]) ClosePipes(1 << nStream);
  HANDLE hRead, hWrite;
  if (!CreatePipePair(&hRead, &hWrite, dwPipeFlags, nStream, dwTimeout)) {
    *phParent = INVALID_HANDLE_VALUE;
    return 0;
  }
  HANDLE hChild = nStream == 0 ? hRead : hWrite;
  HANDLE hParent = nStream == 0 ? hWrite : hRead;
  m_Std[nStream].nFirst = AsSlot(hChild);
  m_Std[nStream].nSecond = AsSlot(hParent);
  StdHandle(nStream) = hChild;
  m_si.dwFlags |= STARTF_USESTDHANDLES;
  *phParent = hParent;
  if (phChild) *phChild = hChild;
  m_pfnClose[nStream] = phChild ? nullptr : ClosePipeHandle;
  return 1;
}

int CSpawnProcess::RedirectStdIn(HANDLE* phParent, DWORD dwPipeFlags, HANDLE* phChild, DWORD dwTimeout) {
  return Redirect(0, phParent, dwPipeFlags, phChild, dwTimeout);
}
int CSpawnProcess::RedirectStdOut(HANDLE* phParent, DWORD dwPipeFlags, HANDLE* phChild, DWORD dwTimeout) {
  return Redirect(1, phParent, dwPipeFlags, phChild, dwTimeout);
}
int CSpawnProcess::RedirectStdErr(HANDLE* phParent, DWORD dwPipeFlags, HANDLE* phChild, DWORD dwTimeout) {
  return Redirect(2, phParent, dwPipeFlags, phChild, dwTimeout);
}

int CSpawnProcess::RedirectFd(int nStream, int* pfdParent, unsigned nBufferSize, int* pfdChild) {
  if (m_pfnClose[nStream]) ClosePipes(1 << nStream);
  int fds[2];  // read end, write end
  if (_pipe(fds, nBufferSize, 0) != 0) {
    *pfdParent = -1;
    return 0;
  }
  int fdChild = nStream == 0 ? fds[0] : fds[1];
  int fdParent = nStream == 0 ? fds[1] : fds[0];
  KeepInThisProcess(FdToOsHandle(fdParent));
  m_Std[nStream].nFirst = fds[0];
  m_Std[nStream].nSecond = fds[1];
  StdHandle(nStream) = FdToOsHandle(fdChild);
  m_si.dwFlags |= STARTF_USESTDHANDLES;
  *pfdParent = fdParent;
  if (pfdChild) *pfdChild = fdChild;
  m_pfnClose[nStream] = pfdChild ? nullptr : ClosePipeFd;
  return 1;
}

int CSpawnProcess::RedirectStdInFd(int* pfdParent, unsigned nBufferSize, int* pfdChild) {
  return RedirectFd(0, pfdParent, nBufferSize, pfdChild);
}
int CSpawnProcess::RedirectStdOutFd(int* pfdParent, unsigned nBufferSize, int* pfdChild) {
  return RedirectFd(1, pfdParent, nBufferSize, pfdChild);
}
int CSpawnProcess::RedirectStdErrFd(int* pfdParent, unsigned nBufferSize, int* pfdChild) {
  return RedirectFd(2, pfdParent, nBufferSize, pfdChild);
}

HANDLE CSpawnProcess::GetHandle(int nIndex, int nSlot) const {
  if (nSlot < 0 || nSlot > 2) return nullptr;
  if (nIndex >= 0 && nIndex < 3) {
    const StdStream& s = m_Std[nIndex];
    return nSlot == 0 ? AsHandle(s.nFirst) : nSlot == 1 ? AsHandle(s.nSecond) : s.hConnect;
  }
  if (nIndex == 3) return nSlot == 0 ? m_pi.hProcess : nSlot == 1 ? m_pi.hThread : m_hCancelEvent;
  return nullptr;
}
