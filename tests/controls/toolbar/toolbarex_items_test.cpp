// Toolbar strings and image entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolbar_fixture.h"
#include "toolbar_tests_res.h"

TEST(ToolbarStrings, BufferFormsAndLimits) {
  ToolbarFixture t;
  // Code 0: strings ended by 0, the list by an empty one.
  EXPECT_EQ(t.Send(TB_ADDSTRINGW, 0, (LPARAM)L"One\0Two\0"), 0);
  EXPECT_EQ(t.Send(TBX_GETSTRINGCOUNT), 2);
  // 0xFFFF: the first character separates; exactly one string.
  EXPECT_EQ(t.Send(TB_ADDSTRINGW, 0xFFFF, (LPARAM)L"|One|Three|"), 2);
  EXPECT_EQ(t.Send(TBX_GETSTRINGCOUNT), 3);
  // Another separator code: strings until an empty one or the end.
  EXPECT_EQ(t.Send(TB_ADDSTRINGA, ',', (LPARAM) "A,B,,C"), 3);
  EXPECT_EQ(t.Send(TBX_GETSTRINGCOUNT), 5);
  EXPECT_EQ(t.Send(TB_ADDSTRINGA, ',', (LPARAM) "X,Y"), 5);
  EXPECT_EQ(t.Send(TBX_GETSTRINGCOUNT), 7);
  // 256 characters fit, 257 do not.
  std::wstring ok(256, L'x'), tooLong(257, L'y');
  EXPECT_EQ(t.Send(TB_ADDSTRINGW, 0xFFFE, (LPARAM)ok.c_str()), 7);
  EXPECT_EQ(t.Send(TB_ADDSTRINGW, 0xFFFE, (LPARAM)tooLong.c_str()), -1);
  EXPECT_EQ(t.Send(TBX_GETSTRINGCOUNT), 8);

  wchar_t w[8];
  EXPECT_EQ(t.Send(TB_GETSTRINGW, MAKEWPARAM(8, 2), (LPARAM)w), 3);
  EXPECT_STREQ(w, L"One");
  // A short buffer: size - 1 characters and a 0.
  t.Send(TB_ADDSTRINGW, 0xFFFE, (LPARAM)L"0123456789");
  EXPECT_EQ(t.Send(TB_GETSTRINGW, MAKEWPARAM(5, 8), (LPARAM)w), 4);
  EXPECT_STREQ(w, L"0123");
  char a[8];
  EXPECT_EQ(t.Send(TB_GETSTRINGA, MAKEWPARAM(5, 8), (LPARAM)a), 4);
  EXPECT_STREQ(a, "0123");
  EXPECT_EQ(t.Send(TB_GETSTRINGA, MAKEWPARAM(5, 99), (LPARAM)a), -1);
}

TEST(ToolbarStrings, AnsiTextIsWidenedInTheCodePage) {
  ToolbarFixture t;
  t.AddButtons(2);
  int first = (int)t.Send(TBX_SETBUTTONTEXTA, 0, (LPARAM) "Preis \x80");
  EXPECT_EQ(t.Send(TBX_SETBUTTONTEXTA, 1, (LPARAM) "Preis \x80"), first);
  EXPECT_EQ(t.Send(TBX_GETSTRINGCOUNT), 1);
  wchar_t w[16];
  t.Send(TB_GETSTRINGW, MAKEWPARAM(16, first), (LPARAM)w);
  EXPECT_STREQ(w, L"Preis \x20AC");
  t.Send(TB_ADDSTRINGA, 0xFFFE, (LPARAM) "\xE4");
  t.Send(TB_GETSTRINGW, MAKEWPARAM(16, 1), (LPARAM)w);
  EXPECT_STREQ(w, L"\x00E4");
  // The find messages: wide text, and 8-bit text widened as it was added,
  // so that bytes 0x80-0x9F find their characters.
  EXPECT_EQ(t.Send(TBX_FINDSTRINGW, MAKEWPARAM(0, 9), (LPARAM)L"\x00E4"), 1);
  EXPECT_EQ(t.Send(TBX_FINDSTRINGA, MAKEWPARAM(0, 9), (LPARAM) "\xE4"), 1);
  EXPECT_EQ(t.Send(TBX_FINDSTRINGA, MAKEWPARAM(0, 9), (LPARAM) "Preis \x80"), first);
  EXPECT_EQ(t.Send(TB_ADDSTRINGA, 0xFFFE, (LPARAM) "\x84x\x93"), 2);
  EXPECT_EQ(t.Send(TBX_FINDSTRINGA, MAKEWPARAM(0, 9), (LPARAM) "\x84x\x93"), 2);
  EXPECT_EQ(t.Send(TBX_FINDSTRINGW, MAKEWPARAM(0, 9), (LPARAM)L"\x201Ex\x201C"), 2);
  EXPECT_EQ(t.Send(TBX_FINDSTRINGA, MAKEWPARAM(1, 0), (LPARAM) "\xE4"), -1);
  EXPECT_EQ(t.Send(TBX_FINDSTRINGA, MAKEWPARAM(5, 3), (LPARAM) "\xE4"), -1);
}

