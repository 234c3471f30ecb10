// Attaching data never walks it: 64 MB open and paint their first screen
// about as fast as 64 KB.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "../text/view_fixture.h"
#include "viewers/hex/hexview.h"

TEST_F(ViewTest, BenchmarkHexSetDataAndFirstScreen) {
  const int kLarge = 64 << 20, kSmall = 64 << 10;
  std::vector<BYTE> large(kLarge), small(kSmall);
  // Written beforehand: every page is there.
  std::memset(large.data(), 0x5A, kLarge);
  std::memset(small.data(), 0x5A, kSmall);
  CHexView view;
  Make(&view, 700, 300);
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  auto run = [&](std::vector<BYTE>& data) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    view.SetData(data.data(), (int)data.size(), 0, kHexDataWritable);
    view.Invalidate(FALSE);  // draws now
    QueryPerformanceCounter(&b);
    EXPECT_EQ(view.GetTotalLines(), (int)(data.size() / view.GetLayout().bytesPerLine));
    view.SetData(nullptr, 0, 0, kHexDataKeepOldBuffer);
    return (double)(b.QuadPart - a.QuadPart) * 1000.0 / (double)f.QuadPart;
  };
  std::vector<double> s, l;
  for (int round = 0; round < 7; ++round) {
    s.push_back(run(small));
    l.push_back(run(large));
  }
  std::sort(s.begin(), s.end());
  std::sort(l.begin(), l.end());
  std::printf("SetData and first screen: 64 KB %.2f ms, 64 MB %.2f ms, ratio %.2f\n", s[3], l[3], l[3] / s[3]);
  RecordProperty("setdata64k_ms", std::to_string(s[3]));
  RecordProperty("setdata64m_ms", std::to_string(l[3]));
  EXPECT_LE(l[3] / s[3], 1.5);
}
