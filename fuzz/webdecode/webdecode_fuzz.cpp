// The web text decoders and encoders. The input is two flag bytes, a size
// byte and the text, in blocks of exactly its size. Output stays within the
// size and is terminated; counts lie in the text; bytes through the URL form
// and back, text without NUL through the HTML form and back, and 16-bit text
// through the URL form and the UTF-8 decoder come back unchanged.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "text/web/webdecode.h"
#include "text/web/webencode.h"

namespace {

template <class C>
int Terminated(const Exact<C>& out, int n, int size) {
  FUZZ_CHECK(n >= 0 && n < size && out[n] == 0);
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3 || size > 2048) return 0;
  uint32_t flags = (data[0] | data[1] << 8) & 0xFFF;
  int outSize = data[2];
  data += 3, size -= 3;
  const int n = (int)size;
  Exact<char> text((const char*)data, size);
  Exact<wchar_t> wide((const char*)data, size);
  int used = -1;

  if (outSize >= 1) {
    Exact<char> out((size_t)outSize);
    Terminated(out, DecodeWebTextA(text.get(), n, out.get(), outSize, flags, &used), outSize);
    FUZZ_CHECK(used >= 0 && used <= n);
    Exact<wchar_t> outW((size_t)outSize);
    Terminated(outW, DecodeWebTextUtf8ToW(text.get(), n, outW.get(), outSize, flags, &used), outSize);
    FUZZ_CHECK(used >= 0 && used <= n);
    Terminated(outW, DecodeWebTextW(wide.get(), n, outW.get(), outSize, flags, &used), outSize);
    FUZZ_CHECK(used >= 0 && used <= n);
    Terminated(out, EncodeWebTextA(text.get(), n, out.get(), outSize, flags & 0xFF, &used), outSize);
    FUZZ_CHECK(used >= 0 && used <= n);
    Terminated(out, EncodeWebTextW(wide.get(), n, out.get(), outSize, flags & 0xFF, &used), outSize);
    FUZZ_CHECK(used >= 0 && used <= n);
  }

  // Round trips with room for every escape.
  const int big = 10 * n + 16;
  Exact<char> enc((size_t)big);
  int e = EncodeWebTextA(text.get(), n, enc.get(), big, WEBENC_URL | (flags & WEBENC_SEPARATORS), &used);
  FUZZ_CHECK(used == n);
  Exact<char> dec((size_t)n + 1);
  int d = DecodeWebTextA(enc.get(), e, dec.get(), n + 1, WEBDEC_PERCENT, &used);
  FUZZ_CHECK(d == n && used == e && memcmp(dec.get(), text.get(), size) == 0);

  std::vector<char> plain(text.get(), text.get() + n);
  for (char& c : plain)
    if (!c) c = ' ';
  Exact<char> p(plain.data(), plain.size());
  e = EncodeWebTextA(p.get(), n, enc.get(), big, flags & WEBENC_SEPARATORS, &used);
  FUZZ_CHECK(used == n);
  d = DecodeWebTextA(enc.get(), e, dec.get(), n + 1, WEBDEC_REFERENCES, &used);
  FUZZ_CHECK(d == n && used == e && memcmp(dec.get(), p.get(), size) == 0);

  // The bytes taken in pairs as 16-bit units.
  const int units = n / 2;
  Exact<wchar_t> w((size_t)units);
  for (int i = 0; i < units; ++i) w[i] = (wchar_t)(data[2 * i] | data[2 * i + 1] << 8);
  const int bigW = 12 * units + 16;
  Exact<char> encW((size_t)bigW);
  e = EncodeWebTextW(w.get(), units, encW.get(), bigW, WEBENC_URL, &used);
  FUZZ_CHECK(used == units);
  Exact<wchar_t> decW((size_t)units + 1);
  d = DecodeWebTextUtf8ToW(encW.get(), e, decW.get(), units + 1, WEBDEC_PERCENT | WEBDEC_REFERENCES, &used);
  FUZZ_CHECK(d == units && used == e);
  for (int i = 0; i < units; ++i) FUZZ_CHECK(decW[i] == w[i]);
  return 0;
}
