#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "guardpage.h"
#include "text/strings.h"
#include "wide.h"

namespace {

// Runs one copy in both twins into a buffer of `size` characters (plus guard
// characters) and checks the result and the stored text.
struct CopyCase {
  const char* source;
  int size, n;  // n < 0: CopyBounded, else CopyBoundedCount
  int want;
  const char* stored;  // nullptr: nothing written
};

void CheckCopy(const CopyCase& c) {
  char a[16];
  wchar_t w[16];
  std::memset(a, '#', sizeof a);
  for (wchar_t& x : w) x = L'#';
  WString src = Wide(c.source);
  int ra = c.n < 0 ? CopyBoundedA(a, c.source, c.size) : CopyBoundedCountA(a, c.source, c.size, c.n);
  int rw = c.n < 0 ? CopyBoundedW(w, src.c_str(), c.size) : CopyBoundedCountW(w, src.c_str(), c.size, c.n);
  EXPECT_EQ(ra, c.want) << c.source << " size " << c.size << " n " << c.n;
  EXPECT_EQ(rw, c.want) << c.source << " size " << c.size << " n " << c.n << " (W)";
  if (!c.stored) {
    EXPECT_EQ(a[0], '#');
    EXPECT_EQ(w[0], L'#');
    return;
  }
  EXPECT_STREQ(a, c.stored);
  EXPECT_EQ(WString(w), Wide(c.stored));
  int size = c.size < 16 ? c.size : 16;
  EXPECT_EQ(a[size], '#') << "nothing written at or beyond size";
  EXPECT_EQ(w[size], L'#');
}

}  // namespace

TEST(CopyBounded, SizesAndCountsBothTwins) {
  const CopyCase cases[] = {
      {"hello", 0, -1, 0, nullptr}, {"hello", -3, -1, 0, nullptr}, {"hello", 1, -1, 0, ""},
      {"hello", 5, -1, 4, "hell"},  {"hello", 6, -1, 5, "hello"},  {"hello", 15, -1, 5, "hello"},
      {"", 4, -1, 0, ""},           {"hello", 10, 3, 3, "hel"},    {"hello", 10, 0, 0, ""},
      {"hello", 3, 4, 2, "he"},     {"hello", 0, 4, 0, nullptr},   {"hi", 10, 7, 2, "hi"},
      {"hello", 1, 3, 0, ""},
  };
  for (const CopyCase& c : cases) CheckCopy(c);
}

TEST(CopyBounded, NeverReadsPastTheSourceTerminator) {
  GuardedBlock block;
  for (int len = 0; len < 9; ++len) {
    std::string s(len, 'x');
    const char* src = block.AtEnd(s.c_str(), s.size() + 1);
    char dest[32];
    EXPECT_EQ(CopyBoundedA(dest, src, 32), len);
    EXPECT_EQ(CopyBoundedCountA(dest, src, 32, 20), len);
    EXPECT_EQ(LengthBoundedA(src, 1000), len);
    std::strcpy(dest, "ab");
    EXPECT_EQ(AppendBoundedA(dest, src, 32), len + 2);
    WString ws(len, L'x');
    const wchar_t* wsrc = block.AtEnd(ws.c_str(), ws.size() + 1);
    wchar_t wdest[32];
    EXPECT_EQ(CopyBoundedW(wdest, wsrc, 32), len);
    EXPECT_EQ(LengthBoundedW(wsrc, 1000), len);
  }
}

TEST(LengthBounded, BothTwins) {
  WString w = Wide("hello");
  const int maxes[] = {3, 10, 0, -2, 5};
  const int wants[] = {3, 5, 0, 0, 5};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(LengthBoundedA("hello", maxes[i]), wants[i]) << maxes[i];
    EXPECT_EQ(LengthBoundedW(w.c_str(), maxes[i]), wants[i]) << maxes[i];
  }
  const char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(LengthBoundedA(unterminated, 4), 4);
}

TEST(AppendBounded, BothTwins) {
  struct Case {
    const char* initial;
    const char* source;
    int size, n;  // n < 0: AppendBounded
    int want;
    const char* stored;
  };
  const Case cases[] = {
      {"ab", "cdef", 5, -1, 4, "abcd"}, {"ab", "cdef", 10, -1, 6, "abcdef"}, {"ab", "cdef", 10, 1, 3, "abc"},
      {"ab", "cdef", 3, -1, 2, "ab"},   {"", "xyz", 2, -1, 1, "x"},          {"ab", "cdef", 0, -1, 0, "ab"},
  };
  for (const Case& c : cases) {
    char a[16] = {};
    wchar_t w[16] = {};
    std::strcpy(a, c.initial);
    WString init = Wide(c.initial), src = Wide(c.source);
    std::copy(init.begin(), init.end(), w);
    int ra = c.n < 0 ? AppendBoundedA(a, c.source, c.size) : AppendBoundedCountA(a, c.source, c.size, c.n);
    int rw = c.n < 0 ? AppendBoundedW(w, src.c_str(), c.size) : AppendBoundedCountW(w, src.c_str(), c.size, c.n);
    EXPECT_EQ(ra, c.want) << c.initial << "+" << c.source << " size " << c.size;
    EXPECT_EQ(rw, c.want) << c.initial << "+" << c.source << " size " << c.size << " (W)";
    EXPECT_STREQ(a, c.stored);
    EXPECT_EQ(WString(w), Wide(c.stored));
  }
  // A destination without a terminator within size is left alone.
  char full[5] = {'a', 'b', 'c', 'd', '#'};
  EXPECT_EQ(AppendBoundedA(full, "xy", 4), 4);
  EXPECT_EQ(std::string(full, 5), "abcd#");
  wchar_t wfull[5] = {L'a', L'b', L'c', L'd', L'#'};
  EXPECT_EQ(AppendBoundedCountW(wfull, L"xy", 4, 1), 4);
  EXPECT_EQ(wfull[4], L'#');
}
