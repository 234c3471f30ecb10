#include "system/files/namecollate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "files_test_util.h"

namespace {

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// The sixteen compares as one signature; the NUL-terminated ones ignore the
// lengths.
struct Form {
  const char* name;
  int folded;   // 1 folded table, 0 case kept
  int numeric;  // digit runs by value
  int (*a)(const char*, const char*, int, int);
  int (*w)(const wchar_t*, const wchar_t*, int, int);
};

// clang-format off
const Form kForms[] = {
  {"plain", 1, 0, [](const char* a, const char* b, int, int) { return CompareFileNames(a, b); },
                  [](const wchar_t* a, const wchar_t* b, int, int) { return CompareFileNamesW(a, b); }},
  {"N", 1, 0, CompareFileNamesN, CompareFileNamesNW},
  {"Case", 0, 0, [](const char* a, const char* b, int, int) { return CompareFileNamesCase(a, b); },
                 [](const wchar_t* a, const wchar_t* b, int, int) { return CompareFileNamesCaseW(a, b); }},
  {"CaseN", 0, 0, CompareFileNamesCaseN, CompareFileNamesCaseNW},
  {"Num", 1, 1, [](const char* a, const char* b, int, int) { return CompareFileNamesNum(a, b); },
                [](const wchar_t* a, const wchar_t* b, int, int) { return CompareFileNamesNumW(a, b); }},
  {"NumN", 1, 1, CompareFileNamesNumN, CompareFileNamesNumNW},
  {"CaseNum", 0, 1, [](const char* a, const char* b, int, int) { return CompareFileNamesCaseNum(a, b); },
                    [](const wchar_t* a, const wchar_t* b, int, int) { return CompareFileNamesCaseNumW(a, b); }},
  {"CaseNumN", 0, 1, CompareFileNamesCaseNumN, CompareFileNamesCaseNumNW},
};
// clang-format on

int RunA(const Form& f, const std::string& a, const std::string& b) {
  return f.a(a.c_str(), b.c_str(), (int)a.size(), (int)b.size());
}
int RunW(const Form& f, const std::wstring& a, const std::wstring& b) {
  return f.w(a.c_str(), b.c_str(), (int)a.size(), (int)b.size());
}

TEST(NameCollate, SignsOfAllSixteen) {
  struct Case {
    const char* a;
    const char* b;
    int folded, kept, numFolded, numKept;  // expected signs
  };
  // clang-format off
  const Case cases[] = {
    {"a.txt", "A.TXT", 0, 1, 0, 1},
    {"a b", "a_b", -1, -1, -1, -1},
    {"a.txt", "a_txt", -1, -1, -1, -1},
    {"a\\b", "a.b", 1, 1, 1, 1},  // the file of the directory before the subdirectory's
    {"dir\\b", "dir\\a\\x", -1, -1, -1, -1},
    {"ab", "abc", -1, -1, -1, -1},
    {"Ä", "A", 1, 1, 1, 1},
    {"Ä", "B", -1, -1, -1, -1},
    {"Ä", "ä", 0, -1, 0, -1},
    {"file9", "file10", 1, 1, -1, -1},
    {"file010", "file10", -1, -1, -1, -1},
    {"ver0x10", "ver9", -1, -1, 1, 1},
    {"(a)", "[a]", -1, -1, -1, -1},
    {"a,b", "a;b", 1, 1, 1, 1},
    {"Maß €", "Mass", 1, 1, 1, 1},
    {"Maß €", "Maß", 1, 1, 1, 1},
    {"x\\Maß €\\a", "x\\Maß €", 1, 1, 1, 1},
    {"Ýa", "Ya", 1, 1, 1, 1},
    {"Ýa", "Za", -1, -1, -1, -1},
    {"Þ", "þ", 0, -1, 0, -1},
  };
  // clang-format on
  for (const Case& c : cases) {
    for (const Form& f : kForms) {
      int expected = f.numeric ? (f.folded ? c.numFolded : c.numKept) : (f.folded ? c.folded : c.kept);
      EXPECT_EQ(expected, Sign(RunA(f, c.a, c.b))) << f.name << "A " << c.a << " : " << c.b;
      EXPECT_EQ(-expected, Sign(RunA(f, c.b, c.a))) << f.name << "A " << c.b << " : " << c.a;
      EXPECT_EQ(expected, Sign(RunW(f, Widen(c.a), Widen(c.b)))) << f.name << "W " << c.a << " : " << c.b;
    }
  }
}

TEST(NameCollate, CountedLengthsAndRunsOfDifferentLength) {
  EXPECT_EQ(-1, CompareFileNamesN("abc", "abc", 2, 3));
  EXPECT_EQ(-1, CompareFileNamesNumN("ab1x", "ab1x", 3, 4));
  EXPECT_EQ(-1, CompareFileNamesNumNW(L"ab1x", L"ab1x", 3, 4));
  // A NUL inside the lengths is compared, not an end.
  EXPECT_LT(CompareFileNamesN("a\0b", "a\0c", 3, 3), 0);
  EXPECT_EQ(0, CompareFileNamesN("a\0b", "a\0b", 3, 3));
  // Equal values in runs of different length: the runs' text decides.
  EXPECT_GT(CompareFileNamesNumN("a0X1", "a0x01", 4, 5), 0);
  EXPECT_GT(CompareFileNamesNumNW(L"a0X1", L"a0x01", 4, 5), 0);
  EXPECT_GT(CompareFileNamesCaseNumN("a0X1", "a0x01", 4, 5), 0);
  EXPECT_LT(CompareFileNamesCaseNumNW(L"a0X1", L"a0x01", 4, 5), 0);
  // 16-bit: a character above 255 sorts after ÿ.
  EXPECT_GT(CompareFileNamesW(L"\x3A9", L"\xFF"), 0);
  EXPECT_GT(CompareFileNamesCaseW(L"a\x20AC", L"a\xFF"), 0);
  EXPECT_LT(CompareFileNamesW(L"\x3A9", L"\x3A9x"), 0);
}

TEST(NameCollate, WeightTables) {
  EXPECT_EQ(0, FileNameSortWeights[0]);
  EXPECT_EQ(1, FileNameSortWeights['/']);
  EXPECT_EQ('A' * 256 + 1, FileNameSortWeights[0xC0]);
  EXPECT_EQ('a' * 256 + 1, FileNameSortWeightsFolded[0xC0]);
  EXPECT_EQ('a' * 256 + 5, FileNameSortWeights[0xE4]);
  EXPECT_EQ('0' * 256 + 0x80, FileNameSortWeights['0']);
  EXPECT_EQ(0xF7 * 256, FileNameSortWeightsFolded[0xD7]);
  EXPECT_EQ(0xF8 * 256, FileNameSortWeightsFolded[0xD8]);
  EXPECT_EQ(0xD8 * 256, FileNameSortWeights[0xD8]);
  EXPECT_EQ(0xDF * 256, FileNameSortWeightsFolded[0xDF]);
  EXPECT_EQ('Y' * 256 + 1, FileNameSortWeights[0xDD]);
  EXPECT_EQ('y' * 256 + 1, FileNameSortWeightsFolded[0xDD]);
  EXPECT_EQ(0xDE * 256, FileNameSortWeights[0xDE]);
  EXPECT_EQ(0xFE * 256, FileNameSortWeightsFolded[0xDE]);
  EXPECT_EQ(0x100, FileNameSortWeights[1]);
  EXPECT_EQ(0x101, FileNameSortWeights[':']);
  // Every weight but the digits' lacks the digit mark.
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(c >= '0' && c <= '9', (FileNameSortWeights[c] & 0x80) != 0) << c;
    EXPECT_EQ(c >= '0' && c <= '9', (FileNameSortWeightsFolded[c] & 0x80) != 0) << c;
  }
}

