// The registry search: match functions, the search state, the key walk on
// fixtures below the tests' key, and the entry phase on a scripted pane.
#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/search/regsearch.h"
#include "app/search/searchpane.h"
#include "harness/registry_util.h"

namespace {

struct MatchCase {
  int mode, matchCase;
  const char* candidate;
  const char* text;
  bool hit;
};

TEST(RegSearchMatch, FunctionsByModeAndCase) {
  const MatchCase cases[] = {
      {0, 0, "Hallo Welt", "welt", true},
      {0, 1, "Hallo Welt", "welt", false},
      {0, 1, "Hallo Welt", "Welt", true},
      {0, 0, "Hallo", "xyz", false},
      // Partial without case folds ASCII only.
      {0, 0, "Änderung", "änderung", false},
      {0, 0, "Änderung", "Änderung", true},
      {1, 0, "Hallo Welt", "hallo welt", true},
      {1, 0, "Hallo Welt", "hallo", false},
      {1, 1, "Hallo Welt", "hallo welt", false},
      {1, 1, "Hallo Welt", "Hallo Welt", true},
      // Whole without case goes through _mbsicmp, which in the C locale folds
      // ASCII only as well.
      {1, 0, "Ä", "ä", false},
      {1, 0, "Maß €", "MAß €", true},
      {2, 0, "Hallo Welt", "hallo*", true},
      {2, 1, "Hallo Welt", "hallo*", false},
      {2, 1, "Hallo Welt", "H?llo\\_\\w", true},
      {2, 0, "Wert 42", "*\\z", true},
      {2, 0, "Wert", "*\\z", false},
      {2, 0, "ab", "\\[ab]\\[ab]", true},
      {2, 0, "abc", "a\\{xy}c", true},
      {2, 0, "axc", "a\\{xy}c", false},
  };
  for (const MatchCase& c : cases) {
    RegMatchFn fn = SelectMatchFunction(c.mode, c.matchCase);
    EXPECT_EQ(fn(c.candidate, c.text, (int)strlen(c.text)) == 0, c.hit)
        << c.mode << "/" << c.matchCase << " " << c.candidate << " ~ " << c.text;
  }
  EXPECT_EQ(SelectMatchFunction(0, 0), MatchContainsNoCase);
  EXPECT_EQ(SelectMatchFunction(0, 1), MatchContains);
  EXPECT_EQ(SelectMatchFunction(1, 0), MatchWholeNoCase);
  EXPECT_EQ(SelectMatchFunction(1, 1), MatchWhole);
  EXPECT_EQ(SelectMatchFunction(2, 0), MatchSpecialNoCase);
  EXPECT_EQ(SelectMatchFunction(2, 1), MatchSpecial);
}

TEST(RegSearchState, NumbersOfTheSearchText) {
  struct Case {
    const char* text;
    bool isNumber;
    int64_t number;
  } cases[] = {{"42", true, 42},        {"0x2a", true, 42}, {" 42", true, 42},
               {"x42", false, 0},       {"-1", true, -1},   {"4294967295", true, 4294967295LL},
               {"42 Liter", false, 42}, {"abc", false, 0}};
  for (const Case& c : cases) {
    RegSearchState s;
    s.Setup(kSearchValueData, kSearchWhole, 0, c.text);
    EXPECT_EQ(s.isNumber, c.isNumber) << c.text;
    if (c.isNumber) {
      EXPECT_EQ(s.number, c.number) << c.text;
    }
    EXPECT_TRUE(s.IsSet());
    EXPECT_EQ(s.textLength, (int)strlen(c.text));
  }
}

bool DataHit(int mode, const char* text, DWORD type, const void* data, DWORD size) {
  RegSearchState s;
  s.Setup(kSearchValueData, mode, 0, text);
  std::vector<BYTE> buf((const BYTE*)data, (const BYTE*)data + size);
  buf.push_back(0);
  buf.push_back(0);
  return s.MatchesData(type, buf.data(), size);
}

TEST(RegSearchState, DataByType) {
  DWORD d42 = 42, dAll = 0xFFFFFFFF;
  uint64_t q = 0x100000000ULL;
  EXPECT_TRUE(DataHit(kSearchPartial, "42", REG_DWORD, &d42, 4));
  EXPECT_TRUE(DataHit(kSearchPartial, "2a", REG_DWORD, &d42, 4));  // "0x0000002a"
  EXPECT_TRUE(DataHit(kSearchWhole, "42", REG_DWORD, &d42, 4));
  EXPECT_TRUE(DataHit(kSearchWhole, "0x2a", REG_DWORD, &d42, 4));
  EXPECT_FALSE(DataHit(kSearchWhole, "x42", REG_DWORD, &d42, 4));
  EXPECT_FALSE(DataHit(kSearchWhole, "4", REG_DWORD, &d42, 4));
  for (const char* t : {"-1", "4294967295", "0xFFFFFFFF"})
    EXPECT_TRUE(DataHit(kSearchWhole, t, REG_DWORD, &dAll, 4)) << t;
  EXPECT_TRUE(DataHit(kSearchPartial, "-1", REG_DWORD, &dAll, 4));
  EXPECT_TRUE(DataHit(kSearchWhole, "4294967296", REG_QWORD, &q, 8));
  EXPECT_TRUE(DataHit(kSearchWhole, "0x100000000", REG_QWORD, &q, 8));
  EXPECT_FALSE(DataHit(kSearchWhole, "0", REG_QWORD, &q, 8));
  EXPECT_FALSE(DataHit(kSearchWhole, "42", REG_DWORD, &d42, 3));  // too short for a DWORD
  const char multi[] = "eins\0\0zwei\0";
  EXPECT_TRUE(DataHit(kSearchWhole, "zwei", REG_MULTI_SZ, multi, sizeof multi));
  EXPECT_FALSE(DataHit(kSearchWhole, "", REG_MULTI_SZ, multi, sizeof multi));  // empty strings are skipped
  // A string without its terminator ends at the data's end.
  EXPECT_TRUE(DataHit(kSearchWhole, "abc", REG_SZ, "abcXYZ", 3));
  EXPECT_TRUE(DataHit(kSearchPartial, "ABC", REG_EXPAND_SZ, "xabcx", 6));
  EXPECT_FALSE(DataHit(kSearchPartial, "abc", REG_BINARY, "abc", 3));
}

// --- the key walk -----------------------------------------------------------

// Level by level: the system refuses a subkey argument longer than 255
// characters.
HKEY MakeKey(HKEY parent, const char* path) {
  HKEY h = nullptr, cur = parent;
  std::string rest = path;
  do {
    size_t cut = rest.find('\\');
    std::string name = rest.substr(0, cut);
    rest = cut == std::string::npos ? "" : rest.substr(cut + 1);
    EXPECT_EQ(RegCreateKeyExA(cur, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), ERROR_SUCCESS)
        << path;
    if (cur != parent) RegCloseKey(cur);
    cur = h;
  } while (!rest.empty() && h);
  return h;
}
void SetValue(HKEY parent, const char* path, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY h = MakeKey(parent, path);
  EXPECT_EQ(RegSetValueExA(h, name, 0, type, (const BYTE*)data, size), ERROR_SUCCESS);
  RegCloseKey(h);
}
void SetString(HKEY parent, const char* path, const char* name, const char* text) {
  SetValue(parent, path, name, REG_SZ, text, (DWORD)strlen(text) + 1);
}
void SetDword(HKEY parent, const char* path, const char* name, DWORD v) {
  SetValue(parent, path, name, REG_DWORD, &v, 4);
}

struct WalkResult {
  int result;
  std::string path;
  std::string hit;
  int statusCalls;
};

// Walks from start; a walk that leaves the fixture is cancelled, so a result
// of -1 means "not below the fixture".
WalkResult Walk(const std::string& fixture, const std::string& start, int flags, int mode, const char* text,
                int matchCase = 0) {
  RegSearchState s;
  s.Setup(flags, mode, matchCase, text);
  struct Ctx {
    std::string fixture;
    volatile LONG cancel = 0;
    int calls = 0;
  } ctx{fixture};
  RegSearchHooks hooks;
  hooks.cancel = &ctx.cancel;
  hooks.ctx = &ctx;
  hooks.status = [](void* p, const char* path) {
    Ctx* c = (Ctx*)p;
    ++c->calls;
    if (_strnicmp(path, c->fixture.c_str(), c->fixture.size()) != 0) c->cancel = 1;
  };
  char path[kSearchPathSize];
  lstrcpynA(path, start.c_str(), sizeof path);
  WalkResult r;
  r.result = SearchRegistryKeys(s, path, (int)strlen(path), hooks);
  r.path = path;
  r.hit = s.hitName;
  r.statusCalls = ctx.calls;
  return r;
}

class RegSearchWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    h = key.Handle();
    root = key.FullPath();
    SetString(h, "A", "Name", "nadel im A");
    SetString(h, "A\\Unter", "", "Standardwert");
    SetString(h, "B", "Nadel", "x");
    SetString(h, "B\\B1", "Wert", "zielwert");
    SetString(h, "C", "Wert", "zielwert");
    SetDword(h, "C", "Zahl", 42);
    SetDword(h, "C", "Alle", 0xFFFFFFFF);
    MakeKey(h, "D\\Schluesselziel");
  }
  TestRegistryKey key;
  HKEY h = nullptr;
  std::string root;
};

