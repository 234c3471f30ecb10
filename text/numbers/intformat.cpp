#include "text/numbers/intformat.h"

namespace {

struct Form {
  unsigned radix;
  const char* prefix;
  char suffix;
};

Form FormOf(uint32_t flags) {
  unsigned style = flags & FORMAT_STYLE_MASK;
  if (flags & FORMAT_RADIX) return {style < 2 ? 10u : style, "", 0};  // radix 0 or 1 would never end
  static const Form kForms[] = {{10, "", 0},  {16, "0x", 0},  {2, "0b", 0}, {8, "0o", 0}, {16, "", 'h'}, {2, "", 'b'},
                                {8, "", 'o'}, {16, "16#", 0}, {2, "2#", 0}, {8, "8#", 0}, {10, "10#", 0}};
  return style < sizeof kForms / sizeof kForms[0] ? kForms[style] : Form{10, "", 0};
}

template <class C, class U>
int Format(U bits, bool negative, C* dest, uint32_t flags) {
  int pos = 0;
  U magnitude = bits;
  if (negative) {
    dest[pos++] = '-';
    magnitude = 0 - bits;
  }
  int w = FormatWidthOf(flags);
  int minDigits = 1, maxDigits = 32, field = 0;
  if (w) {
    if (negative && w > 2) --w;
    minDigits = w;
    if (flags & FORMAT_MAX_DIGITS) maxDigits = w;
    if (flags & FORMAT_FIELD) field = w, minDigits = 1;
  }
  const Form form = FormOf(flags);
  for (const char* p = form.prefix; *p; ++p) dest[pos++] = *p;

  // Digit places, least significant first; the suffix holds one of them.
  C places[72];
  int count = 0;
  if (form.suffix) {
    places[count++] = form.suffix;
    ++minDigits, ++maxDigits;
  }
  do {
    unsigned d = (unsigned)(magnitude % form.radix);
    magnitude /= form.radix;
    places[count++] = (C)(d < 10 ? '0' + d : 'A' + d - 10);
  } while (count < maxDigits && (count < minDigits || magnitude != 0));

  unsigned style = flags & FORMAT_STYLE_MASK;
  if (!(flags & FORMAT_RADIX) && (style == FORMAT_SUFFIX_H || style == FORMAT_SUFFIX_O) && places[count - 1] >= 'A' &&
      count < maxDigits)
    dest[pos++] = '0';
  if (field > count) {
    int shift = field - count;
    for (int i = pos - 1; i >= 0; --i) dest[i + shift] = dest[i];
    for (int i = 0; i < shift; ++i) dest[i] = ' ';
    pos += shift;
  }
  while (count > 0) dest[pos++] = places[--count];
  dest[pos] = 0;
  return pos;
}

inline bool Signed(uint32_t flags) { return !(flags & FORMAT_RADIX) && (flags & FORMAT_STYLE_MASK) == FORMAT_SIGNED; }

}  // namespace

int FormatIntA(int32_t value, char* dest, uint32_t flags) {
  return Format<char, uint32_t>((uint32_t)value, Signed(flags) && value < 0, dest, flags);
}
int FormatIntW(int32_t value, wchar_t* dest, uint32_t flags) {
  return Format<wchar_t, uint32_t>((uint32_t)value, Signed(flags) && value < 0, dest, flags);
}
int FormatInt64A(int64_t value, char* dest, uint32_t flags) {
  return Format<char, uint64_t>((uint64_t)value, Signed(flags) && value < 0, dest, flags);
}
int FormatInt64W(int64_t value, wchar_t* dest, uint32_t flags) {
  return Format<wchar_t, uint64_t>((uint64_t)value, Signed(flags) && value < 0, dest, flags);
}
