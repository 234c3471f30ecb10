// Images on push buttons: with visual styles an image list of the six button
// states, shared by every button given the same image; without them a plain
// bitmap with its greys mapped to the system colours.
#pragma once

#include <windows.h>

// CreateSysColorBitmap flags.
const UINT kSysColorMapGreys = 1;     // 0x808080, 0xC0C0C0, 0xDFDFDF to the 3-D colours
const UINT kSysColorPremultiply = 2;  // 32 bits: colours scaled by their alpha
// The colour that is transparent in button images and stays in the grey copy.
const COLORREF kButtonMaskColor = 0xC0C0C0;

// The image is a bitmap resource id (below 0x10000) of the resource module
// or a pointer to a packed DIB. True when the button shows it.
bool SetButtonImage(HWND button, const void* image);
// Deletes the plain bitmap that the button holds, if any.
void DeleteButtonImage(HWND button);
// A device-dependent bitmap of the packed DIB on the window's DC (the
// screen's for NULL); 0 for a header that is not 40 bytes long, or for a
// compression the flags cannot work on.
HBITMAP CreateSysColorBitmap(const BITMAPINFO* packed, UINT flags, HWND hwnd);
// The grey of the disabled button image for a colour (0xC0C0C0 stays).
COLORREF GreyButtonColor(COLORREF color);
// Number of shared image lists made so far.
int GetButtonImageListCount();

// Test seam: the library asked for IsThemeActive (NULL: UxTheme.dll). Takes
// effect before the first SetButtonImage or after this call.
void SetButtonImageThemeSeam(const char* dllName);
