#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/cstring.h"
#include "path_test_util.h"
#include "system/pathedit.h"
#include "system/programpath.h"

namespace {

struct EditCase {
  const char* src;
  const char* text;
  int size;
  const char* want;
};

// Checks an editing routine's 8-bit form into a fresh target and in place,
// and its 16-bit twin, over a table.
template <class FA, class FW>
void CheckEdit(const EditCase* cases, size_t count, FA fa, FW fw) {
  for (size_t i = 0; i < count; ++i) {
    const EditCase& c = cases[i];
    int want = (int)std::strlen(c.want);
    char t[64];
    std::memset(t, 'x', sizeof t);
    EXPECT_EQ(fa(-1, t, c.src, c.text, c.size), want) << c.src << " | " << c.text << " | " << c.size;
    EXPECT_STREQ(t, c.want) << c.src << " | " << c.text;
    char in[64];
    std::strcpy(in, c.src);
    EXPECT_EQ(fa(-1, in, in, c.text, c.size), want) << "in place: " << c.src;
    EXPECT_STREQ(in, c.want) << "in place: " << c.src;
    std::wstring src = Wide(c.src), text = Wide(c.text);
    wchar_t w[64];
    EXPECT_EQ(fw(-1, w, src.c_str(), text.c_str(), c.size), want) << c.src;
    EXPECT_EQ(Narrow(w), c.want) << c.src;
  }
}

// Adapters for the routines that take the new text's length as well.
int FileNameA(int n, char* t, const char* s, const char* x, int size) {
  return ReplaceFileNamePart(n, t, s, x, -1, size);
}
int FileNameW(int n, wchar_t* t, const wchar_t* s, const wchar_t* x, int size) {
  return ReplaceFileNamePartW(n, t, s, x, -1, size);
}
int BaseA(int n, char* t, const char* s, const char* x, int size) { return ReplaceBaseName(n, t, s, x, -1, size); }
int BaseW(int n, wchar_t* t, const wchar_t* s, const wchar_t* x, int size) {
  return ReplaceBaseNameW(n, t, s, x, -1, size);
}
int DirA(int n, char* t, const char* s, const char* x, int size) { return ReplaceDirectoryPart(n, t, s, x, -1, size); }
int DirW(int n, wchar_t* t, const wchar_t* s, const wchar_t* x, int size) {
  return ReplaceDirectoryPartW(n, t, s, x, -1, size);
}

}  // namespace

TEST(PathEdit, InsertExtension) {
  const EditCase cases[] = {
      {"a.txt", "bak", 64, "a.bak.txt"},
      {"a", "*.bak", 64, "a.bak"},
      {"a.b.c", "x", 64, "a.b.x.c"},
      {"dir.d\\f", ".x", 64, "dir.d\\f.x"},
      {"dir\\.profile", "x", 64, "dir\\.x.profile"},  // a leading dot counts here
      {"a.txt", "bak", 9, "a.txt"},                   // one short: the source, unchanged
      {"a.txt", "bak", 10, "a.bak.txt"},
      {"abcdef", "x", 4, "abc"},  // the source, cut
  };
  CheckEdit(cases, sizeof cases / sizeof cases[0], InsertExtension, InsertExtensionW);
}

TEST(PathEdit, ReplaceExtension) {
  const EditCase cases[] = {
      {"dir\\a.txt", "*.bak", 64, "dir\\a.bak"},
      {"dir\\a.txt", "", 64, "dir\\a"},
      {"dir\\.profile", "x", 64, "dir\\.profile.x"},
      {"a.b.c", ".d", 64, "a.b.d"},
      {"D:x", "y", 64, "D:x.y"},
      {"a.txt", "longer", 6, "a.lon"},  // the extension is cut to fit
      {"abc.txt", "x", 4, "abc"},       // no room behind the dot: the source, cut
  };
  CheckEdit(cases, sizeof cases / sizeof cases[0], ReplaceExtension, ReplaceExtensionW);
}

TEST(PathEdit, ReplaceFileNamePart) {
  const EditCase cases[] = {
      {"D:\\dir\\old.txt", "new.txt", 64, "D:\\dir\\new.txt"},
      {"\\name", "x", 64, "x"},  // the first character is never a separator
      {"D:name", "x", 64, "D:x"},
      {"name", "", 64, ""},
      {"D:\\dir\\old.txt", "new.txt", 10, "D:\\dir\\ne"},
      {"D:\\dir\\old.txt", "new.txt", 7, "D:\\dir"},  // the name starts beyond the room
  };
  CheckEdit(cases, sizeof cases / sizeof cases[0], FileNameA, FileNameW);
  char t[32];
  EXPECT_EQ(ReplaceFileNamePart(-1, t, "D:\\dir\\old.txt", "new.txt", 3, 32), 10);
  EXPECT_STREQ(t, "D:\\dir\\new");
}

