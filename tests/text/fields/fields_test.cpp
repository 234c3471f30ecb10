#include <gtest/gtest.h>

#include <string>

#include "guardpage.h"
#include "text/fields/csvfield.h"
#include "text/fields/keywords.h"
#include "text/fields/listfields.h"
#include "wide.h"

namespace {

int KeyA(const std::string& text, uint32_t flags, const char* key, char sep, bool nocase, bool counted) {
  const int kn = (int)std::string(key).size();
  if (counted)
    return nocase ? FindKeywordNoCaseNA(text.data(), flags, key, sep, (int)text.size(), kn)
                  : FindKeywordNA(text.data(), flags, key, sep, (int)text.size(), kn);
  return nocase ? FindKeywordNoCaseA(text.c_str(), flags, key, sep, kn)
                : FindKeywordA(text.c_str(), flags, key, sep, kn);
}
int KeyW(const WString& text, uint32_t flags, const WString& key, wchar_t sep, bool nocase, bool counted) {
  const int kn = (int)key.size();
  if (counted)
    return nocase ? FindKeywordNoCaseNW(text.data(), flags, key.c_str(), sep, (int)text.size(), kn)
                  : FindKeywordNW(text.data(), flags, key.c_str(), sep, (int)text.size(), kn);
  return nocase ? FindKeywordNoCaseW(text.c_str(), flags, key.c_str(), sep, kn)
                : FindKeywordW(text.c_str(), flags, key.c_str(), sep, kn);
}

}  // namespace

TEST(Keywords, FindKeyword) {
  struct Case {
    const char* text;
    uint32_t flags;
    const char* key;
    char sep;
    int exact, nocase;
  } cases[] = {
      {"size = 10", 0, "size", '=', 6, 6},
      {"SIZE = 10", 0, "size", '=', -1, 6},
      {"filesize = 10", KEYWORD_WORD_START, "size", '=', -1, -1},
      {"filesize = 10", 0, "size", '=', 10, 10},
      {"a size\t=1", KEYWORD_WORD_START, "size", '=', 8, 8},
      {"\"size\": 3", KEYWORD_QUOTED, "size", ':', 7, 7},
      {"\"size\": 3", 0, "size", ':', -1, -1},
      {"size\r\n= 1", KEYWORD_ACROSS_LINES, "size", '=', 7, 7},
      {"size\r\n= 1", 0, "size", '=', -1, -1},
      {"size x; size = 2", 0, "size", '=', 14, 14},  // the search goes on
      {"x", 0, "", '=', 0, 0},
      {"", 0, "", '=', -1, -1},
      {"siz", 0, "size", '=', -1, -1},
      {"size   ", 0, "size", '=', -1, -1},  // blanks to the end
      {"\xE9size=", KEYWORD_WORD_START, "size", '=', -1, -1},
      {"\"size=", KEYWORD_QUOTED, "size", '=', 6, 6},  // no closing quote: plain
  };
  for (const Case& c : cases) {
    for (bool counted : {false, true}) {
      EXPECT_EQ(KeyA(c.text, c.flags, c.key, c.sep, false, counted), c.exact) << c.text << " " << counted;
      EXPECT_EQ(KeyA(c.text, c.flags, c.key, c.sep, true, counted), c.nocase) << c.text << " " << counted;
      EXPECT_EQ(KeyW(Wide(c.text), c.flags, Wide(c.key), c.sep, false, counted), c.exact) << "W " << c.text;
      EXPECT_EQ(KeyW(Wide(c.text), c.flags, Wide(c.key), c.sep, true, counted), c.nocase) << "W " << c.text;
    }
  }
  // Whole 16-bit units: U+0141 and U+0161 differ in their high byte only.
  EXPECT_EQ(FindKeywordNoCaseW(L"\x0141=1", 0, L"\x0161", L'=', 1), -1);
  EXPECT_EQ(FindKeywordNoCaseW(L"a\x0141=1", 0, L"A\x0161", L'=', 2), -1);
  EXPECT_EQ(FindKeywordW(L"\x4E00size=1", KEYWORD_WORD_START, L"size", L'=', 4), -1);
  // The counted forms stop at their length, also in the blanks and quotes.
  GuardedBlock g;
  EXPECT_EQ(FindKeywordNA(g.AtEnd("size ", 5), 0, "size", '=', 5, 4), -1);
  EXPECT_EQ(FindKeywordNA(g.AtEnd("\"size", 5), KEYWORD_QUOTED, "size", '=', 5, 4), -1);
  EXPECT_EQ(FindKeywordNA(g.AtEnd("size=", 5), KEYWORD_QUOTED, "size", '=', 5, 4), 5);
  EXPECT_EQ(FindKeywordNoCaseNA(g.AtEnd("xSIZE", 5), KEYWORD_WORD_START, "size", '=', 5, 4), -1);
  EXPECT_EQ(FindKeywordNA("size=", 0, "size", '=', 4, 4), -1);
}

