// Copying, comparing and deleting whole keys through the 16-bit calls.
#include "app/browser/regmove.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const REGSAM kView = KEY_WOW64_64KEY;
// Test seam: the write that fails (counted over every copy since it was
// set; 0: none).
int g_failAt = 0;
int g_writes = 0;

struct CopyRun {
  LONG Written() { return g_failAt > 0 && ++g_writes == g_failAt ? ERROR_WRITE_FAULT : ERROR_SUCCESS; }
};

struct KeyInfo {
  std::wstring className;
  DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxValueData = 0;
};

LONG QueryInfo(HKEY key, KeyInfo* info) {
  WCHAR cls[MAX_PATH + 1];
  DWORD clsLength = MAX_PATH + 1;
  LONG err = RegQueryInfoKeyW(key, cls, &clsLength, nullptr, &info->subKeys, &info->maxSubKey, nullptr, &info->values,
                              &info->maxValueName, &info->maxValueData, nullptr, nullptr);
  if (err == ERROR_MORE_DATA) {
    // A longer class: asked again with room for it.
    std::vector<WCHAR> big(clsLength + 1);
    clsLength = (DWORD)big.size();
    err = RegQueryInfoKeyW(key, big.data(), &clsLength, nullptr, &info->subKeys, &info->maxSubKey, nullptr,
                           &info->values, &info->maxValueName, &info->maxValueData, nullptr, nullptr);
    if (err == ERROR_SUCCESS) info->className.assign(big.data(), clsLength);
    return err;
  }
  if (err == ERROR_SUCCESS) info->className.assign(cls, clsLength);
  return err;
}

// One value by index: name and bytes; the buffers grow when the key's
// values did meanwhile.
LONG EnumValue(HKEY key, DWORD index, std::vector<WCHAR>& name, DWORD* nameLength, DWORD* type, std::vector<BYTE>& data,
               DWORD* size) {
  for (int attempt = 0;; ++attempt) {
    DWORD n = (DWORD)name.size();
    // Two spare bytes after the data, never zero: the system would take a
    // zero there for the missing terminator of a string and store it too.
    DWORD got = (DWORD)data.size() - 2;
    LONG err = RegEnumValueW(key, index, name.data(), &n, nullptr, type, data.data(), &got);
    if (err == ERROR_MORE_DATA && attempt < 3) {
      KeyInfo info;
      if (QueryInfo(key, &info) != ERROR_SUCCESS) return err;
      if (name.size() < info.maxValueName + 2) name.resize(info.maxValueName + 2);
      if (data.size() < info.maxValueData + 2) data.resize(info.maxValueData + 2);
      std::fill(data.begin(), data.end(), 0xFF);
      continue;
    }
    if (err != ERROR_SUCCESS) return err;
    *nameLength = n;
    *size = got;
    return ERROR_SUCCESS;
  }
}

LONG ReadValue(HKEY key, const WCHAR* name, DWORD* type, std::vector<BYTE>& data, DWORD* size) {
  DWORD need = 0;
  LONG err = RegQueryValueExW(key, name, nullptr, type, nullptr, &need);
  if (err != ERROR_SUCCESS) return err;
  data.assign(need + 2, 0xFF);
  *size = need;
  return RegQueryValueExW(key, name, nullptr, type, data.data(), size);
}

LONG CopyContent(HKEY from, HKEY to, CopyRun& run) {
  KeyInfo info;
  LONG err = QueryInfo(from, &info);
  if (err != ERROR_SUCCESS) return err;
  std::vector<WCHAR> name(info.maxValueName + 2 > 260 ? info.maxValueName + 2 : 260);
  std::vector<BYTE> data(info.maxValueData + 2);
  for (DWORD i = 0;; ++i) {
    DWORD n = 0, type = 0, size = 0;
    std::fill(data.begin(), data.end(), 0xFF);
    err = EnumValue(from, i, name, &n, &type, data, &size);
    if (err == ERROR_NO_MORE_ITEMS) break;
    if (err != ERROR_SUCCESS) return err;
    std::fill(data.begin() + size, data.end(), 0xFF);
    name[n] = 0;
    err = RegSetValueExW(to, name.data(), 0, type, data.data(), size);
    if (err == ERROR_SUCCESS) err = run.Written();
    if (err != ERROR_SUCCESS) return err;
  }
  std::vector<WCHAR> sub(info.maxSubKey + 2 > 260 ? info.maxSubKey + 2 : 260);
  for (DWORD i = 0;; ++i) {
    DWORD n = (DWORD)sub.size();
    err = RegEnumKeyExW(from, i, sub.data(), &n, nullptr, nullptr, nullptr, nullptr);
    if (err == ERROR_NO_MORE_ITEMS) break;
    if (err != ERROR_SUCCESS) return err;
    HKEY fromChild = nullptr, toChild = nullptr;
    err = RegOpenKeyExW(from, sub.data(), 0, KEY_READ | kView, &fromChild);
    if (err != ERROR_SUCCESS) return err;
    KeyInfo childInfo;
    err = QueryInfo(fromChild, &childInfo);
    DWORD disposition = 0;
    if (err == ERROR_SUCCESS)
      err = RegCreateKeyExW(to, sub.data(), 0, childInfo.className.empty() ? nullptr : &childInfo.className[0], 0,
                            KEY_ALL_ACCESS | kView, nullptr, &toChild, &disposition);
    if (err == ERROR_SUCCESS && disposition != REG_CREATED_NEW_KEY) err = ERROR_ALREADY_EXISTS;
    if (err == ERROR_SUCCESS) err = run.Written();
    if (err == ERROR_SUCCESS) err = CopyContent(fromChild, toChild, run);
    RegCloseKey(fromChild);
    if (toChild) RegCloseKey(toChild);
    if (err != ERROR_SUCCESS) return err;
  }
  // The access list last, so that one that keeps this process out does not
  // stop the copy of what lies below.
  DWORD sdSize = 0;
  err = RegGetKeySecurity(from, DACL_SECURITY_INFORMATION, nullptr, &sdSize);
  if (err == ERROR_INSUFFICIENT_BUFFER && sdSize) {
    std::vector<BYTE> sd(sdSize);
    if (RegGetKeySecurity(from, DACL_SECURITY_INFORMATION, sd.data(), &sdSize) == ERROR_SUCCESS) {
      err = RegSetKeySecurity(to, DACL_SECURITY_INFORMATION, sd.data());
      if (err != ERROR_SUCCESS) return err;
    }
  }
  return ERROR_SUCCESS;
}

