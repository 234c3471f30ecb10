// The tests' registry root in the build tree's own prefix, and the pinned
// environment every test relies on.
#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>

#include "harness/registry_util.h"

namespace {
bool KeyExists(const std::string& path) {
  HKEY h;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}
}  // namespace

TEST(RegistryHarness, WritesReadsAndRemovesItsKey) {
  std::string path;
  {
    TestRegistryKey key;
    path = key.Path();
    ASSERT_NE(key.Handle(), nullptr);
    const char text[] = "Grüße";
    ASSERT_EQ(RegSetValueExA(key.Handle(), "Text", 0, REG_SZ, (const BYTE*)text, sizeof text), ERROR_SUCCESS);
    DWORD number = 0xDEADBEEF;
    ASSERT_EQ(RegSetValueExA(key.Handle(), "Number", 0, REG_DWORD, (const BYTE*)&number, 4), ERROR_SUCCESS);
    HKEY sub;
    ASSERT_EQ(RegCreateKeyExA(key.Handle(), "Sub\\Deeper", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(sub);

    char buf[32] = "";
    DWORD type = 0, size = sizeof buf;
    ASSERT_EQ(RegQueryValueExA(key.Handle(), "Text", nullptr, &type, (BYTE*)buf, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_STREQ(buf, text);
    EXPECT_EQ(size, sizeof text);
    DWORD back = 0;
    size = sizeof back;
    ASSERT_EQ(RegQueryValueExA(key.Handle(), "Number", nullptr, &type, (BYTE*)&back, &size), ERROR_SUCCESS);
    EXPECT_EQ(back, number);
    EXPECT_TRUE(KeyExists(path + "\\Sub\\Deeper"));
  }
  EXPECT_FALSE(KeyExists(path)) << "the key and its subkeys are gone";
}

TEST(RegistryHarness, EnvironmentIsPinned) {
  EXPECT_EQ(GetACP(), 1252u) << "8-bit texts are Windows-1252";
  // Windows-1252 bytes of the sources reach the program unchanged.
  EXPECT_EQ((unsigned char)"ä"[0], 0xE4);
  EXPECT_EQ((unsigned char)"€"[0], 0x80);
  EXPECT_EQ(L"€"[0], 0x20AC);
  EXPECT_EQ(sizeof(wchar_t), 2u);
  TIME_ZONE_INFORMATION tzi;
  GetTimeZoneInformation(&tzi);
  EXPECT_EQ(tzi.Bias, 0) << "tests run in UTC";
}
