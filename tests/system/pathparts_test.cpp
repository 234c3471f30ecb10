#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/cstring.h"
#include "path_test_util.h"
#include "system/pathparts.h"

namespace {

struct PartCase {
  const char* path;
  const char* want;
};

// Runs a copying routine's two twins over a table with a roomy target.
template <class FA, class FW>
void CheckCopying(const PartCase* cases, size_t count, FA fa, FW fw) {
  for (size_t i = 0; i < count; ++i) {
    const PartCase& c = cases[i];
    char a[64] = "junk";
    EXPECT_EQ(fa(a, -1, c.path, 64), (int)std::strlen(c.want)) << c.path;
    EXPECT_STREQ(a, c.want) << c.path;
    std::wstring path = Wide(c.path);
    wchar_t w[64] = L"junk";
    EXPECT_EQ(fw(w, -1, path.c_str(), 64), (int)std::strlen(c.want)) << c.path;
    EXPECT_EQ(Narrow(w), c.want) << c.path;
  }
}

}  // namespace

TEST(PathParts, FindExtension) {
  const PartCase cases[] = {
      {"a.b.c", "c"}, {"dir.d\\file", ""}, {".profile", ""},     {"dir\\.profile", ""},
      {"a..b", "b"},  {"D:.x", ""},        {"dir/x.txt", "txt"}, {"", ""},
      {"x.", ""},     {"a.b:c", "b:c"},  // a colon does not end the scan
  };
  for (const PartCase& c : cases) {
    int n = -2;
    const char* p = FindExtension(-1, c.path, &n);
    EXPECT_STREQ(p, c.want) << c.path;
    EXPECT_EQ(n, (int)std::strlen(c.want)) << c.path;
    std::wstring path = Wide(c.path);
    const wchar_t* pw = FindExtensionW(-1, path.c_str(), &n);
    EXPECT_EQ(Narrow(pw), c.want) << c.path;
    EXPECT_EQ(n, (int)std::strlen(c.want)) << c.path;
  }
  // The counted form looks at nothing behind its length.
  int n;
  const char* path = "a.bc.de";
  EXPECT_EQ(FindExtension(4, path, &n), path + 2);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(FindExtension(1, path, &n), path + 1);
  EXPECT_EQ(n, 0);

  const PartCase copies[] = {{"a.b.c", "c"}, {"dir\\.profile", ""}, {"x.txt", "txt"}};
  CheckCopying(copies, 3, GetExtension, GetExtensionW);
  CString s;
  EXPECT_EQ(GetExtensionStr(s, "dir\\a.reg"), 3);
  EXPECT_STREQ(s, "reg");
}

TEST(PathParts, FileNameAndOffset) {
  const PartCase cases[] = {
      {"D:name", "name"}, {"\\\\server", "server"}, {"name", "name"}, {"a/b\\c", "c"}, {"dir\\", ""},
  };
  for (const PartCase& c : cases) {
    int n = -2;
    const char* p = FindFileNamePart(-1, c.path, &n);
    EXPECT_STREQ(p, c.want) << c.path;
    EXPECT_EQ(n, (int)std::strlen(c.want));
    EXPECT_EQ(GetFileNameOffset(0, c.path), (int)(p - c.path)) << "the length argument is not used";
    std::wstring path = Wide(c.path);
    EXPECT_EQ(Narrow(FindFileNamePartW(-1, path.c_str(), &n)), c.want);
    EXPECT_EQ(GetFileNameOffsetW(0, path.c_str()), (int)(p - c.path));
  }
  CheckCopying(cases, sizeof cases / sizeof cases[0], GetFileNamePart, GetFileNamePartW);
  CString s = "x";
  EXPECT_EQ(GetFileNameStr(s, "C:\\dir\\file.txt"), 8);
  EXPECT_STREQ(s, "file.txt");
}

