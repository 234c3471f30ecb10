// The application object's settings in its program key, its names and its
// command line.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "harness/registry_util.h"
#include "mfc/mfc.h"

namespace {
// The type and bytes of a value below HKEY_CURRENT_USER, or type 0.
struct RawValue {
  DWORD type = 0;
  std::vector<BYTE> data;
};
RawValue ReadRaw(const std::string& keyPath, const char* name) {
  RawValue v;
  HKEY hKey;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) return v;
  DWORD cb = 0;
  if (RegQueryValueExA(hKey, name, nullptr, &v.type, nullptr, &cb) == ERROR_SUCCESS) {
    v.data.resize(cb);
    RegQueryValueExA(hKey, name, nullptr, &v.type, v.data.data(), &cb);
  }
  RegCloseKey(hKey);
  return v;
}

bool KeyExists(const std::string& keyPath) {
  HKEY hKey;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
  RegCloseKey(hKey);
  return true;
}

// Gives protected members to the tests.
class CProfileApp : public CWinApp {
 public:
  using CWinApp::SaveStdProfileSettings;
};
}  // namespace

TEST(Profile, ValuesRoundTripInTheProgramKey) {
  TestAppNames names;
  CWinApp* app = AfxGetApp();
  std::string settings = names.ProgramKeyPath() + "\\Settings";
  EXPECT_TRUE(app->WriteProfileInt("Settings", "FlatMode", 0));
  EXPECT_TRUE(app->WriteProfileInt("Settings", "SeparatorX", -10000));
  EXPECT_TRUE(app->WriteProfileString("Settings", "LastPath1", "HKEY_LOCAL_MACHINE\\Software\\Äpfel"));

  // REG_DWORD and REG_SZ in HKEY_CURRENT_USER\Software\<key>\<name>\Settings.
  RawValue flat = ReadRaw(settings, "FlatMode");
  EXPECT_EQ(flat.type, (DWORD)REG_DWORD);
  EXPECT_EQ(flat.data, std::vector<BYTE>({0, 0, 0, 0}));
  EXPECT_EQ(ReadRaw(settings, "LastPath1").type, (DWORD)REG_SZ);

  EXPECT_EQ(app->GetProfileInt("Settings", "FlatMode", 1), 0u);
  EXPECT_EQ((int)app->GetProfileInt("Settings", "SeparatorX", 0), -10000);
  EXPECT_EQ(app->GetProfileString("Settings", "LastPath1"), "HKEY_LOCAL_MACHINE\\Software\\Äpfel");
  // A number reads as text and its text as a number, as in an .INI profile.
  EXPECT_EQ(app->GetProfileString("Settings", "SeparatorX"), "-10000");
  EXPECT_TRUE(app->WriteProfileString("Settings", "Zahl", "42"));
  EXPECT_EQ(app->GetProfileInt("Settings", "Zahl", 5), 42u);
  EXPECT_EQ(app->GetProfileInt("Settings", "LastPath1", 5), 5u);
  // Missing entries and sections give the default.
  EXPECT_EQ(app->GetProfileInt("Settings", "Fehlt", 7), 7u);
  EXPECT_EQ(app->GetProfileString("Settings", "Fehlt", "nichts"), "nichts");
  EXPECT_EQ(app->GetProfileString("Anderes", "Fehlt"), "");

  // A null value removes the entry, a null entry the section.
  EXPECT_TRUE(app->WriteProfileString("Settings", "LastPath1", nullptr));
  EXPECT_EQ(ReadRaw(settings, "LastPath1").type, 0u);
  EXPECT_TRUE(app->WriteProfileString("Settings", "LastPath1", nullptr));  // already gone: fine
  EXPECT_TRUE(app->WriteProfileString("Settings", nullptr, nullptr));
  EXPECT_FALSE(KeyExists(settings));
  EXPECT_TRUE(KeyExists(names.ProgramKeyPath()));
}

