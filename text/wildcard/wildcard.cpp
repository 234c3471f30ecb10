#include "text/wildcard/wildcard.h"

#include "text/compare/casecompare.h"
#include "text/classtable.h"

namespace {

const uint32_t kLengthModes = MATCH_PREFIX | MATCH_PREFIX_OR_FAIL;

inline int Diff(char t, char p) { return (signed char)t - (signed char)p; }
inline int Diff(wchar_t t, wchar_t p) { return (int)CharCode(t) - (int)CharCode(p); }

// Only 'A'-'Z' fold; a 16-bit character above 255 stays as it is.
template <class C>
inline C Fold(C c) {
  return CharCode(c) <= 255 && (CharClassTable[CharCode(c)] & CC_UPPER) ? (C)(c + 32) : c;
}

// The recursive definition (a star first tries the rest of the pattern here,
// then the star once more one character on) accepts exactly when some star
// assignment matches. The walk keeps only the last star and the text position
// it has taken up to: a later star that fails can never be rescued by giving
// an earlier one more text, so the result is the same without recursion.
template <class C>
int MatchWildcard(const C* t, const C* p, bool nocase) {
  if (!*p) return *t ? 1 : 0;
  for (; *p != '*'; ++p, ++t) {
    if (!*p) return *t ? 1 : 0;
    if (*p == '?') {
      if (!*t) return 1;
      continue;
    }
    C a = nocase ? Fold(*t) : *t, b = nocase ? Fold(*p) : *p;
    if (a != b) return Diff(a, b);
  }
  const C* star = nullptr;
  const C* starText = t;
  while (*t) {
    if (*p == '*') {
      star = ++p;
      starText = t;
    } else if (*p && (*p == '?' || (nocase ? Fold(*p) == Fold(*t) : *p == *t))) {
      ++p;
      ++t;
    } else {
      // The first star is always behind us, so star is set here.
      p = star;
      t = ++starText;
    }
  }
  while (*p == '*') ++p;
  return *p ? 1 : 0;
}

template <class C>
inline int CompareWild(const C* p, const C* t, int n, bool nocase);
template <>
inline int CompareWild(const char* p, const char* t, int n, bool nocase) {
  return CompareWildNA(p, t, n, nocase);
}
template <>
inline int CompareWild(const wchar_t* p, const wchar_t* t, int n, bool nocase) {
  return CompareWildNW(p, t, n, nocase);
}

// The counted matcher. A segment between stars is placed at the first text
// position from which the rest of the pattern succeeds in length mode.
template <class C>
class Counted {
 public:
  Counted(const C* pattern, int pn, const C* text, int tn, uint32_t flags)
      : pat_(pattern),
        pn_(pn > 0 ? pn : 0),
        txt_(text),
        tn_(tn > 0 ? tn : 0),
        flags_(flags),
        nocase_((flags & MATCH_IGNORE_CASE) != 0),
        prefix_((flags & kLengthModes) != 0) {}

  int Run() {
    if (pn_ == 0) return tn_ == 0 || prefix_ ? 0 : 1;
    if ((flags_ & MATCH_FILE_NAME) && pn_ >= 3 && pat_[pn_ - 3] == '*' && pat_[pn_ - 2] == '.' && pat_[pn_ - 1] == '*')
      pn_ -= 2;
    while (pn_ > 0 && pat_[pn_ - 1] == '*') {
      --pn_;
      trailingStars_ = true;
    }
    int pi = 0, ti = 0;
    while (pi < pn_) {
      if (ti == tn_) return Fail();
      if (pat_[pi] == '*') return Stars(pi, ti);
      int end = SegmentEnd(pi), n = end - pi;
      if (n > tn_ - ti || CompareWild(pat_ + pi, txt_ + ti, n, nocase_)) return Fail();
      pi = end;
      ti += n;
    }
    return Finish(ti);
  }

