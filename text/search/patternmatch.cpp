#include "text/search/patternmatch.h"

#include "base/check.h"
#include "text/classtable.h"
#include "text/spans.h"
#include "text/codecs/cliteral.h"
#include "text/compare/casecompare.h"
#include "text/numbers/intparse.h"
#include "text/search/charsearch.h"

namespace {

const uint32_t kWordMask = CC_WORD;  // digits, letters, '_', Latin-1 letters
// What the class masks are read with: a hex number.
const uint32_t kHexDigitRun = CC_HEXDIGIT | CC_OCTDIGIT | CC_BINDIGIT;
const uint32_t kSubMatch = MATCH_PREFIX_OR_FAIL | MATCH_NOT_AT_START | MATCH_PREFIX;

// The 8-bit and 16-bit routines the matcher is built on.
template <class C>
struct Text;

template <>
struct Text<char> {
  static int CompareWild(const char* p, const char* t, int n, bool nc) { return CompareWildNA(p, t, n, nc); }
  static int Compare(const char* a, const char* b, int n, bool nc) { return CompareNA(a, b, n, nc); }
  static int Span(const char* t, uint32_t mask, int n) { return SpanClassNA(t, mask, n); }
  static int Digits(const char* t, uint32_t marker, int n) {
    return SpanToCharOrClassNA(kHexDigitRun, t, SPAN_CLASS_MODE | marker, n);
  }
  static uint32_t Hex(const char* t, int n) { return ParseHexNA(t, n); }
  static unsigned Escape(const char* p, int n, int* len) { return DecodeCEscapeNA(p, n, len); }
  static int Match(const char* p, int pn, const char* t, int tn, uint32_t f) { return MatchPatternNA(p, pn, t, tn, f); }
};

template <>
struct Text<wchar_t> {
  static int CompareWild(const wchar_t* p, const wchar_t* t, int n, bool nc) { return CompareWildNW(p, t, n, nc); }
  static int Compare(const wchar_t* a, const wchar_t* b, int n, bool nc) { return CompareNW(a, b, n, nc); }
  static int Span(const wchar_t* t, uint32_t mask, int n) { return SpanClassNW(t, mask, n); }
  static int Digits(const wchar_t* t, uint32_t marker, int n) {
    return SpanToCharOrClassNW(kHexDigitRun, t, SPAN_CLASS_MODE | marker, n);
  }
  static uint32_t Hex(const wchar_t* t, int n) { return ParseHexNW(t, n); }
  static unsigned Escape(const wchar_t* p, int n, int* len) { return DecodeCEscapeNW(p, n, len); }
  static int Match(const wchar_t* p, int pn, const wchar_t* t, int tn, uint32_t f) {
    return MatchPatternNW(p, pn, t, tn, f);
  }
};

// Single-character tests take a 16-bit character above 255 as a member of
// every class (a word character too); the runs through Span do not.
template <class C>
inline bool InClass(C c, uint32_t mask) {
  return CharCode(c) > 255 || (CharClassTable[CharCode(c)] & mask) != 0;
}
template <class C>
inline bool IsWord(C c) {
  return InClass(c, kWordMask);
}

inline char ListClose(unsigned open) {
  switch (open) {
    case '[':
      return ']';
    case '(':
      return ')';
    case '{':
      return '}';
    case '<':
      return '>';
    default:
      return '|';
  }
}

template <class C>
class Matcher {
 public:
  Matcher(const C* pattern, int pn, const C* text, int tn, uint32_t flags)
      : pat_(pattern),
        pn_(pn > 0 ? pn : 0),
        txt_(text),
        tn_(tn > 0 ? tn : 0),
        flags_(flags),
        nocase_((flags & MATCH_IGNORE_CASE) != 0),
        prefix_((flags & (MATCH_PREFIX | MATCH_PREFIX_OR_FAIL)) != 0) {}

  int Run();

 private:
  typedef Text<C> T;

