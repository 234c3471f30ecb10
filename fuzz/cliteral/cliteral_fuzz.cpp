// DecodeCStringLiteralA and DecodeCStringLiteralW in 8-bit, 16-bit and UTF-8
// output: nothing is written past the size, only whole units and sequences
// are written, a zero follows when there is room, the used count stays
// within the text, a smaller size gives a prefix of the same output, the
// twins agree on 8-bit output, and QuoteCStringA/W output decodes back to
// the bytes or units it was made from.
#include "fuzz_util.h"
#include "text/codecs.h"

namespace {

struct Decoded {
  Exact<uint8_t> out;
  int n;
  int used;
};

template <class C>
Decoded Decode(const C* text, uint32_t size, uint32_t flags) {
  Decoded d{Exact<uint8_t>(size), -1, -1};
  uint32_t word = size | flags;
  if (sizeof(C) == 1)
    d.n = DecodeCStringLiteralA(d.out.get(), word, (const char*)text, &d.used);
  else
    d.n = DecodeCStringLiteralW(d.out.get(), word, (const wchar_t*)text, &d.used);
  FUZZ_CHECK(d.n >= 0 && d.n <= (int)size);
  if (d.n < (int)size) FUZZ_CHECK(d.out[d.n] == 0);
  if ((flags & (CLIT_RAW_UTF8 | CLIT_RAW_UTF16)) == CLIT_RAW_UTF16) FUZZ_CHECK(d.n % 2 == 0);
  return d;
}

template <class C>
void CheckForm(const C* text, int length, uint32_t size, uint32_t flags) {
  const bool utf8 = flags & CLIT_RAW_UTF8;
  if (!utf8 && (flags & CLIT_RAW_UTF16)) size &= ~1u;  // whole units
  Decoded small = Decode(text, size, flags);
  FUZZ_CHECK(small.used >= 0 && small.used <= length);
  Decoded big = Decode(text, 4 * (uint32_t)length + 8, flags);
  FUZZ_CHECK(big.n < (int)big.out.size());
  FUZZ_CHECK(small.n <= big.n && small.used <= big.used);
  FUZZ_CHECK(std::memcmp(small.out.get(), big.out.get(), small.n) == 0);
  // A UTF-8 output is cut only between sequences.
  if (utf8 && small.n < big.n) FUZZ_CHECK((big.out[small.n] & 0xC0) != 0x80);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t outSize = TakeByte(data, size);
  const uint8_t f = TakeByte(data, size);
  const uint32_t flags = (f & 1 ? CLIT_RAW_UTF8 : 0) | (f & 2 ? CLIT_RAW_UTF16 : 0) | (f & 4 ? CLIT_NO_QUOTES : 0);
  Exact<char> text = Terminated<char>((const char*)data, size);
  Exact<wchar_t> wide = Terminated<wchar_t>((const char*)data, size);
  const int length = (int)strnlen(text.get(), size);

  CheckForm(text.get(), length, outSize, flags);
  CheckForm(wide.get(), length, outSize, flags);

  // In 8-bit output the 16-bit decoder keeps the low byte, as the 8-bit one.
  const uint32_t flags8 = flags & CLIT_NO_QUOTES;
  Decoded a = Decode(text.get(), outSize, flags8);
  Decoded w = Decode(wide.get(), outSize, flags8);
  FUZZ_CHECK(a.n == w.n && a.used == w.used && std::memcmp(a.out.get(), w.out.get(), a.n) == 0);

  // The decoded bytes, quoted again, decode to themselves; a short hex
  // escape before a hex digit splits the literal in two, joined as in C.
  Decoded bytes = Decode(text.get(), 2 * (uint32_t)length + 2, flags8);
  const int room = 6 * bytes.n + 8;  // an escape is begun only with room for 8 characters
  Exact<char> quoted(room);
  int q = QuoteCStringA(quoted.get(), room, bytes.out.get(), bytes.n, f & 8 ? CLIT_SHORT_HEX : 0);
  FUZZ_CHECK(q >= 2 && q < room && quoted[q] == 0);
  int pos = 0, got = 0;
  while (pos < q) {
    FUZZ_CHECK(quoted[pos] == '"');
    Decoded piece = Decode(quoted.get() + pos, bytes.n - got + 1, 0);
    FUZZ_CHECK(piece.used >= 2 && got + piece.n <= bytes.n);
    FUZZ_CHECK(std::memcmp(piece.out.get(), bytes.out.get() + got, piece.n) == 0);
    pos += piece.used;
    got += piece.n;
  }
  FUZZ_CHECK(pos == q && got == bytes.n);

  // The same for 16-bit units through the 16-bit writer.
  Decoded units = Decode(wide.get(), 4 * (uint32_t)length + 2, CLIT_RAW_UTF16);
  const int roomW = 5 * (units.n / 2) + 8;
  Exact<wchar_t> quotedW(roomW);
  int qw = QuoteCStringW(quotedW.get(), roomW, units.out.get(), units.n, CLIT_RAW_UTF16 | CLIT_HEX_CONTROLS);
  FUZZ_CHECK(qw >= 2 && qw < roomW && quotedW[qw] == 0);
  Decoded backW = Decode(quotedW.get(), units.n + 2, CLIT_RAW_UTF16);
  FUZZ_CHECK(backW.n == units.n && std::memcmp(backW.out.get(), units.out.get(), units.n) == 0);
  FUZZ_CHECK(backW.used == qw);
  return 0;
}
