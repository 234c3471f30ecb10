#include "text/codecs/hexcodec.h"

#include "text/classtable.h"
#include "text/numbers/intformat.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// Writes into dest, or with dest null only counts (to measure a layout).
template <class C>
struct Out {
  C* dest;
  int n;
  void Put(unsigned c) {
    if (dest) dest[n] = (C)c;
    ++n;
  }
};

// Index of the i-th byte in reading order. With reversal, a last group
// shorter than the group size is reversed in itself, so nothing outside the
// data is read.
inline int SourceIndex(int i, int count, int group, bool reversed) {
  if (!reversed) return i;
  if (group == 1) return count - 1 - i;
  int start = i - i % group;
  int len = count - start < group ? count - start : group;
  return start + len - 1 - i % group;
}

// bytes null: every byte counts as written (layout only).
template <class C>
int WriteHex(const unsigned char* bytes, C* dest, int count, uint32_t flags) {
  Out<C> out{dest, 0};
  if (flags & HEX_COLON_FIRST) out.Put(':');
  const unsigned blank = flags & HEX_BLANK_MASK;
  const unsigned sep = HexSeparatorOf(flags);
  const int group = sep ? HexGroupSize(flags) : 1;
  const unsigned sepAtBlank = (flags & HEX_SPACE_AT_BLANK) ? ' ' : sep;
  unsigned sinceBlank = 0;
  // After a byte: the separator where a group ends, and the blank every N
  // bytes (a separator falling there may be a space instead).
  auto boundary = [&](bool groupEnds) {
    if (blank && sinceBlank == blank) {
      if (groupEnds) out.Put(sepAtBlank);
      out.Put(' ');
      sinceBlank = 0;
    } else if (groupEnds) {
      out.Put(sep);
    }
  };
  for (int i = 0; i < count; ++i) {
    if (i > 0) boundary(sep && i % group == 0);
    unsigned b = bytes ? bytes[SourceIndex(i, count, group, (flags & HEX_REVERSED) != 0)] : 0;
    out.Put(kHexDigits[b >> 4]);
    out.Put(kHexDigits[b & 15]);
    ++sinceBlank;
  }
  if (count > 0) boundary(sep && count % group == 0 && !(flags & HEX_NO_LAST_SEP));
  if ((flags & HEX_TERMINATE) && dest) dest[out.n] = 0;
  return out.n;
}

template <class C>
inline bool IsBlank(C c) {
  return c == ' ' || c == '\t';
}

template <class C>
bool IsAcceptedSeparator(C c, uint32_t flags) {
  return (c == ':' && (flags & HEXIN_SEP_COLON)) || (c == '-' && (flags & HEXIN_SEP_MINUS)) ||
         (c == '.' && (flags & HEXIN_SEP_DOT)) || (c == ',' && (flags & HEXIN_SEP_COMMA));
}

template <class C>
int ReadHex(unsigned char* dest, uint32_t flags, const C* text, int* used) {
  // The maximum is bits 0-15 only: a fill byte or stray high bits never
  // raise it beyond what the caller sized.
  const int max = (int)(flags & HEXIN_MAX_MASK);
  int p = 0;
  while (IsBlank(text[p])) ++p;
  if (!(flags & HEXIN_KEEP_COLON) && text[p] == ':') ++p;
  int n = 0;
  while (n < max) {
    int q = p;
    for (bool sepSeen = false;; ++q) {
      if (IsBlank(text[q])) continue;
      if (sepSeen || !IsAcceptedSeparator(text[q], flags)) break;
      sepSeen = true;
    }
    if ((flags & HEXIN_QUOTED) && text[q] == '"') {
      // Quoted text stops at the maximum like everything else.
      for (++q; n < max && text[q] && text[q] != '"'; ++q) dest[n++] = (unsigned char)text[q];
      if (text[q] == '"') ++q;
      p = q;
      continue;
    }
    unsigned d = DigitValueOf(text[q]);
    if (d >= 16) break;
    ++q;
    unsigned d2 = DigitValueOf(text[q]);
    if (d2 < 16) d = d * 16 + d2, ++q;
    dest[n++] = (unsigned char)d;
    p = q;
  }
  while (IsBlank(text[p])) ++p;
  if (used) *used = p;
  if (flags & HEXIN_FILL)
    for (int i = n; i < max; ++i) dest[i] = HexFillByteOf(flags);
  return n;
}

