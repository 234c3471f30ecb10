#include "system/recordptrarray.h"

#include <cstring>
#include <new>

void CRecordPtrArray::Free() { FreeArraySlots(Slots(), true); }

int CRecordPtrArray::Configure(unsigned recordSize, int growStep) {
  if (growStep >= 0) m_nGrowStep = (unsigned)growStep;
  if (recordSize == 0) return 1;
  if (m_nCount) return 0;
  m_nRecordSize = recordSize;
  return 1;
}

void* CRecordPtrArray::NewRecord(const void* source) const {
  void* record = ::operator new(m_nRecordSize);
  if (source) memcpy(record, source, m_nRecordSize);
  return record;
}

unsigned CRecordPtrArray::InsertAt(const void* records, unsigned index, int n) {
  if (index > m_nCount) index = m_nCount;
  if (n < 1) return index;
  void** slot = OpenArraySlots(Slots(), index, (unsigned)n);
  const char* source = static_cast<const char*>(records);
  for (int i = 0; i < n; ++i, source += m_nRecordSize) slot[i] = NewRecord(source);
  return index;
}

unsigned CRecordPtrArray::InsertFromList(const void* const* list, unsigned index, int n) {
  if (index > m_nCount) index = m_nCount;
  if (n < 1) return index;
  void** slot = OpenArraySlots(Slots(), index, (unsigned)n);
  for (int i = 0; i < n; ++i) slot[i] = NewRecord(list[i]);
  return index;
}

void* CRecordPtrArray::InsertNew(unsigned index, unsigned* pIndex) {
  if (index > m_nCount) index = m_nCount;
  void* record = NewRecord(nullptr);
  *OpenArraySlots(Slots(), index, 1, true) = record;
  if (pIndex) *pIndex = index;
  return record;
}

unsigned CRecordPtrArray::InsertOwned(void* record, unsigned index) {
  if (index > m_nCount) index = m_nCount;
  *OpenArraySlots(Slots(), index, 1, true) = record;
  return index;
}

void* CRecordPtrArray::ReplaceOwned(void* record, unsigned index) {
  if (index >= m_nCount) {
    InsertOwned(record, index);
    return nullptr;
  }
  void* old = m_ppRecords[index];
  m_ppRecords[index] = record;
  return old;
}

unsigned CRecordPtrArray::SetAt(const void* records, unsigned index, int n) {
  if (index >= m_nCount) return InsertAt(records, index, n);
  if (n < 1) return index;
  const char* source = static_cast<const char*>(records);
  unsigned i = index;
  for (; i < m_nCount && n > 0; ++i, --n, source += m_nRecordSize) memcpy(m_ppRecords[i], source, m_nRecordSize);
  InsertAt(source, m_nCount, n);
  return index;
}

unsigned CRecordPtrArray::SetFromList(const void* const* list, unsigned index, int n) {
  if (index >= m_nCount) return InsertFromList(list, index, n);
  if (n < 1) return index;
  unsigned i = index;
  for (; i < m_nCount && n > 0; ++i, --n) memcpy(m_ppRecords[i], *list++, m_nRecordSize);
  InsertFromList(list, m_nCount, n);
  return index;
}

unsigned CRecordPtrArray::RemoveRange(unsigned first, unsigned last) {
  return RemoveArraySlots(Slots(), first, last, true);
}

void* CRecordPtrArray::DetachAt(unsigned index) { return DetachArraySlot(Slots(), index); }

void* CRecordPtrArray::GetAt(unsigned index, void* dest) const {
  if (index >= m_nCount || !dest) return nullptr;
  memcpy(dest, m_ppRecords[index], m_nRecordSize);
  return m_ppRecords[index];
}

uint32_t CRecordPtrArray::GetIntAt(unsigned index, unsigned offset) const {
  uint32_t value = 0;
  if (index < m_nCount && FieldFits(offset, 4)) memcpy(&value, (char*)m_ppRecords[index] + offset, 4);
  return value;
}

uint64_t CRecordPtrArray::GetInt64At(unsigned index, unsigned offset) const {
  uint64_t value = 0;
  if (index < m_nCount && FieldFits(offset, 8)) memcpy(&value, (char*)m_ppRecords[index] + offset, 8);
  return value;
}

unsigned CRecordPtrArray::FindInt(uint32_t key, unsigned from, unsigned to, unsigned offset) const {
  if (!FieldFits(offset, 4)) return ARRAY_NONE;
  return PtrFindInt(m_ppRecords, m_nCount, key, from, to, offset);
}

unsigned CRecordPtrArray::FindInt64(uint64_t key, unsigned from, unsigned to, unsigned offset) const {
  if (!FieldFits(offset, 8)) return ARRAY_NONE;
  return PtrFindInt64(m_ppRecords, m_nCount, key, from, to, offset);
}

unsigned CRecordPtrArray::FindBytes(const void* key, unsigned from, unsigned to, int length, unsigned offset) const {
  unsigned n = BytesLength(length, offset);
  if (!FieldFits(offset, n)) return ARRAY_NONE;
  return PtrFindBytes(m_ppRecords, m_nCount, key, from, to, n, offset);
}

unsigned CRecordPtrArray::FindWith(void* context, unsigned from, unsigned to, TestFn test) const {
  return PtrFindWith(m_ppRecords, m_nCount, context, from, to, test);
}

unsigned CRecordPtrArray::BSearchInt(uint32_t key, unsigned from, unsigned to, unsigned offset, unsigned flags) const {
  unsigned result;
  if (SearchEndsEarly(from, to, flags, offset, 4, &result)) return result;
  return PtrBSearchInt(m_ppRecords, m_nCount, key, from, to, offset, flags);
}

unsigned CRecordPtrArray::BSearchInt64(uint64_t key, unsigned from, unsigned to, unsigned offset,
                                       unsigned flags) const {
  unsigned result;
  if (SearchEndsEarly(from, to, flags, offset, 8, &result)) return result;
  return PtrBSearchInt64(m_ppRecords, m_nCount, key, from, to, offset, flags);
}

unsigned CRecordPtrArray::BSearchBytes(const void* key, unsigned from, unsigned to, int length, unsigned offset,
                                       unsigned flags) const {
  unsigned result, n = BytesLength(length, offset);
  if (SearchEndsEarly(from, to, flags, offset, n, &result)) return result;
  return PtrBSearchBytes(m_ppRecords, m_nCount, key, from, to, n, offset, flags);
}

unsigned CRecordPtrArray::BSearchWith(void* context, unsigned from, unsigned to, unsigned flags,
                                      KeyCompareFn compare) const {
  return PtrBSearchWith(m_ppRecords, m_nCount, context, from, to, flags, compare);
}

void CRecordPtrArray::SortBytes(unsigned offset, int length, int from, unsigned to, int descending) {
  if (offset >= m_nRecordSize) return;
  unsigned n = m_nRecordSize - offset;
  if (length >= 0 && (unsigned)length < n) n = (unsigned)length;
  PtrSortBytes(m_ppRecords, m_nCount, offset, n, from, to, descending);
}

void CRecordPtrArray::SortByIndex(IndexCompareFn compare, int from, unsigned to, int descending) {
  PtrSortByIndex(m_ppRecords, m_nCount, from, to, descending,
                 [this, compare](int a, int b) { return compare(this, (unsigned)a, (unsigned)b); });
}

void CRecordPtrArray::SortWith(FieldCompareFn compare, void* context, unsigned offset, int from, unsigned to,
                               int descending) {
  PtrSortWith(m_ppRecords, m_nCount, compare, context, offset, from, to, descending);
}
