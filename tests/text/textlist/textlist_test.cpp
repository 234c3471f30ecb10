#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/textlist/textlist.h"
#include "textlist_util.h"

namespace {

uint32_t Word(const CTextList& list, int i) {
  uint32_t v;
  std::memcpy(&v, list.items[i], 4);
  return v;
}

}  // namespace

TEST(TextList, NewListAndItemLayout) {
  CTextList list(4);
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(list.items, nullptr);
  EXPECT_EQ(list.RemoveAll(), 1);

  uint32_t extra = 0xA1B2C3D4;
  EXPECT_EQ(list.InsertString("abc", -1, &extra), 0);
  EXPECT_EQ(list.InsertString(nullptr), 1);
  const char* item = list.items[0];
  EXPECT_EQ(CTextList::LengthOf(item), 3u);
  EXPECT_EQ(Word(list, 0), 0xA1B2C3D4u);
  EXPECT_STREQ(item + 4, "abc");
  EXPECT_EQ(CTextList::LengthOf(list.items[1]), 0u);
  EXPECT_STREQ(list.TextAt(1), "");
  EXPECT_EQ(Word(list, 1), 0u) << "no extra data given: zeroed";

  // An explicit length keeps inner NULs and the terminator follows.
  EXPECT_EQ(list.InsertStringLen(3, "a\0b", 0), 0);
  EXPECT_EQ(list.LengthAt(0), 3u);
  EXPECT_EQ(std::memcmp(list.TextAt(0), "a\0b\0", 4), 0);
  EXPECT_EQ(list.InsertStringLen(-1, "x", 0), -1) << "a negative length is refused";
  EXPECT_EQ(list.count, 3);
}

TEST(TextList, InsertPositionsClampUnsigned) {
  CTextList list;
  Fill(list, {"a", "b"});
  EXPECT_EQ(list.InsertString("c", 5), 2);
  EXPECT_EQ(list.InsertString("d", -1), 3);
  EXPECT_EQ(list.InsertString("x", 1), 1);
  EXPECT_EQ(list.InsertString("y", 0), 0);
  EXPECT_EQ(Texts(list), (TextVec{"y", "a", "x", "b", "c", "d"}));
  EXPECT_EQ(list.InsertItemPtr(nullptr, 0), -1);
  char* item = CTextList::NewItem(2, "zz", 0, nullptr);
  EXPECT_EQ(list.InsertItemPtr(item, 3), 3);
  EXPECT_EQ(list.items[3], item) << "inserted without copying";
}

TEST(TextList, GrowthSteps) {
  CTextList list;
  std::vector<int> capacities;
  for (int i = 0; i < 200; ++i) {
    list.InsertString("x");
    EXPECT_LT(list.count, list.capacity) << "a spare slot after every insert";
    if (capacities.empty() || capacities.back() != list.capacity) capacities.push_back(list.capacity);
  }
  EXPECT_EQ(capacities, (std::vector<int>{17, 43, 82, 140, 227}));

  CTextList sixteen;
  for (int i = 0; i < 16; ++i) sixteen.InsertString("x");
  EXPECT_EQ(sixteen.capacity, 17);
  sixteen.InsertString("x");
  EXPECT_EQ(sixteen.capacity, 43) << "the 17th append finds count + 1 = 17";

  // Bulk growth for n copies: ((capacity + n) * 3 + 32) / 2.
  CTextList bulk;
  bulk.InsertFrom(&list, -1, 0, 100);
  EXPECT_EQ(bulk.capacity, (100 * 3 + 32) / 2);
  EXPECT_EQ(bulk.count, 100);
}

