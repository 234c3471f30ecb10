// The 8-bit and 16-bit GDI text calls under one name, for the templates of
// the themed-drawing family.
#pragma once

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace textcalls {

inline BOOL ExtentEx(HDC dc, const char* s, int n, int max, int* fit, int* ends, SIZE* size) {
  return GetTextExtentExPointA(dc, s, n, max, fit, ends, size);
}
inline BOOL ExtentEx(HDC dc, const wchar_t* s, int n, int max, int* fit, int* ends, SIZE* size) {
  return GetTextExtentExPointW(dc, s, n, max, fit, ends, size);
}
inline BOOL Extent(HDC dc, const char* s, int n, SIZE* size) { return GetTextExtentPoint32A(dc, s, n, size); }
inline BOOL Extent(HDC dc, const wchar_t* s, int n, SIZE* size) { return GetTextExtentPoint32W(dc, s, n, size); }
inline BOOL ExtOut(HDC dc, int x, int y, UINT options, const RECT* rc, const char* s, int n, const int* dx) {
  return ExtTextOutA(dc, x, y, options, rc, s, n, dx);
}
inline BOOL ExtOut(HDC dc, int x, int y, UINT options, const RECT* rc, const wchar_t* s, int n, const int* dx) {
  return ExtTextOutW(dc, x, y, options, rc, s, n, dx);
}
inline int DrawEx(HDC dc, const char* s, int n, RECT* rc, UINT format) {
  return DrawTextExA(dc, const_cast<char*>(s), n, rc, format, nullptr);
}
inline int DrawEx(HDC dc, const wchar_t* s, int n, RECT* rc, UINT format) {
  return DrawTextExW(dc, const_cast<wchar_t*>(s), n, rc, format, nullptr);
}
inline BOOL State(HDC dc, const char* s, int n, int x, int y, int cx, int cy, UINT flags) {
  return DrawStateA(dc, nullptr, nullptr, (LPARAM)s, (WPARAM)n, x, y, cx, cy, flags);
}
inline BOOL State(HDC dc, const wchar_t* s, int n, int x, int y, int cx, int cy, UINT flags) {
  return DrawStateW(dc, nullptr, nullptr, (LPARAM)s, (WPARAM)n, x, y, cx, cy, flags);
}
inline int Length(const char* s) { return (int)std::strlen(s); }
inline int Length(const wchar_t* s) { return (int)std::wcslen(s); }

}  // namespace textcalls
