#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "guardpage.h"
#include "text/patterns.h"
#include "wide.h"

namespace {

struct Case {
  const char* pattern;
  const char* text;
  uint32_t flags;
  int result;
};

int MatchA(const std::string& pattern, const std::string& text, uint32_t flags) {
  return MatchPatternNA(pattern.data(), (int)pattern.size(), text.data(), (int)text.size(), flags);
}

int MatchW(const WString& pattern, const WString& text, uint32_t flags) {
  return MatchPatternNW(pattern.data(), (int)pattern.size(), text.data(), (int)text.size(), flags);
}

// Both twins give the same result on the same characters.
void CheckCases(const Case* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(MatchA(c.pattern, c.text, c.flags), c.result)
        << "«" << c.pattern << "» on \"" << c.text << "\" flags " << c.flags;
    EXPECT_EQ(MatchW(Wide(c.pattern), Wide(c.text), c.flags), c.result)
        << "W: «" << c.pattern << "» on \"" << c.text << "\" flags " << c.flags;
  }
}

}  // namespace

TEST(MatchPattern, WildcardsAndModes) {
  const Case cases[] = {
      {"", "", 0, 0},
      {"", "x", 0, 1},
      {"", "x", MATCH_PREFIX, 0},
      {"", "x", MATCH_PREFIX_OR_FAIL, 0},
      {"*", "", 0, 0},
      {"*", "abc", 0, 0},
      {"**", "abc", 0, 0},
      {"*", "abc", MATCH_PREFIX, 3},
      {"**", "abc", MATCH_PREFIX_OR_FAIL, 3},
      {"a*", "abc", 0, 0},
      {"a?c", "abc", 0, 0},
      {"a?c", "ac", 0, 1},
      {"a*", "ABC", MATCH_IGNORE_CASE, 0},
      {"a*", "ABC", 0, 1},
      {"*?", "", 0, 1},
      {"*?", "a", 0, 0},
      {"?*?", "ab", 0, 0},
      // The first position that succeeds decides.
      {"*a*b", "abxb", 0, 1},
      {"*a*b*", "abxb", 0, 0},
      {"a*b", "abxb", 0, 0},
      {"*b", "abcb", MATCH_PREFIX, 2},
      {"ab", "abc", MATCH_PREFIX, 2},
      {"x", "abc", MATCH_PREFIX_OR_FAIL, -1},
      {"x", "abc", MATCH_PREFIX, 0},
      // File-name form.
      {"*.*", "readme", MATCH_FILE_NAME, 0},
      {"*.*", "readme", 0, 1},
      {"*.*", "read.me", 0, 0},
      {"a.*", "a.txt", MATCH_FILE_NAME, 0},
      {"a.*", "ab.txt", MATCH_FILE_NAME, 1},
      // Escaped stars and backslashes.
      {"abc\\*", "abc*", 0, 0},
      {"abc\\*", "abc*x", 0, 1},
      {"abc\\**", "abc*x", 0, 0},
      {"abc\\**", "abcx", 0, 1},
      {"a\\?", "a?", 0, 0},
      {"a\\?", "ab", 0, 1},
      {"a\\\\*", "a\\xyz", 0, 0},  // the star after an escaped backslash is trailing
      {"a\\", "a\\", 0, 0},        // a lone trailing backslash stands for itself
      {"\\k", "\\k", 0, 0},        // so does one that starts no escape
      {"a\\nb", "ab", 0, 1},
      {"a\\nb", "a\nb", 0, 0},
      {"\\x41\\102", "AB", 0, 0},
      {"\\x41", "a", MATCH_IGNORE_CASE, 0},
      {"\\x41", "a", 0, 1},
  };
  CheckCases(cases, sizeof cases / sizeof *cases);
}

