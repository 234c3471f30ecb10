// The 16-bit formatter core.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format_test_util.h"

namespace {

TEST(FormatWide, CharactersAndStrings) {
  EXPECT_FMTW(L"\u0416", L"%c", 0x0416);
  EXPECT_FMTW(L"A", L"%C", 0x141) << "the low byte";
  EXPECT_FMTW(L"\u00E4", L"%hc", 0x1E4);
  EXPECT_FMTW(L"\u0416", L"%lC", 0x0416);
  EXPECT_FMTW(L"\\x01B|.", L"%#+c|%#c", 0x1B, 0x07);
  EXPECT_FMTW(L"0000\u0416", L"%05c", 0x0416);
  EXPECT_FMTW(L"\u0416x", L"%s", L"\u0416x");
  EXPECT_FMTW(L"\u00C4A", L"%S", "\xC4\x41") << "8-bit text is widened as Latin-1";
  EXPECT_FMTW(L"\u0416|\u0416", L"%ls|%lc", L"\u0416", 0x416);
  EXPECT_FMTW(L"ab", L"%hs", "ab");
  EXPECT_FMTW(L"  (null)|(null)", L"%8s|%S", (const wchar_t*)nullptr, (const char*)nullptr);
  EXPECT_FMTW(L"ab...", L"%-0.5S", "abcdefgh");
  EXPECT_FMTW(L"\u0416b...", L"%-0.5s", L"\u0416bcdefgh");
  EXPECT_FMTW(L"abc...", L"%-#6S", "abcdefgh");
  EXPECT_FMTW(L"  abc", L"%5.3s", L"abcdef");
  EXPECT_FMTW(WString(L"a\0b", 3), L"%+.3s", L"a\0b");
}

TEST(FormatWide, GrammarAndNumbers) {
  EXPECT_FMTW(L"ab", L"a%\u0164b") << "a unit >= 0x80 after '%' is dropped with it";
  EXPECT_FMTW(L"2 1", L"%@Bd %@Ad", 1, 2);
  EXPECT_FMTW(L"2.5 x", L"%@Bg %@As", L"x", 2.5);
  EXPECT_FMTW(L"-0042|0xff|0B101", L"%05d|%#x|%#B", -42, 255, 5);
  EXPECT_FMTW(L"1 234 567", L"%D", 1234567);
  EXPECT_FMTW(L"  1 234.50", L"%10.2F", 1234.5);
  EXPECT_FMTW(L"2.500000", L"%f", 2.5);
  EXPECT_FMTW(L"1.23457e+006|0x1.8p+1", L"%g|%.1a", 1234567.0, 3.0);
  EXPECT_FMTW(L"01:02", L"%+.2m", "\x01\x02");
  EXPECT_FMTW(L"1970-01-01 00:01:40", L"%K", 100);
  int count = 0;
  EXPECT_FMTW(L"\u0416\u0416", L"\u0416\u0416%n", &count);
  EXPECT_EQ(count, 2);
}

struct WideRecorder {
  std::vector<WString> calls;
};

int RecordW(void* context, const wchar_t* data, int count) {
  static_cast<WideRecorder*>(context)->calls.emplace_back(data, count);
  return count;
}

TEST(FormatWide, SurrogatePairsStayInOneSinkCall) {
  const WString pair = L"\xD83D\xDE00";
  // Pairs at every boundary the core cuts at: the end of a long literal run,
  // the staging area's flush point, a string sent on its own, the padding.
  std::vector<WString> formats = {
      WString(1123, L'a') + pair + L"b",
      WString(1122, L'a') + pair + WString(100, L'c') + L"%d",
      WString(100, L'a') + L"\xD83D%s",
      L"%s\xDE00",
      L"\xD83D%3000d",
  };
  std::vector<WString> wants = {
      formats[0],
      WString(1122, L'a') + pair + WString(100, L'c') + L"7",
      WString(100, L'a') + L"\xD83D\xDE00z",
      L"\xD83D\xDE00",
      L"\xD83D" + WString(2999, L' ') + L"7",
  };
  for (size_t i = 0; i < formats.size(); ++i) {
    WideRecorder r;
    int n;
    if (i == 2)
      n = FormatToSinkW(&r, RecordW, formats[i].c_str(), L"\xDE00z");
    else if (i == 3)
      n = FormatToSinkW(&r, RecordW, formats[i].c_str(), L"\xD83D");
    else
      n = FormatToSinkW(&r, RecordW, formats[i].c_str(), 7);
    WString all;
    for (size_t k = 0; k < r.calls.size(); ++k) {
      all += r.calls[k];
      bool endsHigh = !r.calls[k].empty() && (r.calls[k].back() & 0xFC00) == 0xD800;
      bool nextStartsLow = k + 1 < r.calls.size() && (r.calls[k + 1][0] & 0xFC00) == 0xDC00;
      EXPECT_FALSE(endsHigh && nextStartsLow) << "case " << i << ": a pair split after call " << k;
    }
    EXPECT_EQ(all, wants[i]) << "case " << i;
    EXPECT_EQ(n, (int)wants[i].size()) << "case " << i;
  }
}

}  // namespace
