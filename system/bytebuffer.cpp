#include "system/bytebuffer.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

const uint64_t kMaxBytes = 0x7FFFFFFF;
const int kLocalTemp = 1024;  // Move's own buffer; larger parts go to the heap

unsigned char* Allocate(uint64_t n) {
  if (n > kMaxBytes) return nullptr;
  return static_cast<unsigned char*>(::operator new((size_t)n, std::nothrow));
}

}  // namespace

CByteBuffer::CByteBuffer(int capacity) {
  if (capacity < 1) return;
  m_pData = Allocate((unsigned)capacity);
  if (m_pData) m_nCapacity = (unsigned)capacity;
}

CByteBuffer::~CByteBuffer() { ::operator delete(m_pData); }

void CByteBuffer::Clear() {
  ::operator delete(m_pData);
  m_pData = nullptr;
  m_nUsed = m_nCapacity = 0;
}

unsigned CByteBuffer::Grow(unsigned needed) {
  uint64_t m = needed;
  if (m < m_nUsed) m = m_nUsed;  // never below the bytes in use
  if (m < 1024) m = 1024;
  uint64_t capacity = m + m / 2;
  unsigned char* data = Allocate(capacity);
  if (!data) return 0;
  if (m_nUsed) memcpy(data, m_pData, m_nUsed);
  ::operator delete(m_pData);
  m_pData = data;
  m_nCapacity = (unsigned)capacity;
  return m_nCapacity;
}

bool CByteBuffer::Room(unsigned n) {
  uint64_t needed = (uint64_t)m_nUsed + n;
  if (needed <= m_nCapacity) return true;
  return needed <= kMaxBytes && Grow((unsigned)needed) != 0;
}

const unsigned char* CByteBuffer::Stage(const void* data, int n, unsigned char** staged) const {
  *staged = nullptr;
  uintptr_t a = (uintptr_t)data, begin = (uintptr_t)m_pData;
  if (!m_pData || a + (unsigned)n <= begin || a >= begin + m_nCapacity) return static_cast<const unsigned char*>(data);
  *staged = Allocate((unsigned)n);
  if (*staged) memcpy(*staged, data, (unsigned)n);
  return *staged;
}

unsigned CByteBuffer::Extend(int n) {
  if (n < 1) return 0;
  if (!Room((unsigned)n)) return m_nUsed;
  m_nUsed += (unsigned)n;
  return m_nUsed;
}

unsigned CByteBuffer::Append(const void* data, int n) {
  if (n < 1) return 0;
  return Insert(data, n, m_nUsed);
}

unsigned CByteBuffer::Insert(const void* data, int n, unsigned position) {
  return n < 1 ? m_nUsed : Replace(data, n, 0, position);
}

unsigned CByteBuffer::Replace(const void* data, int n, int oldLength, unsigned position) {
  if (n < 1 || !data || (uint64_t)m_nUsed + (unsigned)n > kMaxBytes) return m_nUsed;
  unsigned char* staged;
  const unsigned char* source = Stage(data, n, &staged);
  if (!source || !Room((unsigned)n)) {
    ::operator delete(staged);
    return m_nUsed;
  }
  if (position > m_nUsed) position = m_nUsed;
  unsigned old = oldLength < 0 ? 0 : (unsigned)oldLength;
  if (old > m_nUsed - position) old = m_nUsed - position;
  unsigned tail = m_nUsed - position - old;
  memmove(m_pData + position + n, m_pData + position + old, tail);
  memcpy(m_pData + position, source, (unsigned)n);
  m_nUsed = position + (unsigned)n + tail;
  ::operator delete(staged);
  return m_nUsed;
}

unsigned CByteBuffer::Read(void* dest, int n, unsigned position) const {
  if (n < 1 || position >= m_nUsed || !dest) return 0;
  unsigned count = m_nUsed - position;
  if ((unsigned)n < count) count = (unsigned)n;
  memcpy(dest, m_pData + position, count);
  return count;
}

unsigned CByteBuffer::Remove(int n, unsigned position) {
  if (n < 1 || position >= m_nUsed) return m_nUsed;
  if ((unsigned)n >= m_nUsed - position) {
    m_nUsed = position;
  } else {
    memmove(m_pData + position, m_pData + position + n, m_nUsed - position - n);
    m_nUsed -= (unsigned)n;
  }
  return m_nUsed;
}

int CByteBuffer::Move(int source, int length, int dest) {
  if (source < 0 || length < 0 || dest < 0) return -1;
  if (m_nUsed == 0) return length == 0 && dest == 0 ? 0 : -1;
  if ((int64_t)source + length > m_nUsed || (int64_t)dest + length > m_nUsed) return -1;
  if (dest == source || length == 0) return dest;
  // The region holds two parts that swap places: forward the stretch and
  // the bytes after it, backward the bytes before it and the stretch.
  unsigned start, first, second;
  if (dest > source) {
    start = (unsigned)source;
    first = (unsigned)length;
    second = (unsigned)(dest - source);
  } else {
    start = (unsigned)dest;
    first = (unsigned)(source - dest);
    second = (unsigned)length;
  }
  unsigned char* region = m_pData + start;
  const unsigned smaller = first <= second ? first : second;
  unsigned char local[kLocalTemp];
  unsigned char* temp = smaller <= sizeof local ? local : Allocate(smaller);
  if (!temp) return -1;
  if (first <= second) {
    memcpy(temp, region, first);
    memmove(region, region + first, second);
    memcpy(region + second, temp, first);
  } else {
    memcpy(temp, region + first, second);
    memmove(region + second, region, first);
    memcpy(region, temp, second);
  }
  if (temp != local) ::operator delete(temp);
  return dest;
}
