#include <mbstring.h>

#include <cstring>

#include "app/search/regsearch.h"
#include "text/numbers/intformat.h"
#include "text/numbers/intparse.h"
#include "text/search/patternmatch.h"
#include "text/search/strsearch.h"
#include "text/spans.h"

int MatchContainsNoCase(const char* candidate, const char* text, int) {
  return FindSubstrNoCaseA(candidate, text) >= 0 ? 0 : 1;
}

int MatchContains(const char* candidate, const char* text, int) { return FindSubstrA(candidate, text) >= 0 ? 0 : 1; }

int MatchWholeNoCase(const char* candidate, const char* text, int) {
  return _mbsicmp((const unsigned char*)candidate, (const unsigned char*)text) != 0;
}

int MatchWhole(const char* candidate, const char* text, int) {
  return _mbscmp((const unsigned char*)candidate, (const unsigned char*)text) != 0;
}

int MatchSpecialNoCase(const char* candidate, const char* text, int textLength) {
  return MatchPatternNA(text, textLength, candidate, (int)strlen(candidate), MATCH_IGNORE_CASE) != 0;
}

int MatchSpecial(const char* candidate, const char* text, int textLength) {
  return MatchPatternNA(text, textLength, candidate, (int)strlen(candidate), 0) != 0;
}

RegMatchFn SelectMatchFunction(int mode, int matchCase) {
  static const RegMatchFn table[3][2] = {
      {MatchContainsNoCase, MatchContains}, {MatchWholeNoCase, MatchWhole}, {MatchSpecialNoCase, MatchSpecial}};
  if (mode < 0 || mode > 2) mode = 0;
  return table[mode][matchCase ? 1 : 0];
}

void RegSearchState::Setup(int searchFlags, int searchMode, int matchCase, const char* searchText) {
  flags = searchFlags;
  mode = searchMode;
  text = searchText ? searchText : "";
  textLength = text.GetLength();
  const char* s = text;
  int end = 0;
  number = ParseInt64A(s, PARSE_SKIP_TRAILING | PARSE_EXACT, &end);
  // A number is what starts with a digit (or a minus and a digit, so that
  // -1 finds 0xFFFFFFFF) and is parsed to its end: "42 x" is text, and so is
  // a number wider than 64 bits (it found the value it wrapped to).
  const char* p = s + SpanClassA(s, 224);
  bool digit = (p[0] >= '0' && p[0] <= '9') || (p[0] == '-' && p[1] >= '0' && p[1] <= '9');
  isNumber = digit && end == textLength;
  match = SelectMatchFunction(searchMode, matchCase);
  hitName[0] = 0;
}

bool RegSearchState::MatchesDword(DWORD value) const {
  return isNumber && ((int64_t)(int32_t)value == number || (int64_t)value == number);
}

bool RegSearchState::MatchesQword(uint64_t value) const { return isNumber && (int64_t)value == number; }

// data is followed by two zero bytes beyond size.
bool RegSearchState::MatchesData(DWORD type, const BYTE* data, DWORD size) const {
  const char* t = text;
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      return match((const char*)data, t, textLength) == 0;
    case REG_MULTI_SZ:
      for (DWORD i = 0; i < size;) {
        const char* s = (const char*)data + i;
        size_t n = strlen(s);
        if (n && match(s, t, textLength) == 0) return true;
        i += (DWORD)n + 1;
      }
      return false;
    case REG_DWORD: {
      if (size < 4) return false;
      DWORD v;
      memcpy(&v, data, 4);
      if (mode == kSearchWhole) return MatchesDword(v);
      char buf[72];
      FormatIntA((int32_t)v, buf, FORMAT_SIGNED);
      if (match(buf, t, textLength) == 0) return true;
      FormatIntA((int32_t)v, buf, FORMAT_0X | FormatWidth(8));
      return match(buf, t, textLength) == 0;
    }
    case REG_QWORD: {
      if (size < 8) return false;
      uint64_t v;
      memcpy(&v, data, 8);
      if (mode == kSearchWhole) return MatchesQword(v);
      char buf[72];
      FormatInt64A((int64_t)v, buf, FORMAT_SIGNED);
      if (match(buf, t, textLength) == 0) return true;
      FormatInt64A((int64_t)v, buf, FORMAT_0X | FormatWidth(8));
      return match(buf, t, textLength) == 0;
    }
  }
  return false;
}
