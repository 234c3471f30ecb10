// Plain text to web text: "%XX" escapes (URL form) or "&#N;" (HTML form),
// "+" for blanks and "<br>" for line breaks. The output is 8-bit.
#pragma once

#include <cstdint>

#include "text/web/webflags.h"

// length < 0: up to the terminator (a NUL in a counted text is "%00" or a
// blank). A size below WEBENC_MIN_SIZE gives only a terminator; an escape
// that does not fit whole is not begun. used (optional) receives the count
// of source characters consumed; the result is the output length.
int EncodeWebTextA(const char* source, int length, char* dest, int size, uint32_t flags, int* used);
// 16-bit source (surrogate pairs joined): a character above 255 is "&#N;"
// in both forms, or UTF-8 with WEBENC_UTF8.
int EncodeWebTextW(const wchar_t* source, int length, char* dest, int size, uint32_t flags, int* used);
