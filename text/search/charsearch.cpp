#include <climits>

#include "text/search/charsearch.h"

#include "text/classtable.h"

namespace {

constexpr int kUnbounded = INT_MAX;
constexpr long kNoEscape = -1;

// Where the searches test a class themselves, a 16-bit character above 255
// belongs to every class.
template <class C>
inline bool InClass(C ch, uint32_t mask) {
  unsigned u = CharCode(ch);
  return u > 255 || (CharClassTable[u] & mask) != 0;
}

struct StopAtNul {
  template <class C>
  bool operator()(C ch) const {
    return ch == 0;
  }
};
struct StopInClass {
  uint32_t mask;
  template <class C>
  bool operator()(C ch) const {
    return InClass(ch, mask);
  }
};
struct StopOutsideClass {
  uint32_t mask;
  template <class C>
  bool operator()(C ch) const {
    return !InClass(ch, mask);
  }
};

// At each position: the stop test, then the escape, then c (whose result is
// its index, or the index behind it when behindC).
template <class C, class Stop>
int Scan(const C* text, int n, unsigned c, bool behindC, long escape, Stop stop) {
  int i = 0;
  while (i < n) {
    C ch = text[i];
    if (stop(ch)) return i;
    if ((long)CharCode(ch) == escape) {
      // An escaped terminator still ends the text: nothing behind it is read.
      if (i + 1 < n && text[i + 1] == 0 && stop(C(0))) return i + 1;
      i += 2;
      continue;
    }
    if (CharCode(ch) == c) return behindC ? i + 1 : i;
    ++i;
  }
  return n;
}

template <class C>
int FindChar(const C* text, C c, int n) {
  unsigned u = CharCode(c);
  for (int i = 0; i < n; ++i) {
    unsigned t = CharCode(text[i]);
    if (t == u || t == 0) return i;
  }
  return n < 0 ? 0 : n;
}

template <class C>
int SpanThroughChar(const C* text, C c, int n) {
  unsigned u = CharCode(c);
  for (int i = 0; i < n; ++i) {
    unsigned t = CharCode(text[i]);
    if (t == 0) return i;
    if (t == u) return i + 1;
  }
  return n < 0 ? 0 : n;
}

template <class C>
int FindLastChar(const C* text, C c, int n) {
  for (int i = n - 1; i >= 0; --i)
    if (text[i] == c) return i;
  return -1;
}

template <class C>
int EscScan(const C* text, C c, int n, C escape, bool behindC) {
  if (n < 1) return 0;
  return Scan(text, n, CharCode(c), behindC, (long)CharCode(escape), StopAtNul());
}

template <class C>
int CharOrClass(uint32_t mask, const C* text, C c, int n, long escape) {
  if (n < 1) return 0;
  return Scan(text, n, CharCode(c), false, escape, StopInClass{mask ^ CC_NUL});
}

template <class C>
int SpanToCharOrClass(uint32_t mask, const C* text, uint32_t c, int n, long escape) {
  if (n < 1) return 0;
  unsigned ch = sizeof(C) == 1 ? (unsigned char)c : (uint16_t)c;
  if ((c >> 24) == (SPAN_CLASS_MODE >> 24)) return Scan(text, n, ch, true, escape, StopOutsideClass{mask});
  return Scan(text, n, ch, true, escape, StopInClass{mask ^ CC_NUL});
}

}  // namespace

int FindCharA(const char* text, char c) { return FindChar(text, c, kUnbounded); }
int FindCharW(const wchar_t* text, wchar_t c) { return FindChar(text, c, kUnbounded); }
int FindCharNA(const char* text, char c, int n) { return FindChar(text, c, n); }
int FindCharNW(const wchar_t* text, wchar_t c, int n) { return FindChar(text, c, n); }

int SpanThroughCharA(const char* text, char c) { return SpanThroughChar(text, c, kUnbounded); }
int SpanThroughCharW(const wchar_t* text, wchar_t c) { return SpanThroughChar(text, c, kUnbounded); }
int SpanThroughCharNA(const char* text, char c, int n) { return SpanThroughChar(text, c, n); }
int SpanThroughCharNW(const wchar_t* text, wchar_t c, int n) { return SpanThroughChar(text, c, n); }

int FindLastCharNA(const char* text, char c, int n) { return FindLastChar(text, c, n); }
int FindLastCharNW(const wchar_t* text, wchar_t c, int n) { return FindLastChar(text, c, n); }

int FindCharEscNA(const char* text, char c, int n, char escape) { return EscScan(text, c, n, escape, false); }
int FindCharEscNW(const wchar_t* text, wchar_t c, int n, wchar_t escape) { return EscScan(text, c, n, escape, false); }
int SpanThroughCharEscNA(const char* text, char c, int n, char escape) { return EscScan(text, c, n, escape, true); }
int SpanThroughCharEscNW(const wchar_t* text, wchar_t c, int n, wchar_t escape) {
  return EscScan(text, c, n, escape, true);
}

int FindCharOrClassA(uint32_t mask, const char* text, char c) {
  return CharOrClass(mask, text, c, kUnbounded, kNoEscape);
}
int FindCharOrClassW(uint32_t mask, const wchar_t* text, wchar_t c) {
  return CharOrClass(mask, text, c, kUnbounded, kNoEscape);
}
int FindCharOrClassNA(uint32_t mask, const char* text, char c, int n) {
  return CharOrClass(mask, text, c, n, kNoEscape);
}
int FindCharOrClassNW(uint32_t mask, const wchar_t* text, wchar_t c, int n) {
  return CharOrClass(mask, text, c, n, kNoEscape);
}
int FindCharOrClassEscNA(uint32_t mask, const char* text, char c, int n, char escape) {
  return CharOrClass(mask, text, c, n, (long)CharCode(escape));
}
int FindCharOrClassEscNW(uint32_t mask, const wchar_t* text, wchar_t c, int n, wchar_t escape) {
  return CharOrClass(mask, text, c, n, (long)CharCode(escape));
}

int SpanToCharOrClassA(uint32_t mask, const char* text, uint32_t c) {
  return SpanToCharOrClass(mask, text, c, kUnbounded, kNoEscape);
}
int SpanToCharOrClassW(uint32_t mask, const wchar_t* text, uint32_t c) {
  return SpanToCharOrClass(mask, text, c, kUnbounded, kNoEscape);
}
int SpanToCharOrClassNA(uint32_t mask, const char* text, uint32_t c, int n) {
  return SpanToCharOrClass(mask, text, c, n, kNoEscape);
}
int SpanToCharOrClassNW(uint32_t mask, const wchar_t* text, uint32_t c, int n) {
  return SpanToCharOrClass(mask, text, c, n, kNoEscape);
}
int SpanToCharOrClassEscNA(uint32_t mask, const char* text, uint32_t c, int n, char escape) {
  return SpanToCharOrClass(mask, text, c, n, (long)CharCode(escape));
}
int SpanToCharOrClassEscNW(uint32_t mask, const wchar_t* text, uint32_t c, int n, wchar_t escape) {
  return SpanToCharOrClass(mask, text, c, n, (long)CharCode(escape));
}
