// HexPatternToBytesA: at most the maximum bytes and masks are written, the
// used count stays within the text, unknown bits are 0 in the bytes, the
// 16-bit twin agrees, and a pattern written by BytesToHexPatternA reads back.
#include "fuzz_util.h"
#include "text/codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t f = TakeByte(data, size);
  const uint32_t max = f & 0x3F;
  const uint32_t flags = (f & 0x40) ? HEXIN_QUOTED : 0;
  Exact<char> text = Terminated<char>((const char*)data, size);
  Exact<wchar_t> wide = Terminated<wchar_t>((const char*)data, size);
  const int length = (int)strnlen(text.get(), size);

  Exact<uint8_t> bytes(max), mask(max), bytesW(max), maskW(max);
  int used = -1, usedW = -1;
  int n = HexPatternToBytesA(bytes.get(), mask.get(), max | flags, text.get(), &used);
  FUZZ_CHECK(n >= 0 && n <= (int)max);
  FUZZ_CHECK(used >= 0 && used <= length);
  for (int i = 0; i < n; ++i) FUZZ_CHECK((bytes[i] & ~mask[i]) == 0);
  FUZZ_CHECK(HexPatternToBytesW(bytesW.get(), maskW.get(), max | flags, wide.get(), &usedW) == n);
  FUZZ_CHECK(usedW == used);
  FUZZ_CHECK(std::memcmp(bytes.get(), bytesW.get(), n) == 0 && std::memcmp(mask.get(), maskW.get(), n) == 0);

  // Round trip: each byte as two digits or a '#' bit pattern, spaces between.
  const int room = 10 * n + 2;
  Exact<char> pattern(room);
  int written = BytesToHexPatternA(pattern.get(), room, bytes.get(), mask.get(), n,
                                   HexSeparator(' ') | HEXPAT_TRIM | HEXPAT_TERMINATE);
  FUZZ_CHECK(written >= 0 && written < room && pattern[written] == 0);
  Exact<wchar_t> patternW(room);
  FUZZ_CHECK(BytesToHexPatternW(patternW.get(), room, bytes.get(), mask.get(), n,
                                HexSeparator(' ') | HEXPAT_TRIM | HEXPAT_TERMINATE) == written);
  for (int i = 0; i <= written; ++i) FUZZ_CHECK(patternW[i] == (wchar_t)(unsigned char)pattern[i]);
  Exact<uint8_t> back(n), backMask(n);
  int usedBack = -1;
  FUZZ_CHECK(HexPatternToBytesA(back.get(), backMask.get(), n, pattern.get(), &usedBack) == n);
  FUZZ_CHECK(usedBack == written);
  FUZZ_CHECK(std::memcmp(back.get(), bytes.get(), n) == 0 && std::memcmp(backMask.get(), mask.get(), n) == 0);

  // A smaller size cuts the text and still terminates it within the size.
  if (written > 0) {
    const int cut = written / 2 + 1;
    Exact<char> small(cut);
    int w = BytesToHexPatternA(small.get(), cut, bytes.get(), mask.get(), n, HexSeparator(' ') | HEXPAT_TERMINATE);
    FUZZ_CHECK(w >= 0 && w < cut && small[w] == 0);
  }
  return 0;
}
