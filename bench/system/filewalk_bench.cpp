// The file enumeration and the tree copy on 500 directories (20 × 25) of
// 40 files of 0 to 16 KB, built once in the temporary directory: EnumFilesA
// with a counting callback against a bare FindFirstFileA walk, and
// CopyMoveTree with both totals and a callback against a CopyFileA loop,
// each into a fresh empty target (overwriting is slower: never mixed), and
// the bare calls of the tree copy against the same loop.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench.h"
#include "system/files/copytree.h"
#include "system/files/filewalk.h"

namespace {

void WriteFileOf(const std::string& path, DWORD size) {
  static std::string data(16384, 'd');
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n;
  if (size) WriteFile(h, data.data(), size, &n, nullptr);
  CloseHandle(h);
}

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(dir + "\\" + name);
      } else {
        DeleteFileA((dir + "\\" + name).c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

long long BareWalk(const std::string& dir) {
  long long count = 0;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) count += BareWalk(dir + "\\" + fd.cFileName);
    } else {
      count += 1 + fd.nFileSizeLow;
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return count;
}

void CopyLoop(const std::string& from, const std::string& to) {
  CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string s = from + "\\" + fd.cFileName, t = to + "\\" + fd.cFileName;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) CopyLoop(s, t);
    } else {
      CopyFileA(s.c_str(), t.c_str(), FALSE);
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

// The tree copy's own calls with nothing around them.
void BareCopy(const std::string& from, const std::string& to) {
  static char buffer[4096];
  CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string s = from + "\\" + fd.cFileName, t = to + "\\" + fd.cFileName;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) BareCopy(s, t);
      continue;
    }
    const DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL;
    HANDLE in = CreateFileA(s.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
    HANDLE out = CreateFileA(t.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, flags, nullptr);
    for (DWORD got = sizeof(buffer), put; got == sizeof(buffer);) {
      if (!ReadFile(in, buffer, sizeof(buffer), &got, nullptr) || !got) break;
      WriteFile(out, buffer, got, &put, nullptr);
    }
    CloseHandle(out);
    CloseHandle(in);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

int Counting(UINT_PTR user, const char*, int, int reason, FileEnumBlock*) {
  ++*reinterpret_cast<long long*>(user) += reason;
  return 0;
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart;
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string root = std::string(temp) + "ostrova_filewalk_bench_" + std::to_string(GetCurrentProcessId());
  std::string source = root + "\\src";
  CreateDirectoryA(root.c_str(), nullptr);
  CreateDirectoryA(source.c_str(), nullptr);
  unsigned seed = 12345;
  for (int i = 0; i < 20; ++i) {
    std::string top = source + "\\d" + std::to_string(i);
    CreateDirectoryA(top.c_str(), nullptr);
    for (int j = 0; j < 25; ++j) {
      std::string sub = top + "\\s" + std::to_string(j);
      CreateDirectoryA(sub.c_str(), nullptr);
      for (int k = 0; k < 40; ++k) {
        seed = seed * 1103515245 + 12345;
        WriteFileOf(sub + "\\f" + std::to_string(k) + ".dat", (seed >> 8) % 16385);
      }
    }
  }

  bench::Compare(
      "EnumFilesA 20000 files",
      [&] {
        long long reports = 0;
        FileEnumBlock b = {};
        b.callback = Counting;
        b.userData = (UINT_PTR)&reports;
        bench::Sink(EnumFilesA(EF_RECURSE, source.c_str(), &b) + reports);
      },
      "FindFirstFileA walk", [&] { bench::Sink(BareWalk(source)); }, 1, 7);

  // Copies: a fresh empty target for every copy. Each goes first once: the
  // one after the removal of the last round's copies meets the file system
  // still busy with it.
  std::vector<double> times[3];
  for (int round = 0; round < 3; ++round) {
    std::string targets[3];
    for (int i = 0; i < 3; ++i) targets[i] = root + "\\copy" + std::to_string(round) + "_" + std::to_string(i);
    for (int i = 0; i < 3; ++i) {
      int which = (round + i) % 3;
      const std::string& to = targets[which];
      uint64_t count = 0, copied = 0;
      long long reports = 0;
      FileEnumBlock b = {};
      b.callback = Counting;
      b.userData = (UINT_PTR)&reports;
      b.countTotal = &count;
      b.copyTotal = &copied;
      LARGE_INTEGER t0, t1;
      QueryPerformanceCounter(&t0);
      if (which == 0) {
        bench::Sink(
            CopyMoveTree(EF_RECURSE | EF_TOTAL64 | CMF_TOTAL64 | TREE_CREATE_TARGET, source.c_str(), to.c_str(), &b));
      } else if (which == 1) {
        CopyLoop(source, to);
      } else {
        bench::Sink(BareWalk(source));
        BareCopy(source, to);
      }
      QueryPerformanceCounter(&t1);
      times[which].push_back(Seconds(t0, t1));
    }
    for (const std::string& to : targets) RemoveTree(to);
  }
  for (std::vector<double>& t : times) std::sort(t.begin(), t.end());
  bench::Report("CopyMoveTree 20000 files", times[0][1] * 1e9, "CopyFileA loop", times[1][1] * 1e9);
  // The floor: the calls the tree copy cannot do without (a counting walk,
  // then per file two opens and the 4096-byte blocks), bare.
  bench::Report("bare counted 4 KB block copies", times[2][1] * 1e9, "CopyFileA loop", times[1][1] * 1e9);
  RemoveTree(root);
  return 0;
}
