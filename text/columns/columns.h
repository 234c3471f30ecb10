// Display columns of text with tabs. Columns are 0-based; tab stops lie at
// the multiples of the tab width (a width below 1 counts as 1). A tab moves
// to the next stop strictly after the column, any other character one
// column on. The plain forms take one character per column (a surrogate pair
// of the W form is two); the Utf8/Utf16 forms one UTF-8 sequence or UTF-16
// pair per column, an invalid byte being a character of its own.
#pragma once

// Tabs and spaces leading from column `from` to column `to`, then a NUL: the
// number of characters written (0 when to <= from). A width below 1, or both
// columns in one tab cell, gives spaces only. dest must hold the result and
// the terminator.
int MakeTabFillA(char* dest, int from, int to, int tabWidth);
int MakeTabFillW(wchar_t* dest, int from, int to, int tabWidth);

// The column after the NUL-terminated text, or after count characters (bytes
// or units for the UTF forms; a count below 1 gives the start column).
int ColumnAfterTextA(const char* text, int tabWidth, int startColumn);
int ColumnAfterTextW(const wchar_t* text, int tabWidth, int startColumn);
int ColumnAfterTextUtf8(const char* text, int tabWidth, int startColumn);
int ColumnAfterTextUtf16(const wchar_t* text, int tabWidth, int startColumn);
int ColumnAfterTextNA(int count, const char* text, int tabWidth, int startColumn);
int ColumnAfterTextNW(int count, const wchar_t* text, int tabWidth, int startColumn);
int ColumnAfterTextUtf8N(int count, const char* text, int tabWidth, int startColumn);
int ColumnAfterTextUtf16N(int count, const wchar_t* text, int tabWidth, int startColumn);

// The length (characters, bytes or units) of the leading characters that end
// at or before the target column; a character that straddles it, such as a
// tab jumping past it, is not counted.
int IndexAtColumnA(int target, const char* text, int tabWidth, int startColumn);
int IndexAtColumnW(int target, const wchar_t* text, int tabWidth, int startColumn);
int IndexAtColumnUtf8(int target, const char* text, int tabWidth, int startColumn);
int IndexAtColumnUtf16(int target, const wchar_t* text, int tabWidth, int startColumn);
int IndexAtColumnNA(int target, int count, const char* text, int tabWidth, int startColumn);
int IndexAtColumnNW(int target, int count, const wchar_t* text, int tabWidth, int startColumn);
int IndexAtColumnUtf8N(int target, int count, const char* text, int tabWidth, int startColumn);
int IndexAtColumnUtf16N(int target, int count, const wchar_t* text, int tabWidth, int startColumn);
