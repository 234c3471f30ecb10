#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "guardpage.h"
#include "text/charclass.h"
#include "text/strings.h"
#include "wide.h"

TEST(FindSubstr, AllFormsBothTwins) {
  enum Form { Plain, Len, N, LenN };
  struct Case {
    Form form;
    bool caseless;
    const char *text, *needle;
    int n, needleLength;
    int want;
  };
  const Case cases[] = {
      {Plain, true, "hello world", "WORLD", 0, 0, 6},
      {Plain, false, "hello world", "WORLD", 0, 0, -1},
      {Plain, false, "hello world", "o", 0, 0, 4},
      {Plain, false, "aaab", "aab", 0, 0, 1},
      {Plain, false, "ab", "abc", 0, 0, -1},
      {Plain, false, "", "", 0, 0, 0},
      {Plain, false, "abc", "", 0, 0, 0},
      {Plain, true, "abX abc", "abc", 0, 0, 4},
      {Plain, true, "a[b", "A{B", 0, 0, -1},
      {Plain, true, "x\xE4y", "\xC4", 0, 0, -1},
      {Plain, false, "x\xE4y", "\xE4y", 0, 0, 1},
      {Len, false, "x", "", 0, 0, 0},
      {Len, false, "", "", 0, 0, -1},
      {Len, false, "abcdef", "cdXX", 0, 2, 2},
      {Len, false, "abc", "c\0", 0, 2, 2},
      {Len, false, "ab", "a\0b", 0, 3, -1},
      {Len, true, "abCD", "cd", 0, 2, 2},
      {N, false, "abcdef", "cd", 3, 0, -1},
      {N, false, "abcdef", "cd", 4, 0, 2},
      {N, false, "abcdef", "", 1, 0, 0},
      {N, false, "abcdef", "", 0, 0, -1},
      {N, false, "ab", "ab", 9, 0, 0},
      {N, false, "ab", "b", -3, 0, -1},
      {N, true, "xxABcd", "abc", 5, 0, 2},
      {LenN, false, "abcdef", "efg", 6, 2, 4},
      {LenN, false, "abcdef", "efg", 5, 2, -1},
      {LenN, false, "abcdef", "", 1, 0, 0},
      {LenN, true, "ABCDEF", "ef", 6, 2, 4},
  };
  for (const Case& c : cases) {
    WString t = Wide(c.text);
    WString nd = Wide(c.needle, c.form == Len || c.form == LenN ? c.needleLength + 1 : -1);
    int a = 0, w = 0;
    switch (c.form) {
      case Plain:
        a = c.caseless ? FindSubstrNoCaseA(c.text, c.needle) : FindSubstrA(c.text, c.needle);
        w = c.caseless ? FindSubstrNoCaseW(t.c_str(), nd.c_str()) : FindSubstrW(t.c_str(), nd.c_str());
        break;
      case Len:
        a = c.caseless ? FindSubstrLenNoCaseA(c.text, c.needle, c.needleLength)
                       : FindSubstrLenA(c.text, c.needle, c.needleLength);
        w = c.caseless ? FindSubstrLenNoCaseW(t.c_str(), nd.c_str(), c.needleLength)
                       : FindSubstrLenW(t.c_str(), nd.c_str(), c.needleLength);
        break;
      case N:
        a = c.caseless ? FindSubstrNoCaseNA(c.text, c.needle, c.n) : FindSubstrNA(c.text, c.needle, c.n);
        w = c.caseless ? FindSubstrNoCaseNW(t.c_str(), nd.c_str(), c.n) : FindSubstrNW(t.c_str(), nd.c_str(), c.n);
        break;
      case LenN:
        a = c.caseless ? FindSubstrLenNoCaseNA(c.text, c.needle, c.n, c.needleLength)
                       : FindSubstrLenNA(c.text, c.needle, c.n, c.needleLength);
        w = c.caseless ? FindSubstrLenNoCaseNW(t.c_str(), nd.c_str(), c.n, c.needleLength)
                       : FindSubstrLenNW(t.c_str(), nd.c_str(), c.n, c.needleLength);
        break;
    }
    EXPECT_EQ(a, c.want) << c.form << " '" << c.text << "' / '" << c.needle << "'";
    EXPECT_EQ(w, c.want) << c.form << " '" << c.text << "' / '" << c.needle << "' (W)";
  }
}

