// CSpawnProcess: starts one child process at a time and keeps it under
// control: program resolution, up to 32 arguments, working directory,
// environment edits, window settings, standard streams on pipes, waiting
// with a cancel from another thread, the child's main window, termination.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdint>

// Start flags; bits 0-3 hold a show command.
const DWORD SPAWN_SHOWCMD_MASK = 0x0000000F;
const DWORD SPAWN_INTERPRETER = 0x10000000;  // run through the command interpreter
const DWORD SPAWN_NO_INHERIT = 0x20000000;   // no handles inherited (unless standard handles are set)
const DWORD SPAWN_SHOWCMD = 0x40000000;      // take the show command from bits 0-3
const DWORD SPAWN_WAIT = 0x80000000;         // wait for the end, up to m_dwWaitTime

// Pipe flags of the redirection members; the low bits give the buffer size.
const DWORD SPAWN_PIPE_NAMED = 0x20000000;
const DWORD SPAWN_PIPE_OVERLAPPED = 0x40000000;  // the parent's end of a named pipe

class CSpawnProcess {
 public:
  enum { MAX_ARGS = 32 };
  typedef int (*PipeCloseFn)(intptr_t* pEnd);

  CSpawnProcess();
  explicit CSpawnProcess(const char* pszProgram);
  ~CSpawnProcess();
  CSpawnProcess(const CSpawnProcess&) = delete;
  CSpawnProcess& operator=(const CSpawnProcess&) = delete;

  // Readies the object for another start; program, working directory,
  // window settings, wait time and process-id variable stay. With
  // bClosePipes the standard streams are closed and no longer used.
  void Reset(BOOL bClosePipes = TRUE);

  // "#name" is relative to the program's directory, "*name" is searched
  // along PATH (with "exe;bat;com" when it has no extension), "?name" is
  // taken as it is; any other name is made a full path.
  const char* SetProgram(const char* pszName);
  // "#dir" is relative to the program's directory; an existing file stands
  // for its directory. Stored as a full path without trailing separator.
  const char* SetWorkDir(const char* pszPath);
  const char* SetWorkDirN(const char* pchPath, int nLength);
  void SetWaitTime(DWORD dwMilliseconds) { m_dwWaitTime = dwMilliseconds; }

  // Arguments: each returns the index stored, or -1 (32 stored, empty text).
  // An argument with a blank or tab is quoted, and quotes and the
  // backslashes before them are escaped, so that the child reads it back
  // unchanged.
  int AddArg(const char* pchText, int nLength);
  int AddArgParts(const char* pchText, int nLength, const char* pchPrefix, int nPrefixLength, const char* pchSuffix,
                  int nSuffixLength);
  // Splits a command line at blanks and tabs ("..." keeps one part);
  // the index of the first argument stored, or -1.
  int AddArgLine(const char* pchText, int nLength = -1);
  // The same from a printf format; a text of 2048 bytes or more is refused.
  int AddArgsF(const char* pszFormat, ...);
  int AddArgsV(const char* pszFormat, va_list args);

  void SetShowCmd(int nCmdShow);
  RECT SetWindowRect(const RECT& rc);

  // Environment edits on a copy of the parent's block; a variable set twice
  // keeps the last value. SetEnvBlock takes a block from new[].
  void SetEnv(const char* pszName, const char* pszValue);
  void SetEnvInt(const char* pszName, int nValue);
  void SetEnvBlock(char* pEnvBlock);

  // Starting: Start sets the program (when not null), Run starts the one set
  // before. A format adds arguments as AddArgsV does. 1 when the child was
  // created; then the last error is 0, or ERROR_TIMEOUT when a waiting start
  // gave up (time-out, cancel) with the child still running.
  int Start(const char* pszProgram, DWORD dwFlags, const char* pszFormat = nullptr, ...);
  int Run(DWORD dwFlags, const char* pszFormat = nullptr, ...);
  int StartV(const char* pszProgram, DWORD dwFlags, const char* pszFormat, va_list args);

  // The command line and application name (MAX_PATH characters) a start
  // with these flags passes to the system; a block for delete[].
  char* MakeCommandLine(DWORD dwFlags, char* pszApplication) const;
  // The command interpreter for batch files.
  static int GetInterpreterPath(char* pszBuffer, int nSize);