TEST(Profile, RecentFileListIsReadAndWrittenBack) {
  CProfileApp app;
  TestAppNames names;  // names this application object
  std::string section = names.ProgramKeyPath() + "\\Recent File List";
  app.WriteProfileString("Recent File List", "File1", "C:\\eins.reg");
  app.WriteProfileString("Recent File List", "File2", "C:\\zwei.reg");
  app.WriteProfileString("Recent File List", "File3", "C:\\drei.reg");
  app.LoadStdProfileSettings(2);
  ASSERT_EQ(app.GetRecentFileCount(), 2);
  EXPECT_EQ(app.GetRecentFile(0), "C:\\eins.reg");

  // A name already listed moves to the top (whatever its case); the list
  // keeps its size.
  app.AddToRecentFileList("C:\\ZWEI.reg");
  app.AddToRecentFileList("C:\\vier.reg");
  ASSERT_EQ(app.GetRecentFileCount(), 2);
  EXPECT_EQ(app.GetRecentFile(0), "C:\\vier.reg");
  EXPECT_EQ(app.GetRecentFile(1), "C:\\ZWEI.reg");

  app.SaveStdProfileSettings();
  EXPECT_EQ(app.GetProfileString("Recent File List", "File1"), "C:\\vier.reg");
  EXPECT_EQ(app.GetProfileString("Recent File List", "File2"), "C:\\ZWEI.reg");
  EXPECT_EQ(ReadRaw(section, "File3").type, 0u);  // dropped names go
}

TEST(WinApp, RegistryKeyAndNamesAreCopiesAndTheProfileTakesTheApplicationName) {
  char key[] = "Brannock";
  CWinApp app("Ostrova");
  app.SetRegistryKey(key);
  key[0] = 'X';
  EXPECT_STREQ(app.m_pszRegistryKey, "Brannock");
  EXPECT_STREQ(app.m_pszProfileName, "Ostrova");
  EXPECT_EQ(AfxGetApp(), &app);
  EXPECT_STREQ(AfxGetAppName(), "Ostrova");
  // A name given at construction wins over the string table's title.
  ASSERT_TRUE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>("-x"), SW_SHOWMINIMIZED));
  EXPECT_STREQ(app.m_pszAppName, "Ostrova");
  EXPECT_STREQ(app.m_pszExeName, "mfc_tests");
  EXPECT_EQ(app.m_nCmdShow, SW_SHOWMINIMIZED);
  EXPECT_STREQ(app.m_lpCmdLine, "-x");
}

TEST(CommandLine, ArgumentsBecomeTheShellCommand) {
  struct Case {
    std::vector<const char*> args;
    CCommandLineInfo::ShellCommand command;
    const char* file;
    const char* printer;
  };
  const Case cases[] = {
      {{}, CCommandLineInfo::FileNew, "", ""},
      {{"Daten.reg"}, CCommandLineInfo::FileOpen, "Daten.reg", ""},
      // The program's own flags (start paths) are left to it.
      {{"-1:HKEY_LOCAL_MACHINE\\Software", "/2:HKCU"}, CCommandLineInfo::FileNew, "", ""},
      {{"/2:HKCU", "Daten.reg", "-1:HKLM"}, CCommandLineInfo::FileOpen, "Daten.reg", ""},
      {{"/p", "Daten.reg"}, CCommandLineInfo::FilePrint, "Daten.reg", ""},
      {{"-PT", "Daten.reg", "Drucker", "Treiber", "Anschluss"}, CCommandLineInfo::FilePrintTo, "Daten.reg", "Drucker"},
      {{"/Unregserver"}, CCommandLineInfo::AppUnregister, "", ""},
  };
  int savedArgc = __argc;
  char** savedArgv = __argv;
  for (const Case& c : cases) {
    std::vector<char*> argv = {savedArgv[0]};
    for (const char* a : c.args) argv.push_back(const_cast<char*>(a));
    argv.push_back(nullptr);
    __argc = (int)c.args.size() + 1;
    __argv = argv.data();
    CWinApp app;
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    __argc = savedArgc;
    __argv = savedArgv;
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
    EXPECT_EQ(info.m_nShellCommand, c.command);
    EXPECT_EQ(info.m_strFileName, c.file);
    EXPECT_EQ(info.m_strPrinterName, c.printer);
    EXPECT_TRUE(info.m_bShowSplash);
  }
  CCommandLineInfo embedded;
  embedded.ParseParam("Embedding", TRUE, TRUE);
  EXPECT_TRUE(embedded.m_bRunEmbedded);
  EXPECT_FALSE(embedded.m_bShowSplash);
}

TEST(CommandLine, ProcessShellCommandFailsWithoutAMainWindow) {
  CWinApp app;  // no templates
  CCommandLineInfo info;
  EXPECT_FALSE(app.ProcessShellCommand(info));
  info.m_nShellCommand = CCommandLineInfo::FileOpen;
  info.m_strFileName = "Daten.reg";
  EXPECT_FALSE(app.ProcessShellCommand(info));
  info.m_nShellCommand = CCommandLineInfo::FilePrint;
  EXPECT_FALSE(app.ProcessShellCommand(info));
  info.m_nShellCommand = CCommandLineInfo::FileNothing;
  EXPECT_TRUE(app.ProcessShellCommand(info));
}
