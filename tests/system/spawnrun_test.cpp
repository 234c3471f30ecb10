#include <gtest/gtest.h>

#include <io.h>
#include <process.h>

#include <cstring>
#include <string>

#include "path_test_util.h"
#include "system/programpath.h"
#include "system/spawnprocess.h"

namespace {

// The helper child beside the test program, as a console or a GUI program.
std::string Child(bool bGui = false) {
  char dir[MAX_PATH];
  GetProgramDirectory(dir, MAX_PATH);
  return std::string(dir) + (bGui ? "spawn_child_gui.exe" : "spawn_child.exe");
}

// Everything up to the pipe's end; a pipe that does not end within 10
// seconds (someone still holds its write end) gives "<no end>".
std::string ReadAll(HANDLE h) {
  std::string out;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
    DWORD avail = 0;
    if (!PeekNamedPipe(h, nullptr, 0, nullptr, &avail, nullptr)) return out;
    if (!avail) {
      Sleep(5);
      continue;
    }
    std::string buf(avail, 0);
    DWORD n = 0;
    if (!ReadFile(h, &buf[0], avail, &n, nullptr)) return out;
    out.append(buf, 0, n);
  }
  return out + "<no end>";
}

std::string ReadAllFd(int fd) {
  std::string out;
  char buf[1024];
  int n;
  while ((n = _read(fd, buf, sizeof buf)) > 0) out.append(buf, n);
  return out;
}

// Reads an overlapped handle up to its end, waiting at most 10 seconds.
std::string ReadAllOverlapped(HANDLE h) {
  std::string out;
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  for (DWORD start = GetTickCount();;) {
    char buf[1024];
    OVERLAPPED ov = {};
    ov.hEvent = event;
    DWORD n = 0;
    if (!ReadFile(h, buf, sizeof buf, nullptr, &ov) && GetLastError() != ERROR_IO_PENDING) break;
    if (WaitForSingleObject(event, 10000 - (GetTickCount() - start)) != WAIT_OBJECT_0) {
      CancelIo(h);
      GetOverlappedResult(h, &ov, &n, TRUE);
      out += "<no end>";
      break;
    }
    if (!GetOverlappedResult(h, &ov, &n, TRUE) || !n) break;
    out.append(buf, n);
  }
  CloseHandle(event);
  return out;
}

// Output of the child started with the format, through an anonymous pipe.
std::string RunCaptured(CSpawnProcess& sp, const char* program, const char* format, ...) {
  HANDLE out;
  if (!sp.RedirectStdOut(&out)) return "<no pipe>";
  va_list args;
  va_start(args, format);
  int started = sp.StartV(program, 0, format, args);
  va_end(args);
  if (!started) return "<not started>";
  std::string text = ReadAll(out);
  sp.WaitForExit(10000);
  return text;
}

std::string TitleOf(HWND hwnd) {
  char text[64];
  return GetWindowTextA(hwnd, text, sizeof text) ? text : "";
}
std::string ClassOf(HWND hwnd) {
  char text[64];
  return GetClassNameA(hwnd, text, sizeof text) ? text : "";
}

// Ends a child the test left running.
void EndChild(CSpawnProcess& sp) {
  HANDLE h = sp.GetHandle(3, 0);
  if (h && sp.Terminate(1)) WaitForSingleObject(h, 10000);
  sp.IsRunning();
}

unsigned __stdcall CancelLater(void* p) {
  Sleep(300);
  static_cast<CSpawnProcess*>(p)->Cancel();
  return 0;
}

// A start that waits for a long child, on a thread of its own.
struct WaitingStart {
  CSpawnProcess sp;
  DWORD pid = 0;
  int result = -1;
  DWORD error = 0;
};

unsigned __stdcall StartAndWait(void* p) {
  WaitingStart* s = static_cast<WaitingStart*>(p);
  s->result = s->sp.Start(Child().c_str(), SPAWN_WAIT, "sleep 20000");
  s->error = GetLastError();
  return 0;
}

}  // namespace

