// Text arguments of the glyph and button functions: 8-bit or 16-bit by the
// flag word.
#pragma once

#include <windows.h>

#include "ui/theme/themedraw.h"

// Theme text is at most 64 characters; 8-bit text is widened in the ANSI
// code page.
const int kThemeTextMax = 64;

// The text as 16-bit characters into out[kThemeTextMax + 1]; its length.
inline int WidenGlyphText(const void* text, UINT flags, wchar_t* out) {
  out[0] = 0;
  if (!text) return 0;
  int n = 0;
  if (flags & kGlyphAnsiText) {
    const char* s = static_cast<const char*>(text);
    int len = 0;
    while (len < kThemeTextMax && s[len]) len++;
    n = len ? MultiByteToWideChar(CP_ACP, 0, s, len, out, kThemeTextMax) : 0;
  } else {
    const wchar_t* s = static_cast<const wchar_t*>(text);
    while (n < kThemeTextMax && s[n]) {
      out[n] = s[n];
      n++;
    }
  }
  out[n] = 0;
  return n;
}

inline bool HasGlyphText(const void* text, UINT flags) {
  if (!text) return false;
  return (flags & kGlyphAnsiText) ? *static_cast<const char*>(text) != 0 : *static_cast<const wchar_t*>(text) != 0;
}

inline int GlyphGap(UINT flags) { return (int)((flags & kGlyphGapMask) >> kGlyphGapShift); }

// Each channel halved and added.
inline COLORREF MeanColor(COLORREF a, COLORREF b) { return ((a >> 1) & 0x7F7F7F) + ((b >> 1) & 0x7F7F7F); }

inline void FillSysColor(HDC dc, const RECT& rc, int index) {
  COLORREF old = SetBkColor(dc, GetSysColor(index));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

// DrawText or DrawDisabledText of the 8-bit or 16-bit text.
inline void DrawGlyphText(HDC dc, const void* text, UINT flags, RECT rc, UINT format, bool disabled) {
  if (flags & kGlyphAnsiText) {
    const char* s = static_cast<const char*>(text);
    if (disabled) {
      DrawDisabledTextA(dc, s, -1, &rc, format);
    } else {
      DrawTextA(dc, s, -1, &rc, format);
    }
  } else {
    const wchar_t* s = static_cast<const wchar_t*>(text);
    if (disabled) {
      DrawDisabledTextW(dc, s, -1, &rc, format);
    } else {
      DrawTextW(dc, s, -1, &rc, format);
    }
  }
}
