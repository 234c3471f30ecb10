// The program starts and shows its top-level window "Ostrova".
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "harness/window_util.h"

namespace {
// build\tests\app\app_tests.exe -> build\app\Ostrova.exe
std::string ProgramPath() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path);
  for (int up = 0; up < 3; ++up) p.resize(p.find_last_of("\\/"));
  return p + "\\app\\Ostrova.exe";
}

struct FoundWindow {
  DWORD pid;
  HWND hwnd;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lParam) {
  auto* f = reinterpret_cast<FoundWindow*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char title[64] = "";
  GetWindowTextA(hwnd, title, sizeof title);
  if (pid == f->pid && IsWindowVisible(hwnd) && std::string(title) == "Ostrova") {
    f->hwnd = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

TEST(Startup, ShowsItsMainWindowAndClosesCleanly) {
  std::string exe = ProgramPath();
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  std::string cmd = "\"" + exe + "\"";
  ASSERT_TRUE(CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) << exe;
  WaitForInputIdle(pi.hProcess, 10000);
  FoundWindow found = {pi.dwProcessId, nullptr};
  for (int i = 0; i < 200 && !found.hwnd; ++i) {
    EnumWindows(FindTopLevel, (LPARAM)&found);
    if (!found.hwnd) Sleep(50);
  }
  ASSERT_NE(found.hwnd, nullptr) << "a visible top-level window titled Ostrova";
  PostMessageA(found.hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  if (code == STILL_ACTIVE) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}
