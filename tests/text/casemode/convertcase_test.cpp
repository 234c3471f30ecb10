#include "text/casemode/convertcase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "wide.h"

namespace {

std::string ConvertA(const char* s, int mode) {
  std::string out(strlen(s) + 1, '#');
  ConvertCaseA(&out[0], s, mode);
  EXPECT_EQ(out.back(), '\0');
  out.pop_back();
  return out;
}

WString ConvertW(const WString& s, int mode) {
  WString out(s.size() + 1, L'#');
  ConvertCaseW(&out[0], s.c_str(), mode);
  EXPECT_EQ(out.back(), L'\0');
  out.pop_back();
  return out;
}

// A page that is read-only while the routine runs in place on it.
class ReadOnlyPage {
 public:
  ReadOnlyPage() {
#ifdef _WIN32
    base_ = (char*)VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
#else
    base_ = (char*)mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
#endif
  }
  ~ReadOnlyPage() {
#ifdef _WIN32
    VirtualFree(base_, 0, MEM_RELEASE);
#else
    munmap(base_, 4096);
#endif
  }
  template <class C>
  C* Hold(const C* s, size_t n) {
    Protect(false);
    memcpy(base_, s, (n + 1) * sizeof(C));
    Protect(true);
    return (C*)base_;
  }

 private:
  void Protect(bool readOnly) {
#ifdef _WIN32
    DWORD old;
    VirtualProtect(base_, 4096, readOnly ? PAGE_READONLY : PAGE_READWRITE, &old);
#else
    mprotect(base_, 4096, readOnly ? PROT_READ : PROT_READ | PROT_WRITE);
#endif
  }
  char* base_;
};

const int kCap = 0;

}  // namespace

TEST(ConvertCase, ModesOnBothWidths) {
  struct Case {
    const char* source;
    int mode;
    const char* result;
  } cases[] = {
      {"", kCap, ""},
      {"", CASE_UPPER | CASE_SELECTION, ""},
      {"", CASE_LOWER | CASE_PER_WORD | CASE_IF_NO_UPPER, ""},
      {"hello wORLD", kCap, "Hello World"},
      {"o'neil", kCap, "O'Neil"},
      {"x11y", kCap, "X11y"},
      {"hELLO wORLD", CASE_KEEP_INITIALS, "hello world"},
      {"MiXeD 1x", CASE_UPPER | CASE_LOWER, "MIXED 1X"},
      {"MiXeD", CASE_LOWER, "mixed"},
      {"abc", CASE_UPPER | CASE_IF_NO_UPPER, "ABC"},
      {"Abc", CASE_UPPER | CASE_IF_NO_UPPER, "Abc"},
      {"README.TXT", CASE_LOWER | CASE_IF_NO_LOWER, "readme.txt"},
      {"ReadMe", CASE_LOWER | CASE_IF_NO_LOWER, "ReadMe"},
      {"README", CASE_SELECTION, "Readme"},
      {"readme", CASE_SELECTION, "Readme"},
      {"ReadMe", CASE_SELECTION, "ReadMe"},
      {"1234", CASE_SELECTION, "1234"},
      {"PROGRAM FILES\\MyApp\\OLD DATA", CASE_IF_NO_LOWER | CASE_PER_COMPONENT, "Program Files\\MyApp\\Old Data"},
      {"abc DEF GhI", CASE_SELECTION | CASE_PER_WORD, "Abc Def GhI"},
      {"abc DEF GhI", CASE_SELECTION | CASE_PER_WORD | CASE_PER_COMPONENT, "Abc Def GhI"},
      {"README.TXT", CASE_LOWER_EXTENSION, "Readme.txt"},
      {"readme.", CASE_LOWER_EXTENSION, "Readme."},
      {"file.txt", CASE_UPPER | CASE_LOWER_EXTENSION, "FILE.TXT"},
      {".profile", CASE_UPPER | CASE_LOWER_EXTENSION, ".pROFILE"},
      {"a.b.c d", kCap | 0x100, "A.B.C D"},  // a caller's own bit is ignored
      {"a_b", kCap, "A_B"},
      {"a_b c", CASE_IF_NO_UPPER | CASE_PER_WORD, "A_B C"},
      // Latin-1 only with CASE_LATIN1; no letter is 0xDE, 0xFE or 0xFF.
      {"stra\xDF"
       "e \xE4",
       CASE_UPPER,
       "STRA\xDF"
       "E \xE4"},
      {"stra\xDF"
       "e",
       CASE_UPPER | CASE_LATIN1, "STRASE"},
      {"\xE4rger", kCap, "\xE4Rger"},
      {"\xE4RGER", kCap | CASE_LATIN1, "\xC4rger"},
      {"\xD7", CASE_LOWER | CASE_LATIN1, "\xF7"},
      {"\xF7", CASE_UPPER | CASE_LATIN1, "\xD7"},
      {"\xFE\xFF\xDE", CASE_UPPER | CASE_LATIN1, "\xFE\xFF\xDE"},
      {"x\xFEy", kCap | CASE_LATIN1, "X\xFEY"},
      {"\xDF"
       "x",
       kCap | CASE_LATIN1, "Sx"},
      {"\xE4"
       "b C",
       CASE_IF_NO_UPPER | CASE_PER_WORD,
       "\xE4"
       "B C"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertA(c.source, c.mode), c.result) << c.source << " mode " << std::hex << c.mode;
    EXPECT_EQ(ConvertW(Wide(c.source), c.mode), Wide(c.result)) << "W " << c.source << " mode " << std::hex << c.mode;
  }
}

