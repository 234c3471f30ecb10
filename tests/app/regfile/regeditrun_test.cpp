// Export and import through the system's registry editor: Wine's regedit
// (/E written by it, /A and /I by the own writer and reader), a stub in its
// place for the command line, exit codes and cancel, and ours against
// Wine's /E output.
#include <gtest/gtest.h>

#include <cstdio>
#include <windows.h>

#include <string>
#include <thread>

#include "harness/file_util.h"
#include "app/regfile/regeditrun.h"
#include "app/regfile/regfilewriter.h"
#include "harness/registry_util.h"
#include "system/spawnprocess.h"

namespace {

std::string StubPath() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path);
  return p.substr(0, p.find_last_of("\\/") + 1) + "regedit_stub.exe";
}

std::string Regedit() {
  char program[MAX_PATH] = "";
  EXPECT_TRUE(FindRegeditProgram(program, sizeof program));
  return program;
}

void SetRaw(HKEY h, const wchar_t* name, DWORD type, const void* data, DWORD cb) {
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(h, name, 0, type, (const BYTE*)data, cb));
}

// Values both writers put alike.
void FillRegular(HKEY h) {
  SetRaw(h, nullptr, REG_SZ, L"Standard", 18);
  SetRaw(h, L"quote\"back\\slash", REG_SZ, L"a\"b\\c", 12);
  DWORD dw = 0x2A;
  SetRaw(h, L"dword", REG_DWORD, &dw, 4);
  BYTE bin[100];
  for (int i = 0; i < 100; ++i) bin[i] = (BYTE)(255 - i);
  SetRaw(h, L"binary", REG_BINARY, bin, 100);
  SetRaw(h, L"a rather long value name to move the line break", REG_BINARY, bin, 60);
  SetRaw(h, L"expand", REG_EXPAND_SZ, L"%PATH%", 14);
  SetRaw(h, L"multi", REG_MULTI_SZ, L"eins\0zwei\0\0", 22);
  unsigned long long qw = 0x1122334455667788ull;
  SetRaw(h, L"qword", REG_QWORD, &qw, 8);
  SetRaw(h, L"none", REG_NONE, "\x01\x02", 2);
  SetRaw(h, L"type1234", 0x1234, "\xAB", 1);
  SetRaw(h, L"Gr\u00f6\u00dfe \u20ac", REG_SZ, L"\u03a9", 4);
  HKEY sub = nullptr;
  RegCreateKeyExW(h, L"\u00c4nderung \u20ac", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
  SetRaw(sub, L"x", REG_SZ, L"y", 4);
  RegCloseKey(sub);
  RegCreateKeyExW(h, L"leer", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
  RegCloseKey(sub);
}

struct StubEnv {
  std::string log = TempFile("ostrova_stub.log");
  explicit StubEnv(const char* exitCode) {
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("OSTROVA_STUB_LOG", log.c_str());
    SetEnvironmentVariableA("OSTROVA_STUB_EXIT", exitCode);
  }
  ~StubEnv() {
    SetEnvironmentVariableA("OSTROVA_STUB_LOG", nullptr);
    SetEnvironmentVariableA("OSTROVA_STUB_EXIT", nullptr);
    DeleteFileA(log.c_str());
  }
};
}  // namespace

TEST(RegeditRun, OursIsWinesExportForRegularValues) {
  TestRegistryKey key;
  FillRegular(key.Handle());
  std::string file = TempFile("ostrova wine export.reg");
  DeleteFileA(file.c_str());
  CSpawnProcess spawn;
  std::string program = Regedit();
  spawn.Reset(TRUE);
  std::string path = key.FullPath();
  spawn.AddArg("/E", 2);
  spawn.AddArg(file.c_str(), (int)file.size());
  spawn.AddArg(path.c_str(), (int)path.size());
  ASSERT_TRUE(spawn.Start(program.c_str(), SPAWN_WAIT | SPAWN_SHOWCMD | SW_HIDE));
  std::string wine = ReadFileBytes(file);
  DeleteFileA(file.c_str());
  std::string ours;
  ASSERT_EQ(ERROR_SUCCESS, RegFileExportToBuffer(ours, path.c_str(), kRegFileUnicode));
  ASSERT_FALSE(wine.empty());
  EXPECT_TRUE(wine == ours) << "Wine's " << wine.size() << " bytes, ours " << ours.size();
}

TEST(RegeditRun, WinesEditorExportsUnicodeAndTheOwnWriterAnsi) {
  TestRegistryKey key;
  FillRegular(key.Handle());
  std::string program = Regedit(), path = key.FullPath();
  for (const char* option : {"/E", "/A"}) {
    std::string file = TempFile("ostrova export.reg");
    // An old file of the other format: the run must replace it.
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, "old", 3, &written, nullptr);
    CloseHandle(h);
    CSpawnProcess spawn;
    RegeditRequest req;
    req.program = program.c_str();
    req.option = option;
    req.file = file.c_str();
    req.key = path.c_str();
    LONG error = -1;
    EXPECT_EQ(1, RunRegeditRequest(spawn, req, &error)) << option;
    EXPECT_EQ(ERROR_SUCCESS, error);
    int format = option[1] == 'A' ? kRegFileAnsi : kRegFileUnicode;
    std::string expected;
    RegFileExportToBuffer(expected, path.c_str(), format);
    EXPECT_TRUE(ReadFileBytes(file) == expected) << option;
    DeleteFileA(file.c_str());
  }
}

