// Base64 with the standard alphabet of RFC 4648, in one call or piece by
// piece with a carried 32-bit state word. The data side is bytes in both
// forms; only the text side is 8-bit (A) or 16-bit (W). Line breaks are a
// single LF after every lineLength characters (0: none); lineLength must not
// exceed 2048.
#pragma once

#include <cstdint>

// Encodes count bytes, padded with '=', and returns the characters written
// (LFs counted, terminator not). The destination must hold 4 characters per
// started group of 3 bytes, a LF per line plus one, and the terminator. A
// text with line breaks ends with a LF.
int Base64EncodeA(const void* source, int count, char* dest, int lineLength);
int Base64EncodeW(const void* source, int count, wchar_t* dest, int lineLength);

// The next piece of an encoding whose carried bytes and column live in
// *state (0 before the first piece). A null source is the final call: it
// writes what is still carried (without '=' padding) and the closing LF.
// Returns the characters written by this call.
int Base64EncodePartA(const void* source, int count, uint32_t* state, char* dest, int lineLength);
int Base64EncodePartW(const void* source, int count, uint32_t* state, wchar_t* dest, int lineLength);

// Decodes at most n characters of text into at most max bytes and returns
// the bytes written (no terminator). Characters outside the alphabet are
// skipped ('=', blanks, line breaks); a NUL ends the text. Bits that make no
// whole byte are dropped.
int Base64DecodeA(void* dest, int max, const char* text, int n);
int Base64DecodeW(void* dest, int max, const wchar_t* text, int n);

// The same with the bits that make no whole byte yet carried in *state (0
// before the first piece) for the next piece.
int Base64DecodePartA(void* dest, int max, uint32_t* state, const char* text, int n);
int Base64DecodePartW(void* dest, int max, uint32_t* state, const wchar_t* text, int n);

// The number of bytes the decoders give for the first n characters of text.
int Base64DecodedSizeA(const char* text, int n);
int Base64DecodedSizeW(const wchar_t* text, int n);
