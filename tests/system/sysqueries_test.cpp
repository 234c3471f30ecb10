#include "system/sysqueries.h"

#include <aclapi.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "files/files_test_util.h"
#include "harness/registry_util.h"
#include "system/programpath.h"

namespace {

// Injected redirection entries that record their calls.
std::vector<std::string> g_wowCalls;
BOOL WINAPI FakeDisable(PVOID* old) {
  *old = (PVOID)0x1234;
  g_wowCalls.push_back("disable");
  return TRUE;
}
BOOL WINAPI FakeEnable(BOOLEAN) {
  g_wowCalls.push_back("enable");
  return TRUE;
}
BOOL WINAPI FakeRevert(PVOID old) {
  g_wowCalls.push_back(old == (PVOID)0x1234 ? "revert saved" : "revert other");
  return TRUE;
}

TEST(SysQueries, RedirectionNests) {
  const Wow64Calls fake = {FakeDisable, FakeEnable, FakeRevert};
  SetWow64Calls(&fake);
  g_wowCalls.clear();
  EXPECT_EQ(1, SetWow64FsRedirection(0));  // no open level: nothing called
  EXPECT_EQ(1, SetWow64FsRedirection(1));
  EXPECT_EQ(2, SetWow64FsRedirection(1));
  EXPECT_EQ(1, SetWow64FsRedirection(0));
  EXPECT_EQ(1, SetWow64FsRedirection(0));
  EXPECT_EQ(1, SetWow64FsRedirection(-1));
  EXPECT_EQ(1, SetWow64FsRedirection(0));
  const std::vector<std::string> expected = {"disable", "revert saved", "enable", "revert saved"};
  EXPECT_EQ(expected, g_wowCalls);
  const Wow64Calls none = {nullptr, nullptr, nullptr};
  SetWow64Calls(&none);
  EXPECT_EQ(0, SetWow64FsRedirection(1));
  EXPECT_EQ(0, SetWow64FsRedirection(1));
  EXPECT_EQ(0, SetWow64FsRedirection(0));
  SetWow64Calls(nullptr);
  // The 64-bit test program does not run under Wow64.
  EXPECT_EQ(sizeof(void*) == 8 ? 0 : IsWow64(), IsWow64());
  EXPECT_EQ(IsUserAdmin(), IsTokenAdmin(nullptr));
}

TEST(SysQueries, RegistrySecurityNames) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"hkey_local_machine\\Software", "machine\\Software"},  // a pointer into the text: its case stays
      {"HKLM\\Software", "HKLM\\Software"},
      {"hkey_current_config\\x", "config\\x"},
      {"HKEY_CURRENT_USER\\a", "CURRENT_USER\\a"},
      {"HKEY_CLASSES_ROOT", "CLASSES_ROOT"},
      {"HKEY_USERS\\.DEFAULT", "USERS\\.DEFAULT"},
      {"", ""}};
  for (const Case& c : cases) {
    EXPECT_STREQ(c.out, RegPathToSecurityName(c.in)) << c.in;
    std::wstring w = Widen(c.in);
    EXPECT_EQ(Widen(c.out), RegPathToSecurityNameW(w.c_str())) << c.in;
  }
  EXPECT_EQ(nullptr, RegPathToSecurityName(nullptr));
}