  // Standard streams. The child's ends are closed in this process once the
  // child runs, so that the parent reading the child's output sees its end.
  HANDLE SetStdInFd(int fd);
  HANDLE SetStdOutFd(int fd);
  HANDLE SetStdErrFd(int fd);
  static HANDLE FdToOsHandle(int fd);
  // A new pipe for the stream; the parent's end goes to *phParent. With
  // phChild the caller owns both ends; else the object closes them.
  int RedirectStdIn(HANDLE* phParent, DWORD dwPipeFlags = 0, HANDLE* phChild = nullptr, DWORD dwTimeout = 0);
  int RedirectStdOut(HANDLE* phParent, DWORD dwPipeFlags = 0, HANDLE* phChild = nullptr, DWORD dwTimeout = 0);
  int RedirectStdErr(HANDLE* phParent, DWORD dwPipeFlags = 0, HANDLE* phChild = nullptr, DWORD dwTimeout = 0);
  int RedirectStdInFd(int* pfdParent, unsigned nBufferSize = 0, int* pfdChild = nullptr);
  int RedirectStdOutFd(int* pfdParent, unsigned nBufferSize = 0, int* pfdChild = nullptr);
  int RedirectStdErrFd(int* pfdParent, unsigned nBufferSize = 0, int* pfdChild = nullptr);
  // One pipe for stream nStream (0 input, 1 output, 2 error): anonymous, or
  // named "\\.\pipe\SP_%08X_%c" with SPAWN_PIPE_NAMED.
  int CreatePipePair(HANDLE* phRead, HANDLE* phWrite, DWORD dwPipeFlags, int nStream, DWORD dwTimeout);
  // Closes the object-owned pipes of the streams in the mask (1 in, 2 out, 4 err).
  void ClosePipes(int nMask);
  static int ClosePipeHandle(intptr_t* pEnd);
  static int ClosePipeFd(intptr_t* pEnd);
  // Index 0-2: a stream's slots (two ends, connect event); index 3: the
  // process, the thread, the cancel event.
  HANDLE GetHandle(int nIndex, int nSlot) const;

  // Running and ending.
  BOOL IsRunning();
  void Cancel();  // any thread
  BOOL WaitForExit(DWORD dwMilliseconds);
  BOOL WaitForInputIdle(DWORD dwMilliseconds);
  HWND FindMainWindow(int nTimeout);
  void ActivateMainWindow();
  LRESULT PostToWindow(UINT uMsg, WPARAM wParam, LPARAM lParam, int nTimeout = -1);
  LRESULT SendToWindow(UINT uMsg, WPARAM wParam, LPARAM lParam, int nTimeout = -1);
  // Ends the child; the handles stay for a waiting thread, which (or the
  // next IsRunning or start) reads the exit code and closes them.
  BOOL Terminate(UINT uExitCode);

  DWORD m_dwWaitTime;
  volatile LONG m_bCancel;
  BOOL m_bRunning;
  int m_nArgChars;
  int m_nArgs;
  char* m_pszArgs[MAX_ARGS];
  char m_szProgram[MAX_PATH];
  char m_szWorkDir[MAX_PATH];
  DWORD* m_pdwProcessId;
  DWORD m_dwExitCode;
  HWND m_hMainWnd;
  char* m_pEnvBlock;
  HANDLE volatile m_hCancelEvent;
  struct StdStream {
    intptr_t nFirst;   // handle forms: the child's end; descriptor forms: the read end
    intptr_t nSecond;  // handle forms: the parent's end; descriptor forms: the write end
    HANDLE hConnect;   // connect event of an overlapped named pipe
  } m_Std[3];
  PipeCloseFn m_pfnClose[3];
  PROCESS_INFORMATION m_pi;
  STARTUPINFOA m_si;

 private:
  int StoreArg(const char* const* ppch, const int* pnLength);
  int SplitArgs(const char* pchText, int nLength, bool bFormatted);
  HANDLE& StdHandle(int nStream);
  int Redirect(int nStream, HANDLE* phParent, DWORD dwPipeFlags, HANDLE* phChild, DWORD dwTimeout);
  int RedirectFd(int nStream, int* pfdParent, unsigned nBufferSize, int* pfdChild);
  HANDLE SetStdFd(int nStream, int fd);
  void CloseChildEnds();
  void CloseProcess(bool bReadExitCode);
  void FreeArgs();

  CRITICAL_SECTION m_csProcess;  // Terminate on one thread, the waiter closing the handles on another
};