TEST(ToolbarStrings, EveryStringOfAResource) {
  ToolbarFixture t;
  t.Send(TB_ADDSTRINGW, 0xFFFE, (LPARAM)L"vorher");
  HINSTANCE module = GetModuleHandleA(nullptr);
  // "|Eins|Zwei|Drei|": the first character separates the rest.
  EXPECT_EQ(t.Send(TB_ADDSTRINGA, (WPARAM)module, IDS_TEST_TOOLBAR_STRINGS), 1);
  ASSERT_EQ(t.Send(TBX_GETSTRINGCOUNT), 4);
  const wchar_t* expected[] = {L"Eins", L"Zwei", L"Drei"};
  for (int i = 0; i < 3; i++) {
    wchar_t w[16];
    t.Send(TB_GETSTRINGW, MAKEWPARAM(16, i + 1), (LPARAM)w);
    EXPECT_STREQ(w, expected[i]);
  }
  EXPECT_EQ(t.Send(TB_ADDSTRINGA, (WPARAM)module, 999), -1);
  EXPECT_EQ(t.Send(TBX_GETSTRINGCOUNT), 4);
}

TEST(ToolbarStrings, DeletedStringsLeaveNoTextBehind) {
  ToolbarFixture t;
  t.Send(TB_ADDSTRINGW, 0, (LPARAM)L"A\0B\0C\0D\0");
  t.AddButtons(3);
  for (int i = 0; i < 3; i++) t.Send(TBX_SETSTRINGINDEX, (WPARAM)i, i + 1);  // B, C, D
  EXPECT_EQ(t.Send(TBX_DELETESTRINGS, 1, 1), 1);                             // B
  EXPECT_EQ(t.Send(TBX_DELETESTRINGS, 9, 1), 0);
  EXPECT_EQ(t.Send(TBX_DELETESTRINGS, 0, 0), 0);
  wchar_t w[8];
  EXPECT_EQ(t.Send(TB_GETBUTTONTEXTW, 100, (LPARAM)w), 0);  // not "C"
  EXPECT_STREQ(w, L"");
  EXPECT_EQ(t.Send(TBX_GETSTRINGINDEX, 1), 1);
  t.Send(TB_GETBUTTONTEXTW, 101, (LPARAM)w);
  EXPECT_STREQ(w, L"C");
  t.Send(TB_GETBUTTONTEXTW, 102, (LPARAM)w);
  EXPECT_STREQ(w, L"D");
  // Counts past the end are clamped.
  EXPECT_EQ(t.Send(TBX_DELETESTRINGS, 1, 50), 2);
  EXPECT_EQ(t.Send(TBX_GETSTRINGCOUNT), 1);
}

namespace {
// A 24-bit DIB section whose pixels come from a function of (x, row from the
// bottom).
template <typename Fn>
HBITMAP MakeBitmap(int width, int height, Fn color) {
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
  BYTE* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, (void**)&bits, nullptr, 0);
  int stride = (width * 3 + 3) & ~3;
  for (int row = 0; row < height; row++) {
    for (int x = 0; x < width; x++) {
      COLORREF c = color(x, row);
      BYTE* p = bits + row * stride + x * 3;
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  }
  return bitmap;
}

const COLORREF kMarker = RGB(255, 0, 255);

// Three 16 x 16 cells marked at x = 0, 16 and 32 in the bottom row.
HBITMAP MarkedStrip() {
  return MakeBitmap(48, 16, [](int x, int row) { return row == 0 && x % 16 == 0 ? kMarker : RGB(255, 255, 255); });
}

LRESULT AddBitmap(const ToolbarFixture& t, HBITMAP bitmap, int count) {
  TBADDBITMAP ab = {nullptr, (UINT_PTR)bitmap};
  return t.Send(TB_ADDBITMAP, (WPARAM)count, (LPARAM)&ab);
}
}  // namespace

