// Exact and caseless compares. Results are below, equal to or above 0 as a
// sorts before, with or after b; a computed difference is that of the first
// unequal (folded) characters taken as unsigned values. Only the ASCII
// letters fold unless case tables are installed (text/casefold.h).
//
// Without tables the fold direction differs, which decides how "[\]^_`"
// sort against letters: CompareNA/CompareNoCaseNA/CompareNoCaseA/W fold to
// lower case (those characters sort before the letters), CompareNW/
// CompareNoCaseNW and the wildcard compares to upper case (after them).
#pragma once

// n characters; NULs are ordinary characters; n < 1 gives 0. The exact
// 8-bit form gives -1, 0 or 1.
int CompareNA(const char* a, const char* b, int n, bool caseless);
int CompareNW(const wchar_t* a, const wchar_t* b, int n, bool caseless);
int CompareNoCaseNA(const char* a, const char* b, int n);
int CompareNoCaseNW(const wchar_t* a, const wchar_t* b, int n);

// NUL-terminated texts.
int CompareNoCaseA(const char* a, const char* b);
int CompareNoCaseW(const wchar_t* a, const wchar_t* b);

// n characters, where a '?' in the pattern matches any character of the text.
int CompareWildNA(const char* pattern, const char* text, int n, bool caseless);
int CompareWildNW(const wchar_t* pattern, const wchar_t* text, int n, bool caseless);
int CompareWildExactNA(const char* pattern, const char* text, int n);
int CompareWildExactNW(const wchar_t* pattern, const wchar_t* text, int n);
