// ScanFloatExA: the length stays within the maximum (a text without digits
// gives below 1), no character past the maximum is read, the info record
// holds positions within the scanned text in the order of the parts, and the
// 16-bit twin agrees on widened text. Also the plain counted scanner and
// ParseDoubleA, whose length is the scan's over at most 63 characters.
#include <cmath>
#include <initializer_list>

#include "fuzz_util.h"
#include "text/numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t flags = TakeByte(data, size);
  flags |= (uint32_t)(TakeByte(data, size) & 3) << 8;  // trailing blanks, no leading blanks
  Exact<char> text((const char*)data, size);
  Exact<wchar_t> wide((const char*)data, size);
  const int n = text.len();

  for (int max : {n, n / 2}) {
    FloatScanInfo info, infoW;
    std::memset(&info, 0xEE, sizeof info);
    const int r = ScanFloatExA(text.get(), max, flags, &info);
    FUZZ_CHECK(r <= (max > 0 ? max : 0) && r >= -1);
    FUZZ_CHECK(ScanFloatExW(wide.get(), max, flags, &infoW) == r);
    FUZZ_CHECK(std::memcmp(&info, &infoW, sizeof info) == 0);
    FUZZ_CHECK(ScanFloatExA(text.get(), max, flags, nullptr) == r);
    if (r < 1) FUZZ_CHECK(info.signEnd == 0);
    // Positions are 1-based and in the order of the parts; the exponent's
    // is that of the character after the letter, which may be the end.
    const int parts[4] = {info.signEnd, info.integerStart, info.fractionStart, info.exponentStart};
    int last = 0;
    for (int p : parts) {
      FUZZ_CHECK(p <= (max < 254 ? max + 1 : 255));
      if (p) {
        FUZZ_CHECK(p > last || p == 255);
        last = p;
      }
    }
    if (info.integerStart && info.integerStart < 255)
      FUZZ_CHECK(text[info.integerStart - 1] >= '0' && text[info.integerStart - 1] <= '9');
    if (info.signEnd && info.signEnd < 255) FUZZ_CHECK(text[info.signEnd - 1] == '+' || text[info.signEnd - 1] == '-');

    const int plain = ScanFloatNA(text.get(), max);
    FUZZ_CHECK(plain >= 0 && plain <= (max > 0 ? max : 0));
    FUZZ_CHECK(ScanFloatNW(wide.get(), max) == plain);
  }

  // ParseDouble reads a terminated text; its length is the scan's within 63.
  Exact<char> terminated = Terminated<char>((const char*)data, size);
  Exact<wchar_t> terminatedW = Terminated<wchar_t>((const char*)data, size);
  int length = -2, lengthW = -2;
  const double v = ParseDoubleA(terminated.get(), &length, flags);
  const double vw = ParseDoubleW(terminatedW.get(), &lengthW, flags);
  FUZZ_CHECK(length == ScanFloatExA(terminated.get(), 63, flags, nullptr) && lengthW == length);
  FUZZ_CHECK(v == vw || (std::isnan(v) && std::isnan(vw)));
  if (length < 1) FUZZ_CHECK(v == 0.0);
  return 0;
}
