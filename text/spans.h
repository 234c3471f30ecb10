// Runs of characters in or out of a class of the CharClassTable, and the
// last character of a text that is (or is not) in a set of characters.
#pragma once

#include <cstdint>

// Forward spans: number of leading characters whose flags meet the mask.
// The "not" forms stop at a character whose flags meet mask ^ CC_NUL, so the
// terminator ends the run unless the mask names CC_NUL.
int SpanClassA(const char* text, uint32_t mask);
int SpanClassW(const wchar_t* text, uint32_t mask);
int SpanClassNA(const char* text, uint32_t mask, int n);
int SpanClassNW(const wchar_t* text, uint32_t mask, int n);
int SpanNotClassA(const char* text, uint32_t mask);
int SpanNotClassW(const wchar_t* text, uint32_t mask);
int SpanNotClassNA(const char* text, uint32_t mask, int n);
int SpanNotClassNW(const wchar_t* text, uint32_t mask, int n);

// Backward spans over end[-1], end[-2], ... at most n characters; bounded by
// n alone (a NUL is an ordinary character of class CC_NUL here).
int SpanClassBackNA(const char* end, uint32_t mask, int n);
int SpanClassBackNW(const wchar_t* end, uint32_t mask, int n);
int SpanNotClassBackNA(const char* end, uint32_t mask, int n);
int SpanNotClassBackNW(const wchar_t* end, uint32_t mask, int n);

// Last position among 0..n-1 (n = -1: the whole text) whose character is in
// (or not in) the NUL-terminated set; -1 when there is none.
int FindLastOfA(const char* text, const char* set, int n);
int FindLastOfW(const wchar_t* text, const wchar_t* set, int n);
int FindLastNotOfA(const char* text, const char* set, int n);
int FindLastNotOfW(const wchar_t* text, const wchar_t* set, int n);

// The same over positions 1..n-1, giving 0 when there is none (so 0 means
// "at the start or nowhere"); n must be at least 1.
int FindLastOfOrStartA(const char* text, const char* set, int n);
int FindLastOfOrStartW(const wchar_t* text, const wchar_t* set, int n);
int FindLastNotOfOrStartA(const char* text, const char* set, int n);
int FindLastNotOfOrStartW(const wchar_t* text, const wchar_t* set, int n);
