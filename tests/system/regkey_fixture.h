// A CRegKeyStack opened writable on a fresh test key, with raw helpers that
// reach the same key through the bare registry API.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "harness/registry_util.h"
#include "system/regkeystack.h"

class RegKeyTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(rk.Open(HKEY_CURRENT_USER, key.Path().c_str(), REGKS_CREATE)); }

  void Put(const char* name, DWORD type, const std::string& data) {
    ASSERT_EQ(RegSetValueExA(key.Handle(), name, 0, type, (const BYTE*)data.data(), (DWORD)data.size()), 0);
  }
  // The stored bytes, or "<missing>". Strings are read in their stored
  // UTF-16 form and narrowed here: the 8-bit reader of the system adds a NUL
  // of its own.
  std::string Get(const char* name, DWORD* pType = nullptr) {
    WCHAR wname[300];
    MultiByteToWideChar(CP_ACP, 0, name, -1, wname, 300);
    BYTE buf[4096];
    DWORD cb = sizeof buf, type = 0;
    if (RegQueryValueExW(key.Handle(), wname, nullptr, &type, buf, &cb) != 0) return "<missing>";
    if (pType) *pType = type;
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return std::string((char*)buf, cb);
    char text[2048];
    int n = WideCharToMultiByte(CP_ACP, 0, (const WCHAR*)buf, (int)cb / 2, text, sizeof text, nullptr, nullptr);
    return std::string(text, n);
  }
  void MakeKey(const char* path) {
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(key.Handle(), path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), 0);
    RegCloseKey(h);
  }
  bool KeyExists(const char* path) {
    HKEY h;
    if (RegOpenKeyExA(key.Handle(), path, 0, KEY_READ, &h) != 0) return false;
    RegCloseKey(h);
    return true;
  }

  TestRegistryKey key;
  CRegKeyStack rk;  // after key: closed before the key goes
};
