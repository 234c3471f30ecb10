// Web text to plain text: character references, "%XX" escapes, "+" as a
// blank, tags skipped ("<br>" as a line break), blanks and line breaks
// collapsed, UTF-8 decoded. 8-bit output is Latin-1: the euro sign becomes
// "Euro", any other character above 255 0xFF.
#pragma once

#include <cstdint>

#include "text/web/webflags.h"

// length < 0: up to the terminator (a NUL in a counted text is a blank).
// size counts the destination's characters; the output is always
// terminated when size >= 1. used (optional) receives the count of source
// characters consumed, so that a caller can go on from there. The result is
// the output length.
int DecodeWebTextA(const char* source, int length, char* dest, int size, uint32_t flags, int* used);
// 8-bit source, 16-bit output: every character through UTF-16.
int DecodeWebTextUtf8ToW(const char* source, int length, wchar_t* dest, int size, uint32_t flags, int* used);
// 16-bit source and output. With WEBDEC_UTF8 units 0xC0-0xFF are read as
// UTF-8 bytes; units above 255 are copied.
int DecodeWebTextW(const wchar_t* source, int length, wchar_t* dest, int size, uint32_t flags, int* used);
