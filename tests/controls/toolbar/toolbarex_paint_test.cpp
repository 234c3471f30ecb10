// Toolbar pixels read back through WindowCapture: keyed images, tint,
// pressed shift, separators, the insert mark and labels; PNG sheets.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "toolbar_fixture.h"
#include "ui/theme/themeapi.h"

namespace {
const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kRed = RGB(255, 0, 0);

// Ten 16 x 16 cells on the key colour, each with a red 6 x 6 square at (5, 5).
HBITMAP RedSquares() {
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 160, 16, 1, 24, BI_RGB};
  BYTE* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, (void**)&bits, nullptr, 0);
  for (int row = 0; row < 16; row++) {
    int y = 15 - row;
    for (int x = 0; x < 160; x++) {
      int cx = x % 16;
      COLORREF c = (cx >= 5 && cx < 11 && y >= 5 && y < 11) ? kRed : kKey;
      BYTE* p = bits + row * 480 + x * 3;
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  }
  return bitmap;
}

TBBUTTON Button(int image, int id, BYTE state = TBSTATE_ENABLED, BYTE style = BTNS_BUTTON, INT_PTR text = -1) {
  return TBBUTTON{image, id, state, style, {}, 0, text};
}

RECT ItemRect(const ToolbarFixture& t, int index) {
  RECT rc = {};
  t.Send(TB_GETITEMRECT, (WPARAM)index, (LPARAM)&rc);
  return rc;
}

// Top-left red pixel inside rc, {-1, -1} when none.
POINT FirstRed(const WindowCapture& c, const RECT& rc) {
  for (int y = rc.top; y < rc.bottom; y++) {
    for (int x = rc.left; x < rc.right; x++) {
      if (c.Pixel(x, y) == kRed) return POINT{x, y};
    }
  }
  return POINT{-1, -1};
}

void FillBar(const ToolbarFixture& t) {
  TBADDBITMAP ab = {nullptr, (UINT_PTR)RedSquares()};
  t.Send(TB_ADDBITMAP, 10, (LPARAM)&ab);
  t.Send(TB_ADDSTRINGW, 0, (LPARAM)L"Neu\0Tools\0");
  std::vector<TBBUTTON> b = {Button(0, 1),
                             Button(1, 2, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK),
                             Button(2, 3, 0),
                             Button(-1, 0, 0, BTNS_SEP),
                             Button(3, 4, TBSTATE_ENABLED, BTNS_DROPDOWN),
                             Button(-1, 5, TBSTATE_ENABLED, BTNS_BUTTON, 0)};
  t.Send(TB_ADDBUTTONSW, b.size(), (LPARAM)b.data());
}
}  // namespace

TEST(ToolbarPaint, KeyedImagesTintShiftAndSeparator) {
  ToolbarFixture t(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT);
  FillBar(t);
  WindowCapture c(t.bar);
  RECT all = {0, 0, c.Width(), c.Height()};
  EXPECT_EQ(c.Count(kKey, all), 0);  // no key colour anywhere
  RECT normal = ItemRect(t, 0), checked = ItemRect(t, 1), disabled = ItemRect(t, 2), sep = ItemRect(t, 3);
  EXPECT_EQ(c.Count(kRed, normal), 36);
  EXPECT_EQ(c.Count(kRed, disabled), 0);  // tinted
  POINT a = FirstRed(c, normal), b = FirstRed(c, checked);
  ASSERT_GE(a.x, 0);
  ASSERT_GE(b.x, 0);
  // The checked image sits one pixel further right and down.
  EXPECT_EQ(b.x - checked.left, a.x - normal.left + 1);
  EXPECT_EQ(b.y - checked.top, a.y - normal.top + 1);
  // The separator's shadow line and white line beside it.
  int mid = sep.left + (sep.right - sep.left - 1) / 2;
  EXPECT_EQ(c.Pixel(mid, (sep.top + sep.bottom) / 2), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.Pixel(mid + 1, (sep.top + sep.bottom) / 2), RGB(255, 255, 255));
  EXPECT_TRUE(c.SavePng(ScreenshotPath("toolbar_themed.png").c_str()));
}

