#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "text/strings.h"
#include "text/textlist/textlist.h"
#include "textlist_util.h"

namespace {

int Find(const CTextList& list, const char* text, unsigned mode, int from = 0, int to = -1) {
  return list.FindString((int)std::strlen(text), text, from, to, mode);
}

int BinFind(const CTextList& list, const char* text, unsigned flags) {
  return list.BinaryFindString((int)std::strlen(text), text, 0, -1, flags);
}

// Items whose first extra word is the given key (other extra bytes zero).
void FillKeys(CTextList& list, const std::vector<int32_t>& keys) {
  for (int32_t k : keys) {
    std::vector<char> extra(list.extraSize);
    std::memcpy(extra.data(), &k, 4);
    list.InsertString(("k" + std::to_string(k)).c_str(), -1, extra.data());
  }
}

int CompareIntKey(const void* key, const char* item, void* context) {
  ++*static_cast<int*>(context);
  int32_t a = *static_cast<const int32_t*>(key), b;
  std::memcpy(&b, item, 4);
  return (a > b) - (a < b);
}

}  // namespace

TEST(TextListFind, TextModes) {
  CTextList list;
  Fill(list, {"xyz", "ABC", "AB{D", "abcdefghiJ", "ab"});
  struct Case {
    const char* text;
    unsigned mode;
    int found;
  } cases[] = {
      {"abc", 0, -1},
      {"ABC", 0, 1},
      {"abc", 1, 1},
      {"abc", 0x12345678, 1},
      {"ab[d", 0x12345678, 2},  // bit 5 ignored in the first four bytes
      {"ab[d", 1, -1},
      {"ABCDEFGHIj", 0x12345678, 3},
      {"ABCDEFGHI", 1, -1},  // lengths differ
      {"AB", 0x12345678, 4},
      {"aB", 7, 4},
      {"", 1, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(Find(list, c.text, c.mode), c.found) << c.text << " mode " << c.mode;

  // Bit 5 is ignored only in the leading word(s); the rest is caseless proper.
  CTextList eight;
  Fill(eight, {"ab@defgh[x"});
  EXPECT_EQ(Find(eight, "AB`DEFGH[X", 0x12345678), 0);
  EXPECT_EQ(Find(eight, "AB`DEFGH{X", 0x12345678), -1);

  // Items with inner NULs compare over their stored length.
  CTextList nul;
  Fill(nul, {std::string("a\0b", 3), "a"});
  EXPECT_EQ(nul.FindString(3, "a\0b", 0, -1, 0), 0);
  EXPECT_EQ(nul.FindString(1, "a", 0, -1, 0), 1);
  EXPECT_EQ(nul.FindString(0, nullptr, 0, -1, 0), -1);
}

TEST(TextListFind, LinearRanges) {
  CTextList list;
  Fill(list, {"a", "b", "a"});
  EXPECT_EQ(Find(list, "a", 0, 5), -1);
  EXPECT_EQ(Find(list, "a", 0, 1, -1), 2) << "to -1 searches to the end";
  EXPECT_EQ(Find(list, "a", 0, -4, 2), 0) << "from below 0 counts as 0";
  EXPECT_EQ(Find(list, "a", 0, 1, 2), -1) << "to is exclusive";
  EXPECT_EQ(Find(list, "b", 0, 2, 1), -1) << "empty range";
}

TEST(TextListFind, DataKeys) {
  CTextList none;
  Fill(none, {"x"});
  EXPECT_EQ(none.FindData32(0), -1) << "no extra data";
  EXPECT_EQ(none.FindData32String(0, 1, "x", 0, -1, 0), -1);

  CTextList list(12);
  struct Extra {
    uint32_t key;
    uint32_t junk;
    uint32_t third;
  } e[] = {{7, 1, 30}, {7, 2, 31}, {8, 3, 32}};
  list.InsertString("ab", -1, &e[0]);
  list.InsertString("cd", -1, &e[1]);
  list.InsertString("cd", -1, &e[2]);
  EXPECT_EQ(list.FindData32String(7, 2, "cd", 0, -1, 0), 1) << "whatever the following bytes hold";
  EXPECT_EQ(list.FindData32String(8, 2, "CD", 0, -1, 1), 2);
  EXPECT_EQ(list.FindData32String(8, 2, "ab", 0, -1, 1), -1);
  EXPECT_EQ(list.FindData32(8), 2);
  EXPECT_EQ(list.FindData32(7, 1), 1);
  EXPECT_EQ(list.FindData32At(31, 8), 1);
  EXPECT_EQ(list.FindData32At(31, 9), -1) << "needs offset + 4 bytes";
  EXPECT_EQ(list.FindData64((uint64_t)2 << 32 | 7), 1);
  EXPECT_EQ(list.FindData64At((uint64_t)32 << 32 | 3, 4), 2) << "a 64-bit key at offset 4";
  EXPECT_EQ(list.FindData64At(0, 5), -1);
  EXPECT_EQ(list.FindData64String((uint64_t)1 << 32 | 7, 2, "AB", 0, -1, 0), -1);
  EXPECT_EQ(list.FindData64String((uint64_t)1 << 32 | 7, 2, "AB", 0, -1, 1), 0);
}

TEST(TextListFind, BinaryFlagTable) {
  CTextList list;
  Fill(list, {"a", "b", "b", "c"});
  struct Case {
    const char* key;
    unsigned flags;
    int result;
  } cases[] = {
      {"b", 0, 2},  {"b", 2, 1},   {"b", 4, 3}, {"b", 8, 2}, {"b", 12, 3}, {"b", 10, 1},    {"bb", 0, -1},
      {"bb", 8, 3}, {"bb", 2, -1}, {"0", 8, 0}, {"d", 8, 4}, {"d", 0, -1}, {"a", 2, 0},     {"c", 4, 4},
      {"B", 0, -1}, {"B", 1, 2},   {"B", 3, 1}, {"B", 5, 3}, {"", 8, 0},   {"", 16 | 8, 4},  // the empty key is a
                                                                                             // prefix of every item
  };
  for (const Case& c : cases) EXPECT_EQ(BinFind(list, c.key, c.flags), c.result) << c.key << " flags " << c.flags;

  CTextList prefix;
  Fill(prefix, {"a", "ab"});
  EXPECT_EQ(BinFind(prefix, "a", 0), 0);
  CTextList reversed;
  Fill(reversed, {"ab", "a"});
  EXPECT_EQ(BinFind(reversed, "a", 16), 1) << "with 16 a prefix sorts after";
  EXPECT_EQ(BinFind(reversed, "ab", 16), 0);
  EXPECT_EQ(BinFind(reversed, "abc", 16 | 8), 0);

  CTextList empty;
  EXPECT_EQ(BinFind(empty, "x", 8), 0);
  EXPECT_EQ(BinFind(empty, "x", 0), -1);
  EXPECT_EQ(list.BinaryFindString(1, "b", 9, -1, 8), 4) << "from beyond count";
  EXPECT_EQ(list.BinaryFindString(1, "b", 2, 2, 8), -1) << "empty range, even with flag 8";
  EXPECT_EQ(list.BinaryFindString(1, "b", 2, -1, 2), 2) << "first equal within the range";
  EXPECT_EQ(list.BinaryFindString(-1, "b", 0, -1, 8), -1);
}

TEST(TextListFind, BinaryFlagsOverLongRuns) {
  // Every position of every key in runs of equal items, checked against the
  // plain definitions of first, after-last and insertion point.
  CTextList list(4);
  std::vector<int32_t> keys;
  for (int k = 0; k < 40; ++k)
    for (int r = 0; r < k % 5; ++r) keys.push_back(2 * k);
  FillKeys(list, keys);
  for (int32_t key = -1; key <= 81; ++key) {
    int first = (int)(std::lower_bound(keys.begin(), keys.end(), key) - keys.begin());
    int after = (int)(std::upper_bound(keys.begin(), keys.end(), key) - keys.begin());
    bool hit = first != after;
    EXPECT_EQ(list.BinaryFindData32(key, 0, -1, 2), hit ? first : -1) << key;
    EXPECT_EQ(list.BinaryFindData32(key, 0, -1, 4), hit ? after : -1) << key;
    EXPECT_EQ(list.BinaryFindData32(key, 0, -1, 2 | 8), first) << key;
    EXPECT_EQ(list.BinaryFindData32(key, 0, -1, 4 | 8), after) << key;
    int any = list.BinaryFindData32(key, 0, -1, 0);
    if (hit)
      EXPECT_TRUE(any >= first && any < after) << key;
    else
      EXPECT_EQ(any, -1) << key;
  }
}

TEST(TextListFind, BinaryNumberKeys) {
  CTextList list(8);
  FillKeys(list, {0, 5});
  EXPECT_EQ(list.BinaryFindData32(-1, 0, -1, 8), 0) << "signed";
  EXPECT_EQ(list.BinaryFindData32(-1, 0, -1, 9), 2) << "unsigned";
  EXPECT_EQ(list.BinaryFindData32At(1, 4, 0, -1, 8), 2);
  EXPECT_EQ(list.BinaryFindData32At(0, 5, 0, -1, 8), -1) << "needs offset + 4 bytes";

  CTextList wide(8);
  for (int64_t k : {(int64_t)-5, (int64_t)1 << 40, (int64_t)3 << 40}) wide.InsertString("k", -1, &k);
  EXPECT_EQ(wide.BinaryFindData64((uint64_t)1 << 40, 0, -1, 0), 1);
  EXPECT_EQ(wide.BinaryFindData64((uint64_t)2 << 40, 0, -1, 8), 2);
  EXPECT_EQ(wide.BinaryFindData64(0, 0, -1, 8), 1);
  EXPECT_EQ(wide.BinaryFindData64At((uint64_t)-1, 0, 0, -1, 9), 3) << "unsigned: -1 is the largest";
  EXPECT_EQ(list.BinaryFindData64(0, 0, -1, 8), 0);
  CTextList narrow(4);
  FillKeys(narrow, {1});
  EXPECT_EQ(narrow.BinaryFindData64(1, 0, -1, 8), -1) << "extra size 4 is too small";

  // Key then text: the key decides first, then the text.
  CTextList keyed(4);
  uint32_t k1 = 1, k2 = 2;
  keyed.InsertString("b", -1, &k1);
  keyed.InsertString("a", -1, &k2);
  keyed.InsertString("c", -1, &k2);
  EXPECT_EQ(keyed.BinaryFindData32String(2, 1, "c", 0, -1, 0), 2);
  EXPECT_EQ(keyed.BinaryFindData32String(2, 1, "b", 0, -1, 8), 2);
  EXPECT_EQ(keyed.BinaryFindData32String(1, 1, "z", 0, -1, 8), 1);
  EXPECT_EQ(keyed.BinaryFindData32String((uint32_t)-1, 1, "a", 0, -1, 8), 3) << "the key is unsigned";
  EXPECT_EQ(keyed.BinaryFindData64String(2, 1, "a", 0, -1, 8), -1) << "needs 8 extra bytes";
}

TEST(TextListFind, BinaryComparators) {
  CTextList list(4);
  FillKeys(list, {1, 3, 3, 5});
  int calls = 0;
  int32_t three = 3, four = 4;
  EXPECT_EQ(list.BinaryFindWith(&calls, &three, 0, -1, 12, CompareIntKey), 3);
  EXPECT_GT(calls, 0) << "the context reaches the comparator";
  EXPECT_EQ(list.BinaryFindWith(&calls, &four, 0, -1, 12, CompareIntKey), 3);
  EXPECT_EQ(list.BinaryFindDataWith(&three, 0, -1, 2,
                                    [](const void* key, const char* item) {
                                      int32_t a = *static_cast<const int32_t*>(key), b;
                                      std::memcpy(&b, item, 4);
                                      return (a > b) - (a < b);
                                    }),
            1);

  CTextList texts;
  Fill(texts, {"Alpha", "beta", "GAMMA"});
  EXPECT_EQ(texts.BinaryFindTextWith("BETA", 0, -1, 0, CompareNoCaseA), 1);
  EXPECT_EQ(texts.BinaryFindTextWith("delta", 0, -1, 8, CompareNoCaseA), 2);

  // Counted comparator: on a tie the longer text sorts before the shorter.
  CTextList counted;
  Fill(counted, {"abc", "ab", "b"});
  EXPECT_EQ(counted.BinaryFindTextLenWith(2, "AB", 0, -1, 0, CompareNoCaseNA), 1);
  EXPECT_EQ(counted.BinaryFindTextLenWith(3, "abc", 0, -1, 0, CompareNoCaseNA), 0);
  EXPECT_EQ(counted.BinaryFindTextLenWith(1, "a", 0, -1, 8, CompareNoCaseNA), 2);
  EXPECT_EQ(counted.BinaryFindTextLenWith(-1, "a", 0, -1, 8, CompareNoCaseNA), -1);
}
