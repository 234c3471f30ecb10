#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "text/codecs.h"
#include "wide.h"

namespace {

// Widens 8-bit text without sign (Latin-1).
WString Widen(const std::string& s) {
  WString w;
  for (unsigned char c : s) w += (wchar_t)c;
  return w;
}

std::string QuoteA(const void* src, int bytes, uint32_t flags, int size = 4096) {
  std::vector<char> out(size + 1, 'G');
  int n = QuoteCStringA(out.data(), size, src, bytes, flags);
  EXPECT_EQ(out[n], 0) << "terminated";
  return std::string(out.data(), n);
}

WString QuoteW(const void* src, int bytes, uint32_t flags, int size = 4096) {
  std::vector<wchar_t> out(size + 1, L'G');
  int n = QuoteCStringW(out.data(), size, src, bytes, flags);
  EXPECT_EQ(out[n], 0) << "terminated";
  return WString(out.data(), n);
}

std::string DecodeA(const std::string& literal, uint32_t flags, int* used = nullptr) {
  std::vector<char> out(literal.size() * 4 + 8, 'G');
  int n = DecodeCStringLiteralA(out.data(), (uint32_t)out.size() | flags, literal.c_str(), used);
  return std::string(out.data(), n);
}

std::string DecodeW(const WString& literal, uint32_t flags, int* used = nullptr) {
  std::vector<char> out(literal.size() * 4 + 8, 'G');
  int n = DecodeCStringLiteralW(out.data(), (uint32_t)out.size() | flags, literal.c_str(), used);
  return std::string(out.data(), n);
}

// Decodes adjacent quoted literals as one, the way C joins «"a""b"»; the
// split after a short hex escape needs this.
template <class Str, class Decode>
std::string Joined(const Str& text, uint32_t flags, int* usedOut, Decode decode) {
  std::string r;
  size_t pos = 0;
  while (pos < text.size() && text[pos] == '"') {
    int used = 0;
    r += decode(text.substr(pos), flags, &used);
    pos += used;
  }
  if (usedOut) *usedOut = (int)pos;
  return r;
}

std::string JoinedA(const std::string& text, uint32_t flags = 0, int* used = nullptr) {
  return Joined(text, flags, used, DecodeA);
}

std::string JoinedW(const WString& text, uint32_t flags = 0, int* used = nullptr) {
  return Joined(text, flags, used, DecodeW);
}

std::string Units(const WString& w) { return std::string((const char*)w.data(), w.size() * 2); }

}  // namespace

TEST(CEscape, DecodeBothForms) {
  struct Case {
    const char* text;
    unsigned valueA, valueW;
    int length;
  } cases[] = {
      {"a", 'a', 'a', 1},         {"\xE4", 0xE4, 0xE4, 1},
      {"\\", 92, 92, 1},   // backslash at the end of the text
      {"\\z", 92, 92, 1},  // starts no escape: the backslash stands for itself
      {"\\8", 92, 92, 1},         {"\\\xE4", 92, 92, 1},
      {"\\n", 10, 10, 2},         {"\\\"", '"', '"', 2},
      {"\\'", '\'', '\'', 2},     {"\\?", '?', '?', 2},
      {"\\\\", 92, 92, 2},        {"\\a\\b", 7, 7, 2},
      {"\\x", 0, 0, 2},           {"\\xg", 0, 0, 2},
      {"\\XfG", 15, 15, 3},       {"\\x1234", 0x23, 0x123, 5},  // three digits at most; 8-bit keeps the low byte
      {"\\xFFF", 0xFF, 0xFFF, 5}, {"\\0", 0, 0, 2},
      {"\\08", 0, 0, 2},          {"\\377", 255, 255, 4},
      {"\\400", 0, 0, 4},  // octal is taken modulo 256 in both forms
      {"\\1234", 0123, 0123, 4},
  };
  for (const Case& c : cases) {
    int len = -1;
    EXPECT_EQ(DecodeCEscapeA(c.text, &len), c.valueA) << c.text;
    EXPECT_EQ(len, c.length) << c.text;
    WString w = Widen(c.text);
    len = -1;
    EXPECT_EQ(DecodeCEscapeW(w.c_str(), &len), c.valueW) << c.text;
    EXPECT_EQ(len, c.length) << c.text;
    EXPECT_EQ(DecodeCEscapeA(c.text, nullptr), c.valueA) << "the length pointer may be null";
  }
  const wchar_t arabicOne[] = {L'\\', L'x', L'1', 0x0661, 0};
  int len = 0;
  EXPECT_EQ(DecodeCEscapeW(arabicOne, &len), 1u) << "units above 127 are no digits";
  EXPECT_EQ(len, 3);
}

