// The pointer storage of the pointer arrays: a slot array that grows and
// shrinks by the arrays' rules, with the slot array replaced last kept as a
// spare until the next replacement.
#pragma once

struct ArraySlots {
  unsigned& count;
  unsigned& capacity;
  void**& slots;
  void**& spare;
  unsigned growStep;
};

// Makes a gap of n slots at index (index <= count), growing when count + n
// exceeds the capacity: with grow step 0 to (capacity + n) * 3 / 2 slots, or
// capacity * 3 / 2 when halfOfCapacity is set (the single inserts of the record
// pointer array), at least 16; with grow step s to ((capacity + n) / s + 1) * s.
// Adds n to count and returns the first slot of the gap.
void** OpenArraySlots(ArraySlots s, unsigned index, unsigned n, bool halfOfCapacity = false);

// Closes the slots [first, last) (first < last <= count) and releases slots
// that three quarters (or four grow steps) of the capacity leave unused.
void CloseArraySlots(ArraySlots s, unsigned first, unsigned last);

// Removes the slots [first, min(last, count)), freeing what they point to
// when freeItems is set; returns the number removed.
unsigned RemoveArraySlots(ArraySlots s, unsigned first, unsigned last, bool freeItems);
// Takes one item out without freeing it; null past the end.
void* DetachArraySlot(ArraySlots s, unsigned index);

// Frees both slot arrays, and the items too when freeItems is set; count and
// capacity become 0.
void FreeArraySlots(ArraySlots s, bool freeItems);