template <class C>
int ReadPattern(unsigned char* bytes, unsigned char* mask, uint32_t flags, const C* text, int* used) {
  const uint32_t max = flags & HEXPAT_MAX_MASK;
  int p = 0;
  while (IsBlank(text[p])) ++p;
  if (text[p] == ':') ++p;
  uint32_t n = 0;
  unsigned value = 0, known = 0;
  int bits = 0;
  bool binary = false;
  // Stores the byte in progress; its missing high bits are unknown, or
  // known to be 0.
  auto store = [&](bool highKnown) {
    if (!bits) return;
    bytes[n] = (unsigned char)value;
    mask[n] = (unsigned char)(known | (highKnown ? (0xFFu << bits) & 0xFF : 0));
    ++n;
    value = known = 0;
    bits = 0;
  };
  while (n < max) {
    C c = text[p];
    if (IsBlank(c)) {
      store(false);
      binary = false;
    } else if (c == '#' || c == ':') {
      store(false);
      binary = true;
    } else if (c == '"' && (flags & HEXIN_QUOTED)) {
      store(true);
      for (++p; n < max && text[p] && text[p] != '"'; ++p, ++n) {
        bool unknown = text[p] == '?';
        bytes[n] = unknown ? 0 : (unsigned char)text[p];
        mask[n] = unknown ? 0 : 0xFF;
      }
      if (text[p] != '"') break;
    } else {
      int width = binary ? 1 : 4;
      unsigned d = binary ? (c == '0' || c == '1' ? (unsigned)(c - '0') : 16u) : DigitValueOf(c);
      if (d < (binary ? 2u : 16u)) {
        value = value << width | d;
        known = known << width | ((1u << width) - 1);
      } else if (c == '?') {
        value <<= width;
        known <<= width;
      } else {
        break;
      }
      bits += width;
      if (bits == 8) store(true);
    }
    ++p;
  }
  store(true);
  while (IsBlank(text[p])) ++p;
  if (used) *used = p;
  return (int)n;
}

template <class C>
int WritePattern(C* dest, int size, const unsigned char* bytes, const unsigned char* mask, int count, uint32_t flags,
                 C bitsMark) {
  const int limit = (flags & HEXPAT_TERMINATE) ? size - 1 : size;
  const unsigned blank = flags & HEX_BLANK_MASK, sep = HexSeparatorOf(flags);
  int pos = 0;
  auto fits = [&](int k) { return pos + k <= limit; };
  if ((flags & HEXPAT_COLON_FIRST) && fits(1)) dest[pos++] = ':';
  for (int i = 0; i < count; ++i) {
    int src = (flags & HEXPAT_REVERSED) ? count - 1 - i : i;
    unsigned b = bytes[src], m = mask[src];
    if (m == 0xFF || m == 0xF0 || m == 0x0F || m == 0) {
      if (!fits(2)) break;
      dest[pos++] = (C)((m & 0xF0) ? kHexDigits[b >> 4] : '?');
      dest[pos++] = (C)((m & 0x0F) ? kHexDigits[b & 15] : '?');
    } else {
      if (!fits(9)) break;
      dest[pos++] = bitsMark;
      for (int bit = 7; bit >= 0; --bit) dest[pos++] = (C)(!(m >> bit & 1) ? '?' : (b >> bit & 1) ? '1' : '0');
    }
    if (sep) {
      if (!fits(1)) break;
      dest[pos++] = (C)sep;
    }
    if (blank && (i + 1) % blank == 0) {
      if (!fits(1)) break;
      dest[pos++] = ' ';
    }
  }
  if (flags & HEXPAT_TRIM)
    while (pos > 0 && (dest[pos - 1] == ' ' || (sep && dest[pos - 1] == (C)sep))) --pos;
  if ((flags & HEXPAT_TERMINATE) && size >= 1) dest[pos] = 0;
  return pos;
}

inline int FormatAddress(int64_t a, char* dest, uint32_t flags) { return FormatInt64A(a, dest, flags); }
inline int FormatAddress(int64_t a, wchar_t* dest, uint32_t flags) { return FormatInt64W(a, dest, flags); }

