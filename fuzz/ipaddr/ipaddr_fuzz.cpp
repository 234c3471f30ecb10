// The IP address parsers, syntax check and formatters. The input is a flag
// byte, a number's four bytes and the text (terminated, in a block of exactly
// its size). Counts lie within the text; the twins agree on widened text; an
// address of 16 bytes formatted in 64 characters parses back to itself
// (marked addresses excepted) and passes the check whole.
#include <cstring>

#include "fuzz_util.h"
#include "text/address/ipaddr.h"

namespace {

template <class C>
int Length(const Exact<C>& t) {
  int n = 0;
  while (t[n]) ++n;
  return n;
}

void RoundTrip(const uint8_t address[16], uint32_t number, uint32_t flags) {
  uint32_t mark;
  memcpy(&mark, address, 4);
  Exact<char> out(64);
  Exact<wchar_t> outW(64);
  int n = FormatIpv6A(out.get(), address, number, flags);
  FUZZ_CHECK(n >= 0 && n < 64 && out[n] == 0 && (int)strlen(out.get()) == n);
  FUZZ_CHECK(FormatIpv6W(outW.get(), address, number, flags) == n);
  for (int i = 0; i <= n; ++i) FUZZ_CHECK(outW[i] == (wchar_t)(unsigned char)out[i]);
  uint32_t check = CheckIpSyntaxA(out.get(), IPTEXT_LEADING_BLANKS | IPTEXT_TRAILING_BLANKS | IPTEXT_BRACKETS);
  FUZZ_CHECK((int)(check & IPKIND_LENGTH_MASK) == n && (check & (IPKIND_V4 | IPKIND_V6)));
  if (mark == IPV6_MARKED_IPV4) return;
  uint8_t back[16];
  int used = ParseIpv6A(out.get(), back, nullptr,
                        IPTEXT_LEADING_BLANKS | IPTEXT_TRAILING_BLANKS | IPTEXT_BRACKETS | (flags & IPTEXT_PREFIX));
  (void)used;
  // The prefix and port may stand beside the address; the bytes come back.
  FUZZ_CHECK(memcmp(back, address, 16) == 0);

  Exact<char> out4(64);
  int n4 = FormatIpv4A(out4.get(), address, number, flags);
  FUZZ_CHECK(n4 >= 0 && n4 < 64 && out4[n4] == 0 && (int)strlen(out4.get()) == n4);
  uint8_t back4[4];
  FUZZ_CHECK(ParseIpv4A(out4.get(), back4, nullptr, IPTEXT_LEADING_BLANKS) > 0);
  if (!(flags & IPTEXT_HOST_ORDER)) FUZZ_CHECK(memcmp(back4, address, 4) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5 || size > 4096) return 0;
  uint32_t flags = data[0] & 0x7F;
  uint32_t number;
  memcpy(&number, data + 1, 4);
  data += 5, size -= 5;
  Exact<char> text(size + 1);
  memcpy(text.get(), data, size);
  text[size] = 0;
  Exact<wchar_t> wide(text.get(), size + 1);
  int n = Length(text);

  uint8_t a[16], aw[16];
  uint32_t num = 0, numW = 0;
  int used = ParseIpv4A(text.get(), a, &num, flags);
  FUZZ_CHECK(used >= 0 && used <= n);
  FUZZ_CHECK(ParseIpv4W(wide.get(), aw, &numW, flags) == used && !memcmp(a, aw, 4) && num == numW);

  used = ParseIpv6A(text.get(), a, &num, flags);
  FUZZ_CHECK(used >= 0 && used <= n);
  FUZZ_CHECK(ParseIpv6W(wide.get(), aw, &numW, flags) == used && !memcmp(a, aw, 16) && num == numW);
  bool invalid = true;
  for (uint8_t b : a) invalid = invalid && b == 0xFF;
  if (invalid) FUZZ_CHECK(num == 0);

  uint32_t check = CheckIpSyntaxA(text.get(), flags);
  FUZZ_CHECK((int)(check & IPKIND_LENGTH_MASK) <= n);
  uint32_t checkW = CheckIpSyntaxW(wide.get(), flags);
  FUZZ_CHECK(check == checkW);  // the text has no units above 255

  // The input's bytes as an address, written and read back.
  uint8_t address[16] = {};
  memcpy(address, data, size < 16 ? size : 16);
  RoundTrip(address, number, flags & ~(uint32_t)IPTEXT_HOST_ORDER);
  RoundTrip(address, number, flags);
  return 0;
}
