// Scaled and blended copies into 32-bit DIBs, and drawing DIBs into a LibDib.
#include <emmintrin.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "ui/libdib/dib_block.h"
#include "ui/libdib/dib_view.h"
#include "ui/libdib/libdib.h"

namespace {

bool SizeOk(const BITMAPINFO* info) {
  const BITMAPINFOHEADER& h = info->bmiHeader;
  return h.biWidth >= 1 && h.biWidth <= 65536 && h.biHeight >= 1 && h.biHeight <= 65536;
}

// A 32-bit view of the source: the source itself, or a converted temporary
// copy (freed with the object). Converted sources have no alpha: opaque.
class Source32 {
 public:
  Source32(const BITMAPINFO* src, const void* bits, bool opaqueCopy) {
    if (DibDepth(&src->bmiHeader) == 32) {
      m_ok = m_view.Open(src, bits);
      return;
    }
    void* b = ResolveDibBits(src, bits);
    if (!b) return;
    m_temp = CreateDibFromPackedDib(nullptr, const_cast<BITMAPINFO*>(src), kDibMarkerTo32, &b);
    if (m_temp == src) m_temp = nullptr;
    if (!m_temp) return;
    m_ok = m_view.Open(m_temp, b);
    if (m_ok && opaqueCopy)
      for (int y = 0; y < m_view.height; ++y) {
        DWORD* row = m_view.Row32(y);
        for (int x = 0; x < m_view.width; ++x) row[x] |= 0xFF000000;
      }
  }
  ~Source32() {
    if (m_temp) FreeDib(m_temp);
  }
  bool ok() const { return m_ok; }
  const DibView& view() const { return m_view; }

 private:
  BITMAPINFO* m_temp = nullptr;
  DibView m_view;
  bool m_ok = false;
};

// One axis of a scaled copy, in 1/256 pixel.
struct AxisMap {
  long long num, den;
  int n;
  AxisMap(int srcLen, int dstLen) : n(srcLen) {
    num = srcLen >= dstLen ? srcLen : srcLen - 1;
    den = srcLen >= dstLen ? dstLen : dstLen - 1;
    while (den != 0 && ((num | den) & 1) == 0) num >>= 1, den >>= 1;
    while (num * dstLen * 256 >= (1LL << 31)) num >>= 1, den >>= 1;
    if (den == 0) den = 1;
  }
  void Range(int i, int* start, int* end) const {
    long long step = num * 256;
    long long s = i * step / den, e = (i + 1) * step / den;
    if (e < s + 256) e = s + 256;
    if (e > n * 256LL) e = n * 256LL;
    *start = static_cast<int>(s);
    *end = static_cast<int>(e);
  }
};

// The source cells of one output cell, their weights and a divider by the
// span's length.
struct Span {
  int start = 0, end = 0, first = 0, last = -1;
  uint32_t length = 1;
  uint64_t reciprocal = 0;  // ceil(2^40 / length): exact for sums up to 255 x length below 65536
  Span() = default;
  Span(const AxisMap& map, int i) {
    map.Range(i, &start, &end);
    first = start >> 8;
    last = (end - 1) >> 8;
    length = end - start;
    reciprocal = ((uint64_t(1) << 40) + length - 1) / length;
  }
  // Weight of source cell k in [start, end).
  uint32_t Weight(int k) const { return std::min(end, (k + 1) * 256) - std::max(start, k * 256); }
  uint32_t divide(uint32_t sum) const {
    return length < 65536 ? static_cast<uint32_t>((sum * reciprocal) >> 40) : sum / length;
  }
  // Four sums at once; exact for sums up to 255 x length while length is at
  // most 4104 (ceil(2^32 / length) fits 32 bits and its error stays below 1/length).
  bool CanDivide4() const { return length <= 4104; }
  __m128i Divide4(__m128i sums) const {
    const __m128i r = _mm_set1_epi32(static_cast<int>(((uint64_t(1) << 32) + length - 1) / length));
    __m128i even = _mm_srli_epi64(_mm_mul_epu32(sums, r), 32);
    __m128i odd = _mm_mul_epu32(_mm_srli_epi64(sums, 32), r);
    return _mm_or_si128(even, _mm_and_si128(odd, _mm_set_epi32(-1, 0, -1, 0)));
  }
};

}  // namespace

