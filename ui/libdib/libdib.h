// LibDib: a device-independent bitmap in one process-heap block behind a
// small prefix {heap, bitmap, bits, memory DC, magic}. Callers hold the
// BITMAPINFO pointer; the prefix lies immediately before it. Failures answer
// 0 and set the thread's last error (see the Dib error names below).
#pragma once

#include <windows.h>

// Last errors of the LibDib functions.
enum : DWORD {
  kDibErrorParameter = ERROR_INVALID_PARAMETER,  // 87: null, foreign pointer, bad size
  kDibErrorData = ERROR_INVALID_DATA,            // 13: no bitmap, GDI call failed
  kDibErrorFormat = ERROR_BAD_FORMAT,            // 11: malformed header or directory
  kDibErrorNotFound = ERROR_OBJECT_NOT_FOUND,    // 4312: no such group entry
};

constexpr DWORD kDibMagic = 0x12345678;

// DibLoadFlags of CreateDibFromPackedDib, LoadDibResource, CreateBitmapFromDib.
enum : DWORD {
  kDibEntryMask = 0x0000FFFF,     // group entry index, or wanted size (h << 8 | w)
  kDibEntryLargest = 0x0000FFFF,  // with kDibBySize: the largest entry
  kDibDepthShift = 16,            // wanted depth in bits 16-20
  kDibDepthMask = 0x001F0000,     // 0 = 32 bits, 31 = the display's
  kDibDepthDisplay = 31,
  kDibKindShift = 21,  // kind of data in bits 21-22
  kDibKindMask = 0x00600000,
  kDibKindDib = 0,
  kDibKindIcon = 1,
  kDibKindCursor = 2,
  kDibKindGroup = 3,
  kDibTransShift = 24,  // transparency in bits 24-25
  kDibTransMask = 0x03000000,
  kDibTransCorner = 1,     // top-left colour becomes the DC's background
  kDibTransTextColor = 2,  // the DC's text colour becomes its background
  kDibTransAndMask = 3,    // pixels under the AND mask become the background
  kDibMapGreys = 0x08000000,
  kDibFlattenAlpha = 0x10000000,
  kDibForceCopy = 0x20000000,
  kDibConvert = 0x40000000,
  kDibBySize = 0x80000000,
  // A word equal to the marker under kDibMarkerMask takes the bits from the
  // out-pointer rather than after the header.
  kDibMarkerMask = 0x8060FFFF,
  kDibMarker = 0x8060EDCB,
  kDibMarkerTo32 = 0xC060EDCB,  // convert to 32 bits, bits given
  kDibMarkerCopy = 0xA060EDCB,  // copy, bits given
};

// Colour flag bits that the pixel operations read in a colour's top byte.
enum : DWORD {
  kDibColorIndex = 0x80000000,  // 0x80000000 | index names a colour-table entry
  kDibColorKeepUnmatched = 0x80000000,
  kDibColorOpaqueOthers = 0x40000000,
};

// CreateDib depth flag: every alpha byte of a 32-bit result set to 255.
constexpr int kDibOpaque = 0x40000000;

// The first 16 table entries of every new 4- or 8-bit LibDib, in pixel order.
extern const DWORD StandardPalette16[16];

// Helpers shared by the family.
int DibDepth(const BITMAPINFOHEADER* h);         // 0 counts as 32
int DibColorEntries(const BITMAPINFOHEADER* h);  // table entries (3 for masks)
int DibRowBytes(int width, int depth);           // rows padded to 4 bytes
DWORD DibPixelOrder(COLORREF color);             // 0xFFBBGGRR -> 0xFFRRGGBB
COLORREF DibColorRef(DWORD pixel);               // the reverse
bool IsLibDib(const BITMAPINFO* info);           // magic present
BITMAPINFO* AllocLibDib(SIZE_T infoBytes);       // block with an empty prefix

