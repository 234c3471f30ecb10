#include "text/tokens/token.h"

#include <gtest/gtest.h>

#include <string>

#include "guardpage.h"
#include "text/classtable.h"
#include "text/tokens/charset.h"
#include "wide.h"

namespace {

CharBitSet SetOf(const char* chars) {
  CharBitSet s;
  BuildCharSetA(&s, chars, 0);
  return s;
}

bool HasBit(const CharBitSet& s, unsigned bit) { return (s.words[bit / 32] >> (bit % 32)) & 1; }

}  // namespace

TEST(CharSet, BuildAndTest) {
  CharBitSet s = SetOf("ab");
  for (unsigned c = 0; c < 256; ++c) EXPECT_EQ(HasBit(s, c), c == 'a' || c == 'b') << c;
  BuildCharSetA(&s, "a", CHARSET_KEEP | CHARSET_CLEAR);
  for (unsigned c = 0; c < 256; ++c) EXPECT_EQ(HasBit(s, c), c == 'b') << c;
  BuildCharSetA(&s, "\xE9", CHARSET_KEEP);
  EXPECT_TRUE(HasBit(s, 0xE9));
  EXPECT_TRUE(HasBit(s, 'b'));
  CharBitSet w;
  BuildCharSetW(&w, L"x\x4E00", 0);
  EXPECT_TRUE(HasBit(w, 'x'));
  EXPECT_TRUE(HasBit(w, 255));
  EXPECT_TRUE(InCharSet(&w, L'\x0101'));  // every character above 255 tests bit 255
  CharBitSet x = SetOf("x");
  EXPECT_FALSE(InCharSet(&x, L'\x0178'));  // not the low byte's bit
  for (unsigned c = 0; c < 256; ++c)
    EXPECT_EQ(HasBit(TokenSeparatorSet, c), c < 32 || c == ' ' || c == ',' || c == ';') << c;
}

TEST(CharSet, Spans) {
  const CharBitSet comma = SetOf(","), c = SetOf("c"), ab = SetOf("ab");
  struct Case {
    const char* text;
    int n;
    int in, until, through, find;
  };
  // Against {','}; n = -1: the unbounded forms (FindInSetA only below,
  // with a set that holds the NUL).
  const Case cases[] = {
      {"abc,d", -1, 0, 3, 4, 3}, {"abc", -1, 0, 3, 3, 3}, {",,x", -1, 2, 0, 1, 0}, {"abc,d", 2, 0, 2, 2, 2},
      {"abc,d", 4, 0, 3, 4, 3},  {",,", 0, 0, 0, 0, 0},   {",,", -3, 0, 0, 0, 0},
  };
  for (const Case& k : cases) {
    const WString w = Wide(k.text);
    if (k.n == -1) {
      EXPECT_EQ(SpanInSetA(k.text, &comma), k.in) << k.text;
      EXPECT_EQ(SpanUntilInSetA(k.text, &comma), k.until) << k.text;
      EXPECT_EQ(SpanThroughInSetA(k.text, &comma), k.through) << k.text;
      EXPECT_EQ(SpanInSetW(w.c_str(), &comma), k.in) << k.text;
      EXPECT_EQ(SpanUntilInSetW(w.c_str(), &comma), k.until) << k.text;
      EXPECT_EQ(SpanThroughInSetW(w.c_str(), &comma), k.through) << k.text;
    } else {
      EXPECT_EQ(SpanInSetNA(k.text, &comma, k.n), k.in) << k.text;
      EXPECT_EQ(SpanUntilInSetNA(k.text, &comma, k.n), k.until) << k.text;
      EXPECT_EQ(SpanThroughInSetNA(k.text, &comma, k.n), k.through) << k.text;
      EXPECT_EQ(FindInSetNA(k.text, &comma, k.n), k.find) << k.text;
      EXPECT_EQ(SpanInSetNW(w.c_str(), &comma, k.n), k.in) << k.text;
      EXPECT_EQ(SpanUntilInSetNW(w.c_str(), &comma, k.n), k.until) << k.text;
      EXPECT_EQ(SpanThroughInSetNW(w.c_str(), &comma, k.n), k.through) << k.text;
      EXPECT_EQ(FindInSetNW(w.c_str(), &comma, k.n), k.find) << k.text;
    }
  }
  EXPECT_EQ(FindInSetNA("abc", &c, 2), 2);
  EXPECT_EQ(FindInSetNA("abc", &c, 3), 2);
  EXPECT_EQ(FindInSetA("ab\0xc", &c), 4);  // NUL is an ordinary character
  CharBitSet withNul = SetOf(",");
  withNul.words[0] |= 1;
  EXPECT_EQ(FindInSetA("abc", &withNul), 3);
  EXPECT_EQ(FindInSetW(L"ab,", &withNul), 2);
  EXPECT_EQ(FindInSetNA("a\0,", &comma, 3), 2);
  // Backwards from the end of "ab,cd".
  const char* text = "ab,cd";
  EXPECT_EQ(SpanBackUntilInSetNA(text + 5, &comma, 5), 2);
  EXPECT_EQ(SpanBackUntilInSetNA(text + 5, &comma, 1), 1);
  EXPECT_EQ(SpanBackInSetNA(text + 2, &ab, 2), 2);
  EXPECT_EQ(SpanBackInSetNA(text + 2, &ab, 0), 0);
  const char nuls[] = "\0\0x";
  EXPECT_EQ(SpanBackUntilInSetNA(nuls + 3, &comma, 3), 3);  // NUL is ordinary
  const WString w = Wide(text);
  EXPECT_EQ(SpanBackUntilInSetNW(w.c_str() + 5, &comma, 5), 2);
  EXPECT_EQ(SpanBackInSetNW(w.c_str() + 2, &ab, 5), 2);
  // Above 255 in 16-bit text: bit 255.
  CharBitSet y = SetOf("\xFF");
  EXPECT_EQ(SpanInSetW(L"\x4E00\x0100\xFF"
                       L"a",
                       &y),
            3);
  EXPECT_EQ(SpanUntilInSetW(L"ab\x4E00", &y), 2);
}