  int Fail() const { return prefix_ ? ((flags_ & MATCH_PREFIX_OR_FAIL) ? -1 : 0) : 1; }
  // The pattern is used up and the text taken up to `taken`.
  int Finish(int taken) const {
    if (taken > tn_) taken = tn_;
    if (prefix_) return trailingStars_ ? tn_ : taken;
    return taken == tn_ || trailingStars_ ? 0 : 1;
  }
  bool WordBefore(int k) const { return k > 0 ? IsWord(txt_[k - 1]) : (flags_ & MATCH_AFTER_WORD) != 0; }
  int WordRun(int k) const {
    int i = k;
    while (i < tn_ && IsWord(txt_[i])) ++i;
    return i - k;
  }
  // The rest of the pattern from pi against the text from ti, in prefix
  // mode: the length it covers, or -1.
  int SubMatch(int pi, int ti) const {
    uint32_t f = kSubMatch | (flags_ & MATCH_IGNORE_CASE) | (WordBefore(ti) ? (uint32_t)MATCH_AFTER_WORD : 0u);
    return T::Match(pat_ + pi, pn_ - pi, txt_ + ti, tn_ - ti, f);
  }
  int SegmentEnd(int i) const {
    while (i < pn_ && pat_[i] != '*' && pat_[i] != '\\') ++i;
    return i;
  }
  // Class mask after \#, \$ or \& at i (the backslash); *next is behind its
  // digits and the optional closing marker.
  uint32_t ClassMask(int i, int* next) const {
    unsigned marker = CharCode(pat_[i + 1]);
    int start = i + 2;
    int digits = T::Digits(pat_ + start, marker, pn_ - start);
    uint32_t mask = digits > 0 ? T::Hex(pat_ + start, digits) : 0;
    int k = start + digits;
    if (k < pn_ && CharCode(pat_[k]) == marker) ++k;
    *next = k;
    return mask;
  }
  // Behind the list that starts at i (after its opening bracket): a
  // backslash hides the character after it.
  int ListEnd(int i, char close, bool* closed) const {
    while (i < pn_) {
      if (pat_[i] == '\\') {
        i += 2;
      } else if (pat_[i] == close) {
        *closed = true;
        return i + 1;
      } else {
        ++i;
      }
    }
    *closed = false;
    return pn_;
  }
  bool Same(C a, C b) const { return T::Compare(&a, &b, 1, nocase_) == 0; }
  bool InList(int i, char close, C c) const;
  bool PassesAtEnd(int i, bool afterWord) const;
  int Stars();
  // Evaluates the construct at pi_ (text remains); returns true with the
  // final result in *result when it decides the match.
  bool Construct(int* result);

