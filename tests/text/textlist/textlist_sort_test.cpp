#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "text/strings.h"
#include "text/textlist/textlist.h"
#include "textlist_util.h"

namespace {

int g_calls;
int CountingEqual(const CTextList*, int, int) {
  ++g_calls;
  return 0;
}

// Answers at random: an inconsistent comparator must not take the sort out
// of its range or lose items.
std::mt19937 g_chaos(7);
int Chaotic(const CTextList*, int, int) { return (int)(g_chaos() % 3) - 1; }

// Magnitudes at the edges of int: a descending sort must flip the sign,
// since negating INT_MIN leaves it negative.
int ExtremeText(const CTextList* list, int i, int j) {
  int c = std::strcmp(list->TextAt(i), list->TextAt(j));
  return c < 0 ? INT_MIN : c > 0 ? INT_MAX : 0;
}

int ByFirstByte(void* context, const void* a, const void* b) {
  ++*static_cast<int*>(context);
  return *static_cast<const unsigned char*>(a) - *static_cast<const unsigned char*>(b);
}

}  // namespace

TEST(TextListSort, TextOrders) {
  CTextList list;
  Fill(list, {"b", "a", "c"});
  list.Sort(0, -1, CTextList::CompareText);
  EXPECT_EQ(Texts(list), (TextVec{"a", "b", "c"}));
  list.Sort(0, -1, CTextList::CompareText, 1);
  EXPECT_EQ(Texts(list), (TextVec{"c", "b", "a"}));

  CTextList prefix;
  Fill(prefix, {"b", "ab", "a", "\xE4", "B"});
  prefix.Sort(0, -1, CTextList::CompareText);
  EXPECT_EQ(Texts(prefix), (TextVec{"B", "a", "ab", "b", "\xE4"})) << "unsigned bytes; a text before its extensions";

  CTextList caseless;
  Fill(caseless, {"b", "A", "a", "B", "_"});
  caseless.Sort(0, -1, CTextList::CompareNoCase);
  TextVec got = Texts(caseless);
  EXPECT_EQ(got[0], "_") << "folding to lower case puts '_' before the letters";
  EXPECT_EQ(CompareNoCaseA(got[1].c_str(), "a"), 0);
  EXPECT_EQ(CompareNoCaseA(got[2].c_str(), "a"), 0);
  EXPECT_EQ(CompareNoCaseA(got[3].c_str(), "b"), 0);
  EXPECT_EQ(CompareNoCaseA(got[4].c_str(), "b"), 0);

  CTextList lengths;
  Fill(lengths, {"ccc", "a", "bb", "b", "A"});
  lengths.Sort(0, -1, CTextList::CompareLengthText);
  EXPECT_EQ(Texts(lengths), (TextVec{"A", "a", "b", "bb", "ccc"}));
  lengths.Sort(0, -1, CTextList::CompareLength, 1);
  EXPECT_EQ(Texts(lengths)[0], "ccc");
}

TEST(TextListSort, KeyComparators) {
  CTextList list(8);
  int64_t keys[] = {1, -1, (int64_t)1 << 40, -((int64_t)1 << 40)};
  const char* texts[] = {"a", "b", "c", "d"};
  for (int i = 0; i < 4; ++i) list.InsertString(texts[i], -1, &keys[i]);

  struct Case {
    CTextList::ListCompare compare;
    TextVec order;
  } cases[] = {
      // The 32-bit forms see the low words 1, -1, 0, 0.
      {CTextList::CompareInt32Text, {"b", "c", "d", "a"}},       {CTextList::CompareUInt32Text, {"c", "d", "a", "b"}},
      {CTextList::CompareInt64, {"d", "b", "a", "c"}},           {CTextList::CompareUInt64, {"a", "c", "d", "b"}},
      {CTextList::CompareInt64TextNoCase, {"d", "b", "a", "c"}},
  };
  for (const Case& c : cases) {
    list.Sort(0, -1, c.compare);
    EXPECT_EQ(Texts(list), c.order);
  }
  list.Sort(0, -1, CTextList::CompareInt32);
  EXPECT_EQ(Texts(list)[0], "b") << "signed: -1 first";
  list.Sort(0, -1, CTextList::CompareUInt32);
  EXPECT_EQ(Texts(list)[3], "b") << "unsigned: -1 last";

  // Equal keys fall back to the text.
  CTextList same(4);
  uint32_t k = 9;
  for (const char* t : {"b", "B", "a"}) same.InsertString(t, -1, &k);
  same.Sort(0, -1, CTextList::CompareUInt32Text);
  EXPECT_EQ(Texts(same), (TextVec{"B", "a", "b"}));
  same.Sort(0, -1, CTextList::CompareInt32TextNoCase);
  EXPECT_EQ(Texts(same)[0], "a");
  EXPECT_EQ(CTextList::CompareUInt64TextNoCase(&list, 0, 0), 0);
}