TEST(Tokens, Scan) {
  struct Case {
    const char* text;
    int n;  // -1: the text's length
    char escape, open;
    int plain;  // ScanTokenNA
    int cls;    // ScanClassTokenNA with mask 0x7
  } cases[] = {
      {"  \"a b\" x", -1, 0, '"', 7, 7},
      {"\"a b", -1, 0, '"', 4, 4},  // unclosed
      {"abc,def", -1, 0, '"', 3, 3},
      {"(a(b)c)", -1, 0, '(', 5, 5},  // brackets do not nest
      {"[a]", -1, 0, '[', 3, 3},
      {"{a}}", -1, 0, '{', 3, 3},
      {"<a>", -1, 0, '<', 3, 3},
      {"'a'", -1, 0, '\'', 3, 3},
      {"\"a\\\"b\"", -1, '\\', '"', 6, 6},
      {"\"a\\\"b\"", -1, 0, '"', 4, 4},     // without escape the second quote closes
      {"\"a\\", -1, '\\', '"', 3, 3},       // an escape at n ends the token after it
      {"\"a\\\nb\"", -1, '\\', '"', 6, 6},  // an escaped LF is passed over
      {"\"a\nb\"", -1, '\\', '"', 2, 2},    // an LF otherwise ends it before
      {"\"a\rb\"", -1, 0, '"', 2, 2},
      {"\"ab\"\"c\"", -1, '"', '"', 4, 4},  // an escape equal to the closer closes
      {"\"abc\"", 3, 0, '"', 3, 3},         // cut by n
      {"   ", -1, 0, '"', 3, 3},
      {"  ", 1, 0, '"', 1, 1},
      {"abc", 0, 0, '"', 0, 0},
      {"abc", -5, 0, '"', 0, 0},
      {"ab1_c", -1, 0, '"', 5, 3},
      {"\"x\"", -1, 0, '"', 3, 3},
      {"\tab;c", -1, 0, '"', 3, 3},
      {"a\x01"
       "b",
       -1, 0, '"', 1, 1},
      {"\xE9t\xE9 x", -1, 0, '"', 3, 0},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    const int n = c.n == -1 ? (int)text.size() : c.n;
    const WString w = Wide(c.text);
    EXPECT_EQ(ScanTokenNA(text.c_str(), c.escape, c.open, n), c.plain) << c.text;
    EXPECT_EQ(ScanClassTokenNA(CC_ALNUM, text.c_str(), c.escape, c.open, n), c.cls) << c.text;
    EXPECT_EQ(ScanTokenNW(w.c_str(), (wchar_t)(unsigned char)c.escape, (wchar_t)(unsigned char)c.open, n), c.plain)
        << "W " << c.text;
    EXPECT_EQ(
        ScanClassTokenNW(CC_ALNUM, w.c_str(), (wchar_t)(unsigned char)c.escape, (wchar_t)(unsigned char)c.open, n),
        c.cls)
        << "W " << c.text;
  }
  // Counted text ends a token at n even where a NUL follows an escape.
  EXPECT_EQ(ScanTokenNA("\"a\\\0b\"", '\\', '"', 6), 3);
  // 16-bit: characters above 255 are ordinary in quotes and in the class
  // run they end it; delimiters compare at full width.
  EXPECT_EQ(ScanTokenNW(L"\"\x4E00\x0122\"", 0, L'"', 4), 4);
  EXPECT_EQ(ScanTokenNW(L"\x4E00x y", 0, L'"', 4), 2);
  EXPECT_EQ(ScanClassTokenNW(CC_ALNUM, L"a\x4E00", 0, L'"', 2), 1);
  EXPECT_EQ(ScanTokenNW(L"\x201C"
                        L"a b\x201C",
                        0, L'\x201C', 5),
            5);
}

