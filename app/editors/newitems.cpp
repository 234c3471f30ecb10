// New values and keys with numbered names.
#include <cstdio>

#include "app/editors/valueeditor_internal.h"

namespace {
// Numbers tried before giving up; far beyond what a user makes by hand.
const int kMaxNumber = 9999;
}  // namespace

int CreateNewValue(HKEY root, const char* path, DWORD type, CString* name) {
  ValueRef key_ref;
  key_ref.root = root;
  key_ref.path = path ? path : "";
  CRegKeyStack key;
  if (!OpenValueKey(key, key_ref, REGKS_WRITE)) return 0;
  char candidate[64];
  for (int n = 1; n <= kMaxNumber; ++n) {
    std::snprintf(candidate, sizeof candidate, "Neuer Wert #%i", n);
    // Existing, also when too large for a probe: only "not found" is free.
    if (key.QueryValueSize(candidate) >= 0 || key.m_nLastError != ERROR_FILE_NOT_FOUND) continue;
    static const BYTE kZeros[8] = {};
    DWORD size = 0;
    switch (type) {
      case REG_SZ:
      case REG_EXPAND_SZ:
        size = 1;
        break;
      case REG_MULTI_SZ:
        size = 2;
        break;
      case REG_DWORD:
        size = 4;
        break;
      case REG_QWORD:
        size = 8;
        break;
    }
    if (!key.SetValue(kZeros, size, candidate, type)) {
      ShowEditError(kRegValueWriteError, key.m_nLastError);
      return 0;
    }
    if (name) *name = candidate;
    return 1;
  }
  ShowEditError(kRegValueWriteError, ERROR_ALREADY_EXISTS);
  return 0;
}

int CreateNewKey(HKEY root, const char* path, CString* name) {
  ValueRef key_ref;
  key_ref.root = root;
  key_ref.path = path ? path : "";
  CRegKeyStack key;
  if (!OpenValueKey(key, key_ref, REGKS_WRITE)) return 0;
  char candidate[64];
  for (int n = 1; n <= kMaxNumber; ++n) {
    std::snprintf(candidate, sizeof candidate, "Neuer Schlüssel #%i", n);
    HKEY sub = nullptr;
    DWORD disposition = 0;
    LONG err =
        RegCreateKeyExA(key.m_hKey, candidate, 0, nullptr, 0, KEY_READ | KEY_WOW64_64KEY, nullptr, &sub, &disposition);
    if (err != ERROR_SUCCESS) {
      ShowEditError(kRegValueWriteError, err);
      return 0;
    }
    RegCloseKey(sub);
    // An existing key is someone's: try the next number.
    if (disposition != REG_CREATED_NEW_KEY) continue;
    if (name) *name = candidate;
    return 1;
  }
  ShowEditError(kRegValueWriteError, ERROR_ALREADY_EXISTS);
  return 0;
}
