#include "text/rename/renamemask.h"

#include <gtest/gtest.h>

#include <string>

#include "guardpage.h"
#include "wide.h"

namespace {

struct Result {
  int length;
  std::string text;
};

Result RenameA(const char* mask, const std::string& source, int size, uint32_t flags) {
  std::string out(size > 0 ? size : 1, '#');
  int r = ApplyRenameMaskA(mask, (int)source.size(), source.data(), &out[0], size, flags);
  return {r, size > 0 ? std::string(out.c_str()) : std::string()};
}

Result RenameW(const char* mask, const std::string& source, int size, uint32_t flags) {
  const WString m = Wide(mask), s = Wide(source.c_str());
  WString out(size > 0 ? size : 1, L'#');
  int r = ApplyRenameMaskW(m.c_str(), (int)s.size(), s.data(), &out[0], size, flags);
  std::string narrow;
  for (size_t i = 0; size > 0 && out[i]; ++i) narrow += (char)out[i];
  return {r, narrow};
}

}  // namespace

TEST(RenameMask, BuildPattern) {
  struct Case {
    const char* mask;
    int size;
    uint32_t flags;
    const char* pattern;
  } cases[] = {
      {"ab|cd|ef|g", 32, MASK_NO_MERGE, "**cd*"},
      {"ab|cd|ef|g", 32, 0, "*cd*"},
      {"*.bak", 32, MASK_NO_MERGE, "*.***"},
      {"*.bak", 32, 0, "*.*"},
      {"*.bak", 32, MASK_DOTS_PLAIN, "*"},
      {"a?.b", 32, MASK_KEEP_TEXT, "a?.b"},
      {"abc?.txt", 32, MASK_NO_MERGE, "***?.***"},
      {"*.bak", 3, MASK_NO_MERGE, "*."},       // plain text while there is room
      {"ab|cdef|x|", 4, MASK_NO_MERGE, "**"},  // X only when it fits whole
      {"ab|cd|x|", 5, MASK_NO_MERGE, "**cd"},  // exact
      {"*.bak", 2, 0, "*"},
      {"*.bak", 1, 0, ""},
      {"", 8, 0, ""},
      {"|x", 8, 0, "x"},  // an unclosed X is copied
  };
  for (const Case& c : cases) {
    char buf[32];
    wchar_t bufW[32];
    const int n = (int)std::string(c.pattern).size();
    EXPECT_EQ(BuildMaskPatternA(c.mask, buf, c.size, c.flags), n) << c.mask << " " << c.size;
    EXPECT_STREQ(buf, c.pattern) << c.mask << " " << c.size;
    EXPECT_EQ(BuildMaskPatternW(Wide(c.mask).c_str(), bufW, c.size, c.flags), n);
    EXPECT_EQ(WString(bufW), Wide(c.pattern)) << c.mask;
  }
  char buf[2] = "x";
  EXPECT_EQ(BuildMaskPatternA("abc", buf, 0, 0), 0);
  EXPECT_EQ(buf[0], 'x');
}

TEST(RenameMask, Apply) {
  struct Case {
    const char* mask;
    const char* source;
    int size;
    uint32_t flags;
    int length;
    const char* result;
  } cases[] = {
      {"*.bak", "file.txt", 32, 0, 8, "file.bak"},
      {"*.bak", "file", 32, 0, 8, "file.bak"},
      {"*.*", "file.txt", 32, 0, 8, "file.txt"},
      {"*.*", "file", 32, 0, 4, "file"},
      {"*|.txt|.bak|", "file.txt", 32, 0, 8, "file.bak"},
      {"*|.TXT|.bak|", "file.txt", 32, RENAME_IGNORE_CASE, 8, "file.bak"},
      {"*|.TXT|.bak|", "file.txt", 32, 0, -1, ""},
      {"abc?.txt", "wxyz.doc", 32, 0, 8, "abcz.txt"},
      {"x*.txt", "abc.txt", 32, 0, 5, "x.txt"},
      {"*", "a.b.c", 32, 0, 5, "a.b.c"},
      {"*.x", "a.b.c", 32, 0, 5, "a.b.x"},  // the last dot starts the extension
      {"?x", ".a", 32, 0, -1, ""},
      {"?x", ".a", 32, RENAME_DOTS_PLAIN, 2, ".x"},
      {"??", "a", 32, 0, -1, ""},
      {"*|.txt", "a.txt", 32, 0, -1, ""},  // unclosed substitution
      {"*|.txt|", "a.txt", 32, 0, -1, ""},
      {"**", "abc", 1, 0, 0, ""},
      {"", "abc", 1, 0, 0, ""},
      {"a", "abc", 1, 0, -1, ""},
      {"*.bak", "file.txt", 9, 0, 8, "file.bak"},  // exact
      {"*.bak", "file.txt", 8, 0, -1, ""},         // one short
      {"*.bak", "file.txt", 0, 0, -1, ""},
      {"*.txt", "file.txt", 32, RENAME_CHECK_SOURCE, 8, "file.txt"},
      {"*.txt", "file.doc", 32, RENAME_CHECK_SOURCE, -1, ""},
      {"*.TXT", "file.txt", 32, RENAME_CHECK_SOURCE | RENAME_IGNORE_CASE, 8, "file.TXT"},
  };
  for (const Case& c : cases) {
    Result a = RenameA(c.mask, c.source, c.size, c.flags);
    EXPECT_EQ(a.length, c.length) << c.mask << " on " << c.source << " size " << c.size;
    EXPECT_EQ(a.text, c.result) << c.mask << " on " << c.source << " size " << c.size;
    Result w = RenameW(c.mask, c.source, c.size, c.flags);
    EXPECT_EQ(w.length, c.length) << "W " << c.mask << " on " << c.source;
    EXPECT_EQ(w.text, c.result) << "W " << c.mask << " on " << c.source;
  }
}

TEST(RenameMask, SourceReadOnlyWithinItsLength) {
  GuardedBlock g, gw;
  const char* src = g.AtEnd("file.txt", 8);  // no terminator
  char out[16];
  EXPECT_EQ(ApplyRenameMaskA("*.bak", 8, src, out, 16, 0), 8);
  EXPECT_STREQ(out, "file.bak");
  EXPECT_EQ(ApplyRenameMaskA("*.txt", 8, src, out, 16, RENAME_CHECK_SOURCE), 8);
  EXPECT_EQ(ApplyRenameMaskA("*.txt", 6, src, out, 16, RENAME_CHECK_SOURCE), -1);  // "file.t"
  const wchar_t* srcW = gw.AtEnd(L"file.txt", 8);
  wchar_t outW[16];
  EXPECT_EQ(ApplyRenameMaskW(L"*.txt", 8, srcW, outW, 16, RENAME_CHECK_SOURCE), 8);
  EXPECT_EQ(ApplyRenameMaskW(L"*|.txt|.b|", 8, srcW, outW, 16, 0), 6);
  EXPECT_EQ(WString(outW), WString(L"file.b"));
  // A mask longer than the stack buffer.
  std::string longMask(300, '*');
  longMask += ".bak";
  EXPECT_EQ(ApplyRenameMaskA(longMask.c_str(), 8, src, out, 16, 0), 8);
  EXPECT_STREQ(out, "file.bak");
}
