#include "text/tokens/charset.h"

#include <climits>

const CharBitSet TokenSeparatorSet = {
    {0xFFFFFFFFu, (1u << (' ' - 32)) | (1u << (',' - 32)) | (1u << (';' - 32)), 0, 0, 0, 0, 0, 0}};

namespace {

const int kUnbounded = INT_MAX;

template <class C>
void Build(CharBitSet* set, const C* chars, uint32_t flags) {
  if (!(flags & CHARSET_KEEP))
    for (uint32_t& w : set->words) w = 0;
  for (; *chars; ++chars) {
    const unsigned bit = CharSetBit(*chars);
    if (flags & CHARSET_CLEAR)
      set->words[bit / 32] &= ~(1u << (bit % 32));
    else
      set->words[bit / 32] |= 1u << (bit % 32);
  }
}

// Characters before the NUL (and within n) that are members when `member`.
template <class C>
int Span(const C* t, const CharBitSet* set, int n, bool member) {
  int i = 0;
  while (i < n && t[i] && InCharSet(set, t[i]) == member) ++i;
  return i;
}

template <class C>
int Through(const C* t, const CharBitSet* set, int n) {
  int i = Span(t, set, n, false);
  return i < n && t[i] ? i + 1 : i;
}

template <class C>
int Find(const C* t, const CharBitSet* set, int n) {
  int i = 0;
  while (i < n && !InCharSet(set, t[i])) ++i;
  return i;
}

template <class C>
int Back(const C* end, const CharBitSet* set, int n, bool member) {
  int i = 0;
  while (i < n && InCharSet(set, end[-1 - i]) == member) ++i;
  return i;
}

}  // namespace

void BuildCharSetA(CharBitSet* set, const char* chars, uint32_t flags) { Build(set, chars, flags); }
void BuildCharSetW(CharBitSet* set, const wchar_t* chars, uint32_t flags) { Build(set, chars, flags); }

int SpanInSetA(const char* t, const CharBitSet* s) { return Span(t, s, kUnbounded, true); }
int SpanInSetW(const wchar_t* t, const CharBitSet* s) { return Span(t, s, kUnbounded, true); }
int SpanInSetNA(const char* t, const CharBitSet* s, int n) { return Span(t, s, n, true); }
int SpanInSetNW(const wchar_t* t, const CharBitSet* s, int n) { return Span(t, s, n, true); }
int SpanUntilInSetA(const char* t, const CharBitSet* s) { return Span(t, s, kUnbounded, false); }
int SpanUntilInSetW(const wchar_t* t, const CharBitSet* s) { return Span(t, s, kUnbounded, false); }
int SpanUntilInSetNA(const char* t, const CharBitSet* s, int n) { return Span(t, s, n, false); }
int SpanUntilInSetNW(const wchar_t* t, const CharBitSet* s, int n) { return Span(t, s, n, false); }
int SpanThroughInSetA(const char* t, const CharBitSet* s) { return Through(t, s, kUnbounded); }
int SpanThroughInSetW(const wchar_t* t, const CharBitSet* s) { return Through(t, s, kUnbounded); }
int SpanThroughInSetNA(const char* t, const CharBitSet* s, int n) { return Through(t, s, n); }
int SpanThroughInSetNW(const wchar_t* t, const CharBitSet* s, int n) { return Through(t, s, n); }
int FindInSetA(const char* t, const CharBitSet* s) { return Find(t, s, kUnbounded); }
int FindInSetW(const wchar_t* t, const CharBitSet* s) { return Find(t, s, kUnbounded); }
int FindInSetNA(const char* t, const CharBitSet* s, int n) { return n < 1 ? 0 : Find(t, s, n); }
int FindInSetNW(const wchar_t* t, const CharBitSet* s, int n) { return n < 1 ? 0 : Find(t, s, n); }
int SpanBackUntilInSetNA(const char* e, const CharBitSet* s, int n) { return Back(e, s, n, false); }
int SpanBackUntilInSetNW(const wchar_t* e, const CharBitSet* s, int n) { return Back(e, s, n, false); }
int SpanBackInSetNA(const char* e, const CharBitSet* s, int n) { return Back(e, s, n, true); }
int SpanBackInSetNW(const wchar_t* e, const CharBitSet* s, int n) { return Back(e, s, n, true); }
