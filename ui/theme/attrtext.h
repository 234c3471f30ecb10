// Attributed text: one attribute byte per character choosing the font, the
// text and background colours and an underline.
#pragma once

#include <windows.h>

// Attribute byte.
const BYTE kAttrFontMask = 0xC0;  // index 0-3 into the caller's four fonts
const int kAttrFontShift = 6;
const BYTE kAttrUnderline = 0x20;
const BYTE kAttrColorMask = 0x1F;  // text colour bits low, background bits high (split code)

// Flag word of the attributed-text calls, beside the ExtTextOut options in
// bits 0-23.
const UINT kAttrAlignDescent = 0x8;  // line metrics: align on the largest descent
const int kAttrFontCountShift = 24;  // bits 24-26: fonts measured for the line (0: the used ones)
const UINT kAttrFontCountMask = 0x07000000;
const int kAttrSplitShift = 28;  // bits 28-29: split code c, 5 - c text-colour bits
const UINT kAttrSplitMask = 0x30000000;
const UINT kAttrRelative = 0x40000000;       // position relative to the rectangle's top-left
const UINT kAttrDefaultEntry0 = 0x80000000;  // text index 0 is table entry 0

// The 32 colours of the attribute indexes.
extern const COLORREF AttrColorTable[32];

// Largest ascent; offsets[4] get each font's baseline offset, *pHeight the
// largest height.
int GetAttrTextLineMetrics(HDC dc, UINT flags, int length, const BYTE* attrs, const HFONT* fonts, int* offsets,
                           int* pHeight);
// Extent of the text from startX with tabs expanded: one tab entry is the tab
// width, more are the stops, none gives 8 average character widths.
int GetAttrTabbedTextExtentA(HDC dc, int startX, const char* text, const BYTE* attrs, int length, int tabCount,
                             const int* tabs, UINT flags, const HFONT* fonts);
int GetAttrTabbedTextExtentW(HDC dc, int startX, const wchar_t* text, const BYTE* attrs, int length, int tabCount,
                             const int* tabs, UINT flags, const HFONT* fonts);
// How many characters fit into maxWidth, measured run by run in the fonts of
// the attributes; extents (one per character, from the start) and size are
// optional.
BOOL GetAttrTextFitA(HDC dc, const char* text, int length, int maxWidth, int* pFit, int* extents, SIZE* pSize,
                     const BYTE* attrs, const HFONT* fonts);
BOOL GetAttrTextFitW(HDC dc, const wchar_t* text, int length, int maxWidth, int* pFit, int* extents, SIZE* pSize,
                     const BYTE* attrs, const HFONT* fonts);
COLORREF SelectAttrBkColor(HDC dc, UINT flags, BYTE attr, const COLORREF* table);
COLORREF SelectAttrTextColor(HDC dc, UINT flags, BYTE attr, const COLORREF* table);
// Draws the runs of equal attributes from (x, y); answers x after the text.
int DrawAttrTextA(HDC dc, int x, int y, UINT flags, const RECT* prc, const char* text, int length, const BYTE* attrs,
                  const COLORREF* table, const HFONT* fonts);
int DrawAttrTextW(HDC dc, int x, int y, UINT flags, const RECT* prc, const wchar_t* text, int length, const BYTE* attrs,
                  const COLORREF* table, const HFONT* fonts);
// DrawTextEx on one line with attributes: DT_CENTER, DT_RIGHT, DT_VCENTER,
// DT_BOTTOM, DT_CALCRECT and DT_NOCLIP act; the attribute flag bits 28-31
// (split code, default entry 0) may be given in the format. Answers the
// line's height.
int DrawAttrTextExA(HDC dc, const char* text, int length, RECT* prc, UINT format, const BYTE* attrs,
                    const COLORREF* table, const HFONT* fonts);
int DrawAttrTextExW(HDC dc, const wchar_t* text, int length, RECT* prc, UINT format, const BYTE* attrs,
                    const COLORREF* table, const HFONT* fonts);
