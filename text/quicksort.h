// The library's non-recursive quicksort over positions [lo, hi] (hi > lo),
// shared by CTextList and the growable arrays. compare(i, p) orders the item
// at i against the pivot, which stays at p = lo while a range is partitioned;
// swap(i, j) exchanges two items. Items equal to the pivot gather at both ends
// and move to the middle afterwards (Bentley-McIlroy), so runs of equal items
// cost one pass and few distinct keys never degrade the split. Every scan is
// bounded by the range itself, whatever the comparator answers, and the
// larger part is deferred, so the stack never holds more than log2(n) ranges.
#pragma once

template <class Compare, class Swap>
void QuickSortPositions(int lo, int hi, Compare compare, Swap swap) {
  auto swapRanges = [&](int a, int b, int n) {
    for (int k = 0; k < n; ++k) swap(a + k, b + k);
  };
  int stackLo[32], stackHi[32], depth = 0;
  for (;;) {
    swap(lo, lo + (hi - lo) / 2);
    int p = lo + 1, b = lo + 1, c = hi, q = hi;  // [lo,p) and (q,hi] equal; [p,b) less; (c,q] greater
    for (;;) {
      int r;
      while (b <= c && (r = compare(b, lo)) <= 0) {
        if (r == 0) swap(p++, b);
        ++b;
      }
      while (b <= c && (r = compare(c, lo)) >= 0) {
        if (r == 0) swap(c, q--);
        --c;
      }
      if (b > c) break;
      swap(b++, c--);
    }
    int s = p - lo < b - p ? p - lo : b - p;
    swapRanges(lo, b - s, s);
    s = q - c < hi - q ? q - c : hi - q;
    swapRanges(b, hi + 1 - s, s);

    int lessLo = lo, lessHi = lo + (b - p) - 1;
    int moreLo = hi - (q - c) + 1, moreHi = hi;
    if (lessHi - lessLo > moreHi - moreLo) {  // "less" names the smaller part from here on
      int t = lessLo;
      lessLo = moreLo;
      moreLo = t;
      t = lessHi;
      lessHi = moreHi;
      moreHi = t;
    }
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

// The same in either direction: descending flips the comparator's sign
// (negating could overflow at INT_MIN).
template <class Compare, class Swap>
void QuickSortPositions(int lo, int hi, bool descending, Compare compare, Swap swap) {
  if (descending)
    QuickSortPositions(
        lo, hi,
        [&](int i, int p) {
          int r = compare(i, p);
          return (r < 0) - (r > 0);
        },
        swap);
  else
    QuickSortPositions(lo, hi, compare, swap);
}
