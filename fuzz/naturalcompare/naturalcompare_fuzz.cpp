// CompareNaturalNoCaseNA: antisymmetric (a against b is the opposite of b
// against a), a text equals itself, and n characters of unterminated texts
// are read and no more. The input is the count byte, then the two texts
// split at the first 0xFF byte.
#include "fuzz_util.h"
#include "text/strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int nByte = TakeByte(data, size);
  const uint8_t* cut = (const uint8_t*)std::memchr(data, 0xFF, size);
  const size_t la = cut ? (size_t)(cut - data) : size / 2;
  const uint8_t* bData = cut ? cut + 1 : data + la;
  const size_t lb = data + size - bData;

  // Terminated texts with any count.
  Exact<char> a = Terminated<char>((const char*)data, la), b = Terminated<char>((const char*)bData, lb);
  const int n = nByte - 2;  // below 1 too
  const int ab = CompareNaturalNoCaseNA(a.get(), b.get(), n);
  FUZZ_CHECK(Sign(ab) == -Sign(CompareNaturalNoCaseNA(b.get(), a.get(), n)));
  FUZZ_CHECK(CompareNaturalNoCaseNA(a.get(), a.get(), n) == 0);
  if (n < 1) FUZZ_CHECK(ab == 0);
  // The terminated forms, the exact one and the 16-bit twin, the same way.
  FUZZ_CHECK(Sign(CompareNaturalNoCaseA(a.get(), b.get())) == -Sign(CompareNaturalNoCaseA(b.get(), a.get())));
  FUZZ_CHECK(Sign(CompareNaturalNA(a.get(), b.get(), n)) == -Sign(CompareNaturalNA(b.get(), a.get(), n)));
  Exact<wchar_t> aw = Terminated<wchar_t>((const char*)data, la), bw = Terminated<wchar_t>((const char*)bData, lb);
  FUZZ_CHECK(Sign(CompareNaturalNoCaseNW(aw.get(), bw.get(), n)) ==
             -Sign(CompareNaturalNoCaseNW(bw.get(), aw.get(), n)));

  // Unterminated texts: a count within both reads only that far.
  Exact<char> ra((const char*)data, la), rb((const char*)bData, lb);
  const int within = (int)(la < lb ? la : lb);
  const int m = within ? nByte % (within + 1) : 0;
  const int r = CompareNaturalNoCaseNA(ra.get(), rb.get(), m);
  FUZZ_CHECK(Sign(r) == -Sign(CompareNaturalNoCaseNA(rb.get(), ra.get(), m)));
  FUZZ_CHECK(CompareNaturalNoCaseNA(ra.get(), ra.get(), m) == 0);
  return 0;
}
