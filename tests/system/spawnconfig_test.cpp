#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "path_test_util.h"
#include "system/programpath.h"
#include "system/spawnprocess.h"

namespace {

std::vector<std::string> Args(const CSpawnProcess& sp) {
  return std::vector<std::string>(sp.m_pszArgs, sp.m_pszArgs + sp.m_nArgs);
}

int AddArgText(CSpawnProcess& sp, const char* text) { return sp.AddArg(text, (int)std::strlen(text)); }

std::string CommandLine(const CSpawnProcess& sp, DWORD flags, std::string* app = nullptr) {
  char application[MAX_PATH];
  char* line = sp.MakeCommandLine(flags, application);
  std::string s = line;
  delete[] line;
  if (app) *app = application;
  return s;
}

std::string Interpreter() {
  char sys[MAX_PATH];
  GetSystemDirectoryA(sys, MAX_PATH);
  return std::string(sys) + "\\CMD.EXE";
}

std::vector<std::string> EnvEntries(const char* block) {
  std::vector<std::string> entries;
  for (const char* e = block; *e; e += std::strlen(e) + 1) entries.push_back(e);
  return entries;
}

}  // namespace

TEST(SpawnConfig, StoredArguments) {
  CSpawnProcess sp;
  EXPECT_EQ(AddArgText(sp, "a b"), 0);
  EXPECT_EQ(sp.m_nArgChars, 6);
  EXPECT_EQ(AddArgText(sp, "ab"), 1);
  EXPECT_EQ(sp.m_nArgChars, 9);
  EXPECT_EQ(sp.AddArg("x", 0), -1);
  EXPECT_EQ(sp.AddArgParts("x", 1, "/E", 2, "", 0), 2);
  EXPECT_EQ(sp.AddArgParts("x", 1, "/E ", 3, "", 0), 3);
  EXPECT_EQ(sp.AddArgParts("x", 1, "", -1, "", 0), -1);
  EXPECT_EQ(sp.AddArgParts("", 0, "/E", 2, "", 0), -1);
  EXPECT_EQ(Args(sp), (std::vector<std::string>{" \"a b\"", " ab", " /Ex", " \"/E x\""}));

  // Quotes and the backslashes before them are escaped so that the child's
  // runtime reads each argument back unchanged.
  struct {
    const char* text;
    const char* stored;
  } escapes[] = {
      {"a\"b", " a\\\"b"},
      {"a\\\"b", " a\\\\\\\"b"},
      {"a b\\", " \"a b\\\\\""},
      {"c:\\dir\\", " c:\\dir\\"},
      {"\\\\srv\\x", " \\\\srv\\x"},
      {"tab\there", " \"tab\there\""},
      {"\"", " \\\""},
  };
  for (const auto& c : escapes) {
    CSpawnProcess one;
    EXPECT_EQ(AddArgText(one, c.text), 0);
    EXPECT_STREQ(one.m_pszArgs[0], c.stored) << c.text;
    EXPECT_EQ(one.m_nArgChars, (int)std::strlen(c.stored));
  }

  // At most 32.
  CSpawnProcess full;
  for (int i = 0; i < 32; ++i) EXPECT_EQ(AddArgText(full, "x"), i);
  EXPECT_EQ(AddArgText(full, "x"), -1);
  EXPECT_EQ(full.AddArgParts("x", 1, "", 0, "", 0), -1);
  EXPECT_EQ(full.m_nArgs, 32);
  EXPECT_EQ(full.m_nArgChars, 64);
}

TEST(SpawnConfig, ArgumentLines) {
  CSpawnProcess sp;
  EXPECT_EQ(sp.AddArgLine("a \"b c\" d"), 0);
  EXPECT_EQ(sp.AddArgLine("\t e  f\t"), 3);
  EXPECT_EQ(sp.AddArgLine("g h", 1), 5) << "counted";
  EXPECT_EQ(sp.AddArgLine("\"x"), -1) << "a quote needs two more characters";
  EXPECT_EQ(sp.AddArgLine("  "), -1);
  EXPECT_EQ(sp.AddArgLine(""), -1);
  EXPECT_EQ(Args(sp), (std::vector<std::string>{" a", " \"b c\"", " d", " e", " f", " g"}));

  CSpawnProcess f;
  EXPECT_EQ(f.AddArgsF("%s %d", "x y", 5), 0);
  EXPECT_EQ(f.AddArgsF("\"%s\" tail \"open end", "q r"), 3);
  EXPECT_EQ(Args(f), (std::vector<std::string>{" x", " y", " 5", " \"q r\"", " tail", " \"open end\""}));
  // A text that does not fit into 2048 bytes is refused, not cut.
  std::string big(2048, 'z');
  EXPECT_EQ(f.AddArgsF("%s", big.c_str()), -1);
  EXPECT_EQ(f.m_nArgs, 6);
  EXPECT_EQ(f.AddArgsF("%s", big.substr(1).c_str()), 6);

  // A full table: the line drops the parts that do not fit, the format ends.
  CSpawnProcess full;
  for (int i = 0; i < 31; ++i) full.AddArg("x", 1);
  EXPECT_EQ(full.AddArgLine("a b c"), 31);
  EXPECT_EQ(full.m_nArgs, 32);
  CSpawnProcess formatted;
  for (int i = 0; i < 31; ++i) formatted.AddArg("x", 1);
  EXPECT_EQ(formatted.AddArgsF("a b c"), -1);
  EXPECT_STREQ(formatted.m_pszArgs[31], " a") << "parts stored before stay";
}

