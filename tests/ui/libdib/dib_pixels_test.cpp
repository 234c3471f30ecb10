#include <gtest/gtest.h>

#include "dib_test_util.h"
#include "ui/libdib/libdib.h"

namespace {

// Each padding byte of a 24-bit PackedDib still holds the sentinel.
void ExpectPaddingUntouched(PackedDib& dib, int width, int height) {
  for (int y = 0; y < height; ++y)
    for (int i = width * 3; i < dib.stride(); ++i) EXPECT_EQ(0xA5, dib.row(y)[i]) << "row " << y << " byte " << i;
}

}  // namespace

TEST(LibDibPixels, TintTowardsWhiteAndDark) {
  Dib32 dib(2, 1);
  dib.at(0, 0) = 0xFFFFFFFF;  // white
  dib.at(1, 0) = 0xFF000000;  // black
  ASSERT_EQ(1, TintDib(dib.info(), nullptr, 0xDFDFDF, 0x12345678));
  EXPECT_EQ(0xFFE6E6E6u, dib.at(0, 0));
  EXPECT_EQ(0xFFA7A7A7u, dib.at(1, 0));
}

TEST(LibDibPixels, TintSkipsTheKeyAndClearPixels) {
  Dib32 dib(3, 1);
  dib.at(0, 0) = 0xFF00FF00;  // the key
  dib.at(1, 0) = 0x00FFFFFF;  // alpha 0
  dib.at(2, 0) = 0x00FFFFFF;
  // Key RGB(0, 255, 0) with alpha 255 in its top byte: bit 31 skips clear pixels.
  ASSERT_EQ(1, TintDib(dib.info(), dib.bits(), 0xDFDFDF, 0xFF00FF00));
  EXPECT_EQ(0xFF00FF00u, dib.at(0, 0));
  EXPECT_EQ(0x00FFFFFFu, dib.at(1, 0));
  // Without bit 31 the clear pixels are tinted too, alpha kept.
  ASSERT_EQ(1, TintDib(dib.info(), dib.bits(), 0xDFDFDF, 0x0000FF00));
  EXPECT_EQ(0x00E6E6E6u, dib.at(2, 0));
}

TEST(LibDibPixels, TwentyFourBitRowsKeepTheirPadding) {
  PackedDib dib(13, 7, 24);
  ASSERT_EQ(1, TintDib(dib.info(), dib.bits(), 0xDFDFDF, 0x01000000));
  ExpectPaddingUntouched(dib, 13, 7);
  // Pixel (12, 0) lies at the end of the last memory row.
  BYTE* p = dib.row(6) + 36;
  p[0] = p[1] = p[2] = 0xC0;
  ASSERT_EQ(1, MapDibGreysToSysColors(dib.info(), dib.bits()));
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(GetBValue(face), p[0]);
  EXPECT_EQ(GetRValue(face), p[2]);
  p[0] = 1, p[1] = 2, p[2] = 3;
  ASSERT_EQ(1, ReplaceDibColor(dib.info(), dib.bits(), RGB(3, 2, 1), RGB(9, 8, 7)));
  EXPECT_EQ(7, p[0]);
  EXPECT_EQ(9, p[2]);
  ASSERT_EQ(1, SetDibPixel(dib.info(), dib.bits(), 0x00112233, 12, 0));
  EXPECT_EQ(0x33, p[0]);
  ExpectPaddingUntouched(dib, 13, 7);
}

TEST(LibDibPixels, FlattenBlendsPartialAlphaOnly) {
  Dib32 dib(3, 1);
  dib.at(0, 0) = 0x00102030;  // alpha 0
  dib.at(1, 0) = 0x80FF0000;  // alpha 128, red
  dib.at(2, 0) = 0xFF112233;  // alpha 255
  ASSERT_EQ(1, FlattenDibAlpha(dib.info(), dib.bits(), RGB(0, 0, 255)));
  EXPECT_EQ(0x000000FFu, dib.at(0, 0));
  // Red ((255 * 128 + 127 * 0) * 257) >> 16 = 127; blue ((0 + 127 * 255) * 257) >> 16 = 126.
  EXPECT_EQ(0x807F007Eu, dib.at(1, 0));
  EXPECT_EQ(0xFF112233u, dib.at(2, 0));
  PackedDib rgb(2, 2, 24);
  EXPECT_EQ(0, FlattenDibAlpha(rgb.info(), rgb.bits(), 0));
}

TEST(LibDibPixels, BlurOfOneWhitePixel) {
  Dib32 dib(5, 5);
  dib.Fill(0);
  dib.at(2, 2) = 0xFFFFFFFF;
  ASSERT_EQ(1, BlurDibRect(dib.info(), dib.bits(), 0, 0, 5, 5));
  EXPECT_EQ(0xCFCFCFCFu, dib.at(2, 2));  // 52 * 255 >> 6 = 207
  EXPECT_EQ(0x07070707u, dib.at(1, 2));  // 2 * 255 >> 6
  EXPECT_EQ(0x07070707u, dib.at(2, 3));
  EXPECT_EQ(0x03030303u, dib.at(1, 1));  // 255 >> 6
  EXPECT_EQ(0u, dib.at(0, 0));
  EXPECT_EQ(0, BlurDibRect(dib.info(), nullptr, 0, 0, 5, 5));  // bits required
  EXPECT_EQ(0, BlurDibRect(dib.info(), dib.bits(), 5, 0, 1, 1));
}

