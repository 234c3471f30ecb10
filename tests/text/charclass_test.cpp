#include <gtest/gtest.h>

#include <string>

#include "text/charclass.h"
#include "wide.h"

TEST(CharClassTable, EveryCharacterCarriesItsDocumentedFlags) {
  struct Bit {
    uint32_t flag;
    const char* chars;  // characters listed one by one
    int from, to;       // and/or a range (from > to: none)
  };
  const Bit bits[] = {
      {CC_DIGIT, "", '0', '9'},
      {CC_UPPER, "", 'A', 'Z'},
      {CC_LOWER, "", 'a', 'z'},
      {CC_UNDERSCORE, "_", 1, 0},
      {CC_HIGH, "\xDE\xFE\xFF", 0x80, 0xBF},
      {CC_TAB, "\t", 1, 0},
      {CC_NEWLINE, "\n\r", 1, 0},
      {CC_SPACE, " ", 1, 0},
      {CC_DQUOTE, "\"", 1, 0},
      {CC_DOT, ".", 1, 0},
      {CC_APOSTROPHE, "'", 1, 0},
      {CC_DOLLAR, "$", 1, 0},
      {CC_COMMA, ",", 1, 0},
      {CC_SEMICOLON, ";", 1, 0},
      {CC_AT, "@", 1, 0},
      {CC_AMPERSAND, "&", 1, 0},
      {CC_BINDIGIT, "01", 1, 0},
      {CC_OCTDIGIT, "", '0', '7'},
      {CC_HEXLETTER, "abcdefABCDEF", 1, 0},
      {CC_HASH, "#", 1, 0},
      {CC_BACKSLASH, "\\", 1, 0},
      {CC_SLASH, "/", 1, 0},
      {CC_COLON, ":", 1, 0},
      {CC_STAR, "*", 1, 0},
      {CC_QUESTION, "?", 1, 0},
      {CC_MINUS, "-", 1, 0},
      {CC_PLUS, "+", 1, 0},
      {CC_PERCENT, "%", 1, 0},
      {CC_LATIN1_UPPER, "", 0xC0, 0xDD},
      {CC_LATIN1_LOWER, "", 0xDF, 0xFD},
      {CC_OTHER, "\x0B\x0C!()<=>[]^`{|}~\x7F", 0x0E, 0x1F},
      {CC_OTHER, "", 0x01, 0x08},
  };
  uint32_t expected[256] = {CC_NUL};
  for (const Bit& b : bits) {
    for (const char* p = b.chars; *p; ++p) expected[(unsigned char)*p] |= b.flag;
    for (int c = b.from; c <= b.to; ++c) expected[c] |= b.flag;
  }
  for (int c = 0; c < 256; ++c) EXPECT_EQ(CharClassTable[c], expected[c]) << "character 0x" << std::hex << c;

  EXPECT_EQ(CharClassTable[(unsigned char)'1'], 0x30001u);
  EXPECT_EQ(CharClassTable[(unsigned char)'7'], 0x20001u);
  EXPECT_EQ(CharClassTable[(unsigned char)'9'], 0x1u);
  EXPECT_EQ(CharClassTable[(unsigned char)'F'], 0x40002u);
  EXPECT_EQ(CharClassTable[(unsigned char)'f'], 0x40004u);
  EXPECT_EQ(CharClassOf((char)0xE4), CC_LATIN1_LOWER) << "signed char indexes as unsigned";
  EXPECT_EQ(CharClassOf((wchar_t)0x416), CC_OTHER);
  EXPECT_EQ(CharClassOf((wchar_t)0xD7), CC_LATIN1_UPPER);
}

