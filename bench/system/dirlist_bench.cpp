// The directory listing on 20,000 files, made by the Unix shell (creating
// them one by one through Wine takes minutes): open and read sorted against
// a FindFirstFileA loop and std::sort with _stricmp. Then, for the record,
// the time of a CShellItem walk over the same folder and of its listing as
// the network neighbourhood (through the neighbourhood seam).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "system/listing/dirlist.h"
#include "system/listing/neighbourhood.h"
#include "system/shellitem.h"

namespace {

std::wstring FromUtf8(const char* u) {
  int n = MultiByteToWideChar(CP_UTF8, 0, u, -1, nullptr, 0);
  std::wstring w(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, u, -1, &w[0], n);
  return w;
}

// Runs the shell on the directory and waits for its marker (Wine does not
// wait for a Unix program).
bool MakeFiles(const std::string& dir, int count) {
  typedef char*(CDECL * UnixName)(LPCWSTR);
  auto unixName = (UnixName)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
  std::wstring wdir(dir.begin(), dir.end());
  char* u = unixName ? unixName(wdir.c_str()) : nullptr;
  if (!u) return false;
  std::wstring cmd = L"Z:\\bin\\sh -c \"cd '" + FromUtf8(u) + L"' && seq -f 'f%05g.dat' " + std::to_wstring(count) +
                     L" | xargs touch && touch marker.end\"";
  HeapFree(GetProcessHeap(), 0, u);
  STARTUPINFOW si = {sizeof si};
  PROCESS_INFORMATION pi;
  if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::string marker = dir + "\\marker.end";
  for (int i = 0; i < 6000; ++i) {
    if (GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES) {
      DeleteFileA(marker.c_str());
      return true;
    }
    Sleep(10);
  }
  return false;
}

void RemoveAll(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((dir + "\\" + fd.cFileName).c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string dir = std::string(temp) + "ostrova_dirlist_bench_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  if (!MakeFiles(dir, 20000)) {
    std::printf("dirlist_bench: could not make the files\n");
    RemoveAll(dir);
    return 1;
  }
  std::string root = dir + "\\";
  bench::Compare(
      "CDirList sorted 20000 files",
      [&] {
        CDirList list(root.c_str(), DIRLIST_SORTED);
        bench::Sink(list.Read());
      },
      "FindFirstFileA + sort",
      [&] {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((root + "*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
          do {
            if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) names.push_back(fd.cFileName);
          } while (FindNextFileA(h, &fd));
          FindClose(h);
        }
        std::sort(names.begin(), names.end(),
                  [](const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) < 0; });
        bench::Sink((long long)names.size());
      },
      1, 7);

  CoInitialize(nullptr);
  IShellFolder* desktop = nullptr;
  LPITEMIDLIST list = nullptr;
  std::wstring wide(dir.begin(), dir.end());
  if (SUCCEEDED(SHGetDesktopFolder(&desktop)) &&
      SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, &wide[0], nullptr, &list, nullptr))) {
    // Few rounds: each walk takes seconds under Wine.
    double walk = bench::MedianNs(
        [&] {
          CShellItem item;
          long long n = 0;
          char name[SHELL_NAME_SIZE];
          if (item.OpenIdList(list)) {
            while (item.Next()) n += item.GetDisplayName(name);
          }
          bench::Sink(n);
        },
        1, 3);
    SetNeighbourhoodFolder(0, list);
    double listing = bench::MedianNs(
        [&] {
          CDirList network("\\\\", DIRLIST_NETWORK);
          bench::Sink(network.Read());
        },
        1, 3);
    SetNeighbourhoodFolder(CSIDL_NETWORK, nullptr);
    std::printf("CShellItem walk of 20000 files: %.2f s; CDirList network listing of them: %.2f s\n", walk / 1e9,
                listing / 1e9);
  }
  CoTaskMemFree(list);
  if (desktop) desktop->Release();
  CoUninitialize();
  RemoveAll(dir);
  return 0;
}
