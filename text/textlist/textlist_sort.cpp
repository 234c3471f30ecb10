// CTextList comparators and the non-recursive quicksort over item pointers.
#include <algorithm>

#include "text/compare/casecompare.h"
#include "text/textlist/textlist.h"
#include "text/textlist/textlist_keys.h"
#include "text/quicksort.h"

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

template <class Compare>
void SortRange(char** a, int lo, int hi, int descending, Compare compare) {
  QuickSortPositions(lo, hi, descending != 0, compare, [a](int i, int j) { std::swap(a[i], a[j]); });
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
  SortRange(a, from, to - 1, descending, [=](int i, int p) { return compare(context, a[i] + offset, a[p] + offset); });
}

void CTextList::SortByTextWith(TextCompare compare, int from, int to, int descending) {
  if (!compare || !ClampRange(from, to) || to - from < 2) return;
  char** a = items;
  unsigned extra = extraSize;
  SortRange(a, from, to - 1, descending, [=](int i, int p) { return compare(a[i] + extra, a[p] + extra); });
}
