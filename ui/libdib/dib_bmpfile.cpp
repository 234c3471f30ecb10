// Writing DIBs and bitmap handles as .bmp files.
#include "ui/libdib/dib_block.h"
#include "ui/libdib/libdib.h"

namespace {

template <typename Char>
HANDLE CreateBmpFile(const Char* file, BOOL overwrite) {
  DWORD disposition = overwrite ? CREATE_ALWAYS : CREATE_NEW;
  DWORD attributes = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;
  if constexpr (sizeof(Char) == 1)
    return CreateFileA(file, GENERIC_WRITE, 0, nullptr, disposition, attributes, nullptr);
  else
    return CreateFileW(file, GENERIC_WRITE, 0, nullptr, disposition, attributes, nullptr);
}

template <typename Char>
int SaveDibT(const BITMAPINFO* packed, const void* bits, const Char* file, BOOL overwrite) {
  if (!packed || !file || IsBadReadPtr(packed, sizeof(BITMAPINFOHEADER))) return 0;
  const BITMAPINFOHEADER& h = packed->bmiHeader;
  if (h.biWidth < 1 || h.biWidth > 65535 || h.biHeight < 1 || h.biHeight > 65535) return 0;
  DWORD imageBytes = (h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS)
                         ? static_cast<DWORD>(DibRowBytes(h.biWidth, DibDepth(&h))) * h.biHeight
                         : h.biSizeImage;
  if (imageBytes == 0) return 0;
  DWORD tableBytes = 4 * DibColorEntries(&h);
  if (!bits) bits = ResolveDibBits(packed, nullptr);
  if (!bits) bits = reinterpret_cast<const BYTE*>(packed) + h.biSize + tableBytes;
  HANDLE f = CreateBmpFile(file, overwrite);
  if (f == INVALID_HANDLE_VALUE) return 0;
  BITMAPFILEHEADER fh = {};
  fh.bfType = 0x4D42;  // "BM"
  fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + tableBytes;
  // The file's whole length, colour table included.
  fh.bfSize = fh.bfOffBits + imageBytes;
  BITMAPINFOHEADER header = h;
  header.biSize = sizeof(BITMAPINFOHEADER);
  DWORD written;
  bool ok = WriteFile(f, &fh, sizeof(fh), &written, nullptr) &&
            WriteFile(f, &header, sizeof(header), &written, nullptr) &&
            WriteFile(f, reinterpret_cast<const BYTE*>(packed) + h.biSize, tableBytes, &written, nullptr) &&
            WriteFile(f, bits, imageBytes, &written, nullptr);
  CloseHandle(f);
  return ok ? 1 : 0;
}

template <typename Char>
int SaveBitmapT(HBITMAP bitmap, const Char* file, BOOL overwrite) {
  void* bits;
  BITMAPINFO* info = CreateDibFromBitmap(nullptr, bitmap, &bits);
  if (!info) return 0;
  int result = SaveDibT(info, bits, file, overwrite);
  FreeDib(info);
  return result;
}

}  // namespace

int SaveDibAsBmpFileA(const BITMAPINFO* packed, const void* bits, LPCSTR file, BOOL overwrite) {
  return SaveDibT(packed, bits, file, overwrite);
}
int SaveDibAsBmpFileW(const BITMAPINFO* packed, const void* bits, LPCWSTR file, BOOL overwrite) {
  return SaveDibT(packed, bits, file, overwrite);
}
int SaveBitmapAsBmpFileA(HBITMAP bitmap, LPCSTR file, BOOL overwrite) { return SaveBitmapT(bitmap, file, overwrite); }
int SaveBitmapAsBmpFileW(HBITMAP bitmap, LPCWSTR file, BOOL overwrite) { return SaveBitmapT(bitmap, file, overwrite); }
