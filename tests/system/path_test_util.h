// Helpers of the path tests: both twins from one table of 8-bit texts, and a
// scratch directory that is removed afterwards.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

inline std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }
inline std::string Narrow(const std::wstring& s) {
  std::string out;
  for (wchar_t c : s) out += (char)c;
  return out;
}

// Removes a directory with everything below it, read-only files included.
inline void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = dir + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

// A fresh directory below the temporary directory, with a trailing
// backslash; removed with everything in it.
class ScratchDir {
 public:
  ScratchDir() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    for (int i = 0;; ++i) {
      char name[MAX_PATH];
      std::snprintf(name, sizeof name, "%sostrova_test_%lu_%d\\", temp, GetCurrentProcessId(), i);
      if (CreateDirectoryA(name, nullptr)) {
        m_path = name;
        return;
      }
    }
  }
  ~ScratchDir() { RemoveTree(m_path.substr(0, m_path.size() - 1)); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + name; }
  // Creates a file holding the text.
  void WriteFile(const std::string& name, const std::string& text) const {
    if (FILE* f = std::fopen((m_path + name).c_str(), "wb")) {
      std::fwrite(text.data(), 1, text.size(), f);
      std::fclose(f);
    }
  }

 private:
  std::string m_path;
};