TEST(RegeditRun, ImportWithoutAnEditorThatImportsTakesTheOwnReader) {
  SetRegeditImportsAnswer(-1);
  CSpawnProcess spawn;
  std::string program = Regedit();
  EXPECT_FALSE(RegeditImports(spawn, program.c_str(), nullptr));  // Wine's rejects "/I"

  TestRegistryKey key;
  FillRegular(key.Handle());
  std::string file = TempFile("ostrova import.reg");
  ASSERT_EQ(ERROR_SUCCESS, RegFileExport(file.c_str(), key.FullPath().c_str(), kRegFileUnicode));
  std::string before;
  RegFileExportToBuffer(before, key.FullPath().c_str(), kRegFileUnicode);
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(key.Handle(), nullptr));
  RegeditRequest req;
  req.program = program.c_str();
  req.option = "/I";
  req.file = file.c_str();
  EXPECT_EQ(1, RunRegeditRequest(spawn, req));
  std::string after;
  RegFileExportToBuffer(after, key.FullPath().c_str(), kRegFileUnicode);
  EXPECT_TRUE(before == after);
  DeleteFileA(file.c_str());
  SetRegeditImportsAnswer(-1);
}

TEST(RegeditRun, StubGetsQuotedArgumentsAndExitCodesDecide) {
  TestRegistryKey key;
  std::string stub = StubPath(), path = key.FullPath() + "\\with blank";
  HKEY sub = nullptr;
  RegCreateKeyExA(key.Handle(), "with blank", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
  RegCloseKey(sub);
  std::string file = TempFile("ostrova stub out.reg");
  struct Case {
    const char* exitCode;
    int result;
    bool written;  // by the own writer: the stub writes nothing
  } cases[] = {{"0", 1, true}, {"-1", 1, true}, {"2", 0, false}};
  for (const Case& c : cases) {
    StubEnv env(c.exitCode);
    DeleteFileA(file.c_str());
    CSpawnProcess spawn;
    RegeditRequest req;
    req.program = stub.c_str();
    req.option = "/A";
    req.file = file.c_str();
    req.key = path.c_str();
    LONG error = 0;
    int result = RunRegeditRequest(spawn, req, &error);
    if (result == -1) {
      // Under a loaded Wine a process start fails now and then (CreateProcess,
      // not the request): once more, with the error on record.
      std::printf("stub start failed with error %ld; once more\n", (long)error);
      DeleteFileA(env.log.c_str());
      result = RunRegeditRequest(spawn, req, &error);
    }
    EXPECT_EQ(c.result, result) << c.exitCode << " error " << error;
    std::string line = ReadFileBytes(env.log);
    EXPECT_NE(std::string::npos, line.find(" /A \"" + file + "\" \"" + path + "\"\n")) << line;
    EXPECT_EQ(c.written, GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) << c.exitCode;
  }
  DeleteFileA(file.c_str());
  // An import passes no key; the stub imports nothing, so the probe says no
  // and the own reader runs: a file that is not there fails.
  StubEnv env("0");
  SetRegeditImportsAnswer(1);
  CSpawnProcess spawn;
  RegeditRequest req;
  req.program = stub.c_str();
  req.option = "/I";
  req.file = file.c_str();
  EXPECT_EQ(1, RunRegeditRequest(spawn, req));
  EXPECT_NE(std::string::npos, ReadFileBytes(env.log).find(" /I \"" + file + "\"\n"));
  SetRegeditImportsAnswer(-1);
  EXPECT_EQ(0, RunRegeditRequest(spawn, req));
  SetRegeditImportsAnswer(-1);
}

TEST(RegeditRun, CancelEndsTheEditorAndFails) {
  TestRegistryKey key;
  StubEnv env("wait");
  std::string stub = StubPath(), path = key.FullPath(), file = TempFile("ostrova cancel.reg");
  DeleteFileA(file.c_str());
  CSpawnProcess spawn;
  volatile LONG cancel = 0;
  RegeditRequest req;
  req.program = stub.c_str();
  req.option = "/E";
  req.file = file.c_str();
  req.key = path.c_str();
  req.cancel = &cancel;
  int result = -2;
  DWORD start = GetTickCount();
  std::thread worker([&] { result = RunRegeditRequest(spawn, req); });
  while (ReadFileBytes(env.log).empty() && GetTickCount() - start < 20000) Sleep(20);
  cancel = 1;
  spawn.Terminate(1);
  worker.join();
  EXPECT_EQ(0, result);
  EXPECT_LT(GetTickCount() - start, 20000u);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
}

TEST(RegeditRun, WinesEditorReadsOurFiles) {
  TestRegistryKey key;
  FillRegular(key.Handle());
  std::string path = key.FullPath(), file = TempFile("ostrova for wine.reg");
  for (int format : {kRegFileUnicode, kRegFileAnsi}) {
    std::string before;
    ASSERT_EQ(ERROR_SUCCESS, RegFileExport(file.c_str(), path.c_str(), format));
    RegFileExportToBuffer(before, path.c_str(), format);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(key.Handle(), nullptr));
    CSpawnProcess spawn;
    spawn.AddArg("/S", 2);
    spawn.AddArg(file.c_str(), (int)file.size());
    ASSERT_TRUE(spawn.Start(Regedit().c_str(), SPAWN_WAIT | SPAWN_SHOWCMD | SW_HIDE));
    std::string after;
    RegFileExportToBuffer(after, path.c_str(), format);
    // The ANSI file cannot carry Ω: both sides read it back as the same best fit.
    EXPECT_TRUE(before == after) << format;
  }
  DeleteFileA(file.c_str());
}