TEST(FindSubstr, StopsAtTheTextTerminator) {
  GuardedBlock block;
  const char* text = block.AtEnd("abab", 5);
  EXPECT_EQ(FindSubstrA(text, "abc"), -1);
  EXPECT_EQ(FindSubstrNA(text, "bab", 1000), 1);
  EXPECT_EQ(FindSubstrLenA(text, "b\0\0", 3), -1) << "a needle NUL matches the terminator only last";
  EXPECT_EQ(FindSubstrLenNoCaseNA(text, "B\0", 1000, 2), 3);
  const wchar_t* wtext = block.AtEnd(L"abab", 5);
  EXPECT_EQ(FindSubstrNoCaseW(wtext, L"BAX"), -1);
}

TEST(FindChar, PlainAndSpanThroughBothTwins) {
  enum Form { Find, FindN, Through, ThroughN, Last };
  struct Case {
    Form form;
    const char* text;
    char c;
    int n, want;
  };
  const Case cases[] = {
      {Find, "abc", 'x', 0, 3},          {Find, "abc", 'b', 0, 1},       {Find, "", 'b', 0, 0},
      {Find, "a\xE4", '\xE4', 0, 1},     {FindN, "abcdef", 'e', 3, 3},   {FindN, "abcdef", 'e', 0, 0},
      {FindN, "abcdef", 'e', 9, 4},      {FindN, "ab", 'e', 9, 2},       {FindN, "abc", 'c', -1, 0},
      {Through, "key=value", '=', 0, 4}, {Through, "abc", '=', 0, 3},    {ThroughN, "key=v", '=', 3, 3},
      {ThroughN, "key=v", '=', 4, 4},    {ThroughN, "key=v", '=', 9, 4}, {ThroughN, "k", '=', 9, 1},
      {Last, "a/b/c", '/', 5, 3},        {Last, "a/b/c", '/', 3, 1},     {Last, "a/b/c", '/', 0, -1},
      {Last, "a/b/c", '/', 1, -1},
  };
  for (const Case& c : cases) {
    WString t = Wide(c.text);
    wchar_t wc = (wchar_t)(unsigned char)c.c;
    int a = 0, w = 0;
    switch (c.form) {
      case Find:
        a = FindCharA(c.text, c.c);
        w = FindCharW(t.c_str(), wc);
        break;
      case FindN:
        a = FindCharNA(c.text, c.c, c.n);
        w = FindCharNW(t.c_str(), wc, c.n);
        break;
      case Through:
        a = SpanThroughCharA(c.text, c.c);
        w = SpanThroughCharW(t.c_str(), wc);
        break;
      case ThroughN:
        a = SpanThroughCharNA(c.text, c.c, c.n);
        w = SpanThroughCharNW(t.c_str(), wc, c.n);
        break;
      case Last:
        a = FindLastCharNA(c.text, c.c, c.n);
        w = FindLastCharNW(t.c_str(), wc, c.n);
        break;
    }
    EXPECT_EQ(a, c.want) << c.form << " '" << c.text << "' " << c.c << " n " << c.n;
    EXPECT_EQ(w, c.want) << c.form << " '" << c.text << "' " << c.c << " n " << c.n << " (W)";
  }
  const char nuls[] = {'a', 0, '/', 0};
  EXPECT_EQ(FindLastCharNA(nuls, '/', 4), 2) << "NULs are ordinary characters";
  EXPECT_EQ(FindLastCharNA(nuls, 0, 4), 3);
  const wchar_t wide[] = {L'a', 0x416, 0x16, 0};
  EXPECT_EQ(FindCharW(wide, (wchar_t)0x16), 2) << "whole 16-bit characters";
}

