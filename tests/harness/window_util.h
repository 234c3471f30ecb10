// Window tests: pumping messages and reading back what a window shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Dispatches the thread's messages for about ms milliseconds.
void PumpMessages(DWORD ms = 0);

// The face name the font mapper actually chose for a font: tests whose
// expectations depend on metrics print it, so a fallback font shows.
std::string ChosenFontFace(HFONT font);

// A path for a screenshot of this name in the build tree's screenshots
// folder (made when missing).
std::string ScreenshotPath(const char* name);
// A path for a screenshot beside the test program, in <folder>\screens
// (<build>\tests\<program folder>\<folder>\screens\<name>), made when missing.
std::string ScreensPathIn(const char* folder, const char* name);

// What a window paints, rendered into a 32-bit memory bitmap through
// WM_PRINT (client, non-client, children, background).
class WindowCapture {
 public:
  explicit WindowCapture(HWND hwnd);
  // What the screen shows of the window (its controls drawn as the user sees
  // them, which WM_PRINT under Wine leaves out for buttons and statics); the
  // window must be visible and on top.
  static WindowCapture FromScreen(HWND hwnd);
  // What the screen shows in a rectangle (screen coordinates), such as a
  // dialog together with the menu it opened.
  static WindowCapture FromScreenRect(const RECT& rc);
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  COLORREF Pixel(int x, int y) const;  // RGB() order; CLR_INVALID outside the capture
  // Number of pixels of exactly this colour in the rectangle.
  int Count(COLORREF color, const RECT& rc) const;
  // Writes the picture as a PNG file (RGB, stored zlib blocks); false when
  // the file cannot be written.
  bool SavePng(const char* path) const;

 private:
  WindowCapture() = default;
  int m_width = 0, m_height = 0;
  std::vector<uint32_t> m_bits;  // top-down, 0x00RRGGBB
};