  const C* pat_;
  int pn_;
  const C* txt_;
  int tn_;
  uint32_t flags_;
  bool nocase_, prefix_;
  bool trailingStars_ = false;
  int pi_ = 0, ti_ = 0;
};

template <class C>
bool Matcher<C>::InList(int i, char close, C c) const {
  while (i < pn_ && pat_[i] != close) {
    C member = pat_[i];
    int len = 1;
    if (member == '\\' && i + 1 < pn_) {
      if (pat_[i + 1] == close) {
        member = pat_[i + 1];
        len = 2;
      } else {
        // After a backslash that starts no escape, the backslash is a member
        // and the character after it is read as one of its own.
        member = (C)T::Escape(pat_ + i, pn_ - i, &len);
      }
    }
    if (Same(member, c)) return true;
    i += len;
  }
  return false;
}

// Whether the pattern from i matches at the end of the text.
template <class C>
bool Matcher<C>::PassesAtEnd(int i, bool afterWord) const {
  while (i < pn_) {
    if (pat_[i] == '*') {
      ++i;
      continue;
    }
    if (pat_[i] != '\\' || i + 1 >= pn_) return false;
    unsigned x = CharCode(pat_[i + 1]);
    bool closed;
    switch (x) {
      case 'f':
        if (!afterWord) return false;
        // fall through
      case '.':
      case 'e':
        i += 2;
        break;
      case '(':
      case '<':
      case '|':
        i = ListEnd(i + 2, ListClose(x), &closed);
        break;
      case '#':
      case '$':
        ClassMask(i, &i);
        break;
      default:
        return false;
    }
  }
  return true;
}

template <class C>
int Matcher<C>::Run() {
  if (pn_ == 0) return tn_ == 0 ? 0 : (prefix_ ? 0 : 1);
  if ((flags_ & MATCH_FILE_NAME) && pn_ >= 3 && pat_[pn_ - 3] == '*' && pat_[pn_ - 2] == '.' && pat_[pn_ - 1] == '*')
    pn_ -= 2;
  // A star after a backslash stays: it is \* or follows an escaped backslash.
  while (pn_ > 0 && pat_[pn_ - 1] == '*' && !(pn_ >= 2 && pat_[pn_ - 2] == '\\')) {
    --pn_;
    trailingStars_ = true;
  }
  while (pi_ < pn_) {
    DEBUG_CHECK(pi_ >= 0 && ti_ >= 0 && ti_ <= tn_);
    if (ti_ == tn_) return PassesAtEnd(pi_, WordBefore(ti_)) ? Finish(ti_) : Fail();
    int end = SegmentEnd(pi_);
    if (end > pi_) {
      int n = end - pi_;
      if (n > tn_ - ti_ || T::CompareWild(pat_ + pi_, txt_ + ti_, n, nocase_)) return Fail();
      pi_ = end;
      ti_ += n;
      continue;
    }
    if (pat_[pi_] == '*') return Stars();
    int result;
    if (Construct(&result)) return result;
  }
  return Finish(ti_);
}

template <class C>
bool Matcher<C>::Construct(int* result) {
  const C cur = txt_[ti_];
  if (pi_ + 1 >= pn_) {  // a lone trailing backslash stands for itself
    if (cur != '\\') return *result = Fail(), true;
    ++pi_;
    ++ti_;
    return false;
  }
  const unsigned x = CharCode(pat_[pi_ + 1]);
  const bool atStart = ti_ == 0 && !(flags_ & MATCH_NOT_AT_START);
  int next = pi_ + 2;
  int n = 1;      // text characters taken, -1 on failure
  int floor = 0;  // runs: the fewest characters they give back to
  uint32_t mask;
  bool closed;
  switch (x) {
    case '*':
    case '?':
    case '\\':
      if (CharCode(cur) != x) n = -1;
      break;
    case 'a':
      n = atStart ? 0 : -1;
      break;
    case 'e':
      n = -1;
      break;
    case 'g':
      n = !WordBefore(ti_) && IsWord(cur) ? 0 : -1;
      break;
    case 'f':
      n = WordBefore(ti_) && !IsWord(cur) ? 0 : -1;
      break;
    case 'p':
    case 'm':
    case 'o':
    case 'h':
      mask = x == 'p' ? CC_DIGIT : x == 'm' ? CC_ALPHA | CC_UNDERSCORE : x == 'o' ? CC_IDENT : CC_DIGIT | CC_HEXLETTER;
      if (!InClass(cur, mask)) n = -1;
      break;
    case '&':
      if (!InClass(cur, ClassMask(pi_, &next))) n = -1;
      break;
    case '$':
      n = InClass(cur, ClassMask(pi_, &next)) ? 1 : 0;
      floor = 1;
      break;
    case '#':
      n = T::Span(txt_ + ti_, ClassMask(pi_, &next), tn_ - ti_);
      floor = 1;
      break;
    case '.':
    case '+':
      n = T::Span(txt_ + ti_, x == '.' ? CC_TABSPACE : CC_BLANK, tn_ - ti_);
      floor = 1;
      break;
    case '_':
    case '-':
      n = T::Span(txt_ + ti_, x == '_' ? CC_TABSPACE : CC_NEWLINE, tn_ - ti_);
      if (n == 0 && !atStart) n = -1;
      floor = 2;
      break;
    case 'w':
    case 'z':
      n = WordBefore(ti_) ? 0 : T::Span(txt_ + ti_, kWordMask, tn_ - ti_);
      if (n == 0 || (x == 'z' && CharCode(cur) - '0' > 9u)) n = -1;
      break;
    case 'q':  // a line end: CR LF, CR or LF
      if (cur == '\r')
        n = ti_ + 1 < tn_ && txt_[ti_ + 1] == '\n' ? 2 : 1;
      else if (cur != '\n')
        n = -1;
      break;
    case '[':
    case '(':
    case '{':
    case '<':
    case '|': {
      const char close = ListClose(x);
      next = ListEnd(pi_ + 2, close, &closed);
      bool literal = false;  // an unclosed list that fails is read as text
      if (x == '<') {
        int k = ti_;
        while (k < tn_ && InList(pi_ + 2, close, txt_[k])) ++k;
        n = k - ti_;
        literal = k < tn_;
        floor = 1;
      } else if (x == '|') {  // unclosed, it simply runs to the end of the pattern
        int k = ti_;
        for (; k < tn_ && !InList(pi_ + 2, close, txt_[k]); ++k) {
          if (next < pn_) {  // the rest of the pattern may end the run here
            int r = SubMatch(next, k);
            if (r >= 0) return *result = Finish(k + r), true;
            if (pat_[next] == '*') return *result = Fail(), true;  // as in Stars: later starts fail too
          }
        }
        n = k - ti_;
        floor = 1;
      } else {
        bool member = InList(pi_ + 2, close, cur);
        literal = !member;
        if (x == '(') {
          n = member ? 1 : 0;
          floor = 1;
        } else if (member != (x == '[')) {
          n = -1;
        }
      }
      if (literal && !closed) {
        // Compared as text from its backslash on, it takes nothing.
        int len = pn_ - pi_;
        bool same = len <= tn_ - ti_ && T::Compare(pat_ + pi_, txt_ + ti_, len, nocase_) == 0;
        return *result = same ? Finish(ti_) : Fail(), true;
      }
      break;
    }
    default: {  // a C escape, or a backslash that stands for itself
      int len;
      C c = (C)T::Escape(pat_ + pi_, pn_ - pi_, &len);
      next = pi_ + len;
      if (!Same(c, cur)) n = -1;
      break;
    }
  }
  if (n < 0) return *result = Fail(), true;
  // A construct takes at least its backslash and letter, and only text there is.
  DEBUG_CHECK(next > pi_ && next <= pn_ && n <= tn_ - ti_);
  pi_ = next;
  if (floor && n >= floor && pi_ < pn_) {
    // Give characters back, longest first, until the rest matches.
    for (int len = n; len >= floor; --len) {
      int r = SubMatch(pi_, ti_ + len);
      if (r >= 0) return *result = Finish(ti_ + len + r), true;
    }
  }
  ti_ += n;
  return false;
}

template <class C>
int Matcher<C>::Stars() {
  int i = pi_, q = 0;
  for (; i < pn_ && (pat_[i] == '*' || pat_[i] == '?'); ++i) q += pat_[i] == '?';
  if (tn_ - ti_ < q) return Fail();
  if (i == pn_) {
    trailingStars_ = true;
    return Finish(tn_);
  }
  ti_ += q;
  const int seg = i, after = SegmentEnd(i), s = after - seg;

  // Whether the constructs behind the segment pass at the end of the text;
  // a word end among them lets the search start late in a run of word
  // characters, where the segment could not end at a word end anyway.
  bool walkEnd = false, wordEnd = false;
  for (int w = after; w + 1 < pn_ && pat_[w] == '\\';) {
    unsigned x = CharCode(pat_[w + 1]);
    bool closed;
    if (x == '.') {
      w += 2;
    } else if (x == 'e' && w + 2 == pn_) {
      w += 2;
    } else if (x == 'f') {
      w += 2;
      if (!wordEnd) {
        wordEnd = true;
        int run = WordRun(ti_);
        if (run >= s) ti_ += run - s;
      }
    } else if (x == '(' || x == '<' || x == '|') {
      w = ListEnd(w + 2, ListClose(x), &closed);
    } else if (x == '#' || x == '$') {
      ClassMask(w, &w);
    } else {
      break;
    }
    walkEnd = w == pn_;
  }

  for (int p = ti_; tn_ - p >= s; ++p) {
    if (T::CompareWild(pat_ + seg, txt_ + p, s, nocase_)) continue;
    if (after == pn_) {
      if (prefix_ || trailingStars_ || p + s == tn_) return Finish(p + s);
    } else if (p + s < tn_) {
      int r = SubMatch(after, p + s);
      if (r >= 0) return Finish(p + s + r);
      // A rest that starts with a star and fails here fails from every later
      // start too; trying them all would make nested stars exponential.
      if (pat_[after] == '*') return Fail();
    } else if (walkEnd && (!wordEnd || WordBefore(tn_))) {
      return Finish(tn_);
    }
  }
  return Fail();
}

}  // namespace

int MatchPatternNA(const char* pattern, int patternLength, const char* text, int textLength, uint32_t flags) {
  return Matcher<char>(pattern, patternLength, text, textLength, flags).Run();
}

int MatchPatternNW(const wchar_t* pattern, int patternLength, const wchar_t* text, int textLength, uint32_t flags) {
  return Matcher<wchar_t>(pattern, patternLength, text, textLength, flags).Run();
}
