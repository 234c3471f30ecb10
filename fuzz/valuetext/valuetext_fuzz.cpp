// ParseValueTextEx on any text and size: it writes at most size bytes and
// says so; FormatValueBytes of what it wrote stays within its buffer, and
// numbers of 1, 2, 4 and 8 bytes read back unchanged.
#include "fuzz_util.h"
#include "viewers/tools/valuetext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t room = TakeByte(data, size) % 300;
  const uint8_t f = TakeByte(data, size);
  const uint32_t flags = (f & 1) ? VALUE_UTF16 : 0;
  const bool pattern = (f & 2) != 0;
  Exact<char> text = Terminated<char>((const char*)data, size);

  Exact<uint8_t> out(room ? room : 1);
  int n = ParseValueTextEx(text.get(), out.get(), room | flags, pattern);
  FUZZ_CHECK(n >= 0 && n <= (int)room);
  int kind = ClassifyValueText(text.get());
  FUZZ_CHECK(kind >= -1 && kind <= 6);

  for (int k = 0; k <= 8; k++) {
    Exact<char> line(kValueTextSize);
    int len = FormatValueBytes(out.get(), n, line.get(), kValueTextSize, k);
    FUZZ_CHECK(len >= 0 && len < kValueTextSize && line[len] == 0);
  }
  // Numbers round trip at the sizes of the find dialog.
  static const int kSizes[] = {1, 2, 4, 8};
  for (int s : kSizes) {
    if (n < s) break;
    for (int k = 0; k <= 3; k++) {
      char line[kValueTextSize];
      FormatValueBytes(out.get(), s, line, sizeof line, k);
      uint8_t back[8] = {0};
      FUZZ_CHECK(ParseValueTextEx(line, back, s, true) == s);
      FUZZ_CHECK(std::memcmp(back, out.get(), s) == 0);
    }
  }
  return 0;
}
