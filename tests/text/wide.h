// Test helpers for the 16-bit twins. WString keeps its character work out of
// the C runtime, whose wcslen and wmemcmp assume a 32-bit wchar_t where the
// tests are built natively with a 16-bit one.
#pragma once

#include <cstddef>
#include <string>

struct WideTraits : std::char_traits<wchar_t> {
  static size_t length(const wchar_t* s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
  }
  static int compare(const wchar_t* a, const wchar_t* b, size_t n) {
    for (size_t i = 0; i < n; ++i)
      if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
  }
  static const wchar_t* find(const wchar_t* s, size_t n, const wchar_t& c) {
    for (size_t i = 0; i < n; ++i)
      if (s[i] == c) return s + i;
    return nullptr;
  }
  static wchar_t* move(wchar_t* d, const wchar_t* s, size_t n) {
    if (d < s)
      for (size_t i = 0; i < n; ++i) d[i] = s[i];
    else
      for (size_t i = n; i-- > 0;) d[i] = s[i];
    return d;
  }
  static wchar_t* copy(wchar_t* d, const wchar_t* s, size_t n) { return move(d, s, n); }
  static wchar_t* assign(wchar_t* d, size_t n, wchar_t c) {
    for (size_t i = 0; i < n; ++i) d[i] = c;
    return d;
  }
  static void assign(wchar_t& d, const wchar_t& c) { d = c; }
};
typedef std::basic_string<wchar_t, WideTraits> WString;

// The 16-bit twin of an 8-bit text (n characters, or up to its NUL), byte b
// becoming U+00b.
inline WString Wide(const char* s, int n = -1) {
  WString w;
  for (int i = 0; n < 0 ? s[i] != 0 : i < n; ++i) w += (wchar_t)(unsigned char)s[i];
  return w;
}