// ERROR_SUCCESS when b holds exactly the values and subkeys of a.
LONG CompareContent(HKEY a, HKEY b) {
  KeyInfo ia, ib;
  LONG err = QueryInfo(a, &ia);
  if (err == ERROR_SUCCESS) err = QueryInfo(b, &ib);
  if (err != ERROR_SUCCESS) return err;
  if (ia.values != ib.values || ia.subKeys != ib.subKeys || ia.className != ib.className) return ERROR_INVALID_DATA;
  std::vector<WCHAR> name(ia.maxValueName + 2 > 260 ? ia.maxValueName + 2 : 260);
  std::vector<BYTE> data(ia.maxValueData + 2), other;
  for (DWORD i = 0;; ++i) {
    DWORD n = 0, type = 0, size = 0, otherType = 0, otherSize = 0;
    err = EnumValue(a, i, name, &n, &type, data, &size);
    if (err == ERROR_NO_MORE_ITEMS) break;
    if (err != ERROR_SUCCESS) return err;
    name[n] = 0;
    err = ReadValue(b, name.data(), &otherType, other, &otherSize);
    if (err != ERROR_SUCCESS) return err == ERROR_FILE_NOT_FOUND ? ERROR_INVALID_DATA : err;
    if (type != otherType || size != otherSize || memcmp(data.data(), other.data(), size)) return ERROR_INVALID_DATA;
  }
  std::vector<WCHAR> sub(ia.maxSubKey + 2 > 260 ? ia.maxSubKey + 2 : 260);
  for (DWORD i = 0;; ++i) {
    DWORD n = (DWORD)sub.size();
    err = RegEnumKeyExW(a, i, sub.data(), &n, nullptr, nullptr, nullptr, nullptr);
    if (err == ERROR_NO_MORE_ITEMS) break;
    if (err != ERROR_SUCCESS) return err;
    HKEY ca = nullptr, cb = nullptr;
    err = RegOpenKeyExW(a, sub.data(), 0, KEY_READ | kView, &ca);
    if (err == ERROR_SUCCESS) {
      err = RegOpenKeyExW(b, sub.data(), 0, KEY_READ | kView, &cb);
      if (err == ERROR_FILE_NOT_FOUND) err = ERROR_INVALID_DATA;
    }
    if (err == ERROR_SUCCESS) err = CompareContent(ca, cb);
    if (ca) RegCloseKey(ca);
    if (cb) RegCloseKey(cb);
    if (err != ERROR_SUCCESS) return err;
  }
  return ERROR_SUCCESS;
}

}  // namespace

void SetRegCopyFailAt(int write) {
  g_failAt = write;
  g_writes = 0;
}

