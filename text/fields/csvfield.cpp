#include "text/fields/csvfield.h"

#include "text/classtable.h"

namespace {

const uint32_t kFieldEnd = CC_NUL | CC_NEWLINE;  // ends an unquoted field
const uint32_t kNeedsQuotes = CC_TAB | CC_NEWLINE | CC_DQUOTE;
const int kQuotedMinimum = 4;  // a quote pair, the separator and the terminator

template <class C>
int ReadField(const C* text, int* copied, C* dest, int size, int tn, C separator) {
  int stored = 0, i = 0;
  auto store = [&](C c) {
    if (stored < size - 1) dest[stored++] = c;
  };
  if (tn >= 1) {
    if (text[0] == '"') {
      for (i = 1; i < tn && text[i];) {
        if (text[i] == '"') {
          if (i + 1 < tn && text[i + 1] == '"') {
            store('"');
            i += 2;
            continue;
          }
          ++i;  // the closing quote
          break;
        }
        store(text[i++]);
      }
      for (; i < tn; ++i) {
        if (text[i] == separator) {
          ++i;
          break;
        }
        if (CharClassOf(text[i]) & kFieldEnd) break;
      }
    } else {
      for (; i < tn && text[i] != separator && !(CharClassOf(text[i]) & kFieldEnd); ++i) store(text[i]);
      if (i < tn && text[i] == separator) ++i;
    }
  }
  if (size >= 1) dest[stored] = 0;
  if (copied) *copied = stored;
  return i;
}

template <class C>
int WriteField(const C* field, C* dest, int size, int fn, C separator) {
  if (size < 2) {
    if (size == 1) dest[0] = 0;
    return 0;
  }
  int n = 0;
  while (n < fn && field[n]) ++n;
  bool quote = n > 0 && ((CharClassOf(field[0]) & CC_BLANK) || (CharClassOf(field[n - 1]) & CC_BLANK));
  for (int i = 0; i < n && !quote; ++i)
    quote = field[i] == separator || CharCode(field[i]) > 255 || (CharClassOf(field[i]) & kNeedsQuotes);
  int w = 0;
  if (!quote) {
    w = n < size - 1 ? n : size - 2;  // a full destination gives its last place to the separator
    for (int i = 0; i < w; ++i) dest[i] = field[i];
  } else if (size >= kQuotedMinimum) {
    dest[w++] = '"';
    for (int i = 0; i < n; ++i) {
      const int need = field[i] == '"' ? 2 : 1;
      if (w + need + 3 > size) break;  // room for the closing quote, separator and terminator
      dest[w++] = field[i];
      if (need == 2) dest[w++] = '"';
    }
    dest[w++] = '"';
  }
  dest[w++] = separator;
  dest[w] = 0;
  return w;
}

}  // namespace

int ReadCsvFieldA(const char* t, int* copied, char* d, int size, int tn, char sep) {
  return ReadField(t, copied, d, size, tn, sep);
}
int ReadCsvFieldW(const wchar_t* t, int* copied, wchar_t* d, int size, int tn, wchar_t sep) {
  return ReadField(t, copied, d, size, tn, sep);
}
int WriteCsvFieldA(const char* f, char* d, int size, int fn, char sep) { return WriteField(f, d, size, fn, sep); }
int WriteCsvFieldW(const wchar_t* f, wchar_t* d, int size, int fn, wchar_t sep) {
  return WriteField(f, d, size, fn, sep);
}
