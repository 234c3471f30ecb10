// Helpers of the file-service tests: a scratch directory whose name holds
// "Maß €" (so every routine meets text beyond ASCII), widening through the
// ANSI code page, and small file helpers.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

inline std::wstring Widen(const std::string& s) {
  if (s.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_ACP, 0, s.data(), (int)s.size(), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), (int)s.size(), &w[0], n);
  return w;
}

// Removes a directory with everything below it through the wide calls, so
// that names beyond the code page go too; links are removed, not entered.
inline void RemoveTreeW(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = dir + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveTreeW(path);
      } else if (!DeleteFileW(path.c_str())) {
        RemoveDirectoryW(path.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

class FilesScratch {
 public:
  FilesScratch() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    for (int i = 0;; ++i) {
      char name[MAX_PATH];
      std::snprintf(name, sizeof name, "%sostrova_Maß €_%lu_%d\\", temp, GetCurrentProcessId(), i);
      if (CreateDirectoryA(name, nullptr)) {
        m_path = name;
        return;
      }
    }
  }
  ~FilesScratch() { RemoveTreeW(Widen(m_path.substr(0, m_path.size() - 1))); }
  FilesScratch(const FilesScratch&) = delete;
  FilesScratch& operator=(const FilesScratch&) = delete;

  const std::string& Path() const { return m_path; }
  std::wstring PathW() const { return Widen(m_path); }
  std::string operator/(const std::string& name) const { return m_path + name; }
  std::wstring W(const std::string& name) const { return Widen(m_path + name); }

  // Creates a file (and no directories) holding the text.
  void Write(const std::string& name, const std::string& text) const { WriteText(m_path + name, text); }
  void Dir(const std::string& name) const { CreateDirectoryA((m_path + name).c_str(), nullptr); }

  static void WriteText(const std::string& path, const std::string& text) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD n = 0;
    if (!text.empty()) WriteFile(h, text.data(), (DWORD)text.size(), &n, nullptr);
    CloseHandle(h);
  }
  // The file's bytes, or "<none>" when it cannot be read.
  static std::string ReadText(const std::string& path) {
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<none>";
    std::string out;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n) out.append(buf, n);
    CloseHandle(h);
    return out;
  }
  std::string Read(const std::string& name) const { return ReadText(m_path + name); }
  bool Exists(const std::string& name) const {
    return GetFileAttributesA((m_path + name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

 private:
  std::string m_path;
};

inline FILETIME MakeFileTime(unsigned long long v) {
  FILETIME ft;
  ft.dwLowDateTime = (DWORD)v;
  ft.dwHighDateTime = (DWORD)(v >> 32);
  return ft;
}
inline unsigned long long FileTimeToU64(const FILETIME& ft) {
  return ((unsigned long long)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
}

// The Unix name of a file of the prefix, widened from UTF-8; "" when Wine
// cannot tell it.
inline std::wstring UnixNameW(const std::string& path) {
  typedef char*(CDECL * UnixName)(LPCWSTR);
  auto unixName = (UnixName)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
  char* u = unixName ? unixName(Widen(path).c_str()) : nullptr;
  if (!u) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, u, -1, nullptr, 0);
  std::wstring w(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, u, -1, &w[0], n);
  HeapFree(GetProcessHeap(), 0, u);
  return w;
}

// Starts a Unix program of the host and polls until done() holds (the
// process handle Wine gives for it says nothing about its end); false when it
// cannot start or done() never holds.
template <class Done>
bool RunUnix(std::wstring cmd, Done done) {
  STARTUPINFOW si = {sizeof si};
  PROCESS_INFORMATION pi;
  if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  for (int i = 0; i < 500; ++i) {
    if (done()) return true;
    Sleep(10);
  }
  return false;
}

// A Unix symbolic link made by the Unix "ln", which Wine starts as it is
// (CreateSymbolicLink claims success and makes nothing); Wine shows it with
// the reparse-point attribute. False when it could not be made.
inline bool MakeUnixSymlink(const std::string& target, const std::string& link) {
  std::wstring t = UnixNameW(target);
  // The link does not exist yet: its directory's Unix name plus its name.
  size_t cut = link.find_last_of('\\');
  std::wstring d = UnixNameW(link.substr(0, cut));
  if (t.empty() || d.empty()) return false;
  return RunUnix(L"Z:\\bin\\ln -s \"" + t + L"\" \"" + d + L"/" + Widen(link.substr(cut + 1)) + L"\"",
                 [&] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

// Wine removes no Unix link to a directory: the host's rm does.
inline bool RemoveUnixSymlink(const std::string& link) {
  std::wstring l = UnixNameW(link);
  return !l.empty() && RunUnix(L"Z:\\bin\\rm -f \"" + l + L"\"",
                               [&] { return GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
}
