#include <gtest/gtest.h>

#include <vector>

#include "dib_test_util.h"
#include "libdib_tests_res.h"
#include "ui/libdib/libdib.h"

namespace {

// What GetDIBits makes of the packed DIB at 32 bits.
std::vector<DWORD> SystemTo32(PackedDib& dib, int width, int height) {
  HDC screen = GetDC(nullptr);
  void* sectionBits;
  HBITMAP section = CreateDIBSection(screen, dib.info(), DIB_RGB_COLORS, &sectionBits, nullptr, 0);
  memcpy(sectionBits, dib.bits(), dib.imageBytes());
  BITMAPINFOHEADER h = {sizeof(h), width, height, 1, 32, BI_RGB};
  std::vector<DWORD> out(static_cast<size_t>(width) * height);
  GetDIBits(screen, section, 0, height, out.data(), reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS);
  DeleteObject(section);
  ReleaseDC(nullptr, screen);
  return out;
}

}  // namespace

TEST(LibDibPacked, EveryDepthTo32BitsAsGetDIBits) {
  struct Case {
    int depth;
    DWORD compression;
  } cases[] = {{1, BI_RGB}, {4, BI_RGB}, {8, BI_RGB}, {16, BI_RGB}, {16, BI_BITFIELDS}, {24, BI_RGB}, {32, BI_RGB}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.depth << " bits, compression " << c.compression);
    PackedDib dib(13, 7, c.depth, c.compression);
    void* bits = dib.bits();
    BITMAPINFO* info = CreateDibFromPackedDib(nullptr, dib.info(), kDibMarkerTo32, &bits);
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(32, info->bmiHeader.biBitCount);
    // Nothing to convert at 32 bits: the caller's own DIB comes back.
    EXPECT_EQ(c.depth == 32, info == dib.info());
    if (c.depth != 32) {
      EXPECT_EQ(bits, GetDibBits(info));
    }
    std::vector<DWORD> expected = SystemTo32(dib, 13, 7);
    const DWORD* got = static_cast<const DWORD*>(bits);
    for (int i = 0; i < 13 * 7; ++i) ASSERT_EQ(expected[i], got[i]) << "pixel " << i;
    if (info != dib.info()) FreeDib(info);
  }
}

TEST(LibDibPacked, NothingToCopyGivesTheCallersPointer) {
  PackedDib dib(13, 7, 8);
  void* bits = nullptr;
  EXPECT_EQ(dib.info(), CreateDibFromPackedDib(nullptr, dib.info(), 0, &bits));
  EXPECT_EQ(dib.bits(), bits);
  // The caller's pointer is no LibDib: freeing it is refused.
  SetLastError(0);
  EXPECT_FALSE(FreeDib(dib.info()));
  EXPECT_EQ(87u, GetLastError());
  // Same depth with a copy asked for: a new block with the same rows.
  bits = nullptr;
  BITMAPINFO* copy =
      CreateDibFromPackedDib(nullptr, dib.info(), kDibMarkerCopy | kDibConvert | (8 << 16), &(bits = dib.bits()));
  ASSERT_NE(nullptr, copy);
  EXPECT_NE(dib.info(), copy);
  EXPECT_EQ(0, memcmp(bits, dib.bits(), dib.imageBytes()));
  FreeDib(copy);
}

TEST(LibDibPacked, BadHeadersFail) {
  PackedDib dib(4, 4, 24);
  void* bits = reinterpret_cast<void*>(1);
  SetLastError(0);
  EXPECT_EQ(nullptr, CreateDibFromPackedDib(nullptr, nullptr, 0, &bits));
  EXPECT_EQ(87u, GetLastError());
  EXPECT_EQ(nullptr, bits);
  dib.info()->bmiHeader.biSize = 12;
  EXPECT_EQ(nullptr, CreateDibFromPackedDib(nullptr, dib.info(), 0, &bits));
  EXPECT_EQ(11u, GetLastError());
}

TEST(LibDibPacked, CornerTransparencyBecomesTheBackground) {
  PackedDib dib(3, 1, 8, BI_RGB, 0);
  BYTE* row = dib.row(0);
  row[0] = 2, row[1] = 5, row[2] = 2;
  HDC dc = CreateCompatibleDC(nullptr);
  SetBkColor(dc, RGB(1, 2, 3));
  void* bits = nullptr;
  // 8 bits to 32 with the corner colour transparent: it takes the background with alpha 0, the rest is opaque.
  BITMAPINFO* info = CreateDibFromPackedDib(dc, dib.info(), kDibConvert | (kDibTransCorner << kDibTransShift), &bits);
  ASSERT_NE(nullptr, info);
  const DWORD* p = static_cast<const DWORD*>(bits);
  EXPECT_EQ(0x00010203u, p[0]);
  EXPECT_EQ(0x00010203u, p[2]);
  EXPECT_EQ(0xFF000000u | reinterpret_cast<DWORD*>(dib.bytes() + 40)[5], p[1]);
  FreeDib(info);
  DeleteDC(dc);
}

