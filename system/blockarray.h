// CBlockArray: a growable array of pointers to heap blocks of any size, the
// sibling of CRecordPtrArray. An owning array copies inserted data into
// blocks of its own (or takes a caller's block from operator new) and frees
// every block it drops; a non-owning array stores the caller's pointers and
// frees none. The array does not know its blocks' sizes: field reads,
// searches and sorts at a byte offset trust the caller that the field lies
// inside every block.
//
// Indexes, counts and offsets are unsigned; ARRAY_NONE (-1) means not found
// or refused. A range [from, to) ends at min(to, count). No lock.
#pragma once

#include <cstdint>

#include "system/arrayslots.h"
#include "system/ptrarrayops.h"

class CBlockArray {
 public:
  typedef PtrTestFn TestFn;
  typedef PtrKeyCompareFn KeyCompareFn;
  typedef int (*IndexCompareFn)(const CBlockArray* array, unsigned a, unsigned b);
  typedef PtrFieldCompareFn FieldCompareFn;

  // Public: users read block i (i < m_nCount) as m_ppBlocks[i].
  unsigned m_nCount = 0;
  unsigned m_bOwnsBlocks;
  unsigned m_nGrowStep;  // 0: grow by half; else in multiples of this
  unsigned m_nCapacity = 0;
  void** m_ppBlocks = nullptr;
  void** m_ppSpare = nullptr;  // the pointer array replaced last

  explicit CBlockArray(unsigned ownsBlocks, unsigned growStep = 0) : m_bOwnsBlocks(ownsBlocks), m_nGrowStep(growStep) {}
  ~CBlockArray() { Free(); }
  CBlockArray(const CBlockArray&) = delete;
  CBlockArray& operator=(const CBlockArray&) = delete;

  // Frees the owned blocks and both pointer arrays; the array stays usable.
  void Free();
  // Stores a grow step of 0 or more; turns ownership on only while empty (else
  // 0 is returned). An owns-blocks value of 0 changes nothing.
  int Configure(unsigned ownsBlocks, int growStep);

  // Inserts a copy of size bytes of data (owning array, size 1 or more) or the
  // data pointer itself at min(index, count); returns that index.
  unsigned InsertAt(const void* data, unsigned index, int size);
  // Inserts n pointers themselves (never copied) at min(index, count).
  unsigned InsertPtrs(void* const* blocks, unsigned index, int n);
  // Slot index takes a copy (owning array, size 1 or more) or the pointer
  // itself; past the end as InsertAt. An owning array frees the block it
  // replaces.
  unsigned SetAt(const void* data, unsigned index, int size);
  // Slots from index on take the pointers; those left over are appended. An
  // owning array frees the blocks they replace.
  unsigned SetPtrs(void* const* blocks, unsigned index, int n);
  // Removes [first, last), freeing the blocks of an owning array; returns the
  // number removed.
  unsigned RemoveRange(unsigned first, unsigned last);
  // Takes the block out without freeing it; null past the end.
  void* DetachAt(unsigned index);

  // Copies size bytes of the block into dest and returns its address; null
  // when index is past the end or dest is null.
  void* GetAt(unsigned index, void* dest, int size) const;
  // The field at offset; 0 past the end.
  uint32_t GetIntAt(unsigned index, unsigned offset) const;
  uint64_t GetInt64At(unsigned index, unsigned offset) const;

  // Linear searches: the first match in [from, to), else ARRAY_NONE. A length
  // of 0 matches the first block of the range.
  unsigned FindInt(uint32_t key, unsigned from, unsigned to, unsigned offset) const;
  unsigned FindInt64(uint64_t key, unsigned from, unsigned to, unsigned offset) const;
  unsigned FindBytes(const void* key, unsigned from, unsigned to, unsigned length, unsigned offset) const;
  unsigned FindWith(void* context, unsigned from, unsigned to, TestFn test) const;

  // Binary searches with the ARRAY_ search flag word (see CRecordPtrArray).
  unsigned BSearchInt(uint32_t key, unsigned from, unsigned to, unsigned offset, unsigned flags) const;
  unsigned BSearchInt64(uint64_t key, unsigned from, unsigned to, unsigned offset, unsigned flags) const;
  unsigned BSearchBytes(const void* key, unsigned from, unsigned to, unsigned length, unsigned offset,
                        unsigned flags) const;
  unsigned BSearchWith(void* context, unsigned from, unsigned to, unsigned flags, KeyCompareFn compare) const;

  // Quicksorts of [from, to); from below 0 counts as 0. Not stable.
  void SortBytes(unsigned offset, unsigned length, int from, unsigned to, int descending);
  void SortByIndex(IndexCompareFn compare, int from, unsigned to, int descending);
  void SortWith(FieldCompareFn compare, void* context, unsigned offset, int from, unsigned to, int descending);

 private:
  ArraySlots Slots() { return {m_nCount, m_nCapacity, m_ppBlocks, m_ppSpare, m_nGrowStep}; }
  void* Adopt(const void* data, int size) const;
  void Replace(unsigned index, void* block);
};
