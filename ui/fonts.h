// The library's fonts: a process-wide cache that makes each font once, the
// four standard fonts, and bold and fixed-pitch variants of a font.
#pragma once

#include <windows.h>

// Standard font index bits.
const int kStandardFontBold = 1;
const int kStandardFontFixed = 2;
const int kStandardFontCount = 4;

// The cached font equal to the LOGFONT (face, height, width, weight, italic,
// underline, charset, pitch and family), made when missing. Cached fonts live
// until the process ends: callers never delete them.
HFONT CreateCachedFont(const LOGFONTA* plf);
HFONT CreateCachedFontW(const LOGFONTW* plf);
// Deletes every cached font; registered with the exit list on first use.
void FreeFontCache();
// Number of fonts in the cache.
int GetFontCacheCount();

// The bold twin of a font (metrics read on the screen DC); 0 for NULL.
HFONT CreateBoldFont(HFONT hFont);
// A fixed-pitch font of the given font's height and charset; 0 for NULL.
HFONT CreateFixedFontOfHeight(HFONT hFont);

// Standard font by index bits (kStandardFontBold, kStandardFontFixed); 0 for
// an index of 4 or more.
HFONT GetStandardFont(int index);
// Its tmHeight, with the average character width in *pAveWidth; zeros for a
// bad index.
int GetStandardFontHeight(int* pAveWidth, int* pHeight, int index);
// Absolute LOGFONT width and height of standard font 0 (7 and 10 before it
// is made).
void GetStandardFontLogSize(int* pWidth, int* pHeight);

// tmHeight of the font currently in the window's DC, 0 on failure.
int GetWindowTextHeight(HWND hwnd, int unused = 0);