TEST_F(RegSearchWalk, OrderSubkeysThenFollowingKeys) {
  // From B: its own values are the entry phase's; the walk starts in B1.
  WalkResult r = Walk(root, root + "\\B", kSearchValueData, kSearchWhole, "zielwert");
  EXPECT_EQ(r.result, kSearchValueFound);
  EXPECT_EQ(r.path, root + "\\B\\B1");
  EXPECT_EQ(r.hit, "Wert");
  // From B1 on: the next hit is in C, after B.
  r = Walk(root, root + "\\B\\B1", kSearchValueData, kSearchWhole, "zielwert");
  EXPECT_EQ(r.result, kSearchValueFound);
  EXPECT_EQ(r.path, root + "\\C");
  // From C: A lies before it and is never reached below the fixture.
  r = Walk(root, root + "\\C", kSearchValueData | kSearchValueNames, kSearchPartial, "nadel im");
  EXPECT_EQ(r.result, kSearchCancelled);
  // Value names; the default value is reported as "(Standard)".
  r = Walk(root, root, kSearchValueNames, kSearchWhole, "nadel");
  EXPECT_EQ(r.result, kSearchValueFound);
  EXPECT_EQ(r.path, root + "\\B");
  EXPECT_EQ(r.hit, "Nadel");
  r = Walk(root, root, kSearchValueData, kSearchWhole, "Standardwert");
  EXPECT_EQ(r.path, root + "\\A\\Unter");
  EXPECT_EQ(r.hit, "(Standard)");
  // Key names only.
  r = Walk(root, root, kSearchKeys, kSearchPartial, "schluesselZIEL");
  EXPECT_EQ(r.result, kSearchKeyFound);
  EXPECT_EQ(r.path, root + "\\D\\Schluesselziel");
  EXPECT_EQ(r.hit, "");
}

