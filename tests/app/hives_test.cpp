// Hive paths and their checks, loading a saved fixture under HKEY_USERS and
// unloading it, and the start of RegJump.exe beside the program.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/hives.h"
#include "system/sysqueries.h"
#include "harness/registry_util.h"
#include "harness/window_util.h"

namespace {

TEST(HivePaths, Checks) {
  struct Case {
    const char* text;
    int check;
    HKEY root;
    const char* sub;
  } cases[] = {
      {"HKEY_USERS\\", kHiveNoSubkey, nullptr, nullptr},
      {"HKEY_USERS", kHiveNoSubkey, nullptr, nullptr},
      {"HKLM\\a\\b", kHiveTooDeep, nullptr, nullptr},
      {"HKEY_USERS\\a/b", kHiveTooDeep, nullptr, nullptr},
      {"HKCU\\x", kHiveWrongRoot, nullptr, nullptr},
      {"HKEY_CURRENT_USER\\x", kHiveWrongRoot, nullptr, nullptr},
      {"Software\\x", kHiveWrongRoot, nullptr, nullptr},
      {"HKU\\x", kHiveWrongRoot, nullptr, nullptr},
      {"HKLM\\x", kHivePathOk, HKEY_LOCAL_MACHINE, "x"},
      {"hklm\\Probe", kHivePathOk, HKEY_LOCAL_MACHINE, "Probe"},
      {"HKEY_USERS\\Test Hive", kHivePathOk, HKEY_USERS, "Test Hive"},
      {"users\\t", kHivePathOk, HKEY_USERS, "t"},
      {"MACHINE/t", kHivePathOk, HKEY_LOCAL_MACHINE, "t"},
  };
  for (const Case& c : cases) {
    HKEY root = nullptr;
    CString sub;
    EXPECT_EQ(CheckHivePath(c.text, &root, &sub), c.check) << c.text;
    if (c.check == kHivePathOk) {
      EXPECT_EQ(root, c.root) << c.text;
      EXPECT_STREQ((const char*)sub, c.sub) << c.text;
    }
  }
  EXPECT_STREQ((const char*)NormaliseRegRoot("HKCC\\System"), "HKEY_CURRENT_CONFIG\\System");
  EXPECT_STREQ((const char*)NormaliseRegRoot("HKLMX\\a"), "HKLMX\\a");
  EXPECT_STREQ((const char*)NormaliseRegRoot("CLASSES_ROOT"), "HKEY_CLASSES_ROOT");
}

TEST(HivePaths, Proposals) {
  EXPECT_STREQ((const char*)ProposeHivePath("HKEY_CURRENT_USER", false), "HKEY_USERS\\");
  EXPECT_STREQ((const char*)ProposeHivePath("HKEY_LOCAL_MACHINE\\SOFTWARE", false), "HKEY_LOCAL_MACHINE\\");
  EXPECT_STREQ((const char*)ProposeHivePath("hkey_users", false), "hkey_users\\");
  EXPECT_STREQ((const char*)ProposeHivePath("HKEY_USERS\\Probe", true), "HKEY_USERS\\Probe");
  EXPECT_STREQ((const char*)ProposeHivePath("HKEY_CLASSES_ROOT\\x", true), "HKEY_USERS\\");
  EXPECT_STREQ((const char*)ProposeHivePath("", true), "HKEY_USERS\\");
}

std::string TempFile(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name + std::to_string(GetCurrentProcessId());
}

TEST(Hives, SaveLoadUnderUsersAndUnload) {
  TestRegistryKey key;
  const char data[] = "aus der Datei";
  ASSERT_EQ(RegSetValueExA(key.Handle(), "Probe", 0, REG_SZ, (const BYTE*)data, sizeof data), ERROR_SUCCESS);
  HKEY sub;
  ASSERT_EQ(RegCreateKeyA(key.Handle(), "Unter", &sub), ERROR_SUCCESS);
  RegCloseKey(sub);
  std::string file = TempFile("ostrova_hive_");
  DeleteFileA(file.c_str());
  HANDLE token;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
  TOKEN_PRIVILEGES tp = {1};
  LookupPrivilegeValueA(nullptr, "SeBackupPrivilege", &tp.Privileges[0].Luid);
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  AdjustTokenPrivileges(token, FALSE, &tp, sizeof tp, nullptr, nullptr);
  LONG saved = RegSaveKeyA(key.Handle(), file.c_str(), nullptr);
  tp.Privileges[0].Attributes = 0;
  AdjustTokenPrivileges(token, FALSE, &tp, sizeof tp, nullptr, nullptr);
  CloseHandle(token);
  ASSERT_EQ(saved, ERROR_SUCCESS);

  std::string name = "OstrovaTestHive_" + std::to_string(GetCurrentProcessId());
  EXPECT_FALSE(IsOwnHive(HKEY_USERS, name.c_str()));
  ASSERT_EQ(LoadHive(HKEY_USERS, name.c_str(), file.c_str()), ERROR_SUCCESS);
  EXPECT_TRUE(IsOwnHive(HKEY_USERS, name.c_str()));
  {
    HKEY loaded;
    ASSERT_EQ(RegOpenKeyExA(HKEY_USERS, name.c_str(), 0, KEY_READ, &loaded), ERROR_SUCCESS);
    char buf[64] = "";
    DWORD cb = sizeof buf;
    EXPECT_EQ(RegQueryValueExA(loaded, "Probe", nullptr, nullptr, (BYTE*)buf, &cb), ERROR_SUCCESS);
    EXPECT_STREQ(buf, data);
    HKEY unter;
    EXPECT_EQ(RegOpenKeyExA(loaded, "Unter", 0, KEY_READ, &unter), ERROR_SUCCESS);
    RegCloseKey(unter);
    // No handle may stay open inside the hive when it is unloaded.
    RegCloseKey(loaded);
  }
  EXPECT_EQ(UnloadHive(HKEY_USERS, name.c_str()), ERROR_SUCCESS);
  EXPECT_FALSE(IsOwnHive(HKEY_USERS, name.c_str()));
  HKEY gone;
  EXPECT_NE(RegOpenKeyExA(HKEY_USERS, name.c_str(), 0, KEY_READ, &gone), ERROR_SUCCESS);
  // A hive file that does not exist is refused.
  EXPECT_NE(LoadHive(HKEY_USERS, name.c_str(), (file + ".fehlt").c_str()), ERROR_SUCCESS);
  EXPECT_FALSE(IsOwnHive(HKEY_USERS, name.c_str()));
  DeleteFileA(file.c_str());
  DeleteFileA((file + ".LOG").c_str());
}

TEST(OutsideEditor, RegJumpGetsTheQuotedPath) {
  char exe[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  while (n && exe[n - 1] != '\\') --n;
  exe[n] = 0;
  std::string base = TempFile("ostrova_regjump_");
  std::string prog = base + "\\Prog\\", diverse = base + "\\Diverse\\";
  CreateDirectoryA(base.c_str(), nullptr);
  CreateDirectoryA(prog.c_str(), nullptr);
  CreateDirectoryA(diverse.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((std::string(exe) + "regjump_stub.exe").c_str(), (diverse + "RegJump.exe").c_str(), FALSE));

  HKEY applet;
  bool appletExisted = RegOpenKeyExA(HKEY_CURRENT_USER, kRegeditAppletKey, 0, KEY_READ, &applet) == ERROR_SUCCESS;
  char lastBefore[1024] = "";
  if (appletExisted) {
    DWORD cb = sizeof lastBefore;
    RegQueryValueExA(applet, "LastKey", nullptr, nullptr, (BYTE*)lastBefore, &cb);
  }

  const char* path = "HKEY_CURRENT_USER\\Software\\Ma\xDF mit Leerzeichen";
  EXPECT_EQ(StartOutsideRegistryEditor((HWND)INVALID_HANDLE_VALUE, path, prog.c_str()), kRegJumpStarted);
  std::string out = diverse + "regjump_args.txt";
  std::string got;
  for (int i = 0; i < 500 && got.empty(); ++i) {
    HANDLE f = CreateFileA(out.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
      char buf[512] = "";
      DWORD r = 0;
      ReadFile(f, buf, sizeof buf - 1, &r, nullptr);
      got.assign(buf, r);
      CloseHandle(f);
    } else {
      Sleep(10);
    }
  }
  EXPECT_EQ(got, std::string("1|") + path);
  // RegJump's start leaves regedit's key alone.
  if (appletExisted) {
    char lastAfter[1024] = "";
    DWORD cb = sizeof lastAfter;
    RegQueryValueExA(applet, "LastKey", nullptr, nullptr, (BYTE*)lastAfter, &cb);
    EXPECT_STREQ(lastAfter, lastBefore);
    RegCloseKey(applet);
  } else {
    // And writing "LastKey" does not make the key.
    EXPECT_FALSE(WriteRegeditLastKey(path));
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kRegeditAppletKey, 0, KEY_READ, &applet), ERROR_SUCCESS);
  }
  Sleep(50);
  DeleteFileA(out.c_str());
  DeleteFileA((diverse + "RegJump.exe").c_str());
  RemoveDirectoryA(diverse.c_str());
  RemoveDirectoryA(prog.c_str());
  RemoveDirectoryA(base.c_str());
}

}  // namespace

