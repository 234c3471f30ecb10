#include "text/compare/mixedcompare.h"

#include "text/compare/casefoldrules.h"
#include "text/classtable.h"

namespace {

int CompareMixed(const wchar_t* a, const char* b, int n, bool caseless) {
  for (int i = 0; i < n; ++i) {
    unsigned x = CharCode(a[i]), y = CharCode(b[i]);
    if (caseless) x = casefold::AsciiLower()(x), y = casefold::AsciiLower()(y);
    if (x != y || !x) return (int)x - (int)y;
  }
  return 0;
}

}  // namespace

int CompareMixedN(const wchar_t* a, const char* b, int n) { return CompareMixed(a, b, n, false); }
int CompareMixedNoCaseN(const wchar_t* a, const char* b, int n) { return CompareMixed(a, b, n, true); }
