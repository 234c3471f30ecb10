// Menu bitmaps cut from strips: keys made transparent, the cache, toolbar
// resources and menu items by position.
#include "ui/buttonimage/menubitmap.h"

#include <gtest/gtest.h>

#include <vector>

#include "buttonimage_tests_res.h"
#include "image_test_util.h"
#include "mfc/menu.h"

namespace {
const void* Strip() { return MAKEINTRESOURCEA(IDB_TEST_STRIP); }

bool Display32() {
  HDC screen = GetDC(nullptr);
  int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits == 32;
}

const uint32_t kMagenta = 0xFF00FF;
}  // namespace

TEST(CutMenuBitmap, KeyColourBecomesTransparentBackground) {
  const COLORREF back = RGB(1, 2, 3);
  HBITMAP cut = CutMenuBitmapFromStrip(Strip(), 0, 0, 16, kCutFullHeight, kCutSourceResource | kCutKeyTopLeft, back);
  ASSERT_NE(cut, nullptr);
  int width = 0, height = 0;
  std::vector<uint32_t> p = ReadPixels(cut, &width, &height);
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 16);
  EXPECT_EQ(PixelColor(p[0]), back);
  EXPECT_EQ(PixelColor(p[5 * 16 + 5]), RGB(255, 255, 255));
  EXPECT_EQ(PixelColor(p[2 * 16 + 8]), RGB(255, 0, 0));
  if (Display32()) {
    EXPECT_EQ(p[0] >> 24, 0u);  // keyed: alpha 0
    EXPECT_EQ(p[5 * 16 + 5] >> 24, 255u);
  }
  DeleteObject(cut);

  // An explicit key colour, and no transparency at all.
  HBITMAP red = CutMenuBitmapFromStrip(Strip(), 0, 0, 16, 16, kCutSourceResource | 0x04000000 | 0x0000FF, back);
  p = ReadPixels(red);
  EXPECT_EQ(PixelColor(p[2 * 16 + 8]), back);
  EXPECT_EQ(PixelColor(p[0]), (COLORREF)kMagenta);
  DeleteObject(red);
  HBITMAP plain = CutMenuBitmapFromStrip(Strip(), 16, 0, 16, 16, kCutSourceResource, back);
  p = ReadPixels(plain);
  EXPECT_EQ(PixelColor(p[0]), (COLORREF)kMagenta);
  EXPECT_EQ(PixelColor(p[16]), RGB(0, 0, 255));
  DeleteObject(plain);
}

TEST(CutMenuBitmap, RefusalsKindThreeAndEmptySizes) {
  EXPECT_EQ(CutMenuBitmapFromStrip(Strip(), 0, 0, 16, 16, kCutSourceNone, 0), nullptr);
  EXPECT_EQ(CutMenuBitmapFromStrip(Strip(), 0, 0, 0, 16, kCutSourceResource, 0), nullptr);
  EXPECT_EQ(CutMenuBitmapFromStrip(Strip(), 0, 0, 16, -1, kCutSourceResource, 0), nullptr);
  EXPECT_EQ(CutMenuBitmapFromStrip(MAKEINTRESOURCEA(999), 0, 0, 16, 16, kCutSourceResource, 0), nullptr);
  // A command the toolbar resource does not hold.
  EXPECT_EQ(CutMenuBitmapFromStrip(Strip(), 555, 0, 1, 1, kCutSourceToolbar, 0), nullptr);
}

TEST(CutMenuBitmap, CachedCutsComeBackAndToolbarIdsSkipSeparators) {
  FreeMenuBitmaps();
  EXPECT_EQ(GetMenuBitmapCount(), 0);
  const DWORD flags = kCutSourceResource | kCutCache;
  HBITMAP a = CutMenuBitmapFromStrip(Strip(), 32, 0, 16, 16, flags, 0);
  ASSERT_NE(a, nullptr);
  // The source bitmap, its DC and the cut.
  EXPECT_EQ(GetMenuBitmapCount(), 3);
  EXPECT_EQ(CutMenuBitmapFromStrip(Strip(), 32, 0, 16, 16, flags, 0), a);
  EXPECT_EQ(GetMenuBitmapCount(), 3);
  // Another cell or another background is another bitmap.
  HBITMAP b = CutMenuBitmapFromStrip(Strip(), 16, 0, 16, 16, flags, 0);
  EXPECT_NE(b, a);
  HBITMAP c = CutMenuBitmapFromStrip(Strip(), 32, 0, 16, 16, flags | kCutKeyTopLeft, RGB(9, 9, 9));
  EXPECT_NE(c, a);
  EXPECT_EQ(PixelColor(ReadPixels(c)[0]), RGB(9, 9, 9));
  EXPECT_EQ(GetMenuBitmapCount(), 5);

  // Command 101 follows a separator: the second image (blue); 102 the third.
  std::vector<uint32_t> p =
      ReadPixels(CutMenuBitmapFromStrip(Strip(), ID_TEST_TOOL_B, 0, 1, 1, kCutSourceToolbar | kCutCache, 0));
  ASSERT_EQ(p.size(), 256u);
  EXPECT_EQ(PixelColor(p[16]), RGB(0, 0, 255));
  p = ReadPixels(CutMenuBitmapFromStrip(Strip(), ID_TEST_TOOL_C, 0, 1, 1, kCutSourceToolbar | kCutCache, 0));
  EXPECT_EQ(PixelColor(p[16]), RGB(0, 255, 0));
  MenuBitmapRecord key = {};
  key.hash = (uint32_t)IDB_TEST_STRIP ^ kCutSourceToolbar;
  key.kind = kMenuBitmapToolbar;
  key.source = IDB_TEST_STRIP;
  const WORD* toolbar = static_cast<const WORD*>(FindMenuBitmap(&key));
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(toolbar[3], 4);
  FreeMenuBitmaps();
  EXPECT_EQ(GetMenuBitmapCount(), 0);
  EXPECT_EQ(FindMenuBitmap(&key), nullptr);
}

TEST(SetMenuItemBitmapFromStrip, ByPositionAndByCommand) {
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, 201, "Eins");
  menu.AppendMenu(MF_STRING, 202, "Zwei");
  menu.AppendMenu(MF_STRING, 203, "Drei");
  ASSERT_TRUE(SetMenuItemBitmapFromStrip(&menu, 0x80000002, Strip(), 1, 16));
  ASSERT_TRUE(SetMenuItemBitmapFromStrip(&menu, 201, Strip(), 0, 16));
  MENUITEMINFOA info = {sizeof info, MIIM_CHECKMARKS};
  ASSERT_TRUE(menu.GetMenuItemInfo(2, &info, TRUE));
  ASSERT_NE(info.hbmpUnchecked, nullptr);
  EXPECT_EQ(info.hbmpChecked, nullptr);
  std::vector<uint32_t> p = ReadPixels(info.hbmpUnchecked);
  EXPECT_EQ(PixelColor(p[16]), RGB(0, 0, 255));
  EXPECT_EQ(PixelColor(p[0]), GetSysColor(COLOR_MENU));  // the key colour
  MENUITEMINFOA second = {sizeof second, MIIM_CHECKMARKS};
  menu.GetMenuItemInfo(1, &second, TRUE);
  EXPECT_EQ(second.hbmpUnchecked, nullptr);
  MENUITEMINFOA first = {sizeof first, MIIM_CHECKMARKS};
  menu.GetMenuItemInfo(0, &first, TRUE);
  EXPECT_NE(first.hbmpUnchecked, nullptr);
  EXPECT_NE(first.hbmpUnchecked, info.hbmpUnchecked);
}
