// Attributed text: measuring with tabs, colours per run, underline.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ui/attrtext.h"
#include "ui/fonts.h"

namespace {
// A white 200 x 30 DIB in a memory DC.
class Canvas {
 public:
  Canvas() {
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof bi.bmiHeader, 200, -30, 1, 32, BI_RGB};
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, (void**)&bits, nullptr, 0);
    old = SelectObject(dc, bitmap);
    memset(bits, 0xFF, 200 * 30 * 4);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  COLORREF Pixel(int x, int y) const {
    DWORD v = bits[y * 200 + x];
    return RGB(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF);
  }
  int Count(COLORREF c, int x0, int x1) const {
    int n = 0;
    for (int y = 0; y < 30; y++) {
      for (int x = x0; x < x1; x++) n += Pixel(x, y) == c;
    }
    return n;
  }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
  DWORD* bits = nullptr;
};

HFONT* Fonts() {
  static HFONT fonts[4];
  for (int i = 0; i < 4; i++) fonts[i] = GetStandardFont(i);
  return fonts;
}
}  // namespace

TEST(AttrText, TabbedExtentUsesTheTabWidthAndTheFontsOfTheRuns) {
  Canvas c;
  const char* text = "ab\tc";
  BYTE plain[4] = {0, 0, 0, 0};
  int tab = 50;
  SelectObject(c.dc, Fonts()[0]);
  SIZE cSize = {};
  GetTextExtentPoint32A(c.dc, "c", 1, &cSize);
  EXPECT_EQ(GetAttrTabbedTextExtentA(c.dc, 0, text, plain, 4, 1, &tab, 0, Fonts()), 50 + cSize.cx);
  // Bold runs measure in font 1.
  BYTE bold[2] = {0x40, 0x40};
  SelectObject(c.dc, Fonts()[1]);
  SIZE boldSize = {};
  GetTextExtentPoint32A(c.dc, "WW", 2, &boldSize);
  EXPECT_EQ(GetAttrTabbedTextExtentA(c.dc, 0, "WW", bold, 2, 0, nullptr, 0, Fonts()), boldSize.cx);
}

TEST(AttrText, RunsTakeTheirColoursAndTheUnderlineRow) {
  Canvas c;
  SelectObject(c.dc, Fonts()[0]);
  SetBkMode(c.dc, TRANSPARENT);
  SetTextColor(c.dc, RGB(0, 0, 0));
  RECT rc = {0, 0, 200, 30};
  // "MM" red (index 12), "MM" underlined in olive (index 6).
  BYTE attrs[4] = {12, 12, 0x20 | 6, 0x20 | 6};
  SIZE half = {};
  GetTextExtentPoint32A(c.dc, "MM", 2, &half);
  int x = DrawAttrTextA(c.dc, 2, 2, 0, &rc, "MMMM", 4, attrs, nullptr, Fonts());
  EXPECT_EQ(x, 2 + 2 * half.cx);
  EXPECT_GT(c.Count(RGB(0xFF, 0, 0), 2, 2 + half.cx), 5);
  EXPECT_EQ(c.Count(RGB(0xFF, 0, 0), 2 + half.cx, 200), 0);
  EXPECT_GT(c.Count(RGB(0x80, 0x80, 0), 2 + half.cx, x), 5);
  // The underline: one full row of olive under the second run only.
  TEXTMETRICA tm = {};
  GetTextMetricsA(c.dc, &tm);
  int row = 2 + tm.tmAscent + 1;
  for (int px = 2 + half.cx; px < x; px++) EXPECT_EQ(c.Pixel(px, row), RGB(0x80, 0x80, 0)) << px;
  EXPECT_NE(c.Pixel(2, row), RGB(0x80, 0x80, 0));
  // The DC's colours come back.
  EXPECT_EQ(GetTextColor(c.dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkMode(c.dc), TRANSPARENT);
}

TEST(AttrText, WithoutBackgroundBitsTheModeNeverChanges) {
  Canvas c;
  SetBkMode(c.dc, TRANSPARENT);
  BYTE attrs[2] = {31, 31};
  RECT rc = {0, 0, 200, 30};
  DrawAttrTextA(c.dc, 0, 0, 0, &rc, "ab", 2, attrs, nullptr, nullptr);
  EXPECT_EQ(c.Count(RGB(0xFF, 0xFF, 0xFF), 0, 200), 200 * 30 - c.Count(AttrColorTable[31], 0, 200));
  // Split code 2: three text bits, two background bits; background 3 is entry 29.
  BYTE split[2] = {(BYTE)(3 << 3 | 4), (BYTE)(3 << 3 | 4)};
  DrawAttrTextA(c.dc, 0, 0, 2u << kAttrSplitShift, &rc, "ab", 2, split, nullptr, nullptr);
  EXPECT_GT(c.Count(RGB(0xFF, 0xC0, 0xFF), 0, 200), 10);
  EXPECT_EQ(GetBkMode(c.dc), TRANSPARENT);
}

// The runs are drawn where they were measured: a colour change splits a
// line into runs without moving a pixel.
TEST(AttrText, ColourChangesDoNotMoveTheText) {
  const char* text = "Der Schl\xFCssel HKCU wird";
  int n = (int)strlen(text);
  std::vector<BYTE> plain(n, 0), coloured(n, 0);
  for (int i = 14; i < 19; i++) coloured[i] = 12;
  Canvas a, b;
  RECT rc = {0, 0, 200, 30};
  int xa = DrawAttrTextA(a.dc, 0, 0, 0, &rc, text, n, plain.data(), nullptr, Fonts());
  int xb = DrawAttrTextA(b.dc, 0, 0, 0, &rc, text, n, coloured.data(), nullptr, Fonts());
  EXPECT_EQ(xa, xb);
  int differ = 0;
  for (int y = 0; y < 30; y++) {
    for (int x = 0; x < 200; x++)
      differ += (a.Pixel(x, y) == RGB(255, 255, 255)) != (b.Pixel(x, y) == RGB(255, 255, 255));
  }
  EXPECT_EQ(differ, 0);
}
