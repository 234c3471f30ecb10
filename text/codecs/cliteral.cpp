#include "text/codecs/cliteral.h"

#include <climits>
#include <cstring>

#include "text/classtable.h"
#include "text/codecs/utf.h"

const unsigned char CEscapeTable[128] = {
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0,    0, 0,  0,    // 0x00
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0,    0, 0,  0,    // 0x10
    0,    0,    '"',  0,    0,    0,    0,    '\'', 0,    0, 0, 0, 0,    0, 0,  0,    // 0x20
    0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0,    0, 0, 0, 0,    0, 0,  '?',  // 0x30
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0,    0, 0,  0,    // 0x40
    0,    0,    0,    0,    0,    0,    0,    0,    0xFF, 0, 0, 0, '\\', 0, 0,  0,    // 0x50
    0,    7,    8,    0,    0,    0,    12,   0,    0,    0, 0, 0, 0,    0, 10, 0,    // 0x60
    0,    0,    13,   0,    9,    0,    11,   0,    0xFF, 0, 0, 0, 0,    0, 0,  0,    // 0x70
};

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

inline bool IsHexDigitByte(unsigned b) { return (CharClassTable[b & 0xFF] & (CC_DIGIT | CC_HEXLETTER)) != 0; }

// hexMask keeps the 8-bit form's hex values below 256.
template <class C>
unsigned DecodeEscape(const C* p, int n, int* length, unsigned hexMask) {
  unsigned c = CharCode(p[0]);
  int len = 1;
  unsigned entry = 0;
  if (c == '\\' && n > 1 && CharCode(p[1]) < 128) entry = CEscapeTable[CharCode(p[1])];
  if (entry == 0xFF) {
    c = 0;
    for (len = 2; len < n && len < 5 && DigitValueOf(p[len]) < 16; ++len) c = c << 4 | DigitValueOf(p[len]);
    c &= hexMask;
  } else if (entry == 0xFE) {
    c = 0;
    for (; len < n && len < 4 && CharCode(p[len]) - '0' < 8u; ++len) c = c << 3 | (CharCode(p[len]) - '0');
    c &= 0xFF;
  } else if (entry) {
    c = entry;
    len = 2;
  }
  if (length) *length = len;
  return c;
}

template <class C>
int QuoteCString(C* dst, int size, const void* src, int srcBytes, uint32_t flags) {
  const bool quotes = !(flags & CLIT_NO_QUOTES);
  const bool utf8 = (flags & CLIT_RAW_UTF8) != 0;
  const bool utf16 = !utf8 && (flags & CLIT_RAW_UTF16);
  const bool shortHex = (flags & CLIT_SHORT_HEX) != 0;
  // room counts what is left of size; it keeps 2 for the closing quote and
  // the terminator, or 1 for the terminator alone without quotes.
  int room = quotes ? size : size + 1;
  C* d = dst;
  if (quotes && room >= 2) {
    *d++ = '"';
    --room;
  }
  const unsigned char* s = (const unsigned char*)src;
  int left = srcBytes < 0 ? 0 : utf16 ? srcBytes & ~1 : srcBytes;
  bool splitPending = false;  // a short hex escape was just written
  while (left > 0 && room > 2) {
    unsigned c;
    int used = 1;
    if (utf8) {
      used = DecodeUtf8CharN((const char*)s, left, &c);
    } else if (utf16) {
      uint16_t unit;
      std::memcpy(&unit, s, 2);
      c = unit;
      used = 2;
    } else {
      c = *s;
    }
    if (sizeof(C) == 1 && c > 255) {  // no trace in 8-bit output
      s += used;
      left -= used;
      continue;
    }
    if (splitPending) {
      // Close and reopen the literal so that the digit is not read into the
      // escape; its first byte (low byte of a unit) decides.
      splitPending = false;
      if (IsHexDigitByte(utf16 ? c : *s)) {
        if (room < 8) break;
        *d++ = '"';
        *d++ = '"';
        room -= 2;
      }
    }
    if (c >= 32 && c != '"' && c != '\\') {
      int units = c >= UTF16_SUPPLEMENTARY ? 2 : 1;  // beyond 16 bits (UTF-8 source): a surrogate pair
      if (room < 2 + units) break;
      if constexpr (sizeof(C) == 2)
        EncodeUtf16Char(d, c);
      else
        *d = (C)c;
      d += units;
      room -= units;
    } else {
      char letter = 0;
      if (!(flags & CLIT_HEX_ALL)) {
        if (c == '"' || c == '\\')
          letter = (char)c;
        else if (c == '\r')
          letter = 'r';
        else if (c == '\n')
          letter = 'n';
        else if (!(flags & CLIT_HEX_CONTROLS)) {
          static const char kLetters[] = "\0\0\0\0\0\0\0abtnvfr";
          if (c >= 7 && c <= 12) letter = kLetters[c];
        }
      }
      if (letter) {
        if (room < 5) break;
        *d++ = '\\';
        *d++ = letter;
        room -= 2;
      } else {
        if (room < 8) break;
        C* start = d;
        *d++ = '\\';
        *d++ = 'x';
        if (!shortHex) *d++ = '0';
        *d++ = kHexDigits[c >> 4];
        *d++ = kHexDigits[c & 15];
        room -= (int)(d - start);
        splitPending = shortHex;
      }
    }
    s += used;
    left -= used;
  }
  if (quotes) {
    if (room >= 2) {
      *d++ = '"';
      --room;
    }
  } else {
    --room;
  }
  if (room > 0) *d = 0;
  return size - room;
}

