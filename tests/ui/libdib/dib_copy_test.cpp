#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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

namespace {

// The scaled copy's rule written out plainly for opaque pictures: spans in
// 1/256 pixel, each axis averaged by its weights, truncated after each axis.
struct RefAxis {
  long long num, den;
  int n;
  RefAxis(int src, int dst) : n(src) {
    num = src >= dst ? src : src - 1;
    den = src >= dst ? dst : dst - 1;
    while (den != 0 && num % 2 == 0 && den % 2 == 0) num /= 2, den /= 2;
    while (num * dst * 256 >= (1LL << 31)) num /= 2, den /= 2;
    if (den == 0) den = 1;
  }
  void Span(int i, long long* s, long long* e) const {
    *s = i * num * 256 / den;
    *e = std::min<long long>(std::max(*s + 256, (i + 1) * num * 256 / den), n * 256LL);
  }
};

long long RefWeight(int k, long long s, long long e) { return std::min(e, (k + 1) * 256LL) - std::max(s, k * 256LL); }

}  // namespace

TEST(LibDibCopy, ScaledCopyFollowsItsRuleAtManySizes) {
  struct Case {
    int sw, sh, dw, dh;
  } cases[] = {{37, 23, 10, 7}, {10, 7, 37, 23}, {64, 9, 3, 9}, {5, 40, 19, 2}, {300, 2, 7, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh);
    Dib32 src(c.sw, c.sh), dst(c.dw, c.dh);
    for (int y = 0; y < c.sh; ++y)
      for (int x = 0; x < c.sw; ++x) src.at(x, y) = 0xFF000000 | ((x * 97 + y * 31) * 0x010305u & 0xFFFFFF);
    ASSERT_EQ(1, StretchDibToDib32(dst.info(), nullptr, src.info(), nullptr, 0, 0, c.sw, c.sh, 0, 0, c.dw, c.dh));
    RefAxis ax(c.sw, c.dw), ay(c.sh, c.dh);
    for (int i = 0; i < c.dh; ++i) {
      long long ys, ye;
      ay.Span(i, &ys, &ye);
      // Column values of this output row (rows counted from the bottom).
      std::vector<unsigned> col(3 * c.sw);
      for (int x = 0; x < c.sw; ++x)
        for (int ch = 0; ch < 3; ++ch) {
          long long sum = 0;
          for (int k = static_cast<int>(ys >> 8); k * 256LL < ye; ++k)
            sum += ((src.at(x, c.sh - 1 - k) >> (8 * ch)) & 0xFF) * RefWeight(k, ys, ye);
          col[3 * x + ch] = static_cast<unsigned>(sum / (ye - ys));
        }
      for (int j = 0; j < c.dw; ++j) {
        long long xs, xe;
        ax.Span(j, &xs, &xe);
        DWORD expected = 0xFF000000;
        for (int ch = 0; ch < 3; ++ch) {
          long long sum = 0;
          for (int k = static_cast<int>(xs >> 8); k * 256LL < xe; ++k) sum += col[3 * k + ch] * RefWeight(k, xs, xe);
          expected |= static_cast<DWORD>(sum / (xe - xs)) << (8 * ch);
        }
        ASSERT_EQ(expected, dst.at(j, c.dh - 1 - i)) << "output " << j << "," << i;
      }
    }
  }
}
