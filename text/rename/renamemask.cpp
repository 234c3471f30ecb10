#include "text/rename/renamemask.h"

#include <memory>

#include "text/compare/casecompare.h"
#include "text/search/patternmatch.h"
#include "text/wildcard/wildcard.h"

namespace {

const int kStackPattern = 256;  // masks up to 255 characters build their pattern on the stack

template <class C>
int Length(const C* s) {
  int n = 0;
  while (s[n]) ++n;
  return n;
}

inline int Wild(const char* p, int pn, const char* t, int tn, uint32_t f) { return MatchWildcardNA(p, pn, t, tn, f); }
inline int Wild(const wchar_t* p, int pn, const wchar_t* t, int tn, uint32_t f) {
  return MatchWildcardNW(p, pn, t, tn, f);
}
inline int Pattern(const char* p, int pn, const char* t, int tn, uint32_t f) { return MatchPatternNA(p, pn, t, tn, f); }
inline int Pattern(const wchar_t* p, int pn, const wchar_t* t, int tn, uint32_t f) {
  return MatchPatternNW(p, pn, t, tn, f);
}
inline int CompareWild(const char* p, const char* t, int n, bool nc) { return CompareWildNA(p, t, n, nc); }
inline int CompareWild(const wchar_t* p, const wchar_t* t, int n, bool nc) { return CompareWildNW(p, t, n, nc); }
inline int BuildPattern(const char* m, char* o, int s, uint32_t f) { return BuildMaskPatternA(m, o, s, f); }
inline int BuildPattern(const wchar_t* m, wchar_t* o, int s, uint32_t f) { return BuildMaskPatternW(m, o, s, f); }

template <class C>
int BuildMask(const C* mask, C* out, int size, uint32_t flags) {
  if (size < 2) {
    if (size == 1) out[0] = 0;
    return 0;
  }
  const int room = size - 1;
  int n = 0;
  bool afterStar = false;
  for (const C* m = mask;;) {
    if (n >= room) break;  // a new plain field and no room
    for (; *m && *m != '|'; ++m) {
      C c = *m;
      if (!(flags & MASK_KEEP_TEXT) && !(c == '.' && !(flags & MASK_DOTS_PLAIN)) && c != '?') c = '*';
      if (c == '*' && afterStar && !(flags & MASK_NO_MERGE)) continue;
      if (n < room) {
        out[n++] = c;
        afterStar = c == '*';
      }
    }
    if (!*m) break;
    const C* x = ++m;  // X: copied whole or not at all
    while (*m && *m != '|') ++m;
    const int xn = (int)(m - x);
    if (n + xn > room) break;
    for (int i = 0; i < xn; ++i) out[n++] = x[i];
    if (xn) afterStar = x[xn - 1] == '*';
    if (!*m) break;
    ++m;  // Y is skipped
    while (*m && *m != '|') ++m;
    if (!*m) break;
    ++m;
  }
  out[n] = 0;
  return n;
}

template <class C>
class Renamer {
 public:
  Renamer(const C* mask, const C* pattern, int pn, const C* src, int sn, C* out, int size, uint32_t flags)
      : mask_(mask),
        pat_(pattern),
        pn_(pn),
        src_(src),
        sn_(sn),
        out_(out),
        room_(size - 1),
        flags_(flags),
        plainDots_((flags & RENAME_DOTS_PLAIN) != 0),
        caseFlag_(flags & RENAME_IGNORE_CASE) {}

  // The length of the new name, or -1.
  int Run() {
    int mi = 0, pi = 0;
    while (mask_[mi]) {
      const C c = mask_[mi];
      bool ok;
      if (c == '?')
        ok = Question(&mi, &pi);
      else if (c == '*')
        ok = Stars(&mi, &pi);
      else if (c == '|')
        ok = Substitution(&mi, &pi);
      else if (c == '.' && !plainDots_)
        ok = Dot(&mi, &pi);
      else
        ok = Literal(&mi, &pi);
      if (!ok) return -1;
    }
    return n_;
  }

