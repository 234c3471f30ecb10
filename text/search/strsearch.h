// Substring search. Results are the index of the first match, or -1. Texts
// end at their NUL; a counted text (N forms) also ends after n characters,
// and a match must lie wholly within them. A counted needle (Len forms) is
// compared unit for unit and may hold NULs. The NoCase forms fold only the
// ASCII letters.
#pragma once

// An empty needle gives 0.
int FindSubstrA(const char* text, const char* needle);
int FindSubstrW(const wchar_t* text, const wchar_t* needle);
int FindSubstrNoCaseA(const char* text, const char* needle);
int FindSubstrNoCaseW(const wchar_t* text, const wchar_t* needle);

// An empty needle (length < 1) gives 0 over a non-empty text, else -1.
int FindSubstrLenA(const char* text, const char* needle, int needleLength);
int FindSubstrLenW(const wchar_t* text, const wchar_t* needle, int needleLength);
int FindSubstrLenNoCaseA(const char* text, const char* needle, int needleLength);
int FindSubstrLenNoCaseW(const wchar_t* text, const wchar_t* needle, int needleLength);

// Counted texts: an empty needle gives 0 when n >= 1, else -1.
int FindSubstrNA(const char* text, const char* needle, int n);
int FindSubstrNW(const wchar_t* text, const wchar_t* needle, int n);
int FindSubstrNoCaseNA(const char* text, const char* needle, int n);
int FindSubstrNoCaseNW(const wchar_t* text, const wchar_t* needle, int n);
int FindSubstrLenNA(const char* text, const char* needle, int n, int needleLength);
int FindSubstrLenNW(const wchar_t* text, const wchar_t* needle, int n, int needleLength);
int FindSubstrLenNoCaseNA(const char* text, const char* needle, int n, int needleLength);
int FindSubstrLenNoCaseNW(const wchar_t* text, const wchar_t* needle, int n, int needleLength);
