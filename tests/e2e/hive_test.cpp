// End-to-end hive loaded through the prompts and unloaded.
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

bool EnablePrivilege(const char* name, bool on) {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES tp = {1};
  bool ok = LookupPrivilegeValueA(nullptr, name, &tp.Privileges[0].Luid) != FALSE;
  tp.Privileges[0].Attributes = on ? SE_PRIVILEGE_ENABLED : 0;
  ok = ok && AdjustTokenPrivileges(token, FALSE, &tp, sizeof tp, nullptr, nullptr) && GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return ok;
}

// A hive file saved from a fixture key, "Schlüssel laden" with the file
// typed into the open dialog and the key into the prompt: the pane shows the
// hive below HKEY_USERS; "Schlüssel entladen" proposes it and unloads it.
TEST_F(EndToEnd, HiveLoadedUnderUsersAndUnloaded) {
  ScratchKey scratch(Sub("Bienenstock"));
  const wchar_t honig[] = L"Honig \u20ac";
  SetW(scratch.path, L"Vorrat", REG_SZ, honig, sizeof honig);
  DWORD count = 7;
  SetW(scratch.path + "\\Wabe", L"Zellen", REG_DWORD, &count, sizeof count);
  const std::string file = TempFile("ostrova_e2e_hive");
  DeleteFileA(file.c_str());
  DeleteFileA((file + ".LOG").c_str());
  {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, scratch.path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_TRUE(EnablePrivilege("SeBackupPrivilege", true));
    LONG e = RegSaveKeyA(key, file.c_str(), nullptr);
    EnablePrivilege("SeBackupPrivilege", false);
    RegCloseKey(key);
    ASSERT_EQ(e, ERROR_SUCCESS);
  }
  const std::string name = "OstrovaE2EHive_" + std::to_string(GetCurrentProcessId());
  const std::string hive = "HKEY_USERS\\" + name;
  struct Unloader {
    std::string name;
    bool loaded = false;
    ~Unloader() {
      HKEY k;
      if (!loaded || RegOpenKeyExA(HKEY_USERS, name.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
      RegCloseKey(k);
      EnablePrivilege("SeRestorePrivilege", true);
      RegUnLoadKeyA(HKEY_USERS, name.c_str());
      EnablePrivilege("SeRestorePrivilege", false);
    }
  } unloader{name};

  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kE2EPath));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitUntil([&] { return pane.ComboText() == kE2EPath; }));
  app.Command(ID_LOAD_HIVE);
  HWND dlg = WaitForFileDialog(app, "Schl\xFCsselpfad laden");
  ASSERT_NE(dlg, nullptr) << "no open dialog";
  ASSERT_TRUE(ChooseFile(app, dlg, file));
  HWND prompt = WaitForTopLevel(app, "Schl\xFCssel einh\xE4ngen");
  ASSERT_NE(prompt, nullptr);
  HWND edit = GetDlgItem(prompt, kPromptEdit);
  // Under HKEY_CURRENT_USER the prompt proposes HKEY_USERS.
  EXPECT_EQ(TextOf(edit), "HKEY_USERS\\");
  ASSERT_TRUE(TypeInto(edit, hive));
  Shot(prompt, "regtools_hive_prompt");
  unloader.loaded = true;
  Click(GetDlgItem(prompt, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }));
  EXPECT_EQ(TopLevelOf(app, "Fehler"), nullptr) << "an error box";

  // The pane shows the hive: its tree item under HKEY_USERS, its values.
  EXPECT_TRUE(WaitUntil([&] { return pane.ComboText() == hive && pane.Names() == "(Standard),Vorrat"; }, 10000))
      << pane.ComboText() << " " << pane.Names();
  HTREEITEM users = pane.ChildNamed(nullptr, "HKEY_USERS");
  HTREEITEM item = pane.ChildNamed(users, name);
  EXPECT_NE(item, nullptr);
  EXPECT_EQ(CaretName(pane), name);
  wchar_t got[32] = L"";
  DWORD size = sizeof got;
  EXPECT_EQ(RegGetValueW(HKEY_USERS, Wide(name).c_str(), L"Vorrat", RRF_RT_REG_SZ, nullptr, got, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(got), honig);
  EXPECT_EQ(size, sizeof honig);
  Shot(app.Frame(), "regtools_hive_loaded");

  app.Command(ID_UNLOAD_HIVE);
  prompt = WaitForTopLevel(app, "Schl\xFCssel aush\xE4ngen");
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(prompt, kPromptEdit)), hive);  // the shown hive is proposed
  Click(GetDlgItem(prompt, IDOK));
  HWND box = WaitForTopLevel(app, "Information");
  ASSERT_NE(box, nullptr) << "no confirmation";
  EXPECT_EQ(TextOf(GetDlgItem(box, kMsgBoxText)), "Der Schl\xFCssel wurde erfolgreich ausgeh\xE4ng.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  HKEY gone;
  EXPECT_EQ(RegOpenKeyExA(HKEY_USERS, name.c_str(), 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
  ASSERT_TRUE(app.Close());
  DeleteFileA(file.c_str());
  DeleteFileA((file + ".LOG").c_str());
}

}  // namespace
