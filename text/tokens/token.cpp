#include "text/tokens/token.h"

#include "text/classtable.h"
#include "text/spans.h"
#include "text/tokens/charset.h"

namespace {

inline int SpanClassN(const char* t, uint32_t mask, int n) { return SpanClassNA(t, mask, n); }
inline int SpanClassN(const wchar_t* t, uint32_t mask, int n) { return SpanClassNW(t, mask, n); }

unsigned Closing(unsigned open) {
  switch (open) {
    case '(':
      return ')';
    case '[':
      return ']';
    case '{':
      return '}';
    case '<':
      return '>';
    default:
      return open;
  }
}

// 16-bit delimiters take their bit from the low byte; one above 255 also
// sets bit 255, which every text character above 255 tests, so that it is
// found at all (the compare that follows is at full width).
inline void AddBit(CharBitSet* set, unsigned c) {
  if (c > 255) set->words[7] |= 1u << 31;
  c &= 0xFF;
  set->words[c / 32] |= 1u << (c % 32);
}

// The token at text (blanks skipped): its length within n and where its
// content lies.
struct Token {
  int length = 0, contentStart = 0, contentLength = 0;
};

template <class C>
Token Find(bool byClass, uint32_t classMask, const C* text, C escape, C open, int n) {
  Token tok;
  if (n < 1) return tok;
  const int b = SpanClassN(text, CC_TABSPACE, n);
  tok.length = tok.contentStart = b;
  if (b >= n) return tok;
  const C* t = text + b;
  const int rem = n - b;
  if (t[0] != open) {
    int len = 0;
    if (byClass)
      len = SpanClassN(t, classMask, rem);
    else
      while (len < rem && !InCharSet(&TokenSeparatorSet, t[len])) ++len;
    tok.length = b + len;
    tok.contentLength = len;
    return tok;
  }
  const C close = (C)Closing(CharCode(open));
  CharBitSet stop = {{0, 0, 0, 0, 0, 0, 0, 0}};
  AddBit(&stop, 0);
  AddBit(&stop, '\n');
  AddBit(&stop, '\r');
  AddBit(&stop, CharCode(close));
  if (escape) AddBit(&stop, CharCode(escape));
  tok.contentStart = b + 1;
  int end = rem;  // the token's end (exclusive) within t
  for (int k = 1;;) {
    int i = k;
    while (i < rem && !InCharSet(&stop, t[i])) ++i;
    if (i >= rem) break;  // unclosed at n
    const C c = t[i];
    if (c == close) {
      tok.length = b + i + 1;
      tok.contentLength = i - 1;
      return tok;
    }
    if (escape && c == escape) {
      if (i + 1 >= rem || t[i + 1] == 0) {
        end = i + 1;
        break;
      }
      k = i + 2;
    } else if (c == 0 || c == '\n' || c == '\r') {
      end = i;
      break;
    } else {
      k = i + 1;  // a 16-bit character that only shares a delimiter's low-byte bit
    }
  }
  tok.length = b + end;
  tok.contentLength = end - 1;
  return tok;
}

template <class C>
int Copy(bool byClass, uint32_t classMask, C* dest, const C* text, int* copied, int size, C escape, C open, int count) {
  int written = 0, result = 0;
  int n = count, b = 0;
  bool go = true;
  if (IsTaggedTokenCount(count)) {
    n = (int)((uint32_t)count & kTaggedLengthBits);
    const C separator = (C)(((uint32_t)count >> kTaggedSeparatorShift) & kTaggedSeparatorBits);
    b = SpanClassN(text, CC_TABSPACE, n);
    if (b < n && text[b] == separator) {
      ++b;
      b += SpanClassN(text + b, CC_TABSPACE, n - b);
    } else {
      go = false;
    }
  } else if (count < 1) {
    go = false;
  }
  if (go) {
    Token tok = Find(byClass, classMask, text + b, escape, open, n - b);
    result = b + tok.length;
    if (size >= 1) {
      written = tok.contentLength < size - 1 ? tok.contentLength : size - 1;
      for (int i = 0; i < written; ++i) dest[i] = text[b + tok.contentStart + i];
    }
  }
  if (size >= 1) dest[written] = 0;
  if (copied) *copied = written;
  return result;
}

}  // namespace

int ScanTokenNA(const char* t, char e, char o, int n) { return Find(false, 0, t, e, o, n).length; }
int ScanTokenNW(const wchar_t* t, wchar_t e, wchar_t o, int n) { return Find(false, 0, t, e, o, n).length; }
int ScanClassTokenNA(uint32_t m, const char* t, char e, char o, int n) { return Find(true, m, t, e, o, n).length; }
int ScanClassTokenNW(uint32_t m, const wchar_t* t, wchar_t e, wchar_t o, int n) {
  return Find(true, m, t, e, o, n).length;
}

int CopyTokenNA(char* d, const char* t, int size, char e, char o, int count) {
  return Copy(false, 0, d, t, nullptr, size, e, o, count);
}
int CopyTokenNW(wchar_t* d, const wchar_t* t, int size, wchar_t e, wchar_t o, int count) {
  return Copy(false, 0, d, t, nullptr, size, e, o, count);
}
int CopyClassTokenNA(uint32_t m, char* d, const char* t, int size, char e, char o, int count) {
  return Copy(true, m, d, t, nullptr, size, e, o, count);
}
int CopyClassTokenNW(uint32_t m, wchar_t* d, const wchar_t* t, int size, wchar_t e, wchar_t o, int count) {
  return Copy(true, m, d, t, nullptr, size, e, o, count);
}
int CopyTokenExNA(char* d, const char* t, int* copied, int size, char e, char o, int count) {
  return Copy(false, 0, d, t, copied, size, e, o, count);
}
int CopyTokenExNW(wchar_t* d, const wchar_t* t, int* copied, int size, wchar_t e, wchar_t o, int count) {
  return Copy(false, 0, d, t, copied, size, e, o, count);
}
int CopyClassTokenExNA(uint32_t m, char* d, const char* t, int* copied, int size, char e, char o, int count) {
  return Copy(true, m, d, t, copied, size, e, o, count);
}
int CopyClassTokenExNW(uint32_t m, wchar_t* d, const wchar_t* t, int* copied, int size, wchar_t e, wchar_t o,
                       int count) {
  return Copy(true, m, d, t, copied, size, e, o, count);
}
