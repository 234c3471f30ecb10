#include "text/codecs/scrambler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "wide.h"

namespace {

TEST(Scrambler, AddsTheKeyBytesInOrderAndRestores) {
  char text[] = "AAAAA";
  EXPECT_EQ(AddKeyToCharsA(text, 0x04030201, -1, 32), 5);
  EXPECT_EQ(std::string(text), "BCDEB");
  EXPECT_EQ(SubtractKeyFromCharsA(text, 0x04030201, -1, 32), 5);
  EXPECT_EQ(std::string(text), "AAAAA");
}

TEST(Scrambler, WrapsIntoTheRangeAboveTheThreshold) {
  char text[] = "\xFA";
  AddKeyToCharsA(text, 10, 1, 32);  // 250 + 10 = 260 -> 260 + 32 - 256
  EXPECT_EQ((unsigned char)text[0], 36);
  SubtractKeyFromCharsA(text, 10, 1, 32);
  EXPECT_EQ((unsigned char)text[0], 250);
}

TEST(Scrambler, LeavesCharactersBelowTheThresholdAndZeroLength) {
  char text[] = "a\nb\tc";
  AddKeyToCharsA(text, 0x01010101, -1, 32);
  EXPECT_EQ(std::string(text), "b\nc\td");
  EXPECT_EQ(AddKeyToCharsA(text, 0x01010101, 0, 32), 0);
  EXPECT_EQ(std::string(text), "b\nc\td");
}

TEST(Scrambler, LargeKeyBytesActAsTheLargestAddend) {
  // Threshold 32: a key byte of 223 or more acts as 222.
  char a[] = "A", b[] = "A";
  AddKeyToCharsA(a, 223, 1, 32);
  AddKeyToCharsA(b, 222, 1, 32);
  EXPECT_EQ(a[0], b[0]);
  char c[] = "A";
  AddKeyToCharsA(c, 255, 1, 32);
  EXPECT_EQ(a[0], c[0]);
}

// Every character, key byte and threshold: the result stays in range and
// unscrambling restores it.
TEST(Scrambler, RoundTripsEveryValue) {
  for (int t : {-5, 0, 1, 2, 32, 128, 200, 253, 254}) {
    int lo = t < 1 ? 1 : t;
    for (int k = 0; k < 256; ++k) {
      for (int c = 1; c < 256; ++c) {
        char s[2] = {(char)c, 0};
        AddKeyToCharsA(s, (uint32_t)k, 1, t);
        int got = (unsigned char)s[0];
        if (c < lo) {
          ASSERT_EQ(got, c);
        } else {
          ASSERT_GE(got, lo) << t << ' ' << k << ' ' << c;
        }
        SubtractKeyFromCharsA(s, (uint32_t)k, 1, t);
        ASSERT_EQ((unsigned char)s[0], c) << t << ' ' << k << ' ' << c;
      }
    }
  }
}

// Threshold 255 leaves a single value: nothing may change, or 255 would be
// lost for good.
TEST(Scrambler, ThresholdOfTheTopValueChangesNothing) {
  char s[] = "\xFF\xFF";
  AddKeyToCharsA(s, 0xFFFFFFFF, -1, 255);
  EXPECT_EQ(std::string(s), "\xFF\xFF");
  SubtractKeyFromCharsA(s, 0x12345678, -1, 255);
  EXPECT_EQ(std::string(s), "\xFF\xFF");
}

TEST(Scrambler, WideFormMatchesAndKeepsUnitsAbove255) {
  const char narrow[] = "Hallo \xE4 Welt\xFF";
  char a[sizeof narrow];
  memcpy(a, narrow, sizeof narrow);
  AddKeyToCharsA(a, 0xDEADBEEF, -1, 32);
  WString w = Wide(narrow);
  w += (wchar_t)0x20AC;
  EXPECT_EQ(AddKeyToCharsW(&w[0], 0xDEADBEEF, -1, 32), (int)w.size());
  EXPECT_EQ(w.substr(0, w.size() - 1), Wide(a));
  EXPECT_EQ(w.back(), (wchar_t)0x20AC);
  SubtractKeyFromCharsW(&w[0], 0xDEADBEEF, (int)w.size(), 32);
  WString expected = Wide(narrow);
  expected += (wchar_t)0x20AC;
  EXPECT_EQ(w, expected);
}

}  // namespace
