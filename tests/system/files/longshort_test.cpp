#include "system/files/longshort.h"

#include <gtest/gtest.h>

#include <string>

#include "base/cstring.h"
#include "files_test_util.h"

namespace {

std::string ShortOf(const std::string& path) {
  char buf[MAX_PATH];
  DWORD n = GetShortPathNameA(path.c_str(), buf, MAX_PATH);
  return n && n < MAX_PATH ? std::string(buf) : std::string();
}

std::string LongA(const std::string& path, int size = 520) {
  std::string out((size_t)(size > 0 ? size : 1), '#');
  int n = ToLongPathA(&out[0], path.c_str(), size);
  std::wstring wout((size_t)(size > 0 ? size : 1), L'#');
  int nw = ToLongPathW(&wout[0], Widen(path).c_str(), size);
  EXPECT_EQ(n, nw) << path;
  std::string a = size > 0 ? std::string(out.c_str()) : "#";
  if (size > 0) {
    EXPECT_EQ(Widen(a), std::wstring(wout.c_str())) << path;
    EXPECT_EQ((int)a.size(), n);
  }
  return a;
}

std::string ShortA(const std::string& path) {
  char out[520];
  wchar_t wout[520];
  int n = ToShortPathA(out, path.c_str(), 520);
  int nw = ToShortPathW(wout, Widen(path).c_str(), 520);
  EXPECT_EQ(n, nw) << path;
  EXPECT_EQ(Widen(out), std::wstring(wout)) << path;
  return out;
}

std::string Upper(std::string s) {
  CharUpperBuffA(&s[0], (DWORD)s.size());
  return s;
}

TEST(LongShort, ComponentsAsStored) {
  FilesScratch dir;
  dir.Dir("Ein langer Ordner");
  dir.Write("Ein langer Ordner\\Größere Datei.txt", "x");
  std::string file = dir / "Ein langer Ordner\\Größere Datei.txt";
  // Letter case and short aliases come back as the directory lists them.
  EXPECT_EQ(file, LongA(Upper(file)));
  std::string alias = ShortOf(file);
  ASSERT_FALSE(alias.empty());
  EXPECT_EQ(file, LongA(alias));
  EXPECT_EQ(alias, ShortA(file));
  // A tail that does not exist stays as written; so does a wildcard.
  EXPECT_EQ(dir / "Ein langer Ordner\\FEHLT\\auch", LongA(Upper(dir / "ein langer ordner\\") + "FEHLT\\auch"));
  EXPECT_EQ(dir / "Ein langer Ordner\\*.TXT", LongA(dir / "EIN LANGER ORDNER\\*.TXT"));
  EXPECT_EQ(dir / "Ein langer Ordner\\", LongA(dir / "ein langer ordner\\"));
  EXPECT_EQ("c:\\", LongA("c:\\"));

  // The string forms, also on their own text.
  CString s = Upper(file).c_str();
  EXPECT_EQ((int)file.size(), ToLongPathStr(s, s));
  EXPECT_STREQ(file.c_str(), s);
  EXPECT_EQ((int)alias.size(), ToShortPathStr(s, s));
  EXPECT_STREQ(alias.c_str(), s);
}

TEST(LongShort, Limits) {
  EXPECT_EQ("", LongA("c:\\windows", 1));
  char out[4] = "abc";
  EXPECT_EQ(0, ToLongPathA(out, "c:\\", 0));
  EXPECT_STREQ("abc", out);
  EXPECT_EQ(3, ToLongPathA(out, "c:\\", 4));
  // A full path beyond the working buffer fails instead of overrunning it.
  std::string deep = "c:\\" + std::string(300, 'x') + "\\" + std::string(100, 'y');
  char big[1000];
  EXPECT_EQ(0, ToLongPathA(big, deep.c_str(), 1000));
  EXPECT_STREQ("", big);
  // Wine's 8-bit full path stops at 260 characters: the limit shows in the 16-bit form.
  std::wstring fits = L"c:\\" + std::wstring(200, L'x') + L"\\" + std::wstring(183, L'y');
  wchar_t wbig[1000];
  EXPECT_EQ(387, ToLongPathW(wbig, fits.c_str(), 1000));
  EXPECT_EQ(fits, wbig);
  EXPECT_EQ(0, ToLongPathW(wbig, (fits + L"y").c_str(), 1000));
  EXPECT_EQ(0, ToLongPathW(wbig, fits.c_str(), 387));
}

}  // namespace
