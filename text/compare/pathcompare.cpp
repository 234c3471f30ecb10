#include "text/compare/pathcompare.h"

#include "text/compare/casefoldrules.h"
#include "text/classtable.h"

namespace {

inline unsigned PathOrder(unsigned c, bool caseless) {
  if (c == '\\' || c == '/') return 0;
  if (c == '.') return 1;
  return caseless ? casefold::AsciiLower()(c) : c;
}

template <class Char>
int ComparePaths(const Char* a, const Char* b, int n, bool caseless) {
  for (int i = 0; i < n; ++i) {
    unsigned x = CharCode(a[i]), y = CharCode(b[i]);
    if (x == y) {
      if (!x) return 0;
      continue;
    }
    if (!x) return -1;
    if (!y) return 1;
    x = PathOrder(x, caseless);
    y = PathOrder(y, caseless);
    if (x != y) return (int)x - (int)y;
  }
  return 0;
}

}  // namespace

int ComparePathsNA(const char* a, const char* b, int n) { return ComparePaths(a, b, n, false); }
int ComparePathsNW(const wchar_t* a, const wchar_t* b, int n) { return ComparePaths(a, b, n, false); }
int ComparePathsNoCaseNA(const char* a, const char* b, int n) { return ComparePaths(a, b, n, true); }
int ComparePathsNoCaseNW(const wchar_t* a, const wchar_t* b, int n) { return ComparePaths(a, b, n, true); }
