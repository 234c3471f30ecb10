#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "text/strings.h"
#include "wide.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

// Installs tables that fold like Windows-1252 (upper: a-z and 0xE0-0xFE
// without 0xF7; lower the reverse) for one test, and clears them after.
class WithCaseTables {
 public:
  WithCaseTables() : upper_(CaseTableSize), lower_(CaseTableSize) {
    for (unsigned c = 0; c < CaseTableSize; ++c) upper_[c] = lower_[c] = (uint16_t)c;
    for (unsigned c = 'a'; c <= 'z'; ++c) upper_[c] = (uint16_t)(c - 32), lower_[c - 32] = (uint16_t)c;
    for (unsigned c = 0xE0; c <= 0xFE; ++c)
      if (c != 0xF7) upper_[c] = (uint16_t)(c - 32), lower_[c - 32] = (uint16_t)c;
    upper_[0x430] = 0x410;  // Cyrillic a
    pair_ = {upper_.data(), lower_.data()};
    EXPECT_EQ(SetCaseTables(&pair_), &pair_);
  }
  ~WithCaseTables() { SetCaseTables(nullptr); }

 private:
  std::vector<uint16_t> upper_, lower_;
  CaseTablePair pair_;
};

}  // namespace

TEST(CaseCompare, FoldDirectionWithoutTables) {
  // Lower-case folding puts "[\]^_`" before the letters, upper-case after.
  struct Case {
    const char *a, *b;
    int noCaseA, noCaseW, noCaseNA, noCaseNW, wildNA, wildNW;  // signs
  };
  const Case cases[] = {
      {"abc", "ABC", 0, 0, 0, 0, 0, 0},      {"b_", "bY", -1, -1, -1, 1, 1, 1},  {"b[", "BA", -1, -1, -1, 1, 1, 1},
      {"ab", "abc", -1, -1, -1, -1, -1, -1}, {"\xE4", "\xC4", 1, 1, 1, 1, 1, 1}, {"\xE4", "a", 1, 1, 1, 1, 1, 1},
  };
  for (const Case& c : cases) {
    WString a = Wide(c.a), b = Wide(c.b);
    int n = (int)std::strlen(c.a) + 1;  // through the terminator
    EXPECT_EQ(Sign(CompareNoCaseA(c.a, c.b)), c.noCaseA) << c.a << " : " << c.b;
    EXPECT_EQ(Sign(CompareNoCaseW(a.c_str(), b.c_str())), c.noCaseW) << c.a << " : " << c.b;
    EXPECT_EQ(Sign(CompareNoCaseNA(c.a, c.b, n)), c.noCaseNA) << c.a << " : " << c.b;
    EXPECT_EQ(Sign(CompareNA(c.a, c.b, n, true)), c.noCaseNA) << c.a << " : " << c.b;
    EXPECT_EQ(Sign(CompareNoCaseNW(a.c_str(), b.c_str(), n)), c.noCaseNW) << c.a << " : " << c.b;
    EXPECT_EQ(Sign(CompareNW(a.c_str(), b.c_str(), n, true)), c.noCaseNW) << c.a << " : " << c.b;
    EXPECT_EQ(Sign(CompareWildNA(c.a, c.b, n, true)), c.wildNA) << c.a << " : " << c.b;
    EXPECT_EQ(Sign(CompareWildNW(a.c_str(), b.c_str(), n, true)), c.wildNW) << c.a << " : " << c.b;
  }
}

TEST(CaseCompare, ExactCountedCompares) {
  EXPECT_EQ(CompareNA("ab\0x", "ab\0y", 3, false), 0) << "NULs compare like other bytes";
  EXPECT_EQ(CompareNA("ab\0x", "ab\0y", 4, false), -1);
  EXPECT_EQ(CompareNA("\xE4", "a", 1, false), 1) << "unsigned bytes";
  EXPECT_EQ(CompareNA("zz", "aa", 0, false), 0);
  EXPECT_EQ(CompareNA("zz", "aa", -1, true), 0);
  EXPECT_EQ(CompareNA("abc", "ABC", 3, false), 1);
  EXPECT_EQ(CompareNW(L"ab\0x", L"ab\0y", 3, false), 0);
  EXPECT_LT(CompareNW(L"ab\0x", L"ab\0y", 4, false), 0);
  EXPECT_EQ(CompareNoCaseNW(L"zz", L"aa", 0), 0);
}

TEST(CaseCompare, WideDifferencesOf0x8000KeepTheirSign) {
  const wchar_t one[] = {1, 0}, mid[] = {0x8000, 0}, top[] = {0xFFFF, 0};
  for (bool caseless : {false, true}) {
    EXPECT_LT(CompareNW(one, top, 1, caseless), 0);
    EXPECT_LT(CompareNW(one, mid, 1, caseless), 0);
    EXPECT_GT(CompareNW(top, mid, 1, caseless), 0);
    EXPECT_LT(CompareWildNW(one, top, 1, caseless), 0);
  }
  EXPECT_LT(CompareNoCaseW(one, top), 0);
  EXPECT_GT(CompareNoCaseW(top, one), 0);
}