TEST(SpawnRun, NoProgram) {
  CSpawnProcess sp;
  SetLastError(0);
  EXPECT_EQ(sp.Run(0), 0);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(sp.Start("?", 0), 0) << "an empty name";
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
  SetLastError(0);
  EXPECT_EQ(sp.Start("?C:\\ostrova\\missing.exe", 0), 0);
  EXPECT_NE(GetLastError(), 0u) << "the system's error";
  EXPECT_EQ(sp.GetHandle(3, 0), nullptr);
}

TEST(SpawnRun, HiddenStartWaitsForTheExitCode) {
  CSpawnProcess sp;
  DWORD pid = 123;
  sp.m_pdwProcessId = &pid;
  SetLastError(99);
  EXPECT_EQ(sp.Start(Child().c_str(), SPAWN_SHOWCMD | SPAWN_WAIT, "exit %d", 7), 1);
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(sp.m_dwExitCode, 7u);
  EXPECT_EQ(sp.m_bRunning, 0);
  EXPECT_EQ(pid, 0u) << "cleared when the end was seen";
  EXPECT_EQ(sp.GetHandle(3, 0), nullptr);

  sp.Reset();
  EXPECT_EQ(RunCaptured(sp, nullptr, "show"), "flags=101 show=0") << "hidden: show command 0";
  EXPECT_EQ(sp.m_dwExitCode, 0u);
}

TEST(SpawnRun, CancelFromAnotherThread) {
  CSpawnProcess sp;
  HANDLE thread = (HANDLE)_beginthreadex(nullptr, 0, CancelLater, &sp, 0, nullptr);
  DWORD start = GetTickCount();
  EXPECT_EQ(sp.Start(Child().c_str(), SPAWN_WAIT, "sleep 20000"), 1);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_TIMEOUT);
  EXPECT_LT(GetTickCount() - start, 10000u);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_TRUE(sp.IsRunning()) << "the child keeps running";
  EXPECT_EQ(sp.WaitForExit(0), 0) << "the cancel stays until the next start";
  EXPECT_NE(sp.GetHandle(3, 2), nullptr) << "the cancel event";
  EndChild(sp);
  EXPECT_FALSE(sp.IsRunning());
}

TEST(SpawnRun, CancelBeforeWaiting) {
  CSpawnProcess sp;
  ASSERT_EQ(sp.Start(Child().c_str(), 0, "exit 3"), 1);
  sp.Cancel();
  EXPECT_EQ(sp.WaitForExit(10000), 0);
  EXPECT_EQ(sp.WaitForInputIdle(INFINITE), 0);
  // A start clears it.
  EXPECT_EQ(sp.Start(nullptr, SPAWN_WAIT), 1);
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(sp.m_dwExitCode, 3u);
}

TEST(SpawnRun, ArgumentsReachTheChildUnchanged) {
  CSpawnProcess sp(Child().c_str());
  const char* args[] = {"args", "a b", "x\"y", "trail\\", "sp ace\\", "\\\\srv\\share\\", "\"", "tab\there"};
  for (const char* a : args) sp.AddArg(a, (int)std::strlen(a));
  EXPECT_EQ(RunCaptured(sp, nullptr, nullptr),
            "[a b]\n[x\"y]\n[trail\\]\n[sp ace\\]\n[\\\\srv\\share\\]\n[\"]\n[tab\there]\n");
  sp.Reset();
  EXPECT_EQ(RunCaptured(sp, nullptr, "args \"%s\" %d", "one two", 3), "[one two]\n[3]\n");
}