TEST(ToolbarPaint, InsertMarkAndLabels) {
  ToolbarFixture t(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT);
  FillBar(t);
  TBINSERTMARK mark = {1, TBIMHT_AFTER};
  t.Send(TB_SETINSERTMARK, 0, (LPARAM)&mark);
  t.Send(TBX_SETSYSCOLOR, 5, RGB(0, 0, 200));
  t.Send(TBX_SETSYSCOLOR, 6, RGB(255, 255, 0));
  t.Send(TBX_SETSYSCOLOR, 7, RGB(0, 0, 0));
  t.Send(TBX_SETSYSCOLOR, 8, RGB(0, 160, 0));
  TbxLabelHead head = {1, 0, 0, kTbxLabelCenter | kTbxLabelMiddle, 7, 0, 0};
  EXPECT_EQ(t.Send(TBX_ADDLABELW, (WPARAM)&head, (LPARAM)L"3"), 1);
  TbxLabelHead orphan = {4711, 200, 2, 0, 8, 0, 0};
  EXPECT_EQ(t.Send(TBX_ADDLABELA, (WPARAM)&orphan, (LPARAM) "x"), 1);
  WindowCapture c(t.bar);
  RECT checked = ItemRect(t, 1), first = ItemRect(t, 0);
  RECT markBand = {checked.right - 3, checked.top, checked.right + 3, checked.bottom};
  EXPECT_GT(c.Count(RGB(0, 0, 200), markBand), 10);
  // The label centred on button 0: its yellow background and green frame.
  EXPECT_GT(c.Count(RGB(255, 255, 0), first), 4);
  EXPECT_GT(c.Count(RGB(0, 160, 0), first), 4);
  // A label anchored to no button sits at the origin plus its offsets.
  RECT origin = {199, 1, 215, 24};
  EXPECT_GT(c.Count(RGB(0, 160, 0), origin), 4);
  // Slots 6 and 8 with -2: no background, no frame.
  t.Send(TBX_SETSYSCOLOR, 6, (LPARAM)kTbxNoColor);
  t.Send(TBX_SETSYSCOLOR, 8, (LPARAM)kTbxNoColor);
  WindowCapture plain(t.bar);
  EXPECT_EQ(plain.Count(RGB(255, 255, 0), first), 0);
  EXPECT_EQ(plain.Count(RGB(0, 160, 0), first), 0);
  EXPECT_EQ(t.Send(TBX_REMOVELABEL, kTbxLabelTagForm | 8), 1);
  EXPECT_EQ(t.Send(TBX_REMOVELABEL, 1), 1);
  EXPECT_EQ(t.Send(TBX_REMOVELABEL, 1), 0);
}

// Without visual styles the bar draws classically; both sheets go to PNG.
TEST(ToolbarPaint, ClassicSheet) {
  SetThemeApiSeam("ostrova-missing-uxtheme.dll");
  {
    ToolbarFixture t(WS_CHILD | WS_VISIBLE);
    FillBar(t);
    WindowCapture c(t.bar);
    RECT all = {0, 0, c.Width(), c.Height()};
    EXPECT_EQ(c.Count(kKey, all), 0);
    EXPECT_TRUE(c.SavePng(ScreenshotPath("toolbar_classic.png").c_str()));
  }
  SetThemeApiSeam(nullptr);
}

