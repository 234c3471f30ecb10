// The library's toolbar control "ToolbarExWindow32": the Windows toolbar
// messages by their numbers plus its own (0x46A-0x495) for scalable image
// strips, embedded controls, colour swatches, labels, fixed widths and
// masked changes over ranges of buttons. Clicks reach the parent as posted
// WM_COMMAND messages.
#pragma once

#include <windows.h>

#include <commctrl.h>

#define TOOLBAREX_CLASS "ToolbarExWindow32"

// Registers the class once per process; 1 when registered (now or before).
int RegisterToolbarExClass(HINSTANCE instance);
LRESULT CALLBACK ToolbarExWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Test seam: the display's bits per pixel that windows created from now on
// assume (0: the real display's).
void ToolbarExSetDisplayBitsSeam(int bits);

// Own messages.
enum : UINT {
  TBX_TIMERTICK = 0x46A,
  TBX_REMOVELABEL = 0x46B,
  TBX_ADDLABELW = 0x46C,
  TBX_ADDLABELA = 0x46D,
  TBX_SETDIRTY = 0x46E,
  TBX_SETFIXEDWIDTH = 0x46F,
  TBX_FINDCONTROL = 0x470,
  TBX_SETBUTTONTEXTW = 0x471,
  TBX_SETBUTTONTEXTA = 0x472,
  TBX_SETSTATESTYLE = 0x473,
  TBX_GETSTATESTYLE = 0x474,
  TBX_SETCOMMANDID = 0x475,
  TBX_GETCOMMANDID = 0x476,
  TBX_SETIMAGE = 0x477,
  TBX_GETIMAGE = 0x478,
  TBX_SETSTRINGINDEX = 0x479,
  TBX_GETSTRINGINDEX = 0x47A,
  TBX_DELETESTRINGS = 0x47B,
  TBX_FINDSTRINGW = 0x47C,
  TBX_FINDSTRINGA = 0x47D,
  TBX_GETSTRINGCOUNT = 0x47E,
  TBX_COUNTBUTTONS = 0x47F,
  TBX_SETSTYLEBYTES = 0x480,
  TBX_SETSTATEBYTES = 0x481,
  TBX_SETSTYLEWORDS = 0x482,
  TBX_COUNTBITMAPIMAGES = 0x483,
  TBX_GETIMAGEINFO = 0x484,
  TBX_GETCOMMANDIDS = 0x485,
  TBX_DELETEALLIMAGES = 0x486,
  TBX_DELETEBUTTONS = 0x487,
  TBX_GETCOMMANDTARGET = 0x488,
  TBX_GETBITMAPSIZE = 0x489,
  TBX_GETCOMMANDIDAT = 0x48A,
  TBX_GETSTYLEWORD = 0x48B,
  TBX_SETSTYLEWORD = 0x48C,
  TBX_GETBUTTONVALUE = 0x48D,
  TBX_SETBUTTONVALUE = 0x48E,
  TBX_SETIMAGESCALE = 0x48F,
  TBX_GETLAYOUTSIZE = 0x490,
  TBX_CALCSIZE = 0x491,
  TBX_INSERTBUTTON = 0x492,
  TBX_ADDBUTTONS = 0x493,
  TBX_COLOR = 0x494,
  TBX_SETSYSCOLOR = 0x495,
};

// Button argument forms of wParam.
const DWORD kTbxFormMask = 0xFF000000;
const DWORD kTbxForm = 0x12000000;                // top byte of every form
const DWORD kTbxByIndex = 0x12340000;             // | index
const DWORD kTbxByCommand = 0x12480000;           // | command id
const DWORD kTbxNthCommand = 0x12800000;          // | k << 16 | command id
const WORD kTbxStyleWordMatch = 0xE7E;            // low 12 bits: match the style word's high bits instead
const UINT kTbxAddAtPosition = 0x5000;            // TB_ADDBUTTONS high word: | position
const UINT kTbxParentControlTarget = 0x12340001;  // TB_SETPARENT lParam forms
const UINT kTbxParentExtraTarget = 0x12340002;
const WPARAM kTbxHitTestArrow = 0x12345678;  // TB_HITTEST: the arrow part answers index | 0x40000000

// The button's own style word (the TBBUTTON's reserved bytes).
enum : WORD {
  kTbxTextRight = 0x0001,
  kTbxTextBelow = 0x0002,
  kTbxAltPlacement = 0x0004,
  kTbxNoNormalFrame = 0x0008,
  kTbxNormalFrame = 0x0010,
  kTbxNoCheckedLook = 0x0020,
  kTbxNoDisabledLook = 0x0040,
  kTbxNoHotLook = 0x0080,
  kTbxSeparatorLike = 0x0100,
  kTbxFixedWidth = 0x0200,
  kTbxSplit = 0x0400,
  kTbxTwoColors = 0x0800,
  kTbxSwatch = 0x1000,
  kTbxControl = 0x2000,
  kTbxRadioGlyph = 0x4000,
  kTbxCheckGlyph = 0x8000,
};

// The longer own form of TB_ADDBITMAP's record (wParam kTbxByIndex | count).
struct TbxAddBitmap {
  HINSTANCE module;
  UINT_PTR source;
  WORD flags;      // kTbxImage* below
  WORD count;      // out: cells
  WORD cellWidth;  // in with kTbxImageFixed, out with kTbxImageReportWidth; 4094 = scan
  WORD scale;      // in: 8.8 scale (0 = 256); out with kTbxImageReportHeight: the height
};
enum : WORD {
  kTbxImageFrameColumn = 0x01,
  kTbxImageFixed = 0x02,
  kTbxImageOwnBitmap = 0x04,  // with module 0: the entry deletes the HBITMAP
  kTbxImageReportWidth = 0x10,
  kTbxImageReportHeight = 0x20,
};
const WORD kTbxScanCells = 4094;

// TBX_GETIMAGEINFO record.
struct TbxImageInfo {
  UINT_PTR module;
  UINT_PTR source;
  WORD count;
  WORD scale;
  WORD cellWidth;  // 0 for scanned entries
  WORD height;
};

// Own TBBUTTONINFO mask bits.
const DWORD kTbxInfoStyleWord = 0x10000000;    // cbSize >= 52: value at byte 48, mask at byte 50
const DWORD kTbxInfoStringIndex = 0x08000000;  // pszText carries a string index

// The head of TBX_ADDLABELW/A (wParam); lParam is the text.
#pragma pack(push, 1)
struct TbxLabelHead {
  DWORD anchor;  // command id, or kTbxByIndex | index
  short dx, dy;  // offsets
  BYTE flags;    // kTbxLabel* below
  BYTE tag;
  BYTE spare;
  BYTE reserved;
};
#pragma pack(pop)
enum : BYTE {
  kTbxLabelLeft = 0x00,
  kTbxLabelCenter = 0x01,
  kTbxLabelRight = 0x02,
  kTbxLabelTop = 0x00,
  kTbxLabelMiddle = 0x04,
  kTbxLabelBottom = 0x08,
  kTbxLabelReplace = 0x20,  // the anchor's old label goes
  kTbxLabelByIndex = 0x40,  // the anchor's low word is an index
};
const DWORD kTbxLabelTagForm = 0x12220000;  // TBX_REMOVELABEL: | tag
const COLORREF kTbxNoColor = (COLORREF)-2;  // TBX_SETSYSCOLOR 6 and 8: no background, no frame
