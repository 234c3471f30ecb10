#include "system/recordarray.h"

#include <cstring>
#include <new>

namespace {

// The largest block the array makes: sizes and sums stay far from wrapping.
const uint64_t kMaxBytes = 0x7FFFFFFF;

}  // namespace

CRecordArray::~CRecordArray() {
  ::operator delete(m_pSpare);
  ::operator delete(m_pData);
}

int CRecordArray::Configure(unsigned recordSize, int growStep) {
  if (growStep >= 0) m_nGrowStep = (unsigned)growStep;
  if (recordSize == 0) return 1;
  if (m_nCount) return 0;
  m_nRecordSize = recordSize;
  return 1;
}

bool CRecordArray::Inside(const void* p) const {
  if (!m_pData) return false;
  uintptr_t a = (uintptr_t)p, begin = (uintptr_t)m_pData;
  uintptr_t end = begin + (uintptr_t)m_nCapacity * m_nRecordSize;
  return a + m_nRecordSize > begin && a < end;
}

void CRecordArray::ReplaceBlock(unsigned char* data, unsigned capacity) {
  ::operator delete(m_pSpare);
  m_pSpare = m_pData;
  m_pData = data;
  m_nCapacity = capacity;
}

unsigned char* CRecordArray::Open(unsigned index, unsigned n) {
  const size_t size = m_nRecordSize;
  if ((uint64_t)m_nCount + n > m_nCapacity) {
    uint64_t capacity;
    if (m_nGrowStep) {
      capacity = (((uint64_t)m_nCapacity + n) / m_nGrowStep + 1) * m_nGrowStep;
    } else {
      capacity = ((uint64_t)m_nCapacity + n) * 3 / 2;
      if (capacity < 16) capacity = 16;
    }
    if (capacity * size > kMaxBytes || capacity > 0xFFFFFFFFu) return nullptr;
    unsigned char* data = static_cast<unsigned char*>(::operator new((size_t)(capacity * size)));
    if (index) memcpy(data, m_pData, index * size);
    if (m_nCount > index) memcpy(data + (index + n) * size, Record(index), (m_nCount - index) * size);
    ReplaceBlock(data, (unsigned)capacity);
  } else if (m_nCount > index) {
    memmove(Record(index + n), Record(index), (m_nCount - index) * size);
  }
  m_nCount += n;
  return Record(index);
}

template <class Source>
unsigned CRecordArray::Insert(unsigned index, int n, Source source) {
  if (index > m_nCount) index = m_nCount;
  if (n < 1) return index;
  const size_t size = m_nRecordSize;
  if ((uint64_t)n * size > kMaxBytes) return ARRAY_NONE;
  // Records of the array itself move with the gap: copy them first.
  unsigned char* staged = nullptr;
  for (int i = 0; i < n && !staged; ++i)
    if (Inside(source(i))) staged = static_cast<unsigned char*>(::operator new(n* size));
  if (staged)
    for (int i = 0; i < n; ++i) memcpy(staged + i * size, source(i), size);
  unsigned char* gap = Open(index, (unsigned)n);
  if (gap)
    for (int i = 0; i < n; ++i) memcpy(gap + i * size, staged ? staged + i * size : source(i), size);
  ::operator delete(staged);
  return gap ? index : ARRAY_NONE;
}

unsigned CRecordArray::InsertAt(const void* records, unsigned index, int n) {
  const unsigned char* base = static_cast<const unsigned char*>(records);
  const size_t size = m_nRecordSize;
  return Insert(index, n, [base, size](int i) { return base + i * size; });
}

unsigned CRecordArray::InsertFromList(const void* const* list, unsigned index, int n) {
  return Insert(index, n, [list](int i) { return static_cast<const unsigned char*>(list[i]); });
}