namespace {

// Answers the dialogs of one command in turn from a second thread: each
// step waits for a dialog of its title, may take a picture, and posts its
// command.
struct DialogStep {
  const char* title;
  WPARAM command;
  const char* png;
  std::string seen;  // the prompt's edit or the box's text
};

void AnswerDialogs(std::vector<DialogStep>* steps) {
  for (DialogStep& s : *steps) {
    HWND dlg = nullptr;
    for (int i = 0; i < 500 && !dlg; ++i) {
      dlg = FindWindowA("#32770", s.title);
      if (!dlg) Sleep(10);
    }
    if (!dlg) return;
    Sleep(100);
    char buf[512] = "";
    HWND edit = FindWindowExA(dlg, nullptr, "Edit", nullptr);
    if (edit)
      GetWindowTextA(edit, buf, sizeof buf);
    else
      GetDlgItemTextA(dlg, 0xFFFF, buf, sizeof buf);
    s.seen = buf;
    if (s.png) WindowCapture::FromScreen(dlg).SavePng(ScreenshotPath(s.png).c_str());
    PostMessageA(dlg, WM_COMMAND, s.command, 0);
    for (int i = 0; i < 200 && IsWindow(dlg); ++i) Sleep(10);
  }
}

TEST(Hives, UnloadAsksBeforeAKeyItDidNotLoad) {
  // Some systems delete a key that is no hive when it is unloaded: the
  // command asks first, and No keeps the key.
  std::string name = "OstrovaNoHive_" + std::to_string(GetCurrentProcessId());
  HKEY k;
  if (RegCreateKeyExA(HKEY_USERS, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS)
    GTEST_SKIP() << "no key can be made below HKEY_USERS";
  RegCloseKey(k);
  std::string path = "HKEY_USERS\\" + name;
  std::vector<DialogStep> steps = {{"Schlüssel aushängen", IDOK, "app_hive_unload_prompt.png", ""},
                                   {"Frage", IDNO, nullptr, ""}};
  std::thread answer(AnswerDialogs, &steps);
  RunUnloadHive(nullptr, path.c_str());
  answer.join();
  EXPECT_EQ(steps[0].seen, path);  // the prompt proposes the current path
  EXPECT_NE(steps[1].seen.find("wurde nicht von diesem Programm eingehängt"), std::string::npos) << steps[1].seen;
  ASSERT_EQ(RegOpenKeyExA(HKEY_USERS, name.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS);
  RegCloseKey(k);
  RegDeleteKeyA(HKEY_USERS, name.c_str());

  // A refused path: its message and nothing else.
  steps = {{"Schlüssel aushängen", IDOK, nullptr, ""}, {"Fehler", IDOK, nullptr, ""}};
  std::thread refuse(AnswerDialogs, &steps);
  RunUnloadHive(nullptr, "HKEY_CURRENT_USER\\Software");
  refuse.join();
  EXPECT_EQ(steps[0].seen, "HKEY_USERS\\");
  EXPECT_EQ(steps[1].seen, "Es fehlt der Subpfad nach HKEY_LOCAL_MACHINE bzw. HKEY_USERS !");
}

// Wine deletes a key that is no hive when asked to unload it: the question
// says so, and the result says what happened. The key is the test's own.
TEST(Hives, UnloadOfAKeyThatIsNoHiveSaysItWasDeleted) {
  if (!IsWineSystem()) GTEST_SKIP() << "the system refuses to unload a key that is no hive";
  std::string name = "OstrovaNoHiveYes_" + std::to_string(GetCurrentProcessId());
  HKEY k;
  if (RegCreateKeyExA(HKEY_USERS, (name + "\\Kind\\Enkel").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                      nullptr) != ERROR_SUCCESS)
    GTEST_SKIP() << "no key can be made below HKEY_USERS";
  RegSetValueExA(k, "Wert", 0, REG_SZ, (const BYTE*)"x", 2);
  RegCloseKey(k);
  std::string path = "HKEY_USERS\\" + name;
  std::vector<DialogStep> steps = {{"Schlüssel aushängen", IDOK, nullptr, ""},
                                   {"Frage", IDYES, "app_hive_unload_question.png", ""},
                                   {"Information", IDOK, "app_hive_unload_deleted.png", ""}};
  std::thread answer(AnswerDialogs, &steps);
  bool gone = RunUnloadHive(nullptr, path.c_str());
  answer.join();
  EXPECT_TRUE(gone);
  EXPECT_NE(steps[1].seen.find("mit allen Unterschlüsseln und Werten gelöscht"), std::string::npos) << steps[1].seen;
  EXPECT_NE(steps[2].seen.find("wurde mit allen Unterschlüsseln und Werten gelöscht"), std::string::npos)
      << steps[2].seen;
  EXPECT_EQ(steps[2].seen.find("erfolgreich"), std::string::npos) << steps[2].seen;
  EXPECT_NE(RegOpenKeyExA(HKEY_USERS, name.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS);
}

}  // namespace

namespace {

// The file dialog: the name goes into its file-name field, then OK.
void ChooseFile(const std::string* file, bool* done) {
  for (int i = 0; i < 500 && !*done; ++i) {
    HWND dlg = FindWindowA("#32770", "Schlüsselpfad laden");
    if (dlg && IsWindowVisible(dlg)) {
      Sleep(200);
      HWND name = GetDlgItem(dlg, 0x47C);        // cmb13
      if (!name) name = GetDlgItem(dlg, 0x480);  // edt1
      SetWindowTextA(name, file->c_str());
      PostMessageA(dlg, WM_COMMAND, IDOK, 0);
      *done = true;
      return;
    }
    Sleep(10);
  }
}

TEST(Hives, LoadByTheCommandsDialogs) {
  TestRegistryKey key;
  const char data[] = "geladen";
  ASSERT_EQ(RegSetValueExA(key.Handle(), "Probe", 0, REG_SZ, (const BYTE*)data, sizeof data), ERROR_SUCCESS);
  std::string file = TempFile("ostrova_hive_cmd_");
  DeleteFileA(file.c_str());
  HANDLE token;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
  TOKEN_PRIVILEGES tp = {1};
  LookupPrivilegeValueA(nullptr, "SeBackupPrivilege", &tp.Privileges[0].Luid);
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  AdjustTokenPrivileges(token, FALSE, &tp, sizeof tp, nullptr, nullptr);
  ASSERT_EQ(RegSaveKeyA(key.Handle(), file.c_str(), nullptr), ERROR_SUCCESS);
  tp.Privileges[0].Attributes = 0;
  AdjustTokenPrivileges(token, FALSE, &tp, sizeof tp, nullptr, nullptr);
  CloseHandle(token);

  std::string name = "OstrovaCmdHive_" + std::to_string(GetCurrentProcessId());
  bool chosen = false;
  std::thread pick(ChooseFile, &file, &chosen);
  std::vector<DialogStep> steps = {{"Schlüssel einhängen", IDOK, nullptr, ""}};
  std::thread prompt([&] {
    for (int i = 0; i < 1000 && !chosen; ++i) Sleep(10);
    for (int i = 0; i < 500; ++i) {
      HWND dlg = FindWindowA("#32770", "Schlüssel einhängen");
      if (dlg && IsWindowVisible(dlg)) {
        Sleep(100);
        HWND edit = FindWindowExA(dlg, nullptr, "Edit", nullptr);
        char buf[256] = "";
        GetWindowTextA(edit, buf, sizeof buf);
        steps[0].seen = buf;
        SetWindowTextA(edit, ("USERS\\" + name).c_str());
        WindowCapture::FromScreen(dlg).SavePng(ScreenshotPath("app_hive_load_prompt.png").c_str());
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(10);
    }
  });
  CString loaded;
  bool ok = RunLoadHive(nullptr, "HKEY_LOCAL_MACHINE\\SOFTWARE", loaded);
  pick.join();
  prompt.join();
  EXPECT_TRUE(chosen);
  EXPECT_EQ(steps[0].seen, "HKEY_LOCAL_MACHINE\\");  // the proposal: the current root
  ASSERT_TRUE(ok);
  EXPECT_EQ(std::string((const char*)loaded), "HKEY_USERS\\" + name);
  HKEY hive;
  ASSERT_EQ(RegOpenKeyExA(HKEY_USERS, name.c_str(), 0, KEY_READ, &hive), ERROR_SUCCESS);
  char buf[32] = "";
  DWORD cb = sizeof buf;
  EXPECT_EQ(RegQueryValueExA(hive, "Probe", nullptr, nullptr, (BYTE*)buf, &cb), ERROR_SUCCESS);
  EXPECT_STREQ(buf, data);
  RegCloseKey(hive);
  EXPECT_TRUE(IsOwnHive(HKEY_USERS, name.c_str()));
  EXPECT_EQ(UnloadHive(HKEY_USERS, name.c_str()), ERROR_SUCCESS);
  DeleteFileA(file.c_str());
  DeleteFileA((file + ".LOG").c_str());
}

}  // namespace
