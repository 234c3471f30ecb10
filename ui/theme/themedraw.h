// Themed drawing of frames, check marks, glyphs, buttons and menu items: the
// visual style's parts when a theme is open, classic GDI drawing otherwise
// or on request.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "ui/theme/themeapi.h"

// Flag word of the glyph and button functions.
const UINT kGlyphStateMask = 0xFF;  // the theme state number
const UINT kGlyphKindMask = 0xF0;   // DrawCheckMark: the kind in the state byte's high half
const int kGlyphKindShift = 4;
const UINT kGlyphAnsiText = 0x100;       // the text is 8-bit, else 16-bit
const UINT kGlyphErase = 0x200;          // erase the rectangle first in the background colour
const UINT kGlyphClassic = 0x400;        // classic drawing even with a theme
const UINT kGlyphInsetXY = 0x800;        // inset: x in the low, y in the high signed 16 bits
const UINT kGlyphAnsiVarFont = 0x1000;   // DrawRadioButton: text in ANSI_VAR_FONT
const UINT kGlyphStandardFont = 0x2000;  // DrawRadioButton: text in standard font 0
const UINT kGlyphTextCenter = 0x4000;    // DrawMenuItem: centred text
const UINT kGlyphTextRight = 0x8000;     // DrawMenuItem: right-aligned text
const int kGlyphGapShift = 16;           // bits 16-23: gap between glyph and text
const UINT kGlyphGapMask = 0x00FF0000;

// Kinds of DrawCheckMark.
const UINT kCheckExpand = 0x00;    // tree expand glyph: state 1 plus, else minus
const UINT kCheckMenu = 0x10;      // menu check (states 1, 2) or bullet (3, 4)
const UINT kCheckDropDown = 0x20;  // drop-down arrow

// Flags of Draw3dFrame.
const UINT kFrameSunken = 1;
const UINT kFrameFill = 2;        // fill the inside with the button face
const UINT kFrameFillLight = 4;   // with kFrameFill: the light 3-D colour
const UINT kFrameBackground = 8;  // all edges in the DC's background colour

// Menu item image indexes beside an image list's own.
const int kMenuImageWidthOnly = -1;  // nothing drawn, image 0's width taken
const int kMenuImageBitmap = -2;     // the image list argument is an HBITMAP
const int kMenuImageCheck = -3;
const int kMenuImageBullet = -4;

// System colour by index, cached per index for the process. COLOR_MENU and
// COLOR_MENUBAR with a Menu theme are probed from the theme's popup parts.
COLORREF GetCachedSysColor(int index);
// Forgets the cached colours (with the theme seam).
void ResetCachedSysColors();

void Draw3dFrame(HDC dc, int x, int y, int cx, int cy, UINT flags);
// Embossed text; DT_CENTER, DT_RIGHT, DT_VCENTER, DT_BOTTOM and DT_NOPREFIX
// of the DrawText flags act. DrawState's answer, 0 for an empty rectangle.
int DrawDisabledTextA(HDC dc, const char* text, int length, const RECT* prc, UINT flags);
int DrawDisabledTextW(HDC dc, const wchar_t* text, int length, const RECT* prc, UINT flags);
void DrawCheckMark(HDC dc, const RECT* prc, UINT flags, int inset);
void DrawComboDropButton(HDC dc, const RECT* prc, UINT flags, int inset);
void DrawThemePartByIndex(HDC dc, int theme, const RECT* prc, UINT flags, int inset);
// The text is 8-bit with kGlyphAnsiText, else 16-bit.
void DrawPushButton(HDC dc, const void* text, const RECT* prc, UINT flags, int inset);
void DrawRadioButton(HDC dc, const void* text, const RECT* prc, UINT flags, int inset);
// The same drawing with the check-box glyph (the toolbar's check buttons).
void DrawCheckBox(HDC dc, const void* text, const RECT* prc, UINT flags, int inset);
// imageList is an HBITMAP for kMenuImageBitmap.
void DrawMenuItem(HDC dc, const void* text, const RECT* prc, UINT flags, HIMAGELIST imageList, int image);

// The rectangle shrunk by an inset argument (see kGlyphInsetXY).
RECT InsetGlyphRect(const RECT& rc, UINT flags, int inset);
