#include "text/fields/keywords.h"

#include "text/classtable.h"

namespace {

const int kUnbounded = -1;
// Digits, letters, '_', 0x80-0xBF and the Latin-1 letters: a character after
// which no word starts.
const uint32_t kWordBefore = CC_IDENT | CC_HIGH | CC_LATIN1_UPPER | CC_LATIN1_LOWER;

template <class C>
inline unsigned Fold(C c) {
  const unsigned u = CharCode(c);
  return u >= 'a' && u <= 'z' ? u - 32 : u;
}
template <class C>
inline bool Same(C a, C b, bool nocase) {
  return nocase ? Fold(a) == Fold(b) : a == b;
}

// Whether the n characters at text equal the key; an unbounded text stops
// at its NUL.
template <class C>
bool Equal(const C* text, const C* key, int n, bool nocase) {
  for (int i = 0; i < n; ++i)
    if (!Same(text[i], key[i], nocase)) return false;
  return true;
}

template <class C>
inline bool WordChar(C c) {
  return CharCode(c) > 255 || (CharClassTable[CharCode(c)] & kWordBefore) != 0;
}

template <class C>
int FindKeyword(const C* text, uint32_t flags, const C* key, C separator, int tn, int kn, bool nocase) {
  const bool counted = tn != kUnbounded;
  if (counted && tn < 0) tn = 0;
  if (kn < 1) return (counted ? tn >= 1 : text[0] != 0) ? 0 : -1;
  auto inText = [&](int i) { return counted ? i < tn : text[i] != 0; };
  for (int pos = 0;;) {
    if (counted ? tn - pos < kn : text[pos] == 0) return -1;
    // The keyword's characters, never reading past a NUL of an unbounded text.
    int k = 0;
    while (k < kn && (counted || text[pos + k] != 0) && Same(text[pos + k], key[k], nocase)) ++k;
    if (k < kn) {
      ++pos;
      continue;
    }
    int e = pos + kn;
    if ((flags & KEYWORD_QUOTED) && inText(e) && text[e] == '"' && key[0] != '"' && pos > 0 && text[pos - 1] == '"') {
      ++e;
    } else if ((flags & KEYWORD_WORD_START) && pos > 0 && WordChar(text[pos - 1])) {
      ++pos;
      continue;
    }
    const uint32_t blanks = (flags & KEYWORD_ACROSS_LINES) ? CC_BLANK : CC_TABSPACE;
    while (inText(e) && (CharClassOf(text[e]) & blanks)) ++e;
    if (counted && e >= tn) return -1;
    if (text[e] == separator) return e + 1;
    pos = e > pos ? e : pos + 1;
  }
}

template <class C>
int FindWord(const C* word, int wn, const C* list, C separator, bool nocase) {
  if (!list[0]) return -1;
  if (wn < 0) wn = 0;
  for (int number = 0, start = 0;; ++number) {
    int end = start;
    while (list[end] && list[end] != separator) ++end;
    if (end - start == wn && Equal(list + start, word, wn, nocase)) return number;
    if (!list[end]) return -1;
    start = end + 1;
  }
}

template <class C>
int Length(const C* s) {
  int n = 0;
  while (s[n]) ++n;
  return n;
}

// Entry i equals the first n characters of text and ends there (n =
// kUnbounded: the whole NUL-terminated text).
template <class C>
int FindInArray(const C* text, const C* const* array, int n, int count, bool nocase) {
  if (count < 1) return -1;
  if (n == kUnbounded) n = Length(text);
  if (n < 0) n = 0;
  for (int i = 0; i < count && array[i]; ++i) {
    const C* entry = array[i];
    int k = 0;
    while (k < n && entry[k] && Same(entry[k], text[k], nocase)) ++k;
    if (k == n && !entry[n]) return i;
  }
  return -1;
}

}  // namespace

