#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/cstring.h"
#include "path_test_util.h"
#include "system/pathjoin.h"

TEST(PathJoin, ConvertSeparators) {
  char a[16] = "a\\b/c";
  EXPECT_EQ(ConvertSeparators(a, '/'), 5);
  EXPECT_STREQ(a, "a/b/c");
  EXPECT_EQ(ConvertSeparators(a, '\\'), 5);
  EXPECT_STREQ(a, "a\\b\\c");
  EXPECT_EQ(ConvertSeparators(a, 0), 5) << "0 means slashes";
  EXPECT_STREQ(a, "a/b/c");
  EXPECT_EQ(ConvertSeparators(nullptr, '/'), 0);
  wchar_t w[16] = L"x/y\\z";
  EXPECT_EQ(ConvertSeparatorsW(w, L'\\'), 5);
  EXPECT_EQ(Narrow(w), "x\\y\\z");

  char t[8] = "junk";
  EXPECT_EQ(CopyConvertSeparators(t, "a\\bcd", 4, '/'), 3);
  EXPECT_STREQ(t, "a/b");
  EXPECT_EQ(CopyConvertSeparators(t, "abc", 1, '/'), 0);
  EXPECT_STREQ(t, "");
  std::strcpy(t, "junk");
  EXPECT_EQ(CopyConvertSeparators(t, "abc", 0, '/'), 0);
  EXPECT_STREQ(t, "junk");
  EXPECT_EQ(CopyConvertSeparators(nullptr, "abc", 4, '/'), 0);
  wchar_t wt[8];
  EXPECT_EQ(CopyConvertSeparatorsW(wt, L"a/b", 8, L'\\'), 3);
  EXPECT_EQ(Narrow(wt), "a\\b");
}

TEST(PathJoin, JoinPath) {
  struct {
    const char* dir;
    const char* name;
    const char* want;
  } cases[] = {
      {"D:\\dir\\", "\\name", "D:\\dir\\name"},
      {"D:", "name", "D:\\name"},
      {"", "name", "\\name"},
      {"a/", "/b", "a\\b"},
      {"a\\\\", "b", "a\\\\b"},
      {"dir", "", "dir\\"},
  };
  for (const auto& c : cases) {
    char t[32];
    EXPECT_EQ(JoinPath(-1, t, c.dir, c.name, 32), (int)std::strlen(c.want)) << c.dir << "|" << c.name;
    EXPECT_STREQ(t, c.want);
    wchar_t w[32];
    std::wstring dir = Wide(c.dir), name = Wide(c.name);
    EXPECT_EQ(JoinPathW(-1, w, dir.c_str(), name.c_str(), 32), (int)std::strlen(c.want));
    EXPECT_EQ(Narrow(w), c.want);
    CString s;
    EXPECT_EQ(JoinPathStr(s, c.dir, c.name), (int)std::strlen(c.want));
    EXPECT_STREQ(s, c.want);
  }

  // Size: exactly one more than the result fits; one less does not and
  // leaves the target alone.
  char t[16] = "untouched";
  EXPECT_EQ(JoinPath(-1, t, "ab", "cd", 5), 0);
  EXPECT_STREQ(t, "untouched");
  EXPECT_EQ(JoinPath(-1, t, "ab", "cd", 6), 5);
  EXPECT_STREQ(t, "ab\\cd");
  EXPECT_EQ(JoinPath(-1, t, "", "", 1), 0) << "a size below 2";

  // In the directory's own buffer, with a counted directory.
  char buf[32] = "C:\\dir\\sub";
  EXPECT_EQ(JoinPath(6, buf, buf, "file", 32), 11);
  EXPECT_STREQ(buf, "C:\\dir\\file");

  CString s = "C:\\x\\";
  EXPECT_EQ(JoinPathStr(s, "y.txt"), 10);
  EXPECT_STREQ(s, "C:\\x\\y.txt");
  CString dir = "D:\\d";
  EXPECT_EQ(JoinPathStr(s, dir, "n"), 6);
  EXPECT_STREQ(s, "D:\\d\\n");
  s = "abc";
  EXPECT_EQ(JoinPathStr(s, (const char*)s + 1), 6) << "the name may lie in the string";
  EXPECT_STREQ(s, "abc\\bc");
}

TEST(PathJoin, CutToParent) {
  struct {
    const char* path;
    const char* want;
  } cases[] = {
      {"D:\\dir\\file", "D:\\dir"},
      {"D:\\dir", "D:\\"},
      {"\\dir", "\\"},
      {"\\\\server\\share", "\\\\server"},
      {"dir\\", "dir"},
      {"D:x", "D"},
      {"name", ""},
      {"\\\\server", "\\\\"},
      {"a/b", "a"},
      {"D:\\", "D:\\"},
  };
  for (const auto& c : cases) {
    char a[32];
    std::strcpy(a, c.path);
    EXPECT_EQ(CutToParent(-1, a), (int)std::strlen(c.want)) << c.path;
    EXPECT_STREQ(a, c.want) << c.path;
    wchar_t w[32];
    std::wcscpy(w, Wide(c.path).c_str());
    EXPECT_EQ(CutToParentW(-1, w), (int)std::strlen(c.want)) << c.path;
    EXPECT_EQ(Narrow(w), c.want) << c.path;
    CString s = c.path;
    EXPECT_EQ(CutToParentStr(s), (int)std::strlen(c.want));
    EXPECT_STREQ(s, c.want);
  }
  char a[16] = "a\\b\\c";
  EXPECT_EQ(CutToParent(3, a), 1) << "counted: only \"a\\b\" is looked at";
  EXPECT_STREQ(a, "a");
}