LONG DeleteRegTreeW(HKEY parent, const WCHAR* name) {
  if (!name || !*name) return ERROR_INVALID_PARAMETER;  // "" would be the parent itself
  HKEY key = nullptr;
  LONG err = RegOpenKeyExW(parent, name, 0, KEY_READ | DELETE | kView, &key);
  if (err != ERROR_SUCCESS) return err;
  WCHAR sub[260];
  for (;;) {
    DWORD n = 260;
    if (RegEnumKeyExW(key, 0, sub, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if ((err = DeleteRegTreeW(key, sub)) != ERROR_SUCCESS) break;
  }
  RegCloseKey(key);
  if (err != ERROR_SUCCESS) return err;
  return RegDeleteKeyExW(parent, name, kView, 0);
}

LONG MoveRegKeyByCopy(HKEY parent, const WCHAR* oldName, const WCHAR* newName, bool* copyKept) {
  if (copyKept) *copyKept = false;
  if (!oldName || !*oldName || !newName || !*newName) return ERROR_INVALID_PARAMETER;
  HKEY old = nullptr;
  LONG err = RegOpenKeyExW(parent, oldName, 0, KEY_READ | kView, &old);
  if (err != ERROR_SUCCESS) return err;
  HKEY probe = nullptr;
  if (RegOpenKeyExW(parent, newName, 0, KEY_QUERY_VALUE | kView, &probe) == ERROR_SUCCESS) {
    RegCloseKey(probe);
    RegCloseKey(old);
    return ERROR_ALREADY_EXISTS;
  }
  KeyInfo info;
  err = QueryInfo(old, &info);
  HKEY copy = nullptr;
  DWORD disposition = 0;
  if (err == ERROR_SUCCESS)
    err = RegCreateKeyExW(parent, newName, 0, info.className.empty() ? nullptr : &info.className[0], 0,
                          KEY_ALL_ACCESS | kView, nullptr, &copy, &disposition);
  if (err != ERROR_SUCCESS) {
    RegCloseKey(old);
    return err;
  }
  // Made by someone else meanwhile: not ours to fill or delete.
  if (disposition != REG_CREATED_NEW_KEY) {
    RegCloseKey(copy);
    RegCloseKey(old);
    return ERROR_ALREADY_EXISTS;
  }
  CopyRun run;
  err = CopyContent(old, copy, run);
  if (err == ERROR_SUCCESS) err = CompareContent(old, copy);
  RegCloseKey(copy);
  RegCloseKey(old);
  if (err != ERROR_SUCCESS) {
    DeleteRegTreeW(parent, newName);
    return err;
  }
  err = DeleteRegTreeW(parent, oldName);
  if (err != ERROR_SUCCESS && copyKept) *copyKept = true;
  return err;
}

bool SameRegName(const WCHAR* a, const WCHAR* b) {
  std::wstring x(a ? a : L""), y(b ? b : L"");
  if (x.size() != y.size()) return false;
  if (!x.empty()) {
    CharUpperBuffW(&x[0], (DWORD)x.size());
    CharUpperBuffW(&y[0], (DWORD)y.size());
  }
  return x == y;
}

LONG MoveRegValueW(HKEY key, const WCHAR* from, const WCHAR* to) {
  DWORD type = 0, size = 0;
  std::vector<BYTE> data;
  LONG err = ReadValue(key, from, &type, data, &size);
  if (err != ERROR_SUCCESS) return err;
  DWORD probe = 0;
  err = RegQueryValueExW(key, to, nullptr, nullptr, nullptr, &probe);
  if (err == ERROR_SUCCESS || err == ERROR_MORE_DATA) return ERROR_ALREADY_EXISTS;
  // ReadValue leaves non-zero bytes behind the data: stored as they are.
  err = RegSetValueExW(key, to, 0, type, data.data(), size);
  if (err != ERROR_SUCCESS) return err;
  DWORD backType = 0, backSize = 0;
  std::vector<BYTE> back;
  err = ReadValue(key, to, &backType, back, &backSize);
  if (err == ERROR_SUCCESS && (backType != type || backSize != size || memcmp(back.data(), data.data(), size)))
    err = ERROR_INVALID_DATA;
  if (err == ERROR_SUCCESS) err = RegDeleteValueW(key, from);
  if (err != ERROR_SUCCESS) RegDeleteValueW(key, to);
  return err;
}

LONG RenameRegItem(HKEY parent, const WCHAR* from, const WCHAR* to, RegItemMover move, RegItemExists exists,
                   std::wstring* leftAt) {
  if (leftAt) leftAt->clear();
  bool kept = false;
  if (!SameRegName(from, to)) {
    LONG err = move(parent, from, to, &kept);
    if (err != ERROR_SUCCESS && kept && leftAt) *leftAt = to;
    return err;
  }
  std::wstring step;
  for (int n = 1; n < 1000 && step.empty(); ++n) {
    std::wstring candidate = std::wstring(to) + L" ~" + std::to_wstring(n);
    if (!exists(parent, candidate.c_str())) step = candidate;
  }
  if (step.empty()) return ERROR_ALREADY_EXISTS;
  LONG err = move(parent, from, step.c_str(), &kept);
  if (err != ERROR_SUCCESS) {
    if (kept && leftAt) *leftAt = step;
    return err;
  }
  err = move(parent, step.c_str(), to, &kept);
  if (err == ERROR_SUCCESS) return err;
  if (kept) {
    if (leftAt) *leftAt = to;
    return err;
  }
  bool backKept = false;
  if (move(parent, step.c_str(), from, &backKept) != ERROR_SUCCESS && !backKept && leftAt) *leftAt = step;
  return err;
}
