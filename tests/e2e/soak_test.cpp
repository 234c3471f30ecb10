// A few rounds of long use, the short form of the soak that tools/bench runs
// for 2,000 rounds (bench/app/soak_bench.cpp): after two warm-up rounds,
// three more leave the program's handles, GDI objects and committed private
// memory within a small margin of where they were, and the soak key
// byte-identical.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "e2e/driver/e2e_fixture.h"
#include "e2e/driver/ostrova_process.h"
#include "e2e/driver/soak_rounds.h"

namespace {
const int kWarmUp = 2;
const int kRounds = 3;
// Below one a round: a leak of one handle or GDI object a round shows.
const DWORD kHandleMargin = kRounds - 1;
const int kGdiMargin = kRounds - 1;
const SIZE_T kByteMargin = 256 * 1024;

TEST_F(EndToEnd, SoakRoundsGiveBackWhatTheyTake) {
  SoakRounds soak;
  const std::string before = soak.KeyText();
  OstrovaProcess app;
  ASSERT_EQ(soak.Start(app), "");
  for (int i = 0; i < kWarmUp; ++i) ASSERT_EQ(soak.Round(app, i), "") << "round " << i;
  ProcessFigures start, end;
  ASSERT_TRUE(ReadSettledFigures(app, &start));
  for (int i = kWarmUp; i < kWarmUp + kRounds; ++i) ASSERT_EQ(soak.Round(app, i), "") << "round " << i;
  ASSERT_TRUE(ReadSettledFigures(app, &end));
  EXPECT_LE(end.handles, start.handles + kHandleMargin) << start.handles << " handles at the start";
  EXPECT_GE(start.gdiObjects, 0) << "the GDI handle table was not readable";
  EXPECT_LE(end.gdiObjects, start.gdiObjects + kGdiMargin) << start.gdiObjects << " GDI objects at the start";
  EXPECT_LE(end.privateBytes, start.privateBytes + kByteMargin) << start.privateBytes << " bytes at the start";
  ASSERT_TRUE(app.Close());
  EXPECT_EQ(soak.KeyText(), before);
}
}  // namespace