TEST(ToolbarImages, FixedAndScannedCells) {
  ToolbarFixture t;
  HBITMAP strip = MakeBitmap(160, 16, [](int x, int) { return RGB(x, 0, 0); });
  EXPECT_EQ(AddBitmap(t, strip, 10), 0);
  TbxImageInfo info[4] = {};
  ASSERT_EQ(t.Send(TBX_GETIMAGEINFO, MAKEWPARAM(0, 4), (LPARAM)info), 1);
  EXPECT_EQ(info[0].count, 10);
  EXPECT_EQ(info[0].cellWidth, 16);
  EXPECT_EQ(info[0].height, 16);
  EXPECT_EQ(info[0].scale, 256);
  // The same bitmap again: its first index, only the scale changes.
  TbxAddBitmap own = {nullptr, (UINT_PTR)strip, 0, 0, 0, 512};
  EXPECT_EQ(t.Send(TB_ADDBITMAP, kTbxByIndex | 10, (LPARAM)&own), 0);
  t.Send(TBX_GETIMAGEINFO, MAKEWPARAM(0, 4), (LPARAM)info);
  EXPECT_EQ(info[0].scale, 512);
  EXPECT_EQ(t.Send(TBX_SETIMAGESCALE, 0, -1), 512);
  EXPECT_EQ(t.Send(TBX_SETIMAGESCALE, 5, 0), -1);

  // Marked cells: three of 16 x 16, left to right, after the first ten.
  HBITMAP marked = MarkedStrip();
  EXPECT_EQ(t.Send(TBX_COUNTBITMAPIMAGES, 0xFFFF, (LPARAM)marked), 3);
  TbxAddBitmap scan = {nullptr, (UINT_PTR)marked, kTbxImageFixed | kTbxImageReportWidth, 0, kTbxScanCells, 0};
  EXPECT_EQ(t.Send(TB_ADDBITMAP, kTbxByIndex, (LPARAM)&scan), 10);
  EXPECT_EQ(scan.count, 3);
  EXPECT_EQ(scan.cellWidth, kTbxScanCells);
  ASSERT_EQ(t.Send(TBX_GETIMAGEINFO, MAKEWPARAM(1, 4), (LPARAM)info), 1);
  EXPECT_EQ(info[0].count, 3);
  EXPECT_EQ(info[0].cellWidth, 0);

  // Count 3 with the frame-column flag on 160 pixels: not a multiple, scanned.
  HBITMAP odd = MakeBitmap(160, 16, [](int x, int row) { return row == 0 && x % 40 == 0 ? kMarker : RGB(0, 0, 0); });
  TbxAddBitmap frame = {nullptr, (UINT_PTR)odd, kTbxImageFrameColumn, 0, 0, 0};
  EXPECT_EQ(t.Send(TB_ADDBITMAP, kTbxByIndex | 3, (LPARAM)&frame), 13);
  EXPECT_EQ(frame.count, 4);
  EXPECT_EQ(t.Send(TBX_DELETEALLIMAGES), 3);
  DeleteObject(strip);
  DeleteObject(marked);
  DeleteObject(odd);
}

TEST(ToolbarImages, ManyEntriesAndRefusals) {
  ToolbarFixture t;
  std::vector<HBITMAP> bitmaps;
  for (int i = 0; i < 9; i++) {
    bitmaps.push_back(MakeBitmap(32, 16, [](int, int) { return RGB(0, 0, 0); }));
    EXPECT_EQ(AddBitmap(t, bitmaps.back(), 2), 2 * i) << i;
  }
  EXPECT_EQ(AddBitmap(t, bitmaps[0], 0), -1);
  EXPECT_EQ(t.Send(TB_ADDBITMAP, 2, 0), -1);
  EXPECT_EQ(AddBitmap(t, bitmaps[0], 64), 0);  // present: its index, whatever the count
  TBADDBITMAP missing = {GetModuleHandleA(nullptr), 4711};
  EXPECT_EQ(t.Send(TB_ADDBITMAP, 1, (LPARAM)&missing), -1);
  // Replacing: a new bitmap with as many cells where entries follow.
  HBITMAP wide = MakeBitmap(64, 16, [](int, int) { return RGB(9, 9, 9); });
  TBREPLACEBITMAP r = {nullptr, (UINT_PTR)bitmaps[1], nullptr, (UINT_PTR)wide, 4};
  EXPECT_EQ(t.Send(TB_REPLACEBITMAP, 0, (LPARAM)&r), 0);
  r.nButtons = 2;
  EXPECT_EQ(t.Send(TB_REPLACEBITMAP, 0, (LPARAM)&r), 1);
  EXPECT_EQ(t.Send(TB_REPLACEBITMAP, 0, (LPARAM)&r), 0);  // the old one is gone
  TbxImageInfo info = {};
  t.Send(TBX_GETIMAGEINFO, MAKEWPARAM(1, 1), (LPARAM)&info);
  EXPECT_EQ(info.source, (UINT_PTR)wide);
  EXPECT_EQ(info.cellWidth, 32);
  EXPECT_EQ(t.Send(TBX_DELETEALLIMAGES), 9);
  for (HBITMAP b : bitmaps) DeleteObject(b);
  DeleteObject(wide);
}
