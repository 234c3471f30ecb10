// The BITMAPINFO, size and colour depth of a bitmap handle.
#pragma once

#include <windows.h>

// Header and up to maxColors colour entries into the buffer; 1, or 0 with
// 40 zero bytes in the buffer.
int GetBitmapInfo(HBITMAP bitmap, BITMAPINFO* buffer, int maxColors);
// Width, height (negative for a top-down bitmap) and bit depth; each out-argument
// may be null. 1, or 0 with zeros.
int GetBitmapSize(HBITMAP bitmap, int* width, int* height, int* depth);
int GetBitmapSizeEx(HBITMAP bitmap, SIZE* size, int* depth);
