#include "ui/textmeasure.h"

#include <cstring>

namespace {
inline int DrawTextT(HDC dc, const char* text, int n, RECT* rc, UINT f) { return DrawTextA(dc, text, n, rc, f); }
inline int DrawTextT(HDC dc, const wchar_t* text, int n, RECT* rc, UINT f) { return DrawTextW(dc, text, n, rc, f); }

// Moves one side of [lo, hi) so that it spans size, by the alignment bits.
void AlignSpan(LONG* lo, LONG* hi, int size, bool center, bool toEnd, bool needFreeAboveZero) {
  int free = *hi - *lo - size;
  if (free < 1 || (needFreeAboveZero && free <= 0)) return;
  if (center) {
    *lo += free / 2;
    *hi -= (free + 1) / 2;
  } else if (toEnd) {
    *lo += free;
  } else {
    *hi -= free;
  }
}

template <class Char>
int MeasureText(HDC dc, const Char* text, int length, UINT flags, void* arg) {
  HDC use = dc;
  HGDIOBJ old = nullptr;
  RECT* out = nullptr;
  if (!dc) {
    use = GetDC(nullptr);
    if (!use) return 0;
    if (arg) old = SelectObject(use, (HGDIOBJ)arg);
  } else {
    out = static_cast<RECT*>(arg);
  }
  RECT calc = {0, 0, 0, 0};
  DrawTextT(use, text, length, &calc, (flags & 0xE0) | (flags & 0xFB00) | DT_CALCRECT);
  if (!dc) {
    if (old) SelectObject(use, old);
    ReleaseDC(nullptr, use);
  }
  int width = calc.right - calc.left, height = calc.bottom - calc.top;
  if (out) {
    if (flags & kMeasureSize) {
      out->left = width;
      out->top = height;
    } else if (flags & kMeasureAlign) {
      AlignSpan(&out->left, &out->right, width, flags & kMeasureCenter, flags & kMeasureRight, false);
      AlignSpan(&out->top, &out->bottom, height, flags & kMeasureVCenter, flags & kMeasureBottom, true);
    } else {
      out->left = height;
    }
  }
  return (flags & kMeasurePacked) ? (int)((width & 0xFFFF) | ((DWORD)height << 16)) : width;
}

int TextExtentOn(HDC dc, HFONT hFont, const char* text, int length, int* pHeight) {
  SIZE size = {0, 0};
  if (dc && text) {
    if (length < 0) length = (int)std::strlen(text);
    HGDIOBJ old = hFont ? SelectObject(dc, hFont) : nullptr;
    if (!GetTextExtentPoint32A(dc, text, length, &size)) size.cx = size.cy = 0;
    if (old) SelectObject(dc, old);
  }
  if (pHeight) *pHeight = size.cy;
  return size.cx;
}

void FillTable(HDC dc, BYTE* table) {
  INT widths[256] = {};
  GetCharWidth32A(dc, 0, 255, widths);
  for (int i = 0; i < 256; ++i) table[i] = (BYTE)widths[i];
}

void TableOfFont(BYTE* table, HFONT hFont) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, hFont);
  FillTable(dc, table);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
}
}  // namespace

int MeasureTextA(HDC dc, const char* text, int length, UINT flags, void* arg) {
  return MeasureText(dc, text, length, flags, arg);
}
int MeasureTextW(HDC dc, const wchar_t* text, int length, UINT flags, void* arg) {
  return MeasureText(dc, text, length, flags, arg);
}

int GetFontTextExtent(const char* text, HFONT hFont, int length, int* pHeight) {
  HDC dc = text ? GetDC(nullptr) : nullptr;
  int width = TextExtentOn(dc, hFont, text, length, pHeight);
  if (dc) ReleaseDC(nullptr, dc);
  return width;
}

int GetWindowTextExtent(const char* text, HWND hwnd, int length, int* pHeight) {
  HDC dc = text ? GetDC(hwnd) : nullptr;
  int width = TextExtentOn(dc, (HFONT)SendMessageA(hwnd, WM_GETFONT, 0, 0), text, length, pHeight);
  if (dc) ReleaseDC(hwnd, dc);
  return width;
}

int GetCharWidthTableDC(HDC dc, BYTE* table) {
  FillTable(dc, table);
  return 256;
}

void GetCharWidthTableStock(BYTE* table, int stockObject) {
  TableOfFont(table, (HFONT)GetStockObject(stockObject == -1 ? ANSI_VAR_FONT : stockObject));
}

void GetCharWidthTable(BYTE* table, HFONT hFont) { TableOfFont(table, hFont); }

int GetLineWidth(const char* text, const BYTE* table, int maxLength) {
  int width = 0;
  for (int i = 0; i < maxLength; ++i) {
    unsigned char c = (unsigned char)text[i];
    if (c == 0 || c == '\n' || c == '\r') break;
    width += table ? table[c] : 1;
  }
  return width;
}