TEST(TextList, InsertFromOtherAndItself) {
  CTextList a(4), b(4);
  uint32_t k1 = 1, k2 = 2, k3 = 3;
  a.InsertString("one", -1, &k1);
  a.InsertString("two", -1, &k2);
  a.InsertStringLen(5, "th\0ee", -1, &k3);
  Fill(b, {"x", "y"});

  EXPECT_EQ(b.InsertFrom(&a, 1, 1, -1), 1);
  EXPECT_EQ(Texts(b), (TextVec{"x", "two", std::string("th\0ee", 5), "y"}));
  EXPECT_EQ(Word(b, 1), 2u);
  EXPECT_EQ(Word(b, 2), 3u);
  EXPECT_NE(b.items[1], a.items[1]) << "copies, not shared blocks";

  EXPECT_EQ(b.InsertFrom(&a, 0, -5, 1), 0) << "from below 0 counts as 0";
  EXPECT_EQ(b.TextAt(0), std::string("one"));
  EXPECT_EQ(b.InsertFrom(&a, 0, 2, 2), -1) << "empty range";
  EXPECT_EQ(b.InsertFrom(&a, 0, 3, 9), -1) << "range past the end";
  EXPECT_EQ(b.InsertFrom(nullptr, 0, 0, -1), -1);
  CTextList empty;
  EXPECT_EQ(b.InsertFrom(&empty, 0, 0, -1), -1);

  // The list as its own source: items before and behind the insert point.
  CTextList self;
  Fill(self, {"a", "b", "c", "d"});
  EXPECT_EQ(self.InsertFrom(&self, 1, 0, -1), 1);
  EXPECT_EQ(Texts(self), (TextVec{"a", "a", "b", "c", "d", "b", "c", "d"}));
  CTextList grow;  // a full array forces growth while reading itself
  Fill(grow, TextVec(16, "q"));
  grow.SetString("first", 0);
  grow.SetString("last", 15);
  EXPECT_EQ(grow.InsertFrom(&grow, 8, 0, -1), 8);
  ASSERT_EQ(grow.count, 32);
  EXPECT_STREQ(grow.TextAt(8), "first");
  EXPECT_STREQ(grow.TextAt(23), "last");
  EXPECT_STREQ(grow.TextAt(31), "last");

  // A smaller source extra size: the missing bytes are zeroed, not read.
  CTextList wide(8);
  wide.InsertFrom(&a, -1, 0, 1);
  uint64_t v;
  std::memcpy(&v, wide.items[0], 8);
  EXPECT_EQ(v, 1u);
  EXPECT_STREQ(wide.TextAt(0), "one");
}

TEST(TextList, AddSplit) {
  struct Case {
    char sep;
    std::string text;  // NUL-terminated by the test
    int index;
    int result;
    TextVec items;
  } cases[] = {
      {';', "a;;b;", -1, 0, {"a", "", "b"}},  {';', ";a", -1, 0, {"", "a"}},
      {';', "abc", -1, 0, {"abc"}},           {';', "", -1, -1, {}},
      {',', "a,b", 7, 0, {"a", "b"}},         {0, std::string("a\0bc\0\0x", 7), -1, 0, {"a", "bc"}},
      {0, std::string("\0a", 2), -1, -1, {}},
  };
  for (const Case& c : cases) {
    CTextList list;
    EXPECT_EQ(list.AddSplit(c.sep, c.text.c_str(), c.index), c.result) << c.text;
    EXPECT_EQ(Texts(list), c.items) << c.text;
  }
  CTextList list(2);
  Fill(list, {"x", "y"});
  uint16_t tag = 0x5A5A;
  EXPECT_EQ(list.AddSplit(';', "p;q", 1, &tag), 1);
  EXPECT_EQ(Texts(list), (TextVec{"x", "p", "q", "y"})) << "consecutive from the index";
  EXPECT_EQ(list.SetData16(2, 0), 0x5A5A) << "each part gets the extra data";
  EXPECT_EQ(list.AddSplit(';', nullptr, 0), -1);
}

