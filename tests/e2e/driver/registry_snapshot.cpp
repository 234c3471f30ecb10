#include "e2e/driver/registry_snapshot.h"

namespace {
bool Write(HKEY key, const RegistrySnapshot& snap) {
  bool ok = true;
  for (const RegistrySnapshot::Value& v : snap.values)
    ok &= RegSetValueExA(key, v.name.c_str(), 0, v.type, v.data.data(), (DWORD)v.data.size()) == ERROR_SUCCESS;
  for (const auto& sub : snap.subkeys) {
    HKEY child;
    if (RegCreateKeyExA(key, sub.first.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr) !=
        ERROR_SUCCESS) {
      ok = false;
      continue;
    }
    ok &= Write(child, sub.second);
    RegCloseKey(child);
  }
  return ok;
}
}  // namespace

RegistrySnapshot RegistrySnapshot::Take(HKEY root, const std::string& path) {
  RegistrySnapshot snap;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return snap;
  snap.existed = true;
  char name[16384];
  for (DWORD i = 0;; ++i) {
    DWORD nameLen = sizeof name, type = 0, size = 0;
    if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    Value v{std::string(name, nameLen), type, std::vector<BYTE>(size)};
    nameLen = sizeof name;
    RegEnumValueA(key, i, name, &nameLen, nullptr, &v.type, v.data.data(), &size);
    v.data.resize(size);
    snap.values.push_back(v);
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameLen = sizeof name;
    if (RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    snap.subkeys.emplace_back(name, Take(key, name));
  }
  RegCloseKey(key);
  return snap;
}

bool RegistrySnapshot::Restore(HKEY root, const std::string& path) const {
  if (!DeleteKeyTree(root, path)) return false;
  if (!existed) return true;
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  bool ok = Write(key, *this);
  RegCloseKey(key);
  return ok;
}

bool DeleteKeyTree(HKEY root, const std::string& path) {
  LONG rc = RegDeleteTreeA(root, path.c_str());
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return false;
  return RegDeleteKeyA(root, path.c_str()) != ERROR_ACCESS_DENIED;
}
