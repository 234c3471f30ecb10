#include "system/arrayslots.h"

#include <cstring>
#include <new>

namespace {

void** NewSlots(unsigned n) { return static_cast<void**>(::operator new(n * sizeof(void*))); }

// The old slot array becomes the spare; the spare before it is freed.
void ReplaceSlots(ArraySlots s, void** slots, unsigned capacity) {
  ::operator delete(s.spare);
  s.spare = s.slots;
  s.slots = slots;
  s.capacity = capacity;
}

}  // namespace

void** OpenArraySlots(ArraySlots s, unsigned index, unsigned n, bool halfOfCapacity) {
  if (s.count + n > s.capacity) {
    unsigned capacity;
    if (s.growStep) {
      capacity = ((s.capacity + n) / s.growStep + 1) * s.growStep;
    } else {
      capacity = (halfOfCapacity ? s.capacity : s.capacity + n) * 3 / 2;
      if (capacity < 16) capacity = 16;
    }
    void** slots = NewSlots(capacity);
    if (index) memcpy(slots, s.slots, index * sizeof(void*));
    if (s.count > index) memcpy(slots + index + n, s.slots + index, (s.count - index) * sizeof(void*));
    ReplaceSlots(s, slots, capacity);
  } else if (s.count > index) {
    memmove(s.slots + index + n, s.slots + index, (s.count - index) * sizeof(void*));
  }
  s.count += n;
  return s.slots + index;
}

void CloseArraySlots(ArraySlots s, unsigned first, unsigned last) {
  memmove(s.slots + first, s.slots + last, (s.count - last) * sizeof(void*));
  s.count -= last - first;
  unsigned count = s.count;
  if (count == 0) {
    ReplaceSlots(s, nullptr, 0);
  } else if (s.growStep == 0 ? count * 4 <= s.capacity : count + 4 * s.growStep <= s.capacity) {
    unsigned capacity = s.growStep == 0 ? count * 3 / 2 : count + s.growStep;
    void** slots = NewSlots(capacity);
    memcpy(slots, s.slots, count * sizeof(void*));
    ReplaceSlots(s, slots, capacity);
  }
}

unsigned RemoveArraySlots(ArraySlots s, unsigned first, unsigned last, bool freeItems) {
  if (last > s.count) last = s.count;
  if (first >= s.count || last <= first) return 0;
  if (freeItems)
    for (unsigned i = first; i < last; ++i) ::operator delete(s.slots[i]);
  CloseArraySlots(s, first, last);
  return last - first;
}

void* DetachArraySlot(ArraySlots s, unsigned index) {
  if (index >= s.count) return nullptr;
  void* item = s.slots[index];
  s.slots[index] = nullptr;
  RemoveArraySlots(s, index, index + 1, false);
  return item;
}

void FreeArraySlots(ArraySlots s, bool freeItems) {
  if (freeItems)
    for (unsigned i = 0; i < s.count; ++i) ::operator delete(s.slots[i]);
  ::operator delete(s.spare);
  ::operator delete(s.slots);
  s.spare = s.slots = nullptr;
  s.count = s.capacity = 0;
}
