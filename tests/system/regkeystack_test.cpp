// CRegKeyStack: opening, the program key, root names, levels and paths.
#include <cstring>
#include <string>

#include "regkey_fixture.h"

namespace {
std::string FullPath(CRegKeyStack& rk, int nStart, int nSize = 1024) {
  char buf[1024];
  return rk.GetFullPath(buf, nSize, nStart) == 0 ? std::string(buf) : "<failed>";
}
}  // namespace

TEST(RegKeyStack, ProgramKeyFromTheApplicationNames) {
  TestAppNames names;
  char buf[300];
  int n = BuildAppRegistryPath(buf, sizeof buf, "Sub");
  EXPECT_EQ(std::string(buf), names.ProgramKeyPath() + "\\Sub");
  EXPECT_EQ(n, (int)std::strlen(buf));

  CRegKeyStack rk;
  EXPECT_FALSE(rk.Open(nullptr, nullptr, REGKS_READ)) << "missing in read-only mode";
  EXPECT_EQ(rk.m_nLastError, REGKS_ERR_MODE);
  EXPECT_EQ(rk.m_nDepth, -1);
  ASSERT_TRUE(rk.Open(nullptr, nullptr, REGKS_CREATE)) << "created in mode 2";
  ASSERT_TRUE(rk.Open(nullptr, nullptr, REGKS_READ));
  EXPECT_EQ(rk.m_hRoot, HKEY_CURRENT_USER);
  EXPECT_EQ(rk.m_samAccess, (REGSAM)KEY_READ);
  EXPECT_EQ(std::string(rk.GetLevelNamePtr(0)), names.ProgramKeyPath());
  EXPECT_EQ(FullPath(rk, 0), "HKEY_CURRENT_USER\\" + names.ProgramKeyPath());

  // A null subkey name is the registry key name.
  ASSERT_TRUE(rk.Create(HKEY_CURRENT_USER, nullptr));
  ASSERT_TRUE(rk.CreateSubKey(nullptr));
  EXPECT_STREQ(rk.GetLevelNamePtr(), "OstrovaTests");
}

TEST(RegKeyStack, BuildAppRegistryPathCutsToTheBuffer) {
  TestAppNames names;
  char buf[16] = "xxxxxxxxxxxxxxx";
  EXPECT_EQ(BuildAppRegistryPath(buf, 9), 8);
  EXPECT_STREQ(buf, "Software");
  EXPECT_EQ(BuildAppRegistryPath(buf, 14), 13);
  EXPECT_STREQ(buf, "Software\\Ostr");
  EXPECT_EQ(BuildAppRegistryPath(buf, 1), 0);
  EXPECT_STREQ(buf, "");
  buf[0] = 'x';
  EXPECT_EQ(BuildAppRegistryPath(buf, 0), 0);
  EXPECT_EQ(buf[0], 'x') << "a size of 0 leaves the buffer alone";
}

TEST(RegKeyStack, RootNamesAtTheStartOfAPath) {
  struct {
    const char* path;
    HKEY root;
    int skip;
  } cases[] = {
      {nullptr, HKEY_CURRENT_USER, 0},
      {"Software", HKEY_CURRENT_USER, 0},
      {"hkey_local_machine\\Software", HKEY_LOCAL_MACHINE, 19},
      {"HKEY_USERS", HKEY_USERS, 10},
      {"HKEY_USERSX\\y", HKEY_CURRENT_USER, 0},
      {"HKEY_CLASSES_ROOT\\.txt", HKEY_CLASSES_ROOT, 18},
      {"Hkey_Current_Config\\", HKEY_CURRENT_CONFIG, 20},
      {"HKEY_DYN_DATA\\x", HKEY_DYN_DATA, 14},
      {"HKEY_PERFORMANCE_DATA", HKEY_CURRENT_USER, 0},
      {"HKLM\\Software", HKEY_CURRENT_USER, 0},
  };
  for (const auto& c : cases) {
    HKEY root = nullptr;
    EXPECT_EQ(ParseRegRootName(&root, c.path), c.skip) << (c.path ? c.path : "(null)");
    EXPECT_EQ(root, c.root) << (c.path ? c.path : "(null)");
  }
}

