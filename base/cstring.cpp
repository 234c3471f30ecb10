#include "base/cstring.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
// Shared header of every empty string; never written.
struct EmptyBlock {
  int nDataLength = 0;
  int nAllocLength = 0;
  char chNil[4] = {0, 0, 0, 0};
};
EmptyBlock g_empty;

int FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }
}  // namespace

char* CString::EmptyData() { return g_empty.chNil; }

// Blocks hold the header, the text and its terminator; sizes are rounded up to
// this granule, which the heap hands out anyway.
static const int kGranule = 16;
// The first block a growing string takes: one that is appended to once is
// usually appended to again.
static const int kFirstGrowthBlock = 64;

static int RoundedCapacity(long long nChars, long long nMinBlock) {
  const long long nHeader = 2 * sizeof(int);
  long long nBlock = nHeader + nChars + 1;
  if (nBlock < nMinBlock) nBlock = nMinBlock;
  nBlock = (nBlock + kGranule - 1) / kGranule * kGranule;
  long long n = nBlock - nHeader - 1;
  return n > INT_MAX - 2 * kGranule ? INT_MAX - 2 * kGranule : (int)n;
}

char* CString::Alloc(int nAlloc) {
  char* block = static_cast<char*>(::operator new(sizeof(Data) + nAlloc + 1));
  Data* d = reinterpret_cast<Data*>(block);
  d->nDataLength = 0;
  d->nAllocLength = nAlloc;
  char* pch = block + sizeof(Data);
  pch[0] = 0;
  return pch;
}

void CString::Free(char* pch) {
  if (pch && pch != EmptyData()) ::operator delete(pch - sizeof(Data));
}

// The one growth path of appending, formatting and buffers: the capacity at
// least doubles, so that appending is amortised constant time. Moves the first
// nKeep characters into a block with room for nLength and answers the old
// block; the caller frees it only after reading from it, as what it appends or
// formats may be this string's own text.
char* CString::Grow(int nLength, int nKeep) {
  int nAlloc = m_pchData == EmptyData() ? 0 : Header()->nAllocLength;
  long long nWant = 2LL * nAlloc;
  if (nWant < nLength) nWant = nLength;
  char* pNew = Alloc(RoundedCapacity(nWant, kFirstGrowthBlock));
  std::memcpy(pNew, m_pchData, nKeep);
  pNew[nKeep] = 0;
  reinterpret_cast<Data*>(pNew)[-1].nDataLength = nKeep;
  char* pOld = m_pchData;
  m_pchData = pNew;
  return pOld;
}

// Makes room for nLength characters; the text is kept.
void CString::Reserve(int nLength) {
  if (nLength <= Header()->nAllocLength && m_pchData != EmptyData()) return;
  Free(Grow(nLength, GetLength()));
}

void CString::Assign(const char* pch, int nLength) {
  if (nLength <= 0) {
    Empty();
    return;
  }
  if (nLength <= Header()->nAllocLength && m_pchData != EmptyData()) {
    std::memmove(m_pchData, pch, nLength);  // pch may point into our own text
  } else {
    // A copy takes the size it needs; only a string that grows gets room to spare.
    char* pNew = Alloc(RoundedCapacity(nLength, 0));
    std::memcpy(pNew, pch, nLength);
    Free(m_pchData);
    m_pchData = pNew;
  }
  Header()->nDataLength = nLength;
  m_pchData[nLength] = 0;
}

void CString::Append(const char* pch, int nLength) {
  if (nLength <= 0) return;
  int nOld = GetLength();
  char* pOld = nullptr;
  if (nLength > Header()->nAllocLength - nOld || m_pchData == EmptyData()) pOld = Grow(nOld + nLength, nOld);
  std::memmove(m_pchData + nOld, pch, nLength);  // pch may lie in our text, old or current
  Header()->nDataLength = nOld + nLength;
  m_pchData[nOld + nLength] = 0;
  Free(pOld);
}

void CString::Preallocate(int nLength) { Reserve(nLength > GetLength() ? nLength : GetLength()); }

CString::CString(const CString& src) : m_pchData(EmptyData()) { Assign(src.m_pchData, src.GetLength()); }
CString::CString(CString&& src) noexcept : m_pchData(src.m_pchData) { src.m_pchData = EmptyData(); }
CString::CString(const char* psz) : m_pchData(EmptyData()) {
  if (psz) Assign(psz, (int)std::strlen(psz));
}
CString::CString(const char* pch, int nLength) : m_pchData(EmptyData()) {
  if (pch) Assign(pch, nLength);
}
CString::CString(char ch, int nRepeat) : m_pchData(EmptyData()) {
  if (nRepeat > 0) {
    m_pchData = Alloc(RoundedCapacity(nRepeat, 0));
    std::memset(m_pchData, ch, nRepeat);
    Header()->nDataLength = nRepeat;
    m_pchData[nRepeat] = 0;
  }
}
CString::~CString() { Free(m_pchData); }

CString& CString::operator=(const CString& src) {
  if (this != &src) Assign(src.m_pchData, src.GetLength());
  return *this;
}
CString& CString::operator=(CString&& src) noexcept {
  if (this != &src) {
    Free(m_pchData);
    m_pchData = src.m_pchData;
    src.m_pchData = EmptyData();
  }
  return *this;
}
CString& CString::operator=(const char* psz) {
  Assign(psz, psz ? (int)std::strlen(psz) : 0);
  return *this;
}
CString& CString::operator=(char ch) {
  Assign(&ch, 1);
  return *this;
}
CString& CString::operator+=(const char* psz) {
  if (psz) Append(psz, (int)std::strlen(psz));
  return *this;
}

void CString::Empty() {
  Free(m_pchData);
  m_pchData = EmptyData();
}

