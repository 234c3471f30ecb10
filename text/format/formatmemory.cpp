#include "text/format/formatmemory.h"

#include "text/format/formatcore.h"

const unsigned char MemoryGroupSizes[5] = {0, 8, 4, 2, 0};

namespace {

const int kMaxBytes = 256;
const int kMaxLength = 1024;

template <class Ch>
int PutNull(Ch* dest) {
  const char* text = "(null)";
  for (int i = 0; i < 6; ++i) dest[i] = text[i];
  return 6;
}

template <class Ch>
int Dump(const void* pointer, Ch* dest, uint32_t flags, int precision, int width, const char* digits) {
  if (!pointer) return PutNull(dest);
  const unsigned char* bytes = static_cast<const unsigned char*>(pointer);
  int count = 16;
  if (flags & FMT_PRECISION) {
    if (precision <= 0) return 0;
    count = precision < kMaxBytes ? precision : kMaxBytes;
  }
  // '+' gives ':' between the bytes, the blank flag a blank.
  Ch sep = 0;
  if (flags & FMT_SIGN) sep = (flags & FMT_PLUS) ? ':' : ' ';
  int group = MemoryGroupSizes[flags & FMT_LEN_MASK];
  int estimate = sep ? 3 * count - 1 : 2 * count;
  if (group) estimate += (count + 1) / 4;
  if (width > kMaxLength) width = kMaxLength;

  bool cut = false;
  if (flags & FMT_ALT) {
    if (estimate > width) {
      if (width <= 0) return 0;
      int unit = sep ? 3 : 2, fit;
      if (group) {
        int groupUnit = unit * group + 1;
        fit = ((width - 2) % groupUnit) / unit + ((width - 2) / groupUnit) * group;
      } else {
        fit = (width - 3) / unit;
      }
      if (fit < count) count = fit;
      cut = true;
    } else if (estimate < width && !(flags & FMT_LEFT)) {
      width = estimate;
    }
  }

  int n = 0;
  auto unit = [&](int i) {
    if (i) {
      if (sep) dest[n++] = sep;
      if (group && i % group == 0) dest[n++] = ' ';
    }
    dest[n++] = (Ch)digits[bytes ? bytes[i] >> 4 : 0];
    dest[n++] = (Ch)digits[bytes ? bytes[i] & 15 : 0];
  };
  int i = 0;
  for (; i < count; ++i) unit(i);
  if ((flags & (FMT_ZEROPAD | FMT_ZEROFILL)) && !(cut && count <= 0)) {
    bytes = nullptr;  // the fill is "00" units
    for (; n < width; ++i) {
      int size = 2 + (sep ? 1 : 0) + (group && i % group == 0 ? 1 : 0);
      if (n + size > width) break;
      unit(i);
    }
    return n;
  }
  if (cut) {
    for (int k = 0; k < 3; ++k) dest[n++] = '.';
    while (n < width) dest[n++] = ' ';
  }
  return n;
}

}  // namespace

int FormatMemoryHexA(const void* pointer, char* dest, uint32_t flags, int precision, int width, const char* digits) {
  return Dump(pointer, dest, flags, precision, width, digits);
}
int FormatMemoryHexW(const void* pointer, wchar_t* dest, uint32_t flags, int precision, int width, const char* digits) {
  return Dump(pointer, dest, flags, precision, width, digits);
}
