#include "text/wildcard/wildcard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "guardpage.h"
#include "wide.h"

namespace {

int CountedA(const std::string& p, const std::string& t, uint32_t flags) {
  return MatchWildcardNA(p.data(), (int)p.size(), t.data(), (int)t.size(), flags);
}
int CountedW(const WString& p, const WString& t, uint32_t flags) {
  return MatchWildcardNW(p.data(), (int)p.size(), t.data(), (int)t.size(), flags);
}

// The sanitizer build with its coverage instrumentation runs many times
// slower than the program.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OSTROVA_SLOW_BUILD 1
#endif
#endif
#ifdef OSTROVA_SLOW_BUILD
const double kBudget = 10.0 * 25;
#else
const double kBudget = 10.0;
#endif

double MillisecondsOf(void (*run)()) {
  auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(MatchWildcard, RecursiveFormsBacktrackFully) {
  struct Case {
    const char* text;
    const char* pattern;
    int exact, nocase;
  } cases[] = {
      {"", "", 0, 0},
      {"a", "", 1, 1},
      {"", "*", 0, 0},
      {"", "?", 1, 1},
      {"abc", "a?c", 0, 0},
      {"ab", "a?c", -'c', -'c'},  // the text ends where the pattern has a 'c'
      {"abc", "*c", 0, 0},
      {"ABC", "a*", 'A' - 'a', 0},
      {"abxb", "*a*b", 0, 0},  // every star assignment is tried
      {"abxbx", "*a*b", 1, 1},
      {"ab", "ab*", 0, 0},
      {"abc", "ab", 1, 1},  // text runs on
      {"ab", "abc", -'c', -'c'},
      {"abd", "abc", 'd' - 'c', 'd' - 'c'},
      {"xyz", "*?*?*?", 0, 0},
      {"xy", "*?*?*?", 1, 1},
      {"mississippi", "m*iss*ppi", 0, 0},
      {"mississippi", "m*iss*pp", 1, 1},
      {"\xC4", "\xE4", (signed char)'\xC4' - (signed char)'\xE4', (signed char)'\xC4' - (signed char)'\xE4'},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchWildcardA(c.text, c.pattern), c.exact) << c.text << " / " << c.pattern;
    EXPECT_EQ(MatchWildcardNoCaseA(c.text, c.pattern), c.nocase) << c.text << " / " << c.pattern;
    // 16-bit: unsigned differences, the same zero/nonzero outcome.
    EXPECT_EQ(MatchWildcardW(Wide(c.text).c_str(), Wide(c.pattern).c_str()) == 0, c.exact == 0) << c.text;
    EXPECT_EQ(MatchWildcardNoCaseW(Wide(c.text).c_str(), Wide(c.pattern).c_str()) == 0, c.nocase == 0) << c.text;
  }
  // The 16-bit forms compare whole units and fold nothing above 'Z'.
  EXPECT_EQ(MatchWildcardW(L"\x0141", L"\x0161"), 0x0141 - 0x0161);
  EXPECT_NE(MatchWildcardNoCaseW(L"\x0141", L"\x0161"), 0);
  EXPECT_EQ(MatchWildcardNoCaseW(L"x\x4E00Y", L"X?y"), 0);
}

TEST(MatchWildcard, CountedFormFirstSuccessDecides) {
  const uint32_t kNoCase = MATCH_IGNORE_CASE, kFile = MATCH_FILE_NAME, kLen = MATCH_PREFIX,
                 kLenOrFail = MATCH_PREFIX_OR_FAIL;
  struct Case {
    const char* pattern;
    const char* text;
    uint32_t flags;
    int result;
  } cases[] = {
      {"", "", 0, 0},
      {"", "x", 0, 1},
      {"", "x", kLen, 0},
      {"*", "", 0, 0},
      {"*", "abc", kLen, 3},
      {"*.*", "README", kFile, 0},
      {"*.*", "README", 0, 1},
      {"*.*", "READ.ME", 0, 0},
      {"x*.*", "x", kFile, 0},
      {".*", "", kFile, 1},  // shorter than three: no file-name rewrite
      {"*.txt", "A.TXT", kNoCase, 0},
      {"*.txt", "A.TXT", 0, 1},
      {"ab", "abc", kLen, 2},
      {"ab", "abc", 0, 1},
      {"ab", "xbc", kLen, 0},
      {"ab", "xbc", kLenOrFail, -1},
      {"a?c", "abc", 0, 0},
      {"a?c", "ab", 0, 1},
      {"*a*b", "abxb", 0, 1},  // the inner star settles at the first 'b'
      {"*a*b*", "abxb", 0, 0},
      {"*a*b", "abxb", kLen, 2},
      {"*?", "", 0, 1},
      {"*?", "a", 0, 0},
      {"*??", "a", 0, 1},
      {"?*?", "ab", 0, 0},
      {"*b", "abab", 0, 0},  // the last segment may move on to the end
      {"*b", "abab", kLen, 2},
      {"*a?", "xaya", 0, 1},
      {"a*c*e", "abcde", kLenOrFail, 5},
      {"a*c*e", "abcdf", kLenOrFail, -1},
      {"a*c*e*", "abcdefg", kLen, 7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountedA(c.pattern, c.text, c.flags), c.result) << c.pattern << " / " << c.text << " " << c.flags;
    EXPECT_EQ(CountedW(Wide(c.pattern), Wide(c.text), c.flags), c.result) << "W " << c.pattern << " / " << c.text;
  }
  // Counted: NULs are ordinary characters, negative lengths empty.
  EXPECT_EQ(MatchWildcardNA("a?b", 3, "a\0b", 3, 0), 0);
  EXPECT_EQ(MatchWildcardNA("abc", -1, "", -5, 0), 0);
}

TEST(MatchWildcard, CountedFormsReadNothingPastTheirLengths) {
  GuardedBlock pb, tb, pwb, twb;
  const char* patterns[] = {"*.*", "a*c", "*c?", "ab", "*", "?*?"};
  for (const char* ps : patterns) {
    std::string p = ps;
    const char* pat = pb.AtEnd(p.data(), p.size());
    const char* txt = tb.AtEnd("abc.d", 5);
    WString pw = Wide(ps);
    const wchar_t* patW = pwb.AtEnd(pw.data(), pw.size());
    const wchar_t* txtW = twb.AtEnd(L"abc.d", 5);
    for (uint32_t flags : {0u, 1u, 2u, 3u, 4u, 0x20u}) {
      EXPECT_EQ(MatchWildcardNA(pat, (int)p.size(), txt, 5, flags),
                MatchWildcardNW(patW, (int)pw.size(), txtW, 5, flags))
          << ps << " " << flags;
    }
  }
  const char* list = tb.AtEnd("*.c;x*", 7);  // with its terminator
  EXPECT_EQ(MatchWildcardListA("xy", 2, list, 0, ';'), 2);
  const wchar_t* listW = twb.AtEnd(L"*.c\0*.h\0", 9);
  EXPECT_EQ(MatchWildcardListW(L"a.h", 3, listW, 0, 0), 2);
  EXPECT_EQ(MatchWildcardListW(L"a.x", 3, listW, 0, 0), -1);
}

TEST(MatchWildcard, Lists) {
  const uint32_t kFileNoCase = MATCH_IGNORE_CASE | MATCH_FILE_NAME;
  struct Case {
    const char* list;
    int listLength;  // with the terminator(s)
    const char* name;
    uint32_t flags;
    char separator;
    int result;
  } cases[] = {
      {"*.tmp;*.bak", 12, "old.BAK", kFileNoCase, ';', 2},
      {"*.tmp;*.bak", 12, "a.txt", kFileNoCase, ';', -1},
      {"*.tmp;*.bak", 12, "a.tmp", kFileNoCase, ';', 1},
      {"", 1, "", kFileNoCase, ';', 0},
      {"a;;b", 5, "", 0, ';', 2},
      {"a;;b", 5, "b", 0, ';', 3},
      {"a;", 3, "", 0, ';', 2},  // the empty pattern after a final separator
      {"*.*", 4, "README", kFileNoCase, ';', 1},
      {"*.c\0*.h\0", 9, "x.h", 0, '\0', 2},
      {"*.c\0*.h\0", 9, "x.txt", 0, '\0', -1},
      {"\0\0", 2, "", 0, '\0', 0},
      {"\0x\0", 3, "x", 0, '\0', -1},  // over at the first, empty pattern
  };
  for (const Case& c : cases) {
    std::string name = c.name;
    EXPECT_EQ(MatchWildcardListA(name.data(), (int)name.size(), c.list, c.flags, c.separator), c.result)
        << c.name << " in " << c.list;
    WString wl = Wide(c.list, c.listLength), wn = Wide(c.name);
    EXPECT_EQ(MatchWildcardListW(wn.data(), (int)wn.size(), wl.data(), c.flags, (wchar_t)c.separator), c.result)
        << "W " << c.name << " in " << c.list;
  }
  EXPECT_EQ(MatchWildcardListA("a", 1, nullptr, 0, ';'), 0);
  EXPECT_EQ(MatchWildcardListW(L"a", 1, nullptr, 0, ';'), 0);
}

// Nested stars stop at the first failing rest; no form recurses per text
// character.
TEST(MatchWildcard, LongTextsAreFast) {
  static std::string as(4000, 'a');
  static WString asW = Wide(as.c_str());
  static std::string mx(1000000, 'y');
  static WString mxW = Wide(mx.c_str());
  static const char* kNested = "*a*a*a*a*a*a*b";
  EXPECT_LT(MillisecondsOf([] {
              EXPECT_EQ(CountedA(kNested, as, 0), 1);
              EXPECT_EQ(CountedA(kNested, as, MATCH_PREFIX_OR_FAIL), -1);
              EXPECT_EQ(CountedW(Wide(kNested), asW, MATCH_IGNORE_CASE), 1);
              EXPECT_EQ(MatchWildcardListA(as.data(), (int)as.size(), kNested, 0, ';'), -1);
            }),
            kBudget * 4);
  EXPECT_LT(MillisecondsOf([] {
              EXPECT_EQ(MatchWildcardA(as.c_str(), kNested), 1);
              EXPECT_EQ(MatchWildcardNoCaseA(as.c_str(), kNested), 1);
              EXPECT_EQ(MatchWildcardW(asW.c_str(), Wide(kNested).c_str()), 1);
              EXPECT_EQ(MatchWildcardNoCaseW(asW.c_str(), Wide(kNested).c_str()), 1);
              EXPECT_EQ(MatchWildcardListW(asW.data(), (int)asW.size(), Wide(kNested).c_str(), 0, L';'), -1);
            }),
            kBudget * 5);
  EXPECT_LT(MillisecondsOf([] {
              EXPECT_EQ(MatchWildcardA(mx.c_str(), "*x"), 1);
              EXPECT_EQ(MatchWildcardNoCaseA(mx.c_str(), "*x"), 1);
              EXPECT_EQ(MatchWildcardW(mxW.c_str(), L"*x"), 1);
              EXPECT_EQ(MatchWildcardNoCaseW(mxW.c_str(), L"*Y"), 0);
            }),
            kBudget * 4);
  EXPECT_LT(MillisecondsOf([] {
              EXPECT_EQ(CountedA("*x", mx, 0), 1);
              EXPECT_EQ(CountedW(L"*x", mxW, MATCH_IGNORE_CASE), 1);
              EXPECT_EQ(CountedA("*y*x", mx, 0), 1);
            }),
            kBudget * 3);
}
