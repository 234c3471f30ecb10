// The columns of a hex view line: address column, hex area and character
// area, worked out from the format values, and the text and drawing
// attributes of one line. Plain data, no window: the view keeps one.
#pragma once

#include <windows.h>

// Drawing attributes of a hex line: positions in the style's colour list.
enum HexAttr : BYTE {
  kHexAttrChars = 0,
  kHexAttrAddress = 1,
  kHexAttrHex = 2,
  kHexAttrSelection = 3,
  kHexAttrRange = 4,
  kHexAttrBitHex = 5,
  kHexAttrBitChars = 6,
};

// Which part of a line the cursor edits.
enum HexArea { kHexAreaHex = 0, kHexAreaChars = 1, kHexAreaAddress = 2 };

// Hidden parts of a line, as in the view's flag word.
const DWORD kHexNoHexArea = 0x0010;
const DWORD kHexNoCharArea = 0x0020;
const DWORD kHexNoAddress = 0x0040;

// Extra-space interval that stands for none.
const int kHexNoExtraSpace = 4096;
const int kHexMaxBytesPerLine = 256;
const int kHexMaxAddressDigits = 8;

struct HexLayout {
  int bytesPerLine = 16;              // B
  int groupShift = 0;                 // n: groups of 2^n bytes
  int extraSpace = kHexNoExtraSpace;  // E: an extra blank after every E bytes
  bool insertSpace = true;            // a blank after each group
  int invertMask = 0;                 // 2^n - 1 when groups are shown byte-reversed
  int addressDigits = 6;
  DWORD hidden = 0;  // kHexNo... bits
  // Worked out by Compute.
  int addressWidth = 0, hexWidth = 0, charWidth = 0;
  int hexStart = 0, charStart = 0, charEnd = 0;

  // Widths and starts from the values above.
  void Compute();
  int GroupSize() const { return 1 << groupShift; }
  // Column of byte i of a line: in the hex area its high digit.
  int ByteColumn(int i, HexArea area) const;
  // Byte of a line under a hex area or character area column (clamped to
  // the line); *high tells whether the column is a byte's high digit.
  int ColumnToByte(int column, HexArea area, bool* high) const;
  // Line of an offset, offset at the start of a line (negative for a
  // shifted first line), and the number of lines of size bytes.
  int LineOf(int offset, int shift) const;
  int LineStart(int line, int shift) const;
  int TotalLines(int size, int shift) const;
  // The text of a line (charEnd characters, no NUL) and the attribute of
  // each column: address, hex digits and characters, no marks.
  // Gives byte i of a line these attributes on both hex digits and its
  // character (areas that are hidden are left alone).
  void MarkByte(BYTE* attrs, int i, BYTE hexAttr, BYTE charAttr) const;
  void BuildLine(const BYTE* data, int size, DWORD base, int line, int shift, char* text, BYTE* attrs) const;
};

// How a byte shows in the character area: control bytes as '.'.
inline char HexDisplayChar(BYTE b) { return (b < 32 || (b >= 127 && b <= 159)) ? '.' : (char)b; }