TEST(LibDibPacked, BitmapFromDib) {
  PackedDib dib(13, 7, 24, BI_RGB, 0);
  HBITMAP plain = CreateBitmapFromDib(nullptr, dib.info(), nullptr, 0);
  ASSERT_NE(nullptr, plain);
  BITMAP bm = {};
  GetObjectA(plain, sizeof(bm), &bm);
  EXPECT_EQ(13, bm.bmWidth);
  DeleteObject(plain);
  HBITMAP converted = CreateBitmapFromDib(nullptr, dib.info(), dib.bits(), kDibConvert);
  ASSERT_NE(nullptr, converted);
  DIBSECTION ds = {};
  ASSERT_EQ(static_cast<int>(sizeof(ds)), GetObjectA(converted, sizeof(ds), &ds));
  EXPECT_EQ(32, ds.dsBm.bmBitsPixel);
  DeleteObject(converted);
  dib.info()->bmiHeader.biSize = 41;
  SetLastError(0);
  EXPECT_EQ(nullptr, CreateBitmapFromDib(nullptr, dib.info(), nullptr, 0));
  EXPECT_EQ(87u, GetLastError());
}

TEST(LibDibIcon, GroupEntriesBySizeAndDepth) {
  HMODULE self = GetModuleHandleA(nullptr);
  LPCSTR name = MAKEINTRESOURCEA(IDI_LIBDIB_TEST);
  struct Case {
    DWORD flags;
    int width, height, depth;
    DWORD pixel;  // the top-left pixel at 32 bits, 0 to skip
  } cases[] = {
      // Largest: the 64 x 64 PNG entry.
      {kDibBySize | (kDibDepthDisplay << 16) | kDibEntryLargest | kDibConvert, 64, 64, 32, 0xFF778899},
      // 16 x 16 of the greatest depth: the 32-bit one, not the 4-bit one.
      {kDibBySize | (kDibDepthDisplay << 16) | 0x1010, 16, 16, 32, 0xFF112233},
      // 16 x 16 at 4 bits, converted to 32.
      {kDibBySize | (4 << 16) | 0x1010, 16, 16, 4, 0},
      // 32 x 32 by index 2.
      {2, 32, 32, 8, 0},
      {2 | kDibConvert, 32, 32, 32, 0x00405060},  // GDI leaves alpha 0 when it converts
      // Any depth, the 48 x 48 entry.
      {kDibBySize | (29 << 16) | 0x3030, 48, 48, 32, 0xFF445566},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.flags);
    void* bits = nullptr;
    BITMAPINFO* info = LoadDibResource(nullptr, self, name, MAKEINTRESOURCEA(14), c.flags, &bits);
    ASSERT_NE(nullptr, info) << GetLastError();
    ASSERT_NE(nullptr, bits);
    EXPECT_EQ(c.width, info->bmiHeader.biWidth);
    EXPECT_EQ(c.height, info->bmiHeader.biHeight);
    EXPECT_EQ(c.depth, info->bmiHeader.biBitCount);
    if (c.pixel) {
      EXPECT_EQ(c.pixel, *static_cast<DWORD*>(bits));
    }
    EXPECT_TRUE(FreeDib(info));
  }
}

TEST(LibDibIcon, MissingEntriesAndResources) {
  HMODULE self = GetModuleHandleA(nullptr);
  LPCSTR name = MAKEINTRESOURCEA(IDI_LIBDIB_TEST);
  void* bits = reinterpret_cast<void*>(1);
  SetLastError(0);
  EXPECT_EQ(nullptr, LoadDibResource(nullptr, self, name, MAKEINTRESOURCEA(14), kDibBySize | 0x1818, &bits));
  EXPECT_EQ(4312u, GetLastError());
  EXPECT_EQ(nullptr, bits);
  EXPECT_EQ(nullptr, LoadDibResource(nullptr, self, name, MAKEINTRESOURCEA(14), 5, &bits));
  EXPECT_EQ(4312u, GetLastError());
  // 16 x 16 at 8 bits: none.
  EXPECT_EQ(nullptr,
            LoadDibResource(nullptr, self, name, MAKEINTRESOURCEA(14), kDibBySize | (8 << 16) | 0x1010, &bits));
  EXPECT_EQ(4312u, GetLastError());
  bits = reinterpret_cast<void*>(1);
  EXPECT_EQ(nullptr, LoadDibResourceW(nullptr, self, MAKEINTRESOURCEW(999), MAKEINTRESOURCEW(14), 0, &bits));
  EXPECT_EQ(nullptr, bits);
}