TEST(CEscape, CountedFormStaysWithinN) {
  // No terminator: whatever follows the count must not be read into the escape.
  struct Case {
    const char* text;
    int n;
    unsigned value;
    int length;
  } cases[] = {
      {"\\x41", 3, 4, 3}, {"\\x41", 2, 0, 2},   {"\\n", 1, 92, 1},
      {"\\101", 2, 1, 2}, {"\\101", 3, 010, 3}, {"q", 1, 'q', 1},
  };
  for (const Case& c : cases) {
    int len = -1;
    EXPECT_EQ(DecodeCEscapeNA(c.text, c.n, &len), c.value) << c.text << " n=" << c.n;
    EXPECT_EQ(len, c.length) << c.text << " n=" << c.n;
    WString w = Widen(c.text);
    EXPECT_EQ(DecodeCEscapeNW(w.data(), c.n, &len), c.value) << c.text << " n=" << c.n;
    EXPECT_EQ(len, c.length) << c.text << " n=" << c.n;
  }
}

TEST(QuoteCString, Escapes) {
  struct Case {
    std::string src;
    uint32_t flags;
    const char* literal;
  } cases[] = {
      {"A\t\"\xC8", 0, "\"A\\t\\\"\xC8\""},
      {"'?", 0, "\"'?\""},
      {std::string("\x07\x08\x0C\x0B\x09\x0A\x0D\\", 8), 0, "\"\\a\\b\\f\\v\\t\\n\\r\\\\\""},
      {std::string("\x01"
                   "A",
                   2),
       0, "\"\\x001A\""},
      {std::string("\x01"
                   "A",
                   2),
       CLIT_SHORT_HEX, "\"\\x01\"\"A\""},
      {std::string("\x01"
                   "G",
                   2),
       CLIT_SHORT_HEX, "\"\\x01G\""},
      {std::string("\x1F"
                   "7\x1F",
                   3),
       CLIT_SHORT_HEX | CLIT_NO_QUOTES, "\\x1F\"\"7\\x1F"},
      {std::string("\0", 1), 0, "\"\\x000\""},
      {"\t\r\n\\\"\x07", CLIT_HEX_CONTROLS, "\"\\x009\\r\\n\\\\\\\"\\x007\""},
      {"\t\r\\\"", CLIT_HEX_ALL, "\"\\x009\\x00D\\x05C\\x022\""},
      {"ab", CLIT_NO_QUOTES, "ab"},
      {"", 0, "\"\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QuoteA(c.src.data(), (int)c.src.size(), c.flags), c.literal) << c.literal;
    EXPECT_EQ(QuoteW(c.src.data(), (int)c.src.size(), c.flags), Widen(c.literal)) << c.literal;
  }
}

TEST(QuoteCString, WideAndUtf8Sources) {
  const wchar_t units[] = {0x41, 0x141, 0xE4, 0xD83D};
  EXPECT_EQ(QuoteA(units, sizeof units, CLIT_RAW_UTF16), "\"A\xE4\"") << "units above 255 are left out";
  EXPECT_EQ(QuoteW(units, sizeof units, CLIT_RAW_UTF16), (WString{L'"', 0x41, 0x141, 0xE4, 0xD83D, L'"'}));
  EXPECT_EQ(QuoteW(units, 3, CLIT_RAW_UTF16), L"\"A\"") << "an odd count is rounded down";

  const char* utf8 = "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\xC3";
  int n = (int)strlen(utf8);
  EXPECT_EQ(QuoteA(utf8, n, CLIT_RAW_UTF8), "\"a\xE4\xC3\"");
  EXPECT_EQ(QuoteW(utf8, n, CLIT_RAW_UTF8), (WString{L'"', L'a', 0xE4, 0x20AC, 0xD83D, 0xDE00, 0xC3, L'"'}));
  EXPECT_EQ(QuoteA(utf8, n, CLIT_RAW_UTF8 | CLIT_RAW_UTF16), "\"a\xE4\xC3\"") << "UTF-8 wins";
  EXPECT_EQ(QuoteA("\xC3\xA4", 1, CLIT_RAW_UTF8), "\"\xC3\"") << "the count cuts the sequence";

  // A left-out character must not hide the digit that follows the escape.
  const wchar_t split[] = {0x01, 0x100, L'A'};
  std::string literal = QuoteA(split, sizeof split, CLIT_RAW_UTF16 | CLIT_SHORT_HEX);
  EXPECT_EQ(literal, "\"\\x01\"\"A\"");
  EXPECT_EQ(JoinedA(literal), std::string("\x01"
                                          "A",
                                          2));
  const char utf8Split[] =
      "\x02\xC4\x80"
      "b";
  literal = QuoteA(utf8Split, 4, CLIT_RAW_UTF8 | CLIT_SHORT_HEX);
  EXPECT_EQ(JoinedA(literal), std::string("\x02"
                                          "b",
                                          2));
}

TEST(QuoteCString, EverySizeIsBoundedAndTerminated) {
  std::string src(
      "ab\x01"
      "C\t\"\\\xE4z\x7F"
      "0\x1F",
      12);
  const uint32_t flagSets[] = {0, CLIT_SHORT_HEX, CLIT_HEX_ALL, CLIT_NO_QUOTES, CLIT_NO_QUOTES | CLIT_SHORT_HEX};
  for (uint32_t flags : flagSets) {
    bool quotes = !(flags & CLIT_NO_QUOTES);
    std::string full = QuoteA(src.data(), (int)src.size(), flags);
    for (int size = 0; size <= (int)full.size() + 3; ++size) {
      SCOPED_TRACE(testing::Message() << "flags " << std::hex << flags << std::dec << " size " << size);
      char buf[64];
      wchar_t wbuf[64];
      std::memset(buf, 'G', sizeof buf);
      std::fill(wbuf, wbuf + 64, L'G');
      int n = QuoteCStringA(buf, size, src.data(), (int)src.size(), flags);
      int wn = QuoteCStringW(wbuf, size, src.data(), (int)src.size(), flags);
      EXPECT_EQ(wn, n);
      EXPECT_EQ(buf[size], 'G') << "wrote past the size";
      EXPECT_EQ(wbuf[size], L'G') << "wrote past the size";
      if (size == 0) {
        EXPECT_EQ(n, 0);
        continue;
      }
      ASSERT_LT(n, size);
      EXPECT_EQ(buf[n], 0);
      EXPECT_EQ(wbuf[n], 0);
      std::string out(buf, n);
      EXPECT_EQ(Widen(out), WString(wbuf, wn));
      if (quotes && size >= 3) {
        ASSERT_GE(n, 2);
        EXPECT_EQ(out.front(), '"');
        EXPECT_EQ(out.back(), '"');
      }
      // What was written is whole: it decodes to a beginning of the source.
      std::string decoded = JoinedA(quotes ? out : "\"" + out + "\"");
      EXPECT_EQ(decoded, src.substr(0, decoded.size())) << out;
      if (size == (int)full.size() + 3) {
        EXPECT_EQ(out, full);
      }
    }
  }
}

TEST(QuoteCString, RoundTripsEveryByte) {
  std::vector<std::string> sources;
  std::string all;
  for (int i = 0; i < 256; ++i) all += (char)i;
  sources.push_back(all);
  // Each byte followed by every hex digit and by a backslash.
  std::string pairs;
  for (int i = 0; i < 256; ++i)
    for (char next : std::string("0123456789abcdefABCDEFgG\\\"")) {
      pairs += (char)i;
      pairs += next;
    }
  sources.push_back(pairs);
  std::string reversed(all.rbegin(), all.rend());
  sources.push_back(reversed);

  const uint32_t flagSets[] = {0, CLIT_SHORT_HEX, CLIT_HEX_ALL, CLIT_HEX_CONTROLS, CLIT_HEX_ALL | CLIT_SHORT_HEX};
  for (const std::string& src : sources) {
    for (uint32_t flags : flagSets) {
      std::string literal = QuoteA(src.data(), (int)src.size(), flags, 1 << 17);
      int used = 0;
      EXPECT_EQ(JoinedA(literal + "tail", 0, &used), src) << std::hex << flags;
      EXPECT_EQ(used, (int)literal.size());
      // Without quotes the content decodes the same way inside quotes.
      std::string bare = QuoteA(src.data(), (int)src.size(), flags | CLIT_NO_QUOTES, 1 << 17);
      EXPECT_EQ("\"" + bare + "\"", literal);
      // 16-bit literal, 8-bit and 16-bit output.
      WString wide = QuoteW(src.data(), (int)src.size(), flags, 1 << 17);
      EXPECT_EQ(JoinedW(wide), src) << std::hex << flags;
      EXPECT_EQ(JoinedW(wide, CLIT_RAW_UTF16), Units(Widen(src))) << std::hex << flags;
    }
  }

  // 16-bit units, surrogates included, through a 16-bit literal.
  WString units;
  for (unsigned u = 0; u < 0x300; ++u) units += (wchar_t)u;
  units += WString{0xD800, 0xDC00, 0xDBFF, 0xD83D, 0xDE00, 0xFFFF, 0x0001, L'f'};
  WString literal = QuoteW(units.data(), (int)units.size() * 2, CLIT_RAW_UTF16 | CLIT_SHORT_HEX, 1 << 17);
  EXPECT_EQ(JoinedW(literal, CLIT_RAW_UTF16), Units(units));
}

TEST(DecodeCStringLiteral, Forms) {
  int used = 0;
  EXPECT_EQ(DecodeA("\"ab\"cd", 0, &used), "ab");
  EXPECT_EQ(used, 4) << "both quotes count";
  EXPECT_EQ(DecodeA("ab\"c", 0, &used), "ab\"c") << "unquoted: a quote is ordinary";
  EXPECT_EQ(used, 4);
  EXPECT_EQ(DecodeA("\"ab\"", CLIT_NO_QUOTES, &used), "\"ab\"");
  EXPECT_EQ(DecodeA("\"a\\\"b", 0, &used), "a\"b") << "unclosed: the NUL ends it";
  EXPECT_EQ(used, 5);
  EXPECT_EQ(DecodeA("\"a\\0b\"", 0), std::string("a\0b", 3));
  EXPECT_EQ(DecodeA("\xE4", CLIT_RAW_UTF16), Units(WString{0xE4}));
  EXPECT_EQ(DecodeA("\\xE4", CLIT_RAW_UTF16), Units(WString{0xE4}));
  EXPECT_EQ(DecodeA("\xE4"
                    "b",
                    CLIT_RAW_UTF8, &used),
            "\xC3\xA4"
            "b");
  EXPECT_EQ(used, 2);
  EXPECT_EQ(DecodeA("\\xE4", CLIT_RAW_UTF8 | CLIT_RAW_UTF16), "\xC3\xA4") << "UTF-8 wins";

  WString w{L'"', 0x20AC, L'\\', L'x', L'1', L'2', L'3', L'"'};
  EXPECT_EQ(DecodeW(w, CLIT_RAW_UTF16, &used), Units(WString{0x20AC, 0x123}));
  EXPECT_EQ(used, 8);
  EXPECT_EQ(DecodeW(w, 0), "\xAC\x23") << "8-bit output keeps the low byte";
  EXPECT_EQ(DecodeW(w, CLIT_RAW_UTF8), "\xE2\x82\xAC\xC4\xA3");
}

TEST(DecodeCStringLiteral, EverySizeWritesWholeCharacters) {
  const char* text = "\"a\xE4\\x7F\\xFF\\n\x80z\"";
  struct Form {
    uint32_t flags;
    int unit;
  } forms[] = {{0, 1}, {CLIT_RAW_UTF16, 2}, {CLIT_RAW_UTF8, 1}};
  for (const Form& f : forms) {
    int fullUsed = 0;
    std::string full = DecodeA(text, f.flags, &fullUsed);
    for (uint32_t size = 0; size <= full.size() + 3; ++size) {
      SCOPED_TRACE(testing::Message() << "flags " << std::hex << f.flags << std::dec << " size " << size);
      unsigned char buf[32];
      std::memset(buf, 0xA5, sizeof buf);
      int used = -1;
      int n = DecodeCStringLiteralA(buf, size | f.flags, text, &used);
      ASSERT_LE((uint32_t)n, size);
      for (uint32_t i = size; i < sizeof buf; ++i) ASSERT_EQ(buf[i], 0xA5) << "wrote past the size at " << i;
      EXPECT_EQ(std::string((char*)buf, n), full.substr(0, n));
      EXPECT_EQ(n % f.unit, 0) << "half a unit";
      if (f.flags & CLIT_RAW_UTF8) {
        // The bytes written decode into exactly the characters consumed.
        std::string again = DecodeA(std::string(text, used), CLIT_RAW_UTF8);
        EXPECT_EQ(again, std::string((char*)buf, n)) << "cut sequence";
      }
      if ((uint32_t)n < size) {
        EXPECT_EQ(buf[n], 0);
      }
      if (f.unit == 2 && (uint32_t)n + 2 <= size) {
        EXPECT_EQ(buf[n + 1], 0) << "whole zero unit";
      }
      if (size > full.size()) {
        EXPECT_EQ(used, fullUsed) << "the closing quote is consumed";
      }
    }
  }
}

TEST(FormatCChar, Table) {
  struct Case {
    int ch;
    const char* quoted;
    const char* bare;
  } cases[] = {
      {'A', "'A'", "A"},         {10, "'\\n'", "\\n"},     {13, "'\\r'", "\\r"},        {9, "'\\t'", "\\t"},
      {7, "'\\a'", "\\a"},       {8, "'\\b'", "\\b"},      {12, "'\\f'", "\\f"},        {11, "'\\v'", "\\v"},
      {1, "'\\x01'", "\\x001"},  {0, "'\\x00'", "\\x000"}, {0x1F, "'\\x1F'", "\\x01F"}, {34, "'\\\"'", "\\\""},
      {39, "'\\''", "\\'"},      {92, "'\\\\'", "\\\\"},   {0x7F, "'\x7F'", "\x7F"},    {0xE4, "'\xE4'", "\xE4"},
      {0x1E4, "'\xE4'", "\xE4"}, {'?', "'?'", "?"},
  };
  for (const Case& c : cases) {
    char out[8];
    wchar_t wout[8];
    EXPECT_EQ(FormatCCharA(c.ch, out, false), (int)strlen(c.quoted));
    EXPECT_STREQ(out, c.quoted);
    EXPECT_EQ(FormatCCharA(c.ch, out, true), (int)strlen(c.bare));
    EXPECT_STREQ(out, c.bare);
    EXPECT_EQ(FormatCCharW(c.ch, wout, false), (int)strlen(c.quoted));
    EXPECT_EQ(WString(wout), Widen(c.quoted));
    EXPECT_EQ(FormatCCharW(c.ch, wout, true), (int)strlen(c.bare));
    EXPECT_EQ(WString(wout), Widen(c.bare));
  }
  // Every character decodes back from its literal, with and without quotes.
  for (int ch = 0; ch < 256; ++ch) {
    char out[8];
    int n = FormatCCharA(ch, out, true);
    int len = 0;
    EXPECT_EQ(DecodeCEscapeA(out, &len), (unsigned)ch);
    EXPECT_EQ(len, n) << ch;
    n = FormatCCharA(ch, out, false);
    EXPECT_LE(n, 6);
    EXPECT_EQ(DecodeCEscapeA(out + 1, &len), (unsigned)ch);
    EXPECT_EQ(len, n - 2) << ch;
  }
}

TEST(DigitRun, LengthAndValue) {
  EXPECT_EQ(DigitRunLengthA("-12x", -10, 4), 3);
  EXPECT_EQ(DigitRunLengthA("-12x", 10, 4), 0);
  EXPECT_EQ(DigitRunLengthA("-", -10, 1), 1);
  EXPECT_EQ(DigitRunLengthA("-12", -10, 0), 0);
  EXPECT_EQ(DigitRunLengthA("1234", 10, 2), 2);
  EXPECT_EQ(DigitRunLengthA("1012", 2, 9), 3);
  EXPECT_EQ(DigitRunLengthA("zZ!", 36, 9), 2);
  const wchar_t w[] = {L'-', L'7', 0x0661, L'7', 0};
  EXPECT_EQ(DigitRunLengthW(w, -8, 4), 2) << "units above 127 end a run";

  struct Case {
    const char* text;
    int radix, n, size;
    uint64_t value;
    int used;
  } cases[] = {
      {"ff", 16, 9, 1, 0xFF, 2},
      {"1fF", 16, 9, 1, 0xFF, 3},  // only the low byte is stored
      {"1fF", 16, 9, 2, 0x1FF, 3},
      {"777", 8, 2, 8, 077, 2},
      {"-5", 10, 9, 4, 0, 0},  // no sign
      {"zz", 36, 9, 4, 1295, 2},
      {"12345678901234567890123", 10, 99, 8, 12345678901234567890ull * 1000 + 123, 23},  // wraps
      {"99", 10, 0, 8, 0, 0},
      {"99", 10, -1, 3, 0, 0},
  };
  for (const Case& c : cases) {
    unsigned char buf[10];
    std::memset(buf, 0xA5, sizeof buf);
    EXPECT_EQ(ParseDigitRunA(buf, c.text, c.radix, c.n, c.size), c.used) << c.text;
    uint64_t v = 0;
    std::memcpy(&v, buf, c.size);
    uint64_t mask = c.size == 8 ? ~0ull : (1ull << (8 * c.size)) - 1;
    EXPECT_EQ(v, c.value & mask) << c.text;
    EXPECT_EQ(buf[c.size], 0xA5) << c.text << ": stored past the value size";
    WString wt = Widen(c.text);
    std::memset(buf, 0xA5, sizeof buf);
    EXPECT_EQ(ParseDigitRunW(buf, wt.c_str(), c.radix, c.n, c.size), c.used) << c.text;
    std::memcpy(&v, buf, c.size);
    EXPECT_EQ(v, c.value & mask) << c.text;
  }
}
