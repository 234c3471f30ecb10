// CTextList comparators and the non-recursive quicksort over item pointers.
#include <algorithm>

#include "text/strings.h"
#include "text/textlist.h"
#include "text/textlist_keys.h"

using namespace textlist_keys;

namespace {

template <class T>
int Sign(T a, T b) {
  return (a > b) - (a < b);
}

// Key readers for the comparator templates.
template <class T>
struct ExtraKey {
  static T Get(const char* item) { return Load<T>(item); }
};
struct LengthKey {
  static unsigned Get(const char* item) { return CTextList::LengthOf(item); }
};
int ByNothing(const CTextList*, int, int) { return 0; }
int ByText(const CTextList* list, int i, int j) { return std::strcmp(list->TextAt(i), list->TextAt(j)); }
int ByTextNoCase(const CTextList* list, int i, int j) { return CompareNoCaseA(list->TextAt(i), list->TextAt(j)); }

template <class Key, int (*Then)(const CTextList*, int, int) = ByNothing>
int ByKey(const CTextList* list, int i, int j) {
  int c = Sign(Key::Get(list->items[i]), Key::Get(list->items[j]));
  return c ? c : Then(list, i, j);
}

// Quicksort of a[lo..hi] with an explicit stack. compare(i, p) orders the
// item at i against the pivot, which stays at p = lo while a range is
// partitioned. Items equal to the pivot gather at both ends and move to the
// middle afterwards (Bentley-McIlroy), so runs of equal items cost one pass
// and never degrade the split. Every scan is bounded by the range itself,
// whatever the comparator answers.
template <class Compare>
void QuickSort(char** a, int lo, int hi, Compare compare) {
  int stackLo[32], stackHi[32], depth = 0;  // the larger part is pushed: depth <= log2(count)
  for (;;) {
    std::swap(a[lo], a[lo + (hi - lo) / 2]);
    int p = lo + 1, b = lo + 1, c = hi, q = hi;  // [lo,p) and (q,hi] equal; [p,b) less; (c,q] greater
    for (;;) {
      int r;
      while (b <= c && (r = compare(b, lo)) <= 0) {
        if (r == 0) std::swap(a[p++], a[b]);
        ++b;
      }
      while (b <= c && (r = compare(c, lo)) >= 0) {
        if (r == 0) std::swap(a[c], a[q--]);
        --c;
      }
      if (b > c) break;
      std::swap(a[b++], a[c--]);
    }
    int s = std::min(p - lo, b - p);
    std::swap_ranges(a + lo, a + lo + s, a + b - s);
    s = std::min(q - c, hi - q);
    std::swap_ranges(a + b, a + b + s, a + hi + 1 - s);

    int lessLo = lo, lessHi = lo + (b - p) - 1;
    int moreLo = hi - (q - c) + 1, moreHi = hi;
    if (lessHi - lessLo > moreHi - moreLo) {
      std::swap(lessLo, moreLo);
      std::swap(lessHi, moreHi);
    }
    // Now "less" names the smaller part.
    if (moreHi > moreLo) {
      stackLo[depth] = moreLo;
      stackHi[depth++] = moreHi;
    }
    if (lessHi > lessLo) {
      lo = lessLo;
      hi = lessHi;
    } else if (depth) {
      lo = stackLo[--depth];
      hi = stackHi[depth];
    } else {
      return;
    }
  }
}

// Descending order flips the sign; negating could overflow at INT_MIN.
template <class Compare>
void SortRange(char** a, int lo, int hi, int descending, Compare compare) {
  if (descending)
    QuickSort(a, lo, hi, [&](int i, int p) {
      int r = compare(i, p);
      return (r < 0) - (r > 0);
    });
  else
    QuickSort(a, lo, hi, compare);
}

}  // namespace

int CTextList::CompareText(const CTextList* list, int i, int j) { return ByText(list, i, j); }
int CTextList::CompareNoCase(const CTextList* list, int i, int j) { return ByTextNoCase(list, i, j); }
int CTextList::CompareInt32(const CTextList* list, int i, int j) { return ByKey<ExtraKey<int32_t>>(list, i, j); }
int CTextList::CompareInt32Text(const CTextList* list, int i, int j) {
  return ByKey<ExtraKey<int32_t>, ByText>(list, i, j);
}
int CTextList::CompareInt32TextNoCase(const CTextList* list, int i, int j) {
  return ByKey<ExtraKey<int32_t>, ByTextNoCase>(list, i, j);
}
int CTextList::CompareInt64(const CTextList* list, int i, int j) { return ByKey<ExtraKey<int64_t>>(list, i, j); }
int CTextList::CompareInt64Text(const CTextList* list, int i, int j) {
  return ByKey<ExtraKey<int64_t>, ByText>(list, i, j);
}
int CTextList::CompareInt64TextNoCase(const CTextList* list, int i, int j) {
  return ByKey<ExtraKey<int64_t>, ByTextNoCase>(list, i, j);
}
int CTextList::CompareUInt32(const CTextList* list, int i, int j) { return ByKey<ExtraKey<uint32_t>>(list, i, j); }
int CTextList::CompareUInt32Text(const CTextList* list, int i, int j) {
  return ByKey<ExtraKey<uint32_t>, ByText>(list, i, j);
}
int CTextList::CompareUInt32TextNoCase(const CTextList* list, int i, int j) {
  return ByKey<ExtraKey<uint32_t>, ByTextNoCase>(list, i, j);
}
int CTextList::CompareUInt64(const CTextList* list, int i, int j) { return ByKey<ExtraKey<uint64_t>>(list, i, j); }
int CTextList::CompareUInt64Text(const CTextList* list, int i, int j) {
  return ByKey<ExtraKey<uint64_t>, ByText>(list, i, j);
}
int CTextList::CompareUInt64TextNoCase(const CTextList* list, int i, int j) {
  return ByKey<ExtraKey<uint64_t>, ByTextNoCase>(list, i, j);
}
int CTextList::CompareLength(const CTextList* list, int i, int j) { return ByKey<LengthKey>(list, i, j); }
int CTextList::CompareLengthText(const CTextList* list, int i, int j) { return ByKey<LengthKey, ByText>(list, i, j); }
int CTextList::CompareLengthTextNoCase(const CTextList* list, int i, int j) {
  return ByKey<LengthKey, ByTextNoCase>(list, i, j);
}

void CTextList::Sort(int from, int to, ListCompare compare, int descending) {
  if (!compare || !ClampRange(from, to) || to - from < 2) return;
  SortRange(items, from, to - 1, descending, [=](int i, int p) { return compare(this, i, p); });
}

void CTextList::SortByDataWith(DataCompare compare, void* context, int offset, int from, int to, int descending) {
  if (!compare || !ClampRange(from, to) || to - from < 2) return;
  char** a = items;
  SortRange(a, from, to - 1, descending,
            [=](int i, int p) { return compare(context, a[i] + offset, a[p] + offset); });
}

void CTextList::SortByTextWith(TextCompare compare, int from, int to, int descending) {
  if (!compare || !ClampRange(from, to) || to - from < 2) return;
  char** a = items;
  unsigned extra = extraSize;
  SortRange(a, from, to - 1, descending, [=](int i, int p) { return compare(a[i] + extra, a[p] + extra); });
}
