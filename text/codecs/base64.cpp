#include "text/codecs/base64.h"

#include "text/classtable.h"
#include "text/spans.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Writes characters and the line breaks between them.
template <class Char>
struct LineWriter {
  Char* out;
  unsigned column;
  unsigned lineLength;

  // A character that may complete a line.
  void Put(unsigned sixBits) {
    *out++ = (Char)kAlphabet[sixBits & 63];
    if (++column == lineLength) {
      *out++ = '\n';
      column = 0;
    }
  }
  // A character of the last group, written without a line check.
  void PutLast(Char c) {
    *out++ = c;
    ++column;
  }
  void Group(const unsigned char* b) {
    Put(b[0] >> 2);
    Put((b[0] & 3) << 4 | b[1] >> 4);
    Put((b[1] & 15) << 2 | b[2] >> 6);
    Put(b[2]);
  }
  // One or two bytes left at the end: two or three characters, the last
  // without a line check, then the '=' padding when asked for.
  void Tail(const unsigned char* b, int n, bool pad) {
    Put(b[0] >> 2);
    if (n == 1) {
      PutLast((Char)kAlphabet[(b[0] & 3) << 4]);
      if (pad) PutLast('='), PutLast('=');
    } else {
      Put((b[0] & 3) << 4 | b[1] >> 4);
      PutLast((Char)kAlphabet[(b[1] & 15) << 2]);
      if (pad) PutLast('=');
    }
  }
  void End() {
    if (lineLength && column) *out++ = '\n';
    *out = 0;
  }
};

template <class Char>
int Encode(const void* source, int count, Char* dest, int lineLength) {
  LineWriter<Char> w = {dest, 0, lineLength > 0 ? (unsigned)lineLength : 0};
  const unsigned char* b = static_cast<const unsigned char*>(source);
  if (count > 0) {
    for (; count >= 3; count -= 3, b += 3) w.Group(b);
    if (count) w.Tail(b, count, true);
    w.End();
  } else {
    *dest = 0;
  }
  return (int)(w.out - dest);
}

// Encoder state: carried bytes in bits 0-15, column in 16-26, number of
// carried bytes in 28-31 (the decoder's pending bits there too).
constexpr int kColumnShift = 16;
constexpr uint32_t kColumnMask = 0x7FF;
constexpr uint32_t kColumnBits = kColumnMask << kColumnShift;
constexpr int kCarriedShift = 28;

template <class Char>
int EncodePart(const void* source, int count, uint32_t* state, Char* dest, int lineLength) {
  unsigned char carry[3] = {(unsigned char)*state, (unsigned char)(*state >> 8), 0};
  int carried = (int)(*state >> kCarriedShift);
  LineWriter<Char> w = {dest, (*state >> kColumnShift) & kColumnMask, lineLength > 0 ? (unsigned)lineLength : 0};
  const unsigned char* b = static_cast<const unsigned char*>(source);
  if (count < 0) count = 0;
  if (source && carried + count <= 2) {
    // Not a whole group yet: keep the bytes. A call that brings none leaves
    // the destination alone.
    for (int i = 0; i < count; ++i) carry[carried++] = b[i];
    if (count || !carried) *dest = 0;
    *state = (*state & kColumnBits) | (uint32_t)carried << kCarriedShift | (uint32_t)carry[1] << 8 | carry[0];
    return 0;
  }
  if (!source) count = 0;
  if (carried && carried + count >= 3) {
    while (carried < 3) carry[carried++] = *b++, --count;
    w.Group(carry);
    carried = 0;
  }
  for (; count >= 3; count -= 3, b += 3) w.Group(b);
  for (int i = 0; i < count; ++i) carry[carried++] = b[i];
  if (!source) {
    if (carried) w.Tail(carry, carried, false);
    carried = 0;
    w.End();
  } else {
    *w.out = 0;
  }
  *state = ((uint32_t)carried << kCarriedShift) | (w.column & kColumnMask) << kColumnShift |
           (carried > 1 ? (uint32_t)carry[1] << 8 : 0) | (carried ? carry[0] : 0);
  return (int)(w.out - dest);
}

// The six bits of an alphabet character, or -1 for any other character.
template <class Char>
int SixBits(Char ch) {
  unsigned c = CharCode(ch);
  if (c >= 'A' && c <= 'Z') return (int)(c - 'A');
  if (c >= 'a' && c <= 'z') return (int)(c - 'a' + 26);
  if (c >= '0' && c <= '9') return (int)(c - '0' + 52);
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Decoder state: the last input bits in bits 0-7 (the pending ones low),
// their number in 28-31.
template <class Char>
int Decode(void* dest, int max, uint32_t* state, const Char* text, int n) {
  unsigned char* out = static_cast<unsigned char*>(dest);
  unsigned bits = 0, pending = 0;
  if (state) bits = *state & 0xFF, pending = *state >> kCarriedShift;
  int written = 0;
  for (int i = 0; i < n && written < max && text[i]; ++i) {
    int v = SixBits(text[i]);
    if (v < 0) continue;
    bits = bits << 6 | (unsigned)v;
    pending += 6;
    if (pending >= 8) {
      pending -= 8;
      out[written++] = (unsigned char)(bits >> pending);
    }
  }
  if (state) *state = (uint32_t)pending << kCarriedShift | (bits & 0xFF);
  return written;
}

// Counts the alphabet characters, spanning them and the others in turn.
template <class Char>
int DecodedSize(const Char* text, int n, int (*span)(const Char*, uint32_t, int),
                int (*spanNot)(const Char*, uint32_t, int)) {
  const uint32_t alphabet = CC_DIGIT | CC_UPPER | CC_LOWER | CC_PLUS | CC_SLASH;
  int count = 0;
  for (int i = 0; i < n;) {
    int in = span(text + i, alphabet, n - i);
    int out = spanNot(text + i + in, alphabet, n - i - in);
    if (in + out == 0) break;  // the NUL
    count += in;
    i += in + out;
  }
  return (int)(3 * (unsigned)count / 4);
}

}  // namespace

int Base64EncodeA(const void* source, int count, char* dest, int lineLength) {
  return Encode(source, count, dest, lineLength);
}
int Base64EncodeW(const void* source, int count, wchar_t* dest, int lineLength) {
  return Encode(source, count, dest, lineLength);
}
int Base64EncodePartA(const void* source, int count, uint32_t* state, char* dest, int lineLength) {
  return EncodePart(source, count, state, dest, lineLength);
}
int Base64EncodePartW(const void* source, int count, uint32_t* state, wchar_t* dest, int lineLength) {
  return EncodePart(source, count, state, dest, lineLength);
}

int Base64DecodeA(void* dest, int max, const char* text, int n) { return Decode(dest, max, nullptr, text, n); }
int Base64DecodeW(void* dest, int max, const wchar_t* text, int n) { return Decode(dest, max, nullptr, text, n); }
int Base64DecodePartA(void* dest, int max, uint32_t* state, const char* text, int n) {
  return max < 1 ? 0 : Decode(dest, max, state, text, n);
}
int Base64DecodePartW(void* dest, int max, uint32_t* state, const wchar_t* text, int n) {
  return max < 1 ? 0 : Decode(dest, max, state, text, n);
}

int Base64DecodedSizeA(const char* text, int n) { return DecodedSize(text, n, SpanClassNA, SpanNotClassNA); }
int Base64DecodedSizeW(const wchar_t* text, int n) { return DecodedSize(text, n, SpanClassNW, SpanNotClassNW); }
