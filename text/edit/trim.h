// Copying a string without its surrounding blanks (tab, CR, LF, space; a
// 16-bit character above 255 is no blank). dest may be the source itself.
#pragma once

// Returns the length copied.
int CopyTrimmedA(char* dest, const char* source);
int CopyTrimmedW(wchar_t* dest, const wchar_t* source);
// Cuts the text after its leading blanks to size - 1 characters, then drops
// the trailing blanks of what is left.
int CopyTrimmedBoundedA(char* dest, const char* source, int size);
int CopyTrimmedBoundedW(wchar_t* dest, const wchar_t* source, int size);
