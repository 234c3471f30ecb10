#include "system/files/filecalls.h"

#include <gtest/gtest.h>

#include <cstring>

#include "files_test_util.h"
#include "system/files/filetimes.h"

namespace {

// Both widths of the calls, on one 8-bit name.
struct Calls {
  bool wide;
  int SetTimesUnix(const std::string& n, int32_t w, int32_t c, int32_t a) const {
    return wide ? SetFileTimesUnixW(Widen(n).c_str(), w, c, a) : SetFileTimesUnixA(n.c_str(), w, c, a);
  }
  int SetTimes(const std::string& n, const FILETIME* w, const FILETIME* c, const FILETIME* a) const {
    return wide ? SetFileTimesW(Widen(n).c_str(), w, c, a) : SetFileTimesA(n.c_str(), w, c, a);
  }
  int CopyTimes(const std::string& s, const std::string& t) const {
    return wide ? CopyFileTimesW(Widen(s).c_str(), Widen(t).c_str()) : CopyFileTimesA(s.c_str(), t.c_str());
  }
  int FindKind(const std::string& n, DWORD* attrs, std::string* name) const {
    if (wide) {
      WIN32_FIND_DATAW fd;
      memset(&fd, 0x55, sizeof fd);
      int r = GetFileFindDataW(Widen(n).c_str(), &fd);
      *attrs = fd.dwFileAttributes | fd.nFileSizeLow | fd.nFileSizeHigh;
      *name = fd.cFileName[0] ? "x" : "";
      return r;
    }
    WIN32_FIND_DATAA fd;
    memset(&fd, 0x55, sizeof fd);
    int r = GetFileFindDataA(n.c_str(), &fd);
    *attrs = fd.dwFileAttributes | fd.nFileSizeLow | fd.nFileSizeHigh;
    *name = fd.cFileName[0] ? "x" : "";
    return r;
  }
  int AttrKind(const std::string& n, WIN32_FILE_ATTRIBUTE_DATA* d) const {
    return wide ? GetFileAttrDataW(Widen(n).c_str(), d) : GetFileAttrDataA(n.c_str(), d);
  }
  int Write(const std::string& n, const std::string& data, int count, int append) const {
    return wide ? WriteBufferToFileW(Widen(n).c_str(), data.data(), count, append)
                : WriteBufferToFileA(n.c_str(), data.data(), count, append);
  }
  int Read(const std::string& n, char* buf, int size) const {
    return wide ? ReadFileToBufferW(Widen(n).c_str(), buf, size) : ReadFileToBufferA(n.c_str(), buf, size);
  }
};

class FileCalls : public ::testing::TestWithParam<bool> {
 protected:
  Calls calls{GetParam()};
  FilesScratch dir;
};

TEST_P(FileCalls, TimesInTheirOrder) {
  std::string f = dir / "Zeit ß.txt";
  dir.Write("Zeit ß.txt", "x");
  ASSERT_EQ(1, calls.SetTimesUnix(f, 100000000, 200000000, 300000000));
  EXPECT_EQ(100000000u, GetFileUnixTimeA(f.c_str(), FILETIME_LAST_WRITE));
  EXPECT_EQ(300000000u, GetFileUnixTimeA(f.c_str(), FILETIME_LAST_ACCESS));
  // -1 for creation and access changes only the last write.
  ASSERT_EQ(1, calls.SetTimesUnix(f, 400000000, -1, -1));
  EXPECT_EQ(400000000u, GetFileUnixTimeA(f.c_str(), FILETIME_LAST_WRITE));
  EXPECT_EQ(300000000u, GetFileUnixTimeA(f.c_str(), FILETIME_LAST_ACCESS));
  FILETIME access;
  UnixTimeToFileTime(500000000, &access);
  ASSERT_NE(0, calls.SetTimes(f, nullptr, nullptr, &access));
  EXPECT_EQ(400000000u, GetFileUnixTimeA(f.c_str(), FILETIME_LAST_WRITE));
  EXPECT_EQ(500000000u, GetFileUnixTimeA(f.c_str(), FILETIME_LAST_ACCESS));

  // Copy to another file.
  dir.Write("Ziel.txt", "y");
  ASSERT_EQ(1, calls.CopyTimes(f, dir / "Ziel.txt"));
  EXPECT_EQ(400000000u, GetFileUnixTimeA((dir / "Ziel.txt").c_str(), FILETIME_LAST_WRITE));
  EXPECT_EQ(500000000u, GetFileUnixTimeA((dir / "Ziel.txt").c_str(), FILETIME_LAST_ACCESS));
  EXPECT_EQ(0, calls.CopyTimes(dir / "fehlt", dir / "Ziel.txt"));
  EXPECT_EQ(0, calls.CopyTimes(f, dir / "fehlt"));

  // No directory, no file held open without sharing.
  dir.Dir("sub");
  EXPECT_EQ(0, calls.SetTimesUnix(dir / "sub", 100000000, -1, -1));
  HANDLE h = CreateFileA(f.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  EXPECT_EQ(0, calls.SetTimesUnix(f, 100000000, -1, -1));
  EXPECT_EQ(0, calls.CopyTimes(dir / "Ziel.txt", f));
  CloseHandle(h);
}

TEST_P(FileCalls, FindAndAttributeData) {
  dir.Write("a €.txt", "0123456789");
  dir.Dir("sub");
  DWORD bits = 0;
  std::string name;
  EXPECT_EQ(1, calls.FindKind(dir / "a €.txt", &bits, &name));
  EXPECT_EQ("x", name);
  EXPECT_EQ(2, calls.FindKind(dir / "sub", &bits, &name));
  // A wildcard is not searched; the record's attributes, sizes and name are cleared.
  EXPECT_EQ(0, calls.FindKind(dir / "a*.txt", &bits, &name));
  EXPECT_EQ(0u, bits);
  EXPECT_EQ("", name);
  EXPECT_EQ(0, calls.FindKind(dir / "fehlt", &bits, &name));
  EXPECT_EQ(0u, bits);

  WIN32_FILE_ATTRIBUTE_DATA d;
  EXPECT_EQ(1, calls.AttrKind(dir / "a €.txt", &d));
  EXPECT_EQ(10u, d.nFileSizeLow);
  EXPECT_EQ(2, calls.AttrKind(dir / "sub\\", &d));
  memset(&d, 0x55, sizeof d);
  EXPECT_EQ(0, calls.AttrKind(dir / "fehlt", &d));
  EXPECT_EQ(0u, d.dwFileAttributes | d.nFileSizeLow | d.nFileSizeHigh);
}

TEST_P(FileCalls, WriteAndRead) {
  std::string f = dir / "puffer ß.bin";
  EXPECT_EQ(1, calls.Write(f, "0123456789", 10, 0));
  EXPECT_EQ("0123456789", FilesScratch::ReadText(f));
  EXPECT_EQ(1, calls.Write(f, "ab", 2, 1));
  EXPECT_EQ("0123456789ab", FilesScratch::ReadText(f));
  EXPECT_EQ(1, calls.Write(f, "", 0, 0));
  EXPECT_EQ("", FilesScratch::ReadText(f));
  EXPECT_EQ(0, calls.Write(f, "x", -1, 0));
  EXPECT_EQ(1, calls.Write(dir / "neu", "xyz", 3, 1));
  EXPECT_EQ("xyz", dir.Read("neu"));
  EXPECT_EQ(0, calls.Write(dir / "kein\\ordner", "x", 1, 0));

  calls.Write(f, "0123456789", 10, 0);
  char buf[16];
  memset(buf, 'q', sizeof buf);
  EXPECT_EQ(6, calls.Read(f, buf, 8));
  EXPECT_EQ(0, memcmp(buf, "012345\0\0", 8));
  EXPECT_EQ('q', buf[8]);
  memset(buf, 'q', sizeof buf);
  EXPECT_EQ(10, calls.Read(f, buf, 16));
  EXPECT_EQ(0, memcmp(buf, "0123456789\0\0", 12));
  memset(buf, 'q', sizeof buf);
  EXPECT_EQ(0, calls.Read(f, buf, 2));
  EXPECT_EQ(0, memcmp(buf, "\0\0q", 3));
  memset(buf, 'q', sizeof buf);
  EXPECT_EQ(0, calls.Read(dir / "fehlt", buf, 1));
  EXPECT_EQ(0, memcmp(buf, "\0q", 2));
  memset(buf, 'q', sizeof buf);
  EXPECT_EQ(0, calls.Read(dir / "fehlt", buf, 16));
  EXPECT_EQ(0, memcmp(buf, "\0\0q", 3));
  EXPECT_EQ(0, calls.Read(f, buf, 0));
  EXPECT_EQ('\0', buf[0]);
}

INSTANTIATE_TEST_SUITE_P(Widths, FileCalls, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "W" : "A"; });

}  // namespace