// Accessors.
BOOL FreeDib(BITMAPINFO* info);
HBITMAP GetDibBitmap(const BITMAPINFO* info);
void* GetDibBits(const BITMAPINFO* info);
void* GetDibBitsAndDC(BITMAPINFO* info, HDC* dc);
HDC GetDibMemDC(BITMAPINFO* info);
BOOL DeleteDibMemDC(BITMAPINFO* info);

// Creation.
BITMAPINFO* CreateDib(HDC hdc, int width, int height, int depth, void** bits);
BITMAPINFO* CreateDibFromBitmap(HDC hdc, HBITMAP bitmap, void** bits);
BITMAPINFO* CreateDibFromBitmapRect(HDC hdc, HBITMAP bitmap, int x, int y, int width, int height, int depth,
                                    void** bits);
BITMAPINFO* CreateDibFromIcon(HDC hdc, HICON icon, void** bits, COLORREF maskColor);
BITMAPINFO* CreateDibFromPackedDib(HDC hdc, BITMAPINFO* packed, DWORD flags, void** bits);
BITMAPINFO* CreateDibFromIconResource(HDC hdc, const void* data, DWORD size, DWORD flags, void** bits);
BITMAPINFO* LoadDibResource(HDC hdc, HMODULE module, LPCSTR name, LPCSTR type, DWORD flags, void** bits);
BITMAPINFO* LoadDibResourceW(HDC hdc, HMODULE module, LPCWSTR name, LPCWSTR type, DWORD flags, void** bits);
HBITMAP CreateBitmapFromDib(HDC hdc, const BITMAPINFO* packed, const void* bits, DWORD flags);

// Pixel operations: 1 on success, 0 for a null argument, an unsupported
// depth or compression, or bad coordinates. A null bits pointer takes the
// LibDib's own bits.
COLORREF MapGreyToSysColor(COLORREF color);
int MapDibGreysToSysColors(BITMAPINFO* info, void* bits);
int TintDib(BITMAPINFO* info, void* bits, COLORREF tint, COLORREF key);
int ReplaceDibColor(BITMAPINFO* info, void* bits, COLORREF oldColor, COLORREF newColor);
int FlattenDibAlpha(BITMAPINFO* info, void* bits, COLORREF background);
int ApplyDibMask(BITMAPINFO* info, void* bits, const void* mask, COLORREF color);
int SetDibPixel(BITMAPINFO* info, void* bits, COLORREF color, int x, int y);
int BlurDibRect(BITMAPINFO* info, void* bits, int x, int y, int width, int height);
COLORREF GetDibCornerColor(const BITMAPINFO* info, const void* bits);

// Copies and drawing; coordinates count from the top-left.
int StretchDibToDib32(BITMAPINFO* dst, void* dstBits, const BITMAPINFO* src, const void* srcBits, int sx, int sy,
                      int sw, int sh, int dx, int dy, int dw, int dh);
int CopyDibToDib32(BITMAPINFO* dst, void* dstBits, int dx, int dy, const BITMAPINFO* src, const void* srcBits, int sx,
                   int sy, int width, int height);
int PutDibIntoDib(const BITMAPINFO* packed, const void* bits, int x, int y, BITMAPINFO* dst);
int PutDibRectIntoDib(const BITMAPINFO* packed, const void* bits, int x, int y, int sx, int sy, int width, int height,
                      BITMAPINFO* dst);

// .bmp files.
int SaveDibAsBmpFileA(const BITMAPINFO* packed, const void* bits, LPCSTR file, BOOL overwrite);
int SaveDibAsBmpFileW(const BITMAPINFO* packed, const void* bits, LPCWSTR file, BOOL overwrite);
int SaveBitmapAsBmpFileA(HBITMAP bitmap, LPCSTR file, BOOL overwrite);
int SaveBitmapAsBmpFileW(HBITMAP bitmap, LPCWSTR file, BOOL overwrite);