TEST(PathEdit, ReplaceBaseName) {
  const EditCase cases[] = {
      {"dir\\old.txt", "new", 64, "dir\\new.txt"},
      {"dir\\name", "new", 64, "dir\\new"},
      {"dir\\.profile", "new", 64, "dir\\new.profile"},
      {"a.b.c", "x", 64, "x.c"},
      {"", "text", 64, "text"},
  };
  CheckEdit(cases, sizeof cases / sizeof cases[0], BaseA, BaseW);
  // Too long: the target stays as it was and the result is the source's length.
  char t[8] = "keep";
  EXPECT_EQ(ReplaceBaseName(-1, t, "d\\a.txt", "longname", -1, 8), 7);
  EXPECT_STREQ(t, "keep");
}

TEST(PathEdit, ReplaceDirectoryPart) {
  const EditCase cases[] = {
      {"D:\\a\\f.txt", "E:\\b", 64, "E:\\b\\f.txt"},
      {"D:\\a\\f.txt", "E:\\b\\", 64, "E:\\b\\f.txt"},
      {"f.txt", "", 64, "\\f.txt"},
      {"D:f", "x/", 64, "x/f"},
      {"D:\\long\\directory\\f", "E:", 64, "E:\\f"},
  };
  CheckEdit(cases, sizeof cases / sizeof cases[0], DirA, DirW);
  char t[8] = "keep";
  EXPECT_EQ(ReplaceDirectoryPart(-1, t, "a\\f.txt", "E:\\b", -1, 8), 7);
  EXPECT_STREQ(t, "keep");
}

TEST(PathEdit, FrameworkStringForms) {
  CString s = "C:\\dir\\a.txt";
  EXPECT_EQ(ReplaceExtensionStr(s, "reg"), 12);
  EXPECT_STREQ(s, "C:\\dir\\a.reg");
  EXPECT_EQ(InsertExtensionStr(s, "bak"), 16);
  EXPECT_STREQ(s, "C:\\dir\\a.bak.reg");
  EXPECT_EQ(ReplaceFileNamePartStr(s, "longer_name.txt"), 22);
  EXPECT_STREQ(s, "C:\\dir\\longer_name.txt");
  EXPECT_EQ(ReplaceBaseNameStr(s, "x", 1), 12);
  EXPECT_STREQ(s, "C:\\dir\\x.txt");
  EXPECT_EQ(ReplaceDirectoryPartStr(s, "D:\\other\\place"), 20);
  EXPECT_STREQ(s, "D:\\other\\place\\x.txt");

  CString src = "E:\\f.txt";
  EXPECT_EQ(ReplaceExtensionStr(s, src, ""), 4);
  EXPECT_STREQ(s, "E:\\f");
  EXPECT_EQ(ReplaceBaseNameStr(s, "a\\b.c", "name"), 8);
  EXPECT_STREQ(s, "a\\name.c");
  EXPECT_EQ(InsertExtensionStr(s, (const char*)s, "x"), 10) << "the source may be the string's own text";
  EXPECT_STREQ(s, "a\\name.x.c");
}

TEST(PathEdit, ProgramPathAndDirectory) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char t[MAX_PATH];
  EXPECT_EQ(GetProgramPath(t, MAX_PATH), (int)std::strlen(path));
  EXPECT_STREQ(t, path);
  int n = GetProgramDirectory(t, MAX_PATH);
  ASSERT_GT(n, 0);
  EXPECT_EQ(t[n - 1], '\\');
  EXPECT_EQ(std::string(path).rfind('\\') + 1, (size_t)n);
  EXPECT_EQ(std::strncmp(t, path, n), 0);

  wchar_t w[MAX_PATH];
  EXPECT_EQ(GetProgramDirectoryW(w, MAX_PATH), n);
  EXPECT_EQ(Narrow(w), std::string(path, n));
  CString s;
  EXPECT_EQ(GetProgramPathStr(s), (int)std::strlen(path));
  EXPECT_STREQ(s, path);
  EXPECT_EQ(GetProgramDirectoryStr(s), n);

  // A buffer too small for the path gives empty text, not a cut path.
  std::strcpy(t, "junk");
  EXPECT_EQ(GetProgramPath(t, 5), 0);
  EXPECT_STREQ(t, "");
}
