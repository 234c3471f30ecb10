// The tag scanners. The input is a flag byte, a name length byte, the name
// and the text, in blocks of exactly their size. Positions lie inside the
// text, a found tag starts with "<", an attribute value lies inside the text
// and its decoded copy within its size; the twins agree on widened text.
#include <cstring>

#include "fuzz_util.h"
#include "text/web/tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 4096) return 0;
  uint32_t flags = (uint32_t)(data[0] & 0x3F) << 8;
  size_t nameLength = data[1] % 8;
  data += 2, size -= 2;
  if (nameLength > size) nameLength = size;
  Exact<char> name(nameLength + 1);
  memcpy(name.get(), data, nameLength);
  name[nameLength] = 0;
  Exact<wchar_t> nameW(name.get(), nameLength + 1);
  data += nameLength, size -= nameLength;
  const int n = (int)size;
  Exact<char> text((const char*)data, size);
  Exact<wchar_t> wide((const char*)data, size);

  int e = SkipToTagEndA(n, text.get(), flags >> 8 & 1 ? TAGEND_MUST_OPEN : 0);
  FUZZ_CHECK(e >= 0 && e <= n && e == SkipToTagEndW(n, wide.get(), flags >> 8 & 1 ? TAGEND_MUST_OPEN : 0));

  int after = -1, end = -1, afterW = -1, endW = -1;
  int r = FindTagA(text.get(), n, name.get(), &after, &end, flags);
  FUZZ_CHECK(r == FindTagW(wide.get(), n, nameW.get(), &afterW, &endW, flags));
  FUZZ_CHECK(after == afterW && end == endW);
  FUZZ_CHECK(after >= 0 && after <= n);
  if (r >= 0) {
    FUZZ_CHECK(r < n && text[r] == '<' && after > r);
    int endPosition = flags & TAGFIND_END_WITH_LENGTH ? (int)((unsigned)end >> 8) : end;
    FUZZ_CHECK(endPosition >= 0 && endPosition <= n);
  }
  FUZZ_CHECK(FindTagA(text.get(), n, name.get(), nullptr, nullptr, flags) == r);

  int length = -1, lengthW = -1;
  int v = FindTagAttributeA(text.get(), n, name.get(), &length, &after);
  FUZZ_CHECK(v == FindTagAttributeW(wide.get(), n, nameW.get(), &lengthW, &afterW));
  FUZZ_CHECK(length == lengthW && after == afterW && after >= 0 && after <= n);
  if (v >= 0) FUZZ_CHECK(v <= n && length >= 0 && v + length <= n);
  const int outSize = 1 + (int)(flags >> 8 & 0x1F);
  Exact<char> out((size_t)outSize);
  int d = GetTagAttributeA(text.get(), n, out.get(), outSize, name.get());
  FUZZ_CHECK(d >= 0 && d < outSize && out[d] == 0);
  Exact<wchar_t> outW((size_t)outSize);
  d = GetTagAttributeW(wide.get(), n, outW.get(), outSize, nameW.get());
  FUZZ_CHECK(d >= 0 && d < outSize && outW[d] == 0);
  return 0;
}
