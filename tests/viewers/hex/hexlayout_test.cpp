// Columns and line text of the hex view's lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewers/hex/hexlayout.h"

namespace {
HexLayout Layout(int bytes, int shift, bool insertSpace, bool invert, int extra = 0, int digits = 6) {
  HexLayout l;
  l.bytesPerLine = bytes;
  l.groupShift = shift;
  l.insertSpace = insertSpace;
  l.invertMask = invert ? (1 << shift) - 1 : 0;
  l.extraSpace = extra < 1 ? kHexNoExtraSpace : extra;
  l.addressDigits = digits;
  l.Compute();
  return l;
}

std::string Line(const HexLayout& l, const std::vector<BYTE>& data, int line, int shift = 0, DWORD base = 0,
                 std::string* attrs = nullptr) {
  std::string text(l.charEnd, '?');
  std::vector<BYTE> a(l.charEnd, 99);
  l.BuildLine(data.data(), (int)data.size(), base, line, shift, &text[0], a.data());
  if (attrs) {
    attrs->clear();
    for (BYTE b : a) *attrs += (char)('0' + b);
  }
  return text;
}
}  // namespace

TEST(HexLayout, WidthsOfTheAreas) {
  struct Case {
    int bytes, shift;
    bool insertSpace;
    int extra;
    int hexWidth;
  } cases[] = {
      {16, 0, true, 0, 49},   // a blank after each byte, two blanks end the area
      {16, 0, false, 0, 34},  // digits run together
      {16, 2, true, 0, 37},   // a blank after each group of 4
      {16, 0, true, 4, 52},   // three extra blanks inside the line, none at its end
      {10, 0, true, 4, 33},   // 10 / 4 = 2 extra blanks
  };
  for (const Case& c : cases) {
    HexLayout l = Layout(c.bytes, c.shift, c.insertSpace, false, c.extra);
    EXPECT_EQ(l.hexWidth, c.hexWidth) << c.bytes << " " << c.shift << " " << c.extra;
    EXPECT_EQ(l.hexStart, 8);
    EXPECT_EQ(l.charStart, 8 + c.hexWidth);
    EXPECT_EQ(l.charEnd, 8 + c.hexWidth + c.bytes);
  }
  HexLayout hidden = Layout(16, 0, true, false);
  hidden.hidden = kHexNoAddress | kHexNoHexArea;
  hidden.Compute();
  EXPECT_EQ(hidden.charStart, 0);
  EXPECT_EQ(hidden.charEnd, 16);
}

TEST(HexLayout, SeventeenBytesMakeTwoLinesTheSecondWithOneByte) {
  std::vector<BYTE> data(17);
  for (int i = 0; i < 17; ++i) data[i] = (BYTE)(0x41 + i);
  HexLayout l = Layout(16, 0, true, false);
  EXPECT_EQ(l.TotalLines(17, 0), 2);
  std::string attrs;
  EXPECT_EQ(Line(l, data, 1, 0, 0, &attrs), "000010  51" + std::string(47, ' ') + "Q" + std::string(15, ' '));
  EXPECT_EQ(attrs, std::string(8, '1') + std::string(49, '2') + std::string(16, '0'));
  EXPECT_EQ(Line(l, data, 0).substr(0, 14), "000000  41 42 ");
}

TEST(HexLayout, InvertedGroupsShowReversedAndMapBack) {
  std::vector<BYTE> data = {1, 2, 3, 4, 5, 6, 7, 8};
  HexLayout l = Layout(8, 2, true, true);
  EXPECT_EQ(Line(l, data, 0).substr(8, 18), "04030201 08070605 ");
  // The cursor walks display columns; each maps back to its byte.
  std::vector<int> order;
  for (int c = l.hexStart; c < l.charStart - 2; ++c) {
    bool high = false;
    int i = l.ColumnToByte(c, kHexAreaHex, &high);
    if (high && l.ByteColumn(i, kHexAreaHex) == c) order.push_back(i);
  }
  EXPECT_EQ(order, (std::vector<int>{3, 2, 1, 0, 7, 6, 5, 4}));
  bool high = true;
  EXPECT_EQ(l.ColumnToByte(l.hexStart + 1, kHexAreaHex, &high), 3);
  EXPECT_FALSE(high) << "low digit";
  EXPECT_EQ(l.ColumnToByte(1000, kHexAreaHex, &high), 4) << "clamped to the line's last displayed byte";
}

TEST(HexLayout, ShiftedFirstLineAndAddresses) {
  std::vector<BYTE> data(100);
  for (int i = 0; i < 100; ++i) data[i] = (BYTE)i;
  HexLayout l = Layout(16, 0, true, false);
  // Scrolled to 5: shift 11, byte 5 starts line 1, byte 4 ends line 0.
  const int shift = 11;
  EXPECT_EQ(l.LineStart(0, shift), -11);
  EXPECT_EQ(l.LineOf(5, shift), 1);
  EXPECT_EQ(l.LineOf(4, shift), 0);
  EXPECT_EQ(l.TotalLines(100, shift), 7);
  std::string first = Line(l, data, 0, shift, 0x1000);
  EXPECT_EQ(first.substr(0, 8), "000FF5  ");
  EXPECT_EQ(first.substr(8, 33), std::string(33, ' ')) << "no data before offset 0";
  EXPECT_EQ(first.substr(41, 15), "00 01 02 03 04 ");
  EXPECT_EQ(Line(l, data, 1, shift, 0x1000).substr(0, 11), "001005  05 ");
  // Odd digit counts show the low digits only.
  HexLayout odd = Layout(16, 0, true, false, 0, 3);
  EXPECT_EQ(Line(odd, data, 1, 0, 0x12345).substr(0, 5), "355  ");
  HexLayout eight = Layout(16, 0, true, false, 0, 8);
  EXPECT_EQ(Line(eight, data, 1, 0, 0xFFFFFFF0).substr(0, 10), "00000000  ") << "the address wraps";
}

TEST(HexLayout, ControlBytesShowAsDots) {
  std::vector<BYTE> data = {0x00, 0x1F, 0x20, 0x7E, 0x7F, 0x80, 0x9F, 0xA0};
  HexLayout l = Layout(8, 0, true, false);
  EXPECT_EQ(Line(l, data, 0).substr(l.charStart), std::string(".. ~...") + (char)0xA0);
}
