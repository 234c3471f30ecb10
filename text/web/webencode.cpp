#include "text/web/webencode.h"

#include <type_traits>

#include "text/codecs/utf.h"
#include "text/tokens/charset.h"
#include "text/twins.h"

namespace {

template <class Char>
unsigned Unit(Char c) {
  return (unsigned)(typename std::make_unsigned<Char>::type)c;
}

void SetBit(CharBitSet* set, unsigned c) { set->words[c / 32] |= 1u << (c % 32); }
void SetBits(CharBitSet* set, const char* chars) {
  for (; *chars; ++chars) SetBit(set, (unsigned char)*chars);
}

CharBitSet EscapeSet(uint32_t flags) {
  CharBitSet set = {};
  SetBit(&set, 0);
  for (unsigned c = 0x80; c < 0x100; ++c) SetBit(&set, c);
  if (flags & WEBENC_URL) {
    for (unsigned c = 1; c < 0x20; ++c) SetBit(&set, c);
    SetBits(&set, " !\"#$%&'()*+,/:;<=>?@\\");
  } else {
    SetBits(&set, "\"&'<>");
  }
  if (flags & WEBENC_SEPARATORS) SetBits(&set, "/:\\");
  if (flags & WEBENC_PLUS) SetBit(&set, ' ');
  if (flags & WEBENC_BR_LF) SetBit(&set, '\n');
  if (flags & WEBENC_BR_CR) SetBit(&set, '\r');
  return set;
}

int FindStop(const char* s, const CharBitSet* set, int n) { return FindInSetNA(s, set, n); }
int FindStop(const wchar_t* s, const CharBitSet* set, int n) { return FindInSetNW(s, set, n); }

int PutText(char* d, const char* text) {
  int n = 0;
  while (text[n]) d[n] = text[n], ++n;
  return n;
}

int PutReference(char* d, unsigned value) {
  char digits[10];
  int k = 0;
  do {
    digits[k++] = (char)('0' + value % 10);
    value /= 10;
  } while (value);
  int n = PutText(d, "&#");
  while (k) d[n++] = digits[--k];
  d[n++] = ';';
  return n;
}

// The character at s (n left): one unit, or a joined surrogate pair.
unsigned CharAt(const char* s, int, int* units) {
  *units = 1;
  return (unsigned char)*s;
}
unsigned CharAt(const wchar_t* s, int n, int* units) {
  unsigned v = Unit(s[0]);
  if (n >= 2 && IsHighSurrogate(v) && IsLowSurrogate(Unit(s[1]))) {
    *units = 2;
    return JoinSurrogates(v, Unit(s[1]));
  }
  *units = 1;
  return v;
}

template <class In>
int Encode(const In* src, int length, char* dest, int size, uint32_t flags, int* used) {
  int i = 0, at = 0;
  if (size >= WEBENC_MIN_SIZE) {
    const int n = length < 0 ? twins::Length(src) : length;
    const CharBitSet set = EscapeSet(flags);
    const bool url = (flags & WEBENC_URL) != 0;
    const int limit = size - 1;
    while (i < n) {
      int k = FindStop(src + i, &set, n - i);
      int room = limit - at;
      int copy = k < room ? k : room;
      for (int j = 0; j < copy; ++j) dest[at++] = (char)src[i + j];
      i += copy;
      if (copy < k || i >= n) break;
      int units = 1;
      unsigned c = CharAt(src + i, n - i, &units);
      char escape[16];
      int e;
      if (c == 0) {
        e = PutText(escape, url ? "%00" : " ");
      } else if (c == ' ' && (flags & WEBENC_PLUS)) {
        e = PutText(escape, "+");
      } else if (c == '\r' && (flags & WEBENC_BR_CR)) {
        if (i + 1 >= n) break;  // the next piece sees CR LF whole
        if (Unit(src[i + 1]) == '\n') {
          units = 2;
          e = PutText(escape, "<br>");
        } else {
          e = PutText(escape, "\r<br>");
        }
      } else if (c == '\n' && (flags & WEBENC_BR_LF)) {
        e = PutText(escape, "<br>");
      } else if (c >= 0x80 && (flags & WEBENC_UTF8)) {
        e = EncodeUtf8Char(escape, c);
      } else if (c > 255 || !url) {
        e = PutReference(escape, c);
      } else {
        static const char kHex[] = "0123456789ABCDEF";
        escape[0] = '%', escape[1] = kHex[c >> 4], escape[2] = kHex[c & 15];
        e = 3;
      }
      if (e > limit - at) break;
      for (int j = 0; j < e; ++j) dest[at++] = escape[j];
      i += units;
    }
  }
  if (size >= 1) dest[at] = 0;
  if (used) *used = i;
  return at;
}

}  // namespace

int EncodeWebTextA(const char* source, int length, char* dest, int size, uint32_t flags, int* used) {
  return Encode(source, length, dest, size, flags, used);
}
int EncodeWebTextW(const wchar_t* source, int length, char* dest, int size, uint32_t flags, int* used) {
  return Encode(source, length, dest, size, flags, used);
}
