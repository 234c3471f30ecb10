#include "system/blockarray.h"

#include <cstring>
#include <new>

void CBlockArray::Free() { FreeArraySlots(Slots(), m_bOwnsBlocks != 0); }

int CBlockArray::Configure(unsigned ownsBlocks, int growStep) {
  if (growStep >= 0) m_nGrowStep = (unsigned)growStep;
  if (ownsBlocks == 0) return 1;
  if (m_nCount) return 0;
  m_bOwnsBlocks = ownsBlocks;
  return 1;
}

void* CBlockArray::Adopt(const void* data, int size) const {
  if (!m_bOwnsBlocks || size < 1) return const_cast<void*>(data);
  void* block = ::operator new((unsigned)size);
  memcpy(block, data, (unsigned)size);
  return block;
}

// An owning array frees what a new pointer displaces, unless it is the same block.
void CBlockArray::Replace(unsigned index, void* block) {
  void* old = m_ppBlocks[index];
  m_ppBlocks[index] = block;
  if (m_bOwnsBlocks && old != block) ::operator delete(old);
}

unsigned CBlockArray::InsertAt(const void* data, unsigned index, int size) {
  if (index > m_nCount) index = m_nCount;
  void* block = Adopt(data, size);
  *OpenArraySlots(Slots(), index, 1) = block;
  return index;
}

unsigned CBlockArray::InsertPtrs(void* const* blocks, unsigned index, int n) {
  if (index > m_nCount) index = m_nCount;
  if (n < 1) return index;
  memcpy(OpenArraySlots(Slots(), index, (unsigned)n), blocks, (unsigned)n * sizeof(void*));
  return index;
}

unsigned CBlockArray::SetAt(const void* data, unsigned index, int size) {
  if (index >= m_nCount) return InsertAt(data, index, size);
  Replace(index, Adopt(data, size));
  return index;
}

unsigned CBlockArray::SetPtrs(void* const* blocks, unsigned index, int n) {
  if (index >= m_nCount) return InsertPtrs(blocks, index, n);
  if (n < 1) return index;
  for (unsigned i = index; i < m_nCount && n > 0; ++i, --n) Replace(i, *blocks++);
  InsertPtrs(blocks, m_nCount, n);
  return index;
}

unsigned CBlockArray::RemoveRange(unsigned first, unsigned last) {
  return RemoveArraySlots(Slots(), first, last, m_bOwnsBlocks != 0);
}

void* CBlockArray::DetachAt(unsigned index) { return DetachArraySlot(Slots(), index); }

void* CBlockArray::GetAt(unsigned index, void* dest, int size) const {
  if (index >= m_nCount || !dest) return nullptr;
  if (size > 0) memcpy(dest, m_ppBlocks[index], (unsigned)size);
  return m_ppBlocks[index];
}

uint32_t CBlockArray::GetIntAt(unsigned index, unsigned offset) const {
  return index < m_nCount ? LoadField32((const char*)m_ppBlocks[index] + offset) : 0;
}

uint64_t CBlockArray::GetInt64At(unsigned index, unsigned offset) const {
  return index < m_nCount ? LoadField64((const char*)m_ppBlocks[index] + offset) : 0;
}

unsigned CBlockArray::FindInt(uint32_t key, unsigned from, unsigned to, unsigned offset) const {
  return PtrFindInt(m_ppBlocks, m_nCount, key, from, to, offset);
}

unsigned CBlockArray::FindInt64(uint64_t key, unsigned from, unsigned to, unsigned offset) const {
  return PtrFindInt64(m_ppBlocks, m_nCount, key, from, to, offset);
}

unsigned CBlockArray::FindBytes(const void* key, unsigned from, unsigned to, unsigned length, unsigned offset) const {
  return PtrFindBytes(m_ppBlocks, m_nCount, key, from, to, length, offset);
}

unsigned CBlockArray::FindWith(void* context, unsigned from, unsigned to, TestFn test) const {
  return PtrFindWith(m_ppBlocks, m_nCount, context, from, to, test);
}

unsigned CBlockArray::BSearchInt(uint32_t key, unsigned from, unsigned to, unsigned offset, unsigned flags) const {
  return PtrBSearchInt(m_ppBlocks, m_nCount, key, from, to, offset, flags);
}

unsigned CBlockArray::BSearchInt64(uint64_t key, unsigned from, unsigned to, unsigned offset, unsigned flags) const {
  return PtrBSearchInt64(m_ppBlocks, m_nCount, key, from, to, offset, flags);
}

unsigned CBlockArray::BSearchBytes(const void* key, unsigned from, unsigned to, unsigned length, unsigned offset,
                                   unsigned flags) const {
  return PtrBSearchBytes(m_ppBlocks, m_nCount, key, from, to, length, offset, flags);
}

unsigned CBlockArray::BSearchWith(void* context, unsigned from, unsigned to, unsigned flags,
                                  KeyCompareFn compare) const {
  return PtrBSearchWith(m_ppBlocks, m_nCount, context, from, to, flags, compare);
}

void CBlockArray::SortBytes(unsigned offset, unsigned length, int from, unsigned to, int descending) {
  PtrSortBytes(m_ppBlocks, m_nCount, offset, length, from, to, descending);
}

void CBlockArray::SortByIndex(IndexCompareFn compare, int from, unsigned to, int descending) {
  PtrSortByIndex(m_ppBlocks, m_nCount, from, to, descending,
                 [this, compare](int a, int b) { return compare(this, (unsigned)a, (unsigned)b); });
}

void CBlockArray::SortWith(FieldCompareFn compare, void* context, unsigned offset, int from, unsigned to,
                           int descending) {
  PtrSortWith(m_ppBlocks, m_nCount, compare, context, offset, from, to, descending);
}
