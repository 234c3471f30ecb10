#include "system/listing/dirlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "../files/files_test_util.h"
#include "system/files/filecalls.h"
#include "text/casemode/convertcase.h"
#include "system/shelliconcache.h"

namespace {

// All names of a listing, by Next in the given mode.
std::vector<std::string> Names(CDirList& list, int mode = DIRNEXT_NAME) {
  std::vector<std::string> out;
  int n = 0;
  while (const char* s = list.Next(mode, &n)) {
    EXPECT_EQ((int)strlen(s), n);
    out.push_back(s);
  }
  return out;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// The entries held now, in their order.
std::vector<std::string> Held(const CDirList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.m_entries.count; ++i) out.push_back(list.GetEntryName(i, nullptr));
  return out;
}

class DirList : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Write("a.txt", "1");
    dir.Write("b.bak", "22");
    dir.Write("notabak", "333");
    dir.Write("x.tmp", "4444");
    dir.Dir("sub");
    dir.Write("sub\\c.txt", "55555");
    dir.Dir("sub\\tief");
    dir.Write("sub\\tief\\d.txt", "666666");
  }
  FilesScratch dir;
};

TEST_F(DirList, OpenForms) {
  std::string path = dir.Path().substr(0, dir.Path().size() - 1);
  CDirList list(path.c_str());
  EXPECT_STREQ(dir.Path().c_str(), list.GetEntryDir(nullptr, 0, nullptr));
  EXPECT_EQ(std::vector<std::string>({"a.txt", "b.bak", "notabak", "x.tmp"}), Sorted(Names(list)));
  // Two patterns in the last component; "*" and "*.*" take everything.
  list.Open((dir / "*.txt;*.tmp").c_str(), 0, nullptr, nullptr);
  EXPECT_EQ(std::vector<std::string>({"a.txt", "x.tmp"}), Sorted(Names(list)));
  for (const char* all : {"*", "*.*"}) {
    list.Open((dir / all).c_str(), 0, nullptr, nullptr);
    EXPECT_EQ(4u, Names(list).size()) << all;
  }
  // An existing file's path lists that file, searched with its own name.
  list.Open((dir / "notabak").c_str(), DIRLIST_RECURSE, "*.txt", nullptr);
  EXPECT_EQ(std::vector<std::string>({"notabak"}), Names(list));
  EXPECT_TRUE(list.m_flags & DIRLIST_SEARCH_PATTERN);
  // Plain patterns are endings: "bak" alone, as in "bak;tmp", finds b.bak and notabak.
  list.Open(dir.Path().c_str(), 0, "bak", nullptr);
  EXPECT_FALSE(list.m_flags & DIRLIST_SEARCH_PATTERN);
  EXPECT_EQ(std::vector<std::string>({"b.bak", "notabak"}), Sorted(Names(list)));
  list.Open(dir.Path().c_str(), DIRLIST_RECURSE, "bak;tmp", nullptr);
  EXPECT_EQ(std::vector<std::string>({"b.bak", "notabak", "x.tmp"}), Sorted(Names(list)));
  list.Open(dir.Path().c_str(), DIRLIST_RECURSE, nullptr, "*.txt;bak");
  EXPECT_EQ(std::vector<std::string>({"x.tmp"}), Sorted(Names(list)));
  // A root too long for its buffer is refused.
  std::string longPath = "c:\\" + std::string(600, 'x');
  list.Open(longPath.c_str(), 0, nullptr, nullptr);
  EXPECT_EQ(-1, list.Read());
  EXPECT_EQ(2, list.m_atEnd);
}

