// The native half of CString's conversion from 16-bit text, for the sanitizer
// build off Windows: the ANSI code page there is 1252, so this maps through it.
#include "base/cstring.h"

namespace {

// Code page 1252 at 0x80..0x9F; the other bytes are their own code points.
const unsigned short kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char To1252(unsigned c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return (char)c;
  for (int i = 0; i < 32; ++i)
    if (kHigh1252[i] == c) return (char)(0x80 + i);
  return '?';
}

}  // namespace

CString::CString(const wchar_t* psz) : m_pchData(EmptyData()) {
  if (!psz || !*psz) return;
  int n = 0;
  while (psz[n]) ++n;
  char* p = GetBuffer(n);
  for (int i = 0; i < n; ++i) p[i] = To1252((unsigned)psz[i]);
  ReleaseBuffer(n);
}