TEST(Keywords, WordsAndArrays) {
  struct Case {
    const char* word;
    const char* list;
    int exact, nocase;
  } cases[] = {
      {"b", "a;b;c", 1, 1}, {"B", "a;b;c", -1, 1}, {"", "a;", 1, 1},     {"", "a;b", -1, -1},   {"", ";a", 0, 0},
      {"a", "", -1, -1},    {"", "", -1, -1},      {"c", "a;b;c", 2, 2}, {"ab", "a;b", -1, -1},
  };
  for (const Case& c : cases) {
    const int wn = (int)std::string(c.word).size();
    EXPECT_EQ(FindWordInListA(c.word, c.list, ';'), c.exact) << c.word << " in " << c.list;
    EXPECT_EQ(FindWordInListNoCaseA(c.word, c.list, ';'), c.nocase) << c.word << " in " << c.list;
    EXPECT_EQ(FindWordNInListA(c.word, c.list, wn, ';'), c.exact);
    EXPECT_EQ(FindWordNInListNoCaseA(c.word, c.list, wn, ';'), c.nocase);
    const WString w = Wide(c.word), l = Wide(c.list);
    EXPECT_EQ(FindWordInListW(w.c_str(), l.c_str(), L';'), c.exact);
    EXPECT_EQ(FindWordInListNoCaseW(w.c_str(), l.c_str(), L';'), c.nocase);
    EXPECT_EQ(FindWordNInListW(w.c_str(), l.c_str(), wn, L';'), c.exact);
    EXPECT_EQ(FindWordNInListNoCaseW(w.c_str(), l.c_str(), wn, L';'), c.nocase);
  }
  EXPECT_EQ(FindWordNInListA("bxx", "a;b", 1, ';'), 1);
  EXPECT_EQ(FindWordInListNoCaseW(L"\x0141", L"a;\x0161", L';'), -1);  // whole units

  const char* arr[] = {"One", "two", "", nullptr, "four"};
  EXPECT_EQ(FindStringInArrayA("two", arr, 5), 1);
  EXPECT_EQ(FindStringInArrayA("TWO", arr, 5), -1);
  EXPECT_EQ(FindStringInArrayNoCaseA("TWO", arr, 5), 1);
  EXPECT_EQ(FindStringInArrayA("two", arr, 1), -1);
  EXPECT_EQ(FindStringInArrayA("two", arr, 0), -1);
  EXPECT_EQ(FindStringInArrayA("", arr, 5), 2);
  EXPECT_EQ(FindStringInArrayA("four", arr, 5), -1);  // the null entry ends the array
  EXPECT_EQ(FindStringNInArrayA("twofold", arr, 3, 5), 1);
  EXPECT_EQ(FindStringNInArrayA("tw", arr, 2, 5), -1);  // the entry must end there
  EXPECT_EQ(FindStringNInArrayNoCaseA("ONEx", arr, 3, 5), 0);
  EXPECT_EQ(FindStringNInArrayA("t\0o", arr, 3, 5), -1);
  const wchar_t* arrW[] = {L"One", L"\x0161", nullptr};
  EXPECT_EQ(FindStringInArrayW(L"One", arrW, 3), 0);
  EXPECT_EQ(FindStringInArrayNoCaseW(L"ONE", arrW, 3), 0);
  EXPECT_EQ(FindStringInArrayNoCaseW(L"\x0141", arrW, 3), -1);
  EXPECT_EQ(FindStringNInArrayW(L"\x0161!", arrW, 1, 3), 1);
  EXPECT_EQ(FindStringNInArrayNoCaseW(L"oNe", arrW, 3, 3), 0);
}