 private:
  int Fail() const { return prefix_ ? ((flags_ & MATCH_PREFIX_OR_FAIL) ? -1 : 0) : 1; }
  int Finish(int taken) const {
    if (prefix_) return trailingStars_ ? tn_ : taken;
    return taken == tn_ || trailingStars_ ? 0 : 1;
  }
  int SegmentEnd(int i) const {
    while (i < pn_ && pat_[i] != '*') ++i;
    return i;
  }

  int Stars(int pi, int ti) const {
    int i = pi, q = 0;
    for (; i < pn_ && (pat_[i] == '*' || pat_[i] == '?'); ++i) q += pat_[i] == '?';
    if (tn_ - ti < q) return Fail();
    if (i == pn_) return prefix_ ? tn_ : 0;
    ti += q;
    const int seg = i, after = SegmentEnd(i), s = after - seg;
    const C first = pat_[seg];
    const bool anyFirst = first == '?';
    const C firstFolded = nocase_ ? Fold(first) : first;
    for (int p = ti; tn_ - p >= s; ++p) {
      // The first character inline: most positions fail there.
      if (!anyFirst && (nocase_ ? Fold(txt_[p]) : txt_[p]) != firstFolded) continue;
      if (CompareWild(pat_ + seg, txt_ + p, s, nocase_)) continue;
      if (after == pn_) {
        if (prefix_ || trailingStars_ || p + s == tn_) return Finish(p + s);
        continue;
      }
      Counted rest(pat_ + after, pn_ - after, txt_ + p + s, tn_ - p - s,
                   MATCH_PREFIX_OR_FAIL | MATCH_PREFIX | (flags_ & MATCH_IGNORE_CASE));
      int r = rest.Run();
      if (r >= 0) return Finish(p + s + r);
      // The rest starts with a star: failing from here, it fails from every
      // later start too. Trying them would make nested stars exponential.
      return Fail();
    }
    return Fail();
  }

  const C* pat_;
  int pn_;
  const C* txt_;
  int tn_;
  uint32_t flags_;
  bool nocase_, prefix_;
  bool trailingStars_ = false;
};

template <class C>
int MatchList(const C* name, int nameLength, const C* list, uint32_t flags, C separator) {
  if (!list || (!list[0] && (separator || !list[1]))) return 0;
  for (int number = 1;; ++number) {
    int n = 0;
    while (list[n] && list[n] != separator) ++n;
    if (separator == 0 && n == 0) return -1;  // the empty pattern that ends the list
    if (Counted<C>(list, n, name, nameLength, flags).Run() == 0) return number;
    if (!list[n] && separator) return -1;
    list += n + 1;
  }
}

}  // namespace

int MatchWildcardA(const char* text, const char* pattern) { return MatchWildcard(text, pattern, false); }
int MatchWildcardW(const wchar_t* text, const wchar_t* pattern) { return MatchWildcard(text, pattern, false); }
int MatchWildcardNoCaseA(const char* text, const char* pattern) { return MatchWildcard(text, pattern, true); }
int MatchWildcardNoCaseW(const wchar_t* text, const wchar_t* pattern) { return MatchWildcard(text, pattern, true); }

int MatchWildcardNA(const char* pattern, int patternLength, const char* text, int textLength, uint32_t flags) {
  return Counted<char>(pattern, patternLength, text, textLength, flags).Run();
}
int MatchWildcardNW(const wchar_t* pattern, int patternLength, const wchar_t* text, int textLength, uint32_t flags) {
  return Counted<wchar_t>(pattern, patternLength, text, textLength, flags).Run();
}

int MatchWildcardListA(const char* name, int nameLength, const char* list, uint32_t flags, char separator) {
  return MatchList(name, nameLength, list, flags, separator);
}
int MatchWildcardListW(const wchar_t* name, int nameLength, const wchar_t* list, uint32_t flags, wchar_t separator) {
  return MatchList(name, nameLength, list, flags, separator);
}
