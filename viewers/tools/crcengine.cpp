#include "viewers/tools/crcengine.h"

#include <cstring>

namespace {

uint64_t LoadLe64(const unsigned char* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  v = __builtin_bswap64(v);
#endif
  return v;
}

// Below this length the seven extra tables of the 8-byte loop cost more than they save.
constexpr int kSliceMinLength = 1024;

}  // namespace

uint64_t CrcWidthMask(int width) {
  if (width >= 64) return ~0ull;
  if (width < 1) width = 1;
  return (1ull << width) - 1;
}

int CrcHexText(char* dest, uint64_t value, int width) {
  static const char kDigits[] = "0123456789ABCDEF";
  if (width < 1) width = 1;
  if (width > 64) width = 64;
  int digits = (width + 3) / 4;
  dest[0] = '0';
  dest[1] = 'x';
  for (int i = 0; i < digits; i++) dest[2 + i] = kDigits[(value >> (4 * (digits - 1 - i))) & 0xF];
  dest[2 + digits] = 0;
  return 2 + digits;
}

void CrcTableReflected(uint64_t polyReflected, uint64_t table[256]) {
  for (int i = 0; i < 256; i++) {
    uint64_t v = (uint64_t)i;
    for (int k = 0; k < 8; k++) v = (v >> 1) ^ ((v & 1) ? polyReflected : 0);
    table[i] = v;
  }
}

uint64_t CrcUpdateReflected(uint64_t crc, const void* bytes, int length, const uint64_t table[256]) {
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  if (length >= kSliceMinLength) {
    // Eight bytes a step: slice[k][i] is byte i followed by k zero bytes.
    // The table is linear, and the register is 64 bits wide at every
    // width, so the step equals eight byte steps.
    uint64_t slice[7][256];
    for (int i = 0; i < 256; i++) {
      uint64_t v = table[i];
      for (int k = 0; k < 7; k++) {
        v = table[v & 0xFF] ^ (v >> 8);
        slice[k][i] = v;
      }
    }
    while (length >= 8) {
      uint64_t x = crc ^ LoadLe64(p);
      crc = slice[6][x & 0xFF] ^ slice[5][(x >> 8) & 0xFF] ^ slice[4][(x >> 16) & 0xFF] ^ slice[3][(x >> 24) & 0xFF] ^
            slice[2][(x >> 32) & 0xFF] ^ slice[1][(x >> 40) & 0xFF] ^ slice[0][(x >> 48) & 0xFF] ^ table[x >> 56];
      p += 8;
      length -= 8;
    }
  }
  for (; length > 0; length--) crc = table[(crc ^ *p++) & 0xFF] ^ (crc >> 8);
  return crc;
}

// Widths below 8 work left-aligned in a byte: the polynomial and the table
// entries are shifted up by 8 - width while the table is built. From 8 bits on
// the byte enters at bit width - 8, which is the usual table for widths that
// are a multiple of 8 and the standard CRC for the others (CRC-12, CAN).
void CrcTableMsbFirst(uint64_t polyNormal, uint64_t table[256], int width, uint64_t mask) {
  int pad = width < 8 ? 8 - width : 0;
  int top = width + pad - 1;
  uint64_t poly = (polyNormal & mask) << pad;
  for (int i = 0; i < 256; i++) {
    uint64_t r = 0;
    uint64_t u = (uint64_t)i << (top - 7);
    for (int k = 0; k < 8; k++) {
      r = (((r ^ u) >> top) & 1) ? (r << 1) ^ poly : r << 1;
      u <<= 1;
    }
    table[i] = (r >> pad) & mask;
  }
}

uint64_t CrcUpdateMsbFirst(uint64_t crc, const void* bytes, int length, const uint64_t table[256], int width,
                           uint64_t mask) {
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  if (width >= 8) {
    int s = width - 8;
    for (; length > 0; length--) {
      uint64_t c = crc & mask;
      crc = table[((c >> s) & 0xFF) ^ *p++] ^ (c << 8);
    }
  } else {
    int pad = 8 - width;
    for (; length > 0; length--) crc = table[(((crc & mask) << pad) ^ *p++) & 0xFF];
  }
  return crc & mask;
}

void CrcTableShifted(uint64_t polyNormal, uint64_t table[256], int width) {
  uint64_t t = width >= 64 ? 0 : 1ull << width;
  uint64_t poly = polyNormal | t;
  for (int i = 0; i < 256; i++) {
    uint64_t v = (uint64_t)i;
    if (v & t) v ^= poly;
    for (int k = 0; k < 7; k++) {
      v <<= 1;
      if (v & t) v ^= poly;
    }
    table[i] = v;
  }
}

uint64_t CrcUpdateShifted(uint64_t crc, const void* bytes, int length, const uint64_t table[256]) {
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  for (; length > 0; length--) crc = table[((crc & 0x7F) << 1) ^ *p++];
  return crc;
}