TEST_F(RegSearchWalk, NumbersInTheKeyPhase) {
  for (const char* t : {"42", "0x2a"}) {
    WalkResult r = Walk(root, root, kSearchValueData, kSearchWhole, t);
    EXPECT_EQ(r.result, kSearchValueFound) << t;
    EXPECT_EQ(r.hit, "Zahl") << t;
  }
  EXPECT_EQ(Walk(root, root, kSearchValueData, kSearchPartial, "42").hit, "Zahl");
  EXPECT_EQ(Walk(root, root, kSearchValueData, kSearchWhole, "x42").result, kSearchCancelled);
  for (const char* t : {"-1", "4294967295", "0xFFFFFFFF"})
    EXPECT_EQ(Walk(root, root, kSearchValueData, kSearchWhole, t).hit, "Alle") << t;
}

TEST_F(RegSearchWalk, NextRootWithoutWrapping) {
  // Key names only, whole: nothing after the fixture in HKEY_CURRENT_USER is
  // called HARDWARE, so the walk reaches HKEY_LOCAL_MACHINE\HARDWARE.
  RegSearchState s;
  s.Setup(kSearchKeys, kSearchWhole, 0, "HARDWARE");
  char path[kSearchPathSize];
  lstrcpynA(path, (root + "\\D").c_str(), sizeof path);
  RegSearchHooks hooks;
  EXPECT_EQ(SearchRegistryKeys(s, path, (int)strlen(path), hooks), kSearchKeyFound);
  EXPECT_STREQ(_strupr(path), "HKEY_LOCAL_MACHINE\\HARDWARE");
}