int StretchDibToDib32(BITMAPINFO* dst, void* dstBits, const BITMAPINFO* src, const void* srcBits, int sx, int sy,
                      int sw, int sh, int dx, int dy, int dw, int dh) {
  if (!dst || !src || DibDepth(&dst->bmiHeader) != 32 || !SizeOk(dst) || !SizeOk(src)) return 0;
  DibView d;
  if (!d.Open(dst, dstBits)) return 0;
  int srcW = src->bmiHeader.biWidth, srcH = src->bmiHeader.biHeight;
  if (dx < 0 || dy < 0 || dx >= d.width || dy >= d.height || sx < 0 || sy < 0 || sx >= srcW || sy >= srcH) return 0;
  if (dw == 0 || dh == 0 || sw <= 0 || sh <= 0 || dw < 0 || dh < 0) return 0;
  dw = std::min(dw, d.width - dx);
  dh = std::min(dh, d.height - dy);
  sw = std::min(sw, srcW - sx);
  sh = std::min(sh, srcH - sy);
  Source32 source(src, srcBits, false);
  if (!source.ok()) return 0;
  const DibView& s = source.view();

  if (sw == dw && sh == dh) {
    if (sw == d.width && sw == s.width) {
      memcpy(d.Row32(dy + dh - 1), s.Row32(sy + sh - 1), 4 * static_cast<size_t>(sw) * sh);
      return 1;
    }
    for (int r = 0; r < dh; ++r) memcpy(d.Row32(dy + r) + dx, s.Row32(sy + r) + sx, 4 * static_cast<size_t>(dw));
    return 1;
  }

  bool noAlpha = true;
  for (int y = 0; y < s.height && noAlpha; ++y) {
    const DWORD* row = s.Row32(y);
    for (int x = 0; x < s.width; ++x)
      if (row[x] & 0xFF000000) {
        noAlpha = false;
        break;
      }
  }
  AxisMap ax(sw, dw), ay(sh, dh);
  // Output columns share their spans on every row.
  std::vector<Span> spansX(dw);
  for (int j = 0; j < dw; ++j) spansX[j] = Span(ax, j);
  // Per source column: blue, green, red, alpha sums and the weight sum. The
  // sums keep every weighted term whole (at most 255 x 2^24, within 32
  // bits), so opaque pixels stay opaque.
  // Blue, green, red and alpha sums of a column; the vector type may alias
  // them. Loads and stores are unaligned: the 32-bit C runtime's heap gives
  // 8-byte blocks, whatever alignment the compiler assumes of new.
  struct Sums {
    uint32_t v[4];
  };
  std::vector<Sums> acc(sw);
  auto Add = [](Sums* sums, __m128i add, bool first) {
    __m128i* p = reinterpret_cast<__m128i*>(sums->v);
    _mm_storeu_si128(p, first ? add : _mm_add_epi32(_mm_loadu_si128(p), add));
  };
  std::vector<uint32_t> weights(sw);
  const __m128i zero = _mm_setzero_si128();
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000));
  for (int i = 0; i < dh; ++i) {
    Span sy_(ay, i);
    // The span's first row stores, the others add: no clearing pass.
    // Output row i counts from the rectangle's bottom, as does the source span.
    for (int k = sy_.first; k <= sy_.last; ++k) {
      uint32_t w = sy_.Weight(k);
      bool first = k == sy_.first;
      const DWORD* p = s.Row32(sy + sh - 1 - k) + sx;
      // Two pixels at a time: bytes times a weight of at most 256 fit in 16 bits.
      const __m128i wv = _mm_set1_epi16(static_cast<short>(w));
      int c = 0;
      for (; c < sw; c += 2) {
        __m128i px = c + 1 < sw ? _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + c))
                                : _mm_cvtsi32_si128(static_cast<int>(p[c]));
        if (noAlpha) {
          px = _mm_or_si128(px, opaque);
        } else {
          // A clear pixel contributes nothing.
          px = _mm_andnot_si128(_mm_cmpeq_epi32(_mm_and_si128(px, opaque), zero), px);
        }
        __m128i prod = _mm_mullo_epi16(_mm_unpacklo_epi8(px, zero), wv);
        Add(&acc[c], _mm_unpacklo_epi16(prod, zero), first);
        if (c + 1 < sw) Add(&acc[c + 1], _mm_unpackhi_epi16(prod, zero), first);
      }
      // Without alpha every pixel counts: each column's weight is the span's length.
      if (!noAlpha)
        for (c = 0; c < sw; ++c) weights[c] = (first ? 0 : weights[c]) + ((p[c] >> 24) ? w : 0);
    }
    for (int c = 0; c < sw; ++c) {
      uint32_t* cs = acc[c].v;
      bool full = noAlpha || weights[c] == sy_.length;
      if (full && sy_.CanDivide4()) {
        __m128i* v = reinterpret_cast<__m128i*>(cs);
        _mm_storeu_si128(v, sy_.Divide4(_mm_loadu_si128(v)));
      } else if (full) {
        for (int ch = 0; ch < 4; ++ch) cs[ch] = sy_.divide(cs[ch]);
      } else {
        for (int ch = 0; ch < 3; ++ch) cs[ch] = weights[c] ? cs[ch] / weights[c] : 0;
        cs[3] = sy_.divide(cs[3]);
      }
    }
    BYTE* out = reinterpret_cast<BYTE*>(d.Row32(dy + dh - 1 - i) + dx);
    for (int j = 0; j < dw; ++j, out += 4) {
      const Span& sx_ = spansX[j];
      if (sx_.CanDivide4()) {
        // Column values are at most 255 and weights at most 256: their
        // products fit the low 16 bits of each 32-bit lane.
        __m128i sums = zero;
        uint32_t counted = 0;
        for (int k = sx_.first; k <= sx_.last; ++k) {
          const uint32_t* v = acc[k].v;
          if (v[3] == 0) continue;
          uint32_t w = sx_.Weight(k);
          sums = _mm_add_epi32(sums, _mm_mullo_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v)),
                                                     _mm_set1_epi32(static_cast<int>(w))));
          counted += w;
        }
        if (counted == sx_.length) {
          __m128i q = sx_.Divide4(sums);
          q = _mm_packus_epi16(_mm_packs_epi32(q, q), q);
          *reinterpret_cast<uint32_t*>(out) = static_cast<uint32_t>(_mm_cvtsi128_si32(q));
          continue;
        }
      }
      uint32_t sum[4] = {}, weight = 0;
      for (int k = sx_.first; k <= sx_.last; ++k) {
        const uint32_t* v = acc[k].v;
        if (v[3] == 0) continue;
        uint32_t w = sx_.Weight(k);
        sum[0] += v[0] * w;
        sum[1] += v[1] * w;
        sum[2] += v[2] * w;
        sum[3] += v[3] * w;
        weight += w;
      }
      if (weight == sx_.length) {
        for (int ch = 0; ch < 3; ++ch) out[ch] = static_cast<BYTE>(sx_.divide(sum[ch]));
      } else {
        for (int ch = 0; ch < 3; ++ch) out[ch] = static_cast<BYTE>(weight ? sum[ch] / weight : 0);
      }
      out[3] = static_cast<BYTE>(sx_.divide(sum[3]));
    }
  }
  return 1;
}