template <class C>
int DecodeLiteral(void* dst, uint32_t sizeAndFlags, const C* text, int* used, unsigned hexMask) {
  const uint32_t size = sizeAndFlags & ~(uint32_t)(CLIT_RAW_UTF8 | CLIT_RAW_UTF16 | CLIT_NO_QUOTES);
  const bool utf8 = (sizeAndFlags & CLIT_RAW_UTF8) != 0;
  const bool utf16 = !utf8 && (sizeAndFlags & CLIT_RAW_UTF16);
  unsigned char* out = (unsigned char*)dst;
  uint32_t written = 0;
  const C* p = text;
  const bool quoted = !(sizeAndFlags & CLIT_NO_QUOTES) && *p == '"';
  if (quoted) ++p;
  while (written < size) {
    unsigned c = CharCode(*p);
    if (!c) break;
    if (c == '"' && quoted) {
      ++p;
      break;
    }
    int len = 1;
    if (c == '\\') c = DecodeEscape(p, INT_MAX, &len, hexMask);
    if (utf16) {
      if (size - written < 2) break;  // never half a unit
      uint16_t unit = (uint16_t)c;
      std::memcpy(out + written, &unit, 2);
      written += 2;
    } else if (utf8) {
      char seq[4];
      int k = EncodeUtf8Char(seq, c);
      if (size - written < (uint32_t)k) break;  // never a cut sequence
      std::memcpy(out + written, seq, k);
      written += k;
    } else {
      out[written++] = (unsigned char)c;
    }
    p += len;
  }
  if (used) *used = (int)(p - text);
  // A whole zero unit for 16-bit output when it fits, else one zero byte.
  if (written < size) out[written] = 0;
  if (utf16 && size - written >= 2) out[written + 1] = 0;
  return (int)written;
}

template <class C>
int FormatCChar(int ch, C* dst, bool noQuotes) {
  unsigned c = ch & 0xFF;
  C* d = dst;
  if (!noQuotes) *d++ = '\'';
  if (c == '\\' || c == '\'' || c == '"') {
    *d++ = '\\';
    *d++ = (C)c;
  } else if (c >= 32) {
    *d++ = (C)c;
  } else {
    static const char kLetters[] = "\0\0\0\0\0\0\0abtnvfr";
    *d++ = '\\';
    if (c >= 7 && c <= 13) {
      *d++ = kLetters[c];
    } else {
      // Inside apostrophes two digits end at the closing one; bare, the
      // three-digit form ends by itself.
      *d++ = 'x';
      if (noQuotes) *d++ = '0';
      *d++ = kHexDigits[c >> 4];
      *d++ = kHexDigits[c & 15];
    }
  }
  if (!noQuotes) *d++ = '\'';
  *d = 0;
  return (int)(d - dst);
}

template <class C>
int DigitRunLength(const C* text, int radix, int n) {
  int i = 0;
  if (radix < 0) {
    radix = -radix;
    if (n > 0 && text[0] == '-') i = 1;
  }
  while (i < n && DigitValueOf(text[i]) < (unsigned)radix) ++i;
  return i;
}

template <class C>
int ParseDigitRun(void* dst, const C* text, int radix, int n, int valueSize) {
  uint64_t value = 0;
  int i = 0;
  for (unsigned digit; i < n && (digit = DigitValueOf(text[i])) < (unsigned)radix; ++i) value = value * radix + digit;
  unsigned char* out = (unsigned char*)dst;
  for (int k = 0; k < valueSize && k < 8; ++k) out[k] = (unsigned char)(value >> (8 * k));
  return i;
}

}  // namespace

unsigned DecodeCEscapeA(const char* p, int* length) { return DecodeEscape(p, INT_MAX, length, 0xFF); }
unsigned DecodeCEscapeW(const wchar_t* p, int* length) { return DecodeEscape(p, INT_MAX, length, 0xFFF); }
unsigned DecodeCEscapeNA(const char* p, int n, int* length) { return DecodeEscape(p, n, length, 0xFF); }
unsigned DecodeCEscapeNW(const wchar_t* p, int n, int* length) { return DecodeEscape(p, n, length, 0xFFF); }

int QuoteCStringA(char* dst, int size, const void* src, int srcBytes, uint32_t flags) {
  return QuoteCString(dst, size, src, srcBytes, flags);
}
int QuoteCStringW(wchar_t* dst, int size, const void* src, int srcBytes, uint32_t flags) {
  return QuoteCString(dst, size, src, srcBytes, flags);
}

int DecodeCStringLiteralA(void* dst, uint32_t sizeAndFlags, const char* text, int* used) {
  return DecodeLiteral(dst, sizeAndFlags, text, used, 0xFF);
}
int DecodeCStringLiteralW(void* dst, uint32_t sizeAndFlags, const wchar_t* text, int* used) {
  return DecodeLiteral(dst, sizeAndFlags, text, used, 0xFFF);
}

int FormatCCharA(int ch, char* dst, bool noQuotes) { return FormatCChar(ch, dst, noQuotes); }
int FormatCCharW(int ch, wchar_t* dst, bool noQuotes) { return FormatCChar(ch, dst, noQuotes); }

int DigitRunLengthA(const char* text, int radix, int n) { return DigitRunLength(text, radix, n); }
int DigitRunLengthW(const wchar_t* text, int radix, int n) { return DigitRunLength(text, radix, n); }

int ParseDigitRunA(void* dst, const char* text, int radix, int n, int valueSize) {
  return ParseDigitRun(dst, text, radix, n, valueSize);
}
int ParseDigitRunW(void* dst, const wchar_t* text, int radix, int n, int valueSize) {
  return ParseDigitRun(dst, text, radix, n, valueSize);
}