TEST(SysQueries, OwnersAndAccess) {
  FilesScratch dir;
  dir.Write("eigen €.txt", "x");
  std::string file = dir / "eigen €.txt";
  char account[256], domain[256];
  ASSERT_EQ(OWNER_OK, GetObjectOwner(file.c_str(), SE_FILE_OBJECT, account, 256, domain, 256));
  EXPECT_NE('\0', account[0]);
  wchar_t waccount[256], wdomain[256];
  ASSERT_EQ(OWNER_OK, GetObjectOwnerW(Widen(file).c_str(), SE_FILE_OBJECT, waccount, 256, wdomain, 256));
  EXPECT_EQ(Widen(account), waccount);
  EXPECT_EQ(OWNER_OK, GetObjectOwner(file.c_str(), SE_FILE_OBJECT, nullptr, 0, nullptr, 0));
  // A buffer of the size the lookup reports is too small.
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  ASSERT_EQ(0u, GetNamedSecurityInfoA(file.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                                      nullptr, nullptr, &sd));
  DWORD na = 0, nd = 0;
  SID_NAME_USE use;
  LookupAccountSidA(nullptr, owner, nullptr, &na, nullptr, &nd, &use);
  LocalFree(sd);
  EXPECT_EQ(OWNER_BUFFER_TOO_SMALL, GetObjectOwner(file.c_str(), SE_FILE_OBJECT, account, na, domain, 256));
  EXPECT_EQ(OWNER_BUFFER_TOO_SMALL, GetObjectOwner(file.c_str(), SE_FILE_OBJECT, account, 256, domain, nd));
  EXPECT_EQ(OWNER_OK, GetObjectOwner(file.c_str(), SE_FILE_OBJECT, account, na + 1, domain, nd + 1));
  EXPECT_EQ(OWNER_NO_SECURITY_INFO, GetObjectOwner((dir / "fehlt").c_str(), SE_FILE_OBJECT, account, 256, domain, 256));
  // By handle.
  HANDLE h = CreateFileA(file.c_str(), READ_CONTROL, 7, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(OWNER_OK,
            GetObjectOwner((const char*)h, SE_FILE_OBJECT | SECURITY_OBJECT_HANDLE, account, 256, domain, 256));
  CloseHandle(h);

  // A key below the test root, named in the editor's way.
  TestRegistryKey key;
  std::string keyPath = "hkey_current_user\\" + key.Path();
  ASSERT_EQ(OWNER_OK, GetObjectOwner(keyPath.c_str(), SE_REGISTRY_KEY, account, 256, domain, 256));
  EXPECT_NE('\0', account[0]);

  // The access list set on a key reads back with Everyone's rights.
  ASSERT_EQ(1, SetObjectAccess(keyPath.c_str(), KEY_READ, SE_REGISTRY_KEY));
  PACL dacl = nullptr;
  std::string secName = "CURRENT_USER\\" + key.Path();
  ASSERT_EQ(0u, GetNamedSecurityInfoA(secName.c_str(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                      &dacl, nullptr, &sd));
  ASSERT_NE(nullptr, dacl);
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone;
  AllocateAndInitializeSid(&world, 1, 0, 0, 0, 0, 0, 0, 0, 0, &everyone);
  bool found = false;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace;
    if (GetAce(dacl, i, (void**)&ace) && ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
        EqualSid((PSID)&ace->SidStart, everyone)) {
      found = true;
      EXPECT_EQ((DWORD)KEY_READ, ace->Mask & KEY_READ);
    }
  }
  EXPECT_TRUE(found);
  FreeSid(everyone);
  LocalFree(sd);
  EXPECT_EQ(1, SetObjectAccessW(Widen(keyPath).c_str(), KEY_ALL_ACCESS, SE_REGISTRY_KEY));
  EXPECT_EQ(1, SetObjectAccess(file.c_str(), GENERIC_ALL, SE_FILE_OBJECT));
}

TEST(SysQueries, PrivilegesAndNames) {
  HANDLE token;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
  EXPECT_EQ(0, EnableTokenPrivilege(token, "SeCreateTokenPrivilege", 1));
  EXPECT_EQ(0, EnableTokenPrivilege(token, "KeinePrivilege", 1));
  EXPECT_EQ(1, EnableTokenPrivilege(token, "SeShutdownPrivilege", 1));
  CloseHandle(token);

  char name[64] = "keep";
  SetLastError(0);
  EXPECT_EQ(0, GetComputerNameFmt(name, 0, 0));
  EXPECT_EQ(87u, GetLastError());
  EXPECT_STREQ("keep", name);
  char expected[64];
  DWORD n = sizeof expected;
  ASSERT_TRUE(GetComputerNameA(expected, &n));
  EXPECT_EQ((int)n, GetComputerNameFmt(name, 64, ComputerNameNetBIOS));
  EXPECT_STREQ(expected, name);
  wchar_t wname[64];
  EXPECT_EQ((int)n, GetComputerNameFmtW(wname, 64, ComputerNameNetBIOS));
  EXPECT_EQ(Widen(expected), wname);
  int group = GetComputerNameFmt(name, 64, COMPUTER_NAME_WORKGROUP);
  EXPECT_GT(group, 0);
  EXPECT_EQ(group, (int)strlen(name));
  EXPECT_EQ(group, GetComputerNameFmtW(wname, 64, COMPUTER_NAME_WORKGROUP));
  EXPECT_EQ(Widen(name), wname);
  // Room for the name but not its terminator within size - 1.
  SetLastError(0);
  EXPECT_EQ(0, GetComputerNameFmt(name, group + 1, COMPUTER_NAME_WORKGROUP));
  EXPECT_EQ(111u, GetLastError());
  EXPECT_STREQ("", name);
  EXPECT_EQ(group, GetComputerNameFmt(name, group + 2, COMPUTER_NAME_WORKGROUP));
}

TEST(SysQueries, ProcessImagePath) {
  char dir[MAX_PATH];
  GetProgramDirectory(dir, MAX_PATH);
  std::string child = std::string(dir) + "spawn_child.exe";
  std::string cmd = "\"" + child + "\" sleep 5000";
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi;
  ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi));
  char path[MAX_PATH + 2];
  memset(path, 'q', sizeof path);
  int n = GetProcessImagePath(pi.dwProcessId, path, sizeof path);
  EXPECT_EQ((int)child.size(), n);
  EXPECT_EQ(0, _stricmp(child.c_str(), path));
  EXPECT_EQ(0, path[n + 1]);  // the Wow64 flag
  wchar_t wpath[MAX_PATH + 2];
  EXPECT_EQ(n, GetProcessImagePathW(pi.dwProcessId, wpath, MAX_PATH + 2));
  EXPECT_EQ(0, _wcsicmp(Widen(child).c_str(), wpath));
  // Size 2: nothing; an unreachable process leaves the buffer.
  strcpy(path, "keep");
  SetLastError(0);
  EXPECT_EQ(0, GetProcessImagePath(pi.dwProcessId, path, 2));
  EXPECT_EQ(87u, GetLastError());
  EXPECT_STREQ("", path);
  strcpy(path, "keep");
  EXPECT_EQ(0, GetProcessImagePath(4, path, sizeof path));
  EXPECT_STREQ("keep", path);
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

}  // namespace
