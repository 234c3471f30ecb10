#include <gtest/gtest.h>

#include "dib_test_util.h"
#include "ui/libdib/libdib.h"

TEST(LibDibBlock, CreateDibChecksItsSize) {
  struct Case {
    int width, height;
    bool ok;
  } cases[] = {{0, 1, false}, {1, 0, false}, {65537, 1, false}, {1, 65537, false}, {65536, 1, true}, {1, 65536, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    void* bits = reinterpret_cast<void*>(1);
    SetLastError(0);
    BITMAPINFO* info = CreateDib(nullptr, c.width, c.height, 32, &bits);
    EXPECT_EQ(c.ok, info != nullptr);
    if (!c.ok) {
      EXPECT_EQ(87u, GetLastError());
      EXPECT_EQ(nullptr, bits);
    } else {
      EXPECT_EQ(bits, GetDibBits(info));
      EXPECT_NE(nullptr, GetDibBitmap(info));
      EXPECT_TRUE(FreeDib(info));
    }
  }
}

TEST(LibDibBlock, FreeTwiceAndForeignPointersFailWith87) {
  BITMAPINFO* info = CreateDib(nullptr, 4, 4, 24, nullptr);
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(0x12345678u, reinterpret_cast<DWORD*>(info)[-1]);
  EXPECT_TRUE(FreeDib(info));
  // The process heap keeps the freed block readable: the cleared magic refuses it.
  SetLastError(0);
  EXPECT_FALSE(FreeDib(info));
  EXPECT_EQ(87u, GetLastError());

  PackedDib packed(13, 7, 8);
  SetLastError(0);
  EXPECT_FALSE(FreeDib(packed.info()));
  EXPECT_EQ(87u, GetLastError());
  SetLastError(0);
  EXPECT_FALSE(FreeDib(nullptr));
  EXPECT_EQ(87u, GetLastError());
  EXPECT_EQ(nullptr, GetDibBits(packed.info()));
  EXPECT_EQ(87u, GetLastError());
}

TEST(LibDibBlock, MemoryDcComesOnDemandAndGoes) {
  void* bits;
  BITMAPINFO* info = CreateDib(nullptr, 8, 8, 32, &bits);
  ASSERT_NE(nullptr, info);
  SetLastError(0);
  EXPECT_FALSE(DeleteDibMemDC(info));
  EXPECT_EQ(13u, GetLastError());
  HDC dc = nullptr;
  EXPECT_EQ(bits, GetDibBitsAndDC(info, &dc));
  ASSERT_NE(nullptr, dc);
  EXPECT_EQ(dc, GetDibMemDC(info));
  SetPixelV(dc, 1, 0, RGB(0x12, 0x34, 0x56));
  GdiFlush();
  // Top row is the last row in memory.
  EXPECT_EQ(0x123456u, static_cast<DWORD*>(bits)[7 * 8 + 1] & 0xFFFFFF);
  EXPECT_TRUE(DeleteDibMemDC(info));
  EXPECT_TRUE(FreeDib(info));
}

TEST(LibDibBlock, NewTablesCarryTheStandardColours) {
  for (int depth : {4, 8}) {
    BITMAPINFO* info = CreateDib(nullptr, 3, 3, depth, nullptr);
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(0, memcmp(info->bmiColors, StandardPalette16, sizeof(StandardPalette16))) << depth;
    FreeDib(info);
  }
  BITMAPINFO* mono = CreateDib(nullptr, 3, 3, 1, nullptr);
  ASSERT_NE(nullptr, mono);
  EXPECT_EQ(0xFFFFFFu, reinterpret_cast<DWORD*>(mono->bmiColors)[1]);
  FreeDib(mono);
}

TEST(LibDibBlock, OpaqueFlagSetsEveryAlphaByte) {
  void* bits;
  BITMAPINFO* info = CreateDib(nullptr, 5, 3, 32 | kDibOpaque, &bits);
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(32, info->bmiHeader.biBitCount);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(0xFF000000u, static_cast<DWORD*>(bits)[i]) << i;
  FreeDib(info);
  info = CreateDib(nullptr, 2, 2, 0, &bits);  // 0 means 32
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(32, info->bmiHeader.biBitCount);
  FreeDib(info);
}

TEST(LibDibBlock, FromBitmapKeepsDepthAndPixels) {
  PackedDib packed(13, 7, 8, BI_RGB, 0);
  HDC screen = GetDC(nullptr);
  void* sectionBits;
  HBITMAP section = CreateDIBSection(screen, packed.info(), DIB_RGB_COLORS, &sectionBits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  ASSERT_NE(nullptr, section);
  memcpy(sectionBits, packed.bits(), packed.imageBytes());
  void* bits;
  BITMAPINFO* info = CreateDibFromBitmap(nullptr, section, &bits);
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(8, info->bmiHeader.biBitCount);
  EXPECT_EQ(256u, info->bmiHeader.biClrUsed);
  EXPECT_EQ(0, memcmp(info->bmiColors, packed.bytes() + 40, 1024));
  EXPECT_EQ(0, memcmp(bits, packed.bits(), packed.imageBytes()));
  FreeDib(info);
  // Without an out-pointer: a header-only block.
  info = CreateDibFromBitmap(nullptr, section, nullptr);
  ASSERT_NE(nullptr, info);
  SetLastError(0);
  EXPECT_EQ(nullptr, GetDibBitmap(info));
  EXPECT_EQ(13u, GetLastError());
  FreeDib(info);
  SetLastError(0);
  EXPECT_EQ(nullptr, CreateDibFromBitmap(nullptr, nullptr, &bits));
  EXPECT_EQ(87u, GetLastError());
  DeleteObject(section);
}
