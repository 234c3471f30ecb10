// Reversible scrambling of text with a 32-bit key. Only characters from the
// threshold up to 255 take part, and they stay in that range, so control
// characters (or whatever lies below the threshold) are neither produced nor
// changed. 16-bit units above 255 are left as they are.
#pragma once

#include <cstdint>

// length < 0: up to the terminator. The text is changed in place; the result
// is the length processed. A threshold below 1 counts as 1.
int AddKeyToCharsA(char* text, uint32_t key, int length, int threshold);
int AddKeyToCharsW(wchar_t* text, uint32_t key, int length, int threshold);
int SubtractKeyFromCharsA(char* text, uint32_t key, int length, int threshold);
int SubtractKeyFromCharsW(wchar_t* text, uint32_t key, int length, int threshold);
