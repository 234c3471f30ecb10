// CRecordPtrArray: a growable array of pointers to heap records of one fixed
// size. Inserts, removals and sorts move the pointers only, so a record keeps
// its address while it stays in the array. Searches and sorts key on a field
// at a byte offset of the record, or on a caller's routine.
//
// Indexes, counts and offsets are unsigned; ARRAY_NONE (-1) means not found
// or refused. A range [from, to) ends at min(to, count). Records and both
// pointer arrays come from operator new and belong to the array. No lock: a
// user that shares an array across threads guards it itself.
#pragma once

#include <cstdint>

#include "system/arrayslots.h"
#include "system/ptrarrayops.h"

class CRecordPtrArray {
 public:
  // test(context, record): 0 when the record matches.
  typedef PtrTestFn TestFn;
  // compare(context, record): where the sought key sorts against the record.
  typedef PtrKeyCompareFn KeyCompareFn;
  // compare(array, a, b): record a against record b, by their current indexes.
  typedef int (*IndexCompareFn)(const CRecordPtrArray* array, unsigned a, unsigned b);
  // compare(context, field of record a, field of record b).
  typedef PtrFieldCompareFn FieldCompareFn;

  // Public: users read record i (i < m_nCount) as m_ppRecords[i].
  unsigned m_nCount = 0;
  unsigned m_nRecordSize;
  unsigned m_nGrowStep;  // 0: grow by half; else in multiples of this
  unsigned m_nCapacity = 0;
  void** m_ppRecords = nullptr;
  void** m_ppSpare = nullptr;  // the pointer array replaced last

  explicit CRecordPtrArray(unsigned recordSize, unsigned growStep = 0)
      : m_nRecordSize(recordSize), m_nGrowStep(growStep) {}
  ~CRecordPtrArray() { Free(); }
  CRecordPtrArray(const CRecordPtrArray&) = delete;
  CRecordPtrArray& operator=(const CRecordPtrArray&) = delete;

  // Frees every record and both pointer arrays; the array stays usable.
  void Free();
  // Stores a grow step of 0 or more; a nonzero record size only while the
  // array is empty (else 0 is returned). A record size of 0 changes nothing.
  int Configure(unsigned recordSize, int growStep);

  // Copies n consecutive records into new records at min(index, count);
  // returns that index. n below 1 changes nothing.
  unsigned InsertAt(const void* records, unsigned index, int n);
  // The same, the sources given by n pointers.
  unsigned InsertFromList(const void* const* list, unsigned index, int n);
  // One new record with undefined contents; its index goes to *pIndex.
  void* InsertNew(unsigned index, unsigned* pIndex = nullptr);
  // Puts the caller's record itself (from operator new) at min(index, count).
  unsigned InsertOwned(void* record, unsigned index);
  // The record takes slot index and the one it replaces goes back to the
  // caller; past the end it is appended and null returned.
  void* ReplaceOwned(void* record, unsigned index);
  // Overwrites the records from index on in place, appending those left over.
  unsigned SetAt(const void* records, unsigned index, int n);
  unsigned SetFromList(const void* const* list, unsigned index, int n);
  // Removes and frees [first, last); returns the number removed.
  unsigned RemoveRange(unsigned first, unsigned last);
  // Takes the record out without freeing it; null past the end.
  void* DetachAt(unsigned index);

  // Copies the record into dest and returns its address; null when index is
  // past the end or dest is null.
  void* GetAt(unsigned index, void* dest) const;
  // The field at offset; 0 past the end or when the field leaves the record.
  uint32_t GetIntAt(unsigned index, unsigned offset) const;
  uint64_t GetInt64At(unsigned index, unsigned offset) const;

  // Linear searches: the first match in [from, to), else ARRAY_NONE. A length
  // below 1 means the rest of the record from offset.
  unsigned FindInt(uint32_t key, unsigned from, unsigned to, unsigned offset) const;
  unsigned FindInt64(uint64_t key, unsigned from, unsigned to, unsigned offset) const;
  unsigned FindBytes(const void* key, unsigned from, unsigned to, int length, unsigned offset) const;
  unsigned FindWith(void* context, unsigned from, unsigned to, TestFn test) const;

  // Binary searches of a range sorted ascending by the key; flags are the
  // ARRAY_ search flag word. Integer keys are signed unless ARRAY_UNSIGNED.
  unsigned BSearchInt(uint32_t key, unsigned from, unsigned to, unsigned offset, unsigned flags) const;
  unsigned BSearchInt64(uint64_t key, unsigned from, unsigned to, unsigned offset, unsigned flags) const;
  unsigned BSearchBytes(const void* key, unsigned from, unsigned to, int length, unsigned offset, unsigned flags) const;
  unsigned BSearchWith(void* context, unsigned from, unsigned to, unsigned flags, KeyCompareFn compare) const;

  // Quicksorts of [from, to); from below 0 counts as 0. Not stable. A nonzero
  // descending flag reverses the order.
  void SortBytes(unsigned offset, int length, int from, unsigned to, int descending);
  void SortByIndex(IndexCompareFn compare, int from, unsigned to, int descending);
  void SortWith(FieldCompareFn compare, void* context, unsigned offset, int from, unsigned to, int descending);

 private:
  ArraySlots Slots() { return {m_nCount, m_nCapacity, m_ppRecords, m_ppSpare, m_nGrowStep}; }
  bool FieldFits(unsigned offset, unsigned length) const {
    return offset <= m_nRecordSize && m_nRecordSize - offset >= length;
  }
  // A byte key's length: below 1 the rest of the record; one that never fits
  // when the offset is not inside the record.
  unsigned BytesLength(int length, unsigned offset) const {
    if (offset >= m_nRecordSize) return ARRAY_NONE;
    return length < 1 ? m_nRecordSize - offset : (unsigned)length;
  }
  // The range checks of a search come before the bounds of its key field.
  bool SearchEndsEarly(unsigned from, unsigned to, unsigned flags, unsigned offset, unsigned length,
                       unsigned* result) const {
    if (ArraySearchRangeEmpty(m_nCount, from, to, flags, result)) return true;
    *result = ARRAY_NONE;
    return !FieldFits(offset, length);
  }
  void* NewRecord(const void* source) const;
};
