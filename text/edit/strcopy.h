// Bounded length, copy and append. Sizes count characters of the buffer,
// terminator included; whenever size >= 1 the result is terminated. The
// results are the number of characters stored before the terminator.
#pragma once

int LengthBoundedA(const char* text, int max);
int LengthBoundedW(const wchar_t* text, int max);

int CopyBoundedA(char* dest, const char* source, int size);
int CopyBoundedW(wchar_t* dest, const wchar_t* source, int size);

// Copies at most n characters of the source (n >= 0).
int CopyBoundedCountA(char* dest, const char* source, int size, int n);
int CopyBoundedCountW(wchar_t* dest, const wchar_t* source, int size, int n);

// Appends behind the text already in dest; a dest without a terminator
// within size is left alone and its length (size) returned.
int AppendBoundedA(char* dest, const char* source, int size);
int AppendBoundedW(wchar_t* dest, const wchar_t* source, int size);
int AppendBoundedCountA(char* dest, const char* source, int size, int n);
int AppendBoundedCountW(wchar_t* dest, const wchar_t* source, int size, int n);
