#include "text/edit/trim.h"

#include <climits>

#include "text/classtable.h"
#include "text/spans.h"
#include "text/twins.h"

namespace {

template <class Char>
int CopyTrimmed(Char* dest, const Char* source, int max) {
  source += twins::SpanClass(source, CC_BLANK);
  int length = twins::LengthBounded(source, max);
  length -= twins::SpanClassBackN(source + length, CC_BLANK, length);
  twins::MoveChars(dest, source, length);  // dest may be the source
  dest[length] = 0;
  return length;
}

}  // namespace

int CopyTrimmedA(char* dest, const char* source) { return CopyTrimmed(dest, source, INT_MAX); }
int CopyTrimmedW(wchar_t* dest, const wchar_t* source) { return CopyTrimmed(dest, source, INT_MAX); }
int CopyTrimmedBoundedA(char* dest, const char* source, int size) {
  return size < 1 ? 0 : CopyTrimmed(dest, source, size - 1);
}
int CopyTrimmedBoundedW(wchar_t* dest, const wchar_t* source, int size) {
  return size < 1 ? 0 : CopyTrimmed(dest, source, size - 1);
}