char* CString::GetBuffer(int nMinBufLength) {
  Reserve(nMinBufLength > GetLength() ? nMinBufLength : GetLength());
  return m_pchData;
}

char* CString::GetBufferSetLength(int nNewLength) {
  if (nNewLength < 0) nNewLength = 0;
  Reserve(nNewLength);
  if (m_pchData != EmptyData()) {
    Header()->nDataLength = nNewLength;
    m_pchData[nNewLength] = 0;
  }
  return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength) {
  if (m_pchData == EmptyData()) return;
  int nAlloc = Header()->nAllocLength;
  if (nNewLength < 0) {
    const void* nul = std::memchr(m_pchData, 0, nAlloc + 1);
    nNewLength = nul ? (int)(static_cast<const char*>(nul) - m_pchData) : nAlloc;
  }
  if (nNewLength > nAlloc) nNewLength = nAlloc;
  Header()->nDataLength = nNewLength;
  m_pchData[nNewLength] = 0;
}

static int CompareBytes(const char* a, int na, const char* b, int nb) {
  int n = na < nb ? na : nb;
  int r = std::memcmp(a, b, n);
  if (r) return r < 0 ? -1 : 1;
  return na < nb ? -1 : (na > nb ? 1 : 0);
}

int CString::Compare(const char* psz) const {
  return CompareBytes(m_pchData, GetLength(), psz ? psz : "", psz ? (int)std::strlen(psz) : 0);
}
int CString::Compare(const CString& s) const {
  return CompareBytes(m_pchData, GetLength(), s.m_pchData, s.GetLength());
}
int CString::CompareNoCase(const char* psz) const {
  if (!psz) psz = "";
  const unsigned char* a = reinterpret_cast<const unsigned char*>(m_pchData);
  const unsigned char* b = reinterpret_cast<const unsigned char*>(psz);
  for (;; ++a, ++b) {
    int ca = FoldAscii(*a), cb = FoldAscii(*b);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (!ca) return 0;
  }
}

bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }

void CString::FormatV(const char* pszFormat, va_list args) {
  va_list probe;
  va_copy(probe, args);
  int n = std::vsnprintf(nullptr, 0, pszFormat, probe);
  va_end(probe);
  if (n <= 0) {
    Empty();
    return;
  }
  // The arguments may point into this string's text: format into a new block
  // and free the old one after.
  char* pOld = Grow(n, 0);
  std::vsnprintf(m_pchData, n + 1, pszFormat, args);
  Header()->nDataLength = n;
  Free(pOld);
}

void CString::Format(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  FormatV(pszFormat, args);
  va_end(args);
}

CString CString::Left(int nCount) const {
  if (nCount < 0) nCount = 0;
  if (nCount > GetLength()) nCount = GetLength();
  return CString(m_pchData, nCount);
}
CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength() - nFirst); }
CString CString::Mid(int nFirst, int nCount) const {
  if (nFirst < 0) nFirst = 0;
  if (nFirst > GetLength()) nFirst = GetLength();
  if (nCount < 0) nCount = 0;
  if (nCount > GetLength() - nFirst) nCount = GetLength() - nFirst;
  return CString(m_pchData + nFirst, nCount);
}
CString CString::Right(int nCount) const {
  if (nCount < 0) nCount = 0;
  if (nCount > GetLength()) nCount = GetLength();
  return CString(m_pchData + GetLength() - nCount, nCount);
}
int CString::Find(char ch, int nStart) const {
  if (nStart < 0 || nStart >= GetLength()) return -1;
  const void* p = std::memchr(m_pchData + nStart, ch, GetLength() - nStart);
  return p ? (int)(static_cast<const char*>(p) - m_pchData) : -1;
}
int CString::Find(const char* pszSub, int nStart) const {
  if (nStart < 0 || nStart > GetLength()) return -1;
  const char* p = std::strstr(m_pchData + nStart, pszSub);
  return p ? (int)(p - m_pchData) : -1;
}
int CString::ReverseFind(char ch) const {
  for (int i = GetLength() - 1; i >= 0; --i)
    if (m_pchData[i] == ch) return i;
  return -1;
}
void CString::MakeUpper() {
  for (int i = 0; i < GetLength(); ++i)
    if (m_pchData[i] >= 'a' && m_pchData[i] <= 'z') m_pchData[i] -= 32;
}
void CString::MakeLower() {
  for (int i = 0; i < GetLength(); ++i)
    if (m_pchData[i] >= 'A' && m_pchData[i] <= 'Z') m_pchData[i] += 32;
}
static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
CString& CString::TrimLeft() {
  int i = 0;
  while (i < GetLength() && IsBlank(m_pchData[i])) ++i;
  if (i) Assign(m_pchData + i, GetLength() - i);
  return *this;
}
CString& CString::TrimRight() {
  int n = GetLength();
  while (n > 0 && IsBlank(m_pchData[n - 1])) --n;
  if (n != GetLength()) Assign(m_pchData, n);
  return *this;
}

// Concatenation sizes the result once, through the same growth path.
static CString Concat(const char* pa, int na, const char* pb, int nb) {
  CString s;
  s.Preallocate(na + nb);
  s.Append(pa, na);
  s.Append(pb, nb);
  return s;
}
CString operator+(const CString& a, const CString& b) { return Concat(a, a.GetLength(), b, b.GetLength()); }
CString operator+(const CString& a, const char* b) { return Concat(a, a.GetLength(), b, b ? (int)std::strlen(b) : 0); }
CString operator+(const char* a, const CString& b) { return Concat(a, a ? (int)std::strlen(a) : 0, b, b.GetLength()); }
CString operator+(const CString& a, char b) { return Concat(a, a.GetLength(), &b, 1); }
CString operator+(char a, const CString& b) { return Concat(&a, 1, b, b.GetLength()); }
