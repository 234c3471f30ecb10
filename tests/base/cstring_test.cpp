#include <gtest/gtest.h>

#include <cstring>

#include "base/cstring.h"

TEST(CString, EmbeddedNulIsKept) {
  CString s("ab\0cd", 5);
  EXPECT_EQ(s.GetLength(), 5);
  EXPECT_EQ(std::memcmp((const char*)s, "ab\0cd", 6), 0) << "text plus terminator";
  CString copy = s;
  EXPECT_EQ(copy.GetLength(), 5);
  EXPECT_TRUE(copy == s);
  EXPECT_FALSE(copy == CString("ab")) << "the part after the NUL counts";
  copy += CString("\0x", 2);
  EXPECT_EQ(copy.GetLength(), 7);
  EXPECT_EQ(std::memcmp((const char*)copy, "ab\0cd\0x", 8), 0);
}

TEST(CString, SelfAssignmentAndOwnText) {
  CString s("hello world");
  s = s;
  EXPECT_STREQ(s, "hello world");
  s = (const char*)s + 6;  // assign from inside its own text
  EXPECT_STREQ(s, "world");
  EXPECT_EQ(s.GetLength(), 5);
  s += (const char*)s;  // append its own text
  EXPECT_STREQ(s, "worldworld");
  s.Format("<%s|%d>", (const char*)s, s.GetLength());  // format from its own text
  EXPECT_STREQ(s, "<worldworld|10>");
  CString moved(static_cast<CString&&>(s));
  EXPECT_STREQ(moved, "<worldworld|10>");
  EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, BufferLengths) {
  struct Case {
    const char* initial;
    int minBuf;
    const char* write;  // written at the start of the buffer, with its NUL
    int release;        // argument of ReleaseBuffer
    int length;         // resulting length
    const char* text;
  } cases[] = {
      {"", 10, "abc", -1, 3, "abc"},        // length up to the first NUL
      {"", 10, "abc", 2, 2, "ab"},          // explicit length cuts
      {"keep", 0, nullptr, -1, 4, "keep"},  // text survives GetBuffer
      {"keep", 100, nullptr, 2, 2, "ke"},   // growth keeps the text
      {"", 0, "", -1, 0, ""},               // empty stays valid
      {"xyz", 8, "a\0b", 3, 3, "a\0b"},     // explicit length keeps NULs
  };
  for (const Case& c : cases) {
    CString s(c.initial);
    char* p = s.GetBuffer(c.minBuf);
    ASSERT_NE(p, nullptr);
    if (c.write) std::memcpy(p, c.write, c.release > 0 ? c.release + 1 : std::strlen(c.write) + 1);
    s.ReleaseBuffer(c.release);
    EXPECT_EQ(s.GetLength(), c.length) << c.initial << " / " << c.minBuf;
    EXPECT_EQ(std::memcmp((const char*)s, c.text, c.length + 1), 0) << c.initial << " / " << c.minBuf;
  }
  CString s("abc");
  char* p = s.GetBufferSetLength(6);
  EXPECT_EQ(s.GetLength(), 6);
  EXPECT_EQ(p[6], '\0');
  std::memcpy(p + 3, "def", 3);
  s.ReleaseBuffer(6);
  EXPECT_STREQ(s, "abcdef");
  s.GetBufferSetLength(2);
  EXPECT_STREQ(s, "ab");
}

TEST(CString, CompareAndBasics) {
  CString a("Apfel"), b("apfel");
  EXPECT_LT(a.Compare(b), 0);
  EXPECT_EQ(a.CompareNoCase("APFEL"), 0);
  EXPECT_LT(CString("a").Compare("ä"), 0) << "bytes compare unsigned";
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a == "Apfel");
  EXPECT_TRUE("Apfel" == a);
  a.Empty();
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_STREQ(a, "");
  EXPECT_STREQ(CString(L"Grüße"), "Grüße") << "16-bit text through code page 1252";
  EXPECT_STREQ(CString('x', 3), "xxx");
  EXPECT_STREQ(CString("abcdef").Mid(2, 3), "cde");
  EXPECT_STREQ(CString("abcdef").Right(2), "ef");
  EXPECT_EQ(CString("a\\b\\c").ReverseFind('\\'), 3);
}

TEST(CString, AppendingGrowsGeometrically) {
  // Growth by a fixed step would move the text thousands of times here.
  CString s;
  const char* p = nullptr;
  int nMoves = 0;
  for (int i = 0; i < 100000; ++i) {
    s += (char)('a' + i % 26);
    if ((const char*)s != p) ++nMoves, p = s;
  }
  EXPECT_EQ(s.GetLength(), 100000);
  EXPECT_LE(nMoves, 20);
  EXPECT_EQ(s[99999], 'a' + 99999 % 26);

  // Room asked for beforehand takes every append; the text stays.
  CString t("ab");
  t.Preallocate(1000);
  p = t;
  for (int i = 0; i < 998; ++i) t.Append("x", 1);
  EXPECT_EQ((const char*)t, p);
  EXPECT_EQ(t.Left(3), "abx");
}

TEST(CString, ConcatenationKeepsNulsAndOwnText) {
  CString a("a\0b", 3);
  CString s = a + a;
  EXPECT_EQ(s.GetLength(), 6);
  EXPECT_EQ(std::memcmp((const char*)s, "a\0ba\0b", 7), 0);
  EXPECT_STREQ(CString("x") + "yz", "xyz");
  EXPECT_STREQ("xy" + CString("z"), "xyz");
  EXPECT_STREQ(CString("xy") + 'z', "xyz");
  EXPECT_STREQ('x' + CString("yz"), "xyz");
  EXPECT_STREQ(CString("x") + (const char*)nullptr, "x");
  // Appending a string's own text at the moment it has to grow.
  CString g;
  g.Append("0123456789", 10);
  while (g.GetLength() < 200) g.Append(g, g.GetLength());
  EXPECT_EQ(g.GetLength(), 320);
  EXPECT_EQ(g.Mid(310), "0123456789");
  g.Format("%s-%s", (const char*)g.Left(3), (const char*)g.Right(3));
  EXPECT_STREQ(g, "012-789");
}