 private:
  bool Put(const C* s, int n) {
    if (n_ + n > room_) return false;
    for (int i = 0; i < n; ++i) out_[n_++] = s[i];
    return true;
  }
  bool IsDot(C c) const { return c == '.' && !plainDots_; }
  int NextDot(const C* s, int from, int end) const {
    for (int i = from; i < end; ++i)
      if (s[i] == '.') return i;
    return -1;
  }
  int LastDot(const C* s, int from, int end) const {
    for (int i = end; i-- > from;)
      if (s[i] == '.') return i;
    return -1;
  }
  int DotsIn(int from) const {
    if (plainDots_) return 0;
    int k = 0;
    for (int i = from; i < pn_ && k < 2; ++i) k += pat_[i] == '.';
    return k;
  }
  // The source part from si and the pattern part from pi by the dots of the
  // pattern's rest.
  void Parts(int si, int pi, int* sEnd, int* pEnd) const {
    const int dots = DotsIn(pi);
    if (dots == 0) {
      *sEnd = sn_;
      *pEnd = pn_;
      return;
    }
    int s = dots == 1 ? LastDot(src_, si, sn_) : NextDot(src_, si, sn_);
    *sEnd = s < 0 ? sn_ : s;
    *pEnd = dots == 1 ? LastDot(pat_, pi, pn_) : NextDot(pat_, pi, pn_);
  }
  // Where the source goes at a name/extension dot whose pattern rest starts
  // at pi: its last dot when no further dot follows there, else its next one.
  int SourceDot(int pi) const {
    int d = NextDot(pat_, pi, pn_) < 0 ? LastDot(src_, si_, sn_) : NextDot(src_, si_, sn_);
    return d < 0 ? sn_ : d;
  }

  bool Question(int* mi, int* pi) {
    if (si_ >= sn_ || IsDot(src_[si_])) return false;
    if (!Put(src_ + si_, 1)) return false;
    ++si_;
    ++*mi;
    ++*pi;
    return true;
  }

  bool Stars(int* mi, int* pi) {
    int r = 0;
    while (mask_[*mi + r] == '*') ++r;
    const int rStart = *mi + r;
    int rEnd = rStart;
    while (mask_[rEnd] && mask_[rEnd] != '|' && !IsDot(mask_[rEnd])) ++rEnd;
    const int rn = rEnd - rStart;
    if (!mask_[rEnd]) {  // R runs to the end of the mask: the star takes the rest
      if (!Put(src_ + si_, sn_ - si_)) return false;
      si_ = sn_;
      *mi = rStart;
      *pi += r;
      return true;
    }
    const int patAfterR = *pi + r + rn;
    if (IsDot(mask_[rEnd])) {
      const int to = SourceDot(patAfterR + 1);
      if (!Put(src_ + si_, to - si_) || !Put(mask_ + rStart, rn)) return false;
      si_ = to;
    } else {
      int sEnd, pEnd;
      Parts(si_, patAfterR, &sEnd, &pEnd);
      int share = sEnd;
      if (pEnd > patAfterR) {
        for (int p = si_; p <= sEnd; ++p)
          if (Wild(pat_ + patAfterR, pEnd - patAfterR, src_ + p, sEnd - p, caseFlag_) == 0) {
            share = p;
            break;
          }
      }
      int keep = rn;
      if (plainDots_)
        while (keep > 0 && mask_[rStart + keep - 1] == '.' && share > si_ && src_[share - 1] == '.') --keep;
      if (!Put(src_ + si_, share - si_) || !Put(mask_ + rStart, keep)) return false;
      si_ = share;
    }
    *mi = rEnd;
    *pi = patAfterR;
    return true;
  }

  bool Substitution(int* mi, int* pi) {
    const int xStart = *mi + 1;
    int xEnd = xStart;
    while (mask_[xEnd] && mask_[xEnd] != '|') ++xEnd;
    if (!mask_[xEnd]) return false;
    const int yStart = xEnd + 1;
    int yEnd = yStart;
    while (mask_[yEnd] && mask_[yEnd] != '|') ++yEnd;
    if (!mask_[yEnd]) return false;
    const int xn = xEnd - xStart;
    // X as matched: a leading run of stars counts as one.
    const C* x = mask_ + xStart;
    int xm = xn, lead = 0;
    while (lead < xn && x[lead] == '*') ++lead;
    if (lead >= 2) {
      x += lead - 1;
      xm -= lead - 1;
    }
    bool hasStar = false;
    for (int i = 0; i < xm; ++i) hasStar |= x[i] == '*';
    int sEnd, pEnd;
    Parts(si_, *pi, &sEnd, &pEnd);
    int covered;
    if (!hasStar) {
      if (sn_ - si_ < xm || CompareWild(x, src_ + si_, xm, caseFlag_ != 0)) return false;
      covered = xm;
    } else if (pEnd - *pi == xn) {
      covered = Wild(x, xm, src_ + si_, sEnd - si_, MATCH_PREFIX_OR_FAIL | caseFlag_);
      if (covered < 0 || (covered == 0 && !(xm == 1 && x[0] == '*'))) return false;
    } else {
      if (pEnd - *pi < xn) return false;
      const C* rest = pat_ + *pi + xn;
      const int restN = pEnd - *pi - xn;
      covered = -1;
      for (int h = sEnd - si_; h >= 0; --h)
        if (Wild(x, xm, src_ + si_, h, caseFlag_) == 0 &&
            Wild(rest, restN, src_ + si_ + h, sEnd - si_ - h, caseFlag_) == 0) {
          covered = h;
          break;
        }
      if (covered < 0) return false;
    }
    if (!Put(mask_ + yStart, yEnd - yStart)) return false;
    si_ += covered;
    *mi = yEnd + 1;
    *pi += xn;
    return true;
  }

