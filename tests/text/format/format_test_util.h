// Helpers of the formatter tests: format into a roomy buffer and return the
// text by the length the formatter reported, so NULs and a wrong count show.
#pragma once

#include <cstdarg>
#include <string>

#include "text/formatter.h"
#include "wide.h"

inline std::string Fmt(const char* format, ...) {
  char buffer[8192];
  va_list args;
  va_start(args, format);
  int n = FormatToBufferVA(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0 || n >= (int)sizeof buffer || buffer[n] != 0) return "<bad length>";
  return std::string(buffer, n);
}

inline WString FmtW(const wchar_t* format, ...) {
  wchar_t buffer[8192];
  va_list args;
  va_start(args, format);
  int n = FormatToBufferVW(buffer, 8192, format, args);
  va_end(args);
  if (n < 0 || n >= 8192 || buffer[n] != 0) return L"<bad length>";
  return WString(buffer, n);
}

// One table row: the format, the text it gave, the text expected.
#define EXPECT_FMT(want, ...) EXPECT_EQ(Fmt(__VA_ARGS__), std::string(want)) << "format: " << #__VA_ARGS__
#define EXPECT_FMTW(want, ...) EXPECT_EQ(FmtW(__VA_ARGS__), WString(want)) << "format: " << #__VA_ARGS__
