#include "ui/bitmap_info.h"

#include <gtest/gtest.h>

TEST(BitmapInfo, EightBitSectionWithItsColours) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } bi = {};
  bi.header = {sizeof(BITMAPINFOHEADER), 13, 7, 1, 8, BI_RGB};
  for (int i = 0; i < 256; ++i) bi.colors[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
  void* bits;
  HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(nullptr, section);
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } out;
  memset(&out, 0xEE, sizeof(out));
  ASSERT_EQ(1, GetBitmapInfo(section, reinterpret_cast<BITMAPINFO*>(&out), 4));
  EXPECT_EQ(13, out.header.biWidth);
  EXPECT_EQ(8, out.header.biBitCount);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(0, memcmp(&bi.colors[i], &out.colors[i], 4)) << i;
  EXPECT_EQ(0xEE, out.colors[4].rgbBlue);  // no more than asked for
  int width = 0, height = 0, depth = 0;
  ASSERT_EQ(1, GetBitmapSize(section, &width, &height, &depth));
  EXPECT_EQ(13, width);
  EXPECT_EQ(7, height);
  EXPECT_EQ(8, depth);
  SIZE size = {};
  ASSERT_EQ(1, GetBitmapSizeEx(section, &size, nullptr));
  EXPECT_EQ(13, size.cx);
  DeleteObject(section);
}

TEST(BitmapInfo, NullBitmapGivesZeros) {
  BITMAPINFO out;
  memset(&out, 0xEE, sizeof(out));
  EXPECT_EQ(0, GetBitmapInfo(nullptr, &out, 1));
  const BYTE* p = reinterpret_cast<const BYTE*>(&out);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(0, p[i]) << i;
  int width = 5, height = 5, depth = 5;
  EXPECT_EQ(0, GetBitmapSize(nullptr, &width, &height, &depth));
  EXPECT_EQ(0, width);
  EXPECT_EQ(0, height);
  EXPECT_EQ(0, depth);
  SIZE size = {5, 5};
  EXPECT_EQ(0, GetBitmapSizeEx(nullptr, &size, nullptr));
  EXPECT_EQ(0, size.cx);
  EXPECT_EQ(0, GetBitmapSize(nullptr, nullptr, nullptr, nullptr));
}