  bool Dot(int* mi, int* pi) {
    si_ = SourceDot(*pi + 1);
    const bool last = !mask_[*mi + 1];
    if (!last) {
      bool onlyStars = true;
      for (int i = *mi + 1; mask_[i]; ++i) onlyStars &= mask_[i] == '*';
      if (si_ < sn_ || !onlyStars) {
        const C dot = '.';
        if (!Put(&dot, 1)) return false;
        if (si_ < sn_ && src_[si_] == '.') ++si_;
      }
    }
    ++*mi;
    ++*pi;
    return true;
  }

  bool Literal(int* mi, int* pi) {
    int ln = 0;
    for (C c; (c = mask_[*mi + ln]) && c != '|' && c != '*' && c != '?' && !IsDot(c);) ++ln;
    int sEnd, pEnd;
    Parts(si_, *pi, &sEnd, &pEnd);
    if (pEnd - *pi < ln) return false;
    const C* rest = pat_ + *pi + ln;
    const int restN = pEnd - *pi - ln, partN = sEnd - si_;
    int head = -1;
    for (int tail = 0; tail <= partN; ++tail)
      if (Wild(rest, restN, src_ + sEnd - tail, tail, caseFlag_) == 0) {
        head = partN - tail;
        break;
      }
    if (head < 0 || !Put(mask_ + *mi, ln)) return false;
    si_ += head;
    *mi += ln;
    *pi += ln;
    return true;
  }

  const C* mask_;
  const C* pat_;
  int pn_;
  const C* src_;
  int sn_;
  C* out_;
  int room_;
  uint32_t flags_;
  bool plainDots_;
  uint32_t caseFlag_;
  int si_ = 0, n_ = 0;
};

template <class C>
int Apply(const C* mask, int sourceLength, const C* source, C* out, int size, uint32_t flags) {
  if (size <= 0) return -1;
  if (size == 1) {
    out[0] = 0;
    for (const C* m = mask; *m; ++m)
      if (*m != '*') return -1;
    return 0;
  }
  const int mn = Length(mask);
  C stack[kStackPattern];
  std::unique_ptr<C[]> heap;
  C* pattern = stack;
  if (mn + 1 > kStackPattern) {
    heap.reset(new C[mn + 1]);
    pattern = heap.get();
  }
  const int pn = BuildPattern(mask, pattern, mn + 1, (flags & MASK_KEEP_TEXT) | MASK_NO_MERGE);
  const int sn = sourceLength > 0 ? sourceLength : 0;
  int result = -1;
  if (!(flags & RENAME_CHECK_SOURCE) || Pattern(pattern, pn, source, sn, flags & RENAME_IGNORE_CASE) == 0)
    result = Renamer<C>(mask, pattern, pn, source, sn, out, size, flags).Run();
  out[result < 0 ? 0 : result] = 0;
  return result;
}

}  // namespace

int BuildMaskPatternA(const char* mask, char* out, int size, uint32_t flags) {
  return BuildMask(mask, out, size, flags);
}
int BuildMaskPatternW(const wchar_t* mask, wchar_t* out, int size, uint32_t flags) {
  return BuildMask(mask, out, size, flags);
}
int ApplyRenameMaskA(const char* mask, int sourceLength, const char* source, char* out, int size, uint32_t flags) {
  return Apply(mask, sourceLength, source, out, size, flags);
}
int ApplyRenameMaskW(const wchar_t* mask, int sourceLength, const wchar_t* source, wchar_t* out, int size,
                     uint32_t flags) {
  return Apply(mask, sourceLength, source, out, size, flags);
}