TEST_F(RegKeyTest, RootsAndTheSixtyFourBitView) {
  // A root named in the path gets no 64-bit view; HKLM given as root does.
  ASSERT_TRUE(rk.Open(nullptr, "hkey_local_machine\\Software", REGKS_READ));
  EXPECT_EQ(rk.m_hRoot, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(rk.m_samAccess, (REGSAM)KEY_READ);
  ASSERT_TRUE(rk.Open(HKEY_LOCAL_MACHINE, "Software", REGKS_READ));
  EXPECT_EQ(rk.m_samAccess, (REGSAM)(KEY_READ | KEY_WOW64_64KEY));
  ASSERT_TRUE(rk.Open(HKEY_LOCAL_MACHINE, "Software", REGKS_READ | REGKS_NO_AUTO_64));
  EXPECT_EQ(rk.m_samAccess, (REGSAM)KEY_READ) << "bit 31 is no access bit";
  ASSERT_TRUE(rk.Open(HKEY_LOCAL_MACHINE, "Software", KEY_WOW64_32KEY));
  EXPECT_EQ(rk.m_samAccess, (REGSAM)(KEY_READ | KEY_WOW64_32KEY));
  ASSERT_TRUE(rk.Create(HKEY_CURRENT_USER, key.Path().c_str(), KEY_WOW64_32KEY));
  EXPECT_EQ(rk.m_samAccess, (REGSAM)(KEY_ALL_ACCESS | KEY_WOW64_32KEY));
  EXPECT_EQ(rk.m_nMode, REGKS_CREATE);

  // The root itself, and a path below HKCU without a root name.
  ASSERT_TRUE(rk.Open(HKEY_CLASSES_ROOT, nullptr));
  EXPECT_STREQ(rk.GetLevelNamePtr(0), "");
  EXPECT_EQ(FullPath(rk, 0), "HKEY_CLASSES_ROOT");
  ASSERT_TRUE(rk.Open(nullptr, key.Path().c_str()));
  EXPECT_EQ(rk.m_hRoot, HKEY_CURRENT_USER);
  EXPECT_STREQ(rk.GetLevelNamePtr(0), key.Path().c_str());
}

TEST_F(RegKeyTest, MissingKeysByMode) {
  std::string missing = key.Path() + "\\Missing";
  EXPECT_FALSE(rk.Open(HKEY_CURRENT_USER, missing.c_str(), REGKS_READ));
  EXPECT_EQ(rk.m_nLastError, REGKS_ERR_MODE);
  EXPECT_EQ(rk.m_nDepth, -1);
  EXPECT_EQ(rk.m_hKey, nullptr);
  EXPECT_FALSE(rk.Open(HKEY_CURRENT_USER, missing.c_str(), REGKS_WRITE));
  EXPECT_EQ(rk.m_nLastError, REGKS_ERR_MODE);
  EXPECT_FALSE(KeyExists("Missing"));
  ASSERT_TRUE(rk.Open(HKEY_CURRENT_USER, missing.c_str(), REGKS_CREATE));
  EXPECT_TRUE(KeyExists("Missing"));
  EXPECT_EQ(rk.m_nDepth, 0);

  // Subkeys: a failed open reports 22551 and keeps the level; mode 2 creates
  // unless told not to.
  ASSERT_TRUE(rk.Open(HKEY_CURRENT_USER, key.Path().c_str(), REGKS_WRITE));
  EXPECT_FALSE(rk.OpenSubKey("Nope"));
  EXPECT_EQ(rk.m_nLastError, REGKS_ERR_MODE);
  EXPECT_FALSE(rk.CreateSubKey("Nope"));
  EXPECT_EQ(rk.m_nLastError, REGKS_ERR_MODE);
  ASSERT_TRUE(rk.Open(HKEY_CURRENT_USER, key.Path().c_str(), REGKS_CREATE));
  EXPECT_FALSE(rk.OpenSubKey("Nope", TRUE));
  EXPECT_EQ(rk.m_nLastError, REGKS_ERR_MODE);
  EXPECT_EQ(rk.m_nDepth, 0);
  EXPECT_FALSE(KeyExists("Nope"));
  ASSERT_TRUE(rk.OpenSubKey("Nope"));
  EXPECT_TRUE(KeyExists("Nope"));
  EXPECT_EQ(rk.m_nDepth, 1);
}

TEST_F(RegKeyTest, TwelveLevelsThenTooDeep) {
  for (int i = 1; i <= 11; ++i) {
    char name[8];
    wsprintfA(name, "L%d", i);
    ASSERT_TRUE(rk.CreateSubKey(name)) << i;
  }
  EXPECT_EQ(rk.m_nDepth, 11);
  EXPECT_EQ(rk.m_hKey, rk.m_hKeys[11]);
  EXPECT_FALSE(rk.OpenSubKey("More"));
  EXPECT_EQ(rk.m_nLastError, REGKS_ERR_TOO_DEEP);
  EXPECT_FALSE(rk.CreateSubKey("More"));
  EXPECT_EQ(rk.m_nLastError, REGKS_ERR_TOO_DEEP);
  EXPECT_FALSE(rk.RestartSubKeyEnum());
  EXPECT_EQ(rk.m_nLastError, REGKS_ERR_TOO_DEEP);
  EXPECT_EQ(rk.GetSubKeyCount(), 0u) << "the twelfth level still counts";
  EXPECT_EQ(rk.m_nLastError, 0);
  EXPECT_EQ(FullPath(rk, 2), "L1\\L2\\L3\\L4\\L5\\L6\\L7\\L8\\L9\\L10\\L11");

  ASSERT_TRUE(rk.CloseKey());
  EXPECT_EQ(rk.m_nDepth, 10);
  EXPECT_EQ(rk.m_hKey, rk.m_hKeys[10]);
  EXPECT_TRUE(rk.OpenSubKey("L11"));
  EXPECT_TRUE(rk.CloseAll());
  EXPECT_EQ(rk.m_nDepth, -1);
  EXPECT_EQ(rk.m_hKey, nullptr);
  EXPECT_EQ(rk.m_hRoot, nullptr);
  EXPECT_FALSE(rk.CloseKey());
  EXPECT_EQ(rk.m_nLastError, REGKS_ERR_CLOSED);
  EXPECT_FALSE(rk.OpenSubKey("L1"));
  EXPECT_EQ(rk.m_nLastError, REGKS_ERR_CLOSED);
}

TEST_F(RegKeyTest, FullPathStrings) {
  ASSERT_TRUE(rk.CreateSubKey("Classes"));
  std::string full = "HKEY_CURRENT_USER\\" + key.Path() + "\\Classes";
  EXPECT_EQ(FullPath(rk, 0), full);
  EXPECT_EQ(FullPath(rk, 1), key.Path() + "\\Classes");
  EXPECT_EQ(FullPath(rk, 2), "Classes");
  EXPECT_EQ(FullPath(rk, 7), "Classes");
  EXPECT_EQ(FullPath(rk, 0, (int)full.size() + 1), full) << "exactly the room it needs";
  EXPECT_EQ(FullPath(rk, 0, (int)full.size()), "<failed>") << "one byte too small";
  char buf[4] = "x";
  EXPECT_EQ(rk.GetFullPath(buf, 0, 0), -1);
  EXPECT_EQ(buf[0], 'x');

  // An empty level 0 (the root itself) is skipped.
  ASSERT_TRUE(rk.Open(HKEY_CURRENT_USER, ""));
  ASSERT_TRUE(rk.OpenSubKey("Software"));
  EXPECT_EQ(FullPath(rk, 0), "HKEY_CURRENT_USER\\Software");
  EXPECT_EQ(FullPath(rk, 1), "Software");

  rk.CloseAll();
  EXPECT_EQ(FullPath(rk, 0), "<failed>");
}

TEST_F(RegKeyTest, LevelTexts) {
  ASSERT_TRUE(rk.CreateSubKey("Child"));
  int n = -1;
  EXPECT_STREQ(rk.GetLevelNameLen(&n, -1), "Child");
  EXPECT_EQ(n, 5);
  EXPECT_EQ(rk.GetLevelNamePtr(2), nullptr);
  EXPECT_EQ(rk.m_nLastError, ERROR_INVALID_LEVEL);
  EXPECT_EQ(rk.GetLevelNamePtr(-2), nullptr);
  EXPECT_EQ(rk.m_nLastError, ERROR_INVALID_LEVEL);

  char buf[6];
  EXPECT_EQ(rk.GetLevelName(buf, 6, 1), 5);
  EXPECT_STREQ(buf, "Child");
  EXPECT_EQ(rk.GetLevelName(buf, 5, 1), 0) << "no room for the NUL";
  EXPECT_STREQ(buf, "");
  char* p = nullptr;
  EXPECT_EQ(rk.GetLevelNameAlloc(&p, 0), (int)key.Path().size());
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::string(p), key.Path());
  delete[] p;
  EXPECT_EQ(rk.GetLevelNameAlloc(&p, 5), 0);
  EXPECT_EQ(p, nullptr);
}

