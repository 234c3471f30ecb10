#include "viewers/tools/valuetext.h"

#include <cstring>

#include "text/codecs/cliteral.h"
#include "text/codecs/hexcodec.h"
#include "text/numbers/intformat.h"
#include "text/numbers/intparse.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) p++;
  return p;
}

// The number kinds after an optional '-': -1 when no number starts there.
int NumberKind(const char* p) {
  if (*p == '-') p++;
  if (!IsDigit(*p)) return -1;
  if (p[0] == '0') {
    switch (p[1]) {
      case 'x':
      case 'X':
        return VALUE_HEX;
      case 'b':
      case 'B':
        return VALUE_BINARY;
      case 'o':
      case 'O':
        return VALUE_OCTAL;
    }
  }
  return VALUE_DECIMAL;
}

// Hex dumps longer than one call of the reader allows (its maximum is 16 bits).
int ReadDump(const char* text, unsigned char* out, int size) {
  int total = 0;
  uint32_t extra = 0;
  while (total < size) {
    int chunk = size - total > (int)HEXIN_MAX_MASK ? (int)HEXIN_MAX_MASK : size - total;
    int used = 0;
    int n = HexToBytesA(out + total, (uint32_t)chunk | extra, text, &used);
    total += n;
    text += used;
    extra = HEXIN_KEEP_COLON;  // a ':' after the first chunk is no start of a dump
    if (n < chunk || used == 0) break;
  }
  return total;
}

int DigitsFor8Bytes(int radix) {
  switch (radix) {
    case 2:
      return 33;
    case 8:
      return 12;
  }
  return 9;
}

}  // namespace

int ClassifyValueText(const char* text) {
  const char* p = SkipBlanks(text);
  if (!*p) return VALUE_EMPTY;
  if (*p == ':') {
    for (const char* q = p + 1; *q && *q != '('; q++)
      if (*q == ':' || *q == '#' || *q == '?') return VALUE_PATTERN;
    return VALUE_DUMP;
  }
  int kind = NumberKind(p);
  return kind >= 0 ? kind : VALUE_TEXT;
}

int ParseValueTextEx(const char* text, void* buffer, uint32_t sizeAndFlags, bool patternAllowed) {
  bool utf16 = (sizeAndFlags & VALUE_UTF16) != 0;
  int size = (int)(sizeAndFlags & ~VALUE_UTF16);
  if (size <= 0) return 0;
  unsigned char* out = static_cast<unsigned char*>(buffer);
  const char* p = SkipBlanks(text);
  int kind = ClassifyValueText(p);
  if (kind == VALUE_TEXT) {
    // The decoder takes its size below its flag bits.
    uint32_t room = (uint32_t)size > 0x07FFFFFFu ? 0x07FFFFFFu : (uint32_t)size;
    return DecodeCStringLiteralA(out, room | (utf16 ? (uint32_t)CLIT_RAW_UTF16 : 0u), p, nullptr);
  }
  if (kind == VALUE_PATTERN && patternAllowed) {
    int half = size / 2;
    if (half < 1) return 0;
    int n = HexPatternToBytesA(out, out + half, (uint32_t)half & HEXPAT_MAX_MASK, p, nullptr);
    std::memmove(out + n, out + half, (size_t)n);
    return 2 * n;
  }
  if (kind == VALUE_DUMP || kind == VALUE_PATTERN) return ReadDump(p, out, size);

  // Numbers and the empty text.
  bool negative = *p == '-';
  const char* digits = negative ? p + 1 : p;
  int used = 0;
  uint64_t value = (uint64_t)ParseInt64A(digits, PARSE_NO_MINUS | PARSE_NO_BLANKS, &used);
  int radix = 10;
  if (used > 2 && digits[0] == '0' && !IsDigit(digits[1])) {
    used -= 2;
    radix = kind == VALUE_HEX ? 16 : kind == VALUE_BINARY ? 2 : kind == VALUE_OCTAL ? 8 : 10;
  }
  if (negative) value = 0 - value;
  int bytes = used >= DigitsFor8Bytes(radix) ? 8 : 4;
  if (bytes > size) bytes = size;
  for (int i = 0; i < bytes; i++) out[i] = (unsigned char)(value >> (8 * i));
  return bytes;
}

int ParseValueText(const char* text, void* buffer, uint32_t sizeAndFlags) {
  return ParseValueTextEx(text, buffer, sizeAndFlags, true);
}

int FormatValueBytes(const void* bytes, int count, char* text, int size, int kind) {
  if (!text || size < 1) return 0;
  text[0] = 0;
  const unsigned char* b = static_cast<const unsigned char*>(bytes);
  if (count < 0) count = 0;
  switch (kind) {
    case VALUE_DECIMAL:
    case VALUE_HEX:
    case VALUE_BINARY:
    case VALUE_OCTAL: {
      static const uint32_t kStyles[] = {FORMAT_SIGNED, FORMAT_0X, FORMAT_0B, FORMAT_0O};
      int n = count > 8 ? 8 : count;
      uint64_t v = 0;
      for (int i = 0; i < n; i++) v |= (uint64_t)b[i] << (8 * i);
      if (n > 0 && n < 8 && (b[n - 1] & 0x80)) v |= ~0ull << (8 * n);
      char number[80];
      int len;
      if (n <= 4) {
        len = FormatIntA((int32_t)(uint32_t)v, number, kStyles[kind]);
      } else if (kind == VALUE_BINARY) {
        // All 8 n digits: the formatter writes at most 32 binary digits, or 63 with a maximum.
        len = 0;
        number[len++] = '0';
        number[len++] = 'b';
        for (int bit = 8 * n - 1; bit >= 0; bit--) number[len++] = (char)('0' + ((v >> bit) & 1));
        number[len] = 0;
      } else {
        // Enough digits that the text reads back as 8 bytes.
        int w = kind == VALUE_DECIMAL ? 9 + ((int64_t)v < 0) : kind == VALUE_HEX ? 2 * n : (8 * n + 2) / 3;
        len = FormatInt64A((int64_t)v, number, kStyles[kind] | FormatWidth(w));
      }
      if (len > size - 1) len = size - 1;
      std::memcpy(text, number, (size_t)len);
      text[len] = 0;
      return len;
    }
    case VALUE_TEXT: {
      while (count > 0 && b[count - 1] == 0) count--;
      return QuoteCStringA(text, size, b, count, 0);
    }
    case VALUE_DUMP: {
      int fit = (size - 2) / 3;  // ':' and three characters a byte, the last one's blank for the NUL
      if (count > fit) count = fit < 0 ? 0 : fit;
      return BytesToHexA(b, text, count, 0xB0002000);
    }
    case VALUE_PATTERN: {
      int half = count / 2;
      return BytesToHexPatternA(text, size, b, b + half, half, 0xB0002000);
    }
    case VALUE_UNICODE: {
      int units = count / 2;
      while (units > 0 && b[2 * units - 1] == 0 && b[2 * units - 2] == 0) units--;
      return QuoteCStringA(text, size, b, 2 * units, CLIT_RAW_UTF16);
    }
  }
  return 0;
}
