#include <gtest/gtest.h>

#include <string>

#include "files_test_util.h"
#include "system/files/copymove.h"

namespace {

class BackupReplace : public ::testing::TestWithParam<bool> {
 protected:
  int Backup(const std::string& file, const char* pattern, uint8_t flags, int max, int pos = -1, int digits = 1,
             const char* base = nullptr) {
    if (GetParam()) {
      std::wstring p = Widen(pattern), b = base ? Widen(base) : L"";
      return MakeBackupFileW(Widen(file).c_str(), p.c_str(), flags, max, pos, digits, base ? b.c_str() : nullptr);
    }
    return MakeBackupFileA(file.c_str(), pattern, flags, max, pos, digits, base);
  }
  int Replace(const std::string& n, const std::string& t, uint8_t flags, const char* pattern = nullptr, int count = 0) {
    if (GetParam()) {
      std::wstring p = pattern ? Widen(pattern) : L"";
      return ReplaceFileSafeW(Widen(n).c_str(), Widen(t).c_str(), flags, pattern ? p.c_str() : nullptr, count);
    }
    return ReplaceFileSafeA(n.c_str(), t.c_str(), flags, pattern, count);
  }
  int Patch(const std::string& f, int off, int len, const std::string& data, const char* pattern = nullptr,
            int count = 0) {
    if (GetParam()) {
      std::wstring p = pattern ? Widen(pattern) : L"";
      return PatchFileW(Widen(f).c_str(), off, len, data.data(), (int)data.size(), pattern ? p.c_str() : nullptr,
                        count);
    }
    return PatchFileA(f.c_str(), off, len, data.data(), (int)data.size(), pattern, count);
  }
  int Same(const std::string& a, const std::string& b) {
    return GetParam() ? CompareFileContentsW(Widen(a).c_str(), Widen(b).c_str())
                      : CompareFileContentsA(a.c_str(), b.c_str());
  }
  FilesScratch dir;
};

TEST_P(BackupReplace, BackupRotation) {
  std::string f = dir / "a €.txt";
  for (int i = 0; i < 12; ++i) {
    dir.Write("a €.txt", std::to_string(i));
    ASSERT_EQ(1, Backup(f, "*", 0, 0)) << i;
    EXPECT_FALSE(dir.Exists("a €.txt"));
  }
  // Ten names: the oldest two went, the newest is .0.
  for (int k = 0; k < 10; ++k) EXPECT_EQ(std::to_string(11 - k), dir.Read("a €.txt." + std::to_string(k))) << k;
  EXPECT_FALSE(dir.Exists("a €.txt.10"));
  // At most three.
  dir.Write("b.txt", "x");
  for (int i = 0; i < 5; ++i) {
    dir.Write("b.txt", std::to_string(i));
    ASSERT_EQ(1, Backup(dir / "b.txt", "*", BACKUP_COPY, 3));
    EXPECT_TRUE(dir.Exists("b.txt"));
  }
  EXPECT_EQ("4", dir.Read("b.txt.0"));
  EXPECT_EQ("2", dir.Read("b.txt.2"));
  EXPECT_FALSE(dir.Exists("b.txt.3"));
  // No rotation: the first name taken gives 0 and changes nothing.
  EXPECT_EQ(0, Backup(dir / "b.txt", "*", BACKUP_NO_ROTATE, 0));
  EXPECT_EQ("4", dir.Read("b.txt"));
  EXPECT_EQ("4", dir.Read("b.txt.0"));
}

TEST_P(BackupReplace, Patterns) {
  struct Case {
    const char* pattern;
    uint8_t flags;
    int pos, digits;
    const char* expected;  // below the scratch directory; null: refused
  };
  // clang-format off
  const Case cases[] = {
    {"?#3#.bak", 0, -1, 1, "a000.bak"}, {"*$1.bak", BACKUP_NO_COUNTER, -1, 1, "a.bak"}, {"*$1.bak", 0, -1, 1, "a.0.bak"},
    {"*$2.bak", BACKUP_NO_COUNTER, -1, 1, "a.bak"}, {"?", BACKUP_NO_COUNTER, -1, 1, "a"}, {".alt", 0, -1, 1, "a.txt.0.alt"},
    {"*.~##", 0, 3, 2, "a.txt.~00"}, {"x#4#y", 0, -1, 1, "x0000y"}, {"x#5#y", BACKUP_NO_COUNTER, -1, 1, "a.txtx#5#y"},
    {"*", 0, -1, 0, nullptr}, {"*", 0, -1, 5, nullptr}, {"*.##", 0, 3, 3, nullptr},
  };
  // clang-format on
  for (const Case& c : cases) {
    FilesScratch d;
    d.Write("a.txt", "inhalt");
    int r = Backup(d / "a.txt", c.pattern, c.flags, 0, c.pos, c.digits);
    if (!c.expected) {
      EXPECT_EQ(0, r) << c.pattern;
      EXPECT_TRUE(d.Exists("a.txt")) << c.pattern;
      continue;
    }
    EXPECT_EQ(1, r) << c.pattern;
    EXPECT_EQ("inhalt", d.Read(c.expected)) << c.pattern;
  }
  // A directory in the pattern, a base name for '*'.
  dir.Dir("bak");
  dir.Write("q.txt", "q");
  EXPECT_EQ(1, Backup(dir / "q.txt", (dir / "bak\\*#2#").c_str(), 0, 0, -1, 1, "c:\\x\\Maß.dat"));
  EXPECT_EQ("q", dir.Read("bak\\Maß.dat00"));
  std::string longPattern(300, 'p');
  EXPECT_EQ(0, Backup(dir / "bak\\Maß.dat00", longPattern.c_str(), 0, 0));
  EXPECT_EQ(0, Backup(dir / "bak\\Maß.dat00", "*", 0, -1));
}

TEST_P(BackupReplace, ReplaceAndSwap) {
  dir.Write("neu.txt", "neu");
  dir.Write("ziel ß.txt", "alt");
  EXPECT_EQ(1, Replace(dir / "neu.txt", dir / "ziel ß.txt", REPLACE_SWAP));
  EXPECT_EQ("neu", dir.Read("ziel ß.txt"));
  EXPECT_EQ("alt", dir.Read("neu.txt"));
  EXPECT_FALSE(dir.Exists("ziel ß.txt.rf.tmp"));
  // Plain: the old content goes.
  EXPECT_EQ(1, Replace(dir / "neu.txt", dir / "ziel ß.txt", 0));
  EXPECT_EQ("alt", dir.Read("ziel ß.txt"));
  EXPECT_FALSE(dir.Exists("neu.txt"));
  EXPECT_FALSE(dir.Exists("ziel ß.txt.rf.tmp"));
  // A missing target: 0 without flag 2 (the new file deleted under flag 1), else 1.
  dir.Write("neu.txt", "n2");
  EXPECT_EQ(0, Replace(dir / "neu.txt", dir / "fehlt.txt", 0));
  EXPECT_EQ("n2", dir.Read("neu.txt"));
  EXPECT_EQ(0, Replace(dir / "neu.txt", dir / "fehlt.txt", REPLACE_DELETE_NEW_ON_FAILURE));
  EXPECT_FALSE(dir.Exists("neu.txt"));
  dir.Write("neu.txt", "n3");
  EXPECT_EQ(1, Replace(dir / "neu.txt", dir / "fehlt.txt", REPLACE_TARGET_OPTIONAL));
  EXPECT_EQ("n3", dir.Read("fehlt.txt"));
  // "*ext" derives the target from the new file's name.
  dir.Write("daten.tmp", "d");
  dir.Write("daten.cfg", "c");
  EXPECT_EQ(1, Replace(dir / "daten.tmp", "*.cfg", 0));
  EXPECT_EQ("d", dir.Read("daten.cfg"));
  // The old file kept as a backup.
  dir.Write("daten.tmp", "e");
  EXPECT_EQ(1, Replace(dir / "daten.tmp", dir / "daten.cfg", 0, "*.bak", 1));
  EXPECT_EQ("d", dir.Read("daten.cfg.bak"));
  dir.Write("daten.tmp", "f");
  EXPECT_EQ(1, Replace(dir / "daten.tmp", dir / "daten.cfg", 0, "*.bak", 1));
  EXPECT_EQ("e", dir.Read("daten.cfg.bak"));
  dir.Write("daten.tmp", "g");
  EXPECT_EQ(1, Replace(dir / "daten.tmp", dir / "daten.cfg", 0, "*.bak", 0));
  EXPECT_EQ("e", dir.Read("daten.cfg.bak"));
  EXPECT_EQ("f", dir.Read("daten.cfg.rf.tmp"));  // no backup made: the old content stays here
  EXPECT_EQ("g", dir.Read("daten.cfg"));
  // One file as both: nothing touched, also under flag 1.
  EXPECT_EQ(0, Replace(dir / "daten.cfg", dir / "DATEN.CFG", REPLACE_DELETE_NEW_ON_FAILURE));
  EXPECT_EQ("g", dir.Read("daten.cfg"));
  EXPECT_EQ(0, Replace(dir / "daten.cfg", "*cfg", REPLACE_DELETE_NEW_ON_FAILURE | REPLACE_SWAP));
  EXPECT_EQ("g", dir.Read("daten.cfg"));
}

TEST_P(BackupReplace, PatchAndCompare) {
  std::string f = dir / "patch €.bin";
  dir.Write("patch €.bin", "0123456789");
  EXPECT_EQ(1, Patch(f, 0, 3, "abc"));
  EXPECT_EQ("abc3456789", dir.Read("patch €.bin"));
  EXPECT_EQ(1, Patch(f, 10, 0, "xyz"));
  EXPECT_EQ("abc3456789xyz", dir.Read("patch €.bin"));
  EXPECT_EQ(1, Patch(f, 3, 100, "-"));
  EXPECT_EQ("abc-", dir.Read("patch €.bin"));
  EXPECT_EQ(0, Patch(f, 5, 0, "x"));
  EXPECT_EQ(0, Patch(f, -1, 0, "x"));
  EXPECT_EQ(0, Patch(dir / "fehlt", 0, 0, "x"));
  EXPECT_FALSE(dir.Exists("patch €.bin.cf.tmp"));
  // A backup by copy in place, by the replacement through a copy.
  EXPECT_EQ(1, Patch(f, 0, 1, "A", "*.bak", 1));
  EXPECT_EQ("abc-", dir.Read("patch €.bin.bak"));
  EXPECT_EQ("Abc-", dir.Read("patch €.bin"));
  EXPECT_EQ(1, Patch(f, 1, 1, "BB", "*.bak", 1));
  EXPECT_EQ("Abc-", dir.Read("patch €.bin.bak"));
  EXPECT_EQ("ABBc-", dir.Read("patch €.bin"));
  // Across the block boundaries of a larger file.
  std::string big;
  for (int i = 0; i < 10000; ++i) big += (char)('a' + i % 26);
  dir.Write("gross.bin", big);
  EXPECT_EQ(1, Patch(dir / "gross.bin", 4000, 200, "<>"));
  EXPECT_EQ(big.substr(0, 4000) + "<>" + big.substr(4200), dir.Read("gross.bin"));

  dir.Write("e1", "");
  dir.Write("e2", "");
  EXPECT_EQ(1, Same(dir / "e1", dir / "e2"));
  EXPECT_EQ(1, Same(f, f));
  dir.Write("g2.bin", big.substr(0, 4000) + "<>" + big.substr(4200));
  EXPECT_EQ(1, Same(dir / "gross.bin", dir / "g2.bin"));
  dir.Write("g3.bin", big.substr(0, 4000) + "<!" + big.substr(4200));
  EXPECT_EQ(0, Same(dir / "gross.bin", dir / "g3.bin"));
  EXPECT_EQ(0, Same(dir / "gross.bin", dir / "e1"));
  EXPECT_EQ(0, Same(dir / "gross.bin", dir / "fehlt"));
}

INSTANTIATE_TEST_SUITE_P(Widths, BackupReplace, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "W" : "A"; });

}  // namespace
