#include "text/compare/memcompare.h"

#include <cstdint>
#include <cstring>

namespace {

inline uint16_t Unit(const unsigned char* p, int i) {
  uint16_t u;
  std::memcpy(&u, p + 2 * i, 2);
  return u;
}

inline unsigned FoldAsciiUpper(unsigned u) { return u - 'a' < 26u ? u - 32 : u; }

}  // namespace

int MemCompare16(const void* a, const void* b, int count) {
  const unsigned char* pa = static_cast<const unsigned char*>(a);
  const unsigned char* pb = static_cast<const unsigned char*>(b);
  int i = 0;
  // Two units per step while they agree; the unit loop finds the difference.
  for (; i + 2 <= count; i += 2) {
    uint32_t wa, wb;
    std::memcpy(&wa, pa + 2 * i, 4);
    std::memcpy(&wb, pb + 2 * i, 4);
    if (wa != wb) break;
  }
  for (; i < count; ++i) {
    int d = (int)Unit(pa, i) - (int)Unit(pb, i);
    if (d) return d;
  }
  return 0;
}

int CompareAsciiNoCaseNW(const wchar_t* a, const wchar_t* b, int count) {
  for (int i = 0; i < count; ++i) {
    int d = (int)FoldAsciiUpper((uint16_t)a[i]) - (int)FoldAsciiUpper((uint16_t)b[i]);
    if (d) return d;
  }
  return 0;
}
