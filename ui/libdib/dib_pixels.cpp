// Pixel operations on a DIB's bits, in place and with integer arithmetic.
#include <emmintrin.h>
#include <string.h>

#include <vector>

#include "ui/libdib/dib_block.h"
#include "ui/libdib/dib_view.h"
#include "ui/libdib/libdib.h"

bool DibView::Open(const BITMAPINFO* info, const void* bitsOrNull) {
  if (!info) return false;
  const BITMAPINFOHEADER* h = &info->bmiHeader;
  if (h->biCompression != BI_RGB && h->biCompression != BI_BITFIELDS) return false;
  if (h->biWidth < 1 || h->biHeight < 1 || h->biWidth > 65536 || h->biHeight > 65536) return false;
  bits = static_cast<BYTE*>(ResolveDibBits(info, bitsOrNull));
  if (!bits) return false;
  width = h->biWidth;
  height = h->biHeight;
  depth = DibDepth(h);
  stride = DibRowBytes(width, depth);
  if (depth <= 8) {
    table = reinterpret_cast<DWORD*>(reinterpret_cast<BYTE*>(const_cast<BITMAPINFO*>(info)) + h->biSize);
    entries = DibColorEntries(h);
  }
  return true;
}

int DibView::Index(int x, int y) const {
  const BYTE* row = Row(y);
  int bit = x * depth;
  return (row[bit >> 3] >> (8 - depth - (bit & 7))) & ((1 << depth) - 1);
}

namespace {

bool IsTableDepth(int depth) { return depth == 1 || depth == 2 || depth == 4 || depth == 8; }

// Calls fn(pixel pointer) for every pixel of a 24- or 32-bit view, row by
// row so that the padding of 24-bit rows is never touched.
template <typename Fn>
void ForEachPixel(const DibView& v, Fn fn) {
  int step = v.depth / 8;
  for (int y = 0; y < v.height; ++y) {
    BYTE* p = v.bits + static_cast<size_t>(v.stride) * y;
    for (int x = 0; x < v.width; ++x, p += step) fn(p);
  }
}

DWORD Read24(const BYTE* p) { return p[0] | (p[1] << 8) | (p[2] << 16); }
void Write24(BYTE* p, DWORD c) {
  p[0] = static_cast<BYTE>(c);
  p[1] = static_cast<BYTE>(c >> 8);
  p[2] = static_cast<BYTE>(c >> 16);
}

// Colour-table index of a COLORREF, or of 0x80000000 | index; -1 when none.
int FindTableIndex(const DibView& v, COLORREF color) {
  if ((color & 0xFF000000) == kDibColorIndex) {
    int index = color & 0xFF;
    return index < v.entries ? index : -1;
  }
  DWORD want = DibPixelOrder(color) & 0xFFFFFF;
  for (int i = 0; i < v.entries; ++i)
    if ((v.table[i] & 0xFFFFFF) == want) return i;
  return -1;
}

void SetIndex(const DibView& v, int x, int y, int index) {
  BYTE* row = v.Row(y);
  int bit = x * v.depth;
  int shift = 8 - v.depth - (bit & 7);
  BYTE mask = static_cast<BYTE>(((1 << v.depth) - 1) << shift);
  row[bit >> 3] = static_cast<BYTE>((row[bit >> 3] & ~mask) | ((index << shift) & mask));
}

}  // namespace

COLORREF MapGreyToSysColor(COLORREF color) {
  switch (color) {
    case 0x808080:
      return GetSysColor(COLOR_BTNSHADOW);
    case 0xC0C0C0:
      return GetSysColor(COLOR_BTNFACE);
    case 0xDFDFDF:
      return GetSysColor(COLOR_3DLIGHT);
  }
  return color;
}

int MapDibGreysToSysColors(BITMAPINFO* info, void* bits) {
  DibView v;
  if (!bits || !v.Open(info, bits)) return 0;
  const DWORD greys[3] = {0x808080, 0xC0C0C0, 0xDFDFDF};
  DWORD sys[3];
  for (int i = 0; i < 3; ++i) sys[i] = DibPixelOrder(MapGreyToSysColor(greys[i])) & 0xFFFFFF;
  auto map = [&](DWORD c, DWORD* out) {
    for (int i = 0; i < 3; ++i)
      if (c == greys[i]) return *out = sys[i], true;
    return false;
  };
  DWORD m;
  if (IsTableDepth(v.depth)) {
    for (int i = 0; i < v.entries; ++i)
      if (map(v.table[i], &m)) v.table[i] = m;
  } else if (v.depth == 24) {
    ForEachPixel(v, [&](BYTE* p) {
      if (map(Read24(p), &m)) Write24(p, m);
    });
  } else if (v.depth == 32) {
    ForEachPixel(v, [&](BYTE* p) {
      DWORD* q = reinterpret_cast<DWORD*>(p);
      if (map(*q & 0xFFFFFF, &m)) *q = (*q & 0xFF000000) | m;
    });
  } else {
    return 0;
  }
  return 1;
}

