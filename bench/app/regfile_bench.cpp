// The own .reg writer against "regedit /E" and the own reader against
// "regedit /S" on a key of 10,000 subkeys and 50,000 values; the editor's
// runs include its process start, as the export command pays it too.
// Alternating runs after a warm-up, medians.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/regfile/regeditrun.h"
#include "app/regfile/regfileparse.h"
#include "app/regfile/regfilereader.h"
#include "app/regfile/regfilewriter.h"
#include "bench.h"
#include "system/spawnprocess.h"

namespace {
const char kBenchKey[] = "Software\\OstrovaTests\\RegFileBench";
const char kBenchPath[] = "HKEY_CURRENT_USER\\Software\\OstrovaTests\\RegFileBench";
const int kParents = 100;
const int kChildren = 99;  // 100 + 100 * 99 = 10,000 keys
const int kRuns = 5;

// The fixture as a .reg file: five values per key, of five types.
std::string FixtureFile() {
  std::wstring text = L"\r\n";
  wchar_t line[256];
  auto addKey = [&](const std::wstring& path, int n) {
    text += L"[" + path + L"]\r\n";
    wsprintfW(line, L"\"Name\"=\"Wert Nummer %d\"\r\n\"Zahl\"=dword:%08x\r\n", n, n);
    text += line;
    text += L"\"Daten\"=hex:00,11,22,33,44,55,66,77,88,99,aa,bb,cc,dd,ee,ff\r\n";
    text += L"\"Pfad\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n";
    text += L"\"Liste\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n\r\n";
  };
  std::wstring root = L"HKEY_CURRENT_USER\\Software\\OstrovaTests\\RegFileBench";
  int n = 0;
  for (int p = 0; p < kParents; ++p) {
    wsprintfW(line, L"\\Gruppe %03d", p);
    std::wstring parent = root + line;
    addKey(parent, n++);
    for (int c = 0; c < kChildren; ++c) {
      wsprintfW(line, L"\\Schl\u00fcssel %03d", c);
      addKey(parent + line, n++);
    }
  }
  std::string bytes = RegFileHeader(kRegFileUnicode);
  bytes.append((const char*)text.data(), text.size() * 2);
  return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
  CloseHandle(h);
}

void DeleteFixture() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kBenchKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, kBenchKey);
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart;
}

template <class F>
double Time(F fn) {
  LARGE_INTEGER a, b;
  QueryPerformanceCounter(&a);
  fn();
  QueryPerformanceCounter(&b);
  return Seconds(a, b);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

bool RunRegedit(const char* program, const char* a, const std::string& b, const char* c) {
  CSpawnProcess spawn;
  spawn.AddArg(a, (int)strlen(a));
  spawn.AddArg(b.c_str(), (int)b.size());
  if (c) spawn.AddArg(c, (int)strlen(c));
  return spawn.Start(program, SPAWN_WAIT | SPAWN_SHOWCMD | SW_HIDE) != 0;
}

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA fad;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &fad)) return -1;
  return ((long long)fad.nFileSizeHigh << 32) | fad.nFileSizeLow;
}
}  // namespace

int main() {
  char program[MAX_PATH], dir[MAX_PATH];
  if (!FindRegeditProgram(program, sizeof program)) {
    std::printf("regedit.exe not found\n");
    return 1;
  }
  GetTempPathA(MAX_PATH, dir);
  std::string fixture = std::string(dir) + "ostrova_bench_fixture.reg";
  std::string ours = std::string(dir) + "ostrova_bench_ours.reg";
  std::string theirs = std::string(dir) + "ostrova_bench_regedit.reg";
  WriteBytes(fixture, FixtureFile());
  DeleteFixture();
  LONG err = RegFileImport(fixture.c_str());
  if (err != ERROR_SUCCESS) {
    std::printf("fixture import failed: %ld\n", err);
    return 1;
  }

  // Writer: warm-up of both, then alternating runs.
  RegFileExport(ours.c_str(), kBenchPath, kRegFileUnicode);
  RunRegedit(program, "/E", theirs, kBenchPath);
  std::vector<double> own, sys;
  for (int r = 0; r < kRuns; ++r) {
    for (int k = 0; k < 2; ++k) {
      if ((r + k) % 2 == 0)
        own.push_back(Time([&] { RegFileExport(ours.c_str(), kBenchPath, kRegFileUnicode); }));
      else
        sys.push_back(Time([&] { RunRegedit(program, "/E", theirs, kBenchPath); }));
    }
  }
  std::printf("export: ours %lld bytes, regedit %lld bytes\n", FileSize(ours), FileSize(theirs));
  bench::Report("export 10000 keys / 50000 values", Median(own) * 1e9, "regedit /E", Median(sys) * 1e9);

  // Reader: each run imports into an empty key.
  own.clear(), sys.clear();
  for (int r = 0; r < kRuns; ++r) {
    // Which goes first alternates, so that the server's after-work of a
    // deletion or a save falls on both alike.
    for (int k = 0; k < 2; ++k) {
      DeleteFixture();
      if ((r + k) % 2 == 0)
        own.push_back(Time([&] { RegFileImport(ours.c_str()); }));
      else
        sys.push_back(Time([&] { RunRegedit(program, "/S", ours, nullptr); }));
    }
  }
  // The own import's steps: reading the file, the parse, the key creations
  // alone, and all writes (into an empty key each).
  std::vector<double> read, parse, keys, writes;
  std::string bytes;
  std::vector<RegFileOp> ops, keyOps;
  for (int r = 0; r < kRuns; ++r) {
    read.push_back(Time([&] {
      HANDLE h = CreateFileA(ours.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      bytes.assign((size_t)FileSize(ours), '\0');
      DWORD got = 0;
      ReadFile(h, &bytes[0], (DWORD)bytes.size(), &got, nullptr);
      CloseHandle(h);
    }));
    parse.push_back(Time([&] { RegFileParse(bytes.data(), bytes.size(), ops, nullptr); }));
    keyOps.clear();
    for (const RegFileOp& op : ops)
      if (op.kind == kRegFileOpKey) keyOps.push_back(op);
    DeleteFixture();
    keys.push_back(Time([&] { RegFileApply(keyOps); }));
    DeleteFixture();
    writes.push_back(Time([&] { RegFileApply(ops); }));
  }
  std::printf("import steps: read %.1f ms, parse %.1f ms, %zu keys %.1f ms, all %zu writes %.1f ms\n",
              Median(read) * 1e3, Median(parse) * 1e3, keyOps.size(), Median(keys) * 1e3, ops.size(),
              Median(writes) * 1e3);

  // The editor's import must have made the whole fixture.
  RegFileExport(theirs.c_str(), kBenchPath, kRegFileUnicode);
  std::printf("import: regedit /S made %lld bytes of export, ours %lld\n", FileSize(theirs), FileSize(ours));
  bench::Report("import 10000 keys / 50000 values", Median(own) * 1e9, "regedit /S", Median(sys) * 1e9);
  // The floor: the import's registry calls alone (one create per key from
  // its open parent, one set per value), without reading or parsing.
  bench::Report("import floor, registry calls", Median(writes) * 1e9, "regedit /S", Median(sys) * 1e9);

  DeleteFixture();
  DeleteFileA(fixture.c_str());
  DeleteFileA(ours.c_str());
  DeleteFileA(theirs.c_str());
  return 0;
}
