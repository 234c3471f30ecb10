// Irregular values: the own writer keeps every byte where Wine's "regedit
// /E" rewrites them; the table pins both lines.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/regfile/regeditrun.h"
#include "app/regfile/regfilewriter.h"
#include "harness/registry_util.h"
#include "system/spawnprocess.h"

namespace {
// The value line of a one-value export (UTF-16 read as ASCII).
std::string ValueLine(const std::string& file) {
  std::string text;
  for (size_t i = 2; i + 1 < file.size(); i += 2) text += file[i];
  size_t start = text.find("]\r\n");
  if (start == std::string::npos) return "?";
  start += 3;
  return text.substr(start, text.find("\r\n\r\n", start) - start);
}

std::string WineExport(const std::string& key) {
  char program[MAX_PATH], dir[MAX_PATH];
  EXPECT_TRUE(FindRegeditProgram(program, sizeof program));
  GetTempPathA(MAX_PATH, dir);
  std::string file = std::string(dir) + "ostrova_irregular.reg";
  DeleteFileA(file.c_str());
  CSpawnProcess spawn;
  spawn.AddArg("/E", 2);
  spawn.AddArg(file.c_str(), (int)file.size());
  spawn.AddArg(key.c_str(), (int)key.size());
  spawn.Start(program, SPAWN_WAIT | SPAWN_SHOWCMD | SW_HIDE);
  std::string out;
  HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
  CloseHandle(h);
  DeleteFileA(file.c_str());
  return out;
}
}  // namespace

TEST(RegeditWine, IrregularValuesOursKeepsWinesRewrites) {
  struct Case {
    DWORD type;
    const char* data;  // a non-NUL byte follows the bytes, so no NUL is added
    DWORD size;
    const char* ours;
    const char* wine;  // '?': any character
  } cases[] = {
      {REG_SZ, "a\0bX", 3, "\"v\"=hex(1):61,00,62", "\"v\"=\"\""},
      {REG_SZ, "a\0b\0X", 4, "\"v\"=hex(1):61,00,62,00", "\"v\"=\"a\""},
      {REG_SZ, "a\0\0\0b\0\0\0", 8, "\"v\"=hex(1):61,00,00,00,62,00,00,00", "\"v\"=\"a\""},
      {REG_SZ, "X", 0, "\"v\"=hex(1):", "\"v\"=\"\""},
      // Wine reads four bytes of a two-byte DWORD: the upper half is whatever follows.
      {REG_DWORD, "\x01\x02", 2, "\"v\"=hex(4):01,02", "\"v\"=dword:????0201"},
      {REG_DWORD, "\x01\x02\x03\x04\x05\x06\x07\x08", 8, "\"v\"=hex(4):01,02,03,04,05,06,07,08",
       "\"v\"=dword:04030201"},
  };
  for (const Case& c : cases) {
    TestRegistryKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Handle(), L"v", 0, c.type, (const BYTE*)c.data, c.size));
    std::string ours;
    ASSERT_EQ(ERROR_SUCCESS, RegFileExportToBuffer(ours, key.FullPath().c_str(), kRegFileUnicode));
    EXPECT_EQ(c.ours, ValueLine(ours)) << c.ours;
    std::string wine = ValueLine(WineExport(key.FullPath())), expected = c.wine;
    for (size_t i = 0; i < expected.size() && i < wine.size(); ++i)
      if (expected[i] == '?') expected[i] = wine[i];
    EXPECT_EQ(expected, wine) << c.ours;
  }
}
