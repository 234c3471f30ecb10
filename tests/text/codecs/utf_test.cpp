#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "text/codecs.h"
#include "wide.h"

namespace {

std::string Hex(const std::string& s) {
  std::string r;
  char b[4];
  for (unsigned char c : s) {
    snprintf(b, sizeof b, "%02X ", c);
    r += b;
  }
  return r;
}

std::string ToUtf8(const WString& w) {
  std::vector<char> out(w.size() * 3 + 8, 'G');
  int n = Utf16ToUtf8N(out.data(), w.data(), (int)out.size(), (int)w.size());
  return std::string(out.data(), n);
}

WString ToUtf16(const std::string& s) {
  std::vector<wchar_t> out(s.size() + 8, L'G');
  int n = Utf8ToUtf16N(out.data(), s.data(), (int)out.size(), (int)s.size());
  return WString(out.data(), n);
}

}  // namespace

TEST(Utf8Char, Decode) {
  struct Case {
    const char* bytes;
    unsigned cp;
    int len;
  } cases[] = {
      {"A", 0x41, 1},
      {"\xC3\xA4", 0xE4, 2},
      {"\xC3\x41", 0xC3, 1},  // lead without continuation: Latin-1 byte
      {"\x80", 0x80, 1},      // stray continuation
      {"\xF8\x80\x80\x80", 0xF8, 1},
      {"\xC0\x80", 0, 2},  // overlong forms decode as they stand
      {"\xE2\x82\xAC", 0x20AC, 3},
      {"\xE2\x82", 0xE2, 1},  // cut by the terminator
      {"\xED\xA0\x80", 0xD800, 3},
      {"\xF0\x9F\x98\x80", 0x1F600, 4},
      {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
      {"\xF7\xBF\xBF\xBF", 0x1FFFFF, 4},
      {"\xF0\x9F\x98"
       "A",
       0xF0, 1},
  };
  for (const Case& c : cases) {
    unsigned cp = 12345;
    EXPECT_EQ(DecodeUtf8Char(c.bytes, &cp), c.len) << Hex(c.bytes);
    EXPECT_EQ(cp, c.cp) << Hex(c.bytes);
    EXPECT_EQ(Utf8SequenceLength(c.bytes), c.len) << Hex(c.bytes);
  }
}

TEST(Utf8Char, EncodeAndLengths) {
  struct Case {
    unsigned cp;
    const char* bytes;
  } cases[] = {
      {0x41, "A"},
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0xE4, "\xC3\xA4"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0x20AC, "\xE2\x82\xAC"},
      {0xDC00, "\xED\xB0\x80"},  // surrogate values like any other
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
      {0x21FFFFF, "\xF7\xBF\xBF\xBF"},  // cut to 21 bits
  };
  for (const Case& c : cases) {
    char out[8];
    std::memset(out, 'G', sizeof out);
    int n = EncodeUtf8Char(out, c.cp);
    EXPECT_EQ(std::string(out, n), c.bytes) << std::hex << c.cp;
    EXPECT_EQ(out[n], 'G') << "no terminator";
    EXPECT_EQ(Utf8CharLength(c.cp), n) << std::hex << c.cp;
  }
}

TEST(Utf8Char, SequenceLengthNStopsAtTheCount) {
  const char* euro = "\xE2\x82\xAC";
  EXPECT_EQ(Utf8SequenceLengthN(euro, 3), 3);
  EXPECT_EQ(Utf8SequenceLengthN(euro, 2), 1);
  EXPECT_EQ(Utf8SequenceLengthN(euro, 1), 1);
  EXPECT_EQ(Utf8SequenceLengthN(euro, 0), 0);
  EXPECT_EQ(Utf8SequenceLengthN(euro, -3), 0);
  EXPECT_EQ(Utf8SequenceLengthN("\xF0\x9F\x98\x80", 4), 4);
  unsigned cp = 0;
  EXPECT_EQ(DecodeUtf8CharN(euro, 2, &cp), 1);
  EXPECT_EQ(cp, 0xE2u);
  EXPECT_EQ(DecodeUtf8CharN(euro, 3, &cp), 3);
  EXPECT_EQ(cp, 0x20ACu);
}

