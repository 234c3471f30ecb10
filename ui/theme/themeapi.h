// The visual-styles library, loaded at run time once per process: its entry
// points, six theme handles opened on the desktop window, the glyph sizes.
// Without UxTheme.dll every entry and handle is NULL and the drawing
// functions take their classic paths.
#pragma once

#include <windows.h>
#include <uxtheme.h>

// Theme handles by index.
enum ThemeIndex {
  kThemeButton = 0,
  kThemeComboBox = 1,
  kThemeTreeView = 2,
  kThemeMenu = 3,
  kThemeToolBar = 4,
  kThemeEdit = 5,
  kThemeCount = 6
};

typedef HRESULT(WINAPI* DrawThemeBackgroundFn)(HTHEME, HDC, int, int, const RECT*, const RECT*);

struct ThemeApi {
  HMODULE module;
  HRESULT(WINAPI* SetWindowTheme)(HWND, LPCWSTR, LPCWSTR);
  HRESULT(WINAPI* EndBufferedPaint)(HPAINTBUFFER, BOOL);
  HPAINTBUFFER(WINAPI* BeginBufferedPaint)(HDC, const RECT*, BP_BUFFERFORMAT, BP_PAINTPARAMS*, HDC*);
  HRESULT(WINAPI* BufferedPaintInit)();
  HRESULT(WINAPI* BufferedPaintUnInit)();
  HRESULT(WINAPI* GetCurrentThemeName)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
  HTHEME(WINAPI* OpenThemeData)(HWND, LPCWSTR);
  HRESULT(WINAPI* CloseThemeData)(HTHEME);
  HRESULT(WINAPI* DrawThemeText)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
  DrawThemeBackgroundFn DrawThemeBackground;
  HRESULT(WINAPI* GetThemePartSize)(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*);
  HRESULT(WINAPI* GetThemeBackgroundContentRect)(HTHEME, HDC, int, int, const RECT*, RECT*);
  HTHEME themes[kThemeCount];
  SIZE glyphSizes[2];
  DWORD windowsVersion;  // major << 16 | minor, from the kernel's resource
  bool initialised;
};

// Runs once: glyph size defaults, UxTheme.dll with its entries and themes,
// the glyph sizes of the Button theme, the Windows version. Later calls do
// nothing.
void InitThemeApi();
// The record, initialised first when needed.
const ThemeApi& GetThemeApi();
// The theme of an index, NULL without one (or for a bad index).
HTHEME GetThemeHandle(int index);

// The current theme's file name; 1 when one was copied, else 0 and an empty
// buffer. The 8-bit form keeps each character's low byte.
int GetCurrentThemeNameA(char* buffer, int size);
int GetCurrentThemeNameW(wchar_t* buffer, int size);
// Glyph size 0 (check box) or 1 (radio button); 0 for another index.
int GetGlyphSize(int index, SIZE* size);

// Test seam: the library loaded in place of UxTheme.dll (NULL: the real
// one; a missing name runs without visual styles), and a stand-in for its
// DrawThemeBackground (NULL: the library's). Forgets the record, its themes
// and the cached menu colours; the next use initialises again.
void SetThemeApiSeam(const char* dllName, DrawThemeBackgroundFn drawBackground = nullptr);
