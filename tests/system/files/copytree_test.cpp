#include "system/files/copytree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "files_test_util.h"
#include "walk_recorder.h"

namespace {

class CopyTree : public ::testing::TestWithParam<bool> {
 protected:
  // Runs both widths from 8-bit arguments; the counters come back in the
  // 8-bit block.
  int Run(uint32_t flags, const std::string& source, const std::string& target, bool callback = true,
          const char* masks = nullptr, uint64_t* countTotal = nullptr, uint64_t* copyTotal = nullptr) {
    memset(&block, 0, sizeof block);
    if (GetParam()) {
      FileEnumBlockW b;
      memset(&b, 0, sizeof b);
      std::wstring m = masks ? Widen(masks) : L"";
      b.masks = masks ? m.c_str() : nullptr;
      b.countTotal = countTotal;
      b.copyTotal = copyTotal;
      b.userData = (UINT_PTR)&rec;
      b.callback = callback ? RecordW : nullptr;
      int r = CopyMoveTreeW(flags, Widen(source).c_str(), Widen(target).c_str(), &b);
      memcpy(&block, &b, offsetof(FileEnumBlockW, value) + sizeof b.value);
      return r;
    }
    block.masks = masks;
    block.countTotal = countTotal;
    block.copyTotal = copyTotal;
    block.userData = (UINT_PTR)&rec;
    block.callback = callback ? RecordA : nullptr;
    return CopyMoveTree(flags, source.c_str(), target.c_str(), &block);
  }
  int Count(char reason) const {
    return (int)std::count_if(rec.lines.begin(), rec.lines.end(),
                              [reason](const std::string& l) { return l[0] == reason; });
  }
  FilesScratch dir;
  Recorder rec{dir.Path()};
  FileEnumBlock block;
};

TEST_P(CopyTree, ReportsOfCountingAndCopying) {
  dir.Dir("quelle €");
  dir.Dir("quelle €\\x");
  dir.Dir("quelle €\\x\\y");
  dir.Write("quelle €\\x\\y\\f.txt", "12345");
  uint64_t count = 0, copied = 0;
  int r =
      Run(EF_RECURSE | EF_TOTAL64 | TREE_CREATE_TARGET, dir / "quelle €", dir / "z", true, nullptr, &count, &copied);
  EXPECT_EQ(1, r);
  // Offsets lie in the source path the report passes.
  const std::vector<std::string> expected = {"1 quelle €\\x\\ @9 1 0",
                                             "1 quelle €\\x\\y\\ @11 1 0",
                                             "0 quelle €\\x\\y\\f.txt @13 5 5",
                                             "1 quelle €\\x\\ @9 1 0",
                                             "1 quelle €\\x\\y\\ @11 1 0",
                                             "2 quelle €\\x\\y\\f.txt @13 5 5",
                                             "5  @0 0 1"};
  EXPECT_EQ(expected, rec.lines);
  EXPECT_EQ("12345", dir.Read("z\\x\\y\\f.txt"));
  EXPECT_EQ(5u, count);
  EXPECT_EQ(5u, copied);
  EXPECT_EQ(1u, block.filesDone);
  EXPECT_EQ(2u, block.dirsDone);
  EXPECT_EQ(2u, block.dirsTotal);
  EXPECT_EQ(5u, block.bytesDone);
}

TEST_P(CopyTree, FlatDeepAndFiltered) {
  dir.Write("q\\a.txt", "a");
  dir.Dir("q");
  dir.Write("q\\a.txt", "a");
  dir.Write("q\\b.log", "bb");
  dir.Dir("q\\sub");
  dir.Write("q\\sub\\c.txt", "ccc");
  // Without recursion subdirectories are counted, not created.
  EXPECT_EQ(2, Run(TREE_CREATE_TARGET, dir / "q", dir / "z1"));
  EXPECT_EQ(1u, block.dirsDone);
  EXPECT_FALSE(dir.Exists("z1\\sub"));
  EXPECT_EQ("bb", dir.Read("z1\\b.log"));
  // Masks; nothing found is no error.
  rec.lines.clear();
  EXPECT_EQ(2, Run(EF_RECURSE | TREE_CREATE_TARGET, dir / "q", dir / "z2", true, "*.txt"));
  EXPECT_TRUE(dir.Exists("z2\\sub\\c.txt"));
  EXPECT_FALSE(dir.Exists("z2\\b.log"));
  rec.lines.clear();
  uint64_t count = 0;
  EXPECT_EQ(0, Run(EF_RECURSE | TREE_CREATE_TARGET, dir / "q", dir / "z3", true, "*.none", &count));
  EXPECT_FALSE(dir.Exists("z3"));
  EXPECT_EQ(0, Count('4'));
  EXPECT_EQ("5  @0 0 0", rec.lines.back());
  // Depth 20: copied down to level 15.
  std::string rel = "tief\\";
  dir.Dir("tief");
  for (int level = 0; level < 20; ++level) {
    dir.Write(rel + "f.txt", "x");
    rel += "d" + std::to_string(level + 1) + "\\";
    dir.Dir(rel);
  }
  EXPECT_EQ(16, Run(EF_RECURSE | TREE_CREATE_TARGET, dir / "tief", dir / "t", false));
  EXPECT_EQ(16u, block.dirsDone);
  std::string deepest = "t\\";
  for (int level = 1; level <= 15; ++level) deepest += "d" + std::to_string(level) + "\\";
  EXPECT_TRUE(dir.Exists(deepest + "f.txt"));
  EXPECT_FALSE(dir.Exists(deepest + "d16"));
}

TEST_P(CopyTree, ClearSkipStopAndMove) {
  dir.Dir("q");
  dir.Write("q\\a.txt", "a");
  dir.Write("q\\b.txt", "b");
  dir.Dir("q\\s");
  dir.Write("q\\s\\c.txt", "c");
  dir.Dir("z");
  dir.Write("z\\alt.txt", "alt");
  uint64_t count = 0;
  EXPECT_EQ(3, Run(EF_RECURSE | TREE_CLEAR_TARGET, dir / "q", dir / "z", true, nullptr, &count));
  EXPECT_FALSE(dir.Exists("z\\alt.txt"));
  EXPECT_EQ(1, Count('3'));
  EXPECT_NE(rec.lines.end(), std::find(rec.lines.begin(), rec.lines.end(), "3 z\\ @2 0 0"));
  // A target just created is not emptied and not reported.
  rec.lines.clear();
  EXPECT_EQ(3, Run(EF_RECURSE | TREE_CREATE_TARGET | TREE_CLEAR_TARGET, dir / "q", dir / "neu\\z"));
  EXPECT_EQ(0, Count('3'));
  // A callback that skips one file copy.
  rec.lines.clear();
  rec.answer = [](int reason, const std::string& path) {
    return reason == ENUM_COPY_FILE && path.find("b.txt") != std::string::npos ? 1 : 0;
  };
  // Without a counting pass the result is the files done.
  EXPECT_EQ(2, Run(EF_RECURSE | TREE_CREATE_TARGET, dir / "q", dir / "z4"));
  EXPECT_EQ(2u, block.filesDone);
  EXPECT_FALSE(dir.Exists("z4\\b.txt"));
  rec.answer = nullptr;
  // A target file held open: reported and passed, or with 0x8000 the end.
  dir.Dir("z5");
  dir.Write("z5\\a.txt", "x");
  HANDLE h = CreateFileA((dir / "z5\\a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  rec.lines.clear();
  EXPECT_EQ(3, Run(EF_RECURSE, dir / "q", dir / "z5"));
  EXPECT_NE(rec.lines.end(), std::find(rec.lines.begin(), rec.lines.end(), "4 q\\a.txt @2 5 -2"));
  EXPECT_EQ(3u, block.filesDone);
  rec.lines.clear();
  int r = Run(TREE_STOP_ON_ERROR, dir / "q", dir / "z5", true, "a.txt");
  EXPECT_EQ(-2, r);
  EXPECT_EQ("5  @0 0 -2", rec.lines.back());
  EXPECT_EQ(0, Count('4'));
  CloseHandle(h);
  // Moving: the files go, the directories stay.
  EXPECT_EQ(3, Run(EF_RECURSE | TREE_CREATE_TARGET | CMF_MOVE, dir / "q", dir / "m", false));
  EXPECT_FALSE(dir.Exists("q\\a.txt"));
  EXPECT_FALSE(dir.Exists("q\\s\\c.txt"));
  EXPECT_TRUE(dir.Exists("q\\s"));
  EXPECT_EQ("c", dir.Read("m\\s\\c.txt"));
}

TEST_P(CopyTree, NeverDestroysItsSource) {
  dir.Dir("q");
  dir.Write("q\\a.txt", "a");
  dir.Dir("q\\s");
  dir.Write("q\\s\\b.txt", "b");
  // Emptying a target that is, or holds, the source is refused.
  EXPECT_EQ(-11, Run(EF_RECURSE | TREE_CLEAR_TARGET, dir / "q", dir / "q"));
  EXPECT_EQ(-11, Run(EF_RECURSE | TREE_CLEAR_TARGET, dir / "q\\s", dir.Path()));
  EXPECT_EQ(-11, Run(EF_RECURSE | TREE_CLEAR_TARGET | TREE_CREATE_TARGET, dir / "q", dir / "Q\\"));
  EXPECT_EQ("a", dir.Read("q\\a.txt"));
  EXPECT_EQ("b", dir.Read("q\\s\\b.txt"));
  // A target inside the source is not walked into.
  EXPECT_EQ(2, Run(EF_RECURSE | TREE_CREATE_TARGET, dir / "q", dir / "q\\s\\kopie", false));
  EXPECT_EQ("b", dir.Read("q\\s\\kopie\\s\\b.txt"));
  EXPECT_FALSE(dir.Exists("q\\s\\kopie\\s\\kopie"));
  // A copy onto itself leaves every file whole.
  Run(EF_RECURSE, dir / "q", dir / "q", false);
  EXPECT_EQ("a", dir.Read("q\\a.txt"));
  EXPECT_EQ("b", dir.Read("q\\s\\b.txt"));
}

TEST_P(CopyTree, SourceErrors) {
  rec.lines.clear();
  uint64_t count = 0;
  EXPECT_EQ(-9, Run(EF_RECURSE, dir / "fehlt", dir / "z", true, nullptr, &count));
  const std::vector<std::string> missing = {"4 fehlt\\ @6 0 -9", "5  @0 0 -9"};
  EXPECT_EQ(missing, rec.lines);
  rec.lines.clear();
  EXPECT_EQ(-9, Run(EF_RECURSE, dir / "fehlt", dir / "z"));
  EXPECT_EQ(missing, rec.lines);
  dir.Dir("q");
  dir.Write("q\\a.txt", "a");
  EXPECT_EQ(ENUM_ERR_TARGET_DIR, Run(TREE_CREATE_TARGET, dir / "q", "q:\\nirgends\\", false));
  EXPECT_EQ(1, Run(TREE_CREATE_TARGET | TREE_NO_END_REPORT | EF_DIR_OF_PATH | TREE_TARGET_OF_PATH, dir / "q\\*.txt",
                   dir / "z\\name"));
  EXPECT_EQ("a", dir.Read("z\\a.txt"));
}

INSTANTIATE_TEST_SUITE_P(Widths, CopyTree, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "W" : "A"; });

}  // namespace
