#include "viewers/hex/hexlayout.h"

#include <cstring>

namespace {
const char kDigits[] = "0123456789ABCDEF";
}

void HexLayout::Compute() {
  const int b = bytesPerLine, g = GroupSize();
  const int e = extraSpace < 1 ? kHexNoExtraSpace : extraSpace;
  addressWidth = (hidden & kHexNoAddress) ? 0 : addressDigits + 2;
  hexWidth = insertSpace ? 2 * b + b / g + 1 : 2 * b + 2;
  hexWidth += b / e - (b % e == 0 ? 1 : 0);
  if (hidden & kHexNoHexArea) hexWidth = 0;
  charWidth = (hidden & kHexNoCharArea) ? 0 : b;
  hexStart = addressWidth;
  charStart = addressWidth + hexWidth;
  charEnd = charStart + charWidth;
}

int HexLayout::ByteColumn(int i, HexArea area) const {
  if (area == kHexAreaChars) return charStart + i;
  const int j = i ^ invertMask;
  const int e = extraSpace < 1 ? kHexNoExtraSpace : extraSpace;
  return hexStart + 2 * j + (insertSpace ? j >> groupShift : 0) + j / e;
}

int HexLayout::ColumnToByte(int column, HexArea area, bool* high) const {
  if (high) *high = true;
  if (area == kHexAreaChars) {
    int i = column - charStart;
    return i < 0 ? 0 : (i >= bytesPerLine ? bytesPerLine - 1 : i);
  }
  // The last byte in display order that starts at or before the column.
  int j = 0;
  while (j + 1 < bytesPerLine && ByteColumn((j + 1) ^ invertMask, kHexAreaHex) <= column) ++j;
  if (high) *high = column <= ByteColumn(j ^ invertMask, kHexAreaHex);
  return j ^ invertMask;
}

int HexLayout::LineOf(int offset, int shift) const { return (shift % bytesPerLine + offset) / bytesPerLine; }

int HexLayout::LineStart(int line, int shift) const { return bytesPerLine * line - shift % bytesPerLine; }

int HexLayout::TotalLines(int size, int shift) const {
  return (shift % bytesPerLine + size + bytesPerLine - 1) / bytesPerLine;
}

void HexLayout::BuildLine(const BYTE* data, int size, DWORD base, int line, int shift, char* text, BYTE* attrs) const {
  std::memset(text, ' ', charEnd);
  std::memset(attrs, kHexAttrAddress, hexStart);
  std::memset(attrs + hexStart, kHexAttrHex, hexWidth);
  std::memset(attrs + charStart, kHexAttrChars, charWidth);
  const int start = LineStart(line, shift);
  if (addressWidth) {
    // Big-endian digits of base + start, the last addressDigits of them.
    DWORD address = base + (DWORD)start;
    const int digits = addressDigits < kHexMaxAddressDigits ? addressDigits : kHexMaxAddressDigits;
    for (int d = 0; d < digits; ++d) text[digits - 1 - d] = kDigits[(address >> (4 * d)) & 15];
  }
  // Byte by byte: bytes before the data (shifted first line) and after its
  // end stay blank.
  for (int i = 0; i < bytesPerLine; ++i) {
    const int offset = start + i;
    if (offset < 0 || offset >= size) continue;
    const BYTE b = data[offset];
    if (hexWidth) {
      const int c = ByteColumn(i, kHexAreaHex);
      text[c] = kDigits[b >> 4];
      text[c + 1] = kDigits[b & 15];
    }
    if (charWidth) text[charStart + i] = HexDisplayChar(b);
  }
}

void HexLayout::MarkByte(BYTE* attrs, int i, BYTE hexAttr, BYTE charAttr) const {
  if (hexWidth) {
    const int c = ByteColumn(i, kHexAreaHex);
    attrs[c] = attrs[c + 1] = hexAttr;
  }
  if (charWidth) attrs[charStart + i] = charAttr;
}