int TintDib(BITMAPINFO* info, void* bits, COLORREF tint, COLORREF key) {
  DibView v;
  if (!v.Open(info, bits)) return 0;
  DWORD k = DibPixelOrder(key);
  const int tc[3] = {GetBValue(tint), GetGValue(tint), GetRValue(tint)};
  auto tintBytes = [&](BYTE* p) {
    int l = (128 * p[0] + 85 * p[1] + 44 * p[2]) >> 8;
    if (l > 192) {
      int s = (l - 192) >> 2;
      for (int i = 0; i < 3; ++i) p[i] = static_cast<BYTE>(tc[i] + (((256 - tc[i]) * s) >> 6));
    } else {
      int f = l / 3 + 192;
      for (int i = 0; i < 3; ++i) p[i] = static_cast<BYTE>((f * tc[i]) >> 8);
    }
  };
  if (IsTableDepth(v.depth)) {
    for (int i = 0; i < v.entries; ++i)
      if (v.table[i] != k) tintBytes(reinterpret_cast<BYTE*>(&v.table[i]));
  } else if (v.depth == 24) {
    ForEachPixel(v, [&](BYTE* p) {
      if (Read24(p) != (k & 0xFFFFFF)) tintBytes(p);
    });
  } else if (v.depth == 32) {
    bool skipClear = (k & 0x80000000) != 0;
    ForEachPixel(v, [&](BYTE* p) {
      DWORD c = *reinterpret_cast<DWORD*>(p);
      if (c != k && !(skipClear && p[3] == 0)) tintBytes(p);
    });
  } else {
    return 0;
  }
  return 1;
}

int ReplaceDibColor(BITMAPINFO* info, void* bits, COLORREF oldColor, COLORREF newColor) {
  if (oldColor == newColor) return 1;
  DibView v;
  if (!v.Open(info, bits)) return 0;
  DWORD o = DibPixelOrder(oldColor), n = DibPixelOrder(newColor);
  if (IsTableDepth(v.depth)) {
    if ((oldColor & 0xFF000000) == kDibColorIndex) {
      int index = oldColor & 0xFF;
      if (index < v.entries) v.table[index] = n;
    } else {
      for (int i = 0; i < v.entries; ++i)
        if (v.table[i] == o) v.table[i] = n;
    }
  } else if (v.depth == 24) {
    ForEachPixel(v, [&](BYTE* p) {
      if (Read24(p) == (o & 0xFFFFFF)) Write24(p, n);
    });
  } else if (v.depth == 32) {
    bool keep = (oldColor & kDibColorKeepUnmatched) != 0;
    bool opaqueOthers = (oldColor & kDibColorOpaqueOthers) != 0;
    ForEachPixel(v, [&](BYTE* p) {
      DWORD* q = reinterpret_cast<DWORD*>(p);
      if ((*q & 0xFFFFFF) == (o & 0xFFFFFF)) {
        if (!keep) *q = n;
      } else if (opaqueOthers) {
        *q |= 0xFF000000;
      }
    });
  } else {
    return 0;
  }
  return 1;
}

