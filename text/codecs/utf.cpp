#include "text/codecs/utf.h"

#include <climits>

namespace {

inline bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes one UTF-8 character from at most avail bytes (avail >= 1); a
// sequence cut by avail falls back to its first byte like any invalid one.
int DecodeUtf8(const unsigned char* p, int avail, unsigned* cp) {
  unsigned lead = p[0];
  int more = lead < 0xC0 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF8 ? 3 : 0;
  if (more >= avail) more = 0;
  unsigned value = lead & (0x3F >> more);
  for (int i = 1; i <= more; ++i) {
    if (!IsContinuation(p[i])) {
      more = 0;
      value = lead;
      break;
    }
    value = value << 6 | (p[i] & 0x3F);
  }
  *cp = more ? value : lead;
  return more + 1;
}

// Decodes one UTF-16 character from at most avail units (avail >= 1).
int DecodeUtf16(const wchar_t* p, int avail, unsigned* cp) {
  unsigned u = (unsigned short)p[0];
  if (IsHighSurrogate(u) && avail > 1 && IsLowSurrogate((unsigned short)p[1])) {
    *cp = JoinSurrogates(u, (unsigned short)p[1]);
    return 2;
  }
  *cp = u;
  return 1;
}

// Source readers for the whole-text conversions: Next gives the next code
// point, or false at the end of the count or at a character of value 0.
struct Latin1Reader {
  const unsigned char* p;
  int left;
  bool Next(unsigned* cp) {
    if (left < 1 || !*p) return false;
    *cp = *p++;
    --left;
    return true;
  }
};

struct Utf8Reader {
  const unsigned char* p;
  int left;
  bool Next(unsigned* cp) {
    if (left < 1) return false;
    int len = DecodeUtf8(p, left, cp);
    if (!*cp) return false;
    p += len;
    left -= len;
    return true;
  }
};

template <bool joinPairs>
struct Utf16Reader {
  const wchar_t* p;
  int left;
  bool Next(unsigned* cp) {
    if (left < 1) return false;
    int len = 1;
    if (joinPairs)
      len = DecodeUtf16(p, left, cp);
    else
      *cp = (unsigned short)*p;
    if (!*cp) return false;
    p += len;
    left -= len;
    return true;
  }
};

// Output writers: kReserve is the room kept for the longest character.
struct Utf8Writer {
  typedef char Unit;
  enum { kReserve = 4 };
  static int Put(char* d, unsigned cp) { return EncodeUtf8Char(d, cp); }
};
struct Utf16Writer {
  typedef wchar_t Unit;
  enum { kReserve = 2 };
  static int Put(wchar_t* d, unsigned cp) { return EncodeUtf16Char(d, cp); }
};
struct Unit16Writer {
  typedef wchar_t Unit;
  enum { kReserve = 1 };
  static int Put(wchar_t* d, unsigned cp) {
    *d = (wchar_t)cp;
    return 1;
  }
};
struct Latin1Writer {
  typedef char Unit;
  enum { kReserve = 1 };
  static int Put(char* d, unsigned cp) {
    *d = (char)(cp > 255 ? 255 : cp);
    return 1;
  }
};

template <class Writer, class Reader>
int Convert(typename Writer::Unit* dst, int size, Reader src, int* converted) {
  int len = 0, chars = 0;
  if (size >= 1) {
    unsigned cp;
    while (len < size - Writer::kReserve && src.Next(&cp)) {
      len += Writer::Put(dst + len, cp);
      ++chars;
    }
    dst[len] = 0;
  }
  if (converted) *converted = chars;
  return len;
}

inline const unsigned char* Bytes(const char* p) { return (const unsigned char*)p; }

}  // namespace

int DecodeUtf8Char(const char* p, unsigned* codePoint) { return DecodeUtf8(Bytes(p), 4, codePoint); }
int DecodeUtf8CharN(const char* p, int n, unsigned* codePoint) { return DecodeUtf8(Bytes(p), n, codePoint); }

int DecodeUtf8CharBack(const char* end, unsigned* codePoint) {
  const unsigned char* e = Bytes(end);
  // The lead expected 2, 3 or 4 bytes back, as mask and value of its top bits.
  static const unsigned char leadMask[] = {0xE0, 0xF0, 0xF8};
  static const unsigned char leadBits[] = {0xC0, 0xE0, 0xF0};
  if (IsContinuation(e[-1])) {
    for (int len = 2; len <= 4; ++len) {
      unsigned char b = e[-len];
      if ((b & leadMask[len - 2]) == leadBits[len - 2]) return DecodeUtf8(e - len, len, codePoint);
      if (!IsContinuation(b)) break;
    }
  }
  *codePoint = e[-1];
  return 1;
}

