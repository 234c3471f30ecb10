// HexToBytesA: at most the maximum bytes are written (the fill included),
// the used count stays within the text, the 16-bit twin agrees, and bytes
// written by BytesToHexA read back unchanged.
#include "fuzz_util.h"
#include "text/codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t max = TakeByte(data, size) % 80;
  // Separators, quoted text, the leading ':' and the fill from the flag byte.
  const uint8_t f = TakeByte(data, size);
  uint32_t flags = (uint32_t)(f & 0x0F) << 16 | (uint32_t)(f & 0x30) << 24;
  if (f & 0x40) flags |= HexFillByte(0xA5);
  Exact<char> text = Terminated<char>((const char*)data, size);
  Exact<wchar_t> wide = Terminated<wchar_t>((const char*)data, size);
  const int length = (int)strnlen(text.get(), size);

  Exact<uint8_t> bytes(max), bytesW(max);
  int used = -1, usedW = -1;
  int n = HexToBytesA(bytes.get(), max | flags, text.get(), &used);
  FUZZ_CHECK(n >= 0 && n <= (int)max);
  FUZZ_CHECK(used >= 0 && used <= length);
  FUZZ_CHECK(HexToBytesW(bytesW.get(), max | flags, wide.get(), &usedW) == n && usedW == used);
  FUZZ_CHECK(std::memcmp(bytes.get(), bytesW.get(), (flags & HEXIN_FILL) ? max : n) == 0);
  if (flags & HEXIN_FILL)
    for (uint32_t i = n; i < max; ++i) FUZZ_CHECK(bytes[i] == 0xA5);

  // Round trip: "0A 1B ..." with a blank every four bytes, read back.
  Exact<char> hex(3 * n + n / 4 + 3);
  int written = BytesToHexA(bytes.get(), hex.get(), n, 4 | HexSeparator(' ') | HEX_TERMINATE);
  FUZZ_CHECK(written >= 0 && written < hex.len() && hex[written] == 0);
  Exact<uint8_t> back(n ? n : 1);
  int usedBack = -1;
  FUZZ_CHECK(HexToBytesA(back.get(), n, hex.get(), &usedBack) == n);
  FUZZ_CHECK(usedBack == written);
  FUZZ_CHECK(std::memcmp(back.get(), bytes.get(), n) == 0);
  return 0;
}
