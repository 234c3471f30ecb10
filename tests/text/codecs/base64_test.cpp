#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "text/codecs.h"
#include "wide.h"

namespace {

std::string EncodeA(const std::string& data, int lineLength, int* result = nullptr) {
  std::vector<char> out(data.size() * 2 + 16, '#');
  int n = Base64EncodeA(data.data(), (int)data.size(), out.data(), lineLength);
  if (result) *result = n;
  EXPECT_EQ(out[n], 0);
  return std::string(out.data(), n);
}

// The 16-bit encoder gives the same text, widened.
void ExpectSameWide(const std::string& data, int lineLength, const std::string& narrow) {
  std::vector<wchar_t> out(data.size() * 2 + 16, L'#');
  int n = Base64EncodeW(data.data(), (int)data.size(), out.data(), lineLength);
  EXPECT_EQ(WString(out.data(), n), Wide(narrow.c_str()));
  EXPECT_EQ(out[n], 0);
}

// Feeds data in pieces of the given sizes, then the final call.
std::string EncodePieces(const std::string& data, const std::vector<int>& pieces, int lineLength) {
  std::string text;
  uint32_t state = 0;
  size_t at = 0;
  char out[512];
  for (int piece : pieces) {
    int n = Base64EncodePartA(data.data() + at, piece, &state, out, lineLength);
    text.append(out, n);
    at += piece;
  }
  int n = Base64EncodePartA(nullptr, 0, &state, out, lineLength);
  text.append(out, n);
  EXPECT_EQ(out[n], 0);
  return text;
}

std::string Decode(const char* text, int max = 100, int n = 1000) {
  char out[100];
  int got = Base64DecodeA(out, max, text, n);
  return std::string(out, got);
}

std::string Bytes(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += (char)(i * 37 + 11);
  return s;
}

}  // namespace

TEST(Base64, Rfc4648Vectors) {
  struct Case {
    const char* data;
    const char* text;
  } cases[] = {{"", ""},
               {"f", "Zg=="},
               {"fo", "Zm8="},
               {"foo", "Zm9v"},
               {"foob", "Zm9vYg=="},
               {"fooba", "Zm9vYmE="},
               {"foobar", "Zm9vYmFy"}};
  for (const Case& c : cases) {
    int result;
    EXPECT_EQ(EncodeA(c.data, 0, &result), c.text);
    EXPECT_EQ(result, (int)strlen(c.text));
    ExpectSameWide(c.data, 0, c.text);
    // With lines, a non-empty text ends with a LF, counted in the result.
    std::string lined = *c.data ? std::string(c.text) + "\n" : "";
    EXPECT_EQ(EncodeA(c.data, 64, &result), lined);
    EXPECT_EQ(result, (int)lined.size());
    EXPECT_EQ(Decode(c.text), c.data);
  }
  EXPECT_EQ(EncodeA("\xFB\xFF\xBF", 0), "+/+/");
  EXPECT_EQ(Decode("+/+/"), "\xFB\xFF\xBF");
}

TEST(Base64, LineBreaksAfterEveryLine) {
  std::string data = Bytes(48);
  std::string text = EncodeA(data, 64);
  ASSERT_EQ(text.size(), 65u);
  EXPECT_EQ(text.find('\n'), 64u);

  text = EncodeA(Bytes(49), 64);
  ASSERT_EQ(text.size(), 70u);
  EXPECT_EQ(text.substr(64, 1), "\n");
  EXPECT_EQ(text.substr(67), "==\n");
  ExpectSameWide(Bytes(49), 64, text);

  // 47 bytes: the last line ends with '=' and its LF.
  text = EncodeA(Bytes(47), 64);
  EXPECT_EQ(text.size(), 65u);
  EXPECT_EQ(text.substr(63), "=\n");

  // Short lines: the padding may carry a line past its length.
  EXPECT_EQ(EncodeA("abcd", 3), "YWJ\njZA==\n");
  EXPECT_EQ(EncodeA("f", 1), "Z\ng==\n");
  EXPECT_EQ(EncodeA("fo", 2), "Zm\n8=\n");

  int result = -1;
  EXPECT_EQ(EncodeA("", 64, &result), "");
  EXPECT_EQ(result, 0);
  char out[4] = "###";
  EXPECT_EQ(Base64EncodeA("x", -5, out, 64), 0);
  EXPECT_EQ(out[0], 0);
}

TEST(Base64, PiecesCarryBytesAndColumn) {
  char out[64];
  uint32_t state = 0;
  EXPECT_EQ(Base64EncodePartA("fo", 2, &state, out, 0), 0);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(state, 0x20006F66u);  // two carried bytes
  EXPECT_EQ(Base64EncodePartA("o", 1, &state, out, 0), 4);
  EXPECT_STREQ(out, "Zm9v");
  EXPECT_EQ(Base64EncodePartA(nullptr, 0, &state, out, 0), 0);
  EXPECT_STREQ(out, "");

  state = 0;
  EXPECT_EQ(Base64EncodePartA("f", 1, &state, out, 0), 0);
  EXPECT_EQ(Base64EncodePartA(nullptr, 0, &state, out, 0), 2);
  EXPECT_STREQ(out, "Zg");  // no padding

  // A byte joining a carried one at a nonzero column: nothing written, no LF.
  state = 0;
  EXPECT_EQ(Base64EncodePartA("abcd", 4, &state, out, 8), 4);
  EXPECT_STREQ(out, "YWJj");
  EXPECT_EQ(state >> 16 & 0x7FF, 4u);
  EXPECT_EQ(Base64EncodePartA("e", 1, &state, out, 8), 0);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(state, 0x20046564u);
  // A piece that brings nothing while bytes are carried leaves the destination alone.
  strcpy(out, "keep");
  EXPECT_EQ(Base64EncodePartA("", 0, &state, out, 8), 0);
  EXPECT_STREQ(out, "keep");
  EXPECT_EQ(Base64EncodePartA(nullptr, 0, &state, out, 8), 4);
  EXPECT_STREQ(out, "ZGU\n");

  wchar_t wide[16];
  state = 0;
  EXPECT_EQ(Base64EncodePartW("foob", 4, &state, wide, 0), 4);
  EXPECT_EQ(WString(wide), Wide("Zm9v"));
  EXPECT_EQ(Base64EncodePartW(nullptr, 0, &state, wide, 0), 2);
  EXPECT_EQ(WString(wide), Wide("Yg"));
}

