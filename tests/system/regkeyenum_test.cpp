// CRegKeyStack: counting and enumerating, deleting values and key trees,
// saving and loading hives.
#include <cstdio>
#include <cstring>
#include <string>

#include "regkey_fixture.h"
#include "text/textlist/textlist.h"

using namespace std::string_literals;

TEST_F(RegKeyTest, EnumeratesValuesAndSubKeys) {
  Put("Eins", REG_SZ, "1");
  Put("Zwei", REG_DWORD, "\2\0\0\0"s);
  MakeKey("Sub");
  EXPECT_EQ(rk.GetValueCount(), 2u);
  EXPECT_EQ(rk.GetSubKeyCount(), 1u);

  int n = 0;
  EXPECT_STREQ(rk.EnumValueNameLen(&n, 1), "Zwei");
  EXPECT_EQ(n, 4);
  EXPECT_EQ(rk.m_dwType, (DWORD)REG_DWORD);
  EXPECT_EQ(rk.m_cbData, 4u);
  EXPECT_STREQ(rk.EnumValueName(-1), "Eins") << "-1 is the level's own index";
  EXPECT_EQ(rk.m_nValueIndex[0], 0u) << "and enumeration leaves it";
  EXPECT_EQ(rk.EnumValueName(2), nullptr);
  EXPECT_EQ(rk.m_nLastError, ERROR_NO_MORE_ITEMS);
  EXPECT_STREQ(rk.m_szName, "");
  EXPECT_EQ(rk.m_nNameLen, 0u);

  char buf[8] = "#";
  EXPECT_EQ(rk.EnumValueNameCopy(buf, 5, 0), 4);
  EXPECT_STREQ(buf, "Eins");
  EXPECT_EQ(rk.EnumValueNameCopy(buf, 4, 0), 0) << "no room for the NUL";
  EXPECT_STREQ(buf, "");
  char* p = nullptr;
  EXPECT_EQ(rk.EnumSubKeyNameAlloc(&p, 0), 3);
  ASSERT_NE(p, nullptr);
  EXPECT_STREQ(p, "Sub");
  delete[] p;
  EXPECT_EQ(rk.m_cbData, 0u);
  EXPECT_EQ(rk.EnumSubKeyNameAlloc(&p, 1), 0);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(rk.EnumSubKeyNameCopy(buf, 3, 0), 0);
  EXPECT_STREQ(buf, "");
}