TEST_F(RegKeyTest, FindIndexInParentAndSubKeyEnumeration) {
  MakeKey("Alpha");
  MakeKey("Beta");
  MakeKey("Gamma");
  EXPECT_EQ(rk.FindIndexInParent(-1), -1) << "no parent at depth 0";
  ASSERT_TRUE(rk.OpenSubKey("beta"));
  EXPECT_EQ(rk.FindIndexInParent(-1), 1) << "found without regard to case";
  EXPECT_EQ(rk.m_nSubKeyIndex[0], 2u);
  EXPECT_EQ(rk.FindIndexInParent(1), -1) << "the innermost level has no child";
  ASSERT_TRUE(rk.CloseKey());
  ASSERT_TRUE(rk.OpenSubKey(REGKS_NAME_ENUM));
  EXPECT_STREQ(rk.GetLevelNamePtr(), "Gamma") << "the one after the found key";
  ASSERT_TRUE(rk.CloseKey());

  // Past the last subkey: nothing opened, the index stays.
  EXPECT_FALSE(rk.OpenSubKey(nullptr));
  EXPECT_EQ(rk.m_nLastError, ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(rk.m_nSubKeyIndex[0], 3u);
  EXPECT_EQ(rk.m_nDepth, 0);
  ASSERT_TRUE(rk.RestartSubKeyEnum());
  ASSERT_TRUE(rk.OpenSubKey(nullptr));
  EXPECT_STREQ(rk.GetLevelNamePtr(), "Alpha");
  EXPECT_EQ(rk.m_nValueIndex[1], 0u);
  EXPECT_EQ(rk.m_nSubKeyIndex[1], 0u);
}
