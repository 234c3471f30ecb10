#include "text/numbers/numberlist.h"

#include <cstring>

#include "text/classtable.h"
#include "text/spans.h"
#include "text/numbers/intparse.h"
#include "text/twins.h"

const uint32_t NumberListRadixTable[8] = {PARSE_AUTO, 2, 10, 8, 16, PARSE_AUTO, PARSE_AUTO, PARSE_AUTO};
const char NumberListSeparatorTable[8] = {0, ';', '.', ':', ',', 0, '-', '\t'};

namespace {

// Blanks skipped around numbers and separators, by separator index.
const uint32_t kBlanks[8] = {CC_TABSPACE | CC_DOT | CC_COMMA | CC_SEMICOLON | CC_COLON,
                             CC_TABSPACE,
                             CC_TABSPACE,
                             CC_TABSPACE,
                             CC_TABSPACE,
                             CC_TABSPACE,
                             CC_TABSPACE,
                             CC_SPACE};

inline int ParseNumber(const char* p, uint32_t flags, int* end) { return ParseIntA(p, flags, end); }
inline int ParseNumber(const wchar_t* p, uint32_t flags, int* end) { return ParseIntW(p, flags, end); }

// Whether the n characters that the integer parser took hold more than
// blanks and a sign: every number has a letter or digit.
template <class C>
bool HasDigit(const C* p, int n) {
  for (int i = 0; i < n; ++i)
    if (CharClassOf(p[i]) & CC_ALNUM) return true;
  return false;
}

template <class C>
int ParseNumberList(const C* text, void* array, int maxCount, uint32_t flags, int* consumed) {
  const int rowCount = (int)(flags & 0xFF);
  const bool rows = rowCount != 0;
  const int size = (int)((flags >> 8) & 3) + 1;
  const uint32_t parseFlags = rows ? 16 : NumberListRadixTable[(flags >> 12) & 7];
  const int sepIndex = (int)((flags >> 16) & 7);
  const unsigned separator = (unsigned char)NumberListSeparatorTable[sepIndex];
  const uint32_t blanks = kBlanks[sepIndex];
  if (maxCount < 0) maxCount = 0;
  unsigned char* out = (unsigned char*)array;
  int stored = 0;

  const C* p = text + twins::SpanClass(text, blanks);
  bool quoted = false;
  if ((flags & NLIST_QUOTED) && *p == '"') {
    quoted = true;
    ++p;
    p += twins::SpanClass(p, blanks);
  }
  auto stops = [quoted](const C* q) { return *q == 0 || (quoted && *q == ' '); };

  while (!stops(p)) {
    if (rows) {
      if (*p == '[') {
        ++p;
        p += twins::SpanClass(p, CC_IDENT | CC_HIGH | CC_TAB);
        if (*p == ']') {
          ++p;
          p += twins::SpanClass(p, blanks);
        }
      } else {
        // A run of exactly one element's hex digits is the first number.
        int n = twins::SpanClass(p, CC_IDENT);
        if (n != 2 * size) {
          p += n;
          p += twins::SpanClass(p, blanks);
        }
      }
    }
    for (int k = 0; !rows || k < rowCount; ++k) {
      const C* start = p;
      bool negate = false;
      if (*p == '-' && sepIndex <= NLIST_SEP_SEMICOLON) {
        if (!(flags & NLIST_SIGN) || !(CharClassOf(p[1]) & CC_ALNUM)) break;
        negate = true;
        ++p;
      }
      int length = 0;
      uint32_t value = (uint32_t)ParseNumber(p, parseFlags, &length);
      if (!HasDigit(p, length)) length = 0;  // blanks or a sign alone are no number
      if (negate) value = 0 - value;
      p += length;
      p += twins::SpanClass(p, blanks);
      const bool separated = separator && *p != 0 && CharCode(*p) == separator;
      if (length == 0 && !separated) {
        p = start;
        break;
      }
      if (stored < maxCount) {
        for (int b = 0; b < size; ++b) out[stored * size + b] = (unsigned char)(value >> (8 * b));
        ++stored;
      }
      if (separated) {
        ++p;
        p += twins::SpanClass(p, blanks);
      } else if (separator && *p != 0) {
        break;  // anything but the separator ends the row after this element
      }
    }

    if (!(flags & (NLIST_MULTILINE | NLIST_CONTINUATION))) break;
    if (rows)
      while (!stops(p) && *p != '\r' && *p != '\n') ++p;
    if (flags & NLIST_CONTINUATION) {
      if (rows) {
        if (p == text || p[-1] != '\\') break;
      } else {
        if (*p != '\\') break;
        ++p;
      }
    }
    if (*p == '\r')
      p += p[1] == '\n' ? 2 : 1;
    else if (*p == '\n')
      ++p;
    else
      break;
    p += twins::SpanClass(p, CC_TAB | CC_HIGH);
  }

  if (consumed) *consumed = (int)(p - text);
  if (stored < maxCount && (flags & (NLIST_FILL_ZERO | NLIST_FILL_FF)))
    memset(out + stored * size, (flags & NLIST_FILL_ZERO) ? 0 : 0xFF, (size_t)(maxCount - stored) * size);
  return stored;
}

}  // namespace

int ParseNumberListA(const char* text, void* array, int maxCount, uint32_t flags, int* consumed) {
  return ParseNumberList(text, array, maxCount, flags, consumed);
}
int ParseNumberListW(const wchar_t* text, void* array, int maxCount, uint32_t flags, int* consumed) {
  return ParseNumberList(text, array, maxCount, flags, consumed);
}