void* CRecordArray::InsertNew(unsigned index, int n, unsigned* pIndex) {
  if (index > m_nCount) index = m_nCount;
  if (n < 1 || (uint64_t)n * m_nRecordSize > kMaxBytes) return nullptr;
  unsigned char* gap = Open(index, (unsigned)n);
  if (gap && pIndex) *pIndex = index;
  return gap;
}

unsigned CRecordArray::SetAt(const void* records, unsigned index, int n) {
  if (index >= m_nCount) return InsertAt(records, index, n);
  if (n < 1) return index;
  const unsigned char* source = static_cast<const unsigned char*>(records);
  unsigned i = index;
  for (; i < m_nCount && n > 0; ++i, --n, source += m_nRecordSize) memmove(Record(i), source, m_nRecordSize);
  if (n > 0 && InsertAt(source, m_nCount, n) == ARRAY_NONE) return ARRAY_NONE;
  return index;
}

unsigned CRecordArray::SetFromList(const void* const* list, unsigned index, int n) {
  if (index >= m_nCount) return InsertFromList(list, index, n);
  if (n < 1) return index;
  unsigned i = index;
  for (; i < m_nCount && n > 0; ++i, --n) memmove(Record(i), *list++, m_nRecordSize);
  if (n > 0 && InsertFromList(list, m_nCount, n) == ARRAY_NONE) return ARRAY_NONE;
  return index;
}

unsigned CRecordArray::RemoveRange(unsigned first, unsigned last) {
  if (last > m_nCount) last = m_nCount;
  if (first >= m_nCount || last <= first) return 0;
  const size_t size = m_nRecordSize;
  memmove(Record(first), Record(last), (m_nCount - last) * size);
  m_nCount -= last - first;
  const uint64_t count = m_nCount;
  if (count == 0) {
    ReplaceBlock(nullptr, 0);
  } else if (m_nGrowStep == 0 ? count * 2 <= m_nCapacity : count + 2 * (uint64_t)m_nGrowStep <= m_nCapacity) {
    unsigned capacity = (unsigned)(m_nGrowStep == 0 ? count * 3 / 2 : count + m_nGrowStep);
    unsigned char* data = static_cast<unsigned char*>(::operator new(capacity* size));
    memcpy(data, m_pData, count * size);
    ReplaceBlock(data, capacity);
  }
  return last - first;
}

void* CRecordArray::GetAt(unsigned index, void* dest) const {
  if (index >= m_nCount || !dest) return nullptr;
  memcpy(dest, Record(index), m_nRecordSize);
  return Record(index);
}

uint32_t CRecordArray::GetIntAt(unsigned index, unsigned offset) const {
  return index < m_nCount && FieldFits(offset, 4) ? LoadField32(Record(index) + offset) : 0;
}

uint64_t CRecordArray::GetInt64At(unsigned index, unsigned offset) const {
  return index < m_nCount && FieldFits(offset, 8) ? LoadField64(Record(index) + offset) : 0;
}

namespace {

template <class Match>
unsigned FindFirst(unsigned count, unsigned from, unsigned to, Match match) {
  unsigned end = to < count ? to : count;
  for (unsigned i = from; i < end; ++i)
    if (match(i)) return i;
  return ARRAY_NONE;
}

}  // namespace

unsigned CRecordArray::FindInt(uint32_t key, unsigned from, unsigned to, unsigned offset) const {
  if (!FieldFits(offset, 4)) return ARRAY_NONE;
  return FindFirst(m_nCount, from, to, [&](unsigned i) { return LoadField32(Record(i) + offset) == key; });
}

unsigned CRecordArray::FindInt64(uint64_t key, unsigned from, unsigned to, unsigned offset) const {
  if (!FieldFits(offset, 8)) return ARRAY_NONE;
  return FindFirst(m_nCount, from, to, [&](unsigned i) { return LoadField64(Record(i) + offset) == key; });
}