TEST(CharClassTable, SeparatorMasksAndDigitValues) {
  EXPECT_EQ(GroupSeparatorMasks[0], 0u);
  EXPECT_EQ(GroupSeparatorMasks[1], 0x8u);
  EXPECT_EQ(GroupSeparatorMasks[2], 0x400u);
  EXPECT_EQ(GroupSeparatorMasks[3], 0x408u);
  for (int c = 0; c < 128; ++c) {
    int want = c >= '0' && c <= '9'   ? c - '0'
               : c >= 'A' && c <= 'Z' ? c - 'A' + 10
               : c >= 'a' && c <= 'z' ? c - 'a' + 10
                                      : 0x7F;
    EXPECT_EQ(DigitValueTable[c], want) << c;
  }
  EXPECT_EQ(DigitValueOf((char)0xB2), 0x7Fu) << "superscript two is no digit";
  EXPECT_EQ(DigitValueOf((wchar_t)0xFF11), 0x7Fu) << "full-width one is no digit";
}

TEST(Spans, ForwardBothTwins) {
  struct Case {
    const char* text;
    uint32_t mask;
    int n;  // kWhole: the unbounded form
    int in, notIn;
  };
  const int kWhole = -1000;
  const Case cases[] = {
      {"  \tx", 0xE0, kWhole, 3, 0},   {"", 0xE0, kWhole, 0, 0},
      {"", 0x7FFFFFFF, kWhole, 0, 0},  {"a/b", 0x300000, kWhole, 0, 1},
      {"abc", 0x300000, kWhole, 0, 3}, {"123abc", 0x1, kWhole, 3, 0},
      {"ab_9-x", 0xF, kWhole, 4, 0},   {"\xE4\xF6 x", CC_LATIN1_LOWER, kWhole, 2, 0},
      {"  \tx", 0xE0, 2, 2, 0},        {"abc", 0x300000, 2, 0, 2},
      {"abc", 0x4, 0, 0, 0},           {"abc", 0x4, -5, 0, 0},
      {"a\0b/", 0x80200000, 4, 0, 3},  // a mask naming CC_NUL lets the counted run pass a NUL
  };
  for (const Case& c : cases) {
    WString w = Wide(c.text, c.n > 0 ? c.n : -1);
    if (c.n == kWhole) {
      EXPECT_EQ(SpanClassA(c.text, c.mask), c.in) << c.text;
      EXPECT_EQ(SpanClassW(w.c_str(), c.mask), c.in) << c.text;
      EXPECT_EQ(SpanNotClassA(c.text, c.mask), c.notIn) << c.text;
      EXPECT_EQ(SpanNotClassW(w.c_str(), c.mask), c.notIn) << c.text;
    } else {
      EXPECT_EQ(SpanClassNA(c.text, c.mask, c.n), c.in) << c.text;
      EXPECT_EQ(SpanClassNW(w.c_str(), c.mask, c.n), c.in) << c.text;
      EXPECT_EQ(SpanNotClassNA(c.text, c.mask, c.n), c.notIn) << c.text;
      EXPECT_EQ(SpanNotClassNW(w.c_str(), c.mask, c.n), c.notIn) << c.text;
    }
  }
}

TEST(Spans, WideCharacterAbove255IsOtherAlone) {
  const wchar_t text[] = {0x416, 0x416, L' ', 0};
  EXPECT_EQ(SpanClassW(text, 0xE0), 0);
  EXPECT_EQ(SpanClassW(text, CC_OTHER), 2);
  EXPECT_EQ(SpanNotClassW(text, CC_OTHER), 0);
  EXPECT_EQ(SpanNotClassW(text, 0xE0), 2);
  EXPECT_EQ(SpanClassBackNW(text + 2, CC_OTHER, 2), 2);
  EXPECT_EQ(SpanClassBackNW(text + 3, CC_OTHER, 3), 0);
}

