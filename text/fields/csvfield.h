// One field of a CSV-style line: double quotes around a field that needs
// them, a doubled quote inside for one quote.
#pragma once

// Reads the field at text (at most textLength characters, never further):
// quoted, up to the closing quote (an unclosed one ends at NUL or the
// length), then on to the separator; unquoted, up to the separator, NUL, CR
// or LF. A separator found is consumed. The field goes to dest, cut at
// size - 1 and terminated when size >= 1; copied (may be null) receives the
// characters stored. Returns the characters consumed.
int ReadCsvFieldA(const char* text, int* copied, char* dest, int size, int textLength, char separator);
int ReadCsvFieldW(const wchar_t* text, int* copied, wchar_t* dest, int size, int textLength, wchar_t separator);

// Writes the field (at most fieldLength characters, up to a NUL) and the
// separator: in quotes when it holds the separator, a tab, CR, LF or a
// quote, begins or ends with a blank, or (16-bit) holds a character above
// 255. Returns the length written. What does not fit is dropped: unquoted,
// the separator takes the last place; quoted, characters are written while
// the closing quote, separator and terminator still fit, and below size 4
// only the separator is written. Size below 2: an empty text (size 1), 0.
int WriteCsvFieldA(const char* field, char* dest, int size, int fieldLength, char separator);
int WriteCsvFieldW(const wchar_t* field, wchar_t* dest, int size, int fieldLength, wchar_t separator);