// Sorting must be a strict weak order for every form: antisymmetric and
// transitive over names that mix the awkward characters.
TEST(NameCollate, AntisymmetricAndTransitive) {
  const std::vector<std::string> names = {
      "a",  "A",     "a b",      "a_b",     "a.b",      "a\\b",    "a\\b\\c", "a/b", "(x)",   "[x]", "{x}", "<x>",
      "x)", "file9", "file10",   "file010", "file0x10", "file0X9", "ver0x",   "0x",  "0b101", "Ä",   "ä",   "Äb",
      "ab", "Maß €", "Maß €\\x", "Mass",    "ß",        "a,b",     "a;b",     "a:b", "a|b",   "",    "9",   "09",
      "Ýa", "Þ",     "þ",        "ÿ",       "x\\1\\y",  "x\\01",   "x1",      "Ab1", "ab01"};
  for (const Form& f : kForms) {
    for (bool wide : {false, true}) {
      auto cmp = [&](const std::string& a, const std::string& b) {
        return Sign(wide ? RunW(f, Widen(a), Widen(b)) : RunA(f, a, b));
      };
      for (const auto& a : names) {
        for (const auto& b : names) {
          int ab = cmp(a, b);
          ASSERT_EQ(-ab, cmp(b, a)) << f.name << (wide ? "W " : "A ") << a << " : " << b;
          if (ab > 0) continue;
          for (const auto& c : names) {
            if (cmp(b, c) <= 0) {
              ASSERT_LE(cmp(a, c), 0) << f.name << (wide ? "W " : "A ") << a << " <= " << b << " <= " << c;
            }
          }
        }
      }
    }
  }
}

TEST(NameCollate, ComparePathsPreparesBothSides) {
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cwd);
  std::string full = std::string(cwd) + (cwd[strlen(cwd) - 1] == '\\' ? "" : "\\") + "x.txt";
  EXPECT_EQ(0, ComparePaths(full.c_str(), "x.txt", PATHCMP_FULL_B | PATHCMP_NO_CASE));
  EXPECT_NE(0, ComparePaths(full.c_str(), "x.txt", PATHCMP_NO_CASE));
  EXPECT_EQ(0, ComparePathsW(Widen(full).c_str(), L"X.TXT", PATHCMP_FULL_B | PATHCMP_NO_CASE));
  EXPECT_EQ(0, ComparePaths("c:\\a\\..\\b\\.\\x", "C:\\B\\X", PATHCMP_CANONICAL | PATHCMP_NO_CASE));
  EXPECT_EQ(0, ComparePathsW(L"c:\\a\\..\\b\\Maß", L"c:\\b\\Maß", PATHCMP_CANONICAL));
  EXPECT_LT(ComparePaths("f9", "f10", PATHCMP_NUMERIC), 0);
  EXPECT_GT(ComparePaths("f9", "f10", 0), 0);
  EXPECT_GT(ComparePaths("a", "A", 0), 0);
  // A full path that cannot be made is compared as given, not as empty text.
  std::string tooLong(400, 'x');
  EXPECT_NE(0, ComparePaths(tooLong.c_str(), "", PATHCMP_FULL_A));
  EXPECT_EQ(0, ComparePaths(tooLong.c_str(), tooLong.c_str(), PATHCMP_FULL_A | PATHCMP_FULL_B | PATHCMP_CANONICAL));
  EXPECT_LT(ComparePaths(tooLong.c_str(), (tooLong + "y").c_str(), PATHCMP_FULL_A | PATHCMP_FULL_B), 0);
}

}  // namespace