unsigned CRecordArray::FindBytes(const void* key, unsigned from, unsigned to, int length, unsigned offset) const {
  unsigned n = BytesLength(length, offset);
  if (!key || !FieldFits(offset, n)) return ARRAY_NONE;
  return FindFirst(m_nCount, from, to, [&](unsigned i) { return !memcmp(Record(i) + offset, key, n); });
}

unsigned CRecordArray::FindWith(void* context, unsigned from, unsigned to, TestFn test) const {
  return FindFirst(m_nCount, from, to, [&](unsigned i) { return test(context, Record(i)) == 0; });
}

// The range checks come before the bounds of the key field.
template <class KeyOrder>
unsigned CRecordArray::Search(unsigned from, unsigned to, unsigned flags, unsigned offset, unsigned length,
                              KeyOrder keyOrder) const {
  unsigned result;
  if (ArraySearchRangeEmpty(m_nCount, from, to, flags, &result)) return result;
  if (!FieldFits(offset, length)) return ARRAY_NONE;
  return ArrayBisect(m_nCount, from, to, flags, keyOrder);
}

unsigned CRecordArray::BSearchInt(uint32_t key, unsigned from, unsigned to, unsigned offset, unsigned flags) const {
  return Search(from, to, flags, offset, 4,
                [&](unsigned i) { return CompareKeys<int32_t>(key, LoadField32(Record(i) + offset), flags); });
}

unsigned CRecordArray::BSearchInt64(uint64_t key, unsigned from, unsigned to, unsigned offset, unsigned flags) const {
  return Search(from, to, flags, offset, 8,
                [&](unsigned i) { return CompareKeys<int64_t>(key, LoadField64(Record(i) + offset), flags); });
}

unsigned CRecordArray::BSearchBytes(const void* key, unsigned from, unsigned to, int length, unsigned offset,
                                    unsigned flags) const {
  unsigned n = BytesLength(length, offset);
  return Search(from, to, flags, offset, n, [&](unsigned i) { return memcmp(key, Record(i) + offset, n); });
}

unsigned CRecordArray::BSearchWith(void* context, unsigned from, unsigned to, unsigned flags,
                                   KeyCompareFn compare) const {
  return Search(from, to, flags, 0, 0, [&](unsigned i) { return compare(context, Record(i)); });
}

template <class Order>
void CRecordArray::Sort(int from, unsigned to, int descending, Order order) {
  int lo, hi;
  if (!ArraySortRange(from, to, m_nCount, &lo, &hi)) return;
  const size_t size = m_nRecordSize;
  unsigned char local[256];
  unsigned char* temp = size <= sizeof local ? local : static_cast<unsigned char*>(::operator new(size));
  QuickSortPositions(lo, hi, descending != 0, order, [this, temp, size](int a, int b) {
    if (a == b) return;
    memcpy(temp, Record(a), size);
    memcpy(Record(a), Record(b), size);
    memcpy(Record(b), temp, size);
  });
  if (temp != local) ::operator delete(temp);
}

void CRecordArray::SortBytes(unsigned offset, int length, int from, unsigned to, int descending) {
  if (offset >= m_nRecordSize) return;
  unsigned n = m_nRecordSize - offset;
  if (length >= 0 && (unsigned)length < n) n = (unsigned)length;
  Sort(from, to, descending, [&](int a, int b) { return memcmp(Record(a) + offset, Record(b) + offset, n); });
}

void CRecordArray::SortByIndex(IndexCompareFn compare, int from, unsigned to, int descending) {
  Sort(from, to, descending, [&](int a, int b) { return compare(this, (unsigned)a, (unsigned)b); });
}

void CRecordArray::SortWith(FieldCompareFn compare, void* context, unsigned offset, int from, unsigned to,
                            int descending) {
  if (offset >= m_nRecordSize) return;  // the field would lie in the next record
  Sort(from, to, descending, [&](int a, int b) { return compare(context, Record(a) + offset, Record(b) + offset); });
}