TEST_F(RegSearchWalk, DeeperThanTwelveLevels) {
  std::string p;
  for (int i = 1; i <= 22; ++i) {
    char name[8];
    wsprintfA(name, "Lv%02d", i);
    p += (i > 1 ? "\\" : "") + std::string(name);
  }
  SetString(h, p.c_str(), "Tiefster", "ganz unten");
  std::string level15 = root + "\\" + p.substr(0, 15 * 5 - 1);
  WalkResult r = Walk(root, root, kSearchKeys, kSearchWhole, "Lv20");
  EXPECT_EQ(r.result, kSearchKeyFound);
  EXPECT_EQ(r.path, root + "\\" + p.substr(0, 20 * 5 - 1));
  r = Walk(root, level15, kSearchKeys, kSearchWhole, "Lv20");
  EXPECT_EQ(r.result, kSearchKeyFound);
  EXPECT_EQ(r.path, root + "\\" + p.substr(0, 20 * 5 - 1));
  r = Walk(root, level15, kSearchValueData, kSearchPartial, "ganz unten");
  EXPECT_EQ(r.result, kSearchValueFound);
  EXPECT_EQ(r.path, root + "\\" + p);
  EXPECT_EQ(r.hit, "Tiefster");
}

TEST_F(RegSearchWalk, PathBoundSkipsTheSubtree) {
  std::string name(250, 'k');
  std::string p = "Lang";
  // Levels of 251 characters each: the fourth no longer fits into 1024 bytes.
  for (int i = 0; i < 3; ++i) p += "\\" + name;
  ASSERT_LT(root.size() + p.size(), (size_t)kSearchPathSize);
  SetString(h, p.c_str(), "Noch", "passt hinein");
  std::string deep = p + "\\" + name;
  ASSERT_GE(root.size() + 1 + deep.size(), (size_t)kSearchPathSize);
  SetString(h, (deep + "\\Tief").c_str(), "Zu", "zu lang");
  WalkResult r = Walk(root, root, kSearchValueData, kSearchPartial, "passt");
  EXPECT_EQ(r.result, kSearchValueFound);
  EXPECT_EQ(r.path, root + "\\" + p);
  r = Walk(root, root, kSearchValueData | kSearchKeys, kSearchPartial, "zu lang");
  EXPECT_EQ(r.result, kSearchCancelled);  // not below the fixture
  r = Walk(root, root, kSearchKeys, kSearchWhole, "Tief");
  EXPECT_EQ(r.result, kSearchCancelled);
  RegDeleteTreeA(h, "Lang");
}