TEST(Base64, PiecewiseEqualsOneCallWithoutPadding) {
  std::vector<std::vector<int>> splits = {{}, {1}, {2}, {3}, {1, 1, 1}, {2, 2, 2, 2}, {5, 0, 7}, {40, 1, 8}};
  for (int size : {0, 1, 2, 3, 4, 47, 48, 49, 50, 100}) {
    std::string data = Bytes(size);
    for (int lineLength : {0, 4, 5, 64}) {
      std::string whole = EncodeA(data, lineLength);
      std::string unpadded;
      for (char c : whole)
        if (c != '=') unpadded += c;
      for (std::vector<int> split : splits) {
        int used = 0;
        for (int& p : split) used += p = std::min(p, size - used);
        split.push_back(size - used);
        EXPECT_EQ(EncodePieces(data, split, lineLength), unpadded) << size << " bytes, lines " << lineLength;
      }
    }
  }
}

TEST(Base64, DecodingSkipsWhatIsNoAlphabetAndStops) {
  EXPECT_EQ(Decode("Z m\n9\r\nv"), "foo");
  EXPECT_EQ(Decode("Zg=="), "f");
  EXPECT_EQ(Decode("Zg"), "f");
  EXPECT_EQ(Decode("Z\xE4g"), "f");  // characters from 128 up are skipped too
  char withNul[] = "Zm8\0Zm9v";
  EXPECT_EQ(Decode(withNul, 100, 8), "fo");
  EXPECT_EQ(Decode("Zm9v", 2), "fo");
  EXPECT_EQ(Decode("Zm9v", 0), "");
  EXPECT_EQ(Decode("Zm9vYmFy", 100, 4), "foo");

  wchar_t text[] = {L'Z', 0x416, L'm', L'9', 0xFF5A, L'v', 0};  // units above 255 skipped
  char out[8];
  EXPECT_EQ(Base64DecodeW(out, 8, text, 100), 3);
  EXPECT_EQ(std::string(out, 3), "foo");
}

TEST(Base64, DecodingPiecesCarriesPendingBits) {
  char out[8];
  uint32_t state = 0;
  EXPECT_EQ(Base64DecodePartA(out, 8, &state, "Zm", 2), 1);
  EXPECT_EQ(out[0], 'f');
  EXPECT_EQ(state >> 28, 4u);
  EXPECT_EQ(Base64DecodePartA(out, 8, &state, "9v", 2), 2);
  EXPECT_EQ(std::string(out, 2), "oo");
  EXPECT_EQ(state >> 28, 0u);

  // A maximum below 1 returns at once and keeps the state.
  state = 0x40000006u;
  EXPECT_EQ(Base64DecodePartA(out, 0, &state, "Zm9v", 4), 0);
  EXPECT_EQ(state, 0x40000006u);

  // Every split of a text decodes as the whole does.
  const char* text = "Zm9v\nYmFy\nYmF6";
  char all[16];
  for (int cut = 0; cut <= 14; ++cut) {
    std::string got;
    state = 0;
    int n = Base64DecodePartA(all, 16, &state, text, cut);
    got.append(all, n);
    n = Base64DecodePartA(all, 16, &state, text + cut, 100);
    got.append(all, n);
    EXPECT_EQ(got, "foobarbaz") << cut;
  }
  wchar_t wide[] = {L'Z', L'm', 0};
  state = 0;
  EXPECT_EQ(Base64DecodePartW(out, 8, &state, wide, 2), 1);
  EXPECT_EQ(state >> 28, 4u);
}

TEST(Base64, DecodedSizeCountsAlphabetCharacters) {
  EXPECT_EQ(Base64DecodedSizeA("Zm9v\nZg==", 100), 4);
  EXPECT_EQ(Base64DecodedSizeA("\\\\\\\\", 100), 0);
  EXPECT_EQ(Base64DecodedSizeA("Zm9vYmFy", 6), 4);
  EXPECT_EQ(Base64DecodedSizeA("Zm9vYmFy", 0), 0);
  EXPECT_EQ(Base64DecodedSizeA("", 10), 0);
  wchar_t wide[] = {L'Z', 0x416, L'm', L'9', L'v', L'=', 0};
  EXPECT_EQ(Base64DecodedSizeW(wide, 100), 3);
  // The estimate is what the decoder writes.
  for (const char* t : {"Zm9vYmFy", "Zm9vYmE", "Zm9vYm", "Zm9vY", " a-b_c\n==d", "Zm\09v"}) {
    char out[16];
    EXPECT_EQ(Base64DecodedSizeA(t, 100), Base64DecodeA(out, 16, t, 100)) << t;
  }
}