// Walking a text backwards finds the same characters as walking it forwards.
TEST(Utf8Char, BackwardsAgreesWithForwards) {
  const std::string texts[] = {
      "a\xC3\xA4"
      "b\xE2\x82\xAC\xF0\x9F\x98\x80",
      "\xC3\xA4\xA4\x80\x80",  // stray continuations after a character
      "\xE2\x82"
      "x\xE2\xC3\xA4\xF0\x9F\x98",  // cut sequences
      "\xF8\x80\x80\x80\x80\xC0\x80\xED\xA0\x80",
      "\x80\x80\x80\xF0\x80\x80\x80\x80",
  };
  for (const std::string& t : texts) {
    std::vector<std::pair<unsigned, int>> forward, backward;
    for (size_t i = 0; i < t.size();) {
      unsigned cp;
      int len = DecodeUtf8CharN(t.data() + i, (int)(t.size() - i), &cp);
      EXPECT_EQ(Utf8SequenceLengthN(t.data() + i, (int)(t.size() - i)), len);
      forward.push_back({cp, len});
      i += len;
    }
    // Four guard bytes in front stand for whatever precedes the text.
    std::string padded = std::string("zzzz") + t;
    const char* end = padded.data() + padded.size();
    for (const char* p = end; p > padded.data() + 4;) {
      unsigned cp;
      int len = DecodeUtf8CharBack(p, &cp);
      backward.insert(backward.begin(), {cp, len});
      p -= len;
    }
    EXPECT_EQ(forward, backward) << Hex(t);
  }
}

TEST(Utf16Char, DecodeEncode) {
  struct Case {
    WString units;
    unsigned cp;
    int len;
  } cases[] = {
      {L"A", 0x41, 1},
      {{0xFFFF}, 0xFFFF, 1},
      {{0xD83D, 0xDE00}, 0x1F600, 2},
      {{0xDBFF, 0xDFFF}, 0x10FFFF, 2},
      {{0xD800, 0xDC00}, 0x10000, 2},
      // Lone surrogates keep their own value.
      {{0xDC00}, 0xDC00, 1},
      {{0xD83D, 0x41}, 0xD83D, 1},
      {{0xD83D}, 0xD83D, 1},
      {{0xDE00, 0xD83D}, 0xDE00, 1},
  };
  for (const Case& c : cases) {
    unsigned cp = 0;
    EXPECT_EQ(DecodeUtf16Char(c.units.c_str(), &cp), c.len) << std::hex << c.cp;
    EXPECT_EQ(cp, c.cp);
    EXPECT_EQ(Utf16SequenceLength(c.units.c_str()), c.len);
    EXPECT_EQ(Utf16CharLength(cp), c.len);
    wchar_t out[4] = {L'G', L'G', L'G', L'G'};
    int n = EncodeUtf16Char(out, cp);
    EXPECT_EQ(WString(out, n), c.units.substr(0, c.len)) << "encoding gives the units back";
    EXPECT_EQ(out[n], L'G');
  }
}

TEST(Utf16Char, BackwardsAndCountedLength) {
  const wchar_t text[] = {0x41, 0xDE00, 0xD83D, 0xDE00, 0xD83D, 0xDE00, 0xDE00, 0x42, 0xD800, 0};
  struct Step {
    int end;
    unsigned cp;
    int len;
  } steps[] = {
      {2, 0xDE00, 1},                                    // low surrogate after 'A' is lone
      {4, 0x1F600, 2}, {6, 0x1F600, 2}, {7, 0xDE00, 1},  // low surrogate after a low one
      {9, 0xD800, 1},                                    // high surrogate at the end
      {1, 0x41, 1},
  };
  for (const Step& s : steps) {
    unsigned cp = 0;
    EXPECT_EQ(DecodeUtf16CharBack(text + s.end, &cp), s.len) << s.end;
    EXPECT_EQ(cp, s.cp) << s.end;
  }
  EXPECT_EQ(Utf16SequenceLengthN(text + 2, 2), 2);
  EXPECT_EQ(Utf16SequenceLengthN(text + 2, 1), 1);
  EXPECT_EQ(Utf16SequenceLengthN(text + 2, 0), 0);
  EXPECT_EQ(Utf16CharLength(0xFFFF), 1);
  EXPECT_EQ(Utf16CharLength(0x10000), 2);
}