int FindKeywordA(const char* t, uint32_t f, const char* k, char s, int kn) {
  return FindKeyword(t, f, k, s, kUnbounded, kn, false);
}
int FindKeywordW(const wchar_t* t, uint32_t f, const wchar_t* k, wchar_t s, int kn) {
  return FindKeyword(t, f, k, s, kUnbounded, kn, false);
}
int FindKeywordNA(const char* t, uint32_t f, const char* k, char s, int tn, int kn) {
  return FindKeyword(t, f, k, s, tn < 0 ? 0 : tn, kn, false);
}
int FindKeywordNW(const wchar_t* t, uint32_t f, const wchar_t* k, wchar_t s, int tn, int kn) {
  return FindKeyword(t, f, k, s, tn < 0 ? 0 : tn, kn, false);
}
int FindKeywordNoCaseA(const char* t, uint32_t f, const char* k, char s, int kn) {
  return FindKeyword(t, f, k, s, kUnbounded, kn, true);
}
int FindKeywordNoCaseW(const wchar_t* t, uint32_t f, const wchar_t* k, wchar_t s, int kn) {
  return FindKeyword(t, f, k, s, kUnbounded, kn, true);
}
int FindKeywordNoCaseNA(const char* t, uint32_t f, const char* k, char s, int tn, int kn) {
  return FindKeyword(t, f, k, s, tn < 0 ? 0 : tn, kn, true);
}
int FindKeywordNoCaseNW(const wchar_t* t, uint32_t f, const wchar_t* k, wchar_t s, int tn, int kn) {
  return FindKeyword(t, f, k, s, tn < 0 ? 0 : tn, kn, true);
}

int FindWordInListA(const char* w, const char* l, char s) { return FindWord(w, Length(w), l, s, false); }
int FindWordInListW(const wchar_t* w, const wchar_t* l, wchar_t s) { return FindWord(w, Length(w), l, s, false); }
int FindWordInListNoCaseA(const char* w, const char* l, char s) { return FindWord(w, Length(w), l, s, true); }
int FindWordInListNoCaseW(const wchar_t* w, const wchar_t* l, wchar_t s) { return FindWord(w, Length(w), l, s, true); }
int FindWordNInListA(const char* w, const char* l, int n, char s) { return FindWord(w, n, l, s, false); }
int FindWordNInListW(const wchar_t* w, const wchar_t* l, int n, wchar_t s) { return FindWord(w, n, l, s, false); }
int FindWordNInListNoCaseA(const char* w, const char* l, int n, char s) { return FindWord(w, n, l, s, true); }
int FindWordNInListNoCaseW(const wchar_t* w, const wchar_t* l, int n, wchar_t s) { return FindWord(w, n, l, s, true); }

int FindStringInArrayA(const char* s, const char* const* a, int c) { return FindInArray(s, a, kUnbounded, c, false); }
int FindStringInArrayW(const wchar_t* s, const wchar_t* const* a, int c) {
  return FindInArray(s, a, kUnbounded, c, false);
}
int FindStringInArrayNoCaseA(const char* s, const char* const* a, int c) {
  return FindInArray(s, a, kUnbounded, c, true);
}
int FindStringInArrayNoCaseW(const wchar_t* s, const wchar_t* const* a, int c) {
  return FindInArray(s, a, kUnbounded, c, true);
}
int FindStringNInArrayA(const char* t, const char* const* a, int n, int c) {
  return FindInArray(t, a, n < 0 ? 0 : n, c, false);
}
int FindStringNInArrayW(const wchar_t* t, const wchar_t* const* a, int n, int c) {
  return FindInArray(t, a, n < 0 ? 0 : n, c, false);
}
int FindStringNInArrayNoCaseA(const char* t, const char* const* a, int n, int c) {
  return FindInArray(t, a, n < 0 ? 0 : n, c, true);
}
int FindStringNInArrayNoCaseW(const wchar_t* t, const wchar_t* const* a, int n, int c) {
  return FindInArray(t, a, n < 0 ? 0 : n, c, true);
}