// Three image buttons closed by a separator whose style word has 0x0200:
// its string is the group's caption, in a line the row grows by.
TEST(ToolbarPaint, GroupCaptionUnderTheButtons) {
  ToolbarFixture t(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT);
  TBADDBITMAP ab = {nullptr, (UINT_PTR)RedSquares()};
  t.Send(TB_ADDBITMAP, 10, (LPARAM)&ab);
  t.Send(TB_ADDSTRINGW, 0xFFFE, (LPARAM)L"Tools");
  std::vector<TBBUTTON> b = {Button(0, 1), Button(1, 2), Button(2, 3), Button(-1, 0, 0, BTNS_SEP, 0)};
  *reinterpret_cast<WORD*>(b[3].bReserved) = kTbxFixedWidth;
  t.Send(TBX_ADDBUTTONS, b.size(), (LPARAM)b.data());
  t.Send(TBX_SETSYSCOLOR, 1, RGB(0, 0, 160));
  RECT first = ItemRect(t, 0), third = ItemRect(t, 2);
  EXPECT_GT(first.bottom - first.top, 27);  // 16 + 4 + 7 and the caption line
  WindowCapture c(t.bar);
  RECT line = {first.left, first.bottom - 16, third.right, first.bottom};
  EXPECT_GT(c.Count(RGB(0, 0, 160), line), 10);
  // The caption is centred: the middle button holds most of it.
  RECT middle = ItemRect(t, 1);
  middle.top = line.top;
  EXPECT_GT(c.Count(RGB(0, 0, 160), middle),
            c.Count(RGB(0, 0, 160), RECT{first.left, line.top, first.right, line.bottom}));
  EXPECT_TRUE(c.SavePng(ScreenshotPath("toolbar_caption.png").c_str()));
}

namespace {
// Whether button i looks like button 0 (both show image 0).
bool LooksPlain(const ToolbarFixture& t, int i) {
  WindowCapture c(t.bar);
  RECT a = ItemRect(t, 0), b = ItemRect(t, i);
  for (int y = 0; y < a.bottom - a.top; y++) {
    for (int x = 0; x < a.right - a.left; x++) {
      if (c.Pixel(a.left + x, a.top + y) != c.Pixel(b.left + x, b.top + y)) return false;
    }
  }
  return true;
}
}  // namespace

