// Compares of 16-bit arrays. The result is the difference of the first
// unequal units taken as unsigned numbers (so 1 < 0x8000 < 0xFFFF), or 0.
#pragma once

int MemCompare16(const void* a, const void* b, int count);

// The same with 'a'-'z' folded to 'A'-'Z' first.
int CompareAsciiNoCaseNW(const wchar_t* a, const wchar_t* b, int count);
