#include "text/web/webdecode.h"

#include <type_traits>

#include "text/classtable.h"
#include "text/codecs/utf.h"
#include "text/tokens/charset.h"
#include "text/twins.h"
#include "text/web/htmlentity.h"

namespace {

constexpr unsigned kEuro = 0x20AC;
constexpr uint32_t kWordClasses =
    CC_DIGIT | CC_UPPER | CC_LOWER | CC_UNDERSCORE | CC_HIGH | CC_LATIN1_UPPER | CC_LATIN1_LOWER;

template <class Char>
unsigned Unit(Char c) {
  return (unsigned)(typename std::make_unsigned<Char>::type)c;
}

// Above 255 every character counts as part of a word.
inline bool IsWordUnit(unsigned u) { return u > 255 || (CharClassTable[u] & kWordClasses); }

inline bool IsIdentUnit(unsigned u) { return u <= 255 && (CharClassTable[u] & CC_IDENT); }

int FindStop(const char* s, const CharBitSet* set, int n) { return FindInSetNA(s, set, n); }
int FindStop(const wchar_t* s, const CharBitSet* set, int n) { return FindInSetNW(s, set, n); }

void SetBit(CharBitSet* set, unsigned c) { set->words[c / 32] |= 1u << (c % 32); }

CharBitSet AttentionSet(uint32_t flags) {
  CharBitSet set = {};
  SetBit(&set, 0);
  if (flags & WEBDEC_REFERENCES) SetBit(&set, '&');
  if (flags & WEBDEC_PERCENT) SetBit(&set, '%');
  if (flags & (WEBDEC_STOP_AT_TAG | WEBDEC_SKIP_TAGS | WEBDEC_BR_LF | WEBDEC_BR_CRLF)) SetBit(&set, '<');
  if (flags & WEBDEC_PLUS_BLANK) SetBit(&set, '+');
  if (flags & WEBDEC_JOIN_LINES) SetBit(&set, '\r'), SetBit(&set, '\n');
  if (flags & (WEBDEC_COLLAPSE_BLANKS | WEBDEC_COLLAPSE_TABS)) SetBit(&set, ' ');
  if (flags & WEBDEC_COLLAPSE_TABS) SetBit(&set, '\t');
  if (flags & WEBDEC_UTF8)
    for (unsigned c = 0xC0; c < 0x100; ++c) SetBit(&set, c);
  return set;
}

// The output: Latin-1 bytes, or UTF-16 units.
template <class Out>
struct Writer {
  Out* dest;
  int limit;  // characters before the terminator
  int at = 0;

