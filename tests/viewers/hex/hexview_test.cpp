// The hex view window: data attached, format values and what a line shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "../text/view_fixture.h"
#include "viewers/hex/hexview.h"

namespace {
// <build>\tests\viewers\hex\screens\name
std::string HexScreensPath(const char* name) { return ScreensPathIn("hex", name); }
}  // namespace

TEST(HexView, SetDataFlags) {
  CHexView view;
  // Insertion needs writable, owned and allowed, and at most 8192 bytes.
  BYTE* big = new BYTE[8193]();
  view.SetData(big, 8193, 0, 0x063);
  EXPECT_FALSE(view.GetFlagWord() & kHexViewReadOnly);
  EXPECT_FALSE(view.IsInsertAllowed());
  EXPECT_TRUE(view.IsInsertOn());
  BYTE* small = new BYTE[8192]();
  EXPECT_EQ(view.SetData(small, 8192, 0, 0x0A3), 8193) << "the previous size; the big buffer is freed";
  EXPECT_TRUE(view.IsInsertAllowed());
  EXPECT_FALSE(view.IsInsertOn());
  // Attaching the buffer the view already owns does not free it.
  view.SetData(small, 8192, 0x100, 0x063);
  small[8191] = 0x5A;
  int size = 0;
  DWORD base = 0;
  EXPECT_EQ(view.GetData(&size, &base), small);
  EXPECT_EQ(size, 8192);
  EXPECT_EQ(base, 0x100u);
  // Detached: the buffer goes back to the caller.
  view.SetData(nullptr, 0, 0, kHexDataKeepOldBuffer);
  EXPECT_EQ(small[8191], 0x5A);
  delete[] small;
  // Read-only data and an unreadable buffer.
  static const BYTE kConst[4] = {1, 2, 3, 4};
  view.SetData((void*)kConst, 4, 0, 0);
  EXPECT_TRUE(view.GetFlagWord() & kHexViewReadOnly);
  view.SetData((void*)kConst, 4, 0, kHexDataWritable);
  view.GetData(&size, nullptr);
  EXPECT_EQ(size, 0) << "a buffer that cannot be written gives an empty view";
}

TEST(HexView, FormatValues) {
  CHexView view;
  view.SetFormat(16, 0, 1, 9, 0, 0);
  EXPECT_EQ(view.GetLayout().addressDigits, 8);
  view.SetFormat(14, -1, -1, -1, 2, 1);  // groups of 4: 14 rounds down to 12
  EXPECT_EQ(view.GetLayout().bytesPerLine, 12);
  EXPECT_EQ(view.GetLayout().invertMask, 3);
  view.SetFormat(2, -1, -1, -1, 2, 1);
  EXPECT_EQ(view.GetLayout().bytesPerLine, 4) << "at least one group";
  view.SetFormat(1000, -1, -1, -1, 0, 0);
  EXPECT_EQ(view.GetLayout().bytesPerLine, 256);
  EXPECT_EQ(view.GetLayout().invertMask, 0);
}

TEST_F(ViewTest, HexViewPaintsAddressesAndHexDigits) {
  CHexView view;
  BYTE data[17];
  for (int i = 0; i < 17; ++i) data[i] = (BYTE)(0x30 + i);
  Make(&view, 700, 200);
  view.SetData(data, 17, 0, 0);
  view.SetFormat(16, 0, 1, 6, 0, 0);
  PumpMessages(20);
  EXPECT_EQ(view.GetTotalLines(), 2);
  WindowCapture cap(view.m_hWnd);
  cap.SavePng(HexScreensPath("default.png").c_str());
  const int cw = view.GetCellWidth(), ch = view.GetCellHeight(), m = view.GetMarginWidth();
  auto cells = [&](int column, int n, int line) {
    RECT r = {m + column * cw, line * ch, m + (column + n) * cw, (line + 1) * ch};
    return r;
  };
  EXPECT_GT(cap.Count(0x0000FF, cells(0, 6, 0)), 0) << "address in 0x0000FF";
  EXPECT_GT(cap.Count(0xFF0000, cells(8, 47, 0)), 0) << "hex digits in 0xFF0000";
  EXPECT_EQ(cap.Count(0xFF0000, cells(11, 47, 1)), 0) << "second line: one byte only";
  EXPECT_GT(cap.Count(0xFF0000, cells(8, 2, 1)), 0);
}

TEST(HexView, MarkRangeIndexes) {
  CHexView view;
  BYTE data[64] = {};
  view.SetData(data, 64, 0, kHexDataWritable);
  EXPECT_EQ(view.SetMarkRange(8, 0, 4), 8) << "outside 0-7: nothing changes";
  EXPECT_EQ(view.SetMarkRange(-1, 5, 3), 0) << "the first free range";
  EXPECT_EQ(view.SetMarkRange(-1, 9, 3), 1);
  for (int i = 2; i < 8; ++i) view.SetMarkRange(i, i * 4, 1);
  EXPECT_EQ(view.SetMarkRange(-1, 0, 1), 8) << "all taken";
  EXPECT_EQ(view.SetMarkRange(-2, 0, 0), -2);
  EXPECT_EQ(view.SetMarkRange(-1, 0, 1), 0) << "all cleared";
}

