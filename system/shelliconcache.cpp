#include "system/shelliconcache.h"

#include <cstring>
#include <new>
#include <type_traits>

#include "system/blockarray.h"
#include "system/recordptrarray.h"

static_assert(sizeof(void*) != 4 || sizeof(IconCacheRecord) == 28, "icon cache records are 28 bytes");

CShellIconCache g_shellIconCache;

namespace {

const int kBuckets = 27;

// Up to 8 characters, A-Z folded to a-z, characters from 128 up as 0xFF, the
// rest zero. Both text widths key alike.
template <class Char>
void MakeKey(const Char* text, unsigned char key[8]) {
  int i = 0;
  for (; i < 8 && text[i]; ++i) {
    unsigned c = (unsigned)(typename std::make_unsigned<Char>::type)text[i];
    key[i] = c >= 128 ? 0xFF : c >= 'A' && c <= 'Z' ? (unsigned char)(c + 32) : (unsigned char)c;
  }
  for (; i < 8; ++i) key[i] = 0;
}

class Lock {
 public:
  explicit Lock(CRITICAL_SECTION* cs) : m_cs(cs) { EnterCriticalSection(cs); }
  ~Lock() { LeaveCriticalSection(m_cs); }

 private:
  CRITICAL_SECTION* m_cs;
};

}  // namespace

CShellIconCache::CShellIconCache() : m_ppBuckets(nullptr), m_pStrings(nullptr) { InitializeCriticalSection(&m_lock); }

CShellIconCache::~CShellIconCache() {
  Clear();
  DeleteCriticalSection(&m_lock);
}

void CShellIconCache::Clear() {
  Lock lock(&m_lock);
  if (m_ppBuckets) {
    for (int i = 0; i < kBuckets; ++i) delete m_ppBuckets[i];
    delete[] m_ppBuckets;
    m_ppBuckets = nullptr;
  }
  delete m_pStrings;
  m_pStrings = nullptr;
}

IconCacheRecord* CShellIconCache::LookupExt(const char* ext) {
  unsigned char key[8];
  MakeKey(ext, key);
  return Lookup(key);
}

IconCacheRecord* CShellIconCache::LookupExtW(const wchar_t* ext) {
  unsigned char key[8];
  MakeKey(ext, key);
  return Lookup(key);
}

IconCacheRecord* CShellIconCache::Lookup(const unsigned char key[8]) {
  int b = key[0] >= 'a' && key[0] <= 'z' ? key[0] - 'a' + 1 : 0;
  Lock lock(&m_lock);
  if (!m_ppBuckets) m_ppBuckets = new CRecordPtrArray*[kBuckets]();
  CRecordPtrArray*& bucket = m_ppBuckets[b];
  unsigned pos;
  if (!bucket) {
    bucket = new CRecordPtrArray(sizeof(IconCacheRecord), 0);
    pos = 0;
  } else {
    pos = bucket->BSearchBytes(key, 0, bucket->m_nCount, 8, 0, 0);
    if (pos != ARRAY_NONE) return static_cast<IconCacheRecord*>(bucket->m_ppRecords[pos]);
    pos = bucket->BSearchBytes(key, 0, bucket->m_nCount, 8, 0, ARRAY_INSERT_POS);
  }
  IconCacheRecord record;
  memcpy(record.key, key, 8);
  for (int& icon : record.icon) icon = -1;
  record.typeName = nullptr;
  pos = bucket->InsertAt(&record, pos, 1);
  return static_cast<IconCacheRecord*>(bucket->m_ppRecords[pos]);
}

const char* CShellIconCache::AddString(const char* text, int length) {
  if (length < 0) length = 0;
  // Copies only the given characters: the text need not be terminated there.
  char* copy = static_cast<char*>(::operator new((unsigned)length + 1));
  memcpy(copy, text, (unsigned)length);
  copy[length] = 0;
  Lock lock(&m_lock);
  if (!m_pStrings) m_pStrings = new CBlockArray(1, 0);
  m_pStrings->InsertAt(copy, m_pStrings->m_nCount, 0);
  return copy;
}