TEST(ListFields, GetAndFind) {
  struct Case {
    const char* list;
    int size, selector;
    const char* result;
    int length;  // GetListFieldLength
    int offset;
  } cases[] = {
      {"a;bb;c", 16, 1, "bb", 2, 2},
      {"a;bb;c", 16, ListFieldMask(5), "ac", 2, 0},
      {"a;bb;c", 16, (int)0x80000005, "ac", 2, 0},
      {"a;bb;c", 2, 1, "b", 2, 2},
      {"a;bb;c", 3, 1, "bb", 2, 2},
      {"a;bb;c", 1, 1, "", 2, 2},
      {"a;bb;c", 16, 5, "", 0, 6},
      {"a;bb;c", 16, ListFieldMask(6), "bbc", 3, 2},
      {"a;bb;c", 3, ListFieldMask(7), "ab", 4, 0},
      {"", 16, 0, "", 0, 0},
      {";x", 16, 0, "", 0, 0},
      {"a;;b", 16, ListFieldMask(4), "b", 1, 3},
  };
  for (const Case& c : cases) {
    char buf[16];
    wchar_t bufW[16];
    const int n = (int)std::string(c.result).size();
    EXPECT_EQ(GetListFieldA(buf, c.list, c.size, c.selector, ';'), n) << c.list << " " << c.selector;
    EXPECT_STREQ(buf, c.result) << c.list << " " << c.selector;
    const WString l = Wide(c.list);
    EXPECT_EQ(GetListFieldW(bufW, l.c_str(), c.size, c.selector, L';'), n);
    EXPECT_EQ(WString(bufW), Wide(c.result));
    int offset = -1;
    EXPECT_EQ(GetListFieldLengthA(c.list, c.selector, ';', &offset), c.length) << c.list << " " << c.selector;
    EXPECT_EQ(offset, c.offset) << c.list << " " << c.selector;
    EXPECT_EQ(GetListFieldLengthW(l.c_str(), c.selector, L';', &offset), c.length);
    EXPECT_EQ(offset, c.offset);
  }
  char buf[4] = "xyz";
  EXPECT_EQ(GetListFieldA(buf, "a", 0, 0, ';'), 0);
  EXPECT_STREQ(buf, "xyz");

  int len = -1;
  const char* list = "a;bcd;";
  EXPECT_EQ(FindListFieldA(list, 1, ';', &len, "def"), list + 2);
  EXPECT_EQ(len, 3);
  EXPECT_STREQ(FindListFieldA("a;b", 3, ';', &len, "def"), "def");
  EXPECT_EQ(len, 3);
  EXPECT_STREQ(FindListFieldA(list, 2, ';', &len, "def"), "def");  // the empty last field does not count
  EXPECT_EQ(FindListFieldA("a", 1, ';', &len, nullptr), nullptr);
  EXPECT_EQ(len, 0);
  EXPECT_EQ(FindListFieldA(list, 0, ';', nullptr, "def"), list);
  const wchar_t* listW = L"a;;b";
  EXPECT_EQ(FindListFieldW(listW, 1, L';', &len, L"d"), listW + 2);
  EXPECT_EQ(len, 0);
}

TEST(ListFields, Arrays) {
  const char* arr[] = {"a", "bb", "c", nullptr, "e"};
  char buf[8];
  int first = -1;
  EXPECT_EQ(CopyArrayFieldsA(buf, arr, 8, ListFieldMask(5), 5), 2);
  EXPECT_STREQ(buf, "ac");
  EXPECT_EQ(CopyArrayFieldsA(buf, arr, 8, 4, 5), 0);  // behind the null entry
  EXPECT_EQ(CopyArrayFieldsA(buf, arr, 2, 1, 5), 1);
  EXPECT_STREQ(buf, "b");
  EXPECT_EQ(CopyArrayFieldsA(buf, arr, 8, 2, 2), 0);  // beyond count
  EXPECT_EQ(GetArrayFieldLengthA(arr, ListFieldMask(6), 5, &first), 3);
  EXPECT_EQ(first, 1);
  const wchar_t* arrW[] = {L"a", L"bb", L"c"};
  wchar_t bufW[8];
  EXPECT_EQ(CopyArrayFieldsW(bufW, arrW, 8, ListFieldMask(6), 3), 3);
  EXPECT_EQ(WString(bufW), WString(L"bbc"));
  EXPECT_EQ(GetArrayFieldLengthW(arrW, 0, 3, &first), 1);
  EXPECT_EQ(first, 0);
}