TEST(TextList, AddSplitN) {
  struct Case {
    char sep;
    std::string text;
    int n;
    int result;
    TextVec items;
  } cases[] = {
      {';', "ab;cdef", 4, 0, {"ab", "c"}},
      {';', "ab;", 3, 0, {"ab"}},
      {';', "a;;b", 4, 0, {"a", "", "b"}},
      {';', std::string("ab\0;cd", 6), 6, 0, {"ab"}},
      {0, std::string("a\0\0b", 4), 4, 0, {"a", "", "b"}},
      {0, std::string("a\0bc\0", 5), 5, 0, {"a", "bc"}},
      {0, std::string("a\0bc\0", 5), 3, 0, {"a", "b"}},
      {';', "abc", 0, 0, {}},
      {';', "abc", -1, -1, {}},
  };
  for (const Case& c : cases) {
    CTextList list;
    EXPECT_EQ(list.AddSplitN(c.sep, c.n, c.text.data(), -1), c.result) << c.text << " n=" << c.n;
    EXPECT_EQ(Texts(list), c.items) << c.text << " n=" << c.n;
  }
  CTextList list;
  Fill(list, {"x"});
  EXPECT_EQ(list.AddSplitN(';', 0, "abc", 9), 1) << "n = 0 returns the clamped index";
  EXPECT_EQ(list.AddSplitN(';', 3, nullptr, 0), -1);
}

TEST(TextList, SetStringKeepsOrReplacesExtraData) {
  CTextList list(4);
  uint32_t k = 77, k2 = 99;
  list.InsertString("old", -1, &k);
  EXPECT_EQ(list.SetString("new", 0), 0);
  EXPECT_STREQ(list.TextAt(0), "new");
  EXPECT_EQ(Word(list, 0), 77u) << "NULL extra data keeps the old";
  EXPECT_EQ(list.SetString("newer", 0, &k2), 0);
  EXPECT_EQ(Word(list, 0), 99u);
  EXPECT_EQ(list.SetString("x", 1), -1) << "index count";
  EXPECT_EQ(list.SetString("x", -1), -1);
  // Its own text (a part of it) as the new text.
  EXPECT_EQ(list.SetStringLen(3, list.TextAt(0) + 2, 0), 0);
  EXPECT_STREQ(list.TextAt(0), "wer");
  EXPECT_EQ(list.SetString(nullptr, 0), 0);
  EXPECT_EQ(list.LengthAt(0), 0u);
}

TEST(TextList, ReadingTexts) {
  CTextList list;
  Fill(list, {"abcd", std::string("a\0b", 3)});
  char buf[8] = "zzzzzzz";
  EXPECT_EQ(list.GetString(0, buf, 4), -1);
  EXPECT_STREQ(buf, "") << "too small: empty text";
  EXPECT_EQ(list.GetString(0, buf, 5), 4);
  EXPECT_STREQ(buf, "abcd");
  EXPECT_EQ(list.GetString(1, buf, 8), 3);
  EXPECT_EQ(std::memcmp(buf, "a\0b\0", 4), 0);
  buf[0] = 'z';
  EXPECT_EQ(list.GetString(2, buf, 8), -1);
  EXPECT_EQ(buf[0], 0);
  buf[0] = 'z';
  EXPECT_EQ(list.GetString(0, buf, 0), -1);
  EXPECT_EQ(buf[0], 'z') << "size 0: nothing written";

  char* text = reinterpret_cast<char*>(1);
  EXPECT_EQ(list.GetStringAlloc(1, &text), 3);
  EXPECT_EQ(std::memcmp(text, "a\0b\0", 4), 0);
  delete[] text;
  EXPECT_EQ(list.GetStringAlloc(-1, &text), -1);
  EXPECT_EQ(text, nullptr);
}

