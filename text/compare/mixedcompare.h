// Compares of a 16-bit text with an 8-bit text over n characters, each
// 16-bit unit against the unsigned byte; the first difference (or a NUL
// where both agree) ends the compare with a's value minus b's. n < 1 gives 0.
#pragma once

int CompareMixedN(const wchar_t* a, const char* b, int n);
// The same with 'A'-'Z' folded to 'a'-'z' on both sides.
int CompareMixedNoCaseN(const wchar_t* a, const char* b, int n);
