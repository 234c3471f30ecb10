// CRecordArray: a growable array of fixed-size records stored inline, one
// after the other in a single block. It saves a heap block per record, at the
// price that records move: an address from GetAt or InsertNew is valid only
// until the next insert, removal or sort. Searches and sorts are those of
// CRecordPtrArray, with records at m_pData + index * m_nRecordSize.
//
// Indexes, counts and offsets are unsigned; ARRAY_NONE (-1) means not found
// or refused. A range [from, to) ends at min(to, count). Blocks come from
// operator new. An insert whose block would pass 2 GiB is refused.
#pragma once

#include <cstdint>

#include "system/arrayorder.h"

class CRecordArray {
 public:
  // test(context, record): 0 when the record matches.
  typedef int (*TestFn)(void* context, const void* record);
  // compare(context, record): where the sought key sorts against the record.
  typedef int (*KeyCompareFn)(void* context, const void* record);
  // compare(array, a, b): record a against record b, by their current indexes.
  typedef int (*IndexCompareFn)(const CRecordArray* array, unsigned a, unsigned b);
  // compare(context, field of record a, field of record b).
  typedef int (*FieldCompareFn)(void* context, const void* a, const void* b);

  unsigned m_nCount = 0;
  unsigned m_nRecordSize;
  unsigned m_nGrowStep;  // 0: grow by half; else in multiples of this
  unsigned m_nCapacity = 0;
  unsigned char* m_pData = nullptr;   // null while the capacity is 0
  unsigned char* m_pSpare = nullptr;  // the block replaced last

  explicit CRecordArray(unsigned recordSize, unsigned growStep = 0)
      : m_nRecordSize(recordSize), m_nGrowStep(growStep) {}
  ~CRecordArray();
  CRecordArray(const CRecordArray&) = delete;
  CRecordArray& operator=(const CRecordArray&) = delete;

  // Stores a grow step of 0 or more; a nonzero record size only while the
  // array is empty (else 0 is returned). A record size of 0 changes nothing.
  int Configure(unsigned recordSize, int growStep);

  // Copies n consecutive records in at min(index, count) and returns that
  // index; n below 1 changes nothing. Records taken from the array itself
  // are copied as they were before the call.
  unsigned InsertAt(const void* records, unsigned index, int n);
  unsigned InsertFromList(const void* const* list, unsigned index, int n);
  // Room for n records (contents undefined) at min(index, count): the first
  // one's address, its index to *pIndex; null when n is below 1 or refused.
  void* InsertNew(unsigned index, int n, unsigned* pIndex = nullptr);
  // Overwrites the records from index on, appending those left over.
  unsigned SetAt(const void* records, unsigned index, int n);
  unsigned SetFromList(const void* const* list, unsigned index, int n);
  // Removes [first, last); returns the number removed.
  unsigned RemoveRange(unsigned first, unsigned last);

  // Copies the record into dest and returns its current address; null when
  // index is past the end or dest is null.
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

  // Binary searches of a range sorted ascending by the key, with the ARRAY_
  // search flag word. Integer keys are signed unless ARRAY_UNSIGNED.
  unsigned BSearchInt(uint32_t key, unsigned from, unsigned to, unsigned offset, unsigned flags) const;
  unsigned BSearchInt64(uint64_t key, unsigned from, unsigned to, unsigned offset, unsigned flags) const;
  unsigned BSearchBytes(const void* key, unsigned from, unsigned to, int length, unsigned offset, unsigned flags) const;
  unsigned BSearchWith(void* context, unsigned from, unsigned to, unsigned flags, KeyCompareFn compare) const;

  // Quicksorts of [from, to), swapping record bytes; from below 0 counts as
  // 0. Not stable. A nonzero descending flag reverses the order.
  void SortBytes(unsigned offset, int length, int from, unsigned to, int descending);
  void SortByIndex(IndexCompareFn compare, int from, unsigned to, int descending);
  void SortWith(FieldCompareFn compare, void* context, unsigned offset, int from, unsigned to, int descending);

 private:
  unsigned char* Record(unsigned i) const { return m_pData + (size_t)i * m_nRecordSize; }
  bool FieldFits(unsigned offset, unsigned length) const {
    return offset <= m_nRecordSize && m_nRecordSize - offset >= length;
  }
  unsigned BytesLength(int length, unsigned offset) const {
    if (offset >= m_nRecordSize) return ARRAY_NONE;
    return length < 1 ? m_nRecordSize - offset : (unsigned)length;
  }
  bool Inside(const void* p) const;
  // A gap of n records at index (<= count), growing when needed; null when
  // the block would grow too large.
  unsigned char* Open(unsigned index, unsigned n);
  void ReplaceBlock(unsigned char* data, unsigned capacity);
  template <class Source>
  unsigned Insert(unsigned index, int n, Source source);
  template <class KeyOrder>
  unsigned Search(unsigned from, unsigned to, unsigned flags, unsigned offset, unsigned length,
                  KeyOrder keyOrder) const;
  template <class Order>
  void Sort(int from, unsigned to, int descending, Order order);
};