TEST(SpawnRun, BatchFileThroughTheInterpreter) {
  ScratchDir dir;
  dir.WriteFile("run child.bat", "@\"" + Child() + "\" args %*\r\n");
  CSpawnProcess sp;
  EXPECT_EQ(RunCaptured(sp, (dir / "run child.bat").c_str(), "plain"), "[plain]\n");
  sp.Reset();
  EXPECT_EQ(RunCaptured(sp, nullptr, "\"a b\" c"), "[a b]\n[c]\n");
  // A program run through the interpreter on request.
  sp.Reset();
  EXPECT_EQ(RunCaptured(sp, Child().c_str(), nullptr), "");
  sp.Reset();
  HANDLE out;
  ASSERT_TRUE(sp.RedirectStdOut(&out));
  ASSERT_EQ(sp.Start(Child().c_str(), SPAWN_INTERPRETER, "args \"d e\""), 1);
  EXPECT_EQ(ReadAll(out), "[d e]\n");
  EXPECT_TRUE(sp.WaitForExit(10000));
}

TEST(SpawnRun, InputAndOutputPipes) {
  CSpawnProcess sp;
  HANDLE in, out;
  ASSERT_TRUE(sp.RedirectStdIn(&in));
  ASSERT_TRUE(sp.RedirectStdOut(&out));
  ASSERT_EQ(sp.Start(Child().c_str(), 0, "echo"), 1);
  DWORD n;
  ASSERT_TRUE(WriteFile(in, "hello", 5, &n, nullptr));
  sp.ClosePipes(1);  // the child sees the end of its input
  EXPECT_TRUE(sp.WaitForExit(10000)) << "the child must not hold its own input's write end";
  EXPECT_EQ(ReadAll(out), "hello");

  // Error output, and the environment.
  sp.Reset();
  HANDLE err;
  ASSERT_TRUE(sp.RedirectStdErr(&err));
  ASSERT_EQ(sp.Start(nullptr, 0, "stderr oops"), 1);
  EXPECT_EQ(ReadAll(err), "oops");
  sp.Reset();
  sp.SetEnv("OSTROVA_SPAWN", "v1");
  EXPECT_EQ(RunCaptured(sp, nullptr, "env OSTROVA_SPAWN"), "v1");
  sp.Reset();
  EXPECT_EQ(RunCaptured(sp, nullptr, "env OSTROVA_SPAWN"), "<unset>") << "Reset forgets the environment";
}

TEST(SpawnRun, NamedPipes) {
  CSpawnProcess sp(Child().c_str());
  HANDLE out;
  ASSERT_TRUE(sp.RedirectStdOut(&out, SPAWN_PIPE_NAMED));
  EXPECT_EQ(sp.GetHandle(1, 2), nullptr);
  char info[512];
  if (GetFileInformationByHandleEx(out, FileNameInfo, info, sizeof info)) {
    auto* name = reinterpret_cast<FILE_NAME_INFO*>(info);
    std::wstring text(name->FileName, name->FileNameLength / 2);
    EXPECT_EQ(text.substr(text.size() - 2), L"_O") << Narrow(text);
    EXPECT_EQ(text.substr(0, 4), L"\\SP_") << Narrow(text);
  }
  ASSERT_EQ(sp.Run(0, "args named"), 1);
  EXPECT_EQ(ReadAll(out), "[named]\n");
  EXPECT_TRUE(sp.WaitForExit(10000));

  sp.Reset();
  ASSERT_TRUE(sp.RedirectStdOut(&out, SPAWN_PIPE_NAMED | SPAWN_PIPE_OVERLAPPED));
  HANDLE event = sp.GetHandle(1, 2);
  EXPECT_NE(event, nullptr) << "the connect event stays in the record";
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0) << "connected";
  ASSERT_EQ(sp.Run(0, "args overlapped"), 1);
  EXPECT_EQ(ReadAllOverlapped(out), "[overlapped]\n");
  EXPECT_TRUE(sp.WaitForExit(10000));

  // Input through a named pipe.
  sp.Reset();
  HANDLE in;
  ASSERT_TRUE(sp.RedirectStdIn(&in, SPAWN_PIPE_NAMED));
  ASSERT_TRUE(sp.RedirectStdOut(&out));
  ASSERT_EQ(sp.Run(0, "echo"), 1);
  DWORD n;
  WriteFile(in, "pipe", 4, &n, nullptr);
  sp.ClosePipes(1);
  EXPECT_TRUE(sp.WaitForExit(10000));
  EXPECT_EQ(ReadAll(out), "pipe");
}