TEST(CaseCompare, WildcardQuestionMarkInThePattern) {
  struct Case {
    const char *pattern, *text;
    int n;
    bool caseless;
    int sign;
  };
  const Case cases[] = {
      {"a?c", "axc", 3, false, 0}, {"a?c", "axd", 3, false, -1}, {"a?c", "aXC", 3, true, 0},
      {"a?c", "aXC", 3, false, 1}, {"axc", "a?c", 3, false, 1},  {"???", "\xE4\0z", 3, false, 0},
      {"abc", "xyz", 0, false, 0}, {"abc", "xyz", -2, true, 0},
  };
  for (const Case& c : cases) {
    WString p = Wide(c.pattern), t = Wide(c.text, 3);
    EXPECT_EQ(Sign(CompareWildNA(c.pattern, c.text, c.n, c.caseless)), c.sign) << c.pattern << " " << c.text;
    EXPECT_EQ(Sign(CompareWildNW(p.c_str(), t.c_str(), c.n, c.caseless)), c.sign) << c.pattern << " " << c.text;
    if (!c.caseless) {
      EXPECT_EQ(Sign(CompareWildExactNA(c.pattern, c.text, c.n)), c.sign);
      EXPECT_EQ(Sign(CompareWildExactNW(p.c_str(), t.c_str(), c.n)), c.sign);
    }
  }
}

TEST(CaseChange, AsciiOnlyWithoutTables) {
  char s[] =
      "Stra\xDF"
      "e \xE4 [x]";
  EXPECT_EQ(ToUpperA(s), s);
  EXPECT_STREQ(s,
               "STRA\xDF"
               "E \xE4 [X]");
  EXPECT_STREQ(ToLowerA(s),
               "stra\xDF"
               "e \xE4 [x]");
  wchar_t w[] = {L'a', 0xE4, 0x430, L'z', 0};
  ToUpperW(w);
  EXPECT_EQ(WString(w), (WString{L'A', 0xE4, 0x430, L'Z'}));
  char n[] = "ab\0cd";
  EXPECT_EQ(ToUpperNA(n, 0), n);
  EXPECT_EQ(std::string(n, 5), std::string("ab\0cd", 5));
  ToUpperNA(n, 5);
  EXPECT_EQ(std::string(n, 5), std::string("AB\0CD", 5)) << "NULs included";
  ToLowerNA(n, 4);
  EXPECT_EQ(std::string(n, 5), std::string("ab\0cD", 5));
  wchar_t wn[] = {L'a', 0, L'b', 0};
  ToUpperNW(wn, 3);
  EXPECT_EQ(wn[2], L'B');
  ToLowerNW(wn, -1);
  EXPECT_EQ(wn[2], L'B');
  ToLowerW(wn);
  EXPECT_EQ(wn[0], L'a');
  EXPECT_EQ(CaseUpperA('q'), 'Q');
  EXPECT_EQ(CaseLowerW(L'Q'), L'q');
  EXPECT_EQ(CaseUpperA((char)0xE4), (char)0xE4);
}

TEST(CaseCompare, InstalledTablesFoldBeyondAscii) {
  {
    WithCaseTables tables;
    EXPECT_EQ(CompareNoCaseA("\xE4", "\xC4"), 0);
    EXPECT_EQ(CompareNoCaseNA("x\xE4", "X\xC4", 2), 0);
    EXPECT_EQ(CompareWildNA("?\xE4", "x\xC4", 2, true), 0);
    const wchar_t a[] = {0x430, 0xE4, 0}, b[] = {0x410, 0xC4, 0};
    EXPECT_EQ(CompareNoCaseW(a, b), 0);
    EXPECT_EQ(CompareNoCaseNW(a, b, 2), 0);
    EXPECT_NE(CompareNW(a, b, 2, false), 0);
    // With tables every caseless compare folds to upper case: '_' after 'Y'.
    EXPECT_GT(CompareNoCaseA("b_", "bY"), 0);
    char s[] = "\xE4x\xF7";
    EXPECT_STREQ(ToUpperA(s), "\xC4X\xF7");
    EXPECT_STREQ(ToLowerA(s), "\xE4x\xF7");
    wchar_t w[] = {0x430, 0x3000, L'a', 0};
    ToUpperW(w);
    EXPECT_EQ(WString(w), (WString{0x410, 0x3000, L'A'}));
    EXPECT_EQ(CaseUpperA((char)0xE4), (char)0xC4);
  }
  EXPECT_GT(CompareNoCaseA("\xE4", "\xC4"), 0) << "cleared again";
  EXPECT_EQ(CaseTables().upper, nullptr);
}