TEST(HexView, ScrollToAddressMakesItTheFirstByteOfTheTopLine) {
  CHexView view;
  BYTE data[100] = {};
  view.SetData(data, 100, 0x1000, kHexDataWritable);
  view.SetFormat(16, 0, 1, 6, 0, 0);
  // Raster scrolling off: exact.
  view.SetFlags(0, kHexViewRasterScroll);
  view.ScrollToAddress(5, FALSE);
  EXPECT_EQ(view.GetLineShift(), 11);
  EXPECT_EQ(view.GetLayout().LineOf(5, 11), 1);
  EXPECT_EQ(view.GetLayout().LineOf(4, 11), 0);
  view.ScrollToAddress(0x1020, TRUE);
  EXPECT_EQ(view.GetLineShift(), 0);
  view.ScrollToAddress(5000, FALSE);
  EXPECT_EQ(view.GetLineShift(), (16 - 99 % 16) % 16) << "clamped to the last byte";
}

TEST_F(ViewTest, HexViewPaintsMarksAndBitMarks) {
  CHexView view;
  BYTE data[32];
  for (int i = 0; i < 32; ++i) data[i] = (BYTE)(0x41 + i);
  Make(&view, 700, 200);
  view.SetData(data, 32, 0, 0);
  view.SetFormat(16, 0, 1, 6, 0, 0);
  view.SetMarkRange(0, 2, 3);  // bytes 2-4 of line 0
  DWORD bits[1] = {1u << 18};  // byte 18: line 1, byte 2
  view.SetBitMarks(bits, -1);
  PumpMessages(20);
  WindowCapture cap(view.m_hWnd);
  cap.SavePng(HexScreensPath("marks.png").c_str());
  const int cw = view.GetCellWidth(), ch = view.GetCellHeight(), m = view.GetMarginWidth();
  auto cells = [&](int column, int n, int line) {
    RECT r = {m + column * cw, line * ch, m + (column + n) * cw, (line + 1) * ch};
    return r;
  };
  const int hex = 8, chars = 8 + 49;
  EXPECT_GT(cap.Count(0xC86464, cells(hex + 6, 2, 0)), 0) << "range background on byte 2's digits";
  EXPECT_GT(cap.Count(0xC86464, cells(chars + 4, 1, 0)), 0) << "and on byte 4's character";
  EXPECT_EQ(cap.Count(0xC86464, cells(hex + 15, 2, 0)), 0) << "byte 5 is outside";
  EXPECT_GT(cap.Count(0xFFE6E6, cells(hex + 6, 2, 1)), 0) << "bit mark background";
  EXPECT_GT(cap.Count(0xFFE6E6, cells(chars + 2, 1, 1)), 0);
  EXPECT_EQ(cap.Count(0xFFE6E6, cells(hex + 9, 2, 1)), 0);
}

TEST_F(ViewTest, HexViewFocusNotesFollowTheBaseAndMessagesAnswer) {
  CHexView view;
  BYTE data[40] = {};
  Make(&view, 700, 200);
  view.SetData(data, 40, 0x200, kHexDataWritable);
  ::SetFocus(m_parent);
  PumpMessages(10);
  ::SetFocus(view.m_hWnd);
  PumpMessages(10);
  std::vector<std::string> codes;
  for (const std::string& n : Notes()) codes.push_back(n.substr(0, n.find(' ')));
  // Decimal codes: 0x27F6 = 10230, 0x2BF7 = 11255, 0x27F5 = 10229, 0x2BF8 = 11256.
  auto at = [&](const char* code) { return std::find(codes.begin(), codes.end(), std::string(code)) - codes.begin(); };
  ASSERT_LT(at("11255"), (long)codes.size()) << ::testing::PrintToString(Notes());
  ASSERT_LT(at("11256"), (long)codes.size());
  EXPECT_LT(at("10230"), at("11255"));
  EXPECT_LT(at("10229"), at("11256"));
  EXPECT_EQ(SendMessageA(view.m_hWnd, WM_HEXVIEW_COMMAND, kHexCmdGetSize, 0), 40);
  EXPECT_EQ(SendMessageA(view.m_hWnd, WM_HEXVIEW_COMMAND, kHexCmdGetBase, 0), 0x200);
  SendMessageA(view.m_hWnd, WM_HEXVIEW_COMMAND, kHexCmdSetBase, 0x1000);
  int size = 0;
  DWORD base = 0;
  EXPECT_EQ(view.GetData(&size, &base), data) << "the same buffer";
  EXPECT_EQ(base, 0x1000u);
  EXPECT_EQ(size, 40);
  EXPECT_EQ(SendMessageA(view.m_hWnd, WM_HEXVIEW_COMMAND, 99, 0), 0);
}

TEST(HexView, ReadOnlyStaysOnUnwritableDataWithABeep) {
  CHexView view;
  static const BYTE kConst[8] = {};
  view.SetData((void*)kConst, 8, 0, 0);
  const int beeps = GetHexBeepCount();
  EXPECT_EQ(view.SetFlags(0, kHexViewReadOnly) & kHexViewReadOnly, kHexViewReadOnly);
  EXPECT_EQ(GetHexBeepCount(), beeps + 1);
  EXPECT_TRUE(view.GetFlags() & kHexViewReadOnly);
  BYTE data[8] = {};
  view.SetData(data, 8, 0, 0);
  view.SetFlags(0, kHexViewReadOnly);
  EXPECT_FALSE(view.GetFlags() & kHexViewReadOnly);
  EXPECT_EQ(GetHexBeepCount(), beeps + 1);
  EXPECT_EQ(view.GetFormatValue(5) & kHexViewSaveSettings, (int)kHexViewSaveSettings);
  EXPECT_EQ(view.GetFormatValue(99), 0);
}
