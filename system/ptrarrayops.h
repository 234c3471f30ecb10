// Searches and sorts over a slot array of pointers, keyed by a field at a
// byte offset of each pointed-to record or block: the common body of
// CRecordPtrArray and CBlockArray, which check their own field bounds first.
#pragma once

#include <cstdint>

#include "system/arrayorder.h"

typedef int (*PtrTestFn)(void* context, const void* item);
typedef int (*PtrKeyCompareFn)(void* context, const void* item);
typedef int (*PtrFieldCompareFn)(void* context, const void* a, const void* b);

// Compare routines for the arrays' SortWith; the context is not used.
// -1, 0 or 1 by the signed or unsigned 32-bit values at a and b.
int CompareFieldInt32(void* context, const void* a, const void* b);
int CompareFieldUInt32(void* context, const void* a, const void* b);
// The 16-bit value at a minus the one at b.
int CompareFieldInt16(void* context, const void* a, const void* b);
int CompareFieldUInt16(void* context, const void* a, const void* b);

// Linear searches of [from, min(to, count)): the first match or ARRAY_NONE.
unsigned PtrFindInt(void* const* slots, unsigned count, uint32_t key, unsigned from, unsigned to, unsigned offset);
unsigned PtrFindInt64(void* const* slots, unsigned count, uint64_t key, unsigned from, unsigned to, unsigned offset);
unsigned PtrFindBytes(void* const* slots, unsigned count, const void* key, unsigned from, unsigned to, unsigned length,
                      unsigned offset);
unsigned PtrFindWith(void* const* slots, unsigned count, void* context, unsigned from, unsigned to, PtrTestFn test);

// Binary searches with the search flag word.
unsigned PtrBSearchInt(void* const* slots, unsigned count, uint32_t key, unsigned from, unsigned to, unsigned offset,
                       unsigned flags);
unsigned PtrBSearchInt64(void* const* slots, unsigned count, uint64_t key, unsigned from, unsigned to, unsigned offset,
                         unsigned flags);
unsigned PtrBSearchBytes(void* const* slots, unsigned count, const void* key, unsigned from, unsigned to,
                         unsigned length, unsigned offset, unsigned flags);
unsigned PtrBSearchWith(void* const* slots, unsigned count, void* context, unsigned from, unsigned to, unsigned flags,
                        PtrKeyCompareFn compare);

// Quicksorts of the slots [from, to) by the length bytes at offset (unsigned
// byte order) or by compare(context, item a + offset, item b + offset).
void PtrSortBytes(void** slots, unsigned count, unsigned offset, unsigned length, int from, unsigned to,
                  int descending);
void PtrSortWith(void** slots, unsigned count, PtrFieldCompareFn compare, void* context, unsigned offset, int from,
                 unsigned to, int descending);

// Quicksort with order(index a, index b), the indexes being current positions.
template <class Order>
void PtrSortByIndex(void** slots, unsigned count, int from, unsigned to, int descending, Order order) {
  int lo, hi;
  if (!ArraySortRange(from, to, count, &lo, &hi)) return;
  QuickSortPositions(lo, hi, descending != 0, order, [slots](int a, int b) {
    void* t = slots[a];
    slots[a] = slots[b];
    slots[b] = t;
  });
}