template <class C>
int DumpLine(C* dest, int64_t address, const unsigned char* data, int count, int lineLength, uint32_t flags) {
  if (count > lineLength) count = lineLength;
  if (count < 0) count = 0;
  int pos = 0;
  if (unsigned w = HexDumpAddressDigitsOf(flags))
    pos += FormatAddress(address, dest + pos, 16 | FORMAT_RADIX | FORMAT_MAX_DIGITS | FormatWidth(w));
  if (flags & HEXDUMP_H_SUFFIX) dest[pos++] = 'h';
  if (flags & HEXDUMP_DECIMAL) {
    if (flags & HEXDUMP_DEC_TAB) dest[pos++] = '\t';
    if (flags & HEXDUMP_DEC_SPACE) dest[pos++] = ' ';
    if (flags & HEXDUMP_DEC_PARENS) dest[pos++] = '(';
    pos += FormatAddress(address, dest + pos, FORMAT_UNSIGNED | FormatWidth(flags >> HEXDUMP_DEC_DIGITS_SHIFT));
    if (flags & HEXDUMP_DEC_PARENS) dest[pos++] = ')';
  }
  const C fill = (flags & HEXDUMP_TAB_FILL) ? '\t' : ' ';
  for (unsigned i = HexDumpHexFillOf(flags); i; --i) dest[pos++] = fill;

  // The hex part takes the width of a full line, so that the text columns
  // of short lines line up; the separator and blank that end a full line
  // are taken back.
  const uint32_t hexFlags = (flags & HEXDUMP_BLANK_MASK) | (flags & HEXDUMP_REVERSED ? HEX_REVERSED : 0) |
                            (flags & HEXDUMP_GROUP_SPACE ? HexSeparator(' ') : 0) | (flags & HEXDUMP_GROUP_MASK);
  const int blank = flags & HEXDUMP_BLANK_MASK, group = HexGroupSize(flags);
  const int fullWidth = WriteHex<C>(nullptr, nullptr, lineLength, hexFlags);
  const int written = WriteHex<C>(data, dest + pos, count, hexFlags);
  for (int i = written; i < fullWidth; ++i) dest[pos + i] = ' ';
  int trailing = 0;
  if (lineLength > 0) {
    if ((flags & HEXDUMP_GROUP_SPACE) && lineLength % group == 0) ++trailing;
    if (blank && lineLength % blank == 0) ++trailing;
  }
  pos += fullWidth - trailing;

  for (unsigned i = HexDumpTextFillOf(flags); i; --i) dest[pos++] = fill;
  if (!(flags & HEXDUMP_NO_TEXT)) {
    for (int i = 0; i < count; ++i) dest[pos++] = (C)(data[i] >= 0x20 ? data[i] : '.');
    for (int i = count; i < lineLength; ++i) dest[pos++] = ' ';
  }
  dest[pos] = 0;
  return pos;
}

inline const unsigned char* Bytes(const void* p) { return static_cast<const unsigned char*>(p); }
inline unsigned char* Bytes(void* p) { return static_cast<unsigned char*>(p); }

}  // namespace

int BytesToHexA(const void* bytes, char* dest, int count, uint32_t flags) {
  return WriteHex(Bytes(bytes), dest, count, flags);
}
int BytesToHexW(const void* bytes, wchar_t* dest, int count, uint32_t flags) {
  return WriteHex(Bytes(bytes), dest, count, flags);
}

int HexToBytesA(void* dest, uint32_t maxAndFlags, const char* text, int* used) {
  return ReadHex(Bytes(dest), maxAndFlags, text, used);
}
int HexToBytesW(void* dest, uint32_t maxAndFlags, const wchar_t* text, int* used) {
  return ReadHex(Bytes(dest), maxAndFlags, text, used);
}

int HexPatternToBytesA(void* bytes, void* mask, uint32_t maxAndFlags, const char* text, int* used) {
  return ReadPattern(Bytes(bytes), Bytes(mask), maxAndFlags, text, used);
}
int HexPatternToBytesW(void* bytes, void* mask, uint32_t maxAndFlags, const wchar_t* text, int* used) {
  return ReadPattern(Bytes(bytes), Bytes(mask), maxAndFlags, text, used);
}

int BytesToHexPatternA(char* dest, int size, const void* bytes, const void* mask, int count, uint32_t flags) {
  return WritePattern(dest, size, Bytes(bytes), Bytes(mask), count, flags, (flags & HEXPAT_COLON_BITS) ? ':' : '#');
}
int BytesToHexPatternW(wchar_t* dest, int size, const void* bytes, const void* mask, int count, uint32_t flags) {
  return WritePattern(dest, size, Bytes(bytes), Bytes(mask), count, flags, L'#');
}

int HexDumpLineA(char* dest, int64_t address, const void* data, int count, int lineLength, uint32_t flags) {
  return DumpLine(dest, address, Bytes(data), count, lineLength, flags);
}
int HexDumpLineW(wchar_t* dest, int64_t address, const void* data, int count, int lineLength, uint32_t flags) {
  return DumpLine(dest, address, Bytes(data), count, lineLength, flags);
}