TEST(SpawnConfig, CommandLines) {
  const std::string cmd = Interpreter();
  struct {
    const char* program;
    std::vector<const char*> args;
    DWORD flags;
    std::string line;
    std::string app;
  } cases[] = {
      {"D:\\tools\\tool.exe",
       {"/E", "D:\\a b.reg"},
       0,
       "\"D:\\tools\\tool.exe\"  /E \"D:\\a b.reg\"",
       "D:\\tools\\tool.exe"},
      {"D:\\tools\\tool.exe", {}, 0, "\"D:\\tools\\tool.exe\" ", "D:\\tools\\tool.exe"},
      {"D:\\x.bat", {}, 0, "\"" + cmd + "\"  /C \"D:\\x.bat\"", cmd},
      {"D:\\x.Cmd", {"a", "b"}, 0, "\"" + cmd + "\"  /C \"D:\\x.Cmd\" a b", cmd},
      {"D:\\tool.exe", {"x"}, SPAWN_INTERPRETER, "\"" + cmd + "\"  /C \"D:\\tool.exe\" x", cmd},
      // Quoted arguments: everything after " /C " in one more pair of quotes.
      {"D:\\x.bat", {"a b", "c"}, 0, "\"" + cmd + "\"  /C \"\"D:\\x.bat\" \"a b\" c\"", cmd},
      {"D:\\x.bat", {"q\"uote"}, 0, "\"" + cmd + "\"  /C \"\"D:\\x.bat\" q\\\"uote\"", cmd},
  };
  for (const auto& c : cases) {
    CSpawnProcess sp((std::string("?") + c.program).c_str());
    for (const char* a : c.args) AddArgText(sp, a);
    std::string app;
    EXPECT_EQ(CommandLine(sp, c.flags, &app), c.line) << c.program;
    EXPECT_EQ(app, c.app) << c.program;
  }
  char interpreter[MAX_PATH];
  EXPECT_EQ(CSpawnProcess::GetInterpreterPath(interpreter, MAX_PATH), (int)cmd.size());
  EXPECT_EQ(interpreter, cmd);
}

TEST(SpawnConfig, ProgramResolution) {
  char dir[MAX_PATH];
  GetProgramDirectory(dir, MAX_PATH);
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cwd);
  std::string here = std::string(cwd) + (cwd[std::strlen(cwd) - 1] == '\\' ? "" : "\\");

  CSpawnProcess sp;
  EXPECT_EQ(std::string(sp.SetProgram("#sub\\..\\tool.exe")), std::string(dir) + "tool.exe");
  EXPECT_EQ(std::string(sp.SetProgram("#\\tool.exe")), std::string(dir) + "tool.exe");
  EXPECT_EQ(std::string(sp.SetProgram("?relative name")), "relative name");
  EXPECT_EQ(std::string(sp.SetProgram("plain.exe")), here + "plain.exe");
  EXPECT_EQ(std::string(sp.SetProgram("*ostrova-no-such-tool")), here + "ostrova-no-such-tool");

  std::string found = sp.SetProgram("*cmd");
  ASSERT_GT(found.size(), 8u);
  EXPECT_EQ(_stricmp(found.substr(found.size() - 8).c_str(), "\\cmd.exe"), 0) << found;
  EXPECT_EQ(found[1], ':') << "a full path";
  // With an extension only the name itself is tried.
  EXPECT_EQ(_stricmp(sp.SetProgram("*notepad.exe") + std::strlen(sp.m_szProgram) - 12, "\\notepad.exe"), 0);
  EXPECT_EQ(std::string(sp.SetProgram("*notepad.bat")), here + "notepad.bat");

  CSpawnProcess named("?x.exe");
  EXPECT_STREQ(named.m_szProgram, "x.exe");
}

