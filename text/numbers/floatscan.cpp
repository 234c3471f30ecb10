#include "text/numbers/floatscan.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "text/classtable.h"

namespace {

// A text read no further than a limit: characters from there on read as NUL.
template <class C>
struct Limited {
  const C* t;
  int n;
  unsigned operator[](int i) const { return i < n ? CharCode(t[i]) : 0; }
};

inline bool IsDigit(unsigned c) { return c - '0' < 10u; }
inline bool IsBlank(unsigned c) { return c == ' ' || c == '\t'; }
inline bool IsSign(unsigned c) { return c == '+' || c == '-'; }

enum Special { NO_SPECIAL, SPECIAL_INF, SPECIAL_NAN };

// Length of the special form "#INF", "#IND" or "#QNAN" at i (which holds
// '#'), letters in either case; 0 when none starts there.
template <class C>
int SpecialLength(const Limited<C>& s, int i, Special* kind) {
  static const char* const kForms[] = {"INF", "IND", "QNAN"};
  for (const char* form : kForms) {
    int k = 0;
    while (form[k] && (s[i + 1 + k] & ~0x20u) == (unsigned char)form[k]) ++k;
    if (!form[k]) {
      if (kind) *kind = form[2] == 'F' ? SPECIAL_INF : SPECIAL_NAN;
      return 1 + k;
    }
  }
  return 0;
}

template <class C>
int ScanPlain(const C* text, int n) {
  if (n < 1) return 0;
  const Limited<C> s{text, n};
  int i = 0;
  while (IsBlank(s[i])) ++i;
  if (IsSign(s[i])) ++i;
  while (IsDigit(s[i])) ++i;
  if (s[i] == '.') {
    ++i;
    if (s[i] == '#') {
      int special = SpecialLength(s, i, nullptr);
      if (!special) return i;
      i += special;
    }
    while (IsDigit(s[i])) ++i;
  }
  if ((s[i] | 0x20) == 'e') {
    ++i;
    if (IsSign(s[i])) ++i;
    while (IsDigit(s[i])) ++i;
  }
  return i;
}

inline uint8_t Position(int index) { return (uint8_t)(index < 255 ? index + 1 : 255); }

// What the extended scan found, beyond the info record.
struct Scan {
  int length = 0;
  int decimalAt = -1;  // index of the decimal separator
  Special special = NO_SPECIAL;
  FloatScanInfo info = {0, 0, 0, 0};
};

// Without a digit there is no number: length 0 and an empty info record.
inline Scan Finished(Scan r, bool digits, int length) {
  if (!digits) return Scan();
  r.length = length;
  return r;
}

template <class C>
Scan ScanExtended(const C* text, int maxLength, uint32_t flags) {
  Scan r;
  if (maxLength < 1) return r;
  if (!(flags & FSCAN_DECIMAL_COMMA)) flags &= ~FSCAN_GROUP_DOT;
  const Limited<C> s{text, maxLength};
  auto isGroup = [flags](unsigned c) {
    return (c == ' ' && (flags & FSCAN_GROUP_SPACE)) || (c == '.' && (flags & FSCAN_GROUP_DOT)) ||
           (c == '_' && (flags & FSCAN_GROUP_UNDERSCORE));
  };
  int i = 0;
  if (!(flags & FSCAN_NO_LEADING_BLANKS))
    while (IsBlank(s[i])) ++i;
  if ((flags & FSCAN_SIGN) && IsSign(s[i])) {
    r.info.signEnd = Position(i++);
    if (flags & FSCAN_BLANKS_AFTER_SIGN)
      while (IsBlank(s[i])) ++i;
  }
  bool digits = false;
  if (IsDigit(s[i])) {
    digits = true;
    r.info.integerStart = Position(i++);
    for (;;) {
      if (IsDigit(s[i])) {
        ++i;
      } else if (isGroup(s[i])) {
        if (!IsDigit(s[++i])) break;
      } else {
        break;
      }
    }
  }
  if (s[i] == '.' || (s[i] == ',' && (flags & FSCAN_DECIMAL_COMMA))) {
    r.decimalAt = i++;
    if ((flags & FSCAN_SPECIAL) && s[i] == '#') {
      int special = SpecialLength(s, i, &r.special);
      if (!special) return Finished(r, digits, i);  // ends after the separator
      r.info.fractionStart = Position(i);
      i += special;
    }
    if (IsDigit(s[i])) {
      digits = true;
      if (!r.info.fractionStart) r.info.fractionStart = Position(i);
      while (IsDigit(s[i])) ++i;
    }
    // A separator that the limit cuts off from its digits does not count.
    if (i == maxLength && i == r.decimalAt + 1) {
      r.decimalAt = -1;
      return Finished(r, digits, i - 1);
    }
  }
  if (!digits) return Scan();
  if ((flags & FSCAN_EXPONENT) && (s[i] | 0x20) == 'e') {
    r.info.exponentStart = Position(++i);
    if (IsSign(s[i])) ++i;
    while (IsDigit(s[i])) ++i;
  }
  if (flags & FSCAN_TRAILING_BLANKS)
    while (IsBlank(s[i])) ++i;
  return Finished(r, true, i);
}

template <class C>
int ScanEx(const C* text, int maxLength, uint32_t flags, FloatScanInfo* info) {
  Scan r = ScanExtended(text, maxLength, flags);
  if (info) *info = r.info;
  return r.length;
}

template <class C>
double ParseDouble(const C* text, int* length, uint32_t flags) {
  const Scan r = ScanExtended(text, 63, flags);
  if (length) *length = r.length;
  if (r.length < 1) return 0.0;
  const bool negative = r.info.signEnd && CharCode(text[r.info.signEnd - 1]) == '-';
  if (r.special == SPECIAL_INF) return negative ? -HUGE_VAL : HUGE_VAL;
  if (r.special == SPECIAL_NAN) return negative ? -NAN : NAN;
  // Only the sign, the digits, the decimal separator (as '.') and the
  // exponent go to the runtime: blanks and group separators stay behind.
  char buffer[64];
  int k = 0;
  for (int i = 0; i < r.length; ++i) {
    unsigned c = CharCode(text[i]) & 0xFF;
    if (i == r.decimalAt)
      buffer[k++] = '.';
    else if (!IsBlank(c) && c != '_' && c != '.' && c != ',')
      buffer[k++] = (char)c;
  }
  buffer[k] = 0;
  return atof(buffer);
}

}  // namespace

int ScanFloatA(const char* text) { return ScanPlain(text, INT_MAX); }
int ScanFloatW(const wchar_t* text) { return ScanPlain(text, INT_MAX); }
int ScanFloatNA(const char* text, int n) { return ScanPlain(text, n); }
int ScanFloatNW(const wchar_t* text, int n) { return ScanPlain(text, n); }

int ScanFloatExA(const char* text, int maxLength, uint32_t flags, FloatScanInfo* info) {
  return ScanEx(text, maxLength, flags, info);
}
int ScanFloatExW(const wchar_t* text, int maxLength, uint32_t flags, FloatScanInfo* info) {
  return ScanEx(text, maxLength, flags, info);
}

double ParseDoubleA(const char* text, int* length, uint32_t flags) { return ParseDouble(text, length, flags); }
double ParseDoubleW(const wchar_t* text, int* length, uint32_t flags) { return ParseDouble(text, length, flags); }