int FlattenDibAlpha(BITMAPINFO* info, void* bits, COLORREF background) {
  DibView v;
  if (!v.Open(info, bits) || v.depth != 32) return 0;
  const unsigned bg[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
  ForEachPixel(v, [&](BYTE* p) {
    unsigned a = p[3];
    if (a == 255) return;
    for (int i = 0; i < 3; ++i)
      p[i] = a == 0 ? static_cast<BYTE>(bg[i]) : static_cast<BYTE>(((p[i] * a + (255 - a) * bg[i]) * 257) >> 16);
  });
  return 1;
}

int ApplyDibMask(BITMAPINFO* info, void* bits, const void* mask, COLORREF color) {
  DibView v;
  if (!mask || !v.Open(info, bits)) return 0;
  int maskStride = DibRowBytes(v.width, 1);
  if (IsBadReadPtr(mask, static_cast<size_t>(maskStride) * v.height)) return 0;
  const BYTE* m = static_cast<const BYTE*>(mask);
  auto masked = [&](int x, int memRow) {
    return (m[static_cast<size_t>(maskStride) * memRow + (x >> 3)] >> (7 - (x & 7))) & 1;
  };
  if (v.depth == 24 || v.depth == 32) {
    bool toAlpha = v.depth == 32 && (color & kDibColorOpaqueOthers);
    DWORD c = DibPixelOrder(toAlpha ? color & 0xFFFFFF : color);
    int step = v.depth / 8;
    for (int y = 0; y < v.height; ++y) {
      BYTE* p = v.bits + static_cast<size_t>(v.stride) * y;
      for (int x = 0; x < v.width; ++x, p += step) {
        if (masked(x, y)) {
          if (step == 3)
            Write24(p, c);
          else
            *reinterpret_cast<DWORD*>(p) = c;
        } else if (toAlpha) {
          p[3] = 255;
        }
      }
    }
    return 1;
  }
  if (v.depth != 1 && v.depth != 4 && v.depth != 8) return 0;
  int index = FindTableIndex(v, color);
  if (index < 0) return 0;
  for (int y = 0; y < v.height; ++y)
    for (int x = 0; x < v.width; ++x)
      if (masked(x, v.height - 1 - y)) SetIndex(v, x, y, index);
  return 1;
}

// Writes exactly the one pixel; its neighbours never change.
int SetDibPixel(BITMAPINFO* info, void* bits, COLORREF color, int x, int y) {
  DibView v;
  if (!v.Open(info, bits) || x < 0 || y < 0 || x >= v.width || y >= v.height) return 0;
  if (v.depth == 32) {
    v.Row32(y)[x] = color;
  } else if (v.depth == 24) {
    Write24(v.Row(y) + 3 * x, color);
  } else if (IsTableDepth(v.depth)) {
    int index = FindTableIndex(v, color);
    if (index < 0) return 0;
    SetIndex(v, x, y, index);
  } else {
    return 0;
  }
  return 1;
}

int BlurDibRect(BITMAPINFO* info, void* bits, int x, int y, int width, int height) {
  DibView v;
  if (!bits || !v.Open(info, bits) || v.depth != 32) return 0;
  if (x < 0 || y < 0 || x >= v.width || y >= v.height || width < 1 || height < 1) return 0;
  if (width > v.width - x) width = v.width - x;
  if (height > v.height - y) height = v.height - y;
  int ww = width + 2;
  std::vector<DWORD> work(static_cast<size_t>(ww) * (height + 2));
  for (int r = -1; r <= height; ++r) {
    int sy = r < 0 ? 0 : (r >= height ? height - 1 : r);
    const DWORD* src = v.Row32(y + sy) + x;
    DWORD* dst = &work[static_cast<size_t>(r + 1) * ww];
    dst[0] = src[0];
    memcpy(dst + 1, src, width * sizeof(DWORD));
    dst[ww - 1] = src[width - 1];
  }
  for (int r = 0; r < height; ++r) {
    const BYTE* above = reinterpret_cast<const BYTE*>(&work[static_cast<size_t>(r) * ww]);
    const BYTE* mid = above + 4 * ww;
    const BYTE* below = mid + 4 * ww;
    BYTE* out = reinterpret_cast<BYTE*>(v.Row32(y + r) + x);
    // Two pixels at a time in 16-bit lanes: the weights add up to 64, so
    // every sum stays below 2^14.
    const __m128i zero = _mm_setzero_si128();
    auto load = [&](const BYTE* row, int i) {
      return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + i)), zero);
    };
    int c = 0;
    for (; c + 1 < width; c += 2) {
      int i = 4 * (c + 1);
      __m128i edges = _mm_add_epi16(_mm_add_epi16(load(mid, i - 4), load(mid, i + 4)),
                                    _mm_add_epi16(load(above, i), load(below, i)));
      __m128i corners = _mm_add_epi16(_mm_add_epi16(load(above, i - 4), load(above, i + 4)),
                                      _mm_add_epi16(load(below, i - 4), load(below, i + 4)));
      __m128i sum = _mm_add_epi16(_mm_mullo_epi16(load(mid, i), _mm_set1_epi16(52)),
                                  _mm_add_epi16(_mm_slli_epi16(edges, 1), corners));
      sum = _mm_srli_epi16(sum, 6);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * c), _mm_packus_epi16(sum, sum));
    }
    for (; c < width; ++c)
      for (int ch = 0; ch < 4; ++ch) {
        int i = 4 * (c + 1) + ch;
        int sum = 52 * mid[i] + 2 * (mid[i - 4] + mid[i + 4] + above[i] + below[i]) + above[i - 4] + above[i + 4] +
                  below[i - 4] + below[i + 4];
        out[4 * c + ch] = static_cast<BYTE>(sum >> 6);
      }
  }
  return 1;
}

COLORREF GetDibCornerColor(const BITMAPINFO* info, const void* bits) {
  DibView v;
  if (!v.Open(info, bits)) return kDibColorIndex;
  if (v.depth == 32) return DibColorRef(v.Row32(0)[0]);
  if (v.depth == 24) return DibColorRef(Read24(v.Row(0)));
  if (IsTableDepth(v.depth)) {
    int index = v.Index(0, 0);
    return index < v.entries ? DibColorRef(v.table[index]) & 0xFFFFFF : 0;
  }
  return kDibColorIndex;
}
