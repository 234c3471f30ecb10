#include <gtest/gtest.h>

#include <string>
#include <cstring>

#include "base/cstring.h"
#include "path_test_util.h"
#include "system/pathsearch.h"

namespace {

// Sets PATH and the current directory for one test and puts them back.
class SearchEnvironment {
 public:
  SearchEnvironment() {
    DWORD n = GetEnvironmentVariableA("PATH", nullptr, 0);
    m_path.resize(n);
    m_hadPath = n && GetEnvironmentVariableA("PATH", &m_path[0], n) < n;
    m_path.resize(m_hadPath ? n - 1 : 0);
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    m_cwd = cwd;
  }
  ~SearchEnvironment() {
    SetEnvironmentVariableA("PATH", m_hadPath ? m_path.c_str() : nullptr);
    SetCurrentDirectoryA(m_cwd.c_str());
  }
  void SetPath(const std::string& path) { SetEnvironmentVariableA("PATH", path.c_str()); }

 private:
  std::string m_path, m_cwd;
  bool m_hadPath = false;
};

std::string Search(const char* name, const char* exts, int bDir = 0, int size = MAX_PATH) {
  char t[MAX_PATH] = "junk";
  int n = SearchPathList(t, name, size, exts, bDir);
  EXPECT_EQ(n, (int)std::strlen(t)) << name;
  return t;
}

}  // namespace

TEST(PathSearch, FindExtensionInList) {
  struct {
    const char* path;
    const char* list;
    int want;
  } cases[] = {
      {"x.cmd", "BAT;CMD", 2}, {"X.Bat", "bat;cmd", 1},     {"x.bat.txt", "BAT;CMD", 0}, {"x", "exe;;com", 2},
      {"x", "exe;com", 0},     {"dir.x\\prog", "x", 0},     {"a:b.c", "c", 1},           {"d.x:y", "x", 0},
      {".cmd", "cmd;", 2},     {"x.com", "exe;bat;com", 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindExtensionInList(c.path, c.list), c.want) << c.path << " in " << c.list;
    EXPECT_EQ(FindExtensionInListW(Wide(c.path).c_str(), Wide(c.list).c_str()), c.want) << c.path;
  }
  EXPECT_EQ(FindExtensionInList("x.cmdline", "cmd", 5), 1) << "the counted length";
}

TEST(PathSearch, SystemProgramsAlongPath) {
  for (const char* name : {"notepad", "cmd"}) {
    std::string found = Search(name, "exe;bat;com");
    ASSERT_FALSE(found.empty()) << name;
    std::string tail = std::string("\\") + name + ".exe";
    ASSERT_GT(found.size(), tail.size());
    EXPECT_EQ(CString(found.substr(found.size() - tail.size()).c_str()).CompareNoCase(tail.c_str()), 0) << found;
    EXPECT_NE(GetFileAttributesA(found.c_str()), INVALID_FILE_ATTRIBUTES);
  }
  wchar_t w[MAX_PATH];
  EXPECT_GT(SearchPathListW(w, L"notepad", MAX_PATH, L"exe;bat;com"), 0);
  CString s;
  EXPECT_GT(SearchPathListStr(s, "cmd", "exe"), 0);
  EXPECT_EQ(Search("ostrova-no-such-program", "exe;bat;com"), "");
}

TEST(PathSearch, OrderOfCandidates) {
  ScratchDir dir;
  SearchEnvironment env;  // ends first: the scratch directory is current
  CreateDirectoryA((dir / "d1").c_str(), nullptr);
  CreateDirectoryA((dir / "d2").c_str(), nullptr);
  CreateDirectoryA((dir / "d3").c_str(), nullptr);
  CreateDirectoryA((dir / "d1\\sub").c_str(), nullptr);
  dir.WriteFile("d1\\tool.bat", "");
  dir.WriteFile("d2\\tool.exe", "");
  dir.WriteFile("d2\\tool.txt", "");
  dir.WriteFile("d3\\here.com", "");
  env.SetPath(dir / "d1;" + dir / "d2\\");

  // Each directory is tried with every extension before the next one.
  EXPECT_EQ(Search("tool", "exe;bat"), dir / "d1\\tool.bat");
  // The name itself comes first; a trailing backslash in PATH stays.
  EXPECT_EQ(Search("tool.txt", "exe"), dir / "d2\\\\tool.txt");
  EXPECT_EQ(Search("\\tool.exe", "exe;bat"), dir / "d1\\tool.bat") << "a leading separator is skipped";
  EXPECT_EQ(Search("tool", nullptr), "");
  // Directories only with the flag.
  EXPECT_EQ(Search("sub", nullptr, 1), dir / "d1\\sub");
  EXPECT_EQ(Search("sub", nullptr, 0), "");
  EXPECT_EQ(Search("tool.bat", nullptr, 1), "");
  // The current directory comes last, as ".".
  SetCurrentDirectoryA((dir / "d3").c_str());
  EXPECT_EQ(Search("here", "exe;com"), ".\\here.com");
  // A candidate with an extension is tried only with two characters to spare.
  EXPECT_EQ(Search("here", "com", 0, 12), "");
  EXPECT_EQ(Search("here", "com", 0, 13), ".\\here.com");
  // Without PATH only the current directory (and an empty entry) remain.
  SetEnvironmentVariableA("PATH", nullptr);
  EXPECT_EQ(Search("here.com", nullptr), ".\\here.com");

  std::wstring d1 = Wide(dir / "d1");
  SetEnvironmentVariableW(L"PATH", d1.c_str());
  wchar_t w[MAX_PATH];
  EXPECT_EQ(SearchPathListW(w, L"TOOL", MAX_PATH, L"EXE;BAT"), (int)d1.size() + 9);
  EXPECT_EQ(Narrow(w), Narrow(d1) + "\\TOOL.BAT");
}
