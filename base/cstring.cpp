#include "base/cstring.h"

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
  if (pch != EmptyData()) ::operator delete(pch - sizeof(Data));
}

// Makes room for nLength characters; the text is kept. The old block is freed
// only after copying, so callers may pass pointers into their own text.
void CString::Reserve(int nLength) {
  if (nLength <= Header()->nAllocLength && m_pchData != EmptyData()) return;
  int nAlloc = Header()->nAllocLength;
  nAlloc = nLength > nAlloc + nAlloc / 2 ? nLength : nAlloc + nAlloc / 2;
  if (nAlloc < 15) nAlloc = 15;
  char* pNew = Alloc(nAlloc);
  int nOld = GetLength();
  std::memcpy(pNew, m_pchData, nOld + 1);
  reinterpret_cast<Data*>(pNew)[-1].nDataLength = nOld;
  Free(m_pchData);
  m_pchData = pNew;
}

void CString::Assign(const char* pch, int nLength) {
  if (nLength <= 0) {
    Empty();
    return;
  }
  if (nLength <= Header()->nAllocLength && m_pchData != EmptyData()) {
    std::memmove(m_pchData, pch, nLength);  // pch may point into our own text
  } else {
    char* pNew = Alloc(nLength);
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
  if (nOld + nLength > Header()->nAllocLength || m_pchData == EmptyData()) {
    // Copy first: pch may point into the block that is about to be replaced.
    int nAlloc = nOld + nLength;
    nAlloc += nAlloc / 2;
    if (nAlloc < 15) nAlloc = 15;
    char* pNew = Alloc(nAlloc);
    std::memcpy(pNew, m_pchData, nOld);
    std::memcpy(pNew + nOld, pch, nLength);
    Free(m_pchData);
    m_pchData = pNew;
  } else {
    std::memmove(m_pchData + nOld, pch, nLength);
  }
  Header()->nDataLength = nOld + nLength;
  m_pchData[nOld + nLength] = 0;
}

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
    Reserve(nRepeat);
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
  // The format may read this string's own text: format into a new block.
  CString out;
  std::vsnprintf(out.GetBuffer(n), n + 1, pszFormat, args);
  out.ReleaseBuffer(n);
  *this = static_cast<CString&&>(out);
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

CString operator+(const CString& a, const CString& b) {
  CString s(a);
  s += b;
  return s;
}
CString operator+(const CString& a, const char* b) {
  CString s(a);
  s += b;
  return s;
}
CString operator+(const char* a, const CString& b) {
  CString s(a);
  s += b;
  return s;
}
CString operator+(const CString& a, char b) {
  CString s(a);
  s += b;
  return s;
}
CString operator+(char a, const CString& b) {
  CString s(a);
  s += b;
  return s;
}