  int Room() const { return limit - at; }
  unsigned Last() const { return at ? Unit(dest[at - 1]) : 0; }
  // Writes one decoded value whole, or nothing: false when it does not fit.
  bool Put(int value) {
    if (sizeof(Out) == 1) {
      if (value == (int)kEuro) {
        // Cut to the room left, as the text says.
        const char* euro = "Euro";
        int n = Room() < 4 ? Room() : 4;
        for (int i = 0; i < n; ++i) dest[at++] = (Out)euro[i];
        return n == 4;
      }
      if (Room() < 1) return false;
      dest[at++] = (Out)(value < 0 || value > 255 ? 0xFF : value);
      return true;
    }
    unsigned v = value < 0 ? 0xFF : (unsigned)value;
    if (Room() < Utf16CharLength(v)) return false;
    at += EncodeUtf16Char((wchar_t*)dest + at, v);
    return true;
  }
};

// The UTF-8 sequence at s (n characters left); 16-bit units above 255 are
// no bytes of it.
int DecodeUtf8At(const char* s, int n, unsigned* value) { return DecodeUtf8CharN(s, n, value); }
int DecodeUtf8At(const wchar_t* s, int n, unsigned* value) {
  char bytes[4];
  int k = 0;
  while (k < 4 && k < n && Unit(s[k]) < 256) bytes[k] = (char)s[k], ++k;
  if (k == 0) {
    *value = Unit(s[0]);
    return 1;
  }
  return DecodeUtf8CharN(bytes, k, value);
}

int HexDigit(unsigned u) {
  if (u - '0' < 10) return (int)(u - '0');
  if ((u | 0x20) - 'a' < 6) return (int)((u | 0x20) - 'a' + 10);
  return -1;
}

template <class In, class Out>
int Decode(const In* src, int length, Out* dest, int size, uint32_t flags, int* used) {
  if (size < 1) {
    if (used) *used = 0;
    return 0;
  }
  const int n = length < 0 ? twins::Length(src) : length;
  const CharBitSet set = AttentionSet(flags);
  const HtmlEntity* table = flags & WEBDEC_XML_NAMES ? XmlEntityTable() : HtmlEntityTable;
  const int tableCount = flags & WEBDEC_XML_NAMES ? XML_ENTITY_COUNT : HTML_ENTITY_COUNT;
  Writer<Out> out{dest, size - 1};
  int i = 0;
  while (i < n) {
    int k = FindStop(src + i, &set, n - i);
    int copy = k < out.Room() ? k : out.Room();
    for (int j = 0; j < copy; ++j) dest[out.at++] = (Out)Unit(src[i + j]);
    i += copy;
    if (copy < k || i >= n) break;
    unsigned c = Unit(src[i]);
    int value = -2;  // none to write
    int next = i + 1;
    if (c == 0) {
      value = ' ';
    } else if (c == ' ' || c == '\t') {
      unsigned last = out.Last();
      if (out.at && last != ' ' && last != '\t' && last != '\r' && last != '\n') value = ' ';
    } else if (c == '\r' || c == '\n') {
      if (out.at && IsWordUnit(out.Last()) && next < n && IsWordUnit(Unit(src[next]))) value = ' ';
    } else if (c == '%') {
      int v = 0, d = 0, h;
      while (d < 2 && next + d < n && (h = HexDigit(Unit(src[next + d]))) >= 0) v = v * 16 + h, ++d;
      value = d ? v : '%';
      next += d;
    } else if (c == '&') {
      int v;
      int r = sizeof(In) == 1 ? LookupHtmlEntityNA((const char*)src + next, n - next, &v, table, tableCount)
                              : LookupHtmlEntityNW((const wchar_t*)src + next, n - next, &v, table, tableCount);
      value = v;
      next += r;
    } else if (c == '+') {
      value = ' ';
    } else if (c == '<') {
      if (flags & WEBDEC_STOP_AT_TAG) break;
      if ((flags & (WEBDEC_BR_LF | WEBDEC_BR_CRLF)) && n - next >= 3 && (src[next] | 0x20) == 'b' &&
          (src[next + 1] | 0x20) == 'r' && !IsIdentUnit(Unit(src[next + 2]))) {
        bool crlf = (flags & WEBDEC_BR_CRLF) != 0;
        if (crlf && out.Room() >= 1) dest[out.at++] = '\r';
        if (out.Room() >= 1) dest[out.at++] = '\n';
      }
      while (next < n && src[next] != '>') ++next;
      if (next < n) ++next;  // a tag without ">" ends the text
    } else {
      // 0xC0-0xFF (and 16-bit units above): UTF-8; an invalid sequence
      // gives its first byte.
      unsigned v;
      next += DecodeUtf8At(src + i, n - i, &v) - 1;
      value = (int)v;
    }
    if (value != -2 && !out.Put(value)) break;
    i = next;
  }
  dest[out.at] = 0;
  if (used) *used = i;
  return out.at;
}

}  // namespace

int DecodeWebTextA(const char* source, int length, char* dest, int size, uint32_t flags, int* used) {
  return Decode(source, length, dest, size, flags, used);
}
int DecodeWebTextUtf8ToW(const char* source, int length, wchar_t* dest, int size, uint32_t flags, int* used) {
  return Decode(source, length, dest, size, flags, used);
}
int DecodeWebTextW(const wchar_t* source, int length, wchar_t* dest, int size, uint32_t flags, int* used) {
  return Decode(source, length, dest, size, flags, used);
}
