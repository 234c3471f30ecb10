#include <gtest/gtest.h>

#include "dib_test_util.h"
#include "ui/libdib/libdib.h"

TEST(LibDibCopy, StretchOnePixelFillsTheRectangle) {
  Dib32 src(1, 1), dst(12, 12);
  src.Fill(0xFF336699);
  dst.Fill(0);
  ASSERT_EQ(1, StretchDibToDib32(dst.info(), nullptr, src.info(), nullptr, 0, 0, 1, 1, 1, 1, 10, 10));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      bool inside = x >= 1 && x <= 10 && y >= 1 && y <= 10;
      EXPECT_EQ(inside ? 0xFF336699u : 0u, dst.at(x, y)) << x << "," << y;
    }
}

TEST(LibDibCopy, SameSizeCopiesExactly) {
  Dib32 src(10, 10), dst(10, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) src.at(x, y) = (y * 10 + x) * 0x01020304u;
  dst.Fill(0);
  ASSERT_EQ(1, StretchDibToDib32(dst.info(), dst.bits(), src.info(), src.bits(), 0, 0, 10, 10, 0, 0, 10, 10));
  EXPECT_EQ(0, memcmp(src.bits(), dst.bits(), 400));
  // A sub-rectangle keeps its place from the top.
  dst.Fill(0);
  ASSERT_EQ(1, StretchDibToDib32(dst.info(), dst.bits(), src.info(), src.bits(), 2, 3, 4, 2, 0, 0, 4, 2));
  EXPECT_EQ(src.at(2, 3), dst.at(0, 0));
  EXPECT_EQ(src.at(5, 4), dst.at(3, 1));
}

TEST(LibDibCopy, ReducingAveragesAndSkipsClearPixels) {
  Dib32 src(4, 1), dst(2, 1);
  src.at(0, 0) = 0xFF000000;
  src.at(1, 0) = 0xFFFEFEFE;
  src.at(2, 0) = 0xFF204060;  // beside a clear pixel: only it counts
  src.at(3, 0) = 0x00FFFFFF;
  ASSERT_EQ(1, StretchDibToDib32(dst.info(), dst.bits(), src.info(), src.bits(), 0, 0, 4, 1, 0, 0, 2, 1));
  EXPECT_EQ(0xFF7F7F7Fu, dst.at(0, 0));
  EXPECT_EQ(0x7F204060u, dst.at(1, 0));  // colour of the counted pixel, alpha over the span
}

TEST(LibDibCopy, AllZeroAlphaCountsAsOpaque) {
  Dib32 src(4, 1), dst(2, 1);
  src.at(0, 0) = 0x00000000;
  src.at(1, 0) = 0x00FEFEFE;
  src.at(2, 0) = 0x00204060;
  src.at(3, 0) = 0x00204060;
  ASSERT_EQ(1, StretchDibToDib32(dst.info(), dst.bits(), src.info(), src.bits(), 0, 0, 4, 1, 0, 0, 2, 1));
  EXPECT_EQ(0xFF7F7F7Fu, dst.at(0, 0));
  EXPECT_EQ(0xFF204060u, dst.at(1, 0));
}

TEST(LibDibCopy, EnlargingInterpolatesBetweenNeighbours) {
  Dib32 src(2, 1), dst(3, 1);
  src.at(0, 0) = 0xFF000000;
  src.at(1, 0) = 0xFFC8C8C8;
  ASSERT_EQ(1, StretchDibToDib32(dst.info(), dst.bits(), src.info(), src.bits(), 0, 0, 2, 1, 0, 0, 3, 1));
  EXPECT_EQ(0xFF000000u, dst.at(0, 0));
  EXPECT_EQ(0xFF646464u, dst.at(1, 0));  // half way
  EXPECT_EQ(0xFFC8C8C8u, dst.at(2, 0));
}

