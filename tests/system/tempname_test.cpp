#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/cstring.h"
#include "path_test_util.h"
#include "system/programpath.h"
#include "system/tempname.h"

namespace {

const char* const kUnique = TempNamePart(TEMPNAME_UNIQUE);

std::string TempDir() {
  char t[MAX_PATH];
  GetTempPathA(MAX_PATH, t);
  return t;
}

bool IsHexName(const std::string& s) {
  if (s.size() != 8) return false;
  for (char c : s)
    if (!std::strchr("0123456789ABCDEF", c)) return false;
  return true;
}

bool IsDirectory(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// A name made below the temporary directory, whose unique first component
// is removed afterwards.
struct TempName {
  std::string name;
  int result = -1;
  TempName(const char* p2, const char* p3 = nullptr, const char* p4 = nullptr) {
    char buf[1024] = "junk";
    int n = -1;
    result = MakeTempFileName(buf, sizeof buf, kUnique, p2, p3, p4, &n);
    EXPECT_EQ(n, (int)std::strlen(buf));
    name = buf;
  }
  ~TempName() {
    std::string temp = TempDir();
    if (name.size() > temp.size() + 8) RemoveTree(name.substr(0, temp.size() + 8));
  }
  // The part behind the temporary directory and the 8 digits.
  std::string Tail() const { return name.substr(TempDir().size() + 8); }
  std::string Digits() const { return name.substr(TempDir().size(), 8); }
};

}  // namespace

TEST(TempName, UniqueDirectory) {
  char buf[1024];
  int n = -1;
  EXPECT_EQ(MakeTempFileName(buf, sizeof buf, kUnique, nullptr, nullptr, nullptr, &n), 1);
  std::string name = buf, temp = TempDir();
  ASSERT_EQ(name.size(), temp.size() + 9);
  EXPECT_EQ(n, (int)name.size());
  EXPECT_EQ(name.substr(0, temp.size()), temp);
  EXPECT_TRUE(IsHexName(name.substr(temp.size(), 8))) << name;
  EXPECT_EQ(name.back(), '\\');
  EXPECT_TRUE(IsDirectory(name));

  char second[1024];
  EXPECT_EQ(MakeTempFileName(second, sizeof second, kUnique), 1);
  EXPECT_STRNE(buf, second) << "a name in use is not chosen again";
  RemoveTree(name.substr(0, name.size() - 1));
  RemoveTree(std::string(second, std::strlen(second) - 1));
}

TEST(TempName, FileBelowAUniqueDirectory) {
  TempName t("?name.tmp");
  EXPECT_EQ(t.result, 1);
  EXPECT_TRUE(IsHexName(t.Digits()));
  EXPECT_EQ(t.Tail(), "\\name.tmp");
  EXPECT_TRUE(IsDirectory(t.name.substr(0, t.name.size() - 8)));
  EXPECT_EQ(GetFileAttributesA(t.name.c_str()), INVALID_FILE_ATTRIBUTES) << "the file is not made";
}

TEST(TempName, TextPrefixes) {
  struct {
    const char* p2;
    const char* p3;
    const char* p4;
    const char* tail;
  } cases[] = {
      {"dir", "*.bak", nullptr, "\\dir.bak\\"},      // extends the last component
      {"?file.txt", "#bak", nullptr, "\\file.bak"},  // replaces its extension
      {"?file.txt", "#.bak", nullptr, "\\file.bak"},
      {"?a.b.c", "#x", nullptr, "\\a.b.x"},
      {"?file", "#bak", nullptr, "\\file.bak"},          // a name without one gets one
      {"\\lead", "/slash", nullptr, "\\lead\\slash\\"},  // one leading separator is skipped
      {"x\\", "y", nullptr, "\\x\\y\\"},
      {TempNamePart(TEMPNAME_NAME_ONLY), "some\\dir\\name.txt", nullptr, "\\name.txt"},
      {"?a", "b", nullptr, "\\a\\b"},
  };
  for (const auto& c : cases) {
    TempName t(c.p2, c.p3, c.p4);
    EXPECT_EQ(t.Tail(), c.tail) << c.p3;
    EXPECT_NE(t.result, 0) << c.tail;
    std::string made = t.name.back() == '\\' ? t.name : t.name.substr(0, t.name.rfind('\\') + 1);
    EXPECT_TRUE(IsDirectory(made)) << made;
  }
}

TEST(TempName, UniqueSuffixExtendsTheLastComponent) {
  TempName t("base", TempNamePart(TEMPNAME_UNIQUE_SUFFIX), "?f");
  EXPECT_EQ(t.result, 1);
  std::string tail = t.Tail();
  ASSERT_EQ(tail.size(), 1 + 4 + 8 + 2u) << tail;
  EXPECT_EQ(tail.substr(0, 5), "\\base");
  EXPECT_TRUE(IsHexName(tail.substr(5, 8))) << tail;
  EXPECT_EQ(tail.substr(13), "\\f");
}

TEST(TempName, ProgramDirectory) {
  char prog[MAX_PATH];
  int nProg = GetProgramDirectory(prog, MAX_PATH);
  char buf[MAX_PATH];
  int n = 0;
  EXPECT_EQ(
      MakeTempFileName(buf, MAX_PATH, TempNamePart(TEMPNAME_PROGRAM_DIR), "tempname_test_x", "?y.txt", nullptr, &n), 1);
  EXPECT_EQ(std::string(buf), std::string(prog) + "tempname_test_x\\y.txt");
  EXPECT_EQ(n, nProg + 21);
  EXPECT_TRUE(IsDirectory(std::string(prog) + "tempname_test_x"));
  RemoveTree(std::string(prog) + "tempname_test_x");
  // The program's directory must leave a character free.
  EXPECT_EQ(MakeTempFileName(buf, nProg + 1, TempNamePart(TEMPNAME_PROGRAM_DIR), "x"), 0);
  EXPECT_STREQ(buf, "");
}

TEST(TempName, TooSmallBuffers) {
  std::string temp = TempDir();
  char buf[1024];
  int n = 7;
  // No room for the digits, the backslash and the NUL.
  EXPECT_EQ(MakeTempFileName(buf, (int)temp.size() + 9, kUnique, nullptr, nullptr, nullptr, &n), 0);
  EXPECT_EQ(n, 0);
  EXPECT_STREQ(buf, "");
  // A text must leave two characters free.
  EXPECT_EQ(MakeTempFileName(buf, (int)temp.size() + 4, "abc"), 0);
  EXPECT_EQ(MakeTempFileName(buf, (int)temp.size(), nullptr), 0) << "the directory does not fit";

  wchar_t w[1024];
  EXPECT_EQ(MakeTempFileNameW(w, 1024, TempNamePartW(TEMPNAME_UNIQUE), L"?w.txt", nullptr, nullptr, &n), 1);
  std::string name = Narrow(w);
  EXPECT_EQ(name.substr(name.size() - 6), "\\w.txt");
  RemoveTree(name.substr(0, temp.size() + 8));

  CString s;
  EXPECT_EQ(MakeTempFileNameStr(s, kUnique, "?s.txt", nullptr, nullptr, &n), 1);
  EXPECT_EQ(s.GetLength(), n);
  EXPECT_EQ(std::string(s).substr(n - 6), "\\s.txt");
  RemoveTree(std::string(s).substr(0, temp.size() + 8));
}
