#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/cstring.h"
#include "text/textlist/textlist.h"
#include "textlist_util.h"

namespace {

// Takes over a buffer from new[] and returns its first size bytes.
std::string Take(char* buffer, int size) {
  std::string s(buffer, (size_t)size);
  delete[] buffer;
  return s;
}

}  // namespace

TEST(TextListOps, CaseAndTrim) {
  CTextList list;
  Fill(list, {"MiXed \xC4", std::string("AB\0CD", 5), "abc"});
  list.MakeLower(0, 2);
  EXPECT_EQ(Texts(list), (TextVec{"mixed \xC4", std::string("ab\0CD", 5), "abc"})) << "ASCII only, up to the first NUL";
  list.MakeUpper(-5, -1);
  EXPECT_EQ(Texts(list), (TextVec{"MIXED \xC4", std::string("AB\0CD", 5), "ABC"}));

  CTextList blanks(4);
  uint32_t tag = 42;
  for (const char* t : {"ab  ", "   ", "\tx", " \r\n y \n", ""}) blanks.InsertString(t, -1, &tag);
  blanks.TrimRight(0, -1);
  EXPECT_EQ(Texts(blanks), (TextVec{"ab", "", "\tx", " \r\n y", ""}));
  blanks.TrimLeft(0, -1);
  EXPECT_EQ(Texts(blanks), (TextVec{"ab", "", "x", "y", ""}));
  EXPECT_STREQ(blanks.TextAt(3), "y") << "terminated at the new length";
  EXPECT_EQ(blanks.SetData32(2, 0), 42u) << "extra data untouched";

  CTextList range;
  Fill(range, {" a ", " b ", " c "});
  range.TrimLeft(1, 2);
  range.TrimRight(2, 9);
  EXPECT_EQ(Texts(range), (TextVec{" a ", "b ", " c"}));
}

TEST(TextListOps, MoveItem) {
  struct Case {
    int from, to, result;
    TextVec order;
  } cases[] = {
      {0, -1, 2, {"b", "c", "a"}}, {-1, 0, 0, {"c", "a", "b"}}, {5, 0, -1, {"a", "b", "c"}},
      {0, 3, -1, {"a", "b", "c"}}, {1, 1, 1, {"a", "b", "c"}},  {2, 1, 1, {"a", "c", "b"}},
  };
  for (const Case& c : cases) {
    CTextList list;
    Fill(list, {"a", "b", "c"});
    EXPECT_EQ(list.MoveItem(c.from, c.to), c.result) << c.from << "->" << c.to;
    EXPECT_EQ(Texts(list), c.order) << c.from << "->" << c.to;
  }
  CTextList empty;
  EXPECT_EQ(empty.MoveItem(0, 1), 0);
}

TEST(TextListOps, MultiStringAndSeparatorJoins) {
  CTextList list;
  Fill(list, {"a", "bc"});
  char* out = nullptr;
  int size = list.JoinMultiString(0, list.count, &out);
  EXPECT_EQ(size, 6);
  EXPECT_EQ(Take(out, size), std::string("a\0bc\0\0", 6));
  size = list.JoinMultiString(0, -1, &out);
  EXPECT_EQ(size, 2) << "a negative to is an empty range here";
  EXPECT_EQ(Take(out, 2), std::string("\0\0", 2));

  size = list.JoinWithSeparator(0, 99, &out, ',');
  EXPECT_EQ(size, 5);
  EXPECT_EQ(Take(out, size), std::string("a,bc\0", 5));
  size = list.JoinWithSeparator(1, 2, &out, 0);
  EXPECT_EQ(Take(out, size), std::string("bc\0\0", 4));
  size = list.JoinWithSeparator(2, 2, &out, ';');
  EXPECT_EQ(size, 1);
  EXPECT_EQ(Take(out, 2), std::string("\0\0", 2));

  // Round trip through a multi-string, empty items and inner characters kept.
  CTextList source;
  Fill(source, {"HKCU\\Software", "", "x y", "last"});
  size = source.JoinMultiString(0, source.count, &out);
  CTextList back;
  EXPECT_EQ(back.AddSplitN(0, size - 1, out, -1), 0) << "all but the final NUL";
  EXPECT_EQ(Texts(back), Texts(source));
  CTextList upToEmpty;
  upToEmpty.AddSplit(0, out);
  EXPECT_EQ(Texts(upToEmpty), TextVec{"HKCU\\Software"}) << "the unbounded split stops at the empty item";
  delete[] out;
}

