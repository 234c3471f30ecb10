// End-to-end outside registry editor: the RegJump stand-in and Wine's
// regedit.exe.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "e2e/driver/e2e_fixture.h"
#include "e2e/driver/scenario_util.h"
#include "harness/file_util.h"
#include "harness/window_util.h"
#include "res/resource.h"

namespace {
const char kRegeditApplet[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";

std::string BuildDir() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path);
  for (int up = 0; up < 3; ++up) p.resize(p.find_last_of("\\/"));
  return p;  // <build>\tests\e2e\e2e_tests.exe -> <build>
}

// "LastKey" of the system's editor, or "<missing>".
std::string LastKey() {
  char buf[1100] = "";
  DWORD size = sizeof buf;
  if (RegGetValueA(HKEY_CURRENT_USER, kRegeditApplet, "LastKey", RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
    return "<missing>";
  return buf;
}

// The top-level window of a regedit.exe process that is not in `before`.
HWND NewRegeditWindow(const std::vector<HWND>& before) {
  struct Search {
    const std::vector<HWND>* before;
    HWND found;
  } s = {&before, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) CALLBACK -> BOOL {
        auto* s = (Search*)lp;
        char cls[64] = "";
        GetClassNameA(hwnd, cls, sizeof cls);
        for (HWND old : *s->before)
          if (old == hwnd) return TRUE;
        if (strcmp(cls, "RegEdit_RegEdit") == 0 && IsWindowVisible(hwnd)) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      (LPARAM)&s);
  return s.found;
}

std::vector<HWND> RegeditWindows() {
  std::vector<HWND> all;
  EnumWindows(
      [](HWND hwnd, LPARAM lp) CALLBACK -> BOOL {
        char cls[64] = "";
        GetClassNameA(hwnd, cls, sizeof cls);
        if (strcmp(cls, "RegEdit_RegEdit") == 0) ((std::vector<HWND>*)lp)->push_back(hwnd);
        return TRUE;
      },
      (LPARAM)&all);
  return all;
}

// The editor's key and "LastKey" as they were, put back at the end.
struct AppletState {
  bool existed;
  std::string lastKey;
  AppletState() {
    HKEY k;
    existed = RegOpenKeyExA(HKEY_CURRENT_USER, kRegeditApplet, 0, KEY_READ, &k) == ERROR_SUCCESS;
    if (existed) RegCloseKey(k);
    lastKey = LastKey();
  }
  ~AppletState() {
    if (!existed) {
      RegDeleteKeyA(HKEY_CURRENT_USER, kRegeditApplet);
    } else if (lastKey == "<missing>") {
      RegDeleteKeyValueA(HKEY_CURRENT_USER, kRegeditApplet, "LastKey");
    } else {
      RegSetKeyValueA(HKEY_CURRENT_USER, kRegeditApplet, "LastKey", REG_SZ, lastKey.c_str(), (DWORD)lastKey.size() + 1);
    }
  }
};

// "RegEdit" starts RegJump.exe from ..\Diverse beside the program with the
// key in quotes and leaves "LastKey" alone; without it, it writes
// "LastKey" and starts the system's regedit.exe, which the test then closes.
TEST_F(EndToEnd, RegEditStartsRegJumpOrTheSystemsEditorAtTheKey) {
  AppletState applet;
  const char marker[] = "HKEY_LOCAL_MACHINE\\Vorher";
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kRegeditApplet, "LastKey", REG_SZ, marker, sizeof marker),
            ERROR_SUCCESS);
  const std::string diverse = BuildDir() + "\\Diverse";
  const std::string jump = diverse + "\\RegJump.exe", args = diverse + "\\regjump_args.txt";
  struct Cleanup {
    std::string jump, args, dir;
    ~Cleanup() {
      DeleteFileA(jump.c_str());
      DeleteFileA(args.c_str());
      RemoveDirectoryA(dir.c_str());
    }
  } cleanup{jump, args, diverse};
  CreateDirectoryA(diverse.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((BuildDir() + "\\tests\\app\\regjump_stub.exe").c_str(), jump.c_str(), FALSE));
  DeleteFileA(args.c_str());

  const std::string path = SubPath("\xE4\xF6\xFC\xDF\x80");
  OstrovaProcess app;
  ASSERT_TRUE(app.Start("-1:" + path));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitUntil([&] { return pane.ComboText() == path; }));
  EXPECT_NE(app.ToolBarState(ID_REGEDIT) & TBSTATE_ENABLED, 0);
  app.Command(ID_REGEDIT);
  std::string got;
  EXPECT_TRUE(WaitUntil([&] { return !(got = ReadFileBytes(args)).empty(); }, 10000));
  EXPECT_EQ(got, "1|" + path);  // one argument: the path, unquoted by the runtime
  EXPECT_EQ(LastKey(), marker);

  // Without RegJump: "LastKey", then Wine's regedit.exe. The stub's file
  // stays in use until its process has ended, a little after its answer.
  ASSERT_TRUE(WaitUntil([&] { return DeleteFileA(jump.c_str()) != 0; }, 10000));
  // Every editor window this start brings is closed again, however the
  // scenario ends: asked first, ended by its process handle if it stays.
  struct EditorCloser {
    std::vector<HWND> before = RegeditWindows();
    ~EditorCloser() {
      for (HWND editor; (editor = NewRegeditWindow(before)) != nullptr;) {
        before.push_back(editor);
        DWORD pid = 0;
        GetWindowThreadProcessId(editor, &pid);
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
        if (!process) continue;
        PostMessageA(editor, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) {
          ADD_FAILURE() << "regedit did not close";
          TerminateProcess(process, 1);
          WaitForSingleObject(process, 5000);
        }
        CloseHandle(process);
      }
    }
  } closer;
  app.Command(ID_REGEDIT);
  HWND editor = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (editor = NewRegeditWindow(closer.before)) != nullptr; }, 15000)) << "no regedit";
  EXPECT_EQ(LastKey(), path);
  if (editor) {
    DWORD pid = 0;
    GetWindowThreadProcessId(editor, &pid);
    EXPECT_NE(pid, GetProcessId(app.Process()));
    Shot(editor, "regtools_regedit");
  }
  ASSERT_TRUE(app.Close());
}

}  // namespace
