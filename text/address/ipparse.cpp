#include <cstring>

#include "text/address/ipaddr.h"
#include "text/address/ipdigits.h"

using iptext::IsBlank;
using iptext::ReadNumber;
using iptext::SkipBlanks;

namespace {

// Four dotted decimal numbers from s[*p]; false when one is above 255 or a
// dot is missing (reading then stops at that character).
template <class Char>
bool ReadDotted(const Char* s, int* p, uint8_t bytes[4], bool* stopped) {
  bool valid = true;
  *stopped = false;
  for (int i = 0; i < 4; ++i) {
    uint32_t v = ReadNumber(s, p, 10);
    if (v > 255) valid = false;
    bytes[i] = (uint8_t)v;
    if (i < 3) {
      if (s[*p] != '.') {
        *stopped = true;
        return false;
      }
      ++*p;
    }
  }
  return valid;
}

template <class Char>
int ParseIpv4(const Char* s, void* address, uint32_t* number, uint32_t flags) {
  int p = flags & IPTEXT_LEADING_BLANKS ? SkipBlanks(s, 0) : 0;
  uint8_t bytes[4];
  bool stopped;
  bool valid = ReadDotted(s, &p, bytes, &stopped);
  uint32_t n = 0;
  if (!stopped) {
    if ((flags & IPTEXT_PORT) ? s[p] == ':' : ((flags & IPTEXT_PREFIX) && s[p] == '/')) {
      ++p;
      n = ReadNumber(s, &p, 10);
    }
    if (flags & IPTEXT_TRAILING_BLANKS) p = SkipBlanks(s, p);
  }
  uint32_t value = (uint32_t)bytes[0] << 24 | (uint32_t)bytes[1] << 16 | (uint32_t)bytes[2] << 8 | bytes[3];
  if (address) {
    if (!valid)
      memset(address, 0xFF, 4);
    else if (flags & IPTEXT_HOST_ORDER)
      memcpy(address, &value, 4);
    else
      memcpy(address, bytes, 4);
  }
  if (number) {
    if (flags & (IPTEXT_NUMBER | IPTEXT_PORT)) {
      *number = n;
    } else {
      // The number counts the zero bits at the low end of the mask.
      uint32_t mask = !valid || n > 31 ? 0xFFFFFFFF : 0xFFFFFFFF << n;
      if (flags & IPTEXT_HOST_ORDER) {
        *number = mask;
      } else {
        uint8_t m[4] = {(uint8_t)(mask >> 24), (uint8_t)(mask >> 16), (uint8_t)(mask >> 8), (uint8_t)mask};
        memcpy(number, m, 4);
      }
    }
  }
  return p;
}

template <class Char>
int ParseIpv6(const Char* s, void* address, uint32_t* number, uint32_t flags) {
  int p = flags & IPTEXT_LEADING_BLANKS ? SkipBlanks(s, 0) : 0;
  bool brackets = false;
  if ((flags & IPTEXT_BRACKETS) && s[p] == '[') {
    brackets = true;
    ++p;
  }
  uint16_t groups[8] = {};
  bool valid = true;
  bool dotted = false;  // the whole address is IPv4 text
  int q = p;
  while (iptext::HexValue(s[q]) >= 0) ++q;
  if (q > p && s[q] == '.') {
    uint8_t b[4];
    bool stopped;
    valid = ReadDotted(s, &p, b, &stopped);
    dotted = true;
    groups[5] = 0xFFFF;
    groups[6] = (uint16_t)(b[0] << 8 | b[1]);
    groups[7] = (uint16_t)(b[2] << 8 | b[3]);
  } else {
    int count = 0, gap = -1;
    bool tail = false;
    if (s[p] == ':') {
      if (s[p + 1] == ':') {
        gap = 0;
        p += 2;
      } else {
        valid = false;  // a lone leading colon
      }
    }
    while (valid && count < 8 && iptext::HexValue(s[p]) >= 0) {
      int start = p;
      uint32_t v = ReadNumber(s, &p, 16);
      if (s[p] == '.') {
        // A dotted IPv4 tail: after six groups, or one to six beside a
        // "::" that does not stand right before it.
        p = start;
        uint8_t b[4];
        bool stopped;
        bool placed = gap >= 0 ? count >= 1 && count <= 6 && gap != count : count == 6;
        if (!ReadDotted(s, &p, b, &stopped) || !placed) {
          valid = false;
          break;
        }
        groups[count++] = (uint16_t)(b[0] << 8 | b[1]);
        groups[count++] = (uint16_t)(b[2] << 8 | b[3]);
        tail = true;
        break;
      }
      if (v > 0xFFFF) valid = false;
      groups[count++] = (uint16_t)v;
      if (count == 8 || s[p] != ':') break;
      if (s[p + 1] == ':') {
        if (gap >= 0) {
          valid = false;  // a second "::"
          break;
        }
        gap = count;
        p += 2;
      } else if (iptext::HexValue(s[p + 1]) >= 0) {
        ++p;
      } else {
        if (gap >= 0)
          ++p;  // "1::2:" reads as 1::2
        else
          valid = false;
        break;
      }
    }
    if (s[p] == ':' && count < 8) valid = false;
    if (gap < 0 ? count < 8 : (count == 8 && !tail)) valid = false;
    if (valid && gap >= 0) {
      // The groups after "::" move to the end, zeros take their place.
      int after = count - gap;
      for (int i = 0; i < after; ++i) groups[7 - i] = groups[count - 1 - i];
      for (int i = gap; i < 8 - after; ++i) groups[i] = 0;
    }
  }
  uint32_t n = 0;
  if ((flags & IPTEXT_PREFIX) && !(flags & IPTEXT_PORT) && s[p] == '/') {
    ++p;
    n = ReadNumber(s, &p, 10);
    if (n > 128) n = 0;
  }
  if (brackets) {
    if (s[p] == ']')
      ++p;
    else
      valid = false;
  }
  if ((flags & IPTEXT_PORT) && (brackets || dotted) && s[p] == ':') {
    ++p;
    n = ReadNumber(s, &p, 10);
  }
  if (flags & IPTEXT_TRAILING_BLANKS) p = SkipBlanks(s, p);
  if (address) {
    if (!valid) {
      memset(address, 0xFF, 16);
    } else {
      uint8_t* out = (uint8_t*)address;
      for (int i = 0; i < 8; ++i) {
        if (flags & IPTEXT_HOST_ORDER) {
          memcpy(out + 2 * i, &groups[i], 2);
        } else {
          out[2 * i] = (uint8_t)(groups[i] >> 8);
          out[2 * i + 1] = (uint8_t)groups[i];
        }
      }
    }
  }
  if (number) *number = valid ? n : 0;
  return p;
}

}  // namespace

int ParseIpv4A(const char* text, void* address, uint32_t* number, uint32_t flags) {
  return ParseIpv4(text, address, number, flags);
}
int ParseIpv4W(const wchar_t* text, void* address, uint32_t* number, uint32_t flags) {
  return ParseIpv4(text, address, number, flags);
}
int ParseIpv6A(const char* text, void* address, uint32_t* number, uint32_t flags) {
  return ParseIpv6(text, address, number, flags);
}
int ParseIpv6W(const wchar_t* text, void* address, uint32_t* number, uint32_t flags) {
  return ParseIpv6(text, address, number, flags);
}
