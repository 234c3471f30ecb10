// "ColorListBox": a read-only list of text lines drawn with their attribute
// bytes, with separator lines and scroll bars when the text overflows.
#pragma once

#include <windows.h>

extern const char kColorListBoxClass[];  // "ColorListBox"

// Style bits.
const DWORD kColorListPlain = 0x1000;      // no frame, window background
const DWORD kColorListNoVScroll = 0x2000;  // never a vertical scroll bar
const DWORD kColorListNoHScroll = 0x8000;  // never a horizontal scroll bar

// Messages. Setup: lParam the ExtTextOut options of the lines (ETO_OPAQUE,
// ETO_CLIPPED; other bits ignored). LB_SETTABSTOPS takes one stop in pixels.
const UINT CLB_SETUP = 0x381B;
// Adds a line: lParam points to a ColorListLine; the control copies it.
// Answers the line's index, or -1.
const UINT CLB_ADDLINE = 0x3806;
// Number of lines; text of a line (wParam index, lParam buffer) like LB_GETTEXT.
const UINT CLB_GETCOUNT = LB_GETCOUNT;
const UINT CLB_GETTEXT = LB_GETTEXT;
const UINT CLB_GETTEXTLEN = LB_GETTEXTLEN;
// The address of a line's text (zero-terminated, CLB_GETTEXTLEN bytes), or
// 0: the way to read the lines from another process, where LB_GETTEXT is
// marshalled as a list box's and brings nothing back.
const UINT CLB_GETTEXTADDRESS = LB_GETITEMDATA;

// Line record; size 28 marks a separator line, 12 a plain one.
struct ColorListLine {
  DWORD size;
  DWORD index;
  DWORD indent;    // separator: the text's indent in the high 16 bits
  DWORD reserved;  // 0xFFFF0000
  const BYTE* attrs;
  const char* text;
  DWORD length;
};
const DWORD kColorListLineSize = 12;
const DWORD kColorListSeparatorSize = 28;

// Registers the class (once); FALSE when that fails.
BOOL RegisterColorListBox();
