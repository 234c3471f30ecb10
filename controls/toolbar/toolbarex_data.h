// The toolbar's state block, button records and image entries, and the
// operations on them. Every operation runs with the block's lock held.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "controls/toolbar/toolbarex.h"

// drawWord bits.
enum : WORD {
  kDrawStateMask = 0x0007,
  kDrawSeparatorLike = 0x0010,
  kDrawMeasured = 0x0020,
  kDrawHasImage = 0x0040,
  kDrawTextBelow = 0x0080,
  kDrawCaptionGroup = 0x0100,
  kDrawTextRight = 0x0200,
  kDrawTextLine = 0x0400,
  kDrawRender = 0x0800,
  kDrawStacked = 0x1000,
  kDrawStackFirst = 0x2000,
  kDrawStackLast = 0x4000,
  kDrawTextBelowNoImage = 0x8000,
};

// Dirty bits of the block.
enum : BYTE {
  kDirtyLayout = 0x01,
  kDirtySizes = 0x02,
  kDirtyFonts = 0x04,
  kDirtyScale = 0x08,
  kDirtyAll = 0x07,
};

const int kMaxStringLength = 256;

// The first part is a TBBUTTON: TB_GETBUTTON copies from it.
struct ToolbarExButton {
  TBBUTTON tb;  // iBitmap image, fsState, fsStyle, bReserved[0..1] style word, dwData value, iString string
  WORD drawWord;
  WORD imageEntry, imageCell;
  short cellCx, cellCy;
  short measuredCx, measuredCy;
  WORD content;
  RECT rect;
  BITMAPINFO* render;
  void* renderBits;
  HBITMAP renderBitmap;
  ToolbarExButton* nextFree;  // in the block's pool while unused
};

inline WORD& StyleWord(ToolbarExButton* b) { return *reinterpret_cast<WORD*>(b->tb.bReserved); }
inline WORD StyleWord(const ToolbarExButton* b) { return *reinterpret_cast<const WORD*>(b->tb.bReserved); }

// Entry flags.
enum : WORD {
  kEntryFrameColumn = 0x01,
  kEntryFixed = 0x02,
  kEntryScanned = 0x04,
  kEntryCountFinal = 0x08,
  kEntryOwnsBitmap = 0x10,
};

struct ToolbarExImageEntry {
  HINSTANCE module;
  UINT_PTR source;
  BITMAPINFO* dib;
  void* bits;
  WORD flags;
  WORD firstImage;
  WORD stride;
  WORD count;
  WORD scale;
  WORD scanIndex, scanX, scanY;  // cursor of the cell scan; rows from the bottom
  WORD cellWidth, cellHeight;
};

struct ToolbarExLabel;
struct ToolbarExButtonChunk;

struct ToolbarExData {
  HWND window;
  CRITICAL_SECTION lock;
  HFONT font;
  HFONT measuredFont;
  int sampleHeight;
  HWND commandTarget;
  HWND controlTarget;
  HWND extraTarget;
  COLORREF keyColor[2];
  COLORREF colors[9];
  BYTE colorSet[9];
  int textHeight, textAscent, fixedPitch;
  int indent;
  int extent;
  int buttonWidthMin, buttonWidthMax;
  SIZE buttonSize;
  SIZE bitmapSize;
  SIZE padding;
  int listGap[2];
  ToolbarExImageEntry* images;
  unsigned imageCapacity, imageCount;
  ToolbarExButton** buttons;
  unsigned buttonCapacity, buttonCount;
  ToolbarExButton* freeButtons;  // records are allocated in chunks
  ToolbarExButtonChunk* buttonChunks;
  WCHAR** strings;  // each: length, characters, 0
  unsigned stringCapacity, stringCount;
  ToolbarExLabel* labels;
  int rowCount;
  int buttonStructSize;
  int imageScale;
  int arrowPressed;
  int hotIndex;
  int insertMarkIndex;
  int insertMarkFlags;
  RECT insertMarkRect;
  SIZE layoutSize;
  SIZE clientSize;
  DWORD style;
  DWORD extendedStyle;
  BYTE displayBits;
  BYTE displayDeep;
  BYTE enabled;
  BYTE trackedKeys;
  BYTE arrowHot;
  BYTE dirty;
  BYTE horizontalLayout;
  HDC measureDC;  // during a layout run: one screen DC with the font selected
};

// Lock discipline: ToolbarExLockCheck before every leave.
void ToolbarExLockCheck(ToolbarExData* data, int handler);
void ToolbarExLeave(ToolbarExData* data, int handler);
void ToolbarExInvalidate(ToolbarExData* data);

