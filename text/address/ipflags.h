// The flag word shared by the IP address parsers, the syntax check and the
// formatters, and the kind bits of the check's result.
#pragma once

#include <cstdint>

// Parsers and check / formatters.
constexpr uint32_t IPTEXT_LEADING_BLANKS = 0x1;   // skip tabs and spaces / write a space first
constexpr uint32_t IPTEXT_TRAILING_BLANKS = 0x2;  // skip and count them / write a space last
constexpr uint32_t IPTEXT_PREFIX = 0x4;           // "/" and a number
constexpr uint32_t IPTEXT_HOST_ORDER = 0x8;       // addresses as host-order numbers (IPv6 formatters ignore it)
constexpr uint32_t IPTEXT_BRACKETS = 0x10;        // IPv6 in "[" and "]"
constexpr uint32_t IPTEXT_NUMBER = 0x20;          // parsers: IPv4 number unchanged, not a mask; formatters: port
constexpr uint32_t IPTEXT_PORT = 0x40;            // parsers: ":" and a port

// CheckIpSyntax result: the length in the low bits, and the kind.
constexpr uint32_t IPKIND_LENGTH_MASK = 0xFFFF;
constexpr uint32_t IPKIND_V4 = 0x10000;
constexpr uint32_t IPKIND_V6 = 0x20000;
constexpr uint32_t IPKIND_PORT = 0x40000;
constexpr uint32_t IPKIND_PREFIX = 0x80000;
constexpr uint32_t IPKIND_BRACKETS = 0x100000;

// An IPv4 address inside an IPv6 buffer: this word first, then the address.
constexpr uint32_t IPV6_MARKED_IPV4 = 0xD93B3BD9;
// Static formatter buffers: eight per width, of this many characters.
constexpr int IPTEXT_STATIC_BUFFERS = 8;
constexpr int IPTEXT_STATIC_SIZE = 64;