TEST(SpawnConfig, WorkingDirectory) {
  ScratchDir scratch;
  scratch.WriteFile("f.txt", "");
  std::string base = scratch.Path().substr(0, scratch.Path().size() - 1);
  CSpawnProcess sp;
  EXPECT_EQ(std::string(sp.SetWorkDir((scratch / "f.txt").c_str())), base) << "a file stands for its directory";
  EXPECT_EQ(std::string(sp.SetWorkDir(scratch.Path().c_str())), base);
  EXPECT_STREQ(sp.SetWorkDir("C:\\"), "C:");
  EXPECT_EQ(std::string(sp.SetWorkDir((scratch / "missing\\").c_str())), scratch / "missing") << "stored anyway";
  std::string counted = base + "zzz";
  EXPECT_EQ(std::string(sp.SetWorkDirN(counted.c_str(), (int)base.size())), base);
  char dir[MAX_PATH];
  int n = GetProgramDirectory(dir, MAX_PATH);
  EXPECT_EQ(std::string(sp.SetWorkDir("#")), std::string(dir, n - 1));
}

TEST(SpawnConfig, Environment) {
  CSpawnProcess sp;
  sp.SetEnv("Ostrova_T", "1");
  sp.SetEnv("OSTROVA_t", "2");
  std::vector<std::string> entries = EnvEntries(sp.m_pEnvBlock);
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries.back(), "OSTROVA_t=2") << "a variable set again moves to the end";
  int count = 0;
  for (const std::string& e : entries) count += _strnicmp(e.c_str(), "ostrova_t=", 10) == 0;
  EXPECT_EQ(count, 1);

  size_t before = entries.size();
  sp.SetEnv("path", "x");
  entries = EnvEntries(sp.m_pEnvBlock);
  EXPECT_EQ(entries.size(), before) << "Path= is replaced, not added";
  EXPECT_EQ(entries.back(), "path=x");
  sp.SetEnvInt("N", -5);
  sp.SetEnv("E", "");
  entries = EnvEntries(sp.m_pEnvBlock);
  EXPECT_EQ(entries[entries.size() - 2], "N=-5");
  EXPECT_EQ(entries.back(), "E=");
  // "PATHX" is not "PATH".
  sp.SetEnv("PATHX", "y");
  sp.SetEnv("PATH", "z");
  entries = EnvEntries(sp.m_pEnvBlock);
  EXPECT_EQ(entries[entries.size() - 2], "PATHX=y");

  char* block = new char[9];
  std::memcpy(block, "A=1\0B=2\0", 9);
  sp.SetEnvBlock(block);
  sp.SetEnv("a", "3");
  EXPECT_EQ(EnvEntries(sp.m_pEnvBlock), (std::vector<std::string>{"B=2", "a=3"}));
}

TEST(SpawnConfig, WindowSettingsAndReset) {
  CSpawnProcess sp("?prog.exe");
  EXPECT_EQ(sp.m_si.cb, sizeof(STARTUPINFOA));
  EXPECT_EQ(sp.m_dwWaitTime, INFINITE);
  EXPECT_EQ(sp.m_si.hStdOutput, INVALID_HANDLE_VALUE);
  sp.SetShowCmd(0x13);
  EXPECT_EQ(sp.m_si.dwFlags, (DWORD)STARTF_USESHOWWINDOW);
  EXPECT_EQ(sp.m_si.wShowWindow, 3);
  RECT rc = {10, 20, 110, 70};
  RECT back = sp.SetWindowRect(rc);
  EXPECT_EQ(back.right, 110);
  EXPECT_EQ(sp.m_si.dwFlags, DWORD(STARTF_USESHOWWINDOW | STARTF_USEPOSITION | STARTF_USESIZE));
  EXPECT_EQ(sp.m_si.dwX, 10u);
  EXPECT_EQ(sp.m_si.dwY, 20u);
  EXPECT_EQ(sp.m_si.dwXSize, 100u);
  EXPECT_EQ(sp.m_si.dwYSize, 50u);

  sp.SetWorkDir("C:\\");
  AddArgText(sp, "a");
  sp.SetEnv("X", "1");
  sp.Cancel();
  sp.Reset();
  EXPECT_EQ(sp.m_nArgs, 0);
  EXPECT_EQ(sp.m_nArgChars, 0);
  EXPECT_EQ(sp.m_pEnvBlock, nullptr);
  EXPECT_EQ(sp.m_bCancel, 0);
  EXPECT_STREQ(sp.m_szProgram, "prog.exe");
  EXPECT_STREQ(sp.m_szWorkDir, "C:");
  EXPECT_EQ(sp.m_si.wShowWindow, 3);
  EXPECT_EQ(CommandLine(sp, 0), "\"prog.exe\" ");

  EXPECT_EQ(sp.GetHandle(3, 0), nullptr);
  EXPECT_EQ(sp.GetHandle(4, 0), nullptr);
  EXPECT_EQ(sp.GetHandle(0, 3), nullptr);
}
