// CRC-32 over 64 MB: the reflected engine against a plain table loop with a
// 32-bit register, one byte a step; ntdll's RtlComputeCrc32 for comparison.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench.h"
#include "viewers/tools/crcengine.h"

namespace {

constexpr int kSize = 64 << 20;

uint32_t PlainCrc32(const unsigned char* p, int n, const uint32_t table[256]) {
  uint32_t crc = 0xFFFFFFFF;
  for (int i = 0; i < n; i++) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

}  // namespace

int main() {
  std::vector<unsigned char> data(kSize);
  uint32_t x = 2463534242u;
  for (auto& b : data) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    b = (unsigned char)x;
  }
  uint64_t table[256];
  CrcTableReflected(0xEDB88320, table);
  uint32_t plainTable[256];
  for (int i = 0; i < 256; i++) plainTable[i] = (uint32_t)table[i];

  uint32_t engine = (uint32_t)CrcUpdateReflected(0xFFFFFFFF, data.data(), kSize, table) ^ 0xFFFFFFFF;
  uint32_t plain = PlainCrc32(data.data(), kSize, plainTable);
  std::printf("CRC-32 of 64 MB: engine %08X, plain loop %08X%s\n", engine, plain, engine == plain ? "" : "  MISMATCH");
  double ratio = bench::Compare(
      "CRC-32 64 MB engine", [&] { bench::Sink((long long)CrcUpdateReflected(0xFFFFFFFF, data.data(), kSize, table)); },
      "plain table loop", [&] { bench::Sink(PlainCrc32(data.data(), kSize, plainTable)); }, 1, 5);

  typedef DWORD(WINAPI * RtlCrc32)(DWORD, const BYTE*, INT);
  auto rtl = (RtlCrc32)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlComputeCrc32");
  if (rtl) {
    uint32_t r = rtl(0, data.data(), kSize);
    double ns = bench::MedianNs([&] { bench::Sink(rtl(0, data.data(), kSize)); }, 1, 5);
    std::printf("RtlComputeCrc32 64 MB: %.1f ms, %08X%s\n", ns / 1e6, r, r == plain ? "" : "  MISMATCH");
  }
  return engine == plain && ratio <= 1.0 ? 0 : 1;
}
