// The font cache, the standard fonts and their bold and fixed variants.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "ui/fonts.h"
#include "ui/winversion.h"

namespace {
LOGFONTA Logfont(const char* face, int height, int weight = FW_NORMAL) {
  LOGFONTA lf = {};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lstrcpyA(lf.lfFaceName, face);
  return lf;
}

int CharWidth(HFONT hFont, char c) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, hFont);
  INT w = 0;
  GetCharWidth32A(dc, (BYTE)c, (BYTE)c, &w);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return w;
}

TEXTMETRICA Metrics(HFONT hFont) {
  TEXTMETRICA tm = {};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, hFont);
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm;
}
}  // namespace

TEST(FontCache, EqualLogfontsShareOneFontAndSignedHeightsDiffer) {
  LOGFONTA negative = Logfont("Tahoma", -13), positive = Logfont("Tahoma", 13);
  int before = GetFontCacheCount();
  HFONT a = CreateCachedFont(&negative);
  HFONT b = CreateCachedFont(&positive);
  ASSERT_TRUE(a && b);
  EXPECT_NE(a, b);
  EXPECT_EQ(CreateCachedFont(&negative), a);
  EXPECT_EQ(CreateCachedFont(&positive), b);
  EXPECT_EQ(GetFontCacheCount(), before + 2);

  LOGFONTA italic = negative;
  italic.lfItalic = 1;
  EXPECT_NE(CreateCachedFont(&italic), a);

  LOGFONTW wide = {};
  std::memcpy(&wide, &negative, offsetof(LOGFONTW, lfFaceName));
  lstrcpyW(wide.lfFaceName, L"Tahoma");
  EXPECT_EQ(CreateCachedFontW(&wide), a);
  EXPECT_STREQ(wide.lfFaceName, L"Tahoma");  // the caller's face is left as it was
  EXPECT_EQ(GetFontCacheCount(), before + 3);
}

TEST(StandardFonts, FourFontsMadeOnceAndIndexFourIsNone) {
  EXPECT_EQ(GetStandardFont(4), nullptr);
  int width = -1, height = -1;
  EXPECT_EQ(GetStandardFontHeight(&width, &height, 4), 0);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);

  for (int index = 0; index < kStandardFontCount; ++index) {
    SCOPED_TRACE(index);
    HFONT hFont = GetStandardFont(index);
    ASSERT_NE(hFont, nullptr);
    EXPECT_EQ(GetStandardFont(index), hFont);
    TEXTMETRICA tm = Metrics(hFont);
    EXPECT_EQ(GetStandardFontHeight(&width, &height, index), tm.tmHeight);
    EXPECT_EQ(width, tm.tmAveCharWidth);
    EXPECT_EQ(tm.tmWeight >= FW_BOLD, (index & kStandardFontBold) != 0);
    bool fixed = CharWidth(hFont, 'i') == CharWidth(hFont, 'W');
    EXPECT_EQ(fixed, (index & kStandardFontFixed) != 0);
  }
  // The fixed fonts keep the height of the proportional one.
  int h0 = 0, h2 = 0;
  GetStandardFontHeight(nullptr, &h0, 0);
  GetStandardFontHeight(nullptr, &h2, 2);
  EXPECT_NEAR(h2, h0, 2);
  int logWidth = 0, logHeight = 0;
  GetStandardFontLogSize(&logWidth, &logHeight);
  EXPECT_GT(logWidth, 0);
  EXPECT_GT(logHeight, 0);
}

TEST(StandardFonts, BoldAndFixedVariants) {
  EXPECT_EQ(CreateBoldFont(nullptr), nullptr);
  EXPECT_EQ(CreateFixedFontOfHeight(nullptr), nullptr);
  LOGFONTA lf = Logfont("Tahoma", -16);
  HFONT base = CreateCachedFont(&lf);
  HFONT bold = CreateBoldFont(base);
  ASSERT_NE(bold, nullptr);
  EXPECT_EQ(CreateBoldFont(base), bold);  // through the cache
  EXPECT_GE(Metrics(bold).tmWeight, FW_BOLD);
  // The variants take the cell height of the font as their character height.
  TEXTMETRICA tmBold = Metrics(bold);
  EXPECT_NEAR(tmBold.tmHeight - tmBold.tmInternalLeading, Metrics(base).tmHeight, 1);

  HFONT fixed = CreateFixedFontOfHeight(base);
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(CharWidth(fixed, 'i'), CharWidth(fixed, 'W'));
  TEXTMETRICA tmFixed = Metrics(fixed);
  EXPECT_NEAR(tmFixed.tmHeight - tmFixed.tmInternalLeading, Metrics(base).tmHeight, 1);
}

TEST(WindowsVersion, FromTheSystemAndFromTheKernelResource) {
  DWORD version = GetWindowsVersion();
  EXPECT_GE(version, kWindowsVista);
  EXPECT_EQ(GetWindowsVersion(), version);
  DWORD kernel = GetWindowsVersionFromKernel();
  EXPECT_GE(kernel >> 16, 5u);  // Wine's kernel32 says 10.0
  EXPECT_EQ(GetWindowsVersionFromKernel(), kernel);
}

TEST(WindowTextHeight, OfTheWindowDc) {
  HWND hwnd = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  TEXTMETRICA tm = {};
  HDC dc = GetWindowDC(hwnd);
  GetTextMetricsA(dc, &tm);
  ReleaseDC(hwnd, dc);
  EXPECT_EQ(GetWindowTextHeight(hwnd), tm.tmHeight);
  EXPECT_GT(tm.tmHeight, 0);
  DestroyWindow(hwnd);
  EXPECT_EQ(GetWindowTextHeight((HWND)(INT_PTR)0x7FFF0001), 0);
}
