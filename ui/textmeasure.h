// Measuring text: DrawText's calculation, character-width tables, and paths
// shortened to a width by leaving out middle folders.
#pragma once

#include <windows.h>

// MeasureTextA/W flag bits beside the DrawText flags that pass through
// ((flags & 0xE0) | (flags & 0xFB00)). The low bits place the text's box in
// the rectangle with kMeasureAlign.
const UINT kMeasureCenter = 0x1;
const UINT kMeasureRight = 0x2;
const UINT kMeasureVCenter = 0x4;
const UINT kMeasureBottom = 0x8;
const UINT kMeasureAlign = 0x20000000;   // align a box of the text's size inside the rectangle
const UINT kMeasureSize = 0x40000000;    // write (width, height) into the rectangle's first fields
const UINT kMeasurePacked = 0x80000000;  // answer width | height << 16

// Without a DC the screen DC is used and arg is a font to select (HFONT);
// with a DC arg is a RECT* or NULL. Answers the width (or width | height << 16).
int MeasureTextA(HDC dc, const char* text, int length, UINT flags, void* arg);
int MeasureTextW(HDC dc, const wchar_t* text, int length, UINT flags, void* arg);

// Text extent with a font on the screen DC; 0 (and height 0) on failure.
int GetFontTextExtent(const char* text, HFONT hFont, int length, int* pHeight);
// The same with the window's font on the window's DC.
int GetWindowTextExtent(const char* text, HWND hwnd, int length, int* pHeight);

// 256-byte tables of character widths in pixels.
int GetCharWidthTableDC(HDC dc, BYTE* table);
void GetCharWidthTableStock(BYTE* table, int stockObject);  // -1: ANSI_VAR_FONT
void GetCharWidthTable(BYTE* table, HFONT hFont);

// Width of the text up to NUL, LF or CR and at most maxLength characters;
// without a table, the number of those characters.
int GetLineWidth(const char* text, const BYTE* table, int maxLength);

// Writes the path into buffer, middle components replaced by "...\" so
// that it fits the width; keep components are taken first from the front.
// Answers the length written.
int ShortenPathToWidth(const char* path, char* buffer, int size, int width, const BYTE* table, int keep);
// The same in the width that a text before (from its start up to the path
// when the path lies within maxBefore characters of it, else maxBefore
// characters) and a text after leave.
int ShortenPathBetweenTexts(const char* path, char* buffer, int size, int width, const BYTE* table, int keep,
                            const char* before, const char* after, int afterLength, int maxBefore);
