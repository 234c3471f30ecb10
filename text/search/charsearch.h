// Searches for one character, alone, behind an escape character, or together
// with a stop class of the CharClassTable. Results are indexes; the counted
// forms look at most at n characters and give n when nothing stops them
// (n < 1 gives 0).
#pragma once

#include <cstdint>

// Index of the first c or of the terminating NUL.
int FindCharA(const char* text, char c);
int FindCharW(const wchar_t* text, wchar_t c);
int FindCharNA(const char* text, char c, int n);
int FindCharNW(const wchar_t* text, wchar_t c, int n);

// Index just behind the first c, or of the terminating NUL.
int SpanThroughCharA(const char* text, char c);
int SpanThroughCharW(const wchar_t* text, wchar_t c);
int SpanThroughCharNA(const char* text, char c, int n);
int SpanThroughCharNW(const wchar_t* text, wchar_t c, int n);

// Index of the last c among positions 0..n-1 (NULs are ordinary
// characters), or -1.
int FindLastCharNA(const char* text, char c, int n);
int FindLastCharNW(const wchar_t* text, wchar_t c, int n);

// As FindCharNA / SpanThroughCharNA, but the character behind an escape
// character passes unexamined.
int FindCharEscNA(const char* text, char c, int n, char escape);
int FindCharEscNW(const wchar_t* text, wchar_t c, int n, wchar_t escape);
int SpanThroughCharEscNA(const char* text, char c, int n, char escape);
int SpanThroughCharEscNW(const wchar_t* text, wchar_t c, int n, wchar_t escape);

// Index of the first character that is c or whose class flags meet
// mask ^ CC_NUL (so the terminator stops unless the mask names CC_NUL). In
// the 16-bit forms a character above 255 belongs to every class.
int FindCharOrClassA(uint32_t mask, const char* text, char c);
int FindCharOrClassW(uint32_t mask, const wchar_t* text, wchar_t c);
int FindCharOrClassNA(uint32_t mask, const char* text, char c, int n);
int FindCharOrClassNW(uint32_t mask, const wchar_t* text, wchar_t c, int n);
int FindCharOrClassEscNA(uint32_t mask, const char* text, char c, int n, char escape);
int FindCharOrClassEscNW(uint32_t mask, const wchar_t* text, wchar_t c, int n, wchar_t escape);

// Two modes, chosen by the top byte of c; the character sought is its low 8
// (16) bits. Stop mode: up to a character of class mask ^ CC_NUL (its index)
// or to c (index behind it). Class mode (c | SPAN_CLASS_MODE): while the
// characters are in the class of mask; the first one outside gives its index,
// a c inside the class the index behind it.
constexpr uint32_t SPAN_CLASS_MODE = 0x57000000;
int SpanToCharOrClassA(uint32_t mask, const char* text, uint32_t c);
int SpanToCharOrClassW(uint32_t mask, const wchar_t* text, uint32_t c);
int SpanToCharOrClassNA(uint32_t mask, const char* text, uint32_t c, int n);
int SpanToCharOrClassNW(uint32_t mask, const wchar_t* text, uint32_t c, int n);
int SpanToCharOrClassEscNA(uint32_t mask, const char* text, uint32_t c, int n, char escape);
int SpanToCharOrClassEscNW(uint32_t mask, const wchar_t* text, uint32_t c, int n, wchar_t escape);
