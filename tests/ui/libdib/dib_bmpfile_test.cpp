#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "dib_test_util.h"
#include "ui/libdib/libdib.h"

namespace {

std::string TempBmp(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

std::vector<BYTE> ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<BYTE>(std::istreambuf_iterator<char>(f), {});
}

}  // namespace

TEST(LibDibBmpFile, RoundTripsEveryDepth) {
  struct Case {
    int depth;
    DWORD compression;
    int tableBytes;
  } cases[] = {{1, BI_RGB, 8},         {4, BI_RGB, 64}, {8, BI_RGB, 1024}, {16, BI_RGB, 0},
               {16, BI_BITFIELDS, 12}, {24, BI_RGB, 0}, {32, BI_RGB, 0}};
  std::string path = TempBmp("libdib_roundtrip.bmp");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.depth << " bits, compression " << c.compression);
    PackedDib dib(13, 7, c.depth, c.compression);
    ASSERT_EQ(c.tableBytes, dib.tableBytes());
    ASSERT_EQ(1, SaveDibAsBmpFileA(dib.info(), nullptr, path.c_str(), TRUE));
    std::vector<BYTE> file = ReadFile(path);
    size_t expected = 14 + 40 + c.tableBytes + dib.imageBytes();
    ASSERT_EQ(expected, file.size());
    const BITMAPFILEHEADER* fh = reinterpret_cast<const BITMAPFILEHEADER*>(file.data());
    EXPECT_EQ(0x4D42, fh->bfType);
    EXPECT_EQ(expected, fh->bfSize);  // the whole length, colour table included
    EXPECT_EQ(54u + c.tableBytes, fh->bfOffBits);
    EXPECT_EQ(0, memcmp(file.data() + 14, dib.bytes(), 40 + c.tableBytes + dib.imageBytes()));
    // The system reads it back with the same pixels.
    HBITMAP loaded = static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(nullptr, loaded);
    DIBSECTION ds = {};
    ASSERT_EQ(static_cast<int>(sizeof(ds)), GetObjectA(loaded, sizeof(ds), &ds));
    EXPECT_EQ(13, ds.dsBm.bmWidth);
    EXPECT_EQ(7, ds.dsBm.bmHeight);
    EXPECT_EQ(c.depth, ds.dsBm.bmBitsPixel);
    DeleteObject(loaded);
  }
  DeleteFileA(path.c_str());
}

TEST(LibDibBmpFile, OverwriteOnlyWhenAsked) {
  std::string path = TempBmp("libdib_overwrite.bmp");
  DeleteFileA(path.c_str());
  void* bits;
  BITMAPINFO* dib = CreateDib(nullptr, 3, 2, 24, &bits);
  ASSERT_NE(nullptr, dib);
  EXPECT_EQ(1, SaveDibAsBmpFileA(dib, nullptr, path.c_str(), FALSE));
  EXPECT_EQ(0, SaveDibAsBmpFileA(dib, nullptr, path.c_str(), FALSE));
  EXPECT_EQ(1, SaveBitmapAsBmpFileW(GetDibBitmap(dib), std::wstring(path.begin(), path.end()).c_str(), TRUE));
  EXPECT_EQ(14u + 40 + 12 * 2, ReadFile(path).size());  // rows of 9 bytes padded to 12
  EXPECT_EQ(0, SaveBitmapAsBmpFileA(nullptr, path.c_str(), TRUE));
  FreeDib(dib);
  DeleteFileA(path.c_str());
}