TEST(TextListOps, JoinIntoString) {
  CTextList list;
  Fill(list, {"a", "bc"});
  CString s("old");
  EXPECT_EQ(list.JoinIntoString(0, list.count, s, ','), 5);
  EXPECT_EQ(s.GetLength(), 4) << "without the terminator";
  EXPECT_STREQ(s, "a,bc");
  EXPECT_EQ(list.JoinIntoString(0, list.count, s, 0), 6);
  EXPECT_EQ(s.GetLength(), 5) << "inner NULs stay, the final one does not";
  EXPECT_TRUE(s == CString("a\0bc\0", 5));
  EXPECT_EQ(list.JoinIntoString(0, -1, s, 0), 1);
  EXPECT_TRUE(s == CString("\0", 1));
  EXPECT_EQ(list.JoinIntoString(1, 1, s, ','), 0);
  EXPECT_TRUE(s.IsEmpty());
}

TEST(TextListOps, JoinLines) {
  struct Case {
    TextVec items;
    int maxSize, perLine, result;
    std::string text;
  } cases[] = {
      {{"a", "b", "c"}, -1, 2, 5, "ab\r\nc"},
      {{"a", "b", "c"}, -1, -1, 6, "a\nb\nc\n"},
      {{"aa", "bb"}, 5, 0, 4, "aa\r\n"},
      {{"aa", "bb"}, 4, 0, 0, ""},
      {{"aa", "bb"}, 6, 2, 2, "aa"},
      {{"aa", "bb"}, 7, 2, 6, "aabb\r\n"},
      {{}, -1, 1, 0, ""},
  };
  for (const Case& c : cases) {
    CTextList list;
    Fill(list, c.items);
    char* out = nullptr;
    EXPECT_EQ(list.JoinLines(0, list.count, &out, c.maxSize, c.perLine), c.result) << c.text;
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(Take(out, c.result + 1), c.text + '\0');
  }
  CTextList list;
  Fill(list, {"a", "b"});
  char* out = nullptr;
  EXPECT_EQ(list.JoinLines(0, -5, &out, -1, 1), 0);
  EXPECT_EQ(Take(out, 1), std::string(1, '\0'));
}

TEST(TextListOps, ExtraSize) {
  CTextList list;
  EXPECT_EQ(list.ExtraSize(8), 8);
  EXPECT_EQ(list.ExtraSize(-1), 8);
  EXPECT_EQ(list.ExtraSize(-2), -1);
  list.InsertString("x");
  EXPECT_EQ(list.ExtraSize(4), -1) << "not while the list holds items";
  EXPECT_EQ(list.ExtraSize(-1), 8);
}