TEST(UtfConvert, Examples) {
  char out[16];
  wchar_t wout[16];
  EXPECT_EQ(Latin1ToUtf8N(out, "\xE4", sizeof out, 1), 2);
  EXPECT_STREQ(out, "\xC3\xA4");
  EXPECT_EQ(Latin1ToUtf8(out, "a\x80\xFF", sizeof out), 5);
  EXPECT_STREQ(out, "a\xC2\x80\xC3\xBF");

  const wchar_t pair[] = {0xD83D, 0xDE00, 0};
  EXPECT_EQ(Utf16ToUtf8(out, pair, sizeof out), 4);
  EXPECT_STREQ(out, "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8N(out, pair, sizeof out, 1), 3) << "the low half lies beyond n";
  EXPECT_STREQ(out, "\xED\xA0\xBD");

  EXPECT_EQ(Utf8ToLatin1(out,
                         "\xE2\x82\xAC"
                         "a\xC3\xA4",
                         sizeof out),
            3);
  EXPECT_STREQ(out,
               "\xFF"
               "a\xE4");
  EXPECT_EQ(Utf8ToLatin1(out,
                         "\xC3"
                         "A\x80",
                         sizeof out),
            3)
      << "invalid bytes stay Latin-1";
  EXPECT_STREQ(out,
               "\xC3"
               "A\x80");

  const wchar_t wide[] = {0x41, 0x100, 0xE4, 0xD83D, 0};
  EXPECT_EQ(Utf16ToLatin1N(out, wide, sizeof out, 4), 4);
  EXPECT_STREQ(out, "A\xFF\xE4\xFF");

  EXPECT_EQ(Utf8ToUtf16N(wout, "\xC3\xA4", 16, 1), 1) << "n covers only the lead byte";
  EXPECT_EQ(wout[0], 0xC3);
  EXPECT_EQ(wout[1], 0);
  EXPECT_EQ(Utf8ToUtf16(wout,
                        "\xF0\x9F\x98\x80"
                        "b",
                        16),
            3);
  EXPECT_EQ(WString(wout), (WString{0xD83D, 0xDE00, L'b'}));

  EXPECT_EQ(Latin1ToUtf16N(wout, "a\xE4\x80", 16, 3), 3);
  EXPECT_EQ(WString(wout), (WString{L'a', 0xE4, 0x80}));
}

TEST(UtfConvert, StopsAtZeroAndCount) {
  char out[16];
  wchar_t wout[16];
  int count = -1;
  EXPECT_EQ(Latin1ToUtf8NEx(out, "ab\0cd", 16, &count, 5), 2);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(Utf8ToUtf16N(wout,
                         "a\xC0\x80"
                         "b",
                         16, 4),
            1)
      << "an overlong NUL ends the text too";
  const wchar_t w[] = {L'x', 0, L'y'};
  EXPECT_EQ(Utf16ToUtf8N(out, w, 16, 3), 1);
  EXPECT_EQ(Utf16ToLatin1N(out, w, 16, 3), 1);
  EXPECT_EQ(Latin1ToUtf16N(wout, "ab", 16, 0), 0);
  EXPECT_EQ(wout[0], 0);
  EXPECT_EQ(Latin1ToUtf16N(wout, "ab", 16, -5), 0);

  const wchar_t smile[] = {L'a', 0xD83D, 0xDE00, 0xDC00, 0};
  EXPECT_EQ(Utf16ToUtf8Ex(out, smile, 16, &count), 1 + 4 + 3);
  EXPECT_EQ(count, 3) << "a pair counts once";
  EXPECT_EQ(Latin1ToUtf8Ex(out, "\xE4\xE4", 16, &count), 4);
  EXPECT_EQ(count, 2);
  count = 7;
  EXPECT_EQ(Utf16ToUtf8NEx(out, smile, 0, &count, 4), 0);
  EXPECT_EQ(count, 0);
}

namespace {

// Runs one conversion into a guarded buffer at every size from 0 to past the
// full length: the output never passes the size, is terminated whenever the
// size is at least 1, is a prefix of the full output cut at a character
// boundary, and is only cut when the room kept for one more character is gone.
template <class Unit>
void CheckEverySize(const char* name, const std::function<int(Unit*, int)>& convert, int reserve,
                    const std::vector<int>& boundaries) {
  const Unit guard = (Unit)0x5A;
  std::vector<Unit> full(4096, guard);
  int fullLen = convert(full.data(), (int)full.size());
  ASSERT_EQ(boundaries.back(), fullLen) << name;
  for (int size = 0; size <= fullLen + reserve + 2; ++size) {
    std::vector<Unit> buf(size + 8, guard);
    int len = convert(buf.data(), size);
    SCOPED_TRACE(testing::Message() << name << " size " << size);
    for (int i = size; i < size + 8; ++i) ASSERT_EQ(buf[i], guard) << "wrote past the size at " << i;
    if (size == 0) {
      EXPECT_EQ(len, 0);
      continue;
    }
    ASSERT_GE(len, 0);
    ASSERT_LT(len, size);
    EXPECT_EQ(buf[len], 0) << "terminated";
    EXPECT_TRUE(std::equal(buf.begin(), buf.begin() + len, full.begin()));
    EXPECT_NE(std::find(boundaries.begin(), boundaries.end(), len), boundaries.end()) << "cut inside a character";
    EXPECT_TRUE(len == fullLen || len >= size - reserve) << "cut although the room was there: " << len;
  }
}

// Character boundaries of encoder output.
std::vector<int> Utf8Boundaries(const std::string& s) {
  std::vector<int> b{0};
  for (size_t i = 0; i < s.size();) {
    i += Utf8SequenceLength(s.c_str() + i);
    b.push_back((int)i);
  }
  return b;
}

std::vector<int> Utf16Boundaries(const WString& s) {
  std::vector<int> b{0};
  for (size_t i = 0; i < s.size();) {
    i += Utf16SequenceLengthN(s.data() + i, (int)(s.size() - i));
    b.push_back((int)i);
  }
  return b;
}

std::vector<int> EveryPosition(int n) {
  std::vector<int> b;
  for (int i = 0; i <= n; ++i) b.push_back(i);
  return b;
}

// Mixed 16-bit texts: pairs, lone surrogates of both kinds, BMP and Latin-1.
const std::vector<WString>& WideFixture() {
  static const std::vector<WString> texts = {
      {L'a', 0xE4, 0x20AC, 0xD83D, 0xDE00, L'z'},
      {0xDC00, 0xD800, 0xD83D, 0xDE00, 0xDBFF},
      {0xD800, 0xD800, 0xDC00, 0xDFFF, 0xFFFF, 0x7FF, 0x800, 0x80},
      {L'x'},
      {},
  };
  return texts;
}

// UTF-8 texts with overlong forms, cut and stray sequences and 4-byte forms.
const std::vector<std::string>& Utf8Fixture() {
  static const std::vector<std::string> texts = {
      "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80z",
      "\xC1\xBF\xE0\x80\xAF\xF0\x80\x80\xAF",  // overlong forms
      "\xE2\x82"
      "x\xC3\x80\x80\xF8\xFF\xF0\x9F\x98",  // cut and stray
      "\xED\xA0\x80"
      "a\xED\xB0\x80",  // lone surrogates
      "\xF4\x8F\xBF\xBF\xC3",
  };
  return texts;
}

}  // namespace

TEST(UtfConvert, EverySizeFromUtf16) {
  for (const WString& w : WideFixture()) {
    const wchar_t* src = w.c_str();
    int n = (int)w.size();
    std::string utf8 = ToUtf8(w);
    CheckEverySize<char>(
        "Utf16ToUtf8N", [&](char* d, int size) { return Utf16ToUtf8N(d, src, size, n); }, 4, Utf8Boundaries(utf8));
    CheckEverySize<char>(
        "Utf16ToUtf8Ex",
        [&](char* d, int size) {
          int count = -1;
          int len = Utf16ToUtf8Ex(d, src, size, &count);
          EXPECT_EQ(count, (int)Utf8Boundaries(std::string(d, size > 0 ? len : 0)).size() - 1);
          return len;
        },
        4, Utf8Boundaries(utf8));
    CheckEverySize<char>(
        "Utf16ToLatin1N", [&](char* d, int size) { return Utf16ToLatin1N(d, src, size, n); }, 1, EveryPosition(n));
  }
}

TEST(UtfConvert, EverySizeFromUtf8AndLatin1) {
  for (const std::string& s : Utf8Fixture()) {
    const char* src = s.c_str();
    int n = (int)s.size();
    WString wide = ToUtf16(s);
    CheckEverySize<wchar_t>(
        "Utf8ToUtf16N", [&](wchar_t* d, int size) { return Utf8ToUtf16N(d, src, size, n); }, 2, Utf16Boundaries(wide));
    CheckEverySize<wchar_t>(
        "Utf8ToUtf16", [&](wchar_t* d, int size) { return Utf8ToUtf16(d, src, size); }, 2, Utf16Boundaries(wide));
    int chars = (int)Utf8Boundaries(s).size() - 1;
    CheckEverySize<char>(
        "Utf8ToLatin1N", [&](char* d, int size) { return Utf8ToLatin1N(d, src, size, n); }, 1, EveryPosition(chars));
    // The same bytes taken as Latin-1.
    std::vector<char> utf8(n * 2 + 8);
    int utf8Len = Latin1ToUtf8N(utf8.data(), src, (int)utf8.size(), n);
    CheckEverySize<char>(
        "Latin1ToUtf8N", [&](char* d, int size) { return Latin1ToUtf8N(d, src, size, n); }, 4,
        Utf8Boundaries(std::string(utf8.data(), utf8Len)));
    CheckEverySize<char>(
        "Latin1ToUtf8NEx",
        [&](char* d, int size) {
          int count = -1;
          int len = Latin1ToUtf8NEx(d, src, size, &count, n);
          EXPECT_EQ(count, (int)Utf8Boundaries(std::string(d, size > 0 ? len : 0)).size() - 1);
          return len;
        },
        4, Utf8Boundaries(std::string(utf8.data(), utf8Len)));
    CheckEverySize<wchar_t>(
        "Latin1ToUtf16N", [&](wchar_t* d, int size) { return Latin1ToUtf16N(d, src, size, n); }, 1, EveryPosition(n));
  }
}

TEST(UtfConvert, RoundTrips) {
  // 16-bit units survive the way through UTF-8, lone surrogates included.
  for (const WString& w : WideFixture()) EXPECT_EQ(ToUtf16(ToUtf8(w)), w) << Hex(ToUtf8(w));

  // UTF-8 settles after one way through UTF-16: invalid bytes become their
  // Latin-1 characters, overlong forms their shortest form.
  for (const std::string& s : Utf8Fixture()) {
    std::string once = ToUtf8(ToUtf16(s));
    EXPECT_EQ(ToUtf8(ToUtf16(once)), once) << Hex(s);
  }
  EXPECT_EQ(ToUtf8(ToUtf16("\xC1\xBF\xE2\x82"
                           "x\xF0\x80\x80\xAF")),
            "\x7F\xC3\xA2\xC2\x82x/");

  // Every byte 1-255 survives Latin-1 -> UTF-8 -> Latin-1 and -> UTF-16 -> Latin-1.
  char all[256], utf8[520], back[256];
  wchar_t wide[256];
  for (int i = 0; i < 255; ++i) all[i] = (char)(i + 1);
  all[255] = 0;
  EXPECT_EQ(Latin1ToUtf8(utf8, all, sizeof utf8), 127 + 128 * 2);
  EXPECT_EQ(Utf8ToLatin1(back, utf8, sizeof back), 255);
  EXPECT_STREQ(back, all);
  EXPECT_EQ(Latin1ToUtf16N(wide, all, 256, 255), 255);
  EXPECT_EQ(Utf16ToLatin1N(back, wide, 256, 255), 255);
  EXPECT_STREQ(back, all);
}

TEST(UtfConvert, SmallSizesStillTerminate) {
  struct Case {
    const char* name;
    std::function<int(char*, int)> convert;
  } cases[] = {
      {"Latin1ToUtf8N", [](char* d, int size) { return Latin1ToUtf8N(d, "\xE4", size, 1); }},
      {"Latin1ToUtf8", [](char* d, int size) { return Latin1ToUtf8(d, "a", size); }},
      {"Utf16ToUtf8", [](char* d, int size) { return Utf16ToUtf8(d, L"a", size); }},
      {"Utf8ToLatin1N", [](char* d, int size) { return Utf8ToLatin1N(d, "a", size, 1); }},
      {"Utf16ToLatin1N", [](char* d, int size) { return Utf16ToLatin1N(d, L"a", size, 1); }},
  };
  for (const Case& c : cases) {
    for (int size = 1; size <= 4; ++size) {
      char buf[8];
      std::memset(buf, 'G', sizeof buf);
      int len = c.convert(buf, size);
      EXPECT_EQ(buf[len], 0) << c.name << " size " << size;
      EXPECT_EQ(buf[size], 'G') << c.name << " size " << size;
    }
  }
  EXPECT_EQ(Latin1ToUtf8N(nullptr, "\xE4", 0, 1), 0);
  wchar_t w[4] = {L'G', L'G', L'G', L'G'};
  EXPECT_EQ(Latin1ToUtf16N(w, "a", 1, 1), 0);
  EXPECT_EQ(w[0], 0);
  EXPECT_EQ(w[1], L'G');
  w[0] = L'G';
  EXPECT_EQ(Utf8ToUtf16(w, "a", 1), 0);
  EXPECT_EQ(w[0], 0);
  EXPECT_EQ(Utf8ToUtf16(w, "ab", 3), 1);
  EXPECT_EQ(w[1], 0);
}
