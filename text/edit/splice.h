// Editing a NUL-terminated string inside a buffer of size characters
// (terminator included): replacing a range by other text, and putting text
// in front. Results are the new lengths; what does not fit is cut.
#pragma once

// Replaces count characters at position by at most insertLimit characters of
// insert. The range is clamped to the text: a position past its end appends,
// a negative position shortens the count. When the result would not fit, the
// old tail is cut first, then the insert text.
int SpliceTextA(char* text, int position, int count, const char* insert, int size, int insertLimit);
int SpliceTextW(wchar_t* text, int position, int count, const wchar_t* insert, int size, int insertLimit);
// The same, taking at most lengthLimit characters of the text as its length.
int SpliceTextNA(char* text, int position, int count, int lengthLimit, const char* insert, int size, int insertLimit);
int SpliceTextNW(wchar_t* text, int position, int count, int lengthLimit, const wchar_t* insert, int size,
                 int insertLimit);

// Puts prefix in front of text; the buffer must hold the result.
int PrependA(char* text, const char* prefix);
int PrependW(wchar_t* text, const wchar_t* prefix);
// The same within size: the old text is cut to make room; a prefix that does
// not fit replaces everything with as much of it as fits.
int PrependBoundedA(char* text, const char* prefix, int size);
int PrependBoundedW(wchar_t* text, const wchar_t* prefix, int size);