TEST_F(DirList, BatchesAndPaths) {
  CDirList list(dir.Path().c_str(), DIRLIST_RECURSE);
  // One directory per batch.
  EXPECT_EQ(4, list.Read());
  EXPECT_EQ(1, list.Read());
  EXPECT_EQ(1, list.Read());
  EXPECT_EQ(-1, list.Read());
  EXPECT_EQ(1, list.m_atEnd);
  for (uint32_t all : {DIRLIST_SORTED, DIRLIST_REFRESH}) {
    CDirList once(dir.Path().c_str(), DIRLIST_RECURSE | all);
    EXPECT_EQ(6, once.Read()) << all;
    EXPECT_EQ(-1, once.Read());
  }
  list.Open(dir.Path().c_str(), DIRLIST_RECURSE, "*.txt", nullptr);
  EXPECT_EQ(std::vector<std::string>({dir / "a.txt", dir / "sub\\c.txt", dir / "sub\\tief\\d.txt"}),
            Names(list, DIRNEXT_FULL_PATH));
  list.Open(dir.Path().c_str(), DIRLIST_RECURSE, "*.txt", nullptr);
  EXPECT_EQ(std::vector<std::string>({"a.txt", "sub\\c.txt", "sub\\tief\\d.txt"}), Names(list, DIRNEXT_RELATIVE_PATH));
  EXPECT_EQ(nullptr, list.Next(0, nullptr));
}

TEST_F(DirList, DirectoriesParentsFirstMatch) {
  CDirList list(dir.Path().c_str(), DIRLIST_LIST_DIRS);
  EXPECT_EQ(std::vector<std::string>({"a.txt", "b.bak", "notabak", "sub", "x.tmp"}), Sorted(Names(list)));
  list.Open(dir.Path().c_str(), DIRLIST_LIST_DIRS | DIRLIST_PARENT, "*.txt", nullptr);
  EXPECT_EQ(std::vector<std::string>({"..", "a.txt", "sub"}), Sorted(Names(list)));
  list.Open(dir.Path().c_str(), DIRLIST_LIST_DIRS | DIRLIST_DIRS_MATCH, "*.txt", nullptr);
  EXPECT_EQ(std::vector<std::string>({"a.txt"}), Sorted(Names(list)));
  list.Open(dir.Path().c_str(), DIRLIST_DIRS_ONLY | DIRLIST_RECURSE, "s*;t*", nullptr);
  EXPECT_EQ(std::vector<std::string>({"sub", "tief"}), Sorted(Names(list)));
  list.Open(dir.Path().c_str(), DIRLIST_FIRST_MATCH, nullptr, nullptr);
  EXPECT_EQ(1, list.Read());
  EXPECT_EQ(DIRSTOP_FIRST_MATCH, list.m_stopReason);
}

TEST_F(DirList, IncrementalReadsAndCancel) {
  dir.Dir("viele");
  for (int i = 0; i < 40; ++i) dir.Write("viele\\f" + std::to_string(i), "x");
  CDirList list((dir / "viele\\").c_str(), DIRLIST_INCREMENTAL);
  int reads = 0, last = 0;
  for (int r; (r = list.Read()) >= 0 && reads < 10; ++reads) {
    EXPECT_GT(r, last);
    last = r;
    if (r == 40) {
      ++reads;
      break;
    }
  }
  EXPECT_EQ(40, last);
  EXPECT_EQ(3, reads);
  EXPECT_EQ(-1, list.Read());

  // A cancel set by another thread while the notify routine slows the read.
  CDirList slow;
  static std::atomic<int> inserted;
  inserted = 0;
  slow.SetNotify(
      [](UINT_PTR, int, int, uint32_t code) {
        if (code == 1) {
          ++inserted;
          Sleep(5);
        }
      },
      0, 1, 2, 3, 4, 0x100);
  std::thread canceller([&] {
    while (inserted < 3) Sleep(1);
    slow.m_cancel = 1;
  });
  slow.Open((dir / "viele\\").c_str(), 0, nullptr, nullptr);
  int held = slow.Read();
  canceller.join();
  EXPECT_EQ(DIRSTOP_CANCELLED, slow.m_stopReason);
  EXPECT_LT(held, 40);
  EXPECT_GE(held, 3);
}

