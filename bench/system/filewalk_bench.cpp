// The file enumeration and the tree copy on 500 directories (20 × 25) of
// 40 files of 0 to 16 KB, built once in the temporary directory: EnumFilesA
// with a counting callback against a bare FindFirstFileA walk, and
// CopyMoveTree with both totals and a callback against a CopyFileA loop,
// each into a fresh empty target (overwriting is slower: never mixed).
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

  // Copies: a fresh empty target for every round of either. Which goes first
  // alternates: the one after the removal of the last round's copies meets
  // the file system still busy with it.
  std::vector<double> tree, loop;
  for (int round = 0; round < 4; ++round) {
    std::string a = root + "\\tree" + std::to_string(round), c = root + "\\loop" + std::to_string(round);
    auto timeTree = [&] {
      uint64_t count = 0, copied = 0;
      long long reports = 0;
      FileEnumBlock b = {};
      b.callback = Counting;
      b.userData = (UINT_PTR)&reports;
      b.countTotal = &count;
      b.copyTotal = &copied;
      LARGE_INTEGER t0, t1;
      QueryPerformanceCounter(&t0);
      int files =
          CopyMoveTree(EF_RECURSE | EF_TOTAL64 | CMF_TOTAL64 | TREE_CREATE_TARGET, source.c_str(), a.c_str(), &b);
      QueryPerformanceCounter(&t1);
      tree.push_back(Seconds(t0, t1));
      bench::Sink(files);
    };
    auto timeLoop = [&] {
      LARGE_INTEGER t0, t1;
      QueryPerformanceCounter(&t0);
      CopyLoop(source, c);
      QueryPerformanceCounter(&t1);
      loop.push_back(Seconds(t0, t1));
    };
    if (round % 2) {
      timeLoop();
      timeTree();
    } else {
      timeTree();
      timeLoop();
    }
    RemoveTree(a);
    RemoveTree(c);
  }
  // The mean of the middle two of four.
  std::sort(tree.begin(), tree.end());
  std::sort(loop.begin(), loop.end());
  bench::Report("CopyMoveTree 20000 files", (tree[1] + tree[2]) / 2 * 1e9, "CopyFileA loop",
                (loop[1] + loop[2]) / 2 * 1e9);
  RemoveTree(root);
  return 0;
}