TEST(SpawnRun, DescriptorsAndCallerOwnedEnds) {
  CSpawnProcess sp(Child().c_str());
  int fd = -1;
  ASSERT_TRUE(sp.RedirectStdOutFd(&fd, 4096));
  ASSERT_GE(fd, 0);
  ASSERT_EQ(sp.Run(0, "args fd"), 1);
  EXPECT_EQ(ReadAllFd(fd), "[fd]\n");
  EXPECT_TRUE(sp.WaitForExit(10000));
  sp.Reset();
  EXPECT_EQ(sp.GetHandle(1, 0), (HANDLE)-1);

  // The caller owns both ends: ClosePipes leaves them.
  HANDLE parent, child;
  ASSERT_TRUE(sp.RedirectStdOut(&parent, 0, &child));
  sp.ClosePipes(2);
  DWORD flags;
  EXPECT_TRUE(GetHandleInformation(parent, &flags));
  EXPECT_TRUE(GetHandleInformation(child, &flags));
  EXPECT_EQ(sp.m_si.hStdOutput, child);
  ASSERT_EQ(sp.Run(0, "args own"), 1);
  CloseHandle(child);
  EXPECT_EQ(ReadAll(parent), "[own]\n");
  CloseHandle(parent);
  EXPECT_TRUE(sp.WaitForExit(10000));

  EXPECT_EQ(CSpawnProcess::FdToOsHandle(-1), INVALID_HANDLE_VALUE);
  EXPECT_EQ(CSpawnProcess::FdToOsHandle(5000), INVALID_HANDLE_VALUE);
}

TEST(SpawnRun, WorkingDirectory) {
  ScratchDir dir;
  CSpawnProcess sp(Child().c_str());
  sp.SetWorkDir(dir.Path().c_str());
  EXPECT_EQ(RunCaptured(sp, nullptr, "cwd"), dir.Path().substr(0, dir.Path().size() - 1));
  // A directory that does not exist leaves the parent's.
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cwd);
  sp.Reset();
  sp.SetWorkDir((dir / "missing").c_str());
  EXPECT_EQ(RunCaptured(sp, nullptr, "cwd"), cwd);
}

TEST(SpawnRun, HandlesWhileRunning) {
  CSpawnProcess sp;
  ASSERT_EQ(sp.Start(Child().c_str(), 0, "sleep 300"), 1);
  EXPECT_NE(sp.GetHandle(3, 0), nullptr);
  EXPECT_NE(sp.GetHandle(3, 1), nullptr);
  EXPECT_TRUE(sp.IsRunning());
  EXPECT_EQ(sp.PostToWindow(WM_NULL, 0, 0), 0) << "no main window";
  EXPECT_TRUE(sp.WaitForExit(10000));
  EXPECT_EQ(sp.GetHandle(3, 0), nullptr);
  EXPECT_FALSE(sp.IsRunning());
  EXPECT_EQ(sp.Terminate(1), 0) << "no child";

  // A new start forgets the old child without ending it.
  sp.Reset();
  ASSERT_EQ(sp.Start(nullptr, 0, "sleep 20000"), 1);
  DWORD oldPid = sp.m_pi.dwProcessId;
  ASSERT_EQ(sp.Run(0), 1);
  EXPECT_NE(sp.m_pi.dwProcessId, oldPid);
  EndChild(sp);
  HANDLE old = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, oldPid);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(WaitForSingleObject(old, 0), (DWORD)WAIT_TIMEOUT);
  TerminateProcess(old, 1);
  WaitForSingleObject(old, 10000);
  CloseHandle(old);
}

