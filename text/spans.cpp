#include <climits>

#include "text/spans.h"

#include "text/classtable.h"

namespace {

template <class C>
int SpanWhile(const C* text, uint32_t mask, bool inClass, int n) {
  int i = 0;
  while (i < n && ((CharClassOf(text[i]) & mask) != 0) == inClass) ++i;
  return i;
}

template <class C>
int SpanBackWhile(const C* end, uint32_t mask, bool inClass, int n) {
  int i = 0;
  while (i < n && ((CharClassOf(end[-1 - i]) & mask) != 0) == inClass) ++i;
  return i;
}

constexpr int kUnbounded = INT_MAX;

// Membership of 8-bit characters in a bit set; 16-bit characters above 255
// are looked up in the set string itself.
template <class C>
class CharSet {
 public:
  explicit CharSet(const C* set) : set_(set) {
    for (; *set; ++set) {
      unsigned c = CharCode(*set);
      if (c <= 255)
        bits_[c >> 5] |= 1u << (c & 31);
      else
        wide_ = true;
    }
  }
  bool Has(C ch) const {
    unsigned c = CharCode(ch);
    if (c <= 255) return (bits_[c >> 5] >> (c & 31)) & 1;
    if (!wide_) return false;
    for (const C* s = set_; *s; ++s)
      if (*s == ch) return true;
    return false;
  }

 private:
  const C* set_;
  uint32_t bits_[8] = {};
  bool wide_ = false;
};

template <class C>
int TextLength(const C* text) {
  int n = 0;
  while (text[n]) ++n;
  return n;
}

// Last index in [first, n) whose membership equals `member`, else -1.
template <class C>
int FindLastMember(const C* text, const C* set, int n, int first, bool member) {
  if (n < 0) n = TextLength(text);
  CharSet<C> chars(set);
  for (int i = n - 1; i >= first; --i)
    if (chars.Has(text[i]) == member) return i;
  return -1;
}

inline int OrStart(int index) { return index < 0 ? 0 : index; }

}  // namespace

int SpanClassA(const char* text, uint32_t mask) { return SpanWhile(text, mask, true, kUnbounded); }
int SpanClassW(const wchar_t* text, uint32_t mask) { return SpanWhile(text, mask, true, kUnbounded); }
int SpanClassNA(const char* text, uint32_t mask, int n) { return SpanWhile(text, mask, true, n); }
int SpanClassNW(const wchar_t* text, uint32_t mask, int n) { return SpanWhile(text, mask, true, n); }
int SpanNotClassA(const char* text, uint32_t mask) { return SpanWhile(text, mask ^ CC_NUL, false, kUnbounded); }
int SpanNotClassW(const wchar_t* text, uint32_t mask) { return SpanWhile(text, mask ^ CC_NUL, false, kUnbounded); }
int SpanNotClassNA(const char* text, uint32_t mask, int n) { return SpanWhile(text, mask ^ CC_NUL, false, n); }
int SpanNotClassNW(const wchar_t* text, uint32_t mask, int n) { return SpanWhile(text, mask ^ CC_NUL, false, n); }

int SpanClassBackNA(const char* end, uint32_t mask, int n) { return SpanBackWhile(end, mask, true, n); }
int SpanClassBackNW(const wchar_t* end, uint32_t mask, int n) { return SpanBackWhile(end, mask, true, n); }
int SpanNotClassBackNA(const char* end, uint32_t mask, int n) { return SpanBackWhile(end, mask, false, n); }
int SpanNotClassBackNW(const wchar_t* end, uint32_t mask, int n) { return SpanBackWhile(end, mask, false, n); }

int FindLastOfA(const char* text, const char* set, int n) { return FindLastMember(text, set, n, 0, true); }
int FindLastOfW(const wchar_t* text, const wchar_t* set, int n) { return FindLastMember(text, set, n, 0, true); }
int FindLastNotOfA(const char* text, const char* set, int n) { return FindLastMember(text, set, n, 0, false); }
int FindLastNotOfW(const wchar_t* text, const wchar_t* set, int n) { return FindLastMember(text, set, n, 0, false); }

// 0 stands for "at the start or nowhere".
int FindLastOfOrStartA(const char* text, const char* set, int n) {
  return OrStart(FindLastMember(text, set, n, 1, true));
}
int FindLastOfOrStartW(const wchar_t* text, const wchar_t* set, int n) {
  return OrStart(FindLastMember(text, set, n, 1, true));
}
int FindLastNotOfOrStartA(const char* text, const char* set, int n) {
  return OrStart(FindLastMember(text, set, n, 1, false));
}
int FindLastNotOfOrStartW(const wchar_t* text, const wchar_t* set, int n) {
  return OrStart(FindLastMember(text, set, n, 1, false));
}