TEST(Tokens, Copy) {
  char buf[16];
  int copied = -1;
  const int tagged = TaggedTokenCount('=', 6);
  EXPECT_EQ((uint32_t)tagged >> 24, 0xD7u);
  EXPECT_EQ(((uint32_t)tagged >> 16) & 0x7F, (uint32_t)'=');
  EXPECT_TRUE(IsTaggedTokenCount(tagged));
  EXPECT_FALSE(IsTaggedTokenCount(6));
  EXPECT_EQ(CopyTokenNA(buf, " = abc", 16, 0, '"', tagged), 6);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(CopyTokenNA(buf, "abc", 16, 0, '"', TaggedTokenCount('=', 3)), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(CopyTokenNA(buf, " =\"a b\" x", 16, 0, '"', TaggedTokenCount('=', 9)), 7);
  EXPECT_STREQ(buf, "a b");
  EXPECT_EQ(CopyTokenNA(buf, "  =", 16, 0, '"', TaggedTokenCount('=', 2)), 0);  // separator beyond the count
  EXPECT_EQ(CopyTokenExNA(buf, "\"hello\"", &copied, 4, 0, '"', 7), 7);
  EXPECT_STREQ(buf, "hel");
  EXPECT_EQ(copied, 3);
  EXPECT_EQ(CopyTokenExNA(buf, "\"a\\\"b\"", &copied, 16, '\\', '"', 6), 6);
  EXPECT_STREQ(buf, "a\\\"b");  // no unquoting
  EXPECT_EQ(copied, 4);
  EXPECT_EQ(CopyClassTokenExNA(CC_ALNUM, buf, "  ab1_c", &copied, 16, 0, '"', 7), 5);
  EXPECT_STREQ(buf, "ab1");
  EXPECT_EQ(CopyClassTokenNA(CC_ALNUM, buf, "ab", 16, 0, '"', 0), 0);
  EXPECT_STREQ(buf, "");
  // Sizes 0, 1, exact and one short.
  buf[0] = 'x';
  EXPECT_EQ(CopyTokenExNA(buf, "abc", &copied, 0, 0, '"', 3), 3);
  EXPECT_EQ(buf[0], 'x');
  EXPECT_EQ(copied, 0);
  EXPECT_EQ(CopyTokenExNA(buf, "abc", &copied, 1, 0, '"', 3), 3);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(CopyTokenExNA(buf, "abc", &copied, 4, 0, '"', 3), 3);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(CopyTokenExNA(buf, "abc", &copied, 3, 0, '"', 3), 3);
  EXPECT_STREQ(buf, "ab");
  EXPECT_EQ(copied, 2);

  wchar_t bufW[16];
  EXPECT_EQ(CopyTokenExNW(bufW, L"\"hello\"", &copied, 4, 0, L'"', 7), 7);
  EXPECT_EQ(WString(bufW), WString(L"hel"));
  EXPECT_EQ(CopyTokenNW(bufW, L" = abc", 16, 0, L'"', tagged), 6);
  EXPECT_EQ(WString(bufW), WString(L"abc"));
  EXPECT_EQ(CopyClassTokenExNW(CC_ALNUM, bufW, L"x\x4E00", &copied, 16, 0, L'"', 2), 1);
  EXPECT_EQ(copied, 1);
  EXPECT_EQ(CopyClassTokenNW(CC_ALNUM, bufW, L"(x)", 16, 0, L'(', 3), 3);
  EXPECT_EQ(WString(bufW), WString(L"x"));
}

TEST(Tokens, CountedFormsStopAtTheirCount) {
  GuardedBlock a, w;
  char buf[8];
  wchar_t bufW[8];
  for (const char* s : {"\"ab\\", "  ", "\"a", "abc", " =", " = \"x"}) {
    const int n = (int)std::string(s).size();
    const char* t = a.AtEnd(s, (size_t)n);
    const WString ws = Wide(s);
    const wchar_t* tw = w.AtEnd(ws.data(), (size_t)n);
    EXPECT_EQ(ScanTokenNA(t, '\\', '"', n), ScanTokenNW(tw, L'\\', L'"', n)) << s;
    EXPECT_EQ(ScanClassTokenNA(CC_ALNUM, t, '\\', '"', n), ScanClassTokenNW(CC_ALNUM, tw, L'\\', L'"', n)) << s;
    EXPECT_EQ(CopyTokenNA(buf, t, 8, '\\', '"', n), CopyTokenNW(bufW, tw, 8, L'\\', L'"', n)) << s;
    EXPECT_EQ(CopyTokenNA(buf, t, 8, '\\', '"', TaggedTokenCount('=', n)),
              CopyTokenNW(bufW, tw, 8, L'\\', L'"', TaggedTokenCount('=', n)))
        << s;
    EXPECT_LE(ScanTokenNA(t, '\\', '"', n), n);
  }
  const char* set = a.AtEnd("ab,", 3);
  const CharBitSet comma = SetOf(",");
  EXPECT_EQ(SpanUntilInSetNA(set, &comma, 3), 2);
  EXPECT_EQ(SpanInSetNA(set + 2, &comma, 1), 1);
  EXPECT_EQ(FindInSetNA(set, &comma, 2), 2);
  EXPECT_EQ(SpanThroughInSetNA(set, &comma, 3), 3);
}
