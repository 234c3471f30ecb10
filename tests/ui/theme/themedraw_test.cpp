// Themed drawing on a test window, read back by WindowCapture: classic pixels,
// themed against classic output, and the run without UxTheme.
#include "ui/theme/themedraw.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "harness/window_util.h"
#include "paint_window.h"
#include "ui/fonts.h"

namespace {
const COLORREF kBack = RGB(0, 128, 128);
const COLORREF kWhite = RGB(255, 255, 255);

COLORREF Sys(int index) { return GetSysColor(index); }

bool HasThemes() {
  for (int i = 0; i < kThemeCount; i++) {
    if (!GetThemeHandle(i)) return false;
  }
  return true;
}

// Pixels outside rc that are not the background.
int Outside(const WindowCapture& c, const RECT& rc) {
  int n = 0;
  for (int y = 0; y < c.Height(); y++) {
    for (int x = 0; x < c.Width(); x++) {
      POINT pt = {x, y};
      if (!PtInRect(&rc, pt) && c.Pixel(x, y) != kBack) n++;
    }
  }
  return n;
}

int Differences(const WindowCapture& a, const WindowCapture& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); y++) {
    for (int x = 0; x < a.Width(); x++) n += a.Pixel(x, y) != b.Pixel(x, y);
  }
  return n;
}

// One drawing of each function, with extra flag bits.
struct Glyph {
  const char* name;
  std::function<void(HDC, const RECT&, UINT)> draw;
  UINT flags;
  int cx = 64, cy = 28;
};

std::vector<Glyph> AllGlyphs() {
  static const wchar_t kText[] = L"Text";
  std::vector<Glyph> glyphs;
  auto check = [](HDC dc, const RECT& rc, UINT f) { DrawCheckMark(dc, &rc, f, 0); };
  for (UINT s = 1; s <= 2; s++) glyphs.push_back({"expand", check, kCheckExpand | s, 16, 16});
  for (UINT s = 1; s <= 4; s++) glyphs.push_back({"menu check", check, kCheckMenu | s, 16, 16});
  for (UINT s = 1; s <= 6; s++) glyphs.push_back({"drop arrow", check, kCheckDropDown | s, 16, 16});
  for (UINT s = 1; s <= 4; s++) {
    glyphs.push_back({"combo", [](HDC dc, const RECT& rc, UINT f) { DrawComboDropButton(dc, &rc, f, 0); }, s});
  }
  for (UINT s = 1; s <= 5; s++) {
    glyphs.push_back({"push", [](HDC dc, const RECT& rc, UINT f) { DrawPushButton(dc, kText, &rc, f, 0); }, s});
  }
  for (UINT s = 1; s <= 8; s++) {
    glyphs.push_back({"radio", [](HDC dc, const RECT& rc, UINT f) { DrawRadioButton(dc, nullptr, &rc, f, 0); }, s});
    glyphs.push_back({"check box", [](HDC dc, const RECT& rc, UINT f) { DrawCheckBox(dc, nullptr, &rc, f, 0); }, s});
  }
  for (UINT s = 1; s <= 4; s++) {
    glyphs.push_back({"menu item",
                      [](HDC dc, const RECT& rc, UINT f) { DrawMenuItem(dc, kText, &rc, f, nullptr, kMenuImageCheck); },
                      s | kGlyphErase});
  }
  for (UINT s = 1; s <= 4; s++) {
    glyphs.push_back({"edit part",
                      [](HDC dc, const RECT& rc, UINT f) { DrawThemePartByIndex(dc, kThemeEdit, &rc, f, 0); },
                      s | (1u << 16)});
  }
  return glyphs;
}

// A sheet of every glyph: one cell of 64 x 28 each, 8 to a row.
void DrawSheet(HDC dc, UINT extra) {
  std::vector<Glyph> glyphs = AllGlyphs();
  for (size_t i = 0; i < glyphs.size(); i++) {
    int x = 4 + (int)(i % 8) * 68, y = 4 + (int)(i / 8) * 32;
    RECT rc = {x, y, x + glyphs[i].cx, y + glyphs[i].cy};
    glyphs[i].draw(dc, rc, glyphs[i].flags | extra);
  }
}
}  // namespace

