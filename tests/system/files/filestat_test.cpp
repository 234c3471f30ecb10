#include "system/files/filestat.h"

#include <gtest/gtest.h>

#include <cstring>

#include "files_test_util.h"
#include "system/files/filecalls.h"

namespace {

// The mode bits the record should carry, from the attributes Wine reports.
uint32_t ExpectedMode(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  uint32_t m = 1;
  if (!(a & 1)) m |= 2;
  if (a & 0x10) m |= 0x10;
  if (a & 2) m |= 0x20;
  if (a & 0x20) m |= 0x40;
  if (a & 4) m |= 0x80;
  return m;
}

TEST(FileStat, RecordOfFilesAndDirectories) {
  FilesScratch dir;
  dir.Write("zehn €.bin", "0123456789");
  std::string f = dir / "zehn €.bin";
  SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  SetFileTimesUnixA(f.c_str(), 1234567890, -1, 1300000000);
  FileStatRecord r;
  memset(&r, 0x55, sizeof r);
  ASSERT_EQ(FSTAT_OK, FileStatA(f.c_str(), &r));
  EXPECT_EQ(ExpectedMode(f), r.mode);
  EXPECT_EQ(0x20u, r.mode & 0x22);
  EXPECT_EQ(10u, r.size);
  EXPECT_EQ(1234567890u, r.writeTime);
  EXPECT_EQ(1300000000u, r.accessTime);
  EXPECT_STREQ("", r.name);
  SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_HIDDEN);
  ASSERT_EQ(FSTAT_OK, FileStatA(f.c_str(), &r));
  EXPECT_EQ(0x22u, r.mode & 0x22);
  SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);

  dir.Dir("sub");
  ASSERT_EQ(FSTAT_OK, FileStatA((dir / "sub").c_str(), &r));
  EXPECT_EQ(ExpectedMode(dir / "sub"), r.mode);
  EXPECT_EQ(0x13u, r.mode & 0x13);

  // Missing file, missing directory: size and name cleared.
  strcpy(r.name, "x");
  r.size = 7;
  EXPECT_EQ(FSTAT_NOT_FOUND, FileStatA((dir / "fehlt").c_str(), &r));
  EXPECT_EQ(0u, r.size);
  EXPECT_STREQ("", r.name);
  r.size = 7;
  EXPECT_EQ(FSTAT_NO_PATH, FileStatA((dir / "fehlt\\x").c_str(), &r));
  EXPECT_EQ(0u, r.size);
  EXPECT_EQ(FSTAT_INVALID, FileStatA(f.c_str(), nullptr));
}

TEST(FileStat, LargeSparseFileAndTimeBefore1970) {
  FilesScratch dir;
  std::string f = dir / "groß.bin";
  HANDLE h = CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  LARGE_INTEGER at;
  at.QuadPart = 5LL << 30;
  ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(h));
  // 1969-12-31 23:59:59.
  FILETIME early;
  unsigned long long v = 116444736000000000ULL - 10000000ULL;
  early.dwLowDateTime = (DWORD)v;
  early.dwHighDateTime = (DWORD)(v >> 32);
  ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &early));
  CloseHandle(h);
  FileStatRecord r;
  ASSERT_EQ(FSTAT_OK, FileStatA(f.c_str(), &r));
  EXPECT_EQ(1u, r.mode >> FSTAT_SIZE_HIGH_SHIFT);
  EXPECT_EQ(ExpectedMode(f), r.mode & FSTAT_ATTRIBUTE_MASK);
  EXPECT_EQ(1u << 30, r.size);
  EXPECT_EQ(0u, r.writeTime);
}

TEST(FileStat, Search) {
  FilesScratch dir;
  dir.Write("a.txt", "1");
  dir.Write("b €.txt", "22");
  int error = 99;
  FileStatRecord r;
  HANDLE h = FileStatFirstA((dir / "*.txt").c_str(), &r, &error);
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(99, error);
  std::string names = r.name;
  uint32_t sizes = r.size;
  ASSERT_EQ(FSTAT_OK, FileStatNextA(h, &r));
  names += "|" + std::string(r.name);
  sizes += r.size;
  EXPECT_TRUE(names == "a.txt|b €.txt" || names == "b €.txt|a.txt") << names;
  EXPECT_EQ(3u, sizes);
  // After the last match the record keeps what the previous one filled in.
  std::string last = r.name;
  EXPECT_EQ(FSTAT_NOT_FOUND, FileStatNextA(h, &r));
  EXPECT_EQ(last, r.name);
  EXPECT_EQ(FSTAT_OK, FileStatClose(h));

  EXPECT_EQ(nullptr, FileStatFirstA((dir / "*.none").c_str(), &r, &error));
  EXPECT_EQ(FSTAT_NOT_FOUND, error);
  EXPECT_EQ(nullptr, FileStatFirstA((dir / "*.none").c_str(), &r, nullptr));
  EXPECT_EQ(nullptr, FileStatFirstA((dir / "fehlt\\*").c_str(), &r, &error));
  EXPECT_EQ(FSTAT_ERROR, error);
  EXPECT_EQ(nullptr, FileStatFirstA("x", nullptr, &error));
  EXPECT_EQ(FSTAT_INVALID, error);

  strcpy(r.name, "x");
  r.size = 5;
  EXPECT_EQ(FSTAT_INVALID, FileStatNextA(INVALID_HANDLE_VALUE, &r));
  EXPECT_EQ(0u, r.size);
  EXPECT_STREQ("", r.name);
  EXPECT_EQ(FSTAT_INVALID, FileStatClose(nullptr));

  char buf[MAX_PATH] = "keep";
  EXPECT_EQ(0, FullPathNameA("x", buf, 0));
  EXPECT_STREQ("keep", buf);
  EXPECT_EQ(6, FullPathNameA("c:\\a\\..\\b\\x", buf, MAX_PATH));
  EXPECT_STREQ("c:\\b\\x", buf);
}

}  // namespace