TEST(LibDibCopy, StretchRefusesBadArguments) {
  Dib32 src(4, 4), dst(4, 4);
  PackedDib d24(4, 4, 24);
  EXPECT_EQ(0, StretchDibToDib32(d24.info(), d24.bits(), src.info(), nullptr, 0, 0, 4, 4, 0, 0, 4, 4));
  EXPECT_EQ(0, StretchDibToDib32(dst.info(), nullptr, src.info(), nullptr, 4, 0, 1, 1, 0, 0, 1, 1));
  EXPECT_EQ(0, StretchDibToDib32(dst.info(), nullptr, src.info(), nullptr, 0, 0, 1, 1, 0, 4, 1, 1));
  EXPECT_EQ(0, StretchDibToDib32(dst.info(), nullptr, src.info(), nullptr, 0, 0, 0, 1, 0, 0, 1, 1));
  EXPECT_EQ(0, StretchDibToDib32(dst.info(), nullptr, src.info(), nullptr, 0, 0, 1, 1, 0, 0, 0, 1));
}

TEST(LibDibCopy, StretchConvertsOtherDepths) {
  PackedDib d24(2, 1, 24, BI_RGB, 0);
  BYTE* p = d24.row(0);
  p[0] = 0x10, p[1] = 0x20, p[2] = 0x30, p[3] = 0x50, p[4] = 0x60, p[5] = 0x70;
  Dib32 dst(1, 1);
  ASSERT_EQ(1, StretchDibToDib32(dst.info(), dst.bits(), d24.info(), d24.bits(), 0, 0, 2, 1, 0, 0, 1, 1));
  EXPECT_EQ(0xFF504030u, dst.at(0, 0));
}

TEST(LibDibCopy, BlendAtAlpha0And128And255) {
  Dib32 src(3, 1), dst(3, 1);
  src.at(0, 0) = 0x00FFFFFF;
  src.at(1, 0) = 0x80FFFFFF;
  src.at(2, 0) = 0xFF112233;
  dst.Fill(0x40000000);
  ASSERT_EQ(1, CopyDibToDib32(dst.info(), dst.bits(), 0, 0, src.info(), src.bits(), 0, 0, 3, 1));
  EXPECT_EQ(0x40000000u, dst.at(0, 0));
  EXPECT_EQ(0x40808080u, dst.at(1, 0));  // 255 * 129 >> 8 = 128, the alpha kept
  EXPECT_EQ(0x40112233u, dst.at(2, 0));
}

TEST(LibDibCopy, BlendClipsAndCopiesSourcesWithoutAlpha) {
  PackedDib d24(2, 2, 24, BI_RGB, 0);
  memset(d24.bits(), 0x44, d24.imageBytes());
  Dib32 dst(3, 3);
  dst.Fill(0);
  ASSERT_EQ(1, CopyDibToDib32(dst.info(), dst.bits(), 2, 2, d24.info(), d24.bits(), 0, 0, 5, 5));
  EXPECT_EQ(0x00444444u, dst.at(2, 2));
  EXPECT_EQ(0u, dst.at(1, 2));
  EXPECT_EQ(0, CopyDibToDib32(dst.info(), dst.bits(), 3, 0, d24.info(), d24.bits(), 0, 0, 1, 1));
}

TEST(LibDibCopy, PutRectCountsTheSourceFromTheTop) {
  PackedDib src(2, 3, 24, BI_RGB, 0);
  memset(src.bits(), 0, src.imageBytes());
  BYTE* top = src.row(2);  // the picture's top row
  top[3] = 0xFF;           // pixel (1, 0) blue
  Dib32 dst(4, 4);
  dst.Fill(0);
  ASSERT_EQ(1, PutDibRectIntoDib(src.info(), src.bits(), 2, 1, 1, 0, 5, 5, dst.info()));
  EXPECT_EQ(0x0000FFu, dst.at(2, 1) & 0xFFFFFF);
  EXPECT_EQ(0u, dst.at(2, 2) & 0xFFFFFF);
  EXPECT_EQ(0u, dst.at(3, 1) & 0xFFFFFF);  // width clipped to one column
  EXPECT_EQ(0, PutDibRectIntoDib(src.info(), src.bits(), 0, 0, 2, 0, 1, 1, dst.info()));
  ASSERT_EQ(1, PutDibIntoDib(src.info(), nullptr, 0, 0, dst.info()));
  EXPECT_EQ(0x0000FFu, dst.at(1, 0) & 0xFFFFFF);
}
