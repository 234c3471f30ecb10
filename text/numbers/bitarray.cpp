#include "text/numbers/bitarray.h"

#include <cstring>

namespace {

struct SetOp {
  static void Apply(unsigned char& b, unsigned mask) { b = (unsigned char)(b | mask); }
  static void Fill(unsigned char* p, int n) { memset(p, 0xFF, (size_t)n); }
};
struct ClearOp {
  static void Apply(unsigned char& b, unsigned mask) { b = (unsigned char)(b & ~mask); }
  static void Fill(unsigned char* p, int n) { memset(p, 0, (size_t)n); }
};
struct InvertOp {
  static void Apply(unsigned char& b, unsigned mask) { b = (unsigned char)(b ^ mask); }
  static void Fill(unsigned char* p, int n) {
    for (int i = 0; i < n; ++i) p[i] = (unsigned char)~p[i];
  }
};

template <class Op>
void ApplyRange(void* bytes, int from, int count) {
  if (count < 1 || from < 0) return;
  unsigned char* p = (unsigned char*)bytes + from / 8;
  if (int bit = from % 8) {
    int n = count < 8 - bit ? count : 8 - bit;
    Op::Apply(*p++, ((1u << n) - 1) << bit);
    count -= n;
  }
  Op::Fill(p, count / 8);
  if (count % 8) Op::Apply(p[count / 8], (1u << (count % 8)) - 1);
}

// 32-bit word number `index` of a bit array whose readable bytes end at
// byteEnd; bytes from there on read as 0. The Msb order takes the bytes
// big-endian, so that bit j of the word's 32 is bit 31 - j of the result.
template <bool Msb>
uint32_t LoadWord(const unsigned char* p, uint32_t index, uint32_t byteEnd) {
  const uint32_t at = index * 4;
  unsigned char b[4] = {0, 0, 0, 0};
  if (at + 4 <= byteEnd)
    memcpy(b, p + at, 4);
  else
    for (uint32_t i = 0; at + i < byteEnd; ++i) b[i] = p[at + i];
  if (Msb) return (uint32_t)b[0] << 24 | (uint32_t)b[1] << 16 | (uint32_t)b[2] << 8 | b[3];
  return (uint32_t)b[3] << 24 | (uint32_t)b[2] << 16 | (uint32_t)b[1] << 8 | b[0];
}

// Keeps the bits of a loaded word at positions j >= from (mod 32) in bit order.
template <bool Msb>
inline uint32_t KeepFrom(uint32_t w, int from) {
  return Msb ? w & (~0u >> (from & 31)) : w & (~0u << (from & 31));
}

// Keeps the first n bits (1-32) of a loaded word in bit order.
template <bool Msb>
inline uint32_t KeepFirst(uint32_t w, int n) {
  if (n >= 32) return w;
  return Msb ? w & ~(~0u >> n) : w & ((1u << n) - 1);
}

template <bool Msb>
inline int FirstBit(uint32_t w) {
  return Msb ? __builtin_clz(w) : __builtin_ctz(w);
}

template <bool Msb, bool Clear>
int FindNext(const void* bits, int limit, int from) {
  if (from < 0) from = 0;
  if (from / 32 * 32 >= limit) return limit;
  const unsigned char* p = (const unsigned char*)bits;
  const uint32_t byteEnd = ((uint32_t)limit + 7) / 8;
  const uint32_t flip = Clear ? ~0u : 0u;
  uint32_t index = (uint32_t)from / 32;
  uint32_t w = KeepFrom<Msb>(LoadWord<Msb>(p, index, byteEnd) ^ flip, from);
  while (!w) {
    if (++index * 32 >= (uint32_t)limit) return limit;
    w = LoadWord<Msb>(p, index, byteEnd) ^ flip;
  }
  uint32_t i = index * 32 + FirstBit<Msb>(w);
  return i < (uint32_t)limit ? (int)i : limit;
}

inline int PopCount(uint32_t w) {
  w -= (w >> 1) & 0x55555555;
  w = (w & 0x33333333) + ((w >> 2) & 0x33333333);
  w = (w + (w >> 4)) & 0x0F0F0F0F;
  w += w >> 8;
  w += w >> 16;
  return (int)(w & 0x3F);
}

template <bool Msb>
int Count(const void* bits, int end, int start) {
  if (start < 0) start = 0;
  if (start >= end) return 0;
  const unsigned char* p = (const unsigned char*)bits;
  const uint32_t byteEnd = ((uint32_t)end + 7) / 8;
  const uint32_t first = (uint32_t)start / 32, last = (uint32_t)(end - 1) / 32;
  int total = 0;
  for (uint32_t index = first; index <= last; ++index) {
    uint32_t w = LoadWord<Msb>(p, index, byteEnd);
    if (index == first) w = KeepFrom<Msb>(w, start);
    if (index == last) w = KeepFirst<Msb>(w, end - (int)(last * 32));
    total += PopCount(w);
  }
  return total;
}

inline uint32_t Reverse32(uint32_t x) {
  x = (x >> 1 & 0x55555555) | (x & 0x55555555) << 1;
  x = (x >> 2 & 0x33333333) | (x & 0x33333333) << 2;
  x = (x >> 4 & 0x0F0F0F0F) | (x & 0x0F0F0F0F) << 4;
  return x >> 24 | (x >> 8 & 0xFF00) | (x & 0xFF00) << 8 | x << 24;
}

}  // namespace

void SetBitRange(void* bytes, int from, int count) { ApplyRange<SetOp>(bytes, from, count); }
void ClearBitRange(void* bytes, int from, int count) { ApplyRange<ClearOp>(bytes, from, count); }
void InvertBitRange(void* bytes, int from, int count) { ApplyRange<InvertOp>(bytes, from, count); }

int FindNextSetBit(const void* bits, int limit, int from) { return FindNext<false, false>(bits, limit, from); }
int FindNextClearBit(const void* bits, int limit, int from) { return FindNext<false, true>(bits, limit, from); }
int FindNextSetBitMsb(const void* bits, int limit, int from) { return FindNext<true, false>(bits, limit, from); }
int FindNextClearBitMsb(const void* bits, int limit, int from) { return FindNext<true, true>(bits, limit, from); }

int CountSetBits(const void* bits, int end, int start) { return Count<false>(bits, end, start); }
int CountSetBitsMsb(const void* bits, int end, int start) { return Count<true>(bits, end, start); }

uint64_t ReverseBits(uint64_t value, int n) {
  if (n < 1 || n > 64) return 0;
  if (n <= 32) return Reverse32((uint32_t)value) >> (32 - n);
  uint64_t r = (uint64_t)Reverse32((uint32_t)value) << 32 | Reverse32((uint32_t)(value >> 32));
  return r >> (64 - n);
}