TEST(TextListOps, MostRecentlyUsed) {
  CTextList list;
  Fill(list, {"a", "B", "A", "c", "d"});
  EXPECT_EQ(list.SetMruLimit(3, 1), 3);
  EXPECT_EQ(Texts(list), (TextVec{"a", "B", "c"}));
  EXPECT_EQ(list.mruLimit, 3);

  CTextList touch;
  Fill(touch, {"a", "b", "c"});
  touch.SetMruLimit(-1, 0);
  EXPECT_EQ(touch.mruLimit, 16);
  EXPECT_EQ(touch.MruTouch("c"), 0);
  EXPECT_EQ(Texts(touch), (TextVec{"c", "a", "b"}));
  EXPECT_EQ(touch.MruTouch("x"), 1);
  EXPECT_EQ(touch.MruTouch("A"), 1) << "mode 0 is exact";
  EXPECT_EQ(Texts(touch), (TextVec{"c", "a", "b"}));

  // Duplicates that a removal pulls into the window are found too.
  CTextList window;
  Fill(window, {"x", "y", "y", "x", "z"});
  EXPECT_EQ(window.SetMruLimit(3, 0), 3);
  EXPECT_EQ(Texts(window), (TextVec{"x", "y", "z"}));
  // Only the first limit items are looked at.
  window.SetMruLimit(2, 0);
  window.InsertString("z");
  EXPECT_EQ(window.MruTouch("z"), 1);
  EXPECT_EQ(window.MruTouch("y"), 0);
  EXPECT_EQ(Texts(window), (TextVec{"y", "x", "z"}));
}

TEST(TextListOps, Pops) {
  CTextList list(4);
  uint32_t k1 = 1, k2 = 2;
  list.InsertString("first", -1, &k1);
  list.InsertString("abc", -1, &k2);
  char buf[8] = "zz";
  uint32_t extra = 0;
  EXPECT_EQ(list.PopLast(2, buf, &extra), -1);
  EXPECT_EQ(list.count, 2) << "a text that does not fit stays";
  EXPECT_EQ(extra, 2u);
  EXPECT_EQ(list.PopLast(8, buf, nullptr), 3);
  EXPECT_STREQ(buf, "abc");

  char* text = nullptr;
  extra = 0;
  EXPECT_EQ(list.PopFirstAlloc(&text, &extra), 5);
  EXPECT_EQ(Take(text, 6), std::string("first", 6));
  EXPECT_EQ(extra, 1u);
  EXPECT_EQ(list.count, 0);

  text = nullptr;
  EXPECT_EQ(list.PopLastAlloc(&text, nullptr), -1);
  EXPECT_EQ(text, nullptr);
  buf[0] = 'z';
  EXPECT_EQ(list.PopFirst(8, buf, nullptr), -1);
  EXPECT_EQ(buf[0], 0);

  list.InsertString("x");
  EXPECT_EQ(list.PopFirstAlloc(nullptr, nullptr), -1);
  EXPECT_EQ(list.count, 1) << "no out pointer: the item stays";
  EXPECT_EQ(list.PopFirst(2, buf, nullptr), 1);
}

TEST(TextListOps, AppendToItem) {
  CTextList list(4);
  uint32_t k = 5, other = 6;
  list.InsertString("abc", -1, &k);
  EXPECT_EQ(list.AppendToItem("def", 0, &other), 0);
  EXPECT_EQ(Texts(list), TextVec{"abcdef"});
  EXPECT_EQ(list.SetData32(0, k), 5u) << "old extra data kept";
  EXPECT_EQ(list.AppendToItem("", 0), 0);
  EXPECT_EQ(list.AppendToItem(nullptr, 0), 0);
  EXPECT_EQ(Texts(list), TextVec{"abcdef"});
  EXPECT_EQ(list.AppendToItem("new", 1, &other), 1) << "index count appends an item";
  EXPECT_EQ(list.SetData32(1, 0), 6u);
  EXPECT_EQ(list.AppendToItemLen(2, "g\0", 0), 0);
  EXPECT_EQ(Texts(list)[0], std::string("abcdefg\0", 8));
  EXPECT_EQ(list.AppendToItemLen(3, list.TextAt(1), 1), 1) << "its own text";
  EXPECT_EQ(Texts(list)[1], "newnew");
  EXPECT_EQ(list.AppendToItemLen(-1, "x", 0), -1);
  EXPECT_EQ(list.AppendToItemLen(0, "x", 0), 0);
  EXPECT_EQ(list.count, 2);
}
