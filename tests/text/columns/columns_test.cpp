#include "text/columns/columns.h"

#include <gtest/gtest.h>

#include <string>

#include "guardpage.h"
#include "wide.h"

TEST(Columns, ColumnAfterText) {
  struct Case {
    const char* text;
    int width, start, column;
  } cases[] = {
      {"\t", 8, 0, 8},  {"\t", 8, 7, 8},   {"\t", 8, 8, 16},  {"ab\t", 8, 0, 8},
      {"", 8, 5, 5},    {"a\tb", 4, 0, 5}, {"\t\t", 1, 0, 2}, {"\t", 0, 3, 4},  // a width below 1 counts as 1
      {"\t", -3, 3, 4},
  };
  for (const Case& c : cases) {
    const int n = (int)std::string(c.text).size();
    const WString w = Wide(c.text);
    EXPECT_EQ(ColumnAfterTextA(c.text, c.width, c.start), c.column) << c.text;
    EXPECT_EQ(ColumnAfterTextW(w.c_str(), c.width, c.start), c.column) << c.text;
    EXPECT_EQ(ColumnAfterTextUtf8(c.text, c.width, c.start), c.column) << c.text;
    EXPECT_EQ(ColumnAfterTextUtf16(w.c_str(), c.width, c.start), c.column) << c.text;
    EXPECT_EQ(ColumnAfterTextNA(n, c.text, c.width, c.start), c.column) << c.text;
    EXPECT_EQ(ColumnAfterTextNW(n, w.c_str(), c.width, c.start), c.column) << c.text;
    EXPECT_EQ(ColumnAfterTextUtf8N(n, c.text, c.width, c.start), c.column) << c.text;
    EXPECT_EQ(ColumnAfterTextUtf16N(n, w.c_str(), c.width, c.start), c.column) << c.text;
  }
  EXPECT_EQ(ColumnAfterTextNA(0, "abc", 8, 3), 3);
  EXPECT_EQ(ColumnAfterTextNA(-2, "abc", 8, 3), 3);
  EXPECT_EQ(ColumnAfterTextNA(2, "a\0c", 8, 0), 2);  // counted: NUL is a character

  // One column per character in the UTF forms; plain forms count units.
  EXPECT_EQ(ColumnAfterTextUtf8("\xC3\xA9t\xE2\x82\xAC", 8, 0), 3);
  EXPECT_EQ(ColumnAfterTextA("\xC3\xA9t\xE2\x82\xAC", 8, 0), 6);
  EXPECT_EQ(ColumnAfterTextUtf8("\xC3", 8, 0), 1);          // invalid byte: a character of its own
  EXPECT_EQ(ColumnAfterTextUtf8N(1, "\xC3\xA9", 8, 0), 1);  // sequence cut by the count
  EXPECT_EQ(ColumnAfterTextUtf16(L"a\xD83D\xDE00"
                                 L"b",
                                 8, 0),
            3);
  EXPECT_EQ(ColumnAfterTextW(L"a\xD83D\xDE00"
                             L"b",
                             8, 0),
            4);
  EXPECT_EQ(ColumnAfterTextUtf16N(2, L"a\xD83D\xDE00", 8, 0), 2);
}

TEST(Columns, IndexAtColumn) {
  EXPECT_EQ(IndexAtColumnA(8, "abc\td", 8, 0), 4);  // the tab ends at 8
  EXPECT_EQ(IndexAtColumnA(7, "abc\td", 8, 0), 3);  // it straddles 7
  EXPECT_EQ(IndexAtColumnA(9, "abc\td", 8, 0), 5);
  EXPECT_EQ(IndexAtColumnA(100, "abc", 8, 0), 3);
  EXPECT_EQ(IndexAtColumnA(2, "abc", 8, 5), 0);  // target before the start
  EXPECT_EQ(IndexAtColumnA(2, "\tx", 0, 0), 2);  // width 0 counts as 1
  EXPECT_EQ(IndexAtColumnW(8, L"abc\td", 8, 0), 4);
  EXPECT_EQ(IndexAtColumnNA(8, 2, "abc\td", 8, 0), 2);
  EXPECT_EQ(IndexAtColumnNW(8, 0, L"abc", 8, 0), 0);
  EXPECT_EQ(IndexAtColumnUtf8(2,
                              "\xC3\xA9"
                              "ab",
                              8, 0),
            3);  // é is two bytes, one column
  EXPECT_EQ(IndexAtColumnUtf8N(2, 3,
                               "\xC3\xA9"
                               "ab",
                               8, 0),
            3);
  EXPECT_EQ(IndexAtColumnUtf16(1, L"\xD83D\xDE00x", 8, 0), 2);
  EXPECT_EQ(IndexAtColumnW(1, L"\xD83D\xDE00x", 8, 0), 1);
  EXPECT_EQ(IndexAtColumnUtf16N(5, 3, L"\xD83D\xDE00x", 8, 0), 3);
}

TEST(Columns, CountedFormsStopAtTheirCount) {
  GuardedBlock a, w;
  const char* t = a.AtEnd("ab\t\xC3\xA9", 5);
  const wchar_t* tw = w.AtEnd(L"ab\t\xD83D\xDE00", 5);
  EXPECT_EQ(ColumnAfterTextNA(5, t, 4, 0), 6);
  EXPECT_EQ(ColumnAfterTextUtf8N(5, t, 4, 0), 5);
  EXPECT_EQ(IndexAtColumnUtf8N(99, 5, t, 4, 0), 5);
  EXPECT_EQ(ColumnAfterTextNW(5, tw, 4, 0), 6);
  EXPECT_EQ(ColumnAfterTextUtf16N(5, tw, 4, 0), 5);
  EXPECT_EQ(IndexAtColumnUtf16N(99, 5, tw, 4, 0), 5);
  const char* cut = a.AtEnd("\xE2\x82", 2);  // a sequence the count cuts
  EXPECT_EQ(ColumnAfterTextUtf8N(2, cut, 4, 0), 2);
}

TEST(Columns, MakeTabFill) {
  struct Case {
    int from, to, width;
    const char* fill;
  } cases[] = {
      {3, 10, 4, " \t  "}, {1, 10, 4, "\t\t  "}, {4, 8, 4, "\t"}, {5, 7, 4, "  "}, {2, 5, 0, "   "}, {2, 5, -1, "   "},
      {5, 5, 4, ""},       {6, 2, 4, ""},        {0, 8, 8, "\t"}, {7, 9, 8, "  "}, {0, 1, 1, " "},   {0, 3, 1, " \t\t"},
  };
  for (const Case& c : cases) {
    char buf[32];
    wchar_t bufW[32];
    memset(buf, 'x', sizeof buf);
    const int n = (int)std::string(c.fill).size();
    EXPECT_EQ(MakeTabFillA(buf, c.from, c.to, c.width), n) << c.from << "->" << c.to;
    EXPECT_STREQ(buf, c.fill) << c.from << "->" << c.to;
    EXPECT_EQ(MakeTabFillW(bufW, c.from, c.to, c.width), n);
    EXPECT_EQ(WString(bufW), Wide(c.fill)) << c.from << "->" << c.to;
    // The fill leads exactly to the target column.
    if (c.to > c.from && c.width > 0) {
      EXPECT_EQ(ColumnAfterTextA(buf, c.width, c.from), c.to);
    }
  }
}
