// Base64DecodeA: at most the maximum bytes are written and no more than n
// characters read; the result is what Base64DecodedSizeA predicts, capped by
// the maximum; the 16-bit twin and a decode in two pieces give the same
// bytes; and bytes encoded by Base64EncodeA (in the size its contract names)
// decode to themselves, one call or piecewise.
#include "fuzz_util.h"
#include "text/codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int max = TakeByte(data, size) * 4 % 1021;
  const uint8_t split = TakeByte(data, size);
  const int lineLength = TakeByte(data, size) % 4 * 32;  // 0, 32, 64, 96
  Exact<char> text((const char*)data, size);
  Exact<wchar_t> wide((const char*)data, size);
  const int n = text.len();

  Exact<uint8_t> out(max), outW(max);
  const int r = Base64DecodeA(out.get(), max, text.get(), n);
  const int predicted = Base64DecodedSizeA(text.get(), n);
  FUZZ_CHECK(r == (predicted < max ? predicted : max));
  FUZZ_CHECK(Base64DecodedSizeW(wide.get(), n) == predicted);
  FUZZ_CHECK(Base64DecodeW(outW.get(), max, wide.get(), n) == r);
  FUZZ_CHECK(std::memcmp(out.get(), outW.get(), r) == 0);

  // In two pieces, the state carrying the bits between them; a NUL ends
  // the text, so the pieces cover it up to there.
  const int end = (int)strnlen(text.get(), n);
  const int cut = split % (end + 1);
  uint32_t state = 0;
  Exact<uint8_t> pieces(max);
  int first = Base64DecodePartA(pieces.get(), max, &state, text.get(), cut);
  FUZZ_CHECK(first >= 0 && first <= max);
  int second = Base64DecodePartA(pieces.get() + first, max - first, &state, text.get() + cut, end - cut);
  FUZZ_CHECK(first + second == r);
  FUZZ_CHECK(std::memcmp(pieces.get(), out.get(), r) == 0);

  // The input bytes themselves, encoded and decoded again.
  const int count = (int)size;
  const int chars = (count + 2) / 3 * 4;
  const int room = chars + (lineLength ? chars / lineLength + 1 : 0) + 1;
  Exact<char> encoded(room);
  const int e = Base64EncodeA(data, count, encoded.get(), lineLength);
  FUZZ_CHECK(e >= 0 && e < room && encoded[e] == 0);
  FUZZ_CHECK(Base64DecodedSizeA(encoded.get(), e) == count);
  Exact<uint8_t> back(count);
  FUZZ_CHECK(Base64DecodeA(back.get(), count, encoded.get(), e) == count);
  FUZZ_CHECK(std::memcmp(back.get(), data, count) == 0);

  // Piecewise encoding in two pieces gives the same text less the padding.
  Exact<char> piecewise(room + 4);
  uint32_t encodeState = 0;
  const int at = count ? split % (count + 1) : 0;
  int w = Base64EncodePartA(data, at, &encodeState, piecewise.get(), lineLength);
  w += Base64EncodePartA(data + at, count - at, &encodeState, piecewise.get() + w, lineLength);
  w += Base64EncodePartA(nullptr, 0, &encodeState, piecewise.get() + w, lineLength);
  FUZZ_CHECK(w < piecewise.len() && piecewise[w] == 0);
  FUZZ_CHECK(Base64DecodeA(back.get(), count, piecewise.get(), w) == count);
  FUZZ_CHECK(std::memcmp(back.get(), data, count) == 0);
  return 0;
}