TEST_F(DirList, Filters) {
  SetFileAttributesA((dir / "b.bak").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA((dir / "x.tmp").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileTimesUnixA((dir / "a.txt").c_str(), 100, -1, -1);
  SetFileTimesUnixA((dir / "b.bak").c_str(), 150, -1, -1);
  SetFileTimesUnixA((dir / "notabak").c_str(), 200, -1, -1);
  SetFileTimesUnixA((dir / "x.tmp").c_str(), 300, -1, -1);
  struct Case {
    int writeProtect;
    uint32_t mask, value, any;
    int timeKind;
    uint32_t b1, b2;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {1, 0, 0, 0, 0, 0, 0, {"b.bak"}},
      {2, 0, 0, 0, 0, 0, 0, {"a.txt", "notabak", "x.tmp"}},
      {0, FSTAT_HIDDEN, FSTAT_HIDDEN, 0, 0, 0, 0, {"x.tmp"}},
      {0, FSTAT_HIDDEN, 0, 0, 0, 0, 0, {"a.txt", "b.bak", "notabak"}},
      {0, 0, 0, FSTAT_HIDDEN | FSTAT_SYSTEM, 0, 0, 0, {"x.tmp"}},
      {0, 0, 0, 0, 2, 150, 0, {"a.txt", "b.bak"}},
      {0, 0, 0, 0, 4, 200, 0, {"notabak", "x.tmp"}},
      {0, 0, 0, 0, 6, 150, 200, {"b.bak", "notabak"}},
      {0, 0, 0, 0, 8, 200, 100, {"x.tmp"}},
  };
  for (const Case& c : cases) {
    CDirList list;
    list.m_writeProtect = c.writeProtect;
    list.m_attrMask = c.mask;
    list.m_attrValue = c.value;
    list.m_attrAny = c.any;
    list.m_timeFilter = c.timeKind;
    list.m_timeBound1 = c.b1;
    list.m_timeBound2 = c.b2;
    list.Open(dir.Path().c_str(), 0, nullptr, nullptr);
    EXPECT_EQ(c.expected, Sorted(Names(list))) << c.writeProtect << " " << c.mask << " " << c.timeKind;
  }
  SetFileAttributesA((dir / "b.bak").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(DirList, SortKeysAsNameTables) {
  dir.Write("datei10.txt", "1234567890");
  dir.Write("datei9.log", "123456789");
  dir.Write("Datei100.dat", "");
  SetFileTimesUnixA((dir / "datei10.txt").c_str(), 300, -1, -1);
  SetFileTimesUnixA((dir / "datei9.log").c_str(), 200, -1, -1);
  SetFileTimesUnixA((dir / "Datei100.dat").c_str(), 100, -1, -1);
  CDirList list((dir / "D*").c_str(), DIRLIST_LIST_DIRS);
  list.Read();
  list.Open(dir.Path().c_str(), DIRLIST_LIST_DIRS, "datei*;s*", nullptr);
  list.Read();
  struct Case {
    int key;
    uint32_t bits;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      // '.' sorts before '0' in _stricmp.
      {DIRSORT_NAME, 0, {"sub", "datei10.txt", "Datei100.dat", "datei9.log"}},
      {DIRSORT_NAME, DIRSORT_NATURAL, {"sub", "datei9.log", "datei10.txt", "Datei100.dat"}},
      {DIRSORT_NAME, DIRSORT_MIXED, {"datei10.txt", "Datei100.dat", "datei9.log", "sub"}},
      // Descending negates the whole compare, directories-first too.
      {DIRSORT_NAME, DIRSORT_DESCENDING, {"datei9.log", "Datei100.dat", "datei10.txt", "sub"}},
      {DIRSORT_SIZE, 0, {"sub", "Datei100.dat", "datei9.log", "datei10.txt"}},
      {DIRSORT_WRITE, DIRSORT_MIXED | DIRSORT_DESCENDING, {"sub", "datei10.txt", "datei9.log", "Datei100.dat"}},
      {DIRSORT_EXTENSION, 0, {"sub", "Datei100.dat", "datei9.log", "datei10.txt"}},
  };
  for (const Case& c : cases) {
    list.Sort(c.key, c.bits);
    std::vector<std::string> held = Held(list);
    EXPECT_EQ(c.expected, held) << c.key << " " << c.bits;
  }
  // Attribute bits, tags, type names.
  SetFileAttributesA((dir / "datei9.log").c_str(), FILE_ATTRIBUTE_HIDDEN);
  list.Open(dir.Path().c_str(), 0, "datei*", nullptr);
  list.Read();
  list.Sort(DIRSORT_ATTRIBUTES, DIRSORT_DESCENDING);
  EXPECT_EQ("datei9.log", Held(list)[0]);
  for (int i = 0; i < list.m_entries.count; ++i) {
    const char* name = list.GetEntryName(i, nullptr);
    list.RecordOf(list.EntryAt(i))->tag = name[5] == '9' ? 1 : name[6] == '0' && name[7] == '0' ? 2 : 3;
  }
  list.Sort(DIRSORT_TAG, 0);
  EXPECT_EQ(std::vector<std::string>({"datei9.log", "Datei100.dat", "datei10.txt"}), Held(list));
  SetFileAttributesA((dir / "datei9.log").c_str(), FILE_ATTRIBUTE_NORMAL);
  dir.Write("datei2.txt", "");
  list.Open(dir.Path().c_str(), 0, "datei*", nullptr);
  list.Read();
  list.Sort(DIRSORT_TYPE, DIRSORT_NATURAL);
  std::vector<std::string> byType = Held(list);
  auto at = [&](const char* n) { return std::find(byType.begin(), byType.end(), n) - byType.begin(); };
  EXPECT_EQ(1, std::abs(at("datei2.txt") - at("datei10.txt")));  // one type name, together
  EXPECT_LT(at("datei2.txt"), at("datei10.txt"));                // then by name, naturally
  // Directory paths: the root's entries before those of sub.
  list.Open(dir.Path().c_str(), DIRLIST_RECURSE | DIRLIST_SORTED, "*.txt", nullptr);
  list.Read();
  list.Sort(DIRSORT_DIRECTORY, 0);
  EXPECT_EQ(std::vector<std::string>({"a.txt", "datei10.txt", "datei2.txt", "c.txt", "d.txt"}), Held(list));
  list.Sort(DIRSORT_DIRECTORY, DIRSORT_DESCENDING);
  EXPECT_EQ(std::vector<std::string>({"d.txt", "c.txt", "datei2.txt", "datei10.txt", "a.txt"}), Held(list));

  // Kept sorted while reading: before any Sort by name, directories first.
  CDirList sorted(dir.Path().c_str(), DIRLIST_SORTED | DIRLIST_LIST_DIRS, "datei*;s*", nullptr);
  sorted.Read();
  EXPECT_EQ(std::vector<std::string>({"sub", "datei10.txt", "Datei100.dat", "datei2.txt", "datei9.log"}), Held(sorted));
}

TEST_F(DirList, TypeNamesOrderEverySortAndEachSortedInsert) {
  // Type names of our own through the extension cache, in an order that
  // neither the names nor the extensions have.
  const char* types[][2] = {{"xqa", "Zeta"}, {"xqb", "Alpha"}, {"xqc", "Mitte"}};
  for (auto& t : types) g_shellIconCache.LookupExt(t[0])->typeName = g_shellIconCache.AddString(t[1], 5);
  for (const char* n : {"a.xqa", "b.xqb", "c.xqc", "d.xqa", "e.xqb", "f.xqc"}) dir.Write(n, "");
  const std::vector<std::string> expected = {"sub", "b.xqb", "e.xqb", "c.xqc", "f.xqc", "a.xqa", "d.xqa"};
  CDirList list(dir.Path().c_str(), DIRLIST_LIST_DIRS, "*.xq?", nullptr);
  list.Read();
  list.Sort(DIRSORT_TYPE, 0);
  EXPECT_EQ(expected, Held(list));
  list.Sort(DIRSORT_TYPE, DIRSORT_MIXED | DIRSORT_DESCENDING);
  EXPECT_EQ(std::vector<std::string>({"d.xqa", "a.xqa", "f.xqc", "c.xqc", "sub", "e.xqb", "b.xqb"}), Held(list));
  // Kept sorted while reading, and a sorted insert: the new entry's type
  // is looked up as the held ones' are.
  list.Sort(DIRSORT_TYPE, 0);
  list.Open(dir.Path().c_str(), DIRLIST_SORTED | DIRLIST_LIST_DIRS, "*.xq?", nullptr);
  list.Read();
  EXPECT_EQ(expected, Held(list));
  EXPECT_EQ(3, list.AddEntryFromFields("g.xqb", CDirList::DIRADD_SORTED, FSTAT_ALWAYS, 0, 0, 0, 0));
  EXPECT_EQ(8, list.AddEntryFromFields("h.xqa", CDirList::DIRADD_SORTED, FSTAT_ALWAYS, 0, 0, 0, 0));
}

// Notifications as "code index count".
std::vector<std::string> g_notes;
void Note(UINT_PTR context, int index, int count, uint32_t code) {
  EXPECT_EQ(77u, context);
  g_notes.push_back(std::to_string(code) + " " + std::to_string(index) + " " + std::to_string(count));
}

TEST_F(DirList, NotificationsAndEditing) {
  CDirList list;
  list.SetNotify(Note, 77, 1, 2, 3, 4, 0x100);
  g_notes.clear();
  list.Open(dir.Path().c_str(), DIRLIST_SORTED, "*.txt;*.bak", nullptr);
  list.Read();
  // Sorted inserts: a.txt at 0, then b.bak after it.
  std::vector<std::string> expected = {"257 0 1", "1 0 1", "257 1 1", "1 1 1"};
  if (Held(list)[0] != "a.txt") expected = {"257 0 1", "1 0 1", "257 0 1", "1 0 1"};
  EXPECT_EQ(std::vector<std::string>({"a.txt", "b.bak"}), Held(list));
  EXPECT_EQ(expected, g_notes);
  g_notes.clear();
  list.Sort(DIRSORT_EXTENSION, 0);
  EXPECT_EQ(std::vector<std::string>({"259 0 2", "3 0 2"}), g_notes);
  EXPECT_EQ(std::vector<std::string>({"b.bak", "a.txt"}), Held(list));
  g_notes.clear();
  EXPECT_EQ(1, list.RenameEntry(1, "z.txt"));
  EXPECT_EQ(std::vector<std::string>({"260 1 1", "4 1 1"}), g_notes);
  EXPECT_EQ(DIRSORT_UNKNOWN, list.m_sortMode);
  EXPECT_EQ(2, list.RenameEntry(5, "q"));
  g_notes.clear();
  EXPECT_EQ(1, list.RemoveEntry(0));
  EXPECT_EQ(0, list.RemoveEntry(3));
  EXPECT_EQ(std::vector<std::string>({"258 0 1", "2 0 1"}), g_notes);
  g_notes.clear();
  EXPECT_EQ(1, list.RemoveAllEntries());
  EXPECT_EQ(std::vector<std::string>({"258 0 1", "2 0 1"}), g_notes);
  EXPECT_EQ(0, list.RemoveAllEntries());
  EXPECT_EQ(0, list.m_dirs.count);

  // AddPath modes.
  EXPECT_EQ(0, list.AddPath((dir / "a.txt").c_str(), -1, DIRADD_NO_DUPLICATE));
  EXPECT_EQ(-1, list.AddPath((dir / "A.TXT").c_str(), -1, DIRADD_NO_DUPLICATE));
  EXPECT_EQ(-1, list.AddPath((dir / "sub").c_str(), -1, DIRADD_NO_DIRECTORY));
  EXPECT_EQ(-1, list.AddPath((dir / "a.txt").c_str(), -1, DIRADD_NO_FILE));
  EXPECT_EQ(-1, list.AddPath((dir / "fehlt").c_str(), -1, DIRADD_NO_FILE));
  EXPECT_EQ(-1, list.AddPath((dir / "*.txt").c_str(), -1, 1));
  EXPECT_EQ(0, list.AddPath((dir / "sub").c_str(), 0, 1));
  EXPECT_EQ(2, list.AddPath("c:\\", -1, 1));
  FileStatRecord* drive = list.EntryAt(2);
  EXPECT_STREQ("c:", drive->name);
  EXPECT_EQ(DIRENTRY_DRIVE | FSTAT_DIRECTORY, drive->mode);
  EXPECT_EQ(0, CDirList::GetEntrySize(drive));
  EXPECT_EQ(1, list.FindEntryInDir("A.txt", dir.Path().c_str(), 5, (int)dir.Path().size()));
  EXPECT_EQ(0, list.FindEntryInDir("sub", dir.Path().c_str(), 3, (int)dir.Path().size()));
  EXPECT_EQ(-1, list.FindEntryInDir("a.tx", dir.Path().c_str(), 4, (int)dir.Path().size()));
  int n = 0;
  EXPECT_STREQ((dir / "a.txt").c_str(), list.GetEntryPath(1, &n, 0));
  EXPECT_EQ(list.GetEntryPathLength(1, 0), n);
  // A bare name goes into the last directory.
  EXPECT_EQ(3, list.AddEntryFromFields("bare.dat", -1, FSTAT_ALWAYS, 64ull << 20, 10, 20, 30));
  FileStatRecord* bare = list.EntryAt(3);
  EXPECT_EQ(0u, bare->mode & FSTAT_DIRECTORY);  // a 64 MiB file is no directory
  EXPECT_EQ(64ll << 20, CDirList::GetEntrySize(bare));
  EXPECT_EQ(10, CDirList::GetEntryTime(bare));
  EXPECT_EQ(20, CDirList::GetEntryTimeOf(bare, 1));
  EXPECT_EQ(4, list.AddEntryFromFields("huge.dat", -1, FSTAT_ALWAYS, 5ull << 32, 0, 0, 0));
  EXPECT_EQ(5ll << 32, CDirList::GetEntrySize(list.EntryAt(4)));
  EXPECT_EQ(5, list.AddEntryFromFields("riesig.dat", -1, FSTAT_ALWAYS, 64ull << 30, 0, 0, 0));
  EXPECT_EQ(0u, list.EntryAt(5)->mode & (DIRENTRY_DRIVE | DIRENTRY_SHELL));
  int len = 0;
  EXPECT_STREQ("dat", list.GetExtension(bare, &len));
  EXPECT_EQ(3, len);
}

TEST_F(DirList, UserAreaRefreshAndRoots) {
  CDirList list;
  EXPECT_EQ(0, list.SetUserDataSize(3));
  EXPECT_EQ(0, list.SetUserDataSize(4101));
  EXPECT_EQ(1, list.SetUserDataSize(4));
  EXPECT_EQ(4u, list.m_userSize);
  EXPECT_EQ(1, list.SetUserDataSize(9));
  EXPECT_EQ(12u, list.m_userSize);
  list.Open(dir.Path().c_str(), 0, nullptr, nullptr);
  EXPECT_EQ(4, list.Read());
  EXPECT_EQ(0, list.SetUserDataSize(8));
  EXPECT_STREQ("a.txt", Sorted(Held(list))[0].c_str());
  // Refresh adds only what is new.
  dir.Write("neu.txt", "n");
  list.Open(dir.Path().c_str(), DIRLIST_REFRESH, nullptr, nullptr);
  EXPECT_EQ(5, list.Read());
  EXPECT_EQ(5, list.m_entries.count);
  // Refresh with another root: relative paths do not cut a directory that does not begin with it.
  list.Open((dir / "sub\\").c_str(), DIRLIST_REFRESH, nullptr, nullptr);
  list.Read();
  for (int i = 0; i < list.m_entries.count; ++i) {
    int n = 0;
    std::string rel = list.GetEntryPath(i, &n, 1);
    EXPECT_NE(std::string::npos, rel.find(list.GetEntryName(i, nullptr))) << rel;
    EXPECT_TRUE(rel == list.GetEntryName(i, nullptr) || rel.find(dir.Path()) == 0 || rel.find("sub") == 0) << rel;
  }
  EXPECT_GT(list.GetTotalSize(), 0);
}

TEST_F(DirList, ConvertCase) {
  dir.Write("ÄRGER.TXT", "1");
  dir.Write("Mixed.Txt", "2");
  CDirList list(dir.Path().c_str(), 0, "*.txt", nullptr);
  ASSERT_EQ(3, list.Read());
  // Names lose the Latin-1 bit; directories judge each component and keep it.
  list.ConvertCase(CASE_LOWER | CASE_IF_NO_LOWER | CASE_LATIN1 | 0x100);
  EXPECT_EQ(std::vector<std::string>({"Mixed.Txt", "a.txt", "Ärger.txt"}),
            Sorted({list.GetEntryName(0, nullptr), list.GetEntryName(1, nullptr), list.GetEntryName(2, nullptr)}));
  std::string root = dir.Path();
  std::string lowered = "c" + root.substr(1);
  ASSERT_EQ('C', root[0]);
  EXPECT_EQ(lowered, list.m_dirs.TextAt(0));
  EXPECT_EQ(lowered, std::string(list.GetEntryPath(0, nullptr, 0)).substr(0, root.size()));
  // Without 0x100 the directories stay; with 0x800 they are judged per word.
  list.ConvertCase(CASE_UPPER);
  EXPECT_EQ(std::vector<std::string>({"A.TXT", "MIXED.TXT", "ÄRGER.TXT"}),
            Sorted({list.GetEntryName(0, nullptr), list.GetEntryName(1, nullptr), list.GetEntryName(2, nullptr)}));
  EXPECT_EQ(lowered, list.m_dirs.TextAt(0));
  list.ConvertCase(CASE_UPPER | CASE_IF_NO_UPPER | CASE_PER_WORD | 0x100);
  std::string words = list.m_dirs.TextAt(0);
  EXPECT_EQ("C:\\USERS\\", words.substr(0, 9));
}

TEST_F(DirList, IconsAndTypeNamesThroughTheCache) {
  dir.Write("zweite.txt", "2");
  CDirList list(dir.Path().c_str(), 0, "*.txt", nullptr);
  list.Read();
  ASSERT_EQ(2, list.m_entries.count);
  FileStatRecord* first = list.EntryAt(0);
  FileStatRecord* second = list.EntryAt(1);
  int icon = list.GetIconIndex(first, SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
  EXPECT_GE(icon, 0);
  // A sentinel in the extension's record comes back for the second .txt.
  IconCacheRecord* rec = g_shellIconCache.LookupExt("txt");
  ASSERT_NE(nullptr, rec);
  rec->icon[SHGFI_SMALLICON & 3] = 4242;
  EXPECT_EQ(4242, list.GetIconIndex(second, SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
  EXPECT_EQ(icon, list.GetIconIndex(first, SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));  // cached in the entry
  rec->icon[SHGFI_SMALLICON & 3] = icon;
  const char* type = list.GetTypeName(first, SHGFI_USEFILEATTRIBUTES);
  ASSERT_NE(nullptr, type);
  EXPECT_EQ(type, list.GetTypeName(second, SHGFI_USEFILEATTRIBUTES));
}

}  // namespace