// The hot button is framed in a flat bar; it stays hot across inserts and
// deletes and cools down on a tick once the cursor has left.
TEST(ToolbarPaint, HotButtonFollowsInsertsAndCoolsOnATick) {
  ToolbarFixture t(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT);
  TBADDBITMAP ab = {nullptr, (UINT_PTR)RedSquares()};
  t.Send(TB_ADDBITMAP, 10, (LPARAM)&ab);
  std::vector<TBBUTTON> b = {Button(0, 1), Button(0, 2), Button(0, 3)};
  t.Send(TB_ADDBUTTONSW, b.size(), (LPARAM)b.data());
  RECT second = ItemRect(t, 1);
  POINT at = {(second.left + second.right) / 2, (second.top + second.bottom) / 2};
  POINT screen = at;
  ClientToScreen(t.bar, &screen);
  SetCursorPos(screen.x, screen.y);
  t.Send(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
  EXPECT_FALSE(LooksPlain(t, 1));
  EXPECT_TRUE(LooksPlain(t, 2));
  TBBUTTON first = Button(0, 9);
  t.Send(TB_INSERTBUTTONW, 0, (LPARAM)&first);  // the hot button is now index 2
  EXPECT_FALSE(LooksPlain(t, 2));
  EXPECT_TRUE(LooksPlain(t, 1));
  t.Send(TB_DELETEBUTTON, 0);
  EXPECT_FALSE(LooksPlain(t, 1));
  // The cursor leaves without WM_MOUSELEAVE: the control's own timer alone
  // changes nothing, a tick cools the button down.
  SetCursorPos(5, 5);
  t.Send(WM_TIMER, 0x197F);
  EXPECT_FALSE(LooksPlain(t, 1));
  t.Send(TBX_TIMERTICK, 0);
  EXPECT_TRUE(LooksPlain(t, 1));
}

TEST(ToolbarPaint, NewFontAndColourSlotsRenderAgain) {
  ToolbarFixture t(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT);
  t.Send(TB_ADDSTRINGW, 0xFFFE, (LPARAM)L"Suchen");
  std::vector<TBBUTTON> b = {Button(-1, 1, TBSTATE_ENABLED, BTNS_BUTTON, 0)};
  t.Send(TB_ADDBUTTONSW, 1, (LPARAM)b.data());
  RECT before = ItemRect(t, 0);
  LOGFONTA lf = {};
  lf.lfHeight = -24;
  lstrcpyA(lf.lfFaceName, "Tahoma");
  HFONT big = CreateFontIndirectA(&lf);
  t.Send(WM_SETFONT, (WPARAM)big);
  RECT after = ItemRect(t, 0);
  EXPECT_GT(after.right - after.left, before.right - before.left);
  EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
  // Slot 1 is the text colour of the bar's buttons.
  t.Send(TBX_SETSYSCOLOR, 1, RGB(200, 0, 0));
  WindowCapture c(t.bar);
  EXPECT_GT(c.Count(RGB(200, 0, 0), after), 10);
  DestroyWindow(t.bar);
  DeleteObject(big);
}

// On a display of 8 bits the strips have the display's depth, frames are
// 3-D frames and images are drawn without blending.
TEST(ToolbarPaint, EightBitDisplay) {
  ToolbarExSetDisplayBitsSeam(8);
  {
    ToolbarFixture t(WS_CHILD | WS_VISIBLE);
    FillBar(t);
    WindowCapture c(t.bar);
    RECT all = {0, 0, c.Width(), c.Height()};
    EXPECT_EQ(c.Count(kKey, all), 0);
    RECT normal = ItemRect(t, 0), checked = ItemRect(t, 1);
    EXPECT_EQ(c.Count(kRed, normal), 36);
    // The checked button's sunken frame: white at its bottom right.
    RECT bottom = {checked.left + 2, checked.bottom - 4, checked.right - 2, checked.bottom};
    EXPECT_GT(c.Count(RGB(255, 255, 255), bottom), 10);
    // The strips keep the bar's face colour, not the table's nearest.
    EXPECT_EQ(c.Pixel(c.Width() - 2, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(c.Pixel(normal.left + 4, normal.bottom - 6), GetSysColor(COLOR_BTNFACE));
    // The drop-down arrow's box reaches down as far as the frame beside it.
    RECT drop = ItemRect(t, 4);
    auto lowestFrameRow = [&](int x) {
      for (int y = std::min((int)drop.bottom, c.Height()) - 1; y > drop.top; y--) {
        if (c.Pixel(x, y) != GetSysColor(COLOR_BTNFACE)) return y;
      }
      return -1;
    };
    EXPECT_GT(lowestFrameRow(drop.left + 8), (drop.top + drop.bottom) / 2);
    EXPECT_EQ(lowestFrameRow(drop.right - 8), lowestFrameRow(drop.left + 8));
    EXPECT_TRUE(c.SavePng(ScreenshotPath("toolbar_8bit.png").c_str()));
  }
  ToolbarExSetDisplayBitsSeam(0);
}

// The framework's update handlers enable buttons after the first paint,
// through TB_SETBUTTONINFOA: the image must leave its tinted row.
TEST(ToolbarPaint, EnablingAfterThePaintShowsTheImage) {
  ToolbarFixture t(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT);
  FillBar(t);
  RECT disabled = ItemRect(t, 2);
  EXPECT_EQ(WindowCapture(t.bar).Count(kRed, disabled), 0);
  TBBUTTONINFOA bi = {sizeof bi, TBIF_BYINDEX | TBIF_STYLE | TBIF_STATE};
  bi.fsStyle = BTNS_BUTTON;
  bi.fsState = TBSTATE_ENABLED;
  t.Send(TB_SETBUTTONINFOA, 2, (LPARAM)&bi);
  EXPECT_EQ(t.Send(TB_GETSTATE, 3, 0), TBSTATE_ENABLED);
  EXPECT_EQ(WindowCapture(t.bar).Count(kRed, disabled), 36);
}