TEST(Draw3dFrame, EdgesInsideAndBackgroundPerFlag) {
  const COLORREF shadow = Sys(COLOR_BTNSHADOW), red = RGB(255, 0, 0);
  struct Case {
    UINT flags;
    COLORREF topLeft, bottomRight, inside;
  } cases[] = {
      {0, kWhite, shadow, kBack},
      {kFrameSunken, shadow, kWhite, kBack},
      {kFrameSunken | kFrameFill, shadow, kWhite, Sys(COLOR_BTNFACE)},
      {kFrameFill | kFrameFillLight, kWhite, shadow, Sys(COLOR_3DLIGHT)},
      {kFrameBackground, red, red, kBack},
  };
  for (const Case& t : cases) {
    COLORREF back = 0;
    WindowCapture c = CaptureDrawing(
        [&](HDC dc) {
          SetBkColor(dc, red);
          Draw3dFrame(dc, 5, 5, 10, 10, t.flags);
          Draw3dFrame(dc, 20, 5, 1, 1, t.flags);
          Draw3dFrame(dc, 30, 5, 0, 10, t.flags);
          back = GetBkColor(dc);
        },
        40, 20, kBack);
    SCOPED_TRACE(t.flags);
    EXPECT_EQ(back, red);  // restored
    EXPECT_EQ(c.Pixel(5, 5), t.topLeft);
    EXPECT_EQ(c.Pixel(13, 5), t.topLeft);
    EXPECT_EQ(c.Pixel(5, 13), t.topLeft);
    EXPECT_EQ(c.Pixel(14, 5), t.bottomRight);  // the right edge starts at the top
    EXPECT_EQ(c.Pixel(5, 14), t.bottomRight);  // the bottom edge starts at the left
    EXPECT_EQ(c.Pixel(14, 14), t.bottomRight);
    EXPECT_EQ(c.Pixel(9, 9), t.inside);
    EXPECT_EQ(c.Pixel(4, 4), kBack);
    EXPECT_EQ(c.Pixel(15, 15), kBack);
    // 1 x 1 is one pixel in colour B; width 0 draws nothing.
    EXPECT_EQ(c.Pixel(20, 5), t.bottomRight);
    EXPECT_EQ(c.Pixel(21, 5), kBack);
    EXPECT_EQ(c.Count(kBack, RECT{30, 0, 40, 20}), 10 * 20);
  }
}

TEST(DrawCheckMark, ClassicExpandGlyphMinusAndPlus) {
  const COLORREF grey = RGB(128, 128, 128);
  for (UINT state : {0u, 1u}) {
    WindowCapture c = CaptureDrawing(
        [&](HDC dc) {
          RECT rc = {10, 10, 19, 19};
          DrawCheckMark(dc, &rc, kCheckExpand | state | kGlyphClassic, 0);
        },
        30, 30, kBack);
    SCOPED_TRACE(state);
    EXPECT_EQ(c.Pixel(10, 10), RGB(0, 0, 0));  // box
    EXPECT_EQ(c.Pixel(18, 18), RGB(0, 0, 0));
    EXPECT_EQ(c.Pixel(11, 11), kWhite);
    EXPECT_EQ(c.Pixel(19, 19), kBack);
    // The bar on the middle row (14), from left + 2 to right - 2.
    for (int x = 12; x <= 16; x++) EXPECT_EQ(c.Pixel(x, 14), grey) << x;
    EXPECT_EQ(c.Pixel(17, 14), kWhite);
    // The upright of the plus in column 14.
    EXPECT_EQ(c.Pixel(14, 12), state == 1 ? grey : kWhite);
    EXPECT_EQ(c.Pixel(14, 16), state == 1 ? grey : kWhite);
  }
}

TEST(DrawCheckMark, MenuKindStateZeroAndHighStatesDrawNothing) {
  for (UINT extra : {0u, (UINT)kGlyphClassic}) {
    for (UINT state : {0u, 5u, 9u}) {
      WindowCapture c = CaptureDrawing(
          [&](HDC dc) {
            RECT rc = {4, 4, 20, 20};
            DrawCheckMark(dc, &rc, kCheckMenu | state | extra, 0);
          },
          24, 24, kBack);
      EXPECT_EQ(c.Count(kBack, RECT{0, 0, 24, 24}), 24 * 24) << state << " " << extra;
    }
  }
  // State 1 classically draws the Marlett check in the menu text colour.
  WindowCapture c = CaptureDrawing(
      [](HDC dc) {
        RECT rc = {4, 4, 20, 20};
        DrawCheckMark(dc, &rc, kCheckMenu | 1 | kGlyphClassic, 0);
      },
      24, 24, kBack);
  EXPECT_GT(c.Count(Sys(COLOR_MENUTEXT), RECT{4, 4, 20, 20}), 4);
}