// Terminate ends the child only; whoever sees the end reads the exit code
// and closes the handles.
TEST(SpawnRun, TerminateLeavesTheHandles) {
  CSpawnProcess sp;
  ASSERT_EQ(sp.Start(Child().c_str(), 0, "sleep 20000"), 1);
  HANDLE process = sp.GetHandle(3, 0);
  EXPECT_EQ(sp.Terminate(9), 1);
  EXPECT_EQ(sp.GetHandle(3, 0), process);
  EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
  EXPECT_FALSE(sp.IsRunning());
  EXPECT_EQ(sp.GetHandle(3, 0), nullptr);
  EXPECT_EQ(sp.m_dwExitCode, 9u);
}

TEST(SpawnRun, TerminateDuringAWait) {
  WaitingStart shared;
  shared.sp.m_pdwProcessId = &shared.pid;
  HANDLE thread = (HANDLE)_beginthreadex(nullptr, 0, StartAndWait, &shared, 0, nullptr);
  for (int i = 0; i < 500 && !*(volatile DWORD*)&shared.pid; ++i) Sleep(10);
  ASSERT_NE(shared.pid, 0u);
  EXPECT_EQ(shared.sp.Terminate(5), 1);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(shared.result, 1);
  EXPECT_EQ(shared.error, 0u) << "the waiter saw the end";
  EXPECT_EQ(shared.sp.m_dwExitCode, 5u);
  EXPECT_EQ(shared.sp.GetHandle(3, 0), nullptr) << "the waiter closed the handles";
}

TEST(SpawnRun, MainWindow) {
  CSpawnProcess sp(Child(true).c_str());
  ASSERT_EQ(sp.Run(0, "window \"Ostrova spawn test\""), 1);
  HWND hwnd = sp.FindMainWindow(10000);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(TitleOf(hwnd), "Ostrova spawn test");
  EXPECT_EQ(ClassOf(hwnd), "OstrovaSpawnChild");
  EXPECT_EQ(sp.FindMainWindow(-1), hwnd) << "remembered";
  sp.ActivateMainWindow();
  EXPECT_EQ(sp.SendToWindow(WM_APP + 1, 21, 0), 42);
  EXPECT_NE(sp.PostToWindow(WM_APP, 6, 0), 0);
  EXPECT_TRUE(sp.WaitForExit(10000));
  EXPECT_EQ(sp.m_dwExitCode, 6u);
  EXPECT_EQ(sp.m_hMainWnd, nullptr);
  EXPECT_EQ(sp.PostToWindow(WM_APP, 6, 0), 0) << "no child";
}

// A console program has no input-idle state; the search still waits for
// its window up to the time-out.
TEST(SpawnRun, MainWindowOfAConsoleProgram) {
  CSpawnProcess sp(Child().c_str());
  ASSERT_EQ(sp.Run(0, "window console"), 1);
  HWND hwnd = sp.FindMainWindow(10000);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(TitleOf(hwnd), "console");
  EXPECT_NE(sp.PostToWindow(WM_APP, 2, 0), 0);
  EXPECT_TRUE(sp.WaitForExit(10000));
  EXPECT_EQ(sp.m_dwExitCode, 2u);
}

// Only tooltip and input-method windows: the process test alone finds the
// first of them in the system's window order.
TEST(SpawnRun, MainWindowFallsBackToAnyWindowOfTheChild) {
  CSpawnProcess sp(Child(true).c_str());
  ASSERT_EQ(sp.Run(0, "tooltip"), 1);
  ASSERT_TRUE(sp.WaitForInputIdle(10000));
  HWND hwnd = sp.FindMainWindow(-1);
  ASSERT_NE(hwnd, nullptr);
  HWND first = nullptr;
  for (HWND h = FindWindowExA(nullptr, nullptr, nullptr, nullptr); h && !first;
       h = FindWindowExA(nullptr, h, nullptr, nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == sp.m_pi.dwProcessId) first = h;
  }
  EXPECT_EQ(hwnd, first);
  std::string cls = ClassOf(hwnd);
  EXPECT_TRUE(_stricmp(cls.c_str(), "tooltips_class32") == 0 || _stricmp(cls.c_str(), "IME") == 0) << cls;
  EndChild(sp);
}
