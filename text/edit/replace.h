// Replacing every occurrence of a substring or of one character. Sizes count
// characters of the destination, terminator included; results are lengths
// without it. Output that does not fit is cut at size - 1.
#pragma once

// Copies source to dest with every occurrence of find replaced. An empty find
// string copies the source unchanged. dest may be source when the
// replacement is not longer than find.
int ReplaceAllA(char* dest, const char* source, const char* find, const char* replacement, int size);
int ReplaceAllW(wchar_t* dest, const wchar_t* source, const wchar_t* find, const wchar_t* replacement, int size);
// The same, find matched with ASCII letters in either case.
int ReplaceAllNoCaseA(char* dest, const char* source, const char* find, const char* replacement, int size);
int ReplaceAllNoCaseW(wchar_t* dest, const wchar_t* source, const wchar_t* find, const wchar_t* replacement, int size);
// In the buffer itself; returns the new length.
int ReplaceAllInPlaceA(char* text, const char* find, const char* replacement, int size);
int ReplaceAllInPlaceW(wchar_t* text, const wchar_t* find, const wchar_t* replacement, int size);
int ReplaceAllNoCaseInPlaceA(char* text, const char* find, const char* replacement, int size);
int ReplaceAllNoCaseInPlaceW(wchar_t* text, const wchar_t* find, const wchar_t* replacement, int size);

// One character for another. The caseless forms match an ASCII letter in
// either case (a 16-bit character above 255 also matches its twin that
// differs in bit 0x20); other characters exactly.
int ReplaceCharCopyA(char* dest, const char* source, char oldChar, char newChar, int size);
int ReplaceCharCopyW(wchar_t* dest, const wchar_t* source, wchar_t oldChar, wchar_t newChar, int size);
int ReplaceCharNoCaseCopyA(char* dest, const char* source, char oldChar, char newChar, int size);
int ReplaceCharNoCaseCopyW(wchar_t* dest, const wchar_t* source, wchar_t oldChar, wchar_t newChar, int size);
void ReplaceCharA(char* text, char oldChar, char newChar);
void ReplaceCharW(wchar_t* text, wchar_t oldChar, wchar_t newChar);
void ReplaceCharNoCaseA(char* text, char oldChar, char newChar);
void ReplaceCharNoCaseW(wchar_t* text, wchar_t oldChar, wchar_t newChar);