TEST_F(RegSearchWalk, ExcludedPathsOnlyForValues) {
  SetString(h, "E\\Brannock\\Ostrova\\RegFindDlg", "Geheim", "versteckt");
  MakeKey(h, "E\\Brannock\\Ostrova\\RegFindDlg\\Innen");
  SetString(h, "E\\XBrannock\\Ostrova\\RegFindDlg", "Offen", "versteckt");
  // The excluded key's values and subkeys are skipped, a name that only
  // ends like it is not.
  WalkResult r = Walk(root, root + "\\D", kSearchValueData, kSearchPartial, "versteckt");
  EXPECT_EQ(r.result, kSearchValueFound);
  EXPECT_EQ(r.path, root + "\\E\\XBrannock\\Ostrova\\RegFindDlg");
  // With only key names searched the excluded subtree is walked too.
  r = Walk(root, root + "\\D", kSearchKeys, kSearchWhole, "Innen");
  EXPECT_EQ(r.result, kSearchKeyFound);
  EXPECT_EQ(r.path, root + "\\E\\Brannock\\Ostrova\\RegFindDlg\\Innen");
}

TEST_F(RegSearchWalk, WideNamesInTheAnsiCodePage) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExW(h, L"Ma\u00DF \u20AC", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
  RegCloseKey(k);
  WalkResult r = Walk(root, root, kSearchKeys, kSearchPartial, "\xDF \x80");
  EXPECT_EQ(r.result, kSearchKeyFound);
  EXPECT_EQ(r.path, root + "\\Ma\xDF \x80");
}

// A name outside the code page is walked by its own name, not by the "?"
// the 8-bit calls make of it: with a literal twin beside it each key is
// searched once, and the hit's path and value name are the texts the
// browser shows for them ("‹XXXX›" marks), which lead back to the same key.
TEST_F(RegSearchWalk, NamesOutsideTheCodePageAreWalkedByTheirOwnNames) {
  const wchar_t* twins[] = {L"T\\a\u4E2Db", L"T\\a?b"};
  for (const wchar_t* path : twins) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExW(h, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
    std::wstring data = std::wstring(L"nadel in ") + (wcschr(path, L'?') ? L"twin" : L"wide");
    RegSetValueExW(k, L"x\u03A9y", 0, REG_SZ, (const BYTE*)data.c_str(), (DWORD)(data.size() + 1) * 2);
    RegCloseKey(k);
  }
  const std::string wide = root +
                           "\\T\\a\x8B"
                           "4E2D\x9B"
                           "b",
                    twin = root + "\\T\\a?b";
  // Enumeration order: "a?b" before "a中b".
  WalkResult r = Walk(root, root, kSearchValueData, kSearchPartial, "nadel in");
  EXPECT_EQ(r.result, kSearchValueFound);
  EXPECT_EQ(r.path, twin);
  EXPECT_EQ(r.hit,
            "x\x8B"
            "03A9\x9B"
            "y");
  r = Walk(root, r.path, kSearchValueData, kSearchPartial, "nadel in");
  EXPECT_EQ(r.result, kSearchValueFound);
  EXPECT_EQ(r.path, wide);
  r = Walk(root, root, kSearchValueData, kSearchPartial, "in wide");
  EXPECT_EQ(r.path, wide);
  // A start path with a marked name descends into that key and goes on after it.
  r = Walk(root, wide, kSearchValueData, kSearchPartial, "nadel in");
  EXPECT_EQ(r.result, kSearchCancelled);
  r = Walk(root, root, kSearchKeys, kSearchPartial,
           "\x8B"
           "4E2D");
  EXPECT_EQ(r.result, kSearchKeyFound);
  EXPECT_EQ(r.path, wide);
}

