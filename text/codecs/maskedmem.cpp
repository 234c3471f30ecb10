#include "text/codecs/maskedmem.h"

#include <cstdint>
#include <cstring>

int MemCompareMasked(const void* a, const void* b, const void* mask, int n) {
  const unsigned char* pa = static_cast<const unsigned char*>(a);
  const unsigned char* pb = static_cast<const unsigned char*>(b);
  const unsigned char* pm = static_cast<const unsigned char*>(mask);
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    uint32_t wa, wb, wm;
    std::memcpy(&wa, pa + i, 4);
    std::memcpy(&wb, pb + i, 4);
    std::memcpy(&wm, pm + i, 4);
    if ((wa ^ wb) & wm) break;
  }
  for (; i < n; ++i)
    if ((pa[i] ^ pb[i]) & pm[i]) return (pa[i] & pm[i]) - (pb[i] & pm[i]);
  return 0;
}

void MemSwap(void* a, void* b, int n) {
  unsigned char* pa = static_cast<unsigned char*>(a);
  unsigned char* pb = static_cast<unsigned char*>(b);
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    uint32_t wa, wb;
    std::memcpy(&wa, pa + i, 4);
    std::memcpy(&wb, pb + i, 4);
    std::memcpy(pa + i, &wb, 4);
    std::memcpy(pb + i, &wa, 4);
  }
  for (; i < n; ++i) {
    unsigned char t = pa[i];
    pa[i] = pb[i];
    pb[i] = t;
  }
}
