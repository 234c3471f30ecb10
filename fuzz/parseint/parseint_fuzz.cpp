// ParseIntNA and ParseInt64NA: the end offset stays within the n characters
// (nothing past them is read), the 32-bit value is the low half of the 64-bit
// one, the 16-bit twins agree on widened text, and a value written by the
// integer formatter in any of its forms parses back.
#include <initializer_list>

#include "fuzz_util.h"
#include "text/numbers.h"

namespace {

// The styles inside the contract: automatic, suffixes, radix 2-36, mixed,
// based and classic forms.
uint32_t StyleOf(uint8_t b) {
  if (b <= 36 || b >= 251) return b;
  return b % 37;
}

void CheckRoundTrip(int64_t v) {
  char text[80];
  wchar_t wide[80];
  // The formatter's prefixed, suffixed and based forms all read back in the
  // mixed style; style 0 is signed, the others write the bits unsigned, and
  // at most 32 digits: binary keeps the low 32 bits.
  const int64_t low32 = (int64_t)(uint32_t)v;
  for (uint32_t style = FORMAT_SIGNED; style <= FORMAT_BASED_10; ++style) {
    bool binary = style == FORMAT_0B || style == FORMAT_SUFFIX_B || style == FORMAT_BASED_2;
    int n = FormatInt64A(v, text, style);
    FUZZ_CHECK(n > 0 && n < 67 && text[n] == 0);
    int end = -1;
    FUZZ_CHECK(ParseInt64A(text, PARSE_MIXED, &end) == (binary ? low32 : v));
    FUZZ_CHECK(end == n);
    FUZZ_CHECK(FormatInt64W(v, wide, style) == n);
    FUZZ_CHECK(ParseInt64W(wide, PARSE_MIXED, &end) == (binary ? low32 : v) && end == n);
  }
  for (uint32_t radix : {2u, 7u, 10u, 36u}) {  // 32 digits of radix 7 and up hold 64 bits
    int n = FormatInt64A(v, text, FORMAT_RADIX | radix);
    int end = -1;
    FUZZ_CHECK(ParseInt64NA(text, n, radix, &end) == (radix == 2 ? low32 : v) && end == n);
  }
  int n = FormatIntA((int32_t)v, text, FORMAT_SIGNED);
  FUZZ_CHECK(ParseIntA(text, PARSE_AUTO, nullptr) == (int32_t)v);
  FUZZ_CHECK(n > 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t flags = StyleOf(TakeByte(data, size));
  flags |= (uint32_t)TakeByte(data, size) << 8;  // separators, trailing blanks, sign rules
  Exact<char> text((const char*)data, size);
  Exact<wchar_t> wide((const char*)data, size);
  int n = text.len();

  int end32 = -1, end64 = -1, endW = -1;
  int32_t v32 = ParseIntNA(text.get(), n, flags, &end32);
  int64_t v64 = ParseInt64NA(text.get(), n, flags, &end64);
  FUZZ_CHECK(end32 >= 0 && end32 <= n);
  FUZZ_CHECK(end64 == end32);
  FUZZ_CHECK(v32 == (int32_t)v64);
  FUZZ_CHECK(ParseIntNW(wide.get(), n, flags, &endW) == v32 && endW == end32);
  FUZZ_CHECK(ParseInt64NW(wide.get(), n, flags, &endW) == v64 && endW == end32);
  FUZZ_CHECK(ParseIntNA(text.get(), n, flags, nullptr) == v32);

  // Every shorter count reads only its own characters.
  if (n > 0) {
    int shorter = -1;
    ParseInt64NA(text.get(), n - 1, flags, &shorter);
    FUZZ_CHECK(shorter >= 0 && shorter <= n - 1);
  }

  // The input as raw 16-bit units: units above 255 are blanks and separators.
  if (size >= 2) {
    Exact<wchar_t> units(size / 2);
    std::memcpy(units.get(), data, units.size() * 2);
    int endU = -1;
    ParseInt64NW(units.get(), units.len(), flags, &endU);
    FUZZ_CHECK(endU >= 0 && endU <= units.len());
  }

  CheckRoundTrip(v64);
  return 0;
}
