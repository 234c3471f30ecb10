#include "system/files/namecollate.h"

#include <array>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "system/files/pathnormal.h"
#include "system/wintwins.h"
#include "text/numbers/intparse.h"

namespace {

// Bit 0x80 of a weight marks a digit.
const unsigned kDigitMark = 0x80;

// The base letter and accent number of the Latin-1 letters 0xC0 to 0xFF
// (small forms 0xE0 up); 0 where the letter keeps its code.
constexpr char kBase[32] = {'a', 'a', 'a', 'a', 'a', 'a', 'a', 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
                            'd', 'n', 'o', 'o', 'o', 'o', 'o', 0,   0,   'u', 'u', 'u', 'u', 'y', 0,   0};
constexpr unsigned char kAccent[32] = {1, 2, 3, 4, 5, 6, 7, 1, 1, 2, 3, 4, 1, 2, 3, 4,
                                       1, 1, 1, 2, 3, 4, 5, 0, 0, 1, 2, 3, 4, 1, 0, 0};

constexpr uint16_t Weight(unsigned c, bool folded) {
  if (c == 0) return 0;
  if (c == '\\' || c == '/') return 1;
  if (c == '.') return 2;
  if (c == ' ') return 3;
  if (c == '_') return 4;
  if (c == '(') return 8;
  if (c == '[') return 9;
  if (c == '{') return 10;
  if (c == '<') return 11;
  if (c == ')') return 12;
  if (c == ']') return 13;
  if (c == '}') return 14;
  if (c == '>') return 15;
  if (c == ':') return 0x101;
  if (c == ';') return 0x102;
  if (c == ',') return 0x103;
  if (c == '|') return 0x104;
  if (c >= '0' && c <= '9') return (uint16_t)(c * 256 + kDigitMark);
  if (c >= 'A' && c <= 'Z') return (uint16_t)((folded ? c + 32 : c) * 256);
  if (c >= 0xC0) {
    unsigned k = c & 0x1F;
    bool capital = c < 0xE0;
    if (kBase[k]) {
      unsigned base = (unsigned)kBase[k];
      if (capital && !folded) base -= 32;
      return (uint16_t)(base * 256 + kAccent[k]);
    }
    // ×, Ø and Þ fold onto ÷, ø and þ; ß and ÿ stay.
    if (folded && capital && c != 0xDF) return (uint16_t)((c + 32) * 256);
  }
  return (uint16_t)(c * 256);
}

constexpr std::array<uint16_t, 256> MakeTable(bool folded) {
  std::array<uint16_t, 256> t{};
  for (unsigned c = 0; c < 256; ++c) t[c] = Weight(c, folded);
  return t;
}
constexpr std::array<uint16_t, 256> kCaseTable = MakeTable(false);
constexpr std::array<uint16_t, 256> kFoldedTable = MakeTable(true);

inline unsigned Code(char c) { return (unsigned char)c; }
inline unsigned Code(wchar_t c) { return (unsigned)(uint16_t)c; }

template <class C>
inline unsigned WeightOf(const uint16_t* table, C c) {
  unsigned code = Code(c);
  return code < 256 ? table[code] : code * 256;
}

inline int ParseRun(const char* p, int n, bool counted, int* end) {
  return counted ? ParseIntNA(p, n, 0, end) : ParseIntA(p, 0, end);
}
inline int ParseRun(const wchar_t* p, int n, bool counted, int* end) {
  return counted ? ParseIntNW(p, n, 0, end) : ParseIntW(p, 0, end);
}

int NoCaseRest(const char* a, const char* b) { return _stricmp(a, b); }
int NoCaseRest(const wchar_t* a, const wchar_t* b) { return _wcsicmp(a, b); }
int NoCaseRuns(const char* a, const char* b, int n, bool) { return _strnicmp(a, b, (size_t)n); }
int NoCaseRuns(const wchar_t* a, const wchar_t* b, int n, bool keepCase) {
  return keepCase ? wcsncmp(a, b, (size_t)n) : _wcsnicmp(a, b, (size_t)n);
}

int Clamp(long long d) { return d > INT32_MAX ? INT32_MAX : d < INT32_MIN ? INT32_MIN : (int)d; }

// The weight that ends the component from position i on: 0 at the end, 1
// at a separator.
template <class C>
unsigned EndWeight(const uint16_t* table, const C* p, int i, int n, bool counted) {
  for (;; ++i) {
    if (counted && i >= n) return 0;
    unsigned w = WeightOf(table, p[i]);
    if (w <= 1) return w;
  }
}

// One walk for all sixteen forms. Lengths count only when counted.
template <class C>
int Collate(const C* a, const C* b, int la, int lb, bool counted, bool folded, bool numeric) {
  const uint16_t* table = folded ? kFoldedTable.data() : kCaseTable.data();
  int i = 0, j = 0;
  long long d = 0;
  int ea, eb;  // where the component search starts
  for (;;) {
    if (counted && (i >= la || j >= lb)) return (la - i) - (lb - j);
    unsigned wa = WeightOf(table, a[i]), wb = WeightOf(table, b[j]);
    if (numeric && (wa & kDigitMark) && (wb & kDigitMark)) {
      int ra = 0, rb = 0;
      int va = ParseRun(a + i, la - i, counted, &ra), vb = ParseRun(b + j, lb - j, counted, &rb);
      if (ra < 1) ra = 1;
      if (rb < 1) rb = 1;
      if (va != vb) {
        d = (long long)va - vb;
      } else if (ra != rb) {
        d = counted ? NoCaseRuns(a + i, b + j, ra < rb ? ra : rb, !folded) : NoCaseRest(a + i, b + j);
        if (d == 0) d = ra - rb;
      }
      i += ra;
      j += rb;
      if (d != 0) {
        ea = i;
        eb = j;
        break;
      }
      continue;
    }
    if (!counted && (wa == 0 || wb == 0)) return (int)wa - (int)wb;
    if (wa != wb) {
      d = (long long)wa - wb;
      ea = i;
      eb = j;
      break;
    }
    ++i;
    ++j;
  }
  unsigned enda = EndWeight(table, a, ea, la, counted), endb = EndWeight(table, b, eb, lb, counted);
  if (enda != endb) return (int)enda - (int)endb;
  return Clamp(d);
}

inline int CanonicalizeInPlace(char* p) { return CanonicalizePath(p, p, wintwins::kMaxPath); }
inline int CanonicalizeInPlace(wchar_t* p) { return CanonicalizePathW(p, p, wintwins::kMaxPath); }

// The path as it is to be compared: made full and canonical on request. A
// step that fails leaves the text as it was before that step.
template <class C>
const C* Prepare(const C* path, C* buf, bool full, bool canonical) {
  if (!path) return path;
  const C* p = path;
  if (full && wintwins::FullPath(path, buf) > 0) p = buf;
  if (canonical) {
    C work[wintwins::kMaxPath];
    int n = 0;
    while (p[n] && n < wintwins::kMaxPath - 1) ++n;
    if (!p[n]) {
      for (int k = 0; k <= n; ++k) work[k] = p[k];
      if (CanonicalizeInPlace(work) >= 0) {
        int k = 0;
        for (; work[k]; ++k) buf[k] = work[k];
        buf[k] = 0;
        p = buf;
      }
    }
  }
  return p;
}

template <class C>
int Paths(const C* a, const C* b, unsigned flags) {
  C fa[wintwins::kMaxPath], fb[wintwins::kMaxPath];
  const C* pa = Prepare(a, fa, flags & PATHCMP_FULL_A, flags & PATHCMP_CANONICAL);
  const C* pb = Prepare(b, fb, flags & PATHCMP_FULL_B, flags & PATHCMP_CANONICAL);
  static const C empty[1] = {0};
  return Collate(pa ? pa : empty, pb ? pb : empty, 0, 0, false, flags & PATHCMP_NO_CASE, flags & PATHCMP_NUMERIC);
}

}  // namespace