int EncodeUtf8Char(char* dst, unsigned cp) {
  unsigned char* d = (unsigned char*)dst;
  if (cp < 0x80) {
    d[0] = (unsigned char)cp;
    return 1;
  }
  if (cp < 0x800) {
    d[0] = (unsigned char)(0xC0 | cp >> 6);
    d[1] = (unsigned char)(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < UTF16_SUPPLEMENTARY) {
    d[0] = (unsigned char)(0xE0 | cp >> 12);
    d[1] = (unsigned char)(0x80 | (cp >> 6 & 0x3F));
    d[2] = (unsigned char)(0x80 | (cp & 0x3F));
    return 3;
  }
  d[0] = (unsigned char)(0xF0 | (cp >> 18 & 0x7));
  d[1] = (unsigned char)(0x80 | (cp >> 12 & 0x3F));
  d[2] = (unsigned char)(0x80 | (cp >> 6 & 0x3F));
  d[3] = (unsigned char)(0x80 | (cp & 0x3F));
  return 4;
}

int Utf8CharLength(unsigned cp) { return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < UTF16_SUPPLEMENTARY ? 3 : 4; }

int Utf8SequenceLength(const char* p) {
  unsigned cp;
  return DecodeUtf8(Bytes(p), 4, &cp);
}

int Utf8SequenceLengthN(const char* p, int n) {
  unsigned cp;
  return n < 1 ? 0 : DecodeUtf8(Bytes(p), n, &cp);
}

int DecodeUtf16Char(const wchar_t* p, unsigned* codePoint) { return DecodeUtf16(p, 2, codePoint); }

int DecodeUtf16CharBack(const wchar_t* end, unsigned* codePoint) {
  unsigned u = (unsigned short)end[-1];
  if (IsLowSurrogate(u) && IsHighSurrogate((unsigned short)end[-2])) return DecodeUtf16(end - 2, 2, codePoint);
  *codePoint = u;
  return 1;
}

int EncodeUtf16Char(wchar_t* dst, unsigned cp) {
  if (cp < UTF16_SUPPLEMENTARY) {
    dst[0] = (wchar_t)cp;
    return 1;
  }
  unsigned v = cp - UTF16_SUPPLEMENTARY;
  dst[0] = (wchar_t)(UTF16_HIGH_SURROGATE | v >> 10);
  dst[1] = (wchar_t)(UTF16_LOW_SURROGATE | (v & UTF16_SURROGATE_BITS));
  return 2;
}

int Utf16CharLength(unsigned cp) { return cp < UTF16_SUPPLEMENTARY ? 1 : 2; }

int Utf16SequenceLength(const wchar_t* p) {
  unsigned cp;
  return DecodeUtf16(p, 2, &cp);
}

int Utf16SequenceLengthN(const wchar_t* p, int n) {
  unsigned cp;
  return n < 1 ? 0 : DecodeUtf16(p, n, &cp);
}

int Latin1ToUtf8NEx(char* dst, const char* src, int size, int* converted, int n) {
  return Convert<Utf8Writer>(dst, size, Latin1Reader{Bytes(src), n}, converted);
}
int Latin1ToUtf8N(char* dst, const char* src, int size, int n) { return Latin1ToUtf8NEx(dst, src, size, nullptr, n); }
int Latin1ToUtf8Ex(char* dst, const char* src, int size, int* converted) {
  return Latin1ToUtf8NEx(dst, src, size, converted, INT_MAX);
}
int Latin1ToUtf8(char* dst, const char* src, int size) { return Latin1ToUtf8NEx(dst, src, size, nullptr, INT_MAX); }

int Utf16ToUtf8NEx(char* dst, const wchar_t* src, int size, int* converted, int n) {
  return Convert<Utf8Writer>(dst, size, Utf16Reader<true>{src, n}, converted);
}
int Utf16ToUtf8N(char* dst, const wchar_t* src, int size, int n) { return Utf16ToUtf8NEx(dst, src, size, nullptr, n); }
int Utf16ToUtf8Ex(char* dst, const wchar_t* src, int size, int* converted) {
  return Utf16ToUtf8NEx(dst, src, size, converted, INT_MAX);
}
int Utf16ToUtf8(char* dst, const wchar_t* src, int size) { return Utf16ToUtf8NEx(dst, src, size, nullptr, INT_MAX); }

int Utf8ToLatin1N(char* dst, const char* src, int size, int n) {
  return Convert<Latin1Writer>(dst, size, Utf8Reader{Bytes(src), n}, nullptr);
}
int Utf8ToLatin1(char* dst, const char* src, int size) { return Utf8ToLatin1N(dst, src, size, INT_MAX); }

int Utf8ToUtf16N(wchar_t* dst, const char* src, int size, int n) {
  return Convert<Utf16Writer>(dst, size, Utf8Reader{Bytes(src), n}, nullptr);
}
int Utf8ToUtf16(wchar_t* dst, const char* src, int size) { return Utf8ToUtf16N(dst, src, size, INT_MAX); }

int Utf16ToLatin1N(char* dst, const wchar_t* src, int size, int n) {
  return Convert<Latin1Writer>(dst, size, Utf16Reader<false>{src, n}, nullptr);
}

int Latin1ToUtf16N(wchar_t* dst, const char* src, int size, int n) {
  return Convert<Unit16Writer>(dst, size, Latin1Reader{Bytes(src), n}, nullptr);
}