TEST(Spans, BackwardBothTwins) {
  const char* text = "ab  \t";
  WString w = Wide(text);
  EXPECT_EQ(SpanClassBackNA(text + 5, 0xE0, 5), 3);
  EXPECT_EQ(SpanClassBackNW(w.c_str() + 5, 0xE0, 5), 3);
  EXPECT_EQ(SpanClassBackNA(text + 5, 0xE0, 2), 2);
  EXPECT_EQ(SpanClassBackNA(text + 5, 0xE0, 0), 0);
  EXPECT_EQ(SpanNotClassBackNA(text + 2, 0xE0, 2), 2);
  EXPECT_EQ(SpanNotClassBackNW(w.c_str() + 2, 0xE0, 2), 2) << "bounded by n, not by the text start";
  EXPECT_EQ(SpanNotClassBackNA(text + 5, 0xE0, 5), 0);
  // The backward forms do not toggle bit 31: a NUL is outside a class without it.
  const char withNul[] = {'x', 0, 0};
  EXPECT_EQ(SpanNotClassBackNA(withNul + 2, 0xE0, 2), 2);
}

TEST(FindLastOf, AllFourFormsBothTwins) {
  struct Case {
    int form;  // 0 Of, 1 NotOf, 2 OfOrStart, 3 NotOfOrStart
    const char* text;
    const char* set;
    int n, want;
  };
  const Case cases[] = {
      {0, "a,b;c", ",;", -1, 3}, {0, "abc", ",", -1, -1},      {0, "a,b", ",", 0, -1},   {0, ",abc", ",", -1, 0},
      {0, "a,b,c", ",", 3, 1},   {2, ",abc", ",", 4, 0},       {2, "ab,c", ",", 4, 2},   {2, "abc", "", 3, 0},
      {1, "abc  ", " ", 5, 2},   {1, "   ", " ", 3, -1},       {1, "abc  ", " ", -1, 2}, {3, "a  ", " ", 3, 0},
      {3, "ab ", " ", 3, 1},     {0, "x\xE4y", "\xE4", -1, 1}, {1, "", " ", -1, -1},
  };
  for (const Case& c : cases) {
    WString t = Wide(c.text), s = Wide(c.set);
    int a = -9, w = -9;
    switch (c.form) {
      case 0:
        a = FindLastOfA(c.text, c.set, c.n);
        w = FindLastOfW(t.c_str(), s.c_str(), c.n);
        break;
      case 1:
        a = FindLastNotOfA(c.text, c.set, c.n);
        w = FindLastNotOfW(t.c_str(), s.c_str(), c.n);
        break;
      case 2:
        a = FindLastOfOrStartA(c.text, c.set, c.n);
        w = FindLastOfOrStartW(t.c_str(), s.c_str(), c.n);
        break;
      case 3:
        a = FindLastNotOfOrStartA(c.text, c.set, c.n);
        w = FindLastNotOfOrStartW(t.c_str(), s.c_str(), c.n);
        break;
    }
    EXPECT_EQ(a, c.want) << c.form << " '" << c.text << "' set '" << c.set << "' n " << c.n;
    EXPECT_EQ(w, c.want) << c.form << " '" << c.text << "' set '" << c.set << "' n " << c.n << " (W)";
  }
}

TEST(FindLastOf, WideSetCharactersAbove255) {
  const wchar_t text[] = {L'a', 0x416, L'b', 0x42F, L' ', 0};
  const wchar_t space[] = {L' ', 0};
  const wchar_t cyr[] = {L'x', 0x42F, L'y', 0x416, 0};
  EXPECT_EQ(FindLastNotOfW(text, space, -1), 3) << "a character above 255 is not in a set without one";
  EXPECT_EQ(FindLastOfW(text, space, -1), 4);
  EXPECT_EQ(FindLastOfW(text, cyr, 3), 1);
  EXPECT_EQ(FindLastOfW(text, cyr, -1), 3);
  EXPECT_EQ(FindLastNotOfW(text, cyr, 4), 2);
  const wchar_t other[] = {0x430, 0};
  EXPECT_EQ(FindLastOfW(text, other, -1), -1);
  EXPECT_EQ(FindLastOfOrStartW(text, cyr, 5), 3);
}
