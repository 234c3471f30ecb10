#include "text/fields/listfields.h"

namespace {

struct Selector {
  explicit Selector(int s) : value(s), mask((uint32_t)s & LIST_FIELD_MASK ? (uint32_t)s & ~LIST_FIELD_MASK : 0) {
    last = value >= 0 ? value : -1;
    for (int k = 30; k >= 0 && value < 0; --k)
      if (mask >> k & 1) {
        last = k;
        break;
      }
  }
  bool Selected(int k) const { return value >= 0 ? k == value : k < 31 && (mask >> k & 1); }
  int value;
  uint32_t mask;
  int last;  // the walk ends behind this field (-1: none selected)
};

// Walks the fields of a list or an array, calling take(k, data, length) for
// each selected one until it returns false; returns where the walk stopped
// (list offset or array index).
template <class C, class Take>
int WalkList(const C* list, C separator, const Selector& sel, Take take) {
  int start = 0;
  for (int k = 0; sel.last >= k; ++k) {
    int end = start;
    while (list[end] && list[end] != separator) ++end;
    if (sel.Selected(k) && !take(start, list + start, end - start)) return end;
    if (!list[end]) return end;
    start = end + 1;
  }
  return start;
}

template <class C, class Take>
int WalkArray(const C* const* array, int count, const Selector& sel, Take take) {
  int i = 0;
  for (; i < count && array[i] && i <= sel.last; ++i) {
    int n = 0;
    while (array[i][n]) ++n;
    if (sel.Selected(i) && !take(i, array[i], n)) return i;
  }
  return i;
}

// Appends fields to dest while they fit in size - 1.
template <class C>
struct Joiner {
  C* dest;
  int size, length = 0;
  bool operator()(int, const C* data, int n) {
    const int room = size - 1 - length;
    const int take = n < room ? n : room;
    for (int i = 0; i < take; ++i) dest[length + i] = data[i];
    length += take;
    return n < room;
  }
};

template <class C>
int GetField(C* dest, const C* list, int size, int selector, C separator) {
  if (size < 1) return 0;
  Joiner<C> join{dest, size};
  if (list[0]) WalkList(list, separator, Selector(selector), [&](int k, const C* d, int n) { return join(k, d, n); });
  dest[join.length] = 0;
  return join.length;
}

template <class C>
const C* FindField(const C* list, int n, C separator, int* length, const C* defaultText) {
  const C* found = nullptr;
  int foundLength = 0;
  if (n >= 0 && list[0]) {
    int start = 0;
    for (int k = 0;; ++k) {
      int end = start;
      while (list[end] && list[end] != separator) ++end;
      if (k == n) {
        // An empty last field after a final separator is no field.
        if (!(end == start && !list[end] && k > 0)) {
          found = list + start;
          foundLength = end - start;
        }
        break;
      }
      if (!list[end]) break;
      start = end + 1;
    }
  }
  if (!found) {
    found = defaultText;
    foundLength = 0;
    if (length && defaultText)
      while (defaultText[foundLength]) ++foundLength;
  }
  if (length) *length = foundLength;
  return found;
}

template <class C>
int FieldLength(const C* list, int selector, C separator, int* offset) {
  int total = 0, first = -1;
  int stop = list[0] ? WalkList(list, separator, Selector(selector),
                                [&](int at, const C*, int n) {
                                  if (first < 0) first = at;
                                  total += n;
                                  return true;
                                })
                     : 0;
  if (offset) *offset = first >= 0 ? first : stop;
  return total;
}

template <class C>
int CopyArray(C* dest, const C* const* array, int size, int selector, int count) {
  if (size < 1) return 0;
  Joiner<C> join{dest, size};
  WalkArray(array, count, Selector(selector), [&](int k, const C* d, int n) { return join(k, d, n); });
  dest[join.length] = 0;
  return join.length;
}

template <class C>
int ArrayLength(const C* const* array, int selector, int count, int* firstIndex) {
  int total = 0, first = -1;
  int stop = WalkArray(array, count, Selector(selector), [&](int at, const C*, int n) {
    if (first < 0) first = at;
    total += n;
    return true;
  });
  if (firstIndex) *firstIndex = first >= 0 ? first : stop;
  return total;
}

}  // namespace

int GetListFieldA(char* d, const char* l, int size, int sel, char sep) { return GetField(d, l, size, sel, sep); }
int GetListFieldW(wchar_t* d, const wchar_t* l, int size, int sel, wchar_t sep) {
  return GetField(d, l, size, sel, sep);
}
const char* FindListFieldA(const char* l, int n, char sep, int* len, const char* def) {
  return FindField(l, n, sep, len, def);
}
const wchar_t* FindListFieldW(const wchar_t* l, int n, wchar_t sep, int* len, const wchar_t* def) {
  return FindField(l, n, sep, len, def);
}
int GetListFieldLengthA(const char* l, int sel, char sep, int* off) { return FieldLength(l, sel, sep, off); }
int GetListFieldLengthW(const wchar_t* l, int sel, wchar_t sep, int* off) { return FieldLength(l, sel, sep, off); }
int CopyArrayFieldsA(char* d, const char* const* a, int size, int sel, int count) {
  return CopyArray(d, a, size, sel, count);
}
int CopyArrayFieldsW(wchar_t* d, const wchar_t* const* a, int size, int sel, int count) {
  return CopyArray(d, a, size, sel, count);
}
int GetArrayFieldLengthA(const char* const* a, int sel, int count, int* first) {
  return ArrayLength(a, sel, count, first);
}
int GetArrayFieldLengthW(const wchar_t* const* a, int sel, int count, int* first) {
  return ArrayLength(a, sel, count, first);
}
