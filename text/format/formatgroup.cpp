#include "text/format/formatgroup.h"

#include "text/format/formatcore.h"

namespace {

const int kMaxWidth = 1024;
const int kMaxText = 1400;  // longer texts come from no conversion of ours

template <class Ch>
bool IsDigit(Ch c) {
  return c >= '0' && c <= '9';
}

template <class Ch>
int Group(int length, Ch* text, uint32_t flags, int precision, int width) {
  if (length <= 0) {
    text[0] = '0';
    length = 1;
  }
  if (precision <= 0 && text[length - 1] == '.') --length;
  if (length > kMaxText) return length;

  // The integer digits: the run of digits before the first '.'.
  int dot = 0;
  while (dot < length && text[dot] != '.') ++dot;
  int runStart = dot;
  while (runStart > 0 && IsDigit(text[runStart - 1])) --runStart;
  const Ch* run = text + runStart;
  int runLength = dot - runStart;

  int intLength = runLength, zeros = 0, decimals = 0;
  bool point = false;
  if (precision > 0 && precision < 128) {
    point = true;
    decimals = precision;
    if (runLength > precision) {
      intLength = runLength - precision;
    } else {
      intLength = 0;
      zeros = precision - runLength;
    }
  }
  const Ch sep = (flags & FMT_ALT) ? '.' : ' ';

  // Number part: grouped integer digits ("0" when there are none), then the
  // decimal places made from the end of the run.
  Ch number[kMaxText * 2];
  int n = 0;
  if (!intLength) {
    number[n++] = '0';
  } else {
    for (int i = 0; i < intLength; ++i) {
      if (i && (intLength - i) % 3 == 0) number[n++] = sep;
      number[n++] = run[i];
    }
  }
  if (point) {
    number[n++] = '.';
    for (int i = 0; i < zeros; ++i) number[n++] = '0';
    for (int i = 0; i < decimals - zeros; ++i) number[n++] = run[intLength + i];
  }

  // Fill in front of the number (zeros continuing the groups) or in front of
  // everything (blanks).
  int tailLength = length - dot;
  int total = runStart + n + tailLength;
  int w = width < kMaxWidth ? width : kMaxWidth;
  int pad = (total < w && !(flags & FMT_LEFT)) ? w - total : 0;
  Ch fill[kMaxWidth];
  int fillLength = 0, blanks = 0;
  if (pad && (flags & FMT_ZEROPAD)) {
    int count = intLength ? intLength : 1;
    fillLength = pad;
    for (int i = pad - 1; i >= 0; --i) {
      if (count % 3 == 0) {
        if (i == 0) {  // a separator right after the sign becomes a blank in front
          blanks = 1;
          fillLength = pad - 1;
          for (int k = 0; k < fillLength; ++k) fill[k] = fill[k + 1];
          break;
        }
        fill[i--] = sep;
      }
      fill[i] = '0';
      ++count;
    }
  } else {
    blanks = pad;
  }

  Ch out[kMaxText * 3];
  int m = 0;
  for (int i = 0; i < blanks; ++i) out[m++] = ' ';
  for (int i = 0; i < runStart; ++i) out[m++] = text[i];
  for (int i = 0; i < fillLength; ++i) out[m++] = fill[i];
  for (int i = 0; i < n; ++i) out[m++] = number[i];
  for (int i = 0; i < tailLength; ++i) out[m++] = text[dot + i];
  for (int i = 0; i < m; ++i) text[i] = out[i];
  return m;
}

}  // namespace

int GroupThousandsA(int length, char* text, uint32_t flags, int precision, int width) {
  return Group(length, text, flags, precision, width);
}
int GroupThousandsW(int length, wchar_t* text, uint32_t flags, int precision, int width) {
  return Group(length, text, flags, precision, width);
}
