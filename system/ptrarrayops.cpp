#include "system/ptrarrayops.h"

#include <cstring>

namespace {

unsigned RangeEnd(unsigned to, unsigned count) { return to < count ? to : count; }

const char* Field(void* const* slots, unsigned i, unsigned offset) {
  return static_cast<const char*>(slots[i]) + offset;
}

template <class Match>
unsigned FindFirst(unsigned count, unsigned from, unsigned to, Match match) {
  unsigned end = RangeEnd(to, count);
  for (unsigned i = from; i < end; ++i)
    if (match(i)) return i;
  return ARRAY_NONE;
}

template <class KeyOrder>
unsigned Search(unsigned count, unsigned from, unsigned to, unsigned flags, KeyOrder keyOrder) {
  unsigned result;
  if (ArraySearchRangeEmpty(count, from, to, flags, &result)) return result;
  return ArrayBisect(count, from, to, flags, keyOrder);
}

}  // namespace

unsigned PtrFindInt(void* const* slots, unsigned count, uint32_t key, unsigned from, unsigned to, unsigned offset) {
  return FindFirst(count, from, to, [&](unsigned i) { return LoadField32(Field(slots, i, offset)) == key; });
}

unsigned PtrFindInt64(void* const* slots, unsigned count, uint64_t key, unsigned from, unsigned to, unsigned offset) {
  return FindFirst(count, from, to, [&](unsigned i) { return LoadField64(Field(slots, i, offset)) == key; });
}

unsigned PtrFindBytes(void* const* slots, unsigned count, const void* key, unsigned from, unsigned to, unsigned length,
                      unsigned offset) {
  if (!key) return ARRAY_NONE;
  return FindFirst(count, from, to, [&](unsigned i) { return !memcmp(Field(slots, i, offset), key, length); });
}

unsigned PtrFindWith(void* const* slots, unsigned count, void* context, unsigned from, unsigned to, PtrTestFn test) {
  return FindFirst(count, from, to, [&](unsigned i) { return test(context, slots[i]) == 0; });
}

unsigned PtrBSearchInt(void* const* slots, unsigned count, uint32_t key, unsigned from, unsigned to, unsigned offset,
                       unsigned flags) {
  return Search(count, from, to, flags,
                [&](unsigned i) { return CompareKeys<int32_t>(key, LoadField32(Field(slots, i, offset)), flags); });
}

unsigned PtrBSearchInt64(void* const* slots, unsigned count, uint64_t key, unsigned from, unsigned to, unsigned offset,
                         unsigned flags) {
  return Search(count, from, to, flags,
                [&](unsigned i) { return CompareKeys<int64_t>(key, LoadField64(Field(slots, i, offset)), flags); });
}

unsigned PtrBSearchBytes(void* const* slots, unsigned count, const void* key, unsigned from, unsigned to,
                         unsigned length, unsigned offset, unsigned flags) {
  return Search(count, from, to, flags, [&](unsigned i) { return memcmp(key, Field(slots, i, offset), length); });
}

unsigned PtrBSearchWith(void* const* slots, unsigned count, void* context, unsigned from, unsigned to, unsigned flags,
                        PtrKeyCompareFn compare) {
  return Search(count, from, to, flags, [&](unsigned i) { return compare(context, slots[i]); });
}

void PtrSortBytes(void** slots, unsigned count, unsigned offset, unsigned length, int from, unsigned to,
                  int descending) {
  PtrSortByIndex(slots, count, from, to, descending,
                 [&](int a, int b) { return memcmp(Field(slots, a, offset), Field(slots, b, offset), length); });
}

void PtrSortWith(void** slots, unsigned count, PtrFieldCompareFn compare, void* context, unsigned offset, int from,
                 unsigned to, int descending) {
  PtrSortByIndex(slots, count, from, to, descending,
                 [&](int a, int b) { return compare(context, Field(slots, a, offset), Field(slots, b, offset)); });
}

int CompareFieldInt32(void*, const void* a, const void* b) {
  int32_t x = (int32_t)LoadField32(a), y = (int32_t)LoadField32(b);
  return (x > y) - (x < y);
}

int CompareFieldUInt32(void*, const void* a, const void* b) {
  uint32_t x = LoadField32(a), y = LoadField32(b);
  return (x > y) - (x < y);
}

int CompareFieldInt16(void*, const void* a, const void* b) {
  int16_t x, y;
  memcpy(&x, a, 2);
  memcpy(&y, b, 2);
  return x - y;
}

int CompareFieldUInt16(void*, const void* a, const void* b) {
  uint16_t x, y;
  memcpy(&x, a, 2);
  memcpy(&y, b, 2);
  return x - y;
}
