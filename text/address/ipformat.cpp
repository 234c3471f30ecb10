#include <cstring>

#include "text/address/ipaddr.h"

namespace {

template <class Char>
int PutUnsigned(Char* d, uint32_t v) {
  Char digits[10];
  int n = 0;
  do {
    digits[n++] = (Char)('0' + v % 10);
    v /= 10;
  } while (v);
  for (int i = 0; i < n; ++i) d[i] = digits[n - 1 - i];
  return n;
}

// Upper-case hexadecimal without leading zeros.
template <class Char>
int PutHex(Char* d, uint32_t v) {
  static const char kDigits[] = "0123456789ABCDEF";
  Char digits[8];
  int n = 0;
  do {
    digits[n++] = (Char)kDigits[v & 15];
    v >>= 4;
  } while (v);
  for (int i = 0; i < n; ++i) d[i] = digits[n - 1 - i];
  return n;
}

template <class Char>
int PutDotted(Char* d, const uint8_t b[4]) {
  int p = 0;
  for (int i = 0; i < 4; ++i) {
    if (i) d[p++] = '.';
    p += PutUnsigned(d + p, b[i]);
  }
  return p;
}

// The number after the address: a prefix, or a port with IPTEXT_NUMBER.
template <class Char>
int PutNumber(Char* d, uint32_t number, uint32_t flags, bool brackets) {
  int p = 0;
  if (number && (flags & IPTEXT_PREFIX) && !(flags & IPTEXT_NUMBER)) {
    d[p++] = '/';
    p += PutUnsigned(d + p, number);
  }
  if (brackets) d[p++] = ']';
  if (number && (flags & IPTEXT_NUMBER)) {
    d[p++] = ':';
    p += PutUnsigned(d + p, number & 0xFFFF);
  }
  if (flags & IPTEXT_TRAILING_BLANKS) d[p++] = ' ';
  d[p] = 0;
  return p;
}

template <class Char>
int FormatIpv4(Char* d, const void* address, uint32_t number, uint32_t flags) {
  uint8_t b[4];
  if (flags & IPTEXT_HOST_ORDER) {
    uint32_t v;
    memcpy(&v, address, 4);
    b[0] = (uint8_t)(v >> 24), b[1] = (uint8_t)(v >> 16), b[2] = (uint8_t)(v >> 8), b[3] = (uint8_t)v;
  } else {
    memcpy(b, address, 4);
  }
  int p = 0;
  if (flags & IPTEXT_LEADING_BLANKS) d[p++] = ' ';
  p += PutDotted(d + p, b);
  return p + PutNumber(d + p, number, flags, false);
}

template <class Char>
int FormatIpv4Mask(Char* d, const void* address, const void* mask, uint32_t flags) {
  uint32_t bits = 0;
  if (mask) {
    uint32_t m;
    if (flags & IPTEXT_HOST_ORDER) {
      memcpy(&m, mask, 4);
    } else {
      const uint8_t* b = (const uint8_t*)mask;
      m = (uint32_t)b[0] << 24 | (uint32_t)b[1] << 16 | (uint32_t)b[2] << 8 | b[3];
    }
    if (m && !(m & 1))
      while (!(m & 1)) m >>= 1, ++bits;
  }
  return FormatIpv4(d, address, bits, flags);
}

template <class Char>
int FormatIpv6(Char* d, const void* address, uint32_t number, uint32_t flags) {
  const uint8_t* b = (const uint8_t*)address;
  int p = 0;
  if (flags & IPTEXT_LEADING_BLANKS) d[p++] = ' ';
  uint32_t first;
  memcpy(&first, b, 4);
  static const uint8_t kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
  if (first == IPV6_MARKED_IPV4 || memcmp(b, kMapped, 12) == 0) {
    p += PutDotted(d + p, first == IPV6_MARKED_IPV4 ? b + 4 : b + 12);
    return p + PutNumber(d + p, number, flags & ~(uint32_t)IPTEXT_BRACKETS, false);
  }
  bool brackets = (flags & (IPTEXT_BRACKETS | IPTEXT_NUMBER)) != 0;
  if (brackets) d[p++] = '[';
  uint32_t g[8];
  for (int i = 0; i < 8; ++i) g[i] = (uint32_t)b[2 * i] << 8 | b[2 * i + 1];
  // The longest run of zero groups; the first of equal runs wins.
  int runStart = -1, runLength = 0;
  for (int i = 0; i < 8;) {
    if (g[i]) {
      ++i;
      continue;
    }
    int j = i;
    while (j < 8 && !g[j]) ++j;
    if (j - i > runLength) runStart = i, runLength = j - i;
    i = j;
  }
  for (int i = 0; i < 8; ++i) {
    if (i == runStart) {
      d[p++] = ':';
      if (i == 0) d[p++] = ':';
      i += runLength - 1;
      continue;
    }
    p += PutHex(d + p, g[i]);
    if (i < 7) d[p++] = ':';
  }
  return p + PutNumber(d + p, number, flags, brackets);
}

char staticA[IPTEXT_STATIC_BUFFERS][IPTEXT_STATIC_SIZE];
wchar_t staticW[IPTEXT_STATIC_BUFFERS][IPTEXT_STATIC_SIZE];
unsigned counterA, counterW;

char* NextStatic(char) { return staticA[++counterA % IPTEXT_STATIC_BUFFERS]; }
wchar_t* NextStatic(wchar_t) { return staticW[++counterW % IPTEXT_STATIC_BUFFERS]; }

}  // namespace

int FormatIpv4A(char* dest, const void* address, uint32_t number, uint32_t flags) {
  return FormatIpv4(dest, address, number, flags);
}
int FormatIpv4W(wchar_t* dest, const void* address, uint32_t number, uint32_t flags) {
  return FormatIpv4(dest, address, number, flags);
}
int FormatIpv4MaskA(char* dest, const void* address, const void* mask, uint32_t flags) {
  return FormatIpv4Mask(dest, address, mask, flags);
}
int FormatIpv4MaskW(wchar_t* dest, const void* address, const void* mask, uint32_t flags) {
  return FormatIpv4Mask(dest, address, mask, flags);
}
int FormatIpv6A(char* dest, const void* address, uint32_t number, uint32_t flags) {
  return FormatIpv6(dest, address, number, flags);
}
int FormatIpv6W(wchar_t* dest, const void* address, uint32_t number, uint32_t flags) {
  return FormatIpv6(dest, address, number, flags);
}
const char* FormatIpv4StaticA(const void* address, uint32_t number, uint32_t flags) {
  char* d = NextStatic(char());
  FormatIpv4(d, address, number, flags);
  return d;
}
const wchar_t* FormatIpv4StaticW(const void* address, uint32_t number, uint32_t flags) {
  wchar_t* d = NextStatic(wchar_t());
  FormatIpv4(d, address, number, flags);
  return d;
}
const char* FormatIpv6StaticA(const void* address, uint32_t number, uint32_t flags) {
  char* d = NextStatic(char());
  FormatIpv6(d, address, number, flags);
  return d;
}
const wchar_t* FormatIpv6StaticW(const void* address, uint32_t number, uint32_t flags) {
  wchar_t* d = NextStatic(wchar_t());
  FormatIpv6(d, address, number, flags);
  return d;
}
