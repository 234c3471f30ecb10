// Rendering each button once per change into a strip of its six state
// images, and the nine-grid frame images.
#include <algorithm>
#include <cstring>

#include "controls/toolbar/toolbarex_data.h"
#include "ui/libdib/libdib.h"
#include "ui/theme/themedraw.h"

namespace {
// The frame images: a rounded face for normal and checked frames (7 x 24)
// and a narrower one for the arrow part (6 x 24), drawn once.
BITMAPINFO* g_frames[4];

BITMAPINFO* FrameImage(int index) {
  if (g_frames[index]) return g_frames[index];
  int width = index < 2 ? 7 : 6, height = 24;
  DWORD* bits = nullptr;
  BITMAPINFO* dib = CreateDib(nullptr, width, height, 32, reinterpret_cast<void**>(&bits));
  if (!dib) return nullptr;
  bool checked = index & 1;
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      bool corner = (x == 0 || x == width - 1) && (y == 0 || y == height - 1);
      bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
      DWORD pixel;
      if (corner) {
        pixel = 0;
      } else if (edge) {
        pixel = checked ? 0xE0505A78 : 0xC0809AB4;
      } else {
        // A face a little lighter at the top; darker when checked.
        int light = checked ? 150 + y : 250 - y * 2;
        pixel = (checked ? 0xB0000000 : 0x90000000) | (light << 16) | (light << 8) | std::min(255, light + 8);
      }
      bits[(height - 1 - y) * width + x] = pixel;  // bottom-up rows
    }
  }
  g_frames[index] = dib;
  return dib;
}
}  // namespace

namespace {
void FreeGrids();
}

void ToolbarExFreeFrameImages() {
  for (BITMAPINFO*& frame : g_frames) {
    if (frame) FreeDib(frame);
    frame = nullptr;
  }
  FreeGrids();
}

BITMAPINFO* ToolbarExDrawNineGrid(const BITMAPINFO* image, int width, int height, void** outBits, COLORREF tint) {
  if (!image || width < 1 || height < 1) return nullptr;
  void* bits = nullptr;
  BITMAPINFO* out = CreateDib(nullptr, width, height, 32, &bits);
  if (!out) return nullptr;
  int iw = image->bmiHeader.biWidth, ih = image->bmiHeader.biHeight;
  const BITMAPINFO* src = image;
  BITMAPINFO* tinted = nullptr;
  if (tint != (COLORREF)-1) {
    void* tbits = nullptr;
    tinted = CreateDib(nullptr, iw, ih, 32, &tbits);
    if (tinted) {
      std::memcpy(tbits, GetDibBits(image), (size_t)iw * ih * 4);
      BYTE* p = static_cast<BYTE*>(tbits);
      const int t[3] = {GetBValue(tint), GetGValue(tint), GetRValue(tint)};
      for (int i = 0; i < iw * ih; i++, p += 4) {
        int a = p[3];
        if (!a) continue;
        for (int c = 0; c < 3; c++) p[c] = (BYTE)((p[c] * (a + 1) + (256 - a) * t[c]) >> 8);
        p[3] = 255;
      }
      src = tinted;
    }
  }
  auto cornerOf = [](int side, int target) {
    int corner = side >= 7 ? 3 : 2;
    return target >= 2 * corner ? corner : target / 2;
  };
  int cx = cornerOf(iw, width), cy = cornerOf(ih, height);
  int sxc = std::min(cx, iw / 2), syc = std::min(cy, ih / 2);
  const void* sbits = GetDibBits(src);
  // Corners copied, edges and centre stretched.
  const int xs[3][2] = {{0, sxc}, {sxc, iw - 2 * sxc}, {iw - sxc, sxc}};
  const int ys[3][2] = {{0, syc}, {syc, ih - 2 * syc}, {ih - syc, syc}};
  const int xd[3][2] = {{0, cx}, {cx, width - 2 * cx}, {width - cx, cx}};
  const int yd[3][2] = {{0, cy}, {cy, height - 2 * cy}, {height - cy, cy}};
  for (int r = 0; r < 3; r++) {
    for (int c = 0; c < 3; c++) {
      if (xs[c][1] < 1 || ys[r][1] < 1 || xd[c][1] < 1 || yd[r][1] < 1) continue;
      StretchDibToDib32(out, bits, src, sbits, xs[c][0], ys[r][0], xs[c][1], ys[r][1], xd[c][0], yd[r][0], xd[c][1],
                        yd[r][1]);
    }
  }
  if (tinted) FreeDib(tinted);
  if (outBits) *outBits = bits;
  return out;
}

namespace {
// The last frames stretched: buttons of one bar share their sizes.
struct GridCache {
  int image, width, height;
  COLORREF tint;
  BITMAPINFO* dib;
  void* bits;
};
GridCache g_grids[8];
int g_nextGrid;
}  // namespace

void ToolbarExDrawEmbeddedImage(BITMAPINFO* dst, void* dstBits, int x, int y, int width, int height, int state,
                                COLORREF tint) {
  int index = ((state >> 2) & 2) | (state & 1);
  COLORREF use = (state & 2) ? tint : (COLORREF)-1;
  BITMAPINFO* image = FrameImage(index);
  if (!image || width < 1 || height < 1) return;
  for (const GridCache& c : g_grids) {
    if (c.dib && c.image == index && c.width == width && c.height == height && c.tint == use) {
      CopyDibToDib32(dst, dstBits, x, y, c.dib, c.bits, 0, 0, width, height);
      return;
    }
  }
  void* bits = nullptr;
  BITMAPINFO* grid = ToolbarExDrawNineGrid(image, width, height, &bits, use);
  if (!grid) return;
  CopyDibToDib32(dst, dstBits, x, y, grid, bits, 0, 0, width, height);
  GridCache& slot = g_grids[g_nextGrid];
  g_nextGrid = (g_nextGrid + 1) % 8;
  if (slot.dib) FreeDib(slot.dib);
  slot = GridCache{index, width, height, use, grid, bits};
}

namespace {
void FreeGrids() {
  for (GridCache& c : g_grids) {
    if (c.dib) FreeDib(c.dib);
    c = GridCache{};
  }
}
}  // namespace
