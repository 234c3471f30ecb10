// Attributed text: measuring with tabs, colours per run, underline.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ui/theme/attrtext.h"
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

// Background index b is entry 32 - b; the 16-bit form draws the same pixels
// and answers the same x.
TEST(AttrText, BackgroundEntryAndTheWideFormAgree) {
  Canvas a, b;
  RECT rc = {0, 0, 200, 30};
  // Split code 1: four text bits, one background bit: background 1 = entry 31.
  BYTE attrs[3] = {0x10 | 12, 0x10 | 12, 0};
  UINT flags = 1u << kAttrSplitShift;
  int xa = DrawAttrTextA(a.dc, 4, 4, flags, &rc, "W\xE4W", 3, attrs, nullptr, Fonts());
  int xb = DrawAttrTextW(b.dc, 4, 4, flags, &rc, L"W\x00E4W", 3, attrs, nullptr, Fonts());
  EXPECT_EQ(xa, xb);
  EXPECT_GT(a.Count(AttrColorTable[31], 0, 200), 10);
  EXPECT_GT(a.Count(RGB(0xFF, 0, 0), 0, 200), 5);
  int differ = 0;
  for (int y = 0; y < 30; y++) {
    for (int x = 0; x < 200; x++) differ += a.Pixel(x, y) != b.Pixel(x, y);
  }
  EXPECT_EQ(differ, 0);
}

TEST(AttrText, ExFrontPlacesMeasuresAndClips) {
  Canvas c;
  SelectObject(c.dc, Fonts()[0]);
  SIZE size = {};
  GetTextExtentPoint32A(c.dc, "MMMM", 4, &size);
  BYTE attrs[4] = {12, 12, 12, 12};
  // DT_CALCRECT: the rectangle grows to the line, nothing is drawn.
  RECT calc = {10, 5, 11, 6};
  int height = DrawAttrTextExA(c.dc, "MMMM", -1, &calc, DT_CALCRECT | DT_WORDBREAK, attrs, nullptr, Fonts());
  EXPECT_EQ(calc.right, 10 + size.cx);
  EXPECT_EQ(calc.bottom, 5 + height);
  EXPECT_EQ(c.Count(RGB(0xFF, 0, 0), 0, 200), 0);
  // Right-aligned in 0..100: the red ends at the right edge.
  RECT rc = {0, 0, 100, 30};
  DrawAttrTextExW(c.dc, L"MMMM", 4, &rc, DT_RIGHT | DT_VCENTER, attrs, nullptr, Fonts());
  EXPECT_EQ(c.Count(RGB(0xFF, 0, 0), 0, 100 - size.cx), 0);
  EXPECT_GT(c.Count(RGB(0xFF, 0, 0), 100 - size.cx, 100), 10);
  EXPECT_EQ(c.Count(RGB(0xFF, 0, 0), 100, 200), 0);
  // Centred in a rectangle narrower than the line: clipped at both sides.
  Canvas d;
  RECT narrow = {60, 0, 60 + size.cx / 2, 30};
  DrawAttrTextExA(d.dc, "MMMM", 4, &narrow, DT_CENTER, attrs, nullptr, Fonts());
  EXPECT_GT(d.Count(RGB(0xFF, 0, 0), narrow.left, narrow.right), 10);
  EXPECT_EQ(d.Count(RGB(0xFF, 0, 0), 0, narrow.left), 0);
  EXPECT_EQ(d.Count(RGB(0xFF, 0, 0), narrow.right, 200), 0);
  // The clip region of the DC comes back.
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(d.dc, rgn), 0);
  DeleteObject(rgn);
}

TEST(AttrText, FitCountsAcrossRunsOfDifferentFonts) {
  Canvas c;
  const char* text = "abcWWW";
  BYTE attrs[6] = {0, 0, 0, 0x40, 0x40, 0x40};  // "WWW" bold
  int extents[6] = {};
  int fit = -1;
  SIZE size = {};
  ASSERT_TRUE(GetAttrTextFitA(c.dc, text, 6, 100000, &fit, extents, &size, attrs, Fonts()));
  EXPECT_EQ(fit, 6);
  SelectObject(c.dc, Fonts()[0]);
  SIZE abc = {}, www = {};
  GetTextExtentPoint32A(c.dc, "abc", 3, &abc);
  SelectObject(c.dc, Fonts()[1]);
  GetTextExtentPoint32A(c.dc, "WWW", 3, &www);
  EXPECT_EQ(size.cx, abc.cx + www.cx);
  EXPECT_EQ(extents[2], abc.cx);
  EXPECT_EQ(extents[5], abc.cx + www.cx);
  // Up to the first bold W and a little more: four characters fit.
  ASSERT_TRUE(GetAttrTextFitW(c.dc, L"abcWWW", 6, extents[3] + 1, &fit, nullptr, nullptr, attrs, Fonts()));
  EXPECT_EQ(fit, 4);
  ASSERT_TRUE(GetAttrTextFitA(c.dc, text, 6, 0, &fit, nullptr, nullptr, attrs, Fonts()));
  EXPECT_EQ(fit, 0);
}
