// Splits a location into its parts: URLs (scheme "://", user and password
// before "@", host or "[IPv6]", port, path, query and fragment), UNC paths,
// drive paths and paths without a host. Every part is decoded ("%XX" and
// UTF-8) on the way.
#pragma once

#include <cstdint>

// The parts found.
constexpr uint32_t URLPART_HOST = 0x1;
constexpr uint32_t URLPART_USER = 0x2;      // a "@" was found
constexpr uint32_t URLPART_PASSWORD = 0x4;  // a ":" before the "@"
constexpr uint32_t URLPART_PORT = 0x8;
constexpr uint32_t URLPART_SCHEME = 0x10;
constexpr uint32_t URLPART_PATH = 0x20;
constexpr uint32_t URLPART_REST = 0x40;  // query and fragment, from "?" or "#"

// Sizes of the fixed buffers, terminator included.
constexpr int URLPART_USER_SIZE = 64;
constexpr int URLPART_PASSWORD_SIZE = 64;
constexpr int URLPART_SCHEME_SIZE = 16;

// Every buffer and the port pointer may be null. Without a rest buffer the
// path runs to the end of the text. The authority ends at "/", backslash,
// "?" or "#"; the path starts after a separator that ended it.
uint32_t SplitUrlA(const char* text, char* host, int hostSize, char* user, char* password, int* port, char* scheme,
                   char* path, int pathSize, char* rest, int restSize);
uint32_t SplitUrlW(const wchar_t* text, wchar_t* host, int hostSize, wchar_t* user, wchar_t* password, int* port,
                   wchar_t* scheme, wchar_t* path, int pathSize, wchar_t* rest, int restSize);