TEST_F(RegKeyTest, NameMinusOneMovesTheValueIndex) {
  Put("A", REG_BINARY, "aaaa");
  Put("B", REG_BINARY, "bb");
  char buf[8];
  // Name and data in one call; the index moves even when the data does not fit.
  EXPECT_FALSE(rk.QueryValue(buf, 2, REGKS_NAME_ENUM, REG_BINARY));
  EXPECT_EQ(rk.m_nValueIndex[0], 1u);
  ASSERT_TRUE(rk.QueryValue(buf, 8, REGKS_NAME_ENUM, REG_SZ));
  EXPECT_STREQ(rk.m_szName, "B");
  EXPECT_EQ(std::string(buf, 3), "bb\0"s);
  EXPECT_FALSE(rk.QueryValue(buf, 8, REGKS_NAME_ENUM, REG_SZ));
  EXPECT_EQ(rk.m_nLastError, ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(rk.m_nValueIndex[0], 3u);

  rk.m_nValueIndex[0] = 0;
  char* pData = nullptr;
  ASSERT_TRUE(rk.QueryValueAlloc(&pData, REGKS_NAME_ENUM, REG_SZ));
  EXPECT_STREQ(pData, "aaaa");
  delete[] pData;
  EXPECT_EQ(rk.m_nValueIndex[0], 1u);

  // Writing at the index: the value there gets the data.
  ASSERT_TRUE(rk.SetValue("xyz", 3, REGKS_NAME_ENUM, REG_BINARY));
  EXPECT_EQ(Get("B"), "xyz");
  EXPECT_EQ(rk.m_nValueIndex[0], 2u);
  EXPECT_FALSE(rk.SetValue("xyz", 3, REGKS_NAME_ENUM, REG_BINARY)) << "nothing at the index";
  EXPECT_EQ(rk.m_nLastError, ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(rk.GetValueCount(), 2u) << "and nothing written";
}

TEST_F(RegKeyTest, DeletesValues) {
  Put("", REG_SZ, "default");
  Put("A", REG_SZ, "a");
  Put("B", REG_SZ, "b");
  ASSERT_TRUE(rk.DeleteValue(nullptr)) << "null is the default value";
  EXPECT_EQ(Get(""), "<missing>");
  EXPECT_EQ(rk.GetValueCount(), 2u);
  rk.m_nValueIndex[0] = 1;
  ASSERT_TRUE(rk.DeleteValue(REGKS_NAME_ENUM));
  EXPECT_EQ(Get("B"), "<missing>");
  EXPECT_EQ(rk.m_nValueIndex[0], 1u) << "the index does not move";
  EXPECT_FALSE(rk.DeleteValue(REGKS_NAME_ENUM));
  EXPECT_EQ(rk.m_nLastError, ERROR_NO_MORE_ITEMS);
  EXPECT_FALSE(rk.DeleteValue("Missing"));
  EXPECT_EQ(rk.m_nLastError, ERROR_FILE_NOT_FOUND);

  Put("C", REG_SZ, "c");
  Put("D", REG_DWORD, "\0\0\0\0"s);
  ASSERT_TRUE(rk.DeleteValue(REGKS_NAME_ALL));
  EXPECT_EQ(rk.GetValueCount(), 0u);
  EXPECT_TRUE(rk.DeleteValue(REGKS_NAME_ALL)) << "an empty key";
}

TEST_F(RegKeyTest, DeletesKeyTrees) {
  MakeKey("T\\A\\B\\C");
  MakeKey("T\\A\\D");
  MakeKey("T\\E");
  MakeKey("U");
  ASSERT_TRUE(rk.CreateSubKey("Level"));
  ASSERT_TRUE(rk.CloseKey());
  ASSERT_TRUE(rk.DeleteKey("T"));
  EXPECT_FALSE(KeyExists("T"));
  EXPECT_TRUE(KeyExists("U"));
  EXPECT_EQ(rk.m_nDepth, 0) << "back at the depth it had";
  EXPECT_FALSE(rk.DeleteKey("T"));

  // A name the object itself holds survives the recursion.
  MakeKey("V\\W");
  rk.m_nSubKeyIndex[0] = 0;
  ASSERT_STREQ(rk.EnumSubKeyName(0), "Level");
  ASSERT_STREQ(rk.EnumSubKeyName(2), "V");
  ASSERT_TRUE(rk.DeleteKey(rk.m_szName));
  EXPECT_FALSE(KeyExists("V"));

  // An empty name would be the current key itself.
  EXPECT_FALSE(rk.DeleteKey(""));
  EXPECT_EQ(rk.m_nLastError, ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(rk.DeleteKey(nullptr));
  EXPECT_TRUE(KeyExists("U"));
  EXPECT_TRUE(KeyExists(""));

  // -1 takes the subkey at the index; past the last it deletes nothing.
  rk.m_nSubKeyIndex[0] = 1;
  ASSERT_TRUE(rk.DeleteKey(REGKS_NAME_ENUM));
  EXPECT_FALSE(KeyExists("U"));
  EXPECT_FALSE(rk.DeleteKey(REGKS_NAME_ENUM));
  EXPECT_EQ(rk.m_nLastError, ERROR_NO_MORE_ITEMS);
  EXPECT_TRUE(KeyExists("Level"));

  MakeKey("X\\Y");
  ASSERT_TRUE(rk.DeleteKey(REGKS_NAME_ALL));
  EXPECT_EQ(rk.GetSubKeyCount(), 0u);
  EXPECT_TRUE(rk.DeleteKey(REGKS_NAME_ALL)) << "no subkeys";
}

TEST_F(RegKeyTest, DeletesInReadOnlyModeToo) {
  MakeKey("R\\S");
  ASSERT_TRUE(rk.Open(HKEY_CURRENT_USER, key.Path().c_str(), REGKS_READ));
  ASSERT_TRUE(rk.DeleteKey("R"));
  EXPECT_FALSE(KeyExists("R"));
}

TEST_F(RegKeyTest, MultiStringsThroughTextLists) {
  CTextList list;
  list.InsertString("C:\\Daten");
  list.InsertString("");
  list.InsertString("Grüße");
  list.InsertString("ignored");
  // An empty item ends a multi-string: what follows it is not written.
  ASSERT_TRUE(rk.SetTextList(list, "History", 0, 3));
  DWORD type = 0;
  EXPECT_EQ(Get("History", &type), "C:\\Daten\0\0"s);
  EXPECT_EQ(type, (DWORD)REG_MULTI_SZ);

  CTextList back;
  back.InsertString("old");
  ASSERT_TRUE(rk.QueryTextList(back, "History"));
  ASSERT_EQ(back.count, 1);
  EXPECT_STREQ(back.TextAt(0), "C:\\Daten");

  ASSERT_TRUE(rk.SetTextList(list, "Two", 2, 4));
  EXPECT_EQ(Get("Two"), "Grüße\0ignored\0\0"s);
  ASSERT_TRUE(rk.QueryTextList(back, "Two"));
  ASSERT_EQ(back.count, 2);
  EXPECT_STREQ(back.TextAt(0), "Grüße");
  EXPECT_STREQ(back.TextAt(1), "ignored");

  ASSERT_TRUE(rk.SetTextList(list, "None", 0, 0));
  EXPECT_EQ(Get("None"), "\0"s);
  ASSERT_TRUE(rk.QueryTextList(back, "None"));
  EXPECT_EQ(back.count, 0);

  // Text stored without terminators still ends cleanly.
  Put("Raw", REG_BINARY, "eins\0zwei"s);
  ASSERT_TRUE(rk.QueryTextList(back, "Raw"));
  ASSERT_EQ(back.count, 2);
  EXPECT_STREQ(back.TextAt(1), "zwei");

  back.InsertString("x");
  EXPECT_FALSE(rk.QueryTextList(back, "Missing"));
  EXPECT_EQ(back.count, 0) << "emptied in any case";
}

namespace {
bool EnablePrivilege(const char* name) {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES tp = {};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool ok = LookupPrivilegeValueA(nullptr, name, &tp.Privileges[0].Luid) &&
            AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr) && GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return ok;
}

std::string TempHiveName() {
  char dir[MAX_PATH], file[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  std::snprintf(file, sizeof file, "%sostrova_hive_%lu.dat", dir, GetCurrentProcessId());
  DeleteFileA(file);
  return file;
}
}  // namespace

TEST_F(RegKeyTest, SavesAndLoadsAHive) {
  ASSERT_TRUE(EnablePrivilege(SE_BACKUP_NAME));
  ASSERT_TRUE(EnablePrivilege(SE_RESTORE_NAME));
  MakeKey("Sub");
  HKEY h;
  ASSERT_EQ(RegOpenKeyExA(key.Handle(), "Sub", 0, KEY_ALL_ACCESS, &h), 0);
  RegSetValueExA(h, "Wert", 0, REG_BINARY, (const BYTE*)"hive", 4);
  RegCloseKey(h);

  std::string file = TempHiveName();
  ASSERT_TRUE(rk.Open(HKEY_CURRENT_USER, key.Path().c_str(), REGKS_READ));
  ASSERT_TRUE(rk.SaveKey(file.c_str())) << rk.m_nLastError;

  char name[64];
  std::snprintf(name, sizeof name, "OstrovaTestHive_%lu", GetCurrentProcessId());
  CRegKeyStack users;
  ASSERT_TRUE(users.Open(HKEY_USERS, nullptr, REGKS_WRITE));
  EXPECT_FALSE(users.LoadKey(name, file.c_str()));
  EXPECT_EQ(users.m_nLastError, REGKS_ERR_MODE);
  ASSERT_TRUE(users.Open(HKEY_USERS, nullptr, REGKS_CREATE));
  ASSERT_TRUE(users.LoadKey(name, file.c_str())) << users.m_nLastError;
  users.CloseAll();

  CRegKeyStack loaded;
  std::string path = std::string("HKEY_USERS\\") + name + "\\Sub";
  ASSERT_TRUE(loaded.Open(nullptr, path.c_str()));
  char buf[8] = {};
  EXPECT_TRUE(loaded.QueryValue(buf, sizeof buf, "Wert", REG_SZ));
  EXPECT_STREQ(buf, "hive");
  loaded.CloseAll();
  EXPECT_EQ(RegUnLoadKeyA(HKEY_USERS, name), 0);
  EXPECT_NE(RegOpenKeyExA(HKEY_USERS, name, 0, KEY_READ, &h), 0) << "unloaded";
  DeleteFileA(file.c_str());

  CRegKeyStack closed;
  EXPECT_FALSE(closed.SaveKey(file.c_str()));
  EXPECT_EQ(closed.m_nLastError, REGKS_ERR_CLOSED);
}

TEST_F(RegKeyTest, ReplaceKeyPreconditions) {
  CRegKeyStack closed;
  EXPECT_FALSE(closed.ReplaceKey("Sub", "new.dat", "old.dat"));
  EXPECT_EQ(closed.m_nLastError, REGKS_ERR_CLOSED);
  for (int mode : {0, 1, 5}) {
    ASSERT_TRUE(rk.Open(HKEY_CURRENT_USER, key.Path().c_str(), mode));
    EXPECT_FALSE(rk.ReplaceKey("Sub", "new.dat", "old.dat")) << mode;
    EXPECT_EQ(rk.m_nLastError, REGKS_ERR_MODE) << mode;
  }
  // Mode 2 hands the call to the system and keeps its answer.
  ASSERT_TRUE(rk.Open(HKEY_CURRENT_USER, key.Path().c_str(), REGKS_CREATE));
  LONG expected = RegReplaceKeyA(rk.m_hKey, "Sub", "new.dat", "old.dat");
  EXPECT_EQ(rk.ReplaceKey("Sub", "new.dat", "old.dat"), expected == ERROR_SUCCESS);
  EXPECT_EQ(rk.m_nLastError, expected);
}
