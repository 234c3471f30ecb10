#include "system/files/pathnormal.h"

#include <gtest/gtest.h>

#include <string>

#include "base/cstring.h"
#include "files_test_util.h"

namespace {

// Both widths of one case: the 8-bit result and length, checked against
// the 16-bit one.
struct Result {
  std::string text;
  int length;
};

Result Canon(const std::string& in, int size = 260) {
  std::string buf((size_t)(size > 0 ? size : 1) + 8, '#');
  int n = CanonicalizePath(&buf[0], in.c_str(), size);
  std::wstring wbuf((size_t)(size > 0 ? size : 1) + 8, L'#');
  std::wstring win = Widen(in);
  int nw = CanonicalizePathW(&wbuf[0], win.c_str(), size);
  EXPECT_EQ(n, nw) << in;
  int nn = CanonicalizePathN(&buf[0], in.c_str(), size, (int)in.size());
  EXPECT_EQ(n, nn) << in;
  std::string text = size > 0 ? std::string(buf.c_str()) : std::string();
  if (size > 0) {
    EXPECT_EQ(Widen(text), std::wstring(wbuf.c_str())) << in;
  }
  return Result{text, n};
}

TEST(PathNormal, Canonicalize) {
  struct Case {
    const char* in;
    const char* out;
    int length;
  };
  // clang-format off
  const Case cases[] = {
    {"X:\\a\\b\\..\\c", "X:\\a\\c", 6}, {"X:\\a\\.\\b", "X:\\a\\b", 6}, {"X:\\a\\b\\..", "X:\\a", 4},
    {"X:\\dir\\..", "X:\\.", 4}, {"X:\\a\\.", "X:\\a", 4}, {"X:\\.", "X:\\.", 4},
    {"a\\..", "", 0}, {"a\\..\\b", ".\\b", 3}, {"x\\..\\..\\y", ".\\..\\y", 6},
    {"..\\..", "..\\..", 5}, {"\\..\\..", "\\..\\..", 6}, {"X:\\a\\..\\..\\b", "X:\\..\\b", 7},
    {"\\\\srv\\share\\a\\..\\b", "\\\\srv\\share\\b", 13}, {"\\\\srv\\share\\..", "\\\\srv\\.", 7},
    {"a\\\\b", "a\\\\b", 4}, {"a/./b", "a/b", 3}, {"X:\\\\a\\..\\b", "X:\\\\b", 5},
    {"Maß €\\.\\x\\..\\y", "Maß €\\y", 7}, {"", "", 0}, {"a/b/../../..", "./..", 4},
  };
  // clang-format on
  for (const Case& c : cases) {
    Result r = Canon(c.in);
    EXPECT_EQ(c.out, r.text) << c.in;
    EXPECT_EQ(c.length, r.length) << c.in;
  }
}

TEST(PathNormal, SizesAndInPlace) {
  // Size 1 empties, below 1 leaves the buffer alone.
  char buf[32] = "keep";
  EXPECT_EQ(-1, CanonicalizePath(buf, "abc", 1));
  EXPECT_EQ('\0', buf[0]);
  strcpy(buf, "keep");
  EXPECT_EQ(-1, CanonicalizePath(buf, "abc", 0));
  EXPECT_STREQ("keep", buf);
  // A result of exactly size - 1 fits; one more does not.
  EXPECT_EQ(6, Canon("X:\\a\\b\\..\\c", 7).length);
  Result r = Canon("X:\\a\\b\\..\\c", 6);
  EXPECT_EQ(-1, r.length);
  EXPECT_EQ("", r.text);
  EXPECT_EQ(-1, Canon("\\\\server\\x", 8).length);
  // The same buffer as input and output.
  strcpy(buf, "X:\\a\\b\\..\\c\\.\\d");
  EXPECT_EQ(8, CanonicalizePath(buf, buf, sizeof buf));
  EXPECT_STREQ("X:\\a\\c\\d", buf);
  wchar_t wbuf[32] = L"a\\..\\b";
  EXPECT_EQ(3, CanonicalizePathW(wbuf, wbuf, 32));
  EXPECT_STREQ(L".\\b", wbuf);
  // The counted form stops at its length.
  EXPECT_EQ(4, CanonicalizePathN(buf, "X:\\a\\b", 32, 4));
  EXPECT_STREQ("X:\\a", buf);
}

TEST(PathNormal, Join) {
  struct Case {
    const char* base;
    const char* rel;
    const char* out;
  };
  // clang-format off
  const Case cases[] = {
    {"X:\\a", "b\\..\\c", "X:\\a\\c"}, {"X:\\a\\", "\\b", "X:\\a\\b"}, {"X:\\a", "..\\..\\b", "X:\\..\\b"},
    {"", "b", "\\b"}, {"X:\\a", "\\\\srv\\s\\..", "\\\\srv\\."}, {"X:\\a", "Y:\\b\\..\\c", "X:\\a\\Y:\\c"}, {"X:\\a", "Y:b\\..\\c", "Y:.\\c"},
    {"X:\\a", "b:", "X:\\a\\b:"}, {"X:\\a/", "b", "X:\\a/b"},
  };
  // clang-format on
  for (const Case& c : cases) {
    char out[260];
    wchar_t wout[260];
    int n = JoinCanonicalPath(out, c.base, 260, -1, c.rel, -1);
    std::wstring wb = Widen(c.base), wr = Widen(c.rel);
    int nw = JoinCanonicalPathW(wout, wb.c_str(), 260, (int)wb.size(), wr.c_str(), (int)wr.size());
    EXPECT_STREQ(c.out, out) << c.base << " + " << c.rel;
    EXPECT_EQ((int)strlen(c.out), n);
    EXPECT_EQ(n, nw);
    EXPECT_EQ(Widen(c.out), std::wstring(wout));
  }
  char out[260];
  EXPECT_EQ(5, JoinCanonicalPath(out, "X:\\a\\zzz", 260, 4, "", 0));
  EXPECT_STREQ("X:\\a\\", out);
}

TEST(PathNormal, MakeRelative) {
  struct Case {
    const char* from;
    const char* to;
    int min;
    const char* out;  // null: -1
  };
  // clang-format off
  const Case cases[] = {
    {"X:\\a\\b\\c\\", "X:\\a\\x\\y", 1, "..\\..\\x\\y"}, {"X:\\a\\b\\", "X:\\a\\b\\x", 1, "x"},
    {"X:\\a\\b\\c\\", "X:\\a\\b", 1, ".."}, {"X:\\a\\b\\", "X:\\a\\b", 1, "."}, {"X:\\a\\b\\", "X:\\a\\b\\", 1, ""},
    {"X:\\A\\B\\", "x:\\a\\x", 1, "..\\x"}, {"X:\\a\\b\\c\\", "Y:\\x", 1, nullptr},
    {"X:\\a\\b\\c\\", "Y:\\x", 0, "..\\..\\..\\..\\Y:\\x"}, {"X:\\a\\b\\", "X:\\a\\c", 3, nullptr},
    // A from-directory without its trailing separator counts as one with it.
    {"X:\\a\\b\\c", "X:\\a\\x\\y", 1, "..\\..\\x\\y"}, {"X:\\a\\b", "X:\\a\\b\\x", 1, "x"}, {"X:\\a\\b\\c", "X:\\a\\b\\d", 1, "..\\d"},
    {"\\\\srv\\s\\a\\", "\\\\SRV\\s\\b", 2, "..\\b"}, {"\\\\srv\\", "X:\\b", 0, nullptr}, {"\\a\\", "a\\b", 0, nullptr},
    {"a/b/", "a/c", 1, "../c"}, {"X:\\Maß €\\", "x:\\MASS €\\y", 2, nullptr}, {"X:\\Maß €\\", "x:\\MAß €\\y", 2, "y"},
  };
  // clang-format on
  for (const Case& c : cases) {
    char out[260];
    wchar_t wout[260];
    int n = MakeRelativePath(out, c.from, c.to, 260, c.min);
    int nw = MakeRelativePathW(wout, Widen(c.from).c_str(), Widen(c.to).c_str(), 260, c.min);
    EXPECT_EQ(n, nw) << c.from << " -> " << c.to;
    if (!c.out) {
      EXPECT_EQ(-1, n) << c.from << " -> " << c.to;
      continue;
    }
    EXPECT_STREQ(c.out, out) << c.from << " -> " << c.to;
    EXPECT_EQ((int)strlen(c.out), n);
    EXPECT_EQ(Widen(c.out), std::wstring(wout));
  }
  char out[8];
  EXPECT_EQ(-1, MakeRelativePath(out, "X:\\a\\b\\c\\", "X:\\a\\xyz", 8, 1));
  EXPECT_EQ(6, MakeRelativePath(out, "X:\\a\\b\\", "X:\\a\\xyz", 8, 1));
  EXPECT_EQ(-1, MakeRelativePath(out, "X:\\a\\", "X:\\a", 0, 1));
}

TEST(PathNormal, Resolve) {
  struct Case {
    const char* base;
    const char* rel;
    int levels;
    const char* out;
  };
  // clang-format off
  const Case cases[] = {
    {"X:\\a\\b", "x\\y", 1, "X:\\a\\b\\x\\y"}, {"X:\\a\\b", "\\x", 1, "X:\\x"}, {"X:\\a\\b", "\\x", 2, "X:\\a\\x"},
    {"X:\\a\\b", "Y:\\x", 1, "Y:\\x"}, {"X:\\a\\b", "X:x", 1, "X:\\a\\b\\x"}, {"X:\\a\\b", "Y:x", 1, "Y:x"},
    {"X:\\a\\b", "..\\..\\..\\x", 1, "X:\\..\\x"}, {"X:\\a\\b", "..\\..\\..\\x", 2, "X:\\a\\..\\..\\x"},
    {"X:\\a\\b", "..\\x", 0, "X:\\a\\x"}, {"X:\\a\\b\\", "c", 1, "X:\\a\\b\\c"}, {"", "x", 0, "\\x"},
    {"\\\\srv\\share\\a", "..\\..\\x", 1, "\\\\srv\\x"}, {"\\\\srv\\share\\a", "\\x", 1, "\\\\srv\\x"},
    {"a/b", "c", 1, "a/b/c"}, {"X:\\a\\b", "\\x", 0, "\\x"}, {"X:\\a\\b", "\\\\s\\t\\..", 1, "\\\\s\\."},
  };
  // clang-format on
  for (const Case& c : cases) {
    char out[260];
    wchar_t wout[260];
    int n = ResolveRelativePath(out, c.base, c.rel, 260, c.levels);
    int nw = ResolveRelativePathW(wout, Widen(c.base).c_str(), Widen(c.rel).c_str(), 260, c.levels);
    EXPECT_STREQ(c.out, out) << c.base << " + " << c.rel << " / " << c.levels;
    EXPECT_EQ((int)strlen(c.out), n) << c.base << " + " << c.rel;
    EXPECT_EQ(n, nw);
    EXPECT_EQ(Widen(c.out), std::wstring(wout));
  }
  char out[8] = "keep";
  EXPECT_EQ(-1, ResolveRelativePath(out, "X:\\a\\b", "xyz", 8, 1));
  EXPECT_STREQ("", out);
  EXPECT_EQ(-1, ResolveRelativePath(out, "X:\\a\\b", "x", 0, 1));
}

TEST(PathNormal, StringWrappers) {
  CString s = "X:\\a\\..\\b";
  EXPECT_EQ(4, CanonicalizePathStr(s));
  EXPECT_STREQ("X:\\b", s);
  CanonicalizePathToStr(s, "a\\.\\b");
  EXPECT_STREQ("a\\b", s);
  // The input may be the string's own text.
  s = "q\\..\\r\\s";
  CanonicalizePathToStr(s, s);
  EXPECT_STREQ(".\\r\\s", s);
  CanonicalizePathNToStr(s, "a\\b\\c", 3);
  EXPECT_STREQ("a\\b", s);
  s = "X:\\a\\b\\";
  EXPECT_EQ(4, MakeRelativePathStr(s, s, "X:\\a\\c", 1));
  EXPECT_STREQ("..\\c", s);
  s = "X:\\a";
  EXPECT_EQ(6, ResolveRelativePathStr(s, s, "b", 1));
  EXPECT_STREQ("X:\\a\\b", s);
  EXPECT_EQ(-1, MakeRelativePathStr(s, "X:\\a\\", "Y:\\a", 1));
  EXPECT_STREQ("", s);
  std::string longPath(600, 'a');
  s = "x";
  EXPECT_EQ(-1, CanonicalizePathToStr(s, longPath.c_str()));
  EXPECT_STREQ("", s);
}

}  // namespace