TEST(MatchPattern, Constructs) {
  const Case cases[] = {
      // Text and word boundaries.
      {"\\aab", "ab", 0, 0},
      {"\\aab", "ab", MATCH_NOT_AT_START, 1},
      {"a\\ab", "ab", 0, 1},
      {"abc\\e", "abc", 0, 0},
      {"abc\\e", "abcd", 0, 1},
      {"abc\\f", "abc", 0, 0},
      {"ab\\f", "abc", 0, 1},
      {"ab\\f c", "ab c", 0, 0},
      {"\\gab", "ab", 0, 0},
      {"\\gab", "ab", MATCH_AFTER_WORD, 1},
      {"*\\gword\\f*", "a word here", 0, 0},
      {"*\\gword\\f*", "swordfish", 0, 1},
      {"*word\\f", "a sword", 0, 0},
      {"*word\\f", "a words", 0, 1},
      {"\\w", "abc", 0, 0},
      {"\\w", "ab c", 0, 1},
      {"\\w", "abc def", MATCH_PREFIX, 3},
      {"a\\w", "ab", 0, 1},  // not at a word start
      {"\\z", "42a", 0, 0},
      {"\\z", "a42", 0, 1},
      // Single characters of a class.
      {"\\p\\m\\o\\h", "1_zF", 0, 0},
      {"\\p", "a", 0, 1},
      {"\\h", "g", 0, 1},
      {"\\&40001&", "f", 0, 0},
      {"\\&40001&", "g", 0, 1},
      {"\\&40001", "f", 0, 0},
      {"\\&&", "a", 0, 1},
      {"a\\$1$b", "a1b", 0, 0},
      {"a\\$1$b", "ab", 0, 0},
      {"\\$$x", "x", 0, 0},
      // Runs.
      {"\\#1#", "123", 0, 0},
      {"\\#1#", "", 0, 0},
      {"\\#1", "123", 0, 0},
      {"\\#1", "", 0, 0},
      {"\\##", "", 0, 0},
      {"\\#6#b", "aab", 0, 0},  // the run gives a character back
      {"a\\.b", "a \t b", 0, 0},
      {"a\\.b", "ab", 0, 0},
      {"a\\.", "a", 0, 0},
      {"a\\+b", "a\r\n b", 0, 0},
      {"a\\+", "a", 0, 1},
      {"\\_", "", 0, 1},
      {"\\_", "  ", 0, 0},
      {"\\_x", "x", 0, 0},  // empty at the start of the subject
      {"\\_x", "x", MATCH_NOT_AT_START, 1},
      {"x\\_y", "xy", 0, 1},
      {"x\\_y", "x y", 0, 0},
      {"a\\_ b", "a  b", 0, 1},  // gives back no more than down to two characters
      {"a\\_ b", "a   b", 0, 0},
      {"a\\-b", "a\r\nb", 0, 0},
      {"a\\-b", "ab", 0, 1},
      // Lists.
      {"\\<ab>b", "ab", 0, 0},
      {"\\<a>a", "a", 0, 1},
      {"\\(a)a", "a", 0, 1},
      {"\\[ab]", "a", 0, 0},
      {"\\[ab]", "c", 0, 1},
      {"\\[AB]", "a", MATCH_IGNORE_CASE, 0},
      {"\\[AB]", "a", 0, 1},
      {"\\{ab}", "c", 0, 0},
      {"\\{ab}", "a", 0, 1},
      {"\\(ab)x", "x", 0, 0},
      {"\\(ab)x", "ax", 0, 0},
      {"\\[\\]x]", "]", 0, 0},
      {"\\[\\x41\\n]", "A", 0, 0},
      {"\\[\\x41\\n]", "\n", 0, 0},
      {"\\[\\k]", "\\", 0, 0},  // a backslash that starts no escape is a member
      {"\\[\\k]", "k", 0, 0},
      {"\\[a\\", "\\", 0, 0},  // a backslash that ends the pattern is a member
      // An unclosed list whose members fail is compared as text instead, and
      // taking nothing it ends the match there.
      {"\\[ab", "\\[ab", 0, 1},
      {"\\[ab", "\\[ab", MATCH_PREFIX_OR_FAIL, 0},
      {"\\[ab", "\\[xb", MATCH_PREFIX_OR_FAIL, -1},
      {"*\\[ab*", "x\\[ab", 0, 0},
      {"*\\[ab*", "x\\[xc", 0, 1},
      {"\\(ab", "x", MATCH_PREFIX_OR_FAIL, -1},
      {"\\(ab", "\\(abc", MATCH_PREFIX_OR_FAIL, 0},
      {"\\(ab", "ax", MATCH_PREFIX_OR_FAIL, 1},
      {"\\{ab", "x", MATCH_PREFIX_OR_FAIL, -1},
      {"\\{ab", "\\{ab", MATCH_PREFIX_OR_FAIL, 0},
      {"\\<ab", "abx", MATCH_PREFIX_OR_FAIL, -1},  // the run stops early
      {"\\<ab", "ab", MATCH_PREFIX_OR_FAIL, 2},
      {"\\|,|", "abc", 0, 0},
      {"\\|,|", "ab,c", MATCH_PREFIX, 2},
      {"a\\|;|b", "aXYb", 0, 0},
      {"a\\|;|b", "aX;b", 0, 1},
      {"\\|,|", "ab|cd", 0, 0},
      {"\\|,", "ab,cd", MATCH_PREFIX, 2},  // unclosed: the list runs to the end of the pattern
      // Line ends: CR LF, CR or LF only.
      {"a\\qb", "a\r\nb", 0, 0},
      {"a\\qb", "a\rb", 0, 0},
      {"a\\qb", "a\nb", 0, 0},
      {"a\\qb",
       "a\x0B"
       "b",
       0, 1},
      {"a\\qb",
       "a\x0C"
       "b",
       0, 1},
      {"a\\qb",
       "a\x80"
       "b",
       0, 1},
      {"a\\q", "a", 0, 1},
      {"a\\q\\q", "a\n\r\n", 0, 0},
  };
  CheckCases(cases, sizeof cases / sizeof *cases);
}

