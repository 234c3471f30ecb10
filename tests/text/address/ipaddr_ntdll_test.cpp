// The parsers and formatters against the system's own (ntdll), on random
// addresses in the text forms both read. Forms where the two are known to
// differ by design are left out: a dotted tail right after "::", "1::2:",
// leading zeros in IPv4 numbers, five-digit groups, a lone zero group
// written as "0", and the mapped, compatible and ISATAP forms written dotted.
#ifdef _WIN32
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "text/address/ipaddr.h"

namespace {

typedef LONG(WINAPI* Ipv4ToAddress)(const char*, BOOLEAN, const char**, void*);
typedef LONG(WINAPI* Ipv6ToAddress)(const char*, const char**, void*);
typedef char*(WINAPI* AddressToString)(const void*, char*);

struct Ntdll {
  Ntdll() {
    HMODULE h = GetModuleHandleA("ntdll.dll");
    v4 = (Ipv4ToAddress)(void*)GetProcAddress(h, "RtlIpv4StringToAddressA");
    v6 = (Ipv6ToAddress)(void*)GetProcAddress(h, "RtlIpv6StringToAddressA");
    v4Text = (AddressToString)(void*)GetProcAddress(h, "RtlIpv4AddressToStringA");
    v6Text = (AddressToString)(void*)GetProcAddress(h, "RtlIpv6AddressToStringA");
  }
  Ipv4ToAddress v4;
  Ipv6ToAddress v6;
  AddressToString v4Text, v6Text;
};

struct Random {
  uint32_t seed;
  uint32_t Next() {
    seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
    return seed;
  }
  uint32_t Below(uint32_t n) { return Next() % n; }
};

const char* const kEndings[] = {"", "x", "/", ":"};

std::string Hex(uint32_t v, bool upper) {
  char s[8];
  wsprintfA(s, upper ? "%X" : "%x", v);
  return s;
}

std::string Upper(std::string s) {
  for (char& c : s) c = (char)toupper((unsigned char)c);
  return s;
}

TEST(IpNtdll, Ipv4ParseAndFormat) {
  Ntdll nt;
  ASSERT_TRUE(nt.v4 && nt.v4Text);
  Random r{0x1234567};
  for (int k = 0; k < 20000; ++k) {
    uint8_t b[4];
    std::string text;
    for (int i = 0; i < 4; ++i) {
      b[i] = (uint8_t)r.Next();
      text += (i ? "." : "") + std::to_string(b[i]);
    }
    // The system rejects a ":" after IPv4 text, and reads "0x" as a prefix.
    static const char* const kV4Endings[] = {"", "/", "y"};
    text += kV4Endings[r.Below(3)];
    uint8_t ours[4], theirs[4];
    const char* end = nullptr;
    ASSERT_EQ(nt.v4(text.c_str(), TRUE, &end, theirs), 0) << text;
    ASSERT_EQ(ParseIpv4A(text.c_str(), ours, nullptr, 0), (int)(end - text.c_str())) << text;
    ASSERT_EQ(memcmp(ours, theirs, 4), 0) << text;
    char a[64], t[64];
    FormatIpv4A(a, b, 0, 0);
    nt.v4Text(b, t);
    ASSERT_STREQ(a, t);
  }
}

TEST(IpNtdll, Ipv6Parse) {
  Ntdll nt;
  ASSERT_TRUE(nt.v6);
  Random r{0x9E3779B9};
  for (int k = 0; k < 20000; ++k) {
    bool tail = r.Below(3) == 0;
    int groups = tail ? 6 : 8;
    int gapAt = r.Below(2) ? -1 : (int)r.Below(groups + 1);
    int gapLength = gapAt < 0 ? 0 : 1 + (int)r.Below(groups - (tail ? 1 : 0));
    if (gapAt >= 0 && gapAt + gapLength > groups) gapLength = groups - gapAt;
    // A tail right after "::" is read differently: keep a group before it.
    if (tail && gapAt >= 0 && gapAt + gapLength == groups) --gapLength;
    if (gapLength == 0) gapAt = -1;
    std::string text;
    for (int i = 0; i < groups;) {
      if (i == gapAt) {
        text += i == 0 ? "::" : ":";
        i += gapLength;
        continue;
      }
      uint32_t g = r.Below(4) == 0 ? 0 : r.Below(0x10000);
      std::string h = Hex(g, r.Below(2) != 0);
      int pad = (int)r.Below(4);
      while ((int)h.size() < 4 && pad-- > 0) h = "0" + h;
      text += h;
      ++i;
      if (i < groups || tail) text += ":";
    }
    if (tail) {
      for (int i = 0; i < 4; ++i) text += (i ? "." : "") + std::to_string(r.Below(256));
    } else if (gapAt >= 0 && gapAt + gapLength == groups && text.size() >= 2 && text.substr(text.size() - 2) != "::") {
      text += ":";  // a gap at the very end
    }
    std::string ending = kEndings[r.Below(4)];
    if (ending == ":" && text.find("::") != std::string::npos) ending = "";
    text += ending;
    uint8_t ours[16], theirs[16];
    const char* end = nullptr;
    ASSERT_EQ(nt.v6(text.c_str(), &end, theirs), 0) << text;
    ASSERT_EQ(ParseIpv6A(text.c_str(), ours, nullptr, 0), (int)(end - text.c_str())) << text;
    ASSERT_EQ(memcmp(ours, theirs, 16), 0) << text;
  }
}

TEST(IpNtdll, Ipv6Format) {
  Ntdll nt;
  ASSERT_TRUE(nt.v6Text);
  Random r{0xC0FFEE};
  int compared = 0;
  for (int k = 0; k < 20000; ++k) {
    uint16_t g[8];
    for (uint16_t& v : g) v = r.Below(3) == 0 ? 0 : (uint16_t)r.Below(0x10000);
    if (!g[0] || g[5] == 0x5EFE) continue;  // the dotted forms
    int longest = 0;
    for (int i = 0; i < 8;) {
      int j = i;
      while (j < 8 && !g[j]) ++j;
      if (j - i > longest) longest = j - i;
      i = j == i ? i + 1 : j;
    }
    if (longest == 1) continue;  // written "0" by the system
    uint8_t a[16];
    for (int i = 0; i < 8; ++i) a[2 * i] = (uint8_t)(g[i] >> 8), a[2 * i + 1] = (uint8_t)g[i];
    uint32_t mark;
    memcpy(&mark, a, 4);
    if (mark == IPV6_MARKED_IPV4) continue;
    char ours[64], theirs[64];
    FormatIpv6A(ours, a, 0, 0);
    nt.v6Text(a, theirs);
    ASSERT_EQ(std::string(ours), Upper(theirs));
    ++compared;
  }
  EXPECT_GT(compared, 1000);
}

}  // namespace
#endif