TEST(LibDibPixels, ReplaceWithFlagBits) {
  Dib32 dib(2, 1);
  dib.at(0, 0) = 0x7F010203;
  dib.at(1, 0) = 0x00445566;
  // Bit 30: the matching pixel takes the new colour, the others become opaque.
  ASSERT_EQ(1, ReplaceDibColor(dib.info(), dib.bits(), 0x40030201, RGB(9, 9, 9)));
  EXPECT_EQ(0x00090909u, dib.at(0, 0));
  EXPECT_EQ(0xFF445566u, dib.at(1, 0));
  // Bit 31: matching pixels stay as they are.
  ASSERT_EQ(1, ReplaceDibColor(dib.info(), dib.bits(), 0x80090909, RGB(1, 1, 1)));
  EXPECT_EQ(0x00090909u, dib.at(0, 0));
  // Colour tables: an index names the entry.
  PackedDib pal(4, 1, 8);
  ASSERT_EQ(1, ReplaceDibColor(pal.info(), pal.bits(), 0x80000003, RGB(0xAA, 0xBB, 0xCC)));
  EXPECT_EQ(0xAABBCCu, reinterpret_cast<DWORD*>(pal.bytes() + 40)[3]);
}

TEST(LibDibPixels, MaskPerDepth) {
  // A 1-bit mask of 2 x 2: top-left pixel masked. Mask rows are bottom-up, 4 bytes each.
  const BYTE mask[8] = {0x00, 0, 0, 0, 0x80, 0, 0, 0};
  Dib32 dib(2, 2);
  dib.Fill(0x11223344);
  ASSERT_EQ(1, ApplyDibMask(dib.info(), dib.bits(), mask, RGB(0xAA, 0xBB, 0xCC)));
  EXPECT_EQ(0x00AABBCCu, dib.at(0, 0));
  EXPECT_EQ(0x11223344u, dib.at(1, 0));
  dib.Fill(0x11223344);
  ASSERT_EQ(1, ApplyDibMask(dib.info(), dib.bits(), mask, 0x40000000 | RGB(1, 2, 3)));
  EXPECT_EQ(0x00010203u, dib.at(0, 0));
  EXPECT_EQ(0xFF223344u, dib.at(1, 1));

  PackedDib pal(2, 2, 8);
  ASSERT_EQ(1, ApplyDibMask(pal.info(), pal.bits(), mask, 0x80000007));
  EXPECT_EQ(7, pal.row(1)[0]);
  EXPECT_NE(7, pal.row(1)[1]);
  EXPECT_EQ(0, ApplyDibMask(pal.info(), pal.bits(), mask, RGB(1, 2, 3)));  // no such entry
  PackedDib hi(2, 2, 16);
  EXPECT_EQ(0, ApplyDibMask(hi.info(), hi.bits(), mask, 0));
}

TEST(LibDibPixels, CornerColourPerDepth) {
  PackedDib d24(3, 2, 24);
  BYTE* p = d24.row(1);
  p[0] = 0x30, p[1] = 0x20, p[2] = 0x10;
  EXPECT_EQ(RGB(0x10, 0x20, 0x30), GetDibCornerColor(d24.info(), d24.bits()));
  Dib32 d32(3, 2);
  d32.at(0, 0) = 0x80102030;
  EXPECT_EQ(0x80302010u, GetDibCornerColor(d32.info(), nullptr));
  for (int depth : {1, 4, 8}) {
    PackedDib pal(3, 2, depth);
    pal.row(1)[0] = 0xFF;  // index (1 << depth) - 1 in the top bits
    DWORD entry = reinterpret_cast<DWORD*>(pal.bytes() + 40)[(1 << depth) - 1];
    EXPECT_EQ(entry, DibPixelOrder(GetDibCornerColor(pal.info(), pal.bits()))) << depth;
  }
  PackedDib d16(3, 2, 16);
  EXPECT_EQ(0x80000000u, GetDibCornerColor(d16.info(), d16.bits()));
}

TEST(LibDibPixels, SetPixelWritesExactlyOnePixel) {
  Dib32 dib(3, 3);
  dib.Fill(0xFF000000);
  ASSERT_EQ(1, SetDibPixel(dib.info(), dib.bits(), 0xFF123456, 1, 1));
  EXPECT_EQ(0xFF123456u, dib.at(1, 1));
  EXPECT_EQ(0xFF000000u, dib.at(1, 0));  // the pixel above held the same old value
  EXPECT_EQ(0xFF000000u, dib.at(1, 2));
  EXPECT_EQ(0, SetDibPixel(dib.info(), dib.bits(), 0, 3, 0));
  EXPECT_EQ(0, SetDibPixel(dib.info(), dib.bits(), 0, 0, -1));

  PackedDib pal(5, 2, 4, BI_RGB, 0);
  memset(pal.bits(), 0, pal.imageBytes());
  ASSERT_EQ(1, SetDibPixel(pal.info(), pal.bits(), 0x80000005, 3, 1));
  EXPECT_EQ(0x05, pal.row(0)[1]);  // low nibble: x = 3
  EXPECT_EQ(0x00, pal.row(1)[1]);
  DWORD entry9 = reinterpret_cast<DWORD*>(pal.bytes() + 40)[9];
  ASSERT_EQ(1, SetDibPixel(pal.info(), pal.bits(), DibColorRef(entry9), 0, 0));
  EXPECT_EQ(0x90, pal.row(1)[0]);
}

TEST(LibDibPixels, ColourConversionKeepsTheTopByte) {
  EXPECT_EQ(0x80332211u, DibPixelOrder(0x80112233));
  EXPECT_EQ(0x80112233u, DibColorRef(0x80332211));
  EXPECT_EQ(RGB(1, 2, 3), MapGreyToSysColor(RGB(1, 2, 3)));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), MapGreyToSysColor(0x808080));
  EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), MapGreyToSysColor(0xDFDFDF));
}