// Button forms and buttons (toolbarex_buttons.cpp).
int ToolbarExCommandToIndex(ToolbarExData* data, WPARAM id);
int ToolbarExIndexArg(ToolbarExData* data, WPARAM wParam);
ToolbarExButton* ToolbarExButtonAt(ToolbarExData* data, int index);
// Room for count more buttons: the pointer array and the records, each
// grown once for a whole batch.
bool ToolbarExReserveButtons(ToolbarExData* data, unsigned count);
void ToolbarExFreeButtonPool(ToolbarExData* data);
int ToolbarExInsertButtons(ToolbarExData* data, unsigned position, const TBBUTTON* record, bool clearStyleWord);
int ToolbarExDeleteButton(ToolbarExData* data, int index);
int ToolbarExSetStateBit(ToolbarExData* data, int index, BYTE bit, bool on);
int ToolbarExFindCheckedInGroup(ToolbarExData* data, int index);
void ToolbarExUpdateButtonState(ToolbarExData* data, int index);
void ToolbarExMarkButton(ToolbarExButton* button);
int ToolbarExSetButtonInfo(ToolbarExData* data, WPARAM wParam, const TBBUTTONINFOW* info, bool wide);
int ToolbarExGetButtonInfo(ToolbarExData* data, WPARAM wParam, TBBUTTONINFOW* info, bool wide);
int ToolbarExSetButtonSize(ToolbarExData* data, int cx, int cy);
int ToolbarExSetButtonWidth(ToolbarExData* data, int min, int max);
int ToolbarExSetListGap(ToolbarExData* data, int gap, LPARAM second);
int ToolbarExSetBitmapSize(ToolbarExData* data, int cx, int cy);
LRESULT ToolbarExSetPadding(ToolbarExData* data, int cx, int cy);
void ToolbarExFreeRender(ToolbarExButton* button);

// Strings (toolbarex_strings.cpp).
int ToolbarExAddStrings(ToolbarExData* data, const void* buffer, UINT separator, bool wide);
int ToolbarExAddStringResource(ToolbarExData* data, HINSTANCE module, UINT id);
int ToolbarExDeleteStrings(ToolbarExData* data, int first, int count);
int ToolbarExFindString(ToolbarExData* data, int start, int count, const void* text, bool wide);
int ToolbarExGetString(ToolbarExData* data, int index, int size, void* buffer, bool wide);
int ToolbarExGetButtonText(ToolbarExData* data, int index, void* buffer, bool wide);
int ToolbarExSetButtonString(ToolbarExData* data, int index, const void* text, bool wide);
void ToolbarExFreeStrings(ToolbarExData* data);

// Images (toolbarex_images.cpp).
int ToolbarExAddBitmap(ToolbarExData* data, WPARAM wParam, const void* record);
int ToolbarExReplaceBitmap(ToolbarExData* data, int scale, const TBREPLACEBITMAP* replace);
int ToolbarExDeleteImage(ToolbarExData* data, int entry);
int ToolbarExGetImageInfo(ToolbarExData* data, int first, int count, TbxImageInfo* records);
LONG ToolbarExImageSize(ToolbarExData* data, int image);
bool ToolbarExFindImageEntry(ToolbarExData* data, int image, int* entry, int* cell);
int ToolbarExScanImageCells(ToolbarExImageEntry* entry, int wanted);
int ToolbarExChangeBitmap(ToolbarExData* data, int index, int image);
int ToolbarExCountBitmapImages(WPARAM wParam, LPARAM lParam);

// Shared resources and per-window colours and font (toolbarex_resources.cpp).
void ToolbarExAddRefResources();
void ToolbarExReleaseResources();
HFONT ToolbarExSharedFont(bool bold);
void ToolbarExUpdateColors(ToolbarExData* data);
int ToolbarExCreateFont(ToolbarExData* data);

// Measuring and layout (toolbarex_measure.cpp, toolbarex_layout.cpp).
void ToolbarExControlSize(HWND control, int* cx, int* cy);
LRESULT ToolbarExMeasureButton(ToolbarExData* data, ToolbarExButton* button, bool horizontal, WORD* outDrawWord);
// Mode bit 0 measures only, bit 1 rows, bit 2 (without bit 1) a column.
LRESULT ToolbarExLayout(ToolbarExData* data, int mode);
LRESULT ToolbarExLayoutRun(ToolbarExData* data, int mode, unsigned limit);
void ToolbarExLayoutIfDirty(ToolbarExData* data);
LRESULT ToolbarExCalcSize(ToolbarExData* data, int length, LPARAM flags);

// Hit tests, tracking and the insert mark (toolbarex_track.cpp).
int ToolbarExHitTest(ToolbarExData* data, int x, int y, bool arrow);
void ToolbarExTrackMouse(ToolbarExData* data, int x, int y, UINT keys);
int ToolbarExRedrawButton(ToolbarExData* data, int index);
int ToolbarExSetInsertMark(ToolbarExData* data, int index, int after);
int ToolbarExInsertMarkHitTest(ToolbarExData* data, TBINSERTMARK* mark);

// Rendering and painting (toolbarex_render*.cpp, toolbarex_paint.cpp).
void ToolbarExRenderButtonImages(ToolbarExData* data, int index);
BITMAPINFO* ToolbarExDrawNineGrid(const BITMAPINFO* image, int width, int height, void** outBits, COLORREF tint);
void ToolbarExDrawEmbeddedImage(BITMAPINFO* dst, void* dstBits, int x, int y, int width, int height, int state,
                                COLORREF tint);
void ToolbarExFreeFrameImages();
void ToolbarExPaint(ToolbarExData* data, HDC dc, const PAINTSTRUCT* ps);
int ToolbarExAddLabel(ToolbarExData* data, const void* head, const void* text, bool wide);
int ToolbarExRemoveLabel(ToolbarExData* data, DWORD which);
void ToolbarExFreeLabels(ToolbarExData* data);
