// Replace, splice, trim and prepend, each checked in both twins.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "text/strings.h"
#include "wide.h"

namespace {

const char kGuard = '#';

struct ReplaceCase {
  const char* source;
  const char* find;
  const char* replacement;
  int size;
  const char* want;
};

// Runs ReplaceAll (or its caseless form) in both twins into a guarded buffer.
void CheckReplace(const ReplaceCase& c, bool caseless) {
  char a[32];
  wchar_t w[32];
  memset(a, kGuard, sizeof a);
  for (wchar_t& x : w) x = kGuard;
  WString src = Wide(c.source), find = Wide(c.find), repl = Wide(c.replacement);
  int ra = caseless ? ReplaceAllNoCaseA(a, c.source, c.find, c.replacement, c.size)
                    : ReplaceAllA(a, c.source, c.find, c.replacement, c.size);
  int rw = caseless ? ReplaceAllNoCaseW(w, src.c_str(), find.c_str(), repl.c_str(), c.size)
                    : ReplaceAllW(w, src.c_str(), find.c_str(), repl.c_str(), c.size);
  std::string label =
      std::string(c.source) + " / " + c.find + " -> " + c.replacement + " size " + std::to_string(c.size);
  if (!c.want) {  // nothing written
    EXPECT_EQ(ra, 0) << label;
    EXPECT_EQ(a[0], kGuard) << label;
    return;
  }
  EXPECT_EQ(ra, (int)strlen(c.want)) << label;
  EXPECT_STREQ(a, c.want) << label;
  EXPECT_EQ(a[c.size], kGuard) << label;  // nothing written past the buffer
  EXPECT_EQ(rw, ra) << label;
  EXPECT_EQ(WString(w), Wide(c.want)) << label;
}

}  // namespace

TEST(ReplaceAll, ReplacesEveryOccurrenceAndCutsAtTheLimit) {
  const ReplaceCase cases[] = {
      {"aXbXc", "X", "--", 20, "a--b--c"},
      {"aXbXc", "X", "--", 5, "a--b"},
      {"aXb", "X", "YYYY", 5, "aYYY"},  // a replacement that does not fit is cut
      {"aXb", "X", "YYY", 5, "aYYY"},   // fits exactly: the rest is dropped
      {"abcXd", "X", "-", 3, "ab"},     // cut before the occurrence
      {"XX", "X", "", 10, ""},
      {"aaaa", "aa", "b", 10, "bb"},
      {"abc", "abcd", "x", 10, "abc"},
      {"abcdef", "x", "y", 4, "abc"},
      {"abc", "b", "x", 1, ""},
      {"abc", "b", "x", 0, nullptr},
      {"abc", "b", "x", -3, nullptr},
      // An empty find string is a plain copy (it would match everywhere).
      {"abc", "", "x", 10, "abc"},
      {"abcdef", "", "x", 4, "abc"},
  };
  for (const ReplaceCase& c : cases) CheckReplace(c, false);

  const ReplaceCase caseless[] = {
      {"aXbxc", "x", "-", 20, "a-b-c"},
      {"Hello HELLO", "hello", "Bye", 20, "Bye Bye"},
      {"\xC4\xE4", "\xE4", "a", 20,
       "\xC4"
       "a"},  // only ASCII letters fold
  };
  for (const ReplaceCase& c : caseless) CheckReplace(c, true);
}

TEST(ReplaceAll, SameBufferWhenTheReplacementIsNotLonger) {
  char text[16] = "a--b--c--";
  EXPECT_EQ(ReplaceAllA(text, text, "--", "+", sizeof text), 6);
  EXPECT_STREQ(text, "a+b+c+");
  char cut[16] = "xyxyxy";
  EXPECT_EQ(ReplaceAllA(cut, cut, "y", "", 4), 3);
  EXPECT_STREQ(cut, "xxx");
}

TEST(ReplaceAll, InPlaceGoesThroughACopyWhenTheTextGrows) {
  char text[10] = "a.b";
  EXPECT_EQ(ReplaceAllInPlaceA(text, ".", "::", sizeof text), 4);
  EXPECT_STREQ(text, "a::b");
  char grows[8] = "a.b.c.d";
  EXPECT_EQ(ReplaceAllInPlaceA(grows, ".", "::", sizeof grows), 7);
  EXPECT_STREQ(grows, "a::b::c");
  char shrinks[10] = "A::B::C";
  EXPECT_EQ(ReplaceAllNoCaseInPlaceA(shrinks, "::b", ".", sizeof shrinks), 5);
  EXPECT_STREQ(shrinks, "A.::C");
  char grows2[10] = "xAx";
  EXPECT_EQ(ReplaceAllNoCaseInPlaceA(grows2, "a", "bbb", sizeof grows2), 5);
  EXPECT_STREQ(grows2, "xbbbx");
  char none[4] = "abc";
  EXPECT_EQ(ReplaceAllInPlaceA(none, "b", "x", 0), 0);
  EXPECT_STREQ(none, "abc");

  wchar_t wide[10] = {'a', '.', 'b', 0};
  EXPECT_EQ(ReplaceAllInPlaceW(wide, Wide(".").c_str(), Wide("::").c_str(), 10), 4);
  EXPECT_EQ(WString(wide), Wide("a::b"));
  wchar_t wide2[10] = {'a', 'B', 'b', 0};
  EXPECT_EQ(ReplaceAllNoCaseInPlaceW(wide2, Wide("b").c_str(), Wide("").c_str(), 10), 1);
  EXPECT_EQ(WString(wide2), Wide("a"));
}

