#include "text/address/ipaddr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "wide.h"

namespace {

std::vector<int> Bytes(const void* p, int n) {
  const uint8_t* b = (const uint8_t*)p;
  return std::vector<int>(b, b + n);
}

const std::vector<int> kInvalid4(4, 0xFF);
const std::vector<int> kInvalid16(16, 0xFF);

// Parses both widths; they must agree. Returns the count used.
int Parse4(const char* text, uint32_t flags, std::vector<int>* address, uint32_t* number) {
  uint8_t a[4], aw[4];
  uint32_t n = 0xDEAD, nw = 0xBEEF;
  int used = ParseIpv4A(text, a, &n, flags);
  WString w = Wide(text);
  EXPECT_EQ(ParseIpv4W(w.c_str(), aw, &nw, flags), used) << text;
  EXPECT_EQ(Bytes(a, 4), Bytes(aw, 4)) << text;
  EXPECT_EQ(n, nw) << text;
  *address = Bytes(a, 4);
  *number = n;
  return used;
}

int Parse6(const char* text, uint32_t flags, std::vector<int>* address, uint32_t* number) {
  uint8_t a[16], aw[16];
  uint32_t n = 0xDEAD, nw = 0xBEEF;
  int used = ParseIpv6A(text, a, &n, flags);
  WString w = Wide(text);
  EXPECT_EQ(ParseIpv6W(w.c_str(), aw, &nw, flags), used) << text;
  EXPECT_EQ(Bytes(a, 16), Bytes(aw, 16)) << text;
  EXPECT_EQ(n, nw) << text;
  *address = Bytes(a, 16);
  *number = n;
  return used;
}

std::vector<int> Groups(std::initializer_list<int> groups) {
  std::vector<int> b;
  for (int g : groups) b.push_back(g >> 8), b.push_back(g & 0xFF);
  return b;
}

TEST(Ipv4Parse, Table) {
  struct Case {
    const char* text;
    uint32_t flags;
    int used;
    std::vector<int> address;
    uint32_t number;  // as stored: a mask reads back in network byte order
  };
  const uint32_t kFullMask = 0xFFFFFFFF;
  uint32_t mask8;  // 255.255.255.0 in memory order
  const uint8_t m8[4] = {255, 255, 255, 0};
  memcpy(&mask8, m8, 4);
  const Case cases[] = {
      {"192.168.1.10", 0, 12, {0xC0, 0xA8, 1, 10}, kFullMask},
      {"192.168.1", 0, 9, kInvalid4, kFullMask},
      {"1..2.3", 0, 6, {1, 0, 2, 3}, kFullMask},
      {"1.2.3.400", 0, 9, kInvalid4, kFullMask},
      {"10.0.0.0/8", IPTEXT_PREFIX, 10, {10, 0, 0, 0}, mask8},
      {"10.0.0.0/8", IPTEXT_PREFIX | IPTEXT_NUMBER, 10, {10, 0, 0, 0}, 8},
      {"10.0.0.0/8", 0, 8, {10, 0, 0, 0}, kFullMask},
      {"10.0.0.0/32", IPTEXT_PREFIX, 11, {10, 0, 0, 0}, kFullMask},
      {"1.2.3.4:8080", IPTEXT_PORT, 12, {1, 2, 3, 4}, 8080},
      {"1.2.3.4:8080", 0, 7, {1, 2, 3, 4}, kFullMask},
      {"  1.2.3.4  x", IPTEXT_LEADING_BLANKS | IPTEXT_TRAILING_BLANKS, 11, {1, 2, 3, 4}, kFullMask},
      {"  1.2.3.4", 0, 0, kInvalid4, kFullMask},
      {"1.2x3.4/8", IPTEXT_PREFIX, 3, kInvalid4, kFullMask},
      // Numbers never wrap into valid values.
      {"1.2.3.4294967297", 0, 16, kInvalid4, kFullMask},
      {"1.2.3.99999999999999999999", 0, 26, kInvalid4, kFullMask},
      {"1.2.3.4/4294967304", IPTEXT_PREFIX, 18, {1, 2, 3, 4}, kFullMask},
      {"", 0, 0, kInvalid4, kFullMask},
  };
  for (const Case& c : cases) {
    std::vector<int> a;
    uint32_t n;
    EXPECT_EQ(Parse4(c.text, c.flags, &a, &n), c.used) << c.text;
    EXPECT_EQ(a, c.address) << c.text;
    EXPECT_EQ(n, c.number) << c.text;
  }
}

TEST(Ipv4Parse, HostOrderStoresNumbers) {
  uint32_t a, mask;
  ParseIpv4A("10.1.2.3/8", &a, &mask, IPTEXT_PREFIX | IPTEXT_HOST_ORDER);
  EXPECT_EQ(a, 0x0A010203u);
  EXPECT_EQ(mask, 0xFFFFFF00u);
  EXPECT_EQ(ParseIpv4A("1.2.3.4", nullptr, nullptr, 0), 7);
}

TEST(Ipv6Parse, Table) {
  struct Case {
    const char* text;
    uint32_t flags;
    int used;
    std::vector<int> address;
    uint32_t number;
  };
  const std::vector<int> mapped = Groups({0, 0, 0, 0, 0, 0xFFFF, 0x0102, 0x0304});
  const Case cases[] = {
      {"::1", 0, 3, Groups({0, 0, 0, 0, 0, 0, 0, 1}), 0},
      {"1::", 0, 3, Groups({1, 0, 0, 0, 0, 0, 0, 0}), 0},
      {"::", 0, 2, Groups({0, 0, 0, 0, 0, 0, 0, 0}), 0},
      {"2001:db8::8:800:200c:417a", 0, 25, Groups({0x2001, 0xDB8, 0, 0, 8, 0x800, 0x200C, 0x417A}), 0},
      {"1:2:3:4:5:6:7::", 0, 15, Groups({1, 2, 3, 4, 5, 6, 7, 0}), 0},
      {"::ffff:1.2.3.4", 0, 14, mapped, 0},
      {"1.2.3.4", 0, 7, mapped, 0},
      {"1:2:3:4:5:6:1.2.3.4", 0, 19, Groups({1, 2, 3, 4, 5, 6, 0x102, 0x304}), 0},
      {"1:2:3::5:6:1.2.3.4", 0, 18, Groups({1, 2, 3, 0, 5, 6, 0x102, 0x304}), 0},
      {"1:2:3::4:5:6:1.2.3.4", 0, 20, Groups({1, 2, 3, 4, 5, 6, 0x102, 0x304}), 0},
      {"[2001:db8::1]:443", IPTEXT_BRACKETS | IPTEXT_PORT | IPTEXT_PREFIX, 17,
       Groups({0x2001, 0xDB8, 0, 0, 0, 0, 0, 1}), 443},
      {"2001:db8::/64", IPTEXT_PREFIX, 13, Groups({0x2001, 0xDB8, 0, 0, 0, 0, 0, 0}), 64},
      {"2001:db8::/129", IPTEXT_PREFIX, 14, Groups({0x2001, 0xDB8, 0, 0, 0, 0, 0, 0}), 0},
      {"1.2.3.4:80", IPTEXT_PORT, 10, mapped, 80},
      {"1:2:3:4:5:6:7:8:9", 0, 15, Groups({1, 2, 3, 4, 5, 6, 7, 8}), 0},
      {"1::2:", 0, 5, Groups({1, 0, 0, 0, 0, 0, 0, 2}), 0},
      {" \t::1 ", IPTEXT_LEADING_BLANKS | IPTEXT_TRAILING_BLANKS, 6, Groups({0, 0, 0, 0, 0, 0, 0, 1}), 0},
      // Invalid forms.
      {"1::2::3", 0, 4, kInvalid16, 0},
      {"1:2:3", 0, 5, kInvalid16, 0},
      {"1:2:3:", 0, 5, kInvalid16, 0},
      {"", 0, 0, kInvalid16, 0},
      {":1", 0, 0, kInvalid16, 0},
      {":::1", 0, 2, kInvalid16, 0},
      {"1:2:3:4:5:6:7:8::", 0, 15, Groups({1, 2, 3, 4, 5, 6, 7, 8}), 0},
      {"1::2:3:4:5:6:7:8", 0, 16, kInvalid16, 0},
      {"::1.2.3.4", 0, 9, kInvalid16, 0},
      {"1:2:3:4:5:6:7:1.2.3.4", 0, 21, kInvalid16, 0},
      {"1:2:3:4:5:1.2.3.4", 0, 17, kInvalid16, 0},
      {"::ffff:1.2.3", 0, 12, kInvalid16, 0},
      {"::ffff:1.2.3.256", 0, 16, kInvalid16, 0},
      {"1:2:3:4:5:6:7:10000", 0, 19, kInvalid16, 0},
      {"1:2:3:4:5:6:7:100000001", 0, 23, kInvalid16, 0},
      {"[::1", IPTEXT_BRACKETS | IPTEXT_PORT, 4, kInvalid16, 0},
      {"1.2.3.4294967297", 0, 16, kInvalid16, 0},
  };
  for (const Case& c : cases) {
    std::vector<int> a;
    uint32_t n;
    EXPECT_EQ(Parse6(c.text, c.flags, &a, &n), c.used) << c.text;
    EXPECT_EQ(a, c.address) << c.text;
    EXPECT_EQ(n, c.number) << c.text;
  }
}

TEST(Ipv6Parse, HostOrderGroups) {
  uint16_t g[8];
  ParseIpv6A("1234::abcd", g, nullptr, IPTEXT_HOST_ORDER);
  EXPECT_EQ(g[0], 0x1234);
  EXPECT_EQ(g[7], 0xABCD);
}

TEST(IpSyntax, Table) {
  struct Case {
    const char* text;
    uint32_t flags;
    uint32_t result;
  };
  const Case cases[] = {
      {"[::1]:80", IPTEXT_BRACKETS, 8 | IPKIND_V6 | IPKIND_PORT | IPKIND_BRACKETS},
      {"1::", 0, 3 | IPKIND_V6},
      {"::", 0, 2 | IPKIND_V6},
      {"1.2.3.4x", 0, 7},
      {"1::2::3", 0, 4},
      {":1", 0, 0},
      {"1::2:", 0, 4},
      {"1.2.3.4", 0, 7 | IPKIND_V4},
      {"1..3.", 0, 5 | IPKIND_V4},
      {"10.0.0.0/8 ", IPTEXT_TRAILING_BLANKS, 11 | IPKIND_V4 | IPKIND_PREFIX},
      {"1.2.3.4:80", 0, 10 | IPKIND_V4 | IPKIND_PORT},
      {"1:2:3:4:5:6:7:8", 0, 15 | IPKIND_V6},
      {"1:2:3:4:5:6:7", 0, 13},
      {"1::3:4:5:6:7:8:9", 0, 16},
      {"::ffff:1.2.3.4", 0, 14 | IPKIND_V6},
      {"::1.2.3.4", 0, 2},
      {"1:2:3:4:5:6:1.2.3.4/96", 0, 22 | IPKIND_V6 | IPKIND_PREFIX},
      {"00000000000001::", 0, 16 | IPKIND_V6},
      {"[::1", IPTEXT_BRACKETS, 4},
      {"  ::1", IPTEXT_LEADING_BLANKS, 5 | IPKIND_V6},
      {"", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckIpSyntaxA(c.text, c.flags), c.result) << c.text;
    EXPECT_EQ(CheckIpSyntaxW(Wide(c.text).c_str(), c.flags), c.result) << c.text;
  }
  // A unit above 255 after an IPv4 number fails the 16-bit form only.
  WString w = Wide("1.2.3.4");
  w += (wchar_t)0x100;
  EXPECT_EQ(CheckIpSyntaxW(w.c_str(), 0), 7u);
  EXPECT_EQ(CheckIpSyntaxA("1.2.3.4\xC4", 0), 7u | IPKIND_V4);
}

TEST(IpSyntax, LongDigitRunsDoNotReachTheKindBits) {
  std::string text = "1::" + std::string(70000, '1');
  EXPECT_EQ(CheckIpSyntaxA(text.c_str(), 0), IPKIND_LENGTH_MASK);
}

std::string Format6(std::initializer_list<int> groups, uint32_t number, uint32_t flags) {
  std::vector<int> g = Groups(groups);
  uint8_t a[16];
  for (int i = 0; i < 16; ++i) a[i] = (uint8_t)g[i];
  char out[64];
  wchar_t outW[64];
  int n = FormatIpv6A(out, a, number, flags);
  EXPECT_EQ(FormatIpv6W(outW, a, number, flags), n);
  EXPECT_EQ(WString(outW), Wide(out));
  EXPECT_EQ((int)strlen(out), n);
  return out;
}

TEST(Ipv6Format, Table) {
  EXPECT_EQ(Format6({0x2001, 0xDB8, 0, 0, 1, 0, 0, 1}, 0, 0), "2001:DB8::1:0:0:1");
  EXPECT_EQ(Format6({0, 0, 0, 0, 0, 0, 0, 1}, 0, 0), "::1");
  EXPECT_EQ(Format6({1, 0, 0, 0, 0, 0, 0, 0}, 0, 0), "1::");
  EXPECT_EQ(Format6({0, 0, 0, 0, 0, 0, 0, 0}, 0, 0), "::");
  EXPECT_EQ(Format6({1, 0, 2, 3, 4, 5, 6, 7}, 0, 0), "1::2:3:4:5:6:7");
  EXPECT_EQ(Format6({1, 2, 3, 4, 5, 6, 7, 8}, 0, 0), "1:2:3:4:5:6:7:8");
  EXPECT_EQ(Format6({1, 0, 0, 2, 0, 0, 0, 3}, 0, 0), "1:0:0:2::3");
  EXPECT_EQ(Format6({0, 0, 0, 0, 0, 0xFFFF, 0x0102, 0x0304}, 0, 0), "1.2.3.4");
  EXPECT_EQ(Format6({0, 0, 0, 0, 0, 0xFFFF, 0x0102, 0x0304}, 80, IPTEXT_NUMBER | IPTEXT_BRACKETS), "1.2.3.4:80");
  EXPECT_EQ(Format6({0xFE80, 0, 0, 0, 0, 0, 0, 1}, 443, IPTEXT_NUMBER), "[FE80::1]:443");
  EXPECT_EQ(Format6({0xFE80, 0, 0, 0, 0, 0, 0, 1}, 0, IPTEXT_NUMBER), "[FE80::1]");
  EXPECT_EQ(Format6({0x2001, 0xDB8, 0, 0, 0, 0, 0, 0}, 64, IPTEXT_PREFIX | IPTEXT_BRACKETS), "[2001:DB8::/64]");
  EXPECT_EQ(Format6({0xABC, 0xF, 0, 0, 0, 0, 0, 0x10}, 0, IPTEXT_LEADING_BLANKS | IPTEXT_TRAILING_BLANKS),
            " ABC:F::10 ");
  // The marked form: its word, then the IPv4 address.
  uint8_t marked[16] = {};
  uint32_t mark = IPV6_MARKED_IPV4;
  memcpy(marked, &mark, 4);
  marked[4] = 10, marked[5] = 0, marked[6] = 0, marked[7] = 1;
  char out[64];
  FormatIpv6A(out, marked, 0, 0);
  EXPECT_STREQ(out, "10.0.0.1");
  // The longest text fits in 64.
  uint8_t full[16];
  memset(full, 0xAB, 16);
  char big[64];
  int n = FormatIpv6A(big, full, 0xFFFFFFFF,
                      IPTEXT_LEADING_BLANKS | IPTEXT_TRAILING_BLANKS | IPTEXT_PREFIX | IPTEXT_BRACKETS);
  EXPECT_LT(n, 64);
}

TEST(Ipv4Format, NumbersAndMasks) {
  const uint8_t a[4] = {192, 168, 0, 1};
  char out[64];
  wchar_t outW[64];
  struct Case {
    uint32_t number, flags;
    const char* text;
  };
  const Case cases[] = {
      {0, 0, "192.168.0.1"},
      {0, IPTEXT_NUMBER, "192.168.0.1"},
      {0x10050, IPTEXT_NUMBER | IPTEXT_PREFIX, "192.168.0.1:80"},
      {24, IPTEXT_PREFIX, "192.168.0.1/24"},
      {24, IPTEXT_LEADING_BLANKS | IPTEXT_TRAILING_BLANKS, " 192.168.0.1 "},
      {4294967295u, IPTEXT_PREFIX, "192.168.0.1/4294967295"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatIpv4A(out, a, c.number, c.flags), (int)strlen(c.text));
    EXPECT_STREQ(out, c.text);
    FormatIpv4W(outW, a, c.number, c.flags);
    EXPECT_EQ(WString(outW), Wide(c.text));
  }
  uint32_t host = 0xC0A80001;
  FormatIpv4A(out, &host, 0, IPTEXT_HOST_ORDER);
  EXPECT_STREQ(out, "192.168.0.1");

  const uint8_t mask[4] = {255, 255, 255, 0};
  FormatIpv4MaskA(out, a, mask, IPTEXT_PREFIX);
  EXPECT_STREQ(out, "192.168.0.1/8");
  FormatIpv4MaskW(outW, a, mask, IPTEXT_PREFIX);
  EXPECT_EQ(WString(outW), Wide("192.168.0.1/8"));
  FormatIpv4MaskA(out, a, nullptr, IPTEXT_PREFIX);
  EXPECT_STREQ(out, "192.168.0.1");
  const uint8_t odd[4] = {255, 255, 255, 255};
  FormatIpv4MaskA(out, a, odd, IPTEXT_PREFIX);
  EXPECT_STREQ(out, "192.168.0.1");
  uint32_t hostMask = 0xFFFF0000;
  FormatIpv4MaskA(out, &host, &hostMask, IPTEXT_PREFIX | IPTEXT_HOST_ORDER);
  EXPECT_STREQ(out, "192.168.0.1/16");
}

// Parsing inverts formatting: mask text and back.
TEST(Ipv4Format, MaskRoundTrip) {
  for (int bits = 1; bits < 32; ++bits) {
    std::string text = "10.20.30.40/" + std::to_string(bits);
    uint8_t a[4], mask[4];
    ParseIpv4A(text.c_str(), a, (uint32_t*)mask, IPTEXT_PREFIX);
    char out[64];
    FormatIpv4MaskA(out, a, mask, IPTEXT_PREFIX);
    EXPECT_EQ(text, out);
  }
}

TEST(IpStatic, EightBuffersPerWidth) {
  const uint8_t a[4] = {1, 2, 3, 4};
  uint8_t a6[16] = {};
  a6[15] = 1;
  const char* first = FormatIpv4StaticA(a, 0, 0);
  const wchar_t* firstW = FormatIpv4StaticW(a, 0, 0);
  EXPECT_STREQ(first, "1.2.3.4");
  EXPECT_EQ(WString(firstW), Wide("1.2.3.4"));
  const char* seen[8] = {first};
  for (int i = 1; i < 8; ++i) {
    seen[i] = i == 4 ? FormatIpv6StaticA(a6, 0, 0) : FormatIpv4StaticA(a, 0, 0);
    for (int j = 0; j < i; ++j) EXPECT_NE(seen[i], seen[j]);
  }
  EXPECT_STREQ(seen[4], "::1");
  EXPECT_EQ(FormatIpv4StaticA(a, 0, 0), first);
  EXPECT_NE(FormatIpv6StaticW(a6, 0, 0), firstW);
}

// Random addresses formatted and parsed back give the same bytes.
TEST(Ipv6Format, RoundTripsRandomAddresses) {
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
  for (int k = 0; k < 5000; ++k) {
    uint8_t a[16];
    for (int i = 0; i < 8; ++i) {
      // Many zero groups, to make runs.
      uint32_t g = next() % 3 == 0 ? 0 : next() & 0xFFFF;
      a[2 * i] = (uint8_t)(g >> 8), a[2 * i + 1] = (uint8_t)g;
    }
    uint32_t mark;
    memcpy(&mark, a, 4);
    if (mark == IPV6_MARKED_IPV4) continue;
    char text[64];
    FormatIpv6A(text, a, 0, 0);
    uint8_t back[16];
    ASSERT_EQ(ParseIpv6A(text, back, nullptr, 0), (int)strlen(text)) << text;
    ASSERT_EQ(Bytes(back, 16), Bytes(a, 16)) << text;
    uint32_t kind = strchr(text, ':') ? IPKIND_V6 : IPKIND_V4;  // mapped addresses are written dotted
    ASSERT_EQ(CheckIpSyntaxA(text, 0), (uint32_t)strlen(text) | kind) << text;
  }
}

}  // namespace