int CopyDibToDib32(BITMAPINFO* dst, void* dstBits, int dx, int dy, const BITMAPINFO* src, const void* srcBits, int sx,
                   int sy, int width, int height) {
  if (!dst || !src || DibDepth(&dst->bmiHeader) != 32 || !SizeOk(dst) || !SizeOk(src)) return 0;
  DibView d;
  if (!d.Open(dst, dstBits)) return 0;
  int srcW = src->bmiHeader.biWidth, srcH = src->bmiHeader.biHeight;
  if (dx < 0 || dy < 0 || dx >= d.width || dy >= d.height || sx < 0 || sy < 0 || sx >= srcW || sy >= srcH) return 0;
  if (width <= 0 || height <= 0) return 0;
  width = std::min({width, d.width - dx, srcW - sx});
  height = std::min({height, d.height - dy, srcH - sy});
  // A source without alpha (converted from fewer bits) copies opaquely.
  Source32 source(src, srcBits, true);
  if (!source.ok()) return 0;
  const DibView& s = source.view();
  for (int r = 0; r < height; ++r) {
    const BYTE* sp = reinterpret_cast<const BYTE*>(s.Row32(sy + r) + sx);
    BYTE* dp = reinterpret_cast<BYTE*>(d.Row32(dy + r) + dx);
    for (int c = 0; c < width; ++c, sp += 4, dp += 4) {
      unsigned a = sp[3];
      if (a == 0) continue;
      if (a == 255) {
        dp[0] = sp[0], dp[1] = sp[1], dp[2] = sp[2];
      } else {
        for (int ch = 0; ch < 3; ++ch) dp[ch] = static_cast<BYTE>((dp[ch] * (256 - a) + sp[ch] * (a + 1)) >> 8);
      }
    }
  }
  return 1;
}

int PutDibRectIntoDib(const BITMAPINFO* packed, const void* bits, int x, int y, int sx, int sy, int width, int height,
                      BITMAPINFO* dst) {
  if (!packed || width <= 0 || height <= 0 || width > 65535) return 0;
  const BITMAPINFOHEADER& h = packed->bmiHeader;
  int srcW = h.biWidth, srcH = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  if (sx < 0 || sy < 0 || sx >= srcW || sy >= srcH) return 0;
  width = std::min(width, srcW - sx);
  height = std::min(height, srcH - sy);
  if (!bits) bits = ResolveDibBits(packed, nullptr);
  if (!bits) bits = reinterpret_cast<const BYTE*>(packed) + h.biSize + 4 * DibColorEntries(&h);
  HDC dc = GetDibMemDC(dst);
  if (!dc) return 0;
  // Our source y counts from the top; SetDIBitsToDevice's from the bottom.
  int ySrc = h.biHeight < 0 ? sy : srcH - (sy + height);
  int lines = SetDIBitsToDevice(dc, x, y, width, height, sx, ySrc, 0, srcH, bits, packed, DIB_RGB_COLORS);
  GdiFlush();
  return lines > 0;
}

int PutDibIntoDib(const BITMAPINFO* packed, const void* bits, int x, int y, BITMAPINFO* dst) {
  if (!packed) return 0;
  int height = packed->bmiHeader.biHeight;
  return PutDibRectIntoDib(packed, bits, x, y, 0, 0, std::min<int>(packed->bmiHeader.biWidth, 65535),
                           height < 0 ? -height : height, dst);
}