// clang-format off
#define TABLE_ROW(t, r) t[r], t[r + 1], t[r + 2], t[r + 3], t[r + 4], t[r + 5], t[r + 6], t[r + 7]
#define TABLE_16(t, r) TABLE_ROW(t, r), TABLE_ROW(t, r + 8)
#define TABLE_64(t, r) TABLE_16(t, r), TABLE_16(t, r + 16), TABLE_16(t, r + 32), TABLE_16(t, r + 48)
#define TABLE_256(t) TABLE_64(t, 0), TABLE_64(t, 64), TABLE_64(t, 128), TABLE_64(t, 192)
// clang-format on
const uint16_t FileNameSortWeights[256] = {TABLE_256(kCaseTable)};
const uint16_t FileNameSortWeightsFolded[256] = {TABLE_256(kFoldedTable)};

int CompareFileNames(const char* a, const char* b) { return Collate(a, b, 0, 0, false, true, false); }
int CompareFileNamesW(const wchar_t* a, const wchar_t* b) { return Collate(a, b, 0, 0, false, true, false); }
int CompareFileNamesN(const char* a, const char* b, int nLengthA, int nLengthB) {
  return Collate(a, b, nLengthA, nLengthB, true, true, false);
}
int CompareFileNamesNW(const wchar_t* a, const wchar_t* b, int nLengthA, int nLengthB) {
  return Collate(a, b, nLengthA, nLengthB, true, true, false);
}
int CompareFileNamesCase(const char* a, const char* b) { return Collate(a, b, 0, 0, false, false, false); }
int CompareFileNamesCaseW(const wchar_t* a, const wchar_t* b) { return Collate(a, b, 0, 0, false, false, false); }
int CompareFileNamesCaseN(const char* a, const char* b, int nLengthA, int nLengthB) {
  return Collate(a, b, nLengthA, nLengthB, true, false, false);
}
int CompareFileNamesCaseNW(const wchar_t* a, const wchar_t* b, int nLengthA, int nLengthB) {
  return Collate(a, b, nLengthA, nLengthB, true, false, false);
}
int CompareFileNamesNum(const char* a, const char* b) { return Collate(a, b, 0, 0, false, true, true); }
int CompareFileNamesNumW(const wchar_t* a, const wchar_t* b) { return Collate(a, b, 0, 0, false, true, true); }
int CompareFileNamesNumN(const char* a, const char* b, int nLengthA, int nLengthB) {
  return Collate(a, b, nLengthA, nLengthB, true, true, true);
}
int CompareFileNamesNumNW(const wchar_t* a, const wchar_t* b, int nLengthA, int nLengthB) {
  return Collate(a, b, nLengthA, nLengthB, true, true, true);
}
int CompareFileNamesCaseNum(const char* a, const char* b) { return Collate(a, b, 0, 0, false, false, true); }
int CompareFileNamesCaseNumW(const wchar_t* a, const wchar_t* b) { return Collate(a, b, 0, 0, false, false, true); }
int CompareFileNamesCaseNumN(const char* a, const char* b, int nLengthA, int nLengthB) {
  return Collate(a, b, nLengthA, nLengthB, true, false, true);
}
int CompareFileNamesCaseNumNW(const wchar_t* a, const wchar_t* b, int nLengthA, int nLengthB) {
  return Collate(a, b, nLengthA, nLengthB, true, false, true);
}
int ComparePaths(const char* a, const char* b, unsigned flags) { return Paths(a, b, flags); }
int ComparePathsW(const wchar_t* a, const wchar_t* b, unsigned flags) { return Paths(a, b, flags); }