TEST(ReplaceChar, ExactAndCaselessForms) {
  char text[] = "Banana.";
  ReplaceCharNoCaseA(text, 'a', 'o');
  EXPECT_STREQ(text, "Bonono.");
  ReplaceCharNoCaseA(text, 'B', 'b');
  EXPECT_STREQ(text, "bonono.");
  ReplaceCharNoCaseA(text, '.', '!');
  EXPECT_STREQ(text, "bonono!");
  ReplaceCharA(text, 'O', 'x');  // exact: no 'O' in the text
  EXPECT_STREQ(text, "bonono!");
  char brackets[] = "[{";  // '[' and '{' differ in bit 0x20 but are no letters
  ReplaceCharNoCaseA(brackets, '[', '(');
  EXPECT_STREQ(brackets, "({");

  char out[8];
  memset(out, kGuard, sizeof out);
  EXPECT_EQ(ReplaceCharCopyA(out, "a.b.c.d.e", '.', '/', 6), 5);
  EXPECT_STREQ(out, "a/b/c");
  EXPECT_EQ(out[6], kGuard);
  EXPECT_EQ(ReplaceCharNoCaseCopyA(out, "xXy", 'X', '-', 8), 3);
  EXPECT_STREQ(out, "--y");
  EXPECT_EQ(ReplaceCharCopyA(out, "abc", 'b', 'x', 0), 0);
  EXPECT_STREQ(out, "--y");

  // 16-bit: a character above 255 also matches its twin in bit 0x20.
  wchar_t wide[] = {0x416, 0x436, 'a', 'A', 0};
  wchar_t copy[8];
  EXPECT_EQ(ReplaceCharNoCaseCopyW(copy, wide, 0x416, '*', 8), 4);
  EXPECT_EQ(WString(copy), Wide("**aA"));
  ReplaceCharNoCaseW(wide, 'a', '+');
  EXPECT_EQ(wide[2], '+');
  EXPECT_EQ(wide[3], '+');
  EXPECT_EQ(wide[1], 0x436);
  ReplaceCharW(wide, 0x416, '-');
  EXPECT_EQ(WString(wide), WString({'-', (wchar_t)0x436, '+', '+'}));
  EXPECT_EQ(ReplaceCharCopyW(copy, wide, '+', '=', 3), 2);
  EXPECT_EQ(copy[2], 0);
}