TEST_F(RegSearchWalk, StartPathsThatDoNotOpen) {
  // A component that does not open ends the descent there: the walk goes on
  // from the parent's first subkey.
  WalkResult r = Walk(root, root + "\\Fehlt\\Auch", kSearchKeys, kSearchWhole, "A");
  EXPECT_EQ(r.result, kSearchKeyFound);
  EXPECT_EQ(r.path, root + "\\A");
  std::string message;
  RegSearchState s;
  s.Setup(kSearchKeys, kSearchWhole, 0, "A");
  RegSearchHooks hooks;
  hooks.ctx = &message;
  hooks.message = [](void* ctx, const char* text) { *(std::string*)ctx = text; };
  char path[kSearchPathSize] = "HKEY_NIRGENDWO\\x";
  EXPECT_EQ(SearchRegistryKeys(s, path, (int)strlen(path), hooks), kSearchNothing);
  EXPECT_EQ(message, "Basis Key nicht gefunden !");
}

TEST_F(RegSearchWalk, CancelEndsTheWalk) {
  RegSearchState s;
  s.Setup(kSearchValueData, kSearchPartial, 0, "gibt es nicht");
  volatile LONG cancel = 1;
  RegSearchHooks hooks;
  hooks.cancel = &cancel;
  char path[kSearchPathSize];
  lstrcpynA(path, root.c_str(), sizeof path);
  EXPECT_EQ(SearchRegistryKeys(s, path, (int)strlen(path), hooks), kSearchCancelled);
  // The status line comes every 32 steps.
  for (int i = 0; i < 70; ++i) {
    char name[16];
    wsprintfA(name, "F\\S%02d", i);
    RegCloseKey(MakeKey(h, name));
  }
  WalkResult r = Walk(root, root + "\\E", kSearchKeys, kSearchWhole, "nirgends");
  EXPECT_EQ(r.result, kSearchCancelled);
  EXPECT_GE(r.statusCalls, 2);
}

// --- the entry phase ----------------------------------------------------------

struct Entry {
  const char* name;
  DWORD type;
  const char* shown;
};

class ScriptedPane : public IRegSearchPane {
 public:
  std::vector<Entry> entries;
  std::string path;
  int selected = -1;
  int waited = 0;
  std::vector<std::string> log;
  CString GetCurrentPath() override { return path.c_str(); }
  void WaitForListThread() override { ++waited; }
  int GetSelectedEntry() override { return selected; }
  bool GetEntryText(int row, int column, CString& text) override {
    if (row < 0 || row >= (int)entries.size()) return false;
    const char* t = column == 0 ? entries[row].name : entries[row].shown;
    if (!t) return false;
    text = t;
    return true;
  }
  DWORD GetEntryType(int row) override { return entries[row].type; }
  void SelectEntry(int row) override { log.push_back("select " + std::to_string(row)); }
  void NavigateTo(const char* p) override { log.push_back(std::string("navigate ") + p); }
  bool SelectEntryByName(const char* name) override {
    log.push_back(std::string("name ") + name);
    return true;
  }
  void FocusNext(int part) override { log.push_back("focus " + std::to_string(part)); }
};

int EntryHit(ScriptedPane& pane, int flags, int mode, const char* text) {
  RegSearchState s;
  s.Setup(flags, mode, 0, text);
  pane.log.clear();
  if (!SearchPaneEntries(s, pane)) return -1;
  return std::stoi(pane.log.at(0).substr(7));
}

