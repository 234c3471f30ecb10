// Borders and grips: which part of a rectangle's border a point is on, and
// the painted drop-arrow grips and splitter bars.
#pragma once

#include <windows.h>

// Border codes of HitTestRectBorder; corners combine two sides.
const UINT kBorderLeft = 1;
const UINT kBorderRight = 2;
const UINT kBorderTop = 4;
const UINT kBorderBottom = 8;
const UINT kBorderHorizontal = kBorderLeft | kBorderRight;
const UINT kBorderVertical = kBorderTop | kBorderBottom;

// The border part under (x, y): border > 0 a band inside the rectangle,
// border < 0 a band across the edge, 0 every point. Corners take 20 pixels
// of each side, or half a side shorter than 40. Codes in excluded are
// masked out; *pCursor (when given) gets the sizing cursor, or NULL.
UINT HitTestRectBorder(const RECT* prc, int x, int y, int border, UINT excluded, HCURSOR* pCursor);

// Drop-arrow position word: the signed low 16 bits are the body's top; bits
// 16-17 place it in the length, bits 18-19 turn the arrow.
const DWORD kDropArrowCentred = 0x10000;
const DWORD kDropArrowAtEnd = 0x20000;
const DWORD kDropArrowPlaceMask = 0x30000;
const DWORD kDropArrowTurned = 0xC0000;

// An upright grip 5 x 21 pixels at x, its arrow pointing left (right when
// turned).
void DrawDropArrow(HDC dc, int x, int length, DWORD position);
// The same lying (21 x 5) at y, pointing up (down when turned).
void DrawDropArrow2(HDC dc, int y, int length, DWORD position);
// 1 when (px, py) lies on the upright grip.
int HitTestDropArrow(int x, int length, DWORD position, int px, int py);

// A 7-pixel splitter bar at offset across 0..length (rows for a horizontal
// bar): light, white, three of face, shadow, black. Answers its width 7.
const int kSplitterBarWidth = 7;
int DrawSplitterBar(HDC dc, int offset, int length, BOOL horizontal);
// The same across start..start + length.
int DrawSplitterBarAt(int start, HDC dc, int offset, int length, BOOL horizontal);