TEST(MatchPattern, NulIsAnOrdinaryCharacter) {
  const std::string text("a\0b", 3);
  EXPECT_EQ(MatchA(std::string("a\0b", 3), text, 0), 0);
  EXPECT_EQ(MatchA(std::string("a\0c", 3), text, 0), 1);
  EXPECT_EQ(MatchA("a?b", text, 0), 0);
  EXPECT_EQ(MatchA(std::string("*\0*", 3), text, 0), 0);
  EXPECT_EQ(MatchA("\\x0", std::string("\0", 1), 0), 0);
  EXPECT_EQ(MatchA("ab", "abc", 0), 1) << "the length, not a NUL, ends the text";
  EXPECT_EQ(MatchPatternNA("abc", 2, "ab", 2, 0), 0) << "nor the pattern";
  EXPECT_EQ(MatchPatternNA("abc", -1, "", 0, 0), 0) << "a negative length is empty";
  EXPECT_EQ(MatchPatternNA("*", 1, "abc", -5, 0), 0);
}

TEST(MatchPattern, WideCharactersAbove255) {
  const wchar_t zhe = 0x416;
  struct WCase {
    WString pattern, text;
    int result;
  } cases[] = {
      {Wide("\\g") + zhe, WString(1, zhe), 0},
      {Wide("\\w"), WString(1, zhe), 1},  // runs do not take it
      {Wide("\\w"), Wide("ab") + zhe, 1},
      {Wide("\\p\\m\\h"), WString(3, zhe), 0},  // single classes accept it
      {Wide("\\&&"), WString(1, zhe), 0},
      {Wide("\\#1#"), WString(1, zhe), 1},
      {Wide("\\#40000000#"), WString(2, zhe), 0},  // unless the mask has CC_OTHER
      {Wide("?\\gx"), WString(1, zhe) + L'x', 1},  // it counts as a word character
      {Wide("?\\fx"), WString(1, zhe) + L'x', 1},
      {Wide("*") + zhe + Wide("\\f"), Wide("a") + zhe, 0},
      {Wide("\\[") + zhe + Wide("]"), WString(1, zhe), 0},
      {Wide("\\x416"), WString(1, zhe), 0},  // 16-bit hex escapes hold 12 bits
      {Wide("\\x41"), WString(1, 0x41), 0},
  };
  for (const WCase& c : cases) EXPECT_EQ(MatchW(c.pattern, c.text, 0), c.result) << (&c - cases);
}

// Patterns and texts placed against an inaccessible page: a read past
// either length faults. Every cut of each pattern is tried, so constructs,
// escapes, lists and class masks end abruptly at the end of the pattern.
TEST(MatchPattern, NeverReadsPastTheLengths) {
  const char* patterns[] = {
      "*\\x41\\101\\[a\\]\\x4]\\(b)\\<\\x43>\\{d}\\|;|",
      "\\#40001#\\$1$\\&6&*\\.\\+\\_\\-\\w\\z\\q",
      "*a\\f\\e*\\g?\\p\\m\\o\\h\\a\\\\\\*\\?",
      "\\|,|x\\(ab\\)",
      "*\\#1*.*",
      "*\\q",
  };
  const char* texts[] = {"", "a", "A\\]b\r", "ab;cd,x\n", "12 word\r\n\t 4F", "\\x41Ab;q", "a\r\r"};
  const uint32_t flagSets[] = {0, MATCH_IGNORE_CASE | MATCH_FILE_NAME, MATCH_PREFIX,
                               MATCH_PREFIX_OR_FAIL | MATCH_AFTER_WORD};
  GuardedBlock patternBlock, textBlock;
  for (const char* pattern : patterns) {
    for (int cut = 0; cut <= (int)strlen(pattern); ++cut) {
      for (const char* text : texts) {
        for (int textCut = 0; textCut <= (int)strlen(text); ++textCut) {
          for (uint32_t flags : flagSets) {
            std::string p(pattern, cut), t(text, textCut);
            int expected = MatchA(p, t, flags);
            EXPECT_EQ(MatchPatternNA(patternBlock.AtEnd(p.data(), p.size()), cut, textBlock.AtEnd(t.data(), t.size()),
                                     textCut, flags),
                      expected);
            WString wp = Wide(p.data(), cut), wt = Wide(t.data(), textCut);
            EXPECT_EQ(MatchPatternNW(patternBlock.AtEnd(wp.data(), wp.size()), cut,
                                     textBlock.AtEnd(wt.data(), wt.size()), textCut, flags),
                      expected)
                << "«" << p << "» on \"" << t << "\"";
          }
        }
      }
    }
  }
}

