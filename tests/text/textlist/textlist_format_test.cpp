// CTextList's formatted adding and assignment.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "text/textlist/textlistsink.h"
#include "textlist_util.h"

namespace {

TEST(TextListFormat, InsertAndAdd) {
  CTextList list;
  EXPECT_EQ(list.AddFormat("%d-%s", 7, "x"), 0);
  EXPECT_EQ(Texts(list)[0], "7-x");
  EXPECT_EQ(list.InsertFormat(0, "%03d", 5), 0);
  EXPECT_EQ(list.InsertFormat(99, "end"), 2) << "beyond count appends";
  EXPECT_EQ(Texts(list), (TextVec{"005", "7-x", "end"}));
  EXPECT_EQ(list.AddFormat("a%cb", 0), 3);
  EXPECT_EQ(list.LengthAt(3), 3u) << "the NUL from the format counts";
  EXPECT_EQ(Texts(list)[3], std::string("a\0b", 3));

  CTextList data(4);
  uint32_t extra = 0xABCD;
  EXPECT_EQ(data.InsertFormatData(&extra, -1, "%s", "k"), 0);
  uint32_t stored;
  std::memcpy(&stored, data.items[0], 4);
  EXPECT_EQ(stored, 0xABCDu);
}

TEST(TextListFormat, LongTextGrowsTheBuffer) {
  CTextList list;
  std::string long_text(3000, 'q');
  EXPECT_EQ(list.AddFormat("%s", long_text.c_str()), 0);
  EXPECT_EQ(list.LengthAt(0), 3000u);
  EXPECT_EQ(Texts(list)[0], long_text);
  EXPECT_EQ(list.AddFormat((long_text + "%d").c_str(), 12), 1);
  EXPECT_EQ(Texts(list)[1], long_text + "12");

  // The first growth takes length + count + half the capacity + 256.
  char stack[1024];
  TextListSinkState state = {stack, 1024, 0, 0};
  EXPECT_EQ(SinkTextList(&state, long_text.c_str(), 3000), 3000);
  EXPECT_EQ(state.capacity, 3000 + 512 + 256);
  EXPECT_EQ(state.onHeap, 1);
  EXPECT_EQ(SinkTextList(&state, "x", 0), 0);
  EXPECT_EQ(state.length, 3000);
  delete[] state.buffer;
}

TEST(TextListFormat, SortedInserts) {
  CTextList list;
  list.AddFormat("a");
  list.AddFormat("c");
  EXPECT_EQ(list.InsertSortedFormat(8u, "%s", "b"), 1);
  EXPECT_EQ(Texts(list), (TextVec{"a", "b", "c"}));

  CTextList keyed(4);
  uint32_t k1 = 1, k3 = 3, k2 = 2;
  keyed.InsertStringLen(1, "c", -1, &k1);
  keyed.InsertStringLen(1, "c", -1, &k3);
  int at = keyed.InsertSortedByData32Format(&k2, 8u, "two");
  EXPECT_EQ(at, 1);
  EXPECT_EQ(Texts(keyed), (TextVec{"c", "two", "c"}));
  // With flag 4 the new item goes behind equal keys.
  EXPECT_EQ(keyed.InsertSortedByData32Format(&k2, 12u, "%s", "2b"), 2);
  EXPECT_EQ(keyed.InsertSortedByDataFormat(&k3, 12u, "%c", 'd'), 4);
  EXPECT_EQ(Texts(keyed), (TextVec{"c", "two", "2b", "c", "d"}));
  // Without extra data the key is 0, as the new item's zeroed extra bytes.
  EXPECT_EQ(keyed.InsertSortedByData32Format(8u, "zero"), 0);

  CTextList wide(8);
  uint64_t big = 0x100000000ULL, small = 5;
  wide.InsertSortedByData64Format(&big, 8u, "big");
  EXPECT_EQ(wide.InsertSortedByData64FormatAlt(&small, 8u, "small"), 0);
  EXPECT_EQ(Texts(wide), (TextVec{"small", "big"}));
}

TEST(TextListFormat, EqualTextGoesBehindWithFlag4) {
  CTextList list;
  list.AddFormat("a");
  list.AddFormat("c");
  EXPECT_EQ(list.InsertSortedFormat(12u, "c"), 2);
  EXPECT_EQ(list.InsertSortedFormat(8u, "0"), 0);
  EXPECT_EQ(Texts(list), (TextVec{"0", "a", "c", "c"}));
}

TEST(TextListFormat, SetAndAppend) {
  CTextList list(4);
  uint32_t extra = 9;
  list.InsertStringLen(3, "old", -1, &extra);
  EXPECT_EQ(list.SetFormat(0, "new%d", 1), 0);
  EXPECT_EQ(Texts(list)[0], "new1");
  uint32_t stored;
  std::memcpy(&stored, list.items[0], 4);
  EXPECT_EQ(stored, 9u) << "no extra keeps the old extra data";
  EXPECT_EQ(list.AppendFormat(0, "+%s", "x"), 0);
  EXPECT_EQ(Texts(list)[0], "new1+x");
  EXPECT_EQ(list.SetFormat(1, "no"), -1);
  EXPECT_EQ(list.AppendFormat(-1, "no"), -1);
  EXPECT_EQ(list.SetFormatData(&extra, 5, "no"), -1);
  EXPECT_EQ(list.count, 1);
}

TEST(TextListFormat, Assignment) {
  CTextList three(4), five;
  three.AddFormat("1");
  three.AddFormat("2");
  three.AddFormat("3");
  three.mruLimit = 7;
  three.ownerWord = 42;
  for (int i = 0; i < 5; ++i) five.AddFormat("%d", i);
  five = three;
  EXPECT_EQ(Texts(five), (TextVec{"1", "2", "3"}));
  EXPECT_EQ(five.extraSize, 4u);
  EXPECT_EQ(five.mruLimit, 7);
  EXPECT_EQ(five.ownerWord, 42u);
  EXPECT_NE(five.items[0], three.items[0]) << "copies, not shared items";

  CTextList& same = five;
  five = same;
  EXPECT_EQ(Texts(five), (TextVec{"1", "2", "3"})) << "assigning a list to itself leaves it unchanged";
}

}  // namespace