TEST(FindChar, EscapeAndClassFormsBothTwins) {
  enum Form { FindEsc, ThroughEsc, OrClass, OrClassN, OrClassEsc, SpanTo, SpanToN, SpanToEsc };
  struct Case {
    Form form;
    uint32_t mask, c;
    const char* text;
    int n, want;
  };
  const uint32_t kClass = SPAN_CLASS_MODE;
  const Case cases[] = {
      {FindEsc, 0, ',', "a\\,b,c", 6, 4},
      {FindEsc, 0, ',', "a\\,b", 4, 4},
      {FindEsc, 0, ',', "ab\\", 3, 3},
      {FindEsc, 0, ',', "ab\\", 9, 3},  // an escaped terminator still ends the text
      {FindEsc, 0, ',', "a\\\\,", 9, 3},
      {FindEsc, 0, ',', "ab", 0, 0},
      {ThroughEsc, 0, ',', "a\\,b,c", 6, 5},
      {ThroughEsc, 0, ',', "a\\,b", 9, 4},
      {OrClass, 0xE0, ',', "ab cd", 0, 2},
      {OrClass, 0xE0, ',', "ab,cd", 0, 2},
      {OrClass, 0xE0, ',', "abcd", 0, 4},
      {OrClassN, 0xE0, ',', "ab cd", 2, 2},
      {OrClassN, 0xE0, ',', "abcd", 3, 3},
      {OrClassN, 0xE0 | CC_NUL, ',', "ab\0,", 4, 3},
      {OrClassEsc, 0xE0, ',', "a\\ b,c", 6, 4},
      {OrClassEsc, 0xE0, ',', "a\\,b c", 6, 4},
      {SpanTo, 0xE0, '=', "key=v", 0, 4},
      {SpanTo, 0xE0, '=', "ke y=v", 0, 2},
      {SpanTo, 0xE0, ' ', "ke y", 0, 2},  // c in the stop class stops as a class character
      {SpanTo, 0xE0, '=', "key", 0, 3},
      {SpanTo, 0x70001, kClass | '#', "123#x", 0, 3},
      {SpanTo, 0x70001 | CC_HASH, kClass | '#', "123#x", 0, 4},
      {SpanTo, 0x1, kClass | '#', "", 0, 0},
      {SpanToN, 0xE0, '=', "key=v", 2, 2},
      {SpanToN, 0x1, kClass | '#', "1234", 3, 3},
      {SpanToEsc, 0xE0, '=', "k\\=y=v", 6, 5},
      {SpanToEsc, 0x7, kClass | '_', "ab\\_c_", 6, 2},  // the class test comes before the escape
      {SpanToEsc, 0xF | CC_BACKSLASH, kClass | '_', "ab\\_c_x", 7, 6},
  };
  for (const Case& c : cases) {
    int len = c.form == OrClassN ? c.n : -1;
    WString t = Wide(c.text, len);
    wchar_t wc = (wchar_t)(c.c & 0xFF);
    int a = 0, w = 0;
    switch (c.form) {
      case FindEsc:
        a = FindCharEscNA(c.text, (char)c.c, c.n, '\\');
        w = FindCharEscNW(t.c_str(), wc, c.n, L'\\');
        break;
      case ThroughEsc:
        a = SpanThroughCharEscNA(c.text, (char)c.c, c.n, '\\');
        w = SpanThroughCharEscNW(t.c_str(), wc, c.n, L'\\');
        break;
      case OrClass:
        a = FindCharOrClassA(c.mask, c.text, (char)c.c);
        w = FindCharOrClassW(c.mask, t.c_str(), wc);
        break;
      case OrClassN:
        a = FindCharOrClassNA(c.mask, c.text, (char)c.c, c.n);
        w = FindCharOrClassNW(c.mask, t.c_str(), wc, c.n);
        break;
      case OrClassEsc:
        a = FindCharOrClassEscNA(c.mask, c.text, (char)c.c, c.n, '\\');
        w = FindCharOrClassEscNW(c.mask, t.c_str(), wc, c.n, L'\\');
        break;
      case SpanTo:
        a = SpanToCharOrClassA(c.mask, c.text, c.c);
        w = SpanToCharOrClassW(c.mask, t.c_str(), c.c);
        break;
      case SpanToN:
        a = SpanToCharOrClassNA(c.mask, c.text, c.c, c.n);
        w = SpanToCharOrClassNW(c.mask, t.c_str(), c.c, c.n);
        break;
      case SpanToEsc:
        a = SpanToCharOrClassEscNA(c.mask, c.text, c.c, c.n, '\\');
        w = SpanToCharOrClassEscNW(c.mask, t.c_str(), c.c, c.n, L'\\');
        break;
    }
    EXPECT_EQ(a, c.want) << c.form << " '" << c.text << "' mask " << std::hex << c.mask << " c " << c.c;
    EXPECT_EQ(w, c.want) << c.form << " '" << c.text << "' mask " << std::hex << c.mask << " c " << c.c << " (W)";
  }
}

TEST(FindChar, WideCharacterAbove255IsInEveryClass) {
  const wchar_t text[] = {L'1', L'2', 0x416, L'3', L'x', 0};
  EXPECT_EQ(FindCharOrClassW(CC_DIGIT, text, L','), 0);
  EXPECT_EQ(FindCharOrClassW(CC_SPACE, text, L','), 2) << "stops the scan in stop mode";
  EXPECT_EQ(SpanToCharOrClassW(CC_SPACE, text, L','), 2);
  EXPECT_EQ(SpanToCharOrClassW(CC_DIGIT, text, SPAN_CLASS_MODE | L','), 4) << "never stops it in class mode";
  EXPECT_EQ(SpanToCharOrClassNW(CC_DIGIT, text, SPAN_CLASS_MODE | 0x416, 5), 3);
  // 8-bit: the character compared is the low byte of c.
  EXPECT_EQ(SpanToCharOrClassA(CC_SPACE, "ab\xE4", 0xE4), 3);
}