TEST(DrawCheckMark, EraseAndInsetBothWays) {
  WindowCapture c = CaptureDrawing(
      [](HDC dc) {
        SetBkColor(dc, RGB(255, 0, 0));
        RECT rc = {0, 0, 20, 20};
        // x inset 2, y inset 4: the box runs from (2, 4) to (17, 15).
        DrawCheckMark(dc, &rc, kCheckExpand | 1 | kGlyphClassic | kGlyphErase | kGlyphInsetXY, MAKELONG(2, 4));
      },
      24, 24, kBack);
  EXPECT_EQ(c.Pixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.Pixel(19, 19), RGB(255, 0, 0));
  EXPECT_EQ(c.Pixel(20, 20), kBack);
  EXPECT_EQ(c.Pixel(2, 4), RGB(0, 0, 0));
  EXPECT_EQ(c.Pixel(17, 15), RGB(0, 0, 0));
  EXPECT_EQ(c.Pixel(1, 4), RGB(255, 0, 0));
  EXPECT_EQ(c.Pixel(2, 3), RGB(255, 0, 0));
}

TEST(DrawPushButton, ClassicEdgesPerState) {
  for (UINT state = 1; state <= 5; state++) {
    COLORREF text = 0;
    WindowCapture c = CaptureDrawing(
        [&](HDC dc) {
          SetTextColor(dc, RGB(1, 2, 3));
          RECT rc = {2, 2, 42, 22};
          DrawPushButton(dc, "OK", &rc, state | kGlyphClassic | kGlyphAnsiText, 0);
          text = GetTextColor(dc);
        },
        50, 30, kBack);
    SCOPED_TRACE(state);
    bool sunken = state == 3;
    EXPECT_EQ(c.Pixel(2, 2), Sys(sunken ? COLOR_BTNSHADOW : COLOR_3DLIGHT));
    EXPECT_EQ(c.Pixel(3, 3), Sys(sunken ? COLOR_3DDKSHADOW : COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(c.Pixel(41, 21), Sys(sunken ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW));
    EXPECT_EQ(c.Pixel(40, 20), Sys(sunken ? COLOR_3DLIGHT : COLOR_BTNSHADOW));
    EXPECT_EQ(c.Pixel(6, 6), Sys(COLOR_BTNFACE));
    EXPECT_EQ(c.Pixel(1, 1), kBack);
    EXPECT_EQ(text, RGB(1, 2, 3));
    // Text: the button text colour, the disabled one embossed.
    RECT face = {4, 4, 40, 20};
    if (state == 4) {
      EXPECT_EQ(c.Count(Sys(COLOR_BTNTEXT), face), 0);
      EXPECT_GT(c.Count(Sys(COLOR_BTNSHADOW), face), 3);
    } else if (state != 2) {
      EXPECT_GT(c.Count(Sys(COLOR_BTNTEXT), face), 3);
    }
  }
}

TEST(DrawDisabledText, EmbossedPlacedAndEmptyCases) {
  int answer = -1;
  WindowCapture c = CaptureDrawing(
      [&](HDC dc) {
        SelectObject(dc, GetStandardFont(0));
        RECT left = {0, 0, 100, 20}, centre = {0, 20, 100, 40};
        answer = DrawDisabledTextA(dc, "Hallo", -1, &left, 0);
        DrawDisabledTextW(dc, L"Hallo", 5, &centre, DT_CENTER);
      },
      100, 40, kBack);
  EXPECT_NE(answer, 0);
  RECT all = {0, 0, 100, 40};
  EXPECT_GT(c.Count(Sys(COLOR_BTNHIGHLIGHT), all), 5);
  EXPECT_GT(c.Count(Sys(COLOR_BTNSHADOW), all), 5);
  EXPECT_EQ(c.Count(RGB(0, 0, 0), all), 0);
  // The centred copy lies further right by about half the free space.
  auto firstColumn = [&](int top) {
    for (int x = 0; x < 100; x++) {
      for (int y = top; y < top + 20; y++) {
        if (c.Pixel(x, y) != kBack) return x;
      }
    }
    return -1;
  };
  EXPECT_GT(firstColumn(20), firstColumn(0) + 20);

  HDC dc = GetDC(nullptr);
  RECT empty = {5, 5, 5, 20}, rc = {0, 0, 50, 20};
  EXPECT_EQ(DrawDisabledTextA(dc, "x", 1, &empty, 0), 0);
  EXPECT_EQ(DrawDisabledTextA(dc, "", -1, &rc, 0), 1);
  ReleaseDC(nullptr, dc);
}

TEST(DrawMenuItem, ClassicBackgroundPerStateAndImageGap) {
  struct Case {
    UINT flags;
    COLORREF back;
  } cases[] = {
      {1, kBack},
      {2, Sys(COLOR_HIGHLIGHT)},
      {1 | kGlyphErase, Sys(COLOR_MENU)},
      {4 | kGlyphErase, Sys(COLOR_HIGHLIGHT)},
  };
  for (const Case& t : cases) {
    WindowCapture c = CaptureDrawing(
        [&](HDC dc) {
          RECT rc = {0, 0, 120, 20};
          DrawMenuItem(dc, "Neu", &rc, t.flags | kGlyphClassic | kGlyphAnsiText, nullptr, kMenuImageWidthOnly);
        },
        120, 20, kBack);
    SCOPED_TRACE(t.flags);
    EXPECT_EQ(c.Pixel(1, 1), t.back);
    EXPECT_EQ(c.Pixel(119, 19), t.back);
    // Without an image the gap is 4: the text starts near the left edge.
    int first = -1;
    for (int x = 0; x < 120 && first < 0; x++) {
      for (int y = 0; y < 20; y++) {
        if (c.Pixel(x, y) != t.back) {
          first = x;
          break;
        }
      }
    }
    EXPECT_GE(first, 4);
    EXPECT_LT(first, 10);
  }
}

TEST(ThemedDrawing, ThemedAndClassicDifferAndStayInside) {
  if (!HasThemes()) GTEST_SKIP() << "no visual style is active";
  std::vector<Glyph> glyphs = AllGlyphs();
  const RECT inside = {8, 8, 72, 36};
  for (const Glyph& g : glyphs) {
    auto draw = [&](UINT extra) {
      return CaptureDrawing(
          [&](HDC dc) {
            SetBkColor(dc, kBack);
            RECT rc = {inside.left, inside.top, inside.left + g.cx, inside.top + g.cy};
            g.draw(dc, rc, g.flags | extra);
          },
          80, 44, kBack);
    };
    WindowCapture themed = draw(0), classic = draw(kGlyphClassic);
    SCOPED_TRACE(std::string(g.name) + " " + std::to_string(g.flags & 0xFF));
    EXPECT_EQ(Outside(themed, inside), 0);
    EXPECT_EQ(Outside(classic, inside), 0);
    EXPECT_GT(Differences(themed, classic), 0);
  }
}

TEST(ThemedDrawing, SheetsOfEveryGlyphThemedAndClassic) {
  for (UINT extra : {0u, (UINT)kGlyphClassic}) {
    WindowCapture c = CaptureDrawing([&](HDC dc) { DrawSheet(dc, extra); }, 8 * 68 + 8, 7 * 32 + 8, RGB(240, 240, 240));
    std::string name = extra ? "theme_glyphs_classic.png" : "theme_glyphs_themed.png";
    EXPECT_TRUE(c.SavePng(ScreenshotPath(name.c_str()).c_str()));
  }
}

TEST(ThemeApi, NamesGlyphSizesAndCachedColours) {
  if (!HasThemes()) GTEST_SKIP() << "no visual style is active";
  char name[300];
  EXPECT_EQ(GetCurrentThemeNameA(name, sizeof name), 1);
  EXPECT_GT(strlen(name), 0u);
  wchar_t wide[300];
  EXPECT_EQ(GetCurrentThemeNameW(wide, 300), 1);
  EXPECT_EQ(wide[0], (BYTE)name[0]);
  char small[4];
  EXPECT_EQ(GetCurrentThemeNameA(small, 4), 1);
  EXPECT_EQ(strlen(small), 3u);
  EXPECT_EQ(GetCurrentThemeNameA(small, 0), 0);

  const ThemeApi& api = GetThemeApi();
  SIZE size = {}, part = {};
  RECT rc = {0, 0, 3, 3};
  ASSERT_EQ(GetGlyphSize(1, &size), 1);
  ASSERT_TRUE(SUCCEEDED(api.GetThemePartSize(GetThemeHandle(kThemeButton), nullptr, 2, 1, &rc, TS_TRUE, &part)));
  EXPECT_EQ(size.cx, part.cx);
  EXPECT_EQ(size.cy, part.cy);
  EXPECT_EQ(GetGlyphSize(2, &size), 0);

  // The menu colours come from the theme's parts, cached.
  COLORREF menu = GetCachedSysColor(COLOR_MENU);
  EXPECT_EQ(menu >> 24, 0u);
  EXPECT_EQ(GetCachedSysColor(COLOR_MENU), menu);
  EXPECT_EQ(GetCachedSysColor(COLOR_BTNFACE), Sys(COLOR_BTNFACE));
}

class WithoutUxTheme : public testing::Test {
 protected:
  void SetUp() override { SetThemeApiSeam("ostrova-missing-uxtheme.dll"); }
  void TearDown() override { SetThemeApiSeam(nullptr); }
};

TEST_F(WithoutUxTheme, EmptyNameDefaultSizesAndClassicOutput) {
  char name[16] = "x";
  EXPECT_EQ(GetCurrentThemeNameA(name, sizeof name), 0);
  EXPECT_EQ(name[0], 0);
  wchar_t wide[16] = L"x";
  EXPECT_EQ(GetCurrentThemeNameW(wide, 16), 0);
  EXPECT_EQ(wide[0], 0);
  for (int i = 0; i < kThemeCount; i++) EXPECT_EQ(GetThemeHandle(i), nullptr);
  SIZE size = {};
  GetGlyphSize(0, &size);
  EXPECT_EQ(size.cx, 13 * GetSystemMetrics(SM_CXICON) / 32);
  EXPECT_EQ(size.cy, 13);
  GetGlyphSize(1, &size);
  EXPECT_EQ(size.cx, 13);
  EXPECT_EQ(GetCachedSysColor(COLOR_MENUBAR), Sys(COLOR_MENU));
  EXPECT_EQ(GetCachedSysColor(COLOR_MENU), Sys(COLOR_MENU));

  // Every glyph draws as with the classic flag.
  WindowCapture plain = CaptureDrawing([](HDC dc) { DrawSheet(dc, 0); }, 8 * 68 + 8, 7 * 32 + 8, kBack);
  WindowCapture classic = CaptureDrawing([](HDC dc) { DrawSheet(dc, kGlyphClassic); }, 8 * 68 + 8, 7 * 32 + 8, kBack);
  EXPECT_EQ(Differences(plain, classic), 0);
  EXPECT_LT(plain.Count(kBack, RECT{0, 0, plain.Width(), plain.Height()}), plain.Width() * plain.Height());
}

namespace {
HRESULT WINAPI FailingPart(HTHEME, HDC, int, int, const RECT*, const RECT*) { return E_FAIL; }
HRESULT WINAPI EmptyPart(HTHEME, HDC, int, int, const RECT*, const RECT*) { return S_OK; }
HRESULT WINAPI BluePart(HTHEME, HDC dc, int, int, const RECT* rc, const RECT*) {
  SetBkColor(dc, RGB(0, 0, 200));
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, rc, nullptr, 0, nullptr);
  return S_OK;
}
}  // namespace

// The menu colours are probed from the theme's part; a part that fails or
// leaves the probe pixel alone gives the system colour, not the probe's black.
TEST(GetCachedSysColor, MenuProbeFallsBackToTheSystemColour) {
  if (!HasThemes()) GTEST_SKIP() << "no visual style is active";
  struct Case {
    DrawThemeBackgroundFn part;
    COLORREF menu, menuBar;
  } cases[] = {
      {FailingPart, Sys(COLOR_MENU), Sys(COLOR_MENUBAR)},
      {EmptyPart, Sys(COLOR_MENU), Sys(COLOR_MENUBAR)},
      {BluePart, RGB(0, 0, 200), RGB(0, 0, 200)},
  };
  for (const Case& t : cases) {
    SetThemeApiSeam(nullptr, t.part);
    EXPECT_EQ(GetCachedSysColor(COLOR_MENU), t.menu);
    EXPECT_EQ(GetCachedSysColor(COLOR_MENUBAR), t.menuBar);
  }
  SetThemeApiSeam(nullptr);
}
