// IPv4 and IPv6 address text. An invalid address is stored as all 0xFF
// bytes. Numbers never wrap: a number too large for its place makes the
// address invalid.
#pragma once

#include <cstdint>

#include "text/address/ipflags.h"

// address: 4 bytes (network order, or a host-order number with
// IPTEXT_HOST_ORDER); number: the mask, or with IPTEXT_NUMBER or IPTEXT_PORT
// the number after "/" or ":". Both may be null. The result is the number of
// characters used.
int ParseIpv4A(const char* text, void* address, uint32_t* number, uint32_t flags);
int ParseIpv4W(const wchar_t* text, void* address, uint32_t* number, uint32_t flags);
// address: 16 bytes, eight groups high byte first (host-order 16-bit numbers
// with IPTEXT_HOST_ORDER); number: the prefix or port (0 when invalid).
int ParseIpv6A(const char* text, void* address, uint32_t* number, uint32_t flags);
int ParseIpv6W(const wchar_t* text, void* address, uint32_t* number, uint32_t flags);

// The length of the address text combined with IPKIND_ bits, or, when the
// text is not an address, the position where it failed without kind bits
// (IPKIND_LENGTH_MASK for an address text longer than that).
uint32_t CheckIpSyntaxA(const char* text, uint32_t flags);
uint32_t CheckIpSyntaxW(const wchar_t* text, uint32_t flags);

// Writers: 64 characters always suffice; the result is the length written.
int FormatIpv4A(char* dest, const void* address, uint32_t number, uint32_t flags);
int FormatIpv4W(wchar_t* dest, const void* address, uint32_t number, uint32_t flags);
// The mask's count of low zero bits becomes the number (mask may be null).
int FormatIpv4MaskA(char* dest, const void* address, const void* mask, uint32_t flags);
int FormatIpv4MaskW(wchar_t* dest, const void* address, const void* mask, uint32_t flags);
int FormatIpv6A(char* dest, const void* address, uint32_t number, uint32_t flags);
int FormatIpv6W(wchar_t* dest, const void* address, uint32_t number, uint32_t flags);

// Into the next of eight rotating buffers per width (shared by IPv4 and
// IPv6): valid until eight more calls of the same width. Not thread-safe.
const char* FormatIpv4StaticA(const void* address, uint32_t number, uint32_t flags);
const wchar_t* FormatIpv4StaticW(const void* address, uint32_t number, uint32_t flags);
const char* FormatIpv6StaticA(const void* address, uint32_t number, uint32_t flags);
const wchar_t* FormatIpv6StaticW(const void* address, uint32_t number, uint32_t flags);
