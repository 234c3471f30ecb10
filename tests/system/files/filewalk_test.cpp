#include "system/files/filewalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "files_test_util.h"
#include "walk_recorder.h"
#include "system/files/filecalls.h"
#include "system/files/filetimes.h"

namespace {

// Both widths with one 8-bit set-up; the block's results come back in 8-bit form.
struct Walk {
  int result;
  FileEnumBlock block;
};

Walk Enumerate(bool wide, uint32_t flags, const std::string& start, Recorder* rec, const char* masks = nullptr,
               const char* excludes = nullptr, bool callback = true) {
  Walk w;
  memset(&w.block, 0, sizeof w.block);
  if (wide) {
    FileEnumBlockW b;
    memset(&b, 0, sizeof b);
    std::wstring m = masks ? Widen(masks) : L"", e = excludes ? Widen(excludes) : L"";
    b.masks = masks ? m.c_str() : nullptr;
    b.excludes = excludes ? e.c_str() : nullptr;
    b.userData = (UINT_PTR)rec;
    b.callback = callback ? RecordW : nullptr;
    w.result = EnumFilesW(flags, Widen(start).c_str(), &b);
    memcpy(&w.block, &b, offsetof(FileEnumBlockW, value) + sizeof b.value);
    return w;
  }
  w.block.masks = masks;
  w.block.excludes = excludes;
  w.block.userData = (UINT_PTR)rec;
  w.block.callback = callback ? RecordA : nullptr;
  w.result = EnumFilesA(flags, start.c_str(), &w.block);
  return w;
}

class FileWalk : public ::testing::TestWithParam<bool> {
 protected:
  bool wide = GetParam();
  FilesScratch dir;
  Recorder rec{dir.Path()};
};

TEST_P(FileWalk, ReportSequenceOfAChain) {
  dir.Dir("x €");
  dir.Dir("x €\\y");
  dir.Write("x €\\y\\f.txt", "12345");
  Walk w = Enumerate(wide, EF_RECURSE, dir.Path(), &rec);
  EXPECT_EQ(1, w.result);
  const std::vector<std::string> expected = {"1 x €\\ @0 3 0", "1 x €\\y\\ @4 1 0", "0 x €\\y\\f.txt @6 5 5",
                                             "5  @0 0 1"};
  EXPECT_EQ(expected, rec.lines);
  EXPECT_EQ(1u, w.block.filesTotal);
  EXPECT_EQ(2u, w.block.dirsTotal);
  EXPECT_EQ(5u, w.block.bytesTotal);
}

TEST_P(FileWalk, MasksExcludesAndCounts) {
  dir.Write("a.txt", "1");
  dir.Write("b.LOG", "22");
  dir.Write("c.dat", "333");
  dir.Write("a", "4444");
  dir.Dir("sub");
  dir.Write("sub\\d.txt", "55555");
  struct Case {
    uint32_t flags;
    const char* masks;
    const char* excludes;
    int files;
    int maskCount;
    uint64_t bytes;
  };
  // clang-format off
  const Case cases[] = {
    {0, nullptr, nullptr, 4, 0, 10}, {EF_RECURSE, nullptr, nullptr, 5, 0, 15}, {0, "*.txt", nullptr, 1, 1, 1},
    {EF_RECURSE, "*.txt", nullptr, 2, 1, 6}, {0, "*.txt;*.log", nullptr, 2, 2, 3}, {EF_RECURSE, "", "", 5, 0, 15},
    {EF_RECURSE, nullptr, "*.txt;a", 2, 0, 5}, {0, "a", nullptr, 1, 1, 4}, {EF_RECURSE, "a", nullptr, 1, 1, 4},
    {0, "*.none", nullptr, 0, 1, 0}, {EF_RECURSE, "*.TXT", "d*", 1, 1, 1},
  };
  // clang-format on
  for (const Case& c : cases) {
    rec.lines.clear();
    uint64_t count = 7;
    Walk w;
    if (wide) {
      w = Enumerate(wide, c.flags, dir.Path(), &rec, c.masks, c.excludes);
    } else {
      FileEnumBlock b;
      memset(&b, 0, sizeof b);
      b.masks = c.masks;
      b.excludes = c.excludes;
      b.countTotal = &count;
      b.userData = (UINT_PTR)&rec;
      b.callback = RecordA;
      w.result = EnumFilesA(c.flags | EF_TOTAL64, dir.Path().c_str(), &b);
      w.block = b;
      EXPECT_EQ(c.bytes, count) << c.flags << " " << (c.masks ? c.masks : "-");
    }
    std::string what =
        std::to_string(c.flags) + " " + (c.masks ? c.masks : "-") + " " + (c.excludes ? c.excludes : "-");
    EXPECT_EQ(c.files, w.result) << what;
    EXPECT_EQ(c.maskCount, w.block.maskCount) << what;
    EXPECT_EQ(c.bytes, w.block.bytesTotal) << what;
    EXPECT_EQ(c.files,
              (int)std::count_if(rec.lines.begin(), rec.lines.end(), [](const std::string& l) { return l[0] == '0'; }))
        << what;
    // Nothing found is no error: no error report, the end report with 0.
    EXPECT_EQ(0, std::count_if(rec.lines.begin(), rec.lines.end(), [](const std::string& l) { return l[0] == '4'; }));
    EXPECT_EQ("5  @0 0 " + std::to_string(c.files), rec.lines.back()) << what;
  }
}

TEST_P(FileWalk, SkipStopAndCancel) {
  dir.Write("a.txt", "1");
  dir.Dir("s1");
  dir.Dir("s2");
  dir.Write("s1\\b.txt", "2");
  rec.answer = [](int reason, const std::string&) { return reason == ENUM_DIRECTORY ? 1 : 0; };
  Walk w = Enumerate(wide, EF_RECURSE, dir.Path(), &rec);
  EXPECT_EQ(1, w.result);
  EXPECT_EQ(0u, w.block.dirsTotal);
  rec.lines.clear();
  rec.answer = [](int reason, const std::string&) { return reason == ENUM_FILE ? -1 : 0; };
  w = Enumerate(wide, EF_RECURSE, dir.Path(), &rec);
  EXPECT_EQ(0, w.result);
  EXPECT_EQ("5  @0 0 0", rec.lines.back());
  // Files skipped are not counted.
  rec.lines.clear();
  rec.answer = [](int reason, const std::string&) { return reason == ENUM_FILE ? 1 : 0; };
  w = Enumerate(wide, EF_RECURSE, dir.Path(), &rec);
  EXPECT_EQ(0, w.result);
  EXPECT_EQ(2u, w.block.dirsTotal);
  // A set cancel byte stops before the first entry.
  rec.answer = nullptr;
  char cancel = 1;
  FileEnumBlock b;
  memset(&b, 0, sizeof b);
  b.cancel = &cancel;
  EXPECT_EQ(0, EnumFilesA(EF_RECURSE, dir.Path().c_str(), &b));
}

TEST_P(FileWalk, ErrorsAndLimits) {
  // A missing start: -9 after an error report and the end report.
  Walk w = Enumerate(wide, 0, dir / "fehlt", &rec);
  EXPECT_EQ(-9, w.result);
  const std::vector<std::string> missing = {"4 fehlt\\ @6 0 -9", "5  @0 0 -9"};
  EXPECT_EQ(missing, rec.lines);
  EXPECT_EQ(-9, Enumerate(wide, 0, dir / "fehlt", &rec, nullptr, nullptr, false).result);
  // A start of 256 characters: -8 and the last error 161.
  std::string longStart = dir.Path() + std::string(256 - dir.Path().size(), 'l');
  rec.lines.clear();
  SetLastError(0);
  w = Enumerate(wide, 0, longStart, &rec);
  EXPECT_EQ(-8, w.result);
  EXPECT_EQ(161u, GetLastError());
  ASSERT_EQ(2u, rec.lines.size());
  EXPECT_EQ("4 " + longStart.substr(dir.Path().size()) + " @" + std::to_string(256 - dir.Path().size()) + " 0 -8",
            rec.lines[0]);
  EXPECT_EQ(-8, Enumerate(wide, 0, longStart, &rec, nullptr, nullptr, false).result);
  std::string fits = dir.Path() + std::string(254 - dir.Path().size(), 'l');
  EXPECT_EQ(-9, Enumerate(wide, 0, fits, &rec, nullptr, nullptr, false).result);
  // A directory and a single pattern together beyond 259 characters.
  std::string pattern(260 - dir.Path().size(), '*');
  rec.lines.clear();
  EXPECT_EQ(-8, Enumerate(wide, 0, dir.Path(), &rec, pattern.c_str()).result);
  EXPECT_TRUE(rec.lines.empty());
}

TEST_P(FileWalk, TwentyLevelsDeep) {
  std::string rel;
  for (int level = 0; level < 20; ++level) {
    dir.Write(rel + "f.txt", "x");
    rel += "d" + std::to_string(level + 1) + "\\";
    dir.Dir(rel);
  }
  Walk w = Enumerate(wide, EF_RECURSE, dir.Path(), &rec);
  EXPECT_EQ(16, w.result);
  EXPECT_EQ(16u, w.block.dirsTotal);
  int dirReports =
      (int)std::count_if(rec.lines.begin(), rec.lines.end(), [](const std::string& l) { return l[0] == '1'; });
  EXPECT_EQ(16, dirReports);
}

TEST_P(FileWalk, PathOutput) {
  char buffer[261];
  wchar_t wbuffer[261];
  FileEnumBlock b;
  memset(&b, 0, sizeof b);
  b.findData = buffer;
  b.masks = "*.txt";
  b.excludes = "x";
  b.filesTotal = 9;
  FileEnumBlockW bw;
  memset(&bw, 0, sizeof bw);
  bw.findData = wbuffer;
  bw.masks = L"*.txt";
  int r = wide ? EnumFilesW(EF_PATH_ONLY | EF_DIR_OF_PATH, dir.W("sub\\name").c_str(), &bw)
               : EnumFilesA(EF_PATH_ONLY | EF_DIR_OF_PATH, (dir / "sub\\name").c_str(), &b);
  EXPECT_EQ(1, r);
  if (wide) {
    EXPECT_EQ(dir.W("sub\\*.txt"), wbuffer);
    EXPECT_EQ(0, bw.value);
    EXPECT_EQ(dir.Path().size() + 4, bw.nameLength);
  } else {
    EXPECT_STREQ((dir / "sub\\*.txt").c_str(), buffer);
    EXPECT_EQ((int64_t)(INT_PTR)b.excludes, b.value);
    EXPECT_EQ(dir.Path().size() + 4, b.nameLength);
    EXPECT_EQ(0u, b.filesTotal);
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, FileWalk, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "W" : "A"; });

class DeleteTreeTest : public ::testing::TestWithParam<bool> {
 protected:
  int Delete(const std::string& d, int mode) {
    return GetParam() ? DeleteTreeW(Widen(d).c_str(), mode) : DeleteTree(d.c_str(), mode);
  }
  int DeleteOld(const std::string& d, int mode, uint64_t age, const char* list, FILETIME ref) {
    if (GetParam()) {
      std::wstring l = list ? Widen(list) : L"";
      return DeleteOldFilesW(Widen(d).c_str(), mode, age, list ? l.c_str() : nullptr, ref);
    }
    return DeleteOldFilesA(d.c_str(), mode, age, list, ref);
  }
  void Fill(const FilesScratch& s) {
    s.Dir("t €");
    s.Write("t €\\a.txt", "a");
    s.Dir("t €\\sub");
    s.Write("t €\\sub\\b.txt", "b");
    s.Dir("t €\\sub\\leer");
    SetFileAttributesA((s / "t €\\sub\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  }
  FilesScratch dir;
};

TEST_P(DeleteTreeTest, Modes) {
  Fill(dir);
  EXPECT_NE(0, Delete(dir / "t €", DELTREE_FILES_ONLY));
  EXPECT_TRUE(dir.Exists("t €\\sub\\leer"));
  EXPECT_FALSE(dir.Exists("t €\\sub\\b.txt"));
  EXPECT_FALSE(dir.Exists("t €\\a.txt"));
  Fill(dir);
  EXPECT_NE(0, Delete(dir / "t €\\", DELTREE_KEEP_START));
  EXPECT_TRUE(dir.Exists("t €"));
  EXPECT_FALSE(dir.Exists("t €\\sub"));
  Fill(dir);
  EXPECT_NE(0, Delete(dir / "t €", DELTREE_ALL));
  EXPECT_FALSE(dir.Exists("t €"));
  EXPECT_EQ(0, Delete(dir / "fehlt", DELTREE_ALL));
  EXPECT_EQ(1, Delete(dir / "fehlt", DELTREE_KEEP_START));
  EXPECT_EQ(0, Delete("", DELTREE_KEEP_START));
}

// A link to a directory (Wine shows a Unix one as 0x410) is never entered.
// Wine shows a link to a file as a plain file, and removing a link removes an
// empty target too: only a target with contents shows what is kept.
TEST_P(DeleteTreeTest, LinksAreNotEntered) {
  dir.Dir("ziel");
  dir.Write("ziel\\bleibt.txt", "x");
  dir.Dir("baum");
  dir.Write("baum\\weg.txt", "w");
  if (!MakeUnixSymlink(dir / "ziel", dir / "baum\\link")) GTEST_SKIP() << "no Unix symlinks here";
  ASSERT_EQ(0x410u, GetFileAttributesA((dir / "baum\\link").c_str()) & 0x410);
  FILETIME now = {0, 0};
  EXPECT_EQ(1, DeleteOld(dir / "baum", DELTREE_FILES_ONLY, 0, nullptr, now));
  EXPECT_FALSE(dir.Exists("baum\\weg.txt"));
  EXPECT_EQ("x", dir.Read("ziel\\bleibt.txt"));
  dir.Write("baum\\weg.txt", "w");
  EXPECT_NE(0, Delete(dir / "baum", DELTREE_FILES_ONLY));
  EXPECT_FALSE(dir.Exists("baum\\weg.txt"));
  EXPECT_EQ("x", dir.Read("ziel\\bleibt.txt"));
  Delete(dir / "baum", DELTREE_KEEP_START);
  Delete(dir / "baum", DELTREE_ALL);
  EXPECT_EQ("x", dir.Read("ziel\\bleibt.txt"));
  // The link goes while its target is there: a dangling one stays in the
  // prefix's temporary folder for good.
  EXPECT_TRUE(RemoveUnixSymlink(dir / "baum\\link"));
}

TEST_P(DeleteTreeTest, OldFiles) {
  Fill(dir);
  dir.Write("t €\\neu.txt", "n");
  dir.Write("t €\\alt.log", "l");
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  uint64_t nowValue = FileTimeToU64(now);
  FILETIME future = MakeFileTime(nowValue + 3600ULL * 10000000ULL),
           past = MakeFileTime(nowValue - 7200ULL * 10000000ULL);
  SetFileTimesA((dir / "t €\\neu.txt").c_str(), &future, nullptr, nullptr);
  SetFileTimesA((dir / "t €\\alt.log").c_str(), &past, nullptr, nullptr);
  SetFileTimesA((dir / "t €\\a.txt").c_str(), &past, nullptr, nullptr);
  FILETIME zero = {0, 0};
  // An hour's age with a list: only the old .log goes.
  EXPECT_EQ(1, DeleteOld(dir / "t €", DELTREE_FILES_ONLY, 3600, "*.log", zero));
  EXPECT_FALSE(dir.Exists("t €\\alt.log"));
  EXPECT_TRUE(dir.Exists("t €\\a.txt"));
  // A reference time given: the age in 100-ns units; an empty list matches nothing.
  EXPECT_EQ(1, DeleteOld(dir / "t €", DELTREE_FILES_ONLY, 0, "", now));
  EXPECT_TRUE(dir.Exists("t €\\a.txt"));
  // Age 0: everything written in the past; the future file stays.
  EXPECT_EQ(1, DeleteOld(dir / "t €", DELTREE_FILES_ONLY, 0, "", zero));
  EXPECT_FALSE(dir.Exists("t €\\a.txt"));
  EXPECT_FALSE(dir.Exists("t €\\sub\\b.txt"));
  EXPECT_TRUE(dir.Exists("t €\\neu.txt"));
  EXPECT_TRUE(dir.Exists("t €\\sub\\leer"));
  // Mode 0 cannot remove the directory that keeps the future file.
  EXPECT_EQ(0, DeleteOld(dir / "t €", DELTREE_ALL, 0, nullptr, zero));
  EXPECT_TRUE(dir.Exists("t €\\neu.txt"));
  EXPECT_FALSE(dir.Exists("t €\\sub"));
}

INSTANTIATE_TEST_SUITE_P(Widths, DeleteTreeTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "W" : "A"; });

}  // namespace