TEST(RegSearchEntries, AfterTheSelectedEntry) {
  TestRegistryKey key;
  const char multi[] = "rot\0gruen\0";
  SetValue(key.Handle(), "", "Farben", REG_MULTI_SZ, multi, sizeof multi);
  ScriptedPane pane;
  pane.path = key.FullPath();
  pane.entries = {{"(Standard)", REG_SZ | 0x100, "(Wert nicht gesetzt)"},
                  {"Text", REG_SZ, "\"abc\""},
                  {"Zahl", REG_DWORD, "0x0000002a (42)"},
                  {"Farben", REG_MULTI_SZ, "rot gruen"},
                  {"Bytes", REG_BINARY, "61 62 63"},
                  {"Text2", REG_SZ, "\"abc\""}};
  EXPECT_EQ(EntryHit(pane, kSearchValueData, kSearchWhole, "abc"), 1);
  EXPECT_EQ(pane.waited, 1);
  EXPECT_EQ(EntryHit(pane, kSearchValueData, kSearchPartial, "abc"), 1);
  EXPECT_EQ(EntryHit(pane, kSearchValueData, kSearchWhole, "\"abc\""), -1);
  pane.selected = 1;
  EXPECT_EQ(EntryHit(pane, kSearchValueData, kSearchWhole, "abc"), 5);
  EXPECT_EQ(EntryHit(pane, kSearchValueData, kSearchWhole, "42"), 2);
  EXPECT_EQ(EntryHit(pane, kSearchValueData, kSearchWhole, "0x2a"), 2);
  EXPECT_EQ(EntryHit(pane, kSearchValueData, kSearchWhole, "x42"), -1);
  EXPECT_EQ(EntryHit(pane, kSearchValueData, kSearchWhole, "gruen"), 3);  // read from the key
  EXPECT_EQ(EntryHit(pane, kSearchValueData, kSearchPartial, "abc"), 5);  // binary data is not text
  EXPECT_EQ(EntryHit(pane, kSearchValueNames, kSearchWhole, "bytes"), 4);
  pane.selected = 5;
  EXPECT_EQ(EntryHit(pane, kSearchValueNames, kSearchPartial, "Text"), -1);
  // Key names alone skip the entry phase.
  pane.selected = -1;
  pane.waited = 0;
  EXPECT_EQ(EntryHit(pane, kSearchKeys, kSearchPartial, "Text"), -1);
  EXPECT_EQ(pane.waited, 0);
  // An entry without a name ends it.
  pane.entries[2].name = nullptr;
  EXPECT_EQ(EntryHit(pane, kSearchValueNames, kSearchPartial, "Farben"), -1);
}

}  // namespace

namespace {

TEST_F(RegSearchWalk, KeysThatWillNotOpenAreSkippedOneByOne) {
  // Three closed siblings in a row before the hit: each is skipped, the
  // level goes on.
  PSECURITY_DESCRIPTOR deny = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;KA;;;WD)", SDDL_REVISION_1, &deny, nullptr));
  for (const char* name : {"G\\Zu1", "G\\Zu2", "G\\Zu3"}) {
    HKEY k = MakeKey(h, name);
    RegSetKeySecurity(k, DACL_SECURITY_INFORMATION, deny);
    RegCloseKey(k);
  }
  LocalFree(deny);
  HKEY probe;
  if (RegOpenKeyExA(h, "G\\Zu1", 0, KEY_ENUMERATE_SUB_KEYS, &probe) == ERROR_SUCCESS) {
    RegCloseKey(probe);
    GTEST_SKIP() << "the system opens keys whose DACL denies everything";
  }
  SetString(h, "G\\Zz", "Dahinter", "erreicht");
  WalkResult r = Walk(root, root + "\\F", kSearchValueData, kSearchWhole, "erreicht");
  EXPECT_EQ(r.result, kSearchValueFound);
  EXPECT_EQ(r.path, root + "\\G\\Zz");
  // Open the closed keys again so that the fixture can go.
  PSECURITY_DESCRIPTOR allow = nullptr;
  ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KA;;;WD)", SDDL_REVISION_1, &allow, nullptr);
  for (int i = 1; i <= 3; ++i) {
    std::string obj = "CURRENT_USER\\" + key.Path() + "\\G\\Zu" + std::to_string(i);
    BOOL present, defaulted;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(allow, &present, &dacl, &defaulted);
    SetNamedSecurityInfoA(&obj[0], SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl, nullptr);
  }
  LocalFree(allow);
}

}  // namespace