namespace {

// Plain wildcard matching, trying every split.
bool Glob(const char* p, const char* t, bool nocase) {
  if (!*p) return !*t;
  if (*p == '*') return Glob(p + 1, t, nocase) || (*t && Glob(p, t + 1, nocase));
  if (!*t) return false;
  bool same = *p == '?' || *p == *t || (nocase && (*p ^ 0x20) == *t && ((*p | 0x20) >= 'a' && (*p | 0x20) <= 'z'));
  return same && Glob(p + 1, t + 1, nocase);
}

}  // namespace

// Where the first success cannot differ from any success (patterns that end
// in '*', or that hold a single run of stars), the matcher agrees with plain
// wildcard matching.
TEST(MatchPattern, AgreesWithPlainWildcards) {
  unsigned seed = 12345;
  auto next = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  int compared = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string p, t;
    for (unsigned i = 0, n = next(8); i < n; ++i) p += "ab?*"[next(4)];
    for (unsigned i = 0, n = next(9); i < n; ++i) t += "abAB"[next(next(3) ? 2 : 4)];
    size_t firstStar = p.find('*');
    bool oneRun = firstStar == std::string::npos || p.find_first_not_of('*', firstStar) == std::string::npos ||
                  p.find('*', p.find_first_not_of('*', firstStar)) == std::string::npos;
    if (!oneRun && p.back() != '*') continue;
    bool nocase = next(2) != 0;
    bool expected = Glob(p.c_str(), t.c_str(), nocase);
    uint32_t flags = nocase ? (uint32_t)MATCH_IGNORE_CASE : 0u;
    ASSERT_EQ(MatchA(p, t, flags), expected ? 0 : 1) << "«" << p << "» on \"" << t << "\" nocase " << nocase;
    ASSERT_EQ(MatchW(Wide(p.c_str()), Wide(t.c_str()), flags), expected ? 0 : 1) << "«" << p << "» on \"" << t << "\"";
    if (!p.empty() && p.back() == '*') {
      ASSERT_EQ(MatchA(p, t, flags | MATCH_PREFIX_OR_FAIL), expected ? (int)t.size() : -1)
          << "«" << p << "» on \"" << t << "\"";
    }
    ++compared;
  }
  EXPECT_GT(compared, 5000);
}

// A rest of the pattern that starts with a star and fails at one position
// fails at every later one, so nested stars give up at once instead of
// trying every combination of positions (which took minutes on a few hundred
// characters with four stars).
TEST(MatchPattern, NestedStarsGiveUpAtOnce) {
  const std::string as(4000, 'a');
  EXPECT_EQ(MatchA("*a*a*a*a*a*a*b", as, 0), 1);
  EXPECT_EQ(MatchA("*a*a*a*a*a*a*b", as, MATCH_PREFIX_OR_FAIL), -1);
  EXPECT_EQ(MatchA("a\\|b|*a*a*a*a*b", as, 0), 1) << "the tries behind \\| stop as well";
  EXPECT_EQ(MatchW(Wide(("*a*?a*a*a*a" + std::string(1, 'b')).c_str()), Wide(as.c_str()) + L'b', 0), 0);
  EXPECT_EQ(MatchA("*a*a*a*a*", as, MATCH_PREFIX), (int)as.size());
  EXPECT_EQ(MatchA("*x*y*z", "axbycz", 0), 0);
  EXPECT_EQ(MatchA("*x*y*z", "axbyczdz", 0), 1) << "the first success still decides";
  EXPECT_EQ(MatchA("*x*y*z", "axbyczdz", MATCH_PREFIX), 6);
  EXPECT_EQ(MatchA("\\|;|*b*c", "aa;b_c", 0), 0);
}
