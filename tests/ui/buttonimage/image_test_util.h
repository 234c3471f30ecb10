// Reading bitmaps back as 32-bit pixels for the image tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The bitmap as top-down 0x00RRGGBB-ordered DWORDs (alpha in the top byte).
inline std::vector<uint32_t> ReadPixels(HBITMAP bitmap, int* width = nullptr, int* height = nullptr) {
  BITMAP bm = {};
  GetObject(bitmap, sizeof bm, &bm);
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB};
  std::vector<uint32_t> pixels((size_t)bm.bmWidth * bm.bmHeight);
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bitmap, 0, bm.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (width) *width = bm.bmWidth;
  if (height) *height = bm.bmHeight;
  return pixels;
}

inline COLORREF PixelColor(uint32_t v) { return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF); }

// Sets system colours for a test and puts the old ones back.
class SysColorsOverride {
 public:
  SysColorsOverride(std::initializer_list<std::pair<int, COLORREF>> colors) {
    for (auto& c : colors) {
      m_index.push_back(c.first);
      m_old.push_back(GetSysColor(c.first));
      m_new.push_back(c.second);
    }
    SetSysColors((int)m_index.size(), m_index.data(), m_new.data());
  }
  ~SysColorsOverride() { SetSysColors((int)m_index.size(), m_index.data(), m_old.data()); }

 private:
  std::vector<int> m_index;
  std::vector<COLORREF> m_old, m_new;
};
