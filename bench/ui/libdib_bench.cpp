// LibDib's copies and conversions against GDI doing the same job on a
// 1920 x 1080 picture; the in-place pixel loops per megapixel.
#include <cstdio>
#include <cstring>

#include "bench.h"
#include "ui/libdib/libdib.h"

namespace {

constexpr int kW = 1920, kH = 1080;

struct Dib {
  BITMAPINFO* info = nullptr;
  BYTE* bits = nullptr;
  HDC dc = nullptr;
  Dib(int w, int h, int depth) {
    info = CreateDib(nullptr, w, h, depth, reinterpret_cast<void**>(&bits));
    dc = GetDibMemDC(info);
    size_t n = static_cast<size_t>(DibRowBytes(w, depth)) * h;
    for (size_t i = 0; i < n; ++i) bits[i] = static_cast<BYTE>(i * 7 + i / 4099);
  }
  ~Dib() { FreeDib(info); }
};

// Premultiplied alpha for AlphaBlend, the same picture for our blend.
void Premultiply(Dib& d) {
  DWORD* p = reinterpret_cast<DWORD*>(d.bits);
  for (int i = 0; i < d.info->bmiHeader.biWidth * d.info->bmiHeader.biHeight; ++i) {
    BYTE* b = reinterpret_cast<BYTE*>(p + i);
    for (int c = 0; c < 3; ++c) b[c] = static_cast<BYTE>(b[c] * b[3] / 255);
  }
}

void PerMegapixel(const char* name, double ns, int pixels) {
  std::printf("%-32s %12.1f ns per megapixel\n", name, ns * 1e6 / pixels);
  std::fflush(stdout);
}

}  // namespace

int main() {
  Dib src(kW, kH, 32), dst(kW, kH, 32), half(kW / 2, kH / 2, 32);
  Premultiply(src);
  bench::Compare(
      "StretchDibToDib32 1:1",
      [&] { StretchDibToDib32(dst.info, dst.bits, src.info, src.bits, 0, 0, kW, kH, 0, 0, kW, kH); }, "BitBlt",
      [&] { BitBlt(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, SRCCOPY), GdiFlush(); }, 5);
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  bench::Compare(
      "CopyDibToDib32 blend", [&] { CopyDibToDib32(dst.info, dst.bits, 0, 0, src.info, src.bits, 0, 0, kW, kH); },
      "AlphaBlend", [&] { AlphaBlend(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, kW, kH, blend), GdiFlush(); }, 3);
  SetStretchBltMode(half.dc, HALFTONE);
  SetStretchBltMode(dst.dc, HALFTONE);
  bench::Compare(
      "StretchDibToDib32 down 1/2",
      [&] { StretchDibToDib32(half.info, half.bits, src.info, src.bits, 0, 0, kW, kH, 0, 0, kW / 2, kH / 2); },
      "StretchBlt HALFTONE",
      [&] { StretchBlt(half.dc, 0, 0, kW / 2, kH / 2, src.dc, 0, 0, kW, kH, SRCCOPY), GdiFlush(); }, 3);
  bench::Compare(
      "StretchDibToDib32 up 2x",
      [&] { StretchDibToDib32(dst.info, dst.bits, half.info, half.bits, 0, 0, kW / 2, kH / 2, 0, 0, kW, kH); },
      "StretchBlt HALFTONE",
      [&] { StretchBlt(dst.dc, 0, 0, kW, kH, half.dc, 0, 0, kW / 2, kH / 2, SRCCOPY), GdiFlush(); }, 3);

  for (int depth : {24, 8}) {
    Dib from(kW, kH, depth);
    HBITMAP fromBitmap = GetDibBitmap(from.info);
    char name[64];
    std::snprintf(name, sizeof name, "%d to 32 bits", depth);
    bench::Compare(
        name,
        [&] {
          void* bits = from.bits;
          BITMAPINFO* copy = CreateDibFromPackedDib(nullptr, from.info, kDibMarkerTo32, &bits);
          FreeDib(copy);
        },
        "GetDIBits new section",
        [&] {
          BITMAPINFOHEADER h = {sizeof(h), kW, kH, 1, 32, BI_RGB};
          void* bits;
          HDC screen = GetDC(nullptr);
          HBITMAP section =
              CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS, &bits, nullptr, 0);
          GetDIBits(screen, fromBitmap, 0, kH, bits, reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS);
          ReleaseDC(nullptr, screen);
          DeleteObject(section);
        },
        3);
  }

  const int pixels = kW * kH;
  PerMegapixel("TintDib", bench::MedianNs([&] { TintDib(src.info, src.bits, 0xDFDFDF, 0x01000000); }, 3), pixels);
  PerMegapixel("FlattenDibAlpha", bench::MedianNs([&] { FlattenDibAlpha(src.info, src.bits, RGB(255, 255, 255)); }, 3),
               pixels);
  PerMegapixel("BlurDibRect", bench::MedianNs([&] { BlurDibRect(src.info, src.bits, 0, 0, kW, kH); }, 3), pixels);
  return 0;
}
