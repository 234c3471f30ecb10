// Antialiased lines and ellipses through GDI+, loaded at run time and
// counted; without GDI+ the same calls draw with plain GDI. A graphics value
// is a GDI+ graphics object when GDI+ is loaded and the DC itself otherwise;
// a pen value is a GDI+ pen or an HPEN.
#pragma once

#include <windows.h>

typedef void* SmoothGraphics;
typedef void* SmoothPen;

// Load states of GDI+.
enum GdiPlusState { kGdiPlusNotTried = 0, kGdiPlusFailed = 1, kGdiPlusLoaded = 2 };

// 1 when GDI+ is loaded, 0 when it is not available. Every call needs one
// UnloadGdiPlus; the last one shuts GDI+ down.
int LoadGdiPlus();
void UnloadGdiPlus();
GdiPlusState GetGdiPlusState();

SmoothGraphics CreateSmoothGraphics(HDC dc);
int DeleteSmoothGraphics(SmoothGraphics graphics);
SmoothPen CreateSmoothPen(int width, COLORREF color);
int DeleteSmoothPen(SmoothPen pen);
int DrawSmoothLine(SmoothGraphics graphics, SmoothPen pen, int x1, int y1, int x2, int y2);
int DrawSmoothEllipse(SmoothGraphics graphics, SmoothPen pen, int x, int y, int width, int height);

// The opaque ARGB value of a COLORREF: 0x00336699 -> 0xFF996633.
DWORD ColorRefToArgb(COLORREF color);

// Test seam: the library's file name, and a stand-in for GdiplusStartup
// (null for the real one). Takes effect at the next first load.
typedef int(WINAPI* GdiplusStartupFn)(ULONG_PTR* token, const void* input, void* output);
void SetGdiPlusSeam(const wchar_t* dllName, GdiplusStartupFn startup);