TEST(TextList, ExtraDataFields) {
  CTextList small(2);
  small.InsertString("a");
  EXPECT_EQ(small.SetData32(0, 5), 0u) << "extra size 2 is too small";
  EXPECT_EQ(Texts(small), TextVec{"a"});
  EXPECT_EQ(small.SetData16(0, 0x1234), 0);
  EXPECT_EQ(small.SetData16(0, 1), 0x1234);
  EXPECT_EQ(small.SetData8At(0, 9, 1), 0x00);
  EXPECT_EQ(small.SetData8At(0, 9, 2), 0) << "byte 2 lies outside";
  EXPECT_EQ(small.SetData16At(0, 9, 0x80000000u), 0) << "no overflow of the offset";

  CTextList list(16);
  list.InsertString("t");
  EXPECT_EQ(list.SetData32(0, 0xDEADBEEF), 0u);
  EXPECT_EQ(list.SetData32Alt(0, 7), 0xDEADBEEFu);
  EXPECT_EQ(list.SetData64At(0, 0x1122334455667788ull, 1), 0u);
  EXPECT_EQ(list.SetData32At(0, 1, 3), 0x11223344u) << "bytes 12..15";
  EXPECT_EQ(list.SetData16At(0, 1, 4), 0x7788) << "bytes 8..9";
  EXPECT_EQ(list.SetData64At(0, 1, 2), 0u) << "needs 24 bytes";
  EXPECT_EQ(list.SetData64(0, 0), 7u);
  EXPECT_EQ(list.SetData32(1, 1), 0u) << "index out of range";
  EXPECT_STREQ(list.TextAt(0), "t") << "the text is untouched";

  unsigned char data[16], back[16];
  for (int i = 0; i < 16; ++i) data[i] = (unsigned char)(i * 7);
  EXPECT_EQ(list.SetData(0, data), list.items[0]);
  EXPECT_EQ(list.GetData(0, back), list.items[0]);
  EXPECT_EQ(std::memcmp(back, data, 16), 0);
  back[0] = 0xEE;
  EXPECT_EQ(list.GetData(1, back), nullptr);
  EXPECT_EQ(back[0], 0xEE) << "out of range: buffer untouched";
  EXPECT_EQ(list.SetData(-1, data), nullptr);
}

TEST(TextList, SwapDetachAndRemove) {
  CTextList list;
  Fill(list, {"a", "b", "c"});
  list.Swap(0, 99);
  EXPECT_EQ(Texts(list), (TextVec{"c", "b", "a"}));
  list.Swap(-1, 1);
  EXPECT_EQ(Texts(list), (TextVec{"c", "a", "b"}));
  CTextList().Swap(0, 1);  // empty: nothing

  char* item = list.DetachAt(1);
  ASSERT_NE(item, nullptr);
  EXPECT_STREQ(item, "a");
  EXPECT_EQ(Texts(list), (TextVec{"c", "b"}));
  EXPECT_EQ(list.DetachAt(2), nullptr);
  EXPECT_EQ(list.InsertItemPtr(item, -1), 2);
  EXPECT_EQ(list.RemoveAt(3), 0);
  EXPECT_EQ(list.RemoveAt(0), 1);
  EXPECT_EQ(Texts(list), (TextVec{"b", "a"}));
  CTextList::FreeItem(nullptr);
  CTextList::FreeItem(CTextList::NewItem(3, "abc", 8, nullptr));
  EXPECT_EQ(CTextList::NewItem(-1, "abc", 0, nullptr), nullptr);
}

TEST(TextList, RemoveRange) {
  struct Case {
    int from, to, removed;
    TextVec left;
  } cases[] = {
      {1, -1, 4, {"0"}},
      {-3, 2, 2, {"2", "3", "4"}},
      {2, 2, 0, {"0", "1", "2", "3", "4"}},
      {3, 1, 0, {"0", "1", "2", "3", "4"}},
      {5, -1, 0, {"0", "1", "2", "3", "4"}},
      {1, 3, 2, {"0", "3", "4"}},
  };
  for (const Case& c : cases) {
    CTextList list;
    Fill(list, {"0", "1", "2", "3", "4"});
    EXPECT_EQ(list.RemoveRange(c.from, c.to), c.removed) << c.from << ".." << c.to;
    EXPECT_EQ(Texts(list), c.left) << c.from << ".." << c.to;
  }
  CTextList list(4);
  Fill(list, {"a", "b"});
  list.mruLimit = 5;
  int cap = list.capacity;
  EXPECT_GT(cap, 0);
  EXPECT_EQ(list.RemoveAll(), 1);
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(list.capacity, 0);
  EXPECT_EQ(list.items, nullptr);
  EXPECT_EQ(list.extraSize, 4u);
  EXPECT_EQ(list.mruLimit, 5) << "RemoveAll keeps the settings";
}