TEST(ConvertCase, WideDifferences) {
  // The dot is a word character of the 16-bit form with CASE_LATIN1.
  EXPECT_EQ(ConvertA("file.txt", CASE_LATIN1), "File.Txt");
  EXPECT_EQ(ConvertW(L"file.txt", CASE_LATIN1), WString(L"File.txt"));
  EXPECT_EQ(ConvertW(L"FILE.TXT", CASE_LATIN1 | CASE_LOWER_EXTENSION), WString(L"File.txt"));
  EXPECT_EQ(ConvertW(L"a.b C", CASE_LATIN1 | CASE_IF_NO_UPPER | CASE_PER_WORD), WString(L"A.b C"));
  EXPECT_EQ(ConvertW(L".abc", CASE_LATIN1 | CASE_UPPER | CASE_LOWER_EXTENSION), WString(L".aBC"));
  // Above 255: unchanged, never a letter, a word end when capitalising and a
  // separator between words, not between path components.
  EXPECT_EQ(ConvertW(L"a\x4E00"
                     L"b",
                     kCap),
            WString(L"A\x4E00"
                    L"B"));
  EXPECT_EQ(ConvertW(L"\x0101\x0100", CASE_UPPER | CASE_LATIN1), WString(L"\x0101\x0100"));
  EXPECT_EQ(ConvertW(L"ab\x4E00"
                     L"CD",
                     CASE_IF_NO_UPPER | CASE_PER_WORD | CASE_UPPER),
            WString(L"AB\x4E00"
                    L"CD"));
  EXPECT_EQ(ConvertW(L"ab\x4E00"
                     L"CD",
                     CASE_IF_NO_UPPER | CASE_PER_COMPONENT | CASE_UPPER),
            WString(L"ab\x4E00"
                    L"CD"));
  // The low byte of a wide character never passes for its class.
  EXPECT_EQ(ConvertW(L"\x0161\x0141", CASE_UPPER | CASE_LATIN1), WString(L"\x0161\x0141"));
}

TEST(ConvertCase, InPlaceWritesOnlyWhatChanges) {
  ReadOnlyPage page;
  struct Case {
    const char* text;
    int mode;
  } unchanged[] = {
      {"Abc", CASE_UPPER | CASE_IF_NO_UPPER},
      {"ReadMe", CASE_SELECTION},
      {"1234", CASE_SELECTION},
      {"", CASE_UPPER},
      {"Abc Def", kCap},
      {"abc", CASE_LOWER},
      {"Ab\\Cd", CASE_UPPER | CASE_IF_NO_UPPER | CASE_PER_COMPONENT},
  };
  for (const Case& c : unchanged) {
    const size_t n = strlen(c.text);
    ConvertCaseA(page.Hold(c.text, n), page.Hold(c.text, n), c.mode);
    WString w = Wide(c.text);
    wchar_t* pw = page.Hold(w.c_str(), n);
    ConvertCaseW(pw, pw, c.mode);
    EXPECT_EQ(WString(pw), w);
  }
  char buf[] = "hello wORLD";
  ConvertCaseA(buf, buf, kCap);
  EXPECT_STREQ(buf, "Hello World");
  wchar_t bufW[] = L"PROGRAM FILES\\MyApp";
  ConvertCaseW(bufW, bufW, CASE_IF_NO_LOWER | CASE_PER_COMPONENT);
  EXPECT_EQ(WString(bufW), WString(L"Program Files\\MyApp"));
}
