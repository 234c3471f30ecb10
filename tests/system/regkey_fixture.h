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
  // The stored bytes, or "<missing>".
  std::string Get(const char* name, DWORD* pType = nullptr) {
    char buf[4096];
    DWORD cb = sizeof buf, type = 0;
    if (RegQueryValueExA(key.Handle(), name, nullptr, &type, (BYTE*)buf, &cb) != 0) return "<missing>";
    if (pType) *pType = type;
    return std::string(buf, cb);
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