TEST(PathParts, BaseAndDirectoryPart) {
  const PartCase bases[] = {
      {"dir\\archive.tar.gz", "archive.tar"},
      {"dir\\.profile", ".profile"},
      {"D:x.y", "x"},
      {"noext", "noext"},
  };
  CheckCopying(bases, 4, GetBaseName, GetBaseNameW);
  const PartCase dirs[] = {{"dir\\sub\\f.txt", "dir\\sub\\"}, {"f.txt", ""}, {"D:f", "D:"}, {"a/b", "a/"}};
  CheckCopying(dirs, 4, GetDirectoryPart, GetDirectoryPartW);

  int n = -1;
  char* base = GetBaseNameAlloc(-1, "dir\\archive.tar.gz", &n);
  EXPECT_STREQ(base, "archive.tar");
  EXPECT_EQ(n, 11);
  delete[] base;
  wchar_t* dir = GetDirectoryPartAllocW(-1, L"dir\\sub\\f.txt", &n);
  EXPECT_EQ(Narrow(dir), "dir\\sub\\");
  EXPECT_EQ(n, 8);
  delete[] dir;

  CString s;
  EXPECT_EQ(GetBaseNameStr(s, "C:\\a\\report.final.doc"), 12);
  EXPECT_STREQ(s, "report.final");
  EXPECT_EQ(MakeDirectoryStr(s, "C:\\a\\report.doc"), 5);
  EXPECT_STREQ(s, "C:\\a\\");
}

TEST(PathParts, CopyingFormsNeedRoomForTheNul) {
  char t[8] = "junk";
  EXPECT_EQ(GetFileNamePart(t, -1, "dir\\abc", 3), 0);
  EXPECT_STREQ(t, "");
  EXPECT_EQ(GetFileNamePart(t, -1, "dir\\abc", 4), 3);
  EXPECT_STREQ(t, "abc");
  std::strcpy(t, "junk");
  EXPECT_EQ(GetExtension(t, -1, "a.txt", 0), 0);
  EXPECT_STREQ(t, "junk") << "size 0 writes nothing";
  wchar_t w[8] = L"junk";
  EXPECT_EQ(GetDirectoryPartW(w, -1, L"ab\\c", 3), 0);
  EXPECT_EQ(w[0], 0);
}

TEST(PathParts, FullDirectory) {
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cwd);
  std::string want = std::string(cwd) + (cwd[std::strlen(cwd) - 1] == '\\' ? "" : "\\") + "sub\\";

  char t[MAX_PATH];
  EXPECT_EQ(GetFullDirectory(t, "sub\\f.txt", MAX_PATH), (int)want.size());
  EXPECT_EQ(t, want);
  wchar_t w[MAX_PATH];
  EXPECT_EQ(GetFullDirectoryW(w, L"sub/f.txt", MAX_PATH), (int)want.size());
  EXPECT_EQ(Narrow(w), want);
  int n = 0;
  char* a = GetFullDirectoryAlloc("C:\\x\\y\\..\\f", &n);
  EXPECT_STREQ(a, "C:\\x\\");
  EXPECT_EQ(n, 5);
  delete[] a;

  CString s = "C:\\dir\\sub\\file.reg";
  EXPECT_EQ(MakeFullDirectoryStr(s, s), 11) << "the string may be its own argument";
  EXPECT_STREQ(s, "C:\\dir\\sub\\");

  // A full path of 260 characters or more is a failure.
  std::string longPath = "C:\\" + std::string(300, 'a') + "\\f";
  std::strcpy(t, "junk");
  EXPECT_EQ(GetFullDirectory(t, longPath.c_str(), MAX_PATH), 0);
  EXPECT_STREQ(t, "");
}

TEST(PathParts, DriveLetter) {
  EXPECT_EQ(GetDriveLetter("d:\\x"), 'D');
  EXPECT_EQ(GetDriveLetter("Q:"), 'Q');
  EXPECT_EQ(GetDriveLetter("\\\\server\\share"), -1);
  EXPECT_EQ(GetDriveLetter("1:x"), '1');
  EXPECT_EQ(GetDriveLetterW(L"e:x"), 'E');
  EXPECT_EQ(GetDriveLetterW(L"\\\\server\\share"), -1);
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cwd);
  EXPECT_EQ(GetDriveLetter("relative"), cwd[0] & ~0x20) << "from the full path";
  EXPECT_EQ(GetDriveLetter(""), 0);
}

