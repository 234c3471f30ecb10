// IPv6 text read and written back: ParseIpv6A + FormatIpv6A against ntdll's
// RtlIpv6StringToAddressA + RtlIpv6AddressToStringA, on the same 100,000
// addresses (compressed and full forms).
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench.h"
#include "text/address/ipaddr.h"

typedef LONG(WINAPI* Ipv6ToAddress)(const char*, const char**, void*);
typedef char*(WINAPI* AddressToString)(const void*, char*);

int main() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  Ipv6ToAddress toAddress = (Ipv6ToAddress)(void*)GetProcAddress(ntdll, "RtlIpv6StringToAddressA");
  AddressToString toString = (AddressToString)(void*)GetProcAddress(ntdll, "RtlIpv6AddressToStringA");
  if (!toAddress || !toString) return 1;
  std::vector<std::string> texts;
  uint32_t seed = 2463534242u;
  for (int k = 0; k < 100000; ++k) {
    uint8_t a[16];
    for (int i = 0; i < 8; ++i) {
      seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
      uint32_t g = (seed & 3) == 0 ? 0 : seed >> 16;
      a[2 * i] = (uint8_t)(g >> 8), a[2 * i + 1] = (uint8_t)g;
    }
    a[0] |= 0x20;  // no dotted forms
    char text[64];
    FormatIpv6A(text, a, 0, 0);
    texts.push_back(text);
  }
  bench::Compare(
      "ParseIpv6A + FormatIpv6A",
      [&] {
        long long s = 0;
        uint8_t a[16];
        char out[64];
        for (const std::string& t : texts) {
          s += ParseIpv6A(t.c_str(), a, nullptr, 0);
          s += FormatIpv6A(out, a, 0, 0);
        }
        bench::Sink(s);
      },
      "RtlIpv6StringToAddressA + RtlIpv6AddressToStringA",
      [&] {
        long long s = 0;
        uint8_t a[16];
        char out[64];
        for (const std::string& t : texts) {
          const char* end;
          s += toAddress(t.c_str(), &end, a) + (end - t.c_str());
          s += (long long)(toString(a, out) - out);
        }
        bench::Sink(s);
      },
      1, 5);
  return 0;
}
