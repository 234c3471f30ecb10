// CString: the framework's 8-bit string. It keeps its length explicitly, so it
// may hold NUL characters, and it always keeps a terminator after the text.
#pragma once

#include <cstdarg>
#include <cstddef>

class CString {
 public:
  CString() : m_pchData(EmptyData()) {}
  CString(const CString& src);
  CString(CString&& src) noexcept;
  CString(const char* psz);
  CString(const char* pch, int nLength);
  CString(const wchar_t* psz);  // converted through the ANSI code page
  explicit CString(char ch, int nRepeat = 1);
  ~CString();

  CString& operator=(const CString& src);
  CString& operator=(CString&& src) noexcept;
  CString& operator=(const char* psz);
  CString& operator=(char ch);

  CString& operator+=(const CString& s) {
    Append(s.m_pchData, s.GetLength());
    return *this;
  }
  CString& operator+=(const char* psz);
  CString& operator+=(char ch) {
    // Locals, as a store through char* could change anything the compiler
    // would otherwise read again.
    char* p = m_pchData;
    Data* d = Header();
    int n = d->nDataLength;
    if (n < d->nAllocLength) {  // never true for the shared empty block
      d->nDataLength = n + 1;
      p[n] = ch;
      p[n + 1] = 0;
    } else {
      Append(&ch, 1);
    }
    return *this;
  }
  // Appending grows the capacity geometrically (amortised constant time); the
  // text appended may be this string's own.
  void Append(const char* pch, int nLength);
  // Room for nLength characters without another allocation; the text is kept.
  void Preallocate(int nLength);

  int GetLength() const { return Header()->nDataLength; }
  bool IsEmpty() const { return GetLength() == 0; }
  void Empty();

  char GetAt(int i) const { return m_pchData[i]; }
  char operator[](int i) const { return m_pchData[i]; }
  void SetAt(int i, char ch) { m_pchData[i] = ch; }

  operator const char*() const { return m_pchData; }
  const char* GetString() const { return m_pchData; }

  // Writable buffer of at least nMinBufLength characters plus a terminator;
  // the text so far is kept. ReleaseBuffer(-1) takes the length up to the
  // first NUL, any other value sets it (and writes the terminator there).
  char* GetBuffer(int nMinBufLength = 0);
  char* GetBufferSetLength(int nNewLength);
  void ReleaseBuffer(int nNewLength = -1);

  // Comparisons: Compare is byte-wise (unsigned, NULs included); CompareNoCase
  // folds ASCII letters only.
  int Compare(const char* psz) const;
  int Compare(const CString& s) const;
  int CompareNoCase(const char* psz) const;

  void Format(const char* pszFormat, ...);
  void FormatV(const char* pszFormat, va_list args);

  CString Left(int nCount) const;
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;
  CString Right(int nCount) const;
  int Find(char ch, int nStart = 0) const;
  int Find(const char* pszSub, int nStart = 0) const;
  int ReverseFind(char ch) const;
  void MakeUpper();
  void MakeLower();
  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim() {
    TrimRight();
    return TrimLeft();
  }

 private:
  struct Data {
    int nDataLength;
    int nAllocLength;
  };
  Data* Header() const { return reinterpret_cast<Data*>(m_pchData) - 1; }
  static char* EmptyData();
  static char* Alloc(int nAlloc);
  static void Free(char* pch);
  void Assign(const char* pch, int nLength);
  char* Grow(int nLength, int nKeep);  // answers the old block, for the caller to free
  void Reserve(int nLength);           // keeps the text

  char* m_pchData;
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const char* b) { return !(a == b); }
inline bool operator!=(const char* a, const CString& b) { return !(a == b); }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
inline bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
inline bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
inline bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);