TEST(LibDibIcon, GroupDirectoryTakesItsModuleFromTheOutPointer) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC group = FindResourceA(self, MAKEINTRESOURCEA(IDI_LIBDIB_TEST), MAKEINTRESOURCEA(14));
  ASSERT_NE(nullptr, group);
  BITMAPINFO* dir = static_cast<BITMAPINFO*>(LockResource(LoadResource(self, group)));
  void* bits = self;  // read on entry: the module of the group's images
  BITMAPINFO* info = CreateDibFromPackedDib(nullptr, dir, (kDibKindGroup << kDibKindShift) | 3, &bits);
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(48, info->bmiHeader.biWidth);
  EXPECT_EQ(48, info->bmiHeader.biHeight);  // the icon image's doubled height halved
  EXPECT_EQ(0xFF445566u, *static_cast<DWORD*>(bits));
  FreeDib(info);
}

TEST(LibDibIcon, PngHeaderOnlyAndFull) {
  HMODULE self = GetModuleHandleA(nullptr);
  // The PNG entry is the fifth image: find its data through the group.
  HRSRC group = FindResourceA(self, MAKEINTRESOURCEA(IDI_LIBDIB_TEST), MAKEINTRESOURCEA(14));
  ASSERT_NE(nullptr, group);
  const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(self, group)));
  WORD pngId = *reinterpret_cast<const WORD*>(dir + 6 + 14 * 4 + 12);
  HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(pngId), MAKEINTRESOURCEA(3));
  ASSERT_NE(nullptr, res);
  const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(self, res)));
  DWORD size = SizeofResource(self, res);

  BITMAPINFO* header = CreateDibFromIconResource(nullptr, data, size, 0, nullptr);
  ASSERT_NE(nullptr, header);
  EXPECT_EQ(64, header->bmiHeader.biWidth);
  EXPECT_EQ(64, header->bmiHeader.biHeight);
  EXPECT_EQ(32, header->bmiHeader.biBitCount);
  EXPECT_EQ(5u, header->bmiHeader.biCompression);
  EXPECT_EQ(size, header->bmiHeader.biSizeImage);
  EXPECT_EQ(nullptr, GetDibBits(header));
  FreeDib(header);

  void* bits = nullptr;
  BITMAPINFO* full = CreateDibFromIconResource(nullptr, data, size, 0, &bits);
  ASSERT_NE(nullptr, full);
  EXPECT_EQ(64, full->bmiHeader.biWidth);
  EXPECT_EQ(32, full->bmiHeader.biBitCount);
  EXPECT_EQ(0xFF778899u, static_cast<DWORD*>(bits)[64 * 64 - 1]);
  FreeDib(full);

  // Shorter than signature, IHDR, width and height: nothing is read past the size.
  std::vector<BYTE> shortData(data, data + 23);
  bits = reinterpret_cast<void*>(1);
  SetLastError(0);
  EXPECT_EQ(nullptr, CreateDibFromIconResource(nullptr, shortData.data(), 23, 0, &bits));
  EXPECT_EQ(11u, GetLastError());
  EXPECT_EQ(nullptr, bits);
  const BYTE notPng[32] = {'B', 'M'};
  EXPECT_EQ(nullptr, CreateDibFromIconResource(nullptr, notPng, sizeof(notPng), 0, &bits));
  EXPECT_EQ(11u, GetLastError());
}

TEST(LibDibIcon, FromIconAppliesTheMask) {
  const BYTE andBits[4 * 2] = {0x80, 0, 0, 0, 0x00, 0, 0, 0};  // top-down for CreateIcon: (0, 0) masked
  const DWORD colorBits[2 * 2] = {0xFF112233, 0xFF112233, 0xFF112233, 0xFF112233};
  HICON icon = CreateIcon(nullptr, 2, 2, 1, 32, andBits, reinterpret_cast<const BYTE*>(colorBits));
  ASSERT_NE(nullptr, icon);
  void* bits = nullptr;
  BITMAPINFO* info = CreateDibFromIcon(nullptr, icon, &bits, 0x40000000 | RGB(0xAA, 0xBB, 0xCC));
  ASSERT_NE(nullptr, info);
  ASSERT_EQ(32, info->bmiHeader.biBitCount);
  const DWORD* p = static_cast<const DWORD*>(bits);
  EXPECT_EQ(0x00AABBCCu, p[2]);  // top-left: last row in memory
  EXPECT_EQ(0xFF112233u, p[3]);
  EXPECT_EQ(0xFF112233u, p[0]);
  FreeDib(info);
  DestroyIcon(icon);
}
