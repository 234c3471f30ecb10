#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "text/web/htmlentity.h"
#include "text/web/webdecode.h"
#include "text/web/webencode.h"
#include "guardpage.h"
#include "wide.h"

namespace {

// Decodes in the 8-bit form; the 16-bit form must give the same text
// widened (where every value is below 256, as in these cases).
std::string DecodeA(const std::string& s, uint32_t flags, int* used = nullptr, int size = 256) {
  std::vector<char> out((size_t)size + 1, '#');
  int u = -1;
  int n = DecodeWebTextA(s.data(), (int)s.size(), out.data(), size, flags, &u);
  if (used) *used = u;
  EXPECT_EQ(out[(size_t)n], 0);
  return std::string(out.data(), (size_t)n);
}

WString DecodeUtf8ToW(const std::string& s, uint32_t flags, int size = 256, int* used = nullptr) {
  std::vector<wchar_t> out((size_t)size + 1, L'#');
  int n = DecodeWebTextUtf8ToW(s.data(), (int)s.size(), out.data(), size, flags, used);
  EXPECT_EQ(out[(size_t)n], 0);
  return WString(out.data(), (size_t)n);
}

WString DecodeW(const WString& s, uint32_t flags, int size = 256, int* used = nullptr) {
  std::vector<wchar_t> out((size_t)size + 1, L'#');
  int n = DecodeWebTextW(s.data(), (int)s.size(), out.data(), size, flags, used);
  EXPECT_EQ(out[(size_t)n], 0);
  return WString(out.data(), (size_t)n);
}

TEST(WebDecode, Table) {
  struct Case {
    const char* source;
    uint32_t flags;
    const char* expected;
    bool wideToo;  // the 16-bit forms give the same text widened
  };
  const Case cases[] = {
      {"a&amp;b&lt;", WEBDEC_REFERENCES, "a&b<", true},
      {"&Aacute;", WEBDEC_REFERENCES, "\xC1", true},
      {"&euro;", WEBDEC_REFERENCES, "Euro", false},
      {"&#65;&#x42;", WEBDEC_REFERENCES, "AB", true},
      {"&foo;", WEBDEC_REFERENCES, "&foo;", true},
      {"&amp &ampx &amp1", WEBDEC_REFERENCES, "& &ampx &1", true},
      {"&#", WEBDEC_REFERENCES, "&#", true},
      {"&#x;", WEBDEC_REFERENCES, "&#x;", true},
      {"&# -66;", WEBDEC_REFERENCES, "\xFF", true},
      // Numbers never wrap into valid characters.
      {"&#4294967356;", WEBDEC_REFERENCES, "\xFF", true},
      {"&#x110000;&#1114111;", WEBDEC_REFERENCES, "\xFF\xFF", false},
      {"&#99999999999999999999999;", WEBDEC_REFERENCES, "\xFF", true},
      {"&auml;&amp;", WEBDEC_REFERENCES | WEBDEC_XML_NAMES, "&auml;&", true},
      {"a%20b+c", WEBDEC_PERCENT | WEBDEC_PLUS_BLANK, "a b c", true},
      {"%4", WEBDEC_PERCENT, "\x04", true},
      {"%zz", WEBDEC_PERCENT, "%zz", true},
      {"%414", WEBDEC_PERCENT, "A4", true},
      {"x<br>y<b>z</b>", WEBDEC_BR_LF, "x\nyz", true},
      {"x<BR/>y<brz>", WEBDEC_BR_CRLF | WEBDEC_BR_LF, "x\r\ny", true},
      {"x<br>", WEBDEC_BR_LF, "x\n", true},
      {"x<b", WEBDEC_SKIP_TAGS, "x", true},
      {"x<a title=\"y\">z", WEBDEC_SKIP_TAGS, "xz", true},
      {"  a   b ", WEBDEC_COLLAPSE_BLANKS, "a b ", true},
      {"a \t b\t\tc", WEBDEC_COLLAPSE_TABS, "a b c", true},
      {"a\t\tb", WEBDEC_COLLAPSE_BLANKS, "a\t\tb", true},
      {"foo\r\nbar", WEBDEC_JOIN_LINES, "foo bar", true},
      {"foo.\nbar", WEBDEC_JOIN_LINES, "foo.bar", true},
      {"\nfoo\n", WEBDEC_JOIN_LINES, "foo", true},
      {"\xC3\xA4", WEBDEC_UTF8, "\xE4", false},
      {"\xE2\x82\xAC", WEBDEC_UTF8, "Euro", false},
      {"\xE2\x80\x94", WEBDEC_UTF8, "\xFF", false},
      {"\xC3", WEBDEC_UTF8, "\xC3", true},
      {"\xC3x", WEBDEC_UTF8, "\xC3x", true},
      {"a<b", WEBDEC_STOP_AT_TAG, "a", true},
  };
  for (const Case& c : cases) {
    std::string source = c.source;
    EXPECT_EQ(DecodeA(source, c.flags), c.expected) << c.source;
    if (!c.wideToo) continue;
    EXPECT_EQ(DecodeUtf8ToW(source, c.flags), Wide(c.expected)) << c.source;
    EXPECT_EQ(DecodeW(Wide(c.source), c.flags), Wide(c.expected)) << c.source;
  }
}

TEST(WebDecode, WideValues) {
  WString euro;
  euro += (wchar_t)0x20AC;
  EXPECT_EQ(DecodeUtf8ToW("&euro;\xE2\x82\xAC", WEBDEC_REFERENCES | WEBDEC_UTF8), euro + euro);
  WString pair;
  pair += (wchar_t)0xD83D, pair += (wchar_t)0xDE00;
  EXPECT_EQ(DecodeUtf8ToW("&#x1F600;", WEBDEC_REFERENCES), pair);
  EXPECT_EQ(DecodeW(Wide("&#x1F600;"), WEBDEC_REFERENCES), pair);
  // No room for the pair: nothing of it, and the count stops before it.
  int used = 0;
  EXPECT_EQ(DecodeUtf8ToW("a&#x1F600;", WEBDEC_REFERENCES, 2, &used), Wide("a"));
  EXPECT_EQ(used, 1);
  // In 16-bit text units above 255 stay as they are, with UTF-8 on too.
  WString w = Wide("x");
  w += (wchar_t)0x4E2D;
  w += Wide("\xC3\xA4");
  WString expected = Wide("x");
  expected += (wchar_t)0x4E2D;
  expected += (wchar_t)0xE4;
  EXPECT_EQ(DecodeW(w, WEBDEC_UTF8), expected);
  // A unit above 255 ends a word for the blank rules like any letter would not.
  WString joined = Wide("a");
  joined += (wchar_t)0x4E2D;
  joined += Wide("\nb");
  WString joinedExpected = Wide("a");
  joinedExpected += (wchar_t)0x4E2D;
  joinedExpected += Wide(" b");
  EXPECT_EQ(DecodeW(joined, WEBDEC_JOIN_LINES), joinedExpected);
}

TEST(WebDecode, CountsAndSizes) {
  int used = -1;
  EXPECT_EQ(DecodeA("x<br>y", WEBDEC_STOP_AT_TAG, &used), "x");
  EXPECT_EQ(used, 1);
  // A stretch is cut to the room; a decoded character that does not fit stops.
  EXPECT_EQ(DecodeA("abcdef", 0, &used, 4), "abc");
  EXPECT_EQ(used, 3);
  EXPECT_EQ(DecodeA("ab&amp;c", WEBDEC_REFERENCES, &used, 3), "ab");
  EXPECT_EQ(used, 2);
  EXPECT_EQ(DecodeA("ab&euro;", WEBDEC_REFERENCES, &used, 5), "abEu");
  EXPECT_EQ(used, 2);
  EXPECT_EQ(DecodeA("abc", 0, &used, 1), "");
  EXPECT_EQ(used, 0);
  char untouched = '#';
  EXPECT_EQ(DecodeWebTextA("abc", 3, &untouched, 0, 0, &used), 0);
  EXPECT_EQ(untouched, '#');
  // A NUL in a counted text is a blank; a terminated text ends there.
  EXPECT_EQ(DecodeA(std::string("a\0b", 3), 0), "a b");
  char out[8];
  EXPECT_EQ(DecodeWebTextA("a\0b", -1, out, 8, 0, &used), 1);
  EXPECT_EQ(used, 1);
}

// A counted text is never read past its end: every prefix ends at a page
// that cannot be read.
TEST(WebDecode, CountedTextStaysInside) {
  const std::string text = "x&#1234567890123456789;&amp;%41\xE2\x82&#x12345678;&frac12;<br";
  GuardedBlock guard;
  WString wide = Wide(text.c_str());
  for (int n = 1; n <= (int)text.size(); ++n) {
    const char* block = guard.AtEnd(text.data(), (size_t)n);
    char out[64];
    wchar_t outW[64];
    int used = -1;
    const uint32_t all = 0xFFF & ~WEBDEC_STOP_AT_TAG;
    DecodeWebTextA(block, n, out, 64, all, &used);
    EXPECT_LE(used, n);
    DecodeWebTextUtf8ToW(block, n, outW, 64, all, &used);
    EXPECT_LE(used, n);
    EncodeWebTextA(block, n, out, 64, 0xFF, &used);
    EXPECT_LE(used, n);
    // The 16-bit text takes the same place at the page's end.
    DecodeWebTextW(guard.AtEnd(wide.data(), (size_t)n), n, outW, 64, all, &used);
    EXPECT_LE(used, n);
    EncodeWebTextW(guard.AtEnd(wide.data(), (size_t)n), n, out, 64, 0xFF, &used);
    EXPECT_LE(used, n);
  }
  char out[16];
  // "&#65" cut before its ";" still reads 65; cut inside the number it reads less.
  EXPECT_EQ(DecodeWebTextA("&#65;", 4, out, 16, WEBDEC_REFERENCES, nullptr), 1);
  EXPECT_STREQ(out, "A");
  EXPECT_EQ(DecodeWebTextA("&#656", 3, out, 16, WEBDEC_REFERENCES, nullptr), 1);
  EXPECT_STREQ(out, "\x06");
  EXPECT_EQ(DecodeWebTextA("&amp", 3, out, 16, WEBDEC_REFERENCES, nullptr), 3);
  EXPECT_STREQ(out, "&am");
}

TEST(HtmlEntity, FindsEveryName) {
  for (int t = 0; t < 2; ++t) {
    const HtmlEntity* table = t ? XmlEntityTable() : HtmlEntityTable;
    int count = t ? XML_ENTITY_COUNT : HTML_ENTITY_COUNT;
    for (int i = 0; i < count; ++i) {
      if (i) {
        EXPECT_LT(strcmp(table[i - 1].name, table[i].name), 0);
      }
      EXPECT_EQ((int)strlen(table[i].name), table[i].length);
      std::string text = std::string(table[i].name) + ";x";
      int value = 0;
      EXPECT_EQ(LookupHtmlEntityA(text.c_str(), &value, table, count), table[i].length + 1) << table[i].name;
      EXPECT_EQ(value, table[i].value);
      EXPECT_EQ(LookupHtmlEntityW(Wide(text.c_str()).c_str(), &value, table, count), table[i].length + 1);
      EXPECT_EQ(value, table[i].value);
    }
  }
  int value = 0;
  EXPECT_EQ(LookupHtmlEntityA("nbsp", &value, HtmlEntityTable, HTML_ENTITY_COUNT), 4);
  EXPECT_EQ(value, 160);
  EXPECT_EQ(LookupHtmlEntityA("NBSP;", &value, HtmlEntityTable, HTML_ENTITY_COUNT), 0);
  EXPECT_EQ(value, '&');
  EXPECT_EQ(LookupHtmlEntityA("apos;", &value, HtmlEntityTable, HTML_ENTITY_COUNT), 5);
  EXPECT_EQ(value, 39);
}

std::string EncodeA(const std::string& s, uint32_t flags, int size = 512, int* used = nullptr) {
  std::vector<char> out((size_t)size + 1, '#');
  int n = EncodeWebTextA(s.data(), (int)s.size(), out.data(), size, flags, used);
  if (size >= 1) {
    EXPECT_EQ(out[(size_t)n], 0);
  }
  return std::string(out.data(), (size_t)n);
}

TEST(WebEncode, Table) {
  struct Case {
    const char* source;
    uint32_t flags;
    const char* expected;
  };
  const Case cases[] = {
      {"a b&c", WEBENC_URL, "a%20b%26c"},
      {"a b&c", WEBENC_URL | WEBENC_PLUS, "a+b%26c"},
      {"<a href='x'>", 0, "&#60;a href=&#39;x&#39;&#62;"},
      {"\xE4", 0, "&#228;"},
      {"\xE4", WEBENC_UTF8, "\xC3\xA4"},
      {"\xE4", WEBENC_URL, "%E4"},
      {"a b", WEBENC_PLUS, "a+b"},
      {"a\r\nb", WEBENC_BR_LF | WEBENC_BR_CR, "a<br>b"},
      {"a\nb", WEBENC_BR_LF | WEBENC_BR_CR, "a<br>b"},
      {"a\rb", WEBENC_BR_CR, "a\r<br>b"},
      {"a\r", WEBENC_BR_CR, "a"},
      {"a\nb", WEBENC_URL, "a%0Ab"},
      {"-._[]^_`{|}~\x7F", WEBENC_URL, "-._[]^_`{|}~\x7F"},
      {"!\"#$%&'()*+,/:;<=>?@\\", WEBENC_URL, "%21%22%23%24%25%26%27%28%29%2A%2B%2C%2F%3A%3B%3C%3D%3E%3F%40%5C"},
      {"a/b:c\\", 0, "a/b:c\\"},
      {"a/b:c\\", WEBENC_SEPARATORS, "a&#47;b&#58;c&#92;"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeA(c.source, c.flags), c.expected) << c.source;
    std::vector<char> out(512);
    int n = EncodeWebTextW(Wide(c.source).c_str(), -1, out.data(), 512, c.flags, nullptr);
    EXPECT_EQ(std::string(out.data(), (size_t)n), c.expected) << c.source;
  }
  EXPECT_EQ(EncodeA(std::string("a\0b", 3), WEBENC_URL), "a%00b");
  EXPECT_EQ(EncodeA(std::string("a\0b", 3), 0), "a b");
}

TEST(WebEncode, SizesAndCounts) {
  int used = -1;
  EXPECT_EQ(EncodeA("abc", 0, 8, &used), "");
  EXPECT_EQ(used, 0);
  char untouched = '#';
  EXPECT_EQ(EncodeWebTextA("abc", -1, &untouched, 0, 0, &used), 0);
  EXPECT_EQ(untouched, '#');
  EXPECT_EQ(EncodeA("abcdefghijk", 0, 9, &used), "abcdefgh");
  EXPECT_EQ(used, 8);
  // An escape is written whole or not at all.
  EXPECT_EQ(EncodeA("abcdef<", 0, 11, &used), "abcdef");
  EXPECT_EQ(used, 6);
  EXPECT_EQ(EncodeA("abcdef<", 0, 12, &used), "abcdef&#60;");
  EXPECT_EQ(used, 7);
  // A final CR waits for the next piece.
  EXPECT_EQ(EncodeA("ab\r", WEBENC_BR_CR, 64, &used), "ab");
  EXPECT_EQ(used, 2);
}

TEST(WebEncode, WideCharacters) {
  WString w = Wide("a");
  w += (wchar_t)0x20AC;
  w += (wchar_t)0xD83D, w += (wchar_t)0xDE00;
  w += (wchar_t)0xDC00;  // lone
  char out[128];
  EncodeWebTextW(w.c_str(), (int)w.size(), out, 128, WEBENC_URL, nullptr);
  EXPECT_STREQ(out, "a&#8364;&#128512;&#56320;");
  EncodeWebTextW(w.c_str(), 3, out, 128, WEBENC_UTF8, nullptr);  // the pair cut in half
  EXPECT_STREQ(out, "a\xE2\x82\xAC\xED\xA0\xBD");
}

// Round trips: bytes through the URL form, text through the HTML form, and
// 16-bit text through the URL form to the UTF-8 decoder.
TEST(WebText, RoundTrips) {
  uint32_t seed = 777;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u, seed >> 8; };
  for (int k = 0; k < 300; ++k) {
    std::string bytes;
    int len = (int)(next() % 40);
    for (int i = 0; i < len; ++i) bytes += (char)next();
    std::string url = EncodeA(bytes, WEBENC_URL | (next() & 1 ? WEBENC_SEPARATORS : 0), 1024);
    EXPECT_EQ(DecodeA(url, WEBDEC_PERCENT, nullptr, 1024), bytes);

    std::string text = bytes;
    for (char& c : text)
      if (!c) c = 'z';
    std::string html = EncodeA(text, 0, 1024);
    EXPECT_EQ(DecodeA(html, WEBDEC_REFERENCES, nullptr, 1024), text);

    WString w;
    for (int i = 0; i < len; ++i) w += (wchar_t)(next() % 4 ? next() & 0xFFFF : next() & 0xFF);
    std::vector<char> enc(2048);
    int used = -1;
    int n = EncodeWebTextW(w.data(), (int)w.size(), enc.data(), 2048, WEBENC_URL, &used);
    EXPECT_EQ(used, (int)w.size());
    EXPECT_EQ(DecodeUtf8ToW(std::string(enc.data(), (size_t)n), WEBDEC_REFERENCES | WEBDEC_PERCENT, 1024), w);
  }
}

}  // namespace