TEST(CsvFields, Read) {
  struct Case {
    const char* text;
    int length;  // -1: the text's length
    int size;
    const char* field;
    int consumed;
  } cases[] = {
      {"\"a\"\"b\",c", -1, 16, "a\"b", 7},
      {"ab,c", -1, 16, "ab", 3},
      {" ab ,c", -1, 16, " ab ", 5},
      {"ab\r\nc", -1, 16, "ab", 2},
      {"ab", -1, 16, "ab", 2},
      {",", -1, 16, "", 1},
      {"", 0, 16, "", 0},
      {"ab", -3, 16, "", 0},
      {"\"a,b\" x,c", -1, 16, "a,b", 8},
      {"\"ab", -1, 16, "ab", 3},      // unclosed: ends at the length
      {"\"ab\"", -1, 16, "ab", 4},    // a final quote closes
      {"\"a\"\"", -1, 16, "a\"", 4},  // a doubled quote at the end
      {"\"ab\",c", 3, 16, "ab", 3},   // the length cuts the closing quote off
      {"\"a\nb\",c", -1, 16, "a\nb", 6},
      {"\"ab\"\n,c", -1, 16, "ab", 4},
      {"abcdef,", -1, 4, "abc", 7},
      {"abc,", -1, 1, "", 4},
  };
  for (const Case& c : cases) {
    const int n = c.length == -1 ? (int)std::string(c.text).size() : c.length;
    char buf[16];
    wchar_t bufW[16];
    int copied = -1;
    EXPECT_EQ(ReadCsvFieldA(c.text, &copied, buf, c.size, n, ','), c.consumed) << c.text;
    EXPECT_STREQ(buf, c.field) << c.text;
    EXPECT_EQ(copied, (int)std::string(c.field).size()) << c.text;
    const WString w = Wide(c.text);
    EXPECT_EQ(ReadCsvFieldW(w.c_str(), &copied, bufW, c.size, n, L','), c.consumed) << c.text;
    EXPECT_EQ(WString(bufW), Wide(c.field)) << c.text;
  }
  GuardedBlock g;
  char buf[8];
  EXPECT_EQ(ReadCsvFieldA(g.AtEnd("\"ab", 3), nullptr, buf, 8, 3, ','), 3);
  EXPECT_EQ(ReadCsvFieldA(g.AtEnd("\"a\"", 3), nullptr, buf, 8, 3, ','), 3);
  EXPECT_EQ(ReadCsvFieldA(g.AtEnd("ab", 2), nullptr, buf, 8, 2, ','), 2);
  EXPECT_EQ(ReadCsvFieldA(g.AtEnd("\"a\" ", 4), nullptr, buf, 0, 4, ','), 4);
  wchar_t bufW[8];
  EXPECT_EQ(ReadCsvFieldW(L"\x4E00,", nullptr, bufW, 8, 2, L','), 2);
  EXPECT_EQ(WString(bufW), WString(L"\x4E00"));
}

TEST(CsvFields, Write) {
  struct Case {
    const char* field;
    int size;
    const char* written;
  } cases[] = {
      {"a,b", 16, "\"a,b\","},
      {"ab", 16, "ab,"},
      {"", 16, ","},
      {"ab", 4, "ab,"},  // exact
      {"ab", 3, "a,"},   // one short: the separator takes the last place
      {"ab", 2, ","},
      {"ab", 1, ""},
      {"ab", 0, nullptr},
      {"a\"b", 16, "\"a\"\"b\","},
      {"a\"b", 8, "\"a\"\"b\","},  // exact
      {"a\"b", 7, "\"a\"\"\","},   // one short: the last character is dropped
      {"a,b", 3, ","},             // quoted below 4: the separator alone
      {"a,b", 4, "\"\","},
      {" a", 16, "\" a\","},
      {"a\t", 16, "\"a\t\","},
      {"a\rb", 16, "\"a\rb\","},
      {"a;b", 16, "a;b,"},
  };
  for (const Case& c : cases) {
    char buf[16];
    wchar_t bufW[16];
    memset(buf, 'x', sizeof buf);
    const int fn = (int)std::string(c.field).size();
    const int n = c.written ? (int)std::string(c.written).size() : 0;
    EXPECT_EQ(WriteCsvFieldA(c.field, buf, c.size, fn, ','), n) << c.field << " " << c.size;
    if (c.written) {
      EXPECT_STREQ(buf, c.written) << c.field << " " << c.size;
    }
    if (!c.written) {
      EXPECT_EQ(buf[0], 'x');
    }
    const WString w = Wide(c.field);
    EXPECT_EQ(WriteCsvFieldW(w.c_str(), bufW, c.size, fn, L','), n);
    if (c.written) {
      EXPECT_EQ(WString(bufW), Wide(c.written));
    }
  }
  char buf[8];
  EXPECT_EQ(WriteCsvFieldA("abc", buf, 8, 2, ';'), 3);  // at most the field length
  EXPECT_STREQ(buf, "ab;");
  wchar_t bufW[8];
  EXPECT_EQ(WriteCsvFieldW(L"a\x4E00", bufW, 8, 2, L','), 5);
  EXPECT_EQ(WString(bufW), WString(L"\"a\x4E00\","));
}