TEST(TextListSort, RangesAndDegenerateInput) {
  CTextList list;
  Fill(list, {"d", "c", "b", "a"});
  list.Sort(1, 3, CTextList::CompareText);
  EXPECT_EQ(Texts(list), (TextVec{"d", "b", "c", "a"})) << "only 1..2";
  list.Sort(3, 4, CTextList::CompareText);
  list.Sort(4, -1, CTextList::CompareText);
  list.Sort(2, 1, CTextList::CompareText);
  list.Sort(0, -1, nullptr);
  EXPECT_EQ(Texts(list), (TextVec{"d", "b", "c", "a"})) << "single item, empty ranges, no comparator";
  list.Sort(-3, 2, CTextList::CompareText);
  EXPECT_EQ(Texts(list), (TextVec{"b", "d", "c", "a"}));

  // 10,000 equal items finish in one pass over the range.
  CTextList equal;
  for (int i = 0; i < 10000; ++i) equal.InsertString("same");
  g_calls = 0;
  equal.Sort(0, -1, CountingEqual);
  EXPECT_EQ(g_calls, 9999);
}

TEST(TextListSort, ManyItemsAgainstStdSort) {
  // Random texts over a small alphabet (many duplicates and few distinct
  // values both), ascending and descending, against std::sort.
  std::mt19937 rng(42);
  for (int alphabet : {2, 3, 26}) {
    for (int descending : {0, 1}) {
      CTextList list;
      TextVec expect;
      for (int i = 0; i < 3000; ++i) {
        std::string t(1 + rng() % 3, 'a');
        for (char& ch : t) ch = (char)('a' + rng() % alphabet);
        list.InsertString(t.c_str());
        expect.push_back(t);
      }
      g_calls = 0;
      list.Sort(0, -1, descending ? ExtremeText : CTextList::CompareText, descending);
      if (descending)
        std::sort(expect.begin(), expect.end(), std::greater<std::string>());
      else
        std::sort(expect.begin(), expect.end());
      EXPECT_EQ(Texts(list), expect) << "alphabet " << alphabet << " descending " << descending;
    }
  }
  // Few distinct values sort in about n log n compares, not n * n.
  CTextList twoValues;
  for (int i = 0; i < 20000; ++i) twoValues.InsertString(i % 2 ? "b" : "a");
  struct Counter {
    static int Compare(const CTextList* list, int i, int j) {
      ++g_calls;
      return CTextList::CompareText(list, i, j);
    }
  };
  g_calls = 0;
  twoValues.Sort(0, -1, Counter::Compare);
  EXPECT_LT(g_calls, 100000);
  EXPECT_EQ(Texts(twoValues)[9999], "a");
  EXPECT_EQ(Texts(twoValues)[10000], "b");
}

TEST(TextListSort, InconsistentComparatorKeepsItems) {
  CTextList list;
  TextVec before;
  for (int i = 0; i < 500; ++i) before.push_back(std::to_string(i));
  Fill(list, before);
  list.Sort(0, -1, Chaotic);
  TextVec after = Texts(list);
  std::sort(after.begin(), after.end());
  std::sort(before.begin(), before.end());
  EXPECT_EQ(after, before) << "every item still there exactly once";
}

TEST(TextListSort, ByDataAndByText) {
  CTextList list(2);
  const char* texts[] = {"x", "y", "z", "w"};
  const char firsts[][2] = {{0, 3}, {0, 1}, {0, 2}, {0, 0}};
  for (int i = 0; i < 4; ++i) list.InsertString(texts[i], -1, firsts[i]);
  int calls = 0;
  list.SortByDataWith(ByFirstByte, &calls, 1, 0, -1);  // by extra byte 1
  EXPECT_EQ(Texts(list), (TextVec{"w", "y", "z", "x"}));
  EXPECT_GT(calls, 0);
  list.SortByDataWith(ByFirstByte, &calls, 2, 0, -1, 1);  // offset 2: the text
  EXPECT_EQ(Texts(list), (TextVec{"z", "y", "x", "w"}));
  list.SortByTextWith(CompareNoCaseA, 0, -1);
  EXPECT_EQ(Texts(list), (TextVec{"w", "x", "y", "z"}));
  list.SortByTextWith(CompareNoCaseA, 1, 3, 1);
  EXPECT_EQ(Texts(list), (TextVec{"w", "y", "x", "z"}));
}
