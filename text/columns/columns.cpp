#include "text/columns/columns.h"

#include <climits>

#include "text/codecs/utf.h"

namespace {

const int kUnbounded = -1;  // a NUL-terminated text

inline int Width(int tabWidth) { return tabWidth < 1 ? 1 : tabWidth; }

template <class C>
inline int Advance(C c, int column, int w) {
  return c == '\t' ? (column + w) - (column + w) % w : column + 1;
}

// Length of the character at p: one unit, or one UTF sequence.
struct Plain {
  template <class C>
  static int Length(const C*, int) {
    return 1;
  }
};
struct Utf {
  static int Length(const char* p, int left) {
    return left == kUnbounded ? Utf8SequenceLength(p) : Utf8SequenceLengthN(p, left);
  }
  static int Length(const wchar_t* p, int left) {
    return left == kUnbounded ? Utf16SequenceLength(p) : Utf16SequenceLengthN(p, left);
  }
};

// Walks the characters of text (count units, or up to its NUL when count is
// kUnbounded) until the column after one exceeds target; returns the units
// passed and leaves the column reached in *column.
template <class Step, class C>
int Walk(const C* text, int count, int target, int tabWidth, int* column) {
  const int w = Width(tabWidth);
  int i = 0;
  while (count == kUnbounded ? text[i] != 0 : i < count) {
    int next = Advance(text[i], *column, w);
    if (next > target) break;
    *column = next;
    int len = Step::Length(text + i, count == kUnbounded ? kUnbounded : count - i);
    i += len > 0 ? len : 1;
  }
  return i;
}

const int kNoTarget = INT_MAX;

template <class Step, class C>
int ColumnAfter(const C* text, int count, int tabWidth, int start) {
  if (count != kUnbounded && count < 1) return start;
  int column = start;
  Walk<Step>(text, count, kNoTarget, tabWidth, &column);
  return column;
}

template <class Step, class C>
int IndexAt(int target, const C* text, int count, int tabWidth, int start) {
  if (count != kUnbounded && count < 1) return 0;
  int column = start;
  return Walk<Step>(text, count, target, tabWidth, &column);
}

template <class C>
int TabFill(C* dest, int from, int to, int w) {
  int n = 0;
  if (to <= from) {
    dest[0] = 0;
    return 0;
  }
  if (w < 1 || from / w == to / w) {
    while (n < to - from) dest[n++] = ' ';
  } else {
    dest[n++] = (from + 1) % w == 0 ? ' ' : '\t';
    for (int k = to / w - from / w - 1; k > 0; --k) dest[n++] = '\t';
    for (int k = to % w; k > 0; --k) dest[n++] = ' ';
  }
  dest[n] = 0;
  return n;
}

}  // namespace

int MakeTabFillA(char* dest, int from, int to, int tabWidth) { return TabFill(dest, from, to, tabWidth); }
int MakeTabFillW(wchar_t* dest, int from, int to, int tabWidth) { return TabFill(dest, from, to, tabWidth); }

int ColumnAfterTextA(const char* t, int w, int s) { return ColumnAfter<Plain>(t, kUnbounded, w, s); }
int ColumnAfterTextW(const wchar_t* t, int w, int s) { return ColumnAfter<Plain>(t, kUnbounded, w, s); }
int ColumnAfterTextUtf8(const char* t, int w, int s) { return ColumnAfter<Utf>(t, kUnbounded, w, s); }
int ColumnAfterTextUtf16(const wchar_t* t, int w, int s) { return ColumnAfter<Utf>(t, kUnbounded, w, s); }
int ColumnAfterTextNA(int n, const char* t, int w, int s) { return ColumnAfter<Plain>(t, n, w, s); }
int ColumnAfterTextNW(int n, const wchar_t* t, int w, int s) { return ColumnAfter<Plain>(t, n, w, s); }
int ColumnAfterTextUtf8N(int n, const char* t, int w, int s) { return ColumnAfter<Utf>(t, n, w, s); }
int ColumnAfterTextUtf16N(int n, const wchar_t* t, int w, int s) { return ColumnAfter<Utf>(t, n, w, s); }

int IndexAtColumnA(int c, const char* t, int w, int s) { return IndexAt<Plain>(c, t, kUnbounded, w, s); }
int IndexAtColumnW(int c, const wchar_t* t, int w, int s) { return IndexAt<Plain>(c, t, kUnbounded, w, s); }
int IndexAtColumnUtf8(int c, const char* t, int w, int s) { return IndexAt<Utf>(c, t, kUnbounded, w, s); }
int IndexAtColumnUtf16(int c, const wchar_t* t, int w, int s) { return IndexAt<Utf>(c, t, kUnbounded, w, s); }
int IndexAtColumnNA(int c, int n, const char* t, int w, int s) { return IndexAt<Plain>(c, t, n, w, s); }
int IndexAtColumnNW(int c, int n, const wchar_t* t, int w, int s) { return IndexAt<Plain>(c, t, n, w, s); }
int IndexAtColumnUtf8N(int c, int n, const char* t, int w, int s) { return IndexAt<Utf>(c, t, n, w, s); }
int IndexAtColumnUtf16N(int c, int n, const wchar_t* t, int w, int s) { return IndexAt<Utf>(c, t, n, w, s); }
