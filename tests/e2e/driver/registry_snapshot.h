// A key with its values and subkeys held in memory, so that the driver can
// give the program a fresh key and put the user's settings back afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct RegistrySnapshot {
  struct Value {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
  };
  bool existed = false;
  std::vector<Value> values;
  std::vector<std::pair<std::string, RegistrySnapshot>> subkeys;

  // Reads root\path with everything below it.
  static RegistrySnapshot Take(HKEY root, const std::string& path);
  // Makes root\path exactly what was read: removed when it did not exist.
  bool Restore(HKEY root, const std::string& path) const;
};

// Removes root\path with its subkeys; true when it is gone.
bool DeleteKeyTree(HKEY root, const std::string& path);
