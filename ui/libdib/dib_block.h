// The prefix in front of a LibDib's BITMAPINFO; only the family reads it.
#pragma once

#include <windows.h>

struct DibPrefix {
  HANDLE heap;
  HBITMAP bitmap;
  void* bits;
  HDC memDC;
  DWORD magic;  // immediately before the BITMAPINFO
};

// Pointer fields then the magic, no padding: 20 bytes in a 32-bit build.
constexpr SIZE_T kDibPrefixBytes = 4 * sizeof(void*) + sizeof(DWORD);

inline DibPrefix* DibPrefixOf(const BITMAPINFO* info) {
  return reinterpret_cast<DibPrefix*>(reinterpret_cast<BYTE*>(const_cast<BITMAPINFO*>(info)) - kDibPrefixBytes);
}

// The prefix of a genuine block (writable, magic present), else null with last error 87.
DibPrefix* CheckedDibPrefix(const BITMAPINFO* info);

// Bits of a pixel operation: the given pointer, else the LibDib's own.
void* ResolveDibBits(const BITMAPINFO* info, const void* bits);

// A screen DC when none is given, released on scope exit.
class DibScreenDC {
 public:
  explicit DibScreenDC(HDC hdc) : m_dc(hdc), m_own(hdc == nullptr) {
    if (m_own) m_dc = GetDC(nullptr);
  }
  ~DibScreenDC() {
    if (m_own && m_dc) ReleaseDC(nullptr, m_dc);
  }
  operator HDC() const { return m_dc; }

 private:
  HDC m_dc;
  bool m_own;
};

// The display's colour depth.
int DisplayDepth(HDC hdc);

// Fills a 1-, 4- or 8-bit colour table from the system palette and the standard colours.
void FillStandardColorTable(HDC hdc, RGBQUAD* table, int depth);