TEST(PathParts, RootPrefixAndKind) {
  struct {
    const char* path;
    int root;
    int kind;
  } roots[] = {
      {"\\\\server\\share", 8, PATHROOT_NETWORK},
      {"D:\\x", 2, PATHROOT_DRIVE_ROOT},
      {"D:\\\\x", 3, PATHROOT_DRIVE_ROOT},
      {"x://y", 3, PATHROOT_DRIVE_ROOT},
      {"D:x", 2, PATHROOT_DRIVE_RELATIVE},
      {"\\x", 0, PATHROOT_ROOTED},
      {"x", 0, PATHROOT_RELATIVE},
      {"1:", 2, PATHROOT_RELATIVE},
      {"dir\\a:b", 0, PATHROOT_RELATIVE},
      {"\\\\srv:x\\y", 6, PATHROOT_NETWORK},
      {"", 0, PATHROOT_RELATIVE},
  };
  for (const auto& c : roots) {
    EXPECT_EQ(GetPathRootLength(c.path), c.root) << c.path;
    EXPECT_EQ(GetPathRootKind(c.path), c.kind) << c.path;
    std::wstring w = Wide(c.path);
    EXPECT_EQ(GetPathRootLengthW(w.c_str()), c.root) << c.path;
    EXPECT_EQ(GetPathRootKindW(w.c_str()), c.kind) << c.path;
  }

  struct {
    const char* path;
    int count;
    int want;
  } prefixes[] = {
      {"D:\\a\\b\\c", 0, 0}, {"D:\\a\\b\\c", 1, 3}, {"D:\\a\\b\\c", 2, 5},          {"D:\\a\\b\\c", 9, 8},
      {"a\\b\\c", 1, 2},     {"a\\b\\c", 2, 4},     {"\\\\server\\share\\x", 1, 9}, {"\\\\server\\share\\x", 2, 15},
      {"\\x\\y", 1, 1},
  };
  for (const auto& c : prefixes) {
    EXPECT_EQ(GetPathPrefixLength(c.path, c.count), c.want) << c.path << " " << c.count;
    EXPECT_EQ(GetPathPrefixLengthW(Wide(c.path).c_str(), c.count), c.want) << c.path << " " << c.count;
  }

  EXPECT_EQ(FindFirstSeparator("abc:d"), 3);
  EXPECT_EQ(FindFirstSeparator("a/b\\c"), 1);
  EXPECT_EQ(FindFirstSeparatorW(L"abc"), 3);
}

TEST(PathParts, TrailingSeparator) {
  struct {
    const char* path;
    const char* appended;
    const char* removed;
  } cases[] = {
      {"", "\\", ""}, {"D:/", "D:/", "D:"}, {"D:", "D:\\", "D:"}, {"a\\b\\", "a\\b\\", "a\\b"}, {"a//", "a//", "a/"},
  };
  for (const auto& c : cases) {
    char a[16];
    std::strcpy(a, c.path);
    EXPECT_EQ(AppendBackslash(a), (int)std::strlen(c.appended)) << c.path;
    EXPECT_STREQ(a, c.appended);
    std::strcpy(a, c.path);
    RemoveTrailingBackslash(a);
    EXPECT_STREQ(a, c.removed);
    EXPECT_EQ(EndsWithSeparator(c.path), std::strcmp(c.path, c.removed) != 0 ? 1 : 0) << c.path;

    wchar_t w[16];
    std::wcscpy(w, Wide(c.path).c_str());
    EXPECT_EQ(AppendBackslashW(w, -1), (int)std::strlen(c.appended));
    EXPECT_EQ(Narrow(w), c.appended);
    RemoveTrailingBackslashW(w);
    EXPECT_EQ(Narrow(w), std::string(c.appended, std::strlen(c.appended) - 1));

    CString s = c.path;
    EXPECT_EQ(AppendBackslashStr(s), (int)std::strlen(c.appended));
    EXPECT_STREQ(s, c.appended);
    s = c.path;
    EXPECT_EQ(RemoveTrailingBackslashStr(s), (int)std::strlen(c.removed));
    EXPECT_STREQ(s, c.removed);
  }
  // The counted forms look only at their length.
  char a[16] = "ab\\cd";
  EXPECT_EQ(EndsWithSeparator(a, 3), 1);
  EXPECT_EQ(AppendSeparator('/', a, 2), 3);
  EXPECT_STREQ(a, "ab/");
  EXPECT_EQ(AppendSeparator('/', a), 3) << "a backslash or slash is already there";
  CString s = "x";
  EXPECT_EQ(AppendSeparatorStr(s, '/'), 2);
  EXPECT_STREQ(s, "x/");
}