TEST(SpliceText, ReplacesAClampedRangeWithinTheBuffer) {
  struct Case {
    const char* text;
    int position, count;
    const char* insert;
    int size, insertLimit;
    const char* want;
  } cases[] = {
      {"hello", 1, 3, "EY", 10, 10, "hEYo"},
      {"hello", 9, 2, "EY", 10, 10, "helloEY"},   // past the end: appended
      {"hello", -2, 3, "EY", 10, 10, "EYello"},   // replaces the first character
      {"hello", -5, 3, "EY", 10, 10, "EYhello"},  // nothing left of the range
      {"hello", 2, -1, "EY", 10, 10, "heEYllo"},
      {"hello", 3, 99, "", 10, 10, "hel"},
      {"hello", 1, 2, "XY", 10, 10, "hXYlo"},     // same length: copied over
      {"hello", 1, 0, "XYZW", 10, 2, "hXYello"},  // insert cut to its limit
      {"abc", 1, 0, "XYZ", 5, 10, "aXYZ"},        // the old tail is dropped
      {"abc", 1, 0, "XY", 5, 10, "aXYb"},         // the old tail is cut
      {"abc", 1, 0, "VWXYZ", 5, 10, "aVWX"},      // then the insert itself
      {"abcdefgh", 2, 1, "", 5, 10, "abd"},       // the text counts only up to the limit
      {"abc", 0, 1, "X", 1, 10, ""},
  };
  for (const Case& c : cases) {
    char a[16];
    wchar_t w[16];
    memset(a, kGuard, sizeof a);
    for (wchar_t& x : w) x = kGuard;
    strcpy(a, c.text);
    WString text = Wide(c.text);
    memcpy(w, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    std::string label = std::string(c.text) + " at " + std::to_string(c.position) + " count " +
                        std::to_string(c.count) + " insert " + c.insert;
    EXPECT_EQ(SpliceTextA(a, c.position, c.count, c.insert, c.size, c.insertLimit), (int)strlen(c.want)) << label;
    EXPECT_STREQ(a, c.want) << label;
    EXPECT_EQ(SpliceTextW(w, c.position, c.count, Wide(c.insert).c_str(), c.size, c.insertLimit), (int)strlen(c.want))
        << label;
    EXPECT_EQ(WString(w), Wide(c.want)) << label;
  }
  char none[4] = "abc";
  EXPECT_EQ(SpliceTextA(none, 0, 1, "X", 0, 10), 0);
  EXPECT_STREQ(none, "abc");

  // The counted form takes the text's length only up to its own limit.
  char text[16] = "hello world";
  EXPECT_EQ(SpliceTextNA(text, 5, 0, 5, "!", sizeof text, 10), 6);
  EXPECT_STREQ(text, "hello!");
  wchar_t wide[16] = {'a', 'b', 'c', 'd', 0};
  EXPECT_EQ(SpliceTextNW(wide, 1, 1, 3, Wide("XY").c_str(), 16, 10), 4);
  EXPECT_EQ(WString(wide), Wide("aXYc"));
}

TEST(CopyTrimmed, DropsSurroundingBlanks) {
  struct Case {
    const char* source;
    int size;  // 0: the unbounded form
    const char* want;
  } cases[] = {
      {"\tab c\r\n", 0, "ab c"},     {"   \t\n", 0, ""},   {"", 0, ""},         {"x", 0, "x"},
      {"  abc  ", 4, "abc"},         {"  ab c ", 4, "ab"}, {"  abcd", 3, "ab"}, {" a ", 1, ""},
      {"\xA0x\xA0", 0, "\xA0x\xA0"},  // no-break space is no blank
  };
  for (const Case& c : cases) {
    char a[16];
    wchar_t w[16];
    int want = (int)strlen(c.want);
    EXPECT_EQ(c.size ? CopyTrimmedBoundedA(a, c.source, c.size) : CopyTrimmedA(a, c.source), want) << c.source;
    EXPECT_STREQ(a, c.want);
    WString src = Wide(c.source);
    EXPECT_EQ(c.size ? CopyTrimmedBoundedW(w, src.c_str(), c.size) : CopyTrimmedW(w, src.c_str()), want);
    EXPECT_EQ(WString(w), Wide(c.want));
  }
  char out[4] = "old";
  EXPECT_EQ(CopyTrimmedBoundedA(out, " x ", 0), 0);
  EXPECT_STREQ(out, "old");

  char same[] = "  in place \r\n";  // destination and source may be one buffer
  EXPECT_EQ(CopyTrimmedA(same, same), 8);
  EXPECT_STREQ(same, "in place");
  wchar_t wide[] = {' ', 0x3000, 'a', ' ', 0};  // characters above 255 are no blanks
  EXPECT_EQ(CopyTrimmedW(wide, wide), 2);
  EXPECT_EQ(wide[0], 0x3000);
}

TEST(Prepend, PutsTextInFrontWithinTheBuffer) {
  char text[16] = "world";
  EXPECT_EQ(PrependA(text, "hello "), 11);
  EXPECT_STREQ(text, "hello world");
  EXPECT_EQ(PrependA(text, ""), 11);

  struct Case {
    const char* text;
    const char* prefix;
    int size;
    const char* want;
  } cases[] = {
      {"world", "hello ", 8, "hello w"},
      {"world", "hello ", 20, "hello world"},
      {"world", "hello ", 7, "hello "},
      {"world", "hello ", 6, "hello"},  // the prefix alone does not fit
      {"", "ab", 3, "ab"},
      {"xyz", "", 3, "xy"},
  };
  for (const Case& c : cases) {
    char a[24];
    wchar_t w[24];
    strcpy(a, c.text);
    WString text16 = Wide(c.text);
    memcpy(w, text16.c_str(), (text16.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(PrependBoundedA(a, c.prefix, c.size), (int)strlen(c.want)) << c.prefix << c.text << c.size;
    EXPECT_STREQ(a, c.want);
    EXPECT_EQ(PrependBoundedW(w, Wide(c.prefix).c_str(), c.size), (int)strlen(c.want));
    EXPECT_EQ(WString(w), Wide(c.want));
  }
  char keep[4] = "abc";
  EXPECT_EQ(PrependBoundedA(keep, "x", 0), 0);
  EXPECT_STREQ(keep, "abc");
  wchar_t wide[16] = {'b', 0};
  EXPECT_EQ(PrependW(wide, Wide("a").c_str()), 2);
  EXPECT_EQ(WString(wide), Wide("ab"));
}
